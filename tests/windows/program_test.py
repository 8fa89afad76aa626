#!/usr/bin/env python3
"""skinshell.exe under Wine on Xvfb (no window manager): the window appears
at the designed size, centred; the marker file is made; a caption drag moves
it and a corner drag sizes it; the close button writes html\\size.ini in the
Linux format and the next start comes back there.

Usage: program_test.py <program folder> <wine prefix>
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

DIST, PREFIX = sys.argv[1], sys.argv[2]
TWIPS = 15


def run(*args):
    return subprocess.run(args, capture_output=True, text=True, timeout=30).stdout


def wait(what, probe, seconds=60):
    end = time.time() + seconds
    while time.time() < end:
        value = probe()
        if value:
            return value
        time.sleep(0.1)
    raise SystemExit(f"FAIL: timed out waiting for {what}")


def window():
    ids = run("xdotool", "search", "--onlyvisible", "--name", "^Skinshell$").split()
    return ids[0] if ids else None


def geometry(wid):
    values = {}
    for line in run("xdotool", "getwindowgeometry", "--shell", wid).splitlines():
        key, _, value = line.partition("=")
        values[key] = int(value) if value.lstrip("-").isdigit() else value
    return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]


def drag(x0, y0, x1, y1):
    run("xdotool", "mousemove", str(x0), str(y0), "mousedown", "1")
    time.sleep(0.3)
    for step in (1, 2, 3):
        run("xdotool", "mousemove", str(x0 + (x1 - x0) * step // 3), str(y0 + (y1 - y0) * step // 3))
        time.sleep(0.15)
    run("xdotool", "mouseup", "1")


def settled(wid, expected):
    def probe():
        return geometry(wid) if geometry(wid) == expected else None
    return wait(f"geometry {expected} (now {geometry(wid)})", probe, 20)


def check(condition, message):
    if not condition:
        raise SystemExit("FAIL: " + message)


def main():
    folder = tempfile.mkdtemp(prefix="skinshell-win-")
    xvfb = None
    app = None
    try:
        program = os.path.join(folder, "program")
        shutil.copytree(DIST, program)
        for stale in ("size.ini",):
            path = os.path.join(program, "html", stale)
            if os.path.exists(path):
                os.remove(path)
        # Wine's desktop keeps the display of the first program of the
        # session: scripts/wine-tests.sh gives the run one; alone, the test
        # starts its own.
        if not os.environ.get("DISPLAY"):
            read, write = os.pipe()
            xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0",
                                     "1280x1024x24", "-noreset", "-nolisten", "tcp"],
                                    pass_fds=[write], stderr=subprocess.DEVNULL)
            os.close(write)
            os.environ["DISPLAY"] = ":" + os.read(read, 16).decode().strip()
        os.environ.update(WINEPREFIX=PREFIX, WINEDEBUG="-all", WINEDLLOVERRIDES="mshtml=d")
        screen = run("xdotool", "getdisplaygeometry").split()
        screen_w, screen_h = int(screen[0]), int(screen[1])

        def start():
            return subprocess.Popen(["wine", os.path.join(program, "skinshell.exe")],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)

        app = start()
        wid = wait("the window", window)
        x, y, w, h = wait("the designed size", lambda: (lambda g: g if g[2:] == (878, 560) else None)(geometry(wid)), 20)
        check((x, y) == ((screen_w - w) // 2, (screen_h - h) // 2), f"not centred: {x},{y}")
        check(os.path.exists(os.path.join(program, "html", "installation.lock")), "no marker file")

        drag(x + 300, y + 10, x + 350, y + 30)
        x, y, w, h = settled(wid, (x + 50, y + 20, w, h))
        drag(x + w - 1, y + h - 1, x + w + 29, y + h + 19)
        x, y, w, h = settled(wid, (x, y, w + 30, h + 20))

        # The close button, the caption's rightmost.
        run("xdotool", "mousemove", str(x + w - 18), str(y + 11), "click", "1")
        app.wait(timeout=60)
        with open(os.path.join(program, "html", "size.ini"), "rb") as f:
            stored = f.read()
        want = f"[mainwin]\r\nTestOCX_new={y * TWIPS},{x * TWIPS},{h * TWIPS},{w * TWIPS}\r\n"
        check(stored == want.encode(), f"size.ini holds {stored!r}, not {want!r}")
        wait("the window to go", lambda: window() is None, 20)

        app = start()
        wid = wait("the window again", window)
        settled(wid, (x, y, w, h))
        run("xdotool", "mousemove", str(x + w - 18), str(y + 11), "click", "1")
        app.wait(timeout=60)
        print("ok")
    finally:
        if app and app.poll() is None:
            app.kill()
        if xvfb:
            xvfb.terminate()
            xvfb.wait()
        shutil.rmtree(folder, ignore_errors=True)


main()
