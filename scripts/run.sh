#!/usr/bin/env bash
# Builds the program and runs one flavour under Wine in a prefix of its own,
# build/run-prefix-FLAVOUR-nt (or -win98). With a DISPLAY it opens there and runs until closed;
# without one it runs on a private Xvfb display inside a Wine desktop. Either way a screenshot
# of the opened window goes to build/screenshots/.
#
#   run.sh [x86_64|i686]
#
# x86_64 (the default) is the build for testing under 64-bit Wine; i686 is the release, run by
# the 32-bit Wine. LUMORA_WINVER=win98 makes Wine report Windows 98 to it, so that the release
# takes the paths it takes on Windows 98. LUMORA_DPI=120 sets the prefix's logical DPI, as Windows
# 9x's "Large Fonts" does (any number: 144 is 150 %); unset, the prefix is at 96 dpi.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

flavour="${1:-x86_64}"
[ $# -le 1 ] || die "usage: run.sh [x86_64|i686]"
wine="$(wine_loader "$flavour")" || exit 1
winver="$(winver)" || exit 1
logpixels="$(dpi)" || exit 1

bash "$ROOT/scripts/setup.sh" || die "the set-up failed (above)"
if [ "$flavour" = i686 ] && ! why="$(can_run_i386)"; then
    die "$why; run the x86_64 build instead: bash scripts/run.sh"
fi
bash "$ROOT/scripts/build.sh" "$flavour"

export WINEPREFIX="$PREFIX_ROOT/run-prefix-$flavour-$winver"
mapfile -t options < <(prefix_options "$flavour" "$winver")
[ -f "$WINEPREFIX/system.reg" ] || bash "$ROOT/scripts/prefix.sh" "${options[@]}" "$WINEPREFIX"
# Every run sets the DPI, so that one run's LUMORA_DPI does not stay behind for the next.
set_prefix_dpi "$wine" "$logpixels" || die "could not set the prefix's DPI"

program="$BUILD/$flavour/lumora-manager.exe"
tool="$BUILD/$flavour/tests/wine/manager_remote.exe"
shots="$BUILD/screenshots"
shot="$shots/manager-$flavour-$winver.png"
[ "$logpixels" = 96 ] || shot="$shots/manager-$flavour-$winver-dpi$logpixels.png"
mkdir -p "$shots"

cleanup() {
    stop_wine
    stop_xvfb
}
trap cleanup EXIT

# Without a display, every program of the prefix (the manager and manager_remote that waits
# for it) runs in the one virtual desktop "lumora", which draws frames like Windows does.
explorer='HKCU\Software\Wine\Explorer'
own_display=0
# The private screen grows with the DPI, as a screen set to large fonts is a larger one.
screen="$((800 * logpixels / 96))x$((600 * logpixels / 96))"
if [ -z "${DISPLAY:-}" ]; then
    start_xvfb "$screen" || exit 1
    own_display=1
    # Size first: once the desktop is named, every Wine program (reg too) opens it at the size
    # then set, and the program after them shares that one.
    "$wine" reg add "$explorer\Desktops" /v lumora /d "$screen" /f >/dev/null 2>&1
    "$wine" reg add "$explorer" /v Desktop /d lumora /f >/dev/null 2>&1
else
    "$wine" reg delete "$explorer" /v Desktop /f >/dev/null 2>&1 || true
fi

# The agent's folder: the program stores its working folder as CurrentDir on the first start.
folder="$WINEPREFIX/drive_c/Program Files/Lumora"
mkdir -p "$folder"
cd "$folder"
if [ $own_display -eq 1 ]; then
    "$wine" explorer "/desktop=lumora,$screen" "$(win_path "$program")" >/dev/null 2>&1 &
else
    "$wine" "$(win_path "$program")" >/dev/null 2>&1 &
fi
cd "$ROOT"

say "waiting for the $flavour window on $DISPLAY (Wine reports $([ "$winver" = win98 ] && echo 'Windows 98' || echo 'the NT family') at $logpixels dpi)"
"$wine" "$tool" wait TForm1 60 || die "the window did not appear"
sleep 2
import -window root "$shot"
say "screenshot: $shot"

if [ $own_display -eq 1 ]; then
    "$wine" "$tool" close TForm1 10 || true
    # The next run may want another size.
    "$wine" reg delete "$explorer" /v Desktop /f >/dev/null 2>&1 || true
else
    say "the program runs on $DISPLAY; close its window to end"
    while "$wine" "$tool" wait TForm1 1 >/dev/null 2>&1; do sleep 1; done
fi
