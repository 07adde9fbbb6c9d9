#!/usr/bin/env bash
# Creates a Wine prefix in DIR laid out as a Windows 98 machine has it for the manager, as
# tests/common/PreparedMachine.inc describes it: the file-system templates, the FileSystem and Run
# keys, and SYSTEM.INI with its 386Enh and vcache sections.
#
#   prefix.sh [--i686] [--win98] [--dpi N] DIR
#
# --i686 makes a 32-bit prefix for the i686 build, run by the 32-bit loader: a 32-bit program
# in a 64-bit prefix would see HKLM\Software through the WOW64 view, not the keys set up here.
# --win98 makes Wine report Windows 98 (platform 1, version 4.10) to every program of the
# prefix: HKCU\Software\Wine "Version" = "win98" ("winecfg /v win98" has no effect here).
# --dpi N sets the logical DPI its programs see (96 by default, 120 is Windows 9x's "Large
# Fonts"): LogPixels in HKCU\Control Panel\Desktop and in the current hardware profile's
# Software\Fonts, where Windows keeps it.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

flavour=x86_64
win98=0
logpixels=""
usage="usage: prefix.sh [--i686] [--win98] [--dpi N] DIR"
while [ $# -gt 1 ]; do
    case "$1" in
    --i686) flavour=i686 ;;
    --win98) win98=1 ;;
    --dpi)
        [ $# -gt 2 ] && [[ "$2" =~ ^[0-9]+$ ]] && [ "$2" -gt 0 ] || die "$usage"
        logpixels="$2"
        shift
        ;;
    *) die "$usage" ;;
    esac
    shift
