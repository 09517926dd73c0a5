// Drawing, measuring and printing shared by every kind of grid cell.
#include "GridCellBase.h"

#include "GridCell.h"
#include "GridCtrl.h"

IMPLEMENT_DYNAMIC(CGridCellBase, CObject)

namespace {

// Saves a DC's state on construction and puts it back on every way out of a drawing
// routine, so that a cell never leaves its colours, font or pens behind in the caller's DC.
class CSavedDCState {
 public:
  explicit CSavedDCState(CDC* pDC) : m_pDC(pDC), m_nSaved(pDC->SaveDC()) {}
  ~CSavedDCState() {
    if (m_nSaved) m_pDC->RestoreDC(m_nSaved);
  }
  CSavedDCState(const CSavedDCState&) = delete;
  CSavedDCState& operator=(const CSavedDCState&) = delete;

 private:
  CDC* m_pDC;
  int m_nSaved;
};

void FillWithColour(CDC* pDC, const CRect& rect, COLORREF clr) {
  CBrush brush;
  // A brush that cannot be made leaves the background as it is; drawing goes on.
  if (brush.CreateSolidBrush(clr)) pDC->FillRect(&rect, &brush);
}

// Cells draw tabs and the stray U+0081 control as spaces; the text itself keeps them.
CString DisplayText(LPCTSTR szText) {
  CString text(szText ? szText : L"");
  text.Replace(L'\t', L' ');
  text.Replace(static_cast<WCHAR>(0x81), L' ');
  return text;
}

BOOL IsVerticalFont(const LOGFONTW* plf) { return plf && plf->lfEscapement == 900; }

// The two-tone edge of a fixed cell: light along the top and left, dark along the right
// and bottom. Leaves the pen as it found it.
void DrawFixedCellEdge(CDC* pDC, const CRect& rect) {
  CPen lightPen(PS_SOLID, 1, ::GetSysColor(COLOR_3DHIGHLIGHT));
  CPen darkPen(PS_SOLID, 1, ::GetSysColor(COLOR_3DDKSHADOW));
  CPen* pOldPen = pDC->SelectObject(&lightPen);
  pDC->MoveTo(rect.right, rect.top);
  pDC->LineTo(rect.left, rect.top);
  pDC->LineTo(rect.left, rect.bottom);
  pDC->SelectObject(&darkPen);
  pDC->MoveTo(rect.right, rect.top);
  pDC->LineTo(rect.right, rect.bottom);
  pDC->LineTo(rect.left, rect.bottom);
  pDC->SelectObject(pOldPen);
}

}  // namespace

CGridCellBase* CGridCellBase::GetDefaultCell() const {
  CGridCtrl* pGrid = GetGrid();
  if (!pGrid) return nullptr;
  return pGrid->GetDefaultCell(IsFixedRow(), IsFixedCol());
}

CGridCellBase& CGridCellBase::operator=(const CGridCellBase& cell) {
  if (this == &cell) return *this;
  SetGrid(cell.GetGrid());
  SetText(cell.GetText());
  SetImage(cell.GetImage());
  SetData(cell.GetData());
  SetState(cell.GetState());
  SetFormat(cell.GetFormat());
  SetTextClr(cell.GetTextClr());
  SetBackClr(cell.GetBackClr());
  SetFont(cell.IsDefaultFont() ? nullptr : cell.GetFont());
  SetMargin(cell.GetMargin());
  return *this;
}

BOOL CGridCellBase::GetImageSize(CSize& size) const {
  CGridCtrl* pGrid = GetGrid();
  int nImage = GetImage();
  if (!pGrid || nImage < 0) return FALSE;
  CImageList* pList = pGrid->GetImageList();
  IMAGEINFO info{};
  if (!pList || !pList->GetSafeHandle() || !pList->GetImageInfo(nImage, &info)) return FALSE;
  size = CSize(info.rcImage.right - info.rcImage.left, info.rcImage.bottom - info.rcImage.top);
  return TRUE;
}

