// The colour sets of a tab strip.
#include "XTPTabColorSets.h"

#include <vsstyle.h>

#include <utility>
#include <vector>

#include "XTPColorManager.h"
#include "XTPTabInternal.h"
#include "XTPTabManager.h"
#include "XTPTabPaintManager.h"
#include "XTPWinThemeWrapper.h"

namespace {

const COLORREF kNone = static_cast<COLORREF>(-1);
const COLORREF kDither = static_cast<COLORREF>(-2);

void SetStd(CXTPColorRecord& rec, COLORREF clr) { rec.SetStandardValue(clr); }
void SetIdx(CXTPColorRecord& rec, int nIndex) { rec.SetStandardValue(XTPTabColor(nIndex)); }
void SetIdx(CXTPGradientColor& grc, int nIndex) { grc.SetStandardValue(XTPTabColor(nIndex)); }

void FillSolid(CDC* pDC, const CRect& rc, COLORREF clr) {
  if (clr != kNone && !rc.IsRectEmpty()) pDC->FillSolidRect(rc, clr);
}

}  // namespace

// =======================================================================================
// Base

CXTPTabColorSet::CXTPTabColorSet() : m_pPaintManager(nullptr) {}

CXTPTabColorSet::~CXTPTabColorSet() = default;

COLORREF CXTPTabColorSet::Color(const CXTPColorRecord& rec) { return rec.GetColor(); }

int CXTPTabColorSet::GetAppearance() const { return m_pPaintManager ? m_pPaintManager->GetAppearance() : -1; }

int CXTPTabColorSet::GetPosition() const { return m_pPaintManager ? m_pPaintManager->GetPosition() : xtpTabPosTop; }

void CXTPTabColorSet::RefreshColors() {
  SetIdx(m_grcHeader, COLOR_BTNFACE);
  m_grcHeader2.SetStandardValue(m_grcHeader);
  SetIdx(m_clrFrame, COLOR_BTNSHADOW);
  SetIdx(m_clrBackground, COLOR_BTNFACE);
  SetIdx(m_clrLight, COLOR_BTNHIGHLIGHT);
  SetIdx(m_clrSelectedFill, GetAppearance() == 7 ? COLOR_WINDOW : COLOR_BTNFACE);
  SetIdx(m_clrNormalFill, COLOR_BTNFACE);
  SetIdx(m_clrNormalText, COLOR_BTNTEXT);
  SetIdx(m_clrPlainText, COLOR_BTNTEXT);
  SetIdx(m_clrSelectedText, COLOR_BTNTEXT);
  SetStd(m_clrHotText, 0x800000);
  SetIdx(m_clrDisabledText, COLOR_GRAYTEXT);
  SetIdx(m_grcButton, COLOR_WINDOW);
  SetIdx(m_grcPressed, COLOR_HIGHLIGHT);
  SetIdx(m_clr3DHighlight, COLOR_BTNHIGHLIGHT);
  SetIdx(m_clr3DShadow, COLOR_BTNSHADOW);
  SetIdx(m_clr3DDarkShadow, COLOR_3DDKSHADOW);
  const int slant[4] = {COLOR_BTNSHADOW, COLOR_BTNSHADOW, COLOR_BTNFACE, COLOR_BTNFACE};
  for (int i = 0; i < 4; i++) SetIdx(m_clrSlantEdge[i], slant[i]);
  const int selected[6] = {COLOR_BTNTEXT, COLOR_BTNSHADOW, COLOR_BTNTEXT, -1, -1, -1};
  const int normal[6] = {COLOR_BTNTEXT, COLOR_BTNSHADOW, COLOR_BTNTEXT, COLOR_WINDOW, COLOR_BTNSHADOW, -1};
  for (int i = 0; i < 6; i++) {
    if (selected[i] < 0)
      SetStd(m_clrSelectedEdge[i], kNone);
    else
      SetIdx(m_clrSelectedEdge[i], selected[i]);
    if (normal[i] < 0)
      SetStd(m_clrNormalEdge[i], kNone);
    else
      SetIdx(m_clrNormalEdge[i], normal[i]);
  }
}

