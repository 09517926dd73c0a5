// The list placeholders in menus and the custom control in a bar: the window list over a
// real MDI client, recent files, workspace actions from the MDI tab client, the OLE verbs
// placeholder, creation from menu items by id, drops onto bars, and the custom control's
// hosted window in horizontal and vertical bars.
#include <framework.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <test_picture.h>

#include "CtrlsTestSupport.h"
#include "XTPCommandBars.h"
#include "XTPControlCustom.h"
#include "XTPControlLists.h"
#include "XTPControls.h"
#include "XTPMouseManager.h"
#include "XTPPopupBar.h"
#include "XTPTabClientWnd.h"

using namespace cbtest;
using namespace ctrltest;

namespace {

// An MDI frame with a real "MDICLIENT" whose children are numbered from 0xFF00.
class CTestMDIFrame : public CMDIFrameWnd {
 public:
  std::vector<int> commands;
  BOOL CreateFrame(const CRect& rc) {
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1));
    if (!CWnd::CreateEx(0, cls, L"mdi frame", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, rc.left, rc.top,
                        rc.Width(), rc.Height(), NULL, NULL))
      return FALSE;
    CLIENTCREATESTRUCT ccs = {};
    ccs.idFirstChild = 0xFF00;
    CRect rcClient;
    GetClientRect(&rcClient);
    m_hWndMDIClient = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", NULL, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0,
                                        rcClient.Width(), rcClient.Height(), m_hWnd, (HMENU)(UINT_PTR)0xE900,
                                        ::GetModuleHandleW(NULL), &ccs);
    return m_hWndMDIClient != NULL;
  }
  HWND AddChild(LPCWSTR lpszTitle) {
    static bool registered = false;
    if (!registered) {
      WNDCLASSW wc = {};
      wc.lpfnWndProc = ::DefMDIChildProcW;
      wc.hInstance = ::GetModuleHandleW(NULL);
      wc.hCursor = ::LoadCursorW(NULL, IDC_ARROW);
      wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
      wc.lpszClassName = L"VorlixTestMDIChild";
      ::RegisterClassW(&wc);
      registered = true;
    }
    MDICREATESTRUCTW mcs = {};
    mcs.szClass = L"VorlixTestMDIChild";
    mcs.szTitle = lpszTitle;
    mcs.hOwner = ::GetModuleHandleW(NULL);
    mcs.x = mcs.y = mcs.cx = mcs.cy = CW_USEDEFAULT;
    mcs.style = WS_VISIBLE;
    return (HWND)::SendMessageW(m_hWndMDIClient, WM_MDICREATE, 0, (LPARAM)&mcs);
  }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND && lParam == 0) commands.push_back(LOWORD(wParam));
    if (message == WM_SIZE && m_hWndMDIClient != NULL)
      ::MoveWindow(m_hWndMDIClient, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
    if (message == WM_CREATE || message == WM_NCCREATE || message == WM_SIZE) return CWnd::WindowProc(message, wParam, lParam);
    return ::DefFrameProcW(m_hWnd, m_hWndMDIClient, message, wParam, lParam);
  }
};

// The captions of the controls after index nFrom that are temporary.
std::vector<CString> GeneratedCaptions(CXTPControls* pControls, int nFrom) {
  std::vector<CString> captions;
  for (int i = nFrom + 1; i < pControls->GetCount(); i++) {
    CXTPControl* pControl = pControls->GetAt(i);
    if (!pControl->IsTemporary()) break;
    captions.push_back(pControl->GetCaption());
  }
  return captions;
}

class MenuLists : public ::testing::Test {
 protected:
  // A frame deletes itself when its window goes (as every frame does), so it lives on the heap.
  CTestMDIFrame* pFrame = new CTestMDIFrame();
  CTestCommandBars* pCommandBars = NULL;
  CXTPPopupBar* pMenu = NULL;

