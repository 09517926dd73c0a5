#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the file checkers need,
# only those that are missing.
set -euo pipefail
packages=(
  cmake ninja-build mingw-w64 g++ wine wine64 xvfb xauth googletest imagemagick x11-apps
  pst-utils pff-tools python3-xlrd libreoffice-calc-nogui unixodbc libsqliteodbc
  clang libclang-rt-14-dev
  fonts-wqy-microhei
)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
