// The grid's data: construction and window, counts and sizes, the cell store, item
// access, the modified marks and the notifications to the owner.
#include "GridCtrl.h"

#include <new>

#include "GridDropTarget.h"
#include "GridTitleTip.h"

IMPLEMENT_DYNCREATE(CGridCtrl, CWnd)

namespace {

// The clipboard and drag and drop need OLE on the grid's thread. A failure is reported
// once per thread; the grid then works without those parts.
void EnsureOleForThread() {
  thread_local bool s_bReported = false;
  if (AfxOleIsInitialized() || AfxOleInit() || s_bReported) return;
  s_bReported = true;
  ::MessageBoxW(nullptr, L"OLE initialization failed. Make sure that the OLE libraries are the correct version",
                nullptr, MB_OK | MB_ICONSTOP);
}

// Runs a growth step of the cell store; a memory failure inside it becomes FALSE, and
// whatever was built before the failure stays.
template <typename Fn>
BOOL RunGuardingMemory(Fn&& fn) {
  try {
    fn();
    return TRUE;
  } catch (const std::bad_alloc&) {
    return FALSE;
  } catch (CMemoryException* e) {
    e->Delete();
    return FALSE;
  }
}

}  // namespace

CGridCtrl::CGridCtrl(int nRows, int nCols, int nFixedRows, int nFixedCols)
    : m_pRtcDefault(RUNTIME_CLASS(CGridCell)) {
  RegisterWindowClass();
  EnsureOleForThread();

  m_crWindowText = ::GetSysColor(COLOR_WINDOWTEXT);
  m_crWindowColour = ::GetSysColor(COLOR_WINDOW);
  m_cr3DFace = ::GetSysColor(COLOR_BTNFACE);
  m_crShadow = ::GetSysColor(COLOR_BTNSHADOW);
  m_crGridLineColour = RGB(0xC0, 0xC0, 0xC0);
  ReadWheelScrollLines();

  for (CGridDefaultCell* pCell : {&m_cellDefault, &m_cellFixedColDef, &m_cellFixedRowDef, &m_cellFixedRowColDef}) {
    pCell->SetGrid(this);
    pCell->SetTextClr(m_crWindowText);
    pCell->SetBackClr(pCell == &m_cellDefault ? m_crWindowColour : m_cr3DFace);
  }
  m_crWindowColour = m_crShadow;

  m_TitleTip = std::make_unique<CGridTitleTip>();
  m_DropTarget = std::make_unique<CGridDropTarget>();

  SetRowCount(nRows);
  SetColumnCount(nCols);
  SetFixedRowCount(nFixedRows);
  SetFixedColumnCount(nFixedCols);

  m_crTTipBackClr = CLR_DEFAULT;
  m_crTTipTextClr = CLR_DEFAULT;
  m_SelectedCellMap.RemoveAll();
  m_PrevSelectedCellMap.RemoveAll();
}

CGridCtrl::~CGridCtrl() {
  DeleteAllItems();
  if (m_bTitleTips && m_TitleTip && m_TitleTip->GetSafeHwnd()) m_TitleTip->DestroyWindow();
  DestroyWindow();
  // What this grid copied must outlive it on the clipboard.
  if (COleDataSource::GetClipboardOwner()) COleDataSource::FlushClipboard();
  if (m_DropTarget) m_DropTarget->Revoke();
}

BOOL CGridCtrl::RegisterWindowClass() {
  HINSTANCE hInst = AfxGetInstanceHandle();
  WNDCLASSW wndcls{};
  if (::GetClassInfoW(hInst, GRIDCTRL_CLASSNAME, &wndcls)) return TRUE;
  wndcls.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  wndcls.lpfnWndProc = ::DefWindowProcW;
  wndcls.hInstance = hInst;
  wndcls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wndcls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wndcls.lpszClassName = GRIDCTRL_CLASSNAME;
  if (!::RegisterClassW(&wndcls)) AfxThrowResourceException();
  return TRUE;
}

void CGridCtrl::ReadWheelScrollLines() {
  m_nRowsPerWheelNotch = 3;
  OSVERSIONINFOW ver{};
  ver.dwOSVersionInfoSize = sizeof(ver);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const BOOL bVersion = ::GetVersionExW(&ver);
#pragma GCC diagnostic pop
  if (bVersion && !(ver.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && ver.dwMinorVersion == 0)) {
    UINT nLines = 3;
    if (::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &nLines, 0)) m_nRowsPerWheelNotch = static_cast<int>(nLines);
    return;
  }
  HKEY hKey = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS) return;
  WCHAR szData[128] = {};
  DWORD dwSize = sizeof(szData) - sizeof(WCHAR);
  if (::RegQueryValueExW(hKey, L"WheelScrollLines", nullptr, nullptr, reinterpret_cast<BYTE*>(szData), &dwSize) ==
      ERROR_SUCCESS) {
    m_nRowsPerWheelNotch = static_cast<int>(wcstol(szData, nullptr, 10));
  }
  ::RegCloseKey(hKey);
}

