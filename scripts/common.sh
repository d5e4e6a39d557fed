# Shared by run.sh, test.sh and the other scripts: the build, the Wine prefix
# inside the build tree, and the Xvfb display and wineserver they start.
# Source it; it defines functions and exports the Wine settings.

VORLANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
VORLANE_BUILD=${VORLANE_BUILD:-$VORLANE_ROOT/build}

export WINEPREFIX=$VORLANE_BUILD/wineprefix
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d"

VORLANE_STARTED_PIDS=()

# Configures and builds the tree. Every script builds with the same settings
# (warnings are errors), so that one after another compiles nothing anew.
vorlane_build() {
    cmake -S "$VORLANE_ROOT" -B "$VORLANE_BUILD" \
        -DCMAKE_TOOLCHAIN_FILE="$VORLANE_ROOT/cmake/mingw-i686.cmake" \
        -DVORLANE_WERROR=ON "$@" >/dev/null
    cmake --build "$VORLANE_BUILD" -j"$(nproc)"
}

# Test programs whose windows Wine should not hand to a window manager: on a
# bare Xvfb, destroying a managed window that was shown costs about 2 s.
VORLANE_UNMANAGED_PROGRAMS=(portable_tests.exe catalogue_tests.exe shell_tests.exe rrbutton_tests.exe
    consumer_by_name.exe consumer_linked.exe consumer.exe)

# A prefix made once per build tree, with the dialog fonts Wine looks for.
vorlane_prepare_prefix() {
    [ -f "$WINEPREFIX/.vorlane-ready-3" ] && return 0
    echo "Preparing the Wine prefix $WINEPREFIX (once)"
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    local settings=$WINEPREFIX/drive_c/vorlane-settings.reg program
    printf 'REGEDIT4\n' >"$settings"
    for program in "${VORLANE_UNMANAGED_PROGRAMS[@]}"; do
        printf '\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\%s\\X11 Driver]\n"Managed"="N"\n' \
            "$program" >>"$settings"
    done
    wine regedit /S 'C:\vorlane-settings.reg' >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.vorlane-ready-3"
}

vorlane_display_free() {
    [ ! -e "/tmp/.X$1-lock" ] && [ ! -e "/tmp/.X11-unix/X$1" ]
}

# Starts Xvfb on the first free display from 90 up; exports DISPLAY.
# Optional argument: the screen depth (24 unless given). A display that
# another Xvfb takes at the same moment is given up for the next one.
vorlane_start_xvfb() {
    local depth=${1:-24} display=90 pid
    while [ "$display" -lt 190 ]; do
        if vorlane_display_free "$display"; then
            Xvfb ":$display" -screen 0 "1024x768x$depth" -nolisten tcp >/dev/null 2>&1 &
            pid=$!
            for _ in $(seq 100); do
                kill -0 "$pid" 2>/dev/null || break
                # Ours when its lock names our process and its socket is there.
                if [ -e "/tmp/.X11-unix/X$display" ] &&
                    [ "$(tr -d ' \n' <"/tmp/.X$display-lock" 2>/dev/null)" = "$pid" ]; then
                    VORLANE_STARTED_PIDS+=("$pid")
                    export DISPLAY=":$display"
                    return 0
                fi
                sleep 0.05
            done
            kill "$pid" 2>/dev/null || true
        fi
        display=$((display + 1))
    done
    echo "Xvfb could not be started" >&2
    return 1
}

# A persistent wineserver and one warm-up process, so each later wine start is quick.
vorlane_start_wineserver() {
    wineserver -p
    wine cmd /c exit >/dev/null 2>&1 || true
}

vorlane_stop_started() {
    wineserver -k >/dev/null 2>&1 || true
    local pid
    for pid in "${VORLANE_STARTED_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${VORLANE_STARTED_PIDS[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    VORLANE_STARTED_PIDS=()
}
