// Where the grid's cells lie on the screen, the scroll bars, and painting.
#include "GridCtrl.h"

#include "GridDropTarget.h"
#include "GridTitleTip.h"

namespace {

// A scrollable column (row) before the top-left one is scrolled out of view.
inline bool ScrolledOut(int index, int nFixed, int nTopLeft) { return index >= nFixed && index < nTopLeft; }

}  // namespace

CGridCellId CGridCtrl::GetFirstScrollableCell(BOOL bForceRecalculation) {
  if (m_idTopLeftCell.IsValid() && !bForceRecalculation) return m_idTopLeftCell;

  const int nHorzPos = GetScrollPosition(SB_HORZ), nVertPos = GetScrollPosition(SB_VERT);
  m_idTopLeftCell.col = m_nFixedCols;
  for (int nSum = 0; nSum < nHorzPos && m_idTopLeftCell.col < m_nCols - 1; m_idTopLeftCell.col++)
    nSum += GetColumnWidth(m_idTopLeftCell.col);
  m_idTopLeftCell.row = m_nFixedRows;
  for (int nSum = 0; nSum < nVertPos && m_idTopLeftCell.row < m_nRows - 1; m_idTopLeftCell.row++)
    nSum += GetRowHeight(m_idTopLeftCell.row);
  return m_idTopLeftCell;
}

CGridCellRange CGridCtrl::GetVisibleScrollableRange(LPRECT pRect, BOOL bForceRecalculation) {
  CRect rect;
  if (GetSafeHwnd()) GetClientRect(&rect);
  const CGridCellId topLeft = GetFirstScrollableCell(bForceRecalculation);

  int bottom = GetFixedRowHeight();
  int row = topLeft.row;
  for (; row < m_nRows; row++) {
    bottom += GetRowHeight(row);
    if (bottom >= rect.bottom) {
      bottom = rect.bottom;
      break;
    }
  }
  int right = GetFixedColumnWidth();
  int col = topLeft.col;
  for (; col < m_nCols; col++) {
    right += GetColumnWidth(col);
    if (right >= rect.right) {
      right = rect.right;
      break;
    }
  }
  if (pRect) *pRect = CRect(0, 0, right, bottom);
  return CGridCellRange(topLeft.row, topLeft.col, std::min(row, m_nRows - 1), std::min(col, m_nCols - 1));
}

BOOL CGridCtrl::GetCellOrigin(int nRow, int nCol, LPPOINT p) {
  if (!IsValid(nRow, nCol)) return FALSE;
  const CGridCellId topLeft = GetFirstScrollableCell();
  if (ScrolledOut(nCol, m_nFixedCols, topLeft.col) || ScrolledOut(nRow, m_nFixedRows, topLeft.row)) return FALSE;

  p->x = 0;
  if (nCol < m_nFixedCols) {
    for (int i = 0; i < nCol; i++) p->x += GetColumnWidth(i);
  } else {
    for (int i = 0; i < m_nFixedCols; i++) p->x += GetColumnWidth(i);
    for (int i = topLeft.col; i < nCol; i++) p->x += GetColumnWidth(i);
  }
  p->y = 0;
  if (nRow < m_nFixedRows) {
    for (int i = 0; i < nRow; i++) p->y += GetRowHeight(i);
  } else {
    for (int i = 0; i < m_nFixedRows; i++) p->y += GetRowHeight(i);
    for (int i = topLeft.row; i < nRow; i++) p->y += GetRowHeight(i);
  }
  return TRUE;
}

BOOL CGridCtrl::GetCellRect(int nRow, int nCol, LPRECT pRect) {
  CPoint origin;
  if (!GetCellOrigin(nRow, nCol, &origin)) return FALSE;
  pRect->left = origin.x;
  pRect->top = origin.y;
  pRect->right = origin.x + GetColumnWidth(nCol) - 1;
  pRect->bottom = origin.y + GetRowHeight(nRow) - 1;
  return TRUE;
}

