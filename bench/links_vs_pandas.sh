#!/usr/bin/env bash
# A table of tavo links with a length each, from a CSV file to a CSV file:
# `vantero tavo --links` against pandas reading the same file, computing the
# same two budgets with numpy and writing them with to_csv
# (bench/links_pandas.py), both timed in the same run; then the peak memory
# of vantero for a table ten times as long. A benchmark, not a test: it
# prints its figures and fails only when the two outputs disagree.
#   bench/links_vs_pandas.sh [ROWS [BIG_ROWS]]      (1000000 and 10000000)
# VANTERO names the program (build/default/cli/vantero); hyperfine times the
# runs when it is installed, else /usr/bin/time does, three runs each.
set -euo pipefail
cd "$(dirname "$0")/.."
rows=${1:-1000000}
big=${2:-10000000}
vantero=${VANTERO:-build/default/cli/vantero}
# Debian's python3-pandas and python3-numpy.
python=/usr/bin/python3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== $rows links: id, length, connectorCount, fibreAttenuation, bitRate"
"$python" bench/links_pandas.py generate "$rows" "$work/links.csv"
ls -l "$work/links.csv" | awk '{printf "table: %.1f MB\n", $5 / 1e6}'

# Exit status 1: some links fail a budget at their length.
vantero_run="$vantero tavo --links $work/links.csv --csv $work/vantero.csv"
pandas_run="$python bench/links_pandas.py run $work/links.csv $work/pandas.csv"
$vantero_run || [ $? -eq 1 ]
$pandas_run
"$python" bench/links_pandas.py compare "$work/vantero.csv" "$work/pandas.csv"

# Processor time (user + system) of one run each, for a machine shared with
# other work.
cpu() {
  /usr/bin/time -f '%U %S' -o "$work/cpu" "$@" >/dev/null 2>&1 || true
  # (after "Command exited with non-zero status 1", when it did)
  tail -n 1 "$work/cpu" | awk '{print $1 + $2}'
}
vantero_cpu=$(cpu $vantero_run)
pandas_cpu=$(cpu $pandas_run)

if command -v hyperfine >/dev/null; then
  hyperfine --warmup 1 --runs 5 --ignore-failure --export-json "$work/times.json" \
    -n vantero "$vantero_run" -n pandas "$pandas_run"
  read -r vantero_s pandas_s < <("$python" -c '
import json, sys
means = {r["command"]: r["mean"] for r in json.load(open(sys.argv[1]))["results"]}
print(means["vantero"], means["pandas"])' "$work/times.json")
else
  # The median of three runs.
  wall() {
    for _ in 1 2 3; do
      /usr/bin/time -f '%e' -o "$work/wall" "$@" >/dev/null 2>&1 || true
      tail -n 1 "$work/wall"
    done | sort -n | sed -n 2p
  }
  vantero_s=$(wall $vantero_run)
  pandas_s=$(wall $pandas_run)
fi
awk -v v="$vantero_s" -v p="$pandas_s" -v vc="$vantero_cpu" -v pc="$pandas_cpu" -v n="$rows" 'BEGIN {
  printf "elapsed:   vantero %.3f s, pandas %.3f s: vantero %.1f times as fast (%.1f million links/s)\n", v, p, p / v, n / v / 1e6
  printf "processor: vantero %.2f s, pandas %.2f s: %.1f times less\n", vc, pc, pc / vc
}'

echo "== peak memory of vantero for $big links"
# The long table, written by awk as it goes (pandas would hold it whole).
awk -v n="$big" 'BEGIN {
  srand(23)
  print "id,length,connectorCount,fibreAttenuation,bitRate"
  split("2 8 34 140", rates, " ")
  for (i = 1; i <= n; i++)
    printf "L%d,%.3f,%d,%.3f,%d\n", i, 1 + 79 * rand(), 2 + int(11 * rand()), 0.2 + 0.3 * rand(), rates[1 + int(4 * rand())]
}' >"$work/big.csv"
rm -f "$work/links.csv" "$work/vantero.csv" "$work/pandas.csv"
/usr/bin/time -f '%M %e' -o "$work/peak" $vantero tavo --links "$work/big.csv" --csv "$work/big.out.csv" || [ $? -eq 1 ]
tail -n 1 "$work/peak" |
  awk -v n="$big" '{printf "%d links: peak resident memory %.1f MB, %.1f s\n", n, $1 / 1024, $2}'
wc -l <"$work/big.out.csv" | awk -v n="$big" '$1 != n + 1 {print "the output has " $1 " lines"; exit 1}'
