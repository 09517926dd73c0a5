// The command bars' minimal services: shortcut table, site, popup menus and frame hooks.
#include <framework.h>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPControl.h"
#include "XTPControls.h"
#include "XTPPopupBar.h"
#include "XTPCommandBarsOptions.h"
#include "XTPCustomizeDropSource.h"
#include "XTPModalLoop.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPSoundManager.h"

IMPLEMENT_DYNCREATE(CXTPCommandBars, CCmdTarget)
IMPLEMENT_DYNCREATE(CXTPEdit, CEdit)

// ---------------------------------------------------------------------------------------
CXTPCommandBars::CXTPCommandBars()
    : m_pDropSource(NULL),
      m_pPaintManager(NULL),
      m_pImageManager(NULL),
      m_pDragSelected(NULL),
      m_bCustomizeMode(FALSE),
      m_bCustomizable(FALSE),
      m_nIDMenu(0),
      m_bQuickCustomizeMode(FALSE),
      m_pOptions(NULL),
      m_pSite(NULL),
      m_pMenuBar(NULL),
      m_pToolTipContext(NULL),
      m_pMouseManager(NULL),
      m_bKeyboardCuesVisible(TRUE),
      m_pShortcutManager(NULL),
      m_bRecalcLayout(FALSE),
      m_bHideKeyboardCuesUntilAlt(FALSE),
      m_bRightToLeft(FALSE),
      m_bIgnoreShiftMenuKey(FALSE) {
  for (CXTPDockBar*& pDock : m_pDocks) pDock = NULL;
  m_pDropSource = new CXTPCustomizeDropSource(this);
  m_pOptions = new CXTPCommandBarsOptions(this);
  m_pShortcutManager = new CXTPShortcutManager(this);
}

CXTPCommandBars::~CXTPCommandBars() {
  ReleaseBarsAndDocks();
  delete m_pDropSource;
  if (m_pPaintManager != NULL) m_pPaintManager->InternalRelease();
  delete m_pShortcutManager;
  delete m_pOptions;
  // The process-wide sound worker ends with the bars that asked for its sounds.
  XTPSoundManager()->StopThread();
}

void CXTPCommandBars::SetSite(CWnd* pSite) {
  m_pSite = pSite;
  m_bCustomizable = FALSE;
  if (pSite != NULL && pSite->GetSafeHwnd() != NULL) {
    // Customizable when the site's command routing has a handler for "Customize".
    AFX_CMDHANDLERINFO info = {};
    m_bCustomizable = pSite->OnCmdMsg(XTP_ID_CUSTOMIZE, CN_COMMAND, NULL, &info);
  }
}

CXTPMouseManager* CXTPCommandBars::GetMouseManager() {
  if (m_pMouseManager == NULL) m_pMouseManager = XTPMouseManager();
  return m_pMouseManager;
}

BOOL CXTPCommandBars::IsCommandHidden(UINT nCommand) {
  CXTPCommandBarsOptions* pOptions = m_pOptions;
  if (pOptions == NULL || pOptions->m_mapHiddenCommands.IsEmpty()) return FALSE;
  return pOptions->m_mapHiddenCommands.Contains(nCommand) &&
         !pOptions->m_mapUsedCommands.Contains(nCommand);
}

void CXTPCommandBars::HideCommand(UINT nCommand) { m_pOptions->m_mapHiddenCommands.SetAt(nCommand, TRUE); }

void CXTPCommandBars::HideCommands(const UINT* pCommands, int nCount) {
  if (pCommands == NULL) return;
  for (int i = 0; i < nCount; i++) HideCommand(pCommands[i]);
}

void CXTPCommandBars::SetCommandUsed(UINT nCommand) {
  if (IsCommandHidden(nCommand)) m_pOptions->m_mapUsedCommands.SetAt(nCommand, TRUE);
}

void CXTPCommandBars::ResetUsageData() { m_pOptions->m_mapUsedCommands.RemoveAll(); }

// ---- Interim bodies: the bars and their controls are still to come ----------------------
// Each answers as a command bars object without any bar would.
UINT CXTPCommandBars::GetActiveMenuId() { return 0; }
BOOL CXTPCommandBars::AddToReBar(CXTPCommandBar*, int) { return FALSE; }
void CXTPCommandBars::RemoveFromReBar(CXTPCommandBar* pCommandBar) {
  if (pCommandBar != NULL && (CXTPCommandBar*)m_pMenuBar == pCommandBar) m_pMenuBar = NULL;
}


// A hidden command, or a popup whose controls are all hidden by this same rule when unused
// popups hide themselves; a popup without controls is not hidden.
BOOL CXTPCommandBars::IsControlHidden(CXTPControl* pControl) {
  if (pControl == NULL) return FALSE;
  if (IsCommandHidden(pControl->GetID())) return TRUE;
  const XTPControlType type = pControl->GetType();
  if (!m_pOptions->bAutoHideUnusedPopups || type < xtpControlPopup || type > xtpControlSplitButtonPopup)
    return FALSE;
  CXTPCommandBar* pPopup = pControl->GetCommandBar();
  if (pPopup == NULL || pPopup->GetControlCount() == 0) return FALSE;
  for (int i = 0; i < pPopup->GetControlCount(); i++) {
    if (!IsControlHidden(pPopup->GetControl(i))) return FALSE;
  }
  return TRUE;
}

CXTPPopupBar* CXTPCommandBars::GetToolbarsPopup() {
  CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(this);
  if (pPopup != NULL) pPopup->GetControls()->Add(xtpControlButton, 0xE800);
  return pPopup;
}

// The bars' context menu at a screen point: the site may change the popup (10332); it
// tracks while the thread's messages are pumped. A WM_QUIT met meanwhile ends the menu and
// goes back to the queue.
void CXTPCommandBars::ContextMenu(CXTPToolBar* pToolBar, CPoint point) {
  if (IsCustomizeMode()) return;
  CXTPPopupBar* pPopup = GetToolbarsPopup();
  if (pPopup == NULL) return;
  if (m_pSite != NULL && m_pSite->GetSafeHwnd() != NULL)
    m_pSite->SendMessage(XTPM_TOOLBARCONTEXTMENU, (WPARAM)pToolBar, (LPARAM)pPopup);
  if (pPopup->GetControlCount() > 0) {
    pPopup->SetPopupFlags(m_bRightToLeft ? CXTPPopupBar::xtpPopupLeft : 0);
    GetMouseManager()->CloseAllTrackingBars();
    if (pPopup->PopupAt(point.x, point.y)) {
      MSG msg;
      while (pPopup->IsTrackingMode()) {
        if (!XTPGetModalLoopMessage(msg)) {
          pPopup->CancelTracking();
          break;
        }
        if (msg.message == 0x036A) continue;  // WM_KICKIDLE
        if (!AfxInternalPreTranslateMessage(&msg)) {
          ::TranslateMessage(&msg);
          ::DispatchMessage(&msg);
        }
      }
    }
  }
  pPopup->InternalRelease();
}
