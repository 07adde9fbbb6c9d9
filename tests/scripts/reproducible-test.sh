#!/usr/bin/env bash
# Builds the program of a flavour's build folder (the release, build/i686, unless named) a second
# time, later and in another folder with the same settings, and fails unless both have the same
# bytes: nothing of the time or the place of a build may reach the program. Ends with
# "N passed, N failed".
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/common.sh"
flavour="${1:-i686}"
first="$BUILD/$flavour"
program=lumora-manager.exe
[ -f "$first/CMakeCache.txt" ] || die "no build in $first (bash scripts/build.sh $flavour)"
# The same settings as the first folder's: the toolchain, the runtime, the build type.
cached() { sed -n "s/^$1:[A-Z]*=//p" "$first/CMakeCache.txt"; }
args=()
for name in CMAKE_BUILD_TYPE CMAKE_TOOLCHAIN_FILE CMAKE_CROSSCOMPILING_EMULATOR LUMORA_RUNTIME; do
    value="$(cached "$name")"
    [ -z "$value" ] || args+=("-D$name=$value")
done
second="$(mktemp -d /tmp/lumora-reproducible.XXXXXX)"
trap 'rm -rf "$second"' EXIT
jobs="$(nproc 2>/dev/null || echo 2)"

started=$(date +%s)
cmake --build "$first" -j "$jobs" --target lumora-manager >/dev/null || die "the build in $first failed"
if ! cmake -S "$ROOT" -B "$second" "${args[@]}" >/dev/null ||
    ! cmake --build "$second" -j "$jobs" --target lumora-manager >/dev/null; then
    die "the build in $second failed"
fi
echo "built again in $second in $(($(date +%s) - started)) s"

if cmp -s "$first/$program" "$second/$program"; then
    echo "ok    $program: the same $(stat -c %s "$first/$program") bytes from $first and $second"
    echo "1 passed, 0 failed"
else
    echo "FAIL  $program differs between $first and $second, at these offsets (first bytes):"
    cmp -l "$first/$program" "$second/$program" | head -n 20
    echo "0 passed, 1 failed"
    exit 1
fi
