// The command bars' keyboard side and frame traffic: Alt accelerators, keyboard cues, the
// frame's pre-translation and frame messages, closing popups, moving the keyboard to
// another bar; also the paint and image manager overrides, the customize modes and the
// customize selection (drag control).
#include <framework.h>

#include "XTPColorManager.h"
#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPControl.h"
#include "XTPControls.h"
#include "XTPCustomizeDropSource.h"
#include "XTPCustomizeSheet.h"
#include "XTPImageManager.h"
#include "XTPKeyboardManager.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPShortcutManager.h"
#include "XTPToolBar.h"

namespace {
const BYTE kCuesUseOtherBars = 0x01;   // Alt+letter also searches the other visible bars
const int kCuesUseNone = 2;            // Alt+letter is not handled
const BYTE kCuesUseMnemonicsOnly = 0x04;  // no first-letter matching

// The bars of the command bars: the menu bar and toolbars in their order, then any other
// bar window made with these command bars (registered with the customize drop source), in
// the order their windows were made; popups are left out.
void CollectBars(const CXTPCommandBars* pCommandBars, CArray<CXTPCommandBar*, CXTPCommandBar*>& arrBars) {
  arrBars.RemoveAll();
  for (int i = 0; i < pCommandBars->GetCount(); i++) {
    CXTPToolBar* pToolBar = pCommandBars->GetAt(i);
    if (pToolBar != NULL) arrBars.Add(pToolBar);
  }
  CXTPCustomizeDropSource* pSource = pCommandBars->GetDropSource();
  if (pSource == NULL) return;
  for (int i = 0; i < pSource->GetRegisteredCount(); i++) {
    CXTPCommandBar* pBar = pSource->GetRegisteredAt(i);
    if (pBar == NULL || pBar->GetType() == xtpBarTypePopup || pBar->GetCommandBars() != pCommandBars) continue;
    BOOL bListed = FALSE;
    for (int k = 0; k < arrBars.GetSize() && !bListed; k++) bListed = arrBars[k] == pBar;
    if (!bListed) arrBars.Add(pBar);
  }
}

BOOL IsBarShown(CXTPCommandBar* pBar) {
  return pBar != NULL && pBar->GetSafeHwnd() != NULL && ::IsWindowVisible(pBar->GetSafeHwnd()) && pBar->IsVisible();
}

CXTPCommandBar* VisibleMenuBar(const CXTPCommandBars* pCommandBars) {
  CArray<CXTPCommandBar*, CXTPCommandBar*> arrBars;
  CollectBars(pCommandBars, arrBars);
  for (int i = 0; i < arrBars.GetSize(); i++) {
    if (arrBars[i]->GetType() == xtpBarTypeMenuBar && IsBarShown(arrBars[i])) return arrBars[i];
  }
  return NULL;
}

// The key character of a caption: the one after the first "&" unless that is the last
// character (a mnemonic), else the first character.
TCHAR CaptionKey(const CString& strCaption, BOOL& bMnemonic) {
  bMnemonic = FALSE;
  const int nAmp = strCaption.Find(_T('&'));
  if (nAmp >= 0 && nAmp + 1 < strCaption.GetLength()) {
    bMnemonic = TRUE;
    return strCaption[nAmp + 1];
  }
  return strCaption.IsEmpty() ? 0 : strCaption[0];
}

// Marks a site between the start and the end of its appearing on the screen.
const TCHAR kSiteAppearing[] = _T("VorlixCommandBarsSiteAppearing");

// The site was just shown. Floating bars are owned by it and belong above it, but one
// shown while the site was still hidden (a stored layout loaded as the frame is made)
// went onto the screen first, and the display can stack the site over it when the site
// appears: each visible floating bar of the site is shown again, after the site.
void ShowFloatingBarsAfterSite(const CXTPCommandBars* pCommandBars) {
  CWnd* pSite = pCommandBars->GetSite();
  const HWND hSite = pSite != NULL ? pSite->GetSafeHwnd() : NULL;
  if (hSite == NULL) return;
  for (int i = 0; i < pCommandBars->GetCount(); i++) {
    CXTPToolBar* pBar = pCommandBars->GetAt(i);
    const HWND hBar = pBar != NULL ? pBar->GetSafeHwnd() : NULL;
    if (hBar == NULL || pBar->GetPosition() != xtpBarFloating || !::IsWindowVisible(hBar) ||
        ::GetWindow(hBar, GW_OWNER) != hSite)
      continue;
    ::SetWindowPos(hBar, NULL, 0, 0, 0, 0,
                   SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::SetWindowPos(hBar, HWND_TOP, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}
}  // namespace

// ---- Managers ---------------------------------------------------------------------------
CXTPPaintManager* CXTPCommandBars::GetPaintManager() const {
  if (m_pPaintManager != NULL) return m_pPaintManager;
  return XTPPaintManager();
}

void CXTPCommandBars::SetPaintManager(CXTPPaintManager* pPaintManager) {
  if (m_pPaintManager == pPaintManager) return;
  if (m_pPaintManager != NULL) m_pPaintManager->InternalRelease();
  m_pPaintManager = pPaintManager;
  if (m_pPaintManager != NULL) m_pPaintManager->RefreshMetrics();
}

CXTPImageManager* CXTPCommandBars::GetImageManager() const {
  if (m_pImageManager != NULL) return m_pImageManager;
  return XTPImageManager();
}

void CXTPCommandBars::SetImageManager(CXTPImageManager* pImageManager) {
  if (m_pImageManager == pImageManager) return;
  if (m_pImageManager != NULL) m_pImageManager->InternalRelease();
  m_pImageManager = pImageManager;
}

// ---- Customize ----------------------------------------------------------------------------
void CXTPCommandBars::SetDragControl(CXTPControl* pControl) {
  if (pControl == m_pDragSelected) return;
  CXTPControl* pOld = m_pDragSelected;
  m_pDragSelected = pControl;
  if (pOld != NULL) {
    CXTPCommandBar* pBar = pOld->GetParent();
    if (pBar != NULL && pBar->GetSafeHwnd() != NULL) pBar->Invalidate(FALSE);
    pOld->InternalRelease();
  }
  if (pControl != NULL) {
    pControl->InternalAddRef();
    CXTPCommandBar* pBar = pControl->GetParent();
    if (pBar != NULL && pBar->GetSafeHwnd() != NULL) pBar->Invalidate(FALSE);
  }
  // The customize sheet, when it runs, hears of the new selection; else the site.
  CXTPCustomizeSheet* pSheet = m_pDropSource != NULL ? m_pDropSource->GetSheet() : NULL;
  HWND hWndSheet = pSheet != NULL ? pSheet->GetSafeHwnd() : NULL;
  if (hWndSheet != NULL && ::IsWindow(hWndSheet))
    ::SendMessage(hWndSheet, XTPM_CUSTOMIZESELCHANGED, 0, 0);
  else if (m_pSite != NULL && m_pSite->GetSafeHwnd() != NULL)
    m_pSite->SendMessage(XTPM_CUSTOMIZESELCHANGED, 0, 0);
}

void CXTPCommandBars::SetCustomizeMode(BOOL bMode) {
  m_pOptions->bDirtyState = TRUE;
  m_bCustomizeMode = bMode;
  SetDragControl(NULL);
  CArray<CXTPCommandBar*, CXTPCommandBar*> arrBars;
  CollectBars(this, arrBars);
  for (int i = 0; i < arrBars.GetSize(); i++) arrBars[i]->OnIdleUpdateCmdUI(TRUE);
  RecalcFrameLayout();
  ShowKeyboardCues(bMode);
}

void CXTPCommandBars::SetQuickCustomizeMode(BOOL bMode) {
  m_pOptions->bDirtyState = TRUE;
  m_bQuickCustomizeMode = bMode;
  m_bCustomizeMode = bMode;
  SetDragControl(NULL);
}

// ---- Keyboard cues ------------------------------------------------------------------------
void CXTPCommandBars::ShowKeyboardCues(BOOL bShow) {
  if (m_bCustomizeMode) bShow = TRUE;
  if (!m_bHideKeyboardCuesUntilAlt || bShow == m_bKeyboardCuesVisible) return;
  m_bKeyboardCuesVisible = bShow;
  CArray<CXTPCommandBar*, CXTPCommandBar*> arrBars;
  CollectBars(this, arrBars);
  for (int i = 0; i < arrBars.GetSize(); i++) {
    if (IsBarShown(arrBars[i])) arrBars[i]->Invalidate(FALSE);
  }
}

void CXTPCommandBars::ApplyKeyboardCuesShow() {
  m_bHideKeyboardCuesUntilAlt = FALSE;
  const int nShow = m_pOptions->keyboardCuesShow;
  m_bKeyboardCuesVisible = nShow != 1;
  if (nShow == 2) {
    BOOL bSystemCues = TRUE;
    if (::SystemParametersInfo(SPI_GETKEYBOARDCUES, 0, &bSystemCues, 0) && !bSystemCues) {
      m_bHideKeyboardCuesUntilAlt = TRUE;
      m_bKeyboardCuesVisible = FALSE;
    }
  }
}

void CXTPCommandBars::OnTrackingModeChanged(CXTPCommandBar*, int bMode) {
  if (bMode == 0 && m_bHideKeyboardCuesUntilAlt && XTPMouseManager()->GetTrackingBarCount() == 0)
    ShowKeyboardCues(FALSE);
}

// ---- Popups, direction, focus ---------------------------------------------------------------
void CXTPCommandBars::ClosePopups() { GetMouseManager()->CloseAllTrackingBars(); }

BOOL CXTPCommandBars::IsLayoutRTL() const {
  if (m_pSite != NULL && m_pSite->GetSafeHwnd() != NULL && (m_pSite->GetExStyle() & WS_EX_LAYOUTRTL) != 0)
    return TRUE;
  return m_bRightToLeft;
}

BOOL CXTPCommandBars::SetFocusToBar(CXTPToolBar* pCommandBar, int nDirection) {
  return SetFocusToCommandBar(pCommandBar, nDirection);
}

BOOL CXTPCommandBars::SetFocusToCommandBar(CXTPCommandBar* pCommandBar, int nDirection) {
  if (pCommandBar == NULL) return FALSE;
  CXTPCommandBar* pTarget = pCommandBar;
  if (nDirection != 0) {
    CArray<CXTPCommandBar*, CXTPCommandBar*> arrBars;
    CollectBars(this, arrBars);
    const int nCount = (int)arrBars.GetSize();
    if (nCount < 2) return FALSE;
    int nIndex = -1;
    for (int i = 0; i < nCount; i++) {
      if (arrBars[i] == pCommandBar) nIndex = i;
    }
    if (nIndex == -1) return FALSE;
    pTarget = NULL;
    for (int k = 1; k < nCount; k++) {
      CXTPCommandBar* pBar = arrBars[((nIndex + k * (nDirection > 0 ? 1 : -1)) % nCount + nCount) % nCount];
      if (IsBarShown(pBar)) {
        pTarget = pBar;
        break;
      }
    }
    if (pTarget == NULL) return FALSE;
  }
  ClosePopups();
  ShowKeyboardCues(TRUE);
  pTarget->SetTrackingMode(xtpTrackingActive, FALSE, FALSE);
  CXTPControls* pControls = pTarget->GetControls();
  if (pControls != NULL) pTarget->SetSelected(pControls->GetNext(-1, +1), TRUE);
  return TRUE;
}

// ---- Alt accelerators ---------------------------------------------------------------------
CXTPControl* CXTPCommandBars::FindAccel(CXTPCommandBar* pCommandBar, UINT chAccel, BOOL& bSelectOnly) const {
  bSelectOnly = FALSE;
  if (pCommandBar == NULL) return NULL;
  const int nUse = m_pOptions->keyboardCuesUse;
  // The bars searched: this one, then (with the option) the other visible bars in order.
  CArray<CXTPCommandBar*, CXTPCommandBar*> arrSearch;
  arrSearch.Add(pCommandBar);
  if (nUse & kCuesUseOtherBars) {
    CArray<CXTPCommandBar*, CXTPCommandBar*> arrBars;
    CollectBars(this, arrBars);
    int nStart = -1;
    for (int i = 0; i < arrBars.GetSize(); i++) {
      if (arrBars[i] == pCommandBar) nStart = i;
    }
    const int nCount = (int)arrBars.GetSize();
    for (int k = 1; k <= nCount; k++) {
      CXTPCommandBar* pBar = arrBars[((nStart < 0 ? -1 : nStart) + k) % nCount];
      if (pBar != pCommandBar && IsBarShown(pBar)) arrSearch.Add(pBar);
    }
  }
  CXTPControl* pMnemonic = NULL;
  CXTPControl* pFirstLetter = NULL;
  BOOL bFirstLetterAmbiguous = FALSE;
  for (int b = 0; b < arrSearch.GetSize(); b++) {
    CXTPCommandBar* pBar = arrSearch[b];
    const int nCount = pBar->GetControlCount();
    if (nCount == 0) continue;
    const int nStart = b == 0 ? pBar->GetSelectedIndex() : -1;
    const BOOL bFirstLetters = (nUse & kCuesUseMnemonicsOnly) == 0 &&
                               (pBar->GetType() == xtpBarTypeMenuBar || pBar->IsTrackingMode());
    for (int k = 1; k <= nCount; k++) {
      CXTPControl* pControl = pBar->GetControl(((nStart < 0 ? -1 : nStart) + k) % nCount);
      if (pControl == NULL || !pControl->IsVisible() || !pControl->GetEnabled() || !pControl->ShowsCaption())
        continue;
      const CString strCaption = pControl->GetCaption();
      if (strCaption.IsEmpty()) continue;
      BOOL bMnemonic = FALSE;
      const TCHAR ch = CaptionKey(strCaption, bMnemonic);
      if (!CXTPShortcutManager::CompareAccelKey(ch, chAccel)) continue;
      if (bMnemonic) {
        if (pMnemonic != NULL) {
          bSelectOnly = TRUE;
          return pMnemonic;
        }
        pMnemonic = pControl;
      } else if (bFirstLetters) {
        if (pFirstLetter != NULL)
          bFirstLetterAmbiguous = TRUE;
        else
          pFirstLetter = pControl;
      }
    }
  }
  if (pMnemonic != NULL) return pMnemonic;
  bSelectOnly = bFirstLetterAmbiguous;
  return pFirstLetter;
}

BOOL CXTPCommandBars::OnFrameAccel(UINT chAccel) {
  const int nUse = m_pOptions->keyboardCuesUse;
  if (nUse == kCuesUseNone) return FALSE;
  if (chAccel >= VK_NUMPAD0 && chAccel <= VK_NUMPAD9) return FALSE;
  if ((::MapVirtualKey(chAccel, 2) & 0xFFFF) == 0) return FALSE;

  // The bar searched: a tracking bar, else the visible menu bar, else (with the option)
  // the first visible bar.
  CXTPCommandBar* pBar = NULL;
  CArray<CXTPCommandBar*, CXTPCommandBar*> arrBars;
  CollectBars(this, arrBars);
  for (int i = 0; i < arrBars.GetSize() && pBar == NULL; i++) {
    if (arrBars[i]->IsTrackingMode()) pBar = arrBars[i];
  }
  if (pBar == NULL) pBar = VisibleMenuBar(this);
  if (pBar == NULL && (nUse & kCuesUseOtherBars)) {
    for (int i = 0; i < arrBars.GetSize() && pBar == NULL; i++) {
      if (IsBarShown(arrBars[i])) pBar = arrBars[i];
    }
  }
  if (pBar == NULL) return FALSE;

  BOOL bSelectOnly = FALSE;
  CXTPControl* pControl = FindAccel(pBar, chAccel, bSelectOnly);
  if (pControl == NULL) return FALSE;
  CXTPCommandBar* pControlBar = pControl->GetParent();
  if (pControlBar == NULL) return FALSE;
  if (!pControlBar->IsTrackingMode()) ClosePopups();
  ShowKeyboardCues(TRUE);
  pControlBar->SetTrackingMode(xtpTrackingActive, FALSE, TRUE);
  pControlBar->SetSelected(pControl->GetIndex(), TRUE);
  if (!bSelectOnly) pControl->OnMnemonic();
  return TRUE;
}

// ---- Frame traffic ------------------------------------------------------------------------
BOOL CXTPCommandBars::PreTranslateFrameMessage(MSG* pMsg) {
  if (pMsg == NULL) return FALSE;
  CXTPMouseManager* pMouseManager = GetMouseManager();
  const UINT message = pMsg->message;

  if (message == WM_SYSKEYDOWN && (pMsg->lParam & (1 << 29)) != 0) {
    BOOL bPopupTracked = FALSE;
    for (int i = 0; i < pMouseManager->GetTrackingBarCount(); i++) {
      if (pMouseManager->GetTrackingBar(i)->GetType() == xtpBarTypePopup) bPopupTracked = TRUE;
    }
    const HWND hWndSite = m_pSite != NULL ? m_pSite->GetSafeHwnd() : NULL;
    if (!bPopupTracked && !pMouseManager->IsMouseLocked() && hWndSite != NULL &&
        CXTPMouseManager::IsTopParentActive(hWndSite)) {
      if (pMsg->wParam == VK_MENU) {
        ShowKeyboardCues(TRUE);
        return FALSE;
      }
      if (m_bIgnoreShiftMenuKey && ::GetKeyState(VK_SHIFT) < 0) return FALSE;
      if (OnFrameAccel((UINT)pMsg->wParam)) return TRUE;
    }
  }
  if ((message == WM_SYSKEYUP || message == WM_KEYUP) && m_bHideKeyboardCuesUntilAlt && m_bKeyboardCuesVisible &&
      !pMouseManager->IsMouseLocked())
    ShowKeyboardCues(FALSE);
  if ((message == WM_CONTEXTMENU || message == WM_SYSKEYUP) && pMouseManager->IsMouseLocked()) return TRUE;
  if (message == WM_MOUSEWHEEL) {
    CXTPKeyboardManager* pKeyboardManager = XTPKeyboardManager();
    if (pKeyboardManager->HasTargets())
      return pKeyboardManager->ProcessKeyboardHooks(message, pMsg->wParam, pMsg->lParam);
    return FALSE;
  }
  if (message >= WM_KEYDOWN && message <= WM_SYSDEADCHAR) {
    if (m_pShortcutManager == NULL || m_pSite == NULL) return FALSE;
    return m_pShortcutManager->TranslateAccelerator(m_pSite->GetSafeHwnd(), pMsg);
  }
  return FALSE;
}

BOOL CXTPCommandBars::OnFrameWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  switch (message) {
    case WM_CLOSE:
      return m_pDropSource != NULL && m_pDropSource->GetSheet() != NULL;
    case WM_SYSCOLORCHANGE: {
      XTPGetColorManager()->RefreshColors();
      CXTPPaintManager* pPaintManager = GetPaintManager();
      if (pPaintManager != NULL) pPaintManager->RefreshMetrics();
      CXTPImageManager* pImageManager = GetImageManager();
      if (pImageManager != NULL) pImageManager->RefreshAll();
      RedrawFrameAfterSettings();
      return FALSE;
    }
    case WM_SETTINGCHANGE: {
      CXTPPaintManager* pPaintManager = GetPaintManager();
      if (pPaintManager != NULL) pPaintManager->RefreshMetrics();
      RedrawFrameAfterSettings();
      return FALSE;
    }
    case WM_ACTIVATEAPP:
      if (!wParam) ClosePopups();
      return FALSE;
    case WM_WINDOWPOSCHANGING: {
      // Only a site that appears now (not one shown again while visible) is marked.
      const WINDOWPOS* pPos = reinterpret_cast<const WINDOWPOS*>(lParam);
      const HWND hSite = m_pSite != NULL ? m_pSite->GetSafeHwnd() : NULL;
      if (pPos != NULL && (pPos->flags & SWP_SHOWWINDOW) != 0 && hSite != NULL && !::IsWindowVisible(hSite))
        ::SetProp(hSite, kSiteAppearing, reinterpret_cast<HANDLE>(1));
      return FALSE;
    }
    case WM_WINDOWPOSCHANGED: {
      const HWND hSite = m_pSite != NULL ? m_pSite->GetSafeHwnd() : NULL;
      if (hSite != NULL && ::RemoveProp(hSite, kSiteAppearing) != NULL) ShowFloatingBarsAfterSite(this);
      return FALSE;
    }
    case WM_COMMAND: {
      CWnd* pFocus = CWnd::GetFocus();
      if (pFocus != NULL && pFocus->IsKindOf(RUNTIME_CLASS(CXTPEdit)) &&
          pFocus->OnCmdMsg(LOWORD(wParam), CN_COMMAND, NULL, NULL)) {
        if (pResult != NULL) *pResult = 1;
        return TRUE;
      }
      return FALSE;
    }
    case WM_SYSCOMMAND:
      if (!((wParam != 0 && LOWORD(wParam) == 0) || wParam == SC_KEYMENU || m_bCustomizeMode)) ClosePopups();
      return FALSE;
    case WM_IDLEUPDATECMDUI: {
      CArray<CXTPCommandBar*, CXTPCommandBar*> arrBars;
      CollectBars(this, arrBars);
      for (int i = 0; i < arrBars.GetSize(); i++) {
        if (arrBars[i]->GetPosition() == xtpBarFloating) arrBars[i]->OnIdleUpdateCmdUI((BOOL)wParam);
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

void CXTPCommandBars::RedrawFrameAfterSettings() {
  RecalcFrameLayout();
  if (m_pSite != NULL && m_pSite->GetSafeHwnd() != NULL)
    m_pSite->RedrawWindow(NULL, NULL, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}
