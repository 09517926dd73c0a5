#include "PaneSplitter.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CPaneSplitter, CStatic)

const wchar_t CPaneSplitter::kVertSection[] = L"splt\\init_v";
const wchar_t CPaneSplitter::kHorizSection[] = L"splt\\init_h";
const wchar_t CPaneSplitter::kVertValue[] = L"VertSplitPos";
const wchar_t CPaneSplitter::kHorizValue[] = L"HorizSplitPos";

BEGIN_MESSAGE_MAP(CPaneSplitter, CStatic)
  ON_WM_SIZE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_MOUSEMOVE()
  ON_WM_DESTROY()
  ON_WM_ERASEBKGND()
  ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

CPaneSplitter::CPaneSplitter() { m_brTracker.CreateSolidBrush(kTrackerColor); }

CPaneSplitter::~CPaneSplitter() = default;

BOOL CPaneSplitter::PreCreateWindow(CREATESTRUCT& cs) {
  // A static control sees the mouse only with SS_NOTIFY.
  cs.style |= SS_NOTIFY;
  return CStatic::PreCreateWindow(cs);
}

BOOL CPaneSplitter::Create(DWORD dwStyle, CWnd* pParent, CWnd* pPane1, CWnd* pPane2, UINT nID, const RECT& rect,
                           int nMin1, int nMin2) {
  m_nID = nID;
  // The mode bits are also static-control type bits (SS_CENTER, SS_RIGHT); the window is
  // created without them and they only choose the mode here.
  const DWORD dwMode = dwStyle & (kVertical | kHorizontal);
  if (!CStatic::Create(L"", (dwStyle & ~(kVertical | kHorizontal)) | SS_NOTIFY, rect, pParent, nID)) return FALSE;
  for (CWnd* pPane : {pPane1, pPane2}) {
    if (!pPane || !pPane->GetSafeHwnd()) continue;
    pPane->SetParent(this);
    pPane->SetOwner(pParent);
  }
  m_nMinLeft = m_nMinTop = nMin1;
  m_nMinRight = m_nMinBottom = nMin2;
  if (dwMode & kVertical) {
    m_pLeft = pPane1;
    m_pRight = pPane2;
    SetupVertical();
  } else if (dwMode & kHorizontal) {
    m_pTop = pPane1;
    m_pBottom = pPane2;
    SetupHorizontal();
  }
  return TRUE;
}

void CPaneSplitter::SetupVertical() {
  m_bVertical = TRUE;
  m_bHorizontal = FALSE;
  m_nLeftWidth = kInitialSize;
  LayoutVertical(kInitialSize + m_nBarWidth / 2);
}

void CPaneSplitter::SetupHorizontal() {
  m_bHorizontal = TRUE;
  m_bVertical = FALSE;
  m_nBottomHeight = kInitialSize;
  CRect rcClient;
  GetClientRect(&rcClient);
  LayoutHorizontal(rcClient.bottom - m_nBarWidth / 2 - kInitialSize);
}

void CPaneSplitter::MovePane(CWnd* pPane, const CRect& rc) {
  if (pPane && pPane->GetSafeHwnd()) pPane->MoveWindow(&rc, TRUE);
}

void CPaneSplitter::LayoutVertical(int x) {
  CRect rcClient;
  GetClientRect(&rcClient);
  m_rcVertBar.SetRect(x - m_nBarWidth, rcClient.top, x + m_nBarWidth, rcClient.bottom);
  m_rcLeft.SetRect(rcClient.left, rcClient.top, x - 2, rcClient.bottom);
  m_rcRight.SetRect(m_rcLeft.right + m_nBarWidth, rcClient.top, rcClient.right, rcClient.bottom);
  MovePane(m_pLeft, m_rcLeft);
  MovePane(m_pRight, m_rcRight);
}

void CPaneSplitter::LayoutHorizontal(int y) {
  CRect rcClient;
  GetClientRect(&rcClient);
  m_rcHorizBar.SetRect(0, y - m_nBarWidth, rcClient.right, y + m_nBarWidth);
  m_rcBottom.SetRect(rcClient.left, y + 2, rcClient.right, rcClient.bottom);
  m_rcTop.SetRect(rcClient.left, rcClient.top, rcClient.right, m_rcBottom.top - m_nBarWidth);
  MovePane(m_pBottom, m_rcBottom);
  MovePane(m_pTop, m_rcTop);
}

