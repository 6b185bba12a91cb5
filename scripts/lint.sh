#!/usr/bin/env bash
# The style checks that CI runs: the layers' include rules (scripts/check_tree.sh),
# every source formatted by clang-format, and the
# checks of .clang-tidy over the native build (the shared code, the headless backend
# and the unit tests; the sanitizer build's commands where there is no plain build),
# the Win32 build (the Win32 backend, the end-to-end tests and the benchmarks) and,
# when configured, the linux build (the Qt backend). Needs the native and win32
# builds configured (cmake --preset native / win32), the linux one if it is to be checked.
#
#   scripts/lint.sh          check; fails on the first kind of finding
#   scripts/lint.sh --fix    format in place and apply clang-tidy's fixes
#   QUIBBETS_LINT_ALL=1      also run clang-tidy over the gtest cases (slow)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=${QUIBBETS_JOBS:-2}
fix=()
if [ "${1:-}" = --fix ]; then
    fix=(-fix)
fi

scripts/check_tree.sh

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if [ ${#fix[@]} -gt 0 ]; then
    clang-format -i "${sources[@]}"
else
    clang-format --dry-run --Werror "${sources[@]}"
fi

# clang-tidy reads the MinGW build's commands with clang's own intrinsics but
# MinGW's C++ library and Windows headers.
gxx=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-win32/include/c++ | head -n 1)
mingw=(-extra-arg=--target=x86_64-w64-mingw32 -extra-arg=-nostdinc++ -extra-arg=-nostdlibinc
    -extra-arg=-isystem"$gxx" -extra-arg=-isystem"$gxx/x86_64-w64-mingw32" -extra-arg=-isystem"$gxx/backward"
    -extra-arg=-isystem/usr/x86_64-w64-mingw32/include)

# A build's commands for our C++ sources, without GCC's precompiled headers (which
# clang cannot read): lintdb BUILD FOLDERS-REGEX -> build/lint-BUILD. The gtest
# cases are left to the format check: parsing gtest in each of them would take
# clang-tidy minutes, and they hold no product code.
lintdb() {
    mkdir -p "build/lint-$1"
    python3 - "$root" "$1" "$2" <<'PY'
import json, os, re, shlex, shutil, sys
root, build, folders = sys.argv[1:]
keep = re.compile(re.escape(root) + "/(" + folders + ")/.*[.]cpp$")
def uses_gtest(path):
    if os.environ.get("QUIBBETS_LINT_ALL"):
        return False
    text = open(path, encoding="utf-8", errors="replace").read()
    return "gtest" in text or "test_support.h" in text or "e2e_fixture.h" in text

entries = []
for e in json.load(open(f"{root}/build/{build}/compile_commands.json")):
    if not keep.match(e["file"]) or uses_gtest(e["file"]):
        continue
    args = shlex.split(e["command"])
    for i, a in enumerate(args):
        if a.endswith("cmake_pch.hxx"):
            # The header's text, away from the .gch beside it that clang would try;
            # named after its target's folder ("unit_tests.dir"), the same on every run.
            copy = f"{root}/build/lint-{build}/{os.path.basename(os.path.dirname(a))}.hxx"
            shutil.copyfile(a, copy)
            args[i] = copy
    args = [a for a in args if a != "-Winvalid-pch"]
    entries.append({"directory": e["directory"], "file": e["file"], "arguments": args})
json.dump(entries, open(f"{root}/build/lint-{build}/compile_commands.json", "w"), indent=0)
PY
}

# run-clang-tidy prints every finding; a finding is an error (WarningsAsErrors).
tidy() {
    local out rc=0
    out=$(run-clang-tidy -quiet -j "$jobs" "${fix[@]}" "$@" 2>&1) || rc=$?
    sed 's/\x1b\[[0-9;]*m//g' <<<"$out" | grep -E '(error|warning):' | sort -u || true
    return $rc
}
status=0
# The native build, or the sanitizer build where there is no plain one.
native=native
if [ ! -f build/native/compile_commands.json ]; then
    native=native-asan
fi
lintdb "$native" 'notes|launcher|platform|tests'
lintdb win32 'platform/win32|tests/e2e|bench'
tidy -p "build/lint-$native" || status=1
tidy -p build/lint-win32 "${mingw[@]}" || status=1
# The Qt backend from the linux build, once configured (the shared code it also
# compiles is checked above already).
if [ -f build/linux/compile_commands.json ]; then
    lintdb linux 'platform/qt|tests/qt'
    tidy -p build/lint-linux || status=1
fi
exit $status
