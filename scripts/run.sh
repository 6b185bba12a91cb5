#!/usr/bin/env bash
# Installs what is missing, builds the native Linux programs and starts the tray
# launcher and a notes window. Without a display they run on a virtual one (Xvfb,
# the openbox window manager and the trayer notification area), a screenshot goes
# to build/screenshot.png, and everything is closed again.
#
#   scripts/run.sh             the native Linux programs (build/linux/bin)
#   scripts/run.sh --windows   the Windows programs under Wine (build/win32/bin)
set -euo pipefail
cd "$(dirname "$0")/.."

# The Windows programs under Wine, on a virtual display when there is none.
runWindows() {
    cmake --preset win32 >/dev/null
    cmake --build --preset win32
    local bin="$PWD/build/win32/bin"
    if [ -n "${DISPLAY:-}" ]; then
        exec scripts/wine-session.sh bash -c 'wine "$1/Quibbets.exe" & wine "$1/notes.exe"; wait' _ "$bin"
    fi
    scripts/wine-session.sh bash -c '
        wine "$1/Quibbets.exe" &
        wine "$1/notes.exe" &
        sleep 8
        import -window root build/screenshot.png
        echo "screenshot: build/screenshot.png"
        wineserver -k' _ "$bin"
}

pids=()
runtime=""
cleanup() {
    local i
    # Newest first: the programs (which save and remove the tray icon on SIGTERM)
    # before the tray, the window manager and the display they use.
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    [ -z "$runtime" ] || rm -rf "$runtime"
}

# Polls `CMD ARGS...` for up to ten seconds: waitFor WHAT CMD ARGS...
waitFor() {
    local what=$1 deadline=$((SECONDS + 10))
    shift
    until "$@" >/dev/null 2>&1; do
        if [ $SECONDS -ge $deadline ]; then
            echo "run.sh: $what did not start" >&2
            exit 1
        fi
        sleep 0.1
    done
}

# A private Xvfb with a window manager and a notification area; sets DISPLAY.
startDesktop() {
    local fdFile number=""
    fdFile=$(mktemp)
    # -displayfd: the server picks a free display number and reports it when ready.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdFile" >/dev/null 2>&1 &
    pids+=($!)
    waitFor "Xvfb" grep -q '[0-9]' "$fdFile"
    number=$(tr -dc '0-9' <"$fdFile")
    rm -f "$fdFile"
    export DISPLAY=":$number"
    openbox --sm-disable >/dev/null 2>&1 &
    pids+=($!)
    waitFor "openbox" bash -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
    trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 32 >/dev/null 2>&1 &
    pids+=($!)
    waitFor "trayer" xdotool search --name '^panel$'
}

# The native programs on a virtual desktop: a screenshot, then everything ends.
runHeadless() {
    local bin=$1
    trap cleanup EXIT
    unset WAYLAND_DISPLAY
    export QT_QPA_PLATFORM=xcb
    # Close requests travel through a socket in the runtime folder, which a session
    # without a login (a container, CI) may lack.
    if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
        runtime=$(mktemp -d)
        export XDG_RUNTIME_DIR=$runtime
    fi
    startDesktop
    "$bin/quibbets" &
    pids+=($!)
    "$bin/quibbets-notes" &
    pids+=($!)
    sleep 4
    import -window root build/screenshot.png
    echo "screenshot: build/screenshot.png"
}

scripts/install-deps.sh
if [ "${1:-}" = --windows ]; then
    runWindows
    exit
fi
cmake --preset linux >/dev/null
cmake --build --preset linux -j "${QUIBBETS_JOBS:-2}" --target quibbets quibbets-notes
bin="$PWD/build/linux/bin"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    "$bin/quibbets" &
    "$bin/quibbets-notes"
    wait
    exit
fi
runHeadless "$bin"
