// The toolkit's owner-drawn push button and the themes that paint it.
//
// A CXTButton keeps its state (hot, pressed, checked, image, positions, style bits) and
// hands every WM_DRAWITEM to a theme. Themes come from CXTButtonThemeFactory through the
// theme manager, so a new theme given to the factory reaches every button of the process
// at once, except the buttons that hold a private theme (SetThemeStyle with 0x1 or 0x40).
#pragma once

#include <framework.h>

#include "XTThemeManager.h"
#include "XTPDrawHelpers.h"
#include "XTPImageManager.h"
#include "XTPWinThemeWrapper.h"

class CXTButton;

// Button style bits (the button's own word, apart from the window style).
#define BS_XT_FLAT 0x0001          // border only while hot or pressed; hot tracking
#define BS_XT_SEMIFLAT 0x0002      // one-pixel 3D border; hot tracking
#define BS_XT_TWOROWS 0x0004       // image above the text
#define BS_XT_SHOWFOCUS 0x0010     // focus rectangle while focused
#define BS_XT_HILITEPRESSED 0x0020 // dithered face while pressed or checked (classic theme)
#define BS_XT_XPFLAT 0x0040        // private highlight theme without accent
#define BS_XT_WINXP_COMPAT 0x1000  // visual-styles "BUTTON" when available

// ---------------------------------------------------------------------------------------
// Kind 0: the classic 3D look. Kinds 1 and 2 derive from it.
class CXTButtonTheme : public CXTThemeManagerStyle {
 public:
  CXTButtonTheme();
  ~CXTButtonTheme() override;

  void RefreshMetrics() override;

  virtual BOOL IsHotTracking(CXTButton* pButton);
  virtual BOOL UseVisualStyles(CXTButton* pButton);
  virtual BOOL GetShowImages() const { return m_bShowImages; }
  virtual void SetShowImages(BOOL bShow) { m_bShowImages = bShow; }
  virtual CFont* GetFont(CXTButton* pButton);
  virtual void SetFont(CFont* pFont) { m_pFont = pFont; }
  virtual void SetColors(COLORREF clrFace, COLORREF clrLight, COLORREF clrShadow, COLORREF clrText);
  virtual void SetFaceColor(COLORREF clr) { m_crFace.SetCustomValue(clr); }
  virtual COLORREF GetFaceColor() const { return m_crFace; }
  virtual void SetLightColor(COLORREF clr) { m_crLight.SetCustomValue(clr); }
  virtual void SetShadowColor(COLORREF clr) { m_crShadow.SetCustomValue(clr); }
  virtual void SetTextColor(COLORREF clr) { m_crText.SetCustomValue(clr); }
  virtual CPoint GetCentredOrigin(CSize size, CXTButton* pButton);
  virtual CPoint GetTextPosition(CDC* pDC, UINT nState, CRect& rcItem, CSize& sizeText, CXTButton* pButton);
  virtual COLORREF GetTextColor(UINT nState, CXTButton* pButton);
  virtual void DrawButtonText(CDC* pDC, UINT nState, CRect& rcItem, CXTButton* pButton);
  virtual CPoint GetImagePosition(CDC* pDC, UINT nState, CRect& rcItem, BOOL bHasImage, CXTButton* pButton);
  virtual void DrawButtonImage(CDC* pDC, UINT nState, CRect& rcItem, CXTButton* pButton);
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton);
  virtual BOOL DrawVisualStyles(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton);
  virtual void DrawBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton);
  virtual void DrawFocus(CDC* pDC, UINT nState, CRect& rcItem, CXTButton* pButton);

  // The theme number that made this theme (0, 1 or 2).
  int GetThemeKind() const { return m_nThemeKind; }
  void SetThemeKind(int nKind) { m_nThemeKind = nKind; }
  BOOL GetOffsetText() const { return m_bOffsetText; }
  void SetOffsetText(BOOL bOffset) { m_bOffsetText = bOffset; }

  int m_nThemeKind;
  BOOL m_bShowImages;
  BOOL m_bOffsetText;
  CFont* m_pFont;
  CXTPColorRecord m_crFace;
  CXTPColorRecord m_crText;
  CXTPColorRecord m_crTextDisabled;
  CXTPColorRecord m_crLight;
  CXTPColorRecord m_crShadow;
  CXTPColorRecord m_crHighlight;
  CXTPColorRecord m_crDarkShadow;
  CXTPThemeHandle m_themeButton;

 protected:
  // Pressed means ODS_SELECTED or checked.
  static BOOL IsPressed(UINT nState, CXTButton* pButton);
  void DrawFrame(CDC* pDC, const CRect& rc, COLORREF clrTopLeft, COLORREF clrBottomRight);
};
typedef CXTButtonTheme CXTButtonThemeClassic;

