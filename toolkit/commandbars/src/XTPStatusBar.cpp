// The status bar: panes as objects, their layout over the common status control, texts,
// command update, tooltips and drawing through the paint manager in use.
#include <framework.h>

#include "XTPColorManager.h"
#include "XTPCommandBars.h"
#include "XTPImageManager.h"
#include "XTPPaintManager.h"
#include "XTPStatusBar.h"
#include "XTPToolTipContext.h"

IMPLEMENT_DYNAMIC(CXTPStatusBarPane, CCmdTarget)
IMPLEMENT_DYNAMIC(CXTPStatusBar, CControlBar)
IMPLEMENT_DYNCREATE(CXTPStatusBarPaneWnd, CWnd)

namespace {

const UINT kTextPending = 0x01;

// What a pane shows inside its rectangle: background colour, icon and text, drawn by the
// paint manager in use; without one (the bar draws as the common control) here.
void DrawPaneContent(CXTPPaintManager* pPaintManager, CDC* pDC, CRect rc, CXTPStatusBarPane* pPane) {
  if (pPaintManager != NULL) {
    pPaintManager->DrawStatusBarPane(pDC, rc, pPane);
    return;
  }
  if (pPane->GetBackgroundColor() != (COLORREF)-1) pDC->FillSolidRect(rc, pPane->GetBackgroundColor());
  CRect rcText(rc);
  rcText.DeflateRect(::GetSystemMetrics(SM_CXEDGE), 0);
  if (CXTPImageManagerIcon* pIcon = pPane->GetImage()) {
    const int cy = 16;
    pIcon->Draw(pDC, CPoint(rcText.left, rc.top + (rc.Height() - cy) / 2));
    rcText.left += 16 + 2;
  }
  if (pPane->GetStyle() & SBPS_DISABLED) return;  // a disabled pane keeps its text but shows none
  CFont* pFont = pPane->GetTextFont();
  CFont* pOldFont = pFont != NULL ? pDC->SelectObject(pFont) : NULL;
  pDC->SetBkMode(TRANSPARENT);
  pDC->SetTextColor(pPane->GetTextColor() != (COLORREF)-1 ? pPane->GetTextColor() : ::GetSysColor(COLOR_BTNTEXT));
  UINT nFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
  if (pPane->GetTextAlignment() == DT_CENTER) nFormat |= DT_CENTER;
  if (pPane->GetTextAlignment() == DT_RIGHT) nFormat |= DT_RIGHT;
  CString strText = pPane->GetText();
  pDC->DrawText(strText, rcText, nFormat);
  if (pOldFont != NULL) pDC->SelectObject(pOldFont);
}

// The size grip in the bottom-right corner of the client; like the entries, the bar draws
// it itself until the themes draw grippers (CXTPPaintManager::DrawStatusBarGripper).
void DrawGripperContent(CXTPPaintManager* /*pPaintManager*/, CDC* pDC, CRect rcClient) {
  const int cx = ::GetSystemMetrics(SM_CXVSCROLL), cy = ::GetSystemMetrics(SM_CYHSCROLL);
  CRect rc(rcClient.right - cx, rcClient.bottom - cy, rcClient.right, rcClient.bottom);
  pDC->DrawFrameControl(rc, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

// Command update of one pane.
class CStatusPaneCmdUI : public CCmdUI {
 public:
  CXTPStatusBar* pBar = NULL;
  void Enable(BOOL bOn) override {
    m_bEnableChanged = TRUE;
    const UINT nOld = pBar->GetPaneStyle(m_nIndex);
    pBar->SetPaneStyle(m_nIndex, bOn ? (nOld & ~SBPS_DISABLED) : (nOld | SBPS_DISABLED));
  }
  void SetCheck(int nCheck) override {
    const UINT nOld = pBar->GetPaneStyle(m_nIndex);
    pBar->SetPaneStyle(m_nIndex, nCheck ? (nOld | SBPS_POPOUT) : (nOld & ~SBPS_POPOUT));
  }
  void SetText(LPCTSTR lpszText) override { pBar->SetPaneText(m_nIndex, lpszText, TRUE); }
};

}  // namespace

// ---------------------------------------------------------------------------------------
CXTPStatusBarPane::CXTPStatusBarPane()
    : m_nID(0),
      m_cxText(0),
      m_nStyle(0),
      m_nFlags(0),
      m_bVisible(TRUE),
      m_clrText((COLORREF)-1),
      m_clrBackground((COLORREF)-1),
      m_hWndPane(NULL),
      m_bAutoDeleteWnd(FALSE),
      m_nAlignment(0),
      m_pStatusBar(NULL),
      m_nIndex(-1),
      m_nVisibleIndex(-1),
      m_nIconId(-1),
      m_pWndPaneObject(NULL) {}

CXTPStatusBarPane::~CXTPStatusBarPane() {
  if (m_bAutoDeleteWnd && m_hWndPane != NULL) {
    if (::IsWindow(m_hWndPane)) ::DestroyWindow(m_hWndPane);
    delete m_pWndPaneObject;  // kept from the start: the window may already be gone
  }
}

CFont* CXTPStatusBarPane::GetTextFont() {
  if (m_fntText.GetSafeHandle() != NULL) return &m_fntText;
  return m_pStatusBar != NULL ? m_pStatusBar->GetFont() : NULL;
}

CXTPImageManagerIcon* CXTPStatusBarPane::GetImage() {
  if (m_nIconId == -1) return NULL;
  CXTPImageManager* pImages = m_pStatusBar != NULL ? m_pStatusBar->GetImageManager() : NULL;
  return pImages != NULL ? pImages->GetImage((UINT)m_nIconId, 0) : NULL;
}

void CXTPStatusBarPane::Draw(CDC* pDC, CRect rc) {
  DrawPaneContent(m_pStatusBar != NULL ? m_pStatusBar->GetPaintManager() : NULL, pDC, rc, this);
}

void CXTPStatusBarPane::SetVisible(BOOL bVisible) {
  if (m_bVisible == bVisible) return;
  m_bVisible = bVisible;
  if (m_hWndPane != NULL && ::IsWindow(m_hWndPane)) ::ShowWindow(m_hWndPane, bVisible ? SW_SHOWNA : SW_HIDE);
  m_nFlags |= kTextPending;
  if (m_pStatusBar != NULL) m_pStatusBar->UpdateAllPanes(TRUE, TRUE);
}

void CXTPStatusBarPane::SetChildWindow(HWND hWnd, BOOL bAutoDelete) {
  if (m_bAutoDeleteWnd && m_hWndPane != NULL && m_hWndPane != hWnd) {
    if (::IsWindow(m_hWndPane)) ::DestroyWindow(m_hWndPane);
    delete m_pWndPaneObject;
  }
  m_hWndPane = hWnd;
  m_bAutoDeleteWnd = bAutoDelete;
  m_pWndPaneObject = bAutoDelete && hWnd != NULL ? CWnd::FromHandlePermanent(hWnd) : NULL;
  if (m_pStatusBar != NULL) m_pStatusBar->PositionControls();
}

// ---------------------------------------------------------------------------------------
CXTPStatusBar::CXTPStatusBar()
    : m_nMinHeight(0), m_bUsePaintManager(TRUE), m_pCommandBars(NULL), m_bFlag(TRUE), m_pToolTipContext(NULL) {
  NONCLIENTMETRICSW ncm = {};
  ncm.cbSize = sizeof(ncm);
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
    m_fontStatus.CreateFontIndirect(&ncm.lfStatusFont);
  const bool bModern = LOBYTE(LOWORD(::GetVersion())) > 3;
  m_cxLeftBorder = bModern ? 0 : 2;
  m_cxRightBorder = bModern ? 0 : 2;
  m_cyBottomBorder = bModern ? 0 : 1;
  m_cyTopBorder = 2;
  m_pToolTipContext = new CXTPToolTipContext();
}

CXTPStatusBar::~CXTPStatusBar() {
  RemoveAll();
  if (m_pToolTipContext != NULL) m_pToolTipContext->InternalRelease();
  m_fontStatus.DeleteObject();
}

BOOL CXTPStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  return CreateEx(pParentWnd, 0, dwStyle, nID);
}

BOOL CXTPStatusBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID) {
  m_dwStyle = dwStyle & 0x40FFFF;
  DWORD dwWinStyle = (dwStyle & 0xFFBF0000) | 0x4E | dwCtrlStyle;
  if (pParentWnd != NULL && (pParentWnd->GetStyle() & WS_THICKFRAME)) dwWinStyle |= SBARS_SIZEGRIP;
  if (!AfxDeferRegisterClass(ICC_BAR_CLASSES)) return FALSE;
  return CWnd::CreateEx(0, STATUSCLASSNAMEW, NULL, dwWinStyle, CRect(0, 0, 0, 0), pParentWnd, nID, NULL);
}

