// The spreadsheet writer's rules: which target a path selects, the statements a workbook
// gets, the rows held in memory, how lines are cut into cells, the text file's bytes, and
// what happens when the target can't be reached.
#include "spreadsheet_support.h"

using namespace sheettest;

namespace {

const Row kAb = {L"a", L"b"};

// A workbook writer on a new file with header a, b.
struct NewWorkbook {
  fs::path file = ScratchDir() / L"book.xls";
  DriverRecorder driver;
  CSpreadsheetWriter writer{PathText(file), L"Contacts", false};
  NewWorkbook() {
    CStringArray header = Array(kAb);
    EXPECT_TRUE(writer.AddHeaders(header, false)) << writer.GetLastError().GetString();
  }
  void Add(const Row& cells, long row = 0, bool replace = false) {
    CStringArray array = Array(cells);
    EXPECT_TRUE(writer.AddRow(array, row, replace)) << writer.GetLastError().GetString();
  }
};

// A text file holding these bytes, opened by a writer with separator ",".
struct TextFile {
  fs::path file;
  std::unique_ptr<CSpreadsheetWriter> writer;
  explicit TextFile(const std::wstring& content, const wchar_t* separator = L",", const wchar_t* name = L"t.csv") {
    file = ScratchDir() / name;
    WriteBytes(file, Utf16(content));
    writer = std::make_unique<CSpreadsheetWriter>(PathText(file), separator, false);
  }
};

}  // namespace

TEST(SpreadsheetPath, LastFourCharactersSelectTheTarget) {
  struct Case {
    const wchar_t* name;
    bool workbook;
  } cases[] = {{L"a.xls", true},  {L"b.XLS", true},  {L"c.XlS", true},   {L"d.csv", false},
               {L"e.txt", false}, {L"f.xlsx", false}, {L"xls", false},    {L"g.xls.csv", false}};
  const fs::path dir = ScratchDir();
  for (const Case& c : cases) {
    DriverRecorder driver;
    CSpreadsheetWriter writer(PathText(dir / c.name), L",", false);
    // A workbook writer connects to read the sheet; a text writer opens the (missing) file.
    EXPECT_EQ(driver.connections.size(), c.workbook ? 1u : 0u) << c.name;
    if (!c.workbook) {
      EXPECT_EQ(writer.GetLastError(), L"Error in opening file\n") << c.name;
    }
  }
}

TEST(SpreadsheetWorkbook, ConnectsWithTheInstalledExcelDriver) {
  const fs::path file = ScratchDir() / L"Adre\u00DFen; 1.xls";
  DriverRecorder driver;
  CSpreadsheetWriter writer(PathText(file), L"Contacts", false);
  ASSERT_EQ(driver.connections.size(), 1u)
      << "no installed ODBC driver named Excel: was the install step (scripts/wine-prefix.sh) run?";
  const std::wstring path = file.wstring();
  EXPECT_EQ(driver.connections[0], std::wstring(L"DRIVER={") + kExcelDriverDescription +
                                       L"};DSN='';FIRSTROWHASNAMES=1;READONLY=FALSE;CREATE_DB=\"" + path +
                                       L"\";DBQ=" + path);
  EXPECT_EQ(driver.statements, (std::vector<std::wstring>{L"SELECT * FROM [Contacts$A1:IV65536]"}));
  // A missing sheet is no error, and reading creates no file.
  EXPECT_EQ(writer.GetLastError(), L"");
  EXPECT_FALSE(fs::exists(file));
}

