// Dock bars, toolbars and their dock contexts in a real frame: row layouts as tables with
// bar sizes the test gives, the docking hit test, toolbar resources, and docking by drag
// with real input.
#include <framework.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>
#include <vector>

#include <test_picture.h>

#include "CommandBarsTestSupport.h"
#include "XTPBarDragContext.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPControl.h"
#include "XTPControls.h"
#include "XTPDockBar.h"
#include "XTPImageManager.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"
#include "XTPToolBar.h"

namespace {

using cbtest::PumpFor;
using cbtest::PumpUntil;

// A frame that handles "Customize", so its bars are customizable.
class CDockTestFrame : public CFrameWnd {
 public:
  afx_msg void OnCustomize() {}
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDockTestFrame, CFrameWnd)
  ON_COMMAND(XTP_ID_CUSTOMIZE, OnCustomize)
END_MESSAGE_MAP()

// A bar whose measurements the test gives: its size, and its width at length 1 when it
// may hide controls.
class CSizedBar : public CXTPToolBar {
  DECLARE_DYNCREATE(CSizedBar)

 public:
  CSize m_sz{100, 22};
  int m_nMin = 100;
  CSize CalcDynamicLayout(int nLength, DWORD dwMode) override {
    CSize sz = m_sz;
    if (dwMode & LM_HIDEWRAP) sz.cx = std::max<int>(m_nMin, std::min<int>(m_sz.cx, nLength));
    if (dwMode & LM_STRETCH) sz.cx = std::max<int>(sz.cx, nLength);
    if (dwMode & LM_VERTDOCK) sz = CSize(sz.cy, sz.cx);
    return sz;
  }
};
IMPLEMENT_DYNCREATE(CSizedBar, CXTPToolBar)

class DockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testsupport::ParkPointer();
    m_pFrame = new CDockTestFrame();
    ASSERT_TRUE(m_pFrame->Create(NULL, L"Dock test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(200, 150, 900, 650)));
    m_pBars = new CXTPCommandBars();
    m_pBars->SetSite(m_pFrame);
    m_pBars->CreateDockBars();
    cbtest::Activate(m_pFrame->m_hWnd);
  }
  void TearDown() override {
    if (m_pBars != NULL) m_pBars->InternalRelease();
    if (m_pFrame != NULL && ::IsWindow(m_pFrame->m_hWnd)) m_pFrame->DestroyWindow();
    PumpFor(30);
  }
  CXTPDockBar* Top() { return m_pBars->GetDockBar(xtpBarTop); }
  // The bar's window rectangle in its dock bar's client coordinates.
  static CRect InDock(CXTPToolBar* pBar) {
    CRect rc;
    pBar->GetWindowRect(&rc);
    ::MapWindowPoints(NULL, ::GetParent(pBar->m_hWnd), (LPPOINT)&rc, 2);
    return rc;
  }
  CSizedBar* AddSized(int cx, int nMin, DWORD dwFlags = 0x3F) {
    CSizedBar* pBar = (CSizedBar*)m_pBars->Add(L"Sized", xtpBarTop, RUNTIME_CLASS(CSizedBar));
    if (pBar == NULL) return NULL;
    pBar->m_sz = CSize(cx, 22);
    pBar->m_nMin = nMin;
    pBar->EnableDocking(dwFlags);
    return pBar;
  }
  // Lays the dock bar out for a row length, placing the bars.
  CSize Layout(CXTPDockBar* pDock, int nLength, DWORD dwMode = LM_HORZ | LM_HORZDOCK) {
    AFX_SIZEPARENTPARAMS layout = {};
    layout.hDWP = ::BeginDeferWindowPos(1);
    const CSize sz = pDock->CalcFixedLayout(nLength, dwMode, &layout);
    ::EndDeferWindowPos(layout.hDWP);
    return sz;
  }
  CDockTestFrame* m_pFrame = NULL;
  CXTPCommandBars* m_pBars = NULL;
};

// ---- Rows as tables -------------------------------------------------------------------------
struct RowBar {
  int cx;       // measured width
  int nMin;     // width at length 1 (single-row bars)
  int nSaved;   // saved start along the row
  BOOL bHideWrap;
};
struct RowCase {
  const char* name;
  int nLength;
  std::vector<RowBar> bars;  // one row, in entry order
  std::vector<CRect> expected;  // final rectangles in the dock bar
  int nThickness;
};

TEST_F(DockTest, RowLayoutTable) {
  const std::vector<RowCase> cases = {
      {"push apart", 300, {{100, 100, 0, FALSE}, {100, 100, 50, FALSE}},
       {CRect(0, 0, 100, 22), CRect(100, 0, 200, 22)}, 22},
      {"same spot: the later one goes right", 300, {{100, 100, 50, FALSE}, {100, 100, 50, FALSE}},
       {CRect(50, 0, 150, 22), CRect(150, 0, 250, 22)}, 22},
      {"pulled back inside the row", 300, {{100, 100, 250, FALSE}},
       {CRect(200, 0, 300, 22)}, 22},
      {"shrink the later bar first", 150, {{100, 30, 0, TRUE}, {100, 30, 100, TRUE}},
       {CRect(0, 0, 100, 22), CRect(100, 0, 150, 22)}, 22},
      {"new row when the minimum does not fit", 50, {{100, 30, 0, TRUE}, {100, 30, 100, TRUE}},
       {CRect(0, 0, 50, 22), CRect(0, 22, 50, 44)}, 44},
      {"a bar that cannot shrink moves to a new row", 150, {{100, 100, 0, FALSE}, {100, 100, 100, FALSE}},
       {CRect(0, 0, 100, 22), CRect(50, 22, 150, 44)}, 44},
  };
  for (const RowCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<CSizedBar*> bars;
    CXTPToolBarArray& arr = Top()->GetBarArray();
    for (const RowBar& b : c.bars) {
      CSizedBar* pBar = AddSized(b.cx, b.nMin);
      ASSERT_NE(pBar, nullptr);
      pBar->SetFlags(0, xtpFlagHideWrap);
      if (b.bHideWrap) pBar->SetFlags(xtpFlagHideWrap);
      pBar->GetDockContext()->m_rcLastDocked = CRect(b.nSaved, 0, b.nSaved + b.cx, 22);
      bars.push_back(pBar);
    }
    // One row in entry order.
    arr.RemoveAll();
    arr.Add(NULL);
    for (CSizedBar* pBar : bars) arr.Add(pBar);
    arr.Add(NULL);
    const CSize sz = Layout(Top(), c.nLength);
    EXPECT_EQ(sz.cy, c.nThickness);
    for (size_t i = 0; i < bars.size(); i++) {
      const CRect rc = InDock(bars[i]);
      EXPECT_EQ(rc, c.expected[i]) << "bar " << i << ": " << rc.left << "," << rc.top << "," << rc.right << ","
                                   << rc.bottom;
    }
    for (CSizedBar* pBar : bars) m_pBars->Remove(pBar);
    EXPECT_EQ(Top()->GetRowCount(), 0);
  }
}

TEST_F(DockTest, DockingByRectOpensNewFirstRowOrJoinsSecond) {
  CSizedBar* pA = AddSized(100, 100);
  CSizedBar* pC = AddSized(100, 100);
  m_pBars->RecalcFrameLayout();
  ASSERT_EQ(Top()->GetRowCount(), 2);
  CRect rcA, rcC;
  pA->GetWindowRect(&rcA);
  pC->GetWindowRect(&rcC);
  ASSERT_LT(rcA.bottom, rcC.bottom);

  // The centre inside the first row: a new first row above it.
  CSizedBar* pD = AddSized(80, 80);
  CRect rcDrop(rcA.left + 200, rcA.top, rcA.left + 280, rcA.bottom);
  m_pBars->DockCommandBar(pD, &rcDrop, Top());
  m_pBars->RecalcFrameLayout();
  CXTPToolBarArray row;
  Top()->GetRowBars(0, row);
  ASSERT_EQ(row.GetSize(), 1);
  EXPECT_EQ(row[0], pD);
  EXPECT_EQ(Top()->GetRowCount(), 3);  // D left its own last row

  // The centre inside the row of C (now the third): D joins that row.
  pC->GetWindowRect(&rcC);
  CRect rcJoin(rcC.right + 50, rcC.top, rcC.right + 130, rcC.bottom);
  m_pBars->DockCommandBar(pD, &rcJoin, Top());
  m_pBars->RecalcFrameLayout();
  EXPECT_EQ(Top()->GetRowCount(), 2);  // D's own first row went away
  Top()->GetRowBars(1, row);
  ASSERT_EQ(row.GetSize(), 2);
  EXPECT_TRUE((row[0] == pD && row[1] == pC) || (row[0] == pC && row[1] == pD));
  CRect rcD;
  pD->GetWindowRect(&rcD);
  pC->GetWindowRect(&rcC);
  EXPECT_EQ(rcD.top, rcC.top);
  EXPECT_GE(rcD.left, rcC.right);
}

TEST_F(DockTest, StretchedBarStandsAloneAndEmptyRowsGo) {
  CSizedBar* pA = AddSized(100, 100);
  CSizedBar* pS = AddSized(100, 100);
  pS->SetFlags(xtpFlagStretched);
  // Both in one row, then the rows are normalised.
  CXTPToolBarArray& arr = Top()->GetBarArray();
  arr.RemoveAll();
  arr.Add(NULL);
  arr.Add(pA);
  arr.Add(pS);
  arr.Add(NULL);
  Top()->NormalizeRows();
  EXPECT_EQ(Top()->GetRowCount(), 2);
  CXTPToolBarArray row;
  Top()->GetRowBars(1, row);
  ASSERT_EQ(row.GetSize(), 1);
  EXPECT_EQ(row[0], pS);
  // The stretched bar takes the whole row length.
  Layout(Top(), 400, LM_HORZ | LM_HORZDOCK);
  EXPECT_EQ(InDock(pS).Width(), 400);

  // Removing the only bar of a row removes the row.
  m_pBars->Remove(pA);
  EXPECT_EQ(Top()->GetRowCount(), 1);
  EXPECT_EQ(Top()->GetBarArray()[0], nullptr);
}

TEST_F(DockTest, CanDockReachesTwentyPixels) {
  AddSized(100, 100);
  m_pBars->RecalcFrameLayout();
  CRect rcTop;
  Top()->GetWindowRect(&rcTop);
  ASSERT_GT(rcTop.Height(), 0);
  const int x = rcTop.CenterPoint().x;
  EXPECT_EQ(m_pBars->CanDock(CPoint(x, rcTop.top - 19)), Top());
  EXPECT_EQ(m_pBars->CanDock(CPoint(x, rcTop.top - 20)), nullptr);
  EXPECT_EQ(m_pBars->CanDock(CPoint(x, rcTop.bottom + 19)), Top());
  // The bar's own dock bar is asked first: a point in both reaches stays where it is.
  CXTPDockBar* pLeft = m_pBars->GetDockBar(xtpBarLeft);
  CRect rcLeft;
  pLeft->GetWindowRect(&rcLeft);
  const CPoint ptBoth(rcLeft.left + 2, rcTop.bottom + 2);
  EXPECT_EQ(m_pBars->CanDock(ptBoth, Top()), Top());
  EXPECT_EQ(m_pBars->CanDock(ptBoth, pLeft), pLeft);
}

// ---- Toolbar resources ------------------------------------------------------------------------
TEST_F(DockTest, LoadToolBarReadsIdsAndRefusesShortResource) {
  CXTPToolBar* pBar = m_pBars->Add(L"Standard", xtpBarTop);
  ASSERT_NE(pBar, nullptr);
  ASSERT_TRUE(pBar->LoadToolBar(4100, FALSE));
  EXPECT_EQ(pBar->GetBarID(), 4100u);
  ASSERT_EQ(pBar->GetControlCount(), 2);
  EXPECT_EQ(pBar->GetControl(0)->GetID(), 100);
  EXPECT_FALSE(pBar->GetControl(0)->GetBeginGroup());
  EXPECT_EQ(pBar->GetControl(1)->GetID(), 101);
  EXPECT_TRUE(pBar->GetControl(1)->GetBeginGroup());
  EXPECT_NE(pBar->GetControls()->GetOriginalControls(), nullptr);
  // The count says five ids, the resource holds three: no controls at all.
  EXPECT_FALSE(pBar->LoadToolBar(4101, FALSE));
  EXPECT_EQ(pBar->GetControlCount(), 0);
  EXPECT_FALSE(pBar->LoadToolBar(4999, FALSE));
  EXPECT_EQ(pBar->GetControlCount(), 0);
}

TEST_F(DockTest, IconAndButtonSizes) {
  CXTPToolBar* pBar = m_pBars->Add(L"Standard", xtpBarTop);
  ASSERT_NE(pBar, nullptr);
  EXPECT_EQ(pBar->GetIconSize(), CSize(16, 16));
  EXPECT_EQ(pBar->GetButtonSize(), CSize(23, 23));
  m_pBars->GetCommandBarsOptions()->bLargeIcons = TRUE;
  EXPECT_EQ(pBar->GetIconSize(), CSize(32, 32));
  m_pBars->GetCommandBarsOptions()->szLargeIcons = CSize(24, 24);
  EXPECT_EQ(pBar->GetIconSize(), CSize(24, 24));
  m_pBars->GetCommandBarsOptions()->bLargeIcons = FALSE;
  pBar->SetIconSize(CSize(32, 32));
  EXPECT_EQ(pBar->GetButtonSize(), CSize(39, 39));
  pBar->SetButtonSize(CSize(30, 28));
  EXPECT_EQ(pBar->GetButtonSize(), CSize(30, 28));
  // Text below icons: 2 follows the option.
  EXPECT_FALSE(pBar->GetShowTextBelowIcons());
  m_pBars->GetCommandBarsOptions()->bShowTextBelowIcons = TRUE;
  EXPECT_TRUE(pBar->GetShowTextBelowIcons());
  pBar->SetShowTextBelowIcons(0);
  EXPECT_FALSE(pBar->GetShowTextBelowIcons());
}

// ---- Print preview ------------------------------------------------------------------------------
TEST_F(DockTest, PrintPreviewHidesAndRestoresExactlyTheVisibleBars) {
  CXTPToolBar* pShown = m_pBars->Add(L"Shown", xtpBarTop);
  CXTPToolBar* pHidden = m_pBars->Add(L"Hidden", xtpBarTop);
  ASSERT_TRUE(pShown != NULL && pHidden != NULL);
  pHidden->SetVisible(FALSE);
  m_pBars->OnSetPreviewMode(TRUE, NULL);
  EXPECT_FALSE(pShown->IsVisible());
  EXPECT_FALSE(::IsWindowVisible(pShown->m_hWnd));
  m_pBars->OnSetPreviewMode(FALSE, NULL);
  EXPECT_TRUE(pShown->IsVisible());
  EXPECT_TRUE(::IsWindowVisible(pShown->m_hWnd));
  EXPECT_FALSE(pHidden->IsVisible());
  EXPECT_FALSE(::IsWindowVisible(pHidden->m_hWnd));
}

// ---- Dragging with real input ----------------------------------------------------------------------
// Runs pointer input on a worker while this thread pumps (the drag loop runs here).
void RunInput(const std::function<void()>& input) {
  std::atomic<bool> done(false);
  std::thread worker([&] {
    input();
    done = true;
  });
  PumpUntil([&] { return done.load(); }, 15000);
  worker.join();
  PumpFor(100);
}

void SendMouse(DWORD dwFlags) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = dwFlags;
  ::SendInput(1, &in, sizeof(INPUT));
}