BOOL CGridCtrl::Create(const RECT& rect, CWnd* pParentWnd, UINT nID, DWORD dwStyle) {
  // The framework attaches the window while it is still being made, when a changed
  // extended style would not stick; a window this grid creates is set up afterwards.
  m_bCreating = TRUE;
  const BOOL bCreated = CWnd::Create(GRIDCTRL_CLASSNAME, nullptr, dwStyle, rect, pParentWnd, nID);
  m_bCreating = FALSE;
  if (!bCreated) return FALSE;
  OnAttached();
  if (!RunGuardingMemory([this] { ResizeSizeArrays(); })) return FALSE;
  const int nHeight = m_cellDefault.GetHeight(), nWidth = m_cellDefault.GetWidth();
  for (int i = 0; i < m_nRows; i++) m_arRowHeights[i] = nHeight;
  for (int i = 0; i < m_nCols; i++) m_arColWidths[i] = nWidth;
  m_nTotalHeight = static_cast<long>(nHeight) * m_nRows;
  m_nTotalWidth = static_cast<long>(nWidth) * m_nCols;
  return TRUE;
}

void CGridCtrl::ResizeSizeArrays() {
  m_arRowHeights.resize(m_nRows);
  m_arColWidths.resize(m_nCols);
}

void CGridCtrl::PreSubclassWindow() {
  CWnd::PreSubclassWindow();
  if (!m_bCreating) OnAttached();
}

void CGridCtrl::OnAttached() {
  // Moving the window below re-enters through the framework's hooks of child windows.
  static bool s_bInHere = false;
  if (s_bInHere) return;
  s_bInHere = true;
  if (m_TitleTip) m_TitleTip->SetParentWnd(this);
  ModifyStyleEx(0, WS_EX_CLIENTEDGE);
  // Nudging the window makes the system recompute its frame with the new edge.
  CRect rect;
  GetWindowRect(&rect);
  if (CWnd* pParent = GetParent()) pParent->ScreenToClient(&rect);
  rect.InflateRect(1, 1);
  MoveWindow(rect);
  rect.DeflateRect(1, 1);
  MoveWindow(rect);
  s_bInHere = false;
}

// ---------------------------------------------------------------------------------------
// Counts

BOOL CGridCtrl::SetRowCount(int nRows) {
  if (nRows == m_nRows) return TRUE;
  if (nRows < 0) return FALSE;

  m_idTopLeftCell = CGridCellId();
  if (nRows < m_nFixedRows) m_nFixedRows = nRows;
  if (m_idCurrentCell.row >= nRows) SetFocusCell(-1, -1);

  const int nOldRows = m_nRows;
  if (nRows < nOldRows && !m_bVirtualMode) {
    for (int row = nRows; row < nOldRows; row++) {
      for (int col = 0; col < m_nCols; col++) DestroyCell(row, col);
      m_RowData[row].reset();
    }
    m_nRows = nRows;
  }
  if (nRows < nOldRows) {
    for (int row = nRows; row < nOldRows; row++) m_nTotalHeight -= m_arRowHeights[row];
    m_nRows = nRows;
  }

  BOOL bResult = RunGuardingMemory([&] {
    const UINT nHeight = m_cellDefault.GetHeight();
    m_arRowHeights.resize(nRows, nHeight);
    if (m_bVirtualMode) {
      for (int row = nOldRows; row < nRows; row++) m_nTotalHeight += nHeight;
      m_nRows = nRows;
      return;
    }
    m_RowData.resize(nRows);
    for (int row = m_nRows; row < nRows; row++) {
      m_arRowHeights[row] = nHeight;
      auto pRow = std::make_unique<GridRow>(m_nCols, nullptr);
      for (int col = 0; col < m_nCols; col++) (*pRow)[col] = CreateCell(row, col);
      m_RowData[row] = std::move(pRow);
      m_nTotalHeight += nHeight;
      m_nRows++;
    }
  });
  if (!bResult) {
    // Keep the stored rows and their sizes in step with the rows that were completed.
    m_RowData.resize(m_nRows);
    m_arRowHeights.resize(m_nRows);
  }

  SetModified();
  UpdateScrollBars();
  Refresh();
  return bResult;
}

