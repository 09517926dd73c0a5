// Frame windows and control bars.
//
// A frame lays out its client area through WM_SIZEPARENT: RecalcLayout calls
// RepositionBars, which sends WM_SIZEPARENT with an AFX_SIZEPARENTPARAMS record to every
// child whose id lies in the bar range (AFX_IDW_CONTROLBAR_FIRST..LAST). Each bar takes
// its strip from record.rect (moving the rectangle's edge), adds itself to sizeTotal and,
// when record.hDWP is set, moves its window with AfxRepositionWindow. What is left goes to
// the child with id AFX_IDW_PANE_FIRST (the view). A window of any class can take part:
// answer WM_SIZEPARENT and keep the id in the bar range.
//
// Layout is also delayed: DelayRecalcLayout marks the frame (m_nIdleFlags & idleLayout)
// and the next idle pass (WM_IDLEUPDATECMDUI) lays it out once.
//
// Command routing of a frame: active view (then its document, then the document's
// template), the frame itself, then the application object.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "fw_coll.h"
#include "fw_gdi.h"
#include "fw_wnd.h"

class CView;
class CDocument;
class CDocTemplate;
class CFrameWnd;
class CCreateContext;

// ---------------------------------------------------------------------------------------
// The record of one layout pass.
struct AFX_SIZEPARENTPARAMS {
  HDWP hDWP;       // deferred positions; NULL when the pass only measures
  RECT rect;       // what is still free of the parent's client area
  SIZE sizeTotal;  // the bars' total extent so far
  BOOL bStretch;   // bars should stretch across the whole side
};

// Moves hWnd to lpRect (parent client coordinates) through the record's deferred
// positioning; nothing when the record only measures or the window is already there.
void AFXAPI AfxRepositionWindow(AFX_SIZEPARENTPARAMS* lpLayout, HWND hWnd, LPCRECT lpRect);

// Child window ids of the frame's parts.
#define AFX_IDW_CONTROLBAR_FIRST 0xE800
#define AFX_IDW_CONTROLBAR_LAST 0xE8FF
#define AFX_IDW_DOCKBAR_TOP 0xE81B
#define AFX_IDW_DOCKBAR_LEFT 0xE81C
#define AFX_IDW_DOCKBAR_RIGHT 0xE81D
#define AFX_IDW_DOCKBAR_BOTTOM 0xE81E
#define AFX_IDW_DOCKBAR_FLOAT 0xE81F
#define AFX_IDW_RESIZE_BAR 0xE803
#define AFX_IDW_DIALOGBAR 0xE805

// Standard commands the frame and the document classes handle.
#ifndef ID_SEPARATOR
#define ID_SEPARATOR 0
#endif
#define ID_FILE_NEW 0xE100
#define ID_FILE_OPEN 0xE101
#define ID_FILE_CLOSE 0xE102
#define ID_FILE_SAVE 0xE103
#define ID_FILE_SAVE_AS 0xE104
#define ID_FILE_MRU_FIRST 0xE110
#define ID_FILE_MRU_FILE1 0xE110
#define ID_FILE_MRU_FILE16 0xE11F
#define ID_FILE_MRU_LAST 0xE11F
#define ID_VIEW_TOOLBAR 0xE800
#define ID_VIEW_STATUS_BAR 0xE801
#define ID_INDICATOR_EXT 0xE700
#define ID_INDICATOR_CAPS 0xE701
#define ID_INDICATOR_NUM 0xE702
#define ID_INDICATOR_SCRL 0xE703
#define ID_INDICATOR_OVR 0xE704
#define ID_INDICATOR_REC 0xE705
#define ID_INDICATOR_KANA 0xE706

// Frame styles kept in the frame window's class-specific style bits.
#define FWS_ADDTOTITLE 0x00008000L
#define FWS_PREFIXTITLE 0x00004000L
#define FWS_SNAPTOBARS 0x00002000L

