// The pane splitter with real windows under the X display, dragged with real mouse input.
#include <gtest/gtest.h>

#include "PaneSplitter.h"
#include "UiDriver.h"
#include "test_picture.h"
#include "test_pump.h"
#include "test_window.h"

namespace {

using testsupport::Dispatch;
using testsupport::PumpFor;
using testsupport::PumpUntil;

class CSplitTestApp : public CWinApp {
 public:
  CSplitTestApp() : CWinApp(L"SplitterTest") {}
};

// A pane: an edit, so that it can hold the focus the splitter takes and gives back.
BOOL MakePane(CEdit& pane, CWnd& parent, UINT nID) {
  return pane.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE, CRect(0, 0, 10, 10), &parent, nID);
}

class Splitter : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testsupport::CreateTestWindow(parent, CRect(40, 40, 640, 480), L"splitter"));
    ASSERT_TRUE(MakePane(first, parent, 11));
    ASSERT_TRUE(MakePane(second, parent, 12));
  }
  void TearDown() override {
    if (splitter.GetSafeHwnd()) splitter.DestroyWindow();
    parent.DestroyWindow();
  }
  // Creates the splitter over the parent's whole client area.
  void Create(DWORD dwMode, UINT nID = 61191) {
    ASSERT_TRUE(splitter.Create(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | dwMode, &parent, &first, &second, nID,
                                CRect(0, 0, 2000, 2000), 10, 10));
    CRect rc;
    parent.GetClientRect(&rc);
    splitter.MoveWindow(&rc);
    PumpFor(50);
  }
  CRect PaneRect(CWnd& pane) {
    CRect rc;
    pane.GetWindowRect(&rc);
    splitter.ScreenToClient(&rc);
    return rc;
  }
  POINT ScreenPoint(int x, int y) {
    POINT pt = {x, y};
    splitter.ClientToScreen(&pt);
    return pt;
  }
  static void Button(bool down) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &in, sizeof(in));
  }
  // Moves the mouse in steps, so that the splitter sees the way there.
  void MoveInSteps(POINT from, POINT to) {
    for (int k = 1; k <= 8; ++k) {
      uidriver::MoveMouseTo({from.x + (to.x - from.x) * k / 8, from.y + (to.y - from.y) * k / 8});
      PumpFor(15, Dispatch::PreTranslate);
    }
  }

  CWnd parent;
  CEdit first;
  CEdit second;
  CPaneSplitter splitter;
};

TEST_F(Splitter, CreateMakesThePanesChildrenAndLaysOutTheVerticalBoundaryAt202) {
  ASSERT_TRUE(splitter.Create(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | CPaneSplitter::kVertical, &parent, &first,
                              &second, 61191, CRect(0, 0, 2000, 2000), 10, 10));
  EXPECT_EQ(first.GetParent(), &splitter);
  EXPECT_EQ(second.GetParent(), &splitter);
  EXPECT_EQ(::GetWindow(first.GetSafeHwnd(), GW_OWNER), nullptr) << "child windows have no owner of their own";
  EXPECT_TRUE(splitter.GetStyle() & SS_NOTIFY);
  EXPECT_TRUE(splitter.IsVertical());
  EXPECT_FALSE(splitter.IsHorizontal());
  EXPECT_EQ(splitter.GetLeftWidth(), 200);
  EXPECT_EQ(splitter.GetVertBarRect(), CRect(197, 0, 207, 2000));
  EXPECT_EQ(PaneRect(first), CRect(0, 0, 200, 2000));
  EXPECT_EQ(PaneRect(second), CRect(205, 0, 2000, 2000));
}

TEST_F(Splitter, HorizontalSetUpKeeps200PixelsBelow) {
  Create(CPaneSplitter::kHorizontal, 59397);
  CRect rc;
  splitter.GetClientRect(&rc);
  EXPECT_EQ(splitter.GetBottomHeight(), 200);
  // Resizing keeps the lower pane's height: y = cy - 2 - 200.
  EXPECT_EQ(PaneRect(second), CRect(0, rc.bottom - 200, rc.right, rc.bottom));
  EXPECT_EQ(PaneRect(first), CRect(0, 0, rc.right, rc.bottom - 205));
  splitter.MoveWindow(0, 0, 300, 500);
  PumpFor(20);
  EXPECT_EQ(PaneRect(second), CRect(0, 300, 300, 500));
}

// The boundary between the minimums, for window widths and a fixed left width of 200.
struct ClampCase {
  int cx;
  int expectedBar;
};

class SplitterClamp : public Splitter, public ::testing::WithParamInterface<ClampCase> {};

TEST_P(SplitterClamp, ResizeClampsTheBoundary) {
  Create(CPaneSplitter::kVertical);
  splitter.MoveWindow(0, 0, GetParam().cx, 300);
  PumpFor(20);
  const int x = GetParam().expectedBar;
  EXPECT_EQ(splitter.GetVertBarRect().left, x - 5);
  EXPECT_EQ(splitter.GetLeftRect().right, x - 2);
  EXPECT_EQ(splitter.GetLeftWidth(), 200) << "resizing does not change the remembered width";
}

