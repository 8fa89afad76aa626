#!/usr/bin/python3
"""A drag source for the tests: a small undecorated window at the screen's
top left corner, 100 x 100 pixels, whose content drags the URIs given on
the command line as a file manager drags files. Prints "ready" once shown
and "dragged" when a drag has ended.
"""
import sys

import gi

gi.require_version("Gdk", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, Gtk  # noqa: E402


def main():
    uris = sys.argv[1:]
    window = Gtk.Window(type=Gtk.WindowType.TOPLEVEL)
    window.set_decorated(False)
    window.move(0, 0)
    window.set_default_size(100, 100)
    source = Gtk.EventBox()
    source.add(Gtk.Label(label="files"))
    source.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [], Gdk.DragAction.COPY)
    source.drag_source_add_uri_targets()
    source.connect("drag-data-get", lambda _w, _c, data, _i, _t: data.set_uris(uris))
    source.connect("drag-end", lambda *_: print("dragged", flush=True))
    window.add(source)
    window.connect("map-event", lambda *_: print("ready", flush=True))
    window.connect("destroy", Gtk.main_quit)
    window.show_all()
    Gtk.main()


if __name__ == "__main__":
    main()
