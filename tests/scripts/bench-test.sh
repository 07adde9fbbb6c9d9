#!/usr/bin/env bash
# Tests of the benchmark's figures and verdicts (bench/lib.sh): a figure the bench did not get,
# from a process that had ended or a row that is missing, reads "no data", never "met".
# Closes with "N passed, N failed".
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
. "$root/bench/lib.sh"

passed=0
failed=0
# expect NAME WANTED GOT
expect() {
    if [ "$2" = "$3" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s: wanted "%s", got "%s"\n' "$1" "$2" "$3"
    fi
}

# A process that has ended, and one that runs.
sh -c 'exit 0' &
ended=$!
wait "$ended"
sleep 30 &
running=$!
trap 'kill "$running" 2>/dev/null' EXIT

expect "met under the target" met "$(met 1.05 1.10)"
expect "met at the target" met "$(met 2048 2048)"
expect "missed above it" missed "$(met 1.2 1.10)"
expect "a negative growth" met "$(met -12 64)"
expect "no figure" "no data" "$(met - 1.10)"
expect "an empty figure" "no data" "$(met "" 1.10)"
expect "a word" "no data" "$(met missing 20)"
expect "a difference" 3 "$(minus 5 2)"
expect "a difference from no figure" - "$(minus - 2)"
expect "a difference to no figure" - "$(minus 5 "")"
expect "a spread" "1.050 (1.025-1.075)" "$(spread "$(printf '1\n1.05\n1.1\n' | quantiles)" 3)"
expect "a spread of nothing" "no data" "$(spread "$(quantiles </dev/null)" 3)"

# The faults these guard against: an ended process gave 0 CPU ticks and no memory, and its
# differences came out at or below 0, which read "met".
expect "CPU ticks of an ended process" - "$(cpu_ticks "$ended")"
expect "memory of an ended process" "- -" "$(memory_kib "$ended")"
is_number "$(cpu_ticks "$running")" && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL CPU ticks of a running process"; }
read -r rss anon <<<"$(memory_kib "$running")"
is_number "$rss" && is_number "$anon" && passed=$((passed + 1)) ||
    { failed=$((failed + 1)); echo "FAIL memory of a running process: $rss $anon"; }
expect "CPU growth of an ended process" "no data" "$(met "$(minus "$(cpu_ticks "$ended")" 0)" 0.2)"
read -r rss _ <<<"$(memory_kib "$ended")"
expect "memory above the bare window of an ended process" "no data" "$(met "$(minus "$rss" 4000)" 2048)"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
