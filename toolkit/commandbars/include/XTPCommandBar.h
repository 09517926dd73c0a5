// The window base of every bar (menu bar, toolbars, popup bars). It owns the bar's
// CXTPControls and does what all bars share: selection by mouse or keyboard, the tracking
// mode in which the bar owns the keyboard (through the thread's mouse and keyboard
// managers), keyboard navigation, the hover (112223) and expand (112224) timers, delayed
// layout and redraw, click routing to controls, customize drop targets, command-state
// updates, status texts, the site notifications 10325..10338 and accessibility.
#pragma once

#include <framework.h>

#include "XTPAccessible.h"
#include "XTPCommandBarsDefines.h"
#include "XTPHookable.h"

class CXTPCommandBars;
class CXTPCommandBarList;
class CXTPControl;
class CXTPControlPopup;
class CXTPControls;
class CXTPImageManager;
class CXTPPaintManager;
class CXTPPropExchange;
class CXTPToolTipContext;
struct XTP_COMMANDBARS_PROPEXCHANGE_PARAM;

class CXTPCommandBar : public CWnd, public CXTPHookable, public CXTPAccessible {
  DECLARE_SERIAL(CXTPCommandBar)

 public:
  CXTPCommandBar();
  ~CXTPCommandBar() override;

  // ---- Virtual operations after those of CWnd, in slot order ----
  virtual void DelayRedraw();
  virtual BOOL SetTrackingMode(int bMode, BOOL bSelectFirst = TRUE, BOOL bKeyboard = FALSE);
  virtual BOOL SetSelected(int nSelected, BOOL bKeyboard = FALSE);
  virtual BOOL LoadToolBar(UINT nIDResource, BOOL bLoadIcons = TRUE);
  virtual BOOL Popup(CXTPControlPopup* pControlPopup, BOOL bSelectFirst = FALSE);
  virtual void SetVisible(BOOL bVisible);
  virtual BOOL IsVisible() const;
  virtual BOOL SetPosition(XTPBarPosition barPosition);
  virtual BOOL OnCustomizeDragEnter(CXTPControl* pDataObject, CPoint point);
  virtual void OnCustomizeDragLeave();
  virtual DROPEFFECT OnCustomizeDragOver(CXTPControl* pDataObject, CPoint point);
  virtual void OnCustomizeDrop(CXTPControl* pDataObject, DROPEFFECT& dropEffect,
                               CPoint ptDrop, CPoint ptDrag);
  virtual BOOL IsCustomizable() const;
  virtual void OnRecalcLayout();
  virtual void OnControlSelected(BOOL bSelected, CXTPControl* pControl);
  virtual CXTPCommandBar* GetParentCommandBar() const;
  // Whether the paint manager draws the floating gripper for this bar; FALSE in every bar.
  virtual BOOL IsFloatingFrameGripper() const;
  virtual void DoPropExchange(CXTPPropExchange* pPX);
  virtual BOOL IsKeyboardCuesVisible();
  // 2 pass the key on, 1 handled.
  virtual int OnHookKeyDown(UINT nChar, LPARAM lParam);
  virtual CSize CalcLayout(int nLength = 0, DWORD dwMode = 0);
  virtual BOOL ProcessSpecialKey(XTPSpecialKey key);
  virtual void DrawCommandBar(CDC* pDC, CRect rcClipBox);
  virtual void DelayLayout();
  virtual void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE);
  // -2 ignore this bar, 1 inside; anything else: inside only when the window under the
  // point is a child of the bar's window.
  virtual int HitTestBar(CPoint point);
  virtual void GenerateCommandBarList(DWORD& nID, CXTPCommandBarList* pCommandBarList,
                                      XTP_COMMANDBARS_PROPEXCHANGE_PARAM* pParam);
  virtual void RestoreCommandBarList(CXTPCommandBarList* pCommandBarList);
  virtual void OnIdleUpdateCmdUI(BOOL bDisableIfNoHndler);
  virtual CXTPCommandBar* Clone(BOOL bRecursive = FALSE);

  // ---- The hookable part: WM_KEYDOWN to OnHookKeyDown, WM_MOUSEWHEEL handled ----
  int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam,
                    LRESULT& lResult) override;

  // ---- Operations ----
  void SetPopuped(int nPopuped, BOOL bKeyboard = FALSE);
  // Leaves tracking (SetTrackingMode(FALSE, TRUE, FALSE)).
  void CancelTracking();
  // Selects nothing.
  void DeselectControl() { SetSelected(-1); }
  BOOL IsTrackingMode() const { return m_bTracking != xtpTrackingNone; }
  int GetTrackingMode() const { return m_bTracking; }
  BOOL IsTrackingByMouse() const { return m_bTrackByMouse; }
  void SetTrackingByMouse(BOOL bByMouse) { m_bTrackByMouse = bByMouse; }
  int GetSelectedIndex() const { return m_nSelected; }
  CXTPControl* GetSelected() const;
  int GetPopupedIndex() const { return m_nPopuped; }
  CXTPControls* GetControls() const { return m_pControls; }
  int GetControlCount() const;
  CXTPControl* GetControl(int nIndex) const;
  XTPBarType GetType() const { return m_barType; }
  XTPBarPosition GetPosition() const { return m_barPosition; }
  UINT GetBarID() const { return m_nBarID; }
  void SetBarID(UINT nID) { m_nBarID = nID; }
  DWORD GetFlags() const { return m_dwFlags; }
  void SetFlags(DWORD dwAdd, DWORD dwRemove = 0) { m_dwFlags = (m_dwFlags | dwAdd) & ~dwRemove; }
  CString GetTitle() const { return m_strTitle; }
  void SetTitle(LPCTSTR lpszTitle);
  int GetLockCount() const { return m_nLockRecurse; }
  void LockRecurse(BOOL bLock) { m_nLockRecurse += bLock ? 1 : -1; }
  // The bar's icon size: its own, else the options' ("IconsSize", "LargeIconsSize",
  // "PopupIconsSize"), else 16 x 16.
  CSize GetIconSize() const;
  void SetIconSize(CSize szIcon) { m_szIcons = szIcon; }
  // The bar's own button size when set, else the icon size + 7 both ways.
  CSize GetButtonSize() const;
  void SetButtonSize(CSize szButton) { m_szButtons = szButton; }
  // 0 off, 1 on, 2 follow the option "ShowTextBelowIcons"; marks the layout dirty.
  void SetShowTextBelowIcons(int nMode);
  void SetMRUWidth(int nWidth) { m_nMRUWidth = nWidth; }
  int GetMRUWidth() const { return m_nMRUWidth; }
  // Whether text shows below icons: the stored mode, 2 taking the option (FALSE without
  // command bars).
  BOOL GetShowTextBelowIcons() const;
  // Tooltip hit test of a client point: the control's id with the record filled, or -1.
  INT_PTR OnToolHitTest(CPoint point, TTTOOLINFOW* pTI) const override;
  void ShowTextBelowIcons(int nMode) { m_nTextBelowIcons = nMode; }
  BOOL IsTextBelowIcons() const;
  void SetCustomizable(BOOL bCustomizable) { m_bCustomizable = bCustomizable; }
  void SetCommandBars(CXTPCommandBars* pCommandBars) { m_pCommandBars = pCommandBars; }
  void SetOwner(CWnd* pWnd) { m_pOwner = pWnd; }
  CWnd* GetOwnerSite() const { return m_pOwner; }
  void SetCommandTarget(CWnd* pTarget) { m_pCommandTarget = pTarget; }
  // The command bars' site, else the root bar's owner, else the window owner or parent,
  // else the thread's main window.
  CWnd* GetSite() const;
  CXTPCommandBars* GetCommandBars() const;
  CXTPCommandBar* GetRootParent() const;
  CWnd* GetCommandTarget() const;
  BOOL IsCustomizeMode() const;
  CXTPPaintManager* GetPaintManager() const;
  CXTPImageManager* GetImageManager() const;
  // Releases the old paint manager and refreshes the new one (the bar takes the caller's
  // reference).
  void SetPaintManager(CXTPPaintManager* pPaintManager);
  void SetImageManager(CXTPImageManager* pImageManager);
  CXTPToolTipContext* GetToolTipContext() const { return m_pToolTipContext; }
  BOOL IsRTL() const;
  BOOL IsVerticalPosition() const {
    return m_barPosition == xtpBarLeft || m_barPosition == xtpBarRight;
  }
  // The window that had the focus before the bar started tracking (its caret is hidden
  // while the bar tracks); edits inside the bar give the focus back to it.
  HWND GetSavedFocusWindow() const { return m_hwndFocus; }
  void SetSavedFocusWindow(HWND hWnd) { m_hwndFocus = hWnd; }
  // TPM_RETURNCMD: where the chosen command id goes.
  void SetReturnCmd(int* pReturnCmd) { m_pReturnCmd = pReturnCmd; }
  int* GetReturnCmd() const { return m_pReturnCmd; }
  void SetTrackFlags(BOOL bRightButton, BOOL bNoNotify, BOOL bRecurse) {
    m_bExecOnRButton = bRightButton;
    m_bIgnoreUpdateHandler = bNoNotify;
    m_bRecursePopup = bRecurse;
  }
  BOOL IsRecursePopup() const { return m_bRecursePopup; }
  BOOL IsNoNotify() const { return m_bIgnoreUpdateHandler; }
  BOOL IsRightButtonTracking() const { return m_bExecOnRButton; }
  // Status-bar text of a selected control (10326, WM_SETMESSAGESTRING/WM_POPMESSAGESTRING).
  void UpdateStatusText(BOOL bSelected, CXTPControl* pControl);
  // Redraw lock: the redraw happens when the count returns to 0.
  void LockRedraw() { m_nLockRedraw++; }
  void UnlockRedraw();

  // ---- Accessibility (child ids: control index + 1) ----
  CCmdTarget* GetAccessibleTarget() override { return this; }
  HRESULT get_accParent(IDispatch** ppdispParent) override;
  HRESULT get_accChildCount(long* pcountChildren) override;
  HRESULT get_accChild(VARIANT varChild, IDispatch** ppdispChild) override;
  HRESULT get_accName(VARIANT varChild, BSTR* pszName) override;
  HRESULT get_accRole(VARIANT varChild, VARIANT* pvarRole) override;
  HRESULT get_accState(VARIANT varChild, VARIANT* pvarState) override;
  HRESULT accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                      VARIANT varChild) override;
  HRESULT accHitTest(long xLeft, long yTop, VARIANT* pvarChild) override;

  // ---- Customize drop targets ----
  // Where a dropped control would go (index) and the mark that shows it (empty when the
  // nearest control is the dragged one: *pOnItself, with *pPastCentre for its side).
  int FindInsertionPoint(CXTPControl* pDataObject, CPoint point, CRect& rcMarker,
                         BOOL& bVerticalMarker, BOOL* pOnItself, BOOL* pPastCentre) const;
  CRect GetDropMarker() const { return m_rcMarker; }
  BOOL IsDropMarkerVertical() const { return m_bVerticalMarker; }
  // Bars down the left or right edge and popups compare vertical centres.
  BOOL ComparesVertically() const;

  // Window messages the mouse manager forwards while the bar tracks.
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnDestroy();
  afx_msg LRESULT OnMouseLeaveMessage(WPARAM wParam, LPARAM lParam);
  afx_msg void OnNcMouseMove(UINT nHitTest, CPoint point);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnPaint();
  afx_msg LRESULT OnPrint(WPARAM wParam, LPARAM lParam);
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg LRESULT OnNcHitTest(CPoint point);
  afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
  afx_msg LRESULT OnHelpHitTest(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnIdleUpdateCmdUIMessage(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnInitialUpdate(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The control whose caption key matches the key, searched after the selected one;
  // bAmbiguous when another control has the same key. -1 when none.
  int FindMnemonic(UINT nChar, BOOL& bAmbiguous) const;
  void SetDropMarker(const CRect& rcMarker, BOOL bVertical);
  // In customize mode: the drag control's double frame and the drop marker.
  void DrawCustomizeMarks(CDC* pDC);
  // Hides or shows controls by the active document template (hide flag 0x40).
  void UpdateDocTemplateControls();
  void LeaveDropSource();
  // The child a VARIANT names: 0 the bar, 1..count a control, -1 invalid.
  long AccessibleChild(VARIANT* pvarChild) const;

  BOOL m_bHideCaret;
  int m_nMRUWidth;     // 0x7FFF
  int m_nSelected;     // -1
  int m_nPopuped;      // -1
  HWND m_hwndFocus;    // the window whose caret was hidden
  UINT m_nBarID;
  BOOL m_bVisible;
  int m_bTracking;     // XTPTrackingMode
  CWnd* m_pOwner;
  DWORD m_nStateFlags;  // bit 0 layout dirty, bit 1 redraw pending
  DWORD m_dwFlags;
  DWORD m_dwStyle;
  CString m_strTitle;
  XTPBarType m_barType;
  CXTPControls* m_pControls;
  XTPBarPosition m_barPosition;
  CXTPCommandBars* m_pCommandBars;
  CWnd* m_pCommandTarget;
  CSize m_szIcons;
  BOOL m_bExecOnRButton;        // opened with TPM_RIGHTBUTTON
  BOOL m_bIgnoreUpdateHandler;  // opened with TPM_NONOTIFY
  BOOL m_bRecursePopup;         // opened with TPM_RECURSE
  int m_nLockRecurse;           // lock count
  BOOL m_bKeyboardSelect;
  BOOL m_bCustomizable;
  CRect m_rcMarker;
  BOOL m_bVerticalMarker;
  int* m_pReturnCmd;
  BOOL m_bTrackByMouse;
  int m_nLockRedraw;
  CXTPPaintManager* m_pPaintManager;
  CXTPImageManager* m_pImageManager;
  CXTPToolTipContext* m_pToolTipContext;
  int m_nStatusBarId;  // last status id, -1
  int m_nTextBelowIcons;  // 0 off, 1 on, 2 follow the option
  CSize m_szButtons{0, 0};  // own button size, 0,0 = icon size + 7

  enum { stateLayoutDirty = 1, stateRedrawPending = 2 };

  DECLARE_MESSAGE_MAP()
  DECLARE_INTERFACE_MAP()

  friend class CXTPCommandBars;
  friend class CXTPControls;
  friend class CXTPControl;
  friend class CXTPMouseManager;
};
