// The toolkit's own tip window: tools, delays, the mouse hook, sizing and painting.
#include <framework.h>

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "XTPColorManager.h"
#include "XTPDrawHelpers.h"
#include "XTPSystemVersion.h"
#include "XTPToolTipWnd.h"

IMPLEMENT_DYNAMIC(CXTPToolTipWnd, CWnd)

namespace {

const UINT_PTR kShowTimer = 1;
const int kDefaultInitialDelay = 500;
const int kDefaultReshowDelay = 200;

// The one mouse hook of the process and the tip window that installed it (UI thread).
HHOOK g_hMouseHook = nullptr;
HWND g_hWndHook = nullptr;

BOOL AnyMouseButtonDown() {
  return (::GetKeyState(VK_LBUTTON) & 0x8000) || (::GetKeyState(VK_RBUTTON) & 0x8000) ||
         (::GetKeyState(VK_MBUTTON) & 0x8000);
}

BOOL IsRelayedMouseMessage(UINT message) {
  return (message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK);
}

}  // namespace

BEGIN_MESSAGE_MAP(CXTPToolTipWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_NCHITTEST()
  ON_WM_MOUSEMOVE()
  ON_WM_TIMER()
END_MESSAGE_MAP()

CXTPToolTipWnd::CXTPToolTipWnd(CXTPToolTipContext* pContext, int nStyle)
    : m_bActive(FALSE),
      m_pContext(pContext),
      m_nStyle(nStyle),
      m_nTimer(0),
      m_dwLastChange(::GetTickCount() - 10 * kDefaultReshowDelay),
      m_nInitialDelay(kDefaultInitialDelay),
      m_nReshowDelay(kDefaultReshowDelay),
      m_nMaxTipWidth(pContext ? pContext->GetMaxTipWidth() : -1),
      m_rcMargin(pContext ? pContext->GetMargin() : CRect(0, 0, 0, 0)),
      m_clrBack(pContext ? pContext->GetTipBkColor() : static_cast<COLORREF>(-1)),
      m_clrText(pContext ? pContext->GetTipTextColor() : static_cast<COLORREF>(-1)) {
  CXTPNonClientMetrics ncm;
  m_fntTip.CreateFontIndirect(&ncm.lfStatusFont);
}

CXTPToolTipWnd::~CXTPToolTipWnd() {
  if (GetSafeHwnd() != nullptr) DestroyWindow();
}

BOOL CXTPToolTipWnd::Create(CWnd* pWndOwner, DWORD dwStyle, BOOL bDropShadow) {
  UINT nClassStyle = CS_SAVEBITS | CS_OWNDC;
  if (bDropShadow) nClassStyle |= CS_DROPSHADOW;
  LPCTSTR lpszClass = AfxRegisterWndClass(nClassStyle, ::LoadCursorW(nullptr, IDC_ARROW));
  return CreateEx(WS_EX_TOOLWINDOW, lpszClass, nullptr, WS_POPUP | dwStyle | TTS_ALWAYSTIP, 0, 0, 0, 0,
                  pWndOwner->GetSafeHwnd(), nullptr);
}

void CXTPToolTipWnd::PostNcDestroy() {
  // The context owns this object and deletes it.
}

HWND CXTPToolTipWnd::GetHookWindow() { return g_hWndHook; }

int CXTPToolTipWnd::OnCreate(LPCREATESTRUCT lpCreateStruct) { return CWnd::OnCreate(lpCreateStruct); }

void CXTPToolTipWnd::OnDestroy() {
  // A tip destroyed while it shows must not leave the hook calling a dead window.
  RemoveHook();
  if (m_nTimer != 0) {
    KillTimer(m_nTimer);
    m_nTimer = 0;
  }
  CWnd::OnDestroy();
}

// ---------------------------------------------------------------------------------------
// Tools.

XTP_TOOLTIP_TOOL* CXTPToolTipWnd::FindTool(HWND hWnd, UINT_PTR nId) {
  for (auto& tool : m_arrTools)
    if (tool.IsTool(hWnd, nId)) return &tool;
  return nullptr;
}

LRESULT CXTPToolTipWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case TTM_ADDTOOLW: {
      auto* pTI = reinterpret_cast<const TTTOOLINFOW*>(lParam);
      if (pTI == nullptr || pTI->cbSize < TTTOOLINFOW_V1_SIZE) return FALSE;
      XTP_TOOLTIP_TOOL tool;
      tool.uFlags = pTI->uFlags;
      tool.rect = pTI->rect;
      tool.hinst = pTI->hinst;
      tool.hwnd = pTI->hwnd;
      tool.uId = pTI->uId;
      if (pTI->lpszText == LPSTR_TEXTCALLBACKW) {
        tool.bCallback = TRUE;
      } else if (pTI->lpszText != nullptr && IS_INTRESOURCE(pTI->lpszText)) {
        WCHAR sz[1024] = L"";
        ::LoadStringW(pTI->hinst, static_cast<UINT>(reinterpret_cast<UINT_PTR>(pTI->lpszText)), sz, 1024);
        tool.strText = sz;
      } else if (pTI->lpszText != nullptr) {
        tool.strText = pTI->lpszText;
      }
      // A tool added again replaces its earlier record.
      if (XTP_TOOLTIP_TOOL* pOld = FindTool(tool.hwnd, tool.uId))
        *pOld = tool;
      else
        m_arrTools.push_back(tool);
      return TRUE;
    }
    case TTM_DELTOOLW: {
      auto* pTI = reinterpret_cast<const TTTOOLINFOW*>(lParam);
      if (pTI == nullptr || pTI->cbSize < TTTOOLINFOW_V1_SIZE) return 0;
      for (size_t i = m_arrTools.size(); i-- > 0;)
        if (m_arrTools[i].IsTool(pTI->hwnd, pTI->uId)) m_arrTools.erase(m_arrTools.begin() + i);
      if (m_toolCurrent.IsTool(pTI->hwnd, pTI->uId)) {
        // Hidden without dropping another tool that waits for its delay: the context
        // removes a tool after relaying the move onto its successor.
        const XTP_TOOLTIP_TOOL pending = m_toolPending;
        const UINT_PTR nTimer = m_nTimer;
        m_nTimer = 0;
        HideTip();
        if (!pending.IsNone() && !pending.IsTool(pTI->hwnd, pTI->uId) && nTimer != 0) {
          m_toolPending = pending;
          m_nTimer = SetTimer(kShowTimer, m_nInitialDelay, nullptr);
        } else if (nTimer != 0) {
          KillTimer(nTimer);
        }
      }
      if (m_toolClicked.IsTool(pTI->hwnd, pTI->uId)) m_toolClicked.Clear();
      if (m_toolPending.IsTool(pTI->hwnd, pTI->uId)) {
        if (m_nTimer != 0) KillTimer(m_nTimer);
        m_nTimer = 0;
        m_toolPending.Clear();
      }
      return 0;
    }
    case TTM_ACTIVATE:
      m_bActive = wParam != 0;
      if (!m_bActive) {
        if (m_nTimer != 0) KillTimer(m_nTimer);
        m_nTimer = 0;
        m_toolPending.Clear();
        if (!m_toolCurrent.IsNone() || IsWindowVisible()) HideTip();
      }
      return 0;
    case TTM_RELAYEVENT:
      if (lParam != 0) RelayEvent(reinterpret_cast<const MSG*>(lParam));
      return 0;
    case TTM_SETTITLEW:
      m_strTitle = lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"";
      if (!(GetStyle() & TTS_NOPREFIX)) CXTPDrawHelpers::StripMnemonics(m_strTitle);
      return TRUE;
    case TTM_UPDATETIPTEXTW: {
      auto* pTI = reinterpret_cast<const TTTOOLINFOW*>(lParam);
      if (pTI == nullptr || pTI->cbSize < TTTOOLINFOW_V1_SIZE) return 0;
      if (XTP_TOOLTIP_TOOL* pTool = FindTool(pTI->hwnd, pTI->uId)) {
        pTool->bCallback = pTI->lpszText == LPSTR_TEXTCALLBACKW;
        pTool->strText = (pTool->bCallback || pTI->lpszText == nullptr || IS_INTRESOURCE(pTI->lpszText))
                             ? CString()
                             : CString(pTI->lpszText);
      }
      return 0;
    }
    case TTM_WINDOWFROMPOINT:
      if (lParam == 0) return 0;
      return reinterpret_cast<LRESULT>(WindowFromPointRule(*reinterpret_cast<const POINT*>(lParam)));
    case TTM_GETTOOLCOUNT:
      return GetToolCount();
    case TTM_SETMAXTIPWIDTH: {
      const int nOld = m_nMaxTipWidth;
      m_nMaxTipWidth = static_cast<int>(lParam);
      return nOld;
    }
    case TTM_GETMAXTIPWIDTH:
      return m_nMaxTipWidth;
    case TTM_SETMARGIN:
      if (lParam != 0) m_rcMargin = *reinterpret_cast<const RECT*>(lParam);
      return 0;
    case TTM_GETMARGIN:
      if (lParam != 0) *reinterpret_cast<RECT*>(lParam) = m_rcMargin;
      return 0;
    case TTM_SETTIPBKCOLOR:
      m_clrBack = static_cast<COLORREF>(wParam);
      return 0;
    case TTM_SETTIPTEXTCOLOR:
      m_clrText = static_cast<COLORREF>(wParam);
      return 0;
    case TTM_SETDELAYTIME: {
      // A negative time puts the default back; the own window has no automatic pop.
      const int nTime = static_cast<short>(LOWORD(lParam));
      if (wParam == TTDT_INITIAL) m_nInitialDelay = nTime < 0 ? kDefaultInitialDelay : nTime;
      if (wParam == TTDT_RESHOW) m_nReshowDelay = nTime < 0 ? kDefaultReshowDelay : nTime;
      if (wParam == TTDT_AUTOMATIC) {
        m_nInitialDelay = nTime < 0 ? kDefaultInitialDelay : nTime;
        m_nReshowDelay = nTime < 0 ? kDefaultReshowDelay : nTime / 5;
      }
      return 0;
    }
    default:
      break;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------
// Hit testing and the delays.

HWND CXTPToolTipWnd::WindowFromPointRule(POINT ptScreen) {
  HWND hWnd = ::WindowFromPoint(ptScreen);
  if (hWnd != nullptr && (::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD) &&
      ::SendMessageW(hWnd, WM_XTP_TIPTRANSPARENT, 0, 0) == 1)
    hWnd = ::GetParent(hWnd);
  return hWnd;
}

XTP_TOOLTIP_TOOL* CXTPToolTipWnd::HitTestTools(POINT ptScreen) {
  HWND hWndAtPoint = nullptr;
  BOOL bWindowKnown = FALSE;
  for (auto& tool : m_arrTools) {
    if (!::IsWindow(tool.hwnd)) continue;
    if (tool.uFlags & TTF_IDISHWND) {
      // The tool is a window: uId names it (the record's hwnd when uId is none).
      HWND hWndTool = reinterpret_cast<HWND>(tool.uId);
      if (!::IsWindow(hWndTool)) hWndTool = tool.hwnd;
      CRect rc;
      ::GetWindowRect(hWndTool, &rc);
      if (rc.PtInRect(ptScreen)) return &tool;
      continue;
    }
    CPoint pt = ptScreen;
    ::ScreenToClient(tool.hwnd, &pt);
    if (!tool.rect.PtInRect(pt)) continue;
    if (!bWindowKnown) {
      hWndAtPoint = WindowFromPointRule(ptScreen);
      bWindowKnown = TRUE;
    }
    if (hWndAtPoint == tool.hwnd) return &tool;
  }
  return nullptr;
}

void CXTPToolTipWnd::RelayEvent(const MSG* pMsg) {
  if (!m_bActive || GetSafeHwnd() == nullptr || !IsRelayedMouseMessage(pMsg->message)) return;
  POINT pt;
  ::GetCursorPos(&pt);

  if (pMsg->message == WM_LBUTTONDOWN) {
    // A click on a tool hides its tip until the mouse has been on something else.
    if (XTP_TOOLTIP_TOOL* pTool = HitTestTools(pt)) {
      m_toolClicked = *pTool;
      HideTip();
      return;
    }
  }

  XTP_TOOLTIP_TOOL* pHit = AnyMouseButtonDown() ? nullptr : HitTestTools(pt);
  if (!m_toolClicked.IsNone()) {
    if (pHit != nullptr && pHit->IsTool(m_toolClicked.hwnd, m_toolClicked.uId)) return;
    m_toolClicked.Clear();
  }
  if (!m_toolPending.IsNone() && !(pHit != nullptr && pHit->IsTool(m_toolPending.hwnd, m_toolPending.uId))) {
    if (m_nTimer != 0) KillTimer(m_nTimer);
    m_nTimer = 0;
    m_toolPending.Clear();
  }
  if (pHit == nullptr) {
    if (!m_toolCurrent.IsNone()) HideTip();
    return;
  }
  if (pHit->IsTool(m_toolCurrent.hwnd, m_toolCurrent.uId)) return;
  if (::GetTickCount() - m_dwLastChange >= static_cast<DWORD>(m_nReshowDelay)) {
    if (m_toolPending.IsNone()) {
      m_toolPending = *pHit;
      m_nTimer = SetTimer(kShowTimer, m_nInitialDelay, nullptr);
    }
    return;
  }
  const XTP_TOOLTIP_TOOL tool = *pHit;
  ShowTool(tool);
}

void CXTPToolTipWnd::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != kShowTimer) {
    CWnd::OnTimer(nIDEvent);
    return;
  }
  KillTimer(kShowTimer);
  m_nTimer = 0;
  const XTP_TOOLTIP_TOOL pending = m_toolPending;
  m_toolPending.Clear();
  if (pending.IsNone() || !m_bActive) return;
  POINT pt;
  ::GetCursorPos(&pt);
  XTP_TOOLTIP_TOOL* pHit = AnyMouseButtonDown() ? nullptr : HitTestTools(pt);
  if (pHit != nullptr && pHit->IsTool(pending.hwnd, pending.uId)) {
    const XTP_TOOLTIP_TOOL tool = *pHit;
    ShowTool(tool);
  }
}

