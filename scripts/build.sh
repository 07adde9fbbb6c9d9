#!/usr/bin/env bash
# Builds the native tests (build/native) and the two Windows flavours (build/i686, the
# release for Windows 9x and NT; build/x86_64, the one Wine runs here).
# Arguments pick flavours (native, i686, x86_64); none builds all three. The i686 flavour links
# the runtime rebuilt for the i486 (scripts/runtime.sh), which a machine builds once.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

jobs="$(nproc 2>/dev/null || echo 4)"
flavours=("$@")
[ ${#flavours[@]} -gt 0 ] || flavours=(native i686 x86_64)

for flavour in "${flavours[@]}"; do
    case "$flavour" in
    native) args=(-DCMAKE_BUILD_TYPE=Debug) ;;
    i686 | x86_64)
        args=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_TOOLCHAIN_FILE=$ROOT/cmake/mingw-$flavour.cmake"
            "-DCMAKE_CROSSCOMPILING_EMULATOR=$(wine_loader "$flavour")")
        ;;
    *) die "unknown flavour $flavour (native, i686, x86_64)" ;;
    esac
    if [ "$flavour" = i686 ]; then
        runtime="$(bash "$ROOT/scripts/runtime.sh")" || die "no i486 runtime for the i686 build"
        args+=("-DLUMORA_RUNTIME=$runtime")
    fi
    say "building $flavour"
    cmake -S "$ROOT" -B "$BUILD/$flavour" "${args[@]}" >/dev/null
    cmake --build "$BUILD/$flavour" -j "$jobs"
done
