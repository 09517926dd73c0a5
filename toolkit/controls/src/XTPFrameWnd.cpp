// The frame window base that routes input and messages to the command bars.
#include <framework.h>

#include "XTPFrameWnd.h"
#include "XTPCommandBars.h"

IMPLEMENT_DYNCREATE(CXTPFrameWnd, CFrameWnd)

CXTPFrameWnd::CXTPFrameWnd() : m_pCommandBars(NULL) {}

CXTPFrameWnd::~CXTPFrameWnd() {
  if (m_pCommandBars != NULL) {
    CXTPCommandBars* pCommandBars = m_pCommandBars;
    m_pCommandBars = NULL;
    pCommandBars->InternalRelease();
  }
}

BOOL CXTPFrameWnd::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && pMsg->wParam != VK_TAB &&
      pMsg->wParam != VK_RETURN && pMsg->wParam != VK_ESCAPE) {
    // A command-bar edit box gets its keys untranslated.
    CWnd* pFocus = CWnd::GetFocus();
    if (pFocus != NULL && pFocus->IsKindOf(RUNTIME_CLASS(CXTPEdit))) return FALSE;
  }
  if (CFrameWnd::PreTranslateMessage(pMsg)) return TRUE;
  return m_pCommandBars != NULL ? m_pCommandBars->PreTranslateFrameMessage(pMsg) : FALSE;
}

BOOL CXTPFrameWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  if (m_pCommandBars != NULL && m_pCommandBars->OnFrameWndMsg(message, wParam, lParam, pResult)) return TRUE;
  if (message != WM_XTP_COMMANDBARSNOTIFY) return CFrameWnd::OnWndMsg(message, wParam, lParam, pResult);

  // A command-bars notification, routed through the command targets like WM_NOTIFY.
  NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
  if (pNMHDR == NULL) return FALSE;
  LRESULT lResult = 0;
  AFX_NOTIFY notify;
  notify.pResult = &lResult;
  notify.pNMHDR = pNMHDR;
  if (!OnCmdMsg((UINT)pNMHDR->idFrom, MAKELONG(pNMHDR->code, WM_NOTIFY), &notify, NULL)) return FALSE;
  if (pResult != NULL) *pResult = lResult;
  return TRUE;
}

BOOL CXTPFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext) {
  if (!CFrameWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext)) return FALSE;
  // Only the shortcut manager translates keys once it has a table of its own. A table
  // loaded from resources is freed with the module; it is only let go here.
  if (m_pCommandBars != NULL) {
    CXTPShortcutManager* pShortcuts = m_pCommandBars->GetShortcutManager();
    if (pShortcuts != NULL && pShortcuts->m_hAccelTable != NULL) m_hAccelTable = NULL;
  }
  return TRUE;
}

void CXTPFrameWnd::OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState) {
  if (m_pCommandBars != NULL) m_pCommandBars->OnSetPreviewMode(bPreview, pState);
  CFrameWnd::OnSetPreviewMode(bPreview, pState);
}
