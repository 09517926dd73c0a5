// Toolbar and status bar over the common controls.
#include "framework.h"

#include <algorithm>
#include <vector>

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)
IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

// ---------------------------------------------------------------------------------------
BOOL CToolBarResource::Parse(const void* pData, DWORD cbData) {
  ids.RemoveAll();
  const WORD* pWords = static_cast<const WORD*>(pData);
  const DWORD nWords = cbData / sizeof(WORD);
  if (pData == nullptr || nWords < 4) return FALSE;
  wVersion = pWords[0];
  wWidth = pWords[1];
  wHeight = pWords[2];
  const WORD wCount = pWords[3];
  if (wVersion != 1 || wWidth == 0 || wHeight == 0 || nWords < 4u + wCount) return FALSE;
  for (WORD i = 0; i < wCount; ++i) ids.Add(pWords[4 + i]);
  return TRUE;
}

// ---------------------------------------------------------------------------------------
// Command UI of one toolbar button: Enable and SetCheck change the button's state.
class CToolCmdUI : public CCmdUI {
 public:
  void Enable(BOOL bOn) override {
    m_bEnableChanged = TRUE;
    static_cast<CToolBar*>(m_pOther)->SetButtonState(m_nIndex, TBSTATE_ENABLED,
                                                     bOn ? TBSTATE_ENABLED : 0);
  }
  void SetCheck(int nCheck) override {
    UINT nState = nCheck == 1 ? TBSTATE_CHECKED : nCheck == 2 ? TBSTATE_INDETERMINATE : 0;
    static_cast<CToolBar*>(m_pOther)->SetButtonState(
        m_nIndex, TBSTATE_CHECKED | TBSTATE_INDETERMINATE, nState);
  }
  void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
  void SetText(LPCTSTR) override {}  // buttons keep their captions
};

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
  ON_NOTIFY_REFLECT_EX(TBN_HOTITEMCHANGE, OnHotItemChange)
  ON_WM_NCCALCSIZE()
  ON_WM_NCPAINT()
END_MESSAGE_MAP()

CToolBar::CToolBar() : m_hbmImageWell(nullptr), m_sizeButton(23, 22), m_sizeImage(16, 15) {
  // Horizontal gaps come from the control's own button spacing.
  m_cxLeftBorder = m_cxRightBorder = 1;
  m_cyTopBorder = m_cyBottomBorder = 1;
}

CToolBar::~CToolBar() {
  if (m_hWnd != nullptr) DestroyWindow();
  if (m_hbmImageWell != nullptr) ::DeleteObject(m_hbmImageWell);
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  return CreateEx(pParentWnd, 0, dwStyle,
                  CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders,
                        UINT nID) {
  m_dwStyle = dwStyle & CBRS_ALL;
  if (m_dwStyle & CBRS_TOOLTIPS) dwCtrlStyle |= TBSTYLE_TOOLTIPS;
  SetBorders(&rcBorders);
  // The frame places the bar: the control must neither move nor size itself.
  const DWORD dwWinStyle = (dwStyle & ~CBRS_ALL) | dwCtrlStyle | CCS_NOPARENTALIGN | CCS_NOMOVEY |
                           CCS_NODIVIDER | CCS_NORESIZE;
  if (!AfxDeferRegisterClass(ICC_BAR_CLASSES)) return FALSE;
  if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEW, nullptr, dwWinStyle, CRect(0, 0, 0, 0), pParentWnd, nID))
    return FALSE;
  SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SetSizes(m_sizeButton, m_sizeImage);
  return TRUE;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage) {
  m_sizeButton = sizeButton;
  m_sizeImage = sizeImage;
  if (m_hWnd == nullptr) return;
  SendMessage(TB_SETBITMAPSIZE, 0, MAKELONG(sizeImage.cx, sizeImage.cy));
  SendMessage(TB_SETBUTTONSIZE, 0, MAKELONG(sizeButton.cx, sizeButton.cy));
  Invalidate();
}

void CToolBar::SetHeight(int cyHeight) {
  m_sizeButton.cy = cyHeight - m_cyTopBorder - m_cyBottomBorder;
  SetSizes(m_sizeButton, m_sizeImage);
}