// ---------------------------------------------------------------------------------------
// Showing and hiding.

CString CXTPToolTipWnd::GetToolText(const XTP_TOOLTIP_TOOL& tool) {
  CString strText = tool.strText;
  if (tool.bCallback) {
    NMTTDISPINFOW nm;
    ZeroMemory(&nm, sizeof(nm));
    nm.hdr.hwndFrom = m_hWnd;
    nm.hdr.idFrom = tool.uId;
    nm.hdr.code = TTN_GETDISPINFOW;
    nm.uFlags = tool.uFlags;
    nm.hinst = tool.hinst;
    HWND hWndNotify = m_hWndOwner ? m_hWndOwner : ::GetParent(m_hWnd);
    if (hWndNotify == nullptr) hWndNotify = ::GetWindow(m_hWnd, GW_OWNER);
    if (hWndNotify != nullptr)
      ::SendMessageW(hWndNotify, WM_NOTIFY, static_cast<WPARAM>(tool.uId), reinterpret_cast<LPARAM>(&nm));
    strText.Empty();
    if (nm.lpszText != nullptr && IS_INTRESOURCE(nm.lpszText)) {
      WCHAR sz[1024] = L"";
      ::LoadStringW(nm.hinst, static_cast<UINT>(reinterpret_cast<UINT_PTR>(nm.lpszText)), sz, 1024);
      strText = sz;
    } else if (nm.lpszText != nullptr && nm.lpszText != LPSTR_TEXTCALLBACKW) {
      strText = nm.lpszText;
    } else {
      nm.szText[_countof(nm.szText) - 1] = 0;
      strText = nm.szText;
    }
  }
  if (!(GetStyle() & TTS_NOPREFIX)) CXTPDrawHelpers::StripMnemonics(strText);
  return strText;
}

