// Outputs and bad input end to end: Vorlix.exe as its own process, driven like a user to a
// workbook, a new PST and several books in one run (into one target and into one each);
// the written files are kept in build/artifacts/wizard_run, where the Linux-side readers
// (tests/linux/wizard_run_check.py: pffexport, readpst, xlrd) compare them with the books
// field by field. Bad input: a Domino server gone after its books were listed, an existing
// PST locked by another program: each named in the message and the file's row, nothing
// lost, the program usable.
#include <framework.h>

#include <cstdlib>
#include <cwctype>
#include <fstream>
#include <string>
#include <vector>

#include "wizard_fixture.h"

namespace {

using namespace wizarde2e;

const wchar_t kSecondBook[] = L"C:\\books\\second names.nsf";
const wchar_t kServersDir[] = L"C:\\Notes\\Data\\servers";

class WizardOutputsE2e : public CWizardFixture {
 protected:
  void SetUp() override {
    CWizardFixture::SetUp();
    ::CreateDirectoryW(L"C:\\books", nullptr);
    ASSERT_TRUE(::CopyFileW(FromBuild(VORLIX_SOURCE_DIR "/tests/fixtures/notes/names.nsf").c_str(), kSecondBook,
                            FALSE));
  }
  static std::wstring Out(const wchar_t* name) { return std::wstring(kOut) + L"\\" + name; }
  static void Remove(const std::wstring& path) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(path.c_str());
  }
  // The message box of a save that failed, answered; its text.
  std::wstring FailedSaveMessage(size_t nBefore, const wchar_t* picture) {
    m_answers->Queue(L"OK", std::wstring(L"wizard\\") + picture);
    EXPECT_TRUE(WaitFor([&] { return m_answers->Count() == nBefore + 1; }, 120000)) << "no message at the end";
    EXPECT_TRUE(WaitFor([&] { return Button(2, L"Next") != nullptr; }, 10000));
    return m_answers->Last();
  }
};

}  // namespace

TEST_F(WizardOutputsE2e, FoldersOfOneBookToAWorkbookAndThenToANewPst) {
  const std::wstring xls = Out(L"page2_book.xls"), pst = Out(L"page2_book.pst");
  Remove(xls);
  Remove(pst);
  ListOnly({kSampleBook});
  PreviewFirstRow();
  WaitForListing();
  ASSERT_NE(ClickForDialog(Button(1, L"Export"), L"Save Options"), nullptr);
  AnswerSaveOptions(kKindExcel, kOut, L"page2_book", false, L"save_options_e2e_xls.png");
  ASSERT_TRUE(WaitFor([&] { return PageShown(2); }, 5000));
  FinishSave(L"saving_complete_xls.png");
  KeepPicture(m_hMain, L"page3_after_xls.png");
  EXPECT_EQ(StatusText(),
            L"Saving Complete , Click Next button to convert another file or click Exit button to close the software");
  const std::string bytes = ReadBytes(xls);
  ASSERT_GT(bytes.size(), 512u);
  EXPECT_EQ(bytes.substr(0, 8), std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) << "not a compound file";
  KeepForReaders(xls, L"page2_book.xls");

  // Back to the folder page (it scans again) and out to a new PST.
  uidriver::Click(Button(2, L"Back"));
  ASSERT_TRUE(WaitFor([&] { return PageShown(1); }, 5000));
  WaitForNewListing();
  ASSERT_NE(ClickForDialog(Button(1, L"Export"), L"Save Options"), nullptr);
  AnswerSaveOptions(kKindPst, kOut, L"page2_book", false, nullptr);
  FinishSave();
  EXPECT_EQ(m_answers->Count(), 0u) << "no message on the way";
  EXPECT_EQ(CloseProgram(), 0u);
  KeepForReaders(pst, L"page2_book.pst");
}

