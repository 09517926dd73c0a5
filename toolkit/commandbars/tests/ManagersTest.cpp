// The hook, mouse and keyboard managers with real windows and real input: a repeated move
// at one point swallowed while a bar tracks, a click on a trusted window keeping the bars
// open and a click elsewhere closing them all, keys swallowed unless a bar answers 2, the
// mouse-leave watch, a listener registered twice, Alt and its auto-repeat, and the loss of
// the application's activation.
#include <framework.h>

#include <gtest/gtest.h>

#include <memory>

#include "CommandBarsTestSupport.h"
#include "XTPPaintManager.h"
#include "XTPHookManager.h"
#include "XTPKeyboardManager.h"
#include "XTPMouseManager.h"

using namespace cbtest;

namespace {

// A top-level window that counts what it receives.
class CCountingWnd : public CWnd {
 public:
  int nMoves = 0;
  int nButtonDowns = 0;
  int nMouseLeaves = 0;
  DWORD dwFirstLeaveTick = 0;
  std::vector<UINT> messages;

  BOOL CreateAt(const CRect& rc, LPCWSTR title = L"counting") { return testsupport::CreateTestWindow(*this, rc, title); }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    messages.push_back(message);
    if (message == WM_MOUSEMOVE) nMoves++;
    if (message == WM_LBUTTONDOWN) nButtonDowns++;
    if (message == WM_MOUSELEAVE && nMouseLeaves++ == 0) dwFirstLeaveTick = ::GetTickCount();
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

class Managers : public ::testing::Test {
 protected:
  void SetUp() override {
    ParkPointer();
    // Bars paint through the global paint manager, made at their first paint when there is
    // none: make it now so that its fonts are not built while a test times its keys.
    ASSERT_NE(nullptr, XTPPaintManager());
    ASSERT_TRUE(frame.CreateAt(CRect(40, 40, 640, 460), L"frame"));
    Activate(frame.m_hWnd);
    ASSERT_TRUE(bar.CreateAt(CRect(700, 80, 820, 240)));
    PumpFor(30);
  }
  void TearDown() override {
    XTPMouseManager()->CloseAllTrackingBars();
    bar.DestroyWindow();
    frame.DestroyWindow();
    PumpFor(20);
    EXPECT_EQ(0, XTPMouseManager()->GetTrackingBarCount());
    EXPECT_FALSE(XTPKeyboardManager()->IsKeyboardHooked());
  }

