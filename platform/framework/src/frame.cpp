// Frame windows: creation from one resource id, layout, command routing, status text,
// menu updates and the active view.
#include "framework.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)
IMPLEMENT_DYNCREATE(CMiniFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

namespace {

// The text of string nID up to its first '\n' (prompt), or after it (tool tip).
CString StringPart(UINT nID, int nPart) {
  CString full, part;
  if (nID != 0 && full.LoadString(nID)) AfxExtractSubString(part, full, nPart, L'\n');
  return part;
}

}  // namespace

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_CLOSE()
  ON_WM_SIZE()
  ON_WM_SETFOCUS()
  ON_WM_ERASEBKGND()
  ON_WM_ACTIVATE()
  ON_WM_INITMENUPOPUP()
  ON_WM_MENUSELECT()
  ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
  ON_MESSAGE(WM_POPMESSAGESTRING, OnPopMessageString)
  ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
  ON_NOTIFY_EX_RANGE(TTN_GETDISPINFOW, 0, 0xFFFF, OnToolTipText)
  ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
  ON_COMMAND_EX(ID_VIEW_STATUS_BAR, OnBarCheck)
  ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateControlBarMenu)
  ON_COMMAND_EX(ID_VIEW_TOOLBAR, OnBarCheck)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_CAPS, OnUpdateKeyIndicator)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_NUM, OnUpdateKeyIndicator)
  ON_UPDATE_COMMAND_UI(ID_INDICATOR_SCRL, OnUpdateKeyIndicator)
  ON_UPDATE_COMMAND_UI(ID_FILE_MRU_FILE1, OnUpdateRecentFileMenu)
  ON_COMMAND_EX_RANGE(ID_FILE_MRU_FILE1, ID_FILE_MRU_FILE16, OnOpenRecentFile)
END_MESSAGE_MAP()

CFrameWnd::CFrameWnd()
    : m_nIdleFlags(0),
      m_hAccelTable(nullptr),
      m_hMenuDefault(nullptr),
      m_bAutoMenuEnable(TRUE),
      m_nIDHelp(0),
      m_dwDockStyle(0),
      m_bInRecalcLayout(FALSE),
      m_pViewActive(nullptr),
      m_nIDTracking(0),
      m_nIDLastMessage(0),
      m_bHelpMode(FALSE) {}

CFrameWnd::~CFrameWnd() {
  // A menu the window no longer shows is still ours; the shown one goes with the window.
  if (m_hMenuDefault != nullptr && (m_hWnd == nullptr || ::GetMenu(m_hWnd) != m_hMenuDefault))
    ::DestroyMenu(m_hMenuDefault);
  if (m_hAccelTable != nullptr) ::DestroyAcceleratorTable(m_hAccelTable);
  // Bars embedded in a derived frame outlive this point only as objects: forget them.
  for (POSITION pos = m_listControlBars.GetHeadPosition(); pos != NULL;)
    static_cast<CControlBar*>(m_listControlBars.GetNext(pos))->m_pDockSite = nullptr;
}

// ---------------------------------------------------------------------------------------
// Creation

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (cs.lpszClass == nullptr) {
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  }
  // A frame's child windows paint themselves; the frame never paints over them.
  cs.style |= WS_CLIPCHILDREN;
  return CWnd::PreCreateWindow(cs);
}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                       const RECT& rect, CWnd* pParentWnd, LPCTSTR lpszMenuName, DWORD dwExStyle,
                       CCreateContext* pContext) {
  HMENU hMenu = nullptr;
  if (lpszMenuName != nullptr) {
    hMenu = ::LoadMenuW(AfxGetResourceHandle(), lpszMenuName);
    if (hMenu == nullptr) {
      TRACE(L"frame menu resource is missing\n");
      return FALSE;
    }
  }
  m_strTitle = lpszWindowName ? lpszWindowName : L"";
  if (!CWnd::CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                      rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                      hMenu, pContext)) {
    if (hMenu != nullptr) ::DestroyMenu(hMenu);
    return FALSE;
  }
  return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                          CCreateContext* pContext) {
  m_nIDHelp = nIDResource;
  HINSTANCE hInst = AfxGetResourceHandle();
  // The window title is the first field of the frame's string; the rest belongs to the
  // document template.
  CString strFull;
  strFull.LoadString(nIDResource);
  AfxExtractSubString(m_strTitle, strFull, 0, L'\n');

  HICON hIcon = ::LoadIconW(hInst, MAKEINTRESOURCEW(nIDResource));
  LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW),
                                          reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), hIcon);
  // Menus are optional here: a frame id may come without one.
  LPCTSTR lpszMenu = ::FindResourceW(hInst, MAKEINTRESOURCEW(nIDResource), RT_MENU)
                         ? MAKEINTRESOURCEW(nIDResource) : nullptr;
  CString strTitle = m_strTitle;
  if (!Create(lpszClass, strTitle, dwDefaultStyle, rectDefault, pParentWnd, lpszMenu, 0, pContext))
    return FALSE;
  m_strTitle = strTitle;
  m_hMenuDefault = ::GetMenu(m_hWnd);
  LoadAccelTable(MAKEINTRESOURCEW(nIDResource));
  if (pContext == nullptr) SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
  return TRUE;
}