  void SetUp() override {
    ParkPointer();
    CXTPPaintManager::SetCustomTheme(new CFieldPaintManager());
    ASSERT_TRUE(pFrame->CreateFrame(CRect(30, 30, 630, 470)));
    Activate(pFrame->GetSafeHwnd());
    pCommandBars = new CTestCommandBars();
    pCommandBars->SetSite(pFrame);
    pMenu = CXTPPopupBar::CreatePopupBar(pCommandBars);
    ASSERT_NE(nullptr, pMenu);
  }
  void TearDown() override {
    XTPMouseManager()->CloseAllTrackingBars();
    if (pMenu != NULL) pMenu->InternalRelease();
    if (pCommandBars != NULL) pCommandBars->InternalRelease();
    CXTPPaintManager::SetTheme(0);
    // Destroying the window deletes the frame; a frame whose window was never made deleted
    // itself then.
    if (::IsWindow(pFrame->GetSafeHwnd())) pFrame->DestroyWindow();
    PumpFor(20);
  }
  CXTPControls* Controls() { return pMenu->GetControls(); }
};

TEST_F(MenuLists, MenuItemsAndControlIdsMakeThePlaceholderKinds) {
  CMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendMenu(MF_STRING, 35000, _T("Windows"));
  menu.AppendMenu(MF_STRING, 0xE800, _T("Toolbars"));
  menu.AppendMenu(MF_STRING, 57872, _T("<<OLE VERBS GO HERE>>"));
  menu.AppendMenu(MF_STRING, 57616, _T("Recent File"));
  menu.AppendMenu(MF_STRING, 35002, _T("Workspace"));
  menu.AppendMenu(MF_STRING, 57872, _T("Object"));
  ASSERT_TRUE(Controls()->LoadMenu(&menu));
  ASSERT_EQ(6, Controls()->GetCount());
  EXPECT_TRUE(Controls()->GetAt(0)->IsKindOf(RUNTIME_CLASS(CXTPControlWindowList)));
  EXPECT_TRUE(Controls()->GetAt(1)->IsKindOf(RUNTIME_CLASS(CXTPControlToolbars)));
  EXPECT_TRUE(Controls()->GetAt(2)->IsKindOf(RUNTIME_CLASS(CXTPControlOleItems)));
  EXPECT_TRUE(Controls()->GetAt(3)->IsKindOf(RUNTIME_CLASS(CXTPControlRecentFileList)));
  EXPECT_TRUE(Controls()->GetAt(4)->IsKindOf(RUNTIME_CLASS(CXTPControlWorkspaceActions)));
  EXPECT_FALSE(Controls()->GetAt(5)->IsKindOf(RUNTIME_CLASS(CXTPControlOleItems)));  // another text
  EXPECT_TRUE(Controls()->Add(xtpControlButton, 35003)->IsKindOf(RUNTIME_CLASS(CXTPControlRecentFileList)));
  EXPECT_TRUE(Controls()->Add(xtpControlEdit, 1)->IsKindOf(RUNTIME_CLASS(CXTPControlEdit)));
  EXPECT_TRUE(Controls()->Add(xtpControlComboBox, 2)->IsKindOf(RUNTIME_CLASS(CXTPControlComboBox)));
  EXPECT_TRUE(Controls()->Add(xtpControlCustom, 3)->IsKindOf(RUNTIME_CLASS(CXTPControlCustom)));
  for (int i = 0; i < 5; i++) EXPECT_EQ(xtpControlButton, Controls()->GetAt(i)->GetType());
  EXPECT_EQ(0x80000010u, (UINT)RUNTIME_CLASS(CXTPControlWindowList)->m_wSchema);
}

