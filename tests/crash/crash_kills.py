"""crash.RandomKills: the scenario of crash_states.py run for real and killed with
SIGKILL at random points of its saves, again and again in one data folder, each run
starting from what the kill before it left; then one run to its end. Each folder left
is read by the program's own loader and judged as crash.States judges its states,
against the markers the killed run wrote before it died.

The delays are drawn from a seeded generator and printed with the seed
(QUIBBETS_CRASH_SEED or --seed repeats a run's delays; the machine's timing still
varies). A kill falls a random time after the run's first marker, within the span a
whole run takes from its first marker to its end.
"""
import argparse
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import crash_expect  # noqa: E402

ROUNDS = "1"


def start(scenario, data, markers):
    return subprocess.Popen([scenario, data, markers, ROUNDS], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def wait_for_first_marker(run, markers):
    while run.poll() is None and not (os.path.exists(markers) and os.path.getsize(markers) > 0):
        time.sleep(0.0005)


def whole_run(scenario, data, markers):
    """Runs the scenario to its end; the seconds from its first marker to its exit."""
    run = start(scenario, data, markers)
    wait_for_first_marker(run, markers)
    began = time.monotonic()
    _, errors = run.communicate()
    if run.returncode != 0:
        raise RuntimeError(f"the scenario failed ({run.returncode}):\n{errors.decode()}")
    return time.monotonic() - began


def killed_run(scenario, data, markers, delay):
    """Kills a run `delay` seconds after its first marker; whether it was still running."""
    run = start(scenario, data, markers)
    wait_for_first_marker(run, markers)
    time.sleep(delay)
    run.kill()
    _, errors = run.communicate()
    if run.returncode not in (0, -9):
        raise RuntimeError(f"the scenario failed ({run.returncode}):\n{errors.decode()}")
    return run.returncode == -9


def read_markers(path):
    """The whole lines of a marker file. A kill can cut the last one short (a write of
    many pages ends early when the process is killed); such a line is dropped, which
    is sound: "allow" and "typed" come before the act they announce, which had not
    begun, and "durable" and "kept" only demand more."""
    with open(path) as f:
        return f.read().split("\n")[:-1]


def run_all(scenario, work, kills, rng):
    """Kills `kills` runs and lets one more end; per run (delay or None, its markers),
    and how many kills came before their run's end. Run i starts from folder left/i
    (left/0: the first pages) and leaves left/i+1."""
    data, left = os.path.join(work, "data"), os.path.join(work, "left")
    crash_expect.write_initial_pages(os.path.join(work, "trial"))
    span = whole_run(scenario, os.path.join(work, "trial"), os.path.join(work, "trial.markers"))
    crash_expect.write_initial_pages(data)
    shutil.copytree(data, os.path.join(left, "0"))
    runs, interrupted = [], 0
    for i in range(kills + 1):
        markers = os.path.join(work, f"markers.{i}")
        delay = rng.uniform(0, span) if i < kills else None
        if delay is None:
            whole_run(scenario, data, markers)
        elif killed_run(scenario, data, markers, delay):
            interrupted += 1
        shutil.copytree(data, os.path.join(left, str(i + 1)))
        runs.append((delay, markers))
    return runs, interrupted, span


def judge(check, work, runs):
    """The faults of every folder a run left, judged against that run's markers."""
    folders = [os.path.join(work, "left", str(i)) for i in range(len(runs) + 1)]
    loaded, faults = crash_expect.run_check(check, folders), []
    for i, (delay, markers) in enumerate(runs):
        before = loaded[folders[i]]
        expect = crash_expect.Expectation({p: before.pages.get(p, b"") for p in crash_expect.PAGES}, before.recovery)
        for marker in read_markers(markers):
            expect.apply(marker)
        name = f"run {i} killed {delay * 1000:.2f} ms after its first marker" if delay is not None else "the last run"
        for fault in crash_expect.verdict(expect, loaded[folders[i + 1]]):
            faults.append(f"{name}: {fault}\n    folder: {folders[i + 1]}")
        if delay is None and not expect.done:
            faults.append("the last run did not get to its end")
    return faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--scenario", required=True)
    parser.add_argument("--check", required=True)
    parser.add_argument("--kills", type=int, default=50)
    parser.add_argument("--seed", type=int, default=int(os.environ.get("QUIBBETS_CRASH_SEED", "0")) or None)
    args = parser.parse_args()
    seed = args.seed or random.randrange(1, 2**31)
    print(f"seed {seed} (QUIBBETS_CRASH_SEED={seed} repeats these delays)")
    began, work = time.monotonic(), tempfile.mkdtemp(prefix="quibbets-crash-kills-")
    try:
        runs, interrupted, span = run_all(os.path.abspath(args.scenario), work, args.kills, random.Random(seed))
        faults = judge(os.path.abspath(args.check), work, runs)
    except RuntimeError as error:
        print(f"crash.RandomKills could not judge the runs: {error}\n(its files are kept in {work})")
        return 1
    print(f"{args.kills} kills ({interrupted} of them before the run's end; a whole run takes {span * 1000:.0f} ms "
          f"after its first marker) and a last whole run, judged in {time.monotonic() - began:.1f} s")
    if interrupted == 0:
        faults.append("no kill came before the end of its run: nothing was tested")
    return crash_expect.finish(faults, work, "the folders are")


if __name__ == "__main__":
    sys.exit(main())
