// The grid's reaction to the mouse and the keyboard: focus, selection, resizing rows and
// columns, auto-scrolling, the start and end of in-place edits and title tips.
#include "GridCtrl.h"

#include "GridTitleTip.h"

namespace {

bool KeyDown(int vk) { return (::GetKeyState(vk) & 0x8000) != 0; }

// Shows the wait cursor for as long as it lives.
class CWaitCursorScope {
 public:
  explicit CWaitCursorScope(CCmdTarget* pTarget) : m_pTarget(pTarget) { m_pTarget->BeginWaitCursor(); }
  ~CWaitCursorScope() { m_pTarget->EndWaitCursor(); }

 private:
  CCmdTarget* m_pTarget;
};

}  // namespace

// ---------------------------------------------------------------------------------------
// Focus and selection

void CGridCtrl::RedrawFixedCellsOf(const CGridCellId& cell) {
  for (int row = 0; row < m_nFixedRows; row++) RedrawCell(row, cell.col);
  for (int col = 0; col < m_nFixedCols; col++) RedrawCell(cell.row, col);
}

CGridCellId CGridCtrl::SetFocusCell(int nRow, int nCol) {
  const CGridCellId old = m_idCurrentCell;
  CGridCellId cell(nRow, nCol);
  if (cell == old) return old;

  if (cell.row != -1 && cell.row < m_nFixedRows) cell.row = m_nFixedRows;
  if (cell.col != -1 && cell.col < m_nFixedCols) cell.col = m_nFixedCols;
  m_idCurrentCell = cell;

  if (IsValid(old)) {
    SetItemState(old.row, old.col, GetItemState(old.row, old.col) & ~GRIDIS_FOCUSED);
    RedrawCell(old);
    if (m_bTrackFocusCell) {
      if (old.col != cell.col)
        for (int row = 0; row < m_nFixedRows; row++) RedrawCell(row, old.col);
      if (old.row != cell.row)
        for (int col = 0; col < m_nFixedCols; col++) RedrawCell(old.row, col);
    }
  }
  if (IsValid(cell)) {
    SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) | GRIDIS_FOCUSED);
    RedrawCell(cell);
    if (m_bTrackFocusCell) {
      if (old.col != cell.col)
        for (int row = 0; row < m_nFixedRows; row++) RedrawCell(row, cell.col);
      if (old.row != cell.row)
        for (int col = 0; col < m_nFixedCols; col++) RedrawCell(cell.row, col);
    }
  }
  return old;
}

void CGridCtrl::SetCellSelected(int nRow, int nCol, BOOL bSelect, const CGridCellRange& visible, CDC* pDC) {
  const UINT state = GetItemState(nRow, nCol);
  SetItemState(nRow, nCol, bSelect ? (state | GRIDIS_SELECTED) : (state & ~GRIDIS_SELECTED));
  if (!visible.InRange(nRow, nCol)) return;
  if (pDC)
    RedrawCell(nRow, nCol, pDC);
  else
    InvalidateCell(nRow, nCol);
}

void CGridCtrl::SetSelectedRange(const CGridCellRange& range, BOOL bForceRepaint, BOOL bSelectCells) {
  SetSelectedRange(range.GetMinRow(), range.GetMinCol(), range.GetMaxRow(), range.GetMaxCol(), bForceRepaint,
                   bSelectCells);
}

void CGridCtrl::SetSelectedRange(int nMinRow, int nMinCol, int nMaxRow, int nMaxCol, BOOL bForceRepaint,
                                 BOOL bSelectCells) {
  if (!m_bEnableSelection) return;

  CWaitCursorScope wait(this);
  std::unique_ptr<CClientDC> dc;
  if (bForceRepaint && GetSafeHwnd()) dc = std::make_unique<CClientDC>(this);
  CDC* pDC = dc && dc->GetSafeHdc() ? dc.get() : nullptr;
  const CGridCellRange visible = GetSafeHwnd() ? GetVisibleScrollableRange() : CGridCellRange();

  if (nMinRow >= 0 && nMinRow < m_nFixedRows) nMinRow = m_nFixedRows;
  if (nMaxRow >= 0 && nMaxRow < m_nFixedRows) nMaxRow = m_nFixedRows;
  if (nMinCol >= 0 && nMinCol < m_nFixedCols) nMinCol = m_nFixedCols;
  if (nMaxCol >= 0 && nMaxCol < m_nFixedCols) nMaxCol = m_nFixedCols;
  const CGridCellRange range(nMinRow, nMinCol, nMaxRow, nMaxCol);

  if (bSelectCells) {
    for (const CGridCellId& cell : m_SelectedCellMap.GetCells()) {
      if (IsValid(cell)) {
        const UINT state = GetItemState(cell.row, cell.col);
        SetItemState(cell.row, cell.col, state & ~GRIDIS_SELECTED);
        if (!range.InRange(cell) && visible.InRange(cell)) {
          if (pDC)
            RedrawCell(cell, pDC);
          else
            InvalidateCell(cell.row, cell.col);
        }
      } else {
        m_SelectedCellMap.Remove(cell);
      }
    }
    if (!(m_bListMode && m_bSingleRowSelection) && nMinRow >= 0 && nMinCol >= 0 && nMaxRow >= 0 && nMaxCol >= 0) {
      for (const CGridCellId& cell : m_PrevSelectedCellMap.GetCells()) {
        if (IsValid(cell)) SetCellSelected(cell.row, cell.col, TRUE, visible, pDC);
      }
    }
  }

  if (IsValid(range)) {
    for (int row = nMinRow; row <= nMaxRow; row++) {
      for (int col = nMinCol; col <= nMaxCol; col++) {
        if (IsCellSelected(row, col) != bSelectCells) SetCellSelected(row, col, bSelectCells, visible, pDC);
      }
    }
  }
}

