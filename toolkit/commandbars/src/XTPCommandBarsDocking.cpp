// The command bars' docking side: the four dock bars, adding and removing toolbars,
// docking and floating them, the docking hit test, the frame layout, print preview, and
// the expand and add-or-remove popups of the toolbars' expand buttons.
#include <framework.h>

#include "XTPBarDragContext.h"
#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPControl.h"
#include "XTPControlButton.h"
#include "XTPControlPopup.h"
#include "XTPControls.h"
#include "XTPDockBar.h"
#include "XTPPopupBar.h"
#include "XTPResourceManager.h"
#include "XTPShortcutManager.h"
#include "XTPToolBar.h"

// The object as the class when it is one, else null.
#ifndef DYNAMIC_DOWNCAST
template <class T>
static inline T* XTPDownCast(CObject* p, CRuntimeClass* pClass) {
  return p != NULL && p->IsKindOf(pClass) ? static_cast<T*>(p) : NULL;
}
#define DYNAMIC_DOWNCAST(cls, p) XTPDownCast<cls>((p), RUNTIME_CLASS(cls))
#endif

namespace {
struct DockBarSpec {
  UINT nID;
  DWORD dwStyle;
};
// Top, bottom, left, right.
const DockBarSpec kDockBars[4] = {
    {XTP_ID_DOCKBAR_TOP, 0x2800},
    {XTP_ID_DOCKBAR_BOTTOM, 0x8200},
    {XTP_ID_DOCKBAR_LEFT, 0x1400},
    {XTP_ID_DOCKBAR_RIGHT, 0x4100},
};
// The reach of a dock bar beyond each of its sides while a bar is dragged.
const int kDockReach = 20;
}  // namespace

// ---- Dock bars ------------------------------------------------------------------------------
void CXTPCommandBars::CreateDockBars() {
  for (int i = 0; i < 4; i++) {
    if (m_pDocks[i] != NULL) continue;
    CXTPDockBar* pDock = new CXTPDockBar(this);
    if (m_pSite == NULL || !pDock->Create(m_pSite, 0x56000000 | kDockBars[i].dwStyle, kDockBars[i].nID)) {
      delete pDock;
      AfxThrowResourceException();
    }
    m_pDocks[i] = pDock;
  }
}

CXTPDockBar* CXTPCommandBars::GetDockBar(XTPBarPosition barPosition) const {
  return GetDockBarAt((int)barPosition);
}

CXTPDockBar* CXTPCommandBars::GetDockBarAt(int nIndex) const {
  return nIndex >= 0 && nIndex < 4 ? m_pDocks[nIndex] : NULL;
}

void CXTPCommandBars::ReleaseBarsAndDocks() {
  // The dock bars forget their bars first, so no release re-lays a frame on its way out.
  for (CXTPDockBar* pDock : m_pDocks) {
    if (pDock == NULL) continue;
    for (int i = 0; i < pDock->m_arrBars.GetSize(); i++) {
      CXTPToolBar* pBar = pDock->m_arrBars[i];
      if (pBar != NULL && pBar->GetDockBar() == pDock) pBar->SetDockBar(NULL);
    }
    pDock->m_arrBars.RemoveAll();
    pDock->m_arrBars.Add(NULL);
  }
  m_pMenuBar = NULL;
  while (m_arrBars.GetSize() > 0) {
    CXTPToolBar* pBar = m_arrBars[m_arrBars.GetSize() - 1];
    m_arrBars.RemoveAt(m_arrBars.GetSize() - 1);
    pBar->InternalRelease();
  }
  for (CXTPDockBar*& pDock : m_pDocks) {
    if (pDock == NULL) continue;
    if (pDock->GetSafeHwnd() != NULL) pDock->DestroyWindow();
    delete pDock;
    pDock = NULL;
  }
}

