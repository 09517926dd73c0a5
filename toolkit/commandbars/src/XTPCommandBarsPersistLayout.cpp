// The command bars' side of the stored layout: which toolbars go into the controls
// stream, how bars read back are merged into the live ones, and SaveBarState /
// LoadBarState with the placement of every bar, the dock rows and the status bar.
#include <framework.h>

#include <algorithm>
#include <vector>

#include "XTPBarDragContext.h"
#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPCommandBarsPersist.h"
#include "XTPCommandBarsPersistStream.h"
#include "XTPControls.h"
#include "XTPDialogBar.h"
#include "XTPDockBar.h"
#include "XTPMenuBar.h"
#include "XTPToolBar.h"

#ifndef AS_KIND
#define AS_KIND(cls, p) ((p) != NULL && (p)->IsKindOf(RUNTIME_CLASS(cls)) ? static_cast<cls*>(p) : NULL)
#endif

namespace {

// Control ids of the dock bars by index (0 top, 1 bottom, 2 left, 3 right).
const UINT kDockBarIds[4] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT,
                             AFX_IDW_DOCKBAR_RIGHT};
const UINT kStatusBarId = 0xE801;
// The most "Bar#%d" entries read from one dock bar.
const uint32_t kMaxDockEntries = 4096;

int DockIndexFromId(int nID) {
  for (int i = 0; i < 4; i++)
    if ((int)kDockBarIds[i] == nID) return i;
  return -1;
}

CString Section(LPCTSTR lpszFormat, LPCTSTR lpszProfileName, int nIndex) {
  CString str;
  str.Format(lpszFormat, lpszProfileName, nIndex);
  return str;
}

BOOL CALLBACK AddWorkArea(HMONITOR hMonitor, HDC, LPRECT, LPARAM lParam) {
  MONITORINFO mi = {sizeof(mi)};
  if (::GetMonitorInfoW(hMonitor, &mi)) {
    xtp_layout::Rect32 rc;
    rc.left = mi.rcWork.left;
    rc.top = mi.rcWork.top;
    rc.right = mi.rcWork.right;
    rc.bottom = mi.rcWork.bottom;
    reinterpret_cast<std::vector<xtp_layout::Rect32>*>(lParam)->push_back(rc);
  }
  return TRUE;
}

