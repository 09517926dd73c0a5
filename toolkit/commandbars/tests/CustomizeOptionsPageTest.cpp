// The options page of the customize sheet, driven as a user drives it: a frame with command
// bars and a "Standard" toolbar runs the sheet modally with the page added, and a script
// inside the sheet's loop clicks the check boxes, the reset button and the animation list
// through SendInput. Each click reaches its option at once (with the dependent boxes
// enabled or disabled), large icons re-lay the bars on the screen, the usage-data question
// is answered No and Yes in a real message box, and the options survive a save and a load
// into a new frame.
#include <framework.h>

#include <gtest/gtest.h>

#include <test_picture.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "CommandBarsTestSupport.h"
#include "CustomizeSheetTestSupport.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPControl.h"
#include "XTPControls.h"
#include "XTPCustomizeOptionsPage.h"
#include "XTPCustomizeSheet.h"
#include "XTPDockBar.h"
#include "XTPImageManager.h"
#include "XTPPaintManager.h"
#include "XTPResourceManager.h"
#include "XTPToolBar.h"
#include "XTPWinThemeWrapper.h"
#include "customize_res.h"

CWinApp theApp(L"Vorlix customize options test");

BEGIN_MESSAGE_MAP(cbtest::CCustomizableFrame, CFrameWnd)
  ON_COMMAND(XTP_ID_CUSTOMIZE, OnCustomize)
END_MESSAGE_MAP()

