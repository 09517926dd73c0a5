// Dock bars: the strips along the frame's edges that hold docked toolbars in rows, take
// their share of the frame in the frame layout and arrange their bars row by row.
//
// A row is laid out in "row coordinates": x runs along the row and y across it. Vertical
// dock bars exchange x and y on the way in and out, so one procedure serves both.
#include <framework.h>

#include <algorithm>
#include <vector>

#include "XTPBarDragContext.h"
#include "XTPCommandBars.h"
#include "XTPDockBar.h"
#include "XTPPaintManager.h"
#include "XTPToolBar.h"

IMPLEMENT_DYNAMIC(CXTPDockBar, CWnd)

BEGIN_MESSAGE_MAP(CXTPDockBar, CWnd)
  ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
  ON_WM_PAINT()
  ON_MESSAGE(WM_PRINT, OnPrint)
  ON_WM_ERASEBKGND()
  ON_WM_RBUTTONDOWN()
END_MESSAGE_MAP()

namespace {
// The dock style bits kept from the creation style (alignment, borders, gripper).
const DWORD kDockStyleMask = 0x40FFFF;

// Exchanges x and y of a rectangle (row coordinates <-> vertical dock bar coordinates).
CRect Flip(const CRect& rc) { return CRect(rc.top, rc.left, rc.bottom, rc.right); }
CSize Flip(CSize sz) { return CSize(sz.cy, sz.cx); }
}  // namespace

CXTPDockBar::CXTPDockBar(CXTPCommandBars* pCommandBars) : m_dwStyle(0), m_pCommandBars(pCommandBars) {
  m_arrBars.Add(NULL);
}

CXTPDockBar::~CXTPDockBar() {
  // The bars belong to the command bars; they only forget this dock bar.
  for (int i = 0; i < m_arrBars.GetSize(); i++) {
    if (m_arrBars[i] != NULL && m_arrBars[i]->m_pDockBar == this) m_arrBars[i]->m_pDockBar = NULL;
  }
}

BOOL CXTPDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  m_dwStyle = dwStyle & kDockStyleMask;
  LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursor(NULL, IDC_ARROW));
  const DWORD dwWindowStyle = (dwStyle & ~kDockStyleMask) | WS_CLIPSIBLINGS;
  return CWnd::Create(lpszClass, NULL, dwWindowStyle, CRect(0, 0, 0, 0), pParentWnd, nID);
}

XTPBarPosition CXTPDockBar::GetPosition() const {
  if (m_dwStyle & (CBRS_ALIGN_TOP | 0x0800)) return xtpBarTop;
  if (m_dwStyle & (CBRS_ALIGN_BOTTOM | 0x0200)) return xtpBarBottom;
  if (m_dwStyle & (CBRS_ALIGN_LEFT | 0x0400)) return xtpBarLeft;
  return xtpBarRight;
}

// ---- Entries ------------------------------------------------------------------------------
int CXTPDockBar::FindBar(CXTPToolBar* pBar, int nExcept) const {
  for (int i = 0; i < m_arrBars.GetSize(); i++) {
    if (i != nExcept && m_arrBars[i] == pBar) return i;
  }
  return -1;
}

int CXTPDockBar::GetRowCount() const {
  int nRows = 0;
  BOOL bInRow = FALSE;
  for (int i = 0; i < m_arrBars.GetSize(); i++) {
    if (m_arrBars[i] == NULL) {
      bInRow = FALSE;
    } else if (!bInRow) {
      bInRow = TRUE;
      nRows++;
    }
  }
  return nRows;
}

void CXTPDockBar::GetRowBars(int nRow, CXTPToolBarArray& arrBars) const {
  arrBars.RemoveAll();
  int nCurrent = -1;
  BOOL bInRow = FALSE;
  for (int i = 0; i < m_arrBars.GetSize(); i++) {
    CXTPToolBar* pBar = m_arrBars[i];
    if (pBar == NULL) {
      bInRow = FALSE;
      continue;
    }
    if (!bInRow) {
      bInRow = TRUE;
      nCurrent++;
    }
    if (nCurrent == nRow) arrBars.Add(pBar);
  }
}

