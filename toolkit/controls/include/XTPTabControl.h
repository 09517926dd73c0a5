// The tab control: a child window that hosts one tab manager and makes it a page
// container. Each tab carries a page window; only the selected tab's page is shown and it
// fills the area the strip leaves. Every selection is reported to the owner as WM_NOTIFY
// TCN_SELCHANGE. Icons come from the control's own image manager, tooltips from its own
// tooltip context, and an OLE drop target selects the tab under a drag.
#pragma once

#include <framework.h>

#include "XTPTabAppearanceSets.h"
#include "XTPTabColorSets.h"
#include "XTPTabManager.h"
#include "XTPTabPaintManager.h"

class CXTPImageManager;
class CXTPToolTipContext;
class CXTPTabControl;

// Selects the tab under an OLE drag when the paint manager asks for it; never accepts.
class CXTPTabControlDropTarget : public COleDropTarget {
 public:
  explicit CXTPTabControlDropTarget(CXTPTabControl* pControl) : m_pControl(pControl) {}
  DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) override;
  // The same, for a drag-over point in client coordinates.
  DROPEFFECT DragOverAt(CPoint point);

 private:
  CXTPTabControl* m_pControl;
};

class CXTPTabControl : public CWnd, public CXTPTabManager {
  DECLARE_DYNAMIC(CXTPTabControl)

 public:
  CXTPTabControl();
  ~CXTPTabControl() override;

  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  // Inserts a tab with a caption, a page window (hidden until selected) and an image id;
  // inserting at index 0 selects the first tab.
  CXTPTabManagerItem* InsertItem(int nIndex, LPCTSTR lpszCaption, HWND hwndPage = nullptr, int nImage = -1);
  using CXTPTabManager::InsertItem;

  CXTPImageManager* GetImageManager() const { return m_pImageManager; }
  CXTPToolTipContext* GetToolTipContext() const { return m_pToolTipContext; }
  CXTPTabControlDropTarget* GetDropTarget() const { return m_pDropTarget; }
  HWND GetActivePage() const { return m_hwndActive; }

  // ---- The manager's window-dependent operations ----
  void Reposition() override;
  void SetSelectedItem(CXTPTabManagerItem* pItem) override;
  void SelectItem(CXTPTabManagerItem* pItem) override;
  CXTPTabPaintManager* GetPaintManager() const override { return m_pPaintManager; }
  // Takes ownership of a new paint manager (the one held: only refreshes).
  void SetPaintManager(CXTPTabPaintManager* pPaintManager) override;
  void RedrawControl() override;
  BOOL DrawIcon(CDC* pDC, CPoint pt, CXTPTabManagerItem* pItem, BOOL bDraw, CSize& szIcon) override;
  void OnItemClick(CXTPTabManagerItem* pItem) override;
  void OnNavigateButtonClick(UINT nID) override;
  BOOL IsFocusVisible() const override;

  // The tab under a point as a tool (its index), or -1.
  INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;

 protected:
  void PreSubclassWindow() override;
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  void PostNcDestroy() override;

  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnPaint();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnMouseLeave();
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg UINT OnGetDlgCode();
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg void OnSysColorChange();
  DECLARE_MESSAGE_MAP()

  // Whether the parent's UI state hides focus rectangles.
  BOOL IsFocusHidden() const;

  HWND m_hwndActive;
  CXTPTabPaintManager* m_pPaintManager;
  CXTPImageManager* m_pImageManager;
  CXTPTabControlDropTarget* m_pDropTarget;
  CXTPToolTipContext* m_pToolTipContext;
};
