// Popup menus tracked over a menu resource with a submenu, driven by real keys and mouse
// input sent from inside the tracking loop: arrows, Enter, Escape back to the parent,
// mnemonics (an ambiguous one only selects), hover opening after 300 ms, a click outside
// and Alt closing everything; TPM_RETURNCMD answering the id without WM_COMMAND; a
// WM_QUIT posted while the menu tracks ending the loop. Screenshot of the open submenu.
#include <framework.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include <test_picture.h>

#include "CommandBarsTestSupport.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPControls.h"
#include "XTPControl.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"

using namespace cbtest;

namespace {

const UINT kMenuId = 300;

// A site that records WM_COMMAND ids.
class CMenuSite : public CWnd {
 public:
  std::vector<UINT> commands;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND && lParam == 0) commands.push_back(LOWORD(wParam));
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

// Steps run one by one from a timer while the menu tracks.
std::vector<std::function<void()>> g_steps;
size_t g_nextStep = 0;

void CALLBACK StepProc(HWND hWnd, UINT, UINT_PTR idEvent, DWORD) {
  if (g_nextStep >= g_steps.size()) {
    ::KillTimer(hWnd, idEvent);
    return;
  }
  g_steps[g_nextStep++]();
}

void Press(WORD vk) {
  KeyEvent(vk, false);
  KeyEvent(vk, true);
}

// The open popups, outermost first.
std::vector<CXTPCommandBar*> OpenPopups() {
  std::vector<CXTPCommandBar*> bars;
  CXTPMouseManager* pMouse = XTPMouseManager();
  for (int i = 0; i < pMouse->GetTrackingBarCount(); i++) bars.push_back(pMouse->GetTrackingBar(i));
  return bars;
}

// The screen rectangle of the control with the id on the open popups.
CRect ItemRect(int nId) {
  for (CXTPCommandBar* pBar : OpenPopups()) {
    for (int i = 0; i < pBar->GetControlCount(); i++) {
      CXTPControl* pControl = pBar->GetControl(i);
      if (pControl->GetID() == nId || (nId == -1 && pControl->GetType() == xtpControlPopup)) {
        CRect rc = pControl->GetRect();
        pBar->ClientToScreen(&rc);
        return rc;
      }
    }
  }
  return CRect(0, 0, 0, 0);
}

// A paint manager that measures and draws menu rows plainly: the caption in the control
// font on a menu-coloured row, selected rows inverted, a box for submenu rows. The tests
// need real row sizes to point at items; the themes draw the rows of the program.
class CMenuRowPaintManager : public CShadowPaintManager {
 public:
  CMenuRowPaintManager() : CShadowPaintManager(FALSE) {}
  CSize DrawPopupItem(CDC* pDC, CXTPControl* pControl, BOOL bDraw) override {
    CString strCaption = pControl->GetCaption();
    strCaption.Remove(_T('&'));
    const CSize szText = pDC->GetTextExtent(strCaption);
    const CSize sz(szText.cx + 60, 20);
    if (bDraw) {
      const CRect rc = pControl->GetRect();
      const BOOL bSelected = pControl->GetSelected() != 0;
      pDC->FillSolidRect(rc, bSelected ? RGB(10, 36, 106) : RGB(240, 240, 240));
      pDC->SetBkMode(TRANSPARENT);
      pDC->SetTextColor(bSelected ? RGB(255, 255, 255) : RGB(0, 0, 0));
      pDC->TextOut(rc.left + 24, rc.top + 3, strCaption);
      if (pControl->GetType() == xtpControlPopup)
        pDC->FillSolidRect(CRect(rc.right - 12, rc.top + 7, rc.right - 6, rc.top + 13), pDC->GetTextColor());
    }
    return sz;
  }
  void DrawBarBackground(CDC* pDC, CXTPCommandBar* pBar) override {
    CRect rc;
    pBar->GetClientRect(&rc);
    pDC->FillSolidRect(rc, RGB(240, 240, 240));
    pDC->Draw3dRect(rc, RGB(128, 128, 128), RGB(64, 64, 64));
  }
};

class PopupMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    ParkPointer();
    CXTPPaintManager::SetCustomTheme(new CMenuRowPaintManager());
    ASSERT_NE(nullptr, XTPPaintManager());
    ASSERT_TRUE(testsupport::CreateTestWindow(site, CRect(60, 60, 700, 560), L"menu site"));
    Activate(site.GetSafeHwnd());
    ASSERT_TRUE(menu.LoadMenu(kMenuId));
    g_steps.clear();
    g_nextStep = 0;
  }
  void TearDown() override {
    XTPMouseManager()->CloseAllTrackingBars();
    CXTPPaintManager::SetTheme(0);
    site.DestroyWindow();
    PumpFor(20);
  }
  // Tracks the menu's first submenu at a point in the site while the steps run.
  int Track(UINT nFlags, std::vector<std::function<void()>> steps, DWORD stepMs = 150) {
    g_steps = std::move(steps);
    g_nextStep = 0;
    ::SetTimer(site.GetSafeHwnd(), 11, stepMs, &StepProc);
    const int n = CXTPCommandBars::TrackPopupMenu(menu.GetSubMenu(0), nFlags, 120, 120, &site);
    ::KillTimer(site.GetSafeHwnd(), 11);
    return n;
  }
  CMenuSite site;
  CMenu menu;
};

