// Writing speed of the workbook library: 60,000 contacts x 66 columns written to .xls
// (through the workbook model, and through the driver's SQL statements as the spreadsheet
// writer issues them), compared in the same run with LibreOffice converting the same rows
// from CSV to .xls.
//
//   vorlix_xls_bench [--rows N] [--out FOLDER] [--no-soffice]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "vorlix/xls/excel_driver.hpp"
#include "vorlix/xls/unicode.hpp"
#include "vorlix/xls/workbook.hpp"

namespace fs = std::filesystem;
using namespace vorlix::xls;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kColumns = 66;

double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Contact-like rows: names and places repeat, e-mail addresses and phone numbers are
// unique, about half of the 66 fields are empty as in real address books.
std::vector<std::vector<std::u16string>> makeRows(int count) {
    const char16_t* first[] = {u"Anna", u"Bj\u00F6rn", u"Chlo\u00E9", u"David", u"Emma", u"Fran\u00E7ois", u"\u592A\u90CE", u"Mar\u00EDa"};
    const char16_t* last[] = {u"Smith", u"O'Hara", u"M\u00FCller", u"Garc\u00EDa", u"\u5C71\u7530", u"Novak", u"Dubois"};
    const char16_t* city[] = {u"Berlin", u"Paris", u"Tokyo", u"New York", u"S\u00E3o Paulo", u"Z\u00FCrich"};
    std::vector<std::vector<std::u16string>> rows;
    std::vector<std::u16string> header;
    for (int c = 0; c < kColumns; ++c) header.push_back(u"Field" + fromUtf8(std::to_string(c + 1)));
    header[0] = u"FirstName", header[1] = u"LastName", header[2] = u"MailAddress", header[3] = u"OfficePhoneNumber";
    rows.push_back(header);
    for (int r = 0; r < count; ++r) {
        std::vector<std::u16string> row(kColumns);
        const std::u16string n = fromUtf8(std::to_string(r));
        row[0] = first[r % 8];
        row[1] = last[r % 7];
        row[2] = u"contact" + n + u"@example.com";
        row[3] = u"+49 30 " + fromUtf8(std::to_string(1000000 + r * 7));
        for (int c = 4; c < kColumns; ++c) {
            if ((r + c) % 2) continue;
            switch (c % 5) {
                case 0: row[c] = city[(r + c) % 6]; break;
                case 1: row[c] = u"Note " + n + u" \"quoted\", line\r\nnext"; break;
                case 2: row[c] = fromUtf8(std::to_string(r * 31 + c)); break;
                case 3: row[c] = u"Company " + fromUtf8(std::to_string(r % 500)); break;
                default: row[c] = u"CN=" + std::u16string(first[r % 8]) + u" " + last[c % 7] + u"/O=Org"; break;
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::u16string sqlText(const std::u16string& s) {
    std::u16string out;
    for (const char16_t c : s) {
        out += c;
        if (c == u'\'') out += u'\'';
    }
    return out;
}

std::string csvCell(const std::u16string& s) {
    std::string out = "\"";
    for (const char c : toUtf8(s)) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

}  // namespace

int main(int argc, char** argv) {
    int rowCount = 60000;
    fs::path out = fs::temp_directory_path() / "vorlix-xls-bench";
#ifdef _WIN32
    bool soffice = false;  // LibreOffice runs on the Linux side only
#else
    bool soffice = true;
#endif
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--rows" && i + 1 < argc) rowCount = std::atoi(argv[++i]);
        else if (a == "--out" && i + 1 < argc) out = argv[++i];
        else if (a == "--no-soffice") soffice = false;
        else {
            std::cerr << "usage: vorlix_xls_bench [--rows N] [--out FOLDER] [--no-soffice]\n";
            return 2;
        }
    }
    fs::create_directories(out);
    const auto rows = makeRows(rowCount);
    std::printf("%d rows x %d columns\n", rowCount, kColumns);

    // 1. The workbook model: fill the cells, save.
    auto start = Clock::now();
    double filled = 0, model = 0;
    {
        Workbook book;
        Grid& grid = book.editCells(book.addSheet(u"Contacts"));
        for (std::uint32_t r = 0; r < rows.size(); ++r)
            for (std::uint32_t c = 0; c < rows[r].size(); ++c) grid.set(r, c, rows[r][c]);
        filled = seconds(start);
        book.save(out / "model.xls");
        model = seconds(start);
    }
    std::printf("workbook model -> .xls:        %7.3f s  (cells %.3f s, save %.3f s; %.1f MB)\n", model, filled,
                model - filled, static_cast<double>(fs::file_size(out / "model.xls")) / 1e6);

    // 2. The driver: CREATE TABLE, one INSERT per row, close (one connection).
    fs::remove(out / "sql.xls");
    double executing = 0, closing = 0;
    start = Clock::now();
    {
        ExcelConnection db(out / "sql.xls", true);
        std::u16string create = u"CREATE TABLE [Contacts] (";
        std::u16string columns;
        for (const auto& name : rows[0]) {
            create += u"[" + name + u"] char(255), ";
            columns += u"[" + name + u"], ";
        }
        create.resize(create.size() - 2);
        columns.resize(columns.size() - 2);
        db.execute(create + u")");
        for (std::size_t b = 1; b < rows.size(); ++b) {
            std::u16string insert = u"INSERT INTO [Contacts$A1:IV" + fromUtf8(std::to_string(b)) + u"] (" + columns + u") VALUES (";
            for (const auto& cell : rows[b]) insert += u"'" + sqlText(cell) + u"', ";
            insert.resize(insert.size() - 2);
            insert += u")";
            const auto run = Clock::now();
            db.execute(insert);
            executing += seconds(run);
        }
        const auto run = Clock::now();
        db.close();
        closing = seconds(run);
    }
    const double sql = seconds(start);
    std::printf("SQL statements -> .xls:        %7.3f s  (executing %.3f s, close %.3f s, the rest building "
                "statement texts)\n", sql, executing, closing);

    if (!soffice) return 0;
    // 3. LibreOffice converting the same rows from CSV (UTF-8, comma, double quotes).
    {
        std::ofstream csv(out / "contacts.csv", std::ios::binary);
        for (const auto& row : rows) {
            for (std::size_t c = 0; c < row.size(); ++c) csv << (c ? "," : "") << csvCell(row[c]);
            csv << "\r\n";
        }
    }
    const std::string command = "cd '" + out.string() + "' && soffice --headless --norestore -env:UserInstallation=file://" +
                                (out / "lo-profile").string() +
                                " --infilter=CSV:44,34,76 --convert-to xls --outdir lo contacts.csv >/dev/null 2>&1";
    start = Clock::now();
    const int status = std::system(command.c_str());
    const double lo = seconds(start);
    if (status != 0 || !fs::exists(out / "lo" / "contacts.xls")) {
        std::printf("LibreOffice conversion failed or soffice is missing (status %d)\n", status);
        return 0;
    }
    std::printf("soffice CSV -> .xls:           %7.3f s  (%.1f MB)\n", lo,
                static_cast<double>(fs::file_size(out / "lo" / "contacts.xls")) / 1e6);
    std::printf("speed-up: model %.1fx, SQL %.1fx\n", lo / model, lo / sql);
    return 0;
}
