// The bars' sample program run as its own process, driven with real input: its frame with
// the status bar and the shortcuts at work; and run twice - the first run moves the bars
// and hides the status bar and closes, the second shows the same layout - while a run
// without stored values shows the layout as built. Pictures go to build/artifacts/commandbars.
#include <framework.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BarsSampleFrame.h"
#include "BarsSampleTestSupport.h"
#include "FrameBarsTestSupport.h"
#include "UiDriver.h"
#include "resource.h"
#include "test_picture.h"
#include "test_pump.h"
#include "test_window.h"

using namespace framebarstest;

namespace {

class BarsSampleRun : public CBarsSampleTest {
 protected:
  BarsSampleRun() : CBarsSampleTest(L"VorlixBarsSampleRun") {}
};

}  // namespace

// One run: the frame with its status bar at the bottom, a shortcut key reaching the frame,
// and the shortcuts stored when it closes.
TEST_F(BarsSampleRun, OneRunShowsTheStatusBarTakesShortcutsAndStoresThemAtTheEnd) {
  CSampleProcess sample;
  ASSERT_TRUE(sample.Start(m_profile));
  HWND hFrame = sample.TopWindow(CBarsSampleFrame::kTitle);
  ASSERT_NE(hFrame, nullptr) << "the sample's frame never showed";
  HWND hStatus = ChildById(hFrame, 0xE801);
  ASSERT_NE(hStatus, nullptr);
  EXPECT_TRUE(::IsWindowVisible(hStatus));
  CRect rcFrameClient, rcStatus;
  ::GetClientRect(hFrame, &rcFrameClient);
  ::MapWindowPoints(hFrame, nullptr, reinterpret_cast<POINT*>(&rcFrameClient), 2);
  rcStatus = ScreenRect(hStatus);
  EXPECT_EQ(rcStatus.bottom, rcFrameClient.bottom);
  EXPECT_EQ(rcStatus.left, rcFrameClient.left);
  EXPECT_EQ(rcStatus.right, rcFrameClient.right);
  // Four parts: the message pane and the three lock indicators.
  EXPECT_EQ(::SendMessageW(hStatus, SB_GETPARTS, 0, 0), 4);

  ::SetForegroundWindow(hFrame);
  ASSERT_TRUE(testsupport::PumpUntil([&] { return ::GetForegroundWindow() == hFrame; }, 5000));
  uidriver::PressKey('E', true);
  EXPECT_TRUE(testsupport::PumpUntil(
      [&] { return uidriver::WindowText(hStatus) == std::wstring(CBarsSampleFrame::CommandText(ID_FILE_EXPORT)); },
      5000))
      << "the message pane reads " << CStringA(uidriver::WindowText(hStatus).c_str()).GetString();
  SavePicture(hFrame, L"commandbars\\sample_frame.png");

  EXPECT_EQ(sample.Close(hFrame), 0u);
  UseProfile(m_profile.c_str());
  EXPECT_EQ(ReadProfileBinary(L"CommandBars", L"Accelerators").size(), 4u * 6u);
}

#if FRAMEBARS_HAVE_TOOLBAR && FRAMEBARS_HAVE_PERSIST
// The built layout: "Standard" on the top dock bar (below the menu bar when there is one),
// the status bar shown.
void ExpectBuiltLayout(HWND hFrame) {
  HWND hTop = ChildById(hFrame, kDockTop);
  ASSERT_NE(hTop, nullptr);
  HWND hStandard = DescendantByText(hTop, L"Standard");
  ASSERT_NE(hStandard, nullptr) << "Standard is not on the top dock bar";
  EXPECT_TRUE(::IsWindowVisible(hStandard));
#if FRAMEBARS_HAVE_MENUBAR
  HWND hMenuBar = DescendantByText(hTop, L"Menu Bar");
  ASSERT_NE(hMenuBar, nullptr);
  EXPECT_LT(ScreenRect(hMenuBar).top, ScreenRect(hStandard).top);
#endif
  EXPECT_TRUE(::IsWindowVisible(ChildById(hFrame, 0xE801)));
}

