#!/usr/bin/env bash
# Prepares the folders of the MountFaults cases and runs them under Wine: a tmpfs
# too small for a big page (full disk) and a read-only bind mount (root ignores
# file modes, so only a read-only mount refuses root's writes). Each folder holds
# notes.exe and page1.txt = "old page\r\n". Exits 77 (skipped) when it cannot mount.
#
#   tests/e2e/mount_faults.sh NOTES_E2E_EXE NOTES_EXE
set -u
e2eExe=$1
notesExe=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
session=$here/../../scripts/wine-session.sh

skip() {
    echo "MountFaults skipped: $1"
    exit 77
}

[ "$(id -u)" = 0 ] || skip "not running as root"
[ -f "$notesExe" ] || { echo "missing $notesExe" >&2; exit 1; }

work=$(mktemp -d /tmp/quibbets-mounts.XXXXXX)
full=$work/full
source=$work/source
readOnly=$work/readonly
mkdir -p "$full" "$source" "$readOnly"

cleanup() {
    for mountPoint in "$readOnly" "$full"; do
        if mountpoint -q "$mountPoint"; then
            umount "$mountPoint" 2>/dev/null || umount -l "$mountPoint"
        fi
    done
    rm -rf "$work"
}
trap cleanup EXIT

# Room for the program and the old page, with a little to spare; a big page
# (1 MiB) does not fit.
exeKiB=$(( ($(stat -c %s "$notesExe") + 1023) / 1024 ))
mount -t tmpfs -o size=$((exeKiB + 512))k quibbets-full "$full" 2>/dev/null || skip "cannot mount a tmpfs"
mount --bind "$source" "$readOnly" 2>/dev/null || skip "cannot bind mount"

for folder in "$full" "$source"; do
    cp "$notesExe" "$folder/notes.exe"
    printf 'old page\r\n' >"$folder/page1.txt"
done
mount -o remount,bind,ro "$readOnly" 2>/dev/null || skip "cannot make a bind mount read-only"
if touch "$readOnly/probe" 2>/dev/null; then
    skip "the read-only mount accepts writes"
fi

QUIBBETS_E2E_FULL_DIR=$full QUIBBETS_E2E_READONLY_DIR=$readOnly \
    "$session" wine "$e2eExe" --gtest_filter='MountFaults.*'
