#!/usr/bin/env bash
# Installs the Debian packages that building and running VANTERO need, only
# those that are missing; with --test, also those that testing and packaging
# need. Run as root, or with sudo available.
#   tools/setup.sh [--test]
set -euo pipefail

test_tools=false
if [ "${1:-}" == --test ]; then
  test_tools=true
fi

# Building and running: the compiler, CMake, Qt (with Qt SVG for the
# pictures, the icons and vantero's SVG charts, and Qt's own texts in
# Portuguese), the font the windows are laid out for, rsvg-convert for the
# PNG icons, toml++ (headers only) for the catalogue of parts, and the Python
# module (pybind11 and numpy for the system's Python 3, matplotlib for the
# notebook example).
packages=(
  g++ cmake ninja-build pkg-config binutils libtomlplusplus-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-qpa-plugins fonts-dejavu-extra
  qt6-svg-dev libqt6svg6 qt6-translations-l10n
  librsvg2-bin
  pybind11-dev python3-dev python3-numpy python3-matplotlib
)
# Testing: GoogleTest and Google Benchmark, ccache (the scratch build of a
# fourth calculator shares the default build's objects), Xvfb for the start-up tests,
# clang for the fuzzing, the 32-bit toolchain for the entries' calling
# contract, a comma-decimal locale; the test of the programs on a desktop (a
# window manager, D-Bus and the accessibility bus, Debian's Python bindings
# for it, key presses and screen pictures); pdftotext and pdffonts for the
# design report, with pdfinfo, ImageMagick and xmllint reading the files of
# the runs under limits; and for the Debian packages debhelper, lintian,
# appstreamcli, man and debootstrap; pytest for the Python module's tests and
# dh-python for its package.
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev ccache
  xvfb xauth x11-utils
  clang libclang-rt-14-dev
  gcc-multilib g++-multilib
  locales
  dpkg-dev desktop-file-utils
  openbox dbus at-spi2-core python3-pyatspi xdotool imagemagick
  poppler-utils libxml2-utils
  debhelper lintian appstream man-db debootstrap
  python3-pytest dh-python
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
if ! $test_tools; then
  exit 0
fi
install_missing "${test_packages[@]}"

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
