#!/usr/bin/env bash
# Runs the Windows build's PST benchmark under Wine, then times readpst reading the file it
# wrote from the host side, and prints the write/read time ratio.
#   bench/pst/run-bench.sh [BUILD_DIR] [N] [--ansi]
# BUILD_DIR is a Windows build tree (default build/win) whose Wine prefix is prepared
# (scripts/wine-prefix.sh BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/win}" && pwd)
n="${2:-100000}"
extra="${3:-}"
exe="$build/bin/bench_pst.exe"
[ -f "$exe" ] || { echo "no $exe: build the bench_pst target first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$exe" "$work/"
export WINEPREFIX="$build/wineprefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
wineserver -k 2>/dev/null || true
# One persistent wineserver inside the X server's lifetime, stopped before it ends.
xvfb-run -a bash -c 'wineserver -p; cd "$0" && wine bench_pst.exe "$1" bench.pst $2; rc=$?; wineserver -k; exit $rc' \
  "$work" "$n" "$extra" | tee "$work/out.txt"
write=$(sed -n 's/^write: \([0-9.]*\) s.*/\1/p' "$work/out.txt")
alone=$(sed -n 's/^writes alone: \([0-9.]*\) s.*/\1/p' "$work/out.txt")
if ! command -v readpst >/dev/null 2>&1; then
  echo "readpst is not installed (Debian package pst-utils): no read-back timing"
  exit 0
fi
mkdir -p "$work/readpst"
t0=$(date +%s.%N)
rc=0
readpst -q -r -D -o "$work/readpst" "$work/bench.pst" >/dev/null 2>&1 || rc=$?
t1=$(date +%s.%N)
awk -v w="$write" -v wa="${alone:-0}" -v a="$t0" -v b="$t1" -v rc="$rc" \
  'BEGIN { r = b - a; printf "readpst: %.2f s (exit %d); write/read time ratio %.2f; writes alone/read %.2f\n", r, rc, w / r, wa / r }'
