#!/usr/bin/env bash
# Tests of tests/gtest-run.sh, the launcher CTest runs every GoogleTest program through: a small
# GoogleTest program, built here, that passes, fails or ends part-way as LUMORA_PLANT says.
# Closes with "N passed, N failed".
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
run="$root/tests/gtest-run.sh"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

cat >"$work/planted.cpp" <<'CPP'
#include <gtest/gtest.h>
#include <unistd.h>
#include <cstdlib>
#include <string>

static std::string Plant()
{
    const char* plant = std::getenv("LUMORA_PLANT");
    return plant ? plant : "";
}

TEST(Planted, First)
{
    if (Plant() == "exit") std::exit(0);
    if (Plant() == "_exit") _exit(0);
    EXPECT_NE(Plant(), "fail");
}

TEST(Planted, Second) {}
CPP
if ! g++ -std=c++17 -o "$work/planted" "$work/planted.cpp" -lgtest -lgtest_main -pthread 2>"$work/build.log"; then
    cat "$work/build.log"
    echo "0 passed, 1 failed"
    exit 1
fi

passed=0
failed=0
# expect NAME PLANT STATUS TEXT [ARGUMENT...]: the planted program, run behind the launcher
# ($launcher) with the ARGUMENTs, exits with STATUS ("non-zero" for any but 0) and prints TEXT ("-"
# for nothing in particular).
launcher=(/bin/sh "$run")
expect() {
    local name="$1" plant="$2" status="$3" text="$4" out got
    shift 4
    out="$(LUMORA_PLANT="$plant" TMPDIR="$work" "${launcher[@]}" "$work/planted" "$@" 2>&1)"
    got=$?
    if { [ "$status" = non-zero ] && [ "$got" -ne 0 ] || [ "$got" = "$status" ]; } &&
        { [ "$text" = - ] || grep -qF -- "$text" <<<"$out"; }; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s: exit %s, wanted %s and "%s"; output:\n%s\n' "$name" "$got" "$status" "$text" "$out"
    fi
}

expect "every test passes" pass 0 "[  PASSED  ] 2 tests"
expect "a test fails" fail 1 "[  FAILED  ] Planted.First"
expect "exit(0) in a test" exit non-zero "error: planted ended before its tests were over (exit status 0)"
expect "_exit(0) in a test" _exit non-zero "ended before its tests were over"
expect "the listing CTest asks for" exit 0 "Planted." --gtest_list_tests
leftover="$(find "$work" -name 'gtest-exit.*')"
[ -z "$leftover" ] && passed=$((passed + 1)) || { failed=$((failed + 1)); echo "FAIL files left: $leftover"; }
# What the launcher is for: without it, a test program that calls exit(0) part-way passes.
launcher=(env)
expect "exit(0) in a test, without the launcher" exit 0 -

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
