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
  gcc-multilib g++-multilib
  locales
  dpkg-dev desktop-file-utils
  # The windows at run time: Qt's SVG plugins (the icons and the buttons'
  # pictures) and Qt's own texts in Portuguese (Brazil); the test of the
  # programs on a desktop: a window manager, D-Bus and the accessibility bus,
  # Debian's Python bindings for it, key presses and screen pictures.
  libqt6svg6 qt6-translations-l10n
  openbox dbus at-spi2-core python3-pyatspi xdotool imagemagick
  # vantero --plot FILE.svg (Qt SVG); the design report's tests read the PDF
  # back with pdftotext and pdffonts.
  qt6-svg-dev poppler-utils
)

install_missing() {
  local missing=() p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
    export DEBIAN_FRONTEND=noninteractive
    if ! "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"; then
      "${sudo[@]}" apt-get update -q
      "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
    fi
  fi
}

install_missing "${packages[@]}"

# The 32-bit x86 build of the two entry libraries runs its test programs
# under qemu-i386 where the kernel runs no i386 program. The probe is the
# 32-bit dynamic loader that gcc-multilib brought.
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  install_missing qemu-user
fi

# A locale whose decimal separator is a comma, so that the tests can show the
# number rules ignore the user's locale.
if ! locale -a 2>/dev/null | grep -qi '^pt_BR\.utf-\?8$'; then
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  "${sudo[@]}" localedef -i pt_BR -f UTF-8 pt_BR.UTF-8 || echo "note: pt_BR.UTF-8 locale not generated"
fi
