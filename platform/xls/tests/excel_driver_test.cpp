// The statement engine end to end, with the statements the spreadsheet writer issues.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "test_support.hpp"
#include "vorlix/xls/excel_driver.hpp"
#include "vorlix/xls/unicode.hpp"
#include "vorlix/xls/workbook.hpp"

namespace fs = std::filesystem;
using namespace vorlix::xls;
using namespace vorlix::xls::test;

namespace {

using Table = std::vector<std::vector<std::string>>;

std::u16string sqlQuote(std::u16string_view s) {
    std::u16string out;
    for (const char16_t c : s) {
        out += c;
        if (c == u'\'') out += u'\'';
    }
    return out;
}

// The statements of the writer's commit: DROP (when the sheet exists), CREATE, and one
// INSERT per data row with the range A1:IV<data row number>.
void commitTable(ExcelConnection& db, const std::u16string& sheet, bool exists,
                 const std::vector<std::vector<std::u16string>>& rows) {
    if (exists) db.execute(u"DROP TABLE [" + sheet + u"$A1:IV65536]");
    std::u16string create = exists ? u"CREATE TABLE [" + sheet + u"$A1:IV65536] (" : u"CREATE TABLE [" + sheet + u"] (";
    for (const auto& name : rows[0]) create += u"[" + name + u"] char(255), ";
    create.resize(create.size() - 2);
    db.execute(create + u")");
    for (std::size_t b = 1; b < rows.size(); ++b) {
        std::u16string insert = u"INSERT INTO [" + sheet + u"$A1:IV" + fromUtf8(std::to_string(b)) + u"] (";
        for (const auto& name : rows[0]) insert += u"[" + name + u"], ";
        insert.resize(insert.size() - 2);
        insert += u") VALUES (";
        for (const auto& cell : rows[b]) insert += u"'" + sqlQuote(cell) + u"', ";
        insert.resize(insert.size() - 2);
        db.execute(insert + u")");
    }
}

Table asUtf8(const ResultSet& r) {
    Table t;
    std::vector<std::string> header;
    for (const auto& c : r.columns) header.push_back(toUtf8(c));
    t.push_back(header);
    for (const auto& row : r.rows) {
        std::vector<std::string> cells;
        for (const auto& c : row) cells.push_back(toUtf8(c));
        t.push_back(cells);
    }
    return t;
}

std::string driverError(const std::function<void()>& action, std::string* state = nullptr) {
    try {
        action();
    } catch (const DriverError& e) {
        if (state) *state = e.sqlState();
        return e.what();
    }
    return "(no error)";
}

const std::u16string kSelect = u"SELECT * FROM [Contacts$A1:IV65536]";

}  // namespace

TEST(ExcelDriver, WriterStatementsRoundTrip) {
    const fs::path file = scratchDir() / "Contacts.xls";
    const std::vector<std::vector<std::u16string>> first = {
        {u"First Name", u"Last Name", u"E-mail", u"Notes"},
        {u"Ann", u"O'Hara", u"ann@example.com", u"said \"hi\"\r\nthen left"},
        {u"\u592A\u90CE", u"\u5C71\u7530", u"", u"\U0001F600 ''two'' quotes"},
    };
    {
        ExcelConnection db(file, true);
        std::string state;
        EXPECT_NE(driverError([&] { db.execute(kSelect); }, &state).find("[Vorlix][Excel Driver] "), std::string::npos);
        EXPECT_EQ(state, "42S02");
        commitTable(db, u"Contacts", false, first);
        EXPECT_FALSE(fs::exists(file)) << "nothing is written before the commit";
        db.close();
    }
    ASSERT_TRUE(fs::exists(file));
    {
        ExcelConnection db(file, true);
        const Table got = asUtf8(db.execute(kSelect));
        ASSERT_EQ(got.size(), first.size());
        for (std::size_t r = 0; r < first.size(); ++r)
            for (std::size_t c = 0; c < first[r].size(); ++c) EXPECT_EQ(got[r].at(c), toUtf8(first[r][c]));
        // Append a folder's worth: the writer drops and recreates the whole table.
        auto second = first;
        second.push_back({u"Zo\u00EB", u"", u"z@example.com", std::u16string(32767, u'x')});
        second.push_back({u"", u"", u"", u""});  // an empty last row stays a row
        commitTable(db, u"Contacts", true, second);
        db.close();

        ExcelConnection again(file, false);
        const Table back = asUtf8(again.execute(kSelect));
        ASSERT_EQ(back.size(), second.size());
        for (std::size_t r = 0; r < second.size(); ++r)
            for (std::size_t c = 0; c < second[r].size(); ++c) EXPECT_EQ(back[r].at(c), toUtf8(second[r][c]));
        again.close();
    }
    if (!haveXlrd()) GTEST_SKIP() << "python3-xlrd is not installed";
    const XlrdBook x = readWithXlrd(file);
    ASSERT_TRUE(x.ok) << x.error;
    ASSERT_EQ(x.sheets.size(), 1u);
    EXPECT_EQ(x.sheets[0].name, "Contacts");
    EXPECT_EQ(x.sheets[0].cells.at({1, 1}).second, "O'Hara");
    EXPECT_EQ(x.sheets[0].cells.at({2, 3}).second, toUtf8(u"\U0001F600 ''two'' quotes"));
    EXPECT_EQ(x.sheets[0].cells.at({3, 3}).second.size(), 32767u);
}

