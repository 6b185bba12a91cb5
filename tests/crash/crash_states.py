"""crash.States: every state a kill or a power cut can leave in the data folder while
the notes window saves, built from the file-system calls of one run and read back by
the program's own loader.

The run. crash_scenario (a notes window on the headless desktop, whose files are real
files) starts in a folder of old page files, types on several pages and saves, eight
times in two rounds, pages emptied and filled again among them, under strace. Its markers are lines
written to a marker file, one write() each, so the trace has them in order with the
saves' calls:
    allow <page> <hex>    written before a save: from here on page <page> may hold this
                          text, in its file or in a recovery copy (UTF-8 in hexadecimal;
                          empty for an empty page)
    durable <page> <hex>  written once the save (or the recovery copy) is written: from
                          here on the page must keep this text, or a text allowed after
                          this line (a later save under way)
    typed <page> <hex>    written before typing pauses: a recovery copy of the page may
                          hold this text from here on
    kept <page> <hex>     written once the recovery copies are written: as durable,
                          but the text may be kept in a recovery copy alone
    done                  the run went through
The texts the pages start with are what the loader finds in the folder before the run.

The states. A crash after the first k steps of the trace (for every k; its steps are
the calls and the markers, as a marker moves what is expected) leaves:
  - a kill: every one of those calls done, as the page cache survives;
  - a power cut: what no flush covered may be lost. A write (or truncation) is covered
    by a later fsync/fdatasync of its file, and a change of a folder's entries (a
    file made, renamed, linked or removed; a folder made) by a later fsync of that
    folder (a rename by flushes of both its folders); sync and syncfs cover all.
    The writes not covered are kept, dropped, or each cut to its first half; of the
    folder changes not covered, the first j in call order are kept (journals keep
    their order), for every j when there are at most four of them, otherwise for
    j = 0, 1, half, all but one, all. Each mix of the two is a state.
An entry made in a folder whose own entry is lost is lost with it. States that come
out the same are built once and judged against each crash point that leads to them.

The verdict (crash_expect.verdict): each page holds one allowed text whole, never a
mix, a cut or an empty file where no empty page was allowed; it keeps its durable text
(in its page file or in a recovery copy of that page); and the loader reads every file.

Not modelled: writes through mmap, fallocate, copy_file_range and io_uring; a write
torn anywhere but after its first half, or reordered with the writes before it;
folder changes lost out of order; sectors damaged by the cut; what another process
does to the folder during the run; the descriptors of a child process whose first
calls come before its creator's clone returns (the scenario starts none); file
systems that flush folders with their files (which only makes them safer than this
model).
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import crash_expect  # noqa: E402
import crash_trace  # noqa: E402

MAX_STATES = 5000


def coverage(ops):
    """For each op, the index of the flush that covers it (len(ops): none does)."""
    cover, data_waiting, folder_waiting, needs = [len(ops)] * len(ops), {}, {}, {}
    for i, op in enumerate(ops):
        if op.kind in crash_trace.DATA_KINDS:
            data_waiting.setdefault(op.ino, []).append(i)
        elif op.kind in crash_trace.FOLDER_KINDS:
            needs[i] = op.folders()
            for folder in needs[i]:
                folder_waiting.setdefault(folder, []).append(i)
        elif op.kind == "fsync":
            for j in data_waiting.pop(op.ino, []):
                cover[j] = i
        elif op.kind in ("fsyncdir", "sync"):
            folders = list(folder_waiting) if op.kind == "sync" else [op.path]
            for folder in folders:
                for j in folder_waiting.pop(folder, []):
                    needs[j].discard(folder)
                    if not needs[j]:
                        cover[j] = i
            if op.kind == "sync":
                for waiting in data_waiting.values():
                    for j in waiting:
                        cover[j] = i
                data_waiting.clear()
    return cover


def kept_counts(pending):
    if pending <= 4:
        return range(pending + 1)
    return sorted({0, 1, pending // 2, pending - 1, pending})


def variants(ops, cover, k):
    """(label, data mode, folder changes kept) of each state a crash after call k leaves."""
    data = any(cover[i] >= k for i in range(k) if ops[i].kind in crash_trace.DATA_KINDS)
    pending = sum(1 for i in range(k) if ops[i].kind in crash_trace.FOLDER_KINDS and cover[i] >= k)
    yield "kill", "keep", pending
    for mode in ("keep", "drop", "half") if data else ("keep",):
        for kept in kept_counts(pending):
            if (mode, kept) != ("keep", pending):
                unflushed = {"keep": "kept", "drop": "dropped", "half": "cut to half"}[mode]
                yield (f"power cut (unflushed writes {unflushed}, {kept} of {pending} unflushed folder changes "
                       f"kept)"), mode, kept


def build_state(initial, ops, cover, k, mode, kept):
    tree = initial.copy()
    for i in range(k):
        op, flushed = ops[i], cover[i] < k
        if op.kind in crash_trace.DATA_KINDS:
            if flushed or mode == "keep":
                tree.apply(op)
            elif mode == "half":
                tree.apply(op, op.data[:len(op.data) // 2] if op.kind == "write" else None)
        elif op.kind in crash_trace.FOLDER_KINDS:
            if flushed or kept > 0:
                tree.apply(op)
            kept -= 0 if flushed else 1
    return tree.snapshot()


def materialize(snapshot, folder):
    files, dirs = snapshot
    for d in dirs:
        os.makedirs(os.path.join(folder, d), exist_ok=True)
    for path, data in files:
        with open(os.path.join(folder, path), "wb") as f:
            f.write(data)


def traced_run(scenario, work):
    data, markers, log = (os.path.join(work, name) for name in ("data", "markers", "trace"))
    crash_expect.write_initial_pages(data)
    initial = crash_trace.read_folder(data)
    # LeakSanitizer stops the world through ptrace, which a traced program cannot do.
    env = dict(os.environ, ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":detect_leaks=0")
    strace = shutil.which("strace")
    if strace is None:
        raise RuntimeError("strace is not installed (scripts/install-deps.sh installs it)")
    run = subprocess.run([strace, "-f", "-qq", "-xx", "-s", "100000000", "-o", log, "-e", "trace=" + crash_trace.CALLS,
                          scenario, data, markers, "2"], cwd=data, env=env, capture_output=True, text=True)
    if run.returncode != 0:
        raise RuntimeError(f"the traced scenario failed ({run.returncode}):\n{run.stderr}")
    return data, markers, log, initial


def check_model(ops, tree, data, markers):
    """The model of the calls must end where the run did, or the states mean nothing."""
    with open(markers) as f:
        written = f.read().splitlines()
    seen = [op.marker for op in ops if op.kind == "marker"]
    if seen != written or "done" not in written:
        raise RuntimeError(f"the trace holds {len(seen)} markers, the marker file {len(written)} (done: "
                           f"{'done' in written})")
    model, actual = tree.snapshot(), crash_trace.read_folder(data).snapshot()
    if model != actual:
        differ = sorted({path for path, _ in set(model[0]) ^ set(actual[0])} | set(model[1]) ^ set(actual[1]))
        raise RuntimeError(f"the model of the traced calls does not end as the folder did: {differ}")


def build_all(work, initial, ops):
    """Every (crash point, label, state folder); each distinct state built once."""
    cover, states, points = coverage(ops), {}, []
    for k in range(len(ops) + 1):
        for label, mode, kept in variants(ops, cover, k):
            snapshot = build_state(initial, ops, cover, k, mode, kept)
            if snapshot not in states:
                if len(states) == MAX_STATES:
                    raise RuntimeError(f"more than {MAX_STATES} distinct states: more than this test means to build")
                states[snapshot] = os.path.join(work, "states", str(len(states)))
                materialize(snapshot, states[snapshot])
            points.append((k, label, states[snapshot]))
    return points, list(states.values())


def verdicts(ops, points, loaded):
    """Judges each crash point against the state it leaves; the faults, each named."""
    start = loaded[points[0][2]]
    expect, at, faults = crash_expect.Expectation({p: start.pages.get(p, b"") for p in crash_expect.PAGES}), 0, []
    for k, label, folder in points:
        while at < k:
            if ops[at].kind == "marker":
                expect.apply(ops[at].marker)
            at += 1
        where = f"after step {k} of {len(ops)} of the trace ({ops[k - 1].desc})" if k else "before the first call"
        for fault in crash_expect.verdict(expect, loaded[folder]):
            faults.append(f"{label} {where}: {fault}\n    state: {folder}")
    return faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--scenario", required=True)
    parser.add_argument("--check", required=True)
    args = parser.parse_args()
    began, work = time.monotonic(), tempfile.mkdtemp(prefix="quibbets-crash-states-")
    try:
        data, markers, log, initial = traced_run(os.path.abspath(args.scenario), work)
        ops, tree = crash_trace.read_trace(log, data, markers, initial.copy())
        check_model(ops, tree, data, markers)
        points, folders = build_all(work, initial, ops)
        faults = verdicts(ops, points, crash_expect.run_check(os.path.abspath(args.check), folders))
    except (RuntimeError, crash_trace.TraceError) as error:
        print(f"crash.States could not judge the run: {error}\n(its files are kept in {work})")
        return 1
    calls = sum(1 for op in ops if op.kind != "marker")
    print(f"{calls} calls and {len(ops) - calls} markers traced; {len(points)} crash states, "
          f"{len(folders)} of them distinct, built and read in {time.monotonic() - began:.1f} s")
    return crash_expect.finish(faults, work, "every state is")


if __name__ == "__main__":
    sys.exit(main())
