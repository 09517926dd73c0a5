// The tab manager, its items and navigate buttons.
#include "XTPTabManager.h"

#include <algorithm>

#include "XTPTabAppearanceSets.h"
#include "XTPTabPaintManager.h"
#include "XTPModalLoop.h"
#include "XTPTabInternal.h"

namespace {

// The colours of palette codes 0x1000000..0x1000007.
const COLORREF kPalette[8] = {0xE4A88A, 0x75DBFF, 0x9FCDBD, 0x9F9EF0,
                              0xE1A6BA, 0xB4BF9A, 0x83B6F7, 0xC0ABD8};

}  // namespace

// =======================================================================================
// CXTPTabManagerItem

IMPLEMENT_DYNAMIC(CXTPTabManagerItem, CCmdTarget)

CXTPTabManagerItem::CXTPTabManagerItem()
    : m_nLength(0),
      m_nNaturalLength(0),
      m_nImage(-1),
      m_nIndex(-1),
      m_bEnabled(TRUE),
      m_bVisible(TRUE),
      m_hWnd(nullptr),
      m_nData(0),
      m_rcItem(0, 0, 0, 0),
      m_clrItem(0),
      m_pTabManager(nullptr),
      m_nRow(0),
      m_bClosable(TRUE) {}

CXTPTabManagerItem::~CXTPTabManagerItem() = default;

void CXTPTabManagerItem::SetCaption(LPCTSTR lpszCaption) {
  CString str(lpszCaption ? lpszCaption : _T(""));
  if (str == m_strCaption) return;
  m_strCaption = str;
  if (m_pTabManager) m_pTabManager->Reposition();
}

CString CXTPTabManagerItem::GetCaption() const {
  return m_pTabManager ? m_pTabManager->GetItemCaption(this) : m_strCaption;
}

CString CXTPTabManagerItem::GetTooltip() const {
  return m_pTabManager ? m_pTabManager->GetItemTooltip(this) : m_strToolTip;
}

COLORREF CXTPTabManagerItem::PaletteColor(int nCode) {
  return (nCode >= 0 && nCode < 8) ? kPalette[nCode] : 0;
}

COLORREF CXTPTabManagerItem::GetColor() const {
  if (m_pTabManager) return m_pTabManager->GetItemColor(this);
  if (m_clrItem >= XTP_TAB_PALETTE_FIRST && m_clrItem <= XTP_TAB_PALETTE_LAST)
    return PaletteColor(static_cast<int>(m_clrItem - XTP_TAB_PALETTE_FIRST));
  return m_clrItem;
}

void CXTPTabManagerItem::SetColor(COLORREF clr) {
  m_clrItem = clr;
  if (m_pTabManager) m_pTabManager->RedrawControl();
}

void CXTPTabManagerItem::Remove() {
  if (m_pTabManager) m_pTabManager->DeleteItem(m_nIndex);
}

void CXTPTabManagerItem::SetVisible(BOOL bVisible) {
  bVisible = bVisible ? TRUE : FALSE;
  if (m_bVisible == bVisible) return;
  m_bVisible = bVisible;
  if (m_pTabManager) m_pTabManager->Reposition();
}

void CXTPTabManagerItem::SetEnabled(BOOL bEnabled) {
  bEnabled = bEnabled ? TRUE : FALSE;
  if (m_bEnabled == bEnabled) return;
  m_bEnabled = bEnabled;
  if (m_pTabManager) m_pTabManager->Reposition();
}

void CXTPTabManagerItem::SetImageIndex(int nImage) {
  if (m_nImage == nImage) return;
  m_nImage = nImage;
  if (m_pTabManager) m_pTabManager->Reposition();
}

BOOL CXTPTabManagerItem::IsSelected() const {
  return m_pTabManager && m_pTabManager->GetSelectedItem() == this;
}

BOOL CXTPTabManagerItem::IsHot() const {
  return m_pTabManager && m_pTabManager->GetHotItem() == this;
}

// =======================================================================================
// Navigate buttons

