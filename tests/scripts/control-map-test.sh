#!/usr/bin/env bash
# Tests of scripts/control-map.sh: stale maps planted beside the committed one, and a writer left
# older than the code. Closes with "N passed, N failed".
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
script="$root/scripts/control-map.sh"
map="$root/docs/control-map.md"
writer="$root/build/native/control_map"
work="$(mktemp -d)"
# A writer still planted when the test ends goes, so that the next build makes it again.
trap 'grep -q "^# planted" "$writer" 2>/dev/null && rm -f "$writer"; rm -rf "$work"' EXIT

passed=0
failed=0
# expect NAME STATUS TEXT ARGUMENT...: the script with the ARGUMENTs exits with STATUS and prints
# a line holding TEXT.
expect() {
    local name="$1" status="$2" text="$3" out got
    shift 3
    out="$(bash "$script" "$@" 2>&1)"
    got=$?
    if [ "$got" -eq "$status" ] && grep -qF -- "$text" <<<"$out"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s: exit %s, wanted %s and "%s"; output:\n%s\n' "$name" "$got" "$status" "$text" "$out"
    fi
}

cp "$map" "$work/map.md"
expect "the committed map" 0 "matches the code" --check "$work/map.md"
# Stale maps: a value renamed, a control gone, a field gone.
sed 's/"RAMIcon"/"RamIcon"/' "$map" >"$work/renamed.md"
expect "a stored value renamed" 1 'is stale' --check "$work/renamed.md"
grep -v '`CheckBox5`' "$map" >"$work/short.md"
expect "a control missing" 1 '+|  | `CheckBox5` |' --check "$work/short.md"
sed 's/`Agent.RamIconFlag`/(none)/' "$map" >"$work/field.md"
expect "a field missing" 1 '+|  | `CheckBox3` | Show available RAM level in the tray icon | `Agent.RamIconFlag`' \
    --check "$work/field.md"
expect "writing a map" 0 "wrote $work/written.md" "$work/written.md"
cmp -s "$work/written.md" "$map" && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL the map written differs"; }

# A writer older than the code, which would print a stale map: the script builds it again first.
if [ -x "$writer" ]; then
    printf '#!/bin/sh\n# planted\ncat "%s"\n' "$work/renamed.md" >"$writer"
    touch -d @0 "$writer"
    expect "a writer older than the code" 0 "matches the code" --check "$work/map.md"
    grep -q "^# planted" "$writer" && { failed=$((failed + 1)); echo "FAIL the old writer is still there"; } ||
        passed=$((passed + 1))
else
    failed=$((failed + 1))
    echo "FAIL no writer at $writer: build the native flavour first"
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
