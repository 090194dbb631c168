"""Runs the real Corvane on a private X server and drives it as a person would.

Each session starts its own Xvfb (on a display number the server picks itself), and,
when asked, a small window manager; it starts the program there, moves and clicks the
real pointer with xdotool, finds windows with xdotool, xwininfo and xprop, and reads real
pixels from screenshots of the whole screen. Everything it started is stopped when the
session ends, also when a test fails.
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time

SCREEN_WIDTH, SCREEN_HEIGHT = 1280, 1024
# A window the program asks the window manager not to decorate (the splash and the main
# window) draws a raised dialog frame of this many pixels around its client area itself.
DIALOG_FRAME = 3
PROGRAM = os.environ.get("CORVANE_PROGRAM", "")


def resident_kib(pid):
    """Resident memory of a process, in KiB."""
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def cpu_seconds(pid):
    """Processor time a process has used so far, user and system, in seconds."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def bus_processes_for(display):
    """The session buses (and their launchers) started for an X display: D-Bus processes
    whose environment names it."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/comm") as f:
                name = f.read().strip()
            if name not in ("dbus-daemon", "dbus-launch"):
                continue
            with open(f"/proc/{pid}/environ", "rb") as f:
                if f"DISPLAY={display}".encode() in f.read().split(b"\0"):
                    found.append(f"{name} ({pid})")
        except OSError:
            continue
    return found


class Timeout(AssertionError):
    pass


def wait_for(what, condition, timeout=5.0, interval=0.02):
    """Polls until condition() is true; fails with a clear message at the deadline."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Timeout(f"timed out after {timeout:.1f} s waiting for {what}")
        time.sleep(interval)


class Screenshot:
    def __init__(self, data, width, height):
        self.data, self.width, self.height = data, width, height

    def pixel(self, x, y):
        """(red, green, blue) at screen position (x, y)."""
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])


class Geometry:
    def __init__(self, x, y, width, height):
        self.x, self.y, self.width, self.height = x, y, width, height

    def __repr__(self):
        return f"Geometry({self.x}, {self.y}, {self.width}, {self.height})"