CGridCellId CGridCtrl::HitTestCell(CPoint point, BOOL bAllowFixedCellCheck) {
  CGridCellId cell;
  const CGridCellId topLeft = GetFirstScrollableCell();
  if (!bAllowFixedCellCheck && !IsValid(topLeft)) return cell;

  // One axis at a time: the fixed part first, then the scrollable part from the top-left
  // index on, with a running edge.
  auto hit = [&](int pos, int nFixedSize, int nFixed, int nCount, int nTopLeft, auto size) -> int {
    if (pos < 0) return -1;
    if (bAllowFixedCellCheck && pos < nFixedSize) {
      int edge = 0, i = 0;
      for (; i < nFixed; i++) {
        edge += size(i);
        if (edge > pos) return i;
      }
      return i;
    }
    if (pos < nFixedSize || nTopLeft >= nCount) return -1;
    int edge = nFixedSize, i = nTopLeft;
    for (; i < nCount; i++) {
      edge += size(i);
      if (edge > pos) return i;
    }
    return -1;
  };
  cell.col = hit(point.x, GetFixedColumnWidth(), m_nFixedCols, m_nCols, topLeft.col,
                 [this](int i) { return GetColumnWidth(i); });
  cell.row = hit(point.y, GetFixedRowHeight(), m_nFixedRows, m_nRows, topLeft.row,
                 [this](int i) { return GetRowHeight(i); });
  return cell;
}

CPoint CGridCtrl::PointInCell(int nRow, int nCol, CPoint point) {
  CPoint origin;
  if (!GetCellOrigin(nRow, nCol, &origin)) return CPoint(0, 0);
  return point - CSize(origin);
}

BOOL CGridCtrl::IsCellVisible(int nRow, int nCol) {
  if (!GetSafeHwnd()) return FALSE;
  const CGridCellId topLeft = GetFirstScrollableCell();
  if (ScrolledOut(nCol, m_nFixedCols, topLeft.col) || ScrolledOut(nRow, m_nFixedRows, topLeft.row)) return FALSE;
  CPoint origin;
  if (!GetCellOrigin(nRow, nCol, &origin)) return FALSE;
  CRect rect;
  GetClientRect(&rect);
  return origin.x < rect.right && origin.y < rect.bottom;
}

// ---------------------------------------------------------------------------------------
// Scroll bars

int CGridCtrl::GetScrollPosition(int nBar, BOOL bGetTrackPos) const {
  if (!GetSafeHwnd()) return 0;
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = bGetTrackPos ? SIF_TRACKPOS : SIF_POS;
  if (!::GetScrollInfo(m_hWnd, nBar, &si)) return 0;
  return bGetTrackPos ? si.nTrackPos : si.nPos;
}

void CGridCtrl::SetScrollPosition(int nBar, int nPos, BOOL bRedraw) {
  m_idTopLeftCell = CGridCellId();
  if (!GetSafeHwnd()) return;
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_POS;
  si.nPos = nPos;
  ::SetScrollInfo(m_hWnd, nBar, &si, bRedraw);
}

BOOL CGridCtrl::IsScrollBarShown(UINT nBar) const {
  const UINT nFlag = nBar == SB_HORZ ? 0x01 : 0x02;
  return (m_nBarState & nFlag) != 0;
}

void CGridCtrl::ShowScrollBars(UINT nBar, BOOL bShow) {
  if (!GetSafeHwnd()) return;
  auto apply = [&](UINT nOneBar, UINT nFlag) {
    if (((m_nBarState & nFlag) != 0) == (bShow != FALSE)) return;
    ShowScrollBar(nOneBar, bShow);
    m_nBarState = bShow ? (m_nBarState | nFlag) : (m_nBarState & ~nFlag);
  };
  if (nBar == SB_HORZ || nBar == SB_BOTH) apply(SB_HORZ, 0x01);
  if (nBar == SB_VERT || nBar == SB_BOTH) apply(SB_VERT, 0x02);
}

