"""The tray launcher on a real X desktop with an XEmbed notification area: the
icon's double-click, its menu, Close of each running notes program, the runtime
folder's guards, and a desktop without a notification area."""
import os
import signal
import socket
import time
import unittest

from desktop import NOTES_CAPTION, Desktop, Program, wait_for

CLOSE_FAILED = "Error!  Please close the program manually."


class Launcher(Program):
    def __init__(self, desktop):
        super().__init__(desktop, "quibbets")
        self.icon = wait_for(self.icon_window, 15, "the tray icon")

    def icon_window(self):
        """The icon's window, docked in the tray (a window of this process)."""
        ids = self.desktop.x("xdotool", "search", "--pid", str(self.proc.pid), check=False).split()
        for w in ids:
            x, y, width, height = self.desktop.geometry(int(w))
            if 0 < width <= 64 and 0 < height <= 64 and y < 64:
                return int(w)
        return None

    def double_click(self):
        self.desktop.x("xdotool", "mousemove", "--window", str(self.icon), "4", "4", "click", "--repeat", "2",
                       "--delay", "80", "1")

    def menu(self, downs):
        """Right-click, then the `downs`-th entry: 1 Open, 2 Close, 3 Exit."""
        self.desktop.x("xdotool", "mousemove", "--window", str(self.icon), "4", "4", "click", "3")
        time.sleep(0.3)
        self.desktop.x("xdotool", "key", *(["Down"] * downs), "Return")


def notes_windows(desktop):
    return desktop.find_windows(name=NOTES_CAPTION)


class Tray(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop(tray=True)
        self.addCleanup(self.desktop.close)

    def wait_notes(self, count):
        wait_for(lambda: len(notes_windows(self.desktop)) == count, 15, f"{count} notes windows")

    def test_double_click_opens_one_and_the_menu_opens_closes_and_exits(self):
        launcher = Launcher(self.desktop)
        launcher.double_click()
        self.wait_notes(1)
        time.sleep(0.5)
        self.assertEqual(len(notes_windows(self.desktop)), 1, "one double-click opens one notes program")

        launcher.menu(1)  # Open: one more
        self.wait_notes(2)
        for w in notes_windows(self.desktop):
            self.desktop.x("xdotool", "windowactivate", "--sync", str(w), check=False)
            self.desktop.type("x")
        launcher.menu(2)  # Close: one of them saves and ends
        self.wait_notes(1)
        launcher.menu(2)
        self.wait_notes(0)
        self.assertEqual(self.desktop.read_page(1), b"x\r\n")

        launcher.menu(2)  # none left
        box = wait_for(lambda: self.desktop.find_windows(name="^Quibbets$"), what="the error box")[0]
        self.desktop.x("xdotool", "windowactivate", "--sync", str(box), check=False)
        self.desktop.x("xdotool", "key", "Return")
        launcher.menu(3)  # Exit: the icon goes, the launcher ends
        self.assertEqual(launcher.wait_end(), 0)

    def test_termination_and_ctrl_c_remove_the_icon(self):
        for number in (signal.SIGTERM, signal.SIGINT):
            with self.subTest(signal=number.name):
                launcher = Launcher(self.desktop)
                launcher.signal(number)
                self.assertEqual(launcher.wait_end(), 0)
                self.assertIsNone(launcher.icon_window())

    def test_close_passes_by_stale_and_foreign_entries_of_the_runtime_folder(self):
        folder = os.path.join(self.desktop.runtime, "quibbets")
        os.mkdir(folder, 0o700)
        stale = os.path.join(folder, "notes-999999.sock")
        with socket.socket(socket.AF_UNIX) as s:
            s.bind(stale)
        with open(os.path.join(folder, "notes-1.sock"), "w") as f:
            f.write("not a socket")
        launcher = Launcher(self.desktop)
        launcher.menu(2)
        wait_for(lambda: self.desktop.find_windows(name="^Quibbets$"), what="the error box")
        self.assertFalse(os.path.exists(stale), "a socket whose process is gone is removed")
        self.assertTrue(os.path.exists(os.path.join(folder, "notes-1.sock")), "a foreign file is left alone")


class NoTray(unittest.TestCase):
    def test_without_a_notification_area_the_launcher_says_so_and_ends(self):
        desktop = Desktop(tray=False)
        self.addCleanup(desktop.close)
        launcher = Program(desktop, "quibbets")
        box = wait_for(lambda: desktop.find_windows(name="^Quibbets$"), 90, "the no-tray message")[0]
        desktop.x("xdotool", "windowactivate", "--sync", str(box), check=False)
        desktop.x("xdotool", "key", "Return")
        self.assertNotEqual(launcher.wait_end(), 0)


if __name__ == "__main__":
    unittest.main()
