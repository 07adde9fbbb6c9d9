#!/usr/bin/env bash
# Screenshots of the manager's seven pages, framed by a Wine desktop on a private Xvfb display:
# build/test-logs/screenshots/FLAVOUR/page0-lumora.png ... page6-about.png (FLAVOUR-win98 in
# Windows 98 mode), and again under "Large Fonts", at 120 dpi, in FLAVOUR-dpi120 (or
# FLAVOUR-win98-dpi120). Closes with an "N passed, N failed" line (one per page shot) and exits
# non-zero when a page failed.
#
#   screenshots.sh [x86_64|i686]
#
# The flavour's programs (x86_64 by default) come from build/FLAVOUR unless LUMORA_BUILD_DIR names
# another build folder; LUMORA_SHOTS names the folder for the pictures; LUMORA_WINVER=win98 makes
# the prefix report Windows 98; LUMORA_DPI lists the logical DPIs to shoot at ("96 120" when
# unset), each on a screen as much larger than 800x600 as its DPI is than 96. The program runs
# on a fresh agent key in its own prefix, build/shots-prefix-FLAVOUR-nt (or -win98), so what it
# shows does not depend on earlier runs.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

flavour="${1:-x86_64}"
winver="$(winver)" || exit 1
read -r -a dpis <<<"${LUMORA_DPI:-96 120}"
for logpixels in "${dpis[@]}"; do
    LUMORA_DPI="$logpixels" dpi >/dev/null || exit 1
done
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

export WINEPREFIX="$PREFIX_ROOT/shots-prefix-$flavour-$winver"
mapfile -t options < <(prefix_options "$flavour" "$winver")
[ -f "$WINEPREFIX/system.reg" ] || bash "$ROOT/scripts/prefix.sh" "${options[@]}" "$WINEPREFIX" || die "no prefix"

cleanup() {
    stop_wine
    stop_xvfb
}
trap cleanup EXIT

# One pass of the seven pages at a logical DPI into a folder: shoot_pages DPI FOLDER. The
# screen grows with the DPI, as a screen set to large fonts is a larger one.
names=(lumora options disk-cache file-cache tweak promotion about)
passed=0
failed=0
shoot_pages() {
    local logpixels="$1" folder="$2" screen index shot
    screen="$((800 * logpixels / 96))x$((600 * logpixels / 96))"
    mkdir -p "$folder"
    stop_wine
    "$WINESERVER" -w 2>/dev/null
    stop_xvfb
    if ! start_xvfb "$screen"; then
        failed=$((failed + ${#names[@]}))
        return
    fi
    # Every program of the prefix, manager_remote that switches the pages included, runs in the
    # one virtual desktop, which draws frames as Windows does. The desktop is named last: once it
    # is, every Wine program (reg too) opens it at the size then set, and the programs after it
    # share that one; a desktop an earlier run left named is closed first.
    local explorer='HKCU\Software\Wine\Explorer'
    "$wine" reg delete "$explorer" /v Desktop /f >/dev/null 2>&1
    stop_wine
    "$WINESERVER" -w 2>/dev/null
    "$wine" reg add "$explorer\Desktops" /v shots /d "$screen" /f >/dev/null 2>&1
    "$wine" reg delete 'HKCU\Software\Lumora' /f >/dev/null 2>&1 || true
    if ! set_prefix_dpi "$wine" "$logpixels"; then
        failed=$((failed + ${#names[@]}))
        return
    fi
    "$wine" reg add "$explorer" /v Desktop /d shots /f >/dev/null 2>&1

    local work="$WINEPREFIX/drive_c/Program Files/Lumora"
    mkdir -p "$work"
    (cd "$work" && exec "$wine" explorer "/desktop=shots,$screen" "$windows_program" >/dev/null 2>&1) &
    if ! "$wine" "$tool" wait TForm1 60; then
        echo "$logpixels dpi: the window did not appear on $DISPLAY"
        failed=$((failed + ${#names[@]}))
        return
    fi
    # Start-up has loaded the settings and the first status tick has filled the figures.
    sleep 2
    for index in "${!names[@]}"; do
        shot="$folder/page$index-${names[$index]}.png"
        rm -f "$shot"
        if ! "$wine" "$tool" page "$index"; then
            echo "page $index at $logpixels dpi: the page did not come up"
            failed=$((failed + 1))
            continue
        fi
        sleep 0.5
        if import -display "$DISPLAY" -window root "$shot" && [ -s "$shot" ]; then
            echo "page $index at $logpixels dpi: $shot"
            passed=$((passed + 1))
        else
            echo "page $index at $logpixels dpi: no screenshot"
            failed=$((failed + 1))
        fi
    done
    "$wine" "$tool" close TForm1 10 >/dev/null 2>&1 || true
    "$wine" reg delete "$explorer" /v Desktop /f >/dev/null 2>&1
}

windows_program="$(win_path "$program")"
for logpixels in "${dpis[@]}"; do
    if [ "$logpixels" = 96 ]; then
        shoot_pages 96 "$shots"
    else
        shoot_pages "$logpixels" "$shots-dpi$logpixels"
    fi
done

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
