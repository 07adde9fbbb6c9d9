#!/usr/bin/env bash
# The benchmark: builds what it needs (Release), then measures the manager of each flavour
# against two reference windows under the same Wine loader and prefix (the bare window, and the
# work floor: the manager's window and first page of native controls, its start-up reads and the
# queries of its tick, with nothing else), runs the native micro-benchmarks, weighs both stripped
# executables, times each platform query of the tick under Wine, and prints one table with the
# targets. The x86_64 builds run under wine64, the i686 builds under the 32-bit loader; where
# that cannot run, the i686 rows say why and only its size is weighed.
#   BENCH_PAIRS    start-up rounds: each starts every program of each flavour once (10)
#   BENCH_MINUTES  minutes the idle programs run before their memory is read again (10)
#   BENCH_IDLE     seconds of ticks whose CPU time is counted (60)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

PAIRS="${BENCH_PAIRS:-10}"
MINUTES="${BENCH_MINUTES:-10}"
IDLE="${BENCH_IDLE:-60}"
OUT="$BUILD/bench-out"
mkdir -p "$OUT"
FLAVOURS=(x86_64 i686)
PROGRAMS=(manager floor reference)

# A machine that cannot run the i686 build measures the x86_64 one; the i686 rows say why not.
I686_WHY=""
if ! I686_WHY="$(can_run_i386)"; then
    FLAVOURS=(x86_64)
    say "the i686 build is not measured: $I686_WHY"
else
    I686_WHY=""
fi

say "building (Release): both flavours of the manager and its reference windows, native micro-benchmarks"
bench_build x86_64 lumora-manager lumora-reference lumora-work-floor manager_remote tick_cost start_cost
if [ -z "$I686_WHY" ]; then
    bench_build i686 lumora-manager lumora-reference lumora-work-floor
else
    bench_build i686 lumora-manager
fi
bench_build native micro_bench
[ -x "$MICRO_BENCH" ] || die "micro_bench was not built (is Google Benchmark installed?)"

# The executable, window class and loaded text of one program of one flavour.
program_of() {
    case "$1:$2" in
    x86_64:manager) printf '%s' "$MANAGER_X64" ;;
    x86_64:floor) printf '%s' "$FLOOR_X64" ;;
    x86_64:reference) printf '%s' "$REFERENCE_X64" ;;
    i686:manager) printf '%s' "$MANAGER_I686" ;;
    i686:floor) printf '%s' "$FLOOR_I686" ;;
    i686:reference) printf '%s' "$REFERENCE_I686" ;;
    esac
}
class_of() {
    case "$1" in
    manager) printf TForm1 ;;
    floor) printf TWorkFloor ;;
    reference) printf TReference ;;
    esac
}
# The manager and the floor count as started once they show the stored target the bench put
# there; the bare window once it is visible.
loaded_text_of() {
    case "$1" in
    reference) printf -- - ;;
    *) printf '123 MB' ;;
    esac
}

cleanup() {
    stop_wine || true
    stop_xvfb
}
trap cleanup EXIT
start_xvfb || exit 1
bench_prefix "$BENCH_X64/prefix"
load_before="$(cut -d' ' -f1-3 /proc/loadavg)"
ticks_per_second="$(clock_ticks_per_second)"
SERVER_PID="$(wineserver_pid)" || die "no wine server for $WINEPREFIX"

# A new prefix starts its services with the first program; they settle before anything is timed.
# manager_remote's own start-up timer also lays the machine out as the tests do and stores the
# target (123 MB) that tells a loaded window; its one pair is printed for comparison only.
say "settling the new prefix"
tool startup 1 "$(win_path "$MANAGER_X64")" "$(win_path "$REFERENCE_X64")" | tr -d '\r' >"$OUT/settle.txt"
sleep 15

