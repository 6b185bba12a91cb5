"""Prints page 1 (the file QUIBBETS_E2E_PRINT_PAGE) from the native notes program on
the default printer; print_queue.sh sets up the queue and checks what comes out."""
import os
import shutil
import sys
import time
import unittest

from desktop import Desktop, Notes


class PrintQueue(unittest.TestCase):
    def test_the_page_shown_goes_to_the_default_printer(self):
        desktop = Desktop()
        self.addCleanup(desktop.close)
        os.makedirs(desktop.data_folder(), mode=0o700)
        shutil.copy(os.environ["QUIBBETS_E2E_PRINT_PAGE"], desktop.page_path(1))
        notes = Notes(desktop)
        notes.keys("ctrl+p")
        time.sleep(1)
        self.assertEqual(desktop.find_windows(name="^Quibbets$"), [], "printing reported a problem")
        notes.keys("alt+f", "w")
        notes.wait_end(30)


if __name__ == "__main__":
    sys.exit(0 if unittest.main(exit=False).result.wasSuccessful() else 1)
