// Printing the grid: pages of rows (and, at screen proportions, of columns), each repeating
// the header, the fixed rows and the fixed columns, and ending with a footer.
//
// A page, top to bottom, in lines of the print font: the header (its first lines are the top
// margin, then the titles, then a rule), a gap, the fixed rows, the page's rows, a gap and
// the footer (a rule, the page number and the date, then the bottom margin). Left and right
// margins are characters of the print font.
#include "GridCtrl.h"

#include <algorithm>

namespace {

// Upper and lower case letters, whose mean width stands for a character of the font.
constexpr wchar_t kMeasureText[] = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ";
constexpr int kMeasureChars = 52;

// From nFirst on, the last index whose running size still fits in nRoom; hidden ones (size
// 0) come along. At least nFirst itself, so that a row taller than a page still gets one
// and paging always moves on.
template <typename SizeFn>
int LastOnPage(int nFirst, int nCount, int nRoom, SizeFn size) {
  int nUsed = 0, nLast = nFirst;
  for (int i = nFirst; i < nCount; i++) {
    nUsed += size(i);
    if (nUsed > nRoom && i > nFirst) break;
    nLast = i;
  }
  return nLast;
}

// How many pages the indexes nFirst..nCount-1 fill; one page even when there are none.
template <typename SizeFn>
int CountPages(int nFirst, int nCount, int nRoom, SizeFn size) {
  int nPages = 0;
  for (int i = nFirst; i < nCount; i = LastOnPage(i, nCount, nRoom, size) + 1) nPages++;
  return std::max(nPages, 1);
}

// The first index on page nPage (from 0).
template <typename SizeFn>
int FirstOnPage(int nPage, int nFirst, int nCount, int nRoom, SizeFn size) {
  int i = nFirst;
  for (; nPage > 0 && i < nCount; nPage--) i = LastOnPage(i, nCount, nRoom, size) + 1;
  return i;
}

// The header's and footer's look: the print font in bold, black text on a transparent
// background, and a black rule from margin to margin at nRuleY. Texts are single lines in
// band, the first with its own alignment, the second right-aligned.
void PrintTitleBand(CDC* pDC, CFont& printFont, const CRect& band, int nRuleY, const CString& first,
                    UINT nFirstAlign, const CString& second) {
  LOGFONTW lf{};
  printFont.GetLogFont(&lf);
  lf.lfWeight = FW_BOLD;
  CFont boldFont;
  if (!boldFont.CreateFontIndirect(&lf)) return;

  const int nSaved = pDC->SaveDC();
  pDC->SelectObject(&boldFont);
  pDC->SetBkMode(TRANSPARENT);
  pDC->SetTextColor(RGB(0, 0, 0));
  CRect rect(band);
  pDC->DrawText(first, &rect, nFirstAlign | DT_SINGLELINE | DT_NOPREFIX);
  rect = band;
  pDC->DrawText(second, &rect, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);

  // A pen one logical unit wide scales with the page, so the rule stays visible on
  // printers of any resolution.
  CPen rulePen(PS_SOLID, 1, RGB(0, 0, 0));
  pDC->SelectObject(&rulePen);
  pDC->MoveTo(band.left, nRuleY);
  pDC->LineTo(band.right, nRuleY);
  pDC->RestoreDC(nSaved);
}

}  // namespace

void CGridCtrl::SetPrintLayout(int nHeaderLines, int nFooterLines, int nLeftMargin, int nRightMargin,
                               int nTopMargin, int nBottomMargin, int nGap) {
  m_nHeaderHeight = nHeaderLines;
  m_nFooterHeight = nFooterLines;
  m_nLeftMargin = nLeftMargin;
  m_nRightMargin = nRightMargin;
  m_nTopMargin = nTopMargin;
  m_nBottomMargin = nBottomMargin;
  m_nGap = nGap;
}