void MoveTo(CPoint pt) {
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = (pt.x * 65535 + cx / 2) / (cx - 1);
  in.mi.dy = (pt.y * 65535 + cy / 2) / (cy - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &in, sizeof(INPUT));
}

// Presses at from, moves in steps to to and releases (or presses Escape first).
void Drag(CPoint from, CPoint to, bool bEscape = false) {
  RunInput([=] {
    MoveTo(from);
    ::Sleep(60);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    ::Sleep(120);
    const int nSteps = 12;
    for (int i = 1; i <= nSteps; i++) {
      MoveTo(CPoint(from.x + (to.x - from.x) * i / nSteps, from.y + (to.y - from.y) * i / nSteps));
      ::Sleep(40);
    }
    ::Sleep(100);
    if (bEscape) {
      INPUT key[2] = {};
      key[0].type = key[1].type = INPUT_KEYBOARD;
      key[0].ki.wVk = key[1].ki.wVk = VK_ESCAPE;
      key[1].ki.dwFlags = KEYEVENTF_KEYUP;
      ::SendInput(2, key, sizeof(INPUT));
      ::Sleep(100);
      MoveTo(CPoint(to.x + 40, to.y + 40));
      ::Sleep(60);
    }
    SendMouse(MOUSEEVENTF_LEFTUP);
    ::Sleep(60);
  });
}