namespace {

using cbtest::MovePointer;
using cbtest::PumpFor;
using cbtest::PumpUntil;

const wchar_t kCompany[] = L"Vorlix customize options tests";
const wchar_t kProfile[] = L"CommandBars";
const UINT kStandard[] = {57600, 57601, 57603, 0, 57634};
const UINT kIconIds[] = {57600, 57601, 57603, 57634};
const int kOptionsPage = 2;  // after the toolbars and commands pages

std::wstring W(const CString& s) { return std::wstring(s.GetString()); }

CString ResString(UINT nID) {
  CString str;
  XTPResourceManager()->LoadString(&str, nID);
  return str;
}

// Four 16 x 16 pictures (a coloured square with a dark frame each) for the Standard bar.
void SetStandardIcons() {
  CClientDC screen(nullptr);
  CDC dc;
  dc.CreateCompatibleDC(&screen);
  CBitmap bmp;
  bmp.CreateCompatibleBitmap(&screen, 64, 16);
  CBitmap* pOld = dc.SelectObject(&bmp);
  const COLORREF colours[] = {RGB(200, 40, 40), RGB(40, 150, 40), RGB(40, 60, 200), RGB(220, 170, 30)};
  dc.FillSolidRect(0, 0, 64, 16, RGB(192, 192, 192));
  for (int i = 0; i < 4; i++) {
    dc.FillSolidRect(i * 16 + 2, 2, 12, 12, colours[i]);
    dc.Draw3dRect(i * 16 + 2, 2, 12, 12, RGB(0, 0, 0), RGB(0, 0, 0));
  }
  dc.SelectObject(pOld);
  XTPImageManager()->SetIcons(bmp, kIconIds, 4, CSize(16, 16), XTP_IMAGESTATE_NORMAL, FALSE);
}

// A frame with its command bars and the "Standard" toolbar (bar 200) docked at the top.
struct Frame : cbtest::BarsFrame<cbtest::CCustomizableFrame> {
  explicit Frame(const wchar_t* title) : BarsFrame(title, CRect(60, 40, 760, 560)) {
    CreateBars();
    SetStandardIcons();
    pStandard = AddBuiltInBar(L"Standard", 200, kStandard, 5);
    Arrange();
  }
  CXTPCommandBarsOptions* Options() const { return pBars->GetCommandBarsOptions(); }
  CRect BarRect() const {
    CRect rc;
    pStandard->GetWindowRect(&rc);
    return rc;
  }
  CXTPToolBar* pStandard = nullptr;
};

// ---- Running the modal sheet with a script ----------------------------------------------
// Runs the sheet with the script inside it; the sheet is moved below the bars first, as a
// user moves it to see them, and made active.
INT_PTR RunSheet(CXTPCustomizeSheet& sheet, std::function<void()> script) {
  return cztest::RunSheetInOneGo(
      sheet,
      [&sheet, script] {
        if (HWND hOwner = ::GetWindow(sheet.m_hWnd, GW_OWNER)) {
          CRect rcOwner;
          ::GetWindowRect(hOwner, &rcOwner);
          sheet.SetWindowPos(NULL, rcOwner.left + 160, rcOwner.top + 130, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        }
        cbtest::Activate(sheet.m_hWnd);
        PumpFor(100);
        if (script) script();
      },
      20);
}

// The sheet of a frame's bars with the options page added and shown first.
struct Sheet {
  explicit Sheet(Frame& f) : sheet(f.pBars, kOptionsPage), page(&sheet) { sheet.AddPage(&page); }
  CXTPCustomizeSheet sheet;
  CXTPCustomizeOptionsPage page;
};

// ---- Input ------------------------------------------------------------------------------
// A left click without pumping, for a window whose own modal loop handles it; the cursor
// is there before the input arrives.
void SendClick(CPoint pt) {
  ::SetCursorPos(pt.x, pt.y);
  cbtest::SendClick(pt);
}

// Clicks a page control: a check box on its box, anything else in its middle.
void ClickControl(CWnd* pPage, UINT nID) {
  CWnd* pCtrl = pPage->GetDlgItem(nID);
  ASSERT_NE(pCtrl, nullptr) << nID;
  CRect rc;
  pCtrl->GetWindowRect(&rc);
  const bool bCheckBox = (pCtrl->GetStyle() & BS_TYPEMASK) == BS_AUTOCHECKBOX;
  cbtest::ClickAt(bCheckBox ? CPoint(rc.left + 6, rc.CenterPoint().y) : rc.CenterPoint());
}

BOOL Checked(CWnd* pPage, UINT nID) { return pPage->IsDlgButtonChecked(nID) == BST_CHECKED; }
BOOL Enabled(CWnd* pPage, UINT nID) { return pPage->GetDlgItem(nID)->IsWindowEnabled(); }

// Picks an entry of the animation list with two clicks: the field, then the entry.
void PickAnimation(CXTPCustomizeOptionsPage& page, int nIndex) {
  ClickControl(&page, XTP_IDC_COMBO_ANIMATION);
  ASSERT_TRUE(PumpUntil([&] { return page.m_wndAnimation.SendMessage(CB_GETDROPPEDSTATE) != 0; }, 2000))
      << "the list did not drop down";
  COMBOBOXINFO info = {sizeof(info)};
  ASSERT_TRUE(::GetComboBoxInfo(page.m_wndAnimation.m_hWnd, &info));
  CRect rcItem;
  ASSERT_NE(::SendMessageW(info.hwndList, LB_GETITEMRECT, nIndex, (LPARAM)&rcItem), LB_ERR);
  CRect rcList;
  ::GetClientRect(info.hwndList, &rcList);
  if (rcItem.bottom > rcList.bottom || rcItem.top < 0) {
    // Not in view: the list scrolls to it as a wheel or the arrow keys would.
    ::SendMessageW(info.hwndList, LB_SETTOPINDEX, nIndex, 0);
    ::SendMessageW(info.hwndList, LB_GETITEMRECT, nIndex, (LPARAM)&rcItem);
  }
  ::MapWindowPoints(info.hwndList, NULL, (LPPOINT)&rcItem, 2);
  MovePointer(rcItem.CenterPoint(), 60);
  cbtest::ClickAt(rcItem.CenterPoint());
  PumpUntil([&] { return page.m_wndAnimation.SendMessage(CB_GETDROPPEDSTATE) == 0; }, 2000);
}

CString ComboText(CComboBox& combo) {
  CString str;
  if (combo.GetCurSel() >= 0) combo.GetLBText(combo.GetCurSel(), str);
  return str;
}

// What the screen shows of the frame and the sheet together.
void ShotScreen(const std::vector<HWND>& windows, const std::wstring& name) {
  CRect rc;
  for (HWND h : windows) {
    ::RedrawWindow(h, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    CRect rcWnd;
    ::GetWindowRect(h, &rcWnd);
    rc.UnionRect(rc, rcWnd);
  }
  PumpFor(100);
  EXPECT_TRUE(cbtest::SaveScreenPng(rc, L"commandbars\\" + name));
}

// The tooltip the bar gives for its first control: its id and text (-1 and "" for none).
std::pair<INT_PTR, std::wstring> FirstTip(CXTPToolBar* pBar) {
  CRect rc = pBar->GetControl(0)->GetRect();
  TTTOOLINFOW ti = {};
  ti.cbSize = sizeof(ti);
  const INT_PTR nHit = pBar->OnToolHitTest(rc.CenterPoint(), &ti);
  std::wstring text;
  if (ti.lpszText != nullptr && ti.lpszText != LPSTR_TEXTCALLBACKW && !IS_INTRESOURCE(ti.lpszText)) {
    text = ti.lpszText;
    free(ti.lpszText);
  }
  return {nHit, text};
}

class CustomizeOptionsPage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (theApp.m_pszRegistryKey == nullptr) theApp.SetRegistryKey(kCompany);
  }
  void SetUp() override {
    CXTPPaintManager::SetTheme(0);
    testsupport::ParkPointer();
    cbtest::DeleteProfile();
  }
  void TearDown() override {
    cbtest::DeleteProfile();
    testsupport::ParkPointer();
  }
};

}  // namespace

