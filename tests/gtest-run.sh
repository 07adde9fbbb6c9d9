#!/bin/sh
# Runs a GoogleTest program for CTest, under a Wine loader when one is named:
#   gtest-run.sh [--wine LOADER] PROGRAM [ARGUMENT...]
# A program that ends part-way through its tests (exit(0) in a test, a library that ends the
# process) still exits 0, which CTest counts as a pass. GoogleTest creates the file that
# TEST_PREMATURE_EXIT_FILE names when it starts and removes it once its tests have run: a file
# left behind fails the run. A Windows program gets the file's name on drive Z:, which Wine maps
# to the root of the Unix file system.
wine=""
if [ "${1:-}" = --wine ]; then
    wine="$2"
    shift 2
fi
file="$(mktemp -u "${TMPDIR:-/tmp}/gtest-exit.XXXXXX")"
if [ -n "$wine" ]; then
    TEST_PREMATURE_EXIT_FILE="Z:$(printf '%s' "$file" | tr / '\\')" "$wine" "$@"
else
    TEST_PREMATURE_EXIT_FILE="$file" "$@"
fi
status=$?
if [ -e "$file" ]; then
    rm -f "$file"
    # On standard output: a Windows 98 layer sends the program's standard error to its trace.
    echo "error: $(basename "$1") ended before its tests were over (exit status $status)"
    [ "$status" -ne 0 ] || status=1
fi
exit "$status"
