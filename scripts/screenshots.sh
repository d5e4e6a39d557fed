#!/usr/bin/env bash
# Takes the README's pictures: the main window and the "Add Items" dialog
# with their title bars, as Vorlane shows them in a Wine virtual desktop (a
# bare X display draws no title bars), and the library's example program.
# Writes docs/images/main-window.png, docs/images/add-items.png and
# docs/images/button-demo.png.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/common.sh
vorlane_build
cmake --build "$VORLANE_BUILD" --target vorlane_probe
vorlane_prepare_prefix

workdir=$(mktemp -d)
trap 'vorlane_stop_started; rm -rf "$workdir"' EXIT
trap 'exit 130' INT TERM
vorlane_start_xvfb
vorlane_start_wineserver

mkdir -p docs/images
export VORLANE_EXE=$VORLANE_BUILD/Vorlane.exe
export VORLANE_PROBE=$VORLANE_BUILD/bench/vorlane_probe.exe
export VORLANE_PROBE_DESKTOP=shot
export VORLANE_DEMO=$VORLANE_BUILD/button_demo.exe
(cd "$workdir" && exec wine explorer /desktop=shot,800x600 "$VORLANE_EXE") >/dev/null 2>&1 &
/usr/bin/python3 scripts/take_screenshots.py docs/images
