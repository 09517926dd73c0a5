// The frame's command bars as the program builds them, in a frame of this process: the
// status bar's panes and lock indicators, the theme, the hidden print commands and the
// options, the shortcut table taken from the program's accelerators (keys reaching the
// frame through it, the frame's own table let go), the command icons, the shortcuts stored
// at the end and found again by the next frame, and pictures of the status bar in both
// themes (build/artifacts/commandbars).
#include <framework.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BarsSampleFrame.h"
#include "FrameBarsTestSupport.h"
#include "MainFrameBars.h"
#include "UiDriver.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPImageManager.h"
#include "XTPPaintManager.h"
#include "XTPShortcutManager.h"
#include "XTPVisualStylesTheme.h"
#include "XTPControl.h"
#include "XTPControls.h"
#include "XTPCustomizeSheet.h"
#include "XTPDockBar.h"
#include "XTPToolBar.h"
#if FRAMEBARS_HAVE_MENUBAR
#include "XTPMenuBar.h"
#endif
#include "resource.h"
#include "test_picture.h"
#include "test_pump.h"
#include "test_window.h"

using namespace framebarstest;

// The profile functions of this process (its name is set per test).
CWinApp theApp(L"VorlixFrameBarsTest");

namespace {

std::vector<ACCEL> Records(HACCEL h) {
  ACCEL* p = nullptr;
  const int n = CXTPShortcutManager::TableRecords(h, &p);
  std::vector<ACCEL> out(p, p + n);
  delete[] p;
  return out;
}

std::vector<ACCEL> ProgramRecords() {
  HACCEL h = ::LoadAcceleratorsW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
  std::vector<ACCEL> out = Records(h);
  return out;
}

bool Same(const std::vector<ACCEL>& a, const std::vector<ACCEL>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if ((a[i].fVirt & 0x1D) != (b[i].fVirt & 0x1D) || a[i].key != b[i].key || a[i].cmd != b[i].cmd) return false;
  return true;
}

class FrameBars : public ::testing::Test {
 protected:
  void SetUp() override {
    UseProfile(L"VorlixFrameBarsTest");
    ClearProfile();
  }
  void TearDown() override {
    m_frame.Close();
    ClearProfile();
  }
  CSampleFrameHolder m_frame;
};

}  // namespace

TEST_F(FrameBars, StatusBarHasAQuarterScreenMessagePaneAndTheLockIndicators) {
  CBarsSampleFrame* pFrame = m_frame.Open();
  ASSERT_NE(pFrame, nullptr);
  CXTPStatusBar& bar = pFrame->m_wndStatusBar;
  ASSERT_TRUE(::IsWindow(bar.GetSafeHwnd()));
  EXPECT_EQ(bar.GetDlgCtrlID(), 0xE801);
  EXPECT_EQ(pFrame->GetControlBar(0xE801), &bar);
  EXPECT_TRUE(bar.IsWindowVisible());
  ASSERT_EQ(bar.GetPaneCount(), 4);
  EXPECT_EQ(bar.GetItemID(0), 0u);
  EXPECT_EQ(bar.GetPaneWidth(0), ::GetSystemMetrics(SM_CXSCREEN) / 4);
  EXPECT_EQ(bar.GetPaneStyle(0), UINT(SBPS_STRETCH | SBPS_NOBORDERS));
  const struct {
    UINT id;
    const wchar_t* text;
  } locks[] = {{ID_INDICATOR_CAPS, L"CAP"}, {ID_INDICATOR_NUM, L"NUM"}, {ID_INDICATOR_SCRL, L"SCRL"}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(bar.GetItemID(i + 1), locks[i].id);
    EXPECT_EQ(bar.GetPaneText(i + 1), CString(locks[i].text));
  }
  // The message pane takes what the lock panes leave: it ends where the first lock pane starts.
  CRect rcMessage, rcCaps, rcClient;
  bar.GetItemRect(0, &rcMessage);
  bar.GetItemRect(1, &rcCaps);
  bar.GetClientRect(&rcClient);
  EXPECT_GT(rcMessage.Width(), rcClient.Width() / 2);
  EXPECT_LE(rcMessage.right, rcCaps.left);
  // The frame's message pane is the bar's first pane: its text is the bar's text.
  pFrame->SetMessageText(L"Counting contacts");
  EXPECT_EQ(uidriver::WindowText(bar.GetSafeHwnd()), std::wstring(L"Counting contacts"));
}

