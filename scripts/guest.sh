#!/usr/bin/env bash
# The test guest: a Debian 13 machine with its own Wine (10.0, 32- and 64-bit) that runs the i686
# release's test layers where this kernel refuses 32-bit x86 code. The host builds everything; the
# guest only runs it, under qemu-system-x86_64, with the clone shared at the same path.
#
#   guest.sh                    prints the guest's folder, building it first when missing
#   guest.sh --status           prints the folder; fails unless it is complete (builds nothing)
#   guest.sh --key              prints what the folder is keyed by
#   guest.sh --run SECONDS CMD  boots the guest, runs the bash command line CMD in the clone's
#                               root as root and exits with its status; see guest_run below
#
# The guest is made from Debian's packages only: debootstrap of trixie, then every package
# installed from one fetch of trixie's index (amd64 and i386 together), so that nothing in it
# comes from two points of the archive's history. It is cached outside the clone, in
# /var/cache/lumora-guest (LUMORA_GUEST_CACHE overrides), in a folder named after a key made of the
# suite, the mirror, the package list and RECIPE, and used only with its completion stamp, which
# also records every installed package's version. The cache does not follow the mirror: a run
# never needs the network once the guest is there, and bumping RECIPE takes newer packages.
# Building it needs root (debootstrap, chroot). Progress goes to standard error, one line per step.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

SUITE=trixie
MIRROR="${LUMORA_GUEST_MIRROR:-http://deb.debian.org/debian}"
# The guest runs Wine programs on a virtual display and shoots the screen; nothing more. The
# fonts are Wine's own "MS Sans Serif" and the rest: without them text measures wider and the
# layout tests fail.
PACKAGES=(
    linux-image-amd64 kmod
    wine wine64 wine32:i386 fonts-wine
    xvfb xauth imagemagick procps
)
# Bump when the way the guest is made changes what it holds.
RECIPE=2
# Where the image keeps its Wine prefix templates (see scripts/prefix.sh).
GUEST_TEMPLATES=/var/lib/lumora/prefix-templates
DISK_SPARE_MB=4096

log() { printf '== guest: %s\n' "$*" >&2; }

KEY="suite: $SUITE main from $MIRROR, amd64 and i386
packages: ${PACKAGES[*]}
recipe: $RECIPE"

if [ -n "${LUMORA_GUEST_CACHE:-}" ]; then
    CACHE="$LUMORA_GUEST_CACHE"
elif [ "$(id -u)" -eq 0 ]; then
    CACHE=/var/cache/lumora-guest
else
    CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/lumora-guest"
fi
NAME="$SUITE-$(sha256sum <<<"$KEY" | cut -c1-16)"
OUT="$CACHE/$NAME"
STAMP="$OUT/.complete"

complete() {
    [ -f "$STAMP" ] && [ "$(sed -n '1,/^recipe:/p' "$STAMP")" = "$KEY" ] &&
        [ -s "$OUT/vmlinuz" ] && [ -s "$OUT/initrd.img" ] && [ -s "$OUT/disk.img" ]
}

# --- building

# PID 1 of the guest: the basic file systems, the clone over 9p at the host's path, the job, and
# the power off. The kernel hands the command line's LUMORA_* words to it as its environment.
write_init() {
    cat >"$1" <<'EOF'
#!/bin/sh
# PID 1 of the Lumora test guest: mounts what Wine needs, the clone from the host, runs the job.
export PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev 2>/dev/null
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs tmpfs /run
mount -t tmpfs -o size=2g tmpfs /tmp
mkdir -p /tmp/.X11-unix && chmod 1777 /tmp /tmp/.X11-unix
hostname lumora-guest
ip link set lo up 2>/dev/null
status=125
if modprobe 9pnet_virtio && modprobe 9p && mkdir -p "$LUMORA_ROOT" &&
    mount -t 9p -o trans=virtio,version=9p2000.L,msize=1048576,cache=mmap lumora "$LUMORA_ROOT"; then
    echo "lumora-guest: up, $(nproc) processors, $(sed -n 's/MemTotal: *//p' /proc/meminfo)"
    cd "$LUMORA_ROOT" && bash "$LUMORA_JOB" </dev/null
    status=$?
    echo "$status" >"$LUMORA_STATUS.tmp" && mv "$LUMORA_STATUS.tmp" "$LUMORA_STATUS"
    echo "lumora-guest: the job ended with status $status"
else
    echo "lumora-guest: cannot mount the clone from the host at $LUMORA_ROOT"
fi
sync
umount "$LUMORA_ROOT" 2>/dev/null
echo o >/proc/sysrq-trigger
sleep 60
EOF
    chmod 755 "$1"
}

