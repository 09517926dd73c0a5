// The shortcut manager: display texts and key names as tables, the command's shortcut to
// show, assignment rules, the stored "Accelerators" bytes through the profile, an archive
// and the registry, Reset, the print-preview lock, keys reaching commands through a real
// window by SendInput, and the key-capture edit composing a shortcut from real keys.
#include <framework.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "CommandBarsTestSupport.h"
#include "XTPCommandBars.h"
#include "XTPPropExchange.h"
#include "XTPShortcutManager.h"

using namespace cbtest;

CWinApp theApp(L"Vorlix shortcut test");

namespace {

const wchar_t kCompany[] = L"Vorlix shortcut tests";
const wchar_t kSection[] = L"CommandBars";

// The 6-byte stored form of records: fVirt, a zero byte, key and cmd little-endian.
std::vector<BYTE> StoredBytes(const std::vector<ACCEL>& records) {
  std::vector<BYTE> out;
  for (const ACCEL& a : records) {
    out.push_back(a.fVirt);
    out.push_back(0);
    out.push_back(LOBYTE(a.key));
    out.push_back(HIBYTE(a.key));
    out.push_back(LOBYTE(a.cmd));
    out.push_back(HIBYTE(a.cmd));
  }
  return out;
}

// Twelve records over commands 200-211.
std::vector<ACCEL> TwelveRecords() {
  std::vector<ACCEL> v;
  const WORD keys[] = {'N', 'O', 'S', 'P', 'E', 'R', VK_F1, VK_F5, VK_F10, VK_ADD, VK_NUMPAD3, VK_DELETE};
  const BYTE mods[] = {FCONTROL, FCONTROL, FCONTROL, FCONTROL | FSHIFT, FCONTROL, FALT, 0, 0, FSHIFT, FCONTROL, 0, FSHIFT};
  for (int i = 0; i < 12; ++i) v.push_back(Acc((BYTE)(FVIRTKEY | mods[i]), keys[i], (WORD)(200 + i)));
  return v;
}

HACCEL MakeTable(const std::vector<ACCEL>& v) {
  return ::CreateAcceleratorTableW(const_cast<ACCEL*>(v.data()), (int)v.size());
}

std::vector<BYTE> RegistryValue(LPCWSTR section, LPCWSTR name) {
  std::vector<BYTE> out;
  HKEY hKey = theApp.GetSectionKey(section);
  if (hKey == nullptr) return out;
  DWORD type = 0, size = 0;
  if (::RegQueryValueExW(hKey, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_BINARY) {
    out.resize(size);
    ::RegQueryValueExW(hKey, name, nullptr, &type, out.data(), &size);
  }
  ::RegCloseKey(hKey);
  return out;
}

void DeleteSection(LPCWSTR section) { theApp.WriteProfileString(section, nullptr, nullptr); }

class ShortcutManager : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (theApp.m_pszRegistryKey == nullptr) theApp.SetRegistryKey(kCompany);
  }
  void TearDown() override { DeleteSection(kSection); }
  CXTPShortcutManager mgr;
};

