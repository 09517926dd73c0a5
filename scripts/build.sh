#!/usr/bin/env bash
# Configures and builds the Windows programs (build/win) and the host-side libraries,
# checks and fuzz targets (build/native).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=${JOBS:-$(nproc)}
cmake -S "$root" -B "$root/build/win" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" >/dev/null
cmake --build "$root/build/win" -j "$jobs"
cmake -S "$root/native" -B "$root/build/native" -G Ninja \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVORLIX_FUZZ=ON \
  -DVORLIX_WIN_BUILD="$root/build/win" >/dev/null
cmake --build "$root/build/native" -j "$jobs"
