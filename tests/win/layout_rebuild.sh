#!/usr/bin/env bash
# The generated source rebuilds the same layout: the in-process test arranges
# a layout and writes the source that Window Info put on the clipboard; that
# source is compiled into a user routine of a program of its own, which is run
# under Wine, started as a person would, and reports the layout it built in the
# same way. The two sources must be the same: titles, places, sizes, zooms,
# labels and captions.
# Usage: layout_rebuild.sh SOURCE_DIR CXX LIBQUBLIB LIBQUBPURE TESTS_EXE DRIVE_EXE
set -eu
src=$1 cxx=$2 libqublib=$3 libqubpure=$4 tests=$5 drive=$6
source "$src/scripts/wine-env.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
qub_wine_prefix "${QUB_WINEPREFIX:?}"
qub_display || exit 125
qub_wine_services

QUB_LAYOUT_OUT=$(winepath_of "$work/original.txt") "$QUB_WINE64" "$tests" \
  --gtest_filter='*WindowInfoReportsATrickyLayoutAndItsSource*' >"$work/tests.log" 2>&1 ||
  { cat "$work/tests.log"; echo "the layout test failed"; exit 1; }
[ -s "$work/original.txt" ] || { echo "no source was written"; exit 1; }

awk -v layout="$work/original.txt" \
  '/^@LAYOUT@$/ { while ((getline line < layout) > 0) print line; next } { print }' \
  "$src/tests/win/layout_rebuild.cpp.in" >"$work/rebuild.cpp"
"$cxx" -std=c++17 -I"$src" -DUNICODE -D_UNICODE -DNOMINMAX -D_WIN32_WINNT=0x0601 -DQUB_ASSERTS_LIVE \
  "$work/rebuild.cpp" -o "$work/rebuild.exe" "$libqublib" "$libqubpure" \
  -lgdiplus -lgdi32 -luser32 -lshell32 -lshlwapi -lcomdlg32 -lkernel32 -lole32 \
  -static -static-libgcc -static-libstdc++ -mwindows -municode -Wl,-u,wWinMain ||
  { echo "the generated source did not compile:"; cat -A "$work/original.txt"; exit 1; }

QUB_LAYOUT_OUT=$(winepath_of "$work/rebuilt.txt") "$QUB_WINE64" "$work/rebuild.exe" &
program=$!
"$QUB_WINE64" "$drive" wait qublib_mw0 20000
"$QUB_WINE64" "$drive" key qublib_mw0 S
for _ in $(seq 1 600); do
  kill -0 "$program" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$program" 2>/dev/null; then
  kill "$program"
  echo "the rebuilt program did not end"
  exit 1
fi
diff "$work/original.txt" "$work/rebuilt.txt" && echo "the rebuilt layout is the same"