void CXTPDockBar::GetVisibleBarsInRow(int nIndex, CXTPToolBarArray& arrBars) const {
  arrBars.RemoveAll();
  if (nIndex < 0 || nIndex >= m_arrBars.GetSize()) return;
  int nFirst = nIndex;
  while (nFirst > 0 && m_arrBars[nFirst - 1] != NULL) nFirst--;
  if (m_arrBars[nFirst] == NULL) nFirst++;
  std::vector<CXTPToolBar*> bars;
  for (int i = nFirst; i < m_arrBars.GetSize() && m_arrBars[i] != NULL; i++) {
    if (m_arrBars[i]->IsVisible()) bars.push_back(m_arrBars[i]);
  }
  const BOOL bHorz = IsHorizontal();
  std::stable_sort(bars.begin(), bars.end(), [bHorz](CXTPToolBar* a, CXTPToolBar* b) {
    CRect ra(0, 0, 0, 0), rb(0, 0, 0, 0);
    if (a->GetSafeHwnd() != NULL) a->GetWindowRect(&ra);
    if (b->GetSafeHwnd() != NULL) b->GetWindowRect(&rb);
    return bHorz ? ra.left < rb.left : ra.top < rb.top;
  });
  for (CXTPToolBar* pBar : bars) arrBars.Add(pBar);
}

void CXTPDockBar::NormalizeRows() {
  // A stretched bar stands alone: null entries before and after it.
  for (int i = 0; i < m_arrBars.GetSize(); i++) {
    CXTPToolBar* pBar = m_arrBars[i];
    if (pBar == NULL || (pBar->GetFlags() & xtpFlagStretched) == 0) continue;
    if (i > 0 && m_arrBars[i - 1] != NULL) {
      m_arrBars.InsertAt(i, (CXTPToolBar*)NULL);
      i++;
    }
    if (i + 1 >= m_arrBars.GetSize() || m_arrBars[i + 1] != NULL) m_arrBars.InsertAt(i + 1, (CXTPToolBar*)NULL);
  }
  // One leading null; no empty rows.
  if (m_arrBars.GetSize() == 0 || m_arrBars[0] != NULL) m_arrBars.InsertAt(0, (CXTPToolBar*)NULL);
  for (int i = 1; i < m_arrBars.GetSize();) {
    if (m_arrBars[i] == NULL && m_arrBars[i - 1] == NULL)
      m_arrBars.RemoveAt(i);
    else
      i++;
  }
}

BOOL CXTPDockBar::RemoveCommandBar(CXTPToolBar* pBar, int nExcept) {
  const int nIndex = FindBar(pBar, nExcept);
  if (nIndex == -1) return FALSE;
  m_arrBars.RemoveAt(nIndex);
  // A row left empty loses its extra null.
  const BOOL bNullBefore = nIndex > 0 && m_arrBars[nIndex - 1] == NULL;
  if (bNullBefore) {
    if (nIndex < m_arrBars.GetSize() && m_arrBars[nIndex] == NULL)
      m_arrBars.RemoveAt(nIndex);
    else if (nIndex >= m_arrBars.GetSize() && nIndex - 1 > 0)
      m_arrBars.RemoveAt(nIndex - 1);
  }
  if (m_arrBars.GetSize() == 0) m_arrBars.Add(NULL);
  if (nExcept == -1 && pBar->m_pDockBar == this) pBar->m_pDockBar = NULL;
  if (m_pCommandBars != NULL) m_pCommandBars->RecalcFrameLayout(TRUE);
  return TRUE;
}

