// The whole road from a Notes address book to a sheet and a text file: the fixture book is
// opened with the reader's scan, and two folders are exported by the frame's save loop, one
// writer per folder, committed and destroyed after each. The workbook is left in
// build/artifacts/xls for the Linux-side readers.
#include "spreadsheet_support.h"

#include "ContactRecord.h"
#include "MainFrame.h"

using namespace sheettest;

namespace {

CString FixtureBook() {
  CString path = CString(L"Z:") + CString(VORLIX_SOURCE_DIR) + L"/tests/fixtures/notes/names.nsf";
  path.Replace(L'/', L'\\');
  return path;
}

// "Friends" holds Alice and bob; "Work\Clients" holds two contacts and a meeting, which
// is no contact and writes no row.
const wchar_t* const kFolders[] = {L"Friends\\", L"Work\\Clients\\"};
const Table kNames = {{L"Alice", L"Example"}, {L"bob", L"Builder"}, {L"J\u00FCrgen", L"M\u00FCller"},
                      {L"Located", L"Contact"}};

class SpreadsheetExport : public ::testing::Test {
 protected:
  void SetUp() override {
    CNotesReader& reader = frame.m_Reader;
    ASSERT_TRUE(reader.InitSession()) << reader.GetLastError().GetString();
    CStringArray paths;
    ASSERT_TRUE(reader.OpenAndScan(FixtureBook(), L"", &paths, TRUE)) << reader.GetLastError().GetString();
    for (const wchar_t* folder : kFolders) frame.m_arrChosenFolders.Add(folder);
  }
  void TearDown() override { frame.m_Reader.Close(); }

  void Export(const fs::path& file, int nOutputKind) {
    (void)nOutputKind;
    EXPECT_TRUE(frame.ExportFoldersToSheet(PathText(file)))
        << frame.m_Reader.GetLastError().GetString();
  }

  CMainFrame frame;
};

}  // namespace

TEST_F(SpreadsheetExport, TwoFoldersToOneSheetAndOneTextFile) {
  const fs::path dir = ScratchDir();
  Export(dir / L"book.xls", CMainFrame::kOutputExcel);
  Export(dir / L"book.csv", CMainFrame::kOutputCsv);

  const Table sheet = SheetCells(dir / L"book.xls", L"Contacts");
  ASSERT_EQ(sheet.size(), kNames.size() + 1);
  EXPECT_EQ(sheet[0], ContactColumns()) << "the header row holds the record's field names";
  for (size_t i = 0; i < kNames.size(); ++i) {
    EXPECT_EQ(sheet[i + 1][CContactRecord::kFirstName], kNames[i][0]) << i;
    EXPECT_EQ(sheet[i + 1][8], kNames[i][1]) << i;  // LastName
  }

  // The text file: the same rows without the header row, cells as they are. A value with a
  // line break (Alice's list of two attachments) stays inside its quoted cell.
  std::wstring text;
  for (size_t r = 1; r < sheet.size(); ++r) {
    for (size_t c = 0; c < sheet[r].size(); ++c) text += (c ? L",\"" : L"\"") + sheet[r][c] + L"\"";
    text += L"\r\n";
  }
  EXPECT_NE(sheet[1][CContactRecord::kAttachmentSlot].find(L'\n'), std::wstring::npos);
  EXPECT_EQ(FileBytes(dir / L"book.csv"), Utf16(text));

  // The Linux-side readers must find in the workbook what our own reader found.
  fs::copy_file(dir / L"book.xls", ArtifactDir() / L"notes-export.xls", fs::copy_options::overwrite_existing);
  WriteExpectation(ArtifactDir() / L"notes-export.xls.json", L"Contacts", sheet);
}
