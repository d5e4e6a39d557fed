#!/usr/bin/python3
"""A small X11 drag source, as a Linux file manager is one: a window that
offers the given files as text/uri-list (XDND) when dragged from.

    drag_source.py --at X,Y FILE...

The window (120 x 60 pixels) appears with its top-left corner at X,Y of the
screen. The program prints "ready" once the window is on screen, and at the
end of the drag "dropped" or "cancelled", then exits. Left alone, it ends by
itself after 60 seconds, saying "cancelled".
"""

import argparse
import os
import sys
import urllib.parse

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402

def file_uri(path):
    return "file://" + urllib.parse.quote(os.path.abspath(path))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--at", required=True, help="X,Y of the window's top-left corner")
    parser.add_argument("files", nargs="+")
    args = parser.parse_args()
    x, y = (int(v) for v in args.at.split(","))
    uris = [file_uri(f) for f in args.files]

    window = Gtk.Window(type=Gtk.WindowType.TOPLEVEL, title="drag source")
    window.set_decorated(False)
    window.set_default_size(120, 60)
    window.move(x, y)
    area = Gtk.EventBox()
    area.add(Gtk.Label(label="%d file(s)" % len(uris)))
    window.add(area)

    targets = Gtk.TargetList.new([Gtk.TargetEntry.new("text/uri-list", 0, 0)])
    area.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [], Gdk.DragAction.COPY)
    area.drag_source_set_target_list(targets)

    failed, ended = [], []

    def on_get(_widget, _context, selection, _info, _time):
        selection.set_uris(uris)

    def on_failed(_widget, _context, _result):
        # Comes before drag-end when no target took the drop.
        failed.append(True)
        return False

    def on_end(_widget, _context):
        ended.append(True)
        GLib.timeout_add(100, Gtk.main_quit)

    area.connect("drag-data-get", on_get)
    area.connect("drag-failed", on_failed)
    area.connect("drag-end", on_end)

    def on_mapped(*_):
        GLib.timeout_add(200, lambda: (print("ready", flush=True), False)[1])

    window.connect("map-event", on_mapped)
    window.connect("destroy", Gtk.main_quit)
    window.show_all()
    GLib.timeout_add_seconds(60, Gtk.main_quit)
    Gtk.main()
    print("dropped" if ended and not failed else "cancelled", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
