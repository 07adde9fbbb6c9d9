#!/usr/bin/env bash
# Runs every test layer: installs what is missing, builds, then the native unit tests, the
# Windows 98 import check, the adapter tests under Wine and the end-to-end tests under Wine and
# Xvfb, and screenshots of the seven pages (build/test-logs/screenshots/). Prints one line per
# layer and a total; exits non-zero when anything failed.
#
# A layer is one line at the bottom: `layer NAME COMMAND...`. The command's output goes to
# build/test-logs/NAME.log (shown when it fails); its exit status decides the layer, and a
# closing "N passed, N failed" or ctest summary line gives its counts.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

LOGS="$BUILD/test-logs"
mkdir -p "$LOGS"
SUMMARY=()
TOTAL_PASSED=0
TOTAL_FAILED=0
TOTAL_SKIPPED=0
FAILED_LAYERS=0

# Counts from a log: "P F S", from our harness's or ctest's closing line.
counts() {
    local log="$1" line
    line="$(grep -E '[0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1)"
    if [ -n "$line" ]; then
        local p f s
        p="$(grep -oE '[0-9]+ passed' <<<"$line" | grep -oE '[0-9]+')"
        f="$(grep -oE '[0-9]+ failed' <<<"$line" | grep -oE '[0-9]+')"
        s="$(grep -oE '[0-9]+ skipped' <<<"$line" | grep -oE '[0-9]+' || true)"
        echo "$p $f ${s:-0}"
        return
    fi
    line="$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)"
    if [ -n "$line" ]; then
        local f n s
        f="$(sed -E 's/.* ([0-9]+) tests failed out of.*/\1/' <<<"$line")"
        n="$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")"
        s="$(grep -cE '\*\*\*Skipped|Not Run' "$log" || true)"
        echo "$((n - f - s)) $f $s"
        return
    fi
    echo ""
}

layer() {
    local name="$1"
    shift
    local log="$LOGS/$name.log" start status
    start=$(date +%s)
    say "layer $name"
    "$@" >"$log" 2>&1 </dev/null
    status=$?
    local seconds=$(($(date +%s) - start))
    local c p=0 f=0 s=0
    c="$(counts "$log")"
    # A layer without counts of its own (a build, a check) counts as one test.
    if [ -n "$c" ]; then
        read -r p f s <<<"$c"
    elif [ $status -eq 0 ]; then
        p=1
    fi
    if [ $status -ne 0 ]; then
        FAILED_LAYERS=$((FAILED_LAYERS + 1))
        [ "$f" -gt 0 ] || f=1
        tail -n 60 "$log"
        SUMMARY+=("$(printf '%-10s FAILED  %4s passed %3s failed %3s skipped  %4ss  (%s)' "$name" "$p" "$f" "$s" "$seconds" "$log")")
    else
        SUMMARY+=("$(printf '%-10s ok      %4s passed %3s failed %3s skipped  %4ss' "$name" "$p" "$f" "$s" "$seconds")")
    fi
    TOTAL_PASSED=$((TOTAL_PASSED + p))
    TOTAL_FAILED=$((TOTAL_FAILED + f))
    TOTAL_SKIPPED=$((TOTAL_SKIPPED + s))
}

finish() {
    echo
    say "summary"
    local line
    for line in "${SUMMARY[@]}"; do echo "  $line"; done
    echo "total: $TOTAL_PASSED passed, $TOTAL_FAILED failed, $TOTAL_SKIPPED skipped"
    [ $FAILED_LAYERS -eq 0 ] && [ $TOTAL_FAILED -eq 0 ]
}

# --- what the layers run

run_unit() {
    ctest --test-dir "$BUILD/native" --output-on-failure -j "$(nproc 2>/dev/null || echo 2)" --timeout 120
}

# The unit tests again, built with the address and undefined-behaviour sanitizers.
run_sanitized() {
    cmake -S "$ROOT" -B "$BUILD/asan" -DCMAKE_BUILD_TYPE=Debug -DLUMORA_SANITIZE=ON >/dev/null &&
        cmake --build "$BUILD/asan" -j "$(nproc 2>/dev/null || echo 2)" --target unit_tests &&
        ctest --test-dir "$BUILD/asan" --output-on-failure -j "$(nproc 2>/dev/null || echo 2)" --timeout 300
}

# The performance-data fuzz target, a fixed number of inputs from its checked-in corpus.
run_fuzz() {
    LUMORA_FUZZ_BUILD="$BUILD/fuzz" sh "$ROOT/tests/fuzz/run-fuzz.sh" 20000
}

run_imports() {
    bash "$ROOT/tools/check-win98-imports.sh" "$BUILD/i686/lumora-manager.exe" --no-stubs
}

# The Wine layers share one fresh prefix and one private X display.
WINE_READY=0
wine_ready() {
    [ $WINE_READY -eq 1 ] && return 0
    export WINEPREFIX="$BUILD/test-prefix"
    stop_wine
    rm -rf "$WINEPREFIX"
    bash "$ROOT/scripts/prefix.sh" "$WINEPREFIX" || return 1
    start_xvfb || return 1
    WINE_READY=1
}

run_wine_program() {
    wine_ready || return 1
    timeout 900 "$WINE64" "$@"
}

cleanup() {
    [ $WINE_READY -eq 1 ] && stop_wine
    stop_xvfb
}
trap cleanup EXIT

# --- the run

bash "$ROOT/scripts/setup.sh" </dev/null || die "setup failed"
layer build bash "$ROOT/scripts/build.sh"
if [ $FAILED_LAYERS -ne 0 ]; then
    finish
    exit 1
fi

layer unit run_unit
layer sanitize run_sanitized
layer fuzz run_fuzz
layer imports run_imports
layer adapters run_wine_program "$BUILD/x86_64/tests/wine/adapter_tests.exe"
layer e2e run_wine_program "$BUILD/x86_64/tests/wine/e2e_tests.exe"
layer restart bash "$ROOT/scripts/e2e-restart.sh"
layer shots bash "$ROOT/scripts/screenshots.sh"

finish
