#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the unit tests
# on the headless backend (plain and under ASan/UBSan) and the end-to-end tests of
# the real programs under Wine on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
for preset in native native-asan win32; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
status=0
for preset in native native-asan win32; do
    echo "== tests: $preset"
    ctest --preset "$preset" || status=1
done
exit $status
