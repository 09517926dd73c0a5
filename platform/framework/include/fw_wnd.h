// Windows: CWnd, the C++ object of a Win32 window, and CMenu.
//
// Writing a window class:
//
//   class CMyWnd : public CWnd {
//    protected:
//     afx_msg int OnCreate(LPCREATESTRUCT lpcs);
//     afx_msg void OnPaint();
//     afx_msg void OnSave();
//     DECLARE_MESSAGE_MAP()
//   };
//   BEGIN_MESSAGE_MAP(CMyWnd, CWnd)
//     ON_WM_CREATE()
//     ON_WM_PAINT()
//     ON_COMMAND(ID_FILE_SAVE, &CMyWnd::OnSave)   // or just OnSave
//   END_MESSAGE_MAP()
//
// Every window the framework creates (Create/CreateEx, dialogs) or subclasses runs through
// AfxWndProc: WindowProc -> OnWndMsg -> message map -> DefWindowProc. A handler's base
// version (CWnd::OnPaint() ...) passes the current message on to the default procedure.
//
// Handle maps. A CWnd attached to a window is in a process-wide "permanent" map, so any
// thread finds it with FromHandlePermanent / FromHandle. FromHandle on a window nobody
// wraps returns a temporary CWnd of the calling thread, deleted at that thread's next idle
// pass (AfxDeleteTempMap) or when the thread ends: never keep such a pointer.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "fw_cmdtarget.h"
#include "fw_string.h"
#include "fw_types.h"

// windowsx.h and winuser.h define these as function-like macros; here they are members.
#undef SubclassWindow
#undef GetNextWindow

class CDC;
class CFont;
class CScrollBar;
class CFrameWnd;
class CCreateContext;

// CWnd::m_nFlags bits.
#define WF_TOOLTIPS 0x0001
#define WF_TEMPHIDE 0x0002
#define WF_STAYDISABLED 0x0004
#define WF_MODALLOOP 0x0008
#define WF_CONTINUEMODAL 0x0010
#define WF_OLECTLCONTAINER 0x0100
#define WF_TRACKINGTOOLTIPS 0x0400
#define WF_STAYACTIVE 0x0020
#define WF_NOPOPMSG 0x0040
#define WF_MODALDISABLE 0x0080
#define WF_KEEPMINIACTIVE 0x0200

// RunModalLoop flags.
#define MLF_NOIDLEMSG 0x0001
#define MLF_NOKICKIDLE 0x0002
#define MLF_SHOWONIDLE 0x0004

// SendMessageToDescendants / RepositionBars constants used by later layers.
#define AFX_IDW_PANE_FIRST 0xE900
#define AFX_IDW_PANE_LAST 0xE9FF
#define AFX_IDW_STATUS_BAR 0xE801
#define AFX_IDW_TOOLBAR 0xE800

// ---------------------------------------------------------------------------------------
// Window-message entries. Handlers have the framework's classic parameter lists.

#define FW_WM(msg, sig, type, fn) \
  {msg, 0, 0, 0, sig, (AFX_PMSG)(AFX_PMSGW)(static_cast<type>(&ThisClass::fn))},