CXTPTabManagerNavigateButton::CXTPTabManagerNavigateButton(CXTPTabManager* pManager, UINT nID,
                                                           XTPTabNavigateButtonMode mode)
    : m_nID(nID),
      m_mode(mode),
      m_nWidth(14),
      m_nHeight(15),
      m_pManager(pManager),
      m_rcButton(0, 0, 0, 0),
      m_bEnabled(TRUE),
      m_bPressed(FALSE),
      m_bHot(FALSE) {}

CXTPTabManagerNavigateButton::~CXTPTabManagerNavigateButton() = default;

void CXTPTabManagerNavigateButton::SetMode(XTPTabNavigateButtonMode mode) {
  if (m_mode == mode) return;
  m_mode = mode;
  m_pManager->Reposition();
}

void CXTPTabManagerNavigateButton::AdjustLength(int* pnLength) {
  BOOL bShown;
  if (m_nID == xtpTabNavigateButtonClose)
    bShown = m_mode == xtpTabNavigateButtonAlways ||
             (m_mode == xtpTabNavigateButtonAutomatic && m_pManager->IsNavigateButtonVisible(this));
  else
    bShown = m_mode == xtpTabNavigateButtonAlways;
  if (!bShown) return;
  *pnLength -= m_pManager->IsHorizontalPosition() ? m_nWidth : m_nHeight;
}

BOOL CXTPTabManagerNavigateButton::IsVisible() {
  if (m_mode == xtpTabNavigateButtonHidden) return FALSE;
  if (m_nID == xtpTabNavigateButtonClose) {
    if (m_mode == xtpTabNavigateButtonAlways) return TRUE;
    return m_pManager->IsNavigateButtonVisible(this);
  }
  CXTPTabPaintManager* pPaintManager = m_pManager->GetPaintManager();
  const int nLayout = pPaintManager ? pPaintManager->GetLayout() : 0;
  if (nLayout == xtpTabLayoutMultiRow) return FALSE;
  if (m_mode == xtpTabNavigateButtonAlways) return TRUE;
  if (nLayout == xtpTabLayoutCompressed) return FALSE;
  return m_pManager->IsNavigateButtonVisible(this);
}

void CXTPTabManagerNavigateButton::Reposition(CRect& rc) {
  const BOOL bHorizontal = m_pManager->IsHorizontalPosition();
  const int nOffset = m_pManager->GetScrollOffset();
  const int nStrip = bHorizontal ? rc.Width() : rc.Height();
  const int nItems = m_pManager->GetItemsLength();
  BOOL bShown = FALSE;
  if (m_nID == xtpTabNavigateButtonClose) {
    bShown = IsVisible();
  } else {
    if (m_nID == xtpTabNavigateButtonBack)
      m_bEnabled = nOffset < 0;
    else
      m_bEnabled = nStrip - 28 < nOffset + nItems;
    CXTPTabPaintManager* pPaintManager = m_pManager->GetPaintManager();
    const int nLayout = pPaintManager ? pPaintManager->GetLayout() : 0;
    if (nLayout == xtpTabLayoutMultiRow || m_mode == xtpTabNavigateButtonHidden) {
      bShown = FALSE;
    } else if (m_mode == xtpTabNavigateButtonAlways) {
      bShown = TRUE;
    } else if (nLayout == xtpTabLayoutCompressed) {
      bShown = FALSE;
    } else {
      int nLeading = 0;
      if (pPaintManager && pPaintManager->GetAppearanceSet())
        nLeading = pPaintManager->GetAppearanceSet()->GetHeaderMargin().left;
      bShown = nStrip < nItems + nOffset - nLeading - 1 || nOffset < 0;
    }
  }
  if (!bShown) {
    m_rcButton.SetRectEmpty();
    return;
  }
  if (bHorizontal) {
    const int cy = (rc.top + rc.bottom) / 2;
    m_rcButton.SetRect(rc.right - m_nWidth, cy - (m_nHeight - m_nHeight / 2), rc.right, cy + m_nHeight / 2);
    rc.right -= m_nWidth;
  } else {
    const int cx = (rc.left + rc.right) / 2;
    m_rcButton.SetRect(cx - m_nWidth / 2, rc.bottom - m_nHeight, cx - m_nWidth / 2 + m_nWidth, rc.bottom);
    rc.bottom -= m_nHeight;
  }
}