BOOL CGridCtrl::SetColumnCount(int nCols) {
  if (nCols == m_nCols) return TRUE;
  if (nCols < 0) return FALSE;

  m_idTopLeftCell = CGridCellId();
  if (nCols < m_nFixedCols) m_nFixedCols = nCols;
  if (m_idCurrentCell.col >= nCols) SetFocusCell(-1, -1);

  const int nOldCols = m_nCols;
  if (nCols < nOldCols) {
    if (!m_bVirtualMode) {
      for (int row = 0; row < m_nRows; row++)
        for (int col = nCols; col < nOldCols; col++) DestroyCell(row, col);
    }
    for (int col = nCols; col < nOldCols; col++) m_nTotalWidth -= m_arColWidths[col];
  }

  BOOL bResult = RunGuardingMemory([&] {
    const UINT nWidth = m_cellFixedColDef.GetWidth();
    m_arColWidths.resize(nCols, nWidth);
    for (int col = nOldCols; col < nCols; col++) m_nTotalWidth += nWidth;
    if (m_bVirtualMode) return;
    for (int row = 0; row < m_nRows; row++)
      if (m_RowData[row]) m_RowData[row]->resize(nCols, nullptr);
    for (int row = 0; row < m_nRows; row++)
      for (int col = nOldCols; col < nCols; col++) (*m_RowData[row])[col] = CreateCell(row, col);
  });
  if (!bResult && m_arColWidths.size() != static_cast<size_t>(nCols)) {
    // The width array itself could not grow: the columns stay as they were.
    m_nCols = static_cast<int>(std::min<size_t>(m_arColWidths.size(), nOldCols));
  } else {
    // Cells that could not be made stay empty; every reader of the store skips them.
    m_nCols = nCols;
  }

  SetModified();
  UpdateScrollBars();
  Refresh();
  return bResult;
}

BOOL CGridCtrl::SetFixedRowCount(int nFixedRows) {
  if (m_nFixedRows == nFixedRows) return TRUE;
  if (nFixedRows < 0) return FALSE;

  ResetSelectedRange();
  m_idTopLeftCell = CGridCellId();
  if (nFixedRows > GetRowCount() && !SetRowCount(nFixedRows)) return FALSE;
  if (m_idCurrentCell.row < nFixedRows) SetFocusCell(-1, -1);

  if (!m_bVirtualMode) {
    if (nFixedRows > m_nFixedRows) {
      for (int row = m_nFixedRows; row < nFixedRows; row++) {
        for (int col = 0; col < GetColumnCount(); col++) {
          SetItemState(row, col, GetItemState(row, col) | GRIDIS_FIXED | GRIDIS_FIXEDROW);
          SetItemBkColour(row, col, CLR_DEFAULT);
          SetItemFgColour(row, col, CLR_DEFAULT);
        }
      }
    } else {
      for (int row = nFixedRows; row < m_nFixedRows; row++) {
        for (int col = 0; col < GetColumnCount(); col++) {
          if (col < GetFixedColumnCount()) {
            SetItemState(row, col, GetItemState(row, col) & ~GRIDIS_FIXEDROW);
          } else {
            SetItemState(row, col, GetItemState(row, col) & ~(GRIDIS_FIXED | GRIDIS_FIXEDROW));
            SetItemBkColour(row, col, CLR_DEFAULT);
            SetItemFgColour(row, col, CLR_DEFAULT);
          }
        }
      }
    }
  }
  m_nFixedRows = nFixedRows;
  Refresh();
  return TRUE;
}

BOOL CGridCtrl::SetFixedColumnCount(int nFixedCols) {
  if (m_nFixedCols == nFixedCols) return TRUE;
  if (nFixedCols < 0) return FALSE;

  if (nFixedCols > GetColumnCount() && !SetColumnCount(nFixedCols)) return FALSE;
  if (m_idCurrentCell.col < nFixedCols) SetFocusCell(-1, -1);
  ResetSelectedRange();
  m_idTopLeftCell = CGridCellId();

  if (!m_bVirtualMode) {
    if (nFixedCols > m_nFixedCols) {
      for (int row = 0; row < GetRowCount(); row++) {
        for (int col = m_nFixedCols; col < nFixedCols; col++) {
          SetItemState(row, col, GetItemState(row, col) | GRIDIS_FIXED | GRIDIS_FIXEDCOL);
          SetItemBkColour(row, col, CLR_DEFAULT);
          SetItemFgColour(row, col, CLR_DEFAULT);
        }
      }
    } else {
      for (int row = 0; row < GetRowCount(); row++) {
        for (int col = nFixedCols; col < m_nFixedCols; col++) {
          if (row < GetFixedRowCount()) {
            SetItemState(row, col, GetItemState(row, col) & ~GRIDIS_FIXEDCOL);
          } else {
            SetItemState(row, col, GetItemState(row, col) & ~(GRIDIS_FIXED | GRIDIS_FIXEDCOL));
            SetItemBkColour(row, col, CLR_DEFAULT);
            SetItemFgColour(row, col, CLR_DEFAULT);
          }
        }
      }
    }
  }
  m_nFixedCols = nFixedCols;
  Refresh();
  return TRUE;
}