// ---- Docking ------------------------------------------------------------------------------
void CXTPDockBar::DockCommandBar(CXTPToolBar* pBar, LPCRECT lpRect) {
  if (pBar == NULL) return;
  const int nOld = FindBar(pBar);
  if (nOld != -1 && lpRect != NULL && pBar->GetSafeHwnd() != NULL) {
    CRect rcWindow;
    pBar->GetWindowRect(&rcWindow);
    if (rcWindow == *lpRect) return;
  }

  int nNew = -1;
  CXTPBarDragContext* pContext = pBar->GetDockContext();
  if (lpRect != NULL) {
    CRect rc(*lpRect);
    if (m_hWnd != NULL) ScreenToClient(&rc);
    const BOOL bHorz = IsHorizontal();
    const int nCentre = bHorz ? rc.CenterPoint().y : rc.CenterPoint().x;
    // Walk the rows: the first whose far edge lies beyond the centre takes the bar.
    int nRow = 0;
    int nPrevFar = INT_MIN;
    for (int i = 0; i < m_arrBars.GetSize() && nNew == -1;) {
      // The row that the null at i begins (or the bars from i when it is not a null).
      const int nStart = m_arrBars[i] == NULL ? i : i - 1;
      int j = nStart + 1;
      int nFar = INT_MIN;
      for (; j < m_arrBars.GetSize() && m_arrBars[j] != NULL; j++) {
        CXTPToolBar* pRowBar = m_arrBars[j];
        if (!pRowBar->IsVisible() || pRowBar->GetSafeHwnd() == NULL) continue;
        CRect rcBar;
        pRowBar->GetWindowRect(&rcBar);
        if (m_hWnd != NULL) ScreenToClient(&rcBar);
        nFar = std::max<int>(nFar, bHorz ? rcBar.bottom : rcBar.right);
      }
      if (nFar != INT_MIN) {
        if (nFar > nCentre) {
          if (nRow == 0 || nCentre == nPrevFar) {
            // A new row before this one.
            m_arrBars.InsertAt(nStart + 1, (CXTPToolBar*)NULL);
            m_arrBars.InsertAt(nStart + 1, pBar);
          } else {
            m_arrBars.InsertAt(nStart + 1, pBar);
          }
          nNew = nStart + 1;
          break;
        }
        nPrevFar = nFar;
        nRow++;
      }
      i = j < m_arrBars.GetSize() ? j : m_arrBars.GetSize();
      if (i < m_arrBars.GetSize() && i == nStart) i++;
    }
    if (pContext != NULL) pContext->m_rcLastDocked = rc;
  } else if (pContext != NULL) {
    pContext->m_rcLastDocked.SetRectEmpty();
  }
  if (nNew == -1) {
    // A new last row.
    if (m_arrBars[m_arrBars.GetSize() - 1] != NULL) m_arrBars.Add(NULL);
    nNew = (int)m_arrBars.Add(pBar);
    m_arrBars.Add(NULL);
  }

  if (pBar->GetSafeHwnd() != NULL && m_hWnd != NULL && ::GetParent(pBar->m_hWnd) != m_hWnd) {
    if ((pBar->GetStyle() & WS_CHILD) == 0) pBar->ModifyStyle(WS_POPUP, WS_CHILD);
    pBar->SetParent(this);
  }
  if (pBar->m_pDockBar != NULL && pBar->m_pDockBar != this)
    pBar->m_pDockBar->RemoveCommandBar(pBar);
  else
    RemoveCommandBar(pBar, nNew);
  pBar->m_pDockBar = this;
  NormalizeRows();
  if (m_pCommandBars != NULL) m_pCommandBars->RecalcFrameLayout(TRUE);
}

// ---- Layout -------------------------------------------------------------------------------
DWORD CXTPDockBar::BarMode(CXTPToolBar* pBar) const {
  DWORD dwMode = IsHorizontal() ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
  if (pBar->GetFlags() & xtpFlagStretched) dwMode |= LM_STRETCH;
  if (pBar->GetFlags() & xtpFlagHideWrap) {
    const BOOL bFullCustomize = m_pCommandBars != NULL && m_pCommandBars->IsCustomizeMode() &&
                                !m_pCommandBars->IsQuickCustomizeMode();
    if (!bFullCustomize) dwMode |= LM_HIDEWRAP;
  }
  return dwMode;
}

CSize CXTPDockBar::CalcFixedLayout(int nLength, DWORD dwMode, AFX_SIZEPARENTPARAMS* pLayout) {
  const BOOL bHorz = (dwMode & LM_HORZ) != 0;
  const BOOL bStretch = (dwMode & LM_STRETCH) != 0;
  CSize sizeFixed(bStretch && bHorz ? 0x7FFF : 0, bStretch && !bHorz ? 0x7FFF : 0);

  // The bars are placed through a deferred positioning of their own.
  AFX_SIZEPARENTPARAMS layout = {};
  AFX_SIZEPARENTPARAMS* pBarLayout = NULL;
  if (pLayout != NULL && pLayout->hDWP != NULL) {
    layout.hDWP = ::BeginDeferWindowPos((int)m_arrBars.GetSize());
    pBarLayout = &layout;
  }

  int nOffset = 0;
  CXTPToolBarArray arrRow;
  for (int i = 0; i <= m_arrBars.GetSize(); i++) {
    CXTPToolBar* pBar = i < m_arrBars.GetSize() ? m_arrBars[i] : NULL;
    if (pBar != NULL) {
      if (pBar->IsVisible()) arrRow.Add(pBar);
      continue;
    }
    if (arrRow.GetSize() > 0) {
      nOffset += LayoutRows(arrRow, 0, nOffset, nLength, bHorz, pBarLayout);
      arrRow.RemoveAll();
    }
  }
  if (bHorz)
    sizeFixed.cy = std::max<int>(sizeFixed.cy, nOffset);
  else
    sizeFixed.cx = std::max<int>(sizeFixed.cx, nOffset);

  if (pBarLayout != NULL && layout.hDWP != NULL) ::EndDeferWindowPos(layout.hDWP);
  return sizeFixed;
}