// ---------------------------------------------------------------------------------------
// Each click goes to its option at once; a dependent box follows its leader; a disabled box
// takes no click. The bars' tooltips follow the screen-tip options.
TEST_F(CustomizeOptionsPage, EachCheckBoxSetsItsOptionAtOnce) {
  Frame f(L"Options check boxes");
  f.pStandard->GetControl(0)->SetTooltip(L"New");
  f.pStandard->GetControl(0)->SetShortcutText(L"Ctrl+N");
  CXTPCommandBarsOptions* o = f.Options();
  ASSERT_TRUE(o->bAlwaysShowFullMenus && o->bShowFullAfterDelay && o->bToolBarScreenTips);
  ASSERT_FALSE(o->bToolBarAccelTips || o->bLargeIcons);

  struct Step {
    UINT nClick;
    const char* what;
    BOOL bFull, bDelay, bTips, bAccel;  // the options afterwards
    BOOL bDelayEnabled, bAccelEnabled;  // the dependent boxes afterwards
  };
  const Step steps[] = {
      {XTP_IDC_CHECK_FULL_MENUS, "full menus off: the delay box opens", FALSE, TRUE, TRUE, FALSE, TRUE, TRUE},
      {XTP_IDC_CHECK_AFTERDELAY, "delay off", FALSE, FALSE, TRUE, FALSE, TRUE, TRUE},
      {XTP_IDC_CHECK_AFTERDELAY, "delay on again", FALSE, TRUE, TRUE, FALSE, TRUE, TRUE},
      {XTP_IDC_CHECK_FULL_MENUS, "full menus on: the delay box closes", TRUE, TRUE, TRUE, FALSE, FALSE, TRUE},
      {XTP_IDC_CHECK_AFTERDELAY, "a click on the closed delay box does nothing", TRUE, TRUE, TRUE, FALSE, FALSE, TRUE},
      {XTP_IDC_CHECK_SCREENTTIPS, "screen tips off: the shortcut box closes", TRUE, TRUE, FALSE, FALSE, FALSE, FALSE},
      {XTP_IDC_CHECK_SHORTCUTS, "a click on the closed shortcut box does nothing", TRUE, TRUE, FALSE, FALSE, FALSE,
       FALSE},
      {XTP_IDC_CHECK_SCREENTTIPS, "screen tips on: the shortcut box opens", TRUE, TRUE, TRUE, FALSE, FALSE, TRUE},
      {XTP_IDC_CHECK_SHORTCUTS, "shortcut keys in tips on", TRUE, TRUE, TRUE, TRUE, FALSE, TRUE},
  };

  Sheet s(f);
  CXTPCustomizeOptionsPage& page = s.page;
  RunSheet(s.sheet, [&] {
    ASSERT_EQ(s.sheet.GetActivePage(), &page);
    // The boxes show the options as the page found them.
    EXPECT_TRUE(Checked(&page, XTP_IDC_CHECK_FULL_MENUS));
    EXPECT_TRUE(Checked(&page, XTP_IDC_CHECK_AFTERDELAY));
    EXPECT_FALSE(Checked(&page, XTP_IDC_CHECK_LARGEICONS));
    EXPECT_TRUE(Checked(&page, XTP_IDC_CHECK_SCREENTTIPS));
    EXPECT_FALSE(Checked(&page, XTP_IDC_CHECK_SHORTCUTS));
    EXPECT_FALSE(Enabled(&page, XTP_IDC_CHECK_AFTERDELAY));
    EXPECT_TRUE(Enabled(&page, XTP_IDC_CHECK_SHORTCUTS));

    for (const Step& st : steps) {
      SCOPED_TRACE(st.what);
      auto reached = [&] {
        return o->bAlwaysShowFullMenus == st.bFull && o->bShowFullAfterDelay == st.bDelay &&
               o->bToolBarScreenTips == st.bTips && o->bToolBarAccelTips == st.bAccel;
      };
      ClickControl(&page, st.nClick);
      PumpUntil(reached, 2000);
      PumpFor(60);  // a click that should change nothing has had its time too
      EXPECT_EQ(o->bAlwaysShowFullMenus, st.bFull);
      EXPECT_EQ(o->bShowFullAfterDelay, st.bDelay);
      EXPECT_EQ(o->bToolBarScreenTips, st.bTips);
      EXPECT_EQ(o->bToolBarAccelTips, st.bAccel);
      EXPECT_EQ(Checked(&page, XTP_IDC_CHECK_FULL_MENUS), st.bFull);
      EXPECT_EQ(Checked(&page, XTP_IDC_CHECK_AFTERDELAY), st.bDelay);
      EXPECT_EQ(Checked(&page, XTP_IDC_CHECK_SCREENTTIPS), st.bTips);
      EXPECT_EQ(Checked(&page, XTP_IDC_CHECK_SHORTCUTS), st.bAccel);
      EXPECT_EQ(Enabled(&page, XTP_IDC_CHECK_AFTERDELAY), st.bDelayEnabled);
      EXPECT_EQ(Enabled(&page, XTP_IDC_CHECK_SHORTCUTS), st.bAccelEnabled);
      EXPECT_FALSE(o->bLargeIcons);

      // What the toolbar's tooltip shows now.
      const std::pair<INT_PTR, std::wstring> tip = FirstTip(f.pStandard);
      if (!st.bTips) {
        EXPECT_EQ(tip.first, -1);
      } else {
        EXPECT_EQ(tip.first, 57600);
        EXPECT_EQ(tip.second, st.bAccel ? L"New (Ctrl+N)" : L"New");
      }
    }
  });
}

