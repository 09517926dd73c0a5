// Edits and browse edits with real input and the real shell dialogs: the context menu at
// the keyboard point, its commands and their enabling; folder, file and menu browsing, the
// choice reaching the edit or the owner, cancel keeping the text.
#include <framework.h>

#include <gtest/gtest.h>
#include <shlobj.h>

#include "ControlsTestSupport.h"
#include "XTEdit.h"
#include "controls_test_res.h"

#include <functional>
#include <string>
#include <vector>

using namespace controlstest;

namespace {

const UINT kEditId = 200;

// ---------------------------------------------------------------------------------------
// A modal loop runs on this thread (menu or dialog); a timer of the same thread finds its
// window and acts on it once.
std::function<bool()> g_onTick;

void CALLBACK TickProc(HWND, UINT, UINT_PTR idEvent, DWORD) {
  // The action may pump messages itself: ticks that arrive meanwhile are dropped.
  static bool busy = false;
  if (busy || !g_onTick) return;
  busy = true;
  const bool done = g_onTick();
  busy = false;
  if (done) {
    ::KillTimer(NULL, idEvent);
    g_onTick = nullptr;
  }
}

void WhileModal(std::function<bool()> onTick) {
  g_onTick = std::move(onTick);
  ::SetTimer(NULL, 0, 30, TickProc);
}

// The popup menu window this thread shows, or null.
HWND FindMenuWindow() {
  HWND hMenuWnd = ::FindWindowW(L"#32768", NULL);
  return (hMenuWnd != NULL && ::IsWindowVisible(hMenuWnd)) ? hMenuWnd : NULL;
}


std::string Narrow(const CString& s) {
  std::string out;
  for (int i = 0; i < s.GetLength(); i++) out += (char)(s[i] < 128 ? s[i] : '?');
  return out;
}

CString TextOf(CWnd& wnd) {
  CString s;
  wnd.GetWindowText(s);
  return s;
}

CString TempFolder(LPCWSTR name) {
  WCHAR temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  CString path = CString(temp) + name;
  ::CreateDirectoryW(path, NULL);
  return path;
}

class Edit : public ::testing::Test {
 protected:
  void SetUp() override {
    ParkMouse();
    ASSERT_TRUE(parent.CreateAt(CRect(60, 60, 560, 360)));
    ASSERT_TRUE(edit.CreateEx(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                              CRect(20, 20, 320, 44), &parent, kEditId));
    ASSERT_TRUE(edit.Initialize(&parent));
    Activate(parent.m_hWnd);
    edit.SetFocus();
    PumpFor(30);
  }
  void TearDown() override {
    g_onTick = nullptr;
    edit.DestroyWindow();
    parent.DestroyWindow();
    PumpFor(20);
  }

  struct MenuSeen {
    CRect rect;
    std::vector<std::pair<UINT, bool>> items;  // command, enabled
  };
  // Opens the context menu from the keyboard, records it, then presses the keys.
  MenuSeen ContextMenu(CXTEdit& target, std::vector<WORD> keys) {
    MenuSeen seen;
    bool done = false;
    WhileModal([&]() {
      HWND hMenuWnd = FindMenuWindow();
      if (hMenuWnd == NULL) return false;
      ::GetWindowRect(hMenuWnd, &seen.rect);
      HMENU hMenu = (HMENU)::SendMessageW(hMenuWnd, MN_GETHMENU, 0, 0);
      for (int i = 0; i < ::GetMenuItemCount(hMenu); i++) {
        const UINT id = ::GetMenuItemID(hMenu, i);
        if (id == 0) continue;
        seen.items.push_back({id, (::GetMenuState(hMenu, i, MF_BYPOSITION) & (MF_DISABLED | MF_GRAYED)) == 0});
      }
      for (WORD k : keys) Key(k);
      done = true;
      return true;
    });
    target.SetFocus();
    Key(VK_F10, {VK_SHIFT});
    PumpUntil([&] { return done && FindMenuWindow() == NULL; }, 3000);
    PumpFor(50);
    return seen;
  }
  static bool Enabled(const MenuSeen& seen, UINT id) {
    for (const auto& item : seen.items)
      if (item.first == id) return item.second;
    ADD_FAILURE() << "no item " << id;
    return false;
  }

