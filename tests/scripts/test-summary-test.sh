#!/usr/bin/env bash
# Tests of how scripts/test.sh counts its layers: its counting functions, taken from it, over
# planted layers and logs. Closes with "N passed, N failed".
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

say() { printf '== %s\n' "$*"; }
# The functions under test, as test.sh defines them.
eval "$(sed -n -E '/^(number_before|counts|layer|skip_layer|fail_with|finish)\(\) \{/,/^\}/p' "$root/scripts/test.sh")"
for function in number_before counts layer skip_layer fail_with finish; do
    declare -F "$function" >/dev/null || { echo "error: scripts/test.sh defines no $function()"; exit 1; }
done

passed=0
failed=0
# expect NAME TEXT OUTPUT: OUTPUT holds a line holding TEXT.
expect() {
    if grep -qF -- "$2" <<<"$3"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s: wanted "%s"; output:\n%s\n' "$1" "$2" "$3"
    fi
}
# A fresh summary, as test.sh starts one.
start() {
    LOGS="$work/logs"
    rm -rf "$LOGS" && mkdir -p "$LOGS"
    STARTED=$(date +%s)
    SUMMARY=()
    TOTAL_PASSED=0
    TOTAL_FAILED=0
    TOTAL_SKIPPED=0
    SKIPPED_LAYERS=0
    FAILED_LAYERS=0
}
junit() {
    printf '<?xml version="1.0"?>\n<testsuite name="Test" tests="%s" failures="%s" disabled="0" skipped="%s" hostname="">\n</testsuite>\n' "$1" "$2" "$3" >"$LAYER_JUNIT"
}

start
layer ctest junit 12 1 2 >/dev/null
layer script echo "7 passed, 0 failed" >/dev/null
layer check true >/dev/null
out="$(skip_layer e2e-i686 "no 32-bit Wine"; finish)"
expect "a JUnit report" "ctest                ok         9 passed   1 failed   2 skipped" "$out"
expect "a script's closing line" "script               ok         7 passed   0 failed   0 skipped" "$out"
expect "a check without counts" "check                ok         1 passed" "$out"
# A skipped layer holds tests that were never listed: counting it as one skipped test would
# pass for a count.
expect "a skipped layer" "e2e-i686             skipped   the whole layer, its tests uncounted  (no 32-bit Wine)" "$out"
expect "the total" "total: 17 passed, 1 failed, 2 skipped, 1 layers skipped" "$out"

start
out="$(layer one true >/dev/null; finish)"
expect "no layer skipped" "total: 1 passed, 0 failed, 0 skipped" "$out"
grep -q "layers skipped" <<<"$out" && { failed=$((failed + 1)); echo "FAIL no layer skipped: $out"; } || passed=$((passed + 1))

start
out="$(LUMORA_REQUIRE_I686=1 skip_layer e2e-i686 "no 32-bit Wine" >/dev/null; finish)"
expect "a skip that must not be" "total: 0 passed, 1 failed, 0 skipped" "$out"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
