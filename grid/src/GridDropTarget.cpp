// The drop target of grids.
#include "GridDropTarget.h"

#include "GridCtrl.h"

namespace {
// Registering creates the OLE drop-target plumbing, which may re-enter through window
// messages; one registration at a time.
bool s_bRegistering = false;
}  // namespace

BOOL CGridDropTarget::Register(CGridCtrl* pGridCtrl) {
  if (m_bRegistered || s_bRegistering || !pGridCtrl || !pGridCtrl->IsKindOf(RUNTIME_CLASS(CGridCtrl)))
    return FALSE;
  s_bRegistering = true;
  m_pGridCtrl = pGridCtrl;
  m_bRegistered = COleDropTarget::Register(pGridCtrl);
  s_bRegistering = false;
  return m_bRegistered;
}

void CGridDropTarget::Revoke() {
  m_bRegistered = FALSE;
  COleDropTarget::Revoke();
}

CGridCtrl* CGridDropTarget::GridOf(CWnd* pWnd) const {
  return pWnd && m_pGridCtrl && pWnd->GetSafeHwnd() == m_pGridCtrl->GetSafeHwnd() ? m_pGridCtrl : nullptr;
}

DROPEFFECT CGridDropTarget::OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint /*point*/) {
  if (!GridOf(pWnd)) return DROPEFFECT_NONE;
  return (dwKeyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

DROPEFFECT CGridDropTarget::OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) {
  CGridCtrl* pGrid = GridOf(pWnd);
  return pGrid ? pGrid->OnDragEnter(pDataObject, dwKeyState, point) : DROPEFFECT_NONE;
}

DROPEFFECT CGridDropTarget::OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) {
  CGridCtrl* pGrid = GridOf(pWnd);
  return pGrid ? pGrid->OnDragOver(pDataObject, dwKeyState, point) : DROPEFFECT_NONE;
}

void CGridDropTarget::OnDragLeave(CWnd* pWnd) {
  if (CGridCtrl* pGrid = GridOf(pWnd)) pGrid->OnDragLeave();
}

BOOL CGridDropTarget::OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point) {
  CGridCtrl* pGrid = GridOf(pWnd);
  return pGrid ? pGrid->OnDrop(pDataObject, dropEffect, point) : FALSE;
}
