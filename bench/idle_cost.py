#!/usr/bin/env python3
"""Idle cost of Corvane: what the program, the X server and the window manager spend
while the main window sits open with its thirteen polling buttons, with the pointer
resting in three places, moved by a device over the desktop at a slow and at a fast
mouse's rate, and moved by a device over the selector buttons; then how long a button
under a warped pointer takes to show its hover look when another program's window covers
the pointer.

Times are the kernel's precise per-thread figures (/proc/PID/task/*/schedstat): the share
of one core used, and the times a thread was put on a core ("wake-ups"), summed over the
threads, over three 8-second windows; the tables give their medians. Every figure is
printed beside its floor, a bare program doing the same work measured in the same run,
and the ratio of the two:

- at rest, a bare C program that reads the pointer every 10 ms on its own connection
  (bench/bare_poller.c), and the same reading every 100 ms, each measured alone once the
  program has ended, with the X server and the window manager in the same windows;
- under device motion, for the program, the bare 10 ms poller running beside it in the
  same windows; for the X server and the window manager, the same motion with the bare
  poller alone once the program has ended.

Device motion is XTest relative motion (bench/device_mover.c), which the server reports
as device motion; an absolute move would be a warp. It keeps its rate on an absolute
clock, so it reaches a fast mouse's thousand moves a second, and the rate it achieved is
printed.

The warp: another program's window covers part of a selector button; the pointer warps
(xdotool mousemove, a core WarpPointer) from the desktop to a point over that window and
inside the button, and bench/pixel_watch.c times how long the uncovered part of the
button's face takes to turn the hover colour, sampling the pointer and one pixel as fast
as it can. The latencies are printed beside one tick of the buttons' polling (10 ms) and
beside the time one sample takes, the floor of that measurement.

Then the program's resident memory and the time from starting the process to the splash
window being on screen. Figures only: nothing here passes or fails.

usage: bench/idle_cost.py [PROGRAM [BARE_POLLER]]
       (defaults: build/bin/Corvane_ALPHA3, build/bin/bare_poller; device_mover and
       pixel_watch are taken from the bare poller's folder)
"""

import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bench_common import (WINDOW_MANAGER_SETTLE, Window, corvane_session, cpu, key_values, listed,  # noqa: E402
                          median, parent_window, ratio, tool, wakes, window_manager_pid)
from corvane_session import Session, resident_kib, wait_for  # noqa: E402

WINDOWS, WINDOW_SECONDS, WARM_UP = 3, 8.0, 3.0
# The device starts moving a little before a window opens and stops a good while after it
# closes, so that a window never holds time without motion even when this script is
# scheduled late on a busy machine.
MOVER_LEAD, MOVER_TAIL = 0.5, 1.5
DESKTOP = (5, 5)
# Window-relative centres of the top and bottom selector buttons.
SELECTOR_TOP, SELECTOR_BOTTOM = (112, 104), (116, 416)
OTHER_WINDOW = (800, 600, 400, 300)  # x, y, width, height: away from the main window's middle
# Device motion over the desktop: (rate a second, step in pixels, steps each way). The
# slow one moves 4 pixels every 10 ms; the fast one, a mouse reporting a thousand times a
# second, one pixel each time, four each way.
DEVICE_MOTIONS = [(100, 4, 1), (1000, 1, 4)]

# The warp under another window. The selector button "Video Stability (Artifact Test)"
# spans this rectangle of the main window (x, y, width, height); another program's window
# is put over its left part, and the button's face is watched at a point to the right of
# that window, where the face shows no caption.
COVERED_BUTTON = (64, 200, 144, 32)
COVER = (20, 190, 100, 60)  # window-relative x, y, then width, height of the covering window
FACE = (190, 202)
IDLE_FACE, HOVER_FACE = (224, 224, 224), (29, 99, 205)
WARPS = 10
# After the pointer has gone back to the desktop and the face is idle again, a pause, so
# that every warp starts from a program at rest.
REST_BETWEEN_WARPS = 1.5
TICK_MS = 10


