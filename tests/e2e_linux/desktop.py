"""A private X desktop for the native end-to-end tests, and the user's hands on it.

Each test case gets a fresh Xvfb with the openbox window manager (and, when asked,
the trayer notification area), a fresh home with its own data, settings and runtime
folders, and drives the real programs with xdotool, as a user would. Nothing here
runs inside the programs under test, and every wait has a time limit.
"""
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time

BIN = os.environ.get("QUIBBETS_BIN", os.path.join(os.path.dirname(__file__), "../../build/linux/bin"))
NOTES_CAPTION = "Quibbet - Page "


def wait_for(condition, timeout=20.0, what="a condition"):
    """Polls `condition` until it returns a true value, which is returned."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.05)


class Desktop:
    """Xvfb, a window manager, perhaps a tray, and a home of the test's own."""

    def __init__(self, tray=False):
        self.home = tempfile.mkdtemp(prefix="quibbets-e2e-")
        self.runtime = os.path.join(self.home, "run")
        os.mkdir(self.runtime, 0o700)
        self._procs = []
        self.display = self._start_xvfb()
        self.env = dict(os.environ, HOME=self.home, DISPLAY=self.display, LC_ALL="C.UTF-8",
                        XDG_DATA_HOME=os.path.join(self.home, "data"),
                        XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                        XDG_RUNTIME_DIR=self.runtime, QT_QPA_PLATFORM="xcb")
        for key in ("DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY", "SESSION_MANAGER"):
            self.env.pop(key, None)
        self._spawn(["openbox", "--sm-disable"])
        wait_for(lambda: self.x("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False).find("window id") >= 0,
                 60, "the window manager")
        if tray:
            self.start_tray()

    def _start_xvfb(self):
        read, write = os.pipe()
        proc = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        self._procs.append(proc)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise AssertionError("Xvfb did not start")
        return ":" + number

    def _spawn(self, argv, stderr=subprocess.DEVNULL, **kwargs):
        proc = subprocess.Popen(argv, env=self.env, stdout=subprocess.DEVNULL, stderr=stderr, **kwargs)
        self._procs.append(proc)
        return proc

    def start_tray(self, attempts=3):
        """The XEmbed notification area, docked at the top of the screen. On a loaded
        machine trayer has been seen never to map its panel: it is started again."""
        for attempt in range(attempts):
            self.tray = self._spawn(["trayer", "--edge", "top", "--align", "left", "--widthtype", "pixel",
                                     "--width", "200", "--heighttype", "pixel", "--height", "32"])
            try:
                wait_for(lambda: self.find_windows(name="panel", cls=None), 15, "the tray")
                return
            except AssertionError:
                self.tray.kill()
                self.tray.wait()
                if attempt == attempts - 1:
                    raise

    def close(self):
        for proc in reversed(self._procs):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
        shutil.rmtree(self.home, ignore_errors=True)

    # --- Tools ---
    def x(self, *argv, check=True, timeout=10):
        done = subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=timeout)
        if check and done.returncode != 0:
            raise AssertionError(f"{' '.join(argv)} failed: {done.stderr.strip()}")
        return done.stdout

    def find_windows(self, name, cls=None, visible=True):
        argv = ["xdotool", "search"] + (["--onlyvisible"] if visible else [])
        argv += ["--class", cls] if cls else ["--name", name]
        return [int(w) for w in self.x(*argv, check=False).split()]

    def key(self, window, *keys):
        self.x("xdotool", "key", "--window", str(window), "--clearmodifiers", *keys)

    def focus_and_keys(self, window, *keys):
        self.x("xdotool", "windowactivate", "--sync", str(window), check=False)
        self.x("xdotool", "key", "--clearmodifiers", *keys)

    def type(self, text):
        """Types ASCII text (xdotool's remapping for other characters loses keys under load)."""
        self.x("xdotool", "type", "--delay", "10", text)

    def put_clipboard(self, text):
        """Puts text on the clipboard, owned by xclip until another program takes it."""
        clip = subprocess.Popen(["xclip", "-selection", "clipboard", "-i", "-loops", "0"], env=self.env,
                                stdin=subprocess.PIPE)
        clip.communicate(text.encode(), timeout=10)

    def net_wm_state(self, window):
        return self.x("xprop", "-id", str(window), "_NET_WM_STATE", check=False)

    def geometry(self, window):
        """The window's outer frame: x, y, width, height in pixels."""
        out = self.x("xdotool", "getwindowgeometry", "--shell", str(window))
        values = dict(line.split("=") for line in out.split() if "=" in line)
        return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])

    def screenshot(self, path):
        self.x("import", "-window", "root", path, check=False, timeout=30)

    # --- Files of the user ---
    def data_folder(self):
        return os.path.join(self.env["XDG_DATA_HOME"], "quibbets")

    def page_path(self, number):
        return os.path.join(self.data_folder(), f"page{number}.txt")

    def read_page(self, number):
        try:
            with open(self.page_path(number), "rb") as f:
                return f.read()
        except FileNotFoundError:
            return None

    def write_page(self, number, data):
        os.makedirs(self.data_folder(), mode=0o700, exist_ok=True)
        with open(self.page_path(number), "wb") as f:
            f.write(data)

    def settings_path(self):
        return os.path.join(self.env["XDG_CONFIG_HOME"], "Quibbets", "Quibbets.conf")


class Program:
    """A running program of ours on the desktop."""

    def __init__(self, desktop, name, args=()):
        self.desktop = desktop
        self.log = os.path.join(desktop.home, f"{name}-{len(desktop._procs)}.log")
        with open(self.log, "wb") as log:
            self.proc = desktop._spawn([os.path.join(BIN, name), *args], stderr=log)

    def state(self):
        """How the program stands, for a failure message: running or its exit, and what it printed."""
        with open(self.log, errors="replace") as log:
            printed = log.read()[-2000:]
        status = "running" if self.proc.poll() is None else f"ended with {self.proc.returncode}"
        return f"{status}; it printed: {printed!r}"

    def ended(self):
        return self.proc.poll() is not None

    def wait_end(self, timeout=30):
        wait_for(self.ended, timeout, "the program to end")
        return self.proc.returncode

    def signal(self, number=signal.SIGTERM):
        self.proc.send_signal(number)


class Notes(Program):
    """The notes program and its window."""

    def __init__(self, desktop):
        super().__init__(desktop, "quibbets-notes")
        try:
            self.window = wait_for(lambda: self.own_window(), 60, "the notes window")
        except AssertionError as e:
            raise AssertionError(f"{e}: the program is {self.state()}") from None

    def own_window(self):
        for w in self.desktop.find_windows(name=NOTES_CAPTION):
            if self.desktop.x("xdotool", "getwindowpid", str(w), check=False).strip() == str(self.proc.pid):
                return w
        return None

    def caption(self):
        return self.desktop.x("xdotool", "getwindowname", str(self.window)).strip()

    def keys(self, *keys):
        self.desktop.focus_and_keys(self.window, *keys)

    def type(self, text):
        self.desktop.x("xdotool", "windowactivate", "--sync", str(self.window), check=False)
        self.desktop.type(text)

    def box(self, timeout=10):
        """The message box titled "Quibbets" that this program shows now (its window id)."""
        return self.box_titled("Quibbets", timeout)

    def box_titled(self, title, timeout=10):
        """A window of this program titled exactly `title` (a message box)."""
        def find():
            for w in self.desktop.find_windows(name="^" + re.escape(title) + "$"):
                if self.desktop.x("xdotool", "getwindowpid", str(w), check=False).strip() == str(self.proc.pid):
                    return w
            return None
        return wait_for(find, timeout, "a message box")
