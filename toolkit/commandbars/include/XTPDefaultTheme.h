// Theme 0: the classic three-dimensional look (grey bars, raised and sunken frames,
// dithered checked buttons, embossed disabled images and text). It is also the paint
// manager the command bars make when none exists and the base of the visual-styles theme.
#pragma once

#include "XTPPaintManager.h"

class CXTPDefaultTheme : public CXTPPaintManager {
  DECLARE_DYNAMIC(CXTPDefaultTheme)

 public:
  CXTPDefaultTheme();
  ~CXTPDefaultTheme() override;

  CSize DrawPopupItem(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override;
  void DrawSplitItemFrame(CDC* pDC, CXTPControl* pControl, CRect rc) override;
  CSize DrawComboItem(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override;
  CSize DrawEditItem(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override;
  CSize DrawCustomizeListItem(CDC* pDC, CXTPControl* pControl, CRect rcItem, BOOL bSelected,
                              BOOL bDraw, CXTPCommandBars* pCommandBars) override;
  void DrawBarBackground(CDC* pDC, CXTPCommandBar* pBar) override;
  void DrawItemFrame(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed,
                     BOOL bChecked, BOOL bPopuped, int barPosition) override;
  void FillItemRect(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled,
                    BOOL bChecked, BOOL bPopuped, BOOL bToolBar, int barPosition) override;
  CSize DrawGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
  CSize DrawSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl, BOOL bDraw) override;
  void AdjustPopupExcludeRect(CRect& rcExclude, CXTPControl* pControl, BOOL bVertical) override;
  CSize DrawSpecialControl(CDC* pDC, XTPSpecialControl controlType, CXTPControl* pButton,
                           CXTPCommandBar* pBar, BOOL bDraw, LPVOID lpParam) override;
  CRect GetCommandBarBorders(CXTPCommandBar* pBar) override;
  CSize DrawTearOffGripper(CDC* pDC, CRect rcGripper, BOOL bSelected, BOOL bDraw) override;
  void DrawImage(CDC* pDC, CPoint pt, CSize sz, CXTPImageManagerIcon* pImage, BOOL bSelected,
                 BOOL bPressed, BOOL bEnabled, BOOL bChecked, BOOL bPopuped,
                 BOOL bToolBarImage) override;
  CSize DrawFloatingGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) override;
  int GetThemeNumber() const override { return 0; }

  // The frame of an edit or combo box field.
  virtual void DrawComboFrame(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bSelected);
  // The drop-down button of a combo box.
  virtual void DrawComboDropDown(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bSelected,
                                 BOOL bDropped);

  // Raised (20, 16) and sunken (16, 20) 3-D frames and the checked pattern.
  void DrawRaisedFrame(CDC* pDC, CRect rc) { Draw3dRect(pDC, rc, 20, 16); }
  void DrawSunkenFrame(CDC* pDC, CRect rc) { Draw3dRect(pDC, rc, 16, 20); }
  void FillCheckedPattern(CDC* pDC, CRect rc);

  BOOL m_bPopupHighlightStyle;  // 0 in themes 0 and 3: raised-frame popup highlight
  int m_nPopupTextColor;        // colour index of popup item text (18; theme 3: 7)
};