BOOL CXTPStatusBar::PreCreateWindow(CREATESTRUCT& cs) {
  // A bottom bar with a top border loses its border bits on current systems.
  if (LOBYTE(LOWORD(::GetVersion())) > 3 && (m_dwStyle & 0xFF00) == 0x8200) m_dwStyle &= ~0xF80;
  return CControlBar::PreCreateWindow(cs);
}

// ---------------------------------------------------------------------------------------
int CXTPStatusBar::CalcPaneTextWidth(CXTPStatusBarPane* pPane) {
  int cx = 0;
  CString strText = pPane->GetText();
  HDC hDC = ::GetDC(m_hWnd);
  if (hDC != NULL) {
    CFont* pFont = pPane->GetTextFont();
    HGDIOBJ hOld = ::SelectObject(hDC, pFont != NULL && pFont->GetSafeHandle() ? (HGDIOBJ)pFont->GetSafeHandle()
                                                                               : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE size = {};
    ::GetTextExtentPoint32W(hDC, strText, strText.GetLength(), &size);
    cx = size.cx;
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(m_hWnd, hDC);
  }
  if (pPane->GetImage() != NULL) cx += (cx > 0 ? 2 : 0) + 16;
  return cx;
}

CXTPStatusBarPane* CXTPStatusBar::AddIndicator(UINT nID, int nIndex) {
  if (nIndex < 0) nIndex = GetPaneCount();
  if (nIndex > GetPaneCount()) return NULL;
  CXTPStatusBarPane* pPane = new CXTPStatusBarPane();
  pPane->m_nID = nID;
  pPane->m_pStatusBar = this;
  pPane->m_nFlags |= kTextPending;
  if (nID != 0) {
    CString strText;
    strText.LoadString(nID);
    pPane->m_strText = strText;
    pPane->m_cxText = CalcPaneTextWidth(pPane);
  }
  m_arrPanes.InsertAt(nIndex, pPane);
  UpdateAllPanes(TRUE, TRUE);
  return pPane;
}

BOOL CXTPStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
  RemoveAll();
  BOOL bResult = TRUE;
  if (lpIDArray != NULL) {
    for (int i = 0; i < nIDCount; ++i) {
      const UINT nID = lpIDArray[i];
      CXTPStatusBarPane* pPane = new CXTPStatusBarPane();
      pPane->m_nID = nID;
      pPane->m_pStatusBar = this;
      pPane->m_nFlags |= kTextPending;
      if (nID != 0) {
        CString strText;
        if (!strText.LoadString(nID)) {
          pPane->InternalRelease();
          bResult = FALSE;
          break;
        }
        pPane->m_strText = strText;
        pPane->m_cxText = CalcPaneTextWidth(pPane);
      } else {
        pPane->m_cxText = ::GetSystemMetrics(SM_CXSCREEN) / 4;
        if (i == 0) pPane->m_nStyle |= SBPS_STRETCH | SBPS_NOBORDERS;
      }
      m_arrPanes.Add(pPane);
    }
  }
  UpdateAllPanes(TRUE, TRUE);
  return bResult;
}