void CXTPTabManagerNavigateButton::OnExecute(BOOL) {}

void CXTPTabManagerNavigateButton::UpdateHover(HWND hWnd, CPoint pt) {
  const BOOL bInside = m_rcButton.PtInRect(pt);
  if (bInside && m_bHot) return;
  if (!bInside) {
    if (m_bHot) {
      m_bHot = FALSE;
      m_pManager->RedrawControl();
    }
    return;
  }
  if (!m_bEnabled) return;
  m_bHot = TRUE;
  m_pManager->RedrawControl();
  TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, hWnd, 0};
  ::TrackMouseEvent(&tme);
}

void CXTPTabManagerNavigateButton::PerformClick(HWND hWnd, CPoint pt) {
  if (::GetCapture() != nullptr) return;
  if (!m_bEnabled) return;
  ::SetCapture(hWnd);
  DWORD dwTick = ::GetTickCount();
  BOOL bAccepted = FALSE;
  for (;;) {
    if (m_bEnabled && ::GetTickCount() - dwTick > kRepeatInterval) {
      dwTick = ::GetTickCount();
      OnExecute(TRUE);
    }
    const BOOL bPressed = m_rcButton.PtInRect(pt);
    if (bPressed != m_bPressed) {
      m_bPressed = bPressed;
      m_pManager->RedrawControl();
    }
    MSG msg;
    if (!::PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      // Sleep until input arrives or the next repeat tick is due, instead of spinning.
      DWORD dwElapsed = ::GetTickCount() - dwTick;
      DWORD dwWait = dwElapsed > kRepeatInterval ? 0 : kRepeatInterval + 1 - dwElapsed;
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, dwWait, QS_ALLINPUT);
      continue;
    }
    if (::GetCapture() != hWnd) {
      // Someone else took the mouse: let the message go on and stop.
      if (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
          XTPRepostQuit(msg);
        } else {
          ::TranslateMessage(&msg);
          ::DispatchMessage(&msg);
        }
      }
      break;
    }
    ::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE);
    if (msg.message == WM_QUIT) {
      XTPRepostQuit(msg);
      break;
    }
    if (msg.message == WM_CANCELMODE || msg.message == WM_RBUTTONDOWN) break;
    if (msg.message == WM_KEYDOWN) {
      if (msg.wParam == VK_ESCAPE) break;
      continue;
    }
    if (msg.message == WM_MOUSEMOVE && msg.hwnd == hWnd) {
      pt = CPoint(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
      continue;
    }
    if (msg.message == WM_LBUTTONUP) {
      if (msg.hwnd == hWnd) pt = CPoint(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
      bAccepted = m_rcButton.PtInRect(pt);
      break;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessage(&msg);
  }
  if (::GetCapture() == hWnd) ::ReleaseCapture();
  m_bPressed = FALSE;
  UpdateHover(hWnd, pt);
  m_pManager->RedrawControl();
  if (bAccepted) OnExecute(FALSE);
}

void CXTPTabManagerNavigateButton::DrawTriangle(CDC* pDC, const POINT* pts) {
  const COLORREF clr = pDC->GetTextColor();
  HPEN hPen = ::CreatePen(PS_SOLID, 1, clr);
  HBRUSH hBrush = m_bEnabled ? ::CreateSolidBrush(clr) : nullptr;
  HGDIOBJ hOldPen = ::SelectObject(pDC->m_hDC, hPen);
  HGDIOBJ hOldBrush = ::SelectObject(pDC->m_hDC, hBrush ? static_cast<HGDIOBJ>(hBrush) : ::GetStockObject(NULL_BRUSH));
  ::Polygon(pDC->m_hDC, pts, 3);
  ::SelectObject(pDC->m_hDC, hOldBrush);
  ::SelectObject(pDC->m_hDC, hOldPen);
  ::DeleteObject(hPen);
  if (hBrush) ::DeleteObject(hBrush);
}

CXTPTabManagerNavigateButtonBack::CXTPTabManagerNavigateButtonBack(CXTPTabManager* pManager)
    : CXTPTabManagerNavigateButton(pManager, xtpTabNavigateButtonBack, xtpTabNavigateButtonAutomatic) {}

void CXTPTabManagerNavigateButtonBack::Draw(CDC* pDC, CRect rc) {
  const int cx = (rc.left + rc.right) / 2, cy = (rc.top + rc.bottom) / 2;
  if (m_pManager->IsHorizontalPosition()) {
    POINT pts[3] = {{cx + 2, cy - 5}, {cx - 2, cy - 1}, {cx + 2, cy + 3}};
    DrawTriangle(pDC, pts);
  } else {
    POINT pts[3] = {{cx - 5, cy + 2}, {cx - 1, cy - 2}, {cx + 3, cy + 2}};
    DrawTriangle(pDC, pts);
  }
}

void CXTPTabManagerNavigateButtonBack::OnExecute(BOOL bRepeat) {
  if (bRepeat) m_pManager->OnScroll(FALSE);
}

CXTPTabManagerNavigateButtonForward::CXTPTabManagerNavigateButtonForward(CXTPTabManager* pManager)
    : CXTPTabManagerNavigateButton(pManager, xtpTabNavigateButtonForward, xtpTabNavigateButtonAutomatic) {}

void CXTPTabManagerNavigateButtonForward::Draw(CDC* pDC, CRect rc) {
  const int cx = (rc.left + rc.right) / 2, cy = (rc.top + rc.bottom) / 2;
  if (m_pManager->IsHorizontalPosition()) {
    POINT pts[3] = {{cx - 2, cy - 5}, {cx + 2, cy - 1}, {cx - 2, cy + 3}};
    DrawTriangle(pDC, pts);
  } else {
    POINT pts[3] = {{cx - 5, cy - 2}, {cx - 1, cy + 2}, {cx + 3, cy - 2}};
    DrawTriangle(pDC, pts);
  }
}

void CXTPTabManagerNavigateButtonForward::OnExecute(BOOL bRepeat) {
  if (bRepeat) m_pManager->OnScroll(TRUE);
}

CXTPTabManagerNavigateButtonClose::CXTPTabManagerNavigateButtonClose(CXTPTabManager* pManager)
    : CXTPTabManagerNavigateButton(pManager, xtpTabNavigateButtonClose, xtpTabNavigateButtonHidden) {}

void CXTPTabManagerNavigateButtonClose::Draw(CDC* pDC, CRect rc) {
  HPEN hPen = ::CreatePen(PS_SOLID, 1, pDC->GetTextColor());
  HGDIOBJ hOld = ::SelectObject(pDC->m_hDC, hPen);
  const int L = rc.left, T = rc.top, R = rc.right, B = rc.bottom;
  const POINT lines[4][2] = {{{L + 3, T + 3}, {R - 4, B - 5}},
                             {{L + 4, T + 3}, {R - 3, B - 5}},
                             {{L + 3, B - 6}, {R - 4, T + 2}},
                             {{L + 4, B - 6}, {R - 3, T + 2}}};
  for (const auto& line : lines) {
    ::MoveToEx(pDC->m_hDC, line[0].x, line[0].y, nullptr);
    ::LineTo(pDC->m_hDC, line[1].x, line[1].y);
  }
  ::SelectObject(pDC->m_hDC, hOld);
  ::DeleteObject(hPen);
}

void CXTPTabManagerNavigateButtonClose::OnExecute(BOOL bRepeat) {
  if (!bRepeat) m_pManager->OnNavigateButtonClick(m_nID);
}

// =======================================================================================
// CXTPTabManager

CXTPTabManager::CXTPTabManager()
    : m_pSelected(nullptr),
      m_pHot(nullptr),
      m_nScrollOffset(0),
      m_bAllowReorder(TRUE),
      m_bHighlight(TRUE),
      m_szItem(70, 18),
      m_szItemMin(0, 0),
      m_szItemMax(0, 0),
      m_rcHeader(0, 0, 0, 0),
      m_rcControl(0, 0, 0, 0),
      m_rcClient(0, 0, 0, 0),
      m_pTheme(nullptr),
      m_nScrollStep(20) {
  m_arrNavigateButtons.push_back(new CXTPTabManagerNavigateButtonBack(this));
  m_arrNavigateButtons.push_back(new CXTPTabManagerNavigateButtonForward(this));
  m_arrNavigateButtons.push_back(new CXTPTabManagerNavigateButtonClose(this));
  m_arrRows.push_back(ROW{0, -1});
}

CXTPTabManager::~CXTPTabManager() {
  m_pSelected = nullptr;
  m_pHot = nullptr;
  for (CXTPTabManagerItem* pItem : m_arrItems) {
    pItem->m_pTabManager = nullptr;
    pItem->InternalRelease();
  }
  m_arrItems.clear();
  for (CXTPTabManagerNavigateButton* pButton : m_arrNavigateButtons) delete pButton;
  m_arrNavigateButtons.clear();
  XTPTabDeleteThemeHandle(m_pTheme);
}

void CXTPTabManager::Refresh() { Reposition(); }

CString CXTPTabManager::GetItemCaption(const CXTPTabManagerItem* pItem) const { return pItem->m_strCaption; }

DWORD_PTR CXTPTabManager::GetItemData(const CXTPTabManagerItem* pItem) const { return pItem->m_nData; }

COLORREF CXTPTabManager::GetItemColor(const CXTPTabManagerItem* pItem) const {
  const COLORREF clr = pItem->m_clrItem;
  if (clr >= XTP_TAB_PALETTE_FIRST && clr <= XTP_TAB_PALETTE_LAST)
    return CXTPTabManagerItem::PaletteColor(static_cast<int>(clr - XTP_TAB_PALETTE_FIRST));
  return clr;
}

CString CXTPTabManager::GetItemTooltip(const CXTPTabManagerItem* pItem) const { return pItem->m_strToolTip; }

void CXTPTabManager::OnItemsChanged() {
  for (size_t i = 0; i < m_arrItems.size(); i++) m_arrItems[i]->m_nIndex = static_cast<int>(i);
  Reposition();
}

void CXTPTabManager::SetSelectedItem(CXTPTabManagerItem* pItem) {
  if (pItem == m_pSelected) return;
  m_pSelected = pItem;
  Reposition();
  if (pItem && GetPaintManager()) GetPaintManager()->EnsureVisible(this, pItem);
}

void CXTPTabManager::SelectItem(CXTPTabManagerItem* pItem) {
  if (pItem) OnItemClick(pItem);
}

void CXTPTabManager::GetItemMetrics(CSize* pszNormal, CSize* pszMin, CSize* pszMax) const {
  if (pszNormal) *pszNormal = m_szItem;
  if (pszMin) *pszMin = m_szItemMin;
  if (pszMax) *pszMax = m_szItemMax;
}

void CXTPTabManager::SetItemMetrics(CSize szNormal, CSize szMin, CSize szMax) {
  m_szItem = szNormal;
  m_szItemMin = szMin;
  m_szItemMax = szMax;
  Reposition();
}

void CXTPTabManager::SetPaintManager(CXTPTabPaintManager*) {}

BOOL CXTPTabManager::IsAllowReorder() const { return m_bAllowReorder; }

void CXTPTabManager::SetAllowReorder(BOOL bAllowReorder) { m_bAllowReorder = bAllowReorder; }

BOOL CXTPTabManager::HasFrame() const {
  CXTPTabPaintManager* pPaintManager = GetPaintManager();
  return pPaintManager && pPaintManager->m_bStaticFrame;
}

int CXTPTabManager::GetPosition() const {
  CXTPTabPaintManager* pPaintManager = GetPaintManager();
  return pPaintManager ? pPaintManager->GetPosition() : xtpTabPosTop;
}

BOOL CXTPTabManager::IsHorizontalPosition() const { return CXTPTabPaintManager::IsHorizontal(GetPosition()); }

void CXTPTabManager::OnScroll(BOOL bForward) {
  SetScrollOffset(bForward ? m_nScrollOffset - m_nScrollStep : m_nScrollOffset + m_nScrollStep);
}

BOOL CXTPTabManager::IsNavigateButtonVisible(CXTPTabManagerNavigateButton* pButton) {
  if (pButton->GetID() != xtpTabNavigateButtonClose) return TRUE;
  return m_pSelected ? m_pSelected->IsClosable() : FALSE;
}

void CXTPTabManager::OnItemClick(CXTPTabManagerItem* pItem) { SetSelectedItem(pItem); }

void CXTPTabManager::OnNavigateButtonClick(UINT) {}

BOOL CXTPTabManager::IsMouseLocked() const { return FALSE; }

BOOL CXTPTabManager::IsFocusVisible() const { return FALSE; }

CXTPTabManagerItem* CXTPTabManager::GetItem(int nIndex) const {
  if (nIndex < 0 || nIndex >= GetItemCount()) return nullptr;
  return m_arrItems[nIndex];
}

CXTPTabManagerItem* CXTPTabManager::InsertItem(int nIndex, CXTPTabManagerItem* pItem) {
  const int nCount = GetItemCount();
  if (nIndex < 0 || nIndex > nCount) nIndex = nCount;
  if (!pItem) pItem = new CXTPTabManagerItem();
  pItem->m_pTabManager = this;
  if (m_arrItems.size() == m_arrItems.capacity()) {
    size_t nGrow = std::clamp<size_t>(m_arrItems.size() / 8, 4, 1024);
    m_arrItems.reserve(m_arrItems.size() + nGrow);
  }
  m_arrItems.insert(m_arrItems.begin() + nIndex, pItem);
  CXTPTabPaintManager* pPaintManager = GetPaintManager();
  const int nCounter = pPaintManager ? pPaintManager->NextItemCounter() : nIndex;
  pItem->m_clrItem = XTP_TAB_PALETTE_FIRST + static_cast<COLORREF>(nCounter % 8);
  OnItemsChanged();
  return pItem;
}

BOOL CXTPTabManager::DeleteItem(int nIndex) {
  if (nIndex < 0 || nIndex >= GetItemCount()) return FALSE;
  CXTPTabManagerItem* pItem = m_arrItems[nIndex];
  const BOOL bSelected = pItem == m_pSelected;
  m_arrItems.erase(m_arrItems.begin() + nIndex);
  // The hot pointer must not outlive the item it points at.
  if (m_pHot == pItem) m_pHot = nullptr;
  if (bSelected) m_pSelected = nullptr;
  pItem->m_pTabManager = nullptr;
  pItem->InternalRelease();
  if (bSelected) SetCurSel(nIndex);
  OnItemsChanged();
  return TRUE;
}

void CXTPTabManager::DeleteAllItems() {
  while (GetItemCount() > 0) DeleteItem(GetItemCount() - 1);
}

void CXTPTabManager::SetCurSel(int nIndex) {
  if (m_arrItems.empty()) {
    SetSelectedItem(nullptr);
    return;
  }
  nIndex = std::clamp(nIndex, 0, GetItemCount() - 1);
  // Indexes may be stale while an item is being removed; renumber first.
  for (size_t i = 0; i < m_arrItems.size(); i++) m_arrItems[i]->m_nIndex = static_cast<int>(i);
  SetSelectedItem(m_arrItems[nIndex]);
}

CXTPTabManagerItem* CXTPTabManager::FindNextItem(int nIndex, int nStep) const {
  if (nStep == 0) return nullptr;
  for (nIndex += nStep; nIndex >= 0 && nIndex < GetItemCount(); nIndex += nStep) {
    CXTPTabManagerItem* pItem = m_arrItems[nIndex];
    if (pItem->IsVisible() && pItem->IsEnabled()) return pItem;
  }
  return nullptr;
}

CXTPTabManagerItem* CXTPTabManager::HitTest(CPoint pt) const {
  if (!m_rcControl.PtInRect(pt)) return nullptr;
  if (!m_rcHeader.IsRectEmpty() && !m_rcHeader.PtInRect(pt)) return nullptr;
  for (CXTPTabManagerItem* pItem : m_arrItems) {
    if (pItem->m_rcItem.PtInRect(pt) && pItem->IsEnabled() && pItem->IsVisible()) return pItem;
  }
  return nullptr;
}

int CXTPTabManager::GetItemsLength() const {
  CXTPTabPaintManager* pPaintManager = GetPaintManager();
  if (pPaintManager && pPaintManager->GetLayout() == xtpTabLayoutRotated && pPaintManager->GetAppearanceSet())
    return GetItemCount() * pPaintManager->GetAppearanceSet()->GetButtonHeight(this);
  int nLength = 0;
  for (CXTPTabManagerItem* pItem : m_arrItems) nLength += pItem->m_nLength;
  return nLength;
}

void CXTPTabManager::SetScrollOffset(int nOffset) {
  if (nOffset > 0) nOffset = 0;
  if (nOffset == m_nScrollOffset) return;
  m_nScrollOffset = nOffset;
  Reposition();
}

void CXTPTabManager::SetHighlight(BOOL bHighlight) {
  m_bHighlight = bHighlight;
  Reposition();
}

void CXTPTabManager::SetPosition(int nPosition) {
  CXTPTabPaintManager* pPaintManager = GetPaintManager();
  if (pPaintManager) pPaintManager->SetPosition(nPosition);
  Reposition();
}

CXTPTabManagerNavigateButton* CXTPTabManager::GetNavigateButton(int nIndex) const {
  if (nIndex < 0 || nIndex >= GetNavigateButtonCount()) return nullptr;
  return m_arrNavigateButtons[nIndex];
}

CXTPTabManagerNavigateButton* CXTPTabManager::FindNavigateButton(UINT nID) const {
  for (CXTPTabManagerNavigateButton* pButton : m_arrNavigateButtons)
    if (pButton->GetID() == nID) return pButton;
  return nullptr;
}

void CXTPTabManager::ResetRows() {
  m_arrRows.assign(1, ROW{0, GetItemCount() - 1});
  for (CXTPTabManagerItem* pItem : m_arrItems) pItem->m_nRow = 0;
}

void CXTPTabManager::SwapRows(int nRow1, int nRow2) {
  if (nRow1 == nRow2) return;
  std::swap(m_arrRows[nRow1], m_arrRows[nRow2]);
  for (int nRow : {nRow1, nRow2}) {
    for (int i = m_arrRows[nRow].nFirst; i <= m_arrRows[nRow].nLast; i++) m_arrItems[i]->m_nRow = nRow;
  }
}

void CXTPTabManager::UpdateHover(HWND hWnd, CPoint pt) {
  if (!XTPTabIsTopParentActive(hWnd) || IsMouseLocked()) return;
  CXTPTabPaintManager* pPaintManager = GetPaintManager();
  if (pPaintManager && pPaintManager->m_bHotTracking) {
    CXTPTabManagerItem* pHot = (pt.x == -1 && pt.y == -1) ? nullptr : HitTest(pt);
    if (pHot != m_pHot) {
      m_pHot = pHot;
      RedrawControl();
      if (pHot) {
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, hWnd, 0};
        ::TrackMouseEvent(&tme);
      }
    }
  }
  for (CXTPTabManagerNavigateButton* pButton : m_arrNavigateButtons) pButton->UpdateHover(hWnd, pt);
}

