// The tooltip context: asks its owner for the tool under the cursor, keeps one tool in the
// tip window and shows, switches or cancels the tip.
#include <framework.h>

#include <cstdlib>
#include <cwchar>

#include "XTPDrawHelpers.h"
#include "XTPSystemVersion.h"
#include "XTPToolTipContext.h"
#include "XTPToolTipWnd.h"

IMPLEMENT_DYNAMIC(CXTPToolTipContext, CCmdTarget)

namespace {

// A heap copy (calloc) of the text, freed with free().
LPWSTR HeapCopy(const CString& str) {
  const int n = str.GetLength();
  auto* p = static_cast<LPWSTR>(calloc(static_cast<size_t>(n) + 1, sizeof(WCHAR)));
  if (p != nullptr && n > 0) wmemcpy(p, static_cast<LPCWSTR>(str), n);
  return p;
}

// The first window up the parent chain without WS_CHILD.
HWND ParentOwner(HWND hWnd) {
  HWND hParent;
  while ((::GetWindowLongPtrW(hWnd, GWL_STYLE) & WS_CHILD) && (hParent = ::GetParent(hWnd)) != nullptr)
    hWnd = hParent;
  return hWnd;
}

BOOL AnyMouseButtonDown() {
  return (::GetKeyState(VK_LBUTTON) & 0x8000) || (::GetKeyState(VK_RBUTTON) & 0x8000) ||
         (::GetKeyState(VK_MBUTTON) & 0x8000);
}

// The rich-edit libraries the rich-text tip needs: version 2 and the "RICHEDIT" class.
void InitRichEditLibraries() {
  static bool done = false;
  if (done) return;
  done = true;
  AfxInitRichEdit();
  ::LoadLibraryW(L"RICHED32.DLL");
}

}  // namespace

CXTPToolTipContext::CXTPToolTipContext()
    : m_bShowTitle(FALSE),
      m_nStyle(xtpToolTipStandard),
      m_dwComCtlVersion(XTPReadComCtlVersion()),
      m_nTitleIcon(TTI_INFO),
      m_nMaxTipWidth(::GetSystemMetrics(SM_CXSCREEN) / 2),
      m_dwToolTipStyle(TTS_NOPREFIX),
      m_rcMargin(0, 0, 0, 0),
      m_nDelayInitial(-1),
      m_nDelayReshow(-1),
      m_nDelayAutoPop(-1),
      m_pToolTip(nullptr),
      m_clrTipBack(static_cast<COLORREF>(-1)),
      m_clrTipText(static_cast<COLORREF>(-1)) {
  ZeroMemory(&m_lastTool, sizeof(m_lastTool));
  m_lastTool.cbSize = XTP_TOOLINFO_EX_SIZE;
  InitRichEditLibraries();
}

CXTPToolTipContext::~CXTPToolTipContext() { DestroyToolTip(); }

// ---------------------------------------------------------------------------------------
// Properties.

void CXTPToolTipContext::SetStyle(int nStyle) {
  if (nStyle == m_nStyle) return;
  m_nStyle = nStyle;
  DestroyToolTip();  // the next tip window is made of the new kind
}

void CXTPToolTipContext::ShowTitleAndDescription(BOOL bShowTitle, int nTitleIcon) {
  m_bShowTitle = bShowTitle;
  m_nTitleIcon = nTitleIcon;
}

void CXTPToolTipContext::SetMaxTipWidth(int nWidth) {
  m_nMaxTipWidth = nWidth;
  if (m_pToolTip && m_pToolTip->GetSafeHwnd()) m_pToolTip->SendMessage(TTM_SETMAXTIPWIDTH, 0, nWidth);
}

void CXTPToolTipContext::SetMargin(const RECT& rcMargin) {
  m_rcMargin = rcMargin;
  if (m_pToolTip && m_pToolTip->GetSafeHwnd())
    m_pToolTip->SendMessage(TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&m_rcMargin));
}

void CXTPToolTipContext::SetDelayTime(DWORD dwDuration, int nTime) {
  switch (dwDuration) {
    case TTDT_INITIAL: m_nDelayInitial = nTime; break;
    case TTDT_RESHOW: m_nDelayReshow = nTime; break;
    case TTDT_AUTOPOP: m_nDelayAutoPop = nTime; break;
    default: return;
  }
  if (nTime != -1 && m_pToolTip && m_pToolTip->GetSafeHwnd())
    m_pToolTip->SendMessage(TTM_SETDELAYTIME, dwDuration, MAKELPARAM(nTime, 0));
}

