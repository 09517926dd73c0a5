// The toolbars page of the customize sheet, in the real sheet over a frame with a menu bar
// and toolbars. A script played by a thread timer inside the sheet's modal loop clicks the
// check boxes and buttons and types names through SendInput, and answers each message box
// after checking its text; every step waits for the state the previous one should give.
#include <framework.h>

#include <gtest/gtest.h>

#include <test_picture.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "CommandBarsTestSupport.h"
#include "XTPCommandBars.h"
#include "XTPControl.h"
#include "XTPControls.h"
#include "XTPCustomizeSheet.h"
#include "XTPCustomizeToolbarsPage.h"
#include "XTPMenuBar.h"
#include "XTPPaintManager.h"
#include "XTPToolBar.h"
#include "customize_res.h"

CWinApp theApp(L"Vorlix toolbars page test");

BEGIN_MESSAGE_MAP(cbtest::CCustomizableFrame, CFrameWnd)
  ON_COMMAND(XTP_ID_CUSTOMIZE, OnCustomize)
END_MESSAGE_MAP()

namespace {

using cbtest::PumpFor;
using cbtest::PumpUntil;

const wchar_t kCompany[] = L"Vorlix toolbars page tests";
const wchar_t kProfile[] = L"CommandBars";
const UINT kMenuId = 701;
const UINT kStandard[] = {57600, 57601, 57603};
const UINT kFormat[] = {33001, 33002};

std::wstring W(const CString& s) { return std::wstring(s.GetString()); }

// ---- Input without pumping (the script runs inside the modal loops) ------------------------
using cbtest::SendClick;

void SendKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
  std::vector<INPUT> in;
  for (const auto& k : keys) {
    INPUT i = {};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = k.first;
    i.ki.dwFlags = k.second ? KEYEVENTF_KEYUP : 0;
    in.push_back(i);
  }
  ::SendInput((UINT)in.size(), in.data(), sizeof(INPUT));
}

void SendText(const wchar_t* text) {
  std::vector<INPUT> in;
  for (const wchar_t* p = text; *p; p++) {
    INPUT i = {};
    i.type = INPUT_KEYBOARD;
    i.ki.wScan = *p;
    i.ki.dwFlags = KEYEVENTF_UNICODE;
    in.push_back(i);
    i.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    in.push_back(i);
  }
  ::SendInput((UINT)in.size(), in.data(), sizeof(INPUT));
}

CPoint CentreOf(HWND hWnd) {
  CRect rc;
  ::GetWindowRect(hWnd, &rc);
  return rc.CenterPoint();
}

// ---- Dialogs of this thread ----------------------------------------------------------------
bool IsDialog(HWND hWnd) {
  wchar_t cls[16] = {};
  ::GetClassNameW(hWnd, cls, 16);
  return lstrcmpW(cls, L"#32770") == 0 && ::IsWindowVisible(hWnd);
}

std::wstring WindowText(HWND hWnd) {
  wchar_t text[512] = {};
  ::GetWindowTextW(hWnd, text, 512);
  return text;
}