  CCountingWnd frame;
  CTestBar bar;
};

TEST_F(Managers, ASecondMoveAtTheSamePointReachesNoWindowWhileABarTracks) {
  // A window appearing under a resting pointer, and going again, gets the windows there a
  // move at the point the last move had.
  struct Case {
    bool tracking;
    int expectedRepeats;
  };
  for (const Case& c : {Case{false, 2}, Case{true, 0}}) {
    SCOPED_TRACE(c.tracking ? "tracking" : "not tracking");
    MovePointer(CPoint(300, 300));
    if (c.tracking) bar.Track();
    MovePointer(CPoint(320, 310));
    frame.nMoves = 0;
    CCountingWnd cover;
    ASSERT_TRUE(cover.CreateAt(CRect(310, 300, 340, 330), L"cover"));
    PumpFor(60);
    cover.DestroyWindow();
    PumpFor(60);
    EXPECT_EQ(c.expectedRepeats, frame.nMoves + cover.nMoves);
    // A move to another point always arrives.
    MovePointer(CPoint(330, 320));
    EXPECT_GE(frame.nMoves, 1);
    if (c.tracking) {
      EXPECT_TRUE(bar.IsTrackingMode()) << "moves outside the bar do not close it";
      bar.CancelTracking();
    }
  }
}

TEST_F(Managers, AClickOnAVisibleTrustedWindowKeepsTheBarsAndAClickElsewhereClosesAll) {
  CTestBar second;
  ASSERT_TRUE(second.CreateAt(CRect(700, 260, 820, 400)));
  CCountingWnd trusted;
  ASSERT_TRUE(trusted.CreateAt(CRect(660, 420, 760, 500), L"trusted"));
  PumpFor(30);

  bar.Track();
  second.Track();
  ASSERT_EQ(2, XTPMouseManager()->GetTrackingBarCount());
  XTPMouseManager()->AddTrustedWindow(trusted.m_hWnd);
  ClickAt(CPoint(700, 460));
  EXPECT_EQ(1, trusted.nButtonDowns);
  EXPECT_TRUE(bar.IsTrackingMode());
  EXPECT_TRUE(second.IsTrackingMode());

  // A hidden trusted window no longer protects the bars.
  trusted.ShowWindow(SW_HIDE);
  PumpFor(20);
  ClickAt(CPoint(300, 300));
  EXPECT_FALSE(bar.IsTrackingMode());
  EXPECT_FALSE(second.IsTrackingMode());
  EXPECT_EQ(0, XTPMouseManager()->GetTrackingBarCount());
  EXPECT_EQ(1, frame.nButtonDowns) << "the closing click still reaches the window under it";

  XTPMouseManager()->RemoveTrustedWindow(trusted.m_hWnd);
  second.DestroyWindow();
  trusted.DestroyWindow();
}

// A window whose button press opens a menu: the release of that press must not reach it.
class COpeningWnd : public CCountingWnd {
 public:
  CTestBar* pBar = nullptr;
  bool bIgnoreUp = true;
  int nUps = 0;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_LBUTTONDOWN && pBar != nullptr) {
      pBar->Track();
      if (bIgnoreUp) XTPMouseManager()->IgnoreLButtonUp();
    }
    if (message == WM_LBUTTONUP) nUps++;
    return CCountingWnd::WindowProc(message, wParam, lParam);
  }
};

TEST_F(Managers, TheReleaseOfThePressThatOpenedAMenuIsSwallowedOnce) {
  struct Case {
    bool ignore;
    int ups;
  };
  for (const Case& c : {Case{false, 1}, Case{true, 0}}) {
    SCOPED_TRACE(c.ignore);
    COpeningWnd opener;
    ASSERT_TRUE(opener.CreateAt(CRect(100, 480, 300, 560), L"opener"));
    opener.pBar = &bar;
    opener.bIgnoreUp = c.ignore;
    PumpFor(30);
    ClickAt(CPoint(150, 520));
    EXPECT_EQ(c.ups, opener.nUps);
    EXPECT_FALSE(XTPMouseManager()->IsIgnoreLButtonUp());
    // Without the flag the release closed the menu (a button-up outside every bar); with
    // it the menu stays open.
    EXPECT_EQ(c.ignore, bar.IsTrackingMode() != FALSE);
    bar.CancelTracking();
    opener.DestroyWindow();
  }
}

TEST_F(Managers, APressOnALockedBarClosesOnlyTheUnlockedBarsAfterIt) {
  CTestBar sub;
  ASSERT_TRUE(sub.CreateAt(CRect(840, 120, 960, 260)));
  bar.Track();
  sub.Track();
  bar.LockRecurse(TRUE);  // the parent menu keeps its sub-menu chain while it is locked
  ClickAt(CPoint(760, 160));
  EXPECT_TRUE(bar.IsTrackingMode());
  EXPECT_FALSE(sub.IsTrackingMode());
  bar.LockRecurse(FALSE);
  sub.DestroyWindow();
}

TEST_F(Managers, AClickInsideATrackedBarLeavesItTracking) {
  bar.Track();
  ClickAt(CPoint(760, 160));
  EXPECT_TRUE(bar.IsTrackingMode());
}

