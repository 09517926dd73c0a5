#!/usr/bin/env bash
# Starts the launcher in the build tree's Wine prefix on the current X display. With a
# file name as argument it takes a screenshot of the screen after a few seconds into that
# file and stops Wine; otherwise it waits until the program it started has ended.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="$root/build/win/wineprefix" WINEARCH=win64 WINEDEBUG=-all
wineserver -k 2>/dev/null || true
bash "$root/scripts/wine-prefix.sh"
cd "$root/build/win/bin"
wine Quendal.exe &
if [ $# -ge 1 ]; then
  sleep 8
  # The end-to-end harness adds the installed sample book through "Add File(s)", as a user
  # would, so that the picture shows a filled first page.
  if [ -f wizard_e2e_tests.exe ]; then
    wine wizard_e2e_tests.exe --gtest_also_run_disabled_tests \
      --gtest_filter='WizardRun.DISABLED_AddTheSampleBookToTheRunningProgram' >/dev/null 2>&1 || true
    sleep 2
  fi
  mkdir -p "$(dirname "$1")"
  import -window root "$1" && echo "Screenshot: $1"
  wineserver -k
else
  wait
  # The launcher ends at once; wait for the program it started.
  while pgrep -f 'Vorlix.exe' >/dev/null; do sleep 1; done
fi
