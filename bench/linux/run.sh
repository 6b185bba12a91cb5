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
# The bench ends its Xvfb, whatever way the bench itself ends.
. "$repo/scripts/private_display.sh"
work=$(mktemp -d)
xvfb=""
trap '[ -n "$xvfb" ] && { kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; }; rm -rf "$work"' EXIT
startPrivateDisplay "$work" || exit 1
"$bin/linux_goals_bench" "$repo/build/linux/bin/quibbets-notes" "$bin/bare_qt_window" "${1:-5}"
