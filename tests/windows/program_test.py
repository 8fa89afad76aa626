#!/usr/bin/env python3
"""skinshell.exe under Wine on Xvfb, with no window manager or under openbox.

Both: the first start centred at the designed size with its top corners cut
and the skin's pixels on its caption and edges, the marker made; a caption
drag moves the window, an edge drag sizes it, a corner drag stops at the
minimum; the maximize button, and the system menu's maximize, fill the work
area with the maximized skin and the restore button brings the bounds back; the close button writes
html\\size.ini in the Linux format and the next start comes back there.
Under openbox the work area leaves a strip free, as a taskbar would. With no
window manager: bad skins and
placement files, an html folder that cannot be written (the marker and the
placement then go to %LOCALAPPDATA%\\skinshell) and a placement file that
cannot be written, each say what the Linux program says on stderr, and
nothing crashes or is lost.

At the display scales of --dpi 96,144,192 (LogPixels, on a screen of its
own large enough for the window at 200 %): the window opens at its designed
size in device pixels, centred; the caption, edges, button faces and cut
corners are the skin's pixels, each covering the device pixels its logical
pixel covers (blocks of two at 192, one and two in turn at 144); a caption
drag, an edge drag and the maximize button; a stored placement opens at the
scale and is written back in the same twips.

Usage: program_test.py <program folder> <wine prefix> [--openbox] [--startup N] [--dpi LIST]
--startup N starts the program N times and prints the median time to its
window, asserting nothing (at the first of --dpi's scales, when given).
"""
import getpass
import math
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from fractions import Fraction

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import xscreen  # noqa: E402

DIST, PREFIX = sys.argv[1], sys.argv[2]
OPENBOX = "--openbox" in sys.argv
STARTS = int(sys.argv[sys.argv.index("--startup") + 1]) if "--startup" in sys.argv else 0
DPIS = ([int(n) for n in sys.argv[sys.argv.index("--dpi") + 1].split(",")]
        if "--dpi" in sys.argv else [])
# Device pixels to a logical one; the window and the skins are drawn in
# logical pixels, which cover floor(i * SCALE) .. floor((i + 1) * SCALE) - 1.
SCALE = Fraction(1)
# The device pixels of the caption (its bar, close face and top corners) the
# frame checks compared, and those equal to the skin's.
COUNTED = {"compared": 0, "equal": 0}
CAPTION = ("bar", "close face", "top left corner", "top right corner")
TWIPS = 15
DESIGNED = (878, 560)
BACKDROP = 0xFF00FF
# The strip openbox keeps free at the bottom, as a taskbar would.
STRIP = 40
SKINS = {name: xscreen.skin_pictures(os.path.join(DIST, "stype", name + ".jss"))
         for name in ("black-1", "black-2")}
# Caption buttons: right-aligned from the bar's end, close first (slot 0),
# then maximize/restore, then minimize; FROMRIGHT is the skin's own.
BUTTON_W, BUTTON_H, FROMTOP, SPACE = 28, 20, 3, 2
FROMRIGHT = {"black-1": 6, "black-2": 4}
LINE = "skinshell: "


def run(*args):
    return subprocess.run(args, capture_output=True, text=True, timeout=30).stdout


def check(condition, message):
    if not condition:
        raise SystemExit("FAIL: " + message)


def wait(what, probe, seconds=20):
    end = time.time() + seconds
    while True:
        value = probe()
        if value or time.time() > end:
            check(value, "timed out waiting for " + (what() if callable(what) else what))
            return value
        time.sleep(0.05)


def window():
    ids = run("xdotool", "search", "--onlyvisible", "--name", "^Skinshell$").split()
    return int(ids[0]) if ids else None


def geometry(wid):
    values = {}
    for line in run("xdotool", "getwindowgeometry", "--shell", str(wid)).splitlines():
        key, _, value = line.partition("=")
        values[key] = int(value) if value.lstrip("-").isdigit() else value
    return values.get("X"), values.get("Y"), values.get("WIDTH"), values.get("HEIGHT")


def settled(wid, expected):
    return wait(lambda: f"bounds {expected}, not {geometry(wid)}",
                lambda: geometry(wid) if geometry(wid) == tuple(expected) else None)


