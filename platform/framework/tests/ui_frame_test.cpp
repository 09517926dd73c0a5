// The sample program: a single-document application whose frame carries a menu, a toolbar
// from a raw toolbar resource, a status bar and a view holding tree, list and tab
// controls (with a second view inside the tab control). The tests check command routing,
// command-UI updates, layout, status texts, the recent file list and the shell command,
// and keep a screenshot of the running window.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "framework.h"
#include "test_picture.h"
#include "test_pump.h"
#include "test_window.h"
#include "ui_sample_res.h"
#include "wnd_test_util.h"

namespace {

const wchar_t kCompany[] = L"VorlixFrameworkUiTests";
const wchar_t kAppName[] = L"FrameworkSample";

// Who handled which command, in order: "view:32771".
std::vector<std::string> g_handled;

void Handled(const char* who, UINT nID) { g_handled.push_back(std::string(who) + ":" + std::to_string(nID)); }

std::string Expect(const char* who, UINT nID) { return std::string(who) + ":" + std::to_string(nID); }

// ---------------------------------------------------------------------------------------
class CSampleApp : public CWinApp {
 public:
  CSampleApp() : CWinApp(kAppName) {}

 protected:
  afx_msg void OnCommandRange(UINT nID) { Handled("app", nID); }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSampleApp, CWinApp)
  ON_COMMAND_RANGE(ID_CMD_APPONLY, ID_CMD_APPONLY, OnCommandRange)
  ON_COMMAND_RANGE(ID_CMD_ALL, ID_CMD_ALL, OnCommandRange)
  ON_COMMAND(ID_FILE_NEW, OnFileNew)
END_MESSAGE_MAP()

class CSampleDoc : public CDocument {
  DECLARE_DYNCREATE(CSampleDoc)

 public:
  CString m_strText;
  BOOL OnNewDocument() override {
    if (!CDocument::OnNewDocument()) return FALSE;
    m_strText = L"new";
    return TRUE;
  }
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) ar << m_strText;
    else ar >> m_strText;
  }

 protected:
  afx_msg void OnCommandRange(UINT nID) { Handled("doc", nID); }
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CSampleDoc, CDocument)
BEGIN_MESSAGE_MAP(CSampleDoc, CDocument)
  ON_COMMAND_RANGE(ID_CMD_DOCONLY, ID_CMD_DOCONLY, OnCommandRange)
  ON_COMMAND_RANGE(ID_CMD_ALL, ID_CMD_ALL, OnCommandRange)
  ON_COMMAND_RANGE(ID_CMD_DOCANDFRAME, ID_CMD_DOCANDFRAME, OnCommandRange)
END_MESSAGE_MAP()

// A view that lives inside the tab control of the main view, not in the frame.
class CInnerView : public CView {
  DECLARE_DYNCREATE(CInnerView)