int CXTPDockBar::LayoutRows(CXTPToolBarArray& arrBars, int x, int y, int nLength, BOOL bHorz,
                            AFX_SIZEPARENTPARAMS* pLayout) {
  int nTotal = 0;
  CXTPToolBarArray arrRow;
  arrRow.Copy(arrBars);
  while (arrRow.GetSize() > 0) {
    CXTPToolBarArray arrOverflow;
    int nThickness = 0;
    for (;;) {
      int nRemove = -1;
      nThickness = LayoutRow(arrRow, x, y + nTotal, nLength, bHorz, pLayout, nRemove);
      if (nThickness == 0 && nRemove >= 0 && nRemove < arrRow.GetSize() && arrRow.GetSize() > 1) {
        // The named bar (the last along the row) leaves; earlier leavers come after it.
        arrOverflow.InsertAt(0, arrRow[nRemove]);
        arrRow.RemoveAt(nRemove);
        continue;
      }
      break;
    }
    nTotal += nThickness;
    arrRow.Copy(arrOverflow);
  }
  return nTotal;
}

int CXTPDockBar::LayoutRow(CXTPToolBarArray& arrBars, int x, int y, int nLength, BOOL bHorz,
                           AFX_SIZEPARENTPARAMS* pLayout, int& nRemove) {
  nRemove = -1;
  const int nCount = (int)arrBars.GetSize();
  if (nCount == 0) return 0;
  std::vector<CXTPDockBarRowItem> items((size_t)nCount);
  std::vector<int> arrIndex((size_t)nCount);
  std::vector<DWORD> arrMode((size_t)nCount);
  std::vector<int> arrSaved((size_t)nCount);

  // 1. Measure every bar and put it at its saved place along the row.
  for (int i = 0; i < nCount; i++) {
    CXTPToolBar* pBar = arrBars[i];
    const DWORD dwMode = BarMode(pBar);
    CSize sz = pBar->CalcDynamicLayout(nLength, dwMode);
    if (!bHorz) sz = Flip(sz);
    int nSaved = x;
    CXTPBarDragContext* pContext = pBar->GetDockContext();
    if (pContext != NULL && !pContext->m_rcLastDocked.IsRectNull())
      nSaved = bHorz ? pContext->m_rcLastDocked.left : pContext->m_rcLastDocked.top;
    CXTPDockBarRowItem& item = items[(size_t)i];
    item.pBar = pBar;
    item.rcBar = CRect(nSaved, y, nSaved + sz.cx, y + sz.cy);
    item.rcBarCopy = item.rcBar;
    item.nOrder = i;
    item.nMinExtent = 0;
    item.nTotalMinExtent = 0;
    arrMode[(size_t)i] = dwMode;
  }

  // 2. By start along the row (ties stay in row order).
  std::stable_sort(items.begin(), items.end(), [](const CXTPDockBarRowItem& a, const CXTPDockBarRowItem& b) {
    return a.rcBar.left < b.rcBar.left;
  });
  for (int i = 0; i < nCount; i++) {
    arrIndex[(size_t)i] = items[(size_t)i].nOrder;
    arrSaved[(size_t)i] = items[(size_t)i].rcBarCopy.left;
  }

  // 3. Left to right: a later bar (or one behind a pushed bar) gives way.
  std::vector<BOOL> pushed((size_t)nCount, FALSE);
  for (int i = 1; i < nCount; i++) {
    CXTPDockBarRowItem& prev = items[(size_t)i - 1];
    CXTPDockBarRowItem& cur = items[(size_t)i];
    if (cur.rcBar.left < prev.rcBar.right && (cur.nOrder > prev.nOrder || pushed[(size_t)i - 1])) {
      cur.rcBar.OffsetRect(prev.rcBar.right - cur.rcBar.left, 0);
      pushed[(size_t)i] = TRUE;
    }
  }
  // 4. Right to left: pulled back inside the row (or before the next bar).
  std::vector<BOOL> pulled((size_t)nCount, FALSE);
  for (int i = nCount - 1; i >= 0; i--) {
    CXTPDockBarRowItem& cur = items[(size_t)i];
    if (i == nCount - 1) {
      if (cur.rcBar.right > x + nLength) {
        cur.rcBar.OffsetRect(x + nLength - cur.rcBar.right, 0);
        pulled[(size_t)i] = TRUE;
      }
      continue;
    }
    const CXTPDockBarRowItem& next = items[(size_t)i + 1];
    if (cur.rcBar.right > next.rcBar.left && (cur.nOrder > next.nOrder || pulled[(size_t)i + 1])) {
      cur.rcBar.OffsetRect(next.rcBar.left - cur.rcBar.right, 0);
      pulled[(size_t)i] = TRUE;
    }
  }
  // 5. Left to right again: what still overlaps is pushed apart.
  int nPrevEnd = x;
  for (int i = 0; i < nCount; i++) {
    CXTPDockBarRowItem& cur = items[(size_t)i];
    if (cur.rcBar.left < nPrevEnd) cur.rcBar.OffsetRect(nPrevEnd - cur.rcBar.left, 0);
    nPrevEnd = cur.rcBar.right;
  }

  // 6. Too long: bars that may hide controls shrink, from the last backwards.
  if (items[(size_t)nCount - 1].rcBar.right > x + nLength) {
    int nSum = 0;
    for (int i = 0; i < nCount; i++) {
      CXTPDockBarRowItem& item = items[(size_t)i];
      const DWORD dwMode = arrMode[(size_t)item.nOrder];
      if (dwMode & LM_HIDEWRAP) {
        CSize szMin = item.pBar->CalcDynamicLayout(1, dwMode);
        if (!bHorz) szMin = Flip(szMin);
        item.nMinExtent = szMin.cx;
      } else {
        item.nMinExtent = item.rcBar.Width();
      }
      item.nTotalMinExtent = nSum;
      nSum += item.nMinExtent;
    }
    int nLimit = x + nLength;
    for (int i = nCount - 1; i >= 0; i--) {
      CXTPDockBarRowItem& item = items[(size_t)i];
      int nStart = std::max<int>(std::max<int>(std::min<int>(arrSaved[(size_t)i], item.rcBar.left),
                                               nLimit - item.rcBar.Width()),
                                 x + item.nTotalMinExtent);
      if (nLimit - nStart < item.nMinExtent) nStart = nLimit - item.nMinExtent;
      if ((nLimit - nStart < item.nMinExtent || nStart < x + item.nTotalMinExtent) && nCount > 1) {
        nRemove = items[(size_t)nCount - 1].nOrder;
        return 0;
      }
      item.rcBar.left = std::max<int>(nStart, x);
      item.rcBar.right = nLimit;
      nLimit = nStart;
    }
  }

  // 7. The row's thickness at the final extents.
  int nThickness = 0;
  for (int i = 0; i < nCount; i++) {
    CXTPDockBarRowItem& item = items[(size_t)i];
    const DWORD dwMode = arrMode[(size_t)item.nOrder];
    CSize sz(item.rcBarCopy.Width(), item.rcBarCopy.Height());
    if (item.rcBar.Width() != item.rcBarCopy.Width()) {
      sz = item.pBar->CalcDynamicLayout(item.rcBar.Width(), dwMode);
      if (!bHorz) sz = Flip(sz);
    }
    item.rcBar.bottom = item.rcBar.top + sz.cy;
    nThickness = std::max<int>(nThickness, sz.cy);
  }

  // 8. Final placement.
  const XTPBarPosition position = GetPosition();
  for (int i = 0; i < nCount; i++) {
    CXTPDockBarRowItem& item = items[(size_t)i];
    CXTPToolBar* pBar = item.pBar;
    const DWORD dwMode = arrMode[(size_t)item.nOrder];
    CRect rc = item.rcBar;
    CSize sz;
    if (pBar->GetFlags() & xtpFlagStretchedShared) {
      rc.left = i == 0 ? x : items[(size_t)i - 1].rcBar.right;
      rc.right = i == nCount - 1 ? x + nLength : items[(size_t)i + 1].rcBar.left;
      sz = pBar->CalcDynamicLayout(rc.Width(), dwMode | LM_STRETCH | LM_COMMIT);
    } else {
      sz = pBar->CalcDynamicLayout(rc.Width(), dwMode | LM_COMMIT);
    }
    if (!bHorz) sz = Flip(sz);
    if ((pBar->GetFlags() & xtpFlagStretchedShared) == 0) rc.right = rc.left + sz.cx;
    rc.bottom = rc.top + sz.cy;
    item.rcBar = rc;
    CXTPBarDragContext* pContext = pBar->GetDockContext();
    if (pContext != NULL) pContext->m_nLastDockBar = (int)position;
    if (pBar->GetSafeHwnd() != NULL) {
      const CRect rcWindow = bHorz ? rc : Flip(rc);
      if (pLayout != NULL) AfxRepositionWindow(pLayout, pBar->m_hWnd, &rcWindow);
      pBar->Invalidate(FALSE);
    }
  }
  return nThickness;
}

