# Helpers of the benchmark scripts: their builds, a prepared Wine prefix, and what /proc tells
# about a running Wine program. Sourced, not run; sources scripts/common.sh.
. "$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/scripts/common.sh"

# Debian installs the 32-bit loader (package wine32:i386) beside the 64-bit one, outside PATH.
WINE32="${WINE32:-/usr/lib/wine/wine}"

BENCH_X64="$BUILD/bench-x64"
BENCH_I686="$BUILD/bench-i686"
BENCH_NATIVE="$BUILD/bench-native"
BENCH_TOOL="$BENCH_X64/tests/wine/manager_remote.exe"
MANAGER_X64="$BENCH_X64/lumora-manager.exe"
MANAGER_I686="$BENCH_I686/lumora-manager.exe"
REFERENCE_X64="$BENCH_X64/bench/lumora-reference.exe"
REFERENCE_I686="$BENCH_I686/bench/lumora-reference.exe"
FLOOR_X64="$BENCH_X64/bench/lumora-work-floor.exe"
FLOOR_I686="$BENCH_I686/bench/lumora-work-floor.exe"
START_COST="$BENCH_X64/bench/start_cost.exe"
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
    if [ "$flavour" = i686 ]; then
        local runtime
        runtime="$(bash "$ROOT/scripts/runtime.sh")" || die "no i486 runtime for the i686 build"
        args+=("-DLUMORA_RUNTIME=$runtime")
    fi
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

# The Wine loader of a flavour: the 32-bit one runs the i686 builds.
loader_of() {
    case "$1" in
    x86_64) printf '%s' "$WINE64" ;;
    i686) printf '%s' "$WINE32" ;;
    *) die "unknown flavour $1" ;;
    esac
}

# Starts a Windows program in the bench folder, with the loader LOADER (wine64 by default);
# prints the pid of the loader's process, which is the process that runs the program (both
# loaders exec their preloader in place).
start_program() {
    local program="$1" loader="${2:-$WINE64}"
    (cd "$(bench_folder)" && exec "$loader" "$program" >/dev/null 2>&1) &
    echo $!
}

# CPU time in microseconds of every thread a process has now (the scheduler's own count, in
# nanoseconds, rather than /proc's 10 ms ticks).
cpu_us() {
    cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {printf "%d", s / 1000}'
}

# One start of a program, measured from the shell: prints "WALL_MS CPU_MS SERVER_MS", the time
# from starting it to its window being visible and showing TEXT (in a descendant; "-" for none),
# the CPU time of the program's process by then, and what the Wine server spent meanwhile (the
# requests the program made; the waiter's few polls are the same for every program). The
# program is closed before this returns. Needs SERVER_PID.
time_start() {
    local loader="$1" program="$2" class="$3" text="$4" line pid t0 t1 cpu s0 s1
    coproc WAITER { "$WINE64" "$START_COST" wait "$class" "$text" 60 2>/dev/null; }
    local waiter_pid=$WAITER_PID out="${WAITER[0]}" in="${WAITER[1]}"
    # The mingw runtime ends its lines with CR LF.
    read -r line <&"$out" || line=""
    line="${line%$'\r'}"
    [ "$line" = ready ] || die "the start-up waiter did not start"
    s0="$(cpu_us "$SERVER_PID")"
    t0="$(date +%s%N)"
    pid="$(start_program "$program" "$loader")"
    read -r line <&"$out" || line=""
    t1="$(date +%s%N)"
    line="${line%$'\r'}"
    cpu="$(cpu_us "$pid")"
    s1="$(cpu_us "$SERVER_PID")"
    echo go >&"$in"
    read -r _ <&"$out" || true
    wait "$waiter_pid" 2>/dev/null || true
    local i
    for i in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    kill "$pid" 2>/dev/null || true
    [ "$line" = loaded ] || die "$(basename "$program") did not show its loaded window"
    awk -v w=$((t1 - t0)) -v c="$cpu" -v s=$((s1 - s0)) 'BEGIN {printf "%.1f %.1f %.1f\n", w / 1e6, c / 1e3, s / 1e3}'
}

# --- Figures. One the bench did not get (a process that had ended, a row that is missing) is
# "-" and stays "-" through every sum and share: it is never 0, and never "met".

is_number() {
    [[ "${1:-}" =~ ^[+-]?([0-9]+([.][0-9]*)?|[.][0-9]+)([eE][+-]?[0-9]+)?$ ]]
}

# A figure against its target, at most: "met" or "missed", or "no data" for no figure.
met() {
    is_number "${1:-}" || { echo "no data"; return; }
    awk -v v="$1" -v t="$2" 'BEGIN {print (v <= t) ? "met" : "missed"}'
}

# A - B; "-" unless both are figures.
minus() {
    is_number "${1:-}" && is_number "${2:-}" || { echo -; return; }
    awk -v a="$1" -v b="$2" 'BEGIN {print a - b}'
}

# Median, quartiles and extremes of the numbers on standard input: "MEDIAN Q1 Q3 MIN MAX"; all
# five "-" when there is none.
quantiles() {
    sort -g | awk '{v[n++] = $1}
        function q(p,  at, lo) {at = p * (n - 1); lo = int(at); return v[lo] + (v[lo + (lo + 1 < n)] - v[lo]) * (at - lo)}
        END {if (n == 0) {print "- - - - -"; exit} printf "%.3f %.3f %.3f %.3f %.3f\n", q(0.5), q(0.25), q(0.75), v[0], v[n - 1]}'
}

# "median (quartiles q1-q3)" of a quantiles line, with DIGITS decimals; "no data" for none.
spread() {
    local median q1 q3
    read -r median q1 q3 _ <<<"$1"
    is_number "$median" || { echo "no data"; return; }
    awk -v m="$median" -v a="$q1" -v b="$q3" -v d="$2" 'BEGIN {printf "%.*f (%.*f-%.*f)", d, m, d, a, d, b}'
}

# utime + stime of a process, in clock ticks; "-" once it has ended.
cpu_ticks() {
    local stat
    stat="$(cat "/proc/$1/stat" 2>/dev/null)"
    [ -n "$stat" ] || { echo -; return; }
    stat="${stat##*) }"
    # After the name: state is field 1, utime field 12, stime field 13.
    awk '{print $12 + $13}' <<<"$stat"
}

# "RSS ANON" in KiB from /proc/PID/status: resident set and its private anonymous part; "- -"
# once the process has ended (a zombie has no resident set either).
memory_kib() {
    awk '/^VmRSS:/ {r=$2} /^RssAnon:/ {a=$2} END {if (r == "") print "- -"; else print r+0, a+0}' \
        "/proc/$1/status" 2>/dev/null || echo "- -"
}

# The pid of the wine server of WINEPREFIX: the one whose working folder is the prefix's
# server folder, named after the prefix's device and inode (its parent folder varies). A server
# just started with -p moves there a moment after the command returns: it is looked for a while.
wineserver_pid() {
    local name pid try
    name="server-$(stat -c %D "$WINEPREFIX")-$(printf '%x' "$(stat -c %i "$WINEPREFIX")")"
    for try in $(seq 1 50); do
        for pid in $(pgrep wineserver || true); do
            if [ "$(basename "$(readlink "/proc/$pid/cwd" 2>/dev/null)")" = "$name" ]; then
                echo "$pid"
                return 0
            fi
        done
        sleep 0.1
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
