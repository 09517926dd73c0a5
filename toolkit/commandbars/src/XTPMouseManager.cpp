// The thread's mouse manager: the WH_MOUSE hook that makes tracked popup bars behave as a
// menu (a click elsewhere closes them, moves reach them, repeated moves are dropped) and
// the mouse-leave watch of hovered bars.
#include <framework.h>


#include "XTPCommandBar.h"
#include "XTPDrawHelpers.h"
#include "XTPMouseManager.h"

namespace {
thread_local POINT t_ptLastMouse = {0, 0};

BOOL IsButtonMessage(UINT nMessage) { return nMessage != WM_MOUSEMOVE && nMessage != WM_NCMOUSEMOVE; }
}  // namespace

CXTPMouseManager* AFXAPI XTPMouseManager() {
  return &fwthread::ThreadOwned<CXTPMouseManager>::Get();
}

POINT CXTPMouseManager::GetLastMousePoint() { return t_ptLastMouse; }
void CXTPMouseManager::SetLastMousePoint(POINT pt) { t_ptLastMouse = pt; }

// ---------------------------------------------------------------------------------------
CXTPMouseManager::CXTPMouseManager()
    : m_hHookMouse(NULL),
      m_nLock(0),
      m_bForceExpanded(FALSE),
      m_bIgnoreLButtonUp(FALSE),
      m_pSelected(NULL),
      m_hWndLeave(NULL) {
  // A hook that fails leaves the handle null; the manager then works without it.
  m_hHookMouse = ::SetWindowsHookExW(WH_MOUSE, &CXTPMouseManager::MouseProc, NULL,
                                     ::GetCurrentThreadId());
}

CXTPMouseManager::~CXTPMouseManager() {
  if (m_hHookMouse != NULL) ::UnhookWindowsHookEx(m_hHookMouse);
  m_hHookMouse = NULL;
}

CXTPCommandBar* CXTPMouseManager::GetTrackingBar(int nIndex) const {
  if (nIndex < 0 || nIndex >= m_arrTracked.GetSize()) return NULL;
  return m_arrTracked[nIndex];
}

BOOL CXTPMouseManager::IsTrackedBar(const CXTPCommandBar* pBar) const {
  for (INT_PTR i = 0; i < m_arrTracked.GetSize(); i++) {
    if (m_arrTracked[i] == pBar) return TRUE;
  }
  return FALSE;
}

void CXTPMouseManager::AddTrackingBar(CXTPCommandBar* pBar) {
  if (pBar == NULL) return;
  if (m_arrTracked.GetSize() == 0 && m_pSelected != NULL && m_pSelected != pBar) {
    CXTPCommandBar* pSelected = m_pSelected;
    pSelected->DeselectControl();
  }
  if (!IsTrackedBar(pBar)) m_arrTracked.Add(pBar);
}

void CXTPMouseManager::RemoveTrackingBar(CXTPCommandBar* pBar) {
  for (INT_PTR i = m_arrTracked.GetSize() - 1; i >= 0; i--) {
    if (m_arrTracked[i] == pBar) m_arrTracked.RemoveAt(i);
  }
  if (m_arrTracked.GetSize() == 0) {
    // Windows under the cursor refresh their hover state.
    POINT pt;
    if (::GetCursorPos(&pt)) ::SetCursorPos(pt.x, pt.y);
    m_bForceExpanded = FALSE;
  }
  m_bIgnoreLButtonUp = FALSE;
  if (m_pSelected == pBar && !::IsWindow(pBar->GetSafeHwnd())) m_pSelected = NULL;
}

void CXTPMouseManager::CloseAllTrackingBars() {
  // Each bar leaves the list as it leaves tracking; a bar that would not is taken out so
  // that the loop always ends.
  while (m_arrTracked.GetSize() > 0) {
    CXTPCommandBar* pBar = m_arrTracked[0];
    pBar->CancelTracking();
    if (m_arrTracked.GetSize() > 0 && m_arrTracked[0] == pBar) RemoveTrackingBar(pBar);
  }
}

