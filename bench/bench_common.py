"""What the benchmark scripts share: the kernel's per-thread times of a process, measuring
windows over several processes at once, and printing a figure beside its floor.

A figure is (share of one core in %, wake-ups a second) over one window; a measurement is
a list of them, one per window, and reads as their median. Wake-ups are the times a
thread was put on a core, summed over the process's threads; together with the time on a
core they come from /proc/PID/task/*/schedstat, which counts in nanoseconds, where
/proc/PID/stat counts in ticks of the clock and so misses most of a quiet process.
"""

import glob
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import corvane_session  # noqa: E402,F401  (the scripts reach the session through this module)


# The window manager announces itself a moment before it takes over the windows that
# map: a window mapped in between may stay unmapped, so the scripts wait this long after
# the session starts before they start anything with a window.
WINDOW_MANAGER_SETTLE = 1.5


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


class Window:
    """One measuring window over several processes: construct it, do or wait for the work,
    then call figures(). The time is the wall-clock time between the two."""

    def __init__(self, pids):
        self.pids = dict(pids)
        self.before = {who: schedstat(pid) for who, pid in self.pids.items()}
        self.t0 = time.monotonic_ns()

    def figures(self):
        elapsed = time.monotonic_ns() - self.t0
        result = {}
        for who, pid in self.pids.items():
            ns, slices = schedstat(pid)
            result[who] = (100 * (ns - self.before[who][0]) / elapsed, (slices - self.before[who][1]) * 1e9 / elapsed)
        return result


def window_manager_pid(session):
    """The process id of the session's window manager, or None when it runs none."""
    for p in session.processes:
        if isinstance(p.args, (list, tuple)) and p.args and os.path.basename(str(p.args[0])) == "openbox":
            return p.pid
    return None


def parent_window(s, window):
    """The window's parent: the frame a reparenting window manager put around it."""
    for line in s._run(["xwininfo", "-tree", "-id", str(window)], check=False).splitlines():
        if "Parent window id:" in line:
            return int(line.split(":", 1)[1].split()[0], 16)
    return None


def median(values, index):
    return statistics.median(v[index] for v in values)


def summed(*measurements):
    """Window by window, the sum of several processes' figures measured in the same windows."""
    return [tuple(sum(v) for v in zip(*per_window)) for per_window in zip(*measurements)]


def ratio(figure, floor):
    """figure / floor for printing; a dash where both are nothing, "inf" where only the floor is."""
    if floor > 0:
        return f"{figure / floor:.2f}"
    return "-" if figure == 0 else "inf"


def cpu(value):
    return f"{value:.3f}"


def wakes(value):
    return f"{value:.1f}"


def listed(values):
    """The windows one by one, as printed beside a median."""
    return "; ".join(f"{c:.3f}% {n:.1f}/s" for c, n in values)


def tool(folder, name):
    """The path of one of the bench's own programs, with a clear message when it is missing."""
    path = os.path.abspath(os.path.join(folder, name))
    if not os.access(path, os.X_OK):
        sys.exit(f"{path} is missing: build it first (cmake --build build --target {name})")
    return path


def key_values(line):
    """The key=value pairs a bench tool prints on one line, as a dict of strings."""
    return dict(part.split("=", 1) for part in line.split() if "=" in part)
