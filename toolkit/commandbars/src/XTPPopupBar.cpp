// Popup bars: the window of drop-down menus, submenus and context menus. A popup never
// takes the activation; it lays its controls out as a vertical menu, places itself next to
// the control that opened it (or at a point) inside the monitor's work area, hides rarely
// used commands behind an expand row and casts a drop shadow while it is open.
#include <framework.h>

#include <algorithm>

#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPControl.h"
#include "XTPControlPopup.h"
#include "XTPControls.h"
#include "XTPDrawHelpers.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"
#include "XTPPopupToolBar.h"
#include "XTPShadowManager.h"
#include "XTPSoundManager.h"

IMPLEMENT_SERIAL(CXTPPopupBar, CXTPCommandBar, VERSIONABLE_SCHEMA | 0x10)
IMPLEMENT_SERIAL(CXTPPopupToolBar, CXTPPopupBar, VERSIONABLE_SCHEMA | 0x10)

#ifndef WM_FLOATSTATUS
#define WM_FLOATSTATUS 0x036D
#endif

namespace {
const UINT kIdExpandButton = 9402;
const UINT kClassStyle = CS_SAVEBITS | CS_DBLCLKS;
const DWORD kPopupStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | 0x100;
const int kMinMenuWidth = 22;
const int kFallbackSeparator = 6;
const DWORD kFlagLeftPopup = 0x04;  // a control whose popup opens to the left

LPCTSTR PopupClassName() {
  static CString s_strClass;
  if (s_strClass.IsEmpty())
    s_strClass = AfxRegisterWndClass(kClassStyle, ::LoadCursor(NULL, IDC_ARROW), NULL, NULL);
  return s_strClass;
}
}  // namespace

namespace {
CRect AFX_CDECL MonitorWorkArea(LPCRECT lpExclude, POINT pt) {
  return lpExclude != NULL ? CXTPMultiMonitor::GetWorkArea(lpExclude) : CXTPMultiMonitor::GetWorkArea(pt);
}
CXTPPopupBar::PFNGETWORKAREA g_pfnGetWorkArea = &MonitorWorkArea;
}  // namespace

CXTPPopupBar::PFNGETWORKAREA AFX_CDECL CXTPPopupBar::SetWorkAreaProc(PFNGETWORKAREA pfn) {
  PFNGETWORKAREA pfnOld = g_pfnGetWorkArea;
  g_pfnGetWorkArea = pfn != NULL ? pfn : &MonitorWorkArea;
  return pfnOld;
}

BEGIN_MESSAGE_MAP(CXTPPopupBar, CXTPCommandBar)
  ON_WM_MOUSEMOVE()
  ON_WM_MOUSEACTIVATE()
  ON_WM_LBUTTONDOWN()
  ON_WM_TIMER()
  ON_WM_NCACTIVATE()
  ON_MESSAGE(WM_FLOATSTATUS, OnFloatStatus)
END_MESSAGE_MAP()

CXTPPopupBar::CXTPPopupBar()
    : m_pControlPopup(NULL),
      m_ptPopup(0, 0),
      m_rcExclude(0, 0, 0, 0),
      m_popupFlags(0),
      m_bDynamicLayout(FALSE),
      m_bCollapsed(FALSE),
      m_bExpanded(FALSE),
      m_bAnimate(FALSE),
      m_bTearOffPopup(FALSE),
      m_rcTearOffGripper(0, 0, 0, 0),
      m_bTearOffSelected(FALSE),
      m_nTearOffTimer(0),
      m_bTearOffTracking(FALSE),
      m_szTearOffBar(0, 0),
      m_pTearOffBar(NULL),
      m_nTearOffID(0),
      m_nTearOffWidth(0),
      m_bShowShadow(TRUE),
      m_rcBorders(2, 4, 2, 4),
      m_bDoubleGripper(FALSE),
      m_bScrolling(FALSE),
      m_nScrollFirst(0),
      m_nScrollEnd(0) {
  m_barType = xtpBarTypePopup;
  m_barPosition = xtpBarPopup;
  m_nMRUWidth = 0;
  m_scrollDown = {CRect(0, 0, 0, 0), 0, this, XTP_TID_SCROLLDOWN};
  m_scrollUp = {CRect(0, 0, 0, 0), 0, this, XTP_TID_SCROLLUP};
}

