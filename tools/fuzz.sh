#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang (build-fuzz/) and runs each for a bounded
# time on a scratch copy of its corpus in tests/fuzz/corpus/, so that the committed corpus stays
# small. A crash, a time-out (a hang), a leak or a sanitizer report ends the run with a failure;
# the input that caused it is kept as build-fuzz/<target>-crash-… (or leak-, timeout-).
# Usage: tools/fuzz.sh [seconds per target] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_requestheader fuzz_systemmessage fuzz_addresslist fuzz_listfile fuzz_settingsfile)
fi
build=build-fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DPARLIX_FUZZ=ON -DPARLIX_BENCH=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}"
scratch=$(mktemp -d "${TMPDIR:-/tmp}/parlix-fuzz.XXXXXXXXXX")
trap 'rm -rf "$scratch"' EXIT
for target in "${targets[@]}"; do
  # The list file is 51,611 bytes; everything else is fuzzed in small inputs, where it is fast.
  max_len=8192
  [ "$target" = fuzz_listfile ] && max_len=65536
  echo "== fuzzing $target for $seconds s =="
  mkdir -p "$scratch/$target"
  cp tests/fuzz/corpus/"$target"/* "$scratch/$target"/
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$build/$target" "$scratch/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len="$max_len" -print_final_stats=1 -artifact_prefix="$build/$target-"
done