void CXTPToolTipWnd::ShowTool(const XTP_TOOLTIP_TOOL& tool) {
  if (tool.IsTool(m_toolCurrent.hwnd, m_toolCurrent.uId)) return;
  const CString strText = GetToolText(tool);
  CSize size(0, 0);
  {
    CClientDC dc(this);
    size = CalcToolTipSize(&dc, strText);
  }
  if (size.cx <= 0 || size.cy <= 0) {
    HideTip();
    return;
  }
  SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  m_toolCurrent = tool;
  m_strTipText = strText;
  POINT pt;
  ::GetCursorPos(&pt);
  SetWindowPos(&CWnd::wndTopMost, pt.x, pt.y + 21, size.cx, size.cy, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Invalidate(FALSE);
  InstallHook();
  m_toolClicked.Clear();
  m_dwLastChange = ::GetTickCount();
}

void CXTPToolTipWnd::HideTip() {
  const BOOL bWasShown = !m_toolCurrent.IsNone() || IsWindowVisible();
  if (IsWindowVisible())
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  m_toolCurrent.Clear();
  RemoveHook();
  if (m_nTimer != 0) KillTimer(m_nTimer);
  m_nTimer = 0;
  m_toolPending.Clear();
  if (bWasShown) m_dwLastChange = ::GetTickCount();
}

void CXTPToolTipWnd::OnMouseMove(UINT /*nFlags*/, CPoint /*point*/) { HideTip(); }

LRESULT CXTPToolTipWnd::OnNcHitTest(CPoint /*point*/) { return HTTRANSPARENT; }

// ---------------------------------------------------------------------------------------
// The mouse hook.

void CXTPToolTipWnd::InstallHook() {
  if (g_hMouseHook != nullptr) return;  // one per process; another tip holds it
  g_hMouseHook = ::SetWindowsHookExW(WH_MOUSE, MouseHookProc, nullptr, ::GetCurrentThreadId());
  if (g_hMouseHook != nullptr) g_hWndHook = m_hWnd;
}

void CXTPToolTipWnd::RemoveHook() {
  if (g_hMouseHook == nullptr || g_hWndHook != m_hWnd || m_hWnd == nullptr) return;
  ::UnhookWindowsHookEx(g_hMouseHook);
  g_hMouseHook = nullptr;
  g_hWndHook = nullptr;
}

LRESULT CALLBACK CXTPToolTipWnd::MouseHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
  const HHOOK hHook = g_hMouseHook;
  if (nCode == HC_ACTION && g_hWndHook != nullptr && lParam != 0) {
    auto* pTip = static_cast<CXTPToolTipWnd*>(CWnd::FromHandlePermanent(g_hWndHook));
    if (pTip != nullptr && !pTip->m_toolCurrent.IsNone()) {
      const auto* pInfo = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
      if (WindowFromPointRule(pInfo->pt) != pTip->m_toolCurrent.hwnd)
        pTip->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(pInfo->pt.x, pInfo->pt.y));
    }
  }
  return ::CallNextHookEx(hHook, nCode, wParam, lParam);
}

