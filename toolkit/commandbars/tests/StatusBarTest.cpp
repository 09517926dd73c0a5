// The status bar in a real frame window: the pane layout as a table (message pane, stretch
// shares, fixed widths, lock indicators), texts set and read back through the control and
// the window text, disabled and hidden panes, lock indicators following real keys, child
// windows over panes, drawing through a paint manager, and a picture of the frame.
#include <framework.h>

#include <gtest/gtest.h>
#include <test_picture.h>

#include <memory>
#include <vector>

#include "CommandBarsTestSupport.h"
#include "XTPStatusBar.h"

using namespace cbtest;

namespace {

const UINT kIndicators[] = {0, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
const UINT kReadyText = 41001;

// A frame whose command update handler drives one pane.
class CPaneFrame : public CFrameWnd {
 public:
  CString strText = L"Working";
  int nCheck = 1;
  BOOL bEnable = TRUE;

 protected:
  afx_msg void OnUpdateReady(CCmdUI* pCmdUI) {
    pCmdUI->Enable(bEnable);
    pCmdUI->SetCheck(nCheck);
    pCmdUI->SetText(strText);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaneFrame, CFrameWnd)
  ON_UPDATE_COMMAND_UI(kReadyText, OnUpdateReady)
END_MESSAGE_MAP()

// The control's own view of a pane's text.
CString ControlText(CXTPStatusBar& bar, int nVisibleIndex) {
  const LRESULT r = bar.DefWindowProc(SB_GETTEXTLENGTHW, nVisibleIndex, 0);
  CString s;
  const int n = LOWORD(r);
  std::vector<wchar_t> buf(n + 1, 0);
  bar.DefWindowProc(SB_GETTEXTW, nVisibleIndex, (LPARAM)buf.data());
  s = buf.data();
  return s;
}

std::vector<int> ControlParts(CXTPStatusBar& bar) {
  int parts[16] = {0};
  const int n = (int)bar.DefWindowProc(SB_GETPARTS, 16, (LPARAM)parts);
  return std::vector<int>(parts, parts + n);
}

int TextWidth(CXTPStatusBar& bar, LPCWSTR text) {
  CClientDC dc(&bar);
  CFont* pOld = dc.SelectObject(bar.GetFont());
  CSize size = dc.GetTextExtent(text, lstrlenW(text));
  dc.SelectObject(pOld);
  return size.cx;
}

class StatusBar : public ::testing::Test {
 protected:
  void SetUp() override {
    ParkPointer();
    pFrame = new CFrameWnd();
    ASSERT_TRUE(pFrame->Create(NULL, L"status frame", WS_OVERLAPPEDWINDOW, CRect(30, 30, 630, 330)));
    ASSERT_TRUE(bar.Create(pFrame, 0x50008200, 0xE801));
    pFrame->ShowWindow(SW_SHOW);
    pFrame->RecalcLayout();
    Activate(pFrame->m_hWnd);
  }
  void TearDown() override {
    if (pFrame != nullptr && ::IsWindow(pFrame->m_hWnd)) pFrame->DestroyWindow();
    PumpFor(30);
  }
  void Layout() {
    pFrame->RecalcLayout();
    bar.UpdateAllPanes(TRUE, TRUE);
    PumpFor(30);
  }
  // Pixels the bar gives beyond the panes' own widths.
  int Extra() {
    CRect rect;
    bar.GetWindowRect(rect);
    rect.OffsetRect(-rect.left, -rect.top);
    bar.CalcInsideRect(rect, TRUE);
    int borders[3] = {0};
    bar.DefWindowProc(SB_GETBORDERS, 0, (LPARAM)borders);
    if (bar.GetStyle() & SBARS_SIZEGRIP)
      rect.right -= 2 * ::GetSystemMetrics(SM_CXBORDER) + borders[0] + ::GetSystemMetrics(SM_CXVSCROLL);
    int used = 0;
    for (int i = 0; i < bar.GetPaneCount(); ++i)
      if (bar.GetPane(i)->IsVisible()) used += bar.GetPaneWidth(i) + borders[2] + 6;
    return rect.Width() + borders[2] - used;
  }
  CFrameWnd* pFrame = nullptr;  // deletes itself when destroyed
  CXTPStatusBar bar;
};

TEST_F(StatusBar, IndicatorsGiveAStretchingMessagePaneAndFittedLockPanes) {
  ASSERT_TRUE(bar.SetIndicators(kIndicators, 4));
  Layout();
  ASSERT_EQ(bar.GetPaneCount(), 4);
  EXPECT_EQ(bar.GetPaneWidth(0), ::GetSystemMetrics(SM_CXSCREEN) / 4);
  EXPECT_EQ(bar.GetPaneStyle(0), (UINT)(SBPS_STRETCH | SBPS_NOBORDERS));
  struct Case {
    int index;
    UINT id;
    const wchar_t* text;
  } cases[] = {{1, ID_INDICATOR_CAPS, L"CAP"}, {2, ID_INDICATOR_NUM, L"NUM"}, {3, ID_INDICATOR_SCRL, L"SCRL"}};
  for (const Case& c : cases) {
    EXPECT_EQ(bar.GetItemID(c.index), c.id);
    EXPECT_EQ(bar.CommandToIndex(c.id), c.index);
    EXPECT_STREQ(bar.GetPaneText(c.index), c.text);
    EXPECT_EQ(bar.GetPaneWidth(c.index), TextWidth(bar, c.text)) << c.text;
    EXPECT_EQ(bar.GetPaneStyle(c.index), 0u);
    EXPECT_STREQ(ControlText(bar, c.index), c.text) << "the control has the text";
  }
  EXPECT_EQ(bar.CommandToIndex(12345), -1);
  // The message pane takes all the extra width; the rest end at their text widths.
  int borders[3] = {0};
  bar.DefWindowProc(SB_GETBORDERS, 0, (LPARAM)borders);
  std::vector<int> parts = ControlParts(bar);
  ASSERT_EQ(parts.size(), 4u);
  const int extra = Extra();
  ASSERT_GT(extra, 0);
  EXPECT_EQ(parts[0], borders[0] + bar.GetPaneWidth(0) + 6 + extra);
  for (int i = 1; i < 4; ++i) EXPECT_EQ(parts[i], parts[i - 1] + borders[2] + bar.GetPaneWidth(i) + 6) << i;
  // Pane rectangles: the last (not stretching) ends at its width plus three edges.
  CRect rcLast;
  bar.GetItemRect(3, rcLast);
  EXPECT_EQ(rcLast.Width(), bar.GetPaneWidth(3) + 3 * ::GetSystemMetrics(SM_CXEDGE));
  CRect rcOut;
  bar.GetItemRect(9, rcOut);
  EXPECT_TRUE(rcOut.IsRectNull());
  EXPECT_EQ(bar.GetPane(-1), nullptr);
  EXPECT_EQ(bar.GetPane(4), nullptr);
}

TEST_F(StatusBar, StretchPanesShareTheExtraWidthInOrder) {
  // Widths chosen so that the extra comes out at given figures.
  struct Case {
    std::vector<UINT> styles;  // stretch or not, per pane
    int wantExtra;
    std::vector<int> shares;  // extra width each pane receives
  } cases[] = {
      {{SBPS_STRETCH, SBPS_STRETCH}, 101, {50, 51}},
      {{SBPS_STRETCH, 0, SBPS_STRETCH}, 101, {50, 0, 51}},
      {{SBPS_STRETCH, SBPS_STRETCH, SBPS_STRETCH}, 100, {33, 33, 34}},
      {{0, SBPS_STRETCH}, 40, {0, 40}},
      {{0, 0}, 40, {0, 0}},
      {{SBPS_STRETCH, SBPS_STRETCH}, -30, {0, 0}},  // no room: no share
  };
  const UINT ids[] = {0, 0, 0};
  for (const Case& c : cases) {
    const int n = (int)c.styles.size();
    ASSERT_TRUE(bar.SetIndicators(ids, n));
    for (int i = 0; i < n; ++i) {
      bar.SetPaneStyle(i, c.styles[i]);
      bar.SetPaneWidth(i, 50);
    }
    Layout();
    // Grow the first pane until the extra is the wanted figure.
    bar.SetPaneWidth(0, 50 + Extra() - c.wantExtra);
    Layout();
    ASSERT_EQ(Extra(), c.wantExtra);
    int borders[3] = {0};
    bar.DefWindowProc(SB_GETBORDERS, 0, (LPARAM)borders);
    std::vector<int> parts = ControlParts(bar);
    ASSERT_EQ((int)parts.size(), n);
    int left = borders[0];
    for (int i = 0; i < n; ++i) {
      EXPECT_EQ(parts[i] - left - bar.GetPaneWidth(i) - 6, c.shares[i]) << "pane " << i << " extra " << c.wantExtra;
      left = parts[i] + borders[2];
    }
  }
}

TEST_F(StatusBar, WindowTextGoesThroughTheMessagePane) {
  // Without a message pane.
  const UINT locks[] = {ID_INDICATOR_CAPS};
  ASSERT_TRUE(bar.SetIndicators(locks, 1));
  EXPECT_EQ(bar.SendMessage(WM_SETTEXT, 0, (LPARAM)L"lost"), -1);
  wchar_t buf[32] = L"junk";
  EXPECT_EQ(bar.SendMessage(WM_GETTEXT, 32, (LPARAM)buf), 1);
  EXPECT_STREQ(buf, L"");
  EXPECT_EQ(bar.SendMessage(WM_GETTEXTLENGTH, 0, 0), 0);

  ASSERT_TRUE(bar.SetIndicators(kIndicators, 4));
  Layout();
  EXPECT_EQ(bar.SendMessage(WM_SETTEXT, 0, (LPARAM)L"Converting contacts"), 0);
  EXPECT_STREQ(ControlText(bar, 0), L"Converting contacts");
  EXPECT_EQ(bar.SendMessage(WM_GETTEXTLENGTH, 0, 0), 19);
  struct Case {
    WPARAM size;
    LRESULT result;
    const wchar_t* text;
  } cases[] = {{64, 20, L"Converting contacts"}, {11, 11, L"Converting"}, {1, 1, L""}, {0, 0, L"junk"}};
  for (const Case& c : cases) {
    wmemcpy(buf, L"junk", 5);
    EXPECT_EQ(bar.SendMessage(WM_GETTEXT, c.size, (LPARAM)buf), c.result) << c.size;
    EXPECT_STREQ(buf, c.text);
  }
  // Frame message strings reach the pane too.
  pFrame->SetMessageText(L"Ready");
  EXPECT_STREQ(bar.GetPaneText(0), L"Ready");
  // A hidden message pane refuses the text.
  bar.GetPane(0)->SetVisible(FALSE);
  EXPECT_EQ(bar.SendMessage(WM_SETTEXT, 0, (LPARAM)L"hidden"), -1);
  EXPECT_EQ(bar.GetVisiblePaneCount(), 3);
  EXPECT_EQ(ControlParts(bar).size(), 3u);
}

TEST_F(StatusBar, TextsAreSentOnlyWhenTheyChangeAndDisabledPanesShowNone) {
  ASSERT_TRUE(bar.SetIndicators(kIndicators, 4));
  Layout();
  ASSERT_TRUE(bar.SetPaneText(0, L"first"));
  EXPECT_STREQ(ControlText(bar, 0), L"first");
  // Put another text straight into the control: the same text again sends nothing.
  bar.DefWindowProc(SB_SETTEXTW, 0, (LPARAM)L"control only");
  ASSERT_TRUE(bar.SetPaneText(0, L"first"));
  EXPECT_STREQ(ControlText(bar, 0), L"control only") << "nothing was sent";
  // Without update the text waits for the next layout.
  ASSERT_TRUE(bar.SetPaneText(0, L"second", FALSE));
  EXPECT_STREQ(ControlText(bar, 0), L"control only");
  bar.UpdateAllPanes(FALSE, TRUE);
  EXPECT_STREQ(ControlText(bar, 0), L"second");
  // Disabled: the text stays with the pane, the control shows none.
  bar.SetPaneStyle(1, SBPS_DISABLED);
  EXPECT_STREQ(bar.GetPaneText(1), L"CAP");
  EXPECT_STREQ(ControlText(bar, 1), L"");
  bar.SetPaneStyle(1, 0);
  EXPECT_STREQ(ControlText(bar, 1), L"CAP");
  EXPECT_FALSE(bar.SetPaneText(7, L"nowhere"));
  EXPECT_EQ(bar.GetPaneStyle(7), 0u);
  EXPECT_STREQ(bar.GetPaneText(7), L"");
}

TEST_F(StatusBar, AMissingStringStopsTheIndicatorsAndKeepsThoseMade) {
  const UINT ids[] = {0, ID_INDICATOR_CAPS, 40999, ID_INDICATOR_NUM};
  EXPECT_FALSE(bar.SetIndicators(ids, 4));
  EXPECT_EQ(bar.GetPaneCount(), 2);
  EXPECT_EQ(ControlParts(bar).size(), 2u) << "laid out";
  EXPECT_TRUE(bar.SetIndicators(nullptr, 3));
  EXPECT_EQ(bar.GetPaneCount(), 0);
  const UINT ready[] = {kReadyText, 0};
  EXPECT_TRUE(bar.SetIndicators(ready, 2));
  EXPECT_STREQ(bar.GetPaneText(0), L"Ready to convert");
  EXPECT_EQ(bar.GetPaneStyle(1), 0u) << "a message pane not first does not stretch";
}

TEST_F(StatusBar, LockIndicatorsFollowTheKeys) {
  ASSERT_TRUE(bar.SetIndicators(kIndicators, 4));
  Layout();
  struct Case {
    WORD vk;
    UINT id;
  } cases[] = {{VK_CAPITAL, ID_INDICATOR_CAPS}, {VK_NUMLOCK, ID_INDICATOR_NUM}, {VK_SCROLL, ID_INDICATOR_SCRL}};
  for (const Case& c : cases) {
    const int index = bar.CommandToIndex(c.id);
    bool previous = (::GetKeyState(c.vk) & 1) != 0;
    for (int round = 0; round < 2; ++round) {
      TypeKey(c.vk, 80);
      const bool on = (::GetKeyState(c.vk) & 1) != 0;
      EXPECT_NE(on, previous) << "the key toggled its lock, vk " << c.vk;
      previous = on;
      bar.SendMessage(WM_IDLEUPDATECMDUI, FALSE, 0);  // the frame's idle update of its bars
      EXPECT_EQ((bar.GetPaneStyle(index) & SBPS_DISABLED) == 0, on) << "vk " << c.vk << " round " << round;
      EXPECT_STREQ(ControlText(bar, index), on ? (LPCWSTR)bar.GetPaneText(index) : L"");
    }
  }
}

TEST_F(StatusBar, ChildWindowsSitOverTheirPanes) {
  ASSERT_TRUE(bar.SetIndicators(kIndicators, 4));
  Layout();
  CXTPStatusBarPaneWnd* pChild = new CXTPStatusBarPaneWnd();
  ASSERT_TRUE(pChild->Create(L"child", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), &bar, 100));
  bar.GetPane(2)->SetChildWindow(pChild->m_hWnd, TRUE);
  CRect rcPane, rcChild;
  bar.GetItemRect(2, rcPane);
  pChild->GetWindowRect(rcChild);
  bar.ScreenToClient(rcChild);
  rcPane.DeflateRect(::GetSystemMetrics(SM_CXEDGE), ::GetSystemMetrics(SM_CYEDGE));
  EXPECT_EQ(rcChild, rcPane);
  CString text;
  pChild->GetWindowText(text);
  EXPECT_STREQ(text, L"child");
  HWND hChild = pChild->m_hWnd;
  bar.RemoveAll();  // the owned child goes with its pane
  EXPECT_FALSE(::IsWindow(hChild));
  // An owned child still there when the bar's window goes is destroyed with it; the pane
  // deletes its object later.
  ASSERT_TRUE(bar.SetIndicators(kIndicators, 4));
  CXTPStatusBarPaneWnd* pSecond = new CXTPStatusBarPaneWnd();
  ASSERT_TRUE(pSecond->Create(L"second", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), &bar, 101));
  bar.GetPane(1)->SetChildWindow(pSecond->m_hWnd, TRUE);
  HWND hSecond = pSecond->m_hWnd;
  bar.DestroyWindow();
  EXPECT_FALSE(::IsWindow(hSecond));
  bar.RemoveAll();
}

TEST_F(StatusBar, ALastStretchPaneReachesTheGripAndTooltipsComeFromPanes) {
  const UINT ids[] = {ID_INDICATOR_CAPS, 0};
  ASSERT_TRUE(bar.SetIndicators(ids, 2));
  bar.SetPaneStyle(1, SBPS_STRETCH);
  Layout();
  ASSERT_NE(bar.GetStyle() & SBARS_SIZEGRIP, 0u) << "the frame has a thick frame";
  CRect rcClient, rcLast;
  bar.GetClientRect(rcClient);
  bar.GetItemRect(1, rcLast);
  EXPECT_EQ(rcLast.right, rcClient.right - ::GetSystemMetrics(SM_CXSMICON) - ::GetSystemMetrics(SM_CXEDGE));

  bar.GetPane(0)->SetTooltip(L"Caps Lock state");
  CRect rcCaps;
  bar.GetItemRect(0, rcCaps);
  TTTOOLINFOW ti = {};
  ti.cbSize = sizeof(ti);
  EXPECT_EQ(bar.OnToolHitTest(rcCaps.CenterPoint(), &ti), (INT_PTR)ID_INDICATOR_CAPS);
  EXPECT_EQ(ti.hwnd, bar.m_hWnd);
  EXPECT_EQ(ti.uId, (UINT_PTR)ID_INDICATOR_CAPS);
  EXPECT_EQ(CRect(ti.rect), rcCaps);
  ASSERT_NE(ti.lpszText, nullptr);
  EXPECT_STREQ(ti.lpszText, L"Caps Lock state");
  free(ti.lpszText);
  EXPECT_EQ(bar.OnToolHitTest(rcLast.CenterPoint(), nullptr), -1) << "no tooltip: no tool";
  EXPECT_EQ(bar.OnToolHitTest(CPoint(-5, -5), nullptr), -1);
}

TEST(StatusBarUpdate, CommandUpdateHandlersDrivePaneTextStyleAndCheck) {
  CPaneFrame* pFrame = new CPaneFrame();
  ASSERT_TRUE(pFrame->Create(NULL, L"update frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(40, 40, 440, 240)));
  CXTPStatusBar bar;
  ASSERT_TRUE(bar.Create(pFrame, 0x50008200, 0xE801));
  const UINT ids[] = {0, kReadyText};
  ASSERT_TRUE(bar.SetIndicators(ids, 2));
  pFrame->RecalcLayout();
  struct Case {
    BOOL enable;
    int check;
    const wchar_t* text;
    UINT style;
    const wchar_t* shown;
  } cases[] = {
      {TRUE, 1, L"Working", SBPS_POPOUT, L"Working"},
      {TRUE, 0, L"Idle", 0, L"Idle"},
      {FALSE, 0, L"Stopped", SBPS_DISABLED, L""},
      {FALSE, 1, L"Stopped", SBPS_DISABLED | SBPS_POPOUT, L""},
      {TRUE, 0, L"Again", 0, L"Again"},
  };
  for (const Case& c : cases) {
    pFrame->bEnable = c.enable;
    pFrame->nCheck = c.check;
    pFrame->strText = c.text;
    bar.SendMessage(WM_IDLEUPDATECMDUI, FALSE, 0);
    EXPECT_EQ(bar.GetPaneStyle(1), c.style) << c.text;
    EXPECT_STREQ(bar.GetPaneText(1), c.text);
    EXPECT_STREQ(ControlText(bar, 1), c.shown);
  }
  // The message pane has no handler: the default update leaves it enabled.
  EXPECT_EQ(bar.GetPaneStyle(0) & SBPS_DISABLED, 0u);
  pFrame->DestroyWindow();
  PumpFor(30);
}

TEST_F(StatusBar, PanesAddedOrHiddenKeepTheirTexts) {
  ASSERT_TRUE(bar.SetIndicators(kIndicators, 4));
  Layout();
  CXTPStatusBarPane* pReady = bar.AddIndicator(kReadyText, 1);
  ASSERT_NE(pReady, nullptr);
  EXPECT_EQ(bar.GetPane(1), pReady);
  EXPECT_EQ(bar.CommandToIndex(ID_INDICATOR_CAPS), 2);
  EXPECT_STREQ(pReady->GetText(), L"Ready to convert");
  EXPECT_EQ(pReady->GetWidth(), TextWidth(bar, L"Ready to convert"));
  EXPECT_STREQ(ControlText(bar, 1), L"Ready to convert");
  EXPECT_EQ(bar.AddIndicator(ID_INDICATOR_NUM, 99), nullptr) << "index out of range";
  EXPECT_EQ(bar.GetPaneCount(), 5);
  // A hidden pane takes its text but refuses to show it; shown again, the text is sent.
  pReady->SetVisible(FALSE);
  EXPECT_EQ(ControlParts(bar).size(), 4u);
  EXPECT_EQ(pReady->GetVisibleIndex(), -1);
  EXPECT_STREQ(ControlText(bar, 1), L"CAP") << "the next visible pane moved up";
  EXPECT_FALSE(bar.SetPaneText(1, L"Hidden text"));
  EXPECT_STREQ(bar.GetPaneText(1), L"Hidden text");
  CRect rc;
  bar.GetItemRect(1, rc);
  EXPECT_TRUE(rc.IsRectNull());
  pReady->SetVisible(TRUE);
  EXPECT_EQ(ControlParts(bar).size(), 5u);
  EXPECT_STREQ(ControlText(bar, 1), L"Hidden text");
}

TEST_F(StatusBar, HeightFollowsTheFontAndTheMinimum) {
  ASSERT_TRUE(bar.SetIndicators(kIndicators, 4));
  EXPECT_EQ(bar.GetMinHeight(), 20) << "set at creation";
  CSize size = bar.CalcFixedLayout(TRUE, TRUE);
  EXPECT_EQ(size.cx, 32767);
  EXPECT_GE(size.cy, 20);
  bar.SendMessage(SB_SETMINHEIGHT, 60, 0);
  EXPECT_EQ(bar.CalcFixedLayout(TRUE, TRUE).cy, 60);
  Layout();
  CRect rc;
  bar.GetWindowRect(rc);
  EXPECT_EQ(rc.Height(), 60);
}

TEST_F(StatusBar, DrawsThroughThePaintManagerAndMakesAPicture) {
  CShadowPaintManager* pPaint = new CShadowPaintManager(FALSE);  // released by the next theme
  CXTPPaintManager::SetCustomTheme(pPaint);
  ASSERT_TRUE(bar.SetIndicators(kIndicators, 4));
  Layout();
  bar.SetPaneText(0, L"Contacts converted: 128");
  bar.SetPaneStyle(2, SBPS_DISABLED);
  bar.GetPane(0)->SetTextColor(RGB(0, 0, 160));
  bar.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_FRAME);
  PumpFor(100);
  testsupport::CSnapshot dc(bar.m_hWnd, testsupport::WindowArea::Client);
  // Message pane text in its colour; the disabled pane shows no text.
  CRect rcText;
  bar.GetItemRect(0, rcText);
  int blue = 0;
  for (int x = rcText.left; x < rcText.right; ++x)
    for (int y = rcText.top; y < rcText.bottom; ++y)
      if (dc.Pixel(x, y) == RGB(0, 0, 160)) ++blue;
  EXPECT_GT(blue, 20);
  CRect rcNum;
  bar.GetItemRect(2, rcNum);
  rcNum.DeflateRect(3, 3);
  const COLORREF face = dc.Pixel(rcNum.left, rcNum.top);
  int other = 0;
  for (int x = rcNum.left; x < rcNum.right; ++x)
    for (int y = rcNum.top; y < rcNum.bottom; ++y)
      if (dc.Pixel(x, y) != face) ++other;
  EXPECT_EQ(other, 0) << "no text in a disabled pane";
  testsupport::CSnapshot shot(pFrame->m_hWnd, testsupport::WindowArea::Whole);
  EXPECT_TRUE(shot.SavePng(testsupport::ArtifactPath(L"commandbars/statusbar.png")));
  CXTPPaintManager::SetCustomTheme(NULL);
}

}  // namespace
