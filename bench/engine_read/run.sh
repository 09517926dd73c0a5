#!/usr/bin/env bash
# Generates a 100,000-contact book (once) and runs the reading benchmark on it under Wine.
#   bench/engine_read/run.sh [BUILD_DIR] [CONTACTS]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/win}" && pwd)
contacts="${2:-100000}"
book="$build/bench/engine_read/large-$contacts.nsf"
if [ ! -f "$book" ]; then
  /usr/bin/python3 "$root/bench/notes/make_large_book.py" "$book" "$contacts"
fi
cd "$build/bin"
"$build/wine-run.sh" engine_read_bench.exe "Z:${book//\//\\}"