// ---- Bars -----------------------------------------------------------------------------------
CXTPToolBar* CXTPCommandBars::Add(LPCTSTR strName, XTPBarPosition barPosition, CRuntimeClass* pToolbarClass) {
  CRuntimeClass* pClass = pToolbarClass != NULL ? pToolbarClass : RUNTIME_CLASS(CXTPToolBar);
  CObject* pObject = pClass->CreateObject();
  CXTPToolBar* pBar = pObject != NULL ? DYNAMIC_DOWNCAST(CXTPToolBar, pObject) : NULL;
  if (pBar == NULL) {
    delete pObject;
    return NULL;
  }
  pBar->SetCommandBars(this);
  pBar->EnableDocking(0x3F);
  pBar->SetTitle(strName);
  if (!pBar->SetPosition(barPosition)) {
    pBar->InternalRelease();
    return NULL;
  }
  m_arrBars.Add(pBar);
  return pBar;
}

CXTPToolBar* CXTPCommandBars::AddCustomBar(LPCTSTR lpcstrCaption, UINT nID, BOOL bTearOffBar) {
  CXTPToolBar* pBar = NULL;
  BOOL bDockingSet = FALSE;
  if (m_pSite != NULL && m_pSite->GetSafeHwnd() != NULL) {
    XTP_COMMANDBAR_CREATE cs = {};
    cs.bPopup = bTearOffBar;
    cs.bCustomBar = TRUE;
    cs.lpcstrCaption = lpcstrCaption;
    cs.nID = (INT_PTR)nID;
    if (m_pSite->SendMessage(XTPM_CREATECOMMANDBAR, 0, (LPARAM)&cs) != 0 && cs.pCommandBar != NULL)
      pBar = DYNAMIC_DOWNCAST(CXTPToolBar, cs.pCommandBar);
  }
  if (pBar == NULL) {
    pBar = new CXTPToolBar();
  } else {
    bDockingSet = pBar->GetDockContext() != NULL;
  }
  pBar->SetCommandBars(this);
  if (!bDockingSet) pBar->EnableDocking(0x3F);
  pBar->SetTitle(lpcstrCaption);
  if (!pBar->SetPosition(bTearOffBar ? xtpBarFloating : xtpBarTop)) {
    pBar->InternalRelease();
    return NULL;
  }
  pBar->SetBarID(nID);
  pBar->SetBuiltIn(FALSE);
  m_arrBars.Add(pBar);
  if (!bTearOffBar) RecalcFrameLayout();
  return pBar;
}

void CXTPCommandBars::Remove(CXTPToolBar* pToolBar) {
  const int nIndex = FindIndex(pToolBar);
  if (nIndex == -1) return;
  if (pToolBar->GetSafeHwnd() != NULL) pToolBar->ShowWindow(SW_HIDE);
  pToolBar->m_bVisible = FALSE;
  CXTPDockBar* pDock = pToolBar->GetDockBar();
  if (pDock != NULL) {
    pDock->RemoveCommandBar(pToolBar);
    RecalcFrameLayout();
  }
  RemoveFromReBar(pToolBar);
  m_arrBars.RemoveAt(nIndex);
  pToolBar->InternalRelease();
}

CXTPToolBar* CXTPCommandBars::GetAt(int nIndex) const {
  return nIndex >= 0 && nIndex < m_arrBars.GetSize() ? m_arrBars[nIndex] : NULL;
}

int CXTPCommandBars::FindIndex(CXTPToolBar* pToolBar) const {
  for (int i = 0; i < m_arrBars.GetSize(); i++) {
    if (m_arrBars[i] == pToolBar) return i;
  }
  return -1;
}

CXTPToolBar* CXTPCommandBars::GetToolBar(UINT nID) const {
  if (nID == 0) return NULL;
  for (int i = 0; i < m_arrBars.GetSize(); i++) {
    if (m_arrBars[i]->GetBarID() == nID) return m_arrBars[i];
  }
  return NULL;
}

int CXTPCommandBars::GetNextVisible(long nIndex, int nDirection) const {
  const int nCount = GetCount();
  if (nCount == 0 || nDirection == 0) return -1;
  long n = nIndex;
  for (int k = 0; k < nCount; k++) {
    n += nDirection;
    if (n < 0) n = nCount - 1;
    if (n >= nCount) n = 0;
    CXTPToolBar* pBar = m_arrBars[(int)n];
    if (pBar->IsVisible() && pBar->GetSafeHwnd() != NULL) return (int)n;
  }
  return -1;
}