struct KeyCase {
  const char* name;
  std::vector<WORD> keys;
  int expected;  // the id TPM_RETURNCMD answers, 0 for none
};

TEST_F(PopupMenus, KeysChooseCommandsAndReturnTheirIds) {
  const KeyCase cases[] = {
      {"Down selects the first item, Enter runs it", {VK_DOWN, VK_RETURN}, 101},
      {"Down twice, Up once", {VK_DOWN, VK_DOWN, VK_DOWN, VK_UP, VK_RETURN}, 102},
      {"Up from nothing selects the last item", {VK_UP, VK_RETURN}, 106},
      {"a unique mnemonic runs its item", {'S'}, 102},
      {"a shared mnemonic only selects the first", {'P', VK_RETURN}, 104},
      {"the shared mnemonic again selects the next", {'P', 'P', VK_RETURN}, 105},
      {"a mnemonic opens the submenu, another runs its item", {'M', 'B'}, 202},
      {"Escape in the submenu returns to the parent", {'M', VK_ESCAPE, VK_DOWN, VK_RETURN}, 106},
      {"Escape in the menu closes it", {VK_ESCAPE}, 0},
  };
  for (const KeyCase& c : cases) {
    std::vector<std::function<void()>> steps;
    for (WORD vk : c.keys) steps.push_back([vk] { Press(vk); });
    // A last Escape closes whatever is still open so the loop always ends.
    for (int i = 0; i < 3; i++) steps.push_back([] { Press(VK_ESCAPE); });
    site.commands.clear();
    const int n = Track(TPM_RETURNCMD, steps);
    EXPECT_EQ(c.expected, n) << c.name;
    EXPECT_TRUE(site.commands.empty()) << c.name << ": TPM_RETURNCMD sends no WM_COMMAND";
    EXPECT_EQ(0, XTPMouseManager()->GetTrackingBarCount()) << c.name;
  }
}

TEST_F(PopupMenus, RightArrowOpensTheSubmenuWithItsFirstItemSelected) {
  bool bSubmenuOpen = false;
  const int n = Track(TPM_RETURNCMD, {[] { Press(VK_UP); }, [] { Press(VK_UP); }, [] { Press(VK_RIGHT); },
                                      [&] { bSubmenuOpen = OpenPopups().size() == 2; }, [] { Press(VK_RETURN); },
                                      [] { Press(VK_ESCAPE); }, [] { Press(VK_ESCAPE); }});
  EXPECT_TRUE(bSubmenuOpen);
  EXPECT_EQ(201, n);
}

TEST_F(PopupMenus, WithoutReturnCmdTheCommandArrivesAsWmCommand) {
  const int n = Track(0, {[] { Press('S'); }});
  EXPECT_EQ(1, n);
  PumpFor(50);
  ASSERT_EQ(1u, site.commands.size());
  EXPECT_EQ(102u, site.commands[0]);
}

TEST_F(PopupMenus, HoverOpensTheSubmenuAfter300ms) {
  size_t nEarly = 99, nLate = 99;
  int nSelected = -5;
  CRect rcItem;
  const int n = Track(TPM_RETURNCMD,
                      {[&] { rcItem = ItemRect(-1); MovePointer(rcItem.CenterPoint(), 0); },
                       [&] {
                         nEarly = OpenPopups().size();  // 150 ms after the move
                         if (!OpenPopups().empty()) nSelected = OpenPopups()[0]->GetSelectedIndex();
                       },
                       [] {}, [&] { nLate = OpenPopups().size(); }, [] { Press(VK_ESCAPE); },
                       [] { Press(VK_ESCAPE); }, [] { Press(VK_ESCAPE); }},
                      150);
  EXPECT_EQ(1u, nEarly) << "not yet open after 150 ms";
  EXPECT_EQ(4, nSelected) << "the submenu row (index 4, after the separator) is selected by the move to (" << rcItem.left << ", " << rcItem.top << ")";
  EXPECT_EQ(2u, nLate) << "open after 450 ms";
  EXPECT_EQ(0, n);
}

