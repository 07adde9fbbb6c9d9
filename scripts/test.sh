#!/usr/bin/env bash
# Runs every test layer: installs what is missing, builds, then the native unit tests, the
# Windows 98 import check, and for each flavour (the x86_64 build under 64-bit Wine, the i686
# release under 32-bit Wine, each in prefixes of its own) the adapter tests under Wine, the
# end-to-end tests under Wine and Xvfb, the restart check and screenshots of the seven pages
# (build/test-logs/screenshots/FLAVOUR/); then the Windows 98 layers, in prefixes where Wine
# reports Windows 98. Prints one line per layer and a total; exits non-zero when anything failed.
#
# A layer is one line at the bottom: `layer NAME COMMAND...`. The command's output goes to
# build/test-logs/NAME.log (shown when it fails); its exit status decides the layer, and a
# closing "N passed, N failed" or ctest summary line gives its counts.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

LOGS="$BUILD/test-logs"
mkdir -p "$LOGS"
STARTED=$(date +%s)
SUMMARY=()
TOTAL_PASSED=0
TOTAL_FAILED=0
TOTAL_SKIPPED=0
FAILED_LAYERS=0

# The number written just before WORDS in a line: number_before WORDS LINE; 0 when there is none.
number_before() {
    local n
    n="$(grep -oE "[0-9]+ $1" <<<"$2" | grep -oE '^[0-9]+' || true)"
    echo "${n:-0}"
}

# Counts from a log: "P F S", from our harness's closing line ("N passed, N failed[, N skipped]")
# or ctest's ("N% tests passed, N tests failed out of N", skips counted from their own lines).
counts() {
    local log="$1" line
    line="$(grep -E '[0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1)"
    if [ -n "$line" ]; then
        echo "$(number_before passed "$line") $(number_before failed "$line") $(number_before skipped "$line")"
        return
    fi
    line="$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)"
    if [ -n "$line" ]; then
        local f n s
        f="$(number_before 'tests failed' "$line")"
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
        SUMMARY+=("$(printf '%-20s FAILED  %4s passed %3s failed %3s skipped  %4ss  (%s)' "$name" "$p" "$f" "$s" "$seconds" "$log")")
    else
        SUMMARY+=("$(printf '%-20s ok      %4s passed %3s failed %3s skipped  %4ss' "$name" "$p" "$f" "$s" "$seconds")")
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
    echo "total: $TOTAL_PASSED passed, $TOTAL_FAILED failed, $TOTAL_SKIPPED skipped in $(($(date +%s) - STARTED))s"
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

# The release's code: i486 instructions only, and a runtime rebuilt for the i486.
run_i486() {
    bash "$ROOT/tools/check-i486.sh" "$BUILD/i686/lumora-manager.exe"
}

# Why the i686 layers cannot run here; empty when they can.
I386_MISSING="$(can_run_i386)"

# The adapter and end-to-end layers of a flavour and Windows version (nt, win98) share one
# fresh prefix; all of them share one private X display.
PREFIXES=()
wine_prefix() {
    local flavour="$1" winver="$2" dir="$BUILD/test-prefix-$1-$2" ready
    export WINEPREFIX="$dir"
    for ready in "${PREFIXES[@]}"; do [ "$ready" = "$dir" ] && return 0; done
    stop_wine
    rm -rf "$dir"
    local options
    mapfile -t options < <(prefix_options "$flavour" "$winver")
    bash "$ROOT/scripts/prefix.sh" "${options[@]}" "$dir" || return 1
    PREFIXES+=("$dir")
    [ -n "$XVFB_PID" ] || start_xvfb
}

# Runs a Wine test program of a flavour: run_wine_tests FLAVOUR WINVER PROGRAM [TEST...]. In
# the Windows 98 prefixes the standard error of the programs the tests start (and so Wine's
# trace of them) goes to build/test-logs/PROGRAM-win98-FLAVOUR.trace, named by LUMORA_TRACE.
run_wine_tests() {
    local flavour="$1" winver="$2" program="$BUILD/$1/tests/wine/$3"
    shift 3
    if [ "$flavour" = i686 ] && [ -n "$I386_MISSING" ]; then
        echo "$I386_MISSING"
        return 1
    fi
    wine_prefix "$flavour" "$winver" || return 1
    local wine
    wine="$(wine_loader "$flavour")"
    if [ "$winver" = win98 ]; then
        local trace
        trace="$LOGS/$(basename "$program" .exe)-win98-$flavour.trace"
        : >"$trace"
        LUMORA_TRACE="$(win_path "$trace")" timeout 900 "$wine" "$program" "$@" 2>>"$trace"
    else
        timeout 900 "$wine" "$program" "$@"
    fi
}

cleanup() {
    local dir
    for dir in "${PREFIXES[@]}"; do WINEPREFIX="$dir" stop_wine; done
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
layer i486 run_i486
layer i486-check bash "$ROOT/tests/tools/check-i486-test.sh"
layer runtime-cache bash "$ROOT/tests/tools/runtime-cache-test.sh"
[ -z "$I386_MISSING" ] || printf 'error: %s: the i686 layers fail\n' "$I386_MISSING"
for flavour in x86_64 i686; do
    short="${flavour/x86_64/x64}"
    layer "adapters-$short" run_wine_tests "$flavour" nt adapter_tests.exe
    layer "e2e-$short" run_wine_tests "$flavour" nt e2e_tests.exe
    layer "restart-$short" bash "$ROOT/scripts/e2e-restart.sh" "$flavour"
    layer "shots-$short" bash "$ROOT/scripts/screenshots.sh" "$flavour"
done
# Windows 98 mode: the adapter tests written for it (named Win98...); every end-to-end test for
# the release, those written for the mode for the x86_64 build; the restart and screenshots.
for flavour in x86_64 i686; do
    short="${flavour/x86_64/x64}"
    only=(Win98)
    [ "$flavour" = i686 ] && only=()
    layer "adapters-win98-$short" run_wine_tests "$flavour" win98 adapter_tests.exe Win98
    layer "e2e-win98-$short" run_wine_tests "$flavour" win98 e2e_tests.exe "${only[@]}"
    LUMORA_WINVER=win98 layer "restart-win98-$short" bash "$ROOT/scripts/e2e-restart.sh" "$flavour"
    LUMORA_WINVER=win98 layer "shots-win98-$short" bash "$ROOT/scripts/screenshots.sh" "$flavour"
done

finish
