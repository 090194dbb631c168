#!/usr/bin/env python3
"""Cost of dragging the main window by its title bar: the share of one core that the
program and the X server use while the real pointer (xdotool, through the X server's test
device) drags the window without a pause for 5 seconds, moving 4 pixels every 10 ms to and
fro. For reference, the same pointer movement over the title bar with no button held: what
the program spends on the pointer's events and its buttons' polling alone. Each program
named is measured in turn in the same run, three times each, so that an earlier build can be
compared with today's on the same machine at the same moment. After each drag the script
checks that the window ended where the pointer's movement put it. Figures only: nothing here
passes or fails.

usage: bench/drag_cost.py [PROGRAM ...]   (default: build/bin/Corvane_ALPHA3)
"""

import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import corvane_session  # noqa: E402
from corvane_session import DIALOG_FRAME, Session, cpu_seconds, wait_for  # noqa: E402

DRAGS, STEP_PIXELS, STEP_SECONDS, DRAG_SECONDS = 3, 4, 0.01, 5.0


def window_with_client(s, width, height):
    """The program's window with a client area of this size. A build from before the
    program drew its own dialog frame has none around it, so the session, which takes the
    frame off every undecorated window, sees its client area that much smaller."""
    f = 2 * DIALOG_FRAME
    return s.window_of_size(width, height) or s.window_of_size(width - f, height - f)


def drag_path():
    """xdotool's commands for one continuous drag: to the right and back, over and over."""
    steps = int(DRAG_SECONDS / STEP_SECONDS)
    commands = ["xdotool"]
    for i in range(steps):
        dx = STEP_PIXELS if (i // 25) % 2 == 0 else -STEP_PIXELS
        commands += ["mousemove_relative", "--", str(dx), "0", "sleep", str(STEP_SECONDS)]
    return commands


def measure(program):
    corvane_session.PROGRAM = os.path.abspath(program)
    shares = {(who, held): [] for held in (False, True) for who in ("program", "X server")}
    followed = True
    with Session() as s:
        server = s.processes[0].pid
        s.start_program()
        main_window = wait_for("the main window", lambda: window_with_client(s, 577, 438), 10)
        wait_for("the splash to go", lambda: window_with_client(s, 259, 82) is None, 5)
        time.sleep(1.0)
        path = drag_path()
        for _ in range(DRAGS):
            for held in (False, True):
                g = s.geometry(main_window)
                s.move_to(g.x + 250, g.y + 15)
                if held:
                    s.press()
                time.sleep(0.2)
                pids = {"program": s.program.pid, "X server": server}
                before = {who: cpu_seconds(pid) for who, pid in pids.items()}
                t0 = time.monotonic()
                s._run(path)
                elapsed = time.monotonic() - t0
                for who, pid in pids.items():
                    shares[(who, held)].append(100 * (cpu_seconds(pid) - before[who]) / elapsed)
                if held:
                    s.release()
                    time.sleep(0.3)
                    end = s.geometry(main_window)
                    # The path comes back to where it started, and so does the window.
                    followed = followed and (end.x, end.y) == (g.x, g.y)
                time.sleep(0.5)
    return shares, followed


def main():
    programs = sys.argv[1:] or [os.path.join("build", "bin", "Corvane_ALPHA3")]
    for program in programs:
        shares, followed = measure(program)
        for (who, held), values in shares.items():
            what = "drag" if held else "same pointer movement, no button held"
            listed = ", ".join(f"{v:.1f}" for v in values)
            print(f"{program}: {what}, {who}: median {statistics.median(values):.1f}% of one core ({listed})")
        print(f"{program}: the window ended where the pointer took it: {'yes' if followed else 'NO'}")


if __name__ == "__main__":
    main()
