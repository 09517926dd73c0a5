// A popup bar taller than its work area, with real windows and real pointer and key input:
// the down arrow shows at first; resting the cursor on it scrolls one item every 80 ms
// until the last item shows, when the down arrow goes and the up arrow comes; the up arrow
// scrolls back; keyboard selection of an item scrolled out of view brings it into view;
// the arrows are drawn in both themes (screenshots kept).
#include <framework.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <test_picture.h>

#include "CommandBarsTestSupport.h"
#include "XTPColorManager.h"
#include "XTPCommandBars.h"
#include "XTPControl.h"
#include "XTPControls.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"

using namespace cbtest;

namespace {

const int kItems = 60;
// A small screen: the work area the popup is placed in ends at y = 400.
CRect AFX_CDECL SmallWorkArea(LPCRECT, POINT) { return CRect(0, 0, 900, 400); }

// A popup that notes the time and the end-visible index after each scroll tick.
class CScrollPopup : public CXTPPopupBar {
 public:
  struct Tick {
    LONGLONG usec;
    UINT_PTR id;
    int nFirst, nEnd;
  };
  std::vector<Tick> ticks;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    const LRESULT lResult = CXTPPopupBar::WindowProc(message, wParam, lParam);
    if (message == WM_TIMER && (wParam == XTP_TID_SCROLLDOWN || wParam == XTP_TID_SCROLLUP)) {
      LARGE_INTEGER now, freq;
      ::QueryPerformanceCounter(&now);
      ::QueryPerformanceFrequency(&freq);
      ticks.push_back({now.QuadPart * 1000000 / freq.QuadPart, wParam, m_nScrollFirst, m_nScrollEnd});
    }
    return lResult;
  }
};

CPoint ScreenCenter(CWnd* pWnd, CRect rc) {
  pWnd->ClientToScreen(&rc);
  return rc.CenterPoint();
}

// Intervals in ms between ticks of one timer that moved the visible run.
std::vector<double> StepIntervals(const std::vector<CScrollPopup::Tick>& ticks, UINT_PTR id) {
  std::vector<double> out;
  const CScrollPopup::Tick* pLast = NULL;
  int nLastFirst = -1, nLastEnd = -1;
  for (const CScrollPopup::Tick& t : ticks) {
    if (t.id != id) continue;
    const bool bMoved = t.nFirst != nLastFirst || t.nEnd != nLastEnd;
    nLastFirst = t.nFirst;
    nLastEnd = t.nEnd;
    if (!bMoved) continue;
    if (pLast != NULL) out.push_back((t.usec - pLast->usec) / 1000.0);
    pLast = &t;
  }
  return out;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

class PopupScroll : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    ParkPointer();
    CXTPPaintManager::SetTheme(GetParam());
    ASSERT_TRUE(testsupport::CreateTestWindow(site, CRect(40, 40, 640, 380), L"scroll site"));
    Activate(site.GetSafeHwnd());
    pfnOld = CXTPPopupBar::SetWorkAreaProc(&SmallWorkArea);
    pPopup = new CScrollPopup();
    pPopup->SetOwner(&site);
    for (int i = 0; i < kItems; i++) {
      CXTPControl* pControl = pPopup->GetControls()->Add(xtpControlButton, 1000 + i);
      CString strCaption;
      strCaption.Format(_T("Item %d"), i + 1);
      pControl->SetCaption(strCaption);
    }
  }
  void TearDown() override {
    XTPMouseManager()->CloseAllTrackingBars();
    CXTPPopupBar::SetWorkAreaProc(pfnOld);
    if (pPopup != NULL) pPopup->InternalRelease();
    site.DestroyWindow();
    CXTPPaintManager::SetTheme(0);
    ParkPointer();
    PumpFor(20);
  }
  void Open() {
    ASSERT_TRUE(pPopup->PopupAt(120, 60));
    PumpFor(60);
    ASSERT_TRUE(pPopup->IsScrolling());
  }
  // Every control outside the visible run carries the scroll hide flag, every one inside
  // is shown.
  void ExpectRunShown() {
    for (int i = 0; i < kItems; i++) {
      const bool bInside = i >= pPopup->GetFirstVisible() && i < pPopup->GetEndVisible();
      EXPECT_EQ(bInside, pPopup->GetControl(i)->IsVisible()) << "item " << i;
      if (!bInside) {
        EXPECT_EQ((DWORD)xtpHideScroll, pPopup->GetControl(i)->GetHideFlags() & xtpHideScroll);
      }
    }
  }
  void Shoot(const wchar_t* name) {
    testsupport::CSnapshot shot(pPopup->GetSafeHwnd(), testsupport::WindowArea::Whole);
    CString strName;
    strName.Format(L"commandbars/%s_theme%d.png", name, GetParam());
    EXPECT_TRUE(shot.SavePng(testsupport::ArtifactPath((LPCWSTR)strName)));
  }
  // The arrow band as the popup shows it: pixels of the arrow colour (the triangle) and
  // pixels of another colour (the band around it), both present.
  void ExpectArrowDrawn(const CRect& rcArrow, const char* what) {
    testsupport::CSnapshot shot(pPopup->GetSafeHwnd(), testsupport::WindowArea::Client);
    const COLORREF clr = XTPGetColorManager()->GetColor(COLOR_BTNTEXT);
    int nArrow = 0, nOther = 0;
    for (int y = rcArrow.top; y < rcArrow.bottom; y++)
      for (int x = rcArrow.left; x < rcArrow.right; x++) (shot.Pixel(x, y) == clr ? nArrow : nOther)++;
    EXPECT_GE(nArrow, 10) << what << ": the triangle";
    EXPECT_LE(nArrow, 30) << what << ": only the triangle";
    EXPECT_GT(nOther, rcArrow.Width() * rcArrow.Height() / 2) << what << ": the band around it";
    // The triangle's tip: one pixel three rows below (down) or above (up) the centre.
    const CPoint c((rcArrow.left + rcArrow.right) / 2, (rcArrow.top + rcArrow.bottom) / 2);
    EXPECT_EQ(clr, shot.Pixel(c.x, c.y)) << what;
  }

  CWnd site;
  CScrollPopup* pPopup = NULL;
  CXTPPopupBar::PFNGETWORKAREA pfnOld = NULL;
};

