"""The control test container on a real X server: the button created through the registry,
as other programs create it, driven by the real pointer."""

import os
import shutil
import signal
import subprocess
import unittest

from corvane_session import Session, wait_for

TOOLS = os.environ.get("CORVANE_TOOLS", "")
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
        # The loader takes a library only from a file no one else can write.
        self.library = os.path.join(session.tmp, "Lumakey.ocx")
        shutil.copy(os.path.join(TOOLS, "Lumakey.ocx"), self.library)
        os.chmod(self.library, 0o700)

    def run(self, tool, *args):
        return subprocess.run([os.path.join(TOOLS, tool), *args], env=self.env, capture_output=True, text=True,
                              timeout=30)

    def start_host(self, *args):
        """Starts `ctlhost host ...`; its output goes to files read by output() and errors()."""
        self.out_path = os.path.join(self.session.tmp, "host-out.txt")
        self.err_path = os.path.join(self.session.tmp, "host-err.txt")
        with open(self.out_path, "wb") as out, open(self.err_path, "wb") as err:
            host = subprocess.Popen([os.path.join(TOOLS, "ctlhost"), "host", *args], env=self.env, stdout=out,
                                    stderr=err)
        self.session.processes.append(host)
        return host

    def output(self):
        with open(self.out_path) as f:
            return f.read().splitlines()

    def errors(self):
        with open(self.err_path) as f:
            return f.read()


class ControlContainer(unittest.TestCase):
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