BOOL CGridCellBase::Draw(CDC* pDC, int nRow, int nCol, CRect rect, BOOL bEraseBkgnd) {
  CGridCtrl* pGrid = GetGrid();
  if (!pGrid || !pDC || rect.Width() <= 0 || rect.Height() <= 0) return FALSE;

  CSavedDCState saved(pDC);
  pDC->SetBkMode(TRANSPARENT);

  CGridCellBase* pDefaultCell = GetDefaultCell();
  if (!pDefaultCell) return FALSE;

  COLORREF textClr = GetTextClr() == CLR_DEFAULT ? pDefaultCell->GetTextClr() : GetTextClr();
  COLORREF backClr;
  if (GetBackClr() == CLR_DEFAULT) {
    backClr = pDefaultCell->GetBackClr();
  } else {
    backClr = GetBackClr();
    bEraseBkgnd = TRUE;
  }

  const int nGridLines = pGrid->GetGridLines();
  if (IsFocused() || IsDropHighlighted()) {
    if (IsSelected()) {
      backClr = ::GetSysColor(COLOR_HIGHLIGHT);
      textClr = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
      bEraseBkgnd = TRUE;
    }
    rect.right++;
    rect.bottom++;
    if (bEraseBkgnd) FillWithColour(pDC, rect, backClr);
    if (nGridLines != GRIDLINES_NONE) {
      rect.right--;
      rect.bottom--;
    }
    if (pGrid->GetFrameFocusCell()) {
      CBrush frameBrush;
      if (frameBrush.CreateSolidBrush(textClr)) pDC->FrameRect(&rect, &frameBrush);
    }
    pDC->SetTextColor(textClr);
    if (nGridLines == GRIDLINES_NONE) {
      rect.right--;
      rect.bottom--;
    }
  } else if (IsSelected()) {
    CRect fill(rect.left, rect.top, rect.right + 1, rect.bottom + 1);
    FillWithColour(pDC, fill, ::GetSysColor(COLOR_HIGHLIGHT));
    pDC->SetTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else {
    if (bEraseBkgnd) FillWithColour(pDC, CRect(rect.left, rect.top, rect.right + 1, rect.bottom + 1), backClr);
    pDC->SetTextColor(textClr);
  }

  if (IsFixed() && nGridLines != GRIDLINES_NONE) {
    CGridCellId focus = pGrid->GetFocusCell();
    if (pGrid->GetTrackFocusCell() && pGrid->IsValid(focus) &&
        (focus.row == nRow || focus.col == nCol)) {
      CRect edge(rect.left, rect.top, rect.right + 1, rect.bottom + 1);
      pDC->DrawEdge(&edge, BDR_SUNKENINNER, BF_RECT);
    } else {
      DrawFixedCellEdge(pDC, rect);
    }
    rect.DeflateRect(1, 1);
  }

  if (!pDC->IsPrinting()) {
    if (CFont* pFont = GetFontObject()) pDC->SelectObject(pFont);
  }

  const int nMargin = static_cast<int>(GetMargin());
  rect.DeflateRect(nMargin, nMargin);
  rect.right++;
  rect.bottom++;

  CSize imageSize;
  if (GetImageSize(imageSize) && rect.left + imageSize.cx <= rect.right) {
    pGrid->GetImageList()->Draw(pDC, GetImage(), rect.TopLeft(), ILD_NORMAL);
  }

  if (nRow == 0 && nCol == pGrid->GetSortColumn()) {
    const BOOL bVertical = IsVerticalFont(GetFont());
    int nSize = pDC->GetTextExtent(L"M", 1).cy - 4;
    if (nSize >= rect.Height()) nSize = rect.Height() - 4;
    if (rect.left + nSize < rect.right) {
      DrawSortMark(pDC, rect, pGrid->GetSortAscending(), bVertical);
      if (!bVertical) rect.right -= nSize;
    }
  }

  GetTextRect(&rect);
  rect.right++;
  rect.bottom++;
  CString text = DisplayText(GetText());
  pDC->DrawText(text, &rect, GetFormat() | DT_NOPREFIX);
  return TRUE;
}

// The triangle of the sort column's header: pointing up for an ascending sort, down for a
// descending one, drawn as a light outline offset by a pixel from a dark one.
void CGridCellBase::DrawSortMark(CDC* pDC, const CRect& rect, BOOL bAscending, BOOL bVertical) {
  int s = pDC->GetTextExtent(L"M", 1).cy - 4;
  if (s >= rect.Height()) s = rect.Height() - 4;
  const int base = rect.bottom - s - 2;
  const int x = bVertical ? (rect.right - s + rect.left) / 2 : rect.right - s;

  CPen shadowPen(PS_SOLID, 0, ::GetSysColor(COLOR_BTNSHADOW));
  CPen lightPen(PS_SOLID, 0, ::GetSysColor(COLOR_BTNHIGHLIGHT));
  CPen* pOldPen = pDC->SelectObject(&lightPen);
  if (bAscending) {
    pDC->MoveTo(x + 1, base + s + 1);
    pDC->LineTo(x + s / 2 + 1, base + 1);
    pDC->LineTo(x + s + 1, base + s + 1);
    pDC->LineTo(x + 1, base + s + 1);
    pDC->SelectObject(&shadowPen);
    pDC->MoveTo(x, base + s);
    pDC->LineTo(x + s / 2, base);
    pDC->LineTo(x + s, base + s);
    pDC->LineTo(x, base + s);
  } else {
    pDC->MoveTo(x + 1, base + 1);
    pDC->LineTo(x + s / 2 + 1, base + s + 1);
    pDC->LineTo(x + s + 1, base + 1);
    pDC->LineTo(x + 1, base + 1);
    pDC->SelectObject(&shadowPen);
    pDC->MoveTo(x, base);
    pDC->LineTo(x + s / 2, base + s);
    pDC->LineTo(x + s, base);
    pDC->LineTo(x, base);
  }
  pDC->SelectObject(pOldPen);
}

BOOL CGridCellBase::GetTextRect(LPRECT pRect) {
  CSize imageSize;
  if (GetImageSize(imageSize)) pRect->left += static_cast<int>(GetMargin()) + imageSize.cx + 1;
  return TRUE;
}

CSize CGridCellBase::GetTextExtent(LPCTSTR szText, CDC* pDC) {
  CGridCtrl* pGrid = GetGrid();
  auto* pDefault = static_cast<CGridDefaultCell*>(GetDefaultCell());
  const CSize defaultSize = pDefault ? CSize(pDefault->GetWidth(), pDefault->GetHeight()) : CSize(0, 0);
  if (!szText) return defaultSize;

  std::unique_ptr<CClientDC> ownDC;
  if (!pDC) {
    if (!pGrid || !pGrid->GetSafeHwnd()) return defaultSize;
    ownDC = std::make_unique<CClientDC>(pGrid);
    if (!ownDC->GetSafeHdc()) return defaultSize;
    pDC = ownDC.get();
  }

  CFont* pOldFont = nullptr;
  if (CFont* pFont = GetFontObject()) pOldFont = pDC->SelectObject(pFont);

  CSize size;
  const DWORD nFormat = GetFormat();
  if (!(nFormat & DT_WORDBREAK) || (nFormat & DT_SINGLELINE)) {
    size = pDC->GetTextExtent(szText, static_cast<int>(wcslen(szText)));
  } else {
    // Word-wrapped text: lay it out as wide as its widest line.
    int nWidest = 0;
    CString text(szText);
    int nStart = 0;
    while (nStart <= text.GetLength()) {
      int nEnd = text.Find(L'\n', nStart);
      if (nEnd < 0) nEnd = text.GetLength();
      CString line = text.Mid(nStart, nEnd - nStart);
      nWidest = std::max<int>(nWidest, pDC->GetTextExtent(line).cx);
      nStart = nEnd + 1;
    }
    CRect rect(0, 0, nWidest + 1, 0);
    pDC->DrawText(text, &rect, nFormat | DT_CALCRECT);
    size = CSize(rect.Width(), rect.Height());
  }
  if (pOldFont) pDC->SelectObject(pOldFont);

  const int nMargin = static_cast<int>(GetMargin());
  size.cx += 2 * nMargin;
  size.cy += 2 * nMargin;

  const LOGFONTW* plf = GetFont();
  if (plf && (plf->lfEscapement == 900 || plf->lfEscapement == -900)) {
    const int cx = size.cx;
    size.cx = size.cy;
    size.cy = cx + 4 * nMargin;
  }
  return size;
}

CSize CGridCellBase::GetCellExtent(CDC* pDC) {
  CSize textSize = GetTextExtent(GetText(), pDC);
  const int nMargin = static_cast<int>(GetMargin());
  CSize imageSize(0, 0);
  if (GetImageSize(imageSize)) {
    if (textSize.cx > 2 * nMargin) imageSize.cx += nMargin;
    imageSize.cy += 2 * nMargin;
  }
  CSize size(textSize.cx + imageSize.cx + 1, std::max(textSize.cy, imageSize.cy) + 1);
  if (IsFixed()) {
    size.cx++;
    size.cy++;
  }
  return size;
}

BOOL CGridCellBase::Edit(int, int, CRect, CPoint, UINT, UINT) { return FALSE; }

BOOL CGridCellBase::OnSetCursor() {
  ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
  return TRUE;
}

BOOL CGridCellBase::PrintCell(CDC* pDC, int /*nRow*/, int /*nCol*/, CRect rect) {
  CGridCtrl* pGrid = GetGrid();
  if (!pGrid || !pDC || rect.Width() <= 0 || rect.Height() <= 0) return FALSE;

  CSavedDCState saved(pDC);
  pDC->SetBkMode(TRANSPARENT);

  if (pGrid->GetShadedPrintOut()) {
    CGridCellBase* pDefaultCell = GetDefaultCell();
    if (!pDefaultCell) return FALSE;
    COLORREF backClr = CLR_DEFAULT;
    if (IsFixed()) {
      backClr = GetBackClr() == CLR_DEFAULT ? pDefaultCell->GetBackClr() : GetBackClr();
    } else if (GetBackClr() != CLR_DEFAULT && GetBackClr() != pDefaultCell->GetBackClr()) {
      backClr = GetBackClr();
    }
    COLORREF textClr = GetBackClr() == CLR_DEFAULT ? pDefaultCell->GetTextClr() : GetTextClr();
    if (backClr == CLR_DEFAULT) {
      // Two-colour printers show colours as black; grey the text the way luminance does.
      if (pDC->GetDeviceCaps(NUMCOLORS) == 2) {
        textClr = RGB(static_cast<int>(GetRValue(textClr) * 0.30),
                      static_cast<int>(GetGValue(textClr) * 0.59),
                      static_cast<int>(GetBValue(textClr) * 0.11));
      }
    } else {
      FillWithColour(pDC, CRect(rect.left, rect.top, rect.right + 1, rect.bottom + 1), backClr);
    }
    pDC->SetTextColor(textClr);
  } else {
    pDC->SetTextColor(RGB(0, 0, 0));
  }

  if (IsFixed() && pGrid->GetGridLines() != GRIDLINES_NONE) {
    DrawFixedCellEdge(pDC, rect);
    rect.DeflateRect(1, 1);
  }

  const int nMargin = static_cast<int>(GetMargin());
  rect.DeflateRect(nMargin, 0);

  CSize imageSize;
  if (GetImageSize(imageSize)) {
    pGrid->GetImageList()->Draw(pDC, GetImage(), rect.TopLeft(), ILD_NORMAL);
    rect.left += imageSize.cx + nMargin;
  }
  CString text(GetText());
  pDC->DrawText(text, &rect, GetFormat() | DT_NOPREFIX);
  return TRUE;
}