TEST(ExcelDriver, SelectOnExcelMadeWorkbooksAndAddingContacts) {
    const fs::path original = samplePath("Test97J.xls");
    if (original.empty()) GTEST_SKIP() << "samples not found under " << VORLIX_SHARED_DIR;
    const fs::path file = scratchDir() / "Test97J.xls";
    fs::copy_file(original, file);
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
    ExcelConnection db(file, true);
    const Table asc = asUtf8(db.execute(u"SELECT * FROM [Sheet1-ASC$A1:IV65536]"));
    const Table expected = {{"ASC", "This Data is 'ASC Only'"}, {"Date", "23459"}, {"INTEGER", "12345"},
                            {"Float", "1.29"}, {"Double", "1234567.89012345"}, {"Formula", "1246912.89012345"},
                            {"Data", "1234567.89"}, {"BIG INTEGER", "123456789012"}};
    EXPECT_EQ(asc, expected);
    const Table kanji = asUtf8(db.execute(u"SELECT [ASC] FROM [\u6F22\u5B57\u540D$]"));
    ASSERT_GE(kanji.size(), 2u);
    EXPECT_EQ(kanji[1][0], toUtf8(u"\u6F22\u5B57\u3082\u5165\u308B"));

    commitTable(db, u"Contacts", false, {{u"Name", u"Company"}, {u"\u5C71\u7530", u"Vorlix"}});
    db.close();
    if (!haveXlrd()) GTEST_SKIP() << "python3-xlrd is not installed";
    const auto x = readWithXlrd({original, file});
    ASSERT_TRUE(x[1].ok) << x[1].error;
    ASSERT_EQ(x[1].sheets.size(), 3u);
    EXPECT_EQ(x[1].sheets[0].cells, x[0].sheets[0].cells);
    EXPECT_EQ(x[1].sheets[1].cells, x[0].sheets[1].cells);
    EXPECT_EQ(x[1].sheets[2].cells.at({1, 0}).second, toUtf8(u"\u5C71\u7530"));
}

// Statements the engine can't run: an ODBC-style error, and the workbook unchanged.
TEST(ExcelDriver, BadStatementsGiveErrorsAndChangeNothing) {
    const fs::path file = scratchDir() / "book.xls";
    ExcelConnection db(file, true);
    db.execute(u"CREATE TABLE [Contacts] ([A] char(255), [B] char(255))");
    db.execute(u"INSERT INTO [Contacts$A1:IV1] ([A], [B]) VALUES ('1', '2')");
    struct Case {
        const char16_t* sql;
        const char* state;
    };
    const std::string tooLong = "INSERT INTO [Contacts$A1:IV2] VALUES ('" + std::string(32768, 'x') + "', '')";
    const std::u16string tooLong16 = fromUtf8(tooLong);
    const Case cases[] = {
        {u"", "42000"},
        {u"SELEC * FROM [Contacts$]", "42000"},
        {u"SELECT * FROM", "42000"},
        {u"SELECT * FROM [Contacts$A1:IV65536", "42000"},
        {u"SELECT * FROM [Contacts$] WHERE A = '1'", "42000"},
        {u"SELECT * FROM [Nobody$A1:IV65536]", "42S02"},
        {u"SELECT [C] FROM [Contacts$]", "42S22"},
        {u"INSERT INTO [Contacts$A1:IV2] ([A], [B]) VALUES ('unterminated)", "42000"},
        {u"INSERT INTO [Contacts$A1:IV2] ([A], [B]) VALUES ('only one')", "21S01"},
        {u"INSERT INTO [Contacts$A1:IV2] ([A], [Z]) VALUES ('1', '2')", "42S22"},
        {u"INSERT INTO [Contacts$A1:IV2] ([A], [A]) VALUES ('1', '2')", "42000"},
        {u"INSERT INTO [Contacts$A1:IV2] VALUES (1, 2, 3)", "21S01"},
        {u"INSERT INTO [Contacts$A1:IV2] ([A], [B]) VALUES ('1', '2') extra", "42000"},
        {tooLong16.c_str(), "22001"},
        {u"CREATE TABLE [Contacts] ([X] char(255))", "42S01"},
        {u"CREATE TABLE [Bad:Name] ([X] char(255))", "42000"},
        {u"CREATE TABLE [New] ([X] char(255), [x] char(255))", "42S21"},
        {u"CREATE TABLE [New] ([X] char(255)", "42000"},
        {u"CREATE TABLE [New] ()", "42000"},
        {u"DROP TABLE [Missing]", "42S02"},
        {u"DROP [Contacts]", "42000"},
        {u"UPDATE [Contacts$] SET A = '3'", "42000"},
    };
    for (const Case& c : cases) {
        std::string state;
        const std::string message = driverError([&] { db.execute(c.sql); }, &state);
        EXPECT_EQ(state, c.state) << toUtf8(c.sql).substr(0, 80) << " -> " << message;
        EXPECT_EQ(message.rfind("[Vorlix][Excel Driver] ", 0), 0u) << message;
    }
    EXPECT_EQ(asUtf8(db.execute(u"SELECT * FROM [Contacts$A1:IV65536]")), (Table{{"A", "B"}, {"1", "2"}}));
    EXPECT_FALSE(db.workbook().findSheet(u"New"));
}

