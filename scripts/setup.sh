#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the screenshots need, only those missing:
# a machine that has them all is left as it is, without a package index update.
#
# Two steps, so that the second can never cost the first:
#   1. the amd64 tools: compilers, the 64-bit Wine, Xvfb and the picture tools, and what builds
#      and boots the test guest (debootstrap, qemu), which runs the release's Windows 98 layers on
#      every machine and all its layers where the kernel refuses 32-bit code (not with
#      LUMORA_NO_VM=1);
#   2. the 32-bit Wine that runs the i686 build (the release), with the i386 architecture. Only
#      where the kernel runs 32-bit x86 code.
#
# A package mirror caught mid-sync serves some indexes with the wrong size. The update is tried
# a few times and then goes on with the indexes that did arrive. When such a gap leaves the
# installed amd64 libraries at versions the i386 index lacks, the 32-bit set cannot be resolved
# (a Multi-Arch: same library must be the same version in both architectures): each such library
# is then moved, in both architectures, to the newest version both indexes offer. That may be a
# downgrade, so it is done only in CI or with LUMORA_FIX_MULTIARCH=1; otherwise the exact change
# is printed. Whatever cannot be installed gets one line; the i686 layers of the test run then
# fail with it. Exits non-zero only when an amd64 tool is missing.
set -uo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

HOST_PACKAGES=(
    cmake g++ googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev clang-format
    mingw-w64 g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
    wine wine64 fonts-wine xvfb imagemagick xdotool
)
# The test guest's: built by debootstrap into an ext4 image, booted by qemu's translator.
VM_PACKAGES=(qemu-system-x86 debootstrap e2fsprogs)
I386_PACKAGES=(
    wine32:i386
    # Wine's X11 driver loads these when it starts; the 64-bit ones come with the packages
    # above, and without the 32-bit ones the i686 build would draw and take input differently.
    libxrender1:i386 libxcursor1:i386 libxi6:i386 libxrandr2:i386 libxcomposite1:i386
    libxfixes3:i386 libxinerama1:i386 libxxf86vm1:i386
)
UPDATE_TRIES=3
UPDATE_PAUSE=5

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing_of() {
    local p
    for p in "$@"; do installed "$p" || echo "$p"; done
}
# apt's reason for a failed command: its last error line, or its last line.
reason_of() {
    local why
    why="$(grep -E '^E: ' <<<"$1" | grep -v 'Unable to correct problems' | tail -n 1)"
    [ -n "$why" ] || why="$(tail -n 1 <<<"$1")"
    printf '%s' "${why#E: }"
}


# The failed parts of an apt-get update's output, one "URL (apt's reason)" line each.
failed_indexes() {
    grep -E '^(E|W): Failed to fetch ' <<<"$1" | sed -E 's/^(E|W): Failed to fetch ([^ ]+) +(.*)/\2 (\3)/'
}

# The package indexes, tried UPDATE_TRIES times; a part that never arrives is named and left out.
update_indexes() {
    local try out failed line
    for try in $(seq 1 $UPDATE_TRIES); do
        out="$("${APT[@]}" update 2>&1 </dev/null)" && return 0
        [ "$try" -eq $UPDATE_TRIES ] || sleep $UPDATE_PAUSE
    done
    failed="$(failed_indexes "$out")"
    if [ -n "$failed" ]; then
        while IFS= read -r line; do say "index left out after $UPDATE_TRIES tries: $line"; done <<<"$failed"
    else
        say "apt-get update failed, going on with the indexes there are: $(reason_of "$out")"
    fi
}

# with apt's reason. Prints nothing more on success; returns 1 when anything is left out.
install_set() {
    local out p status=0
    out="$("${APT[@]}" install --no-install-recommends "$@" 2>&1 </dev/null)" && return 0
    for p in "$@"; do
        installed "$p" && continue
        if ! out="$("${APT[@]}" install --no-install-recommends "$p" 2>&1 </dev/null)"; then
            echo "not installed: $p: $(reason_of "$out")"
            status=1
        fi
    done
    return $status
}


