// The title tip of grid cells.
#include "GridTitleTip.h"

IMPLEMENT_DYNAMIC(CGridTitleTip, CWnd)

BEGIN_MESSAGE_MAP(CGridTitleTip, CWnd)
  ON_WM_MOUSEMOVE()
  ON_WM_PAINT()
END_MESSAGE_MAP()

CGridTitleTip::CGridTitleTip() : m_dwDblClickMsecs(::GetDoubleClickTime()) {
  HINSTANCE hInst = AfxGetInstanceHandle();
  WNDCLASSW wndcls{};
  if (!::GetClassInfoW(hInst, GRID_TITLETIP_CLASSNAME, &wndcls)) {
    wndcls.style = CS_SAVEBITS;
    wndcls.lpfnWndProc = ::DefWindowProcW;
    wndcls.hInstance = hInst;
    wndcls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wndcls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1);
    wndcls.lpszClassName = GRID_TITLETIP_CLASSNAME;
    if (!::RegisterClassW(&wndcls)) AfxThrowResourceException();
  }
}

CGridTitleTip::~CGridTitleTip() {
  if (GetSafeHwnd()) DestroyWindow();
}

BOOL CGridTitleTip::Create(CWnd* pParentWnd) {
  if (m_bCreated) return TRUE;
  m_pParentWnd = pParentWnd;
  m_bCreated = CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, GRID_TITLETIP_CLASSNAME, nullptr, WS_BORDER | WS_POPUP,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr);
  return m_bCreated;
}

BOOL CGridTitleTip::DestroyWindow() {
  m_bCreated = FALSE;
  return CWnd::DestroyWindow();
}