TEST_F(WizardOutputsE2e, TwoBooksIntoOneTargetThenIntoOneEach) {
  const std::wstring both = Out(L"both_books.pst"), first = Out(L"each_first.pst"), second = Out(L"each_second.xls");
  for (const std::wstring& f : {both, first, second}) Remove(f);
  // Rows go on top: the second book is row 0 and saved first.
  ListOnly({kSampleBook, kSecondBook});
  uidriver::Click(Button(0, L"Export"));
  ASSERT_TRUE(WaitFor([&] { return PageShown(2); }, 5000));
  // One "Save Options" for both: the single-target box ticked.
  AnswerSaveOptions(kKindPst, kOut, L"both_books", false, L"save_options_single_target.png", true);
  FinishSave(L"saving_complete_two_books.png");
  KeepPicture(m_hMain, L"page3_two_books_one_target.png");
  auto rows = SaveRows();
  ASSERT_EQ(rows.size(), 2u);
  for (auto& row : rows) {
    EXPECT_EQ(row[1], L"Save Done...");
    EXPECT_EQ(row[3], both);
  }
  EXPECT_EQ(m_answers->Count(), 0u) << "no second Save Options, no message";

  // Next: page 1 with both rows; Export again, one target each: a PST and a workbook.
  uidriver::Click(Button(2, L"Next"));
  ASSERT_TRUE(WaitFor([&] { return PageShown(0); }, 5000));
  ASSERT_EQ(Rows(), 2u);
  uidriver::Click(Button(0, L"Export"));
  AnswerSaveOptions(kKindPst, kOut, L"each_first", false, nullptr);
  AnswerSaveOptions(kKindExcel, kOut, L"each_second", false, L"save_options_second_book.png");
  FinishSave();
  KeepPicture(m_hMain, L"page3_two_books_one_each.png");
  rows = SaveRows();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0][1], L"Save Done...");
  EXPECT_EQ(rows[0][3], first);
  EXPECT_EQ(rows[1][1], L"Save Done...");
  EXPECT_EQ(rows[1][3], second);
  EXPECT_EQ(CloseProgram(), 0u);
  KeepForReaders(both, L"both_books.pst");
  KeepForReaders(first, L"each_first.pst");
  KeepForReaders(second, L"each_second.xls");
}

TEST_F(WizardOutputsE2e, ADominoServerGoneAfterItsBooksWereListedFailsTheirRowsOnly) {
  const std::wstring target = Out(L"before_server_gone.csv");
  Remove(target);
  const size_t added = AddDominoBooks(L"Mail01/Acme");
  ASSERT_GT(added, 0u);
  AddBook(kSampleBook);
  ASSERT_TRUE(WaitFor([&] { return Rows() == added + 1; }, 5000));
  // The server goes down now.
  const std::wstring marker = std::wstring(kServersDir) + L"\\Mail01\\server-down";
  std::ofstream(marker.c_str()) << "\n";
  uidriver::Click(Button(0, L"Export"));
  AnswerSaveOptions(kKindCsv, kOut, L"before_server_gone", false, nullptr);
  const std::wstring message = FailedSaveMessage(m_answers->Count(), L"box_server_gone.png");
  ::DeleteFileW(marker.c_str());
  KeepPicture(m_hMain, L"page3_server_gone_rows.png");
  EXPECT_EQ(message.rfind(L"Saving failed , \r\n", 0), 0u) << std::string(message.begin(), message.end());
  auto rows = SaveRows();
  ASSERT_EQ(rows.size(), added + 1);
  EXPECT_EQ(rows[0][1], L"Save Done...");
  EXPECT_EQ(rows[0][3], target);
  for (size_t i = 1; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i][2], L"MAIL01/ACME");
    EXPECT_EQ(rows[i][1].rfind(L"Failed : ", 0), 0u) << std::string(rows[i][1].begin(), rows[i][1].end());
    EXPECT_GT(rows[i][1].size(), 12u) << "the row says why";
  }
  // Nothing lost: the local book's contacts are in its file.
  EXPECT_NE(ReadText(target).find(L"Alice"), std::wstring::npos);
  // Usable: back on the file page with its rows.
  uidriver::Click(Button(2, L"Next"));
  ASSERT_TRUE(WaitFor([&] { return PageShown(0); }, 5000));
  EXPECT_TRUE(m_app.Running());
}