// ---------------------------------------------------------------------------------------
// Sizes

int CGridCtrl::GetRowHeight(int nRow) const {
  if (nRow < 0 || nRow >= m_nRows || nRow >= static_cast<int>(m_arRowHeights.size())) return -1;
  return static_cast<int>(m_arRowHeights[nRow]);
}

int CGridCtrl::GetColumnWidth(int nCol) const {
  if (nCol < 0 || nCol >= m_nCols || nCol >= static_cast<int>(m_arColWidths.size())) return -1;
  return static_cast<int>(m_arColWidths[nCol]);
}

BOOL CGridCtrl::SetRowHeight(int nRow, int nHeight) {
  if (GetRowHeight(nRow) < 0 || nHeight < 0) return FALSE;
  m_nTotalHeight += nHeight - static_cast<long>(m_arRowHeights[nRow]);
  m_arRowHeights[nRow] = nHeight;
  UpdateScrollBars();
  return TRUE;
}

BOOL CGridCtrl::SetColumnWidth(int nCol, int nWidth) {
  if (GetColumnWidth(nCol) < 0 || nWidth < 0) return FALSE;
  m_nTotalWidth += nWidth - static_cast<long>(m_arColWidths[nCol]);
  m_arColWidths[nCol] = nWidth;
  UpdateScrollBars();
  return TRUE;
}

int CGridCtrl::GetFixedRowHeight() const {
  int nHeight = 0;
  for (int i = 0; i < m_nFixedRows; i++) nHeight += GetRowHeight(i);
  return nHeight;
}

int CGridCtrl::GetFixedColumnWidth() const {
  int nWidth = 0;
  for (int i = 0; i < m_nFixedCols; i++) nWidth += GetColumnWidth(i);
  return nWidth;
}

// ---------------------------------------------------------------------------------------
// Cells

BOOL CGridCtrl::SetDefaultCellType(CRuntimeClass* pRuntimeClass) {
  if (!pRuntimeClass || !pRuntimeClass->IsDerivedFrom(RUNTIME_CLASS(CGridCellBase))) return FALSE;
  m_pRtcDefault = pRuntimeClass;
  return TRUE;
}

CGridCellBase* CGridCtrl::CreateCell(int nRow, int nCol) {
  if (!m_pRtcDefault || !m_pRtcDefault->IsDerivedFrom(RUNTIME_CLASS(CGridCellBase))) return nullptr;
  auto* pCell = static_cast<CGridCellBase*>(m_pRtcDefault->CreateObject());
  if (!pCell) return nullptr;
  pCell->SetGrid(this);
  pCell->SetCoords(nRow, nCol);
  if (nCol < m_nFixedCols) pCell->SetState(pCell->GetState() | GRIDIS_FIXED | GRIDIS_FIXEDCOL);
  if (nRow < m_nFixedRows) pCell->SetState(pCell->GetState() | GRIDIS_FIXED | GRIDIS_FIXEDROW);
  pCell->SetFormat(pCell->GetDefaultCell()->GetFormat());
  return pCell;
}

void CGridCtrl::DestroyCell(int nRow, int nCol) {
  SetItemState(nRow, nCol, 0);
  CGridCellBase* pCell = GetCell(nRow, nCol);
  if (!pCell) return;
  (*m_RowData[nRow])[nCol] = nullptr;
  delete pCell;
}

CGridCellBase* CGridCtrl::GetCell(int nRow, int nCol) const {
  if (nRow < 0 || nRow >= m_nRows || nCol < 0 || nCol >= m_nCols) return nullptr;
  if (m_bVirtualMode) return GetVirtualCell(nRow, nCol);
  if (nRow >= static_cast<int>(m_RowData.size())) return nullptr;
  const GridRow* pRow = m_RowData[nRow].get();
  if (!pRow || nCol >= static_cast<int>(pRow->size())) return nullptr;
  return (*pRow)[nCol];
}

CGridCellBase* CGridCtrl::GetDefaultCell(BOOL bFixedRow, BOOL bFixedCol) const {
  const CGridDefaultCell* pCell;
  if (bFixedRow && bFixedCol)
    pCell = &m_cellFixedRowColDef;
  else if (bFixedRow)
    pCell = &m_cellFixedRowDef;
  else if (bFixedCol)
    pCell = &m_cellFixedColDef;
  else
    pCell = &m_cellDefault;
  return const_cast<CGridDefaultCell*>(pCell);
}

