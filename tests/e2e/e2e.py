#!/usr/bin/python3
"""End-to-end tests of Vorlane.exe, used from outside as a person uses it.

Each scenario starts the built program under Wine in a fresh directory on the
X display of the test run, moves the real pointer and presses real keys with
xdotool, drags files in from a GTK drag source of our own (drag_source.py),
reads what the windows show with the probe (a Win32 console program run in
the same Wine prefix) and compares the catalogue byte for byte. Whatever a
scenario starts is killed when it ends, passed or failed.

    e2e.py SCENARIO...     run the scenarios (all of them with "all")
    e2e.py --list          name them

Environment: DISPLAY and WINEPREFIX of a running Xvfb and wineserver,
VORLANE_EXE and VORLANE_PROBE (the two executables), optionally
VORLANE_E2E_ARTIFACTS (a folder for a screenshot of each failure). Other
scripts use these tools too; VORLANE_PROBE_DESKTOP points the probe at the
windows of a Wine virtual desktop of that name.
"""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

HERE = os.path.dirname(os.path.abspath(__file__))
DRAG_SOURCE = os.path.join(HERE, "drag_source.py")

HEADER = (b"[X]original ,[X]CD-R ,[Rip-DDL] Copy ,[YES]CD-bin ,[ID#####],[YES]HD-bin ,"
          b"Artist ,Album ,Tracks \r\n")
HYPHEN_LINE = b"-" * 41
CATALOGUE = "Vorlane.csv"

# Control ids.
LOG_BOX, ADD, EXIT, HINT, PICTURE = 1001, 1003, 1004, 1007, 1028
ORIGINAL, CDR, RIP_DDL, CD_BIN, ID_CHECK, HD_BIN = 1008, 1009, 1010, 1011, 1012, 1013
TRACK_BOX, UPDATE, SEL_EXIT, ID_BOX, RIP_DDL_BOX = 1015, 1018, 1020, 1027, 1028
ALL_CHECKS = (ORIGINAL, CDR, RIP_DDL, CD_BIN, ID_CHECK, HD_BIN)
MESSAGE_TEXT, OK_BUTTON = 65535, 1  # a message box's text and its OK button

MAIN = "Vorlane@%d" % LOG_BOX       # the main window (not a message box captioned "Vorlane")
DIALOG = "Add Items"
FAILURE_BOX = "Vorlane@%d" % MESSAGE_TEXT
ABOUT_BOX = "About Vorlane@%d" % MESSAGE_TEXT

# Where the drag source's window stands: far from the program's windows.
DRAG_SOURCE_AT = (820, 640)

# Destroying a shown window of a program whose windows a window manager
# would manage costs Wine about 2 s on a bare X server; waits allow for it.
WINDOW_WAIT_MS = 15000


class Failure(Exception):
    pass


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


def check_state(selector, control):
    return int(probe("check", selector, control))


def count(selector):
    return int(probe("count", selector))


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


def screen_pixels(r):
    """The screen's pixels in the rectangle, as rows of (r, g, b)."""
    width, height = r[2] - r[0], r[3] - r[1]
    raw = subprocess.run(["import", "-silent", "-window", "root", "-crop",
                          "%dx%d+%d+%d" % (width, height, r[0], r[1]), "-depth", "8", "rgb:-"],
                         stdout=subprocess.PIPE, check=True, timeout=30).stdout
    check_equal(len(raw), width * height * 3, "bytes of a screen capture")
    return [[tuple(raw[(y * width + x) * 3:(y * width + x) * 3 + 3]) for x in range(width)]
            for y in range(height)]


def wait_until(condition, what, seconds=10):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            raise Failure("timed out waiting until " + what)
        time.sleep(0.05)


# ---------------------------------------------------------------------------
# The program under test and the drag source