class DragTest : public DockTest {
 protected:
  CXTPToolBar* AddStandard(DWORD dwFlags = 0x3F) {
    CXTPToolBar* pBar = m_pBars->Add(L"Standard", xtpBarTop);
    if (pBar == NULL) return NULL;
    pBar->EnableDocking(dwFlags);
    // Five buttons with 16 x 16 images, the third beginning a group.
    EXPECT_TRUE(pBar->LoadToolBar(4102, TRUE));
    m_pBars->RecalcFrameLayout();
    PumpFor(50);
    return pBar;
  }
  // A point on the bar's gripper (docked) or caption (floating), on the screen.
  static CPoint Grip(CXTPToolBar* pBar) {
    CRect rc;
    pBar->GetWindowRect(&rc);
    if (pBar->GetPosition() == xtpBarFloating) return CPoint(rc.left + 8, rc.top + 8);
    if (pBar->GetPosition() == xtpBarLeft || pBar->GetPosition() == xtpBarRight) return CPoint(rc.CenterPoint().x, rc.top + 4);
    return CPoint(rc.left + 3, rc.CenterPoint().y);
  }
  CRect FrameClientOnScreen() {
    CRect rc;
    m_pFrame->GetClientRect(&rc);
    m_pFrame->ClientToScreen(&rc);
    return rc;
  }
};

TEST_F(DragTest, DragDocksAtEachEdgeFloatsAndRedocks) {
  CXTPToolBar* pBar = AddStandard();
  ASSERT_NE(pBar, nullptr);
  ASSERT_EQ(pBar->GetPosition(), xtpBarTop);
  const CRect rcClient = FrameClientOnScreen();
  const CPoint ptMid = rcClient.CenterPoint();
  struct EdgeCase {
    const char* name;
    CPoint pt;
    XTPBarPosition expected;
  };
  const EdgeCase edges[] = {
      {"left", CPoint(rcClient.left + 4, ptMid.y), xtpBarLeft},
      {"bottom", CPoint(ptMid.x, rcClient.bottom - 4), xtpBarBottom},
      {"right", CPoint(rcClient.right - 4, ptMid.y), xtpBarRight},
      {"float", CPoint(ptMid.x, ptMid.y), xtpBarFloating},
      {"top", CPoint(ptMid.x, rcClient.top + 4), xtpBarTop},
  };
  for (const EdgeCase& e : edges) {
    SCOPED_TRACE(e.name);
    Drag(Grip(pBar), e.pt);
    EXPECT_EQ(pBar->GetPosition(), e.expected);
    EXPECT_EQ(::GetCapture(), (HWND)NULL);
    if (e.expected != xtpBarFloating) {
      EXPECT_EQ(pBar->GetDockBar(), m_pBars->GetDockBar(e.expected));
      EXPECT_EQ(::GetParent(pBar->m_hWnd), m_pBars->GetDockBar(e.expected)->m_hWnd);
    } else {
      EXPECT_EQ(pBar->GetDockBar(), nullptr);
      EXPECT_EQ(pBar->GetStyle() & WS_CHILD, 0u);
    }
  }
  EXPECT_TRUE(m_pBars->GetCommandBarsOptions()->bDirtyState);
}

TEST_F(DragTest, BarWithoutLeftFlagFloatsOverTheLeftDockBar) {
  CXTPToolBar* pBar = AddStandard(0x3F & ~XTP_DOCK_LEFT);
  ASSERT_NE(pBar, nullptr);
  const CRect rcClient = FrameClientOnScreen();
  Drag(Grip(pBar), CPoint(rcClient.left + 4, rcClient.CenterPoint().y));
  EXPECT_EQ(pBar->GetPosition(), xtpBarFloating);
  EXPECT_EQ(m_pBars->GetDockBar(xtpBarLeft)->GetRowCount(), 0);
}

TEST_F(DragTest, EscapeEndsTheDragWhereTheBarIs) {
  CXTPToolBar* pBar = AddStandard();
  ASSERT_NE(pBar, nullptr);
  const CRect rcClient = FrameClientOnScreen();
  Drag(Grip(pBar), rcClient.CenterPoint(), true);
  // Floating where Escape found it; the moves after Escape did not move it.
  EXPECT_EQ(pBar->GetPosition(), xtpBarFloating);
  EXPECT_EQ(::GetCapture(), (HWND)NULL);
  CRect rc;
  pBar->GetWindowRect(&rc);
  EXPECT_TRUE(rc.PtInRect(rcClient.CenterPoint())) << rc.left << "," << rc.top;
}