TEST_F(MenuLists, WindowListShowsNineOfTenChildrenWithAmpersandsDoubled) {
  std::vector<HWND> children;
  for (int i = 1; i <= 10; i++) {
    CString title;
    title.Format(i == 2 ? _T("R&D %d") : _T("Doc %d"), i);
    children.push_back(pFrame->AddChild(title));
    ASSERT_NE(nullptr, children.back());
  }
  EXPECT_EQ(0xFF00, ::GetDlgCtrlID(children[0]));
  Controls()->Add(xtpControlButton, 100)->SetCaption(_T("&Cascade"));
  CXTPControl* pList = Controls()->Add(xtpControlButton, 35000);
  Controls()->Add(xtpControlButton, 101)->SetCaption(_T("After"));
  ASSERT_TRUE(pList->IsKindOf(RUNTIME_CLASS(CXTPControlWindowList)));
  pList->OnBarLayout(0);
  EXPECT_EQ(xtpHideGeneric, pList->GetHideFlags());
  const std::vector<CString> captions = GeneratedCaptions(Controls(), pList->GetIndex());
  ASSERT_EQ(9u, captions.size());
  EXPECT_EQ(CString(_T("&1 Doc 1")), captions[0]);
  EXPECT_EQ(CString(_T("&2 R&&D 2")), captions[1]);
  EXPECT_EQ(CString(_T("&9 Doc 9")), captions[8]);
  // The last created child is active: it is the tenth, so no item is checked.
  for (int i = 0; i < 9; i++) EXPECT_FALSE(Controls()->GetAt(pList->GetIndex() + 1 + i)->GetChecked());
  EXPECT_TRUE(Controls()->GetAt(pList->GetIndex() + 1)->GetBeginGroup());
  EXPECT_EQ(0xFF00, Controls()->GetAt(pList->GetIndex() + 1)->GetID());
  EXPECT_EQ(CString(_T("After")), Controls()->GetAt(pList->GetIndex() + 10)->GetCaption());

  // Activating the third child checks its item; a hidden child is skipped; a second layout
  // replaces the items rather than adding more.
  ::SendMessage(pFrame->m_hWndMDIClient, WM_MDIACTIVATE, (WPARAM)children[2], 0);
  ::ShowWindow(children[0], SW_HIDE);
  pList->OnBarLayout(0);
  const std::vector<CString> again = GeneratedCaptions(Controls(), pList->GetIndex());
  ASSERT_EQ(9u, again.size());
  EXPECT_EQ(CString(_T("&1 R&&D 2")), again[0]);
  EXPECT_EQ(CString(_T("&9 Doc 10")), again[8]);
  EXPECT_TRUE(Controls()->GetAt(pList->GetIndex() + 2)->GetChecked());
  EXPECT_EQ(pList->GetIndex() + 10, Controls()->GetCount() - 1);

  // Running an item sends its id to the frame, whose MDI client activates that child.
  Controls()->GetAt(pList->GetIndex() + 4)->Execute();
  EXPECT_EQ(children[4], (HWND)::SendMessage(pFrame->m_hWndMDIClient, WM_MDIGETACTIVE, 0, 0));

  // In customize mode the placeholder shows itself and generates nothing.
  pCommandBars->SetCustomizeFlag(TRUE);
  pList->OnBarLayout(0);
  EXPECT_EQ(0u, pList->GetHideFlags());
  EXPECT_TRUE(GeneratedCaptions(Controls(), pList->GetIndex()).empty());
  pCommandBars->SetCustomizeFlag(FALSE);

  // The open menu shows the list: a picture of it.
  pList->OnBarLayout(0);
  ASSERT_TRUE(pMenu->PopupAt(200, 100));
  PumpFor(100);
  CRect rc;
  pMenu->GetWindowRect(&rc);
  testsupport::CSnapshot shot(rc.Width(), rc.Height());
  CClientDC screen(nullptr);
  shot.DC().BitBlt(0, 0, rc.Width(), rc.Height(), &screen, rc.left, rc.top, SRCCOPY);
  shot.SavePng(testsupport::ArtifactPath(L"commandbars\\window_list_menu.png"));
  EXPECT_GT(rc.Height(), 9 * 20);
}

