// The dialog bar: a toolbar that hosts one child window (its client) under a caption
// strip with a caption control (optionally opening a caption menu) and a close button. It
// sizes on its free edges when docked and on every edge and corner when floating, and
// keeps separate client sizes for docked and floating use.
#pragma once

#include "XTPPopupBar.h"
#include "XTPToolBar.h"

// The controls the dialog bar makes for itself (never stored).
#define XTP_ID_DIALOGBAR_CAPTION 9399
#define XTP_ID_DIALOGBAR_CLOSE 9401

class CXTPDialogBar : public CXTPToolBar {
  DECLARE_SERIAL(CXTPDialogBar)

 public:
  CXTPDialogBar();
  // Releases the caption menu; the toolbar destructor runs after.
  ~CXTPDialogBar() override;

  // ---- Overrides, in slot order ----
  // The paint manager draws the floating gripper for a dialog bar.
  BOOL IsFloatingFrameGripper() const override { return TRUE; }
  // Floating: the bar size for a length of 32000 with the floating client size.
  CSize CalcLayout(int nLength = 0, DWORD dwMode = 0) override;
  // 1 in the caption strip of the window rectangle, else -2 (a press on the client counts
  // as a press outside for open menus).
  int HitTestBar(CPoint point) override;
  CXTPCommandBar* Clone(BOOL bRecursive = FALSE) override;
  // Docked: the bar size with the docking client size.
  CSize CalcDockingLayout(int nLength, DWORD dwMode, int nWidth = 0) override;
  BOOL IsDialogBar() const override { return TRUE; }
  // Sizing by the dock context: a rectangle below the minimum size is ignored.
  void SizeToRect(CRect rc, UINT nHitTest) override;
  void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;

  // ---- Operations ----
  // The bar size for a length and mode around a client of the given size; places the
  // caption and close controls.
  CSize CalcBarSize(int nLength, DWORD dwMode, int nClientCx, int nClientCy);
  // The hosted child window (the bar places it; the caller creates it).
  void SetChild(CWnd* pChildWnd);
  CWnd* GetChild() const { return m_pChildWnd; }
  void SetCaption(LPCTSTR lpszCaption);
  CString GetCaption() const { return m_strCaption; }
  void SetResizable(BOOL bResizable) { m_bResizable = bResizable; }
  BOOL IsResizable() const { return m_bResizable; }
  void SetMinimumSize(CSize sz) { m_szMinSize = sz; }
  CSize GetMinimumSize() const { return m_szMinSize; }
  void ShowCaption(BOOL bShow);
  BOOL IsCaptionVisible() const { return m_bCaptionVisible; }
  void SetCaptionPopup(BOOL bPopup) { m_bCaptionPopup = bPopup; }
  BOOL IsCaptionPopup() const { return m_bCaptionPopup; }
  void SetBorders(CRect rcBorders) { m_rcBorders = rcBorders; }
  CRect GetBorders() const { return m_rcBorders; }
  int GetCaptionBottom() const { return m_nCaptionHeight; }
  void SetDockingClientSize(CSize sz) { m_szDockingClient = sz; }
  CSize GetDockingClientSize() const { return m_szDockingClient; }
  void SetFloatingClientSize(CSize sz) { m_szFloatingClient = sz; }
  CSize GetFloatingClientSize() const { return m_szFloatingClient; }
  // The caption menu: a popup bar the caption control opens when it has controls.
  CXTPPopupBar* GetCaptionPopupBar() const { return m_pPopupBar; }
  // The caption control and the close button (null until the first layout).
  CXTPControl* GetCaptionControl() const;
  CXTPControl* GetDialogCloseButton() const;

 protected:
  afx_msg LRESULT OnNcHitTest(CPoint point);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  // The client window's place inside the bar.
  void MoveChild();

  CRect m_rcBorders;          // 3, 3, 3, 3
  BOOL m_bResizable;          // TRUE
  CSize m_szMinSize;          // 50 x 50
  BOOL m_bCaptionVisible;     // TRUE
  BOOL m_bCaptionPopup;       // TRUE
  int m_nCaptionHeight;       // top border + caption height
  CSize m_szDockingClient;    // 200 x 200
  CSize m_szFloatingClient;   // 200 x 200
  CWnd* m_pChildWnd;
  CString m_strCaption;
  CXTPPopupBar* m_pPopupBar;  // the caption menu

  DECLARE_MESSAGE_MAP()
};