// ---------------------------------------------------------------------------------------
// The boxes' mnemonics work from the keyboard as clicks do: Alt+N full menus, Alt+D the
// delay, Alt+T screen tips, Alt+H shortcut keys in tips.
TEST_F(CustomizeOptionsPage, MnemonicsToggleTheBoxesLikeClicks) {
  Frame f(L"Options keys");
  CXTPCommandBarsOptions* o = f.Options();
  struct Key {
    WORD vk;
    const char* what;
    BOOL bFull, bDelay, bTips, bAccel;
  };
  const Key keys[] = {
      {'N', "Alt+N: full menus off", FALSE, TRUE, TRUE, FALSE},
      {'D', "Alt+D: delay off", FALSE, FALSE, TRUE, FALSE},
      {'H', "Alt+H: shortcut keys on", FALSE, FALSE, TRUE, TRUE},
      {'T', "Alt+T: screen tips off", FALSE, FALSE, FALSE, TRUE},
      {'N', "Alt+N: full menus on", TRUE, FALSE, FALSE, TRUE},
  };
  Sheet s(f);
  CXTPCustomizeOptionsPage& page = s.page;
  // The script's own loop hands keys to the windows' PreTranslateMessage, as the sheet's
  // loop does, so that the dialog manager sees them.
  RunSheet(s.sheet, [&] {
    page.GetDlgItem(XTP_IDC_CHECK_LARGEICONS)->SetFocus();
    PumpFor(30);
    for (const Key& k : keys) {
      SCOPED_TRACE(k.what);
      cbtest::KeyEvent(VK_MENU, false);
      cbtest::KeyEvent(k.vk, false);
      cbtest::KeyEvent(k.vk, true);
      cbtest::KeyEvent(VK_MENU, true);
      EXPECT_TRUE(PumpUntil([&] {
        return o->bAlwaysShowFullMenus == k.bFull && o->bShowFullAfterDelay == k.bDelay &&
               o->bToolBarScreenTips == k.bTips && o->bToolBarAccelTips == k.bAccel;
      }, 2000, testsupport::Dispatch::Framework));
      EXPECT_EQ(Enabled(&page, XTP_IDC_CHECK_AFTERDELAY), !k.bFull);
      EXPECT_EQ(Enabled(&page, XTP_IDC_CHECK_SHORTCUTS), k.bTips);
    }
  });
}

