#!/usr/bin/env bash
# End-to-end PST benchmark: the 100,000-contact address book (bench/notes/make_large_book.py)
# converted to a new PST by the end-to-end driver under Wine, with the per-entry folder
# saves of the real save loop. Reports contacts per second, the peak memory of the driver
# and checks the result with readpst.
#   run_bench.sh [BUILD_DIR] [CONTACTS] [FOLDER]
# BUILD_DIR is a Windows build tree whose prefix has the Notes stand-in and the session
# server installed (scripts/wine-prefix.sh BUILD_DIR). FOLDER defaults to "Contacts\"
# (every contact once). BENCH_WORK names another folder for the book and the PST, so that
# runs from separate build trees don't overwrite each other's files.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/win}" && pwd)
count="${2:-100000}"
folder="${3:-Contacts\\}"
work="${BENCH_WORK:-$root/build/artifacts/bench-pst-e2e}"
mkdir -p "$work"
book="$work/large-$count.nsf"
[ -f "$book" ] || /usr/bin/python3 "$root/bench/notes/make_large_book.py" "$book" "$count"
export WINEPREFIX="$build/wineprefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
rm -f "$work/bench.pst"
cd "$build/bin"
# A persistent server, warmed up by a first process, keeps Wine's start-up out of the
# measurement.
wineserver -p >/dev/null 2>&1 </dev/null || true
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
start=$(date +%s.%N)
# Output to a file and no terminal: Wine's helper processes inherit the handles and would
# hold a pipe open well after the driver has ended.
/usr/bin/time -f "%M" -o "$work/rss.txt" wine pst_e2e_driver.exe "Z:${book//\//\\}" "Z:${work//\//\\}\\bench.pst" \
  --folder "$folder" > "$work/driver.txt" 2>&1 < /dev/null
end=$(date +%s.%N)
rss_kb=$(tail -1 "$work/rss.txt")
secs=$(echo "$end - $start" | bc -l)
items=$(pffinfo "$work/bench.pst" >/dev/null 2>&1 && echo ok || echo "pffinfo failed")
out=$(mktemp -d)
readpst -r -D -o "$out" "$work/bench.pst" >/dev/null 2>&1
cards=$(cat "$out"/*/*/contacts 2>/dev/null | grep -c '^BEGIN:VCARD' || true)
rm -rf "$out"
printf 'contacts in the PST (readpst): %s\n' "$cards"
save=$(sed -n 's/^save: //p' "$work/driver.txt" | cut -d' ' -f1)
scan=$(sed -n 's/^scan: //p' "$work/driver.txt" | cut -d' ' -f1)
printf 'end to end (process start to exit): %.2f s, %.0f contacts/s\n' "$secs" "$(echo "$cards / $secs" | bc -l)"
printf 'save loop (folder build, contacts, saves, close): %.2f s, %.0f contacts/s; scan %.2f s\n' \
  "$save" "$(echo "$cards / $save" | bc -l)" "$scan"
printf 'peak memory of the driver (Wine process RSS): %.1f MB\n' "$(echo "$rss_kb / 1024" | bc -l)"
printf 'PST size: %s bytes; pffinfo: %s\n' "$(stat -c %s "$work/bench.pst")" "$items"
