#!/usr/bin/env bash
# Runs every test: the Windows programs under Wine inside the X server that xvfb-run
# started for us, then the host-side tests (which read files the Windows tests wrote).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="$root/build/win/wineprefix" WINEARCH=win64 WINEDEBUG=-all
# A wineserver left from an earlier X server would hand our programs a dead desktop.
wineserver -k 2>/dev/null || true
bash "$root/scripts/wine-prefix.sh"   # also starts the persistent wineserver
# The first program of a new X session also starts Wine's desktop and services; let that
# happen outside any test's time limit.
wine cmd /c exit >/dev/null 2>&1 || true
jobs=${JOBS:-$(nproc)}
status=0
mkdir -p "$root/build/artifacts"
# A Windows test that fails is run once more before it counts: now and then Wine ends a
# starting process without a word, and a few window tests still depend on where an earlier
# test left the shared X pointer. A test that fails twice fails the run.
(cd "$root/build/win" && ctest --output-on-failure -j "$jobs" --timeout 300 --repeat until-pass:2) || status=1
(cd "$root/build/native" && ctest --output-on-failure -j "$jobs" --timeout 600) || status=1
wineserver -k || true
exit $status
