#!/usr/bin/python3
"""What a screen reader finds of a running program through AT-SPI.

accessible.py tree PID        the program's frames, buttons and web documents
accessible.py press PID NAME  the default action of the button of that name
accessible.py watch PID       prints the program's name and state changes
                              until it is ended
accessible.py menu PID        the names of the items of the menus shown, one a
                              line, separators left out

The tree lines are "frame NAME", "document", and for every button outside
the documents
"ROLE|NAME|X Y W H|STATES" with the bounds in screen pixels and the states
among armed, checked and pressed. Exit status 2: no such program on the bus.
"""
import sys

import pyatspi

BUTTONS = {pyatspi.ROLE_PUSH_BUTTON: "push button", pyatspi.ROLE_TOGGLE_BUTTON: "toggle button"}
SHOWN_STATES = [(pyatspi.STATE_ARMED, "armed"), (pyatspi.STATE_CHECKED, "checked"),
                (pyatspi.STATE_PRESSED, "pressed")]


def program(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    sys.exit(2)


def walk(node, depth=0):
    """The program's objects down to its web documents, not into them."""
    if node is None or depth > 12:
        return
    yield node
    if node.getRole() == pyatspi.ROLE_DOCUMENT_WEB:
        return
    for child in node:
        yield from walk(child, depth + 1)


def states(node):
    held = node.getState()
    return ",".join(name for state, name in SHOWN_STATES if held.contains(state))


def tree(app):
    for node in walk(app):
        role = node.getRole()
        if role == pyatspi.ROLE_FRAME:
            print("frame", node.name)
        elif role == pyatspi.ROLE_DOCUMENT_WEB:
            print("document")
        elif role in BUTTONS:
            box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            print(f"{BUTTONS[role]}|{node.name}|{box.x} {box.y} {box.width} {box.height}|"
                  f"{states(node)}")


MENU_ITEMS = {pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_CHECK_MENU_ITEM, pyatspi.ROLE_RADIO_MENU_ITEM}


def menu(app):
    for node in walk(app):
        if node.getRole() in MENU_ITEMS and node.getState().contains(pyatspi.STATE_SHOWING):
            print(node.name)


def press(app, name):
    for node in walk(app):
        if node.getRole() in BUTTONS and node.name == name:
            sys.exit(0 if node.queryAction().doAction(0) else 1)
    sys.exit(3)


def watch(pid):
    def heard(event):
        if event.host_application is None or event.host_application.get_process_id() != pid:
            return
        print(event.type, event.source.name, event.detail1, flush=True)

    pyatspi.Registry.registerEventListener(heard, "object:state-changed",
                                           "object:property-change:accessible-name")
    print("watching", flush=True)
    pyatspi.Registry.start()


def main():
    command, pid = sys.argv[1], int(sys.argv[2])
    if command == "watch":
        watch(pid)
        return
    app = program(pid)
    if command == "tree":
        tree(app)
    elif command == "menu":
        menu(app)
    elif command == "press":
        press(app, sys.argv[3])


if __name__ == "__main__":
    main()
