// The command bars inside a real frame: Alt accelerators typed with SendInput through the
// frame's pre-translation, keyboard cues shown while Alt is held, Ctrl+Tab between bars;
// popups closed when another program's window is activated; a WM_QUIT posted while a
// popup tracks ending a program (a child run of this test program); the bars'
// accessibility through WM_GETOBJECT; customize drop targets; command-state updates from
// the frame's handlers; copying a bar; and the customize selection.
#include <framework.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <test_picture.h>

#include "CommandBarsTestSupport.h"
#include "XTPColorManager.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPControl.h"
#include "XTPControls.h"
#include "XTPFrameWnd.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"
#include "XTPSoundManager.h"
#include "XTPToolBar.h"

using namespace cbtest;
using testsupport::Dispatch;

namespace {

const UINT kUpdatedId = 3001;   // has an update handler
const UINT kHandledId = 3002;   // has only a command handler
const UINT kOrphanId = 3003;    // has no handler at all

BOOL WINAPI SilentPlaySound(LPCWSTR, HMODULE, DWORD) { return TRUE; }

// The frame: records commands, customize-selection notices and activation losses; its
// update handler does what the test asks.
class CCoreFrame : public CXTPFrameWnd {
 public:
  std::vector<UINT> commands;
  int nSelectionNotices = 0;
  int nUpdateCalls = 0;
  std::function<void(CCmdUI*)> update;

  BOOL CreateFrame(const CRect& rc) {
    // No system menu: an Alt released alone does not open one.
    return Create(NULL, L"core frame", WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME | WS_VISIBLE, rc);
  }

 protected:
  afx_msg void OnUpdated(CCmdUI* pCmdUI) {
    nUpdateCalls++;
    if (update) update(pCmdUI);
  }
  afx_msg void OnHandled() {}
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND && lParam == 0 && LOWORD(wParam) >= 1000 && LOWORD(wParam) < 2000)
      commands.push_back(LOWORD(wParam));
    if (message == XTPM_CUSTOMIZESELCHANGED) nSelectionNotices++;
    return CXTPFrameWnd::WindowProc(message, wParam, lParam);
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCoreFrame, CXTPFrameWnd)
  ON_UPDATE_COMMAND_UI(kUpdatedId, OnUpdated)
  ON_COMMAND(kHandledId, OnHandled)
END_MESSAGE_MAP()

// A bar of the frame, laid out by the test: controls side by side from the left.
class CCoreBar : public CXTPCommandBar {
 public:
  BOOL bShown = TRUE;
  void SetBarType(XTPBarType type) { m_barType = type; }
  void SetBarPosition(XTPBarPosition position) { m_barPosition = position; }
  BOOL IsVisible() const override { return bShown; }
  BOOL CreateIn(CWnd* pParent, const CRect& rc) {
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateEx(0, cls, L"core bar", WS_CHILD | WS_VISIBLE, rc.left, rc.top, rc.Width(), rc.Height(),
                    pParent->GetSafeHwnd(), NULL);
  }
  CXTPControl* AddButton(int nId, LPCTSTR lpszCaption, int nWidth = 40) {
    CXTPControl* pControl = GetControls()->Add(xtpControlButton, nId);
    pControl->SetCaption(lpszCaption);
    pControl->SetStyle(xtpButtonCaption);
    int x = 2;
    for (int i = 0; i < GetControlCount() - 1; i++) x = GetControl(i)->GetRect().right;
    pControl->SetRect(CRect(x, 2, x + nWidth, 24));
    return pControl;
  }
};

void PumpFrame(DWORD ms) { PumpFor(ms, Dispatch::PreTranslate); }

// The keys typed one after another while Alt is held.
void AltKeys(const std::vector<WORD>& keys) {
  KeyEvent(VK_MENU, false);
  PumpFrame(20);
  for (WORD vk : keys) {
    KeyEvent(vk, false);
    KeyEvent(vk, true);
    PumpFrame(30);
  }
  KeyEvent(VK_MENU, true);
  PumpFrame(40);
}

void AltKey(WORD vk) { AltKeys({vk}); }

class CoreFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    m_oldSound = CXTPSoundManager::SetPlaySoundProc(SilentPlaySound);
    ParkPointer();
    ASSERT_TRUE(pFrame->CreateFrame(CRect(80, 80, 620, 420)));
    pCommandBars = (CXTPCommandBars*)RUNTIME_CLASS(CXTPCommandBars)->CreateObject();
    pFrame->m_pCommandBars = pCommandBars;
    pCommandBars->SetSite(pFrame);
    pMenuBar = NewBar(CRect(0, 0, 500, 26), xtpBarTypeMenuBar);
    Activate(pFrame->GetSafeHwnd());
    pFrame->SetFocus();
    PumpFrame(30);
  }
  void TearDown() override {
    XTPMouseManager()->CloseAllTrackingBars();
    for (CCoreBar* pBar : bars) {
      if (pBar->GetSafeHwnd() != NULL) pBar->DestroyWindow();
      pBar->InternalRelease();
    }
    // Destroying the window deletes the frame; a frame whose window was never made deleted
    // itself then.
    if (::IsWindow(pFrame->GetSafeHwnd())) pFrame->DestroyWindow();
    PumpFor(30);
    CXTPSoundManager::SetPlaySoundProc(m_oldSound);
  }
  CCoreBar* NewBar(const CRect& rc, XTPBarType type) {
    CCoreBar* pBar = new CCoreBar();
    pBar->SetCommandBars(pCommandBars);
    pBar->SetBarType(type);
    pBar->SetBarPosition(xtpBarTop);
    EXPECT_TRUE(pBar->CreateIn(pFrame, rc));
    bars.push_back(pBar);
    return pBar;
  }

  // A frame deletes itself when its window goes, as every frame does: it lives on the heap.
  CCoreFrame* pFrame = new CCoreFrame();
  CXTPCommandBars* pCommandBars = nullptr;
  CCoreBar* pMenuBar = nullptr;
  std::vector<CCoreBar*> bars;
  CXTPSoundManager::PFNPLAYSOUND m_oldSound = nullptr;
};

