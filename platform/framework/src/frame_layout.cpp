// Frame layout (WM_SIZEPARENT), the routing frame and the control bar base.
#include "framework.h"

#include <algorithm>

// ---------------------------------------------------------------------------------------
namespace {
thread_local CFrameWnd* t_pRoutingFrame = nullptr;
}

CFrameWnd* AFXAPI AfxGetRoutingFrame() { return t_pRoutingFrame; }

CPushRoutingFrame::CPushRoutingFrame(CFrameWnd* pNewFrame) : m_pOldFrame(t_pRoutingFrame) {
  t_pRoutingFrame = pNewFrame;
}

CPushRoutingFrame::~CPushRoutingFrame() { t_pRoutingFrame = m_pOldFrame; }

// ---------------------------------------------------------------------------------------
void AFXAPI AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect) {
  if (lpLayout == nullptr || lpLayout->hDWP == nullptr || hWnd == nullptr) return;
  // Compare with where the window is now, in its parent's client coordinates.
  CRect rcOld;
  ::GetWindowRect(hWnd, &rcOld);
  ::MapWindowPoints(nullptr, ::GetParent(hWnd), reinterpret_cast<LPPOINT>(&rcOld), 2);
  if (rcOld == *lpRect) return;
  lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, hWnd, nullptr, lpRect->left, lpRect->top,
                                    lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
                                    SWP_NOACTIVATE | SWP_NOZORDER);
}

void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag,
                          LPRECT lpRectParam, LPCRECT lpRectClient, BOOL bStretch) {
  AFX_SIZEPARENTPARAMS layout = {};
  layout.bStretch = bStretch;
  if (lpRectClient != nullptr) layout.rect = *lpRectClient;
  else ::GetClientRect(m_hWnd, &layout.rect);
  if ((nFlag & reposQuery) == 0) layout.hDWP = ::BeginDeferWindowPos(8);

  HWND hWndLeftOver = nullptr;
  for (HWND hChild = ::GetTopWindow(m_hWnd); hChild != nullptr;
       hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
    UINT nID = (UINT)::GetDlgCtrlID(hChild);
    if (nID == nIDLeftOver) hWndLeftOver = hChild;
    else if (nID >= nIDFirst && nID <= nIDLast)
      ::SendMessageW(hChild, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
  }

  if (nFlag & reposQuery) {
    if (lpRectParam != nullptr) {
      if (bStretch) *lpRectParam = layout.rect;
      else {
        lpRectParam->left = lpRectParam->top = 0;
        lpRectParam->right = layout.sizeTotal.cx;
        lpRectParam->bottom = layout.sizeTotal.cy;
      }
    }
    return;
  }

  if (nIDLeftOver != 0 && hWndLeftOver != nullptr && (nFlag & reposNoPosLeftOver) == 0) {
    CRect rect(layout.rect);
    if ((nFlag & reposExtra) && lpRectParam != nullptr) {
      rect.left += lpRectParam->left;
      rect.top += lpRectParam->top;
      rect.right -= lpRectParam->right;
      rect.bottom -= lpRectParam->bottom;
    }
    AfxRepositionWindow(&layout, hWndLeftOver, &rect);
  }
  if (layout.hDWP != nullptr) ::EndDeferWindowPos(layout.hDWP);
}

// ---------------------------------------------------------------------------------------
IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_WINDOWPOSCHANGING()
  ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
  ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdate)
  ON_MESSAGE(WM_HELPHITTEST, OnHelpHitTest)
END_MESSAGE_MAP()

CControlBar::CControlBar()
    : m_dwStyle(0),
      m_cxLeftBorder(6),
      m_cxRightBorder(6),
      m_cyTopBorder(2),
      m_cyBottomBorder(2),
      m_cxDefaultGap(2),
      m_nMRUWidth(32767),
      m_bAutoDelete(FALSE),
      m_pDockSite(nullptr),
      m_dwDockStyle(0),
      m_nStateFlags(0),
      m_nCount(0) {}

CControlBar::~CControlBar() {
  // A bar destroyed with its object still in the frame's list must leave it.
  if (m_pDockSite != nullptr) m_pDockSite->RemoveControlBar(this);
}

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom) {
  m_cxLeftBorder = cxLeft;
  m_cyTopBorder = cyTop;
  m_cxRightBorder = cxRight;
  m_cyBottomBorder = cyBottom;
}

void CControlBar::SetBorders(LPCRECT lpRect) {
  SetBorders(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}

CRect CControlBar::GetBorders() const {
  return CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder);
}

void CControlBar::SetBarStyle(DWORD dwStyle) {
  if (m_dwStyle == dwStyle) return;
  DWORD dwOld = m_dwStyle;
  m_dwStyle = dwStyle;
  OnBarStyleChange(dwOld, dwStyle);
}

void CControlBar::OnBarStyleChange(DWORD, DWORD) {}

CFrameWnd* CControlBar::GetDockingFrame() const {
  return m_pDockSite != nullptr ? m_pDockSite : GetParentFrame();
}