CXTPPopupBar::~CXTPPopupBar() {
  if (m_hWnd != NULL) {
    XTPShadowManager()->RemoveShadow(this);
    CWnd::DestroyWindow();
  }
}

CXTPPopupBar* AFX_CDECL CXTPPopupBar::CreatePopupBar(CXTPCommandBars* pCommandBars) {
  CXTPPopupBar* pBar = (CXTPPopupBar*)RUNTIME_CLASS(CXTPPopupBar)->CreateObject();
  if (pBar != NULL) pBar->SetCommandBars(pCommandBars);
  return pBar;
}

BOOL CXTPPopupBar::DestroyWindow() {
  if (m_hWnd == NULL) return FALSE;
  // Hosted child windows survive: hidden and handed to the site first.
  CWnd* pSite = GetSite();
  HWND hChild = ::GetWindow(m_hWnd, GW_CHILD);
  while (hChild != NULL) {
    HWND hNext = ::GetWindow(hChild, GW_HWNDNEXT);
    ::ShowWindow(hChild, SW_HIDE);
    if (pSite != NULL && pSite->GetSafeHwnd() != NULL) ::SetParent(hChild, pSite->GetSafeHwnd());
    hChild = hNext;
  }
  XTPShadowManager()->RemoveShadow(this);
  return CWnd::DestroyWindow();
}

BOOL CXTPPopupBar::IsVisible() const { return m_hWnd != NULL && ::IsWindowVisible(m_hWnd); }

CXTPCommandBar* CXTPPopupBar::GetParentCommandBar() const {
  return m_pControlPopup != NULL ? m_pControlPopup->GetParent() : NULL;
}

void CXTPPopupBar::OnRecalcLayout() { DelayLayout(); }

// ---- Opening -----------------------------------------------------------------------------
BOOL CXTPPopupBar::PopupAt(int x, int y, LPCRECT rcExclude) {
  m_ptPopup = CPoint(x, y);
  m_rcExclude = rcExclude != NULL ? CRect(rcExclude) : CRect(0, 0, 0, 0);
  return Popup(NULL, FALSE);
}

BOOL CXTPPopupBar::Popup(CXTPControlPopup* pControlPopup, BOOL bSelectFirst) {
  m_pControlPopup = pControlPopup;
  if (m_hWnd == NULL) {
    DWORD dwExStyle = WS_EX_TOOLWINDOW;
    CXTPCommandBar* pParentBar = GetParentCommandBar();
    if (pParentBar != NULL && pParentBar->IsRTL()) dwExStyle |= WS_EX_LAYOUTRTL;
    CWnd* pSite = GetSite();
    HWND hOwner = pSite != NULL ? pSite->GetSafeHwnd() : NULL;
    if (!CreateEx(dwExStyle, PopupClassName(), m_strTitle, kPopupStyle, 0, 0, 0, 0, hOwner, NULL)) {
      m_pControlPopup = NULL;
      return FALSE;
    }
  }
  LockRedraw();
  CWnd* pTarget = GetCommandTarget();
  if (pTarget != NULL && pTarget->GetSafeHwnd() != NULL)
    pTarget->SendMessage(XTPM_INITCOMMANDSPOPUP, 0, (LPARAM)this);

  m_bTearOffSelected = FALSE;
  m_nTearOffTimer = 0;
  m_scrollDown.nTimer = m_scrollUp.nTimer = 0;
  m_bCollapsed = FALSE;
  m_bExpanded = IsCustomizeMode() || XTPMouseManager()->IsForceExpanded();

  UpdateLocation();
  const CSize sz = CalcLayout();
  SetPopupPos(sz.cx, sz.cy);

  CXTPCommandBar* pParentBar = GetParentCommandBar();
  if (m_pControlPopup != NULL && (pParentBar == NULL || pParentBar->GetSafeHwnd() == NULL)) {
    m_nLockRedraw = 0;
    DestroyWindow();
    m_pControlPopup = NULL;
    return FALSE;
  }

  const BOOL bAnimateFirst = (pParentBar == NULL || pParentBar->IsTrackingByMouse()) &&
                             !IsCustomizeMode() && ::GetWindow(m_hWnd, GW_CHILD) == NULL;
  SetTrackingMode(TRUE, bSelectFirst, FALSE);
  m_nStateFlags &= ~(stateLayoutDirty | stateRedrawPending);
  OnIdleUpdateCmdUI(TRUE);

  if (bAnimateFirst && GetAnimationType() != xtpAnimateNone && m_barType != xtpBarTypeNormal) {
    // Drawn at once through the paint manager's animation of the buffered bar.
    CXTPPaintManager* pPaintManager = GetPaintManager();
    if (pPaintManager != NULL) {
      CClientDC dc(this);
      CRect rc;
      GetClientRect(&rc);
      CDC dcMem;
      dcMem.CreateCompatibleDC(&dc);
      CBitmap bmp;
      bmp.CreateCompatibleBitmap(&dc, rc.Width(), rc.Height());
      CBitmap* pOld = dcMem.SelectObject(&bmp);
      DrawCommandBar(&dcMem, rc);
      pPaintManager->Animate(&dc, &dcMem, rc, GetAnimationType());
      dcMem.SelectObject(pOld);
      ValidateRect(NULL);
    }
    if (pParentBar != NULL) pParentBar->SetTrackingByMouse(FALSE);
  }
  XTPSoundManager()->PlaySystemSound(xtpSoundMenuPopup);

  if (m_bShowShadow && m_barPosition == xtpBarPopup) {
    XTPShadowManager()->RemoveShadow(this);
    XTPShadowManager()->SetShadow(this, m_rcExclude);
  }
  UnlockRedraw();
  UpdateWindow();
  return TRUE;
}

