// The dockable, floatable bar of buttons. It is filled from a toolbar resource (raw type
// 241) or control by control, docks in one of the frame's dock bars or floats in a popup
// window of its own with a caption, a close button (9401) and an expand button (9400),
// and its expand button lists the controls that did not fit together with a menu that
// shows or hides each button. The menu bar and the dialog bar derive from it.
#pragma once

#include "XTPCommandBar.h"

class CXTPBarDragContext;
class CXTPDockBar;
class CXTPPopupBar;

// Docking flags of a toolbar (kept in its bar flags).
#define XTP_DOCK_TOP 0x01
#define XTP_DOCK_BOTTOM 0x02
#define XTP_DOCK_LEFT 0x04
#define XTP_DOCK_RIGHT 0x08
#define XTP_DOCK_FLOAT 0x10
#define XTP_DOCK_ANY_SIDE 0x0F
#define XTP_DOCK_ALL 0x1F

// The controls a toolbar makes for itself; never stored, found again by id.
#define XTP_ID_TOOLBAR_EXPAND 9400
#define XTP_ID_TOOLBAR_CLOSE 9401

class CXTPToolBar : public CXTPCommandBar {
  DECLARE_SERIAL(CXTPToolBar)

 public:
  CXTPToolBar();
  // Deletes the dock context, then the base destructor runs.
  ~CXTPToolBar() override;

  // ---- Overrides of the bar base, in slot order ----
  void DelayRedraw() override;
  // Bar id := resource id; buttons from the resource and (bLoadIcons) icons from the
  // bitmap of the same id. FALSE for a missing or short resource (no controls) or icons
  // that could not be loaded (the buttons stay).
  BOOL LoadToolBar(UINT nIDResource, BOOL bLoadIcons = TRUE) override;
  void SetVisible(BOOL bVisible) override;
  BOOL IsVisible() const override;
  // 0..3 docks, 4 floats; FALSE for other values or without command bars.
  BOOL SetPosition(XTPBarPosition barPosition) override;
  BOOL IsCustomizable() const override;
  void OnRecalcLayout() override;
  void DoPropExchange(CXTPPropExchange* pPX) override;
  int OnHookKeyDown(UINT nChar, LPARAM lParam) override;
  // The floating layout.
  CSize CalcLayout(int nLength = 0, DWORD dwMode = 0) override;
  void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;
  CXTPCommandBar* Clone(BOOL bRecursive = FALSE) override;

  // ---- Operations of its own, in slot order ----
  // The docked layout for a row of the length (the row's thickness is nWidth).
  virtual CSize CalcDockingLayout(int nLength, DWORD dwMode, int nWidth = 0);
  // Back to the original controls after the user confirmed (built-in bars only).
  virtual void Reset();
  // Creates the window when it is missing (a hidden-styled popup owned by the parent) and
  // switches its style to floating (popup) or docked (child). FALSE when creation fails.
  virtual BOOL CreateToolBarWindow(CWnd* pParentWnd, BOOL bFloating);

  // The size the dock bar lays the bar out with: docked the docking layout, floating the
  // floating one.
  virtual CSize CalcDynamicLayout(int nLength, DWORD dwMode);

  // Dialog bars answer TRUE: they size freely by any edge or corner (SizeToRect) and keep
  // client sizes of their own.
  virtual BOOL IsDialogBar() const { return FALSE; }
  // Free sizing by the dock context: the new window rectangle and the grabbed edge's hit
  // code. Nothing in a toolbar.
  virtual void SizeToRect(CRect rc, UINT nHitTest) {
    (void)rc;
    (void)nHitTest;
  }

  // Replaces all controls by buttons for the ids (0: the next button begins a group).
  BOOL SetButtons(const UINT* pButtons, int nCount);
  // Creates the dock context when missing and keeps the docking flags (0x01 top, 0x02
  // bottom, 0x04 left, 0x08 right, 0x10 may float) in the bar flags.
  void EnableDocking(DWORD dwFlags);
  CXTPBarDragContext* GetDockContext() const { return m_pDockContext; }
  // The dock bar the bar is docked in, null when floating or not placed.
  CXTPDockBar* GetDockBar() const { return m_pDockBar; }
  void SetDockBar(CXTPDockBar* pDockBar) { m_pDockBar = pDockBar; }
  // Called by the command bars when the frame enters or leaves print preview.
  virtual void OnSetPreviewMode(BOOL bPreview);
  BOOL IsPreviewMode() const { return m_bPreviewMode; }

  BOOL IsBuiltIn() const { return m_bBuiltIn; }
  void SetBuiltIn(BOOL bBuiltIn) { m_bBuiltIn = bBuiltIn; }
  BOOL IsTearOff() const { return m_bTearOff; }
  void SetTearOff(BOOL bTearOff) { m_bTearOff = bTearOff; }
  BOOL IsCloseable() const { return m_bCloseable; }
  void SetCloseable(BOOL bCloseable) { m_bCloseable = bCloseable; }
  BOOL IsContextMenuPresent() const { return m_bContextMenuPresent; }
  void SetContextMenuPresent(BOOL bPresent) { m_bContextMenuPresent = bPresent; }
  BOOL IsExpandButtonAllowed() const { return m_bShowExpandButton; }
  void ShowExpandButton(BOOL bShow) { m_bShowExpandButton = bShow; }
  BOOL IsFloating() const { return m_barPosition == xtpBarFloating; }
  void SetBarStyle(DWORD dwStyle) { m_dwStyle = dwStyle; }
  DWORD GetBarStyle() const { return m_dwStyle; }

  // Fills the add-or-remove list popup of this bar (the command bars ask for it).
  virtual void FillAddOrRemoveList(CXTPCommandBar* pListPopup);
  // The expand button (found or made, then hidden), the close button (found or made).
  CXTPControl* GetExpandButton();
  CXTPControl* GetCloseButton();

  // A torn-off bar hidden by its close button is released once the mouse handling that
  // hid it has returned (the command bars' Remove). TRUE while such a release is pending.
  BOOL IsReleasePending() const { return m_bReleasePending; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
  afx_msg BOOL OnNcCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg BOOL OnNcActivate(BOOL bActive);
  afx_msg LRESULT OnFloatStatus(WPARAM wParam, LPARAM lParam);
  afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  afx_msg LRESULT OnNcHitTest(CPoint point);
  afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnClose();
  afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnReleaseTornOff(WPARAM wParam, LPARAM lParam);

  // Hides the bar for good and lets the command bars release it after the current
  // message (torn-off bars closed by their close button).
  void ScheduleRelease();

  CXTPBarDragContext* m_pDockContext;
  BOOL m_bBuiltIn;           // "BuiltIn"
  BOOL m_bTearOff;           // "TearOff"
  BOOL m_bPreviewVisible;    // visible when print preview started
  BOOL m_bPreviewMode;
  BOOL m_bShowExpandButton;  // TRUE
  BOOL m_bCloseable;         // "Closeable", TRUE
  BOOL m_bContextMenuPresent;  // "ContextMenuPresent", TRUE
  CXTPDockBar* m_pDockBar;
  BOOL m_bReleasePending;

  DECLARE_MESSAGE_MAP()

  friend class CXTPBarDragContext;
  friend class CXTPDockBar;
  friend class CXTPCommandBars;
};
