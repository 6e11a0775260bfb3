#!/usr/bin/env bash
# Builds VANTERO's Debian packages (vantero, libpelkadi1, libsorvik3-1,
# vantero-dev, python3-vantero) with debhelper, dh-python, Debian's build
# flags and hardening:
#   DEBFULLNAME='NAME' DEBEMAIL='ADDRESS' tools/package.sh [OUTPUT_DIR]
# The maintainer, whose name and address go into the packages and their
# changelog, is whoever builds them: DEBFULLNAME and DEBEMAIL, as for Debian's
# own tools (DEBEMAIL may also be "NAME <ADDRESS>" alone). The packages land
# in OUTPUT_DIR (build/package when none is given). DEB_BUILD_OPTIONS passes
# through: "nocheck" builds without the tests (and without GoogleTest).
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(mkdir -p "${1:-build/package}" && cd "${1:-build/package}" && pwd)

email=${DEBEMAIL:-}
name=${DEBFULLNAME:-}
if [[ $email =~ ^(.*[^[:space:]])[[:space:]]*\<(.+)\>$ ]]; then
  name=${name:-${BASH_REMATCH[1]}}
  email=${BASH_REMATCH[2]}
fi
if [[ -z $name || -z $email ]]; then
  echo "package.sh: name the packages' maintainer: DEBFULLNAME='NAME' DEBEMAIL='ADDRESS' $0" >&2
  exit 2
fi
maintainer="$name <$email>"

# The packages are built from a copy of the sources with the maintainer
# filled in, so that the working tree is left as it is.
version=$(sed -n 's/^project(vantero VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
source="$out/vantero-$version"
rm -rf "$source"
mkdir -p "$source"
tar -c --exclude=./build --exclude=./.git --exclude=./.cache . | tar -x -C "$source"
for file in control changelog; do
  sed "s|@MAINTAINER@|$maintainer|" "debian/$file.in" >"$source/debian/$file"
  rm "$source/debian/$file.in"
done

echo "Building the packages of vantero $version for $maintainer in $out"
(cd "$source" && dpkg-buildpackage -b -us -uc -j"${VANTERO_JOBS:-$(nproc)}") >"$out/build.log" 2>&1 ||
  { tail -n 80 "$out/build.log"; echo "package.sh: the build failed; its log is $out/build.log" >&2; exit 1; }
rm -rf "$source"
ls "$out"/*_"$version"_*.deb
