#!/usr/bin/python3
"""Fills in the "Add Items" dialog of a Vorlane running in the Wine virtual
desktop (at the top-left of the X screen), saves pictures of the dialog and,
after one Update, of the main window. Run by screenshots.sh.

    take_screenshots.py FOLDER
"""

import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "bench"))
import desktop  # noqa: E402

AWAY = (780, 580)  # inside the desktop, off both windows, so no button shows its hover look
DEMO = "Round-rect buttons"  # the example program's window
TRACK = "The Quiet Hours , Harbour Songs , Low Tide.."  # as a drop of 'The Quiet Hours - Harbour Songs - Low Tide.mp3' fills it


def save_window(selector, path):
    left, top, right, bottom = (int(v) for v in desktop.probe("frame", selector).split())
    # A click on the title bar makes the window active, as a person's click
    # would; nothing but the pointer moves between that and the picture, since
    # a Wine program starting meanwhile (the probe) can take the activation.
    desktop.click_at((left + 60, top + 8))
    desktop.move_to(AWAY)
    time.sleep(0.5)
    subprocess.run(["/usr/bin/import", "-silent", "-window", "root", "-crop",
                    "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage", "-strip", path],
                   check=True)
    print("wrote " + path)


def wait_for_desktop():
    deadline = time.monotonic() + 30
    while desktop.probe("count", desktop.MAIN, check_status=False).strip() in (b"", b"0"):
        if time.monotonic() > deadline:
            raise desktop.Failure("Vorlane did not show in the virtual desktop")
        time.sleep(0.2)


def main(folder):
    wait_for_desktop()
    desktop.click_control(desktop.MAIN, desktop.ADD)
    desktop.wait_shown(desktop.DIALOG)
    desktop.tick(desktop.DIALOG, desktop.ORIGINAL)
    desktop.tick(desktop.DIALOG, desktop.HD_BIN)
    desktop.type_into(desktop.DIALOG, desktop.TRACK_BOX, TRACK)
    desktop.check_equal(desktop.text_of(desktop.DIALOG, desktop.TRACK_BOX), TRACK.encode(), "track box")
    save_window(desktop.DIALOG, os.path.join(folder, "add-items.png"))

    desktop.click_control(desktop.DIALOG, desktop.UPDATE)
    desktop.wait_for(lambda: desktop.text_of(desktop.MAIN, desktop.LOG_BOX).startswith(TRACK.encode()), "the log shows the entry")
    desktop.click_control(desktop.DIALOG, desktop.SEL_EXIT)
    desktop.wait_gone(desktop.DIALOG)
    desktop.wait_responsive(desktop.MAIN)
    save_window(desktop.MAIN, os.path.join(folder, "main-window.png"))

    subprocess.Popen(["wine", "explorer", "/desktop=shot,800x600", os.environ["VORLANE_DEMO"]],
                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    desktop.wait_shown(DEMO)
    save_window(DEMO, os.path.join(folder, "button-demo.png"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
