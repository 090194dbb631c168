#!/usr/bin/env python3
"""Soak: Corvane left open for a long while, with the pointer passing over its buttons now
and then, as a user who keeps it on screen would.

Prints the program's resident memory (VmRSS) and its count of open file descriptors
after a warm-up (one minute, or a tenth of a short run) and at the end, and the growth
between the two, next to the goals: less than 1 MB of growth, no new descriptors. Figures
only: nothing here passes or fails.

usage: bench/soak.py [--minutes M] [--program PATH]   (default: 10 minutes,
       build/bin/Corvane_ALPHA3)
"""

import argparse
import os
import random
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
import corvane_session  # noqa: E402
from corvane_session import Session, resident_kib, wait_for  # noqa: E402

MAIN_SIZE = (577, 438)
# Buttons the pointer visits, in client pixels of the main window: the selector column,
# the frame buttons (passed over, never clicked) and the bottom row.
BUTTONS = [(112, 104), (112, 144), (136, 216), (104, 256), (104, 296), (116, 376), (116, 416),
           (531, 16), (556, 16), (372, 408), (516, 408), (264, 408)]
GOAL_RSS_KIB = 1024
PASS_EVERY = (5.0, 15.0)  # seconds between two passes of the pointer


def open_descriptors(pid):
    return len(os.listdir(f"/proc/{pid}/fd"))


def sample(pid):
    return resident_kib(pid), open_descriptors(pid)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--minutes", type=float, default=10.0)
    parser.add_argument("--program", default=os.path.join(HERE, "..", "build", "bin", "Corvane_ALPHA3"))
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    corvane_session.PROGRAM = os.path.abspath(args.program)
    rng = random.Random(args.seed)
    total = args.minutes * 60.0
    warm_up = min(60.0, total / 10.0)

    with Session() as s:
        program = s.start_program()
        main_window = wait_for("the main window", lambda: s.window_of_size(*MAIN_SIZE), 15)
        wait_for("the splash to go", lambda: s.window_of_size(259, 82) is None, 5)
        g = s.geometry(main_window)
        started = time.monotonic()
        warm = None
        passes = 0
        next_pass = started
        while True:
            now = time.monotonic()
            if program.poll() is not None:
                print(f"the program ended after {now - started:.0f} s with status {program.returncode}")
                return 1
            if warm is None and now - started >= warm_up:
                warm = sample(program.pid)
            if now - started >= total:
                break
            if now >= next_pass:
                # One pass: the pointer glides over a few buttons and leaves the window.
                cmd = ["xdotool"]
                for x, y in rng.sample(BUTTONS, 4):
                    cmd += ["mousemove", str(g.x + x), str(g.y + y), "sleep", "0.3"]
                cmd += ["mousemove", str(g.x + MAIN_SIZE[0] + 40), str(g.y + 200)]
                subprocess.run(cmd, env=s.env, capture_output=True, timeout=30)
                passes += 1
                next_pass = time.monotonic() + rng.uniform(*PASS_EVERY)
            time.sleep(0.5)
        end = sample(program.pid)

    rss_growth = end[0] - warm[0]
    fd_growth = end[1] - warm[1]
    print(f"soak: {args.minutes:g} min, warm-up {warm_up:.0f} s, {passes} pointer passes, program {corvane_session.PROGRAM}")
    print(f"{'':22}{'after warm-up':>15}{'at the end':>12}{'growth':>10}   goal")
    print(f"{'resident memory (KiB)':22}{warm[0]:>15}{end[0]:>12}{rss_growth:>+10}   under {GOAL_RSS_KIB} KiB "
          f"({'met' if rss_growth < GOAL_RSS_KIB else 'NOT met'})")
    print(f"{'open descriptors':22}{warm[1]:>15}{end[1]:>12}{fd_growth:>+10}   no new ones "
          f"({'met' if fd_growth <= 0 else 'NOT met'})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
