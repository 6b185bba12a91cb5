#!/usr/bin/env bash
# Installs what building and testing need on Debian, skipping what is there.
set -euo pipefail

# The Linux programs need Qt 6 (and its X11 platform plugin), their bench Xlib,
# their tests openbox and trayer for a desktop on Xvfb and xclip for the clipboard,
# and their Debian package dpkg-dev (dpkg-shlibdeps), binutils, and the checks
# desktop-file-utils, appstream and lintian; the Windows installer nsis, the
# portable zip zip and unzip; the accessibility test at-spi2-core, python3-pyatspi
# and dbus; the crash tests strace; the end-to-end tests gdb
# (the stacks of a program that does not end).
packages=(cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev
          g++-mingw-w64-x86-64 wine wine64 xvfb xdotool x11-utils imagemagick python3
          cups printer-driver-cups-pdf poppler-utils clang-format clang-tidy
          qt6-base-dev qt6-qpa-plugins libqt6printsupport6 libqt6network6
          libx11-dev openbox trayer xclip dpkg-dev binutils desktop-file-utils strace gdb
          lintian appstream nsis zip unzip at-spi2-core python3-pyatspi gir1.2-atspi-2.0 dbus)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
