"""The splash, the main window and its title bar, on a real X server."""

import re
import time
import unittest

from corvane_session import DIALOG_FRAME, Session, wait_for

BLUE_GROUND = (0, 128, 255)
TITLE_START = (29, 99, 205)
TRACE_POINTER = "formkit.pointer.debug=true"
DRAG_BEGINS = "a loop follows every move of the pointer"
# The dialog frame's rings from the outside in: (top and left, bottom and right).
FRAME_RINGS = [((192, 192, 192), (0, 0, 0)), ((255, 255, 255), (128, 128, 128)), ((192, 192, 192), (192, 192, 192))]


def frame_faults(shot, outer):
    """Every pixel of the dialog frame around a window that is not the colour it should be,
    as (x, y, found, wanted) relative to the window's outer corner."""
    faults = []

    def check(x, y, wanted):
        found = shot.pixel(outer.x + x, outer.y + y)
        if found != wanted:
            faults.append((x, y, found, wanted))

    right, bottom = outer.width - 1, outer.height - 1
    for i, (light, dark) in enumerate(FRAME_RINGS):
        # Top and left runs stop short of the far corners, which belong to the bottom and
        # right runs.
        for x in range(i, right - i):
            check(x, i, light)
            check(x, bottom - i, dark)
        for y in range(i, bottom - i):
            check(i, y, light)
            check(right - i, y, dark)
        check(right - i, bottom - i, dark)
        check(right - i, i, dark)
        check(i, bottom - i, dark)
    return faults


