#!/usr/bin/env python3
"""Cost of dragging the main window by its title bar, beside its floor: the share of one
core and the wake-ups a second of the program, the X server and the window manager
(openbox), and of the X server and the window manager together, while the real pointer
(xdotool, through the X server's test device) drags the window without a pause for 5
seconds, moving 4 pixels every 10 ms to and fro. Beside it, the same pointer movement with no
button held, over the title bar and over the desktop: what the program spends on the pointer
over its own window, against what the same movement costs it elsewhere.

The floor is bench/bare_drag.c: a bare window, managed by the window manager without a
frame as the program's main window is, that moves itself once per motion event by the
pointer's movement and does nothing else. It is dragged along the same path. Each program
and the floor run in a session of their own (an X server and openbox), taking turns, three
times each, so that they meet the same machine at nearly the same moment; an earlier build
named as well is measured the same way. Times are the kernel's per-thread figures
(/proc/PID/task/*/schedstat), medians of the three drags, printed beside the floor's and
the ratio.

After each drag the script checks that the window ended where the pointer's movement put
it. Once for each, in a further drag that is not measured, it counts how often the window
moved (the configure events of the window manager's frame around it) per move of the
pointer. Figures only: nothing here passes or fails.

usage: bench/drag_cost.py [--floor BARE_DRAG] [PROGRAM ...]
       (defaults: build/bin/bare_drag, build/bin/Corvane_ALPHA3)
"""

import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bench_common import (WINDOW_MANAGER_SETTLE, Window, corvane_session, cpu, listed, median,  # noqa: E402
                          parent_window, ratio, summed, tool, wakes, window_manager_pid)
from corvane_session import DIALOG_FRAME, Session, wait_for  # noqa: E402

DRAGS, STEP_PIXELS, STEP_SECONDS, DRAG_SECONDS = 3, 4, 0.01, 5.0
# Where the pointer takes hold of a window, from its outer top-left corner: in the program's
# title bar, inside the frame it draws itself. The floor is held at the same place.
GRIP = (DIALOG_FRAME + 250, DIALOG_FRAME + 15)
FLOOR = "floor"
WHO = ("program", "X server", "window manager", "X server + window manager")
# The passes of a session: where the pointer moves (on the window's grip, or over the desktop
# at this place of the screen) and whether a button is held.
DESKTOP = (40, 40)
PASSES = (("drag", GRIP, True), ("over the title bar, no button held", GRIP, False),
          ("over the desktop, no button held", DESKTOP, False))


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
    return commands, steps


def start(s, subject, floor):
    """Starts the program or the floor; returns its process id and its window."""
    if subject == FLOOR:
        process = s._spawn([floor])
        window = wait_for("the bare window", lambda: s.window_titled("bare drag"), 30)
        return process.pid, window
    corvane_session.PROGRAM = os.path.abspath(subject)
    s.start_program()
    window = wait_for("the main window", lambda: window_with_client(s, 577, 438), 30)
    wait_for("the splash to go", lambda: window_with_client(s, 259, 82) is None, 30)
    return s.program.pid, window


def run_path(s, path):
    # Not the session's own runner: its time limit is short for a 5 s path on a busy machine.
    subprocess.run(path, env=s.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120, check=True)


def one_pass(s, window, pids, path, where, held):
    """Moves the pointer along the path from a place (the window's grip, or the desktop's),
    the button held or not; returns the figures of the pass and whether the window ended
    where it started (the path comes back to where it began, and so should the window)."""
    o = s.outer_geometry(window)
    s.move_to(*((o.x + GRIP[0], o.y + GRIP[1]) if where == GRIP else where))
    if held:
        s.press()
    time.sleep(0.2)
    measuring = Window(pids)
    run_path(s, path)
    figures = measuring.figures()
    followed = None
    if held:
        s.release()
        time.sleep(0.5)
        end = s.outer_geometry(window)
        followed = (end.x, end.y) == (o.x, o.y)
    time.sleep(0.5)
    return figures, followed


