#!/usr/bin/env bash
# Runs the Linux goals bench on a private Xvfb without a window manager (a window
# maps as soon as the program asks) and prints its figures. Builds nothing: run
# `cmake --build --preset linux` first.
#
#   bench/linux/run.sh [runs]        (default 5 runs per case)
set -u
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
bin=$repo/build/linux/bench/linux
for program in "$bin/linux_goals_bench" "$bin/bare_qt_window" "$repo/build/linux/bin/quibbets-notes"; do
    [ -x "$program" ] || { echo "missing $program: build the linux preset first" >&2; exit 1; }
done
# Xvfb writes its display number to the file once it takes connections; the bench
# ends it, whatever way the bench itself ends.
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
    sleep 0.1
done
display=$(head -n1 "$work/display")
[ -n "$display" ] || { echo "Xvfb gave no display" >&2; exit 1; }
DISPLAY=:$display "$bin/linux_goals_bench" "$repo/build/linux/bin/quibbets-notes" "$bin/bare_qt_window" "${1:-5}"
