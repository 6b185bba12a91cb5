"""Reads an strace log (strace -f -xx -o) of the crash scenario into the calls that
change one data folder, plus the scenario's markers, in the order they took effect.

The calls are resolved to files as the kernel saw them: descriptors per file table
(threads that share one share it), offsets per open file (dup shares them), paths
relative to a directory descriptor or to the working folder. Each call that changed
the folder becomes an Op on the folder's own small model (names -> file numbers,
file number -> bytes), which replays the calls as they completed; that model's end
must equal the folder the run left, which crash_states.py checks.
"""
import os
import re

LINE = re.compile(r"^(\d+)\s+(.*)$")
DONE = re.compile(r"^(\w+)\((.*)\)\s+=\s+(-?\d+|\?)(.*)$", re.S)
RESUMED = re.compile(r"^<\.\.\. (\w+) resumed>(.*)$", re.S)
UNFINISHED = " <unfinished ...>"
DATA_KINDS = ("write", "trunc")
FOLDER_KINDS = ("create", "rename", "unlink", "mkdir", "rmdir")


class TraceError(Exception):
    pass


class Op:
    """One change of the folder, or a marker. `path`s are relative to the folder."""

    def __init__(self, kind, desc, **fields):
        self.kind, self.desc = kind, desc
        self.path = self.dest = self.ino = self.data = self.marker = None
        self.offset = self.size = 0
        for name, value in fields.items():
            setattr(self, name, value)

    def folders(self):
        """The folders whose entries this change touches."""
        return {os.path.dirname(p) for p in (self.path, self.dest) if p is not None}


class Tree:
    """The folder as the calls so far left it: names -> file numbers, file -> bytes."""

    def __init__(self):
        self.files, self.dirs, self.content, self.names, self.last_ino = {}, {""}, {}, {}, 0

    def new_ino(self, path):
        self.last_ino += 1
        self.names[self.last_ino] = path
        return self.last_ino

    def new_file(self, path, data=b""):
        ino = self.new_ino(path)
        self.content[ino] = bytearray(data)
        self.files[path] = ino
        return ino

    def copy(self):
        twin = Tree()
        twin.files, twin.dirs, twin.names = dict(self.files), set(self.dirs), dict(self.names)
        twin.last_ino = self.last_ino
        twin.content = {ino: bytearray(data) for ino, data in self.content.items()}
        return twin

    def apply(self, op, data=None):
        """Applies one Op; `data` replaces a write's bytes (a write cut short)."""
        if op.kind == "write":
            buf, data = self.content.setdefault(op.ino, bytearray()), op.data if data is None else data
            buf.extend(bytes(max(0, op.offset - len(buf))))
            buf[op.offset:op.offset + len(data)] = data
        elif op.kind == "trunc":
            buf = self.content.setdefault(op.ino, bytearray())
            del buf[op.size:]
            buf.extend(bytes(op.size - len(buf)))
        elif op.kind == "create" and os.path.dirname(op.path) in self.dirs:
            self.content.setdefault(op.ino, bytearray())
            self.files[op.path] = op.ino
        elif op.kind == "rename" and self.files.get(op.path) == op.ino:
            del self.files[op.path]
            if os.path.dirname(op.dest) in self.dirs:
                self.files[op.dest] = op.ino
        elif op.kind == "unlink" and self.files.get(op.path) == op.ino:
            del self.files[op.path]
        elif op.kind == "mkdir" and os.path.dirname(op.path) in self.dirs:
            self.dirs.add(op.path)
        elif op.kind == "rmdir":
            self.dirs.discard(op.path)

    def snapshot(self):
        """(path, bytes) of every file reachable from the folder, and its folders; sorted."""
        files = ((p, bytes(self.content[i])) for p, i in self.files.items() if os.path.dirname(p) in self.dirs)
        return tuple(sorted(files)), tuple(sorted(self.dirs))


def read_folder(root):
    tree = Tree()
    for top, dirs, files in os.walk(root):
        rel = os.path.relpath(top, root)
        rel = "" if rel == "." else rel
        tree.dirs.add(rel)
        for name in sorted(files):
            with open(os.path.join(top, name), "rb") as f:
                tree.new_file(os.path.join(rel, name), f.read())
    return tree


