// Tooltips on a real window moved over by real input (SendInput): delays, reshow, clicks,
// keys, the foreground rule, titles, callback texts, every tip kind, memory over many moves
// and the mouse hook when a showing tip is destroyed.
#include <framework.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "XTPColorManager.h"
#include "XTPToolTipContext.h"
#include "XTPToolTipWnd.h"
#include "test_picture.h"
#include "test_pump.h"
#include "test_window.h"

using testsupport::PumpFor;
using testsupport::PumpUntil;

namespace {

struct TestTool {
  CRect rect;
  UINT id;
  CString text;
  CString title;
  CString description;
  bool callback = false;
  UINT extraFlags = 0;
};

// A window with tools at fixed rectangles. Every message goes through the context first.
class CTipOwner : public CWnd {
 public:
  CXTPToolTipContext* m_pContext = nullptr;
  std::vector<TestTool> m_tools;
  int m_nCallbacks = 0;
  int m_nKeyDowns = 0;
  mutable int m_nHitTests = 0;
  CString m_strCallback;

  INT_PTR OnToolHitTest(CPoint point, TTTOOLINFOW* pTI) const override {
    m_nHitTests++;
    for (const TestTool& t : m_tools) {
      if (!t.rect.PtInRect(point)) continue;
      if (t.callback) {
        pTI->hwnd = m_hWnd;
        pTI->uId = t.id;
        pTI->rect = t.rect;
        pTI->lpszText = LPSTR_TEXTCALLBACKW;
      } else {
        CXTPToolTipContext::FillInToolInfo(pTI, m_hWnd, t.rect, t.id, t.text, t.title, t.description);
      }
      pTI->uFlags |= t.extraFlags;
      return t.id;
    }
    return -1;
  }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (m_pContext) m_pContext->FilterToolTipMessage(this, message, wParam, lParam);
    if (message == WM_KEYDOWN) m_nKeyDowns++;
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == TTN_GETDISPINFOW) {
      auto* pInfo = reinterpret_cast<NMTTDISPINFOW*>(lParam);
      m_nCallbacks++;
      m_strCallback.Format(L"Callback for %d", static_cast<int>(pInfo->hdr.idFrom));
      pInfo->lpszText = const_cast<LPWSTR>(static_cast<LPCWSTR>(m_strCallback));
      return 0;
    }
    if (message == WM_PAINT) {
      CPaintDC dc(this);
      CRect rc;
      GetClientRect(&rc);
      dc.FillSolidRect(&rc, RGB(255, 255, 255));
      for (const TestTool& t : m_tools) dc.Draw3dRect(&t.rect, RGB(160, 160, 160), RGB(160, 160, 160));
      return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

const wchar_t kRtf[] = L"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 {\\b Bold} and {\\i italic} rich text\\par Second line}";

// Tools: A, B (plain), C (callback), D (empty text), E (title and description), F (RTF),
// G (plain, asks to be shown even when the window is inactive), H (text with a mnemonic).
std::vector<TestTool> StandardTools() {
  std::vector<TestTool> tools(8);
  tools[0] = {CRect(10, 10, 110, 60), 1, L"Alpha tip"};
  tools[1] = {CRect(120, 10, 220, 60), 2, L"Beta tip"};
  tools[2] = {CRect(230, 10, 330, 60), 3, L"", L"", L"", true};
  tools[3] = {CRect(10, 80, 110, 130), 4, L""};
  tools[4] = {CRect(120, 80, 220, 130), 5, L"Save tip", L"&Save", L"Saves the contacts to the chosen file"};
  tools[5] = {CRect(230, 80, 330, 130), 6, kRtf};
  tools[6] = {CRect(10, 140, 110, 190), 7, L"Always tip", L"", L"", false, XTP_TTF_ACTIVATE};
  tools[7] = {CRect(120, 140, 220, 190), 8, L"Save &As"};
  return tools;
}

class TipTest : public ::testing::Test {
 protected:
  CTipOwner m_owner;
  CXTPToolTipContext* m_pContext = nullptr;
  CRect m_rcOwner{100, 100, 500, 320};

  void SetUp() override {
    Park();
    ASSERT_TRUE(testsupport::CreateTestWindow(m_owner, m_rcOwner, L"Tip owner"));
    m_owner.m_tools = StandardTools();
    m_pContext = new CXTPToolTipContext;
    m_owner.m_pContext = m_pContext;
    m_owner.SetForegroundWindow();
    m_owner.SetFocus();
    PumpFor(100);
  }
  void TearDown() override {
    m_owner.m_pContext = nullptr;
    if (m_pContext) m_pContext->InternalRelease();
    m_pContext = nullptr;
    if (m_owner.GetSafeHwnd()) m_owner.DestroyWindow();
    Park();
  }

  static void Park() {
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 2, ::GetSystemMetrics(SM_CYSCREEN) - 2);
    PumpFor(20);
  }

  // Moves the real pointer to a screen point and handles what that caused.
  static void MoveToScreen(CPoint pt) {
    const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = (pt.x * 65536 + cx - 1) / cx;
    in.mi.dy = (pt.y * 65536 + cy - 1) / cy;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof(in));
    PumpUntil(
        [&] {
          POINT cur;
          ::GetCursorPos(&cur);
          return cur.x == pt.x && cur.y == pt.y;
        },
        200, testsupport::Dispatch::Plain, 1);
    testsupport::DispatchWaiting();
  }
  void MoveTo(CPoint client) { MoveToScreen(client + m_rcOwner.TopLeft()); }
  void MoveToTool(int index, CPoint offset = CPoint(0, 0)) {
    MoveTo(m_owner.m_tools[index].rect.CenterPoint() + offset);
  }
  static void Click() {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, in, sizeof(INPUT));
    PumpFor(50);
  }
  static void PressKey(WORD vk) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, in, sizeof(INPUT));
    PumpFor(50);
  }

  CXTPToolTipWnd* Tip() const { return dynamic_cast<CXTPToolTipWnd*>(m_pContext->GetToolTip()); }
  bool TipShows() const {
    CWnd* p = m_pContext ? m_pContext->GetToolTip() : nullptr;
    return p != nullptr && p->GetSafeHwnd() != nullptr && p->IsWindowVisible();
  }
  bool Shows(const wchar_t* text) const { return TipShows() && Tip() && Tip()->GetTipText() == text; }
  bool WaitFor(const std::function<bool()>& done, DWORD ms = 2500) { return PumpUntil(done, ms); }
  // Pumps for ms while moving the pointer a pixel now and then; true when the tip never showed.
  bool StaysHidden(DWORD ms, int toolIndex) {
    const DWORD start = ::GetTickCount();
    int step = 0;
    while (::GetTickCount() - start < ms) {
      MoveToTool(toolIndex, CPoint(step++ % 2, 0));
      if (TipShows()) return false;
      PumpFor(60);
      if (TipShows()) return false;
    }
    return true;
  }
};

}  // namespace