// The texts of a message box: its static texts (not its icon) joined.
std::wstring BoxText(HWND hBox) {
  std::wstring text;
  for (HWND h = ::GetWindow(hBox, GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT)) {
    wchar_t cls[16] = {};
    ::GetClassNameW(h, cls, 16);
    if (lstrcmpiW(cls, L"Static") == 0 && (::GetWindowLongW(h, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
      text += WindowText(h);
  }
  return text;
}

std::vector<HWND> ThreadDialogs() {
  std::vector<HWND> out;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND h, LPARAM lp) -> BOOL {
        if (IsDialog(h)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
        return TRUE;
      },
      (LPARAM)&out);
  return out;
}

// The visible message box showing exactly this text, or null.
HWND FindBox(const std::wstring& text) {
  for (HWND h : ThreadDialogs())
    if (::GetDlgItem(h, XTP_IDC_TOOLBAR_NAME) == NULL && BoxText(h) == text) return h;
  return NULL;
}

// The visible name dialog ("New Toolbar" or "Rename Toolbar"), or null.
HWND FindNameDialog() {
  for (HWND h : ThreadDialogs())
    if (::GetDlgItem(h, XTP_IDC_TOOLBAR_NAME) != NULL) return h;
  return NULL;
}

// ---- The script ----------------------------------------------------------------------------
struct Step {
  std::string what;             // what the step waits for, named in a failure
  std::function<bool()> ready;  // null: at once
  std::function<void()> act;
};

class CScript {
 public:
  explicit CScript(std::vector<Step> steps) : m_steps(std::move(steps)) {
    s_pThis = this;
    m_dwWaitStart = ::GetTickCount();
    m_nTimer = ::SetTimer(NULL, 0, 40, Tick);
  }
  ~CScript() {
    ::KillTimer(NULL, m_nTimer);
    s_pThis = nullptr;
  }
  bool Finished() const { return m_nNext == m_steps.size(); }
  const std::string& Failure() const { return m_strFailure; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (s_pThis != nullptr) s_pThis->OnTick();
  }
  void OnTick() {
    if (m_bBusy) return;
    m_bBusy = true;
    if (!m_strFailure.empty()) {
      // Close whatever stays open, the innermost first, so the sheet's DoModal returns.
      std::vector<HWND> dialogs = ThreadDialogs();
      if (!dialogs.empty()) ::PostMessageW(dialogs.front(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    } else if (m_nNext < m_steps.size()) {
      Step& step = m_steps[m_nNext];
      if (!step.ready || step.ready()) {
        if (step.act) step.act();
        m_nNext++;
        m_dwWaitStart = ::GetTickCount();
      } else if (::GetTickCount() - m_dwWaitStart > 8000) {
        m_strFailure = "timed out waiting for: " + step.what;
      }
    }
    m_bBusy = false;
  }

  static CScript* s_pThis;
  std::vector<Step> m_steps;
  size_t m_nNext = 0;
  DWORD m_dwWaitStart = 0;
  std::string m_strFailure;
  UINT_PTR m_nTimer = 0;
  bool m_bBusy = false;
};
CScript* CScript::s_pThis = nullptr;

// ---- The frame -------------------------------------------------------------------------------
// A frame with the menu bar "Menu Bar", the built-in "Standard" (200) and the built-in,
// not closeable "Format" (201), and the user bars a test asks for.
struct Frame : cbtest::BarsFrame<cbtest::CCustomizableFrame> {
  explicit Frame(const wchar_t* title, const std::vector<std::pair<std::wstring, UINT>>& userBars = {})
      : BarsFrame(title, CRect(40, 40, 760, 460)) {
    CreateBars();
    EXPECT_NE(pBars->SetMenu(L"Menu Bar", kMenuId), nullptr);
    AddBuiltInBar(L"Standard", 200, kStandard, 3, L"B%d");
    AddBuiltInBar(L"Format", 201, kFormat, 2, L"B%d")->SetCloseable(FALSE);
    for (const auto& bar : userBars) EXPECT_NE(pBars->AddCustomBar(bar.first.c_str(), bar.second), nullptr);
    Arrange();
  }
  CXTPToolBar* Bar(const wchar_t* title) const {
    for (int i = 0; i < pBars->GetCount(); i++)
      if (W(pBars->GetAt(i)->GetTitle()) == title) return pBars->GetAt(i);
    return nullptr;
  }
};

// ---- The sheet and what the steps do in it ----------------------------------------------------
class ToolbarsPage : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (theApp.m_pszRegistryKey == nullptr) theApp.SetRegistryKey(kCompany);
  }
  void SetUp() override {
    cbtest::ParkPointer();
    CXTPPaintManager::SetTheme(0);
    cbtest::DeleteProfile();
  }
  void TearDown() override {
    cbtest::DeleteProfile();
    CXTPPaintManager::SetTheme(0);
    cbtest::ParkPointer();
  }

  // Runs the sheet over the frame's bars and plays the steps in it; the last step ends the
  // sheet. The page is the sheet's first page.
  void RunSheet(Frame& f, std::vector<Step> steps) {
    CXTPCustomizeSheet sheet(f.pBars);
    m_pSheet = &sheet;
    steps.push_back({"the sheet to close", nullptr, [&] {
                       ::PostMessageW(sheet.m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                     }});
    std::vector<Step> all;
    all.push_back({"the page to show", [&] { return List() != nullptr && ::IsWindowVisible(List()->m_hWnd); }, [] {}});
    for (Step& s : steps) all.push_back(std::move(s));
    CScript script(std::move(all));
    sheet.DoModal();
    PumpFor(30);
    EXPECT_TRUE(script.Failure().empty()) << script.Failure();
    EXPECT_TRUE(script.Finished());
    m_pSheet = nullptr;
  }

  CXTPCustomizeToolbarsPage* Page() const { return m_pSheet != nullptr ? m_pSheet->GetToolbarsPage() : nullptr; }
  CCheckListBox* List() const {
    CXTPCustomizeToolbarsPage* pPage = Page();
    return pPage != nullptr && pPage->GetToolbarsList().GetSafeHwnd() != NULL ? &pPage->GetToolbarsList() : nullptr;
  }
  int ItemOf(const wchar_t* title) const {
    CCheckListBox* pList = List();
    for (int i = 0; pList != nullptr && i < pList->GetCount(); i++) {
      CString text;
      pList->GetText(i, text);
      if (W(text) == title) return i;
    }
    return -1;
  }
  std::vector<std::wstring> Titles() const {
    std::vector<std::wstring> out;
    CCheckListBox* pList = List();
    for (int i = 0; pList != nullptr && i < pList->GetCount(); i++) {
      CString text;
      pList->GetText(i, text);
      out.push_back(W(text));
    }
    return out;
  }
  CPoint ItemPoint(int nItem, bool bBox) const {
    CRect rc;
    List()->GetItemRect(nItem, &rc);
    CPoint pt = bBox ? List()->CheckRect(rc).CenterPoint() : CPoint(rc.left + 60, rc.CenterPoint().y);
    List()->ClientToScreen(&pt);
    return pt;
  }
  HWND Button(UINT nID) const { return ::GetDlgItem(Page()->m_hWnd, nID); }
  bool Enabled(UINT nID) const { return ::IsWindowEnabled(Button(nID)) != FALSE; }

  // Step makers.
  Step ClickItem(const wchar_t* title, bool bBox) {
    std::wstring t = title;
    return {"item " + std::string(t.begin(), t.end()), [this, t] { return ItemOf(t.c_str()) >= 0; },
            [this, t, bBox] { SendClick(ItemPoint(ItemOf(t.c_str()), bBox)); }};
  }
  Step Select(const wchar_t* title) {
    std::wstring t = title;
    return {"selection of an item", [this, t] { return List()->GetCurSel() == ItemOf(t.c_str()); }, [] {}};
  }
  Step PressButton(UINT nID) {
    return {"button " + std::to_string(nID) + " enabled", [this, nID] { return Enabled(nID) && FindNameDialog() == NULL; },
            [this, nID] { SendClick(CentreOf(Button(nID))); }};
  }
  // Waits for the message box with the text and presses its button.
  static Step Answer(const std::wstring& text, UINT nButton) {
    return {"a message box saying the text", [text] { return FindBox(text) != NULL; },
            [text, nButton] { SendClick(CentreOf(::GetDlgItem(FindBox(text), nButton))); }};
  }
  Step NoBoxLeft() {
    return {"the message box to close", [this] {
              for (HWND h : ThreadDialogs())
                if (h != m_pSheet->m_hWnd && ::GetDlgItem(h, XTP_IDC_TOOLBAR_NAME) == NULL) return false;
              return true;
            },
            [] {}};
  }
  // Waits for the name dialog and replaces its name by typing.
  static Step TypeName(const wchar_t* name) {
    std::wstring n = name;
    return {"the name dialog", [] { return FindNameDialog() != NULL; },
            [n] {
              HWND hEdit = ::GetDlgItem(FindNameDialog(), XTP_IDC_TOOLBAR_NAME);
              SendClick(CentreOf(hEdit));
              SendKeys({{VK_END, false}, {VK_END, true}, {VK_SHIFT, false}, {VK_HOME, false}, {VK_HOME, true},
                        {VK_SHIFT, true}, {VK_DELETE, false}, {VK_DELETE, true}});
              SendText(n.c_str());
            }};
  }
  // Waits until the name dialog's edit shows the text, then presses OK.
  static Step PressOkWhenNameIs(const wchar_t* name) {
    std::wstring n = name;
    return {"the name dialog to show the name", [n] {
              HWND h = FindNameDialog();
              return h != NULL && WindowText(::GetDlgItem(h, XTP_IDC_TOOLBAR_NAME)) == n;
            },
            [] { SendClick(CentreOf(::GetDlgItem(FindNameDialog(), IDOK))); }};
  }
  static Step NameDialogGone() {
    return {"the name dialog to close", [] { return FindNameDialog() == NULL; }, [] {}};
  }
  static Step Do(std::function<void()> fn) { return {"", nullptr, std::move(fn)}; }
  static Step WaitFor(const std::string& what, std::function<bool()> cond) { return {what, std::move(cond), [] {}}; }

  void ShotOf(HWND hWnd, const std::wstring& name) {
    ::RedrawWindow(hWnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    testsupport::CSnapshot shot(hWnd, testsupport::WindowArea::Whole);
    EXPECT_TRUE(shot.SavePng(testsupport::ArtifactPath(L"commandbars\\" + name)));
  }

  // The screen where the frame and the sheet stand: the page beside the bars it lists.
  void ShotWithFrame(Frame& f, const std::wstring& name) {
    // The sheet beside the frame, so that neither hides the other.
    CRect rcBeside;
    f.pFrame->GetWindowRect(&rcBeside);
    m_pSheet->SetWindowPos(NULL, rcBeside.right + 8, rcBeside.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::RedrawWindow(f.pFrame->m_hWnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    ::RedrawWindow(m_pSheet->m_hWnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    PumpFor(150);
    CRect rcFrame, rcSheet, rc;
    f.pFrame->GetWindowRect(&rcFrame);
    m_pSheet->GetWindowRect(&rcSheet);
    rc.UnionRect(&rcFrame, &rcSheet);
    EXPECT_TRUE(cbtest::SaveScreenPng(rc, L"commandbars\\" + name));
  }

  CXTPCustomizeSheet* m_pSheet = nullptr;
};

}  // namespace

// ---------------------------------------------------------------------------------------
TEST_F(ToolbarsPage, ListsTheBarsWithTheirVisibilityAndSelectsTheFirst) {
  Frame f(L"Toolbars listed", {{L"Mine", 0xE800}});
  f.Bar(L"Mine")->SetVisible(FALSE);
  RunSheet(f, {Do([&] {
                 EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"Menu Bar", L"Standard", L"Format", L"Mine"}));
                 const int checks[] = {1, 1, 1, 0};
                 for (int i = 0; i < 4; i++) {
                   EXPECT_EQ(List()->GetCheck(i), checks[i]) << i;
                   EXPECT_EQ(List()->GetItemData(i), (DWORD_PTR)i) << "the bar's index";
                 }
                 // Nothing was selected before the list was filled: the first bar's item.
                 EXPECT_EQ(List()->GetCurSel(), 0);
               })});
}

TEST_F(ToolbarsPage, AHiddenMenuBarIsNotListedAndNothingIsSelected) {
  Frame f(L"Menu bar hidden");
  f.pBars->GetMenuBar()->SetVisible(FALSE);
  RunSheet(f, {Do([&] {
                 EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"Standard", L"Format"}));
                 EXPECT_EQ(List()->GetItemData(0), 1u);
                 EXPECT_EQ(List()->GetCurSel(), LB_ERR);
                 EXPECT_FALSE(Enabled(XTP_IDC_BUTTON_RESET));
                 EXPECT_FALSE(Enabled(XTP_IDC_BUTTON_RENAME));
                 EXPECT_FALSE(Enabled(XTP_IDC_BUTTON_DELETE));
                 EXPECT_TRUE(Enabled(XTP_IDC_BUTTON_NEW));
               })});
}

