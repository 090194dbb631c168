"""The main window as assistive technology sees it: the real program on a real X server,
read and driven over the AT-SPI accessibility bus of a private D-Bus session, as a screen
reader would. Run under dbus-run-session (see tests/CMakeLists.txt) with Debian's Python,
which has pyatspi."""

import os
import re
import shutil
import subprocess
import time
import unittest

from corvane_session import Session, bus_processes_for, wait_for
from test_main_window import STRIP_LABEL_BOXES, label_is_light_blue, start

try:
    import pyatspi
    from gi.repository import Gio, GLib
except ImportError:
    pyatspi = None

MAIN_TITLE = "Corvane 1.0 *ALPHA* 3"
SELECTOR = ["CPU math burn-in", "Benchmark CPU", "Video Stability (Artifact Test)", "3D Benchmark", "2D Benchmark",
            "Memory Stability Test", "Memory Benchmark"]
OTHER_BUTTONS = ["X", "_", "Benchmark", "About Corvane...", "Exit", "Intro"]
HEADINGS = ["CPU Testing", "Video Testing", "Memory Testing"]
NUMBER_TYPES = ["Integer", "Long Integer", "Single Precision", "Double Precision"]


def descendants(accessible):
    for child in accessible:
        if child is None:
            continue
        yield child
        yield from descendants(child)


def named(accessibles, role, name):
    found = [a for a in accessibles if a.getRole() == role and a.name == name]
    return found[0] if len(found) == 1 else None


def do_action(accessible, action_name):
    action = accessible.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if action_name not in names:
        raise AssertionError(f"{accessible.name!r} offers {names}, not {action_name}")
    action.doAction(names.index(action_name))


def press_to_end(accessible):
    """Presses a button that ends the program, which may be gone before its answer is."""
    try:
        do_action(accessible, "Press")
    except GLib.GError as e:
        if "disconnected" not in e.message:
            raise