// ---- Alt accelerators -----------------------------------------------------------------------

struct AltCase {
  const char* name;
  std::vector<WORD> keys;        // typed while Alt is held
  int keyboardCuesUse;
  std::vector<UINT> commands;    // what the frame receives
  int selected;                  // the menu bar's selection afterwards (-1: not tracking)
};

TEST_F(CoreFrame, AltLettersRunOrSelectTheBarsControls) {
  pMenuBar->AddButton(1001, _T("&File"));
  pMenuBar->AddButton(1002, _T("&Edit"));
  pMenuBar->AddButton(1003, _T("&Proj"));
  pMenuBar->AddButton(1004, _T("&Pack"));
  pMenuBar->AddButton(1005, _T("Tools"));
  pMenuBar->AddButton(1006, _T("&1 One"));
  pMenuBar->AddButton(1007, _T("R&&D"));
  pMenuBar->AddButton(1008, _T("Last&"));
  const AltCase cases[] = {
      {"a mnemonic runs its control", {'F'}, 1, {1001}, -1},
      {"another mnemonic", {'E'}, 1, {1002}, -1},
      {"a first letter on a menu bar", {'T'}, 1, {1005}, -1},
      {"a caption ending in & falls back to its first letter", {'L'}, 1, {1008}, -1},
      {"&& is an ampersand, not a mnemonic for the next letter", {'D'}, 1, {}, -1},
      {"a shared mnemonic selects the first without running it", {'P'}, 1, {}, 2},
      {"the shared mnemonic again moves to the next", {'P', 'P'}, 1, {}, 3},
      {"a digit on the main keys", {'1'}, 1, {1006}, -1},
      {"a keypad digit never", {VK_NUMPAD1}, 1, {}, -1},
      {"KeyboardCuesUse 2 turns Alt letters off", {'F'}, 2, {}, -1},
      {"mnemonics only still runs mnemonics", {'F'}, 4 | 1, {1001}, -1},
      {"mnemonics only skips first letters", {'T'}, 4 | 1, {}, -1},
  };
  for (const AltCase& c : cases) {
    pCommandBars->GetCommandBarsOptions()->keyboardCuesUse = c.keyboardCuesUse;
    pFrame->commands.clear();
    AltKeys(c.keys);
    EXPECT_EQ(c.commands, pFrame->commands) << c.name;
    if (c.selected == -1) {
      EXPECT_FALSE(pMenuBar->IsTrackingMode()) << c.name;
    } else {
      EXPECT_TRUE(pMenuBar->IsTrackingMode()) << c.name;
      EXPECT_EQ(c.selected, pMenuBar->GetSelectedIndex()) << c.name;
    }
    pMenuBar->CancelTracking();
    PumpFrame(20);
  }
}

TEST_F(CoreFrame, AltLettersSearchTheOtherBarsOnlyWithTheOption) {
  pMenuBar->AddButton(1001, _T("&File"));
  CCoreBar* pTools = NewBar(CRect(0, 30, 300, 56), xtpBarTypeNormal);
  pTools->AddButton(1011, _T("&Zoom"));
  const struct {
    int use;
    std::vector<UINT> commands;
  } cases[] = {{0, {}}, {1, {1011}}};
  for (const auto& c : cases) {
    pCommandBars->GetCommandBarsOptions()->keyboardCuesUse = c.use;
    pFrame->commands.clear();
    AltKey('Z');
    PumpFrame(30);
    EXPECT_EQ(c.commands, pFrame->commands) << "KeyboardCuesUse " << c.use;
  }
  // With the menu bar hidden and the option, the first visible bar is searched.
  pMenuBar->bShown = FALSE;
  pCommandBars->GetCommandBarsOptions()->keyboardCuesUse = 1;
  pFrame->commands.clear();
  AltKey('Z');
  PumpFrame(30);
  EXPECT_EQ(std::vector<UINT>({1011}), pFrame->commands);
}

TEST_F(CoreFrame, AltLettersReachTheControlsOfARealDockedToolbar) {
  pMenuBar->AddButton(1001, _T("&File"));
  pCommandBars->CreateDockBars();
  CXTPToolBar* pToolBar = pCommandBars->Add(_T("Standard"), xtpBarTop);
  ASSERT_NE(nullptr, pToolBar);
  CXTPControl* pZoom = pToolBar->GetControls()->Add(xtpControlButton, 1021);
  pZoom->SetCaption(_T("&Zoom"));
  pZoom->SetStyle(xtpButtonCaption);
  pCommandBars->RecalcFrameLayout();
  PumpFrame(50);
  ASSERT_TRUE(pToolBar->IsVisible());
  pCommandBars->GetCommandBarsOptions()->keyboardCuesUse = 1;
  pFrame->commands.clear();
  AltKeys({'Z'});
  EXPECT_EQ(std::vector<UINT>({1021}), pFrame->commands);
  // Ctrl+Tab reaches the toolbar from the menu bar and comes back round.
  ASSERT_TRUE(pCommandBars->SetFocusToCommandBar(pMenuBar));
  EXPECT_TRUE(pCommandBars->SetFocusToBar(pToolBar, 0));
  EXPECT_TRUE(pToolBar->IsTrackingMode());
  EXPECT_EQ(0, pToolBar->GetSelectedIndex());
  pToolBar->CancelTracking();
}

