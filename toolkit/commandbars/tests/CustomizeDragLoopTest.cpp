// The customize drag loop with real input: the left button is held through SendInput, the
// loop captures the mouse, and a timer inside the loop sends the next move, key or release,
// so every message reaches the loop as a user's would.
#include <framework.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "CommandBarsTestSupport.h"
#include "XTPCommandBars.h"
#include "XTPControlButton.h"
#include "XTPControls.h"
#include "XTPCustomizeDropSource.h"
#include "XTPResourceManager.h"

namespace {

using cbtest::KeyEvent;
using cbtest::PumpFor;
using cbtest::SendButton;
using cbtest::SendMove;

// A bar as the drag loop sees it: it records what it is told and accepts or refuses.
class CDropBar : public CXTPCommandBar {
 public:
  BOOL bAccept = TRUE;
  DROPEFFECT changeTo = (DROPEFFECT)-1;  // what the drop turns the effect into, when set
  int nEnter = 0, nLeave = 0, nOver = 0, nDrop = 0;
  DROPEFFECT dropEffect = (DROPEFFECT)-1;
  CPoint ptDrop, ptStart, ptLastOver;
  std::vector<HCURSOR> cursorsAtOver;
  CXTPControl* pDropped = nullptr;

  BOOL CreateAt(const CRect& rc) {
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, cls, L"drop bar", WS_POPUP | WS_VISIBLE | WS_BORDER, rc.left,
                    rc.top, rc.Width(), rc.Height(), NULL, NULL);
  }
  BOOL IsVisible() const override { return m_hWnd != NULL && ::IsWindowVisible(m_hWnd); }
  BOOL OnCustomizeDragEnter(CXTPControl*, CPoint) override {
    nEnter++;
    return bAccept;
  }
  void OnCustomizeDragLeave() override { nLeave++; }
  DROPEFFECT OnCustomizeDragOver(CXTPControl*, CPoint point) override {
    nOver++;
    ptLastOver = point;
    cursorsAtOver.push_back(::GetCursor());
    return DROPEFFECT_MOVE;
  }
  void OnCustomizeDrop(CXTPControl* pControl, DROPEFFECT& effect, CPoint point, CPoint pointStart) override {
    nDrop++;
    dropEffect = effect;
    ptDrop = point;
    ptStart = pointStart;
    pDropped = pControl;
    if (changeTo != (DROPEFFECT)-1) effect = changeTo;
  }
};

// A button that counts the hover the loop gives it on the first move.
class CHoverButton : public CXTPControlButton {
 public:
  int nHover = 0;
  void OnCustomizeDragHover(CXTPControl* pDataObject) override {
    nHover++;
    CXTPControlButton::OnCustomizeDragHover(pDataObject);
  }
};

// ---- Steps played inside the loop, one a timer tick (input sent without pumping) ----------
std::vector<std::function<void()>> g_steps;
size_t g_nNext = 0;
int g_nIdleTicks = 0;
bool g_bForcedEnd = false;

VOID CALLBACK StepTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (g_nNext < g_steps.size()) {
    g_steps[g_nNext++]();
    return;
  }
  // A loop still running long after the script ended is a failure: end it by taking the
  // capture away.
  if (++g_nIdleTicks > 50) {
    g_bForcedEnd = true;
    ::ReleaseCapture();
  }
}

class CustomizeDragLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(testsupport::CreateTestWindow(m_site, CRect(20, 20, 700, 500), L"site"));
    m_pCommandBars = static_cast<CXTPCommandBars*>(RUNTIME_CLASS(CXTPCommandBars)->CreateObject());
    m_pCommandBars->SetSite(&m_site);
    m_pSource = NewBar(CRect(60, 60, 360, 90));
    m_pBarB = NewBar(CRect(60, 200, 360, 230));
    m_pButton = new CHoverButton();
    m_pSource->GetControls()->Add(m_pButton, 1001);
    cbtest::Activate(m_site.m_hWnd);
    m_site.SetFocus();  // keys reach the loop as WM_KEYDOWN only with a focus window
    PumpFor(50);
  }
  void TearDown() override {
    KeyEvent(VK_CONTROL, true);
    SendButton(MOUSEEVENTF_LEFTUP);
    PumpFor(30);
    for (CDropBar* pBar : m_bars) {
      m_pCommandBars->GetDropSource()->Unregister(pBar);
      pBar->DestroyWindow();
      pBar->InternalRelease();
    }
    m_pCommandBars->InternalRelease();
    m_site.DestroyWindow();
    cbtest::ParkPointer();
  }
  CDropBar* NewBar(const CRect& rc) {
    auto* pBar = new CDropBar();
    EXPECT_TRUE(pBar->CreateAt(rc));
    m_pCommandBars->GetDropSource()->Register(pBar);
    m_bars.push_back(pBar);
    return pBar;
  }
  static CPoint Centre(CWnd* pWnd) {
    CRect rc;
    pWnd->GetWindowRect(&rc);
    return rc.CenterPoint();
  }
  // Holds the left button at the start point, runs the drag and plays the steps in it.
  DROPEFFECT Drag(CPoint ptStartAt, std::vector<std::function<void()>> steps, BOOL bCopyOnly = FALSE,
                  CXTPControl* pControl = nullptr) {
    cbtest::MovePointer(ptStartAt);
    SendButton(MOUSEEVENTF_LEFTDOWN);
    PumpFor(40);
    g_steps = std::move(steps);
    g_nNext = 0;
    g_nIdleTicks = 0;
    g_bForcedEnd = false;
    const UINT_PTR nTimer = ::SetTimer(NULL, 0, 30, StepTimer);
    const DROPEFFECT result =
        m_pCommandBars->GetDropSource()->DoDragDrop(pControl != nullptr ? pControl : m_pButton, bCopyOnly);
    ::KillTimer(NULL, nTimer);
    EXPECT_FALSE(g_bForcedEnd) << "the loop did not end by itself";
    EXPECT_EQ(g_steps.size(), g_nNext) << "the loop ended before the script did";
    EXPECT_NE(m_site.m_hWnd, ::GetCapture());
    return result;
  }
  HCURSOR Cursor(UINT nID) { return XTPResourceManager()->LoadCursor(nID); }

  CWnd m_site;
  CXTPCommandBars* m_pCommandBars = nullptr;
  std::vector<CDropBar*> m_bars;
  CDropBar* m_pSource = nullptr;
  CDropBar* m_pBarB = nullptr;
  CHoverButton* m_pButton = nullptr;
};

TEST_F(CustomizeDragLoop, PressAndReleaseWithoutMovingChangesNothing) {
  const DROPEFFECT result = Drag(Centre(m_pSource), {[] { SendButton(MOUSEEVENTF_LEFTUP); }});
  EXPECT_EQ(5u, result);
  EXPECT_EQ(0, m_pButton->nHover);
  for (CDropBar* pBar : m_bars) EXPECT_EQ(0, pBar->nEnter + pBar->nDrop + pBar->nOver);
}

TEST_F(CustomizeDragLoop, ReleaseOverAnotherBarMovesTheControl) {
  const CPoint start = Centre(m_pSource);
  const CPoint target = Centre(m_pBarB);
  const DROPEFFECT result = Drag(start, {[&] { SendMove(target); }, [&] { SendMove(target + CSize(10, 0)); },
                                         [] { SendButton(MOUSEEVENTF_LEFTUP); }});
  EXPECT_EQ((DROPEFFECT)DROPEFFECT_MOVE, result);
  EXPECT_EQ(1, m_pButton->nHover);  // the first move only
  EXPECT_EQ(1, m_pBarB->nEnter);
  EXPECT_EQ(1, m_pBarB->nOver);
  EXPECT_EQ(1, m_pBarB->nDrop);
  EXPECT_EQ(0, m_pBarB->nLeave);
  EXPECT_EQ((DROPEFFECT)DROPEFFECT_MOVE, m_pBarB->dropEffect);
  EXPECT_EQ(m_pButton, m_pBarB->pDropped);
  // Points in the target's client coordinates: the drop where released, the start where pressed.
  CPoint drop = target + CSize(10, 0), startClient = start;
  m_pBarB->ScreenToClient(&drop);
  m_pBarB->ScreenToClient(&startClient);
  EXPECT_EQ(drop, m_pBarB->ptDrop);
  EXPECT_EQ(startClient, m_pBarB->ptStart);
  // Over a bar the move cursor shows.
  ASSERT_EQ(1u, m_pBarB->cursorsAtOver.size());
  EXPECT_EQ(Cursor(9302), m_pBarB->cursorsAtOver[0]);
  EXPECT_EQ(::LoadCursorW(NULL, IDC_ARROW), ::GetCursor());
}

