// Message maps, handle maps, command routing, command UI, reflection and the
// PreTranslateMessage chain, through real windows.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "framework.h"
#include "wnd_test_util.h"

namespace {

const UINT WM_TEST_PLAIN = WM_APP + 1;
const UINT WM_TEST_BASEONLY = WM_APP + 3;
const UINT WM_TEST_UNMAPPED = WM_APP + 4;
UINT g_nRegisteredMsg = ::RegisterWindowMessageW(L"VorlixFrameworkTestMessage");

// Creates an invisible top-level window of the framework's default class.
template <class T>
void CreateTopLevel(T& wnd) {
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"test", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr));
}

// --------------------------------------------------------------------------------------
// A window recording what its handlers receive.

class CRecordWnd : public CWnd {
 public:
  std::vector<std::string> calls;
  UINT sizeType = 0;
  int cx = 0, cy = 0;
  CPoint point;
  UINT keyChar = 0, keyRep = 0, keyFlags = 0;
  UINT_PTR timerId = 0;
  short wheelDelta = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  bool postNcDestroyCalled = false;
  bool failCreate = false;

 protected:
  afx_msg int OnCreate(LPCREATESTRUCT lpcs) {
    calls.push_back("create");
    if (failCreate) return -1;
    return CWnd::OnCreate(lpcs);
  }
  afx_msg void OnSize(UINT nType, int x, int y) {
    calls.push_back("size");
    sizeType = nType;
    cx = x;
    cy = y;
  }
  afx_msg void OnLButtonDown(UINT, CPoint pt) {
    calls.push_back("lbuttondown");
    point = pt;
  }
  afx_msg void OnKeyDown(UINT nChar, UINT nRep, UINT nFlags) {
    calls.push_back("keydown");
    keyChar = nChar;
    keyRep = nRep;
    keyFlags = nFlags;
  }
  afx_msg BOOL OnMouseWheel(UINT, short zDelta, CPoint pt) {
    calls.push_back("wheel");
    wheelDelta = zDelta;
    point = pt;
    return TRUE;
  }
  afx_msg void OnTimer(UINT_PTR nIDEvent) {
    calls.push_back("timer");
    timerId = nIDEvent;
    KillTimer(nIDEvent);
  }
  afx_msg LRESULT OnPlain(WPARAM w, LPARAM l) {
    calls.push_back("plain");
    wParam = w;
    lParam = l;
    return 1234;
  }
  afx_msg LRESULT OnRegistered(WPARAM w, LPARAM) {
    calls.push_back("registered");
    return static_cast<LRESULT>(w * 2);
  }
  afx_msg void OnDestroy() {
    calls.push_back("destroy");
    CWnd::OnDestroy();
  }
  afx_msg void OnNcDestroy() {
    calls.push_back("ncdestroy");
    CWnd::OnNcDestroy();
  }
  void PostNcDestroy() override { postNcDestroyCalled = true; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecordWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_SIZE()
  ON_WM_LBUTTONDOWN()
  ON_WM_KEYDOWN()
  ON_WM_MOUSEWHEEL()
  ON_WM_TIMER()
  ON_WM_DESTROY()
  ON_WM_NCDESTROY()
  ON_MESSAGE(WM_TEST_PLAIN, OnPlain)
  ON_REGISTERED_MESSAGE(g_nRegisteredMsg, OnRegistered)
END_MESSAGE_MAP()

TEST(MessageMap, WindowMessagesReachHandlersWithDecodedArguments) {
  CRecordWnd wnd;
  CreateTopLevel(wnd);
  ASSERT_FALSE(wnd.calls.empty());
  EXPECT_EQ(wnd.calls.front(), "create");
  EXPECT_EQ(CWnd::FromHandlePermanent(wnd.m_hWnd), &wnd);

  wnd.SendMessage(WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(120, 45));
  EXPECT_EQ(wnd.sizeType, static_cast<UINT>(SIZE_MAXIMIZED));
  EXPECT_EQ(wnd.cx, 120);
  EXPECT_EQ(wnd.cy, 45);

  // Client coordinates are signed (the mouse may be captured outside the window).
  wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, 7));
  EXPECT_EQ(wnd.point.x, -5);
  EXPECT_EQ(wnd.point.y, 7);

  wnd.SendMessage(WM_KEYDOWN, VK_F2, MAKELPARAM(3, 0x4000 | 0x3C));
  EXPECT_EQ(wnd.keyChar, static_cast<UINT>(VK_F2));
  EXPECT_EQ(wnd.keyRep, 3u);
  EXPECT_EQ(wnd.keyFlags, 0x403Cu);

