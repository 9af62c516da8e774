#!/usr/bin/env bash
# Runs the program's main job under Wine on the project's sample stereo pair,
# in the prefix's virtual desktop.
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
pair="$root/samples/stereo_pair.jpg"

# The command-line companion on the same pair, natively: aligned by itself and
# written as a Dubois anaglyph.
cmake --preset host >/dev/null && cmake --build --preset host --target qubstereo-cli >/dev/null ||
  { echo "companion build failed" >&2; exit 1; }
rm -f "$out"/stereo_pair-*.jpg
"$root/build/host/qubstereo-cli" anaglyph --align --mode dubois --out "$out" "$pair" ||
  { echo "the companion failed on the sample pair" >&2; exit 1; }

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

rm -f "$out"/*.png "$out"/Dor-*.jpg
# The program saves into its current folder: the output folder.
(cd "$out" && exec "$QUB_WINE64" "$bin/qubstereo.exe" "$(winepath_of "$pair")") &
program=$!
if ! drive wait qublib_mw0 30000 || ! drive wait qub_iw 30000; then
  echo "the program did not come up with the pair" >&2
  kill $program 2>/dev/null
  exit 1
fi
sleep 2  # the drop-in animation and the load
shot 1-pair-loaded.png

if [ $interactive -eq 1 ]; then
  echo "The program is running with the sample pair loaded: press Start."
  echo "It ends with Exit (or the X key); saved pairs go to $out."
  wait $program
  exit 0
fi

# Without a display: drive the job as a person would. The sample needs the
# left guide 12 pixels right and the vertical offset 6 rows down.
buttons=qub_bb
drive key qublib_mw0 S
drive wait $buttons 30000 || { echo "Start did not open the buttons" >&2; exit 1; }
sleep 2
shot 2-started.png
for n in $(seq 12); do drive click $buttons 6; done   # right arrow
for n in $(seq 6); do drive click $buttons 5; done    # down arrow
sleep 1
shot 3-aligned.png
drive click $buttons 2                                # Buruburu
sleep 1
shot 4-buruburu.png
drive click $buttons 3                                # Save
for n in $(seq 100); do ls "$out"/Dor-*.jpg >/dev/null 2>&1 && break; sleep 0.1; done
sleep 1
drive click $buttons 7                                # Quit
drive gone $buttons 10000
sleep 1
shot 5-quit.png
drive key qublib_mw0 X
drive gone qublib_mw0 10000 || { echo "the program did not end" >&2; exit 1; }
wait $program
# Wine's own processes (the desktop, services) leave before the display does.
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
saved=$(ls "$out"/Dor-*.jpg 2>/dev/null | head -n 1)
if [ -z "$saved" ]; then
  echo "no aligned pair was saved" >&2
  exit 1
fi
echo "saved: $saved ($(identify -format '%w x %h' "$saved"))"
echo "main job done; screenshots and the saved pair are in $out"