// ---------------------------------------------------------------------------------------
// Size and paint.

COLORREF CXTPToolTipWnd::GetBackColor() const {
  return m_clrBack != static_cast<COLORREF>(-1) ? m_clrBack : XTPGetColorManager()->GetColor(COLOR_INFOBK);
}

COLORREF CXTPToolTipWnd::GetTextColor() const {
  return m_clrText != static_cast<COLORREF>(-1) ? m_clrText : XTPGetColorManager()->GetColor(COLOR_INFOTEXT);
}

CRect CXTPToolTipWnd::GetTextRect(CRect rcClient) const {
  CRect rc = rcClient;
  rc.left += m_rcMargin.left + 3;
  rc.top += m_rcMargin.top + 3;
  rc.right -= m_rcMargin.right + 3;
  rc.bottom -= m_rcMargin.bottom + 3;
  return rc;
}

CSize CXTPToolTipWnd::CalcToolTipSize(CDC* pDC, const CString& strText) {
  if (strText.IsEmpty()) return CSize(0, 0);
  CXTPFontDC font(pDC, &m_fntTip);
  const int nMaxWidth = m_nMaxTipWidth > 0 ? m_nMaxTipWidth : ::GetSystemMetrics(SM_CXSCREEN);
  CRect rcText(0, 0, nMaxWidth, 0);
  pDC->DrawText(strText, &rcText, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  CSize size = rcText.Size();
  if (!m_strTitle.IsEmpty()) {
    CRect rcTitle(0, 0, 0, 0);
    pDC->DrawText(m_strTitle, &rcTitle, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    size.cy += rcTitle.Height() + 8;
    size.cx = std::max<int>(size.cx, rcTitle.Width());
  }
  return CSize(size.cx + m_rcMargin.left + m_rcMargin.right + 6, size.cy + m_rcMargin.top + m_rcMargin.bottom + 6);
}

void CXTPToolTipWnd::DrawBackground(CDC* pDC, CRect rc) {
  if (m_nStyle == xtpToolTipGradient) {
    COLORREF clrFrom = GetBackColor(), clrTo = RGB(255, 255, 255), clrFrame = 0;
    switch (XTPGetColorManager()->GetCurrentTheme()) {
      case 1: clrFrom = 0x97D4FF; clrTo = 0xC8F2FF; clrFrame = 0x800000; break;
      case 2: clrFrom = 0x97D4FF; clrTo = 0xC8F2FF; clrFrame = 0x385D3F; break;
      case 3: clrFrom = 0x97D4FF; clrTo = 0xC8F2FF; clrFrame = 0x6F4B4B; break;
      default: break;
    }
    CXTPDrawHelpers::GradientFill(pDC, &rc, clrFrom, clrTo, FALSE);
    pDC->Draw3dRect(&rc, clrFrame, clrFrame);
    return;
  }
  pDC->FillSolidRect(&rc, GetBackColor());
  const COLORREF clrTopLeft = (GetStyle() & 0x1000) ? ::GetSysColor(COLOR_BTNFACE) : RGB(0, 0, 0);
  pDC->Draw3dRect(&rc, clrTopLeft, RGB(0, 0, 0));
}

void CXTPToolTipWnd::DrawContent(CDC* pDC, CRect rc) {
  CXTPFontDC font(pDC, &m_fntTip);
  pDC->SetTextColor(GetTextColor());
  pDC->SetBkMode(TRANSPARENT);
  CRect rcText = GetTextRect(rc);
  if (!m_strTitle.IsEmpty()) {
    CRect rcTitle(0, 0, 0, 0);
    pDC->DrawText(m_strTitle, &rcTitle, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    CRect rcDraw = rcText;
    pDC->DrawText(m_strTitle, &rcDraw, DT_SINGLELINE | DT_NOPREFIX);
    rcText.top += rcTitle.Height() + 8;
    pDC->FillSolidRect(rcText.left, rcText.top - 4, rcText.Width(), 1, RGB(0, 0, 0));
  }
  pDC->DrawText(m_strTipText, &rcText, DT_WORDBREAK | DT_NOPREFIX);
}

BOOL CXTPToolTipWnd::OnEraseBkgnd(CDC* /*pDC*/) { return TRUE; }

void CXTPToolTipWnd::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  DrawBackground(&dc, rc);
  DrawContent(&dc, rc);
}

// =======================================================================================
// Rich-text variant.

IMPLEMENT_DYNAMIC(CXTPToolTipRichWnd, CXTPToolTipWnd)

BEGIN_MESSAGE_MAP(CXTPToolTipRichWnd, CXTPToolTipWnd)
  ON_WM_CREATE()
END_MESSAGE_MAP()

CXTPToolTipRichWnd::CXTPToolTipRichWnd(CXTPToolTipContext* pContext)
    : CXTPToolTipWnd(pContext, xtpToolTipRichText), m_szRequested(0, 0) {}

CXTPToolTipRichWnd::~CXTPToolTipRichWnd() = default;

namespace {

// The rich-edit class's own procedure; the child only adds mouse transparency to it.
WNDPROC g_pfnRichEditProc = nullptr;

LRESULT CALLBACK SeeThroughRichEditProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCHITTEST) return HTTRANSPARENT;
  return ::CallWindowProcW(g_pfnRichEditProc, hWnd, message, wParam, lParam);
}

}  // namespace

