// The popup control: opens a popup bar as a menu item (type 2), as a toolbar button with a
// menu (3) or as a split button whose right part opens the menu and whose left part runs
// the command (4). It holds a reference on the bar it opens.
#pragma once

#include "XTPControl.h"

class CXTPControlPopup : public CXTPControl {
  DECLARE_SERIAL(CXTPControlPopup)

 public:
  CXTPControlPopup();
  ~CXTPControlPopup() override;  // releases its bar

  // The second create function: a popup of the given type (2, 3 or 4).
  static CXTPControlPopup* AFX_CDECL CreateControlPopup(XTPControlType controlType);

  BOOL Compare(CXTPControl* pOther) override;
  CXTPCommandBar* GetCommandBar() override { return m_pCommandBar; }
  void DoPropExchange(CXTPPropExchange* pPX) override;
  void OnMnemonic() override;
  void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
  BOOL SetPopupOpen(BOOL bOpen) override;
  void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
  void OnLButtonUp(CPoint point) override;
  BOOL OnLButtonDblClk(CPoint point) override;
  void OnHoverTimer() override;
  BOOL OnSelectionChanged(int nSelected) override;
  void OnCustomizeDragHover(CXTPControl* pDataObject) override;
  CXTPControl* Clone(BOOL bRecursive = FALSE) override;

  // Gives the opened popup bar a shadow along the control (outside popup bars).
  virtual void AddPopupShadow();
  // The part of the screen the opening popup must not cover.
  virtual void AdjustExcludeRect(CRect& rc);

  // Releases the old bar and keeps the new one with a reference.
  void AttachBar(CXTPCommandBar* pCommandBar);
  // TRUE when this popup opens the other's bar or contains it (recursively).
  BOOL HoldsPopup(CXTPControlPopup* pPopup);
  // Shows the open popup bar's full menu.
  void ExpandOpenPopup();
  BOOL GetPopupOpen() const { return m_bPopup; }
  int GetCommandBarId() const { return m_nCommandBarId; }
  // The bar id a stored layout names, until the bar is found after loading.
  void SetCommandBarId(int nId) { m_nCommandBarId = nId; }

 protected:
  BOOL m_bPopup;
  CXTPCommandBar* m_pCommandBar;
  int m_nCommandBarId;  // "CommandBarId", resolved after loading
};
