#!/usr/bin/env bash
# Installs what is missing, builds VANTERO and runs every test: the normal
# build and its runs under limits on memory and threads, a scratch copy of
# the tree with a fourth calculator, then the Debian packages (built,
# checked by lintian, run unpacked and installed into a fresh Debian root),
# then the two entry libraries built for 32-bit x86 against their calling
# contract, then everything again
# (the windows and the command line included) under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the fuzz programs for a short while.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh --test

# ccache lets the scratch build of the fourth calculator share the default
# build's objects.
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
fi

jobs=$(nproc)
cmake --preset default -DBUILD_TESTING=ON
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"
# Short of memory (every ulimit -v from 80,000 to 140,000 kB) or of threads
# (ulimit -u 1 to 4), every chart, report and sweep ends with its file, or
# with "Out of memory." and the old file whole.
tools/limits_scan.sh build/default
# A fourth calculator is its folder and a line: a scratch copy of the tree
# with one more configures, builds and passes the tests.
tools/fourth_calculator_test.sh

# The packages' maintainer is whoever builds them (DEBFULLNAME, DEBEMAIL);
# for a test build, the author of the commit under test when none is given.
if [ -z "${DEBEMAIL:-}" ]; then
  DEBFULLNAME=${DEBFULLNAME:-$(git log -1 --format=%an)}
  DEBEMAIL=$(git log -1 --format=%ae)
  export DEBFULLNAME DEBEMAIL
fi
# The tests ran above: the packages are built without them.
DEB_BUILD_OPTIONS="nocheck parallel=$jobs" tools/package.sh build/package
tools/package_test.sh --fresh-root build/package
tools/i386_contract_test.sh

cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

tools/fuzz.sh 15
