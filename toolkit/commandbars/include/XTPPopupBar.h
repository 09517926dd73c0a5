// The window of every drop-down menu, submenu, context menu and chevron menu: a
// borderless top-level popup that never takes the activation. It lays its controls out
// as a vertical menu, places itself relative to the control that opened it (or a point),
// flips and clamps itself to the work area, scrolls, may animate its first paint, casts
// a drop shadow, hides rarely used commands behind an expand row, and can be torn off.
#pragma once

#include "XTPCommandBar.h"

class CXTPControlPopup;
class CXTPToolBar;

class CXTPPopupBar : public CXTPCommandBar {
  DECLARE_SERIAL(CXTPPopupBar)

 public:
  CXTPPopupBar();
  ~CXTPPopupBar() override;

  // Creates a popup bar through the record and links it to the command bars (may be null).
  static CXTPPopupBar* AFX_CDECL CreatePopupBar(CXTPCommandBars* pCommandBars);

  BOOL DestroyWindow() override;
  BOOL SetTrackingMode(int bMode, BOOL bSelectFirst = TRUE, BOOL bKeyboard = FALSE) override;
  BOOL SetSelected(int nSelected, BOOL bKeyboard = FALSE) override;
  BOOL Popup(CXTPControlPopup* pControlPopup, BOOL bSelectFirst = FALSE) override;
  BOOL IsVisible() const override;
  void OnRecalcLayout() override;
  CXTPCommandBar* GetParentCommandBar() const override;
  void DoPropExchange(CXTPPropExchange* pPX) override;
  int OnHookKeyDown(UINT nChar, LPARAM lParam) override;
  CSize CalcLayout(int nLength = 0, DWORD dwMode = 0) override;
  void DrawCommandBar(CDC* pDC, CRect rcClipBox) override;
  void DelayLayout() override;
  void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;
  CXTPCommandBar* Clone(BOOL bRecursive = FALSE) override;
  // Gives the visible controls with an id the shortcut manager's texts.
  virtual void UpdateShortcuts();
  // Alignment flags, exclude rectangle and position from the parent control.
  virtual void UpdateLocation();

  // Opens at a screen point, away from an optional exclude rectangle.
  BOOL PopupAt(int x, int y, LPCRECT rcExclude = NULL);
  // Shows all commands; TRUE when the popup is (now) expanded.
  BOOL ExpandBar();
  // 2 unfold, 3 slide, 4 fade, 5 none.
  XTPAnimationType GetAnimationType() const;
  CRect CalcPopupRect(int cx, int cy);
  // Seam: the work area CalcPopupRect places popups in, for the exclude rectangle when it
  // is not empty, else for the point (null restores the monitor's). Returns the old one.
  typedef CRect(AFX_CDECL* PFNGETWORKAREA)(LPCRECT lpExclude, POINT pt);
  static PFNGETWORKAREA AFX_CDECL SetWorkAreaProc(PFNGETWORKAREA pfn);
  void SetPopupPos(int cx, int cy);
  void RecalcScroll(CSize sz, BOOL bFromBottom, BOOL bRedraw);
  CXTPControlPopup* GetControlPopup() const { return m_pControlPopup; }
  void SetTearOffPopup(LPCTSTR lpszCaption, UINT nID, int nWidth = 400);
  BOOL IsTearOffPopup() const { return m_bTearOffPopup; }
  void SetShowShadow(BOOL bShow) { m_bShowShadow = bShow; }
  BOOL IsShowShadow() const { return m_bShowShadow; }
  BOOL IsExpanded() const { return m_bExpanded; }
  BOOL HasHiddenCommands() const { return m_bCollapsed; }
  CRect GetExcludeRect() const { return m_rcExclude; }
  DWORD GetPopupFlags() const { return m_popupFlags; }
  void SetPopupFlags(DWORD dwFlags) { m_popupFlags = dwFlags; }
  CRect GetBorders() const { return m_rcBorders; }
  void SetBorders(CRect rc) { m_rcBorders = rc; }

