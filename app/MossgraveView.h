// The one view of the program: the header picture and the wizard, a tab control whose
// three items are the pages, with the tab headers hidden so that only the program changes
// pages. It also routes the program's messages between the frame and the current page.
#pragma once

#include <framework.h>

#include "AppMessages.h"
#include "XTPTabColorSets.h"
#include "XTPTabControl.h"

class CTarrowCommonBaseView;

// The wizard's tab colours: the header area gets a yellow frame, a pale gradient and the
// first item's caption in blue.
class CWizardTabColorSet : public CXTPTabColorSetDefault {
 public:
  void FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) override;
};

class CMossgraveView : public CView {
  DECLARE_DYNCREATE(CMossgraveView)

 public:
  enum { kTabControlId = 100, kPageImage = 58 };
  CMossgraveView();
  ~CMossgraveView() override;

  CTarrowCommonBaseView* GetPage(int nIndex) const;
  CTarrowCommonBaseView* GetCurrentPage() const { return m_pCurrentPage; }
  int GetPageCount() const { return m_wndTabControl.GetItemCount(); }

  CXTPTabControl m_wndTabControl;
  int m_nHeaderHeight = 33;
  int m_nHeaderWidth = 0;
  CTarrowCommonBaseView* m_pCurrentPage = nullptr;

 protected:
  void OnDraw(CDC* pDC) override;
  // The view does not draw over the frame's web-link pane.
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  // Shows the first page once the frame and every page have had their initial update (at
  // start and after File New).
  void OnInitialUpdate() override;

  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnSelChange(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg LRESULT OnShowPage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnStopProcess(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnConfirmStop(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnFileOpen(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnAddFiles(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnAddDominoFiles(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnExport(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  BOOL AddPage(CRuntimeClass* pClass, LPCTSTR lpszCaption);
  // Whether a page is the frame's active view.
  BOOL IsActiveView(int nIndex) const;
};