// ---------------------------------------------------------------------------------------
TEST_F(ShortcutManager, FormatsShortcutsWithModifiersInFixedOrder) {
  struct Case {
    BYTE fVirt;
    WORD key;
    const wchar_t* text;
    int priority;
  } cases[] = {
      {FVIRTKEY | FCONTROL, 'N', L"Ctrl+N", 3},
      {FVIRTKEY | FSHIFT, VK_F10, L"Shift+F10", 1},
      {FVIRTKEY | FALT, 'X', L"Alt+X", 2},
      {FVIRTKEY | FALT | FCONTROL | FSHIFT, VK_DELETE, L"Ctrl+Shift+Alt+Del", 3},
      {FVIRTKEY | FCONTROL | FSHIFT, VK_F5, L"Ctrl+Shift+F5", 3},
      {FVIRTKEY | FALT | FSHIFT, VK_F4, L"Shift+Alt+F4", 2},
      {FVIRTKEY, VK_F1, L"F1", 4},
      {FVIRTKEY, VK_F12, L"F12", 4},
      {FVIRTKEY, VK_NUMPAD0, L"Num 0", 4},
      {FVIRTKEY, VK_NUMPAD9, L"Num 9", 4},
      {FVIRTKEY | FCONTROL, VK_ADD, L"Ctrl+Num +", 3},
      {FVIRTKEY | FCONTROL, VK_MULTIPLY, L"Ctrl+Num *", 3},
      {FVIRTKEY, VK_DECIMAL, L"Num .", 4},
      {FVIRTKEY | FSHIFT, VK_PRIOR, L"Shift+Page Up", 1},
      {FVIRTKEY | FCONTROL, VK_HOME, L"Ctrl+Home", 3},
      {FVIRTKEY | FALT, VK_RETURN, L"Alt+Enter", 2},
      {FVIRTKEY, VK_ESCAPE, L"Esc", 4},
      {FVIRTKEY, '7', L"7", 4},
      {FVIRTKEY | FCONTROL, VK_CANCEL, L"Ctrl+Break", 3},  // the name holds the modifier
      {FVIRTKEY | FALT, 0, L"Alt", 2},                      // a key of 0 drops the "+"
      {FVIRTKEY | FCONTROL | FSHIFT, 0, L"Ctrl+Shift", 3},
      {0, 'A', L"A", 4},                                    // a character shortcut
      {0, 'q', L"q", 4},
      {0, 27, L"", 4},                                      // Esc and Tab characters add nothing
      {0, 9, L"", 4},
      {FCONTROL, 'a', L"Ctrl+a", 3},
  };
  for (const Case& c : cases) {
    ACCEL a = Acc(c.fVirt, c.key);
    int priority = -1;
    EXPECT_STREQ(mgr.Format(&a, &priority), c.text) << "fVirt " << (int)c.fVirt << " key " << c.key;
    EXPECT_EQ(priority, c.priority) << c.text;
    EXPECT_STREQ(mgr.Format(&a, nullptr), c.text);
  }
  int priority = -1;
  EXPECT_STREQ(mgr.Format(nullptr, &priority), L"") << "no record: no text";
}

TEST_F(ShortcutManager, NamesKeysFromItsTable) {
  struct Case {
    UINT vk;
    const wchar_t* name;
  } cases[] = {
      {0x01, L"Left Button"}, {0x03, L"Ctrl+Break"}, {0x08, L"Backspace"}, {0x0D, L"Enter"},
      {0x14, L"Caps Lock"},   {0x20, L"Space"},      {0x21, L"Page Up"},   {0x22, L"Page Down"},
      {0x25, L"Left Arrow"},  {0x28, L"Down Arrow"}, {0x2D, L"Ins"},       {0x2E, L"Del"},
      {0x30, L"0"},           {0x39, L"9"},          {0x41, L"A"},         {0x5A, L"Z"},
      {0x5B, L"Left Windows"}, {0x5D, L"Application"}, {0x60, L"Num 0"},   {0x65, L"Num 5"},
      {0x6A, L"Num *"},       {0x6B, L"Num +"},      {0x6C, L"Separator"}, {0x6D, L"Num -"},
      {0x6F, L"Num /"},       {0x70, L"F1"},         {0x79, L"F10"},       {0x7B, L"F12"},
      {0x90, L"Num Lock"},    {0x91, L"Scrl Lock"},  {0xF6, L"Attn"},      {0xFC, L"No Name"},
      {0xFE, L"Oem Clear"},
  };
  for (const Case& c : cases) EXPECT_STREQ(mgr.GetKeyName(c.vk), c.name) << "vk " << c.vk;
}

