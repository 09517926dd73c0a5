// The tab control window: a tab manager hosted in a child window, with one page window per
// tab.
#include "XTPTabControl.h"

#include "XTPColorManager.h"
#include "XTPDrawHelpers.h"
#include "XTPImageManager.h"
#include "XTPTabInternal.h"

#if defined(XTP_TAB_TOOLTIP_CONTEXT)
#include "XTPToolTipContext.h"
#define XTP_TAB_HAS_TOOLTIP_CONTEXT 1
#endif

IMPLEMENT_DYNAMIC(CXTPTabControl, CWnd)

BEGIN_MESSAGE_MAP(CXTPTabControl, CWnd)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_WM_SIZE()
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_MOUSELEAVE()
  ON_WM_KEYDOWN()
  ON_WM_GETDLGCODE()
  ON_WM_SETFOCUS()
  ON_WM_KILLFOCUS()
  ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

// ---- Drop target ----------------------------------------------------------------------

DROPEFFECT CXTPTabControlDropTarget::DragOverAt(CPoint point) {
  CXTPTabPaintManager* pPaintManager = m_pControl->GetPaintManager();
  if (pPaintManager && pPaintManager->m_bSelectOnDragOver) {
    CXTPTabManagerItem* pItem = m_pControl->HitTest(point);
    if (pItem) m_pControl->SetSelectedItem(pItem);
  }
  return DROPEFFECT_NONE;
}

DROPEFFECT CXTPTabControlDropTarget::OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint point) { return DragOverAt(point); }

// ---- Construction ---------------------------------------------------------------------

CXTPTabControl::CXTPTabControl()
    : m_hwndActive(nullptr), m_pPaintManager(nullptr), m_pImageManager(nullptr), m_pDropTarget(nullptr), m_pToolTipContext(nullptr) {
  m_pPaintManager = new CXTPTabPaintManager();
  m_pPaintManager->SetThemeColors(TRUE);
  m_pPaintManager->m_bNoPrefix = FALSE;
  m_pPaintManager->AddHost(this);
  m_bAllowReorder = FALSE;
  m_pDropTarget = new CXTPTabControlDropTarget(this);
  m_pImageManager = new CXTPImageManager();
#ifdef XTP_TAB_HAS_TOOLTIP_CONTEXT
  m_pToolTipContext = new CXTPToolTipContext();
#endif
}

CXTPTabControl::~CXTPTabControl() {
  // The window goes first, so that no message reaches the parts released below.
  DestroyWindow();
  if (m_pPaintManager) {
    m_pPaintManager->RemoveHost(this);
    m_pPaintManager->InternalRelease();
    m_pPaintManager = nullptr;
  }
  if (m_pImageManager) {
    m_pImageManager->InternalRelease();
    m_pImageManager = nullptr;
  }
#ifdef XTP_TAB_HAS_TOOLTIP_CONTEXT
  if (m_pToolTipContext) m_pToolTipContext->InternalRelease();
#endif
  m_pToolTipContext = nullptr;
  if (m_pDropTarget) {
    m_pDropTarget->Revoke();
    delete m_pDropTarget;
    m_pDropTarget = nullptr;
  }
  // The pages are the owner's; only forget them.
  m_hwndActive = nullptr;
}

BOOL CXTPTabControl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW), nullptr, nullptr);
  if (!CWnd::Create(lpszClass, nullptr, dwStyle, rect, pParentWnd, nID)) return FALSE;
  m_pDropTarget->Register(this);
  return TRUE;
}

void CXTPTabControl::PreSubclassWindow() {
  CWnd::PreSubclassWindow();
  Reposition();
}

void CXTPTabControl::PostNcDestroy() { CWnd::PostNcDestroy(); }

CXTPTabManagerItem* CXTPTabControl::InsertItem(int nIndex, LPCTSTR lpszCaption, HWND hwndPage, int nImage) {
  CXTPTabManagerItem* pItem = CXTPTabManager::InsertItem(nIndex, nullptr);
  pItem->SetCaption(lpszCaption);
  pItem->SetHandle(hwndPage);
  pItem->SetImageIndex(nImage);
  Reposition();
  if (hwndPage && ::IsWindow(hwndPage)) ::ShowWindow(hwndPage, SW_HIDE);
  if (nIndex == 0) SetCurSel(0);
  return pItem;
}

// ---- The manager's window-dependent operations ----------------------------------------

