// The command bar base window: construction, the links to the command bars, the site and
// the managers, selection, and the tracking mode through which the thread's mouse and
// keyboard managers route input to tracked bars.
//
// Bodies marked "interim" answer as a bar without drawing, keys or customisation would;
// the full bar behaviour replaces them.
#include <framework.h>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPControl.h"
#include "XTPControls.h"
#include "XTPHookManager.h"
#include "XTPKeyboardManager.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPToolTipContext.h"

IMPLEMENT_SERIAL(CXTPCommandBar, CWnd, VERSIONABLE_SCHEMA | 0x10)

BEGIN_MESSAGE_MAP(CXTPCommandBar, CWnd)
  ON_WM_MOUSEMOVE()
  ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeaveMessage)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

BEGIN_INTERFACE_MAP(CXTPCommandBar, CWnd)
  INTERFACE_PART(CXTPCommandBar, IID_IAccessible, Accessible)
END_INTERFACE_MAP()

CXTPCommandBar::CXTPCommandBar()
    : m_bHideCaret(TRUE),
      m_nMRUWidth(0x7FFF),
      m_nSelected(-1),
      m_nPopuped(-1),
      m_hwndFocus(NULL),
      m_nBarID(0),
      m_bVisible(TRUE),
      m_bTracking(xtpTrackingNone),
      m_pOwner(NULL),
      m_nStateFlags(0),
      m_dwFlags(0),
      m_dwStyle(0),
      m_barType(xtpBarTypeNormal),
      m_pControls(NULL),
      m_barPosition(xtpBarNone),
      m_pCommandBars(NULL),
      m_pCommandTarget(NULL),
      m_szIcons(0, 0),
      m_bExecOnRButton(FALSE),
      m_bIgnoreUpdateHandler(FALSE),
      m_bRecursePopup(FALSE),
      m_nLockRecurse(0),
      m_bKeyboardSelect(FALSE),
      m_bCustomizable(TRUE),
      m_rcMarker(0, 0, 0, 0),
      m_bVerticalMarker(FALSE),
      m_pReturnCmd(NULL),
      m_bTrackByMouse(FALSE),
      m_nLockRedraw(0),
      m_pPaintManager(NULL),
      m_pImageManager(NULL),
      m_pToolTipContext(NULL),
      m_nStatusBarId(-1),
      m_nTextBelowIcons(2) {
  m_pControls = new CXTPControls();
  m_pControls->SetParent(this);
}

CXTPCommandBar::~CXTPCommandBar() {
  if (m_bTracking != xtpTrackingNone) SetTrackingMode(FALSE, TRUE, FALSE);
  XTPHookManager()->RemoveAll(this);
  CXTPMouseManager* pMouseManager = XTPMouseManager();
  if (pMouseManager->GetSelected() == this) pMouseManager->SetSelected(NULL);
  if (pMouseManager->IsTrackedBar(this)) pMouseManager->RemoveTrackingBar(this);
  XTPKeyboardManager()->UnhookKeyboard(this);
  if (m_pControls != NULL) {
    m_pControls->RemoveAll();
    m_pControls->SetParent(NULL);
    m_pControls->InternalRelease();
  }
  if (m_pPaintManager != NULL) m_pPaintManager->InternalRelease();
  if (m_pToolTipContext != NULL) m_pToolTipContext->InternalRelease();
}

// ---- Links ----------------------------------------------------------------------------
CXTPCommandBars* CXTPCommandBar::GetCommandBars() const {
  for (const CXTPCommandBar* pBar = this; pBar != NULL; pBar = pBar->GetParentCommandBar()) {
    if (pBar->m_pCommandBars != NULL) return pBar->m_pCommandBars;
  }
  return NULL;
}

CXTPCommandBar* CXTPCommandBar::GetRootParent() const {
  const CXTPCommandBar* pRoot = this;
  while (pRoot->GetParentCommandBar() != NULL) pRoot = pRoot->GetParentCommandBar();
  return const_cast<CXTPCommandBar*>(pRoot);
}