INSTANTIATE_TEST_SUITE_P(Widths, SplitterClamp,
                         ::testing::Values(ClampCase{150, 140},  // right minimum: 150 - 10
                                           ClampCase{600, 202},  // room enough: 200 + 2
                                           ClampCase{15, 10}),   // both minimums: the left one wins
                         [](const auto& info) { return "Width" + std::to_string(info.param.cx); });

TEST_F(Splitter, DraggingTheBarLeftStopsAtTheMinimumWidth) {
  Create(CPaneSplitter::kVertical);
  const POINT start = ScreenPoint(202, 100);
  uidriver::MoveMouseTo(start);
  PumpFor(30);
  Button(true);
  ASSERT_TRUE(PumpUntil([&] { return splitter.IsDragging(); }, 2000));
  EXPECT_EQ(::GetCapture(), splitter.GetSafeHwnd());
  EXPECT_EQ(::GetFocus(), splitter.GetSafeHwnd());
  MoveInSteps(start, ScreenPoint(5, 100));
  // The panes stay until the button is released.
  EXPECT_EQ(PaneRect(first).right, 200);
  {
    // The inverted bar shows at the clamped position over the white left pane.
    testsupport::CSnapshot shot(parent.GetSafeHwnd(), testsupport::WindowArea::Whole);
    shot.SavePng(testsupport::ArtifactPath(L"wizard\\splitter_drag.png"));
    EXPECT_EQ(shot.Pixel(10, 100), static_cast<COLORREF>(0xFFFFFF ^ CPaneSplitter::kTrackerColor));
    EXPECT_EQ(shot.Pixel(100, 100), static_cast<COLORREF>(0xFFFFFF)) << "no bar elsewhere";
  }
  Button(false);
  ASSERT_TRUE(PumpUntil([&] { return !splitter.IsDragging(); }, 2000));
  EXPECT_EQ(splitter.GetVertBarRect().left, 10 - 5);
  EXPECT_EQ(PaneRect(first), CRect(0, 0, 8, PaneRect(first).bottom));
  EXPECT_EQ(splitter.GetLeftWidth(), 8);
  EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(Splitter, DraggingRightMovesBothPanesOnRelease) {
  Create(CPaneSplitter::kVertical);
  const POINT start = ScreenPoint(201, 50);
  uidriver::MoveMouseTo(start);
  PumpFor(30);
  Button(true);
  ASSERT_TRUE(PumpUntil([&] { return splitter.IsDragging(); }, 2000));
  MoveInSteps(start, ScreenPoint(350, 50));
  Button(false);
  ASSERT_TRUE(PumpUntil([&] { return !splitter.IsDragging(); }, 2000));
  EXPECT_EQ(PaneRect(first).right, 348);
  EXPECT_EQ(PaneRect(second).left, 353);
  // A later resize keeps the new width.
  splitter.MoveWindow(0, 0, 500, 300);
  PumpFor(20);
  EXPECT_EQ(PaneRect(first).right, 348);
}

TEST_F(Splitter, EscapeDuringADragRestoresTheFocusAndLeavesThePanes) {
  Create(CPaneSplitter::kVertical);
  second.SetFocus();
  ASSERT_EQ(::GetFocus(), second.GetSafeHwnd());
  const CRect before = PaneRect(first);
  const POINT start = ScreenPoint(202, 120);
  uidriver::MoveMouseTo(start);
  PumpFor(30);
  Button(true);
  ASSERT_TRUE(PumpUntil([&] { return splitter.IsDragging(); }, 2000));
  MoveInSteps(start, ScreenPoint(400, 120));
  uidriver::PressKey(VK_ESCAPE);
  ASSERT_TRUE(PumpUntil([&] { return !splitter.IsDragging(); }, 2000, Dispatch::PreTranslate));
  EXPECT_EQ(::GetFocus(), second.GetSafeHwnd());
  EXPECT_EQ(::GetCapture(), nullptr);
  Button(false);
  PumpFor(50, Dispatch::PreTranslate);
  EXPECT_EQ(PaneRect(first), before);
  EXPECT_EQ(splitter.GetLeftWidth(), 200);
  // Escape is typed into no pane: the edit holds no text.
  CString text;
  second.GetWindowText(text);
  EXPECT_TRUE(text.IsEmpty());
}

TEST_F(Splitter, CollapsedBottomStartsNoDragAndExpandRestoresItsHeight) {
  Create(CPaneSplitter::kHorizontal, 59397);
  CRect rc;
  splitter.GetClientRect(&rc);
  const CRect bar = splitter.GetHorizBarRect();
  splitter.CollapseBottom();
  EXPECT_TRUE(splitter.IsBottomCollapsed());
  EXPECT_FALSE(second.IsWindowVisible());
  EXPECT_EQ(PaneRect(first), rc);
  EXPECT_TRUE(splitter.GetHorizBarRect().IsRectEmpty());

  // Where the bar was is now the upper pane: a press there is the pane's, and no drag starts.
  uidriver::MoveMouseTo(ScreenPoint(100, bar.CenterPoint().y));
  PumpFor(30);
  Button(true);
  PumpFor(100);
  EXPECT_FALSE(splitter.IsDragging());
  Button(false);
  PumpFor(30);

  // Resizing while collapsed keeps the upper pane filling the window.
  splitter.MoveWindow(0, 0, 400, 350);
  PumpFor(20);
  EXPECT_EQ(PaneRect(first), CRect(0, 0, 400, 350));

  splitter.ExpandBottom();
  EXPECT_FALSE(splitter.IsBottomCollapsed());
  EXPECT_TRUE(second.IsWindowVisible());
  EXPECT_EQ(PaneRect(second), CRect(0, 350 - 200, 400, 350));
  EXPECT_EQ(PaneRect(first), CRect(0, 0, 400, 145));
  // Collapse is for horizontal mode only.
  CPaneSplitter vertical;
  CEdit a, b;
  ASSERT_TRUE(MakePane(a, parent, 21));
  ASSERT_TRUE(MakePane(b, parent, 22));
  ASSERT_TRUE(vertical.Create(WS_CHILD | WS_VISIBLE | CPaneSplitter::kVertical, &parent, &a, &b, 5,
                              CRect(0, 0, 300, 300), 10, 10));
  vertical.CollapseBottom();
  EXPECT_FALSE(vertical.IsBottomCollapsed());
  EXPECT_TRUE(b.IsWindowVisible());
  vertical.DestroyWindow();
}

TEST_F(Splitter, DestroyWritesThePositionsToTheProfileAndSetUpDoesNotReadThem) {
  const std::wstring company = L"VorlixSplitterTest";
  ::RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + company).c_str());
  {
    CSplitTestApp app;
    app.SetRegistryKey(company.c_str());
    // A stored position from an earlier run does not move the boundary.
    app.WriteProfileInt(L"splt\\init_v61191", L"VertSplitPos", 333);
    Create(CPaneSplitter::kVertical, 61191);
    EXPECT_EQ(splitter.GetLeftRect().right, 200);
    splitter.LayoutVertical(260);
    splitter.DestroyWindow();
    EXPECT_EQ(static_cast<int>(app.GetProfileInt(L"splt\\init_v61191", L"VertSplitPos", -1)), 258);

    CPaneSplitter horizontal;
    CEdit a, b;
    ASSERT_TRUE(MakePane(a, parent, 21));
    ASSERT_TRUE(MakePane(b, parent, 22));
    ASSERT_TRUE(horizontal.Create(WS_CHILD | WS_VISIBLE | CPaneSplitter::kHorizontal, &parent, &a, &b, 59397,
                                  CRect(0, 0, 300, 400), 10, 10));
    horizontal.LayoutHorizontal(250);
    horizontal.DestroyWindow();
    EXPECT_EQ(static_cast<int>(app.GetProfileInt(L"splt\\init_h59397", L"HorizSplitPos", -1)), 400 - 252);
    EXPECT_EQ(static_cast<int>(app.GetProfileInt(L"splt\\init_v59397", L"VertSplitPos", -1)), -1)
        << "a horizontal splitter has no left pane to write";
  }
  ::RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + company).c_str());
}

