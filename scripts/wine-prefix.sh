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
# Text beyond Latin (Chinese, Japanese and Korean names in address books): a CJK font in the
# prefix, linked to the faces the program draws with so that their missing characters come
# from it instead of showing as boxes.
cjk=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
if [ -f "$cjk" ]; then
  cp -u "$cjk" "$fonts/"
  for face in Tahoma "MS Sans Serif" "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI" Arial \
              "Courier New" "Times New Roman"; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
      /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f >/dev/null 2>&1
  done
fi
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
# Components install themselves through their own scripts, when they exist.
for s in "$build"/install/*.sh; do
  [ -f "$s" ] && bash "$s"
done
exit 0