TEST_F(CustomizeDragLoop, CtrlCopies) {
  const CPoint target = Centre(m_pBarB);
  HCURSOR hAfterKeyDown = NULL, hAfterKeyUp = NULL;
  // A move with Ctrl held (the message's key flags) turns the drag into a copy. The move is
  // posted with its flags: under Wine the pointer's own echo of a SendInput move carries the
  // X server's modifiers, which never saw the SendInput Ctrl.
  DROPEFFECT result = Drag(Centre(m_pSource), {[&] { SendMove(target); },
                                               [&] {
                                                 CPoint pt = target;
                                                 m_site.ScreenToClient(&pt);
                                                 m_site.PostMessage(WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL,
                                                                    MAKELPARAM(pt.x, pt.y));
                                               },
                                               [] { SendButton(MOUSEEVENTF_LEFTUP); }});
  EXPECT_EQ((DROPEFFECT)DROPEFFECT_COPY, result);
  EXPECT_EQ((DROPEFFECT)DROPEFFECT_COPY, m_pBarB->dropEffect);
  ASSERT_EQ(1u, m_pBarB->cursorsAtOver.size());
  EXPECT_EQ(Cursor(9302), m_pBarB->cursorsAtOver.back());  // before the Ctrl move: move

  // Ctrl pressed and let go over the bar switches the cursor both ways; pressed at the
  // release it copies.
  m_pBarB->nDrop = 0;
  result = Drag(Centre(m_pSource), {[&] { SendMove(target); }, [] { KeyEvent(VK_CONTROL, false); },
                                    [&] { hAfterKeyDown = ::GetCursor(); }, [] { KeyEvent(VK_CONTROL, true); },
                                    [&] { hAfterKeyUp = ::GetCursor(); }, [] { KeyEvent(VK_CONTROL, false); },
                                    [] { SendButton(MOUSEEVENTF_LEFTUP); }});
  EXPECT_EQ(Cursor(9301), hAfterKeyDown);
  EXPECT_EQ(Cursor(9302), hAfterKeyUp);
  EXPECT_EQ((DROPEFFECT)DROPEFFECT_COPY, result);
  EXPECT_EQ(1, m_pBarB->nDrop);
}

TEST_F(CustomizeDragLoop, ReleaseOffEveryBarGivesZero) {
  const CPoint target = Centre(m_pBarB);
  const CPoint nowhere(500, 400);  // inside the site, on no bar
  HCURSOR hOffBars = NULL;
  const DROPEFFECT result = Drag(Centre(m_pSource), {[&] { SendMove(target); }, [&] { SendMove(nowhere); },
                                                     [&] { hOffBars = ::GetCursor(); },
                                                     [] { SendButton(MOUSEEVENTF_LEFTUP); }});
  EXPECT_EQ(0u, result);
  EXPECT_EQ(1, m_pBarB->nEnter);
  EXPECT_EQ(1, m_pBarB->nLeave);
  EXPECT_EQ(0, m_pBarB->nDrop);
  EXPECT_EQ(Cursor(9303), hOffBars);
}

// Escape, the right button and a lost capture cancel; the bar under the pointer loses its mark.
TEST_F(CustomizeDragLoop, EscapeRightButtonAndLostCaptureCancel) {
  const CPoint target = Centre(m_pBarB);
  CWnd other;
  ASSERT_TRUE(testsupport::CreateTestWindow(other, CRect(600, 600, 640, 640), L"other"));
  const struct {
    const char* name;
    std::function<void()> cancel;
  } cases[] = {
      {"escape", [] { KeyEvent(VK_ESCAPE, false); }},
      {"right button", [] { SendButton(MOUSEEVENTF_RIGHTDOWN); }},
      {"lost capture", [&] { other.SetCapture(); }},
  };
  for (const auto& c : cases) {
    m_pBarB->nLeave = m_pBarB->nDrop = 0;
    cbtest::Activate(m_site.m_hWnd);
    m_site.SetFocus();
    const DROPEFFECT result = Drag(Centre(m_pSource), {[&] { SendMove(target); }, c.cancel});
    // The lost capture leaves it with the other window; the others end with none.
    if (::GetCapture() == other.m_hWnd) ::ReleaseCapture();
    EXPECT_EQ(5u, result) << c.name;
    EXPECT_EQ(1, m_pBarB->nLeave) << c.name;
    EXPECT_EQ(0, m_pBarB->nDrop) << c.name;
    KeyEvent(VK_ESCAPE, true);
    SendButton(MOUSEEVENTF_RIGHTUP);
    SendButton(MOUSEEVENTF_LEFTUP);
    PumpFor(60);
  }
  other.DestroyWindow();
}

