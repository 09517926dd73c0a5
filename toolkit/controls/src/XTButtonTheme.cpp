// The button themes: classic (kind 0), highlight (kind 1) and colour scheme (kind 2).
#include <framework.h>

#include "XTButton.h"
#include "XTPColorManager.h"

#include <algorithm>

namespace {
COLORREF Clr(int nIndex) { return XTPGetColorManager()->GetColor(nIndex); }

CSize ImageSizeOf(CXTButton* pButton) { return pButton->GetIcon() != NULL ? pButton->GetImageSize() : CSize(0, 0); }

BOOL HasText(CXTButton* pButton) { return pButton->GetWindowTextLength() > 0; }

CSize TextSizeOf(CDC* pDC, CXTButton* pButton, CFont* pFont) {
  CString strText;
  pButton->GetButtonText(strText, TRUE);
  if (strText.IsEmpty()) return CSize(0, 0);
  CFont* pOld = pFont != NULL ? pDC->SelectObject(pFont) : NULL;
  const CSize size = pDC->GetTextExtent(strText);
  if (pOld != NULL) pDC->SelectObject(pOld);
  return size;
}
}  // namespace

// ---------------------------------------------------------------------------------------
CXTButtonTheme::CXTButtonTheme() : m_nThemeKind(0), m_bShowImages(TRUE), m_bOffsetText(TRUE), m_pFont(NULL) {}

CXTButtonTheme::~CXTButtonTheme() {}

void CXTButtonTheme::RefreshMetrics() {
  CXTThemeManagerStyle::RefreshMetrics();
  m_crFace.SetStandardValue(Clr(COLOR_BTNFACE));
  m_crText.SetStandardValue(Clr(COLOR_BTNTEXT));
  m_crTextDisabled.SetStandardValue(Clr(COLOR_GRAYTEXT));
  m_crLight.SetStandardValue(Clr(COLOR_BTNFACE));
  m_crShadow.SetStandardValue(Clr(COLOR_BTNSHADOW));
  m_crHighlight.SetStandardValue(Clr(COLOR_BTNHIGHLIGHT));
  m_crDarkShadow.SetStandardValue(Clr(COLOR_3DDKSHADOW));
}

BOOL CXTButtonTheme::IsPressed(UINT nState, CXTButton* pButton) {
  return (nState & ODS_SELECTED) != 0 || pButton->GetChecked();
}

BOOL CXTButtonTheme::UseVisualStyles(CXTButton* pButton) {
  if ((pButton->GetThemeStyle() & BS_XT_WINXP_COMPAT) == 0) return FALSE;
  if (!m_themeButton.IsOpen()) m_themeButton.OpenThemeData(pButton->GetSafeHwnd(), L"BUTTON");
  return m_themeButton.IsOpen() && m_themeButton.IsThemingAvailable();
}

BOOL CXTButtonTheme::IsHotTracking(CXTButton* pButton) {
  return UseVisualStyles(pButton) || (pButton->GetThemeStyle() & (BS_XT_FLAT | BS_XT_SEMIFLAT)) != 0;
}

CFont* CXTButtonTheme::GetFont(CXTButton* pButton) {
  if (m_pFont != NULL && m_pFont->GetSafeHandle() != NULL) return m_pFont;
  return pButton->GetFont();
}

void CXTButtonTheme::SetColors(COLORREF clrFace, COLORREF clrLight, COLORREF clrShadow, COLORREF clrText) {
  m_crFace.SetCustomValue(clrFace);
  m_crLight.SetCustomValue(clrLight);
  m_crShadow.SetCustomValue(clrShadow);
  m_crText.SetCustomValue(clrText);
}

CPoint CXTButtonTheme::GetCentredOrigin(CSize size, CXTButton* pButton) {
  CRect rc;
  pButton->GetClientRect(&rc);
  return CPoint(std::max(0L, (rc.Width() - size.cx) / 2), std::max(0L, (rc.Height() - size.cy) / 2));
}