void CXTPStatusBar::RemoveAll() {
  for (INT_PTR i = 0; i < m_arrPanes.GetSize(); ++i) {
    CXTPStatusBarPane* pPane = m_arrPanes[i];
    pPane->m_pStatusBar = NULL;
    pPane->InternalRelease();
  }
  m_arrPanes.RemoveAll();
}

CXTPStatusBarPane* CXTPStatusBar::GetPane(int nIndex) const {
  if (nIndex < 0 || nIndex >= GetPaneCount()) return NULL;
  return m_arrPanes[nIndex];
}

int CXTPStatusBar::CommandToIndex(UINT nIDFind) const {
  for (int i = 0; i < GetPaneCount(); ++i)
    if (m_arrPanes[i]->m_nID == nIDFind) return i;
  return -1;
}

CXTPStatusBarPane* CXTPStatusBar::FindPane(UINT nID) const { return GetPane(CommandToIndex(nID)); }

int CXTPStatusBar::GetVisiblePaneCount() const {
  int n = 0;
  for (int i = 0; i < GetPaneCount(); ++i)
    if (m_arrPanes[i]->m_bVisible) ++n;
  return n;
}

UINT CXTPStatusBar::GetItemID(int nIndex) const {
  CXTPStatusBarPane* pPane = GetPane(nIndex);
  return pPane != NULL ? pPane->m_nID : 0;
}

