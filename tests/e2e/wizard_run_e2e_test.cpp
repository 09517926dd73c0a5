// Conversions end to end: Vorlix.exe as its own process, driven like a user from the file
// page through the folder page, "Save Options" and the save page, to files on disk; Stop
// during a save answered Yes with a second save into the stopped PST; closing during a save.
// Pictures of what the user meets go to build/artifacts/wizard/.
#include <gtest/gtest.h>

#include <framework.h>

#include <fstream>
#include <string>

#include "wizard_process.h"

namespace {

using uidriver::CMessageBoxAnswerer;
using wizarde2e::CVorlixProcess;

const wchar_t kSampleBook[] = L"C:\\Notes\\Data\\names.nsf";
const wchar_t kOut[] = L"C:\\vorlix_out";
const int kViewId = 0xE900, kTabControlId = 100, kPageFileListId = 1000;
const int kSaveCompleteTextId = 1001;

bool WaitFor(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > ms) return false;
    ::Sleep(50);
  }
  return true;
}

// Addresses the program opens go to a script that notes them (no browser starts).
void PointBrowserAtRecorder() {
  const CString value(E2E_ADDRESS_RECORDER);
  HKEY hKey = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_WRITE, nullptr, &hKey,
                        nullptr) == ERROR_SUCCESS) {
    ::RegSetValueExW(hKey, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()),
                     (value.GetLength() + 1) * sizeof(wchar_t));
    ::RegCloseKey(hKey);
  }
}

LONGLONG FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Leaves a file the program wrote in build/artifacts/wizard_run for the Linux-side readers.
void KeepForReaders(const std::wstring& path, const std::wstring& name) {
  ::CopyFileW(path.c_str(), testsupport::ArtifactPath(L"wizard_run\\" + name).c_str(), FALSE);
}

std::wstring ReadText(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::wstring text(bytes.size() / 2, L'\0');
  memcpy(text.data(), bytes.data(), text.size() * 2);
  return text;
}

class WizardRunE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    PointBrowserAtRecorder();
    ::CreateDirectoryW(kOut, nullptr);
    ASSERT_TRUE(m_app.Start());
    m_hMain = m_app.MainWindow();
    ASSERT_NE(m_hMain, nullptr) << "the main window did not appear";
    m_answers.reset(new CMessageBoxAnswerer(m_app.Pid()));
    ::SetForegroundWindow(m_hMain);
    ASSERT_TRUE(WaitFor([&] { return Page(0) && ::IsWindowVisible(Page(0)); }, 10000));
    ::Sleep(500);
  }
  void TearDown() override {
    m_answers.reset();
    m_app.Kill();
  }

  HWND View() { return wizarde2e::FindChild(m_hMain, kViewId); }
  HWND Page(int i) {
    HWND hTab = wizarde2e::FindChild(View(), kTabControlId);
    return hTab ? wizarde2e::FindChild(hTab, kViewId + i) : nullptr;
  }
  HWND Button(int page, const wchar_t* caption) { return wizarde2e::FindButtonDeep(Page(page), caption); }
  bool PageShown(int i) { return Page(i) && ::IsWindowVisible(Page(i)); }
  HWND Dialog(const wchar_t* title) { return uidriver::FindDialog(m_app.Pid(), title); }
  HWND SaveComplete() {
    HWND h = Dialog(L"Vorlix");
    return h && ::GetDlgItem(h, kSaveCompleteTextId) && !::GetDlgItem(h, 0xFFFF) ? h : nullptr;
  }

  void AddBook(const std::wstring& path) {
    uidriver::Click(Button(0, L"Add File(s)"));
    HWND hDlg = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (hDlg = Dialog(L"Open")) != nullptr; }, 10000));
    ::Sleep(300);
    uidriver::TypeText(path);
    ::Sleep(200);
    uidriver::PressKey(VK_RETURN);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(hDlg) || !::IsWindowVisible(hDlg); }, 10000));
  }

  // Types into a field of "Save Options", again when the keys went elsewhere.
  static void TypeInto(HWND hDlg, int nID, const std::wstring& text) {
    HWND hEdit = ::GetDlgItem(hDlg, nID);
    for (int attempt = 0; attempt < 5 && uidriver::WindowText(hEdit) != text; ++attempt) {
      uidriver::Click(hEdit);
      ::Sleep(100);
      ::SendMessageW(hEdit, EM_SETSEL, 0, -1);
      uidriver::TypeText(text);
      WaitFor([&] { return uidriver::WindowText(hEdit) == text; }, 1500);
    }
  }
  // Answers "Save Options": kind radio (1012 PST, 1011 Excel, 1005 CSV), then folder and
  // name, or with bExisting the existing PST file's path.
  void AnswerSaveOptions(int kind, const std::wstring& folderOrFile, const std::wstring& name, bool bExisting,
                         const wchar_t* picture) {
    HWND hDlg = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (hDlg = Dialog(L"Save Options")) != nullptr; }, 20000));
    ::Sleep(400);
    if (kind != 1012) uidriver::Click(::GetDlgItem(hDlg, kind));
    if (bExisting) uidriver::Click(::GetDlgItem(hDlg, 1026));
    ::Sleep(200);
    if (bExisting) {
      TypeInto(hDlg, 1002, folderOrFile);
    } else {
      const int folderId = kind == 1012 ? 1000 : kind == 1011 ? 1003 : 1007;
      TypeInto(hDlg, folderId, folderOrFile);
      TypeInto(hDlg, folderId + 1, name);
    }
    if (picture) wizarde2e::KeepPicture(hDlg, picture);
    uidriver::Click(::GetDlgItem(hDlg, IDOK));
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(hDlg); }, 10000)) << "Save Options refused the input";
  }
  std::wstring StatusText() {
    HWND hList = wizarde2e::FindClassDeep(Page(2), L"SysListView32");
    (void)hList;
    // The status caption is the page's only static control with text of its own.
    for (HWND h = ::GetWindow(Page(2), GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
      if (uidriver::ClassOf(h) == L"Static" && !uidriver::WindowText(h).empty()) return uidriver::WindowText(h);
    return L"";
  }

  CVorlixProcess m_app;
  HWND m_hMain = nullptr;
  std::unique_ptr<CMessageBoxAnswerer> m_answers;
};

}  // namespace