// A click on a box selects its item and shows or hides the bar at once; the menu bar and a
// bar that is not closeable keep their check.
TEST_F(ToolbarsPage, ChecksShowAndHideTheBarsAtOnce) {
  Frame f(L"Toolbars checked", {{L"Mine", 0xE800}});
  struct Row {
    const wchar_t* title;
    bool bHides;
  } rows[] = {
      {L"Standard", true},   // built in, closeable
      {L"Mine", true},       // the user's
      {L"Menu Bar", false},  // the menu bar stays
      {L"Format", false},    // not closeable
  };
  std::vector<Step> steps;
  for (const Row& row : rows) {
    const std::wstring t = row.title;
    CXTPToolBar* pBar = f.Bar(row.title);
    steps.push_back(ClickItem(row.title, true));
    if (row.bHides) {
      steps.push_back(WaitFor("the bar to hide", [pBar] { return !pBar->IsVisible(); }));
      steps.push_back(Do([this, pBar, t] {
        SCOPED_TRACE(std::string(t.begin(), t.end()));
        EXPECT_FALSE(pBar->IsWindowVisible()) << "hidden at once";
        EXPECT_EQ(List()->GetCheck(ItemOf(t.c_str())), 0);
        EXPECT_EQ(List()->GetCurSel(), ItemOf(t.c_str())) << "the box's item is selected";
      }));
      steps.push_back(ClickItem(row.title, true));
      steps.push_back(WaitFor("the bar to show", [pBar] { return pBar->IsVisible(); }));
      steps.push_back(Do([this, pBar, t] {
        EXPECT_TRUE(pBar->IsWindowVisible()) << "shown at once";
        EXPECT_EQ(List()->GetCheck(ItemOf(t.c_str())), 1);
      }));
    } else {
      steps.push_back(Select(row.title));
      steps.push_back(Do([this, pBar, t] {
        SCOPED_TRACE(std::string(t.begin(), t.end()));
        EXPECT_EQ(List()->GetCheck(ItemOf(t.c_str())), 1) << "the check comes back";
        EXPECT_TRUE(pBar->IsVisible());
        EXPECT_TRUE(pBar->IsWindowVisible());
      }));
    }
  }
  // The space bar toggles the selected item's check as a click on its box does.
  CXTPToolBar* pStandard = f.Bar(L"Standard");
  steps.push_back(ClickItem(L"Standard", false));
  steps.push_back(Select(L"Standard"));
  steps.push_back(Do([] { SendKeys({{VK_SPACE, false}, {VK_SPACE, true}}); }));
  steps.push_back(WaitFor("the bar to hide by the space bar", [pStandard] { return !pStandard->IsVisible(); }));
  steps.push_back(Do([this, pStandard] {
    EXPECT_FALSE(pStandard->IsWindowVisible());
    EXPECT_EQ(List()->GetCheck(ItemOf(L"Standard")), 0);
    SendKeys({{VK_SPACE, false}, {VK_SPACE, true}});
  }));
  steps.push_back(WaitFor("the bar to show by the space bar", [pStandard] { return pStandard->IsVisible(); }));
  RunSheet(f, std::move(steps));
  EXPECT_TRUE(pStandard->IsWindowVisible());
}

