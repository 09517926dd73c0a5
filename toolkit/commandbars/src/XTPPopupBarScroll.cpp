// Popup bars taller than the work area scroll their controls between an up and a down
// arrow; a popup with a tear-off gripper can be dragged off into a floating toolbar. Both
// run on window timers of the popup (5001/5002 while the cursor rests on an arrow, 5003
// while it is near the gripper). The expand row of short menus lives here as well, since
// the scroll layout places it.
#include <framework.h>

#include <algorithm>

#include "XTPColorManager.h"
#include "XTPCommandBars.h"
#include "XTPControl.h"
#include "XTPControlButton.h"
#include "XTPControls.h"
#include "XTPModalLoop.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"
#include "XTPShadowManager.h"
#include "XTPToolBar.h"

namespace {
const int kArrowBand = 16;       // height of an arrow band
const UINT kScrollDelay = 80;    // ms between scroll steps
const UINT kTearOffDelay = 80;   // ms between gripper hot checks
const int kTearOffReach = 10;    // pixels around the gripper that still count as on it
const int kIdExpandButton = 9402;
const int kFallbackSeparator = 6;

// Hide flags a control has apart from being scrolled out of view.
DWORD OtherHideFlags(const CXTPControl* pControl) {
  return pControl->GetHideFlags() & ~(DWORD)xtpHideScroll;
}
}  // namespace

// ---- The expand row ------------------------------------------------------------------------
// The row at the bottom of a short menu; executing it shows every command.
class CXTPPopupExpandButton : public CXTPControlButton {
 public:
  CXTPPopupExpandButton() { m_dwFlags = 0x5A; }
  CSize GetSize(CDC* pDC) override {
    CXTPPaintManager* pPaintManager = GetPaintManager();
    const CSize sz = pPaintManager != NULL
                         ? pPaintManager->DrawSpecialControl(pDC, xtpButtonExpandMenu, this, m_pParent, FALSE, NULL)
                         : CSize(0, 12);
    return CSize(m_rcControl.Width(), sz.cy);
  }
  void Draw(CDC* pDC) override {
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (pPaintManager != NULL)
      pPaintManager->DrawSpecialControl(pDC, xtpButtonExpandMenu, this, m_pParent, TRUE, NULL);
  }
  void Execute() override {
    if (m_pParent != NULL && m_pParent->IsKindOf(RUNTIME_CLASS(CXTPPopupBar)))
      ((CXTPPopupBar*)m_pParent)->ExpandBar();
  }
  void OnLButtonUp(CPoint) override {
    if (m_bEnabled) Execute();
  }
  void OnClick(BOOL bKeyboard, CPoint) override {
    if (bKeyboard && m_bEnabled) Execute();
  }
};

CXTPControl* CXTPPopupBar::GetExpandButton() const {
  CXTPControls* pControls = GetControls();
  if (pControls == NULL) return NULL;
  for (int i = 0; i < pControls->GetCount(); i++) {
    CXTPControl* pControl = pControls->GetAt(i);
    if (pControl->GetID() == kIdExpandButton) return pControl;
  }
  return NULL;
}

int CXTPPopupBar::GetExpandButtonHeight() {
  CXTPControl* pButton = GetExpandButton();
  if (pButton == NULL || !pButton->IsVisible()) return 0;
  CXTPPaintManager* pPaintManager = GetPaintManager();
  if (pPaintManager == NULL) return 12;
  CClientDC dc(m_hWnd != NULL ? this : CWnd::GetDesktopWindow());
  return pPaintManager->DrawSpecialControl(&dc, xtpButtonExpandMenu, pButton, this, FALSE, NULL).cy;
}

int CXTPPopupBar::GetTearOffGripperHeight() {
  if (!m_bTearOffPopup) return 0;
  CXTPPaintManager* pPaintManager = GetPaintManager();
  if (pPaintManager == NULL) return 0;
  return pPaintManager->DrawTearOffGripper(NULL, CRect(0, 0, 0, 0), FALSE, FALSE).cy;
}

int CXTPPopupBar::ShowExpandRow(BOOL bShow) {
  CXTPControl* pButton = GetExpandButton();
  if (!bShow) {
    if (pButton != NULL) pButton->SetHideFlags(xtpHideGeneric);
    return 0;
  }
  if (pButton == NULL) {
    pButton = GetControls()->Add(new CXTPPopupExpandButton(), kIdExpandButton);
    if (pButton == NULL) return 0;
  }
  pButton->SetHideFlags(xtpHideNone);
  pButton->SetBeginGroup(FALSE);
  return GetExpandButtonHeight();
}

