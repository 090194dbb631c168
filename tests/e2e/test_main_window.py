"""The main window at work: the selector, the CPU benchmark, the About window and Exit,
driven with the real pointer on a real X server."""

import time
import unittest

from corvane_session import Session, wait_for

GROUND = (224, 224, 224)
HOVER_FACE = (29, 99, 205)
LIGHT_BLUE = (0, 0, 255)

# Window-relative pixel centres of the selector buttons and the strip labels, by test index.
SELECTOR_BUTTONS = [(112, 104), (112, 144), (136, 216), (104, 256), (104, 296), (116, 376), (116, 416)]
STRIP_LABELS = [(260, 48), (355, 48), (440, 48), (520, 48), (300, 68), (390, 68), (480, 68)]
STRIP_LABEL_BOXES = [(230, 42, 83), (325, 42, 79), (415, 42, 66), (490, 42, 71), (275, 62, 71), (360, 62, 76),
                     (450, 62, 94)]
BEGIN_BENCHMARK = (405, 315)   # in the raised CPU benchmark panel
RESULT_LABEL = (225, 159, 329, 33)
ABOUT, EXIT, INTRO = (372, 408), (516, 408), (264, 408)
# The CPU benchmark panel's controls, in the window: the chosen option's indicator, the
# captions of the options, and the frame around the Benchmark button.
CHOSEN_INDICATOR = (361, 193, 12, 12)
OPTION_CAPTIONS = [(378, 191 + 16 * i, 128, 17) for i in range(4)]
BENCHMARK_FRAME = (321, 263, 169, 97)

# What a desktop gives a program: a platform theme with its colours, and a widget style.
DESKTOPS = [
    ("plain", {}),
    ("a dark theme", {"QT_QPA_PLATFORMTHEME": "gtk3", "GTK_THEME": "Adwaita:dark"}),
    ("the Fusion style", {"QT_STYLE_OVERRIDE": "Fusion"}),
    ("the Windows style", {"QT_STYLE_OVERRIDE": "Windows"}),
]


def shows_welcome_logo(shot, g):
    return any(shot.pixel(g.x + x, g.y + y) != GROUND for x in range(235, 267) for y in range(92, 124))


def start(s):
    s.start_program()
    main = wait_for("the main window", lambda: s.window_of_size(577, 438), 10)
    wait_for("the splash to go", lambda: s.window_of_size(259, 82) is None, 3)
    return s.geometry(main)


def label_is_light_blue(shot, g, box):
    x0, y0, width = box
    return any(shot.pixel(g.x + x, g.y + y) == LIGHT_BLUE for y in range(y0, y0 + 13) for x in range(x0, x0 + width))


def ink(shot, g, box, colour):
    x0, y0, w, h = box
    return [(x, y) for y in range(y0, y0 + h) for x in range(x0, x0 + w) if shot.pixel(g.x + x, g.y + y) == colour]


class Selector(unittest.TestCase):
    def test_every_button_and_strip_label_raises_its_panel_and_lights_its_label(self):
        with Session() as s:
            g = start(s)
            self.assertTrue(shows_welcome_logo(s.screenshot(), g), "the welcome panel is in front")
            for ways in (SELECTOR_BUTTONS, STRIP_LABELS):
                for index, (x, y) in enumerate(ways):
                    s.click(g.x + x, g.y + y)
                    shot = wait_for(f"strip label {index} to be light blue",
                                    lambda: (lambda sh: sh if label_is_light_blue(sh, g, STRIP_LABEL_BOXES[index]) else None)(s.screenshot()), 2)
                    lit = [i for i, box in enumerate(STRIP_LABEL_BOXES) if label_is_light_blue(shot, g, box)]
                    self.assertEqual(lit, [index])
                    # The CPU benchmark panel shows its controls; the other panels are empty.
                    panel_empty = all(shot.pixel(g.x + x, g.y + y) == GROUND
                                      for x in range(230, 560, 7) for y in range(95, 370, 7))
                    if index == 1:
                        self.assertFalse(panel_empty, "the CPU benchmark panel's controls show")
                    else:
                        self.assertTrue(panel_empty, f"panel {index + 1} is empty and covers the welcome panel")
            s.click(g.x + INTRO[0], g.y + INTRO[1])
            shot = wait_for("the welcome panel back", lambda: (lambda sh: sh if shows_welcome_logo(sh, g) else None)(s.screenshot()), 2)
            self.assertEqual([i for i, box in enumerate(STRIP_LABEL_BOXES) if label_is_light_blue(shot, g, box)], [])


