#!/usr/bin/env python3
"""Soak run: the real program under Xvfb and openbox, driven for a while
(10 minutes by default) through hover, press, caption drag, edge drag,
maximize, restore, minimize and close/restart cycles.

Reports, at the start and every minute, the live GDI objects (traced by the
program on SIGUSR2) and the process's RSS, the counts after each cycle, and
every line the program writes to stderr other than its debug trace.

usage: soak.py BUILD_DIR [MINUTES]
"""
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

BUILD = sys.argv[1] if len(sys.argv) > 1 else "build"
MINUTES = float(sys.argv[2]) if len(sys.argv) > 2 else 10.0
DIST = os.path.abspath(os.path.join(BUILD, "dist"))
COUNTS = re.compile(r"live GDI objects: DC (\d+), Bitmap (\d+), Region (\d+)")


def start_x():
    read_fd, write_fd = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
        pass_fds=(write_fd,), stderr=subprocess.DEVNULL)
    os.close(write_fd)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read_fd, 16)
        if not chunk:
            sys.exit("soak: Xvfb did not start")
        number += chunk
    os.close(read_fd)
    return server, ":" + number.decode().strip()


class Program:
    def __init__(self, folder, env):
        # GLib writes the debug trace to stdout; both go to one log.
        self.log_path = os.path.join(folder, "output.txt")
        self.log = open(self.log_path, "ab")
        self.process = subprocess.Popen([os.path.join(folder, "skinshell")], cwd=folder, env=env,
                                        stdout=self.log, stderr=self.log,
                                        start_new_session=True)
        self.window = None

    def rss_kib(self):
        try:
            with open(f"/proc/{self.process.pid}/status") as status:
                for line in status:
                    if line.startswith("VmRSS:"):
                        return int(line.split()[1])
        except OSError:
            pass
        return -1

    def counts(self):
        before = self.log_text().count("live GDI objects")
        self.process.send_signal(signal.SIGUSR2)
        deadline = time.time() + 5
        while time.time() < deadline:
            text = self.log_text()
            if text.count("live GDI objects") > before:
                return COUNTS.findall(text)[-1]
            time.sleep(0.05)
        return None

    def log_text(self):
        with open(self.log_path, errors="replace") as log:
            return log.read()

    def stop(self):
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        self.process.wait()
        self.log.close()


def xdotool(env, *args):
    result = subprocess.run(["xdotool", *map(str, args)], env=env, capture_output=True, text=True,
                            timeout=30)
    time.sleep(0.05)
    return result.stdout


def geometry(env, window):
    out = xdotool(env, "getwindowgeometry", "--shell", window)
    values = dict(line.split("=", 1) for line in out.split() if "=" in line)
    return int(values.get("X", 0)), int(values.get("Y", 0)), int(values.get("WIDTH", 0)), int(
        values.get("HEIGHT", 0))


def wait_window(env, program):
    deadline = time.time() + 30
    while time.time() < deadline and program.process.poll() is None:
        out = xdotool(env, "search", "--onlyvisible", "--pid", program.process.pid).split()
        if out:
            return out[0]
        time.sleep(0.1)
    return None


