# Shared by the scripts that run Windows programs under Wine. Source it, then
# call qub_wine_prefix PREFIX and qub_display to get a ready prefix and display.

QUB_WINE64=/usr/lib/wine/wine64
[ -x "$QUB_WINE64" ] || QUB_WINE64=$(command -v wine64 || command -v wine)
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
QUB_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Creates the private prefix once (wineboot, font substitutes, X11 settings) and
# exports WINEPREFIX. Several test processes may ask at the same time: the
# first creates it under a lock, the others wait.
qub_wine_prefix() {
  local prefix=$1
  mkdir -p "$(dirname "$prefix")"
  export WINEPREFIX=$prefix
  (
    flock 9
    if [ ! -f "$prefix/.qub-ready" ]; then
      rm -rf "$prefix"
      "$QUB_WINE64" wineboot -i >/dev/null 2>&1
      # regedit wants UTF-16 for the Japanese face names.
      { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$QUB_SCRIPTS/wine-prefix.reg"; } \
        >"$prefix/qub-prefix.reg"
      "$QUB_WINE64" regedit /S "$(winepath_of "$prefix/qub-prefix.reg")" >/dev/null 2>&1
      "${QUB_WINESERVER:-wineserver}" -w
      touch "$prefix/.qub-ready"
    fi
  ) 9>"$prefix.lock"
}

# Wine starts its background processes (services, device drivers, the desktop)
# with the first program and they inherit that program's standard handles.
# Under CTest those are pipes, and CTest waits until every holder has closed
# them, so a test that happened to start them would hang until the timeout.
# A throwaway program with its output on /dev/null starts them first.
qub_wine_services() {
  "$QUB_WINE64" cmd /c exit </dev/null >/dev/null 2>&1
}

winepath_of() { echo "Z:${1//\//\\}"; }

# Makes sure DISPLAY names a running X server: the caller's, or a new Xvfb
# that is stopped when the calling shell exits.
qub_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    QUB_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.05
    done
    if kill -0 "$QUB_XVFB_PID" 2>/dev/null; then
      export DISPLAY=":$n"
      trap 'kill $QUB_XVFB_PID 2>/dev/null' EXIT
      return 0
    fi
  done
  echo "no X display could be started" >&2
  return 1
}
