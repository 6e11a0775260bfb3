#!/usr/bin/env bash
# Builds the libFuzzer programs (clang, fuzz preset) and runs each for a
# while from the seeds in fuzz/corpus (and the shipped catalogue); fails on a crash, a failed check or a
# sanitizer report.
#   tools/fuzz.sh [SECONDS]      (15 seconds per program when none is given)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-15}

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

# The project-file seeds are kept as hexadecimal text, two digits a byte.
hex_to_bytes() {
  local hex
  hex=$(tr -d ' \n' <"$1")
  for ((i = 0; i < ${#hex}; i += 2)); do
    printf "\\x${hex:i:2}"
  done
}

work=build/fuzz/corpus
rm -rf "$work"
mkdir -p "$work/project_reader" "$work/number_parser" "$work/catalogue_reader" "$work/link_table"
for seed in fuzz/corpus/project_reader/*.hex; do
  hex_to_bytes "$seed" >"$work/project_reader/$(basename "$seed" .hex)"
done
# Each calculator's own file, at its initial figures and with no choice codes,
# and a table of its links with every input and choice as a column.
build/fuzz/fuzz/fuzz_seeds "$work/project_reader" "$work/link_table"
cp fuzz/corpus/number_parser/* "$work/number_parser/"
# The shipped catalogue and a few small files, good and bad.
cp common/catalogue/shipped/*.toml fuzz/corpus/catalogue_reader/* "$work/catalogue_reader/"
cp fuzz/corpus/link_table/* "$work/link_table/"

for target in project_reader number_parser catalogue_reader link_table; do
  echo "fuzz_$target: ${seconds}s"
  "build/fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -artifact_prefix=build/fuzz/ \
    -print_final_stats=1 "$work/$target" 2>"build/fuzz/fuzz_$target.log" ||
    { tail -n 60 "build/fuzz/fuzz_$target.log"; exit 1; }
  grep -E '^stat::number_of_executed_units|^stat::new_units_added' "build/fuzz/fuzz_$target.log"
done
