#!/usr/bin/env bash
# The accessibility check on a private Xvfb and a private D-Bus session, with the
# system's Python (where python3-pyatspi is installed). The display and a runtime
# folder of its own are set before the session starts, so that the accessibility
# bus the session starts on demand has them too: runs side by side do not meet.
#   accessibility.sh BIN_FOLDER
set -u
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
export DISPLAY=:$(head -n1 "$work/display")
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
dbus-run-session -- /usr/bin/python3 "$(dirname "$0")/accessibility_check.py" "$1"
