#!/usr/bin/env bash
# Builds and runs the benchmarks: natively with Google Benchmark, and the
# Windows ones under Wine. They print ratios measured side by side in one run.
# Usage: scripts/bench.sh [filter]     (filter: part of a benchmark program's name)
# Run it under `flock /work/wine.lock` where other Wine jobs share the machine.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh" || exit 1
filter=${1:-}
jobs=$(nproc 2>/dev/null || echo 2)
# The depth benchmark's pair with ground truth, fetched only here (a large
# package); without it that benchmark runs its synthetic pair only.
case "bench_depth" in *"$filter"*) "$root/scripts/testdata.sh" aloe || echo "aloe pair not fetched" ;; esac

cmake --preset host >/dev/null && cmake --build --preset host -j "$jobs" >/dev/null || exit 1
for b in build/host/bench/*; do
  [ -x "$b" ] && [ -f "$b" ] || continue
  case "$(basename "$b")" in *"$filter"*) ;; *) continue ;; esac
  echo "== $(basename "$b") (native)"
  "$b"
done

cmake --preset win64 -DQUB_BUILD_BENCH=ON >/dev/null &&
  cmake --build --preset win64 -j "$jobs" >/dev/null || exit 1
for b in build/win64/bench/*.exe; do
  [ -f "$b" ] || continue
  case "$(basename "$b")" in *"$filter"*) ;; *) continue ;; esac
  echo "== $(basename "$b") (under Wine)"
  QUB_WINEPREFIX="$root/build/win64/wineprefix" "$root/scripts/wine-run.sh" "$b"
done

# The Windows companion through the native bench_cli, against ImageMagick in
# the same run; one wineserver for all its runs, as a user's session has.
case bench_cli in *"$filter"*)
  source "$root/scripts/wine-env.sh"
  qub_wine_prefix "$root/build/win64/wineprefix"
  "${QUB_WINESERVER:-wineserver}" -p
  echo "== bench_cli (qubstereo-cli.exe under Wine)"
  QUB_BENCH_WINPATH=1 build/host/bench/bench_cli --cli "$QUB_WINE64 $root/build/win64/qubstereo-cli.exe"
  "${QUB_WINESERVER:-wineserver}" -k
  ;;
esac