CGridCellRange CGridCtrl::GetSelectedCellRange() const {
  CGridCellRange range(m_nRows, m_nCols, -1, -1);
  for (const CGridCellId& cell : m_SelectedCellMap.GetCells()) {
    range.SetMinRow(std::min(range.GetMinRow(), cell.row));
    range.SetMinCol(std::min(range.GetMinCol(), cell.col));
    range.SetMaxRow(std::max(range.GetMaxRow(), cell.row));
    range.SetMaxCol(std::max(range.GetMaxCol(), cell.col));
  }
  return range;
}

void CGridCtrl::ResetSelectedRange() {
  m_PrevSelectedCellMap.RemoveAll();
  SetSelectedRange(-1, -1, -1, -1, FALSE, TRUE);
  SetFocusCell(-1, -1);
}

void CGridCtrl::SelectAllCells() {
  if (!m_bEnableSelection) return;
  SetSelectedRange(m_nFixedRows, m_nFixedCols, m_nRows - 1, m_nCols - 1, FALSE, TRUE);
}

void CGridCtrl::SelectColumns(CGridCellId currentCell, BOOL bForceRedraw, BOOL bSelectCells) {
  if (!m_bEnableSelection || !IsValid(currentCell) || currentCell.col < m_nFixedCols) return;
  const int nFirst = m_bSingleColSelection ? currentCell.col : std::min(m_SelectionStartCell.col, currentCell.col);
  const int nLast = m_bSingleColSelection ? currentCell.col : std::max(m_SelectionStartCell.col, currentCell.col);
  SetSelectedRange(m_nFixedRows, nFirst, m_nRows - 1, nLast, bForceRedraw, bSelectCells);
}

void CGridCtrl::SelectRows(CGridCellId currentCell, BOOL bForceRedraw, BOOL bSelectCells) {
  if (!m_bEnableSelection || !IsValid(currentCell) || currentCell.row < m_nFixedRows) return;
  const bool bSingle = m_bListMode && m_bSingleRowSelection;
  const int nFirst = bSingle ? currentCell.row : std::min(m_SelectionStartCell.row, currentCell.row);
  const int nLast = bSingle ? currentCell.row : std::max(m_SelectionStartCell.row, currentCell.row);
  SetSelectedRange(nFirst, m_nFixedCols, nLast, m_nCols - 1, bForceRedraw, bSelectCells);
}

void CGridCtrl::SelectCells(CGridCellId currentCell, BOOL bForceRedraw, BOOL bSelectCells) {
  if (!m_bEnableSelection || !IsValid(currentCell) || currentCell.row < m_nFixedRows ||
      currentCell.col < m_nFixedCols)
    return;
  SetSelectedRange(std::min(m_SelectionStartCell.row, currentCell.row),
                   std::min(m_SelectionStartCell.col, currentCell.col),
                   std::max(m_SelectionStartCell.row, currentCell.row),
                   std::max(m_SelectionStartCell.col, currentCell.col), bForceRedraw, bSelectCells);
}

void CGridCtrl::OnSelecting(const CGridCellId& currentCell) {
  if (!m_bEnableSelection) return;
  switch (m_MouseMode) {
    case MOUSE_SELECT_ALL:
      SelectAllCells();
      break;
    case MOUSE_SELECT_COL:
      SelectColumns(currentCell, FALSE, TRUE);
      break;
    case MOUSE_SELECT_ROW:
      SelectRows(currentCell, FALSE, TRUE);
      break;
    case MOUSE_SELECT_CELLS:
      SelectCells(currentCell, FALSE, TRUE);
      break;
    default:
      break;
  }
}

// ---------------------------------------------------------------------------------------
// Editing

void CGridCtrl::OnEditCell(int nRow, int nCol, CPoint point, UINT nChar) {
  HideTitleTip();
  if (!IsValid(nRow, nCol) || !IsCellEditable(nRow, nCol)) return;
  EnsureVisible(nRow, nCol);
  CRect rect;
  if (!IsCellVisible(nRow, nCol) || !GetCellRect(nRow, nCol, &rect)) return;
  if (SendMessageToParent(nRow, nCol, GRIDN_BEGINLABELEDIT) < 0) return;
  if (CGridCellBase* pCell = GetCell(nRow, nCol))
    pCell->Edit(nRow, nCol, rect, point, IDC_GRID_INPLACE_EDIT, nChar);
}

void CGridCtrl::EndEditing() {
  if (!IsValid(m_idCurrentCell)) return;
  if (CGridCellBase* pCell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col)) pCell->EndEdit();
}

void CGridCtrl::OnEndEditCell(int nRow, int nCol, CString str) {
  const CString strOld = GetItemText(nRow, nCol);
  if (str != strOld) {
    SetItemText(nRow, nCol, str);
    if (ValidateEdit(nRow, nCol, str) && SendMessageToParent(nRow, nCol, GRIDN_ENDLABELEDIT) >= 0) {
      SetModified(TRUE, nRow, nCol);
      RedrawCell(nRow, nCol);
    } else {
      SetItemText(nRow, nCol, strOld);
    }
  }
  if (CGridCellBase* pCell = GetCell(nRow, nCol)) pCell->OnEndEdit();
}