void CGridCtrl::OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) {
  if (!pDC || !pInfo) return;
  const CSize paper(pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES));
  if (paper.cx <= 0 || paper.cy <= 0) return;

  m_PrinterFont.DeleteObject();  // left over from a job that was never ended
  if (!m_PrinterFont.CreateFont(-10, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial"))
    return;
  CFont* pOldFont = pDC->SelectObject(&m_PrinterFont);
  m_CharSize = pDC->GetTextExtent(kMeasureText, kMeasureChars);
  m_CharSize.cx /= kMeasureChars;
  pDC->SelectObject(pOldFont);

  m_PrinterResolution = CSize(pDC->GetDeviceCaps(LOGPIXELSX), pDC->GetDeviceCaps(LOGPIXELSY));
  if (m_bWysiwygPrinting) {
    // Cells keep their screen size: the page is the paper measured in screen pixels, of
    // which three quarters fill it.
    CClientDC screen(nullptr);
    m_LogicalPageSize.cx = MulDiv(paper.cx, screen.GetDeviceCaps(LOGPIXELSX), m_PrinterResolution.cx) * 3 / 4;
    m_LogicalPageSize.cy = MulDiv(paper.cy, screen.GetDeviceCaps(LOGPIXELSY), m_PrinterResolution.cy) * 3 / 4;
  } else {
    // Every column fits across: the page is as wide as the grid and the margins, and as
    // high as the paper's shape makes it.
    m_LogicalPageSize.cx = GetVirtualWidth() + (m_nLeftMargin + m_nRightMargin) * m_CharSize.cx;
    m_LogicalPageSize.cy = MulDiv(m_LogicalPageSize.cx, paper.cy, paper.cx);
  }

  m_nPageHeight = m_LogicalPageSize.cy - (m_nHeaderHeight + m_nFooterHeight + 2 * m_nGap) * m_CharSize.cy -
                  GetFixedRowHeight();
  m_nPageWidth = PrintableWidth() - GetFixedColumnWidth();
  const int nRowPages =
      CountPages(m_nFixedRows, m_nRows, m_nPageHeight, [this](int row) { return GetRowHeight(row); });
  m_nPageMultiplier =
      m_bWysiwygPrinting ? CountPages(m_nFixedCols, m_nCols, m_nPageWidth, [this](int col) { return GetColumnWidth(col); })
                         : 1;
  pInfo->SetMaxPage(static_cast<UINT>(nRowPages * m_nPageMultiplier));
  m_nCurrPrintRow = m_nFixedRows;
  m_nCurrPrintCol = m_nFixedCols;
}

void CGridCtrl::OnPrint(CDC* pDC, CPrintInfo* pInfo) {
  if (!pDC || !pInfo || !m_PrinterFont.GetSafeHandle()) return;
  const int nPage = static_cast<int>(pInfo->m_nCurPage) - 1;
  if (nPage < 0 || nPage >= static_cast<int>(pInfo->GetMaxPage())) return;

  // Pages run across first: all the column pages of a band of rows, then the next band.
  m_nCurrPrintRow = FirstOnPage(nPage / m_nPageMultiplier, m_nFixedRows, m_nRows, m_nPageHeight,
                                [this](int row) { return GetRowHeight(row); });
  m_nCurrPrintCol = FirstOnPage(nPage % m_nPageMultiplier, m_nFixedCols, m_nCols, m_nPageWidth,
                                [this](int col) { return GetColumnWidth(col); });

  const int nSaved = pDC->SaveDC();
  pDC->SetMapMode(MM_ANISOTROPIC);
  pDC->SetWindowExt(m_LogicalPageSize);
  pDC->SetViewportExt(pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES));
  const CPoint pageOrigin(-m_nLeftMargin * m_CharSize.cx, 0);
  pDC->SetWindowOrg(pageOrigin);
  pDC->SelectObject(&m_PrinterFont);

  // Each part draws from its own top at y = 0.
  PrintHeader(pDC, pInfo);
  pDC->OffsetWindowOrg(0, -(m_nHeaderHeight + m_nGap) * m_CharSize.cy);
  PrintColumnHeadings(pDC, pInfo);
  pDC->OffsetWindowOrg(0, -GetFixedRowHeight());
  PrintRows(pDC, pInfo);
  pDC->SetWindowOrg(pageOrigin);
  PrintFooter(pDC, pInfo);
  pDC->RestoreDC(nSaved);
}