# --- start-up: each round starts every program of each flavour once, in an order that turns
# from round to round, so that neither a program nor a flavour gains from going first; the first
# round fills the caches every later start finds full and is not counted.
say "start-up: $PAIRS rounds of ${#FLAVOURS[@]} x ${#PROGRAMS[@]} starts"
: >"$OUT/startup.txt"
for round in $(seq 0 "$PAIRS"); do
    flavours=("${FLAVOURS[@]}")
    [ $((round % 2)) -eq 0 ] || [ ${#FLAVOURS[@]} -lt 2 ] || flavours=("${FLAVOURS[1]}" "${FLAVOURS[0]}")
    for flavour in "${flavours[@]}"; do
        for turn in 0 1 2; do
            program="${PROGRAMS[$(((round + turn) % 3))]}"
            figures="$(time_start "$(loader_of "$flavour")" "$(win_path "$(program_of "$flavour" "$program")")" \
                "$(class_of "$program")" "$(loaded_text_of "$program")")"
            [ "$round" -eq 0 ] || echo "$round $flavour $program $figures" >>"$OUT/startup.txt"
            sleep 0.3
        done
    done
done

# "MEDIAN Q1 Q3 MIN MAX" of column COLUMN (4 wall, 5 CPU, 6 server) of one program's starts.
startup_figure() {
    awk -v f="$1" -v p="$2" -v c="$3" '$2 == f && $3 == p {print $c}' "$OUT/startup.txt" | quantiles
}
# The same of the ratio between two programs' figures, start by start within each round;
# column 7 is CPU with the server's share.
startup_ratio() {
    awk -v f="$1" -v a="$2" -v b="$3" -v c="$4" '$2 == f {v = (c == 7) ? $5 + $6 : $c; x[$1, $3] = v; r[$1] = 1}
        END {for (i in r) if (x[i, b] > 0) print x[i, a] / x[i, b]}' "$OUT/startup.txt" | quantiles
}

# --- idle CPU and memory, one flavour at a time (a second manager refuses to start while one
# runs): the bare window first, then the floor beside it, then the manager on its About page
# beside both; the server's CPU time in each phase, less that of the phase before, tells what
# each program's ticks cost it.
# After 5 s of settling: "RSS ANON CPU SERVER", the program's memory, then its CPU ticks and the
# server's over the next IDLE seconds.
idle_phase() {
    local pid="$1" rss anon cpu0 server0
    sleep 5
    read -r rss anon <<<"$(memory_kib "$pid")"
    cpu0="$(cpu_ticks "$pid")"
    server0="$(cpu_ticks "$SERVER_PID")"
    sleep "$IDLE"
    echo "$rss $anon $(minus "$(cpu_ticks "$pid")" "$cpu0") $(minus "$(cpu_ticks "$SERVER_PID")" "$server0")"
}
wait_until() {
    local left=$(($1 - $(date +%s)))
    [ $left -le 0 ] || sleep $left
}
: >"$OUT/idle.txt"
for flavour in "${FLAVOURS[@]}"; do
    declare -A pids=() started=()
    for program in reference floor manager; do
        say "idle ($flavour): the $program for $IDLE s"
        pids[$program]="$(start_program "$(win_path "$(program_of "$flavour" "$program")")" "$(loader_of "$flavour")")"
        tool wait "$(class_of "$program")" 60 >/dev/null || die "the $flavour $program window did not appear"
        started[$program]=$(date +%s)
        if [ "$program" = manager ]; then tool page 6 >/dev/null || die "the About page did not open"; fi
        read -r rss anon cpu server <<<"$(idle_phase "${pids[$program]}")"
        echo "$flavour $program start $rss $anon $cpu $server" >>"$OUT/idle.txt"
    done
    say "memory ($flavour): each runs until $MINUTES minutes after its start"
    for program in reference floor manager; do
        wait_until $((started[$program] + MINUTES * 60))
        read -r rss anon <<<"$(memory_kib "${pids[$program]}")"
        echo "$flavour $program end $rss $anon" >>"$OUT/idle.txt"
    done
    for program in manager floor reference; do stop_program "${pids[$program]}" "$(class_of "$program")"; done
    unset pids started
done
# One figure of the idle file: idle_field FLAVOUR PROGRAM start|end COLUMN (4 RSS, 5 ANON, 6 CPU,
# 7 server); "-" when it has none.
idle_field() {
    awk -v f="$1" -v p="$2" -v w="$3" -v c="$4" '$1 == f && $2 == p && $3 == w {v = $c} END {print (v == "") ? "-" : v}' \
        "$OUT/idle.txt"
}

# --- what each platform query of the tick costs under this wine64 and prefix (the mingw runtime
# ends its lines with CR LF; a CR left in a table cell breaks the row)
say "the tick's platform queries"
"$WINE64" "$TICK_COST" 2>/dev/null | tr -d '\r' >"$OUT/tick-cost.txt" || die "tick_cost failed"

# --- native micro-benchmarks: the median of five repetitions, CPU time.
say "micro-benchmarks"
"$MICRO_BENCH" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_min_time=0.5 \
    --benchmark_format=csv 2>/dev/null | grep '_median"' >"$OUT/micro.csv"

# --- sizes of the stripped executables
strip_size() {
    local triple="$1" file="$2" copy="$OUT/stripped.exe"
    "$triple-strip" -o "$copy" "$file"
    stat -c %s "$copy"
}
size_i686="$(strip_size i686-w64-mingw32 "$MANAGER_I686")"
size_x64="$(strip_size x86_64-w64-mingw32 "$MANAGER_X64")"
load_after="$(cut -d' ' -f1-3 /proc/loadavg)"

# --- the table
cpu_s() {
    is_number "$1" || { echo -; return; }
    awk -v t="$1" -v h="$ticks_per_second" 'BEGIN {printf "%.2f", t / h}'
}
share() {
    is_number "$1" && is_number "$2" || { echo -; return; }
    awk -v a="$1" -v b="$2" -v h="$ticks_per_second" -v s="$IDLE" 'BEGIN {printf "%+.3f", (a - b) / h / s * 100}'
}
median_of() { cut -d' ' -f1 <<<"$1"; }
tick_us="$(awk -F, '$1 ~ /^"Timer1Tick_median"/ {u=$5; gsub(/"/, "", u); t=$4; if (u == "ns") t /= 1000; else if (u == "ms") t *= 1000; printf "%.2f", t}' "$OUT/micro.csv")"