CPoint CXTButtonTheme::GetTextPosition(CDC*, UINT, CRect& rcItem, CSize& sizeText, CXTButton* pButton) {
  if (pButton->IsUserPosition()) return pButton->GetTextPoint();
  CRect rc = rcItem;
  rc.DeflateRect(2, 0);
  const CSize sizeImage = m_bShowImages ? ImageSizeOf(pButton) : CSize(0, 0);
  const int nImageGap = pButton->GetImageGap();
  const int nTextGap = pButton->GetTextGap();
  const BOOL bTwoRows = (pButton->GetThemeStyle() & BS_XT_TWOROWS) != 0;
  CPoint pt = GetCentredOrigin(sizeText, pButton);
  pt.x = nImageGap;
  if (bTwoRows) pt.y += nTextGap / 2 + sizeImage.cy / 2;
  switch (pButton->GetStyle() & BS_CENTER) {
    case BS_LEFT:
      pt.x = bTwoRows ? nImageGap : nImageGap + sizeImage.cx + nTextGap;
      break;
    case BS_RIGHT:
      pt.x = rc.right - nImageGap - sizeText.cx;
      break;
    default: {
      const int s = bTwoRows ? nImageGap : nImageGap + sizeImage.cx;
      pt.x = s + (rc.right - nImageGap - sizeText.cx - s) / 2;
      break;
    }
  }
  return pt;
}

COLORREF CXTButtonTheme::GetTextColor(UINT nState, CXTButton*) {
  return (nState & ODS_DISABLED) ? (COLORREF)m_crTextDisabled : (COLORREF)m_crText;
}

void CXTButtonTheme::DrawButtonText(CDC* pDC, UINT nState, CRect& rcItem, CXTButton* pButton) {
  CString strText;
  pButton->GetWindowText(strText);
  if (strText.IsEmpty()) return;
  CFont* pFont = GetFont(pButton);
  CFont* pOldFont = pFont != NULL ? pDC->SelectObject(pFont) : NULL;
  CString strPlain;
  pButton->GetButtonText(strPlain, TRUE);
  CSize sizeText = pDC->GetTextExtent(strPlain);
  CPoint pt = GetTextPosition(pDC, nState, rcItem, sizeText, pButton);
  if (IsPressed(nState, pButton) && m_bOffsetText) pt.Offset(1, 1);
  pDC->SetTextColor(GetTextColor(nState, pButton));
  pDC->SetTextAlign(0);
  ::DrawStateW(pDC->m_hDC, NULL, NULL, (LPARAM)(LPCTSTR)strText, strText.GetLength(), pt.x, pt.y, sizeText.cx,
               sizeText.cy, DST_PREFIXTEXT | DSS_NORMAL);
  if (pOldFont != NULL) pDC->SelectObject(pOldFont);
}

CPoint CXTButtonTheme::GetImagePosition(CDC* pDC, UINT, CRect& rcItem, BOOL, CXTButton* pButton) {
  if (pButton->IsUserPosition()) return pButton->GetImagePoint();
  const CSize sizeImage = ImageSizeOf(pButton);
  const int nImageGap = pButton->GetImageGap();
  const int nTextGap = pButton->GetTextGap();
  const BOOL bTwoRows = (pButton->GetThemeStyle() & BS_XT_TWOROWS) != 0;
  const BOOL bText = HasText(pButton);
  const DWORD dwStyle = pButton->GetStyle();
  const int cx = rcItem.Width(), cy = rcItem.Height();
  CPoint pt(nImageGap, std::max(0, (cy - (int)sizeImage.cy) / 2));
  if (bTwoRows && bText) {
    const CSize sizeText = TextSizeOf(pDC, pButton, GetFont(pButton));
    pt.y -= nTextGap / 2 + sizeText.cy / 2;
  }
  if (bTwoRows) {
    switch (dwStyle & BS_CENTER) {
      case BS_LEFT:
        pt.x = nImageGap;
        break;
      case BS_RIGHT:
        pt.x = cx - nImageGap - sizeImage.cx;
        break;
      default:
        if (cx - sizeImage.cx >= 0) pt.x = (cx - sizeImage.cx) / 2;
        break;
    }
  }
  if (!bText) {
    if ((dwStyle & BS_CENTER) == BS_CENTER && cx >= sizeImage.cx) pt.x = (cx - sizeImage.cx) / 2;
    if ((dwStyle & BS_VCENTER) == BS_VCENTER && cy >= sizeImage.cy) pt.y = (cy - sizeImage.cy) / 2;
  }
  return pt + rcItem.TopLeft();
}