 public:
  int m_nInitialUpdates = 0;
  void OnInitialUpdate() override {
    ++m_nInitialUpdates;
    CView::OnInitialUpdate();
  }
  void OnDraw(CDC* pDC) override {
    CRect rc;
    GetClientRect(&rc);
    ::FillRect(pDC->m_hDC, &rc, ::GetSysColorBrush(COLOR_INFOBK));
    ::DrawTextW(pDC->m_hDC, L"A view inside the tab control", -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
};
IMPLEMENT_DYNCREATE(CInnerView, CView)

class CSampleView : public CView {
  DECLARE_DYNCREATE(CSampleView)

 public:
  CTreeCtrl m_tree;
  CListCtrl m_list;
  CTabCtrl m_tab;
  CInnerView* m_pInner = nullptr;
  int m_nInitialUpdates = 0;

  void OnInitialUpdate() override {
    ++m_nInitialUpdates;
    CView::OnInitialUpdate();
  }
  void OnDraw(CDC* pDC) override {
    auto* pDoc = static_cast<CSampleDoc*>(GetDocument());
    CString text = L"Document text: " + (pDoc ? pDoc->m_strText : CString(L"(none)"));
    ::TextOutW(pDC->m_hDC, 8, 6, text, text.GetLength());
  }

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT lpcs) {
    if (CView::OnCreate(lpcs) == -1) return -1;
    const CRect none(0, 0, 0, 0);
    if (!m_tree.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                           TVS_CHECKBOXES | TVS_SHOWSELALWAYS, none, this, 10) ||
        !m_list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT, none, this, 11) ||
        !m_tab.Create(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, none, this, 12))
      return -1;
    HTREEITEM hRoot = m_tree.InsertItem(L"NSF File");
    for (LPCWSTR name : {L"Contacts", L"($Inbox)", L"Archive"}) m_tree.SetCheck(m_tree.InsertItem(name, hRoot, TVI_SORT));
    m_tree.Expand(hRoot, TVE_EXPAND);
    m_list.InsertColumn(0, L"Name", LVCFMT_LEFT, 120);
    m_list.InsertColumn(1, L"Company", LVCFMT_LEFT, 120);
    const wchar_t* rows[][2] = {{L"Ada Lovelace", L"Analytical"}, {L"Alan Turing", L"Bletchley"}};
    for (int i = 0; i < 2; ++i) {
      m_list.InsertItem(i, rows[i][0]);
      m_list.SetItemText(i, 1, rows[i][1]);
    }
    m_tab.InsertItem(0, L"Preview");
    m_tab.InsertItem(1, L"Details");
    m_pInner = new CInnerView;
    if (!m_pInner->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, none, &m_tab, 1)) return -1;
    return 0;
  }
  afx_msg void OnSize(UINT nType, int cx, int cy) {
    CView::OnSize(nType, cx, cy);
    if (m_tree.m_hWnd == nullptr) return;
    const int top = 28, half = cx / 2;
    m_tree.MoveWindow(4, top, half - 8, cy - top - 4);
    m_list.MoveWindow(half, top, cx - half - 4, (cy - top) / 2 - 4);
    m_tab.MoveWindow(half, top + (cy - top) / 2, cx - half - 4, (cy - top) / 2 - 4);
    CRect rc;
    m_tab.GetClientRect(&rc);
    m_tab.AdjustRect(FALSE, &rc);
    m_pInner->MoveWindow(&rc);
  }
  afx_msg void OnCommandRange(UINT nID) { Handled("view", nID); }
  afx_msg void OnUpdateDocOnly(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CSampleView, CView)
BEGIN_MESSAGE_MAP(CSampleView, CView)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_COMMAND_RANGE(ID_CMD_VIEWONLY, ID_CMD_VIEWONLY, OnCommandRange)
  ON_COMMAND_RANGE(ID_CMD_ALL, ID_CMD_ALL, OnCommandRange)
  ON_UPDATE_COMMAND_UI(ID_CMD_DOCONLY, OnUpdateDocOnly)
END_MESSAGE_MAP()

class CSampleFrame : public CFrameWnd {
  DECLARE_DYNCREATE(CSampleFrame)

 public:
  CToolBar m_wndToolBar;
  CStatusBar m_wndStatusBar;

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT lpcs) {
    if (CFrameWnd::OnCreate(lpcs) == -1) return -1;
    static const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
    if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY) ||
        !m_wndToolBar.LoadToolBar(IDR_SAMPLEFRAME) || !m_wndStatusBar.Create(this) ||
        !m_wndStatusBar.SetIndicators(indicators, 4))
      return -1;
    return 0;
  }
  afx_msg void OnCommandRange(UINT nID) { Handled("frame", nID); }
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CSampleFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(CSampleFrame, CFrameWnd)
  ON_WM_CREATE()
  ON_COMMAND_RANGE(ID_CMD_FRAMEONLY, ID_CMD_FRAMEONLY, OnCommandRange)
  ON_COMMAND_RANGE(ID_CMD_ALL, ID_CMD_ALL, OnCommandRange)
  ON_COMMAND_RANGE(ID_CMD_DOCANDFRAME, ID_CMD_DOCANDFRAME, OnCommandRange)
END_MESSAGE_MAP()

// ---------------------------------------------------------------------------------------
// Copies the window's pixels from its window DC and saves them as PNG; returns the number
// of distinct colours seen (a blank capture has one or two), 0 when no file was written.
int SaveWindowPng(HWND hWnd, const std::wstring& path) {
  ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  testsupport::CSnapshot shot(hWnd, testsupport::WindowArea::Whole);
  std::vector<COLORREF> colours;
  for (int y = 0; y < shot.Height() && colours.size() < 16; y += 7)
    for (int x = 0; x < shot.Width() && colours.size() < 16; x += 5) {
      COLORREF c = shot.Pixel(x, y);
      if (std::find(colours.begin(), colours.end(), c) == colours.end()) colours.push_back(c);
    }
  return shot.SavePng(path) ? (int)colours.size() : 0;
}

