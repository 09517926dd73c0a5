// What every bar shares with the toolbar: icon and button sizes, text below icons and the
// tooltip hit test.
#include <framework.h>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPControl.h"
#include "XTPControls.h"
#include "XTPMouseManager.h"
#include "XTPShortcutManager.h"
#include "XTPToolTipContext.h"

namespace {
BOOL IsSet(CSize sz) { return sz.cx > 0 && sz.cy > 0; }
}  // namespace

CSize CXTPCommandBar::GetIconSize() const {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars == NULL) return IsSet(m_szIcons) ? m_szIcons : CSize(16, 16);
  const CXTPCommandBarsOptions* pOptions = pCommandBars->GetCommandBarsOptions();
  if (m_barType == xtpBarTypePopup) {
    if (IsSet(m_szIcons)) return m_szIcons;
    return IsSet(pOptions->szPopupIcons) ? pOptions->szPopupIcons : CSize(16, 16);
  }
  CSize sz = IsSet(m_szIcons) ? m_szIcons : (IsSet(pOptions->szIcons) ? pOptions->szIcons : CSize(16, 16));
  if (pOptions->bLargeIcons && !IsSet(m_szButtons))
    sz = IsSet(pOptions->szLargeIcons) ? pOptions->szLargeIcons : CSize(sz.cx * 2, sz.cy * 2);
  return sz;
}

CSize CXTPCommandBar::GetButtonSize() const {
  if (IsSet(m_szButtons)) return m_szButtons;
  const CSize szIcon = GetIconSize();
  return CSize(szIcon.cx + 7, szIcon.cy + 7);
}

void CXTPCommandBar::SetShowTextBelowIcons(int nMode) {
  m_nTextBelowIcons = nMode;
  DelayLayout();
}

BOOL CXTPCommandBar::GetShowTextBelowIcons() const {
  if (m_nTextBelowIcons != 2) return m_nTextBelowIcons == 1;
  CXTPCommandBars* pCommandBars = GetCommandBars();
  return pCommandBars != NULL && pCommandBars->GetCommandBarsOptions()->bShowTextBelowIcons;
}

BOOL CXTPCommandBar::IsTextBelowIcons() const { return GetShowTextBelowIcons(); }

// The tooltip of the control under a client point, with its shortcut when the options ask
// for one. -1 while a sub-popup is open, while the mouse is locked, or with screen tips off.
INT_PTR CXTPCommandBar::OnToolHitTest(CPoint point, TTTOOLINFOW* pTI) const {
  if (m_bTracking == xtpTrackingPopup && m_barType != xtpBarTypePopup) return -1;
  CXTPMouseManager* pMouseManager = XTPMouseManager();
  if (pMouseManager->GetLockCount() > 0 || pMouseManager->IsMouseLocked(this)) return -1;
  CXTPCommandBars* pCommandBars = GetCommandBars();
  const CXTPCommandBarsOptions* pOptions = pCommandBars != NULL ? pCommandBars->GetCommandBarsOptions() : NULL;
  if (pOptions != NULL && !pOptions->bToolBarScreenTips) return -1;

  CXTPControl* pControl = m_pControls != NULL ? m_pControls->HitTest(point) : NULL;
  if (pControl == NULL) return -1;
  if (m_barType == xtpBarTypePopup &&
      !((pOptions != NULL && pOptions->bShowPopupBarToolTips) || (pControl->GetFlags() & 0x40)))
    return -1;

  CString strTip = pControl->GetTooltipText();
  if (strTip.IsEmpty()) return -1;
  CString strTitle = strTip;
  const INT_PTR nId = pControl->GetID();
  if (pOptions != NULL && pOptions->bToolBarAccelTips) {
    CString strShortcut = pControl->GetShortcutText();
    if (strShortcut.IsEmpty() && pCommandBars->GetShortcutManager() != NULL)
      pCommandBars->GetShortcutManager()->FindDefaultAccelerator((UINT)nId, strShortcut);
    if (!strShortcut.IsEmpty()) {
      strTip += _T(" (") + strShortcut + _T(")");
      strTitle += _T(" (") + strShortcut + _T(")");
    }
  }
  if (pTI != NULL)
    CXTPToolTipContext::FillInToolInfo(pTI, m_hWnd, pControl->GetRect(), (UINT_PTR)nId, strTip, strTitle,
                                       pControl->GetDescriptionText());
  return nId == 0 ? -1 : nId;
}
