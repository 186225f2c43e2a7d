#!/usr/bin/env bash
# Installs the Debian packages that are missing. Safe to run again. With --windows it
# adds what the Windows cross-build and its tests need (MinGW-w64, zlib for it, Wine).
set -euo pipefail

packages=(
  cmake g++ ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev zlib1g-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev libcli11-dev clang libclang-rt-14-dev
  libxdo-dev xdotool xvfb xauth matchbox-window-manager
  fonts-dejavu-core
)
if [ "${1:-}" = "--windows" ]; then
  packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix libz-mingw-w64-dev wine wine64)
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