TEST_F(BarsSampleRun, TheSecondRunShowsTheLayoutTheFirstLeft) {
  CRect rcStandard, rcMenuBar;
  {
    CSampleProcess first;
    ASSERT_TRUE(first.Start(m_profile));
    HWND hFrame = first.TopWindow(CBarsSampleFrame::kTitle);
    ASSERT_NE(hFrame, nullptr);
    ExpectBuiltLayout(hFrame);
    SavePicture(hFrame, L"commandbars\\sample_run1_built.png");
    HWND hTop = ChildById(hFrame, kDockTop);
    HWND hLeft = ChildById(hFrame, kDockLeft);
    ASSERT_NE(hLeft, nullptr);
    ::SetForegroundWindow(hFrame);
    testsupport::PumpUntil([&] { return ::GetForegroundWindow() == hFrame; }, 5000);

    // "Standard" by its gripper to the frame's left edge.
    HWND hStandard = DescendantByText(hTop, L"Standard");
    CRect rc = ScreenRect(hStandard);
    CRect client;
    ::GetClientRect(hFrame, &client);
    ::MapWindowPoints(hFrame, nullptr, reinterpret_cast<POINT*>(&client), 2);
    Drag(POINT{rc.left + 3, rc.top + rc.Height() / 2}, POINT{client.left + 6, client.top + client.Height() / 2});
    ASSERT_TRUE(testsupport::PumpUntil([&] { return ::GetParent(hStandard) == hLeft; }, 5000))
        << "Standard did not dock on the left";

#if FRAMEBARS_HAVE_MENUBAR
    // The menu bar by its gripper into the middle of the frame: it floats.
    HWND hMenuBar = DescendantByText(hTop, L"Menu Bar");
    ASSERT_NE(hMenuBar, nullptr);
    rc = ScreenRect(hMenuBar);
    Drag(POINT{rc.left + 3, rc.top + rc.Height() / 2}, POINT{client.CenterPoint().x, client.CenterPoint().y});
    HWND hFloatingMenu = first.TopWindow(L"Menu Bar", 5000);
    ASSERT_NE(hFloatingMenu, nullptr) << "the menu bar did not float";
    rcMenuBar = ScreenRect(hFloatingMenu);
    // A floating bar belongs to the frame and stays above it.
    EXPECT_EQ(::GetWindow(hFloatingMenu, GW_OWNER), hFrame);
    EXPECT_GT(rcMenuBar.Width(), 20);
    EXPECT_GT(rcMenuBar.Height(), 10);
    testsupport::PumpFor(300);
    CRect rcScreen1;
    rcScreen1.UnionRect(ScreenRect(hFrame), rcMenuBar);
    SaveScreenPicture(rcScreen1, L"commandbars\\sample_run1_screen.png");
#endif

    // The status bar hidden by the View menu's "Status Bar".
    HWND hStatus = ChildById(hFrame, 0xE801);
    ::PostMessageW(hFrame, WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !::IsWindowVisible(hStatus); }, 5000));
    testsupport::PumpFor(300);
    rcStandard = ScreenRect(hStandard);
    SavePicture(hFrame, L"commandbars\\sample_run1_moved.png");
    EXPECT_EQ(first.Close(hFrame), 0u);
  }
  {
    CSampleProcess second;
    ASSERT_TRUE(second.Start(m_profile));
    HWND hFrame = second.TopWindow(CBarsSampleFrame::kTitle);
    ASSERT_NE(hFrame, nullptr);
    testsupport::PumpFor(300);
    HWND hLeft = ChildById(hFrame, kDockLeft);
    HWND hStandard = DescendantByText(hLeft, L"Standard");
    ASSERT_NE(hStandard, nullptr) << "Standard is not on the left";
    EXPECT_EQ(ScreenRect(hStandard), rcStandard);
    EXPECT_EQ(DescendantByText(ChildById(hFrame, kDockTop), L"Standard"), nullptr);
#if FRAMEBARS_HAVE_MENUBAR
    HWND hFloatingMenu = second.TopWindow(L"Menu Bar", 5000);
    ASSERT_NE(hFloatingMenu, nullptr) << "the menu bar is not floating";
    EXPECT_EQ(ScreenRect(hFloatingMenu).TopLeft(), rcMenuBar.TopLeft());
    EXPECT_EQ(::GetWindow(hFloatingMenu, GW_OWNER), hFrame);
    testsupport::PumpFor(300);
    // Shown above the frame, not hidden behind it.
    bool bAboveFrame = false;
    for (HWND h = ::GetWindow(hFrame, GW_HWNDPREV); h != nullptr && !bAboveFrame; h = ::GetWindow(h, GW_HWNDPREV))
      bAboveFrame = h == hFloatingMenu;
    EXPECT_TRUE(bAboveFrame) << "the floating menu bar is below its frame";
    CRect rcScreen;
    rcScreen.UnionRect(ScreenRect(hFrame), ScreenRect(hFloatingMenu));
    SaveScreenPicture(rcScreen, L"commandbars\\sample_run2_screen.png");
#endif
    EXPECT_FALSE(::IsWindowVisible(ChildById(hFrame, 0xE801)));
    SavePicture(hFrame, L"commandbars\\sample_run2.png");
    EXPECT_EQ(second.Close(hFrame), 0u);
  }
  // Without stored values: the layout as built.
  ClearProfile(m_profile);
  CSampleProcess fresh;
  ASSERT_TRUE(fresh.Start(m_profile));
  HWND hFrame = fresh.TopWindow(CBarsSampleFrame::kTitle);
  ASSERT_NE(hFrame, nullptr);
  ExpectBuiltLayout(hFrame);
  EXPECT_EQ(fresh.Close(hFrame), 0u);
}
#else
TEST_F(BarsSampleRun, TheSecondRunShowsTheLayoutTheFirstLeft) {
  GTEST_SKIP() << "the toolbar and the stored layout of the command bars are not in this tree yet";
}
#endif