# The installs that line up the Multi-Arch: same libraries the i386 set needs, in both
# architectures: at the installed amd64 version where the i386 index has it as its candidate (so
# that apt does not move the amd64 one away from it), otherwise at the newest version both
# architectures' indexes offer. "name:amd64=V name:i386=V" lines, or "name: no version in both
# indexes (amd64 A, i386 B)" for one that cannot be lined up. From apt's own answers, three
# look-ups in all.
skew_plan() {
    local -a names
    mapfile -t names < <(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
        --no-breaks --no-replaces --no-enhances "$@" 2>/dev/null | sed -nE 's/^([^ <][^ :]*):i386$/\1/p' | sort -u)
    [ ${#names[@]} -gt 0 ] || return 0
    local -a amd64 i386
    mapfile -t amd64 < <(dpkg-query -W -f='${Package} ${Architecture} ${Multi-Arch} ${Version} ${db:Status-Abbrev}\n' \
        "${names[@]/%/:amd64}" 2>/dev/null | awk '$2 == "amd64" && $3 == "same" && $5 ~ /^ii/ {print $1 ":" $4}')
    [ ${#amd64[@]} -gt 0 ] || return 0
    i386=("${amd64[@]%%:*}")
    {
        printf 'installed %s\n' "${amd64[@]}"
        apt-cache policy "${i386[@]/%/:i386}" | awk '/^[^ ].*:i386:$/ {sub(/:i386:$/, ""); name = $0}
            /^  Candidate:/ {print "candidate " name ":" $2}'
        apt-cache madison "${i386[@]/%/:amd64}" "${i386[@]/%/:i386}" | awk -F' [|] ' '{
            name = $1; gsub(/ /, "", name); sub(/:.*/, "", name); version = $2; gsub(/ /, "", version)
            n = split($3, word, " "); print "offer " name ":" version " " word[n - 1]}'
    } | awk '
        { split($2, f, ":"); name = f[1]; version = substr($2, length(name) + 2) }
        $1 == "installed" { have[name] = version; order[++n] = name }
        $1 == "candidate" { candidate[name] = version }
        $1 == "offer" { offered[name, version, $3] = 1; versions[name] = versions[name] " " version }
        END {
            for (i = 1; i <= n; i++) {
                name = order[i]
                if (!(name in candidate) || candidate[name] == "(none)") continue
                if (candidate[name] == have[name]) { print name ":amd64=" have[name] " " name ":i386=" have[name]; continue }
                split(versions[name], list, " "); common = ""
                for (j in list) {
                    v = list[j]
                    if (!((name, v, "amd64") in offered) || !((name, v, "i386") in offered)) continue
                    if (common == "" || system("dpkg --compare-versions \"" v "\" gt \"" common "\"") == 0) common = v
                }
                if (common != "") print name ":amd64=" common " " name ":i386=" common
                else print name ": no version in both indexes (amd64 " have[name] ", i386 " candidate[name] ")"
            }
        }'
}

# Installs the 32-bit set; on failure leaves the one line why in I386_SETUP_NOTE.
install_i386() {
    local out plan why
    out="$("${APT[@]}" install -s --no-install-recommends "$@" 2>&1 </dev/null)" && {
        out="$("${APT[@]}" install --no-install-recommends "$@" 2>&1 </dev/null)" && return 0
        echo "32-bit Wine could not be installed: ${1}: $(reason_of "$out")"
        return 1
    }
    why="$(reason_of "$out")"
    say "the i386 set does not resolve ($why); looking for libraries whose two architectures differ" >&2
    plan="$(skew_plan "$@")"
    if [ -z "$plan" ]; then
        echo "32-bit Wine could not be installed: ${1}: $why"
        return 1
    fi
    if grep -q ': no version' <<<"$plan"; then
        echo "32-bit Wine could not be installed: ${1}: $(grep ': no version' <<<"$plan" | head -n 1)"
        return 1
    fi
    local -a pins
    read -r -a pins <<<"$(tr '\n' ' ' <<<"$plan")"
    local count=$((${#pins[@]} / 2))
    say "$count libraries differ between amd64 and i386; both would be installed at:" >&2
    sed 's/^/     /' <<<"$plan" >&2
    if [ "${CI:-}" != true ] && [ "${LUMORA_FIX_MULTIARCH:-}" != 1 ]; then
        say "to allow it (it may downgrade those amd64 libraries): LUMORA_FIX_MULTIARCH=1 bash scripts/setup.sh" >&2
        echo "32-bit Wine not installed: $count libraries differ in version between amd64 and i386 (LUMORA_FIX_MULTIARCH=1 bash scripts/setup.sh lines them up)"
        return 1
    fi
    # Never at the price of removing a package: a package that depends on one exact version of a
    # moved library (its -dev package, say) moves with it, to the version of its own that the
    # plan or apt's answer gives to one of the moved packages; a few rounds settle the packages
    # that depended on those in turn.
    local round removed r v moving
    for round in 1 2 3 4 5; do
        out="$("${APT[@]}" install -s --allow-downgrades --no-install-recommends "${pins[@]}" "$@" 2>&1 </dev/null)" || {
            echo "32-bit Wine could not be installed: ${1}: $(reason_of "$out")"
            return 1
        }
        removed="$(awk '/^Remv / {print $2}' <<<"$out")"
        [ -n "$removed" ] || break
        moving="$( (printf '%s\n' "${pins[@]}" | sed 's/.*=//'; sed -nE 's/^Inst [^ ]+ (\[[^]]*\] )?\(([^ ]+) .*/\2/p' <<<"$out") | sort -u)"
        local added=0
        for r in $removed; do
            v="$(apt-cache madison "$r" | awk -F' [|] ' '{gsub(/ /, "", $2); print $2}' | grep -Fxf <(printf '%s\n' "$moving") | head -n 1)"
            [ -n "$v" ] || continue
            pins+=("$r=$v")
            added=1
        done
        if [ $added -eq 0 ]; then
            echo "32-bit Wine could not be installed: ${1}: lining up the libraries would remove $(tr '\n' ' ' <<<"$removed")"
            return 1
        fi
    done
    if [ -n "$removed" ]; then
        echo "32-bit Wine could not be installed: ${1}: lining up the libraries would remove $(tr '\n' ' ' <<<"$removed")"
        return 1
    fi
    # Naming a package makes apt mark it as installed by hand; the ones it had installed as
    # dependencies stay marked so.
    local auto
    auto="$(apt-mark showauto 2>/dev/null)"
    out="$("${APT[@]}" install --allow-downgrades --no-install-recommends "${pins[@]}" "$@" 2>&1 </dev/null)"
    local status=$?
    local names
    names="$(printf '%s\n' "${pins[@]}" | sed -E 's/=.*//; s/:amd64$//' | grep -Fxf <(printf '%s\n' "$auto"))"
    [ -z "$names" ] || $sudo apt-mark auto $names >/dev/null 2>&1
    [ $status -eq 0 ] && return 0
    echo "32-bit Wine could not be installed: ${1}: $(reason_of "$out")"
    return 1
}


main() {
    local kernel_why="" want_i386=0 add_i386=0 status=0 note left
    local -a host_missing i386_missing=()
    local -a wanted=("${HOST_PACKAGES[@]}")
    [ "${LUMORA_NO_VM:-}" = 1 ] || wanted+=("${VM_PACKAGES[@]}")
    mapfile -t host_missing < <(missing_of "${wanted[@]}")
    if kernel_why="$(kernel_runs_i386)"; then want_i386=1; fi
    if [ $want_i386 -eq 1 ]; then
        dpkg --print-foreign-architectures | grep -qx i386 || add_i386=1
        mapfile -t i386_missing < <(missing_of "${I386_PACKAGES[@]}")
    fi
    if [ ${#host_missing[@]} -eq 0 ] && [ ${#i386_missing[@]} -eq 0 ] && [ $add_i386 -eq 0 ]; then
        [ $want_i386 -eq 1 ] && rm -f "$I386_SETUP_NOTE"
        if [ $want_i386 -eq 1 ]; then
            say "packages present"
        else
            say "packages present; no 32-bit Wine: $kernel_why"
        fi
        return 0
    fi

    sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || die "not root and no sudo: install ${host_missing[*]} ${i386_missing[*]} by hand"
        sudo="sudo"
    fi
    export DEBIAN_FRONTEND=noninteractive
    APT=($sudo apt-get -q -y -o Dpkg::Use-Pty=0)

    if [ $add_i386 -eq 1 ]; then
        say "adding the i386 architecture"
        $sudo dpkg --add-architecture i386
    fi

    say "updating the package indexes"
    update_indexes

    if [ ${#host_missing[@]} -gt 0 ]; then
        say "installing: ${host_missing[*]}"
        if ! left="$(install_set "${host_missing[@]}")"; then
            printf '%s\n' "$left" | sed 's/^/error: /' >&2
            status=1
        fi
    fi

    if [ $want_i386 -eq 0 ]; then
        say "no 32-bit Wine: $kernel_why"
    elif [ ${#i386_missing[@]} -gt 0 ]; then
        say "installing the 32-bit Wine: ${i386_missing[*]}"
        mkdir -p "$BUILD"
        if note="$(install_i386 "${i386_missing[@]}")"; then
            rm -f "$I386_SETUP_NOTE"
        else
            note="$(tail -n 1 <<<"$note")"
            printf '%s\n' "$note" >"$I386_SETUP_NOTE"
            say "$note"
        fi
    else
        rm -f "$I386_SETUP_NOTE"
    fi
    return $status
}

# Sourced by the tests of these functions; run, it sets the machine up.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    main
fi