TEST_P(PopupScroll, OpensWithOnlyTheDownArrowAndTheFirstItems) {
  Open();
  CRect rcWindow;
  pPopup->GetWindowRect(&rcWindow);
  EXPECT_EQ(395, rcWindow.bottom) << "clamped to the work area's bottom - 5";
  EXPECT_EQ(0, pPopup->GetFirstVisible());
  EXPECT_GT(pPopup->GetEndVisible(), 3);
  EXPECT_LT(pPopup->GetEndVisible(), kItems);
  const CRect rcDown = pPopup->GetScrollArrowRect(TRUE);
  EXPECT_FALSE(rcDown.IsRectEmpty());
  EXPECT_EQ(16, rcDown.Height());
  EXPECT_TRUE(pPopup->GetScrollArrowRect(FALSE).IsRectEmpty());
  ExpectRunShown();
  // The last shown item ends above the down arrow.
  EXPECT_LE(pPopup->GetControl(pPopup->GetEndVisible() - 1)->GetRect().bottom, rcDown.top);
  ExpectArrowDrawn(rcDown, "down arrow");
  Shoot(L"popup_scrolling");
}

TEST_P(PopupScroll, RestingOnTheDownArrowScrollsOneItemEvery80ms) {
  Open();
  const int nEnd0 = pPopup->GetEndVisible();
  MovePointer(ScreenCenter(pPopup, pPopup->GetScrollArrowRect(TRUE)), 0);
  ASSERT_TRUE(PumpUntil([&] { return pPopup->GetEndVisible() == kItems; }, 20000, testsupport::Dispatch::Plain, 1));

  // Each tick moved the run by exactly one item, about every 80 ms.
  int nPrev = nEnd0, nSteps = 0;
  for (const CScrollPopup::Tick& t : pPopup->ticks) {
    if (t.id != XTP_TID_SCROLLDOWN) continue;
    // One item a tick; an end one short of the last becomes the last.
    const bool bLastJump = nPrev == kItems - 2 && t.nEnd == kItems;
    EXPECT_TRUE(t.nEnd == nPrev + 1 || t.nEnd == nPrev || bLastJump) << "from " << nPrev << " to " << t.nEnd;
    nSteps += t.nEnd != nPrev;
    nPrev = t.nEnd;
  }
  EXPECT_EQ(kItems - nEnd0 - 1, nSteps);
  const std::vector<double> steps = StepIntervals(pPopup->ticks, XTP_TID_SCROLLDOWN);
  ASSERT_GE(steps.size(), 10u);
  const double median = Median(steps);
  EXPECT_GE(median, 60.0);
  EXPECT_LE(median, 130.0);
  std::printf("scroll step: median %.1f ms over %d steps\n", median, (int)steps.size());

  // At the end: no down arrow, the up arrow shows, the last item sits on the bottom border.
  EXPECT_TRUE(pPopup->GetScrollArrowRect(TRUE).IsRectEmpty());
  const CRect rcUp = pPopup->GetScrollArrowRect(FALSE);
  EXPECT_FALSE(rcUp.IsRectEmpty());
  EXPECT_TRUE(pPopup->GetControl(kItems - 1)->IsVisible());
  EXPECT_GE(pPopup->GetControl(pPopup->GetFirstVisible())->GetRect().top, rcUp.bottom);
  ExpectRunShown();
  // The timer stops: no further scroll ticks while the cursor stays.
  PumpFor(200);
  const size_t nTicks = pPopup->ticks.size();
  PumpFor(400);
  EXPECT_EQ(nTicks, pPopup->ticks.size());
  PumpFor(100);
  ExpectArrowDrawn(rcUp, "up arrow");
  Shoot(L"popup_scrolled_to_end");

  // The up arrow scrolls back to the top, where it disappears.
  MovePointer(ScreenCenter(pPopup, rcUp), 0);
  ASSERT_TRUE(PumpUntil([&] { return pPopup->GetFirstVisible() == 0; }, 20000, testsupport::Dispatch::Plain, 1));
  PumpFor(50);
  EXPECT_TRUE(pPopup->GetScrollArrowRect(FALSE).IsRectEmpty());
  EXPECT_FALSE(pPopup->GetScrollArrowRect(TRUE).IsRectEmpty());
  const double medianUp = Median(StepIntervals(pPopup->ticks, XTP_TID_SCROLLUP));
  EXPECT_GE(medianUp, 60.0);
  EXPECT_LE(medianUp, 130.0);
  ExpectRunShown();
}

