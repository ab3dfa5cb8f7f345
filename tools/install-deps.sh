#!/usr/bin/env bash
# Installs the Debian 12 packages Parlix needs to build, run and test, when any is missing.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-multimedia-dev qt6-svg-dev libx11-dev libxi-dev libxss-dev
          xvfb xdotool xauth x11-utils clang libclang-rt-14-dev
          dpkg-dev file desktop-file-utils libglib2.0-bin dbus-daemon)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
