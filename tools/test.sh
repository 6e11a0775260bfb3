#!/usr/bin/env bash
# Installs what is missing, builds VANTERO and runs every test: the normal
# build, then the two entry libraries built for 32-bit x86 against their
# calling contract, then everything again under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the fuzz programs for a short while; and
# checks the Debian package by running what it installs.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh

jobs=$(nproc)
cmake --preset default
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"
tools/package_test.sh build/default
tools/i386_contract_test.sh

cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

tools/fuzz.sh 15
