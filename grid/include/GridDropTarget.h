// The OLE drop target of a grid: passes the drag events over the grid's window on to the
// grid's own drag handlers.
#pragma once

#include "GridTypes.h"

class CGridCtrl;

class CGridDropTarget : public COleDropTarget {
 public:
  CGridDropTarget() = default;
  ~CGridDropTarget() override = default;

  BOOL Register(CGridCtrl* pGridCtrl);
  void Revoke();
  BOOL IsRegistered() const { return m_bRegistered; }

  DROPEFFECT OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point) override;
  DROPEFFECT OnDragEnter(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
  DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
  void OnDragLeave(CWnd* pWnd) override;
  BOOL OnDrop(CWnd* pWnd, COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point) override;

 private:
  CGridCtrl* GridOf(CWnd* pWnd) const;

  CGridCtrl* m_pGridCtrl = nullptr;
  BOOL m_bRegistered = FALSE;
};
