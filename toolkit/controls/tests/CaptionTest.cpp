// Caption bars: the text rectangle and the icon that fits or not; a pane popped out into
// the caption popup, closed within a tick when the focus goes elsewhere, put back by the
// pin, and a hundred such cycles that leave no window or object behind.
#include <framework.h>

#include <gtest/gtest.h>

#include "ControlsTestSupport.h"
#include "XTCaption.h"
#include "controls_test_res.h"

#include <test_picture.h>

#include <algorithm>

using namespace controlstest;
using testsupport::CSnapshot;
using testsupport::WindowArea;

namespace {

const DWORD kCaptionStyle = WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE | WS_CHILD;

class Caption : public ::testing::Test {
 protected:
  void SetUp() override {
    ParkMouse();
    ASSERT_TRUE(parent.CreateAt(CRect(60, 60, 560, 460)));
    Activate(parent.m_hWnd);
  }
  void TearDown() override {
    parent.DestroyWindow();
    PumpFor(20);
  }
  CSize TextSize(CXTCaption& caption, LPCWSTR text, int* pAveChar) {
    CClientDC dc(&caption);
    CFont* pOld = dc.SelectObject(caption.GetFont());
    const CSize size = dc.GetTextExtent(text, lstrlenW(text));
    TEXTMETRIC tm = {};
    dc.GetTextMetrics(&tm);
    dc.SelectObject(pOld);
    *pAveChar = tm.tmAveCharWidth;
    return size;
  }
  CRecordingParent parent;
};

TEST_F(Caption, TextRectangleFollowsTextAndIcon) {
  CXTCaption caption;
  ASSERT_TRUE(caption.Create(&parent, L"Saving item 3 of 10", CPWS_EX_RAISED_EDGE, kCaptionStyle, CRect(10, 10, 310, 34)));
  int ave = 0;
  const CSize size = TextSize(caption, L"Saving item 3 of 10", &ave);
  EXPECT_EQ(caption.GetTextRect(), CRect(0, 0, size.cx + ave + 12, 24));
  caption.ModifyCaptionStyle(3, NULL, NULL, NULL);
  EXPECT_EQ(caption.GetTextRect(), CRect(3, 3, 3 + size.cx + ave + 12, 21));

  CXTCaption narrow;
  ASSERT_TRUE(narrow.Create(&parent, L"Saving item 3 of 10", 0, kCaptionStyle, CRect(10, 40, 70, 64)));
  EXPECT_EQ(narrow.GetTextRect().Width(), 60) << "no wider than the client area";
  HICON hIcon = (HICON)::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_TEST_NORMAL), IMAGE_ICON, 16, 16, 0);
  narrow.ModifyCaptionStyle(0, NULL, NULL, hIcon);
  EXPECT_EQ(narrow.GetTextRect().Width(), 60 - 18) << "an icon takes 18 pixels";

  CXTCaption empty;
  ASSERT_TRUE(empty.Create(&parent, L"", 0, kCaptionStyle, CRect(10, 70, 310, 94)));
  EXPECT_TRUE(empty.GetTextRect().IsRectEmpty());
  narrow.DestroyWindow();
  ::DestroyIcon(hIcon);
}

TEST_F(Caption, AnIconIsDrawnOnlyWhenItFits) {
  HICON hIcon = (HICON)::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_TEST_NORMAL), IMAGE_ICON, 16, 16, 0);
  const struct {
    int width;
    bool drawn;
  } rows[] = {{300, true}, {40, true}, {17, true}, {16, false}, {10, false}};
  for (const auto& row : rows) {
    CXTCaption caption;
    ASSERT_TRUE(caption.Create(&parent, L"", 0, kCaptionStyle, CRect(10, 10, 10 + row.width, 34)));
    caption.ModifyCaptionStyle(0, NULL, NULL, hIcon);
    caption.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    CSnapshot shot(caption.m_hWnd, WindowArea::Client);
    const bool red = shot.Contains(CRect(0, 0, shot.Width(), shot.Height()), RGB(255, 0, 0));
    EXPECT_EQ(red, row.drawn) << row.width;
    if (row.drawn) {
      const int x = std::max(row.width - 16 - 2, 0);
      EXPECT_EQ(shot.Pixel(x + 2, (24 - 16) / 2 + 2), RGB(255, 0, 0)) << row.width;
    }
  }
  ::DestroyIcon(hIcon);
}

