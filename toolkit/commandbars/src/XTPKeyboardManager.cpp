// The thread's keyboard manager: while bars track, every key-down of the thread goes to
// them first (WH_KEYBOARD), a plain Alt press closes them, and losing the activation of
// the application closes them (WH_CALLWNDPROC).
#include <framework.h>


#include "XTPKeyboardManager.h"
#include "XTPMouseManager.h"

CXTPKeyboardManager* AFXAPI XTPKeyboardManager() {
  return &fwthread::ThreadOwned<CXTPKeyboardManager>::Get();
}

CXTPKeyboardManager::CXTPKeyboardManager() : m_hHookKeyboard(NULL), m_hHookCallWndProc(NULL) {}

CXTPKeyboardManager::~CXTPKeyboardManager() {
  if (m_hHookKeyboard != NULL) ::UnhookWindowsHookEx(m_hHookKeyboard);
  if (m_hHookCallWndProc != NULL) ::UnhookWindowsHookEx(m_hHookCallWndProc);
}

void CXTPKeyboardManager::HookKeyboard(CXTPHookable* pTarget) {
  if (pTarget == NULL) return;
  const DWORD dwThread = ::GetCurrentThreadId();
  if (m_hHookKeyboard == NULL)
    m_hHookKeyboard = ::SetWindowsHookExW(WH_KEYBOARD, &CXTPKeyboardManager::KeyboardProc,
                                          AfxGetInstanceHandle(), dwThread);
  if (m_hHookCallWndProc == NULL)
    m_hHookCallWndProc = ::SetWindowsHookExW(WH_CALLWNDPROC, &CXTPKeyboardManager::CallWndProc,
                                             AfxGetInstanceHandle(), dwThread);
  if (m_lstTargets.Find(pTarget) == NULL) m_lstTargets.AddTail(pTarget);
}

void CXTPKeyboardManager::UnhookKeyboard(CXTPHookable* pTarget) {
  POSITION pos = m_lstTargets.Find(pTarget);
  if (pos != NULL) m_lstTargets.RemoveAt(pos);
  if (m_lstTargets.IsEmpty()) {
    if (m_hHookKeyboard != NULL) ::UnhookWindowsHookEx(m_hHookKeyboard);
    if (m_hHookCallWndProc != NULL) ::UnhookWindowsHookEx(m_hHookCallWndProc);
    m_hHookKeyboard = NULL;
    m_hHookCallWndProc = NULL;
  }
}

BOOL CXTPKeyboardManager::ProcessKeyboardHooks(UINT nMessage, WPARAM wParam, LPARAM lParam) {
  if (m_lstTargets.IsEmpty()) return TRUE;
  // A target may leave (or close others) while it is asked: ask a copy, skipping the ones
  // that left meanwhile.
  CArray<CXTPHookable*, CXTPHookable*> arrTargets;
  for (POSITION pos = m_lstTargets.GetHeadPosition(); pos != NULL;) arrTargets.Add(m_lstTargets.GetNext(pos));
  for (INT_PTR i = arrTargets.GetSize() - 1; i >= 0; i--) {
    if (m_lstTargets.Find(arrTargets[i]) == NULL) continue;
    WPARAM wp = wParam;
    LPARAM lp = lParam;
    LRESULT lResult = 0;
    const int nResult = arrTargets[i]->OnHookMessage(NULL, nMessage, wp, lp, lResult);
    if (nResult == xtpHookHandled) return TRUE;
    if (nResult == xtpHookStop) return FALSE;
  }
  return TRUE;
}

LRESULT CALLBACK CXTPKeyboardManager::KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam) {
  CXTPKeyboardManager* pManager = fwthread::ThreadOwned<CXTPKeyboardManager>::Find();
  const BOOL bKeyDown = (lParam & 0x80000000) == 0;
  if (nCode == HC_ACTION && pManager != NULL && !pManager->m_lstTargets.IsEmpty() && bKeyDown) {
    CXTPMouseManager* pMouseManager = XTPMouseManager();
    const BOOL bAltContext = (lParam & 0x20000000) != 0;
    if (bAltContext && wParam == VK_MENU && pMouseManager->GetLockCount() <= 0) {
      if ((lParam & 0x40000000) == 0) {
        // A first Alt press closes the menus and goes nowhere; repeats pass on.
        pMouseManager->CloseAllTrackingBars();
        return 1;
      }
    } else if (pManager->ProcessKeyboardHooks(WM_KEYDOWN, wParam, lParam)) {
      return 1;
    }
  }
  return ::CallNextHookEx(NULL, nCode, wParam, lParam);
}

LRESULT CALLBACK CXTPKeyboardManager::CallWndProc(int nCode, WPARAM wParam, LPARAM lParam) {
  if (nCode == HC_ACTION && lParam != 0) {
    const CWPSTRUCT* pMsg = (const CWPSTRUCT*)lParam;
    if (pMsg->message == WM_ACTIVATEAPP && pMsg->wParam == 0) XTPMouseManager()->CloseAllTrackingBars();
  }
  return ::CallNextHookEx(NULL, nCode, wParam, lParam);
}