class Benchmark(unittest.TestCase):
    def test_benchmark_freezes_the_window_then_shows_a_score(self):
        with Session() as s:
            g = start(s)
            s.click(g.x + SELECTOR_BUTTONS[1][0], g.y + SELECTOR_BUTTONS[1][1])
            time.sleep(0.3)
            not_run = ink(s.screenshot(), g, RESULT_LABEL, LIGHT_BLUE)
            self.assertGreater(len(not_run), 20, "the result line shows in blue")

            s.click(g.x + BEGIN_BENCHMARK[0], g.y + BEGIN_BENCHMARK[1])
            clicked = time.monotonic()
            time.sleep(0.5)
            during = ink(s.screenshot(), g, RESULT_LABEL, LIGHT_BLUE)
            self.assertNotEqual(during, not_run, "the line reads Benchmarking... while it runs")
            # Frozen: a button under the pointer does not take its hover look until the end.
            s.move_to(g.x + INTRO[0], g.y + INTRO[1])
            time.sleep(0.5)
            self.assertEqual(s.screenshot().pixel(g.x + 234, g.y + 394), GROUND, "no hover while frozen")
            s.wait_for_pixel("hover once the run is over", g.x + 234, g.y + 394, HOVER_FACE, 6)
            self.assertGreater(time.monotonic() - clicked, 2.0, "the run lasts about three seconds")
            after = wait_for("the score", lambda: (lambda i: i if i != during else None)(ink(s.screenshot(), g, RESULT_LABEL, LIGHT_BLUE)), 2)
            self.assertGreater(max(x for x, _ in after) - min(x for x, _ in after),
                               max(x for x, _ in during) - min(x for x, _ in during),
                               "the score line is longer than Benchmarking...")
            self.assertTrue(s.running())


class DragBehindTheBenchmark(unittest.TestCase):
    def test_a_press_handled_after_the_pointer_left_up_and_left_keeps_the_window_then_follows(self):
        with Session() as s:
            g = start(s)
            main = s.window_of_size(577, 438)
            s.click(g.x + SELECTOR_BUTTONS[1][0], g.y + SELECTOR_BUTTONS[1][1])
            time.sleep(0.3)
            s.click(g.x + BEGIN_BENCHMARK[0], g.y + BEGIN_BENCHMARK[1])
            time.sleep(0.5)
            during = ink(s.screenshot(), g, RESULT_LABEL, LIGHT_BLUE)
            # The press on the title bar waits in the queue while the benchmark holds the
            # thread; meanwhile the pointer goes above and to the left of the window.
            s.move_to(g.x + 250, g.y + 15)
            s.press()
            away = (g.x - 60, g.y - 40)
            s.move_to(*away)
            wait_for("the score", lambda: ink(s.screenshot(), g, RESULT_LABEL, LIGHT_BLUE) != during, 6)
            time.sleep(0.3)
            held = s.geometry(main)
            self.assertEqual((held.x, held.y), (g.x, g.y), "the window stays where it was when the press is handled")
            # From there it follows the pointer by exactly the pointer's movement.
            s.move_to(away[0] + 30, away[1] + 20)
            wait_for("the window to follow", lambda: (lambda m: (m.x, m.y) == (g.x + 30, g.y + 20))(s.geometry(main)), 2)
            s.release()
            time.sleep(0.2)
            still = s.geometry(main)
            self.assertEqual((still.x, still.y), (g.x + 30, g.y + 20))
            self.assertTrue(s.running())


def pixels(shot, box):
    x0, y0, w, h = box
    return {(x, y): shot.pixel(x0 + x, y0 + y) for y in range(h) for x in range(w)}


