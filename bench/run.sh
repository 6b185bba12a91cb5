#!/usr/bin/env bash
# Runs the goals bench of the win32 build under Wine and prints its figures: every
# case interleaved in one warm Wine session. Builds nothing: run
# `cmake --build --preset win32` first.
#
#   bench/run.sh [runs]        (default 5 runs per case)
set -u
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bench=$repo/build/win32/bench/goals_bench.exe
runs=${1:-5}

if [ ! -f "$bench" ]; then
    echo "missing $bench: build the win32 preset first" >&2
    exit 1
fi
exec "$repo/scripts/wine-session.sh" wine "$bench" "$runs"
