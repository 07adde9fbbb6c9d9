#!/usr/bin/env bash
# The benchmark: builds what it needs (Release), then measures the manager against the
# reference window under the same wine64 and prefix, runs the native micro-benchmarks, weighs
# both stripped executables, times each platform query of the tick under Wine, and prints one
# table with the targets.
#   BENCH_PAIRS    start-up pairs (10)
#   BENCH_MINUTES  minutes the idle programs run before their memory is read again (10)
#   BENCH_IDLE     seconds of ticks whose CPU time is counted (60)
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

PAIRS="${BENCH_PAIRS:-10}"
MINUTES="${BENCH_MINUTES:-10}"
IDLE="${BENCH_IDLE:-60}"
OUT="$BUILD/bench-out"
mkdir -p "$OUT"

say "building (Release): Wine flavour, i686 release, native micro-benchmarks"
bench_build x86_64 lumora-manager lumora-reference manager_remote tick_cost
bench_build i686 lumora-manager
bench_build native micro_bench
[ -x "$MICRO_BENCH" ] || die "micro_bench was not built (is Google Benchmark installed?)"

cleanup() {
    stop_wine || true
    stop_xvfb
}
trap cleanup EXIT
start_xvfb
bench_prefix "$BENCH_X64/prefix"
load_before="$(cut -d' ' -f1-3 /proc/loadavg)"
ticks_per_second="$(clock_ticks_per_second)"

# A new prefix starts its services with the first program; they settle before anything is timed.
say "settling the new prefix"
settle="$(start_program "$(win_path "$REFERENCE_X64")")"
tool wait TReference 60 >/dev/null || die "the reference window did not appear"
stop_program "$settle" TReference
sleep 15

# --- start-up: manager_remote starts each program itself and alternates which goes first.
say "start-up: $PAIRS pairs"
tool startup "$PAIRS" "$(win_path "$MANAGER_X64")" "$(win_path "$REFERENCE_X64")" | tee "$OUT/startup.txt"
read -r _ ratio_median _ ratio_min _ ratio_q1 _ ratio_q3 _ ratio_max _ <<<"$(grep '^startup-ratio' "$OUT/startup.txt" | cut -d' ' -f2-)"
manager_ms="$(awk '/^startup-manager-ms/ {print $2}' "$OUT/startup.txt")"
reference_ms="$(awk '/^startup-reference-ms/ {print $2}' "$OUT/startup.txt")"

# --- idle CPU and memory: the reference alone first, then the manager on its About page next
# to it; the server's CPU time in each phase tells what the manager's ticks cost it.
server="$(wineserver_pid)" || die "no wine server for $WINEPREFIX"
# After 5 s of settling: "RSS ANON CPU SERVER", the program's memory, then its CPU ticks and the
# server's over the next IDLE seconds.
idle_phase() {
    local pid="$1" rss anon cpu0 server0
    sleep 5
    read -r rss anon <<<"$(memory_kib "$pid")"
    cpu0="$(cpu_ticks "$pid")"
    server0="$(cpu_ticks "$server")"
    sleep "$IDLE"
    echo "$rss $anon $(($(cpu_ticks "$pid") - cpu0)) $(($(cpu_ticks "$server") - server0))"
}

say "idle: the reference alone for $IDLE s"
reference="$(start_program "$(win_path "$REFERENCE_X64")")"
tool wait TReference 60 >/dev/null || die "the reference window did not appear"
reference_started=$(date +%s)
read -r ref_rss_start ref_anon_start ref_cpu server_ref <<<"$(idle_phase "$reference")"

say "idle: the manager on its About page for $IDLE s"
manager="$(start_program "$(win_path "$MANAGER_X64")")"
tool wait TForm1 60 >/dev/null || die "the manager window did not appear"
manager_started=$(date +%s)
tool page 6 >/dev/null || die "the About page did not open"
read -r man_rss_start man_anon_start man_cpu server_both <<<"$(idle_phase "$manager")"

say "memory: both run until $MINUTES minutes after their start"
wait_until() {
    local left=$(($1 - $(date +%s)))
    [ $left -le 0 ] || sleep $left
}
wait_until $((reference_started + MINUTES * 60))
read -r ref_rss_end ref_anon_end <<<"$(memory_kib "$reference")"
wait_until $((manager_started + MINUTES * 60))
read -r man_rss_end man_anon_end <<<"$(memory_kib "$manager")"
stop_program "$manager" TForm1
stop_program "$reference" TReference

