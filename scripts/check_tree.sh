#!/usr/bin/env bash
# The layers' rules that the compiler cannot see, checked over the tracked sources:
# the programs' code never reaches a backend or a desktop header (Win32, Qt), the
# desktop layer never reaches the programs, the services never reach the form engine
# or the facade above them, the form engine never the facade, a backend's headers stay
# in its own folder (the POSIX services excepted, which the headless and Qt backends
# share), and no portable interface has more than 12 operations
# (scripts/check_interfaces.py). Tests and benchmarks drive the backends and are not
# checked. Prints each breach; fails when there is one.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0

# breach DESCRIPTION PATTERN PATHSPEC...: every line of the pathspec matching the pattern.
breach() {
    local what=$1 pattern=$2
    shift 2
    local hits
    hits=$(git grep -nE "$pattern" -- "$@")
    if [ -n "$hits" ]; then
        echo "$what:"
        echo "$hits"
        status=1
    fi
}

desktop='^#include <(windows|winuser|shellapi|commctrl|Q[A-Za-z]*)(\.h)?>'
backend='^#include "platform/(win32|qt|headless|posix)/'
breach "the programs include a backend or a desktop header" "$desktop|$backend" notes launcher
breach "the desktop layer includes the programs" '^#include "(notes|launcher)/' platform
portable=(':(glob)platform/*.h' ':(glob)platform/*.cpp' platform/services platform/forms)
breach "the portable desktop layer includes a backend or a desktop header" "$desktop|$backend" "${portable[@]}"
breach "a service includes the form engine or the facade" '^#include "platform/(forms/|platform\.h)' platform/services
breach "the form engine includes the facade" '^#include "platform/platform\.h' platform/forms
for b in win32 qt headless; do
    breach "a header of platform/$b outside its folder" "^#include \"platform/$b/" platform ":!platform/$b"
done
breach "a header of platform/posix outside the backends that share it" '^#include "platform/posix/' platform \
    ':!platform/posix' ':!platform/headless' ':!platform/qt'
python3 scripts/check_interfaces.py || status=1
exit $status
