// Clipboard text, OLE drag and drop and sorting of the grid.
#include "GridCtrl.h"

#include <string>

namespace {

// A growing shared memory block for CF_TEXT, grown in whole pages while it is written.
class CTextBlockWriter {
 public:
  static constexpr UINT kFlags = GMEM_MOVEABLE | GMEM_DDESHARE | GMEM_ZEROINIT;
  static constexpr SIZE_T kGrowBy = 4096;

  ~CTextBlockWriter() {
    if (m_hGlobal) ::GlobalFree(m_hGlobal);
  }
  BOOL Write(const void* pData, SIZE_T nBytes) {
    if (m_nUsed + nBytes > m_nCapacity) {
      const SIZE_T nNew = ((m_nUsed + nBytes) / kGrowBy + 1) * kGrowBy;
      HGLOBAL hNew = m_hGlobal ? ::GlobalReAlloc(m_hGlobal, nNew, kFlags) : ::GlobalAlloc(kFlags, nNew);
      if (!hNew) return FALSE;
      m_hGlobal = hNew;
      m_nCapacity = nNew;
    }
    if (nBytes == 0) return TRUE;
    auto* pDest = static_cast<BYTE*>(::GlobalLock(m_hGlobal));
    if (!pDest) return FALSE;
    memcpy(pDest + m_nUsed, pData, nBytes);
    ::GlobalUnlock(m_hGlobal);
    m_nUsed += nBytes;
    return TRUE;
  }
  // Hands over the block cut to the bytes written; null when it cannot be had.
  HGLOBAL Detach() {
    HGLOBAL hBlock = m_hGlobal ? ::GlobalReAlloc(m_hGlobal, m_nUsed, kFlags) : nullptr;
    if (!hBlock) return nullptr;
    m_hGlobal = nullptr;
    return hBlock;
  }

