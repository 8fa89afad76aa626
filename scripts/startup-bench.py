#!/usr/bin/env python3
"""Start-up time and peak memory of the program against a bare WebKitGTK
window on the same page.

    [GDK_SCALE=2] scripts/startup-bench.py [BUILD_DIR] [RUNS] [INSTALLED_PROGRAM]

With INSTALLED_PROGRAM (an installed bin/skinshell, say from
`make install DESTDIR=/tmp/root`, so /tmp/root/usr/local/bin/skinshell), that
copy is measured too, beside the build folder's, with its state in a
temporary XDG_STATE_HOME that has already had its first start.

Runs both programs alternately on an Xvfb of its own (no window manager),
RUNS times each (5 by default; which goes first alternates by round), in a
copy of the program folder that has already had its first start. Start-up is the time from starting the process
to the start page's load-finished; peak memory is the sum of VmHWM over the
process and the WebKit helpers it started, read one second after that.
Both trace their start-up steps (main, GTK ready, window mapped, first frame,
the page's load started, committed and finished); each step's median time
since the process was started is listed for both, and the first frame's
median against the bare window's, since the start and since GTK was ready.

Each round starts both programs back to back, so the rounds also pair them:
the median of the rounds' differences in first frame and load finished is
listed with a 95 % interval (bootstrap). A median of 7 moves by up to 10 %
between runs on a 2-core machine; telling a few milliseconds apart takes
50 or more rounds, where the interval says what the runs can tell.
"""
import os
import random
import re
import select
import shutil
import signal
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import benchlib  # noqa: E402

# Past this a start is taken as failed rather than slow.
LOAD_TIMEOUT_S = 30.0


def peak_kib(pid):
    total = 0
    for process in benchlib.descendants(pid):
        try:
            with open(f"/proc/{process}/status") as status:
                for line in status:
                    if line.startswith("VmHWM:"):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total


PHASE = re.compile(rb"phase (.+?) at (\d+)")


def running(pid):
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] != "Z"
    except (OSError, IndexError):
        return False


def measure(argv, env, cwd):
    began = time.monotonic()
    phases = {}
    process = subprocess.Popen(argv, env=env, cwd=cwd, stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, start_new_session=True)
    output = process.stdout.fileno()
    pending = b""

    def drain(until, stop_at_load):
        """Reads the program's output until the time is up, the program ends
        or, if asked, its start page has loaded: the time of that load."""
        nonlocal pending
        while True:
            left = until - time.monotonic()
            if left <= 0:
                return None
            ready, _, _ = select.select([output], [], [], left)
            if not ready:
                return None
            chunk = os.read(output, 65536)
            if not chunk:  # the program ended
                return None
            pending += chunk
            lines = pending.split(b"\n")
            pending = lines.pop()
            for line in lines:
                phase = PHASE.search(line)
                if phase:
                    name = phase.group(1).decode(errors="replace").replace(" index.html", "")
                    phases.setdefault(name, int(phase.group(2)) / 1000.0 - began * 1000.0)
                if stop_at_load and b"load finished:" in line and b"/html/index.html" in line:
                    return time.monotonic()

    loaded = drain(began + LOAD_TIMEOUT_S, True)
    elapsed = None if loaded is None else loaded - began
    if elapsed is not None:
        phases.setdefault("load finished", elapsed * 1000.0)
    memory = 0
    if elapsed is not None:
        # Kept reading meanwhile: a full pipe would stall the program.
        drain(time.monotonic() + 1.0, False)
        memory = peak_kib(process.pid)
    helpers = [pid for pid in benchlib.descendants(process.pid) if pid != process.pid]
    os.killpg(process.pid, signal.SIGTERM)
    try:
        process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
    process.stdout.close()
    # The next start must not meet this one's web processes still ending:
    # hundreds of megabytes to unmap, on the cores the next start needs.
    settled = time.monotonic() + 5.0
    while time.monotonic() < settled and any(running(pid) for pid in helpers):
        time.sleep(0.01)
    if elapsed is None:
        sys.exit(f"startup-bench: {argv[0]} did not finish loading its start page "
                 f"within {LOAD_TIMEOUT_S:.0f} s")
    return elapsed, memory, phases


