#!/usr/bin/env bash
# A new calculator is a folder and its name in the list. In a scratch copy of
# the source tree, a fourth calculator "quadra" is made by copying the ring's
# folder under the new name (its files and identifiers renamed) and adding
# the name to VANTERO_CALCULATORS; nothing else is touched. The copy must
# configure, build, and pass every core test (the registry's, the command
# line's, the packaging's and each calculator's) and the new calculator's
# own window tests, and the registry and the command line must know it.
#   tools/fourth_calculator_test.sh [BUILD_FOLDER]
# The scratch tree goes under BUILD_FOLDER (default build/fourth-calculator),
# inside the source tree, so that ccache (when CMAKE_CXX_COMPILER_LAUNCHER
# names it, with CCACHE_BASEDIR at the source tree) shares the default
# build's objects.
set -euo pipefail
source=$(cd "$(dirname "$0")/.." && pwd)
scratch=${1:-$source/build/fourth-calculator}
tree=$scratch/src
rm -rf "$scratch"
mkdir -p "$tree"

# The source tree as it is, tracked or new, without what git ignores.
(cd "$source" && git ls-files -z --cached --others --exclude-standard |
  while IFS= read -r -d '' file; do
    if [ -e "$file" ]; then printf '%s\0' "$file"; fi
  done | xargs -0 cp --parents -t "$tree")

# The ring's folder under a new name: file names and every identifier,
# caption and extension that says "anel" (but not "panel") say "quadra".
cp -r "$tree/anel" "$tree/quadra"
find "$tree/quadra" -depth -name '*anel*' | while read -r path; do
  mv "$path" "$(dirname "$path")/$(basename "$path" | sed 's/anel/quadra/g')"
done
find "$tree/quadra" -type f -exec perl -pi -e \
  's/(?<![pP])anel/quadra/g; s/(?<![pP])Anel/Quadra/g; s/ANEL/QUADRA/g' {} +
sed -i 's/^set(VANTERO_CALCULATORS \(.*\))$/set(VANTERO_CALCULATORS \1 quadra)/' \
  "$tree/CMakeLists.txt"
grep -q '^set(VANTERO_CALCULATORS .* quadra)$' "$tree/CMakeLists.txt" || {
  echo "FAIL: no calculator list in CMakeLists.txt"
  exit 1
}

cd "$tree"
cmake --preset default -DBUILD_TESTING=ON >/dev/null
cmake --build --preset default -j "$(nproc)"

status=0
ctest --preset default -j "$(nproc)" -L core --output-on-failure || status=1
ctest --preset default -j "$(nproc)" -R '^Quadra' --output-on-failure || status=1

# The registry and the command line know the new calculator.
vantero=build/default/cli/vantero
expect() { # DESCRIPTION COMMAND...: the command succeeds
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; status=1; fi
}
expect "quadra is the fourth line of the build's list" \
  test "$(sed -n 4p build/default/calculators.txt)" == quadra
expect "vantero quadra calculates the copied ring's figures" \
  diff <("$vantero" quadra) <("$vantero" anel)
expect "vantero --help lists quadra" grep -q '^quadra: Configuração em Quadra' <("$vantero" --help)
expect "quadra has a manual page" test -s build/default/packaging/man/quadra.1
expect "quadra saves .quadra project files" \
  "$vantero" quadra --save "$scratch/project"
expect "and opens them" "$vantero" quadra --open "$scratch/project.quadra"
if [ $status -eq 0 ]; then
  rm -rf "$scratch"
fi
exit $status
