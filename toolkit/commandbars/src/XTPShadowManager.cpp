// Drop shadows of popups: the manager that makes, places, joins, clips and removes the two
// shadow windows of every open popup.
#include <framework.h>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPControl.h"
#include "XTPPaintManager.h"
#include "XTPHookManager.h"
#include "XTPShadowManager.h"
#include "XTPShadowWnd.h"

namespace {
CXTPShadowManager g_shadowManager;

// What a bar's paint manager says about shadows; a bar without any paint manager gets the
// answers every theme gives (shadows on, no theme shadows, black).
BOOL IsShadowEnabledFor(CXTPCommandBar* pBar) {
  CXTPPaintManager* pPaintManager = pBar != NULL ? pBar->GetPaintManager() : NULL;
  return pPaintManager == NULL || pPaintManager->IsShadowEnabled();
}

BOOL IsThemeShadowFor(CXTPCommandBar* pBar) {
  CXTPPaintManager* pPaintManager = pBar != NULL ? pBar->GetPaintManager() : NULL;
  return pPaintManager != NULL && pPaintManager->IsThemeShadow();
}
}  // namespace

CXTPShadowManager* AFXAPI XTPShadowManager() { return &g_shadowManager; }

CXTPShadowManager::CXTPShadowManager() : m_pfnUpdateLayeredWindow(NULL), m_nSystemShadowOverride(-1) {
  HMODULE hUser = ::GetModuleHandleW(L"USER32");
  if (hUser != NULL)
    m_pfnUpdateLayeredWindow = (PFNUPDATELAYEREDWINDOW)(void*)::GetProcAddress(hUser, "UpdateLayeredWindow");
}

CXTPShadowManager::~CXTPShadowManager() {
  // The hook manager may be gone already (the order of destruction at exit is not fixed);
  // it unsubclasses every window itself.
  while (!m_lstShadow.IsEmpty()) {
    CXTPShadowWnd* pShadow = m_lstShadow.RemoveHead();
    if (::IsWindow(pShadow->GetSafeHwnd())) pShadow->DestroyWindow();
    delete pShadow;
  }
}

CXTPShadowManager::PFNUPDATELAYEREDWINDOW CXTPShadowManager::SetUpdateLayeredWindow(PFNUPDATELAYEREDWINDOW pfn) {
  PFNUPDATELAYEREDWINDOW pfnOld = m_pfnUpdateLayeredWindow;
  m_pfnUpdateLayeredWindow = pfn;
  return pfnOld;
}

BOOL CXTPShadowManager::IsSystemShadowOn() const {
  if (m_nSystemShadowOverride >= 0) return m_nSystemShadowOverride != 0;
  BOOL bDropShadow = FALSE;
  if (!::SystemParametersInfoW(SPI_GETDROPSHADOW, 0, &bDropShadow, 0)) return FALSE;
  return bDropShadow;
}

void CXTPShadowManager::GetShadows(CXTPCommandBar* pOwner, CArray<CXTPShadowWnd*, CXTPShadowWnd*>& arr) const {
  arr.RemoveAll();
  for (POSITION pos = m_lstShadow.GetHeadPosition(); pos != NULL;) {
    CXTPShadowWnd* pShadow = m_lstShadow.GetNext(pos);
    if (pShadow->m_pOwner == pOwner) arr.Add(pShadow);
  }
}

void CXTPShadowManager::SetShadow(CXTPCommandBar* pCommandBar, const CRect& rcExclude) {
  if (pCommandBar == NULL || pCommandBar->GetSafeHwnd() == NULL) return;
  if (pCommandBar->IsCustomizeMode()) return;
  if (!IsThemeShadowFor(pCommandBar) && !(IsLayeredAvailable() && IsSystemShadowOn())) return;

  CRect rcOwner;
  pCommandBar->GetWindowRect(&rcOwner);
  CreateShadow(TRUE, rcOwner, rcExclude, pCommandBar, FALSE);
  CreateShadow(FALSE, rcOwner, rcExclude, pCommandBar, FALSE);
}

void CXTPShadowManager::SetShadow(CXTPControl* pControl) {
  if (pControl == NULL || pControl->GetParent() == NULL || pControl->GetParent()->GetSafeHwnd() == NULL) return;
  CXTPCommandBar* pPopup = pControl->GetCommandBar();
  if (pPopup == NULL || pPopup->GetSafeHwnd() == NULL) return;
  if (!IsThemeShadowFor(pControl->GetParent()) || pControl->GetParent()->IsCustomizeMode()) return;
  CRect rcControl = pControl->GetRect();
  pControl->GetParent()->ClientToScreen(&rcControl);
  CreateShadow(TRUE, rcControl, CRect(0, 0, 0, 0), pPopup, TRUE);
  CreateShadow(FALSE, rcControl, CRect(0, 0, 0, 0), pPopup, TRUE);
}

