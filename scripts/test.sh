#!/usr/bin/env bash
# Runs every test layer: installs what is missing, builds, then the native unit tests, the
# import checks against Windows 98 SE and Windows 95, and for each flavour (the x86_64 build under 64-bit Wine, the i686
# release under 32-bit Wine, each in prefixes of its own) the adapter tests under Wine, the
# end-to-end tests under Wine and Xvfb, the restart check and screenshots of the seven pages
# (build/test-logs/screenshots/FLAVOUR/, and at 120 dpi in FLAVOUR-dpi120/), first in prefixes
# where Wine reports the NT family, then Windows 98. Prints one line per layer and a total; exits
# non-zero when anything failed.
#
# The i686 release runs on every machine. Where the kernel runs 32-bit x86 code, its layers run
# natively under this machine's Wine, and its Windows 98 layers also in the test guest (a Debian 13
# virtual machine with Wine 10, scripts/guest.sh), whose Wine carries the 16-bit thunk's answer.
# Where the kernel refuses 32-bit code, all its layers run in the guest. LUMORA_VM=1 sends them
# all to the guest anywhere; LUMORA_NO_VM=1 skips the guest's layers for a quick local run, and
# says so on each of their lines. Any other reason the release cannot run (no 32-bit Wine where
# the kernel could run it, a build folder the probe cannot run from, no guest) fails its layers.
#
# A layer is one line at the bottom: `layer NAME COMMAND...`. The command's output goes to
# build/test-logs/NAME.log (shown when it fails); its exit status decides the layer. A layer that
# runs tests writes a JUnit report to build/test-logs/NAME.xml (CTest's, or in the guest
# GoogleTest's own), which gives its counts; a script's closing "N passed, N failed" line
# gives those of the others. A layer of tests in which no test passed has failed.
#
#   test.sh                     every layer
#   test.sh --in-vm SET SUFFIX  inside the test guest: the i686 layers of SET (all, win98), each
#                               named with SUFFIX, each leaving build/test-logs/NAME.result
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

. "$ROOT/scripts/layers.sh"

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
    local flavour="$1" winver="$2" dir="$PREFIX_ROOT/test-prefix-$1-$2" ready
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

