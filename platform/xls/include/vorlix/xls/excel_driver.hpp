#pragma once
// The statement engine of our in-process Excel ODBC driver: a connection to one workbook
// file, the SQL subset the spreadsheet writer issues, results as text.
//
//   SELECT * | col, ... FROM table
//   DROP TABLE table
//   CREATE TABLE table (col type[(n)], ...)
//   INSERT INTO table [(col, ...)] VALUES ('text' | NULL | number, ...)
//
// A table is written [Name$A1:IV65536] (a range of sheet Name whose first row holds the
// column names), [Name$] (the whole sheet) or [Name] / Name (the sheet itself). Names may
// also be quoted with backticks. String literals double a quote to contain one ('O''Hara').
//
// DROP TABLE on a range empties that range and keeps the sheet; DROP TABLE on a bare sheet
// name removes the sheet, or empties it when the workbook has no other sheet or holds
// references by sheet position (defined names, external sheet references) that removing
// it would break. CREATE TABLE adds the sheet when missing and writes the header row; it
// fails when the header cells are already taken. INSERT adds the row after the last used
// row of the sheet. Every column is text.
//
// Nothing touches the file until commit() or close(): the whole workbook is then written
// to a temporary file in the same folder and renamed over the target.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vorlix::xls {

class Workbook;

// An error in ODBC's terms: a five-character SQLSTATE and a message that starts with
// "[Vorlix][Excel Driver] ". what() is the message in UTF-8.
class DriverError : public std::runtime_error {
public:
    DriverError(std::string sqlState, const std::string& message);
    const std::string& sqlState() const { return sqlState_; }

private:
    std::string sqlState_;
};

struct ResultSet {
    std::vector<std::u16string> columns;
    std::vector<std::vector<std::u16string>> rows;  // each as wide as columns
};

// The connection string keys our driver honours. Keys are case-insensitive; values may be
// quoted with "..." or {...}.
struct ConnectionSettings {
    std::u16string driver;          // DRIVER
    std::filesystem::path path;     // DBQ, else CREATE_DB
    bool createIfMissing = false;   // CREATE_DB given (names the file to create when absent)
    bool readOnly = false;          // READONLY=TRUE / 1
};
// Throws DriverError (IM/HY state) when no workbook path is given.
ConnectionSettings parseConnectionString(std::u16string_view connectionString);

class ExcelConnection {
public:
    // Reads the workbook; a missing file is a new empty workbook when createIfMissing.
    // Throws DriverError: missing file, file that can't be opened (locked, no access),
    // damaged or unsupported workbook.
    ExcelConnection(const std::filesystem::path& path, bool createIfMissing, bool readOnly = false);
    explicit ExcelConnection(const ConnectionSettings& settings);
    // Closes without writing when close() was not called: an unfinished connection must
    // not replace the file behind the caller's back.
    ~ExcelConnection();
    ExcelConnection(const ExcelConnection&) = delete;
    ExcelConnection& operator=(const ExcelConnection&) = delete;

    // Runs one statement. SELECT fills the result; the others leave it empty and return
    // the number of rows they affected in rowsAffected. Throws DriverError; a failed
    // statement changes nothing.
    ResultSet execute(std::u16string_view statement, std::int64_t* rowsAffected = nullptr);

    // Writes the workbook when a statement changed it. Throws DriverError.
    void commit();
    // commit() and release the workbook; later calls throw.
    void close();

    bool isOpen() const;
    const Workbook& workbook() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vorlix::xls