TEST_F(Caption, UpdateCaptionPaintsAtOnce) {
  CXTCaption caption;
  ASSERT_TRUE(caption.Create(&parent, L"", 0, kCaptionStyle, CRect(10, 10, 310, 34)));
  caption.SetCaptionColors(RGB(0xEF, 0xFE, 0xFF), RGB(0xEF, 0xFE, 0xFF), RGB(0, 0, 0xFF));
  PumpFor(30);
  caption.UpdateCaption(NULL, NULL);
  CSnapshot back(caption.m_hWnd, WindowArea::Client);
  EXPECT_FALSE(back.Contains(CRect(0, 0, 300, 24), RGB(0, 0, 0xFF))) << "background only";
  EXPECT_EQ(back.Pixel(150, 12), RGB(0xEF, 0xFE, 0xFF));
  caption.UpdateCaption(L"Saving Complete", NULL);
  CSnapshot text(caption.m_hWnd, WindowArea::Client);
  EXPECT_TRUE(text.Contains(CRect(0, 0, 300, 24), RGB(0, 0, 0xFF)));
  EXPECT_STREQ((LPCWSTR)caption.GetCaptionText(), L"Saving Complete");
}

// ---------------------------------------------------------------------------------------
// A pane in a view in a host window, with its caption above it.
class CaptionPopup : public Caption {
 protected:
  void SetUp() override {
    Caption::SetUp();
    ASSERT_TRUE(host.Create(NULL, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, CRect(10, 40, 410, 340), &parent, 1));
    ASSERT_TRUE(view.Create(NULL, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 200, 300), &host, 2));
    ASSERT_TRUE(pane.CreateEx(WS_EX_CLIENTEDGE, L"EDIT", L"pane", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 300), &view, 3));
    ASSERT_TRUE(elsewhere.CreateEx(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(420, 40, 490, 64), &parent, 4));
    ASSERT_TRUE(caption.Create(&parent, L"Folders", CPWS_EX_RAISED_EDGE, kCaptionStyle, CRect(10, 10, 410, 34)));
    EXPECT_FALSE(caption.GetCaptionButton().IsWindowVisible()) << "hidden until a pane is attached";
    caption.SetChildWindow(&pane, &parent);
    EXPECT_TRUE(caption.GetCaptionButton().IsWindowVisible());
    PumpFor(30);
  }
  void TearDown() override {
    caption.DestroyWindow();
    Caption::TearDown();
  }
  bool PoppedOut() {
    CXTCaptionPopupWnd* pPopup = caption.GetPopupWnd();
    return pPopup != NULL && pPopup->IsWindowVisible() && pane.GetParent() == pPopup;
  }
  bool Home() { return caption.GetPopupWnd() == NULL && pane.GetParent() == &view; }

  CWnd host, view, elsewhere;
  CEdit pane;
  CXTCaption caption;
};

TEST_F(CaptionPopup, TheButtonPopsThePaneOutAndFocusElsewhereClosesItWithinATick) {
  Click(CenterOf(caption.GetCaptionButton().m_hWnd));
  ASSERT_TRUE(PumpUntil([&] { return PoppedOut(); }, 500));
  CXTCaptionPopupWnd* pPopup = caption.GetPopupWnd();
  WCHAR cls[64] = {};
  ::GetClassNameW(pPopup->m_hWnd, cls, 64);
  EXPECT_STREQ(cls, L"XTCaptionPopupWnd");
  EXPECT_STREQ((LPCWSTR)pPopup->GetTitleBar().GetCaptionText(), L"Click push pin to keep open");
  EXPECT_TRUE(caption.GetCaptionButton().GetState() & BST_PUSHED) << "the button shows pressed";
  PumpFor(100);
  EXPECT_TRUE(PoppedOut()) << "stays open while the focus is inside";

  elsewhere.SetFocus();
  // The popup's timer notices on its next tick; how soon that comes on a loaded machine is
  // not this test's business, only that it comes and puts the pane back.
  EXPECT_TRUE(PumpUntil([&] { return Home(); }, 2000, testsupport::Dispatch::Plain, 1));
  EXPECT_EQ(parent.Count(CPWM_POPUP_FOCUSLOST), 1);
  EXPECT_FALSE(caption.GetCaptionButton().GetState() & BST_PUSHED);
  PumpFor(30);
  EXPECT_EQ(::FindWindowW(L"XTCaptionPopupWnd", NULL), nullptr) << "the popup window is gone";
}