std::vector<xtp_layout::Rect32> WorkAreas() {
  std::vector<xtp_layout::Rect32> areas;
  ::EnumDisplayMonitors(NULL, NULL, AddWorkArea, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

// A floating place back onto the nearest work area when none of its caption is on one.
CPoint OntoWorkArea(CPoint pt, CSize sz, const std::vector<xtp_layout::Rect32>& areas) {
  int32_t x = pt.x, y = pt.y;
  xtp_layout::BringOntoWorkArea(&x, &y, sz.cx, sz.cy, areas);
  return CPoint(x, y);
}

CControlBar* SiteStatusBar(CWnd* pSite) {
  CFrameWnd* pFrame = AS_KIND(CFrameWnd, pSite);
  if (pFrame == NULL || pFrame->GetSafeHwnd() == NULL) return NULL;
  CControlBar* pBar = pFrame->GetControlBar(kStatusBarId);
  return pBar != NULL && pBar->GetSafeHwnd() != NULL ? pBar : NULL;
}

}  // namespace

// ---------------------------------------------------------------------------------------
void CXTPCommandBars::GenerateCommandBarList(CXTPCommandBarList* pCommandBarList,
                                             XTP_COMMANDBARS_PROPEXCHANGE_PARAM* pParam) {
  if (pCommandBarList == NULL || pParam == NULL) return;
  DWORD nID = 0x1000000;
  for (int i = 0; i < GetCount(); i++) {
    CXTPToolBar* pBar = GetAt(i);
    if (pBar == NULL) continue;
    const BOOL bTake = !pParam->bSaveOnlyCustomized || !pBar->IsBuiltIn() || pBar->IsTearOff() ||
                       pBar->GetControls()->IsChanged();
    if (bTake) pBar->GenerateCommandBarList(nID, pCommandBarList, pParam);
  }
}

void CXTPCommandBars::RestoreCommandBarList(CXTPCommandBarList* pCommandBarList, BOOL bSilent) {
  if (pCommandBarList == NULL) return;
  // The loaded toolbars first (the list changes while they are merged).
  std::vector<CXTPToolBar*> arrLoaded;
  for (POSITION pos = pCommandBarList->GetHeadPosition(); pos != NULL;) {
    CXTPToolBar* pToolBar = AS_KIND(CXTPToolBar, pCommandBarList->GetNext(pos));
    if (pToolBar != NULL) arrLoaded.push_back(pToolBar);
  }
  std::vector<UINT> arrMerged;
  for (CXTPToolBar* pLoaded : arrLoaded) {
    pLoaded->RestoreCommandBarList(pCommandBarList);
    const UINT nID = pLoaded->GetBarID();
    // A second stored bar of an id already merged is dropped with the list.
    if (std::find(arrMerged.begin(), arrMerged.end(), nID) != arrMerged.end()) continue;
    arrMerged.push_back(nID);
    CXTPToolBar* pLive = GetToolBar(nID);
    if (pLive == NULL) {
      // A bar the user made: it joins the bars (the list's reference moves with it).
      if (!pCommandBarList->Detach(pLoaded)) continue;
      pLoaded->SetCommandBars(this);
      m_arrBars.Add(pLoaded);
      pLoaded->CreateToolBarWindow(m_pSite, FALSE);
      pLoaded->EnableDocking(pLoaded->GetFlags());
      AddToReBar(pLoaded, 0);
      continue;
    }
    CXTPControls* pLoadedOriginal = pLoaded->GetControls()->GetOriginalControls();
    CXTPControls* pLiveOriginal = pLive->GetControls()->GetOriginalControls();
    BOOL bCopy = FALSE;
    if (pLoadedOriginal == NULL || pLiveOriginal == NULL || pLoadedOriginal->Compare(pLiveOriginal)) {
      bCopy = TRUE;
    } else if (!bSilent && !pLoaded->GetControls()->Compare(pLoadedOriginal)) {
      // The program's bar changed since the layout was saved and the user had customised
      // it: keep the customisation (No) or take the new bar (Yes).
      bCopy = AskLayoutQuestion(pLive->GetTitle()) == IDNO;
    }
    if (!bCopy) continue;
    // The live bar keeps its own original controls: they are the program's, and the
    // next save compares against them.
    if (pLiveOriginal != NULL) pLiveOriginal->InternalAddRef();
    pLive->Copy(pLoaded, FALSE);
    if (pLiveOriginal != NULL) {
      pLive->GetControls()->SetOriginalControls(pLiveOriginal);
      pLiveOriginal->InternalRelease();
    }
  }
  // A menu bar read back (id 1) becomes the menu bar.
  CXTPToolBar* pMenu = GetToolBar(1);
  CRuntimeClass* pMenuClass = CRuntimeClass::FromName(L"CXTPMenuBar");
  if (pMenu != NULL && pMenuClass != NULL && pMenu->IsKindOf(pMenuClass))
    m_pMenuBar = static_cast<CXTPMenuBar*>(pMenu);
}

// ---------------------------------------------------------------------------------------
void CXTPCommandBars::SaveBarState(LPCTSTR lpszProfileName, BOOL bOnlyCustomized) {
  CWinApp* pApp = AfxGetApp();
  if (pApp == NULL || lpszProfileName == NULL) return;

  // 1-2. One placement record per bar, in bar order.
  CXTPBarStateList list;
  for (int i = 0; i < GetCount(); i++) {
    CXTPToolBar* pBar = GetAt(i);
    if (pBar == NULL) continue;
    CXTPBarState* pState = new CXTPBarState();
    pState->pBar = pBar;
    pState->nBarID = (int)pBar->GetBarID();
    pState->bVisible = pBar->IsVisible();
    pState->nMRUWidth = pBar->GetMRUWidth();
    pState->bFloating = pBar->GetPosition() == xtpBarFloating;
    CXTPBarDragContext* pContext = pBar->GetDockContext();
    if (pBar->GetSafeHwnd() != NULL) {
      CRect rc;
      pBar->GetWindowRect(&rc);
      CPoint pt = rc.TopLeft();
      if (!pState->bFloating && pBar->GetDockBar() != NULL && pBar->GetDockBar()->GetSafeHwnd() != NULL)
        pBar->GetDockBar()->ScreenToClient(&pt);
      pState->ptPosition = pt;
    } else if (pContext != NULL) {
      pState->ptPosition = pContext->m_ptLastFloat;
    }
    if (pContext != NULL) {
      if (pContext->m_nLastDockBar >= 0 && pContext->m_nLastDockBar < 4)
        pState->nMRUDockID = (int)kDockBarIds[pContext->m_nLastDockBar];
      pState->rcMRUDockPos = pContext->m_rcLastDocked;
      pState->ptMRUFloatPos = pContext->m_ptLastFloat;
    }
    if (pBar->IsDialogBar()) {
      CXTPDialogBar* pDialogBar = static_cast<CXTPDialogBar*>(pBar);
      pState->bDialogBar = TRUE;
      pState->szDockingClient = pDialogBar->GetDockingClientSize();
      pState->szFloatingClient = pDialogBar->GetFloatingClientSize();
    }
    list.Add(pState);
  }
  list.SaveList(pApp, lpszProfileName);

  // 3. The rows of each dock bar.
  for (int d = 0; d < 4; d++) {
    const CString strSection = Section(_T("%s-DockBar%d"), lpszProfileName, d);
    pApp->WriteProfileString(strSection, NULL, NULL);
    CXTPDockBar* pDock = GetDockBarAt(d);
    if (pDock == NULL || pDock->GetBarCount() <= 1) continue;
    int n = 0, nLast = -1;
    for (int i = 0; i < pDock->GetBarCount(); i++) {
      CXTPToolBar* pBar = pDock->GetBarAt(i);
      const int nValue = pBar != NULL ? (int)pBar->GetBarID() : 0;
      if (nValue == 0 && n > 0 && nLast == 0) continue;
      CString strEntry;
      strEntry.Format(_T("Bar#%d"), n++);
      pApp->WriteProfileInt(strSection, strEntry, nValue);
      nLast = nValue;
    }
    pApp->WriteProfileInt(strSection, _T("Bars"), n);
  }

  // 4. The frame's status bar.
  if (CControlBar* pStatus = SiteStatusBar(m_pSite)) {
    if ((pStatus->GetStyle() & WS_VISIBLE) == 0)
      pApp->WriteProfileInt(lpszProfileName, _T("StatusBar"), 0);
    else
      pApp->WriteProfileString(lpszProfileName, _T("StatusBar"), NULL);
  }

  // 5. The definitions of customised and user-made bars.
  if (m_bCustomizable) SaveCommandBars(lpszProfileName, bOnlyCustomized);

  // 6. A menu bar that went back to its default menu for saving shows the document's
  // menu again.
  if (m_pMenuBar != NULL && m_pMenuBar->IsDocumentMenusRestored()) {
    CFrameWnd* pFrame = AS_KIND(CFrameWnd, m_pSite);
    if (pFrame != NULL) pFrame->OnUpdateFrameMenu(NULL);
  }
  // 7.
  if (m_pOptions != NULL) m_pOptions->bDirtyState = FALSE;
}

void CXTPCommandBars::LoadBarState(LPCTSTR lpszProfileName, BOOL bSilent) {
  CWinApp* pApp = AfxGetApp();
  if (pApp == NULL || lpszProfileName == NULL) return;

  // 1. Customised and user-made bars (a damaged stream leaves the bars as built).
  if (m_bCustomizable) LoadCommandBars(lpszProfileName, bSilent);

  // 2. The placement records, scaled to today's screen.
  CXTPBarStateList list;
  list.LoadList(pApp, lpszProfileName);

  // 3. The dock rows: unknown ids are row breaks, a bar listed again is dropped, the row
  // list starts with a break and holds no two breaks in a row.
  std::vector<int32_t> arrKnown;
  for (int i = 0; i < GetCount(); i++)
    if (GetAt(i) != NULL) arrKnown.push_back((int32_t)GetAt(i)->GetBarID());
  std::vector<CXTPToolBar*> arrPlaced;
  for (int d = 0; d < 4; d++) {
    CXTPDockBar* pDock = GetDockBarAt(d);
    const CString strSection = Section(_T("%s-DockBar%d"), lpszProfileName, d);
    const uint32_t nBars =
        xtp_layout::BoundStoredCount((int)pApp->GetProfileInt(strSection, _T("Bars"), 0), kMaxDockEntries);
    if (pDock == NULL || nBars <= 1) continue;
    std::vector<int32_t> arrStored;
    for (uint32_t i = 0; i < nBars; i++) {
      CString strEntry;
      strEntry.Format(_T("Bar#%d"), (int)i);
      arrStored.push_back((int32_t)pApp->GetProfileInt(strSection, strEntry, 0));
    }
    // A bar already placed in another dock bar's row is listed again there: drop it.
    for (int32_t& nID : arrStored)
      for (CXTPToolBar* pPlaced : arrPlaced)
        if (nID != 0 && pPlaced->GetBarID() == (UINT)nID) nID = -1;
    arrStored.erase(std::remove(arrStored.begin(), arrStored.end(), -1), arrStored.end());
    const std::vector<int32_t> arrRow = xtp_layout::NormaliseDockRow(arrStored, arrKnown, kMaxDockEntries);
    CXTPToolBarArray& arrEntries = pDock->GetBarArray();
    int nInsert = 0;
    for (int32_t nID : arrRow) {
      CXTPToolBar* pBar = nID != 0 ? GetToolBar((UINT)nID) : NULL;
      if (pBar != NULL) {
        arrPlaced.push_back(pBar);
        if (pBar->GetSafeHwnd() != NULL && pDock->GetSafeHwnd() != NULL && pBar->GetParent() != pDock)
          pBar->SetParent(pDock);
        CXTPDockBar* pOld = pBar->GetDockBar();
        if (pOld != NULL && pOld != pDock) pOld->RemoveCommandBar(pBar);
        // Its own earlier entry in this dock bar goes: one entry per bar.
        for (INT_PTR k = arrEntries.GetSize() - 1; k >= nInsert; k--)
          if (arrEntries[k] == pBar) arrEntries.RemoveAt(k);
        pBar->SetDockBar(pDock);
        pBar->m_barPosition = pDock->GetPosition();
      }
      arrEntries.InsertAt(nInsert++, pBar);
    }
    pDock->NormalizeRows();
  }

  // 4. The frame's status bar.
  if (pApp->GetProfileInt(lpszProfileName, _T("StatusBar"), 1) == 0) {
    CFrameWnd* pFrame = AS_KIND(CFrameWnd, m_pSite);
    if (CControlBar* pStatus = SiteStatusBar(m_pSite)) pFrame->ShowControlBar(pStatus, FALSE, FALSE);
  }

  // 5. Each record applied to its bar (a second record of the same bar is ignored).
  const std::vector<xtp_layout::Rect32> arrAreas = WorkAreas();
  std::vector<int> arrApplied;
  for (int i = 0; i < list.GetCount(); i++) {
    CXTPBarState* pState = list.GetAt(i);
    CXTPToolBar* pBar = GetToolBar((UINT)pState->nBarID);
    if (pBar == NULL || std::find(arrApplied.begin(), arrApplied.end(), pState->nBarID) != arrApplied.end())
      continue;
    arrApplied.push_back(pState->nBarID);
    pState->pBar = pBar;
    if (pState->bFloating)
      FloatCommandBar(pBar);
    else
      pBar->CreateToolBarWindow(m_pSite, FALSE);
    pBar->SetMRUWidth(pState->nMRUWidth);
    if (pState->bDialogBar && pBar->IsDialogBar()) {
      CXTPDialogBar* pDialogBar = static_cast<CXTPDialogBar*>(pBar);
      if (pState->szDockingClient.cx > 0 && pState->szDockingClient.cy > 0)
        pDialogBar->SetDockingClientSize(pState->szDockingClient);
      if (pState->szFloatingClient.cx > 0 && pState->szFloatingClient.cy > 0)
        pDialogBar->SetFloatingClientSize(pState->szFloatingClient);
    }
    CSize szBar(100, 30);
    if (pBar->GetSafeHwnd() != NULL) {
      CRect rc;
      pBar->GetWindowRect(&rc);
      if (rc.Width() > 0 && rc.Height() > 0) szBar = rc.Size();
    }
    if (CXTPBarDragContext* pContext = pBar->GetDockContext()) {
      const int nDock = DockIndexFromId(pState->nMRUDockID);
      if (nDock >= 0) pContext->m_nLastDockBar = nDock;
      pContext->m_rcLastDocked = pState->rcMRUDockPos;
      pContext->m_ptLastFloat = OntoWorkArea(pState->ptMRUFloatPos, szBar, arrAreas);
    }
    CPoint pt = pState->ptPosition;
    if (pState->bFloating) pt = OntoWorkArea(pt, szBar, arrAreas);
    UINT nFlags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (!pState->bFloating) {
      nFlags |= SWP_NOSIZE;
      if (pBar->GetDockBar() == NULL) nFlags |= SWP_NOMOVE;
    }
    nFlags |= pState->bVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
    if (pBar->GetSafeHwnd() != NULL) pBar->SetWindowPos(NULL, pt.x, pt.y, 0, 0, nFlags);
    pBar->m_bVisible = pState->bVisible;
    if (pState->bFloating) pBar->OnRecalcLayout();
  }

  // 6-7.
  RecalcFrameLayout(TRUE);
  if (m_pOptions != NULL) m_pOptions->bDirtyState = FALSE;
}