// ---- Scrolling -------------------------------------------------------------------------------
void CXTPPopupBar::RecalcScroll(CSize sz, BOOL bFromBottom, BOOL bRedraw) {
  m_scrollDown.rc.SetRectEmpty();
  m_scrollUp.rc.SetRectEmpty();
  CXTPControls* pControls = GetControls();
  if (pControls == NULL) return;
  const int nCount = pControls->GetCount();
  int nHeight = sz.cy;
  if (nHeight <= 0 && m_hWnd != NULL) {
    CRect rcClient;
    GetClientRect(&rcClient);
    nHeight = rcClient.Height();
    sz.cx = rcClient.Width();
  }
  CXTPPaintManager* pPaintManager = GetPaintManager();
  const CRect rcBorder = pPaintManager != NULL ? pPaintManager->GetCommandBarBorders(this) : CRect(2, 2, 2, 2);
  const int nTearOff = GetTearOffGripperHeight();
  CXTPControl* pExpand = GetExpandButton();
  const int nExpand = GetExpandButtonHeight();
  const int nTop = rcBorder.top + nTearOff;        // first client row below the gripper
  const int nBottom = nHeight - rcBorder.bottom - nExpand;  // last row above the expand row
  const int nLeft = rcBorder.left, nRight = sz.cx - rcBorder.right;

  // The row width the layout gave; the arrows span the same columns.
  auto place = [&](CXTPControl* pControl, int y, int h) {
    CRect rc = pControl->GetRect();
    pControl->SetRect(CRect(rc.left, y, rc.right, y + h));
  };
  auto isRow = [&](CXTPControl* pControl) { return pControl != pExpand && OtherHideFlags(pControl) == 0; };

  int nFirst = 0, nEnd = nCount;
  if (bFromBottom) {
    nEnd = m_nScrollEnd;
    if (nEnd == nCount - 1) nEnd = nCount;
    nEnd = std::max(0, std::min(nEnd, nCount));
    int y = nBottom;
    if (nEnd != nCount) {
      m_scrollDown.rc = CRect(nLeft, nBottom - kArrowBand, nRight, nBottom);
      y = m_scrollDown.rc.top;
    }
    // Upwards from the end until a control would reach into the up arrow's band.
    int i = nEnd - 1;
    for (; i >= 0; i--) {
      CXTPControl* pControl = pControls->GetAt(i);
      if (!isRow(pControl)) continue;
      const int h = pControl->GetRect().Height();
      if (y - h < nTop + kArrowBand) break;
      place(pControl, y - h, h);
      y -= h;
      // A control that begins a group keeps a separator's room above it.
      if (pControl->GetBeginGroup()) y -= kFallbackSeparator;
    }
    nFirst = i + 1;
    if (i >= 0) m_scrollUp.rc = CRect(nLeft, nTop, nRight, nTop + kArrowBand);
  } else {
    nFirst = m_nScrollFirst == 1 ? 0 : std::max(0, std::min(m_nScrollFirst, nCount));
    int y = nTop;
    if (nFirst > 0) {
      m_scrollUp.rc = CRect(nLeft, nTop, nRight, nTop + kArrowBand);
      y = m_scrollUp.rc.bottom;
    }
    // Downwards while a control's bottom stays clear of the down arrow's band.
    int i = nFirst;
    BOOL bAny = FALSE;
    for (; i < nCount; i++) {
      CXTPControl* pControl = pControls->GetAt(i);
      if (!isRow(pControl)) continue;
      const int nSep = (bAny && pControl->GetBeginGroup()) ? kFallbackSeparator : 0;
      const int h = pControl->GetRect().Height();
      if (y + nSep + h > nBottom - kArrowBand) break;
      y += nSep;
      place(pControl, y, h);
      y += h;
      bAny = TRUE;
    }
    nEnd = i;
    if (nEnd != nCount) m_scrollDown.rc = CRect(nLeft, nBottom - kArrowBand, nRight, nBottom);
  }
  m_nScrollFirst = nFirst;
  m_nScrollEnd = nEnd;

  for (int i = 0; i < nCount; i++) {
    CXTPControl* pControl = pControls->GetAt(i);
    if (pControl == pExpand) continue;
    const DWORD dwFlags = pControl->GetHideFlags() & ~(DWORD)xtpHideScroll;
    pControl->SetHideFlags((i >= nFirst && i < nEnd) ? dwFlags : (dwFlags | xtpHideScroll));
  }
  if (pExpand != NULL && nExpand > 0) {
    CRect rc = pExpand->GetRect();
    pExpand->SetRect(CRect(rc.left, nHeight - rcBorder.bottom - nExpand, rc.right, nHeight - rcBorder.bottom));
  }
  m_rcTearOffGripper = CRect(nLeft, rcBorder.top, nRight, rcBorder.top + nTearOff);
  if (bRedraw && m_hWnd != NULL) Invalidate(FALSE);
}