TEST_F(DragTest, DoubleClickTogglesBackToThePlaceBeforeTheDrag) {
  CXTPToolBar* pBar = AddStandard();
  ASSERT_NE(pBar, nullptr);
  CSizedBar* pOther = AddSized(120, 120);  // a second row, so the place matters
  m_pBars->RecalcFrameLayout();
  // Move the bar along its row first, so its place is not the row start.
  CRect rcBefore;
  pBar->GetWindowRect(&rcBefore);
  const CRect rcClient = FrameClientOnScreen();
  Drag(Grip(pBar), rcClient.CenterPoint());
  ASSERT_EQ(pBar->GetPosition(), xtpBarFloating);
  EXPECT_EQ(pBar->GetDockContext()->m_nLastDockBar, (int)xtpBarTop);

  // A double click on the floating caption docks it where it was.
  const CPoint ptCaption = Grip(pBar);
  RunInput([=] {
    MoveTo(ptCaption);
    ::Sleep(80);
    for (int i = 0; i < 2; i++) {
      SendMouse(MOUSEEVENTF_LEFTDOWN);
      ::Sleep(30);
      SendMouse(MOUSEEVENTF_LEFTUP);
      ::Sleep(30);
    }
  });
  PumpUntil([&] { return pBar->GetPosition() == xtpBarTop; }, 3000);
  m_pBars->RecalcFrameLayout();
  EXPECT_EQ(pBar->GetPosition(), xtpBarTop);
  CRect rcAfter;
  pBar->GetWindowRect(&rcAfter);
  EXPECT_EQ(rcAfter.TopLeft(), rcBefore.TopLeft());
  (void)pOther;

  // Docked: a double click on the gripper floats only with "DblClickFloat".
  const CPoint ptGrip = Grip(pBar);
  auto doubleClick = [&] {
    RunInput([=] {
      MoveTo(ptGrip);
      ::Sleep(80);
      for (int i = 0; i < 2; i++) {
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        ::Sleep(30);
        SendMouse(MOUSEEVENTF_LEFTUP);
        ::Sleep(30);
      }
    });
  };
  doubleClick();
  EXPECT_EQ(pBar->GetPosition(), xtpBarTop);
  m_pBars->GetCommandBarsOptions()->bDblClickFloat = TRUE;
  doubleClick();
  PumpUntil([&] { return pBar->GetPosition() == xtpBarFloating; }, 3000);
  EXPECT_EQ(pBar->GetPosition(), xtpBarFloating);
}

TEST_F(DragTest, FloatingBarSizedByEachEdge) {
  CXTPToolBar* pBar = AddStandard();
  ASSERT_NE(pBar, nullptr);
  ASSERT_TRUE(pBar->SetPosition(xtpBarFloating));
  pBar->SetWindowPos(NULL, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  pBar->OnRecalcLayout();
  PumpFor(50);
  CRect rc0;
  pBar->GetWindowRect(&rc0);
  // The sizing borders answer hit codes; the caption does not.
  EXPECT_EQ(pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rc0.left + 1, rc0.CenterPoint().y)), HTLEFT);
  EXPECT_EQ(pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rc0.right - 2, rc0.CenterPoint().y)), HTRIGHT);
  EXPECT_EQ(pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rc0.CenterPoint().x, rc0.top + 1)), HTTOP);
  EXPECT_EQ(pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rc0.CenterPoint().x, rc0.bottom - 1)), HTBOTTOM);
  EXPECT_EQ(pBar->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rc0.left + 8, rc0.top + 8)), HTCLIENT);

  // Right edge inwards: narrower and taller (the buttons wrap), left edge stays.
  Drag(CPoint(rc0.right - 2, rc0.CenterPoint().y), CPoint(rc0.right - 2 - rc0.Width() / 2, rc0.CenterPoint().y));
  CRect rc1;
  pBar->GetWindowRect(&rc1);
  EXPECT_LT(rc1.Width(), rc0.Width());
  EXPECT_GT(rc1.Height(), rc0.Height());
  EXPECT_EQ(rc1.left, rc0.left);
  // Left edge outwards: wider again, right edge stays.
  Drag(CPoint(rc1.left + 1, rc1.CenterPoint().y), CPoint(rc1.left + 1 - rc0.Width(), rc1.CenterPoint().y));
  CRect rc2;
  pBar->GetWindowRect(&rc2);
  EXPECT_GT(rc2.Width(), rc1.Width());
  EXPECT_EQ(rc2.right, rc1.right);
  // Bottom edge down: taller; top stays.
  Drag(CPoint(rc2.CenterPoint().x, rc2.bottom - 1), CPoint(rc2.CenterPoint().x, rc2.bottom + 60));
  CRect rc3;
  pBar->GetWindowRect(&rc3);
  EXPECT_GT(rc3.Height(), rc2.Height());
  EXPECT_EQ(rc3.top, rc2.top);
  // Top edge down: shorter again; bottom stays.
  Drag(CPoint(rc3.CenterPoint().x, rc3.top + 1), CPoint(rc3.CenterPoint().x, rc3.top + 1 + rc3.Height() / 2));
  CRect rc4;
  pBar->GetWindowRect(&rc4);
  EXPECT_LT(rc4.Height(), rc3.Height());
  EXPECT_EQ(rc4.bottom, rc3.bottom);
}

