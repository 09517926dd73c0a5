// Workbooks we write, read back by our own reader and by xlrd, cell for cell; Excel-made
// samples read, extended and kept; damaged files rejected cleanly.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <cstring>
#include <random>

#include "test_support.hpp"
#include "vorlix/xls/unicode.hpp"
#include "vorlix/xls/workbook.hpp"

namespace fs = std::filesystem;
using namespace vorlix::xls;
using namespace vorlix::xls::test;

namespace {

using Rows = std::vector<std::vector<std::u16string>>;

void fill(Grid& grid, const Rows& rows) {
    for (std::uint32_t r = 0; r < rows.size(); ++r)
        for (std::uint32_t c = 0; c < rows[r].size(); ++c) grid.set(r, c, rows[r][c]);
}

// Every cell of `grid` is what xlrd read, as text, and xlrd saw no other cells.
void expectXlrdSheet(const XlrdSheet& sheet, const Grid& grid) {
    std::size_t expected = 0;
    for (std::uint32_t r = 0; r < grid.rowCount(); ++r) {
        for (std::uint32_t c = 0; c < grid.rowWidth(r); ++c) {
            const std::u16string_view want = grid.get(r, c);
            if (want.empty()) continue;
            ++expected;
            const auto it = sheet.cells.find({static_cast<int>(r), static_cast<int>(c)});
            if (it == sheet.cells.end()) {
                ADD_FAILURE() << "xlrd has no cell at row " << r << " column " << c;
                continue;
            }
            EXPECT_EQ(it->second.first, 1) << "row " << r << " column " << c << " is not text";
            EXPECT_EQ(it->second.second, toUtf8(want)) << "row " << r << " column " << c;
        }
    }
    EXPECT_EQ(sheet.cells.size(), expected) << "xlrd sees cells we did not write";
}

void expectSameGrid(const Grid& got, const Grid& want) {
    const std::uint32_t rows = std::max(got.rowCount(), want.rowCount());
    const std::uint32_t cols = std::max(got.columnCount(), want.columnCount());
    for (std::uint32_t r = 0; r < rows; ++r)
        for (std::uint32_t c = 0; c < cols; ++c)
            ASSERT_EQ(toUtf8(got.get(r, c)), toUtf8(want.get(r, c))) << "row " << r << " column " << c;
}

std::u16string pattern(std::size_t n, std::u16string_view alphabet) {
    std::u16string s;
    for (std::size_t i = 0; i < n; ++i) s += alphabet[i % alphabet.size()];
    return s;
}

// Excel's Index record lists absolute stream positions of the sheet's DBCELL records; a
// kept sheet that moved must still point at them. Returns how many were checked.
int checkIndexRecords(const fs::path& file) {
    const std::string bytes = readFile(file);
    const CompoundFile cfb = CompoundFile::parse(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    const std::vector<std::uint8_t>& s = cfb.root().child(u"Workbook")->data;
    auto u16 = [&s](std::size_t p) { return static_cast<std::uint32_t>(s[p] | s[p + 1] << 8); };
    auto u32 = [&](std::size_t p) { return u16(p) | u16(p + 2) << 16; };
    std::vector<std::uint32_t> sheets;
    std::size_t pos = 0;
    while (pos + 4 <= s.size()) {
        const std::uint32_t type = u16(pos), size = u16(pos + 2);
        if (type == 0x0085) sheets.push_back(u32(pos + 4));
        pos += 4 + size;
        if (type == 0x000A) break;
    }
    int checked = 0;
    for (const std::uint32_t start : sheets) {
        for (pos = start; pos + 4 <= s.size();) {
            const std::uint32_t type = u16(pos), size = u16(pos + 2);
            if (type == 0x020B) {
                for (std::size_t off = 16; off + 4 <= size; off += 4) {
                    const std::uint32_t target = u32(pos + 4 + off);
                    EXPECT_LT(target + 2, s.size());
                    if (target + 2 < s.size()) EXPECT_EQ(u16(target), 0x00D7u) << "Index entry points at " << target;
                    ++checked;
                }
            }
            pos += 4 + size;
            if (type == 0x000A) break;
        }
    }
    return checked;
}

}  // namespace

TEST(Workbook, TrickyValuesReadBackByUsAndXlrd) {
    const std::u16string emoji = u"\U0001F600\U0001F468\u200D\U0001F469";
    const Rows rows = {
        {u"Name", u"Quote", u"Text", u"Empty", u"Last"},
        {u"O'Hara", u"say \"hi\"", u"''double''", u"", u"x"},
        {u"M\u00FCller \u00E9\u00E8\u00FF", u"\u6F22\u5B57\u540D \u30C7\u30FC\u30BF", emoji, u"", u"\u0416\u0436 \u03A9"},
        {u"line1\r\nline2", u"a\tb", u"cr\ronly", u"", u"lf\nonly"},
        {pattern(255, u"abc"), pattern(256, u"xyz"), pattern(32767, u"0123456789"), u"", pattern(32767, u"\u00E9\u4E00")},
        {u" leading and trailing ", u"\"", u"'", u"", u"=1+1"},
        {},
        {u"after an empty row", u"", u"", u"", u"\U00010348 surrogate pair"},
    };
    Workbook book;
    Grid& grid = book.editCells(book.addSheet(u"Contacts"));
    fill(grid, rows);
    const fs::path file = scratchDir() / "tricky.xls";
    book.save(file);

    const Workbook again = Workbook::load(file);
    ASSERT_EQ(again.sheetCount(), 1u);
    EXPECT_EQ(toUtf8(again.sheetName(0)), "Contacts");
    expectSameGrid(again.cells(0), grid);

    if (!haveXlrd()) GTEST_SKIP() << "python3-xlrd is not installed";
    const XlrdBook x = readWithXlrd(file);
    ASSERT_TRUE(x.ok) << x.error;
    ASSERT_EQ(x.sheets.size(), 1u);
    EXPECT_EQ(x.sheets[0].name, "Contacts");
    expectXlrdSheet(x.sheets[0], grid);
}

// Strings placed so that the SST record fills up at every awkward point: inside the
// 3-byte string header, right after it, and inside the characters (at odd and even byte
// counts for two-byte characters), in both character forms, plus strings spanning
// several CONTINUE records and formatting that ends exactly at the record limit.
TEST(Workbook, SharedStringsSplitAcrossContinueRecords) {
    struct Case {
        std::string name;
        Rows rows;
    };
    std::vector<Case> cases;
    // The SST starts with 8 bytes of counts; a compressed string of n characters takes 3 + n.
    for (int left = 0; left <= 8; ++left) {
        const std::size_t filler = 8224 - 8 - 3 - static_cast<std::size_t>(left);
        cases.push_back({"compressed-left" + std::to_string(left),
                         {{pattern(filler, u"f")}, {pattern(500, u"abcdefg")}, {u"after"}}});
        cases.push_back({"wide-left" + std::to_string(left),
                         {{pattern(filler, u"f")}, {pattern(500, u"\u4E00\u4E8C\u4E09")}, {u"after \u00E9"}}});
    }
    cases.push_back({"many-continues",
                     {{pattern(32767, u"\u4E00a")}, {pattern(32767, u"bc")}, {pattern(20000, u"\U0001F600")}}});
    // Many short strings: the boundary lands between strings at arbitrary points.
    Rows many;
    for (int i = 0; i < 6000; ++i) many.push_back({u"value " + fromUtf8(std::to_string(i)), i % 3 ? u"\u00E9t\u00E9" : u"\u6771\u4EAC" + fromUtf8(std::to_string(i))});
    cases.push_back({"many-strings", many});

    const fs::path dir = scratchDir();
    std::vector<fs::path> files;
    std::vector<Grid> grids;
    for (const Case& c : cases) {
        Workbook book;
        Grid& grid = book.editCells(book.addSheet(u"S"));
        fill(grid, c.rows);
        files.push_back(dir / (c.name + ".xls"));
        book.save(files.back());
        grids.push_back(grid);
        SCOPED_TRACE(c.name);
        expectSameGrid(Workbook::load(files.back()).cells(0), grid);
    }
    if (!haveXlrd()) GTEST_SKIP() << "python3-xlrd is not installed";
    const auto books = readWithXlrd(files);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        ASSERT_TRUE(books[i].ok) << books[i].error;
        expectXlrdSheet(books[i].sheets.at(0), grids[i]);
    }
}

