#!/usr/bin/env bash
# Runs the round-rect button's colour tests on an 8-bit palette display, with
# VORLANE_PALETTE_DISPLAY=1 selecting that display's expectations. The stage
# has a display, a Wine prefix and a wineserver of its own (a wineserver
# serves one prefix and keeps the display depth it started with), and stops
# what it started when it ends.
#
# Usage: palette_stage.sh BUILD_DIR TEST_PROGRAM [GTEST_FILTER]
set -euo pipefail
build_dir=$1
test_program=$2
filter=${3:-ButtonColors.*}

export VORLANE_BUILD=$build_dir
source "$(cd "$(dirname "$0")/../.." && pwd)/scripts/common.sh"
export WINEPREFIX=$VORLANE_BUILD/wineprefix-palette

trap vorlane_stop_started EXIT
trap 'exit 130' INT TERM
vorlane_start_xvfb 8
vorlane_prepare_prefix
vorlane_start_wineserver
echo "Palette display $DISPLAY, Wine prefix $WINEPREFIX"
VORLANE_PALETTE_DISPLAY=1 wine "$test_program" --gtest_filter="$filter" --gtest_color=no
