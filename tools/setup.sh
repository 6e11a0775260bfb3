#!/usr/bin/env bash
# Installs the Debian packages that building and testing VANTERO need, only
# those that are missing. Run as root, or with sudo available.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config binutils
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-qpa-plugins fonts-dejavu-extra
  xvfb xauth x11-utils
  clang libclang-rt-14-dev
  locales
  dpkg-dev desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  if ! "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"; then
    "${sudo[@]}" apt-get update -q
    "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
fi

# A locale whose decimal separator is a comma, so that the tests can show the
# number rules ignore the user's locale.
if ! locale -a 2>/dev/null | grep -qi '^pt_BR\.utf-\?8$'; then
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  "${sudo[@]}" localedef -i pt_BR -f UTF-8 pt_BR.UTF-8 || echo "note: pt_BR.UTF-8 locale not generated"
fi
