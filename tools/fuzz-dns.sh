#!/usr/bin/env bash
# Fuzzes the DNS reply reader for a bounded time (default 30 s): a clang build of its own in
# build-fuzz/, only the fuzz target, seeded with a few well-formed and broken replies.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
dir=build-fuzz
cmake -S . -B "$dir" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPARLIX_FUZZ=ON -DPARLIX_BENCH=OFF >/dev/null
cmake --build "$dir" --target fuzz_dnsreply

corpus="$dir/dns-corpus"
mkdir -p "$corpus"
q='\x12\x34\x81\x80\x00\x01\x00\x01\x00\x00\x00\x00\x014\x013\x012\x011\x07in-addr\x04arpa\x00\x00\x0c\x00\x01'
rr='\xc0\x0c\x00\x0c\x00\x01\x00\x00\x0e\x10'
printf "$q$rr"'\x00\x09\x03pc7\x03lan\x00' >"$corpus/ptr"
printf "$q$rr"'\x00\x06\x03pc7\xc0\x0c' >"$corpus/ptr-compressed"
printf "$q"'\xc0\x0c\x00\x05\x00\x01\x00\x00\x0e\x10\x00\x05\x01a\x01b\x00'"$rr"'\x00\x05\x03pc7\x00' >"$corpus/cname-ptr"
printf "$q$rr"'\x00\x02\xc0\x36' >"$corpus/loop"
printf '\x12\x34\x81\x83\x00\x01\x00\x00\x00\x00\x00\x00\x014\x013\x012\x011\x07in-addr\x04arpa\x00\x00\x0c\x00\x01' >"$corpus/nxdomain"

ASAN_OPTIONS=detect_leaks=1 "$dir/fuzz_dnsreply" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=1024 \
  -print_final_stats=1 "$corpus"