COLORREF CXTPTabColorSet::SetTextColor(CDC* pDC, CXTPTabManagerItem* pItem) {
  COLORREF clr;
  CXTPTabManager* pManager = pItem->GetTabManager();
  if (!pItem->IsEnabled()) {
    clr = Color(m_clrDisabledText);
  } else if (pManager && pManager->IsHighlight()) {
    clr = pItem->IsSelected() ? Color(m_clrSelectedText) : pItem->IsHot() ? Color(m_clrHotText) : Color(m_clrNormalText);
  } else {
    clr = Color(m_clrPlainText);
  }
  pDC->SetTextColor(clr);
  return clr;
}

void CXTPTabColorSet::GradientFill(CDC* pDC, CRect rc, const CXTPGradientColor& grc, int nPosition) {
  if (rc.IsRectEmpty()) return;
  if (grc.clrStart.GetStandardColor() == kDither && !grc.clrStart.IsCustomValue()) {
    XTPFillDitheredRect(pDC, rc);
    return;
  }
  COLORREF clrFrom = grc.GetStartColor(), clrTo = grc.GetEndColor();
  if (clrFrom == kNone && clrTo == kNone) return;
  if (clrFrom == kNone) clrFrom = clrTo;
  if (clrTo == kNone) clrTo = clrFrom;
  if (nPosition == xtpTabPosBottom || nPosition == xtpTabPosRight) std::swap(clrFrom, clrTo);
  if (m_pPaintManager && m_pPaintManager->m_bInvertGradient) std::swap(clrFrom, clrTo);
  const BOOL bHorizontal = nPosition == xtpTabPosLeft || nPosition == xtpTabPosRight;
  XTPTabGradientFill(pDC, rc, clrFrom, clrTo, bHorizontal);
}

void CXTPTabColorSet::FillHeader(CDC* pDC, CRect rc, CXTPTabManager*) { GradientFill(pDC, rc, m_grcHeader, GetPosition()); }

COLORREF CXTPTabColorSet::FillClient(CDC* pDC, CRect rc, CXTPTabManager* pManager) {
  CXTPTabManagerItem* pSelected = pManager ? pManager->GetSelectedItem() : nullptr;
  const COLORREF clr = pSelected ? GetItemColor(pSelected) : Color(m_clrSelectedFill);
  FillSolid(pDC, rc, clr);
  return clr;
}

void CXTPTabColorSet::DrawFlatItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem) {
  const int nPos = GetPosition();
  if (pItem->IsSelected()) {
    if (m_pPaintManager && m_pPaintManager->GetItemColors())
      FillSolid(pDC, rc, GetItemColor(pItem));
    else
      GradientFill(pDC, rc, m_grcButton, nPos);
    const COLORREF clrA = m_grcPressed.GetStartColor(), clrB = m_grcPressed.GetEndColor();
    if (clrA != kNone && clrB != kNone) pDC->Draw3dRect(rc, clrA, clrB);
    return;
  }
  const COLORREF clrShadow = XTPTabColor(COLOR_BTNSHADOW), clrLight = XTPTabColor(COLOR_BTNHIGHLIGHT);
  if (CXTPTabPaintManager::IsHorizontal(nPos)) {
    pDC->FillSolidRect(rc.right - 2, rc.top + 2, 1, rc.Height() - 4, clrShadow);
    pDC->FillSolidRect(rc.right - 1, rc.top + 2, 1, rc.Height() - 4, clrLight);
  } else {
    pDC->FillSolidRect(rc.left + 2, rc.bottom - 2, rc.Width() - 4, 1, clrShadow);
    pDC->FillSolidRect(rc.left + 2, rc.bottom - 1, rc.Width() - 4, 1, clrLight);
  }
}