TEST(SpreadsheetWorkbook, StatementsOfFirstAndLaterCommits) {
  NewWorkbook book;
  book.Add({L"1", L"2"});
  book.Add({L"3", L"4"});
  // Rows wait in memory: adding them runs no statement.
  EXPECT_EQ(book.driver.statements.size(), 1u);

  const size_t before = book.driver.statements.size();
  ASSERT_TRUE(book.writer.Commit()) << book.writer.GetLastError().GetString();
  EXPECT_EQ(book.driver.Since(before),
            (std::vector<std::wstring>{L"CREATE TABLE [Contacts] ([a] char(255), [b] char(255))",
                                       L"INSERT INTO [Contacts$A1:IV1] ([a], [b]) VALUES ('1', '2')",
                                       L"INSERT INTO [Contacts$A1:IV2] ([a], [b]) VALUES ('3', '4')"}));

  const size_t second = book.driver.statements.size();
  ASSERT_TRUE(book.writer.Commit()) << book.writer.GetLastError().GetString();
  EXPECT_EQ(book.driver.Since(second),
            (std::vector<std::wstring>{L"DROP TABLE [Contacts$A1:IV65536]",
                                       L"CREATE TABLE [Contacts$A1:IV65536] ([a] char(255), [b] char(255))",
                                       L"INSERT INTO [Contacts$A1:IV1] ([a], [b]) VALUES ('1', '2')",
                                       L"INSERT INTO [Contacts$A1:IV2] ([a], [b]) VALUES ('3', '4')"}));
  EXPECT_EQ(SheetCells(book.file, L"Contacts"), (Table{kAb, {L"1", L"2"}, {L"3", L"4"}}));
}

TEST(SpreadsheetWorkbook, FirstDataRowNeedsHeaderRow) {
  DriverRecorder driver;
  CSpreadsheetWriter writer(PathText(ScratchDir() / L"new.xls"), L"Contacts", false);
  CStringArray row = Array({L"1"});
  EXPECT_FALSE(writer.AddRow(row, 0, false));
  EXPECT_EQ(writer.GetLastError(), L"No header row. Add header row first");
  // Nothing to write either: the sheet would have no columns.
  EXPECT_FALSE(writer.Commit());
  EXPECT_EQ(writer.GetLastError(), L"No header row. Add header row first");
  EXPECT_EQ(driver.statements.size(), 1u);
}

TEST(SpreadsheetWorkbook, ApostrophesAreDoubledInLiterals) {
  NewWorkbook book;
  book.Add({L"O'Brien", L"''"});
  book.Add({L"after", L"it'"});
  ASSERT_TRUE(book.writer.Commit()) << book.writer.GetLastError().GetString();
  EXPECT_EQ(book.driver.statements[2], L"INSERT INTO [Contacts$A1:IV1] ([a], [b]) VALUES ('O''Brien', '''''')");
  EXPECT_EQ(SheetCells(book.file, L"Contacts"), (Table{kAb, {L"O'Brien", L"''"}, {L"after", L"it'"}}));
}

TEST(SpreadsheetWorkbook, RowBeyondTheTableGetsFillerRows) {
  NewWorkbook book;
  book.Add({L"1", L"2"});
  book.Add({L"5", L"5"}, 5);  // a table of 2 rows: rows 3 and 4 are fillers
  Table expected = {kAb, {L"1", L"2"}, {L" ", L" "}, {L" ", L" "}, {L"5", L"5"}};
  EXPECT_EQ(ReadAll(book.writer), expected);
  CStringArray cells;
  EXPECT_FALSE(book.writer.ReadRow(cells, 6));
  ASSERT_TRUE(book.writer.Commit()) << book.writer.GetLastError().GetString();
  EXPECT_EQ(book.driver.statements.back(), L"INSERT INTO [Contacts$A1:IV4] ([a], [b]) VALUES ('5', '5')");
  EXPECT_EQ(SheetCells(book.file, L"Contacts"), expected);
}

TEST(SpreadsheetWorkbook, InsertAndReplaceRows) {
  NewWorkbook book;
  book.Add({L"1", L"1"});
  book.Add({L"2", L"2"});
  book.Add({L"0", L"0"}, 2);        // inserted before row 2
  book.Add({L"x", L"x"}, 4, true);  // replaces row 4
  book.Add({L"h", L"i"}, 1, true);  // a new header row of the same width
  EXPECT_EQ(ReadAll(book.writer), (Table{{L"h", L"i"}, {L"0", L"0"}, {L"1", L"1"}, {L"x", L"x"}}));
  ASSERT_TRUE(book.writer.Commit()) << book.writer.GetLastError().GetString();
  EXPECT_EQ(SheetCells(book.file, L"Contacts"), (Table{{L"h", L"i"}, {L"0", L"0"}, {L"1", L"1"}, {L"x", L"x"}}));
}