// A menu opened with a list that has not generated its items yet: the opening makes them,
// and they and the items after them are all laid out inside the popup, in their order.
TEST_F(MenuLists, ItemsAfterAListGeneratedAtOpeningAreLaidOutInsideThePopup) {
  for (const wchar_t* title : {L"One", L"Two", L"Three"}) ASSERT_NE(nullptr, pFrame->AddChild(title));
  Controls()->Add(xtpControlButton, 100)->SetCaption(_T("&Cascade"));
  CXTPControl* pList = Controls()->Add(xtpControlButton, 35000);
  CXTPControl* pAfter = Controls()->Add(xtpControlButton, 101);
  pAfter->SetCaption(_T("&After"));
  CXTPControl* pLast = Controls()->Add(xtpControlButton, 102);
  pLast->SetCaption(_T("&Last"));
  pLast->SetBeginGroup(TRUE);
  ASSERT_EQ(4, Controls()->GetCount());
  ASSERT_TRUE(pMenu->PopupAt(200, 100));
  PumpFor(100);
  ASSERT_EQ(7, Controls()->GetCount()) << "the list's three items";
  CRect rcClient;
  pMenu->GetClientRect(&rcClient);
  // Top to bottom: Cascade, the three windows, After, then Last below a separator; every
  // one shown and inside the popup.
  const int order[] = {0, 2, 3, 4, 5, 6};
  int nPreviousBottom = 0;
  for (int i : order) {
    CXTPControl* pControl = Controls()->GetAt(i);
    const CRect rc = pControl->GetRect();
    EXPECT_TRUE(pControl->IsVisible()) << i;
    EXPECT_FALSE(rc.IsRectEmpty()) << i;
    EXPECT_GE(rc.top, nPreviousBottom) << i;
    EXPECT_LE(rc.bottom, rcClient.bottom) << i;
    nPreviousBottom = rc.bottom;
  }
  EXPECT_EQ(pAfter, Controls()->GetAt(5));
  EXPECT_GT(pLast->GetRect().top, pAfter->GetRect().bottom) << "the separator before Last";
  EXPECT_FALSE(pList->IsVisible());
}

TEST_F(MenuLists, WindowListUnderAFrameWithoutMDIClientShowsItself) {
  CRecordingSite site;
  ASSERT_TRUE(testsupport::CreateTestWindow(site, CRect(50, 50, 300, 200), L"sdi"));
  pCommandBars->SetSite(&site);
  CXTPControl* pList = Controls()->Add(xtpControlButton, 35000);
  pList->SetCaption(_T("&Windows"));
  for (int i = 0; i < 2; i++) {
    pList->OnBarLayout(0);
    EXPECT_EQ(0u, pList->GetHideFlags());
    EXPECT_EQ(1, Controls()->GetCount());
  }
  pCommandBars->SetSite(pFrame);
  site.DestroyWindow();
}

TEST_F(MenuLists, WindowListKeepsAControlTheUserPutAfterIt) {
  pFrame->AddChild(L"One");
  CXTPControl* pList = Controls()->Add(xtpControlButton, 35000);
  CXTPControl* pMine = Controls()->Add(xtpControlButton, 0xFF40);
  pMine->SetCaption(_T("Mine"));
  pList->OnBarLayout(0);
  pList->OnBarLayout(0);
  ASSERT_EQ(3, Controls()->GetCount());
  EXPECT_EQ(CString(_T("&1 One")), Controls()->GetAt(1)->GetCaption());
  EXPECT_EQ(pMine, Controls()->GetAt(2));
}

// A recent-file list the test owns, in place of the application's.
class CTestRecentFiles : public CXTPControlRecentFileList {
 public:
  CRecentFileList* pList = NULL;
  CRecentFileList* GetRecentFileList() override { return pList; }
};

