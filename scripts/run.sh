#!/usr/bin/env bash
# Runs the program's main job under Wine, in the prefix's virtual desktop.
# With a display the program stays up for you to use (end it with Exit);
# without one it runs on Xvfb, is driven to its end, and leaves screenshots.
# Usage: scripts/run.sh        (from anywhere; sets everything up itself)
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh" || exit 1
source "$root/scripts/wine-env.sh"

out="$root/out/main-job"
mkdir -p "$out"
cmake --preset win64 >/dev/null && cmake --build --preset win64 --target qubstereo qubdrive >/dev/null ||
  { echo "build failed" >&2; exit 1; }
bin="$root/build/win64"
qub_wine_prefix "$bin/wineprefix"

interactive=0
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then interactive=1; fi
qub_display || exit 1

drive() { "$QUB_WINE64" "$bin/tests/drive/qubdrive.exe" "$@"; }
shot() {
  local id
  id=$(xwininfo -name "Default - Wine desktop" 2>/dev/null | awk '/Window id:/ {print $4}')
  if [ -n "$id" ]; then import -window "$id" "$out/$1"; else import -window root "$out/$1"; fi
  echo "screenshot: $out/$1"
}

"$QUB_WINE64" "$bin/qubstereo.exe" &
program=$!
if ! drive wait qublib_mw0 30000; then
  echo "the main window did not appear" >&2
  kill $program 2>/dev/null
  exit 1
fi
sleep 2  # the drop-in animation
shot main-window.png

if [ $interactive -eq 1 ]; then
  echo "The program is running; end it with Exit (or the X key)."
  wait $program
  exit 0
fi

drive key qublib_mw0 X
drive gone qublib_mw0 10000 || { echo "the program did not end" >&2; exit 1; }
wineserver -w
echo "main job done; results in $out"