def paired(differences, rounds=2000):
    """The median of paired differences and its 95 % bootstrap interval."""
    pick = random.Random(1)
    medians = sorted(statistics.median(pick.choices(differences, k=len(differences)))
                     for _ in range(rounds))
    return (statistics.median(differences), medians[int(0.025 * rounds)],
            medians[int(0.975 * rounds)])


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    installed = os.path.abspath(sys.argv[3]) if len(sys.argv) > 3 else None
    dist = os.path.join(build, "dist")
    bare = os.path.join(build, "bin", "bare_webkit")
    for path in (os.path.join(dist, "skinshell"), bare) + ((installed,) if installed else ()):
        if not os.access(path, os.X_OK):
            sys.exit(f"startup-bench: {path} is not built")
    # With GDK_SCALE set, the screen grows with it, so that both programs see
    # the same 1920x1080 logical screen at every scale.
    try:
        scale = max(1, int(os.environ.get("GDK_SCALE", "1")))
    except ValueError:
        scale = 1
    desktop = benchlib.Desktop(window_manager=False, scale=scale)
    folder, program = benchlib.program_copy(build, first_start=False)
    try:
        env = desktop.env
        page = os.path.join(program, "html", "index.html")
        starts = {"skinshell": ([os.path.join(program, "skinshell")], env),
                  "bare_webkit": ([bare, page], env)}
        if installed:
            state = os.path.join(folder, "state")
            os.makedirs(os.path.join(state, "skinshell"))
            open(os.path.join(state, "skinshell", "installation.lock"), "w").close()
            starts["installed"] = ([installed], dict(env, XDG_STATE_HOME=state))
        results = {name: [] for name in starts}
        # One start of each first, so that all find the disk cache warm.
        for argv, environment in starts.values():
            measure(argv, environment, program)
        # Which goes first alternates from round to round, so that neither
        # always meets the machine as the other left it.
        order = list(starts)
        for _ in range(runs):
            for name in order:
                argv, environment = starts[name]
                results[name].append(measure(argv, environment, program))
            order.reverse()
    finally:
        desktop.close()
        shutil.rmtree(folder, ignore_errors=True)

    print(f"{'program':<12} {'start-up median':>16} {'runs (ms)':<36} {'peak RSS median':>16}")
    medians = {}
    for name, samples in results.items():
        times = [t for t, _, _ in samples]
        memory = [m for _, m, _ in samples]
        medians[name] = statistics.median(times)
        listed = " ".join(f"{t * 1000:.0f}" for t in times)
        print(f"{name:<12} {medians[name] * 1000:>13.0f} ms {listed:<36} "
              f"{statistics.median(memory) / 1024:>13.1f} MiB")
    ratio = medians["skinshell"] / medians["bare_webkit"]
    print(f"skinshell / bare_webkit start-up: {ratio:.2f}")
    if "installed" in medians:
        print(f"installed / skinshell start-up: {medians['installed'] / medians['skinshell']:.2f}")
    memory = {name: statistics.median(m for _, m, _ in samples)
              for name, samples in results.items()}
    print(f"skinshell / bare_webkit peak RSS: {memory['skinshell'] / memory['bare_webkit']:.2f}")
    # The frame against the bare window's first paint, both from the start of
    # the process and from GTK being ready: the steps before that run the
    # same code in both, and most of the runs' spread is theirs.
    for since in (None, "gtk ready"):
        medians = {}
        for name in ("skinshell", "bare_webkit"):
            times = [p["first frame"] - (p[since] if since else 0.0)
                     for _, _, p in results[name] if "first frame" in p and (not since or since in p)]
            medians[name] = statistics.median(times) if times else float("nan")
        print(f"first frame {'since ' + since if since else 'since the start':<22} "
              f"skinshell {medians['skinshell']:.0f} ms, bare_webkit {medians['bare_webkit']:.0f} ms "
              f"({medians['skinshell'] - medians['bare_webkit']:+.0f} ms)")

    # Round by round: the two starts of a round met the machine in much the
    # same state.
    for step in ("first frame", "load finished"):
        for since in (None, "gtk ready"):
            differences = [
                a[step] - (a[since] if since else 0.0) - (b[step] - (b[since] if since else 0.0))
                for (_, _, a), (_, _, b) in zip(results["skinshell"], results["bare_webkit"])
                if step in a and step in b and (not since or (since in a and since in b))]
            if len(differences) < 2:
                continue
            middle, low, high = paired(differences)
            print(f"paired {step + (' since ' + since if since else ' since the start'):<32} "
                  f"skinshell - bare_webkit {middle:+.1f} ms (95 % {low:+.1f} to {high:+.1f}), "
                  f"{len(differences)} rounds")

    # Each step's median time since the process was started; the program's
    # hidden sound page has steps of its own.
    print(f"\n{'step (ms since process start)':<34} " +
          " ".join(f"{program:>12}" for program in results))
    order = {}
    for samples in results.values():
        for _, _, phases in samples:
            for name, at in phases.items():
                order.setdefault(name, []).append(at)
    for name in sorted(order, key=lambda n: statistics.median(order[n])):
        row = []
        for program in results:
            times = [p[name] for _, _, p in results[program] if name in p]
            row.append(f"{statistics.median(times):.0f}" if times else "-")
        print(f"{name:<34} " + " ".join(f"{cell:>12}" for cell in row))


if __name__ == "__main__":
    main()