TEST_F(MenuLists, RecentFilesNumberedAndEmptyListDisabled) {
  CRecentFileList list(0, _T("Recent File List"), _T("File%d"), 4);
  CTestRecentFiles* pRecent = new CTestRecentFiles();
  pRecent->pList = &list;
  Controls()->Add(xtpControlButton, 100)->SetCaption(_T("&Open"));
  Controls()->Add(pRecent, 57616);
  pRecent->SetCaption(_T("Recent File"));

  pRecent->OnBarLayout(0);
  EXPECT_EQ(0u, pRecent->GetHideFlags());
  EXPECT_FALSE(pRecent->GetEnabled());
  EXPECT_EQ(2, Controls()->GetCount());

  WCHAR szDir[MAX_PATH] = {};
  ::GetCurrentDirectoryW(MAX_PATH, szDir);
  const CString strDir = szDir;
  list.Add(_T("C:\\elsewhere\\d.nsf"));
  list.Add(strDir + _T("\\c&c.nsf"));
  list.Add(_T("C:\\elsewhere\\b.nsf"));
  list.Add(strDir + _T("\\a.nsf"));
  pRecent->OnBarLayout(0);
  EXPECT_EQ(xtpHideGeneric, pRecent->GetHideFlags());
  const std::vector<CString> captions = GeneratedCaptions(Controls(), pRecent->GetIndex());
  ASSERT_EQ(4u, captions.size());
  EXPECT_EQ(CString(_T("&1 a.nsf")), captions[0]);
  EXPECT_EQ(0, captions[1].Find(_T("&2 ")));
  EXPECT_NE(-1, captions[1].Find(_T("b.nsf")));
  EXPECT_EQ(CString(_T("&3 c&&c.nsf")), captions[2]);
  EXPECT_EQ(0, captions[3].Find(_T("&4 ")));
  for (int i = 0; i < 4; i++) EXPECT_EQ(57616 + i, Controls()->GetAt(pRecent->GetIndex() + 1 + i)->GetID());
  EXPECT_TRUE(Controls()->GetAt(pRecent->GetIndex() + 1)->GetBeginGroup());
  EXPECT_TRUE(Controls()->GetAt(pRecent->GetIndex() + 1)->GetFlags() & xtpFlagManualUpdate);

  ASSERT_TRUE(pMenu->PopupAt(200, 100));
  PumpFor(100);
  {
    CRect rc;
    pMenu->GetWindowRect(&rc);
    testsupport::CSnapshot shot(rc.Width(), rc.Height());
    CClientDC screen(nullptr);
    shot.DC().BitBlt(0, 0, rc.Width(), rc.Height(), &screen, rc.left, rc.top, SRCCOPY);
    shot.SavePng(testsupport::ArtifactPath(L"commandbars\\recent_files_menu.png"));
  }
  XTPMouseManager()->CloseAllTrackingBars();
  PumpFor(30);

  // Emptied again: the items go, the placeholder shows disabled.
  while (list.GetSize() > 0) list.Remove(0);
  pRecent->OnBarLayout(0);
  EXPECT_EQ(2, Controls()->GetCount());
  EXPECT_FALSE(pRecent->GetEnabled());
  EXPECT_EQ(0u, pRecent->GetHideFlags());

  ASSERT_TRUE(pMenu->PopupAt(200, 100));
  PumpFor(100);
  CRect rc;
  pMenu->GetWindowRect(&rc);
  testsupport::CSnapshot shot(rc.Width(), rc.Height());
  CClientDC screen(nullptr);
  shot.DC().BitBlt(0, 0, rc.Width(), rc.Height(), &screen, rc.left, rc.top, SRCCOPY);
  shot.SavePng(testsupport::ArtifactPath(L"commandbars\\recent_files_empty.png"));
}

// The first time a menu opens, the controls behind a list are laid out below its items:
// none is left out because the list grew while the menu was being laid out.
TEST_F(MenuLists, ControlsAfterAListShowTheFirstTimeTheMenuOpens) {
  CRecentFileList list(0, _T("Recent File List"), _T("File%d"), 4);
  list.Add(_T("C:\\elsewhere\\b.nsf"));
  list.Add(_T("C:\\elsewhere\\a.nsf"));
  list.Add(_T("C:\\elsewhere\\c.nsf"));
  CTestRecentFiles* pRecent = new CTestRecentFiles();
  pRecent->pList = &list;
  Controls()->Add(xtpControlButton, 100)->SetCaption(_T("&Open"));
  Controls()->Add(pRecent, 57616);
  pRecent->SetCaption(_T("Recent File"));
  Controls()->Add(xtpControlButton, 101)->SetCaption(_T("&Save"));
  CXTPControl* pExit = Controls()->Add(xtpControlButton, 102);
  pExit->SetCaption(_T("E&xit"));
  pExit->SetBeginGroup(TRUE);
  ASSERT_EQ(4, Controls()->GetCount());

  ASSERT_TRUE(pMenu->PopupAt(200, 100));
  PumpFor(100);
  CRect rcClient;
  pMenu->GetClientRect(&rcClient);
  // Open, the three files, Save and Exit, one below the other, all inside the menu.
  std::vector<int> ids;
  int nBottom = 0;
  for (int i = 0; i < Controls()->GetCount(); i++) {
    CXTPControl* pControl = Controls()->GetAt(i);
    if (!pControl->IsVisible()) continue;
    ids.push_back(pControl->GetID());
    const CRect rc = pControl->GetRect();
    EXPECT_FALSE(rc.IsRectEmpty()) << "control " << pControl->GetID();
    EXPECT_GE(rc.top, nBottom) << "control " << pControl->GetID();
    EXPECT_LE(rc.bottom, rcClient.bottom) << "control " << pControl->GetID();
    nBottom = rc.bottom;
  }
  EXPECT_EQ(std::vector<int>({100, 57616, 57617, 57618, 101, 102}), ids);
  CRect rc;
  pMenu->GetWindowRect(&rc);
  testsupport::CSnapshot shot(rc.Width(), rc.Height());
  CClientDC screen(nullptr);
  shot.DC().BitBlt(0, 0, rc.Width(), rc.Height(), &screen, rc.left, rc.top, SRCCOPY);
  shot.SavePng(testsupport::ArtifactPath(L"commandbars\\recent_files_first_open.png"));
}

