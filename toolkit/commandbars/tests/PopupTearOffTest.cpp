// Tearing a popup bar off into a floating toolbar, with a real frame, its command bars and
// real mouse input sent from inside the drag loop: the gripper turns hot under the cursor;
// dragging 11 pixels away shows a floating toolbar under the cursor (marked torn off, a
// copy of the menu's controls), dragging back shows the menu again; the release leaves the
// toolbar and closes the menus; a second tear-off shows the same toolbar again; Escape
// ends the drag with whichever is shown; a quit posted during the drag ends it and reaches
// the thread; the toolbar's close button removes it for good. Screenshots kept.
#include <framework.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include <test_picture.h>

#include "CommandBarsTestSupport.h"
#include "XTPCommandBars.h"
#include "XTPControl.h"
#include "XTPControls.h"
#include "XTPFrameWnd.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"
#include "XTPToolBar.h"

using namespace cbtest;

namespace {

const UINT kTearOffId = 500;

// Steps run one by one from a timer while the drag loop runs.
std::vector<std::function<void()>> g_steps;
size_t g_nextStep = 0;

void CALLBACK StepProc(HWND hWnd, UINT, UINT_PTR idEvent, DWORD) {
  if (g_nextStep >= g_steps.size()) {
    ::KillTimer(hWnd, idEvent);
    return;
  }
  g_steps[g_nextStep++]();
}

void MouseButton(bool down) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  ::SendInput(1, &in, sizeof(INPUT));
}

// Moves the pointer without pumping (the drag loop pumps).
void MoveTo(CPoint pt) {
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = (pt.x * 65535 + cx / 2) / (cx - 1);
  in.mi.dy = (pt.y * 65535 + cy / 2) / (cy - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &in, sizeof(INPUT));
}

void ShootScreen(CRect rc, const wchar_t* name) {
  rc.InflateRect(8, 8);
  testsupport::CSnapshot shot(rc.Width(), rc.Height());
  HDC hScreen = ::GetDC(NULL);
  ::BitBlt(shot.DC().GetSafeHdc(), 0, 0, rc.Width(), rc.Height(), hScreen, rc.left, rc.top, SRCCOPY);
  ::ReleaseDC(NULL, hScreen);
  EXPECT_TRUE(shot.SavePng(testsupport::ArtifactPath(name)));
}

class PopupTearOff : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    ParkPointer();
    CXTPPaintManager::SetTheme(GetParam());
    pFrame = new CXTPFrameWnd();
    ASSERT_TRUE(pFrame->Create(NULL, L"tear-off frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 760, 560)));
    pFrame->m_pCommandBars = (CXTPCommandBars*)RUNTIME_CLASS(CXTPCommandBars)->CreateObject();
    pBars = pFrame->m_pCommandBars;
    pBars->SetSite(pFrame);
    pBars->CreateDockBars();
    Activate(pFrame->GetSafeHwnd());
    pPopup = CXTPPopupBar::CreatePopupBar(pBars);
    ASSERT_NE(nullptr, pPopup);
    pPopup->SetTearOffPopup(_T("Tools"), kTearOffId, 180);
    const wchar_t* captions[] = {L"&Alpha", L"&Beta", L"&Gamma", L"&Delta"};
    for (int i = 0; i < 4; i++) {
      CXTPControl* pControl = pPopup->GetControls()->Add(xtpControlButton, 2001 + i);
      pControl->SetCaption(captions[i]);
    }
    pPopup->GetControl(2)->SetBeginGroup(TRUE);
    g_steps.clear();
    g_nextStep = 0;
  }
  void TearDown() override {
    XTPMouseManager()->CloseAllTrackingBars();
    if (pPopup != NULL) pPopup->InternalRelease();
    if (::IsWindow(hFrame())) pFrame->DestroyWindow();
    CXTPPaintManager::SetTheme(0);
    ParkPointer();
    PumpFor(20);
  }
  HWND hFrame() const { return pFrame != NULL ? pFrame->GetSafeHwnd() : NULL; }

  // Opens the popup and rests the pointer on its gripper until it turns hot; the
  // gripper's screen rectangle.
  CRect OpenAndHover() {
    EXPECT_TRUE(pPopup->PopupAt(300, 200));
    PumpFor(60);
    CRect rcGripper = pPopup->GetTearOffGripperRect();
    EXPECT_GT(rcGripper.Height(), 0);
    pPopup->ClientToScreen(&rcGripper);
    MovePointer(rcGripper.CenterPoint());
    NudgePointer();
    EXPECT_TRUE(PumpUntil([&] { return pPopup->IsTearOffGripperHot() != FALSE; }, 1000));
    return rcGripper;
  }
  // Presses on the gripper and runs the steps inside the drag loop.
  void Drag(std::vector<std::function<void()>> steps, DWORD stepMs = 120) {
    g_steps = std::move(steps);
    g_nextStep = 0;
    ::SetTimer(hFrame(), 77, stepMs, &StepProc);
    MouseButton(true);
    PumpUntil([&] { return g_nextStep >= g_steps.size() && !pPopup->IsTearOffDragging(); }, 8000);
    ::KillTimer(hFrame(), 77);
    PumpFor(60);
  }

  CXTPFrameWnd* pFrame = NULL;
  CXTPCommandBars* pBars = NULL;
  CXTPPopupBar* pPopup = NULL;
};

