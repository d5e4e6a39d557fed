#!/usr/bin/env bash
# Builds Vorlane and starts it under Wine in the current directory, where it
# writes its catalogue. Without an X display it starts a virtual one, saves a
# screenshot of the running program, and keeps it running until it ends or
# Ctrl+C is pressed.
set -euo pipefail
workdir=$(pwd)
here=$(cd "$(dirname "$0")" && pwd)
bash "$here/scripts/setup.sh"
source "$here/scripts/common.sh"
vorlane_build
vorlane_prepare_prefix

program_pid=
stop_everything() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    vorlane_stop_started
}
trap stop_everything EXIT
trap 'exit 130' INT TERM

if [ -z "${DISPLAY:-}" ]; then
    vorlane_start_xvfb
    echo "No X display: started a virtual one on $DISPLAY"
    virtual_display=1
fi

cd "$workdir"
wine "$VORLANE_BUILD/Vorlane.exe" &
program_pid=$!
echo "Vorlane is running (catalogue: $workdir/Vorlane.csv). Press Ctrl+C to stop it."

if [ -n "${virtual_display:-}" ]; then
    screenshot=$workdir/vorlane-screenshot.png
    sleep 4
    if kill -0 "$program_pid" 2>/dev/null; then
        /usr/bin/import -window root "$screenshot" && echo "Screenshot of the running program: $screenshot"
    fi
fi

wait "$program_pid" || true
program_pid=
