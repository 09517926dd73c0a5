// Theme 3: the command bars drawn with the system's visual styles ("TOOLBAR", "REBAR",
// "STATUS", "COMBOBOX"), flat popup menus when the system uses them. Every operation falls
// back to the default theme's drawing when its visual-styles class cannot be used.
#pragma once

#include "XTPDefaultTheme.h"
#include "XTPWinThemeWrapper.h"

class CXTPVisualStylesTheme : public CXTPDefaultTheme {
  DECLARE_DYNAMIC(CXTPVisualStylesTheme)

 public:
  CXTPVisualStylesTheme();
  ~CXTPVisualStylesTheme() override;  // closes the four theme handles

  void DrawSplitItemFrame(CDC* pDC, CXTPControl* pControl, CRect rc) override;
  void DrawBarBackground(CDC* pDC, CXTPCommandBar* pBar) override;
  void FillItemRect(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled,
                    BOOL bChecked, BOOL bPopuped, BOOL bToolBar, int barPosition) override;
  CSize DrawGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
  void AdjustPopupExcludeRect(CRect& rcExclude, CXTPControl* pControl, BOOL bVertical) override;
  void DrawStatusBarPaneBorder(CDC* pDC, CRect rc) override;
  void DrawStatusBarGripper(CDC* pDC, CRect rcClient) override;
  void FillDockBar(CDC* pDC, CWnd* pWnd) override;
  void FillStatusBar(CDC* pDC, CWnd* pWnd) override;
  void RefreshMetrics() override;
  CSize DrawFloatingGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
  int GetThemeNumber() const override { return 3; }
  void DrawComboFrame(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bSelected) override;
  void DrawComboDropDown(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bSelected,
                         BOOL bDropped) override;

  // A handle is usable when it holds an open theme and the system reports themed programs.
  static BOOL IsUsable(CXTPThemeHandle& hTheme);

  CXTPThemeHandle m_themeRebar;
  CXTPThemeHandle m_themeToolbar;
  CXTPThemeHandle m_themeComboBox;
  CXTPThemeHandle m_themeStatusBar;
  COLORREF m_clrEdgeShadowColor;  // bottom-right edge of docked bars
  BOOL m_bFlatMenus;              // SPI_GETFLATMENU
};