// ---------------------------------------------------------------------------------------
// Records and the tip window's messages (real windows, no input).

TEST(TipRecords, SizesAreThoseOfThePlatformsWideRecord) {
  EXPECT_EQ(static_cast<size_t>(XTP_TOOLINFO_SIZE), offsetof(TTTOOLINFOW, lParam));
  EXPECT_EQ(static_cast<size_t>(XTP_TOOLINFO_EX_SIZE), offsetof(TTTOOLINFOW, lParam) + sizeof(LPARAM));
#ifdef _WIN64
  EXPECT_EQ(56u, static_cast<unsigned>(XTP_TOOLINFO_SIZE));
  EXPECT_EQ(64u, static_cast<unsigned>(XTP_TOOLINFO_EX_SIZE));
#endif
}

TEST(TipRecords, FillInToolInfoCopiesWhatTheRecordHasRoomFor) {
  HWND hWnd = reinterpret_cast<HWND>(0x1234);
  const CRect rc(1, 2, 3, 4);
  CXTPToolTipContext::FillInToolInfo(nullptr, hWnd, rc, 9, L"text", L"title", L"desc");  // nothing, no crash

  struct Case {
    const char* what;
    UINT cbSize;
    bool block;
    const wchar_t* title;
    const wchar_t* desc;
    bool filled;
    bool texts;
  } cases[] = {
      {"too short", XTP_TOOLINFO_SIZE - 1, true, L"T", L"D", false, false},
      {"short form", XTP_TOOLINFO_SIZE, true, L"T", L"D", true, false},
      {"long form", XTP_TOOLINFO_EX_SIZE, true, L"T", L"D", true, true},
      {"long form without block", XTP_TOOLINFO_EX_SIZE, false, L"T", L"D", true, false},
      {"long form, empty title", XTP_TOOLINFO_EX_SIZE, true, L"", L"D", true, false},
      {"long form, empty description", XTP_TOOLINFO_EX_SIZE, true, L"T", L"", true, false},
  };
  for (const Case& c : cases) {
    TTTOOLINFOW ti = {};
    XTP_TOOLTIP_TEXTS texts = {nullptr, nullptr};
    ti.cbSize = c.cbSize;
    ti.uFlags = TTF_SUBCLASS;
    if (c.block) ti.lParam = reinterpret_cast<LPARAM>(&texts);
    CXTPToolTipContext::FillInToolInfo(&ti, hWnd, rc, 9, L"Tip text", c.title, c.desc);
    EXPECT_EQ(static_cast<UINT>(TTF_SUBCLASS), ti.uFlags) << c.what;
    if (c.filled) {
      EXPECT_EQ(hWnd, ti.hwnd) << c.what;
      EXPECT_EQ(9u, ti.uId) << c.what;
      EXPECT_TRUE(::EqualRect(&rc, &ti.rect)) << c.what;
      ASSERT_NE(nullptr, ti.lpszText) << c.what;
      EXPECT_STREQ(L"Tip text", ti.lpszText) << c.what;
    } else {
      EXPECT_EQ(nullptr, ti.hwnd) << c.what;
      EXPECT_EQ(nullptr, ti.lpszText) << c.what;
    }
    if (c.texts) {
      ASSERT_NE(nullptr, texts.lpszTitle);
      EXPECT_STREQ(c.title, texts.lpszTitle);
      EXPECT_STREQ(c.desc, texts.lpszDescription);
    } else {
      EXPECT_EQ(nullptr, texts.lpszTitle) << c.what;
      EXPECT_EQ(nullptr, texts.lpszDescription) << c.what;
    }
    free(ti.lpszText);
    free(texts.lpszTitle);
    free(texts.lpszDescription);
  }
}

