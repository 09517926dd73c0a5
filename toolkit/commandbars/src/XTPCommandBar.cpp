// The command bar base window: construction, the links to the command bars, the site and
// the managers, selection, and the tracking mode through which the thread's mouse and
// keyboard managers route input to tracked bars.
//
// Bodies marked "interim" answer as a bar without drawing, keys or customisation would;
// the full bar behaviour replaces them.
#include <framework.h>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPDrawHelpers.h"
#include "XTPPopupBar.h"
#include "XTPControl.h"
#include "XTPControls.h"
#include "XTPHookManager.h"
#include "XTPKeyboardManager.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPToolTipContext.h"

IMPLEMENT_SERIAL(CXTPCommandBar, CWnd, VERSIONABLE_SCHEMA | 0x10)

BEGIN_MESSAGE_MAP(CXTPCommandBar, CWnd)
  ON_WM_CREATE()
  ON_WM_NCMOUSEMOVE()
  ON_WM_RBUTTONDOWN()
  ON_WM_NCHITTEST()
  ON_WM_NCLBUTTONDOWN()
  ON_MESSAGE(WM_HELPHITTEST, OnHelpHitTest)
  ON_MESSAGE(WM_GETOBJECT, OnGetObject)
  ON_WM_MOUSEMOVE()
  ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeaveMessage)
  ON_WM_DESTROY()
  ON_WM_TIMER()
  ON_WM_PAINT()
  ON_MESSAGE(WM_PRINT, OnPrint)
  ON_WM_ERASEBKGND()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_RBUTTONUP()
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUIMessage)
  ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdate)
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
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars != NULL) return pCommandBars->GetPaintManager();
  CXTPCommandBar* pRoot = GetRootParent();
  if (pRoot->m_pPaintManager != NULL) return pRoot->m_pPaintManager;
  // The global one, made with theme 0 when there is none yet.
  return XTPPaintManager();
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

namespace {
// OnHookKeyDown's answer that lets the key go on to the focus window.
const int kKeyPassOn = 2;

// The popup kinds and the combo box open a popup of their own.
BOOL OpensPopup(const CXTPControl* pControl) {
  if (pControl == NULL) return FALSE;
  const XTPControlType type = pControl->GetType();
  return type >= xtpControlPopup && type <= xtpControlComboBox;
}

// The key character of a caption: the one after the first "&" unless that is the last
// character (bMnemonic TRUE), else the first character.
TCHAR CaptionKey(const CString& strCaption, BOOL& bMnemonic) {
  bMnemonic = FALSE;
  const int nAmp = strCaption.Find(_T('&'));
  if (nAmp >= 0 && nAmp + 1 < strCaption.GetLength()) {
    bMnemonic = TRUE;
    return strCaption[nAmp + 1];
  }
  return strCaption.IsEmpty() ? 0 : strCaption[0];
}

BOOL SameKey(TCHAR ch, UINT nVirtKey) {
  const UINT nChar = ::MapVirtualKey(nVirtKey, 2) & 0xFFFF;
  if (nChar == 0 || ch == 0) return FALSE;
  return ::CharUpper((LPTSTR)(UINT_PTR)(WORD)ch) == ::CharUpper((LPTSTR)(UINT_PTR)(WORD)nChar);
}
}  // namespace