TEST_F(Managers, KeysGoToTheTrackedBarsAndReachTheFocusOnlyWhenABarAnswersTwo) {
  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(20, 20, 300, 50), &frame, 100));
  edit.SetFocus();
  PumpFor(20);
  struct Case {
    int answer;
    bool reachesEdit;
  };
  for (const Case& c : {Case{xtpHookNotHandled, false}, Case{xtpHookHandled, false}, Case{xtpHookStop, true}}) {
    SCOPED_TRACE(c.answer);
    edit.SetWindowText(L"");
    bar.keys.clear();
    bar.nKeyAnswer = c.answer;
    bar.Track();
    TypeKey('A');
    TypeKey('B');
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(c.reachesEdit ? CString(L"ab") : CString(L""), text);
    EXPECT_EQ((std::vector<UINT>{'A', 'B'}), bar.keys);
    bar.CancelTracking();
  }
  // Not tracking: no hook, keys go their usual way.
  edit.SetWindowText(L"");
  bar.keys.clear();
  TypeKey('C');
  CString text;
  edit.GetWindowText(text);
  EXPECT_EQ(CString(L"c"), text);
  EXPECT_TRUE(bar.keys.empty());
  edit.DestroyWindow();
}

TEST_F(Managers, TheNewestBarIsAskedFirstAndItsAnswerEndsTheSearch) {
  CTestBar older;
  ASSERT_TRUE(older.CreateAt(CRect(700, 260, 820, 400)));
  older.nKeyAnswer = xtpHookHandled;
  bar.nKeyAnswer = xtpHookHandled;
  older.Track();
  bar.Track();
  TypeKey(VK_DOWN);
  EXPECT_EQ(1u, bar.keys.size());
  EXPECT_TRUE(older.keys.empty());
  bar.nKeyAnswer = xtpHookNotHandled;
  TypeKey(VK_DOWN);
  EXPECT_EQ(2u, bar.keys.size());
  EXPECT_EQ(1u, older.keys.size());
  older.DestroyWindow();
  EXPECT_EQ(1, XTPMouseManager()->GetTrackingBarCount());
}

TEST_F(Managers, AFirstAltPressClosesTheBarsAndItsRepeatsPassOn) {
  bar.Track();
  KeyEvent(VK_MENU, false);  // first press
  PumpFor(40);
  EXPECT_FALSE(bar.IsTrackingMode());
  EXPECT_TRUE(bar.keys.empty()) << "Alt is not offered to the bars";

  bar.Track();
  KeyEvent(VK_MENU, false);  // auto-repeat while held
  PumpFor(40);
  EXPECT_TRUE(bar.IsTrackingMode());
  KeyEvent(VK_MENU, true);
  PumpFor(40);
  bar.CancelTracking();

  // While the mouse manager is locked (a modal mouse loop), Alt is a key like any other.
  bar.Track();
  XTPMouseManager()->LockMouseMove();
  KeyEvent(VK_MENU, false);
  KeyEvent(VK_MENU, true);
  PumpFor(40);
  XTPMouseManager()->UnlockMouseMove();
  EXPECT_TRUE(bar.IsTrackingMode());
  EXPECT_EQ((std::vector<UINT>{VK_MENU}), bar.keys);
}

TEST_F(Managers, LosingTheApplicationsActivationClosesTheBars) {
  struct Case {
    WPARAM active;
    bool stillTracking;
  };
  for (const Case& c : {Case{TRUE, true}, Case{FALSE, false}}) {
    SCOPED_TRACE(c.active);
    bar.Track();
    frame.SendMessage(WM_ACTIVATEAPP, c.active, 0);
    EXPECT_EQ(c.stillTracking, bar.IsTrackingMode() != FALSE);
    bar.CancelTracking();
  }
}

