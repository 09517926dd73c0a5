// Colour sets: every colour a tab strip is drawn with, and the fills that depend only on
// colour (header, page area, tab fills and text colours, navigate button backgrounds).
// The tab paint manager owns one, made by code in SetColor. Colours are colour records:
// a standard value from the colour manager and a custom value that wins when set.
#pragma once

#include <framework.h>

#include "XTPDrawHelpers.h"
#include "XTPTabDefines.h"

class CXTPTabManager;
class CXTPTabManagerItem;
class CXTPTabManagerNavigateButton;
class CXTPTabPaintManager;
class CXTPThemeHandle;

class CXTPTabColorSet {
 public:
  CXTPTabColorSet();
  CXTPTabColorSet(const CXTPTabColorSet&) = delete;
  CXTPTabColorSet& operator=(const CXTPTabColorSet&) = delete;

  virtual ~CXTPTabColorSet();
  // Fills every standard value from the colour manager; custom values stay.
  virtual void RefreshColors();
  virtual COLORREF SetTextColor(CDC* pDC, CXTPTabManagerItem* pItem);
  virtual void FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager);
  virtual COLORREF FillClient(CDC* pDC, CRect rc, CXTPTabManager* pManager);
  virtual void DrawFlatItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem);
  virtual COLORREF FillItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem);
  virtual void DrawHeaderDecoration(CDC* pDC, CRect rc, CXTPTabManager* pManager);
  // The plain look: a 3D rectangle around a hot or pressed button, glyphs in button text.
  virtual void FillNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc);
  virtual COLORREF GetItemColor(CXTPTabManagerItem* pItem);
  virtual BOOL IsThemed();

  void SetPaintManager(CXTPTabPaintManager* pPaintManager) { m_pPaintManager = pPaintManager; }
  CXTPTabPaintManager* GetPaintManager() const { return m_pPaintManager; }

  // Fills rc with a gradient turned by the strip position (and the invert flag); a start
  // standard value of -2 paints the 0x55/0xAA dither of button face and highlight.
  void GradientFill(CDC* pDC, CRect rc, const CXTPGradientColor& grc, int nPosition);
  // A colour record's effective value (-1 when neither value is set).
  static COLORREF Color(const CXTPColorRecord& rec);

 public:
  CXTPGradientColor m_grcHeader;
  CXTPGradientColor m_grcHeader2;
  CXTPColorRecord m_clrFrame;
  CXTPColorRecord m_clrBackground;
  CXTPColorRecord m_clrLight;
  CXTPColorRecord m_clrSelectedFill;
  CXTPColorRecord m_clrNormalFill;
  CXTPColorRecord m_clrNormalText;
  CXTPColorRecord m_clrPlainText;
  CXTPColorRecord m_clrSelectedText;
  CXTPColorRecord m_clrHotText;
  CXTPColorRecord m_clrDisabledText;
  CXTPGradientColor m_grcButton;
  CXTPGradientColor m_grcPressed;
  CXTPColorRecord m_clr3DHighlight;
  CXTPColorRecord m_clr3DShadow;
  CXTPColorRecord m_clr3DDarkShadow;
  CXTPColorRecord m_clrSlantEdge[4];
  // Edge colours of set 7's tabs: inner light, outer light, outer dark, inner dark, and
  // the two long lines of a bottom strip.
  CXTPColorRecord m_clrSelectedEdge[6];
  CXTPColorRecord m_clrNormalEdge[6];

 protected:
  // The appearance code of the owner's set (-1 without an owner).
  int GetAppearance() const;
  int GetPosition() const;
  // A 3D rectangle around a hot or pressed navigate button, offset by one when pressed.
  void DrawButton3D(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc, COLORREF clrDark, COLORREF clrLight);

  CXTPTabPaintManager* m_pPaintManager;
};

// The default set (code 1 and any code not listed).
class CXTPTabColorSetDefault : public CXTPTabColorSet {
 public:
  void RefreshColors() override;
  void FillNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc) override;
};

// Code 2: shaded header from colour-manager colour 48.
class CXTPTabColorSetShaded : public CXTPTabColorSetDefault {
 public:
  void RefreshColors() override;
  void FillNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc) override;
};

// Code 4: the colour manager's visual-styles schemes (fixed colours per scheme).
class CXTPTabColorSetSchemed : public CXTPTabColorSetDefault {
 public:
  CXTPTabColorSetSchemed();
  void RefreshColors() override;
  void FillNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc) override;
  COLORREF FillItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem) override;

  CXTPColorRecord m_clrHotFill;
  CXTPColorRecord m_clrBorder;
  BOOL m_bSchemeFill;

 protected:
  // The scheme colours of the colour manager's theme 1, 2 or 3.
  void ApplyScheme(int nTheme);
  // The navigate-button fill of the schemed sets.
  void FillSchemedButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc);
};

// Code 8: drawn through the visual-styles classes "TAB" and "TOOLBAR" when available.
class CXTPTabColorSetVisualStyles : public CXTPTabColorSetDefault {
 public:
  CXTPTabColorSetVisualStyles();
  ~CXTPTabColorSetVisualStyles() override;
  void RefreshColors() override;
  void FillNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc) override;
  COLORREF FillItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem) override;
  void DrawFlatItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem) override;
  void DrawHeaderDecoration(CDC* pDC, CRect rc, CXTPTabManager* pManager) override;
  COLORREF FillClient(CDC* pDC, CRect rc, CXTPTabManager* pManager) override;
  BOOL IsThemed() override;

  // Whether "TAB" / "TOOLBAR" are open with visual styles active.
  BOOL IsTabThemed();
  BOOL IsToolbarThemed();

 protected:
  // Draws the theme's tab-item part for a top strip into a bitmap and turns it into rc.
  BOOL DrawThemedTab(CDC* pDC, CRect rc, int nState, int nPosition);

  CXTPThemeHandle* m_pThemeTab;
  CXTPThemeHandle* m_pThemeToolbar;
};

// Code 16: light faces, the schemed look when no theme colours apply.
class CXTPTabColorSetLight : public CXTPTabColorSetSchemed {
 public:
  CXTPTabColorSetLight();
  void RefreshColors() override;
  void FillNavigateButton(CDC* pDC, CXTPTabManagerNavigateButton* pButton, CRect& rc) override;
  COLORREF FillItem(CDC* pDC, CRect rc, CXTPTabManagerItem* pItem) override;

  CXTPColorRecord m_clrExtra1;
  CXTPColorRecord m_clrExtra2;
  BOOL m_bThemedFill;
};

// Creates the set for a SetColor code.
CXTPTabColorSet* XTPCreateTabColorSet(int nColor);