void CXTPPopupBar::TrackScrollArrows(CPoint point) {
  if (!m_bScrolling || m_hWnd == NULL) return;
  CScrollInfo* arrows[2] = {&m_scrollDown, &m_scrollUp};
  for (CScrollInfo* pArrow : arrows) {
    const BOOL bOver = !pArrow->rc.IsRectEmpty() && pArrow->rc.PtInRect(point);
    if (bOver && pArrow->nTimer == 0) {
      pArrow->nTimer = SetTimer(pArrow->nIDEvent, kScrollDelay, NULL);
      SetPopuped(-1);
    } else if (!bOver && pArrow->nTimer != 0) {
      KillTimer(pArrow->nIDEvent);
      pArrow->nTimer = 0;
    }
  }
}

BOOL CXTPPopupBar::OnScrollTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == XTP_TID_SCROLLDOWN || nIDEvent == XTP_TID_SCROLLUP) {
    const BOOL bDown = nIDEvent == XTP_TID_SCROLLDOWN;
    CScrollInfo& arrow = bDown ? m_scrollDown : m_scrollUp;
    const int nCount = GetControlCount();
    const BOOL bAtEnd = bDown ? (m_nScrollEnd >= nCount) : (m_nScrollFirst <= 0);
    if (!m_bScrolling || bAtEnd) {
      KillTimer(nIDEvent);
      arrow.nTimer = 0;
      return TRUE;
    }
    CRect rcClient;
    GetClientRect(&rcClient);
    if (bDown) {
      m_nScrollEnd++;
      RecalcScroll(rcClient.Size(), TRUE, TRUE);
    } else {
      m_nScrollFirst--;
      RecalcScroll(rcClient.Size(), FALSE, TRUE);
    }
    return TRUE;
  }
  if (nIDEvent == XTP_TID_TEAROFF) {
    CPoint pt;
    ::GetCursorPos(&pt);
    ScreenToClient(&pt);
    if (m_rcTearOffGripper.PtInRect(pt)) {
      if (!m_bTearOffSelected) {
        m_bTearOffSelected = TRUE;
        Invalidate(FALSE);
      }
    } else if (!m_bTearOffTracking) {
      m_bTearOffSelected = FALSE;
      Invalidate(FALSE);
      KillTimer(XTP_TID_TEAROFF);
      m_nTearOffTimer = 0;
    }
    return TRUE;
  }
  return FALSE;
}

void CXTPPopupBar::DrawScrollArrows(CDC* pDC) {
  CXTPPaintManager* pPaintManager = GetPaintManager();
  if (pPaintManager == NULL) return;
  const COLORREF clr = XTPGetColorManager()->GetColor(COLOR_BTNTEXT);
  if (!m_scrollDown.rc.IsRectEmpty()) {
    const CPoint c((m_scrollDown.rc.left + m_scrollDown.rc.right) / 2,
                   (m_scrollDown.rc.top + m_scrollDown.rc.bottom) / 2);
    pPaintManager->Triangle(pDC, CPoint(c.x - 3, c.y), CPoint(c.x + 3, c.y), CPoint(c.x, c.y + 3), clr);
  }
  if (!m_scrollUp.rc.IsRectEmpty()) {
    const CPoint c((m_scrollUp.rc.left + m_scrollUp.rc.right) / 2, (m_scrollUp.rc.top + m_scrollUp.rc.bottom) / 2);
    pPaintManager->Triangle(pDC, CPoint(c.x - 3, c.y), CPoint(c.x + 3, c.y), CPoint(c.x, c.y - 3), clr);
  }
  if (m_bTearOffPopup && GetControlCount() > 0)
    pPaintManager->DrawTearOffGripper(pDC, m_rcTearOffGripper, m_bTearOffSelected, TRUE);
}

// ---- Tear-off --------------------------------------------------------------------------------
void CXTPPopupBar::TrackTearOffGripper(CPoint point) {
  if (!m_bTearOffPopup || IsCustomizeMode() || m_bTearOffSelected || m_nTearOffTimer != 0) return;
  if (!m_rcTearOffGripper.PtInRect(point)) return;
  SetPopuped(-1);
  SetSelected(-1);
  m_nTearOffTimer = SetTimer(XTP_TID_TEAROFF, kTearOffDelay, NULL);
}