void CXTPCommandBar::SetPopuped(int nPopuped, BOOL bKeyboard) {
  if (nPopuped == m_nPopuped) return;
  LockRedraw();
  CXTPControl* pOld = GetControl(m_nPopuped);
  m_nPopuped = -1;
  if (pOld != NULL) pOld->SetPopupOpen(FALSE);
  CXTPControl* pNew = GetControl(nPopuped);
  if (pNew != NULL && pNew->GetEnabled() && OpensPopup(pNew)) {
    m_nPopuped = nPopuped;
    m_bTracking = xtpTrackingPopup;
    SetSelected(nPopuped, bKeyboard);
    pNew->SetPopupOpen(TRUE);
    CXTPCommandBars* pCommandBars = GetCommandBars();
    if (pCommandBars != NULL && pCommandBars->GetCommandBarsOptions()->bShowFullAfterDelay && m_hWnd != NULL)
      SetTimer(XTP_TID_EXPANDED_POPUP, 5000, NULL);
  }
  UnlockRedraw();
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
  LeaveDropSource();
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
BOOL CXTPCommandBar::IsCustomizable() const { return m_bCustomizable; }
void CXTPCommandBar::OnRecalcLayout() {}
CXTPCommandBar* CXTPCommandBar::GetParentCommandBar() const { return NULL; }
BOOL CXTPCommandBar::IsFloatingFrameGripper() const { return FALSE; }
BOOL CXTPCommandBar::IsKeyboardCuesVisible() {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  return pCommandBars == NULL || pCommandBars->IsCustomizeMode() || pCommandBars->IsKeyboardCuesVisible();
}
CSize CXTPCommandBar::CalcLayout(int, DWORD) { return CSize(0, 0); }
void CXTPCommandBar::DelayLayout() {
  m_nSelected = -1;
  m_nPopuped = -1;
  m_nStateFlags |= stateLayoutDirty;
}

// ---- Keys ---------------------------------------------------------------------------------
int CXTPCommandBar::OnHookKeyDown(UINT nChar, LPARAM lParam) {
  if (IsCustomizeMode()) return kKeyPassOn;
  if (m_nLockRecurse > 0) return xtpHookHandled;
  CXTPControl* pSelected = GetSelected();
  if (pSelected != NULL) {
    const int nAnswer = pSelected->OnKeyDown(nChar, lParam);
    if (nAnswer == xtpHookHandled || nAnswer == kKeyPassOn) return nAnswer;
  }
  CWnd* pSite = GetSite();
  if (pSite != NULL && pSite->GetSafeHwnd() != NULL) {
    XTP_KEYPAIR pair = {nChar, lParam};
    pSite->SendMessage(XTPM_HOOKKEYDOWN, (WPARAM)&pair, (LPARAM)this);
  }
  if (m_hWnd == NULL || !::IsWindow(m_hWnd)) return xtpHookHandled;
  const BOOL bShift = ::GetKeyState(VK_SHIFT) < 0;
  switch (nChar) {
    case VK_TAB: {
      CXTPCommandBars* pCommandBars = GetCommandBars();
      CXTPCommandBar* pRoot = GetRootParent();
      if (::GetKeyState(VK_CONTROL) < 0 && pCommandBars != NULL && pRoot->GetType() != xtpBarTypePopup) {
        pCommandBars->SetFocusToCommandBar(pRoot, bShift ? -1 : +1);
        return xtpHookHandled;
      }
      ProcessSpecialKey(bShift ? xtpKeyBack : xtpKeyNext);
      CXTPControl* pFocusable = GetSelected();
      if (pFocusable != NULL && pFocusable->IsFocusable()) pFocusable->SetFocused(TRUE);
      return xtpHookHandled;
    }
    case VK_RETURN:
      ProcessSpecialKey(xtpKeyReturn);
      return xtpHookHandled;
    case VK_ESCAPE:
      ProcessSpecialKey(xtpKeyEscape);
      return xtpHookHandled;
    default:
      break;
  }
  HWND hFocus = ::GetFocus();
  if (hFocus != NULL && ::IsChild(m_hWnd, hFocus)) return kKeyPassOn;

  const BOOL bHorizontal = m_barPosition == xtpBarTop || m_barPosition == xtpBarBottom ||
                           m_barPosition == xtpBarFloating ||
                           (m_barPosition == xtpBarPopup && m_barType == xtpBarTypeNormal);
  const BOOL bRTL = IsRTL();
  int nCode = -1;
  switch (nChar) {
    case VK_HOME: nCode = xtpKeyHome; break;
    case VK_END: nCode = xtpKeyEnd; break;
    case VK_LEFT: nCode = bHorizontal ? (bRTL ? 0 : 1) : (bRTL ? 3 : 2); break;
    case VK_UP: nCode = bHorizontal ? 2 : 1; break;
    case VK_RIGHT: nCode = bHorizontal ? (bRTL ? 1 : 0) : (bRTL ? 2 : 3); break;
    case VK_DOWN: nCode = bHorizontal ? 3 : 0; break;
    default: break;
  }
  if (nCode != -1) {
    ProcessSpecialKey((XTPSpecialKey)nCode);
    return xtpHookHandled;
  }
  if ((::MapVirtualKey(nChar, 2) & 0xFFFF) == 0) return xtpHookHandled;
  if (::GetKeyState(VK_CONTROL) >= 0) {
    BOOL bAmbiguous = FALSE;
    const int nFound = FindMnemonic(nChar, bAmbiguous);
    if (nFound != -1) {
      SetSelected(nFound, TRUE);
      if (!bAmbiguous) {
        CXTPControl* pControl = GetControl(nFound);
        if (pControl != NULL) pControl->OnMnemonic();
      }
      return xtpHookHandled;
    }
  }
  if (nChar != VK_SHIFT && nChar != VK_CONTROL) ::MessageBeep(0);
  return xtpHookHandled;
}

int CXTPCommandBar::FindMnemonic(UINT nChar, BOOL& bAmbiguous) const {
  bAmbiguous = FALSE;
  const int nCount = GetControlCount();
  int nMnemonic = -1, nFirstLetter = -1;
  BOOL bFirstLetterAmbiguous = FALSE;
  const BOOL bFirstLetters = m_barType == xtpBarTypeMenuBar || m_bTracking != xtpTrackingNone;
  for (int k = 1; k <= nCount; k++) {
    const int i = ((m_nSelected < 0 ? -1 : m_nSelected) + k) % nCount;
    CXTPControl* pControl = GetControl(i);
    if (pControl == NULL || !pControl->IsVisible() || !pControl->GetEnabled() || !pControl->ShowsCaption())
      continue;
    const CString strCaption =
        pControl->m_strCustomCaption.IsEmpty() ? pControl->m_strCaption : pControl->m_strCustomCaption;
    if (strCaption.IsEmpty()) continue;
    BOOL bMnemonic = FALSE;
    const TCHAR ch = CaptionKey(strCaption, bMnemonic);
    if (!SameKey(ch, nChar)) continue;
    if (bMnemonic) {
      if (nMnemonic != -1) {
        bAmbiguous = TRUE;
        return nMnemonic;
      }
      nMnemonic = i;
    } else if (bFirstLetters) {
      if (nFirstLetter != -1)
        bFirstLetterAmbiguous = TRUE;
      else
        nFirstLetter = i;
    }
  }
  if (nMnemonic != -1) return nMnemonic;
  bAmbiguous = bFirstLetterAmbiguous;
  return nFirstLetter;
}

BOOL CXTPCommandBar::ProcessSpecialKey(XTPSpecialKey key) {
  CXTPControls* pControls = GetControls();
  if (pControls == NULL) return FALSE;
  const BOOL bPopupToolBar = m_barPosition == xtpBarPopup && m_barType == xtpBarTypeNormal;
  CXTPControl* pSelected = GetSelected();
  int nKey = key;
  if (bPopupToolBar && pSelected != NULL && m_nPopuped == m_nSelected && m_nSelected != -1) {
    if (nKey == xtpKeyNext) return TRUE;
    if (nKey == xtpKeyBack) nKey = xtpKeyPopup;
  }
  switch (nKey) {
    case xtpKeyNext:
    case xtpKeyBack: {
      const int nNext = pControls->GetNext(m_nSelected, nKey == xtpKeyNext ? +1 : -1);
      if (nNext != -1) SetSelected(nNext, TRUE);
      return TRUE;
    }
    case xtpKeyHome:
    case xtpKeyEnd: {
      const int nNext = pControls->GetNext(-1, nKey == xtpKeyHome ? +1 : -1);
      if (nNext != -1) SetSelected(nNext, TRUE);
      return TRUE;
    }
    case xtpKeyPopup:
      if (m_nPopuped != -1) {
        SetPopuped(-1);
        m_bTracking = xtpTrackingActive;
        return TRUE;
      }
      if ((GetParentCommandBar() == NULL || bPopupToolBar) && pSelected != NULL && pSelected->GetEnabled() &&
          OpensPopup(pSelected))
        return ProcessSpecialKey(xtpKeyDown);
      return FALSE;
    case xtpKeyDown:
      if (pSelected != NULL && m_nPopuped != m_nSelected && OpensPopup(pSelected)) {
        pSelected->OnSelectionChanged(2);
        SetPopuped(m_nSelected, TRUE);
        return TRUE;
      }
      return FALSE;
    case xtpKeyEscape: {
      CXTPCommandBar* pParent = GetParentCommandBar();
      if (pParent != NULL) pParent->SetTrackingMode(xtpTrackingActive, FALSE, TRUE);
      SetTrackingMode(FALSE, TRUE, FALSE);
      return TRUE;
    }
    case xtpKeyReturn:
      if (pSelected != NULL) {
        pSelected->OnSelectionChanged(2);
        pSelected->OnClick(TRUE);
      }
      return TRUE;
    default:
      return FALSE;
  }
}

// ---- Timers -----------------------------------------------------------------------------------
void CXTPCommandBar::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == XTP_TID_HOVER) {
    if (m_nLockRecurse > 0) return;
    KillTimer(XTP_TID_HOVER);
    CXTPControl* pControl = GetSelected();
    if (pControl != NULL) pControl->OnHoverTimer();
    return;
  }
  if (nIDEvent == XTP_TID_EXPANDED_POPUP) {
    if (m_nLockRecurse > 0) return;
    KillTimer(XTP_TID_EXPANDED_POPUP);
    CXTPControl* pControl = GetControl(m_nPopuped);
    if (pControl != NULL && m_nPopuped == m_nSelected) {
      CXTPCommandBar* pBar = pControl->GetCommandBar();
      if (pBar != NULL && pBar->IsKindOf(RUNTIME_CLASS(CXTPPopupBar)) &&
          ((CXTPPopupBar*)pBar)->HasHiddenCommands())
        ((CXTPPopupBar*)pBar)->ExpandBar();
    }
    return;
  }
  CWnd::OnTimer(nIDEvent);
}

