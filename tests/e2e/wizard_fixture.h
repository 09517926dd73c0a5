// The one fixture of the end-to-end tests of Vorlix.exe: the program started as its own
// process in the test prefix, its windows found by their ids and captions, message boxes
// answered by their text, and the steps a user takes on the way to a written file (a book
// through the file dialog, "Save Options" typed and clicked, "Saving Complete" waited for).
#pragma once

#include <gtest/gtest.h>

#include <framework.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "wizard_process.h"

namespace wizarde2e {

using uidriver::CMessageBoxAnswerer;

const wchar_t kSampleBook[] = L"C:\\Notes\\Data\\names.nsf";
const wchar_t kOut[] = L"C:\\vorlix_out";
const int kViewId = 0xE900, kTabControlId = 100, kFileListId = 1000;
const int kFolderTreeId = 4101, kSaveCompleteTextId = 1001;
// "Save Options": the kind radios.
const int kKindPst = 1012, kKindExcel = 1011, kKindCsv = 1005;

// Addresses the program opens go to a script that notes them (no browser starts). The
// script is written by the build: Wine cannot make a file executable.
inline void PointBrowserAtRecorder() {
  const CString value(E2E_ADDRESS_RECORDER);
  HKEY hKey = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_WRITE, nullptr, &hKey,
                        nullptr) == ERROR_SUCCESS) {
    ::RegSetValueExW(hKey, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()),
                     (value.GetLength() + 1) * sizeof(wchar_t));
    ::RegCloseKey(hKey);
  }
}

inline std::string BrowserLog() { return E2E_ADDRESS_LOG; }