BOOL CXTPPopupBar::TrackTearOff() {
  if (::GetCapture() != NULL || m_hWnd == NULL) return FALSE;
  const HWND hWnd = m_hWnd;
  m_pTearOffBar = NULL;
  CRect rcGripper = m_rcTearOffGripper;
  ClientToScreen(&rcGripper);
  rcGripper.InflateRect(kTearOffReach, kTearOffReach);
  ::SetCapture(hWnd);
  BOOL bInside = TRUE;
  CPoint ptLast(INT_MIN, INT_MIN);
  ::GetCursorPos(&ptLast);
  while (::GetCapture() == hWnd) {
    MSG msg;
    // Windows uncovered by the moving bar repaint before the next move.
    if (!XTPGetModalLoopMessage(msg, TRUE)) break;
    if (msg.message == WM_LBUTTONUP) break;
    if (msg.message == WM_KEYDOWN) {
      if (msg.wParam == VK_ESCAPE) break;
      continue;
    }
    if (msg.message != WM_MOUSEMOVE) {
      ::TranslateMessage(&msg);
      ::DispatchMessage(&msg);
      continue;
    }
    CPoint pt;
    ::GetCursorPos(&pt);
    if (pt == ptLast) {
      ::DispatchMessage(&msg);
      continue;
    }
    ptLast = pt;
    const BOOL bNowInside = rcGripper.PtInRect(pt);
    if (bNowInside != bInside) {
      bInside = bNowInside;
      SwitchTearOff(bInside, pt);
    }
    CXTPCommandBar* pTorn = m_pTearOffBar;
    if (pTorn != NULL && pTorn->GetSafeHwnd() != NULL)
      pTorn->SetWindowPos(NULL, pt.x - m_szTearOffBar.cx / 2, pt.y - kTearOffReach, m_szTearOffBar.cx,
                          m_szTearOffBar.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (::GetCapture() == hWnd) ::ReleaseCapture();
  const BOOL bTorn = m_pTearOffBar != NULL && !bInside;
  if (m_pTearOffBar != NULL) {
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars != NULL) pCommandBars->RecalcFrameLayout();
  }
  m_pTearOffBar = NULL;
  return bTorn || !bInside;
}

void CXTPPopupBar::SwitchTearOff(BOOL bInside, CPoint ptScreen) {
  if (bInside) {
    ShowWindow(SW_SHOWNA);
    if (m_bShowShadow && m_barPosition == xtpBarPopup) XTPShadowManager()->SetShadow(this, m_rcExclude);
    CXTPCommandBar* pTorn = m_pTearOffBar;
    m_pTearOffBar = NULL;
    if (pTorn != NULL) pTorn->SetVisible(FALSE);
    return;
  }
  XTPShadowManager()->RemoveShadow(this);
  ShowWindow(SW_HIDE);
  if (m_pTearOffBar != NULL) return;
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars == NULL) return;
  CXTPToolBar* pToolBar = m_nTearOffID != 0 ? pCommandBars->GetToolBar(m_nTearOffID) : NULL;
  if (pToolBar != NULL) {
    pToolBar->SetPosition(xtpBarFloating);
    pToolBar->SetVisible(TRUE);
    pCommandBars->RecalcFrameLayout();
  } else {
    pToolBar = pCommandBars->AddCustomBar(m_strTearOffCaption, m_nTearOffID, TRUE);
    if (pToolBar == NULL) return;
    pToolBar->SetTearOff(TRUE);
    pToolBar->SetMRUWidth(m_nTearOffWidth);
    CXTPControls* pControls = GetControls();
    CXTPControl* pExpand = GetExpandButton();
    for (int i = 0; i < pControls->GetCount(); i++) {
      CXTPControl* pControl = pControls->GetAt(i);
      if (pControl == pExpand) continue;
      CXTPControl* pCopy = pToolBar->GetControls()->AddClone(pControl, -1, TRUE);
      if (pCopy != NULL)
        pCopy->SetHideFlags(pCopy->GetHideFlags() & ~(DWORD)(xtpHideExpand | xtpHideScroll));
    }
  }
  m_pTearOffBar = pToolBar;
  if (pToolBar->GetSafeHwnd() == NULL) return;
  m_szTearOffBar = pToolBar->CalcLayout(-1, LM_COMMIT | LM_MRUWIDTH | LM_HORZ);
  pToolBar->SetWindowPos(NULL, ptScreen.x - m_szTearOffBar.cx / 2, ptScreen.y - kTearOffReach, m_szTearOffBar.cx,
                         m_szTearOffBar.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  pToolBar->OnIdleUpdateCmdUI(TRUE);
  pToolBar->Invalidate(FALSE);
  pToolBar->UpdateWindow();
}
