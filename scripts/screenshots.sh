#!/usr/bin/env bash
# Screenshots of the manager's seven pages, framed by a Wine desktop on a private Xvfb display:
# build/test-logs/screenshots/FLAVOUR/page0-lumora.png ... page6-about.png (FLAVOUR-win98 in
# Windows 98 mode). Closes with an "N passed, N failed" line (one per page shot) and exits
# non-zero when a page failed.
#
#   screenshots.sh [x86_64|i686]
#
# The flavour's programs (x86_64 by default) come from build/FLAVOUR unless LUMORA_BUILD_DIR names
# another build folder; LUMORA_SHOTS names the folder for the pictures; LUMORA_WINVER=win98 makes
# the prefix report Windows 98. The program runs on a fresh agent key in its own prefix,
# build/shots-prefix-FLAVOUR-nt (or -win98), so what it shows does not depend on earlier runs.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

flavour="${1:-x86_64}"
winver="$(winver)" || exit 1
wine="$(wine_loader "$flavour")" || exit 1
require_flavour "$flavour"
build="$(realpath -m "${LUMORA_BUILD_DIR:-$BUILD/$flavour}")"
suffix=""
[ "$winver" = win98 ] && suffix=-win98
shots="${LUMORA_SHOTS:-$BUILD/test-logs/screenshots/$flavour$suffix}"
program="$build/lumora-manager.exe"
tool="$build/tests/wine/manager_remote.exe"
[ -f "$program" ] || die "not built: $program"
[ -f "$tool" ] || die "not built: $tool"
mkdir -p "$shots"

export WINEPREFIX="$BUILD/shots-prefix-$flavour-$winver"
mapfile -t options < <(prefix_options "$flavour" "$winver")
[ -f "$WINEPREFIX/system.reg" ] || bash "$ROOT/scripts/prefix.sh" "${options[@]}" "$WINEPREFIX" || die "no prefix"

cleanup() {
    stop_wine
    stop_xvfb
}
trap cleanup EXIT
stop_wine
start_xvfb 800x600 || exit 1

# Every program of the prefix, manager_remote that switches the pages included, runs in the one
# virtual desktop, which draws frames as Windows does.
explorer='HKCU\Software\Wine\Explorer'
"$wine" reg add "$explorer" /v Desktop /d shots /f >/dev/null 2>&1
"$wine" reg add "$explorer\Desktops" /v shots /d 800x600 /f >/dev/null 2>&1
"$wine" reg delete 'HKCU\Software\Lumora' /f >/dev/null 2>&1 || true

folder="$WINEPREFIX/drive_c/Program Files/Lumora"
mkdir -p "$folder"
windows_program="$(win_path "$program")"
(cd "$folder" && exec "$wine" explorer /desktop=shots,800x600 "$windows_program" >/dev/null 2>&1) &
"$wine" "$tool" wait TForm1 60 || die "the window did not appear on $DISPLAY"
# Start-up has loaded the settings and the first status tick has filled the figures.
sleep 2

names=(lumora options disk-cache file-cache tweak promotion about)
passed=0
failed=0
for index in "${!names[@]}"; do
    shot="$shots/page$index-${names[$index]}.png"
    rm -f "$shot"
    if ! "$wine" "$tool" page "$index"; then
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
"$wine" "$tool" close TForm1 10 >/dev/null 2>&1 || true

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