TEST(Workbook, SheetLimitsRowsAndColumns) {
    Workbook book;
    Grid& tall = book.editCells(book.addSheet(u"Tall"));
    for (std::uint32_t r = 0; r < kMaxRows; ++r) tall.set(r, 0, u"r" + fromUtf8(std::to_string(r)));
    tall.set(kMaxRows - 1, 1, u"last");
    EXPECT_THROW(tall.set(kMaxRows, 0, u"too far"), LimitError);
    Grid& wide = book.editCells(book.addSheet(u"Wide"));
    for (std::uint32_t c = 0; c < kMaxColumns; ++c) wide.set(0, c, u"c" + fromUtf8(std::to_string(c)));
    wide.set(2, kMaxColumns - 1, u"IV3");
    EXPECT_THROW(wide.set(0, kMaxColumns, u"too far"), LimitError);
    EXPECT_THROW(wide.set(1, 0, std::u16string(kMaxCellChars + 1, u'x')), LimitError);

    const fs::path file = scratchDir() / "limits.xls";
    book.save(file);
    const Workbook again = Workbook::load(file);
    expectSameGrid(again.cells(0), tall);
    expectSameGrid(again.cells(1), wide);

    if (!haveXlrd()) GTEST_SKIP() << "python3-xlrd is not installed";
    const XlrdBook x = readWithXlrd(file);
    ASSERT_TRUE(x.ok) << x.error;
    EXPECT_EQ(x.sheets.at(0).rows, 65536);
    EXPECT_EQ(x.sheets.at(1).columns, 256);
    expectXlrdSheet(x.sheets.at(0), tall);
    expectXlrdSheet(x.sheets.at(1), wide);
}

