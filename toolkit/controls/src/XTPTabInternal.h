// Helpers shared by the tab sources; the bridge to the toolkit's common layer lives in
// XTPTabCommon.cpp.
#pragma once

#include <framework.h>

class CXTPThemeHandle;

// TRUE when the foreground window is the last active popup of hWnd's top-level window.
BOOL XTPTabIsTopParentActive(HWND hWnd);
// Closes and deletes a visual-styles handle the tab manager holds (null: nothing).
void XTPTabDeleteThemeHandle(CXTPThemeHandle* pTheme);