void CGridCtrl::UpdateScrollBars() {
  m_idTopLeftCell = CGridCellId();
  if (!m_bAllowDraw || !GetSafeHwnd()) return;

  CRect rect;
  GetClientRect(&rect);
  if (rect.IsRectEmpty()) return;

  // The client area as it would be without scroll bars.
  if (IsScrollBarShown(SB_VERT)) rect.right += ::GetSystemMetrics(SM_CXVSCROLL) + ::GetSystemMetrics(SM_CXBORDER);
  if (IsScrollBarShown(SB_HORZ)) rect.bottom += ::GetSystemMetrics(SM_CYHSCROLL) + ::GetSystemMetrics(SM_CYBORDER);

  const int nFixedWidth = GetFixedColumnWidth(), nFixedHeight = GetFixedRowHeight();
  rect.left += nFixedWidth;
  rect.top += nFixedHeight;
  if (rect.left >= rect.right || rect.top >= rect.bottom) {
    ShowScrollBars(SB_BOTH, FALSE);
    return;
  }

  const long nScrollHeight = GetVirtualHeight() - nFixedHeight;
  const long nScrollWidth = GetVirtualWidth() - nFixedWidth;
  long nVisibleWidth = rect.right;
  if (rect.bottom - nFixedHeight < nScrollHeight) nVisibleWidth -= ::GetSystemMetrics(SM_CXVSCROLL);
  nVisibleWidth -= nFixedWidth;
  long nVisibleBottom = rect.bottom;
  if (nVisibleWidth < nScrollWidth) nVisibleBottom -= ::GetSystemMetrics(SM_CYHSCROLL);

  if (nVisibleBottom - nFixedHeight < nScrollHeight) {
    ShowScrollBars(SB_VERT, TRUE);
    m_nVScrollMax = static_cast<int>(nScrollHeight - 1);
  } else {
    ShowScrollBars(SB_VERT, FALSE);
    m_nVScrollMax = 0;
  }
  if (nVisibleWidth < nScrollWidth) {
    ShowScrollBars(SB_HORZ, TRUE);
    m_nHScrollMax = static_cast<int>(nScrollWidth - 1);
  } else {
    ShowScrollBars(SB_HORZ, FALSE);
    m_nHScrollMax = 0;
  }

  // Drawing a scroll bar at once costs far more than computing it; the bars are set
  // without drawing and their frame is marked for the next paint, so that a run of size
  // changes (a listing adding rows one by one) draws them once.
  bool bChanged = false;
  auto apply = [&](int nBar, UINT fMask, int nMax, UINT nPage) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE;
    if (::GetScrollInfo(m_hWnd, nBar, &si) && si.nMin == 0 && si.nMax == nMax && si.nPage == nPage) return;
    si.fMask = fMask;
    si.nMin = 0;
    si.nMax = nMax;
    si.nPage = nPage;
    ::SetScrollInfo(m_hWnd, nBar, &si, FALSE);
    bChanged = true;
  };
  apply(SB_HORZ, SIF_RANGE | SIF_PAGE, m_nHScrollMax, m_nHScrollMax >= 1 ? static_cast<UINT>(nVisibleWidth) : 0);
  apply(SB_VERT, SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, m_nVScrollMax,
        m_nVScrollMax >= 1 ? static_cast<UINT>(nVisibleBottom - nFixedHeight) : 0);
  if (bChanged) ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

void CGridCtrl::InvalidateScrollable() {
  // Only the part right of (or below) the fixed cells moves; the fixed cells along the
  // other edge move with it, so everything right of the fixed columns is redrawn.
  CRect rect;
  GetClientRect(&rect);
  rect.left = GetFixedColumnWidth();
  InvalidateRect(&rect);
}

void CGridCtrl::OnHScroll(UINT nSBCode, UINT /*nPos*/, CScrollBar* /*pScrollBar*/) {
  EndEditing();
  HideTitleTip();
  const int nPos = GetScrollPosition(SB_HORZ);
  const CGridCellId topLeft = GetFirstScrollableCell();
  CRect rect;
  GetClientRect(&rect);
  const int nFixedWidth = GetFixedColumnWidth();

  switch (nSBCode) {
    case SB_LINERIGHT:
      if (nPos < m_nHScrollMax) {
        int col = topLeft.col;
        while (col < m_nCols - 1 && GetColumnWidth(col) == 0) col++;
        SetScrollPosition(SB_HORZ, nPos + GetColumnWidth(col));
        if (GetScrollPosition(SB_HORZ) != nPos) InvalidateScrollable();
      }
      break;
    case SB_LINELEFT:
      if (nPos > 0 && topLeft.col > m_nFixedCols) {
        int col = topLeft.col - 1;
        while (col > m_nFixedCols && GetColumnWidth(col) == 0) col--;
        SetScrollPosition(SB_HORZ, std::max(0, nPos - GetColumnWidth(col)));
        InvalidateScrollable();
      }
      break;
    case SB_PAGERIGHT:
      if (nPos < m_nHScrollMax) {
        SetScrollPosition(SB_HORZ, std::min<int>(m_nHScrollMax, nPos + rect.right - nFixedWidth));
        InvalidateScrollable();
      }
      break;
    case SB_PAGELEFT:
      if (nPos > 0) {
        SetScrollPosition(SB_HORZ, std::max<int>(0, nPos - (rect.right - nFixedWidth)));
        InvalidateScrollable();
      }
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      SetScrollPosition(SB_HORZ, GetScrollPosition(SB_HORZ, TRUE));
      m_idTopLeftCell = CGridCellId();
      if (GetFirstScrollableCell() != topLeft) InvalidateScrollable();
      break;
    }
    case SB_LEFT:
      if (nPos > 0) {
        SetScrollPosition(SB_HORZ, 0);
        Invalidate();
      }
      break;
    case SB_RIGHT:
      if (nPos < m_nHScrollMax) {
        SetScrollPosition(SB_HORZ, m_nHScrollMax);
        Invalidate();
      }
      break;
    default:
      break;
  }
}

