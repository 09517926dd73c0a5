// Conversions end to end: Vorlix.exe as its own process, driven like a user from the file
// page through the folder page, "Save Options" and the save page, to files on disk; Stop
// during a save answered Yes with a second save into the stopped PST; closing during a save.
// Pictures of what the user meets go to build/artifacts/wizard/.
#include <gtest/gtest.h>

#include <framework.h>

#include <string>

#include "wizard_fixture.h"

namespace {

using namespace wizarde2e;

class WizardRunE2e : public CWizardFixture {};

}  // namespace

TEST_F(WizardRunE2e, OneBookThroughTheFolderPageToACsvFile) {
  const std::wstring target = std::wstring(kOut) + L"\\one_book.csv";
  ::DeleteFileW(target.c_str());
  AddBook(kSampleBook);
  HWND hList = FileList();
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
  ASSERT_TRUE(::CopyFileW(FromBuild(WIZARD_RUN_BOOK).c_str(), big.c_str(), FALSE));
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
  HWND hList = FileList();
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
  ASSERT_TRUE(::CopyFileW(FromBuild(WIZARD_RUN_BOOK).c_str(), big.c_str(), FALSE));
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