COLORREF CXTPTabColorSet::FillItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem) {
  const COLORREF clr = GetItemColor(pItem);
  FillSolid(pDC, rc, clr);
  return clr;
}

void CXTPTabColorSet::DrawHeaderDecoration(CDC*, CRect, CXTPTabManager*) {}

COLORREF CXTPTabColorSet::GetItemColor(CXTPTabManagerItem* pItem) {
  if (m_pPaintManager && m_pPaintManager->GetItemColors()) return pItem->GetColor();
  return pItem->IsSelected() ? Color(m_clrSelectedFill) : Color(m_clrNormalFill);
}

BOOL CXTPTabColorSet::IsThemed() { return FALSE; }

void CXTPTabColorSet::FillNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc) {
  DrawButton3D(pDC, pButton, rc, XTPTabColor(COLOR_BTNSHADOW), XTPTabColor(COLOR_BTNHIGHLIGHT));
  pDC->SetTextColor(XTPTabColor(COLOR_BTNTEXT));
}

void CXTPTabColorSet::DrawButton3D(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc, COLORREF clrDark,
                                   COLORREF clrLight) {
  if (pButton->IsPressed() && pButton->IsHot()) {
    pDC->Draw3dRect(rc, clrDark, clrLight);
    rc.OffsetRect(1, 1);
  } else if (pButton->IsPressed() || pButton->IsHot()) {
    pDC->Draw3dRect(rc, clrLight, clrDark);
  }
}

// =======================================================================================
// Default set

void CXTPTabColorSetDefault::RefreshColors() {
  CXTPTabColorSet::RefreshColors();
  m_grcButton.SetStandardValue(kDither, kDither);
  m_grcPressed.SetStandardValue(XTPTabColor(COLOR_BTNSHADOW), XTPTabColor(COLOR_BTNHIGHLIGHT), 0.5f);
  const int selected[6] = {COLOR_BTNTEXT, COLOR_BTNTEXT, COLOR_BTNTEXT, COLOR_WINDOW, COLOR_BTNSHADOW, COLOR_BTNSHADOW};
  for (int i = 0; i < 6; i++) SetIdx(m_clrSelectedEdge[i], selected[i]);
  for (int i = 0; i < 6; i++) {
    if (i < 3)
      SetIdx(m_clrNormalEdge[i], COLOR_BTNTEXT);
    else
      SetStd(m_clrNormalEdge[i], kNone);
  }
  if (GetAppearance() == 7) {
    SetIdx(m_clrSelectedFill, COLOR_BTNFACE);
    SetIdx(m_clrNormalFill, COLOR_WINDOW);
    SetIdx(m_clrFrame, COLOR_BTNTEXT);
  }
}

void CXTPTabColorSetDefault::FillNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc) {
  CXTPTabColorSet::FillNavigateButton(pDC, pButton, rc);
}

// =======================================================================================
// Code 2

void CXTPTabColorSetShaded::RefreshColors() {
  CXTPTabColorSetDefault::RefreshColors();
  const int nAppearance = GetAppearance();
  if (nAppearance != 7 && nAppearance != 4) {
    SetIdx(m_grcHeader, 48);
    m_grcHeader2.SetStandardValue(m_grcHeader);
  }
  if (nAppearance == 5) {
    SetIdx(m_clrNormalText, 49);
    SetIdx(m_clrPlainText, 49);
  }
}

void CXTPTabColorSetShaded::FillNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc) {
  const int nAppearance = GetAppearance();
  if (nAppearance == 7 || nAppearance == 4) {
    CXTPTabColorSetDefault::FillNavigateButton(pDC, pButton, rc);
    return;
  }
  DrawButton3D(pDC, pButton, rc, XTPTabColor(COLOR_BTNTEXT), XTPTabColor(COLOR_BTNFACE));
  pDC->SetTextColor(XTPTabColor(49));
}

// =======================================================================================
// Code 4