TEST_F(WizardRunE2e, OneBookThroughTheFolderPageToACsvFile) {
  const std::wstring target = std::wstring(kOut) + L"\\one_book.csv";
  ::DeleteFileW(target.c_str());
  AddBook(kSampleBook);
  HWND hList = wizarde2e::FindChild(Page(0), kPageFileListId);
  ASSERT_TRUE(WaitFor([&] { return ::SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0) == 1; }, 5000));
  uidriver::Click(hList, POINT{60, 30});
  ::Sleep(300);
  uidriver::Click(Button(0, L"Preview"));
  ASSERT_TRUE(WaitFor([&] { return PageShown(1); }, 5000));
  // The scan, then the first folder's cards: the page's buttons come back when it is done.
  ASSERT_TRUE(WaitFor([&] { return Button(1, L"Export") != nullptr; }, 60000));
  ::Sleep(500);
  wizarde2e::KeepPicture(m_hMain, L"page2_listed.png");
  HWND hTree = wizarde2e::FindChild(Page(1), 4101);
  ASSERT_NE(hTree, nullptr);
  EXPECT_GT(::SendMessageW(hTree, TVM_GETCOUNT, 0, 0), 5) << "the book's folders are in the tree";

  uidriver::Click(Button(1, L"Export"));
  AnswerSaveOptions(1005, kOut, L"one_book", false, L"save_options_e2e_csv.png");
  ASSERT_TRUE(WaitFor([&] { return PageShown(2); }, 5000));
  HWND hDone = nullptr;
  const bool bDone = WaitFor([&] { return (hDone = SaveComplete()) != nullptr; }, 60000);
  if (!bDone) wizarde2e::KeepPicture(m_hMain, L"page3_one_book_no_end.png");
  ASSERT_TRUE(bDone) << "messages: " << m_answers->Count();
  wizarde2e::KeepPicture(hDone, L"saving_complete_e2e.png");
  uidriver::Click(::GetDlgItem(hDone, IDOK));
  ASSERT_TRUE(WaitFor([&] { return Button(2, L"Next") != nullptr; }, 10000));
  wizarde2e::KeepPicture(m_hMain, L"page3_after_one_book.png");
  EXPECT_EQ(StatusText(),
            L"Saving Complete , Click Next button to convert another file or click Exit button to close the software");
  const std::wstring csv = ReadText(target);
  EXPECT_NE(csv.find(L"\"Alice\""), std::wstring::npos) << "the book's contacts are in the file";
  EXPECT_EQ(m_answers->Count(), 0u) << "no message on the way";
  KeepForReaders(target, L"one_book.csv");
}