BOOL CGridCtrl::ValidateEdit(int nRow, int nCol, LPCTSTR str) {
  CGridCellBase* pCell = GetCell(nRow, nCol);
  return pCell ? pCell->ValidateEdit(str) : TRUE;
}

void CGridCtrl::SetCellTextChecked(int nRow, int nCol, LPCTSTR szText) {
  if (!IsCellEditable(nRow, nCol)) return;
  if (SendMessageToParent(nRow, nCol, GRIDN_BEGINLABELEDIT) < 0) return;
  const CString strOld = GetItemText(nRow, nCol);
  if (strOld == szText) return;
  SetItemText(nRow, nCol, szText);
  if (ValidateEdit(nRow, nCol, szText) && SendMessageToParent(nRow, nCol, GRIDN_ENDLABELEDIT) >= 0) {
    SetModified(TRUE, nRow, nCol);
    RedrawCell(nRow, nCol);
  } else {
    SetItemText(nRow, nCol, strOld);
  }
}

void CGridCtrl::OnEndInPlaceEdit(NMHDR* pNMHDR, LRESULT* pResult) {
  auto* pDispInfo = reinterpret_cast<GRID_DISPINFO*>(pNMHDR);
  GRID_ITEM& item = pDispInfo->item;
  OnEndEditCell(item.row, item.col, item.strText);
  switch (static_cast<UINT>(item.lParam)) {
    case VK_TAB:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      // The key that closed the edit moves on, and editing carries on where it lands.
      HandleKeyDown(static_cast<UINT>(item.lParam));
      OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, CPoint(-1, -1), static_cast<UINT>(item.lParam));
      break;
    default:
      break;
  }
  *pResult = 0;
}

// ---------------------------------------------------------------------------------------
// Mouse

BOOL CGridCtrl::MouseOverColumnResizeArea(CPoint point) {
  if (point.y >= GetFixedRowHeight()) return FALSE;
  const CGridCellId cell = HitTestCell(point, TRUE);
  CPoint origin;
  if (!GetCellOrigin(cell, &origin)) return FALSE;
  const int nEndX = origin.x + GetColumnWidth(cell.col);
  return (point.x - origin.x < m_nResizeCaptureRange && cell.col != 0) || nEndX - point.x < m_nResizeCaptureRange;
}

BOOL CGridCtrl::MouseOverRowResizeArea(CPoint point) {
  if (point.x >= GetFixedColumnWidth()) return FALSE;
  const CGridCellId cell = HitTestCell(point, TRUE);
  CPoint origin;
  if (!GetCellOrigin(cell, &origin)) return FALSE;
  const int nEndY = origin.y + GetRowHeight(cell.row);
  return (point.y - origin.y < m_nResizeCaptureRange && cell.row != 0) || nEndY - point.y < m_nResizeCaptureRange;
}

void CGridCtrl::InvertResizeLine(CDC* pDC, CPoint point, BOOL bVertical) {
  CRect client;
  GetClientRect(&client);
  CRect line = bVertical ? CRect(point.x - 1, client.top, point.x + 1, client.bottom)
                         : CRect(client.left, point.y - 1, client.right, point.y + 1);
  pDC->InvertRect(&line);
}

void CGridCtrl::StartSizing(CPoint point) {
  CRect client;
  GetClientRect(&client);
  CClientDC dc(this);
  CDC* pDC = dc.GetSafeHdc() ? &dc : nullptr;

  if (m_MouseMode == MOUSE_OVER_COL_DIVIDE) {
    m_MouseMode = MOUSE_SIZING_COL;
    CPoint start;
    if (!GetCellOrigin(m_LeftClickDownCell, &start)) return;
    CRect visibleRect;
    GetVisibleScrollableRange(&visibleRect);
    int col = m_LeftClickDownCell.col;
    const bool bNearLeft = point.x - start.x < m_nResizeCaptureRange;

    if (GetColumnWidth(m_nCols - 1) < m_nResizeCaptureRange && abs(point.x - visibleRect.right) < m_nResizeCaptureRange)
      col = m_nCols - 1;
    if (!m_bHiddenColUnhide && (bNearLeft || col != m_nCols - 1)) {
      if (bNearLeft) col--;
      while (col > 0 && GetColumnWidth(col) == 0) col--;
      if (col < 0) return;
    }
    if (pDC) InvertResizeLine(pDC, point, TRUE);
    if (bNearLeft && (col != m_nCols - 1 || GetColumnWidth(m_nCols - 1) >= m_nResizeCaptureRange) && col > 0 &&
        col == m_LeftClickDownCell.col)
      col--;
    m_LeftClickDownCell.col = col;
    GetCellOrigin(m_LeftClickDownCell.row, col, &start);
    CRect confine(client);
    confine.left = start.x + 1;
    confine.right = client.right + start.x - client.left - GetFixedColumnWidth() + 1;
    ClientToScreen(&confine);
    ::ClipCursor(&confine);
  } else {
    m_MouseMode = MOUSE_SIZING_ROW;
    CPoint start;
    if (!GetCellOrigin(m_LeftClickDownCell, &start)) return;
    CRect visibleRect;
    GetVisibleScrollableRange(&visibleRect);
    int row = m_LeftClickDownCell.row;
    const bool bNearTop = point.y - start.y < m_nResizeCaptureRange;

    if (GetRowHeight(m_nRows - 1) < m_nResizeCaptureRange && abs(point.y - visibleRect.bottom) < m_nResizeCaptureRange)
      row = m_nRows - 1;
    if (!m_bHiddenRowUnhide && (bNearTop || row != m_nRows - 1)) {
      if (bNearTop) row--;
      while (row > 0 && GetRowHeight(row) == 0) row--;
      if (row < 0) return;
    }
    if (pDC) InvertResizeLine(pDC, point, FALSE);
    if (bNearTop && (row != m_nRows - 1 || GetRowHeight(m_nRows - 1) >= m_nResizeCaptureRange) && row > 0 &&
        row == m_LeftClickDownCell.row)
      row--;
    m_LeftClickDownCell.row = row;
    GetCellOrigin(row, m_LeftClickDownCell.col, &start);
    CRect confine(client);
    confine.top = start.y + 1;
    confine.bottom = client.bottom + start.y - client.top - GetFixedRowHeight() + 1;
    ClientToScreen(&confine);
    ::ClipCursor(&confine);
  }
}

