"""A private X desktop for the native end-to-end tests, and the user's hands on it.

Each test case gets a fresh Xvfb with the openbox window manager (and, when asked,
the trayer notification area), a fresh home with its own data, settings and runtime
folders, and drives the real programs with xdotool, as a user would. Nothing here
runs inside the programs under test, and every wait has a time limit. A desktop that
does not come up is started again here, and only that: a program that fails to do
its part fails the test at once, with the state of its window and the stack of
each of its threads in the message.
"""
import ctypes
import functools
import os
import re
import shutil
import signal
import struct
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


@functools.cache
def _xcb():
    """libxcb (the X library under the programs' Qt too), for a client message,
    which xdotool cannot send."""
    xcb = ctypes.CDLL("libxcb.so.1")

    class Cookie(ctypes.Structure):
        _fields_ = [("sequence", ctypes.c_uint)]

    xcb.xcb_connect.restype = ctypes.c_void_p
    xcb.xcb_connect.argtypes = [ctypes.c_char_p, ctypes.c_void_p]
    xcb.xcb_connection_has_error.argtypes = [ctypes.c_void_p]
    xcb.xcb_disconnect.argtypes = [ctypes.c_void_p]
    xcb.xcb_intern_atom.restype = Cookie
    xcb.xcb_intern_atom.argtypes = [ctypes.c_void_p, ctypes.c_uint8, ctypes.c_uint16, ctypes.c_char_p]
    xcb.xcb_intern_atom_reply.restype = ctypes.POINTER(ctypes.c_uint32)
    xcb.xcb_intern_atom_reply.argtypes = [ctypes.c_void_p, Cookie, ctypes.c_void_p]
    xcb.xcb_send_event_checked.restype = Cookie
    xcb.xcb_send_event_checked.argtypes = [ctypes.c_void_p, ctypes.c_uint8, ctypes.c_uint32, ctypes.c_uint32,
                                           ctypes.c_char_p]
    xcb.xcb_request_check.restype = ctypes.POINTER(ctypes.c_uint8)
    xcb.xcb_request_check.argtypes = [ctypes.c_void_p, Cookie]
    return xcb


def send_delete_window(display, window):
    """Sends `window` the WM_PROTOCOLS client message WM_DELETE_WINDOW, the bytes a
    window manager sends when the user clicks the window's close box (ICCCM 4.2.8.1;
    the time is CurrentTime where the window manager puts the click's)."""
    xcb = _xcb()
    free = ctypes.CDLL(None).free
    free.argtypes = [ctypes.c_void_p]
    conn = xcb.xcb_connect(display.encode(), None)
    try:
        if xcb.xcb_connection_has_error(conn):
            raise AssertionError(f"cannot reach the X display {display}")
        atoms = []
        for name in (b"WM_PROTOCOLS", b"WM_DELETE_WINDOW"):
            reply = xcb.xcb_intern_atom_reply(conn, xcb.xcb_intern_atom(conn, 0, len(name), name), None)
            if not reply:
                raise AssertionError(f"the X server has no atom {name.decode()}")
            atoms.append(reply[2])  # response type, sequence and length come first
            free(reply)
        client_message, format32, current_time = 33, 32, 0
        event = struct.pack("=BBHII5I", client_message, format32, 0, window, atoms[0], atoms[1], current_time,
                            0, 0, 0)
        error = xcb.xcb_request_check(conn, xcb.xcb_send_event_checked(conn, 0, window, 0, event))
        if error:
            code = error[1]
            free(error)
            raise AssertionError(f"the X server refused the close message to {window:#x} (error {code})")
    finally:
        xcb.xcb_disconnect(conn)


def thread_stacks(pid):
    """Every thread's stack of a running process, by the first debugger found."""
    for argv in (["gdb", "-p", str(pid), "-batch", "-nx", "-ex", "thread apply all bt"],
                 ["eu-stack", "-p", str(pid)]):
        if not shutil.which(argv[0]):
            continue
        try:
            done = subprocess.run(argv, stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=60)
        except subprocess.TimeoutExpired:
            return f"{argv[0]} did not answer within 60 s"
        stacks = [line for line in done.stdout.splitlines() if re.match(r"(Thread|TID|#)", line.lstrip())]
        return "\n".join(stacks) if stacks else f"{argv[0]} showed none: {done.stderr.strip()[-1000:]}"
    return "neither gdb nor eu-stack is installed to show them"


class DesktopUnavailable(AssertionError):
    """The test's desktop did not come up: the machine's fault, not the programs'."""


