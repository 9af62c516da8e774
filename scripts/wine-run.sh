#!/usr/bin/env bash
# Runs a Windows program under Wine in the build tree's private prefix, with a
# display (Xvfb when there is none), and passes its exit code back.
# Usage: wine-run.sh program.exe [args...]   (QUB_WINEPREFIX picks the prefix)
set -u
source "$(dirname "$0")/wine-env.sh"
exe=$1
shift
prefix=${QUB_WINEPREFIX:-$(cd "$(dirname "$exe")" && pwd)/wineprefix}
qub_wine_prefix "$prefix"
qub_display || exit 125
qub_wine_services
"$QUB_WINE64" "$exe" "$@"
code=$?
# A display of our own goes away with this script: let Wine finish with it first.
[ -n "${QUB_XVFB_PID:-}" ] && "${QUB_WINESERVER:-wineserver}" -w
exit $code