def drag(env, x0, y0, x1, y1, steps=6):
    xdotool(env, "mousemove", x0, y0)
    xdotool(env, "mousedown", 1)
    for i in range(1, steps + 1):
        xdotool(env, "mousemove", x0 + (x1 - x0) * i // steps, y0 + (y1 - y0) * i // steps)
    xdotool(env, "mouseup", 1)
    time.sleep(0.2)


def cycle(env, window):
    """One round of everything a user does with the frame."""
    x, y, w, h = geometry(env, window)
    # Hover along the caption, over every button, then away.
    for px in range(x + 10, x + w, 25):
        xdotool(env, "mousemove", px, y + 12)
    xdotool(env, "mousemove", x + w // 2, y + h // 2)
    # Press and release on a button, leaving it before the release (no click).
    xdotool(env, "mousemove", x + w - 50, y + 13)
    xdotool(env, "mousedown", 1)
    xdotool(env, "mousemove", x + w // 2, y + 13)
    xdotool(env, "mouseup", 1)
    # Caption drag and back.
    drag(env, x + w // 3, y + 12, x + w // 3 + 120, y + 12 + 80)
    x, y, w, h = geometry(env, window)
    drag(env, x + w // 3, y + 12, x + w // 3 - 120, y + 12 - 80)
    # Edge drag: the right edge out and in, the bottom edge out and in, each
    # back to where it was (the press is 2 pixels inside the edge).
    x, y, w, h = geometry(env, window)
    drag(env, x + w - 2, y + h // 2, x + w + 60, y + h // 2)
    x, y, w, h = geometry(env, window)
    drag(env, x + w - 2, y + h // 2, x + w - 64, y + h // 2)
    x, y, w, h = geometry(env, window)
    drag(env, x + w // 2, y + h - 2, x + w // 2, y + h + 40)
    x, y, w, h = geometry(env, window)
    drag(env, x + w // 2, y + h - 2, x + w // 2, y + h - 44)
    # Maximize with the button, restore with a double-click on the caption.
    x, y, w, h = geometry(env, window)
    xdotool(env, "mousemove", x + w - 50, y + 13)
    xdotool(env, "click", 1)
    time.sleep(0.5)
    x, y, w, h = geometry(env, window)
    xdotool(env, "mousemove", x + w // 2, y + 10)
    xdotool(env, "click", "--repeat", 2, "--delay", 80, 1)
    time.sleep(0.5)
    # Minimize with the button, then bring it back as a task bar would.
    x, y, w, h = geometry(env, window)
    xdotool(env, "mousemove", x + w - 80, y + 13)
    xdotool(env, "click", 1)
    time.sleep(0.5)
    xdotool(env, "windowactivate", window)
    time.sleep(0.5)
    xdotool(env, "mousemove", 1900, 1060)


def close(env, window):
    x, y, w, h = geometry(env, window)
    xdotool(env, "mousemove", x + w - 20, y + 13)
    xdotool(env, "click", 1)


def main():
    if not os.path.exists(os.path.join(DIST, "skinshell")):
        sys.exit(f"soak: no program in {DIST}; build first")
    server, display = start_x()
    env = dict(os.environ, DISPLAY=display, G_MESSAGES_DEBUG="skinshell")
    manager = subprocess.Popen(["openbox", "--sm-disable"], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    time.sleep(1)
    folder = tempfile.mkdtemp(prefix="skinshell-soak-")
    shutil.copytree(DIST, folder, dirs_exist_ok=True)
    for state in ("html/size.ini", "html/installation.lock"):
        if os.path.exists(os.path.join(folder, state)):
            os.remove(os.path.join(folder, state))
    print(f"soak: {MINUTES:g} minutes on {display} with openbox, program folder {folder}")
    start = time.time()
    next_report = start
    cycles = restarts = 0
    program = None
    stderr_seen = 0
    try:
        while True:
            if program is None:
                program = Program(folder, env)
                window = wait_window(env, program)
                if window is None:
                    print("soak: the window did not show")
                    print(program.log_text())
                    return 1
                time.sleep(1)
                restarts += 1
            now = time.time()
            if now >= next_report:
                minute = int((now - start) // 60)
                print(f"minute {minute:2d}: GDI DC/Bitmap/Region {program.counts()}, "
                      f"RSS {program.rss_kib()} KiB, run {restarts}, cycles {cycles}", flush=True)
                next_report += 60
                if now - start >= MINUTES * 60:
                    break
            cycle(env, window)
            cycles += 1
            counts = program.counts()
            print(f"  cycle {cycles}: GDI {counts}, RSS {program.rss_kib()} KiB", flush=True)
            # Every fifth cycle the program is closed with its button and
            # started again.
            if cycles % 5 == 0:
                close(env, window)
                try:
                    status = program.process.wait(timeout=15)
                except subprocess.TimeoutExpired:
                    status = "still running"
                if status != 0:
                    print(f"soak: the program ended with {status} after its close button")
                program.stop()
                program = None
            for line in open(os.path.join(folder, "output.txt"), errors="replace").read().splitlines()[stderr_seen:]:
                stderr_seen += 1
                if "-DEBUG" not in line and line.strip():
                    print(f"  stderr: {line}")
    finally:
        if program is not None:
            program.stop()
        manager.terminate()
        server.terminate()
        manager.wait()
        server.wait()
    print(f"soak: {cycles} cycles, {restarts} starts")
    return 0


if __name__ == "__main__":
    sys.exit(main())