void CGridCtrl::OnLButtonDown(UINT nFlags, CPoint point) {
  SetFocus();
  m_LeftClickDownPoint = point;
  m_bLMouseButtonDown = TRUE;
  m_LeftClickDownCell = HitTestCell(point, TRUE);
  if (!IsValid(m_LeftClickDownCell)) return;

  if (!(nFlags & MK_SHIFT))
    m_SelectionStartCell = m_LeftClickDownCell;
  else if (!IsValid(m_SelectionStartCell))
    m_SelectionStartCell = m_idCurrentCell;

  EndEditing();
  CGridCellBase* pCell = GetCell(m_LeftClickDownCell.row, m_LeftClickDownCell.col);
  BOOL bHit = FALSE;
  if (pCell) {
    pCell->OnClickDown(PointInCell(m_LeftClickDownCell.row, m_LeftClickDownCell.col, point));
    CRect rect;
    if (GetCellRect(m_LeftClickDownCell, &rect)) {
      pCell->GetTextRect(&rect);
      bHit = rect.PtInRect(point);
    }
  }

  if (m_LeftClickDownCell == m_idCurrentCell && !(nFlags & MK_CONTROL) && bHit &&
      IsCellEditable(m_LeftClickDownCell)) {
    // A press on the focus cell's text edits it when the button comes up.
    m_MouseMode = MOUSE_PREPARE_EDIT;
    return;
  }
  if (IsCellSelected(m_LeftClickDownCell)) {
    SetFocusCell(m_LeftClickDownCell);
    if (nFlags & MK_CONTROL) {
      if (m_bListMode)
        SelectRows(m_LeftClickDownCell, TRUE, FALSE);
      else
        SelectCells(m_LeftClickDownCell, TRUE, FALSE);
      return;
    }
    if (m_bAllowDragAndDrop) m_MouseMode = MOUSE_PREPARE_DRAG;
  } else if (m_MouseMode != MOUSE_OVER_COL_DIVIDE && m_MouseMode != MOUSE_OVER_ROW_DIVIDE) {
    const bool bScrollable = m_LeftClickDownCell.row >= m_nFixedRows && m_LeftClickDownCell.col >= m_nFixedCols;
    SetFocusCell(bScrollable ? m_LeftClickDownCell : CGridCellId());
  }

  SetCapture();

  if (m_MouseMode == MOUSE_NOTHING) {
    if (m_bAllowColumnResize && MouseOverColumnResizeArea(point)) {
      ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
      m_MouseMode = MOUSE_OVER_COL_DIVIDE;
    } else if (m_bAllowRowResize && MouseOverRowResizeArea(point)) {
      ::SetCursor(::LoadCursorW(nullptr, IDC_SIZENS));
      m_MouseMode = MOUSE_OVER_ROW_DIVIDE;
    }
  }

  if (m_MouseMode == MOUSE_OVER_COL_DIVIDE || m_MouseMode == MOUSE_OVER_ROW_DIVIDE) {
    StartSizing(point);
  } else if (m_MouseMode != MOUSE_PREPARE_DRAG) {
    SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, GRIDN_SELCHANGING);
    m_PrevSelectedCellMap.RemoveAll();
    if (nFlags & MK_CONTROL) {
      for (const CGridCellId& cell : m_SelectedCellMap.GetCells()) m_PrevSelectedCellMap.Add(cell);
    }
    if (m_LeftClickDownCell.row < m_nFixedRows) {
      OnFixedRowClick(m_LeftClickDownCell);
    } else if (m_LeftClickDownCell.col < m_nFixedCols) {
      OnFixedColumnClick(m_LeftClickDownCell);
    } else {
      m_MouseMode = m_bListMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
      OnSelecting(m_LeftClickDownCell);
      m_nTimerID = SetTimer(kAutoScrollTimer, m_nTimerInterval, nullptr);
    }
  }
  m_LastMousePoint = point;
}