{
    echo "Machine: $(machine_line)"
    echo "Load average (1, 5, 15 min): $load_before before, $load_after after"
    echo "Commit: $(git -C "$ROOT" rev-parse --short HEAD)$(git -C "$ROOT" diff --quiet HEAD -- src cmake bench || echo ' + local changes'); $PAIRS start-up rounds, $IDLE s idle, $MINUTES min memory"
    echo
    echo "| figure | manager | work floor | bare window | result | target | |"
    echo "|---|---|---|---|---|---|---|"
    for flavour in "${FLAVOURS[@]}"; do
        for column in 5:"CPU of the program (ms)" 6:"Wine server CPU meanwhile (ms)" 4:"elapsed (ms)"; do
            c="${column%%:*}"
            line=""
            for program in "${PROGRAMS[@]}"; do line="$line | $(spread "$(startup_figure "$flavour" "$program" "$c")" 1)"; done
            echo "| $flavour start-up to loaded window: ${column#*:}, median (quartiles)$line | | | |"
        done
        floor_cpu="$(startup_ratio "$flavour" manager floor 5)"
        echo "| $flavour start-up CPU, manager / work floor, per round | | | | $(spread "$floor_cpu" 3) | <= 1.10 | $(met "$(median_of "$floor_cpu")" 1.10) |"
        echo "| $flavour start-up CPU with the server's, manager / work floor, per round | | | | $(spread "$(startup_ratio "$flavour" manager floor 7)" 3) | | |"
        echo "| $flavour start-up elapsed, manager / work floor, per round | | | | $(spread "$(startup_ratio "$flavour" manager floor 4)" 3) | | |"
        echo "| $flavour start-up CPU, manager / bare window, per round | | | | $(spread "$(startup_ratio "$flavour" manager reference 5)" 3) | | |"
        m_cpu="$(idle_field "$flavour" manager start 6)"
        f_cpu="$(idle_field "$flavour" floor start 6)"
        r_cpu="$(idle_field "$flavour" reference start 6)"
        echo "| $flavour idle CPU over $IDLE s, About page (s) | $(cpu_s "$m_cpu") | $(cpu_s "$f_cpu") | $(cpu_s "$r_cpu") | $(share "$m_cpu" "$f_cpu") % of one core above the floor, $(share "$m_cpu" "$r_cpu") % above the bare window | <= 0.2 % above the bare window | $(met "$(share "$m_cpu" "$r_cpu")" 0.2) |"
        m_server="$(minus "$(idle_field "$flavour" manager start 7)" "$(idle_field "$flavour" floor start 7)")"
        f_server="$(minus "$(idle_field "$flavour" floor start 7)" "$(idle_field "$flavour" reference start 7)")"
        echo "| $flavour wine server CPU over $IDLE s added by each program (s) | $(cpu_s "$m_server") | $(cpu_s "$f_server") | $(cpu_s "$(idle_field "$flavour" reference start 7)") | $(share "$m_server" "$f_server") % of one core above the floor | (not a target) | |"
        for when in start end; do
            label="after start"
            [ "$when" = start ] || label="after $MINUTES min"
            for column in 4:resident 5:private; do
                c="${column%%:*}"
                m="$(idle_field "$flavour" manager "$when" "$c")"
                f="$(idle_field "$flavour" floor "$when" "$c")"
                r="$(idle_field "$flavour" reference "$when" "$c")"
                if [ "$when" = start ]; then
                    target=""
                    verdict=""
                    if [ "$c" = 4 ]; then
                        target="<= 2048 KiB above the bare window"
                        verdict="$(met "$(minus "$m" "$r")" 2048)"
                    fi
                    echo "| $flavour ${column#*:} $label (KiB) | $m | $f | $r | $(minus "$m" "$f") KiB above the floor, $(minus "$m" "$r") KiB above the bare window | $target | $verdict |"
                else
                    grown="$(minus "$m" "$(idle_field "$flavour" manager start "$c")")"
                    echo "| $flavour ${column#*:} $label (KiB) | $m | $f | $r | growth $grown KiB (floor $(minus "$f" "$(idle_field "$flavour" floor start "$c")"), bare window $(minus "$r" "$(idle_field "$flavour" reference start "$c")")) | growth <= 64 KiB | $(met "$grown" 64) |"
                fi
            done
        done
    done
    if [ -n "$I686_WHY" ]; then
        for figure in "start-up to loaded window" "start-up CPU, manager / work floor" "idle CPU over $IDLE s, About page" \
            "resident and private memory after start and after $MINUTES min"; do
            echo "| i686 $figure | not measurable on this machine: $I686_WHY | | | | | |"
        done
    fi
    while IFS=, read -r name _ real cpu unit _; do
        name="${name//\"/}"
        name="${name%_median}"
        unit="${unit//\"/}"
        cpu="$(awk -v c="$cpu" 'BEGIN {printf "%.1f", c}')"
        echo "| native $name, median CPU ($unit) | $cpu | | | | $([ "$name" = Timer1Tick ] && echo '<= 20 us') | $([ "$name" = Timer1Tick ] && met "$tick_us" 20) |"
    done <"$OUT/micro.csv"
    while read -r _ step cpu wall; do
        echo "| x86_64 under Wine: $step, one call, CPU / elapsed (us) | $cpu / $wall | | | | | |"
    done <"$OUT/tick-cost.txt"
    echo "| i686 lumora-manager.exe stripped (bytes) | $size_i686 | | | $(awk -v s="$size_i686" 'BEGIN {printf "%.1f KiB", s / 1024}') | <= 350 KiB | $(met "$size_i686" 358400) |"
    echo "| x86_64 lumora-manager.exe stripped (bytes) | $size_x64 | | | $(awk -v s="$size_x64" 'BEGIN {printf "%.1f KiB", s / 1024}') | | |"
} | tee "$OUT/table.md"
