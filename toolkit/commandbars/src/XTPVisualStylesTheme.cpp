// Theme 3: the bars drawn by the system's visual styles ("TOOLBAR", "REBAR", "STATUS",
// "COMBOBOX"). Each operation checks its class first and draws as theme 0 when the class
// cannot be used (no UxTheme, visual styles off, common controls before version 6, or the
// class not opened).
#include <framework.h>

#include <vssym32.h>

#include "XTPCommandBar.h"
#include "XTPControl.h"
#include "XTPControlPopup.h"
#include "XTPVisualStylesTheme.h"

IMPLEMENT_DYNAMIC(CXTPVisualStylesTheme, CXTPDefaultTheme)

CXTPVisualStylesTheme::CXTPVisualStylesTheme() : m_clrEdgeShadowColor(0), m_bFlatMenus(TRUE) {
  m_iconsInfo.bUseFadedIcons = TRUE;
  m_iconsInfo.bIconsWithShadow = FALSE;
  m_nPopupTextColor = COLOR_MENUTEXT;
}

CXTPVisualStylesTheme::~CXTPVisualStylesTheme() {
  m_themeRebar.CloseThemeData();
  m_themeToolbar.CloseThemeData();
  m_themeComboBox.CloseThemeData();
  m_themeStatusBar.CloseThemeData();
}

BOOL CXTPVisualStylesTheme::IsUsable(CXTPThemeHandle& hTheme) {
  return hTheme.IsOpen() && hTheme.IsAppThemed() && CXTPThemeHandle::IsThemingAvailable();
}

void CXTPVisualStylesTheme::RefreshMetrics() {
  CXTPDefaultTheme::RefreshMetrics();
  CWnd* pMainWnd = AfxGetMainWnd();
  const HWND hWnd = pMainWnd != NULL ? pMainWnd->GetSafeHwnd() : NULL;
  m_themeToolbar.OpenThemeData(hWnd, L"TOOLBAR");
  m_themeRebar.OpenThemeData(hWnd, L"REBAR");
  m_themeComboBox.OpenThemeData(hWnd, L"COMBOBOX");
  m_themeStatusBar.OpenThemeData(hWnd, L"STATUS");

  BOOL bFlat = FALSE;
  m_bFlatMenus = ::SystemParametersInfo(SPI_GETFLATMENU, 0, &bFlat, 0) ? bFlat : FALSE;

  COLORREF clr = 0;
  m_clrEdgeShadowColor = (IsUsable(m_themeRebar) &&
                          SUCCEEDED(m_themeRebar.GetThemeColor(RP_BAND, 0, TMT_EDGESHADOWCOLOR, &clr)))
                             ? clr
                             : GetColor(COLOR_BTNSHADOW);
  if (IsUsable(m_themeToolbar) && SUCCEEDED(m_themeToolbar.GetThemeColor(0, 0, TMT_TEXTCOLOR, &clr))) {
    const int nIndex = COLOR_BTNTEXT;
    SetColors(1, &nIndex, &clr);
  }
  if (IsUsable(m_themeRebar) && SUCCEEDED(m_themeRebar.GetThemeColor(0, 0, TMT_FILLCOLORHINT, &clr))) {
    const int nIndex = COLOR_BTNFACE;
    SetColors(1, &nIndex, &clr);
  }
  if (IsUsable(m_themeStatusBar) &&
      SUCCEEDED(m_themeStatusBar.GetThemeColor(SP_PANE, 0, TMT_TEXTCOLOR, &clr)))
    m_clrStatusTextColor = clr;
}

// ---- Buttons ------------------------------------------------------------------------------
void CXTPVisualStylesTheme::FillItemRect(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled,
                                         BOOL bChecked, BOOL bPopuped, BOOL bToolBar, int barPosition) {
  if (pDC == NULL) return;
  if (!IsUsable(m_themeToolbar)) {
    CXTPDefaultTheme::FillItemRect(pDC, rc, nSelected, nPressed, bEnabled, bChecked, bPopuped,
                                   bToolBar, barPosition);
    return;
  }
  int nState = TS_NORMAL;
  if (!bEnabled)
    nState = bChecked ? TS_PRESSED : TS_DISABLED;
  else if (bPopuped)
    nState = TS_PRESSED;
  else if (bChecked && !nPressed)
    nState = nSelected ? TS_HOTCHECKED : TS_CHECKED;
  else if (nPressed == 2 || (nSelected && nPressed))
    nState = TS_PRESSED;
  else if (nSelected)
    nState = TS_HOT;
  m_themeToolbar.DrawThemeBackground(pDC->GetSafeHdc(), TP_BUTTON, nState, rc, NULL);
}

