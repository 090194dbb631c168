#!/usr/bin/env python3
"""Random real input against the real program, to shake out crashes and hangs.

Starts Corvane on a private X server with a window manager and sends it a seeded stream of
real input through xdotool: pointer moves, clicks and double clicks (mostly on the
program's buttons and the About window's OK), short press-move-release drags (title bars
and elsewhere), and key presses (Tab, space, Return, Escape, letters, now and then
alt+F4), over every window the program shows. When the program ends by its own Exit or
close button (status 0) it is started again and the restart counted.

Every so often it checks that the program still answers: outside a benchmark run, a
highlight button must show its hover look within a second of the pointer arriving on it.

It fails (exit status 1, with the reason and the seed) when the program dies of a signal
or ends with a non-zero status, when a sanitizer reports anything on the program's
standard error, or when the program stops answering. The same seed sends the same input:

    monkey.py --program build/bin/Corvane_ALPHA3 --seed 1234 --events 1500
"""

import argparse
import os
import random
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))

import corvane_session  # noqa: E402
from corvane_session import SCREEN_HEIGHT, SCREEN_WIDTH, Session, Timeout, wait_for  # noqa: E402

MAIN_SIZE = (577, 438)
SPLASH_SIZE = (259, 82)
ABOUT_SIZE = (283, 93)

IDLE_FACE = (224, 224, 224)
HOVER_FACE = (29, 99, 205)
PRESSED_FACE = (170, 213, 255)
BUTTON_FACES = (IDLE_FACE, HOVER_FACE, PRESSED_FACE)

# Highlight buttons of the main window, client pixels: (name, x, y, width, height). The
# selector and the frame buttons are always shown; the others belong to panels.
ALWAYS_SHOWN = [
    ("minimize", 519, 8, 25, 17),
    ("CPU burn-in", 64, 88, 97, 33),
    ("Benchmark CPU", 64, 128, 97, 33),
    ("Video stability", 64, 200, 145, 33),
    ("3D benchmark", 64, 240, 81, 33),
    ("2D benchmark", 64, 280, 81, 33),
    ("Memory stability", 64, 360, 105, 33),
    ("Memory benchmark", 64, 400, 105, 33),
]
PANEL_BUTTONS = [
    ("About", 312, 392, 121, 33),
    ("Intro", 232, 392, 65, 33),
    ("begin benchmark", 329, 279, 153, 73),
]
CLOSE = ("close", 544, 8, 25, 17)
EXIT = ("Exit", 464, 392, 105, 33)
BENCHMARK_RUN = PANEL_BUTTONS[2]
# The About window's OK, in its client pixels.
ABOUT_OK = ("OK", 88, 56, 113, 25)

# A benchmark run keeps the program busy for a few seconds; each click on its button may
# queue one more run.
BENCHMARK_ALLOWANCE = 6.0
HOVER_ALLOWANCE = 1.0

SANITIZER_MARKS = ("ERROR: AddressSanitizer", "runtime error:", "LeakSanitizer")

KEYS = ["Tab", "shift+Tab", "space", "Return", "Escape", "a", "x", "q", "Up", "Down", "Left", "Right",
        "alt+o", "ctrl+c"]


class MonkeyFailure(Exception):
    pass


class Window:
    def __init__(self, wid, kind, geometry, frame):
        self.wid, self.kind, self.g, self.frame = wid, kind, geometry, frame  # frame: left, right, top, bottom

    def outer(self):
        left, right, top, bottom = self.frame
        return (self.g.x - left, self.g.y - top, self.g.width + left + right, self.g.height + top + bottom)

    def screen(self, rect):
        _, x, y, w, h = rect
        return (self.g.x + x, self.g.y + y, w, h)


def inside_screen(x, y, w, h):
    return 0 <= x and 0 <= y and x + w <= SCREEN_WIDTH and y + h <= SCREEN_HEIGHT


def on_screen(x, y):
    """xdotool takes no position off the screen (a negative one ends the whole chain)."""
    return str(max(0, min(SCREEN_WIDTH - 1, x))), str(max(0, min(SCREEN_HEIGHT - 1, y)))


def overlaps(a, b):
    ax, ay, aw, ah = a
    bx, by, bw, bh = b
    return ax < bx + bw and bx < ax + aw and ay < by + bh and by < ay + ah