// Kind 1: flat office look with hot and pressed faces.
class CXTButtonThemeHighlight : public CXTButtonTheme {
 public:
  explicit CXTButtonThemeHighlight(BOOL bWordTheme = FALSE);

  void RefreshMetrics() override;
  BOOL IsHotTracking(CXTButton* pButton) override;
  COLORREF GetTextColor(UINT nState, CXTButton* pButton) override;
  void DrawButtonImage(CDC* pDC, UINT nState, CRect& rcItem, CXTButton* pButton) override;
  void DrawBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton) override;
  void DrawFocus(CDC* pDC, UINT nState, CRect& rcItem, CXTButton* pButton) override;

  virtual void SetAccent(BOOL bAccent);
  virtual void SetPressedFaceColor(COLORREF clr) { m_crPressedFace.SetCustomValue(clr); }
  virtual void SetHotFaceColor(COLORREF clr) { m_crHotFace.SetCustomValue(clr); }
  virtual void SetPressedTextColor(COLORREF clr) { m_crPressedText.SetCustomValue(clr); }
  virtual void SetHotTextColor(COLORREF clr) { m_crHotText.SetCustomValue(clr); }
  BOOL GetAccent() const { return m_bWordTheme; }

  BOOL m_bWordTheme;   // accent
  BOOL m_bFadedIcon;
  BOOL m_bAnimateIcon; // image shadow while hot
  CXTPColorRecord m_crPressedFace;
  CXTPColorRecord m_crHotFace;
  CXTPColorRecord m_crPressedText;
  CXTPColorRecord m_crHotText;
  CXTPColorRecord m_crCheckedFace;
};

// Kind 2: the colour-scheme look with gradient faces.
class CXTButtonThemeScheme : public CXTButtonThemeHighlight {
 public:
  CXTButtonThemeScheme();

  void RefreshMetrics() override;
  void DrawButtonImage(CDC* pDC, UINT nState, CRect& rcItem, CXTButton* pButton) override;
  void DrawBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton) override;
};

// The shared source of button themes: kind 1 and 2 for those numbers, kind 0 otherwise.
class CXTButtonThemeFactory : public CXTThemeManagerStyleFactory {
  DECLARE_DYNCREATE(CXTButtonThemeFactory)

 public:
  CXTThemeManagerStyle* CreateTheme(int nTheme) override;
};

// ---------------------------------------------------------------------------------------
class CXTButton : public CButton, public CXTThemeManagerStyleHost {
  DECLARE_DYNAMIC(CXTButton)

 public:
  explicit CXTButton(CRuntimeClass* pThemeFactoryClass = NULL);
  ~CXTButton() override;

  void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;