void CPaneSplitter::ClampX(int& x) {
  CRect rcClient;
  GetClientRect(&rcClient);
  x = std::min(x, static_cast<int>(rcClient.right) - m_nMinRight);
  x = std::max(x, static_cast<int>(rcClient.left) + m_nMinLeft);
}

void CPaneSplitter::ClampY(int& y) {
  CRect rcClient;
  GetClientRect(&rcClient);
  y = std::min(y, static_cast<int>(rcClient.bottom) - m_nMinBottom);
  y = std::max(y, static_cast<int>(rcClient.top) + m_nMinTop);
}

void CPaneSplitter::OnSize(UINT nType, int cx, int cy) {
  CStatic::OnSize(nType, cx, cy);
  if (m_bHorizontal) {
    if (m_bBottomCollapsed) {
      CRect rcClient;
      GetClientRect(&rcClient);
      m_rcTop = rcClient;
      MovePane(m_pTop, m_rcTop);
    } else {
      int y = cy - 2 - m_nBottomHeight;
      ClampY(y);
      LayoutHorizontal(y);
    }
  }
  if (m_bVertical) {
    int x = m_nLeftWidth + 2;
    ClampX(x);
    LayoutVertical(x);
  }
}

void CPaneSplitter::DrawTracker(BOOL bVertical, int nPos) {
  CWnd* pParent = GetParent();
  if (!pParent) return;
  // The bar is placed in the parent's window coordinates.
  CRect rcParentWindow;
  pParent->GetWindowRect(&rcParentWindow);
  const CRect& rcTracker = bVertical ? m_rcTrackerV : m_rcTrackerH;
  CPoint pt(nPos, nPos);
  ClientToScreen(&pt);
  // Without DCX_USESTYLE the parent's clip-children style is not applied, so the bar shows
  // over the panes too.
  HDC hDC = ::GetDCEx(pParent->GetSafeHwnd(), nullptr, DCX_WINDOW | DCX_CACHE);
  if (!hDC) return;
  HGDIOBJ hOld = ::SelectObject(hDC, m_brTracker.GetSafeHandle());
  if (bVertical) {
    ::PatBlt(hDC, pt.x - rcParentWindow.left - m_nBarWidth / 2, rcTracker.top - rcParentWindow.top, m_nBarWidth,
             rcTracker.Height(), PATINVERT);
  } else {
    ::PatBlt(hDC, rcTracker.left - rcParentWindow.left, pt.y - rcParentWindow.top - m_nBarWidth / 2,
             rcTracker.Width(), m_nBarWidth, PATINVERT);
  }
  ::SelectObject(hDC, hOld);
  ::ReleaseDC(pParent->GetSafeHwnd(), hDC);
}

void CPaneSplitter::OnLButtonDown(UINT nFlags, CPoint point) {
  if (m_bVertical && !m_rcVertBar.IsRectEmpty() && m_rcVertBar.PtInRect(point)) {
    GetWindowRect(&m_rcTrackerV);
    m_nStartX = m_nLastX = point.x;
    m_bDragV = TRUE;
    DrawTracker(TRUE, m_nLastX);
    SetCapture();
    m_bCapturedV = TRUE;
    m_hFocusBeforeDrag = ::SetFocus(GetSafeHwnd());
    ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
  } else if (m_bHorizontal && !m_rcHorizBar.IsRectEmpty() && m_rcHorizBar.PtInRect(point)) {
    GetWindowRect(&m_rcTrackerH);
    m_nStartY = m_nLastY = point.y;
    m_bDragH = TRUE;
    DrawTracker(FALSE, m_nLastY);
    SetCapture();
    m_bCapturedH = TRUE;
    m_hFocusBeforeDrag = ::SetFocus(GetSafeHwnd());
    ::SetCursor(::LoadCursorW(nullptr, IDC_SIZENS));
  }
  CStatic::OnLButtonDown(nFlags, point);
}

void CPaneSplitter::OnMouseMove(UINT nFlags, CPoint point) {
  if (m_bVertical && (m_bDragV || (!m_rcVertBar.IsRectEmpty() && m_rcVertBar.PtInRect(point))))
    ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
  else if (m_bHorizontal && (m_bDragH || (!m_rcHorizBar.IsRectEmpty() && m_rcHorizBar.PtInRect(point))))
    ::SetCursor(::LoadCursorW(nullptr, IDC_SIZENS));

  if (m_bDragV) {
    DrawTracker(TRUE, m_nLastX);
    int x = point.x;
    ClampX(x);
    m_rcTrackerV.OffsetRect(x - m_nLastX, 0);
    m_nLastX = x;
    DrawTracker(TRUE, m_nLastX);
  } else if (m_bDragH) {
    DrawTracker(FALSE, m_nLastY);
    int y = point.y;
    ClampY(y);
    m_rcTrackerH.OffsetRect(0, y - m_nLastY);
    m_nLastY = y;
    DrawTracker(FALSE, m_nLastY);
  }
  CStatic::OnMouseMove(nFlags, point);
}