// Control bar styles (CControlBar::m_dwStyle).
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_BORDER_ANY 0x0F00L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_FLOAT_MULTI 0x0040L
#define CBRS_BORDER_3D 0x0080L
#define CBRS_HIDE_INPLACE 0x0008L
#define CBRS_SIZE_DYNAMIC 0x0004L
#define CBRS_SIZE_FIXED 0x0002L
#define CBRS_FLOATING 0x0001L
#define CBRS_GRIPPER 0x00400000L
#define CBRS_ORIENT_HORZ (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_ORIENT_ANY (CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT)
#define CBRS_ALL 0x0040FFFFL
#define CBRS_NOALIGN 0x00000000L
#define CBRS_LEFT (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_RIGHT (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)

// Layout modes of CalcDynamicLayout.
#define LM_STRETCH 0x01
#define LM_HORZ 0x02
#define LM_MRUWIDTH 0x04
#define LM_HORZDOCK 0x08
#define LM_VERTDOCK 0x10
#define LM_LENGTHY 0x20
#define LM_COMMIT 0x40

// Toolbar button styles: the low word is the common control's button style, the high
// word its state (with the enabled bit inverted, so 0 means an enabled plain button).
#define TBBS_BUTTON MAKELONG(TBSTYLE_BUTTON, 0)
#define TBBS_SEPARATOR MAKELONG(TBSTYLE_SEP, 0)
#define TBBS_CHECKBOX MAKELONG(TBSTYLE_CHECK, 0)
#define TBBS_GROUP MAKELONG(TBSTYLE_GROUP, 0)
#define TBBS_CHECKGROUP MAKELONG(TBSTYLE_CHECKGROUP, 0)
#define TBBS_DROPDOWN MAKELONG(TBSTYLE_DROPDOWN, 0)
#define TBBS_AUTOSIZE MAKELONG(TBSTYLE_AUTOSIZE, 0)
#define TBBS_NOPREFIX MAKELONG(TBSTYLE_NOPREFIX, 0)
#define TBBS_CHECKED MAKELONG(0, TBSTATE_CHECKED)
#define TBBS_PRESSED MAKELONG(0, TBSTATE_PRESSED)
#define TBBS_DISABLED MAKELONG(0, TBSTATE_ENABLED)
#define TBBS_INDETERMINATE MAKELONG(0, TBSTATE_INDETERMINATE)
#define TBBS_HIDDEN MAKELONG(0, TBSTATE_HIDDEN)
#define TBBS_WRAPPED MAKELONG(0, TBSTATE_WRAP)
#define TBBS_ELLIPSES MAKELONG(0, TBSTATE_ELLIPSES)
#define TBBS_MARKED MAKELONG(0, TBSTATE_MARKED)

// Status bar pane styles.
#define SBPS_NORMAL 0x0000
#define SBPS_NOBORDERS SBT_NOBORDERS
#define SBPS_POPOUT SBT_POPOUT
#define SBPS_OWNERDRAW SBT_OWNERDRAW
#define SBPS_DISABLED 0x04000000
#define SBPS_STRETCH 0x08000000

// The resource type of toolbar layouts.
#ifndef RT_TOOLBAR
#define RT_TOOLBAR MAKEINTRESOURCE(241)
#endif

// ---------------------------------------------------------------------------------------
// The routing frame: the frame whose command routing is running on this thread (message
// boxes and command handlers ask for it). CPushRoutingFrame sets it for one scope.
CFrameWnd* AFXAPI AfxGetRoutingFrame();
class CPushRoutingFrame {
 public:
  explicit CPushRoutingFrame(CFrameWnd* pNewFrame);
  ~CPushRoutingFrame();
  CPushRoutingFrame(const CPushRoutingFrame&) = delete;
  CPushRoutingFrame& operator=(const CPushRoutingFrame&) = delete;

 private:
  CFrameWnd* m_pOldFrame;
};

// ---------------------------------------------------------------------------------------
// A strip along one side of a frame: toolbars, status bars and similar windows.
class CControlBar : public CWnd {
  DECLARE_DYNAMIC(CControlBar)

 public:
  CControlBar();
  ~CControlBar() override;

  DWORD m_dwStyle;  // CBRS_* bar styles (kept apart from the window style)
  int m_cxLeftBorder, m_cxRightBorder, m_cyTopBorder, m_cyBottomBorder;
  int m_cxDefaultGap;
  UINT m_nMRUWidth;
  BOOL m_bAutoDelete;  // delete the object when the window is destroyed
  CFrameWnd* m_pDockSite;
  DWORD m_dwDockStyle;