// ---- Messages -----------------------------------------------------------------------------
LRESULT CXTPDockBar::OnSizeParent(WPARAM, LPARAM lParam) {
  AFX_SIZEPARENTPARAMS* pLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
  if (pLayout == NULL || (GetStyle() & WS_VISIBLE) == 0) return 0;
  const BOOL bHorz = IsHorizontal();
  DWORD dwMode = bHorz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
  if (pLayout->bStretch) dwMode |= LM_STRETCH;
  CRect rect(pLayout->rect);
  const int nLength = bHorz ? rect.Width() : rect.Height();
  CSize size = CalcFixedLayout(nLength, dwMode, pLayout);
  size.cx = std::min<int>(size.cx, rect.Width());
  size.cy = std::min<int>(size.cy, rect.Height());
  switch (GetPosition()) {
    case xtpBarTop:
      rect.bottom = rect.top + size.cy;
      pLayout->rect.top += size.cy;
      break;
    case xtpBarBottom:
      rect.top = rect.bottom - size.cy;
      pLayout->rect.bottom -= size.cy;
      break;
    case xtpBarLeft:
      rect.right = rect.left + size.cx;
      pLayout->rect.left += size.cx;
      break;
    default:
      rect.left = rect.right - size.cx;
      pLayout->rect.right -= size.cx;
      break;
  }
  if (bHorz) {
    pLayout->sizeTotal.cy += size.cy;
    pLayout->sizeTotal.cx = std::max<int>(pLayout->sizeTotal.cx, size.cx);
  } else {
    pLayout->sizeTotal.cx += size.cx;
    pLayout->sizeTotal.cy = std::max<int>(pLayout->sizeTotal.cy, size.cy);
  }
  AfxRepositionWindow(pLayout, m_hWnd, &rect);
  Invalidate(FALSE);
  return 0;
}