TEST_P(PopupScroll, LeavingTheArrowStopsTheScrolling) {
  Open();
  MovePointer(ScreenCenter(pPopup, pPopup->GetScrollArrowRect(TRUE)), 0);
  ASSERT_TRUE(PumpUntil([&] { return pPopup->GetFirstVisible() >= 3; }, 5000, testsupport::Dispatch::Plain, 1));
  // Onto an item in the middle: the timer is killed there.
  CRect rcClient;
  pPopup->GetClientRect(&rcClient);
  MovePointer(ScreenCenter(pPopup, CRect(rcClient.left, rcClient.CenterPoint().y - 2, rcClient.right,
                                         rcClient.CenterPoint().y + 2)));
  PumpFor(100);
  const int nFirst = pPopup->GetFirstVisible();
  PumpFor(400);
  EXPECT_EQ(nFirst, pPopup->GetFirstVisible());
  EXPECT_LT(pPopup->GetEndVisible(), kItems);
}

TEST_P(PopupScroll, KeyboardSelectionBringsAHiddenItemIntoView) {
  Open();
  const int nEnd0 = pPopup->GetEndVisible();
  // Up from the first item wraps to the last, scrolled out of view until now.
  TypeKey(VK_DOWN, 60);
  ASSERT_EQ(0, pPopup->GetSelectedIndex());
  TypeKey(VK_UP, 80);
  ASSERT_EQ(kItems - 1, pPopup->GetSelectedIndex());
  EXPECT_EQ(kItems, pPopup->GetEndVisible());
  EXPECT_TRUE(pPopup->GetControl(kItems - 1)->IsVisible());
  EXPECT_TRUE(pPopup->GetScrollArrowRect(TRUE).IsRectEmpty());
  EXPECT_FALSE(pPopup->GetScrollArrowRect(FALSE).IsRectEmpty());
  ExpectRunShown();
  // Down wraps to the first item: back to the top.
  TypeKey(VK_DOWN, 80);
  EXPECT_EQ(0, pPopup->GetSelectedIndex());
  EXPECT_EQ(0, pPopup->GetFirstVisible());
  EXPECT_TRUE(pPopup->GetScrollArrowRect(FALSE).IsRectEmpty());
  EXPECT_EQ(nEnd0, pPopup->GetEndVisible());
  ExpectRunShown();
  // End and Home do the same.
  TypeKey(VK_END, 80);
  EXPECT_EQ(kItems - 1, pPopup->GetSelectedIndex());
  EXPECT_EQ(kItems, pPopup->GetEndVisible());
  TypeKey(VK_HOME, 80);
  EXPECT_EQ(0, pPopup->GetFirstVisible());
}

TEST_P(PopupScroll, APopupThatFitsDoesNotScroll) {
  while (pPopup->GetControlCount() > 5) pPopup->GetControls()->Remove(pPopup->GetControlCount() - 1);
  ASSERT_TRUE(pPopup->PopupAt(120, 60));
  PumpFor(40);
  EXPECT_FALSE(pPopup->IsScrolling());
  EXPECT_TRUE(pPopup->GetScrollArrowRect(TRUE).IsRectEmpty());
  EXPECT_TRUE(pPopup->GetScrollArrowRect(FALSE).IsRectEmpty());
  for (int i = 0; i < 5; i++) EXPECT_TRUE(pPopup->GetControl(i)->IsVisible());
}

INSTANTIATE_TEST_SUITE_P(Themes, PopupScroll, ::testing::Values(0, 3));

}  // namespace