class Desktop:
    """Xvfb, a window manager, perhaps a tray, and a home of the test's own."""

    def __init__(self, tray=False, attempts=3):
        self.home = tempfile.mkdtemp(prefix="quibbets-e2e-")
        self.runtime = os.path.join(self.home, "run")
        os.mkdir(self.runtime, 0o700)
        self._procs = []
        # On a loaded machine Xvfb or openbox now and then never comes up: that
        # desktop is thrown away and a fresh one started (and trayer, below, alone).
        try:
            for attempt in range(attempts):
                try:
                    self._start_desktop()
                    break
                except DesktopUnavailable:
                    self._stop_procs()
                    if attempt == attempts - 1:
                        raise
            if tray:
                self.start_tray()
        except DesktopUnavailable:
            self.close()
            raise

    def _start_desktop(self):
        self.display = self._start_xvfb()
        self.env = dict(os.environ, HOME=self.home, DISPLAY=self.display, LC_ALL="C.UTF-8",
                        XDG_DATA_HOME=os.path.join(self.home, "data"),
                        XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                        XDG_RUNTIME_DIR=self.runtime, QT_QPA_PLATFORM="xcb")
        for key in ("DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY", "SESSION_MANAGER"):
            self.env.pop(key, None)
        self._spawn(["openbox", "--sm-disable"])
        try:
            wait_for(lambda: "window id" in self.x("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False),
                     30, "the window manager")
        except AssertionError as e:
            raise DesktopUnavailable(str(e)) from None

    def _start_xvfb(self):
        read, write = os.pipe()
        proc = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        self._procs.append(proc)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise DesktopUnavailable("Xvfb did not start")
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
            except AssertionError as e:
                self.tray.kill()
                self.tray.wait()
                if attempt == attempts - 1:
                    raise DesktopUnavailable(str(e)) from None

    def close(self):
        self._stop_procs()
        shutil.rmtree(self.home, ignore_errors=True)

    def _stop_procs(self):
        for proc in reversed(self._procs):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(5)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
        self._procs = []

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

    def close_window(self, window):
        """Closes the window as a click on its close box does: checks, as the window
        manager does, that the window takes WM_DELETE_WINDOW (one that does not is
        killed), and sends it that message. Sent straight to the window, it needs no
        keyboard focus nor key grab: Alt+F4 through openbox was lost now and then
        right after a move."""
        protocols = self.x("xprop", "-id", str(window), "WM_PROTOCOLS", check=False)
        if "WM_DELETE_WINDOW" not in protocols:
            raise AssertionError(f"cannot close by the close box, {self.window_state(window)} and its "
                                 f"WM_PROTOCOLS has no WM_DELETE_WINDOW: {protocols.strip()!r}")
        send_delete_window(self.display, window)

    def window_state(self, window):
        """Whether the window is still there and mapped, for a failure message."""
        done = subprocess.run(["xwininfo", "-id", str(window)], env=self.env, capture_output=True, text=True,
                              timeout=10)
        found = re.search(r"Window id: \S+ (.*)\n(?s:.*)Map State: (\w+)", done.stdout)
        if done.returncode != 0 or not found:
            return f"the window {window:#x} is gone"
        return f"the window {window:#x} {found.group(1)} is there, map state {found.group(2)}"

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

    def windows(self):
        """The program's own top-level windows (for a failure message)."""
        return [int(w) for w in self.desktop.x("xdotool", "search", "--pid", str(self.proc.pid), check=False).split()]

    def diagnosis(self, known=()):
        """How the program and its windows (and those `known` to be its) stand, and,
        while it runs, every thread's stack."""
        windows = list(known) + [w for w in self.windows() if w not in known]
        lines = [f"the program is {self.state()}"] + [self.desktop.window_state(w) for w in windows]
        if not self.ended():
            lines.append("its threads:\n" + thread_stacks(self.proc.pid))
        return "\n".join(lines)

    def wait_end(self, timeout=30, what="the program to end"):
        try:
            wait_for(self.ended, timeout, what)
        except AssertionError as e:
            raise AssertionError(f"{e}\n{self.diagnosis()}") from None
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
            raise AssertionError(f"{e}\n{self.diagnosis()}") from None

    def own_window(self):
        for w in self.desktop.find_windows(name=NOTES_CAPTION):
            if self.desktop.x("xdotool", "getwindowpid", str(w), check=False).strip() == str(self.proc.pid):
                return w
        return None

    def diagnosis(self, known=()):
        return super().diagnosis([self.window] if hasattr(self, "window") else known)

    def close_box(self, timeout=30):
        """Closes the window by its close box and waits until the program has ended:
        its exit code."""
        self.desktop.close_window(self.window)
        return self.wait_end(timeout, "the program to end after its close box")

    def caption(self):
        return self.desktop.x("xdotool", "getwindowname", str(self.window)).strip()

    def keys(self, *keys):
        self.desktop.focus_and_keys(self.window, *keys)

    def type(self, text):
        self.desktop.x("xdotool", "windowactivate", "--sync", str(self.window), check=False)
        self.desktop.type(text)

    def wait_handled(self, page_bytes, timeout=10):
        """Waits until the program has handled what was typed: xdotool returns once the
        keys are sent, not once they are read. The recovery copy of the page, written
        shortly after the last key, then holds `page_bytes` (the page as Save writes it)."""
        folder = os.path.join(self.desktop.data_folder(), "recovery")

        def kept():
            names = os.listdir(folder) if os.path.isdir(folder) else []
            for name in names:
                try:
                    with open(os.path.join(folder, name), "rb") as f:
                        if f.read().endswith(b"\r\n\r\n" + page_bytes):
                            return True
                except OSError:
                    pass
            return False

        wait_for(kept, timeout, f"a recovery copy holding {page_bytes!r}")

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
        try:
            return wait_for(find, timeout, f"a message box titled {title!r}")
        except AssertionError as e:
            raise AssertionError(f"{e}\n{self.diagnosis()}") from None