// The buttons follow the selected bar: built-in bars can be reset, the user's renamed and
// deleted; "New..." always.
TEST_F(ToolbarsPage, ButtonsFollowTheSelection) {
  Frame f(L"Toolbar buttons", {{L"Mine", 0xE800}});
  struct Row {
    const wchar_t* title;
    bool bReset, bRename, bDelete;
  } rows[] = {
      {L"Standard", true, false, false},
      {L"Mine", false, true, true},
      {L"Menu Bar", true, false, false},
      {L"Format", true, false, false},
  };
  std::vector<Step> steps;
  for (const Row& row : rows) {
    steps.push_back(ClickItem(row.title, false));
    steps.push_back(Select(row.title));
    steps.push_back(Do([this, row] {
      SCOPED_TRACE(row.title);
      EXPECT_EQ(Enabled(XTP_IDC_BUTTON_RESET), row.bReset);
      EXPECT_EQ(Enabled(XTP_IDC_BUTTON_RENAME), row.bRename);
      EXPECT_EQ(Enabled(XTP_IDC_BUTTON_DELETE), row.bDelete);
      EXPECT_TRUE(Enabled(XTP_IDC_BUTTON_NEW));
    }));
  }
  RunSheet(f, std::move(steps));
}

// "New..." proposes the first free "Custom %d" (names compared with their letter case) and
// the new bar gets the lowest free id from 0xE800.
TEST_F(ToolbarsPage, NewToolbarTakesTheFirstFreeNameAndTheLowestFreeId) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::wstring, UINT>> bars;
    const wchar_t* proposal;
    UINT nID;
  } cases[] = {
      {"no user bars", {}, L"Custom 1", 0xE800},
      {"Custom 1 and 2 taken", {{L"Custom 1", 0xE800}, {L"Custom 2", 0xE801}}, L"Custom 3", 0xE802},
      {"a gap in names and ids", {{L"Custom 2", 0xE801}}, L"Custom 1", 0xE800},
      {"another letter case is another name", {{L"custom 1", 0xE800}, {L"Custom 1", 0xE802}}, L"Custom 2", 0xE801},
  };
  bool bShot = false;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Frame f(L"New toolbar", c.bars);
    const int nBefore = f.pBars->GetCount();
    RunSheet(f, {PressButton(XTP_IDC_BUTTON_NEW),
                 WaitFor("the name dialog", [&] { return FindNameDialog() != NULL; }),
                 Do([&] {
                   HWND h = FindNameDialog();
                   EXPECT_EQ(WindowText(h), L"New Toolbar");
                   EXPECT_EQ(WindowText(::GetDlgItem(h, XTP_IDC_TOOLBAR_NAME)), std::wstring(c.proposal));
                   EXPECT_EQ(::GetParent(h) != NULL ? ::GetParent(h) : ::GetWindow(h, GW_OWNER), m_pSheet->m_hWnd);
                   if (!bShot) ShotOf(h, L"customize_new_toolbar.png");
                   bShot = true;
                 }),
                 PressOkWhenNameIs(c.proposal), NameDialogGone(),
                 WaitFor("the new item", [&] { return ItemOf(c.proposal) >= 0; }), Do([&] {
                   EXPECT_EQ(List()->GetCheck(ItemOf(c.proposal)), 1);
                   EXPECT_EQ(List()->GetItemData(ItemOf(c.proposal)), (DWORD_PTR)nBefore);
                 })});
    ASSERT_EQ(f.pBars->GetCount(), nBefore + 1);
    CXTPToolBar* pNew = f.pBars->GetAt(nBefore);
    EXPECT_EQ(W(pNew->GetTitle()), c.proposal);
    EXPECT_EQ(pNew->GetBarID(), c.nID);
    EXPECT_FALSE(pNew->IsBuiltIn());
    EXPECT_EQ(pNew->GetPosition(), xtpBarTop);
    EXPECT_TRUE(pNew->IsWindowVisible());
  }
}