BOOL CXTPPopupBar::SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard) {
  if (!CXTPCommandBar::SetTrackingMode(bMode, bSelectFirst, bKeyboard)) return FALSE;
  if (bMode != xtpTrackingNone) {
    CXTPAccessible::NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPSTART, m_hWnd, OBJID_MENU, CHILDID_SELF);
    return TRUE;
  }
  CXTPAccessible::NotifyWinEvent(EVENT_SYSTEM_MENUPOPUPEND, m_hWnd, OBJID_MENU, CHILDID_SELF);
  KillTimer(XTP_TID_EXPANDPOPUP);
  DestroyWindow();
  CXTPCommandBar* pParentBar = GetParentCommandBar();
  if (pParentBar != NULL) pParentBar->SetPopuped(-1);
  CWnd* pSite = GetSite();
  if (pSite != NULL && pSite->GetSafeHwnd() != NULL) {
    pSite->SendMessage(XTPM_UNINITCOMMANDSPOPUP, 0, (LPARAM)this);
    ::Sleep(1);
  }
  m_pControlPopup = NULL;
  if (pSite != NULL && pSite->GetSafeHwnd() != NULL) pSite->UpdateWindow();
  return TRUE;
}

// ---- Location and placement --------------------------------------------------------------
void CXTPPopupBar::UpdateLocation() {
  if (m_pControlPopup == NULL) return;
  CXTPCommandBar* pParentBar = m_pControlPopup->GetParent();
  DWORD dwFlags = ((m_pControlPopup->GetFlags() & kFlagLeftPopup) != 0 || IsRTL()) ? xtpPopupLeft : 0;
  if (pParentBar != NULL) {
    switch (pParentBar->GetPosition()) {
      case xtpBarLeft:
      case xtpBarPopup:
        if (pParentBar->GetType() == xtpBarTypePopup &&
            (((CXTPPopupBar*)pParentBar)->m_popupFlags & xtpPopupLeft) != 0)
          dwFlags = xtpPopupLeft;
        break;
      case xtpBarRight:
        dwFlags = xtpPopupLeft;
        break;
      default:
        dwFlags |= xtpPopupDown;
        break;
    }
  }
  CRect rc = m_pControlPopup->GetRect();
  const BOOL bComboOnBar = m_pControlPopup->GetType() == xtpControlComboBox && pParentBar != NULL &&
                           pParentBar->GetType() != xtpBarTypePopup;
  if (bComboOnBar) dwFlags |= xtpPopupDown;
  if (pParentBar != NULL && pParentBar->GetSafeHwnd() != NULL) pParentBar->ClientToScreen(&rc);
  m_popupFlags = dwFlags;
  m_rcExclude = rc;
  m_ptPopup = (dwFlags & xtpPopupDown) ? CPoint(rc.left, rc.bottom) : CPoint(rc.right, rc.top);
}

