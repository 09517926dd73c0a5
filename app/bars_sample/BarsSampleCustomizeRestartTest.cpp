// Customizing the bars of the sample program run as its own process, with real input: the
// Customize sheet opened from the View menu, a new toolbar made on its Toolbars page and
// large icons chosen on its Options page; each change seen on the bars at once, and again
// after the program has closed (storing its layout) and started anew.
// Pictures go to build/artifacts/commandbars/bars_sample_customize_*.png.
#include <framework.h>

#include <gtest/gtest.h>

#include <string>

#include "BarsSampleFrame.h"
#include "BarsSampleProcess.h"
#include "FrameBarsTestSupport.h"
#include "UiDriver.h"
#include "resource.h"
#include "test_picture.h"
#include "test_pump.h"
#include "test_window.h"

using namespace framebarstest;

#if FRAMEBARS_HAVE_TOOLBAR && FRAMEBARS_HAVE_PERSIST && FRAMEBARS_HAVE_MENUBAR
namespace {

const int kDockTop = 59419;

// Alt and a letter, as one chord.
void AltKey(WORD vk) {
  INPUT in[4] = {};
  for (INPUT& i : in) i.type = INPUT_KEYBOARD;
  in[0].ki.wVk = VK_MENU;
  in[1].ki.wVk = vk;
  in[2].ki.wVk = vk;
  in[2].ki.dwFlags = KEYEVENTF_KEYUP;
  in[3].ki.wVk = VK_MENU;
  in[3].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(4, in, sizeof(INPUT));
}

void Picture(HWND hWnd, const wchar_t* name) {
  testsupport::PumpFor(300);
  testsupport::CSnapshot shot(hWnd, testsupport::WindowArea::Whole);
  EXPECT_TRUE(shot.SavePng(testsupport::ArtifactPath(name))) << name;
}

// The new bar: docked somewhere in the frame or floating as a window of the process.
HWND FindBar(const CSampleProcess& sample, HWND hFrame, const std::wstring& title) {
  if (HWND h = DescendantByText(hFrame, title)) return h;
  return sample.FindTop(title);
}

class BarsSampleCustomizeRestart : public ::testing::Test {
 protected:
  void SetUp() override {
    m_profile = L"VorlixBarsSampleCustomizeRestart";
    ClearProfile(m_profile);
    testsupport::ParkPointer();
  }
  void TearDown() override { ClearProfile(m_profile); }
  std::wstring m_profile;
};

}  // namespace

TEST_F(BarsSampleCustomizeRestart, NewToolbarAndLargeIconsSeenAtOnceAndAfterARestart) {
  int nBuiltHeight = 0, nLargeHeight = 0;
  {
    CSampleProcess first;
    ASSERT_TRUE(first.Start(m_profile));
    HWND hFrame = first.TopWindow(CBarsSampleFrame::kTitle);
    ASSERT_NE(hFrame, nullptr);
    HWND hStandard = DescendantByText(ChildById(hFrame, kDockTop), L"Standard");
    ASSERT_NE(hStandard, nullptr);
    testsupport::PumpFor(300);
    nBuiltHeight = ScreenRect(hStandard).Height();
    EXPECT_EQ(FindBar(first, hFrame, L"Custom 1"), nullptr);
    Picture(hFrame, L"commandbars\\bars_sample_customize_before.png");
    ::SetForegroundWindow(hFrame);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return ::GetForegroundWindow() == hFrame; }, 5000));

    // View, Customize...
    AltKey('V');
    testsupport::PumpFor(400);
    uidriver::PressKey('C');
    HWND hSheet = first.TopWindow(L"Customize", 8000);
    ASSERT_NE(hSheet, nullptr) << "the View menu's Customize... showed no sheet";
    testsupport::PumpFor(300);

    // Toolbars page: New..., the name it offers taken with OK.
    HWND hNew = DescendantByText(hSheet, L"&New...", L"Button");
    ASSERT_NE(hNew, nullptr);
    uidriver::Click(hNew);
    HWND hNameDlg = first.TopWindow(L"New Toolbar", 8000);
    ASSERT_NE(hNameDlg, nullptr);
    testsupport::PumpFor(200);
    HWND hName = ::GetDlgItem(hNameDlg, 0);
    for (HWND h = ::GetWindow(hNameDlg, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
      if (uidriver::ClassOf(h) == L"Edit") hName = h;
    ASSERT_NE(hName, nullptr);
    EXPECT_EQ(L"Custom 1", uidriver::WindowText(hName));
    Picture(hNameDlg, L"commandbars\\bars_sample_customize_new_toolbar.png");
    uidriver::Click(uidriver::FindButton(hNameDlg, L"OK"));
    ASSERT_TRUE(testsupport::PumpUntil([&] { return FindBar(first, hFrame, L"Custom 1") != nullptr; }, 5000))
        << "no bar \"Custom 1\" after OK";
    HWND hCustom = FindBar(first, hFrame, L"Custom 1");
    EXPECT_TRUE(::IsWindowVisible(hCustom));

    // Options page: Large icons.
    AltKey('O');
    HWND hLarge = nullptr;
    ASSERT_TRUE(testsupport::PumpUntil(
        [&] {
          hLarge = DescendantByText(hSheet, L"&Large icons", L"Button");
          return hLarge && ::IsWindowVisible(hLarge);
        },
        5000));
    EXPECT_EQ(BST_UNCHECKED, ::SendMessageW(hLarge, BM_GETCHECK, 0, 0));
    uidriver::Click(hLarge);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return ::SendMessageW(hLarge, BM_GETCHECK, 0, 0) == BST_CHECKED; }, 3000));
    ASSERT_TRUE(testsupport::PumpUntil([&] { return ScreenRect(hStandard).Height() > nBuiltHeight; }, 5000))
        << "large icons did not re-lay Standard";
    Picture(hSheet, L"commandbars\\bars_sample_customize_options.png");

    HWND hClose = uidriver::FindButton(hSheet, L"Close");
    ASSERT_NE(hClose, nullptr);
    uidriver::Click(hClose);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return !::IsWindow(hSheet) || !::IsWindowVisible(hSheet); }, 5000));
    // At once, with the sheet gone.
    nLargeHeight = ScreenRect(hStandard).Height();
    EXPECT_GT(nLargeHeight, nBuiltHeight);
    EXPECT_NE(FindBar(first, hFrame, L"Custom 1"), nullptr);
    Picture(hFrame, L"commandbars\\bars_sample_customize_changed.png");
    EXPECT_EQ(first.Close(hFrame), 0u);
  }
  CSampleProcess second;
  ASSERT_TRUE(second.Start(m_profile));
  HWND hFrame = second.TopWindow(CBarsSampleFrame::kTitle);
  ASSERT_NE(hFrame, nullptr);
  testsupport::PumpFor(400);
  HWND hStandard = DescendantByText(ChildById(hFrame, kDockTop), L"Standard");
  ASSERT_NE(hStandard, nullptr);
  EXPECT_EQ(nLargeHeight, ScreenRect(hStandard).Height()) << "large icons were not kept";
  HWND hCustom = FindBar(second, hFrame, L"Custom 1");
  EXPECT_NE(hCustom, nullptr) << "the new bar was not kept";
  if (hCustom) EXPECT_TRUE(::IsWindowVisible(hCustom));
  Picture(hFrame, L"commandbars\\bars_sample_customize_restart.png");
  EXPECT_EQ(second.Close(hFrame), 0u);
}
#endif