int CXTPToolTipRichWnd::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CXTPToolTipWnd::OnCreate(lpCreateStruct) == -1) return -1;
  const DWORD dwStyle = WS_CHILD | ES_MULTILINE | ES_READONLY;
  HWND hWnd = ::CreateWindowExW(0, L"RICHEDIT", nullptr, dwStyle, 0, 0, 0, 0, m_hWnd,
                                reinterpret_cast<HMENU>(1), AfxGetInstanceHandle(), nullptr);
  if (hWnd == nullptr)  // without the version 1 class, the version 2 one
    hWnd = ::CreateWindowExW(0, RICHEDIT_CLASSW, nullptr, dwStyle, 0, 0, 0, 0, m_hWnd,
                             reinterpret_cast<HMENU>(1), AfxGetInstanceHandle(), nullptr);
  if (hWnd != nullptr) {
    m_wndRichEdit.Attach(hWnd);
    g_pfnRichEditProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SeeThroughRichEditProc)));
  }
  return 0;
}

BOOL CXTPToolTipRichWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  auto* pHdr = reinterpret_cast<NMHDR*>(lParam);
  if (pHdr != nullptr && pHdr->code == EN_REQUESTRESIZE && pHdr->hwndFrom == m_wndRichEdit.m_hWnd) {
    const auto* pReq = reinterpret_cast<REQRESIZE*>(lParam);
    m_szRequested = CSize(pReq->rc.right - pReq->rc.left, pReq->rc.bottom - pReq->rc.top);
    if (pResult) *pResult = 0;
    return TRUE;
  }
  return CXTPToolTipWnd::OnNotify(wParam, lParam, pResult);
}

