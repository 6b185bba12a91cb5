# Harness of launcher_e2e.sh (sourced): test folders, the Win32 helper, gestures on
# the notification icons with xdotool, bounded waits and the pass/fail record.
# Every wait here has a time limit; every process a case starts is ended with it.
# shellcheck shell=bash disable=SC2034  # the variables set here are read by launcher_e2e.sh

kStartMs=20000   # a launcher or notes program coming up (a fresh wineserver is slow)
kWaitMs=15000    # anything else the programs do in answer to a gesture
kSettle=1.5      # seconds to watch that nothing more happens (a second process, say)
kNotesTitle="Quibbet - Page 1"
kAppTitle="Quibbets"

passed=0
failed=0
failedNames=()
caseCount=0
caseFailed=0
caseDirs=()
caseJobs=()
lastPid=""

say() { printf '    %s\n' "$*"; }

# Marks the running case failed; returns 1 so that a step can end the case with `|| return 1`.
fail() {
    printf '    FAIL: %s\n' "$*"
    caseFailed=1
    return 1
}

# The helper inside the Wine session; its stderr explains a failed wait.
tool() {
    timeout -k 5 120 wine "$TOOL_EXE" "$@"
}

# A Unix path as the programs see it under Wine (Z: is the Unix root).
windowsPath() {
    local p="Z:$1"
    printf '%s' "${p//\//\\}"
}

# A new folder of the running case holding Quibbets.exe, and notes.exe unless the
# second argument is "without-notes"; prints its path.
newFolder() {
    local dir="$WORK/case$caseCount-$1"
    mkdir -p "$dir"
    cp "$LAUNCHER_EXE" "$dir/Quibbets.exe"
    [ "${2:-}" = without-notes ] || cp "$NOTES_EXE" "$dir/notes.exe"
    printf '%s' "$dir"
}

# Starts the launcher of `dir` from another working folder (so that only its own
# folder can supply notes.exe) and waits until it runs and the tray holds
# `icons` icons. Sets lastPid to its Windows process id.
startLauncher() {
    local dir=$1 icons=$2
    caseDirs+=("$dir")
    (cd "$WORK" && exec wine "$dir/Quibbets.exe") >>"$WORK/wine.log" 2>&1 &
    caseJobs+=($!)
    lastPid=$(tool wait-procs "$dir" Quibbets.exe 1 "$kStartMs" | cut -d' ' -f1)
    [ -n "$lastPid" ] || fail "the launcher in $dir did not start" || return 1
    tool wait-icons "$icons" "$kStartMs" >/dev/null || fail "expected $icons notification icons after the start" ||
        return 1
    # A wineserver that already served this prefix keeps its tray on its own display,
    # out of reach of the clicks here.
    xdotool search --name "Wine System Tray" >/dev/null 2>&1 ||
        fail "Wine's tray is not on $DISPLAY (another wineserver serving ${WINEPREFIX:-the prefix}?)"
}

# Number of processes named `name` that run from `dir`, after `ms` of waiting for
# `count` of them; fails the case unless there are exactly `count`.
expectProcs() {
    local dir=$1 name=$2 count=$3 ms=${4:-$kWaitMs} found
    found=$(tool wait-procs "$dir" "$name" "$count" "$ms") && return 0
    fail "expected $count $name from $(basename "$dir"), found $(printf '%s' "$found" | grep -c .)"
}

# As expectProcs, after watching for `kSettle` that no more come or go.
expectProcsStay() {
    sleep "$kSettle"
    expectProcs "$1" "$2" "$3" 0
}

expectIcons() {
    local count=$1 ms=${2:-$kWaitMs} found
    found=$(tool wait-icons "$count" "$ms") && return 0
    fail "expected $count notification icons, found $(printf '%s' "$found" | grep -c .)"
}

# Centre of the notification icon at `index` (0 = leftmost): sets iconX, iconY.
iconCentre() {
    local line
    line=$(tool icons | sed -n "$(($1 + 1))p")
    [ -n "$line" ] || fail "no notification icon at position $1" || return 1
    read -r l t r b <<<"$line"
    iconX=$(((l + r) / 2))
    iconY=$(((t + b) / 2))
}

clickIcon() { iconCentre "$1" && xdotool mousemove "$iconX" "$iconY" click 1; }
rightClickIcon() { iconCentre "$1" && xdotool mousemove "$iconX" "$iconY" click 3; }
# Two presses 80 ms apart: the shell reports down, up, double-click, up.
doubleClickIcon() { iconCentre "$1" && xdotool mousemove "$iconX" "$iconY" click --repeat 2 --delay 80 1; }
# A click on the empty screen, far from the tray and from the notes window.
clickElsewhere() { xdotool mousemove 1000 900 click 1; }

