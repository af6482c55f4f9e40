#!/usr/bin/env bash
# Installs the Debian packages that building and testing Vossel need, and only
# those that are missing. Run as root (or with sudo available).
#
#   scripts/install-deps.sh            everything: native tests and the Windows build under Wine
#   scripts/install-deps.sh PKG...     only the given packages
set -eu

ALL_PACKAGES=(
    cmake g++ libgtest-dev googletest clang-format   # native build and unit tests
    clang libclang-rt-dev                            # fuzz targets (libFuzzer)
    g++-mingw-w64-x86-64                             # cross build of vossel.exe
    wine wine64                                      # running it
    fonts-wine fonts-liberation                      # Wine's own fonts, and Arial's stand-in
    xvfb xauth xdotool imagemagick                   # virtual screen, input, screenshots
    tigervnc-standalone-server x11-xserver-utils     # several monitors (an X server that RFB lays out, xrandr)
    nsis zip                                         # the installer and the portable zip
)
# The end-to-end tests' RFB client is a python3 script; any python3 serves.
command -v python3 >/dev/null || ALL_PACKAGES+=(python3)

if [ $# -gt 0 ]; then
    wanted=("$@")
else
    wanted=("${ALL_PACKAGES[@]}")
fi

missing=()
for pkg in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$pkg")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all ${#wanted[@]} packages present"
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "install-deps: need root to install: ${missing[*]}" >&2; exit 1; }
    SUDO=sudo
fi

echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