BOOL CGridCtrl::DeleteAllItems() {
  ResetSelectedRange();
  m_arRowHeights.clear();
  m_arColWidths.clear();
  m_nTotalHeight = m_nTotalWidth = 0;
  if (!m_bVirtualMode) {
    for (int row = 0; row < m_nRows; row++)
      for (int col = 0; col < m_nCols; col++) DestroyCell(row, col);
    m_RowData.clear();
  }
  m_idCurrentCell = CGridCellId();
  m_nRows = m_nFixedRows = m_nCols = m_nFixedCols = 0;
  UpdateScrollBars();
  SetModified();
  return TRUE;
}

// ---------------------------------------------------------------------------------------
// Virtual mode: the grid keeps no cells and asks for each one as it needs it.

void CGridCtrl::SetVirtualMode(BOOL bVirtual) {
  DeleteAllItems();
  m_bVirtualMode = bVirtual;
}

CGridCellBase* CGridCtrl::GetVirtualCell(int nRow, int nCol) const {
  static GRID_DISPINFO s_dispInfo;
  static CGridCell s_cell;

  const CGridCellBase* pDefault = GetDefaultCell(nRow < m_nFixedRows, nCol < m_nFixedCols);
  GRID_ITEM& item = s_dispInfo.item;
  item.row = nRow;
  item.col = nCol;
  item.mask = GRIDIF_ALL;
  item.strText.Empty();
  item.nFormat = pDefault->GetFormat();
  item.iImage = pDefault->GetImage();
  item.crBkClr = pDefault->GetBackClr();
  item.crFgClr = pDefault->GetTextClr();
  item.lParam = pDefault->GetData();
  if (const LOGFONTW* plf = pDefault->GetFont()) item.lfFont = *plf;
  item.nMargin = pDefault->GetMargin();
  item.nState = 0;
  if (m_SelectedCellMap.Contains(CGridCellId(nRow, nCol))) item.nState |= GRIDIS_SELECTED;
  if (nRow < m_nFixedRows) item.nState |= GRIDIS_FIXED | GRIDIS_FIXEDROW;
  if (nCol < m_nFixedCols) item.nState |= GRIDIS_FIXED | GRIDIS_FIXEDCOL;
  if (CGridCellId(nRow, nCol) == m_idCurrentCell) item.nState |= GRIDIS_FOCUSED;

  if (m_pfnCallback)
    m_pfnCallback(&s_dispInfo, m_lParam);
  else
    SendDisplayRequestToParent(&s_dispInfo);

  s_cell.SetGrid(const_cast<CGridCtrl*>(this));
  s_cell.SetState(item.nState);
  s_cell.SetText(item.strText);
  s_cell.SetImage(item.iImage);
  s_cell.SetData(item.lParam);
  s_cell.SetFormat(item.nFormat);
  s_cell.SetBackClr(item.crBkClr);
  s_cell.SetTextClr(item.crFgClr);
  s_cell.SetFont(pDefault->GetFont() ? &item.lfFont : nullptr);
  s_cell.SetMargin(item.nMargin);
  return &s_cell;
}

// ---------------------------------------------------------------------------------------
// Items

BOOL CGridCtrl::IsValid(int nRow, int nCol) const {
  return nRow >= 0 && nRow < m_nRows && nCol >= 0 && nCol < m_nCols;
}

BOOL CGridCtrl::IsValid(const CGridCellRange& range) const {
  return range.GetMinRow() >= 0 && range.GetMinCol() >= 0 && range.GetMaxRow() >= 0 &&
         range.GetMaxCol() >= 0 && range.GetMaxRow() < m_nRows && range.GetMaxCol() < m_nCols &&
         range.GetMinRow() <= range.GetMaxRow() && range.GetMinCol() <= range.GetMaxCol();
}

BOOL CGridCtrl::SetItem(const GRID_ITEM* pItem) {
  if (!pItem || m_bVirtualMode) return FALSE;
  CGridCellBase* pCell = GetCell(pItem->row, pItem->col);
  if (!pCell) return FALSE;

  SetModified(TRUE, pItem->row, pItem->col);
  if (pItem->mask & GRIDIF_TEXT) pCell->SetText(pItem->strText);
  if (pItem->mask & GRIDIF_PARAM) pCell->SetData(pItem->lParam);
  if (pItem->mask & GRIDIF_IMAGE) pCell->SetImage(pItem->iImage);
  if (pItem->mask & GRIDIF_STATE) SetItemState(pItem->row, pItem->col, pItem->nState);
  if (pItem->mask & GRIDIF_FORMAT) pCell->SetFormat(pItem->nFormat);
  if (pItem->mask & GRIDIF_BKCLR) pCell->SetBackClr(pItem->crBkClr);
  if (pItem->mask & GRIDIF_FGCLR) pCell->SetTextClr(pItem->crFgClr);
  if (pItem->mask & GRIDIF_FONT) pCell->SetFont(&pItem->lfFont);
  if (pItem->mask & GRIDIF_MARGIN) pCell->SetMargin(pItem->nMargin);
  return TRUE;
}