void CXTPVisualStylesTheme::DrawSplitItemFrame(CDC* pDC, CXTPControl* pControl, CRect rc) {
  if (pDC == NULL || pControl == NULL) return;
  if (!IsUsable(m_themeToolbar)) {
    CXTPDefaultTheme::DrawSplitItemFrame(pDC, pControl, rc);
    return;
  }
  const BOOL bPopuped = pControl->GetType() == xtpControlSplitButtonPopup &&
                        static_cast<CXTPControlPopup*>(pControl)->GetPopupOpen();
  int nState = TS_NORMAL;
  if (!pControl->GetEnabled())
    nState = TS_DISABLED;
  else if (pControl->GetPressed() && pControl->GetSelected())
    nState = TS_PRESSED;
  else if (pControl->GetChecked())
    nState = TS_CHECKED;
  else if (bPopuped || pControl->GetSelected())
    nState = TS_HOT;
  const HDC hDC = pDC->GetSafeHdc();
  const CRect rcMain(rc.left, rc.top, rc.right - 12, rc.bottom);
  const CRect rcArrow(rc.right - 12, rc.top, rc.right, rc.bottom);
  m_themeToolbar.DrawThemeBackground(hDC, TP_SPLITBUTTON, nState, rcMain, NULL);
  m_themeToolbar.DrawThemeBackground(hDC, TP_SPLITBUTTONDROPDOWN, bPopuped ? TS_PRESSED : nState,
                                     rcArrow, NULL);
  pDC->SetTextColor(GetColor(pControl->GetEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  pDC->SetBkMode(TRANSPARENT);
}

// ---- Bars ---------------------------------------------------------------------------------
// The REBAR background of the parent drawn under the window, so that the bars of one dock
// bar share one picture; without a usable class a plain fill.
static void FillRebarBackground(CXTPVisualStylesTheme* pTheme, CDC* pDC, CWnd* pWnd) {
  CRect rcClient;
  pWnd->GetClientRect(&rcClient);
  if (!CXTPVisualStylesTheme::IsUsable(pTheme->m_themeRebar)) {
    pDC->FillSolidRect(rcClient, pTheme->GetColor(COLOR_BTNFACE));
    return;
  }
  CWnd* pParent = pWnd->GetParent();
  CRect rcParent;
  if (pParent != NULL) {
    pParent->GetWindowRect(&rcParent);
    pWnd->ScreenToClient(&rcParent);
  } else {
    rcParent = rcClient;
  }
  if (FAILED(pTheme->m_themeRebar.DrawThemeBackground(pDC->GetSafeHdc(), 0, 0, rcParent, rcClient)))
    pDC->FillSolidRect(rcClient, pTheme->GetColor(COLOR_BTNFACE));
}

void CXTPVisualStylesTheme::DrawBarBackground(CDC* pDC, CXTPCommandBar* pBar) {
  if (pDC == NULL || pBar == NULL || pBar->GetSafeHwnd() == NULL) return;
  if (!IsUsable(m_themeRebar)) {
    CXTPDefaultTheme::DrawBarBackground(pDC, pBar);
    return;
  }
  CRect rc;
  pBar->GetClientRect(&rc);
  // The raised double frame of popup and floating bars.
  auto doubleFrame = [&]() {
    Draw3dRect(pDC, rc, COLOR_BTNFACE, COLOR_3DDKSHADOW);
    CRect rcInner(rc);
    rcInner.DeflateRect(1, 1);
    Draw3dRect(pDC, rcInner, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
  };
  switch (pBar->GetPosition()) {
    case xtpBarPopup:
      pDC->FillSolidRect(rc, GetColor(COLOR_MENU));
      if (m_bFlatMenus)
        Draw3dRect(pDC, rc, COLOR_BTNSHADOW, COLOR_BTNSHADOW);
      else
        doubleFrame();
      return;
    case xtpBarFloating:
      pDC->FillSolidRect(rc, GetColor(COLOR_BTNFACE));
      doubleFrame();
      return;
    case xtpBarTop:
      FillRebarBackground(this, pDC, pBar);
      break;
    case xtpBarBottom:
    case xtpBarLeft:
    case xtpBarRight:
      pDC->FillSolidRect(rc, GetColor(COLOR_BTNFACE));
      break;
    default:
      return;
  }
  pDC->Draw3dRect(rc, GetColor(COLOR_BTNHIGHLIGHT), m_clrEdgeShadowColor);
}

void CXTPVisualStylesTheme::FillDockBar(CDC* pDC, CWnd* pWnd) {
  if (pDC == NULL || pWnd == NULL || pWnd->GetSafeHwnd() == NULL) return;
  // The top dock bar is the one whose control id is the top docking id.
  if (pWnd->GetDlgCtrlID() == AFX_IDW_DOCKBAR_TOP) {
    FillRebarBackground(this, pDC, pWnd);
    return;
  }
  CXTPDefaultTheme::FillDockBar(pDC, pWnd);
}

CSize CXTPVisualStylesTheme::DrawGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) {
  if (pDC == NULL || pBar == NULL) return CSize(0, 0);
  if (!IsUsable(m_themeRebar)) return CXTPDefaultTheme::DrawGripper(pDC, pBar, bDraw);
  if (pBar->IsFloatingFrameGripper()) return DrawFloatingGripper(pDC, pBar, bDraw);
  CRect rc;
  if (pBar->GetSafeHwnd() != NULL) pBar->GetClientRect(&rc);
  switch (pBar->GetPosition()) {
    case xtpBarTop:
    case xtpBarBottom:
      if (bDraw)
        m_themeRebar.DrawThemeBackground(pDC->GetSafeHdc(), RP_GRIPPER, 1,
                                         CRect(rc.left + 2, rc.top, rc.left + 8, rc.bottom), NULL);
      return CSize(8, 0);
    case xtpBarLeft:
    case xtpBarRight:
      if (bDraw)
        m_themeRebar.DrawThemeBackground(pDC->GetSafeHdc(), RP_GRIPPERVERT, 1,
                                         CRect(rc.left, rc.top + 2, rc.right, rc.top + 8), NULL);
      return CSize(0, 8);
    case xtpBarFloating:
      return CXTPDefaultTheme::DrawGripper(pDC, pBar, bDraw);
    default:
      return CSize(0, 0);
  }
}

CSize CXTPVisualStylesTheme::DrawFloatingGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) {
  if (!IsUsable(m_themeRebar)) return CXTPDefaultTheme::DrawFloatingGripper(pDC, pBar, bDraw);
  const int h = (m_nTextHeight >= 18 && m_nTextHeight <= 0x7FFFFFFB) ? m_nTextHeight + 4 : 22;
  if (bDraw && pDC != NULL)
    m_themeRebar.DrawThemeBackground(pDC->GetSafeHdc(), RP_GRIPPER, 1, CRect(2, 3, 8, h), NULL);
  return CSize(8, h);
}

void CXTPVisualStylesTheme::AdjustPopupExcludeRect(CRect& rcExclude, CXTPControl* pControl, BOOL bVertical) {
  if (!IsUsable(m_themeRebar)) {
    CXTPDefaultTheme::AdjustPopupExcludeRect(rcExclude, pControl, bVertical);
    return;
  }
  if (pControl == NULL || pControl->GetType() == xtpControlComboBox) return;
  CXTPCommandBar* pBar = pControl->GetParent();
  if (pBar != NULL && pBar->GetType() == xtpBarTypePopup) rcExclude.InflateRect(-3, 3);
}

// ---- Status bar ---------------------------------------------------------------------------
void CXTPVisualStylesTheme::FillStatusBar(CDC* pDC, CWnd* pWnd) {
  if (pDC == NULL || pWnd == NULL || pWnd->GetSafeHwnd() == NULL) return;
  CRect rc;
  pWnd->GetClientRect(&rc);
  if (!IsUsable(m_themeStatusBar) ||
      FAILED(m_themeStatusBar.DrawThemeBackground(pDC->GetSafeHdc(), 0, 0, rc, NULL)))
    CXTPDefaultTheme::FillStatusBar(pDC, pWnd);
}

void CXTPVisualStylesTheme::DrawStatusBarPaneBorder(CDC* pDC, CRect rc) {
  if (pDC == NULL) return;
  if (!IsUsable(m_themeStatusBar) ||
      FAILED(m_themeStatusBar.DrawThemeBackground(pDC->GetSafeHdc(), SP_PANE, 0, rc, NULL)))
    CXTPDefaultTheme::DrawStatusBarPaneBorder(pDC, rc);
}

void CXTPVisualStylesTheme::DrawStatusBarGripper(CDC* pDC, CRect rcClient) {
  if (pDC == NULL) return;
  const CRect rcGripper(rcClient.right - 18, rcClient.top, rcClient.right, rcClient.bottom);
  if (!IsUsable(m_themeStatusBar) ||
      FAILED(m_themeStatusBar.DrawThemeBackground(pDC->GetSafeHdc(), SP_GRIPPER, 0, rcGripper, NULL)))
    CXTPDefaultTheme::DrawStatusBarGripper(pDC, rcClient);
}

// ---- Combo boxes --------------------------------------------------------------------------
void CXTPVisualStylesTheme::DrawComboFrame(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bSelected) {
  if (pDC == NULL) return;
  if (!IsUsable(m_themeComboBox)) {
    CXTPDefaultTheme::DrawComboFrame(pDC, rc, bEnabled, bSelected);
    return;
  }
  COLORREF clr = 0;
  if (FAILED(m_themeComboBox.GetThemeColor(CP_DROPDOWNBUTTON, bEnabled ? 1 : 4, TMT_BORDERCOLOR, &clr)))
    clr = GetColor(COLOR_BTNSHADOW);
  pDC->Draw3dRect(rc, clr, clr);
}

void CXTPVisualStylesTheme::DrawComboDropDown(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bSelected,
                                              BOOL bDropped) {
  if (pDC == NULL) return;
  if (!IsUsable(m_themeComboBox)) {
    CXTPDefaultTheme::DrawComboDropDown(pDC, rc, bEnabled, bSelected, bDropped);
    return;
  }
  const int nState = !bEnabled ? 4 : bDropped ? 3 : bSelected ? 2 : 1;
  rc.left += 2;
  rc.InflateRect(0, 1, 1, 1);
  m_themeComboBox.DrawThemeBackground(pDC->GetSafeHdc(), CP_DROPDOWNBUTTON, nState, rc, NULL);
}