void CXTPMouseManager::CloseUnlockedTrackingBars() {
  if (m_arrTracked.GetSize() == 0 || m_arrTracked[0]->GetLockCount() <= 0) return;
  CArray<CXTPCommandBar*, CXTPCommandBar*> arrBars;
  arrBars.Copy(m_arrTracked);
  for (INT_PTR i = 0; i < arrBars.GetSize(); i++) {
    if (IsTrackedBar(arrBars[i]) && arrBars[i]->GetLockCount() == 0) {
      arrBars[i]->CancelTracking();
      if (IsTrackedBar(arrBars[i])) RemoveTrackingBar(arrBars[i]);
    }
  }
}

void CXTPMouseManager::LockTrackingBars(BOOL bLock) {
  for (INT_PTR i = 0; i < m_arrTracked.GetSize(); i++) m_arrTracked[i]->LockRecurse(bLock);
}

BOOL CXTPMouseManager::IsMouseLocked(const CXTPCommandBar* pBar) const {
  if (m_arrTracked.GetSize() == 0) return FALSE;
  if (pBar == NULL || pBar->GetLockCount() > 0) return TRUE;
  return !IsTrackedBar(pBar);
}

void CXTPMouseManager::AddTrustedWindow(HWND hWnd) {
  if (hWnd != NULL && !IsTrustedWindow(hWnd)) m_arrTrusted.Add(hWnd);
}

void CXTPMouseManager::RemoveTrustedWindow(HWND hWnd) {
  for (INT_PTR i = m_arrTrusted.GetSize() - 1; i >= 0; i--) {
    if (m_arrTrusted[i] == hWnd) m_arrTrusted.RemoveAt(i);
  }
}

BOOL CXTPMouseManager::IsTrustedWindow(HWND hWnd) const {
  for (INT_PTR i = 0; i < m_arrTrusted.GetSize(); i++) {
    if (m_arrTrusted[i] == hWnd) return TRUE;
  }
  return FALSE;
}

BOOL AFX_CDECL CXTPMouseManager::IsTopParentActive(HWND hWnd) {
  return CXTPDrawHelpers::IsTopParentActive(hWnd);
}

// ---------------------------------------------------------------------------------------
void CXTPMouseManager::HandleClickOutside(UINT nMessage, POINT point) {
  HWND hWndPoint = ::WindowFromPoint(point);

  // The newest bar that holds the point ends the handling.
  for (INT_PTR i = m_arrTracked.GetSize() - 1; i >= 0; i--) {
    CXTPCommandBar* pBar = m_arrTracked[i];
    HWND hWndBar = pBar->GetSafeHwnd();
    if (hWndBar == NULL) continue;
    const int nHit = pBar->HitTestBar(point);
    if (nHit == -2) continue;
    const BOOL bInside = nHit == 1 || (hWndPoint != NULL && (hWndPoint == hWndBar || ::IsChild(hWndBar, hWndPoint)));
    if (!bInside) continue;
    if (pBar->GetLockCount() > 0 && IsButtonMessage(nMessage) && !m_bIgnoreLButtonUp) {
      CloseUnlockedTrackingBars();
      POINT ptZero = {0, 0};
      SetLastMousePoint(ptZero);
    }
    return;
  }

  for (INT_PTR i = 0; i < m_arrTrusted.GetSize(); i++) {
    HWND hWnd = m_arrTrusted[i];
    if (!::IsWindow(hWnd) || !::IsWindowVisible(hWnd)) continue;
    RECT rc;
    if (::GetWindowRect(hWnd, &rc) && ::PtInRect(&rc, point)) return;
  }

  switch (nMessage) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE: {
      CArray<CXTPCommandBar*, CXTPCommandBar*> arrBars;
      arrBars.Copy(m_arrTracked);
      for (INT_PTR i = 0; i < arrBars.GetSize(); i++) {
        CXTPCommandBar* pBar = arrBars[i];
        if (!IsTrackedBar(pBar) || pBar->GetSafeHwnd() == NULL || pBar->GetLockCount() > 0) continue;
        CPoint ptClient(point);
        ::ScreenToClient(pBar->GetSafeHwnd(), &ptClient);
        pBar->OnMouseMove(0, ptClient);
      }
      break;
    }
    case WM_LBUTTONUP:
    case WM_NCLBUTTONUP:
      if (m_nLock <= 0) CloseAllTrackingBars();
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
      CloseAllTrackingBars();
      break;
    default:
      break;
  }
}

