// The tab paint manager: decides how a tab strip looks and where everything lies. It owns
// the options (position, layout, fonts, margins, icon size, tooltip mode, switches), one
// appearance set (the shape of the tabs) and one colour set. Managers ask it to lay out
// (RepositionTabControl), to shrink the page area (AdjustClientRect) and to paint
// (DrawTabControl). Hosts that register with AddHost are re-laid and repainted by every
// setter that changes the look.
#pragma once

#include <framework.h>

#include <vector>

#include "XTPTabDefines.h"
#include "XTPTabManager.h"

class CXTPTabAppearanceSet;
class CXTPTabColorSet;

class CXTPTabPaintManager : public CCmdTarget {
  DECLARE_DYNAMIC(CXTPTabPaintManager)

 public:
  CXTPTabPaintManager();
  ~CXTPTabPaintManager() override;

  // ---- Layout and drawing (overridable) ----
  virtual void DrawTabControl(CXTPTabManager* pManager, CDC* pDC, CRect rc);
  virtual void AdjustClientRect(CXTPTabManager* pManager, CRect& rcClient);
  virtual void RepositionTabControl(CXTPTabManager* pManager, CDC* pDC, CRect rcClient);
  // Draws the content (icon, caption, focus) of one tab in rcItem, or with bDraw FALSE
  // returns the length the tab wants.
  virtual int DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem, CRect rcItem, BOOL bDraw);
  virtual void RefreshMetrics();
  virtual void RefreshAllControls();
  virtual void DrawFocusRect(CDC* pDC, CXTPTabManagerItem* pItem, CRect rc);

  // ---- Appearance and colours ----
  // Creates the appearance set for a code (unknown codes give set 0) and applies it.
  CXTPTabAppearanceSet* SetAppearance(int nAppearance);
  // Takes ownership; null keeps the current set. Also applies the set's default colours.
  void SetAppearanceSet(CXTPTabAppearanceSet* pAppearanceSet);
  int GetAppearance() const { return m_nAppearance; }
  CXTPTabAppearanceSet* GetAppearanceSet() const { return m_pAppearanceSet; }
  // Creates the colour set for a code (2, 4, 8, 16; anything else the default set).
  CXTPTabColorSet* SetColor(int nColor);
  // Takes ownership; null keeps the current set.
  void SetColorSet(CXTPTabColorSet* pColorSet);
  int GetColor() const { return m_nColor; }
  CXTPTabColorSet* GetColorSet() const { return m_pColorSet; }

  void SetThemeColors(BOOL bThemeColors);
  // The flag, or TRUE when the colour manager reports a visual-styles colour scheme.
  BOOL IsThemeColors() const;
  void SetItemColors(int nItemColors);
  int GetItemColors() const { return m_nItemColors; }

  // ---- Options ----
  void SetPosition(int nPosition);
  int GetPosition() const { return m_nPosition; }
  void SetLayout(int nLayout);
  int GetLayout() const { return m_nLayout; }
  void SetToolTipMode(int nMode) { m_nToolTipMode = nMode; }
  int GetToolTipMode() const { return m_nToolTipMode; }
  // Makes the four fonts from a LOGFONT (null: only stores bUseSystemFont).
  void SetFontIndirect(const LOGFONT* pLogFont, BOOL bUseSystemFont = FALSE);
  // The font a tab is drawn in.
  CFont* GetFont(BOOL bBold, BOOL bVertical);
  CFont* GetNormalFont() { return &m_fntNormal; }
  CFont* GetBoldFont() { return &m_fntBold; }
  CFont* GetVerticalNormalFont() { return &m_fntVerticalNormal; }
  CFont* GetVerticalBoldFont() { return &m_fntVerticalBold; }
  // Margins: each ends in a refresh of the hosts.
  void SetClientMargin(const CRect& rc);
  void SetControlMargin(const CRect& rc);
  void SetButtonMargin(const CRect& rc);
  void SetClientFrame(int nClientFrame);
  void SetStaticFrame(BOOL bFrame);
  void SetIconSize(CSize szIcon);
  void SetCaptionEllipsis(BOOL bMiddle);
  void SetNoPrefix(BOOL bNoPrefix);
  void SetKeepRowOrder(BOOL bKeep);
  void SetJustifyRows(BOOL bJustify);

  // Scrolls the strip so that pItem lies inside the header.
  void EnsureVisible(CXTPTabManager* pManager, CXTPTabManagerItem* pItem);
  // Draws a caption, shortening it in the middle when it does not fit.
  void DrawText(CDC* pDC, const CString& str, CRect rc, UINT nFormat);
  // The text DrawText shows in nWidth pixels (the middle-ellipsis rule).
  static CString MiddleEllipsisText(CDC* pDC, const CString& str, int nWidth, UINT nFormat);

  // Hosts re-laid and repainted by RefreshAllControls.
  void AddHost(CXTPTabManager* pManager);
  void RemoveHost(CXTPTabManager* pManager);

  // Takes the next insertion counter value (palette code of a new tab).
  int NextItemCounter() { return m_nItemCounter++; }

  // ---- Margins turned with the position ----
  static void InflateRectEx(CRect& rc, const CRect& rcMargin, int nPosition);
  static void DeflateRectEx(CRect& rc, const CRect& rcMargin, int nPosition);
  static BOOL IsHorizontal(int nPosition) { return nPosition == xtpTabPosTop || nPosition == xtpTabPosBottom; }

  // ---- Generic layout and drawing, used by the appearance sets ----
  void RepositionGeneric(CXTPTabManager* pManager, CDC* pDC, CRect rcClient);
  void DrawTabControlGeneric(CXTPTabManager* pManager, CDC* pDC, CRect rc);
  void DrawRow(CXTPTabManager* pManager, CDC* pDC, int nRow, CRect rcClip);
  void DrawNavigateButtons(CXTPTabManager* pManager, CDC* pDC);
  // Compressed layout: shrinks the tabs to fit nLength, longest first.
  static void ShrinkToFit(std::vector<CXTPTabManagerItem*>& items, int nLength);
  // Multi-row fit: the rows for band length nLength; returns the number of rows.
  int FillRows(CXTPTabManager* pManager, int nLength, BOOL bJustify);
  // How many times the multi-row fit tried a (row, first tab) pair in the last layout.
  int GetLastFitTries() const { return m_nFitTries; }

 public:
  BOOL m_bHotTracking;
  BOOL m_bShowIcons;
  BOOL m_bBoldSelected;
  BOOL m_bBoldNormal;
  BOOL m_bThemeColors;
  int m_nItemColors;
  int m_nClientFrame;
  BOOL m_bStaticFrame;
  CRect m_rcClientMargin;
  CRect m_rcControlMargin;
  CRect m_rcButtonMargin;
  BOOL m_bInvertGradient;
  BOOL m_bFillBackground;
  CSize m_szIcon;
  BOOL m_bMiddleEllipsis;
  BOOL m_bNoPrefix;
  BOOL m_bKeepRowOrder;
  BOOL m_bJustifyRows;
  BOOL m_bFocusRect;
  BOOL m_bSelectOnDragOver;

 protected:
  BOOL FitRow(CXTPTabManager* pManager, int nRow, int nFirst, int nRemaining, int nRows,
              int nLength, BOOL bJustify, std::vector<CXTPTabManager::ROW>* pRows);
  void LayoutMultiRow(CXTPTabManager* pManager, CDC* pDC, CRect rc);
  void PlaceTabs(CXTPTabManager* pManager, CRect rcBand, int nRowHeight);

  CXTPTabAppearanceSet* m_pAppearanceSet;
  CXTPTabColorSet* m_pColorSet;
  std::vector<CXTPTabManager*> m_arrHosts;
  int m_nAppearance;
  int m_nColor;
  int m_nPosition;
  int m_nLayout;
  CFont m_fntNormal;
  CFont m_fntBold;
  CFont m_fntVerticalNormal;
  CFont m_fntVerticalBold;
  BOOL m_bUseSystemFont;
  int m_nToolTipMode;
  int m_nItemCounter;
  // Multi-row fit: (row, first tab) pairs known to fail in the current layout.
  std::vector<unsigned char> m_arrFitFailed;
  int m_nFitItems;
  int m_nFitTries;

  // Bars lie across the control whatever the position: it draws their content upright.
  friend class CXTPTabAppearanceSetBars;
};
