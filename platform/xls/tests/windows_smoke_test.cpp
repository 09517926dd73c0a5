// The workbook library and the statement engine built for Windows, under Wine: a
// workbook written with a non-ASCII file name, replaced on a second commit, read back.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

#include "vorlix/xls/excel_driver.hpp"
#include "vorlix/xls/unicode.hpp"
#include "vorlix/xls/workbook.hpp"

namespace fs = std::filesystem;
using namespace vorlix::xls;

TEST(XlsOnWindows, WriteReplaceAndReadBack) {
    const fs::path dir = fs::temp_directory_path() / u"vorlix-xls-smoke";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path file = dir / u"Adre\u00DFbuch \u6F22\u5B57.xls";
    {
        ExcelConnection db(parseConnectionString(u"DRIVER={Microsoft Excel Driver (*.xls)};DSN='';FIRSTROWHASNAMES=1;"
                                                 u"READONLY=FALSE;CREATE_DB=\"" + file.u16string() + u"\";DBQ=" +
                                                 file.u16string()));
        db.execute(u"CREATE TABLE [Contacts] ([Name] char(255), [Note] char(255))");
        db.execute(u"INSERT INTO [Contacts$A1:IV1] ([Name], [Note]) VALUES ('O''Hara', '\u6F22\u5B57 \U0001F600')");
        db.close();
    }
    {
        // The second commit renames a new file over the existing one.
        ExcelConnection db(file, false);
        db.execute(u"INSERT INTO [Contacts$A1:IV2] ([Name], [Note]) VALUES ('second', 'row')");
        db.close();
    }
    ExcelConnection db(file, false);
    const ResultSet r = db.execute(u"SELECT * FROM [Contacts$A1:IV65536]");
    ASSERT_EQ(r.columns, (std::vector<std::u16string>{u"Name", u"Note"}));
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0][0], u"O'Hara");
    EXPECT_EQ(r.rows[0][1], u"\u6F22\u5B57 \U0001F600");
    EXPECT_EQ(r.rows[1][0], u"second");
    db.close();
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1) << "a temporary file was left";
    fs::remove_all(dir);
}

// Another program holding the workbook open without sharing (as Excel does): opening it
// and replacing it both fail with a message, and the file is left as it was.
TEST(XlsOnWindows, LockedWorkbookGivesClearErrors) {
    const fs::path dir = fs::temp_directory_path() / u"vorlix-xls-locked";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const fs::path file = dir / u"locked.xls";
    ExcelConnection writer(file, true);
    writer.execute(u"CREATE TABLE [Contacts] ([Name] char(255))");
    writer.commit();
    const auto before = fs::file_size(file);

    HANDLE lock = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    try {
        ExcelConnection reader(file, false);
        ADD_FAILURE() << "a locked workbook opened";
    } catch (const DriverError& e) {
        EXPECT_NE(std::string(e.what()).find("locked by another program"), std::string::npos) << e.what();
    }
    writer.execute(u"INSERT INTO [Contacts$A1:IV1] ([Name]) VALUES ('x')");
    try {
        writer.commit();
        ADD_FAILURE() << "a locked workbook was replaced";
    } catch (const DriverError& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot write the workbook"), std::string::npos) << e.what();
    }
    ::CloseHandle(lock);
    EXPECT_EQ(fs::file_size(file), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1) << "a temporary file was left";
    writer.close();  // the lock is gone: the pending row is written now
    ExcelConnection again(file, false);
    EXPECT_EQ(again.execute(u"SELECT * FROM [Contacts$]").rows.size(), 1u);
    again.close();
    fs::remove_all(dir);
}
