#!/usr/bin/python3
# End-to-end scenarios: Vorlane.exe under Wine used as a person uses it. The
# real pointer and keys come from xdotool, files are dragged in from a GTK drag
# source (drag_source.py) as from a file manager, windows are found by their
# captions as X sees them, and the outcome is the catalogue, byte for byte.
#
#     e2e.py SCENARIO     run one scenario
#     e2e.py --list       name them
#
# Environment: DISPLAY and WINEPREFIX of a running Xvfb and wineserver, and
# VORLANE_EXE; VORLANE_E2E_ARTIFACTS names a folder for a screenshot of a
# failure.

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HEADER = (b"[X]original ,[X]CD-R ,[Rip-DDL] Copy ,[YES]CD-bin ,[ID#####],[YES]HD-bin ,"
          b"Artist ,Album ,Tracks \r\n")
# Controls by their rectangles in dialog units (x, y, width, height).
LOG_BOX, ADD, EXIT, BACKGROUND = (2, 49, 145, 77), (67, 7, 47, 16), (67, 26, 47, 16), (2, 44, 4, 2)
UPDATE, SEL_EXIT, PICTURE = (183, 16, 47, 16), (183, 44, 47, 16), (120, 10, 32, 29)


class Failure(Exception):
    pass


def run(*command):
    return subprocess.run([str(part) for part in command], check=True, timeout=30, stdout=subprocess.PIPE).stdout


def wait_for(condition, what, seconds=15):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            raise Failure("timed out waiting until " + what)
        time.sleep(0.1)


def shown(caption):
    while True:  # xdotool gives up when a window goes away while it searches: search again
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % caption],
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        if b"X Error" not in found.stderr:
            return found.stdout.decode().split()


def until(caption, visible=True):
    wait_for(lambda: bool(shown(caption)) == visible, "%s is %s" % (caption, "shown" if visible else "gone"))


# The screen point at the middle of a control of the window with that caption,
# from its dialog units: 8-point "MS Sans Serif" has base units 6 x 13.
def centre(caption, control):
    until(caption)
    where = dict(line.split(b"=") for line in run("xdotool", "getwindowgeometry", "--shell", shown(caption)[0]).split())
    x, y, width, height = control
    return int(where[b"X"]) + ((2 * x + width) * 6 + 4) // 8, int(where[b"Y"]) + ((2 * y + height) * 13 + 8) // 16


def click(point):
    run("xdotool", "mousemove", point[0], point[1], "click", 1)


def keys(*names):
    run("xdotool", "key", "--delay", 40, *names)


def type_text(text):
    run("xdotool", "type", "--delay", 30, text)


