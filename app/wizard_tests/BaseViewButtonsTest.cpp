// The buttons of a wizard page at their pixels: Next and Stop at the right, Back and Preview
// left of them, and Exit left of Back, or in Back's place while Back is hidden.
#include <gtest/gtest.h>

#include <framework.h>

#include "CommonBaseView.h"
#include "SystemImageList.h"
#include "WelcomeView.h"
#include "test_pump.h"
#include "test_window.h"

namespace {

struct Place {
  int fromRight;  // the button's left edge, counted from the page's right edge
  int fromBottom;  // its top edge, counted from the page's bottom edge
};

Place PlaceOf(CWnd& page, CWnd& button) {
  CRect rcPage, rcButton;
  page.GetClientRect(&rcPage);
  page.ClientToScreen(&rcPage);
  button.GetWindowRect(&rcButton);
  return {rcPage.right - rcButton.left, rcPage.bottom - rcButton.top};
}

}  // namespace

TEST(WizardPageButtons, ExitTakesBacksPlaceWhileBackIsHidden) {
  CWnd host;
  ASSERT_TRUE(testsupport::CreateTestWindow(host, CRect(0, 0, 900, 700), L"page host"));
  auto* page = new CTarrowCommonBaseView;  // a view deletes itself with its window
  ASSERT_TRUE(page->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 800, 600), &host, 0xE900, nullptr));
  page->OnInitialUpdate();
  page->ShowExitButton(TRUE);
  page->ShowStopButton(FALSE);

  const struct {
    BOOL back;
    CSize size;
    int exitFromRight;
  } cases[] = {
      {TRUE, CSize(800, 600), 360},  {FALSE, CSize(800, 600), 240}, {TRUE, CSize(640, 480), 360},
      {FALSE, CSize(640, 480), 240}, {FALSE, CSize(880, 660), 240}, {TRUE, CSize(880, 660), 360},
  };
  for (const auto& c : cases) {
    page->SetWindowPos(nullptr, 0, 0, c.size.cx, c.size.cy, SWP_NOZORDER | SWP_NOMOVE);
    page->ShowBackButton(c.back);
    testsupport::PumpFor(50);
    const std::string label = std::string(c.back ? "Back shown, " : "Back hidden, ") + std::to_string(c.size.cx);
    EXPECT_EQ((page->m_btnBack.GetStyle() & WS_VISIBLE) != 0, c.back != FALSE) << label;
    const Place exit = PlaceOf(*page, page->m_btnExit);
    EXPECT_EQ(exit.fromRight, c.exitFromRight) << label;
    EXPECT_EQ(exit.fromBottom, 50) << label;
    const Place next = PlaceOf(*page, page->m_btnNext);
    EXPECT_EQ(next.fromRight, 120) << label;
    EXPECT_EQ(next.fromBottom, 50) << label;
    const Place back = PlaceOf(*page, page->m_btnBack);
    EXPECT_EQ(back.fromRight, 240) << label;
    // Exit never covers a shown Back, nor Next.
    CRect rcExit, rcBack, rcNext, overlap;
    page->m_btnExit.GetWindowRect(&rcExit);
    page->m_btnBack.GetWindowRect(&rcBack);
    page->m_btnNext.GetWindowRect(&rcNext);
    if (c.back) EXPECT_FALSE(overlap.IntersectRect(&rcExit, &rcBack)) << label;
    EXPECT_FALSE(overlap.IntersectRect(&rcExit, &rcNext)) << label;
  }
  host.DestroyWindow();
}

// Page 1 shows its rows with the shell's system icons; the shell's list is shared by the
// whole process and must keep its images once the page and its list are gone.
TEST(WizardPageButtons, SystemIconsOutliveTheFilePage) {
  CSystemImageList images;
  HIMAGELIST hShell = images.GetSystemImageList(TRUE);
  ASSERT_NE(hShell, nullptr);
  const int count = ImageList_GetImageCount(hShell);
  ASSERT_GT(count, 0);
  for (int round = 0; round < 2; ++round) {  // twice: a second page must find the list whole
    CWnd host;
    ASSERT_TRUE(testsupport::CreateTestWindow(host, CRect(0, 0, 900, 700), L"page host"));
    auto* page = new C1TarrowWelcomeView;
    ASSERT_TRUE(page->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 800, 600), &host, 0xE900, nullptr));
    page->OnInitialUpdate();
    HWND hList = ::GetDlgItem(page->GetSafeHwnd(), 1000);
    ASSERT_NE(hList, nullptr);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(::SendMessageW(hList, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), hShell) << round;
    EXPECT_NE(::GetWindowLongW(hList, GWL_STYLE) & LVS_SHAREIMAGELISTS, 0) << round;
    testsupport::PumpFor(50);
    host.DestroyWindow();
    testsupport::PumpFor(50);
    EXPECT_EQ(ImageList_GetImageCount(hShell), count) << round;
    IMAGEINFO info = {};
    EXPECT_TRUE(ImageList_GetImageInfo(hShell, 0, &info)) << round;
    EXPECT_EQ(images.GetSystemImageList(TRUE), hShell) << round;
  }
  // The icon of a book on an unreachable share comes from its name alone, at once.
  const DWORD start = ::GetTickCount();
  const int remote = images.GetIconIndex(L"\\\\nohost\\share\\names.nsf", TRUE);
  EXPECT_LT(::GetTickCount() - start, 1000u);
  EXPECT_GE(remote, 0);
  EXPECT_LT(remote, ImageList_GetImageCount(hShell));
}
