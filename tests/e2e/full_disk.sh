#!/usr/bin/env bash
# Runs the full-disk end-to-end case with a 1 MB file system mounted where the test looks
# for it; without the right to mount, the case reports itself skipped.
#   full_disk.sh <build dir> <mount point>
set -u
build=$1 mnt=$2
mkdir -p "$mnt"
mounted=0
if mount -t tmpfs -o size=1m tmpfs "$mnt" 2>/dev/null; then mounted=1; fi
export WINEPREFIX="$build/wineprefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
cd "$build/bin"
wine wizard_run_e2e_tests.exe --gtest_filter='WizardOutputsE2e.AFullDisk*'
status=$?
[ $mounted = 1 ] && umount "$mnt"
exit $status