TEST_F(ToolbarsPage, BlankAndTakenNamesAreRefusedAndTheDialogStays) {
  Frame f(L"Names refused");
  const int nBefore = f.pBars->GetCount();
  RunSheet(f, {PressButton(XTP_IDC_BUTTON_NEW), TypeName(L""), PressOkWhenNameIs(L""),
               Answer(L"The toolbar name cannot be blank. Type a name.", IDOK), NoBoxLeft(),
               WaitFor("the name dialog", [] { return FindNameDialog() != NULL; }), TypeName(L"Standard"),
               PressOkWhenNameIs(L"Standard"),
               Answer(L"A toolbar named 'Standard' already exists. Type another name.", IDOK), NoBoxLeft(),
               // The refused name is selected in the focused edit, ready to be typed over.
               WaitFor("the focus on the name", [] {
                 return FindNameDialog() != NULL && ::GetFocus() == ::GetDlgItem(FindNameDialog(), XTP_IDC_TOOLBAR_NAME);
               }),
               Do([] {
                 DWORD nStart = 0, nEnd = 0;
                 ::SendMessageW(::GetFocus(), EM_GETSEL, (WPARAM)&nStart, (LPARAM)&nEnd);
                 EXPECT_EQ(nStart, 0u);
                 EXPECT_EQ(nEnd, 8u);
               }),
               // The menu bar's title is as taken as any toolbar's.
               TypeName(L"Menu Bar"), PressOkWhenNameIs(L"Menu Bar"),
               Answer(L"A toolbar named 'Menu Bar' already exists. Type another name.", IDOK), NoBoxLeft(),
               Do([&] { EXPECT_EQ(f.pBars->GetCount(), nBefore) << "no bar while the dialog stays"; }),
               TypeName(L"standard"), PressOkWhenNameIs(L"standard"), NameDialogGone(),
               WaitFor("the new item", [&] { return ItemOf(L"standard") >= 0; })});
  ASSERT_EQ(f.pBars->GetCount(), nBefore + 1);
  EXPECT_EQ(W(f.pBars->GetAt(nBefore)->GetTitle()), L"standard");
  EXPECT_EQ(f.pBars->GetAt(nBefore)->GetBarID(), 0xE800u);
}