TEST_F(FrameBars, LockIndicatorsFollowTheKeys) {
  CBarsSampleFrame* pFrame = m_frame.Open();
  ASSERT_NE(pFrame, nullptr);
  CXTPStatusBar& bar = pFrame->m_wndStatusBar;
  const struct {
    WORD vk;
    int pane;
  } keys[] = {{VK_CAPITAL, 1}, {VK_NUMLOCK, 2}, {VK_SCROLL, 3}};
  for (const auto& key : keys) {
    for (int round = 0; round < 2; ++round) {
      uidriver::PressKey(key.vk);
      // The key's toggle state reaches this thread with the key messages.
      PumpFrame(pFrame, 200);
      const bool on = (::GetKeyState(key.vk) & 1) != 0;
      ASSERT_TRUE(testsupport::PumpUntil(
          [&] {
            IdleUpdate(pFrame);
            return ((bar.GetPaneStyle(key.pane) & SBPS_DISABLED) == 0) == on;
          },
          5000))
          << "key " << key.vk << " round " << round << " on " << on;
      // A disabled lock pane keeps its text but shows none.
      EXPECT_EQ(bar.GetPaneText(key.pane).IsEmpty(), FALSE);
    }
  }
}

TEST_F(FrameBars, VisualStylesThemeHiddenPrintCommandsAndShortMenus) {
  CBarsSampleFrame* pFrame = m_frame.Open();
  ASSERT_NE(pFrame, nullptr);
  CXTPCommandBars* pBars = pFrame->GetCommandBars();
  ASSERT_NE(pBars, nullptr);
  EXPECT_EQ(pBars->GetSite(), pFrame);
  CXTPPaintManager* pPaint = CXTPPaintManager::GetCurrentPaintManager();
  ASSERT_NE(pPaint, nullptr);
  EXPECT_TRUE(pPaint->IsKindOf(RUNTIME_CLASS(CXTPVisualStylesTheme)));
  EXPECT_TRUE(pBars->IsCommandHidden(ID_FILE_PRINT));
  EXPECT_TRUE(pBars->IsCommandHidden(ID_FILE_PRINT_PREVIEW));
  EXPECT_FALSE(pBars->IsCommandHidden(ID_FILE_EXPORT));
  EXPECT_FALSE(pBars->GetCommandBarsOptions()->bAlwaysShowFullMenus);
  // A hidden command used once shows from then on.
  pBars->SetCommandUsed(ID_FILE_PRINT);
  EXPECT_FALSE(pBars->IsCommandHidden(ID_FILE_PRINT));
}