class SplashAndMainWindow(unittest.TestCase):
    def test_splash_then_main_window(self):
        with Session() as s:
            started = time.monotonic()
            s.start_program()
            splash = wait_for("the splash window", lambda: s.window_of_size(259, 82), 10)
            g = s.geometry(splash)
            self.assertEqual((g.x, g.y), ((1280 - 259) // 2, (1024 - 82) // 2), "the client area where it always was")
            o = s.outer_geometry(splash)
            self.assertEqual((o.x, o.y, o.width, o.height), ((1280 - 265) // 2, (1024 - 88) // 2, 265, 88),
                             "centred with its frame")
            s.wait_for_pixel("the splash's blue ground", g.x + 3, g.y + 3, BLUE_GROUND)
            shot = s.screenshot()
            self.assertEqual(frame_faults(shot, o), [], "the splash's raised frame")
            self.assertEqual(shot.pixel(g.x, g.y), BLUE_GROUND, "the client area starts inside the frame")
            self.assertEqual(shot.pixel(g.x + 258, g.y + 81), BLUE_GROUND, "and ends inside it")
            # The title is white, shadowed in black one pixel up and to the left.
            whites = [(x, y) for y in range(g.y + 24, g.y + 49) for x in range(g.x + 40, g.x + 233)
                      if shot.pixel(x, y) == (255, 255, 255)]
            self.assertGreater(len(whites), 50)
            for x, y in whites:
                self.assertIn(shot.pixel(x - 1, y - 1), [(0, 0, 0), (255, 255, 255)])
            self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", s.property(splash, "_NET_WM_STATE"))

            main = wait_for("the main window", lambda: s.window_of_size(577, 438), 5)
            # The main window is there before the splash goes, and the splash goes ~2 s in.
            wait_for("the splash to go", lambda: s.window_of_size(259, 82) is None, 3)
            self.assertGreater(time.monotonic() - started, 1.5)
            g = s.geometry(main)
            self.assertEqual((g.x, g.y), ((1280 - 577) // 2, (1024 - 438) // 2), "the client area where it always was")
            o = s.outer_geometry(main)
            self.assertEqual((o.x, o.y, o.width, o.height),
                             ((1280 - 583) // 2, (1024 - 444) // 2, 577 + 2 * DIALOG_FRAME, 438 + 2 * DIALOG_FRAME),
                             "centred with its frame")
            self.assertNotIn("_NET_WM_STATE_SKIP_TASKBAR", s.property(main, "_NET_WM_STATE"))

            # The painted title bar.
            s.wait_for_pixel("the title bar painted", g.x + 200, g.y + 20, (79, 149, 255))
            shot = s.screenshot()
            self.assertEqual(shot.pixel(g.x + 0, g.y + 10), TITLE_START, "column 0")
            self.assertEqual(shot.pixel(g.x + 2, g.y + 10), TITLE_START, "column 2")
            self.assertEqual(shot.pixel(g.x + 200, g.y + 20), (79, 149, 255), "column 200")
            self.assertEqual(shot.pixel(g.x + 512, g.y + 0), (157, 227, 255), "column 512")
            self.assertEqual(shot.pixel(g.x + 300, g.y + 1), TITLE_START, "the frame's top edge")
            self.assertEqual(shot.pixel(g.x + 511, g.y + 15), TITLE_START, "the frame's right edge")
            inks = [x for y in range(g.y + 2, g.y + 31) for x in range(g.x + 34, g.x + 300)
                    if shot.pixel(x, y) == (255, 255, 255)]
            self.assertIn(min(inks) - g.x, (41, 42, 43), "the white title starts right of column 40")
            self.assertEqual(shot.pixel(g.x + 300, g.y + 200), (224, 224, 224), "the window's ground")
            self.assertEqual(frame_faults(shot, o), [], "the main window's raised frame")
            self.assertEqual(shot.pixel(g.x + 576, g.y + 437), (224, 224, 224), "the client area ends inside the frame")


class TitleBar(unittest.TestCase):
    def start(self, s):
        s.start_program()
        main = wait_for("the main window", lambda: s.window_of_size(577, 438), 10)
        wait_for("the splash to go", lambda: s.window_of_size(259, 82) is None, 3)
        wait_for("the main window's place", lambda: s.geometry(main, must_exist=False))
        return main

    def press_for_a_drag(self, s):
        """Presses on the title bar and waits for the program to handle the press, in a session
        that traces the pointer: the grip is where the pointer is then, and a move before it is
        not followed."""
        begun = s.program_errors().count(DRAG_BEGINS)
        s.press()
        wait_for("the drag to begin", lambda: s.program_errors().count(DRAG_BEGINS) > begun, 5)

    def wait_for_the_drag_to_end(self, s, main, start, distance, timeout):
        """Waits for the window to end that far from where it started."""
        wait_for(f"the window to end moved by {distance}",
                 lambda: (lambda m: (m.x - start.x, m.y - start.y))(s.geometry(main)) == distance, timeout)

    def test_drag_moves_the_window_by_the_pointer_distance(self):
        with Session() as s:
            s.env["QT_LOGGING_RULES"] = TRACE_POINTER
            main = self.start(s)
            g = s.geometry(main)
            s.move_to(g.x + 250, g.y + 15)
            self.press_for_a_drag(s)
            for step in range(1, 6):
                s.move_to(g.x + 250 + 8 * step, g.y + 15 - 5 * step)
                time.sleep(0.03)
            s.release()
            self.wait_for_the_drag_to_end(s, main, g, (40, -25), 3)
            moved = s.geometry(main)

            # A press and release without moving leaves it in place.
            s.move_to(moved.x + 250, moved.y + 15)
            self.press_for_a_drag(s)
            time.sleep(0.1)
            s.release()
            time.sleep(0.2)
            still = s.geometry(main)
            self.assertEqual((still.x, still.y), (moved.x, moved.y))
            self.assertTrue(s.running())

    def test_frame_buttons_show_their_looks_under_the_real_pointer(self):
        with Session() as s:
            main = self.start(s)
            g = s.geometry(main)
            close = (g.x + 544, g.y + 8)      # 25 x 17 pixels
            minimize = (g.x + 519, g.y + 8)
            s.move_to(g.x + 300, g.y + 200)
            s.wait_for_pixel("idle close button", close[0] + 2, close[1] + 2, (224, 224, 224))
            s.move_to(close[0] + 12, close[1] + 8)
            s.wait_for_pixel("hover frame", close[0], close[1], (0, 128, 255), 1.0)
            s.wait_for_pixel("hover face", close[0] + 2, close[1] + 2, (29, 99, 205), 1.0)
            s.press()
            s.wait_for_pixel("pressed face", close[0] + 2, close[1] + 2, (170, 213, 255), 1.0)
            # Drag out while held: idle; the release outside is no click.
            s.move_to(minimize[0] - 100, minimize[1] + 100)
            s.wait_for_pixel("idle again outside", close[0] + 2, close[1] + 2, (224, 224, 224), 1.0)
            s.release()
            time.sleep(0.2)
            self.assertTrue(s.running())
            # Moving from one button to its neighbour turns the first idle, the second hover.
            s.move_to(minimize[0] + 12, minimize[1] + 8)
            s.wait_for_pixel("minimize hover", minimize[0] + 2, minimize[1] + 2, (29, 99, 205), 1.0)
            s.move_to(close[0] + 12, close[1] + 8)
            s.wait_for_pixel("close hover", close[0] + 2, close[1] + 2, (29, 99, 205), 1.0)
            s.wait_for_pixel("minimize idle", minimize[0] + 2, minimize[1] + 2, (224, 224, 224), 1.0)

    def test_buttons_follow_a_pointer_that_rested_and_a_window_that_moved(self):
        with Session() as s:
            main = self.start(s)
            g = s.geometry(main)
            close = (g.x + 544, g.y + 8)
            # Resting over the window, then over the desktop: each time the next move shows.
            for rest in ((g.x + 300, g.y + 200), (5, 5)):
                s.move_to(*rest)
                time.sleep(1.0)
                s.move_to(close[0] + 12, close[1] + 8)
                s.wait_for_pixel("hover after a rest", close[0] + 2, close[1] + 2, (29, 99, 205), 1.0)
            # The window moves away under the resting pointer: the button is no longer under it.
            time.sleep(0.5)
            o = s.outer_geometry(main)
            s._run(["xdotool", "windowmove", str(main), str(o.x - 100), str(o.y + 50)])
            s.wait_for_pixel("idle once moved away", close[0] + 2 - 100, close[1] + 2 + 50, (224, 224, 224), 1.0)

    def test_a_button_under_another_programs_window_follows_the_pointer_beneath_it(self):
        # With the server's recording of the pointer's moves, and without it (a server that
        # lacks it or refuses it), where a reading every 100 ms looks for warps. Xvfb without
        # the recording has no test device either, so no device moves the pointer there.
        for server_args, path in (((), "the server records every move of the pointer"),
                                  (("-extension", "RECORD"), "no recording: raw device motion")):
            with self.subTest(server_args=server_args), Session(server_args=server_args) as s:
                s.env["QT_LOGGING_RULES"] = TRACE_POINTER
                self.follow_the_pointer_beneath_another_window(s, device=not server_args)
                self.assertIn(path, s.program_errors())

    def follow_the_pointer_beneath_another_window(self, s, device):
        main = self.start(s)
        g = s.geometry(main)
        # "Video Stability (Artifact Test)" spans x 64..208 and y 200..232 of the window;
        # another program's window covers its left part, and (190, 202) stays in sight.
        s._spawn(["xmessage", "-geometry", f"100x60+{g.x + 20}+{g.y + 190}", "cover"])
        wait_for("the covering window", lambda: s.window_titled("xmessage"), 10)
        face = (g.x + 190, g.y + 202)
        beneath, below = (g.x + 90, g.y + 216), (g.x + 90, g.y + 244)
        s.move_to(5, 5)
        s.wait_for_pixel("idle at first", *face, (224, 224, 224), 1.0)
        # A warp over the other window: the recording tells of it, else the slow reading.
        s.move_to(*beneath)
        s.wait_for_pixel("hover under a warped pointer", *face, (29, 99, 205), 1.0)
        s.move_to(*below)
        s.wait_for_pixel("idle below the button", *face, (224, 224, 224), 1.0)
        if not device:
            return
        # Device motion there.
        s._run(["xdotool", "mousemove_relative", "--", "0", str(beneath[1] - below[1])])
        s.wait_for_pixel("hover under a pointer that a device moved", *face, (29, 99, 205), 1.0)

    def test_the_toolkit_is_sent_no_motion_over_the_windows_and_a_drag_still_follows(self):
        # The pointer source follows the pointer on connections of its own; the toolkit would
        # only wake for motion that nothing of the program reads. Over the program's windows
        # the source takes raw motion, which keeps the server's recording prompt; elsewhere
        # it does not need it.
        def raw_motion(s):
            said = re.findall(r"raw motion (keeps the recording prompt|is not needed)", s.program_errors())
            return said[-1] if said else None

        with Session(window_manager=True) as s:
            s.env["QT_LOGGING_RULES"] = TRACE_POINTER
            main = self.start(s)
            g = s.geometry(main)
            for i in range(12):
                s.move_to(g.x + 20 + 45 * i, g.y + 10 + 35 * i)
            wait_for("raw motion over the window", lambda: raw_motion(s) == "keeps the recording prompt", 2)
            s.move_to(g.x + 250, g.y + 15)
            self.press_for_a_drag(s)
            for step in range(1, 11):
                s._run(["xdotool", "mousemove_relative", "--", "6", "3"])
                time.sleep(0.02)
            s.release()
            self.wait_for_the_drag_to_end(s, main, g, (60, 30), 2)
            # A device moves the pointer inside the window onto a button: no window is crossed.
            g = s.geometry(main)
            face, below = (g.x + 190, g.y + 202), (g.x + 90, g.y + 244)
            s.move_to(*below)
            s.wait_for_pixel("idle below the button", *face, (224, 224, 224), 1.0)
            s._run(["xdotool", "mousemove_relative", "--", "0", "-28"])
            s.wait_for_pixel("hover under a pointer that a device moved", *face, (29, 99, 205), 1.0)
            s.move_to(5, 5)
            wait_for("no raw motion over the desktop", lambda: raw_motion(s) == "is not needed", 2)
            self.assertNotIn("the toolkit was sent a motion", s.program_errors())

    def test_close_button_ends_the_program_with_status_zero(self):
        with Session() as s:
            main = self.start(s)
            g = s.geometry(main)
            s.click(g.x + 556, g.y + 16)
            self.assertEqual(s.exit_status(), 0)

    def test_minimize_button_makes_the_window_iconic(self):
        with Session(window_manager=True) as s:
            main = self.start(s)
            g = s.geometry(main)
            s.click(g.x + 531, g.y + 16)
            wait_for("the window to be iconic", lambda: "_NET_WM_STATE_HIDDEN" in s.property(main, "_NET_WM_STATE"))
            self.assertTrue(s.running())


if __name__ == "__main__":
    unittest.main()
