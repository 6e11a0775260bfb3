#!/usr/bin/env bash
# Installs what is missing, builds VANTERO and starts one calculator:
#   tools/run.sh [CALCULATOR]     (the first calculator when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
cmake --preset default >/dev/null
mapfile -t calculators <build/default/calculators.txt
program=${1:-${calculators[0]}}
if [[ " ${calculators[*]} " != *" $program "* ]]; then
  echo "run.sh: no calculator \"$program\"; the calculators are: ${calculators[*]}" >&2
  exit 2
fi
cmake --build --preset default -j "$(nproc)" --target "$program"
exec "build/default/$program/$program"
