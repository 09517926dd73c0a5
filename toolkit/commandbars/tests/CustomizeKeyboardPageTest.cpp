// The keyboard page of the customize sheet, run in a real sheet over a frame with command
// bars, a menu bar and the program's accelerators as the shortcut table. Commands are
// picked by clicks, shortcuts are typed into the capture edit with SendInput, the page's
// questions are answered by their text, and each change is checked in the table in force,
// in the frame (the key runs the command), in the menus and in the stored value.
#include <framework.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <test_picture.h>

#include "CommandBarsTestSupport.h"
#include "CustomizeSheetTestSupport.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPControl.h"
#include "XTPControls.h"
#include "XTPCustomizeCommandsPage.h"
#include "XTPCustomizeKeyboardPage.h"
#include "XTPCustomizeSheet.h"
#include "XTPFrameWnd.h"
#include "XTPMenuBar.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"
#include "XTPShortcutManager.h"
#include "customize_res.h"

using namespace cbtest;
using testsupport::Dispatch;

CWinApp theApp(L"Vorlix keyboard page test");

BEGIN_MESSAGE_MAP(cbtest::CCommandFrame, CXTPFrameWnd)
  ON_COMMAND_RANGE(57600, 57650, OnMenuCommand)
  ON_COMMAND_RANGE(40001, 40011, OnMenuCommand)
END_MESSAGE_MAP()

namespace {

const UINT kMenu = 128, kAccel = 128;
const WORD ID_NEW = 57600, ID_OPEN = 57601, ID_SAVE = 57603, ID_RECENT = 57616, ID_UNDO = 57643, ID_CUT = 57635,
           ID_COPY = 57634, ID_PASTE = 57637, ID_REFRESH = 40001, ID_SPELLING = 40010;
const wchar_t kSection[] = L"CommandBars";

const wchar_t kReassignText[] = L"This shortcut is currently assigned.\nDo you want to re-assign this shortcut?";
const wchar_t kResetText[] =
    L"Are you sure you want to reset the key assignments?  This action will remove all custom key assignments at "
    L"the text level.";

std::string Describe(const std::vector<ACCEL>& v) {
  std::string s;
  char buf[64];
  for (const ACCEL& a : v) {
    snprintf(buf, sizeof(buf), "{%02x,%u,%u} ", a.fVirt, a.key, a.cmd);
    s += buf;
  }
  return s;
}

// The program's table as the resource holds it.
std::vector<ACCEL> ProgramRecords() {
  const BYTE V = FVIRTKEY, C = FCONTROL;
  return {Acc(V | C, 'N', ID_NEW),        Acc(V | C, 'Z', ID_UNDO), Acc(V | C, 'O', ID_OPEN),
          Acc(V | C | FNOINVERT, 'C', ID_COPY), Acc(V | FALT, VK_BACK, ID_UNDO), Acc(V | C, 'S', ID_SAVE),
          Acc(V, VK_F9, ID_UNDO)};
}

std::vector<std::wstring> ListTexts(HWND hList) {
  std::vector<std::wstring> out;
  const int n = (int)::SendMessageW(hList, LB_GETCOUNT, 0, 0);
  for (int i = 0; i < n; i++) {
    wchar_t text[256] = {0};
    ::SendMessageW(hList, LB_GETTEXT, i, (LPARAM)text);
    out.push_back(text);
  }
  return out;
}

std::vector<std::wstring> ComboTexts(HWND hCombo) {
  std::vector<std::wstring> out;
  const int n = (int)::SendMessageW(hCombo, CB_GETCOUNT, 0, 0);
  for (int i = 0; i < n; i++) {
    wchar_t text[256] = {0};
    ::SendMessageW(hCombo, CB_GETLBTEXT, i, (LPARAM)text);
    out.push_back(text);
  }
  return out;
}

std::wstring Join(const std::vector<std::wstring>& v) {
  std::wstring s;
  for (const auto& t : v) s += L"[" + t + L"]";
  return s;
}

std::wstring WindowText(HWND hWnd) {
  wchar_t text[512] = {0};
  ::GetWindowTextW(hWnd, text, 512);
  return text;
}

void ShootScreen(CRect rc, const std::wstring& name) { EXPECT_TRUE(SaveScreenPng(rc, L"commandbars\\" + name)); }

void PumpInput(DWORD ms) { testsupport::PumpFor(ms, Dispatch::PreTranslate); }
bool PumpInputUntil(const std::function<bool()>& done, DWORD ms) {
  return testsupport::PumpUntil(done, ms, Dispatch::PreTranslate);
}

// ---- Message boxes answered by their text ------------------------------------------------
// While armed, a timer looks for a message box of this thread, keeps its text and presses
// the chosen button with a real click.
struct BoxAnswerer {
  int nAnswer = IDYES;
  std::vector<std::wstring> texts;
  std::wstring strShot;  // a picture of the first box, when named
  UINT_PTR nTimer = 0;
  HWND hLastBox = NULL;
  DWORD dwLastClick = 0;
  static BoxAnswerer* s_pThis;

  void Arm(int nWhat) {
    nAnswer = nWhat;
    s_pThis = this;
    if (nTimer == 0) nTimer = ::SetTimer(NULL, 0, 40, OnTimer);
  }
  void Disarm() {
    if (nTimer != 0) ::KillTimer(NULL, nTimer);
    nTimer = 0;
    s_pThis = nullptr;
  }
  ~BoxAnswerer() { Disarm(); }