// With every id from 0xE800 to 0xE8FE in use the dialog ends with the limit message and no
// bar is made.
TEST_F(ToolbarsPage, AFullIdRangeShowsTheLimitAndMakesNoBar) {
  Frame f(L"Id range full");
  for (UINT nID = 0xE800; nID <= 0xE8FE; nID++) {
    CString name;
    name.Format(L"Bar %u", nID - 0xE800);
    CXTPToolBar* pBar = f.pBars->AddCustomBar(name, nID);
    ASSERT_NE(pBar, nullptr);
    pBar->SetVisible(FALSE);
  }
  const int nBefore = f.pBars->GetCount();
  RunSheet(f, {PressButton(XTP_IDC_BUTTON_NEW), PressOkWhenNameIs(L"Custom 1"),
               Answer(L"Sorry you have reached your limit.", IDOK), NameDialogGone(), NoBoxLeft()});
  EXPECT_EQ(f.pBars->GetCount(), nBefore);
  EXPECT_EQ(f.pBars->GetToolBar(0xE8FF), nullptr);

  // One id freed in the middle is the one the next bar takes.
  f.pBars->Remove(f.pBars->GetToolBar(0xE850));
  RunSheet(f, {PressButton(XTP_IDC_BUTTON_NEW), PressOkWhenNameIs(L"Custom 1"), NameDialogGone()});
  ASSERT_NE(f.pBars->GetToolBar(0xE850), nullptr);
  EXPECT_EQ(W(f.pBars->GetToolBar(0xE850)->GetTitle()), L"Custom 1");
}

// Renaming accepts the bar's own title, refuses another bar's, and replaces the item where it
// stands.
TEST_F(ToolbarsPage, RenameKeepsTheItemsPlaceAndAcceptsTheBarsOwnTitle) {
  Frame f(L"Rename", {{L"Mine", 0xE800}, {L"Other", 0xE801}});
  CXTPToolBar* pMine = f.Bar(L"Mine");
  int nItem = -1;
  RunSheet(f, {ClickItem(L"Mine", false), Select(L"Mine"), Do([&] { nItem = ItemOf(L"Mine"); }),
               PressButton(XTP_IDC_BUTTON_RENAME),
               WaitFor("the name dialog", [] { return FindNameDialog() != NULL; }), Do([&] {
                 EXPECT_EQ(WindowText(FindNameDialog()), L"Rename Toolbar");
                 ShotOf(FindNameDialog(), L"customize_rename_toolbar.png");
               }),
               PressOkWhenNameIs(L"Mine"), NameDialogGone(), NoBoxLeft(),
               Do([&] { EXPECT_EQ(W(pMine->GetTitle()), L"Mine"); }),
               PressButton(XTP_IDC_BUTTON_RENAME), TypeName(L"Other"), PressOkWhenNameIs(L"Other"),
               Answer(L"A toolbar named 'Other' already exists. Type another name.", IDOK), NoBoxLeft(),
               TypeName(L"Renamed"), PressOkWhenNameIs(L"Renamed"), NameDialogGone(),
               WaitFor("the renamed item", [&] { return ItemOf(L"Renamed") >= 0; }), Do([&] {
                 EXPECT_EQ(ItemOf(L"Renamed"), nItem) << "the same place";
                 EXPECT_EQ(List()->GetCurSel(), nItem);
                 EXPECT_EQ(List()->GetCheck(nItem), 1);
                 EXPECT_EQ(List()->GetItemData(nItem), (DWORD_PTR)f.pBars->GetCount() - 2);
                 EXPECT_EQ(ItemOf(L"Mine"), -1);
               })});
  EXPECT_EQ(W(pMine->GetTitle()), L"Renamed");
  EXPECT_EQ(WindowText(pMine->m_hWnd), L"Renamed");
  EXPECT_EQ(W(f.Bar(L"Other")->GetTitle()), L"Other");
}

