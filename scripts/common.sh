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

# Where Wine prefixes go: the build folder, or LUMORA_PREFIX_ROOT (the test guest keeps them on
# its own disk rather than on the folder it shares with the host).
PREFIX_ROOT="${LUMORA_PREFIX_ROOT:-$BUILD}"

# Where scripts/setup.sh leaves the one line saying why the 32-bit Wine set is not installed.
I386_SETUP_NOTE="$BUILD/setup-i386.txt"

# Runs FILE as a program and tells how the kernel took it: returns 0 when it ran and exited 0;
# 1 with one line when the kernel refused its format (ENOEXEC, "Exec format error"); 2 with one
# line on any other failure (a noexec mount, a missing file, a non-zero exit).
probe_exec() {
    local out status
    out="$(LC_ALL=C "$1" 2>&1 </dev/null)"
    status=$?
    [ $status -eq 0 ] && return 0
    out="$(head -n 1 <<<"$out")"
    out="${out##*: }"
    if [ "$out" = "Exec format error" ]; then
        echo "this machine cannot run 32-bit x86 code: its kernel refuses an i386 program (Exec format error)"
        return 1
    fi
    echo "error: the i386 probe program $1 could not be run (${out:-exit status $status}): this is not the kernel's refusal of 32-bit code"
    return 2
}

# Whether the kernel runs 32-bit x86 programs: 0 when it does; 1 with one line when it refuses
# them, the only answer that sends the i686 layers to the test guest; 2 with one line when the
# probe could not be tried (an unwritable or noexec build folder), an error of this machine. The
# probe is the smallest static i386 program that exits 0 (93 bytes).
kernel_runs_i386() {
    local probe status
    if ! mkdir -p "$BUILD" 2>/dev/null || ! probe="$(mktemp "$BUILD/.i386-probe.XXXXXX" 2>/dev/null)"; then
        echo "error: the i386 probe program cannot be written to $BUILD"
        return 2
    fi
    printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
    chmod +x "$probe"
    probe_exec "$probe"
    status=$?
    rm -f "$probe"
    return $status
}

# True when this machine runs the i686 build under its own Wine; otherwise prints one line saying
# why: the kernel cannot run 32-bit code (or the probe failed), or the 32-bit Wine could not be
# installed (setup.sh's line), or its loader does not start.
can_run_i386() {
    kernel_runs_i386 || return 1
    local out
    if [ ! -x "$WINE32" ]; then
        if [ -s "$I386_SETUP_NOTE" ]; then
            head -n 1 "$I386_SETUP_NOTE"
        else
            echo "this machine cannot run the i686 build: no 32-bit Wine loader at $WINE32 (bash scripts/setup.sh installs wine32:i386)"
        fi
        return 1
    fi
    if ! out="$("$WINE32" --version 2>&1 </dev/null)"; then
        out="$(head -n 1 <<<"$out")"
        echo "this machine cannot run the i686 build: $WINE32 fails (${out##*: })"
        return 1
    fi
}

# Where the i686 release's test layers run on this machine: "native", "vm WHY" (in the test
# guest, scripts/guest.sh) or "fail WHY" (this machine should run them and cannot: no 32-bit Wine
# where the kernel runs 32-bit code, or a probe that could not be tried). Only the kernel's
# refusal of 32-bit code, or LUMORA_VM=1, sends them to the guest.
i686_placement() {
    local why status
    why="$(kernel_runs_i386)"
    status=$?
    if [ $status -eq 2 ]; then
        echo "fail $why"
    elif [ "${LUMORA_VM:-}" = 1 ]; then
        echo "vm LUMORA_VM=1"
    elif [ $status -eq 1 ]; then
        echo "vm this kernel refuses 32-bit code"
    elif why="$(can_run_i386)"; then
        echo native
    else
        echo "fail $why"
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

# The logical DPI a prefix's programs see: LUMORA_DPI, 96 (Windows' "Small Fonts") when unset.
dpi() {
    local value="${LUMORA_DPI:-96}"
    [[ "$value" =~ ^[0-9]+$ ]] && [ "$value" -gt 0 ] || die "LUMORA_DPI is a number of dots per inch (96, 120, 144), not $value"
    printf '%s' "$value"
}

# Sets the logical DPI of the prefix in WINEPREFIX where Windows keeps it, the user's setting and
# the current hardware profile's: set_prefix_dpi WINE DPI. Programs started afterwards take it.
set_prefix_dpi() {
    local wine="$1" value="$2" key
    for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
        "$wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$value" /f >/dev/null 2>&1 ||
            { echo "error: could not set LogPixels in $key" >&2; return 1; }
    done
}

# Dies with that line unless a flavour's programs can run here.
require_flavour() {
    [ "$1" != i686 ] && return 0
    local why
    why="$(can_run_i386)" || die "$why"
}

# Starts Xvfb (screen WIDTHxHEIGHT, 1024x768 by default) on the first free display from :91
# and exports DISPLAY; stop_xvfb ends it (callers put it in their EXIT trap). Returns 1 with one
# line on standard error when it cannot.
XVFB_PID=""
start_xvfb() {
    local n geometry="${1:-1024x768}"
    if ! command -v Xvfb >/dev/null; then
        echo "error: Xvfb is missing: bash scripts/setup.sh installs xvfb" >&2
        return 1
    fi
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
    echo "error: could not start Xvfb on any display from :91 to :140" >&2
    return 1
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