// ---------------------------------------------------------------------------------------
// "Large icons" re-lays the visible bars at once: the toolbar and the frame's top dock bar
// grow on the screen, and shrink back when the box is cleared.
TEST_F(CustomizeOptionsPage, LargeIconsRelayTheBarsOnTheScreen) {
  Frame f(L"Options large icons");
  const CRect rcSmall = f.BarRect();
  const CRect rcButtonSmall = f.pStandard->GetControl(0)->GetRect();
  CRect rcDockSmall;
  f.pBars->GetDockBarAt(0)->GetWindowRect(&rcDockSmall);
  ASSERT_GT(rcSmall.Height(), 16);

  Sheet s(f);
  CXTPCustomizeOptionsPage& page = s.page;
  RunSheet(s.sheet, [&] {
    ClickControl(&page, XTP_IDC_CHECK_LARGEICONS);
    ASSERT_TRUE(PumpUntil([&] { return f.BarRect().Height() > rcSmall.Height(); }, 2000))
        << "the bar kept its height " << rcSmall.Height();
    EXPECT_TRUE(f.Options()->bLargeIcons);
    EXPECT_TRUE(page.m_bLargeIcons);
    EXPECT_EQ(f.pStandard->GetIconSize(), CSize(32, 32));
    const CRect rcLarge = f.BarRect();
    const CRect rcButtonLarge = f.pStandard->GetControl(0)->GetRect();
    // Icons twice as large: buttons 16 pixels larger each way.
    EXPECT_EQ(rcButtonLarge.Height(), rcButtonSmall.Height() + 16);
    EXPECT_EQ(rcButtonLarge.Width(), rcButtonSmall.Width() + 16);
    EXPECT_GE(rcLarge.Height(), rcSmall.Height() + 16);
    EXPECT_GT(rcLarge.Width(), rcSmall.Width());
    // The frame re-laid its dock bar around the larger bar.
    CRect rcDock;
    f.pBars->GetDockBarAt(0)->GetWindowRect(&rcDock);
    EXPECT_GE(rcDock.Height(), rcLarge.Height());
    EXPECT_GT(rcDock.Height(), rcDockSmall.Height());
    ShotScreen({f.pFrame->m_hWnd, s.sheet.m_hWnd}, L"customize_options_large_icons.png");

    ClickControl(&page, XTP_IDC_CHECK_LARGEICONS);
    ASSERT_TRUE(PumpUntil([&] { return f.BarRect().Height() == rcSmall.Height(); }, 2000))
        << "the bar stayed " << f.BarRect().Height() << " high";
    EXPECT_FALSE(f.Options()->bLargeIcons);
    EXPECT_EQ(f.BarRect().Width(), rcSmall.Width());
    f.pBars->GetDockBarAt(0)->GetWindowRect(&rcDock);
    EXPECT_EQ(rcDock.Height(), rcDockSmall.Height());
  });
}

// ---------------------------------------------------------------------------------------
// The animation list: its entries in value order, the stored animation shown, and each
// pick stored as the entry's index ("None" is 5).
TEST_F(CustomizeOptionsPage, AnimationListStoresTheChosenIndex) {
  Frame f(L"Options animation");
  f.Options()->animationType = xtpAnimateFade;
  Sheet s(f);
  CXTPCustomizeOptionsPage& page = s.page;
  struct Pick {
    int nIndex;
    const wchar_t* text;
  };
  const Pick picks[] = {{5, L"None"}, {0, L"(System default)"}, {3, L"Slide"}, {1, L"Random"}, {2, L"Unfold"}};
  RunSheet(s.sheet, [&] {
    CComboBox& combo = page.m_wndAnimation;
    ASSERT_NE(combo.GetSafeHwnd(), (HWND)NULL);
    std::vector<std::wstring> entries;
    for (int i = 0; i < combo.GetCount(); i++) {
      CString str;
      combo.GetLBText(i, str);
      entries.push_back(W(str));
    }
    EXPECT_EQ(entries,
              (std::vector<std::wstring>{L"(System default)", L"Random", L"Unfold", L"Slide", L"Fade", L"None"}));
    EXPECT_EQ(combo.GetCurSel(), 4);
    EXPECT_EQ(W(ComboText(combo)), L"Fade");

    for (const Pick& p : picks) {
      SCOPED_TRACE(testing::Message() << "pick " << p.nIndex);
      PickAnimation(page, p.nIndex);
      EXPECT_TRUE(PumpUntil([&] { return (int)f.Options()->animationType == p.nIndex; }, 2000))
          << "animation is " << (int)f.Options()->animationType;
      EXPECT_EQ(W(ComboText(combo)), p.text);
      EXPECT_EQ(page.m_nAnimation, p.nIndex);
    }
  });
}