// ---- Closing, the expand popup, pictures ----------------------------------------------------------------
TEST_F(DragTest, TornOffBarClosedByItsCloseButtonIsReleasedAfterTheClick) {
  CXTPToolBar* pTorn = m_pBars->AddCustomBar(L"Torn off", 4242, TRUE);
  ASSERT_NE(pTorn, nullptr);
  pTorn->SetTearOff(TRUE);
  const UINT ids[] = {100, 101};
  pTorn->SetButtons(ids, 2);
  pTorn->SetWindowPos(NULL, 420, 320, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  pTorn->OnRecalcLayout();
  PumpFor(50);
  CXTPControl* pClose = pTorn->GetControls()->FindControl(XTP_ID_TOOLBAR_CLOSE);
  ASSERT_NE(pClose, nullptr);
  ASSERT_TRUE(pClose->IsVisible());
  CRect rcClose = pClose->GetRect();
  pTorn->ClientToScreen(&rcClose);
  const int nBefore = m_pBars->GetCount();
  const HWND hTorn = pTorn->m_hWnd;
  cbtest::ClickAt(rcClose.CenterPoint());
  PumpUntil([&] { return m_pBars->GetCount() == nBefore - 1; }, 3000);
  EXPECT_EQ(m_pBars->GetCount(), nBefore - 1);
  EXPECT_FALSE(::IsWindow(hTorn));

  // A built-in bar is only hidden.
  CXTPToolBar* pBar = AddStandard();
  ASSERT_TRUE(pBar->SetPosition(xtpBarFloating));
  pBar->OnRecalcLayout();
  PumpFor(50);
  pClose = pBar->GetControls()->FindControl(XTP_ID_TOOLBAR_CLOSE);
  ASSERT_NE(pClose, nullptr);
  rcClose = pClose->GetRect();
  pBar->ClientToScreen(&rcClose);
  cbtest::ClickAt(rcClose.CenterPoint());
  PumpFor(100);
  EXPECT_FALSE(pBar->IsVisible());
  EXPECT_EQ(m_pBars->FindIndex(pBar), m_pBars->GetCount() - 1);
}

// Saves a picture of the frame, the floating bar and the open popup as one screen area.
void SaveScreen(const CRect& rc, const wchar_t* name) {
  testsupport::CSnapshot shot(rc.Width(), rc.Height());
  HDC hScreen = ::GetDC(NULL);
  ::BitBlt(shot.DC().m_hDC, 0, 0, rc.Width(), rc.Height(), hScreen, rc.left, rc.top, SRCCOPY);
  ::ReleaseDC(NULL, hScreen);
  shot.SavePng(testsupport::ArtifactPath(name));
}

TEST_F(DragTest, ExpandPopupListsHiddenButtonsAndAddOrRemove) {
  for (int nTheme : {0, 3}) {
    SCOPED_TRACE(nTheme);
    CXTPPaintManager::SetTheme(nTheme);
    CXTPToolBar* pBar = AddStandard();
    ASSERT_NE(pBar, nullptr);
    m_pBars->RecalcFrameLayout();
    m_pFrame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFor(80);
    CRect rcFrame;
    m_pFrame->GetWindowRect(&rcFrame);
    SaveScreen(rcFrame, nTheme == 0 ? L"commandbars/toolbar_docked_theme0.png" : L"commandbars/toolbar_docked_theme3.png");

    // Floating and too narrow for its buttons: the expand popup shows the hidden ones.
    ASSERT_TRUE(pBar->SetPosition(xtpBarFloating));
    pBar->SetWindowPos(NULL, rcFrame.left + 120, rcFrame.top + 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pBar->OnRecalcLayout();
    PumpFor(50);
    CXTPControl* pExpand = pBar->GetControls()->FindControl(XTP_ID_TOOLBAR_EXPAND);
    ASSERT_NE(pExpand, nullptr);
    ASSERT_TRUE(pExpand->IsVisible());
    CRect rcExpand = pExpand->GetRect();
    pBar->ClientToScreen(&rcExpand);
    cbtest::ClickAt(rcExpand.CenterPoint());
    CXTPCommandBar* pPopup = pExpand->GetCommandBar();
    PumpUntil([&] { return pPopup != NULL && ::IsWindowVisible(pPopup->GetSafeHwnd()); }, 2000);
    pPopup = pExpand->GetCommandBar();
    ASSERT_NE(pPopup, nullptr);
    ASSERT_TRUE(::IsWindowVisible(pPopup->GetSafeHwnd()));
    // The last control is "Add or Remove Buttons" with the bar's list behind it.
    CXTPControl* pAddOrRemove = pPopup->GetControl(pPopup->GetControlCount() - 1);
    ASSERT_NE(pAddOrRemove, nullptr);
    EXPECT_EQ(pAddOrRemove->GetCaption(), CString(L"&Add or Remove Buttons"));
    CXTPCommandBar* pBarsPopup = pAddOrRemove->GetCommandBar();
    ASSERT_NE(pBarsPopup, nullptr);
    ASSERT_GE(pBarsPopup->GetControlCount(), 1);
    CXTPControl* pPerBar = pBarsPopup->GetControl(0);
    EXPECT_EQ(pPerBar->GetCaption(), CString(L"Standard"));
    EXPECT_TRUE(m_pBars->IsCustomizable());
    EXPECT_TRUE(pPerBar->GetEnabled());
    CXTPCommandBar* pList = pPerBar->GetCommandBar();
    ASSERT_NE(pList, nullptr);
    // Five checks for the five buttons.
    int nChecks = 0;
    for (int i = 0; i < pList->GetControlCount(); i++) {
      if (pList->GetControl(i)->GetChecked()) nChecks++;
    }
    EXPECT_EQ(nChecks, 5);
    EXPECT_TRUE(pList->GetControl(0)->GetEnabled());
    // "Reset" closes the list of a built-in bar with original controls.
    EXPECT_EQ(pList->GetControl(pList->GetControlCount() - 1)->GetCaption(), CString(L"Reset"));
    // Hovering opens "Add or Remove Buttons", then the bar's list.
    auto hoverOpen = [](CXTPControl* pControl) {
      CRect rc = pControl->GetRect();
      pControl->GetParent()->ClientToScreen(&rc);
      cbtest::MovePointer(rc.CenterPoint());
      cbtest::NudgePointer();
      return PumpUntil([&] { return ::IsWindowVisible(pControl->GetCommandBar()->GetSafeHwnd()) != FALSE; }, 3000);
    };
    EXPECT_TRUE(hoverOpen(pAddOrRemove));
    EXPECT_TRUE(hoverOpen(pPerBar));
    PumpFor(150);
    CRect rcShot;
    pBar->GetWindowRect(&rcShot);
    for (CXTPCommandBar* pOpen : {pPopup, pBarsPopup, pList}) {
      if (!::IsWindowVisible(pOpen->GetSafeHwnd())) continue;
      CRect rcPopup;
      pOpen->GetWindowRect(&rcPopup);
      rcShot.UnionRect(rcShot, rcPopup);
    }
    rcShot.InflateRect(10, 10);
    SaveScreen(rcShot, nTheme == 0 ? L"commandbars/toolbar_floating_expand_theme0.png"
                                   : L"commandbars/toolbar_floating_expand_theme3.png");
    // The pointer in the bar's list: the rows that lead to it stay open and readable.
    {
      CRect rcFirst = pList->GetControl(0)->GetRect();
      pList->ClientToScreen(&rcFirst);
      cbtest::MovePointer(rcFirst.CenterPoint());
      cbtest::NudgePointer();
      PumpFor(300);
      SaveScreen(rcShot, nTheme == 0 ? L"commandbars/toolbar_floating_expand_list_theme0.png"
                                     : L"commandbars/toolbar_floating_expand_list_theme3.png");
    }
    // Unchecking a button hides it at once.
    pList->GetControl(0)->Execute();
    EXPECT_EQ(pBar->GetControl(0)->GetHideFlags() & xtpHideCustomize, (DWORD)xtpHideCustomize);
    XTPMouseManager()->CloseAllTrackingBars();
    PumpFor(50);
    m_pBars->Remove(pBar);
  }
  CXTPPaintManager::SetTheme(0);
}

}  // namespace

namespace {

// ---- Message boxes answered from a thread timer, with the texts they showed -----------------
struct BoxAnswer {
  int nAnswer = IDOK;
  int nBoxes = 0;
  CString strText;
};
BoxAnswer g_box;

BOOL CALLBACK CollectText(HWND hWnd, LPARAM) {
  wchar_t cls[32] = {}, text[512] = {};
  ::GetClassNameW(hWnd, cls, 32);
  if (lstrcmpiW(cls, L"Static") == 0 && ::GetWindowTextW(hWnd, text, 512) > 0) g_box.strText += text;
  return TRUE;
}

BOOL CALLBACK AnswerBox(HWND hWnd, LPARAM) {
  wchar_t cls[16] = {};
  ::GetClassNameW(hWnd, cls, 16);
  if (lstrcmpW(cls, L"#32770") != 0 || !::IsWindowVisible(hWnd)) return TRUE;
  g_box.nBoxes++;
  g_box.strText.Empty();
  ::EnumChildWindows(hWnd, CollectText, 0);
  ::PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(g_box.nAnswer, BN_CLICKED), 0);
  return FALSE;
}

void CALLBACK BoxTimer(HWND, UINT, UINT_PTR, DWORD) { ::EnumThreadWindows(::GetCurrentThreadId(), AnswerBox, 0); }

class CAnswerBoxes {
 public:
  explicit CAnswerBoxes(int nAnswer) {
    g_box = BoxAnswer();
    g_box.nAnswer = nAnswer;
    m_nTimer = ::SetTimer(NULL, 0, 100, BoxTimer);
  }
  ~CAnswerBoxes() { ::KillTimer(NULL, m_nTimer); }

 private:
  UINT_PTR m_nTimer;
};

// A frame that records the bars' site notifications.
class CNotifyFrame : public CDockTestFrame {
 public:
  std::vector<std::pair<WPARAM, LPARAM>> m_visibleChanged;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == XTPM_BARVISIBLECHANGED) m_visibleChanged.push_back({wParam, lParam});
    return CDockTestFrame::WindowProc(message, wParam, lParam);
  }
};

