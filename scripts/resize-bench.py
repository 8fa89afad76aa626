#!/usr/bin/env python3
"""Live resizing on a real desktop, against a bare WebKitGTK window.

    scripts/resize-bench.py [BUILD_DIR] [RUNS]

Under Xvfb and openbox at 1920x1080, after a first start, the lower-right
corner of the program is dragged for 2 seconds at 60 motion events a second,
and the same drag is done on the bare WebKitGTK window (whose lower-right
corner starts the same sizing loop). Both trace each size the window manager
gives and when a frame at that size was painted (G_MESSAGES_DEBUG=skinshell
for the program). Reported for both: sizes received, sizes drawn and skipped,
the latency from size change to frame (p50, p95, max), frames painted at
another size than the window's (the program only), whether the final size
was drawn, and the CPU time of the process and its web process.

Then each window is maximized and restored ten times in a row by a
double-click on its caption (the bare window's top rows stand in for one):
the time from the click to the frame at the new size.

Target: drag p95 at most 1.2x the bare window's, every final size drawn, no
stale frame. RUNS (3 by default) repeats everything, the two programs taking
turns to go first; latencies are pooled, and each run's ratio is listed too.
"""
import os
import random
import re
import shutil
import statistics
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import benchlib  # noqa: E402

DRAG_SECONDS = 2.0
RATE = 60
STEP = (3, 2)  # pixels a motion event: 360 x 240 over the drag
CYCLES = 10
DRAWN = re.compile(r"size (\d+)x(\d+) drawn after ([\d.]+) ms at (\d+)")
SKIPPED = re.compile(r"size (\d+)x(\d+) skipped")
STALE = re.compile(r"stale frame (\d+)x(\d+) in a (\d+)x(\d+) window")


def percentile(values, share):
    if not values:
        return float("nan")
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(share * (len(ordered) - 1))))]


def drag(desktop, running, pointer, phases):
    window = benchlib.window_of(desktop, running.pid)
    if window is None:
        sys.exit("resize-bench: no window found")
    _, x, y, width, height = window
    start = (x + width - 3, y + height - 3)
    pointer.move(*start)
    time.sleep(0.3)
    mark = len(running.output())
    before = benchlib.cpu_ms(running.pid)
    pointer.button(True)
    began = time.monotonic()
    steps = int(DRAG_SECONDS * RATE)
    for step in range(1, steps + 1):
        # One event in each sixtieth of a second, at a random point of it: a
        # hand's motion keeps no step with the frame clock, and events locked
        # to it would measure one phase of it, which differs from run to run
        # and from program to program.
        at = began + (step - 1 + phases.random()) / RATE
        time.sleep(max(0.0, at - time.monotonic()))
        pointer.move(start[0] + STEP[0] * step, start[1] + STEP[1] * step)
    pointer.button(False)
    time.sleep(1.0)
    after = benchlib.cpu_ms(running.pid)
    log = running.output()[mark:]
    final = benchlib.window_of(desktop, running.pid)
    drawn = [(int(w), int(h), float(ms)) for w, h, ms, _ in DRAWN.findall(log)]
    return {
        "latencies": [ms for _, _, ms in drawn],
        "drawn": len(drawn),
        "skipped": len(SKIPPED.findall(log)),
        "stale": len(STALE.findall(log)),
        "final drawn": bool(drawn) and final is not None and drawn[-1][:2] == final[3:5]
                       and not log[log.rfind("drawn after"):].count(" skipped"),
        "own": after["own"] - before["own"],
        "web": after["web"] - before["web"],
        "window": window,
    }