CWnd* CXTPCommandBar::GetSite() const {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars != NULL && pCommandBars->GetSite() != NULL) return pCommandBars->GetSite();
  CXTPCommandBar* pRoot = GetRootParent();
  if (pRoot->m_pOwner != NULL) return pRoot->m_pOwner;
  if (m_hWnd != NULL) {
    CWnd* pWnd = GetOwner();
    if (pWnd == NULL) pWnd = GetParent();
    if (pWnd != NULL) return pWnd;
  }
  return AfxGetMainWnd();
}

CWnd* CXTPCommandBar::GetCommandTarget() const {
  CXTPCommandBar* pRoot = GetRootParent();
  if (pRoot->m_pCommandTarget != NULL) return pRoot->m_pCommandTarget;
  return GetSite();
}

BOOL CXTPCommandBar::IsCustomizeMode() const {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  return pCommandBars != NULL && pCommandBars->IsCustomizeMode();
}

CXTPPaintManager* CXTPCommandBar::GetPaintManager() const {
  if (m_pPaintManager != NULL) return m_pPaintManager;
  CXTPCommandBar* pRoot = GetRootParent();
  if (pRoot->m_pPaintManager != NULL) return pRoot->m_pPaintManager;
  // Interim: the global one as it stands (the full bar makes theme 0 when it is missing).
  return CXTPPaintManager::GetCurrentPaintManager();
}

void CXTPCommandBar::SetPaintManager(CXTPPaintManager* pPaintManager) {
  if (m_pPaintManager != NULL) m_pPaintManager->InternalRelease();
  m_pPaintManager = pPaintManager;
  if (m_pPaintManager != NULL) m_pPaintManager->RefreshMetrics();
}

BOOL CXTPCommandBar::IsRTL() const { return m_hWnd != NULL && (GetExStyle() & WS_EX_LAYOUTRTL) != 0; }

int CXTPCommandBar::GetControlCount() const { return m_pControls != NULL ? m_pControls->GetCount() : 0; }

CXTPControl* CXTPCommandBar::GetControl(int nIndex) const {
  return m_pControls != NULL ? m_pControls->GetAt(nIndex) : NULL;
}

CXTPControl* CXTPCommandBar::GetSelected() const { return GetControl(m_nSelected); }

void CXTPCommandBar::SetTitle(LPCTSTR lpszTitle) {
  m_strTitle = lpszTitle;
  if (m_hWnd != NULL) SetWindowText(lpszTitle);
}

void CXTPCommandBar::UnlockRedraw() {
  if (--m_nLockRedraw > 0) return;
  m_nLockRedraw = 0;
  m_nStateFlags |= stateRedrawPending;
  if (m_hWnd != NULL) Invalidate(FALSE);
}

// ---- Selection and tracking --------------------------------------------------------------
BOOL CXTPCommandBar::SetSelected(int nSelected, BOOL bKeyboard) {
  if (nSelected == m_nSelected) return FALSE;
  m_bKeyboardSelect = bKeyboard;
  if (m_hWnd == NULL) return FALSE;

  LockRedraw();
  CXTPControl* pOld = GetControl(m_nSelected);
  m_nSelected = nSelected;
  if (pOld != NULL) pOld->OnSelectionChanged(0);

  if (nSelected == -1) {
    KillTimer(XTP_TID_HOVER);
  } else {
    if (m_bTracking != xtpTrackingNone)
      CXTPAccessible::NotifyWinEvent(EVENT_OBJECT_FOCUS, m_hWnd, OBJID_MENU, nSelected + 1);
    CXTPControl* pControl = GetControl(nSelected);
    if (pControl != NULL) pControl->OnSelectionChanged(bKeyboard ? 2 : 1);
    XTPMouseManager()->SetSelected(this);
    if (!bKeyboard) SetTimer(XTP_TID_HOVER, 300, NULL);
  }
  UnlockRedraw();
  return TRUE;
}