# Right-clicks the icon at `index` and waits for the pop-up menu of process `pid`
# (0: of any process). Sets menuPid and menuLeft/Top/Right/Bottom.
openMenu() {
    local index=$1 pid=$2 line
    rightClickIcon "$index" || return 1
    line=$(tool menu "$pid" "$kWaitMs") || fail "no pop-up menu after a right-click on icon $index" || return 1
    read -r menuPid menuLeft menuTop menuRight menuBottom <<<"$line"
}

# Clicks item `index` (0 Open, 1 Close, 2 Exit) of the open menu. The three items
# share the menu's height inside a border of about 3 px.
clickMenuItem() {
    local inner=$((menuBottom - menuTop - 6))
    local y=$((menuTop + 3 + inner * (2 * $1 + 1) / 6))
    xdotool mousemove $(((menuLeft + menuRight) / 2)) "$y" click 1 mousemove 640 900
    tool wait-no-menu "$menuPid" "$kWaitMs" || fail "the menu stayed open after choosing item $1"
}

# Opens the menu of the launcher `pid` on icon `index` and chooses `item`.
chooseFromMenu() {
    openMenu "$1" "$2" && clickMenuItem "$3"
}

# Reads the message box of process `pid`: sets boxCaption, boxText (line breaks as
# \r\n), boxButtons, boxIcon.
readBox() {
    local out
    out=$(tool msgbox "$1" "$kWaitMs") || fail "no message box of the launcher" || return 1
    boxCaption=$(sed -n 's/^caption=//p' <<<"$out")
    boxText=$(sed -n 's/^text=//p' <<<"$out")
    boxButtons=$(sed -n 's/^buttons=//p' <<<"$out")
    boxIcon=$(sed -n 's/^icon=//p' <<<"$out")
}

expectNoBox() {
    ! tool msgbox "$1" 0 >/dev/null || fail "unexpected message box: $(tool msgbox "$1" 0 | tr '\n' ' ')"
}

expectNoBoxSoon() {
    tool wait-no-msgbox "$1" "$kWaitMs" || fail "the message box stayed after OK"
}

expectEqual() {
    [ "$2" = "$3" ] || fail "$1: expected \"$2\", got \"$3\""
}

# Wine's tray forgets the icon of an ended program only when it fails to pass the
# owner a mouse message: move the pointer over each icon left until none is left.
# (A case that checks an icon's removal keeps the pointer away from the tray.)
sweepDeadIcons() {
    local line l t r b
    for _ in 1 2 3 4 5 6 7 8 9 10; do
        line=$(tool icons)
        [ -z "$line" ] && break
        while read -r l t r b; do
            xdotool mousemove $(((l + r) / 2)) $(((t + b) / 2)) sleep 0.05 mousemove $(((l + r) / 2 + 2)) $(((t + b) / 2))
        done <<<"$line"
        xdotool mousemove 640 900
        sleep 0.3
    done
    xdotool mousemove 640 900
    tool wait-icons 0 0 >/dev/null
}

# Ends whatever the case started: every process run from its folders, then the
# wine jobs themselves (bounded), and waits for the tray to be empty again.
cleanupCase() {
    local dir job deadline
    for dir in "${caseDirs[@]}"; do
        tool kill "$dir" || say "some process of $dir did not end"
    done
    deadline=$((SECONDS + 15))
    for job in "${caseJobs[@]}"; do
        while kill -0 "$job" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
        kill -9 "$job" 2>/dev/null
        wait "$job" 2>/dev/null
    done
    sweepDeadIcons || say "icons were left in the tray"
    caseDirs=()
    caseJobs=()
}

runCase() {
    local name=$1
    caseCount=$((caseCount + 1))
    caseFailed=0
    printf '[ RUN      ] %s\n' "$name"
    tool clear-settings || fail "could not clear the notes program's settings"
    # Each case counts icons from an empty tray.
    tool wait-icons 0 "$kWaitMs" >/dev/null || fail "the tray holds icons of another program"
    xdotool mousemove 640 900
    if [ $caseFailed = 0 ]; then
        "$name" || caseFailed=1
    fi
    cleanupCase
    if [ $caseFailed = 0 ]; then
        passed=$((passed + 1))
        printf '[       OK ] %s\n' "$name"
    else
        failed=$((failed + 1))
        failedNames+=("$name")
        printf '[  FAILED  ] %s\n' "$name"
    fi
}

summary() {
    local name
    echo
    for name in "${failedNames[@]}"; do
        printf 'FAILED: %s\n' "$name"
    done
    printf 'Launcher: %d passed, %d failed\n' "$passed" "$failed"
    [ "$failed" = 0 ]
}