BOOL CGridCtrl::GetItem(GRID_ITEM* pItem) {
  if (!pItem) return FALSE;
  CGridCellBase* pCell = GetCell(pItem->row, pItem->col);
  if (!pCell) return FALSE;
  if (pItem->mask & GRIDIF_TEXT) pItem->strText = GetItemText(pItem->row, pItem->col);
  if (pItem->mask & GRIDIF_PARAM) pItem->lParam = pCell->GetData();
  if (pItem->mask & GRIDIF_IMAGE) pItem->iImage = pCell->GetImage();
  if (pItem->mask & GRIDIF_STATE) pItem->nState = pCell->GetState();
  if (pItem->mask & GRIDIF_FORMAT) pItem->nFormat = pCell->GetFormat();
  if (pItem->mask & GRIDIF_BKCLR) pItem->crBkClr = pCell->GetBackClr();
  if (pItem->mask & GRIDIF_FGCLR) pItem->crFgClr = pCell->GetTextClr();
  if ((pItem->mask & GRIDIF_FONT) && pCell->GetFont()) pItem->lfFont = *pCell->GetFont();
  if (pItem->mask & GRIDIF_MARGIN) pItem->nMargin = pCell->GetMargin();
  return TRUE;
}

BOOL CGridCtrl::SetItemText(int nRow, int nCol, LPCTSTR str) {
  if (m_bVirtualMode) return FALSE;
  CGridCellBase* pCell = GetCell(nRow, nCol);
  if (!pCell) return FALSE;
  pCell->SetText(str);
  SetModified(TRUE, nRow, nCol);
  return TRUE;
}

CString CGridCtrl::GetItemText(int nRow, int nCol) const {
  CGridCellBase* pCell = GetCell(nRow, nCol);
  return pCell ? CString(pCell->GetText()) : CString();
}

BOOL CGridCtrl::SetItemData(int nRow, int nCol, LPARAM lParam) {
  if (m_bVirtualMode) return FALSE;
  CGridCellBase* pCell = GetCell(nRow, nCol);
  if (!pCell) return FALSE;
  pCell->SetData(lParam);
  SetModified(TRUE, nRow, nCol);
  return TRUE;
}

LPARAM CGridCtrl::GetItemData(int nRow, int nCol) const {
  CGridCellBase* pCell = GetCell(nRow, nCol);
  return pCell ? pCell->GetData() : 0;
}

BOOL CGridCtrl::SetItemImage(int nRow, int nCol, int iImage) {
  if (m_bVirtualMode) return FALSE;
  CGridCellBase* pCell = GetCell(nRow, nCol);
  if (!pCell) return FALSE;
  pCell->SetImage(iImage);
  SetModified(TRUE, nRow, nCol);
  return TRUE;
}

int CGridCtrl::GetItemImage(int nRow, int nCol) const {
  CGridCellBase* pCell = GetCell(nRow, nCol);
  return pCell ? pCell->GetImage() : -1;
}

BOOL CGridCtrl::SetItemState(int nRow, int nCol, UINT state) {
  const CGridCellId cell(nRow, nCol);
  // A position without a cell (one that could not be made) is never selected.
  if (!m_bVirtualMode && !GetCell(nRow, nCol)) return FALSE;
  const BOOL bWasSelected = IsCellSelected(nRow, nCol);
  if (bWasSelected && !(state & GRIDIS_SELECTED))
    m_SelectedCellMap.Remove(cell);
  else if (!bWasSelected && (state & GRIDIS_SELECTED))
    m_SelectedCellMap.Add(cell);

  if (m_bVirtualMode) return FALSE;
  CGridCellBase* pCell = GetCell(nRow, nCol);
  if (!pCell) return FALSE;
  pCell->SetState(state);
  return TRUE;
}

UINT CGridCtrl::GetItemState(int nRow, int nCol) const {
  CGridCellBase* pCell = GetCell(nRow, nCol);
  return pCell ? pCell->GetState() : 0;
}

BOOL CGridCtrl::SetItemFormat(int nRow, int nCol, UINT nFormat) {
  if (m_bVirtualMode) return FALSE;
  CGridCellBase* pCell = GetCell(nRow, nCol);
  if (!pCell) return FALSE;
  pCell->SetFormat(nFormat);
  return TRUE;
}

UINT CGridCtrl::GetItemFormat(int nRow, int nCol) const {
  CGridCellBase* pCell = GetCell(nRow, nCol);
  return pCell ? pCell->GetFormat() : 0;
}

