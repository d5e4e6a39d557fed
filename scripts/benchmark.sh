#!/usr/bin/env bash
# Measures the built Vorlane.exe under Wine: start-up, drop to dialog, the
# Update's time to disk (first record, deep in a long session, with a 100 MB
# catalogue) and its parts, idle CPU and memory against a minimal one-window
# program and a fair floor (the same manifest, a dialog, the same controls),
# and the executable's size. Prints a Markdown report and writes it
# to build/bench-work/benchmark.md. The figures are reported, never judged.
#
# Takes a few minutes, most of it the session of 10,000 Updates. Settings:
# VORLANE_BENCH_RUNS (runs per figure, 9), VORLANE_BENCH_SESSION (10000).
# Run it on an otherwise idle machine: other work skews every figure.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/common.sh
vorlane_build
cmake --build "$VORLANE_BUILD" --target vorlane_probe minimal_window dialog_floor update_timing
vorlane_prepare_prefix

trap vorlane_stop_started EXIT
trap 'exit 130' INT TERM
vorlane_start_xvfb
vorlane_start_wineserver

export VORLANE_EXE=$VORLANE_BUILD/Vorlane.exe
export VORLANE_PROBE=$VORLANE_BUILD/bench/vorlane_probe.exe
export VORLANE_MINIMAL=$VORLANE_BUILD/bench/minimal_window.exe
export VORLANE_DIALOG_FLOOR=$VORLANE_BUILD/bench/dialog_floor.exe
export VORLANE_UPDATE_TIMING=$VORLANE_BUILD/bench/update_timing.exe
export VORLANE_BENCH_WORK=$VORLANE_BUILD/bench-work
/usr/bin/python3 bench/benchmark.py