TEST_F(WizardRunE2e, StopDuringASaveYesThenASecondSaveIntoTheStoppedPst) {
  const std::wstring big = L"C:\\books\\big names.nsf";
  ::CreateDirectoryW(L"C:\\books", nullptr);
  CString source = CString(L"Z:") + CString(WIZARD_RUN_BOOK);
  source.Replace(L'/', L'\\');
  ASSERT_TRUE(::CopyFileW(source, big.c_str(), FALSE));
  const std::wstring target = std::wstring(kOut) + L"\\stopped.pst";
  ::DeleteFileW(target.c_str());
  AddBook(big);
  uidriver::Click(Button(0, L"Export"));
  AnswerSaveOptions(1012, kOut, L"stopped", false, L"save_options_e2e_pst.png");
  ASSERT_TRUE(WaitFor([&] { return PageShown(2); }, 5000));
  ::Sleep(1500);
  wizarde2e::KeepPicture(m_hMain, L"page3_during_save.png");
  HWND hStop = Button(2, L"Stop");
  ASSERT_NE(hStop, nullptr) << "the save ended before Stop could be clicked";
  m_answers->Queue(L"&Yes", L"wizard\\stop_question_e2e.png");
  m_answers->Queue(L"OK", L"wizard\\aborted_message_e2e.png");
  uidriver::Click(hStop);
  ASSERT_TRUE(WaitFor([&] { return m_answers->Count() == 2; }, 30000));
  const auto texts = m_answers->Texts();
  EXPECT_EQ(texts[0], L"Are you sure you want to stop the saving process ?");
  EXPECT_EQ(texts[1],
            L"Process aborted by user , \r\nClick Next button to convert another file or click Exit button to close the "
            L"software");
  ASSERT_TRUE(WaitFor([&] { return Button(2, L"Next") != nullptr; }, 10000));
  wizarde2e::KeepPicture(m_hMain, L"page3_aborted_rows.png");
  auto rows = wizarde2e::ReadListRows(wizarde2e::FindClassDeep(Page(2), L"SysListView32"), 4);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][1], L"cancelled by user...");
  EXPECT_GT(FileSize(target), 0);

  // Next: page 1 again, and a second save adds the sample book to the stopped file.
  uidriver::Click(Button(2, L"Next"));
  ASSERT_TRUE(WaitFor([&] { return PageShown(0); }, 5000));
  HWND hList = wizarde2e::FindChild(Page(0), kPageFileListId);
  uidriver::Click(Button(0, L"Remove All Files"));
  ASSERT_TRUE(WaitFor([&] { return ::SendMessageW(hList, LVM_GETITEMCOUNT, 0, 0) == 0; }, 5000));
  AddBook(kSampleBook);
  uidriver::Click(Button(0, L"Export"));
  AnswerSaveOptions(1012, target, L"", true, nullptr);
  HWND hDone = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (hDone = SaveComplete()) != nullptr; }, 60000))
      << "the stopped PST opened as an existing file";
  uidriver::Click(::GetDlgItem(hDone, IDOK));
  ASSERT_TRUE(WaitFor([&] { return Button(2, L"Next") != nullptr; }, 10000));
  rows = wizarde2e::ReadListRows(wizarde2e::FindClassDeep(Page(2), L"SysListView32"), 4);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][1], L"Save Done...");
  EXPECT_EQ(rows[0][3], target);
  // Close the program so that the file is complete and free, then keep it.
  m_answers->Queue(L"&Yes");
  ::PostMessageW(m_hMain, WM_CLOSE, 0, 0);
  EXPECT_EQ(m_app.WaitExit(30000), 0u);
  KeepForReaders(target, L"stopped_then_added.pst");
}

TEST_F(WizardRunE2e, ClosingDuringASaveEndsTheSaveAndTheProgramWithExitCodeZero) {
  const std::wstring big = L"C:\\books\\big names.nsf";
  ::CreateDirectoryW(L"C:\\books", nullptr);
  CString source = CString(L"Z:") + CString(WIZARD_RUN_BOOK);
  source.Replace(L'/', L'\\');
  ASSERT_TRUE(::CopyFileW(source, big.c_str(), FALSE));
  const std::wstring target = std::wstring(kOut) + L"\\closing.pst";
  ::DeleteFileW(target.c_str());
  AddBook(big);
  uidriver::Click(Button(0, L"Export"));
  AnswerSaveOptions(1012, kOut, L"closing", false, nullptr);
  ASSERT_TRUE(WaitFor([&] { return PageShown(2); }, 5000));
  ::Sleep(1500);
  ASSERT_NE(Button(2, L"Stop"), nullptr) << "the save ended before the close";
  // No: the save goes on.
  m_answers->Queue(L"&No", L"wizard\\close_question_during_save.png");
  ::PostMessageW(m_hMain, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitFor([&] { return m_answers->Count() == 1; }, 10000));
  EXPECT_EQ(m_answers->Last(), L"Are you sure , You want to close the software?");
  ::Sleep(300);
  EXPECT_TRUE(m_app.Running());
  EXPECT_NE(Button(2, L"Stop"), nullptr) << "still saving";
  // Yes: the save is cancelled and waited for, the store closed, the program ends.
  m_answers->Queue(L"&Yes");
  const DWORD start = ::GetTickCount();
  ::PostMessageW(m_hMain, WM_CLOSE, 0, 0);
  const DWORD code = m_app.WaitExit(30000);
  EXPECT_EQ(code, 0u);
  EXPECT_LT(::GetTickCount() - start, 15000u);
  EXPECT_GT(FileSize(target), 271360) << "the saved items are in the file";
  // The file is closed: it can be opened without sharing.
  HANDLE h = ::CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  ::CloseHandle(h);
  KeepForReaders(target, L"closed_during_save.pst");
}