BOOL CGridCtrl::SetItemBkColour(int nRow, int nCol, COLORREF cr) {
  if (m_bVirtualMode) return FALSE;
  CGridCellBase* pCell = GetCell(nRow, nCol);
  if (!pCell) return FALSE;
  pCell->SetBackClr(cr);
  return TRUE;
}

COLORREF CGridCtrl::GetItemBkColour(int nRow, int nCol) const {
  CGridCellBase* pCell = GetCell(nRow, nCol);
  return pCell ? pCell->GetBackClr() : 0;
}

BOOL CGridCtrl::SetItemFgColour(int nRow, int nCol, COLORREF cr) {
  if (m_bVirtualMode) return FALSE;
  CGridCellBase* pCell = GetCell(nRow, nCol);
  if (!pCell) return FALSE;
  pCell->SetTextClr(cr);
  return TRUE;
}

COLORREF CGridCtrl::GetItemFgColour(int nRow, int nCol) const {
  CGridCellBase* pCell = GetCell(nRow, nCol);
  return pCell ? pCell->GetTextClr() : 0;
}

BOOL CGridCtrl::SetItemFont(int nRow, int nCol, const LOGFONTW* plf) {
  if (m_bVirtualMode) return FALSE;
  CGridCellBase* pCell = GetCell(nRow, nCol);
  if (!pCell) return FALSE;
  pCell->SetFont(plf ? plf : pCell->GetDefaultCell()->GetFont());
  return TRUE;
}

const LOGFONTW* CGridCtrl::GetItemFont(int nRow, int nCol) {
  CGridCellBase* pCell = GetCell(nRow, nCol);
  return pCell ? pCell->GetFont() : m_cellDefault.GetFont();
}

BOOL CGridCtrl::IsItemEditing(int nRow, int nCol) {
  CGridCellBase* pCell = GetCell(nRow, nCol);
  return pCell ? pCell->IsEditing() : FALSE;
}

BOOL CGridCtrl::IsCellEditable(int nRow, int nCol) const {
  return IsEditable() && (GetItemState(nRow, nCol) & GRIDIS_READONLY) == 0;
}

BOOL CGridCtrl::IsCellSelected(int nRow, int nCol) const {
  if (!IsSelectable()) return FALSE;
  if (m_bVirtualMode) return m_SelectedCellMap.Contains(CGridCellId(nRow, nCol));
  CGridCellBase* pCell = GetCell(nRow, nCol);
  return pCell ? pCell->IsSelected() : FALSE;
}

// ---------------------------------------------------------------------------------------
// Modified marks

BOOL CGridCtrl::IsModified(int nRow, int nCol) {
  if (nRow >= 0 && nCol >= 0) return (GetItemState(nRow, nCol) & GRIDIS_MODIFIED) != 0;
  return m_bModified;
}

void CGridCtrl::SetModified(BOOL bModified, int nRow, int nCol) {
  // An edit of the sorted column (or of the whole grid) means the order no longer holds.
  if (nCol < 0 || nCol == GetSortColumn()) SetSortColumn(-1);

  if (nRow < 0 || nCol < 0) {
    m_bModified = bModified;
  } else if (bModified) {
    SetItemState(nRow, nCol, GetItemState(nRow, nCol) | GRIDIS_MODIFIED);
    m_bModified = TRUE;
  } else {
    SetItemState(nRow, nCol, GetItemState(nRow, nCol) & ~GRIDIS_MODIFIED);
  }

  if (!m_bModified) {
    for (int row = 0; row < GetRowCount(); row++)
      for (int col = 0; col < GetColumnCount(); col++)
        SetItemState(row, col, GetItemState(row, col) & ~GRIDIS_MODIFIED);
  }
}

// ---------------------------------------------------------------------------------------
// Fonts and system colours

void CGridCtrl::ApplyFontToDefaultCells(const LOGFONTW& lf) {
  for (CGridDefaultCell* pCell : {&m_cellDefault, &m_cellFixedColDef, &m_cellFixedRowDef, &m_cellFixedRowColDef})
    pCell->SetFont(&lf);
}

LRESULT CGridCtrl::OnSetFont(WPARAM hFont, LPARAM /*lParam*/) {
  LRESULT result = Default();
  LOGFONTW lf{};
  if (hFont && ::GetObjectW(reinterpret_cast<HFONT>(hFont), sizeof(lf), &lf)) {
    ApplyFontToDefaultCells(lf);
    Refresh();
  }
  return result;
}

LRESULT CGridCtrl::OnGetFont(WPARAM /*wParam*/, LPARAM /*lParam*/) {
  CFont* pFont = m_cellDefault.GetFontObject();
  return reinterpret_cast<LRESULT>(pFont ? static_cast<HFONT>(*pFont) : nullptr);
}