BOOL CToolBar::LoadToolBar(LPCTSTR lpszResourceName) {
  HINSTANCE hInst = AfxGetResourceHandle();
  HRSRC hRsrc = ::FindResourceW(hInst, lpszResourceName, RT_TOOLBAR);
  if (hRsrc == nullptr) return FALSE;
  HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
  const void* pData = hGlobal ? ::LockResource(hGlobal) : nullptr;
  CToolBarResource res;
  if (!res.Parse(pData, ::SizeofResource(hInst, hRsrc))) {
    TRACE(L"toolbar resource is not a version 1 layout\n");
    return FALSE;
  }
  if (!SetButtons(res.ids.GetData(), (int)res.ids.GetSize())) return FALSE;
  // The common control's button is the image plus 7 pixels each way for the 3-D frame.
  SetSizes(CSize(res.wWidth + 7, res.wHeight + 7), CSize(res.wWidth, res.wHeight));
  return LoadBitmap(lpszResourceName);
}

BOOL CToolBar::LoadBitmap(LPCTSTR lpszResourceName) {
  // LR_LOADMAP3DCOLORS turns the bitmap's greys into the current 3-D colours.
  HBITMAP hbm = static_cast<HBITMAP>(::LoadImageW(AfxGetResourceHandle(), lpszResourceName,
                                                  IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
  if (hbm == nullptr) return FALSE;
  return SetBitmap(hbm);
}

BOOL CToolBar::SetBitmap(HBITMAP hbmImageWell) {
  BITMAP bm = {};
  if (hbmImageWell == nullptr || !::GetObjectW(hbmImageWell, sizeof(bm), &bm)) return FALSE;
  const int nImages = m_sizeImage.cx > 0 ? bm.bmWidth / m_sizeImage.cx : 0;
  BOOL bOk;
  if (m_hbmImageWell == nullptr) {
    TBADDBITMAP tbab = {nullptr, reinterpret_cast<UINT_PTR>(hbmImageWell)};
    bOk = SendMessage(TB_ADDBITMAP, nImages, (LPARAM)&tbab) != -1;
  } else {
    TBREPLACEBITMAP tbrb = {nullptr, reinterpret_cast<UINT_PTR>(m_hbmImageWell), nullptr,
                            reinterpret_cast<UINT_PTR>(hbmImageWell), nImages};
    bOk = (BOOL)SendMessage(TB_REPLACEBITMAP, 0, (LPARAM)&tbrb);
  }
  if (!bOk) {
    ::DeleteObject(hbmImageWell);
    return FALSE;
  }
  if (m_hbmImageWell != nullptr) ::DeleteObject(m_hbmImageWell);
  m_hbmImageWell = hbmImageWell;
  Invalidate();
  return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount) {
  while (SendMessage(TB_BUTTONCOUNT, 0, 0) > 0) SendMessage(TB_DELETEBUTTON, 0, 0);
  m_nCount = 0;
  if (nIDCount <= 0) return TRUE;
  std::vector<TBBUTTON> buttons(nIDCount);
  int iImage = 0;
  for (int i = 0; i < nIDCount; ++i) {
    TBBUTTON& b = buttons[i];
    const UINT nID = lpIDArray ? lpIDArray[i] : 0;
    b.idCommand = (int)nID;
    if (nID == 0) {
      b.fsStyle = TBSTYLE_SEP;
      b.iBitmap = 6;  // the separator's width
    } else {
      b.fsStyle = TBSTYLE_BUTTON;
      b.fsState = TBSTATE_ENABLED;
      b.iBitmap = iImage++;
    }
  }
  if (!SendMessage(TB_ADDBUTTONSW, nIDCount, (LPARAM)buttons.data())) return FALSE;
  m_nCount = nIDCount;
  if (CFrameWnd* pFrame = GetDockingFrame()) pFrame->DelayRecalcLayout();
  return TRUE;
}

BOOL CToolBar::GetButton(int nIndex, TBBUTTON* pButton) const {
  ZeroMemory(pButton, sizeof(*pButton));
  return (BOOL)SendMessage(TB_GETBUTTON, nIndex, (LPARAM)pButton);
}

void CToolBar::SetButtonState(int nIndex, UINT nMask, UINT nState) {
  TBBUTTON b;
  if (!GetButton(nIndex, &b)) return;
  const BYTE fsNew = (BYTE)((b.fsState & ~nMask) | (nState & nMask));
  if (fsNew == b.fsState) return;  // unchanged states cost no repaint
  TBBUTTONINFOW tbbi = {sizeof(tbbi)};
  tbbi.dwMask = TBIF_STATE | TBIF_BYINDEX;
  tbbi.fsState = fsNew;
  SendMessage(TB_SETBUTTONINFOW, nIndex, (LPARAM)&tbbi);
}

int CToolBar::CommandToIndex(UINT nIDFind) const {
  return (int)SendMessage(TB_COMMANDTOINDEX, nIDFind, 0);
}

UINT CToolBar::GetItemID(int nIndex) const {
  TBBUTTON b;
  return GetButton(nIndex, &b) ? (UINT)b.idCommand : 0;
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const {
  if (!SendMessage(TB_GETITEMRECT, nIndex, (LPARAM)lpRect)) ::SetRectEmpty(lpRect);
}

UINT CToolBar::GetButtonStyle(int nIndex) const {
  TBBUTTON b;
  if (!GetButton(nIndex, &b)) return 0;
  return MAKELONG(b.fsStyle, b.fsState ^ TBSTATE_ENABLED);
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle) {
  TBBUTTON b;
  if (!GetButton(nIndex, &b)) return;
  TBBUTTONINFOW tbbi = {sizeof(tbbi)};
  tbbi.dwMask = TBIF_STATE | TBIF_STYLE | TBIF_BYINDEX;
  tbbi.fsStyle = LOBYTE(LOWORD(nStyle));
  tbbi.fsState = (BYTE)(LOBYTE(HIWORD(nStyle)) ^ TBSTATE_ENABLED);
  SendMessage(TB_SETBUTTONINFOW, nIndex, (LPARAM)&tbbi);
  // Wrapping and hiding change the bar's extent.
  if ((b.fsState ^ tbbi.fsState) & (TBSTATE_WRAP | TBSTATE_HIDDEN)) {
    if (CFrameWnd* pFrame = GetDockingFrame()) pFrame->DelayRecalcLayout();
  }
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const {
  TBBUTTON b;
  GetButton(nIndex, &b);
  nID = (UINT)b.idCommand;
  nStyle = MAKELONG(b.fsStyle, b.fsState ^ TBSTATE_ENABLED);
  iImage = b.iBitmap;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage) {
  TBBUTTONINFOW tbbi = {sizeof(tbbi)};
  tbbi.dwMask = TBIF_COMMAND | TBIF_STATE | TBIF_STYLE | TBIF_BYINDEX;
  tbbi.idCommand = (int)nID;
  tbbi.fsStyle = LOBYTE(LOWORD(nStyle));
  tbbi.fsState = (BYTE)(LOBYTE(HIWORD(nStyle)) ^ TBSTATE_ENABLED);
  // A separator's image index is its width.
  if (tbbi.fsStyle & TBSTYLE_SEP) {
    tbbi.dwMask |= TBIF_SIZE;
    tbbi.cx = (WORD)iImage;
  } else {
    tbbi.dwMask |= TBIF_IMAGE;
    tbbi.iImage = iImage;
  }
  SendMessage(TB_SETBUTTONINFOW, nIndex, (LPARAM)&tbbi);
  if (CFrameWnd* pFrame = GetDockingFrame()) pFrame->DelayRecalcLayout();
}

BOOL CToolBar::SetButtonText(int nIndex, LPCTSTR lpszText) {
  TBBUTTONINFOW tbbi = {sizeof(tbbi)};
  tbbi.dwMask = TBIF_TEXT | TBIF_BYINDEX;
  tbbi.pszText = const_cast<LPWSTR>(lpszText);
  return (BOOL)SendMessage(TB_SETBUTTONINFOW, nIndex, (LPARAM)&tbbi);
}

CString CToolBar::GetButtonText(int nIndex) const {
  const UINT nID = GetItemID(nIndex);
  LRESULT nLen = SendMessage(TB_GETBUTTONTEXTW, nID, 0);
  if (nLen <= 0) return CString();
  std::vector<WCHAR> buffer(nLen + 1);
  SendMessage(TB_GETBUTTONTEXTW, nID, (LPARAM)buffer.data());
  return CString(buffer.data(), (int)nLen);
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz) {
  // The control places its buttons (and wraps rows) itself: the bar's size is the box
  // around the visible buttons plus the bar's borders.
  CRect rcAll(0, 0, 0, 0);
  const int nCount = (int)SendMessage(TB_BUTTONCOUNT, 0, 0);
  for (int i = 0; i < nCount; ++i) {
    TBBUTTON b;
    CRect rc;
    if (!GetButton(i, &b) || (b.fsState & TBSTATE_HIDDEN)) continue;
    if (SendMessage(TB_GETITEMRECT, i, (LPARAM)&rc)) rcAll.UnionRect(&rcAll, &rc);
  }
  CSize size(rcAll.right, rcAll.bottom);
  if (nCount == 0) size = m_sizeButton;
  CRect rcInside(0, 0, 0, 0);
  CalcInsideRect(rcInside, bHorz);
  size.cx -= rcInside.Width();
  size.cy -= rcInside.Height();
  if (bStretch) (bHorz ? size.cx : size.cy) = 32767;
  return size;
}

CSize CToolBar::CalcDynamicLayout(int, DWORD nMode) {
  return CalcFixedLayout((nMode & LM_STRETCH) != 0, (nMode & LM_HORZ) != 0);
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) {
  CToolCmdUI state;
  state.m_pOther = this;
  state.m_nIndexMax = (UINT)SendMessage(TB_BUTTONCOUNT, 0, 0);
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    TBBUTTON b;
    if (!GetButton(state.m_nIndex, &b) || (b.fsStyle & TBSTYLE_SEP)) continue;
    state.m_nID = (UINT)b.idCommand;
    // Commands of the system range always stay enabled.
    state.DoUpdate(pTarget, bDisableIfNoHndler && state.m_nID < 0xF000);
  }
  // Windows placed on the bar update like dialog controls.
  UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

INT_PTR CToolBar::OnToolHitTest(CPoint point, TTTOOLINFOW* pTI) const {
  // TB_HITTEST: a button's index, or a negative value (separators count negatively).
  const int nHit = (int)SendMessage(TB_HITTEST, 0, (LPARAM)&point);
  TBBUTTON b;
  if (nHit < 0 || !GetButton(nHit, &b) || (b.fsStyle & TBSTYLE_SEP))
    return CControlBar::OnToolHitTest(point, pTI);
  if (pTI != nullptr) {
    pTI->cbSize = TTTOOLINFOW_V2_SIZE;
    pTI->hwnd = m_hWnd;
    pTI->uId = (UINT_PTR)b.idCommand;
    GetItemRect(nHit, &pTI->rect);
    pTI->lpszText = LPSTR_TEXTCALLBACKW;
  }
  return b.idCommand;
}

void CToolBar::OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) {
  if ((dwOldStyle ^ dwNewStyle) & CBRS_BORDER_ANY) {
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
}

BOOL CToolBar::OnHotItemChange(NMHDR* pNMHDR, LRESULT* pResult) {
  // Fly-by help: the hot button's prompt shows in the frame's status bar.
  auto* pHot = reinterpret_cast<NMTBHOTITEM*>(pNMHDR);
  *pResult = 0;
  CFrameWnd* pFrame = GetDockingFrame();
  if ((m_dwStyle & CBRS_FLYBY) && pFrame != nullptr) {
    const UINT nID = (pHot->dwFlags & HICF_LEAVING) ? AFX_IDS_IDLEMESSAGE : (UINT)pHot->idNew;
    pFrame->SendMessage(WM_SETMESSAGESTRING, nID ? nID : AFX_IDS_IDLEMESSAGE, 0);
  }
  return FALSE;  // the parent may want it too
}

void CToolBar::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* lpncsp) {
  // The bar's borders are non-client space, so the control lays buttons out inside them.
  CRect rect(lpncsp->rgrc[0]);
  CalcInsideRect(rect, (m_dwStyle & CBRS_ORIENT_HORZ) != 0);
  lpncsp->rgrc[0] = rect;
}

void CToolBar::OnNcPaint() {
  CWindowDC dc(this);
  CRect rcWindow, rcClient;
  GetWindowRect(&rcWindow);
  ScreenToClient(&rcWindow);
  GetClientRect(&rcClient);
  rcClient.OffsetRect(-rcWindow.left, -rcWindow.top);
  rcWindow.OffsetRect(-rcWindow.left, -rcWindow.top);
  ::ExcludeClipRect(dc.m_hDC, rcClient.left, rcClient.top, rcClient.right, rcClient.bottom);
  ::FillRect(dc.m_hDC, &rcWindow, ::GetSysColorBrush(COLOR_BTNFACE));
  DrawBorders(&dc, rcWindow);
  DrawGripper(&dc, rcWindow);
}

// ---------------------------------------------------------------------------------------
// Command UI of one status pane: Enable hides or shows the text, SetCheck pops it out.
class CStatusCmdUI : public CCmdUI {
 public:
  void Enable(BOOL bOn) override {
    m_bEnableChanged = TRUE;
    auto* pBar = static_cast<CStatusBar*>(m_pOther);
    UINT nStyle = pBar->GetPaneStyle(m_nIndex);
    pBar->SetPaneStyle(m_nIndex, bOn ? (nStyle & ~SBPS_DISABLED) : (nStyle | SBPS_DISABLED));
  }
  void SetCheck(int nCheck) override {
    auto* pBar = static_cast<CStatusBar*>(m_pOther);
    UINT nStyle = pBar->GetPaneStyle(m_nIndex);
    pBar->SetPaneStyle(m_nIndex, nCheck ? (nStyle | SBPS_POPOUT) : (nStyle & ~SBPS_POPOUT));
  }
  void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
  void SetText(LPCTSTR lpszText) override {
    static_cast<CStatusBar*>(m_pOther)->SetPaneText(m_nIndex, lpszText);
  }
};

namespace {
const int kPaneBorder = 3;  // the control's frame around each pane's text, per side
}

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
  ON_WM_SIZE()
  ON_MESSAGE(WM_SETTEXT, OnSetText)
  ON_MESSAGE(WM_GETTEXT, OnGetText)
  ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
END_MESSAGE_MAP()

CStatusBar::CStatusBar() : m_hFont(nullptr) {
  m_cxLeftBorder = m_cxRightBorder = m_cyBottomBorder = 0;
  m_cyTopBorder = 2;
}

CStatusBar::~CStatusBar() {
  if (m_hWnd != nullptr) DestroyWindow();
  if (m_hFont != nullptr) ::DeleteObject(m_hFont);
}

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID) {
  return CreateEx(pParentWnd, 0, dwStyle, nID);
}

BOOL CStatusBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID) {
  m_dwStyle = dwStyle & CBRS_ALL;
  DWORD dwWinStyle = (dwStyle & ~CBRS_ALL) | dwCtrlStyle | CCS_NOPARENTALIGN | CCS_NOMOVEY |
                     CCS_NODIVIDER | CCS_NORESIZE;
  if (pParentWnd != nullptr && (pParentWnd->GetStyle() & WS_THICKFRAME)) dwWinStyle |= SBARS_SIZEGRIP;
  if (!AfxDeferRegisterClass(ICC_BAR_CLASSES)) return FALSE;
  if (!CWnd::CreateEx(0, STATUSCLASSNAMEW, nullptr, dwWinStyle, CRect(0, 0, 0, 0), pParentWnd, nID))
    return FALSE;
  NONCLIENTMETRICSW ncm = {sizeof(ncm)};
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
    m_hFont = ::CreateFontIndirectW(&ncm.lfStatusFont);
  if (m_hFont != nullptr) SendMessage(WM_SETFONT, (WPARAM)m_hFont, FALSE);
  return TRUE;
}

int CStatusBar::TextWidth(LPCTSTR lpsz) const {
  HDC hDC = ::GetDC(m_hWnd);
  HGDIOBJ hOld = ::SelectObject(hDC, m_hFont ? (HGDIOBJ)m_hFont : ::GetStockObject(DEFAULT_GUI_FONT));
  SIZE size = {};
  ::GetTextExtentPoint32W(hDC, lpsz, lstrlenW(lpsz), &size);
  ::SelectObject(hDC, hOld);
  ::ReleaseDC(m_hWnd, hDC);
  return size.cx;
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount) {
  m_panes.RemoveAll();
  BOOL bResult = TRUE;
  for (int i = 0; i < nIDCount && lpIDArray != nullptr; ++i) {
    Pane pane;
    pane.nID = lpIDArray[i];
    if (pane.nID != ID_SEPARATOR) {
      if (!pane.strText.LoadString(pane.nID)) {
        TRACE(L"status bar indicator %u has no string\n", pane.nID);
        bResult = FALSE;
        break;
      }
      pane.cxText = TextWidth(pane.strText);
    } else {
      // The message pane: a quarter of the screen, growing with the bar when first.
      pane.cxText = ::GetSystemMetrics(SM_CXSCREEN) / 4;
      if (i == 0) pane.nStyle = SBPS_NOBORDERS | SBPS_STRETCH;
    }
    m_panes.Add(pane);
  }
  m_nCount = (int)m_panes.GetSize();
  UpdateAllPanes(TRUE, TRUE);
  return bResult;
}

CStatusBar::Pane* CStatusBar::GetPanePtr(int nIndex) const {
  if (nIndex < 0 || nIndex >= m_panes.GetSize()) return nullptr;
  return const_cast<Pane*>(&m_panes.GetData()[nIndex]);
}

void CStatusBar::UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText) {
  if (m_hWnd == nullptr) return;
  const int nCount = (int)m_panes.GetSize();
  if (bUpdateRects) {
    CRect rect;
    GetClientRect(&rect);
    int borders[3] = {};
    SendMessage(SB_GETBORDERS, 0, (LPARAM)borders);
    const int cxSpacing = borders[2];
    if ((GetStyle() & SBARS_SIZEGRIP) && !::IsZoomed(::GetParent(m_hWnd)))
      rect.right -= ::GetSystemMetrics(SM_CXVSCROLL) + borders[0];
    int nStretch = 0;
    int cxExtra = rect.Width() + cxSpacing;
    for (int i = 0; i < nCount; ++i) {
      const Pane& pane = m_panes.GetData()[i];
      cxExtra -= pane.cxText + 2 * kPaneBorder + cxSpacing;
      if (pane.nStyle & SBPS_STRETCH) ++nStretch;
    }
    std::vector<int> edges(std::max(nCount, 1));
    int right = rect.left + borders[0];
    for (int i = 0; i < nCount; ++i) {
      const Pane& pane = m_panes.GetData()[i];
      right += pane.cxText + 2 * kPaneBorder;
      if ((pane.nStyle & SBPS_STRETCH) && cxExtra > 0 && nStretch > 0) {
        int share = cxExtra / nStretch--;
        right += share;
        cxExtra -= share;
      }
      edges[i] = right;
      right += cxSpacing;
    }
    if (nCount > 0) edges[nCount - 1] = -1;  // the last pane runs to the end
    SendMessage(SB_SETPARTS, std::max(nCount, 1), (LPARAM)edges.data());
  }
  if (bUpdateText) {
    for (int i = 0; i < nCount; ++i) {
      const Pane& pane = m_panes.GetData()[i];
      const BOOL bHide = (pane.nStyle & SBPS_DISABLED) != 0;
      SendMessage(SB_SETTEXTW, i | (pane.nStyle & 0xFF00), (LPARAM)(bHide ? L"" : pane.strText.GetString()));
    }
  }
}

