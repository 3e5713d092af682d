#!/usr/bin/env bash
# `make deb`: the Debian package, built by dpkg-buildpackage (debian/) in a copy of the source
# tree, so that the package build leaves nothing in the working tree; leaves
# <build>/sorvel_<version>_<arch>.deb, and the .changes and .buildinfo beside the copy in
# <build>/deb/. The tests are `make test`'s: the package build runs none (nocheck).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build}
jobs=${2:-$(nproc)}
version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg --print-architecture)
work="$out/deb"
tree="$work/sorvel-$version"

rm -rf "$work"
mkdir -p "$tree"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  # The files git knows, tracked or new (ignored ones left out), as the working tree has them.
  git ls-files -z --cached --others --exclude-standard | tar --null -T - --ignore-failed-read -cf - | tar -xf - -C "$tree"
else
  tar --exclude=./build --exclude='./build-*' --exclude=./fuzz/out -cf - . | tar -xf - -C "$tree"
fi

start=$(date +%s)
(cd "$tree" && DEB_BUILD_OPTIONS="nocheck parallel=$jobs" dpkg-buildpackage -us -uc -b) >"$work/build.log" 2>&1 || {
  tail -n 60 "$work/build.log" >&2
  echo "dpkg-buildpackage failed; the whole log is $work/build.log" >&2
  exit 1
}
deb="sorvel_${version}_${arch}.deb"
cp "$work/$deb" "$out/$deb"
echo "$out/$deb: built in $(($(date +%s) - start)) s ($jobs jobs)"
