#!/usr/bin/env bash
# The accessibility check under a private D-Bus session, with the system's Python
# (where python3-pyatspi is installed).
#   accessibility.sh BIN_FOLDER
exec dbus-run-session -- /usr/bin/python3 "$(dirname "$0")/accessibility_check.py" "$1"