TEST(Workbook, SheetNamesFollowExcelRules) {
    Workbook book;
    for (const char16_t* bad : {u"", u"a[b", u"a]b", u"a:b", u"a*b", u"a?b", u"a/b", u"a\\b", u"'quoted'",
                                u"12345678901234567890123456789012"})
        EXPECT_THROW(book.addSheet(bad), LimitError) << toUtf8(bad);
    book.addSheet(u"1234567890123456789012345678901");
    book.addSheet(u"Kontakte \u00DC \u6F22");
    EXPECT_THROW(book.addSheet(u"KONTAKTE \u00FC \u6F22"), LimitError) << "names differ only in case";
    EXPECT_EQ(book.findSheet(u"kontakte \u00FC \u6F22"), std::optional<std::size_t>(1));
}

TEST(Workbook, SaveLeavesNoTemporaryFilesAndReplacesTheTarget) {
    const fs::path dir = scratchDir();
    const fs::path file = dir / "book.xls";
    std::ofstream(file) << "old contents";
    Workbook book;
    book.editCells(book.addSheet(u"A")).set(0, 0, u"new");
    book.save(file);
    book.save(file);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    EXPECT_EQ(toUtf8(Workbook::load(file).cells(0).get(0, 0)), "new");
    EXPECT_THROW(book.save(dir / "no-such-folder" / "x.xls"), IoError);
    EXPECT_THROW(Workbook().save(dir / "empty.xls"), LimitError) << "a workbook needs a sheet";
}

TEST(Workbook, RemovingASheetKeepsTheOthers) {
    Workbook book;
    for (const char16_t* name : {u"One", u"Two", u"Three"})
        book.editCells(book.addSheet(name)).set(0, 0, std::u16string(name) + u" A1");
    ASSERT_TRUE(book.canRemoveSheet());
    book.removeSheet(1);
    const fs::path file = scratchDir() / "removed.xls";
    book.save(file);
    const Workbook again = Workbook::load(file);
    ASSERT_EQ(again.sheetCount(), 2u);
    EXPECT_EQ(toUtf8(again.cells(1).get(0, 0)), "Three A1");
    if (!haveXlrd()) GTEST_SKIP() << "python3-xlrd is not installed";
    const XlrdBook x = readWithXlrd(file);
    ASSERT_TRUE(x.ok) << x.error;
    ASSERT_EQ(x.sheets.size(), 2u);
    EXPECT_EQ(x.sheets[1].name, "Three");
    EXPECT_EQ(x.sheets[1].cells.at({0, 0}).second, "Three A1");
}

