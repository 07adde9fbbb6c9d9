#!/usr/bin/env bash
# Runs every test layer: installs what is missing, builds, then the native unit tests, the
# import checks against Windows 98 SE and Windows 95, and for each flavour (the x86_64 build under 64-bit Wine, the i686
# release under 32-bit Wine, each in prefixes of its own) the adapter tests under Wine, the
# end-to-end tests under Wine and Xvfb, the restart check and screenshots of the seven pages
# (build/test-logs/screenshots/FLAVOUR/, and at 120 dpi in FLAVOUR-dpi120/); then the Windows 98 layers, in prefixes where Wine
# reports Windows 98. Prints one line per layer and a total; exits non-zero when anything failed.
#
# Where this machine cannot run 32-bit x86 code, or the 32-bit Wine could not be installed, the
# eight layers that run the i686 release are skipped with the reason, once at the top and in
# each one's line; the i686 build and the checks that read it still run. LUMORA_REQUIRE_I686=1
# makes those skips failures, for a release made on a machine that can run them.
#
# A layer is one line at the bottom: `layer NAME COMMAND...`. The command's output goes to
# build/test-logs/NAME.log (shown when it fails); its exit status decides the layer. A layer that
# runs CTest (the unit tests, and every layer of tests under Wine) writes CTest's JUnit report to
# build/test-logs/NAME.xml, which gives its counts; a script's closing "N passed, N failed" line
# gives those of the others.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

LOGS="$BUILD/test-logs"
mkdir -p "$LOGS"
STARTED=$(date +%s)
SUMMARY=()
TOTAL_PASSED=0
TOTAL_FAILED=0
TOTAL_SKIPPED=0
SKIPPED_LAYERS=0
FAILED_LAYERS=0
I386_MISSING=""

# The number written just before WORDS in a line: number_before WORDS LINE; 0 when there is none.
number_before() {
    local n
    n="$(grep -oE "[0-9]+ $1" <<<"$2" | grep -oE '^[0-9]+' || true)"
    echo "${n:-0}"
}

