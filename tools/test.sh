#!/usr/bin/env bash
# Installs what is missing, builds VANTERO and runs every test: the normal
# build, then the Debian packages (built, checked by lintian, run unpacked
# and installed into a fresh Debian root), then the two entry libraries
# built for 32-bit x86 against their calling contract, then everything again
# (the windows and the command line included) under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the fuzz programs for a short while.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh --test

jobs=$(nproc)
cmake --preset default -DBUILD_TESTING=ON
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

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