void CGridCtrl::OnMouseMove(UINT /*nFlags*/, CPoint point) {
  CRect client;
  GetClientRect(&client);
  if (!client.PtInRect(point) && m_MouseMode != MOUSE_DRAGGING) return;

  if (m_bLMouseButtonDown && m_MouseMode != MOUSE_NOTHING) {
    if (!IsValid(m_LeftClickDownCell)) {
      m_LastMousePoint = point;
      return;
    }
    switch (m_MouseMode) {
      case MOUSE_SELECT_ALL:
      case MOUSE_SELECT_COL:
      case MOUSE_SELECT_ROW:
      case MOUSE_SELECT_CELLS: {
        const CGridCellId cell = HitTestCell(point, TRUE);
        if (!IsValid(cell) || cell == m_idCurrentCell) break;
        OnSelecting(cell);
        const bool bScrollable = cell.row >= m_nFixedRows && cell.col >= m_nFixedCols;
        if (bScrollable || m_MouseMode == MOUSE_SELECT_COL || m_MouseMode == MOUSE_SELECT_ROW) SetFocusCell(cell);
        break;
      }
      case MOUSE_SIZING_ROW:
      case MOUSE_SIZING_COL: {
        CClientDC dc(this);
        if (!dc.GetSafeHdc()) break;
        const BOOL bVertical = m_MouseMode == MOUSE_SIZING_COL;
        InvertResizeLine(&dc, m_LastMousePoint, bVertical);
        InvertResizeLine(&dc, point, bVertical);
        break;
      }
      case MOUSE_PREPARE_EDIT:
      case MOUSE_PREPARE_DRAG:
        m_MouseMode = MOUSE_PREPARE_DRAG;
        OnBeginDrag();
        break;
      default:
        break;
    }
  } else {
    if (m_bAllowColumnResize && MouseOverColumnResizeArea(point)) {
      if (m_MouseMode != MOUSE_OVER_COL_DIVIDE) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
        m_MouseMode = MOUSE_OVER_COL_DIVIDE;
      }
    } else if (m_bAllowRowResize && MouseOverRowResizeArea(point)) {
      if (m_MouseMode != MOUSE_OVER_ROW_DIVIDE) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_SIZENS));
        m_MouseMode = MOUSE_OVER_ROW_DIVIDE;
      }
    } else if (m_MouseMode != MOUSE_NOTHING) {
      ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
      m_MouseMode = MOUSE_NOTHING;
    }

    if (m_MouseMode == MOUSE_NOTHING) {
      const CGridCellId cell = HitTestCell(point, TRUE);
      if (CGridCellBase* pCell = GetCell(cell.row, cell.col)) {
        pCell->OnMouseOver();
        if (m_bTitleTips) ShowTitleTipFor(cell);
      }
    }
  }
  m_LastMousePoint = point;
}

void CGridCtrl::ShowTitleTipFor(const CGridCellId& cell) {
  CGridCellBase* pCell = GetCell(cell.row, cell.col);
  if (!pCell || !m_TitleTip) return;
  const CString tip = pCell->GetTipText();
  if (tip.IsEmpty() || pCell->IsEditing()) return;
  CRect cellRect, textRect;
  if (!GetCellRect(cell, &cellRect)) return;
  textRect = cellRect;
  if (!pCell->GetTipTextRect(&textRect)) return;
  m_TitleTip->Show(textRect, tip, 0, cellRect, pCell->GetFont(), m_crTTipTextClr, m_crTTipBackClr);
}

void CGridCtrl::HideTitleTip() {
  if (m_bTitleTips && m_TitleTip) m_TitleTip->Hide();
}

void CGridCtrl::FinishSizing(CPoint point) {
  CClientDC dc(this);
  if (dc.GetSafeHdc()) InvertResizeLine(&dc, m_LastMousePoint, m_MouseMode == MOUSE_SIZING_COL);
  if (m_LeftClickDownPoint == point || (point.x == 0 && point.y == 0)) return;
  CPoint start;
  if (!GetCellOrigin(m_LeftClickDownCell, &start)) return;
  if (m_MouseMode == MOUSE_SIZING_COL)
    SetColumnWidth(m_LeftClickDownCell.col, std::max<int>(point.x - start.x, m_bAllowColHide ? 0 : 1));
  else
    SetRowHeight(m_LeftClickDownCell.row, std::max<int>(point.y - start.y, m_bAllowRowHide ? 0 : 1));
  UpdateScrollBars();
  Invalidate();
}

void CGridCtrl::OnLButtonUp(UINT nFlags, CPoint point) {
  CWnd::OnLButtonUp(nFlags, point);
  m_bLMouseButtonDown = FALSE;
  ::ClipCursor(nullptr);
  if (GetCapture() == this) {
    ::ReleaseCapture();
    KillTimer(m_nTimerID);
    m_nTimerID = 0;
  }

  const CPoint pointInFocus = PointInCell(m_idCurrentCell.row, m_idCurrentCell.col, point);
  if (m_MouseMode == MOUSE_PREPARE_EDIT) {
    OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, pointInFocus, VK_LBUTTON);
  } else if (m_MouseMode == MOUSE_PREPARE_DRAG) {
    // Pressed and released on a selected cell without moving: a plain click.
    if (CGridCellBase* pCell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col)) pCell->OnClick(pointInFocus);
    SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, NM_CLICK);
    SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, GRIDN_SELCHANGING);
    ResetSelectedRange();
    SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, GRIDN_SELCHANGED);
  } else if (m_MouseMode == MOUSE_SIZING_COL || m_MouseMode == MOUSE_SIZING_ROW) {
    FinishSizing(point);
  } else {
    SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, GRIDN_SELCHANGED);
    if (CGridCellBase* pCell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col)) pCell->OnClick(pointInFocus);
    SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, NM_CLICK);
  }

  m_MouseMode = MOUSE_NOTHING;
  ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  if (!IsValid(m_LeftClickDownCell)) return;
  if (CWnd* pTarget = GetNotifyTarget())
    pTarget->PostMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0), reinterpret_cast<LPARAM>(m_hWnd));
}