CRect CXTPPopupBar::CalcPopupRect(int cx, int cy) {
  const CRect rcExclude = m_rcExclude;
  const CRect rcWork = g_pfnGetWorkArea(rcExclude.IsRectEmpty() ? NULL : &rcExclude, m_ptPopup);
  const int nBottom = rcWork.bottom - 5;
  // The vertical middle of the work area itself, wherever the area lies on the screen.
  const int nMiddle = (rcWork.top + nBottom) / 2;
  DWORD dwFlags = m_popupFlags;
  int x = m_ptPopup.x, y = m_ptPopup.y;
  BOOL bTooTall = FALSE;
  const BOOL bHasWidth = rcExclude.Width() > 0;
  const BOOL bHasHeight = rcExclude.Height() > 0;
  BOOL bLeftAtPoint = FALSE;

  if (dwFlags == (xtpPopupLeft | xtpPopupDown) && bHasWidth) {
    x = rcExclude.right - cx;
  } else if ((dwFlags & xtpPopupLeft) && bHasWidth) {
    x = rcExclude.left - cx;
  }
  if ((dwFlags & xtpPopupLeft) && !bHasWidth) {
    x -= cx;
    bLeftAtPoint = TRUE;
  }

  if (!bHasHeight && y > nBottom) {
    y -= cy;
  } else if (y + cy > nBottom) {
    if (!bHasHeight) {
      y = (y < nMiddle ? nBottom : y) - cy;
    } else if (!(dwFlags & xtpPopupDown)) {
      y = nBottom - cy;
    } else {
      y = rcExclude.top - cy;
      if (y < rcWork.top) {
        bTooTall = TRUE;
        if ((rcExclude.top + rcExclude.bottom) / 2 > nMiddle) {
          y = rcWork.top;
          cy = rcExclude.top - rcWork.top;
        } else {
          y = rcExclude.bottom;
          cy = nBottom - rcExclude.bottom;
        }
      }
    }
    y = std::max(y, (int)rcWork.top);
    if (y + cy > nBottom) {
      cy = nBottom - y;
      bTooTall = TRUE;
    }
  }

  if (x + cx > rcWork.right) {
    if (!bHasWidth && x > rcWork.right) {
      x -= cx;
    } else if (!bHasWidth) {
      x = rcWork.right - cx;
    } else {
      x = ((dwFlags & xtpPopupDown) ? rcWork.right : rcExclude.left) - cx;
      dwFlags |= xtpPopupLeft;
    }
  } else if (x < rcWork.left) {
    if (bHasWidth) {
      x = (dwFlags & xtpPopupDown) ? rcWork.left : rcExclude.right;
      dwFlags &= ~xtpPopupLeft;
    } else if (bLeftAtPoint) {
      // The work area's own left edge, not the screen's origin.
      x = rcWork.left;
      dwFlags &= ~xtpPopupLeft;
    }
  }

  m_ptPopup = CPoint(x, y);
  m_popupFlags = dwFlags;
  m_bScrolling = bTooTall && m_barType == xtpBarTypePopup;
  if (m_bScrolling) {
    m_nScrollFirst = 0;
    RecalcScroll(CSize(cx, cy), FALSE, FALSE);
  }
  return CRect(x, y, x + cx, y + cy);
}

void CXTPPopupBar::SetPopupPos(int cx, int cy) {
  const CRect rc = CalcPopupRect(cx, cy);
  UINT nFlags = SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER;
  if (::IsWindowVisible(m_hWnd)) nFlags |= SWP_NOZORDER;
  SetWindowPos(&CWnd::wndTopMost, rc.left, rc.top, rc.Width(), rc.Height(), nFlags);
}

XTPAnimationType CXTPPopupBar::GetAnimationType() const {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars == NULL || (m_hWnd != NULL && ::GetWindow(m_hWnd, GW_CHILD) != NULL))
    return xtpAnimateNone;
  const XTPAnimationType type = pCommandBars->GetCommandBarsOptions()->animationType;
  if (type == xtpAnimateWindowsDefault) {
    BOOL bAnimation = FALSE, bFade = FALSE;
    ::SystemParametersInfo(SPI_GETMENUANIMATION, 0, &bAnimation, 0);
    if (!bAnimation) return xtpAnimateNone;
    ::SystemParametersInfo(SPI_GETMENUFADE, 0, &bFade, 0);
    return bFade ? xtpAnimateFade : xtpAnimateSlide;
  }
  if (type == xtpAnimateRandom) {
    static const XTPAnimationType kTypes[3] = {xtpAnimateFade, xtpAnimateSlide, xtpAnimateUnfold};
    return kTypes[rand() % 3];
  }
  return type;
}