BOOL CXTPTabManager::PerformClick(HWND hWnd, CPoint pt, BOOL bButtonsOnly) {
  for (CXTPTabManagerNavigateButton* pButton : m_arrNavigateButtons) {
    if (pButton->GetRect().PtInRect(pt)) {
      pButton->PerformClick(hWnd, pt);
      return TRUE;
    }
  }
  if (bButtonsOnly) return FALSE;
  CXTPTabManagerItem* pItem = HitTest(pt);
  if (!pItem) return FALSE;
  if (IsAllowReorder())
    TrackReorder(hWnd, pt, pItem);
  else
    OnItemClick(pItem);
  return TRUE;
}

void CXTPTabManager::TrackReorder(HWND hWnd, CPoint pt, CXTPTabManagerItem* pItem) {
  CXTPTabManagerItem* pOldSelected = m_pSelected;
  m_pSelected = pItem;
  CXTPTabPaintManager* pPaintManager = GetPaintManager();
  if (pPaintManager && pPaintManager->m_bHotTracking) m_pHot = pItem;
  Reposition();

  // The positions at the start of the drag; swaps are judged against these.
  std::vector<CRect> snapshot;
  snapshot.reserve(m_arrItems.size());
  for (CXTPTabManagerItem* p : m_arrItems) snapshot.push_back(p->m_rcItem);

  // The item may be deleted by a message dispatched below; hold it until the end.
  pItem->InternalAddRef();
  ::SetCapture(hWnd);
  MSG msg;
  while (::GetCapture() == hWnd) {
    if (!XTPGetModalLoopMessage(msg)) break;
    if (::GetCapture() != hWnd) {
      ::TranslateMessage(&msg);
      ::DispatchMessage(&msg);
      break;
    }
    if (msg.message == WM_CANCELMODE || msg.message == WM_LBUTTONUP || msg.message == WM_RBUTTONDOWN) {
      if (msg.message == WM_LBUTTONUP && msg.hwnd == hWnd)
        pt = CPoint(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
      break;
    }
    if (msg.message == WM_KEYDOWN) {
      if (msg.wParam == VK_ESCAPE) break;
      continue;
    }
    if (msg.message == WM_MOUSEMOVE && msg.hwnd == hWnd) {
      pt = CPoint(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
      if (pItem->m_pTabManager != this) continue;
      const int nDragged = pItem->m_nIndex;
      for (int i = 0; i < static_cast<int>(snapshot.size()) && i < GetItemCount(); i++) {
        if (i == nDragged) continue;
        if (!snapshot[i].PtInRect(pt)) continue;
        std::swap(m_arrItems[i], m_arrItems[nDragged]);
        OnItemsChanged();
        break;
      }
      continue;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessage(&msg);
  }
  if (::GetCapture() == hWnd) ::ReleaseCapture();
  UpdateHover(hWnd, pt);
  const BOOL bStillHere = pItem->m_pTabManager == this;
  // The remembered selection may have been deleted meanwhile.
  BOOL bOldAlive = FALSE;
  for (CXTPTabManagerItem* p : m_arrItems)
    if (p == pOldSelected) bOldAlive = TRUE;
  m_pSelected = bOldAlive ? pOldSelected : nullptr;
  if (bStillHere) OnItemClick(pItem);
  pItem->InternalRelease();
}

BOOL CXTPTabManager::OnKeyDown(HWND hWnd, UINT nKey) {
  if (m_arrItems.empty()) return FALSE;
  if (hWnd && (::GetWindowLong(hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL)) {
    if (nKey == VK_LEFT)
      nKey = VK_RIGHT;
    else if (nKey == VK_RIGHT)
      nKey = VK_LEFT;
  }
  const BOOL bHorizontal = IsHorizontalPosition();
  const int nCount = GetItemCount();
  auto previous = [&]() {
    if (m_pSelected && m_pSelected->GetIndex() > 0) SelectItem(FindNextItem(m_pSelected->GetIndex(), -1));
  };
  auto next = [&]() {
    if (m_pSelected && m_pSelected->GetIndex() < nCount - 1) SelectItem(FindNextItem(m_pSelected->GetIndex(), +1));
  };
  switch (nKey) {
    case VK_HOME:
      SelectItem(FindNextItem(-1, +1));
      return TRUE;
    case VK_END:
      SelectItem(FindNextItem(nCount, -1));
      return TRUE;
    case VK_LEFT:
      if (bHorizontal) previous();
      return TRUE;
    case VK_RIGHT:
      if (bHorizontal) next();
      return TRUE;
    case VK_UP:
      if (!bHorizontal) previous();
      return TRUE;
    case VK_DOWN:
      if (!bHorizontal) next();
      return TRUE;
    default:
      return FALSE;
  }
}