TEST_F(PopupMenus, AClickOutsideOrAltClosesEverything) {
  struct {
    const char* name;
    std::function<void()> close;
  } closers[] = {
      {"click outside", [this] {
         CRect rc;
         site.GetWindowRect(&rc);
         MovePointer(CPoint(rc.right - 30, rc.bottom - 30), 0);
         INPUT in[2] = {};
         in[0].type = in[1].type = INPUT_MOUSE;
         in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
         in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
         ::SendInput(2, in, sizeof(INPUT));
       }},
      {"Alt", [] { Press(VK_MENU); }},
  };
  for (auto& c : closers) {
    size_t nOpen = 0;
    const DWORD t0 = ::GetTickCount();
    const int n = Track(TPM_RETURNCMD, {[] { Press('M'); }, [&] { nOpen = OpenPopups().size(); }, c.close});
    EXPECT_EQ(2u, nOpen) << c.name;
    EXPECT_EQ(0, n) << c.name;
    EXPECT_LT(::GetTickCount() - t0, 5000u) << c.name;
    EXPECT_EQ(0, XTPMouseManager()->GetTrackingBarCount()) << c.name;
    ParkPointer();
  }
}

TEST_F(PopupMenus, AQuitWhileTheMenuTracksEndsTheLoop) {
  const int n = Track(TPM_RETURNCMD, {[] { Press('M'); }, [] { ::PostQuitMessage(7); }});
  EXPECT_EQ(0, n);
  EXPECT_EQ(0, XTPMouseManager()->GetTrackingBarCount());
  MSG msg;
  ASSERT_TRUE(::PeekMessage(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(7, (int)msg.wParam);
}

TEST_F(PopupMenus, ScreenshotOfAnOpenSubmenuWithItsShadow) {
  bool bSaved = false;
  CRect rcShot;
  Track(TPM_RETURNCMD, {[] { Press('M'); }, [] {},
                        [&] {
                          std::vector<CXTPCommandBar*> bars = OpenPopups();
                          if (bars.size() != 2) return;
                          CRect rcA, rcB;
                          bars[0]->GetWindowRect(&rcA);
                          bars[1]->GetWindowRect(&rcB);
                          rcShot.UnionRect(rcA, rcB);
                          rcShot.InflateRect(8, 8);
                          testsupport::CSnapshot shot(rcShot.Width(), rcShot.Height());
                          HDC hScreen = ::GetDC(NULL);
                          ::BitBlt(shot.DC().GetSafeHdc(), 0, 0, rcShot.Width(), rcShot.Height(), hScreen,
                                   rcShot.left, rcShot.top, SRCCOPY);
                          ::ReleaseDC(NULL, hScreen);
                          bSaved = shot.SavePng(testsupport::ArtifactPath(L"commandbars/popup_submenu.png"));
                        },
                        [] { Press(VK_ESCAPE); }, [] { Press(VK_ESCAPE); }});
  EXPECT_TRUE(bSaved);
  EXPECT_GT(rcShot.Width(), 40);
}

// Short menus: commands hidden until used, expanded by Ctrl+Down or by Down on the last
// shown item.
struct ShortMenuCase {
  const char* name;
  std::vector<WORD> keys;  // VK_CONTROL wraps the next key when given first
  bool ctrl;
};

TEST_F(PopupMenus, ShortMenusHideRarelyUsedCommandsUntilExpanded) {
  const ShortMenuCase cases[] = {
      {"Ctrl+Down expands at once", {VK_DOWN}, true},
      {"Down on the last shown item expands instead of wrapping", {VK_UP, VK_DOWN}, false},
  };
  for (const ShortMenuCase& c : cases) {
    CXTPCommandBars* pCommandBars = (CXTPCommandBars*)RUNTIME_CLASS(CXTPCommandBars)->CreateObject();
    ASSERT_NE(nullptr, pCommandBars);
    pCommandBars->GetCommandBarsOptions()->bAlwaysShowFullMenus = FALSE;
    pCommandBars->HideCommand(102);
    pCommandBars->HideCommand(105);
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(pCommandBars);
    ASSERT_TRUE(pPopup->GetControls()->LoadMenu(menu.GetSubMenu(0)));
    pPopup->SetOwner(&site);
    XTPMouseManager()->SetForceExpanded(FALSE);
    ASSERT_TRUE(pPopup->PopupAt(150, 150));
    PumpFor(50);
    EXPECT_TRUE(pPopup->HasHiddenCommands()) << c.name;
    EXPECT_FALSE(pPopup->IsExpanded()) << c.name;
    EXPECT_EQ((DWORD)xtpHideExpand, pPopup->GetControls()->FindControl(102)->GetHideFlags()) << c.name;
    EXPECT_EQ((DWORD)xtpHideNone, pPopup->GetControls()->FindControl(101)->GetHideFlags()) << c.name;
    // The expand row shows below the short menu, 12 pixels high.
    CXTPControl* pExpand = pPopup->GetExpandButton();
    ASSERT_NE(nullptr, pExpand) << c.name;
    EXPECT_TRUE(pExpand->IsVisible()) << c.name;
    EXPECT_EQ(12, pExpand->GetRect().Height()) << c.name;
    CRect rcShort;
    pPopup->GetWindowRect(&rcShort);

    if (c.ctrl) KeyEvent(VK_CONTROL, false);
    for (WORD vk : c.keys) TypeKey(vk, 60);
    if (c.ctrl) KeyEvent(VK_CONTROL, true);
    PumpFor(80);

    EXPECT_TRUE(pPopup->IsExpanded()) << c.name;
    EXPECT_EQ((DWORD)xtpHideNone, pPopup->GetControls()->FindControl(102)->GetHideFlags()) << c.name;
    EXPECT_TRUE(XTPMouseManager()->IsForceExpanded()) << c.name << ": later popups open expanded";
    CRect rcFull;
    pPopup->GetWindowRect(&rcFull);
    EXPECT_EQ(rcShort.Height() + 2 * 20 - 12, rcFull.Height()) << c.name << ": two more rows, no expand row";
    EXPECT_EQ((DWORD)xtpHideGeneric, pExpand->GetHideFlags()) << c.name;
    pPopup->CancelTracking();
    PumpFor(20);
    EXPECT_FALSE(XTPMouseManager()->IsForceExpanded()) << c.name << ": tracking ended";
    pPopup->InternalRelease();
    pCommandBars->InternalRelease();
  }
}

TEST_F(PopupMenus, AMenuWhoseCommandsAreAllRarelyUsedShowsThemAll) {
  CXTPCommandBars* pCommandBars = (CXTPCommandBars*)RUNTIME_CLASS(CXTPCommandBars)->CreateObject();
  pCommandBars->GetCommandBarsOptions()->bAlwaysShowFullMenus = FALSE;
  const UINT ids[] = {101, 102, 104, 105, 106, 201, 202};
  pCommandBars->HideCommands(ids, 7);
  CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(pCommandBars);
  ASSERT_TRUE(pPopup->GetControls()->LoadMenu(menu.GetSubMenu(0)));
  pPopup->SetOwner(&site);
  ASSERT_TRUE(pPopup->PopupAt(150, 150));
  PumpFor(30);
  EXPECT_FALSE(pPopup->HasHiddenCommands());
  for (int i = 0; i < pPopup->GetControlCount(); i++)
    EXPECT_EQ((DWORD)xtpHideNone, pPopup->GetControl(i)->GetHideFlags()) << i;
  EXPECT_TRUE(pCommandBars->IsControlHidden(pPopup->GetControls()->FindControl(xtpControlPopup, -1, FALSE, FALSE)))
      << "a popup whose commands are all hidden is hidden itself";
  pPopup->CancelTracking();
  pPopup->InternalRelease();
  pCommandBars->InternalRelease();
}

// A site that lets the bars' context menu through with one command of its own.
class CContextSite : public CWnd {
 public:
  int nAsked = 0;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == XTPM_TOOLBARCONTEXTMENU) {
      nAsked++;
      CXTPPopupBar* pPopup = (CXTPPopupBar*)lParam;
      pPopup->GetControls()->RemoveAll();
      pPopup->GetControls()->Add(xtpControlButton, 101)->SetCaption(_T("&Open"));
      return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

TEST(ContextMenu, AQuitWhileTheContextMenuTracksEndsItAndReachesTheThread) {
  ParkPointer();
  CContextSite site;
  ASSERT_TRUE(testsupport::CreateTestWindow(site, CRect(60, 60, 500, 400), L"context site"));
  CXTPCommandBars* pCommandBars = (CXTPCommandBars*)RUNTIME_CLASS(CXTPCommandBars)->CreateObject();
  pCommandBars->SetSite(&site);
  g_steps = {[] {
               // Open: the popup tracks; then the quit arrives.
               EXPECT_EQ(1, XTPMouseManager()->GetTrackingBarCount());
               ::PostQuitMessage(9);
             }};
  g_nextStep = 0;
  ::SetTimer(site.GetSafeHwnd(), 12, 150, &StepProc);
  const DWORD t0 = ::GetTickCount();
  pCommandBars->ContextMenu(NULL, CPoint(150, 150));
  ::KillTimer(site.GetSafeHwnd(), 12);
  EXPECT_LT(::GetTickCount() - t0, 3000u);
  EXPECT_EQ(1, site.nAsked);
  EXPECT_EQ(1u, g_nextStep);
  EXPECT_EQ(0, XTPMouseManager()->GetTrackingBarCount());
  MSG msg;
  ASSERT_TRUE(::PeekMessage(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(9, (int)msg.wParam);
  pCommandBars->InternalRelease();
  site.DestroyWindow();
}

}  // namespace