TEST(SpreadsheetWorkbook, RefusedRowsAndHeaders) {
  struct Case {
    Row cells;
    long row;
    const wchar_t* error;
  } cases[] = {
      {{L"1", L"2", L"3"}, 0, L"Number of columns to be added cannot be greater than the number of fields\n"},
      {{L"x", L"y", L"x"}, 1, L"Duplicate header row field:x\n"},
      {{L"only"}, 1,
       L"Number of columns in new header row cannot be less than the number of columns in previous header row"},
      {{L"1"}, -1, L"Row number cannot be negative\n"},
  };
  for (const Case& c : cases) {
    NewWorkbook book;
    CStringArray cells = Array(c.cells);
    EXPECT_FALSE(book.writer.AddRow(cells, c.row, false));
    EXPECT_EQ(book.writer.GetLastError(), c.error);
    EXPECT_EQ(ReadAll(book.writer), (Table{kAb})) << "a refused row changes nothing";
  }
}

TEST(SpreadsheetWorkbook, HeadersAppendedToAnExistingTable) {
  const fs::path file = ScratchDir() / L"grow.xls";
  {
    CSpreadsheetWriter writer(PathText(file), L"Contacts", false);
    CStringArray header = Array(kAb);
    ASSERT_TRUE(writer.AddHeaders(header, false));
    ASSERT_TRUE(writer.Commit()) << writer.GetLastError().GetString();
  }
  CSpreadsheetWriter writer(PathText(file), L"Contacts", false);
  CStringArray taken = Array({L"c", L"b"});
  EXPECT_FALSE(writer.AddHeaders(taken, false));
  EXPECT_EQ(writer.GetLastError(), L"Duplicate header row field:b\n");
  CStringArray more = Array({L"c", L"d"});
  ASSERT_TRUE(writer.AddHeaders(more, false)) << writer.GetLastError().GetString();
  CStringArray row = Array({L"1", L"2", L"3", L"4"});
  ASSERT_TRUE(writer.AddRow(row, 0, false)) << writer.GetLastError().GetString();
  ASSERT_TRUE(writer.Commit()) << writer.GetLastError().GetString();
  EXPECT_EQ(SheetCells(file, L"Contacts"), (Table{{L"a", L"b", L"c", L"d"}, {L"1", L"2", L"3", L"4"}}));
}

TEST(SpreadsheetWorkbook, SecondWriterContinuesTheSheet) {
  const fs::path file = ScratchDir() / L"two.xls";
  for (int folder = 0; folder < 2; ++folder) {
    CSpreadsheetWriter writer(PathText(file), L"Contacts", false);
    WriteContact(writer, kAb, {L"f" + std::to_wstring(folder), L"'"});
    ASSERT_TRUE(writer.Commit()) << writer.GetLastError().GetString();
  }
  EXPECT_EQ(SheetCells(file, L"Contacts"), (Table{kAb, {L"f0", L"'"}, {L"f1", L"'"}}));
}

// A sheet holds 65,535 rows below its header: one more must fail the commit, and before
// the sheet's table is dropped.
TEST(SpreadsheetWorkbook, RowsBeyondTheSheetFailTheCommitUntouched) {
  for (int rows : {65535, 65536}) {
    NewWorkbook book;
    book.Add({L"keep", L"me"});
    ASSERT_TRUE(book.writer.Commit());
    const std::string before = FileBytes(book.file);
    CStringArray row = Array({L"r", L"s"});
    for (int i = 1; i < rows; ++i) book.writer.AddRow(row, 0, false);
    const size_t statements = book.driver.statements.size();
    const bool ok = book.writer.Commit();
    if (rows == 65535) {
      EXPECT_TRUE(ok) << book.writer.GetLastError().GetString();
      EXPECT_EQ(SheetCells(book.file, L"Contacts").size(), 65536u);
    } else {
      EXPECT_FALSE(ok);
      EXPECT_EQ(book.writer.GetLastError(),
                L"Too many rows for one sheet: 65536 rows below the header row, a sheet holds at most 65535\n");
      EXPECT_EQ(book.driver.statements.size(), statements) << "no statement may run";
      EXPECT_EQ(FileBytes(book.file), before);
    }
  }
}

