// Contacts of two Notes folders saved the way the save loop does it (one writer per
// folder: rows added, committed, writer destroyed) into one workbook sheet, one text file,
// and a sheet added to Excel-made workbooks. The files are left in build/artifacts/xls,
// each with the values it was given, for the Linux-side readers (tests/linux/xls_e2e.cmake).
#include "spreadsheet_support.h"

using namespace sheettest;

namespace {

// Saves each folder's contacts with a writer of its own; returns every row the target
// should end up with (the header row first in a workbook).
Table SaveFolders(const fs::path& file, const wchar_t* secondText, const std::vector<Table>& folders) {
  const Row names = ContactColumns();
  Table expected;
  if (file.extension() == L".xls") expected.push_back(names);
  for (const Table& folder : folders) {
    CSpreadsheetWriter writer(PathText(file), secondText, false);
    for (const Row& contact : folder) WriteContact(writer, names, contact);
    EXPECT_TRUE(writer.Commit()) << writer.GetLastError().GetString();
    expected.insert(expected.end(), folder.begin(), folder.end());
  }
  return expected;
}

const std::vector<Table> kFolders = {Contacts(1, 40), Contacts(41, 25)};

}  // namespace

TEST(SpreadsheetContacts, TwoFoldersIntoOneSheet) {
  const fs::path file = ArtifactDir() / L"contacts.xls";
  fs::remove(file);
  const Table expected = SaveFolders(file, L"Contacts", kFolders);
  ASSERT_EQ(expected.size(), 66u);
  EXPECT_EQ(SheetNames(file), std::vector<std::wstring>{L"Contacts"});
  EXPECT_EQ(SheetCells(file, L"Contacts"), expected);
  // A later writer reads the same table back.
  CSpreadsheetWriter reader(PathText(file), L"Contacts", false);
  EXPECT_EQ(ReadAll(reader), expected);
  WriteExpectation(ArtifactDir() / L"contacts.xls.json", L"Contacts", expected);
}

TEST(SpreadsheetContacts, TwoFoldersIntoOneTextFile) {
  const fs::path file = ArtifactDir() / L"contacts.csv";
  fs::remove(file);
  const Table expected = SaveFolders(file, L",", kFolders);
  // One line per contact and no header line: cells in double quotes joined by ",", CR LF,
  // UTF-16 little-endian without a byte-order mark.
  std::wstring text;
  for (const Row& row : expected) {
    for (size_t c = 0; c < row.size(); ++c) text += (c ? L",\"" : L"\"") + row[c] + L"\"";
    text += L"\r\n";
  }
  EXPECT_EQ(FileBytes(file), Utf16(text));
  WriteExpectation(ArtifactDir() / L"contacts.csv.json", L"", expected);
}

// A sheet added to a workbook Excel made; its own sheets stay as they were.
TEST(SpreadsheetContacts, ExcelMadeWorkbookGetsAContactsSheet) {
  for (const wchar_t* sample : {L"Test97.xls", L"Test97J.xls"}) {
    const fs::path original = fs::path(L"Z:" + std::wstring(CString(VORLIX_SHARED_DIR).GetString())) /
                              L"samples" / L"xls" / sample;
    if (!fs::exists(original)) GTEST_SKIP() << "no Excel-made sample " << original.string() << ": skipped";
    const fs::path file = ArtifactDir() / (L"contacts-" + original.stem().wstring() + L".xls");
    // The samples are read-only; so is a copy, until it is made writable.
    if (fs::exists(file)) {
      fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
      fs::remove(file);
    }
    fs::copy_file(original, file);
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
    std::vector<std::wstring> sheets = SheetNames(original);
    std::vector<Table> before;
    for (const std::wstring& sheet : sheets) before.push_back(SheetCells(original, sheet));

    const Table expected = SaveFolders(file, L"Contacts", {Contacts(1, 10), Contacts(11, 5)});

    sheets.push_back(L"Contacts");
    EXPECT_EQ(SheetNames(file), sheets);
    for (size_t i = 0; i + 1 < sheets.size(); ++i) EXPECT_EQ(SheetCells(file, sheets[i]), before[i]) << i;
    EXPECT_EQ(SheetCells(file, L"Contacts"), expected);
    WriteExpectation(file.wstring() + L".json", L"Contacts", expected);
  }
}
