// Caption bars: CXTCaption paints a bar with text and an optional icon through a theme;
// attached to a pane it pops the pane out into a CXTCaptionPopupWnd, which closes when
// the focus leaves it and can be pinned back.
#pragma once

#include <framework.h>

#include "XTButton.h"

class CXTCaption;
class CXTCaptionPopupWnd;

// Caption styles (low three bits of Create's caption style).
#define CPWS_EX_GROOVE_EDGE 0x0001  // two nested frames
#define CPWS_EX_RAISED_EDGE 0x0002  // one frame
#define CPWS_EX_CLOSEBUTTON 0x0004  // the button is a close glyph that notifies the owner

// Messages the popup sends its caption, and the caption sends its owner.
#define CPWM_POPUP_CLOSE 0x273E      // 10046: the pane was pinned back
#define CPWM_POPUP_FOCUSLOST 0x273F  // 10047: the focus left the popup

// Id of the caption button and of the popup's push pin.
#define XT_IDC_BTN_CLOSE 9115

// ---------------------------------------------------------------------------------------
class CXTCaptionTheme : public CXTThemeManagerStyle {
 public:
  CXTCaptionTheme();

  void RefreshMetrics() override;

  virtual void DrawCaptionBack(CDC* pDC, CXTCaption* pCaption, CRect& rcItem);
  virtual void DrawCaptionText(CDC* pDC, CXTCaption* pCaption);
  virtual void DrawCaptionIcon(CDC* pDC, CXTCaption* pCaption, CRect& rcItem);

  int m_nThemeKind;
  CXTPColorRecord m_clrEdgeShadow;
  CXTPColorRecord m_clrEdgeLight;
};

class CXTCaptionThemeOfficeXP : public CXTCaptionTheme {
 public:
  void DrawCaptionBack(CDC* pDC, CXTCaption* pCaption, CRect& rcItem) override;
};

class CXTCaptionThemeOffice2003 : public CXTCaptionTheme {
 public:
  void DrawCaptionBack(CDC* pDC, CXTCaption* pCaption, CRect& rcItem) override;
};

class CXTCaptionThemeFactory : public CXTThemeManagerStyleFactory {
  DECLARE_DYNCREATE(CXTCaptionThemeFactory)

 public:
  CXTThemeManagerStyle* CreateTheme(int nTheme) override;
};

// Caption button themes: the button themes, coloured and drawn after their caption.
class CXTCaptionButtonTheme : public CXTButtonTheme {
 public:
  CXTCaptionButtonTheme();
  COLORREF GetTextColor(UINT nState, CXTButton* pButton) override;
  void DrawButtonText(CDC* pDC, UINT nState, CRect& rcItem, CXTButton* pButton) override;
  void DrawBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton) override;
};

class CXTCaptionButtonThemeOfficeXP : public CXTButtonThemeHighlight {
 public:
  CXTCaptionButtonThemeOfficeXP();
  COLORREF GetTextColor(UINT nState, CXTButton* pButton) override;
  void DrawButtonText(CDC* pDC, UINT nState, CRect& rcItem, CXTButton* pButton) override;
  void DrawBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton) override;
};

class CXTCaptionButtonThemeOffice2003 : public CXTButtonThemeScheme {
 public:
  COLORREF GetTextColor(UINT nState, CXTButton* pButton) override;
  void DrawBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton) override;
};

class CXTCaptionButtonThemeFactory : public CXTThemeManagerStyleFactory {
  DECLARE_DYNCREATE(CXTCaptionButtonThemeFactory)

 public:
  CXTThemeManagerStyle* CreateTheme(int nTheme) override;
};

// ---------------------------------------------------------------------------------------
class CXTCaptionButton : public CXTButton {
  DECLARE_DYNAMIC(CXTCaptionButton)

 public:
  CXTCaptionButton();

  DWORD SetThemeStyle(DWORD dwxStyle, BOOL bRedraw = TRUE) override;

  // The caption this button belongs to, or null.
  CXTCaption* GetCaption() const { return m_pCaption; }
  void SetCaption(CXTCaption* pCaption) { m_pCaption = pCaption; }

 protected:
  afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
  afx_msg void OnSysColorChange();
  DECLARE_MESSAGE_MAP()

  CXTCaption* m_pCaption;
};

// ---------------------------------------------------------------------------------------
class CXTCaption : public CStatic, public CXTThemeManagerStyleHost {
  DECLARE_DYNAMIC(CXTCaption)

 public:
  CXTCaption();
  ~CXTCaption() override;

