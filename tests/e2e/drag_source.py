#!/usr/bin/python3
# A small X11 drag source, as a Linux file manager is one: a 120 x 60 window
# at X,Y of the screen that offers the given files as text/uri-list (XDND).
#
#     drag_source.py X,Y FILE...
#
# Prints "ready" once the window is on screen and, when the drag ends,
# "dropped" or "cancelled"; left alone, it ends after 60 seconds.

import os
import sys
import urllib.parse

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402


def main(at, *files):
    uris = ["file://" + urllib.parse.quote(os.path.abspath(f)) for f in files]
    window = Gtk.Window(title="drag source")
    window.set_decorated(False)
    window.set_default_size(120, 60)
    window.move(*(int(v) for v in at.split(",")))
    area = Gtk.EventBox()
    area.add(Gtk.Label(label="%d file(s)" % len(uris)))
    window.add(area)
    area.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [], Gdk.DragAction.COPY)
    area.drag_source_set_target_list(Gtk.TargetList.new([Gtk.TargetEntry.new("text/uri-list", 0, 0)]))
    state = {"outcome": "dropped"}
    area.connect("drag-data-get", lambda _w, _c, selection, _i, _t: selection.set_uris(uris))
    # drag-failed comes before drag-end when no target took the drop.
    area.connect("drag-failed", lambda *_: state.update(outcome="cancelled"))
    area.connect("drag-end", lambda *_: GLib.timeout_add(100, Gtk.main_quit))
    window.connect("map-event", lambda *_: GLib.timeout_add(200, lambda: print("ready", flush=True)))
    window.show_all()
    GLib.timeout_add_seconds(60, lambda: state.update(outcome="cancelled") or Gtk.main_quit())
    Gtk.main()
    print(state["outcome"], flush=True)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
