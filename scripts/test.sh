#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the unit tests
# and the backend contract suite on the headless backend (under ASan/UBSan); the
# contract suite and the end-to-end tests of the Windows programs under Wine on a
# virtual display; the tests of the native Linux programs (Qt backend, end-to-end on
# Xvfb, installing and packaging: `ctest --preset linux`); and the format and lint
# checks (scripts/lint.sh). Ends with the time each phase took.
#
# QUIBBETS_JOBS (default 2) bounds parallel compiles and parallel unit tests; the
# Wine tests run in the lanes of tests/e2e/wine_lanes.json.
set -euo pipefail
cd "$(dirname "$0")/.."

# Every Wine session starts a private Xvfb: tests in parallel lanes must not share
# a display, whose keyboard focus the launcher tests rely on.
unset DISPLAY
jobs=${QUIBBETS_JOBS:-2}
lanes=$(grep -o '"id"' tests/e2e/wine_lanes.json | wc -l)
timings=()
status=0
started=$SECONDS

# Runs and times one phase: phase NAME CMD ARGS...
phase() {
    local name=$1 start=$SECONDS rc=0
    shift
    echo "== $name"
    "$@" || rc=$?
    timings+=("$(printf '%-26s %4d s%s' "$name" $((SECONDS - start)) "$([ $rc = 0 ] || echo '  FAILED')")")
    return $rc
}

report() {
    echo "== phases"
    printf '%s\n' "${timings[@]}"
    if [ -f build/e2e-times.txt ]; then
        echo "== Wine tests, each"
        cat build/e2e-times.txt
    fi
    printf '%-26s %4d s\n' "total" $((SECONDS - started))
}

build() {
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1" -j "$jobs"
}

configureAll() {
    local preset
    for preset in native-asan win32 linux; do
        cmake --preset "$preset" >/dev/null
    done
}

# The Wine tests with each test's time kept for the report.
wineTests() {
    local rc=0
    ctest --preset win32 2>&1 | tee build/e2e-ctest.log || rc=$?
    grep -E '^ *[0-9]+/[0-9]+ Test +#' build/e2e-ctest.log | sed -E 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: //' \
        >build/e2e-times.txt || true
    return $rc
}

phase "dependencies" scripts/install-deps.sh
mkdir -p build
rm -f build/e2e-times.txt build/wine-prefix.seconds build/lint.seconds build/linux-build.seconds

# The Wine prefixes (one per lane) are made in the background while the code
# builds, so that the end-to-end tests find them ready.
(
    start=$SECONDS
    scripts/wine-session.sh --prepare "$lanes"
    echo $((SECONDS - start)) >build/wine-prefix.seconds
) >build/wine-prefix.log 2>&1 &
prefixJob=$!

# The format and lint checks need only the builds' compile commands: they run from
# here on beside the builds and the tests, at a lower priority, on what the others
# leave of the processors (linking, and the Wine tests waiting for windows).
phase "configure" configureAll
(
    start=$SECONDS
    rc=0
    nice -n 19 scripts/lint.sh || rc=$?
    echo $((SECONDS - start)) >build/lint.seconds
    exit $rc
) >build/lint.log 2>&1 &
lintJob=$!

# The headless tests run once, under ASan and UBSan: a plain build would check
# nothing more (`ctest --preset native` runs them plain).
for preset in native-asan win32; do
    if ! phase "build $preset" build "$preset"; then
        wait "$prefixJob" || true
        report
        exit 1
    fi
done

phase "unit tests native-asan" ctest --preset native-asan -j "$jobs" || status=1

prefixWait=$SECONDS
if ! wait "$prefixJob"; then
    cat build/wine-prefix.log >&2
    status=1
fi
timings+=("$(printf '%-26s %4s s, in the background (then waited %d s)' "Wine prefixes" \
    "$(cat build/wine-prefix.seconds 2>/dev/null || echo '?')" $((SECONDS - prefixWait)))")
# The native Linux programs build beside the Wine tests, which spend most of their
# time waiting for windows; at a lower priority, so that the Wine tests' programs
# still get the processor as soon as they want it. Their own tests run afterwards,
# not beside the Wine tests: both drive programs on displays with time limits.
(
    start=$SECONDS
    rc=0
    nice -n 10 cmake --build --preset linux -j "$jobs" || rc=$?
    echo $((SECONDS - start)) >build/linux-build.seconds
    exit $rc
) >build/linux-build.log 2>&1 &
linuxJob=$!
phase "Wine tests" wineTests || status=1

linuxWait=$SECONDS
linuxBuilt=ok
if ! wait "$linuxJob"; then
    cat build/linux-build.log >&2
    linuxBuilt=FAILED
    status=1
fi
timings+=("$(printf '%-26s %4s s, beside the Wine tests (then waited %d s)%s' "build linux" \
    "$(cat build/linux-build.seconds 2>/dev/null || echo '?')" $((SECONDS - linuxWait)) \
    "$([ $linuxBuilt = ok ] || echo '  FAILED')")")
if [ $linuxBuilt = ok ]; then
    phase "linux tests" ctest --preset linux -j "$jobs" || status=1
fi

lintWait=$SECONDS
lintResult=ok
if ! wait "$lintJob"; then
    cat build/lint.log >&2
    lintResult=FAILED
    status=1
fi
timings+=("$(printf '%-26s %4s s, beside builds and tests (then waited %d s)%s' "format and lint" \
    "$(cat build/lint.seconds 2>/dev/null || echo '?')" $((SECONDS - lintWait)) \
    "$([ $lintResult = ok ] || echo '  FAILED')")")
report
exit $status