TEST_F(CaptionPopup, ThePinPutsThePaneBack) {
  // The pane comes back at the view's client area moved down by the difference between the
  // view's and the pane's client heights.
  CRect viewClient, paneClient;
  view.GetClientRect(&viewClient);
  pane.GetClientRect(&paneClient);
  CRect before(viewClient.left, viewClient.top + viewClient.Height() - paneClient.Height(), viewClient.right,
               viewClient.bottom + viewClient.Height() - paneClient.Height());
  view.ClientToScreen(&before);
  ASSERT_TRUE(caption.ShowPopupWindow());
  ASSERT_TRUE(PoppedOut());
  CXTCaptionPopupWnd* pPopup = caption.GetPopupWnd();
  pPopup->SetFocus();
  PumpFor(30);
  CXTCaptionButton& pin = pPopup->GetPushPin();
  ASSERT_TRUE(pin.IsWindowVisible());
  Click(CenterOf(pin.m_hWnd));
  ASSERT_TRUE(PumpUntil([&] { return Home(); }, 500));
  EXPECT_EQ(parent.Count(CPWM_POPUP_CLOSE), 1);
  EXPECT_EQ(parent.Count(CPWM_POPUP_FOCUSLOST), 0);
  CRect after;
  pane.GetWindowRect(&after);
  EXPECT_EQ(after, before) << "back in its place: " << after.left << "," << after.top << "," << after.right << ","
                           << after.bottom << " expected " << before.left << "," << before.top << "," << before.right
                           << "," << before.bottom;
  EXPECT_FALSE(caption.GetCaptionButton().IsWindowVisible());
}

TEST_F(CaptionPopup, APopupClosedByItsOwnHandlerOutlivesThatHandler) {
  // The popup's timer (focus gone) and its pin each make the caption close the popup while
  // the popup's own handler runs: its window and object must last until that returns.
  for (int pin = 0; pin < 2; pin++) {
    caption.SetChildWindow(&pane, &parent);
    ASSERT_TRUE(caption.ShowPopupWindow());
    CXTCaptionPopupWnd* pPopup = caption.GetPopupWnd();
    const HWND hPopup = pPopup->m_hWnd;
    if (pin) {
      pPopup->SetFocus();
      PumpFor(20);
      pPopup->GetPushPin().SendMessage(BM_CLICK);
    } else {
      elsewhere.SetFocus();
      ::SendMessageW(hPopup, WM_TIMER, 1, 0);
    }
    EXPECT_EQ(caption.GetPopupWnd(), nullptr) << pin;
    EXPECT_EQ(pane.GetParent(), &view) << "the pane is back at once " << pin;
    EXPECT_TRUE(::IsWindow(hPopup)) << "the window outlives the handler " << pin;
    EXPECT_FALSE(::IsWindowVisible(hPopup)) << pin;
    EXPECT_EQ(CWnd::FromHandlePermanent(hPopup), pPopup) << "and so does its object " << pin;
    PumpFor(30);
    EXPECT_FALSE(::IsWindow(hPopup)) << "gone once the queue ran " << pin;
  }
  EXPECT_EQ(parent.Count(CPWM_POPUP_FOCUSLOST), 1);
  EXPECT_EQ(parent.Count(CPWM_POPUP_CLOSE), 1);
}

TEST_F(CaptionPopup, AHundredCyclesRunClean) {
  // One cycle first, so that everything made once per process exists.
  ASSERT_TRUE(caption.ShowPopupWindow());
  elsewhere.SetFocus();
  ASSERT_TRUE(PumpUntil([&] { return Home(); }, 500));
  caption.SetChildWindow(&pane, &parent);
  PumpFor(30);
  const DWORD gdiBefore = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  const DWORD userBefore = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);

  for (int i = 0; i < 100; i++) {
    ASSERT_TRUE(caption.ShowPopupWindow()) << i;
    ASSERT_TRUE(PoppedOut()) << i;
    caption.GetPopupWnd()->SetFocus();
    PumpFor(15);
    if (i % 2 == 0) {
      elsewhere.SetFocus();
    } else {
      caption.GetPopupWnd()->GetPushPin().SendMessage(BM_CLICK);
      caption.SetChildWindow(&pane, &parent);
    }
    ASSERT_TRUE(PumpUntil([&] { return Home(); }, 500)) << i;
  }
  PumpFor(50);
  EXPECT_EQ(parent.Count(CPWM_POPUP_FOCUSLOST), 51);
  EXPECT_EQ(parent.Count(CPWM_POPUP_CLOSE), 50);
  EXPECT_EQ(::FindWindowW(L"XTCaptionPopupWnd", NULL), nullptr);
  const DWORD gdiAfter = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  const DWORD userAfter = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
  EXPECT_LE(gdiAfter, gdiBefore + 5) << "GDI objects";
  EXPECT_LE(userAfter, userBefore + 5) << "USER objects";
  EXPECT_EQ(pane.GetParent(), &view);
}

}  // namespace
