// The custom control: hosts an application window inside a bar, falling back to a button
// where the window cannot show.
#include <framework.h>

#include <windowsx.h>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPControlCustom.h"
#include "XTPHookManager.h"
#include "XTPPropExchange.h"

#if __has_include("XTPToolBar.h")
#include "XTPToolBar.h"
#define VORLIX_HAVE_TOOLBAR 1
#endif

#define AS_KIND(cls, p) ((p) != NULL && (p)->IsKindOf(RUNTIME_CLASS(cls)) ? static_cast<cls*>(p) : NULL)

extern "C" int vorlix_cb_link_custom = 0;

IMPLEMENT_SERIAL(CXTPControlCustom, CXTPControlButton, VERSIONABLE_SCHEMA | 0x10)

CXTPControlCustom::CXTPControlCustom()
    : m_hwndControl(NULL),
      m_rcBorders(0, 0, 0, 0),
      m_bControlVisible(TRUE),
      m_szControl(0, 0),
      m_verticalOptions(xtpVerticalHide),
      m_nControlID(0) {
  m_controlType = xtpControlCustom;
  m_dwFlags = xtpFlagNoCustomize;
  m_hookPart.m_pControl = this;
}

CXTPControlCustom::~CXTPControlCustom() { XTPHookManager()->RemoveAll(&m_hookPart); }

CXTPControlCustom* AFX_CDECL CXTPControlCustom::CreateControlCustom(CWnd* pWndChild) {
  CXTPControlCustom* pControl = new CXTPControlCustom();
  pControl->SetControl(pWndChild);
  return pControl;
}

void CXTPControlCustom::SetControl(CWnd* pWnd) { SetControl(pWnd != NULL ? pWnd->GetSafeHwnd() : (HWND)NULL); }

void CXTPControlCustom::SetControl(HWND hWnd) {
  if (m_hwndControl != NULL) XTPHookManager()->RemoveHook(m_hwndControl, &m_hookPart);
  m_hwndControl = ::IsWindow(hWnd) ? hWnd : NULL;
  if (m_hwndControl != NULL) {
    CRect rc;
    ::GetWindowRect(m_hwndControl, &rc);
    m_szControl = rc.Size();
    m_nControlID = ::GetDlgCtrlID(m_hwndControl);
    // Hot tracking continues over the hosted window.
    XTPHookManager()->SetHook(m_hwndControl, &m_hookPart);
  }
  m_rcControl.SetRectEmpty();
  DelayLayoutParent();
}

void CXTPControlCustom::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom) {
  m_rcBorders.SetRect(cxLeft, cyTop, cxRight, cyBottom);
  DelayLayoutParent();
}

void CXTPControlCustom::SetEnabled(BOOL bEnabled) {
  CXTPControlButton::SetEnabled(bEnabled);
  if (::IsWindow(m_hwndControl)) ::EnableWindow(m_hwndControl, bEnabled);
}