TEST_F(MenuLists, WorkspaceActionsAskTheTabClient) {
  pFrame->AddChild(L"First");
  pFrame->AddChild(L"Second");
  CXTPControl* pActions = Controls()->Add(xtpControlButton, 35002);
  pActions->SetBeginGroup(TRUE);
  ASSERT_TRUE(pActions->IsKindOf(RUNTIME_CLASS(CXTPControlWorkspaceActions)));
  // Without a tab client on the MDI client nothing is generated and the placeholder stays.
  pActions->OnBarLayout(0);
  EXPECT_EQ(1, Controls()->GetCount());
  EXPECT_EQ(0u, pActions->GetHideFlags());

  CXTPTabClientWnd tabClient;
  ASSERT_TRUE(tabClient.Attach(pFrame));
  tabClient.Refresh();
  pActions->OnBarLayout(0);
  EXPECT_EQ(xtpHideGeneric, pActions->GetHideFlags());
  std::vector<int> ids;
  std::vector<CString> captions;
  for (int i = pActions->GetIndex() + 1; i < Controls()->GetCount(); i++) {
    ids.push_back(Controls()->GetAt(i)->GetID());
    captions.push_back(Controls()->GetAt(i)->GetCaption());
  }
  std::vector<int> expected;
  for (UINT nId : {9422u, 9423u, 9420u, 9421u})
    if (tabClient.IsWorkspaceCommandEnabled(nId)) expected.push_back((int)nId);
  EXPECT_EQ(expected, ids);
  ASSERT_FALSE(ids.empty());
  EXPECT_EQ(9422, ids[0]);  // two tabs in one group: a new group can be made
  EXPECT_EQ(CString(_T("New Hori&zontal Tab Group")), captions[0]);
  EXPECT_TRUE(Controls()->GetAt(pActions->GetIndex() + 1)->GetBeginGroup());
  EXPECT_TRUE(Controls()->GetAt(pActions->GetIndex() + 1)->GetDescriptionText().IsEmpty());
  pActions->OnBarLayout(0);
  EXPECT_EQ(1 + (int)expected.size(), Controls()->GetCount());
  tabClient.Detach();
}

TEST_F(MenuLists, OleVerbsPlaceholderHidesOutsideCustomizeMode) {
  CMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendMenu(MF_STRING, 57872, _T("<<OLE VERBS GO HERE>>"));
  ASSERT_TRUE(Controls()->LoadMenu(&menu));
  CXTPControl* pOle = Controls()->GetAt(0);
  pOle->OnBarLayout(0);
  EXPECT_EQ(xtpHideGeneric, pOle->GetHideFlags());
  EXPECT_EQ(1, Controls()->GetCount());
  pCommandBars->SetCustomizeFlag(TRUE);
  pOle->OnBarLayout(0);
  EXPECT_EQ(0u, pOle->GetHideFlags());
  pCommandBars->SetCustomizeFlag(FALSE);
}

TEST_F(MenuLists, PlaceholdersAcceptDropsOnlyOnMenus) {
  CRowBar bar;
  bar.SetCommandBars(pCommandBars);
  ASSERT_TRUE(bar.CreateAt(CRect(10, 10, 300, 40), pFrame));
  const int ids[] = {35000, 0xE800, 35003};
  for (int nId : ids) {
    CXTPControl* pControl = Controls()->Add(xtpControlButton, nId);
    DROPEFFECT effect = DROPEFFECT_MOVE;
    EXPECT_TRUE(pControl->AcceptsDrop(pMenu, CPoint(0, 0), &effect)) << nId;
    EXPECT_EQ((DROPEFFECT)DROPEFFECT_MOVE, effect) << nId;
    EXPECT_FALSE(pControl->AcceptsDrop(&bar, CPoint(0, 0), &effect)) << nId;
    EXPECT_EQ((DROPEFFECT)DROPEFFECT_NONE, effect) << nId;
  }
  CXTPControl* pOle = new CXTPControlOleItems();
  Controls()->Add(pOle, 57872);
  DROPEFFECT effect = DROPEFFECT_COPY;
  EXPECT_FALSE(pOle->AcceptsDrop(&bar, CPoint(0, 0), &effect));
  EXPECT_EQ((DROPEFFECT)DROPEFFECT_NONE, effect);
  bar.DestroyWindow();
}