void CGridCtrl::OnVScroll(UINT nSBCode, UINT /*nPos*/, CScrollBar* /*pScrollBar*/) {
  EndEditing();
  HideTitleTip();
  const int nPos = GetScrollPosition(SB_VERT);
  const CGridCellId topLeft = GetFirstScrollableCell();
  CRect rect;
  GetClientRect(&rect);
  const int nFixedHeight = GetFixedRowHeight();
  auto invalidateBelowFixed = [&] {
    CRect below(rect);
    below.top = nFixedHeight;
    InvalidateRect(&below);
  };

  switch (nSBCode) {
    case SB_LINEDOWN:
      if (nPos < m_nVScrollMax) {
        int row = topLeft.row;
        while (row < m_nRows - 1 && GetRowHeight(row) == 0) row++;
        SetScrollPosition(SB_VERT, nPos + GetRowHeight(row));
        if (GetScrollPosition(SB_VERT) != nPos) invalidateBelowFixed();
      }
      break;
    case SB_LINEUP:
      if (nPos > 0 && topLeft.row > m_nFixedRows) {
        int row = topLeft.row - 1;
        while (row > m_nFixedRows && GetRowHeight(row) == 0) row--;
        SetScrollPosition(SB_VERT, std::max(0, nPos - GetRowHeight(row)));
        invalidateBelowFixed();
      }
      break;
    case SB_PAGEDOWN:
      if (nPos < m_nVScrollMax) {
        SetScrollPosition(SB_VERT, std::min<int>(m_nVScrollMax, nPos + rect.bottom - nFixedHeight));
        invalidateBelowFixed();
      }
      break;
    case SB_PAGEUP:
      if (nPos > 0) {
        SetScrollPosition(SB_VERT, std::max<int>(0, nPos - (rect.bottom - nFixedHeight)));
        invalidateBelowFixed();
      }
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      SetScrollPosition(SB_VERT, GetScrollPosition(SB_VERT, TRUE));
      m_idTopLeftCell = CGridCellId();
      if (GetFirstScrollableCell() != topLeft) invalidateBelowFixed();
      break;
    case SB_TOP:
      if (nPos > 0) {
        SetScrollPosition(SB_VERT, 0);
        Invalidate();
      }
      break;
    case SB_BOTTOM:
      if (nPos < m_nVScrollMax) {
        SetScrollPosition(SB_VERT, m_nVScrollMax);
        Invalidate();
      }
      break;
    default:
      break;
  }
}

void CGridCtrl::EnsureVisible(int nRow, int nCol) {
  HWND hFocus = ::GetFocus();
  const CGridCellRange visible = GetVisibleScrollableRange();

  for (int col = visible.GetMaxCol() + 1; col <= nCol; col++)
    if (GetColumnWidth(col) > 0) SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
  for (int col = visible.GetMinCol() - 1; col >= nCol; col--)
    if (GetColumnWidth(col) > 0) SendMessage(WM_HSCROLL, SB_LINELEFT, 0);
  for (int row = visible.GetMaxRow() + 1; row <= nRow; row++)
    if (GetRowHeight(row) > 0) SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
  for (int row = visible.GetMinRow() - 1; row >= nRow; row--)
    if (GetRowHeight(row) > 0) SendMessage(WM_VSCROLL, SB_LINEUP, 0);

  // A cell taller or wider than one step may still stick out: keep stepping.
  CRect rectCell, rectClient;
  if (GetCellRect(nRow, nCol, &rectCell)) {
    GetClientRect(&rectClient);
    while (rectCell.right > rectClient.right && GetFixedColumnWidth() < rectCell.left &&
           IsScrollBarShown(SB_HORZ)) {
      SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
      if (!GetCellRect(nRow, nCol, &rectCell)) break;
    }
  }
  if (GetCellRect(nRow, nCol, &rectCell)) {
    while (rectCell.bottom > rectClient.bottom && GetFixedRowHeight() < rectCell.top &&
           IsScrollBarShown(SB_VERT)) {
      SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
      if (!GetCellRect(nRow, nCol, &rectCell)) break;
    }
  }
  if (hFocus && ::IsWindow(hFocus)) ::SetFocus(hFocus);
}

