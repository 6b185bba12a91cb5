#!/usr/bin/env bash
# The DPI cases of the end-to-end tests at 144 and 192 dpi: Wine's LogPixels is set
# for each run (a new wineserver reads it) and put back after.
#
#   dpi.sh NOTES_E2E_EXE SHOTS_FOLDER     (inside scripts/wine-session.sh)
set -u
e2e=$1 shots=$2
mkdir -p "$shots"
key='HKCU\Control Panel\Desktop'
restore() {
    wine reg delete "$key" /v LogPixels /f >/dev/null 2>&1
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
}
trap restore EXIT
status=0
for dpi in 144 192; do
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || { echo "cannot set LogPixels"; exit 1; }
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    echo "== $dpi dpi"
    QUIBBETS_E2E_DPI=$dpi QUIBBETS_E2E_SHOTS=$(winepath -w "$shots") wine "$e2e" --gtest_filter='Dpi.*' || status=1
done
# The pictures, for a look: PNG beside each BMP.
for bmp in "$shots"/*.bmp; do
    [ -f "$bmp" ] && convert "$bmp" -alpha off "${bmp%.bmp}.png" 2>/dev/null
done
exit $status
