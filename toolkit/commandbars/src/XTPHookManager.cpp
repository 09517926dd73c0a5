// The hook manager: one shared window procedure in front of every hooked window, asking
// that window's listeners (newest first) before the window's own procedure.
#include <framework.h>

#include "XTPHookManager.h"

namespace {
CXTPHookManager g_hookManager;
}  // namespace

CXTPHookManager* AFXAPI XTPHookManager() { return &g_hookManager; }

// ---------------------------------------------------------------------------------------
int CXTPHookManager::CHookSink::Find(CXTPHookable* pHook) const {
  for (INT_PTR i = 0; i < GetSize(); i++) {
    if (GetAt(i) == pHook) return (int)i;
  }
  return -1;
}

// ---------------------------------------------------------------------------------------
CXTPHookManager::CXTPHookManager() {
  // 17 buckets; window handles spread by handle / 16.
  m_mapHooks.InitHashTable(17, FALSE);
  m_mapHooks.SetHashKeyShift(4);
}

CXTPHookManager::~CXTPHookManager() {
  POSITION pos = m_mapHooks.GetStartPosition();
  while (pos != NULL) {
    HWND hWnd = NULL;
    CHookSink* pSink = NULL;
    m_mapHooks.GetNextAssoc(pos, hWnd, pSink);
    if (::IsWindow(hWnd) &&
        (WNDPROC)::GetWindowLongPtrW(hWnd, GWLP_WNDPROC) == &CXTPHookManager::HookWndProc) {
      ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, (LONG_PTR)pSink->m_pfnPrevWndProc);
    }
    delete pSink;
  }
  m_mapHooks.RemoveAll();
}

CXTPHookManager::CHookSink* CXTPHookManager::Lookup(HWND hWnd) const {
  CHookSink* pSink = NULL;
  if (hWnd == NULL || !m_mapHooks.Lookup(hWnd, pSink)) return NULL;
  return pSink;
}

BOOL CXTPHookManager::SetHook(HWND hWnd, CXTPHookable* pHook) {
  if (pHook == NULL || hWnd == NULL || !::IsWindow(hWnd)) return FALSE;
  CHookSink* pSink = Lookup(hWnd);
  if (pSink == NULL) {
    WNDPROC pfnPrev =
        (WNDPROC)::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, (LONG_PTR)&CXTPHookManager::HookWndProc);
    if (pfnPrev == NULL) return FALSE;
    pSink = new CHookSink(hWnd, pfnPrev);
    m_mapHooks.SetAt(hWnd, pSink);
  }
  if (pSink->Find(pHook) < 0) pSink->Add(pHook);
  return TRUE;
}

void CXTPHookManager::RemoveSink(HWND hWnd, CHookSink* pSink, BOOL bDestroying) {
  const BOOL bOurs = ::IsWindow(hWnd) &&
                     (WNDPROC)::GetWindowLongPtrW(hWnd, GWLP_WNDPROC) == &CXTPHookManager::HookWndProc;
  if (bOurs) {
    ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, (LONG_PTR)pSink->m_pfnPrevWndProc);
  } else if (!bDestroying && ::IsWindow(hWnd)) {
    // Someone subclassed the window after us and still calls our procedure: the record
    // stays, without listeners, so that messages keep reaching the previous procedure;
    // it goes with the window's WM_NCDESTROY.
    return;
  }
  m_mapHooks.RemoveKey(hWnd);
  delete pSink;
}

void CXTPHookManager::RemoveHook(HWND hWnd, CXTPHookable* pHook) {
  CHookSink* pSink = Lookup(hWnd);
  if (pSink == NULL) return;
  const int nIndex = pSink->Find(pHook);
  if (nIndex >= 0) pSink->RemoveAt(nIndex);
  if (pSink->GetSize() == 0) RemoveSink(hWnd, pSink, FALSE);
}

void CXTPHookManager::RemoveAll(CXTPHookable* pHook) {
  CArray<HWND, HWND> arrEmptied;
  POSITION pos = m_mapHooks.GetStartPosition();
  while (pos != NULL) {
    HWND hWnd = NULL;
    CHookSink* pSink = NULL;
    m_mapHooks.GetNextAssoc(pos, hWnd, pSink);
    const int nIndex = pSink->Find(pHook);
    if (nIndex >= 0) pSink->RemoveAt(nIndex);
    if (pSink->GetSize() == 0) arrEmptied.Add(hWnd);
  }
  for (INT_PTR i = 0; i < arrEmptied.GetSize(); i++) {
    CHookSink* pSink = Lookup(arrEmptied[i]);
    if (pSink != NULL) RemoveSink(arrEmptied[i], pSink, FALSE);
  }
}

LRESULT CALLBACK CXTPHookManager::HookWndProc(HWND hWnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  // The framework's record of the message being handled follows this message while the
  // listeners and the previous procedure run, and comes back afterwards.
  MSG* pCurrent = const_cast<MSG*>(CWnd::GetCurrentMessage());
  const MSG msgSaved = *pCurrent;
  pCurrent->hwnd = hWnd;
  pCurrent->message = message;
  pCurrent->wParam = wParam;
  pCurrent->lParam = lParam;

  CXTPHookManager* pManager = XTPHookManager();
  CHookSink* pSink = pManager->Lookup(hWnd);
  if (pSink == NULL) {
    // Only reachable for a window whose record went with a manager that is gone (exit).
    *pCurrent = msgSaved;
    return ::DefWindowProcW(hWnd, message, wParam, lParam);
  }
  WNDPROC pfnPrev = pSink->m_pfnPrevWndProc;

  if (message == WM_NCDESTROY) {
    // A dying window: its record goes first, no listener is asked.
    pManager->RemoveSink(hWnd, pSink, TRUE);
  } else {
    // Newest first; a listener may remove itself or others while it is asked, so the
    // list is copied.
    CArray<CXTPHookable*, CXTPHookable*> arrListeners;
    arrListeners.Copy(*pSink);
    for (INT_PTR i = arrListeners.GetSize() - 1; i >= 0; i--) {
      CHookSink* pLive = pManager->Lookup(hWnd);
      if (pLive == NULL) break;
      if (pLive->Find(arrListeners[i]) < 0) continue;
      LRESULT lResult = 0;
      const int nResult = arrListeners[i]->OnHookMessage(hWnd, message, wParam, lParam, lResult);
      if (nResult == xtpHookHandled) {
        *pCurrent = msgSaved;
        return lResult;
      }
      if (nResult == xtpHookStop) break;
    }
  }

  const LRESULT lResult = ::CallWindowProcW(pfnPrev, hWnd, message, wParam, lParam);
  *pCurrent = msgSaved;
  return lResult;
}