void CControlBar::DelayShow(BOOL bShow) {
  m_nStateFlags &= ~(delayHide | delayShow);
  const BOOL bVisible = (GetStyle() & WS_VISIBLE) != 0;
  if (bShow && !bVisible) m_nStateFlags |= delayShow;
  else if (!bShow && bVisible) m_nStateFlags |= delayHide;
}

BOOL CControlBar::IsVisible() const {
  if (m_nStateFlags & delayHide) return FALSE;
  return (m_nStateFlags & delayShow) || (GetStyle() & WS_VISIBLE);
}

DWORD CControlBar::RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout) {
  DWORD dwStyle = GetStyle();
  if (m_nStateFlags & (delayShow | delayHide)) {
    const BOOL bShow = (m_nStateFlags & delayShow) != 0;
    // A pass that only measures reports the future state without changing anything.
    if (lpLayout->hDWP != nullptr) {
      m_nStateFlags &= ~(delayShow | delayHide);
      ::ShowWindow(m_hWnd, bShow ? SW_SHOWNOACTIVATE : SW_HIDE);
    }
    dwStyle = bShow ? (dwStyle | WS_VISIBLE) : (dwStyle & ~WS_VISIBLE);
  }
  return dwStyle;
}

void CControlBar::CalcInsideRect(CRect& rect, BOOL bHorz) const {
  const DWORD dwStyle = m_dwStyle;
  if (dwStyle & CBRS_BORDER_LEFT) rect.left += ::GetSystemMetrics(SM_CXBORDER);
  if (dwStyle & CBRS_BORDER_TOP) rect.top += ::GetSystemMetrics(SM_CYBORDER);
  if (dwStyle & CBRS_BORDER_RIGHT) rect.right -= ::GetSystemMetrics(SM_CXBORDER);
  if (dwStyle & CBRS_BORDER_BOTTOM) rect.bottom -= ::GetSystemMetrics(SM_CYBORDER);
  // The gaps along the bar's length are the left/right borders for a horizontal bar and
  // the top/bottom ones for a vertical bar.
  if (bHorz) {
    rect.left += m_cxLeftBorder;
    rect.top += m_cyTopBorder;
    rect.right -= m_cxRightBorder;
    rect.bottom -= m_cyBottomBorder;
  } else {
    rect.left += m_cyTopBorder;
    rect.top += m_cxLeftBorder;
    rect.right -= m_cyBottomBorder;
    rect.bottom -= m_cxRightBorder;
  }
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
  CSize size(bStretch && bHorz ? 32767 : 0, bStretch && !bHorz ? 32767 : 0);
  CRect rect(0, 0, 0, 0);
  CalcInsideRect(rect, bHorz);
  // The inside of an empty rectangle is negative by exactly the borders' thickness.
  size.cx = bStretch && bHorz ? size.cx : -rect.Width();
  size.cy = bStretch && !bHorz ? size.cy : -rect.Height();
  return size;
}

CSize CControlBar::CalcDynamicLayout(int, DWORD nMode) {
  return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam) {
  auto* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
  const DWORD dwStyle = RecalcDelayShow(lpLayout);
  if (!(dwStyle & WS_VISIBLE) || !(m_dwStyle & CBRS_ALIGN_ANY)) return 0;

  CRect rect(lpLayout->rect);
  const CSize sizeAvail = rect.Size();
  const BOOL bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
  DWORD dwMode = lpLayout->bStretch ? LM_STRETCH : 0;
  dwMode |= bHorz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
  CSize size = CalcDynamicLayout(-1, dwMode);
  size.cx = std::min(size.cx, sizeAvail.cx);
  size.cy = std::min(size.cy, sizeAvail.cy);

  if (bHorz) {
    lpLayout->sizeTotal.cy += size.cy;
    lpLayout->sizeTotal.cx = std::max(lpLayout->sizeTotal.cx, size.cx);
    if (m_dwStyle & CBRS_ALIGN_TOP) {
      lpLayout->rect.top += size.cy;
    } else {
      rect.top = rect.bottom - size.cy;
      lpLayout->rect.bottom -= size.cy;
    }
  } else {
    lpLayout->sizeTotal.cx += size.cx;
    lpLayout->sizeTotal.cy = std::max(lpLayout->sizeTotal.cy, size.cy);
    if (m_dwStyle & CBRS_ALIGN_LEFT) {
      lpLayout->rect.left += size.cx;
    } else {
      rect.left = rect.right - size.cx;
      lpLayout->rect.right -= size.cx;
    }
  }
  rect.right = rect.left + size.cx;
  rect.bottom = rect.top + size.cy;
  AfxRepositionWindow(lpLayout, m_hWnd, &rect);
  return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM) {
  // A pending DelayShow needs a layout pass of the frame.
  if (m_nStateFlags & (delayHide | delayShow)) {
    if (CFrameWnd* pFrame = GetDockingFrame()) pFrame->DelayRecalcLayout();
  }
  if (!(GetStyle() & WS_VISIBLE)) return 0;
  // Commands of the bar go where the frame's commands go: the owner when one is set.
  CWnd* pOwner = GetOwner();
  CFrameWnd* pTarget = (pOwner != nullptr && pOwner->IsFrameWnd())
                           ? reinterpret_cast<CFrameWnd*>(pOwner)
                           : GetParentFrame();
  if (pTarget != nullptr) OnUpdateCmdUI(pTarget, (BOOL)wParam);
  return 0;
}