 private:
  HGLOBAL m_hGlobal = nullptr;
  SIZE_T m_nUsed = 0;
  SIZE_T m_nCapacity = 0;
};

std::string ToAnsi(const CString& text) {
  if (text.IsEmpty()) return {};
  const int nBytes = ::WideCharToMultiByte(CP_ACP, 0, text, text.GetLength(), nullptr, 0, nullptr, nullptr);
  std::string out(nBytes, '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text, text.GetLength(), &out[0], nBytes, nullptr, nullptr);
  return out;
}

// The CF_TEXT of a data object as wide text. Text from another program need not end in a
// zero byte: the read stops at the first zero or at the end of the block, whichever comes
// first.
BOOL ReadClipboardText(COleDataObject* pDataObject, CString& text) {
  HGLOBAL hGlobal = pDataObject->GetGlobalData(CF_TEXT);
  if (!hGlobal) return FALSE;
  const SIZE_T nSize = ::GlobalSize(hGlobal);
  const char* pText = static_cast<const char*>(::GlobalLock(hGlobal));
  if (!pText) {
    ::GlobalFree(hGlobal);
    return FALSE;
  }
  SIZE_T nLength = 0;
  while (nLength < nSize && pText[nLength] != '\0') nLength++;
  const int nChars = ::MultiByteToWideChar(CP_ACP, 0, pText, static_cast<int>(nLength), nullptr, 0);
  std::wstring wide(nChars, L'\0');
  if (nChars) ::MultiByteToWideChar(CP_ACP, 0, pText, static_cast<int>(nLength), &wide[0], nChars);
  ::GlobalUnlock(hGlobal);
  ::GlobalFree(hGlobal);
  text = CString(wide);
  return TRUE;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Copy and paste

COleDataSource* CGridCtrl::CopySelectionToDataSource() {
  const CGridCellRange range = GetSelectedCellRange();
  if (!IsValid(range)) return nullptr;
  if (m_bVirtualMode) SendCacheHintToParent(range);

  CTextBlockWriter writer;
  BOOL bOk = TRUE;
  for (int row = range.GetMinRow(); row <= range.GetMaxRow() && bOk; row++) {
    if (GetRowHeight(row) <= 0) continue;
    CString line;
    for (int col = range.GetMinCol(); col <= range.GetMaxCol(); col++) {
      if (GetColumnWidth(col) <= 0) continue;
      CGridCellBase* pCell = GetCell(row, col);
      if (pCell && (pCell->GetState() & GRIDIS_SELECTED)) line += pCell->GetText();
      if (col != range.GetMaxCol()) line += L'\t';
    }
    if (row != range.GetMaxRow()) line += L"\r\n";
    const std::string ansi = ToAnsi(line);
    bOk = writer.Write(ansi.data(), ansi.size());
  }
  if (m_bVirtualMode) SendCacheHintToParent(CGridCellRange());
  if (!bOk || !writer.Write("", 1)) return nullptr;

  HGLOBAL hBlock = writer.Detach();
  if (!hBlock) return nullptr;
  auto* pSource = new COleDataSource;
  pSource->CacheGlobalData(CF_TEXT, hBlock);
  return pSource;
}

BOOL CGridCtrl::PasteTextAt(int nRow, int nCol, COleDataObject* pDataObject, BOOL bSelectPasted) {
  if (!IsValid(nRow, nCol) || !IsCellEditable(nRow, nCol) || !pDataObject ||
      !pDataObject->IsDataAvailable(CF_TEXT))
    return FALSE;
  CString text;
  if (!ReadClipboardText(pDataObject, text)) return FALSE;

  CGridCellRange pasted(nRow, nCol, -1, -1);
  int nRowOffset = 0;
  int nLineStart = 0;
  for (int line = 0; nLineStart <= text.GetLength(); line++) {
    int nLineEnd = text.Find(L'\n', nLineStart);
    const bool bLastLine = nLineEnd < 0;
    if (bLastLine) nLineEnd = text.GetLength();
    const CString lineText = text.Mid(nLineStart, nLineEnd - nLineStart);
    nLineStart = nLineEnd + 1;

    int row = nRow + line + nRowOffset;
    while (row < m_nRows && GetRowHeight(row) == 0) {
      row++;
      nRowOffset++;
    }

    int nColOffset = 0;
    int nFieldStart = 0;
    // Fields end at the next tab or comma; a separator at the very end opens no field.
    for (int field = 0; nFieldStart < lineText.GetLength(); field++) {
      int nFieldEnd = -1;
      for (int i = nFieldStart; i < lineText.GetLength() && nFieldEnd < 0; i++)
        if (lineText[i] == L'\t' || lineText[i] == L',') nFieldEnd = i;
      if (nFieldEnd < 0) nFieldEnd = lineText.GetLength();
      CString value = lineText.Mid(nFieldStart, nFieldEnd - nFieldStart);
      nFieldStart = nFieldEnd + 1;

      int col = nCol + field + nColOffset;
      while (col < m_nCols && GetColumnWidth(col) == 0) {
        col++;
        nColOffset++;
      }
      if (IsValid(row, col)) {
        value.Trim();
        SetCellTextChecked(row, col, value);
        SetItemState(row, col, GetItemState(row, col) & ~GRIDIS_SELECTED);
        pasted.SetMaxRow(std::max(pasted.GetMaxRow(), row));
        pasted.SetMaxCol(std::max(pasted.GetMaxCol(), col));
      }
    }
    if (bLastLine) break;
  }

  if (bSelectPasted) {
    SetSelectedRange(nRow, nCol, pasted.GetMaxRow(), pasted.GetMaxCol(), TRUE, TRUE);
  } else {
    ResetSelectedRange();
    Refresh();
  }
  return TRUE;
}

void CGridCtrl::ClearSelectedText() {
  if (!IsEditable()) return;
  for (const CGridCellId& cell : m_SelectedCellMap.GetCells()) SetCellTextChecked(cell.row, cell.col, L"");
}

void CGridCtrl::OnEditCopy() {
  if (COleDataSource* pSource = CopySelectionToDataSource()) pSource->SetClipboard();
}

void CGridCtrl::OnEditCut() {
  if (!IsEditable()) return;
  OnEditCopy();
  ClearSelectedText();
}

void CGridCtrl::OnEditPaste() {
  if (!IsEditable()) return;
  CGridCellId cell = GetSelectedCellRange().GetTopLeft();
  if (!IsValid(cell)) cell = m_idCurrentCell;
  if (!IsValid(cell)) cell = GetFirstScrollableCell();
  if (!IsValid(cell)) return;

  // Pasting while the cell is being edited goes to the edit window itself.
  CGridCellBase* pCell = GetCell(cell.row, cell.col);
  if (pCell && pCell->IsEditing()) {
    CWnd* pEditWnd = pCell->GetEditWnd();
    if (pEditWnd && pEditWnd->IsKindOf(RUNTIME_CLASS(CEdit))) {
      pEditWnd->SendMessage(WM_PASTE, 0, 0);
      return;
    }
  }
  COleDataObject dataObject;
  if (dataObject.AttachClipboard()) PasteTextAt(cell.row, cell.col, &dataObject, TRUE);
}

void CGridCtrl::OnEditSelectAll() {
  SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, GRIDN_SELCHANGING);
  SelectAllCells();
  SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, GRIDN_SELCHANGED);
}

BOOL CGridCtrl::HasClipboardText() const { return ::IsClipboardFormatAvailable(CF_TEXT); }

void CGridCtrl::OnUpdateEditCopy(CCmdUI* pCmdUI) { pCmdUI->Enable(GetSelectedCount() > 0); }

void CGridCtrl::OnUpdateEditCut(CCmdUI* pCmdUI) { pCmdUI->Enable(IsEditable() && GetSelectedCount() > 0); }

void CGridCtrl::OnUpdateEditPaste(CCmdUI* pCmdUI) {
  pCmdUI->Enable(IsValid(m_idCurrentCell) && IsCellEditable(m_idCurrentCell) && HasClipboardText());
}

void CGridCtrl::OnUpdateEditSelectAll(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bEnableSelection); }