TEST_F(CoreFrame, CuesHiddenUntilAltShowWhileItIsHeld) {
  BOOL bOldCues = TRUE;
  ::SystemParametersInfo(SPI_GETKEYBOARDCUES, 0, &bOldCues, 0);
  if (!::SystemParametersInfo(SPI_SETKEYBOARDCUES, 0, (PVOID)(INT_PTR)FALSE, 0))
    GTEST_SKIP() << "the system keyboard-cue setting cannot be changed here";
  pMenuBar->AddButton(1001, _T("&File"));
  pCommandBars->GetCommandBarsOptions()->ShowKeyboardCues(2);
  ::SystemParametersInfo(SPI_SETKEYBOARDCUES, 0, (PVOID)(INT_PTR)bOldCues, 0);
  EXPECT_TRUE(pCommandBars->IsKeyboardCuesHiddenUntilAlt());
  EXPECT_FALSE(pCommandBars->IsKeyboardCuesVisible());
  EXPECT_FALSE(pMenuBar->IsKeyboardCuesVisible());

  KeyEvent(VK_MENU, false);
  PumpFrame(40);
  EXPECT_TRUE(pCommandBars->IsKeyboardCuesVisible()) << "Alt held";
  KeyEvent(VK_MENU, true);
  PumpFrame(40);
  EXPECT_FALSE(pCommandBars->IsKeyboardCuesVisible()) << "Alt released";

  // The other values of the option.
  pCommandBars->GetCommandBarsOptions()->ShowKeyboardCues(1);
  EXPECT_FALSE(pCommandBars->IsKeyboardCuesVisible());
  EXPECT_FALSE(pCommandBars->IsKeyboardCuesHiddenUntilAlt());
  pCommandBars->GetCommandBarsOptions()->ShowKeyboardCues(0);
  EXPECT_TRUE(pCommandBars->IsKeyboardCuesVisible());
}

TEST_F(CoreFrame, CtrlTabMovesTheKeyboardToTheNextVisibleBar) {
  pMenuBar->AddButton(1001, _T("&File"));
  pMenuBar->AddButton(1002, _T("&Edit"));
  CCoreBar* pTools = NewBar(CRect(0, 30, 300, 56), xtpBarTypeNormal);
  pTools->AddButton(1011, _T("&Zoom"));
  pTools->AddButton(1012, _T("&Pan"));
  AltKey('F');  // runs File and leaves tracking
  ASSERT_TRUE(pCommandBars->SetFocusToCommandBar(pMenuBar));
  EXPECT_TRUE(pMenuBar->IsTrackingMode());
  EXPECT_EQ(0, pMenuBar->GetSelectedIndex());

  KeyEvent(VK_CONTROL, false);
  TypeKey(VK_TAB, 40);
  KeyEvent(VK_CONTROL, true);
  PumpFrame(30);
  EXPECT_FALSE(pMenuBar->IsTrackingMode());
  EXPECT_TRUE(pTools->IsTrackingMode());
  EXPECT_EQ(0, pTools->GetSelectedIndex()) << "the first control of the next bar";

  // Backwards wraps to the menu bar; with the menu bar hidden nothing else is left.
  KeyEvent(VK_CONTROL, false);
  KeyEvent(VK_SHIFT, false);
  TypeKey(VK_TAB, 40);
  KeyEvent(VK_SHIFT, true);
  KeyEvent(VK_CONTROL, true);
  PumpFrame(30);
  EXPECT_TRUE(pMenuBar->IsTrackingMode());
  pMenuBar->CancelTracking();
  pMenuBar->bShown = FALSE;
  EXPECT_FALSE(pCommandBars->SetFocusToCommandBar(pTools, +1)) << "no other visible bar";
}

// ---- Popups and other programs ----------------------------------------------------------------

// A child run of this program: a window of another process that takes the activation, or a
// program that tracks a popup and gets WM_QUIT meanwhile.
const char kChildVar[] = "VORLIX_CB_CORE_CHILD";

bool RunChild(const std::wstring& mode, PROCESS_INFORMATION& pi, const std::wstring& filter) {
  wchar_t exe[MAX_PATH];
  ::GetModuleFileNameW(NULL, exe, MAX_PATH);
  std::wstring cmd = L"\"" + std::wstring(exe) + L"\" --gtest_filter=" + filter;
  ::SetEnvironmentVariableW(L"VORLIX_CB_CORE_CHILD", mode.c_str());
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  std::vector<wchar_t> line(cmd.begin(), cmd.end());
  line.push_back(0);
  const BOOL ok = ::CreateProcessW(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi);
  ::SetEnvironmentVariableW(L"VORLIX_CB_CORE_CHILD", NULL);
  return ok != FALSE;
}

std::string ChildMode() {
  const char* p = std::getenv(kChildVar);
  return p != nullptr ? p : "";
}