int CStatusBar::CommandToIndex(UINT nIDFind) const {
  for (int i = 0; i < m_panes.GetSize(); ++i)
    if (m_panes.GetData()[i].nID == nIDFind) return i;
  return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const {
  const Pane* pPane = GetPanePtr(nIndex);
  return pPane ? pPane->nID : 0;
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const {
  if (!SendMessage(SB_GETRECT, nIndex, (LPARAM)lpRect)) ::SetRectEmpty(lpRect);
}

CString CStatusBar::GetPaneText(int nIndex) const {
  const Pane* pPane = GetPanePtr(nIndex);
  return pPane ? pPane->strText : CString();
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate) {
  Pane* pPane = GetPanePtr(nIndex);
  if (pPane == nullptr) return FALSE;
  CString strNew(lpszNewText ? lpszNewText : L"");
  if (pPane->strText == strNew) return TRUE;
  pPane->strText = strNew;
  if (bUpdate && m_hWnd != nullptr) {
    const BOOL bHide = (pPane->nStyle & SBPS_DISABLED) != 0;
    SendMessage(SB_SETTEXTW, nIndex | (pPane->nStyle & 0xFF00),
                (LPARAM)(bHide ? L"" : pPane->strText.GetString()));
  }
  return TRUE;
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const {
  const Pane* pPane = GetPanePtr(nIndex);
  nID = pPane ? pPane->nID : 0;
  nStyle = pPane ? pPane->nStyle : 0;
  cxWidth = pPane ? pPane->cxText : 0;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth) {
  Pane* pPane = GetPanePtr(nIndex);
  if (pPane == nullptr) return;
  pPane->nID = nID;
  pPane->nStyle = nStyle;
  pPane->cxText = cxWidth;
  UpdateAllPanes(TRUE, TRUE);
}

UINT CStatusBar::GetPaneStyle(int nIndex) const {
  const Pane* pPane = GetPanePtr(nIndex);
  return pPane ? pPane->nStyle : 0;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle) {
  Pane* pPane = GetPanePtr(nIndex);
  if (pPane == nullptr || pPane->nStyle == nStyle) return;
  const BOOL bRects = ((pPane->nStyle ^ nStyle) & SBPS_STRETCH) != 0;
  pPane->nStyle = nStyle;
  UpdateAllPanes(bRects, TRUE);
}

CSize CStatusBar::CalcFixedLayout(BOOL, BOOL bHorz) {
  TEXTMETRICW tm = {};
  HDC hDC = ::GetDC(m_hWnd);
  HGDIOBJ hOld = ::SelectObject(hDC, m_hFont ? (HGDIOBJ)m_hFont : ::GetStockObject(DEFAULT_GUI_FONT));
  ::GetTextMetricsW(hDC, &tm);
  ::SelectObject(hDC, hOld);
  ::ReleaseDC(m_hWnd, hDC);
  int borders[3] = {};
  SendMessage(SB_GETBORDERS, 0, (LPARAM)borders);
  CRect rcInside(0, 0, 0, 0);
  CalcInsideRect(rcInside, bHorz);
  const int cy = tm.tmHeight - tm.tmInternalLeading + 2 * (borders[1] + ::GetSystemMetrics(SM_CYBORDER)) +
                 2 * kPaneBorder - rcInside.Height();
  return CSize(32767, cy);
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL) {
  CStatusCmdUI state;
  state.m_pOther = this;
  state.m_nIndexMax = (UINT)m_panes.GetSize();
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    state.m_nID = m_panes.GetData()[state.m_nIndex].nID;
    // Panes without a handler keep their state: indicators are informative only.
    state.DoUpdate(pTarget, FALSE);
  }
  UpdateDialogControls(pTarget, FALSE);
}

void CStatusBar::OnSize(UINT nType, int cx, int cy) {
  CControlBar::OnSize(nType, cx, cy);
  UpdateAllPanes(TRUE, FALSE);
}

LRESULT CStatusBar::OnSetText(WPARAM, LPARAM lParam) {
  // The frame's message text goes to the pane with id 0.
  int nIndex = CommandToIndex(ID_SEPARATOR);
  if (nIndex < 0) return -1;
  return SetPaneText(nIndex, reinterpret_cast<LPCTSTR>(lParam)) ? TRUE : -1;
}

LRESULT CStatusBar::OnGetText(WPARAM wParam, LPARAM lParam) {
  if (wParam == 0) return 0;
  CString text = GetPaneText(CommandToIndex(ID_SEPARATOR));
  int nCopy = std::min<int>(text.GetLength(), (int)wParam - 1);
  auto* pBuffer = reinterpret_cast<LPWSTR>(lParam);
  memcpy(pBuffer, text.GetString(), nCopy * sizeof(WCHAR));
  pBuffer[nCopy] = 0;
  return nCopy;
}

LRESULT CStatusBar::OnGetTextLength(WPARAM, LPARAM) {
  return GetPaneText(CommandToIndex(ID_SEPARATOR)).GetLength();
}
