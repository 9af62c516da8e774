#!/usr/bin/env bash
# Builds the Windows companion's codecs: static zlib, libpng and libjpeg-turbo
# (with its SIMD code) for MinGW-w64 x86_64, from Debian's own source packages
# with the project's toolchain file, into build/deps/x86_64-w64-mingw32
# (include/ and lib/). Only the static libraries are built, none of the
# packages' tests or tools, to keep a clean clone's set-up short.
# Idempotent: the stamp file says the libraries are there, and a second run
# returns at once. The i686 build keeps GDI+ for its codecs, so nothing is
# built for it.
# Usage: scripts/setup-codecs.sh   (scripts/setup.sh calls it)
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
triple=x86_64-w64-mingw32
deps=$root/build/deps
prefix=$deps/$triple
# Changing how the libraries are built changes this, so old builds are redone.
recipe="zlib libpng1.6 libjpeg-turbo; static; simd; 1"
stamp=$prefix/built.stamp
[ -f "$stamp" ] && [ "$(cat "$stamp")" = "$recipe" ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
for p in nasm dpkg-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
    { $sudo apt-get update -qq && $sudo apt-get install -y -qq "$p" >/dev/null; }
done

# The source entries of the distribution the machine runs (Debian 12), beside
# its binary ones, for `apt-get source`. The security archive serves no
# sources here, so the release and its updates are the ones listed.
list=/etc/apt/sources.list.d/qubstereo-deb-src.sources
entry='Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg'
if [ "$(cat "$list" 2>/dev/null)" != "$entry" ]; then
  echo "$entry" | $sudo tee "$list" >/dev/null
  $sudo apt-get update -qq
fi

rm -rf "$prefix" "$deps/src"
mkdir -p "$deps/src" "$prefix/include" "$prefix/lib"
cd "$deps/src"
echo "Fetching the sources of zlib, libpng1.6 and libjpeg-turbo"
apt-get source -qq zlib libpng1.6 libjpeg-turbo >/dev/null 2>&1 ||
  apt-get source zlib libpng1.6 libjpeg-turbo
tree() { find "$deps/src" -maxdepth 1 -type d -name "$1-*" | head -1; }
toolchain=$root/cmake/mingw-w64-x86_64.cmake
cmake_for() {  # source folder, build folder, options...
  local src=$1 out=$2
  shift 2
  cmake -S "$src" -B "$out" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -Wno-dev -Wno-deprecated "$@" >/dev/null
}

echo "Building zlib"
zlib=$(tree zlib)
cmake_for "$zlib" "$deps/build-zlib"
cmake --build "$deps/build-zlib" -j2 --target zlibstatic >/dev/null
cp "$deps"/build-zlib/libz*.a "$prefix/lib/libz.a"
cp "$zlib/zlib.h" "$deps/build-zlib/zconf.h" "$prefix/include/"

echo "Building libpng"
png=$(tree libpng1.6)
cmake_for "$png" "$deps/build-png" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
  -DPNG_EXECUTABLES=OFF -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include"
cmake --build "$deps/build-png" -j2 --target png_static >/dev/null
cp "$deps/build-png/libpng16.a" "$prefix/lib/libpng.a"
cp "$png/png.h" "$png/pngconf.h" "$deps/build-png/pnglibconf.h" "$prefix/include/"

echo "Building libjpeg-turbo (SIMD)"
jpeg=$(tree libjpeg-turbo)
cmake_for "$jpeg" "$deps/build-jpeg" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=ON \
  -DREQUIRE_SIMD=ON -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF -DCMAKE_INSTALL_PREFIX="$prefix"
cmake --build "$deps/build-jpeg" -j2 --target jpeg-static >/dev/null
cp "$deps/build-jpeg/libjpeg.a" "$prefix/lib/"
cp "$jpeg/jpeglib.h" "$jpeg/jerror.h" "$jpeg/jmorecfg.h" "$deps/build-jpeg/jconfig.h" \
  "$prefix/include/"

rm -rf "$deps/build-zlib" "$deps/build-png" "$deps/build-jpeg"
echo "$recipe" >"$stamp"
echo "Codecs for $triple built in $prefix"