TEST_F(ShortcutManager, SystemKeyNamesComeFirstWhenAskedAndAreCapitalisedOnce) {
  // What the keyboard driver calls Page Up (an extended key).
  const UINT scan = ::MapVirtualKeyExW(VK_PRIOR, 0, ::GetKeyboardLayout(0));
  wchar_t raw[50] = {0};
  ::GetKeyNameTextW((LONG)((scan << 16) | 1 | 0x1000000), raw, 50);
  mgr.m_bUseSystemKeyNameText = TRUE;
  CString name = mgr.GetKeyName(VK_PRIOR);
  if (raw[0] == 0) {
    EXPECT_STREQ(name, L"Page Up") << "no driver name: the table's";
  } else {
    CString expected(raw);
    expected.MakeLower();
    ASSERT_FALSE(name.IsEmpty());
    EXPECT_EQ(name.Mid(1), expected.Mid(1)) << "the rest in lower case";
    EXPECT_TRUE(::IsCharUpperW(name[0]) || !::IsCharAlphaW(name[0])) << (LPCWSTR)name;
    EXPECT_EQ(name.GetLength(), expected.GetLength());
  }
  EXPECT_STREQ(mgr.GetKeyName(VK_CANCEL), L"Ctrl+Break") << "the driver has no name for vk 3";
  mgr.m_bUseSystemKeyNameText = FALSE;
  EXPECT_STREQ(mgr.GetKeyName(VK_PRIOR), L"Page Up");
}

TEST_F(ShortcutManager, RefusesOnlyAPlainEscapeUnlessAllowed) {
  struct Case {
    BYTE fVirt;
    WORD key;
    BOOL allowEsc;
    BOOL allowed;
  } cases[] = {
      {FVIRTKEY, VK_ESCAPE, FALSE, FALSE},          {FVIRTKEY | FSHIFT, VK_ESCAPE, FALSE, TRUE},
      {FVIRTKEY | FCONTROL, VK_ESCAPE, FALSE, TRUE}, {FVIRTKEY | FALT, VK_ESCAPE, FALSE, TRUE},
      {0, VK_ESCAPE, FALSE, TRUE},                  {FVIRTKEY, VK_F1, FALSE, TRUE},
      {FVIRTKEY, VK_ESCAPE, TRUE, TRUE},
  };
  for (const Case& c : cases) {
    mgr.m_bAllowEscapeShortcut = c.allowEsc;
    EXPECT_EQ(mgr.IsAccelAllowed(MAKELONG(c.fVirt, c.key), 100), c.allowed)
        << "fVirt " << (int)c.fVirt << " key " << c.key << " allowEsc " << c.allowEsc;
  }
}

TEST_F(ShortcutManager, ShowsTheShortcutOfHighestPriorityUnlessOneIsAlreadyShown) {
  struct Case {
    std::vector<ACCEL> table;
    UINT id;
    const wchar_t* before;
    BOOL found;
    const wchar_t* after;
  } cases[] = {
      {{Acc(FVIRTKEY, VK_F5, 7), Acc(FVIRTKEY | FCONTROL, 'R', 7)}, 7, L"", TRUE, L"F5"},
      {{Acc(FVIRTKEY | FCONTROL, 'R', 7), Acc(FVIRTKEY, VK_F5, 7)}, 7, L"", TRUE, L"F5"},
      {{Acc(FVIRTKEY | FSHIFT, 'X', 7), Acc(FVIRTKEY | FCONTROL, 'X', 7)}, 7, L"", TRUE, L"Ctrl+X"},
      {{Acc(FVIRTKEY | FCONTROL, 'X', 7), Acc(FVIRTKEY | FALT, 'X', 7)}, 7, L"", TRUE, L"Ctrl+X"},
      {{Acc(FVIRTKEY | FCONTROL, 'X', 7), Acc(FVIRTKEY | FCONTROL, 'Y', 7)}, 7, L"", TRUE, L"Ctrl+X"},
      {{Acc(FVIRTKEY, VK_F5, 7), Acc(FVIRTKEY | FCONTROL, 'R', 7)}, 7, L"Ctrl+R", TRUE, L"Ctrl+R"},
      {{Acc(FVIRTKEY, VK_F5, 7), Acc(FVIRTKEY | FCONTROL, 'R', 7)}, 7, L"Ctrl+Q", TRUE, L"F5"},
      {{Acc(FVIRTKEY, VK_F5, 7)}, 8, L"Ctrl+Q", FALSE, L""},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(mgr.SetAccelerators(c.table.data(), (int)c.table.size()));
    CString text = c.before;
    EXPECT_EQ(mgr.FindDefaultAccelerator(c.id, text), c.found) << c.after;
    EXPECT_STREQ(text, c.after);
  }
  CXTPShortcutManager empty;
  CString text = L"keep";
  EXPECT_FALSE(empty.FindDefaultAccelerator(7, text)) << "no table at all";
}