void CXTPShadowManager::CreateShadow(BOOL bHorizontal, CRect rcOwner, CRect rcExclude,
                                     CXTPCommandBar* pOwner, BOOL /*bControlPopup*/) {
  if (!IsShadowEnabledFor(pOwner)) return;

  CXTPShadowWnd* pShadow = new CXTPShadowWnd();
  pShadow->m_bHorizontal = bHorizontal;
  pShadow->m_bThemeShadow = IsThemeShadowFor(pOwner);
  pShadow->m_pOwner = pOwner;

  const BOOL bLayered = IsLayeredAvailable();
  if (pShadow->GetSafeHwnd() == NULL) {
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_SAVEBITS | CS_OWNDC, ::LoadCursor(NULL, IDC_ARROW));
    CWnd* pSite = pOwner->GetSite();
    HWND hWndSite = pSite != NULL ? pSite->GetSafeHwnd() : NULL;
    // A layered shadow is also transparent to hit-testing, so that a click on it reaches
    // the window below whichever thread owns that window (HTTRANSPARENT alone only passes
    // clicks on to windows of the shadow's own thread, and not on every platform).
    if (!pShadow->CreateEx(bLayered ? (WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW) : WS_EX_TOOLWINDOW,
                           lpszClass, NULL, WS_POPUP, 0, 0, 0, 0, hWndSite, NULL)) {
      delete pShadow;
      return;
    }
  }
  pShadow->SetWindowRgn(NULL, FALSE);

  const int t = bLayered ? 4 : 2;
  CRect rcShadow = bHorizontal ? CRect(rcOwner.left + t, rcOwner.bottom, rcOwner.right + t, rcOwner.bottom + t)
                               : CRect(rcOwner.right, rcOwner.top + t, rcOwner.right + t, rcOwner.bottom);
  const UINT nMoveFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW;
  pShadow->SetWindowPos(NULL, rcShadow.left, rcShadow.top, rcShadow.Width(), rcShadow.Height(), nMoveFlags);

  // Nested popups: the new shadow meets the other-orientation shadows already open.
  for (POSITION pos = m_lstShadow.GetHeadPosition(); pos != NULL;) {
    CXTPShadowWnd* pOther = m_lstShadow.GetNext(pos);
    if (pOther->m_bHorizontal == bHorizontal || pOther->GetSafeHwnd() == NULL) continue;
    CRect rcOther;
    pOther->GetWindowRect(&rcOther);
    BOOL bChanged = FALSE;
    if (bHorizontal) {
      if (rcOther.right == rcShadow.left + 1 && rcOther.top < rcShadow.top && rcOther.bottom > rcShadow.bottom) {
        rcShadow.left -= 2 * rcOther.Width() + 1;
        bChanged = TRUE;
      }
    } else {
      if (rcOther.bottom == rcShadow.top + 1 && rcOther.left < rcShadow.right && rcShadow.right < rcOther.right) {
        rcShadow.top -= 2 * rcOther.Height();
        bChanged = TRUE;
      }
    }
    if (bChanged)
      pShadow->SetWindowPos(NULL, rcShadow.left, rcShadow.top, rcShadow.Width(), rcShadow.Height(), nMoveFlags);
  }

  // The region: the window less the exclude rectangle (theme shadows) and less every open
  // popup that casts a shadow, so that no shadow covers a popup.
  CArray<CRect, CRect&> arrCut;
  if (pShadow->m_bThemeShadow && !rcExclude.IsRectEmpty()) arrCut.Add(rcExclude);
  for (POSITION pos = m_lstShadow.GetHeadPosition(); pos != NULL;) {
    CXTPShadowWnd* pOther = m_lstShadow.GetNext(pos);
    if (pOther->m_pOwner != NULL && pOther->m_pOwner->GetSafeHwnd() != NULL) {
      CRect rcPopup;
      pOther->m_pOwner->GetWindowRect(&rcPopup);
      arrCut.Add(rcPopup);
    }
  }
  HRGN hRgn = NULL;
  for (INT_PTR i = 0; i < arrCut.GetSize(); i++) {
    CRect rcCut;
    if (!rcCut.IntersectRect(rcShadow, arrCut[i])) continue;
    if (hRgn == NULL) hRgn = ::CreateRectRgn(0, 0, rcShadow.Width(), rcShadow.Height());
    rcCut.OffsetRect(-rcShadow.left, -rcShadow.top);
    HRGN hCut = ::CreateRectRgnIndirect(&rcCut);
    ::CombineRgn(hRgn, hRgn, hCut, RGN_DIFF);
    ::DeleteObject(hCut);
  }
  if (hRgn != NULL) pShadow->SetWindowRgn(hRgn, FALSE);  // the window owns the region

  pShadow->SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0,
                        SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER);
  XTPHookManager()->SetHook(pOwner->GetSafeHwnd(), pShadow);
  m_lstShadow.AddTail(pShadow);
}

void CXTPShadowManager::DestroyShadow(CXTPShadowWnd* pShadow) {
  if (pShadow->m_pOwner != NULL) XTPHookManager()->RemoveHook(pShadow->m_pOwner->GetSafeHwnd(), pShadow);
  if (pShadow->GetSafeHwnd() != NULL) pShadow->ShowWindow(SW_HIDE);
  POSITION pos = m_lstShadow.Find(pShadow);
  if (pos != NULL) m_lstShadow.RemoveAt(pos);
  if (pShadow->GetSafeHwnd() != NULL) pShadow->DestroyWindow();
  delete pShadow;
}

void CXTPShadowManager::RemoveShadow(CXTPCommandBar* pOwner) {
  CArray<CXTPShadowWnd*, CXTPShadowWnd*> arr;
  GetShadows(pOwner, arr);
  for (INT_PTR i = 0; i < arr.GetSize(); i++) DestroyShadow(arr[i]);
}
