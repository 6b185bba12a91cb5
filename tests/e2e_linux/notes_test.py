"""The notes program on a real X desktop: start-up, typing and Save, keyboard
navigation, the ways of closing, settings and bad input."""
import os
import signal
import stat
import subprocess
import time
import unittest

from desktop import Desktop, Notes, wait_for


class NotesCase(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop()
        self.addCleanup(self.desktop.close)

    def start(self):
        return Notes(self.desktop)

    def close_box(self, notes):
        """Closes the window with its close box; the program must end normally."""
        self.assertEqual(notes.close_box(), 0, notes.state())

    def settings(self):
        with open(self.desktop.settings_path(), encoding="utf-8") as f:
            return f.read()


class Startup(NotesCase):
    def test_first_run_window_stays_on_top_and_keeps_its_place(self):
        notes = self.start()
        self.assertEqual(notes.caption(), "Quibbet - Page 1")
        self.assertIn("_NET_WM_STATE_ABOVE", self.desktop.net_wm_state(notes.window))
        self.assertFalse(os.path.exists(self.desktop.data_folder()), "nothing is written before a save")
        self.close_box(notes)
        # 96 dpi: 15 twips a pixel; the first-run place and size come back as stored.
        conf = self.settings()
        self.assertIn("[Settings]", conf)
        for key, value in (("MainLeft", "500"), ("MainTop", "500"), ("MainWidth", "3852"), ("MainHeight", "3852")):
            self.assertRegex(conf, rf"{key}={value}\b")

    def test_page_files_load_byte_for_byte_and_garbage_settings_fall_back(self):
        self.desktop.write_page(1, b"caf\xe9 \x80\r\nline two\r\n")
        self.desktop.write_page(2, b"\xef\xbb\xbf\xe2\x86\x92 arrow\r\n")
        os.makedirs(os.path.dirname(self.desktop.settings_path()))
        with open(self.desktop.settings_path(), "wb") as f:
            f.write(b"\x00\xff[Settings\nMainLeft=abc\nMainWidth=-5\n")
        notes = self.start()
        notes.keys("ctrl+s")
        notes.keys("ctrl+F2")
        wait_for(lambda: notes.caption() == "Quibbet - Page 2", what="page 2")
        self.close_box(notes)
        # Unchanged pages are not rewritten, and keep their bytes.
        self.assertEqual(self.desktop.read_page(1), b"caf\xe9 \x80\r\nline two\r\n")
        self.assertEqual(self.desktop.read_page(2), b"\xef\xbb\xbf\xe2\x86\x92 arrow\r\n")


class TypingAndSave(NotesCase):
    def test_typed_text_is_saved_as_windows_writes_it(self):
        notes = self.start()
        notes.type("Hello")
        notes.keys("Return")
        self.desktop.put_clipboard("w\u00f6rld \u20ac")
        notes.keys("ctrl+v")
        notes.keys("ctrl+s")
        wait_for(lambda: self.desktop.read_page(1), what="page1.txt")
        self.assertEqual(self.desktop.read_page(1), b"Hello\r\nw\xf6rld \x80\r\n")
        mode = stat.S_IMODE(os.stat(self.desktop.data_folder()).st_mode)
        self.assertEqual(mode, 0o700)

        # Outside Windows-1252: the page goes UTF-8 with a byte-order mark.
        self.desktop.put_clipboard(" \u2192")
        notes.keys("ctrl+v")
        notes.keys("ctrl+s")
        wait_for(lambda: self.desktop.read_page(1).startswith(b"\xef\xbb\xbf"), what="a UTF-8 page")
        self.assertEqual(self.desktop.read_page(1), "\ufeffHello\r\nw\u00f6rld \u20ac \u2192\r\n".encode())
        self.close_box(notes)


class Navigation(NotesCase):
    def test_keyboard_reaches_every_page(self):
        for n in (1, 2, 5, 10):
            self.desktop.write_page(n, f"page {n}\r\n".encode())
        notes = self.start()
        notes.keys("ctrl+F5")
        wait_for(lambda: notes.caption() == "Quibbet - Page 5", what="Ctrl+F5")
        notes.keys("ctrl+F11")
        wait_for(lambda: notes.caption() == "Quibbet - Page 10", what="Ctrl+F11")
        notes.keys("ctrl+F3")  # page 3 has no text: its entry is disabled
        notes.keys("alt", "greater")
        wait_for(lambda: notes.caption() == "Quibbet - Page 1", what="> after page 10")
        notes.keys("alt", "less")
        wait_for(lambda: notes.caption() == "Quibbet - Page 10", what="< before page 1")
        self.close_box(notes)


class Closing(NotesCase):
    def test_close_box_and_termination_save_and_exit_without_save_does_not(self):
        notes = self.start()
        notes.type("by the close box")
        self.close_box(notes)
        self.assertEqual(self.desktop.read_page(1), b"by the close box\r\n")

        # Ctrl+C in a terminal (SIGINT) ends the program as the desktop's termination does.
        text = b"by the close box"
        for number in (signal.SIGTERM, signal.SIGHUP, signal.SIGINT):
            with self.subTest(signal=number.name):
                notes = self.start()
                notes.keys("ctrl+End")
                notes.type(f" {int(number)}")
                text += f" {int(number)}".encode()
                notes.wait_handled(text + b"\r\n")
                notes.signal(number)
                self.assertEqual(notes.wait_end(), 0)
        self.assertEqual(self.desktop.read_page(1), b"by the close box 15 1 2\r\n")

        notes = self.start()
        notes.keys("ctrl+End")
        notes.type(" lost")
        notes.keys("alt+f", "w")  # Exit &Without Save
        notes.wait_end()
        self.assertEqual(self.desktop.read_page(1), b"by the close box 15 1 2\r\n")


class Settings(NotesCase):
    def test_the_window_comes_back_where_it_was_left(self):
        notes = self.start()
        self.desktop.x("xdotool", "windowsize", "--sync", str(notes.window), "400", "300")
        self.desktop.x("xdotool", "windowmove", "--sync", str(notes.window), "200", "150")
        before = self.desktop.geometry(notes.window)
        self.close_box(notes)
        notes = self.start()
        after = self.desktop.geometry(notes.window)
        for was, now in zip(before, after):
            self.assertAlmostEqual(was, now, delta=2)
        self.close_box(notes)


class BadInput(NotesCase):
    """A full disk and a read-only folder (mounts: root only, as root ignores file modes)."""

    def mount(self, *argv):
        if os.geteuid() != 0 or subprocess.run(["mount", *argv], capture_output=True).returncode != 0:
            self.skipTest("cannot mount here")
        self.addCleanup(subprocess.run, ["umount", "-l", argv[-1]], capture_output=True)

    def test_a_full_disk_keeps_the_old_page(self):
        folder = self.desktop.data_folder()
        os.makedirs(folder, mode=0o700)
        self.mount("-t", "tmpfs", "-o", "size=64k,mode=0700", "quibbets-full", folder)
        self.desktop.write_page(1, b"old page\r\n")
        self.desktop.put_clipboard("does not fit " * 20000)
        notes = self.start()
        notes.keys("ctrl+v", "ctrl+s")
        self.desktop.focus_and_keys(notes.box(), "Return")
        self.assertEqual(self.desktop.read_page(1), b"old page\r\n")
        notes.keys("alt+f", "w")
        notes.wait_end()
        self.assertEqual(self.desktop.read_page(1), b"old page\r\n")

    def test_a_read_only_folder_asks_before_exit(self):
        source = os.path.join(self.desktop.home, "source")
        os.makedirs(source, mode=0o700)
        with open(os.path.join(source, "page1.txt"), "wb") as f:
            f.write(b"old page\r\n")
        folder = self.desktop.data_folder()
        os.makedirs(folder, mode=0o700)
        self.mount("--bind", source, folder)
        self.mount("-o", "remount,bind,ro", folder)
        notes = self.start()
        notes.type("!")
        # Nor can the copy of unsaved text be kept for recovery, which is said once.
        self.desktop.focus_and_keys(notes.box(), "Return")
        wait_for(lambda: not self.desktop.find_windows(name="^Quibbets$"), 10, "the message to close")
        self.desktop.close_window(notes.window)
        self.desktop.focus_and_keys(notes.box(), "Return")  # No, the default: the window stays
        time.sleep(1)
        self.assertFalse(notes.ended(), "No must keep the window open")
        self.desktop.close_window(notes.window)
        self.desktop.focus_and_keys(notes.box(), "y")
        notes.wait_end(what="the program to end after Yes")
        self.assertEqual(self.desktop.read_page(1), b"old page\r\n")


if __name__ == "__main__":
    unittest.main()
