// The menu bar in real frames driven by real keys and clicks (SendInput): it takes the
// frame's menu away; Alt and F10 alone select its first item, Shift+Alt does nothing;
// arrows move across the bar and Down into a menu, Escape steps back; Alt+mnemonic opens a
// menu; the hidden print commands wait behind the expand row. In a multiple-document frame
// with a real "MDICLIENT" window: a maximized child brings its system menu and its window
// buttons, restoring it takes them away, a child without a minimize box gets no minimize
// button, the close button closes the child, and each document menu keeps its own
// customisation. Screenshots in both themes.
#include <framework.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include <test_picture.h>

#include "CommandBarsTestSupport.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPControl.h"
#include "XTPControls.h"
#include "XTPFrameWnd.h"
#include "XTPMenuBar.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"

using namespace cbtest;
using testsupport::Dispatch;

BEGIN_MESSAGE_MAP(cbtest::CCommandFrame, CXTPFrameWnd)
  ON_COMMAND_RANGE(57600, 57643, OnMenuCommand)  // File and Edit commands, not Exit
END_MESSAGE_MAP()

namespace {

const UINT kFrameMenu = 128, kDocMenu = 129;

void PumpFrame(DWORD ms) { testsupport::PumpFor(ms, Dispatch::PreTranslate); }
bool PumpFrameUntil(const std::function<bool()>& done, DWORD ms) {
  return testsupport::PumpUntil(done, ms, Dispatch::PreTranslate);
}
void Keys(std::vector<std::pair<WORD, bool>> keys, DWORD ms = 120) {
  for (const auto& k : keys) KeyEvent(k.first, k.second);
  PumpFrame(ms);
}
void Tap(WORD vk, DWORD ms = 120) { Keys({{vk, false}, {vk, true}}, ms); }

void ShootScreen(CRect rc, const CString& name) { EXPECT_TRUE(SaveScreenPng(rc, (LPCWSTR)name)); }

// The open popups of the thread, outermost first.
std::vector<CXTPPopupBar*> OpenPopups() {
  std::vector<CXTPPopupBar*> out;
  CXTPMouseManager* pManager = XTPMouseManager();
  for (int i = 0; i < pManager->GetTrackingBarCount(); i++) {
    CXTPCommandBar* pBar = pManager->GetTrackingBar(i);
    if (pBar != NULL && pBar->IsKindOf(RUNTIME_CLASS(CXTPPopupBar))) out.push_back((CXTPPopupBar*)pBar);
  }
  return out;
}

// ---- A single-document frame -------------------------------------------------------------
class MenuBar : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    ParkPointer();
    CXTPPaintManager::SetTheme(GetParam());
    pFrame = new CCommandFrame();
    ASSERT_TRUE(pFrame->Create(NULL, L"menu bar frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(30, 30, 730, 530), NULL,
                               MAKEINTRESOURCE(kFrameMenu)));
    ASSERT_NE(nullptr, ::GetMenu(pFrame->GetSafeHwnd()));
    pFrame->m_pCommandBars = (CXTPCommandBars*)RUNTIME_CLASS(CXTPCommandBars)->CreateObject();
    pBars = pFrame->m_pCommandBars;
    pBars->SetSite(pFrame);
    pBars->CreateDockBars();
  }
  void Build() {
    pMenuBar = pBars->SetMenu(_T("Menu Bar"), kFrameMenu);
    ASSERT_NE(nullptr, pMenuBar);
    pBars->RecalcFrameLayout();
    Activate(pFrame->GetSafeHwnd());
    pFrame->SetFocus();
    PumpFrame(80);
  }
  void TearDown() override {
    XTPMouseManager()->CloseAllTrackingBars();
    if (::IsWindow(pFrame->GetSafeHwnd())) pFrame->DestroyWindow();
    CXTPPaintManager::SetTheme(0);
    ParkPointer();
    PumpFor(30);
  }
  CPoint ControlCenter(CXTPCommandBar* pBar, CXTPControl* pControl) {
    CRect rc = pControl->GetRect();
    pBar->ClientToScreen(&rc);
    return rc.CenterPoint();
  }
  void EndTracking() {
    XTPMouseManager()->CloseAllTrackingBars();
    if (pMenuBar->IsTrackingMode()) pMenuBar->CancelTracking();
    PumpFrame(40);
  }

  CCommandFrame* pFrame = NULL;
  CXTPCommandBars* pBars = NULL;
  CXTPMenuBar* pMenuBar = NULL;
};