CSize CXTPToolTipRichWnd::ProbeWidth(int nWidth) {
  m_szRequested = CSize(0, 0);
  m_wndRichEdit.SetWindowPos(nullptr, 0, 0, std::max(nWidth, 1), 1, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  m_wndRichEdit.SendMessage(EM_REQUESTRESIZE, 0, 0);
  // The width is the control's: the text wraps there as it was measured.
  return m_szRequested.cy > 0 ? CSize(std::max(nWidth, 1), m_szRequested.cy) : CSize(0, 0);
}

namespace {

struct StreamSource {
  const BYTE* pData;
  LONG nLeft;
};

DWORD CALLBACK ReadStream(DWORD_PTR dwCookie, LPBYTE pbBuff, LONG cb, LONG* pcb) {
  auto* pSource = reinterpret_cast<StreamSource*>(dwCookie);
  const LONG n = std::min(cb, pSource->nLeft);
  memcpy(pbBuff, pSource->pData, n);
  pSource->pData += n;
  pSource->nLeft -= n;
  *pcb = n;
  return 0;
}

}  // namespace

CSize CXTPToolTipRichWnd::CalcToolTipSize(CDC* /*pDC*/, const CString& strText) {
  if (strText.IsEmpty() || m_wndRichEdit.GetSafeHwnd() == nullptr) return CSize(0, 0);
  m_wndRichEdit.SendMessage(EM_SETBKGNDCOLOR, 0, GetBackColor());
  m_wndRichEdit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_fntTip.GetSafeHandle()), FALSE);
  CHARFORMATW cf;
  ZeroMemory(&cf, sizeof(cf));
  cf.cbSize = sizeof(cf);
  cf.dwMask = 0x4000001F;  // colour, bold, italic, underline, strike-out, protected
  cf.crTextColor = GetTextColor();
  m_wndRichEdit.SendMessage(EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));

  // RTF first (it is ASCII); plain text when that gives nothing.
  const int nBytes = ::WideCharToMultiByte(CP_ACP, 0, strText, strText.GetLength(), nullptr, 0, nullptr, nullptr);
  std::vector<BYTE> rtf(static_cast<size_t>(std::max(nBytes, 0)) + 1);
  ::WideCharToMultiByte(CP_ACP, 0, strText, strText.GetLength(), reinterpret_cast<LPSTR>(rtf.data()), nBytes,
                        nullptr, nullptr);
  StreamSource source = {rtf.data(), nBytes};
  EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&source), 0, ReadStream};
  m_wndRichEdit.SendMessage(EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
  if (m_wndRichEdit.GetWindowTextLength() == 0) {
    StreamSource plain = {reinterpret_cast<const BYTE*>(static_cast<LPCWSTR>(strText)),
                          static_cast<LONG>(strText.GetLength() * sizeof(WCHAR))};
    EDITSTREAM esPlain = {reinterpret_cast<DWORD_PTR>(&plain), 0, ReadStream};
    m_wndRichEdit.SendMessage(EM_STREAMIN, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&esPlain));
  }
  if (m_wndRichEdit.GetWindowTextLength() == 0) return CSize(0, 0);
  m_wndRichEdit.SendMessage(EM_SETEVENTMASK, 0, ENM_REQUESTRESIZE);

  // Halving search for the narrowest width that keeps the height of the middle probe.
  const int nMax = m_nMaxTipWidth < 0 ? ::GetSystemMetrics(SM_CXSCREEN) : m_nMaxTipWidth;
  int nLow = 0, nHigh = 2 * nMax;
  int nWidth = (nLow + nHigh) / 2;
  CSize size = ProbeWidth(nWidth);
  const int nReference = size.cy;
  int nBest = nWidth;
  nHigh = nWidth - 1;
  while (nLow < nHigh) {
    nWidth = (nLow + nHigh) / 2;
    size = ProbeWidth(nWidth);
    if (size.cy > nReference) {
      nLow = nWidth + 1;
    } else {
      nBest = nWidth;
      nHigh = nWidth - 1;
    }
  }
  if (size.cy > nReference) {
    size = ProbeWidth(nWidth + 1);
    // Still taller: the narrowest width known to keep the height.
    if (size.cy > nReference) size = ProbeWidth(nBest);
  }
  if (size.cx <= 0 || size.cy <= 0) return CSize(0, 0);

  int cx = size.cx + 2 + m_rcMargin.left + m_rcMargin.right + 4;
  const int cy = size.cy + 2 + m_rcMargin.top + m_rcMargin.bottom + 2;
  if (strText.Find(L"\\qr") >= 0 || strText.Find(L"\\qc") >= 0) cx += 5;
  m_wndRichEdit.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  return CSize(cx, cy);
}

