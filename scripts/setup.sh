#!/usr/bin/env bash
# Installs the Debian packages that are missing. Safe to run again. With --windows it
# adds what the Windows cross-build and its tests need (MinGW-w64, zlib for it, Wine).
set -euo pipefail

packages=(
  cmake g++ ninja-build pkg-config
  qt6-base-dev qt6-serialport-dev zlib1g-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev libcli11-dev clang libclang-rt-14-dev
  libxdo-dev xdotool xvfb xauth matchbox-window-manager
  fonts-dejavu-core libqt6svg6 appstream
)
if [ "${1:-}" = "--windows" ]; then
  packages+=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix libz-mingw-w64-dev wine wine64
             locales dpkg-dev msitools wixl python3 x11-apps netpbm fonts-wine)
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

# The Windows tests run under Wine with the code pages of Central Europe (1250) and of
# Cyrillic (1251) too, which Wine takes from these locales.
generate_locales() {
  for locale in pl_PL ru_RU; do
    if ! locale -a 2>/dev/null | grep -qi "^$locale.utf-\?8$"; then
      "${sudo_cmd[@]}" localedef -i "$locale" -f UTF-8 "$locale.UTF-8"
    fi
  done
}

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ "${1:-}" = "--windows" ]; then
  generate_locales
fi
