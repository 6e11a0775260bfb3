#!/usr/bin/env bash
# A program linked to libpelkadi starts only when the library and its entry
# Newton are there: binding happens when the program is loaded.
#   binding_test.sh PROBE LIBPELKADI STUB
set -uo pipefail
probe=$1 library=$2 stub=$3
soname=$(objdump -p "$library" | awk '/SONAME/ {print $2}')
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$probe" "$dir/probe"
status=0

# No library at all.
if out=$(LD_LIBRARY_PATH="$dir" "$dir/probe" 2>&1); then
  echo "FAIL: started without $soname"; status=1
else
  echo "ok: without the library: $out"
fi

# The library without the entry: refused at load, before any call.
cp "$stub" "$dir/$soname"
if out=$(LD_LIBRARY_PATH="$dir" "$dir/probe" 2>&1); then
  echo "FAIL: started without the entry Newton"; status=1
else
  echo "ok: without the entry: $out"
fi

# The real library.
cp "$library" "$dir/$soname"
if out=$(LD_LIBRARY_PATH="$dir" "$dir/probe" call 2>&1) && [ "$out" = "3.00000" ]; then
  echo "ok: with the library: $out"
else
  echo "FAIL: with the library: $out"; status=1
fi
exit $status