// ---------------------------------------------------------------------------------------
// Drag and drop

void CGridCtrl::OnBeginDrag() {
  if (!m_bAllowDragAndDrop) return;
  std::unique_ptr<COleDataSource> pSource(CopySelectionToDataSource());
  if (!pSource) return;
  const CGridCellRange range = GetSelectedCellRange();
  SendMessageToParent(range.GetMinRow(), range.GetMinCol(), GRIDN_BEGINDRAG);
  m_MouseMode = MOUSE_DRAGGING;
  m_bLMouseButtonDown = FALSE;
  const DROPEFFECT effect = pSource->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE);
  if (effect & DROPEFFECT_MOVE) ClearSelectedText();
}

DROPEFFECT CGridCtrl::OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) {
  if (!m_bAllowDragAndDrop || !pDataObject || !pDataObject->IsDataAvailable(CF_TEXT)) return DROPEFFECT_NONE;
  m_LastDragOverCell = HitTestCell(point, FALSE);
  if (!IsValid(m_LastDragOverCell) || !IsCellEditable(m_LastDragOverCell)) return DROPEFFECT_NONE;
  const CGridCellId& cell = m_LastDragOverCell;
  SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) | GRIDIS_DROPHILITED);
  RedrawCell(cell);
  return (dwKeyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

DROPEFFECT CGridCtrl::OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point) {
  if (!m_bAllowDragAndDrop || !IsEditable() || !pDataObject || !pDataObject->IsDataAvailable(CF_TEXT))
    return DROPEFFECT_NONE;
  const CGridCellId cell = HitTestCell(point, FALSE);
  if (!IsValid(cell)) {
    OnDragLeave();
    m_LastDragOverCell = CGridCellId();
    return DROPEFFECT_NONE;
  }
  if (!IsCellEditable(cell)) return DROPEFFECT_NONE;
  if (cell != m_LastDragOverCell) {
    if (IsValid(m_LastDragOverCell)) {
      const CGridCellId& old = m_LastDragOverCell;
      SetItemState(old.row, old.col, GetItemState(old.row, old.col) & ~GRIDIS_DROPHILITED);
      RedrawCell(old);
    }
    m_LastDragOverCell = cell;
    SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) | GRIDIS_DROPHILITED);
    RedrawCell(cell);
  }
  return (dwKeyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

void CGridCtrl::OnDragLeave() {
  if (!IsValid(m_LastDragOverCell)) return;
  const CGridCellId& cell = m_LastDragOverCell;
  SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) & ~GRIDIS_DROPHILITED);
  RedrawCell(cell);
}

BOOL CGridCtrl::OnDrop(COleDataObject* pDataObject, DROPEFFECT /*dropEffect*/, CPoint /*point*/) {
  m_MouseMode = MOUSE_NOTHING;
  if (!m_bAllowDragAndDrop || !IsValid(m_LastDragOverCell) || !IsCellEditable(m_LastDragOverCell)) return FALSE;
  OnDragLeave();
  return PasteTextAt(m_LastDragOverCell.row, m_LastDragOverCell.col, pDataObject, FALSE);
}