TEST(NumberedCaptions, ByPosition) {
  struct Case {
    int n;
    LPCTSTR text, expected;
  } cases[] = {{1, _T("a"), _T("&1 a")},     {9, _T("b"), _T("&9 b")},   {10, _T("c"), _T("1&0 c")},
               {11, _T("d"), _T("11 d")},    {0, _T("e&f"), _T("e&&f")}, {3, _T("&&"), _T("&3 &&&&")}};
  for (const Case& c : cases)
    EXPECT_EQ(CString(c.expected), CXTPControlWindowList::NumberedCaption(c.n, c.text)) << c.n;
}

// ---- Custom control ----

class CustomControl : public ::testing::Test {
 protected:
  CRecordingSite site;
  CTestCommandBars* pCommandBars = NULL;
  CRowBar bar;
  CButton button;
  CXTPControlCustom* pCustom = NULL;
  const int kCustomId = 601;
  const int kButtonId = 0x321;

  void SetUp() override {
    ParkPointer();
    CXTPPaintManager::SetCustomTheme(new CFieldPaintManager());
    ASSERT_TRUE(testsupport::CreateTestWindow(site, CRect(40, 40, 640, 440), L"custom site"));
    Activate(site.GetSafeHwnd());
    pCommandBars = new CTestCommandBars();
    pCommandBars->SetSite(&site);
    bar.SetCommandBars(pCommandBars);
    ASSERT_TRUE(bar.CreateAt(CRect(20, 20, 500, 60), &site));
    ASSERT_TRUE(button.Create(_T("Hosted"), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(300, 300, 380, 324), &site, kButtonId));
    bar.GetControls()->Add(xtpControlButton, 600)->SetCaption(_T("Before"));
    pCustom = static_cast<CXTPControlCustom*>(bar.GetControls()->Add(xtpControlCustom, kCustomId));
    ASSERT_NE(nullptr, pCustom);
    ASSERT_TRUE(pCustom->IsKindOf(RUNTIME_CLASS(CXTPControlCustom)));
    pCustom->SetCaption(_T("Custom"));
    pCustom->SetControl(&button);
    pCustom->SetBorders(2, 1, 2, 1);
    site.events.clear();
  }
  void TearDown() override {
    XTPMouseManager()->CloseAllTrackingBars();
    bar.DestroyWindow();
    if (pCommandBars != NULL) pCommandBars->InternalRelease();
    CXTPPaintManager::SetTheme(0);
    site.DestroyWindow();
    PumpFor(20);
  }
  CRect ButtonRectInBar() {
    CRect rc;
    button.GetWindowRect(&rc);
    bar.ScreenToClient(&rc);
    return rc;
  }
};

TEST_F(CustomControl, HostsTheWindowInsideItsBorders) {
  EXPECT_EQ(xtpFlagNoCustomize, pCustom->GetFlags() & xtpFlagNoCustomize);
  EXPECT_EQ(CSize(80, 24), pCustom->GetControlSize());
  EXPECT_EQ(kButtonId, pCustom->GetControlId());
  bar.Layout();
  EXPECT_EQ(bar.GetSafeHwnd(), ::GetParent(button.GetSafeHwnd()));
  EXPECT_TRUE(button.GetStyle() & WS_CHILD);
  EXPECT_TRUE(button.IsWindowVisible());
  CRect rcControl = pCustom->GetRect();
  EXPECT_EQ(84, rcControl.Width());
  EXPECT_EQ(26, rcControl.Height());
  rcControl.DeflateRect(2, 1, 2, 1);
  EXPECT_EQ(rcControl, ButtonRectInBar());
  pCustom->SetEnabled(FALSE);
  EXPECT_FALSE(button.IsWindowEnabled());
  pCustom->SetEnabled(TRUE);
}