inline std::string ReadBrowserLog() {
  std::ifstream in("Z:" + BrowserLog());
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline LONGLONG FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

inline std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A text file the program wrote as UTF-16.
inline std::wstring ReadText(const std::wstring& path) {
  const std::string bytes = ReadBytes(path);
  std::wstring text(bytes.size() / 2, L'\0');
  memcpy(text.data(), bytes.data(), text.size() * 2);
  return text;
}

// Leaves a file the program wrote in build/artifacts/wizard_run for the Linux-side readers.
inline void KeepForReaders(const std::wstring& path, const std::wstring& name) {
  ::CopyFileW(path.c_str(), testsupport::ArtifactPath(L"wizard_run\\" + name).c_str(), FALSE);
}

// A Windows path of a file the build made (a Linux path).
inline std::wstring FromBuild(const char* linuxPath) {
  CString path = CString(L"Z:") + CString(linuxPath);
  path.Replace(L'/', L'\\');
  return path.GetString();
}

inline bool Near(COLORREF a, COLORREF b, int tolerance = 24) {
  return abs(GetRValue(a) - GetRValue(b)) <= tolerance && abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// A drop-down menu of the program's menu bar: a popup bar of the command bars, a top-level
// popup window of the class the toolkit registers for its popup bars (the framework names a
// class by its attributes, "Fw:<module>:<class style>:...": here CS_SAVEBITS | CS_DBLCLKS).
inline bool IsPopupBar(HWND h) {
  const std::wstring cls = uidriver::ClassOf(h);
  if (cls.compare(0, 3, L"Fw:") != 0) return false;
  const size_t styleAt = cls.find(L':', 3);
  if (styleAt == std::wstring::npos) return false;
  const size_t styleEnd = cls.find(L':', styleAt + 1);
  wchar_t expected[16];
  swprintf(expected, 16, L"%x", CS_SAVEBITS | CS_DBLCLKS);
  return cls.substr(styleAt + 1, styleEnd - styleAt - 1) == expected &&
         (::GetWindowLongW(h, GWL_STYLE) & WS_POPUP) != 0;
}

// The shown drop-down menus (popup bars) of a process, the one opened last first.
inline std::vector<HWND> PopupMenus(DWORD pid) { return testsupport::TopWindows(pid, IsPopupBar); }

// A descendant window by its text (depth-first).
inline HWND FindTextDeep(HWND hParent, const std::wstring& text) {
  for (HWND h = ::GetWindow(hParent, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    if (uidriver::WindowText(h) == text) return h;
    if (HWND inner = FindTextDeep(h, text)) return inner;
  }
  return nullptr;
}

// The spans of columns of a picture area whose pixels include dark ones (text), left to
// right, gaps narrower than minGap joined: the items of a menu bar.
inline std::vector<std::pair<int, int>> InkedColumns(testsupport::CSnapshot& shot, int x0, int x1, int y0, int y1,
                                                      int minGap) {
  std::vector<std::pair<int, int>> spans;
  int start = -1, lastInked = -1;
  for (int x = x0; x < x1; ++x) {
    bool inked = false;
    for (int y = y0; y < y1 && !inked; ++y) {
      const COLORREF c = shot.Pixel(x, y);
      inked = GetRValue(c) < 70 && GetGValue(c) < 70 && GetBValue(c) < 70;
    }
    if (!inked) continue;
    if (start >= 0 && x - lastInked > minGap) {
      spans.push_back({start, lastInked + 1});
      start = -1;
    }
    if (start < 0) start = x;
    lastInked = x;
  }
  if (start >= 0) spans.push_back({start, lastInked + 1});
  return spans;
}

// The profile of Vorlix.exe (HKCU, under the program's registry key).
const wchar_t kProfileKey[] = L"Software\\Local AppWizard-Generated Applications\\Vorlix";

// Forgets what the command bars stored (every "CommandBars..." section of the profile): the
// next start shows the bars as the frame builds them.
inline void ForgetStoredBars() {
  HKEY hKey = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kProfileKey, 0, KEY_READ | KEY_WRITE, &hKey) != ERROR_SUCCESS) return;
  std::vector<std::wstring> sections;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD cch = 256;
    if (::RegEnumKeyExW(hKey, i, name, &cch, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (wcsncmp(name, L"CommandBars", 11) == 0) sections.push_back(name);
  }
  for (const std::wstring& section : sections) ::RegDeleteTreeW(hKey, section.c_str());
  ::RegCloseKey(hKey);
}

class CWizardFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    PointBrowserAtRecorder();
    ::CreateDirectoryW(kOut, nullptr);
    // A program left by a test that ran out of time would refuse this one as a second
    // instance: it is ended first (only programs of this test prefix are seen here).
    EndLeftoverProgram();
    // Every test meets the bars as built, whatever a test before it stored.
    ForgetStoredBars();
    ASSERT_TRUE(m_app.Start());
    m_hMain = m_app.MainWindow();
    ASSERT_NE(m_hMain, nullptr) << "the main window did not appear";
    m_answers.reset(new CMessageBoxAnswerer(m_app.Pid()));
    ::SetForegroundWindow(m_hMain);
    ASSERT_TRUE(WaitFor([&] { return PageShown(0); }, 10000));
    ::Sleep(500);
  }
  void TearDown() override {
    m_answers.reset();
    m_app.Kill();
    ForgetStoredBars();
  }

  static void EndLeftoverProgram() {
    HWND hOld = ::FindWindowW(nullptr, L"Vorlix");
    for (int i = 0; hOld && i < 3; ++i, hOld = ::FindWindowW(nullptr, L"Vorlix")) {
      DWORD pid = 0;
      ::GetWindowThreadProcessId(hOld, &pid);
      if (pid == ::GetCurrentProcessId()) return;
      HANDLE hProcess = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
      if (!hProcess) return;
      ::TerminateProcess(hProcess, 1);
      ::WaitForSingleObject(hProcess, 5000);
      ::CloseHandle(hProcess);
    }
  }

  // Opens a menu of the menu bar from the keyboard (Alt, then its letter) and waits for its
  // popup; a press that went astray under load is tried again after closing what opened.
  bool OpenMenuByKeys(WORD letter) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      ::SetForegroundWindow(m_hMain);
      WaitFor([&] { return ::GetForegroundWindow() == m_hMain; }, 3000);
      uidriver::PressKey(VK_MENU);
      ::Sleep(200);
      uidriver::PressKey(letter);
      if (WaitFor([&] { return !PopupMenus(m_app.Pid()).empty(); }, 3000)) return true;
      CloseMenus();
    }
    return false;
  }
  // Closes the open menus with Escape, then leaves the menu bar.
  void CloseMenus() {
    for (int i = 0; i < 5 && !PopupMenus(m_app.Pid()).empty(); ++i) {
      uidriver::PressKey(VK_ESCAPE);
      WaitFor([&] { return PopupMenus(m_app.Pid()).empty(); }, 500);
    }
    uidriver::PressKey(VK_ESCAPE);
    ::Sleep(300);
  }

  // The window that has the keyboard focus in the program's interface thread.
  HWND ProgramFocus() {
    GUITHREADINFO info = {sizeof(info)};
    return ::GetGUIThreadInfo(::GetWindowThreadProcessId(m_hMain, nullptr), &info) ? info.hwndFocus : nullptr;
  }
  // The menu bar: the command bar "Menu Bar" on the frame's top dock bar.
  HWND MenuBar() { return FindTextDeep(m_hMain, L"Menu Bar"); }
  // The items of the menu bar as screen rectangles, left to right, found by their texts in
  // a picture of the bar (the gripper at its left end is left out).
  std::vector<RECT> MenuBarItems() {
    std::vector<RECT> items;
    HWND hBar = MenuBar();
    if (!hBar) return items;
    RECT rc;
    ::GetWindowRect(hBar, &rc);
    auto shot = Picture(hBar);
    const int cy = rc.bottom - rc.top;
    for (const auto& span : InkedColumns(*shot, kMenuBarGripper, rc.right - rc.left, 3, cy - 3, 10))
      items.push_back(RECT{rc.left + span.first, rc.top, rc.left + span.second, rc.bottom});
    return items;
  }
  // Opens the menu of the menu bar's item index with a click on it and waits for its popup.
  bool OpenMenuByClick(size_t index) {
    ::SetForegroundWindow(m_hMain);
    WaitFor([&] { return ::GetForegroundWindow() == m_hMain; }, 3000);
    const std::vector<RECT> items = MenuBarItems();
    if (index >= items.size()) return false;
    const RECT& item = items[index];
    uidriver::ClickAt(POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    return WaitFor([&] { return !PopupMenus(m_app.Pid()).empty(); }, 3000);
  }
  // Width of the menu bar's gripper, where no item is.
  static const int kMenuBarGripper = 8;

  HWND View() { return FindChild(m_hMain, kViewId); }
  HWND TabControl() { return FindChild(View(), kTabControlId); }
  HWND Page(int i) { return PageOf(m_hMain, i); }
  bool PageShown(int i) { return Page(i) && ::IsWindowVisible(Page(i)); }
  HWND FileList() { return FindChild(Page(0), kFileListId); }
  size_t Rows() { return ReadListRows(FileList(), 2).size(); }
  HWND Button(int page, const wchar_t* caption) { return FindButtonDeep(Page(page), caption); }
  HWND Dialog(const wchar_t* title) { return uidriver::FindDialog(m_app.Pid(), title); }
  // "Saving Complete": a dialog captioned "Vorlix" with its text control and no message text.
  HWND SaveComplete() {
    HWND h = Dialog(L"Vorlix");
    return h && ::GetDlgItem(h, kSaveCompleteTextId) && !::GetDlgItem(h, 0xFFFF) ? h : nullptr;
  }
  // The save page's file list (several-files mode).
  std::vector<std::vector<std::wstring>> SaveRows() {
    return ReadListRows(FindClassDeep(Page(2), L"SysListView32"), 4);
  }

  // Answers queued first, then the click; waits until every answer was used.
  void ClickExpecting(HWND hButton, std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> answers) {
    const size_t before = m_answers->Count();
    for (auto& a : answers) m_answers->Queue(a.first, a.second ? std::wstring(L"wizard\\") + a.second : L"");
    uidriver::Click(hButton);
    ASSERT_TRUE(WaitFor([&] { return m_answers->Count() >= before + answers.size(); }, 15000));
  }

  // "Add File(s)" and the real open-file dialog, with the names typed into its name box.
  void AddBook(const std::wstring& typed, const wchar_t* picture = nullptr) {
    uidriver::Click(Button(0, L"Add File(s)"));
    HWND hDlg = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (hDlg = Dialog(L"Open")) != nullptr; }, 10000));
    ::Sleep(300);
    if (picture) KeepPicture(hDlg, picture);
    uidriver::TypeText(typed);
    ::Sleep(200);
    uidriver::PressKey(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(hDlg) || !::IsWindowVisible(hDlg); }, 10000));
  }
  // The book listed alone on page 1: the list emptied first, then the book added.
  void ListOnly(const std::vector<std::wstring>& books) {
    if (Rows() > 0) {
      uidriver::Click(Button(0, L"Remove All Files"));
      ASSERT_TRUE(WaitFor([&] { return Rows() == 0; }, 5000));
    }
    for (const std::wstring& book : books) {
      const size_t before = Rows();
      AddBook(book);
      ASSERT_TRUE(WaitFor([&] { return Rows() == before + 1; }, 5000)) << "not listed";
    }
  }

  // "Add Domino File(s)": the server typed and added, its databases listed by a click on
  // it and all of them added ("Add", then "Finish"). The number of rows added.
  size_t AddDominoBooks(const std::wstring& server, const wchar_t* listedPicture = nullptr) {
    uidriver::Click(Button(0, L"Add Domino File(s)"));
    HWND hDlg = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (hDlg = Dialog(L"Domino Server File Selection")) != nullptr; }, 10000));
    if (!hDlg) return 0;
    m_answers->AddSkip(hDlg);
    ::Sleep(300);
    uidriver::Click(::GetDlgItem(hDlg, 1000));
    ::Sleep(200);
    uidriver::TypeText(server);
    ::Sleep(200);
    uidriver::Click(::GetDlgItem(hDlg, 1018));
    HWND hServers = ::GetDlgItem(hDlg, 1010), hFiles = ::GetDlgItem(hDlg, 1009);
    EXPECT_TRUE(WaitFor([&] { return ReadListRows(hServers, 1).size() == 1; }, 5000));
    ::Sleep(500);
    // The server row's label, as the program lays it out.
    const RECT rcRow = ListRowLabelRect(hServers, 0);
    uidriver::Click(hServers, POINT{rcRow.left + 10, (rcRow.top + rcRow.bottom) / 2});
    const bool listed = WaitFor([&] { return !ReadListRows(hFiles, 1).empty() && ::IsWindowEnabled(hFiles); }, 20000);
    if (listedPicture) KeepPicture(hDlg, listedPicture);
    EXPECT_TRUE(listed) << (m_answers->Texts().empty() ? std::string("no box")
                                                       : std::string(m_answers->Last().begin(), m_answers->Last().end()));
    const size_t count = ReadListRows(hFiles, 1).size();
    const size_t before = m_answers->Count();
    m_answers->Queue(L"OK", L"wizard\\box_domino_added_in_program.png");
    uidriver::Click(::GetDlgItem(hDlg, 1019));
    EXPECT_TRUE(WaitFor([&] { return m_answers->Count() == before + 1; }, 10000));
    uidriver::Click(::GetDlgItem(hDlg, 1020));
    EXPECT_TRUE(WaitFor([&] { return !::IsWindow(hDlg); }, 5000));
    return count;
  }

  // Preview of the first listed book: page 2, waited for until its scan and first listing
  // ended (the page's buttons come back then).
  void PreviewFirstRow() {
    uidriver::Click(FileList(), POINT{60, 30});
    ::Sleep(300);
    uidriver::Click(Button(0, L"Preview"));
    ASSERT_TRUE(WaitFor([&] { return PageShown(1); }, 5000));
  }
  void WaitForListing(DWORD ms = 60000) {
    ASSERT_TRUE(WaitFor([&] { return Button(1, L"Export") != nullptr; }, ms)) << "the folder page stayed busy";
    ::Sleep(300);
  }
  // Clicks a letter (or "All") of the folder page and waits for the listing it starts; the
  // click is given again when the page never got busy (a click that came while the pane
  // was still disabled is lost; a listing repeated does no harm).
  void ClickAndWaitForListing(HWND hButton, DWORD ms = 60000) {
    for (int attempt = 0; attempt < 3; ++attempt) {
      uidriver::Click(hButton);
      if (WaitFor([&] { return Button(1, L"Export") == nullptr; }, 4000)) break;
    }
    WaitForListing(ms);
  }
  // Clicks a button until a dialog of the caption shows (at most three times).
  HWND ClickForDialog(HWND hButton, const wchar_t* title) {
    HWND hDlg = nullptr;
    EXPECT_NE(hButton, nullptr) << "no button to click for \"" << std::string(title, title + wcslen(title)) << "\"";
    if (!hButton) return nullptr;
    for (int attempt = 0; attempt < 3 && !hDlg; ++attempt) {
      uidriver::Click(hButton);
      WaitFor([&] { return (hDlg = Dialog(title)) != nullptr; }, 8000);
    }
    return hDlg;
  }
  // The page came back or a folder was chosen: its buttons go while it works (unless it
  // was done before they could be seen), then come back.
  void WaitForNewListing(DWORD ms = 60000) {
    WaitFor([&] { return Button(1, L"Export") == nullptr; }, 3000);
    WaitForListing(ms);
  }

  // Answers "Save Options": kind radio, then folder and name, or with bExisting the
  // existing PST file's path; bSingle ticks "Export contacts to single file".
  void AnswerSaveOptions(int kind, const std::wstring& folderOrFile, const std::wstring& name, bool bExisting,
                         const wchar_t* picture, bool bSingle = false) {
    HWND hDlg = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (hDlg = Dialog(L"Save Options")) != nullptr; }, 20000));
    ::Sleep(400);
    if (kind != kKindPst) uidriver::Click(::GetDlgItem(hDlg, kind));
    if (bExisting) uidriver::Click(::GetDlgItem(hDlg, 1026));
    ::Sleep(200);
    if (bExisting) {
      TypeInto(hDlg, 1002, folderOrFile);
    } else {
      const int folderId = kind == kKindPst ? 1000 : kind == kKindExcel ? 1003 : 1007;
      TypeInto(hDlg, folderId, folderOrFile);
      TypeInto(hDlg, folderId + 1, name);
    }
    if (bSingle) {
      uidriver::Click(::GetDlgItem(hDlg, 1027));
      ASSERT_TRUE(WaitFor([&] { return ::SendMessageW(::GetDlgItem(hDlg, 1027), BM_GETCHECK, 0, 0) == BST_CHECKED; },
                          3000));
    }
    if (picture) KeepPicture(hDlg, picture);
    uidriver::Click(::GetDlgItem(hDlg, IDOK));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(hDlg); }, 10000)) << "Save Options refused the input";
  }
  // Waits for "Saving Complete", keeps its picture, closes it and waits for the page's
  // buttons to come back.
  void FinishSave(const wchar_t* picture = nullptr, DWORD ms = 120000) {
    HWND hDone = nullptr;
    const bool bDone = WaitFor([&] { return (hDone = SaveComplete()) != nullptr; }, ms);
    if (!bDone) KeepPicture(m_hMain, L"page3_no_end.png");
    ASSERT_TRUE(bDone) << "no \"Saving Complete\"; boxes: " << m_answers->Count();
    if (picture) KeepPicture(hDone, picture);
    uidriver::Click(::GetDlgItem(hDone, IDOK));
    ASSERT_TRUE(WaitFor([&] { return Button(2, L"Next") != nullptr; }, 10000));
  }
  // Export on the file page starts the save, which first asks where to save the book:
  // cancelled, the book is skipped and the save ends with its message, page 3 still shown.
  void CancelTheSaveOptions() {
    HWND hOptions = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (hOptions = Dialog(L"Save Options")) != nullptr; }, 10000));
    ::Sleep(300);
    uidriver::Click(uidriver::FindButton(hOptions, L"Cancel"));
    HWND hDone = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (hDone = Dialog(L"Vorlix")) != nullptr; }, 10000));
    uidriver::Click(uidriver::FindButton(hDone, L"OK"));
  }
  // The save page's status line: its only static control with text of its own.
  std::wstring StatusText() {
    for (HWND h = ::GetWindow(Page(2), GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
      if (uidriver::ClassOf(h) == L"Static" && !uidriver::WindowText(h).empty()) return uidriver::WindowText(h);
    return L"";
  }
  // Closes the program with its question answered Yes; its exit code.
  DWORD CloseProgram() {
    m_answers->Queue(L"&Yes");
    ::PostMessageW(m_hMain, WM_CLOSE, 0, 0);
    return m_app.WaitExit(30000);
  }

  // A picture of the screen area of a window (the part of it on the screen: a maximised
  // frame reaches past the screen's edges, and a copy from beyond them gives nothing).
  std::unique_ptr<testsupport::CSnapshot> Picture(HWND hWnd) {
    RECT rc, window;
    ::GetWindowRect(hWnd, &window);
    const RECT screen = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::IntersectRect(&rc, &window, &screen);
    auto shot = std::make_unique<testsupport::CSnapshot>(rc.right - rc.left, rc.bottom - rc.top);
    HDC hScreen = ::GetDC(nullptr);
    ::BitBlt(shot->DC().m_hDC, 0, 0, rc.right - rc.left, rc.bottom - rc.top, hScreen, rc.left, rc.top, SRCCOPY);
    ::ReleaseDC(nullptr, hScreen);
    return shot;
  }

  CVorlixProcess m_app;
  HWND m_hMain = nullptr;
  std::unique_ptr<CMessageBoxAnswerer> m_answers;
};

}  // namespace wizarde2e