TEST_F(ShortcutManager, WithoutTablesOfItsOwnTheSiteFramesTableIsShown) {
  CFrameWnd* pFrame = new CFrameWnd();
  ASSERT_TRUE(pFrame->Create(NULL, L"site frame", WS_OVERLAPPEDWINDOW, CRect(20, 20, 220, 120)));
  std::vector<ACCEL> frameTable = {Acc(FVIRTKEY | FCONTROL, 'O', 57601), Acc(FVIRTKEY, VK_F1, 57670)};
  pFrame->m_hAccelTable = MakeTable(frameTable);
  CXTPCommandBars* pBars = new CXTPCommandBars();
  pBars->SetSite(pFrame);
  CXTPShortcutManager* pShortcuts = pBars->GetShortcutManager();
  ASSERT_NE(pShortcuts, nullptr);
  CString text;
  EXPECT_TRUE(pShortcuts->FindDefaultAccelerator(57601, text));
  EXPECT_STREQ(text, L"Ctrl+O");
  EXPECT_TRUE(pShortcuts->FindDefaultAccelerator(57670, text));
  EXPECT_STREQ(text, L"F1");
  // A default table of its own hides the frame's even while no current table exists.
  HACCEL hDefault = MakeTable({Acc(FVIRTKEY, VK_F2, 57601)});
  pShortcuts->SetDefaultAccelerator(hDefault);
  text = L"F1";
  EXPECT_FALSE(pShortcuts->FindDefaultAccelerator(57601, text));
  EXPECT_STREQ(text, L"F1") << "no table: the text is left alone";
  // The current table comes first.
  std::vector<ACCEL> own = {Acc(FVIRTKEY | FALT, 'O', 57601)};
  ASSERT_TRUE(pShortcuts->SetAccelerators(own.data(), 1));
  EXPECT_TRUE(pShortcuts->FindDefaultAccelerator(57601, text));
  EXPECT_STREQ(text, L"Alt+O");
  pBars->InternalRelease();
  ::DestroyAcceleratorTable(hDefault);
  HACCEL hFrameTable = pFrame->m_hAccelTable;
  pFrame->m_hAccelTable = NULL;
  ::DestroyAcceleratorTable(hFrameTable);
  pFrame->DestroyWindow();
}

TEST_F(ShortcutManager, BadRecordsKeepTheTableInForce) {
  std::vector<ACCEL> v = {Acc(FVIRTKEY | FCONTROL, 'N', 1)};
  ASSERT_TRUE(mgr.SetAccelerators(v.data(), 1));
  EXPECT_FALSE(mgr.SetAccelerators(nullptr, 3));
  EXPECT_FALSE(mgr.SetAccelerators(v.data(), 0));
  EXPECT_FALSE(mgr.SetAccelerators(v.data(), -2));
  EXPECT_TRUE(SameRecords(Records(mgr.GetAccelerators()), v));
}

TEST_F(ShortcutManager, ResetCopiesTheDefaultTableAndNeedsOne) {
  std::vector<ACCEL> custom = {Acc(FVIRTKEY | FALT, 'Q', 5)};
  ASSERT_TRUE(mgr.SetAccelerators(custom.data(), 1));
  mgr.Reset();
  EXPECT_TRUE(SameRecords(Records(mgr.GetAccelerators()), custom)) << "no default table: nothing";
  std::vector<ACCEL> defaults = TwelveRecords();
  HACCEL h = MakeTable(defaults);
  mgr.SetDefaultAccelerator(h);
  ::DestroyAcceleratorTable(h);  // the manager keeps its own copy
  mgr.Reset();
  EXPECT_TRUE(SameRecords(Records(mgr.GetAccelerators()), defaults));
  EXPECT_NE(mgr.GetAccelerators(), mgr.GetDefaultAccelerator()) << "a copy, not the default itself";
  EXPECT_TRUE(SameRecords(Records(mgr.GetDefaultAccelerator()), defaults));
}

