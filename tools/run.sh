#!/usr/bin/env bash
# Installs what is missing, builds VANTERO and starts one calculator:
#   tools/run.sh [CALCULATOR]     (the first calculator when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
# The tests are left out of the build until tools/setup.sh --test (which
# tools/test.sh runs) has installed GoogleTest and Google Benchmark.
testing=OFF
if dpkg-query -W -f='${Status}\n' libgtest-dev libgmock-dev libbenchmark-dev 2>/dev/null |
  grep -c 'install ok installed' | grep -qx 3; then
  testing=ON
fi
cmake --preset default -DBUILD_TESTING=$testing >/dev/null
mapfile -t calculators <build/default/calculators.txt
program=${1:-${calculators[0]}}
if [[ " ${calculators[*]} " != *" $program "* ]]; then
  echo "run.sh: no calculator \"$program\"; the calculators are: ${calculators[*]}" >&2
  exit 2
fi
cmake --build --preset default -j "$(nproc)" --target "$program"
exec "build/default/$program/$program"