// The Excel-made samples: numbers, dates, a formula and strings read as text; a
// "Contacts" sheet added; the other sheets read by xlrd exactly as before.
TEST(Workbook, ExcelMadeSamplesGetAContactsSheetAndKeepTheirSheets) {
    struct Sample {
        const char* file;
        std::vector<std::u16string> sheetNames;
    };
    const Sample samples[] = {{"Test97.xls", {u"Sheet1-ASC", u"Sheet2"}},
                              {"Test97J.xls", {u"Sheet1-ASC", u"\u6F22\u5B57\u540D"}}};
    const fs::path dir = scratchDir();
    for (const Sample& sample : samples) {
        SCOPED_TRACE(sample.file);
        const fs::path original = samplePath(sample.file);
        if (original.empty()) GTEST_SKIP() << "samples not found under " << VORLIX_SHARED_DIR;
        Workbook book = Workbook::load(original);
        ASSERT_EQ(book.sheetCount(), sample.sheetNames.size());
        for (std::size_t i = 0; i < book.sheetCount(); ++i) EXPECT_EQ(book.sheetName(i), sample.sheetNames[i]);

        // Values as text, one per record type Excel used.
        const Grid& first = book.cells(0);
        EXPECT_EQ(toUtf8(first.get(0, 1)), "This Data is 'ASC Only'");  // LabelSst
        EXPECT_EQ(toUtf8(first.get(1, 1)), "23459");            // a date as its serial number
        EXPECT_EQ(toUtf8(first.get(2, 1)), "12345");            // RK integer
        EXPECT_EQ(toUtf8(first.get(3, 1)), "1.29");             // RK x100
        EXPECT_EQ(toUtf8(first.get(4, 1)), "1234567.89012345"); // Number
        EXPECT_EQ(toUtf8(first.get(5, 1)), "1246912.89012345"); // Formula result
        EXPECT_EQ(toUtf8(first.get(7, 1)), "123456789012");

        const std::size_t contacts = book.addSheet(u"Contacts");
        Grid& grid = book.editCells(contacts);
        fill(grid, {{u"First Name", u"Last Name"}, {u"Jos\u00E9", u"O'Hara"}, {u"\u592A\u90CE", u"\u5C71\u7530"}});
        const fs::path out = dir / sample.file;
        book.save(out);

        EXPECT_GT(checkIndexRecords(original), 0) << "the sample has DBCELL records";
        checkIndexRecords(out);
        // The file's other streams (document properties) are carried over unchanged.
        {
            const std::string a = readFile(original), b = readFile(out);
            const CompoundFile before = CompoundFile::parse(reinterpret_cast<const std::uint8_t*>(a.data()), a.size());
            const CompoundFile after = CompoundFile::parse(reinterpret_cast<const std::uint8_t*>(b.data()), b.size());
            EXPECT_EQ(after.root().clsid, before.root().clsid);
            ASSERT_EQ(after.root().children.size(), before.root().children.size());
            int others = 0;
            for (const CfbEntry& e : before.root().children) {
                if (e.name == u"Workbook") continue;
                ++others;
                ASSERT_NE(after.root().child(e.name), nullptr) << toUtf8(e.name);
                EXPECT_EQ(after.root().child(e.name)->data, e.data) << toUtf8(e.name);
            }
            EXPECT_GT(others, 0) << "the sample has document property streams";
        }
        const Workbook again = Workbook::load(out);
        ASSERT_EQ(again.sheetCount(), sample.sheetNames.size() + 1);
        for (std::size_t i = 0; i < sample.sheetNames.size(); ++i) expectSameGrid(again.cells(i), book.cells(i));
        expectSameGrid(again.cells(contacts), grid);

        if (!haveXlrd()) continue;
        const auto x = readWithXlrd({original, out});
        ASSERT_TRUE(x[0].ok && x[1].ok) << x[0].error << x[1].error;
        ASSERT_EQ(x[1].sheets.size(), sample.sheetNames.size() + 1);
        for (std::size_t i = 0; i < sample.sheetNames.size(); ++i) {
            EXPECT_EQ(x[1].sheets[i].name, x[0].sheets[i].name);
            EXPECT_EQ(x[1].sheets[i].cells, x[0].sheets[i].cells) << "sheet " << i << " changed";
        }
        EXPECT_EQ(x[1].sheets.back().name, "Contacts");
        expectXlrdSheet(x[1].sheets.back(), grid);
    }
}

