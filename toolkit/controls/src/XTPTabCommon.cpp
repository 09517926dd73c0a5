// The tab code's bridge to the toolkit's common layer (colours, drawing helpers, visual
// styles), kept in one place.
#include <framework.h>

#include "XTPColorManager.h"
#include "XTPDrawHelpers.h"
#include "XTPTabInternal.h"
#include "XTPWinThemeWrapper.h"

BOOL XTPTabIsTopParentActive(HWND hWnd) { return CXTPDrawHelpers::IsTopParentActive(hWnd); }

void XTPTabDeleteThemeHandle(CXTPThemeHandle* pTheme) { delete pTheme; }

COLORREF XTPTabColor(int nIndex) { return XTPGetColorManager()->GetColor(static_cast<UINT>(nIndex)); }

int XTPTabCurrentScheme() { return XTPGetColorManager()->GetCurrentTheme(); }

COLORREF XTPTabBlend(COLORREF a, COLORREF b, int nWeight) { return CXTPColorManager::BlendColors(a, b, nWeight); }

void XTPTabGradientFill(CDC* pDC, const CRect& rc, COLORREF clrFrom, COLORREF clrTo, BOOL bHorizontal) {
  CXTPDrawHelpers::GradientFill(pDC, rc, clrFrom, clrTo, bHorizontal);
}

void XTPTabStripMnemonics(CString& str) { CXTPDrawHelpers::StripMnemonics(str); }

CString XTPTabDefaultFontName() { return CXTPDrawHelpers::GetDefaultFontName(FALSE); }

void XTPTabExcludeCorners(CDC* pDC, const CRect& rc) {
  CXTPDrawHelpers::ExcludeCorners(pDC, rc.left, rc.top, rc.right, rc.bottom);
}

void XTPTabBlendPixelPairs(CDC* pDC, const int* pRecords, int nCount) {
  CXTPDrawHelpers::BlendPixelPairs(pDC, pRecords, nCount);
}
