// The ordinary grid cell and the default cells.
#include "GridCell.h"

#include <cstddef>

#include "GridCtrl.h"
#include "GridInPlaceEdit.h"

IMPLEMENT_DYNCREATE(CGridCell, CGridCellBase)
IMPLEMENT_DYNCREATE(CGridDefaultCell, CGridCell)

CGridCell::CGridCell() { ResetCell(); }

CGridCell::~CGridCell() = default;

void CGridCell::ResetCell() {
  CGridCellBase::Reset();
  m_strText.Empty();
  m_nImage = -1;
  m_nFormat = 0xFFFFFFFF;
  m_nMargin = 0xFFFFFFFF;
  m_lParam = 0;
  m_pGrid = nullptr;
  m_bEditing = FALSE;
  m_pEditWnd = nullptr;
  m_crFgClr = CLR_DEFAULT;
  m_crBkClr = CLR_DEFAULT;
  m_plfFont.reset();
}

void CGridCell::Reset() { ResetCell(); }

void CGridCell::SetFont(const LOGFONTW* plf) {
  if (!plf) {
    m_plfFont.reset();
    return;
  }
  if (!m_plfFont) m_plfFont = std::make_unique<LOGFONTW>();
  *m_plfFont = *plf;
}

DWORD CGridCell::GetFormat() const {
  if (m_nFormat != 0xFFFFFFFF) return m_nFormat;
  CGridCellBase* pDefault = GetDefaultCell();
  return pDefault ? pDefault->GetFormat() : 0;
}

UINT CGridCell::GetMargin() const {
  if (m_nMargin != 0xFFFFFFFF) return m_nMargin;
  CGridCellBase* pDefault = GetDefaultCell();
  return pDefault ? pDefault->GetMargin() : 0;
}

const LOGFONTW* CGridCell::GetFont() const {
  if (m_plfFont) return m_plfFont.get();
  CGridCellBase* pDefault = GetDefaultCell();
  return pDefault ? pDefault->GetFont() : nullptr;
}

CFont* CGridCell::GetFontObject() const {
  if (m_plfFont) {
    // Cells with a font of their own share one font object, made afresh for each call:
    // the result is good until the next call for any cell, which is all drawing needs.
    static CFont s_font;
    s_font.DeleteObject();
    s_font.CreateFontIndirect(m_plfFont.get());
    return &s_font;
  }
  CGridCellBase* pDefault = GetDefaultCell();
  return pDefault ? pDefault->GetFontObject() : nullptr;
}

BOOL CGridCell::Edit(int nRow, int nCol, CRect rect, CPoint /*point*/, UINT nID, UINT nChar) {
  if (m_bEditing && m_pEditWnd) {
    m_pEditWnd->SendMessage(WM_CHAR, nChar);
    return TRUE;
  }
  const DWORD nFormat = GetFormat();
  DWORD dwStyle = ES_LEFT;
  if (nFormat & DT_RIGHT)
    dwStyle = ES_RIGHT;
  else if (nFormat & DT_CENTER)
    dwStyle = ES_CENTER;

  m_bEditing = TRUE;
  m_pEditWnd = CGridInPlaceEdit::Open(m_pGrid, rect, dwStyle, nID, nRow, nCol, GetText(), nChar);
  if (!m_pEditWnd) {
    // No edit window could be made: the cell must not stay marked as being edited.
    m_bEditing = FALSE;
    return FALSE;
  }
  return TRUE;
}

void CGridCell::EndEdit() {
  if (m_pEditWnd) static_cast<CGridInPlaceEdit*>(m_pEditWnd)->EndEdit();
}

void CGridCell::OnEndEdit() {
  m_bEditing = FALSE;
  m_pEditWnd = nullptr;
}

// ---------------------------------------------------------------------------------------

CGridDefaultCell::CGridDefaultCell() : m_Size(30, 10), m_dwStyle(0) {
  m_nFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
  m_crFgClr = CLR_DEFAULT;
  m_crBkClr = CLR_DEFAULT;

  NONCLIENTMETRICSW ncm{};
  // The size without the padded-border field, which every system version accepts.
  ncm.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, ncm.cbSize, &ncm, 0)) SetFont(&ncm.lfMessageFont);
}

void CGridDefaultCell::SetFont(const LOGFONTW* plf) {
  if (!plf) return;
  m_Font.DeleteObject();
  m_Font.CreateFontIndirect(plf);
  CGridCell::SetFont(plf);

  // The default size fits a dozen wide characters with a space either side, one and a
  // half lines high; the margin is one space.
  CClientDC screen(nullptr);
  if (screen.GetSafeHdc()) {
    CFont* pOldFont = screen.SelectObject(&m_Font);
    m_nMargin = static_cast<UINT>(screen.GetTextExtent(L" ", 1).cx);
    m_Size = screen.GetTextExtent(L" XXXXXXXXXXXX ", 14);
    screen.SelectObject(pOldFont);
    m_Size.cy = m_Size.cy * 3 / 2;
  } else {
    m_nMargin = 3;
    m_Size = CSize(40, 16);
  }
}

CFont* CGridDefaultCell::GetFontObject() const {
  return m_Font.GetSafeHandle() ? &m_Font : nullptr;
}