CXTPTabColorSetSchemed::CXTPTabColorSetSchemed() : m_bSchemeFill(FALSE) {}

void CXTPTabColorSetSchemed::RefreshColors() {
  CXTPTabColorSetDefault::RefreshColors();
  m_bSchemeFill = FALSE;
  const COLORREF clrFace = XTPTabColor(COLOR_BTNFACE);
  m_grcHeader.SetStandardValue(clrFace, XTPTabBlend(clrFace, XTPTabColor(COLOR_WINDOW), 205));
  m_grcHeader2.SetStandardValue(m_grcHeader);
  SetIdx(m_grcButton, 36);
  SetIdx(m_grcPressed, 37);
  SetIdx(m_clrHotFill, 36);
  SetIdx(m_clrHotText, COLOR_BTNTEXT);
  SetStd(m_clrBorder, XTPTabColor(37));
  // The fixed scheme colours apply unless the paint manager asks for theme colours.
  const int nScheme = XTPTabCurrentScheme();
  const BOOL bThemeColors = m_pPaintManager && m_pPaintManager->m_bThemeColors;
  if (!bThemeColors && nScheme >= 1 && nScheme <= 3) ApplyScheme(nScheme);
  if (GetAppearance() == 4) {
    SetIdx(m_grcHeader, COLOR_BTNFACE);
    SetIdx(m_grcHeader2, COLOR_BTNFACE);
  }
}

void CXTPTabColorSetSchemed::ApplyScheme(int nTheme) {
  struct Scheme {
    COLORREF frame, dark, shadow, pressed, header1, header2, second1, second2, normal, hot;
  };
  static const Scheme schemes[3] = {
      {0x9C613B, 0x9A3500, 0xF1A675, 0x800000, 0xFADAC4, 0xFEFDFC, 0xF5BE9E, 0xFADAC4, 0xF6C0A2, 0xC9F0FF},
      {0x588060, 0x6B7760, 0x8CC2B0, 0x385D3F, 0xE4F1F2, 0xFEFEFC, 0xA7D9D9, 0xE4F1F2, 0xAADED0, 0xC7F0FF},
      {0x947C7C, 0x927476, 0xCEB9BA, 0x6F4B4B, 0xF7F3F3, 0xFEFEFC, 0xE5D7D7, 0xF7F3F3, 0xE6D9D9, 0xC2EEFF},
  };
  const Scheme& s = schemes[nTheme - 1];
  SetStd(m_clrFrame, s.frame);
  SetStd(m_clrSlantEdge[0], s.frame);
  SetStd(m_clr3DDarkShadow, s.dark);
  SetStd(m_clrSlantEdge[1], s.dark);
  SetStd(m_clr3DShadow, s.shadow);
  SetStd(m_clrSlantEdge[2], s.shadow);
  SetStd(m_clrSlantEdge[3], 0xFFFFFF);
  m_grcButton.SetStandardValue(0x6FC0FF);
  m_grcPressed.SetStandardValue(s.pressed);
  SetStd(m_clrBorder, s.pressed);
  m_grcHeader.SetStandardValue(s.header1, s.header2);
  m_grcHeader2.SetStandardValue(s.second1, s.second2);
  SetStd(m_clrNormalFill, s.normal);
  SetStd(m_clrSelectedFill, 0x73C2FF);
  SetStd(m_clrHotFill, s.hot);
  m_bSchemeFill = TRUE;
}

