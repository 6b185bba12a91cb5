#!/usr/bin/env bash
# Installs what building and testing need on Debian, skipping what is there.
set -euo pipefail

packages=(cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev
          g++-mingw-w64-x86-64 wine wine64 xvfb xdotool x11-utils imagemagick python3
          cups printer-driver-cups-pdf poppler-utils clang-format clang-tidy)
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
