#!/usr/bin/env bash
# The long run (not part of the test run): the Wine build ticks for LONG_MINUTES (10) while
# manager_remote switches pages and applies settings every few seconds. Reports the boxes seen, the
# manager's memory after 1 minute and at the end against the growth target, and whether the
# agent key still holds what the last Apply stored. Exits non-zero when any of them fails.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../bench/lib.sh"

MINUTES="${LONG_MINUTES:-10}"
GROWTH_TARGET_KIB=64
LOGS="$BUILD/long-run"
mkdir -p "$LOGS"

say "building the Wine flavour"
bench_build x86_64 lumora-manager manager_remote

cleanup() {
    stop_wine || true
    stop_xvfb
}
trap cleanup EXIT
start_xvfb || exit 1
bench_prefix "$BENCH_X64/long-prefix"

say "starting the manager on $DISPLAY for $MINUTES minutes of ticks"
pid="$(start_program "$(win_path "$MANAGER_X64")")"
tool wait TForm1 60 || die "the window did not appear"
started=$(date +%s)

tool drive $((MINUTES * 60)) >"$LOGS/drive.log" 2>&1 &
driver=$!

# One line a minute: minutes, resident KiB, private (anonymous) KiB.
: >"$LOGS/memory.log"
first=""
for minute in $(seq 1 "$MINUTES"); do
    wait_s=$((started + minute * 60 - $(date +%s)))
    [ $wait_s -le 0 ] || sleep $wait_s
    kill -0 "$pid" 2>/dev/null || break
    read -r rss anon <<<"$(memory_kib "$pid")"
    echo "$minute $rss $anon" >>"$LOGS/memory.log"
    [ -n "$first" ] || first="$rss $anon"
done
drive_status=0
wait "$driver" || drive_status=$?
alive=1
kill -0 "$pid" 2>/dev/null || alive=0
[ $alive -eq 1 ] && read -r last_rss last_anon <<<"$(memory_kib "$pid")"
[ $alive -eq 1 ] && stop_program "$pid" TForm1

echo
say "long run: $MINUTES minutes on $(machine_line)"
cat "$LOGS/drive.log"
status=0
if [ $alive -eq 0 ] || [ -z "$first" ]; then
    echo "manager: ended before the run was over"
    status=1
else
    read -r first_rss first_anon <<<"$first"
    # A figure read as the manager ended is "-": no data, never a growth that meets the target.
    rss_growth="$(minus "$last_rss" "$first_rss")"
    anon_growth="$(minus "$last_anon" "$first_anon")"
    echo "memory after 1 minute: resident $first_rss KiB, private $first_anon KiB"
    echo "memory after $MINUTES minutes: resident $last_rss KiB, private $last_anon KiB"
    verdict="$(met "$rss_growth" $GROWTH_TARGET_KIB)"
    [ "$verdict" != met ] || verdict="$(met "$anon_growth" $GROWTH_TARGET_KIB)"
    echo "growth from minute 1: resident $rss_growth KiB, private $anon_growth KiB (target <= $GROWTH_TARGET_KIB KiB: $verdict)"
    [ $verdict = met ] || status=1
fi
[ $drive_status -eq 0 ] || status=1
echo "per minute (minute, resident KiB, private KiB): $LOGS/memory.log"
[ $status -eq 0 ] && say "long run passed" || say "long run FAILED"
exit $status
