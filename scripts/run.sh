#!/usr/bin/env bash
# Builds the program and runs the x86_64 build under Wine in build/run-prefix. With a DISPLAY
# it opens there and runs until closed; without one it runs on a private Xvfb display inside a
# Wine desktop. Either way a screenshot of the opened window goes to build/screenshots/.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

bash "$ROOT/scripts/setup.sh"
bash "$ROOT/scripts/build.sh" x86_64

export WINEPREFIX="$BUILD/run-prefix"
[ -f "$WINEPREFIX/system.reg" ] || bash "$ROOT/scripts/prefix.sh" "$WINEPREFIX"

program="$BUILD/x86_64/lumora-manager.exe"
tool="$BUILD/x86_64/tests/wine/bench_tool.exe"
shots="$BUILD/screenshots"
mkdir -p "$shots"

cleanup() {
    stop_wine
    stop_xvfb
}
trap cleanup EXIT

# Without a display, every program of the prefix (the manager and the bench tool that waits
# for it) runs in the one virtual desktop "lumora", which draws frames like Windows does.
explorer='HKCU\Software\Wine\Explorer'
own_display=0
if [ -z "${DISPLAY:-}" ]; then
    start_xvfb 800x600
    own_display=1
    "$WINE64" reg add "$explorer" /v Desktop /d lumora /f >/dev/null 2>&1
    "$WINE64" reg add "$explorer\Desktops" /v lumora /d 800x600 /f >/dev/null 2>&1
else
    "$WINE64" reg delete "$explorer" /v Desktop /f >/dev/null 2>&1 || true
fi

# The agent's folder: the program stores its working folder as CurrentDir on the first start.
folder="$WINEPREFIX/drive_c/Program Files/Lumora"
mkdir -p "$folder"
cd "$folder"
if [ $own_display -eq 1 ]; then
    "$WINE64" explorer /desktop=lumora,800x600 "$(win_path "$program")" >/dev/null 2>&1 &
else
    "$WINE64" "$(win_path "$program")" >/dev/null 2>&1 &
fi
cd "$ROOT"

say "waiting for the window on $DISPLAY"
"$WINE64" "$tool" wait TForm1 60 || die "the window did not appear"
sleep 2
import -window root "$shots/manager.png"
say "screenshot: $shots/manager.png"

if [ $own_display -eq 1 ]; then
    "$WINE64" "$tool" close TForm1 10 || true
else
    say "the program runs on $DISPLAY; close its window to end"
    while "$WINE64" "$tool" wait TForm1 1 >/dev/null 2>&1; do sleep 1; done
fi