  // ---- Scrolling and tear-off (XTPPopupBarScroll.cpp) ----
  BOOL IsScrolling() const { return m_bScrolling; }
  // Index of the first control shown while scrolling, and the index after the last one.
  int GetFirstVisible() const { return m_nScrollFirst; }
  int GetEndVisible() const { return m_nScrollEnd; }
  // Client rectangle of the down (bDown) or up arrow; empty when the arrow is not shown.
  CRect GetScrollArrowRect(BOOL bDown) const { return bDown ? m_scrollDown.rc : m_scrollUp.rc; }
  CRect GetTearOffGripperRect() const { return m_rcTearOffGripper; }
  BOOL IsTearOffGripperHot() const { return m_bTearOffSelected; }
  BOOL IsTearOffDragging() const { return m_bTearOffTracking; }
  CString GetTearOffCaption() const { return m_strTearOffCaption; }
  UINT GetTearOffID() const { return m_nTearOffID; }
  int GetTearOffWidth() const { return m_nTearOffWidth; }
  // The floating toolbar the current tear-off drag shows; null outside a drag.
  CXTPToolBar* GetTearOffBar() const { return m_pTearOffBar; }
  // The expand row at the bottom of a short menu (made on demand; null until then).
  CXTPControl* GetExpandButton() const;

  // Alignment flags.
  enum { xtpPopupLeft = 1, xtpPopupDown = 2 };

  // A scroll arrow of a popup taller than the screen.
  struct CScrollInfo {
    CRect rc;
    UINT_PTR nTimer;
    CXTPPopupBar* pParent;
    UINT nIDEvent;
  };

 protected:
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg BOOL OnNcActivate(BOOL bActive);
  afx_msg BOOL OnNcCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg LRESULT OnFloatStatus(WPARAM wParam, LPARAM lParam);

  // Scroll arrows and tear-off gripper under the cursor (WM_MOUSEMOVE).
  void TrackScrollArrows(CPoint point);
  void TrackTearOffGripper(CPoint point);
  // Timers 5001 to 5003; FALSE for any other timer.
  BOOL OnScrollTimer(UINT_PTR nIDEvent);
  // The arrows and the gripper over the drawn bar.
  void DrawScrollArrows(CDC* pDC);
  // The drag loop of a press on the gripper; TRUE when it ended with the torn bar shown.
  BOOL TrackTearOff();
  // The cursor came within (bInside) or left the gripper's reach during the drag.
  void SwitchTearOff(BOOL bInside, CPoint ptScreen);
  // Height of the tear-off gripper (0 without tear-off) and of the shown expand row.
  int GetTearOffGripperHeight();
  int GetExpandButtonHeight();
  // Shows the expand row of a short menu (made on demand) or hides it; the height it takes.
  int ShowExpandRow(BOOL bShow);

  CXTPControlPopup* m_pControlPopup;
  CPoint m_ptPopup;
  CRect m_rcExclude;
  DWORD m_popupFlags;
  BOOL m_bDynamicLayout;  // in layout
  BOOL m_bCollapsed;      // has hidden commands
  BOOL m_bExpanded;
  BOOL m_bAnimate;
  BOOL m_bTearOffPopup;
  CRect m_rcTearOffGripper;
  BOOL m_bTearOffSelected;
  UINT_PTR m_nTearOffTimer;
  BOOL m_bTearOffTracking;
  CSize m_szTearOffBar;
  CXTPToolBar* m_pTearOffBar;
  CString m_strTearOffCaption;
  UINT m_nTearOffID;
  int m_nTearOffWidth;
  BOOL m_bShowShadow;
  CRect m_rcBorders;  // 2, 4, 2, 4
  BOOL m_bDoubleGripper;
  BOOL m_bScrolling;
  int m_nScrollFirst;  // first visible
  int m_nScrollEnd;    // end visible
  CScrollInfo m_scrollDown;  // 5001
  CScrollInfo m_scrollUp;    // 5002

  DECLARE_MESSAGE_MAP()
};
