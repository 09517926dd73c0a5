#!/usr/bin/env bash
# Builds the programs and starts the launcher, which finds the Notes directory in the
# registry and starts Vorlix. Uses the X display when there is one; without one it runs
# on a virtual display for a few seconds and saves a screenshot of what it showed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
if [ -n "${DISPLAY:-}" ]; then
  bash "$root/scripts/start-launcher.sh"
else
  echo "No X display: running on a virtual one (xvfb-run)."
  xvfb-run -a -s "-screen 0 1280x1024x24" \
    bash "$root/scripts/start-launcher.sh" "$root/build/artifacts/run.png"
fi
