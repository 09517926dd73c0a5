#!/usr/bin/env bash
# Builds the programs and starts the launcher, which finds the Notes directory in the
# registry and starts Vorlix. Uses the X display when there is one, else a virtual one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
start() {
  bash "$root/scripts/wine-prefix.sh"
  export WINEPREFIX="$root/build/win/wineprefix" WINEARCH=win64 WINEDEBUG=-all
  cd "$root/build/win/bin"
  wine Quendal.exe
  # The launcher ends at once; wait for the program it started.
  while pgrep -f 'Vorlix.exe' >/dev/null; do sleep 1; done
}
if [ -n "${DISPLAY:-}" ]; then
  start
else
  echo "No X display: running on a virtual one (xvfb-run)."
  export -f start; export root
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c start
fi
