// Appearance sets: the shape of a tab strip. The tab paint manager owns one, made by
// number in SetAppearance (0..9). The base class gives the generic behaviour; each set
// replaces the few operations that make its shape.
#pragma once

#include <framework.h>

#include "XTPTabDefines.h"

class CXTPTabManager;
class CXTPTabManagerItem;
class CXTPTabPaintManager;
class CXTPTabColorSet;

class CXTPTabAppearanceSet {
 public:
  CXTPTabAppearanceSet();
  CXTPTabAppearanceSet(const CXTPTabAppearanceSet&) = delete;
  CXTPTabAppearanceSet& operator=(const CXTPTabAppearanceSet&) = delete;

  virtual ~CXTPTabAppearanceSet();
  // Row height = max(height of a space in the normal font + 3, 18).
  virtual void RefreshMetrics();
  virtual CRect GetHeaderRect(CRect rc, CXTPTabManager* pManager);
  virtual CRect GetClientRect(CRect rc, CXTPTabManager* pManager);
  virtual CRect GetHeaderMargin();
  virtual CRect GetClientMargin();
  virtual int GetItemLength(CDC* pDC, CXTPTabManagerItem* pItem);
  virtual int GetButtonHeight(const CXTPTabManager* pManager);
  virtual void DrawTabControl(CXTPTabManager* pManager, CDC* pDC, CRect rc);
  virtual CRect FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager);
  virtual void RepositionTabControl(CXTPTabManager* pManager, CDC* pDC, CRect rc);
  virtual void AdjustClientRect(CXTPTabManager* pManager, CRect& rcClient);
  virtual void DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem);
  virtual void DrawFrameStep(CDC* pDC, CRect& rc, int nStep);
  virtual int GetSupportedColorSets();
  virtual int GetDefaultColorSet();

  void SetPaintManager(CXTPTabPaintManager* pPaintManager) { m_pPaintManager = pPaintManager; }
  CXTPTabPaintManager* GetPaintManager() const { return m_pPaintManager; }
  CXTPTabColorSet* GetColorSet() const;
  int GetRowHeight() const { return m_nRowHeight; }
  int GetRowSpacing() const { return m_nRowSpacing; }
  BOOL IsFrontToBack() const { return m_bFrontToBack; }
  // The header margin as constructed (before GetHeaderMargin widens it).
  CRect GetRawHeaderMargin() const { return m_rcHeaderMargin; }

  // Creates the set for a SetAppearance code; codes not listed give set 0.
  static CXTPTabAppearanceSet* Create(int nAppearance);

  // The one-pixel edge line of a rectangle on the strip side (top/left colour for top and
  // left strips, bottom/right colour for the others); -1 skips it.
  static void DrawEdge(CDC* pDC, CRect rc, int nPosition, COLORREF clrTopLeft, COLORREF clrBottomRight);
  // Fills a polygon (absolute points, or offsets accumulated from the first in relative
  // mode) through a clip region with the colour set's FillItem; returns the fill colour.
  COLORREF FillPolygon(CDC* pDC, const POINT* pts, int nCount, BOOL bRelative, CXTPTabManagerItem* pItem);
  // Turns a figure given for a top strip into the strip's position inside rcItem.
  static CPoint TurnPoint(CPoint pt, const CRect& rcItem, int nPosition);

 protected:
  // The frame-style header shared by sets 0, 1, 2, 3, 6, 7 and 9.
  CRect FillHeaderFrame(CDC* pDC, CRect rc, CXTPTabManager* pManager);

  CRect m_rcHeaderMargin;
  int m_nRowSpacing;
  int m_nRowHeight;
  CXTPTabPaintManager* m_pPaintManager;
  BOOL m_bFrontToBack;
};

// Set 0: raised tabs drawn from lines and corner pixels.
class CXTPTabAppearanceSetRaised : public CXTPTabAppearanceSet {
 public:
  CXTPTabAppearanceSetRaised();
  CRect FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) override;
  void DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) override;
  CRect GetClientMargin() override;
  int GetSupportedColorSets() override { return 13; }
  int GetDefaultColorSet() override { return 1; }

 protected:
  void DrawRaisedTab(CDC* pDC, CXTPTabManagerItem* pItem);
};