TEST(Workbook, ReplacingASheetOfAnExcelMadeWorkbook) {
    const fs::path original = samplePath("Test97.xls");
    if (original.empty()) GTEST_SKIP() << "samples not found under " << VORLIX_SHARED_DIR;
    Workbook book = Workbook::load(original);
    Grid& second = book.editCells(1);
    second.clear();
    fill(second, {{u"replaced"}, {u"\u00E9"}});
    const fs::path out = scratchDir() / "replaced.xls";
    book.save(out);
    if (!haveXlrd()) GTEST_SKIP() << "python3-xlrd is not installed";
    const auto x = readWithXlrd({original, out});
    ASSERT_TRUE(x[1].ok) << x[1].error;
    EXPECT_EQ(x[1].sheets.at(0).cells, x[0].sheets.at(0).cells);
    expectXlrdSheet(x[1].sheets.at(1), second);
}

// Damaged files: each gives a FormatError with a message, never a crash.
TEST(Workbook, DamagedFilesAreRejectedWithAMessage) {
    Workbook book;
    fill(book.editCells(book.addSheet(u"S")), {{u"a", u"b"}, {u"c", pattern(5000, u"d")}});
    const std::vector<std::uint8_t> good = book.toBytes();
    ASSERT_NO_THROW(Workbook::parse(good.data(), good.size()));

    using Bytes = std::vector<std::uint8_t>;
    struct Case {
        const char* name;
        std::function<void(Bytes&)> damage;
    };
    const std::vector<Case> cases = {
        {"empty", [](Bytes& b) { b.clear(); }},
        {"text file", [](Bytes& b) { b.assign({'h', 'e', 'l', 'l', 'o'}); }},
        {"truncated header", [](Bytes& b) { b.resize(300); }},
        {"wrong signature", [](Bytes& b) { b[0] = 0; }},
        {"header only", [](Bytes& b) { b.resize(512); }},
        {"FAT sector out of range", [](Bytes& b) { b[76] = 0xF0, b[77] = 0xFF; }},
        {"directory chain loops", [&](Bytes& b) {
             // Point the directory's FAT entry at itself.
             const std::uint32_t dir = b[48] | b[49] << 8;
             const std::uint32_t fat = b[76] | b[77] << 8;
             const std::size_t at = 512 + fat * 512 + dir * 4;
             b[at] = static_cast<std::uint8_t>(dir), b[at + 1] = static_cast<std::uint8_t>(dir >> 8), b[at + 2] = 0, b[at + 3] = 0;
         }},
        {"every byte after the header zeroed", [](Bytes& b) { std::fill(b.begin() + 512, b.end(), 0); }},
        {"cut in half", [](Bytes& b) { b.resize(b.size() / 2); }},
    };
    for (const Case& c : cases) {
        Bytes b = good;
        c.damage(b);
        try {
            Workbook::parse(b.data(), b.size());
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const FormatError& e) {
            EXPECT_GT(std::string(e.what()).size(), 10u) << c.name;
        }
    }
    // Random damage: any outcome but a crash; an accepted file must still read and write.
    std::mt19937 random(1234);
    for (int round = 0; round < 300; ++round) {
        Bytes b = good;
        for (int k = 0; k < 1 + round % 8; ++k) b[random() % b.size()] = static_cast<std::uint8_t>(random());
        try {
            Workbook w = Workbook::parse(b.data(), b.size());
            for (std::size_t i = 0; i < w.sheetCount(); ++i) (void)w.cells(i);
            (void)w.toBytes();
        } catch (const Error&) {
        }
    }
}

TEST(Workbook, OlderAndEncryptedWorkbooksAreNamedInTheError) {
    auto workbookWith = [](std::vector<std::uint8_t> stream, const char16_t* name) {
        CompoundFile file;
        CfbEntry e;
        e.name = name;
        e.data = std::move(stream);
        file.root().children.push_back(e);
        return file.toBytes();
    };
    // A BIFF5 BOF in a "Book" stream, a BIFF8 BOF followed by FilePass.
    const auto biff5 = workbookWith({0x09, 0x08, 0x08, 0x00, 0x00, 0x05, 0x05, 0x00}, u"Book");
    const auto encrypted = workbookWith({0x09, 0x08, 0x10, 0x00, 0x00, 0x06, 0x05, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                         0x2F, 0x00, 0x02, 0x00, 0x00, 0x00},
                                        u"Workbook");
    try {
        Workbook::parse(biff5.data(), biff5.size());
        ADD_FAILURE() << "BIFF5 accepted";
    } catch (const FormatError& e) {
        EXPECT_NE(std::string(e.what()).find("Excel 5.0/95"), std::string::npos) << e.what();
    }
    try {
        Workbook::parse(encrypted.data(), encrypted.size());
        ADD_FAILURE() << "encrypted workbook accepted";
    } catch (const FormatError& e) {
        EXPECT_NE(std::string(e.what()).find("password"), std::string::npos) << e.what();
    }
}