LRESULT CControlBar::OnInitialUpdate(WPARAM, LPARAM) {
  // Bars show their commands' state before the first idle pass.
  return OnIdleUpdateCmdUI(TRUE, 0);
}

LRESULT CControlBar::OnHelpHitTest(WPARAM, LPARAM) { return GetDlgCtrlID() | 0x50000; }

void CControlBar::OnWindowPosChanging(WINDOWPOS* lpWndPos) {
  CWnd::OnWindowPosChanging(lpWndPos);
  // A bar hidden or shown behind the frame's back needs a new frame layout.
  if (lpWndPos->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) {
    if (CFrameWnd* pFrame = GetDockingFrame()) pFrame->DelayRecalcLayout();
  }
}

int CControlBar::OnCreate(LPCREATESTRUCT lpcs) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  m_pDockSite = GetParentFrame();
  if (m_pDockSite != nullptr) m_pDockSite->AddControlBar(this);
  return 0;
}

void CControlBar::OnDestroy() {
  if (m_pDockSite != nullptr) {
    m_pDockSite->RemoveControlBar(this);
    m_pDockSite = nullptr;
  }
  CWnd::OnDestroy();
}

void CControlBar::PostNcDestroy() {
  if (m_bAutoDelete) delete this;
}

BOOL CControlBar::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CWnd::PreCreateWindow(cs)) return FALSE;
  // The bar styles never reach Windows: Create/CreateEx keep them in m_dwStyle.
  cs.style |= WS_CLIPSIBLINGS;
  return TRUE;
}

LRESULT CControlBar::WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) {
  // Commands and notifications of the bar's child windows belong to the bar's owner,
  // so that buttons placed on a bar reach the frame's command routing.
  if (nMsg == WM_COMMAND || nMsg == WM_NOTIFY || nMsg == WM_DRAWITEM || nMsg == WM_MEASUREITEM) {
    LRESULT lResult = 0;
    if (OnWndMsg(nMsg, wParam, lParam, &lResult)) return lResult;
    CWnd* pOwner = GetOwner();
    if (pOwner != nullptr && pOwner->m_hWnd != nullptr &&
        (nMsg != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->hwndFrom != m_hWnd))
      return pOwner->SendMessage(nMsg, wParam, lParam);
  }
  return CWnd::WindowProc(nMsg, wParam, lParam);
}

INT_PTR CControlBar::OnToolHitTest(CPoint point, TTTOOLINFOW* pTI) const {
  HWND hChild = ::ChildWindowFromPointEx(m_hWnd, point, CWP_SKIPINVISIBLE);
  if (hChild == nullptr || hChild == m_hWnd) return -1;
  const int nID = ::GetDlgCtrlID(hChild);
  if (nID == 0 || nID == -1) return -1;
  if (pTI != nullptr) {
    pTI->cbSize = TTTOOLINFOW_V2_SIZE;
    pTI->hwnd = m_hWnd;
    pTI->uId = reinterpret_cast<UINT_PTR>(hChild);
    pTI->uFlags |= TTF_IDISHWND;
    pTI->lpszText = LPSTR_TEXTCALLBACKW;
  }
  return nID;
}

void CControlBar::DoPaint(CDC* pDC) {
  CRect rect;
  GetClientRect(&rect);
  DrawBorders(pDC, rect);
  DrawGripper(pDC, rect);
}

void CControlBar::DrawBorders(CDC* pDC, CRect& rect) {
  const DWORD dwStyle = m_dwStyle;
  if (!(dwStyle & CBRS_BORDER_ANY)) return;
  UINT nEdges = 0;
  if (dwStyle & CBRS_BORDER_LEFT) nEdges |= BF_LEFT;
  if (dwStyle & CBRS_BORDER_TOP) nEdges |= BF_TOP;
  if (dwStyle & CBRS_BORDER_RIGHT) nEdges |= BF_RIGHT;
  if (dwStyle & CBRS_BORDER_BOTTOM) nEdges |= BF_BOTTOM;
  ::DrawEdge(pDC->m_hDC, &rect, (dwStyle & CBRS_BORDER_3D) ? EDGE_ETCHED : BDR_SUNKENOUTER,
             nEdges | BF_ADJUST);
}

void CControlBar::DrawGripper(CDC* pDC, const CRect& rect) {
  if (!(m_dwStyle & CBRS_GRIPPER)) return;
  CRect rcGrip(rect.left + 2, rect.top + 3, rect.left + 5, rect.bottom - 3);
  ::DrawEdge(pDC->m_hDC, &rcGrip, BDR_RAISEDINNER, BF_RECT);
}
