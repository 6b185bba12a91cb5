"""Two notes windows on one set of pages, and another program replacing a page file:
a page without unsaved edits follows its file, a save that meets a change made
elsewhere keeps both texts and says so, and a window never asks about its own save."""
import glob
import os
import time
import unittest

from desktop import Desktop, Notes, wait_for


class TwoWindows(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop()
        self.addCleanup(self.desktop.close)

    def page_is(self, data):
        wait_for(lambda: self.desktop.read_page(1) == data, 10, f"page1.txt to hold {data!r}")

    def add_and_save(self, notes, text):
        notes.keys("ctrl+End")
        notes.type(text)
        notes.keys("ctrl+s")

    def assert_no_box(self, notes):
        with self.assertRaises(AssertionError, msg="no question expected"):
            notes.box(timeout=1)

    def test_both_saves_survive_and_an_unedited_page_follows_its_file(self):
        self.desktop.write_page(1, b"start\r\n")
        a, b = Notes(self.desktop), Notes(self.desktop)

        # B has not touched page 1: it shows A's save, then a file put in place by
        # rename; typing at its end and saving builds on what it shows, unasked.
        self.add_and_save(a, " A")
        self.page_is(b"start A\r\n")
        time.sleep(1.5)
        self.add_and_save(b, " B")
        self.page_is(b"start A B\r\n")
        self.assert_no_box(b)
        with open(self.desktop.page_path(1) + ".sync", "wb") as f:
            f.write(b"synced\r\n")
        os.replace(self.desktop.page_path(1) + ".sync", self.desktop.page_path(1))
        time.sleep(1.5)
        self.add_and_save(b, " B")
        self.page_is(b"synced B\r\n")
        self.assert_no_box(b)

        # Both edit; B saves first, then A's save meets B's text and asks: its default
        # keeps A's text in the page and B's beside it.
        time.sleep(1.5)
        a.keys("ctrl+End")
        a.type(" A2")
        self.add_and_save(b, " B2")
        self.page_is(b"synced B B2\r\n")
        a.keys("ctrl+s")
        self.desktop.focus_and_keys(a.box(), "Return")
        self.page_is(b"synced B A2\r\n")
        kept = glob.glob(os.path.join(self.desktop.data_folder(), "page1 (changed elsewhere *).txt"))
        self.assertEqual(len(kept), 1, os.listdir(self.desktop.data_folder()))
        with open(kept[0], "rb") as f:
            self.assertEqual(f.read(), b"synced B B2\r\n")
        for notes in (a, b):
            self.assertEqual(notes.close_box(), 0, notes.state())


if __name__ == "__main__":
    unittest.main()