namespace {

// A child that tells tips to look through it (or not).
class CSeeThroughChild : public CWnd {
 public:
  LRESULT m_answer = 1;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_XTP_TIPTRANSPARENT) return m_answer;
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

}  // namespace

TEST(TipWindowMessages, ToolsTitleAndWindowFromPoint) {
  CWnd owner;
  ASSERT_TRUE(testsupport::CreateTestWindow(owner, CRect(600, 100, 900, 300), L"Owner"));
  CXTPToolTipContext context;
  CXTPToolTipWnd tip(&context, xtpToolTipDrawn);
  ASSERT_TRUE(tip.Create(&owner, TTS_NOPREFIX, FALSE));
  EXPECT_EQ(owner.m_hWnd, ::GetWindow(tip.m_hWnd, GW_OWNER));
  EXPECT_TRUE(tip.GetExStyle() & WS_EX_TOOLWINDOW);
  EXPECT_EQ(500, tip.GetInitialDelay());
  EXPECT_EQ(200, tip.GetReshowDelay());
  EXPECT_TRUE(tip.GetStyle() & WS_POPUP) << std::hex << tip.GetStyle();

  TTTOOLINFOW ti = {};
  ti.cbSize = TTTOOLINFOW_V1_SIZE - 1;
  ti.hwnd = owner.m_hWnd;
  ti.uId = 1;
  ti.lpszText = const_cast<LPWSTR>(L"one");
  EXPECT_FALSE(tip.SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));  // short record refused
  EXPECT_FALSE(tip.SendMessage(TTM_ADDTOOLW, 0, 0));
  EXPECT_EQ(0, tip.GetToolCount());
  ti.cbSize = XTP_TOOLINFO_SIZE;
  EXPECT_TRUE(tip.SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
  EXPECT_TRUE(tip.SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));  // again: replaces
  ti.uId = 2;
  ti.lpszText = LPSTR_TEXTCALLBACKW;
  EXPECT_TRUE(tip.SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
  EXPECT_EQ(2, tip.GetToolCount());
  EXPECT_EQ(2, tip.SendMessage(TTM_GETTOOLCOUNT));
  tip.SendMessage(TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  EXPECT_EQ(1, tip.GetToolCount());

  tip.SendMessage(TTM_SETTITLEW, TTI_INFO, reinterpret_cast<LPARAM>(L"&File && more"));
  EXPECT_STREQ(L"&File && more", tip.GetTitle());  // TTS_NOPREFIX keeps it
  tip.ModifyStyle(TTS_NOPREFIX, 0);
  tip.SendMessage(TTM_SETTITLEW, TTI_INFO, reinterpret_cast<LPARAM>(L"&File && more"));
  EXPECT_STREQ(L"File & more", tip.GetTitle()) << std::hex << tip.GetStyle();
  tip.SendMessage(TTM_SETTITLEW, 0, 0);
  EXPECT_TRUE(tip.GetTitle().IsEmpty());

  // Window from point: a see-through child gives its parent, another child itself.
  CSeeThroughChild child;
  ASSERT_TRUE(child.Create(nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(10, 10, 110, 110), &owner, 100));
  owner.UpdateWindow();
  POINT pt = {650, 150};
  EXPECT_EQ(owner.m_hWnd, reinterpret_cast<HWND>(tip.SendMessage(TTM_WINDOWFROMPOINT, 0, reinterpret_cast<LPARAM>(&pt))));
  child.m_answer = 0;
  EXPECT_EQ(child.m_hWnd, reinterpret_cast<HWND>(tip.SendMessage(TTM_WINDOWFROMPOINT, 0, reinterpret_cast<LPARAM>(&pt))));
  EXPECT_EQ(0, tip.SendMessage(TTM_WINDOWFROMPOINT, 0, 0));
  // The tip itself is see-through for the mouse.
  EXPECT_EQ(HTTRANSPARENT, tip.SendMessage(WM_NCHITTEST, 0, 0));
  tip.DestroyWindow();
  owner.DestroyWindow();
}

// ---------------------------------------------------------------------------------------
// Behaviour under real input (own window, kind 2, unless said).

TEST_F(TipTest, InitialDelayThenReshowAtOnceThenWaitAgainAfterAPause) {
  m_pContext->SetStyle(xtpToolTipDrawn);
  // A reshow window wider than the 200 ms default, so that a busy machine moving the
  // pointer slowly does not decide the outcome.
  m_pContext->SetDelayTime(TTDT_RESHOW, 600);
  DWORD t0 = ::GetTickCount();
  MoveToTool(0);
  ASSERT_TRUE(WaitFor([&] { return Shows(L"Alpha tip"); }));
  const DWORD firstDelay = ::GetTickCount() - t0;
  EXPECT_GE(firstDelay, 400u);
  EXPECT_LE(firstDelay, 1500u);
  ASSERT_NE(nullptr, Tip());
  EXPECT_EQ(CXTPToolTipWnd::GetHookWindow(), Tip()->m_hWnd);
  EXPECT_EQ(600, Tip()->GetReshowDelay());
  EXPECT_EQ(500, Tip()->GetInitialDelay());
  // The tip sits 21 pixels below the pointer.
  CRect rcTip;
  Tip()->GetWindowRect(&rcTip);
  POINT cur;
  ::GetCursorPos(&cur);
  EXPECT_EQ(cur.x, rcTip.left);
  EXPECT_EQ(cur.y + 21, rcTip.top);

  // Within the reshow time another tool shows at once.
  t0 = ::GetTickCount();
  MoveToTool(1);
  EXPECT_TRUE(Shows(L"Beta tip")) << "shown " << ::GetTickCount() - t0 << " ms after the move";

  // After a longer pause the next tool waits for the initial delay again.
  PumpFor(1000);
  t0 = ::GetTickCount();
  MoveToTool(0);
  PumpFor(150);
  EXPECT_FALSE(TipShows());
  ASSERT_TRUE(WaitFor([&] { return Shows(L"Alpha tip"); }));
  EXPECT_GE(::GetTickCount() - t0, 400u);
}

TEST_F(TipTest, LeavingAToolHidesItsTipAndComingBackShowsItAgain) {
  m_pContext->SetStyle(xtpToolTipDrawn);
  MoveToTool(0);
  ASSERT_TRUE(WaitFor([&] { return Shows(L"Alpha tip"); }));
  MoveTo(CPoint(380, 200));  // no tool there
  EXPECT_FALSE(TipShows());
  PumpFor(300);
  MoveToTool(0);
  EXPECT_TRUE(WaitFor([&] { return Shows(L"Alpha tip"); }));
  // Leaving the window for another window of the program: the mouse hook hides the tip.
  CWnd other;
  const CRect rcOther(m_rcOwner.right + 20, m_rcOwner.top, m_rcOwner.right + 220, m_rcOwner.top + 100);
  ASSERT_TRUE(testsupport::CreateTestWindow(other, rcOther, L"Other"));
  ASSERT_EQ(Tip()->m_hWnd, CXTPToolTipWnd::GetHookWindow());
  MoveToScreen(rcOther.CenterPoint());
  EXPECT_TRUE(WaitFor([&] { return !TipShows(); }, 500));
  EXPECT_EQ(nullptr, CXTPToolTipWnd::GetHookWindow());
  other.DestroyWindow();
}

TEST_F(TipTest, ClickHidesTheTipUntilTheMouseLeavesTheTool) {
  m_pContext->SetStyle(xtpToolTipDrawn);
  MoveToTool(0);
  ASSERT_TRUE(WaitFor([&] { return Shows(L"Alpha tip"); }));
  Click();
  EXPECT_FALSE(TipShows());
  EXPECT_TRUE(StaysHidden(1000, 0));
  MoveToTool(1);
  EXPECT_TRUE(WaitFor([&] { return Shows(L"Beta tip"); }));
}

TEST_F(TipTest, AKeyPressCancelsTheTip) {
  m_pContext->SetStyle(xtpToolTipDrawn);
  MoveToTool(0);
  ASSERT_TRUE(WaitFor([&] { return Shows(L"Alpha tip"); }));
  ASSERT_EQ(m_owner.m_hWnd, ::GetFocus());
  PressKey('K');
  EXPECT_GE(m_owner.m_nKeyDowns, 1);
  EXPECT_FALSE(TipShows());
  EXPECT_TRUE(StaysHidden(800, 0));
}

TEST_F(TipTest, NotInTheForegroundTheTipIsDeactivatedOnTheNextMove) {
  m_pContext->SetStyle(xtpToolTipDrawn);
  MoveToTool(0);
  ASSERT_TRUE(WaitFor([&] { return Shows(L"Alpha tip"); }));
  CWnd other;
  ASSERT_TRUE(testsupport::CreateTestWindow(other, CRect(700, 600, 900, 700), L"Other"));
  other.SetForegroundWindow();
  PumpFor(100);
  ASSERT_EQ(other.m_hWnd, ::GetForegroundWindow());
  MoveToTool(0, CPoint(3, 0));
  EXPECT_FALSE(TipShows());
  // Other tools stay quiet while the window is inactive ...
  MoveToTool(1);
  EXPECT_TRUE(StaysHidden(900, 1));
  // ... except a tool that asks to be shown anyway.
  MoveToTool(6);
  EXPECT_TRUE(WaitFor([&] { return Shows(L"Always tip"); }));
  other.DestroyWindow();
}

TEST_F(TipTest, TitleAndDescriptionWithAndWithoutMnemonicStripping) {
  m_pContext->SetStyle(xtpToolTipDrawn);
  m_pContext->ShowTitleAndDescription(TRUE);
  MoveToTool(4);
  ASSERT_TRUE(WaitFor([&] { return Shows(L"Saves the contacts to the chosen file"); }));
  EXPECT_STREQ(L"&Save", Tip()->GetTitle());  // TTS_NOPREFIX by default
  CRect rcWithTitle;
  Tip()->GetWindowRect(&rcWithTitle);

  // Without TTS_NOPREFIX the title and the text lose their mnemonics.
  const HWND hOldTip = Tip()->m_hWnd;
  m_pContext->ModifyToolTipStyle(TTS_NOPREFIX, 0);
  EXPECT_EQ(nullptr, m_pContext->GetToolTip());
  EXPECT_FALSE(::IsWindow(hOldTip));
  MoveTo(CPoint(380, 200));
  PumpFor(300);
  MoveToTool(4);
  ASSERT_TRUE(WaitFor([&] { return Shows(L"Saves the contacts to the chosen file"); }));
  EXPECT_STREQ(L"Save", Tip()->GetTitle());

  // Without titles the same window shows one line, lower.
  m_pContext->ShowTitleAndDescription(FALSE);
  MoveToTool(7);
  ASSERT_TRUE(WaitFor([&] { return Shows(L"Save As"); }));
  EXPECT_TRUE(Tip()->GetTitle().IsEmpty());
  CRect rcPlain;
  Tip()->GetWindowRect(&rcPlain);
  EXPECT_LT(rcPlain.Height(), rcWithTitle.Height());
}

TEST_F(TipTest, CallbackTextComesFromTheOwner) {
  m_pContext->SetStyle(xtpToolTipDrawn);
  MoveToTool(2);
  ASSERT_TRUE(WaitFor([&] { return Shows(L"Callback for 3"); }));
  EXPECT_GE(m_owner.m_nCallbacks, 1);
}

TEST_F(TipTest, AToolWithEmptyTextShowsNothing) {
  for (int kind : {xtpToolTipDrawn, xtpToolTipRichText, xtpToolTipGradient}) {
    m_pContext->SetStyle(kind);
    MoveTo(CPoint(380, 200));
    PumpFor(250);
    MoveToTool(3);
    EXPECT_TRUE(StaysHidden(1000, 3)) << "kind " << kind;
    EXPECT_GT(m_owner.m_nHitTests, 0);
  }
}

TEST_F(TipTest, DelaysSetOnTheContextReachTheOwnWindow) {
  m_pContext->SetStyle(xtpToolTipDrawn);
  m_pContext->SetDelayTime(TTDT_INITIAL, 1200);
  const DWORD t0 = ::GetTickCount();
  MoveToTool(0);
  ASSERT_TRUE(WaitFor([&] { return Shows(L"Alpha tip"); }, 3000));
  EXPECT_GE(::GetTickCount() - t0, 1100u);
  EXPECT_EQ(1200, Tip()->GetInitialDelay());
}

// ---------------------------------------------------------------------------------------
// The tip kinds, each kept as a picture.

namespace {

struct PictureStats {
  int dark = 0;   // text-like pixels
  int light = 0;  // background-like pixels
  int total = 0;
};

// Counts the pixels inside the frame (two pixels in from each edge).
PictureStats Measure(const testsupport::CSnapshot& shot) {
  PictureStats s;
  for (int y = 2; y < shot.Height() - 2; y++)
    for (int x = 2; x < shot.Width() - 2; x++) {
      const COLORREF c = shot.Pixel(x, y);
      const int sum = GetRValue(c) + GetGValue(c) + GetBValue(c);
      if (sum < 250) s.dark++;
      if (sum > 500) s.light++;
      s.total++;
    }
  return s;
}

}  // namespace

class TipKinds : public TipTest, public ::testing::WithParamInterface<int> {};

TEST_P(TipKinds, ShowsAndIsDrawn) {
  const int kind = GetParam();
  m_pContext->SetStyle(kind);
  // The gradient kind is shown in the blue scheme, whose colours are its own.
  const int themeBefore = XTPGetColorManager()->GetCurrentTheme();
  if (kind == xtpToolTipGradient) XTPGetColorManager()->SetCurrentTheme(1);
  const int tool = kind == xtpToolTipRichText ? 5 : 4;
  if (kind != xtpToolTipRichText) m_pContext->ShowTitleAndDescription(TRUE);
  MoveToTool(tool);
  ASSERT_TRUE(WaitFor([&] { return TipShows(); }, 4000));
  CWnd* pTip = m_pContext->GetToolTip();
  if (kind <= xtpToolTipBalloon) {
    EXPECT_EQ(nullptr, Tip());
    EXPECT_TRUE(pTip->IsKindOf(RUNTIME_CLASS(CToolTipCtrl)));
    EXPECT_EQ(kind == xtpToolTipBalloon, (pTip->GetStyle() & TTS_BALLOON) != 0);
  } else {
    ASSERT_NE(nullptr, Tip());
    EXPECT_EQ(kind, Tip()->GetTipKind());
    EXPECT_EQ(kind == xtpToolTipRichText, Tip()->IsKindOf(RUNTIME_CLASS(CXTPToolTipRichWnd)) != FALSE);
  }
  PumpFor(300);
  pTip->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_FRAME);
  PumpFor(50);
  testsupport::CSnapshot shot(pTip->m_hWnd, testsupport::WindowArea::Whole);
  CString name;
  name.Format(L"toolkit\\tooltip_kind%d.png", kind);
  EXPECT_TRUE(shot.SavePng(testsupport::ArtifactPath(static_cast<LPCWSTR>(name))));
  EXPECT_GT(shot.Width(), 30);
  EXPECT_GT(shot.Height(), 10);
  const PictureStats s = Measure(shot);
  EXPECT_GT(s.dark, 30) << "text drawn";
  EXPECT_GT(s.light, s.total / 3) << "light background";
  if (kind == xtpToolTipDrawn || kind == xtpToolTipRichText) {
    // Black frame at the edge, the tip background inside.
    EXPECT_EQ(RGB(0, 0, 0), shot.Pixel(0, shot.Height() - 1));
    EXPECT_EQ(XTPGetColorManager()->GetColor(COLOR_INFOBK), shot.Pixel(2, shot.Height() - 3));
  }
  if (kind == xtpToolTipGradient) {
    // The blue scheme: from 0x97D4FF at the top to 0xC8F2FF at the bottom in a 0x800000 frame.
    const COLORREF top = shot.Pixel(shot.Width() - 3, 1), bottom = shot.Pixel(shot.Width() - 3, shot.Height() - 2);
    EXPECT_EQ(static_cast<COLORREF>(0x800000), shot.Pixel(0, 0));
    EXPECT_EQ(static_cast<COLORREF>(0x800000), shot.Pixel(shot.Width() - 1, shot.Height() - 1));
    EXPECT_NEAR(GetBValue(0x97D4FF), GetBValue(top), 12);
    EXPECT_NEAR(GetBValue(0xC8F2FF), GetBValue(bottom), 12);
    EXPECT_LT(GetBValue(top), GetBValue(bottom));
    XTPGetColorManager()->SetCurrentTheme(themeBefore);
  }
}

