#!/usr/bin/env bash
# Installs what is missing, builds the Windows programs and starts the notes
# program under Wine. Without a display it runs on a virtual one, saves a
# screenshot to build/screenshot.png, and closes the program again.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32
bin="$PWD/build/win32/bin"

if [ -n "${DISPLAY:-}" ]; then
    exec scripts/wine-session.sh wine "$bin/notes.exe"
fi
scripts/wine-session.sh bash -c '
    wine "$1/notes.exe" &
    sleep 6
    import -window root build/screenshot.png
    echo "screenshot: build/screenshot.png"
    wineserver -k' _ "$bin"