TEST(SpreadsheetWorkbook, TablesASheetCannotHoldAreRefusedBeforeTheDrop) {
  struct Case {
    Row header;
    Row cells;
    const wchar_t* error;
  } cases[] = {
      {{L"a", L"A"}, {L"1", L"2"}, L"Duplicate header row field:A\n"},
      {{L"a", L"b]"}, {L"1", L"2"}, L"Header row field cannot be a column name:b]\n"},
      {{L"a", L""}, {L"1", L"2"}, L"Header row field cannot be a column name:\n"},
      {{L"a", L"b"}, {L"1", std::wstring(32768, L'z')}, L"Row 2 has a cell of more than 32767 characters\n"},
      // The cell holds the writer's own cell separator: read back, the row has 3 cells.
      {{L"a", L"b"}, {L"1", L"x\",;.?\"y"}, L"Row 2 has more cells than the header row has fields\n"},
  };
  for (const Case& c : cases) {
    NewWorkbook book;
    book.Add({L"keep", L"me"});
    ASSERT_TRUE(book.writer.Commit());
    const std::string before = FileBytes(book.file);
    CStringArray header = Array(c.header);
    ASSERT_TRUE(book.writer.AddRow(header, 1, true)) << book.writer.GetLastError().GetString();
    CStringArray cells = Array(c.cells);
    ASSERT_TRUE(book.writer.AddRow(cells, 2, true)) << book.writer.GetLastError().GetString();
    const size_t statements = book.driver.statements.size();
    EXPECT_FALSE(book.writer.Commit());
    EXPECT_EQ(book.writer.GetLastError(), c.error);
    EXPECT_EQ(book.driver.statements.size(), statements);
    EXPECT_EQ(FileBytes(book.file), before);
  }
}

TEST(SpreadsheetWorkbook, BackupSheetHoldsWhatTheSheetHeld) {
  const fs::path file = ScratchDir() / L"backup.xls";
  {
    CSpreadsheetWriter writer(PathText(file), L"Contacts", false);
    WriteContact(writer, kAb, {L"1", L"2"});
    ASSERT_TRUE(writer.Commit());
  }
  CSpreadsheetWriter writer(PathText(file), L"Contacts", true);
  EXPECT_EQ(SheetNames(file), (std::vector<std::wstring>{L"Contacts", L"CSpreadSheetBackup"}));
  EXPECT_EQ(SheetCells(file, L"CSpreadSheetBackup"), (Table{kAb, {L"1", L"2"}}));
  // The writer goes on with the real sheet.
  WriteContact(writer, kAb, {L"3", L"4"});
  ASSERT_TRUE(writer.Commit()) << writer.GetLastError().GetString();
  EXPECT_EQ(SheetCells(file, L"Contacts"), (Table{kAb, {L"1", L"2"}, {L"3", L"4"}}));
}

// ---------------------------------------------------------------------------------------
// Targets that can't be reached fail the operation with the driver's text.

TEST(SpreadsheetWorkbook, DamagedWorkbookFailsWithTheDriversText) {
  const fs::path file = ScratchDir() / L"damaged.xls";
  const std::string garbage = "this is not a workbook at all, just text with a .xls name";
  WriteBytes(file, garbage);
  CSpreadsheetWriter writer(PathText(file), L"Contacts", true);
  EXPECT_NE(writer.GetLastError().Find(L"not in the expected format"), -1) << writer.GetLastError().GetString();
  WriteContact(writer, kAb, {L"1", L"2"});
  EXPECT_FALSE(writer.Commit());
  EXPECT_NE(writer.GetLastError().Find(L"not in the expected format"), -1) << writer.GetLastError().GetString();
  EXPECT_EQ(FileBytes(file), garbage);
}

// A workbook another program holds open, or one that is read-only: the commit fails with
// the driver's text and the file stays as it was.
TEST(SpreadsheetWorkbook, WorkbookThatIsLockedOrReadOnlyStaysAsItWas) {
  struct Case {
    bool lock;
    const wchar_t* opened;     // in the last error after the constructor
    const wchar_t* committed;  // in the last error after Commit
  } cases[] = {{true, L"locked by another program", L"locked by another program"},
               {false, nullptr, L"read-only"}};
  for (const Case& c : cases) {
    const fs::path file = ScratchDir() / L"locked.xls";
    {
      CSpreadsheetWriter writer(PathText(file), L"Contacts", false);
      WriteContact(writer, kAb, {L"1", L"2"});
      ASSERT_TRUE(writer.Commit());
    }
    const std::string before = FileBytes(file);
    HANDLE lock = INVALID_HANDLE_VALUE;
    if (c.lock) {
      lock = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    } else {
      fs::permissions(file, fs::perms::owner_write, fs::perm_options::remove);
    }
    {
      CSpreadsheetWriter writer(PathText(file), L"Contacts", false);
      if (c.opened) {
        EXPECT_NE(writer.GetLastError().Find(c.opened), -1) << writer.GetLastError().GetString();
      }
      WriteContact(writer, kAb, {L"3", L"4"});
      EXPECT_FALSE(writer.Commit());
      EXPECT_NE(writer.GetLastError().Find(c.committed), -1) << writer.GetLastError().GetString();
    }
    if (lock != INVALID_HANDLE_VALUE) ::CloseHandle(lock);
    EXPECT_EQ(FileBytes(file), before);
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
  }
}

