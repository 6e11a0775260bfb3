#!/usr/bin/env bash
# Builds libpelkadi and libsorvik3 for 32-bit x86 (the i386 preset, with
# gcc-multilib) and tests their calling contract from a 32-bit caller, and
# their values against those of the x86-64 build in build/default, which must
# be configured. The 32-bit programs run natively where the kernel runs them,
# else under qemu-i386.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

# The x86-64 program that writes the values the 32-bit build must reproduce.
cmake --build --preset default -j "$jobs" --target entry_values

cmake --preset i386
cmake --build --preset i386 -j "$jobs"
# One test at a time, each with its output: the few seconds they take are
# worth a readable record of what was checked.
ctest --preset i386 --verbose