#define ON_WM_CREATE() FW_WM(WM_CREATE, AfxSig_i_cs, int (CWnd::*)(LPCREATESTRUCT), OnCreate)
#define ON_WM_NCCREATE() FW_WM(WM_NCCREATE, AfxSig_b_cs, BOOL (CWnd::*)(LPCREATESTRUCT), OnNcCreate)
#define ON_WM_DESTROY() FW_WM(WM_DESTROY, AfxSig_v_v, void (CWnd::*)(), OnDestroy)
#define ON_WM_NCDESTROY() FW_WM(WM_NCDESTROY, AfxSig_v_v, void (CWnd::*)(), OnNcDestroy)
#define ON_WM_PAINT() FW_WM(WM_PAINT, AfxSig_v_v, void (CWnd::*)(), OnPaint)
#define ON_WM_NCPAINT() FW_WM(WM_NCPAINT, AfxSig_v_v, void (CWnd::*)(), OnNcPaint)
#define ON_WM_ERASEBKGND() FW_WM(WM_ERASEBKGND, AfxSig_b_D, BOOL (CWnd::*)(CDC*), OnEraseBkgnd)
#define ON_WM_SIZE() FW_WM(WM_SIZE, AfxSig_v_u_ii, void (CWnd::*)(UINT, int, int), OnSize)
#define ON_WM_MOVE() FW_WM(WM_MOVE, AfxSig_v_ii, void (CWnd::*)(int, int), OnMove)
#define ON_WM_TIMER() FW_WM(WM_TIMER, AfxSig_v_up, void (CWnd::*)(UINT_PTR), OnTimer)
#define ON_WM_LBUTTONDOWN() FW_WM(WM_LBUTTONDOWN, AfxSig_v_u_p, void (CWnd::*)(UINT, CPoint), OnLButtonDown)
#define ON_WM_LBUTTONUP() FW_WM(WM_LBUTTONUP, AfxSig_v_u_p, void (CWnd::*)(UINT, CPoint), OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() FW_WM(WM_LBUTTONDBLCLK, AfxSig_v_u_p, void (CWnd::*)(UINT, CPoint), OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() FW_WM(WM_RBUTTONDOWN, AfxSig_v_u_p, void (CWnd::*)(UINT, CPoint), OnRButtonDown)
#define ON_WM_RBUTTONUP() FW_WM(WM_RBUTTONUP, AfxSig_v_u_p, void (CWnd::*)(UINT, CPoint), OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() FW_WM(WM_RBUTTONDBLCLK, AfxSig_v_u_p, void (CWnd::*)(UINT, CPoint), OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() FW_WM(WM_MBUTTONDOWN, AfxSig_v_u_p, void (CWnd::*)(UINT, CPoint), OnMButtonDown)
#define ON_WM_MBUTTONUP() FW_WM(WM_MBUTTONUP, AfxSig_v_u_p, void (CWnd::*)(UINT, CPoint), OnMButtonUp)
#define ON_WM_MBUTTONDBLCLK() FW_WM(WM_MBUTTONDBLCLK, AfxSig_v_u_p, void (CWnd::*)(UINT, CPoint), OnMButtonDblClk)
#define ON_WM_MOUSEMOVE() FW_WM(WM_MOUSEMOVE, AfxSig_v_u_p, void (CWnd::*)(UINT, CPoint), OnMouseMove)
#define ON_WM_MOUSELEAVE() FW_WM(WM_MOUSELEAVE, AfxSig_v_v, void (CWnd::*)(), OnMouseLeave)
#define ON_WM_MOUSEWHEEL() FW_WM(WM_MOUSEWHEEL, AfxSig_b_u_s_p, BOOL (CWnd::*)(UINT, short, CPoint), OnMouseWheel)
#define ON_WM_NCMOUSEMOVE() FW_WM(WM_NCMOUSEMOVE, AfxSig_v_u_p, void (CWnd::*)(UINT, CPoint), OnNcMouseMove)
#define ON_WM_NCLBUTTONDOWN() FW_WM(WM_NCLBUTTONDOWN, AfxSig_v_u_p, void (CWnd::*)(UINT, CPoint), OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() FW_WM(WM_NCLBUTTONUP, AfxSig_v_u_p, void (CWnd::*)(UINT, CPoint), OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() FW_WM(WM_NCLBUTTONDBLCLK, AfxSig_v_u_p, void (CWnd::*)(UINT, CPoint), OnNcLButtonDblClk)
#define ON_WM_NCRBUTTONDOWN() FW_WM(WM_NCRBUTTONDOWN, AfxSig_v_u_p, void (CWnd::*)(UINT, CPoint), OnNcRButtonDown)
#define ON_WM_NCMBUTTONDOWN() FW_WM(WM_NCMBUTTONDOWN, AfxSig_v_u_p, void (CWnd::*)(UINT, CPoint), OnNcMButtonDown)
#define ON_WM_KEYDOWN() FW_WM(WM_KEYDOWN, AfxSig_v_u_u_u, void (CWnd::*)(UINT, UINT, UINT), OnKeyDown)
#define ON_WM_KEYUP() FW_WM(WM_KEYUP, AfxSig_v_u_u_u, void (CWnd::*)(UINT, UINT, UINT), OnKeyUp)
#define ON_WM_CHAR() FW_WM(WM_CHAR, AfxSig_v_u_u_u, void (CWnd::*)(UINT, UINT, UINT), OnChar)
#define ON_WM_SYSKEYDOWN() FW_WM(WM_SYSKEYDOWN, AfxSig_v_u_u_u, void (CWnd::*)(UINT, UINT, UINT), OnSysKeyDown)
#define ON_WM_SYSKEYUP() FW_WM(WM_SYSKEYUP, AfxSig_v_u_u_u, void (CWnd::*)(UINT, UINT, UINT), OnSysKeyUp)
#define ON_WM_SYSCHAR() FW_WM(WM_SYSCHAR, AfxSig_v_u_u_u, void (CWnd::*)(UINT, UINT, UINT), OnSysChar)
#define ON_WM_SYSCOMMAND() FW_WM(WM_SYSCOMMAND, AfxSig_v_u_l, void (CWnd::*)(UINT, LPARAM), OnSysCommand)
#define ON_WM_SETFOCUS() FW_WM(WM_SETFOCUS, AfxSig_v_W, void (CWnd::*)(CWnd*), OnSetFocus)
#define ON_WM_KILLFOCUS() FW_WM(WM_KILLFOCUS, AfxSig_v_W, void (CWnd::*)(CWnd*), OnKillFocus)
#define ON_WM_CAPTURECHANGED() FW_WM(WM_CAPTURECHANGED, AfxSig_v_W, void (CWnd::*)(CWnd*), OnCaptureChanged)
#define ON_WM_HSCROLL() FW_WM(WM_HSCROLL, AfxSig_v_u_u_W, void (CWnd::*)(UINT, UINT, CScrollBar*), OnHScroll)
#define ON_WM_VSCROLL() FW_WM(WM_VSCROLL, AfxSig_v_u_u_W, void (CWnd::*)(UINT, UINT, CScrollBar*), OnVScroll)
#define ON_WM_SETCURSOR() FW_WM(WM_SETCURSOR, AfxSig_b_W_u_u, BOOL (CWnd::*)(CWnd*, UINT, UINT), OnSetCursor)
#define ON_WM_MOUSEACTIVATE() FW_WM(WM_MOUSEACTIVATE, AfxSig_i_W_u_u, int (CWnd::*)(CWnd*, UINT, UINT), OnMouseActivate)
#define ON_WM_GETDLGCODE() FW_WM(WM_GETDLGCODE, AfxSig_u_v, UINT (CWnd::*)(), OnGetDlgCode)
#define ON_WM_CTLCOLOR() FW_WM(WM_CTLCOLOR, AfxSig_hb_D_W_u, HBRUSH (CWnd::*)(CDC*, CWnd*, UINT), OnCtlColor)
#define ON_WM_DRAWITEM() FW_WM(WM_DRAWITEM, AfxSig_v_i_dis, void (CWnd::*)(int, LPDRAWITEMSTRUCT), OnDrawItem)
#define ON_WM_MEASUREITEM() FW_WM(WM_MEASUREITEM, AfxSig_v_i_mis, void (CWnd::*)(int, LPMEASUREITEMSTRUCT), OnMeasureItem)
#define ON_WM_QUERYDRAGICON() FW_WM(WM_QUERYDRAGICON, AfxSig_h_v, HCURSOR (CWnd::*)(), OnQueryDragIcon)
#define ON_WM_CLOSE() FW_WM(WM_CLOSE, AfxSig_v_v, void (CWnd::*)(), OnClose)
#define ON_WM_SHOWWINDOW() FW_WM(WM_SHOWWINDOW, AfxSig_v_b_u, void (CWnd::*)(BOOL, UINT), OnShowWindow)
#define ON_WM_ACTIVATE() FW_WM(WM_ACTIVATE, AfxSig_v_u_W_b, void (CWnd::*)(UINT, CWnd*, BOOL), OnActivate)
#define ON_WM_ACTIVATEAPP() FW_WM(WM_ACTIVATEAPP, AfxSig_v_b_dw, void (CWnd::*)(BOOL, DWORD), OnActivateApp)
#define ON_WM_NCACTIVATE() FW_WM(WM_NCACTIVATE, AfxSig_b_b, BOOL (CWnd::*)(BOOL), OnNcActivate)
#define ON_WM_NCHITTEST() FW_WM(WM_NCHITTEST, AfxSig_l_p, LRESULT (CWnd::*)(CPoint), OnNcHitTest)
#define ON_WM_NCCALCSIZE() FW_WM(WM_NCCALCSIZE, AfxSig_v_b_ncsp, void (CWnd::*)(BOOL, NCCALCSIZE_PARAMS*), OnNcCalcSize)
#define ON_WM_SYSCOLORCHANGE() FW_WM(WM_SYSCOLORCHANGE, AfxSig_v_v, void (CWnd::*)(), OnSysColorChange)
#define ON_WM_SETTINGCHANGE() FW_WM(WM_SETTINGCHANGE, AfxSig_v_u_sz, void (CWnd::*)(UINT, LPCTSTR), OnSettingChange)
#define ON_WM_CONTEXTMENU() FW_WM(WM_CONTEXTMENU, AfxSig_v_W_p, void (CWnd::*)(CWnd*, CPoint), OnContextMenu)
#define ON_WM_GETMINMAXINFO() FW_WM(WM_GETMINMAXINFO, AfxSig_v_mmi, void (CWnd::*)(MINMAXINFO*), OnGetMinMaxInfo)
#define ON_WM_WINDOWPOSCHANGED() FW_WM(WM_WINDOWPOSCHANGED, AfxSig_v_wp, void (CWnd::*)(WINDOWPOS*), OnWindowPosChanged)
#define ON_WM_WINDOWPOSCHANGING() FW_WM(WM_WINDOWPOSCHANGING, AfxSig_v_wp, void (CWnd::*)(WINDOWPOS*), OnWindowPosChanging)
#define ON_WM_CANCELMODE() FW_WM(WM_CANCELMODE, AfxSig_v_v, void (CWnd::*)(), OnCancelMode)
#define ON_WM_ENABLE() FW_WM(WM_ENABLE, AfxSig_v_b, void (CWnd::*)(BOOL), OnEnable)
#define ON_WM_HELPINFO() FW_WM(WM_HELP, AfxSig_b_hi, BOOL (CWnd::*)(HELPINFO*), OnHelpInfo)
#define ON_WM_DROPFILES() FW_WM(WM_DROPFILES, AfxSig_v_hdrop, void (CWnd::*)(HDROP), OnDropFiles)
#define ON_WM_PARENTNOTIFY() FW_WM(WM_PARENTNOTIFY, AfxSig_v_u_l, void (CWnd::*)(UINT, LPARAM), OnParentNotify)
#define ON_WM_INITMENUPOPUP() FW_WM(WM_INITMENUPOPUP, AfxSig_v_M_u_b, void (CWnd::*)(CMenu*, UINT, BOOL), OnInitMenuPopup)
#define ON_WM_MENUSELECT() FW_WM(WM_MENUSELECT, AfxSig_v_u_u_M, void (CWnd::*)(UINT, UINT, HMENU), OnMenuSelect)
#define ON_WM_MENUCHAR() FW_WM(WM_MENUCHAR, AfxSig_l_u_u_M, LRESULT (CWnd::*)(UINT, UINT, CMenu*), OnMenuChar)
#define ON_WM_ENTERIDLE() FW_WM(WM_ENTERIDLE, AfxSig_v_u_W, void (CWnd::*)(UINT, CWnd*), OnEnterIdle)
#define ON_WM_VKEYTOITEM() FW_WM(WM_VKEYTOITEM, AfxSig_i_u_W_u, int (CWnd::*)(UINT, CListBox*, UINT), OnVKeyToItem)