def split_args(text):
    """Top-level comma-separated arguments; strings, [...] and {...} kept whole."""
    args, depth, quoted, start, i = [], 0, False, 0, 0
    while i < len(text):
        c = text[i]
        if quoted:
            if c == "\\":
                i += 1
            elif c == '"':
                quoted = False
        elif c == '"':
            quoted = True
        elif c in "[{":
            depth += 1
        elif c in "]}":
            depth -= 1
        elif c == "," and depth == 0:
            args.append(text[start:i].strip())
            start = i + 1
        i += 1
    args.append(text[start:].strip())
    return args


def string_arg(text):
    if not text.startswith('"') or text.endswith('"...'):
        raise TraceError(f"not a whole string: {text[:60]}")
    return bytes(text[1:-1], "latin-1").decode("unicode_escape").encode("latin-1")


class Open:
    """An open file: what it is ('file', 'dir', 'markers' or None: outside the folder)."""

    def __init__(self, kind, abspath, ino=None, append=False):
        self.kind, self.abspath, self.ino, self.append, self.offset = kind, abspath, ino, append, 0


class Reader:
    def __init__(self, root, markers_path, initial):
        self.root, self.markers_path = os.path.normpath(root), os.path.normpath(markers_path)
        self.tree, self.ops, self.tables, self.cwd = initial, [], {}, {}
        self.first_pid, self.pending, self.marker_text = None, {}, b""

    # --- resolving -------------------------------------------------------------
    def table(self, pid):
        if self.first_pid is None:
            self.first_pid = pid
        # A task seen before its creator's clone returned: a thread, as the scenario's
        # tasks are; a forked child gets its own copy once the clone line comes.
        return self.tables.setdefault(pid, self.tables.get(self.first_pid, {}))

    def absolute(self, pid, dirfd, raw):
        path = os.fsdecode(string_arg(raw))
        if not os.path.isabs(path):
            if dirfd in (CWD, "AT_FDCWD"):
                base = self.cwd.get(pid, self.root)
            else:
                base = self.table(pid)[int(dirfd)].abspath
            path = os.path.join(base, path)
        return os.path.normpath(path)

    def relative(self, abspath):
        if abspath == self.root:
            return ""
        if abspath.startswith(self.root + os.sep):
            return abspath[len(self.root) + 1:]
        return None

    def record(self, kind, desc, **fields):
        op = Op(kind, desc, **fields)
        self.ops.append(op)
        self.tree.apply(op)

    def ino_of(self, rel):
        if rel not in self.tree.files:
            raise TraceError(f"{rel} was changed but the trace never made it")
        return self.tree.files[rel]

    def name(self, ino):
        return self.tree.names.get(ino, f"file #{ino}")

    # --- the calls ---------------------------------------------------------------
    def on_open(self, pid, dirfd, raw, flags, fd):
        abspath = self.absolute(pid, dirfd, raw)
        rel, flags = self.relative(abspath), set(flags.split("|"))
        if abspath == self.markers_path:
            entry = Open("markers", abspath)
        elif rel is None:
            entry = Open(None, abspath)
        elif rel in self.tree.dirs or "O_DIRECTORY" in flags:
            entry = Open("dir", abspath)
        else:
            if "O_TMPFILE" in flags:
                raise TraceError(f"O_TMPFILE is not modelled: {rel}")
            ino = self.tree.files.get(rel)
            if ino is None:
                if "O_CREAT" not in flags:
                    raise TraceError(f"{rel} was opened but the trace never made it")
                ino = self.tree.new_ino(rel)
                self.record("create", f"create {rel}", path=rel, ino=ino)
            elif "O_TRUNC" in flags:
                self.record("trunc", f"truncate {rel} on open", ino=ino, size=0)
            entry = Open("file", abspath, ino, "O_APPEND" in flags)
        self.table(pid)[fd] = entry

    def on_write(self, pid, fd, data, offset=None):
        entry = self.table(pid).get(fd)
        if entry is None or entry.kind is None:
            return
        if entry.kind == "markers":
            self.marker_text += data
            *lines, self.marker_text = self.marker_text.split(b"\n")
            for line in lines:
                self.record("marker", f"marker {line.decode()[:60]}", marker=line.decode())
            return
        if entry.kind != "file":
            raise TraceError(f"a write to the folder {entry.abspath}")
        at = offset
        if at is None:
            at = len(self.tree.content[entry.ino]) if entry.append else entry.offset
            entry.offset = at + len(data)
        self.record("write", f"write {len(data)} bytes at {at} of {self.name(entry.ino)}",
                    ino=entry.ino, offset=at, data=bytes(data))

    def on_sync(self, pid, fd):
        entry = self.table(pid).get(fd)
        if entry is None or entry.kind not in ("file", "dir"):
            return
        if entry.kind == "file":
            self.record("fsync", f"fsync {self.name(entry.ino)}", ino=entry.ino)
        else:
            rel = self.relative(entry.abspath)
            self.record("fsyncdir", f"fsync of the folder {rel or '.'}", path=rel)

    def on_rename(self, pid, old, new, flags=""):
        src, dst = (self.relative(self.absolute(pid, d, p)) for d, p in (old, new))
        if src is None and dst is None:
            return
        if src is None or dst is None or src in self.tree.dirs or "RENAME_EXCHANGE" in flags:
            raise TraceError(f"a rename not modelled: {src} -> {dst}")
        ino = self.ino_of(src)
        self.tree.names[ino] = dst
        self.record("rename", f"rename {src} -> {dst}", path=src, dest=dst, ino=ino)

    def on_remove(self, pid, dirfd, raw, folder):
        rel = self.relative(self.absolute(pid, dirfd, raw))
        if rel is None:
            return
        if folder:
            self.record("rmdir", f"remove the folder {rel}", path=rel)
        else:
            self.record("unlink", f"unlink {rel}", path=rel, ino=self.ino_of(rel))

    def on_mkdir(self, pid, dirfd, raw):
        rel = self.relative(self.absolute(pid, dirfd, raw))
        if rel is not None:
            self.record("mkdir", f"make the folder {rel}", path=rel)

    def on_truncate(self, pid, fd, size, raw=None):
        if raw is not None:
            rel = self.relative(self.absolute(pid, None, raw))
            ino = self.tree.files.get(rel) if rel is not None else None
        else:
            entry = self.table(pid).get(fd)
            ino = entry.ino if entry is not None and entry.kind == "file" else None
        if ino is not None:
            self.record("trunc", f"truncate {self.name(ino)} to {size}", ino=ino, size=size)

    def on_link(self, pid, old, new):
        src, dst = (self.relative(self.absolute(pid, d, p)) for d, p in (old, new))
        if dst is not None:
            if src is None:
                raise TraceError(f"a link from outside the folder: {dst}")
            self.record("create", f"link {src} -> {dst}", path=dst, ino=self.ino_of(src))

    def on_close(self, pid, first, last):
        table = self.table(pid)
        for fd in [fd for fd in table if first <= fd <= last]:
            del table[fd]

    def on_dup(self, pid, fd, copy):
        table = self.table(pid)
        if fd in table:
            table[copy] = table[fd]  # one open file: the offset is shared
        else:
            table.pop(copy, None)

    def on_clone(self, pid, args, child):
        table = self.table(pid)
        if "CLONE_FILES" in args:
            self.tables[child] = table
        else:
            self.tables[child] = {fd: entry for fd, entry in table.items()}
        self.cwd[child] = self.cwd.get(pid, self.root)


