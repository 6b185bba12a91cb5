"""Unsaved text and a killed program: the next start puts back what was typed 2 s or
more before the kill, once, and nothing after a Save or an Exit Without Save."""
import os
import signal
import time
import unittest

from desktop import Desktop, Notes, wait_for


class Recovery(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop()
        self.addCleanup(self.desktop.close)

    def copies(self):
        """The recovery copies on disk (lock files left out)."""
        folder = os.path.join(self.desktop.data_folder(), "recovery")
        return sorted(n for n in os.listdir(folder) if not n.endswith(".lock")) if os.path.isdir(folder) else []

    def type_and_kill(self, notes, text):
        notes.keys("ctrl+End")
        notes.type(text)
        time.sleep(3)
        notes.signal(signal.SIGKILL)
        notes.wait_end()

    def start_offering(self):
        """Starts the program, which must say in one message that it put text back."""
        notes = Notes(self.desktop)
        self.desktop.focus_and_keys(notes.box(), "Return")
        return notes

    def assert_offers_nothing(self, notes):
        time.sleep(2)
        with self.assertRaises(AssertionError, msg="no message expected at this start"):
            notes.box(timeout=1)

    def test_a_kill_keeps_what_was_typed_and_exit_without_save_drops_it(self):
        self.desktop.write_page(1, b"saved\r\n")
        self.type_and_kill(Notes(self.desktop), " one")
        self.assertEqual(len(self.copies()), 1)
        self.assertEqual(self.desktop.read_page(1), b"saved\r\n", "a page file changes only on Save")

        notes = self.start_offering()
        notes.keys("ctrl+s")
        wait_for(lambda: self.desktop.read_page(1) == b"saved one\r\n", 10, "the recovered text saved")
        self.assertEqual(self.copies(), [])
        self.type_and_kill(notes, " two")

        notes = self.start_offering()
        notes.keys("alt+f", "w")  # Exit &Without Save
        notes.wait_end()
        self.assertEqual(self.desktop.read_page(1), b"saved one\r\n")
        self.assertEqual(self.copies(), [])

        # Nothing is offered again, nor after a kill that follows a Save.
        notes = Notes(self.desktop)
        self.assert_offers_nothing(notes)
        notes.keys("ctrl+End")
        notes.type(" three")
        notes.keys("ctrl+s")
        wait_for(lambda: self.desktop.read_page(1) == b"saved one three\r\n", 10, "the save")
        time.sleep(3)
        notes.signal(signal.SIGKILL)
        notes.wait_end()
        notes = Notes(self.desktop)
        self.assert_offers_nothing(notes)
        self.assertEqual(notes.close_box(), 0, notes.state())
        self.assertEqual(self.desktop.read_page(1), b"saved one three\r\n")


if __name__ == "__main__":
    unittest.main()