void CGridTitleTip::Show(CRect rectTitle, LPCTSTR lpszTitleText, int xoffset, LPRECT lpHoverRect,
                         const LOGFONTW* lpLogFont, COLORREF crTextClr, COLORREF crBackClr) {
  if (!GetSafeHwnd() && !Create(m_pParentWnd)) return;
  if (rectTitle.IsRectEmpty() || IsWindowVisible() || !m_pParentWnd) return;

  m_rectHover = lpHoverRect ? CRect(lpHoverRect) : rectTitle;
  m_rectHover.right++;
  m_rectHover.bottom++;
  m_pParentWnd->ClientToScreen(&m_rectHover);
  ScreenToClient(&m_rectHover);

  // A tip only makes sense while this program is the one being used.
  if (!::GetFocus()) return;

  m_rectTitle = CRect(-xoffset - 1, -1, rectTitle.Width() - xoffset, rectTitle.Height() + 1);
  m_pParentWnd->ClientToScreen(&rectTitle);

  m_strText = CString(L" ") + lpszTitleText + L" ";
  m_strText.Replace(L";", L"\r\n");
  m_crText = crTextClr;
  m_crBack = crBackClr;

  m_Font.DeleteObject();
  if (lpLogFont) {
    m_Font.CreateFontIndirect(lpLogFont);
  } else if (CFont* pGridFont = m_pParentWnd->GetFont()) {
    LOGFONTW lf{};
    if (pGridFont->GetLogFont(&lf)) m_Font.CreateFontIndirect(&lf);
  }

  CClientDC dc(this);
  CFont* pOldFont = m_Font.GetSafeHandle() ? dc.SelectObject(&m_Font) : nullptr;
  CSize size;
  int nLines = 0;
  if (m_strText.Find(L"\r\n") >= 0) {
    // Several lines: a fixed line height, and a width by characters of the longest line.
    int nLongest = 0;
    int nStart = 0;
    for (int nBreak = m_strText.Find(L"\r\n"); nBreak >= 0; nBreak = m_strText.Find(L"\r\n", nStart)) {
      nLines++;
      nLongest = std::max(nLongest, nBreak - nStart + 1);
      nStart = nBreak + 2;
    }
    size = CSize(5 * nLongest, 15 * nLines);
  } else {
    size = dc.GetTextExtent(m_strText);
  }
  TEXTMETRICW tm{};
  dc.GetTextMetrics(&tm);
  size.cx += tm.tmOverhang;
  if (pOldFont) dc.SelectObject(pOldFont);

  CRect rectDisplay;
  rectDisplay.left = rectTitle.left + xoffset;
  rectDisplay.top = rectTitle.top;
  rectDisplay.right = rectDisplay.left + size.cx + xoffset;
  rectDisplay.bottom = rectDisplay.top + size.cy;

  if (rectTitle.right - xoffset < rectDisplay.right || nLines > 0) {
    SetWindowPos(&wndTop, rectDisplay.left, rectDisplay.top, size.cx + xoffset, size.cy,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    DrawTip(&dc);
    SetCapture();
  }
}

void CGridTitleTip::DrawTip(CDC* pDC) {
  CFont* pOldFont = m_Font.GetSafeHandle() ? pDC->SelectObject(&m_Font) : nullptr;
  if (m_crBack != CLR_DEFAULT) {
    CRect clip;
    pDC->GetClipBox(&clip);
    pDC->FillSolidRect(&clip, m_crBack);
  }
  if (m_crText != CLR_DEFAULT) pDC->SetTextColor(m_crText);
  pDC->SetBkMode(TRANSPARENT);
  CRect client;
  GetClientRect(&client);
  CRect textRect(0, 0, client.Width(), client.Height());
  pDC->DrawText(m_strText, &textRect, DT_NOPREFIX | DT_WORDBREAK);
  if (pOldFont) pDC->SelectObject(pOldFont);
}

void CGridTitleTip::OnPaint() {
  CPaintDC dc(this);
  DrawTip(&dc);
}

void CGridTitleTip::Hide() {
  if (!::IsWindow(GetSafeHwnd())) return;
  if (GetCapture() == this) ::ReleaseCapture();
  ShowWindow(SW_HIDE);
}

void CGridTitleTip::OnMouseMove(UINT nFlags, CPoint point) {
  if (m_rectHover.PtInRect(point)) {
    CWnd::OnMouseMove(nFlags, point);
    return;
  }
  Hide();
  // The pointer has left the cell: the window now under it gets the move.
  ClientToScreen(&point);
  CWnd* pWnd = WindowFromPoint(point);
  if (!pWnd || pWnd->GetSafeHwnd() == GetSafeHwnd()) pWnd = m_pParentWnd;
  if (!pWnd) return;
  const LRESULT hitTest = pWnd->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
  if (hitTest == HTCLIENT) {
    pWnd->ScreenToClient(&point);
    pWnd->PostMessage(WM_MOUSEMOVE, nFlags, MAKELPARAM(point.x, point.y));
  } else {
    pWnd->PostMessage(WM_NCMOUSEMOVE, hitTest, MAKELPARAM(point.x, point.y));
  }
}

void CGridTitleTip::ForwardMouse(UINT message, WPARAM wParam, CPoint screenPoint, bool bDoubleClick) {
  CWnd* pWnd = WindowFromPoint(screenPoint);
  if (!pWnd) return;
  if (pWnd->GetSafeHwnd() == GetSafeHwnd()) pWnd = m_pParentWnd;
  if (!pWnd) return;
  const LRESULT hitTest = pWnd->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(screenPoint.x, screenPoint.y));
  if (hitTest == HTCLIENT) {
    CPoint point = screenPoint;
    pWnd->ScreenToClient(&point);
    pWnd->PostMessage(bDoubleClick ? WM_LBUTTONDBLCLK : message, wParam, MAKELPARAM(point.x, point.y));
  } else {
    UINT ncMessage = WM_NCLBUTTONDOWN;
    if (message == WM_RBUTTONDOWN)
      ncMessage = WM_NCRBUTTONDOWN;
    else if (message == WM_MBUTTONDOWN)
      ncMessage = WM_NCMBUTTONDOWN;
    pWnd->PostMessage(bDoubleClick ? WM_LBUTTONDBLCLK : ncMessage, hitTest,
                      MAKELPARAM(screenPoint.x, screenPoint.y));
  }
}

BOOL CGridTitleTip::PreTranslateMessage(MSG* pMsg) {
  switch (pMsg->message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      Hide();
      if (m_pParentWnd) m_pParentWnd->PostMessage(pMsg->message, pMsg->wParam, pMsg->lParam);
      return TRUE;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      bool bDoubleClick = false;
      if (pMsg->message == WM_LBUTTONDOWN) {
        const DWORD dwTick = ::GetTickCount();
        bDoubleClick = m_dwLastLButtonDown != 0xFFFFFFFF && dwTick - m_dwLastLButtonDown <= m_dwDblClickMsecs;
        m_dwLastLButtonDown = dwTick;
      }
      Hide();
      CPoint point(GET_X_LPARAM(pMsg->lParam), GET_Y_LPARAM(pMsg->lParam));
      ::ClientToScreen(pMsg->hwnd, &point);
      if (!WindowFromPoint(point)) return CWnd::PreTranslateMessage(pMsg);
      ForwardMouse(pMsg->message, pMsg->wParam, point, bDoubleClick);
      return TRUE;
    }
    default:
      if (!::GetFocus()) {
        Hide();
        return TRUE;
      }
      return CWnd::PreTranslateMessage(pMsg);
  }
}
