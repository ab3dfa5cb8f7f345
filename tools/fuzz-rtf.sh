#!/usr/bin/env bash
# Fuzzes the RTF reader with libFuzzer for a bounded time (default 60 s), seeded with the RTF
# fixtures of tests/rtf/data. Needs clang and libclang-rt-14-dev (tools/install-deps.sh).
# Usage: tools/fuzz-rtf.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DPARLIX_FUZZ=ON -DPARLIX_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_rtfreader
corpus=$(mktemp -d "${TMPDIR:-/tmp}/parlix-rtf-corpus.XXXXXXXXXX")
trap 'rm -rf "$corpus"' EXIT
cp tests/rtf/data/*.rtf "$corpus"/
# Qt keeps a few global objects alive until exit; those are not leaks of the reader.
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$build/fuzz_rtfreader" "$corpus" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=30 \
  -max_len=65536 -print_final_stats=1 -artifact_prefix="$build/"