UINT CXTPStatusBar::GetPaneStyle(int nIndex) const {
  CXTPStatusBarPane* pPane = GetPane(nIndex);
  return pPane != NULL ? pPane->m_nStyle : 0;
}

CString CXTPStatusBar::GetPaneText(int nIndex) const {
  CXTPStatusBarPane* pPane = GetPane(nIndex);
  return pPane != NULL ? pPane->m_strText : CString();
}

int CXTPStatusBar::GetPaneWidth(int nIndex) const {
  CXTPStatusBarPane* pPane = GetPane(nIndex);
  return pPane != NULL ? pPane->m_cxText : 0;
}

void CXTPStatusBar::SetPaneWidth(int nIndex, int cxText) {
  CXTPStatusBarPane* pPane = GetPane(nIndex);
  if (pPane == NULL || cxText < 0 || pPane->m_cxText == cxText) return;
  pPane->m_cxText = cxText;
  pPane->m_nFlags |= kTextPending;
  UpdateAllPanes(TRUE, TRUE);
}

void CXTPStatusBar::SetPaneStyle(int nIndex, UINT nStyle) {
  CXTPStatusBarPane* pPane = GetPane(nIndex);
  if (pPane == NULL || pPane->m_nStyle == nStyle) return;
  const BOOL bStretchChanged = ((pPane->m_nStyle ^ nStyle) & SBPS_STRETCH) != 0;
  pPane->m_nStyle = nStyle;
  if (bStretchChanged) UpdateAllPanes(TRUE, FALSE);
  pPane->m_nFlags |= kTextPending;
  SetPaneText(nIndex, pPane->m_strText, TRUE);
}

BOOL CXTPStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate) {
  CXTPStatusBarPane* pPane = GetPane(nIndex);
  if (pPane == NULL) return FALSE;
  CString strNew = lpszNewText != NULL ? lpszNewText : _T("");
  if ((pPane->m_nFlags & kTextPending) == 0 && pPane->m_strText == strNew) return TRUE;
  pPane->m_strText = strNew;
  if (!pPane->m_bVisible) return FALSE;
  if (bUpdate) {
    if (::IsWindow(m_hWnd) && pPane->m_nVisibleIndex >= 0) {
      pPane->m_nFlags &= ~kTextPending;
      const WPARAM wParam = (WPARAM)(pPane->m_nVisibleIndex | (LOWORD(pPane->m_nStyle) & 0xFF00));
      const BOOL bHidden = (pPane->m_nStyle & SBPS_DISABLED) != 0;
      DefWindowProc(SB_SETTEXTW, wParam, (LPARAM)(bHidden ? _T("") : (LPCTSTR)pPane->m_strText));
      Invalidate(FALSE);
    } else {
      pPane->m_nFlags |= kTextPending;  // sent once the window is there
    }
  } else {
    pPane->m_nFlags |= kTextPending;
  }
  return TRUE;
}