// ---- Layout ------------------------------------------------------------------------------
void CXTPPopupBar::UpdateShortcuts() {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars == NULL || !pCommandBars->GetCommandBarsOptions()->bShowShortcutTextInMenus) return;
  CXTPShortcutManager* pShortcuts = pCommandBars->GetShortcutManager();
  CXTPControls* pControls = GetControls();
  if (pShortcuts == NULL || pControls == NULL) return;
  // Each command shows the shortcut the table in force gives it; a text already naming one
  // of its shortcuts stays. Without any table the controls keep what they have. Once the
  // manager has a table of its own, a command it gives no shortcut shows none, not the one
  // its menu caption was written with (that key may run another command by now).
  const BOOL bOwnTable = pShortcuts->GetAccelerators() != NULL;
  for (int i = 0; i < pControls->GetCount(); i++) {
    CXTPControl* pControl = pControls->GetAt(i);
    if (pControl == NULL || !pControl->IsVisible() || pControl->GetID() == 0) continue;
    CString strShortcut = pControl->GetShortcutText();
    const BOOL bFound = pShortcuts->FindDefaultAccelerator((UINT)pControl->GetID(), strShortcut);
    if (bFound || strShortcut.IsEmpty()) pControl->SetShortcutText(strShortcut);
    if (!bFound && bOwnTable) pControl->SetCaptionShortcut(CString());
  }
}