  virtual BOOL SetIconHandles(CSize size, CXTPImageManagerIconHandle hIcon,
                              CXTPImageManagerIconHandle hIconHot, BOOL bRedraw = TRUE);
  virtual BOOL SetIconResources(CSize size, UINT nID, UINT nHotID, BOOL bRedraw);
  virtual BOOL SetIconResources(CSize size, WORD wID, WORD wHotID, BOOL bRedraw);
  virtual BOOL SetIconHandles(CSize size, HICON hIcon, HICON hIconHot, BOOL bRedraw = TRUE);
  virtual BOOL SetBitmapResource(CSize size, UINT nID, BOOL bRedraw = TRUE);
  virtual BOOL SetImageTextPositions(POINT ptImage, POINT ptText, BOOL bRedraw = TRUE);
  virtual DWORD SetThemeStyle(DWORD dwxStyle, BOOL bRedraw = TRUE);
  virtual DWORD GetThemeStyle() const { return m_dwxStyle; }
  virtual BOOL HasTheme();
  virtual void SetColors(COLORREF clrFace, COLORREF clrLight, COLORREF clrShadow, COLORREF clrText);
  virtual void SetFaceColor(COLORREF clrFace);
  virtual COLORREF GetFaceColor();
  virtual void SetLightColor(COLORREF clrLight);
  virtual void SetShadowColor(COLORREF clrShadow);
  virtual void SetTextColor(COLORREF clrText);
  virtual void SetHighlightColors(COLORREF clrBorder, COLORREF clrHot, COLORREF clrPressed);
  virtual void ToggleImages();
  virtual CFont* SetButtonFont(CFont* pFont);
  virtual BOOL MakeOwnerDraw();
  virtual void ResetImage();
  virtual void GetButtonText(CString& strText, BOOL bStrip = TRUE);

  // Icon by resource id without a hot icon: (size, id, redraw).
  BOOL SetIconResources(CSize size, UINT nID, BOOL bRedraw = TRUE);
  // Resource ids written as plain numbers take the 32-bit form.
  BOOL SetIconResources(CSize size, int nID, int nHotID, BOOL bRedraw) {
    return SetIconResources(size, (UINT)nID, (UINT)nHotID, bRedraw);
  }

  // Other names of the same operations.
  DWORD SetXButtonStyle(DWORD dwxStyle, BOOL bRedraw = TRUE) { return SetThemeStyle(dwxStyle, bRedraw); }
  DWORD GetXButtonStyle() const { return GetThemeStyle(); }
  CFont* SetFont(CFont* pFont) { return SetButtonFont(pFont); }
  void SetFont(CFont* pFont, BOOL bRedraw) { CWnd::SetFont(pFont, bRedraw); }

  // Stores the style bits only: the theme the button holds stays.
  void SetThemeStyleBits(DWORD dwxStyle) { m_dwxStyle = dwxStyle; }

  CSize GetImageSize();
  CPoint GetImagePoint();
  CPoint GetTextPoint();

  // State read by the themes.
  BOOL IsHot() const { return m_bHot; }
  BOOL GetChecked() const { return m_bChecked; }
  void SetChecked(BOOL bChecked, BOOL bRedraw = TRUE);
  BOOL IsUserPosition() const { return m_bUserPosition; }
  int GetImageGap() const { return m_nImageGap; }
  int GetTextGap() const { return m_nTextGap; }
  void SetImageGap(int nGap) { m_nImageGap = nGap; }
  void SetTextGap(int nGap) { m_nTextGap = nGap; }
  CXTPImageManagerIcon* GetIcon() const { return m_pIcon; }
  BOOL IsButtonPressed() const { return m_bLBtnDown; }
  // The theme that paints this button now (private or the factory's); never null.
  CXTButtonTheme* GetTheme();

 protected:
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  void PreSubclassWindow() override;
  void OnThemeChanged() override;
  // One step of hot tracking (timer 1).
  void CheckHotState();

  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
  afx_msg void OnSysColorChange();
  DECLARE_MESSAGE_MAP()

  int m_nImageGap;
  int m_nTextGap;
  BOOL m_bPreSubclassInit;  // set the owner-draw bit when subclassed
  BOOL m_bHot;
  BOOL m_bUserPosition;
  BOOL m_bLBtnDown;
  BOOL m_bTracking;
  BOOL m_bChecked;
  DWORD m_dwxStyle;
  CSize m_sizeImage;
  CPoint m_ptImage;
  CPoint m_ptText;
  CXTPImageManagerIcon* m_pIcon;
};