TEST_P(MenuBar, TakesTheFramesMenuAndShowsItsItems) {
  Build();
  EXPECT_EQ(nullptr, ::GetMenu(pFrame->GetSafeHwnd())) << "the frame's menu is taken away";
  EXPECT_NE(nullptr, pMenuBar->GetFrameMenu());
  EXPECT_EQ(pMenuBar, pBars->GetMenuBar());
  EXPECT_EQ(xtpBarTypeMenuBar, pMenuBar->GetType());
  EXPECT_EQ(xtpBarTop, pMenuBar->GetPosition());
  EXPECT_EQ(1u, pMenuBar->GetBarID());
  EXPECT_EQ(kFrameMenu, pMenuBar->GetDefaultMenuId());
  EXPECT_EQ(kFrameMenu, pMenuBar->GetCurrentMenuId());
  EXPECT_FALSE(pMenuBar->IsMdiFrame());
  ASSERT_EQ(4, pMenuBar->GetControlCount());
  const wchar_t* captions[] = {L"&File", L"&Edit", L"&View", L"&Help"};
  for (int i = 0; i < 4; i++) {
    EXPECT_EQ(CString(captions[i]), pMenuBar->GetControl(i)->GetCaption());
    EXPECT_EQ(xtpControlPopup, pMenuBar->GetControl(i)->GetType());
  }
  EXPECT_NE(nullptr, pMenuBar->GetControls()->GetOriginalControls());
  EXPECT_EQ(nullptr, pMenuBar->GetControls()->FindControl(9400)) << "no expand button on a menu bar";
  // A missing menu resource: no menu bar.
  EXPECT_EQ(nullptr, pBars->SetMenu(_T("Broken"), 4242));
  EXPECT_EQ(pMenuBar, pBars->GetMenuBar());
}

TEST_P(MenuBar, AltAndF10SelectTheFirstItemShiftAltDoesNothing) {
  Build();
  struct Case {
    const char* name;
    std::vector<std::pair<WORD, bool>> keys;
    bool bSelects;
  } cases[] = {
      {"Alt alone", {{VK_MENU, false}, {VK_MENU, true}}, true},
      {"F10 alone", {{VK_F10, false}, {VK_F10, true}}, true},
      // Escape closes whatever the system opens for the bare Shift+Alt.
      {"Shift+Alt",
       {{VK_SHIFT, false}, {VK_MENU, false}, {VK_MENU, true}, {VK_SHIFT, true}, {VK_ESCAPE, false}, {VK_ESCAPE, true}},
       false},
  };
  for (const Case& c : cases) {
    Activate(pFrame->GetSafeHwnd());
    pFrame->SetFocus();
    Keys(c.keys, 200);
    EXPECT_EQ(c.bSelects, pMenuBar->IsTrackingMode() != FALSE) << c.name;
    if (c.bSelects) {
      EXPECT_EQ(0, pMenuBar->GetSelectedIndex()) << c.name;
      EXPECT_EQ(-1, pMenuBar->GetPopupedIndex()) << c.name << ": selected, not opened";
      EXPECT_TRUE(OpenPopups().empty()) << c.name;
    } else {
      EXPECT_EQ(-1, pMenuBar->GetSelectedIndex()) << c.name;
    }
    EndTracking();
  }
}