TEST_F(WizardOutputsE2e, ALockedExistingPstIsNamedAndLeftUnchanged) {
  const std::wstring sample = FromBuild(VORLIX_SHARED_DIR "/samples/pst/support.pst");
  if (::GetFileAttributesW(sample.c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "the Outlook-made sample PST files are not in ../shared/samples";
  const std::wstring locked = Out(L"locked.pst");
  Remove(locked);
  ASSERT_TRUE(::CopyFileW(sample.c_str(), locked.c_str(), FALSE));
  // The samples are kept read-only; this copy is to be written once it is free.
  ASSERT_TRUE(::SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL));
  const std::string before = ReadBytes(locked);
  ListOnly({kSampleBook});
  {
    // Another program has the file open and shares nothing.
    HANDLE hLock = ::CreateFileW(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hLock, INVALID_HANDLE_VALUE);
    uidriver::Click(Button(0, L"Export"));
    AnswerSaveOptions(kKindPst, locked, L"", true, nullptr);
    const std::wstring message = FailedSaveMessage(m_answers->Count(), L"box_locked_pst.png");
    ::CloseHandle(hLock);
    EXPECT_EQ(message.rfind(L"Outlook is not installed or no profile exist , \r\n", 0), 0u)
        << std::string(message.begin(), message.end());
    EXPECT_NE(message.find(locked), std::wstring::npos) << "the message names the file";
    KeepPicture(m_hMain, L"page3_locked_pst.png");
    auto rows = SaveRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][1].rfind(L"Failed : ", 0), 0u);
    EXPECT_EQ(ReadBytes(locked), before) << "the locked file changed";
  }
  // Usable: the file free again, the same save goes into it.
  uidriver::Click(Button(2, L"Next"));
  ASSERT_TRUE(WaitFor([&] { return PageShown(0); }, 5000));
  uidriver::Click(Button(0, L"Export"));
  AnswerSaveOptions(kKindPst, locked, L"", true, nullptr);
  FinishSave();
  EXPECT_EQ(SaveRows()[0][1], L"Save Done...");
  EXPECT_EQ(CloseProgram(), 0u);
  EXPECT_GT(ReadBytes(locked).size(), before.size());
  KeepForReaders(locked, L"unlocked_then_added.pst");
}