IOV_BASE = re.compile(r'iov_base=("(?:[^"\\]|\\.)*")')
CWD = None  # a path argument taken from the working folder


def iovecs(text):
    return b"".join(string_arg(s) for s in IOV_BASE.findall(text))


# What each traced call does, given the reader, the task, the arguments and the result.
HANDLERS = {
    "open": lambda r, pid, a, ret: r.on_open(pid, CWD, a[0], a[1], ret),
    "openat": lambda r, pid, a, ret: r.on_open(pid, a[0], a[1], a[2], ret),
    "creat": lambda r, pid, a, ret: r.on_open(pid, CWD, a[0], "O_CREAT|O_WRONLY|O_TRUNC", ret),
    "write": lambda r, pid, a, ret: r.on_write(pid, int(a[0]), string_arg(a[1])[:ret]),
    "pwrite64": lambda r, pid, a, ret: r.on_write(pid, int(a[0]), string_arg(a[1])[:ret], int(a[3])),
    "writev": lambda r, pid, a, ret: r.on_write(pid, int(a[0]), iovecs(a[1])[:ret]),
    "pwritev": lambda r, pid, a, ret: r.on_write(pid, int(a[0]), iovecs(a[1])[:ret], int(a[3])),
    "fsync": lambda r, pid, a, ret: r.on_sync(pid, int(a[0])),
    "fdatasync": lambda r, pid, a, ret: r.on_sync(pid, int(a[0])),
    "sync": lambda r, pid, a, ret: r.record("sync", "sync"),
    "syncfs": lambda r, pid, a, ret: r.record("sync", "syncfs"),
    "rename": lambda r, pid, a, ret: r.on_rename(pid, (CWD, a[0]), (CWD, a[1])),
    "renameat": lambda r, pid, a, ret: r.on_rename(pid, (a[0], a[1]), (a[2], a[3])),
    "renameat2": lambda r, pid, a, ret: r.on_rename(pid, (a[0], a[1]), (a[2], a[3]), a[4]),
    "link": lambda r, pid, a, ret: r.on_link(pid, (CWD, a[0]), (CWD, a[1])),
    "linkat": lambda r, pid, a, ret: r.on_link(pid, (a[0], a[1]), (a[2], a[3])),
    "unlink": lambda r, pid, a, ret: r.on_remove(pid, CWD, a[0], False),
    "unlinkat": lambda r, pid, a, ret: r.on_remove(pid, a[0], a[1], "AT_REMOVEDIR" in a[2]),
    "rmdir": lambda r, pid, a, ret: r.on_remove(pid, CWD, a[0], True),
    "mkdir": lambda r, pid, a, ret: r.on_mkdir(pid, CWD, a[0]),
    "mkdirat": lambda r, pid, a, ret: r.on_mkdir(pid, a[0], a[1]),
    "close": lambda r, pid, a, ret: r.on_close(pid, int(a[0]), int(a[0])),
    "close_range": lambda r, pid, a, ret: r.on_close(pid, int(a[0]), int(a[1])),
    "ftruncate": lambda r, pid, a, ret: r.on_truncate(pid, int(a[0]), int(a[1])),
    "truncate": lambda r, pid, a, ret: r.on_truncate(pid, None, int(a[1]), a[0]),
    "dup": lambda r, pid, a, ret: r.on_dup(pid, int(a[0]), ret),
    "dup2": lambda r, pid, a, ret: r.on_dup(pid, int(a[0]), ret),
    "dup3": lambda r, pid, a, ret: r.on_dup(pid, int(a[0]), ret),
    "fcntl": lambda r, pid, a, ret: r.on_dup(pid, int(a[0]), ret) if a[1].startswith("F_DUPFD") else None,
    "chdir": lambda r, pid, a, ret: r.cwd.__setitem__(pid, r.absolute(pid, CWD, a[0])),
    "clone": lambda r, pid, a, ret: r.on_clone(pid, ",".join(a), ret),
    "clone3": lambda r, pid, a, ret: r.on_clone(pid, ",".join(a), ret),
    "fork": lambda r, pid, a, ret: r.on_clone(pid, "", ret),
    "vfork": lambda r, pid, a, ret: r.on_clone(pid, "", ret),
}
CALLS = ",".join(HANDLERS)  # strace -e trace=...


def read_trace(log_path, root, markers_path, initial):
    """The Ops of a run, in the order its calls completed, from the folder's `initial` Tree."""
    reader = Reader(root, markers_path, initial)
    with open(log_path, encoding="ascii", errors="replace") as log:
        for line in log:
            m = LINE.match(line.rstrip("\n"))
            if not m:
                continue
            pid, rest = int(m[1]), m[2]
            if rest.endswith(UNFINISHED):
                reader.pending[pid] = rest[:-len(UNFINISHED)]
                continue
            resumed = RESUMED.match(rest)
            if resumed:
                rest = reader.pending.pop(pid, resumed[1] + "(") + resumed[2]
            call = DONE.match(rest)
            if call is None:
                if rest.split("(")[0] in HANDLERS:
                    raise TraceError(f"a call the reader does not understand: {rest[:120]}")
                continue
            name, args, ret = call[1], split_args(call[2]), call[3]
            # A failed call changed nothing; "?": the task died inside the call.
            if name in HANDLERS and ret != "?" and int(ret) >= 0:
                HANDLERS[name](reader, pid, args, int(ret))
    return reader.ops, reader.tree