// ---------------------------------------------------------------------------------------
// Auto-sizing

BOOL CGridCtrl::AutoSizeColumn(int nCol, int nAutoSizeStyle, BOOL bResetScroll) {
  if (nCol < 0 || nCol >= m_nCols || GetColumnWidth(nCol) <= 0 || !GetSafeHwnd()) return FALSE;
  CClientDC dc(this);
  if (!dc.GetSafeHdc()) return FALSE;

  if (nAutoSizeStyle == 0) nAutoSizeStyle = m_nAutoSizeColumnStyle;
  const int nStartRow = (nAutoSizeStyle & GRID_AUTOSIZE_HEADER) ? 0 : m_nFixedRows;
  const int nEndRow = (nAutoSizeStyle & GRID_AUTOSIZE_DATA) ? m_nRows - 1 : m_nFixedRows - 1;

  if (m_bVirtualMode) SendCacheHintToParent(CGridCellRange(nStartRow, nCol, nEndRow, nCol));
  CSize size;
  int nWidth = 0;
  for (int row = nStartRow; row <= nEndRow; row++) {
    if (CGridCellBase* pCell = GetCell(row, nCol)) size = pCell->GetCellExtent(&dc);
    nWidth = std::max<int>(nWidth, size.cx);
  }
  if (m_bVirtualMode) SendCacheHintToParent(CGridCellRange());

  m_nTotalWidth += nWidth - static_cast<long>(m_arColWidths[nCol]);
  m_arColWidths[nCol] = nWidth;
  if (bResetScroll) UpdateScrollBars();
  return TRUE;
}

BOOL CGridCtrl::AutoSizeRow(int nRow, BOOL bResetScroll) {
  if (nRow < 0 || nRow >= m_nRows || GetRowHeight(nRow) <= 0 || !GetSafeHwnd()) return FALSE;
  CClientDC dc(this);
  if (!dc.GetSafeHdc()) return FALSE;

  if (m_bVirtualMode) SendCacheHintToParent(CGridCellRange(nRow, 0, nRow, m_nCols - 1));
  CSize size;
  int nHeight = 0;
  for (int col = 0; col < m_nCols; col++) {
    if (CGridCellBase* pCell = GetCell(nRow, col)) size = pCell->GetCellExtent(&dc);
    nHeight = std::max<int>(nHeight, size.cy);
  }
  if (m_bVirtualMode) SendCacheHintToParent(CGridCellRange());

  m_nTotalHeight += nHeight - static_cast<long>(m_arRowHeights[nRow]);
  m_arRowHeights[nRow] = nHeight;
  if (bResetScroll) UpdateScrollBars();
  return TRUE;
}

// ---------------------------------------------------------------------------------------
// Painting

void CGridCtrl::SetRedraw(BOOL bAllowDraw, BOOL bResetScrollBars) {
  if (bAllowDraw && !m_bAllowDraw) {
    m_bAllowDraw = TRUE;
    Refresh();
  }
  m_bAllowDraw = bAllowDraw;
  if (bResetScrollBars) UpdateScrollBars();
}

void CGridCtrl::Refresh() {
  if (GetSafeHwnd() && m_bAllowDraw) Invalidate();
}

BOOL CGridCtrl::InvalidateCell(int nRow, int nCol) {
  if (!GetSafeHwnd() || !m_bAllowDraw) return FALSE;
  if (!IsValid(nRow, nCol) || !IsCellVisible(nRow, nCol)) return FALSE;
  CRect rect;
  if (!GetCellRect(nRow, nCol, &rect)) return FALSE;
  rect.right++;
  rect.bottom++;
  InvalidateRect(&rect, TRUE);
  return TRUE;
}