// A target marked read-only is refused before anything is written (Wine would write
// through the mark): the message and the file's row name it, the file keeps its bytes, and
// the program goes on to save once the mark is gone.
TEST_F(WizardOutputsE2e, AReadOnlyTargetIsRefusedNamedAndLeftUnchanged) {
  const std::wstring sample = FromBuild(VORLIX_SHARED_DIR "/samples/pst/support.pst");
  const bool bSample = ::GetFileAttributesW(sample.c_str()) != INVALID_FILE_ATTRIBUTES;
  struct Case {
    int kind;
    const wchar_t* file;  // in the output folder
    bool existingPst;     // added to as an existing PST (else replaced by a new file)
    const wchar_t* head;  // how the message starts
    const wchar_t* picture;
  } cases[] = {
      // Added to: the store must not be touched.
      {kKindPst, L"ro_existing.pst", true, L"Outlook is not installed or no profile exist , \r\n",
       L"box_read_only_existing_pst.png"},
      // A text file is replaced when it exists (the other kinds refuse an existing name).
      {kKindCsv, L"ro_book.csv", false, L"Saving failed , \r\n", L"box_read_only_csv.png"},
  };
  ListOnly({kSampleBook});
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file, c.file + wcslen(c.file)));
    if (c.existingPst && !bSample) continue;
    const std::wstring target = Out(c.file);
    Remove(target);
    if (c.existingPst)
      ASSERT_TRUE(::CopyFileW(sample.c_str(), target.c_str(), FALSE));
    else
      std::ofstream(target.c_str(), std::ios::binary) << "an earlier file that must stay as it is\n";
    ASSERT_TRUE(::SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string before = ReadBytes(target);
    uidriver::Click(Button(0, L"Export"));
    std::wstring name = c.file;
    name = name.substr(0, name.rfind(L'.'));
    AnswerSaveOptions(c.kind, c.existingPst ? target : std::wstring(kOut), name, c.existingPst, nullptr);
    const std::wstring message = FailedSaveMessage(m_answers->Count(), c.picture);
    EXPECT_EQ(message.rfind(c.head, 0), 0u) << std::string(message.begin(), message.end());
    EXPECT_NE(message.find(target), std::wstring::npos) << "the message names the file";
    EXPECT_NE(message.find(L"read-only"), std::wstring::npos) << std::string(message.begin(), message.end());
    auto rows = SaveRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][1].rfind(L"Failed : ", 0), 0u);
    EXPECT_NE(rows[0][1].find(L"read-only"), std::wstring::npos) << "the row says why";
    KeepPicture(m_hMain, L"page3_read_only_target.png");
    EXPECT_EQ(ReadBytes(target), before) << "the read-only file changed";
    EXPECT_NE(::GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    uidriver::Click(Button(2, L"Next"));
    ASSERT_TRUE(WaitFor([&] { return PageShown(0); }, 5000));
  }
  // Usable: the mark taken off, the same text file is written.
  const std::wstring csv = Out(L"ro_book.csv");
  ASSERT_TRUE(::SetFileAttributesW(csv.c_str(), FILE_ATTRIBUTE_NORMAL));
  uidriver::Click(Button(0, L"Export"));
  AnswerSaveOptions(kKindCsv, kOut, L"ro_book", false, nullptr);
  FinishSave();
  EXPECT_EQ(SaveRows()[0][1], L"Save Done...");
  EXPECT_NE(ReadText(csv).find(L"Alice"), std::wstring::npos);
  EXPECT_EQ(CloseProgram(), 0u);
}

namespace {

// What the system says when it refuses a write in a folder: a scratch file there grown
// until a write fails (or past `most` bytes, when nothing refuses), then removed.
struct RefusedWrite {
  DWORD code = ERROR_SUCCESS;
  std::wstring reason;  // the system's message for the code
};
RefusedWrite WriteUntilRefused(const std::wstring& dir, ULONGLONG most) {
  RefusedWrite refused;
  const std::wstring scratch = dir + L"\\refused-write.tmp";
  HANDLE h = ::CreateFileW(scratch.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return refused;
  const std::string chunk(64 * 1024, 'x');
  for (ULONGLONG written = 0; written < most;) {
    DWORD n = 0;
    if (!::WriteFile(h, chunk.data(), DWORD(chunk.size()), &n, nullptr)) {
      refused.code = ::GetLastError();
      break;
    }
    if (n == 0) break;
    written += n;
  }
  ::CloseHandle(h);
  ::DeleteFileW(scratch.c_str());
  wchar_t text[512] = {};
  if (refused.code != ERROR_SUCCESS &&
      ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, refused.code, 0, text,
                       _countof(text), nullptr)) {
    refused.reason = text;
    while (!refused.reason.empty() && iswspace(refused.reason.back())) refused.reason.pop_back();
  }
  return refused;
}

std::string Narrow(const std::wstring& text) {
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size_t(n > 0 ? n : 0), '\0');
  if (n > 0) ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

}  // namespace

