"""What the crash tests expect of a data folder after a crash, and how they look at
one: the scenario's markers (see crash_states.py) turned into the texts each page may
and must hold, crash_check's report of what the program's loader found, and the one
verdict both drivers use.
"""
import os
import shutil
import subprocess

PAGES = range(1, 11)

# The folder every run starts from: pages with and without a file, a text of two
# lines, and one stored as UTF-8 behind a byte-order mark.
INITIAL_PAGES = {
    1: b"old one\r\n",
    2: b"old two\r\n",
    3: b"old three\r\nwith a second line\r\n",
    7: b"old seven\r\n",
    10: b"\xef\xbb\xbfold ten \xe2\x98\x83\r\n",
}


def write_initial_pages(folder):
    os.makedirs(folder, exist_ok=True)
    for page, data in INITIAL_PAGES.items():
        with open(os.path.join(folder, f"page{page}.txt"), "wb") as f:
            f.write(data)


def preview(text):
    shown = text.decode("utf-8", "replace").replace("\r\n", "|")
    return repr(shown if len(shown) <= 60 else shown[:28] + " ... " + shown[-28:]) + f" ({len(text)} bytes)"


class Loaded:
    """What crash_check found in one folder: page -> text, page -> recovery copies."""

    def __init__(self):
        self.pages, self.recovery, self.problems = {}, {}, []


def run_check(check, folders):
    """Runs crash_check once over every folder; folder -> Loaded. Beside its "page" and
    "problem" lines, a "recovery <page> <hex>" line names the text of a recovery copy of
    that page, which durable_kept counts."""
    done = subprocess.run([check], input="".join(f + "\n" for f in folders), capture_output=True, text=True)
    if done.returncode != 0:
        raise RuntimeError(f"crash_check failed ({done.returncode}):\n{done.stderr}")
    found, current = {}, None
    for line in done.stdout.splitlines():
        kind, _, rest = line.partition(" ")
        if kind == "state":
            current = found[rest] = Loaded()
        elif kind == "page":
            page, _, text = rest.partition(" ")
            current.pages[int(page)] = bytes.fromhex(text)
        elif kind == "recovery":
            page, _, text = rest.partition(" ")
            current.recovery.setdefault(int(page), []).append(bytes.fromhex(text))
        elif kind == "problem":
            name, _, reason = rest.partition(" ")
            current.problems.append(f"{name} could not be read: {bytes.fromhex(reason).decode()}")
    missing = [f for f in folders if f not in found]
    if missing:
        raise RuntimeError(f"crash_check said nothing of {missing[0]}")
    return found


class Expectation:
    """Per page: every text it may hold (`allowed`), the text that must survive
    (`durable`) and what may stand in for that text: itself and any text allowed after
    it was made durable, as a later save may be under way (`acceptable`)."""

    def __init__(self, initial, copies=None):
        """`copies`: page -> the texts of the recovery copies there at the start, which
        the start puts back and may keep in copies of its own."""
        copies = copies or {}
        self.allowed = {p: {initial[p]} for p in PAGES}
        self.copyable = {p: set(copies.get(p, [])) for p in PAGES}  # texts a recovery copy may hold
        self.durable = dict(initial)
        self.acceptable = {p: {initial[p]} | self.copyable[p] for p in PAGES}
        self.done = False

    def apply(self, marker):
        kind, _, rest = marker.partition(" ")
        if kind == "done":
            self.done = True
            return
        page, _, text = rest.partition(" ")
        page, text = int(page), bytes.fromhex(text)
        if kind == "allow":
            self.allowed[page].add(text)
            self.acceptable[page].add(text)
        elif kind == "typed":
            self.copyable[page].add(text)
            self.acceptable[page].add(text)
        elif kind in ("durable", "kept"):
            if text not in (self.allowed if kind == "durable" else self.copyable)[page]:
                raise RuntimeError(f"the scenario made a text durable that it never allowed: {marker}")
            self.durable[page], self.acceptable[page] = text, {text}
        else:
            raise RuntimeError(f"not a marker: {marker!r}")


def durable_kept(acceptable, loaded, page):
    """Whether page `page`'s durable text, or a newer one, survived: in its page file
    or in a recovery copy of that page."""
    copies = loaded.recovery.get(page, [])
    return loaded.pages.get(page, b"") in acceptable or any(copy in acceptable for copy in copies)


def verdict(expect, loaded):
    """What is wrong with a loaded folder; empty when nothing is."""
    faults = list(loaded.problems)
    for page in PAGES:
        text = loaded.pages.get(page, b"")
        if text not in expect.allowed[page]:
            faults.append(f"page {page} holds a text no save wrote whole: {preview(text)}")
        for copy in loaded.recovery.get(page, []):
            if copy not in expect.allowed[page] | expect.copyable[page]:
                faults.append(f"a recovery copy of page {page} holds a text never typed whole: {preview(copy)}")
        if not durable_kept(expect.acceptable[page], loaded, page):
            faults.append(f"page {page} lost its saved text {preview(expect.durable[page])}; "
                          f"it holds {preview(text)}")
    return faults


def finish(faults, work, kept):
    """Prints the faults and keeps `work` for a look (`kept` says what it holds), or
    removes it when there are none; the exit code."""
    if faults:
        print(f"{len(faults)} faults (the first 20; {kept} kept in {work}):")
        print("\n".join(faults[:20]))
        return 1
    shutil.rmtree(work)
    return 0