def maximize_cycles(desktop, running, pointer):
    """Milliseconds from the double-click to the frame at the new size, for
    the maximizes and the restores."""
    window = benchlib.window_of(desktop, running.pid)
    _, x, y, width, height = window
    maximized, restored = [], []
    for _ in range(CYCLES):
        for caption, times, size in (((x + width // 2, y + 8), maximized, benchlib.SCREEN),
                                     ((benchlib.SCREEN[0] // 2, 8), restored, (width, height))):
            pointer.move(*caption)
            time.sleep(0.2)
            mark = len(running.output())
            clicked = time.monotonic()
            pointer.click()
            pointer.click()
            end = clicked + 5.0
            latency = None
            while latency is None and time.monotonic() < end:
                time.sleep(0.02)
                for w, h, _, at in DRAWN.findall(running.output()[mark:]):
                    if (int(w), int(h)) == tuple(size):
                        latency = int(at) / 1000.0 - clicked * 1000.0
                        break
            times.append(latency if latency is not None else float("nan"))
            time.sleep(0.3)
    return maximized, restored


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    bare = os.path.join(build, "bin", "bare_webkit")
    for path in (os.path.join(build, "dist", "skinshell"), bare):
        if not os.access(path, os.X_OK):
            sys.exit(f"resize-bench: {path} is not built")
    names = ("skinshell", "bare_webkit")
    drags = {name: [] for name in names}
    cycles = {name: ([], []) for name in names}
    with benchlib.Desktop() as desktop:
        pointer = benchlib.Pointer(desktop.display)
        try:
            for run in range(runs):
                # Both programs get the same motion in a run; each run other.
                seed = random.randrange(1 << 30)
                # Which goes first alternates, so that neither always meets
                # the machine as the other left it.
                for name in (names if run % 2 == 0 else names[::-1]):
                    folder, program = benchlib.program_copy(build, first_start=False)
                    argv = ([os.path.join(program, "skinshell")] if name == "skinshell"
                            else [bare, os.path.join(program, "html", "index.html")])
                    desktop.pointer(10, 10)
                    running = benchlib.Running(argv, desktop.env, program)
                    try:
                        if running.wait_for("load finished:") is None:
                            sys.exit(f"resize-bench: {name} did not load its page")
                        time.sleep(1.0)
                        drags[name].append(drag(desktop, running, pointer, random.Random(seed)))
                        maximized, restored = maximize_cycles(desktop, running, pointer)
                        cycles[name][0].extend(maximized)
                        cycles[name][1].extend(restored)
                    finally:
                        running.stop()
                        shutil.rmtree(folder, ignore_errors=True)
        finally:
            pointer.close()

    print(f"Drag of the lower-right corner, {DRAG_SECONDS:.0f} s at {RATE} motion events/s "
          f"(latency from size change to frame, ms; CPU ms during the drag and 1 s after):")
    print(f"{'program':<12} {'sizes':>6} {'drawn':>6} {'skipped':>8} {'p50':>7} {'p95':>7} "
          f"{'max':>7} {'stale':>6} {'final':>6} {'own':>6} {'web':>6}")
    p95 = {}
    for name in names:
        samples = drags[name]
        latencies = [ms for sample in samples for ms in sample["latencies"]]
        drawn = sum(s["drawn"] for s in samples)
        skipped = sum(s["skipped"] for s in samples)
        p95[name] = percentile(latencies, 0.95)
        final = all(s["final drawn"] for s in samples)
        stale = sum(s["stale"] for s in samples) if name == "skinshell" else "-"
        print(f"{name:<12} {drawn + skipped:>6} {drawn:>6} {skipped:>8} "
              f"{percentile(latencies, 0.5):>7.1f} {p95[name]:>7.1f} "
              f"{max(latencies, default=float('nan')):>7.1f} {stale:>6} "
              f"{'yes' if final else 'NO':>6} "
              f"{statistics.median(s['own'] for s in samples):>6.0f} "
              f"{statistics.median(s['web'] for s in samples):>6.0f}")
    per_run = " ".join(
        f"{percentile(a['latencies'], 0.95) / percentile(b['latencies'], 0.95):.2f}"
        for a, b in zip(drags["skinshell"], drags["bare_webkit"]))
    print(f"skinshell / bare_webkit drag p95: {p95['skinshell'] / p95['bare_webkit']:.2f} "
          f"over {runs} runs (target <= 1.20); run by run: {per_run}")

    print(f"\nMaximize and restore by the caption, {CYCLES} times "
          f"(click to frame at the new size, ms):")
    print(f"{'program':<12} {'maximize p50':>13} {'max':>7} {'restore p50':>12} {'max':>7}   "
          f"restores")
    medians = {}
    for name in names:
        maximized, restored = cycles[name]
        medians[name] = statistics.median(restored)
        print(f"{name:<12} {statistics.median(maximized):>13.1f} {max(maximized):>7.1f} "
              f"{medians[name]:>12.1f} {max(restored):>7.1f}   "
              + " ".join(f"{ms:.0f}" for ms in restored))
    print(f"skinshell / bare_webkit restore median: "
          f"{medians['skinshell'] / medians['bare_webkit']:.2f}")


if __name__ == "__main__":
    main()