TEST_P(MenuBar, ArrowsMoveAcrossAndIntoMenusEscapeStepsBack) {
  Build();
  Tap(VK_F10);
  ASSERT_TRUE(pMenuBar->IsTrackingMode());
  ASSERT_EQ(0, pMenuBar->GetSelectedIndex());
  Tap(VK_RIGHT);
  EXPECT_EQ(1, pMenuBar->GetSelectedIndex());
  Tap(VK_RIGHT);
  EXPECT_EQ(2, pMenuBar->GetSelectedIndex());
  Tap(VK_LEFT);
  EXPECT_EQ(1, pMenuBar->GetSelectedIndex());
  Tap(VK_LEFT);
  Tap(VK_LEFT);
  EXPECT_EQ(3, pMenuBar->GetSelectedIndex()) << "Left from the first wraps to the last";
  Tap(VK_RIGHT);
  EXPECT_EQ(0, pMenuBar->GetSelectedIndex());
  Tap(VK_RIGHT);
  // Down opens the Edit menu with its first item selected.
  Tap(VK_DOWN, 200);
  std::vector<CXTPPopupBar*> popups = OpenPopups();
  ASSERT_EQ(1u, popups.size());
  EXPECT_EQ(1, pMenuBar->GetPopupedIndex());
  EXPECT_EQ(0, popups[0]->GetSelectedIndex());
  EXPECT_EQ(57643, popups[0]->GetControl(0)->GetID());
  Tap(VK_DOWN);
  EXPECT_EQ(1, popups[0]->GetSelectedIndex());
  // Escape closes the menu; the bar keeps the keyboard with Edit selected.
  Tap(VK_ESCAPE);
  EXPECT_TRUE(OpenPopups().empty());
  EXPECT_TRUE(pMenuBar->IsTrackingMode());
  EXPECT_EQ(1, pMenuBar->GetSelectedIndex());
  EXPECT_EQ(-1, pMenuBar->GetPopupedIndex());
  // Escape again leaves the bar.
  Tap(VK_ESCAPE);
  EXPECT_FALSE(pMenuBar->IsTrackingMode());
  EXPECT_TRUE(pFrame->commands.empty());
}

// Alt+letter opens the letter's menu with its first item selected, whether Alt is held
// with the letter (the frame's pre-translation, Alt accelerators) or pressed and released
// before it (the bar takes the keyboard, then the letter is its mnemonic). The release of
// a held Alt leaves the menu open, and the frame runs no command.
TEST_P(MenuBar, AltMnemonicOpensTheMenu) {
  Build();
  struct Case {
    const char* name;
    std::vector<std::pair<WORD, bool>> keys;
  } cases[] = {
      {"Alt held with E", {{VK_MENU, false}, {'E', false}, {'E', true}, {VK_MENU, true}}},
      {"Alt held with E, Alt released first", {{VK_MENU, false}, {'E', false}, {VK_MENU, true}, {'E', true}}},
      {"Alt pressed and released, then E", {{VK_MENU, false}, {VK_MENU, true}, {'E', false}, {'E', true}}},
  };
  for (const Case& c : cases) {
    Activate(pFrame->GetSafeHwnd());
    pFrame->SetFocus();
    Keys(c.keys, 250);
    PumpFrameUntil([] { return !OpenPopups().empty(); }, 1000);
    std::vector<CXTPPopupBar*> popups = OpenPopups();
    ASSERT_EQ(1u, popups.size()) << c.name;
    EXPECT_EQ(1, pMenuBar->GetPopupedIndex()) << c.name;
    EXPECT_TRUE(pMenuBar->IsTrackingMode()) << c.name;
    EXPECT_EQ(0, popups[0]->GetSelectedIndex()) << c.name;
    EXPECT_EQ(57643, popups[0]->GetControl(0)->GetID()) << c.name << ": the Edit menu";
    EXPECT_TRUE(::IsWindowVisible(popups[0]->GetSafeHwnd())) << c.name;
    // The open menu still takes keys: Down moves its selection.
    Tap(VK_DOWN);
    EXPECT_EQ(1, popups[0]->GetSelectedIndex()) << c.name;
    if (&c == &cases[0]) {
      CRect rcShot, rcPopup;
      pFrame->GetWindowRect(&rcShot);
      popups[0]->GetWindowRect(&rcPopup);
      rcShot.bottom = std::max(rcShot.top + 160, rcPopup.bottom + 8);
      CString strName;
      strName.Format(L"commandbars/menu_bar_alt_mnemonic_theme%d.png", GetParam());
      ShootScreen(rcShot, strName);
    }
    // Escape twice leaves the menu and then the bar.
    Tap(VK_ESCAPE);
    Tap(VK_ESCAPE);
    EXPECT_TRUE(OpenPopups().empty()) << c.name;
    EXPECT_FALSE(pMenuBar->IsTrackingMode()) << c.name;
    EndTracking();
  }
  EXPECT_TRUE(pFrame->commands.empty());
}

