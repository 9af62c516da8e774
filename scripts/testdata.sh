#!/usr/bin/env bash
# Fetches the real photographs that the alignment tests read: a rectified
# stereo pair of a real scene that a Debian package ships among its data
# (python3-skimage, whose own dependencies are far too many to install for
# two pictures, so its package is only downloaded and the two files taken).
# Cached in build/testdata: when they are there, this only checks.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
dest="$root/build/testdata"
files=(motorcycle_left.png motorcycle_right.png)
missing=0
for f in "${files[@]}"; do [ -s "$dest/$f" ] || missing=1; done
[ $missing -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"
if ! apt-get download python3-skimage >/dev/null 2>&1; then
  $sudo apt-get update -qq
  apt-get download python3-skimage >/dev/null
fi
data=./usr/lib/python3/dist-packages/skimage/data
dpkg-deb --fsys-tarfile python3-skimage_*.deb | tar -x "${files[@]/#/$data/}"
mkdir -p "$dest"
for f in "${files[@]}"; do cp "$data/$f" "$dest/$f.part" && mv "$dest/$f.part" "$dest/$f"; done
echo "Test photographs in $dest"
