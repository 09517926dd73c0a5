// Modal tracking of a popup bar for any window: the popup opens at a point and a local
// message loop runs until it stops tracking.
#include <framework.h>

#include "XTPCommandBars.h"
#include "XTPControls.h"
#include "XTPPaintManager.h"
#include "XTPModalLoop.h"
#include "XTPMouseManager.h"
#include "XTPPopupBar.h"

#ifndef WM_KICKIDLE
#define WM_KICKIDLE 0x036A
#endif

int AFX_CDECL CXTPCommandBars::TrackPopupBar(CXTPPopupBar* pPopup, UINT nFlags, int x, int y, CWnd* pWnd,
                                             LPCRECT rcExclude, CWnd* pWndOwner) {
  if (pPopup == NULL) return 0;
  pPopup->SetOwner(pWnd);
  pPopup->SetCommandTarget(pWndOwner != NULL ? pWndOwner : pWnd);
  int nReturn = 0;
  const BOOL bReturnCmd = (nFlags & TPM_RETURNCMD) != 0;
  pPopup->SetReturnCmd(bReturnCmd ? &nReturn : NULL);
  pPopup->SetTrackFlags((nFlags & TPM_RIGHTBUTTON) != 0, (nFlags & TPM_NONOTIFY) != 0,
                        (nFlags & TPM_RECURSE) != 0);
  pPopup->SetPopupFlags((nFlags & TPM_RIGHTALIGN) != 0 ? CXTPPopupBar::xtpPopupLeft | CXTPPopupBar::xtpPopupDown
                                                        : CXTPPopupBar::xtpPopupDown);

  CXTPMouseManager* pMouseManager = XTPMouseManager();
  const BOOL bRecurse = (nFlags & TPM_RECURSE) != 0;
  if (bRecurse) {
    pMouseManager->CloseUnlockedTrackingBars();
    pMouseManager->LockTrackingBars(TRUE);
  } else {
    pMouseManager->CloseAllTrackingBars();
    ::ReleaseCapture();
  }

  BOOL bOpened = pPopup->PopupAt(x, y, rcExclude);
  if (bOpened) {
    MSG msg;
    while (pPopup->IsTrackingMode()) {
      if (!XTPGetModalLoopMessage(msg)) {
        // The program is ending (its quit is back in the queue) or the wait failed.
        pPopup->CancelTracking();
        break;
      }
      if (!pPopup->IsTrackingMode()) {
        ::PostMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        break;
      }
      if (msg.message == WM_KICKIDLE) continue;
      if (!AfxInternalPreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessage(&msg);
      }
    }
  }
  if (bRecurse) pMouseManager->LockTrackingBars(FALSE);
  pPopup->SetReturnCmd(NULL);
  if (!bOpened) return 0;
  return bReturnCmd ? nReturn : 1;
}

int AFX_CDECL CXTPCommandBars::TrackPopupMenu(CMenu* pMenu, UINT nFlags, int x, int y, CWnd* pWnd,
                                              UINT /*nToolBarId*/) {
  if (pMenu == NULL || pMenu->GetSafeHmenu() == NULL || pWnd == NULL || pWnd->GetSafeHwnd() == NULL)
    return 0;
  // Until a theme is installed there is no paint manager to draw a popup bar: the system's
  // menu.
  if (CXTPPaintManager::GetCurrentPaintManager() == NULL) return pMenu->TrackPopupMenu(nFlags, x, y, pWnd);
  CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(NULL);
  if (pPopup == NULL) return 0;
  int nResult = 0;
  pPopup->GetControls()->RemoveAll();
  if (pPopup->GetControls()->LoadMenu(pMenu))
    nResult = TrackPopupBar(pPopup, nFlags | TPM_NONOTIFY, x, y, pWnd);
  pPopup->InternalRelease();
  return nResult;
}