TEST_P(MenuBar, AnOpenMenuDropsBelowItsItemAndItsMnemonicRunsTheCommand) {
  Build();
  Tap(VK_F10);
  Tap(VK_RIGHT);
  Tap(VK_DOWN, 250);
  std::vector<CXTPPopupBar*> popups = OpenPopups();
  ASSERT_EQ(1u, popups.size());
  EXPECT_EQ(1, pMenuBar->GetPopupedIndex());
  EXPECT_TRUE(pMenuBar->IsTrackingMode());
  CRect rcItem = pMenuBar->GetControl(1)->GetRect(), rcPopup;
  pMenuBar->ClientToScreen(&rcItem);
  popups[0]->GetWindowRect(&rcPopup);
  EXPECT_EQ(rcItem.left, rcPopup.left);
  EXPECT_GE(rcPopup.top, rcItem.bottom - 1) << "drops below the item";
  PumpFrame(150);
  CRect rcShot;
  pFrame->GetWindowRect(&rcShot);
  rcShot.bottom = rcPopup.bottom + 8;
  rcShot.right = std::max(rcShot.right, rcPopup.right + 8);
  CString strName;
  strName.Format(L"commandbars/menu_bar_open_theme%d.png", GetParam());
  ShootScreen(rcShot, strName);
  // "t" runs Cut.
  Tap('T', 200);
  EXPECT_TRUE(OpenPopups().empty());
  ASSERT_EQ(1u, pFrame->commands.size());
  EXPECT_EQ(57635u, pFrame->commands[0]);
}

TEST_P(MenuBar, HiddenPrintCommandsWaitBehindTheExpandRow) {
  pBars->GetCommandBarsOptions()->bAlwaysShowFullMenus = FALSE;
  const UINT hidden[] = {57607, 57609};
  pBars->HideCommands(hidden, 2);
  Build();
  Tap(VK_F10);
  Tap(VK_DOWN, 250);
  std::vector<CXTPPopupBar*> popups = OpenPopups();
  ASSERT_EQ(1u, popups.size());
  CXTPPopupBar* pFile = popups[0];
  EXPECT_TRUE(pFile->HasHiddenCommands());
  EXPECT_FALSE(pFile->GetControls()->FindControl(57607)->IsVisible());
  EXPECT_FALSE(pFile->GetControls()->FindControl(57609)->IsVisible());
  EXPECT_TRUE(pFile->GetControls()->FindControl(57600)->IsVisible());
  CXTPControl* pExpand = pFile->GetExpandButton();
  ASSERT_NE(nullptr, pExpand);
  ASSERT_TRUE(pExpand->IsVisible());
  CRect rcShort;
  pFile->GetWindowRect(&rcShort);
  CString strName;
  strName.Format(L"commandbars/menu_bar_short_file_theme%d.png", GetParam());
  CRect rcShot(rcShort);
  rcShot.InflateRect(6, 6);
  ShootScreen(rcShot, strName);
  // A click on the expand row shows them.
  ClickAt(ControlCenter(pFile, pExpand), false, 0);
  PumpFrameUntil([&] { return pFile->IsExpanded() != FALSE; }, 1500);
  EXPECT_TRUE(pFile->IsExpanded());
  EXPECT_TRUE(pFile->GetControls()->FindControl(57607)->IsVisible());
  EXPECT_TRUE(pFile->GetControls()->FindControl(57609)->IsVisible());
  EXPECT_FALSE(pExpand->IsVisible());
  CRect rcFull;
  pFile->GetWindowRect(&rcFull);
  EXPECT_GT(rcFull.Height(), rcShort.Height());
  EXPECT_TRUE(pFrame->commands.empty()) << "the expanding click runs nothing";
  EndTracking();
}

INSTANTIATE_TEST_SUITE_P(Themes, MenuBar, ::testing::Values(0, 3));

// ---- A multiple-document frame with a real MDI client -----------------------------------
class CTestCommandBars : public CXTPCommandBars {
 public:
  UINT nActiveMenu = 0;
  UINT GetActiveMenuId() override { return nActiveMenu; }
};

