#!/usr/bin/env bash
# Writes the control map from the code (the native build's control_map), or with --check fails
# when the map and the code disagree. Either way the writer is first brought up to date with the
# code: an old build would write, or pass, the old map.
#   control-map.sh [--check] [MAP]   (MAP: docs/control-map.md)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

check=0
if [ "${1:-}" = --check ]; then
    check=1
    shift
fi
map="${1:-$ROOT/docs/control-map.md}"
native="$BUILD/native"
writer="$native/control_map"
log="$BUILD/control-map-build.log"
mkdir -p "$BUILD"
if [ -f "$native/CMakeCache.txt" ]; then
    build=(cmake --build "$native" -j "$(nproc 2>/dev/null || echo 2)" --target control_map)
else
    build=(bash "$ROOT/scripts/build.sh" native)
fi
if ! "${build[@]}" >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    die "the control map's writer did not build (log: $log)"
fi
if [ $check -eq 1 ]; then
    if "$writer" | diff -u --label "$map" --label "the code's map" "$map" -; then
        echo "control map: $map matches the code"
    else
        echo "error: $map is stale: bash scripts/control-map.sh writes it anew"
        exit 1
    fi
else
    "$writer" >"$map"
    say "wrote $map"
fi
