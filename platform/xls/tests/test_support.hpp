#pragma once
// Helpers for the workbook tests: scratch folders, and the independent readers (xlrd and
// LibreOffice) run on the files we write.
#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace vorlix::xls::test {

// A fresh, empty folder for the running test.
std::filesystem::path scratchDir();

// The Excel-made samples, or an empty path when they are not at hand.
std::filesystem::path samplePath(const char* name);

// What xlrd saw in a workbook: sheet names and every non-empty cell as UTF-8 text.
struct XlrdSheet {
    std::string name;
    int rows = 0;
    int columns = 0;
    // (row, column) -> (xlrd cell type, value as text; numbers as Python's repr)
    std::map<std::pair<int, int>, std::pair<int, std::string>> cells;
};
struct XlrdBook {
    bool ok = false;
    std::string error;  // xlrd's complaint when !ok
    std::vector<XlrdSheet> sheets;
};

bool haveXlrd();
// Reads each file with /usr/bin/python3 + xlrd in one interpreter run.
std::vector<XlrdBook> readWithXlrd(const std::vector<std::filesystem::path>& files);
XlrdBook readWithXlrd(const std::filesystem::path& file);

// Runs a shell command; returns its exit status and fills `output` (stdout + stderr).
int run(const std::string& command, std::string* output = nullptr);

// Parses RFC 4180 CSV (LibreOffice's export) into rows of cells.
std::vector<std::vector<std::string>> parseCsv(const std::string& text);

std::string readFile(const std::filesystem::path& path);

}  // namespace vorlix::xls::test