class Monkey:
    def __init__(self, args):
        self.args = args
        self.rng = random.Random(args.seed)
        self.events = 0
        self.restarts = 0
        self.probes = 0
        self.benchmark_busy_until = 0.0
        self.session = None
        self.program = None
        self.stderr_path = None
        self.stderr_seen = 0
        self.log = []

    # -- the program -------------------------------------------------------------------

    def start_program(self):
        s = self.session
        self.stderr_path = os.path.join(s.tmp, f"stderr-{self.restarts}.txt")
        self.stderr_seen = 0
        with open(self.stderr_path, "wb") as err:
            self.program = subprocess.Popen([self.args.program], env=s.env, stdout=subprocess.DEVNULL, stderr=err)
        s.processes.append(self.program)
        s.program = self.program
        self.benchmark_busy_until = 0.0
        try:
            wait_for("the main window", lambda: self.program.poll() is not None or s.window_of_size(*MAIN_SIZE), 15)
            wait_for("the splash to go",
                     lambda: self.program.poll() is not None or s.window_of_size(*SPLASH_SIZE) is None, 5)
        except Timeout as e:
            self.check_program()
            raise MonkeyFailure(f"the program did not come up: {e}")
        self.check_program()

    def check_program(self):
        """Fails on a sanitizer report or an abnormal end; starts the program again after a normal one."""
        self.scan_stderr()
        status = self.program.poll()
        if status is None:
            return
        if status < 0:
            raise MonkeyFailure(f"the program died of signal {-status}")
        if status != 0:
            raise MonkeyFailure(f"the program ended with status {status}")
        self.restarts += 1
        self.say(f"program ended with status 0 after event {self.events}; restart {self.restarts}")
        self.start_program()

    def scan_stderr(self):
        with open(self.stderr_path, "rb") as f:
            f.seek(self.stderr_seen)
            new = f.read()
        # Keep a little overlap so that a mark split across two reads is still found.
        text = new.decode("utf-8", "replace")
        for mark in SANITIZER_MARKS:
            if mark in text:
                start = text.index(mark)
                raise MonkeyFailure(f"sanitizer report on the program's standard error:\n{text[max(0, start - 200):start + 3000]}")
        self.stderr_seen = max(self.stderr_seen, self.stderr_seen + len(new) - 64)

    def stderr_tail(self):
        if not self.stderr_path or not os.path.exists(self.stderr_path):
            return ""
        with open(self.stderr_path, "rb") as f:
            return f.read()[-4000:].decode("utf-8", "replace")

    # -- what is on the screen ---------------------------------------------------------

    def windows(self):
        s = self.session
        found = []
        for wid in s.windows():
            g = s.geometry(wid, must_exist=False)
            if not g:
                continue
            size = (g.width, g.height)
            kind = {MAIN_SIZE: "main", ABOUT_SIZE: "about", SPLASH_SIZE: "splash"}.get(size, "other")
            found.append(Window(wid, kind, g, s.frame_extents(wid)))
        return found

    def restore_hidden_main(self):
        """A minimized main window comes back, as a user would bring it back from the taskbar."""
        s = self.session
        out = s._run(["xdotool", "search", "--pid", str(self.program.pid)], check=False)
        for wid in (int(w) for w in out.split()):
            g = s.geometry(wid, must_exist=False)
            if g and (g.width, g.height) == MAIN_SIZE:
                s._run(["xdotool", "windowactivate", str(wid)], check=False)

    # -- the input ---------------------------------------------------------------------

    def pick_point(self, wins):
        """A point to act on, and the button it aims at (or None)."""
        r = self.rng.random()
        main = next((w for w in wins if w.kind == "main"), None)
        about = next((w for w in wins if w.kind == "about"), None)
        if about and r < 0.35:
            if self.rng.random() < 0.6:
                rect = about.screen(ABOUT_OK)
                return self.point_in(rect), ABOUT_OK
            # Anywhere on the About window, its frame and its close box included.
            ox, oy, ow, oh = about.outer()
            if self.rng.random() < 0.3:
                return (ox + ow - 1 - self.rng.randint(4, 14), oy + self.rng.randint(3, max(3, about.frame[2] - 3))), None
            return (self.rng.randint(ox, ox + ow - 1), self.rng.randint(oy, oy + oh - 1)), None
        if main and r < 0.85:
            roll = self.rng.random()
            # Exit and the close button end the program, which then starts again: about once
            # every thousand events, so that most of the stream goes to a running program.
            if roll < 0.0015:
                button = EXIT
            elif roll < 0.003:
                button = CLOSE
            elif roll < 0.75:
                button = self.rng.choice(ALWAYS_SHOWN + PANEL_BUTTONS + PANEL_BUTTONS)
            else:
                button = None
            if button:
                return self.point_in(main.screen(button)), button
            return (main.g.x + self.rng.randint(0, MAIN_SIZE[0] - 1), main.g.y + self.rng.randint(0, MAIN_SIZE[1] - 1)), None
        return (self.rng.randint(0, SCREEN_WIDTH - 1), self.rng.randint(0, SCREEN_HEIGHT - 1)), None

    def point_in(self, rect):
        x, y, w, h = rect
        return (self.rng.randint(x, x + w - 1), self.rng.randint(y, y + h - 1))

    def drag_step(self, window):
        """A short drag, leaning back towards the middle of the screen when a window strays."""
        def axis(position, size, screen):
            step = self.rng.randint(-30, 30)
            middle = (screen - size) // 2
            if abs(position - middle) > 150:
                step = abs(step) if position < middle else -abs(step)
            return step
        if window is None:
            return self.rng.randint(-30, 30), self.rng.randint(-30, 30)
        return axis(window.g.x, window.g.width, SCREEN_WIDTH), axis(window.g.y, window.g.height, SCREEN_HEIGHT)

    def note_benchmark_click(self, main, points, clicks, moment):
        """Any click that may land on the benchmark's button may start a run, whatever it aimed at."""
        if main is None:
            return
        x, y, w, h = main.screen(BENCHMARK_RUN)
        if any(x <= px < x + w and y <= py < y + h for px, py in points):
            for _ in range(clicks):
                self.benchmark_busy_until = max(self.benchmark_busy_until, moment) + BENCHMARK_ALLOWANCE

    def batch(self, count):
        """count events as one chain of xdotool commands."""
        wins = self.windows()
        if not any(w.kind == "main" for w in wins) and self.program.poll() is None:
            self.restore_hidden_main()
            wins = self.windows()
        main = next((w for w in wins if w.kind == "main"), None)
        about = next((w for w in wins if w.kind == "about"), None)
        cmd = ["xdotool"]
        # The moment the chain starts; the benchmark allowance counts from there, which only
        # makes it longer.
        moment = time.monotonic()
        for _ in range(count):
            pause = f"{self.rng.choice([0.002, 0.005, 0.01, 0.03]):.3f}"
            kind = self.rng.choices(["move", "click", "double", "drag", "key"], [25, 35, 10, 15, 15])[0]
            if kind == "move":
                (x, y), _ = self.pick_point(wins)
                cmd += ["mousemove", *on_screen(x, y)]
            elif kind in ("click", "double"):
                (x, y), _ = self.pick_point(wins)
                which = self.rng.choices(["1", "2", "3"], [90, 3, 7])[0]
                cmd += ["mousemove", *on_screen(x, y)]
                if kind == "click":
                    # xdotool waits --delay after a click too (100 ms unless told).
                    cmd += ["click", "--delay", str(self.rng.randint(5, 40)), which]
                else:
                    cmd += ["click", "--repeat", "2", "--delay", str(self.rng.randint(30, 80)), which]
                if which == "1":
                    self.note_benchmark_click(main, [(x, y)], 1 if kind == "click" else 2, moment)
            elif kind == "drag":
                roll = self.rng.random()
                target = None
                if main and roll < 0.5:
                    # The main window's own painted title bar.
                    target = main
                    x = main.g.x + self.rng.randint(0, 512)
                    y = main.g.y + self.rng.randint(0, 32)
                elif about and roll < 0.7:
                    # The About window's frame title, which the window manager moves.
                    target = about
                    ox, oy, ow, _ = about.outer()
                    x = ox + self.rng.randint(5, max(5, ow - 40))
                    y = oy + self.rng.randint(2, max(2, about.frame[2] - 2))
                else:
                    (x, y), _ = self.pick_point(wins)
                dx, dy = self.drag_step(target)
                cmd += ["mousemove", *on_screen(x, y), "mousedown", "1"]
                steps = self.rng.randint(1, 4)
                for i in range(1, steps + 1):
                    cmd += ["sleep", "0.02", "mousemove", *on_screen(x + dx * i // steps, y + dy * i // steps)]
                cmd += ["mouseup", "1"]
                self.note_benchmark_click(main, [(x, y), (x + dx, y + dy)], 1, moment)
            else:
                key = "alt+F4" if self.rng.random() < 0.004 else self.rng.choice(KEYS)
                cmd += ["key", key]
            cmd += ["sleep", pause]
            self.events += 1
        result = subprocess.run(cmd, env=self.session.env, capture_output=True, timeout=120)
        if result.returncode != 0:
            # A chain that xdotool refuses sends nothing after the refused command.
            raise MonkeyFailure(f"xdotool refused the input: {result.stderr.decode(errors='replace').strip()[:300]}")

    # -- the hang probe ----------------------------------------------------------------

    def pixel(self, x, y):
        out = subprocess.run(["import", "-window", "root", "-crop", f"1x1+{x}+{y}", "-depth", "8", "rgb:-"],
                             env=self.session.env, capture_output=True, timeout=20).stdout
        return tuple(out[:3])

    def probe(self, attempts=3):
        """Outside a benchmark run, a button under the pointer shows its hover look within a second."""
        if attempts == 0:
            return False
        wins = self.windows()
        candidates = []
        for w in wins:
            rects = [ABOUT_OK] if w.kind == "about" else ALWAYS_SHOWN if w.kind == "main" else []
            others = [o.outer() for o in wins if o is not w]
            for rect in rects:
                x, y, width, height = w.screen(rect)
                if inside_screen(x, y, width, height) and not any(overlaps((x, y, width, height), o) for o in others):
                    candidates.append((w, rect, (x, y, width, height)))
        if not candidates:
            return False
        w, rect, (x, y, width, height) = self.rng.choice(candidates)
        # No button held: a press left over from a drag would give the pressed look.
        subprocess.run(["xdotool", "mouseup", "1", "mouseup", "2", "mouseup", "3"], env=self.session.env,
                       capture_output=True, timeout=20)
        subprocess.run(["xdotool", "mousemove", str(x + width // 2), str(y + height // 2)], env=self.session.env,
                       capture_output=True, timeout=20)
        started = time.monotonic()
        deadline = max(started, self.benchmark_busy_until) + HOVER_ALLOWANCE
        layout = self.layout(wins)
        self.probes += 1
        while True:
            colour = self.pixel(x + 2, y + 2)
            if colour == HOVER_FACE:
                return True
            if self.program.poll() is not None:
                return False  # ended meanwhile (alt+F4 or Exit still queued); checked by the caller
            if self.layout(self.windows()) != layout:
                # Input still queued behind a benchmark run moved, minimized or covered a
                # window: the button may be out of the pointer's reach. Another one, then.
                return self.probe(attempts - 1)
            if time.monotonic() > deadline and colour not in BUTTON_FACES:
                # Not the button's pixel: something that is not the program's covers it, such
                # as a window manager's menu opened by a click still queued. Another one.
                return self.probe(attempts - 1)
            if time.monotonic() > deadline:
                shot = os.path.join(os.getcwd(), f"monkey-hang-{self.args.seed}.png")
                try:
                    self.session.save_png(shot)
                except Exception:
                    shot = "(no screenshot)"
                raise MonkeyFailure(
                    f"hang: the {w.kind} window's '{rect[0]}' button at ({x}, {y}) did not show its hover look "
                    f"{time.monotonic() - started:.1f} s after the pointer arrived (face {colour}); "
                    f"screenshot {shot}")
            time.sleep(0.05)

    @staticmethod
    def layout(wins):
        return sorted((w.wid, w.g.x, w.g.y, w.g.width, w.g.height) for w in wins)

    # -- the run -----------------------------------------------------------------------

    def say(self, text):
        if self.args.verbose:
            print(text, flush=True)

    def run(self):
        started = time.monotonic()
        with Session(window_manager=True) as session:
            self.session = session
            self.start_program()
            next_probe = self.args.probe_every
            next_report = 10000
            while self.events < self.args.events:
                self.batch(min(self.rng.randint(5, 15), self.args.events - self.events))
                time.sleep(0.01)
                self.check_program()
                if self.events >= next_report:
                    next_report += 10000
                    print(f"{self.events} events, {self.restarts} restarts, {time.monotonic() - started:.0f} s",
                          flush=True)
                if self.events >= next_probe:
                    next_probe += self.args.probe_every
                    self.probe()
                    self.check_program()
            # Let the last input land, then look once more.
            time.sleep(0.5)
            self.check_program()
            self.probe()
            self.check_program()
        return time.monotonic() - started


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", default=os.environ.get("CORVANE_PROGRAM", ""), help="the program to run")
    parser.add_argument("--seed", type=int, default=None, help="replays the run of that seed")
    parser.add_argument("--events", type=int, default=1500)
    parser.add_argument("--probe-every", type=int, default=100, help="events between two hang probes")
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()
    if not args.program or not os.path.isfile(args.program):
        parser.error("--program (or CORVANE_PROGRAM) must name the built program")
    args.program = os.path.abspath(args.program)
    corvane_session.PROGRAM = args.program
    if args.seed is None:
        args.seed = random.SystemRandom().randrange(1, 2**31)
    print(f"monkey: seed {args.seed}, {args.events} events, program {args.program}", flush=True)
    monkey = Monkey(args)
    try:
        elapsed = monkey.run()
    except (MonkeyFailure, Timeout) as failure:
        print(f"\nMONKEY FAILED after {monkey.events} events ({monkey.restarts} restarts): {failure}", flush=True)
        tail = monkey.stderr_tail()
        if tail:
            print(f"--- the program's standard error (end) ---\n{tail}", flush=True)
        print(f"replay: {sys.argv[0]} --program {args.program} --seed {args.seed} --events {args.events}", flush=True)
        return 1
    print(f"events sent: {monkey.events}")
    print(f"restarts: {monkey.restarts}")
    print(f"hang probes: {monkey.probes}")
    print(f"seed: {args.seed}")
    print(f"run time: {elapsed:.1f} s")
    print("result: PASS", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