TEST_F(FrameBars, StandardToolbarHoldsTheFiveCommandsWithTextBelowTheirIcons) {
  CBarsSampleFrame* pFrame = m_frame.Open();
  ASSERT_NE(pFrame, nullptr);
  CXTPToolBar* pStandard = CMainFrameBars::GetStandardBar(pFrame);
  ASSERT_NE(pStandard, nullptr);
  EXPECT_EQ(pStandard->GetPosition(), xtpBarTop);
  ASSERT_NE(pStandard->GetDockBar(), nullptr);
  EXPECT_EQ(pStandard->GetDockBar()->GetDlgCtrlID(), 59419);
  EXPECT_TRUE(pStandard->IsVisible());
  EXPECT_EQ(pStandard->GetShowTextBelowIcons(), TRUE);
  const UINT ids[] = {ID_FILE_ADD_FILES, ID_FILE_ADD_DOMINO, ID_FILE_EXPORT, ID_HELP_CONTENTS, ID_HELP_HOMEPAGE};
  // The five buttons, then the bar's own expand button.
  ASSERT_EQ(pStandard->GetControlCount(), 6);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(pStandard->GetControl(i)->GetID(), int(ids[i])) << i;
  EXPECT_EQ(pStandard->GetControl(5)->GetID(), 9400);
  // The bar sits below the frame's top edge and above the status bar.
  CRect rcBar, rcStatus;
  pStandard->GetWindowRect(&rcBar);
  pFrame->m_wndStatusBar.GetWindowRect(&rcStatus);
  EXPECT_LT(rcBar.bottom, rcStatus.top);
  EXPECT_GE(rcBar.Height(), 32);
  // A click on its Export button reaches the frame.
  ASSERT_TRUE(BringToFront(pFrame));
  CRect rcExport = pStandard->GetControl(2)->GetRect();
  pStandard->ClientToScreen(&rcExport);
  const INT_PTR before = pFrame->m_arrCommands.GetSize();
  uidriver::ClickAt(rcExport.CenterPoint());
  ASSERT_TRUE(testsupport::PumpUntil([&] { return pFrame->m_arrCommands.GetSize() > before; }, 5000,
                                     testsupport::Dispatch::PreTranslate));
  EXPECT_EQ(pFrame->m_arrCommands[before], UINT(ID_FILE_EXPORT));
  testsupport::ParkPointer();
}

TEST_F(FrameBars, ShortcutTableIsTheProgramsAcceleratorsAndTheFrameLetsItsOwnGo) {
  CBarsSampleFrame* pFrame = m_frame.Open();
  ASSERT_NE(pFrame, nullptr);
  CXTPShortcutManager* pShortcuts = pFrame->GetCommandBars()->GetShortcutManager();
  const std::vector<ACCEL> program = ProgramRecords();
  ASSERT_EQ(program.size(), 4u);
  EXPECT_TRUE(Same(Records(pShortcuts->GetDefaultAccelerator()), program));
  EXPECT_TRUE(Same(Records(pShortcuts->GetAccelerators()), program));
  // Two copies, not the module's table.
  EXPECT_NE(pShortcuts->GetDefaultAccelerator(), pShortcuts->GetAccelerators());
  EXPECT_EQ(pFrame->m_hAccelTable, nullptr);
  // The texts the menus show for the commands.
  const struct {
    UINT id;
    const wchar_t* text;
  } shown[] = {{ID_FILE_NEW, L"Ctrl+N"}, {ID_FILE_OPEN, L"Ctrl+O"}, {ID_FILE_EXPORT, L"Ctrl+E"},
               {ID_HELP_CONTENTS, L"F1"}};
  for (const auto& s : shown) {
    CString text;
    EXPECT_TRUE(pShortcuts->FindDefaultAccelerator(s.id, text)) << s.id;
    EXPECT_EQ(text, CString(s.text)) << s.id;
  }
  CString none;
  EXPECT_FALSE(pShortcuts->FindDefaultAccelerator(ID_FILE_ADD_FILES, none));
}

TEST_F(FrameBars, ShortcutKeysReachTheFrameThroughTheBars) {
  CBarsSampleFrame* pFrame = m_frame.Open();
  ASSERT_NE(pFrame, nullptr);
  ASSERT_TRUE(BringToFront(pFrame));
  const struct {
    WORD vk;
    bool ctrl;
    UINT command;
  } keys[] = {{'E', true, ID_FILE_EXPORT}, {VK_F1, false, ID_HELP_CONTENTS}, {'N', true, ID_FILE_NEW},
              {'O', true, ID_FILE_OPEN}};
  for (const auto& key : keys) {
    const INT_PTR before = pFrame->m_arrCommands.GetSize();
    uidriver::PressKey(key.vk, key.ctrl);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return pFrame->m_arrCommands.GetSize() > before; }, 5000,
                                       testsupport::Dispatch::PreTranslate))
        << "key " << key.vk;
    EXPECT_EQ(pFrame->m_arrCommands[before], key.command);
  }
  // While print preview holds the bars, the shortcuts do nothing.
  pFrame->GetCommandBars()->OnSetPreviewMode(TRUE, nullptr);
  const INT_PTR before = pFrame->m_arrCommands.GetSize();
  uidriver::PressKey('E', true);
  PumpFrame(pFrame, 400);
  EXPECT_EQ(pFrame->m_arrCommands.GetSize(), before);
  pFrame->GetCommandBars()->OnSetPreviewMode(FALSE, nullptr);
  uidriver::PressKey('E', true);
  EXPECT_TRUE(testsupport::PumpUntil([&] { return pFrame->m_arrCommands.GetSize() > before; }, 5000,
                                     testsupport::Dispatch::PreTranslate));
}