TEST(SpreadsheetWorkbook, WorkbookThatCannotBeWrittenFailsTheCommit) {
  // A folder of the workbook's name: the new file can't replace it.
  const fs::path dir = ScratchDir();
  const fs::path file = dir / L"missing-folder" / L"book.xls";
  CSpreadsheetWriter writer(PathText(file), L"Contacts", false);
  WriteContact(writer, kAb, {L"1", L"2"});
  EXPECT_FALSE(writer.Commit());
  EXPECT_NE(writer.GetLastError().Find(L"Cannot write the workbook"), -1) << writer.GetLastError().GetString();
}

TEST(SpreadsheetDriverList, FirstDescriptionContainingExcelIsTaken) {
  InstalledDrivers installed({L"SQLite3 ODBC Driver", L"Excel Files A", L"Excel Files B (*.xls)"});
  DriverRecorder driver;
  const fs::path file = ScratchDir() / L"pick.xls";
  CSpreadsheetWriter writer(PathText(file), L"Contacts", false);
  ASSERT_EQ(driver.connections.size(), 1u);
  EXPECT_EQ(driver.connections[0].rfind(L"DRIVER={Excel Files A};DSN='';", 0), 0u) << driver.connections[0];
}

// Without a driver whose description contains "Excel" (the test is case-sensitive), or
// without any list, the driver name is empty: the connection goes to the ODBC driver
// manager, which has no driver of that name. Every workbook operation fails; none throws.
TEST(SpreadsheetDriverList, NoExcelDriverFailsEveryWorkbookOperation) {
  struct Case {
    std::vector<const wchar_t*> descriptions;
    bool noList;
  } cases[] = {{{L"SQLite3 ODBC Driver", L"lower-case excel driver"}, false}, {{}, true}};
  for (const Case& c : cases) {
    InstalledDrivers installed(c.descriptions, c.noList);
    DriverRecorder driver;
    const fs::path file = ScratchDir() / L"none.xls";
    CSpreadsheetWriter writer(PathText(file), L"Contacts", false);
    const CString opened = writer.GetLastError();
    EXPECT_FALSE(opened.IsEmpty());
    WriteContact(writer, kAb, {L"1", L"2"});
    EXPECT_FALSE(writer.Commit());
    EXPECT_FALSE(writer.GetLastError().IsEmpty());
    EXPECT_TRUE(driver.connections.empty());
    EXPECT_FALSE(fs::exists(file));
  }
}

// ---------------------------------------------------------------------------------------
// Text files.

TEST(SpreadsheetText, RowsWithoutHeaderAreWrittenQuotedWithCrLfInUtf16) {
  const fs::path file = ScratchDir() / L"out.csv";
  CSpreadsheetWriter writer(PathText(file), L",", false);
  CStringArray row = Array({L"a", L"b", L"c"});
  ASSERT_TRUE(writer.AddRow(row, 0, false));
  CStringArray second = Array({L"\u00E9\u6F22", L"O'Brien", L"x\"y"});
  ASSERT_TRUE(writer.AddRow(second, 0, false));
  EXPECT_FALSE(fs::exists(file)) << "rows wait for Commit";
  ASSERT_TRUE(writer.Commit()) << writer.GetLastError().GetString();
  EXPECT_EQ(FileBytes(file), Utf16(L"\"a\",\"b\",\"c\"\r\n\"\u00E9\u6F22\",\"O'Brien\",\"x\"y\"\r\n"));
  const std::string head = FileBytes(file).substr(0, 4);
  EXPECT_EQ(head, std::string("\"\0a\0", 4)) << "no byte-order mark";
}