int CXTPToolTipContext::GetDelayTime(DWORD dwDuration) const {
  switch (dwDuration) {
    case TTDT_INITIAL: return m_nDelayInitial;
    case TTDT_RESHOW: return m_nDelayReshow;
    case TTDT_AUTOPOP: return m_nDelayAutoPop;
    default: return -1;
  }
}

void CXTPToolTipContext::SetTipBkColor(COLORREF clr) {
  m_clrTipBack = clr;
  if (clr != static_cast<COLORREF>(-1) && m_pToolTip && m_pToolTip->GetSafeHwnd())
    m_pToolTip->SendMessage(TTM_SETTIPBKCOLOR, clr, 0);
}

void CXTPToolTipContext::SetTipTextColor(COLORREF clr) {
  m_clrTipText = clr;
  if (clr != static_cast<COLORREF>(-1) && m_pToolTip && m_pToolTip->GetSafeHwnd())
    m_pToolTip->SendMessage(TTM_SETTIPTEXTCOLOR, clr, 0);
}

void CXTPToolTipContext::ModifyToolTipStyle(DWORD dwRemove, DWORD dwAdd) {
  const DWORD dwStyle = (m_dwToolTipStyle | dwAdd) & ~dwRemove;
  if (dwStyle == m_dwToolTipStyle) return;
  m_dwToolTipStyle = dwStyle;
  DestroyToolTip();
}

// ---------------------------------------------------------------------------------------
// The tip window.

CWnd* CXTPToolTipContext::CreateToolTip(CWnd* pWndOwner) {
  if (m_nStyle == xtpToolTipStandard || m_nStyle == xtpToolTipBalloon) {
    auto* pToolTip = new CToolTipCtrl;
    DWORD dwStyle = m_dwToolTipStyle | TTS_ALWAYSTIP;
    if (m_nStyle == xtpToolTipBalloon) dwStyle |= TTS_BALLOON;
    if (!pToolTip->Create(pWndOwner, dwStyle)) {
      delete pToolTip;
      return nullptr;
    }
    return pToolTip;
  }
  CXTPToolTipWnd* pToolTip = m_nStyle == xtpToolTipRichText ? new CXTPToolTipRichWnd(this)
                                                           : new CXTPToolTipWnd(this, m_nStyle);
  const BOOL bDropShadow = m_dwComCtlVersion >= MAKELONG(0, 6) && !(m_dwToolTipStyle & 0x2000);
  if (!pToolTip->Create(pWndOwner, m_dwToolTipStyle, bDropShadow)) {
    delete pToolTip;
    return nullptr;
  }
  return pToolTip;
}

void CXTPToolTipContext::SetupToolTip(CWnd* pToolTip) {
  pToolTip->SendMessage(TTM_SETMAXTIPWIDTH, 0, m_nMaxTipWidth);
  pToolTip->SendMessage(TTM_SETMARGIN, 0, reinterpret_cast<LPARAM>(&m_rcMargin));
  if (m_clrTipBack != static_cast<COLORREF>(-1)) pToolTip->SendMessage(TTM_SETTIPBKCOLOR, m_clrTipBack, 0);
  if (m_clrTipText != static_cast<COLORREF>(-1)) pToolTip->SendMessage(TTM_SETTIPTEXTCOLOR, m_clrTipText, 0);
  if (m_nDelayReshow != -1) pToolTip->SendMessage(TTM_SETDELAYTIME, TTDT_RESHOW, MAKELPARAM(m_nDelayReshow, 0));
  if (m_nDelayInitial != -1) pToolTip->SendMessage(TTM_SETDELAYTIME, TTDT_INITIAL, MAKELPARAM(m_nDelayInitial, 0));
  if (m_nDelayAutoPop != -1) pToolTip->SendMessage(TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(m_nDelayAutoPop, 0));
  pToolTip->SendMessage(TTM_ACTIVATE, FALSE, 0);
}

void CXTPToolTipContext::DestroyToolTip() {
  if (m_pToolTip != nullptr) {
    // The window goes first: its destruction takes the mouse hook with it.
    if (m_pToolTip->GetSafeHwnd() != nullptr) m_pToolTip->DestroyWindow();
    delete m_pToolTip;
    m_pToolTip = nullptr;
  }
  ZeroMemory(&m_lastTool, sizeof(m_lastTool));
  m_lastTool.cbSize = XTP_TOOLINFO_EX_SIZE;
}

