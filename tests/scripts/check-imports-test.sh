#!/usr/bin/env bash
# Tests of tools/check-win98-imports.sh in both of its modes: crafted import tables, read through
# a stand-in for objdump, against the real data in tools/win9x. Closes with "N passed, N failed".
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
check="$root/tools/check-win98-imports.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# "objdump -p FILE" prints FILE: each test's import table is written as objdump shows one.
cat >"$work/objdump" <<'STUB'
#!/bin/sh
cat "$2"
STUB
chmod +x "$work/objdump"

# An import table from "DLL!function" words.
table() {
    local dll="" item
    for item in "$@"; do
        if [ "${item%%!*}" != "$dll" ]; then
            dll="${item%%!*}"
            printf '\tDLL Name: %s\n\tvma:  Hint/Ord Member-Name Bound-To\n' "$dll"
        fi
        printf '\t4b6ec\t   95  %s\n' "${item#*!}"
    done
}

passed=0
failed=0
# expect NAME OPTIONS STATUS TEXT IMPORTS...: the check with OPTIONS (words, or "-") exits with
# STATUS and prints a line holding TEXT ("-" for nothing in particular).
expect() {
    local name="$1" options="$2" status="$3" text="$4" out got
    shift 4
    table "$@" >"$work/imports"
    [ "$options" = - ] && options=""
    # shellcheck disable=SC2086
    out="$(OBJDUMP="$work/objdump" bash "$check" "$work/imports" $options 2>&1)"
    got=$?
    if [ "$got" -eq "$status" ] && { [ "$text" = - ] || grep -qF -- "$text" <<<"$out"; }; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s (%s): exit %s, wanted %s and "%s"; output:\n%s\n' "$name" "${options:-no options}" \
            "$got" "$status" "$text" "$out"
    fi
}

base=(KERNEL32.dll!CloseHandle USER32.dll!DrawEdge GDI32.dll!BitBlt ADVAPI32.dll!RegOpenKeyExA
    COMCTL32.DLL!InitCommonControls)
expect "Windows 95 functions" - 0 "Windows 98: 5 imports from 5 DLLs: 0 errors" "${base[@]}"
expect "Windows 95 functions" --win95 0 "Windows 95: 5 imports from 5 DLLs: 0 errors" "${base[@]}"

expect "KERNEL32 function that Windows 98 added" - 0 - KERNEL32.dll!GetLongPathNameA
expect "KERNEL32 function that Windows 98 added" --win95 1 \
    "KERNEL32!GetLongPathNameA is missing on Windows 95 (Windows 98 added it)" KERNEL32.dll!GetLongPathNameA
expect "KERNEL32 function of neither" "--win95" 1 "KERNEL32!GetTickCount64 is missing on Windows 95" \
    KERNEL32.dll!GetTickCount64
expect "KERNEL32 function of neither" - 1 "KERNEL32!GetTickCount64 is missing on Windows 98" \
    KERNEL32.dll!GetTickCount64

expect "USER32 function that Windows 98 added" - 0 - USER32.dll!TrackMouseEvent
expect "USER32 function that Windows 98 added" --win95 1 "USER32!TrackMouseEvent is missing on Windows 95" \
    USER32.dll!TrackMouseEvent
expect "comctl32 4.70 function" --win95 1 "COMCTL32!InitCommonControlsEx is missing on Windows 95" \
    COMCTL32.DLL!InitCommonControlsEx
expect "USER32 function nobody checked for Windows 95" - 0 - USER32.dll!GetClassInfoExA
expect "USER32 function nobody checked for Windows 95" --win95 1 \
    "USER32!GetClassInfoExA is not among the functions checked for Windows 95" USER32.dll!GetClassInfoExA
expect "USER32 function Windows 98 lacks" --win95 1 "USER32!AllowSetForegroundWindow is missing on Windows 95" \
    USER32.dll!AllowSetForegroundWindow

expect "count per DLL" - 0 "functions imported: KERNEL32 1, USER32 1, GDI32 1, ADVAPI32 1, COMCTL32 1" "${base[@]}"

# The C runtime: CRTDLL.DLL's exports as mingw-w64's crtdll.def names them, in both modes; MSVCRT in
# neither.
crt=(CRTDLL.dll!malloc CRTDLL.dll!__GetMainArgs CRTDLL.dll!_acmdln_dll)
expect "CRTDLL functions and data" - 0 "Windows 98: 3 imports from 1 DLLs: 0 errors" "${crt[@]}"
expect "CRTDLL functions and data" --win95 0 "functions imported: CRTDLL 3" "${crt[@]}"
expect "MSVCRT's start-up function, which CRTDLL lacks" --win95 1 \
    "CRTDLL!__getmainargs is not exported by CRTDLL.DLL" CRTDLL.dll!__getmainargs
expect "the linker's name of a CRTDLL datum, not the DLL's" - 1 "CRTDLL!_acmdln is not exported by CRTDLL.DLL" \
    CRTDLL.dll!_acmdln
expect "MSVCRT" - 1 "error: imports msvcrt.dll, which Windows 95 lacks" msvcrt.dll!malloc
expect "MSVCRT" --win95 1 "error: imports msvcrt.dll, which Windows 95 lacks" msvcrt.dll!malloc

expect "stub" --win95 0 "warning: KERNEL32!GetModuleHandleW is a stub on Windows 95" KERNEL32.dll!GetModuleHandleW
expect "stub" "--win95 --no-stubs" 1 "1 warnings" KERNEL32.dll!GetModuleHandleW
expect "stub" "--no-stubs" 1 "warning: KERNEL32!GetModuleHandleW is a stub on Windows 98" KERNEL32.dll!GetModuleHandleW
expect "DLL of no Windows" --win95 1 "error: imports helper.dll, not one of Windows' own DLLs" helper.dll!Help

# Nothing read is no pass: an empty table, a DLL without functions, a file objdump cannot read.
expect "no import table" - 1 "error: no imported function read from"
printf '\tDLL Name: KERNEL32.dll\n\tvma:  Hint/Ord Member-Name Bound-To\n' >"$work/dll-only"
out="$(OBJDUMP="$work/objdump" bash "$check" "$work/dll-only" 2>&1)"
[ $? -eq 1 ] && grep -qF "0 imports from 1 DLLs: 1 errors" <<<"$out" && passed=$((passed + 1)) ||
    { failed=$((failed + 1)); printf 'FAIL a DLL without functions: %s\n' "$out"; }
out="$(bash "$check" "$work/no-such.exe" 2>&1)"
[ $? -ne 0 ] && passed=$((passed + 1)) || { failed=$((failed + 1)); printf 'FAIL an unreadable file: %s\n' "$out"; }

# A definition file with no export read holds CRTDLL to nothing, and passes nothing.
mkdir -p "$work/tools"
cp -r "$root/tools/win9x" "$check" "$work/tools/"
grep -v EXPORTS "$root/tools/win9x/crtdll.def" >"$work/tools/win9x/crtdll.def"
table "${crt[@]}" >"$work/imports"
out="$(OBJDUMP="$work/objdump" bash "$work/tools/check-win98-imports.sh" "$work/imports" 2>&1)"
[ $? -eq 1 ] && grep -qF "error: no export of CRTDLL read from" <<<"$out" && passed=$((passed + 1)) ||
    { failed=$((failed + 1)); printf 'FAIL a definition file without exports: %s\n' "$out"; }

printf 'import check: %d passed, %d failed\n' "$passed" "$failed"
[ "$failed" -eq 0 ]