// Child: a plain window that takes the foreground and stays until it is closed.
TEST(CoreChild, ActivatingWindow) {
  if (ChildMode() != "activate") GTEST_SKIP() << "runs only as a child of the activation test";
  CWnd wnd;
  ASSERT_TRUE(testsupport::CreateTestWindow(wnd, CRect(700, 100, 900, 250), L"cb core other program",
                                            WS_OVERLAPPEDWINDOW | WS_VISIBLE));
  MSG msg;
  while (::IsWindow(wnd.GetSafeHwnd()) && ::GetMessage(&msg, NULL, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessage(&msg);
  }
}

// Child: tracks a popup menu; a timer posts WM_QUIT(23) while it tracks. The program's own
// loop must then end with that code.
TEST(CoreChild, QuitWhileTracking) {
  if (ChildMode() != "quit") GTEST_SKIP() << "runs only as a child of the quit test";
  CXTPPaintManager::SetTheme(0);
  CWnd wnd;
  ASSERT_TRUE(testsupport::CreateTestWindow(wnd, CRect(100, 100, 400, 300), L"cb core quit child"));
  CMenu menu;
  menu.CreatePopupMenu();
  menu.AppendMenu(MF_STRING, 101, _T("&Open"));
  menu.AppendMenu(MF_STRING, 102, _T("&Save"));
  ::SetTimer(wnd.GetSafeHwnd(), 1, 300, [](HWND h, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(h, id);
    ::PostQuitMessage(23);
  });
  CXTPCommandBars::TrackPopupMenu(&menu, TPM_RETURNCMD, 150, 150, &wnd);
  // The program's loop.
  MSG msg;
  const DWORD t0 = ::GetTickCount();
  while (::GetTickCount() - t0 < 5000) {
    const BOOL bGot = ::GetMessage(&msg, NULL, 0, 0);
    if (bGot <= 0) ::ExitProcess((UINT)msg.wParam);
    ::TranslateMessage(&msg);
    ::DispatchMessage(&msg);
  }
  ::ExitProcess(99);  // the quit was lost
}

TEST(CoreQuit, AQuitPostedWhileAPopupTracksEndsTheProgramWithItsCode) {
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(RunChild(L"quit", pi, L"CoreChild.QuitWhileTracking"));
  // A second Wine process starts slowly on a loaded machine: a generous wait.
  const bool bEnded = testsupport::WaitPumping(pi.hProcess, 90000);
  DWORD dwCode = 0;
  ::GetExitCodeProcess(pi.hProcess, &dwCode);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  ASSERT_TRUE(bEnded) << "the program did not end";
  EXPECT_EQ(23u, dwCode);
}

TEST_F(CoreFrame, SwitchingToAnotherProgramClosesEveryPopup) {
  CXTPPaintManager::SetTheme(0);
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(RunChild(L"activate", pi, L"CoreChild.ActivatingWindow"));
  HWND hOther = NULL;
  PumpUntil([&] { return (hOther = ::FindWindowW(NULL, L"cb core other program")) != NULL; }, 20000);
  ASSERT_NE(nullptr, hOther);
  // The other program's window comes up active; then this frame takes the activation back.
  PumpUntil([&] { return ::GetForegroundWindow() == hOther; }, 5000);
  PumpFor(200);
  ASSERT_TRUE(PumpUntil(
      [&] {
        Activate(pFrame->GetSafeHwnd());
        return ::GetForegroundWindow() == pFrame->GetSafeHwnd();
      },
      10000))
      << "this program's frame never became the foreground window";
  pFrame->SetFocus();
  PumpFrame(50);

  CMenu menu;
  menu.CreatePopupMenu();
  CMenu sub;
  sub.CreatePopupMenu();
  sub.AppendMenu(MF_STRING, 201, _T("&Alpha"));
  menu.AppendMenu(MF_STRING, 101, _T("&Open"));
  menu.AppendMenu(MF_POPUP, (UINT_PTR)sub.GetSafeHmenu(), _T("&More"));
  int nOpen = 0;
  bool bActivated = false;
  static std::function<void()> s_step;
  int nStep = 0;
  s_step = [&] {
    if (nStep == 0) {
      TypeKey('M', 0);  // opens the submenu: two popups
    } else if (nStep == 2) {
      nOpen = XTPMouseManager()->GetTrackingBarCount();
      // The other program's window takes the activation: this program gets
      // WM_ACTIVATEAPP(FALSE).
      ::SetForegroundWindow(hOther);
      bActivated = true;
    } else if (nStep > 30) {
      XTPMouseManager()->CloseAllTrackingBars();  // never reached when the switch closes them
    }
    nStep++;
  };
  ::SetTimer(pFrame->GetSafeHwnd(), 77, 100, [](HWND, UINT, UINT_PTR, DWORD) { s_step(); });
  const DWORD t0 = ::GetTickCount();
  const int n = CXTPCommandBars::TrackPopupMenu(&menu, TPM_RETURNCMD, 200, 200, pFrame);
  ::KillTimer(pFrame->GetSafeHwnd(), 77);
  const DWORD dt = ::GetTickCount() - t0;
  s_step = nullptr;
  EXPECT_EQ(2, nOpen);
  EXPECT_TRUE(bActivated);
  EXPECT_EQ(0, n);
  EXPECT_LT(nStep, 30) << "closed by the switch, not by the test's fallback (" << dt << " ms)";
  EXPECT_EQ(0, XTPMouseManager()->GetTrackingBarCount());
  ::PostMessageW(hOther, WM_CLOSE, 0, 0);
  EXPECT_TRUE(testsupport::WaitPumping(pi.hProcess, 20000));
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
}

TEST_F(CoreFrame, DeactivationAndSystemCommandsCloseThePopupsThroughTheFrame) {
  // The frame's own messages, one by one, with a popup open and nothing else closing it.
  const struct {
    const char* name;
    UINT message;
    WPARAM wParam;
    bool closes;
  } cases[] = {
      {"WM_ACTIVATEAPP losing", WM_ACTIVATEAPP, FALSE, true},
      {"WM_ACTIVATEAPP gaining", WM_ACTIVATEAPP, TRUE, false},
      {"WM_SYSCOMMAND SC_MOVE", WM_SYSCOMMAND, SC_MOVE, true},
      {"WM_SYSCOMMAND SC_KEYMENU", WM_SYSCOMMAND, SC_KEYMENU, false},
      {"WM_SYSCOMMAND with a zero low word", WM_SYSCOMMAND, 0x10000, false},
  };
  for (const auto& c : cases) {
    CTestBar bar;
    ASSERT_TRUE(bar.CreateAt(CRect(300, 300, 360, 340), pFrame));
    bar.Track();
    ASSERT_EQ(1, XTPMouseManager()->GetTrackingBarCount());
    LRESULT lResult = 0;
    EXPECT_FALSE(pCommandBars->OnFrameWndMsg(c.message, c.wParam, 0, &lResult)) << c.name;
    EXPECT_EQ(c.closes ? 0 : 1, XTPMouseManager()->GetTrackingBarCount()) << c.name;
    bar.CancelTracking();
    bar.DestroyWindow();
  }
  // Close is refused only while the customize sheet runs: there is none.
  LRESULT lResult = 0;
  EXPECT_FALSE(pCommandBars->OnFrameWndMsg(WM_CLOSE, 0, 0, &lResult));
}

// ---- Accessibility through WM_GETOBJECT ---------------------------------------------------------

VARIANT Child(long n) {
  VARIANT v;
  ::VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = n;
  return v;
}

std::wstring Name(IAccessible* p, long n) {
  BSTR b = NULL;
  if (p->get_accName(Child(n), &b) != S_OK) return L"<failed>";
  std::wstring s = b != NULL ? b : L"";
  ::SysFreeString(b);
  return s;
}

long Role(IAccessible* p, long n) {
  VARIANT v;
  ::VariantInit(&v);
  return p->get_accRole(Child(n), &v) == S_OK ? v.lVal : -1;
}

long State(IAccessible* p, long n) {
  VARIANT v;
  ::VariantInit(&v);
  return p->get_accState(Child(n), &v) == S_OK ? v.lVal : -1;
}

TEST_F(CoreFrame, BarsAnswerAccessibilityThroughWmGetObject) {
  ::CoInitialize(NULL);
  CCoreBar* pBar = NewBar(CRect(10, 40, 310, 66), xtpBarTypeNormal);
  pBar->SetTitle(_T("Standard"));
  pBar->AddButton(1001, _T("&Open\tCtrl+O"), 60);
  pBar->AddButton(1002, _T("Sa&ve"), 50);
  pBar->AddButton(1003, _T("R&&D"), 50);

  IAccessible* pAcc = NULL;
  ASSERT_EQ(S_OK, CXTPAccessible::AccessibleObjectFromWindow(pBar->GetSafeHwnd(), (DWORD)OBJID_CLIENT,
                                                             IID_IAccessible, (void**)&pAcc));
  ASSERT_NE(nullptr, pAcc);
  long nChildren = 0;
  ASSERT_EQ(S_OK, pAcc->get_accChildCount(&nChildren));
  EXPECT_EQ(3, nChildren);
  const struct {
    long child;
    const wchar_t* name;
  } names[] = {{0, L"Standard"}, {1, L"Open\tCtrl+O"}, {2, L"Save"}, {3, L"R&D"}};
  for (const auto& c : names) EXPECT_EQ(std::wstring(c.name), Name(pAcc, c.child)) << c.child;

  const struct {
    XTPBarType type;
    long role;
  } roles[] = {{xtpBarTypeMenuBar, ROLE_SYSTEM_MENUBAR}, {xtpBarTypeNormal, ROLE_SYSTEM_TOOLBAR},
               {xtpBarTypePopup, ROLE_SYSTEM_MENUPOPUP}};
  for (const auto& c : roles) {
    pBar->SetBarType(c.type);
    EXPECT_EQ(c.role, Role(pAcc, 0)) << c.type;
    EXPECT_EQ(ROLE_SYSTEM_MENUITEM, Role(pAcc, 2)) << c.type;
  }
  pBar->SetBarType(xtpBarTypeNormal);

  EXPECT_EQ(0, State(pAcc, 0));
  EXPECT_EQ(0x300000, State(pAcc, 1));
  pBar->SetSelected(1);
  EXPECT_EQ(0x300086, State(pAcc, 2)) << "the selected control";
  EXPECT_EQ(0x300000, State(pAcc, 1));
  pBar->SetSelected(-1);
  pBar->bShown = FALSE;
  EXPECT_EQ(STATE_SYSTEM_INVISIBLE, State(pAcc, 0));
  pBar->bShown = TRUE;

  CRect rcBar;
  pBar->GetWindowRect(&rcBar);
  long x = 0, y = 0, cx = 0, cy = 0;
  ASSERT_EQ(S_OK, pAcc->accLocation(&x, &y, &cx, &cy, Child(0)));
  EXPECT_EQ(CRect(rcBar), CRect(x, y, x + cx, y + cy));
  ASSERT_EQ(S_OK, pAcc->accLocation(&x, &y, &cx, &cy, Child(2)));
  EXPECT_EQ(CRect(rcBar.left + 62, rcBar.top + 2, rcBar.left + 112, rcBar.top + 24), CRect(x, y, x + cx, y + cy));

  VARIANT hit;
  ::VariantInit(&hit);
  ASSERT_EQ(S_OK, pAcc->accHitTest(rcBar.left + 70, rcBar.top + 10, &hit));
  ASSERT_EQ(VT_DISPATCH, hit.vt) << "a control under the point";
  IAccessible* pHit = NULL;
  ASSERT_EQ(S_OK, hit.pdispVal->QueryInterface(IID_IAccessible, (void**)&pHit));
  EXPECT_EQ(L"Save", Name(pHit, 0));
  pHit->Release();
  ::VariantClear(&hit);
  ASSERT_EQ(S_OK, pAcc->accHitTest(rcBar.right - 5, rcBar.top + 10, &hit));
  EXPECT_EQ(VT_I4, hit.vt);
  EXPECT_EQ(0, hit.lVal) << "the bar itself where no control is";
  EXPECT_EQ(S_FALSE, pAcc->accHitTest(rcBar.left - 20, rcBar.top - 20, &hit));
  EXPECT_EQ(VT_EMPTY, hit.vt);

  IDispatch* pChild = NULL;
  ASSERT_EQ(S_OK, pAcc->get_accChild(Child(1), &pChild));
  ASSERT_NE(nullptr, pChild);
  pChild->Release();
  BSTR b = NULL;
  EXPECT_EQ(E_INVALIDARG, pAcc->get_accName(Child(4), &b));
  EXPECT_EQ(E_INVALIDARG, pAcc->get_accChild(Child(0), &pChild));
  IDispatch* pParent = NULL;
  EXPECT_EQ(S_OK, pAcc->get_accParent(&pParent)) << "the frame's window object";
  if (pParent != NULL) pParent->Release();
  pAcc->Release();

  // OBJID_MENU answers the same object; other object ids go to the default handling.
  IAccessible* pMenuAcc = NULL;
  ASSERT_EQ(S_OK, CXTPAccessible::AccessibleObjectFromWindow(pBar->GetSafeHwnd(), (DWORD)OBJID_MENU,
                                                             IID_IAccessible, (void**)&pMenuAcc));
  EXPECT_EQ(L"Standard", Name(pMenuAcc, 0));
  pMenuAcc->Release();
  EXPECT_EQ(0, pBar->SendMessage(WM_GETOBJECT, 0, (LPARAM)OBJID_VSCROLL));
}

// ---- Customize drop targets ------------------------------------------------------------------------

struct DropCase {
  const char* name;
  CPoint point;
  int insert;
  CRect marker;
};

TEST_F(CoreFrame, InsertionPointsAndMarksOnAHorizontalBar) {
  CCoreBar* pBar = NewBar(CRect(10, 40, 310, 66), xtpBarTypeNormal);
  pBar->AddButton(1001, _T("A"));           // (2, 2, 42, 24)
  pBar->AddButton(1002, _T("B"));           // (42, 2, 82, 24)
  pBar->AddButton(1003, _T("C"))->SetBeginGroup(TRUE);  // (82, 2, 122, 24)
  CXTPControl* pDragged = pBar->AddButton(1004, _T("D"));  // (122, 2, 162, 24)
  CXTPControl* pSource = pMenuBar->AddButton(1050, _T("S"));
  const DropCase cases[] = {
      {"before the centre of A", CPoint(10, 10), 0, CRect(2, 2, 8, 24)},
      {"past the centre of A: B follows plainly", CPoint(30, 10), 1, CRect(42, 2, 48, 24)},
      {"past the centre of B: C starts a group, mark inside", CPoint(70, 10), 2, CRect(76, 2, 82, 24)},
      {"before the centre of C", CPoint(90, 10), 2, CRect(82, 2, 88, 24)},
      {"past the last control", CPoint(290, 10), 4, CRect(162, 2, 168, 24)},
  };
  for (const DropCase& c : cases) {
    CRect rcMark;
    BOOL bVertical = FALSE, bOnItself = TRUE;
    EXPECT_EQ(c.insert, pBar->FindInsertionPoint(pSource, c.point, rcMark, bVertical, &bOnItself, NULL)) << c.name;
    EXPECT_EQ(c.marker, rcMark) << c.name;
    EXPECT_TRUE(bVertical) << c.name << ": the mark stands between controls of a row";
    EXPECT_FALSE(bOnItself) << c.name;
  }
  CRect rcMark;
  BOOL bVertical = FALSE, bOnItself = FALSE;
  pBar->FindInsertionPoint(pDragged, CPoint(150, 10), rcMark, bVertical, &bOnItself, NULL);
  EXPECT_TRUE(bOnItself);
  EXPECT_TRUE(rcMark.IsRectEmpty()) << "no mark over the dragged control itself";

  // A bar without controls marks its start; a popup compares vertical centres.
  CCoreBar* pEmpty = NewBar(CRect(10, 80, 110, 106), xtpBarTypeNormal);
  EXPECT_EQ(0, pEmpty->FindInsertionPoint(pSource, CPoint(50, 10), rcMark, bVertical, NULL, NULL));
  EXPECT_EQ(CRect(2, 2, 8, 24), rcMark);
  pBar->SetBarType(xtpBarTypePopup);
  EXPECT_TRUE(pBar->ComparesVertically());
  pBar->SetBarType(xtpBarTypeNormal);
  pBar->SetBarPosition(xtpBarLeft);
  EXPECT_TRUE(pBar->ComparesVertically());
}

TEST_F(CoreFrame, DroppingOnItselfKeepsTheControlAndMayChangeItsGroup) {
  CCoreBar* pBar = NewBar(CRect(10, 40, 310, 66), xtpBarTypeNormal);
  pBar->AddButton(1001, _T("A"));           // (2, 2, 42, 24)
  CXTPControl* pB = pBar->AddButton(1002, _T("B"));  // (42, 2, 82, 24)
  const struct {
    const char* name;
    CPoint drag, drop;
    BOOL groupBefore, groupAfter;
  } cases[] = {
      {"moved 4 pixels: unchanged", CPoint(70, 10), CPoint(74, 10), FALSE, FALSE},
      {"moved 5 pixels past the centre: starts a group", CPoint(70, 10), CPoint(75, 10), FALSE, TRUE},
      {"moved 5 pixels before the centre: loses its group", CPoint(55, 10), CPoint(50, 10), TRUE, FALSE},
      {"moved 4 pixels before the centre keeps its group", CPoint(55, 10), CPoint(51, 10), TRUE, TRUE},
  };
  for (const auto& c : cases) {
    pB->SetBeginGroup(c.groupBefore);
    DROPEFFECT effect = DROPEFFECT_MOVE;
    pBar->OnCustomizeDrop(pB, effect, c.drop, c.drag);
    EXPECT_EQ(c.groupAfter, pB->GetBeginGroup()) << c.name;
    EXPECT_EQ((DROPEFFECT)5, effect) << c.name << ": the source keeps it";
    EXPECT_EQ(2, pBar->GetControlCount()) << c.name;
  }
  // The first control never starts a group by a drop on itself.
  CXTPControl* pA = pBar->GetControl(0);
  DROPEFFECT effect = DROPEFFECT_MOVE;
  pBar->OnCustomizeDrop(pA, effect, CPoint(35, 10), CPoint(25, 10));
  EXPECT_FALSE(pA->GetBeginGroup());
}

TEST_F(CoreFrame, ADropElsewhereInsertsACloneThatTakesTheGroupAndTheSelection) {
  CCoreBar* pBar = NewBar(CRect(10, 40, 310, 66), xtpBarTypeNormal);
  pBar->AddButton(1001, _T("A"));
  pBar->AddButton(1002, _T("B"))->SetBeginGroup(TRUE);
  CXTPControl* pSource = pMenuBar->AddButton(1050, _T("Source"));
  pFrame->nSelectionNotices = 0;
  DROPEFFECT effect = DROPEFFECT_COPY;
  pBar->OnCustomizeDrop(pSource, effect, CPoint(50, 10), CPoint(0, 0));  // before the centre of B
  ASSERT_EQ(3, pBar->GetControlCount());
  CXTPControl* pNew = pBar->GetControl(1);
  EXPECT_EQ(1050, pNew->GetID());
  EXPECT_NE(pSource, pNew);
  EXPECT_TRUE(pNew->GetBeginGroup()) << "the displaced control's group start moves to the new one";
  EXPECT_FALSE(pBar->GetControl(2)->GetBeginGroup());
  EXPECT_EQ(pNew, pCommandBars->GetDragControl());
  EXPECT_EQ(1, pFrame->nSelectionNotices) << "10327 to the site (no customize sheet)";
  EXPECT_EQ(DROPEFFECT_COPY, effect);
  EXPECT_TRUE(pBar->GetDropMarker().IsRectEmpty());
  pCommandBars->SetDragControl(NULL);
  EXPECT_EQ(2, pFrame->nSelectionNotices);
  pCommandBars->SetDragControl(NULL);
  EXPECT_EQ(2, pFrame->nSelectionNotices) << "no change, no notice";
}

TEST_F(CoreFrame, DragOverMarksAcceptedDropsAndCustomizeDrawingShowsThem) {
  CCoreBar* pBar = NewBar(CRect(10, 40, 310, 66), xtpBarTypeNormal);
  pBar->AddButton(1001, _T("A"));
  pBar->AddButton(1002, _T("B"));
  CXTPControl* pSource = pMenuBar->AddButton(1050, _T("Source"));
  EXPECT_NE(DROPEFFECT_NONE, pBar->OnCustomizeDragOver(pSource, CPoint(30, 10)));
  EXPECT_EQ(CRect(42, 2, 48, 24), pBar->GetDropMarker());
  pBar->OnCustomizeDragLeave();
  EXPECT_TRUE(pBar->GetDropMarker().IsRectEmpty());
  EXPECT_TRUE(pBar->OnCustomizeDragEnter(pSource, CPoint(10, 10)));
  EXPECT_EQ(CRect(2, 2, 8, 24), pBar->GetDropMarker());
  pBar->SetCustomizable(FALSE);
  EXPECT_EQ(DROPEFFECT_NONE, pBar->OnCustomizeDragOver(pSource, CPoint(10, 10))) << "a bar that is not customizable";
  pBar->SetCustomizable(TRUE);

  // In customize mode the drag control gets a double black frame and the mark is inverted.
  CXTPPaintManager::SetTheme(0);
  pCommandBars->SetCustomizeMode(TRUE);
  EXPECT_TRUE(pCommandBars->IsCustomizeMode());
  EXPECT_TRUE(pCommandBars->IsKeyboardCuesVisible());
  pCommandBars->SetDragControl(pBar->GetControl(1));
  pBar->OnCustomizeDragOver(pSource, CPoint(10, 10));
  CRect rcClient;
  pBar->GetClientRect(&rcClient);
  testsupport::CSnapshot shot(rcClient.Width(), rcClient.Height());
  pBar->SendMessage(WM_PRINT, (WPARAM)shot.DC().GetSafeHdc(), PRF_CLIENT);
  const COLORREF black = RGB(0, 0, 0);
  EXPECT_EQ(black, shot.DC().GetPixel(42, 10)) << "outer frame of the drag control";
  EXPECT_EQ(black, shot.DC().GetPixel(43, 10)) << "inner frame";
  EXPECT_EQ(black, shot.DC().GetPixel(60, 2));
  const COLORREF face = XTPGetColorManager()->GetColor(COLOR_BTNFACE);
  EXPECT_EQ(face, shot.DC().GetPixel(10, 20)) << "outside the mark the face stays";
  EXPECT_EQ(RGB(0, 0, 0), shot.DC().GetPixel(4, 12)) << "the mark's bar: face inverted by the face brush";
  EXPECT_EQ(RGB(0, 0, 0), shot.DC().GetPixel(3, 2)) << "the mark's top line";
  shot.SavePng(testsupport::ArtifactPath(L"commandbars/customize_drop_mark.png"));
  pCommandBars->SetCustomizeMode(FALSE);
  EXPECT_EQ(nullptr, pCommandBars->GetDragControl());
}

// ---- Command state -------------------------------------------------------------------------------

TEST_F(CoreFrame, CommandStateComesFromTheFramesHandlers) {
  CCoreBar* pBar = NewBar(CRect(10, 40, 310, 66), xtpBarTypeNormal);
  CXTPControl* pUpdated = pBar->AddButton(kUpdatedId, _T("Upd"));
  CXTPControl* pHandled = pBar->AddButton(kHandledId, _T("Hnd"));
  CXTPControl* pOrphan = pBar->AddButton(kOrphanId, _T("Orp"));
  CXTPControl* pManual = pBar->AddButton(kOrphanId, _T("Man"));
  pManual->SetFlags(xtpFlagManualUpdate);
  pManual->SetChecked(TRUE);

  const struct {
    const char* name;
    std::function<void(CCmdUI*)> update;
    BOOL enabled, checked;
    const wchar_t* caption;
  } cases[] = {
      {"enable and check", [](CCmdUI* p) { p->Enable(TRUE); p->SetCheck(1); }, TRUE, TRUE, L"Upd"},
      {"disable drops the check", [](CCmdUI* p) { p->SetCheck(1); p->Enable(FALSE); }, FALSE, FALSE, L"Upd"},
      {"text", [](CCmdUI* p) { p->Enable(TRUE); p->SetText(_T("New")); }, TRUE, FALSE, L"New"},
  };
  for (const auto& c : cases) {
    pFrame->update = c.update;
    pUpdated->SetPressed(2);
    pBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_EQ(c.enabled, pUpdated->GetEnabled()) << c.name;
    EXPECT_EQ(c.checked, pUpdated->GetChecked()) << c.name;
    EXPECT_EQ(std::wstring(c.caption), std::wstring(pUpdated->GetCaption())) << c.name;
    EXPECT_EQ(0, pUpdated->GetPressed()) << c.name << ": the executed mark is cleared";
    EXPECT_TRUE(pHandled->GetEnabled()) << c.name << ": a command handler enables";
    EXPECT_FALSE(pOrphan->GetEnabled()) << c.name << ": no handler, disabled when asked";
    EXPECT_TRUE(pManual->GetEnabled() && pManual->GetChecked()) << c.name << ": flag 8 keeps its state";
  }
  // Without "disable if no handler" the orphan keeps what it has.
  pOrphan->SetEnabled(TRUE);
  pBar->SendMessage(WM_IDLEUPDATECMDUI, FALSE);
  EXPECT_TRUE(pOrphan->GetEnabled());

  // A popup tracked with TPM_NONOTIFY takes no updates.
  pFrame->update = [](CCmdUI* p) { p->Enable(FALSE); };
  pUpdated->SetEnabled(TRUE);
  pBar->SetTrackFlags(FALSE, TRUE, FALSE);
  const int nCalls = pFrame->nUpdateCalls;
  pBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
  EXPECT_EQ(nCalls, pFrame->nUpdateCalls);
  EXPECT_TRUE(pUpdated->GetEnabled());
  pBar->SetTrackFlags(FALSE, FALSE, FALSE);

  // In customize mode every control is enabled.
  pCommandBars->SetCustomizeMode(TRUE);
  pBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
  for (int i = 0; i < pBar->GetControlCount(); i++) EXPECT_TRUE(pBar->GetControl(i)->GetEnabled()) << i;
  pCommandBars->SetCustomizeMode(FALSE);

  // A hidden bar is not updated.
  pBar->ShowWindow(SW_HIDE);
  const int nHiddenCalls = pFrame->nUpdateCalls;
  pBar->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
  EXPECT_EQ(nHiddenCalls, pFrame->nUpdateCalls);
}

// ---- Copy and clone ---------------------------------------------------------------------------

TEST_F(CoreFrame, CloneCopiesTheBarAndDuplicatesItsControls) {
  CCoreBar* pBar = NewBar(CRect(10, 40, 310, 66), xtpBarTypeNormal);
  pBar->SetTitle(_T("Formatting"));
  pBar->SetBarID(7);
  pBar->SetFlags(xtpFlagHideWrap);
  pBar->SetIconSize(CSize(24, 24));
  pBar->SetMRUWidth(140);
  pBar->AddButton(1001, _T("Bold"));
  pBar->AddButton(1002, _T("Italic"))->SetBeginGroup(TRUE);
  CXTPCommandBar* pClone = pBar->Clone(FALSE);
  ASSERT_NE(nullptr, pClone);
  EXPECT_EQ(CString(_T("Formatting")), pClone->GetTitle());
  EXPECT_EQ(7u, pClone->GetBarID());
  EXPECT_EQ((DWORD)xtpFlagHideWrap, pClone->GetFlags());
  EXPECT_EQ(CSize(24, 24), pClone->GetIconSize());
  EXPECT_EQ(140, pClone->GetMRUWidth());
  EXPECT_EQ(xtpBarTypeNormal, pClone->GetType());
  EXPECT_EQ(xtpBarTop, pClone->GetPosition());
  EXPECT_EQ(pCommandBars, pClone->GetCommandBars());
  ASSERT_EQ(2, pClone->GetControlCount());
  for (int i = 0; i < 2; i++) {
    EXPECT_NE(pBar->GetControl(i), pClone->GetControl(i));
    EXPECT_TRUE(pBar->GetControl(i)->Compare(pClone->GetControl(i))) << i;
    EXPECT_EQ(pClone, pClone->GetControl(i)->GetParent()) << i;
    EXPECT_EQ(i, pClone->GetControl(i)->GetIndex());
  }
  pClone->InternalRelease();
}

}  // namespace
