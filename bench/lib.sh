# Helpers of the benchmark scripts: their builds, a prepared Wine prefix, and what /proc tells
# about a running Wine program. Sourced, not run; sources scripts/common.sh.
. "$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/scripts/common.sh"

BENCH_X64="$BUILD/bench-x64"
BENCH_I686="$BUILD/bench-i686"
BENCH_NATIVE="$BUILD/bench-native"
BENCH_TOOL="$BENCH_X64/tests/wine/manager_remote.exe"
MANAGER_X64="$BENCH_X64/lumora-manager.exe"
MANAGER_I686="$BENCH_I686/lumora-manager.exe"
REFERENCE_X64="$BENCH_X64/bench/lumora-reference.exe"
TICK_COST="$BENCH_X64/bench/tick_cost.exe"
MICRO_BENCH="$BENCH_NATIVE/bench/micro_bench"

# Configures and builds the named targets of one flavour (x86_64, i686 or native), Release.
bench_build() {
    local flavour="$1" dir
    shift
    local args=(-DCMAKE_BUILD_TYPE=Release)
    case "$flavour" in
    x86_64) dir="$BENCH_X64" ;;
    i686) dir="$BENCH_I686" ;;
    native) dir="$BENCH_NATIVE" ;;
    *) die "unknown flavour $flavour" ;;
    esac
    [ "$flavour" = native ] || args+=("-DCMAKE_TOOLCHAIN_FILE=$ROOT/cmake/mingw-$flavour.cmake")
    local log="$dir.log"
    mkdir -p "$(dirname "$log")"
    if ! { cmake -S "$ROOT" -B "$dir" "${args[@]}" && cmake --build "$dir" -j "$(nproc 2>/dev/null || echo 2)" --target "$@"; } \
        >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        die "the $flavour build failed (log: $log)"
    fi
}

# A fresh prefix laid out like the test machine, with its server kept running between the
# programs, so that no measurement pays for starting it.
bench_prefix() {
    export WINEPREFIX="$1"
    stop_wine || true
    rm -rf "$WINEPREFIX"
    bash "$ROOT/scripts/prefix.sh" "$WINEPREFIX" >/dev/null
    mkdir -p "$WINEPREFIX/drive_c/Program Files/Lumora"
    "$WINESERVER" -p
}

# The folder the programs start in (the manager stores it as CurrentDir).
bench_folder() {
    printf '%s' "$WINEPREFIX/drive_c/Program Files/Lumora"
}

tool() {
    "$WINE64" "$BENCH_TOOL" "$@"
}

# Starts a Windows program in the bench folder; prints the pid of its wine64 process, which is
# the process that runs the program (wine64 execs its preloader in place).
start_program() {
    local program="$1"
    (cd "$(bench_folder)" && exec "$WINE64" "$program" >/dev/null 2>&1) &
    echo $!
}

# utime + stime of a process, in clock ticks.
cpu_ticks() {
    local stat
    stat="$(cat "/proc/$1/stat")"
    stat="${stat##*) }"
    # After the name: state is field 1, utime field 12, stime field 13.
    awk '{print $12 + $13}' <<<"$stat"
}

# "RSS ANON" in KiB from /proc/PID/status: resident set and its private anonymous part.
memory_kib() {
    awk '/^VmRSS:/ {r=$2} /^RssAnon:/ {a=$2} END {print r+0, a+0}' "/proc/$1/status"
}

# The pid of the wine server of WINEPREFIX: the one whose working folder is the prefix's
# server folder, named after the prefix's device and inode (its parent folder varies).
wineserver_pid() {
    local name pid
    name="server-$(stat -c %D "$WINEPREFIX")-$(printf '%x' "$(stat -c %i "$WINEPREFIX")")"
    for pid in $(pgrep wineserver || true); do
        if [ "$(basename "$(readlink "/proc/$pid/cwd" 2>/dev/null)")" = "$name" ]; then
            echo "$pid"
            return 0
        fi
    done
    return 1
}

# Ends a program started with start_program: closes its window, then ends it by its pid.
stop_program() {
    local pid="$1" class="$2"
    tool close "$class" 10 >/dev/null 2>&1 || true
    local i
    for i in $(seq 1 50); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
}

clock_ticks_per_second() {
    getconf CLK_TCK
}

machine_line() {
    local cpu memory
    cpu="$(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo)"
    memory="$(awk '/^MemTotal:/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo)"
    printf '%s CPUs (%s), %s memory, %s, %s' "$(nproc)" "$cpu" "$memory" "$("$WINE64" --version 2>/dev/null)" \
        "$(uname -sr)"
}