BOOL CGridCtrl::RedrawCell(int nRow, int nCol, CDC* pDC) {
  if (!m_bAllowDraw || !IsCellVisible(nRow, nCol)) return FALSE;
  CRect rect;
  if (!GetCellRect(nRow, nCol, &rect)) return FALSE;

  std::unique_ptr<CClientDC> ownDC;
  if (!pDC) {
    ownDC = std::make_unique<CClientDC>(this);
    if (!ownDC->GetSafeHdc()) {
      InvalidateRect(&rect, TRUE);
      return TRUE;
    }
    pDC = ownDC.get();
  }

  CGridCellBase* pCell = GetCell(nRow, nCol);
  if (pCell) {
    pCell->SetCoords(nRow, nCol);
    pCell->Draw(pDC, nRow, nCol, rect, TRUE);
  }
  if (nRow >= m_nFixedRows && nCol >= m_nFixedCols) {
    CPen pen(PS_SOLID, 0, m_crGridLineColour);
    CPen* pOldPen = pDC->SelectObject(&pen);
    if (m_nGridLines == GRIDLINES_HORZ || m_nGridLines == GRIDLINES_BOTH) {
      pDC->MoveTo(rect.left, rect.bottom);
      pDC->LineTo(rect.right + 1, rect.bottom);
    }
    if (m_nGridLines == GRIDLINES_VERT || m_nGridLines == GRIDLINES_BOTH) {
      pDC->MoveTo(rect.right, rect.top);
      pDC->LineTo(rect.right, rect.bottom + 1);
    }
    pDC->SelectObject(pOldPen);
  }
  return TRUE;
}

BOOL CGridCtrl::OnEraseBkgnd(CDC* /*pDC*/) {
  // Painting covers every pixel; erasing first would only flicker.
  return TRUE;
}

void CGridCtrl::OnPaint() {
  CPaintDC dc(this);
  if (m_bDoubleBuffer && !dc.IsPrinting()) {
    CRect clip;
    dc.GetClipBox(&clip);
    CDC memDC;
    CBitmap bitmap;
    if (!clip.IsRectEmpty() && memDC.CreateCompatibleDC(&dc) &&
        bitmap.CreateCompatibleBitmap(&dc, clip.Width(), clip.Height())) {
      CBitmap* pOldBitmap = memDC.SelectObject(&bitmap);
      memDC.SetWindowOrg(clip.left, clip.top);
      memDC.FillSolidRect(&clip, dc.GetBkColor());
      OnDraw(&memDC);
      dc.BitBlt(clip.left, clip.top, clip.Width(), clip.Height(), &memDC, clip.left, clip.top, SRCCOPY);
      memDC.SelectObject(pOldBitmap);
      return;
    }
  }
  OnDraw(&dc);
}

void CGridCtrl::FillBackground(CDC* pDC, const CRect& clip) {
  const int f = GetFixedColumnWidth(), g = GetFixedRowHeight();
  CRect v;
  GetVisibleScrollableRange(&v);

  if (clip.left < f && clip.top < g)
    pDC->FillSolidRect(CRect(clip.left, clip.top, f, g), m_cellFixedRowColDef.GetBackClr());
  if (clip.left < f && clip.top < v.bottom)
    pDC->FillSolidRect(CRect(clip.left, clip.top, f, v.bottom), m_cellFixedColDef.GetBackClr());
  if (clip.top < g && f < clip.right && clip.left < v.right)
    pDC->FillSolidRect(CRect(f - 1, clip.top, v.right, g), m_cellFixedRowDef.GetBackClr());
  CRect body;
  if (body.IntersectRect(&v, &clip)) {
    body.left = std::max<int>(body.left, f);
    body.top = std::max<int>(body.top, g);
    if (!body.IsRectEmpty()) pDC->FillSolidRect(&body, m_cellDefault.GetBackClr());
  }
  if (v.right < clip.right) pDC->FillSolidRect(CRect(v.right, clip.top, clip.right, clip.bottom), m_crWindowColour);
  if (v.bottom < clip.bottom && clip.left < v.right)
    pDC->FillSolidRect(CRect(clip.left, v.bottom, v.right, clip.bottom), m_crWindowColour);
}

