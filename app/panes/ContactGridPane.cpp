// The contact card pane.
#include "ContactGridPane.h"

#include "XTGlobalUIData.h"

namespace {
// The pane's own call from other threads to its window's thread.
const UINT UM_PANE_CALL = WM_APP + 0x121;
// The folder page is three levels above the pane.
constexpr int kLevelsUpToPage = 3;
const RECT kInitialGridRect = {0, 200, 200, 200};
constexpr DWORD kGridStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP;
constexpr int kBarWidth = 60;
}  // namespace

// One pane operation carried to the pane's thread.
struct CContactGridPane::ContactArgs {
  enum Op { kAdd, kClear } op;
  const CString* pCard;
  int nKind;
  const CString* pName;
};

BEGIN_MESSAGE_MAP(CContactGridPane, CStatic)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_LBUTTONDOWN()
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_WM_ENABLE()
  ON_NOTIFY(NM_CLICK, IDC_CONTACT_GRID, OnGridClick)
  ON_NOTIFY(NM_DBLCLK, IDC_CONTACT_GRID, OnGridIgnored)
  ON_NOTIFY(NM_RCLICK, IDC_CONTACT_GRID, OnGridIgnored)
  ON_MESSAGE(UM_PANE_CALL, OnPaneCall)
END_MESSAGE_MAP()

CContactGridPane::CContactGridPane() : m_Grid(0, 0, 0, 0) {
  // The cells take the toolkit's normal font, as the letter buttons do.
  CFont& font = XTGetGlobalUIData().font;
  if (font.GetSafeHandle() == nullptr || !font.GetLogFont(&m_lfUi)) {
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0)) m_lfUi = ncm.lfMessageFont;
  }
}

CContactGridPane::~CContactGridPane() = default;

BOOL CContactGridPane::PreCreateWindow(CREATESTRUCT& cs) {
  // The pane's own drawing must never cover the grid and the bar: a static control paints
  // its whole client area, straight to the screen when it is enabled or disabled.
  cs.style |= WS_CLIPCHILDREN;
  return CStatic::PreCreateWindow(cs);
}

int CContactGridPane::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CStatic::OnCreate(lpCreateStruct) == -1) return -1;
  ModifyStyle(0, WS_CLIPCHILDREN);
  if (!m_Grid.Create(kInitialGridRect, this, IDC_CONTACT_GRID, kGridStyle)) return -1;
  if (m_AlphaBar.Create(this)) m_AlphaBar.ShowWindow(SW_SHOW);
  ResetGrid();
  return 0;
}

void CContactGridPane::OnSize(UINT nType, int cx, int cy) {
  CStatic::OnSize(nType, cx, cy);
  if (!m_Grid.GetSafeHwnd()) return;
  if (m_AlphaBar.GetSafeHwnd()) m_AlphaBar.MoveWindow(cx - kBarWidth, 0, kBarWidth, cy);
  m_Grid.MoveWindow(0, 0, cx - kBarWidth, cy);
}

void CContactGridPane::OnLButtonDown(UINT /*nFlags*/, CPoint /*point*/) {
  // The pane itself takes no clicks; the grid and the bar handle theirs.
}

BOOL CContactGridPane::OnEraseBkgnd(CDC* /*pDC*/) {
  // The grid and the bar cover the pane completely.
  return FALSE;
}

void CContactGridPane::OnPaint() {
  // Nothing of the pane itself shows: the grid and the bar cover it.
  CPaintDC dc(this);
}