  CRecordingParent parent;
  CXTEdit edit;
};

const UINT kUndo = 57643, kCut = 57635, kCopy = 57634, kPaste = 57637, kDelete = 57632, kSelectAll = 57642;

void SetClipboardText(LPCWSTR text) {
  ASSERT_TRUE(::OpenClipboard(NULL));
  ::EmptyClipboard();
  if (text != nullptr) {
    const size_t bytes = (wcslen(text) + 1) * sizeof(WCHAR);
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(::GlobalLock(h), text, bytes);
    ::GlobalUnlock(h);
    ::SetClipboardData(CF_UNICODETEXT, h);
  }
  ::CloseClipboard();
}

CString ClipboardText() {
  CString text;
  if (!::OpenClipboard(NULL)) return text;
  if (HANDLE h = ::GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<LPCWSTR>(::GlobalLock(h));
    ::GlobalUnlock(h);
  }
  ::CloseClipboard();
  return text;
}

TEST_F(Edit, KeyboardContextMenuOpensJustInsideTheEditWithItsItemsEnabledByState) {
  SetClipboardText(nullptr);
  MenuSeen empty = ContextMenu(edit, {VK_ESCAPE});
  CPoint origin(0, 0);
  edit.ClientToScreen(&origin);
  EXPECT_EQ(empty.rect.TopLeft(), origin + CPoint(5, 5));
  const std::vector<UINT> order = {kUndo, kCut, kCopy, kPaste, kDelete, kSelectAll};
  ASSERT_EQ(empty.items.size(), order.size());
  for (size_t i = 0; i < order.size(); i++) EXPECT_EQ(empty.items[i].first, order[i]);
  // Empty edit, empty clipboard: nothing to do.
  for (UINT id : order) EXPECT_FALSE(Enabled(empty, id)) << id;

  edit.SetWindowText(L"hello");
  edit.SetSel(1, 3);
  SetClipboardText(L"clip");
  MenuSeen some = ContextMenu(edit, {VK_ESCAPE});
  EXPECT_FALSE(Enabled(some, kUndo));
  EXPECT_TRUE(Enabled(some, kCut));
  EXPECT_TRUE(Enabled(some, kCopy));
  EXPECT_TRUE(Enabled(some, kPaste));
  EXPECT_TRUE(Enabled(some, kDelete));
  EXPECT_TRUE(Enabled(some, kSelectAll));
  for (const auto& e : parent.log)
    EXPECT_NE(e.lParam, 0) << "the edit handles its menu's commands itself: " << LOWORD(e.wParam);
}

TEST_F(Edit, MenuCommandsActOnTheEdit) {
  // Items by keyboard: Down 1 Undo, 2 Cut, 3 Copy, 4 Paste, 5 Delete, 6 Select All.
  auto choose = [&](int n) {
    std::vector<WORD> keys(n, VK_DOWN);
    keys.push_back(VK_RETURN);
    ContextMenu(edit, keys);
  };
  SetClipboardText(nullptr);
  edit.SetWindowText(L"hello world");
  choose(6);
  int start = -1, end = -1;
  edit.GetSel(start, end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 11) << "Select All";
  choose(3);
  EXPECT_STREQ((LPCWSTR)ClipboardText(), L"hello world") << "Copy";
  choose(5);
  EXPECT_STREQ((LPCWSTR)TextOf(edit), L"") << "Delete";
  choose(1);
  EXPECT_STREQ((LPCWSTR)TextOf(edit), L"hello world") << "Undo";
  edit.SetSel(0, 5);
  choose(2);
  EXPECT_STREQ((LPCWSTR)TextOf(edit), L" world") << "Cut";
  EXPECT_STREQ((LPCWSTR)ClipboardText(), L"hello");
  edit.SetSel(6, 6);
  choose(4);
  EXPECT_STREQ((LPCWSTR)TextOf(edit), L" worldhello") << "Paste";
}

// ---------------------------------------------------------------------------------------
// The text of the selected item of the dialog's tree view, empty when none.
CString SelectedTreeText(HWND hDlg) {
  HWND hTree = ::FindWindowExW(hDlg, NULL, WC_TREEVIEWW, NULL);
  if (hTree == NULL) {
    for (HWND h = ::GetWindow(hDlg, GW_CHILD); h != NULL && hTree == NULL; h = ::GetWindow(h, GW_HWNDNEXT))
      hTree = ::FindWindowExW(h, NULL, WC_TREEVIEWW, NULL);
  }
  if (hTree == NULL) return CString();
  HTREEITEM hItem = TreeView_GetSelection(hTree);
  if (hItem == NULL) return CString();
  WCHAR text[MAX_PATH] = {};
  TVITEMW item = {};
  item.mask = TVIF_TEXT;
  item.hItem = hItem;
  item.pszText = text;
  item.cchTextMax = MAX_PATH;
  if (!TreeView_GetItem(hTree, &item)) return CString();
  return CString(text);
}

class BrowseEdit : public ::testing::Test {
 protected:
  void SetUp() override {
    ParkMouse();
    ASSERT_TRUE(parent.CreateAt(CRect(60, 60, 560, 360)));
    ASSERT_TRUE(edit.CreateEx(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                              CRect(20, 20, 320, 44), &parent, kEditId));
    Activate(parent.m_hWnd);
  }
  void TearDown() override {
    g_onTick = nullptr;
    edit.DestroyWindow();
    parent.DestroyWindow();
    PumpFor(20);
  }
  // Runs Browse(); while its dialog is open, act(dialog) runs once.
  void BrowseWithDialog(std::function<void(HWND)> act) {
    bool acted = false;
    WhileModal([&]() {
      HWND hDlg = FindThreadDialog();
      if (hDlg == NULL) return false;
      PumpFor(100);
      act(hDlg);
      acted = true;
      return true;
    });
    edit.Browse();
    EXPECT_TRUE(acted) << "the dialog showed";
    EXPECT_FALSE(edit.IsBrowsing());
  }