void CGridCtrl::OnDraw(CDC* pDC) {
  if (!m_bAllowDraw) return;
  CRect clip;
  if (pDC->GetClipBox(&clip) == ERROR) return;

  FillBackground(pDC, clip);

  CRect visibleRect;
  const CGridCellRange visible = GetVisibleScrollableRange(&visibleRect);
  if (m_bVirtualMode) SendCacheHintToParent(visible);

  const int nFixedWidth = GetFixedColumnWidth(), nFixedHeight = GetFixedRowHeight();
  auto drawCell = [&](int row, int col, const CRect& rect) {
    // A cell may be missing when growing the grid ran out of memory; its place stays empty.
    if (CGridCellBase* pCell = GetCell(row, col)) {
      pCell->SetCoords(row, col);
      pCell->Draw(pDC, row, col, rect, FALSE);
    }
  };
  // Walks rows [firstRow, lastRow] from y = top and columns [firstCol, lastCol] from
  // x = left, skipping hidden ones and, when clipped, those outside the clip box.
  auto drawBlock = [&](int firstRow, int lastRow, int top, int firstCol, int lastCol, int left, bool bClip) {
    int y = top;
    for (int row = firstRow; row <= lastRow; row++) {
      const int height = GetRowHeight(row);
      if (height <= 0) continue;
      CRect rect;
      rect.top = y;
      rect.bottom = y + height - 1;
      y += height;
      if (bClip && rect.top > clip.bottom) break;
      if (bClip && rect.bottom < clip.top) continue;
      int x = left;
      for (int col = firstCol; col <= lastCol; col++) {
        const int width = GetColumnWidth(col);
        if (width <= 0) continue;
        rect.left = x;
        rect.right = x + width - 1;
        x += width;
        if (bClip && rect.left > clip.right) break;
        if (bClip && rect.right < clip.left) continue;
        drawCell(row, col, rect);
      }
    }
  };

  drawBlock(0, m_nFixedRows - 1, 0, 0, m_nFixedCols - 1, 0, false);
  drawBlock(visible.GetMinRow(), visible.GetMaxRow(), nFixedHeight, 0, m_nFixedCols - 1, 0, true);
  drawBlock(0, m_nFixedRows - 1, 0, visible.GetMinCol(), visible.GetMaxCol(), nFixedWidth, true);
  drawBlock(visible.GetMinRow(), visible.GetMaxRow(), nFixedHeight, visible.GetMinCol(), visible.GetMaxCol(),
            nFixedWidth, true);

  DrawGridLines(pDC, visible, visibleRect);
  if (m_bVirtualMode) SendCacheHintToParent(CGridCellRange());
}

void CGridCtrl::DrawGridLines(CDC* pDC, const CGridCellRange& visible, const CRect& visibleRect) {
  if (!IsValid(visible.GetTopLeft())) return;
  CPen pen(PS_SOLID, 0, m_crGridLineColour);
  CPen* pOldPen = pDC->SelectObject(&pen);
  if (m_nGridLines == GRIDLINES_VERT || m_nGridLines == GRIDLINES_BOTH) {
    int x = GetFixedColumnWidth();
    for (int col = visible.GetMinCol(); col <= visible.GetMaxCol(); col++) {
      if (GetColumnWidth(col) <= 0) continue;
      x += GetColumnWidth(col);
      pDC->MoveTo(x - 1, GetFixedRowHeight());
      pDC->LineTo(x - 1, visibleRect.bottom);
    }
  }
  if (m_nGridLines == GRIDLINES_HORZ || m_nGridLines == GRIDLINES_BOTH) {
    int y = GetFixedRowHeight();
    for (int row = visible.GetMinRow(); row <= visible.GetMaxRow(); row++) {
      if (GetRowHeight(row) <= 0) continue;
      y += GetRowHeight(row);
      pDC->MoveTo(GetFixedColumnWidth(), y - 1);
      pDC->LineTo(visibleRect.right, y - 1);
    }
  }
  pDC->SelectObject(pOldPen);
  pDC->SelectStockObject(NULL_PEN);
}

void CGridCtrl::OnSize(UINT nType, int cx, int cy) {
  static bool s_bAlreadyInsideThisProcedure = false;
  if (s_bAlreadyInsideThisProcedure || !GetSafeHwnd()) return;
  s_bAlreadyInsideThisProcedure = true;
  if (m_DropTarget) m_DropTarget->Register(this);
  EndEditing();
  CWnd::OnSize(nType, cx, cy);
  UpdateScrollBars();
  s_bAlreadyInsideThisProcedure = false;
}