TEST_P(PopupTearOff, DraggingOffShowsAFloatingToolbarAndBackShowsTheMenu) {
  const CRect rcGripper = OpenAndHover();
  ShootScreen([&] {
    CRect rc;
    pPopup->GetWindowRect(&rc);
    return rc;
  }(), GetParam() == 0 ? L"commandbars/popup_tearoff_gripper_theme0.png" : L"commandbars/popup_tearoff_gripper_theme3.png");
  const int nBars = pBars->GetCount();
  const CPoint ptNear(rcGripper.left - 10, rcGripper.CenterPoint().y);  // within reach
  const CPoint ptOut(rcGripper.left - 11, rcGripper.CenterPoint().y);   // 11 pixels away
  const CPoint ptFar(rcGripper.left - 150, rcGripper.top + 120);
  struct Seen {
    bool bPopupShown = false;
    CXTPToolBar* pTorn = NULL;
    bool bTornShown = false;
    CRect rcTorn;
    bool bCapture = false;
  } atNear, atOut, atBack, atFar;
  auto look = [&](Seen& s) {
    s.bPopupShown = pPopup->GetSafeHwnd() != NULL && ::IsWindowVisible(pPopup->GetSafeHwnd());
    s.pTorn = pPopup->GetTearOffBar();
    s.bTornShown = s.pTorn != NULL && ::IsWindowVisible(s.pTorn->GetSafeHwnd());
    if (s.pTorn != NULL) s.pTorn->GetWindowRect(&s.rcTorn);
    s.bCapture = ::GetCapture() == pPopup->GetSafeHwnd();
  };
  Drag({[&] { MoveTo(ptNear); }, [&] { look(atNear); }, [&] { MoveTo(ptOut); }, [&] { look(atOut); },
        [&] { MoveTo(ptNear); }, [&] { look(atBack); }, [&] { MoveTo(ptFar); }, [&] { look(atFar); },
        [&] { MouseButton(false); }});

  EXPECT_TRUE(atNear.bCapture) << "the drag holds the mouse";
  EXPECT_TRUE(atNear.bPopupShown);
  EXPECT_EQ(nullptr, atNear.pTorn) << "within 10 pixels nothing is torn off";

  EXPECT_FALSE(atOut.bPopupShown);
  ASSERT_NE(nullptr, atOut.pTorn);
  EXPECT_TRUE(atOut.bTornShown);
  EXPECT_EQ(ptOut.y - 10, atOut.rcTorn.top) << "10 pixels above the cursor";
  EXPECT_NEAR(ptOut.x, atOut.rcTorn.CenterPoint().x, 1) << "centred on the cursor";

  EXPECT_TRUE(atBack.bPopupShown) << "back within reach: the menu again";
  EXPECT_EQ(nullptr, atBack.pTorn);
  EXPECT_TRUE(atFar.bTornShown);

  // After the release: the toolbar stays where it was dropped, the menus are closed.
  CXTPToolBar* pTorn = pBars->GetToolBar(kTearOffId);
  ASSERT_NE(nullptr, pTorn);
  EXPECT_EQ(atFar.pTorn, pTorn);
  EXPECT_EQ(nBars + 1, pBars->GetCount());
  EXPECT_TRUE(pTorn->IsTearOff());
  EXPECT_FALSE(pTorn->IsBuiltIn());
  EXPECT_EQ(xtpBarFloating, pTorn->GetPosition());
  EXPECT_TRUE(pTorn->IsVisible());
  EXPECT_EQ(CString(_T("Tools")), pTorn->GetTitle());
  EXPECT_EQ(180, pTorn->GetMRUWidth());
  EXPECT_FALSE(pPopup->IsTrackingMode());
  EXPECT_EQ(0, XTPMouseManager()->GetTrackingBarCount());
  EXPECT_EQ(0, XTPMouseManager()->GetLockCount());
  EXPECT_EQ(nullptr, ::GetCapture());
  // A copy of the menu's controls, shown, without the menu's expand row.
  int nCopies = 0;
  for (int i = 0; i < pTorn->GetControlCount(); i++) {
    CXTPControl* pControl = pTorn->GetControl(i);
    if (pControl->GetID() >= 2001 && pControl->GetID() <= 2004) {
      nCopies++;
      EXPECT_EQ(0u, pControl->GetHideFlags() & (xtpHideScroll | xtpHideExpand));
      EXPECT_NE(pPopup->GetControls()->FindControl(pControl->GetID()), pControl) << "a copy";
    }
    EXPECT_NE(9402, pControl->GetID());
  }
  EXPECT_EQ(4, nCopies);
  CRect rcTorn;
  pTorn->GetWindowRect(&rcTorn);
  EXPECT_EQ(ptFar.y - 10, rcTorn.top);
  PumpFor(100);
  ShootScreen(rcTorn, GetParam() == 0 ? L"commandbars/torn_off_toolbar_theme0.png"
                                      : L"commandbars/torn_off_toolbar_theme3.png");

  // A torn-off bar hidden by code leaves the bars too.
  pTorn->SetVisible(FALSE);
  PumpFor(50);
  ASSERT_EQ(nullptr, pBars->GetToolBar(kTearOffId)) << "hidden torn-off bar removed";
}