BOOL CFrameWnd::LoadAccelTable(LPCTSTR lpszResourceName) {
  if (m_hAccelTable != nullptr) return FALSE;  // one table per frame
  m_hAccelTable = ::LoadAcceleratorsW(AfxGetResourceHandle(), lpszResourceName);
  return m_hAccelTable != nullptr;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs) {
  return OnCreateHelper(lpcs, static_cast<CCreateContext*>(lpcs->lpCreateParams));
}

int CFrameWnd::OnCreateHelper(LPCREATESTRUCT lpcs, CCreateContext* pContext) {
  if (CWnd::OnCreate(lpcs) == -1) return -1;
  if (!OnCreateClient(lpcs, pContext)) {
    TRACE(L"frame failed to create its client\n");
    return -1;
  }
  // The status bar starts with the idle prompt once everything exists.
  PostMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
  RecalcLayout();
  return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) {
  if (pContext != nullptr && pContext->m_pNewViewClass != nullptr) {
    if (CreateView(pContext, AFX_IDW_PANE_FIRST) == nullptr) return FALSE;
  }
  return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID) {
  CObject* pObject = pContext->m_pNewViewClass->CreateObject();
  CWnd* pView = dynamic_cast<CWnd*>(pObject);
  if (pView == nullptr) {
    TRACE(L"view class is not a window class\n");
    delete pObject;
    return nullptr;
  }
  // A view whose creation failed has deleted itself already (PostNcDestroy, whether or not
  // its window came to exist): it must not be touched again.
  if (!pView->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, CRect(0, 0, 0, 0), this, nID, pContext)) return nullptr;
  return pView;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible) {
  // Without an active view the frame's first view (pane id) becomes active.
  CView* pView = GetActiveView();
  if (pView == nullptr) {
    pView = dynamic_cast<CView*>(CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST)));
    if (pView != nullptr) SetActiveView(pView, FALSE);
  }
  // Every descendant, including views inside other child windows, gets its first update.
  SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
  if (pDoc != nullptr) pDoc->UpdateFrameCounts();
  if (bMakeVisible) {
    if (pView != nullptr) pView->OnActivateView(TRUE, pView, pView);
    ActivateFrame();
  }
  OnUpdateFrameTitle(TRUE);
  RecalcLayout();
}

void CFrameWnd::ActivateFrame(int nCmdShow) {
  if (nCmdShow == -1) {
    if (!IsWindowVisible()) nCmdShow = SW_SHOWNORMAL;
    else if (IsIconic()) nCmdShow = SW_RESTORE;
  }
  if (nCmdShow != -1) {
    ShowWindow(nCmdShow);
    BringWindowToTop();
  }
}

// ---------------------------------------------------------------------------------------
// Destruction

BOOL CFrameWnd::CanCloseFrame() {
  // Each document of the frame's views is asked once.
  CPtrList docs;
  for (HWND hChild = ::GetTopWindow(m_hWnd); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
    CView* pView = dynamic_cast<CView*>(CWnd::FromHandlePermanent(hChild));
    CDocument* pDoc = pView ? pView->GetDocument() : nullptr;
    if (pDoc == nullptr || docs.Find(pDoc) != NULL) continue;
    docs.AddTail(pDoc);
    if (!pDoc->CanCloseFrame(this)) return FALSE;
  }
  return TRUE;
}

void CFrameWnd::OnClose() {
  if (!CanCloseFrame()) return;
  CWinApp* pApp = AfxGetApp();
  if (pApp != nullptr && pApp->m_pMainWnd == this) {
    // Closing the main window ends the program: every document goes first.
    if (!pApp->SaveAllModified()) return;
    pApp->CloseAllDocuments(FALSE);
    if (!::IsWindow(m_hWnd)) return;  // the documents took the frame with them
  } else {
    CDocument* pDoc = GetActiveDocument();
    if (pDoc != nullptr && pDoc->m_bAutoDelete) {
      // The document ends with its last frame.
      BOOL bOtherFrame = FALSE;
      for (POSITION pos = pDoc->GetFirstViewPosition(); pos != NULL;) {
        CView* pView = pDoc->GetNextView(pos);
        if (pView->GetParentFrame() != this) bOtherFrame = TRUE;
      }
      if (!bOtherFrame) {
        pDoc->OnCloseDocument();
        return;
      }
      pDoc->PreCloseFrame(this);
    }
  }
  DestroyWindow();
}