void CXTPTabColorSetSchemed::FillSchemedButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc) {
  const BOOL bHot = pButton->IsHot(), bPressed = pButton->IsPressed();
  if (m_bSchemeFill) {
    if (bHot || bPressed) {
      const BOOL bBoth = bHot && bPressed;
      XTPTabGradientFill(pDC, rc, bBoth ? 0x4B8EFE : 0xC8F2FF, bBoth ? 0x8BCFFF : 0x97D4FF, FALSE);
      const COLORREF clrBorder = Color(m_clrBorder);
      if (clrBorder != kNone) pDC->Draw3dRect(rc, clrBorder, clrBorder);
    }
    pDC->SetTextColor(XTPTabColor(COLOR_BTNTEXT));
    return;
  }
  if (bHot || bPressed) {
    const BOOL bBoth = bHot && bPressed;
    pDC->FillSolidRect(rc, XTPTabColor(bBoth ? 50 : 32));
    const COLORREF clrBorder = XTPTabColor(bBoth ? 33 : 31);
    pDC->Draw3dRect(rc, clrBorder, clrBorder);
    pDC->SetTextColor(XTPTabColor(bBoth ? 47 : 45));
  } else {
    pDC->SetTextColor(XTPTabColor(COLOR_BTNTEXT));
  }
}

void CXTPTabColorSetSchemed::FillNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc) {
  FillSchemedButton(pDC, pButton, rc);
}

COLORREF CXTPTabColorSetSchemed::FillItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem) {
  COLORREF clr = GetItemColor(pItem);
  if (pItem->IsHot() && !pItem->IsSelected() && !(m_pPaintManager && m_pPaintManager->GetItemColors())) {
    const COLORREF clrHot = Color(m_clrHotFill);
    if (clrHot != kNone) clr = clrHot;
  }
  if (clr == kNone) return kNone;
  const COLORREF clrTint = XTPTabBlend(clr, 0xFFFFFF, 300);
  CXTPGradientColor grc(clrTint, clr);
  GradientFill(pDC, rc, grc, GetPosition());
  return clr;
}

// =======================================================================================
// Code 16

CXTPTabColorSetLight::CXTPTabColorSetLight() : m_bThemedFill(FALSE) {}

void CXTPTabColorSetLight::RefreshColors() {
  m_bThemedFill = FALSE;
  if (!m_pPaintManager || !m_pPaintManager->IsThemeColors()) {
    CXTPTabColorSetSchemed::RefreshColors();
    return;
  }
  CXTPTabColorSetDefault::RefreshColors();
  m_bSchemeFill = FALSE;
  const int nScheme = XTPTabCurrentScheme();
  if (nScheme == 3) {
    m_grcHeader.SetStandardValue(0xEEEEEE);
    SetStd(m_clrNormalFill, 0xF8F5F5);
  } else {
    m_grcHeader.SetStandardValue(0xD5E2E4);
  }
  m_grcHeader2.SetStandardValue(m_grcHeader);
  m_bThemedFill = TRUE;
  SetStd(m_clrSelectedFill, 0xFFFFFF);
  SetIdx(m_clrHotFill, 36);
  SetIdx(m_clrHotText, COLOR_BTNTEXT);
  SetIdx(m_clrFrame, 57);
  SetIdx(m_clrSlantEdge[0], 57);
  SetIdx(m_clrBorder, 37);
}

void CXTPTabColorSetLight::FillNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc) {
  FillSchemedButton(pDC, pButton, rc);
}

COLORREF CXTPTabColorSetLight::FillItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem) {
  if (m_bThemedFill || m_bSchemeFill) return CXTPTabColorSetSchemed::FillItem(pDC, rc, pItem);
  return CXTPTabColorSet::FillItem(pDC, rc, pItem);
}

// =======================================================================================
// Code 8, visual styles

CXTPTabColorSetVisualStyles::CXTPTabColorSetVisualStyles()
    : m_pThemeTab(new CXTPThemeHandle()), m_pThemeToolbar(new CXTPThemeHandle()) {}

CXTPTabColorSetVisualStyles::~CXTPTabColorSetVisualStyles() {
  delete m_pThemeTab;
  delete m_pThemeToolbar;
}

BOOL CXTPTabColorSetVisualStyles::IsTabThemed() { return m_pThemeTab->IsOpen() && m_pThemeTab->IsAppThemed(); }

BOOL CXTPTabColorSetVisualStyles::IsToolbarThemed() { return m_pThemeToolbar->IsOpen() && m_pThemeToolbar->IsAppThemed(); }