class Vorlane:
    """Vorlane.exe running under Wine in a fresh directory of its own."""

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="vorlane-e2e-")
        self.log = open(os.path.join(self.folder, "wine-output.txt"), "wb")
        self.process = None
        self.helpers = []

    def start(self):
        check_equal(count(MAIN), 0, "Vorlane main windows open before the start")
        self.process = subprocess.Popen(["wine", os.environ["VORLANE_EXE"]], cwd=self.folder,
                                        stdout=self.log, stderr=subprocess.STDOUT)
        wait_shown(MAIN)

    def path(self, name):
        return os.path.join(self.folder, name)

    def make_file(self, name, content=b"ID3"):
        with open(self.path(name), "wb") as f:
            f.write(content)
        return self.path(name)

    def catalogue(self):
        """The catalogue's bytes; None when there is no catalogue."""
        try:
            with open(self.path(CATALOGUE), "rb") as f:
                return f.read()
        except FileNotFoundError:
            return None

    def running(self):
        return self.process is not None and self.process.poll() is None

    def wait_exit(self, seconds=20):
        try:
            return self.process.wait(timeout=seconds)
        except subprocess.TimeoutExpired:
            raise Failure("Vorlane did not end within %d s" % seconds)

    def close(self):
        for helper in self.helpers:
            if helper.poll() is None:
                helper.kill()
            helper.wait()
        if self.running():
            self.process.kill()
            self.process.wait()
        self.log.close()
        shutil.rmtree(self.folder, ignore_errors=True)


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
    source = subprocess.Popen(["/usr/bin/python3", DRAG_SOURCE, "--at", "%d,%d" % DRAG_SOURCE_AT, *files],
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


def catalogue_of(*records):
    return HEADER + b"".join(r + b"\r\n" for r in records)


def log_of(*entries_newest_first):
    return b"".join(e + b"\r\n" for e in entries_newest_first) + HYPHEN_LINE + b"\r\n"


def checks_of(selector):
    return [check_state(selector, c) for c in ALL_CHECKS]


def background_point():
    """A point of the main window's own background: left of the buttons,
    between the hint label and the log box."""
    client = rect(MAIN)
    hint, log_box = rect(MAIN, HINT), rect(MAIN, LOG_BOX)
    point = (client[0] + 3, (hint[3] + log_box[1]) // 2)
    check(point[1] > hint[3] and point[1] < log_box[1], "no background between the hint and the log box")
    return point


# ---------------------------------------------------------------------------
# Scenarios


def scenario_drop_one_mp3(app):
    """One MP3 dropped on the window's background; boxes ticked, an ID typed,
    Update: one record, one log entry, and the dialog closes."""
    song = app.make_file("Artist - Album - Track.mp3")
    drop([song], background_point())
    wait_shown(DIALOG)
    check_equal(count(DIALOG), 1, "dialogs open")
    check_equal(text_of(DIALOG, TRACK_BOX), b"Artist , Album , Track..", "track box")
    check_equal(checks_of(DIALOG), [0] * 6, "check boxes of a new dialog")
    check_equal(text_of(DIALOG, RIP_DDL_BOX), b"RIP or DLL", "RIP/DDL box")

    for box in (ORIGINAL, CD_BIN, ID_CHECK):
        tick(DIALOG, box)
    type_into(DIALOG, ID_BOX, "ID04711")
    check_equal(checks_of(DIALOG), [1, 0, 0, 1, 1, 0], "check boxes after ticking")
    check_equal(text_of(DIALOG, ID_BOX), b"ID04711", "ID box after typing")
    check(app.catalogue() is None, "a catalogue before Update")

    click_control(DIALOG, UPDATE)
    wait_gone(DIALOG)
    record = b"X,-,-,Yes,ID04711,No,Artist , Album , Track.."
    check_equal(app.catalogue(), catalogue_of(record), "catalogue")
    check_equal(text_of(MAIN, LOG_BOX), log_of(b"Artist , Album , Track.."), "log box")
    check(app.running(), "Vorlane ended after the Update")


def scenario_drop_three_files(app):
    """Three files in one drop open one dialog, with the last file's name."""
    files = [app.make_file("Alpha %d - Album %d - Song %d.mp3" % (i, i, i)) for i in (1, 2, 3)]
    drop(files, background_point())
    wait_shown(DIALOG)
    time.sleep(1)  # a second dialog, if one came, would be there by now
    check_equal(count(DIALOG), 1, "dialogs open after one drop of three files")
    check_equal(text_of(DIALOG, TRACK_BOX), b"Alpha 3 , Album 3 , Song 3..", "track box")
    click_control(DIALOG, UPDATE)
    wait_gone(DIALOG)
    check_equal(app.catalogue(), catalogue_of(b"-,-,-,No,-,No,Alpha 3 , Album 3 , Song 3.."), "catalogue")


def scenario_drop_on_controls(app):
    """Files dropped on the log box and on a button are taken like files
    dropped on the window; Exit in the dialog writes nothing."""
    first = app.make_file("Log - Box - Drop.mp3")
    drop([first], centre(rect(MAIN, LOG_BOX)))
    wait_shown(DIALOG)
    check_equal(text_of(DIALOG, TRACK_BOX), b"Log , Box , Drop..", "track box after a drop on the log box")
    click_control(DIALOG, SEL_EXIT)
    wait_gone(DIALOG)
    check(app.catalogue() is None, "Exit wrote a catalogue")
    check_equal(text_of(MAIN, LOG_BOX), b"", "log box after Exit")

    second = app.make_file("Button - Drop - Test.mp3")
    drop([second], centre(rect(MAIN, ADD)))
    wait_shown(DIALOG)
    check_equal(count(DIALOG), 1, "dialogs open after a drop on the Add button")
    check_equal(text_of(DIALOG, TRACK_BOX), b"Button , Drop , Test..", "track box after a drop on the Add button")
    tick(DIALOG, CDR)
    click_control(DIALOG, UPDATE)
    wait_gone(DIALOG)
    check_equal(app.catalogue(), catalogue_of(b"-,X,-,No,-,No,Button , Drop , Test.."), "catalogue")
    check_equal(text_of(MAIN, LOG_BOX), log_of(b"Button , Drop , Test.."), "log box")


def scenario_add_updates_exit(app):
    """Add, then several Updates from the one dialog (it stays open), a typed
    track text, the dialog's Exit and the main window's Exit."""
    click_control(MAIN, ADD)
    wait_shown(DIALOG)
    check_equal(text_of(DIALOG, TRACK_BOX), b"..,,", "track box after Add without a drop")
    tick(DIALOG, CDR)
    tick(DIALOG, RIP_DDL)
    click_control(DIALOG, UPDATE)
    wait_until(lambda: app.catalogue() is not None, "the first record is written")
    type_into(DIALOG, TRACK_BOX, "Solo")
    click_control(DIALOG, UPDATE)
    type_into(DIALOG, TRACK_BOX, "Band, Record, Song")
    click_control(DIALOG, UPDATE)
    records = [b"-,X,RIP or DLL,No,-,No,..,,",
               b"-,X,RIP or DLL,No,-,No,SoloArtist,Album,Track",
               b"-,X,RIP or DLL,No,-,No,Band, Record, Song"]
    wait_until(lambda: app.catalogue() == catalogue_of(*records), "three records are written")
    check_equal(count(DIALOG), 1, "dialogs open after three Updates")
    check_equal(checks_of(DIALOG), [0, 1, 1, 0, 0, 0], "check boxes after the Updates")
    check_equal(text_of(MAIN, LOG_BOX),
                log_of(b"Band, Record, Song", b"SoloArtist,Album,Track", b"..,,"), "log box")

    click_control(DIALOG, SEL_EXIT)
    wait_gone(DIALOG)
    check(app.running(), "Vorlane ended with the dialog")
    click_control(MAIN, EXIT)
    check_equal(app.wait_exit(), 0, "exit status")
    check_equal(app.catalogue(), catalogue_of(*records), "catalogue after Exit")


def scenario_close_main_under_dialog(app):
    """Alt+F4 on the main window while a dialog is open: the window goes, the
    dialog stays and its Update still writes, and the process ends with the
    dialog."""
    click_control(MAIN, ADD)
    wait_shown(DIALOG)
    tick(DIALOG, HD_BIN)
    click_at(background_point())  # a person activates the main window first
    xdotool("key", "alt+F4")
    wait_gone(MAIN)
    check(app.running(), "Vorlane ended while its dialog was open")
    check_equal(count(DIALOG), 1, "dialogs open after the main window closed")

    click_control(DIALOG, UPDATE)
    wait_until(lambda: app.catalogue() is not None, "the Update writes")
    check_equal(app.catalogue(), catalogue_of(b"-,-,-,No,-,Yes,..,,"), "catalogue")
    check(app.running(), "Vorlane ended after the Update")
    click_control(DIALOG, SEL_EXIT)
    check_equal(app.wait_exit(), 0, "exit status")


def start_holder(app):
    """Another Wine program holding the catalogue open without sharing."""
    holder = subprocess.Popen(["wine", os.environ["VORLANE_PROBE"], "hold", app.path(CATALOGUE), "120"],
                              stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    app.helpers.append(holder)
    check_equal(holder.stdout.readline().strip(), b"held", "the holder's start")
    return holder


def release(holder):
    holder.stdin.write(b"go\n")
    holder.stdin.flush()
    check_equal(holder.stdout.readline().strip(), b"released", "the holder's release")
    holder.wait(timeout=10)


def scenario_catalogue_held(app):
    """A catalogue held open by another program: the Update says so and loses
    nothing; after the release, Update writes. A hold released within the
    short retry does not show the message at all."""
    click_control(MAIN, ADD)
    wait_shown(DIALOG)
    tick(DIALOG, ORIGINAL)
    click_control(DIALOG, UPDATE)
    first = catalogue_of(b"X,-,-,No,-,No,..,,")
    wait_until(lambda: app.catalogue() == first, "the first record is written")

    holder = start_holder(app)
    tick(DIALOG, ID_CHECK)
    type_into(DIALOG, ID_BOX, "ID00042")
    click_control(DIALOG, UPDATE)
    wait_shown(FAILURE_BOX)
    message = text_of(FAILURE_BOX, MESSAGE_TEXT)
    check(b'could not open the catalogue "Vorlane.csv"' in message, "failure message names the file: %r" % message)
    check(b"Nothing was written. Your entries are kept; press Update to try again." in message,
          "failure message says nothing was lost: %r" % message)
    check_equal(app.catalogue(), first, "catalogue while held")
    check_equal(text_of(MAIN, LOG_BOX), log_of(b"..,,"), "log box after the failed Update")

    click_control(FAILURE_BOX, OK_BUTTON)
    wait_gone(FAILURE_BOX)
    check_equal(checks_of(DIALOG), [1, 0, 0, 0, 1, 0], "check boxes after the failure")
    check_equal(text_of(DIALOG, ID_BOX), b"ID00042", "ID box after the failure")

    release(holder)
    click_control(DIALOG, UPDATE)
    second = first + b"X,-,-,No,ID00042,No,..,,\r\n"
    wait_until(lambda: app.catalogue() == second, "the Update after the release writes")
    check_equal(text_of(MAIN, LOG_BOX), log_of(b"..,,", b"..,,"), "log box after the second record")

    # Held, and let go a tenth of a second after the click: the retry wins.
    holder = start_holder(app)
    click_control(DIALOG, UPDATE)
    time.sleep(0.1)
    release(holder)
    third = second + b"X,-,-,No,ID00042,No,..,,\r\n"
    wait_until(lambda: app.catalogue() == third, "the Update during a brief hold writes")
    check_equal(count(FAILURE_BOX), 0, "failure messages after a brief hold")


def paper_over_box(normal, hot):
    """How many pixels show the hot picture's white paper where the normal
    picture shows the brown box: the filled box standing where the empty one
    stood. Independent of the button's face colour."""
    def brown(p):
        return p[0] > p[2] + 40

    def paper(p):
        return min(p) >= 0xE0 and max(p) - min(p) <= 12

    return sum(1 for row_n, row_h in zip(normal, hot) for n, h in zip(row_n, row_h) if brown(n) and paper(h))


def scenario_picture_button(app):
    """The picture button shows the filled box while the pointer is over it
    and the empty box again when it leaves; a click opens the About box."""
    button = rect(MAIN, PICTURE)
    away = (button[0] - 20, button[3] + 40)
    move_to(away)
    time.sleep(0.3)
    normal = screen_pixels(button)
    check(sum(1 for row in normal for p in row if p[0] > p[2] + 40) > 300, "the normal picture shows the box")

    move_to(centre(button))
    wait_until(lambda: paper_over_box(normal, screen_pixels(button)) > 100,
               "the hot picture shows paper in the box")

    move_to(away)
    wait_until(lambda: screen_pixels(button) == normal, "the picture is back to normal after the pointer left")

    click_at(centre(button))
    wait_shown(ABOUT_BOX)
    check(text_of(ABOUT_BOX, MESSAGE_TEXT).startswith(b"Vorlane 1.0"), "About box text")
    check_equal(count(DIALOG), 0, "dialogs open after the picture button's click")
    click_control(ABOUT_BOX, OK_BUTTON)
    wait_gone(ABOUT_BOX)
    check(app.running(), "Vorlane ended with the About box")


SCENARIOS = {
    "drop_one_mp3": scenario_drop_one_mp3,
    "drop_three_files": scenario_drop_three_files,
    "drop_on_controls": scenario_drop_on_controls,
    "add_updates_exit": scenario_add_updates_exit,
    "close_main_under_dialog": scenario_close_main_under_dialog,
    "catalogue_held": scenario_catalogue_held,
    "picture_button": scenario_picture_button,
}


def save_failure_picture(name):
    folder = os.environ.get("VORLANE_E2E_ARTIFACTS")
    if not folder:
        return
    os.makedirs(folder, exist_ok=True)
    picture = os.path.join(folder, name + ".png")
    subprocess.run(["import", "-silent", "-window", "root", picture], timeout=30)
    print("screen at the failure: " + picture)


def run(name):
    print("== " + name)
    started = time.monotonic()
    app = Vorlane()
    try:
        app.start()
        SCENARIOS[name](app)
    except (Failure, subprocess.SubprocessError, OSError):
        traceback.print_exc(limit=-2)
        try:
            print(probe("windows", check_status=False).decode(errors="replace"))
            save_failure_picture(name)
        except (subprocess.SubprocessError, OSError):
            pass
        print("FAILED %s (%.1f s)" % (name, time.monotonic() - started))
        return False
    finally:
        app.close()
    print("passed %s (%.1f s)" % (name, time.monotonic() - started))
    return True


def main(argv):
    if argv == ["--list"]:
        print("\n".join(SCENARIOS))
        return 0
    names = list(SCENARIOS) if argv == ["all"] else argv
    unknown = [n for n in names if n not in SCENARIOS]
    if not names or unknown:
        print(__doc__ + "\nunknown scenario(s): " + " ".join(unknown), file=sys.stderr)
        return 2
    for variable in ("DISPLAY", "WINEPREFIX", "VORLANE_EXE", "VORLANE_PROBE"):
        if not os.environ.get(variable):
            print("e2e: %s is not set" % variable, file=sys.stderr)
            return 2
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))  # CTest's timeout: still clean up
    failed = [n for n in names if not run(n)]
    if failed:
        print("failed: " + " ".join(failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
