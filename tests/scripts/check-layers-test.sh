#!/usr/bin/env bash
# Tests of tools/check-layers.sh over small planted source trees. Closes with "N passed, N failed".
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
check="$root/tools/check-layers.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

passed=0
failed=0
# expect NAME STATUS TEXT FILE=INCLUDE...: a tree whose FILEs (under src/) each hold one include,
# quoted unless written in angle brackets; the check exits with STATUS and prints a line holding
# TEXT ("-" for nothing in particular).
expect() {
    local name="$1" status="$2" text="$3" out got item include
    shift 3
    rm -rf "$work/src"
    for item in "$@"; do
        mkdir -p "$work/src/$(dirname "${item%%=*}")"
        include="${item#*=}"
        [ "${include#<}" != "$include" ] || include="\"$include\""
        printf '// planted\n#include <windows.h>\n#include %s\n' "$include" >>"$work/src/${item%%=*}"
    done
    out="$(bash "$check" "$work/src" 2>&1)"
    got=$?
    if [ "$got" -eq "$status" ] && { [ "$text" = - ] || grep -qF -- "$text" <<<"$out"; }; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s: exit %s, wanted %s and "%s"; output:\n%s\n' "$name" "$got" "$status" "$text" "$out"
    fi
}

expect "downward includes" 0 "3 files, every include runs downwards" \
    form/TForm1.cpp=monitor/CpuUsage.h win32/WinMain.cpp=form/TForm1.h \
    win32/toolkit/peers/FormPeer.cpp=win32/toolkit/Toolkit.h
expect "the folder's own header" 0 - win32/toolkit/Toolkit.cpp=win32/toolkit/Toolkit.h
expect "a bare name is the folder's own" 0 - ui/Controls.cpp=Controls.h

# Each of these once happened or nearly did.
expect "toolkit reaching its peers" 1 \
    'win32/toolkit/Toolkit.cpp:3: src/win32/toolkit includes "win32/toolkit/peers/FormPeer.h"' \
    win32/toolkit/Toolkit.cpp=win32/toolkit/peers/FormPeer.h
expect "the same, in angle brackets" 1 \
    'win32/toolkit/Toolkit.cpp:3: src/win32/toolkit includes <win32/toolkit/peers/FormPeer.h>' \
    'win32/toolkit/Toolkit.cpp=<win32/toolkit/peers/FormPeer.h>'
expect "a library's header in angle brackets" 0 - 'form/TForm1.cpp=<gtest/gtest.h>' 'ui/Controls.cpp=<sys/types.h>'
expect "a layer's header in angle brackets, downwards" 0 - 'win32/WinMain.cpp=<form/TForm1.h>'
expect "a port interface reaching the Win32 side" 1 "src/ports includes" ports/Registry.h=win32/ports/Win32Ports.h
expect "portable code reaching a Win32 port" 1 "src/form includes" form/TForm1.cpp=win32/ports/Win32Dialogs.h
expect "a Win32 port reaching the form" 1 "src/win32/ports includes" win32/ports/Win32Shell.cpp=form/TForm1.h
expect "core reaching a port" 1 "src/core includes" core/ByteOrder.h=ports/Registry.h
expect "a lower portable layer reaching up" 1 "src/settings includes" settings/AgentStore.cpp=tuning/TuningStore.h
expect "an unknown folder" 1 "src/extra is not a known layer" extra/New.cpp=core/Error.h
expect "one bad include among good ones" 1 "src/ui includes" ui/A.cpp=core/Error.h ui/B.cpp=form/TForm1.h
expect "an empty tree" 1 "no sources" 

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