void CXTPCommandBars::ToggleVisible(int nIndex) {
  CXTPToolBar* pBar = GetAt(nIndex);
  if (pBar != NULL) pBar->SetVisible(!pBar->IsVisible());
}

// ---- Docking ----------------------------------------------------------------------------------
BOOL CXTPCommandBars::DockCommandBar(CXTPToolBar* pBar, XTPBarPosition xtpPosition) {
  CXTPDockBar* pDockBar = GetDockBar(xtpPosition);
  if (pBar == NULL || pDockBar == NULL || pDockBar->GetSafeHwnd() == NULL) return FALSE;
  return DockCommandBar(pBar, NULL, pDockBar);
}

BOOL CXTPCommandBars::DockCommandBar(CXTPToolBar* pBar, LPRECT lpRect, CXTPDockBar* pDockBar) {
  if (pBar == NULL || pDockBar == NULL || pDockBar->GetSafeHwnd() == NULL) return FALSE;
  if (!pBar->CreateToolBarWindow(pDockBar, FALSE)) return FALSE;
  const XTPBarPosition oldPosition = pBar->GetPosition();
  pBar->m_barPosition = pDockBar->GetPosition();
  pDockBar->DockCommandBar(pBar, lpRect);
  if (oldPosition != pBar->m_barPosition) pBar->DelayLayout();
  return TRUE;
}

BOOL CXTPCommandBars::FloatCommandBar(CXTPToolBar* pBar) {
  if (pBar == NULL) return FALSE;
  if (!pBar->CreateToolBarWindow(m_pSite, TRUE)) return FALSE;
  CXTPDockBar* pDock = pBar->GetDockBar();
  if (pDock != NULL) pDock->RemoveCommandBar(pBar);
  pBar->m_barPosition = xtpBarFloating;
  pBar->DelayLayout();
  pBar->OnRecalcLayout();
  return TRUE;
}

CXTPDockBar* CXTPCommandBars::CanDock(CPoint pt, CXTPDockBar* pMainDock) const {
  auto accepts = [pt](CXTPDockBar* pDock) {
    if (pDock == NULL || pDock->GetSafeHwnd() == NULL) return FALSE;
    if ((pDock->GetDockStyle() & (0xA000 | 0x5000)) == 0) return FALSE;
    CRect rc;
    pDock->GetWindowRect(&rc);
    return (BOOL)(rc.left - kDockReach < pt.x && pt.x < rc.right + kDockReach && rc.top - kDockReach < pt.y &&
                  pt.y < rc.bottom + kDockReach);
  };
  if (accepts(pMainDock)) return pMainDock;
  for (CXTPDockBar* pDock : m_pDocks) {
    if (accepts(pDock)) return pDock;
  }
  return NULL;
}

// ---- Frame layout ---------------------------------------------------------------------------
void CXTPCommandBars::RecalcFrameLayout(BOOL bDelay) {
  if (m_bRecalcLayout || m_pSite == NULL || m_pSite->GetSafeHwnd() == NULL) return;
  CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, m_pSite);
  if (pFrame != NULL) {
    if (bDelay)
      pFrame->m_nIdleFlags |= CFrameWnd::idleLayout;
    else
      pFrame->RecalcLayout(FALSE);
    return;
  }
  CRect rc;
  m_pSite->GetClientRect(&rc);
  if (bDelay)
    m_pSite->PostMessage(WM_SIZE, 0, MAKELPARAM(rc.Width(), rc.Height()));
  else
    m_pSite->SendMessage(WM_SIZE, 0, MAKELPARAM(rc.Width(), rc.Height()));
}

void CXTPCommandBars::RepositionBars() {
  m_bRecalcLayout = TRUE;
  for (int i = 0; i < m_arrBars.GetSize(); i++) {
    CXTPToolBar* pBar = m_arrBars[i];
    if (pBar->IsVisible() && pBar->GetSafeHwnd() != NULL) pBar->OnRecalcLayout();
  }
  m_bRecalcLayout = FALSE;
  RecalcFrameLayout();
}