BOOL CXTPCommandBar::SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard) {
  if ((m_bTracking != xtpTrackingNone && bMode != xtpTrackingNone) || m_bTracking == bMode) {
    m_bTracking = bMode;
    return FALSE;
  }
  CXTPMouseManager* pMouseManager = XTPMouseManager();
  m_bTracking = bMode;

  if (bMode != xtpTrackingNone) {
    CWnd* pSite = GetSite();
    if (m_barType == xtpBarTypeMenuBar && pSite != NULL && pSite->GetSafeHwnd() != NULL)
      pSite->SendMessage(XTPM_MENUBARTRACKING, (WPARAM)this, 0);
    m_bTrackByMouse = !(bSelectFirst || bKeyboard);
    if (m_bHideCaret) {
      HWND hWndFocus = ::GetFocus();
      if (hWndFocus == NULL && pSite != NULL) hWndFocus = pSite->GetSafeHwnd();
      m_hwndFocus = hWndFocus;
      if (m_hwndFocus != NULL) ::HideCaret(m_hwndFocus);
    }
    pMouseManager->AddTrackingBar(this);
    XTPKeyboardManager()->HookKeyboard(this);
    ::SetCursor(::LoadCursor(NULL, IDC_ARROW));
    if (bSelectFirst && m_pControls != NULL) SetSelected(m_pControls->GetNext(-1, +1), TRUE);
  } else {
    m_bTrackByMouse = FALSE;
    pMouseManager->RemoveTrackingBar(this);
    XTPKeyboardManager()->UnhookKeyboard(this);
    m_nPopuped = -1;
    if (bSelectFirst) SetSelected(-1);
    if (m_hwndFocus != NULL) {
      if (::IsWindow(m_hwndFocus)) ::ShowCaret(m_hwndFocus);
      m_hwndFocus = NULL;
    }
    if (m_hWnd != NULL) Invalidate(FALSE);
    if (pMouseManager->GetLockCount() <= 0) pMouseManager->SetForceExpanded(FALSE);
    if (m_hWnd != NULL && ::GetFocus() == m_hWnd) {
      CWnd* pParent = GetParent();
      if (pParent != NULL) {
        HWND hNext = ::GetNextDlgTabItem(pParent->GetSafeHwnd(), m_hWnd, FALSE);
        if (hNext != NULL) ::SetFocus(hNext);
      }
    }
    m_nLockRecurse = 0;
  }
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars != NULL) pCommandBars->OnTrackingModeChanged(this, bMode);
  return TRUE;
}

void CXTPCommandBar::CancelTracking() { SetTrackingMode(FALSE, TRUE, FALSE); }

void CXTPCommandBar::SetPopuped(int nPopuped, BOOL) {
  // Interim: popups come with the popup controls.
  m_nPopuped = nPopuped;
}

int CXTPCommandBar::OnHookMessage(HWND, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT&) {
  if (nMessage == WM_KEYDOWN) return OnHookKeyDown((UINT)wParam, lParam);
  if (nMessage == WM_MOUSEWHEEL) return xtpHookHandled;
  return xtpHookNotHandled;
}

int CXTPCommandBar::HitTestBar(CPoint) { return 0; }

// ---- Messages -----------------------------------------------------------------------------
void CXTPCommandBar::OnMouseMove(UINT, CPoint point) {
  if (m_hWnd == NULL) return;
  CXTPMouseManager* pMouseManager = XTPMouseManager();
  if (pMouseManager->IsMouseLocked(this)) return;
  int nCandidate = (m_bTracking != xtpTrackingNone &&
                    (m_barType != xtpBarTypePopup || m_nPopuped != -1 || m_bKeyboardSelect))
                       ? m_nSelected
                       : -1;
  for (int i = 0; i < GetControlCount(); i++) {
    CXTPControl* pControl = GetControl(i);
    if (pControl == NULL || !pControl->IsVisible() || !pControl->GetRect().PtInRect(point)) continue;
    nCandidate = i;
    pMouseManager->TrackMouseLeave(m_hWnd);
    pControl->OnMouseMove(point);
  }
  SetSelected(nCandidate, FALSE);
}

LRESULT CXTPCommandBar::OnMouseLeaveMessage(WPARAM, LPARAM) {
  CXTPMouseManager* pMouseManager = XTPMouseManager();
  const BOOL bQuiet = pMouseManager->GetTrackingBarCount() == 0 ||
                      (m_barType == xtpBarTypePopup && m_nPopuped == -1);
  if (bQuiet && (m_bTracking == xtpTrackingNone || m_barType == xtpBarTypePopup) && m_nLockRecurse == 0)
    SetSelected(-1);
  return 0;
}

void CXTPCommandBar::OnDestroy() {
  if (m_bTracking != xtpTrackingNone) SetTrackingMode(FALSE, TRUE, FALSE);
  CWnd::OnDestroy();
}