TEST_F(ToolbarsPage, DeleteAsksAndRemovesTheBarOnlyOnOk) {
  Frame f(L"Delete", {{L"Mine", 0xE800}});
  const std::wstring question = L"Are you sure you want to delete the 'Mine' toolbar?";
  RunSheet(f, {ClickItem(L"Mine", false), Select(L"Mine"), PressButton(XTP_IDC_BUTTON_DELETE),
               Answer(question, IDCANCEL), NoBoxLeft(), Do([&] {
                 EXPECT_NE(f.pBars->GetToolBar(0xE800), nullptr);
                 EXPECT_GE(ItemOf(L"Mine"), 0);
               }),
               PressButton(XTP_IDC_BUTTON_DELETE), Answer(question, IDOK), NoBoxLeft(),
               WaitFor("the item to go", [&] { return ItemOf(L"Mine") < 0; }),
               Do([&] {
                 EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"Menu Bar", L"Standard", L"Format"}));
                 // No item names the deleted bar's index: nothing is selected, the buttons
                 // but "New..." are disabled and the pressed one gave the focus to the list.
                 EXPECT_EQ(List()->GetCurSel(), LB_ERR);
                 EXPECT_FALSE(Enabled(XTP_IDC_BUTTON_DELETE));
                 EXPECT_TRUE(Enabled(XTP_IDC_BUTTON_NEW));
                 EXPECT_EQ(::GetFocus(), List()->m_hWnd);
               })});
  EXPECT_EQ(f.pBars->GetToolBar(0xE800), nullptr);
  EXPECT_EQ(f.pBars->GetCount(), 3);
}

// An item whose bar has gone (removed behind the page's back) leaves the buttons as they
// were, and the buttons then do nothing: no question, no dialog, no change.
TEST_F(ToolbarsPage, AnItemWhoseBarIsGoneChangesNothing) {
  Frame f(L"Bar gone", {{L"Mine", 0xE800}});
  DWORD dwPressed = 0;
  auto quietFor = [&dwPressed](DWORD ms) {
    return [&dwPressed, ms] { return ::GetTickCount() - dwPressed >= ms; };
  };
  RunSheet(f, {ClickItem(L"Mine", false), Select(L"Mine"), Do([&] {
                 ASSERT_TRUE(Enabled(XTP_IDC_BUTTON_DELETE));
                 f.pBars->Remove(f.Bar(L"Mine"));
                 ASSERT_EQ(f.pBars->GetCount(), 3);
               }),
               // Selecting the item again: the buttons stay as they were.
               ClickItem(L"Standard", false), Select(L"Standard"), ClickItem(L"Mine", false), Select(L"Mine"),
               Do([&] {
                 EXPECT_FALSE(Enabled(XTP_IDC_BUTTON_DELETE)) << "as Standard left them";
                 EXPECT_FALSE(Enabled(XTP_IDC_BUTTON_RENAME));
                 EXPECT_TRUE(Enabled(XTP_IDC_BUTTON_RESET));
                 SendClick(CentreOf(Button(XTP_IDC_BUTTON_RESET)));
                 dwPressed = ::GetTickCount();
               }),
               WaitFor("a while after the press", quietFor(400)), Do([&] {
                 EXPECT_EQ(ThreadDialogs(), std::vector<HWND>{m_pSheet->m_hWnd}) << "no question was asked";
                 SendClick(ItemPoint(ItemOf(L"Mine"), true));
                 dwPressed = ::GetTickCount();
               }),
               WaitFor("a while after the click", quietFor(400)), Do([&] {
                 EXPECT_EQ(List()->GetCheck(ItemOf(L"Mine")), 0) << "the box follows the click, nothing else";
                 EXPECT_EQ(f.pBars->GetCount(), 3);
               })});
}