// ---- Drawing ----------------------------------------------------------------------------------
void CXTPCommandBar::DrawCommandBar(CDC* pDC, CRect rcClipBox) {
  CXTPPaintManager* pPaintManager = GetPaintManager();
  if (pPaintManager == NULL) {
    pDC->FillSolidRect(rcClipBox, ::GetSysColor(COLOR_BTNFACE));
    return;
  }
  pPaintManager->DrawBarBackground(pDC, this);
  if (m_dwStyle & 0x400000) pPaintManager->DrawGripper(pDC, this, TRUE);
  BOOL bFirst = TRUE;
  for (int i = 0; i < GetControlCount(); i++) {
    CXTPControl* pControl = GetControl(i);
    if (pControl == NULL || !pControl->IsVisible()) continue;
    if (pControl->GetBeginGroup() && !bFirst) pPaintManager->DrawSeparator(pDC, this, pControl, TRUE);
    bFirst = FALSE;
    CFont* pFont = pPaintManager->GetControlFont(this, FALSE);
    CFont* pOld = pFont != NULL ? pDC->SelectObject(pFont) : NULL;
    pControl->Draw(pDC);
    if (pOld != NULL) pDC->SelectObject(pOld);
  }
  DrawCustomizeMarks(pDC);
}

void CXTPCommandBar::OnPaint() {
  CPaintDC dcPaint(this);
  CRect rc;
  GetClientRect(&rc);
  CXTPBufferDC dc(dcPaint.GetSafeHdc(), rc);
  DrawCommandBar(&dc, rc);
}

