// The "&Options" page of the customize sheet: personalised menus, large icons, screen tips
// and the menu animation of the sheet's command bars. Every change goes to the options at
// once; the page has no apply step.
#pragma once

#include <framework.h>

#include "XTPWinThemeWrapper.h"

class CXTPCommandBars;
class CXTPCustomizeSheet;

// A section caption: its text followed by an etched horizontal line to the right edge (to
// the left edge for right-to-left reading), in the visual style's group-box colours when
// the style gives them.
class CXTPCustomizeSeparator : public CStatic {
 public:
  CXTPCustomizeSeparator();
  ~CXTPCustomizeSeparator() override;

  // The rectangle of the line as the last paint drew it (empty before the first paint).
  CRect GetLineRect() const { return m_rcLine; }

 protected:
  afx_msg void OnPaint();
  afx_msg void OnDestroy();

  CXTPThemeHandle m_themeButton;  // "BUTTON", opened at the first paint
  CRect m_rcLine;

  DECLARE_MESSAGE_MAP()
};

class CXTPCustomizeOptionsPage : public CPropertyPage {
 public:
  // Copies the options of the sheet's command bars.
  explicit CXTPCustomizeOptionsPage(CXTPCustomizeSheet* pSheet);
  ~CXTPCustomizeOptionsPage() override;

  CXTPCustomizeSheet* GetSheet() const { return m_pSheet; }

  BOOL m_bAlwaysShowFullMenus;  // check box 9340
  BOOL m_bShowFullAfterDelay;   // 9341
  BOOL m_bLargeIcons;           // 9343
  BOOL m_bToolBarScreenTips;    // 9344
  BOOL m_bToolBarAccelTips;     // 9345
  CComboBox m_wndAnimation;     // 9410
  int m_nAnimation;             // its selection: the animation value
  CXTPCustomizeSeparator m_wndSeparatorPersonalized;  // 9352
  CXTPCustomizeSeparator m_wndSeparatorOther;         // 9353

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

  afx_msg void OnCheckFullMenus();
  afx_msg void OnCheckAfterDelay();
  afx_msg void OnCheckLargeIcons();
  afx_msg void OnCheckScreenTips();
  afx_msg void OnCheckShortcuts();
  afx_msg void OnAnimationChanged();
  afx_msg void OnResetData();

  CXTPCommandBars* GetCommandBars() const;
  // 9341 only while full menus are off, 9345 only while screen tips are on.
  void EnableDependents();

  CXTPCustomizeSheet* m_pSheet;

  DECLARE_MESSAGE_MAP()
};
