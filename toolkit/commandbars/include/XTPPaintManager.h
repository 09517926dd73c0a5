// The paint manager draws everything the command bars show: bar backgrounds, grippers,
// separators, controls of every kind with their images, text (horizontal and vertical),
// check marks and arrows, special buttons, tear-off grippers, status bar panes and the
// size grip, and the opening animations of popups. Bars and controls never draw
// themselves: they ask the paint manager of their bar (its own, else its command bars',
// else the global one).
//
// The class is abstract; its themes (CXTPDefaultTheme, theme 0, and CXTPVisualStylesTheme,
// theme 3) supply the drawing. One instance is the process-wide current paint manager,
// installed through SetTheme or SetCustomTheme. Reference counted (CCmdTarget): the last
// InternalRelease deletes it.
#pragma once

#include <framework.h>

#include "XTPCommandBarsDefines.h"
#include "XTPDrawHelpers.h"

class CXTPControl;
class CXTPCommandBar;
class CXTPCommandBars;
class CXTPImageManagerIcon;
class CXTPStatusBarPane;

// Number of entries of the colour table.
#define XTP_PAINTMANAGER_COLORS 62

// A font the paint manager keeps; while it is "standard" a refresh re-creates it, so a
// font a caller installed (marked not standard) survives refreshes.
class CXTPPaintManagerFont : public CFont {
 public:
  CXTPPaintManagerFont() = default;
  // Re-creates the font from the LOGFONT when it is standard or has no handle.
  void SetStandardFont(const LOGFONT* pLogFont);
  // Installs a caller's font: not standard from now on.
  void SetCustomFont(const LOGFONT* pLogFont);
  BOOL IsStandardFont() const { return m_bStandardFont; }

  BOOL m_bStandardFont = TRUE;
};

// The icon options of the paint manager.
struct XTP_COMMANDBARS_ICONSINFO {
  BOOL bUseFadedIcons;     // "UseFadedIcons"
  BOOL bUseDisabledIcons;  // "UseDisabledIcons"
  BOOL bIconsWithShadow;   // "IconsWithShadow"
  BOOL bOfficeStyleDisabledIcons;  // themed disabled icons (not stored)
};

// ---------------------------------------------------------------------------------------
class CXTPPaintManager : public CCmdTarget {
  DECLARE_DYNAMIC(CXTPPaintManager)

 public:
  CXTPPaintManager();
  ~CXTPPaintManager() override;

  // ---- Theme selection and the global instance ----
  // Makes a paint manager of the theme's class (3: visual styles; any other number: the
  // default theme), installs it through SetCustomTheme and records the number given.
  static void AFX_CDECL SetTheme(int nTheme);
  // Releases the current global paint manager, installs this one (theme number 5) and
  // refreshes it. A null argument only releases the current one.
  static void AFX_CDECL SetCustomTheme(CXTPPaintManager* pTheme);
  // The current global paint manager; null until one is set. CXTPCommandBars and bars
  // make theme 0 when there is none (XTPPaintManager()).
  static CXTPPaintManager* AFX_CDECL GetCurrentPaintManager();
  int GetCurrentTheme() const { return m_nCurrentTheme; }

