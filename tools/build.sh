#!/usr/bin/env bash
# Configures and builds into the folder given (default build/), extra arguments go to cmake.
set -euo pipefail
dir=${1:-build}
shift || true
cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
cmake --build "$dir"