// ---------------------------------------------------------------------------------------
// The usage-data question: a real message box with the question's text; No keeps the used
// commands, Yes forgets them (the hidden command hides again).
namespace {

struct BoxAnswerer {
  static BoxAnswerer* s_pThis;
  HWND hSheet;
  int nAnswer;
  int nSeen = 0;
  bool bAnswered = false;
  std::wstring strText;
  bool bDefaultIsNo = false;
  UINT_PTR nTimer = 0;
  std::wstring strExpected;  // only a box with this text gets the answer
  bool bOtherBox = false;
  BoxAnswerer(HWND sheet, int answer, const std::wstring& expected)
      : hSheet(sheet), nAnswer(answer), strExpected(expected) {
    s_pThis = this;
    nTimer = ::SetTimer(NULL, 0, 50, &BoxAnswerer::OnTimer);
  }
  ~BoxAnswerer() {
    ::KillTimer(NULL, nTimer);
    s_pThis = nullptr;
  }
  static BOOL CALLBACK FindBox(HWND hWnd, LPARAM lParam) {
    WCHAR cls[32] = {0};
    ::GetClassNameW(hWnd, cls, 32);
    if (wcscmp(cls, L"#32770") == 0 && ::IsWindowVisible(hWnd) && hWnd != s_pThis->hSheet) {
      *reinterpret_cast<HWND*>(lParam) = hWnd;
      return FALSE;
    }
    return TRUE;
  }
  static BOOL CALLBACK ReadText(HWND hWnd, LPARAM lParam) {
    WCHAR cls[32] = {0};
    ::GetClassNameW(hWnd, cls, 32);
    if (_wcsicmp(cls, L"Static") == 0) {
      WCHAR text[1024] = {0};
      ::GetWindowTextW(hWnd, text, 1024);
      auto* pText = reinterpret_cast<std::wstring*>(lParam);
      if (wcslen(text) > pText->size()) *pText = text;
    }
    return TRUE;
  }
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    BoxAnswerer* p = s_pThis;
    if (p == nullptr || p->bAnswered) return;
    HWND hBox = NULL;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&hBox));
    if (hBox == NULL) return;
    p->nSeen++;
    ::EnumChildWindows(hBox, ReadText, reinterpret_cast<LPARAM>(&p->strText));
    HWND hNo = ::GetDlgItem(hBox, IDNO);
    p->bDefaultIsNo = hNo != NULL && (::GetWindowLongW(hNo, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    ::RedrawWindow(hBox, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    testsupport::CSnapshot shot(hBox, testsupport::WindowArea::Whole);
    shot.SavePng(testsupport::ArtifactPath(L"commandbars\\customize_options_reset_question.png"));
    if (p->strText != p->strExpected) {
      // Some other box: closed without the answer meant for the question.
      p->bOtherBox = true;
      p->bAnswered = true;
      ::PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      ::PostMessageW(hBox, WM_CLOSE, 0, 0);
      return;
    }
    // The user's click on the answer's button.
    HWND hButton = ::GetDlgItem(hBox, p->nAnswer);
    if (hButton == NULL) return;
    p->bAnswered = true;
    ::SetForegroundWindow(hBox);
    RECT rc;
    ::GetWindowRect(hButton, &rc);
    SendClick(CPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));
  }
};
BoxAnswerer* BoxAnswerer::s_pThis = nullptr;

}  // namespace

TEST_F(CustomizeOptionsPage, ResetUsageDataAsksFirst) {
  struct Case {
    int nAnswer;
    bool bForgotten;
  };
  const Case cases[] = {{IDNO, false}, {IDYES, true}};
  const CString strQuestion = ResString(XTP_IDS_CONFIRM_RESETDATA);
  ASSERT_FALSE(strQuestion.IsEmpty());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nAnswer == IDYES ? "Yes" : "No");
    Frame f(L"Options usage data");
    f.pBars->HideCommand(57601);
    ASSERT_TRUE(f.pBars->IsCommandHidden(57601));
    f.pBars->SetCommandUsed(57601);
    ASSERT_FALSE(f.pBars->IsCommandHidden(57601));
    ASSERT_TRUE(f.Options()->m_mapUsedCommands.Contains(57601));

    Sheet s(f);
    RunSheet(s.sheet, [&] {
      BoxAnswerer answerer(s.sheet.m_hWnd, c.nAnswer, W(strQuestion));
      ClickControl(&s.page, XTP_IDC_BUTTON_RESETDATA);
      ASSERT_TRUE(PumpUntil([&] { return answerer.bAnswered; }, 3000)) << "no question came";
      // The box has gone and the click came back to the page.
      PumpUntil([&] {
        HWND hBox = NULL;
        ::EnumThreadWindows(::GetCurrentThreadId(), BoxAnswerer::FindBox, reinterpret_cast<LPARAM>(&hBox));
        return hBox == NULL;
      }, 3000);
      PumpFor(60);
      EXPECT_EQ(answerer.nSeen, 1);
      EXPECT_FALSE(answerer.bOtherBox) << "a box with another text came";
      EXPECT_EQ(answerer.strText, W(strQuestion));
      EXPECT_TRUE(answerer.bDefaultIsNo) << "No is the default answer";
      EXPECT_EQ(f.Options()->m_mapUsedCommands.Contains(57601), !c.bForgotten);
      EXPECT_EQ(f.pBars->IsCommandHidden(57601), c.bForgotten);
    });
  }
}