class DeviceMotion:
    """A device moving the pointer to and fro during each measuring window."""

    def __init__(self, mover, env, rate, dx, dy, steps):
        self.rate = rate
        seconds = int(WINDOW_SECONDS + MOVER_LEAD + MOVER_TAIL + 0.999)
        self.command = [mover, str(rate), str(seconds), str(dx), str(dy), str(steps)]
        self.env = env
        self.reports = []  # what the mover printed, one dict per window
        self.short = 0  # windows that outlasted the mover

    def start(self):
        process = subprocess.Popen(self.command, env=self.env, stdout=subprocess.PIPE, text=True)
        time.sleep(MOVER_LEAD)
        return process

    def finish(self, process):
        if process.poll() is not None:
            self.short += 1
        out, _ = process.communicate(timeout=120)
        self.reports.append(key_values(out.strip()))

    def achieved(self):
        rates = ", ".join(r.get("rate", "?") for r in self.reports)
        late = ", ".join(r.get("late", "?") for r in self.reports)
        note = f"; {self.short} window(s) outlasted the device" if self.short else ""
        return f"asked {self.rate} a second, achieved {rates} (moves more than a period late: {late}){note}"


def measure(pids, motion=None):
    """For each process, (share of one core in %, wake-ups a second) over each window."""
    figures = {who: [] for who in pids}
    for _ in range(WINDOWS):
        mover = motion.start() if motion else None
        window = Window(pids)
        time.sleep(WINDOW_SECONDS)
        for who, values in window.figures().items():
            figures[who].append(values)
        if mover:
            motion.finish(mover)
    return figures


def spawn_poller(s, poller, interval_ms):
    process = s._spawn([poller, str(interval_ms)])
    time.sleep(WARM_UP)
    return process


def stop(process):
    process.kill()
    process.wait()