TEST_F(Splitter, PictureOfBothSplittersAsThePageNestsThem) {
  // The outer one holds a pane and the inner one, as on the folder page.
  CPaneSplitter inner;
  CEdit top, bottom;
  ASSERT_TRUE(MakePane(top, parent, 31));
  ASSERT_TRUE(MakePane(bottom, parent, 32));
  top.SetWindowText(L"upper pane");
  bottom.SetWindowText(L"lower pane");
  first.SetWindowText(L"left pane");
  ASSERT_TRUE(inner.Create(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | CPaneSplitter::kHorizontal, &parent, &top, &bottom,
                           59397, CRect(0, 0, 2000, 2000), 10, 10));
  ASSERT_TRUE(splitter.Create(WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | CPaneSplitter::kVertical, &parent, &first,
                              &inner, 61191, CRect(0, 0, 2000, 2000), 10, 10));
  CRect rc;
  parent.GetClientRect(&rc);
  splitter.MoveWindow(&rc);
  PumpFor(100);
  EXPECT_EQ(inner.GetParent(), &splitter);
  CRect rcInner;
  inner.GetClientRect(&rcInner);
  EXPECT_EQ(rcInner.Width(), rc.Width() - 205);
  CRect rcBottom;
  bottom.GetWindowRect(&rcBottom);
  EXPECT_EQ(rcBottom.Height(), 200);
  testsupport::CSnapshot shot(parent.GetSafeHwnd(), testsupport::WindowArea::Client);
  shot.SavePng(testsupport::ArtifactPath(L"wizard\\splitter_nested.png"));
}

}  // namespace