  // ---- Virtual drawing interface, in slot order ----
  // A control of any kind but edit and combo box on a popup bar.
  virtual CSize DrawPopupItem(CDC* pDC, CXTPControl* pControl, BOOL bDraw) = 0;
  // A control of any kind but edit and combo box on a toolbar or menu bar.
  virtual CSize DrawToolbarItem(CDC* pDC, CXTPControl* pControl, BOOL bDraw);
  // The frame of a split button popup: main part and arrow part.
  virtual void DrawSplitItemFrame(CDC* pDC, CXTPControl* pControl, CRect rc);
  virtual CSize DrawComboItem(CDC* pDC, CXTPControl* pControl, BOOL bDraw) = 0;
  virtual CSize DrawEditItem(CDC* pDC, CXTPControl* pControl, BOOL bDraw) = 0;
  // One row of the customize dialog's command list: icon cell width and row height.
  virtual CSize DrawCustomizeListItem(CDC* pDC, CXTPControl* pControl, CRect rcItem,
                                      BOOL bSelected, BOOL bDraw,
                                      CXTPCommandBars* pCommandBars) = 0;
  virtual void DrawBarBackground(CDC* pDC, CXTPCommandBar* pBar) = 0;
  // Frame and fill behind a control, then the text colour and transparent background.
  virtual void DrawItemFrame(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed,
                             BOOL bChecked, BOOL bPopuped, int barPosition) = 0;
  virtual void DrawControlFrame(CDC* pDC, CXTPControl* pControl);
  virtual void FillItemRect(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled,
                            BOOL bChecked, BOOL bPopuped, BOOL bToolBar, int barPosition) = 0;
  virtual CSize DrawGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) = 0;
  virtual CSize DrawSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl,
                              BOOL bDraw) = 0;
  // The rectangle of a popup control that its opening popup bar must not cover.
  virtual void AdjustPopupExcludeRect(CRect& rcExclude, CXTPControl* pControl,
                                      BOOL bVertical) = 0;
  virtual void DrawStatusBarPane(CDC* pDC, CRect rc, CXTPStatusBarPane* pPane);
  virtual void DrawStatusBarPaneBorder(CDC* pDC, CRect rc);
  virtual void DrawStatusBarGripper(CDC* pDC, CRect rcClient);
  virtual void FillDockBar(CDC* pDC, CWnd* pWnd);
  virtual void FillStatusBar(CDC* pDC, CWnd* pWnd);
  // Re-reads fonts and colours.
  virtual void RefreshMetrics();
  // FALSE: disabled text is embossed; TRUE: drawn once in the theme's disabled colour.
  virtual BOOL IsFlatDisabledText() const;
  // Expand button (0), popup expand row (1), close button (2), options button (3).
  virtual CSize DrawSpecialControl(CDC* pDC, XTPSpecialControl controlType,
                                   CXTPControl* pButton, CXTPCommandBar* pBar, BOOL bDraw,
                                   LPVOID lpParam);
  virtual CRect GetCommandBarBorders(CXTPCommandBar* pBar);
  virtual CSize DrawTearOffGripper(CDC* pDC, CRect rcGripper, BOOL bSelected, BOOL bDraw) = 0;
  virtual void DrawImage(CDC* pDC, CPoint pt, CSize sz, CXTPImageManagerIcon* pImage,
                         BOOL bSelected, BOOL bPressed, BOOL bEnabled, BOOL bChecked,
                         BOOL bPopuped, BOOL bToolBarImage) = 0;
  virtual CSize DrawFloatingGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) = 0;
  virtual int GetThemeNumber() const = 0;
  virtual CFont* GetControlFont(CXTPCommandBar* pBar, BOOL bBold);
  virtual void DrawCheckMark(CDC* pDC, CRect rcCheck, COLORREF clr, BOOL bLayoutRTL = FALSE);
  virtual void DrawDropDownArrow(CDC* pDC, CRect rc, COLORREF clr);
  virtual void Animate(CDC* pDestDC, CDC* pSrcDC, CRect rc, XTPAnimationType animationType);
  virtual void AnimateExpanding(CXTPCommandBar* pCommandBar, CDC* pDestDC, CDC* pSrcDC,
                                BOOL bExpandDown);
  // A control's caption on its way to the screen; nothing in every theme.
  virtual void PrepareCaption(CString& strCaption);

  // ---- Shared operations ----
  // Colour of a table index (0..61); a value above 61 is an RGB value itself.
  COLORREF GetColor(int nIndex) const;
  // Writes standard values (not overrides).
  void SetColors(int nCount, const int* pIndices, const COLORREF* pColors);
  // Sets or (with -1) clears the override of one index.
  void SetColorOverride(int nIndex, COLORREF clr);
  XTP_COMMANDBARS_ICONSINFO* GetIconsInfo() { return &m_iconsInfo; }
  // The colour scheme the choice field resolves to.
  int GetColorScheme() const;
  void SetColorSchemeChoice(int nChoice) { m_nColorSchemeChoice = nChoice; }
  void SetFontIndirect(const LOGFONT* pLogFont, BOOL bStandardFont = FALSE);
  // The entry point controls draw and measure through.
  CSize DrawControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw = TRUE);
  CSize DrawControlText(CDC* pDC, const CString& strText, CRect rcText, BOOL bDraw,
                        BOOL bVert, BOOL bCentered, BOOL bTriangled, BOOL bEmbossed = FALSE,
                        BOOL bUnderline = TRUE);
  void Triangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2, COLORREF clr);
  void Line(CDC* pDC, CPoint p0, CPoint p1, int nPen);
  void DrawRect(CDC* pDC, CRect rc, int nBrush, int nPen);
  void Draw3dRect(CDC* pDC, CRect rc, int nTopLeft, int nBottomRight);
  void GradientFill(CDC* pDC, LPCRECT lpRect, COLORREF crFrom, COLORREF crTo, BOOL bHorz,
                    LPCRECT lpRectClip = NULL);

  // ---- Drop shadows of popups ----
  // Whether popups of bars drawn by this paint manager cast shadows at all.
  BOOL IsShadowEnabled() const { return m_bShowShadow; }
  // Whether it asks for shadows whatever the system setting (theme shadows: the part of a
  // shadow over the popup's parent control is cut out).
  BOOL IsThemeShadow() const { return m_bThemeShadow; }
  // The colour of the shadow gradient.
  COLORREF GetShadowColor() const { return m_clrShadowColor; }

  // ---- Fonts and metrics ----
  // The LOGFONT the standard fonts are made from: height, weight, italic flag and face of
  // the system menu font, the given character set; a height from -10 to -1 becomes -11.
  static void AFX_CDECL MakeStandardLogFont(const LOGFONT& lfMenu, BYTE nCharSet,
                                            LOGFONT* pLogFont);
  CFont* GetVerticalFont() { return &m_fontVert; }
  CFont* GetVerticalBoldFont() { return &m_fontVertBold; }
  CFont* GetIconBoldFont() { return &m_fontIconBold; }
  void SetUnderlineOverride(int nUnderline) { m_nUnderlineOverride = nUnderline; }
  CFont* GetRegularFont() { return &m_fontRegular; }
  CFont* GetRegularBoldFont() { return &m_fontRegularBold; }
  CFont* GetIconFont() { return &m_fontIcon; }
  CFont* GetSmCaptionFont() { return &m_fontSmCaption; }
  int GetTextHeight() const { return m_nTextHeight; }
  BOOL IsFaceTahoma() const { return m_bUseTahoma; }
  BOOL IsStandardFont() const { return m_bUseStandardFont; }
  int GetAnimationSteps() const { return m_nAnimationSteps; }
  int GetAnimationDuration() const { return m_nAnimationTime; }
  void SetAnimationDelay(int nSteps, int nDuration) {
    m_nAnimationSteps = nSteps;
    m_nAnimationTime = nDuration;
  }

  // Fields (public as the bars, controls and themes read them).
  COLORREF m_clrStatusTextGrayColor;  // second text colour
  COLORREF m_clrStatusTextColor;      // text colour (table colour 18 at each refresh)
  CXTPGradientColor m_clrDisabledIcon;
  BOOL m_bThickCheckMark;  // the check mark is drawn twice, the second one pixel lower

 protected:
  // Recreates the fonts from the system menu font (standard font only).
  void RefreshFonts();
  // Whether the control's effective style shows an icon (0: unless a popup; 1: never;
  // 2, 3: always), and its image at the width when it shows one and has one.
  static BOOL ControlShowsIcon(CXTPControl* pControl);
  static CXTPImageManagerIcon* ControlImage(CXTPControl* pControl, int nWidth);

  CFont m_fontRegular;
  CFont m_fontRegularBold;
  CFont m_fontVert;
  CFont m_fontVertBold;
  CXTPPaintManagerFont m_fontSmCaption;
  CXTPPaintManagerFont m_fontIcon;
  CXTPPaintManagerFont m_fontIconBold;
  int m_nTextHeight;
  BOOL m_bUseTahoma;        // face is Tahoma (set once, never cleared)
  BOOL m_bUseStandardFont;  // the fonts follow the system menu font
  int m_nCurrentTheme;
  XTP_COMMANDBARS_ICONSINFO m_iconsInfo;
  int m_nAnimationSteps;
  int m_nAnimationTime;
  int m_nUnderlineOverride;  // -1: none
  CXTPColorRecord m_arrColor[XTP_PAINTMANAGER_COLORS];
  int m_nColorSchemeChoice;

  BOOL m_bShowShadow;      // TRUE
  BOOL m_bThemeShadow;     // FALSE
  COLORREF m_clrShadowColor;  // black

  static CXTPPaintManager* s_pInstance;

  friend class CXTPPaintManagerTestAccess;
};

// The current global paint manager, made with theme 0 when none exists.
CXTPPaintManager* AFXAPI XTPPaintManager();