// ---------------------------------------------------------------------------------------
class SampleProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ClearProfile();
    g_handled.clear();
    // A pointer left over the new frame's toolbar would put a button's prompt in the
    // status bar instead of the idle text.
    testsupport::ParkPointer();
    m_app = std::make_unique<CSampleApp>();
    m_app->SetRegistryKey(kCompany);
    m_app->LoadStdProfileSettings(4);
    m_app->AddDocTemplate(new CSingleDocTemplate(IDR_SAMPLEFRAME, RUNTIME_CLASS(CSampleDoc),
                                                 RUNTIME_CLASS(CSampleFrame), RUNTIME_CLASS(CSampleView)));
    CCommandLineInfo cmdInfo;  // no arguments: File New
    ASSERT_TRUE(m_app->ProcessShellCommand(cmdInfo));
    m_pFrame = dynamic_cast<CSampleFrame*>(m_app->m_pMainWnd);
    ASSERT_NE(m_pFrame, nullptr);
    m_pView = dynamic_cast<CSampleView*>(m_pFrame->GetActiveView());
    ASSERT_NE(m_pView, nullptr);
    m_pDoc = dynamic_cast<CSampleDoc*>(m_pView->GetDocument());
    ASSERT_NE(m_pDoc, nullptr);
    m_pFrame->MoveWindow(20, 20, 640, 420);
    // Lets posted messages (the first status text, paints) arrive.
    testsupport::DispatchWaiting();
  }
  void TearDown() override {
    if (m_app && m_app->m_pMainWnd != nullptr) m_app->m_pMainWnd->DestroyWindow();
    // The main window's end posts WM_QUIT; it must not stop the next test's loops.
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    m_app.reset();
    ClearProfile();
  }
  static void ClearProfile() { ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\") + kCompany).c_str()); }
  CRect ChildRect(CWnd& wnd) const {
    CRect rc;
    wnd.GetWindowRect(&rc);
    m_pFrame->ScreenToClient(&rc);
    return rc;
  }
  CString StatusText() const { return m_pFrame->m_wndStatusBar.GetPaneText(0); }

  std::unique_ptr<CSampleApp> m_app;
  CSampleFrame* m_pFrame = nullptr;
  CSampleView* m_pView = nullptr;
  CSampleDoc* m_pDoc = nullptr;
};

