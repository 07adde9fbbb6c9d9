#!/usr/bin/env bash
# Tests of the set-up's decisions against apt answers recorded in fixtures: which index failed,
# apt's reason for a failure, which libraries must be lined up between amd64 and i386 and at which
# version, and what the scripts say when the i686 build cannot run. apt-cache and dpkg-query are
# stand-ins reading the fixtures; dpkg's own version comparison is the real one.
# Closes with "N passed, N failed".
set -uo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$HERE/../../scripts/setup.sh"

PASSED=0
FAILED=0
expect_eq() {
    local what="$1" want="$2" got="$3"
    if [ "$want" = "$got" ]; then
        PASSED=$((PASSED + 1))
        echo "ok      $what"
    else
        FAILED=$((FAILED + 1))
        printf 'FAILED  %s\n  want: %s\n  got:  %s\n' "$what" "${want//$'\n'/$'\n        '}" "${got//$'\n'/$'\n        '}"
    fi
}

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
FIX="$WORK/fixture"
mkdir -p "$FIX/policy" "$FIX/madison" "$FIX/status" "$WORK/bin"
cat >"$WORK/bin/apt-cache" <<'STUB'
#!/usr/bin/env bash
verb="$1"; shift
case "$verb" in
depends) cat "$FIX/depends" ;;
policy | madison)
    for name in "$@"; do
        case "$name" in -*) continue ;; esac
        cat "$FIX/$verb/$name" 2>/dev/null
    done ;;
esac
STUB
cat >"$WORK/bin/dpkg-query" <<'STUB'
#!/usr/bin/env bash
status=0
for name in "$@"; do
    case "$name" in -*) continue ;; esac
    cat "$FIX/status/${name%:amd64}" 2>/dev/null || status=1
done
exit $status
STUB
chmod +x "$WORK/bin/"*
export FIX PATH="$WORK/bin:$PATH"

# --- apt's words

update_output='Get:6 http://deb.debian.org/debian-security bookworm-security/main i386 Packages [376 kB]
Err:6 http://deb.debian.org/debian-security bookworm-security/main i386 Packages
  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 203.0.113.80 80]
E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 203.0.113.80 80]
   Hashes of expected file:
E: Some index files failed to download. They have been ignored, or old ones used instead.'
expect_eq "a failed index is named with apt's reason" \
    "http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz (File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 203.0.113.80 80])" \
    "$(failed_indexes "$update_output")"
expect_eq "an update that failed on nothing names nothing" "" "$(failed_indexes 'Hit:1 http://deb.debian.org/debian bookworm InRelease')"

expect_eq "the reason of a broken set is apt's resolver line, not its advice" \
    "Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages." \
    "$(reason_of 'Reading package lists...
E: Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages.
E: Unable to correct problems, you have held broken packages.')"
expect_eq "the reason of a missing package" "Unable to locate package wine32:i386" \
    "$(reason_of 'Reading package lists...
E: Unable to locate package wine32:i386')"
expect_eq "without an error line the reason is apt's last line" "Killed" "$(reason_of $'Reading package lists...\nKilled')"

# --- lining up the two architectures

# libskew: amd64 from the security suite, the i386 index only has the point release.
# libsame: both at one version: held there, so that apt does not move the amd64 one.
# libnone: no version in both indexes.
# libepoch: versions with epochs and two-digit revisions, the newer common one is u10, not u9.
# libforeign: not Multi-Arch: same; libgone: removed (rc); libelse: not in the i386 set.
cat >"$FIX/depends" <<'DATA'
wine32:i386
  Depends: libskew:i386
  Depends: <virtual:i386>
libskew:i386
libsame:i386
libnone:i386
libepoch:i386
libforeign:i386
libgone:i386
DATA
status_line() { echo "$1 amd64 $2 $3 $4" >"$FIX/status/$1"; }
status_line libskew same 1.0-1+deb12u2 ii
status_line libsame same 2.0-3 ii
status_line libnone same 3.0-1+deb12u1 ii
status_line libepoch same 1:2.66-4+deb12u2 ii
status_line libforeign foreign 5.0-1 ii
status_line libgone same 6.0-1 rc
status_line libelse same 7.0-1 ii
policy() {
    printf '%s:i386:\n  Installed: (none)\n  Candidate: %s\n  Version table:\n' "$1" "$2" >"$FIX/policy/$1:i386"
}
policy libskew 1.0-1+deb12u1
policy libsame 2.0-3
policy libnone 2.9-1
policy libepoch 1:2.66-4+deb12u9
policy libforeign 4.0-1
policy libgone 5.9-1
madison() {
    local name="$1" arch="$2" v
    shift 2
    for v in "$@"; do
        if [ "$arch" = i386 ]; then
            printf '%s:i386 | %s | http://deb.debian.org/debian bookworm/main i386 Packages\n' "$name" "$v"
        else
            printf '   %s | %s | http://deb.debian.org/debian-security bookworm-security/main amd64 Packages\n' "$name" "$v"
        fi
    done >>"$FIX/madison/$name:$arch"
}
madison libskew amd64 1.0-1+deb12u2 1.0-1+deb12u1
madison libskew i386 1.0-1+deb12u1
madison libsame amd64 2.0-3
madison libsame i386 2.0-3
madison libnone amd64 3.0-1+deb12u1
madison libnone i386 2.9-1
madison libepoch amd64 1:2.66-4+deb12u10 1:2.66-4+deb12u9 1:2.66-4+deb12u2
madison libepoch i386 1:2.66-4+deb12u9 1:2.66-4+deb12u10

expect_eq "each Multi-Arch: same library of the i386 set is held or moved in both architectures" \
    "libepoch:amd64=1:2.66-4+deb12u10 libepoch:i386=1:2.66-4+deb12u10
libnone: no version in both indexes (amd64 3.0-1+deb12u1, i386 2.9-1)
libsame:amd64=2.0-3 libsame:i386=2.0-3
libskew:amd64=1.0-1+deb12u1 libskew:i386=1.0-1+deb12u1" \
    "$(skew_plan wine32:i386)"

rm -f "$FIX/depends"
: >"$FIX/depends"
expect_eq "a set without i386 dependencies needs nothing lined up" "" "$(skew_plan wine32:i386)"

# --- what the scripts say when the i686 build cannot run (the kernel's answers: run-rules-test.sh)

BUILD="$WORK/build"
I386_SETUP_NOTE="$BUILD/setup-i386.txt"
if kernel_runs_i386 >/dev/null; then
    mkdir -p "$BUILD"
    echo "32-bit Wine could not be installed: wine32:i386: Unable to locate package wine32:i386" >"$I386_SETUP_NOTE"
    expect_eq "without the 32-bit loader the set-up's line is the reason" \
        "32-bit Wine could not be installed: wine32:i386: Unable to locate package wine32:i386" \
        "$(WINE32="$WORK/no-such-wine" can_run_i386)"
    rm -f "$I386_SETUP_NOTE"
    expect_eq "without the loader or a line, where the loader belongs" \
        "this machine cannot run the i686 build: no 32-bit Wine loader at $WORK/no-such-wine (bash scripts/setup.sh installs wine32:i386)" \
        "$(WINE32="$WORK/no-such-wine" can_run_i386)"
else
    expect_eq "a kernel that refuses i386 programs is named before any loader" \
        "this machine cannot run 32-bit x86 code: its kernel refuses an i386 program (Exec format error)" \
        "$(WINE32="$WORK/no-such-wine" can_run_i386)"
fi

echo "setup: $PASSED passed, $FAILED failed"
[ $FAILED -eq 0 ]