TEST(SpreadsheetText, FillerRowsAndSeparatorFromTheCaller) {
  const fs::path file = ScratchDir() / L"semi.txt";
  CSpreadsheetWriter writer(PathText(file), L";", false);
  CStringArray row = Array({L"1", L"2"});
  ASSERT_TRUE(writer.AddRow(row, 0, false));
  ASSERT_TRUE(writer.AddRow(row, 4, false));
  ASSERT_TRUE(writer.Commit());
  EXPECT_EQ(FileBytes(file), Utf16(L"\"1\";\"2\"\r\n\"\";\"\"\r\n\"\";\"\"\r\n\"1\";\"2\"\r\n"));
}

TEST(SpreadsheetText, ExistingLinesAreKeptAndExtended) {
  TextFile text(L"\"a\",\"b\"\r\n\"c\",\"d\"\r\n");
  CStringArray row = Array({L"e", L"f"});
  ASSERT_TRUE(text.writer->AddRow(row, 0, false));
  ASSERT_TRUE(text.writer->Commit());
  EXPECT_EQ(FileBytes(text.file), Utf16(L"\"a\",\"b\"\r\n\"c\",\"d\"\r\n\"e\",\"f\"\r\n"));
}

TEST(SpreadsheetText, BackupFileHoldsTheOldLines) {
  TextFile text(L"\"a\",\"b\"\r\n", L",", L"keep.csv");
  CSpreadsheetWriter writer(PathText(text.file), L",", true);
  EXPECT_EQ(FileBytes(fs::path(text.file.wstring() + L".bak")), Utf16(L"\"a\",\"b\"\r\n"));
}

TEST(SpreadsheetText, FileThatCannotBeWrittenFailsTheCommit) {
  const fs::path file = ScratchDir() / L"no-such-folder" / L"out.csv";
  CSpreadsheetWriter writer(PathText(file), L",", false);
  CStringArray row = Array({L"a"});
  ASSERT_TRUE(writer.AddRow(row, 0, false));
  EXPECT_FALSE(writer.Commit());
  EXPECT_EQ(writer.GetLastError(), L"Error writing file\n");
}

// How ReadRow cuts lines into cells, read from text files with the separator "," (or the
// one given): quoted cells joined by quote-separator-quote, bare separators, one cell.
TEST(SpreadsheetText, LinesAreCutIntoCells) {
  struct Case {
    const wchar_t* line;
    const wchar_t* separator;
    Row cells;
  } cases[] = {
      {L"\"a\",\"b\",\"c\"", L",", {L"a", L"b", L"c"}},
      {L"\"x\"", L",", {L"x"}},
      {L"\"\"", L",", {L""}},
      {L"\"", L",", {L""}},
      {L"plain", L",", {L"plain"}},
      {L"\"open", L",", {L"\"open"}},
      {L"", L",", {L""}},
      {L"a,b", L",", {L"a", L"b"}},
      {L"\"a\",b", L",", {L"\"a\"", L"b"}},
      {L"\"a\"\"\",\"b\"", L",", {L"a\"\"", L"b"}},
      // A cell holding quote, separator, quote reads back as two cells.
      {L"\"1\",\"x\",\"y\"", L",", {L"1", L"x", L"y"}},
      {L"\"1\";\"2\"", L";", {L"1", L"2"}},
      {L"\"1\"\t\"2\"", L"\t", {L"1", L"2"}},
      {L"\"1\",;.?\"2\"", L",;.?", {L"1", L"2"}},
      {L"\"a\"\"b\"", L"", {L"a", L"b"}},
  };
  for (const Case& c : cases) {
    TextFile text(std::wstring(c.line) + L"\r\n", c.separator);
    CStringArray cells;
    ASSERT_TRUE(text.writer->ReadRow(cells, 1)) << c.line;
    EXPECT_EQ(Items(cells), c.cells) << c.line;
  }
}

