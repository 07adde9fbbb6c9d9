#!/usr/bin/env bash
# Tests of the test run's own rules, each over a planted fault: where the release's layers may
# go (only the kernel's refusal of 32-bit code sends them to the guest; anything else fails), a
# Windows 98 prefix that reports the NT family, and a guest that is not complete or cannot boot.
# (What fails a layer: test-summary-test.sh.) Closes with "N passed, N failed".
set -uo pipefail
. "$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/common.sh"
work="$(mktemp -d)"
unset LUMORA_PREFIX_TEMPLATES LUMORA_VM
mounted=""
trap '[ -z "$mounted" ] || umount "$mounted"; rm -rf "$work"' EXIT

passed=0
failed=0
# check NAME WANTED GOT: GOT starts with WANTED.
check() {
    if [[ "$3" == "$2"* ]]; then
        passed=$((passed + 1))
        echo "ok    $1"
    else
        failed=$((failed + 1))
        printf 'FAIL  %s\n  wanted: %s\n  got:    %s\n' "$1" "$2" "$3"
    fi
}
# answer COMMAND...: its status and the last line it printed.
answer() {
    local out status
    out="$("$@" 2>&1)"
    status=$?
    printf '%s %s' "$status" "$(tail -n 1 <<<"$out")"
}

# --- the kernel's answer

# The i386 probe with another machine in its header (ARM): any kernel refuses its format, as a
# kernel without 32-bit support refuses the i386 one.
foreign="$work/foreign"
printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x28\x00\x01\x00\x00\x00' >"$foreign"
head -c 200 /dev/zero >>"$foreign"
chmod +x "$foreign"
check "a format the kernel refuses is its refusal of 32-bit code" \
    "1 this machine cannot run 32-bit x86 code: its kernel refuses an i386 program (Exec format error)" \
    "$(answer probe_exec "$foreign")"

# A build folder on a noexec mount: the probe cannot run, which says nothing of the kernel.
noexec="$work/noexec"
mkdir -p "$noexec"
if mount -t tmpfs -o noexec,size=1m tmpfs "$noexec" 2>/dev/null; then
    mounted="$noexec"
    check "a noexec build folder is an error, not a kernel's refusal" \
        "2 error: the i386 probe program $noexec/.i386-probe." "$(BUILD="$noexec" answer kernel_runs_i386)"
    check "and the release's layers fail with it" "fail error: the i386 probe program" \
        "$(BUILD="$noexec" i686_placement)"
else
    check "a noexec build folder can be planted (needs root)" "mounted" "not mounted: not root"
fi
check "an unwritable build folder is an error" "2 error: the i386 probe program cannot be written" \
    "$(BUILD=/proc/version/build answer kernel_runs_i386)"

# Where the kernel runs 32-bit code, a missing 32-bit Wine is a failed set-up, not a skip.
if kernel_runs_i386 >/dev/null; then
    check "a 32-bit kernel without the 32-bit Wine fails the release's layers" \
        "fail this machine cannot run the i686 build: no 32-bit Wine loader at $work/no-wine" \
        "$(WINE32="$work/no-wine" I386_SETUP_NOTE="$work/none" i686_placement)"
    check "LUMORA_VM=1 sends them to the guest all the same" "vm LUMORA_VM=1" \
        "$(LUMORA_VM=1 WINE32="$work/no-wine" i686_placement)"
else
    check "a kernel that refuses 32-bit code sends the release's layers to the guest" \
        "vm this kernel refuses 32-bit code" "$(WINE32="$work/no-wine" i686_placement)"
fi

# --- a Windows 98 prefix must report Windows 98

# A Wine loader that makes prefixes and answers "ver" as its REPORTS says.
fake_wine="$work/fake-wine"
cat >"$fake_wine" <<'EOF'
#!/bin/sh
case "$1" in
wineboot) mkdir -p "$WINEPREFIX" && echo '#arch=win64' >"$WINEPREFIX/system.reg" ;;
cmd) printf '\r\nMicrosoft Windows %s\r\n' "$REPORTS" ;;
esac
exit 0
EOF
chmod +x "$fake_wine"
prefix() { REPORTS="$1" WINE64="$fake_wine" WINESERVER=true answer bash "$ROOT/scripts/prefix.sh" "${@:2}"; }
check "a Windows 98 prefix whose Wine reports NT fails" \
    "1 error: $work/p1 should report Windows 98 (4.10), but Wine reports Windows 6.1" \
    "$(prefix 6.1.7601 --win98 "$work/p1")"
