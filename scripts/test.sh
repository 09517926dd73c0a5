#!/usr/bin/env bash
# One command for the whole test suite on a fresh Debian 12 machine:
# installs what is missing, builds everything, runs all tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
xvfb-run -a -s "-screen 0 1280x1024x24" bash "$root/scripts/run-tests.sh"
