#!/usr/bin/env bash
# Builds the Debian package from a built tree, unpacks it into a temporary
# root (dpkg -x) and runs what it installed from there — never from the build
# tree: each calculator with a desktop entry starts on the offscreen platform
# and keeps running, and `vantero` calculates each of them (for tavo, the
# defaults' worked example).
#   package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/vantero_*.deb | head -n 1)
echo "package: $(basename "$deb")"
dpkg-deb -f "$deb" Depends
dpkg -x "$deb" "$root"
dpkg -c "$deb" | awk '{print $6}' | sed 's|^\./|/|'

# Nothing of the build tree may be named by what was installed.
for program in "$root"/usr/bin/*; do
  if readelf -d "$program" | grep -E 'R(UN)?PATH' | grep -qF "$build"; then
    echo "FAIL: $program names the build tree"; exit 1
  fi
done
desktop-file-validate "$root"/usr/share/applications/*.desktop

# The calculators: those the package gives a desktop entry.
calculators=()
for entry in "$root"/usr/share/applications/vantero-*.desktop; do
  calculator=${entry##*/vantero-}
  calculators+=("${calculator%.desktop}")
done

status=0
for calculator in "${calculators[@]}"; do
  program="$root/usr/bin/$calculator"
  if [ ! -x "$program" ]; then
    echo "FAIL: $calculator has a desktop entry but no program"; status=1; continue
  fi
  # A program that is still running after two seconds has started.
  set +e
  QT_QPA_PLATFORM=offscreen timeout 2 "$program" >"$root/$calculator.log" 2>&1
  code=$?
  set -e
  if [ "$code" -eq 124 ]; then
    echo "ok: $calculator starts from the package"
  else
    echo "FAIL: $calculator ended with $code:"; cat "$root/$calculator.log"; status=1
  fi
done

if [ -x "$root/usr/bin/vantero" ]; then
  for calculator in "${calculators[@]}"; do
    if ! "$root/usr/bin/vantero" "$calculator" >/dev/null; then
      echo "FAIL: vantero $calculator"; status=1
    fi
  done
  if out=$("$root/usr/bin/vantero" tavo) && grep -q $'^maximumDistance\t49.52537$' <<<"$out"; then
    echo "ok: vantero tavo from the package:"; echo "$out"
  else
    echo "FAIL: vantero tavo: $out"; status=1
  fi
fi
exit $status