class Session:
    def __init__(self, window_manager=False, server_args=()):
        self.window_manager = window_manager
        self.server_args = list(server_args)
        self.processes = []
        self.program = None
        self.tmp = tempfile.mkdtemp(prefix="corvane-e2e-")
        self.env = None

    # -- starting and stopping ---------------------------------------------------------

    def __enter__(self):
        try:
            self._start_server()
            if self.window_manager:
                self._spawn(["openbox", "--sm-disable"])
                wait_for("the window manager", lambda: "_NET_SUPPORTING_WM_CHECK" in self._root_props(), 10)
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def close(self):
        for p in reversed(self.processes):
            if p.poll() is None:
                p.send_signal(signal.SIGKILL)
                p.wait()
        self.processes.clear()
        shutil.rmtree(self.tmp, ignore_errors=True)

    def _start_server(self):
        read_fd, write_fd = os.pipe()
        server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{SCREEN_WIDTH}x{SCREEN_HEIGHT}x24",
             "-nolisten", "tcp", "-noreset"] + self.server_args,
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        self.processes.append(server)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=f":{number}", XDG_RUNTIME_DIR=self.tmp)
        for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_QPA_PLATFORMTHEME"):
            self.env.pop(name, None)

    def _spawn(self, args, stderr=subprocess.DEVNULL):
        p = subprocess.Popen(args, env=self.env, stdout=subprocess.DEVNULL, stderr=stderr)
        self.processes.append(p)
        return p

    def start_program(self):
        """Starts the program; what it writes to stderr is kept (see program_errors)."""
        if not PROGRAM:
            raise RuntimeError("CORVANE_PROGRAM names no program")
        self.stderr_path = os.path.join(self.tmp, f"stderr-{len(self.processes)}.txt")
        with open(self.stderr_path, "wb") as err:
            self.program = self._spawn([PROGRAM], stderr=err)
        return self.program

    def program_errors(self):
        """What the program last started has written to stderr so far."""
        with open(self.stderr_path, "rb") as f:
            return f.read().decode(errors="replace")

    def exit_status(self, timeout=5.0):
        wait_for("the program to end", lambda: self.program.poll() is not None, timeout)
        return self.program.returncode

    def running(self):
        return self.program is not None and self.program.poll() is None

    # -- X clients ---------------------------------------------------------------------

    def _run(self, args, check=True):
        result = subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=10)
        if check and result.returncode != 0:
            raise RuntimeError(f"{args[0]} failed: {result.stderr.strip()}")
        return result.stdout

    def _root_props(self):
        return self._run(["xprop", "-root"], check=False)

    def windows(self):
        """The program's visible top-level windows."""
        out = self._run(["xdotool", "search", "--onlyvisible", "--pid", str(self.program.pid)], check=False)
        return [int(w) for w in out.split()]

    def window_titled(self, title):
        out = self._run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"], check=False)
        ids = [int(w) for w in out.split()]
        return ids[0] if ids else None

    def window_of_size(self, width, height):
        for w in self.windows():
            g = self.geometry(w, must_exist=False)
            if g and (g.width, g.height) == (width, height):
                return w
        return None

    def geometry(self, window, must_exist=True):
        """The client area of a window on the screen, inside the dialog frame the program
        draws around an undecorated window; None for a window that has gone."""
        outer = self.outer_geometry(window, must_exist)
        if outer is None or not self.draws_own_frame(window):
            return outer
        f = DIALOG_FRAME
        return Geometry(outer.x + f, outer.y + f, outer.width - 2 * f, outer.height - 2 * f)

    def draws_own_frame(self, window):
        """Whether the window asks for no decorations of the window manager (and so draws
        its dialog frame itself)."""
        out = self.property(window, "_MOTIF_WM_HINTS")
        if "=" not in out:
            return False
        flags, _functions, decorations = (int(v, 0) for v in out.split("=")[1].split(",")[:3])
        return bool(flags & 2) and decorations == 0

    def outer_geometry(self, window, must_exist=True):
        """The whole of a window on the screen, with any frame it draws itself; None for a
        window that has gone."""
        values = {}
        out = self._run(["xwininfo", "-id", str(window)], check=must_exist)
        if not out:
            return None
        for line in out.splitlines():
            key, _, value = line.strip().partition(":")
            values[key] = value.strip()
        keys = ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")
        if not all(k in values for k in keys):
            # The window went away while it was being asked about.
            if must_exist:
                raise RuntimeError(f"window {window} has no geometry: {out.strip()}")
            return None
        return Geometry(*(int(values[k]) for k in keys))

    def property(self, window, name):
        return self._run(["xprop", "-id", str(window), name], check=False)

    def frame_extents(self, window):
        out = self.property(window, "_NET_FRAME_EXTENTS")
        if "=" not in out:
            return (0, 0, 0, 0)
        return tuple(int(v) for v in out.split("=")[1].split(","))

    # -- the pointer and the keyboard --------------------------------------------------

    def pointer(self):
        out = self._run(["xdotool", "getmouselocation", "--shell"])
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["X"]), int(values["Y"])

    def move_to(self, x, y):
        # xdotool's own --sync can wait forever while a window moves under the pointer;
        # asking where the pointer is does not.
        self._run(["xdotool", "mousemove", str(x), str(y)])
        wait_for(f"the pointer at ({x}, {y})", lambda: self.pointer() == (x, y), 2)

    def press(self, button=1):
        self._run(["xdotool", "mousedown", str(button)])

    def release(self, button=1):
        self._run(["xdotool", "mouseup", str(button)])

    def click(self, x, y, button=1):
        self.move_to(x, y)
        self._run(["xdotool", "click", str(button)])

    def key(self, keys):
        self._run(["xdotool", "key", keys])

    def activate(self, window):
        """Gives a window the keyboard focus, asking the window manager again until it has."""
        def active():
            self._run(["xdotool", "windowactivate", str(window)], check=False)
            return self._run(["xdotool", "getactivewindow"], check=False).strip() == str(window)
        wait_for(f"window {window} to become active", active, 3)

    # -- pixels ------------------------------------------------------------------------

    def screenshot(self):
        path = os.path.join(self.tmp, "screen.rgb")
        self._run(["import", "-window", "root", "-depth", "8", f"rgb:{path}"])
        with open(path, "rb") as f:
            data = f.read()
        return Screenshot(data, SCREEN_WIDTH, SCREEN_HEIGHT)

    def save_png(self, path):
        self._run(["import", "-window", "root", path])

    def wait_for_pixel(self, what, x, y, colour, timeout=3.0):
        return wait_for(f"{what}: pixel ({x}, {y}) to be {colour}",
                        lambda: self.screenshot().pixel(x, y) == colour, timeout)
