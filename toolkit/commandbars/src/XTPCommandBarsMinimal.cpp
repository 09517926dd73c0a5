// The command bars' minimal services: shortcut table, site, popup menus and frame hooks.
#include <framework.h>

#include "XTPCommandBars.h"

IMPLEMENT_DYNAMIC(CXTPShortcutManager, CCmdTarget)
IMPLEMENT_DYNCREATE(CXTPCommandBars, CCmdTarget)
IMPLEMENT_DYNCREATE(CXTPEdit, CEdit)

// ---------------------------------------------------------------------------------------
CXTPShortcutManager::CXTPShortcutManager(CXTPCommandBars* pCommandBars)
    : m_hAccelTable(NULL), m_pCommandBars(pCommandBars), m_bPreviewMode(FALSE) {}

CXTPShortcutManager::~CXTPShortcutManager() {
  if (m_hAccelTable != NULL) ::DestroyAcceleratorTable(m_hAccelTable);
}

void CXTPShortcutManager::SetAccelerators(HACCEL hAccelTable) {
  HACCEL hCopy = NULL;
  if (hAccelTable != NULL) {
    const int nCount = ::CopyAcceleratorTableW(hAccelTable, NULL, 0);
    if (nCount > 0) {
      ACCEL* pEntries = new ACCEL[nCount];
      ::CopyAcceleratorTableW(hAccelTable, pEntries, nCount);
      hCopy = ::CreateAcceleratorTableW(pEntries, nCount);
      delete[] pEntries;
    }
  }
  if (m_hAccelTable != NULL) ::DestroyAcceleratorTable(m_hAccelTable);
  m_hAccelTable = hCopy;
}

BOOL CXTPShortcutManager::LoadAccelerators(UINT nIDResource) {
  HACCEL hLoaded = ::LoadAcceleratorsW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource));
  if (hLoaded == NULL) return FALSE;
  SetAccelerators(hLoaded);
  return m_hAccelTable != NULL;
}

BOOL CXTPShortcutManager::TranslateAccelerator(HWND hWndSite, MSG* pMsg) {
  if (m_hAccelTable == NULL || m_bPreviewMode || hWndSite == NULL || pMsg == NULL) return FALSE;
  if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) return FALSE;
  return ::TranslateAcceleratorW(hWndSite, m_hAccelTable, pMsg) != 0;
}

void CXTPShortcutManager::OnSetPreviewMode(BOOL bPreview) { m_bPreviewMode = bPreview; }

// ---------------------------------------------------------------------------------------
CXTPCommandBars::CXTPCommandBars() : m_pSite(NULL), m_pShortcutManager(new CXTPShortcutManager(this)) {}

CXTPCommandBars::~CXTPCommandBars() { delete m_pShortcutManager; }

void CXTPCommandBars::OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* /*pState*/) {
  if (m_pShortcutManager != NULL) m_pShortcutManager->OnSetPreviewMode(bPreview);
}

BOOL CXTPCommandBars::PreTranslateFrameMessage(MSG* pMsg) {
  // No bars: only the shortcut manager's table can use a key.
  if (m_pShortcutManager == NULL || m_pSite == NULL || pMsg == NULL) return FALSE;
  return m_pShortcutManager->TranslateAccelerator(m_pSite->GetSafeHwnd(), pMsg);
}

BOOL CXTPCommandBars::OnFrameWndMsg(UINT, WPARAM, LPARAM, LRESULT*) { return FALSE; }

int AFX_CDECL CXTPCommandBars::TrackPopupMenu(CMenu* pMenu, UINT nFlags, int x, int y, CWnd* pWnd,
                                              UINT /*nToolBarId*/) {
  // There is no command-bars paint manager to draw a popup bar: the system's menu.
  if (pMenu == NULL || pMenu->GetSafeHmenu() == NULL || pWnd == NULL || pWnd->GetSafeHwnd() == NULL)
    return 0;
  return pMenu->TrackPopupMenu(nFlags, x, y, pWnd);
}