void CXTPToolTipContext::CancelToolTips() {
  if (m_pToolTip != nullptr && m_pToolTip->GetSafeHwnd() != nullptr)
    m_pToolTip->SendMessage(TTM_ACTIVATE, FALSE, 0);
}

// ---------------------------------------------------------------------------------------
// Hit-test records.

void CXTPToolTipContext::FillInToolInfo(TTTOOLINFOW* pToolInfo, HWND hWnd, CRect rect, UINT_PTR nId,
                                        const CString& strText, const CString& strTitle,
                                        const CString& strDescription) {
  if (pToolInfo == nullptr || pToolInfo->cbSize < XTP_TOOLINFO_SIZE) return;
  pToolInfo->hwnd = hWnd;
  pToolInfo->uId = nId;
  pToolInfo->rect = rect;
  pToolInfo->lpszText = HeapCopy(strText);
  if (pToolInfo->cbSize >= XTP_TOOLINFO_EX_SIZE && pToolInfo->lParam != 0 && !strTitle.IsEmpty() &&
      !strDescription.IsEmpty()) {
    auto* pTexts = reinterpret_cast<XTP_TOOLTIP_TEXTS*>(pToolInfo->lParam);
    free(pTexts->lpszTitle);
    free(pTexts->lpszDescription);
    pTexts->lpszTitle = HeapCopy(strTitle);
    pTexts->lpszDescription = HeapCopy(strDescription);
  }
}

void CXTPToolTipContext::FreeToolInfoTexts(TTTOOLINFOW* pToolInfo, XTP_TOOLTIP_TEXTS* pTexts) {
  // A callback text and a string-resource id are not copies.
  if (pToolInfo->lpszText != LPSTR_TEXTCALLBACKW && !IS_INTRESOURCE(pToolInfo->lpszText))
    free(pToolInfo->lpszText);
  pToolInfo->lpszText = nullptr;
  free(pTexts->lpszTitle);
  free(pTexts->lpszDescription);
  pTexts->lpszTitle = pTexts->lpszDescription = nullptr;
}

// ---------------------------------------------------------------------------------------
// Filtering.

void CXTPToolTipContext::FilterToolTipMessage(CWnd* pWndOwner, UINT message, WPARAM wParam, LPARAM lParam) {
  if (pWndOwner == nullptr || pWndOwner->GetSafeHwnd() == nullptr) return;
  MSG msg = {};
  msg.hwnd = pWndOwner->m_hWnd;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.time = ::GetMessageTime();
  ::GetCursorPos(&msg.pt);
  FilterToolTipMessage(pWndOwner, &msg);
}

