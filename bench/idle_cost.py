#!/usr/bin/env python3
"""Idle cost of Corvane: what the program and the X server spend while the main window
sits open with its thirteen polling buttons, with the pointer resting in three places,
moved by a device over the desktop, and sweeping over the selector buttons.

Times are the kernel's precise per-thread figures (/proc/PID/task/*/schedstat): the share
of one core used, and the times a thread was put on a core ("wake-ups"), summed over the
threads, over three 8-second windows; the table gives their medians. A bare C program that
reads the pointer every 10 ms on its own connection (bench/bare_poller.c) is measured in
the same run, beside the program while the device moves, so that the program's figures
read as a ratio to the floor of plain polling. Then the program's resident memory and the
time from starting the process to the splash window being on screen. Figures only:
nothing here passes or fails.

Device motion is made with XTest relative motion (xdotool mousemove_relative), which the
server reports as raw device motion; an absolute move would be a warp.

usage: bench/idle_cost.py [PROGRAM [BARE_POLLER]]
       (defaults: build/bin/Corvane_ALPHA3, build/bin/bare_poller)
"""

import glob
import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import corvane_session  # noqa: E402
from corvane_session import Session, resident_kib, wait_for  # noqa: E402

WINDOWS, WINDOW_SECONDS, WARM_UP = 3, 8.0, 3.0
# Window-relative centres of the top and bottom selector buttons.
SELECTOR_TOP, SELECTOR_BOTTOM = (112, 104), (116, 416)
OTHER_WINDOW = (800, 600, 400, 300)  # x, y, width, height: away from the main window


def schedstat(pid):
    """Nanoseconds on a core and times put on a core, summed over the process's threads."""
    on_core = slices = 0
    for path in glob.glob(f"/proc/{pid}/task/*/schedstat"):
        try:
            with open(path) as f:
                ns, _, count = (int(v) for v in f.read().split())
        except (OSError, ValueError):
            continue  # a thread that ended meanwhile
        on_core += ns
        slices += count
    return on_core, slices


def measure(pids, motion=None):
    """For each process, (share of one core in %, wake-ups a second) over each window.
    motion, when given, makes the xdotool command that moves the pointer during a window."""
    figures = {who: [] for who in pids}
    for _ in range(WINDOWS):
        mover = subprocess.Popen(motion(), env=motion.env, stdout=subprocess.DEVNULL) if motion else None
        before = {who: schedstat(pid) for who, pid in pids.items()}
        t0 = time.monotonic_ns()
        time.sleep(WINDOW_SECONDS)
        elapsed = time.monotonic_ns() - t0
        for who, pid in pids.items():
            ns, slices = schedstat(pid)
            figures[who].append((100 * (ns - before[who][0]) / elapsed, (slices - before[who][1]) * 1e9 / elapsed))
        if mover:
            mover.kill()
            mover.wait()
    return figures


def relative_moves(env, steps):
    """An xdotool command that makes the given relative moves, one every 10 ms, for a
    little longer than a measuring window."""
    def command():
        chain = []
        while len(chain) < (WINDOW_SECONDS + 1) * 100 * 6:
            for dx, dy in steps:
                chain += ["mousemove_relative", "--", str(dx), str(dy), "sleep", "0.01"]
        return ["xdotool"] + chain
    command.env = env
    return command


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else os.path.join("build", "bin", "Corvane_ALPHA3")
    poller = sys.argv[2] if len(sys.argv) > 2 else os.path.join("build", "bin", "bare_poller")
    corvane_session.PROGRAM = os.path.abspath(program)
    rows = []  # (what, {who: figures})
    with Session(window_manager=True) as s:
        server = s.processes[0].pid
        started = time.monotonic()
        s.start_program()
        wait_for("the splash", lambda: s.window_of_size(259, 82), 10, interval=0.005)
        splash_ms = (time.monotonic() - started) * 1000
        main_window = wait_for("the main window", lambda: s.window_of_size(577, 438), 10)
        g = s.geometry(main_window)
        x, y, w, h = OTHER_WINDOW
        s._spawn(["xmessage", "-geometry", f"{w}x{h}+{x}+{y}", "another program"])
        wait_for("the other program's window", lambda: s.window_titled("xmessage"), 10)
        pids = {"program": s.program.pid, "X server": server}

        resting = [("resting over the main window", (g.x + 300, g.y + 250)),
                   ("resting over the desktop", (5, 5)),
                   ("resting over another program's window", (x + w // 2, y + h // 2))]
        for what, (px, py) in resting:
            s.move_to(px, py)
            time.sleep(WARM_UP)
            rows.append((what, measure(pids)))

        s.move_to(5, 5)
        bare = s._spawn([os.path.abspath(poller)])
        time.sleep(WARM_UP)
        rows.append(("bare 10 ms poller alone, resting over the desktop", measure({"bare poller": bare.pid})))
        rows.append(("moved by a device over the desktop (bare poller beside it)",
                     measure(dict(pids, **{"bare poller": bare.pid}), relative_moves(s.env, [(4, 0), (-4, 0)]))))
        bare.kill()

        s.move_to(g.x + SELECTOR_TOP[0], g.y + SELECTOR_TOP[1])
        down = (SELECTOR_BOTTOM[1] - SELECTOR_TOP[1]) // 4
        sweep = [(0, 4)] * down + [(0, -4)] * down
        rows.append(("sweeping over the selector buttons", measure(pids, relative_moves(s.env, sweep))))
        rss_mib = resident_kib(s.program.pid) / 1024

    print(f"start to splash on screen: {splash_ms:.0f} ms")
    print(f"resident memory of the program: {rss_mib:.1f} MiB")
    print()
    print("| where the pointer is | who | CPU, % of one core | wake-ups a second | the three windows |")
    print("|---|---|---|---|---|")
    for what, by_whom in rows:
        for who, values in by_whom.items():
            cpu = statistics.median(v[0] for v in values)
            wakes = statistics.median(v[1] for v in values)
            listed = "; ".join(f"{c:.2f}% {n:.0f}/s" for c, n in values)
            print(f"| {what} | {who} | {cpu:.2f} | {wakes:.0f} | {listed} |")


if __name__ == "__main__":
    main()