INSTANTIATE_TEST_SUITE_P(AllKinds, TipKinds, ::testing::Values(0, 1, 2, 3, 4),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return "Kind" + std::to_string(info.param);
                         });

TEST_F(TipTest, RichTextTipKeepsTheHeightOfTheMiddleWidthAndNoWider) {
  m_pContext->SetStyle(xtpToolTipRichText);
  m_pContext->SetMaxTipWidth(200);
  // A plain, long text: the rich text variant streams it as plain text.
  m_owner.m_tools[5].text = L"A long plain text for the rich tip that has to wrap over several lines to fit.";
  MoveToTool(5);
  ASSERT_TRUE(WaitFor([&] { return TipShows(); }, 3000));
  CRect rc;
  Tip()->GetWindowRect(&rc);
  EXPECT_GT(rc.Width(), 20);
  EXPECT_LE(rc.Width(), 2 * 200 + 8);
  EXPECT_GT(rc.Height(), 10);
  auto* pRich = static_cast<CXTPToolTipRichWnd*>(Tip());
  EXPECT_GT(pRich->GetRichEdit()->GetWindowTextLength(), 40);
}

// ---------------------------------------------------------------------------------------
// Memory over many moves on one tool.

namespace {

// Committed private memory of the process, summed over its address space.
SIZE_T PrivateBytes() {
  SIZE_T total = 0;
  MEMORY_BASIC_INFORMATION mbi;
  for (const BYTE* p = nullptr; ::VirtualQuery(p, &mbi, sizeof(mbi)) == sizeof(mbi);
       p = static_cast<const BYTE*>(mbi.BaseAddress) + mbi.RegionSize) {
    if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE) total += mbi.RegionSize;
    if (mbi.RegionSize == 0) break;
  }
  return total;
}

}  // namespace

