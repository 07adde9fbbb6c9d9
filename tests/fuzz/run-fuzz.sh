#!/bin/sh
# Builds the perf-data fuzzer with clang and runs it for a fixed number of inputs (default
# 20000; pass another count as the first argument). New inputs go to a scratch folder in the
# build tree; the checked-in starting corpus is only read.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${LUMORA_FUZZ_BUILD:-$root/build/fuzz}
runs=${1:-20000}
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DLUMORA_FUZZ=ON >/dev/null
cmake --build "$build" --target perf_data_fuzzer -j"$(nproc)" >/dev/null
mkdir -p "$build/fuzz-corpus"
exec "$build/tests/fuzz/perf_data_fuzzer" -runs="$runs" -max_len=20000 -timeout=10 -rss_limit_mb=2048 \
    "$build/fuzz-corpus" "$here/corpus"