void CXTButtonTheme::DrawButtonImage(CDC* pDC, UINT nState, CRect& rcItem, CXTButton* pButton) {
  CXTPImageManagerIcon* pIcon = pButton->GetIcon();
  if (pIcon == NULL || !m_bShowImages) return;
  const BOOL bPressed = IsPressed(nState, pButton);
  CPoint pt = GetImagePosition(pDC, nState, rcItem, TRUE, pButton);
  if (bPressed) pt.Offset(1, 1);
  const CSize size = pButton->GetImageSize();
  CXTPImageManagerIconHandle* pHandle;
  if (nState & ODS_DISABLED)
    pHandle = &pIcon->GetDisabledIcon(TRUE);
  else if (pButton->IsHot() || bPressed)
    pHandle = &pIcon->GetHotIcon();
  else
    pHandle = &pIcon->GetIcon();
  pIcon->Draw(pDC, pt, *pHandle, size.cx, size.cy);
}

void CXTButtonTheme::DrawItem(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton) {
  CDC* pDC = CDC::FromHandle(lpDIS->hDC);
  if (!DrawVisualStyles(lpDIS, pButton)) DrawBackground(lpDIS, pButton);
  const int nOldMode = pDC->SetBkMode(TRANSPARENT);
  CRect rcItem(lpDIS->rcItem);
  DrawButtonText(pDC, lpDIS->itemState, rcItem, pButton);
  DrawButtonImage(pDC, lpDIS->itemState, rcItem, pButton);
  if ((pButton->GetThemeStyle() & BS_XT_SHOWFOCUS) && (lpDIS->itemState & ODS_FOCUS))
    DrawFocus(pDC, lpDIS->itemState, rcItem, pButton);
  pDC->SetBkMode(nOldMode);
}

BOOL CXTButtonTheme::DrawVisualStyles(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton) {
  if (!UseVisualStyles(pButton)) return FALSE;
  const UINT nState = lpDIS->itemState;
  // Push button part 1; states 1 normal, 2 hot, 3 pressed, 4 disabled, 5 default.
  int nThemeState = 1;
  if (nState & ODS_DISABLED)
    nThemeState = 4;
  else if ((nState & ODS_SELECTED) || pButton->GetChecked())
    nThemeState = 3;
  else if (pButton->IsHot())
    nThemeState = 2;
  else if (nState & ODS_FOCUS)
    nThemeState = 5;
  CRect rc(lpDIS->rcItem);
  return SUCCEEDED(m_themeButton.DrawThemeBackground(lpDIS->hDC, 1, nThemeState, &rc, NULL));
}

void CXTButtonTheme::DrawFrame(CDC* pDC, const CRect& rc, COLORREF clrTopLeft, COLORREF clrBottomRight) {
  pDC->Draw3dRect(&rc, clrTopLeft, clrBottomRight);
}

void CXTButtonTheme::DrawBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton) {
  CDC* pDC = CDC::FromHandle(lpDIS->hDC);
  CRect rc(lpDIS->rcItem);
  const BOOL bPressed = IsPressed(lpDIS->itemState, pButton);
  const BOOL bHot = pButton->IsHot();
  const DWORD dwStyle = pButton->GetThemeStyle();
  pDC->FillSolidRect(&rc, m_crFace);
  if ((dwStyle & BS_XT_HILITEPRESSED) && bPressed) XTPFillDitheredRect(pDC, rc);
  if (dwStyle & BS_XT_FLAT) {
    if (bPressed)
      DrawFrame(pDC, rc, m_crShadow, m_crHighlight);
    else if (bHot)
      DrawFrame(pDC, rc, m_crHighlight, m_crShadow);
  } else if (dwStyle & BS_XT_SEMIFLAT) {
    if (bPressed)
      DrawFrame(pDC, rc, m_crShadow, m_crHighlight);
    else
      DrawFrame(pDC, rc, m_crHighlight, m_crShadow);
  } else {
    CRect rcInner = rc;
    rcInner.DeflateRect(1, 1);
    if (bPressed) {
      DrawFrame(pDC, rc, m_crDarkShadow, m_crHighlight);
      DrawFrame(pDC, rcInner, m_crShadow, m_crLight);
    } else {
      DrawFrame(pDC, rc, m_crHighlight, m_crDarkShadow);
      DrawFrame(pDC, rcInner, m_crLight, m_crShadow);
    }
  }
}

void CXTButtonTheme::DrawFocus(CDC* pDC, UINT, CRect& rcItem, CXTButton* pButton) {
  pDC->SetTextColor(m_crText);
  CRect rc = rcItem;
  const int nInset = UseVisualStyles(pButton) ? 4 : 2;
  rc.DeflateRect(nInset, nInset);
  pDC->DrawFocusRect(&rc);
}

