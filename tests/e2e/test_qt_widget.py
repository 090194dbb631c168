"""The highlight button as a Qt widget, made by its Qt Designer plugin in a Qt program of
its own, on a real X server with the real pointer; and a Qt program whose control cannot
be made goes on."""

import os
import shutil
import subprocess
import time
import unittest

from corvane_session import Session, wait_for

HOST = os.environ.get("CORVANE_WIDGET_HOST", "")
PLUGIN = os.environ.get("CORVANE_DESIGNER_PLUGIN", "")
IDLE_GROUND = (224, 224, 224)
HOVER_FACE = (29, 99, 205)
FRAME = (0, 128, 255)


class QtWidget(unittest.TestCase):
    def start_host(self, s, caption="Hello"):
        out_path, self.err_path = os.path.join(s.tmp, "out.txt"), os.path.join(s.tmp, "err.txt")
        with open(out_path, "wb") as out, open(self.err_path, "wb") as err:
            host = subprocess.Popen([HOST, PLUGIN, "300", "200", caption], env=s.env, stdout=out, stderr=err)
        s.processes.append(host)

        def output():
            with open(out_path) as f:
                return f.read().splitlines()

        wait_for("the window", lambda: "shown" in output(), 10)
        return host, output

    def test_the_button_keeps_its_face_and_its_host_keeps_the_desktops_colours(self):
        # The host window is 20 pixels taller than the button, which is 105 x 33: its own ground
        # shows below the button.
        faces, grounds = {}, {}
        for name, env in (("plain", {}), ("dark", {"QT_QPA_PLATFORMTHEME": "gtk3", "GTK_THEME": "Adwaita:dark"})):
            with Session() as s:
                s.env.update(env)
                s.move_to(5, 5)
                self.start_host(s)
                s.wait_for_pixel("the idle face", 303, 203, IDLE_GROUND, 5.0)
                time.sleep(0.3)
                shot = s.screenshot()
                faces[name] = [shot.pixel(x, y) for y in range(200, 233) for x in range(300, 405)]
                grounds[name] = shot.pixel(320, 243)
        self.assertEqual(faces["dark"], faces["plain"], "the button's face")
        self.assertGreater(min(grounds["plain"]), 200, "a light desktop's ground")
        self.assertLess(max(grounds["dark"]), 100, "the dark desktop's ground stays the host's")

    def test_the_plugins_button_lights_up_under_the_pointer_and_reports_one_click_per_click(self):
        with Session() as s:
            s.env["QT_LOGGING_RULES"] = "formkit.pointer.debug=true"
            s.move_to(5, 5)
            host, output = self.start_host(s)
            x, y = 300, 200
            s.wait_for_pixel("the idle face", x + 3, y + 3, IDLE_GROUND, 5.0)

            s.move_to(x + 50, y + 16)
            s.wait_for_pixel("the hover face", x + 3, y + 3, HOVER_FACE, 1.0)
            self.assertEqual(s.screenshot().pixel(x + 50, y), FRAME, "the frame's top row")

            s.click(x + 50, y + 16)
            wait_for("the click", lambda: "clicked 1" in output(), 10)
            # Whatever else is delivered meanwhile, one click is one signal.
            time.sleep(0.5)
            self.assertEqual([line for line in output() if line.startswith("clicked")], ["clicked 1"])
            self.assertIsNone(host.poll())
            # The host's own window is no form of formkit's: its toolkit still hears the
            # pointer's motion, for the host's widgets.
            with open(self.err_path) as f:
                self.assertIn("the toolkit was sent a motion", f.read())

    def test_a_program_whose_control_cannot_be_made_is_warned_and_goes_on(self):
        with Session() as s:
            # The widget library beside a control library that is no library at all.
            folder = os.path.join(s.tmp, "lib")
            os.mkdir(folder)
            bin_dir = os.path.dirname(HOST)
            shutil.copy(os.path.join(bin_dir, "libLumakeyWidgets.so.1"), folder)
            with open(os.path.join(folder, "Lumakey.ocx"), "w") as f:
                f.write("not a library\n")
            env = dict(s.env, LD_LIBRARY_PATH=f"{folder}:{bin_dir}")
            result = subprocess.run([HOST, PLUGIN, "300", "200", "Hello"], env=env, capture_output=True, text=True,
                                    timeout=30)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(result.stdout.splitlines(), ["no control"])
            self.assertIn("Run-time error '429'", result.stderr)
            self.assertIn("Cannot create object 'Lumakey.btn'", result.stderr)
            self.assertIn(os.path.join(folder, "Lumakey.ocx"), result.stderr)


if __name__ == "__main__":
    unittest.main()
