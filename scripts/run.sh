#!/usr/bin/env bash
# Installs what is missing, builds the Windows programs and starts the tray
# launcher and the notes program under Wine. Without a display they run on a
# virtual one, a screenshot goes to build/screenshot.png, and both are closed again.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32
bin="$PWD/build/win32/bin"

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