TEST_F(FrameBars, CommandIconsAreTheProgramsIconsAtBothSizes) {
  CBarsSampleFrame* pFrame = m_frame.Open();
  ASSERT_NE(pFrame, nullptr);
  CXTPImageManager* pImages = XTPImageManager();
  for (const CMainFrameBars::CommandIcon& icon : CMainFrameBars::kCommandIcons) {
    for (int width : {16, 32}) {
      CXTPImageManagerIcon* pImage = pImages->GetImage(icon.nCommand, width);
      ASSERT_NE(pImage, nullptr) << icon.nCommand << " at " << width;
      EXPECT_EQ(pImage->GetWidth(), width) << icon.nCommand;
    }
    // The picture at the icon's middle is the icon resource's.
    EXPECT_TRUE(SameMiddleColour(pImages->GetImage(icon.nCommand, 32), icon.nIconId)) << icon.nCommand;
  }
}

TEST_F(FrameBars, ShortcutsAreStoredAtTheEndAndFoundByTheNextFrame) {
  // Without profile values the next frame has the program's table.
  CBarsSampleFrame* pFrame = m_frame.Open();
  ASSERT_NE(pFrame, nullptr);
  // Export moves from Ctrl+E to Ctrl+Shift+X; the rest stays.
  std::vector<ACCEL> custom = ProgramRecords();
  for (ACCEL& a : custom)
    if (a.cmd == ID_FILE_EXPORT) {
      a.fVirt = FVIRTKEY | FCONTROL | FSHIFT;
      a.key = 'X';
    }
  CXTPShortcutManager* pShortcuts = pFrame->GetCommandBars()->GetShortcutManager();
  ASSERT_TRUE(pShortcuts->SetAccelerators(custom.data(), static_cast<int>(custom.size())));
  m_frame.Close();

  std::vector<BYTE> stored = ReadProfileBinary(L"CommandBars", L"Accelerators");
  EXPECT_EQ(stored.size(), custom.size() * 6);

  pFrame = m_frame.Open();
  ASSERT_NE(pFrame, nullptr);
  pShortcuts = pFrame->GetCommandBars()->GetShortcutManager();
  EXPECT_TRUE(Same(Records(pShortcuts->GetAccelerators()), custom));
  EXPECT_TRUE(Same(Records(pShortcuts->GetDefaultAccelerator()), ProgramRecords()));
  CString text;
  EXPECT_TRUE(pShortcuts->FindDefaultAccelerator(ID_FILE_EXPORT, text));
  EXPECT_EQ(text, CString(L"Ctrl+Shift+X"));
  // Reset brings the program's table back, and the next close stores that.
  pShortcuts->Reset();
  m_frame.Close();
  pFrame = m_frame.Open();
  ASSERT_NE(pFrame, nullptr);
  EXPECT_TRUE(Same(Records(pFrame->GetCommandBars()->GetShortcutManager()->GetAccelerators()), ProgramRecords()));
}

TEST_F(FrameBars, AStoredShortcutValueWithNoWholeRecordKeepsTheProgramTable) {
  WriteProfileBinary(L"CommandBars", L"Accelerators", std::vector<BYTE>{0x09, 0x00, 0x45});
  CBarsSampleFrame* pFrame = m_frame.Open();
  ASSERT_NE(pFrame, nullptr);
  EXPECT_TRUE(Same(Records(pFrame->GetCommandBars()->GetShortcutManager()->GetAccelerators()), ProgramRecords()));
}