namespace {

struct RecordBuilder {
    std::vector<std::uint8_t> bytes;
    RecordBuilder& record(std::uint16_t type, std::initializer_list<std::vector<std::uint8_t>> parts) {
        std::vector<std::uint8_t> data;
        for (const auto& p : parts) data.insert(data.end(), p.begin(), p.end());
        bytes.push_back(static_cast<std::uint8_t>(type)), bytes.push_back(static_cast<std::uint8_t>(type >> 8));
        bytes.push_back(static_cast<std::uint8_t>(data.size())), bytes.push_back(static_cast<std::uint8_t>(data.size() >> 8));
        bytes.insert(bytes.end(), data.begin(), data.end());
        return *this;
    }
};
std::vector<std::uint8_t> le16(std::uint32_t v) { return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)}; }
std::vector<std::uint8_t> le32(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
            static_cast<std::uint8_t>(v >> 24)};
}
std::vector<std::uint8_t> f64(double d) {
    std::vector<std::uint8_t> b(8);
    std::memcpy(b.data(), &d, 8);
    return b;
}
// Row, column and XF of a cell record (XF 15 is the cell XF our writer emits).
std::vector<std::uint8_t> at(std::uint32_t row, std::uint32_t col) {
    auto b = le16(row);
    for (auto x : le16(col)) b.push_back(x);
    for (auto x : le16(15)) b.push_back(x);
    return b;
}
std::vector<std::uint8_t> formulaTail() { return {0, 0, 0, 0, 0, 0, 3, 0, 0x1E, 1, 0}; }  // flags, chn, "=1"
std::vector<std::uint8_t> specialResult(std::uint8_t kind, std::uint8_t value) {
    return {kind, 0, value, 0, 0, 0, 0xFF, 0xFF};
}

}  // namespace