// ---------------------------------------------------------------------------------------
TEST_F(ShortcutManager, SavesTwelveRecordsAsSeventyTwoBytesAndLoadsThemBack) {
  std::vector<ACCEL> v = TwelveRecords();
  ASSERT_TRUE(mgr.SetAccelerators(v.data(), (int)v.size()));
  mgr.SaveShortcuts(kSection);
  EXPECT_TRUE(RegistryValue(kSection, L"Accelerators").empty()) << "no default table: nothing written";

  HACCEL h = MakeTable({Acc(FVIRTKEY, VK_F1, 1)});
  mgr.SetDefaultAccelerator(h);
  mgr.SaveShortcuts(kSection);
  std::vector<BYTE> stored = RegistryValue(kSection, L"Accelerators");
  ASSERT_EQ(stored.size(), 72u);
  EXPECT_EQ(stored, StoredBytes(v));

  CXTPShortcutManager other;
  std::vector<ACCEL> before = {Acc(FVIRTKEY, VK_F2, 2)};
  other.SetAccelerators(before.data(), 1);
  other.LoadShortcuts(kSection);
  EXPECT_TRUE(SameRecords(Records(other.GetAccelerators()), before)) << "no default table: nothing read";
  other.SetDefaultAccelerator(h);
  other.LoadShortcuts(kSection);
  EXPECT_TRUE(SameRecords(Records(other.GetAccelerators()), v));
  ::DestroyAcceleratorTable(h);
}

TEST_F(ShortcutManager, LoadingReadsWholeRecordsAndKeepsTheTableWhenThereAreNone) {
  std::vector<ACCEL> v = TwelveRecords();
  std::vector<BYTE> whole = StoredBytes(v);
  HACCEL h = MakeTable({Acc(FVIRTKEY, VK_F1, 1)});
  mgr.SetDefaultAccelerator(h);
  ::DestroyAcceleratorTable(h);
  const std::vector<ACCEL> current = {Acc(FVIRTKEY | FCONTROL, 'K', 9)};
  struct Case {
    const char* what;
    std::vector<BYTE> bytes;
    bool write;
    std::vector<ACCEL> expected;
  } cases[] = {
      {"missing value", {}, false, current},
      {"five bytes: no whole record", std::vector<BYTE>(whole.begin(), whole.begin() + 5), true, current},
      {"twelve records and three bytes", [&] {
         std::vector<BYTE> b = whole;
         b.insert(b.end(), {1, 2, 3});
         return b;
       }(), true, v},
      {"two records", std::vector<BYTE>(whole.begin(), whole.begin() + 12), true,
       std::vector<ACCEL>(v.begin(), v.begin() + 2)},
  };
  for (const Case& c : cases) {
    DeleteSection(kSection);
    ASSERT_TRUE(mgr.SetAccelerators(current.data(), 1));
    if (c.write) {
      ASSERT_TRUE(theApp.WriteProfileBinary(kSection, L"Accelerators", const_cast<BYTE*>(c.bytes.data()),
                                            (UINT)c.bytes.size()));
    }
    mgr.LoadShortcuts(kSection);
    EXPECT_TRUE(SameRecords(Records(mgr.GetAccelerators()), c.expected)) << c.what;
  }
}

