#!/usr/bin/env bash
# Tests of the cache of scripts/runtime.sh, in a cache folder of their own, building nothing: only
# a folder with the completion stamp of this toolchain's key is used. Ends with "N passed, N failed".
set -uo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
RUNTIME="$HERE/../../scripts/runtime.sh"
export LUMORA_RUNTIME_CACHE="$(mktemp -d)"
trap 'rm -rf "$LUMORA_RUNTIME_CACHE"' EXIT
PASSED=0
FAILED=0

verdict() {
    if [ "$2" -eq 0 ]; then
        PASSED=$((PASSED + 1))
        printf 'ok    %s\n' "$1"
    else
        FAILED=$((FAILED + 1))
        printf 'FAIL  %s\n' "$1"
    fi
}

status() { bash "$RUNTIME" --status 2>/dev/null </dev/null; }

key="$(bash "$RUNTIME" --key)"
dir="$(status)"
[[ "$dir" == "$LUMORA_RUNTIME_CACHE"/i486-* ]]
verdict "the runtime's folder is in the cache named, under the processor" $?
! status >/dev/null
verdict "an empty cache holds no runtime" $?

# A folder as a build leaves it, stamp aside.
mkdir -p "$dir"
for piece in crt2.o crtbegin.o crtend.o libgcc.a libgcc_eh.a libstdc++.a libmingwex.a; do
    echo "$piece" >"$dir/$piece"
done
! status >/dev/null
verdict "a folder without the completion stamp is not used" $?

printf '%s\nbuilt in: 1 s\n' "${key/-march=i486/-march=pentiumpro}" >"$dir/.complete"
! status >/dev/null
verdict "a folder stamped for other target flags is not used" $?

printf '%s\nbuilt in: 1 s\n' "$(sed '/^cross compiler:/s/$/~old/' <<<"$key")" >"$dir/.complete"
! status >/dev/null
verdict "a folder stamped for another cross compiler is not used" $?

printf '%s\nbuilt in: 1 s\n' "$key" >"$dir/.complete"
[ "$(status)" = "$dir" ]
verdict "a folder stamped for this toolchain is used" $?

# Were it to build, it would first empty the folder; it must print it at once instead.
out="$(timeout 60 bash "$RUNTIME" 2>/dev/null </dev/null)"
[ "$out" = "$dir" ] && [ -f "$dir/libgcc.a" ]
verdict "the build step uses a complete folder as it is" $?

echo "$PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
