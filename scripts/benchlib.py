"""What the desktop benchmarks share: an Xvfb and a window manager of their
own, the program in a folder of its own, and the CPU time of a process and
the WebKit helpers it started."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

SCREEN = (1920, 1080)


class Desktop:
    """An Xvfb at 1920x1080 logical pixels (scale times that in device
    pixels) with openbox on it and a session bus, ended on leaving."""

    def __init__(self, window_manager=True, scale=1):
        read_fd, write_fd = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
             f"{SCREEN[0] * scale}x{SCREEN[1] * scale}x24", "-nolisten", "tcp"],
            pass_fds=(write_fd,), stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            self.server.kill()
            sys.exit("bench: Xvfb did not start")
        self.display = ":" + number
        # As in the functional tests: no accessibility bus to look for.
        self.env = dict(os.environ, DISPLAY=self.display, NO_AT_BRIDGE="1",
                        G_MESSAGES_DEBUG="skinshell")
        # A desktop session has a session bus, and WebKit connects to it at
        # the first navigation. Without one, GLib forks the whole process to
        # look for a bus to start (dbus-launch), 5 to 12 ms of the main
        # thread that grow with the process's size, which no user's desktop
        # costs: it would be timed as the larger program's start-up.
        self.bus = None
        if shutil.which("dbus-daemon"):
            self.bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork",
                                         "--print-address=1"],
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
            address = self.bus.stdout.readline().decode().strip()
            if address:
                self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        else:
            print("bench: no dbus-daemon; timed without a session bus", file=sys.stderr)
        self.manager = None
        if window_manager:
            self.manager = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                            stdout=subprocess.DEVNULL,
                                            stderr=subprocess.DEVNULL)
            self.wait_for_manager()

    def wait_for_manager(self):
        # openbox announces itself on the root window once it manages it.
        for _ in range(100):
            probe = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                   env=self.env, capture_output=True, text=True)
            if "window id" in probe.stdout:
                return
            time.sleep(0.05)

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env,
                              capture_output=True, text=True).stdout

    def pointer(self, x, y):
        self.xdotool("mousemove", x, y)

    def close(self):
        for process in (self.manager, self.server, self.bus):
            if process is not None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()


def program_copy(build, first_start):
    """A copy of the built program folder: the program writes its first-run
    marker and its placement beside itself."""
    folder = tempfile.mkdtemp(prefix="skinshell-bench-")
    program = os.path.join(folder, "dist")
    shutil.copytree(os.path.join(build, "dist"), program)
    if not first_start:
        open(os.path.join(program, "html", "installation.lock"), "w").close()
    return folder, program


def processes():
    """pid -> (parent, name, CPU ticks) for every process."""
    table = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as stat:
                text = stat.read()
        except OSError:
            continue
        name = text[text.index("(") + 1:text.rindex(")")]
        fields = text.rsplit(")", 1)[1].split()
        table[int(entry)] = (int(fields[1]), name, int(fields[11]) + int(fields[12]))
    return table


def descendants(pid, table=None):
    table = table or processes()
    children = {}
    for child, (parent, _, _) in table.items():
        children.setdefault(parent, []).append(child)
    found, queue = [], [pid]
    while queue:
        current = queue.pop()
        found.append(current)
        queue.extend(children.get(current, []))
    return found


TICK_MS = 1000.0 / os.sysconf("SC_CLK_TCK")


def cpu_ms(pid):
    """CPU time so far of the process ('own') and of its helpers by kind
    ('web' for the web processes, 'other' for the rest), in milliseconds."""
    table = processes()
    result = {"own": 0.0, "web": 0.0, "other": 0.0}
    for process in descendants(pid, table):
        if process not in table:
            continue
        _, name, ticks = table[process]
        kind = "own" if process == pid else ("web" if "WebProc" in name else "other")
        result[kind] += ticks * TICK_MS
    return result


def wakeups(pid):
    """Voluntary context switches of the main thread: each is a sleep of its
    main loop, so their growth counts the loop's wake-ups."""
    try:
        with open(f"/proc/{pid}/task/{pid}/status") as status:
            for line in status:
                if line.startswith("voluntary_ctxt_switches:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


class Running:
    """A program started on the desktop; its output is kept in a file, and
    waited for line by line."""

    def __init__(self, argv, env, cwd):
        self.log = tempfile.TemporaryFile()
        self.began = time.monotonic()
        self.process = subprocess.Popen(argv, env=env, cwd=cwd, stdout=self.log,
                                        stderr=subprocess.STDOUT, start_new_session=True)
        self.pid = self.process.pid

    def output(self):
        self.log.seek(0)
        return self.log.read().decode(errors="replace")

    def wait_for(self, text, timeout=30.0):
        """The time the text first showed, after the start; None on time-out."""
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            if text in self.output():
                return time.monotonic() - self.began
            if self.process.poll() is not None:
                return None
            time.sleep(0.02)
        return None

    def stop(self):
        try:
            os.killpg(self.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        try:
            self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            os.killpg(self.pid, signal.SIGKILL)
            self.process.wait()
        self.log.close()


class Pointer:
    """Fake pointer input through the XTEST extension, one connection for a
    whole drag: an xdotool process per motion event would not keep 60 a
    second on a busy machine."""

    def __init__(self, display):
        import ctypes
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        for function in (self.x11.XFlush, self.x11.XCloseDisplay):
            function.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                                   ctypes.c_int, ctypes.c_ulong]
        self.xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                   ctypes.c_ulong]
        self.connection = self.x11.XOpenDisplay(display.encode())
        if not self.connection:
            sys.exit(f"bench: cannot open {display}")

    def move(self, x, y):
        self.xtst.XTestFakeMotionEvent(self.connection, -1, int(x), int(y), 0)
        self.x11.XFlush(self.connection)

    def button(self, down):
        self.xtst.XTestFakeButtonEvent(self.connection, 1, 1 if down else 0, 0)
        self.x11.XFlush(self.connection)

    def click(self):
        self.button(True)
        self.button(False)

    def close(self):
        self.x11.XCloseDisplay(self.connection)


def window_of(desktop, pid, timeout=10.0):
    """The visible top-level window of a process: (id, x, y, width, height)."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        found = desktop.xdotool("search", "--onlyvisible", "--pid", pid).split()
        best = None
        for window in found:
            shell = dict(line.split("=", 1) for line in
                         desktop.xdotool("getwindowgeometry", "--shell", window).split()
                         if "=" in line)
            try:
                geometry = (int(window), int(shell["X"]), int(shell["Y"]), int(shell["WIDTH"]),
                            int(shell["HEIGHT"]))
            except (KeyError, ValueError):
                continue
            if best is None or geometry[3] * geometry[4] > best[3] * best[4]:
                best = geometry
        if best is not None and best[3] > 1:
            return best
        time.sleep(0.1)
    return None