class CMdiFrame : public CMDIFrameWnd {
 public:
  CXTPCommandBars* m_pCommandBars = NULL;
  ~CMdiFrame() override {
    if (m_pCommandBars != NULL) m_pCommandBars->InternalRelease();
  }
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (CMDIFrameWnd::PreTranslateMessage(pMsg)) return TRUE;
    return m_pCommandBars != NULL && m_pCommandBars->PreTranslateFrameMessage(pMsg);
  }
  BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
    if (m_pCommandBars != NULL && m_pCommandBars->OnFrameWndMsg(message, wParam, lParam, pResult)) return TRUE;
    return CMDIFrameWnd::OnWndMsg(message, wParam, lParam, pResult);
  }

 protected:
  // Handling "Customize" makes the bars customizable.
  afx_msg void OnCustomize() {}
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CMdiFrame, CMDIFrameWnd)
  ON_COMMAND(XTP_ID_CUSTOMIZE, OnCustomize)
END_MESSAGE_MAP()

LRESULT CALLBACK MdiChildProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefMDIChildProcW(hWnd, message, wParam, lParam);
}

class MdiMenuBar : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    ParkPointer();
    CXTPPaintManager::SetTheme(GetParam());
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &MdiChildProc;
    wc.hInstance = ::GetModuleHandle(NULL);
    wc.hCursor = ::LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.hIcon = ::LoadIcon(NULL, IDI_INFORMATION);
    wc.lpszClassName = L"VorlixMdiTestChild";
    ::RegisterClassW(&wc);

    pFrame = new CMdiFrame();
    ASSERT_TRUE(pFrame->Create(NULL, L"mdi frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                               CRect(40, 40, 760, 560), NULL, MAKEINTRESOURCE(kFrameMenu)));
    CLIENTCREATESTRUCT ccs = {NULL, 50000};
    hClient = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", NULL,
                                WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE | MDIS_ALLCHILDSTYLES, 0, 0,
                                400, 300, pFrame->GetSafeHwnd(), (HMENU)(UINT_PTR)AFX_IDW_PANE_FIRST,
                                ::GetModuleHandle(NULL), &ccs);
    ASSERT_NE(nullptr, hClient);
    pFrame->m_hWndMDIClient = hClient;
    pBars = new CTestCommandBars();
    pFrame->m_pCommandBars = pBars;
    pBars->SetSite(pFrame);
    pBars->CreateDockBars();
    pMenuBar = pBars->SetMenu(_T("Menu Bar"), kFrameMenu);
    ASSERT_NE(nullptr, pMenuBar);
    pFrame->RecalcLayout();
    Activate(pFrame->GetSafeHwnd());
    PumpFrame(80);
  }
  void TearDown() override {
    XTPMouseManager()->CloseAllTrackingBars();
    if (::IsWindow(pFrame->GetSafeHwnd())) pFrame->DestroyWindow();
    CXTPPaintManager::SetTheme(0);
    ParkPointer();
    PumpFor(30);
  }
  HWND NewChild(LPCWSTR title, DWORD dwStyle = WS_OVERLAPPEDWINDOW) {
    MDICREATESTRUCTW mcs = {};
    mcs.szClass = L"VorlixMdiTestChild";
    mcs.szTitle = title;
    mcs.hOwner = ::GetModuleHandle(NULL);
    mcs.x = mcs.y = 10;
    mcs.cx = 260;
    mcs.cy = 180;
    mcs.style = dwStyle | WS_VISIBLE;
    HWND hChild = (HWND)::SendMessageW(hClient, WM_MDICREATE, 0, (LPARAM)&mcs);
    PumpFrame(60);
    return hChild;
  }
  int IndexOf(int nId) {
    CXTPControl* pControl = pMenuBar->GetControls()->FindControl(nId);
    return pControl != NULL ? pControl->GetIndex() : -1;
  }
  bool HasButtons() { return IndexOf(XTP_ID_MENUBAR_CLOSE) != -1; }

  CMdiFrame* pFrame = NULL;
  HWND hClient = NULL;
  CTestCommandBars* pBars = NULL;
  CXTPMenuBar* pMenuBar = NULL;
};