build() {
    [ "$(id -u)" -eq 0 ] || die "building the test guest needs root (debootstrap, chroot); run: sudo bash scripts/guest.sh"
    local need
    for need in debootstrap mkfs.ext4 qemu-system-x86_64; do
        command -v "$need" >/dev/null ||
            die "cannot build the test guest: $need is missing (bash scripts/setup.sh installs it where it is needed)"
    done
    local work="$CACHE/$NAME.work" began=$SECONDS
    local root="$work/root"
    log "building the test guest (Debian 13 $SUITE with Wine) in $OUT"
    rm -rf "$OUT" "$work"
    mkdir -p "$work"
    local logfile="$work/build.log"
    : >"$logfile"
    local free_mb
    free_mb="$(df -Pm "$CACHE" | awk 'NR == 2 {print $4}')"
    [ "${free_mb:-0}" -ge 8192 ] ||
        die "cannot build the test guest: $CACHE has ${free_mb:-no} MB free, it needs 8192 (2.5 GB of packages, a 7 GB image)"

    MOUNTED=()
    unmount_all() {
        local i
        for ((i = ${#MOUNTED[@]} - 1; i >= 0; i--)); do umount -l "${MOUNTED[$i]}" 2>/dev/null || true; done
        MOUNTED=()
    }
    trap unmount_all EXIT
    step() {
        local what="$1" began=$SECONDS
        shift
        log "$what"
        if ! "$@" >>"$logfile" 2>&1 </dev/null; then
            unmount_all
            local why
            why="$(grep -E '^(E|W): |^error|^E: |Failed|Unable' "$logfile" | tail -n 1)"
            tail -n 30 "$logfile" >&2
            die "the test guest could not be built at: $what${why:+ ($why)} (log: $logfile)"
        fi
        log "  $((SECONDS - began)) s"
    }
    in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive LANG=C.UTF-8 "$@"; }
    retried() {
        local try
        for try in 1 2 3; do
            "$@" && return 0
            [ $try -eq 3 ] || sleep 10
        done
        return 1
    }

    step "debootstrap $SUITE (minbase) from $MIRROR" \
        retried debootstrap --variant=minbase --arch=amd64 "$SUITE" "$root" "$MIRROR"
    local fs
    for fs in proc sys dev dev/pts; do
        case "$fs" in
        proc) mount -t proc proc "$root/proc" ;;
        sys) mount -t sysfs sysfs "$root/sys" ;;
        dev) mount --bind /dev "$root/dev" ;;
        dev/pts) mount -t devpts devpts "$root/dev/pts" ;;
        esac
        MOUNTED+=("$root/$fs")
    done
    printf 'deb %s %s main\n' "$MIRROR" "$SUITE" >"$root/etc/apt/sources.list"
    rm -f "$root/etc/apt/sources.list.d/"*
    # No documentation, manuals or translations: some 300 MB the guest never reads.
    printf '%s\n' 'path-exclude /usr/share/doc/*' 'path-include /usr/share/doc/*/copyright' \
        'path-exclude /usr/share/man/*' 'path-exclude /usr/share/locale/*' >"$root/etc/dpkg/dpkg.cfg.d/lumora-nodoc"
    printf 'APT::Install-Recommends "false";\nAcquire::Retries "5";\n' >"$root/etc/apt/apt.conf.d/90lumora"
    step "adding the i386 architecture" in_root dpkg --add-architecture i386
    # One index fetch for everything that follows: the base is brought to it, then the rest taken
    # from it. A half-synced mirror gets a few tries.
    step "fetching $SUITE's index (amd64 and i386)" retried in_root apt-get -q update
    step "bringing the base to that index" in_root apt-get -y -q dist-upgrade
    step "installing ${PACKAGES[*]}" in_root apt-get -y -q install "${PACKAGES[@]}"
    step "checking that every package is at that index's version" \
        sh -c '! chroot "$1" apt-get -s -q dist-upgrade | grep -q "^Inst "' _ "$root"
    in_root apt-get -q clean >>"$logfile" 2>&1 || true
    in_root dpkg-query -W -f='${Package}:${Architecture} ${Version}\n' >"$work/versions"
    local wine_version
    wine_version="$(in_root /usr/lib/wine/wine --version 2>/dev/null || true)"
    unmount_all
    trap - EXIT

    write_init "$root/sbin/lumora-init"
    local kernel initrd
    kernel="$(ls "$root"/boot/vmlinuz-* 2>/dev/null | sort -V | tail -n 1)"
    initrd="$(ls "$root"/boot/initrd.img-* 2>/dev/null | sort -V | tail -n 1)"
    [ -n "$kernel" ] && [ -n "$initrd" ] || die "the test guest has no kernel or initrd in /boot (log: $logfile)"
    mkdir -p "$work/out"
    cp "$kernel" "$work/out/vmlinuz"
    cp "$initrd" "$work/out/initrd.img"
    local used_mb
    used_mb="$(du -sm "$root" | cut -f1)"
    step "making the disk image ($((used_mb + DISK_SPARE_MB)) MB, ${used_mb} MB used)" \
        mkfs.ext4 -q -F -L lumora-guest -d "$root" "$work/out/disk.img" "$((used_mb + DISK_SPARE_MB))M"
    rm -rf "$root"
    # Wine's own set-up of a 32-bit prefix, made once in the image, where every run's prefixes are
    # copied from (prefix.sh's templates): in the guest it takes minutes, every run.
    log "making the 32-bit Wine prefix template in the image"
    local made=$SECONDS
    BOOT_DIR="$work/out" BOOT_SNAPSHOT=off LUMORA_VM_CONSOLE="$work/console.log" \
        guest_run 1800 "LUMORA_PREFIX_TEMPLATES=$GUEST_TEMPLATES bash scripts/prefix.sh --i686 /var/tmp/template-check" ||
        die "the test guest could not make its Wine prefix template (console: $work/console.log)"
    log "  $((SECONDS - made)) s"
    mv "$work/out" "$OUT"
    {
        printf '%s\n' "$KEY"
        printf 'built in: %s s\nwine: %s\nkernel: %s\n' "$((SECONDS - began))" "$wine_version" "$(basename "$kernel")"
        cat "$work/versions"
    } >"$STAMP.tmp"
    mv "$STAMP.tmp" "$STAMP"
    rm -rf "$work"
    log "built in $((SECONDS - began)) s: $OUT ($wine_version)"
}

