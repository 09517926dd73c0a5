// Helpers shared by the tab sources; the bridge to the toolkit's common layer lives in
// XTPTabCommon.cpp.
#pragma once

#include <framework.h>

class CXTPThemeHandle;

// TRUE when the foreground window is the last active popup of hWnd's top-level window.
BOOL XTPTabIsTopParentActive(HWND hWnd);
// Closes and deletes a visual-styles handle the tab manager holds (null: nothing).
void XTPTabDeleteThemeHandle(CXTPThemeHandle* pTheme);

// ---- The toolkit's common layer, as the tab code uses it ----
// Colour-manager colour by index (an index above 61 is a literal RGB value).
COLORREF XTPTabColor(int nIndex);
// The colour manager's visual-styles colour scheme: 0 classic, 1 blue, 2 olive, 3 silver.
int XTPTabCurrentScheme();
// The colour manager's blend: weight in per cent below 100, else per mille, of a.
COLORREF XTPTabBlend(COLORREF a, COLORREF b, int nWeight);
// Gradient from one colour to another (vertical unless bHorizontal).
void XTPTabGradientFill(CDC* pDC, const CRect& rc, COLORREF clrFrom, COLORREF clrTo, BOOL bHorizontal);
// Removes mnemonic ampersands ("&&" becomes "&").
void XTPTabStripMnemonics(CString& str);
// The face name the toolkit prefers for rotated text.
CString XTPTabDefaultFontName();
// Excludes the four corner pixels of a rectangle from the DC's clip region.
void XTPTabExcludeCorners(CDC* pDC, const CRect& rc);
// Averages pixel (x, y) with (x + dx, y + dy) for (count + 1) / 2 records of four ints.
void XTPTabBlendPixelPairs(CDC* pDC, const int* pRecords, int nCount);
