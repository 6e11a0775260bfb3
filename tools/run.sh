#!/usr/bin/env bash
# Installs what is missing, builds VANTERO and starts one calculator:
#   tools/run.sh [tavo|estrela|anel]     (tavo when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-tavo}

tools/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target "$program"
exec "build/default/$program/$program"