TEST_F(ShortcutManager, RoundTripsThroughAnArchiveAndTheRegistryExchange) {
  std::vector<ACCEL> v = TwelveRecords();
  HACCEL h = MakeTable({Acc(FVIRTKEY, VK_F1, 1)});
  mgr.SetDefaultAccelerator(h);
  ASSERT_TRUE(mgr.SetAccelerators(v.data(), (int)v.size()));

  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    CXTPPropExchangeArchive px(ar);
    mgr.DoPropExchange(&px);
    ar.Close();
  }
  std::vector<BYTE> bytes((size_t)file.GetLength());
  file.SeekToBegin();
  file.Read(bytes.data(), (UINT)bytes.size());
  ASSERT_GE(bytes.size(), 72u);
  std::vector<BYTE> tail(bytes.end() - 72, bytes.end());
  EXPECT_EQ(tail, StoredBytes(v)) << "the records end the archive's blob";

  CXTPShortcutManager fromArchive;
  fromArchive.SetDefaultAccelerator(h);
  {
    CMemFile in(bytes.data(), (UINT)bytes.size());
    CArchive ar(&in, CArchive::load);
    CXTPPropExchangeArchive px(ar);
    fromArchive.DoPropExchange(&px);
  }
  EXPECT_TRUE(SameRecords(Records(fromArchive.GetAccelerators()), v));

  HKEY hApp = theApp.GetAppRegistryKey();
  ASSERT_NE(hApp, nullptr);
  {
    CXTPPropExchangeRegistry px(FALSE, hApp, kSection);
    mgr.DoPropExchange(&px);
  }
  EXPECT_EQ(RegistryValue(kSection, L"Accelerators"), StoredBytes(v));
  CXTPShortcutManager fromRegistry;
  fromRegistry.SetDefaultAccelerator(h);
  {
    CXTPPropExchangeRegistry px(TRUE, hApp, kSection);
    fromRegistry.DoPropExchange(&px);
  }
  EXPECT_TRUE(SameRecords(Records(fromRegistry.GetAccelerators()), v));
  ::RegCloseKey(hApp);
  ::DestroyAcceleratorTable(h);
}

// ---------------------------------------------------------------------------------------
// A top-level window that records its WM_COMMAND ids.
class CCommandWnd : public CWnd {
 public:
  std::vector<UINT> commands;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND) commands.push_back(LOWORD(wParam));
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

// Dispatches the thread's messages for ms, offering each first to filter.
void PumpThrough(DWORD ms, const std::function<bool(MSG*)>& filter) {
  const DWORD start = ::GetTickCount();
  MSG msg;
  while (::GetTickCount() - start < ms) {
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (filter(&msg)) continue;
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    ::Sleep(5);
  }
}

void Chord(std::initializer_list<WORD> mods, WORD vk) {
  for (WORD m : mods) KeyEvent(m, false);
  KeyEvent(vk, false);
  KeyEvent(vk, true);
  for (auto it = std::rbegin(mods); it != std::rend(mods); ++it) KeyEvent(*it, true);
}

