// The selector control: a grid of cells from which the user picks columns and rows.
#include <framework.h>

#include <algorithm>

#include "XTPCommandBar.h"
#include "XTPColorManager.h"
#include "XTPControlSelector.h"
#include "XTPPaintManager.h"

IMPLEMENT_SERIAL(CXTPControlSelector, CXTPControl, VERSIONABLE_SCHEMA | 0x10)

// The object as the given class when it is one, else null.
#define AS_KIND(cls, p) ((p) != NULL && (p)->IsKindOf(RUNTIME_CLASS(cls)) ? static_cast<cls*>(p) : NULL)

CXTPControlSelector::CXTPControlSelector()
    : m_szItemsCount(5, 4), m_szItemsMax(12, 12), m_szItem(28, 28), m_szSelected(0, 0),
      m_szResult(0, 0), m_szItemsVisible(5, 4), m_bLockUpdate(FALSE) {
  m_controlType = xtpControlButton;
}
CXTPControlSelector::~CXTPControlSelector() {}

CSize CXTPControlSelector::GetSize(CDC*) {
  return CSize(m_szItemsVisible.cx * m_szItem.cx, m_szItemsVisible.cy * m_szItem.cy);
}

void CXTPControlSelector::DrawCell(CDC*, CRect, COLORREF) {}

void CXTPControlSelector::Draw(CDC* pDC) {
  if (pDC == NULL) return;
  CXTPColorManager* pColors = XTPGetColorManager();
  CXTPPaintManager* pPaintManager = GetPaintManager();
  const COLORREF clrFrame = pPaintManager != NULL ? pPaintManager->GetColor(43) : ::GetSysColor(COLOR_3DSHADOW);
  for (int x = 0; x < m_szItemsVisible.cx; x++) {
    for (int y = 0; y < m_szItemsVisible.cy; y++) {
      CRect rc(m_rcControl.left + x * m_szItem.cx, m_rcControl.top + y * m_szItem.cy,
               m_rcControl.left + (x + 1) * m_szItem.cx, m_rcControl.top + (y + 1) * m_szItem.cy);
      rc.DeflateRect(1, 1);
      const BOOL bLit = x < m_szSelected.cx && y < m_szSelected.cy;
      pDC->FillSolidRect(rc, pColors->GetColor(bLit ? COLOR_HIGHLIGHT : COLOR_WINDOW));
      pDC->Draw3dRect(rc, clrFrame, clrFrame);
      DrawCell(pDC, rc, bLit ? pColors->GetColor(COLOR_HIGHLIGHTTEXT) : pColors->GetColor(COLOR_WINDOWTEXT));
    }
  }
}

void CXTPControlSelector::SetSelection(int nColumns, int nRows, BOOL bForce) {
  if (!bForce && m_szSelected == CSize(nColumns, nRows)) return;
  m_szSelected = CSize(nColumns, nRows);
  RedrawParent();
  NotifySite(XTP_CN_SELECTORCHANGED);
}

void CXTPControlSelector::OnMouseMove(CPoint point) {
  int nColumns = 0, nRows = 0;
  for (int x = 0; x < m_szItemsVisible.cx; x++)
    if (m_rcControl.left + x * m_szItem.cx < point.x) nColumns = x + 1;
  for (int y = 0; y < m_szItemsVisible.cy; y++)
    if (m_rcControl.top + y * m_szItem.cy < point.y) nRows = y + 1;
  SetSelection(nColumns, nRows);
}

BOOL CXTPControlSelector::OnSelectionChanged(int nSelected) {
  if (nSelected == 0 && (::GetKeyState(VK_LBUTTON) & 0x8000) && m_pParent != NULL &&
      m_pParent->GetSafeHwnd() != NULL) {
    CPoint pt;
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_pParent->GetSafeHwnd(), &pt);
    if (pt.x >= m_rcControl.right || pt.y >= m_rcControl.bottom) {
      CSize szGrid(std::max(m_szItemsVisible.cx, std::min(m_szItemsMax.cx, (pt.x - m_rcControl.left) / std::max(1, (int)m_szItem.cx) + 1)),
                   std::max(m_szItemsVisible.cy, std::min(m_szItemsMax.cy, (pt.y - m_rcControl.top) / std::max(1, (int)m_szItem.cy) + 1)));
      if (szGrid != m_szItemsVisible) {
        m_szItemsVisible = szGrid;
        m_bLockUpdate = TRUE;
        m_pParent->OnRecalcLayout();
        m_bLockUpdate = FALSE;
        OnMouseMove(pt);
      }
      return FALSE;
    }
  }
  return CXTPControl::OnSelectionChanged(nSelected);
}

void CXTPControlSelector::OnBarLayout(DWORD) {
  if (m_bLockUpdate) return;
  m_szItemsVisible = m_szItemsCount;
  SetSelection(0, 0, TRUE);
}

void CXTPControlSelector::OnLButtonUp(CPoint) {
  if (m_szSelected.cx > 0 && m_szSelected.cy > 0) {
    m_szResult = m_szSelected;
    Execute();
  }
}

void CXTPControlSelector::Copy(CXTPControl* pControl, BOOL bRecursive) {
  CXTPControl::Copy(pControl, bRecursive);
  CXTPControlSelector* pSelector = AS_KIND(CXTPControlSelector, pControl);
  if (pSelector == NULL) return;
  m_szItemsCount = pSelector->m_szItemsCount;
  m_szItemsMax = pSelector->m_szItemsMax;
  m_szItem = pSelector->m_szItem;
}


CXTPControl* CXTPControlSelector::Clone(BOOL bRecursive) { return CXTPControl::Clone(bRecursive); }