void CXTPControlCustom::ShowHostedWindow(BOOL bShow) {
  if (!::IsWindow(m_hwndControl)) return;
  ::SetWindowPos(m_hwndControl, NULL, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                     (bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void CXTPControlCustom::SetRect(CRect rcControl) {
  HWND hWndBar = m_pParent != NULL ? m_pParent->GetSafeHwnd() : NULL;
  const BOOL bWindow = ::IsWindow(m_hwndControl);
  if (m_rcControl == rcControl && (!bWindow || ::GetParent(m_hwndControl) == hWndBar)) return;
  m_rcControl = rcControl;
  if (!bWindow) return;
  if (hWndBar != NULL) {
    LONG_PTR dwStyle = ::GetWindowLongPtr(m_hwndControl, GWL_STYLE);
    dwStyle = (dwStyle & ~(LONG_PTR)WS_POPUP) | WS_CHILD;
    ::SetWindowLongPtr(m_hwndControl, GWL_STYLE, dwStyle);
    if (::GetParent(m_hwndControl) != hWndBar) ::SetParent(m_hwndControl, hWndBar);
  }
  CRect rcWindow = rcControl;
  rcWindow.DeflateRect(m_rcBorders.left, m_rcBorders.top, m_rcBorders.right, m_rcBorders.bottom);
  ::MoveWindow(m_hwndControl, rcWindow.left, rcWindow.top, rcWindow.Width(), rcWindow.Height(), TRUE);
  ShowHostedWindow(m_bControlVisible && m_dwHideFlags == xtpHideNone);
}

void CXTPControlCustom::SetHideFlags(DWORD dwFlags) {
  CXTPControlButton::SetHideFlags(dwFlags);
  ShowHostedWindow(m_bControlVisible && dwFlags == xtpHideNone);
}

CSize CXTPControlCustom::GetSize(CDC* pDC) {
  if (::IsWindow(m_hwndControl) && m_bControlVisible)
    return CSize(m_szControl.cx + m_rcBorders.left + m_rcBorders.right,
                 m_szControl.cy + m_rcBorders.top + m_rcBorders.bottom);
  return CXTPControlButton::GetSize(pDC);
}

void CXTPControlCustom::Draw(CDC* pDC) {
  if (::IsWindow(m_hwndControl) && ::IsWindowVisible(m_hwndControl)) return;
  CXTPControlButton::Draw(pDC);
}

void CXTPControlCustom::OnBarLayout(DWORD dwLayoutFlags) {
  const BOOL bVertical = (dwLayoutFlags & LM_VERTDOCK) != 0;
  if (m_verticalOptions == xtpVerticalHide) {
    if (bVertical)
      SetHideFlags(m_dwHideFlags | xtpHideDockingPosition);
    else if (m_dwHideFlags & xtpHideDockingPosition)
      SetHideFlags(m_dwHideFlags & ~xtpHideDockingPosition);
  } else if (m_verticalOptions == xtpVerticalButton) {
    if (m_bControlVisible == bVertical) {
      m_bControlVisible = !bVertical;
      // The button and the window differ in size: the next SetRect places it again.
      m_rcControl.SetRectEmpty();
    }
    ShowHostedWindow(m_bControlVisible && m_dwHideFlags == xtpHideNone);
  }
}

void CXTPControlCustom::OnClick(BOOL bKeyboard, CPoint pt) {
  if (!::IsWindow(m_hwndControl) || !::IsWindowVisible(m_hwndControl) || IsCustomizeMode())
    CXTPControlButton::OnClick(bKeyboard, pt);
}

BOOL CXTPControlCustom::AcceptsDrop(CXTPCommandBar* pCommandBar, CPoint, DROPEFFECT* pDropEffect) {
  if (pCommandBar != NULL && pCommandBar->GetType() == xtpBarTypePopup) return TRUE;
  if (pDropEffect != NULL) *pDropEffect = DROPEFFECT_NONE;
  return FALSE;
}

void CXTPControlCustom::Copy(CXTPControl* pControl, BOOL bRecursive) {
  CXTPControlCustom* pCustom = AS_KIND(CXTPControlCustom, pControl);
  if (pCustom != NULL && pCustom != this) {
    m_rcBorders = pCustom->m_rcBorders;
    m_szControl = pCustom->m_szControl;
    m_verticalOptions = pCustom->m_verticalOptions;
    m_bControlVisible = pCustom->m_bControlVisible;
    if (m_hwndControl != pCustom->m_hwndControl) {
      if (m_hwndControl != NULL) XTPHookManager()->RemoveHook(m_hwndControl, &m_hookPart);
      m_hwndControl = pCustom->m_hwndControl;
    }
    m_nControlID = pCustom->m_nControlID;
  }
  CXTPControlButton::Copy(pControl, bRecursive);
}

CXTPControl* CXTPControlCustom::Clone(BOOL bRecursive) { return CXTPControlButton::Clone(bRecursive); }

void CXTPControlCustom::DoPropExchange(CXTPPropExchange* pPX) {
  CXTPControlButton::DoPropExchange(pPX);
  PX_Rect(pPX, _T("Borders"), m_rcBorders, CRect(0, 0, 0, 0));
  PX_Size(pPX, _T("ControlSize"), m_szControl, CSize(0, 0));
  PX_Int(pPX, _T("VerticalOptions"), m_verticalOptions, 0);
  if (pPX->GetSchema() > 5) PX_Int(pPX, _T("ControlId"), m_nControlID, 0);
  if (pPX->IsLoading() && m_nControlID != 0) AttachByControlId();
}

BOOL CXTPControlCustom::AttachByControlId() {
  if (m_nControlID == 0) return FALSE;
  HWND hFound = NULL;
  CWnd* pSite = GetSite();
  if (pSite != NULL && pSite->GetSafeHwnd() != NULL) hFound = ::GetDlgItem(pSite->GetSafeHwnd(), m_nControlID);
  CXTPCommandBars* pCommandBars = m_pParent != NULL ? m_pParent->GetCommandBars() : NULL;
  if (hFound == NULL && pCommandBars != NULL) {
#ifdef VORLIX_HAVE_TOOLBAR
    for (int i = 0; i < pCommandBars->GetCount() && hFound == NULL; i++) {
      CXTPToolBar* pBar = pCommandBars->GetAt(i);
      if (pBar != NULL && pBar->GetSafeHwnd() != NULL) hFound = ::GetDlgItem(pBar->GetSafeHwnd(), m_nControlID);
    }
#endif
  }
  if (hFound == NULL) return FALSE;
  const CSize szStored = m_szControl;
  SetControl(hFound);
  if (szStored.cx > 0 && szStored.cy > 0) m_szControl = szStored;
  return TRUE;
}

int CXTPControlCustom::CHookPart::OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam,
                                                LRESULT&) {
  if (nMessage != WM_MOUSEMOVE || m_pControl == NULL) return xtpHookNotHandled;
  CXTPCommandBar* pBar = m_pControl->GetParent();
  if (pBar == NULL || pBar->GetSafeHwnd() == NULL) return xtpHookNotHandled;
  CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  ::MapWindowPoints(hWnd, pBar->GetSafeHwnd(), &pt, 1);
  pBar->OnMouseMove((UINT)wParam, pt);
  return xtpHookNotHandled;
}