TEST_F(ShortcutManager, RealKeysReachCommandsThroughTheTableExceptInPrintPreview) {
  CCommandWnd wnd;
  ASSERT_TRUE(testsupport::CreateTestWindow(wnd, CRect(60, 60, 360, 260), L"shortcut target",
                                            WS_OVERLAPPEDWINDOW | WS_VISIBLE));
  Activate(wnd.m_hWnd);
  wnd.SetFocus();
  std::vector<ACCEL> v = {Acc(FVIRTKEY | FCONTROL, 'N', 301), Acc(FVIRTKEY | FSHIFT, VK_F10, 302),
                          Acc(FVIRTKEY, VK_F5, 303), Acc(FVIRTKEY | FCONTROL, VK_ADD, 304),
                          Acc(FVIRTKEY | FALT, 'G', 305)};
  ASSERT_TRUE(mgr.SetAccelerators(v.data(), (int)v.size()));
  auto filter = [&](MSG* pMsg) { return mgr.TranslateAccelerator(wnd.m_hWnd, pMsg) != FALSE; };
  struct Case {
    std::initializer_list<WORD> mods;
    WORD vk;
    UINT id;
  } cases[] = {
      {{VK_CONTROL}, 'N', 301}, {{VK_SHIFT}, VK_F10, 302}, {{}, VK_F5, 303},
      {{VK_CONTROL}, VK_ADD, 304}, {{VK_MENU}, 'G', 305},
  };
  for (const Case& c : cases) {
    wnd.commands.clear();
    Chord(c.mods, c.vk);
    PumpThrough(200, filter);
    ASSERT_EQ(wnd.commands.size(), 1u) << "id " << c.id;
    EXPECT_EQ(wnd.commands[0], c.id);
  }
  wnd.commands.clear();
  Chord({VK_CONTROL}, 'M');  // no such shortcut
  PumpThrough(200, filter);
  EXPECT_TRUE(wnd.commands.empty());

  // Print preview locks translation; nested entries need as many exits.
  mgr.OnSetPreviewMode(TRUE);
  mgr.OnSetPreviewMode(TRUE);
  EXPECT_TRUE(mgr.IsPreviewMode());
  Chord({VK_CONTROL}, 'N');
  PumpThrough(200, filter);
  EXPECT_TRUE(wnd.commands.empty()) << "locked";
  mgr.OnSetPreviewMode(FALSE);
  EXPECT_TRUE(mgr.IsPreviewMode());
  mgr.OnSetPreviewMode(FALSE);
  EXPECT_FALSE(mgr.IsPreviewMode());
  mgr.OnSetPreviewMode(FALSE);  // never below zero
  mgr.OnSetPreviewMode(TRUE);
  EXPECT_TRUE(mgr.IsPreviewMode());
  mgr.OnSetPreviewMode(FALSE);
  Chord({VK_CONTROL}, 'N');
  PumpThrough(200, filter);
  ASSERT_EQ(wnd.commands.size(), 1u);
  EXPECT_EQ(wnd.commands[0], 301u);
  wnd.DestroyWindow();
}

TEST_F(ShortcutManager, ComparesCharactersWithKeys) {
  struct Case {
    TCHAR ch;
    UINT vk;
    BOOL same;
  } cases[] = {
      {L'a', 'A', TRUE}, {L'A', 'A', TRUE}, {L'z', 'Z', TRUE}, {L'7', '7', TRUE},
      {L'b', 'A', FALSE}, {L'8', '7', FALSE}, {L'p', VK_F1, FALSE},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CXTPShortcutManager::CompareAccelKey(c.ch, c.vk), c.same) << (char)c.ch << " vk " << c.vk;
}

TEST_F(ShortcutManager, TheCaptureEditComposesAShortcutFromRealKeys) {
  CWnd host;
  ASSERT_TRUE(testsupport::CreateTestWindow(host, CRect(80, 80, 380, 200), L"capture host",
                                            WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN));
  CXTPShortcutEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(10, 10, 250, 34), &host, 77));
  edit.SetShortcutManager(&mgr);
  Activate(host.m_hWnd);
  edit.SetFocus();
  auto filter = [&](MSG* pMsg) { return pMsg->hwnd == edit.m_hWnd && edit.PreTranslateMessage(pMsg); };
  struct Case {
    std::initializer_list<WORD> mods;
    WORD vk;
    const wchar_t* text;
    bool complete;
  } cases[] = {
      {{VK_CONTROL, VK_SHIFT}, VK_F5, L"Ctrl+Shift+F5", true},
      {{VK_CONTROL}, 'N', L"Ctrl+N", true},
      {{}, VK_F10, L"F10", true},
      {{VK_SHIFT}, VK_ESCAPE, L"Shift+Esc", true},
      {{}, VK_ESCAPE, L"", false},  // refused: cleared
  };
  for (const Case& c : cases) {
    Chord(c.mods, c.vk);
    PumpThrough(200, filter);
    CString text;
    edit.GetWindowText(text);
    EXPECT_STREQ(text, c.text);
    EXPECT_EQ(edit.IsKeyComplete() != FALSE, c.complete) << c.text;
  }
  edit.ResetKey();
  CString text;
  edit.GetWindowText(text);
  EXPECT_STREQ(text, L"");
  EXPECT_EQ(edit.GetAccel().key, 0);
  host.DestroyWindow();
}

}  // namespace