CImageList* CGridCtrl::CreateDragImage(CPoint* pHotSpot) {
  CRect rect;
  if (!GetSafeHwnd() || !GetCellRect(m_idCurrentCell, &rect)) return nullptr;
  CClientDC dc(this);
  if (!dc.GetSafeHdc()) return nullptr;

  const CSize size(rect.Width(), rect.Height());
  if (pHotSpot) *pHotSpot = CPoint(size.cx, size.cy);

  auto pList = std::make_unique<CImageList>();
  if (!pList->Create(size.cx, size.cy, ILC_MASK, 1, 1)) return nullptr;
  CDC memDC;
  CBitmap bitmap;
  if (!memDC.CreateCompatibleDC(&dc) || !bitmap.CreateCompatibleBitmap(&dc, size.cx, size.cy)) return nullptr;
  CBitmap* pOld = memDC.SelectObject(&bitmap);
  memDC.SetWindowOrg(0, 0);
  if (CGridCellBase* pCell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col))
    pCell->Draw(&memDC, m_idCurrentCell.row, m_idCurrentCell.col, CRect(0, 0, size.cx, size.cy), FALSE);
  memDC.SelectObject(pOld);
  pList->Add(&bitmap, m_cellDefault.GetBackClr());
  return pList.release();
}

// ---------------------------------------------------------------------------------------
// Sorting

void CGridCtrl::SetSortColumn(int nCol) {
  if (m_nSortColumn >= 0) RedrawCell(0, m_nSortColumn);
  m_nSortColumn = nCol;
  if (nCol >= 0) RedrawCell(0, nCol);
}

int CALLBACK CGridCtrl::CompareCellText(CGridCellBase* pFirst, CGridCellBase* pSecond, LPARAM /*lParam*/) {
  if (!pFirst || !pSecond) return 0;
  return wcscmp(pFirst->GetText(), pSecond->GetText());
}

BOOL CGridCtrl::SortTextItems(int nCol, BOOL bAscending, LPARAM data) {
  SetSortColumn(nCol);
  m_bAscending = bAscending;
  ResetSelectedRange();
  return SortItems(m_pfnCompare ? m_pfnCompare : CompareCellText, nCol, bAscending, data);
}

BOOL CGridCtrl::SortItems(PFNGRIDCOMPARE pfnCompare, int nCol, BOOL bAscending, LPARAM data) {
  SetSortColumn(nCol);
  m_bAscending = bAscending;
  ResetSelectedRange();
  SetFocusCell(-1, -1);
  if (!pfnCompare || m_bVirtualMode) return FALSE;
  return QuickSortRows(pfnCompare, nCol, bAscending, data, m_nFixedRows, -1);
}

void CGridCtrl::SwapRows(int nRow1, int nRow2) {
  std::swap(m_RowData[nRow1], m_RowData[nRow2]);
  for (int col = 0; col < m_nCols; col++) {
    if (CGridCellBase* pCell = GetCell(nRow1, col)) pCell->SetCoords(nRow1, col);
    if (CGridCellBase* pCell = GetCell(nRow2, col)) pCell->SetCoords(nRow2, col);
  }
  std::swap(m_arRowHeights[nRow1], m_arRowHeights[nRow2]);
}

BOOL CGridCtrl::QuickSortRows(PFNGRIDCOMPARE pfnCompare, int nCol, BOOL bAscending, LPARAM data, int low,
                              int high) {
  if (nCol < 0 || nCol >= m_nCols) return FALSE;
  if (high == -1) high = m_nRows - 1;
  if (low >= high) return FALSE;

  // The pivot is a cell object, not a position: it stays the same cell while rows move.
  CGridCellBase* pPivot = GetCell((low + high) / 2, nCol);
  int lo = low, hi = high;
  const int nSign = bAscending ? 1 : -1;
  while (lo <= hi) {
    while (lo < high && nSign * pfnCompare(GetCell(lo, nCol), pPivot, data) < 0) lo++;
    while (hi > low && nSign * pfnCompare(GetCell(hi, nCol), pPivot, data) > 0) hi--;
    if (lo > hi) break;
    if (pfnCompare(GetCell(lo, nCol), GetCell(hi, nCol), data) != 0) SwapRows(lo, hi);
    lo++;
    hi--;
  }
  if (low < hi) QuickSortRows(pfnCompare, nCol, bAscending, data, low, hi);
  if (lo < high) QuickSortRows(pfnCompare, nCol, bAscending, data, lo, high);
  return TRUE;
}