TEST_F(CustomControl, VerticalOptionTwoShowsAButtonAndHidesTheWindow) {
  pCustom->SetVerticalPositionOption(CXTPControlCustom::xtpVerticalButton);
  bar.Layout();
  EXPECT_TRUE(button.IsWindowVisible());
  bar.Layout(true);
  EXPECT_FALSE(button.IsWindowVisible());
  EXPECT_FALSE(pCustom->IsWindowShown());
  EXPECT_EQ(0u, pCustom->GetHideFlags());
  EXPECT_NE(84, pCustom->GetRect().Width());  // the button's size, not the window's
  // Drawn as a button while the window is hidden: the caption's box is painted.
  testsupport::CSnapshot shot(bar.GetSafeHwnd(), testsupport::WindowArea::Client);
  shot.SavePng(testsupport::ArtifactPath(L"commandbars\\custom_vertical_button.png"));
  // Clicking it as a button runs its command.
  CRect rcButton = pCustom->GetRect();
  bar.ClientToScreen(&rcButton);
  ClickAt(rcButton.CenterPoint());
  PumpUntil([&] { return site.CountCode(kCustomId, -1) > 0; }, 1000);
  EXPECT_EQ(1, site.CountCode(kCustomId, -1));
  bar.Layout(false);
  EXPECT_TRUE(button.IsWindowVisible());
  EXPECT_TRUE(pCustom->IsWindowShown());
  EXPECT_EQ(84, pCustom->GetRect().Width());
  CRect rc = pCustom->GetRect();
  rc.DeflateRect(2, 1, 2, 1);
  EXPECT_EQ(rc, ButtonRectInBar());
}

TEST_F(CustomControl, VerticalOptionZeroHidesTheControl) {
  bar.Layout(true);
  EXPECT_TRUE(pCustom->GetHideFlags() & xtpHideDockingPosition);
  EXPECT_FALSE(button.IsWindowVisible());
  bar.Layout(false);
  EXPECT_EQ(0u, pCustom->GetHideFlags());
  EXPECT_TRUE(button.IsWindowVisible());
}

TEST_F(CustomControl, ClickingTheHostedWindowNeverRunsTheCommand) {
  bar.Layout();
  CRect rc;
  button.GetWindowRect(&rc);
  ClickAt(rc.CenterPoint());
  PumpFor(100);
  pCustom->OnClick(FALSE, pCustom->GetRect().CenterPoint());
  PumpFor(50);
  EXPECT_EQ(0, site.CountCode(kCustomId, -1));
}

TEST_F(CustomControl, ReattachesByControlIdAfterLoading) {
  CXTPControlCustom* pLoaded = static_cast<CXTPControlCustom*>(bar.GetControls()->Add(xtpControlCustom, 602));
  pLoaded->SetControlId(kButtonId);
  EXPECT_TRUE(pLoaded->AttachByControlId());
  EXPECT_EQ(button.GetSafeHwnd(), pLoaded->GetControl());
  CXTPControlCustom* pMissing = static_cast<CXTPControlCustom*>(bar.GetControls()->Add(xtpControlCustom, 603));
  pMissing->SetControlId(0x7777);
  EXPECT_FALSE(pMissing->AttachByControlId());
  EXPECT_EQ(nullptr, pMissing->GetControl());
  EXPECT_EQ(0, pMissing->GetControlSize().cx);
}

TEST_F(CustomControl, CopyKeepsBordersSizeOptionsAndWindow) {
  pCustom->SetVerticalPositionOption(2);
  CXTPControlCustom* pClone = static_cast<CXTPControlCustom*>(pCustom->Clone());
  ASSERT_NE(nullptr, pClone);
  EXPECT_EQ(CRect(2, 1, 2, 1), pClone->GetBorders());
  EXPECT_EQ(CSize(80, 24), pClone->GetControlSize());
  EXPECT_EQ(2, pClone->GetVerticalPositionOption());
  EXPECT_EQ(button.GetSafeHwnd(), pClone->GetControl());
  EXPECT_EQ(kButtonId, pClone->GetControlId());
  pClone->InternalRelease();
}

}  // namespace