void CXTPDockBar::OnPaint() {
  CPaintDC dc(this);
  CXTPPaintManager* pPaintManager = (m_pCommandBars != NULL && m_pCommandBars->m_pPaintManager != NULL ? m_pCommandBars->m_pPaintManager : XTPPaintManager());
  if (pPaintManager != NULL) pPaintManager->FillDockBar(&dc, this);
}

LRESULT CXTPDockBar::OnPrint(WPARAM wParam, LPARAM lParam) {
  CDC* pDC = CDC::FromHandle((HDC)wParam);
  if (pDC == NULL) return 0;
  CXTPPaintManager* pPaintManager = (m_pCommandBars != NULL && m_pCommandBars->m_pPaintManager != NULL ? m_pCommandBars->m_pPaintManager : XTPPaintManager());
  if (pPaintManager != NULL) pPaintManager->FillDockBar(pDC, this);
  if (lParam & PRF_CHILDREN) {
    for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
      if (!::IsWindowVisible(hChild)) continue;
      CRect rc;
      ::GetWindowRect(hChild, &rc);
      ScreenToClient(&rc);
      const int nSaved = pDC->SaveDC();
      pDC->SetViewportOrg(pDC->GetViewportOrg() + rc.TopLeft());
      ::SendMessage(hChild, WM_PRINT, wParam, (LPARAM)(lParam & ~PRF_CHECKVISIBLE));
      pDC->RestoreDC(nSaved);
    }
  }
  return TRUE;
}

BOOL CXTPDockBar::OnEraseBkgnd(CDC*) { return TRUE; }

void CXTPDockBar::OnRButtonDown(UINT, CPoint point) {
  if (m_pCommandBars == NULL) return;
  ClientToScreen(&point);
  m_pCommandBars->ContextMenu(NULL, point);
}
