# Shared helpers of the scripts: paths, the Wine environment and a private X display.
# Sourced, not run.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"

# Debian installs the 64-bit loader outside PATH.
WINE64="${WINE64:-$(command -v wine64 || echo /usr/lib/wine/wine64)}"
# The 32-bit loader, from the i386 package wine32:i386, runs the i686 build (the release).
WINE32="${WINE32:-/usr/lib/wine/wine}"
WINESERVER="${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver)}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

say() { printf '== %s\n' "$*"; }
die() { printf 'error: %s\n' "$*" >&2; exit 1; }

# The Wine loader of a flavour's programs.
wine_loader() {
    case "$1" in
    i686) printf '%s' "$WINE32" ;;
    x86_64) printf '%s' "$WINE64" ;;
    *) die "unknown Wine flavour $1 (i686, x86_64)" ;;
    esac
}

# True when this machine runs 32-bit x86 programs under Wine; otherwise prints one line saying
# why. A kernel without 32-bit support refuses the loader itself ("Exec format error").
can_run_i386() {
    local out
    if [ ! -x "$WINE32" ]; then
        echo "this machine cannot run the i686 build: no 32-bit Wine loader at $WINE32 (bash scripts/setup.sh installs wine32:i386)"
        return 1
    fi
    if ! out="$("$WINE32" --version 2>&1 </dev/null)"; then
        out="$(head -n 1 <<<"$out")"
        echo "this machine cannot run 32-bit x86 code: the i686 build needs it, and $WINE32 fails (${out##*: })"
        return 1
    fi
}

# The Windows version Wine reports in the prefixes the scripts make: LUMORA_WINVER=win98 for
# Windows 98, unset (or empty) for the NT family Wine reports by default.
winver() {
    case "${LUMORA_WINVER:-}" in
    "") printf nt ;;
    win98) printf win98 ;;
    *) die "LUMORA_WINVER is win98 or unset, not ${LUMORA_WINVER}" ;;
    esac
}

# The arguments of prefix.sh for a flavour and a Windows version (nt, win98).
prefix_options() {
    [ "$1" = i686 ] && printf '%s\n' --i686
    [ "$2" = win98 ] && printf '%s\n' --win98
    return 0
}

# Dies with that line unless a flavour's programs can run here.
require_flavour() {
    [ "$1" != i686 ] && return 0
    local why
    why="$(can_run_i386)" || die "$why"
}

# Starts Xvfb (screen WIDTHxHEIGHT, 1024x768 by default) on the first free display from :91
# and exports DISPLAY; stop_xvfb ends it (callers put it in their EXIT trap).
XVFB_PID=""
start_xvfb() {
    local n geometry="${1:-1024x768}"
    for n in $(seq 91 140); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 "${geometry}x24" -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        local i
        for i in $(seq 1 100); do
            if [ -e "/tmp/.X11-unix/X$n" ]; then
                export DISPLAY=":$n"
                return 0
            fi
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
        XVFB_PID=""
    done
    die "could not start Xvfb"
}

stop_xvfb() {
    if [ -n "$XVFB_PID" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
        XVFB_PID=""
    fi
}

# Ends every Wine process of the prefix in WINEPREFIX (and only of that prefix).
stop_wine() {
    [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && "$WINESERVER" -k 2>/dev/null
    return 0
}

# The Windows form of a Unix path (Wine maps / to Z:).
win_path() {
    printf 'Z:%s' "$(realpath "$1" | tr '/' '\\')"
}