#if FRAMEBARS_HAVE_TOOLBAR && FRAMEBARS_HAVE_PERSIST && FRAMEBARS_HAVE_MENUBAR
// The number of windows of a process with this text that are shown.
int CountShown(DWORD pid, const std::wstring& text) {
  struct S {
    DWORD pid;
    const std::wstring* text;
    int n;
  } s = {pid, &text, 0};
  ::EnumWindows(
      [](HWND h, LPARAM l) -> BOOL {
        auto* s = reinterpret_cast<S*>(l);
        DWORD pid = 0;
        ::GetWindowThreadProcessId(h, &pid);
        if (pid == s->pid && ::IsWindowVisible(h) && uidriver::WindowText(h) == *s->text) s->n++;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.n;
}

// The View menu's "Customize..." opens the sheet (command 35001); Alt and a tab's letter
// switch its pages, a click on a tab too; a second sheet is refused; a click on "Close" ends
// it, and the next start shows the bars as they were.
TEST_F(BarsSampleRun, CustomizeFromTheViewMenuSwitchesPagesAndCloses) {
  int nBuiltWidth = 0;
  {
    CSampleProcess first;
    ASSERT_TRUE(first.Start(m_profile));
    HWND hFrame = first.TopWindow(CBarsSampleFrame::kTitle);
    ASSERT_NE(hFrame, nullptr);
    HWND hStandard = DescendantByText(ChildById(hFrame, kDockTop), L"Standard");
    ASSERT_NE(hStandard, nullptr);
    testsupport::PumpFor(300);
    nBuiltWidth = ScreenRect(hStandard).Width();
    ::SetForegroundWindow(hFrame);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return ::GetForegroundWindow() == hFrame; }, 5000));

    // View, Customize...
    AltKey('V');
    testsupport::PumpFor(400);
    uidriver::PressKey('C');
    HWND hSheet = first.TopWindow(L"Customize", 8000);
    ASSERT_NE(hSheet, nullptr) << "the View menu's Customize... showed no sheet";
    testsupport::PumpFor(400);
    HWND hTab = DescendantByClass(hSheet, L"SysTabControl32");
    ASSERT_NE(hTab, nullptr);
    const LRESULT nTabs = ::SendMessageW(hTab, TCM_GETITEMCOUNT, 0, 0);
    EXPECT_GE(nTabs, 2);
    auto currentPage = [&] { return CurrentPage(hSheet); };
    EXPECT_EQ(L"Tool&bars", currentPage());
    SavePicture(hSheet, L"commandbars\\customize_sheet_sample_toolbars.png");
    // Alt+C: the commands page.
    AltKey('C');
    EXPECT_TRUE(testsupport::PumpUntil([&] { return currentPage() == L"&Commands"; }, 5000));
    testsupport::PumpFor(200);
    SavePicture(hSheet, L"commandbars\\customize_sheet_sample_commands.png");
    if (nTabs >= 4) {
      EXPECT_EQ(4, nTabs);
      AltKey('K');
      EXPECT_TRUE(testsupport::PumpUntil([&] { return currentPage() == L"&Keyboard"; }, 5000));
      testsupport::PumpFor(200);
      SavePicture(hSheet, L"commandbars\\customize_sheet_sample_keyboard.png");
      AltKey('O');
      EXPECT_TRUE(testsupport::PumpUntil([&] { return currentPage() == L"&Options"; }, 5000));
      testsupport::PumpFor(200);
      SavePicture(hSheet, L"commandbars\\customize_sheet_sample_options.png");
    }
    // A second sheet is refused.
    ::PostMessageW(hFrame, WM_COMMAND, ID_TOOLS_CUSTOMIZE, 0);
    testsupport::PumpFor(500);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hFrame, &pid);
    EXPECT_EQ(1, CountShown(pid, L"Customize"));
    EXPECT_TRUE(::IsWindowVisible(hSheet));

    // The first tab again, by mouse.
    EXPECT_TRUE(ClickTab(hSheet, 0, L"Tool&bars"));
    // A click on "Close" ends the sheet.
    HWND hClose = uidriver::FindButton(hSheet, L"Close");
    ASSERT_NE(hClose, nullptr);
    EXPECT_TRUE(::IsWindowVisible(hClose));
    uidriver::Click(hClose);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return !::IsWindow(hSheet) || !::IsWindowVisible(hSheet); }, 5000));
    EXPECT_EQ(first.Close(hFrame), 0u);
  }
  CSampleProcess second;
  ASSERT_TRUE(second.Start(m_profile));
  HWND hFrame = second.TopWindow(CBarsSampleFrame::kTitle);
  ASSERT_NE(hFrame, nullptr);
  testsupport::PumpFor(300);
  HWND hStandard = DescendantByText(ChildById(hFrame, kDockTop), L"Standard");
  ASSERT_NE(hStandard, nullptr);
  // The sheet changed nothing by itself being opened and closed.
  EXPECT_EQ(nBuiltWidth, ScreenRect(hStandard).Width());
  SavePicture(hFrame, L"commandbars\\customize_sheet_sample_run2.png");
  EXPECT_EQ(second.Close(hFrame), 0u);
}
#endif