// Every cell record kind Excel writes, built by hand (the samples lack several): each
// value reads as text, and xlrd reads the same file.
TEST(Workbook, EveryCellRecordKindReadsAsText) {
    // Globals from our own writer; the sheet substream replaced by the records under test.
    Workbook base;
    base.editCells(base.addSheet(u"Kinds")).set(0, 0, u"shared text");
    const auto baseBytes = base.toBytes();
    CompoundFile file = CompoundFile::parse(baseBytes.data(), baseBytes.size());
    std::vector<std::uint8_t>& stream = file.root().child(u"Workbook")->data;
    std::size_t pos = 0, sheetAt = 0;
    while (pos + 4 <= stream.size()) {
        const std::uint16_t type = stream[pos] | stream[pos + 1] << 8;
        const std::uint16_t size = stream[pos + 2] | stream[pos + 3] << 8;
        if (type == 0x0085) sheetAt = stream[pos + 4] | stream[pos + 5] << 8 | stream[pos + 6] << 16;
        pos += 4 + size;
        if (type == 0x000A) break;
    }
    ASSERT_EQ(sheetAt, pos);
    stream.resize(sheetAt);

    RecordBuilder s;
    s.record(0x0809, {le16(0x0600), le16(0x0010), le32(0), le32(0), le32(0)});
    s.record(0x0200, {le32(0), le32(12), le16(0), le16(6), le16(0)});
    s.record(0x00FD, {at(0, 0), le32(0)});                                          // LabelSst
    s.record(0x0204, {at(0, 1), le16(5), {1}, {0x41, 0, 0x42, 0, 0xE9, 0, 0x00, 0x4E, 0xFC, 0x00}});  // Label, wide
    s.record(0x00D6, {at(0, 2), le16(4), {0}, {'r', 'i', 'c', 'h'}, le16(0)});        // RString
    s.record(0x027E, {at(1, 0), le32((12345u << 2) | 2)});                            // RK integer
    s.record(0x027E, {at(1, 1), le32((129u << 2) | 3)});                              // RK integer / 100
    s.record(0x027E, {at(1, 2), le32(0x3FE00000)});                                   // RK double 0.5
    s.record(0x027E, {at(1, 3), le32(static_cast<std::uint32_t>(-7 * 4) | 2)});       // RK negative
    s.record(0x00BD, {le16(2), le16(0), le16(15), le32((1u << 2) | 2), le16(15), le32((2u << 2) | 2), le16(15),
                      le32(0x40090000), le16(2)});                                     // MulRk: 1, 2, 3.125
    s.record(0x0203, {at(3, 0), f64(1234567.89012345)});                              // Number
    s.record(0x0203, {at(3, 1), f64(-1e-300)});
    s.record(0x0203, {at(3, 2), f64(1e21)});
    s.record(0x0006, {at(4, 0), f64(2.5), formulaTail()});                             // Formula, number
    s.record(0x0006, {at(4, 1), specialResult(0, 0), formulaTail()});                  // Formula, text ...
    s.record(0x0207, {le16(6), {0}, {'f', 'o', 'r', 'm', 'u', 'l'}});                  // ... in a String
    s.record(0x0006, {at(4, 2), specialResult(1, 1), formulaTail()});                  // Formula, TRUE
    s.record(0x0006, {at(4, 3), specialResult(2, 0x07), formulaTail()});               // Formula, #DIV/0!
    s.record(0x0006, {at(4, 4), specialResult(3, 0), formulaTail()});                  // Formula, empty text
    s.record(0x0205, {at(5, 0), {0, 0}});                                             // BoolErr FALSE
    s.record(0x0205, {at(5, 1), {0x2A, 1}});                                          // BoolErr #N/A
    s.record(0x0201, {at(6, 0)});                                                     // Blank
    s.record(0x00BE, {le16(6), le16(1), le16(15), le16(15), le16(2)});               // MulBlank
    // A chart embedded in the sheet: its records are not cells of the sheet.
    s.record(0x0809, {le16(0x0600), le16(0x0020), le32(0), le32(0), le32(0)});
    s.record(0x0203, {at(9, 0), f64(99)});
    s.record(0x000A, {});
    s.record(0x023E, {le16(0x06B6), le16(0), le16(0), le16(64), le16(0), le16(0), le16(0), le32(0)});
    s.record(0x000A, {});
    stream.insert(stream.end(), s.bytes.begin(), s.bytes.end());

    const fs::path path = scratchDir() / "kinds.xls";
    {
        std::ofstream out(path, std::ios::binary);
        file.write(out);
    }
    const Workbook book = Workbook::load(path);
    const Grid& g = book.cells(0);
    const std::vector<std::vector<std::string>> expected = {
        {"shared text", toUtf8(u"AB\u00E9\u4E00\u00FC"), "rich"},
        {"12345", "1.29", "0.5", "-7"},
        {"1", "2", "3.125"},
        {"1234567.89012345", "-1e-300", "1e+21"},
        {"2.5", "formul", "TRUE", "#DIV/0!", ""},
        {"FALSE", "#N/A"},
    };
    for (std::uint32_t r = 0; r < expected.size(); ++r)
        for (std::uint32_t c = 0; c < expected[r].size(); ++c)
            EXPECT_EQ(toUtf8(g.get(r, c)), expected[r][c]) << "row " << r << " column " << c;
    EXPECT_EQ(g.rowCount(), 12u) << "rows reach the Dimensions record's last row";
    EXPECT_TRUE(g.get(9, 0).empty()) << "a chart's records are not cells";

    if (!haveXlrd()) GTEST_SKIP() << "python3-xlrd is not installed";
    const XlrdBook x = readWithXlrd(path);
    ASSERT_TRUE(x.ok) << x.error;
    const auto& cells = x.sheets.at(0).cells;
    EXPECT_EQ(cells.at({0, 1}).second, expected[0][1]);
    EXPECT_EQ(cells.at({1, 1}).second, "1.29");
    EXPECT_EQ(cells.at({2, 2}).second, "3.125");
    EXPECT_EQ(cells.at({4, 1}).second, "formul");
    EXPECT_EQ(cells.at({4, 3}).first, 5) << "xlrd sees the error too";
}