// The status bar in both themes, for a person to look at.
TEST_F(FrameBars, PicturesOfTheStatusBarInBothThemes) {
  CBarsSampleFrame* pFrame = m_frame.Open();
  ASSERT_NE(pFrame, nullptr);
  testsupport::ParkPointer();
  pFrame->SetMessageText(L"Ready");
  // Caps Lock on, so its pane shows its text.
  const bool capsWasOn = (::GetKeyState(VK_CAPITAL) & 1) != 0;
  if (!capsWasOn) {
    uidriver::PressKey(VK_CAPITAL);
    ASSERT_TRUE(testsupport::PumpUntil([] { return (::GetKeyState(VK_CAPITAL) & 1) != 0; }, 5000,
                                       testsupport::Dispatch::PreTranslate));
  }
  IdleUpdate(pFrame);
  const struct {
    int theme;
    const wchar_t* name;
  } themes[] = {{0, L"commandbars\\frame_status_bar_theme0.png"}, {3, L"commandbars\\frame_status_bar_theme3.png"}};
  for (const auto& t : themes) {
    CXTPPaintManager::SetTheme(t.theme);
    pFrame->RecalcLayout();
    pFrame->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpFrame(pFrame, 300);
    CXTPStatusBar& bar = pFrame->m_wndStatusBar;
    testsupport::CSnapshot shot(bar.GetSafeHwnd(), testsupport::WindowArea::Client);
    EXPECT_TRUE(shot.SavePng(testsupport::ArtifactPath(t.name)));
    // Painted all over, and the lock texts are there in dark pixels on the right.
    EXPECT_FALSE(shot.Contains(CRect(0, 0, shot.Width(), shot.Height()), testsupport::CSnapshot::kUnpainted));
    CRect rcCaps;
    bar.GetItemRect(1, &rcCaps);
    EXPECT_TRUE(HasDarkPixel(shot, rcCaps)) << t.theme;
  }
  if (!capsWasOn) {
    uidriver::PressKey(VK_CAPITAL);
    testsupport::PumpUntil([] { return (::GetKeyState(VK_CAPITAL) & 1) == 0; }, 5000, testsupport::Dispatch::PreTranslate);
  }
}

#if FRAMEBARS_HAVE_MENUBAR
// The frame with its File menu open from the menu bar, in both themes, for a person to look
// at: the picture is taken from the screen, since the menu is a window of its own.
TEST_F(FrameBars, PicturesOfTheFrameWithAMenuOpenInBothThemes) {
  CBarsSampleFrame* pFrame = m_frame.Open();
  ASSERT_NE(pFrame, nullptr);
  CXTPCommandBars* pBars = pFrame->GetCommandBars();
  CXTPMenuBar* pMenuBar = pBars->GetMenuBar();
  ASSERT_NE(pMenuBar, nullptr);
  ASSERT_GE(pMenuBar->GetControlCount(), 3);
  const struct {
    int theme;
    const wchar_t* name;
  } themes[] = {{0, L"commandbars\\frame_menu_open_theme0.png"}, {3, L"commandbars\\frame_menu_open_theme3.png"}};
  for (const auto& t : themes) {
    CXTPPaintManager::SetTheme(t.theme);
    pBars->RedrawCommandBars();
    pFrame->RecalcLayout();
    ASSERT_TRUE(BringToFront(pFrame));
    CRect rcFile = pMenuBar->GetControl(0)->GetRect();
    pMenuBar->ClientToScreen(&rcFile);
    uidriver::ClickAt(rcFile.CenterPoint());
    CXTPCommandBar* pPopup = pMenuBar->GetControl(0)->GetCommandBar();
    ASSERT_NE(pPopup, nullptr);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return ::IsWindowVisible(pPopup->GetSafeHwnd()) != FALSE; }, 5000,
                                       testsupport::Dispatch::PreTranslate))
        << "the File menu did not open";
    testsupport::ParkPointer();
    PumpFrame(pFrame, 400);
    CRect rcFrame, rcPopup;
    pFrame->GetWindowRect(&rcFrame);
    pPopup->GetWindowRect(&rcPopup);
    CRect rcShot;
    rcShot.UnionRect(rcFrame, rcPopup);
    testsupport::CSnapshot shot(rcShot.Width(), rcShot.Height());
    HDC hScreen = ::GetDC(nullptr);
    ::BitBlt(shot.DC().m_hDC, 0, 0, rcShot.Width(), rcShot.Height(), hScreen, rcShot.left, rcShot.top, SRCCOPY);
    ::ReleaseDC(nullptr, hScreen);
    EXPECT_TRUE(shot.SavePng(testsupport::ArtifactPath(t.name)));
    // The open menu shows its items' texts.
    rcPopup.OffsetRect(-rcShot.left, -rcShot.top);
    EXPECT_TRUE(HasDarkPixel(shot, rcPopup)) << t.theme;
    uidriver::PressKey(VK_ESCAPE);
    uidriver::PressKey(VK_ESCAPE);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !::IsWindowVisible(pPopup->GetSafeHwnd()); }, 5000,
                                       testsupport::Dispatch::PreTranslate));
  }
}
#endif