  CRecordingParent parent;
  CXTBrowseEdit edit;
};

TEST_F(BrowseEdit, InitializeMakesTheButtonBesideTheShrunkenEdit) {
  CRect before;
  edit.GetWindowRect(&before);
  ASSERT_TRUE(edit.InitializeBrowse(&parent, BES_XT_CHOOSEDIR, 0, 0));
  CRect rcEdit, rcButton;
  edit.GetWindowRect(&rcEdit);
  CXTBrowseButton* pButton = edit.GetBrowseButton();
  ASSERT_NE(pButton->GetSafeHwnd(), nullptr);
  pButton->GetWindowRect(&rcButton);
  const int width = 2 * ::GetSystemMetrics(SM_CXEDGE) + ::GetSystemMetrics(SM_CXHTHUMB);
  EXPECT_EQ(CXTBrowseEdit::GetButtonWidth(), width);
  EXPECT_EQ(rcEdit.right, before.right - edit.GetGap() - width);
  EXPECT_EQ(rcButton, CRect(rcEdit.right + edit.GetGap(), rcEdit.top, rcEdit.right + edit.GetGap() + width, rcEdit.bottom));
  EXPECT_EQ(pButton->GetDlgCtrlID(), XT_IDC_BTN_BROWSE);
  CString caption;
  pButton->GetWindowText(caption);
  EXPECT_STREQ((LPCWSTR)caption, L"...");
  EXPECT_STREQ((LPCWSTR)edit.GetFilter(), L"All Files (*.*)|*.*||");
  EXPECT_STREQ((LPCWSTR)edit.GetFolderTitle(), L"Directory name:");

  // The button follows the edit: disabled, hidden, moved.
  edit.EnableWindow(FALSE);
  EXPECT_FALSE(pButton->IsWindowEnabled());
  edit.EnableWindow(TRUE);
  EXPECT_TRUE(pButton->IsWindowEnabled());
  edit.ShowWindow(SW_HIDE);
  EXPECT_FALSE(pButton->IsWindowVisible());
  edit.ShowWindow(SW_SHOW);
  EXPECT_TRUE(pButton->IsWindowVisible());
  edit.MoveWindow(30, 100, 200, 24);
  edit.GetWindowRect(&rcEdit);
  pButton->GetWindowRect(&rcButton);
  EXPECT_EQ(rcButton.left, rcEdit.right + edit.GetGap());
  EXPECT_EQ(rcButton.top, rcEdit.top);
}

TEST_F(BrowseEdit, AStoredStyleWithoutBrowseBitsGetsNoButton) {
  edit.SetBrowseStyle(0);
  EXPECT_TRUE(edit.InitializeBrowse(&parent, BES_XT_CHOOSEFILE, 0, 0));
  EXPECT_EQ(edit.GetBrowseButton()->GetSafeHwnd(), nullptr);
  CXTBrowseEdit unmade;
  EXPECT_FALSE(unmade.InitializeBrowse(&parent, BES_XT_CHOOSEDIR, 0, 0)) << "no edit window";
}

TEST_F(BrowseEdit, FolderBrowserStartsAtTheCurrentDirectoryAndItsChoiceReachesTheEdit) {
  ASSERT_TRUE(edit.InitializeBrowse(&parent, BES_XT_CHOOSEDIR, 0, 0));
  WCHAR oldDir[MAX_PATH];
  ::GetCurrentDirectoryW(MAX_PATH, oldDir);
  const CString folder = TempFolder(L"vorlix_browse_start");
  ASSERT_TRUE(::SetCurrentDirectoryW(folder));

  // Rows: the edit's text before, what OK or Cancel leaves in it.
  const CString tooLong = CString(L'x', 300);
  struct Row {
    const char* what;
    CString before;
    bool ok;
    CString after;
  } rows[] = {
      {"empty edit, OK", L"", true, folder},
      {"text too long for the path buffer, OK", tooLong, true, folder},
      {"cancel keeps the text", L"C:\\keep me", false, L"C:\\keep me"},
  };
  for (const Row& row : rows) {
    edit.SetWindowText(row.before);
    BrowseWithDialog([&](HWND hDlg) {
      // The browser selects its start folder once its tree is filled, which takes Wine's
      // shell a while on a busy machine: wait for that.
      const bool selected = PumpUntil(
          [hDlg] { return SelectedTreeText(hDlg).CompareNoCase(L"vorlix_browse_start") == 0; },
          row.ok ? 30000 : 3000);
      if (row.ok) EXPECT_TRUE(selected) << row.what << ": the browser never selected its start folder";
      ::PostMessageW(hDlg, WM_COMMAND, row.ok ? IDOK : IDCANCEL, 0);
    });
    EXPECT_EQ(TextOf(edit).CompareNoCase(row.after), 0) << row.what << ": " << Narrow(TextOf(edit));
  }
  ::SetCurrentDirectoryW(oldDir);
}

TEST(BrowseDialog, StartPathIsTheTextOnlyWhenItFits) {
  WCHAR current[MAX_PATH];
  ::GetCurrentDirectoryW(MAX_PATH, current);
  CXTBrowseDialog dlg;
  EXPECT_STREQ((LPCWSTR)dlg.GetStartPath(), current) << "nothing set";
  dlg.SetSelPath(L"C:\\windows");
  EXPECT_STREQ((LPCWSTR)dlg.GetStartPath(), L"C:\\windows");
  dlg.SetSelPath(CString(L'y', MAX_PATH));
  EXPECT_STREQ((LPCWSTR)dlg.GetStartPath(), current) << "a text of 260 characters does not fit";
  dlg.SetSelPath(CString(L'y', MAX_PATH - 1));
  EXPECT_EQ(dlg.GetStartPath().GetLength(), MAX_PATH - 1);
}

TEST(BrowseDialog, FileDialogSizeNeverExceedsTheStructure) {
  const DWORD full = sizeof(OPENFILENAMEW);
  const struct {
    DWORD current, held, expected;
  } rows[] = {
      {OPENFILENAME_SIZE_VERSION_400W, full, full},  // older layout raised to the full one
      {full, full, full},
      {full + 12, full, full},  // never more than the dialog holds
      {76, full, full},
      {76, 100, 100},
  };
  for (const auto& row : rows)
    EXPECT_EQ(CXTBrowseEdit::FileDialogStructSize(row.current, row.held), row.expected) << row.current;
}

TEST_F(BrowseEdit, FileDialogChoiceReachesTheEditAndCancelKeepsTheText) {
  ASSERT_TRUE(edit.InitializeBrowse(&parent, BES_XT_CHOOSEFILE, 0, 0));
  edit.SetFilter(L"PST File(*.pst)|*.pst||");
  const CString folder = TempFolder(L"vorlix_browse_file");
  const CString file = folder + L"\\pick.pst";
  HANDLE h = ::CreateFileW(file, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  ::CloseHandle(h);

  edit.SetWindowText(L"unchanged");
  BrowseWithDialog([](HWND hDlg) { ::PostMessageW(hDlg, WM_COMMAND, IDCANCEL, 0); });
  EXPECT_STREQ((LPCWSTR)TextOf(edit), L"unchanged");
  EXPECT_EQ(edit.GetLastDialogStructSize(), (DWORD)sizeof(OPENFILENAMEW));

  BrowseWithDialog([&](HWND hDlg) {
    ::SendMessageW(hDlg, CDM_SETCONTROLTEXT, 0x47C /* file name box */, (LPARAM)(LPCWSTR)file);
    ::PostMessageW(hDlg, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(TextOf(edit).CompareNoCase(file), 0) << Narrow(TextOf(edit));
  EXPECT_EQ(CWnd::GetFocus(), &edit) << "the edit takes the focus back";
}

TEST_F(BrowseEdit, MenuButtonTracksTheMenuAndItsCommandReachesTheOwner) {
  ASSERT_TRUE(edit.InitializeBrowse(&parent, BES_XT_POPUPMENU, IDR_TEST_BROWSE_MENU, 0));
  CXTBrowseButton* pButton = edit.GetBrowseButton();
  ASSERT_NE(pButton->GetSafeHwnd(), nullptr);
  // The toolkit's browse images hold eight pictures: the fifth is the button's icon.
  EXPECT_NE(pButton->GetBrowseIcon(), nullptr);
  EXPECT_TRUE(pButton->GetStyle() & BS_ICON);
  CString caption;
  pButton->GetWindowText(caption);
  EXPECT_TRUE(caption.IsEmpty());

  bool pressedWhileOpen = false;
  CRect menuRect;
  WhileModal([&]() {
    HWND hMenuWnd = FindMenuWindow();
    if (hMenuWnd == NULL) return false;
    ::GetWindowRect(hMenuWnd, &menuRect);
    pressedWhileOpen = (pButton->GetState() & BST_PUSHED) != 0;
    Key(VK_DOWN);
    Key(VK_DOWN);
    Key(VK_RETURN);
    return true;
  });
  Click(CenterOf(pButton->m_hWnd));
  PumpUntil([&] { return parent.Count(WM_COMMAND, 0, ID_TEST_SECOND) > 0; }, 3000);
  EXPECT_EQ(parent.Count(WM_COMMAND, 0, ID_TEST_SECOND), 1) << "the second item's command reaches the owner";
  EXPECT_TRUE(pressedWhileOpen);
  EXPECT_FALSE(pButton->GetState() & BST_PUSHED) << "released after the menu";
  CRect rcButton;
  pButton->GetWindowRect(&rcButton);
  EXPECT_EQ(menuRect.left, rcButton.right);
  EXPECT_EQ(menuRect.top, rcButton.top);
}

}  // namespace