TEST_P(PopupTearOff, ASecondTearOffShowsTheToolbarMadeTheFirstTime) {
  CRect rcGripper = OpenAndHover();
  Drag({[&] { MoveTo(CPoint(rcGripper.left - 80, rcGripper.top + 60)); }, [] { MouseButton(false); }});
  CXTPToolBar* pFirst = pBars->GetToolBar(kTearOffId);
  ASSERT_NE(nullptr, pFirst);
  const int nBars = pBars->GetCount();
  ParkPointer();

  rcGripper = OpenAndHover();
  CXTPToolBar* pSeen = NULL;
  Drag({[&] { MoveTo(CPoint(rcGripper.left - 120, rcGripper.top + 90)); },
        [&] { pSeen = pPopup->GetTearOffBar(); }, [] { MouseButton(false); }});
  EXPECT_EQ(pFirst, pSeen);
  EXPECT_EQ(pFirst, pBars->GetToolBar(kTearOffId));
  EXPECT_EQ(nBars, pBars->GetCount()) << "no second toolbar";
  CRect rc;
  pFirst->GetWindowRect(&rc);
  EXPECT_EQ(rcGripper.top + 90 - 10, rc.top) << "moved under the cursor";
}

TEST_P(PopupTearOff, EscapeEndsTheDragWithWhicheverIsShown) {
  // Escape while the menu shows: the menu stays open and tracking, nothing is torn off.
  CRect rcGripper = OpenAndHover();
  Drag({[&] { MoveTo(CPoint(rcGripper.left - 5, rcGripper.top)); }, [] { KeyEvent(VK_ESCAPE, false); KeyEvent(VK_ESCAPE, true); }, [] {}});
  EXPECT_FALSE(pPopup->IsTearOffDragging());
  EXPECT_TRUE(pPopup->IsTrackingMode());
  EXPECT_TRUE(::IsWindowVisible(pPopup->GetSafeHwnd()));
  EXPECT_EQ(nullptr, pBars->GetToolBar(kTearOffId));
  MouseButton(false);
  PumpFor(60);
  pPopup->CancelTracking();
  PumpFor(30);
  ParkPointer();

  // Escape while the toolbar shows: the toolbar stays.
  rcGripper = OpenAndHover();
  Drag({[&] { MoveTo(CPoint(rcGripper.left - 60, rcGripper.top + 40)); }, [] { KeyEvent(VK_ESCAPE, false); KeyEvent(VK_ESCAPE, true); }, [] {}});
  EXPECT_FALSE(pPopup->IsTearOffDragging());
  CXTPToolBar* pTorn = pBars->GetToolBar(kTearOffId);
  ASSERT_NE(nullptr, pTorn);
  EXPECT_TRUE(::IsWindowVisible(pTorn->GetSafeHwnd()));
  EXPECT_FALSE(pPopup->IsTrackingMode());
  MouseButton(false);
  PumpFor(60);
}