TEST_F(ToolbarsPage, ResetAsksAndBringsBackTheOriginalControls) {
  Frame f(L"Reset");
  CXTPToolBar* pStandard = f.Bar(L"Standard");
  const int nOriginal = pStandard->GetControlCount();
  ASSERT_GE(nOriginal, 3);
  pStandard->GetControls()->Remove(0);
  pStandard->GetControls()->Remove(0);
  ASSERT_EQ(pStandard->GetControlCount(), nOriginal - 2);
  const std::wstring question = L"Are you sure you want to reset the changes made to the 'Standard' toolbar?";
  RunSheet(f, {ClickItem(L"Standard", false), Select(L"Standard"), PressButton(XTP_IDC_BUTTON_RESET),
               Answer(question, IDCANCEL), NoBoxLeft(),
               Do([&] { EXPECT_EQ(pStandard->GetControlCount(), nOriginal - 2); }), PressButton(XTP_IDC_BUTTON_RESET),
               Answer(question, IDOK), NoBoxLeft(),
               WaitFor("the controls to come back", [&] { return pStandard->GetControlCount() == nOriginal; })});
  ASSERT_EQ(pStandard->GetControlCount(), nOriginal);
  EXPECT_EQ(pStandard->GetControl(0)->GetID(), 57600);
}

// A bar made on the page and a bar renamed there come back in the next frame from the
// saved layout.
TEST_F(ToolbarsPage, ANewBarAndARenameSurviveTheSavedLayout) {
  {
    Frame a(L"Layout saved", {{L"Mine", 0xE800}});
    RunSheet(a, {PressButton(XTP_IDC_BUTTON_NEW), PressOkWhenNameIs(L"Custom 1"), NameDialogGone(),
                 ClickItem(L"Mine", false), Select(L"Mine"), PressButton(XTP_IDC_BUTTON_RENAME),
                 TypeName(L"Renamed"), PressOkWhenNameIs(L"Renamed"), NameDialogGone(),
                 WaitFor("the renamed item", [&] { return ItemOf(L"Renamed") >= 0; })});
    ASSERT_NE(a.pBars->GetToolBar(0xE801), nullptr);
    a.pBars->SaveBarState(kProfile, TRUE);
  }
  Frame b(L"Layout loaded");
  ASSERT_EQ(b.pBars->GetToolBar(0xE800), nullptr);
  b.pBars->LoadBarState(kProfile, FALSE);
  PumpFor(50);
  CXTPToolBar* pRenamed = b.pBars->GetToolBar(0xE800);
  CXTPToolBar* pNew = b.pBars->GetToolBar(0xE801);
  ASSERT_NE(pRenamed, nullptr);
  ASSERT_NE(pNew, nullptr);
  EXPECT_EQ(W(pRenamed->GetTitle()), L"Renamed");
  EXPECT_EQ(W(pNew->GetTitle()), L"Custom 1");
  EXPECT_FALSE(pNew->IsBuiltIn());
  EXPECT_TRUE(pNew->IsVisible());
  // The loaded bars are listed by the next sheet.
  RunSheet(b, {Do([&] {
    EXPECT_EQ(Titles(), (std::vector<std::wstring>{L"Menu Bar", L"Standard", L"Format", L"Renamed", L"Custom 1"}));
  })});
}

TEST_F(ToolbarsPage, ScreenshotsInBothThemes) {
  for (int nTheme : {0, 3}) {
    CXTPPaintManager::SetTheme(nTheme);
    Frame f(L"Toolbars page", {{L"Custom 1", 0xE800}});
    f.Bar(L"Format")->SetVisible(FALSE);
    RunSheet(f, {ClickItem(L"Custom 1", false), Select(L"Custom 1"), Do([&] {
                   cbtest::ParkPointer();
                   // The checked box shows a dark mark, the cleared one none.
                   List()->UpdateWindow();
                   testsupport::CSnapshot list(List()->m_hWnd, testsupport::WindowArea::Client);
                   auto darkIn = [&](int nItem) {
                     CRect rc;
                     List()->GetItemRect(nItem, &rc);
                     CRect box = List()->CheckRect(rc);
                     box.DeflateRect(2, 2);
                     int n = 0;
                     for (int y = box.top; y < box.bottom; y++)
                       for (int x = box.left; x < box.right; x++) n += GetRValue(list.Pixel(x, y)) < 80;
                     return n;
                   };
                   EXPECT_GT(darkIn(ItemOf(L"Standard")), 3);
                   EXPECT_EQ(darkIn(ItemOf(L"Format")), 0);
                   ShotWithFrame(f, nTheme == 0 ? L"customize_toolbars_page_theme0.png"
                                                : L"customize_toolbars_page_theme3.png");
                 })});
  }
}