void CGridCtrl::OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) {
  if (!pDC || !pInfo) return;
  m_PrinterFont.DeleteObject();
}

void CGridCtrl::PrintRowCells(int nRow, CDC* pDC, int y) {
  const int nHeight = GetRowHeight(nRow);
  if (!pDC || nHeight <= 0) return;
  int x = 0;
  auto printCell = [&](int col) {
    const int nWidth = GetColumnWidth(col);
    if (nWidth <= 0) return;
    if (CGridCellBase* pCell = GetCell(nRow, col)) {
      pCell->SetCoords(nRow, col);
      pCell->PrintCell(pDC, nRow, col, CRect(x, y, x + nWidth - 1, y + nHeight - 1));
    }
    x += nWidth;
  };
  for (int col = 0; col < m_nFixedCols; col++) printCell(col);
  const int nLastCol = m_bWysiwygPrinting
                           ? LastOnPage(m_nCurrPrintCol, m_nCols, m_nPageWidth,
                                        [this](int col) { return GetColumnWidth(col); })
                           : m_nCols - 1;
  for (int col = m_nCurrPrintCol; col <= nLastCol && col < m_nCols; col++) printCell(col);
}

void CGridCtrl::PrintColumnHeadings(CDC* pDC, CPrintInfo* pInfo) {
  if (!pDC || !pInfo) return;
  int y = 0;
  for (int row = 0; row < m_nFixedRows; row++) {
    PrintRowCells(row, pDC, y);
    y += GetRowHeight(row);
  }
}

void CGridCtrl::PrintRows(CDC* pDC, CPrintInfo* pInfo) {
  if (!pDC || !pInfo) return;
  const int nLastRow =
      LastOnPage(m_nCurrPrintRow, m_nRows, m_nPageHeight, [this](int row) { return GetRowHeight(row); });
  int y = 0;
  for (int row = m_nCurrPrintRow; row <= nLastRow && row < m_nRows; row++) {
    PrintRowCells(row, pDC, y);
    y += GetRowHeight(row);
  }
}

void CGridCtrl::PrintHeader(CDC* pDC, CPrintInfo* pInfo) {
  if (!pDC || !pInfo) return;
  // The grid itself has no title: the nearest window above it that has one names the page.
  CString title;
  for (CWnd* pWnd = GetParent(); pWnd && title.IsEmpty(); pWnd = pWnd->GetParent()) pWnd->GetWindowText(title);

  const int nTop = std::max(0, std::min(m_nTopMargin, m_nHeaderHeight - 1)) * m_CharSize.cy;
  const int nBottom = m_nHeaderHeight * m_CharSize.cy;
  PrintTitleBand(pDC, m_PrinterFont, CRect(0, nTop, PrintableWidth(), nBottom), nBottom, title, DT_CENTER,
                 AfxGetAppName());
}

void CGridCtrl::PrintFooter(CDC* pDC, CPrintInfo* pInfo) {
  if (!pDC || !pInfo) return;
  const int nTop = m_LogicalPageSize.cy - m_nFooterHeight * m_CharSize.cy;
  const int nBottom = m_LogicalPageSize.cy - std::max(0, std::min(m_nBottomMargin, m_nFooterHeight - 1)) * m_CharSize.cy;
  CString page;
  page.Format(L"Page %d of %d", static_cast<int>(pInfo->m_nCurPage), static_cast<int>(pInfo->GetMaxPage()));
  PrintTitleBand(pDC, m_PrinterFont, CRect(0, nTop, PrintableWidth(), nBottom), nTop - 1, page, DT_LEFT,
                 CTime::GetCurrentTime().Format(L"%c"));
}