TEST(ExcelDriver, DropTableEmptiesARangeOrRemovesTheSheet) {
    const fs::path file = scratchDir() / "drop.xls";
    ExcelConnection db(file, true);
    db.execute(u"CREATE TABLE [Keep] ([K] char(255))");
    db.execute(u"CREATE TABLE Contacts (Name char(255), Mail varchar(80))");
    db.execute(u"INSERT INTO Contacts VALUES ('a', NULL)");
    std::int64_t affected = 0;
    db.execute(u"INSERT INTO `Contacts$` (Mail) VALUES ('m@x')", &affected);
    EXPECT_EQ(affected, 1);
    EXPECT_EQ(asUtf8(db.execute(u"select * from [Contacts]")), (Table{{"Name", "Mail"}, {"a", ""}, {"", "m@x"}}));
    db.execute(u"DROP TABLE [Contacts$A1:IV65536]");
    EXPECT_TRUE(db.workbook().findSheet(u"Contacts"));
    EXPECT_TRUE(db.execute(u"SELECT * FROM [Contacts$A1:IV65536]").columns.empty());
    db.execute(u"CREATE TABLE [Contacts$A1:IV65536] ([Name] char(255))");
    db.execute(u"DROP TABLE Contacts");
    EXPECT_FALSE(db.workbook().findSheet(u"Contacts"));
    // The only sheet left is emptied rather than removed: a workbook keeps one sheet.
    db.execute(u"INSERT INTO [Keep$] VALUES ('k')");
    db.execute(u"DROP TABLE [Keep]");
    ASSERT_EQ(db.workbook().sheetCount(), 1u);
    EXPECT_EQ(db.workbook().cells(0).rowCount(), 0u);
}

TEST(ExcelDriver, SheetFullAfter65535DataRows) {
    const fs::path file = scratchDir() / "full.xls";
    {
        Workbook book;
        Grid& grid = book.editCells(book.addSheet(u"Contacts"));
        grid.set(0, 0, u"Name");
        for (std::uint32_t r = 1; r < kMaxRows - 1; ++r) grid.set(r, 0, u"row");
        book.save(file);
    }
    ExcelConnection db(file, false);
    db.execute(u"INSERT INTO [Contacts$A1:IV65534] ([Name]) VALUES ('the 65,535th data row')");
    std::string state;
    const std::string message =
        driverError([&] { db.execute(u"INSERT INTO [Contacts$A1:IV65535] ([Name]) VALUES ('one too many')"); }, &state);
    EXPECT_NE(message.find("65,536 rows"), std::string::npos) << message;
    db.close();
    EXPECT_EQ(Workbook::load(file).cells(0).get(65535, 0), u"the 65,535th data row");
}