LRESULT CXTPCommandBar::OnPrint(WPARAM wParam, LPARAM) {
  CDC* pDC = CDC::FromHandle((HDC)wParam);
  CRect rc;
  GetClientRect(&rc);
  if (pDC != NULL) DrawCommandBar(pDC, rc);
  return TRUE;
}

BOOL CXTPCommandBar::OnEraseBkgnd(CDC*) { return TRUE; }

// ---- Clicks -------------------------------------------------------------------------------
namespace {
// The first shown control whose rectangle holds the client point.
CXTPControl* ControlAt(const CXTPCommandBar* pBar, CPoint point) {
  for (int i = 0; i < pBar->GetControlCount(); i++) {
    CXTPControl* pControl = pBar->GetControl(i);
    if (pControl != NULL && pControl->IsVisible() && pControl->GetRect().PtInRect(point)) return pControl;
  }
  return NULL;
}
}  // namespace

void CXTPCommandBar::OnLButtonDown(UINT nFlags, CPoint point) {
  CXTPControl* pControl = ControlAt(this, point);
  if (pControl == NULL) {
    Default();
    return;
  }
  CXTPCommandBars* pCommandBars = GetCommandBars();
  const BOOL bCustomize = IsCustomizeMode();
  const BOOL bControlCustomizable = (pControl->GetFlags() & xtpFlagNoCustomize) == 0;
  if (!bCustomize && pCommandBars != NULL && m_barType != xtpBarTypePopup && IsCustomizable() &&
      bControlCustomizable && ::GetKeyState(VK_MENU) < 0 && pCommandBars->IsCustomizable() &&
      pCommandBars->GetCommandBarsOptions()->bAltDragCustomization) {
    // Alt-drag: the control is dragged as in customize mode, then everything is as before.
    pCommandBars->SetQuickCustomizeMode(TRUE);
    SetPopuped(-1);
    SetSelected(-1);
    pControl->OnCustomizePress(point);
    pCommandBars->SetQuickCustomizeMode(FALSE);
    pCommandBars->RecalcFrameLayout();
    pCommandBars->ClosePopups();
    return;
  }
  if (!bCustomize || (bControlCustomizable && IsCustomizable())) pControl->OnClick(FALSE, point);
  (void)nFlags;
}