void CPaneSplitter::OnLButtonUp(UINT nFlags, CPoint point) {
  if (m_bDragV && m_bCapturedV) {
    int x = point.x;
    ClampX(x);
    DrawTracker(TRUE, m_nLastX);
    LayoutVertical(x);
    m_nLeftWidth = m_rcLeft.Width();
    EndDrag();
  } else if (m_bDragH && m_bCapturedH) {
    int y = point.y;
    ClampY(y);
    DrawTracker(FALSE, m_nLastY);
    LayoutHorizontal(y);
    m_nBottomHeight = m_rcBottom.Height();
    EndDrag();
  }
  CStatic::OnLButtonUp(nFlags, point);
}

void CPaneSplitter::EndDrag() {
  m_bDragV = m_bDragH = FALSE;
  m_bCapturedV = m_bCapturedH = FALSE;
  m_bReleasing = TRUE;
  ::ReleaseCapture();
  m_bReleasing = FALSE;
}

void CPaneSplitter::CancelDrag() {
  if (m_bDragV) DrawTracker(TRUE, m_nLastX);
  if (m_bDragH) DrawTracker(FALSE, m_nLastY);
  m_bDragV = m_bDragH = FALSE;
  m_bCapturedV = m_bCapturedH = FALSE;
  m_bReleasing = TRUE;
  if (::GetCapture() == GetSafeHwnd()) ::ReleaseCapture();
  m_bReleasing = FALSE;
  if (m_hFocusBeforeDrag && ::IsWindow(m_hFocusBeforeDrag)) ::SetFocus(m_hFocusBeforeDrag);
  m_hFocusBeforeDrag = nullptr;
}

void CPaneSplitter::OnCaptureChanged(CWnd* pWnd) {
  // Another window took the mouse (a message box, Alt+Tab): the drag cannot finish, so it
  // ends as if cancelled and no inverted bar is left on the screen.
  if (!m_bReleasing && IsDragging()) CancelDrag();
  CStatic::OnCaptureChanged(pWnd);
}

BOOL CPaneSplitter::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE && IsDragging()) {
    CancelDrag();
    return TRUE;
  }
  return CStatic::PreTranslateMessage(pMsg);
}

void CPaneSplitter::CollapseBottom() {
  if (!m_bHorizontal || m_bBottomCollapsed || !m_pBottom) return;
  m_bBottomCollapsed = TRUE;
  m_rcHorizBar.SetRectEmpty();
  if (m_pBottom->GetSafeHwnd()) m_pBottom->ShowWindow(SW_HIDE);
  CRect rcClient;
  GetClientRect(&rcClient);
  m_rcTop = rcClient;
  MovePane(m_pTop, m_rcTop);
}

void CPaneSplitter::ExpandBottom() {
  if (!m_bHorizontal) return;
  m_bBottomCollapsed = FALSE;
  if (!m_rcBottom.IsRectEmpty()) m_nBottomHeight = m_rcBottom.Height();
  CRect rcClient;
  GetClientRect(&rcClient);
  LayoutHorizontal(rcClient.bottom - 2 - m_nBottomHeight);
  if (m_pBottom && m_pBottom->GetSafeHwnd()) m_pBottom->ShowWindow(SW_SHOW);
}

void CPaneSplitter::OnDestroy() {
  CStatic::OnDestroy();
  CWinApp* pApp = AfxGetApp();
  if (!pApp) return;
  CString strSection;
  if (!m_rcLeft.IsRectEmpty()) {
    strSection.Format(L"%s%d", kVertSection, static_cast<int>(m_nID));
    pApp->WriteProfileInt(strSection, kVertValue, m_rcLeft.right);
  }
  if (!m_rcBottom.IsRectEmpty()) {
    strSection.Format(L"%s%d", kHorizSection, static_cast<int>(m_nID));
    pApp->WriteProfileInt(strSection, kHorizValue, m_rcBottom.Height());
  }
}

BOOL CPaneSplitter::OnEraseBkgnd(CDC*) { return TRUE; }