// Reflected forms, handled by the control that sent the message.
#define ON_WM_CTLCOLOR_REFLECT() \
  FW_WM(WM_REFLECT_BASE + WM_CTLCOLOR, AfxSig_hb_D_u, HBRUSH (CWnd::*)(CDC*, UINT), CtlColor)
#define ON_WM_DRAWITEM_REFLECT() \
  FW_WM(WM_REFLECT_BASE + WM_DRAWITEM, AfxSig_v_dis, void (CWnd::*)(LPDRAWITEMSTRUCT), DrawItem)
#define ON_WM_MEASUREITEM_REFLECT() \
  FW_WM(WM_REFLECT_BASE + WM_MEASUREITEM, AfxSig_v_mis, void (CWnd::*)(LPMEASUREITEMSTRUCT), MeasureItem)
#define ON_WM_HSCROLL_REFLECT() \
  FW_WM(WM_REFLECT_BASE + WM_HSCROLL, AfxSig_v_u_u, void (CWnd::*)(UINT, UINT), HScroll)
#define ON_WM_VSCROLL_REFLECT() \
  FW_WM(WM_REFLECT_BASE + WM_VSCROLL, AfxSig_v_u_u, void (CWnd::*)(UINT, UINT), VScroll)

class CListBox;

// ---------------------------------------------------------------------------------------
class CMenu : public CObject {
  DECLARE_DYNCREATE(CMenu)