TEST_F(TipTest, ProcessMemoryStaysFlatOverThousandsOfMovesOnOneTool) {
  // Large texts, so that copies left behind at every move would show clearly.
  CString big;
  for (int i = 0; i < 400; i++) big += L"0123456789";
  m_owner.m_tools[4].text = big;
  m_owner.m_tools[4].title = L"Title " + big;
  m_owner.m_tools[4].description = L"Description " + big;
  m_pContext->SetStyle(xtpToolTipDrawn);
  m_pContext->ShowTitleAndDescription(TRUE);
  MoveToTool(4);
  ASSERT_TRUE(WaitFor([&] { return TipShows(); }));
  for (int i = 0; i < 200; i++) MoveToTool(4, CPoint(i % 2, 0));

  // The measure sees a leak of the size the moves below would leave behind.
  const int kMoves = 3000;
  const SIZE_T perMove = 3 * big.GetLength() * sizeof(WCHAR);
  {
    const SIZE_T before = PrivateBytes();
    std::vector<void*> blocks;
    for (int i = 0; i < kMoves; i++) {
      blocks.push_back(malloc(perMove));
      memset(blocks.back(), 1, perMove);
    }
    EXPECT_GT(PrivateBytes() - before, kMoves * perMove / 2) << "private bytes follow the heap";
    for (void* p : blocks) free(p);
  }

  const SIZE_T before = PrivateBytes();
  const int hitTestsBefore = m_owner.m_nHitTests;
  for (int i = 0; i < kMoves; i++) MoveToTool(4, CPoint(i % 2, 0));
  const SIZE_T after = PrivateBytes();
  EXPECT_GE(m_owner.m_nHitTests - hitTestsBefore, kMoves * 9 / 10);
  // One tool stays registered in the tip window, however often it was hit.
  ASSERT_NE(nullptr, Tip());
  EXPECT_EQ(1, Tip()->GetToolCount());
  const SIZE_T growth = after > before ? after - before : 0;
  EXPECT_LT(growth, static_cast<SIZE_T>(2 * 1024 * 1024)) << "grew by " << growth << " bytes";
}