// ---------------------------------------------------------------------------------------
CXTButtonThemeHighlight::CXTButtonThemeHighlight(BOOL bWordTheme)
    : m_bWordTheme(bWordTheme), m_bFadedIcon(TRUE), m_bAnimateIcon(TRUE) {
  m_nThemeKind = 1;
  m_bOffsetText = FALSE;
}

void CXTButtonThemeHighlight::RefreshMetrics() {
  CXTButtonTheme::RefreshMetrics();
  m_crFace.SetStandardValue(Clr(m_bWordTheme ? 30 : COLOR_BTNFACE));
  m_crPressedFace.SetStandardValue(Clr(33));
  m_crHotFace.SetStandardValue(Clr(31));
  m_crShadow.SetStandardValue(Clr(COLOR_BTNSHADOW));
  m_crLight.SetStandardValue(Clr(32));
  m_crText.SetStandardValue(Clr(46));
  m_crHotText.SetStandardValue(Clr(45));
  m_crPressedText.SetStandardValue(Clr(47));
  m_crCheckedFace.SetStandardValue(Clr(36));
}

void CXTButtonThemeHighlight::SetAccent(BOOL bAccent) {
  m_bWordTheme = bAccent;
  RefreshMetrics();
}

BOOL CXTButtonThemeHighlight::IsHotTracking(CXTButton*) { return TRUE; }

COLORREF CXTButtonThemeHighlight::GetTextColor(UINT nState, CXTButton* pButton) {
  if (nState & ODS_DISABLED) return Clr(COLOR_GRAYTEXT);
  if (pButton->IsHot()) return m_crHotText;
  if (nState & ODS_SELECTED) return m_crPressedText;
  return m_crText;
}

void CXTButtonThemeHighlight::DrawButtonImage(CDC* pDC, UINT nState, CRect& rcItem, CXTButton* pButton) {
  CXTPImageManagerIcon* pIcon = pButton->GetIcon();
  if (pIcon == NULL || !m_bShowImages) return;
  const CPoint pt = GetImagePosition(pDC, nState, rcItem, TRUE, pButton);
  const CSize size = pButton->GetImageSize();
  if (nState & ODS_DISABLED) {
    pIcon->Draw(pDC, pt, pIcon->GetDisabledIcon(TRUE), size.cx, size.cy);
  } else if (pButton->IsHot()) {
    if (m_bAnimateIcon) {
      pIcon->Draw(pDC, pt + CPoint(1, 1), pIcon->GetShadowIcon(), size.cx, size.cy);
      pIcon->Draw(pDC, pt - CPoint(1, 1), pIcon->GetHotIcon(), size.cx, size.cy);
    } else {
      pIcon->Draw(pDC, pt, pIcon->GetHotIcon(), size.cx, size.cy);
    }
  } else if (nState & ODS_SELECTED) {
    pIcon->Draw(pDC, pt, pIcon->GetHotIcon(), size.cx, size.cy);
  } else {
    pIcon->Draw(pDC, pt, m_bFadedIcon ? pIcon->GetFadedIcon() : pIcon->GetIcon(), size.cx, size.cy);
  }
}

void CXTButtonThemeHighlight::DrawBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton) {
  CDC* pDC = CDC::FromHandle(lpDIS->hDC);
  CRect rc(lpDIS->rcItem);
  const BOOL bSelected = (lpDIS->itemState & ODS_SELECTED) != 0;
  const BOOL bChecked = pButton->GetChecked();
  const BOOL bHot = pButton->IsHot();
  COLORREF clrFill;
  if (bSelected)
    clrFill = m_crPressedFace;
  else if (bHot && !bChecked)
    clrFill = m_crHotFace;
  else if (bHot && bChecked)
    clrFill = m_crPressedFace;
  else if (bChecked)
    clrFill = m_crCheckedFace;
  else {
    pDC->FillSolidRect(&rc, m_crFace);
    if (m_bWordTheme) DrawFrame(pDC, rc, m_crShadow, m_crShadow);
    return;
  }
  pDC->FillSolidRect(&rc, clrFill);
  DrawFrame(pDC, rc, m_crLight, m_crLight);
}

