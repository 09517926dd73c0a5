// Plain types shared by the grid window, its cells and its callers: cell positions and
// ranges, the item record a caller fills to set a cell, the notification records and the
// bit values that go with them.
#pragma once

#include "framework.h"

// Cell state bits, held by every cell.
enum : UINT {
  GRIDIS_FOCUSED = 0x01,
  GRIDIS_SELECTED = 0x02,
  GRIDIS_DROPHILITED = 0x04,
  GRIDIS_READONLY = 0x08,
  GRIDIS_FIXED = 0x10,
  GRIDIS_FIXEDROW = 0x20,
  GRIDIS_FIXEDCOL = 0x40,
  GRIDIS_MODIFIED = 0x80,
};

// Which fields of a GRID_ITEM apply.
enum : UINT {
  GRIDIF_TEXT = 0x01,
  GRIDIF_IMAGE = 0x02,
  GRIDIF_PARAM = 0x04,
  GRIDIF_STATE = 0x08,
  GRIDIF_BKCLR = 0x10,
  GRIDIF_FGCLR = 0x20,
  GRIDIF_FORMAT = 0x40,
  GRIDIF_FONT = 0x80,
  GRIDIF_MARGIN = 0x100,
  GRIDIF_ALL = 0xFFFFFFFF,
};

// Notification codes the grid sends to its owner in WM_NOTIFY (besides NM_CLICK,
// NM_DBLCLK and NM_RCLICK). The values are those of the list view's matching codes, so
// that an owner can treat both controls alike.
enum : int {
  GRIDN_SELCHANGING = -100,
  GRIDN_SELCHANGED = -101,
  GRIDN_BEGINDRAG = -109,
  GRIDN_ODCACHEHINT = -113,
  GRIDN_BEGINLABELEDIT = -175,
  GRIDN_ENDLABELEDIT = -176,
  GRIDN_GETDISPINFO = -177,
};

// Grid line choices.
enum : int { GRIDLINES_NONE = 0, GRIDLINES_HORZ = 1, GRIDLINES_VERT = 2, GRIDLINES_BOTH = 3 };

// Which rows an automatic column sizing measures (bits).
enum : int { GRID_AUTOSIZE_HEADER = 1, GRID_AUTOSIZE_DATA = 2, GRID_AUTOSIZE_BOTH = 3 };

// A cell position; (-1, -1) means no cell.
class CGridCellId {
 public:
  int row;
  int col;

  explicit CGridCellId(int nRow = -1, int nCol = -1) : row(nRow), col(nCol) {}
  BOOL IsValid() const { return row >= 0 && col >= 0; }
  bool operator==(const CGridCellId& other) const { return row == other.row && col == other.col; }
  bool operator!=(const CGridCellId& other) const { return !(*this == other); }
};

// An inclusive block of cells.
class CGridCellRange {
 public:
  explicit CGridCellRange(int nMinRow = -1, int nMinCol = -1, int nMaxRow = -1, int nMaxCol = -1)
      : m_nMinRow(nMinRow), m_nMinCol(nMinCol), m_nMaxRow(nMaxRow), m_nMaxCol(nMaxCol) {}

  void Set(int nMinRow, int nMinCol, int nMaxRow, int nMaxCol) {
    m_nMinRow = nMinRow;
    m_nMinCol = nMinCol;
    m_nMaxRow = nMaxRow;
    m_nMaxCol = nMaxCol;
  }
  // All four corners set and the maxima not before the minima; whether the range lies
  // inside a particular grid is the grid's IsValid.
  BOOL IsValid() const {
    return m_nMinRow >= 0 && m_nMinCol >= 0 && m_nMaxRow >= 0 && m_nMaxCol >= 0 &&
           m_nMinRow <= m_nMaxRow && m_nMinCol <= m_nMaxCol;
  }
  BOOL InRange(int row, int col) const {
    return row >= m_nMinRow && row <= m_nMaxRow && col >= m_nMinCol && col <= m_nMaxCol;
  }
  BOOL InRange(const CGridCellId& cell) const { return InRange(cell.row, cell.col); }
  CGridCellId GetTopLeft() const { return CGridCellId(m_nMinRow, m_nMinCol); }

  int GetMinRow() const { return m_nMinRow; }
  int GetMinCol() const { return m_nMinCol; }
  int GetMaxRow() const { return m_nMaxRow; }
  int GetMaxCol() const { return m_nMaxCol; }
  void SetMinRow(int n) { m_nMinRow = n; }
  void SetMinCol(int n) { m_nMinCol = n; }
  void SetMaxRow(int n) { m_nMaxRow = n; }
  void SetMaxCol(int n) { m_nMaxCol = n; }
  int Count() const { return (m_nMaxRow - m_nMinRow + 1) * (m_nMaxCol - m_nMinCol + 1); }

  bool operator==(const CGridCellRange& o) const {
    return m_nMinRow == o.m_nMinRow && m_nMinCol == o.m_nMinCol && m_nMaxRow == o.m_nMaxRow &&
           m_nMaxCol == o.m_nMaxCol;
  }
  bool operator!=(const CGridCellRange& o) const { return !(*this == o); }

 private:
  int m_nMinRow;
  int m_nMinCol;
  int m_nMaxRow;
  int m_nMaxCol;
};

// The description of one cell, passed to and from the grid.
struct GRID_ITEM {
  int row = 0;
  int col = 0;
  UINT mask = 0;
  UINT nState = 0;
  UINT nFormat = 0;
  int iImage = -1;
  COLORREF crBkClr = CLR_DEFAULT;
  COLORREF crFgClr = CLR_DEFAULT;
  LPARAM lParam = 0;
  LOGFONTW lfFont{};
  UINT nMargin = 0;
  CString strText;
};

// A display request or the end of an edit: the notification header and the item.
struct GRID_DISPINFO {
  NMHDR hdr{};
  GRID_ITEM item;
};

// The grid's other notifications: the header and the cell they concern.
struct NM_GRIDVIEW {
  NMHDR hdr{};
  int iRow = -1;
  int iColumn = -1;
};

// The cache hint of virtual mode: the range the grid is about to read.
struct GRID_CACHEHINT {
  NMHDR hdr{};
  CGridCellRange range;
};

class CGridCellBase;
// Orders two cells for sorting: negative when the first sorts before the second.
using PFNGRIDCOMPARE = int(CALLBACK*)(CGridCellBase* pFirst, CGridCellBase* pSecond, LPARAM lParam);
// Answers a display request in virtual mode instead of the parent window.
using GRIDCALLBACK = BOOL(CALLBACK*)(GRID_DISPINFO* pDispInfo, LPARAM lParam);
