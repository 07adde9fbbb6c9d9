#!/usr/bin/env bash
# Writes docs/control-map.md from the code (the native build's control_map), or with --check
# fails when the committed map and the code disagree.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

map="$ROOT/docs/control-map.md"
writer="$BUILD/native/control_map"
[ -x "$writer" ] || bash "$ROOT/scripts/build.sh" native >/dev/null
if [ "${1:-}" = --check ]; then
    if "$writer" | diff -u --label "$map" --label "the code's map" "$map" -; then
        echo "control map: docs/control-map.md matches the code"
    else
        echo "error: docs/control-map.md is stale: bash scripts/control-map.sh writes it anew"
        exit 1
    fi
else
    "$writer" >"$map"
    say "wrote $map"
fi