void CXTPCommandBar::OnLButtonUp(UINT, CPoint point) {
  CXTPControl* pControl = ControlAt(this, point);
  if (pControl == NULL || IsCustomizeMode()) {
    Default();
    return;
  }
  pControl->OnLButtonUp(point);
}

void CXTPCommandBar::OnLButtonDblClk(UINT, CPoint point) {
  CXTPControl* pControl = ControlAt(this, point);
  if (pControl != NULL && !IsCustomizeMode()) pControl->OnLButtonDblClk(point);
}

void CXTPCommandBar::OnRButtonUp(UINT, CPoint point) {
  CXTPControl* pControl = ControlAt(this, point);
  if (pControl == NULL || IsCustomizeMode()) return;
  CWnd* pSite = GetSite();
  if (pSite != NULL && pSite->GetSafeHwnd() != NULL &&
      pSite->SendMessage(XTPM_CONTROLRBUTTONUP, (WPARAM)&point, (LPARAM)pControl) == 1)
    return;
  if (m_bExecOnRButton)
    pControl->OnLButtonUp(point);
  else
    pControl->OnRButtonUp(point);
}

// ---- Command state and status texts -------------------------------------------------------
LRESULT CXTPCommandBar::OnIdleUpdateCmdUIMessage(WPARAM wParam, LPARAM) {
  OnIdleUpdateCmdUI((BOOL)wParam);
  return 0;
}

LRESULT CXTPCommandBar::OnInitialUpdate(WPARAM, LPARAM) {
  OnIdleUpdateCmdUI(TRUE);
  return 0;
}

void CXTPCommandBar::OnControlSelected(BOOL bSelected, CXTPControl* pControl) {
  CWnd* pSite = GetSite();
  if (pSite != NULL && pSite->GetSafeHwnd() != NULL)
    pSite->SendMessage(XTPM_CONTROLSELECTED, bSelected ? (WPARAM)pControl : 0, 0);
  UpdateStatusText(bSelected, pControl);
}

void CXTPCommandBar::UpdateStatusText(BOOL bSelected, CXTPControl* pControl) {
  const int nId = pControl != NULL ? pControl->GetID() : 0;
  if (nId == m_nStatusBarId) return;
  m_nStatusBarId = -1;
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars != NULL && !pCommandBars->GetCommandBarsOptions()->bShowStatusDescriptions) return;
  CWnd* pSite = GetSite();
  if (pSite == NULL || pSite->GetSafeHwnd() == NULL) return;
  const CString strText = (bSelected && pControl != NULL) ? pControl->GetDescriptionText() : CString();
  if (!strText.IsEmpty())
    pSite->SendMessage(WM_SETMESSAGESTRING, 0, (LPARAM)(LPCTSTR)strText);
  else
    pSite->SendMessage(WM_POPMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
}
