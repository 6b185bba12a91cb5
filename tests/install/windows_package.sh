#!/usr/bin/env bash
# The Windows installer and the portable zip under Wine, run inside a Wine session
# (scripts/wine-session.sh):
#
#   windows_package.sh BUILD VERSION TOOL_EXE
#
# Makes both packages with cpack from the win32 build in BUILD, then installs
# silently, starts the installed launcher, installs the same version again over
# a page file, uninstalls silently, and runs notes.exe from the unpacked zip.
# Prints one line per fault and fails when there is one.
set -u
build=$1 version=$2 toolExe=$3
work=$(mktemp -d)
faults=0
# Whatever way the run ends, the prefix keeps nothing of it: no programs running
# from its folders, no installed copy, no logon entry for the next session to start.
cleanUp() {
    wine "$toolExe" kill "$winDir" >/dev/null 2>&1
    [ -n "${portable:-}" ] && wine "$toolExe" kill "$(winepath -w "$portable")" >/dev/null 2>&1
    wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v Quibbets /f >/dev/null 2>&1
    wine reg delete 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quibbets' /f >/dev/null 2>&1
    [ -n "${dir:-}" ] && rm -rf "$dir" "$menu"
    rm -rf "$work"
}
trap cleanUp EXIT

fault() { echo "FAULT: $*"; faults=$((faults + 1)); }
tool() { timeout -k 5 60 wine "$toolExe" "$@"; }
winEnv() { wine cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
regValue() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'; }

cpack -B "$work/packages" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
setup=$work/packages/Quibbets-$version-setup.exe
zip=$work/packages/Quibbets-$version-portable.zip
[ -f "$setup" ] && [ -f "$zip" ] || { ls "$work/packages"; exit 1; }

winDir="$(winEnv LOCALAPPDATA)\\Programs\\Quibbets"
dir=$(winepath -u "$winDir")
menu=$(winepath -u "$(winEnv APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Quibbets")
run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
uninstall='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quibbets'

echo "== silent install into $winDir"
wine "$setup" /S || fault "the installer failed: $?"
for f in notes.exe Quibbets.exe README.txt Uninstall.exe; do
    [ -f "$dir/$f" ] || fault "not installed: $f"
done
for f in "Quibbets Notes.lnk" "Quibbets.lnk"; do
    [ -f "$menu/$f" ] || fault "no Start-menu shortcut: $f"
done
[ "$(regValue "$run" Quibbets)" = "\"$winDir\\Quibbets.exe\"" ] || fault "logon entry: '$(regValue "$run" Quibbets)'"
[ "$(regValue "$uninstall" DisplayVersion)" = "$version" ] || fault "Apps & features: no Quibbets $version"
[ -n "$(regValue "$uninstall" UninstallString)" ] || fault "Apps & features: no uninstaller"
for f in notes.exe Quibbets.exe; do
    # The version record holds the package version (UTF-16 text).
    python3 -c "import sys; sys.exit(0 if '$version.0'.encode('utf-16-le') in open('$dir/$f','rb').read() else 1)" ||
        fault "$f: its version record does not say $version"
done

echo "== the installed launcher shows its icon"
(cd "$work" && exec wine "$dir/Quibbets.exe") >/dev/null 2>&1 &
tool wait-procs "$winDir" Quibbets.exe 1 20000 >/dev/null || fault "the installed launcher did not start"
tool wait-icons 1 20000 >/dev/null || fault "the installed launcher shows no icon"

echo "== installing again keeps the pages"
printf 'kept\r\n' >"$dir/page1.txt"
wine "$setup" /S || fault "the second install failed: $?"
[ "$(cat "$dir/page1.txt")" = $'kept\r' ] || fault "the second install changed page1.txt"
tool wait-procs "$winDir" Quibbets.exe 0 10000 >/dev/null || fault "the launcher still runs after the install closed it"

echo "== silent uninstall"
wine "$dir/Uninstall.exe" /S || fault "the uninstaller failed: $?"
# The uninstaller runs on from a copy of itself; its work is done once its entry is gone.
for _ in $(seq 100); do
    [ -f "$dir/Uninstall.exe" ] || [ -n "$(regValue "$uninstall" DisplayName)" ] || break
    sleep 0.2
done
for f in notes.exe Quibbets.exe README.txt Uninstall.exe; do
    [ -f "$dir/$f" ] && fault "left after uninstalling: $f"
done
[ -d "$menu" ] && fault "the Start-menu folder is left"
[ -n "$(regValue "$run" Quibbets)" ] && fault "the logon entry is left"
[ -n "$(regValue "$uninstall" DisplayName)" ] && fault "the Apps & features entry is left"
[ "$(cat "$dir/page1.txt" 2>/dev/null)" = $'kept\r' ] || fault "page1.txt did not survive the uninstall"

echo "== the portable zip runs where it is unpacked"
unzip -q "$zip" -d "$work/portable" || fault "the zip does not unpack"
portable=$work/portable/Quibbets-$version-portable
for f in notes.exe Quibbets.exe README.txt; do
    [ -f "$portable/$f" ] || fault "not in the zip: $f"
done
printf 'portable page\r\n' >"$portable/page1.txt"
(cd "$work" && exec wine "$portable/notes.exe") >/dev/null 2>&1 &
tool wait-titled "Quibbet - Page 1" 1 20000 >/dev/null || fault "notes.exe from the zip shows no window"
tool type "Quibbet - Page 1" 1 "typed " >/dev/null || fault "cannot type into notes.exe from the zip"
wine taskkill /im notes.exe >/dev/null 2>&1  # a close request: the window saves and ends
tool wait-procs "$(winepath -w "$portable")" notes.exe 0 20000 >/dev/null || fault "notes.exe from the zip did not close"
grep -q "typed" "$portable/page1.txt" || fault "notes.exe from the zip did not save beside itself: $(cat "$portable/page1.txt")"

echo "$faults fault(s)"
[ "$faults" = 0 ]