void CFrameWnd::OnDestroy() {
  // Views die with the frame; the active pointer must not outlive them.
  m_pViewActive = nullptr;
  if (m_hMenuDefault != nullptr && ::GetMenu(m_hWnd) == m_hMenuDefault) m_hMenuDefault = nullptr;
  CWnd::OnDestroy();
}

void CFrameWnd::PostNcDestroy() { delete this; }

// ---------------------------------------------------------------------------------------
// Views

CDocument* CFrameWnd::GetActiveDocument() {
  CView* pView = GetActiveView();
  return pView ? pView->GetDocument() : nullptr;
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify) {
  CView* pViewOld = m_pViewActive;
  if (pViewNew == pViewOld) return;
  m_pViewActive = nullptr;  // no routing to a view in transition
  if (bNotify && pViewOld != nullptr) pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
  m_pViewActive = pViewNew;
  if (bNotify && pViewNew != nullptr) pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

// ---------------------------------------------------------------------------------------
// Layout

void CFrameWnd::RecalcLayout(BOOL bNotify) {
  if (m_bInRecalcLayout) return;
  m_bInRecalcLayout = TRUE;
  RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposDefault, nullptr, nullptr, TRUE);
  m_bInRecalcLayout = FALSE;
  m_nIdleFlags &= ~(idleLayout | idleNotify);
  (void)bNotify;  // no in-place frames to tell
}

void CFrameWnd::DelayRecalcLayout(BOOL bNotify) {
  m_nIdleFlags |= idleLayout | (bNotify ? idleNotify : 0);
}

void CFrameWnd::DelayUpdateFrameMenu(HMENU) { m_nIdleFlags |= idleMenu; }

void CFrameWnd::OnSize(UINT nType, int cx, int cy) {
  CWnd::OnSize(nType, cx, cy);
  if (nType != SIZE_MINIMIZED) RecalcLayout();
}

BOOL CFrameWnd::OnEraseBkgnd(CDC* pDC) {
  // The view covers the client area; erasing under it only flickers.
  if (GetActiveView() != nullptr) return TRUE;
  return CWnd::OnEraseBkgnd(pDC);
}

void CFrameWnd::AddControlBar(CControlBar* pBar) {
  if (m_listControlBars.Find(pBar) == NULL) m_listControlBars.AddTail(pBar);
}

void CFrameWnd::RemoveControlBar(CControlBar* pBar) {
  if (POSITION pos = m_listControlBars.Find(pBar)) m_listControlBars.RemoveAt(pos);
}

CControlBar* CFrameWnd::GetControlBar(UINT nID) {
  for (POSITION pos = m_listControlBars.GetHeadPosition(); pos != NULL;) {
    auto* pBar = static_cast<CControlBar*>(m_listControlBars.GetNext(pos));
    if (pBar->m_hWnd != nullptr && (UINT)pBar->GetDlgCtrlID() == nID) return pBar;
  }
  // A bar whose creation bypassed the registration is still found as a child.
  return dynamic_cast<CControlBar*>(CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, (int)nID)));
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay) {
  if (pBar == nullptr || pBar->m_hWnd == nullptr) return;
  if (bDelay) {
    pBar->DelayShow(bShow);
    DelayRecalcLayout();
  } else {
    pBar->m_nStateFlags &= ~(CControlBar::delayHide | CControlBar::delayShow);
    pBar->ShowWindow(bShow ? SW_SHOWNOACTIVATE : SW_HIDE);
    RecalcLayout();
  }
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI) {
  CControlBar* pBar = GetControlBar(pCmdUI->m_nID);
  if (pBar == nullptr) {
    pCmdUI->ContinueRouting();
    return;
  }
  pCmdUI->SetCheck(pBar->IsVisible());
}

BOOL CFrameWnd::OnBarCheck(UINT nID) {
  CControlBar* pBar = GetControlBar(nID);
  if (pBar == nullptr) return FALSE;
  ShowControlBar(pBar, !pBar->IsVisible(), FALSE);
  return TRUE;
}