# Runs the tests of one Wine test program of a flavour: run_wine_tests FLAVOUR WINVER PROGRAM
# [NAME...]; PROGRAM is adapter_tests or e2e_tests, each NAME keeps the tests whose names (after
# the suite's) start with it; without one, a layer leaves out the tests named for the other
# platform: the NT layers the Win98... tests, the Windows 98 layers the Nt... ones. Natively each test is a CTest test under the flavour's Wine loader
# (selected by its label, PROGRAM); in the guest, where a process start costs seconds, the
# program runs once over all of them with GoogleTest's own report. In the Windows 98 prefixes the
# standard error of the programs the tests start (and so Wine's trace of them) goes to
# build/test-logs/PROGRAM-win98-FLAVOUR.trace, which LUMORA_TRACE names to the tests
# (tests/wine/wine-run.sh sends it there).
run_wine_tests() {
    local flavour="$1" winver="$2" program="$3"
    shift 3
    local -a names=("$@")
    wine_prefix "$flavour" "$winver" || return 1
    # A command prompt idles in the prefix while they run, until its input (a pipe that a sleep
    # holds open) ends, so that the prefix's server and services stay up between the processes;
    # without it each one waits for them to start again, some 5 s. They are up before the tests
    # start: a process that starts them hands them its output, and CTest waits until a test's or a
    # listing's output closes.
    local wine hold keeper writer status
    wine="$(wine_loader "$flavour")"
    hold="$(mktemp -u "$PREFIX_ROOT/.wine-hold.XXXXXX")"
    mkfifo "$hold" || return 1
    "$wine" cmd /c pause <"$hold" >/dev/null 2>&1 &
    keeper=$!
    sleep 86400 >"$hold" &
    writer=$!
    "$wine" cmd /c exit </dev/null >/dev/null 2>&1
    local -a trace_env=()
    if [ "$winver" = win98 ]; then
        local trace="$LOGS/$program-win98-$flavour.trace"
        : >"$trace"
        trace_env=(LUMORA_TRACE="$(win_path "$trace")" LUMORA_TRACE_FILE="$trace")
    fi
    if [ -n "$IN_VM" ]; then
        if [ "${LUMORA_VM_FULL:-}" != 1 ] && [ "$program" = e2e_tests ]; then
            names=("${VM_CORE_E2E[@]}")
            [ "$winver" = nt ] || names+=(Win98)
        fi
        (
            [ ${#trace_env[@]} -eq 0 ] || export "${trace_env[@]}"
            run_wine_program "$flavour" "$winver" "$program" "${names[@]}"
        )
    else
        local args
        mapfile -t args < <(ctest_args "$BUILD/$flavour")
        args+=(-L "^$program\$")
        if [ ${#names[@]} -gt 0 ]; then
            args+=(-R "\\.($(IFS='|'; echo "${names[*]}"))")
        elif [ "$winver" = nt ]; then
            args+=(-E '\.Win98')
        else
            args+=(-E '\.Nt')
        fi
        env "${trace_env[@]}" ctest "${args[@]}"
    fi
    status=$?
    kill "$writer"
    wait "$writer" "$keeper" 2>/dev/null
    rm -f "$hold"
    return $status
}

# One run of a Wine test program over its tests, in the current prefix: run_wine_program FLAVOUR
# WINVER PROGRAM [NAME...], the tests run_wine_tests selects. Through tests/wine/wine-run.sh, as
# CTest runs each test: a program that ends part-way fails, and in the Windows 98 layers its
# standard error goes to the trace. It fails too when it writes no report or runs longer than its
# tests may (each CTest's limit, summed).
run_wine_program() {
    local flavour="$1" winver="$2" program="$3"
    shift 3
    local dir="$BUILD/$flavour/tests/wine" filter="" name
    local exe="$dir/$program.exe"
    [ -f "$exe" ] || fail_with "not built: $exe" || return 1
    # A name with its suite's is one test; a bare one starts the names of tests of any suite.
    for name in "$@"; do
        [[ "$name" == *.* ]] || name="*.$name"
        filter="$filter${filter:+:}$name*"
    done
    if [ $# -eq 0 ]; then
        filter="-*.Win98*"
        [ "$winver" = nt ] || filter="-*.Nt*"
    fi
    local -a run=(/bin/sh "$ROOT/tests/wine/wine-run.sh" "$(wine_loader "$flavour")" "$exe")
    local listed per seconds status
    listed="$(cd "$dir" && "${run[@]}" --gtest_list_tests "--gtest_filter=$filter" 2>/dev/null | tr -d '\r' | grep -c '^  ')"
    per=120
    [ "$program" = e2e_tests ] && per=300
    seconds=$((per * (listed > 0 ? listed : 1)))
    echo "$listed tests of $program.exe ($filter), at most $seconds s"
    rm -f "$LAYER_JUNIT"
    (cd "$dir" && timeout -k 10 "$seconds" "${run[@]}" "--gtest_filter=$filter" "--gtest_output=xml:$(win_path "$LAYER_JUNIT")")
    status=$?
    if [ $status -eq 124 ] || [ $status -eq 137 ]; then
        echo "error: $program.exe did not end within $seconds s"
        rm -f "$LAYER_JUNIT"
        return 1
    fi
    [ -s "$LAYER_JUNIT" ] || fail_with "error: $program.exe wrote no report, status $status" || return 1
    return $status
}

cleanup() {
    local dir
    for dir in "${PREFIXES[@]}"; do WINEPREFIX="$dir" stop_wine; done
    stop_xvfb
}
trap cleanup EXIT
GUEST_SET_SKIPPED=""
GUEST_SUFFIX=""
GUEST_WHERE=""

# The eight layers of a flavour's programs under Wine, each through RUN NAME COMMAND...:
# wine_layers RUN FLAVOUR SET SUFFIX. SET is all, or win98 for the Windows 98 ones; SUFFIX ends
# each name, and the folder of its screenshots (build/test-logs/screenshots/FLAVOUR[-win98]SUFFIX).
# The Windows 98 layers of the x86_64 build run the adapter and end-to-end tests written
# for the mode (Win98...) and those of the window's DPI (LargeFonts...); the release's, every
# end-to-end test.
wine_layers() {
    local run="$1" flavour="$2" set="$3" suffix="$4"
    local short="${flavour/x86_64/x64}" shots="$LOGS/screenshots"
    local -a only=(Win98 LargeFonts)
    [ "$flavour" = i686 ] && only=()
    if [ "$set" = all ]; then
        "$run" "adapters-$short$suffix" run_wine_tests "$flavour" nt adapter_tests
        "$run" "e2e-$short$suffix" run_wine_tests "$flavour" nt e2e_tests
        "$run" "restart-$short$suffix" bash "$ROOT/scripts/e2e-restart.sh" "$flavour"
        "$run" "shots-$short$suffix" env LUMORA_SHOTS="$shots/$flavour$suffix" bash "$ROOT/scripts/screenshots.sh" "$flavour"
    fi
    "$run" "adapters-win98-$short$suffix" run_wine_tests "$flavour" win98 adapter_tests Win98
    "$run" "e2e-win98-$short$suffix" run_wine_tests "$flavour" win98 e2e_tests "${only[@]}"
    "$run" "restart-win98-$short$suffix" env LUMORA_WINVER=win98 bash "$ROOT/scripts/e2e-restart.sh" "$flavour"
    "$run" "shots-win98-$short$suffix" env LUMORA_WINVER=win98 LUMORA_SHOTS="$shots/$flavour-win98$suffix" \
        bash "$ROOT/scripts/screenshots.sh" "$flavour"
}
name_of() { echo "$1"; }
fail_i686() { fail_layer "$1" "$I686_WHY"; }

# --- inside the test guest: the i686 layers only, the host having built them

# The core set the guest runs unless LUMORA_VM_FULL=1, where a process start costs seconds and
# the whole set would not fit CI's time: every adapter test in both modes; of the end-to-end tests,
# start-up, an Apply of each page (the agent's two, the tuning's three), the restart offer, the
# manifest, the thumb dragged with the real pointer and the window at 96, 120 and 144 dpi, in both
# modes, and in the Windows 98 mode every Win98 test too (the 9x CPU meter, the free resources
# through the 16-bit thunk, an Apply's bytes, the refused write's error box); the restart check;
# the seven pages' screenshots at 96 dpi in both modes.
VM_CORE_E2E=(
    FrameE2e.WindowOpensAtItsFixedSizeAndPlacesOnTheFirstPage
    AgentSettingsE2e.ApplyWritesEveryAgentValueWithItsType
    TuningE2e.TuningChoicesByMouseAndKeyboardAreWrittenExactly
    ApplyE2e.TuningChangeOffersARestartOnceAndNoKeepsTheValuesWritten
    ManifestE2e.
    ToolkitE2e.DraggingTheThumbReachesAnyPositionAndStopsAtTheEnds
    LargeFontsE2e.LargeFontsScaleTheWindowAndAddNoOverlapTheDesignLacks
)

# A layer in the guest. Its disk holds some 4 GB beside the system, and an i686 prefix takes 590
# MB: the prefixes of the layers done go, once no later layer shares them (an end-to-end layer
# shares its adapters' prefix).
vm_layer() {
    local name="$1" dir
    layer "$@"
    [[ "$name" == adapters-* ]] && return 0
    for dir in "$PREFIX_ROOT"/*-prefix-*; do
        [ -d "$dir" ] || continue
        WINEPREFIX="$dir" "$WINESERVER" -k 2>/dev/null
        rm -rf "$dir"
    done
    PREFIXES=()
}

if [ "${1:-}" = --in-vm ]; then
    [ $# -eq 3 ] && [[ "$2" =~ ^(all|win98)$ ]] || die "usage: test.sh --in-vm all|win98 SUFFIX"
    IN_VM=1
    export LUMORA_PREFIX_ROOT="${LUMORA_PREFIX_ROOT:-/var/tmp/lumora}"
    PREFIX_ROOT="$LUMORA_PREFIX_ROOT"
    mkdir -p "$PREFIX_ROOT"
    # The image holds Wine's prefix of this architecture, made when the guest was built.
    export LUMORA_PREFIX_TEMPLATES=/var/lib/lumora/prefix-templates
    [ "${LUMORA_VM_FULL:-}" = 1 ] || export LUMORA_DPI=96
    say "in the test guest: $("$WINE32" --version), $(uname -r)"
    why="$(can_run_i386)" || die "the test guest cannot run the i686 build: $why"
    wine_layers vm_layer i686 "$2" "$3"
    finish
    exit
fi

# --- the run

# The set-up's own lines (an index left out, a package that could not be had) are shown here;
# a failed set-up fails the run, but every layer that can still run does.
say "set-up"
bash "$ROOT/scripts/setup.sh" </dev/null 2>&1 | tee "$LOGS/setup.log"
[ "${PIPESTATUS[0]}" -eq 0 ] || layer setup fail_with "the set-up failed: see $LOGS/setup.log"

# Each run boots Wine's set-up once per architecture for its prefixes (prefix.sh copies it).
export LUMORA_PREFIX_TEMPLATES="$PREFIX_ROOT/prefix-templates"
rm -rf "$LUMORA_PREFIX_TEMPLATES"

# Where the i686 release's layers run: natively, in the test guest, or nowhere ("fail": they
# fail with the reason).
placement="$(i686_placement)"
I686_WHERE="${placement%% *}"
I686_WHY=""
[ "$placement" = native ] || I686_WHY="${placement#* }"
case $I686_WHERE in
native) say "the i686 release's layers run natively; its Windows 98 layers also in the test guest" ;;
vm) say "the i686 release's layers run in the test guest: $I686_WHY" ;;
fail) say "the i686 release's layers cannot run here, and fail: $I686_WHY" ;;
esac

# The guest's layers, when it runs any: the set (all, win98), the suffix of their names and where
# their summary lines say they ran.
GUEST_SET=""
case $I686_WHERE in
native) GUEST_SET=win98 GUEST_SUFFIX=-vm GUEST_WHERE="Wine 10 in the test guest carries the 16-bit answer" ;;
vm) GUEST_SET=all GUEST_SUFFIX="" GUEST_WHERE="$I686_WHY" ;;
esac
[ "${LUMORA_NO_VM:-}" != 1 ] || GUEST_SET_SKIPPED="$GUEST_SET" GUEST_SET=""
GUEST_NAMES=()
[ -z "$GUEST_SET$GUEST_SET_SKIPPED" ] || mapfile -t GUEST_NAMES < <(wine_layers name_of i686 "$GUEST_SET$GUEST_SET_SKIPPED" "$GUEST_SUFFIX")
for name in "${GUEST_NAMES[@]}"; do rm -f "$LOGS/$name.result" "$LOGS/$name.xml" "$LOGS/$name.log"; done

# The guest is built (or found) beside the host's build, and its one boot runs its layers beside
# the host's: both wait on Wine and on timers as much as they compute.
GUEST_BUILD_PID=""
GUEST_RUN_PID=""
GUEST_STARTED=0
if [ -n "$GUEST_SET" ]; then
    say "the test guest is built or found beside the build (build/test-logs/guest.log)"
    bash "$ROOT/scripts/guest.sh" >"$LOGS/guest.log" 2>&1 </dev/null &
    GUEST_BUILD_PID=$!
    GUEST_STARTED=$(date +%s)
fi
stop_guest() {
    local pid
    for pid in "$GUEST_BUILD_PID" "$GUEST_RUN_PID"; do [ -z "$pid" ] || kill "$pid" 2>/dev/null; done
}
trap 'stop_guest; cleanup' EXIT

layer build bash "$ROOT/scripts/build.sh"
if [ $FAILED_LAYERS -ne 0 ]; then
    finish
    exit 1
fi

# The guest's boot, once it is built and the release is.
GUEST_WHY=""
if [ -n "$GUEST_SET" ]; then
    wait "$GUEST_BUILD_PID"
    status=$?
    GUEST_BUILD_PID=""
    record guest "$status" "$(($(date +%s) - GUEST_STARTED))" ""
    if [ $status -ne 0 ]; then
        GUEST_WHY="no test guest: $(grep -m 1 '^error: ' "$LOGS/guest.log" | sed 's/^error: //')"
    else
        say "the test guest runs beside the host's layers: ${GUEST_NAMES[*]} (build/test-logs/vm.log)"
        GUEST_STARTED=$(date +%s)
        bash "$ROOT/scripts/guest.sh" --run "${LUMORA_VM_SECONDS:-4800}" \
            "bash scripts/test.sh --in-vm $GUEST_SET '$GUEST_SUFFIX'" >"$LOGS/vm.log" 2>&1 </dev/null &
        GUEST_RUN_PID=$!
    fi
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
layer reproducible bash "$ROOT/tests/scripts/reproducible-test.sh" i686
layer runtime-cache bash "$ROOT/tests/scripts/runtime-cache-test.sh"
layer run-rules bash "$ROOT/tests/scripts/run-rules-test.sh"
layer layers bash "$ROOT/tools/check-layers.sh"
layer layers-check bash "$ROOT/tests/scripts/check-layers-test.sh"
layer format bash "$ROOT/tools/check-format.sh"
layer format-check bash "$ROOT/tests/scripts/check-format-test.sh"
layer gtest-run-check bash "$ROOT/tests/scripts/gtest-run-test.sh"
layer summary-check bash "$ROOT/tests/scripts/test-summary-test.sh"
layer bench-check bash "$ROOT/tests/scripts/bench-test.sh"
layer control-map bash "$ROOT/scripts/control-map.sh" --check
layer control-map-check bash "$ROOT/tests/scripts/control-map-test.sh"

wine_layers layer x86_64 all ""
case $I686_WHERE in
native) wine_layers layer i686 all "" ;;
fail) wine_layers fail_i686 i686 all "" ;;
esac

# The guest's layers: each left its result for the lines here; a layer without one failed with
# the guest's reason.
if [ -n "$GUEST_RUN_PID" ]; then
    say "waiting for the test guest"
    wait "$GUEST_RUN_PID"
    status=$?
    GUEST_RUN_PID=""
    say "the test guest ended after $(($(date +%s) - GUEST_STARTED)) s, status $status"
    if [ $status -ne 0 ]; then
        GUEST_WHY="$(grep -m 1 '^error: ' "$LOGS/vm.log" | sed 's/^error: //')"
        [ -n "$GUEST_WHY" ] || GUEST_WHY="the guest's run ended with status $status (see $LOGS/vm.log)"
    fi
fi
for name in "${GUEST_NAMES[@]}"; do
    if [ -n "$GUEST_SET_SKIPPED" ]; then
        skip_layer "$name" "not run: LUMORA_NO_VM=1 skips the test guest ($GUEST_WHERE)"
    elif read -r status seconds <"$LOGS/$name.result" 2>/dev/null; then
        record "$name" "$status" "$seconds" "in a virtual machine: $GUEST_WHERE"
    else
        fail_layer "$name" "did not run in the test guest: ${GUEST_WHY:-it left no result}"
    fi
done

finish