void CXTPToolTipRichWnd::DrawContent(CDC* pDC, CRect rc) {
  if (m_wndRichEdit.GetSafeHwnd() == nullptr) return;
  CRect rcText = rc;
  rcText.left += m_rcMargin.left + 3;
  rcText.top += m_rcMargin.top + 2;
  rcText.right -= 1;
  rcText.bottom -= 1;
  const int nLogX = pDC->GetDeviceCaps(LOGPIXELSX), nLogY = pDC->GetDeviceCaps(LOGPIXELSY);
  FORMATRANGE fr;
  ZeroMemory(&fr, sizeof(fr));
  fr.hdc = fr.hdcTarget = pDC->GetSafeHdc();
  fr.rc.left = ::MulDiv(rcText.left, 1440, nLogX);
  fr.rc.top = ::MulDiv(rcText.top, 1440, nLogY);
  fr.rc.right = ::MulDiv(rcText.right, 1440, nLogX);
  fr.rc.bottom = ::MulDiv(rcText.bottom, 1440, nLogY);
  fr.rcPage = fr.rc;
  fr.chrg.cpMin = 0;
  fr.chrg.cpMax = -1;
  const LRESULT nPrinted = m_wndRichEdit.SendMessage(EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&fr));
  m_wndRichEdit.SendMessage(EM_FORMATRANGE, FALSE, 0);
  if (nPrinted <= 0 && m_wndRichEdit.GetWindowTextLength() > 0) {
    // A rich edit that prints nothing to another DC shows the text itself, in the same
    // rectangle, see-through for the mouse like the tip.
    m_wndRichEdit.SetWindowPos(nullptr, rcText.left, rcText.top, rcText.Width(), rcText.Height(),
                               SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  } else if (m_wndRichEdit.IsWindowVisible()) {
    m_wndRichEdit.ShowWindow(SW_HIDE);
  }
}