// ---------------------------------------------------------------------------------------
// The mouse hook goes with a tip window destroyed while it shows.

TEST_F(TipTest, StyleChangeWhileShowingTakesTheHookAway) {
  m_pContext->SetStyle(xtpToolTipDrawn);
  MoveToTool(0);
  ASSERT_TRUE(WaitFor([&] { return Shows(L"Alpha tip"); }));
  ASSERT_EQ(Tip()->m_hWnd, CXTPToolTipWnd::GetHookWindow());
  m_pContext->ModifyToolTipStyle(0, 0x1000);
  EXPECT_EQ(nullptr, m_pContext->GetToolTip());
  EXPECT_EQ(nullptr, CXTPToolTipWnd::GetHookWindow());
  // The pointer keeps moving over and out of the window: nothing calls the dead tip.
  MoveToScreen(CPoint(m_rcOwner.right + 30, m_rcOwner.top));
  MoveToTool(1);
  ASSERT_TRUE(WaitFor([&] { return Shows(L"Beta tip"); }));
  EXPECT_EQ(Tip()->m_hWnd, CXTPToolTipWnd::GetHookWindow());
  // The new tip was made with the new style: a button-face top-left frame.
  EXPECT_TRUE(Tip()->GetStyle() & 0x1000);
}

TEST_F(TipTest, KindChangeAndContextEndWhileShowingTakeTheHookAway) {
  m_pContext->SetStyle(xtpToolTipGradient);
  MoveToTool(0);
  ASSERT_TRUE(WaitFor([&] { return Shows(L"Alpha tip"); }));
  m_pContext->SetStyle(xtpToolTipDrawn);
  EXPECT_EQ(nullptr, CXTPToolTipWnd::GetHookWindow());
  MoveToTool(1);
  ASSERT_TRUE(WaitFor([&] { return Shows(L"Beta tip"); }));
  const HWND hTip = Tip()->m_hWnd;
  ASSERT_EQ(hTip, CXTPToolTipWnd::GetHookWindow());

  m_owner.m_pContext = nullptr;
  m_pContext->InternalRelease();
  m_pContext = nullptr;
  EXPECT_FALSE(::IsWindow(hTip));
  EXPECT_EQ(nullptr, CXTPToolTipWnd::GetHookWindow());
  for (int i = 0; i < 5; i++) MoveToScreen(CPoint(m_rcOwner.right + 10 + i * 20, m_rcOwner.top + 10));
  MoveToTool(0);
  PumpFor(100);
}