  // State of a pending show or hide (DelayShow), applied by the next layout.
  enum StateFlags { delayHide = 1, delayShow = 2, tempHide = 4, statusSet = 8 };
  UINT m_nStateFlags;

  int GetCount() const { return m_nCount; }
  void SetBorders(int cxLeft = 0, int cyTop = 0, int cxRight = 0, int cyBottom = 0);
  void SetBorders(LPCRECT lpRect);
  CRect GetBorders() const;
  virtual void SetBarStyle(DWORD dwStyle);
  DWORD GetBarStyle() const { return m_dwStyle; }
  void EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle; }
  CFrameWnd* GetDockingFrame() const;
  BOOL IsFloating() const { return FALSE; }  // bars of this framework are always docked
  // Shows or hides at the next layout pass instead of at once.
  void DelayShow(BOOL bShow);
  BOOL IsVisible() const;  // counting a pending DelayShow

  virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
  virtual CSize CalcDynamicLayout(int nLength, DWORD nMode);
  // The client part of the bar: the window rectangle minus the borders.
  virtual void CalcInsideRect(CRect& rect, BOOL bHorz) const;
  virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;
  virtual void DoPaint(CDC* pDC);
  virtual void DrawBorders(CDC* pDC, CRect& rect);
  virtual void DrawGripper(CDC* pDC, const CRect& rect);
  virtual void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle);
  // The tool under a client point: its command id, with pTI (when given) filled for a
  // tool tip control (sized TTTOOLINFOW_V2_SIZE); -1 when there is none. The bar asks
  // its child windows; the toolbar asks its buttons.
  virtual INT_PTR OnToolHitTest(CPoint point, TTTOOLINFOW* pTI) const;

 protected:
  int m_nCount;

  // Applies a pending DelayShow during a layout pass; returns the resulting window style.
  DWORD RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout);
  void PostNcDestroy() override;
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

  afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnInitialUpdate(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnHelpHitTest(WPARAM wParam, LPARAM lParam);
  afx_msg void OnWindowPosChanging(WINDOWPOS* lpWndPos);
  afx_msg int OnCreate(LPCREATESTRUCT lpcs);
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()

  friend class CFrameWnd;
};

// ---------------------------------------------------------------------------------------
// The bar over the common toolbar control. Buttons come from a toolbar resource (raw type
// 241: WORD version 1, WORD width, WORD height, WORD count, count WORD ids, 0 = separator)
// and the bitmap of the same id, or from SetButtons.
struct CToolBarResource {
  WORD wVersion = 0;
  WORD wWidth = 0;
  WORD wHeight = 0;
  CArray<UINT, UINT> ids;
  // Decodes the raw resource bytes; FALSE for a truncated record or an unknown version.
  BOOL Parse(const void* pData, DWORD cbData);
};

class CToolBar : public CControlBar {
  DECLARE_DYNAMIC(CToolBar)

 public:
  CToolBar();
  ~CToolBar() override;

  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
              UINT nID = AFX_IDW_TOOLBAR);
  BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                CRect rcBorders = CRect(0, 0, 0, 0), UINT nID = AFX_IDW_TOOLBAR);

  void SetSizes(SIZE sizeButton, SIZE sizeImage);
  void SetHeight(int cyHeight);
  BOOL LoadToolBar(LPCTSTR lpszResourceName);
  BOOL LoadToolBar(UINT nIDResource) { return LoadToolBar(MAKEINTRESOURCE(nIDResource)); }
  BOOL LoadBitmap(LPCTSTR lpszResourceName);
  BOOL LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCE(nIDResource)); }
  BOOL SetBitmap(HBITMAP hbmImageWell);  // the toolbar keeps the bitmap
  // Buttons in order; id 0 is a separator. NULL ids: nIDCount empty separators.
  BOOL SetButtons(const UINT* lpIDArray, int nIDCount);

  int CommandToIndex(UINT nIDFind) const;
  UINT GetItemID(int nIndex) const;
  virtual void GetItemRect(int nIndex, LPRECT lpRect) const;
  UINT GetButtonStyle(int nIndex) const;
  void SetButtonStyle(int nIndex, UINT nStyle);
  void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
  void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);
  BOOL SetButtonText(int nIndex, LPCTSTR lpszText);
  CString GetButtonText(int nIndex) const;

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
  void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
  void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) override;
  INT_PTR OnToolHitTest(CPoint point, TTTOOLINFOW* pTI) const override;

 protected:
  HBITMAP m_hbmImageWell;
  CSize m_sizeButton, m_sizeImage;
  BOOL GetButton(int nIndex, TBBUTTON* pButton) const;
  void SetButtonState(int nIndex, UINT nMask, UINT nState);
  afx_msg BOOL OnHotItemChange(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
  afx_msg void OnNcPaint();
  DECLARE_MESSAGE_MAP()

  friend class CToolCmdUI;
};