// A disk that fills up during the save, made one of two ways by the ctest wrapper
// (tests/e2e/full_disk.sh): a small file system mounted at E2E_FULL_DISK_DIR, or a file
// size limit on the processes (VORLIX_E2E_FILE_SIZE_LIMIT gives it in bytes), so that the
// system refuses a write in the middle of the save. The message and the row give the
// system's own reason, the book is untouched, no row says a file was saved, and the PST is
// left as its last complete save made it: kept in build/artifacts/wizard_run as
// full_disk_partial.pst for the wrapper's readers.
TEST_F(WizardOutputsE2e, AFullDiskDuringTheSaveIsReportedAndTheBookKeptIntact) {
  const std::wstring dir = FromBuild(E2E_FULL_DISK_DIR);
  const char* limitText = std::getenv("VORLIX_E2E_FILE_SIZE_LIMIT");
  const ULONGLONG limit = limitText ? _strtoui64(limitText, nullptr, 10) : 0;
  ULARGE_INTEGER freeBytes{}, totalBytes{};
  const bool bSmallDisk = ::GetDiskFreeSpaceExW((dir + L"\\").c_str(), &freeBytes, &totalBytes, nullptr) &&
                          totalBytes.QuadPart <= 64ull << 20;
  if (!bSmallDisk && !limit)
    GTEST_SKIP() << "no small file system at " << E2E_FULL_DISK_DIR
                 << " and no file size limit (tests/e2e/full_disk.sh makes one or the other)";
  const std::wstring pst = dir + L"\\full.pst";
  Remove(pst);
  // The reason the system gives here for a write it refuses.
  const RefusedWrite refused = WriteUntilRefused(dir, (bSmallDisk ? totalBytes.QuadPart : limit) + (8u << 20));
  ASSERT_NE(refused.code, DWORD(ERROR_SUCCESS)) << "nothing refused a write in " << Narrow(dir);
  ASSERT_FALSE(refused.reason.empty()) << "no text for system error " << refused.code;
  if (bSmallDisk) {
    EXPECT_TRUE(refused.code == ERROR_DISK_FULL || refused.code == ERROR_HANDLE_DISK_FULL)
        << "a full disk refused a write with system error " << refused.code;
  }
  const std::wstring book = L"C:\\books\\big names.nsf";
  ASSERT_TRUE(::CopyFileW(FromBuild(E2E_BOOK_5000).c_str(), book.c_str(), FALSE));
  ::DeleteFileW((book + L".slow-read").c_str());
  const std::string bookBefore = ReadBytes(book);
  ListOnly({book});
  uidriver::Click(Button(0, L"Export"));
  AnswerSaveOptions(kKindPst, dir, L"full", false, L"save_options_full_disk.png");
  // The pictures of each way apart.
  const std::wstring way = bSmallDisk ? L"full_disk" : L"file_size_limit";
  const std::wstring message = FailedSaveMessage(m_answers->Count(), (L"box_" + way + L".png").c_str());
  KeepPicture(m_hMain, (L"page3_" + way + L".png").c_str());
  const std::string said = Narrow(message);
  // The failure names the store the disk could not take, and why.
  EXPECT_EQ(message.rfind(L"Saving failed , \r\n", 0), 0u) << said;
  EXPECT_NE(message.find(L"Cannot write to"), std::wstring::npos) << said;
  EXPECT_NE(message.find(L"full.pst"), std::wstring::npos) << said;
  EXPECT_NE(message.find(refused.reason), std::wstring::npos) << said << "\nnot the system's reason: "
                                                               << Narrow(refused.reason);
  auto rows = SaveRows();
  ASSERT_EQ(rows.size(), 1u);
  const std::string row = Narrow(rows[0][1]);
  EXPECT_EQ(rows[0][1].rfind(L"Failed : ", 0), 0u) << row;
  EXPECT_NE(rows[0][1].find(L"Cannot write to"), std::wstring::npos) << "the row says why: " << row;
  EXPECT_NE(rows[0][1].find(refused.reason), std::wstring::npos) << "the row gives the system's reason: " << row;
  EXPECT_TRUE(ReadBytes(book) == bookBefore) << "the book changed";
  // What was saved stays readable: the file goes to the readers (the wrapper runs them).
  EXPECT_GT(FileSize(pst), 0) << "the PST is gone";
  KeepForReaders(pst, L"full_disk_partial.pst");
  // Usable: the program goes on to a save elsewhere.
  Remove(pst);
  uidriver::Click(Button(2, L"Next"));
  ASSERT_TRUE(WaitFor([&] { return PageShown(0); }, 5000));
  EXPECT_TRUE(m_app.Running());
  EXPECT_EQ(CloseProgram(), 0u);
}