class OneLookOnEveryDesktop(unittest.TestCase):
    def look_under(self, env):
        """The main window with the CPU benchmark panel raised, and the About window's client
        area, pixel by pixel, on a desktop that gives the program these settings."""
        with Session() as s:
            s.env.update(env)
            g = start(s)
            s.click(g.x + STRIP_LABELS[1][0], g.y + STRIP_LABELS[1][1])
            s.move_to(5, 5)
            wait_for("the CPU benchmark panel", lambda: label_is_light_blue(s.screenshot(), g, STRIP_LABEL_BOXES[1]), 2)
            time.sleep(0.3)
            main = s.screenshot()
            s.click(g.x + ABOUT[0], g.y + ABOUT[1])
            about = wait_for("the About window", lambda: s.window_titled("About Corvane"), 5)
            a = wait_for("the About window mapped", lambda: s.geometry(about, must_exist=False))
            s.move_to(5, 5)
            s.wait_for_pixel("the About window painted", a.x + 2, a.y + 2, GROUND)
            time.sleep(0.3)
            return pixels(main, (g.x, g.y, g.width, g.height)), pixels(s.screenshot(), (a.x, a.y, a.width, a.height))

    def test_the_windows_look_the_same_whatever_the_desktops_theme_and_style(self):
        looks = {}
        for name, env in DESKTOPS:
            with self.subTest(desktop=name):
                looks[name] = self.look_under(env)
                if name == "plain":
                    self.check_classic_look(looks[name][0])
                for window, plain, seen in zip(("main", "About"), looks["plain"], looks[name]):
                    differing = sorted(p for p in plain if seen.get(p) != plain[p])
                    self.assertEqual(len(differing), 0, f"{window} window: {len(differing)} pixels differ "
                                     f"from the plain run, first at {differing[:3]}")

    def check_classic_look(self, main):
        def at(x, y):
            return main[(x, y)]

        # The chosen option: a black dot in a white circle, sunken (dark at the top left).
        x, y, w, h = CHOSEN_INDICATOR
        self.assertEqual(at(x + 5, y + 5), (0, 0, 0), "the dot")
        self.assertEqual(at(x + 3, y + 4), (255, 255, 255), "the circle's inside")
        self.assertLess(max(at(x + 1, y + 4)), 128, "the circle's dark top left")
        # The captions in black on the panel's ground, each with enough ink to read.
        for box in OPTION_CAPTIONS:
            x0, y0, w, h = box
            ink = [at(x, y) for y in range(y0 + 2, y0 + h - 2) for x in range(x0 + 2, x0 + w - 2) if at(x, y) != GROUND]
            self.assertGreater(ink.count((0, 0, 0)), 60, f"caption at {box}")
            self.assertLessEqual(set(ink), {(0, 0, 0), (31, 31, 31)}, f"caption at {box}: black, or the focus dots")
        # The frame: etched, a grey line with a white one inside it, the white outermost on the
        # bottom and the right.
        x, y, w, h = BENCHMARK_FRAME
        grey, white = (128, 128, 128), (255, 255, 255)
        for i in range(2, w - 2):
            self.assertEqual((at(x + i, y), at(x + i, y + 1)), (grey, white), f"top, column {i}")
            self.assertEqual((at(x + i, y + h - 2), at(x + i, y + h - 1)), (grey, white), f"bottom, column {i}")
        for i in range(2, h - 2):
            self.assertEqual((at(x, y + i), at(x + 1, y + i)), (grey, white), f"left, row {i}")
            self.assertEqual((at(x + w - 2, y + i), at(x + w - 1, y + i)), (grey, white), f"right, row {i}")


class AboutAndExit(unittest.TestCase):
    def open_about(self, s, g):
        s.click(g.x + ABOUT[0], g.y + ABOUT[1])
        about = wait_for("the About window", lambda: s.window_titled("About Corvane"), 5)
        wait_for("the About window mapped", lambda: s.geometry(about, must_exist=False))
        return about

    def test_about_is_modal_and_closes_by_ok_and_by_its_close_box(self):
        with Session(window_manager=True) as s:
            g = start(s)
            about = self.open_about(s, g)
            a = s.geometry(about)
            self.assertEqual((a.width, a.height), (283, 93))
            # Centred on the screen as a whole, the window manager's frame counted.
            left, right, top, bottom = s.frame_extents(about)
            self.assertGreater(top, 0, "framed by the window manager")
            self.assertEqual((a.x - left, a.y - top),
                             ((1280 - (left + 283 + right)) // 2, (1024 - (top + 93 + bottom)) // 2))
            self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", s.property(about, "_NET_WM_STATE"))
            hints = s.property(about, "WM_NORMAL_HINTS")
            self.assertIn("minimum size: 283 by 93", hints)
            self.assertIn("maximum size: 283 by 93", hints)
            # Modal: a click on Exit in the main window does nothing.
            # The blocked window's buttons still follow the pointer, but a click on Exit does nothing.
            s.move_to(g.x + EXIT[0], g.y + EXIT[1])
            s.wait_for_pixel("Exit hover under the modal window", g.x + EXIT[0] - 30, g.y + EXIT[1] - 14, HOVER_FACE, 1.0)
            s.click(g.x + EXIT[0], g.y + EXIT[1])
            time.sleep(0.5)
            self.assertTrue(s.running())
            # OK closes it.
            s.click(a.x + 144, a.y + 68)
            wait_for("the About window to close", lambda: s.window_titled("About Corvane") is None)
            # Opened again, and closed with the window manager's close.
            about = self.open_about(s, g)
            s.activate(about)
            s.key("alt+F4")
            wait_for("the About window to close", lambda: s.window_titled("About Corvane") is None)
            # The main window takes input again: Exit ends the program.
            s.click(g.x + EXIT[0], g.y + EXIT[1])
            self.assertEqual(s.exit_status(), 0)


if __name__ == "__main__":
    unittest.main()