  EXPECT_EQ(wnd.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-240)), MAKELPARAM(10, 20)), 1);
  EXPECT_EQ(wnd.wheelDelta, -240);

  EXPECT_EQ(wnd.SendMessage(WM_TEST_PLAIN, 7, 9), 1234);
  EXPECT_EQ(wnd.wParam, 7u);
  EXPECT_EQ(wnd.lParam, 9);
  EXPECT_EQ(wnd.SendMessage(g_nRegisteredMsg, 21), 42);

  wnd.SetTimer(17, 10);
  EXPECT_TRUE(wndtest::PumpUntil([&] { return wnd.timerId == 17; }));

  HWND hWnd = wnd.m_hWnd;
  EXPECT_TRUE(wnd.DestroyWindow());
  EXPECT_EQ(wnd.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
  EXPECT_TRUE(wnd.postNcDestroyCalled);
  ASSERT_GE(wnd.calls.size(), 2u);
  EXPECT_EQ(wnd.calls[wnd.calls.size() - 2], "destroy");
  EXPECT_EQ(wnd.calls.back(), "ncdestroy");
}

TEST(MessageMap, CreateFailsCleanlyWhenOnCreateRefuses) {
  CRecordWnd wnd;
  wnd.failCreate = true;
  EXPECT_FALSE(wnd.CreateEx(0, nullptr, L"refused", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr));
  EXPECT_EQ(wnd.m_hWnd, nullptr);
  EXPECT_TRUE(wnd.postNcDestroyCalled);

  // A class that does not exist: no window, no hook left waiting for the next creation.
  CRecordWnd bad;
  EXPECT_FALSE(bad.CreateEx(0, L"NoSuchClassAnywhere", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  EXPECT_TRUE(bad.postNcDestroyCalled);
  CRecordWnd next;
  CreateTopLevel(next);
  EXPECT_EQ(CWnd::FromHandlePermanent(next.m_hWnd), &next);
  next.DestroyWindow();
}

// A base map and a derived map: the derived entry wins, the base entry still serves the
// messages the derived class does not map, and unmapped messages reach DefWindowProc.
class CBaseWnd : public CWnd {
 public:
  std::vector<std::string> calls;

 protected:
  afx_msg LRESULT OnPlain(WPARAM, LPARAM) {
    calls.push_back("base-plain");
    return 1;
  }
  afx_msg LRESULT OnBaseOnly(WPARAM, LPARAM) {
    calls.push_back("base-only");
    return 2;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
  ON_MESSAGE(WM_TEST_PLAIN, OnPlain)
  ON_MESSAGE(WM_TEST_BASEONLY, OnBaseOnly)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd {
 protected:
  afx_msg LRESULT OnDerivedPlain(WPARAM, LPARAM) {
    calls.push_back("derived-plain");
    return 3;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
  ON_MESSAGE(WM_TEST_PLAIN, OnDerivedPlain)
END_MESSAGE_MAP()

TEST(MessageMap, DerivedMapOverridesBaseAndFallsBackToIt) {
  CDerivedWnd wnd;
  CreateTopLevel(wnd);
  EXPECT_EQ(wnd.SendMessage(WM_TEST_PLAIN), 3);
  EXPECT_EQ(wnd.SendMessage(WM_TEST_BASEONLY), 2);
  EXPECT_EQ(wnd.SendMessage(WM_TEST_UNMAPPED), 0);
  EXPECT_EQ(wnd.calls, (std::vector<std::string>{"derived-plain", "base-only"}));
  // Unmapped standard messages get their default processing.
  wnd.SetWindowText(L"default text");
  CString text;
  wnd.GetWindowText(text);
  EXPECT_EQ(text, L"default text");
  EXPECT_EQ(wnd.GetWindowTextLength(), 12);
  wnd.DestroyWindow();
}

// --------------------------------------------------------------------------------------
// Handle maps.

class CCharCounter : public CWnd {
 public:
  int chars = 0;

 protected:
  afx_msg void OnChar(UINT nChar, UINT nRep, UINT nFlags) {
    ++chars;
    CWnd::OnChar(nChar, nRep, nFlags);  // the edit control still types the character
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CCharCounter, CWnd)
  ON_WM_CHAR()
END_MESSAGE_MAP()

TEST(HandleMap, TemporaryWrappersAreSharedAndDeletedAtCleanUp) {
  HWND hRaw = ::CreateWindowExW(0, L"STATIC", L"raw", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hRaw, nullptr);
  AfxDeleteTempMap();
  EXPECT_EQ(CWnd::FromHandlePermanent(hRaw), nullptr);
  CWnd* pTemp = CWnd::FromHandle(hRaw);
  ASSERT_NE(pTemp, nullptr);
  EXPECT_EQ(pTemp->m_hWnd, hRaw);
  EXPECT_EQ(CWnd::FromHandle(hRaw), pTemp);  // one wrapper per handle
  EXPECT_EQ(AfxGetTempWndCount(), 1);
  EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
  AfxDeleteTempMap();
  EXPECT_EQ(AfxGetTempWndCount(), 0);
  EXPECT_TRUE(::IsWindow(hRaw));  // a temporary never owned the window

  // A window another object owns cannot be attached twice.
  CWnd owner;
  ASSERT_TRUE(owner.Attach(hRaw));
  CWnd intruder;
  EXPECT_FALSE(intruder.Attach(hRaw));
  EXPECT_EQ(CWnd::FromHandle(hRaw), &owner);
  EXPECT_EQ(owner.Detach(), hRaw);
  EXPECT_EQ(CWnd::FromHandlePermanent(hRaw), nullptr);
  ::DestroyWindow(hRaw);
}

TEST(HandleMap, ObjectGoingAwayTakesItsWindowAlong) {
  HWND hWnd = nullptr;
  {
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"scoped", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    hWnd = wnd.m_hWnd;
  }
  EXPECT_FALSE(::IsWindow(hWnd));
  EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);
}

TEST(HandleMap, SubclassedControlRunsMapThenOriginalProcedure) {
  HWND hEdit = ::CreateWindowExW(0, L"EDIT", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hEdit, nullptr);
  const LONG_PTR original = ::GetWindowLongPtrW(hEdit, GWLP_WNDPROC);
  CCharCounter edit;
  ASSERT_TRUE(edit.SubclassWindow(hEdit));
  EXPECT_EQ(::GetWindowLongPtrW(hEdit, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(AfxGetAfxWndProc()));
  EXPECT_EQ(edit.SendMessage(WM_QUERYAFXWNDPROC), 1);
  for (wchar_t ch : std::wstring(L"abc")) edit.SendMessage(WM_CHAR, ch, 1);
  EXPECT_EQ(edit.chars, 3);
  CString text;
  edit.GetWindowText(text);
  EXPECT_EQ(text, L"abc");

  EXPECT_EQ(edit.UnsubclassWindow(), hEdit);
  EXPECT_EQ(::GetWindowLongPtrW(hEdit, GWLP_WNDPROC), original);
  ::SendMessageW(hEdit, WM_CHAR, L'd', 1);
  EXPECT_EQ(edit.chars, 3);  // no longer routed through the object
  ::DestroyWindow(hEdit);
}

TEST(HandleMap, WorkerThreadsFindPermanentObjectsWhileWindowsComeAndGo) {
  // Windows that live through the test, looked up from workers while the UI thread keeps
  // creating and destroying others (which changes the shared map).
  std::vector<std::unique_ptr<CWnd>> stable;
  for (int i = 0; i < 8; ++i) {
    stable.push_back(std::make_unique<CWnd>());
    ASSERT_TRUE(stable.back()->CreateEx(0, nullptr, L"stable", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  }
  std::atomic<bool> stop{false};
  std::atomic<int> wrong{0}, lookups{0};
  std::vector<std::thread> workers;
  for (int t = 0; t < 4; ++t) {
    workers.emplace_back([&] {
      while (!stop) {
        for (auto& p : stable) {
          if (CWnd::FromHandlePermanent(p->m_hWnd) != p.get()) ++wrong;
          ++lookups;
        }
      }
    });
  }
  for (int i = 0; i < 300; ++i) {
    CWnd transient;
    ASSERT_TRUE(transient.CreateEx(0, nullptr, L"transient", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr));
    transient.DestroyWindow();
  }
  stop = true;
  for (auto& w : workers) w.join();
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(lookups, 0);
  for (auto& p : stable) p->DestroyWindow();
}

// --------------------------------------------------------------------------------------
// Commands, command UI and notifications.

const UINT ID_TEST_A = 40001, ID_TEST_B1 = 40010, ID_TEST_B3 = 40012, ID_TEST_EX = 40020,
           ID_TEST_NOHANDLER = 40030, IDC_TEST_BUTTON = 1001, IDC_TEST_EDIT = 1002, IDC_TEST_LIST = 1003;

class CCommandWnd : public CWnd {
 public:
  std::vector<std::string> calls;
  UINT rangeId = 0;
  BOOL exResult = TRUE;
  bool disableA = false;
  UINT notifyRangeId = 0;

 protected:
  afx_msg void OnA() { calls.push_back("A"); }
  afx_msg void OnUpdateA(CCmdUI* pCmdUI) {
    pCmdUI->Enable(!disableA);
    pCmdUI->SetCheck(1);
  }
  afx_msg void OnRange(UINT nID) {
    calls.push_back("range");
    rangeId = nID;
  }
  afx_msg BOOL OnEx(UINT) {
    calls.push_back("ex");
    return exResult;
  }
  afx_msg void OnButton() { calls.push_back("button"); }
  afx_msg void OnEditChange() { calls.push_back("editchange"); }
  afx_msg void OnListClick(NMHDR* pNMHDR, LRESULT* pResult) {
    calls.push_back("notify:" + std::to_string(pNMHDR->idFrom));
    *pResult = 42;
  }
  afx_msg void OnNotifyRange(UINT nID, NMHDR*, LRESULT* pResult) {
    calls.push_back("notifyrange");
    notifyRangeId = nID;
    *pResult = 7;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCommandWnd, CWnd)
  ON_COMMAND(ID_TEST_A, OnA)
  ON_UPDATE_COMMAND_UI(ID_TEST_A, OnUpdateA)
  ON_COMMAND_RANGE(ID_TEST_B1, ID_TEST_B3, OnRange)
  ON_COMMAND_EX(ID_TEST_EX, OnEx)
  ON_BN_CLICKED(IDC_TEST_BUTTON, OnButton)
  ON_EN_CHANGE(IDC_TEST_EDIT, OnEditChange)
  ON_NOTIFY(NM_CLICK, IDC_TEST_LIST, OnListClick)
  ON_NOTIFY_RANGE(NM_DBLCLK, 2000, 2009, OnNotifyRange)
END_MESSAGE_MAP()

LRESULT SendNotify(CWnd& parent, HWND hFrom, UINT_PTR id, UINT code) {
  NMHDR nm{hFrom, id, code};
  return parent.SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&nm));
}

TEST(CommandRouting, MenuCommandsRangesAndExHandlers) {
  CCommandWnd wnd;
  CreateTopLevel(wnd);
  struct Case {
    UINT id;
    BOOL exResult;
    bool disableA;
    LRESULT expectedResult;
    std::vector<std::string> expectedCalls;
  };
  const Case cases[] = {
      {ID_TEST_A, TRUE, false, 1, {"A"}},
      {ID_TEST_A, TRUE, true, 1, {}},  // disabled by its update handler: swallowed, not run
      {ID_TEST_B1 + 1, TRUE, false, 1, {"range"}},
      {ID_TEST_B3 + 1, TRUE, false, 0, {}},  // just outside the range
      {ID_TEST_EX, TRUE, false, 1, {"ex"}},
      {ID_TEST_EX, FALSE, false, 0, {"ex"}},  // declined: routing goes on (and finds nothing)
      {ID_TEST_NOHANDLER, TRUE, false, 0, {}},
  };
  for (const Case& c : cases) {
    wnd.calls.clear();
    wnd.exResult = c.exResult;
    wnd.disableA = c.disableA;
    EXPECT_EQ(wnd.SendMessage(WM_COMMAND, MAKEWPARAM(c.id, 0), 0), c.expectedResult) << "id " << c.id;
    EXPECT_EQ(wnd.calls, c.expectedCalls) << "id " << c.id;
  }
  EXPECT_EQ(wnd.rangeId, ID_TEST_B1 + 1);

  // Asking only whether a handler exists calls nothing.
  wnd.calls.clear();
  AFX_CMDHANDLERINFO info{nullptr, nullptr};
  EXPECT_TRUE(wnd.OnCmdMsg(ID_TEST_A, CN_COMMAND, nullptr, &info));
  EXPECT_EQ(info.pTarget, &wnd);
  EXPECT_NE(info.pmf, nullptr);
  EXPECT_FALSE(wnd.OnCmdMsg(ID_TEST_NOHANDLER, CN_COMMAND, nullptr, &info));
  EXPECT_TRUE(wnd.calls.empty());
  wnd.DestroyWindow();
}

TEST(CommandRouting, RealControlNotificationsAndNotifyMessages) {
  CCommandWnd wnd;
  CreateTopLevel(wnd);
  CWnd button, edit, list;
  ASSERT_TRUE(button.Create(L"BUTTON", L"Go", BS_PUSHBUTTON | WS_VISIBLE, CRect(0, 0, 50, 20), &wnd, IDC_TEST_BUTTON));
  ASSERT_TRUE(edit.Create(L"EDIT", L"", WS_VISIBLE, CRect(0, 30, 100, 50), &wnd, IDC_TEST_EDIT));
  ASSERT_TRUE(list.Create(L"STATIC", L"", WS_VISIBLE, CRect(0, 60, 100, 100), &wnd, IDC_TEST_LIST));
  EXPECT_EQ(button.GetDlgCtrlID(), static_cast<int>(IDC_TEST_BUTTON));
  EXPECT_EQ(wnd.GetDlgItem(IDC_TEST_EDIT), &edit);
  EXPECT_EQ(button.GetParent(), &wnd);

  button.SendMessage(BM_CLICK);
  edit.SetWindowText(L"typed");
  EXPECT_EQ(SendNotify(wnd, list.m_hWnd, IDC_TEST_LIST, NM_CLICK), 42);
  EXPECT_EQ(SendNotify(wnd, list.m_hWnd, 2004, NM_DBLCLK), 7);
  EXPECT_EQ(SendNotify(wnd, list.m_hWnd, 2010, NM_DBLCLK), 0);  // outside the range
  EXPECT_EQ(wnd.notifyRangeId, 2004u);
  EXPECT_EQ(wnd.calls, (std::vector<std::string>{"button", "editchange", "notify:1003", "notifyrange"}));
  wnd.DestroyWindow();
  // Children went with their parent and let go of their objects.
  EXPECT_EQ(button.m_hWnd, nullptr);
  EXPECT_EQ(edit.m_hWnd, nullptr);
}

TEST(CommandUI, MenuItemsTakeStateFromUpdateHandlers) {
  CCommandWnd wnd;
  CreateTopLevel(wnd);
  CMenu menu;
  ASSERT_TRUE(menu.CreatePopupMenu());
  menu.AppendMenu(MF_STRING, ID_TEST_A, L"A");
  menu.AppendMenu(MF_STRING, ID_TEST_NOHANDLER, L"None");
  menu.AppendMenu(MF_STRING, ID_TEST_B1, L"B1");
  menu.AppendMenu(MF_SEPARATOR);
  ASSERT_EQ(menu.GetMenuItemCount(), 4);

  struct Case {
    bool disableA;
    BOOL disableIfNoHandler;
    UINT stateA, stateNone, stateB1;
  };
  const Case cases[] = {
      {false, TRUE, MF_CHECKED, MF_GRAYED, 0},
      {true, TRUE, MF_CHECKED | MF_GRAYED, MF_GRAYED, 0},
      {false, FALSE, MF_CHECKED, 0, 0},
  };
  for (const Case& c : cases) {
    // Start from enabled, unchecked items.
    for (UINT id : {ID_TEST_A, ID_TEST_NOHANDLER, ID_TEST_B1}) {
      menu.EnableMenuItem(id, MF_BYCOMMAND | MF_ENABLED);
      menu.CheckMenuItem(id, MF_BYCOMMAND | MF_UNCHECKED);
    }
    wnd.disableA = c.disableA;
    CCmdUI state;
    state.m_pMenu = &menu;
    state.m_nIndexMax = static_cast<UINT>(menu.GetMenuItemCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
      state.m_nID = menu.GetMenuItemID(static_cast<int>(state.m_nIndex));
      state.DoUpdate(&wnd, c.disableIfNoHandler);
    }
    const UINT mask = MF_CHECKED | MF_GRAYED;
    EXPECT_EQ(menu.GetMenuState(ID_TEST_A, MF_BYCOMMAND) & mask, c.stateA);
    EXPECT_EQ(menu.GetMenuState(ID_TEST_NOHANDLER, MF_BYCOMMAND) & mask, c.stateNone);
    EXPECT_EQ(menu.GetMenuState(ID_TEST_B1, MF_BYCOMMAND) & mask, c.stateB1);
  }

  // SetText keeps the item's other state.
  CCmdUI text;
  text.m_pMenu = &menu;
  text.m_nIndex = 0;
  text.m_nID = ID_TEST_A;
  text.SetText(L"Renamed");
  CString label;
  menu.GetMenuString(ID_TEST_A, label, MF_BYCOMMAND);
  EXPECT_EQ(label, L"Renamed");
  EXPECT_TRUE(menu.GetMenuState(ID_TEST_A, MF_BYCOMMAND) & MF_CHECKED);
  wnd.DestroyWindow();
}

TEST(CommandUI, DialogControlsFollowHandlersOfTheirTarget) {
  CCommandWnd wnd;
  CreateTopLevel(wnd);
  CWnd withHandler, withoutHandler, autoCheck;
  ASSERT_TRUE(withHandler.Create(L"BUTTON", L"A", BS_PUSHBUTTON, CRect(0, 0, 10, 10), &wnd, ID_TEST_A));
  ASSERT_TRUE(withoutHandler.Create(L"BUTTON", L"N", BS_PUSHBUTTON, CRect(0, 0, 10, 10), &wnd, ID_TEST_NOHANDLER));
  ASSERT_TRUE(autoCheck.Create(L"BUTTON", L"C", BS_AUTOCHECKBOX, CRect(0, 0, 10, 10), &wnd, ID_TEST_NOHANDLER + 1));
  wnd.disableA = true;
  wnd.UpdateDialogControls(&wnd, TRUE);
  EXPECT_FALSE(withHandler.IsWindowEnabled());
  EXPECT_FALSE(withoutHandler.IsWindowEnabled());
  EXPECT_TRUE(autoCheck.IsWindowEnabled());  // toggles itself: never disabled for want of a handler
  wnd.disableA = false;
  wnd.UpdateDialogControls(&wnd, TRUE);
  EXPECT_TRUE(withHandler.IsWindowEnabled());
  wnd.DestroyWindow();
}

// --------------------------------------------------------------------------------------
// Reflection: the control's own handler sees its notification first.

class CReflectButton : public CWnd {
 public:
  std::vector<std::string>* log = nullptr;
  BOOL clickResult = TRUE;  // _EX: FALSE lets the parent handle the click as well
  HBRUSH brush = nullptr;
  int drawn = 0;
  UINT scrollCode = 0;

 protected:
  afx_msg BOOL OnClicked() {
    log->push_back("child-clicked");
    return clickResult;
  }
  afx_msg void OnNotifyClick(NMHDR*, LRESULT* pResult) {
    log->push_back("child-notify");
    *pResult = 5;
  }
  afx_msg BOOL OnNotifyDblClk(NMHDR*, LRESULT*) {
    log->push_back("child-dblclk");
    return FALSE;
  }
  afx_msg HBRUSH CtlColor(CDC* pDC, UINT) {
    log->push_back(pDC != nullptr ? "child-ctlcolor" : "child-ctlcolor-nodc");
    return brush;
  }
  void DrawItem(LPDRAWITEMSTRUCT) override { ++drawn; }
  afx_msg void HScroll(UINT nSBCode, UINT) { scrollCode = nSBCode; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CReflectButton, CWnd)
  ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
  ON_NOTIFY_REFLECT(NM_CLICK, OnNotifyClick)
  ON_NOTIFY_REFLECT_EX(NM_DBLCLK, OnNotifyDblClk)
  ON_WM_CTLCOLOR_REFLECT()
  ON_WM_DRAWITEM_REFLECT()
  ON_WM_HSCROLL_REFLECT()
END_MESSAGE_MAP()

class CReflectParent : public CWnd {
 public:
  std::vector<std::string> log;
  HBRUSH ownBrush = nullptr;

 protected:
  afx_msg void OnClicked() { log.push_back("parent-clicked"); }
  afx_msg void OnNotifyClick(NMHDR*, LRESULT* pResult) {
    log.push_back("parent-notify");
    *pResult = 9;
  }
  afx_msg void OnNotifyDblClk(NMHDR*, LRESULT* pResult) {
    log.push_back("parent-dblclk");
    *pResult = 11;
  }
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    if (ownBrush != nullptr) return ownBrush;  // the parent's own choice overrides reflection
    return CWnd::OnCtlColor(pDC, pWnd, nCtlColor);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CReflectParent, CWnd)
  ON_BN_CLICKED(IDC_TEST_BUTTON, OnClicked)
  ON_NOTIFY(NM_CLICK, IDC_TEST_BUTTON, OnNotifyClick)
  ON_NOTIFY(NM_DBLCLK, IDC_TEST_BUTTON, OnNotifyDblClk)
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

TEST(Reflection, CommandsAndNotificationsGoToTheControlFirst) {
  CReflectParent parent;
  CreateTopLevel(parent);
  CReflectButton button;
  button.log = &parent.log;
  ASSERT_TRUE(button.Create(L"BUTTON", L"B", BS_PUSHBUTTON | WS_VISIBLE, CRect(0, 0, 40, 20), &parent, IDC_TEST_BUTTON));

  button.SendMessage(BM_CLICK);  // handled by the control: the parent never sees it
  button.clickResult = FALSE;
  button.SendMessage(BM_CLICK);  // declined: the parent's handler runs after it
  EXPECT_EQ(parent.log, (std::vector<std::string>{"child-clicked", "child-clicked", "parent-clicked"}));

  parent.log.clear();
  EXPECT_EQ(SendNotify(parent, button.m_hWnd, IDC_TEST_BUTTON, NM_CLICK), 5);
  EXPECT_EQ(SendNotify(parent, button.m_hWnd, IDC_TEST_BUTTON, NM_DBLCLK), 11);
  EXPECT_EQ(parent.log, (std::vector<std::string>{"child-notify", "child-dblclk", "parent-dblclk"}));
  parent.DestroyWindow();
}

TEST(Reflection, ColoursDrawingAndScrollingReachTheControl) {
  CReflectParent parent;
  CreateTopLevel(parent);
  CReflectButton button;
  button.log = &parent.log;
  ASSERT_TRUE(button.Create(L"BUTTON", L"B", BS_OWNERDRAW | WS_VISIBLE, CRect(0, 0, 40, 20), &parent, IDC_TEST_BUTTON));
  HDC hdc = ::GetDC(button.m_hWnd);

  button.brush = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
  EXPECT_EQ(parent.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(button.m_hWnd)),
            reinterpret_cast<LRESULT>(button.brush));
  parent.ownBrush = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
  EXPECT_EQ(parent.SendMessage(WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(button.m_hWnd)),
            reinterpret_cast<LRESULT>(parent.ownBrush));
  EXPECT_EQ(parent.log, (std::vector<std::string>{"child-ctlcolor"}));

  DRAWITEMSTRUCT dis{};
  dis.CtlType = ODT_BUTTON;
  dis.CtlID = IDC_TEST_BUTTON;
  dis.hwndItem = button.m_hWnd;
  dis.hDC = hdc;
  EXPECT_TRUE(parent.SendMessage(WM_DRAWITEM, IDC_TEST_BUTTON, reinterpret_cast<LPARAM>(&dis)));
  EXPECT_GE(button.drawn, 1);

  parent.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_PAGERIGHT, 0), reinterpret_cast<LPARAM>(button.m_hWnd));
  EXPECT_EQ(button.scrollCode, static_cast<UINT>(SB_PAGERIGHT));
  ::ReleaseDC(button.m_hWnd, hdc);
  parent.DestroyWindow();
}

// --------------------------------------------------------------------------------------
// PreTranslateMessage: every window from the target up to the stop window sees queued
// input first and may eat it.

class CKeyChild : public CWnd {
 public:
  std::vector<UINT> keys;

 protected:
  afx_msg void OnKeyDown(UINT nChar, UINT, UINT) { keys.push_back(nChar); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CKeyChild, CWnd)
  ON_WM_KEYDOWN()
END_MESSAGE_MAP()

class CFilterWnd : public CWnd {
 public:
  std::vector<UINT> seen;
  UINT eat = 0;
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message != WM_KEYDOWN) return FALSE;
    seen.push_back(static_cast<UINT>(pMsg->wParam));
    return pMsg->wParam == eat;
  }
};

// A window noting when WM_TEST_PLAIN reaches it; it may destroy another window from there.
class CDescendantWnd : public CWnd {
 public:
  std::vector<HWND>* pVisits = nullptr;
  CWnd* pDestroyOnVisit = nullptr;

 protected:
  afx_msg LRESULT OnPlain(WPARAM, LPARAM) {
    pVisits->push_back(m_hWnd);
    if (pDestroyOnVisit != nullptr) {
      pDestroyOnVisit->DestroyWindow();
      pDestroyOnVisit = nullptr;
    }
    return 0;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDescendantWnd, CWnd)
  ON_MESSAGE(WM_TEST_PLAIN, OnPlain)
END_MESSAGE_MAP()

TEST(Descendants, WrappedWindowsAtEveryDepthOnceParentsFirstAndNoneOutside) {
  std::vector<HWND> visits;
  CDescendantWnd top, a, a1, a1x, b1, hidden, outside;
  for (CDescendantWnd* p : {&top, &a, &a1, &a1x, &b1, &hidden, &outside}) p->pVisits = &visits;
  CreateTopLevel(top);
  CreateTopLevel(outside);
  const CRect rc(0, 0, 50, 20);
  ASSERT_TRUE(a.Create(nullptr, L"a", WS_CHILD | WS_VISIBLE, rc, &top, 1));
  ASSERT_TRUE(a1.Create(nullptr, L"a1", WS_CHILD | WS_VISIBLE, rc, &a, 2));
  ASSERT_TRUE(a1x.Create(nullptr, L"a1x", WS_CHILD | WS_VISIBLE, rc, &a1, 3));
  ASSERT_TRUE(hidden.Create(nullptr, L"hidden", WS_CHILD, rc, &top, 4));
  // A window nobody wraps, with a wrapped child: the message passes it by and goes on down.
  HWND hRaw = ::CreateWindowExW(0, L"STATIC", L"raw", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, top.m_hWnd, nullptr,
                                nullptr, nullptr);
  ASSERT_NE(hRaw, nullptr);
  ASSERT_TRUE(b1.Create(nullptr, L"b1", WS_CHILD | WS_VISIBLE, rc, CWnd::FromHandle(hRaw), 5));

  auto indexOf = [&](HWND h) { return std::find(visits.begin(), visits.end(), h) - visits.begin(); };
  top.SendMessageToDescendants(WM_TEST_PLAIN, 0, 0, TRUE, TRUE);
  EXPECT_EQ(visits.size(), 5u);
  for (CWnd* p : {&a, &a1, &a1x, &b1, &hidden}) EXPECT_EQ(std::count(visits.begin(), visits.end(), p->m_hWnd), 1);
  EXPECT_LT(indexOf(a.m_hWnd), indexOf(a1.m_hWnd));
  EXPECT_LT(indexOf(a1.m_hWnd), indexOf(a1x.m_hWnd));
  EXPECT_EQ(std::count(visits.begin(), visits.end(), outside.m_hWnd), 0);
  EXPECT_EQ(std::count(visits.begin(), visits.end(), top.m_hWnd), 0);

  // One level only: the direct children that have wrappers.
  visits.clear();
  top.SendMessageToDescendants(WM_TEST_PLAIN, 0, 0, FALSE, TRUE);
  EXPECT_EQ(visits.size(), 2u);
  EXPECT_EQ(std::count(visits.begin(), visits.end(), a.m_hWnd), 1);
  EXPECT_EQ(std::count(visits.begin(), visits.end(), hidden.m_hWnd), 1);

  // A handler destroying a window the pass has not reached yet: that window is skipped.
  visits.clear();
  a.pDestroyOnVisit = &a1x;
  const HWND hGone = a1x.m_hWnd;
  top.SendMessageToDescendants(WM_TEST_PLAIN, 0, 0, TRUE, TRUE);
  EXPECT_FALSE(::IsWindow(hGone));
  EXPECT_EQ(visits.size(), 4u);
  EXPECT_EQ(std::count(visits.begin(), visits.end(), hGone), 0);

  top.DestroyWindow();
  outside.DestroyWindow();
}

TEST(PreTranslate, ParentsFilterQueuedInputUpToTheStopWindow) {
  CFilterWnd outer;
  CreateTopLevel(outer);
  CFilterWnd middle;
  ASSERT_TRUE(middle.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 100, 100), &outer, 1));
  CKeyChild child;
  ASSERT_TRUE(child.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 50, 50), &middle, 2));
  middle.eat = VK_F5;

  // Through the pump (no thread object: the whole parent chain filters).
  child.PostMessage(WM_KEYDOWN, VK_F5, 1);
  child.PostMessage(WM_KEYDOWN, VK_F6, 1);
  ASSERT_TRUE(wndtest::PumpUntil([&] { return child.keys.size() == 1; }));
  EXPECT_EQ(child.keys, std::vector<UINT>{VK_F6});
  EXPECT_EQ(middle.seen, (std::vector<UINT>{VK_F5, VK_F6}));
  EXPECT_EQ(outer.seen, std::vector<UINT>{VK_F6});  // F5 was eaten below it

  // A walk that stops at the middle window never reaches the outer one.
  MSG msg{child.m_hWnd, WM_KEYDOWN, VK_F7, 1, 0, {0, 0}};
  EXPECT_FALSE(CWnd::WalkPreTranslateTree(middle.m_hWnd, &msg));
  EXPECT_EQ(middle.seen.back(), static_cast<UINT>(VK_F7));
  EXPECT_EQ(outer.seen.back(), static_cast<UINT>(VK_F6));
  outer.DestroyWindow();
}

// --------------------------------------------------------------------------------------
// Relations, coordinates, styles and scroll bars of real windows.

TEST(WindowApi, RelationsCoordinatesStylesAndScrolling) {
  CWnd top, child, grandchild, popup;
  ASSERT_TRUE(top.CreateEx(0, nullptr, L"top", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200, nullptr, nullptr));
  ASSERT_TRUE(child.Create(nullptr, L"", WS_VISIBLE | WS_VSCROLL, CRect(10, 20, 60, 60), &top, 1));
  ASSERT_TRUE(grandchild.Create(nullptr, L"", WS_VISIBLE, CRect(1, 2, 11, 12), &child, 2));
  ASSERT_TRUE(popup.CreateEx(0, nullptr, L"popup", WS_POPUP, 0, 0, 100, 50, top.m_hWnd, nullptr));

  EXPECT_EQ(grandchild.GetParent(), &child);
  EXPECT_EQ(grandchild.GetTopLevelParent(), &top);
  EXPECT_EQ(grandchild.GetParentOwner(), &top);
  EXPECT_EQ(popup.GetTopLevelParent(), &top);  // through the owner
  EXPECT_EQ(popup.GetParentOwner(), &popup);   // not a child: its own top
  EXPECT_EQ(grandchild.GetParentFrame(), nullptr);
  EXPECT_TRUE(top.IsChild(&grandchild));
  EXPECT_EQ(top.GetDlgItem(1), &child);

  CPoint pt(1, 2);
  child.ClientToScreen(&pt);
  EXPECT_EQ(pt, CPoint(111, 122));
  CRect rc(111, 122, 121, 132);
  child.ScreenToClient(&rc);
  EXPECT_EQ(rc, CRect(1, 2, 11, 12));
  CRect inParent(0, 0, 5, 5);
  child.MapWindowPoints(&top, &inParent);
  EXPECT_EQ(inParent, CRect(10, 20, 15, 25));
  CRect rcWindow;
  grandchild.GetWindowRect(&rcWindow);
  EXPECT_EQ(rcWindow, CRect(111, 122, 121, 132));

  EXPECT_FALSE(child.ModifyStyle(0, WS_VISIBLE));  // nothing to change
  EXPECT_TRUE(child.ModifyStyle(0, WS_CLIPCHILDREN));
  EXPECT_TRUE(child.GetStyle() & WS_CLIPCHILDREN);
  EXPECT_TRUE(child.ModifyStyleEx(0, WS_EX_CLIENTEDGE, SWP_FRAMECHANGED));
  EXPECT_TRUE(child.GetExStyle() & WS_EX_CLIENTEDGE);

  // A popup centres on its visible owner.
  popup.CenterWindow();
  CRect rcPopup;
  popup.GetWindowRect(&rcPopup);
  EXPECT_EQ(rcPopup.TopLeft(), CPoint(200, 175));

  SCROLLINFO si{};
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMin = 0;
  si.nMax = 100;
  si.nPage = 10;
  child.SetScrollInfo(SB_VERT, &si);
  EXPECT_EQ(child.GetScrollLimit(SB_VERT), 91);
  child.SetScrollPos(SB_VERT, 50);
  EXPECT_EQ(child.GetScrollPos(SB_VERT), 50);
  int nMin = -1, nMax = -1;
  child.GetScrollRange(SB_VERT, &nMin, &nMax);
  EXPECT_EQ(nMin, 0);
  EXPECT_EQ(nMax, 100);

  EXPECT_TRUE(child.EnableWindow(FALSE) == FALSE);  // was enabled
  EXPECT_FALSE(child.IsWindowEnabled());
  popup.DestroyWindow();
  top.DestroyWindow();
  EXPECT_EQ(grandchild.m_hWnd, nullptr);
}

}  // namespace