TEST_F(CustomizeDragLoop, FromTheCommandListTheCopyCursorShowsYetTheEffectIsMove) {
  const CPoint target = Centre(m_pBarB);
  CXTPControlButton* pListed = new CXTPControlButton();  // a command of a list: on no bar
  const DROPEFFECT result = Drag(CPoint(500, 400),
                                 {[&] { SendMove(target); }, [&] { SendMove(target + CSize(3, 0)); },
                                  [] { SendButton(MOUSEEVENTF_LEFTUP); }},
                                 TRUE, pListed);
  EXPECT_EQ((DROPEFFECT)DROPEFFECT_MOVE, result);
  ASSERT_FALSE(m_pBarB->cursorsAtOver.empty());
  EXPECT_EQ(Cursor(9301), m_pBarB->cursorsAtOver.back());
  EXPECT_EQ(pListed, m_pBarB->pDropped);
  pListed->InternalRelease();
}

// An open submenu lies over the bar it came from: registered last, it takes the drop, and a
// list command shows the copy cursor in it.
TEST_F(CustomizeDragLoop, TheBarRegisteredLastWinsWhereBarsOverlap) {
  CDropBar* pSubmenu = NewBar(CRect(200, 180, 320, 320));
  const CPoint overlap(250, 215);
  const DROPEFFECT result = Drag(Centre(m_pSource), {[&] { SendMove(overlap); }, [&] { SendMove(overlap + CSize(2, 2)); },
                                                     [] { SendButton(MOUSEEVENTF_LEFTUP); }},
                                 TRUE);
  EXPECT_EQ((DROPEFFECT)DROPEFFECT_MOVE, result);
  EXPECT_EQ(1, pSubmenu->nDrop);
  EXPECT_EQ(0, m_pBarB->nEnter);
  ASSERT_FALSE(pSubmenu->cursorsAtOver.empty());
  EXPECT_EQ(Cursor(9301), pSubmenu->cursorsAtOver.back());
  // A hidden bar is passed over.
  pSubmenu->ShowWindow(SW_HIDE);
  pSubmenu->nDrop = 0;
  Drag(Centre(m_pSource), {[&] { SendMove(overlap); }, [] { SendButton(MOUSEEVENTF_LEFTUP); }});
  EXPECT_EQ(0, pSubmenu->nDrop);
  EXPECT_EQ(1, m_pBarB->nDrop);
}

TEST_F(CustomizeDragLoop, TargetsDecideTheFinalEffectAndMayRefuse) {
  const CPoint target = Centre(m_pBarB);
  // Dropped on itself: the target answers "cancelled".
  m_pBarB->changeTo = 5;
  DROPEFFECT result = Drag(Centre(m_pSource), {[&] { SendMove(target); }, [] { SendButton(MOUSEEVENTF_LEFTUP); }});
  EXPECT_EQ(5u, result);
  EXPECT_EQ(1, m_pBarB->nDrop);
  // A bar that refuses the control is no target: no-drop cursor, nothing dropped.
  m_pBarB->bAccept = FALSE;
  m_pBarB->nDrop = 0;
  HCURSOR hRefused = NULL;
  result = Drag(Centre(m_pSource), {[&] { SendMove(target); }, [&] { hRefused = ::GetCursor(); },
                                    [] { SendButton(MOUSEEVENTF_LEFTUP); }});
  EXPECT_EQ(0u, result);
  EXPECT_EQ(0, m_pBarB->nDrop);
  EXPECT_EQ(Cursor(9303), hRefused);
}

TEST_F(CustomizeDragLoop, QuitDuringTheDragIsPostedAgain) {
  const CPoint target = Centre(m_pBarB);
  const DROPEFFECT result = Drag(Centre(m_pSource), {[&] { SendMove(target); }, [] { ::PostQuitMessage(7); }});
  EXPECT_EQ(5u, result);
  EXPECT_EQ(1, m_pBarB->nLeave);
  MSG msg;
  bool bQuit = false;
  while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      bQuit = true;
      EXPECT_EQ(7u, msg.wParam);
      break;
    }
    ::DispatchMessageW(&msg);
  }
  EXPECT_TRUE(bQuit);
}

// The button let go where the loop never saw it: the next move without the button drops.
TEST_F(CustomizeDragLoop, AMoveWithoutTheButtonCountsAsTheRelease) {
  const CPoint target = Centre(m_pBarB);
  const DROPEFFECT result = Drag(Centre(m_pSource), {[&] { SendMove(target); },
                                                     [&] {
                                                       CPoint pt = target;
                                                       m_site.ScreenToClient(&pt);
                                                       m_site.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
                                                     }});
  EXPECT_EQ((DROPEFFECT)DROPEFFECT_MOVE, result);
  EXPECT_EQ(1, m_pBarB->nDrop);
}

}  // namespace
