#!/usr/bin/env bash
# End-to-end tests of the tray launcher: Quibbets.exe and notes.exe copied into a
# fresh folder per case, driven through Wine's notification area with real mouse
# and key events (xdotool) and watched through launcher_e2e_tool.exe. Run inside a
# Wine session on a display without a system tray of its own:
#
#   scripts/wine-session.sh bash tests/e2e/launcher/launcher_e2e.sh \
#       build/win32/bin/Quibbets.exe build/win32/bin/notes.exe \
#       build/win32/tests/e2e/launcher/launcher_e2e_tool.exe [CASE...]
#
# Prints one line per case and a closing "N passed, N failed"; exits 1 when any
# case failed. QUIBBETS_E2E_KEEP=1 keeps the case folders.
set -u

if [ $# -lt 3 ]; then
    echo "usage: $0 QUIBBETS_EXE NOTES_EXE TOOL_EXE [CASE...]" >&2
    exit 2
fi
LAUNCHER_EXE=$1 NOTES_EXE=$2 TOOL_EXE=$3
shift 3
for file in "$LAUNCHER_EXE" "$NOTES_EXE" "$TOOL_EXE"; do
    [ -f "$file" ] || { echo "launcher e2e: $file is missing (build the win32 preset)" >&2; exit 2; }
done
command -v xdotool >/dev/null || { echo "launcher e2e: xdotool is missing (scripts/install-deps.sh)" >&2; exit 2; }
[ -n "${DISPLAY:-}" ] || { echo "launcher e2e: no DISPLAY; run through scripts/wine-session.sh" >&2; exit 2; }

source "$(dirname "${BASH_SOURCE[0]}")/launcher_e2e_lib.sh"

WORK=$(mktemp -d "${TMPDIR:-/tmp}/quibbets-launcher-e2e.XXXXXX")
finish() {
    cleanupCase
    [ -n "${QUIBBETS_E2E_KEEP:-}" ] || rm -rf "$WORK"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# --- Start ---------------------------------------------------------------------

# One icon and nothing else: no visible window (so no taskbar button), a hidden
# form with an empty caption whose child receives the icon's messages, no window
# titled like the notes program's application window, and no notes program.
Start_IconOnly() {
    local dir windows
    dir=$(newFolder start)
    startLauncher "$dir" 1 || return 1
    windows=$(tool windows "$lastPid")
    ! grep -q '^top .* visible=1 ' <<<"$windows" || fail "the launcher shows a window: $windows" || return 1
    grep -A1 '^top class=[^ ]* visible=0 .* title=$' <<<"$windows" | grep -v '^top class=IME ' |
        grep -q '^child ' || fail "no hidden form with an empty caption and a child window: $windows" || return 1
    expectEqual "windows titled $kAppTitle" "" "$(tool titled "$kAppTitle")" || return 1
    expectProcsStay "$dir" notes.exe 0
}

# --- Mouse on the icon ---------------------------------------------------------

# A single click starts nothing; a double-click starts exactly one notes program,
# from the launcher's folder; the next double-click one more.
Mouse_DoubleClickStartsOneNotes() {
    local dir
    dir=$(newFolder mouse)
    startLauncher "$dir" 1 || return 1
    clickIcon 0 || return 1
    expectProcsStay "$dir" notes.exe 0 || return 1
    doubleClickIcon 0 || return 1
    expectProcs "$dir" notes.exe 1 "$kStartMs" || return 1
    tool wait-titled "$kNotesTitle" 1 "$kStartMs" >/dev/null || fail "no notes window appeared" || return 1
    expectProcsStay "$dir" notes.exe 1 || return 1
    doubleClickIcon 0 || return 1
    expectProcs "$dir" notes.exe 2 "$kStartMs" || return 1
    expectProcsStay "$dir" notes.exe 2
}

# --- The pop-up menu -----------------------------------------------------------

# The menu opens at the pointer; a click elsewhere closes it without a command and
# leaves the icon working; Open starts a notes program; Exit removes the icon and
# ends the launcher, while the notes program it started keeps running.
Menu_OpenThenExit() {
    local dir corner found=0
    dir=$(newFolder menu)
    startLauncher "$dir" 1 || return 1
    openMenu 0 "$lastPid" || return 1
    for corner in "$menuLeft $menuTop" "$menuRight $menuTop" "$menuLeft $menuBottom" "$menuRight $menuBottom"; do
        read -r x y <<<"$corner"
        [ $((x - iconX)) -ge -3 ] && [ $((x - iconX)) -le 3 ] && [ $((y - iconY)) -ge -3 ] &&
            [ $((y - iconY)) -le 3 ] && found=1
    done
    [ $found = 1 ] || fail "menu $menuLeft,$menuTop-$menuRight,$menuBottom is not at the pointer $iconX,$iconY" || return 1
    clickElsewhere
    tool wait-no-menu "$lastPid" "$kWaitMs" || fail "a click elsewhere left the menu open" || return 1
    expectProcsStay "$dir" notes.exe 0 || return 1
    chooseFromMenu 0 "$lastPid" 0 || return 1
    expectProcs "$dir" notes.exe 1 "$kStartMs" || return 1
    tool wait-titled "$kNotesTitle" 1 "$kStartMs" >/dev/null || fail "no notes window appeared" || return 1
    chooseFromMenu 0 "$lastPid" 2 || return 1
    expectIcons 0 || return 1
    expectProcs "$dir" Quibbets.exe 0 || return 1
    expectProcsStay "$dir" notes.exe 1
}

# The keyboard works in the menu too: Down, Down, Enter is the second item.
Menu_KeyboardChoosesClose() {
    local dir
    dir=$(newFolder keys)
    startLauncher "$dir" 1 || return 1
    openMenu 0 "$lastPid" || return 1
    xdotool key Down Down Return
    tool wait-no-menu "$lastPid" "$kWaitMs" || fail "the menu stayed open after Enter" || return 1
    # With no notes program, Close answers with its message box.
    readBox "$lastPid" || return 1
    expectEqual "box text" "Error!  Please close the program manually." "$boxText"
}

# --- Close ---------------------------------------------------------------------

# With no notes program: "Error!  Please close the program manually." (two blanks),
# captioned "Quibbets", OK only, no icon. Afterwards the launcher carries on.
Close_WithoutNotesShowsError() {
    local dir
    dir=$(newFolder close-none)
    startLauncher "$dir" 1 || return 1
    chooseFromMenu 0 "$lastPid" 1 || return 1
    readBox "$lastPid" || return 1
    expectEqual "box caption" "Quibbets" "$boxCaption" || return 1
    expectEqual "box text" "Error!  Please close the program manually." "$boxText" || return 1
    expectEqual "box buttons" "OK" "$boxButtons" || return 1
    expectEqual "box shows an icon" "0" "$boxIcon" || return 1
    tool press "$lastPid" OK || fail "could not press OK" || return 1
    expectNoBoxSoon "$lastPid" || return 1
    expectProcs "$dir" Quibbets.exe 1 0 || return 1
    expectIcons 1 0 || return 1
    openMenu 0 "$lastPid" || return 1
    clickElsewhere
    tool wait-no-menu "$lastPid" "$kWaitMs" || fail "the menu stayed open after a click elsewhere"
}

# Close with a notes program whose page was typed into: the notes program saves
# the page and its settings, and ends; the launcher says nothing.
Close_SavesEditedPage() {
    local dir text="typed before the launcher closed me"
    dir=$(newFolder close-save)
    startLauncher "$dir" 1 || return 1
    chooseFromMenu 0 "$lastPid" 0 || return 1
    tool wait-titled "$kNotesTitle" 1 "$kStartMs" >/dev/null || fail "no notes window appeared" || return 1
    tool wait-titled "$kAppTitle" 1 "$kStartMs" >/dev/null || fail "no application window of notes" || return 1
    tool type "$kNotesTitle" 1 "$text" || fail "could not type into page 1" || return 1
    chooseFromMenu 0 "$lastPid" 1 || return 1
    expectProcs "$dir" notes.exe 0 || return 1
    grep -qF "$text" "$dir/page1.txt" 2>/dev/null || fail "page1.txt does not hold the typed text" || return 1
    ! tool settings-empty || fail "the notes program stored no settings" || return 1
    expectNoBox "$lastPid"
}

# Two notes programs: each Close ends one of them.
Close_TwoNotesOneEach() {
    local dir
    dir=$(newFolder close-two)
    startLauncher "$dir" 1 || return 1
    chooseFromMenu 0 "$lastPid" 0 || return 1
    chooseFromMenu 0 "$lastPid" 0 || return 1
    expectProcs "$dir" notes.exe 2 "$kStartMs" || return 1
    tool wait-titled "$kAppTitle" 2 "$kStartMs" >/dev/null || fail "not both notes programs are up" || return 1
    chooseFromMenu 0 "$lastPid" 1 || return 1
    expectProcs "$dir" notes.exe 1 || return 1
    expectProcsStay "$dir" notes.exe 1 || return 1
    expectNoBox "$lastPid" || return 1
    chooseFromMenu 0 "$lastPid" 1 || return 1
    expectProcs "$dir" notes.exe 0 || return 1
    expectNoBox "$lastPid"
}

# --- Several launchers and the shell -------------------------------------------

# Two launchers, two icons, left to right in start order; Exit of the first
# removes its own icon only, and the second launcher still answers on its icon.
Launchers_TwoIconsExitOne() {
    local first second dirA dirB
    dirA=$(newFolder two-a)
    dirB=$(newFolder two-b)
    startLauncher "$dirA" 1 || return 1
    first=$lastPid
    startLauncher "$dirB" 2 || return 1
    second=$lastPid
    openMenu 0 0 || return 1
    expectEqual "owner of the first icon's menu" "$first" "$menuPid" || return 1
    clickMenuItem 2 || return 1
    expectIcons 1 || return 1
    expectProcs "$dirA" Quibbets.exe 0 || return 1
    expectProcs "$dirB" Quibbets.exe 1 0 || return 1
    openMenu 0 0 || return 1
    expectEqual "owner of the remaining icon's menu" "$second" "$menuPid" || return 1
    clickMenuItem 2 || return 1
    expectIcons 0
}

# A "TaskbarCreated" broadcast while the icons are there: the shell refuses the
# launchers' second adds, and each launcher still has exactly one icon.
Shell_TaskbarCreatedKeepsOneIconEach() {
    local dirA dirB
    dirA=$(newFolder shell-a)
    dirB=$(newFolder shell-b)
    startLauncher "$dirA" 1 || return 1
    startLauncher "$dirB" 2 || return 1
    tool taskbar-created || fail "the broadcast failed" || return 1
    sleep "$kSettle"
    expectIcons 2 0
}

# A shell that restarted has lost the icon: on "TaskbarCreated" the launcher puts
# it back, and the new icon works.
Shell_TaskbarCreatedRestoresLostIcon() {
    local dir
    dir=$(newFolder shell-lost)
    startLauncher "$dir" 1 || return 1
    tool drop-icon "$lastPid" >/dev/null || fail "could not remove the launcher's icon" || return 1
    expectIcons 0 || return 1
    tool taskbar-created || fail "the broadcast failed" || return 1
    expectIcons 1 || return 1
    doubleClickIcon 0 || return 1
    expectProcs "$dir" notes.exe 1 "$kStartMs"
}

# --- A missing notes program ---------------------------------------------------

# Open (and the double-click) without notes.exe beside the launcher: a message box
# captioned "Quibbets" that names the path and why; the launcher carries on.
Missing_NotesProgramReported() {
    local dir path gesture
    dir=$(newFolder missing without-notes)
    path="$(windowsPath "$dir")\\notes.exe"
    startLauncher "$dir" 1 || return 1
    for gesture in menu double-click; do
        if [ $gesture = menu ]; then
            chooseFromMenu 0 "$lastPid" 0 || return 1
        else
            doubleClickIcon 0 || return 1
        fi
        readBox "$lastPid" || return 1
        expectEqual "box caption ($gesture)" "Quibbets" "$boxCaption" || return 1
        case "$boxText" in
            "The notes program could not be started."*) ;;
            *) fail "box text ($gesture): $boxText" || return 1 ;;
        esac
        case "${boxText,,}" in
            *"${path,,}"*?) ;;
            *) fail "box text ($gesture) does not name $path and a reason: $boxText" || return 1 ;;
        esac
        tool press "$lastPid" OK || fail "could not press OK" || return 1
        expectNoBoxSoon "$lastPid" || return 1
        expectProcs "$dir" Quibbets.exe 1 0 || return 1
        expectIcons 1 0 || return 1
    done
}

allCases=(
    Start_IconOnly
    Mouse_DoubleClickStartsOneNotes
    Menu_OpenThenExit
    Menu_KeyboardChoosesClose
    Close_WithoutNotesShowsError
    Close_SavesEditedPage
    Close_TwoNotesOneEach
    Launchers_TwoIconsExitOne
    Shell_TaskbarCreatedKeepsOneIconEach
    Shell_TaskbarCreatedRestoresLostIcon
    Missing_NotesProgramReported
)
[ $# -gt 0 ] && allCases=("$@")
for name in "${allCases[@]}"; do
    runCase "$name"
done
summary
