#!/usr/bin/env bash
# The spreadsheet writer's speed, side by side in one run: bench_spreadsheet.exe under Wine
# (60,000 contacts x 66 fields to .xls and to CSV), then LibreOffice converting the same
# rows from CSV to .xls.   bench/xls_e2e/run.sh [builddir] [rows]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build="${1:-$root/build/win}"
rows="${2:-60000}"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# wine-prefix.sh stops early when the prefix's wineserver already runs; the driver's own
# install step is run again in any case.
bash "$root/scripts/wine-prefix.sh" "$build" >/dev/null 2>&1 || true
WINEPREFIX="$build/wineprefix" WINEDEBUG=-all bash "$build/install/excel-driver.sh"
result=$(cd "$out" && "$build/wine-run.sh" "$build/bin/bench_spreadsheet.exe" --rows "$rows" --out "Z:$out" | tr -d '\r')
echo "$result" | grep -v '^xls_seconds='
ours=$(echo "$result" | sed -n 's/^xls_seconds=//p')
start=$(date +%s.%N)
HOME="$out" soffice --headless --infilter="CSV:44,34,76,1" --convert-to xls --outdir "$out/peer" "$out/peer.csv" >/dev/null 2>&1
peer=$(echo "$(date +%s.%N) - $start" | bc)
[ -f "$out/peer/peer.xls" ] || { echo "LibreOffice wrote no workbook"; exit 1; }
echo "soffice --convert-to xls: $peer s"
echo "ratio: $(echo "scale=1; $peer / $ours" | bc)x faster than LibreOffice (goal: at least 10x)"
