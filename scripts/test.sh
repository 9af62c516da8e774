#!/usr/bin/env bash
# Runs the whole test suite: native unit tests, then the Windows build's tests
# under Wine, then the 32-bit build as a compile-and-link check.
# Usage: scripts/test.sh        (from anywhere; sets everything up itself)
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh" || exit 1
source "$root/scripts/wine-env.sh"
jobs=$(nproc 2>/dev/null || echo 2)
failed=0

step() { printf '\n== %s\n' "$*"; }

step "native build and unit tests"
cmake --preset host >/dev/null && cmake --build --preset host -j "$jobs" &&
  ctest --preset host -j "$jobs" || failed=1

step "Windows x86_64 build"
if cmake --preset win64 >/dev/null && cmake --build --preset win64 -j "$jobs"; then
  step "Windows tests under Wine"
  qub_wine_prefix "$root/build/win64/wineprefix"
  export QUB_WINEPREFIX=$WINEPREFIX
  qub_display || exit 1
  # One wineserver for the whole run instead of one per test program, with its
  # background processes started outside the tests' output pipes, and an idle
  # program that keeps the virtual desktop up between test programs.
  wineserver -p
  trap 'wineserver -k 2>/dev/null; [ -n "${QUB_XVFB_PID:-}" ] && kill $QUB_XVFB_PID 2>/dev/null' EXIT
  qub_wine_services
  "$QUB_WINE64" build/win64/tests/drive/qubdrive.exe wait qub_keep_desktop_up 86400000 \
    </dev/null >/dev/null 2>&1 &
  ctest --preset win64 -j "$jobs" || failed=1
  wineserver -k 2>/dev/null
else
  failed=1
fi

step "Windows i686 build (compile and link only)"
cmake --preset win32 >/dev/null && cmake --build --preset win32 -j "$jobs" || failed=1

if [ $failed -ne 0 ]; then
  step "FAILED"
  exit 1
fi
step "all tests passed"
