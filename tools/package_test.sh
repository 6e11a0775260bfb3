#!/usr/bin/env bash
# Checks VANTERO's Debian packages, as tools/package.sh made them in
# PACKAGE_DIR:
#  - lintian (-I -E --pedantic) on every package: its tags are listed, and an
#    error or a warning fails the check;
#  - the packages unpacked together into a temporary root (dpkg -x), and what
#    they installed run from there, never from a build tree: nothing names
#    the build tree, the desktop entries and the AppStream metainfo are valid,
#    every program has its manual page, each calculator with a desktop entry
#    starts on the offscreen platform and keeps running, and `vantero`
#    calculates each of them (for tavo, the defaults' worked example); the
#    Python module imports and gives what the command line gives;
#  - with --fresh-root, the packages installed by apt into a fresh Debian
#    root (debootstrap, the host's release), every program started there and
#    the Python module imported by the system's python3.
#   package_test.sh [--fresh-root] PACKAGE_DIR
set -euo pipefail
fresh_root=false
if [ "${1:-}" == --fresh-root ]; then
  fresh_root=true
  shift
fi
dir=$(cd "$1" && pwd)
root=$(mktemp -d)
mounted=()
cleanup() {
  local m
  for m in "${mounted[@]}"; do umount "$m" 2>/dev/null || true; done
  rm -rf "$root"
}
trap cleanup EXIT

mapfile -t debs < <(ls "$dir"/*.deb | grep -v -- '-dbgsym_')
status=0
fail() {
  echo "FAIL: $*"
  status=1
}

for deb in "${debs[@]}"; do
  echo "package: $(basename "$deb") ($(dpkg-deb -f "$deb" Installed-Size) KiB)"
  echo "  Depends: $(dpkg-deb -f "$deb" Depends)"
  dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print "  " $6}' | sed 's|\./|/|'
done

# lintian on every package built, the debug symbols included.
echo "lintian $(lintian --version | awk '{print $2}') -I -E --pedantic:"
tags=$(lintian -I -E --pedantic "$dir"/*.deb 2>&1 | grep -v 'running with root privileges' || true)
echo "${tags:-  (no tags)}" | sed 's/^/  /'
if grep -q '^[EW]: ' <<<"$tags"; then
  fail "lintian reports errors or warnings"
fi

for deb in "${debs[@]}"; do
  dpkg -x "$deb" "$root/unpacked"
done
usr=$root/unpacked/usr
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)

# Nothing of a build tree may be named by what was installed: the programs
# and the Python module find the libraries where the loader looks.
for program in "$usr"/bin/* "$usr"/lib/python3/dist-packages/vantero/*.so; do
  [ -e "$program" ] || continue
  if readelf -d "$program" | grep -qE 'R(UN)?PATH'; then
    fail "$program has a RUNPATH: $(readelf -d "$program" | grep -E 'R(UN)?PATH')"
  fi
done
desktop-file-validate "$usr"/share/applications/*.desktop || fail "desktop entries"
appstreamcli validate --no-net --pedantic "$usr"/share/metainfo/*.metainfo.xml || fail "metainfo"
for program in "$usr"/bin/*; do
  [ -f "$usr/share/man/man1/$(basename "$program").1.gz" ] || fail "no manual page for $program"
done
[ -f "$usr/share/bash-completion/completions/vantero" ] || fail "no bash completion"
if flags=$(pkg-config --define-prefix --with-path="$usr/lib/$multiarch/pkgconfig" \
  --cflags --libs pelkadi sorvik3); then
  echo "ok: pkg-config --cflags --libs pelkadi sorvik3: $flags"
else
  fail "pkg-config files"
fi

# The calculators: those the package gives a desktop entry.
calculators=()
for entry in "$usr"/share/applications/vantero-*.desktop; do
  calculator=${entry##*/vantero-}
  calculators+=("${calculator%.desktop}")
done

# A program of the unpacked root runs with its libraries.
from_root=(env LD_LIBRARY_PATH="$usr/lib/$multiarch")

# A program that is still running after two seconds has started.
starts() {
  local code
  set +e
  QT_QPA_PLATFORM=offscreen timeout 2 "$@" >"$root/start.log" 2>&1
  code=$?
  set -e
  if [ "$code" -ne 124 ]; then
    echo "ended with $code:"
    cat "$root/start.log"
    return 1
  fi
}

for calculator in "${calculators[@]}"; do
  program=$usr/bin/$calculator
  if [ ! -x "$program" ]; then
    fail "$calculator has a desktop entry but no program"
  elif starts "${from_root[@]}" "$program"; then
    echo "ok: $calculator starts from the package"
  else
    fail "$calculator does not start"
  fi
done

expect_tavo=$'^maximumDistance\t49.52537$'
for calculator in "${calculators[@]}"; do
  "${from_root[@]}" "$usr/bin/vantero" "$calculator" >/dev/null || fail "vantero $calculator"