TEST_P(MdiMenuBar, AMaximizedChildBringsItsSystemMenuAndButtons) {
  EXPECT_TRUE(pMenuBar->IsMdiFrame());
  pMenuBar->SetFlags(XTP_FLAGS_SHOW_MDI_ICON);
  HWND hChild = NewChild(L"Document 1");
  ASSERT_NE(nullptr, hChild);
  EXPECT_TRUE(PumpFrameUntil([&] { return pMenuBar->GetHookedChild() == hChild; }, 1000)) << "the child is followed";
  EXPECT_FALSE(HasButtons()) << "not maximized";

  ::SendMessage(hClient, WM_MDIMAXIMIZE, (WPARAM)hChild, 0);
  ASSERT_TRUE(PumpFrameUntil([&] { return HasButtons(); }, 1000));
  const int n = pMenuBar->GetControlCount();
  EXPECT_EQ(0, IndexOf(XTP_ID_MENUBAR_SYSMENU)) << "the system menu first";
  EXPECT_EQ(n - 3, IndexOf(XTP_ID_MENUBAR_MINIMIZE));
  EXPECT_EQ(n - 2, IndexOf(XTP_ID_MENUBAR_RESTORE));
  EXPECT_EQ(n - 1, IndexOf(XTP_ID_MENUBAR_CLOSE));
  EXPECT_EQ(4 + 4, n);
  CXTPControlMDISysMenuPopup* pSys = (CXTPControlMDISysMenuPopup*)pMenuBar->GetControl(0);
  EXPECT_NE(nullptr, pSys->GetIcon());
  EXPECT_EQ(::GetSystemMenu(hChild, FALSE), pSys->GetMDISysMenu());
  // Its popup holds the child's system commands.
  ASSERT_NE(nullptr, pSys->GetCommandBar());
  EXPECT_NE(nullptr, pSys->GetCommandBar()->GetControls()->FindControl(SC_CLOSE));
  for (int nId : {XTP_ID_MENUBAR_MINIMIZE, XTP_ID_MENUBAR_RESTORE, XTP_ID_MENUBAR_CLOSE}) {
    CXTPControl* pButton = pMenuBar->GetControls()->FindControl(nId);
    EXPECT_EQ(CSize(16, 16), pButton->GetRect().Size()) << nId;
    EXPECT_EQ((DWORD)0x1B, pButton->GetFlags()) << nId;
  }
  // The buttons sit at the bar's right end.
  CRect rcBar;
  pMenuBar->GetClientRect(&rcBar);
  EXPECT_GT(pMenuBar->GetControls()->FindControl(XTP_ID_MENUBAR_CLOSE)->GetRect().left, rcBar.Width() / 2);
  PumpFrame(100);
  CRect rcShot;
  pMenuBar->GetWindowRect(&rcShot);
  rcShot.InflateRect(2, 2);
  CString strName;
  strName.Format(L"commandbars/menu_bar_mdi_buttons_theme%d.png", GetParam());
  ShootScreen(rcShot, strName);

  // Restoring takes them away within a tick.
  ::SendMessage(hClient, WM_MDIRESTORE, (WPARAM)hChild, 0);
  ASSERT_TRUE(PumpFrameUntil([&] { return !HasButtons(); }, 1000));
  EXPECT_EQ(-1, IndexOf(XTP_ID_MENUBAR_SYSMENU));
  EXPECT_EQ(-1, IndexOf(XTP_ID_MENUBAR_MINIMIZE));
  EXPECT_EQ(4, pMenuBar->GetControlCount());
}

TEST_P(MdiMenuBar, AChildWithoutAMinimizeBoxGetsNoMinimizeButton) {
  HWND hChild = NewChild(L"Fixed", WS_OVERLAPPEDWINDOW & ~WS_MINIMIZEBOX);
  ASSERT_NE(nullptr, hChild);
  ::SendMessage(hClient, WM_MDIMAXIMIZE, (WPARAM)hChild, 0);
  ASSERT_TRUE(PumpFrameUntil([&] { return HasButtons(); }, 1000));
  EXPECT_EQ(-1, IndexOf(XTP_ID_MENUBAR_MINIMIZE));
  EXPECT_NE(-1, IndexOf(XTP_ID_MENUBAR_RESTORE));
  EXPECT_EQ(-1, IndexOf(XTP_ID_MENUBAR_SYSMENU)) << "the icon only with its bar flag";
}

