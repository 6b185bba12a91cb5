#!/usr/bin/env bash
# Runs the benchmarks of the win32 build under Wine and prints their figures.
# Builds nothing: run `cmake --build --preset win32` first.
#
#   bench/run.sh [runs]        (default 10 runs per case)
set -u
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
benchDir=$repo/build/win32/bench
runs=${1:-10}

for program in startup_bench save_bench; do
    if [ ! -f "$benchDir/$program.exe" ]; then
        echo "missing $benchDir/$program.exe: build the win32 preset first" >&2
        exit 1
    fi
done

status=0
for program in startup_bench save_bench; do
    echo "== $program"
    "$repo/scripts/wine-session.sh" wine "$benchDir/$program.exe" "$runs" || status=1
    echo
done
exit $status
