// A popup bar whose controls are laid out as a toolbar (type 1): chevron menus and
// torn-off palettes.
#pragma once

#include "XTPPopupBar.h"

class CXTPPopupToolBar : public CXTPPopupBar {
  DECLARE_SERIAL(CXTPPopupToolBar)

 public:
  CXTPPopupToolBar();
  ~CXTPPopupToolBar() override;

  static CXTPPopupToolBar* AFX_CDECL CreatePopupToolBar(CXTPCommandBars* pCommandBars);

  CSize CalcLayout(int nLength = 0, DWORD dwMode = 0) override;
  CXTPCommandBar* Clone(BOOL bRecursive = FALSE) override;
};