class TypingAhead:
    """Presses buttons over the accessibility bus without waiting for the answers, in order,
    as a reader typing ahead of a busy window does: the calls go out on one connection of
    their own, and the program takes them in the order they were sent when it can. What the
    calls need to know of the buttons is asked for beforehand, while the program answers."""

    def __init__(self, *buttons):
        session = Gio.bus_get_sync(Gio.BusType.SESSION)
        address = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
                                    GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, 5000).unpack()[0]
        self.bus = Gio.DBusConnection.new_for_address_sync(
            address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
        self.presses = []
        for button in buttons:
            action = button.queryAction()
            index = [action.getName(i) for i in range(action.nActions)].index("Press")
            self.presses.append((button.app.bus_name, button.path, index))

    def press(self):
        for bus_name, path, index in self.presses:
            self.bus.call(bus_name, path, "org.a11y.atspi.Action", "DoAction", GLib.Variant("(i)", (index,)), None,
                          Gio.DBusCallFlags.NONE, -1, None, None)


@unittest.skipIf(pyatspi is None, "pyatspi is not installed (scripts/install-deps installs python3-pyatspi)")
@unittest.skipIf("DBUS_SESSION_BUS_ADDRESS" not in os.environ, "no private D-Bus session (run under dbus-run-session)")
class AssistiveTechnology(unittest.TestCase):
    def find_program(self, s):
        desktop = pyatspi.Registry.getDesktop(0)

        def program():
            for app in desktop:
                if app is not None and app.get_process_id() == s.program.pid:
                    return app
            return None
        return wait_for("the program on the accessibility bus", program, 10)

    def main_window(self, app):
        def window():
            windows = [w for w in app if w is not None and w.name == MAIN_TITLE]
            return windows[0] if windows else None
        return wait_for(f"the window named {MAIN_TITLE!r}", window, 5)

    def push_button(self, window, name):
        return wait_for(f"the push button {name!r}", lambda: named(
            list(descendants(window)), pyatspi.ROLE_PUSH_BUTTON, name), 5)

    def test_a_screen_reader_reads_and_drives_the_main_window(self):
        with Session() as s:
            s.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
            g = start(s)
            app = self.find_program(s)
            main = self.main_window(app)
            self.assertEqual(main.getRole(), pyatspi.ROLE_FRAME)
            everything = wait_for("the buttons' captions", lambda: (lambda all_: all_ if named(
                all_, pyatspi.ROLE_PUSH_BUTTON, "Intro") else None)(list(descendants(main))), 5)

            # Every highlight button is a push button named by its caption, a leaf.
            buttons = [a for a in everything if a.getRole() == pyatspi.ROLE_PUSH_BUTTON]
            self.assertCountEqual([b.name for b in buttons], SELECTOR + OTHER_BUTTONS)
            self.assertTrue(all(b.childCount == 0 for b in buttons))
            # The headings, the strip labels and the welcome text are labels with their text.
            labels = [a.name for a in everything if a.getRole() == pyatspi.ROLE_LABEL]
            for text in HEADINGS + ["CPU math burn-in", "Benchmark CPU", "Memory Benchmark"]:
                self.assertIn(text, labels)
            self.assertTrue(any(t.startswith("Welcome to Corvane") for t in labels), labels)
            result = [a for a in everything if a.getRole() == pyatspi.ROLE_LABEL and a.name.startswith("Benchmark score")]
            self.assertEqual([r.name for r in result], ["Benchmark score: Benchmark not run."])

            # Where the mouse cannot reach, a press does nothing: the CPU benchmark panel with
            # its Benchmark button still lies behind the welcome panel.
            do_action(named(everything, pyatspi.ROLE_PUSH_BUTTON, "Benchmark"), "Press")
            time.sleep(0.5)
            self.assertEqual(result[0].name, "Benchmark score: Benchmark not run.")

            # A press is a click: the strip label of the chosen test turns light blue.
            do_action(named(everything, pyatspi.ROLE_PUSH_BUTTON, "Benchmark CPU"), "Press")
            index = SELECTOR.index("Benchmark CPU")
            wait_for("the strip label 'Benchmark CPU' in light blue",
                     lambda: label_is_light_blue(s.screenshot(), g, STRIP_LABEL_BOXES[index]), 3)
            shot = s.screenshot()
            self.assertEqual([i for i, box in enumerate(STRIP_LABEL_BOXES) if label_is_light_blue(shot, g, box)], [index])

            # The number types are radio buttons: one checked, and selecting another moves the check.
            radios = {r.name: r for r in everything if r.getRole() == pyatspi.ROLE_RADIO_BUTTON}
            self.assertCountEqual(radios, NUMBER_TYPES)
            checked = lambda: [n for n, r in radios.items() if r.getState().contains(pyatspi.STATE_CHECKED)]
            self.assertEqual(checked(), ["Integer"])
            do_action(radios["Double Precision"], "Toggle")
            wait_for("Double Precision checked", lambda: checked() == ["Double Precision"], 3)

            # The benchmark's result reads as text, and a screen reader hears it change.
            changes = []
            listener = lambda event: changes.append(event.source.name)
            pyatspi.Registry.registerEventListener(listener, "object:property-change:accessible-name")
            try:
                do_action(named(everything, pyatspi.ROLE_PUSH_BUTTON, "Benchmark"), "Press")
                # The window is frozen for the three seconds of the run; ask after it.
                time.sleep(3.5)
                score = wait_for("the score", lambda: re.fullmatch(r"Benchmark score: \d+ marks", result[0].name), 5)
                self.assertGreater(int(score.group(0).split()[2]), 0)
                wait_for("the change of the result announced",
                         lambda: (GLib.MainContext.default().iteration(False), score.group(0) in changes)[1], 3)
            finally:
                pyatspi.Registry.deregisterEventListener(listener, "object:property-change:accessible-name")
            self.assertTrue(s.running())

    def test_a_press_obeys_the_modal_about_window_as_a_click_does(self):
        with Session() as s:
            s.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
            start(s)
            app = self.find_program(s)
            main = self.main_window(app)
            do_action(self.push_button(main, "About Corvane..."), "Press")
            # The dialog is on the bus as soon as its window exists, a moment before it is
            # shown modal; only a showing dialog blocks the main window.
            about = wait_for("the About dialog on screen", lambda: next(
                (w for w in app if w is not None and w.getRole() == pyatspi.ROLE_DIALOG and w.name == "About Corvane"
                 and w.getState().contains(pyatspi.STATE_SHOWING)), None), 5)
            # The main window is blocked: its Exit, pressed, does nothing.
            do_action(self.push_button(main, "Exit"), "Press")
            time.sleep(0.5)
            self.assertTrue(s.running(), "Exit ended the program past the modal window")
            do_action(self.push_button(about, "OK"), "Press")
            wait_for("the About window to close", lambda: s.window_titled("About Corvane") is None, 5)
            press_to_end(self.push_button(main, "Exit"))
            self.assertEqual(s.exit_status(), 0)

    def test_presses_typed_ahead_of_a_busy_window_obey_the_modal_window_an_earlier_one_opens(self):
        with Session() as s:
            s.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
            g = start(s)
            app = self.find_program(s)
            main = self.main_window(app)
            do_action(self.push_button(main, "Benchmark CPU"), "Press")
            wait_for("the CPU benchmark's panel in front", lambda: label_is_light_blue(
                s.screenshot(), g, STRIP_LABEL_BOXES[SELECTOR.index("Benchmark CPU")]), 3)
            typing = TypingAhead(self.push_button(main, "About Corvane..."), self.push_button(main, "Exit"))
            do_action(self.push_button(main, "Benchmark"), "Press")
            # The run holds the window for three seconds; both presses wait it out, and the
            # About window that the first opens blocks the second, as it blocks the mouse.
            time.sleep(0.5)
            typing.press()
            wait_for("the About window or the end of the program",
                     lambda: not s.running() or s.window_titled("About Corvane"), 10)
            time.sleep(0.5)
            self.assertTrue(s.running(), "Exit ended the program past the modal window")
            about = wait_for("the About dialog on the bus", lambda: next(
                (w for w in app if w is not None and w.getRole() == pyatspi.ROLE_DIALOG), None), 5)
            do_action(self.push_button(about, "OK"), "Press")
            wait_for("the About window to close", lambda: s.window_titled("About Corvane") is None, 5)
            press_to_end(self.push_button(main, "Exit"))
            self.assertEqual(s.exit_status(), 0)


def process_ids_on_bus(address):
    """The processes connected to the bus at an address, by the bus's own account."""
    bus = Gio.DBusConnection.new_for_address_sync(
        address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
    ask = lambda method, args, reply: bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                    "org.freedesktop.DBus", method, args, GLib.VariantType(reply),
                                                    Gio.DBusCallFlags.NONE, 5000).unpack()[0]
    names = [n for n in ask("ListNames", None, "(as)") if n.startswith(":") and n != bus.get_unique_name()]
    return {ask("GetConnectionUnixProcessID", GLib.Variant("(s)", (n,)), "(u)") for n in names}


@unittest.skipIf(pyatspi is None, "GLib's Python bindings are not installed (scripts/install-deps installs python3-pyatspi)")
@unittest.skipIf(shutil.which("dbus-launch") is None, "dbus-launch is not installed (scripts/install-deps installs dbus-x11)")
class SessionBus(unittest.TestCase):
    """Assistive technology reaches the program through the session bus. With none named in
    the environment, the program takes the user's bus at $XDG_RUNTIME_DIR/bus as the D-Bus
    library does; with none there either, it goes without, where the library would launch a
    bus of its own for the display (dbus-launch), which holds the first window back and
    outlives the program."""

    def test_the_program_takes_the_session_bus_it_finds_and_launches_none(self):
        with Session() as s:
            for name in ("DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS"):
                s.env.pop(name, None)
            start(s)
            self.assertEqual(bus_processes_for(s.env["DISPLAY"]), [], "a session bus was launched for the program")
            self.assertTrue(s.running())

            # The session's XDG_RUNTIME_DIR is its own folder: a bus there is the user's bus.
            address = f"unix:path={os.path.join(s.env['XDG_RUNTIME_DIR'], 'bus')}"
            bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", f"--address={address}"], env=s.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            s.processes.append(bus)
            wait_for("the user's bus", lambda: os.path.exists(address[len("unix:path="):]), 5)
            s.program.kill()
            program = s.start_program()
            wait_for("the program on the user's bus", lambda: program.pid in process_ids_on_bus(address), 10)
            self.assertEqual(bus_processes_for(s.env["DISPLAY"]), [f"dbus-daemon ({bus.pid})"])


if __name__ == "__main__":
    unittest.main()
