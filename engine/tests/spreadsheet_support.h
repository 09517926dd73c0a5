// Shared pieces of the spreadsheet writer's tests: scratch folders, arrays, a driver that
// records what the writer asks of it, a stand-in for the installed ODBC driver list, and
// the contacts the end-to-end tests write.
#pragma once

#include <gtest/gtest.h>

#include <framework.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ExcelDriver.h"
#include "SpreadsheetWriter.h"

namespace sheettest {

namespace fs = std::filesystem;

using Row = std::vector<std::wstring>;
using Table = std::vector<Row>;

// An empty folder of its own under the temporary folder, named after the running test.
fs::path ScratchDir();
// The folder the Linux-side readers look in (build/artifacts/xls), created when missing.
fs::path ArtifactDir();
// A path as the writer gets it from the program: a Windows path in a CString.
CString PathText(const fs::path& path);

CStringArray Array(const Row& cells);
Row Items(const CStringArray& cells);
// Every row ReadRow gives, from row 1 to the last.
Table ReadAll(CSpreadsheetWriter& writer);

std::string FileBytes(const fs::path& path);
void WriteBytes(const fs::path& path, const std::string& bytes);
// The text as UTF-16 little-endian bytes, as a text file of the writer holds it.
std::string Utf16(const std::wstring& text);

// The sheet's cells as the workbook library reads them (first row = column names).
Table SheetCells(const fs::path& workbook, const std::wstring& sheet);
std::vector<std::wstring> SheetNames(const fs::path& workbook);

// Adds one contact as the contact writing does in spreadsheet mode: the row, and when the
// writer has no header row yet, the header row first.
void WriteContact(CSpreadsheetWriter& writer, const Row& names, const Row& values);

// The 66 column names of a contact record, and contact rows with awkward values
// (apostrophes, quotes, separators, non-ASCII, texts of 255 characters and more).
Row ContactColumns();
Table Contacts(int first, int count);

// Writes {"sheet": ..., "rows": [...]} for the Linux-side checker: the values the writer
// was given, which the independent readers must find in the file.
void WriteExpectation(const fs::path& file, const std::wstring& sheet, const Table& rows);

// While alive, connections to our Excel driver go through a recorder that keeps the
// connection strings and statements and passes them on to the real driver.
class DriverRecorder {
 public:
  DriverRecorder();
  ~DriverRecorder();
  std::vector<std::wstring> connections;
  std::vector<std::wstring> statements;
  // Statements from index `from` on.
  std::vector<std::wstring> Since(size_t from) const;
};

// While alive, this process sees a registry of its own in place of HKLM whose ODBC
// installer list holds just these driver descriptions (none at all: no list).
class InstalledDrivers {
 public:
  explicit InstalledDrivers(const std::vector<const wchar_t*>& descriptions, bool noList = false);
  ~InstalledDrivers();

 private:
  HKEY m_root = nullptr;
  std::wstring m_rootPath;
};

}  // namespace sheettest