# Counts of a layer: "P F S". From CTest's JUnit report when the layer wrote one (the tests,
# failures and skips of its testsuite element), else from a script's closing line in its log
# ("N passed, N failed[, N skipped]"); empty when there is neither.
counts() {
    local log="$1" junit="$2" line
    if [ -s "$junit" ]; then
        line="$(tr '\n\t' '  ' <"$junit" | grep -m 1 -oE '<testsuite [^>]*>')"
        local n f s
        n="$(sed -nE 's/.* tests="([0-9]+)".*/\1/p' <<<"$line")"
        f="$(sed -nE 's/.* failures="([0-9]+)".*/\1/p' <<<"$line")"
        s="$(sed -nE 's/.* skipped="([0-9]+)".*/\1/p' <<<"$line")"
        if [ -n "$n" ] && [ -n "$f" ] && [ -n "$s" ]; then
            echo "$((n - f - s)) $f $s"
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

layer() {
    local name="$1"
    shift
    local log="$LOGS/$name.log" start status
    start=$(date +%s)
    say "layer $name"
    # Where a layer that runs CTest writes its JUnit report (ctest_args).
    LAYER_JUNIT="$LOGS/$name.xml"
    rm -f "$LAYER_JUNIT"
    "$@" >"$log" 2>&1 </dev/null
    status=$?
    local seconds=$(($(date +%s) - start))
    local c p=0 f=0 s=0
    c="$(counts "$log" "$LAYER_JUNIT")"
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

# A layer that cannot run on this machine: skip_layer NAME REASON. Its tests are not listed, so
# none is counted: it counts as one skipped layer, apart from the tests, or, with
# LUMORA_REQUIRE_I686=1, as one failed test.
skip_layer() {
    local name="$1" why="$2"
    if [ "${LUMORA_REQUIRE_I686:-}" = 1 ]; then
        layer "$name" fail_with "$why (LUMORA_REQUIRE_I686=1)"
        return
    fi
    say "layer $name: skipped"
    SUMMARY+=("$(printf '%-20s skipped   the whole layer, its tests uncounted  (%s)' "$name" "$why")")
    SKIPPED_LAYERS=$((SKIPPED_LAYERS + 1))
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

# --- what the layers run

# The arguments every CTest run of a layer takes: a build folder's tests, each one's output shown
# when it fails, none found a failure, and the JUnit report the layer's counts come from.
ctest_args() {
    printf '%s\n' --test-dir "$1" --output-on-failure --no-tests=error --output-junit "$LAYER_JUNIT"
}

run_unit() {
    local args
    mapfile -t args < <(ctest_args "$BUILD/native")
    ctest "${args[@]}" -j "$(nproc 2>/dev/null || echo 2)" --timeout 120
}

# The unit tests again, built with the address and undefined-behaviour sanitizers.
run_sanitized() {
    local args
    cmake -S "$ROOT" -B "$BUILD/asan" -DCMAKE_BUILD_TYPE=Debug -DLUMORA_SANITIZE=ON >/dev/null &&
        cmake --build "$BUILD/asan" -j "$(nproc 2>/dev/null || echo 2)" --target unit_tests &&
        mapfile -t args < <(ctest_args "$BUILD/asan") &&
        ctest "${args[@]}" -j "$(nproc 2>/dev/null || echo 2)" --timeout 300
}

# The performance-data fuzz target, a fixed number of inputs from its checked-in corpus.
run_fuzz() {
    LUMORA_FUZZ_BUILD="$BUILD/fuzz" sh "$ROOT/tests/fuzz/run-fuzz.sh" 20000
}

run_imports() {
    bash "$ROOT/tools/check-win98-imports.sh" "$BUILD/i686/lumora-manager.exe" --no-stubs
}

# Windows 95 as it ships; its MSVCRT.DLL comes from elsewhere, as README's requirements say.
run_imports_win95() {
    bash "$ROOT/tools/check-win98-imports.sh" "$BUILD/i686/lumora-manager.exe" --no-stubs --win95
}

# The release's code: i486 instructions only, and a runtime rebuilt for the i486.
run_i486() {
    bash "$ROOT/tools/check-i486.sh" "$BUILD/i686/lumora-manager.exe"
}

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

# Runs the tests of one Wine test program of a flavour, each a CTest test under the flavour's
# Wine loader: run_wine_tests FLAVOUR WINVER PROGRAM [NAME]; PROGRAM is adapter_tests or
# e2e_tests (the CTest label of its tests), NAME keeps only the tests whose names (after the
# suite's) start with it. In the Windows 98 prefixes the standard error of the programs the tests
# start (and so Wine's trace of them) goes to build/test-logs/PROGRAM-win98-FLAVOUR.trace, which
# LUMORA_TRACE names to the tests (tests/wine/wine-run.sh sends it there).
run_wine_tests() {
    local flavour="$1" winver="$2" program="$3" only="${4:-}"
    wine_prefix "$flavour" "$winver" || return 1
    local args
    mapfile -t args < <(ctest_args "$BUILD/$flavour")
    args+=(-L "^$program\$")
    [ -z "$only" ] || args+=(-R "\\.$only")
    # Each test is a process of its own. A command prompt idles in the prefix while they run, until
    # its input (a pipe that a sleep holds open) ends, so that the prefix's server and services stay
    # up between the tests as they did when one program ran them all; without it each test waits
    # for them to start again, some 5 s. They are up before CTest starts: a process that starts
    # them hands them its output, and CTest waits until a test's or a listing's output closes.
    local wine hold keeper writer status
    wine="$(wine_loader "$flavour")"
    hold="$(mktemp -u "$BUILD/.wine-hold.XXXXXX")"
    mkfifo "$hold" || return 1
    "$wine" cmd /c pause <"$hold" >/dev/null 2>&1 &
    keeper=$!
    sleep 86400 >"$hold" &
    writer=$!
    "$wine" cmd /c exit </dev/null >/dev/null 2>&1
    if [ "$winver" = win98 ]; then
        local trace="$LOGS/$program-win98-$flavour.trace"
        : >"$trace"
        LUMORA_TRACE="$(win_path "$trace")" LUMORA_TRACE_FILE="$trace" ctest "${args[@]}"
    else
        ctest "${args[@]}"
    fi
    status=$?
    kill "$writer"
    wait "$writer" "$keeper" 2>/dev/null
    rm -f "$hold"
    return $status
}

cleanup() {
    local dir
    for dir in "${PREFIXES[@]}"; do WINEPREFIX="$dir" stop_wine; done
    stop_xvfb
}
trap cleanup EXIT

# --- the run

# The set-up's own lines (an index left out, a package that could not be had) are shown here;
# a failed set-up fails the run, but every layer that can still run does.
say "set-up"
bash "$ROOT/scripts/setup.sh" </dev/null 2>&1 | tee "$LOGS/setup.log"
[ "${PIPESTATUS[0]}" -eq 0 ] || layer setup fail_with "the set-up failed: see $LOGS/setup.log"

# Why the i686 runtime layers cannot run here (this kernel, or no 32-bit Wine); empty when they
# can. The i686 build and every check that reads it run all the same.
I386_MISSING="$(can_run_i386)"
if [ -n "$I386_MISSING" ]; then
    if [ "${LUMORA_REQUIRE_I686:-}" = 1 ]; then
        say "the i686 runtime layers fail: $I386_MISSING"
    else
        say "the i686 runtime layers are skipped: $I386_MISSING"
    fi
fi

layer build bash "$ROOT/scripts/build.sh"
if [ $FAILED_LAYERS -ne 0 ]; then
    finish
    exit 1
fi

layer unit run_unit
layer sanitize run_sanitized
layer fuzz run_fuzz
layer imports run_imports
layer imports-win95 run_imports_win95
layer scripts bash "$ROOT/tests/scripts/setup-test.sh"
layer import-check bash "$ROOT/tests/scripts/check-imports-test.sh"
layer i486 run_i486
layer i486-check bash "$ROOT/tests/scripts/check-i486-test.sh"
layer runtime-cache bash "$ROOT/tests/scripts/runtime-cache-test.sh"
layer layers bash "$ROOT/tools/check-layers.sh"
layer layers-check bash "$ROOT/tests/scripts/check-layers-test.sh"
layer format bash "$ROOT/tools/check-format.sh"
layer format-check bash "$ROOT/tests/scripts/check-format-test.sh"
layer gtest-run-check bash "$ROOT/tests/scripts/gtest-run-test.sh"
layer summary-check bash "$ROOT/tests/scripts/test-summary-test.sh"
layer bench-check bash "$ROOT/tests/scripts/bench-test.sh"
layer control-map bash "$ROOT/scripts/control-map.sh" --check
layer control-map-check bash "$ROOT/tests/scripts/control-map-test.sh"

# A layer of a flavour's programs under Wine: flavour_layer FLAVOUR NAME COMMAND...
flavour_layer() {
    local flavour="$1" name="$2"
    shift 2
    if [ "$flavour" = i686 ] && [ -n "$I386_MISSING" ]; then
        skip_layer "$name" "$I386_MISSING"
    else
        layer "$name" "$@"
    fi
}
for flavour in x86_64 i686; do
    short="${flavour/x86_64/x64}"
    flavour_layer "$flavour" "adapters-$short" run_wine_tests "$flavour" nt adapter_tests
    flavour_layer "$flavour" "e2e-$short" run_wine_tests "$flavour" nt e2e_tests
    flavour_layer "$flavour" "restart-$short" bash "$ROOT/scripts/e2e-restart.sh" "$flavour"
    flavour_layer "$flavour" "shots-$short" bash "$ROOT/scripts/screenshots.sh" "$flavour"
done
# Windows 98 mode: the adapter tests written for it (named Win98...); every end-to-end test for
# the release, those written for the mode and those of the window's DPI (LargeFonts...) for the
# x86_64 build; the restart and screenshots.
for flavour in x86_64 i686; do
    short="${flavour/x86_64/x64}"
    only='(Win98|LargeFonts)'
    [ "$flavour" = i686 ] && only=""
    flavour_layer "$flavour" "adapters-win98-$short" run_wine_tests "$flavour" win98 adapter_tests Win98
    flavour_layer "$flavour" "e2e-win98-$short" run_wine_tests "$flavour" win98 e2e_tests "$only"
    LUMORA_WINVER=win98 flavour_layer "$flavour" "restart-win98-$short" bash "$ROOT/scripts/e2e-restart.sh" "$flavour"
    LUMORA_WINVER=win98 flavour_layer "$flavour" "shots-win98-$short" bash "$ROOT/scripts/screenshots.sh" "$flavour"
done

finish
