#!/usr/bin/env bash
# Checks the values of this build's entries against those of another build:
#   check_against.sh REFERENCE COUNT PROGRAM...
# REFERENCE, the entry_values program of the other build, writes COUNT random
# argument sets of each entry with their values; PROGRAM... (this build's
# entry_values, after its emulator if it needs one) recomputes and checks
# them. Both must also write the same messages on standard error.
set -euo pipefail
reference=$1
count=$2
shift 2
if [ ! -x "$reference" ]; then
  echo "FAIL: no reference program $reference (cmake --build --preset default --target entry_values)"
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$reference" write "$count" >"$work/values" 2>"$work/reference.err"
echo "reference: $(grep -c '^S' "$work/values") argument sets of Sorvik3," \
  "$(grep -c '^N' "$work/values") of Newton, from $reference"
status=0
"$@" check "$work/values" 2>"$work/own.err" || status=1
if cmp -s "$work/reference.err" "$work/own.err"; then
  echo "ok: the same $(wc -l <"$work/reference.err") messages of the logarithm on standard error"
else
  echo "FAIL: other messages on standard error than the reference's:"
  diff "$work/reference.err" "$work/own.err" | head -n 20 || true
  status=1
fi
exit "$status"
