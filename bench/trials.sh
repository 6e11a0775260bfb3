#!/usr/bin/env bash
# The speed and memory of the trials of a statistical budget, as a whole
# vantero run: a million tavo trials with three spreads (five connectors and
# the splices, each drawn item by item, and the attenuation) and one --at
# length, on every core and on one, timed by hyperfine beside two baselines
# measured in the same run (a plain run with --at, a sweep of a million
# points); then the peak memory of 1e5, 1e6 and 1e7 trials.
#   bench/trials.sh [BUILD_FOLDER]      (build/default unless given)
set -euo pipefail
build=${1:-build/default}
vantero=$build/cli/vantero
spreads="--spread connectorLoss=normal:0.3,0.05 --spread spliceLoss=normal:1,0.1 --spread fibreAttenuation=uniform:0.3,0.4"
trials="$vantero tavo $spreads --at 30"

hyperfine -N --warmup 1 --runs "${RUNS:-10}" \
  -n 'plain run, --at 30' "$vantero tavo --at 30" \
  -n 'sweep, 1e6 points' "$vantero tavo --sweep bitRate=1:1000:1000000" \
  -n '1e6 trials' "$trials --trials 1000000" \
  -n '1e6 trials, --threads 1' "$trials --trials 1000000 --threads 1"

echo
echo "Peak resident memory (KiB):"
for n in 100000 1000000 10000000; do
  printf '  %9d trials  ' "$n"
  /usr/bin/time -f '%M' $trials --trials "$n" 2>&1 >/dev/null | tail -1
done