 public:
  CMenu() : m_hMenu(NULL) {}
  ~CMenu() override;  // destroys an attached menu

  HMENU m_hMenu;

  HMENU GetSafeHmenu() const { return AfxIsNullObject(this) ? NULL : m_hMenu; }
  operator HMENU() const { return GetSafeHmenu(); }
  // The wrapper of an HMENU: an attached CMenu, else a temporary of this thread.
  static CMenu* PASCAL FromHandle(HMENU hMenu);
  static CMenu* PASCAL FromHandlePermanent(HMENU hMenu);
  static void PASCAL DeleteTempMap();

  BOOL Attach(HMENU hMenu);
  HMENU Detach();

  BOOL CreateMenu();
  BOOL CreatePopupMenu();
  BOOL LoadMenu(LPCTSTR lpszResourceName);
  BOOL LoadMenu(UINT nIDResource);
  BOOL LoadMenuIndirect(const void* lpMenuTemplate);
  BOOL DestroyMenu();

  BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = NULL);
  BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = NULL);
  BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = NULL);
  BOOL RemoveMenu(UINT nPosition, UINT nFlags);
  BOOL DeleteMenu(UINT nPosition, UINT nFlags);
  UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck);
  UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable);
  BOOL CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags);
  BOOL SetDefaultItem(UINT uItem, BOOL fByPos = FALSE);
  int GetMenuItemCount() const;
  UINT GetMenuItemID(int nPos) const;
  UINT GetMenuState(UINT nID, UINT nFlags) const;
  int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
  int GetMenuString(UINT nIDItem, LPTSTR lpString, int nMaxCount, UINT nFlags) const;
  BOOL GetMenuItemInfo(UINT uItem, LPMENUITEMINFO lpMenuItemInfo, BOOL fByPos = FALSE);
  BOOL SetMenuItemInfo(UINT uItem, LPMENUITEMINFO lpMenuItemInfo, BOOL fByPos = FALSE);
  CMenu* GetSubMenu(int nPos) const;
  BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = NULL);
};