def warp_latencies(s, watch, g):
    """Warps the pointer under another program's window onto a selector button WARPS
    times; returns the covering window's set-up as words and what pixel_watch printed for
    each warp (None for one that timed out)."""
    cx, cy, cw, ch = COVER
    cover_process = s._spawn(["xmessage", "-name", "cover", "-geometry", f"{cw}x{ch}+{g.x + cx}+{g.y + cy}", "cover"])
    cover = wait_for("the covering window", lambda: s.window_titled("cover"), 30)
    time.sleep(1.0)  # the window manager places and draws it
    client = s.outer_geometry(cover)
    left, right, top, bottom = s.frame_extents(cover)
    frame = (client.x - left, client.y - top, client.width + left + right, client.height + top + bottom)

    # The point to warp to: the middle of the part of the button the other program's
    # window covers with its own client area.
    bx, by, bw, bh = COVERED_BUTTON
    x0, x1 = max(g.x + bx, client.x), min(g.x + bx + bw, client.x + client.width)
    y0, y1 = max(g.y + by, client.y), min(g.y + by + bh, client.y + client.height)
    face = (g.x + FACE[0], g.y + FACE[1])
    fx, fy, fw, fh = frame
    if x1 - x0 < 4 or y1 - y0 < 4 or (fx <= face[0] < fx + fw and fy <= face[1] < fy + fh):
        stop(cover_process)
        return f"the covering window landed at {frame}: it does not cover the button as planned", []
    beneath = ((x0 + x1) // 2, (y0 + y1) // 2)
    # Whatever the window manager stacked on top under that point must be the other
    # program's window (xdotool names the frame the window manager put around it).
    s.move_to(*beneath)
    under = dict(line.split("=", 1) for line in s._run(["xdotool", "getmouselocation", "--shell"]).split())
    on_top = under.get("WINDOW") in (str(cover), str(parent_window(s, cover)))
    if not on_top:
        # A window manager may keep a new window that did not take the focus below the
        # focused one; the measurement needs it on top.
        s._run(["xdotool", "windowraise", str(cover)], check=False)
        time.sleep(0.5)
        under = dict(line.split("=", 1) for line in s._run(["xdotool", "getmouselocation", "--shell"]).split())
        on_top = under.get("WINDOW") in (str(cover), str(parent_window(s, cover)))
    setup = (f"button at {(g.x + bx, g.y + by, bw, bh)}, the other program's window at {frame} "
             f"(client area {(client.x, client.y, client.width, client.height)}), warp to {beneath}, "
             f"face watched at {face}; under the warped pointer, "
             f"{'the other program' if on_top else 'NOT the other program but window ' + under.get('WINDOW', '?')}")

    results = []
    for _ in range(WARPS):
        s.move_to(*DESKTOP)
        try:
            s.wait_for_pixel("the face idle again", *face, IDLE_FACE, 10)
        except corvane_session.Timeout:
            results.append(None)
            continue
        time.sleep(REST_BETWEEN_WARPS)
        watcher = subprocess.Popen([watch, str(face[0]), str(face[1]), *(str(v) for v in HOVER_FACE),
                                    str(beneath[0]), str(beneath[1]), "10000"],
                                   env=s.env, stdout=subprocess.PIPE, text=True)
        ready = watcher.stdout.readline().strip()
        if ready != "ready":
            watcher.kill()
            watcher.wait()
            results.append(None)
            continue
        s._run(["xdotool", "mousemove", str(beneath[0]), str(beneath[1])])
        out, _ = watcher.communicate(timeout=60)
        report = key_values(out.strip())
        results.append(report if watcher.returncode == 0 and "latency_ms" in report else None)
    s.move_to(*DESKTOP)
    stop(cover_process)
    return setup, results


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else os.path.join("build", "bin", "Corvane_ALPHA3")
    poller_path = sys.argv[2] if len(sys.argv) > 2 else os.path.join("build", "bin", "bare_poller")
    tools = os.path.dirname(os.path.abspath(poller_path))
    poller = tool(tools, os.path.basename(poller_path))
    mover, watch = tool(tools, "device_mover"), tool(tools, "pixel_watch")
    corvane_session.PROGRAM = os.path.abspath(program)

    measured = {}  # what -> {who: [figures per window]}
    motions = {}  # what -> DeviceMotion
    with Session(window_manager=True) as s:
        server, manager = s.processes[0].pid, window_manager_pid(s)
        around = {"X server": server, "window manager": manager}
        time.sleep(WINDOW_MANAGER_SETTLE)
        started = time.monotonic()
        s.start_program()
        wait_for("the splash", lambda: s.window_of_size(259, 82), 30, interval=0.005)
        splash_ms = (time.monotonic() - started) * 1000
        main_window = wait_for("the main window", lambda: s.window_of_size(577, 438), 30)
        wait_for("the splash to go", lambda: s.window_of_size(259, 82) is None, 30)
        g = s.geometry(main_window)
        x, y, w, h = OTHER_WINDOW
        s._spawn(["xmessage", "-geometry", f"{w}x{h}+{x}+{y}", "another program"])
        wait_for("the other program's window", lambda: s.window_titled("xmessage"), 30)
        with_program = dict(program=s.program.pid, **around)

        resting = [("resting over the main window", (g.x + 300, g.y + 250)),
                   ("resting over the desktop", DESKTOP),
                   ("resting over another program's window", (x + w // 2, y + h // 2))]
        for what, (px, py) in resting:
            s.move_to(px, py)
            time.sleep(WARM_UP)
            measured[what] = measure(with_program)

        def device(what, start, rate, dx, dy, steps, pids):
            s.move_to(*start)
            bare = spawn_poller(s, poller, 10)
            motions[what] = DeviceMotion(mover, s.env, rate, dx, dy, steps)
            measured[what] = measure(dict(pids, **{"bare poller": bare.pid}), motions[what])
            stop(bare)

        for rate, step, steps in DEVICE_MOTIONS:
            device(f"moved by a device over the desktop, {rate} Hz", DESKTOP, rate, step, 0, steps, with_program)
        top = (g.x + SELECTOR_TOP[0], g.y + SELECTOR_TOP[1])
        down = (SELECTOR_BOTTOM[1] - SELECTOR_TOP[1]) // 4
        device("moved by a device over the selector buttons, 100 Hz", top, 100, 0, 4, down, with_program)

        warp_setup, warps = warp_latencies(s, watch, g)
        rss_mib = resident_kib(s.program.pid) / 1024

        # The floors: the same work done by bare programs alone, once the program has ended,
        # with the X server and the window manager measured in the same windows.
        s.program.kill()
        s.program.wait()
        s.move_to(*DESKTOP)
        time.sleep(WARM_UP)
        for interval in (10, 100):
            bare = spawn_poller(s, poller, interval)
            alone = dict(around, **{"bare poller": bare.pid})
            measured[f"floor: bare {interval} ms poller alone, resting"] = measure(alone)
            stop(bare)
        for rate, step, steps in DEVICE_MOTIONS:
            device(f"floor: bare 10 ms poller alone, device over the desktop, {rate} Hz", DESKTOP, rate, step, 0, steps,
                   around)
        device("floor: bare 10 ms poller alone, device over where the selector buttons were, 100 Hz", top, 100, 0, 4,
               down, around)

    report(splash_ms, rss_mib, measured, motions, warp_setup, warps)


def report(splash_ms, rss_mib, measured, motions, warp_setup, warps):
    print(f"start to splash on screen: {splash_ms:.0f} ms")
    print(f"resident memory of the program: {rss_mib:.1f} MiB")
    print()
    print(f"Share of one core (%) and wake-ups a second, median of {WINDOWS} windows of {WINDOW_SECONDS:.0f} s, each "
          "beside its floor (a bare program doing the same work, in this run) and the ratio figure / floor "
          "(\"-\": both nothing; \"inf\": the floor is nothing).")
    print()
    print("| where the pointer is | who | CPU % | wake-ups/s | floor | floor CPU % | floor wake-ups/s "
          "| CPU ratio | wake-ups ratio | the three windows |")
    print("|---|---|---|---|---|---|---|---|---|---|")
    rest_floors = [(f"bare {i} ms poller alone", f"floor: bare {i} ms poller alone, resting") for i in (10, 100)]
    moving = {f"moved by a device over the desktop, {rate} Hz":
              f"floor: bare 10 ms poller alone, device over the desktop, {rate} Hz" for rate, _, _ in DEVICE_MOTIONS}
    moving["moved by a device over the selector buttons, 100 Hz"] = \
        "floor: bare 10 ms poller alone, device over where the selector buttons were, 100 Hz"
    for what, by_whom in measured.items():
        if what.startswith("floor:"):
            continue
        for who in ("program", "X server", "window manager"):
            values = by_whom[who]
            if what in moving:
                if who == "program":
                    floors = [("bare 10 ms poller beside it, same windows", by_whom["bare poller"])]
                else:
                    floors = [("bare 10 ms poller alone, same motion", measured[moving[what]][who])]
            else:
                floors = [(label, measured[key]["bare poller" if who == "program" else who])
                          for label, key in rest_floors]
            for label, floor in floors:
                c, n, fc, fn = median(values, 0), median(values, 1), median(floor, 0), median(floor, 1)
                print(f"| {what} | {who} | {cpu(c)} | {wakes(n)} | {label} | {cpu(fc)} | {wakes(fn)} "
                      f"| {ratio(c, fc)} | {ratio(n, fn)} | {listed(values)} |")
    print()
    print("The floors and the bare poller beside the program, window by window:")
    print()
    print("| measured | who | CPU % | wake-ups/s | the three windows |")
    print("|---|---|---|---|---|")
    for what, by_whom in measured.items():
        for who, values in by_whom.items():
            if what.startswith("floor:") or who == "bare poller":
                label = what if what.startswith("floor:") else f"beside the program: {what}"
                print(f"| {label} | {who} | {cpu(median(values, 0))} | {wakes(median(values, 1))} | {listed(values)} |")
    print()
    print("Device motion (XTest relative moves), the rate of each window:")
    for what, motion in motions.items():
        print(f"  {what}: {motion.achieved()}")
    print()
    print("A warp under another program's window onto a selector button, to the hover face:")
    print(f"  {warp_setup}")
    done = [r for r in warps if r]
    if done:
        latencies = [float(r["latency_ms"]) for r in done]
        sample = statistics.median(float(r["sample_ms"]) for r in done)
        longest = max(float(r["longest_sample_ms"]) for r in done)
        median_ms, max_ms = statistics.median(latencies), max(latencies)
        print(f"  latency from the pointer's arrival to the hover face: median {median_ms:.1f} ms, "
              f"max {max_ms:.1f} ms ({len(done)} of {len(warps)} warps)")
        print(f"  bound, one tick: {TICK_MS} ms; ratio: median {median_ms / TICK_MS:.2f}, max {max_ms / TICK_MS:.2f}")
        print(f"  floor, the measuring loop: {sample:.3f} ms a sample (median over the warps; the longest gap "
              f"between two samples {longest:.2f} ms); ratio: median {ratio(median_ms, sample)}, "
              f"max {ratio(max_ms, sample)}")
        print("  each warp, ms: " + ", ".join(f"{v:.1f}" for v in latencies))
        already = sum(1 for r in done if r.get("coloured_on_arrival") == "1")
        if already:
            print(f"  ({already} face(s) already showed the hover colour in the sample that first saw the pointer)")
    if len(done) < len(warps):
        print(f"  {len(warps) - len(done)} warp(s) not measured: the face did not go idle, or the pointer did not "
              "arrive, or the face did not turn, within 10 s")


if __name__ == "__main__":
    main()
