#pragma once
// Parser for the statements of our Excel driver (see excel_driver.hpp for the language).
#include <cstdint>
#include <forward_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vorlix::xls::detail {

// A syntax error; the text says what was expected and where.
class SyntaxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A table name: a sheet, optionally with "$" and a range of it.
struct TableRef {
    std::u16string_view text;   // as written, for messages
    std::u16string_view sheet;
    bool dollar = false;        // "Sheet$..." rather than a bare sheet name
    std::uint32_t firstRow = 0, firstColumn = 0;   // zero-based, inclusive
    std::uint32_t lastRow = 65535, lastColumn = 255;
};

// Names and values are views into the statement text, or into the parse's storage for
// literals that had doubled quotes.
struct SelectStatement {
    TableRef table;
    std::vector<std::u16string_view> columns;  // empty for *
};
struct DropStatement {
    TableRef table;
};
struct CreateStatement {
    TableRef table;
    std::vector<std::u16string_view> columns;
};
struct InsertStatement {
    TableRef table;
    std::vector<std::u16string_view> columns;  // empty: all columns in order
    std::vector<std::u16string_view> values;   // NULL reads as empty text
};

using Statement = std::variant<SelectStatement, DropStatement, CreateStatement, InsertStatement>;

// The result refers to `sql` and `storage`, which must outlive it.
Statement parseStatement(std::u16string_view sql, std::forward_list<std::u16string>& storage);

// The INSERT form that a table's rows arrive in, one statement per row:
//   INSERT INTO [table] ([name], [name], ...) VALUES ('text', 'text', ...)
// scanned in one pass without tokens. Every part refers to the statement text, except
// values that had doubled quotes, which refer to `unescaped`.
struct BulkInsert {
    std::u16string_view table;       // inside the brackets
    std::u16string_view columnList;  // "(" through ")" as written: the same text names the same columns
    std::vector<std::u16string_view> columns;
    std::vector<std::u16string_view> values;
    std::size_t longestValue = 0;
};

// False when `sql` is not of that form; parseStatement then reads it (and reports what
// is wrong with it). `out` and `unescaped` are reused from statement to statement, so a
// load of many rows allocates nothing here after the first.
bool scanBulkInsert(std::u16string_view sql, BulkInsert& out, std::u16string& unescaped);

// "Sheet$A1:IV65536", "Sheet$", "Sheet". A "$" followed by something that is not a cell
// range is part of the sheet name.
TableRef parseTableName(std::u16string_view text);

}  // namespace vorlix::xls::detail
