#!/usr/bin/env bash
# Screenshots of the manager's seven pages, framed by a Wine desktop on a private Xvfb display:
# build/test-logs/screenshots/page0-lumora.png ... page6-about.png. Closes with an
# "N passed, N failed" line (one per page shot) and exits non-zero when a page failed.
#
# LUMORA_X64_BUILD picks the x86_64 build folder (build/x86_64 by default), LUMORA_SHOTS the
# folder for the pictures. The program runs on a fresh agent key in its own prefix,
# build/shots-prefix, so what it shows does not depend on earlier runs.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

build="$(realpath -m "${LUMORA_X64_BUILD:-$BUILD/x86_64}")"
shots="${LUMORA_SHOTS:-$BUILD/test-logs/screenshots}"
program="$build/lumora-manager.exe"
tool="$build/tests/wine/bench_tool.exe"
[ -f "$program" ] || die "not built: $program"
[ -f "$tool" ] || die "not built: $tool"
mkdir -p "$shots"

export WINEPREFIX="$BUILD/shots-prefix"
[ -f "$WINEPREFIX/system.reg" ] || bash "$ROOT/scripts/prefix.sh" "$WINEPREFIX" || die "no prefix"

cleanup() {
    stop_wine
    stop_xvfb
}
trap cleanup EXIT
stop_wine
start_xvfb 800x600

# Every program of the prefix, the bench tool that switches the pages included, runs in the one
# virtual desktop, which draws frames as Windows does.
explorer='HKCU\Software\Wine\Explorer'
"$WINE64" reg add "$explorer" /v Desktop /d shots /f >/dev/null 2>&1
"$WINE64" reg add "$explorer\Desktops" /v shots /d 800x600 /f >/dev/null 2>&1
"$WINE64" reg delete 'HKCU\Software\Lumora' /f >/dev/null 2>&1 || true

folder="$WINEPREFIX/drive_c/Program Files/Lumora"
mkdir -p "$folder"
windows_program="$(win_path "$program")"
(cd "$folder" && exec "$WINE64" explorer /desktop=shots,800x600 "$windows_program" >/dev/null 2>&1) &
"$WINE64" "$tool" wait TForm1 60 || die "the window did not appear on $DISPLAY"
# Start-up has loaded the settings and the first status tick has filled the figures.
sleep 2

names=(lumora options disk-cache file-cache tweak promotion about)
passed=0
failed=0
for index in "${!names[@]}"; do
    shot="$shots/page$index-${names[$index]}.png"
    rm -f "$shot"
    if ! "$WINE64" "$tool" page "$index"; then
        echo "page $index: the page did not come up"
        failed=$((failed + 1))
        continue
    fi
    sleep 0.5
    if import -display "$DISPLAY" -window root "$shot" && [ -s "$shot" ]; then
        echo "page $index: $shot"
        passed=$((passed + 1))
    else
        echo "page $index: no screenshot"
        failed=$((failed + 1))
    fi
done
"$WINE64" "$tool" close TForm1 10 >/dev/null 2>&1 || true

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
