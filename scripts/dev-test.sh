#!/usr/bin/env bash
# A developer's quick run of some Windows tests: builds the named targets (or everything),
# prepares the prefix and runs ctest in build/win with the given ctest arguments, on the
# current X display or, without one, on a virtual one.
#   bash scripts/dev-test.sh [-t target]... [ctest arguments, e.g. -R ColorManager]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-$(nproc)}
if [ "${1:-}" != "--built" ]; then
  targets=()
  while [ $# -gt 0 ] && [ "$1" = "-t" ]; do targets+=(--target "$2"); shift 2; done
  if [ ! -f "$root/build/win/build.ninja" ]; then
    cmake -S "$root" -B "$root/build/win" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" >/dev/null
  fi
  cmake --build "$root/build/win" -j "$jobs" "${targets[@]}"
  if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --built "$@"
  fi
else
  shift
fi
export WINEPREFIX="$root/build/win/wineprefix" WINEARCH=win64 WINEDEBUG=-all
bash "$root/scripts/wine-prefix.sh"
wine cmd /c exit >/dev/null 2>&1 || true
mkdir -p "$root/build/artifacts"
status=0
(cd "$root/build/win" && ctest --output-on-failure -j "$jobs" --timeout 300 "$@") || status=$?
wineserver -k 2>/dev/null || true
exit $status