void CContactGridPane::OnEnable(BOOL /*bEnable*/) {
  // Disabled during a listing, the pane takes no input; its children keep their looks, and
  // the bar is drawn again in full once the pane is enabled.
  if (m_AlphaBar.GetSafeHwnd())
    m_AlphaBar.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void CContactGridPane::ResetGrid() {
  m_Grid.SetEditable(FALSE);
  m_Grid.SetDragAndDrop(FALSE);
  m_Grid.SetColumnCount(kColumns);
  m_Grid.SetFixedRowCount(0);
  m_Grid.SetFixedColumnCount(0);
  m_Grid.SetRowCount(2);
  for (int col = 0; col < kColumns; col++) SetupColumn(col, L"");
  m_Grid.SetBackgroundColour(kGridBack);
}

void CContactGridPane::SetupColumn(int nColumn, LPCTSTR szText) {
  GRID_ITEM item;
  item.mask = GRIDIF_TEXT | GRIDIF_FORMAT | GRIDIF_IMAGE;
  item.row = 0;
  item.col = nColumn;
  item.nFormat = kCellFormat;
  item.iImage = -1;
  item.strText = szText;
  m_Grid.SetItem(&item);
  m_Grid.SetColumnWidth(nColumn, kColumnWidth);
  m_Grid.SetRowHeight(0, kNameRowHeight);
  for (int col = 0; col < kColumns; col++) m_Grid.SetItemBkColour(0, col, kNameRowBack);
  if (CGridCellBase* pCell = m_Grid.GetCell(0, nColumn)) pCell->SetTextClr(kNameRowText);
}

void CContactGridPane::SetCellText(int nRow, int nColumn, LPCTSTR szText, int nImage) {
  GRID_ITEM item;
  item.mask = GRIDIF_TEXT | GRIDIF_FORMAT;
  item.row = nRow;
  item.col = nColumn;
  item.nFormat = kCellFormat;
  item.strText = szText;
  if (nImage >= 0) {
    item.mask |= GRIDIF_IMAGE;
    item.iImage = nImage;
  }
  m_Grid.SetItem(&item);
  m_Grid.SetItemFont(nRow, nColumn, &UiFont());
}

void CContactGridPane::AddNameRow(int nRow) {
  for (int col = 0; col < kColumns; col++) {
    SetCellText(nRow, col, L"", -1);
    m_Grid.SetItemBkColour(nRow, col, kNameRowBack);
    m_Grid.SetItemFgColour(nRow, col, kNameRowText);
  }
  m_Grid.SetRowHeight(nRow, kNameRowHeight);
}

// ---------------------------------------------------------------------------------------
// Calls from any thread

LRESULT CContactGridPane::OnPaneCall(WPARAM /*wParam*/, LPARAM lParam) {
  const auto* pArgs = reinterpret_cast<const ContactArgs*>(lParam);
  if (pArgs->op == ContactArgs::kAdd)
    AddContactHere(*pArgs->pCard, pArgs->nKind, *pArgs->pName);
  else
    ClearContactsHere();
  return 0;
}

void CContactGridPane::AddContact(int /*nReserved*/, CString strCard, int nKind, CString strName) {
  if (!GetSafeHwnd()) {
    AddContactHere(strCard, nKind, strName);
    return;
  }
  const ContactArgs args{ContactArgs::kAdd, &strCard, nKind, &strName};
  SendMessage(UM_PANE_CALL, 0, reinterpret_cast<LPARAM>(&args));
}

void CContactGridPane::ClearContacts() {
  if (!GetSafeHwnd()) {
    ClearContactsHere();
    return;
  }
  const ContactArgs args{ContactArgs::kClear, nullptr, 0, nullptr};
  SendMessage(UM_PANE_CALL, 0, reinterpret_cast<LPARAM>(&args));
}

int CContactGridPane::LastRowIndex() const { return m_Grid.GetRowCount() - 1; }

// ---------------------------------------------------------------------------------------
// The changes themselves, on the pane's thread

void CContactGridPane::ClearContactsHere() {
  m_Grid.DeleteAllItems();
  ResetGrid();
  m_nCardCounter = 0;
}

void CContactGridPane::AddContactHere(const CString& strCard, int nKind, const CString& strName) {
  const int nRows = m_Grid.GetRowCount();
  int nRow, nColumn;
  if (m_nCardCounter == kColumns) {
    // The last card row is full: a new pair of name row and card row.
    m_Grid.SetRowCount(nRows + 2);
    AddNameRow(nRows);
    nRow = nRows + 1;
    nColumn = 0;
  } else {
    nRow = nRows - 1;
    nColumn = m_nCardCounter;
  }

  if (nKind == kKindContact) {
    SetCellText(nRow, nColumn, strCard, -1);
    SetCellText(nRow - 1, nColumn, strName, kNameImage);
    for (int col = 0; col < kColumns; col++) m_Grid.SetItemBkColour(nRow, col, kCardRowBack);
    m_Grid.SetRowHeight(nRow, kCardRowHeight);
  }
  if (m_Grid.GetSafeHwnd()) m_Grid.Invalidate(TRUE);
  m_nCardCounter = nColumn + 1;
}

// ---------------------------------------------------------------------------------------
// Grid notifications

void CContactGridPane::OnGridClick(NMHDR* pNotifyStruct, LRESULT* pResult) {
  *pResult = 0;
  const auto* pItem = reinterpret_cast<const NM_GRIDVIEW*>(pNotifyStruct);
  if (pItem->iRow <= 0 || pItem->iColumn < 0) return;
  CWnd* pTarget = this;
  for (int i = 0; i < kLevelsUpToPage && pTarget; i++) pTarget = pTarget->GetParent();
  if (pTarget) pTarget->SendMessage(UM_CONTACTCHOSEN, m_Grid.GetItemData(pItem->iRow, 0), pItem->iRow);
}

void CContactGridPane::OnGridIgnored(NMHDR* /*pNotifyStruct*/, LRESULT* pResult) { *pResult = 0; }