void CFrameWnd::OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState) {
  // Without print preview only the frame's menu is swapped out and back.
  if (pState == nullptr) return;
  if (bPreview) {
    pState->hMenu = ::GetMenu(m_hWnd);
    ::SetMenu(m_hWnd, nullptr);
  } else {
    ::SetMenu(m_hWnd, pState->hMenu);
  }
}

// ---------------------------------------------------------------------------------------
// Idle processing

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM) {
  if (m_nIdleFlags & idleLayout) RecalcLayout((m_nIdleFlags & idleNotify) != 0);
  if (m_nIdleFlags & idleTitle) OnUpdateFrameTitle(TRUE);
  if (m_nIdleFlags & idleMenu) OnUpdateFrameMenu(nullptr);
  m_nIdleFlags = 0;
  return 0;
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
  CDocument* pDoc = GetActiveDocument();
  if (bAddToTitle && (GetStyle() & FWS_ADDTOTITLE) && pDoc != nullptr)
    UpdateFrameTitleForDocument(pDoc->GetTitle());
  else
    UpdateFrameTitleForDocument(nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCTSTR lpszDocName) {
  CString strText;
  if (lpszDocName == nullptr || *lpszDocName == 0) strText = m_strTitle;
  else if (GetStyle() & FWS_PREFIXTITLE) strText = CString(lpszDocName) + L" - " + m_strTitle;
  else strText = m_strTitle + L" - " + lpszDocName;
  CString strOld;
  GetWindowText(strOld);
  if (strOld != strText) SetWindowText(strText);  // no flicker for the same title
}

void CFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt) {
  HMENU hMenu = hMenuAlt != nullptr ? hMenuAlt : m_hMenuDefault;
  if (hMenu != nullptr && ::GetMenu(m_hWnd) != hMenu) {
    ::SetMenu(m_hWnd, hMenu);
    ::DrawMenuBar(m_hWnd);
  }
}

// ---------------------------------------------------------------------------------------
// Menus and status text

void CFrameWnd::OnInitMenuPopup(CMenu* pMenu, UINT, BOOL bSysMenu) {
  if (bSysMenu || pMenu == nullptr) return;
  CCmdUI state;
  state.m_pMenu = pMenu;
  state.m_nIndexMax = (UINT)pMenu->GetMenuItemCount();
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    state.m_nID = pMenu->GetMenuItemID((int)state.m_nIndex);
    if (state.m_nID == 0 || state.m_nID == (UINT)-1) continue;  // separators, popups
    state.m_pSubMenu = nullptr;
    state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
    // An update may have added or removed items (the recent file list does): continue
    // after the items that replaced this one.
    const UINT nCount = (UINT)pMenu->GetMenuItemCount();
    if (nCount != state.m_nIndexMax) {
      state.m_nIndex += nCount - state.m_nIndexMax;
      state.m_nIndexMax = nCount;
    }
  }
}

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu) {
  if (nFlags == 0xFFFF && hSysMenu == nullptr) {
    // The menu closed: back to the idle prompt.
    m_nIDTracking = 0;
    SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    return;
  }
  m_nIDTracking = (nFlags & (MF_POPUP | MF_SEPARATOR)) ? 0 : nItemID;
  if (m_nIDTracking != 0) SendMessage(WM_SETMESSAGESTRING, m_nIDTracking);
  else SetMessageText(L"");
}

CWnd* CFrameWnd::GetMessageBar() { return GetDlgItem(AFX_IDW_STATUS_BAR); }

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const {
  rMessage = StringPart(nID, 0);
}

void CFrameWnd::SetMessageText(LPCTSTR lpszText) {
  SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(lpszText));
}

void CFrameWnd::SetMessageText(UINT nID) { SendMessage(WM_SETMESSAGESTRING, nID); }

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam) {
  const UINT nIDLast = m_nIDLastMessage;
  CWnd* pMessageBar = GetMessageBar();
  if (pMessageBar != nullptr) {
    CString strMessage;
    LPCTSTR lpsz = nullptr;
    if (wParam != 0) {
      GetMessageString((UINT)wParam, strMessage);
      lpsz = strMessage;
    } else if (lParam != 0) {
      lpsz = reinterpret_cast<LPCTSTR>(lParam);
    }
    pMessageBar->SetWindowText(lpsz ? lpsz : L"");
  }
  m_nIDLastMessage = (UINT)wParam;
  return nIDLast;
}

LRESULT CFrameWnd::OnPopMessageString(WPARAM wParam, LPARAM lParam) {
  return OnSetMessageString(wParam ? wParam : AFX_IDS_IDLEMESSAGE, lParam);
}

