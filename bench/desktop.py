#!/usr/bin/python3
"""Desktop tools of the benchmark and the screenshot script: the real pointer
and keys through xdotool, files dragged in from the end-to-end tests' GTK
drag source, and the program's windows read by the probe (bench/probe.cpp),
a Win32 console program run in the same Wine prefix.

Environment: DISPLAY and WINEPREFIX of a running Xvfb and wineserver,
VORLANE_PROBE (the probe's executable); VORLANE_PROBE_DESKTOP
points the probe at the windows of a Wine virtual desktop of that name.
"""

import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
DRAG_SOURCE = os.path.join(HERE, "..", "tests", "e2e", "drag_source.py")
sys.path.insert(0, os.path.dirname(DRAG_SOURCE))
from e2e import HEADER, Failure, wait_for  # noqa: E402,F401  (the end-to-end driver's own)

# Control ids.
LOG_BOX, ADD, HINT = 1001, 1003, 1007
ORIGINAL, HD_BIN, TRACK_BOX, UPDATE, SEL_EXIT = 1008, 1013, 1015, 1018, 1020

MAIN = "Vorlane@%d" % LOG_BOX       # the main window (not a message box captioned "Vorlane")
DIALOG = "Add Items"

# Where the drag source's window stands: far from the program's windows.
DRAG_SOURCE_AT = (820, 640)

# Destroying a shown window of a program whose windows a window manager
# would manage costs Wine about 2 s on a bare X server; waits allow for it.
WINDOW_WAIT_MS = 15000


def check(condition, message):
    if not condition:
        raise Failure(message)


def check_equal(actual, expected, what):
    if actual != expected:
        raise Failure("%s:\n  expected %r\n  actual   %r" % (what, expected, actual))


# ---------------------------------------------------------------------------
# Tools: the probe, xdotool, the screen


def probe(*args, timeout=30, check_status=True):
    """Runs the probe in the test's Wine prefix; returns its stdout bytes.
    Its output goes through files, not pipes: a Wine helper that the probe
    happens to start (the desktop process) inherits its handles and would
    keep a pipe open long after the probe has ended."""
    desktop = os.environ.get("VORLANE_PROBE_DESKTOP")
    options = ["--desktop", desktop] if desktop else []
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        status = subprocess.run(["wine", os.environ["VORLANE_PROBE"], *options, *[str(a) for a in args]],
                                stdout=out, stderr=err, timeout=timeout).returncode
        out.seek(0)
        err.seek(0)
        if check_status and status != 0:
            raise Failure("probe %s failed: %s" % (" ".join(str(a) for a in args),
                                                   err.read().decode(errors="replace").strip()))
        return out.read()


def text_of(selector, control):
    return probe("text", selector, control)


def wait_shown(selector, ms=WINDOW_WAIT_MS):
    probe("wait", selector, ms, timeout=ms / 1000 + 30)


def wait_gone(selector, ms=WINDOW_WAIT_MS):
    probe("gone", selector, ms, timeout=ms / 1000 + 30)


def rect(selector, control=None):
    args = ["rect", selector] + ([control] if control is not None else [])
    return tuple(int(v) for v in probe(*args).split())


def centre(r):
    return ((r[0] + r[2]) // 2, (r[1] + r[3]) // 2)


def xdotool(*args):
    subprocess.run(["xdotool", *[str(a) for a in args]], check=True, timeout=30)


def pointer():
    out = subprocess.run(["xdotool", "getmouselocation", "--shell"], stdout=subprocess.PIPE, check=True,
                         timeout=30).stdout.decode()
    values = dict(line.split("=", 1) for line in out.split())
    return (int(values["X"]), int(values["Y"]))


def move_to(point):
    # --sync waits for the pointer to move, so it would wait forever for a
    # pointer that is already there.
    if pointer() != tuple(point):
        xdotool("mousemove", "--sync", point[0], point[1])


def click_at(point):
    move_to(point)
    xdotool("click", 1)


def click_control(selector, control):
    """Clicks a control of a window in its middle, as a person aims."""
    click_at(centre(rect(selector, control)))


def tick(selector, control):
    """Clicks a check box on its box, near its left edge."""
    r = rect(selector, control)
    click_at((r[0] + 6, (r[1] + r[3]) // 2))


def type_into(selector, control, text):
    """Replaces the whole text of an edit box by typing, as a person does."""
    r = rect(selector, control)
    click_at((r[2] - 4, (r[1] + r[3]) // 2))  # the pointer stays over the window: keys reach Wine
    xdotool("key", "End", "shift+Home", "BackSpace")
    if text:
        xdotool("type", "--delay", 15, text)


def wait_responsive(selector):
    """Returns once the window's thread answers a message again. After a
    window of that thread is destroyed, Wine may keep the thread busy for
    about 2 s on a bare X server, and a drag that arrives meanwhile finds no
    one answering and is cancelled."""
    probe("text", selector, "-")


def drop(files, target, release=None):
    """Drags the files from our drag source onto the target point of the
    main window and drops them there, paced as Wine's XDND support needs.
    `release`, when given, lets go of the mouse button instead of xdotool
    and returns the system clock's time of the release, which drop returns."""
    wait_responsive(MAIN)
    source = subprocess.Popen(["/usr/bin/python3", DRAG_SOURCE, "%d,%d" % DRAG_SOURCE_AT, *files],
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    try:
        check_equal(source.stdout.readline().strip(), b"ready", "the drag source's start")
        start = (DRAG_SOURCE_AT[0] + 30, DRAG_SOURCE_AT[1] + 20)
        move_to(start)
        xdotool("mousedown", 1)
        steps = 12
        for i in range(1, steps + 1):
            xdotool("mousemove", start[0] + (target[0] - start[0]) * i // steps,
                    start[1] + (target[1] - start[1]) * i // steps)
            time.sleep(0.03)
        time.sleep(0.5)
        xdotool("mousemove", target[0] + 1, target[1])
        xdotool("mousemove", target[0], target[1])
        time.sleep(0.3)
        if release:
            released = release()
        else:
            xdotool("mouseup", 1)
            released = time.time()
        outcome = source.stdout.readline().strip()
        source.wait(timeout=10)
        check_equal(outcome, b"dropped", "the drag source's report of the drop")
        return released
    finally:
        if source.poll() is None:
            source.kill()
            source.wait()


def background_point():
    """A point of the main window's own background: left of the buttons,
    between the hint label and the log box."""
    client = rect(MAIN)
    hint, log_box = rect(MAIN, HINT), rect(MAIN, LOG_BOX)
    point = (client[0] + 3, (hint[3] + log_box[1]) // 2)
    check(point[1] > hint[3] and point[1] < log_box[1], "no background between the hint and the log box")
    return point
