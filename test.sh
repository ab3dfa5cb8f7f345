#!/usr/bin/env bash
# Installs what is missing, builds and runs every test through ctest. Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
tools/build.sh build
cd build
ctest --output-on-failure -j2 "$@"