class Vorlane:
    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="vorlane-e2e-")
        self.process = subprocess.Popen(["wine", os.environ["VORLANE_EXE"]], cwd=self.folder,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        until("Vorlane")

    def expect_catalogue(self, *records):
        expected = HEADER + b"".join(record + b"\r\n" for record in records)
        path = os.path.join(self.folder, "Vorlane.csv")
        read = lambda: open(path, "rb").read() if os.path.exists(path) else None  # noqa: E731
        wait_for(lambda: read() == expected, "the catalogue is %r (it is %r)" % (expected, read()))

    def expect_exit(self):
        if self.process.wait(timeout=20) != 0:
            raise Failure("exit status %d" % self.process.returncode)

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()
        shutil.rmtree(self.folder, ignore_errors=True)

    # Drags new files of these names from the drag source onto the target and
    # lets go there, paced as Wine's drag and drop needs.
    def drop(self, names, target):
        paths = [os.path.join(self.folder, name) for name in names]
        for path in paths:
            open(path, "wb").write(b"ID3")
        source = subprocess.Popen(["/usr/bin/python3", os.path.join(os.path.dirname(__file__), "drag_source.py"),
                                   "820,640", *paths], stdout=subprocess.PIPE)
        try:
            if source.stdout.readline().strip() != b"ready":
                raise Failure("the drag source did not start")
            run("xdotool", "mousemove", 850, 660, "mousedown", 1)
            for step in range(1, 13):
                run("xdotool", "mousemove", 850 + (target[0] - 850) * step // 12, 660 + (target[1] - 660) * step // 12)
                time.sleep(0.03)
            time.sleep(0.5)
            run("xdotool", "mousemove", target[0] + 1, target[1], "sleep", 0.3, "mousemove", target[0], target[1])
            run("xdotool", "sleep", 0.3, "mouseup", 1)
            if source.stdout.readline().strip() != b"dropped":
                raise Failure("the drop was not taken")
        finally:
            source.kill()
            source.wait()


# Three files dropped on the log box: the dialog shows the last one's name.
# Exit leaves the drop pending, so the dialog that Add opens next closes after
# its Update. That one is filled in with the
# keyboard alone, Tab from box to box, and Update pressed with Return. The
# main window's Exit button ends the program.
def scenario_drop_and_keys(app):
    app.drop(["Alpha - Album - Song 1.mp3", "Bravo - Album - Song 2.mp3", "Charlie - Album - Song 3.mp3"],
             centre("Vorlane", LOG_BOX))
    click(centre("Add Items", SEL_EXIT))
    until("Add Items", False)
    click(centre("Vorlane", ADD))
    until("Add Items")
    keys("space", "Tab", "Tab", "space", "Tab")
    type_text("FLAC, 24 bit")
    keys("Tab", "Tab", "space", "Tab")
    type_text("ID00231")
    keys("Tab", "Tab", "Tab", "Return")
    until("Add Items", False)
    app.expect_catalogue(b"X,-,FLAC, 24 bit,No,ID00231,No,Charlie . Album . Song 3..,,")
    click(centre("Vorlane", EXIT))
    app.expect_exit()


# The picture button clicked shows the About box. Add, Esc (nothing happens),
# a track typed, Update with Return (the dialog stays), Tab on to Exit;
# Add again, the main window closed with Alt+F4 under the open dialog, whose
# Update still writes; the process ends with the dialog.
def scenario_add_and_close(app):
    click(centre("Vorlane", PICTURE))
    until("About Vorlane")
    keys("Return")
    until("About Vorlane", False)
    click(centre("Vorlane", ADD))
    until("Add Items")
    keys("Escape")  # nothing: the keys after it still reach the dialog
    keys(*["Tab"] * 8)
    type_text("Solo")
    keys("Tab", "Return")
    app.expect_catalogue(b"-,-,-,No,-,No,SoloArtist,Album,Track")
    keys("Tab", "Tab", "Return")
    until("Add Items", False)
    click(centre("Vorlane", ADD))
    until("Add Items")
    click(centre("Vorlane", BACKGROUND))
    keys("alt+F4")
    until("Vorlane", False)
    click(centre("Add Items", UPDATE))
    app.expect_catalogue(b"-,-,-,No,-,No,SoloArtist,Album,Track", b"-,-,-,No,-,No,....,,")
    click(centre("Add Items", SEL_EXIT))
    app.expect_exit()


SCENARIOS = {name[len("scenario_"):]: f for name, f in globals().items() if name.startswith("scenario_")}


def main(argv):
    if argv == ["--list"]:
        print("\n".join(SCENARIOS))
        return 0
    if len(argv) != 1 or argv[0] not in SCENARIOS:
        print("usage: e2e.py SCENARIO | --list", file=sys.stderr)
        return 2
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))  # a CTest timeout still cleans up
    app = None
    try:
        app = Vorlane()
        SCENARIOS[argv[0]](app)
        return 0
    except (Failure, subprocess.SubprocessError) as failure:
        print("FAILED: %s" % failure)
        if os.environ.get("VORLANE_E2E_ARTIFACTS"):
            os.makedirs(os.environ["VORLANE_E2E_ARTIFACTS"], exist_ok=True)
            run("import", "-window", "root", os.path.join(os.environ["VORLANE_E2E_ARTIFACTS"], argv[0] + ".png"))
        return 1
    finally:
        if app:
            app.close()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
