# The layers of the test run: running one with its log, its counts, its summary line, and the
# total. Sourced by scripts/test.sh (and by the tests of these rules), not run.
#
# A layer's counts come from its JUnit report when it wrote one, else from the closing
# "N passed, N failed" line of its log; a layer without either counts as one test. A layer of
# tests in which no test passed has failed. IN_VM, when set, makes each layer leave its status and
# time in build/test-logs/NAME.result for the host that started the guest.

LOGS="$BUILD/test-logs"
mkdir -p "$LOGS"
STARTED=$(date +%s)
SUMMARY=()
TOTAL_PASSED=0
TOTAL_FAILED=0
TOTAL_SKIPPED=0
SKIPPED_LAYERS=0
FAILED_LAYERS=0
IN_VM="${IN_VM:-}"

# The number written just before WORDS in a line: number_before WORDS LINE; 0 when there is none.
number_before() {
    local n
    n="$(grep -oE "[0-9]+ $1" <<<"$2" | grep -oE '^[0-9]+' || true)"
    echo "${n:-0}"
}

# Counts of a layer: "P F S". From its JUnit report when it wrote one: the tests, failures,
# errors and skips of every testsuite element, summed (CTest writes one, GoogleTest one per test
# suite); else from a script's closing line in its log ("N passed, N failed[, N skipped]"); empty
# when there is neither.
counts() {
    local log="$1" junit="$2" line
    if [ -s "$junit" ]; then
        line="$(tr '\n\t' '  ' <"$junit" | grep -oE '<testsuite [^>]*>' | awk '
            function attribute(name,   m) { return match($0, " " name "=\"[0-9]+\"") ? substr($0, RSTART + length(name) + 3, RLENGTH - length(name) - 4) + 0 : 0 }
            { suites++; n += attribute("tests"); f += attribute("failures") + attribute("errors"); s += attribute("skipped") }
            END { if (suites) print n - f - s, f, s }')"
        if [ -n "$line" ]; then
            echo "$line"
            return
        fi
    fi
    line="$(grep -E '[0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1)"
    if [ -n "$line" ]; then
        echo "$(number_before passed "$line") $(number_before failed "$line") $(number_before skipped "$line")"
        return
    fi
    echo ""
}

# Runs a layer: layer NAME COMMAND...
layer() {
    local name="$1"
    shift
    local log="$LOGS/$name.log" start status
    start=$(date +%s)
    say "layer $name"
    # Where a layer that runs tests writes its JUnit report (ctest_args, run_wine_tests).
    LAYER_JUNIT="$LOGS/$name.xml"
    rm -f "$LAYER_JUNIT" "$LOGS/$name.result"
    "$@" >"$log" 2>&1 </dev/null
    status=$?
    record "$name" "$status" "$(($(date +%s) - start))" ""
    # Inside the guest, the host reads each layer's end from here.
    [ -z "$IN_VM" ] || echo "$status $(($(date +%s) - start))" >"$LOGS/$name.result"
}

# The summary line of a layer that ended: record NAME STATUS SECONDS WHERE; WHERE, when not empty,
# says where it ran.
record() {
    local name="$1" status="$2" seconds="$3" where="$4"
    local log="$LOGS/$name.log" c p=0 f=0 s=0 note=""
    c="$(counts "$log" "$LOGS/$name.xml")"
    # A layer without counts of its own (a build, a check) counts as one test. A layer of tests
    # in which none passed proved nothing: it failed, whatever its exit status.
    if [ -n "$c" ]; then
        read -r p f s <<<"$c"
        # A run that reported failures failed, whatever it exited with.
        [ "$f" -eq 0 ] || status=1
        if [ "$p" -eq 0 ] && [ "$status" -eq 0 ]; then
            status=1
            note="no test passed; "
            echo "error: no test of the layer passed ($f failed, $s skipped)" >>"$log"
        fi
    elif [ "$status" -eq 0 ]; then
        p=1
    fi
    [ -z "$where" ] || where="$where; "
    if [ "$status" -ne 0 ]; then
        FAILED_LAYERS=$((FAILED_LAYERS + 1))
        [ "$f" -gt 0 ] || f=1
        tail -n 60 "$log" 2>/dev/null
        SUMMARY+=("$(printf '%-22s FAILED  %4s passed %3s failed %3s skipped  %4ss  (%s%s%s)' "$name" "$p" "$f" "$s" "$seconds" "$where" "$note" "$log")")
    elif [ -n "$where" ]; then
        SUMMARY+=("$(printf '%-22s ok      %4s passed %3s failed %3s skipped  %4ss  (%s)' "$name" "$p" "$f" "$s" "$seconds" "${where%; }")")
    else
        SUMMARY+=("$(printf '%-22s ok      %4s passed %3s failed %3s skipped  %4ss' "$name" "$p" "$f" "$s" "$seconds")")
    fi
    TOTAL_PASSED=$((TOTAL_PASSED + p))
    TOTAL_FAILED=$((TOTAL_FAILED + f))
    TOTAL_SKIPPED=$((TOTAL_SKIPPED + s))
}

# A layer that did not run: skip_layer NAME REASON (only LUMORA_NO_VM=1 asks for that). Its
# tests are not listed, so none is counted: it counts as one skipped layer, apart from the tests.
skip_layer() {
    local name="$1" why="$2"
    say "layer $name: skipped"
    SUMMARY+=("$(printf '%-22s skipped   the whole layer, its tests uncounted  (%s)' "$name" "$why")")
    SKIPPED_LAYERS=$((SKIPPED_LAYERS + 1))
}

# A layer that could not run here: it fails with the reason.
fail_layer() {
    local name="$1" why="$2"
    say "layer $name: cannot run"
    printf '%s\n' "$why" >"$LOGS/$name.log"
    rm -f "$LOGS/$name.xml"
    record "$name" 1 0 ""
}
fail_with() {
    echo "$1"
    return 1
}

finish() {
    echo
    say "summary"
    local line
    for line in "${SUMMARY[@]}"; do echo "  $line"; done
    echo "in $(($(date +%s) - STARTED)) s"
    local layers=""
    [ $SKIPPED_LAYERS -eq 0 ] || layers=", $SKIPPED_LAYERS layers skipped"
    echo "total: $TOTAL_PASSED passed, $TOTAL_FAILED failed, $TOTAL_SKIPPED skipped$layers"
    [ $FAILED_LAYERS -eq 0 ] && [ $TOTAL_FAILED -eq 0 ]
}