CSize CXTPPopupBar::CalcLayout(int, DWORD) {
  m_bDynamicLayout = TRUE;
  CXTPControls* pControls = GetControls();
  // A control that stands for a list (the toolbars, the recent files, the windows) puts
  // its items behind itself first, so that everything is counted, marked and laid out
  // below; the last control first, as a list changes only what follows it.
  CXTPControl* pExpandBefore = GetExpandButton();
  for (int i = (pControls != NULL ? pControls->GetCount() : 0) - 1; i >= 0; i--) {
    CXTPControl* pControl = pControls->GetAt(i);
    if (pControl != NULL && pControl != pExpandBefore) pControl->OnBarLayout(0);
  }
  const int nCount = pControls != NULL ? pControls->GetCount() : 0;
  CRect rcWork;
  ::SystemParametersInfo(SPI_GETWORKAREA, 0, &rcWork, 0);
  CXTPPaintManager* pPaintManager = GetPaintManager();
  CRect rcBorder = pPaintManager != NULL ? pPaintManager->GetCommandBarBorders(this) : CRect(2, 2, 2, 2);
  const int nSeparator = kFallbackSeparator;
  const int nTearOff = GetTearOffGripperHeight();
  rcBorder.top += nTearOff;

  // Short menus: rarely used commands hide until the menu expands.
  CXTPCommandBars* pCommandBars = GetCommandBars();
  CArray<BOOL, BOOL> arrMark;
  arrMark.SetSize(nCount);
  if (pCommandBars == NULL || pCommandBars->GetCommandBarsOptions()->bAlwaysShowFullMenus) {
    m_bExpanded = TRUE;
    m_bCollapsed = FALSE;
  } else {
    m_bCollapsed = FALSE;
    BOOL bVisibleCommand = FALSE;
    for (int i = 0; i < nCount; i++) {
      CXTPControl* pControl = pControls->GetAt(i);
      const DWORD dwOther = pControl->GetHideFlags() & ~(DWORD)(xtpHideExpand | xtpHideScroll);
      arrMark[i] = FALSE;
      if (pCommandBars->IsControlHidden(pControl)) {
        arrMark[i] = dwOther == 0;
      } else if (dwOther == 0 && pControl->GetID() != (int)kIdExpandButton) {
        bVisibleCommand = TRUE;
      }
    }
    for (int i = 0; i < nCount; i++) {
      CXTPControl* pControl = pControls->GetAt(i);
      DWORD dwFlags = pControl->GetHideFlags() & ~(DWORD)xtpHideExpand;
      if (arrMark[i] && !m_bExpanded && bVisibleCommand) {
        dwFlags |= xtpHideExpand;
        m_bCollapsed = TRUE;
      }
      pControl->SetHideFlags(dwFlags);
    }
  }

  // The expand row sits below the controls of a short menu.
  const int nExpand = ShowExpandRow(m_bCollapsed);
  CXTPControl* pExpand = GetExpandButton();
  const int nCountAll = pControls != NULL ? pControls->GetCount() : 0;
  rcBorder.bottom += nExpand;
  UpdateShortcuts();

  CClientDC dc(m_hWnd != NULL ? this : CWnd::GetDesktopWindow());
  CFont* pFont = pPaintManager != NULL ? pPaintManager->GetControlFont(this, FALSE) : NULL;
  CFont* pOldFont = pFont != NULL ? dc.SelectObject(pFont) : NULL;
  int y = rcBorder.top, nWidest = 0;
  BOOL bAny = FALSE;
  for (int i = 0; i < nCountAll; i++) {
    CXTPControl* pControl = pControls->GetAt(i);
    if (pControl == pExpand) continue;
    pControl->SetHideFlags(pControl->GetHideFlags() & ~(DWORD)xtpHideScroll);
    if (!pControl->IsVisible()) continue;
    if (bAny && pControl->GetBeginGroup()) y += nSeparator;
    CSize sz = pControl->GetSize(&dc);
    sz.cx = std::min((int)sz.cx, (int)rcWork.right / 3);
    pControl->SetRect(CRect(rcBorder.left, y, rcBorder.left + sz.cx, y + sz.cy));
    y += sz.cy;
    nWidest = std::max(nWidest, (int)sz.cx);
    bAny = TRUE;
  }
  if (pOldFont != NULL) dc.SelectObject(pOldFont);
  nWidest = std::max(nWidest, kMinMenuWidth);
  for (int i = 0; i < nCountAll; i++) {
    CXTPControl* pControl = pControls->GetAt(i);
    if (!pControl->IsVisible() || pControl == pExpand) continue;
    CRect rc = pControl->GetRect();
    rc.right = rcBorder.left + nWidest;
    pControl->SetRect(rc);
  }
  if (pExpand != NULL && nExpand > 0) pExpand->SetRect(CRect(rcBorder.left, y, rcBorder.left + nWidest, y + nExpand));
  m_rcTearOffGripper = CRect(rcBorder.left, rcBorder.top - nTearOff, rcBorder.left + nWidest, rcBorder.top);
  m_bDynamicLayout = FALSE;
  return CSize(rcBorder.left + rcBorder.right + nWidest,
               (bAny ? y : rcBorder.top + kMinMenuWidth) + rcBorder.bottom);
}

