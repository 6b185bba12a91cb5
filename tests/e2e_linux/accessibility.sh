#!/usr/bin/env bash
# The accessibility check on a private Xvfb and a private D-Bus session, with the
# system's Python (where python3-pyatspi is installed). The display and a runtime
# folder of its own are set before the session starts, so that the accessibility
# bus the session starts on demand has them too: runs side by side do not meet.
#   accessibility.sh BIN_FOLDER
set -u
. "$(dirname "$0")/../../scripts/private_display.sh"
work=$(mktemp -d)
xvfb=""
trap '[ -n "$xvfb" ] && { kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; }; rm -rf "$work"' EXIT
startPrivateDisplay "$work" || exit 1
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
dbus-run-session -- /usr/bin/python3 "$(dirname "$0")/accessibility_check.py" "$1"