TEST_F(DockTest, ToolbarResourceWithLargeImagesSetsTheIconSize) {
  CXTPToolBar* pBar = m_pBars->Add(L"Standard", xtpBarTop);
  ASSERT_NE(pBar, nullptr);
  ASSERT_TRUE(pBar->LoadToolBar(4103, TRUE));
  EXPECT_EQ(pBar->GetControlCount(), 5);
  EXPECT_EQ(pBar->GetIconSize(), CSize(32, 32));
  EXPECT_EQ(pBar->GetButtonSize(), CSize(39, 39));
  EXPECT_NE(XTPImageManager()->GetImage(32773, 32), nullptr);
  EXPECT_NE(XTPImageManager()->GetImage(32771, 32), nullptr);
  // A 16 x 16 bar keeps the default.
  CXTPToolBar* pSmall = m_pBars->Add(L"Small", xtpBarTop);
  ASSERT_NE(pSmall, nullptr);
  ASSERT_TRUE(pSmall->LoadToolBar(4104, TRUE));
  EXPECT_EQ(pSmall->GetIconSize(), CSize(16, 16));
  EXPECT_NE(XTPImageManager()->GetImage(101, 16), nullptr);
  // A resource whose bitmap is missing keeps its buttons but answers FALSE.
  CXTPToolBar* pNoIcons = m_pBars->Add(L"No icons", xtpBarTop);
  EXPECT_FALSE(pNoIcons->LoadToolBar(4100, TRUE));
  EXPECT_EQ(pNoIcons->GetControlCount(), 2);
}

// The bar's buttons, without the expand and close buttons it makes for itself.
int Buttons(CXTPToolBar* pBar) {
  int n = 0;
  for (int i = 0; i < pBar->GetControlCount(); i++) {
    const int nId = pBar->GetControl(i)->GetID();
    if (nId != XTP_ID_TOOLBAR_EXPAND && nId != XTP_ID_TOOLBAR_CLOSE) n++;
  }
  return n;
}

TEST_F(DockTest, ResetAsksAndBringsBackTheOriginalButtons) {
  CXTPToolBar* pBar = m_pBars->Add(L"Standard", xtpBarTop);
  ASSERT_TRUE(pBar->LoadToolBar(4102, FALSE));
  ASSERT_EQ(Buttons(pBar), 5);
  pBar->GetControls()->Remove(0);
  pBar->GetControls()->Remove(0);
  ASSERT_EQ(Buttons(pBar), 3);
  {
    CAnswerBoxes answer(IDCANCEL);
    pBar->Reset();
  }
  EXPECT_EQ(g_box.nBoxes, 1);
  EXPECT_EQ(g_box.strText, CString(L"Are you sure you want to reset the changes made to the 'Standard' toolbar?"));
  EXPECT_EQ(Buttons(pBar), 3);
  {
    CAnswerBoxes answer(IDOK);
    pBar->Reset();
  }
  EXPECT_EQ(g_box.nBoxes, 1);
  ASSERT_EQ(Buttons(pBar), 5);
  EXPECT_EQ(pBar->GetControl(0)->GetID(), 100);
  EXPECT_TRUE(pBar->GetControl(2)->GetBeginGroup());
  // A bar the user made is never reset.
  pBar->SetBuiltIn(FALSE);
  pBar->GetControls()->Remove(0);
  {
    CAnswerBoxes answer(IDOK);
    pBar->Reset();
    PumpFor(250);
  }
  EXPECT_EQ(g_box.nBoxes, 0);
  EXPECT_EQ(Buttons(pBar), 4);
}

TEST_F(DockTest, FloatStatusSynchronisesFloatingBars) {
  CXTPToolBar* pBar = m_pBars->Add(L"Floating", xtpBarFloating);
  ASSERT_NE(pBar, nullptr);
  ASSERT_EQ(pBar->GetPosition(), xtpBarFloating);
  ASSERT_TRUE(::IsWindowVisible(pBar->m_hWnd));
  // Style bit 0x100 with FS_SYNCACTIVE answers TRUE.
  EXPECT_EQ(pBar->SendMessage(WM_FLOATSTATUS, FS_SYNCACTIVE), 1);
  EXPECT_EQ(pBar->SendMessage(WM_FLOATSTATUS, 0), 0);
  pBar->SendMessage(WM_FLOATSTATUS, FS_HIDE);
  EXPECT_FALSE(::IsWindowVisible(pBar->m_hWnd));
  pBar->SendMessage(WM_FLOATSTATUS, FS_SHOW);
  EXPECT_TRUE(::IsWindowVisible(pBar->m_hWnd));
  pBar->SendMessage(WM_FLOATSTATUS, FS_DISABLE);
  EXPECT_FALSE(::IsWindowEnabled(pBar->m_hWnd));
  pBar->SendMessage(WM_FLOATSTATUS, FS_ENABLE);
  EXPECT_TRUE(::IsWindowEnabled(pBar->m_hWnd));
  // The frame is active: deactivation keeps the bar; it hides when the frame is not.
  cbtest::Activate(m_pFrame->m_hWnd);
  pBar->SendMessage(WM_FLOATSTATUS, FS_DEACTIVATE);
  EXPECT_TRUE(::IsWindowVisible(pBar->m_hWnd));
  // A docked bar ignores it.
  CXTPToolBar* pDocked = m_pBars->Add(L"Docked", xtpBarTop);
  pDocked->SendMessage(WM_FLOATSTATUS, FS_HIDE);
  EXPECT_TRUE(::IsWindowVisible(pDocked->m_hWnd));
}

TEST_F(DockTest, HidingAFloatingBarTellsTheSite) {
  // A frame of its own that records the notifications.
  m_pBars->InternalRelease();
  m_pFrame->DestroyWindow();
  CNotifyFrame* pFrame = new CNotifyFrame();
  ASSERT_TRUE(pFrame->Create(NULL, L"Notify", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(200, 150, 700, 500)));
  m_pFrame = pFrame;
  m_pBars = new CXTPCommandBars();
  m_pBars->SetSite(m_pFrame);
  m_pBars->CreateDockBars();
  CXTPToolBar* pBar = m_pBars->Add(L"Floating", xtpBarFloating);
  ASSERT_NE(pBar, nullptr);
  pBar->SetVisible(FALSE);
  ASSERT_EQ(pFrame->m_visibleChanged.size(), 1u);
  EXPECT_EQ(pFrame->m_visibleChanged[0].first, (WPARAM)pBar);
  EXPECT_EQ(pFrame->m_visibleChanged[0].second, 0);
  pBar->SetVisible(FALSE);  // unchanged: nothing
  EXPECT_EQ(pFrame->m_visibleChanged.size(), 1u);
  m_pBars->ToggleVisible(m_pBars->FindIndex(pBar));
  ASSERT_EQ(pFrame->m_visibleChanged.size(), 2u);
  EXPECT_EQ(pFrame->m_visibleChanged[1].second, 1);
  EXPECT_TRUE(::IsWindowVisible(pBar->m_hWnd));
}

