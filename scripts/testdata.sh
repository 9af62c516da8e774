#!/usr/bin/env bash
# Fetches the real photographs that the alignment tests read: a rectified
# stereo pair of a real scene that a Debian package ships among its data
# (python3-skimage, whose own dependencies are far too many to install for
# two pictures, so its package is only downloaded and the two files taken).
# Cached in build/testdata: when they are there, this only checks.
#
# `scripts/testdata.sh aloe` fetches instead the Middlebury "aloe" pair and
# its ground-truth disparity from opencv-doc's examples, for the depth
# benchmark only: that package is about 96 MB, so tests and CI never ask.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
dest="$root/build/testdata"
package=python3-skimage
data=./usr/lib/python3/dist-packages/skimage/data
files=(motorcycle_left.png motorcycle_right.png)
if [ "${1:-}" = aloe ]; then
  package=opencv-doc
  data=./usr/share/doc/opencv-doc/examples/data
  files=(aloeL.jpg aloeR.jpg aloeGT.png)
fi
missing=0
for f in "${files[@]}"; do [ -s "$dest/$f" ] || missing=1; done
[ $missing -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"
if ! apt-get download "$package" >/dev/null 2>&1; then
  $sudo apt-get update -qq
  apt-get download "$package" >/dev/null
fi
dpkg-deb --fsys-tarfile "$package"_*.deb | tar -x "${files[@]/#/$data/}"
mkdir -p "$dest"
for f in "${files[@]}"; do cp "$data/$f" "$dest/$f.part" && mv "$dest/$f.part" "$dest/$f"; done
echo "Test photographs in $dest"