TEST(SpreadsheetText, ReadRowZeroReadsOnFromTheCurrentRow) {
  TextFile text(L"\"x\"\n\"y\"\r\nlast");
  CStringArray cells;
  ASSERT_TRUE(text.writer->ReadRow(cells, 1));
  EXPECT_EQ(Items(cells), Row{L"x"});
  ASSERT_TRUE(text.writer->ReadRow(cells, 0));
  EXPECT_EQ(Items(cells), Row{L"y"});
  ASSERT_TRUE(text.writer->ReadRow(cells, 0));
  EXPECT_EQ(Items(cells), Row{L"last"});
  const CString error = text.writer->GetLastError();
  EXPECT_FALSE(text.writer->ReadRow(cells, 0));
  EXPECT_EQ(text.writer->GetLastError(), error) << "the end of the rows is no error";
  EXPECT_FALSE(text.writer->ReadRow(cells, 4));
  EXPECT_EQ(text.writer->GetLastError(), L"Desired row is greater than total number of rows in spreadsheet\n");
}

TEST(SpreadsheetText, ByteOrderMarkIsNoPartOfTheFirstCell) {
  TextFile text(L"\uFEFF\"a\",\"b\"\r\n");
  CStringArray cells;
  ASSERT_TRUE(text.writer->ReadRow(cells, 1));
  EXPECT_EQ(Items(cells), (Row{L"a", L"b"}));
}

// ---------------------------------------------------------------------------------------
// The driver itself, through the framework's database classes.

namespace {

CString DriverConnect(const fs::path& file) {
  return CString(L"DRIVER={") + kExcelDriverDescription + L"};DBQ=" + PathText(file) + L";CREATE_DB=\"" +
         PathText(file) + L"\"";
}

}  // namespace

// Statements the driver refuses end in a CDBException with an ODBC-style text and state;
// the connection stays usable.
TEST(SpreadsheetDriver, RefusedStatementsRaiseOdbcErrors) {
  struct Case {
    const wchar_t* sql;
    const wchar_t* text;   // the start of the message
    const wchar_t* state;  // SQLSTATE
  } cases[] = {
      {L"UPDATE [Contacts] SET a = 1", L"Cannot run the statement: syntax error", L"42000"},
      {L"INSERT INTO [Contacts] ([a]) VALUES ('unterminated)", L"Cannot run the statement: syntax error",
       L"42000"},
      {L"INSERT INTO [Nowhere$A1:IV1] ([a]) VALUES ('1')", L"The table", L"42S02"},
      {L"INSERT INTO [Contacts$A1:IV1] ([z]) VALUES ('1')", L"The table", L"42S22"},
      {L"CREATE TABLE [Contacts] ([a] char(255))", L"Table", L"42S01"},
  };
  const fs::path file = ScratchDir() / L"driver.xls";
  CDatabase db;
  ASSERT_TRUE(db.OpenEx(DriverConnect(file), CDatabase::noOdbcDialog));
  db.ExecuteSQL(L"CREATE TABLE [Contacts] ([a] char(255), [b] char(255))");
  for (const Case& c : cases) {
    try {
      db.ExecuteSQL(c.sql);
      ADD_FAILURE() << "accepted: " << CStringA(c.sql).GetString();
    } catch (CDBException* e) {
      EXPECT_EQ(e->m_strError.Find(c.text), 0) << CStringA(e->m_strError).GetString();
      EXPECT_NE(e->m_strStateNativeOrigin.Find(CString(L"State:") + c.state), -1)
          << CStringA(e->m_strStateNativeOrigin).GetString();
      e->Delete();
    }
  }
  db.ExecuteSQL(L"INSERT INTO [Contacts$A1:IV1] ([a], [b]) VALUES ('x', 'y''z')");
  EXPECT_FALSE(fs::exists(file)) << "the workbook is written when the connection closes";
  db.Close();
  EXPECT_EQ(SheetCells(file, L"Contacts"), (Table{kAb, {L"x", L"y'z"}}));

  // Read back through a recordset.
  ASSERT_TRUE(db.OpenEx(DriverConnect(file), CDatabase::noOdbcDialog));
  CRecordset rs(&db);
  rs.Open(CRecordset::forwardOnly, L"SELECT * FROM [Contacts$A1:IV65536]", CRecordset::readOnly);
  ASSERT_EQ(rs.GetODBCFieldCount(), 2);
  CString value;
  rs.GetFieldValue(static_cast<short>(1), value);
  EXPECT_EQ(value, L"y'z");
}
