#!/bin/sh
# Takes the README's screenshots under a virtual X server: ./tools/screenshots.sh [BUILD] [FOLDER]
set -e
build=${1:-build}
folder=${2:-docs}
mkdir -p "$folder"
exec xvfb-run -a -s "-screen 0 1024x768x24" env QT_QPA_PLATFORM=xcb "$build/parlix_screenshots" "$folder"
