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
import desktop as e2e  # noqa: E402

AWAY = (780, 580)  # inside the desktop, off both windows, so no button shows its hover look
TRACK = "The Quiet Hours , Harbour Songs , Low Tide.."  # as a drop of 'The Quiet Hours - Harbour Songs - Low Tide.mp3' fills it


def save_window(selector, path):
    left, top, right, bottom = (int(v) for v in e2e.probe("frame", selector).split())
    # A click on the title bar makes the window active, as a person's click
    # would; nothing but the pointer moves between that and the picture, since
    # a Wine program starting meanwhile (the probe) can take the activation.
    e2e.click_at((left + 60, top + 8))
    e2e.move_to(AWAY)
    time.sleep(0.5)
    subprocess.run(["/usr/bin/import", "-silent", "-window", "root", "-crop",
                    "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage", "-strip", path],
                   check=True)
    print("wrote " + path)


def wait_for_desktop():
    deadline = time.monotonic() + 30
    while e2e.probe("count", e2e.MAIN, check_status=False).strip() in (b"", b"0"):
        if time.monotonic() > deadline:
            raise e2e.Failure("Vorlane did not show in the virtual desktop")
        time.sleep(0.2)


def main(folder):
    wait_for_desktop()
    e2e.click_control(e2e.MAIN, e2e.ADD)
    e2e.wait_shown(e2e.DIALOG)
    e2e.tick(e2e.DIALOG, e2e.ORIGINAL)
    e2e.tick(e2e.DIALOG, e2e.HD_BIN)
    e2e.type_into(e2e.DIALOG, e2e.TRACK_BOX, TRACK)
    e2e.check_equal(e2e.text_of(e2e.DIALOG, e2e.TRACK_BOX), TRACK.encode(), "track box")
    save_window(e2e.DIALOG, os.path.join(folder, "add-items.png"))

    e2e.click_control(e2e.DIALOG, e2e.UPDATE)
    e2e.wait_until(lambda: e2e.text_of(e2e.MAIN, e2e.LOG_BOX).startswith(TRACK.encode()), "the log shows the entry")
    e2e.click_control(e2e.DIALOG, e2e.SEL_EXIT)
    e2e.wait_gone(e2e.DIALOG)
    e2e.wait_responsive(e2e.MAIN)
    save_window(e2e.MAIN, os.path.join(folder, "main-window.png"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
