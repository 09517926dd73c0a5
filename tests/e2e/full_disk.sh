#!/usr/bin/env bash
# Runs the full-disk end-to-end case once for each way of making the system refuse a write
# in the middle of the save, and reads the PST each run leaves with the independent
# readers (tests/linux/full_disk_check.py: pffinfo, pffexport, readpst, the library's
# checker):
#  - mount: a 1 MB file system mounted at the folder (needs the right to mount; without
#    it this way is reported skipped);
#  - limit: a file size limit on the test's processes (ulimit -f). The limit's signal is
#    ignored, so that the write fails with an error instead of ending the process (under
#    Wine the system then gives ERROR_GEN_FAILURE). It lies above every other file the run
#    writes (the book copied for it, the pictures, the prefix's registry) and below the PST
#    the whole book makes (about 2.5 times the book).
#   full_disk.sh <build dir> <folder> <artifact folder> <book> <checker dir> [mount|limit]...
set -u
build=$1 dir=$2 artifacts=$3 book=$4 checkers=$5
shift 5
ways=("$@")
[ ${#ways[@]} -gt 0 ] || ways=(mount limit)
export WINEPREFIX="$build/wineprefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
partial="$artifacts/full_disk_partial.pst"
pstcheck="$build/pst-host/pst/pstcheck"
# Above the book by more than the largest picture the run keeps (about 4 MB).
limit_bytes=$(( ($(stat -c %s "$book") / 1048576 + 6) * 1048576 ))
status=0 ran=0

run_case() {
  rm -f "$partial"
  (cd "$build/bin" && "$@" wine wizard_run_e2e_tests.exe --gtest_filter='WizardOutputsE2e.AFullDisk*') || return 1
  if [ ! -f "$partial" ]; then
    echo "full_disk.sh: the case left no PST (skipped?)"
    return 1
  fi
  /usr/bin/python3 "$checkers/full_disk_check.py" "$partial" "$book" "$pstcheck"
}

with_limit() {
  trap '' XFSZ
  ulimit -f $((limit_bytes / 1024))
  VORLIX_E2E_FILE_SIZE_LIMIT=$limit_bytes "$@"
}

mkdir -p "$dir" "$artifacts"
for way in "${ways[@]}"; do
  echo "=== full disk: $way"
  case $way in
    mount)
      if ! mount -t tmpfs -o size=1m tmpfs "$dir" 2>/dev/null; then
        echo "full_disk.sh: no right to mount a file system: skipped"
        continue
      fi
      run_case env || status=1
      umount "$dir"
      ;;
    limit)
      run_case with_limit env || status=1
      rm -f "$dir/full.pst"
      ;;
    *) echo "full_disk.sh: unknown way $way"; status=1; continue ;;
  esac
  ran=$((ran + 1))
  [ -f "$partial" ] && mv -f "$partial" "$artifacts/full_disk_$way.pst"
done
[ $ran -gt 0 ] || exit 77
exit $status