TEST_P(MdiMenuBar, TheCloseButtonClosesTheChild) {
  HWND hChild = NewChild(L"Closing");
  ::SendMessage(hClient, WM_MDIMAXIMIZE, (WPARAM)hChild, 0);
  ASSERT_TRUE(PumpFrameUntil([&] { return HasButtons(); }, 1000));
  PumpFrame(60);
  CXTPControl* pClose = pMenuBar->GetControls()->FindControl(XTP_ID_MENUBAR_CLOSE);
  CRect rc = pClose->GetRect();
  pMenuBar->ClientToScreen(&rc);
  ClickAt(rc.CenterPoint(), false, 0);
  EXPECT_TRUE(PumpFrameUntil([&] { return !::IsWindow(hChild); }, 2000)) << "SC_CLOSE reached the child";
  EXPECT_TRUE(PumpFrameUntil([&] { return !HasButtons(); }, 1000));
}

TEST_P(MdiMenuBar, EachDocumentMenuKeepsItsOwnCustomisation) {
  ASSERT_TRUE(pBars->IsCustomizable());
  HMENU hDoc = ::LoadMenu(::GetModuleHandle(NULL), MAKEINTRESOURCE(kDocMenu));
  ASSERT_NE(nullptr, hDoc);
  // The document's menu replaces the frame's.
  pBars->nActiveMenu = kDocMenu;
  ::SendMessage(hClient, WM_MDISETMENU, (WPARAM)hDoc, 0);
  EXPECT_EQ(nullptr, ::GetMenu(pFrame->GetSafeHwnd()));
  EXPECT_EQ(kDocMenu, pMenuBar->GetCurrentMenuId());
  ASSERT_EQ(3, pMenuBar->GetControlCount());
  EXPECT_EQ(CString(_T("&Document")), pMenuBar->GetControl(1)->GetCaption());
  // The user removes "Window" from this document's menu.
  pMenuBar->GetControls()->Remove(2);
  ASSERT_EQ(2, pMenuBar->GetControlCount());

  // Back to the frame's menu (no document): the four items as loaded.
  pBars->nActiveMenu = kFrameMenu;
  ::SendMessage(hClient, WM_MDISETMENU, 0, 0);
  EXPECT_EQ(kFrameMenu, pMenuBar->GetCurrentMenuId());
  ASSERT_EQ(4, pMenuBar->GetControlCount());
  EXPECT_NE(nullptr, pMenuBar->GetDocumentMenu(kDocMenu));
  // The frame menu gets a change of its own.
  pMenuBar->GetControls()->Remove(3);

  // The document's menu again: still without "Window".
  pBars->nActiveMenu = kDocMenu;
  ::SendMessage(hClient, WM_MDISETMENU, (WPARAM)hDoc, 0);
  EXPECT_EQ(kDocMenu, pMenuBar->GetCurrentMenuId());
  ASSERT_EQ(2, pMenuBar->GetControlCount());
  for (int i = 0; i < pMenuBar->GetControlCount(); i++)
    EXPECT_NE(CString(_T("&Window")), pMenuBar->GetControl(i)->GetCaption());
  EXPECT_EQ(CString(_T("&Document")), pMenuBar->GetControl(1)->GetCaption());
  // And the frame's menu keeps its own change.
  pBars->nActiveMenu = kFrameMenu;
  ::SendMessage(hClient, WM_MDISETMENU, 0, 0);
  EXPECT_EQ(3, pMenuBar->GetControlCount());
  // A menu bar copy takes the stored document menus along.
  CXTPMenuBar* pCopy = (CXTPMenuBar*)pMenuBar->Clone(TRUE);
  ASSERT_NE(nullptr, pCopy);
  ASSERT_NE(nullptr, pCopy->GetDocumentMenu(kDocMenu));
  EXPECT_NE(pMenuBar->GetDocumentMenu(kDocMenu), pCopy->GetDocumentMenu(kDocMenu));
  EXPECT_EQ(2, pCopy->GetDocumentMenu(kDocMenu)->GetCount());
  pCopy->InternalRelease();
  ::DestroyMenu(hDoc);
}