def count_moves(s, window, path):
    """One further drag, not measured: how many times the window moved on the screen. With
    a reparenting window manager the window moves inside the frame it put around it, so
    the frame's configure events are counted, those that changed its position."""
    frame = parent_window(s, window)
    root = int(s._run(["xwininfo", "-root"]).split("Window id:", 1)[1].split()[0], 16)
    watched = window if frame in (None, root) else frame
    watcher = subprocess.Popen(["xev", "-id", str(watched), "-event", "structure"], env=s.env,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    time.sleep(1.0)  # xev selects its events before the drag begins
    o, at = s.outer_geometry(window), s.outer_geometry(watched)
    s.move_to(o.x + GRIP[0], o.y + GRIP[1])
    s.press()
    time.sleep(0.2)
    run_path(s, path)
    s.release()
    time.sleep(1.0)
    watcher.terminate()
    out, _ = watcher.communicate(timeout=30)
    # A configure event that leaves the position alone (the window manager raising the
    # window on the press, say) is no move.
    moves, last = 0, (at.x, at.y)
    for match in re.finditer(r"ConfigureNotify event.*?\((-?\d+),(-?\d+)\)", out, re.S):
        position = (int(match.group(1)), int(match.group(2)))
        if position != last:
            moves += 1
        last = position
    return moves


def measure(subjects, floor):
    figures = {(subject, name): {who: [] for who in WHO} for subject in subjects for name, _, _ in PASSES}
    followed = {subject: [] for subject in subjects}
    moves_counted = {}
    path, pointer_moves = drag_path()
    for drag in range(DRAGS):
        for subject in subjects:
            with Session(window_manager=True) as s:
                time.sleep(WINDOW_MANAGER_SETTLE)
                pid, window = start(s, subject, floor)
                time.sleep(1.0)
                pids = {"program": pid, "X server": s.processes[0].pid, "window manager": window_manager_pid(s)}
                for name, where, held in PASSES:
                    values, ended_right = one_pass(s, window, pids, path, where, held)
                    for who, v in values.items():
                        figures[(subject, name)][who].append(v)
                    figures[(subject, name)]["X server + window manager"].append(
                        summed([values["X server"]], [values["window manager"]])[0])
                    if held:
                        followed[subject].append(ended_right)
                if drag == 0:
                    moves_counted[subject] = count_moves(s, window, path)
    return figures, followed, moves_counted, pointer_moves


def main():
    args = sys.argv[1:]
    floor_path = os.path.join("build", "bin", "bare_drag")
    if args[:1] == ["--floor"]:
        if len(args) < 2:
            print("usage: " + __doc__.split("usage: ", 1)[1].strip(), file=sys.stderr)
            sys.exit(2)
        floor_path, args = args[1], args[2:]
    floor = tool(os.path.dirname(os.path.abspath(floor_path)), os.path.basename(floor_path))
    programs = args or [os.path.join("build", "bin", "Corvane_ALPHA3")]
    subjects = programs + [FLOOR]
    figures, followed, moves_counted, pointer_moves = measure(subjects, floor)

    print(f"A drag of {DRAG_SECONDS:.0f} s, {STEP_PIXELS} px every {STEP_SECONDS * 1000:.0f} ms to and fro, "
          "with openbox; "
          f"share of one core (%) and wake-ups a second, median of {DRAGS} drags, beside the floor: a bare "
          "undecorated window moved once per motion event (bench/bare_drag.c), in its own sessions taking turns "
          "with the program's. Ratio: figure / floor (\"-\": both nothing; \"inf\": the floor is nothing).")
    for program in programs:
        print()
        print(f"{program}:")
        print()
        print("| pointer | who | CPU % | floor CPU % | CPU ratio | wake-ups/s | floor wake-ups/s | wake-ups ratio "
              "| the drags | the floor's drags |")
        print("|---|---|---|---|---|---|---|---|---|---|")
        for what, _, _ in PASSES:
            for who in WHO:
                values, base = figures[(program, what)][who], figures[(FLOOR, what)][who]
                c, n, fc, fn = median(values, 0), median(values, 1), median(base, 0), median(base, 1)
                label = "program (floor: the bare window)" if who == "program" else who
                print(f"| {what} | {label} | {cpu(c)} | {cpu(fc)} | {ratio(c, fc)} | {wakes(n)} | {wakes(fn)} "
                      f"| {ratio(n, fn)} | {listed(values)} | {listed(base)} |")
    print()
    over_window, over_desktop = PASSES[1][0], PASSES[2][0]
    for program in programs:
        values, base = figures[(program, over_window)]["program"], figures[(program, over_desktop)]["program"]
        print(f"{program}: the pointer over its own title bar costs it {cpu(median(values, 0))} % and "
              f"{wakes(median(values, 1))} wake-ups/s, over the desktop {cpu(median(base, 0))} % and "
              f"{wakes(median(base, 1))}/s: {ratio(median(values, 0), median(base, 0))} and "
              f"{ratio(median(values, 1), median(base, 1))} times as much")
    for subject in subjects:
        name = "the floor (bare window)" if subject == FLOOR else subject
        ends = followed[subject]
        answer = "yes" if all(ends) else "NO"
        print(f"{name}: the window ended where the pointer took it: {answer} ({sum(ends)} of {len(ends)} drags)")
    for subject in subjects:
        name = "the floor (bare window)" if subject == FLOOR else subject
        moved = moves_counted.get(subject, 0)
        print(f"{name}: the window moved {moved} times for {pointer_moves} pointer moves in one further drag: "
              f"{moved / pointer_moves:.2f} per pointer move")


if __name__ == "__main__":
    main()