  static BOOL CALLBACK FindBox(HWND hWnd, LPARAM lParam) {
    wchar_t cls[32] = {0};
    ::GetClassNameW(hWnd, cls, 32);
    if (wcscmp(cls, L"#32770") == 0 && ::IsWindowVisible(hWnd) && ::GetDlgItem(hWnd, IDYES) != NULL) {
      *reinterpret_cast<HWND*>(lParam) = hWnd;
      return FALSE;
    }
    return TRUE;
  }
  static BOOL CALLBACK ReadText(HWND hWnd, LPARAM lParam) {
    wchar_t cls[32] = {0};
    ::GetClassNameW(hWnd, cls, 32);
    if (_wcsicmp(cls, L"Static") == 0) {
      const std::wstring text = WindowText(hWnd);
      auto* pOut = reinterpret_cast<std::wstring*>(lParam);
      if (text.size() > pOut->size()) *pOut = text;
    }
    return TRUE;
  }
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    BoxAnswerer* p = s_pThis;
    if (p == nullptr) return;
    HWND hBox = NULL;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&hBox));
    if (hBox == NULL) return;
    if (hBox != p->hLastBox) {
      std::wstring text;
      ::EnumChildWindows(hBox, ReadText, reinterpret_cast<LPARAM>(&text));
      p->texts.push_back(text);
      p->hLastBox = hBox;
      if (!p->strShot.empty()) {
        ::RedrawWindow(hBox, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        CRect rc;
        ::GetWindowRect(hBox, &rc);
        ShootScreen(rc, p->strShot);
        p->strShot.clear();
      }
    } else if (::GetTickCount() - p->dwLastClick < 1000) {
      return;  // the click of a moment ago is still on its way
    }
    HWND hButton = ::GetDlgItem(hBox, p->nAnswer);
    if (hButton == NULL) return;
    ::SetForegroundWindow(hBox);
    CRect rc;
    ::GetWindowRect(hButton, &rc);
    SendClick(rc.CenterPoint());
    p->dwLastClick = ::GetTickCount();
  }
};
BoxAnswerer* BoxAnswerer::s_pThis = nullptr;

// ---- Running the sheet with a script -----------------------------------------------------
CXTPCustomizeSheet* g_pSheet = nullptr;

class KeyboardPage : public ::testing::Test {
 protected:
  void SetUp() override { MakeFrame(0, 0); }

  void MakeFrame(int nTheme, DWORD dwExStyle) {
    if (theApp.m_pszRegistryKey == nullptr) theApp.SetRegistryKey(L"Vorlix keyboard page tests");
    ParkPointer();
    CXTPPaintManager::SetTheme(nTheme);
    pFrame = new CCommandFrame();
    ASSERT_TRUE(pFrame->Create(NULL, L"keyboard page frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 720, 520),
                               NULL, MAKEINTRESOURCE(kMenu), dwExStyle));
    pFrame->m_pCommandBars = (CXTPCommandBars*)RUNTIME_CLASS(CXTPCommandBars)->CreateObject();
    pBars = pFrame->m_pCommandBars;
    pBars->SetSite(pFrame);
    pBars->CreateDockBars();
    pMenuBar = pBars->SetMenu(_T("Menu Bar"), kMenu);
    ASSERT_NE(nullptr, pMenuBar);
    pBars->GetCommandBarsOptions()->bAlwaysShowFullMenus = TRUE;
    // The program's accelerators become the shortcut table, as the program's frame does.
    HACCEL hProgram = ::LoadAcceleratorsW(AfxGetResourceHandle(), MAKEINTRESOURCEW(kAccel));
    ASSERT_NE(nullptr, hProgram);
    pShortcuts = pBars->GetShortcutManager();
    pShortcuts->SetDefaultAccelerator(hProgram);
    pShortcuts->SetAccelerators(hProgram);
    ASSERT_TRUE(SameRecords(Records(pShortcuts->GetAccelerators()), ProgramRecords()))
        << Describe(Records(pShortcuts->GetAccelerators()));
    pBars->RecalcFrameLayout();
    Activate(pFrame->GetSafeHwnd());
    PumpInput(60);
  }
  void TearDown() override {
    XTPMouseManager()->CloseAllTrackingBars();
    if (::IsWindow(pFrame->GetSafeHwnd())) pFrame->DestroyWindow();
    CXTPPaintManager::SetTheme(0);
    ReleaseKeys();
    ParkPointer();
    PumpFor(30);
  }

  // Runs a sheet whose keyboard page is built from the menu; the script runs while it shows.
  void RunSheet(std::function<void()> script, BOOL bListSubItems = FALSE) {
    CXTPCustomizeSheet sheet(pBars);
    std::unique_ptr<CXTPCustomizeKeyboardPage> page(new CXTPCustomizeKeyboardPage(&sheet));
    ASSERT_TRUE(page->AddCategories(kMenu, bListSubItems));
    sheet.AddPage(page.get());
    sheet.SetActivePage(page.get());
    pPage = page.get();
    g_pSheet = &sheet;
    cztest::RunSheetInOneGo(
        sheet,
        [this, script] {
          Activate(g_pSheet->m_hWnd);
          PumpInputUntil([this] { return pPage->m_hWnd != NULL && ::IsWindowVisible(pPage->m_hWnd); }, 2000);
          script();
        },
        30);
    g_pSheet = nullptr;
    pPage = nullptr;
    Activate(pFrame->GetSafeHwnd());
    PumpInput(40);
  }