TEST_F(Managers, MouseLeaveArrivesOnceWithinTheWatchPeriodAfterTheCursorJumpsAway) {
  CCountingWnd toolbar;
  ASSERT_TRUE(toolbar.CreateAt(CRect(100, 100, 300, 130), L"toolbar"));
  Activate(toolbar.m_hWnd);
  MovePointer(CPoint(150, 115));
  XTPMouseManager()->TrackMouseLeave(toolbar.m_hWnd);
  PumpFor(120);
  EXPECT_EQ(0, toolbar.nMouseLeaves) << "the cursor is still inside";
  EXPECT_EQ(toolbar.m_hWnd, XTPMouseManager()->GetMouseLeaveWindow());

  const DWORD dwJump = ::GetTickCount();
  ::SetCursorPos(1000, 700);
  ASSERT_TRUE(PumpUntil([&] { return toolbar.nMouseLeaves > 0; }, 500, testsupport::Dispatch::Plain));
  EXPECT_LE(toolbar.dwFirstLeaveTick - dwJump, 50u + 40u) << "one watch period, and the tick's granularity";
  PumpFor(200);
  EXPECT_EQ(1, toolbar.nMouseLeaves);
  EXPECT_EQ(NULL, XTPMouseManager()->GetMouseLeaveWindow());

  // Watching another window first tells the previous one it was left.
  MovePointer(CPoint(150, 115));
  XTPMouseManager()->TrackMouseLeave(toolbar.m_hWnd);
  XTPMouseManager()->TrackMouseLeave(frame.m_hWnd);
  EXPECT_EQ(2, toolbar.nMouseLeaves);
  // A destroyed watched window ends the watch quietly.
  frame.DestroyWindow();
  PumpFor(120);
  EXPECT_EQ(NULL, XTPMouseManager()->GetMouseLeaveWindow());
  toolbar.DestroyWindow();
}

// ---------------------------------------------------------------------------------------
class CRecordingHook : public CXTPHookable {
 public:
  int nAnswer = xtpHookNotHandled;
  LRESULT lAnswer = 0;
  UINT nWatch = 0;
  int nCalls = 0;
  std::vector<UINT>* pOrder = nullptr;
  UINT nTag = 0;
  UINT nCurrentSeen = 0;
  int OnHookMessage(HWND, UINT nMessage, WPARAM&, LPARAM&, LRESULT& lResult) override {
    if (nMessage != nWatch) return xtpHookNotHandled;
    nCalls++;
    nCurrentSeen = CWnd::GetCurrentMessage()->message;
    if (pOrder != nullptr) pOrder->push_back(nTag);
    lResult = lAnswer;
    return nAnswer;
  }
};

const UINT kProbe = WM_APP + 17;