// The grid against a plain map of cells, under random sets, overwrites and range clears.
TEST(Grid, MatchesAReferenceModelUnderRandomEdits) {
    std::mt19937 random(42);
    Grid grid;
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::u16string> model;
    auto pick = [&random](std::uint32_t n) { return static_cast<std::uint32_t>(random() % n); };
    for (int step = 0; step < 20000; ++step) {
        // Rows cluster near the top and in one far block, so blocks are both shared and lone.
        const std::uint32_t row = pick(4) == 0 ? 65000 + pick(536) : pick(600);
        const std::uint32_t col = pick(10) == 0 ? pick(256) : pick(12);
        if (pick(50) == 0) {
            const std::uint32_t r1 = row + pick(300), c1 = std::min<std::uint32_t>(255, col + pick(8));
            grid.clear(row, col, std::min<std::uint32_t>(r1, 65535), c1);
            for (auto it = model.begin(); it != model.end();)
                it = it->first.first >= row && it->first.first <= r1 && it->first.second >= col && it->first.second <= c1
                         ? model.erase(it)
                         : std::next(it);
            continue;
        }
        std::u16string text = pick(5) == 0 ? u"" : std::u16string(pick(20), static_cast<char16_t>(u'a' + pick(26)));
        grid.set(row, col, text);
        if (text.empty()) model.erase({row, col});
        else model[{row, col}] = text;
    }
    std::uint32_t lastRow = 0, lastCol = 0;
    for (const auto& [at, text] : model) {
        ASSERT_EQ(grid.get(at.first, at.second), text) << at.first << "," << at.second;
        lastRow = std::max(lastRow, at.first + 1);
        lastCol = std::max(lastCol, at.second + 1);
    }
    std::size_t filled = 0;
    for (std::uint32_t r = 0; r < grid.rowCount(); ++r)
        for (std::uint32_t c = 0; c < grid.rowWidth(r); ++c) filled += grid.get(r, c).empty() ? 0 : 1;
    EXPECT_EQ(filled, model.size());
    EXPECT_GE(grid.rowCount(), lastRow);
    EXPECT_GE(grid.columnCount(), lastCol);
    grid.clear(0, 0, 65535, 255);
    EXPECT_EQ(grid.rowCount(), 0u);
    EXPECT_EQ(grid.columnCount(), 0u);
}

// A whole row at once gives the row that setting its cells one by one gives.
TEST(Grid, SetRowMatchesSettingEachCell) {
    std::mt19937 random(7);
    auto pick = [&random](std::uint32_t n) { return static_cast<std::uint32_t>(random() % n); };
    Grid byRow, byCell;
    for (int step = 0; step < 3000; ++step) {
        const std::uint32_t row = pick(400);
        const std::uint32_t column = pick(8) == 0 ? 250 : pick(6);
        std::vector<std::u16string> texts(pick(12));
        for (auto& t : texts)
            if (pick(3)) t = std::u16string(pick(9) + 1, static_cast<char16_t>(u'a' + pick(26)));
        std::vector<std::u16string_view> views(texts.begin(), texts.end());
        std::string error[2];
        try {
            byRow.setRow(row, column, views.data(), views.size());
        } catch (const LimitError& e) {
            error[0] = e.what();
        }
        try {
            for (std::size_t i = 0; i < views.size(); ++i) byCell.set(row, column + static_cast<std::uint32_t>(i), views[i]);
        } catch (const LimitError& e) {
            error[1] = e.what();
        }
        ASSERT_EQ(error[0], error[1]);
    }
    ASSERT_EQ(byRow.rowCount(), byCell.rowCount());
    ASSERT_EQ(byRow.columnCount(), byCell.columnCount());
    for (std::uint32_t r = 0; r < byCell.rowCount(); ++r) {
        ASSERT_EQ(byRow.rowWidth(r), byCell.rowWidth(r)) << r;
        const Grid::RowCells cells = byRow.cellsOf(r);
        ASSERT_EQ(cells.width(), byCell.rowWidth(r));
        for (std::uint32_t c = 0; c < byCell.rowWidth(r); ++c) {
            ASSERT_EQ(byRow.get(r, c), byCell.get(r, c)) << r << "," << c;
            ASSERT_EQ(cells[c], byCell.get(r, c));
            ASSERT_EQ(cells.empty(c), byCell.get(r, c).empty());
        }
    }
}