void CGridCtrl::OnLButtonDblClk(UINT /*nFlags*/, CPoint point) {
  const CGridCellId cell = HitTestCell(point, TRUE);
  if (!IsValid(cell)) return;

  if (m_MouseMode == MOUSE_OVER_COL_DIVIDE) {
    CPoint start;
    if (!GetCellOrigin(cell, &start)) return;
    int col = cell.col;
    if (point.x - start.x < m_nResizeCaptureRange) col--;
    while (col >= 0 && GetColumnWidth(col) == 0) col--;
    if (col < 0) return;
    AutoSizeColumn(col, m_nAutoSizeColumnStyle, TRUE);
    Invalidate();
  } else if (m_MouseMode == MOUSE_OVER_ROW_DIVIDE) {
    CPoint start;
    if (!GetCellOrigin(cell, &start)) return;
    int row = cell.row;
    if (point.y - start.y < m_nResizeCaptureRange) row--;
    while (row >= 0 && GetRowHeight(row) == 0) row--;
    if (row < 0) return;
    AutoSizeRow(row, TRUE);
    Invalidate();
  } else if (m_MouseMode == MOUSE_NOTHING) {
    CGridCellBase* pCell = GetCell(cell.row, cell.col);
    BOOL bHit = FALSE;
    CRect rect;
    if (pCell && GetCellRect(cell, &rect)) {
      pCell->GetTextRect(&rect);
      bHit = rect.PtInRect(point);
    }
    const CPoint pointInCell = PointInCell(cell.row, cell.col, point);
    if (cell.row >= m_nFixedRows && cell.col >= m_nFixedCols && bHit &&
        (IsValid(m_LeftClickDownCell) || m_bListMode))
      OnEditCell(cell.row, cell.col, pointInCell, VK_LBUTTON);
    // Editing may have changed the store; look the cell up again.
    if ((pCell = GetCell(cell.row, cell.col)) != nullptr) pCell->OnDblClick(pointInCell);
    SendMessageToParent(cell.row, cell.col, NM_DBLCLK);
  }
}

void CGridCtrl::OnRButtonUp(UINT nFlags, CPoint point) {
  CWnd::OnRButtonUp(nFlags, point);
  const CGridCellId cell = HitTestCell(point, TRUE);
  EndEditing();
  if (!IsValid(cell)) {
    SendMessageToParent(-1, -1, NM_RCLICK);
    return;
  }
  SetFocusCell(-1, -1);
  SetFocusCell(std::max(cell.row, m_nFixedRows), std::max(cell.col, m_nFixedCols));
  if (CGridCellBase* pCell = GetCell(cell.row, cell.col)) pCell->OnRClick(PointInCell(cell.row, cell.col, point));
  SendMessageToParent(cell.row, cell.col, NM_RCLICK);
}

BOOL CGridCtrl::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
  if (nHitTest != HTCLIENT) return CWnd::OnSetCursor(pWnd, nHitTest, message);
  switch (m_MouseMode) {
    case MOUSE_OVER_ROW_DIVIDE:
      ::SetCursor(::LoadCursorW(nullptr, IDC_SIZENS));
      return TRUE;
    case MOUSE_OVER_COL_DIVIDE:
      ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
      return TRUE;
    case MOUSE_DRAGGING:
      return TRUE;
    default: {
      CPoint point;
      ::GetCursorPos(&point);
      ScreenToClient(&point);
      const CGridCellId cell = HitTestCell(point, TRUE);
      if (CGridCellBase* pCell = GetCell(cell.row, cell.col)) return pCell->OnSetCursor();
      ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
      return TRUE;
    }
  }
}

void CGridCtrl::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != kAutoScrollTimer) return;
  CPoint point;
  if (!::GetCursorPos(&point)) return;
  ScreenToClient(&point);
  CRect client;
  GetClientRect(&client);

  CPoint target = point;
  if (point.y > client.bottom) {
    SendMessage(WM_KEYDOWN, VK_DOWN, 0);
    target = CPoint(std::clamp<int>(point.x, 0, client.right), client.bottom);
    OnSelecting(HitTestCell(target, TRUE));
  } else if (point.y < GetFixedRowHeight()) {
    SendMessage(WM_KEYDOWN, VK_UP, 0);
    target = CPoint(std::clamp<int>(point.x, 0, client.right), GetFixedRowHeight() + 1);
    OnSelecting(HitTestCell(target, TRUE));
  }
  if (point.x > client.right) {
    SendMessage(WM_KEYDOWN, VK_RIGHT, 0);
    target = CPoint(client.right, std::clamp<int>(point.y, 0, client.bottom));
    OnSelecting(HitTestCell(target, TRUE));
  } else if (point.x < GetFixedColumnWidth()) {
    SendMessage(WM_KEYDOWN, VK_LEFT, 0);
    target = CPoint(GetFixedColumnWidth() + 1, std::clamp<int>(point.y, 0, client.bottom));
    OnSelecting(HitTestCell(target, TRUE));
  }
}

