#include "test_support.hpp"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace vorlix::xls::test {

namespace {

const char* const kDumpScript = R"PY(
import sys, xlrd
out = open(sys.argv[1], 'w')
def hexs(s):
    return s.encode('utf-8', 'surrogatepass').hex()
for path in sys.argv[2:]:
    try:
        book = xlrd.open_workbook(path)
    except Exception as e:
        out.write('E\t%s\n' % hexs(repr(e)))
        continue
    out.write('B\n')
    for s in book.sheets():
        out.write('S\t%s\t%d\t%d\n' % (hexs(s.name), s.nrows, s.ncols))
        for r in range(s.nrows):
            for c, cell in enumerate(s.row(r)):
                if cell.ctype == xlrd.XL_CELL_EMPTY:
                    continue
                v = cell.value if cell.ctype == xlrd.XL_CELL_TEXT else repr(cell.value)
                out.write('C\t%d\t%d\t%d\t%s\n' % (r, c, cell.ctype, hexs(v)))
out.close()
)PY";

std::string unhex(const std::string& h) {
    std::string s;
    for (std::size_t i = 0; i + 1 < h.size(); i += 2) s += static_cast<char>(std::stoi(h.substr(i, 2), nullptr, 16));
    return s;
}

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> parts;
    std::stringstream in(line);
    std::string p;
    while (std::getline(in, p, '\t')) parts.push_back(p);
    return parts;
}

}  // namespace

namespace {
// Scratch folders go when the test program ends.
struct ScratchFolders {
    std::vector<fs::path> made;
    ~ScratchFolders() {
        for (const auto& dir : made) {
            std::error_code ignored;
            fs::remove_all(dir, ignored);
        }
    }
};
ScratchFolders scratchFolders;
}  // namespace

fs::path scratchDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "scratch";
    for (char& c : name)
        if (c == '/') c = '_';
    const fs::path dir = fs::temp_directory_path() / ("vorlix-xls-" + std::to_string(::getpid()) + "-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    scratchFolders.made.push_back(dir);
    return dir;
}

fs::path samplePath(const char* name) {
    const fs::path p = fs::path(VORLIX_SHARED_DIR) / "samples" / "xls" / name;
    return fs::exists(p) ? p : fs::path();
}

int run(const std::string& command, std::string* output) {
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    std::string text;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) text.append(buf, n);
    const int status = ::pclose(pipe);
    if (output) *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool haveXlrd() {
    static const bool have = run("/usr/bin/python3 -c 'import xlrd'") == 0;
    return have;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<XlrdBook> readWithXlrd(const std::vector<fs::path>& files) {
    const fs::path dir = fs::temp_directory_path() / ("vorlix-xlrd-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path script = dir / "dump.py";
    const fs::path result = dir / "dump.txt";
    std::ofstream(script) << kDumpScript;
    std::string command = "/usr/bin/python3 '" + script.string() + "' '" + result.string() + "'";
    for (const auto& f : files) command += " '" + f.string() + "'";
    std::string output;
    const int status = run(command, &output);
    std::vector<XlrdBook> books;
    if (status != 0) {
        ADD_FAILURE() << "xlrd run failed: " << output;
        books.resize(files.size());
        return books;
    }
    std::ifstream in(result);
    std::string line;
    while (std::getline(in, line)) {
        const auto parts = split(line);
        if (parts.empty()) continue;
        if (parts[0] == "E") {
            books.emplace_back();
            books.back().error = parts.size() > 1 ? unhex(parts[1]).substr(0, 400) : "?";
        } else if (parts[0] == "B") {
            books.emplace_back();
            books.back().ok = true;
        } else if (parts[0] == "S" && parts.size() >= 4) {
            XlrdSheet s;
            s.name = unhex(parts[1]);
            s.rows = std::stoi(parts[2]);
            s.columns = std::stoi(parts[3]);
            books.back().sheets.push_back(std::move(s));
        } else if (parts[0] == "C" && parts.size() >= 4) {
            books.back().sheets.back().cells[{std::stoi(parts[1]), std::stoi(parts[2])}] = {
                std::stoi(parts[3]), parts.size() > 4 ? unhex(parts[4]) : std::string()};
        }
    }
    fs::remove_all(dir);
    books.resize(files.size());
    return books;
}

XlrdBook readWithXlrd(const fs::path& file) { return readWithXlrd(std::vector<fs::path>{file}).front(); }

std::vector<std::vector<std::string>> parseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row;
    std::string cell;
    bool quoted = false, any = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                cell += c;
            }
            continue;
        }
        any = true;
        if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row.push_back(std::move(cell));
            cell.clear();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            row.push_back(std::move(cell));
            cell.clear();
            rows.push_back(std::move(row));
            row.clear();
            any = false;
        } else {
            cell += c;
        }
    }
    if (any || !cell.empty() || !row.empty()) {
        row.push_back(std::move(cell));
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace vorlix::xls::test
