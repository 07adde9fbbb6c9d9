#!/usr/bin/env bash
# End-to-end check of "Yes" to the restart offer: in a throwaway prefix of its own (a restart
# ends the programs of the whole prefix), ticks a Tweak box, applies, answers Yes and checks
# from Linux that the request reached Wine: the manager and a witness program both end.
# Closes with "N passed, N failed"; exits non-zero when a check failed.
#
#   e2e-restart.sh [x86_64|i686]
#
# The programs of the flavour (x86_64 by default) come from build/FLAVOUR unless LUMORA_BUILD_DIR
# names another build folder; LUMORA_WINVER=win98 makes the prefix report Windows 98.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

FLAVOUR="${1:-x86_64}"
WINVER="$(winver)" || exit 1
WINE="$(wine_loader "$FLAVOUR")" || exit 1
DIR="${LUMORA_BUILD_DIR:-$BUILD/$FLAVOUR}"
PROGRAM="$DIR/lumora-manager.exe"
TOOL="$DIR/tests/wine/manager_remote.exe"
EXIT_SECONDS=30

PASSED=0
FAILED=0
check() {
    local what="$1"
    shift
    if "$@"; then
        echo "ok      $what"
        PASSED=$((PASSED + 1))
    else
        echo "FAILED  $what"
        FAILED=$((FAILED + 1))
    fi
}

finish() {
    echo "restart: $PASSED passed, $FAILED failed"
    [ $FAILED -eq 0 ]
}

give_up() {
    echo "$1"
    FAILED=$((FAILED + 1))
    finish
    exit 1
}

why="$( [ "$FLAVOUR" != i686 ] || can_run_i386)" || give_up "$why"
[ -f "$PROGRAM" ] && [ -f "$TOOL" ] || give_up "not built: $PROGRAM, $TOOL"

export WINEPREFIX="$PREFIX_ROOT/restart-prefix-$FLAVOUR-$WINVER"
rm -rf "$WINEPREFIX"
mapfile -t options < <(prefix_options "$FLAVOUR" "$WINVER")
bash "$ROOT/scripts/prefix.sh" "${options[@]}" "$WINEPREFIX" || give_up "cannot prepare $WINEPREFIX"
start_xvfb || give_up "no X display for the programs"

MANAGER_PID=""
WITNESS_PID=""
cleanup() {
    local pid
    for pid in "$MANAGER_PID" "$WITNESS_PID"; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null
    done
    stop_wine
    stop_xvfb
}
trap cleanup EXIT

# Ends within SECONDS: true once the process is gone.
ends_within() {
    local pid="$1" seconds="$2" i
    for i in $(seq 1 $((seconds * 10))); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    ! kill -0 "$pid" 2>/dev/null
}

both_running() {
    kill -0 "$MANAGER_PID" 2>/dev/null && kill -0 "$WITNESS_PID" 2>/dev/null
}

# The lines of a file without the CR of its CR LF line ends.
plain_lines() {
    tr -d '\r' <"$1"
}

folder="$WINEPREFIX/drive_c/Program Files/Lumora"
mkdir -p "$folder"
(cd "$folder" && exec "$WINE" "$PROGRAM") >/dev/null 2>&1 &
MANAGER_PID=$!
# A witness: Wine's own editor, another windowed program of the session. It ends only when the
# session ends, so its end tells a restart request from the manager merely closing.
"$WINE" notepad >/dev/null 2>&1 &
WITNESS_PID=$!

check "the manager window opens" "$WINE" "$TOOL" wait TForm1 60
check "the witness window opens" "$WINE" "$TOOL" wait Notepad 60
check "both are running before the answer" both_running

answer="$("$WINE" "$TOOL" restart 30 2>&1)"
echo "$answer" | sed 's/^/  manager_remote: /'
check "Apply asks the restart question and Yes is pressed" \
    grep -qF 'question: Do you want to restart your computer now?' <<<"$answer"

check "the manager ends within $EXIT_SECONDS s" ends_within "$MANAGER_PID" "$EXIT_SECONDS"
check "the witness ends with it: the restart reached Wine" ends_within "$WITNESS_PID" "$EXIT_SECONDS"
check "the tuning value was written before the restart" \
    grep -qx 'PageBuffers=32' <(plain_lines "$WINEPREFIX/drive_c/windows/system.ini")

finish
