#!/usr/bin/env bash
# The wizard's save of a large book to a new PST, measured from outside the program, beside
# the engine's console driver on the same book in the same run (README.md).
#   run_bench.sh [BUILD_DIR] [CONTACTS]
set -euo pipefail
# One display for the whole run: the Wine server started below must see the one the
# program's windows appear on (a server started without a display gives no windows).
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/win}" && pwd)
count="${2:-100000}"
work="${BENCH_WORK:-$root/build/artifacts/bench-wizard-save}"
mkdir -p "$work"
# The program keeps books whose name holds "names".
book="$work/bench-names-$count.nsf"
[ -f "$book" ] || /usr/bin/python3 "$root/bench/notes/make_large_book.py" "$book" "$count"
export WINEPREFIX="$build/wineprefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
bash "$root/scripts/wine-prefix.sh" "$build" >/dev/null 2>&1 || true
rm -f "$work/wizard.pst" "$work/driver.pst"
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

# 1. The program, driven as a user.
wine wizard_save_bench.exe "$winbook" "$winwork" wizard > "$work/wizard.txt" 2>&1 < /dev/null || true
sed -i 's/\r$//' "$work/wizard.txt"
cat "$work/wizard.txt"
wsave=$(sed -n 's/^save: //p' "$work/wizard.txt")
wcards=$(count_cards "$work/wizard.pst")

# 2. The engine's console driver on the same book, every folder the scan keeps.
start=$(date +%s.%N)
wine pst_e2e_driver.exe "$winbook" "$winwork\\driver.pst" > "$work/driver.txt" 2>&1 < /dev/null || true
end=$(date +%s.%N)
sed -i 's/\r$//' "$work/driver.txt"
dsave=$(sed -n 's/^save: //p' "$work/driver.txt" | cut -d' ' -f1)
dcards=$(count_cards "$work/driver.pst")
wineserver -k >/dev/null 2>&1 || true

wrate=$(echo "$wcards / $wsave" | bc -l)
drate=$(echo "$dcards / $dsave" | bc -l)
printf 'program: %s contacts in %.2f s (save page to "Saving Complete"): %.0f contacts/s\n' "$wcards" "$wsave" "$wrate"
printf 'driver:  %s contacts in %.2f s (save loop): %.0f contacts/s\n' "$dcards" "$dsave" "$drate"
printf 'program / driver: %.2f\n' "$(echo "$wrate / $drate" | bc -l)"
printf 'worst WM_NULL round trip: %s ms over %s probes\n' "$(sed -n 's/^probe max: //p' "$work/wizard.txt")" \
  "$(sed -n 's/^probe count: //p' "$work/wizard.txt")"
printf 'peak working set of Vorlix.exe: %.1f MB\n' "$(echo "$(sed -n 's/^peak: //p' "$work/wizard.txt") / 1048576" | bc -l)"
printf 'exit code after closing: %s\n' "$(sed -n 's/^exit: //p' "$work/wizard.txt")"
