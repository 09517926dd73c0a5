// The command bars' side of the stored layout in a build without toolbars: the command
// bars then hold no bars of their own, so no bar is taken into the controls stream and
// bars read back are released with their list; the layout is the controls stream alone.
#include <framework.h>

#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPCommandBarsPersist.h"

void CXTPCommandBars::GenerateCommandBarList(CXTPCommandBarList*, XTP_COMMANDBARS_PROPEXCHANGE_PARAM*) {}
void CXTPCommandBars::RestoreCommandBarList(CXTPCommandBarList*, BOOL) {}

void CXTPCommandBars::SaveBarState(LPCTSTR lpszProfileName, BOOL bOnlyCustomized) {
  CWinApp* pApp = AfxGetApp();
  if (pApp == NULL || lpszProfileName == NULL) return;
  CXTPBarStateList list;
  list.SaveList(pApp, lpszProfileName);
  if (m_bCustomizable) SaveCommandBars(lpszProfileName, bOnlyCustomized);
  if (m_pOptions != NULL) m_pOptions->bDirtyState = FALSE;
}

void CXTPCommandBars::LoadBarState(LPCTSTR lpszProfileName, BOOL bSilent) {
  if (AfxGetApp() == NULL || lpszProfileName == NULL) return;
  if (m_bCustomizable) LoadCommandBars(lpszProfileName, bSilent);
  if (m_pOptions != NULL) m_pOptions->bDirtyState = FALSE;
}