void CXTPCommandBars::RedrawCommandBars() {
  for (int i = 0; i < m_arrBars.GetSize(); i++) {
    CXTPToolBar* pBar = m_arrBars[i];
    if (!pBar->IsVisible() || pBar->GetSafeHwnd() == NULL) continue;
    pBar->DelayRedraw();
    pBar->Invalidate(FALSE);
  }
}

void CXTPCommandBars::FlushFrameLayout() {
  CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, m_pSite);
  if (pFrame == NULL || pFrame->GetSafeHwnd() == NULL) return;
  if (pFrame->m_nIdleFlags & CFrameWnd::idleLayout) {
    pFrame->RecalcLayout(FALSE);
    pFrame->m_nIdleFlags &= ~(UINT)CFrameWnd::idleLayout;
  }
}

void CXTPCommandBars::OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* /*pState*/) {
  if (m_pShortcutManager != NULL) m_pShortcutManager->OnSetPreviewMode(bPreview);
  for (int i = 0; i < m_arrBars.GetSize(); i++) m_arrBars[i]->OnSetPreviewMode(bPreview);
  RecalcFrameLayout();
}

// ---- Expand and add-or-remove popups -----------------------------------------------------------
namespace {
// The bars of the dock row that holds the bar, or the bar alone when it is not docked.
void RowOf(CXTPToolBar* pBar, CXTPToolBarArray& arrBars) {
  arrBars.RemoveAll();
  CXTPDockBar* pDock = pBar->GetDockBar();
  const int nIndex = pDock != NULL ? pDock->FindBar(pBar) : -1;
  if (nIndex != -1) pDock->GetVisibleBarsInRow(nIndex, arrBars);
  if (arrBars.GetSize() == 0) arrBars.Add(pBar);
}
}  // namespace

void CXTPCommandBars::GetHiddenControls(CXTPToolBar* pToolBar, CXTPCommandBar* pExpandBar) {
  if (pToolBar == NULL || pExpandBar == NULL) return;
  CXTPToolBarArray arrBars;
  RowOf(pToolBar, arrBars);
  for (int b = 0; b < arrBars.GetSize(); b++) {
    CXTPToolBar* pBar = arrBars[b];
    for (int i = 0; i < pBar->GetControlCount(); i++) {
      CXTPControl* pControl = pBar->GetControl(i);
      if (pControl->GetHideFlags() != xtpHideWrap) continue;
      CXTPControl* pClone = pExpandBar->GetControls()->AddClone(pControl);
      if (pClone == NULL) continue;
      pClone->SetHideFlags(xtpHideNone);
      pClone->SetBeginGroup(FALSE);
    }
  }
}

void CXTPCommandBars::GetAddOrRemovePopup(CXTPToolBar* pToolBar, CXTPCommandBar* pExpandBar) {
  if (pToolBar == NULL || pExpandBar == NULL) return;
  CXTPToolBarArray arrBars;
  RowOf(pToolBar, arrBars);
  for (int b = 0; b < arrBars.GetSize(); b++) {
    CXTPToolBar* pBar = arrBars[b];
    CXTPControlPopup* pPopup =
        DYNAMIC_DOWNCAST(CXTPControlPopup, pExpandBar->GetControls()->Add(xtpControlPopup, 0));
    if (pPopup == NULL) continue;
    pPopup->SetFlags(pPopup->GetFlags() | xtpFlagManualUpdate);
    pPopup->SetCaption(pBar->GetTitle());
    pPopup->SetEnabled(m_bCustomizable && pBar->IsCustomizable() && pBar->IsBuiltIn());
    CXTPPopupBar* pList = CXTPPopupBar::CreatePopupBar(this);
    if (pList == NULL) continue;
    pBar->FillAddOrRemoveList(pList);
    pPopup->AttachBar(pList);
    pList->InternalRelease();
  }
  if (m_bCustomizable) {
    CXTPControl* pCustomize = pExpandBar->GetControls()->Add(xtpControlButton, XTP_ID_CUSTOMIZE);
    if (pCustomize != NULL) pCustomize->SetBeginGroup(TRUE);
  }
}
