// The options of one command bars object and the command-id sets they keep.
#include <framework.h>

#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"

IMPLEMENT_DYNAMIC(CXTPCommandBarsOptions, CCmdTarget)

// ---------------------------------------------------------------------------------------
CXTPCommandSet::CXTPCommandSet() {
  // 17 buckets; runs of ids spread by id / 16.
  InitHashTable(17, FALSE);
  SetHashKeyShift(4);
}

BOOL CXTPCommandSet::Contains(UINT nID) const {
  BOOL bValue = FALSE;
  return Lookup(nID, bValue);
}

// ---------------------------------------------------------------------------------------
CXTPCommandBarsOptions::CXTPCommandBarsOptions(CXTPCommandBars* pCommandBars)
    : bAlwaysShowFullMenus(TRUE),
      bShowFullAfterDelay(TRUE),
      bToolBarScreenTips(TRUE),
      bToolBarAccelTips(FALSE),
      bLargeIcons(FALSE),
      bSyncFloatingBars(TRUE),
      bShowExpandButtonAlways(TRUE),
      bDblClickFloat(FALSE),
      bShowTextBelowIcons(FALSE),
      bAltDragCustomization(TRUE),
      bAutoHideUnusedPopups(TRUE),
      bDirtyState(FALSE),
      animationType(xtpAnimateWindowsDefault),
      keyboardCuesUse(1),
      bShowStatusDescriptions(TRUE),
      bShowPopupBarToolTips(FALSE),
      bShowShortcutTextInMenus(TRUE),
      szIcons(0, 0),
      szLargeIcons(0, 0),
      szPopupIcons(16, 16),
      keyboardCuesShow(0),
      m_pCommandBars(pCommandBars) {}

CXTPCommandBarsOptions::~CXTPCommandBarsOptions() = default;

void CXTPCommandBarsOptions::ShowKeyboardCues(int nShow) {
  keyboardCuesShow = nShow;
  if (m_pCommandBars != NULL) m_pCommandBars->ApplyKeyboardCuesShow();
}