// The stored controls carry every document's menu: a new frame whose menu bar loads them
// shows the frame's menu and each document's menu with the changes the user made to it.
TEST_P(MdiMenuBar, DocumentMenusComeBackFromTheStoredControls) {
  ASSERT_TRUE(pBars->IsCustomizable());
  HMENU hDoc = ::LoadMenu(::GetModuleHandle(NULL), MAKEINTRESOURCE(kDocMenu));
  ASSERT_NE(nullptr, hDoc);
  // "Window" leaves the document's menu, "Help" the frame's; "&Document" gets a new caption.
  pBars->nActiveMenu = kDocMenu;
  ::SendMessage(hClient, WM_MDISETMENU, (WPARAM)hDoc, 0);
  ASSERT_EQ(kDocMenu, pMenuBar->GetCurrentMenuId());
  ASSERT_EQ(3, pMenuBar->GetControlCount());
  pMenuBar->GetControls()->Remove(2);
  pMenuBar->GetControl(1)->SetCaption(_T("&Papers"));
  pBars->nActiveMenu = kFrameMenu;
  ::SendMessage(hClient, WM_MDISETMENU, 0, 0);
  ASSERT_EQ(kFrameMenu, pMenuBar->GetCurrentMenuId());
  pMenuBar->GetControls()->Remove(3);

  // Stored while the document's menu is shown: the bar stores its frame menu as its own.
  pBars->nActiveMenu = kDocMenu;
  ::SendMessage(hClient, WM_MDISETMENU, (WPARAM)hDoc, 0);
  ASSERT_EQ(kDocMenu, pMenuBar->GetCurrentMenuId());
  CMemFile file;
  ASSERT_TRUE(pBars->SaveCommandBars(&file, TRUE));
  const UINT nBytes = (UINT)file.GetLength();
  ASSERT_GT(nBytes, 0u);
  std::vector<BYTE> stored(nBytes);
  file.SeekToBegin();
  ASSERT_EQ(nBytes, file.Read(stored.data(), nBytes));
  ::DestroyMenu(hDoc);

  // A new frame with the menu bar as the program builds it.
  TearDown();
  SetUp();
  ASSERT_EQ(4, pMenuBar->GetControlCount());
  ASSERT_EQ(nullptr, pMenuBar->GetDocumentMenu(kDocMenu));
  ASSERT_TRUE(pBars->LoadCommandBars(stored.data(), (UINT)stored.size(), TRUE));
  EXPECT_EQ(pMenuBar, pBars->GetMenuBar());
  EXPECT_EQ(3, pMenuBar->GetControlCount()) << "the frame's menu without Help";
  ASSERT_NE(nullptr, pMenuBar->GetDocumentMenu(kDocMenu));
  hDoc = ::LoadMenu(::GetModuleHandle(NULL), MAKEINTRESOURCE(kDocMenu));
  pBars->nActiveMenu = kDocMenu;
  ::SendMessage(hClient, WM_MDISETMENU, (WPARAM)hDoc, 0);
  EXPECT_EQ(kDocMenu, pMenuBar->GetCurrentMenuId());
  ASSERT_EQ(2, pMenuBar->GetControlCount()) << "the document's menu without Window";
  EXPECT_EQ(CString(_T("&Papers")), pMenuBar->GetControl(1)->GetCaption());
  PumpFrame(80);
  CRect rcShot;
  pMenuBar->GetWindowRect(&rcShot);
  rcShot.InflateRect(2, 2);
  CString strName;
  strName.Format(L"commandbars/menu_bar_document_menu_loaded_theme%d.png", GetParam());
  ShootScreen(rcShot, strName);
  // And back to the frame's.
  pBars->nActiveMenu = kFrameMenu;
  ::SendMessage(hClient, WM_MDISETMENU, 0, 0);
  EXPECT_EQ(3, pMenuBar->GetControlCount());
  ::DestroyMenu(hDoc);
}

INSTANTIATE_TEST_SUITE_P(Themes, MdiMenuBar, ::testing::Values(0, 3));

}  // namespace
