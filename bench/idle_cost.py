#!/usr/bin/env python3
"""Idle cost of Corvane: what the program and the X server spend while the main window
sits open with its thirteen polling buttons and nobody touches it.

Prints, for the program and for the X server, the share of one core used over three
8-second windows after start-up (and their median), once with the pointer resting over the
main window (on no button) and once with it resting over the desktop, away from every
window of the program; then the program's resident memory and the time from starting the
process to the splash window being on screen. Figures only: nothing here passes or fails.

usage: bench/idle_cost.py [PROGRAM]   (default: build/bin/Corvane_ALPHA3)
"""

import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import corvane_session  # noqa: E402
from corvane_session import Session, cpu_seconds, resident_kib, wait_for  # noqa: E402

WINDOWS, WINDOW_SECONDS, WARM_UP = 3, 8.0, 3.0


def measure(program, server):
    """The share of one core that each used, over each measuring window."""
    shares = {"program": [], "X server": []}
    for _ in range(WINDOWS):
        before = {"program": cpu_seconds(program), "X server": cpu_seconds(server)}
        t0 = time.monotonic()
        time.sleep(WINDOW_SECONDS)
        elapsed = time.monotonic() - t0
        shares["program"].append(100 * (cpu_seconds(program) - before["program"]) / elapsed)
        shares["X server"].append(100 * (cpu_seconds(server) - before["X server"]) / elapsed)
    return shares


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else os.path.join("build", "bin", "Corvane_ALPHA3")
    corvane_session.PROGRAM = os.path.abspath(program)
    with Session() as s:
        server = s.processes[0].pid
        started = time.monotonic()
        s.start_program()
        wait_for("the splash", lambda: s.window_of_size(259, 82), 10, interval=0.005)
        splash_ms = (time.monotonic() - started) * 1000
        main_window = wait_for("the main window", lambda: s.window_of_size(577, 438), 10)
        g = s.geometry(main_window)
        places = {"pointer over the window": (g.x + 300, g.y + 250), "pointer over the desktop": (5, 5)}
        shares = {}
        for place, (x, y) in places.items():
            s.move_to(x, y)
            time.sleep(WARM_UP)
            shares[place] = measure(s.program.pid, server)
        rss_mib = resident_kib(s.program.pid) / 1024

    print(f"start to splash on screen: {splash_ms:.0f} ms")
    for place, by_whom in shares.items():
        for who, values in by_whom.items():
            listed = ", ".join(f"{v:.2f}" for v in values)
            print(f"idle CPU, {place}, {who}: median {statistics.median(values):.2f}% of one core ({listed})")
    print(f"resident memory of the program: {rss_mib:.1f} MiB")

if __name__ == "__main__":
    main()