# --- running

# The accelerator: qemu's own translator on every core, which runs anywhere. LUMORA_VM_ACCEL=kvm
# takes the kernel's instead where /dev/kvm works (a nested KVM here failed on the guest's
# first instructions, and qemu then hangs, so it is never chosen by itself).
accel_options() {
    if [ "${LUMORA_VM_ACCEL:-tcg}" = kvm ]; then
        printf '%s\n' -accel kvm -cpu host
    else
        printf '%s\n' -accel tcg,thread=multi -cpu qemu64
    fi
}

# The guest a boot starts: its folder, and whether what it writes to its disk is thrown away
# (always, but when the guest is being built).
BOOT_DIR="$OUT"
BOOT_SNAPSHOT=on
# How long a boot may take before the guest counts as hung (LUMORA_VM_UP_SECONDS, for the tests).
UP_SECONDS="${LUMORA_VM_UP_SECONDS:-120}"
QEMU_PID=""
stop_guest() {
    if [ -n "$QEMU_PID" ]; then
        kill -KILL "$QEMU_PID" 2>/dev/null
        wait "$QEMU_PID" 2>/dev/null
        QEMU_PID=""
    fi
}

# One boot: boot_once SECONDS JOB STATUS CONSOLE. Returns the job's status; 124 when the time ran
# out, 125 when the guest never came up or went down before the job ended (the console says why).
boot_once() {
    local seconds="$1" job="$2" status_file="$3" console="$4"
    local -a accel
    mapfile -t accel < <(accel_options)
    rm -f "$status_file"
    : >"$console"
    : >"${console%.log}-qemu.log"
    # qemu dies with this script (--pdeathsig), however it is ended.
    setpriv --pdeathsig KILL qemu-system-x86_64 "${accel[@]}" -smp "$(nproc 2>/dev/null || echo 2)" -m 4096 \
        -display none -no-reboot -nic none -serial "file:$console" -monitor none \
        -kernel "$BOOT_DIR/vmlinuz" -initrd "$BOOT_DIR/initrd.img" \
        -append "root=/dev/vda rw console=ttyS0 panic=1 oops=panic quiet init=/sbin/lumora-init LUMORA_ROOT=$ROOT LUMORA_JOB=$job LUMORA_STATUS=$status_file" \
        -drive "file=$BOOT_DIR/disk.img,if=virtio,format=raw,snapshot=$BOOT_SNAPSHOT,cache=unsafe" \
        -virtfs "local,path=$ROOT,mount_tag=lumora,security_model=none,id=lumora" \
        >"${console%.log}-qemu.log" 2>&1 </dev/null &
    QEMU_PID=$!
    local began=$SECONDS up=0 shown=0 lines
    while kill -0 "$QEMU_PID" 2>/dev/null; do
        # The job's own progress lines ("== ...") as they come.
        lines="$(wc -l <"$console" 2>/dev/null || echo 0)"
        if [ "$lines" -gt "$shown" ]; then
            sed -n "$((shown + 1)),${lines}p" "$console" | grep '^== ' | sed 's/^== /== guest: /' >&2
            shown=$lines
        fi
        if [ $up -eq 0 ] && grep -q '^lumora-guest: up' "$console" 2>/dev/null; then
            up=1
            log "up after $((SECONDS - began)) s: $(sed -n 's/^lumora-guest: up, //p' "$console")"
        fi
        # A guest that is not up in 2 minutes has hung in its boot (it takes some 10 s).
        if [ $up -eq 0 ] && [ $((SECONDS - began)) -ge "$UP_SECONDS" ]; then
            stop_guest
            echo "the guest did not come up within $UP_SECONDS s" >>"$console"
            return 125
        fi
        if [ $((SECONDS - began)) -ge "$seconds" ]; then
            stop_guest
            echo "the guest was stopped after its $seconds s" >>"$console"
            return 124
        fi
        sleep 1
    done
    wait "$QEMU_PID" 2>/dev/null
    QEMU_PID=""
    [ -s "$status_file" ] && return "$(cat "$status_file")"
    return 125
}