class CProbeWnd : public CWnd {
 public:
  int nProbes = 0;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kProbe) {
      nProbes++;
      return 5;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

TEST(HookManager, AListenerAddedTwiceIsCalledOnceAndRemovingItRestoresTheProcedure) {
  CProbeWnd wnd;
  ASSERT_TRUE(testsupport::CreateTestWindow(wnd, CRect(10, 10, 60, 60), L"probe"));
  const LONG_PTR pfnBefore = ::GetWindowLongPtrW(wnd.m_hWnd, GWLP_WNDPROC);
  CRecordingHook hook;
  hook.nWatch = kProbe;
  ASSERT_TRUE(XTPHookManager()->SetHook(wnd.m_hWnd, &hook));
  ASSERT_TRUE(XTPHookManager()->SetHook(wnd.m_hWnd, &hook));
  EXPECT_NE(pfnBefore, ::GetWindowLongPtrW(wnd.m_hWnd, GWLP_WNDPROC));
  EXPECT_EQ(1, XTPHookManager()->Lookup(wnd.m_hWnd)->GetSize());

  EXPECT_EQ(5, wnd.SendMessage(kProbe));
  EXPECT_EQ(1, hook.nCalls);
  EXPECT_EQ(1, wnd.nProbes);

  XTPHookManager()->RemoveHook(wnd.m_hWnd, &hook);
  EXPECT_EQ(pfnBefore, ::GetWindowLongPtrW(wnd.m_hWnd, GWLP_WNDPROC));
  EXPECT_EQ(nullptr, XTPHookManager()->Lookup(wnd.m_hWnd));
  EXPECT_EQ(5, wnd.SendMessage(kProbe));
  EXPECT_EQ(1, hook.nCalls);
  wnd.DestroyWindow();
}

TEST(HookManager, ListenersAreAskedNewestFirstAndTheirAnswersDecide) {
  struct Case {
    int newestAnswer;
    std::vector<UINT> order;
    LRESULT result;
    int procedureCalls;
  };
  for (const Case& c : {Case{xtpHookNotHandled, {2, 1}, 5, 1}, Case{xtpHookHandled, {2}, 77, 0},
                        Case{xtpHookStop, {2}, 5, 1}}) {
    SCOPED_TRACE(c.newestAnswer);
    CProbeWnd wnd;
    ASSERT_TRUE(testsupport::CreateTestWindow(wnd, CRect(10, 10, 60, 60), L"probe"));
    std::vector<UINT> order;
    CRecordingHook older, newest;
    older.nWatch = newest.nWatch = kProbe;
    older.pOrder = newest.pOrder = &order;
    older.nTag = 1;
    newest.nTag = 2;
    newest.nAnswer = c.newestAnswer;
    newest.lAnswer = 77;
    XTPHookManager()->SetHook(wnd.m_hWnd, &older);
    XTPHookManager()->SetHook(wnd.m_hWnd, &newest);
    const MSG outer = *CWnd::GetCurrentMessage();
    EXPECT_EQ(c.result, wnd.SendMessage(kProbe));
    EXPECT_EQ(c.order, order);
    EXPECT_EQ(c.procedureCalls, wnd.nProbes);
    // The framework's current message is this one while listeners run, and the outer one
    // again afterwards.
    EXPECT_EQ(kProbe, newest.nCurrentSeen);
    EXPECT_EQ(outer.message, CWnd::GetCurrentMessage()->message);
    EXPECT_EQ(outer.hwnd, CWnd::GetCurrentMessage()->hwnd);
    XTPHookManager()->RemoveAll(&older);
    XTPHookManager()->RemoveAll(&newest);
    EXPECT_EQ(nullptr, XTPHookManager()->Lookup(wnd.m_hWnd));
    wnd.DestroyWindow();
  }
}

WNDPROC g_pfnBeforeLater = NULL;
int g_nLaterCalls = 0;
LRESULT CALLBACK LaterSubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kProbe) g_nLaterCalls++;
  return ::CallWindowProcW(g_pfnBeforeLater, hWnd, message, wParam, lParam);
}

TEST(HookManager, AWindowSubclassedAgainAfterTheHookKeepsItsProcedureWhenTheListenerLeaves) {
  CProbeWnd wnd;
  ASSERT_TRUE(testsupport::CreateTestWindow(wnd, CRect(10, 10, 60, 60), L"probe"));
  CRecordingHook hook;
  hook.nWatch = kProbe;
  XTPHookManager()->SetHook(wnd.m_hWnd, &hook);
  g_nLaterCalls = 0;
  g_pfnBeforeLater = (WNDPROC)::SetWindowLongPtrW(wnd.m_hWnd, GWLP_WNDPROC, (LONG_PTR)&LaterSubclassProc);
  XTPHookManager()->RemoveHook(wnd.m_hWnd, &hook);
  EXPECT_EQ((LONG_PTR)&LaterSubclassProc, ::GetWindowLongPtrW(wnd.m_hWnd, GWLP_WNDPROC));
  EXPECT_EQ(5, wnd.SendMessage(kProbe)) << "the message still reaches the window's own procedure";
  EXPECT_EQ(1, wnd.nProbes);
  EXPECT_EQ(1, g_nLaterCalls);
  EXPECT_EQ(0, hook.nCalls);
  HWND hWnd = wnd.m_hWnd;
  wnd.DestroyWindow();
  EXPECT_EQ(nullptr, XTPHookManager()->Lookup(hWnd));
}