TEST_F(SampleProgram, OneResourceIdGivesTheFrameItsMenuAcceleratorsTitleToolbarAndView) {
  CMenu* pMenu = m_pFrame->GetMenu();
  ASSERT_NE(pMenu, nullptr);
  EXPECT_EQ(pMenu->GetMenuItemCount(), 4);
  EXPECT_NE(m_pFrame->m_hAccelTable, nullptr);
  CString title;
  m_pFrame->GetWindowText(title);
  // FWS_ADDTOTITLE: the document's name (the template's second field) before the title.
  EXPECT_EQ(title, L"Framework Sample - Sample");
  EXPECT_EQ(m_pDoc->m_strText, L"new");
  EXPECT_EQ(m_pView->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
  EXPECT_EQ(m_pFrame->m_wndToolBar.GetCount(), 8);
  EXPECT_EQ(m_pFrame->GetControlBar(AFX_IDW_STATUS_BAR), &m_pFrame->m_wndStatusBar);
  // The idle text comes with the frame's first idle time, which a loaded machine may delay.
  testsupport::PumpUntil([&] { return StatusText() == L"Ready"; }, 3000);
  EXPECT_EQ(std::wstring(StatusText().GetString()), L"Ready");
}

TEST_F(SampleProgram, CommandsRouteViewThenDocumentThenFrameThenApplication) {
  struct Case {
    UINT nID;
    const char* handler;  // nullptr: nobody
  } cases[] = {
      {ID_CMD_VIEWONLY, "view"}, {ID_CMD_DOCONLY, "doc"},        {ID_CMD_FRAMEONLY, "frame"},
      {ID_CMD_APPONLY, "app"},   {ID_CMD_ALL, "view"},           {ID_CMD_DOCANDFRAME, "doc"},
      {ID_CMD_UNHANDLED, nullptr},
  };
  for (const Case& c : cases) {
    g_handled.clear();
    m_pFrame->SendMessage(WM_COMMAND, c.nID, 0);
    if (c.handler) EXPECT_EQ(g_handled, std::vector<std::string>{Expect(c.handler, c.nID)}) << c.nID;
    else EXPECT_TRUE(g_handled.empty()) << c.nID;
  }
  // Without an active view the document is out of reach: the frame comes first.
  m_pFrame->SetActiveView(nullptr);
  g_handled.clear();
  m_pFrame->SendMessage(WM_COMMAND, ID_CMD_ALL, 0);
  m_pFrame->SendMessage(WM_COMMAND, ID_CMD_DOCONLY, 0);
  EXPECT_EQ(g_handled, std::vector<std::string>{Expect("frame", ID_CMD_ALL)});
}

TEST_F(SampleProgram, AcceleratorKeysReachTheFrameThroughTheMessagePump) {
  m_pView->SetFocus();
  ::PostMessageW(m_pView->m_hWnd, WM_KEYDOWN, VK_F5, 0x003F0001);
  ASSERT_TRUE(wndtest::PumpUntil([] { return !g_handled.empty(); }, 3000));
  EXPECT_EQ(g_handled.front(), Expect("frame", ID_CMD_FRAMEONLY));
}

TEST_F(SampleProgram, IdleUpdatesToolbarButtonsAndMenuPopupsFromTheHandlers) {
  CToolBar& bar = m_pFrame->m_wndToolBar;
  m_app->OnIdle(0);
  EXPECT_TRUE(bar.SendMessage(TB_ISBUTTONENABLED, ID_CMD_VIEWONLY));
  EXPECT_FALSE(bar.SendMessage(TB_ISBUTTONENABLED, ID_CMD_UNHANDLED)) << "no handler: disabled";
  EXPECT_TRUE(bar.SendMessage(TB_ISBUTTONCHECKED, ID_CMD_DOCONLY)) << "the view's update handler";
  EXPECT_TRUE(bar.SendMessage(TB_ISBUTTONENABLED, ID_CMD_DOCONLY)) << "the document handles it";

  CMenu* pCommands = m_pFrame->GetMenu()->GetSubMenu(1);
  m_pFrame->SendMessage(WM_INITMENUPOPUP, (WPARAM)pCommands->m_hMenu, 1);
  EXPECT_TRUE(pCommands->GetMenuState(ID_CMD_UNHANDLED, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_FALSE(pCommands->GetMenuState(ID_CMD_APPONLY, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(pCommands->GetMenuState(ID_CMD_DOCONLY, MF_BYCOMMAND) & MF_CHECKED);
  CMenu* pView = m_pFrame->GetMenu()->GetSubMenu(2);
  m_pFrame->SendMessage(WM_INITMENUPOPUP, (WPARAM)pView->m_hMenu, 2);
  EXPECT_TRUE(pView->GetMenuState(ID_VIEW_TOOLBAR, MF_BYCOMMAND) & MF_CHECKED);
}

TEST_F(SampleProgram, InitialUpdateReachesViewsInsideOtherChildWindows) {
  EXPECT_EQ(m_pView->m_nInitialUpdates, 1);
  ASSERT_NE(m_pView->m_pInner, nullptr);
  EXPECT_EQ(m_pView->m_pInner->m_nInitialUpdates, 1);
  EXPECT_EQ(m_pView->m_pInner->GetParent()->m_hWnd, m_pView->m_tab.m_hWnd);
}

TEST_F(SampleProgram, BarsTakeTheirSidesAndTheViewGetsTheRestAlsoAfterADelayedHide) {
  CRect rcClient;
  m_pFrame->GetClientRect(&rcClient);
  CRect rcTool = ChildRect(m_pFrame->m_wndToolBar), rcStatus = ChildRect(m_pFrame->m_wndStatusBar),
        rcView = ChildRect(*m_pView);
  EXPECT_EQ(rcTool.top, 0);
  EXPECT_EQ(rcTool.Width(), rcClient.Width());
  EXPECT_GE(rcTool.Height(), 22);
  EXPECT_EQ(rcStatus.bottom, rcClient.bottom);
  EXPECT_EQ(rcView.top, rcTool.bottom);
  EXPECT_EQ(rcView.bottom, rcStatus.top);
  EXPECT_EQ(rcView.Width(), rcClient.Width());

  // Delayed: nothing moves until the next idle pass.
  m_pFrame->ShowControlBar(&m_pFrame->m_wndToolBar, FALSE, TRUE);
  EXPECT_TRUE(m_pFrame->m_wndToolBar.IsWindowVisible());
  EXPECT_EQ(ChildRect(*m_pView).top, rcTool.bottom);
  m_app->OnIdle(0);
  EXPECT_FALSE(m_pFrame->m_wndToolBar.IsWindowVisible());
  EXPECT_EQ(ChildRect(*m_pView).top, 0);

  // The View menu's command brings it back at once.
  m_pFrame->SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR, 0);
  EXPECT_TRUE(m_pFrame->m_wndToolBar.IsWindowVisible());
  EXPECT_EQ(ChildRect(*m_pView).top, rcTool.bottom);
}

TEST_F(SampleProgram, StatusBarShowsPromptsOfCommandsMenusAndToolTips) {
  m_pFrame->SetMessageText(ID_CMD_VIEWONLY);
  EXPECT_EQ(StatusText(), L"A command only the view handles");
  m_pFrame->SetMessageText(L"Scanning folders");
  EXPECT_EQ(StatusText(), L"Scanning folders");
  CMenu* pCommands = m_pFrame->GetMenu()->GetSubMenu(1);
  m_pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_CMD_DOCONLY, MF_STRING), (LPARAM)pCommands->m_hMenu);
  EXPECT_EQ(StatusText(), L"A command only the document handles");
  m_pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_EQ(StatusText(), L"Ready");
  // The window text of the bar is the message pane.
  CString barText;
  m_pFrame->m_wndStatusBar.GetWindowText(barText);
  EXPECT_EQ(barText, L"Ready");

  NMTTDISPINFOW tip = {};
  tip.hdr.hwndFrom = m_pFrame->m_wndToolBar.m_hWnd;
  tip.hdr.idFrom = ID_CMD_VIEWONLY;
  tip.hdr.code = TTN_GETDISPINFOW;
  m_pFrame->SendMessage(WM_NOTIFY, ID_CMD_VIEWONLY, (LPARAM)&tip);
  EXPECT_STREQ(tip.lpszText, L"View command");
}

TEST_F(SampleProgram, DocumentsSaveOpenAndEnterTheRecentFileListInTheRegistry) {
  wchar_t szTemp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, szTemp);
  CString path = CString(szTemp) + L"framework-sample.fws";
  m_pDoc->m_strText = L"Grüße aus dem Dokument";
  ASSERT_TRUE(m_pDoc->OnSaveDocument(path));
  m_pDoc->m_strText = L"changed in memory";

  // The single template reuses its document and frame.
  CDocument* pOpened = m_app->OpenDocumentFile(path);
  EXPECT_EQ(pOpened, m_pDoc);
  EXPECT_EQ(m_pDoc->m_strText, L"Grüße aus dem Dokument");
  EXPECT_EQ(m_pDoc->GetTitle(), L"framework-sample.fws");
  EXPECT_EQ(m_pFrame, m_app->m_pMainWnd);
  m_app->OnIdle(0);
  CString title;
  m_pFrame->GetWindowText(title);
  EXPECT_EQ(title, L"Framework Sample - framework-sample.fws");

  ASSERT_NE(m_app->m_pRecentFileList, nullptr);
  ASSERT_EQ(m_app->m_pRecentFileList->GetSize(), 1);
  EXPECT_EQ((*m_app->m_pRecentFileList)[0].CompareNoCase(path), 0);
  EXPECT_EQ(m_app->GetProfileString(L"Recent File List", L"File1").CompareNoCase(path), 0);

  // The File menu shows the entry in place of the placeholder.
  CMenu* pFile = m_pFrame->GetMenu()->GetSubMenu(0);
  m_pFrame->SendMessage(WM_INITMENUPOPUP, (WPARAM)pFile->m_hMenu, 0);
  CString item;
  pFile->GetMenuString(ID_FILE_MRU_FILE1, item, MF_BYCOMMAND);
  EXPECT_EQ(item.Left(3), L"&1 ");
  EXPECT_NE(item.Find(L"framework-sample.fws"), -1) << item.GetString();
  EXPECT_FALSE(pFile->GetMenuState(ID_FILE_MRU_FILE1, MF_BYCOMMAND) & MF_GRAYED);
  ::DeleteFileW(path);
}

TEST_F(SampleProgram, AnUnreadableFileIsReportedAndLeavesAnEmptyDocument) {
  wchar_t szTemp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, szTemp);
  CString path = CString(szTemp) + L"framework-broken.fws";
  HANDLE h = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  ::WriteFile(h, "\x40" "abc", 4, &written, nullptr);  // a string of 64 characters, cut short
  ::CloseHandle(h);
  m_pDoc->m_strText = L"before";

  wndtest::MessageBoxAnswerer answerer(::GetCurrentThreadId(), AFX_IDW_PANE_FIRST);
  EXPECT_EQ(m_app->OpenDocumentFile(path), nullptr);
  ASSERT_TRUE(answerer.Answered());
  EXPECT_NE(answerer.Text().find(L"framework-broken.fws"), std::wstring::npos) << answerer.Text();
  EXPECT_TRUE(::IsWindow(m_pFrame->m_hWnd)) << "the program goes on";
  EXPECT_EQ(m_pView->GetDocument(), m_pDoc);
  EXPECT_EQ(m_pDoc->m_strText, L"new") << "the half-read contents were replaced by a new document";
  EXPECT_EQ(m_pDoc->GetTitle(), L"Sample");
  EXPECT_EQ(m_app->m_pRecentFileList->GetSize(), 0) << "a file that failed is not remembered";
  ::DeleteFileW(path);
}