def move(x, y):
    run("xdotool", "mousemove", str(x), str(y))


def drag(x0, y0, x1, y1):
    # A move first: an edge learns from it which part of it is under the
    # pointer.
    move(x0 - 1, y0)
    move(x0, y0)
    run("xdotool", "mousedown", "1")
    time.sleep(0.3)
    for step in (1, 2, 3):
        move(x0 + (x1 - x0) * step // 3, y0 + (y1 - y0) * step // 3)
        time.sleep(0.15)
    run("xdotool", "mouseup", "1")


def device(i):
    return math.floor(i * SCALE)


def covering(d):
    """The logical pixel that covers device pixel d."""
    return math.ceil((d + 1) / SCALE) - 1


def logical_size(n):
    """The host's size of n device pixels: the fewest logical pixels covering
    them."""
    return math.ceil(n / SCALE)


def button(bounds, slot, skin):
    """A button's logical corner, in the window."""
    _, _, w, _ = bounds
    return logical_size(w) - FROMRIGHT[skin] - BUTTON_W - slot * (BUTTON_W + SPACE), FROMTOP


def click(bounds, slot, skin):
    """Points at a caption button until it shows its hover face, the skin's,
    and clicks it."""
    x, y = bounds[:2]
    left, top = button(bounds, slot, skin)
    face = SKINS[skin][("CLOSE3", "MAX3" if skin == "black-1" else "RES2")[slot]]
    nudge = [0]

    def hovered():
        nudge[0] ^= 1
        move(x + device(left + BUTTON_W // 2) - nudge[0], y + device(top + BUTTON_H // 2))
        shot = SCREEN_X.shot(*SCREEN)
        return all(shot(x + device(left + fx), y + device(top + fy)) == face[fy][fx] & 0xFFFFFF
                   for fy in range(BUTTON_H) for fx in range(BUTTON_W))
    wait(f"the hover face of button {slot}", hovered, 10)
    run("xdotool", "click", "1")


def work_area():
    out = run("xprop", "-root", "_NET_WORKAREA")
    numbers = [int(n) for n in re.findall(r"-?\d+", out.partition("=")[2])[:4]]
    if len(numbers) == 4:
        return numbers
    return [0, 0] + SCREEN


class Program:
    """One program folder, copied from the build's, and the runs in it."""

    def __init__(self, root, name):
        self.folder = os.path.join(root, name)
        shutil.copytree(DIST, self.folder)
        self.app = None
        self.errors = ""

    def path(self, *parts):
        return os.path.join(self.folder, *parts)

    def windows_path(self, *parts):
        return "Z:" + self.path(*parts).replace("/", "\\")

    def start(self):
        began = time.time()
        # A file, not a pipe: a Wine helper the program starts may hold it
        # open long after the program has ended.
        self.stderr = tempfile.TemporaryFile("w+")
        self.app = subprocess.Popen(["wine", self.path("skinshell.exe")],
                                    stdout=subprocess.DEVNULL, stderr=self.stderr)
        wid = wait("the window", lambda: window() if self.app.poll() is None else "gone")
        if wid == "gone":
            check(False, "the program ended at start-up:\n" + self.read_errors())
        self.started_ms = round((time.time() - began) * 1000)
        print(f"start-up to the window shown: {self.started_ms} ms", flush=True)
        return wid

    def close(self, bounds, skin="black-1"):
        """The close button; the program ends, cleanly."""
        click(bounds, 0, skin)
        self.stopped()

    def stopped(self):
        status = self.app.wait(timeout=60)
        self.errors = self.read_errors()
        self.app = None
        check(status == 0, f"the program ended with {status}:\n{self.errors}")
        wait("the window to go", lambda: window() is None)

    def read_errors(self):
        self.stderr.seek(0)
        return self.stderr.read()

    def lines(self):
        return [line for line in self.errors.splitlines() if line.startswith(LINE)]

    def placement(self):
        with open(self.path("html", "size.ini"), "rb") as f:
            return f.read()

    def kill(self):
        if self.app and self.app.poll() is None:
            self.app.kill()
            self.app.wait()


def stored(bounds):
    x, y, w, h = bounds
    return f"TestOCX_new={y * TWIPS},{x * TWIPS},{h * TWIPS},{w * TWIPS}"


def centred(size=DESIGNED):
    return ((SCREEN[0] - size[0]) // 2, (SCREEN[1] - size[1]) // 2) + tuple(size)


def backdrop_run(shot, left, right, y, from_right):
    n = 0
    while left + n <= right and shot(right - n if from_right else left + n, y) == BACKDROP:
        n += 1
    return n


def expect_skin(bounds, skin, cut):
    """The frame on screen is the skin's: the bar's middle column, the close
    face, each edge across its middle, the corners cut (or not). Each skin
    pixel is checked over every device pixel it covers."""
    x, y, w, h = bounds
    lw, lh = logical_size(w), logical_size(h)
    shot = SCREEN_X.shot(*SCREEN)
    pictures = SKINS[skin]
    wrong = []

    def same(lx, ly, picture, px, py, what):
        want = pictures[picture][py][px] & 0xFFFFFF
        for sy in range(y + device(ly), y + min(h, device(ly + 1))):
            for sx in range(x + device(lx), x + min(w, device(lx + 1))):
                counted = what in CAPTION
                COUNTED["compared"] += counted
                if shot(sx, sy) == want:
                    COUNTED["equal"] += counted
                else:
                    wrong.append(f"{what} at {sx},{sy}: {shot(sx, sy):06x}, not {want:06x}")

    bar = pictures["TOPMID"]
    # The page's rectangle takes the bar's last row.
    for row in range(len(bar) - 1):
        same(lw // 2, row, "TOPMID", 0, row, "bar")
    left, top = button(bounds, 0, skin)
    for fy in range(BUTTON_H):
        for fx in range(BUTTON_W):
            same(left + fx, top + fy, "CLOSE", fx, fy, "close face")
    if cut:
        middle = lh // 2
        for ex in range(len(pictures["LEFTMID"][0])):
            same(ex, middle, "LEFTMID", ex, 0, "left edge")
        edge = len(pictures["RIGHTMID"][0])
        for ex in range(edge):
            same(lw - edge + ex, middle, "RIGHTMID", ex, 0, "right edge")
        thick = len(pictures["BOTTOM"])
        for ey in range(thick):
            same(lw // 2, lh - thick + ey, "BOTTOM", 0, ey, "bottom edge")
        # The bottom corners are square, the edge's end pieces reach them.
        same(0, lh - 1, "LEFTBOT", 0, thick - 1, "lower left corner")
        # Three, two and one logical pixels cut from the top rows, each over
        # the device rows and columns it covers.
        cuts = [3, 2, 1, 0, 0]
        rows = device(len(cuts))
        runs = [(backdrop_run(shot, x, x + w - 1, y + row, False),
                 backdrop_run(shot, x, x + w - 1, y + row, True)) for row in range(rows)]
        # The region may reach past a window whose device width is not a
        # whole number of logical pixels; the window ends it.
        expected = [(device(cuts[covering(row)]), w - min(w, device(lw - cuts[covering(row)])))
                    for row in range(rows)]
        if runs != expected or shot(x - 1, y) != BACKDROP:
            wrong.append(f"top corners cut {runs}, not {expected}; "
                         f"backdrop beside {shot(x - 1, y):06x}")
        # Just inside the cuts, the skin's corner pieces.
        corner = len(pictures["TOPRIGHT"][0])
        for row, cut_here in enumerate(cuts if not wrong else []):
            same(cut_here, row, "TOPLEFT", cut_here, row, "top left corner")
            same(lw - 1 - cut_here, row, "TOPRIGHT", corner - 1 - cut_here, row,
                 "top right corner")
    else:
        # Square corners: the bar's own corner pieces, the whole window.
        same(0, 0, "TOPLEFT", 0, 0, "top left corner")
        same(lw - 1, 0, "TOPRIGHT", len(pictures["TOPRIGHT"][0]) - 1, 0, "top right corner")
    return wrong


def maximize_and_back(wid, bounds, area):
    """The caption's maximize fills area with the maximized skin; its
    restore button brings the window back to bounds."""
    click(bounds, 1, "black-1")
    settled(wid, area)
    wait(lambda: "the maximized skin:\n" + "\n".join(expect_skin(area, "black-2", False)[:20]),
         lambda: not expect_skin(area, "black-2", False), 10)
    click(area, 1, "black-2")
    settled(wid, bounds)


def window_case(root):
    """The window's life through a first and a second start."""
    p = Program(root, "first start")
    try:
        SCREEN_X.backdrop(BACKDROP)
        wid = p.start()
        bounds = settled(wid, centred())
        check(os.path.isfile(p.path("html", "installation.lock")), "no marker file")
        wrong = wait(lambda: "the skin's pixels:\n" + "\n".join(expect_skin(bounds, "black-1", True)[:20]),
                     lambda: not expect_skin(bounds, "black-1", True), 10)

        x, y, w, h = bounds
        drag(x + 300, y + 10, x + 350, y + 30)
        bounds = x, y, w, h = settled(wid, (x + 50, y + 20, w, h))
        # The left edge: the window grows to the left, its right side stays.
        drag(x + 2, y + h // 2, x - 40, y + h // 2)
        bounds = x, y, w, h = settled(wid, (x - 42, y, w + 42, h))
        # The lower right corner, far inward: the minimum holds.
        drag(x + w - 2, y + h - 2, x + w - 402, y + h - 302)
        bounds = settled(wid, (x, y, *DESIGNED))

        area = work_area()
        maximize_and_back(wid, bounds, area)
        wait("the normal skin back", lambda: not expect_skin(bounds, "black-1", True), 10)

        # The system menu's maximize (the taskbar button's menu is the same
        # menu) is taken over the same way.
        run("xdotool", "windowfocus", str(wid))
        run("xdotool", "key", "alt+space")
        time.sleep(0.3)
        run("xdotool", "key", "x")
        settled(wid, area)
        wait(lambda: "the maximized skin:\n" + "\n".join(expect_skin(area, "black-2", False)[:20]),
             lambda: not expect_skin(area, "black-2", False), 10)
        click(area, 1, "black-2")
        settled(wid, bounds)

        p.close(bounds)
        want = f"[mainwin]\r\n{stored(bounds)}\r\n".encode()
        check(p.placement() == want, f"size.ini holds {p.placement()!r}, not {want!r}")
        errors = p.lines()

        wid = p.start()
        settled(wid, bounds)
        p.close(bounds)
        check(not errors and not p.lines(), f"lines on stderr: {errors + p.lines()}")
    finally:
        p.kill()


def bad_skins_case(root):
    """Skins that cannot be used: the built-in ones draw, each file is named
    once, and the placement is still saved."""
    p = Program(root, "bad skins")
    try:
        os.remove(p.path("stype", "black-1.jss"))
        with open(p.path("stype", "black-2.jss"), "r+b") as f:
            f.truncate(300)
        wid = p.start()
        bounds = settled(wid, centred())
        # The built-in skins are the packed ones.
        wait("the built-in skin", lambda: not expect_skin(bounds, "black-1", True), 10)
        click(bounds, 1, "black-1")
        area = work_area()
        settled(wid, area)
        wait("the built-in maximized skin", lambda: not expect_skin(area, "black-2", False), 10)
        click(area, 1, "black-2")
        settled(wid, bounds)
        p.close(bounds)
        lines = p.lines()
        check(len(lines) == 2, f"not one line for each skin: {lines}")
        prefix = LINE + "cannot use the skin file "
        check(lines[0].startswith(prefix + p.windows_path("stype", "black-1.jss") +
                                  ": it cannot be read ("), lines[0])
        check(lines[1].startswith(prefix + p.windows_path("stype", "black-2.jss") + ": "), lines[1])
        for line, name in zip(lines, ("black-1", "black-2")):
            check(line.endswith("; the frame is drawn from the built-in skin " + name), line)
        check(stored(bounds).encode() in p.placement(), f"size.ini holds {p.placement()!r}")
    finally:
        p.kill()


def hostile_files_case(root):
    """A skin picture claiming a size past every limit is skipped and named;
    a placement that is not four numbers is ignored with one line, and what
    else its file holds is kept; a placement far larger than any screen too."""
    p = Program(root, "hostile files")
    try:
        skin = p.path("stype", "black-1.jss")
        with open(skin, "rb") as f:
            data = bytearray(f.read())
        # TOPMID's BMP: its width field, 18 bytes into the file.
        at = data.index(b"TOPMID") + len("TOPMID") + 5
        check(data[at:at + 2] == b"BM", "TOPMID is not where a packed skin keeps it")
        data[at + 18:at + 22] = (0x7FFFFFFF).to_bytes(4, "little")
        with open(skin, "wb") as f:
            f.write(data)
        for value in (b"1200,,8400,13170", b"7" * (1 << 20)):
            with open(p.path("html", "size.ini"), "wb") as f:
                f.write(b"[keep]\r\nme=1\r\n[mainwin]\r\nTestOCX_new=" + value + b"\r\n")
            wid = p.start()
            bounds = settled(wid, centred())
            # A drag before the close, so that the file must change.
            x, y, w, h = bounds
            drag(x + 300, y + 10, x + 310, y + 20)
            bounds = settled(wid, (x + 10, y + 10, w, h))
            p.close(bounds)
            lines = p.lines()
            placement = [line for line in lines if "placement" in line]
            check(len(placement) == 1 and placement[0].startswith(
                LINE + "ignoring the stored placement of TestOCX_new in " +
                p.windows_path("html", "size.ini") + ": ") and
                placement[0].endswith("; centring the window"), f"{value[:20]}: {lines}")
            check(p.placement() == f"[keep]\r\nme=1\r\n[mainwin]\r\n{stored(bounds)}\r\n".encode(),
                  f"size.ini holds {p.placement()[:200]!r}")
        # The skin is named once a run, with the key the frame skipped.
        skipped = [line for line in lines if "placement" not in line]
        check(skipped == [LINE + "the skin file " + p.windows_path("stype", "black-1.jss") +
                          " has keys the frame skips (pictures that do not decode, values that "
                          "do not convert): TOPMID"], f"{skipped}")
    finally:
        p.kill()


def locked(path, lock):
    """Makes a folder or a file unwritable: by its permission bits, and for
    root, whom they do not stop (Wine as root writes a file whose read-only
    attribute is set), immutable. False when that cannot be done here."""
    if not lock:
        subprocess.run(["chattr", "-i", path], stderr=subprocess.DEVNULL)
    mode = os.stat(path).st_mode
    os.chmod(path, mode & ~0o222 if lock else mode | 0o200)
    if lock and os.geteuid() == 0:
        subprocess.run(["chattr", "+i", path], stderr=subprocess.DEVNULL)
    probe = os.path.join(path, ".probe") if os.path.isdir(path) else path
    try:
        with open(probe, "a"):
            pass
        if probe != path:
            os.remove(probe)
        return False
    except OSError:
        return True


def read_only_case(root):
    """A program folder whose html cannot be written keeps the marker and the
    placement in the user's state folder, silently; when that cannot be made
    either, one line says so and nothing else is written."""
    p = Program(root, "read-only")
    html = p.path("html")
    # %LOCALAPPDATA%\skinshell in the prefix.
    state = os.path.join(PREFIX, "drive_c", "users", getpass.getuser(), "AppData", "Local",
                         "skinshell")
    shutil.rmtree(state, ignore_errors=True)
    try:
        if not locked(html, True):
            print("skipped: cannot make a folder read-only here")
            return
        wid = p.start()
        x, y, w, h = settled(wid, centred())
        drag(x + 300, y + 10, x + 310, y + 20)
        bounds = settled(wid, (x + 10, y + 10, w, h))
        p.close(bounds)
        check(not p.lines(), f"lines on stderr: {p.lines()}")
        check(os.path.isfile(os.path.join(state, "installation.lock")), "no marker in " + state)
        with open(os.path.join(state, "size.ini"), "rb") as f:
            check(stored(bounds).encode() in f.read(), "no placement in " + state)
        wid = p.start()
        settled(wid, bounds)
        p.close(bounds)
        check(not p.lines(), f"lines on stderr: {p.lines()}")

        shutil.rmtree(state)
        with open(state, "w"):
            pass
        wid = p.start()
        bounds = settled(wid, centred())
        p.close(bounds)
        lines = p.lines()
        check(len(lines) == 1 and lines[0].startswith(
            LINE + "cannot keep the first-run marker or the placement: " +
            p.windows_path("html") + " is not writable and ") and
            lines[0].endswith("; every start will be a first run"), f"{lines}")
        check(os.listdir(html) == os.listdir(os.path.join(DIST, "html")), "html changed")

        # A placement file the user locked is kept as it is, and the close
        # says why in one line.
        locked(html, False)
        entry = b"[mainwin]\r\nTestOCX_new=1200,2400,8400,13170\r\n"
        with open(p.path("html", "size.ini"), "wb") as f:
            f.write(entry)
        locked(p.path("html", "size.ini"), True)
        wid = p.start()
        x, y, w, h = settled(wid, (160, 80, *DESIGNED))
        drag(x + 300, y + 10, x + 310, y + 20)
        p.close(settled(wid, (x + 10, y + 10, w, h)))
        lines = p.lines()
        prefix = LINE + "cannot save the placement of TestOCX_new in " + p.windows_path(
            "html", "size.ini") + ": "
        check(len(lines) == 1 and lines[0].startswith(prefix) and len(lines[0]) > len(prefix),
              f"{lines}")
        check(p.placement() == entry, f"size.ini holds {p.placement()!r}")
    finally:
        p.kill()
        if os.path.exists(p.path("html", "size.ini")):
            locked(p.path("html", "size.ini"), False)
        locked(html, False)
        if os.path.isfile(state):
            os.remove(state)
        shutil.rmtree(state, ignore_errors=True)


def set_dpi(dpi):
    """The display's dots per inch, as Windows' scaling sets them; Wine reads
    them when its server starts."""
    global SCALE
    run("wine", "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t",
        "REG_DWORD", "/d", str(dpi), "/f")
    restart_wine()
    SCALE = Fraction(dpi, 96)


def scaled(bounds):
    x, y, w, h = bounds
    return (round(x * SCALE), round(y * SCALE), device(w), device(h))


def dpi_case(root, dpi):
    """One display scale: the first start, the frame's gestures and a stored
    placement."""
    set_dpi(dpi)
    COUNTED.update(compared=0, equal=0)
    p = Program(root, f"at {dpi} dpi")
    try:
        SCREEN_X.backdrop(BACKDROP)
        wid = p.start()
        size = (device(DESIGNED[0]), device(DESIGNED[1]))
        x, y, w, h = bounds = wait(lambda: f"the designed size at {dpi} dpi, not {geometry(wid)}",
                                   lambda: geometry(wid) if geometry(wid)[2:] == size else None)
        check(abs(2 * x + w - SCREEN[0]) <= 3 and abs(2 * y + h - SCREEN[1]) <= 3,
              f"not centred: {bounds}")
        wait(lambda: "the skin's pixels:\n" + "\n".join(expect_skin(bounds, "black-1", True)[:20]),
             lambda: not expect_skin(bounds, "black-1", True), 10)
        COUNTED.update(compared=0, equal=0)
        expect_skin(bounds, "black-1", True)
        print(f"at {dpi} dpi, {COUNTED['equal']} of {COUNTED['compared']} caption pixels checked "
              "equal the skin's", flush=True)

        drag(x + device(300), y + device(10), x + device(300) + 60, y + device(10) + 40)
        bounds = x, y, w, h = settled(wid, (x + 60, y + 40, w, h))
        drag(x + 1, y + h // 2, x - 41, y + h // 2)
        bounds = settled(wid, (x - 42, y, w + 42, h))
        wait(lambda: "the skin at the new width:\n" +
             "\n".join(expect_skin(bounds, "black-1", True)[:20]),
             lambda: not expect_skin(bounds, "black-1", True), 10)

        area = [0, 0] + SCREEN
        maximize_and_back(wid, bounds, area)
        p.close(bounds)

        # A stored placement opens at the scale, and comes back in the same
        # twips whatever the scale: 15 to a logical pixel.
        with open(p.path("html", "size.ini"), "wb") as f:
            f.write(b"[mainwin]\r\nTestOCX_new=1200,2400,8400,13170\r\n")
        wid = p.start()
        x, y, w, h = settled(wid, scaled((160, 80) + DESIGNED))
        drag(x + device(300), y + device(10), x + device(330), y + device(30))
        p.close(settled(wid, (x + device(30), y + device(20), w, h)))
        want = b"[mainwin]\r\nTestOCX_new=1500,2850,8400,13170\r\n"
        check(p.placement() == want, f"size.ini holds {p.placement()!r}, not {want!r}")
        check(not p.lines(), f"lines on stderr: {p.lines()}")
    finally:
        p.kill()


def startup(root, starts):
    p = Program(root, "start-up")
    times = []
    try:
        for _ in range(starts):
            wid = p.start()
            times.append(p.started_ms)
            bounds = settled(wid, geometry(wid))
            p.close(bounds)
    finally:
        p.kill()
    dpi = f" at {DPIS[0]} dpi" if DPIS else ""
    print(f"start-up of skinshell.exe under Wine{dpi} to the window shown, median of {starts}: "
          f"{statistics.median(times)} ms ({', '.join(map(str, times))})")


def openbox_session(root):
    """openbox on the test's display, its work area short of the screen."""
    config = os.path.join(root, "rc.xml")
    with open(config, "w") as f:
        f.write("<?xml version=\"1.0\"?><openbox_config xmlns=\"http://openbox.org/3.4/rc\">"
                f"<margins><top>0</top><bottom>{STRIP}</bottom><left>0</left><right>0</right>"
                "</margins></openbox_config>")
    manager = subprocess.Popen(["openbox", "--sm-disable", "--config-file", config],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    wait("openbox", lambda: work_area()[3] == SCREEN[1] - STRIP)
    # Wine learns the work area when its desktop starts: a new server for
    # the window manager's.
    restart_wine()
    return manager


def restart_wine():
    subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-w"], stderr=subprocess.DEVNULL)
    subprocess.run(["wineserver", "-p"], stderr=subprocess.DEVNULL)
    subprocess.run(["wine", "cmd", "/c", "exit"], stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=120)


def start_xvfb(size):
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", size + "x24",
                             "-noreset", "-nolisten", "tcp"],
                            pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    os.environ["DISPLAY"] = ":" + os.read(read, 16).decode().strip()
    return xvfb


def main():
    global SCREEN, SCREEN_X
    root = tempfile.mkdtemp(prefix="skinshell-win-")
    xvfb = manager = None
    session_display = os.environ.get("DISPLAY")
    try:
        # Wine's desktop keeps the display of the first program of the
        # session: scripts/wine-tests.sh gives the run one; alone, the test
        # starts its own. The scales need a screen of their own, large enough
        # for the window at 200 %, and a new Wine server for each.
        if DPIS:
            subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-w"], stderr=subprocess.DEVNULL)
            xvfb = start_xvfb("2560x1600")
        elif not session_display:
            xvfb = start_xvfb("1280x1024")
        os.environ.update(WINEPREFIX=PREFIX, WINEDEBUG="-all", WINEDLLOVERRIDES="mshtml=d")
        SCREEN = [int(n) for n in run("xdotool", "getdisplaygeometry").split()]
        SCREEN_X = xscreen.Screen()
        # The pointer away from where the window opens.
        move(SCREEN[0] - 10, SCREEN[1] - 10)
        if STARTS:
            if DPIS:
                set_dpi(DPIS[0])
            startup(root, STARTS)
            return
        if DPIS:
            for dpi in DPIS:
                dpi_case(root, dpi)
            print("ok")
            return
        if OPENBOX:
            manager = openbox_session(root)
        window_case(root)
        if not OPENBOX:
            bad_skins_case(root)
            hostile_files_case(root)
            read_only_case(root)
        print("ok")
    finally:
        if manager:
            manager.terminate()
            manager.wait()
            # Its work area would outlive it, and the next desktop take it.
            run("xprop", "-root", "-remove", "_NET_WORKAREA")
            restart_wine()
        if DPIS:
            # The prefix back at 96 dpi, for every other test.
            set_dpi(96)
        if xvfb:
            # Its desktop would outlive the display.
            subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL)
            subprocess.run(["wineserver", "-w"], stderr=subprocess.DEVNULL)
            xvfb.terminate()
            xvfb.wait()
        if DPIS and session_display:
            # The session's server, on the session's display.
            os.environ["DISPLAY"] = session_display
            restart_wine()
        shutil.rmtree(root, ignore_errors=True)


main()
