#!/usr/bin/env bash
# Tests of tools/check-format.sh over planted trees that carry the repository's .clang-format.
# Closes with "N passed, N failed".
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
check="$root/tools/check-format.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

passed=0
failed=0
# expect NAME STATUS TEXT [FILE CONTENT]...: a tree (not a git work tree) with the house
# .clang-format and the FILEs; the check exits with STATUS and prints a line holding TEXT.
expect() {
    local name="$1" status="$2" text="$3" out got
    shift 3
    rm -rf "$work/tree" && mkdir -p "$work/tree/src"
    cp "$root/.clang-format" "$work/tree/"
    while [ $# -ge 2 ]; do
        printf '%s' "$2" >"$work/tree/$1"
        shift 2
    done
    out="$(bash "$check" "$work/tree" 2>&1)"
    got=$?
    if [ "$got" -eq "$status" ] && grep -qF -- "$text" <<<"$out"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s: exit %s, wanted %s and "%s"; output:\n%s\n' "$name" "$got" "$status" "$text" "$out"
    fi
}

good='// Allman functions, 4 spaces.
#include <windows.h>
#include <commctrl.h>

namespace lumora {

int Twice(int value)
{
    if (value < 0) return 0;
    return value * 2;
}

}  // namespace lumora
'
expect "the house style" 0 "1 files, 0 misformatted" src/Good.cpp "$good"
expect "a brace on the function's line" 1 "src/Bad.cpp is not formatted" \
    src/Good.cpp "$good" src/Bad.cpp "$(printf 'int Twice(int value) {\n    return value * 2;\n}\n')"
expect "two spaces of indent" 1 "1 misformatted" src/Bad.h "$(printf 'struct A {\n  int a;\n};\n')"
expect "a line past 120 columns" 1 "is not formatted" src/Long.cpp \
    "$(printf 'int f(int aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa, int bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb, int cccccccccccccccccccccccccc, int d);\n')"
# commctrl.h needs the types of windows.h: sorting must keep windows.h first.
expect "windows.h after commctrl.h" 1 "is not formatted" src/Order.cpp \
    "$(printf '#include <commctrl.h>\n#include <windows.h>\n')"
expect "no sources" 1 "no C++ files"
CLANG_FORMAT=no-such-clang-format expect "no clang-format" 1 "no-such-clang-format is missing"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