TEST(HookManager, ADyingWindowLosesItsRecordBeforeAnyListenerHearsOfIt) {
  CProbeWnd wnd;
  ASSERT_TRUE(testsupport::CreateTestWindow(wnd, CRect(10, 10, 60, 60), L"probe"));
  CRecordingHook hook;
  hook.nWatch = WM_NCDESTROY;
  XTPHookManager()->SetHook(wnd.m_hWnd, &hook);
  const int nHooked = XTPHookManager()->GetHookedWindowCount();
  HWND hWnd = wnd.m_hWnd;
  wnd.DestroyWindow();
  EXPECT_EQ(0, hook.nCalls);
  EXPECT_EQ(nullptr, XTPHookManager()->Lookup(hWnd));
  EXPECT_EQ(nHooked - 1, XTPHookManager()->GetHookedWindowCount());
  EXPECT_FALSE(XTPHookManager()->SetHook(hWnd, &hook)) << "a handle that is no window is refused";
  EXPECT_FALSE(XTPHookManager()->SetHook(NULL, &hook));
}

TEST(MouseManager, LockedUntrackedAndTrackedBars) {
  CTestBar a, b;
  ASSERT_TRUE(a.CreateAt(CRect(700, 80, 820, 240)));
  ASSERT_TRUE(b.CreateAt(CRect(700, 260, 820, 400)));
  CXTPMouseManager* pManager = XTPMouseManager();
  EXPECT_FALSE(pManager->IsMouseLocked(NULL)) << "nothing tracked";
  a.Track();
  EXPECT_FALSE(pManager->IsMouseLocked(&a));
  EXPECT_TRUE(pManager->IsMouseLocked(&b)) << "not a tracked bar";
  EXPECT_TRUE(pManager->IsMouseLocked(NULL));
  b.Track();
  pManager->LockTrackingBars(TRUE);
  EXPECT_TRUE(pManager->IsMouseLocked(&a));
  b.LockRecurse(FALSE);  // only the first stays locked
  pManager->CloseUnlockedTrackingBars();
  EXPECT_TRUE(a.IsTrackingMode());
  EXPECT_FALSE(b.IsTrackingMode());
  pManager->LockTrackingBars(FALSE);
  pManager->CloseAllTrackingBars();
  EXPECT_FALSE(a.IsTrackingMode());
  EXPECT_EQ(0, pManager->GetTrackingBarCount());
  a.DestroyWindow();
  b.DestroyWindow();
}

TEST(MouseManager, EachThreadHasItsOwnManagers) {
  CXTPMouseManager* pMine = XTPMouseManager();
  CXTPKeyboardManager* pMineKeys = XTPKeyboardManager();
  CXTPMouseManager* pOther = nullptr;
  CXTPKeyboardManager* pOtherKeys = nullptr;
  BOOL bOtherHooked = FALSE;
  struct Ctx {
    CXTPMouseManager** pp;
    CXTPKeyboardManager** ppk;
    BOOL* pHooked;
  } ctx{&pOther, &pOtherKeys, &bOtherHooked};
  HANDLE hThread = ::CreateThread(
      NULL, 0,
      [](LPVOID p) -> DWORD {
        Ctx* c = static_cast<Ctx*>(p);
        *c->pp = XTPMouseManager();
        *c->ppk = XTPKeyboardManager();
        *c->pHooked = (*c->pp)->GetHook() != NULL;
        return 0;
      },
      &ctx, 0, NULL);
  ASSERT_NE(nullptr, hThread);
  ASSERT_TRUE(testsupport::WaitPumping(hThread, 5000));
  ::CloseHandle(hThread);
  EXPECT_NE(pMine, pOther);
  EXPECT_NE(pMineKeys, pOtherKeys);
  EXPECT_TRUE(bOtherHooked);
  EXPECT_NE(nullptr, pMine->GetHook());
}

}  // namespace