check "one that reports 4.10 is made" "0 " "$(prefix 4.10.2222 --win98 "$work/p2")"
check "an NT prefix whose Wine reports Windows 98 fails" "1 " "$(prefix 4.10.2222 "$work/p3")"

# --- the guest's cache: only a complete folder of this recipe is used

export LUMORA_GUEST_CACHE="$work/guest-cache" LUMORA_VM_CONSOLE="$work/console.log"
guest="$(bash "$ROOT/scripts/guest.sh" --status 2>/dev/null)"
check "an empty guest cache holds no guest" "1 " "$(answer bash "$ROOT/scripts/guest.sh" --status)"
mkdir -p "$guest"
for piece in vmlinuz initrd.img disk.img; do echo "$piece" >"$guest/$piece"; done
check "a guest without its completion stamp is not used" "1 " "$(answer bash "$ROOT/scripts/guest.sh" --status)"
bash "$ROOT/scripts/guest.sh" --key | sed 's/^recipe: .*/recipe: 0/' >"$guest/.complete"
check "nor one of another recipe" "1 " "$(answer bash "$ROOT/scripts/guest.sh" --status)"
bash "$ROOT/scripts/guest.sh" --key >"$guest/.complete"
check "a complete one is" "0 $guest" "$(answer bash "$ROOT/scripts/guest.sh" --status)"
# That folder's kernel is no kernel: the guest fails with qemu's reason, tried once more.
check "a guest that cannot boot fails with the reason" "125 error: the guest failed: " \
    "$(answer bash "$ROOT/scripts/guest.sh" --run 60 true)"
# Every command of this machine but qemu.
mkdir -p "$work/bin"
for tool in /usr/bin/* /usr/sbin/*; do
    [ "${tool##*/}" = qemu-system-x86_64 ] || ln -sf "$tool" "$work/bin/"
done
check "a machine without qemu says so" "1 error: qemu-system-x86_64 is missing" \
    "$(PATH="$work/bin" answer bash "$ROOT/scripts/guest.sh" --run 60 true)"

# A qemu that stands in for a guest: it says it is up (or not) on the console it is given and
# then hangs, as a guest whose job never ends or whose boot hangs.
fake_qemu() {
    cat >"$work/bin/qemu-system-x86_64" <<FAKE
#!/bin/bash
for word in "\$@"; do [[ "\$word" == file:* ]] && console="\${word#file:}"; done
[ "$1" = up ] && echo "lumora-guest: up, 2 processors" >>"\$console"
echo \$\$ >"$work/qemu.pid"
exec sleep 600
FAKE
    chmod +x "$work/bin/qemu-system-x86_64"
}
# The fake is gone: no such process, or one that has ended and waits for its parent to reap it.
gone() {
    sleep 1
    local state
    state="$(ps -o stat= -p "$(cat "$work/qemu.pid")" 2>/dev/null)"
    [ -z "$state" ] || [[ "$state" == Z* ]]
}
fake_qemu up
check "a job that does not end is stopped at its time limit" "124 error: the guest's job did not end within 3 s" \
    "$(PATH="$work/bin" answer bash "$ROOT/scripts/guest.sh" --run 3 true)"
check "and its qemu is gone" "yes" "$(gone && echo yes)"
fake_qemu hung
check "a boot that hangs is tried once more, then fails" "125 error: the guest failed: the guest did not come up within 2 s" \
    "$(PATH="$work/bin" LUMORA_VM_UP_SECONDS=2 answer bash "$ROOT/scripts/guest.sh" --run 60 true)"
check "and its qemu is gone" "yes" "$(gone && echo yes)"
fake_qemu up
PATH="$work/bin" bash "$ROOT/scripts/guest.sh" --run 60 true >/dev/null 2>&1 &
sleep 2
{ kill -KILL $! && wait $!; } 2>/dev/null
check "a run killed outright leaves no qemu behind" "yes" "$(gone && echo yes)"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