void CGridCtrl::OnCaptureChanged(CWnd* pWnd) {
  if (pWnd && pWnd->GetSafeHwnd() == m_hWnd) return;
  if (m_nTimerID) KillTimer(m_nTimerID);
  m_nTimerID = 0;
  if (m_MouseMode == MOUSE_DRAGGING) m_MouseMode = MOUSE_NOTHING;
}

BOOL CGridCtrl::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt) {
  if (m_nRowsPerWheelNotch == -1) {
    const int nPages = zDelta / WHEEL_DELTA;
    for (int i = 0; i < std::abs(nPages); i++)
      PostMessage(WM_VSCROLL, nPages > 0 ? SB_PAGEUP : SB_PAGEDOWN, 0);
  } else {
    const int nLines = zDelta * m_nRowsPerWheelNotch / WHEEL_DELTA;
    for (int i = 0; i < std::abs(nLines); i++)
      PostMessage(WM_VSCROLL, nLines > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
  }
  return CWnd::OnMouseWheel(nFlags, zDelta, pt);
}

// ---------------------------------------------------------------------------------------
// Keyboard

int CGridCtrl::NextVisibleRow(int nRow, int nStep, int nLimit) const {
  // Steps from nRow in direction nStep over hidden rows, never past nLimit; nRow itself
  // when there is nowhere to go.
  int row = nRow + nStep;
  while ((nStep > 0 ? row <= nLimit : row >= nLimit) && GetRowHeight(row) == 0) row += nStep;
  return (nStep > 0 ? row <= nLimit : row >= nLimit) ? row : nRow;
}

int CGridCtrl::NextVisibleCol(int nCol, int nStep, int nLimit) const {
  int col = nCol + nStep;
  while ((nStep > 0 ? col <= nLimit : col >= nLimit) && GetColumnWidth(col) == 0) col += nStep;
  return (nStep > 0 ? col <= nLimit : col >= nLimit) ? col : nCol;
}

void CGridCtrl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
  if (!IsValid(m_idCurrentCell)) {
    CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
    return;
  }
  if (KeyDown(VK_CONTROL)) {
    switch (nChar) {
      case VK_INSERT:
      case 'C':
        OnEditCopy();
        break;
      case 'A':
        OnEditSelectAll();
        break;
      case 'V':
        OnEditPaste();
        break;
      case 'X':
        OnEditCut();
        break;
      default:
        break;
    }
  }
  if (KeyDown(VK_SHIFT) && nChar == VK_INSERT) {
    OnEditPaste();
    CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
    return;
  }
  switch (nChar) {
    case VK_DOWN:
    case VK_UP:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_TAB:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
      HandleKeyDown(nChar);
      break;
    case VK_DELETE:
      ClearSelectedText();
      break;
    case VK_F2:
      OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, CPoint(-1, -1), VK_F2);
      break;
    default:
      CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
      break;
  }
}