void CGridCtrl::OnSysColorChange() {
  CWnd::OnSysColorChange();
  const COLORREF newText = ::GetSysColor(COLOR_WINDOWTEXT), newWindow = ::GetSysColor(COLOR_WINDOW);
  for (CGridDefaultCell* pCell : {&m_cellDefault, &m_cellFixedColDef, &m_cellFixedRowDef, &m_cellFixedRowColDef}) {
    if (pCell->GetTextClr() == m_crWindowText) pCell->SetTextClr(newText);
    if (pCell->GetBackClr() == m_crWindowColour) pCell->SetBackClr(newWindow);
  }
  if (GetBackgroundColour() == m_crShadow) SetBackgroundColour(::GetSysColor(COLOR_BTNSHADOW));
  m_crWindowText = newText;
  m_crWindowColour = newWindow;
  m_cr3DFace = ::GetSysColor(COLOR_BTNFACE);
  m_crShadow = ::GetSysColor(COLOR_BTNSHADOW);
}

// ---------------------------------------------------------------------------------------
// Notifications

CWnd* CGridCtrl::GetNotifyTarget() const {
  if (!GetSafeHwnd()) return nullptr;
  HWND hTarget = ::GetWindow(m_hWnd, GW_OWNER);
  if (!hTarget) hTarget = ::GetParent(m_hWnd);
  return hTarget && ::IsWindow(hTarget) ? CWnd::FromHandle(hTarget) : nullptr;
}

LRESULT CGridCtrl::SendMessageToParent(int nRow, int nCol, int nMessage) const {
  CWnd* pTarget = GetNotifyTarget();
  if (!pTarget) return 0;
  NM_GRIDVIEW nmgv;
  nmgv.iRow = nRow;
  nmgv.iColumn = nCol;
  nmgv.hdr.hwndFrom = m_hWnd;
  nmgv.hdr.idFrom = GetDlgCtrlID();
  nmgv.hdr.code = nMessage;
  return pTarget->SendMessage(WM_NOTIFY, nmgv.hdr.idFrom, reinterpret_cast<LPARAM>(&nmgv));
}

LRESULT CGridCtrl::SendDisplayRequestToParent(GRID_DISPINFO* pDisplayInfo) const {
  CWnd* pTarget = GetNotifyTarget();
  if (!pTarget) return 0;
  pDisplayInfo->hdr.hwndFrom = m_hWnd;
  pDisplayInfo->hdr.idFrom = GetDlgCtrlID();
  pDisplayInfo->hdr.code = GRIDN_GETDISPINFO;
  return pTarget->SendMessage(WM_NOTIFY, pDisplayInfo->hdr.idFrom, reinterpret_cast<LPARAM>(pDisplayInfo));
}

LRESULT CGridCtrl::SendCacheHintToParent(const CGridCellRange& range) const {
  CWnd* pTarget = GetNotifyTarget();
  if (!pTarget) return 0;
  GRID_CACHEHINT hint;
  hint.range = range;
  hint.hdr.hwndFrom = m_hWnd;
  hint.hdr.idFrom = GetDlgCtrlID();
  hint.hdr.code = GRIDN_ODCACHEHINT;
  return pTarget->SendMessage(WM_NOTIFY, hint.hdr.idFrom, reinterpret_cast<LPARAM>(&hint));
}

// ---------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CGridCtrl, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SIZE()
  ON_WM_HSCROLL()
  ON_WM_VSCROLL()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_RBUTTONUP()
  ON_WM_SETCURSOR()
  ON_WM_TIMER()
  ON_WM_CAPTURECHANGED()
  ON_WM_MOUSEWHEEL()
  ON_WM_KEYDOWN()
  ON_WM_SYSKEYDOWN()
  ON_WM_CHAR()
  ON_WM_GETDLGCODE()
  ON_WM_SYSCOLORCHANGE()
  ON_MESSAGE(WM_IME_CHAR, OnImeChar)
  ON_MESSAGE(WM_SETFONT, OnSetFont)
  ON_MESSAGE(WM_GETFONT, OnGetFont)
  ON_NOTIFY(GRIDN_ENDLABELEDIT, IDC_GRID_INPLACE_EDIT, OnEndInPlaceEdit)
  ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
  ON_COMMAND(ID_EDIT_CUT, OnEditCut)
  ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
  ON_COMMAND(ID_EDIT_SELECT_ALL, OnEditSelectAll)
  ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateEditCopy)
  ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateEditCut)
  ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdateEditPaste)
  ON_UPDATE_COMMAND_UI(ID_EDIT_SELECT_ALL, OnUpdateEditSelectAll)
END_MESSAGE_MAP()