# Boots the guest, runs CMD (a bash command line) in the clone's root and exits with its status.
# Its console goes to build/test-logs/vm-console.log. Every boot has SECONDS; a boot whose kernel
# panicked or never came up is tried once more (a rare early panic of the translator). On a time
# out, a panic or no guest, one line on standard error says why and the status is non-zero.
guest_run() {
    local seconds="$1" command="$2"
    [[ "$seconds" =~ ^[0-9]+$ ]] || die "usage: guest.sh --run SECONDS COMMAND"
    [ "$BOOT_DIR" != "$OUT" ] || complete || die "no complete test guest in $OUT (bash scripts/guest.sh builds it)"
    command -v qemu-system-x86_64 >/dev/null ||
        die "qemu-system-x86_64 is missing: bash scripts/setup.sh installs qemu-system-x86 where it is needed"
    [[ "$ROOT" != *[[:space:]]* ]] || die "the clone's path holds a blank, which the guest's command line cannot carry: $ROOT"
    local vm="$BUILD/vm" logs="$BUILD/test-logs"
    mkdir -p "$vm" "$logs"
    local job="$vm/job.sh" status_file="$vm/status" console="${LUMORA_VM_CONSOLE:-$logs/vm-console.log}"
    printf '%s\n' '#!/bin/bash' "export LUMORA_VM_FULL='${LUMORA_VM_FULL:-}'" "$command" >"$job"
    trap 'stop_guest; exit 130' INT TERM HUP
    trap stop_guest EXIT
    local try status
    for try in 1 2; do
        log "booting ($(accel_options | sed -n 2p | cut -d, -f1), $(nproc 2>/dev/null || echo 2) processors, at most $seconds s)"
        status=0
        boot_once "$seconds" "$job" "$status_file" "$console" || status=$?
        cat "$console" >>"$console.all"
        if [ $status -eq 125 ] && [ $try -eq 1 ]; then
            log "the guest went down before the job ended ($(why_down "$console")): once more"
            continue
        fi
        break
    done
    mv -f "$console.all" "$console"
    case $status in
    124) echo "error: the guest's job did not end within $seconds s: stopped (console: $console)" >&2 ;;
    125) echo "error: the guest failed: $(why_down "$console") (console: $console)" >&2 ;;
    esac
    return "$status"
}

# Why a guest went down, from its console: a panic's line, what it last said, or what qemu said.
why_down() {
    local line
    line="$(grep -m 1 -E 'Kernel panic|Fatal exception|cannot mount|did not come up|was stopped' "$1" 2>/dev/null)"
    [ -n "$line" ] || line="$(grep -v '^\s*$' "$1" 2>/dev/null | tail -n 1)"
    [ -n "$line" ] || line="$(grep -v -e '^\s*$' -e 'warning:' "${1%.log}-qemu.log" 2>/dev/null | tail -n 1)"
    printf '%s' "${line:-the console is empty and qemu said nothing}"
}

case "${1:-}" in
"") ;;
--key)
    printf '%s\n' "$KEY"
    exit 0
    ;;
--status)
    printf '%s\n' "$OUT"
    complete || die "no complete test guest in $OUT"
    exit 0
    ;;
--run)
    [ $# -eq 3 ] || die "usage: guest.sh --run SECONDS COMMAND"
    guest_run "$2" "$3"
    exit $?
    ;;
*) die "usage: guest.sh [--status | --key | --run SECONDS COMMAND]" ;;
esac

mkdir -p "$CACHE"
# One build per key at a time; a second caller waits and then finds it done.
exec 9>"$CACHE/$NAME.lock"
flock 9
complete || build
printf '%s\n' "$OUT"
