"""The control test container on a real X server: the button created through the registry,
as other programs create it, driven by the real pointer."""

import os
import shutil
import signal
import subprocess
import time
import unittest

from corvane_session import PROGRAM, Session, Timeout, bus_processes_for, wait_for

TOOLS = os.environ.get("CORVANE_TOOLS", "")
# How many times each host is stopped at a moment of its start (more on a sanitizer build).
STOP_RUNS = int(os.environ.get("CORVANE_STOP_RUNS", "20"))
IDLE_GROUND = (224, 224, 224)
HOVER_FACE = (29, 99, 205)
FRAME = (0, 128, 255)
HOVER_CAPTION = (255, 255, 255)
IDLE_CAPTION = (0, 80, 159)


class Container:
    """The built tools, run in a session with a private user and system store."""

    def __init__(self, session):
        self.session = session
        self.env = dict(session.env,
                        FORMKIT_REGISTRY=os.path.join(session.tmp, "user", "registry.json"),
                        FORMKIT_SYSTEM_REGISTRY=os.path.join(session.tmp, "system", "registry.json"))
        # No session bus, as under xvfb-run from a console.
        for name in ("DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS"):
            self.env.pop(name, None)
        # The loader takes a library only from a file no one else can write.
        self.library = os.path.join(session.tmp, "Lumakey.ocx")
        shutil.copy(os.path.join(TOOLS, "Lumakey.ocx"), self.library)
        os.chmod(self.library, 0o700)

    def run(self, tool, *args):
        return subprocess.run([os.path.join(TOOLS, tool), *args], env=self.env, capture_output=True, text=True,
                              timeout=30)

    def start_host(self, *args, piped_input=False):
        """Starts `ctlhost host ...`; its output goes to files read by output() and errors().
        With piped_input its standard input is a pipe that send() writes into."""
        self.out_path = os.path.join(self.session.tmp, "host-out.txt")
        self.err_path = os.path.join(self.session.tmp, "host-err.txt")
        with open(self.out_path, "wb") as out, open(self.err_path, "wb") as err:
            self.host = subprocess.Popen([os.path.join(TOOLS, "ctlhost"), "host", *args], env=self.env, stdout=out,
                                         stderr=err, stdin=subprocess.PIPE if piped_input else None)
        self.session.processes.append(self.host)
        return self.host

    def send(self, text):
        """Writes text to the host's standard input at once, newline or not."""
        self.host.stdin.write(text.encode())
        self.host.stdin.flush()

    def end_input(self):
        self.host.stdin.close()

    def output(self):
        with open(self.out_path) as f:
            return f.read().splitlines()

    def errors(self):
        with open(self.err_path) as f:
            return f.read()


def pipes_held(pid):
    """The pipes a process holds beyond its standard streams: (descriptor, open flags) each."""
    pipes = []
    for name in os.listdir(f"/proc/{pid}/fd"):
        descriptor = int(name)
        try:
            target = os.readlink(f"/proc/{pid}/fd/{name}")
            with open(f"/proc/{pid}/fdinfo/{name}") as f:
                flags = next(int(line.split()[1], 8) for line in f if line.startswith("flags:"))
        except FileNotFoundError:
            continue  # closed while it was looked at
        if descriptor > 2 and target.startswith("pipe:"):
            pipes.append((descriptor, flags))
    return pipes


def has_socket(pid):
    """Whether a process holds a socket: for ctlhost, its connection to the X server."""
    try:
        return any(os.readlink(f"/proc/{pid}/fd/{name}").startswith("socket:") for name in os.listdir(f"/proc/{pid}/fd"))
    except FileNotFoundError:
        return False


def caption_ink(shot, x, y, width, height):
    """The caption's ink on the idle face of a button whose client area starts at (x, y):
    (number of pixels, left, right) of everything inside the face's edge that is not the
    idle ground, or None for a face without ink."""
    ink = [(px, py) for px in range(x + 2, x + width - 2) for py in range(y + 2, y + height - 2)
           if shot.pixel(px, py) != IDLE_GROUND]
    if not ink:
        return None
    return len(ink), min(px for px, _ in ink), max(px for px, _ in ink)


