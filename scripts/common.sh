# Shared helpers of the scripts: paths, the Wine environment and a private X display.
# Sourced, not run.

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build"

# Debian installs the 64-bit loader outside PATH.
WINE64="${WINE64:-$(command -v wine64 || echo /usr/lib/wine/wine64)}"
WINESERVER="${WINESERVER:-$(command -v wineserver || echo /usr/lib/wine/wineserver)}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

say() { printf '== %s\n' "$*"; }
die() { printf 'error: %s\n' "$*" >&2; exit 1; }

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
