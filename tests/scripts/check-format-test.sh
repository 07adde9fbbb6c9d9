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
# plant FILE CONTENT...: a fresh tree (not a git work tree) with the house .clang-format and the
# FILEs.
plant() {
    rm -rf "$work/tree" && mkdir -p "$work/tree/src"
    cp "$root/.clang-format" "$work/tree/"
    add "$@"
}
# add FILE CONTENT...: more FILEs in the tree.
add() {
    while [ $# -ge 2 ]; do
        mkdir -p "$work/tree/$(dirname "$1")"
        printf '%s' "$2" >"$work/tree/$1"
        shift 2
    done
}
# checks NAME STATUS TEXT: the check of the tree exits with STATUS and prints a line holding TEXT.
checks() {
    local name="$1" status="$2" text="$3" out got
    out="$(bash "$check" "$work/tree" 2>&1)"
    got=$?
    if [ "$got" -eq "$status" ] && grep -qF -- "$text" <<<"$out"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s: exit %s, wanted %s and "%s"; output:\n%s\n' "$name" "$got" "$status" "$text" "$out"
    fi
}
# expect NAME STATUS TEXT [FILE CONTENT]...: the check of a tree of the FILEs.
expect() {
    local name="$1" status="$2" text="$3"
    shift 3
    plant "$@"
    checks "$name" "$status" "$text"
}
# The tree made a git work tree that ignores build/ and scratch/, with what it holds added.
track() {
    (cd "$work/tree" && git init -q . && printf 'build/\nscratch/\n' >.gitignore && git add .) ||
        echo "error: no git work tree in $work/tree"
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

# In a git work tree the check takes git's list: the tracked files and the new ones git does not
# ignore, whatever folder they are in.
bad="$(printf 'int Twice(int value) {\n    return value * 2;\n}\n')"
plant src/Good.cpp "$good" src/Bad.cpp "$bad" && track
checks "git: a misformatted tracked file" 1 "src/Bad.cpp is not formatted"
plant src/Good.cpp "$good" && track && add src/New.h "$bad"
checks "git: a new file not ignored" 1 "src/New.h is not formatted"
plant src/Good.cpp "$good" && track && add scratch/Tried.cpp "$bad" build/Generated.h "$bad"
checks "git: ignored files" 0 "1 files, 0 misformatted"
plant src/Good.cpp "$good" src/Gone.cpp "$good" && track && rm "$work/tree/src/Gone.cpp"
checks "git: a tracked file deleted since" 0 "2 files, 0 misformatted"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