class ControlContainer(unittest.TestCase):
    def wait_for_ink(self, session, what, area, accept, timeout=20):
        """Waits until the caption's ink in area (x, y, width, height) passes accept(ink);
        a failure says what the face showed last."""
        last = []

        def shown():
            last[:] = [caption_ink(session.screenshot(), *area)]
            return accept(last[0])
        try:
            wait_for(what, shown, timeout)
        except Timeout as timeout_error:
            self.fail(f"{timeout_error}; the face's ink (pixels, left, right) is still {last[0]}")
        return last[0]

    def test_hosts_the_registered_button_shows_its_looks_and_prints_its_clicks(self):
        with Session() as s:
            c = Container(s)
            registered = c.run("regsvr", c.library)
            self.assertEqual(registered.returncode, 0, registered.stderr)
            listed = c.run("ctlhost", "list")
            self.assertEqual(listed.returncode, 0, listed.stderr)
            self.assertRegex(listed.stdout, r"Lumakey\.btn  \{8DDE02C5-207C-4592-8B6F-0F84159237E0\}  library '.*Lumakey\.ocx'"
                                            r"  type library \{2004FE3A-FBE0-4284-AAF3-0C56C3E6713D\} 2\.0  ready")

            s.move_to(5, 5)
            x, y = 300, 200  # the client area's top-left corner; the button fills it
            host = c.start_host("Lumakey.btn", "--size", "140x44", "--at", f"{x},{y}", "--set", "Caption=Hello",
                                "--call", "IsMouseOverControl")
            wait_for("the caption to be set", lambda: "Caption = Hello" in c.output(), 10)
            wait_for("the call's result", lambda: "IsMouseOverControl() = False" in c.output(), 10)
            s.wait_for_pixel("the idle face", x + 3, y + 3, IDLE_GROUND)
            shot = s.screenshot()
            self.assertIn(IDLE_CAPTION, {shot.pixel(px, py) for px in range(x + 40, x + 100) for py in range(y + 12, y + 32)})
            self.assertNotEqual(shot.pixel(x - 1, y + 3), IDLE_GROUND, "the button ends at the client area's edge")

            # The real pointer over it: the hover look, by pixel.
            s.move_to(x + 70, y + 22)
            s.wait_for_pixel("the hover face", x + 3, y + 3, HOVER_FACE, 1.0)
            shot = s.screenshot()
            self.assertEqual(shot.pixel(x + 70, y), FRAME, "the frame's top row")
            self.assertEqual(shot.pixel(x + 139, y + 22), FRAME, "the frame's right column")
            self.assertIn(HOVER_CAPTION, {shot.pixel(px, py) for px in range(x + 40, x + 100) for py in range(y + 12, y + 32)})

            # Each click is one line on standard output, numbered, as it arrives.
            s.click(x + 70, y + 22)
            wait_for("the first Click", lambda: "Click 1" in c.output(), 10)
            s.click(x + 20, y + 10)
            wait_for("the second Click", lambda: "Click 2" in c.output(), 10)
            self.assertEqual([line for line in c.output() if line.startswith("Click")], ["Click 1", "Click 2"])
            # A press that ends outside is no click.
            s.press()
            s.move_to(x + 300, y + 200)
            s.release()
            s.wait_for_pixel("idle again", x + 3, y + 3, IDLE_GROUND, 1.0)
            self.assertNotIn("Click 3", c.output())

            # The pipe its signal handler writes to is non-blocking, so that the handler never
            # waits, and closes on exec, so that no program the host starts inherits it.
            pipes = pipes_held(host.pid)
            self.assertTrue(pipes, "the host notes its stop signals in a pipe")
            for descriptor, flags in pipes:
                self.assertTrue(flags & os.O_NONBLOCK, f"descriptor {descriptor} blocks: flags {flags:o}")
                self.assertTrue(flags & os.O_CLOEXEC, f"descriptor {descriptor} is inherited: flags {flags:o}")

            # Without a session bus the host goes without accessibility: none is launched.
            if shutil.which("dbus-launch"):
                self.assertEqual(bus_processes_for(s.env["DISPLAY"]), [], "a session bus was launched for the host")

            host.send_signal(signal.SIGTERM)
            wait_for("the host to end", lambda: host.poll() is not None, 5)
            self.assertEqual(host.returncode, 0, c.errors())

            # Once unregistered, the class is gone for every host, with a clear reason.
            removed = c.run("regsvr", "-u", c.library)
            self.assertEqual(removed.returncode, 0, removed.stderr)
            refused = c.run("ctlhost", "host", "Lumakey.btn", "--set", "Caption=Hello")
            self.assertEqual(refused.returncode, 1)
            self.assertEqual(refused.stdout, "")
            self.assertEqual(refused.stderr.strip().splitlines(), [
                "ctlhost: class 'Lumakey.btn' is not registered (asked the registry: "
                f"'{c.env['FORMKIT_REGISTRY']}', then '{c.env['FORMKIT_SYSTEM_REGISTRY']}')"])

    def test_lines_on_standard_input_repaint_the_face_without_any_input_to_the_window(self):
        with Session() as s:
            c = Container(s)
            self.assertEqual(c.run("regsvr", c.library).returncode, 0)
            # The pointer rests away from the button and does not move until the very end:
            # whatever the face shows until then comes from standard input alone.
            s.move_to(5, 5)
            x, y, width, height = 300, 200, 240, 44
            area = (x, y, width, height)
            middle = x + width // 2
            host = c.start_host("Lumakey.btn", "--stdin", "--size", f"{width}x{height}", "--at", f"{x},{y}",
                                piped_input=True)
            self.addCleanup(host.stdin.close)
            s.wait_for_pixel("the idle face", x + 3, y + 3, IDLE_GROUND, 10)
            self.assertIsNone(caption_ink(s.screenshot(), *area), "a new button has no caption")

            c.send("Caption=Hi\n")
            wait_for("the caption to be put", lambda: "Caption = Hi" in c.output(), 10)
            first = self.wait_for_ink(s, "the first caption on the face", area, lambda ink: ink is not None)
            _, left, right = first
            self.assertLess(right - left, 40, f"'Hi' is a narrow caption: {first}")
            self.assertLessEqual(abs((left + right) // 2 - middle), 4, f"the caption is centred: {first}")

            # A method's name alone calls it; a mistake is reported and the host goes on.
            c.send("IsMouseOverControl\n  Colour = red\n")
            wait_for("the call's result", lambda: "IsMouseOverControl() = False" in c.output(), 10)
            wait_for("the error", lambda: "error: Lumakey.btn has no property 'Colour' to set (its properties: Caption)"
                     in c.output(), 10)

            # A line runs only once its newline has come, however the writes split it.
            c.send("caption = Caption from stand")
            time.sleep(0.5)
            self.assertFalse(any(line.startswith("Caption = Caption from") for line in c.output()), c.output())
            c.send("ard input\n")
            wait_for("the second caption to be put", lambda: "Caption = Caption from standard input" in c.output(), 10)
            second = self.wait_for_ink(
                s, "the second caption on the face, without any input to the window", area,
                lambda ink: ink is not None and ink[2] - ink[1] > 3 * (right - left) and ink[0] > 3 * first[0])
            self.assertLessEqual(abs((second[1] + second[2]) // 2 - middle), 4, f"the caption is centred: {second}")

            # The last line needs no newline: it runs when the input ends, and the host goes
            # on showing the button, which still answers the real pointer.
            c.send("Caption=Hi")
            c.end_input()
            wait_for("the last line to run", lambda: c.output().count("Caption = Hi") == 2, 10)
            self.wait_for_ink(s, "the first caption again", area, lambda ink: ink == first)
            s.move_to(middle, y + height // 2)
            s.wait_for_pixel("the hover face after the end of the input", x + 3, y + 3, HOVER_FACE, 10)
            self.assertIsNone(host.poll(), "the end of the input does not end the host")

            host.send_signal(signal.SIGTERM)
            wait_for("the host to end", lambda: host.poll() is not None, 10)
            self.assertEqual(host.returncode, 0, c.errors())
            self.assertNotIn("ctlhost:", c.errors())

    def test_a_stop_asked_for_while_the_host_starts_ends_it_normally(self):
        with Session() as s:
            c = Container(s)
            self.assertEqual(c.run("regsvr", c.library).returncode, 0)
            server = s.processes[0]  # the session's X server, started first
            for stop in (signal.SIGTERM, signal.SIGINT):
                # While the X server is held still, the host waits in its first request to it,
                # long before its window or its calls: the stop comes while it starts.
                server.send_signal(signal.SIGSTOP)
                try:
                    host = c.start_host("Lumakey.btn", "--set", "Caption=Hello", "--call", "IsMouseOverControl")
                    wait_for("the host to connect to the X server", lambda: has_socket(host.pid), 20)
                    host.send_signal(stop)
                finally:
                    server.send_signal(signal.SIGCONT)
                wait_for(f"the host to end after {stop.name}", lambda: host.poll() is not None, 20)
                self.assertEqual(host.returncode, 0, f"after {stop.name}: {c.errors()}")
                self.assertEqual(c.errors(), "")

    def test_a_host_stopped_at_any_moment_of_its_first_400_ms_ends_by_the_signal_or_normally(self):
        # Whenever the stop comes, the pointer source's thread is stopped and joined before
        # the toolkit goes, or the process ends by the signal with nothing torn down.
        with Session() as s:
            c = Container(s)
            self.assertEqual(c.run("regsvr", c.library).returncode, 0)
            hosts = {"ctlhost host": ([os.path.join(TOOLS, "ctlhost"), "host", "Lumakey.btn", "--set", "Caption=Hi"], c.env),
                     "the program": ([PROGRAM], s.env)}
            for name, (command, env) in hosts.items():
                endings = {}
                for run in range(STOP_RUNS):
                    with open(os.path.join(s.tmp, "stop-err.txt"), "w+b") as err:
                        host = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=err)
                        time.sleep(0.4 * run / STOP_RUNS)
                        host.send_signal(signal.SIGTERM)
                        host.wait(timeout=60)
                        err.seek(0)
                        said = err.read().decode(errors="replace")
                    ending = f"signal {-host.returncode}" if host.returncode < 0 else f"status {host.returncode}"
                    endings[ending] = endings.get(ending, 0) + 1
                    self.assertIn(host.returncode, (0, -signal.SIGTERM), f"{name}, run {run}: {said}")
                    self.assertNotIn("Sanitizer", said, f"{name}, run {run}")
                    self.assertNotIn("runtime error", said, f"{name}, run {run}")
                print(f"{name}: {STOP_RUNS} stops, endings {endings}")

    def test_interactive_use_puts_a_typed_property_and_logs_events(self):
        with Session(window_manager=True) as s:
            c = Container(s)
            self.assertEqual(c.run("regsvr", c.library).returncode, 0)
            s.move_to(5, 5)
            x, y = 300, 200
            host = c.start_host("Lumakey.btn", "--interactive", "--at", f"{x},{y}", "--set", "Caption=Hello")
            wait_for("the caption to be set", lambda: "Caption = Hello" in c.output(), 10)
            # Typing reaches the host only once its window is up and has the keyboard.
            window = wait_for("the host's window", lambda: s.window_titled("ctlhost: Lumakey.btn"), 10)
            s.activate(window)
            # The property line lies below the 120 x 40 control.
            s.click(x + 100, y + 40 + 6 + 13)
            s._run(["xdotool", "type", "--delay", "20", "caption = World"])
            s.key("Return")
            wait_for("the typed property", lambda: "Caption = World" in c.output(), 10)
            s.click(x + 60, y + 20)
            wait_for("the Click", lambda: "Click 1" in c.output(), 10)
            # A name the control does not have is an error in the log; the host goes on.
            s.click(x + 100, y + 40 + 6 + 13)
            s._run(["xdotool", "type", "--delay", "20", "Colour = red"])
            s.key("Return")
            wait_for("the error", lambda: any("has no property 'Colour'" in line for line in c.output()), 10)
            s.click(x + 60, y + 20)
            wait_for("the second Click", lambda: "Click 2" in c.output(), 10)

            # Closing the window through the window manager ends the host normally.
            s.activate(window)
            s.key("alt+F4")
            wait_for("the host to end", lambda: host.poll() is not None, 5)
            self.assertEqual(host.returncode, 0, c.errors())


if __name__ == "__main__":
    unittest.main()
