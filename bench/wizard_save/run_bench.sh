#!/usr/bin/env bash
# The wizard's save of a large book to a new PST, measured from outside the program, beside
# the engine's console driver on the same book in the same run (README.md).
#   run_bench.sh [BUILD_DIR] [CONTACTS]
# ROUNDS (default 3) pairs of runs are made, the program and the driver taking turns to go
# first; the figures compared are the medians of the rounds.
set -euo pipefail
# One display for the whole run: the Wine server started below must see the one the
# program's windows appear on (a server started without a display gives no windows).
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/win}" && pwd)
count="${2:-100000}"
rounds="${ROUNDS:-3}"
work="${BENCH_WORK:-$root/build/artifacts/bench-wizard-save}"
mkdir -p "$work"
# The program keeps books whose name holds "names".
book="$work/bench-names-$count.nsf"
[ -f "$book" ] || /usr/bin/python3 "$root/bench/notes/make_large_book.py" "$book" "$count"
export WINEPREFIX="$build/wineprefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
bash "$root/scripts/wine-prefix.sh" "$build" >/dev/null 2>&1 || true
winbook="Z:${book//\//\\}"
winwork="Z:${work//\//\\}"
cd "$build/bin"
wineserver -p >/dev/null 2>&1 </dev/null || true
wine cmd /c exit >/dev/null 2>&1 </dev/null || true

count_cards() {
  local out
  out=$(mktemp -d)
  readpst -r -D -o "$out" "$1" >/dev/null 2>&1 || true
  cat "$out"/*/*/contacts "$out"/*/contacts 2>/dev/null | grep -c '^BEGIN:VCARD' || true
  rm -rf "$out"
}

# Each run writes over a gigabyte: the last run's file is flushed to disk before the next
# starts, or the kernel's write-back of it would slow whichever run came second.
settle() { sync; sleep 2; }

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# The program, driven as a user: prints its contacts per second.
run_program() {
  local r=$1 log="$work/wizard-$1.txt"
  rm -f "$work/wizard-$r.pst"
  settle
  wine wizard_save_bench.exe "$winbook" "$winwork" "wizard-$r" > "$log" 2>&1 < /dev/null || true
  sed -i 's/\r$//' "$log"
  local secs cards
  secs=$(sed -n 's/^save: //p' "$log")
  cards=$(count_cards "$work/wizard-$r.pst")
  printf 'round %s program: %s contacts in %.2f s (save page to "Saving Complete"): %.0f contacts/s; worst probe %s ms over %s; peak %.1f MB; exit %s\n' \
    "$r" "$cards" "$secs" "$(echo "$cards / $secs" | bc -l)" "$(sed -n 's/^probe max: //p' "$log")" \
    "$(sed -n 's/^probe count: //p' "$log")" "$(echo "$(sed -n 's/^peak: //p' "$log") / 1048576" | bc -l)" \
    "$(sed -n 's/^exit: //p' "$log")" >&2
  echo "$cards / $secs" | bc -l
  rm -f "$work/wizard-$r.pst"
}

# The engine's console driver on the same book, every folder the scan keeps.
run_driver() {
  local r=$1 log="$work/driver-$1.txt"
  rm -f "$work/driver-$r.pst"
  settle
  wine pst_e2e_driver.exe "$winbook" "$winwork\\driver-$r.pst" > "$log" 2>&1 < /dev/null || true
  sed -i 's/\r$//' "$log"
  local secs cards
  secs=$(sed -n 's/^save: //p' "$log" | cut -d' ' -f1)
  cards=$(count_cards "$work/driver-$r.pst")
  printf 'round %s driver:  %s contacts in %.2f s (save loop): %.0f contacts/s\n' \
    "$r" "$cards" "$secs" "$(echo "$cards / $secs" | bc -l)" >&2
  echo "$cards / $secs" | bc -l
  rm -f "$work/driver-$r.pst"
}

prates=() drates=() probes=() peaks=()
for r in $(seq 1 "$rounds"); do
  if [ $((r % 2)) -eq 1 ]; then
    prates+=("$(run_program "$r")"); drates+=("$(run_driver "$r")")
  else
    drates+=("$(run_driver "$r")"); prates+=("$(run_program "$r")")
  fi
  probes+=("$(sed -n 's/^probe max: //p' "$work/wizard-$r.txt")")
  peaks+=("$(sed -n 's/^peak: //p' "$work/wizard-$r.txt")")
done
wineserver -k >/dev/null 2>&1 || true

pm=$(median "${prates[@]}")
dm=$(median "${drates[@]}")
worst=$(printf '%s\n' "${probes[@]}" | sort -g | tail -1)
peak=$(printf '%s\n' "${peaks[@]}" | sort -g | tail -1)
printf 'program, median of %s: %.0f contacts/s\n' "$rounds" "$pm"
printf 'driver, median of %s:  %.0f contacts/s\n' "$rounds" "$dm"
printf 'program / driver: %.2f\n' "$(echo "$pm / $dm" | bc -l)"
printf 'worst WM_NULL round trip: %s ms\n' "$worst"
printf 'peak working set of Vorlix.exe: %.1f MB\n' "$(echo "$peak / 1048576" | bc -l)"
