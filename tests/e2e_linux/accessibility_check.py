"""What a screen reader meets in the notes window, read through AT-SPI.

    accessibility.sh BIN_FOLDER     (a private display and D-Bus session around this)

Has the session bus start the accessibility bus, starts the notes program with a page of
text, then finds through the AT-SPI registry: the window by its caption, the shown
editor by its page's name and its text through the text interface, no hidden
editor among what is shown, the menu entries by their names with the key
bindings apart, and the page steps by the names "Previous page" and "Next page". Prints one line per fault and fails when there is one.
"""

import os
import subprocess
import sys
import tempfile
import time

import pyatspi

faults = []


def wait_for(find, seconds=40):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = find()
        if found:
            return found
        time.sleep(0.2)
    return None


def walk(node, depth=0):
    """Every accessible object under node, depth first (menus are deep)."""
    if node is None or depth > 12:
        return
    yield node
    for i in range(node.childCount):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        yield from walk(child, depth + 1)


def main():
    bin_folder = sys.argv[1]
    home = tempfile.mkdtemp(prefix="quibbets-a11y-")
    data = os.path.join(home, "data", "quibbets")
    os.makedirs(data)
    with open(os.path.join(data, "page1.txt"), "wb") as f:
        f.write(b"first page text\r\n")
    with open(os.path.join(data, "page2.txt"), "wb") as f:
        f.write(b"hidden page text\r\n")
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               XDG_DATA_HOME=os.path.join(home, "data"), XDG_CONFIG_HOME=os.path.join(home, "config"))
    # The session bus starts the accessibility bus when first asked for it (and that
    # one its registry). A program started before it answers stays out of reach of
    # screen readers for the rest of its run.
    ask = ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus.GetAddress"]
    if not wait_for(lambda: subprocess.run(ask, env=env, capture_output=True).returncode == 0):
        faults.append("the accessibility bus did not start")
    pyatspi.Registry.getDesktop(0).childCount  # starts the registry
    notes = subprocess.Popen([os.path.join(bin_folder, "quibbets-notes")], env=env, stderr=subprocess.DEVNULL)
    try:
        check()
    finally:
        notes.terminate()
        notes.wait(10)
    print("\n".join(faults))
    return 1 if faults else 0


def check():
    desktop = pyatspi.Registry.getDesktop(0)

    def frame():
        for app in desktop:
            for node in walk(app, 10):
                if node.getRole() == pyatspi.ROLE_FRAME and node.name == "Quibbet - Page 1":
                    return node
        return None

    window = wait_for(frame)
    if window is None:
        faults.append("no window named \"Quibbet - Page 1\" among the desktop's applications")
        return
    nodes = list(walk(window))
    editors = [n for n in nodes if n.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY)]
    showing = [e for e in editors if e.getState().contains(pyatspi.STATE_SHOWING)]
    if [e.name for e in showing] != ["Page 1"]:
        faults.append(f"shown editors: {[e.name for e in showing]}, expected one named 'Page 1'")
    else:
        text = showing[0].queryText()
        content = text.getText(0, text.characterCount)
        if content != "first page text":
            faults.append(f"the shown editor reads {content!r}")
    items = {n.name: n for n in nodes if n.getRole() == pyatspi.ROLE_MENU_ITEM}
    for name, key in [("Save", "S"), ("Print...", "P"), ("Undo", "Z"), ("Page 10", "F11")]:
        item = items.get(name)
        if item is None:
            faults.append(f"no menu entry named {name!r} (entries: {sorted(items)[:12]})")
            continue
        binding = item.queryAction().getKeyBinding(0) if item.queryAction().nActions else ""
        if key not in binding or "Ctrl" not in binding and "Control" not in binding:
            faults.append(f"{name}: key binding {binding!r}, expected Ctrl+{key}")
    for name in ["Previous page", "Next page"]:
        if name not in items:
            faults.append(f"no menu entry named {name!r}: the page steps are read as bare symbols")
    tabbed = [n for n in items if "\t" in n]
    if tabbed:
        faults.append(f"entries whose names carry their keys: {tabbed}")


if __name__ == "__main__":
    sys.exit(main())
