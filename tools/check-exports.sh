#!/usr/bin/env bash
# Checks that a shared library exports exactly the given entries:
#   tools/check-exports.sh LIBRARY ENTRY...
set -euo pipefail
library=$1
shift
actual=$(nm -D --defined-only "$library" | awk '{print $3}' | sort)
expected=$(printf '%s\n' "$@" | sort)
if [ "$actual" != "$expected" ]; then
  echo "$library exports:"
  echo "$actual"
  echo "expected only:"
  echo "$expected"
  exit 1
fi
echo "$library exports only: $*"