BOOL CXTPStatusBar::HasSizeGrip() const {
  if (!::IsWindow(m_hWnd) || (GetStyle() & SBARS_SIZEGRIP) == 0) return FALSE;
  CWnd* pParent = GetParent();
  return pParent == NULL || !pParent->IsZoomed();
}

void CXTPStatusBar::UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText) {
  if (!::IsWindow(m_hWnd)) return;
  if (bUpdateRects) {
    CRect rect;
    GetWindowRect(rect);
    rect.OffsetRect(-rect.left, -rect.top);
    CalcInsideRect(rect, TRUE);
    int borders[3] = {0, 0, 0};
    DefWindowProc(SB_GETBORDERS, 0, (LPARAM)borders);
    if (HasSizeGrip()) rect.right -= 2 * ::GetSystemMetrics(SM_CXBORDER) + borders[0] + ::GetSystemMetrics(SM_CXVSCROLL);
    int nVisible = 0, nStretch = 0, nUsed = 0;
    for (int i = 0; i < GetPaneCount(); ++i) {
      CXTPStatusBarPane* pPane = m_arrPanes[i];
      pPane->m_nIndex = i;
      const int nVisibleIndex = pPane->m_bVisible ? nVisible++ : -1;
      // A pane that moves to another part of the control has to send its text there.
      if (nVisibleIndex != pPane->m_nVisibleIndex) pPane->m_nFlags |= kTextPending;
      pPane->m_nVisibleIndex = nVisibleIndex;
      if (!pPane->m_bVisible) continue;
      if (pPane->m_nStyle & SBPS_STRETCH) ++nStretch;
      nUsed += pPane->m_cxText + borders[2] + 6;
    }
    int nExtra = rect.Width() + borders[2] - nUsed;
    CArray<int, int> edges;
    int nRight = borders[0];
    for (int i = 0; i < GetPaneCount(); ++i) {
      CXTPStatusBarPane* pPane = m_arrPanes[i];
      if (!pPane->m_bVisible) continue;
      nRight += pPane->m_cxText + 6;
      if ((pPane->m_nStyle & SBPS_STRETCH) && nExtra > 0 && nStretch > 0) {
        const int nShare = nExtra / nStretch;
        nRight += nShare;
        nExtra -= nShare;
      }
      if (pPane->m_nStyle & SBPS_STRETCH) --nStretch;
      edges.Add(nRight);
      nRight += borders[2];
    }
    DefWindowProc(SB_SETPARTS, (WPARAM)edges.GetSize(), (LPARAM)(edges.GetSize() ? edges.GetData() : NULL));
    PositionControls();
  }
  if (bUpdateText) {
    for (int i = 0; i < GetPaneCount(); ++i) {
      CXTPStatusBarPane* pPane = m_arrPanes[i];
      if (pPane->m_bVisible && (pPane->m_nFlags & kTextPending)) SetPaneText(i, pPane->m_strText, TRUE);
    }
  }
}