void CXTPTabColorSetVisualStyles::RefreshColors() {
  CXTPTabColorSetDefault::RefreshColors();
  m_pThemeTab->OpenThemeData(nullptr, L"TAB");
  if (IsTabThemed()) {
    SetStd(m_clr3DHighlight, kNone);
    SetStd(m_clr3DShadow, kNone);
    SetStd(m_clr3DDarkShadow, kNone);
    m_clrPlainText = m_clrNormalText;
  }
  m_pThemeToolbar->OpenThemeData(nullptr, L"TOOLBAR");
}

BOOL CXTPTabColorSetVisualStyles::IsThemed() { return IsTabThemed(); }

void CXTPTabColorSetVisualStyles::FillNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc) {
  if (!IsToolbarThemed()) {
    CXTPTabColorSetDefault::FillNavigateButton(pDC, pButton, rc);
    return;
  }
  const int nState = pButton->IsPressed() ? TS_PRESSED : pButton->IsHot() ? TS_HOT : TS_NORMAL;
  if (FAILED(m_pThemeToolbar->DrawThemeBackground(pDC->m_hDC, TP_BUTTON, nState, rc, nullptr))) {
    CXTPTabColorSetDefault::FillNavigateButton(pDC, pButton, rc);
    return;
  }
  pDC->SetTextColor(XTPTabColor(COLOR_BTNTEXT));
}

BOOL CXTPTabColorSetVisualStyles::DrawThemedTab(CDC* pDC, CRect rc, int nState, int nPosition) {
  const BOOL bTurned = nPosition == xtpTabPosLeft || nPosition == xtpTabPosRight;
  const int cx = rc.Width(), cy = rc.Height();
  if (cx <= 0 || cy <= 0) return FALSE;
  // The theme draws tabs for a top strip: draw there, then turn the pixels into place.
  const int w = bTurned ? cy : cx, h = bTurned ? cx : cy;
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = w;
  bmi.bmiHeader.biHeight = -h;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* pvSrc = nullptr;
  HDC hMem = ::CreateCompatibleDC(pDC->m_hDC);
  HBITMAP hSrc = ::CreateDIBSection(hMem, &bmi, DIB_RGB_COLORS, &pvSrc, nullptr, 0);
  if (!hSrc || !hMem) {
    if (hSrc) ::DeleteObject(hSrc);
    if (hMem) ::DeleteDC(hMem);
    return FALSE;
  }
  HGDIOBJ hOld = ::SelectObject(hMem, hSrc);
  // Start from what lies under the tab, so the theme's transparent corners blend in.
  RECT rcDraw = {0, 0, w, h};
  if (!bTurned && nPosition == xtpTabPosTop) {
    ::BitBlt(hMem, 0, 0, w, h, pDC->m_hDC, rc.left, rc.top, SRCCOPY);
  } else {
    ::FillRect(hMem, &rcDraw, ::GetSysColorBrush(COLOR_BTNFACE));
  }
  const HRESULT hr = m_pThemeTab->DrawThemeBackground(hMem, TABP_TABITEM, nState, &rcDraw, nullptr);
  ::GdiFlush();
  HBITMAP hDst = hSrc;
  void* pvDst = pvSrc;
  if (SUCCEEDED(hr) && nPosition != xtpTabPosTop) {
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    hDst = ::CreateDIBSection(hMem, &bmi, DIB_RGB_COLORS, &pvDst, nullptr, 0);
    if (hDst) {
      const DWORD* src = static_cast<const DWORD*>(pvSrc);
      DWORD* dst = static_cast<DWORD*>(pvDst);
      for (int y = 0; y < cy; y++) {
        for (int x = 0; x < cx; x++) {
          DWORD px;
          if (nPosition == xtpTabPosBottom)
            px = src[(h - 1 - y) * w + x];  // rows reversed
          else if (nPosition == xtpTabPosLeft)
            px = src[x * w + y];  // top of the tab towards the left
          else
            px = src[(h - 1 - x) * w + y];  // top of the tab towards the right
          dst[y * cx + x] = px;
        }
      }
    } else {
      hDst = hSrc;
    }
  }
  ::SelectObject(hMem, hOld);
  if (SUCCEEDED(hr)) ::DrawStateW(pDC->m_hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(hDst), 0, rc.left, rc.top, cx, cy, DST_BITMAP);
  if (hDst != hSrc) ::DeleteObject(hDst);
  ::DeleteObject(hSrc);
  ::DeleteDC(hMem);
  return SUCCEEDED(hr);
}

