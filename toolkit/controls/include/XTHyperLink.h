// A static text that behaves as a web link: link, hover and visited colours, an underlined
// font, a hand cursor over the text, a tooltip with the address, and a click that opens
// the address with the shell.
#pragma once

#include <framework.h>

class CXTHyperLink : public CStatic {
  DECLARE_DYNAMIC(CXTHyperLink)

 public:
  CXTHyperLink();
  ~CXTHyperLink() override;

  virtual void SetAddress(LPCTSTR lpszLink);
  virtual CString GetAddress() const { return m_strLink; }
  virtual void SetColors(COLORREF clrLink, COLORREF clrVisited, COLORREF clrHover);
  virtual COLORREF GetLinkColor() const { return m_clrLink; }
  virtual COLORREF GetVisitedColor() const { return m_clrVisited; }
  virtual COLORREF GetHoverColor() const { return m_clrHover; }
  virtual void SetVisited(BOOL bVisited = TRUE);
  virtual BOOL GetVisited() const { return m_bVisited; }
  virtual void SetLinkCursor(HCURSOR hCursor) { m_hcurHand = hCursor; }
  virtual HCURSOR GetLinkCursor() const { return m_hcurHand; }
  virtual void SetUnderline(BOOL bUnderline = TRUE);
  virtual BOOL GetUnderline() const { return m_bUnderline; }
  virtual void SetBackColor(COLORREF clrBack);
  virtual COLORREF GetBackColor() const;
  virtual BOOL OpenAddress(LPCTSTR lpszFileName = NULL, int nShowCmd = SW_SHOW, LPCTSTR lpszParameters = NULL,
                           LPCTSTR lpszDirectory = NULL);
  virtual BOOL IsTextControl();
  virtual BOOL IsCursorOverText();
  virtual void ShowOpenError(int nCode);
  virtual BOOL Initialize();
  virtual BOOL SetLinkFont();
  virtual BOOL CreateLinkFont(CFont& font, BOOL bUnderline);

  // Another name of SetAddress.
  void SetURL(LPCTSTR lpszLink) { SetAddress(lpszLink); }
  CString GetURL() const { return GetAddress(); }

  void SetTipText(LPCTSTR lpszTip) { m_strTipText = lpszTip; }
  CString GetTipText() const { return m_strTipText; }
  void EnableShellOpen(BOOL bShell) { m_bShellExec = bShell ? 1 : 0; }
  BOOL IsHovering() const { return m_bMouseOver; }
  CToolTipCtrl& GetToolTip() { return m_toolTip; }
  // The text of the message box a failed open with this code shows.
  static CString GetOpenErrorText(int nCode);

  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  void PreSubclassWindow() override;
  // The text's hot area in client coordinates (the whole client area for a non-text control).
  CRect GetTextArea();
  // Paints an underlined link's text and its underline; FALSE when it could not.
  BOOL DrawUnderlinedText(CDC* pDC);

  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg LRESULT OnNcHitTest(CPoint point);
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
  afx_msg BOOL OnClicked();
  DECLARE_MESSAGE_MAP()

  BYTE m_bShellExec;
  BYTE m_bPreSubclassInit;
  BYTE m_bUnderline;
  BYTE m_bMouseOver;
  BYTE m_bVisited;
  BYTE m_bShowToolTip;
  CFont m_font;
  CString m_strLink;
  CString m_strTipText;
  HCURSOR m_hcurHand;
  COLORREF m_clrLink;
  COLORREF m_clrHover;
  COLORREF m_clrVisited;
  COLORREF m_clrBack;
  CToolTipCtrl m_toolTip;
};