void CXTPTabControl::Reposition() {
  if (!m_hWnd || !::IsWindow(m_hWnd) || !m_pPaintManager) return;
  CRect rc;
  ::GetClientRect(m_hWnd, &rc);
  HDC hDC = ::GetDC(m_hWnd);
  {
    CDC dc;
    dc.Attach(hDC);
    m_pPaintManager->RepositionTabControl(this, &dc, rc);
    dc.Detach();
  }
  ::ReleaseDC(m_hWnd, hDC);
  if (m_hwndActive && ::IsWindow(m_hwndActive)) {
    CRect rcPage = rc;
    m_pPaintManager->AdjustClientRect(this, rcPage);
    ::MoveWindow(m_hwndActive, rcPage.left, rcPage.top, rcPage.Width(), rcPage.Height(), TRUE);
  }
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CXTPTabControl::SetSelectedItem(CXTPTabManagerItem* pItem) {
  if (pItem != m_pSelected) {
    if (m_hwndActive && ::IsWindow(m_hwndActive)) ::ShowWindow(m_hwndActive, SW_HIDE);
    m_hwndActive = pItem ? pItem->GetHandle() : nullptr;
    if (m_hwndActive && ::IsWindow(m_hwndActive)) ::ShowWindow(m_hwndActive, SW_SHOW);
    CXTPTabManager::SetSelectedItem(pItem);
  }
  if (!m_hWnd || !::IsWindow(m_hWnd)) return;
  HWND hwndOwner = m_hWndOwner ? m_hWndOwner : ::GetParent(m_hWnd);
  if (!hwndOwner || !::IsWindow(hwndOwner)) return;
  NMHDR nm;
  nm.hwndFrom = m_hWnd;
  nm.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd));
  nm.code = static_cast<UINT>(TCN_SELCHANGE);
  ::SendMessage(hwndOwner, WM_NOTIFY, nm.idFrom, reinterpret_cast<LPARAM>(&nm));
}

