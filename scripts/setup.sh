#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the screenshots need, only those
# missing (apt-get update runs once, and only when something is missing).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

PACKAGES=(
    cmake g++ googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
    mingw-w64 g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
    wine wine64 fonts-wine xvfb imagemagick xdotool
)

missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
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
$sudo apt-get update -q </dev/null
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
