#!/usr/bin/env python3
"""What the program costs while nothing happens, against a bare WebKitGTK
window on the same page.

    scripts/idle-bench.py [BUILD_DIR] [RUNS] [SECONDS]

Under Xvfb and openbox at 1920x1080, each program is started on its first
start with the pointer resting where its window appears (the centre of the
screen) and again with the pointer elsewhere. Five seconds after the start
the pointer goes to a corner; a second later the CPU time of the program's
own process and of its web processes is read over SECONDS (15 by default)
of idle. The sound page is measured alone in the bare window the same way:
it plays its chime once and must then be as quiet as the start page.

Then, after a first start, the program is left alone on its start page for
twice that time: its own process's CPU time, how often its main loop woke
and the lines it traced meanwhile (a timer of its own would trace).

Targets: at most 20 ms of CPU in each process and case. Figures are the
median over RUNS (2 by default), in milliseconds.
"""
import os
import shutil
import statistics
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import benchlib  # noqa: E402

TARGET_MS = 20.0
CENTRE = (benchlib.SCREEN[0] // 2, benchlib.SCREEN[1] // 2)
ELSEWHERE = (benchlib.SCREEN[0] - 10, benchlib.SCREEN[1] - 10)
CORNER = (10, 10)


def idle(desktop, argv, cwd, pointer_at, seconds):
    """CPU (own, web) over SECONDS of idle, the main loop's wake-ups and the
    trace lines written meanwhile."""
    desktop.pointer(*pointer_at)
    running = benchlib.Running(argv, desktop.env, cwd)
    try:
        if running.wait_for("load finished:") is None:
            sys.exit(f"idle-bench: {argv[0]} did not load its page:\n{running.output()}")
        time.sleep(max(0.0, 5.0 - (time.monotonic() - running.began)))
        desktop.pointer(*CORNER)
        time.sleep(1.0)
        traced = running.output().count("skinshell-DEBUG")
        before, woke = benchlib.cpu_ms(running.pid), benchlib.wakeups(running.pid)
        time.sleep(seconds)
        after, woke = benchlib.cpu_ms(running.pid), benchlib.wakeups(running.pid) - woke
        traced = running.output().count("skinshell-DEBUG") - traced
        return after["own"] - before["own"], after["web"] - before["web"], woke, traced
    finally:
        running.stop()


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 2
    seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 15.0
    bare = os.path.join(build, "bin", "bare_webkit")
    for path in (os.path.join(build, "dist", "skinshell"), bare):
        if not os.access(path, os.X_OK):
            sys.exit(f"idle-bench: {path} is not built")

    cases = [(name, where) for name in ("skinshell", "bare_webkit", "sound page")
             for where in ("over", "elsewhere")]
    results = {case: [] for case in cases}
    quiet = {"skinshell": [], "bare_webkit": []}
    with benchlib.Desktop() as desktop:
        for _ in range(runs):
            for name, where in cases:
                folder, program = benchlib.program_copy(build, first_start=True)
                try:
                    page = "sound.html" if name == "sound page" else "index.html"
                    argv = ([os.path.join(program, "skinshell")] if name == "skinshell"
                            else [bare, os.path.join(program, "html", page)])
                    at = CENTRE if where == "over" else ELSEWHERE
                    results[(name, where)].append(idle(desktop, argv, program, at, seconds))
                finally:
                    shutil.rmtree(folder, ignore_errors=True)
            for name in quiet:
                folder, program = benchlib.program_copy(build, first_start=False)
                try:
                    argv = ([os.path.join(program, "skinshell")] if name == "skinshell"
                            else [bare, os.path.join(program, "html", "index.html")])
                    quiet[name].append(idle(desktop, argv, program, ELSEWHERE, 2 * seconds))
                finally:
                    shutil.rmtree(folder, ignore_errors=True)

    def median(samples, index):
        return statistics.median(sample[index] for sample in samples)

    print(f"Idle CPU over {seconds:.0f} s after a first start, pointer moved away at 5 s "
          f"(median of {runs}, ms; target <= {TARGET_MS:.0f}):")
    print(f"{'program':<12} {'pointer at start':<17} {'own':>7} {'web':>7}   runs (own/web)")
    missed = []
    for name, where in cases:
        samples = results[(name, where)]
        own, web = median(samples, 0), median(samples, 1)
        listed = " ".join(f"{o:.0f}/{w:.0f}" for o, w, _, _ in samples)
        print(f"{name:<12} {where:<17} {own:>7.0f} {web:>7.0f}   {listed}")
        if name != "bare_webkit" and (own > TARGET_MS or web > TARGET_MS):
            missed.append(f"{name}, pointer {where}")

    print(f"\nLeft alone on its start page for {2 * seconds:.0f} s after a later start "
          f"(median of {runs}):")
    print(f"{'program':<12} {'own ms':>7} {'web ms':>7} {'wake-ups':>9} {'traced':>7}")
    for name, samples in quiet.items():
        print(f"{name:<12} {median(samples, 0):>7.0f} {median(samples, 1):>7.0f} "
              f"{median(samples, 2):>9.0f} {median(samples, 3):>7.0f}")
    own, bare_own = median(quiet["skinshell"], 0), median(quiet["bare_webkit"], 0)
    wakes, bare_wakes = median(quiet["skinshell"], 2), median(quiet["bare_webkit"], 2)
    print(f"skinshell / bare_webkit: own CPU {own:.0f}/{bare_own:.0f} ms, "
          f"wake-ups {wakes:.0f}/{bare_wakes:.0f}")
    if own > TARGET_MS:
        missed.append("start page left alone")
    if missed:
        print("over target: " + "; ".join(missed))


if __name__ == "__main__":
    main()