  virtual void SetCaptionColors(COLORREF clrBorder, COLORREF clrFace, COLORREF clrText);
  virtual void ModifyCaptionStyle(int nBorderSize, CFont* pFont = NULL, LPCTSTR lpszWindText = NULL,
                                  HICON hIcon = NULL);
  virtual void SetChildWindow(CWnd* pChild, CWnd* pNotifyWnd);
  virtual void KillChildWindow();
  virtual BOOL ShowPopupWindow();
  virtual void UpdateCaption(LPCTSTR lpszWindowText, HICON hIcon);
  virtual BOOL Create(CWnd* pParentWnd, LPCTSTR lpszWindowName, DWORD dwExStyle = CPWS_EX_RAISED_EDGE,
                      DWORD dwStyle = WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE,
                      const RECT& rect = CRect(0, 0, 0, 0), UINT nID = 0xFFFF);
  virtual CRect GetTextRect();
  virtual void DrawCaptionBack(CDC* pDC, CRect& rcItem);
  virtual void DrawCaptionText(CDC* pDC);
  virtual void DrawCaptionIcon(CDC* pDC, CRect& rcItem);
  virtual void UpdateButton(CDC* pDC);
  virtual CRect GetButtonRect();

  // State read by the themes and tests.
  CXTCaptionTheme* GetTheme();
  int GetBorderSize() const { return m_nBorder; }
  COLORREF GetBorderColor() const { return m_clrBorder; }
  COLORREF GetBackColor() const { return m_clrBackground; }
  COLORREF GetTextColor() const { return m_clrFont; }
  BOOL IsTextButton() const { return m_bTextButton; }
  DWORD GetCaptionStyle() const { return m_dwExStyle; }
  HICON GetCaptionIcon() const { return m_hIcon; }
  CSize GetIconSize() const { return m_sizeIcon; }
  CString GetCaptionText() const { return m_strWindText; }
  CXTCaptionButton& GetCaptionButton() { return m_btnCaption; }
  CXTCaptionPopupWnd* GetPopupWnd() const { return m_pPopupWnd; }
  CWnd* GetChildWnd() const { return m_pChildWnd; }
  CWnd* GetNotifyWnd() const { return m_pNotifyWnd; }

 protected:
  void OnThemeChanged() override;
  // The popup is destroyed and deleted here, after the handler that asked for it has
  // returned (popup messages are answered first, then this runs from the queue).
  void DestroyPopup();

  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnSysColorChange();
  afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
  afx_msg void OnCaptButton();
  afx_msg LRESULT OnPopupClose(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnPopupFocusLost(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnDeletePopup(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

  int m_nBorder;
  COLORREF m_clrBorder;
  COLORREF m_clrBackground;
  COLORREF m_clrFont;
  int m_nOffset;
  BYTE m_bUserColors;
  BYTE m_bTextButton;
  CWnd* m_pChildWnd;
  CWnd* m_pParentView;
  CWnd* m_pSplitterWnd;
  CWnd* m_pNotifyWnd;
  CSize m_sizeIcon;
  CRect m_rcChild;
  CRect m_rcParent;
  CRect m_rcSplitter;
  DWORD m_dwExStyle;
  HICON m_hIcon;
  CString m_strWindText;
  CImageList m_ilButton;
  CXTCaptionButton m_btnCaption;
  CXTCaptionPopupWnd* m_pPopupWnd;
  // Popups closed while one of their own handlers ran; deleted from the queue.
  CPtrList m_listDeadPopups;
};

// ---------------------------------------------------------------------------------------
class CXTCaptionPopupWnd : public CWnd {
  DECLARE_DYNAMIC(CXTCaptionPopupWnd)

 public:
  CXTCaptionPopupWnd();
  ~CXTCaptionPopupWnd() override;

  virtual BOOL Create(const CRect& rect, CXTCaption* pParentWnd, CWnd* pChildWnd);
  virtual void RecalcLayout();
  virtual void RestoreChildParent();

  CXTCaption& GetTitleBar() { return m_Caption; }
  CXTCaptionButton& GetPushPin() { return m_CaptionButton; }
  CWnd* GetChild() const { return m_pChildWnd; }

  static LPCTSTR GetWindowClassName() { return _T("XTCaptionPopupWnd"); }

 protected:
  afx_msg void OnPaint();
  afx_msg void OnDestroy();
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnPushPinButton();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  DECLARE_MESSAGE_MAP()

  CXTCaption* m_pParentWnd;
  CWnd* m_pChildWnd;
  CWnd* m_pChildParent;
  CXTCaption m_Caption;
  CXTCaptionButton m_CaptionButton;
  HICON m_hIconOn;
  HICON m_hIconOff;
};