  // ---- Gestures inside the page ----
  HWND Item(int nID) const { return ::GetDlgItem(pPage->m_hWnd, nID); }
  void ClickItem(int nID) {
    CRect rc;
    ::GetWindowRect(Item(nID), &rc);
    ClickAt(rc.CenterPoint(), false, 30);
    PumpInput(60);
  }
  // Clicks the row of a list that shows the text; FALSE when no row does.
  bool ClickRow(int nList, const std::wstring& text) {
    HWND hList = Item(nList);
    const std::vector<std::wstring> rows = ListTexts(hList);
    for (size_t i = 0; i < rows.size(); i++) {
      if (rows[i] != text) continue;
      ::SendMessageW(hList, LB_SETTOPINDEX, i, 0);
      CRect rc;
      ::SendMessageW(hList, LB_GETITEMRECT, i, (LPARAM)&rc);
      ::MapWindowPoints(hList, NULL, (LPPOINT)&rc, 2);
      ClickAt(rc.CenterPoint(), false, 30);
      PumpInput(60);
      return (int)::SendMessageW(hList, LB_GETCURSEL, 0, 0) == (int)i;
    }
    return false;
  }
  // Picks a category: a click opens the drop-down list, a click on its row picks it.
  void PickCategory(int nIndex) {
    HWND hCombo = Item(XTP_IDC_COMBO_CATEGORY);
    ClickItem(XTP_IDC_COMBO_CATEGORY);
    COMBOBOXINFO cbi = {sizeof(cbi)};
    ASSERT_TRUE(::GetComboBoxInfo(hCombo, &cbi));
    ASSERT_TRUE(PumpInputUntil([&] { return ::IsWindowVisible(cbi.hwndList) != FALSE; }, 1000)) << "the list drops down";
    CRect rc;
    ::SendMessageW(cbi.hwndList, LB_GETITEMRECT, nIndex, (LPARAM)&rc);
    ::MapWindowPoints(cbi.hwndList, NULL, (LPPOINT)&rc, 2);
    ClickAt(rc.CenterPoint(), false, 30);
    PumpInputUntil([&] { return !::IsWindowVisible(cbi.hwndList); }, 1000);
    PumpInput(60);
    ASSERT_EQ(nIndex, (int)::SendMessageW(hCombo, CB_GETCURSEL, 0, 0));
  }
  // Presses a combination in the capture edit: the modifiers held, the key pressed.
  void PressShortcut(std::vector<WORD> modifiers, WORD vk) {
    ClickItem(XTP_IDC_EDIT_SHORTCUTKEY);
    for (WORD m : modifiers) KeyEvent(m, false);
    KeyEvent(vk, false);
    KeyEvent(vk, true);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) KeyEvent(*it, true);
    PumpInput(100);
  }
  void ReleaseKeys() {
    for (WORD vk : {VK_CONTROL, VK_SHIFT, VK_MENU}) KeyEvent(vk, true);
    PumpInput(20);
  }
  std::vector<std::wstring> Keys() { return ListTexts(Item(XTP_IDC_LBOX_KEYS)); }
  std::vector<std::wstring> Commands() { return ListTexts(Item(XTP_IDC_LBOX_ACCEL_COMMANDS)); }
  std::wstring CaptureText() { return WindowText(Item(XTP_IDC_EDIT_SHORTCUTKEY)); }
  bool Enabled(int nID) { return ::IsWindowEnabled(Item(nID)) != FALSE; }
  std::vector<ACCEL> Table() { return Records(pShortcuts->GetAccelerators()); }

  // ---- The frame after the sheet ----
  // Presses a combination in the frame; TRUE when the command ran.
  bool FrameRuns(std::vector<WORD> modifiers, WORD vk, UINT nCmd) {
    Activate(pFrame->GetSafeHwnd());
    pFrame->SetFocus();
    PumpInput(40);
    pFrame->commands.clear();
    for (WORD m : modifiers) KeyEvent(m, false);
    KeyEvent(vk, false);
    KeyEvent(vk, true);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) KeyEvent(*it, true);
    PumpInputUntil([&] { return !pFrame->commands.empty(); }, 800);
    PumpInput(40);
    return pFrame->commands.size() == 1 && pFrame->commands[0] == nCmd;
  }
  // Opens the menu of the menu bar with the caption; the open popup.
  CXTPPopupBar* OpenMenu(const CString& strCaption) {
    CXTPControl* pMenu = nullptr;
    for (int i = 0; i < pMenuBar->GetControls()->GetCount(); i++)
      if (pMenuBar->GetControls()->GetAt(i)->GetCaption() == strCaption) pMenu = pMenuBar->GetControls()->GetAt(i);
    if (pMenu == nullptr) return nullptr;
    CRect rc = pMenu->GetRect();
    pMenuBar->ClientToScreen(&rc);
    ClickAt(rc.CenterPoint(), false, 30);
    CXTPPopupBar* pPopup = nullptr;
    PumpInputUntil(
        [&] {
          CXTPMouseManager* pManager = XTPMouseManager();
          for (int i = 0; i < pManager->GetTrackingBarCount(); i++) {
            CXTPCommandBar* pBar = pManager->GetTrackingBar(i);
            if (pBar != NULL && pBar->IsKindOf(RUNTIME_CLASS(CXTPPopupBar)) && pBar->IsVisible())
              pPopup = (CXTPPopupBar*)pBar;
          }
          return pPopup != nullptr;
        },
        1500);
    PumpInput(150);
    return pPopup;
  }
  std::wstring MenuShortcut(CXTPPopupBar* pPopup, int nId) {
    CXTPControl* pControl = pPopup != nullptr ? pPopup->GetControls()->FindControl(nId) : nullptr;
    return pControl != nullptr ? std::wstring((LPCWSTR)pControl->GetShortcutText()) : L"<no control>";
  }
  void CloseMenus() {
    XTPMouseManager()->CloseAllTrackingBars();
    if (pMenuBar->IsTrackingMode()) pMenuBar->CancelTracking();
    PumpInput(60);
  }

  CCommandFrame* pFrame = nullptr;
  CXTPCommandBars* pBars = nullptr;
  CXTPMenuBar* pMenuBar = nullptr;
  CXTPShortcutManager* pShortcuts = nullptr;
  CXTPCustomizeKeyboardPage* pPage = nullptr;
};