TEST_F(DockTest, TooltipHitTestWithShortcut) {
  CXTPToolBar* pBar = m_pBars->Add(L"Standard", xtpBarTop);
  ASSERT_TRUE(pBar->LoadToolBar(4100, FALSE));
  m_pBars->RecalcFrameLayout();
  PumpFor(30);
  CXTPControl* pFirst = pBar->GetControl(0);
  ASSERT_TRUE(pFirst->IsVisible());
  const CPoint pt = pFirst->GetRect().CenterPoint();
  TTTOOLINFOW ti = {};
  ti.cbSize = sizeof(ti);
  EXPECT_EQ(pBar->OnToolHitTest(pt, &ti), 100);
  EXPECT_STREQ(ti.lpszText, L"First");
  free(ti.lpszText);
  // With accelerator tips the control's shortcut text is appended.
  m_pBars->GetCommandBarsOptions()->bToolBarAccelTips = TRUE;
  pFirst->SetShortcutText(L"Ctrl+F");
  TTTOOLINFOW ti2 = {};
  ti2.cbSize = sizeof(ti2);
  EXPECT_EQ(pBar->OnToolHitTest(pt, &ti2), 100);
  EXPECT_STREQ(ti2.lpszText, L"First (Ctrl+F)");
  free(ti2.lpszText);
  // No control, screen tips off, or the mouse locked: none.
  EXPECT_EQ(pBar->OnToolHitTest(CPoint(1, 1), NULL), -1);
  XTPMouseManager()->LockMouseMove();
  EXPECT_EQ(pBar->OnToolHitTest(pt, NULL), -1);
  XTPMouseManager()->UnlockMouseMove();
  m_pBars->GetCommandBarsOptions()->bToolBarScreenTips = FALSE;
  EXPECT_EQ(pBar->OnToolHitTest(pt, NULL), -1);
}

TEST_F(DockTest, TextBelowIconsMakesTheBarTaller) {
  CXTPToolBar* pBar = m_pBars->Add(L"Standard", xtpBarTop);
  ASSERT_TRUE(pBar->LoadToolBar(4104, TRUE));
  const CSize szPlain = pBar->CalcDockingLayout(600, LM_HORZ | LM_HORZDOCK);
  pBar->SetShowTextBelowIcons(1);
  const CSize szBelow = pBar->CalcDockingLayout(600, LM_HORZ | LM_HORZDOCK);
  EXPECT_GT(szBelow.cy, szPlain.cy);
}

TEST_F(DockTest, WmQuitDuringADragEndsTheLoopAndStaysQueued) {
  CXTPToolBar* pBar = m_pBars->Add(L"Standard", xtpBarTop);
  ASSERT_NE(pBar, nullptr);
  m_pBars->RecalcFrameLayout();
  PumpFor(30);
  CRect rc;
  pBar->GetWindowRect(&rc);
  ::PostQuitMessage(42);
  pBar->GetDockContext()->BeginMove(CPoint(rc.left + 3, rc.CenterPoint().y));
  EXPECT_EQ(::GetCapture(), (HWND)NULL);
  MSG msg;
  ASSERT_TRUE(::PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 42u);
  EXPECT_EQ(pBar->GetPosition(), xtpBarTop);
}

TEST_F(DockTest, FirstToggleToFloatingFloatsAtTheDockedPlace) {
  CXTPToolBar* pBar = m_pBars->Add(L"Standard", xtpBarTop);
  ASSERT_TRUE(pBar->LoadToolBar(4100, FALSE));
  m_pBars->RecalcFrameLayout();
  CRect rcDocked;
  pBar->GetWindowRect(&rcDocked);
  // "DblClickFloat" is off by default.
  EXPECT_FALSE(pBar->GetDockContext()->ToggleDocked());
  m_pBars->GetCommandBarsOptions()->bDblClickFloat = TRUE;
  ASSERT_TRUE(pBar->GetDockContext()->ToggleDocked());
  EXPECT_EQ(pBar->GetPosition(), xtpBarFloating);
  CRect rcFloating;
  pBar->GetWindowRect(&rcFloating);
  EXPECT_EQ(rcFloating.TopLeft(), rcDocked.TopLeft());
  // And back to the same place.
  ASSERT_TRUE(pBar->GetDockContext()->ToggleDocked());
  m_pBars->RecalcFrameLayout();
  EXPECT_EQ(pBar->GetPosition(), xtpBarTop);
  CRect rcBack;
  pBar->GetWindowRect(&rcBack);
  EXPECT_EQ(rcBack.TopLeft(), rcDocked.TopLeft());
}

TEST_F(DragTest, NarrowDockedBarShowsItsHiddenButtonsInTheExpandPopup) {
  CXTPToolBar* pBar = AddStandard();
  ASSERT_NE(pBar, nullptr);
  // Too short a frame for all five buttons.
  m_pFrame->SetWindowPos(NULL, 0, 0, 110, 300, SWP_NOMOVE | SWP_NOZORDER);
  m_pBars->RecalcFrameLayout();
  PumpFor(50);
  int nHidden = 0;
  for (int i = 0; i < pBar->GetControlCount(); i++) {
    if (pBar->GetControl(i)->GetHideFlags() == xtpHideWrap) nHidden++;
  }
  ASSERT_GT(nHidden, 0);
  CXTPControl* pExpand = pBar->GetControls()->FindControl(XTP_ID_TOOLBAR_EXPAND);
  ASSERT_NE(pExpand, nullptr);
  ASSERT_TRUE(pExpand->IsVisible());
  CRect rcExpand = pExpand->GetRect();
  pBar->ClientToScreen(&rcExpand);
  cbtest::ClickAt(rcExpand.CenterPoint());
  PumpUntil([&] { return pExpand->GetCommandBar() != NULL && ::IsWindowVisible(pExpand->GetCommandBar()->m_hWnd); },
            2000);
  CXTPCommandBar* pPopup = pExpand->GetCommandBar();
  ASSERT_NE(pPopup, nullptr);
  // The hidden buttons, shown, then "Add or Remove Buttons" beginning a group.
  ASSERT_EQ(pPopup->GetControlCount(), nHidden + 1);
  for (int i = 0; i < nHidden; i++) EXPECT_TRUE(pPopup->GetControl(i)->IsVisible());
  EXPECT_TRUE(pPopup->GetControl(nHidden)->GetBeginGroup());
  CRect rcFrame;
  m_pFrame->GetWindowRect(&rcFrame);
  CRect rcPopup;
  pPopup->GetWindowRect(&rcPopup);
  rcFrame.UnionRect(rcFrame, rcPopup);
  PumpFor(100);
  SaveScreen(rcFrame, L"commandbars/toolbar_docked_hidden_buttons.png");
  XTPMouseManager()->CloseAllTrackingBars();
  PumpFor(50);
}

}  // namespace