COLORREF CXTPTabColorSetVisualStyles::FillItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem) {
  if (!IsTabThemed()) return CXTPTabColorSetDefault::FillItem(pDC, rc, pItem);
  const int nState = pItem->IsSelected() ? TIS_SELECTED : pItem->IsHot() ? TIS_FOCUSED : TIS_NORMAL;
  if (!DrawThemedTab(pDC, rc, nState, GetPosition())) return CXTPTabColorSetDefault::FillItem(pDC, rc, pItem);
  // The fill is the theme's: read it back from the middle of the tab.
  return pDC->GetPixel(rc.CenterPoint());
}

void CXTPTabColorSetVisualStyles::DrawFlatItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem) {
  if (pItem->IsSelected() && IsToolbarThemed()) {
    const int nState = pItem->IsHot() ? TS_HOTCHECKED : TS_CHECKED;
    if (SUCCEEDED(m_pThemeToolbar->DrawThemeBackground(pDC->m_hDC, TP_BUTTON, nState, rc, nullptr))) return;
  }
  CXTPTabColorSetDefault::DrawFlatItem(pDC, rc, pItem);
}

void CXTPTabColorSetVisualStyles::DrawHeaderDecoration(CDC* pDC, CRect rc, CXTPTabManager*) {
  if (!IsTabThemed()) return;
  // The corner pixel at the strip's end on the page side stays the header's.
  switch (GetPosition()) {
    case xtpTabPosBottom: pDC->ExcludeClipRect(rc.right - 1, rc.top, rc.right, rc.top + 1); break;
    case xtpTabPosLeft: pDC->ExcludeClipRect(rc.right - 1, rc.bottom - 1, rc.right, rc.bottom); break;
    case xtpTabPosRight: pDC->ExcludeClipRect(rc.left, rc.bottom - 1, rc.left + 1, rc.bottom); break;
    default: pDC->ExcludeClipRect(rc.right - 1, rc.bottom - 1, rc.right, rc.bottom); break;
  }
}

COLORREF CXTPTabColorSetVisualStyles::FillClient(CDC* pDC, CRect rc, CXTPTabManager* pManager) {
  if (!IsTabThemed()) return CXTPTabColorSetDefault::FillClient(pDC, rc, pManager);
  CRect rcPane = rc;
  if (GetPosition() == xtpTabPosBottom) rcPane.bottom += 1;
  if (GetPosition() == xtpTabPosRight) rcPane.right += 1;
  if (FAILED(m_pThemeTab->DrawThemeBackground(pDC->m_hDC, TABP_PANE, 0, rcPane, nullptr)))
    return CXTPTabColorSetDefault::FillClient(pDC, rc, pManager);
  return pDC->GetPixel(rc.CenterPoint());
}

// =======================================================================================

CXTPTabColorSet* XTPCreateTabColorSet(int nColor) {
  switch (nColor) {
    case xtpTabColorShaded: return new CXTPTabColorSetShaded();
    case xtpTabColorSchemed: return new CXTPTabColorSetSchemed();
    case xtpTabColorVisualStyles: return new CXTPTabColorSetVisualStyles();
    case xtpTabColorLight: return new CXTPTabColorSetLight();
    default: return new CXTPTabColorSetDefault();
  }
}