TEST(ExcelDriver, OpeningFailuresAreClear) {
    const fs::path dir = scratchDir();
    EXPECT_NE(driverError([&] { ExcelConnection(dir / "missing.xls", false); }).find("does not exist"), std::string::npos);
    std::ofstream(dir / "damaged.xls") << "this is not a workbook";
    EXPECT_NE(driverError([&] { ExcelConnection(dir / "damaged.xls", true); }).find("not in the expected format"),
              std::string::npos);
    EXPECT_NE(driverError([&] { ExcelConnection(dir, true); }).find("folder"), std::string::npos);

    // A read-only file, and a read-only connection: reads work, changes are refused.
    const fs::path file = dir / "ro.xls";
    {
        ExcelConnection db(file, true);
        db.execute(u"CREATE TABLE [T] ([A] char(255))");
        db.close();
    }
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    {
        ExcelConnection db(file, false);
        EXPECT_EQ(db.execute(u"SELECT * FROM [T$]").columns.size(), 1u);
        EXPECT_NE(driverError([&] { db.execute(u"INSERT INTO [T$] VALUES ('x')"); }).find("read-only"), std::string::npos);
    }
    fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
    ExcelConnection db(file, false, true);
    EXPECT_NE(driverError([&] { db.execute(u"DROP TABLE [T$]"); }).find("read-only"), std::string::npos);
    db.close();
    EXPECT_NE(driverError([&] { db.execute(u"SELECT * FROM [T$]"); }).find("closed"), std::string::npos);
}

TEST(ExcelDriver, ConnectionWithoutChangesWritesNothing) {
    const fs::path dir = scratchDir();
    {
        ExcelConnection db(dir / "new.xls", true);
        EXPECT_THROW(db.execute(kSelect), DriverError);
        db.close();
    }
    EXPECT_FALSE(fs::exists(dir / "new.xls"));
    {
        // Without close() the changes are dropped.
        ExcelConnection db(dir / "new.xls", true);
        db.execute(u"CREATE TABLE [Contacts] ([A] char(255))");
    }
    EXPECT_FALSE(fs::exists(dir / "new.xls"));
}

TEST(ExcelDriver, ConnectionStrings) {
    struct Case {
        const char16_t* text;
        const char* path;
        bool create;
        bool readOnly;
    };
    const Case cases[] = {
        {u"DRIVER={Microsoft Excel Driver (*.xls)};DSN='';FIRSTROWHASNAMES=1;READONLY=FALSE;"
         u"CREATE_DB=\"C:\\My Files\\out.xls\";DBQ=C:\\My Files\\out.xls",
         "C:\\My Files\\out.xls", true, false},
        {u"DRIVER={};DSN='';FIRSTROWHASNAMES=1;READONLY=FALSE;CREATE_DB=\"/tmp/a;b.xls\";DBQ=/tmp/a;b.xls",
         "/tmp/a;b.xls", true, false},
        {u"Driver={Microsoft Excel Driver (*.xls)};DBQ=/data/book.xls;ReadOnly=1", "/data/book.xls", false, true},
        {u"dbq={/x/y.xls}", "/x/y.xls", false, false},
    };
    for (const Case& c : cases) {
        const ConnectionSettings s = parseConnectionString(c.text);
        EXPECT_EQ(s.path.u8string(), c.path) << toUtf8(c.text);
        EXPECT_EQ(s.createIfMissing, c.create) << toUtf8(c.text);
        EXPECT_EQ(s.readOnly, c.readOnly) << toUtf8(c.text);
    }
    EXPECT_EQ(toUtf8(parseConnectionString(cases[0].text).driver), "Microsoft Excel Driver (*.xls)");
    EXPECT_THROW(parseConnectionString(u"DRIVER={x};DSN=''"), DriverError);
}