done
[ $# -eq 1 ] && [ "${1#--}" = "$1" ] || die "$usage"
require_flavour "$flavour"
wine="$(wine_loader "$flavour")"
arch=win64
[ "$flavour" = i686 ] && arch=win32

mkdir -p "$1"
export WINEPREFIX="$(realpath "$1")"

if [ -f "$WINEPREFIX/system.reg" ]; then
    grep -qx "#arch=$arch" "$WINEPREFIX/system.reg" ||
        die "$WINEPREFIX is not a $arch prefix: each flavour needs a prefix of its own"
elif [ -n "${LUMORA_PREFIX_TEMPLATES:-}" ]; then
    # A run that makes many prefixes boots Wine's own set-up once per architecture and Wine, and
    # copies it: in the test guest each boot costs over a minute.
    template="$LUMORA_PREFIX_TEMPLATES/$arch-$("$wine" --version 2>/dev/null | tr -c 'A-Za-z0-9.\n-' _)"
    mkdir -p "$LUMORA_PREFIX_TEMPLATES"
    (
        flock 9
        [ -f "$template/system.reg" ] && exit 0
        say "creating the Wine prefix template $template ($arch)"
        rm -rf "$template"
        WINEPREFIX="$template" WINEARCH=$arch "$wine" wineboot -i >"$template.log" 2>&1 &&
            WINEPREFIX="$template" "$WINESERVER" -w
    ) 9>"$template.lock" || die "wineboot failed in $template: $(grep -v fixme "$template.log" | tail -n 1)"
    say "creating Wine prefix $WINEPREFIX ($arch) from $template"
    cp -a "$template/." "$WINEPREFIX/" || die "cannot copy $template to $WINEPREFIX"
else
    say "creating Wine prefix $WINEPREFIX ($arch)"
    WINEARCH=$arch "$wine" wineboot -i >"$WINEPREFIX.wineboot.log" 2>&1 ||
        die "wineboot failed in $WINEPREFIX: $(grep -v fixme "$WINEPREFIX.wineboot.log" | tail -n 1)"
    rm -f "$WINEPREFIX.wineboot.log"
fi

# This Wine does not find its own fonts in its data folder, so "MS Sans Serif" would fall back
# to a wider outline font and window frames would lack their button glyphs. A copy in the
# prefix's Fonts folder is found, and text measures as it does on Windows.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
for font in /usr/share/wine/fonts/*.fon /usr/share/wine/fonts/*.ttf; do
    [ -f "$font" ] && [ ! -e "$fonts/$(basename "$font")" ] && cp "$font" "$fonts/"
done

# The machine the tests start from, as tests/common/PreparedMachine.inc describes it: its keys
# and templates into a REGEDIT4 file, its SYSTEM.INI sections into the prefix's system.ini.
machine="$ROOT/tests/common/PreparedMachine.inc"
templates='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\FS Templates'
# A number as the bytes of a little-endian 4-byte binary: 677 is a5,02,00,00.
le32() {
    printf '%02x,%02x,%02x,%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255))
}
lines=('REGEDIT4' '')
ini_sections=()
declare -A ini_entries=()
while IFS= read -r line; do
    # The C++ text of the file: a doubled backslash is one.
    line="${line//\\\\/\\}"
    if [[ "$line" =~ ^LUMORA_MACHINE_KEY\((HKLM|HKCU),\ \"(.*)\"\)$ ]]; then
        root=HKEY_LOCAL_MACHINE
        [ "${BASH_REMATCH[1]}" = HKCU ] && root=HKEY_CURRENT_USER
        lines+=("[$root\\${BASH_REMATCH[2]}]" '')
    elif [[ "$line" =~ ^LUMORA_MACHINE_TEMPLATE\(\"(.*)\",\ ([0-9]+),\ ([0-9]+)\)$ ]]; then
        lines+=("[$templates\\${BASH_REMATCH[1]}]" "\"NameCache\"=hex:$(le32 "${BASH_REMATCH[2]}")"
            "\"PathCache\"=hex:$(le32 "${BASH_REMATCH[3]}")" '')
    elif [[ "$line" =~ ^LUMORA_MACHINE_INI\(\"(.*)\",\ \"(.*)\"\)$ ]]; then
        section="${BASH_REMATCH[1]}"
        [ -n "${ini_entries[$section]+set}" ] || ini_sections+=("$section")
        ini_entries[$section]+="${BASH_REMATCH[2]:+${BASH_REMATCH[2]}$'\r\n'}"
    elif [[ "$line" == LUMORA_* ]]; then
        die "$machine: a line this script cannot read: $line"
    fi
done <"$machine"
[ ${#ini_sections[@]} -gt 0 ] || die "$machine: no SYSTEM.INI section read"
version='"Version"=-'
[ $win98 -eq 1 ] && version='"Version"="win98"'
lines+=('[HKEY_CURRENT_USER\Software\Wine]' "$version" '')
if [ -n "$logpixels" ]; then
    dword="$(printf '"LogPixels"=dword:%08x' "$logpixels")"
    lines+=('[HKEY_CURRENT_USER\Control Panel\Desktop]' "$dword" ''
        '[HKEY_LOCAL_MACHINE\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts]' "$dword" '')
fi
reg="$WINEPREFIX/drive_c/windows/temp/lumora-machine.reg"
mkdir -p "$(dirname "$reg")"
printf '%s\r\n' "${lines[@]}" >"$reg"
"$wine" regedit /S 'C:\windows\temp\lumora-machine.reg' >/dev/null 2>&1 || die "regedit failed"
rm -f "$reg"

# Wine's own system.ini has multimedia sections only; add those a Windows 98 one has.
ini="$WINEPREFIX/drive_c/windows/system.ini"
touch "$ini"
for section in "${ini_sections[@]}"; do
    grep -qi "^\[$section\]" "$ini" || printf '[%s]\r\n%s' "$section" "${ini_entries[$section]}" >>"$ini"
done

# What Wine now reports, as a program asks for it (GetVersionEx, through cmd's "ver"): a prefix
# meant for Windows 98 that reports the NT family would let its tests pass on skips alone.
reported="$("$wine" cmd /c ver 2>/dev/null | tr -d '\r' | grep -m 1 -oE 'Windows [0-9]+\.[0-9]+')" || true
if [ $win98 -eq 1 ]; then
    [ "$reported" = "Windows 4.10" ] || die "$WINEPREFIX should report Windows 98 (4.10), but Wine reports ${reported:-nothing}"
else
    case "$reported" in
    "Windows "[5-9].* | "Windows "[1-9][0-9].*) ;;
    *) die "$WINEPREFIX should report the NT family, but Wine reports ${reported:-nothing}" ;;
    esac
fi

# The registry reaches its files only when the server ends.
"$WINESERVER" -w
mode="the NT family"
[ $win98 -eq 1 ] && mode="Windows 98"
[ -n "$logpixels" ] && mode="$mode at $logpixels dpi"
say "prefix ready: $WINEPREFIX ($arch, reports $mode)"