// Set 1: as set 0, but only the selected and the hot tab are raised.
class CXTPTabAppearanceSetRaisedSelected : public CXTPTabAppearanceSetRaised {
 public:
  void DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) override;
};

// Set 2: boxes with unpainted corner pixels.
class CXTPTabAppearanceSetRounded : public CXTPTabAppearanceSet {
 public:
  CXTPTabAppearanceSetRounded();
  CRect FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) override;
  void DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) override;
  int GetSupportedColorSets() override { return 7; }
  int GetDefaultColorSet() override { return 1; }

  BOOL m_bExcludeCorners;
  BOOL m_bRoundAll;
};

// Set 3: tabs whose start side slants outwards.
class CXTPTabAppearanceSetSlantStart : public CXTPTabAppearanceSet {
 public:
  CXTPTabAppearanceSetSlantStart();
  CRect GetHeaderMargin() override;
  CRect FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) override;
  void DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) override;
  int GetSupportedColorSets() override { return 21; }
  int GetDefaultColorSet() override { return 4; }

  BOOL m_bOption;
};

// Set 4: flat tabs filled by the colour set.
class CXTPTabAppearanceSetFlat : public CXTPTabAppearanceSet {
 public:
  CXTPTabAppearanceSetFlat();
  CRect FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) override;
  void DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) override;
  int GetSupportedColorSets() override { return 31; }
  int GetDefaultColorSet() override { return 2; }
};

// Set 5: flat tabs with separators; the selected one joined to the page.
class CXTPTabAppearanceSetFlatJoined : public CXTPTabAppearanceSet {
 public:
  CXTPTabAppearanceSetFlatJoined();
  CRect FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) override;
  void DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) override;
  int GetSupportedColorSets() override { return 7; }
  int GetDefaultColorSet() override { return 2; }
};

// Set 6: flat framed boxes.
class CXTPTabAppearanceSetBox : public CXTPTabAppearanceSet {
 public:
  CXTPTabAppearanceSetBox();
  CRect FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) override;
  void DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) override;
  int GetSupportedColorSets() override { return 7; }
  int GetDefaultColorSet() override { return 2; }
};

// Set 7: slanted tabs (trapezoids whose sides slant over the whole tab height).
class CXTPTabAppearanceSetSlanted : public CXTPTabAppearanceSet {
 public:
  CXTPTabAppearanceSetSlanted();
  CRect GetHeaderMargin() override;
  CRect FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) override;
  void DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) override;
  int GetSupportedColorSets() override { return 7; }
  int GetDefaultColorSet() override { return 2; }

  // The trapezoid of a tab rectangle given for a top strip: the shifted rectangle and e.
  static void SlantGeometry(const CRect& rcItem, CRect* prcShifted, int* pnSlant);
};

// Set 8: full-width bars stacked around the page, each with a grip.
class CXTPTabAppearanceSetBars : public CXTPTabAppearanceSet {
 public:
  CXTPTabAppearanceSetBars();
  CRect GetHeaderRect(CRect rc, CXTPTabManager* pManager) override;
  CRect GetClientRect(CRect rc, CXTPTabManager* pManager) override;
  void DrawTabControl(CXTPTabManager* pManager, CDC* pDC, CRect rc) override;
  CRect FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) override;
  void RepositionTabControl(CXTPTabManager* pManager, CDC* pDC, CRect rc) override;
  void AdjustClientRect(CXTPTabManager* pManager, CRect& rcClient) override;
  void DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) override;
  int GetSupportedColorSets() override { return 5; }
  int GetDefaultColorSet() override { return 1; }
};

// Set 9: tabs with both ends slanting over half their height; neighbours overlap.
class CXTPTabAppearanceSetTrapezoid : public CXTPTabAppearanceSet {
 public:
  CXTPTabAppearanceSetTrapezoid();
  CRect GetHeaderMargin() override;
  CRect FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) override;
  void DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) override;
  int GetSupportedColorSets() override { return 21; }
  int GetDefaultColorSet() override { return 4; }

  BOOL m_bOption;
};