void CXTPTabControl::SelectItem(CXTPTabManagerItem* pItem) {
  CXTPTabManager::SelectItem(pItem);
  if (m_hWnd && IsFocusHidden()) {
    HWND hwndParent = ::GetParent(m_hWnd);
    if (hwndParent) ::SendMessage(hwndParent, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
  }
}

void CXTPTabControl::SetPaintManager(CXTPTabPaintManager* pPaintManager) {
  if (!pPaintManager) return;
  if (pPaintManager != m_pPaintManager) {
    if (m_pPaintManager) {
      m_pPaintManager->RemoveHost(this);
      m_pPaintManager->InternalRelease();
    }
    m_pPaintManager = pPaintManager;
    m_pPaintManager->AddHost(this);
  }
  m_pPaintManager->RefreshMetrics();
  Reposition();
}

void CXTPTabControl::RedrawControl() {
  if (m_hWnd && ::IsWindow(m_hWnd)) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

BOOL CXTPTabControl::DrawIcon(CDC* pDC, CPoint pt, CXTPTabManagerItem* pItem, BOOL bDraw, CSize& szIcon) {
  if (!pItem) return m_pPaintManager->m_bShowIcons;
  if (pItem->GetImageIndex() == -1 || !m_pPaintManager->m_bShowIcons) return FALSE;
  CXTPImageManagerIcon* pIcon = m_pImageManager->GetImage(static_cast<UINT>(pItem->GetImageIndex()), szIcon.cx);
  if (!pIcon) return FALSE;
  if (!bDraw) return TRUE;
  if (pItem->IsEnabled()) {
    if (pItem == m_pHot)
      pIcon->Draw(pDC, pt, pIcon->GetHotIcon(), szIcon.cx, szIcon.cy);
    else if (pItem == m_pSelected)
      pIcon->Draw(pDC, pt, pIcon->GetCheckedIcon(), szIcon.cx, szIcon.cy);
    else
      pIcon->Draw(pDC, pt, pIcon->GetIcon(), szIcon.cx, szIcon.cy);
  } else {
    pIcon->Draw(pDC, pt, pIcon->GetDisabledIcon(TRUE), szIcon.cx, szIcon.cy);
  }
  return TRUE;
}

void CXTPTabControl::OnItemClick(CXTPTabManagerItem* pItem) {
  SetSelectedItem(pItem);
  if (!m_hwndActive || !::IsWindow(m_hwndActive) || ::GetFocus() == m_hWnd) return;
  HWND hwndFocus = ::GetFocus();
  if (hwndFocus && (hwndFocus == m_hwndActive || ::IsChild(m_hwndActive, hwndFocus))) return;
  HWND hwndNext = ::GetNextDlgTabItem(m_hwndActive, nullptr, FALSE);
  ::SetFocus(hwndNext ? hwndNext : m_hwndActive);
}

void CXTPTabControl::OnNavigateButtonClick(UINT nID) {
  if (nID == xtpTabNavigateButtonClose && m_pSelected) DeleteItem(m_pSelected->GetIndex());
}

BOOL CXTPTabControl::IsFocusHidden() const {
  HWND hwndParent = m_hWnd ? ::GetParent(m_hWnd) : nullptr;
  if (!hwndParent) return FALSE;
  const LRESULT nState = ::SendMessage(hwndParent, WM_QUERYUISTATE, 0, 0);
  return (nState & UISF_HIDEFOCUS) != 0;
}

BOOL CXTPTabControl::IsFocusVisible() const {
  if (!m_hWnd || !::IsWindow(m_hWnd)) return FALSE;
  if (!(::GetWindowLong(m_hWnd, GWL_STYLE) & WS_TABSTOP)) return FALSE;
  if (::GetFocus() != m_hWnd) return FALSE;
  return !IsFocusHidden();
}

// ---- Tooltips -------------------------------------------------------------------------

INT_PTR CXTPTabControl::OnToolHitTest(CPoint point, TOOLINFO* pTI) const {
  CXTPTabManagerItem* pItem = HitTest(point);
  if (!pItem) return -1;
  const int nMode = m_pPaintManager->GetToolTipMode();
  if (nMode == xtpTabToolTipNever) return -1;
  if (nMode == xtpTabToolTipShrunk && pItem->GetLength() >= pItem->GetNaturalLength()) return -1;
  const CString strTip = GetItemTooltip(pItem);
  if (strTip.IsEmpty()) return -1;
#ifdef XTP_TAB_HAS_TOOLTIP_CONTEXT
  if (m_pToolTipContext && pTI)
    m_pToolTipContext->FillInToolInfo(pTI, m_hWnd, pItem->GetRect(), static_cast<UINT>(pItem->GetIndex()), strTip,
                                      pItem->GetCaption(), strTip);
#else
  if (pTI && pTI->cbSize >= TTTOOLINFOW_V1_SIZE) {
    pTI->hwnd = m_hWnd;
    pTI->uId = static_cast<UINT_PTR>(pItem->GetIndex());
    pTI->rect = pItem->GetRect();
    const size_t nChars = static_cast<size_t>(strTip.GetLength()) + 1;
    pTI->lpszText = static_cast<LPWSTR>(calloc(nChars, sizeof(WCHAR)));
    if (pTI->lpszText) memcpy(pTI->lpszText, static_cast<LPCWSTR>(strTip), nChars * sizeof(WCHAR));
  }
#endif
  return pItem->GetIndex();
}

BOOL CXTPTabControl::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
#ifdef XTP_TAB_HAS_TOOLTIP_CONTEXT
  if (m_pToolTipContext) m_pToolTipContext->FilterToolTipMessage(this, message, wParam, lParam);
#endif
  return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}

// ---- Messages -------------------------------------------------------------------------

BOOL CXTPTabControl::OnEraseBkgnd(CDC*) { return TRUE; }

void CXTPTabControl::OnPaint() {
  CPaintDC dcPaint(this);
  CRect rc;
  ::GetClientRect(m_hWnd, &rc);
  CXTPBufferDC dc(dcPaint.m_hDC, rc);
  m_pPaintManager->DrawTabControl(this, &dc, rc);
}

void CXTPTabControl::OnSize(UINT nType, int cx, int cy) {
  CWnd::OnSize(nType, cx, cy);
  Reposition();
}

void CXTPTabControl::OnLButtonDown(UINT, CPoint point) {
  if ((GetStyle() & WS_TABSTOP) && m_pSelected && HitTest(point) == m_pSelected) SetFocus();
  PerformClick(m_hWnd, point, FALSE);
}

void CXTPTabControl::OnMouseMove(UINT nFlags, CPoint point) {
  UpdateHover(m_hWnd, point);
  CWnd::OnMouseMove(nFlags, point);
}

void CXTPTabControl::OnMouseLeave() { UpdateHover(m_hWnd, CPoint(-1, -1)); }

void CXTPTabControl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
  CXTPTabManager::OnKeyDown(m_hWnd, nChar);
  CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
}

UINT CXTPTabControl::OnGetDlgCode() {
  if (::GetFocus() == m_hWnd) return DLGC_WANTARROWS;
  return CWnd::OnGetDlgCode();
}

void CXTPTabControl::OnSetFocus(CWnd* pOldWnd) {
  CWnd::OnSetFocus(pOldWnd);
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CXTPTabControl::OnKillFocus(CWnd* pNewWnd) {
  CWnd::OnKillFocus(pNewWnd);
  ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CXTPTabControl::OnSysColorChange() {
  CWnd::OnSysColorChange();
  XTPRefreshColors();
  m_pPaintManager->RefreshMetrics();
  Reposition();
}