// ---------------------------------------------------------------------------------------
// The bar over the common status control: panes with an id, a style and a width; the
// pane with id 0 (ID_SEPARATOR) shows the frame's message text through WM_SETTEXT.
class CStatusBar : public CControlBar {
  DECLARE_DYNAMIC(CStatusBar)

 public:
  CStatusBar();
  ~CStatusBar() override;

  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
              UINT nID = AFX_IDW_STATUS_BAR);
  BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0,
                DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT nID = AFX_IDW_STATUS_BAR);
  // Panes from command ids; each non-zero id takes its text (and width) from the string
  // table. FALSE when a string is missing.
  BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

  int CommandToIndex(UINT nIDFind) const;
  UINT GetItemID(int nIndex) const;
  void GetItemRect(int nIndex, LPRECT lpRect) const;
  CString GetPaneText(int nIndex) const;
  void GetPaneText(int nIndex, CString& s) const { s = GetPaneText(nIndex); }
  BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
  void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
  void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
  UINT GetPaneStyle(int nIndex) const;
  void SetPaneStyle(int nIndex, UINT nStyle);

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

 protected:
  struct Pane {
    UINT nID = 0;
    UINT nStyle = 0;
    int cxText = 0;
    CString strText;
  };
  CArray<Pane, const Pane&> m_panes;
  HFONT m_hFont;

  Pane* GetPanePtr(int nIndex) const;
  // Sends the pane edges (SB_SETPARTS) and texts to the control.
  void UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText);
  int TextWidth(LPCTSTR lpsz) const;
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

  friend class CStatusCmdUI;
};

// ---------------------------------------------------------------------------------------
// Print preview is not provided; the record exists for the frames' preview-mode hooks.
struct CPrintPreviewState {
  UINT nIDMainPane = AFX_IDW_PANE_FIRST;
  HMENU hMenu = NULL;
  DWORD dwStates = 0;
  HWND hWndFocus = NULL;
  HACCEL hAccelTable = NULL;
};

// ---------------------------------------------------------------------------------------
class CFrameWnd : public CWnd {
  DECLARE_DYNCREATE(CFrameWnd)

 public:
  CFrameWnd();
  ~CFrameWnd() override;

  static const CRect rectDefault;

  BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
              DWORD dwStyle = WS_OVERLAPPEDWINDOW, const RECT& rect = rectDefault,
              CWnd* pParentWnd = NULL, LPCTSTR lpszMenuName = NULL, DWORD dwExStyle = 0,
              CCreateContext* pContext = NULL);
  // Creates the frame from one resource id: menu, icon, accelerators and the title
  // (the string's text up to the first '\n').
  virtual BOOL LoadFrame(UINT nIDResource,
                         DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                         CWnd* pParentWnd = NULL, CCreateContext* pContext = NULL);
  BOOL LoadAccelTable(LPCTSTR lpszResourceName);

  // Views and documents.
  CView* GetActiveView() const { return m_pViewActive; }
  void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
  virtual CDocument* GetActiveDocument();
  virtual CFrameWnd* GetActiveFrame() { return this; }
  CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
  void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
  virtual void ActivateFrame(int nCmdShow = -1);

  // Layout.
  virtual void RecalcLayout(BOOL bNotify = TRUE);
  void DelayRecalcLayout(BOOL bNotify = TRUE);
  enum IdleFlags { idleMenu = 1, idleTitle = 2, idleNotify = 4, idleLayout = 8 };
  UINT m_nIdleFlags;
  void DelayUpdateFrameTitle() { m_nIdleFlags |= idleTitle; }
  void DelayUpdateFrameMenu(HMENU hMenuAlt);

  // Control bars.
  void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
  CControlBar* GetControlBar(UINT nID);
  void EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle; }
  virtual void OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState);
  BOOL IsTracking() const { return m_nIDTracking != 0; }

  // Status text.
  virtual CWnd* GetMessageBar();
  void SetMessageText(LPCTSTR lpszText);
  void SetMessageText(UINT nID);
  // The prompt of a command: its string's text up to the first '\n'.
  virtual void GetMessageString(UINT nID, CString& rMessage) const;

  // Title and menu.
  void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }
  CString GetTitle() const { return m_strTitle; }
  virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
  virtual void OnUpdateFrameMenu(HMENU hMenuAlt);
  HMENU GetDefaultMenu() { return m_hMenuDefault; }

  BOOL IsFrameWnd() const override { return TRUE; }
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

  HACCEL m_hAccelTable;
  HMENU m_hMenuDefault;
  BOOL m_bAutoMenuEnable;  // menu items without a handler are disabled
  UINT m_nIDHelp;          // the resource id the frame was loaded from
  CString m_strTitle;
  CPtrList m_listControlBars;
  DWORD m_dwDockStyle;
  // Set while RecalcLayout runs, so that nested requests are dropped.
  BOOL m_bInRecalcLayout;

 protected:
  CView* m_pViewActive;
  UINT m_nIDTracking;     // command whose prompt shows (menu select)
  UINT m_nIDLastMessage;  // last prompt shown
  BOOL m_bHelpMode;

  virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
  int OnCreateHelper(LPCREATESTRUCT lpcs, CCreateContext* pContext);
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  void PostNcDestroy() override;  // frames delete themselves
  void UpdateFrameTitleForDocument(LPCTSTR lpszDocName);
  // Asks the documents of the frame's views whether the frame may close.
  BOOL CanCloseFrame();
  void AddControlBar(CControlBar* pBar);
  void RemoveControlBar(CControlBar* pBar);

  afx_msg int OnCreate(LPCREATESTRUCT lpcs);
  afx_msg void OnDestroy();
  afx_msg void OnClose();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnSetFocus(CWnd* pOldWnd);
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
  afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
  afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
  afx_msg LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnPopMessageString(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
  afx_msg BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
  afx_msg BOOL OnBarCheck(UINT nID);
  afx_msg void OnUpdateKeyIndicator(CCmdUI* pCmdUI);
  afx_msg void OnUpdateRecentFileMenu(CCmdUI* pCmdUI);
  afx_msg BOOL OnOpenRecentFile(UINT nID);
  DECLARE_MESSAGE_MAP()

  friend class CView;
  friend class CControlBar;
};

// ---------------------------------------------------------------------------------------
// A small floating frame with a tool-window caption.
class CMiniFrameWnd : public CFrameWnd {
  DECLARE_DYNCREATE(CMiniFrameWnd)

 public:
  CMiniFrameWnd() = default;
  BOOL Create(LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle, const RECT& rect,
              CWnd* pParentWnd = NULL, UINT nID = 0);
  BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle,
                const RECT& rect, CWnd* pParentWnd = NULL, UINT nID = 0);
};

// Multiple-document frames exist as run-time classes so that code can test a frame's
// kind; this framework runs single-document programs only.
class CMDIFrameWnd : public CFrameWnd {
  DECLARE_DYNCREATE(CMDIFrameWnd)

 public:
  CMDIFrameWnd() = default;
  HWND m_hWndMDIClient = NULL;
  CFrameWnd* MDIGetActive(BOOL* pbMaximized = NULL) const;
};

class CMDIChildWnd : public CFrameWnd {
  DECLARE_DYNCREATE(CMDIChildWnd)

 public:
  CMDIChildWnd() = default;
  CMDIFrameWnd* GetMDIFrame() const;
};
