#!/usr/bin/env bash
# Prepares the build tree's Wine prefix: fonts dialogs need, no crash dialog, no window
# manager decorations, and our own components (Notes stand-in, COM server, ODBC driver)
# registered as an installation would. Safe to run again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# An optional argument names another build tree (a developer's own) to prepare.
build="${1:-$root/build/win}"
export WINEPREFIX="$build/wineprefix" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
mkdir -p "$WINEPREFIX"
wineserver -p 2>/dev/null || true   # already running is fine
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wine wineboot -i >/dev/null 2>&1 || true
fi
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
for f in tahoma tahomabd marlett; do
  [ -f "/usr/share/wine/fonts/$f.ttf" ] && cp -u "/usr/share/wine/fonts/$f.ttf" "$fonts/"
done
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
# Components install themselves through their own scripts, when they exist.
for s in "$build"/install/*.sh; do
  [ -f "$s" ] && bash "$s"
done
exit 0
