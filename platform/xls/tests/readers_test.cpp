// LibreOffice and gnumeric read our workbooks with the same cells. (soffice takes seconds
// to start: one run converts every file.)
#include <gtest/gtest.h>

#include "test_support.hpp"
#include "vorlix/xls/unicode.hpp"
#include "vorlix/xls/workbook.hpp"

namespace fs = std::filesystem;
using namespace vorlix::xls;
using namespace vorlix::xls::test;

namespace {

using Table = std::vector<std::vector<std::u16string>>;

const std::vector<Table>& tables() {
    static const std::vector<Table> t = {
        {{u"First Name", u"Last Name", u"Notes", u"Empty", u"Last"},
         {u"O'Hara", u"say \"hi\"", u"line1\nline2", u"", u"\u6F22\u5B57 \U0001F600"},
         {u"M\u00FCller", u"", u"tab\there", u"", std::u16string(300, u'\u00E9')},
         {u"", u"", u"", u"", u""},
         {u"row after an empty one", u"x", u"y", u"", u"z"}},
        {{u"Big"}, {std::u16string(9000, u'a') + u"\u4E00"}, {std::u16string(20000, u'\u4E8C')}, {u"end"}},
    };
    return t;
}

// Writes each table as the first sheet of a workbook "book<i>.xls" in `dir`.
void writeBooks(const fs::path& dir) {
    for (std::size_t i = 0; i < tables().size(); ++i) {
        Workbook book;
        Grid& grid = book.editCells(book.addSheet(u"Contacts"));
        const Table& t = tables()[i];
        for (std::uint32_t r = 0; r < t.size(); ++r)
            for (std::uint32_t c = 0; c < t[r].size(); ++c) grid.set(r, c, t[r][c]);
        book.save(dir / ("book" + std::to_string(i) + ".xls"));
    }
}

// The CSV a reader exported for table i holds the same cells.
void expectCsv(const fs::path& csv, std::size_t i) {
    SCOPED_TRACE(csv.string());
    const auto rows = parseCsv(readFile(csv));
    const Table& want = tables()[i];
    ASSERT_EQ(rows.size(), want.size());
    for (std::size_t r = 0; r < want.size(); ++r) {
        // Readers end a row at its last non-empty cell.
        for (std::size_t c = 0; c < want[r].size(); ++c) {
            const std::string got = c < rows[r].size() ? rows[r][c] : std::string();
            EXPECT_EQ(got, toUtf8(want[r][c])) << "row " << r << " column " << c;
        }
    }
}

}  // namespace

TEST(Readers, LibreOfficeConvertsOurWorkbooksWithTheSameCells) {
    if (run("command -v soffice") != 0) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    const fs::path dir = scratchDir();
    writeBooks(dir);
    // A profile of its own, so parallel soffice runs do not collide.
    std::string command = "cd '" + dir.string() + "' && soffice --headless --norestore -env:UserInstallation=file://" +
                          (dir / "profile").string() +
                          " --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' --outdir out";
    for (std::size_t i = 0; i < tables().size(); ++i) command += " book" + std::to_string(i) + ".xls";
    std::string output;
    ASSERT_EQ(run(command, &output), 0) << output;
    for (std::size_t i = 0; i < tables().size(); ++i) expectCsv(dir / "out" / ("book" + std::to_string(i) + ".csv"), i);
}

TEST(Readers, GnumericConvertsOurWorkbooksWithTheSameCells) {
    if (run("command -v ssconvert") != 0) GTEST_SKIP() << "gnumeric (ssconvert) is not installed";
    const fs::path dir = scratchDir();
    writeBooks(dir);
    for (std::size_t i = 0; i < tables().size(); ++i) {
        const std::string name = "book" + std::to_string(i);
        std::string output;
        ASSERT_EQ(run("cd '" + dir.string() + "' && ssconvert --export-type=Gnumeric_stf:stf_csv " + name + ".xls " +
                          name + ".csv",
                      &output),
                  0)
            << output;
        expectCsv(dir / (name + ".csv"), i);
    }
}