void CXTPPopupBar::DelayLayout() {
  if (m_bDynamicLayout || m_hWnd == NULL || !IsTrackingMode()) return;
  XTPShadowManager()->RemoveShadow(this);
  UpdateShortcuts();
  UpdateLocation();
  const CSize sz = CalcLayout();
  const CRect rc = CalcPopupRect(sz.cx, sz.cy);
  if (m_bAnimate) ShowWindow(SW_HIDE);
  SetWindowPos(NULL, rc.left, rc.top, rc.Width(), rc.Height(),
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  if (m_bAnimate) XTPSoundManager()->PlaySystemSound(xtpSoundMenuPopup);
  if (m_bShowShadow && m_barPosition == xtpBarPopup) XTPShadowManager()->SetShadow(this, m_rcExclude);
  Invalidate(FALSE);
  m_bAnimate = FALSE;
}

void CXTPPopupBar::DrawCommandBar(CDC* pDC, CRect rcClipBox) {
  CXTPPaintManager* pPaintManager = GetPaintManager();
  if (pPaintManager == NULL) {
    pDC->FillSolidRect(rcClipBox, ::GetSysColor(COLOR_MENU));
    return;
  }
  pPaintManager->DrawBarBackground(pDC, this);
  for (int i = 0; i < GetControlCount(); i++) {
    CXTPControl* pControl = GetControl(i);
    if (pControl == NULL || !pControl->IsVisible()) continue;
    CRect rcInter;
    if (rcInter.IntersectRect(pControl->GetRect(), rcClipBox)) pControl->Draw(pDC);
  }
  DrawScrollArrows(pDC);
}

// ---- Expanding and selection ----------------------------------------------------------
BOOL CXTPPopupBar::ExpandBar() {
  if (!m_bExpanded && m_bCollapsed) {
    m_bAnimate = TRUE;
    m_bExpanded = TRUE;
    SetPopuped(-1);
    SetSelected(-1);
    OnRecalcLayout();
    CXTPMouseManager* pMouseManager = XTPMouseManager();
    pMouseManager->SetForceExpanded(TRUE);
    pMouseManager->IgnoreLButtonUp();
  }
  return m_bExpanded;
}

int CXTPPopupBar::OnHookKeyDown(UINT nChar, LPARAM lParam) {
  // During the tear-off drag the keys go on to the drag loop (Escape ends it).
  if (m_bTearOffTracking) return xtpHookStop;
  if (m_bCollapsed && nChar == VK_DOWN) {
    if (::GetKeyState(VK_CONTROL) < 0) {
      ExpandBar();
      return xtpHookHandled;
    }
    CXTPControls* pControls = GetControls();
    if (pControls != NULL) {
      const int nNext = pControls->GetNext(m_nSelected, +1);
      if (m_nSelected != -1 && nNext <= m_nSelected) {
        ExpandBar();
        return xtpHookHandled;
      }
    }
  }
  return CXTPCommandBar::OnHookKeyDown(nChar, lParam);
}

BOOL CXTPPopupBar::SetSelected(int nSelected, BOOL bKeyboard) {
  if (!CXTPCommandBar::SetSelected(nSelected, bKeyboard)) return FALSE;
  CXTPControl* pControl = GetControl(nSelected);
  const BOOL bExpandButton = pControl != NULL && pControl->GetID() == (int)kIdExpandButton;
  if (pControl == NULL || bKeyboard || !bExpandButton) {
    KillTimer(XTP_TID_EXPANDPOPUP);
  } else {
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars != NULL && pCommandBars->GetCommandBarsOptions()->bShowFullAfterDelay)
      SetTimer(XTP_TID_EXPANDPOPUP, 900, NULL);
  }
  if (m_bScrolling && pControl != NULL && (pControl->GetHideFlags() & xtpHideScroll)) {
    CRect rc;
    GetClientRect(&rc);
    if (nSelected < m_nScrollEnd) {
      m_nScrollFirst = nSelected;
      RecalcScroll(rc.Size(), FALSE, TRUE);
    } else {
      m_nScrollEnd = nSelected + 1;
      RecalcScroll(rc.Size(), TRUE, TRUE);
    }
  }
  return TRUE;
}

// ---- Messages ----------------------------------------------------------------------------
void CXTPPopupBar::OnMouseMove(UINT nFlags, CPoint point) {
  if (m_nLockRecurse > 0) return;
  CRect rcClient;
  GetClientRect(&rcClient);
  CXTPCommandBar* pParentBar = GetParentCommandBar();
  if (rcClient.PtInRect(point) && pParentBar != NULL && m_pControlPopup != NULL)
    pParentBar->SetSelected(m_pControlPopup->GetIndex(), FALSE);
  TrackScrollArrows(point);
  TrackTearOffGripper(point);
  CXTPCommandBar::OnMouseMove(nFlags, point);
}

int CXTPPopupBar::OnMouseActivate(CWnd*, UINT, UINT) { return MA_NOACTIVATE; }

void CXTPPopupBar::OnLButtonDown(UINT nFlags, CPoint point) {
  if (m_bTearOffPopup && !IsCustomizeMode() && GetControlCount() > 0 && m_rcTearOffGripper.PtInRect(point)) {
    ::SetCursor(::LoadCursor(NULL, IDC_SIZEALL));
    CXTPMouseManager* pMouseManager = XTPMouseManager();
    pMouseManager->LockMouseMove();
    m_bTearOffTracking = TRUE;
    const BOOL bTornOff = TrackTearOff();
    m_bTearOffTracking = FALSE;
    pMouseManager->UnlockMouseMove();
    if (bTornOff) {
      // The menu stays hidden behind its floating toolbar: the menus close, so that no
      // hidden popup keeps the keyboard.
      pMouseManager->CloseAllTrackingBars();
      return;
    }
  }
  CXTPCommandBar::OnLButtonDown(nFlags, point);
}