void CXTButtonThemeHighlight::DrawFocus(CDC* pDC, UINT nState, CRect& rcItem, CXTButton* pButton) {
  if (!m_bWordTheme) {
    CXTButtonTheme::DrawFocus(pDC, nState, rcItem, pButton);
    return;
  }
  if (pButton->IsHot() || (nState & ODS_SELECTED) || (pButton->GetThemeStyle() & BS_XT_WINXP_COMPAT)) return;
  CRect rc = rcItem;
  DrawFrame(pDC, rc, Clr(COLOR_HIGHLIGHT), Clr(COLOR_HIGHLIGHT));
  rc.DeflateRect(1, 1);
  DrawFrame(pDC, rc, Clr(COLOR_HIGHLIGHT), Clr(COLOR_HIGHLIGHT));
}

// ---------------------------------------------------------------------------------------
CXTButtonThemeScheme::CXTButtonThemeScheme() {
  m_nThemeKind = 2;
  m_bFadedIcon = FALSE;
  m_bAnimateIcon = FALSE;
  m_bOffsetText = FALSE;
}

void CXTButtonThemeScheme::RefreshMetrics() {
  CXTButtonThemeHighlight::RefreshMetrics();
  m_crFace.SetStandardValue(Clr(COLOR_BTNFACE));
  struct SchemeColors {
    COLORREF face, shadow, light;
  };
  static const SchemeColors kSchemes[4] = {
      {0, 0, 0}, {0xF0C7A9, 0xB99D7F, 0x800000}, {0x9FD4C5, 0x7FB9A4, 0x385D3F}, {0xD3C0C0, 0xB2ACA5, 0x0B4B4B}};
  const int nScheme = XTPGetCurrentTheme();
  if (nScheme >= 1 && nScheme <= 3) {
    m_crHotFace.SetStandardValue(0xC2EEFF);
    m_crPressedFace.SetStandardValue(0x3E80FE);
    m_crCheckedFace.SetStandardValue(0x6FC0FF);
    m_crText.SetStandardValue(0);
    m_crHotText.SetStandardValue(0);
    m_crPressedText.SetStandardValue(0);
    m_crFace.SetStandardValue(kSchemes[nScheme].face);
    m_crShadow.SetStandardValue(kSchemes[nScheme].shadow);
    m_crLight.SetStandardValue(kSchemes[nScheme].light);
  }
  if (!m_bWordTheme) m_crFace.SetStandardValue(Clr(COLOR_BTNFACE));
}

void CXTButtonThemeScheme::DrawButtonImage(CDC* pDC, UINT nState, CRect& rcItem, CXTButton* pButton) {
  CXTPImageManagerIcon* pIcon = pButton->GetIcon();
  if (pIcon == NULL || !m_bShowImages) return;
  const CPoint pt = GetImagePosition(pDC, nState, rcItem, TRUE, pButton);
  const CSize size = pButton->GetImageSize();
  CXTPImageManagerIconHandle* pHandle;
  if (nState & ODS_DISABLED)
    pHandle = &pIcon->GetDisabledIcon(TRUE);
  else if (nState & ODS_SELECTED)
    pHandle = &pIcon->GetHotIcon();
  else
    pHandle = &pIcon->GetIcon();
  pIcon->Draw(pDC, pt, *pHandle, size.cx, size.cy);
}

void CXTButtonThemeScheme::DrawBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton) {
  CDC* pDC = CDC::FromHandle(lpDIS->hDC);
  CRect rc(lpDIS->rcItem);
  const BOOL bSelected = (lpDIS->itemState & ODS_SELECTED) != 0;
  const BOOL bChecked = pButton->GetChecked();
  const BOOL bHot = pButton->IsHot();
  int nGradient;
  if (bSelected || (bHot && bChecked))
    nGradient = 9;
  else if (bHot)
    nGradient = 10;
  else if (bChecked)
    nGradient = 8;
  else {
    CXTButtonThemeHighlight::DrawBackground(lpDIS, pButton);
    return;
  }
  CXTPDrawHelpers::GradientFill(pDC, &rc, *XTPGetColorManager()->GetGradient(nGradient), FALSE, NULL);
  DrawFrame(pDC, rc, m_crLight, m_crLight);
}

// ---------------------------------------------------------------------------------------
IMPLEMENT_DYNCREATE(CXTButtonThemeFactory, CXTThemeManagerStyleFactory)

CXTThemeManagerStyle* CXTButtonThemeFactory::CreateTheme(int nTheme) {
  CXTButtonTheme* pTheme;
  if (nTheme == 1)
    pTheme = new CXTButtonThemeHighlight();
  else if (nTheme == 2)
    pTheme = new CXTButtonThemeScheme();
  else
    pTheme = new CXTButtonTheme();
  pTheme->SetThemeKind(nTheme);
  return pTheme;
}