// ---------------------------------------------------------------------------------------
// The options the page set survive a save and a load into a new frame, whose own sheet
// shows them as they were left.
TEST_F(CustomizeOptionsPage, OptionsSurviveSaveAndLoad) {
  {
    Frame a(L"Options saved");
    Sheet s(a);
    CXTPCustomizeOptionsPage& page = s.page;
    RunSheet(s.sheet, [&] {
      for (UINT nID : {XTP_IDC_CHECK_FULL_MENUS, XTP_IDC_CHECK_AFTERDELAY, XTP_IDC_CHECK_LARGEICONS,
                       XTP_IDC_CHECK_SHORTCUTS, XTP_IDC_CHECK_SCREENTTIPS}) {
        const BOOL bBefore = Checked(&page, nID);
        ClickControl(&page, nID);
        EXPECT_TRUE(PumpUntil([&] { return Checked(&page, nID) != bBefore; }, 2000)) << nID;
      }
      PickAnimation(page, 2);
      PumpUntil([&] { return a.Options()->animationType == xtpAnimateUnfold; }, 2000);
      // "Close" ends the sheet.
      CWnd* pClose = s.sheet.GetDlgItem(IDCANCEL);
      ASSERT_NE(pClose, nullptr);
      CRect rc;
      pClose->GetWindowRect(&rc);
      cbtest::ClickAt(rc.CenterPoint());
      PumpUntil([&] { return !s.sheet.ContinueModal() || !::IsWindowVisible(s.sheet.m_hWnd); }, 2000);
    });
    const CXTPCommandBarsOptions* o = a.Options();
    ASSERT_FALSE(o->bAlwaysShowFullMenus);
    ASSERT_FALSE(o->bShowFullAfterDelay);
    ASSERT_TRUE(o->bLargeIcons);
    ASSERT_FALSE(o->bToolBarScreenTips);
    ASSERT_TRUE(o->bToolBarAccelTips);
    ASSERT_EQ(o->animationType, xtpAnimateUnfold);
    a.pBars->SaveOptions(kProfile);
  }
  // Stored by name.
  const wchar_t kSection[] = L"CommandBars-Options";
  EXPECT_EQ(theApp.GetProfileInt(kSection, L"AlwaysShowFullMenus", -1), 0);
  EXPECT_EQ(theApp.GetProfileInt(kSection, L"ShowFullAfterDelay", -1), 0);
  EXPECT_EQ(theApp.GetProfileInt(kSection, L"LargeIcons", -1), 1);
  EXPECT_EQ(theApp.GetProfileInt(kSection, L"ToolBarScreenTips", -1), 0);
  EXPECT_EQ(theApp.GetProfileInt(kSection, L"ToolBarAccelTips", -1), 1);
  EXPECT_EQ(theApp.GetProfileInt(kSection, L"Animation", -1), 2);

  Frame b(L"Options loaded");
  // A new frame starts from the defaults.
  ASSERT_TRUE(b.Options()->bAlwaysShowFullMenus);
  ASSERT_FALSE(b.Options()->bLargeIcons);
  const CRect rcSmall = b.BarRect();
  b.pBars->LoadOptions(kProfile);
  b.pBars->RepositionBars();
  PumpFor(50);
  const CXTPCommandBarsOptions* o = b.Options();
  EXPECT_FALSE(o->bAlwaysShowFullMenus);
  EXPECT_FALSE(o->bShowFullAfterDelay);
  EXPECT_TRUE(o->bLargeIcons);
  EXPECT_FALSE(o->bToolBarScreenTips);
  EXPECT_TRUE(o->bToolBarAccelTips);
  EXPECT_EQ(o->animationType, xtpAnimateUnfold);
  EXPECT_GT(b.BarRect().Height(), rcSmall.Height());

  Sheet s(b);
  CXTPCustomizeOptionsPage& page = s.page;
  RunSheet(s.sheet, [&] {
    EXPECT_FALSE(Checked(&page, XTP_IDC_CHECK_FULL_MENUS));
    EXPECT_FALSE(Checked(&page, XTP_IDC_CHECK_AFTERDELAY));
    EXPECT_TRUE(Enabled(&page, XTP_IDC_CHECK_AFTERDELAY));
    EXPECT_TRUE(Checked(&page, XTP_IDC_CHECK_LARGEICONS));
    EXPECT_FALSE(Checked(&page, XTP_IDC_CHECK_SCREENTTIPS));
    EXPECT_TRUE(Checked(&page, XTP_IDC_CHECK_SHORTCUTS));
    EXPECT_FALSE(Enabled(&page, XTP_IDC_CHECK_SHORTCUTS));
    EXPECT_EQ(W(ComboText(page.m_wndAnimation)), L"Unfold");
    ShotScreen({b.pFrame->m_hWnd, s.sheet.m_hWnd}, L"customize_options_page_loaded.png");
  });
}

// ---------------------------------------------------------------------------------------
// The page over its frame in both paint themes, and its two section captions: the text,
// then an etched line to the right edge (to the left edge for right-to-left reading).
class CustomizeOptionsPageTheme : public CustomizeOptionsPage, public ::testing::WithParamInterface<int> {};