// ---- Categories and lists ------------------------------------------------------------------
TEST_F(KeyboardPage, ListsCategoriesCommandsKeysAndDescriptions) {
  // One row per command: its category, its place among the commands, its keys in table
  // order and its description.
  struct Row {
    int nCategory;
    const wchar_t* command;
    std::vector<std::wstring> keys;
    const wchar_t* description;
  };
  const Row rows[] = {
      {0, L"New", {L"Ctrl+N"}, L"Create a new document"},
      {0, L"Open...", {L"Ctrl+O"}, L""},
      {0, L"Save", {L"Ctrl+S"}, L""},
      {1, L"Undo", {L"Ctrl+Z", L"Alt+Backspace", L"F9"}, L""},
      {1, L"Copy", {L"Ctrl+C"}, L""},
      {1, L"Paste", {}, L""},
      {2, L"Refresh", {}, L"Show the current view again"},
  };
  const std::vector<std::vector<std::wstring>> commandsOf = {
      {L"New", L"Open...", L"Save"},               // no separator, no recent-file command
      {L"Undo", L"Cut", L"Copy", L"Paste"},        // both menus named Edit
      {L"Refresh"},                                // not the Options popup
  };
  RunSheet([&] {
    EXPECT_EQ(Join({L"File", L"Edit", L"Tools"}), Join(ComboTexts(Item(XTP_IDC_COMBO_CATEGORY))));
    EXPECT_EQ(0, (int)::SendMessageW(Item(XTP_IDC_COMBO_CATEGORY), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(Join(commandsOf[0]), Join(Commands()));
    EXPECT_EQ(0, (int)::SendMessageW(Item(XTP_IDC_LBOX_ACCEL_COMMANDS), LB_GETCURSEL, 0, 0)) << "the first is selected";
    EXPECT_EQ(Join({L"Ctrl+N"}), Join(Keys()));
    EXPECT_FALSE(Enabled(XTP_IDC_BUTTON_ASSIGN));
    EXPECT_FALSE(Enabled(XTP_IDC_BUTTON_REMOVE));
    int nCategory = 0;
    for (const Row& row : rows) {
      if (row.nCategory != nCategory) {
        PickCategory(row.nCategory);
        nCategory = row.nCategory;
        EXPECT_EQ(nCategory, (int)::SendMessageW(Item(XTP_IDC_COMBO_CATEGORY), CB_GETCURSEL, 0, 0));
        EXPECT_EQ(Join(commandsOf[nCategory]), Join(Commands())) << "category " << nCategory;
      }
      ASSERT_TRUE(ClickRow(XTP_IDC_LBOX_ACCEL_COMMANDS, row.command)) << row.command;
      EXPECT_EQ(Join(row.keys), Join(Keys())) << row.command;
      EXPECT_EQ(std::wstring(row.description), WindowText(Item(XTP_IDC_TXT_DESC_OVERVIEW))) << row.command;
      EXPECT_FALSE(Enabled(XTP_IDC_BUTTON_REMOVE)) << row.command << ": no key is selected yet";
      if (!row.keys.empty()) {
        ASSERT_TRUE(ClickRow(XTP_IDC_LBOX_KEYS, row.keys[0]));
        EXPECT_TRUE(Enabled(XTP_IDC_BUTTON_REMOVE)) << row.command;
      }
    }
  });
}

TEST_F(KeyboardPage, ComingBackToThePageListsTheKeysOfTheCommandItSelects) {
  RunSheet([&] {
    PickCategory(1);
    ASSERT_TRUE(ClickRow(XTP_IDC_LBOX_ACCEL_COMMANDS, L"Copy"));
    ASSERT_TRUE(ClickRow(XTP_IDC_LBOX_KEYS, L"Ctrl+C"));
    HWND hTab = (HWND)::SendMessageW(g_pSheet->m_hWnd, PSM_GETTABCONTROL, 0, 0);
    ASSERT_NE(nullptr, hTab);
    auto clickTab = [&](int nTab) {
      CRect rc;
      ::SendMessageW(hTab, TCM_GETITEMRECT, nTab, (LPARAM)&rc);
      ::MapWindowPoints(hTab, NULL, (LPPOINT)&rc, 2);
      ClickAt(rc.CenterPoint(), false, 30);
      PumpInput(150);
    };
    clickTab(1);
    EXPECT_FALSE(::IsWindowVisible(pPage->m_hWnd));
    clickTab(2);
    ASSERT_TRUE(::IsWindowVisible(pPage->m_hWnd));
    // The category stays; the commands are listed again with the first selected, and the
    // keys and the description are that command's.
    EXPECT_EQ(1, (int)::SendMessageW(Item(XTP_IDC_COMBO_CATEGORY), CB_GETCURSEL, 0, 0));
    EXPECT_EQ(0, (int)::SendMessageW(Item(XTP_IDC_LBOX_ACCEL_COMMANDS), LB_GETCURSEL, 0, 0));
    EXPECT_EQ(Join({L"Ctrl+Z", L"Alt+Backspace", L"F9"}), Join(Keys()));
    EXPECT_FALSE(Enabled(XTP_IDC_BUTTON_REMOVE));
  });
}

TEST_F(KeyboardPage, PopupItemsAreListedUnderThePopupsCaptionWhenAsked) {
  RunSheet(
      [&] {
        PickCategory(2);
        EXPECT_EQ(Join({L"Refresh", L"Options | Spelling", L"Options | Grammar"}), Join(Commands()));
        ASSERT_TRUE(ClickRow(XTP_IDC_LBOX_ACCEL_COMMANDS, L"Options | Spelling"));
        PressShortcut({VK_CONTROL}, VK_F7);
        ClickItem(XTP_IDC_BUTTON_ASSIGN);
        EXPECT_EQ(Join({L"Ctrl+F7"}), Join(Keys()));
      },
      TRUE);
  const std::vector<ACCEL> table = Table();
  ASSERT_EQ(ProgramRecords().size() + 1, table.size());
  EXPECT_EQ(ID_SPELLING, table.back().cmd);
  // The category's controls are the page's own: the popup and clones of its items.
  CXTPCustomizeSheet sheet(pBars);
  CXTPCustomizeKeyboardPage page(&sheet);
  ASSERT_TRUE(page.AddCategories(kMenu, TRUE));
  ASSERT_EQ(3, page.GetCategoryCount());
  CXTPControls* pTools = page.GetCategory(2)->m_pControls;
  ASSERT_EQ(4, pTools->GetCount());
  EXPECT_EQ(xtpControlPopup, pTools->GetAt(1)->GetType());
  EXPECT_EQ(std::wstring(L"&Options | &Spelling"), std::wstring((LPCWSTR)pTools->GetAt(2)->GetCaption()));
  EXPECT_EQ(ID_SPELLING, pTools->GetAt(2)->GetID());
  // Without the flag the popup alone, and a menu that is not there gives FALSE.
  CXTPCustomizeKeyboardPage plain(&sheet);
  ASSERT_TRUE(plain.AddCategories(kMenu, FALSE));
  EXPECT_EQ(2, plain.GetCategory(2)->m_pControls->GetCount());
  EXPECT_FALSE(plain.AddCategories(4242, FALSE));
  EXPECT_EQ(3, plain.GetCategoryCount());
  // AddCategory merges by exact name and inserts before an index.
  EXPECT_EQ(plain.GetCategory(1)->m_pControls, plain.AddCategory(L"Edit"));
  CXTPControls* pFirst = plain.AddCategory(L"edit", 0);
  EXPECT_EQ(pFirst, plain.GetCategory(0)->m_pControls);
  EXPECT_EQ(4, plain.GetCategoryCount());
}

// ---- Assigning ----------------------------------------------------------------------------
TEST_F(KeyboardPage, AssignsANewShortcutThatWorksInTheFrameAndShowsInTheMenu) {
  RunSheet([&] {
    PickCategory(2);
    ASSERT_TRUE(ClickRow(XTP_IDC_LBOX_ACCEL_COMMANDS, L"Refresh"));
    EXPECT_TRUE(Keys().empty());
    // A modifier alone is no shortcut yet; Esc alone is refused and does not end the sheet.
    ClickItem(XTP_IDC_EDIT_SHORTCUTKEY);
    KeyEvent(VK_CONTROL, false);
    KeyEvent(VK_SHIFT, false);
    PumpInput(80);
    EXPECT_EQ(L"Ctrl+Shift", CaptureText()) << "the modifiers show while held";
    EXPECT_FALSE(Enabled(XTP_IDC_BUTTON_ASSIGN)) << "no key yet";
    ReleaseKeys();
    PumpInput(60);
    EXPECT_FALSE(Enabled(XTP_IDC_BUTTON_ASSIGN));
    PressShortcut({}, VK_ESCAPE);
    EXPECT_EQ(L"", CaptureText());
    EXPECT_FALSE(Enabled(XTP_IDC_BUTTON_ASSIGN));
    EXPECT_TRUE(g_pSheet->ContinueModal()) << "Esc in the capture edit is a key, not Cancel";
    PressShortcut({VK_CONTROL, VK_SHIFT}, 'R');
    EXPECT_EQ(L"Ctrl+Shift+R", CaptureText());
    EXPECT_TRUE(Enabled(XTP_IDC_BUTTON_ASSIGN));
    ClickItem(XTP_IDC_BUTTON_ASSIGN);
    EXPECT_EQ(Join({L"Ctrl+Shift+R"}), Join(Keys()));
    EXPECT_EQ(L"", CaptureText()) << "the capture edit is cleared";
    EXPECT_FALSE(Enabled(XTP_IDC_BUTTON_ASSIGN));
  });
  std::vector<ACCEL> expected = ProgramRecords();
  expected.push_back(Acc(FVIRTKEY | FCONTROL | FSHIFT, 'R', ID_REFRESH));
  EXPECT_TRUE(SameRecords(expected, Table())) << Describe(Table());
  EXPECT_TRUE(FrameRuns({VK_CONTROL, VK_SHIFT}, 'R', ID_REFRESH));
  EXPECT_TRUE(FrameRuns({VK_CONTROL}, 'N', ID_NEW)) << "the old shortcuts still work";
  CXTPPopupBar* pPopup = OpenMenu(L"&Tools");
  ASSERT_NE(nullptr, pPopup);
  EXPECT_EQ(L"Ctrl+Shift+R", MenuShortcut(pPopup, ID_REFRESH));
  CRect rc;
  pPopup->GetWindowRect(&rc);
  CRect rcFrame;
  pFrame->GetWindowRect(&rcFrame);
  rc.UnionRect(&rc, CRect(rcFrame.left, rcFrame.top, rcFrame.left + 300, rcFrame.top + 60));
  ShootScreen(rc, L"customize_keyboard_menu_shortcut.png");
  CloseMenus();
}

TEST_F(KeyboardPage, ReassigningAskedShortcutMovesItOnlyOnYes) {
  CXTPPopupBar* pBefore = OpenMenu(L"&File");
  ASSERT_NE(nullptr, pBefore);
  EXPECT_EQ(L"Ctrl+N", MenuShortcut(pBefore, ID_NEW));
  EXPECT_EQ(L"Ctrl+O", MenuShortcut(pBefore, ID_OPEN));
  CloseMenus();
  BoxAnswerer boxes;
  boxes.strShot = L"customize_keyboard_reassign_question.png";
  RunSheet([&] {
    ASSERT_TRUE(ClickRow(XTP_IDC_LBOX_ACCEL_COMMANDS, L"Open..."));
    PressShortcut({VK_CONTROL}, 'N');
    EXPECT_EQ(L"Ctrl+N", CaptureText());
    boxes.Arm(IDNO);
    ClickItem(XTP_IDC_BUTTON_ASSIGN);
    PumpInputUntil([&] { return boxes.texts.size() == 1; }, 2000);
    EXPECT_EQ(Join({L"Ctrl+O"}), Join(Keys())) << "No leaves the table";
    EXPECT_TRUE(SameRecords(ProgramRecords(), Table())) << Describe(Table());
    PressShortcut({VK_CONTROL}, 'N');
    boxes.Arm(IDYES);
    ClickItem(XTP_IDC_BUTTON_ASSIGN);
    PumpInputUntil([&] { return boxes.texts.size() == 2; }, 2000);
    // The record of Ctrl+N (first in the table) now runs Open.
    EXPECT_EQ(Join({L"Ctrl+N", L"Ctrl+O"}), Join(Keys()));
    ASSERT_TRUE(ClickRow(XTP_IDC_LBOX_ACCEL_COMMANDS, L"New"));
    EXPECT_TRUE(Keys().empty()) << Join(Keys()).c_str();
  });
  boxes.Disarm();
  ASSERT_EQ(2u, boxes.texts.size());
  EXPECT_EQ(std::wstring(kReassignText), boxes.texts[0]);
  EXPECT_EQ(std::wstring(kReassignText), boxes.texts[1]);
  std::vector<ACCEL> expected = ProgramRecords();
  expected[0].cmd = ID_OPEN;
  EXPECT_TRUE(SameRecords(expected, Table())) << Describe(Table());
  EXPECT_TRUE(FrameRuns({VK_CONTROL}, 'N', ID_OPEN));
  CXTPPopupBar* pPopup = OpenMenu(L"&File");
  ASSERT_NE(nullptr, pPopup);
  EXPECT_EQ(L"", MenuShortcut(pPopup, ID_NEW)) << "not the shortcut its caption was written with";
  EXPECT_EQ(L"Ctrl+O", MenuShortcut(pPopup, ID_OPEN)) << "the text shown names one of its shortcuts still";
  CloseMenus();
}

TEST_F(KeyboardPage, ACombinationWithOrWithoutNoInvertIsTheSameCombination) {
  BoxAnswerer boxes;
  RunSheet([&] {
    PickCategory(1);
    ASSERT_TRUE(ClickRow(XTP_IDC_LBOX_ACCEL_COMMANDS, L"Cut"));
    PressShortcut({VK_CONTROL}, 'C');
    boxes.Arm(IDYES);
    ClickItem(XTP_IDC_BUTTON_ASSIGN);
    PumpInputUntil([&] { return boxes.texts.size() == 1; }, 2000);
    EXPECT_EQ(Join({L"Ctrl+C"}), Join(Keys()));
    ASSERT_TRUE(ClickRow(XTP_IDC_LBOX_ACCEL_COMMANDS, L"Copy"));
    EXPECT_TRUE(Keys().empty());
  });
  boxes.Disarm();
  ASSERT_EQ(1u, boxes.texts.size()) << "the NOINVERT record counts as taken";
  EXPECT_EQ(std::wstring(kReassignText), boxes.texts[0]);
  // The record keeps its place and takes the new combination's bits.
  std::vector<ACCEL> expected = ProgramRecords();
  expected[3] = Acc(FVIRTKEY | FCONTROL, 'C', ID_CUT);
  EXPECT_TRUE(SameRecords(expected, Table())) << Describe(Table());
  EXPECT_TRUE(FrameRuns({VK_CONTROL}, 'C', ID_CUT));
}

TEST_F(KeyboardPage, WithoutATableTheFirstAssignmentMakesATableOfOne) {
  pShortcuts->SetAccelerators((HACCEL)NULL);
  ASSERT_EQ(nullptr, pShortcuts->GetAccelerators());
  RunSheet([&] {
    EXPECT_TRUE(Keys().empty()) << "no table, no keys";
    PressShortcut({VK_MENU}, VK_F5);
    EXPECT_EQ(L"Alt+F5", CaptureText());
    ClickItem(XTP_IDC_BUTTON_ASSIGN);
    EXPECT_EQ(Join({L"Alt+F5"}), Join(Keys()));
  });
  EXPECT_TRUE(SameRecords({Acc(FVIRTKEY | FALT, VK_F5, ID_NEW)}, Table())) << Describe(Table());
  EXPECT_TRUE(FrameRuns({VK_MENU}, VK_F5, ID_NEW));
  // Removing the only record leaves no table at all.
  RunSheet([&] {
    ASSERT_TRUE(ClickRow(XTP_IDC_LBOX_KEYS, L"Alt+F5"));
    ClickItem(XTP_IDC_BUTTON_REMOVE);
    EXPECT_TRUE(Keys().empty());
  });
  EXPECT_EQ(nullptr, pShortcuts->GetAccelerators());
  EXPECT_FALSE(FrameRuns({VK_MENU}, VK_F5, ID_NEW));
}

TEST_F(KeyboardPage, WithoutADefaultTableTheFirstChangeKeepsTheTableBeforeIt) {
  pShortcuts->SetDefaultAccelerator(NULL);
  ASSERT_EQ(nullptr, pShortcuts->GetDefaultAccelerator());
  BoxAnswerer boxes;
  RunSheet([&] {
    PickCategory(2);
    PressShortcut({VK_CONTROL, VK_SHIFT}, 'R');
    ClickItem(XTP_IDC_BUTTON_ASSIGN);
    EXPECT_EQ(Join({L"Ctrl+Shift+R"}), Join(Keys()));
    boxes.Arm(IDYES);
    ClickItem(XTP_IDC_BUTTON_ACCEL_RESET);
    PumpInputUntil([&] { return boxes.texts.size() == 1; }, 2000);
    EXPECT_TRUE(Keys().empty()) << "reset to the table before the first change";
  });
  boxes.Disarm();
  EXPECT_TRUE(SameRecords(ProgramRecords(), Records(pShortcuts->GetDefaultAccelerator())));
  EXPECT_TRUE(SameRecords(ProgramRecords(), Table())) << Describe(Table());
}

// ---- Removing and resetting ----------------------------------------------------------------
TEST_F(KeyboardPage, RemovingAKeyMovesTheLastRecordIntoItsPlace) {
  RunSheet([&] {
    PickCategory(1);
    ASSERT_TRUE(ClickRow(XTP_IDC_LBOX_ACCEL_COMMANDS, L"Undo"));
    EXPECT_EQ(Join({L"Ctrl+Z", L"Alt+Backspace", L"F9"}), Join(Keys()));
    ASSERT_TRUE(ClickRow(XTP_IDC_LBOX_KEYS, L"Ctrl+Z"));
    EXPECT_TRUE(Enabled(XTP_IDC_BUTTON_REMOVE));
    ClickItem(XTP_IDC_BUTTON_REMOVE);
    // F9 was the last record: it took the place of Ctrl+Z, ahead of Alt+Backspace.
    EXPECT_EQ(Join({L"F9", L"Alt+Backspace"}), Join(Keys()));
    EXPECT_FALSE(Enabled(XTP_IDC_BUTTON_REMOVE)) << "no key is selected after the removal";
  });
  std::vector<ACCEL> expected = ProgramRecords();
  expected[1] = expected.back();
  expected.pop_back();
  EXPECT_TRUE(SameRecords(expected, Table())) << Describe(Table());
  EXPECT_FALSE(FrameRuns({VK_CONTROL}, 'Z', ID_UNDO)) << "the removed shortcut is gone";
  EXPECT_TRUE(FrameRuns({}, VK_F9, ID_UNDO));
}

TEST_F(KeyboardPage, ResetAllAsksAndRestoresTheProgramsTable) {
  BoxAnswerer boxes;
  RunSheet([&] {
    ASSERT_TRUE(ClickRow(XTP_IDC_LBOX_ACCEL_COMMANDS, L"New"));
    ASSERT_TRUE(ClickRow(XTP_IDC_LBOX_KEYS, L"Ctrl+N"));
    ClickItem(XTP_IDC_BUTTON_REMOVE);
    PressShortcut({VK_CONTROL, VK_SHIFT}, 'N');
    ClickItem(XTP_IDC_BUTTON_ASSIGN);
    EXPECT_EQ(Join({L"Ctrl+Shift+N"}), Join(Keys()));
    boxes.Arm(IDNO);
    ClickItem(XTP_IDC_BUTTON_ACCEL_RESET);
    PumpInputUntil([&] { return boxes.texts.size() == 1; }, 2000);
    EXPECT_EQ(Join({L"Ctrl+Shift+N"}), Join(Keys())) << "No keeps the assignments";
    EXPECT_FALSE(SameRecords(ProgramRecords(), Table()));
    boxes.Arm(IDYES);
    ClickItem(XTP_IDC_BUTTON_ACCEL_RESET);
    PumpInputUntil([&] { return boxes.texts.size() == 2; }, 2000);
    EXPECT_EQ(Join({L"Ctrl+N"}), Join(Keys())) << "the keys are listed again at once";
  });
  boxes.Disarm();
  ASSERT_EQ(2u, boxes.texts.size());
  EXPECT_EQ(std::wstring(kResetText), boxes.texts[0]);
  EXPECT_TRUE(SameRecords(ProgramRecords(), Table())) << Describe(Table());
  EXPECT_TRUE(FrameRuns({VK_CONTROL}, 'N', ID_NEW));
}

// ---- Storing -------------------------------------------------------------------------------
TEST_F(KeyboardPage, AssignmentsReachTheStoredAcceleratorsAndComeBack) {
  theApp.WriteProfileString(kSection, nullptr, nullptr);
  RunSheet([&] {
    PickCategory(2);
    PressShortcut({VK_CONTROL, VK_SHIFT}, 'R');
    ClickItem(XTP_IDC_BUTTON_ASSIGN);
  });
  const std::vector<ACCEL> table = Table();
  ASSERT_EQ(ProgramRecords().size() + 1, table.size());
  // The program stores its shortcuts when it closes.
  pShortcuts->SaveShortcuts(kSection);
  LPBYTE pData = nullptr;
  UINT nBytes = 0;
  ASSERT_TRUE(theApp.GetProfileBinary(kSection, L"Accelerators", &pData, &nBytes));
  EXPECT_EQ(table.size() * 6, nBytes);
  delete[] pData;
  pFrame->DestroyWindow();
  // A new run starts from the program's table and loads the stored one.
  MakeFrame(0, 0);
  ASSERT_TRUE(SameRecords(ProgramRecords(), Table()));
  pShortcuts->LoadShortcuts(kSection);
  EXPECT_TRUE(SameRecords(table, Table())) << Describe(Table());
  EXPECT_TRUE(FrameRuns({VK_CONTROL, VK_SHIFT}, 'R', ID_REFRESH));
  theApp.WriteProfileString(kSection, nullptr, nullptr);
}

// ---- Looks ---------------------------------------------------------------------------------
TEST_F(KeyboardPage, ListsReadRightToLeftWhenTheBarsDo) {
  const DWORD kRtl = WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR;
  DWORD dwCommands = 0, dwCategory = 0, dwKeys = 0;
  RunSheet([&] {
    dwCommands = (DWORD)::GetWindowLongPtrW(Item(XTP_IDC_LBOX_ACCEL_COMMANDS), GWL_EXSTYLE);
    dwCategory = (DWORD)::GetWindowLongPtrW(Item(XTP_IDC_COMBO_CATEGORY), GWL_EXSTYLE);
  });
  EXPECT_EQ(0u, dwCommands & kRtl);
  EXPECT_EQ(0u, dwCategory & kRtl);
  pFrame->DestroyWindow();
  MakeFrame(0, WS_EX_LAYOUTRTL);
  ASSERT_TRUE(pBars->IsLayoutRTL());
  RunSheet([&] {
    dwCommands = (DWORD)::GetWindowLongPtrW(Item(XTP_IDC_LBOX_ACCEL_COMMANDS), GWL_EXSTYLE);
    dwCategory = (DWORD)::GetWindowLongPtrW(Item(XTP_IDC_COMBO_CATEGORY), GWL_EXSTYLE);
    dwKeys = (DWORD)::GetWindowLongPtrW(Item(XTP_IDC_LBOX_KEYS), GWL_EXSTYLE);
  });
  EXPECT_EQ(kRtl, dwCommands & kRtl);
  EXPECT_EQ(kRtl, dwCategory & kRtl);
  EXPECT_EQ(0u, dwKeys & kRtl) << "the keys list keeps its reading order";
}

class KeyboardPageLook : public KeyboardPage, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override { MakeFrame(GetParam(), 0); }
};

TEST_P(KeyboardPageLook, ShowsTheCommandItsKeysAndACapturedShortcut) {
  RunSheet([&] {
    PickCategory(1);
    ASSERT_TRUE(ClickRow(XTP_IDC_LBOX_ACCEL_COMMANDS, L"Undo"));
    ASSERT_TRUE(ClickRow(XTP_IDC_LBOX_KEYS, L"Alt+Backspace"));
    PressShortcut({VK_CONTROL, VK_SHIFT}, VK_F5);
    EXPECT_EQ(L"Ctrl+Shift+F5", CaptureText());
    // The sheet beside the frame's menu bar, whose look follows the theme.
    CRect rc, rcFrame;
    pFrame->GetWindowRect(&rcFrame);
    g_pSheet->SetWindowPos(NULL, rcFrame.left + 300, rcFrame.top + 70, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ::RedrawWindow(pFrame->m_hWnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
    ::RedrawWindow(g_pSheet->m_hWnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
    PumpInput(150);
    g_pSheet->GetWindowRect(&rc);
    rc.UnionRect(&rc, &rcFrame);
    // The page shows its texts: some pixel of the keys list is dark text on the list.
    testsupport::CSnapshot shot(Item(XTP_IDC_LBOX_KEYS), testsupport::WindowArea::Client);
    int nDark = 0;
    for (int y = 0; y < shot.Height(); y++)
      for (int x = 0; x < shot.Width(); x++)
        if (GetRValue(shot.Pixel(x, y)) + GetGValue(shot.Pixel(x, y)) + GetBValue(shot.Pixel(x, y)) < 200) nDark++;
    EXPECT_GT(nDark, 20) << "the keys list shows its texts";
    ShootScreen(rc, GetParam() == 0 ? L"customize_keyboard_page_theme0.png" : L"customize_keyboard_page_theme3.png");
  });
}

INSTANTIATE_TEST_SUITE_P(Themes, KeyboardPageLook, ::testing::Values(0, 3));

}  // namespace
