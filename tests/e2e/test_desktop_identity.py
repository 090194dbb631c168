"""Docks and task switchers match a running window to its desktop entry by the window's
class: every window of the program must carry the class that the entry names."""

import configparser
import os
import unittest

from corvane_session import Session, wait_for

DESKTOP_ENTRY = os.path.join(os.path.dirname(__file__), "..", "..", "packaging", "corvane.desktop")


class DesktopIdentity(unittest.TestCase):
    def test_every_window_carries_the_class_the_desktop_entry_names(self):
        entry = configparser.ConfigParser(interpolation=None)
        entry.optionxform = str
        entry.read(DESKTOP_ENTRY)
        wm_class = entry["Desktop Entry"]["StartupWMClass"]
        with Session() as s:
            s.start_program()
            # The splash first, while it is there; then the main window that follows it.
            for size in ((259, 82), (577, 438)):
                window = wait_for(f"the window of {size}", lambda: s.window_of_size(*size), 10)
                self.assertRegex(s.property(window, "WM_CLASS"), rf'= "[^"]*", "{wm_class}"\n')


if __name__ == "__main__":
    unittest.main()
