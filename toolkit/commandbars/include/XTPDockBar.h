// A dock bar: a child window along one edge of the frame that holds docked toolbars in
// rows, takes its share of the frame in the frame layout (WM_SIZEPARENT), arranges its
// bars row by row and paints its background through the paint manager.
#pragma once

#include <framework.h>

#include "XTPCommandBarsDefines.h"

class CXTPCommandBar;
class CXTPCommandBars;
class CXTPToolBar;

// Alignment and border bits of a dock bar's style.
#ifndef CBRS_ALIGN_TOP
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#endif

// One bar of a row while the row is laid out.
struct CXTPDockBarRowItem {
  CXTPToolBar* pBar;
  CRect rcBar;
  CRect rcBarCopy;
  int nOrder;
  int nMinExtent;
  int nTotalMinExtent;  // minimum extents of the bars before it
};

typedef CArray<CXTPToolBar*, CXTPToolBar*> CXTPToolBarArray;

class CXTPDockBar : public CWnd {
  DECLARE_DYNAMIC(CXTPDockBar)

 public:
  explicit CXTPDockBar(CXTPCommandBars* pCommandBars = NULL);
  ~CXTPDockBar() override;

  // Stores the dock style (masked with 0x40FFFF) and creates the child window.
  virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);
  // Docks a toolbar at a rectangle in screen coordinates (null: as a new last row).
  void DockCommandBar(CXTPToolBar* pBar, LPCRECT lpRect = NULL);
  // Removes the bar's entry (other than nExcept); an emptied row loses its null.
  BOOL RemoveCommandBar(CXTPToolBar* pBar, int nExcept = -1);
  int FindBar(CXTPToolBar* pBar, int nExcept = -1) const;
  // The visible bars of the row holding the entry at nIndex, by window position.
  void GetVisibleBarsInRow(int nIndex, CXTPToolBarArray& arrBars) const;
  virtual CSize CalcFixedLayout(int nLength, DWORD dwMode, AFX_SIZEPARENTPARAMS* pLayout = NULL);
  // 0 top, 1 bottom, 2 left, 3 right.
  XTPBarPosition GetPosition() const;
  DWORD GetDockStyle() const { return m_dwStyle; }
  BOOL IsHorizontal() const { return GetPosition() == xtpBarTop || GetPosition() == xtpBarBottom; }
  CXTPCommandBars* GetCommandBars() const { return m_pCommandBars; }
  void SetCommandBars(CXTPCommandBars* pCommandBars) { m_pCommandBars = pCommandBars; }
  // Entries in row order: bars, and null entries that end rows (the first entry is null).
  int GetBarCount() const { return (int)m_arrBars.GetSize(); }
  CXTPToolBar* GetBarAt(int nIndex) const { return m_arrBars[nIndex]; }
  CXTPToolBarArray& GetBarArray() { return m_arrBars; }
  // Number of rows that hold at least one bar.
  int GetRowCount() const;
  // The bars of row nRow (0-based, rows without bars are not counted), in entry order.
  void GetRowBars(int nRow, CXTPToolBarArray& arrBars) const;
  // Row normalising: a stretched bar (flag 0x40) always stands alone in its row, and
  // repeated null entries collapse.
  void NormalizeRows();

 protected:
  afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
  afx_msg void OnPaint();
  afx_msg LRESULT OnPrint(WPARAM wParam, LPARAM lParam);
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnRButtonDown(UINT nFlags, CPoint point);

  // The layout mode of one bar in this dock bar.
  DWORD BarMode(CXTPToolBar* pBar) const;
  // Lays out the bars of a row and the rows that bars pushed out of it make; the
  // thickness used. x and y are along and across the row.
  int LayoutRows(CXTPToolBarArray& arrBars, int x, int y, int nLength, BOOL bHorz,
                 AFX_SIZEPARENTPARAMS* pLayout);
  // Lays out one row: its thickness, or 0 with nRemove naming the bar that must leave.
  int LayoutRow(CXTPToolBarArray& arrBars, int x, int y, int nLength, BOOL bHorz,
                AFX_SIZEPARENTPARAMS* pLayout, int& nRemove);

  DWORD m_dwStyle;
  CXTPToolBarArray m_arrBars;  // row order; null ends a row; begins with a null
  CXTPCommandBars* m_pCommandBars;

  DECLARE_MESSAGE_MAP()

  friend class CXTPCommandBars;
};