TEST_F(SampleProgram, ClosingTheMainFrameEndsTheMessageLoop) {
  HWND hFrame = m_pFrame->m_hWnd;
  m_pFrame->PostMessage(WM_CLOSE);
  bool bQuit = false;
  const DWORD start = ::GetTickCount();
  while (!bQuit && ::GetTickCount() - start < 3000) {
    MSG msg;
    if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) continue;
    if (msg.message == WM_QUIT) bQuit = true;
    else ::DispatchMessageW(&msg);
  }
  EXPECT_TRUE(bQuit);
  EXPECT_FALSE(::IsWindow(hFrame));
  EXPECT_EQ(m_app->m_pMainWnd, nullptr);
  EXPECT_EQ(m_app->GetOpenDocumentCount(), 0) << "the document goes with its last view";
}

TEST_F(SampleProgram, ScreenshotOfTheRunningSample) {
  m_pFrame->SetMessageText(L"Sample running under the framework");
  m_pView->m_tree.SelectItem(m_pView->m_tree.GetChildItem(m_pView->m_tree.GetRootItem()));
  m_pFrame->SetForegroundWindow();
  testsupport::DispatchWaiting();
  const std::wstring path = testsupport::ArtifactPath(L"framework-sample.png");
  ::DeleteFileW(path.c_str());
  EXPECT_GT(SaveWindowPng(m_pFrame->m_hWnd, path), 4) << "the capture should not be blank";
  EXPECT_NE(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

// ---------------------------------------------------------------------------------------
TEST(RecentFileList, KeepsTheNewestEntriesOnceAndReadsThemBack) {
  ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\") + kCompany).c_str());
  {
    CSampleApp app;
    app.SetRegistryKey(kCompany);
    app.LoadStdProfileSettings(3);
    for (LPCWSTR name : {L"C:\\data\\a.nsf", L"C:\\data\\b.nsf", L"C:\\data\\c.nsf", L"C:\\DATA\\A.NSF",
                         L"C:\\data\\d.nsf"})
      app.AddToRecentFileList(name);
  }
  CSampleApp app;
  app.SetRegistryKey(kCompany);
  EXPECT_EQ(app.GetProfileString(L"Recent File List", L"File1"), L"C:\\data\\d.nsf");
  EXPECT_EQ(app.GetProfileString(L"Recent File List", L"File2"), L"C:\\DATA\\A.NSF");
  EXPECT_EQ(app.GetProfileString(L"Recent File List", L"File3"), L"C:\\data\\c.nsf");
  EXPECT_EQ(app.GetProfileString(L"Recent File List", L"File4", L"<none>"), L"<none>");
  app.LoadStdProfileSettings(3);
  ASSERT_EQ(app.m_pRecentFileList->GetSize(), 3);
  EXPECT_EQ((*app.m_pRecentFileList)[1], L"C:\\DATA\\A.NSF");

  // Shortening for menus: relative inside the current folder, "..." when too long.
  CRecentFileList list(0, L"Recent File List", L"File%d", 4, 20);
  list.Add(L"C:\\data\\a.nsf");
  list.Add(L"C:\\a\\very\\deep\\folder\\name\\contacts.nsf");
  CString name;
  ASSERT_TRUE(list.GetDisplayName(name, 1, L"C:\\data\\", 8));
  EXPECT_EQ(name, L"a.nsf");
  ASSERT_TRUE(list.GetDisplayName(name, 0, L"C:\\data\\", 8));
  EXPECT_EQ(name, L"C:\\...\\contacts.nsf");
  EXPECT_FALSE(list.GetDisplayName(name, 2, nullptr, 0));
  ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\") + kCompany).c_str());
}

TEST(CommandLine, ArgumentsChooseTheShellCommand) {
  struct Case {
    std::vector<const wchar_t*> args;
    int command;
    const wchar_t* file;
  } cases[] = {
      {{}, CCommandLineInfo::FileNew, L""},
      {{L"contacts.nsf"}, CCommandLineInfo::FileOpen, L"contacts.nsf"},
      {{L"/p", L"contacts.nsf"}, CCommandLineInfo::FilePrint, L"contacts.nsf"},
      {{L"-Embedding"}, CCommandLineInfo::FileNothing, L""},
      {{L"/Unregister"}, CCommandLineInfo::AppUnregister, L""},
  };
  for (const Case& c : cases) {
    CCommandLineInfo info;
    for (size_t i = 0; i < c.args.size(); ++i) {
      const wchar_t* arg = c.args[i];
      const BOOL bFlag = arg[0] == L'/' || arg[0] == L'-';
      info.ParseParam(bFlag ? arg + 1 : arg, bFlag, i + 1 == c.args.size());
    }
    EXPECT_EQ((int)info.m_nShellCommand, c.command) << c.args.size();
    EXPECT_EQ(info.m_strFileName, c.file);
  }
}

TEST(ToolBarResource, ParsesVersionOneLayoutsAndRejectsOthers) {
  const WORD good[] = {1, 16, 15, 3, 100, 0, 101};
  const WORD badVersion[] = {2, 16, 15, 1, 100};
  const WORD shortList[] = {1, 16, 15, 4, 100, 101};
  const WORD zeroWidth[] = {1, 0, 15, 1, 100};
  struct Case {
    const void* data;
    DWORD size;
    BOOL ok;
  } cases[] = {{good, sizeof(good), TRUE},       {badVersion, sizeof(badVersion), FALSE},
               {shortList, sizeof(shortList), FALSE}, {zeroWidth, sizeof(zeroWidth), FALSE},
               {good, 6, FALSE},                 {nullptr, 0, FALSE}};
  for (const Case& c : cases) {
    CToolBarResource res;
    EXPECT_EQ(res.Parse(c.data, c.size), c.ok) << c.size;
  }
  CToolBarResource res;
  ASSERT_TRUE(res.Parse(good, sizeof(good)));
  EXPECT_EQ(res.wWidth, 16);
  EXPECT_EQ(res.wHeight, 15);
  ASSERT_EQ(res.ids.GetSize(), 3);
  EXPECT_EQ(res.ids[0], 100u);
  EXPECT_EQ(res.ids[1], 0u);
}

TEST(StatusBar, PanesTakeTheirTextWidthsAndTheFirstStretches) {
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), L"status host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                              600, 200, nullptr, nullptr));
  CStatusBar bar;
  ASSERT_TRUE(bar.Create(&parent));
  const UINT good[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_SCRL};
  ASSERT_TRUE(bar.SetIndicators(good, 3));
  bar.MoveWindow(0, 150, 600, 24);
  EXPECT_EQ(bar.GetPaneStyle(0), (UINT)(SBPS_NOBORDERS | SBPS_STRETCH));
  EXPECT_EQ(bar.CommandToIndex(ID_INDICATOR_SCRL), 2);
  EXPECT_EQ(bar.GetPaneText(1), L"CAP");
  CRect rc0, rc1, rc2;
  bar.GetItemRect(0, &rc0);
  bar.GetItemRect(1, &rc1);
  bar.GetItemRect(2, &rc2);
  EXPECT_GT(rc0.Width(), rc1.Width() * 3) << "the message pane takes the extra room";
  EXPECT_LE(rc0.right, rc1.left);
  EXPECT_GT(rc2.Width(), rc1.Width()) << "SCRL is wider than CAP";
  // A disabled pane keeps its text but shows none.
  bar.SetPaneStyle(1, bar.GetPaneStyle(1) | SBPS_DISABLED);
  EXPECT_EQ(bar.GetPaneText(1), L"CAP");
  wchar_t shown[16] = {};
  bar.SendMessage(SB_GETTEXTW, 1, (LPARAM)shown);
  EXPECT_STREQ(shown, L"");
  // The bar's window text is the message pane.
  bar.SetWindowText(L"Saving Item 3 of 10 ...");
  EXPECT_EQ(bar.GetPaneText(0), L"Saving Item 3 of 10 ...");
  // An indicator without a string stops the list there.
  const UINT missing[] = {ID_SEPARATOR, 0xBEEF, ID_INDICATOR_NUM};
  EXPECT_FALSE(bar.SetIndicators(missing, 3));
  EXPECT_EQ(bar.CommandToIndex(ID_INDICATOR_NUM), -1);
  parent.DestroyWindow();
}

TEST(ToolBar, LoadsButtonsAndImagesFromTheRawResource) {
  CWnd parent;
  ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), L"toolbar host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 200,
                              nullptr, nullptr));
  CToolBar bar;
  ASSERT_TRUE(bar.Create(&parent));
  ASSERT_TRUE(bar.LoadToolBar(IDR_SAMPLEFRAME));
  EXPECT_EQ(bar.GetCount(), 8);
  EXPECT_EQ(bar.CommandToIndex(ID_FILE_OPEN), 1);
  EXPECT_EQ(bar.CommandToIndex(ID_APP_ABOUT), 7);
  EXPECT_EQ(bar.GetItemID(2), 0u);
  EXPECT_EQ(bar.GetButtonStyle(2) & 0xFF, (UINT)TBSTYLE_SEP);
  UINT nID = 0, nStyle = 0;
  int iImage = -1;
  bar.GetButtonInfo(7, nID, nStyle, iImage);
  EXPECT_EQ(nID, (UINT)ID_APP_ABOUT);
  EXPECT_EQ(iImage, 5) << "images count buttons only, not separators";
  CRect rc;
  bar.GetItemRect(0, &rc);
  EXPECT_EQ(rc.Width(), 23);
  EXPECT_EQ(rc.Height(), 22);
  TTTOOLINFOW ti = {};
  EXPECT_EQ(bar.OnToolHitTest(rc.CenterPoint(), &ti), (INT_PTR)ID_FILE_NEW);
  EXPECT_EQ(ti.uId, (UINT_PTR)ID_FILE_NEW);
  EXPECT_EQ(CRect(ti.rect), rc);
  EXPECT_EQ(bar.OnToolHitTest(CPoint(390, 5), nullptr), -1) << "past the last button";
  bar.SetButtonStyle(3, bar.GetButtonStyle(3) | TBBS_DISABLED);
  EXPECT_FALSE(bar.SendMessage(TB_ISBUTTONENABLED, ID_CMD_VIEWONLY));
  CSize size = bar.CalcFixedLayout(FALSE, TRUE);
  EXPECT_GE(size.cx, 6 * 23);
  EXPECT_EQ(bar.CalcFixedLayout(TRUE, TRUE).cx, 32767);

  CToolBar bad;
  ASSERT_TRUE(bad.Create(&parent, WS_CHILD | CBRS_TOP, AFX_IDW_TOOLBAR + 1));
  EXPECT_FALSE(bad.LoadToolBar(IDR_BADVERSION));
  EXPECT_FALSE(bad.LoadToolBar(IDR_SHORTTOOLBAR));
  EXPECT_FALSE(bad.LoadToolBar(999)) << "no such resource";
  parent.DestroyWindow();
}

}  // namespace