TEST_P(CustomizeOptionsPageTheme, PageAndSectionCaptions) {
  const int nTheme = GetParam();
  CXTPPaintManager::SetTheme(nTheme);
  Frame f(L"Options page");
  Sheet s(f);
  CXTPCustomizeOptionsPage& page = s.page;
  RunSheet(s.sheet, [&] {
    // The tab reads "&Options" and the page's texts are the template's.
    TCITEMW item = {};
    WCHAR text[64] = {0};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    ASSERT_TRUE(::SendMessageW(::GetDlgItem(s.sheet.m_hWnd, 0x3020), TCM_GETITEMW, kOptionsPage, (LPARAM)&item));
    EXPECT_STREQ(text, L"&Options");
    CString str;
    page.GetDlgItemText(XTP_IDC_BUTTON_RESETDATA, str);
    EXPECT_EQ(W(str), L"&Reset menu and toolbar usage data");
    page.GetDlgItemText(XTP_IDC_GROUP_PERSONALIZED, str);
    EXPECT_EQ(W(str), L"Personalized Menus and Toolbars");

    ShotScreen({f.pFrame->m_hWnd, s.sheet.m_hWnd},
               nTheme == 0 ? L"customize_options_page_theme0.png" : L"customize_options_page_theme3.png");

    struct Caption {
      CXTPCustomizeSeparator* pSeparator;
      bool bRTL;
    };
    const Caption captions[] = {{&page.m_wndSeparatorPersonalized, false},
                                {&page.m_wndSeparatorOther, false},
                                {&page.m_wndSeparatorOther, true}};
    for (const Caption& c : captions) {
      SCOPED_TRACE(testing::Message() << c.pSeparator->GetDlgCtrlID() << (c.bRTL ? " right to left" : ""));
      ASSERT_NE(c.pSeparator->GetSafeHwnd(), (HWND)NULL);
      if (c.bRTL) c.pSeparator->ModifyStyleEx(0, WS_EX_RTLREADING);
      c.pSeparator->Invalidate();
      c.pSeparator->UpdateWindow();
      PumpFor(30);
      CRect rcClient;
      c.pSeparator->GetClientRect(&rcClient);
      const CRect rcLine = c.pSeparator->GetLineRect();
      ASSERT_FALSE(rcLine.IsRectEmpty());
      // The text's width, as the caption's font measures it.
      CString strText;
      c.pSeparator->GetWindowText(strText);
      CClientDC dc(c.pSeparator);
      CFont* pOld = dc.SelectObject(c.pSeparator->GetFont());
      const int cxText = dc.GetTextExtent(strText).cx;
      dc.SelectObject(pOld);
      if (!c.bRTL) {
        EXPECT_EQ(rcLine.left, cxText + 6);
        EXPECT_EQ(rcLine.right, rcClient.right);
      } else {
        EXPECT_EQ(rcLine.left, 0);
        EXPECT_EQ(rcLine.right, rcClient.right - cxText - 6);
      }
      EXPECT_EQ(rcLine.top, rcClient.Height() / 2);

      // On the screen: the line's colours, and no line over the text.
      testsupport::CSnapshot shot(c.pSeparator->m_hWnd, testsupport::WindowArea::Client);
      const int xMid = (rcLine.left + rcLine.right) / 2;
      if (!CXTPThemeHandle::IsThemingAvailable()) {
        EXPECT_EQ(shot.Pixel(xMid, rcLine.top), ::GetSysColor(COLOR_BTNSHADOW));
        EXPECT_EQ(shot.Pixel(xMid, rcLine.top + 1), ::GetSysColor(COLOR_BTNHIGHLIGHT));
      } else {
        EXPECT_NE(shot.Pixel(xMid, rcLine.top), shot.Pixel(xMid, 0));
      }
      const CRect rcTextArea = c.bRTL ? CRect(rcClient.right - cxText, 0, rcClient.right, rcClient.bottom)
                                      : CRect(0, 0, cxText, rcClient.bottom);
      EXPECT_TRUE(shot.Contains(rcTextArea, ::GetSysColor(COLOR_BTNTEXT)) ||
                  CXTPThemeHandle::IsThemingAvailable())
          << "no text drawn";
      if (c.bRTL) {
        c.pSeparator->ModifyStyleEx(WS_EX_RTLREADING, 0);
        c.pSeparator->Invalidate();
      }
    }
  });
}

INSTANTIATE_TEST_SUITE_P(Themes, CustomizeOptionsPageTheme, ::testing::Values(0, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return "Theme" + std::to_string(info.param);
                         });
