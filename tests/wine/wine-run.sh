#!/bin/sh
# Runs a test program under the Wine loader named first: wine-run.sh LOADER PROGRAM [ARGUMENT...],
# through tests/gtest-run.sh, which fails a program that ended part-way through its tests.
# Wine writes its trace of a process, and of every process that one starts, to the Unix standard
# error of the first (a started program's standard-error handle does not move it). CTest captures
# a test's standard error, so when LUMORA_TRACE_FILE names a file (the Windows 98 layers of
# scripts/test.sh) the standard error is appended to it instead: the Windows 98 tests read the
# trace of the programs they start from there, as the file LUMORA_TRACE names.
loader="$1"
shift
run="$(dirname "$0")/../gtest-run.sh"
if [ -n "${LUMORA_TRACE_FILE:-}" ]; then
    exec /bin/sh "$run" --wine "$loader" "$@" 2>>"$LUMORA_TRACE_FILE"
fi
exec /bin/sh "$run" --wine "$loader" "$@"