TEST_F(TipTest, ANewOwnerTakesTheTipWindowOverAndTheHookWithIt) {
  m_pContext->SetStyle(xtpToolTipDrawn);
  CTipOwner second;
  const CRect rcSecond(560, 100, 900, 320);
  ASSERT_TRUE(testsupport::CreateTestWindow(second, rcSecond, L"Second owner"));
  second.m_tools = StandardTools();
  second.m_pContext = m_pContext;
  m_owner.SetForegroundWindow();
  MoveToTool(0);
  ASSERT_TRUE(WaitFor([&] { return Shows(L"Alpha tip"); }));
  const HWND hFirstTip = Tip()->m_hWnd;
  second.SetForegroundWindow();
  PumpFor(50);
  MoveToScreen(second.m_tools[1].rect.CenterPoint() + rcSecond.TopLeft());
  EXPECT_FALSE(::IsWindow(hFirstTip));
  EXPECT_NE(hFirstTip, CXTPToolTipWnd::GetHookWindow());
  ASSERT_TRUE(WaitFor([&] { return Shows(L"Beta tip"); }));
  EXPECT_EQ(second.m_hWnd, ::GetWindow(Tip()->m_hWnd, GW_OWNER));
  EXPECT_EQ(Tip()->m_hWnd, CXTPToolTipWnd::GetHookWindow());
  second.m_pContext = nullptr;
  second.DestroyWindow();
}
