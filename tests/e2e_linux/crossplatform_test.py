"""Page files cross between the builds unchanged: the same text pasted into the native
program and into notes.exe under Wine is saved as the same bytes, and each build
reads the other's files into the same pages (their Clear All archives are equal).
Skipped when the Windows build or Wine is not there."""
import os
import shutil
import subprocess
import unittest

from desktop import NOTES_CAPTION, Desktop, Notes, wait_for

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "../.."))
NOTES_EXE = os.path.join(REPO, "build/win32/bin/notes.exe")
PASTED = "Gr\u00fc\u00dfe \u20ac 1\n\u2192 \u65e5\u672c"
PAGE2 = b"caf\xe9 \x80 1252\r\n"


def page_file(text):
    """A page file as both builds write it: CR LF, UTF-8 with a byte-order mark here."""
    return ("\ufeff" + text.replace("\n", "\r\n") + "\r\n").encode()


def archive(pages):
    text = "".join(f"**Page  {n}\r\n\r\n{pages.get(n, '')}\r\n\r\n**END**\r\n\r\n\r\n" for n in range(1, 11))
    return ("\ufeff" + text).encode()


@unittest.skipUnless(os.path.exists(NOTES_EXE) and shutil.which("wine"), "no Windows build or Wine")
class CrossPlatform(unittest.TestCase):
    def setUp(self):
        self.desktop = Desktop()
        self.addCleanup(self.desktop.close)
        self.wine_folder = os.path.join(self.desktop.home, "windows")
        os.mkdir(self.wine_folder)
        shutil.copy(NOTES_EXE, self.wine_folder)
        self.desktop.write_page(2, PAGE2)
        with open(os.path.join(self.wine_folder, "page2.txt"), "wb") as f:
            f.write(PAGE2)
        self.desktop.put_clipboard(PASTED)

    def wine_notes(self):
        env = dict(self.desktop.env, WINEPREFIX=os.path.join(REPO, "build/wineprefix-cross"), HOME=REPO + "/build")
        proc = subprocess.Popen([os.path.join(REPO, "scripts/wine-session.sh"), "wine",
                                 os.path.join(self.wine_folder, "notes.exe")], env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        window = wait_for(lambda: self.desktop.find_windows(name=NOTES_CAPTION), 120, "notes.exe")[0]
        return proc, window

    def use(self, window, *keys):
        self.desktop.focus_and_keys(window, *keys)

    def test_the_same_text_makes_the_same_files_and_each_build_reads_the_others(self):
        notes = Notes(self.desktop)
        notes.keys("ctrl+v", "ctrl+s")
        wait_for(lambda: self.desktop.read_page(1), what="page1.txt from Linux")
        notes.keys("alt+f", "x")
        notes.wait_end()
        proc, window = self.wine_notes()
        self.use(window, "ctrl+v", "ctrl+s")
        windows_page = os.path.join(self.wine_folder, "page1.txt")
        wait_for(lambda: os.path.exists(windows_page), 30, "page1.txt from Windows")
        with open(windows_page, "rb") as f:
            self.assertEqual(f.read(), page_file(PASTED))
        self.assertEqual(self.desktop.read_page(1), page_file(PASTED))

        # Each build reads the other's page 1 (and the shared page 2) and archives it.
        shutil.copy(windows_page, self.desktop.page_path(1))
        self.use(window, "alt+e", "l")
        self.use(wait_for(lambda: self.desktop.find_windows(name="^Delete all pages"), 30, "the question"), "Return")
        wait_for(lambda: os.path.exists(os.path.join(self.wine_folder, "pages.txt")), 30, "the Windows archive")
        self.use(window, "alt+f", "x")
        proc.wait(60)
        notes = Notes(self.desktop)
        notes.keys("alt+e", "l")
        self.use(notes.box_titled("Delete all pages?"), "Return")
        wait_for(lambda: os.path.exists(os.path.join(self.desktop.data_folder(), "pages.txt")), 30, "the archive")
        notes.keys("alt+f", "x")
        notes.wait_end()
        expected = archive({1: PASTED.replace("\n", "\r\n"), 2: "caf\u00e9 \u20ac 1252"})
        for folder in (self.wine_folder, self.desktop.data_folder()):
            with open(os.path.join(folder, "pages.txt"), "rb") as f:
                self.assertEqual(f.read(), expected, folder)


if __name__ == "__main__":
    unittest.main()