// ---- The customize command ------------------------------------------------------------------
namespace {

struct SheetSeen {
  int nRuns = 0;
  int nPages = 0;
  std::vector<CString> tabs;
  BOOL bCustomizeMode = FALSE;
};
SheetSeen g_sheetSeen;

// While a sheet runs: note its tabs, then close it with its "Close" button's command.
VOID CALLBACK WatchSheet(HWND, UINT, UINT_PTR, DWORD) {
  CXTPCustomizeSheet* pSheet = CXTPCustomizeSheet::GetRunningSheet();
  if (pSheet == nullptr || pSheet->GetSafeHwnd() == NULL || !pSheet->IsWindowVisible()) return;
  if (g_sheetSeen.nRuns++ == 0) {
    g_sheetSeen.nPages = pSheet->GetPageCount();
    CTabCtrl* pTab = pSheet->GetTabControl();
    for (int i = 0; pTab != nullptr && i < pTab->GetItemCount(); i++) {
      WCHAR szText[64] = {};
      TCITEMW item = {};
      item.mask = TCIF_TEXT;
      item.pszText = szText;
      item.cchTextMax = 63;
      pTab->GetItem(i, &item);
      g_sheetSeen.tabs.push_back(szText);
    }
    g_sheetSeen.bCustomizeMode = pSheet->GetCommandBars()->IsCustomizeMode();
  }
  pSheet->PostMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

}  // namespace

// The toolbar's add-or-remove popup offers "Customize..." (35001), which opens the sheet
// with the program's pages; the tabs read Toolbars, Commands, then Keyboard and Options
// where those pages are built.
TEST_F(FrameBars, TheAddOrRemovePopupsCustomizeOpensTheSheet) {
  CBarsSampleFrame* pFrame = m_frame.Open();
  ASSERT_NE(pFrame, nullptr);
  CXTPToolBar* pStandard = CMainFrameBars::GetStandardBar(pFrame);
  ASSERT_NE(pStandard, nullptr);
  EXPECT_TRUE(pFrame->GetCommandBars()->IsCustomizable());
  // The sheet's modal loop pumps as the program's does, through the application object:
  // it must know this frame as the main window (an earlier test's frame is gone).
  struct MainWindow {
    explicit MainWindow(CWnd* pWnd) { AfxGetApp()->m_pMainWnd = pWnd; }
    ~MainWindow() { AfxGetApp()->m_pMainWnd = nullptr; }
  } mainWindow(pFrame);
  ASSERT_TRUE(BringToFront(pFrame));
  CXTPControl* pExpand = pStandard->GetControls()->FindControl(9400);
  ASSERT_NE(pExpand, nullptr);
  ASSERT_TRUE(pExpand->IsVisible());
  CRect rc = pExpand->GetRect();
  pStandard->ClientToScreen(&rc);
  uidriver::ClickAt(rc.CenterPoint());
  // The expand popup's "Add or Remove Buttons" holds "Customize...".
  CXTPControl* pAddOrRemove = nullptr;
  ASSERT_TRUE(testsupport::PumpUntil(
      [&] {
        CXTPCommandBar* pPopup = pExpand->GetCommandBar();
        if (pPopup == nullptr || pPopup->GetSafeHwnd() == NULL || !pPopup->IsWindowVisible()) return false;
        for (int i = 0; i < pPopup->GetControlCount(); i++)
          if (pPopup->GetControl(i)->GetID() == 0 && pPopup->GetControl(i)->GetCommandBar() != nullptr)
            pAddOrRemove = pPopup->GetControl(i);
        return pAddOrRemove != nullptr;
      },
      5000, testsupport::Dispatch::PreTranslate))
      << "no add-or-remove popup";
  testsupport::PumpFor(100, testsupport::Dispatch::PreTranslate);
  CRect rcAdd = pAddOrRemove->GetRect();
  pAddOrRemove->GetParent()->ClientToScreen(&rcAdd);
  uidriver::ClickAt(rcAdd.CenterPoint());
  CXTPControl* pCustomize = nullptr;
  ASSERT_TRUE(testsupport::PumpUntil(
      [&] {
        CXTPCommandBar* pList = pAddOrRemove->GetCommandBar();
        if (pList == nullptr || pList->GetSafeHwnd() == NULL || !pList->IsWindowVisible()) return false;
        pCustomize = pList->GetControls()->FindControl(XTP_ID_CUSTOMIZE);
        return pCustomize != nullptr && pCustomize->IsVisible();
      },
      5000, testsupport::Dispatch::PreTranslate))
      << "no Customize... in the add-or-remove popup";
  testsupport::PumpFor(100, testsupport::Dispatch::PreTranslate);
  g_sheetSeen = SheetSeen();
  // A timer of the frame's window (a thread timer would reach the application object).
  const UINT_PTR nTimer = ::SetTimer(pFrame->GetSafeHwnd(), 0x5E7, 50, WatchSheet);
  CRect rcItem = pCustomize->GetRect();
  pCustomize->GetParent()->ClientToScreen(&rcItem);
  uidriver::ClickAt(rcItem.CenterPoint());
  testsupport::PumpUntil([&] { return g_sheetSeen.nRuns > 0 && CXTPCustomizeSheet::GetRunningSheet() == nullptr; }, 10000,
                         testsupport::Dispatch::PreTranslate);
  ::KillTimer(pFrame->GetSafeHwnd(), nTimer);
  EXPECT_EQ(1, g_sheetSeen.nRuns);
  EXPECT_TRUE(g_sheetSeen.bCustomizeMode);
  ASSERT_GE(g_sheetSeen.tabs.size(), 2u);
  EXPECT_EQ(CString(L"Tool&bars"), g_sheetSeen.tabs[0]);
  EXPECT_EQ(CString(L"&Commands"), g_sheetSeen.tabs[1]);
  if (g_sheetSeen.tabs.size() >= 4) {
    EXPECT_EQ(CString(L"&Keyboard"), g_sheetSeen.tabs[2]);
    EXPECT_EQ(CString(L"&Options"), g_sheetSeen.tabs[3]);
  }
  EXPECT_FALSE(pFrame->GetCommandBars()->IsCustomizeMode());
  // The frame ran no command of its own.
  EXPECT_EQ(0, pFrame->m_arrCommands.GetSize());
  testsupport::ParkPointer();
}

// A frame without command bars ignores the command.
TEST_F(FrameBars, CustomizeWithoutCommandBarsDoesNothing) {
  CXTPFrameWnd frame;
  EXPECT_EQ(IDCANCEL, CMainFrameBars::Customize(&frame));
  EXPECT_EQ(IDCANCEL, CMainFrameBars::Customize(nullptr));
}