LRESULT CALLBACK CXTPMouseManager::MouseProc(int nCode, WPARAM wParam, LPARAM lParam) {
  CXTPMouseManager* pManager = fwthread::ThreadOwned<CXTPMouseManager>::Find();
  if (nCode != HC_ACTION || pManager == NULL || lParam == 0)
    return ::CallNextHookEx(NULL, nCode, wParam, lParam);

  const UINT nMessage = (UINT)wParam;
  const POINT point = ((MOUSEHOOKSTRUCT*)lParam)->pt;

  if (nMessage == WM_LBUTTONDOWN || nMessage == WM_RBUTTONDOWN) pManager->m_bIgnoreLButtonUp = FALSE;

  if ((nMessage == WM_LBUTTONUP || nMessage == WM_NCLBUTTONUP) && pManager->m_bIgnoreLButtonUp) {
    pManager->m_bIgnoreLButtonUp = FALSE;
    return 1;
  }

  const BOOL bTracking = pManager->m_arrTracked.GetSize() > 0;
  if (bTracking && (nMessage == WM_MOUSEMOVE || nMessage == WM_NCMOUSEMOVE)) {
    const POINT ptLast = GetLastMousePoint();
    if (ptLast.x == point.x && ptLast.y == point.y) return 1;
  }
  SetLastMousePoint(point);

  if (bTracking) pManager->HandleClickOutside(nMessage, point);

  return ::CallNextHookEx(NULL, nCode, wParam, lParam);
}

// ---------------------------------------------------------------------------------------
void CXTPMouseManager::TrackMouseLeave(HWND hWnd) {
  // A watched window that was destroyed took its timer with it: forget it.
  if (m_hWndLeave != NULL && !::IsWindow(m_hWndLeave)) m_hWndLeave = NULL;
  if (hWnd == m_hWndLeave) return;
  HWND hWndOld = m_hWndLeave;
  if (hWndOld != NULL) {
    ::KillTimer(hWndOld, XTP_TID_MOUSELEAVE);
    m_hWndLeave = NULL;
    if (::IsWindow(hWndOld)) ::SendMessageW(hWndOld, WM_MOUSELEAVE, 0, 0);
  }
  if (hWnd == NULL || !::IsWindow(hWnd)) return;
  m_hWndLeave = hWnd;
  ::SetTimer(hWnd, XTP_TID_MOUSELEAVE, 50, &CXTPMouseManager::TrackMouseLeaveProc);
}

void CALLBACK CXTPMouseManager::TrackMouseLeaveProc(HWND hWnd, UINT, UINT_PTR idEvent, DWORD) {
  CXTPMouseManager* pManager = fwthread::ThreadOwned<CXTPMouseManager>::Find();
  if (!::IsWindow(hWnd)) {
    if (pManager != NULL && pManager->m_hWndLeave == hWnd) pManager->m_hWndLeave = NULL;
    return;
  }
  if (pManager == NULL || pManager->m_hWndLeave != hWnd) {
    ::KillTimer(hWnd, idEvent);
    return;
  }
  RECT rc;
  POINT pt;
  ::GetWindowRect(hWnd, &rc);
  ::GetCursorPos(&pt);
  const BOOL bInside = ::PtInRect(&rc, pt);
  const BOOL bActiveEnough = ::GetParent(hWnd) == NULL ||
                             (::GetWindowLongW(hWnd, GWL_STYLE) & WS_POPUP) != 0 ||
                             IsTopParentActive(hWnd);
  if (bInside && bActiveEnough) return;
  ::KillTimer(hWnd, idEvent);
  pManager->m_hWndLeave = NULL;
  ::PostMessageW(hWnd, WM_MOUSELEAVE, 0, 0);
}
