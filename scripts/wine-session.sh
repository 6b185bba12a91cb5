#!/usr/bin/env bash
# Runs one command inside a working Wine session: a display (a private Xvfb when
# $DISPLAY is empty), a prepared Wine prefix and a pinned locale, then returns the
# command's exit code. Used by CTest for the end-to-end tests and by bench/run.sh.
#
#   scripts/wine-session.sh CMD ARGS...
#   scripts/wine-session.sh --prepare LANES    # create the prefixes of LANES lanes, run nothing
#
# WINEPREFIX defaults to <repo>/build/wineprefix and is created on first use.
#
# Lanes: CTest runs end-to-end tests side by side when given the resource file
# tests/e2e/wine_lanes.json; each test then holds one "wineprefix" slot, and its
# session uses that lane's own prefix (lane 1: build/wineprefix, lane N:
# build/wineprefix-laneN), so its own wineserver and registry. Tests in different
# lanes cannot see each other's windows, keystrokes, clipboard or settings.
set -u

if [ $# -eq 0 ] || { [ "$1" = --prepare ] && [ $# -ne 2 ]; }; then
    echo "usage: $0 CMD ARGS... | $0 --prepare LANES" >&2
    exit 2
fi

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
basePrefix=$repo/build/wineprefix
lane=""
if [ -z "${WINEPREFIX:-}" ] && [ "${CTEST_RESOURCE_GROUP_0:-}" = wineprefix ]; then
    lane=${CTEST_RESOURCE_GROUP_0_WINEPREFIX:-}
    lane=${lane#id:}
    lane=${lane%%,*}
fi
lanePrefix() {
    if [ "$1" = 1 ]; then
        echo "$basePrefix"
    else
        echo "$basePrefix-lane$1"
    fi
}
if [ -n "$lane" ]; then
    export WINEPREFIX=$(lanePrefix "$lane")
fi
export WINEPREFIX=${WINEPREFIX:-$basePrefix}
export WINEDEBUG=-all
# No Mono or Gecko: without these overrides a new prefix asks to download them.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine derives the ANSI code page from the Unix locale; en_US gives 1252. Passed
# through env(1) only: bash itself warns when the locale is not installed.
wineEnv=(env LC_ALL=en_US.UTF-8 LANG=en_US.UTF-8)
export HOME=${HOME:-$repo/build}

xvfbPid=""
xvfbLog=""
cmdPid=""
ownServer=0

cleanup() {
    if [ -n "$cmdPid" ] && kill -0 "$cmdPid" 2>/dev/null; then
        kill "$cmdPid" 2>/dev/null
        wait "$cmdPid" 2>/dev/null
    fi
    if [ -n "$xvfbPid" ]; then
        # A wineserver we started has its desktop process on our display: end it
        # before the display goes, so that no later run inherits a desktop on a
        # dead display. A server that was already running belongs to someone else.
        if [ "$ownServer" = 1 ]; then
            wineserver -k >/dev/null 2>&1
        fi
        kill "$xvfbPid" 2>/dev/null
        wait "$xvfbPid" 2>/dev/null
        xvfbPid=""
    fi
    [ -n "$xvfbLog" ] && rm -f "$xvfbLog"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

waitForDisplay() {
    local deadline=$((SECONDS + 15))
    while [ $SECONDS -lt $deadline ]; do
        if xdpyinfo -display "$1" >/dev/null 2>&1; then
            return 0
        fi
        kill -0 "$xvfbPid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

startXvfb() {
    local fdFile
    fdFile=$(mktemp)
    xvfbLog=$(mktemp)
    # -displayfd lets the server pick a free display number itself and report it
    # once it accepts connections; no race with other sessions choosing numbers.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdFile" >"$xvfbLog" 2>&1 &
    xvfbPid=$!
    local deadline=$((SECONDS + 15)) number=""
    while [ $SECONDS -lt $deadline ]; do
        number=$(tr -dc '0-9' <"$fdFile")
        [ -n "$number" ] && break
        kill -0 "$xvfbPid" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$fdFile"
    if [ -z "$number" ] || ! waitForDisplay ":$number"; then
        echo "wine-session: Xvfb did not start:" >&2
        cat "$xvfbLog" >&2
        exit 125
    fi
    export DISPLAY=":$number"
}

# A bare Xvfb has no window manager. Wine treats top-level windows as managed by
# one all the same, and then waits two seconds for it at every window that hides
# (a program's exit, a closing dialog or message box). On such a display windows
# are unmanaged and hide at once; only the desktop process (explorer.exe, whose
# tray window the launcher tests click) stays managed: its windows then take the
# display's keyboard focus, which keys sent with xdotool need. On a display with a
# window manager every window is managed, as usual.
windowMode() {
    if xprop -root -display "$DISPLAY" _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
        echo managed
    else
        echo unmanaged
    fi
}

# Gives the prefix $1 the window mode $2 (see windowMode) and saves its registry.
configurePrefix() {
    local managed=Y
    [ "$2" = unmanaged ] && managed=N
    WINEPREFIX=$1 "${wineEnv[@]}" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d $managed /f \
        >/dev/null 2>&1 &&
        WINEPREFIX=$1 "${wineEnv[@]}" wine reg add 'HKCU\Software\Wine\AppDefaults\explorer.exe\X11 Driver' \
            /v Managed /d Y /f >/dev/null 2>&1 || { echo "wine-session: cannot configure $1" >&2; exit 125; }
    WINEPREFIX=$1 wineserver -w
    echo "$2" >"$1/.quibbets-windows"
}

# Creates the prefix $1 with wineboot. The caller holds its lock.
createPrefix() {
    echo "wine-session: creating Wine prefix $1" >&2
    WINEPREFIX=$1 "${wineEnv[@]}" wineboot -i >/dev/null 2>&1
    # The registry reaches the disk when the server ends, in configurePrefix.
    configurePrefix "$1" "$(windowMode)"
    if [ ! -f "$1/system.reg" ]; then
        echo "wine-session: wineboot failed to create $1" >&2
        exit 125
    fi
}

# Makes the prefix $2 a copy of the prefix $1, which is much faster than wineboot.
# The program files, which Wine only reads, are hard links; every other file (the
# registry, ini files) is a copy of its own.
clonePrefix() {
    local from=$1 to=$2 file
    echo "wine-session: copying Wine prefix $from to $to" >&2
    rm -rf "$to.partial"
    cp -a --link "$from" "$to.partial" || exit 125
    (cd "$from" && find . -type f ! \( -iname '*.dll' -o -iname '*.exe' -o -iname '*.drv' -o -iname '*.sys' \
        -o -iname '*.nls' -o -iname '*.ocx' -o -iname '*.cpl' -o -iname '*.acm' -o -iname '*.tlb' \) -print0) |
        while IFS= read -r -d '' file; do
            cp -p --remove-destination "$from/$file" "$to.partial/$file" || exit 125
        done || exit 125
    mv "$to.partial" "$to"
}

# Creates the prefix $1 unless it exists; two sessions starting at once must not
# both create it. A lane's prefix is copied from the first one.
preparePrefix() {
    local prefix=$1 lock
    mkdir -p "$(dirname "$prefix")"
    exec {lock}>"$prefix.lock"
    flock -w 300 "$lock" || { echo "wine-session: prefix lock timed out" >&2; exit 125; }
    if [ ! -f "$prefix/system.reg" ]; then
        if [ "$prefix" = "$basePrefix" ]; then
            createPrefix "$prefix"
        else
            preparePrefix "$basePrefix"
            clonePrefix "$basePrefix" "$prefix"
        fi
    elif [ "$(cat "$prefix/.quibbets-windows" 2>/dev/null)" != "$(windowMode)" ] &&
        ! WINEPREFIX=$prefix prefixServerRunning; then
        # Another kind of display than last time, or a prefix from before the modes.
        configurePrefix "$prefix" "$(windowMode)"
    fi
    flock -u "$lock"
    exec {lock}>&-
}

# True when a wineserver already serves this prefix. Its socket folder is named
# after the prefix's device and inode, and the server runs in that folder.
prefixServerRunning() {
    local id pid
    id=$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX" 2>/dev/null)) 2>/dev/null || return 1
    for pid in $(pgrep wineserver); do
        case "$(readlink "/proc/$pid/cwd" 2>/dev/null)" in
            */"$id") return 0 ;;
        esac
    done
    return 1
}

if [ -z "${DISPLAY:-}" ]; then
    startXvfb
    prefixServerRunning || ownServer=1
fi

if [ "$1" = --prepare ]; then
    preparePrefix "$basePrefix"
    for ((n = 2; n <= $2; n++)); do
        preparePrefix "$(lanePrefix "$n")"
    done
    exit 0
fi
preparePrefix "$WINEPREFIX"

"${wineEnv[@]}" "$@" </dev/null &
cmdPid=$!
wait "$cmdPid"
status=$?
exit "$status"