// ---------------------------------------------------------------------------------------
class CWnd : public CCmdTarget {
  DECLARE_DYNCREATE(CWnd)

 public:
  CWnd();
  explicit CWnd(HWND hWnd);  // a temporary wrapper, not in the permanent map
  ~CWnd() override;          // destroys the window when this object still owns it

  HWND m_hWnd;
  operator HWND() const { return GetSafeHwnd(); }
  HWND GetSafeHwnd() const;
  bool operator==(const CWnd& wnd) const { return m_hWnd == wnd.m_hWnd; }
  bool operator!=(const CWnd& wnd) const { return m_hWnd != wnd.m_hWnd; }

  // Placeholders for SetWindowPos's hWndInsertAfter.
  static const CWnd wndTop;
  static const CWnd wndBottom;
  static const CWnd wndTopMost;
  static const CWnd wndNoTopMost;

  // Handle maps.
  static CWnd* PASCAL FromHandle(HWND hWnd);
  static CWnd* PASCAL FromHandlePermanent(HWND hWnd);
  static void PASCAL DeleteTempMap();
  BOOL Attach(HWND hWndNew);
  HWND Detach();
  BOOL SubclassWindow(HWND hWnd);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
  HWND UnsubclassWindow();

  // Creation.
  virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                      const RECT& rect, CWnd* pParentWnd, UINT nID,
                      CCreateContext* pContext = NULL);
  virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                        DWORD dwStyle, int x, int y, int nWidth, int nHeight,
                        HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = NULL);
  virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                        DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                        LPVOID lpParam = NULL);
  // An ActiveX control as a child window (fw_olevent.h): the control is created by CLSID
  // (or by a ProgID or "{CLSID}" text), activated in place in a host window that carries
  // nID and dwStyle, and this object takes the host window. Its events go to the event
  // sink map of pParentWnd. FALSE when the control cannot be created; GetLastError then
  // holds nothing useful, the status is in *phr when given.
  BOOL CreateControl(REFCLSID clsid, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                     CWnd* pParentWnd, UINT nID, HRESULT* phr = NULL);
  BOOL CreateControl(LPCTSTR lpszClass, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                     CWnd* pParentWnd, UINT nID, HRESULT* phr = NULL);
  // The hosted control's IUnknown (no reference added); NULL when this is no control host.
  LPUNKNOWN GetControlUnknown();
  virtual BOOL DestroyWindow();
  virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
  virtual void PreSubclassWindow();
  virtual void CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType = 0);

  // Message handling.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  BOOL SendNotifyMessage(UINT message, WPARAM wParam, LPARAM lParam) const;
  void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                                BOOL bDeep = TRUE, BOOL bOnlyPerm = FALSE);
  static void PASCAL SendMessageToDescendants(HWND hWnd, UINT message, WPARAM wParam,
                                              LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm);
  // The message being handled on this thread.
  static const MSG* PASCAL GetCurrentMessage();
  // Passes the current message to the default procedure.
  LRESULT Default();
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Offers pMsg to every window from pMsg->hwnd up to hWndStop.
  static BOOL PASCAL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
  virtual void PostNcDestroy();
  // A parent asks its child control to handle a message it sent (reflection).
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  static BOOL PASCAL ReflectLastMsg(HWND hWndChild, LRESULT* pResult = NULL);
  BOOL SendChildNotifyLastMsg(LRESULT* pResult = NULL);
  virtual BOOL IsFrameWnd() const;
  virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);
  // Updates the command-UI state of the child controls from pTarget's handlers.
  void UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
  // Modal loops (dialogs and tracking windows).
  int RunModalLoop(DWORD dwFlags = 0);
  virtual BOOL ContinueModal();
  virtual void EndModalLoop(int nResult);

  // Identity and relations.
  int GetDlgCtrlID() const;
  int SetDlgCtrlID(int nID);
  CWnd* GetDlgItem(int nID) const;
  void GetDlgItem(int nID, HWND* phWnd) const;
  UINT GetDlgItemInt(int nID, BOOL* lpTrans = NULL, BOOL bSigned = TRUE) const;
  void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE);
  int GetDlgItemText(int nID, CString& rString) const;
  void SetDlgItemText(int nID, LPCTSTR lpszString);
  void CheckDlgButton(int nIDButton, UINT nCheck);
  UINT IsDlgButtonChecked(int nIDButton) const;
  void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
  LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  CWnd* GetParent() const;
  CWnd* SetParent(CWnd* pWndNewParent);
  CWnd* GetOwner() const;
  void SetOwner(CWnd* pOwnerWnd);
  CWnd* GetParentOwner() const;
  CWnd* GetTopLevelParent() const;
  CWnd* GetTopLevelOwner() const;
  CFrameWnd* GetParentFrame() const;
  CFrameWnd* GetTopLevelFrame() const;
  CWnd* GetWindow(UINT nCmd) const;
  CWnd* GetTopWindow() const;
  CWnd* GetNextWindow(UINT nFlag = GW_HWNDNEXT) const;
  CWnd* GetLastActivePopup() const;
  CWnd* ChildWindowFromPoint(POINT point) const;
  BOOL IsChild(const CWnd* pWnd) const;
  static CWnd* PASCAL GetDesktopWindow();
  static CWnd* PASCAL GetActiveWindow();
  CWnd* SetActiveWindow();
  static CWnd* PASCAL GetForegroundWindow();
  BOOL SetForegroundWindow();
  static CWnd* PASCAL WindowFromPoint(POINT point);
  static CWnd* PASCAL FindWindow(LPCTSTR lpszClassName, LPCTSTR lpszWindowName);

  // Styles.
  DWORD GetStyle() const;
  DWORD GetExStyle() const;
  BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  static BOOL PASCAL ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);
  static BOOL PASCAL ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags);

  // Text and font.
  void SetWindowText(LPCTSTR lpszString);
  int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
  void GetWindowText(CString& rString) const;
  int GetWindowTextLength() const;
  void SetFont(CFont* pFont, BOOL bRedraw = TRUE);
  CFont* GetFont() const;

  // Geometry.
  void GetClientRect(LPRECT lpRect) const;
  void GetWindowRect(LPRECT lpRect) const;
  void ClientToScreen(LPPOINT lpPoint) const;
  void ClientToScreen(LPRECT lpRect) const;
  void ScreenToClient(LPPOINT lpPoint) const;
  void ScreenToClient(LPRECT lpRect) const;
  void MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const;
  void MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const;
  void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
  void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
  BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
  BOOL GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const;
  BOOL SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl);
  void CenterWindow(CWnd* pAlternateOwner = NULL);
  void BringWindowToTop();
  int SetWindowRgn(HRGN hRgn, BOOL bRedraw);

  // State.
  BOOL ShowWindow(int nCmdShow);
  BOOL IsWindowVisible() const;
  BOOL IsWindowEnabled() const;
  BOOL EnableWindow(BOOL bEnable = TRUE);
  BOOL IsIconic() const;
  BOOL IsZoomed() const;
  BOOL IsWindow() const { return m_hWnd != NULL && ::IsWindow(m_hWnd); }

  // Painting.
  void Invalidate(BOOL bErase = TRUE);
  void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
  void InvalidateRgn(HRGN hRgn, BOOL bErase = TRUE);
  void ValidateRect(LPCRECT lpRect);
  void UpdateWindow();
  BOOL RedrawWindow(LPCRECT lpRectUpdate = NULL, HRGN hrgnUpdate = NULL,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
  BOOL GetUpdateRect(LPRECT lpRect, BOOL bErase = FALSE);
  CDC* GetDC();
  CDC* GetWindowDC();
  CDC* GetDCEx(HRGN hrgnClip, DWORD flags);
  int ReleaseDC(CDC* pDC);
  void ScrollWindow(int xAmount, int yAmount, LPCRECT lpRect = NULL, LPCRECT lpClipRect = NULL);
  BOOL LockWindowUpdate();
  void UnlockWindowUpdate();

  // Timers, capture and focus.
  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse,
                    void(CALLBACK* lpfnTimer)(HWND, UINT, UINT_PTR, DWORD) = NULL);
  BOOL KillTimer(UINT_PTR nIDEvent);
  CWnd* SetCapture();
  static CWnd* PASCAL GetCapture();
  static CWnd* PASCAL GetFocus();
  CWnd* SetFocus();

  // Scroll bars.
  BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL);
  BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE);
  int GetScrollPos(int nBar) const;
  int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE);
  void GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const;
  void SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw = TRUE);
  int GetScrollLimit(int nBar);
  void ShowScrollBar(UINT nBar, BOOL bShow = TRUE);
  BOOL EnableScrollBar(int nSBFlags, UINT nArrowFlags = ESB_ENABLE_BOTH);

  // Menus, icons, messages.
  CMenu* GetMenu() const;
  BOOL SetMenu(CMenu* pMenu);
  void DrawMenuBar();
  CMenu* GetSystemMenu(BOOL bRevert) const;
  HICON SetIcon(HICON hIcon, BOOL bBigIcon);
  HICON GetIcon(BOOL bBigIcon) const;
  int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = NULL, UINT nType = MB_OK);
  void DragAcceptFiles(BOOL bAccept = TRUE);

  // Tooltips: the tool under a client point, for a tooltip helper that asks its owner
  // window. Returns the tool's id with pTI (when given) filled, or -1 when no tool is
  // there (the default).
  virtual INT_PTR OnToolHitTest(CPoint point, TTTOOLINFOW* pTI) const;

  // Default handlers: each passes the message to the default procedure.
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg BOOL OnNcCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnDestroy();
  afx_msg void OnNcDestroy();
  afx_msg void OnPaint();
  afx_msg void OnNcPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnMove(int x, int y);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnRButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnMButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnMButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnMButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnMouseLeave();
  afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
  afx_msg void OnNcMouseMove(UINT nHitTest, CPoint point);
  afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
  afx_msg void OnNcLButtonUp(UINT nHitTest, CPoint point);
  afx_msg void OnNcLButtonDblClk(UINT nHitTest, CPoint point);
  afx_msg void OnNcRButtonDown(UINT nHitTest, CPoint point);
  afx_msg void OnNcMButtonDown(UINT nHitTest, CPoint point);
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnSysKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnSysChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg void OnCaptureChanged(CWnd* pWnd);
  afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
  afx_msg UINT OnGetDlgCode();
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
  afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
  afx_msg HCURSOR OnQueryDragIcon();
  afx_msg void OnClose();
  afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
  afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
  afx_msg void OnActivateApp(BOOL bActive, DWORD dwThreadID);
  afx_msg BOOL OnNcActivate(BOOL bActive);
  afx_msg LRESULT OnNcHitTest(CPoint point);
  afx_msg void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
  afx_msg void OnSysColorChange();
  afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
  afx_msg void OnContextMenu(CWnd* pWnd, CPoint pos);
  afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
  afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
  afx_msg void OnWindowPosChanging(WINDOWPOS* lpwndpos);
  afx_msg void OnCancelMode();
  afx_msg void OnEnable(BOOL bEnable);
  afx_msg BOOL OnHelpInfo(HELPINFO* lpHelpInfo);
  afx_msg void OnDropFiles(HDROP hDropInfo);
  afx_msg void OnParentNotify(UINT message, LPARAM lParam);
  afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
  afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
  afx_msg LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
  afx_msg void OnEnterIdle(UINT nWhy, CWnd* pWho);
  afx_msg int OnVKeyToItem(UINT nKey, CListBox* pListBox, UINT nIndex);

  // Reflected-message handlers of controls (declared here so that ON_WM_xxx_REFLECT can
  // name them; a control class defines the ones it maps).
  HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
  virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct);
  void HScroll(UINT nSBCode, UINT nPos);
  void VScroll(UINT nSBCode, UINT nPos);

  // ---- Added by the frame layer (declarations only; defined in src/frame_layout.cpp) ----
  // Lays out the children with ids nIDFirst..nIDLast through WM_SIZEPARENT and gives what
  // is left of the client area (or of lpRectClient) to the child nIDLeftOver. reposQuery
  // only measures: lpRectParam receives the rectangle left over (bStretch) or the bars'
  // extent. reposExtra shrinks the left-over rectangle by lpRectParam's four values.
  enum RepositionFlags { reposDefault = 0, reposQuery = 1, reposExtra = 2, reposNoPosLeftOver = 0x8000 };
  void RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag = reposDefault,
                      LPRECT lpRectParam = NULL, LPCRECT lpRectClient = NULL, BOOL bStretch = TRUE);
  // ---- End of the frame layer's additions ----

  // Flags of this window object (WF_*), and the result of a modal loop.
  UINT m_nFlags;
  int m_nModalResult;

 protected:
  // The window procedure this object replaced when it subclassed the window, if any.
  WNDPROC m_pfnSuper;
  virtual WNDPROC* GetSuperWndProcAddr();
  // The window that owns this one for GetOwner, when set with SetOwner.
  HWND m_hWndOwner;

  DECLARE_MESSAGE_MAP()

  friend LRESULT AFXAPI AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam,
                                       LPARAM lParam);
  friend LRESULT CALLBACK AfxCbtFilterHook(int code, WPARAM wParam, LPARAM lParam);

 private:
  // Handles WM_NCDESTROY: default processing, detaching, PostNcDestroy.
  void HandleNcDestroy();
  BOOL DispatchWindowMessage(const AFX_MSGMAP_ENTRY* lpEntry, UINT message, WPARAM wParam,
                             LPARAM lParam, LRESULT* pResult);
};

// The window procedure of every framework window.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
LRESULT AFXAPI AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
WNDPROC AFXAPI AfxGetAfxWndProc();
// pWnd becomes the object of the next window this thread creates.
void AFXAPI AfxHookWindowCreate(CWnd* pWnd);
// FALSE when the hooked window was never created (so the hook is still waiting).
BOOL AFXAPI AfxUnhookWindowCreate();

// Registers (once) a window class with these attributes and returns its name; the name
// stays valid for the life of the process.
LPCTSTR AFXAPI AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = 0,
                                   HBRUSH hbrBackground = 0, HICON hIcon = 0);
BOOL AFXAPI AfxRegisterClass(WNDCLASS* lpWndClass);
// Name of the default class of CWnd::Create when none is given.
LPCTSTR AFXAPI AfxGetDefaultWndClass();

// Deletes this thread's temporary CWnd and CMenu wrappers (and the drawing wrappers).
void AFXAPI AfxDeleteTempMap();
// Number of temporary window and menu wrappers this thread holds (diagnostics, tests).
int AFXAPI AfxGetTempWndCount();
