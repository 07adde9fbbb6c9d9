#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the screenshots need, only those
# missing (apt-get update runs once, and only when something is missing). The i686 build, the
# release, runs under Debian's 32-bit Wine: the i386 architecture is added when it is not there.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

PACKAGES=(
    cmake g++ googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
    mingw-w64 g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
    wine wine64 fonts-wine xvfb imagemagick xdotool
    wine32:i386
    # Wine's X11 driver loads these when it starts; the 64-bit ones come with the packages
    # above, and without the 32-bit ones the i686 build would draw and take input differently.
    libxrender1:i386 libxcursor1:i386 libxi6:i386 libxrandr2:i386 libxcomposite1:i386
    libxfixes3:i386 libxinerama1:i386 libxxf86vm1:i386
)

add_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || add_i386=1
missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ] && [ $add_i386 -eq 0 ]; then
    say "packages present"
    exit 0
fi

say "installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || die "not root and no sudo: install ${missing[*]} by hand"
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
if [ $add_i386 -eq 1 ]; then
    say "adding the i386 architecture"
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -q </dev/null
[ ${#missing[@]} -eq 0 ] || $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