void CXTPPopupBar::OnTimer(UINT_PTR nIDEvent) {
  if (OnScrollTimer(nIDEvent)) return;
  if (nIDEvent == XTP_TID_EXPANDPOPUP) {
    CXTPControl* pControl = GetSelected();
    KillTimer(XTP_TID_EXPANDPOPUP);
    if (pControl != NULL && pControl->GetID() == (int)kIdExpandButton) ExpandBar();
    return;
  }
  CXTPCommandBar::OnTimer(nIDEvent);
}

BOOL CXTPPopupBar::OnNcActivate(BOOL bActive) {
  if (bActive) return FALSE;
  return (BOOL)Default();
}

BOOL CXTPPopupBar::OnNcCreate(LPCREATESTRUCT lpCreateStruct) { return CWnd::OnNcCreate(lpCreateStruct); }

LRESULT CXTPPopupBar::OnFloatStatus(WPARAM wParam, LPARAM) {
  return (GetStyle() & 0x100) != 0 && (wParam & FS_SYNCACTIVE) != 0;
}

// ---- Copy and storage ----------------------------------------------------------------------
void CXTPPopupBar::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive) {
  CXTPCommandBar::Copy(pCommandBar, bRecursive);
  if (pCommandBar == NULL || !pCommandBar->IsKindOf(RUNTIME_CLASS(CXTPPopupBar))) return;
  CXTPPopupBar* pSource = (CXTPPopupBar*)pCommandBar;
  m_bTearOffPopup = pSource->m_bTearOffPopup;
  m_strTearOffCaption = pSource->m_strTearOffCaption;
  m_nTearOffID = pSource->m_nTearOffID;
  m_nTearOffWidth = pSource->m_nTearOffWidth;
  m_bShowShadow = pSource->m_bShowShadow;
  m_rcBorders = pSource->m_rcBorders;
  m_bDoubleGripper = pSource->m_bDoubleGripper;
}

CXTPCommandBar* CXTPPopupBar::Clone(BOOL bRecursive) {
  CXTPPopupBar* pBar = (CXTPPopupBar*)GetRuntimeClass()->CreateObject();
  if (pBar != NULL) pBar->Copy(this, bRecursive);
  return pBar;
}


void CXTPPopupBar::SetTearOffPopup(LPCTSTR lpszCaption, UINT nID, int nWidth) {
  m_bTearOffPopup = TRUE;
  m_strTearOffCaption = lpszCaption;
  m_nTearOffID = nID;
  m_nTearOffWidth = nWidth;
}

// ---- Popup toolbar -----------------------------------------------------------------------
CXTPPopupToolBar::CXTPPopupToolBar() { m_barType = xtpBarTypeNormal; }
CXTPPopupToolBar::~CXTPPopupToolBar() {}

CXTPPopupToolBar* AFX_CDECL CXTPPopupToolBar::CreatePopupToolBar(CXTPCommandBars* pCommandBars) {
  CXTPPopupToolBar* pBar = (CXTPPopupToolBar*)RUNTIME_CLASS(CXTPPopupToolBar)->CreateObject();
  if (pBar != NULL) pBar->SetCommandBars(pCommandBars);
  return pBar;
}

CSize CXTPPopupToolBar::CalcLayout(int, DWORD) {
  // Without the row layout of the controls collection: one row of measured controls.
  m_bDynamicLayout = TRUE;
  CClientDC dc(m_hWnd != NULL ? this : CWnd::GetDesktopWindow());
  int x = m_rcBorders.left, nHeight = 0;
  for (int i = 0; i < GetControlCount(); i++) {
    CXTPControl* pControl = GetControl(i);
    if (!pControl->IsVisible()) continue;
    const CSize sz = pControl->GetSize(&dc);
    pControl->SetRect(CRect(x, m_rcBorders.top, x + sz.cx, m_rcBorders.top + sz.cy));
    x += sz.cx;
    nHeight = std::max(nHeight, (int)sz.cy);
  }
  m_bDynamicLayout = FALSE;
  return CSize(std::max(x, (int)m_rcBorders.left + kMinMenuWidth) + m_rcBorders.right,
               m_rcBorders.top + std::max(nHeight, kMinMenuWidth) + m_rcBorders.bottom);
}

CXTPCommandBar* CXTPPopupToolBar::Clone(BOOL bRecursive) { return CXTPPopupBar::Clone(bRecursive); }