BOOL CFrameWnd::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult) {
  auto* pTTT = reinterpret_cast<NMTTDISPINFOW*>(pNMHDR);
  UINT_PTR nID = pNMHDR->idFrom;
  if (pTTT->uFlags & TTF_IDISHWND) nID = (UINT)::GetDlgCtrlID(reinterpret_cast<HWND>(nID));
  CString strTip = StringPart((UINT)nID, 1);
  if (nID == 0 || strTip.IsEmpty()) return FALSE;
  lstrcpynW(pTTT->szText, strTip, (int)(sizeof(pTTT->szText) / sizeof(WCHAR)));
  pTTT->lpszText = pTTT->szText;
  pTTT->hinst = nullptr;
  *pResult = 0;
  return TRUE;
}

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* pCmdUI) {
  const int nVK = pCmdUI->m_nID == ID_INDICATOR_CAPS  ? VK_CAPITAL
                  : pCmdUI->m_nID == ID_INDICATOR_NUM ? VK_NUMLOCK
                                                      : VK_SCROLL;
  pCmdUI->Enable(::GetKeyState(nVK) & 1);
}

void CFrameWnd::OnUpdateRecentFileMenu(CCmdUI* pCmdUI) {
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr || pApp->m_pRecentFileList == nullptr) {
    pCmdUI->Enable(FALSE);
    return;
  }
  pApp->m_pRecentFileList->UpdateMenu(pCmdUI);
}

BOOL CFrameWnd::OnOpenRecentFile(UINT nID) {
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr || pApp->m_pRecentFileList == nullptr) return FALSE;
  CRecentFileList& list = *pApp->m_pRecentFileList;
  const int nIndex = (int)(nID - ID_FILE_MRU_FILE1);
  if (nIndex < 0 || nIndex >= list.GetSize()) return FALSE;
  CString strPath = list[nIndex];
  // A file that cannot be opened any more leaves the list.
  if (pApp->OpenDocumentFile(strPath) == nullptr) list.Remove(nIndex);
  return TRUE;
}

// ---------------------------------------------------------------------------------------
// Messages and commands

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg) {
  if (CWnd::PreTranslateMessage(pMsg)) return TRUE;
  // Accelerators apply to keys meant for this frame and its children.
  if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hAccelTable != nullptr)
    return ::TranslateAcceleratorW(m_hWnd, m_hAccelTable, pMsg) != 0;
  return FALSE;
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  CPushRoutingFrame push(this);
  // The active view first (it passes on to its document), then the frame, then the app.
  CView* pView = GetActiveView();
  if (pView != nullptr && pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) return TRUE;
  CWinApp* pApp = AfxGetApp();
  return pApp != nullptr && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  // A command from a menu or an accelerator ends the prompt of the selected item.
  if (lParam == 0 && m_nIDTracking != 0) m_nIDTracking = 0;
  return CWnd::OnCommand(wParam, lParam);
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd) {
  // The keyboard belongs to the active view.
  if (m_pViewActive != nullptr && m_pViewActive->m_hWnd != nullptr) m_pViewActive->SetFocus();
  else CWnd::OnSetFocus(pOldWnd);
}

void CFrameWnd::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) {
  CWnd::OnActivate(nState, pWndOther, bMinimized);
  if (m_pViewActive != nullptr && nState != WA_INACTIVE && !bMinimized)
    m_pViewActive->OnActivateFrame(nState, this);
}

// ---------------------------------------------------------------------------------------
BOOL CMiniFrameWnd::Create(LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle,
                           const RECT& rect, CWnd* pParentWnd, UINT nID) {
  return CreateEx(0, lpClassName, lpWindowName, dwStyle, rect, pParentWnd, nID);
}

BOOL CMiniFrameWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpClassName, LPCTSTR lpWindowName,
                             DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT) {
  m_strTitle = lpWindowName ? lpWindowName : L"";
  return CWnd::CreateEx(dwExStyle | WS_EX_TOOLWINDOW, lpClassName, lpWindowName, dwStyle,
                        rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                        pParentWnd->GetSafeHwnd(), nullptr, nullptr);
}

CFrameWnd* CMDIFrameWnd::MDIGetActive(BOOL* pbMaximized) const {
  BOOL bMax = FALSE;
  HWND hChild = m_hWndMDIClient
                    ? reinterpret_cast<HWND>(::SendMessageW(m_hWndMDIClient, WM_MDIGETACTIVE, 0,
                                                            reinterpret_cast<LPARAM>(&bMax)))
                    : nullptr;
  if (pbMaximized) *pbMaximized = bMax;
  return dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(hChild));
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const {
  return dynamic_cast<CMDIFrameWnd*>(GetParentFrame());
}