LRESULT CXTPCommandBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return CWnd::WindowProc(message, wParam, lParam);
}

// ---- Interim virtual bodies ------------------------------------------------------------
void CXTPCommandBar::DelayRedraw() { m_nStateFlags |= stateRedrawPending; }
BOOL CXTPCommandBar::LoadToolBar(UINT, BOOL) { return FALSE; }
BOOL CXTPCommandBar::Popup(CXTPControlPopup*, BOOL) { return FALSE; }
void CXTPCommandBar::SetVisible(BOOL) {}
BOOL CXTPCommandBar::IsVisible() const { return FALSE; }
BOOL CXTPCommandBar::SetPosition(XTPBarPosition) { return FALSE; }
BOOL CXTPCommandBar::OnCustomizeDragEnter(CXTPControl*, CPoint) { return FALSE; }
void CXTPCommandBar::OnCustomizeDragLeave() {}
DROPEFFECT CXTPCommandBar::OnCustomizeDragOver(CXTPControl*, CPoint) { return DROPEFFECT_NONE; }
void CXTPCommandBar::OnCustomizeDrop(CXTPControl*, DROPEFFECT&, CPoint, CPoint) {}
BOOL CXTPCommandBar::IsCustomizable() const { return m_bCustomizable; }
void CXTPCommandBar::OnRecalcLayout() {}
void CXTPCommandBar::OnControlSelected(BOOL, CXTPControl*) {}
CXTPCommandBar* CXTPCommandBar::GetParentCommandBar() const { return NULL; }
BOOL CXTPCommandBar::IsFloatingFrameGripper() const { return FALSE; }
void CXTPCommandBar::DoPropExchange(CXTPPropExchange*) {}
BOOL CXTPCommandBar::IsKeyboardCuesVisible() { return TRUE; }
int CXTPCommandBar::OnHookKeyDown(UINT, LPARAM) { return xtpHookHandled; }
CSize CXTPCommandBar::CalcLayout(int, DWORD) { return CSize(0, 0); }
BOOL CXTPCommandBar::ProcessSpecialKey(XTPSpecialKey) { return FALSE; }
void CXTPCommandBar::DrawCommandBar(CDC*, CRect) {}
void CXTPCommandBar::DelayLayout() {
  m_nSelected = -1;
  m_nPopuped = -1;
  m_nStateFlags |= stateLayoutDirty;
}
void CXTPCommandBar::Copy(CXTPCommandBar*, BOOL) {}
void CXTPCommandBar::GenerateCommandBarList(DWORD&, CXTPCommandBarList*, XTP_COMMANDBARS_PROPEXCHANGE_PARAM*) {}
void CXTPCommandBar::RestoreCommandBarList(CXTPCommandBarList*) {}
void CXTPCommandBar::OnIdleUpdateCmdUI(BOOL) {}
CXTPCommandBar* CXTPCommandBar::Clone(BOOL) { return NULL; }

// Interim accessibility: the base answers until the bar answers for its controls.
HRESULT CXTPCommandBar::get_accParent(IDispatch** p) { return CXTPAccessible::get_accParent(p); }
HRESULT CXTPCommandBar::get_accChildCount(long* p) { return CXTPAccessible::get_accChildCount(p); }
HRESULT CXTPCommandBar::get_accChild(VARIANT v, IDispatch** p) { return CXTPAccessible::get_accChild(v, p); }
HRESULT CXTPCommandBar::get_accName(VARIANT v, BSTR* p) { return CXTPAccessible::get_accName(v, p); }
HRESULT CXTPCommandBar::get_accRole(VARIANT v, VARIANT* p) { return CXTPAccessible::get_accRole(v, p); }
HRESULT CXTPCommandBar::get_accState(VARIANT v, VARIANT* p) { return CXTPAccessible::get_accState(v, p); }
HRESULT CXTPCommandBar::accLocation(long* x, long* y, long* cx, long* cy, VARIANT v) {
  return CXTPAccessible::accLocation(x, y, cx, cy, v);
}
HRESULT CXTPCommandBar::accHitTest(long x, long y, VARIANT* p) { return CXTPAccessible::accHitTest(x, y, p); }