TEST_P(PopupTearOff, AQuitDuringTheDragEndsItAndReachesTheThread) {
  const CRect rcGripper = OpenAndHover();
  g_steps = {[&] { MoveTo(CPoint(rcGripper.left - 3, rcGripper.top)); }, [] { ::PostQuitMessage(31); }};
  g_nextStep = 0;
  ::SetTimer(hFrame(), 77, 120, &StepProc);
  MouseButton(true);
  // The thread's own loop: the drag runs inside one dispatch, the quit must come back out.
  bool bQuit = false;
  const DWORD t0 = ::GetTickCount();
  MSG msg;
  while (!bQuit && ::GetTickCount() - t0 < 5000) {
    if (!::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
      ::MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
      continue;
    }
    if (msg.message == WM_QUIT) {
      bQuit = true;
      EXPECT_EQ(31, (int)msg.wParam);
      break;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessage(&msg);
  }
  ::KillTimer(hFrame(), 77);
  EXPECT_TRUE(bQuit);
  EXPECT_EQ(2u, g_nextStep) << "the quit came from inside the drag";
  EXPECT_FALSE(pPopup->IsTearOffDragging());
  EXPECT_EQ(0, XTPMouseManager()->GetLockCount());
  EXPECT_NE(pPopup->GetSafeHwnd(), ::GetCapture());
  MouseButton(false);
  PumpFor(60);
}

TEST_P(PopupTearOff, TheCloseButtonRemovesTheTornOffToolbarForGood) {
  const CRect rcGripper = OpenAndHover();
  Drag({[&] { MoveTo(CPoint(rcGripper.left - 100, rcGripper.top + 80)); }, [] { MouseButton(false); }});
  CXTPToolBar* pTorn = pBars->GetToolBar(kTearOffId);
  ASSERT_NE(nullptr, pTorn);
  const int nBars = pBars->GetCount();
  CXTPControl* pClose = pTorn->GetControls()->FindControl(9401);
  ASSERT_NE(nullptr, pClose);
  ASSERT_TRUE(pClose->IsVisible());
  CRect rcClose = pClose->GetRect();
  pTorn->ClientToScreen(&rcClose);
  const HWND hTorn = pTorn->GetSafeHwnd();
  ClickAt(rcClose.CenterPoint(), false, 0);
  // Hidden at once, released once the click's handling has returned.
  PumpUntil([&] { return pBars->GetToolBar(kTearOffId) == NULL; }, 2000);
  EXPECT_EQ(nullptr, pBars->GetToolBar(kTearOffId));
  EXPECT_EQ(nBars - 1, pBars->GetCount());
  EXPECT_FALSE(::IsWindow(hTorn) && ::IsWindowVisible(hTorn));

  // The next tear-off makes a new one.
  ParkPointer();
  const CRect rcAgain = OpenAndHover();
  Drag({[&] { MoveTo(CPoint(rcAgain.left - 100, rcAgain.top + 80)); }, [] { MouseButton(false); }});
  EXPECT_NE(nullptr, pBars->GetToolBar(kTearOffId));
  EXPECT_EQ(nBars, pBars->GetCount());
}

INSTANTIATE_TEST_SUITE_P(Themes, PopupTearOff, ::testing::Values(0, 3));

}  // namespace
