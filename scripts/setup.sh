#!/usr/bin/env bash
# Installs every Debian package that building, running and testing need.
# Idempotent: when everything is there it only checks and returns.
# Also builds the Windows companion's codecs (setup-codecs.sh).
set -eu

packages=(
  cmake ninja-build g++ git                   # native build
  g++-mingw-w64-x86-64 g++-mingw-w64-i686     # the Windows program, 64 and 32 bits
  wine wine64                                 # running it on Linux
  xvfb x11-utils imagemagick                  # a display, xdpyinfo, screenshots and image checks
  fonts-ipafont-gothic fonts-wine             # Japanese glyphs; Wine's own fonts
  googletest libgtest-dev libbenchmark-dev    # tests and benchmarks
  libjpeg62-turbo-dev libpng-dev              # the command-line companion's codecs on Linux
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Photographs for the tests, from Debian packages.
"$(dirname "$0")/testdata.sh"

# The Windows companion's static codecs, built once from Debian's sources.
"$(dirname "$0")/setup-codecs.sh"
