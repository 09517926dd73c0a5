// Popup bars with real windows: placement at the four edges of the work area, also with
// the work area moved away from the screen's origin; a popup that opens without taking the
// activation, tells its command target before opening and its site after closing, and
// closes on a click outside; the modal tracking loop ending on WM_QUIT and handing the
// quit back to the thread.
#include <framework.h>

#include <gtest/gtest.h>

#include "CommandBarsTestSupport.h"
#include "XTPCommandBars.h"
#include "XTPDrawHelpers.h"
#include "XTPMouseManager.h"
#include "XTPPopupBar.h"

using namespace cbtest;

namespace {

// A popup bar whose position, exclude rectangle and alignment a test sets directly.
class CPlacedPopup : public CXTPPopupBar {
 public:
  CRect Place(CPoint pt, CRect rcExclude, DWORD dwFlags, int cx, int cy) {
    m_ptPopup = pt;
    m_rcExclude = rcExclude;
    m_popupFlags = dwFlags;
    return CalcPopupRect(cx, cy);
  }
  BOOL IsScrolling() const { return m_bScrolling; }
};

// A top-level window that records the notifications bars send to their site.
class CSiteWnd : public CWnd {
 public:
  int nInit = 0, nUninit = 0;
  LPARAM lastPopup = 0;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == XTPM_INITCOMMANDSPOPUP) {
      nInit++;
      lastPopup = lParam;
      return 0;
    }
    if (message == XTPM_UNINITCOMMANDSPOPUP) {
      nUninit++;
      lastPopup = lParam;
      return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

// One placement: where the popup is asked to go and where it must land, both relative to
// the work area W (B = W.bottom - 5, M = (W.top + B) / 2).
struct PlacementCase {
  const char* name;
  // Builds the request from W; fills the expected rectangle and flags.
  void (*make)(const CRect& W, CPoint& pt, CRect& rcEx, DWORD& flags, int& cx, int& cy, CRect& expect,
               DWORD& expectFlags, bool& scroll);
};

const int kCx = 120, kCy = 200, kHuge = 5000;

#define CASE(label, ...)                                                                           \
  {label, [](const CRect& W, CPoint& pt, CRect& rcEx, DWORD& flags, int& cx, int& cy, CRect& expect, \
             DWORD& expectFlags, bool& scroll) {                                                    \
     const int B = W.bottom - 5;                                                                    \
     const int M = (W.top + B) / 2;                                                                 \
     (void)B;                                                                                       \
     (void)M;                                                                                       \
     cx = kCx;                                                                                      \
     cy = kCy;                                                                                      \
     rcEx = CRect(0, 0, 0, 0);                                                                      \
     scroll = false;                                                                                \
     __VA_ARGS__                                                                                    \
   }}

const PlacementCase kPlacements[] = {
    CASE("point that fits stays", {
      pt = CPoint(W.left + 50, W.top + 50); flags = 2;
      expect = CRect(pt.x, pt.y, pt.x + kCx, pt.y + kCy); expectFlags = 2;
    }),
    CASE("point below bottom - 5 opens upwards", {
      pt = CPoint(W.left + 50, B + 3); flags = 2;
      expect = CRect(pt.x, pt.y - kCy, pt.x + kCx, pt.y); expectFlags = 2;
    }),
    CASE("point low in the lower half ends at the point", {
      pt = CPoint(W.left + 50, B - 50); flags = 2;
      expect = CRect(pt.x, pt.y - kCy, pt.x + kCx, pt.y); expectFlags = 2;
    }),
    CASE("tall popup at a point in the upper half fills the work area", {
      pt = CPoint(W.left + 50, W.top + 10); flags = 2; cy = kHuge;
      expect = CRect(pt.x, W.top, pt.x + kCx, B); expectFlags = 2; scroll = true;
    }),
    CASE("point beyond the right edge opens to its left", {
      pt = CPoint(W.right + 5, W.top + 50); flags = 2;
      expect = CRect(pt.x - kCx, pt.y, pt.x, pt.y + kCy); expectFlags = 2;
    }),
    CASE("point near the right edge is pushed inside", {
      pt = CPoint(W.right - 50, W.top + 50); flags = 2;
      expect = CRect(W.right - kCx, pt.y, W.right, pt.y + kCy); expectFlags = 2;
    }),
    CASE("left-opening point off the left edge goes to the work area's left", {
      pt = CPoint(W.left + 30, W.top + 50); flags = 1;
      expect = CRect(W.left, pt.y, W.left + kCx, pt.y + kCy); expectFlags = 0;
    }),
    CASE("drop-down near the bottom flips above the control", {
      rcEx = CRect(W.left + 100, B - 30, W.left + 160, B - 10); pt = CPoint(rcEx.left, rcEx.bottom); flags = 2;
      expect = CRect(rcEx.left, rcEx.top - kCy, rcEx.left + kCx, rcEx.top); expectFlags = 2;
    }),
    CASE("drop-down fitting nowhere, control low: above and scrolling", {
      rcEx = CRect(W.left + 100, B - 30, W.left + 160, B - 10); pt = CPoint(rcEx.left, rcEx.bottom); flags = 2;
      cy = kHuge;
      expect = CRect(rcEx.left, W.top, rcEx.left + kCx, rcEx.top); expectFlags = 2; scroll = true;
    }),
    CASE("drop-down fitting nowhere, control high: below and scrolling", {
      rcEx = CRect(W.left + 100, W.top + 10, W.left + 160, W.top + 30); pt = CPoint(rcEx.left, rcEx.bottom);
      flags = 2; cy = kHuge;
      expect = CRect(rcEx.left, rcEx.bottom, rcEx.left + kCx, B); expectFlags = 2; scroll = true;
    }),
    CASE("drop-down just above the work area's middle: below and scrolling", {
      rcEx = CRect(W.left + 100, M - 40, W.left + 160, M - 20); pt = CPoint(rcEx.left, rcEx.bottom);
      flags = 2; cy = kHuge;
      expect = CRect(rcEx.left, rcEx.bottom, rcEx.left + kCx, B); expectFlags = 2; scroll = true;
    }),
    CASE("drop-down just below the work area's middle: above and scrolling", {
      rcEx = CRect(W.left + 100, M + 20, W.left + 160, M + 40); pt = CPoint(rcEx.left, rcEx.bottom);
      flags = 2; cy = kHuge;
      expect = CRect(rcEx.left, W.top, rcEx.left + kCx, rcEx.top); expectFlags = 2; scroll = true;
    }),
    CASE("side submenu at the right edge opens left of its control", {
      rcEx = CRect(W.right - 100, W.top + 100, W.right - 10, W.top + 120); pt = CPoint(rcEx.right, rcEx.top);
      flags = 0;
      expect = CRect(rcEx.left - kCx, rcEx.top, rcEx.left, rcEx.top + kCy); expectFlags = 1;
    }),
    CASE("submenu of a left-opening menu keeps opening left", {
      rcEx = CRect(W.left + 300, W.top + 100, W.left + 400, W.top + 120); pt = CPoint(rcEx.right, rcEx.top);
      flags = 1;
      expect = CRect(rcEx.left - kCx, rcEx.top, rcEx.left, rcEx.top + kCy); expectFlags = 1;
    }),
    CASE("left-opening submenu at the left edge opens right again", {
      rcEx = CRect(W.left + 10, W.top + 100, W.left + 90, W.top + 120); pt = CPoint(rcEx.right, rcEx.top);
      flags = 1;
      expect = CRect(rcEx.right, rcEx.top, rcEx.right + kCx, rcEx.top + kCy); expectFlags = 0;
    }),
    CASE("side submenu too low ends at bottom - 5", {
      rcEx = CRect(W.left + 100, B - 20, W.left + 200, B); pt = CPoint(rcEx.right, rcEx.top); flags = 0;
      expect = CRect(rcEx.right, B - kCy, rcEx.right + kCx, B); expectFlags = 0;
    }),
    CASE("right-aligned drop-down ends at the control's right", {
      rcEx = CRect(W.left + 300, W.top + 100, W.left + 400, W.top + 120); pt = CPoint(rcEx.left, rcEx.bottom);
      flags = 3;
      expect = CRect(rcEx.right - kCx, rcEx.bottom, rcEx.right, rcEx.bottom + kCy); expectFlags = 3;
    }),
    CASE("drop-down at the right edge ends at the work area's right", {
      rcEx = CRect(W.right - 50, W.top + 100, W.right - 10, W.top + 120); pt = CPoint(rcEx.left, rcEx.bottom);
      flags = 2;
      expect = CRect(W.right - kCx, rcEx.bottom, W.right, rcEx.bottom + kCy); expectFlags = 3;
    }),
    CASE("right-aligned drop-down at the left edge starts at the work area's left", {
      rcEx = CRect(W.left + 10, W.top + 100, W.left + 60, W.top + 120); pt = CPoint(rcEx.left, rcEx.bottom);
      flags = 3;
      expect = CRect(W.left, rcEx.bottom, W.left + kCx, rcEx.bottom + kCy); expectFlags = 2;
    }),
};
#undef CASE

CRect g_rcMovedWork;
CRect AFX_CDECL MovedWorkArea(LPCRECT, POINT) { return g_rcMovedWork; }

// Runs the table in the work area W that the placement itself reads.
void CheckPlacements(const char* where, const CRect& W) {
  CPlacedPopup popup;
  for (const PlacementCase& c : kPlacements) {
    CPoint pt;
    CRect rcEx, expect;
    DWORD flags = 0, expectFlags = 0;
    int cx = 0, cy = 0;
    bool scroll = false;
    c.make(W, pt, rcEx, flags, cx, cy, expect, expectFlags, scroll);
    const CRect got = popup.Place(pt, rcEx, flags, cx, cy);
    EXPECT_EQ(expect, got) << where << ": " << c.name << " got (" << got.left << ", " << got.top << ", "
                           << got.right << ", " << got.bottom << ") expected (" << expect.left << ", "
                           << expect.top << ", " << expect.right << ", " << expect.bottom << ")";
    EXPECT_EQ(expectFlags, popup.GetPopupFlags()) << where << ": " << c.name;
    EXPECT_EQ(scroll, popup.IsScrolling() != FALSE) << where << ": " << c.name;
  }
}

TEST(PopupPlacement, AtTheFourEdgesOfTheWorkArea) {
  CheckPlacements("monitor work area", CXTPMultiMonitor::GetWorkArea(CPoint(0, 0)));
}

// A work area whose left and top are not 0. The system setting is tried first; where the
// monitor does not follow it (Wine keeps the monitor's own), the placement's work-area
// seam gives the same moved area.
TEST(PopupPlacement, WithTheWorkAreaMovedFromTheOrigin) {
  CRect rcOld;
  ASSERT_TRUE(::SystemParametersInfo(SPI_GETWORKAREA, 0, &rcOld, 0));
  const CRect rcScreen(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
  const CRect rcMoved(rcScreen.left + 100, rcScreen.top + 80, rcScreen.right - 60, rcScreen.bottom - 40);
  ::SystemParametersInfo(SPI_SETWORKAREA, 0, (PVOID)(LPCRECT)rcMoved, 0);
  const bool bFollows = CXTPMultiMonitor::GetWorkArea(CPoint(rcMoved.left + 5, rcMoved.top + 5)) == rcMoved;
  CXTPPopupBar::PFNGETWORKAREA pfnOld = NULL;
  if (!bFollows) {
    g_rcMovedWork = rcMoved;
    pfnOld = CXTPPopupBar::SetWorkAreaProc(&MovedWorkArea);
  }
  CheckPlacements(bFollows ? "work area moved by the system" : "work area moved through the seam", rcMoved);
  if (!bFollows) CXTPPopupBar::SetWorkAreaProc(pfnOld);
  ::SystemParametersInfo(SPI_SETWORKAREA, 0, &rcOld, 0);
}

// The moved area with the middle rule written as half the height alone would send this
// drop-down above; measured from the area's own top it goes below.
TEST(PopupPlacement, TheMiddleIsTheWorkAreasOwn) {
  g_rcMovedWork = CRect(0, 400, 1000, 1000);  // B = 995, middle (400 + 995) / 2 = 697
  CXTPPopupBar::PFNGETWORKAREA pfnOld = CXTPPopupBar::SetWorkAreaProc(&MovedWorkArea);
  CPlacedPopup popup;
  const CRect rcControl(100, 600, 160, 620);  // centre 610: above 297, below 697
  const CRect got = popup.Place(CPoint(100, 620), rcControl, 2, 120, kHuge);
  CXTPPopupBar::SetWorkAreaProc(pfnOld);
  EXPECT_EQ(CRect(100, 620, 220, 995), got) << "below the control, scrolling";
  EXPECT_TRUE(popup.IsScrolling());
}

class PopupWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    ParkPointer();
    ASSERT_TRUE(testsupport::CreateTestWindow(site, CRect(100, 100, 600, 500), L"popup site"));
    Activate(site.GetSafeHwnd());
    pPopup = CXTPPopupBar::CreatePopupBar(NULL);
    ASSERT_NE(nullptr, pPopup);
    pPopup->SetOwner(&site);
  }
  void TearDown() override {
    XTPMouseManager()->CloseAllTrackingBars();
    if (pPopup != NULL) pPopup->InternalRelease();
    site.DestroyWindow();
    PumpFor(20);
  }
  CSiteWnd site;
  CXTPPopupBar* pPopup = NULL;
};

TEST_F(PopupWindow, OpensAtAPointWithoutTakingTheActivation) {
  ASSERT_TRUE(pPopup->PopupAt(200, 150));
  PumpFor(50);
  HWND hPopup = pPopup->GetSafeHwnd();
  ASSERT_NE(nullptr, hPopup);
  EXPECT_TRUE(::IsWindowVisible(hPopup));
  EXPECT_TRUE(pPopup->IsTrackingMode());
  EXPECT_NE(0, ::GetWindowLongPtr(hPopup, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_NE(0, ::GetWindowLongPtr(hPopup, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(site.GetSafeHwnd(), ::GetWindow(hPopup, GW_OWNER));
  EXPECT_EQ(1, site.nInit);
  EXPECT_EQ((LPARAM)pPopup, site.lastPopup);
  // An empty menu: 22 pixels of content inside the borders.
  CRect rc;
  ::GetWindowRect(hPopup, &rc);
  EXPECT_EQ(CPoint(200, 150), rc.TopLeft());
  EXPECT_GE(rc.Width(), 22);
  EXPECT_GE(rc.Height(), 22);
  EXPECT_EQ(site.GetSafeHwnd(), ::GetForegroundWindow());

  // A click on the popup leaves the site active.
  ClickAt(rc.CenterPoint());
  EXPECT_EQ(site.GetSafeHwnd(), ::GetForegroundWindow());
  EXPECT_TRUE(::IsWindow(hPopup));

  // A click outside closes it: window gone, the site told.
  CRect rcSite;
  site.GetWindowRect(&rcSite);
  ClickAt(CPoint(rcSite.right - 40, rcSite.bottom - 40));
  PumpUntil([&] { return !::IsWindow(hPopup); }, 1000);
  EXPECT_FALSE(::IsWindow(hPopup));
  EXPECT_FALSE(pPopup->IsTrackingMode());
  EXPECT_EQ(1, site.nUninit);
}

TEST_F(PopupWindow, DropsBelowAnExcludedControlAndFlipsAboveItNearTheBottom) {
  const CRect W = CXTPMultiMonitor::GetWorkArea(CPoint(0, 0));
  struct Row {
    CRect rcControl;
    bool above;
  } rows[] = {
      {CRect(W.left + 150, W.top + 100, W.left + 220, W.top + 120), false},
      {CRect(W.left + 150, W.bottom - 30, W.left + 220, W.bottom - 10), true},
  };
  for (const Row& row : rows) {
    pPopup->SetPopupFlags(CXTPPopupBar::xtpPopupDown);
    ASSERT_TRUE(pPopup->PopupAt(row.rcControl.left, row.rcControl.bottom, &row.rcControl));
    PumpFor(30);
    CRect rc;
    pPopup->GetWindowRect(&rc);
    if (row.above)
      EXPECT_EQ(row.rcControl.top, rc.bottom);
    else
      EXPECT_EQ(row.rcControl.bottom, rc.top);
    EXPECT_EQ(row.rcControl.left, rc.left);
    pPopup->CancelTracking();
    PumpFor(20);
    EXPECT_EQ(nullptr, pPopup->GetSafeHwnd());
  }
}

// Posts WM_QUIT from inside the tracking loop.
void CALLBACK PostQuitProc(HWND hWnd, UINT, UINT_PTR idEvent, DWORD) {
  ::KillTimer(hWnd, idEvent);
  ::PostQuitMessage(42);
}

TEST_F(PopupWindow, QuitWhileTrackingEndsTheLoopAndReachesTheThread) {
  ::SetTimer(site.GetSafeHwnd(), 7, 100, &PostQuitProc);
  const DWORD t0 = ::GetTickCount();
  const int nResult = CXTPCommandBars::TrackPopupBar(pPopup, TPM_RETURNCMD, 220, 180, &site);
  EXPECT_LT(::GetTickCount() - t0, 3000u);
  EXPECT_EQ(0, nResult) << "nothing chosen";
  EXPECT_FALSE(pPopup->IsTrackingMode());
  EXPECT_EQ(nullptr, pPopup->GetSafeHwnd());
  MSG msg;
  ASSERT_TRUE(::PeekMessage(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit was posted again";
  EXPECT_EQ(42, (int)msg.wParam);
}

// A click outside the tracked popup, sent as real input from inside the loop.
void CALLBACK ClickOutsideProc(HWND hWnd, UINT, UINT_PTR idEvent, DWORD) {
  ::KillTimer(hWnd, idEvent);
  RECT rc;
  ::GetWindowRect(hWnd, &rc);
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT in[3] = {};
  for (INPUT& i : in) i.type = INPUT_MOUSE;
  in[0].mi.dx = ((rc.right - 30) * 65535 + cx / 2) / (cx - 1);
  in[0].mi.dy = ((rc.bottom - 30) * 65535 + cy / 2) / (cy - 1);
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(3, in, sizeof(INPUT));
}

TEST_F(PopupWindow, TrackingEndsOnAClickOutsideAndAnswersOne) {
  ::SetTimer(site.GetSafeHwnd(), 8, 150, &ClickOutsideProc);
  const int nResult = CXTPCommandBars::TrackPopupBar(pPopup, 0, 220, 180, &site);
  EXPECT_EQ(1, nResult);
  EXPECT_FALSE(pPopup->IsTrackingMode());
  EXPECT_EQ(1, site.nInit);
  EXPECT_EQ(1, site.nUninit);
  MSG msg;
  EXPECT_FALSE(::PeekMessage(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(PopupBar, RecordsAndDefaults) {
  CXTPPopupBar* pBar = CXTPPopupBar::CreatePopupBar(NULL);
  ASSERT_NE(nullptr, pBar);
  EXPECT_EQ(xtpBarTypePopup, pBar->GetType());
  EXPECT_EQ(xtpBarPopup, pBar->GetPosition());
  EXPECT_EQ(0, pBar->GetMRUWidth());
  EXPECT_EQ(CRect(2, 4, 2, 4), pBar->GetBorders());
  EXPECT_TRUE(pBar->IsShowShadow());
  EXPECT_EQ(xtpAnimateNone, pBar->GetAnimationType()) << "no command bars: no animation";
  CObject* pByName = CRuntimeClass::FromName("CXTPPopupToolBar")->CreateObject();
  ASSERT_NE(nullptr, pByName);
  EXPECT_TRUE(pByName->IsKindOf(RUNTIME_CLASS(CXTPPopupBar)));
  EXPECT_EQ(xtpBarTypeNormal, ((CXTPPopupBar*)pByName)->GetType());
  ((CXTPPopupBar*)pByName)->InternalRelease();
  pBar->InternalRelease();
}

}  // namespace