// The rows of a table usually arrive as INSERTs of one bracketed form, which the engine
// runs without the full parser; whatever the form, a row must land where the general
// path puts it.
TEST(ExcelDriver, InsertFormsAgree) {
    ExcelConnection db(scratchDir() / "forms.xls", true);
    db.execute(u"CREATE TABLE [Bulk] ([Name] char(255), [Mail] char(255), [Note] char(255))");
    db.execute(u"CREATE TABLE Plain (Name char(255), Mail char(255), Note char(255))");
    struct Row {
        const char16_t* columns;  // as both forms write them, without brackets
        const char16_t* values;
    };
    const Row rows[] = {
        {u"Name, Mail, Note", u"'Ann', 'ann@example.com', 'first'"},
        {u"Note, Name, Mail", u"'reordered', 'Bob', 'bob@example.com'"},
        {u"mail, NAME", u"'case@example.com', 'Letter Case'"},
        {u"Name, Mail, Note", u"'O''Hara', '', 'it''s ''quoted'''"},
        {u"Name, Mail, Note", u"'[x], (y)', ''')', ''"},
        {u"Name, Mail, Note", u"'', '', ''"},
        {u"Note", u"'note only'"},
    };
    auto bracketed = [](std::u16string_view list) {
        std::u16string out = u"[";
        for (const char16_t c : list) out += c == u',' ? std::u16string(u"], [") : c == u' ' ? u"" : std::u16string(1, c);
        return out + u"]";
    };
    int n = 0;
    for (const Row& r : rows) {
        ++n;
        const std::u16string number = fromUtf8(std::to_string(n));
        std::int64_t bulk = 0, plain = 0;
        // The bulk form with its usual spacing on odd rows, with more of it on even ones.
        const std::u16string statement =
            n % 2 ? u"INSERT INTO [Bulk$A1:IV" + number + u"] (" + bracketed(r.columns) + u") VALUES (" + r.values + u")"
                  : u" insert  into\t[Bulk$A1:IV" + number + u"]\r\n( " + bracketed(r.columns) + u" ) values( " +
                        r.values + u" ) ; ";
        db.execute(statement, &bulk);
        db.execute(u"INSERT INTO Plain (" + std::u16string(r.columns) + u") VALUES (" + r.values + u")", &plain);
        EXPECT_EQ(bulk, 1);
        EXPECT_EQ(plain, 1);
    }
    const Table plain = asUtf8(db.execute(u"SELECT * FROM Plain"));
    EXPECT_EQ(asUtf8(db.execute(u"SELECT * FROM [Bulk$]")), plain);
    ASSERT_EQ(plain.size(), 8u);
    EXPECT_EQ(plain[2], (std::vector<std::string>{"Bob", "bob@example.com", "reordered"}));
    EXPECT_EQ(plain[4], (std::vector<std::string>{"O'Hara", "", "it's 'quoted'"}));
    EXPECT_EQ(plain[5], (std::vector<std::string>{"[x], (y)", "')", ""}));

    // A table made again with its columns in another order: the same statement text now
    // fills other columns.
    db.execute(u"DROP TABLE [Bulk$A1:IV65536]");
    db.execute(u"CREATE TABLE [Bulk$A1:IV65536] ([Note] char(255), [Name] char(255), [Mail] char(255))");
    db.execute(u"INSERT INTO [Bulk$A1:IV1] ([Name], [Mail], [Note]) VALUES ('Ann', 'ann@example.com', 'first')");
    EXPECT_EQ(asUtf8(db.execute(u"SELECT * FROM [Bulk$]")),
              (Table{{"Note", "Name", "Mail"}, {"first", "Ann", "ann@example.com"}}));
    // A table lower down the same sheet has a header row of its own: here its columns
    // are in the statement's order, where the table above has them in another.
    db.execute(u"INSERT INTO [Bulk$A1:IV2] ([Note], [Name], [Mail]) VALUES ('Name', 'Mail', 'Note')");
    db.execute(u"INSERT INTO [Bulk$A3:IV3] ([Name], [Mail], [Note]) VALUES ('n', 'm', 'o')");
    EXPECT_EQ(asUtf8(db.execute(u"SELECT * FROM [Bulk$A3:IV65536]")),
              (Table{{"Name", "Mail", "Note"}, {"n", "m", "o"}}));

    // Refused in the bulk form as in the other one, and nothing changes.
    const std::u16string tooMany = u"INSERT INTO [Bulk$A1:IV9] ([Name]) VALUES ('a', 'b')";
    std::string state;
    driverError([&] { db.execute(tooMany); }, &state);
    EXPECT_EQ(state, "21S01");
    const std::u16string unknown = u"INSERT INTO [Bulk$A1:IV9] ([Nobody]) VALUES ('a')";
    driverError([&] { db.execute(unknown); }, &state);
    EXPECT_EQ(state, "42S22");
    EXPECT_EQ(asUtf8(db.execute(u"SELECT * FROM [Bulk$]")).size(), 4u);
}

TEST(ExcelDriver, BulkInsertIntoAReadOnlyWorkbookIsRefused) {
    const fs::path file = scratchDir() / "ro-bulk.xls";
    {
        ExcelConnection db(file, true);
        db.execute(u"CREATE TABLE [T] ([A] char(255))");
        db.close();
    }
    ExcelConnection db(file, false, true);
    EXPECT_NE(driverError([&] { db.execute(u"INSERT INTO [T$A1:IV1] ([A]) VALUES ('x')"); }).find("read-only"),
              std::string::npos);
    EXPECT_EQ(asUtf8(db.execute(u"SELECT * FROM [T$]")), (Table{{"A"}}));
}
