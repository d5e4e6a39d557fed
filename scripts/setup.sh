#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Vorlane
# need. Only missing packages are installed; when all are there, apt is not
# called at all.
set -euo pipefail

packages=(
    cmake make g++ googletest libgtest-dev          # build, native tests
    clang-format                                     # the code's one format (.clang-format)
    g++-mingw-w64-i686-posix mingw-w64-tools         # the Windows cross-compiler
    wine wine32:i386 fonts-wine                      # run and test under Wine
    xvfb xauth xdotool x11-utils imagemagick         # a display, input, screenshots
    python3-gi gir1.2-gtk-3.0                        # the drag source of the end-to-end tests
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "setup: these packages are missing and I am not root: ${missing[*]}" >&2; exit 1; }
    as_root=(sudo)
fi
echo "setup: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${as_root[@]}" dpkg --add-architecture i386
fi
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