# --- what each platform query of the tick costs under this wine64 and prefix
say "the tick's platform queries"
"$WINE64" "$TICK_COST" >"$OUT/tick-cost.txt" 2>/dev/null || die "tick_cost failed"

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
met() { awk -v v="$1" -v t="$2" 'BEGIN {print (v <= t) ? "met" : "missed"}'; }
cpu_s() { awk -v t="$1" -v h="$ticks_per_second" 'BEGIN {printf "%.2f", t / h}'; }
idle_share="$(awk -v m="$man_cpu" -v r="$ref_cpu" -v h="$ticks_per_second" -v s="$IDLE" \
    'BEGIN {printf "%.3f", (m - r) / h / s * 100}')"
server_share="$(awk -v b="$server_both" -v r="$server_ref" -v h="$ticks_per_second" -v s="$IDLE" \
    'BEGIN {printf "%.3f", (b - r) / h / s * 100}')"
rss_above=$((man_rss_start - ref_rss_start))
anon_above=$((man_anon_start - ref_anon_start))
rss_growth=$((man_rss_end - man_rss_start))
anon_growth=$((man_anon_end - man_anon_start))
ref_rss_growth=$((ref_rss_end - ref_rss_start))
ref_anon_growth=$((ref_anon_end - ref_anon_start))
tick_us="$(awk -F, '$1 ~ /^"Timer1Tick_median"/ {u=$5; gsub(/"/, "", u); t=$4; if (u == "ns") t /= 1000; else if (u == "ms") t *= 1000; printf "%.2f", t}' "$OUT/micro.csv")"

{
    echo "Machine: $(machine_line)"
    echo "Load average (1, 5, 15 min): $load_before before, $load_after after"
    echo "Commit: $(git -C "$ROOT" rev-parse --short HEAD)$(git -C "$ROOT" diff --quiet HEAD -- src cmake bench || echo ' + local changes'); $PAIRS start-up pairs, $IDLE s idle, $MINUTES min memory"
    echo
    echo "| figure | manager | reference | result | target | |"
    echo "|---|---|---|---|---|---|"
    echo "| start-up to loaded window, median (ms) | $manager_ms | $reference_ms | ratio $ratio_median (min $ratio_min, quartiles $ratio_q1-$ratio_q3, max $ratio_max) | ratio <= 1.10 | $(met "$ratio_median" 1.10) |"
    echo "| idle CPU over $IDLE s, About page (s) | $(cpu_s "$man_cpu") | $(cpu_s "$ref_cpu") | +$idle_share % of one core | <= 0.2 % | $(met "$idle_share" 0.2) |"
    echo "| wine server CPU over $IDLE s: added by the manager, with the reference alone (s) | $(cpu_s $((server_both - server_ref))) | $(cpu_s "$server_ref") | +$server_share % of one core | (not a target) | |"
    echo "| resident after start (KiB) | $man_rss_start | $ref_rss_start | +$rss_above KiB | <= 2048 KiB above | $(met "$rss_above" 2048) |"
    echo "| private after start (KiB) | $man_anon_start | $ref_anon_start | +$anon_above KiB | | |"
    echo "| resident after $MINUTES min (KiB) | $man_rss_end | $ref_rss_end | growth $rss_growth KiB (reference $ref_rss_growth) | growth <= 64 KiB | $(met "$rss_growth" 64) |"
    echo "| private after $MINUTES min (KiB) | $man_anon_end | $ref_anon_end | growth $anon_growth KiB (reference $ref_anon_growth) | growth <= 64 KiB | $(met "$anon_growth" 64) |"
    while IFS=, read -r name _ real cpu unit _; do
        name="${name//\"/}"
        name="${name%_median}"
        unit="${unit//\"/}"
        cpu="$(awk -v c="$cpu" 'BEGIN {printf "%.1f", c}')"
        echo "| native $name, median CPU ($unit) | $cpu | | | $([ "$name" = Timer1Tick ] && echo '<= 20 us') | $([ "$name" = Timer1Tick ] && met "$tick_us" 20) |"
    done <"$OUT/micro.csv"
    while read -r _ step cpu wall; do
        echo "| Wine: $step, one call, CPU / elapsed (us) | $cpu / $wall | | | | |"
    done <"$OUT/tick-cost.txt"
    echo "| i686 lumora-manager.exe stripped (bytes) | $size_i686 | | $(awk -v s="$size_i686" 'BEGIN {printf "%.1f KiB", s / 1024}') | <= 350 KiB | $(met "$size_i686" 358400) |"
    echo "| x86_64 lumora-manager.exe stripped (bytes) | $size_x64 | | $(awk -v s="$size_x64" 'BEGIN {printf "%.1f KiB", s / 1024}') | | |"
} | tee "$OUT/table.md"