void CGridCtrl::HandleKeyDown(UINT nChar) {
  if (!IsValid(m_idCurrentCell)) return;
  const bool bShift = KeyDown(VK_SHIFT), bCtrl = KeyDown(VK_CONTROL);
  CGridCellId next = m_idCurrentCell;
  bool bChangeLine = false;
  bool bScrolledH = false, bScrolledV = false;

  switch (nChar) {
    case VK_DOWN:
      next.row = NextVisibleRow(next.row, 1, m_nRows - 1);
      break;
    case VK_UP:
      next.row = NextVisibleRow(next.row, -1, m_nFixedRows);
      break;
    case VK_RIGHT:
    case VK_TAB:
      if (nChar == VK_TAB && bShift) {
        // Shift+Tab moves back, wrapping to the end of the line above.
        const int col = NextVisibleCol(next.col, -1, m_nFixedCols);
        if (col != next.col) {
          next.col = col;
        } else if (next.row > m_nFixedRows) {
          const int row = NextVisibleRow(next.row, -1, m_nFixedRows);
          if (row != next.row) {
            next.row = row;
            next.col = m_nCols - 1;
            bChangeLine = true;
          }
        }
        break;
      }
      {
        const int col = NextVisibleCol(next.col, 1, m_nCols - 1);
        if (col != next.col) {
          next.col = col;
        } else if (nChar == VK_TAB && next.row < m_nRows - 1) {
          const int row = NextVisibleRow(next.row, 1, m_nRows - 1);
          if (row != next.row) {
            next.row = row;
            next.col = m_nFixedCols;
            bChangeLine = true;
          }
        }
      }
      break;
    case VK_LEFT:
      next.col = NextVisibleCol(next.col, -1, m_nFixedCols);
      break;
    case VK_NEXT: {
      const CGridCellId oldTopLeft = GetFirstScrollableCell();
      SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
      bScrolledV = true;
      const CGridCellId newTopLeft = GetFirstScrollableCell();
      if (newTopLeft == oldTopLeft)
        next.row = m_nRows - 1;
      else
        next.row = std::min(m_nRows - 1, next.row + newTopLeft.row - oldTopLeft.row);
      break;
    }
    case VK_PRIOR: {
      const CGridCellId oldTopLeft = GetFirstScrollableCell();
      SendMessage(WM_VSCROLL, SB_PAGEUP, 0);
      bScrolledV = true;
      const CGridCellId newTopLeft = GetFirstScrollableCell();
      if (newTopLeft == oldTopLeft)
        next.row = m_nFixedRows;
      else
        next.row = std::max(m_nFixedRows, next.row + newTopLeft.row - oldTopLeft.row);
      break;
    }
    case VK_HOME:
      if (bCtrl) {
        SendMessage(WM_VSCROLL, SB_TOP, 0);
        bScrolledV = true;
        next.row = m_nFixedRows;
      }
      SendMessage(WM_HSCROLL, SB_LEFT, 0);
      bScrolledH = true;
      next.col = m_nFixedCols;
      while (next.col < m_nCols - 1 && GetColumnWidth(next.col) == 0) next.col++;
      while (next.row < m_nRows - 1 && GetRowHeight(next.row) == 0) next.row++;
      break;
    case VK_END:
      if (bCtrl) {
        SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
        bScrolledV = true;
        next.row = m_nRows - 1;
      }
      SendMessage(WM_HSCROLL, SB_RIGHT, 0);
      bScrolledH = true;
      next.col = m_nCols - 1;
      while (next.col > m_nFixedCols + 1 && GetColumnWidth(next.col) == 0) next.col--;
      while (next.row > m_nFixedRows + 1 && GetRowHeight(next.row) == 0) next.row--;
      break;
    default:
      return;
  }

  if (next == m_idCurrentCell) return;

  if (m_MouseMode == MOUSE_NOTHING) {
    m_PrevSelectedCellMap.RemoveAll();
    m_MouseMode = m_bListMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
    if (!bShift || nChar == VK_TAB) m_SelectionStartCell = next;
    SendMessageToParent(next.row, next.col, GRIDN_SELCHANGING);
    OnSelecting(next);
    SendMessageToParent(next.row, next.col, GRIDN_SELCHANGED);
    m_MouseMode = MOUSE_NOTHING;
  }
  SetFocusCell(next);

  if (!IsCellVisible(next)) {
    switch (nChar) {
      case VK_TAB:
        if (bChangeLine) {
          SendMessage(WM_VSCROLL, bShift ? SB_LINEUP : SB_LINEDOWN, 0);
          bScrolledV = true;
          SetScrollPosition(SB_HORZ, bShift ? m_nHScrollMax : 0);
          bScrolledH = true;
        } else {
          SendMessage(WM_HSCROLL, bShift ? SB_LINELEFT : SB_LINERIGHT, 0);
          bScrolledH = true;
        }
        break;
      case VK_LEFT:
      case VK_RIGHT:
        SendMessage(WM_HSCROLL, nChar == VK_LEFT ? SB_LINELEFT : SB_LINERIGHT, 0);
        bScrolledH = true;
        break;
      case VK_UP:
      case VK_DOWN:
        SendMessage(WM_VSCROLL, nChar == VK_UP ? SB_LINEUP : SB_LINEDOWN, 0);
        bScrolledV = true;
        break;
      default:
        break;
    }
    EnsureVisible(next);
    Invalidate();
  }
  EnsureVisible(next);
  if (bScrolledH) SendMessage(WM_HSCROLL, SB_ENDSCROLL, 0);
  if (bScrolledV) SendMessage(WM_VSCROLL, SB_ENDSCROLL, 0);
}

void CGridCtrl::OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) { CWnd::OnSysKeyDown(nChar, nRepCnt, nFlags); }

void CGridCtrl::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) {
  if (!KeyDown(VK_CONTROL) && m_MouseMode == MOUSE_NOTHING && nChar != VK_ESCAPE &&
      (!m_bHandleTabKey || nChar != VK_TAB))
    OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, CPoint(-1, -1), nChar);
  CWnd::OnChar(nChar, nRepCnt, nFlags);
}

LRESULT CGridCtrl::OnImeChar(WPARAM wCharCode, LPARAM /*lParam*/) {
  if (!KeyDown(VK_CONTROL) && m_MouseMode == MOUSE_NOTHING && wCharCode != VK_ESCAPE)
    OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, CPoint(-1, -1), static_cast<UINT>(wCharCode));
  return 0;
}

UINT CGridCtrl::OnGetDlgCode() {
  UINT nCode = DLGC_WANTARROWS | DLGC_WANTCHARS;
  if (m_bHandleTabKey && !KeyDown(VK_CONTROL)) nCode |= DLGC_WANTTAB;
  return nCode;
}

// ---------------------------------------------------------------------------------------
// Fixed-cell clicks

void CGridCtrl::OnFixedRowClick(CGridCellId& cell) {
  if (!IsValid(cell)) return;
  if (m_bSortOnClick) {
    CWaitCursorScope wait(this);
    const BOOL bAscending = !(cell.col == m_nSortColumn && m_bAscending);
    SortTextItems(cell.col, bAscending, 0);
    Invalidate();
  }
  if (m_bFixedRowSelection) {
    m_MouseMode = cell.col < m_nFixedCols ? MOUSE_SELECT_ALL : MOUSE_SELECT_COL;
    OnSelecting(cell);
  }
}

void CGridCtrl::OnFixedColumnClick(CGridCellId& cell) {
  if (!IsValid(cell) || !m_bFixedColumnSelection) return;
  m_MouseMode = cell.row < m_nFixedRows ? MOUSE_SELECT_ALL : MOUSE_SELECT_ROW;
  OnSelecting(cell);
}
