#!/usr/bin/env bash
# Tests of how the test run counts its layers (scripts/layers.sh) over planted layers, reports and
# logs. Closes with "N passed, N failed".
set -uo pipefail
. "$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/common.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
. "$ROOT/scripts/layers.sh"

passed=0
failed=0
# expect NAME TEXT OUTPUT: OUTPUT holds a line holding TEXT, blanks squeezed.
expect() {
    if tr -s ' ' <<<"$3" | grep -qF -- "$2"; then
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
    SUMMARY=()
    TOTAL_PASSED=0 TOTAL_FAILED=0 TOTAL_SKIPPED=0 SKIPPED_LAYERS=0 FAILED_LAYERS=0
}
suite() { printf '<testsuite name="%s" tests="%s" failures="%s" errors="0" skipped="%s">\n' "$@"; }
# A layer that writes REPORT as its JUnit report and exits with STATUS.
report() { printf '%s\n' "$2" >"$LAYER_JUNIT" && return "$1"; }

start
layer ctest report 1 "$(suite Test 12 1 2)" >/dev/null
layer script echo "7 passed, 0 failed" >/dev/null
layer check true >/dev/null
out="$(skip_layer e2e-i686 "LUMORA_NO_VM=1"; finish)"
expect "a JUnit report" "ctest FAILED 9 passed 1 failed 2 skipped" "$out"
expect "a script's closing line" "script ok 7 passed 0 failed 0 skipped" "$out"
expect "a check without counts" "check ok 1 passed" "$out"
# A skipped layer holds tests that were never listed: counting it as one skipped test would
# pass for a count.
expect "a skipped layer" "e2e-i686 skipped the whole layer, its tests uncounted (LUMORA_NO_VM=1)" "$out"
expect "the total" "total: 17 passed, 1 failed, 2 skipped, 1 layers skipped" "$out"

start
out="$(layer one true >/dev/null; finish)"
expect "no layer skipped" "total: 1 passed, 0 failed, 0 skipped" "$out"
grep -q "layers skipped" <<<"$out" && { failed=$((failed + 1)); echo "FAIL no layer skipped: $out"; } || passed=$((passed + 1))

# Each of these once passed for a layer that proved nothing.
start
out="$(layer gtest report 0 "<testsuites>$(suite A 4 1 1)$(suite B 4 0 1)</testsuites>" >/dev/null
    layer skips report 0 "$(suite Win98 3 0 3)" >/dev/null
    layer empty report 0 "$(suite none 0 0 0)" >/dev/null
    finish)"
expect "GoogleTest's report, summed over its suites, with a failure and exit 0" "gtest FAILED 5 passed 1 failed 2 skipped" "$out"
expect "a layer whose tests were all skipped" "skips FAILED 0 passed 1 failed 3 skipped" "$out"
expect "a layer that ran no test" "empty FAILED 0 passed 1 failed 0 skipped" "$out"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
