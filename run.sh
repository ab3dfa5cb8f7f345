#!/usr/bin/env bash
# Installs what is missing, builds and starts Parlix. Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
tools/build.sh build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: starting Parlix offscreen (no windows, no tray; it listens and answers)."
  export QT_QPA_PLATFORM=offscreen
fi
exec build/parlix "$@"