void CXTPStatusBar::PositionControls() {
  if (!::IsWindow(m_hWnd)) return;
  const int cxEdge = ::GetSystemMetrics(SM_CXEDGE), cyEdge = ::GetSystemMetrics(SM_CYEDGE);
  for (int i = 0; i < GetPaneCount(); ++i) {
    CXTPStatusBarPane* pPane = m_arrPanes[i];
    if (pPane->m_hWndPane == NULL || !::IsWindow(pPane->m_hWndPane)) continue;
    CRect rc;
    GetItemRect(i, rc);
    if ((pPane->m_nStyle & SBPS_NOBORDERS) == 0) rc.DeflateRect(cxEdge, cyEdge);
    ::SetWindowPos(pPane->m_hWndPane, NULL, rc.left, rc.top, rc.Width(), rc.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void CXTPStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const {
  if (lpRect == NULL) return;
  ::SetRectEmpty(lpRect);
  CXTPStatusBarPane* pPane = GetPane(nIndex);
  if (pPane == NULL || !pPane->m_bVisible || pPane->m_nVisibleIndex < 0 || !::IsWindow(m_hWnd)) return;
  if (!const_cast<CXTPStatusBar*>(this)->DefWindowProc(SB_GETRECT, (WPARAM)pPane->m_nVisibleIndex, (LPARAM)lpRect)) {
    ::SetRectEmpty(lpRect);
    return;
  }
  if (pPane->m_nVisibleIndex == GetVisiblePaneCount() - 1) {
    if (pPane->m_nStyle & SBPS_STRETCH) {
      CRect rcClient;
      GetClientRect(rcClient);
      lpRect->right = rcClient.right;
      if (HasSizeGrip()) lpRect->right -= ::GetSystemMetrics(SM_CXSMICON) + ::GetSystemMetrics(SM_CXEDGE);
    } else {
      lpRect->right = lpRect->left + pPane->m_cxText + 3 * ::GetSystemMetrics(SM_CXEDGE);
    }
  }
}

// ---------------------------------------------------------------------------------------
// The command bars' own paint and image managers are not reachable yet (their accessors
// come with the command bars' bodies); until then the global ones serve every bar.
CXTPPaintManager* CXTPStatusBar::GetPaintManager() const {
  if (!m_bUsePaintManager) return NULL;
  return CXTPPaintManager::GetCurrentPaintManager();
}

CXTPImageManager* CXTPStatusBar::GetImageManager() const { return XTPImageManager(); }

void CXTPStatusBar::DrawPaneEntry(CDC* pDC, int nIndex, CRect rect) {
  CXTPStatusBarPane* pPane = GetPane(nIndex);
  if (pPane != NULL) pPane->Draw(pDC, rect);
}

void CXTPStatusBar::DrawStretch(CDC* pDC, CRect& rcClient) { DrawGripperContent(GetPaintManager(), pDC, rcClient); }

void CXTPStatusBar::PaintPanes(CDC* pDC) {
  CXTPPaintManager* pPaintManager = GetPaintManager();
  CRect rcClient;
  GetClientRect(rcClient);
  pPaintManager->FillStatusBar(pDC, this);
  const int nLastVisible = GetVisiblePaneCount() - 1;
  for (int i = 0; i < GetPaneCount(); ++i) {
    CXTPStatusBarPane* pPane = m_arrPanes[i];
    if (!pPane->m_bVisible) continue;
    CRect rc;
    GetItemRect(i, rc);
    if (rc.IsRectEmpty()) continue;
    (void)nLastVisible;
    if ((pPane->m_nStyle & SBPS_NOBORDERS) == 0) pPaintManager->DrawStatusBarPaneBorder(pDC, rc);
    DrawPaneEntry(pDC, i, rc);
  }
  CWnd* pParent = GetParent();
  if (pParent != NULL && (pParent->GetStyle() & WS_THICKFRAME) && HasSizeGrip()) DrawStretch(pDC, rcClient);
}

CSize CXTPStatusBar::CalcFixedLayout(BOOL /*bStretch*/, BOOL /*bHorz*/) {
  TEXTMETRICW tm = {};
  HDC hDC = ::GetDC(m_hWnd);
  HGDIOBJ hOld = ::SelectObject(hDC, m_fontStatus.GetSafeHandle() ? (HGDIOBJ)m_fontStatus.GetSafeHandle()
                                                                  : ::GetStockObject(DEFAULT_GUI_FONT));
  ::GetTextMetricsW(hDC, &tm);
  ::SelectObject(hDC, hOld);
  ::ReleaseDC(m_hWnd, hDC);
  int borders[3] = {0, 0, 0};
  if (::IsWindow(m_hWnd)) DefWindowProc(SB_GETBORDERS, 0, (LPARAM)borders);
  CRect rcInside(0, 0, 0, 0);
  CalcInsideRect(rcInside, TRUE);
  int cy = tm.tmHeight + 2 * (::GetSystemMetrics(SM_CYBORDER) + borders[1]) - rcInside.top + rcInside.bottom -
           tm.tmInternalLeading - 1;
  if (cy < m_nMinHeight) cy = m_nMinHeight;
  return CSize(32767, cy);
}

void CXTPStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
  CStatusPaneCmdUI state;
  state.pBar = this;
  state.m_pOther = this;
  state.m_nIndexMax = (UINT)GetPaneCount();
  for (int i = 0; i < GetPaneCount(); ++i) {
    state.m_nIndex = (UINT)i;
    state.m_nID = m_arrPanes[i]->m_nID;
    state.DoUpdate(pTarget, bDisableIfNoHndler);
  }
}

INT_PTR CXTPStatusBar::OnToolHitTest(CPoint point, TTTOOLINFOW* pTI) const {
  const INT_PTR nHit = CControlBar::OnToolHitTest(point, pTI);
  if (nHit != -1) return nHit;
  for (int i = 0; i < GetPaneCount(); ++i) {
    CXTPStatusBarPane* pPane = m_arrPanes[i];
    if (!pPane->m_bVisible) continue;
    CRect rc;
    GetItemRect(i, rc);
    if (!rc.PtInRect(point)) continue;
    if (pPane->m_strToolTip.IsEmpty()) return -1;
    if (pTI != NULL) {
      pTI->hwnd = m_hWnd;
      pTI->uId = pPane->m_nID;
      pTI->rect = rc;
      pTI->lpszText = _wcsdup(pPane->m_strToolTip);  // freed by the tip's owner
    }
    return (INT_PTR)pPane->m_nID;
  }
  return -1;
}

// ---------------------------------------------------------------------------------------
LRESULT CXTPStatusBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      const LRESULT lResult = CControlBar::WindowProc(message, wParam, lParam);
      if (lResult == -1) return -1;
      if (m_fontStatus.GetSafeHandle() != NULL) SendMessage(WM_SETFONT, (WPARAM)m_fontStatus.GetSafeHandle(), FALSE);
      SendMessage(SB_SETMINHEIGHT, 20, 0);
      return lResult;
    }
    case WM_NCHITTEST: {
      const LRESULT lHit = CControlBar::WindowProc(message, wParam, lParam);
      return lHit == HTBOTTOMRIGHT ? HTBOTTOMRIGHT : HTCLIENT;
    }
    case WM_NCCALCSIZE: {
      NCCALCSIZE_PARAMS* p = (NCCALCSIZE_PARAMS*)lParam;
      CRect rcInside(0, 0, 0, 0);
      CalcInsideRect(rcInside, TRUE);
      RECT& rc = p->rgrc[0];
      rc.left += rcInside.left;
      rc.top += rcInside.top - 2;
      rc.right += rcInside.right;
      rc.bottom += rcInside.bottom;
      if (rc.bottom < rc.top) rc.bottom = rc.top;
      if (rc.right < rc.left) rc.right = rc.left;
      return 0;
    }
    case WM_NCPAINT: {
      CWindowDC dc(this);
      CRect rcClient, rcWindow;
      GetClientRect(rcClient);
      ClientToScreen(rcClient);
      GetWindowRect(rcWindow);
      rcClient.OffsetRect(-rcWindow.left, -rcWindow.top);
      rcWindow.OffsetRect(-rcWindow.left, -rcWindow.top);
      dc.ExcludeClipRect(rcClient);
      dc.FillSolidRect(rcWindow, ::GetSysColor(COLOR_BTNFACE));
      DrawBorders(&dc, rcWindow);
      return 0;
    }
    case WM_PAINT: {
      UpdateAllPanes(FALSE, TRUE);
      if (GetPaintManager() == NULL) return CControlBar::WindowProc(message, wParam, lParam);
      PAINTSTRUCT ps;
      HDC hDC = ::BeginPaint(m_hWnd, &ps);
      CRect rcClient;
      GetClientRect(rcClient);
      HDC hMem = ::CreateCompatibleDC(hDC);
      HBITMAP hBmp = ::CreateCompatibleBitmap(hDC, std::max(1, (int)rcClient.Width()), std::max(1, (int)rcClient.Height()));
      HGDIOBJ hOldBmp = ::SelectObject(hMem, hBmp);
      {
        CDC dc;
        dc.Attach(hMem);
        PaintPanes(&dc);
        dc.Detach();
      }
      ::BitBlt(hDC, 0, 0, rcClient.Width(), rcClient.Height(), hMem, 0, 0, SRCCOPY);
      ::SelectObject(hMem, hOldBmp);
      ::DeleteObject(hBmp);
      ::DeleteDC(hMem);
      ::EndPaint(m_hWnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      if (GetPaintManager() != NULL) return TRUE;
      break;
    case WM_SIZE: {
      const LRESULT lResult = CControlBar::WindowProc(message, wParam, lParam);
      UpdateAllPanes(TRUE, FALSE);
      Invalidate();
      return lResult;
    }
    case WM_WINDOWPOSCHANGING: {
      const DWORD dwStyle = m_dwStyle;
      m_dwStyle &= ~0xF00;
      const LRESULT lResult = CControlBar::WindowProc(message, wParam, lParam);
      m_dwStyle = dwStyle;
      return lResult;
    }
    case WM_SETTEXT: {
      const int nIndex = CommandToIndex(0);
      if (nIndex < 0) return -1;
      return SetPaneText(nIndex, (LPCTSTR)lParam, TRUE) ? 0 : -1;
    }
    case WM_GETTEXT: {
      const int nMax = (int)wParam;
      if (nMax <= 0 || lParam == 0) return 0;
      LPTSTR pszDest = (LPTSTR)lParam;
      CString strText;
      const int nIndex = CommandToIndex(0);
      if (nIndex >= 0) strText = m_arrPanes[nIndex]->m_strText;
      int nLen = std::min(strText.GetLength(), nMax - 1);
      memcpy(pszDest, (LPCTSTR)strText, nLen * sizeof(TCHAR));
      pszDest[nLen] = 0;
      return nLen + 1;
    }
    case WM_GETTEXTLENGTH: {
      const int nIndex = CommandToIndex(0);
      return nIndex >= 0 ? m_arrPanes[nIndex]->m_strText.GetLength() : 0;
    }
    case SB_SETMINHEIGHT: {
      const LRESULT lResult = CControlBar::WindowProc(message, wParam, lParam);
      m_nMinHeight = (int)wParam;
      return lResult;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      break;
    case WM_DESTROY: {
      for (int i = 0; i < GetPaneCount(); ++i) {
        CXTPStatusBarPane* pPane = m_arrPanes[i];
        if (pPane->m_bAutoDeleteWnd && pPane->m_hWndPane != NULL && ::IsWindow(pPane->m_hWndPane))
          ::DestroyWindow(pPane->m_hWndPane);
      }
      break;
    }
    default:
      break;
  }
  return CControlBar::WindowProc(message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------
CXTPStatusBarPaneWnd::CXTPStatusBarPaneWnd() {}
CXTPStatusBarPaneWnd::~CXTPStatusBarPaneWnd() {}

BOOL CXTPStatusBarPaneWnd::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  LPCTSTR lpszClass = AfxRegisterWndClass(CS_BYTEALIGNCLIENT | CS_DBLCLKS, ::LoadCursorW(NULL, IDC_ARROW), NULL);
  return CWnd::CreateEx(0, lpszClass, lpszText, dwStyle, rect, pParentWnd, nID);
}

void CXTPStatusBarPaneWnd::DoPaint(CDC* /*pDC*/, CRect /*rcClient*/) {}

LRESULT CXTPStatusBarPaneWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) return TRUE;
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    CRect rcClient;
    GetClientRect(rcClient);
    CDC dc;
    dc.Attach(hDC);
    dc.FillSolidRect(rcClient, XTPGetColorManager()->GetColor(COLOR_3DFACE));
    DoPaint(&dc, rcClient);
    dc.Detach();
    ::EndPaint(m_hWnd, &ps);
    return 0;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}