void CXTPToolTipContext::FilterToolTipMessage(CWnd* pWndOwner, MSG* pMsg) {
  if (pWndOwner == nullptr || pWndOwner->GetSafeHwnd() == nullptr || pMsg == nullptr) return;
  // A tip window that went with its owner (an owned popup dies with it) is forgotten.
  if (m_pToolTip != nullptr && !::IsWindow(m_pToolTip->GetSafeHwnd())) DestroyToolTip();

  const UINT message = pMsg->message;
  switch (message) {
    case WM_NCMOUSEMOVE:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONDBLCLK:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      CancelToolTips();
      return;
    default:
      if (message >= WM_KEYFIRST && message <= WM_KEYLAST) CancelToolTips();
      return;
  }
  if (AnyMouseButtonDown()) return;

  const HWND hWndOwner = pWndOwner->m_hWnd;
  const BOOL bTopActive = CXTPDrawHelpers::IsTopParentActive(hWndOwner);
  if (!bTopActive && m_pToolTip != nullptr && m_pToolTip->IsWindowVisible()) {
    m_pToolTip->SendMessage(TTM_ACTIVATE, FALSE, 0);
    return;
  }

  // The tip window belongs to the owner's parent owner.
  const HWND hWndParentOwner = ParentOwner(hWndOwner);
  if (m_pToolTip != nullptr) {
    HWND hWndTipOwner = ::GetWindow(m_pToolTip->m_hWnd, GW_OWNER);
    if (hWndTipOwner == nullptr) hWndTipOwner = ::GetParent(m_pToolTip->m_hWnd);
    if (hWndTipOwner != hWndParentOwner) DestroyToolTip();
  }
  if (m_pToolTip == nullptr) {
    m_pToolTip = CreateToolTip(CWnd::FromHandle(hWndParentOwner));
    if (m_pToolTip == nullptr) return;
    SetupToolTip(m_pToolTip);
  }
  CWnd* pToolTip = m_pToolTip;

  // Ask the owner. The long record carries the title and description in texts.
  TTTOOLINFOW ti;
  ZeroMemory(&ti, sizeof(ti));
  XTP_TOOLTIP_TEXTS texts = {nullptr, nullptr};
  ti.cbSize = m_bShowTitle ? XTP_TOOLINFO_EX_SIZE : XTP_TOOLINFO_SIZE;
  if (m_bShowTitle) ti.lParam = reinterpret_cast<LPARAM>(&texts);
  CPoint ptClient = pMsg->pt;
  ::ScreenToClient(hWndOwner, &ptClient);
  const INT_PTR nHit = pWndOwner->OnToolHitTest(ptClient, &ti);
  const BOOL bHit = nHit != -1;
  const BOOL bLastSet = m_lastTool.hwnd != nullptr;
  const BOOL bSameTool = bHit && bLastSet && m_lastTool.hwnd == ti.hwnd && m_lastTool.uId == ti.uId;

  if (bSameTool && ::EqualRect(&m_lastTool.rect, &ti.rect)) {
    RelayToTip(pToolTip, pMsg);
  } else {
    if (bSameTool) {
      // The tool moved: it goes before it comes back with its new rectangle.
      pToolTip->SendMessage(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&m_lastTool));
    }
    if (!bHit) {
      pToolTip->SendMessage(TTM_ACTIVATE, FALSE, 0);
      // The tool the mouse left is taken out, so that coming back to it is a new tool.
      if (bLastSet) pToolTip->SendMessage(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&m_lastTool));
      ZeroMemory(&m_lastTool, sizeof(m_lastTool));
      m_lastTool.cbSize = XTP_TOOLINFO_EX_SIZE;
    } else {
      const BOOL bActivate = (ti.uFlags & XTP_TTF_ACTIVATE) != 0;
      TTTOOLINFOW tiAdd = ti;
      tiAdd.uFlags &= ~XTP_TTF_CONTEXTFLAGS;
      pToolTip->SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tiAdd));
      if (m_nStyle != xtpToolTipRichText &&
          (m_dwComCtlVersion > MAKELONG(79, 5) || m_nStyle != xtpToolTipStandard)) {
        if (m_bShowTitle && texts.lpszTitle != nullptr && texts.lpszDescription != nullptr) {
          pToolTip->SendMessage(TTM_SETTITLEW, m_nTitleIcon, reinterpret_cast<LPARAM>(texts.lpszTitle));
          TTTOOLINFOW tiText = tiAdd;
          tiText.lpszText = texts.lpszDescription;
          pToolTip->SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tiText));
        } else {
          pToolTip->SendMessage(TTM_SETTITLEW, 0, 0);
        }
      }
      if (bActivate || bTopActive) {
        pToolTip->SendMessage(TTM_ACTIVATE, TRUE, 0);
        pToolTip->SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0,
                               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
      }
    }
    if (bHit) RelayToTip(pToolTip, pMsg);
    if (bHit) {
      if (bLastSet && !bSameTool)
        pToolTip->SendMessage(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&m_lastTool));
      m_lastTool = ti;
      m_lastTool.cbSize = XTP_TOOLINFO_EX_SIZE;
      m_lastTool.uFlags &= ~XTP_TTF_CONTEXTFLAGS;
      m_lastTool.lpszText = nullptr;  // the copy is freed below
      m_lastTool.lParam = 0;
    }
  }
  // The record's copies are freed whatever path was taken.
  FreeToolInfoTexts(&ti, &texts);
}

void CXTPToolTipContext::RelayToTip(CWnd* pToolTip, const MSG* pMsg) {
  MSG msg = *pMsg;
  POINT pt = pMsg->pt;
  HWND hWnd = reinterpret_cast<HWND>(pToolTip->SendMessage(TTM_WINDOWFROMPOINT, 0, reinterpret_cast<LPARAM>(&pt)));
  if (hWnd == nullptr) hWnd = ::WindowFromPoint(pt);
  msg.hwnd = hWnd;
  if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MBUTTONDBLCLK && hWnd != nullptr) {
    ::ScreenToClient(hWnd, &pt);
    msg.lParam = MAKELPARAM(pt.x, pt.y);
  }
  pToolTip->SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}