namespace {

TEST_F(DockTest, ToolbarChildOfAFrameTakesItsStripInTheFrameLayout) {
  CXTPToolBar* pBar = new CXTPToolBar();
  const UINT ids[] = {100, 101, 0, 102};
  pBar->SetButtons(ids, 4);
  ASSERT_TRUE(pBar->CreateToolBarWindow(m_pFrame, FALSE));
  ::SetParent(pBar->m_hWnd, m_pFrame->m_hWnd);
  ::SetWindowLongPtrW(pBar->m_hWnd, GWLP_ID, AFX_IDW_CONTROLBAR_FIRST + 40);
  pBar->ShowWindow(SW_SHOWNA);
  m_pFrame->RecalcLayout();
  CRect rcBar, rcClient;
  pBar->GetWindowRect(&rcBar);
  m_pFrame->ScreenToClient(&rcBar);
  m_pFrame->GetClientRect(&rcClient);
  EXPECT_EQ(rcBar.TopLeft(), CPoint(0, 0));
  EXPECT_GE(rcBar.Height(), 22);
  EXPECT_LE(rcBar.Width(), rcClient.Width());
  // Four buttons laid out in one row inside it.
  for (int i = 0; i < pBar->GetControlCount(); i++) {
    CXTPControl* pControl = pBar->GetControl(i);
    if (pControl->GetID() == XTP_ID_TOOLBAR_EXPAND) continue;
    EXPECT_TRUE(pControl->IsVisible()) << i;
    EXPECT_LE(pControl->GetRect().bottom, rcBar.Height()) << i;
  }
  pBar->InternalRelease();
}

TEST_F(DockTest, ToolbarInADialogTakesTabToTheNextControl) {
  CWnd host;
  ASSERT_TRUE(testsupport::CreateTestWindow(host, CRect(300, 300, 600, 420), L"Host",
                                            WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT));
  CXTPToolBar* pBar = new CXTPToolBar();
  const UINT ids[] = {100, 101};
  pBar->SetButtons(ids, 2);
  ASSERT_TRUE(pBar->CreateToolBarWindow(&host, FALSE));
  ::SetParent(pBar->m_hWnd, host.m_hWnd);
  pBar->ModifyStyle(0, WS_TABSTOP);
  pBar->SetWindowPos(NULL, 0, 0, 200, 30, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  pBar->CalcDockingLayout(200, LM_HORZ | LM_HORZDOCK | LM_COMMIT);
  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, CRect(10, 50, 200, 75), &host, 1001));
  cbtest::Activate(host.m_hWnd);
  pBar->SetFocus();
  PumpFor(50);
  // Focus on the bar: it tracks with its first control selected.
  EXPECT_TRUE(pBar->IsTrackingMode());
  EXPECT_EQ(pBar->GetSelectedIndex(), 0);
  cbtest::TypeKey(VK_TAB, 80);
  EXPECT_EQ(::GetFocus(), edit.m_hWnd);
  EXPECT_FALSE(pBar->IsTrackingMode());
  pBar->InternalRelease();
  host.DestroyWindow();
}

}  // namespace

namespace {

// The list of one bar inside a fresh add-or-remove popup.
CXTPCommandBar* FillList(CXTPCommandBars* pBars, CXTPToolBar* pBar, CXTPPopupBar*& pHolder) {
  pHolder = CXTPPopupBar::CreatePopupBar(pBars);
  pBars->GetAddOrRemovePopup(pBar, pHolder);
  CXTPControl* pPerBar = pHolder->GetControl(0);
  return pPerBar != NULL ? pPerBar->GetCommandBar() : NULL;
}

TEST_F(DockTest, AddOrRemoveListHidesShowsRestoresAndResets) {
  CXTPToolBar* pBar = m_pBars->Add(L"Standard", xtpBarTop);
  ASSERT_TRUE(pBar->LoadToolBar(4102, FALSE));
  m_pBars->RecalcFrameLayout();
  CXTPPopupBar* pHolder = NULL;
  CXTPCommandBar* pList = FillList(m_pBars, pBar, pHolder);
  ASSERT_NE(pList, nullptr);
  // Five checked, enabled buttons, then "Reset" beginning a group; then "Customize...".
  ASSERT_EQ(pList->GetControlCount(), 6);
  for (int i = 0; i < 5; i++) {
    EXPECT_TRUE(pList->GetControl(i)->GetChecked()) << i;
    EXPECT_TRUE(pList->GetControl(i)->GetEnabled()) << i;
    EXPECT_EQ(pList->GetControl(i)->GetCaption(), pBar->GetControl(i)->GetCaption()) << i;
  }
  EXPECT_EQ(pList->GetControl(5)->GetCaption(), CString(L"Reset"));
  EXPECT_TRUE(pList->GetControl(5)->GetBeginGroup());
  ASSERT_EQ(pHolder->GetControlCount(), 2);
  EXPECT_EQ(pHolder->GetControl(1)->GetID(), XTP_ID_CUSTOMIZE);

  // Unchecking hides the button at once.
  pList->GetControl(1)->Execute();
  EXPECT_FALSE(pList->GetControl(1)->GetChecked());
  EXPECT_EQ(pBar->GetControl(1)->GetHideFlags(), (DWORD)xtpHideCustomize);
  EXPECT_TRUE(m_pBars->GetCommandBarsOptions()->bDirtyState);
  pHolder->InternalRelease();

  // The user took the fourth button off the bar: it comes back hidden, at its place.
  pBar->GetControls()->Remove(3);
  pList = FillList(m_pBars, pBar, pHolder);
  ASSERT_NE(pList, nullptr);
  ASSERT_EQ(Buttons(pBar), 5);
  EXPECT_EQ(pBar->GetControl(3)->GetID(), 103);
  EXPECT_EQ(pBar->GetControl(3)->GetHideFlags() & xtpHideCustomize, (DWORD)xtpHideCustomize);
  EXPECT_FALSE(pList->GetControl(3)->GetChecked());
  EXPECT_TRUE(pList->GetControl(3)->GetEnabled());
  EXPECT_FALSE(pList->GetControl(1)->GetChecked());
  // Checking it shows it again.
  pList->GetControl(3)->Execute();
  EXPECT_TRUE(pBar->GetControl(3)->IsVisible() || pBar->GetControl(3)->GetHideFlags() == xtpHideWrap);

  // "Reset" after the question brings every original button back, shown.
  {
    CAnswerBoxes answer(IDOK);
    pList->GetControl(5)->Execute();
  }
  EXPECT_EQ(g_box.nBoxes, 1);
  ASSERT_EQ(Buttons(pBar), 5);
  for (int i = 0; i < 5; i++) EXPECT_EQ(pBar->GetControl(i)->GetHideFlags() & xtpHideCustomize, 0u) << i;
  pHolder->InternalRelease();

  // A bar the user made has no "Reset", and its per-bar entry is disabled.
  pBar->SetBuiltIn(FALSE);
  pList = FillList(m_pBars, pBar, pHolder);
  ASSERT_NE(pList, nullptr);
  EXPECT_FALSE(pHolder->GetControl(0)->GetEnabled());
  EXPECT_EQ(pList->GetControlCount(), 5);
  pHolder->InternalRelease();
}

}  // namespace