done
# The catalogue of parts comes with the package, and vantero finds it there.
[ -f "$usr/share/vantero/catalogue/transceivers.toml" ] || fail "no catalogue of parts"
if out=$("${from_root[@]}" env -u VANTERO_CATALOGUE_DIR XDG_CONFIG_HOME="$root/none" \
  "$usr/bin/vantero" catalogue transceiver 10GBASE-LR) &&
  grep -q "($usr/share/vantero/catalogue/transceivers.toml, line" <<<"$out"; then
  echo "ok: vantero finds the catalogue of the package"
else
  fail "vantero catalogue: $out"
fi
if out=$("${from_root[@]}" "$usr/bin/vantero" tavo) && grep -q "$expect_tavo" <<<"$out"; then
  echo "ok: vantero tavo from the package:"
  echo "$out"
else
  fail "vantero tavo: $out"
fi

# The Python module, when it was packaged: the power margin of the tavo link
# at 30 km as the module gives it, and as the command line's JSON gives it.
python_margin="import vantero; print(vantero.calculate('tavo', at=30)['at'][0]['powerMargin'])"
json_margin="import json, sys; print(json.load(sys.stdin)['at'][0]['powerMargin'])"
with_python=false
if [ -d "$usr/lib/python3/dist-packages/vantero" ]; then
  with_python=true
  if margin=$("${from_root[@]}" PYTHONPATH="$usr/lib/python3/dist-packages" \
    /usr/bin/python3 -c "$python_margin") &&
    [ "$margin" == "$("${from_root[@]}" "$usr/bin/vantero" tavo --at 30 --json |
      /usr/bin/python3 -c "$json_margin")" ]; then
    echo "ok: the Python module from the package: powerMargin $margin at 30 km"
  else
    fail "the Python module: ${margin:-no margin}"
  fi
fi

if $fresh_root; then
  # A fresh root of the host's Debian release, with what apt brings along.
  fresh=$root/fresh
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  mirror=$(apt-get indextargets --format '$(REPO_URI)' 'Created-By: Packages' 2>/dev/null |
    grep -m 1 '/debian/$' || echo http://deb.debian.org/debian/)
  echo "A fresh $codename root from $mirror:"
  debootstrap --variant=minbase "$codename" "$fresh" "$mirror" >"$root/debootstrap.log" 2>&1 ||
    { tail -n 20 "$root/debootstrap.log"; exit 1; }
  if mount -t proc proc "$fresh/proc" 2>/dev/null; then
    mounted+=("$fresh/proc")
  fi
  mkdir -p "$fresh/tmp/debs"
  cp "${debs[@]}" "$fresh/tmp/debs/"
  debs_in_root=()
  for deb in "${debs[@]}"; do
    debs_in_root+=("/tmp/debs/$(basename "$deb")")
  done
  in_root=(chroot "$fresh" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8)
  before=$("${in_root[@]}" dpkg-query -W -f '.\n' | wc -l)
  "${in_root[@]}" apt-get update -q >"$root/apt.log" 2>&1 &&
    "${in_root[@]}" DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${debs_in_root[@]}" \
      >>"$root/apt.log" 2>&1 ||
    { tail -n 30 "$root/apt.log"; exit 1; }
  grep -E '^[0-9]+ upgraded|^Need to get|^After this operation' "$root/apt.log" | sed 's/^/  /'
  echo "  $(($("${in_root[@]}" dpkg-query -W -f '.\n' | wc -l) - before)) packages installed"
  for calculator in "${calculators[@]}"; do
    if starts "${in_root[@]}" QT_QPA_PLATFORM=offscreen "$calculator"; then
      echo "ok: $calculator starts in the fresh root"
    else
      fail "$calculator does not start in the fresh root"
    fi
  done
  if out=$("${in_root[@]}" vantero tavo) && grep -q "$expect_tavo" <<<"$out"; then
    echo "ok: vantero tavo in the fresh root"
  else
    fail "vantero tavo in the fresh root: $out"
  fi
  if "${in_root[@]}" vantero tavo --use transceiver=10GBASE-LR --use fibre=G.652.D@1310 \
    >/dev/null 2>"$root/use.log"; then
    echo "ok: vantero tavo with parts of the installed catalogue in the fresh root"
  else
    fail "vantero --use in the fresh root: $(cat "$root/use.log")"
  fi
  "${in_root[@]}" vantero --version | head -n 1 | sed 's/^/  /'
  if $with_python; then
    if margin=$("${in_root[@]}" python3 -c "$python_margin") &&
      [ "$margin" == "$("${in_root[@]}" vantero tavo --at 30 --json |
        "${in_root[@]}" python3 -c "$json_margin")" ]; then
      echo "ok: python3 -c \"$python_margin\" in the fresh root: $margin"
    else
      fail "the Python module in the fresh root: ${margin:-no margin}"
    fi
  fi
fi
exit $status
