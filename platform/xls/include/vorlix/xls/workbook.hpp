#pragma once
// An Excel 97-2003 (BIFF8) workbook as a list of sheets of text cells.
//
// Reading turns every cell value into text (numbers in their shortest exact form,
// booleans as TRUE/FALSE, errors as #DIV/0! and so on, formulas as their cached result).
// Sheets that are never edited are written back byte for byte, together with the
// global records and the other streams of the file that this library does not
// interpret, so an Excel-made workbook keeps its formatting, formulas and macros when
// a sheet is added or replaced. An edited sheet is written from its cells as text.
#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vorlix/xls/compound_file.hpp"
#include "vorlix/xls/errors.hpp"

namespace vorlix::xls {

constexpr std::uint32_t kMaxRows = 65536;
constexpr std::uint32_t kMaxColumns = 256;
constexpr std::size_t kMaxCellChars = 32767;       // UTF-16 units
constexpr std::size_t kMaxSheetNameChars = 31;

// The cells of one sheet; a missing cell reads as empty text. Each row keeps its cells in
// one buffer, so a sheet of a million cells costs two allocations per row rather than
// one per cell (which matters with slow heaps, Wine's among them).
class Grid {
public:
    Grid() = default;
    Grid(const Grid& other);
    Grid& operator=(const Grid& other);
    Grid(Grid&&) noexcept = default;
    Grid& operator=(Grid&&) noexcept = default;

    // Rows in use: one past the last row holding a cell, or more when rows were reserved
    // with ensureRows (an all-empty row at the end of a table still counts).
    std::uint32_t rowCount() const { return std::max(stored_, extent_); }
    // One past the rightmost column holding a cell.
    std::uint32_t columnCount() const { return columns_; }
    // One past the last cell stored in a row (cells before it may be empty).
    std::uint32_t rowWidth(std::uint32_t row) const;

    // Valid until the row is next changed.
    std::u16string_view get(std::uint32_t row, std::uint32_t column) const;
    // Throws LimitError outside 65,536 x 256 or for more than 32,767 characters.
    void set(std::uint32_t row, std::uint32_t column, std::u16string_view text);
    // The same as set(row, column + i, texts[i]) for each i, but a row that is still
    // empty is filled with one allocation for its text and one for its cell ends: how
    // a table's rows arrive, one whole row at a time.
    void setRow(std::uint32_t row, std::uint32_t column, const std::u16string_view* texts, std::size_t count);

    // The cells of one row, for passes over a whole sheet without a row lookup per cell.
    // Valid until the row is next changed.
    class RowCells {
    public:
        RowCells() = default;
        // One past the last cell stored (cells before it may be empty).
        std::uint32_t width() const { return static_cast<std::uint32_t>(count_); }
        std::u16string_view operator[](std::uint32_t column) const {
            const std::uint32_t start = column ? ends_[column - 1] : 0;
            return {text_ + start, ends_[column] - start};
        }
        bool empty(std::uint32_t column) const { return ends_[column] == (column ? ends_[column - 1] : 0); }

    private:
        friend class Grid;
        RowCells(const char16_t* text, const std::uint32_t* ends, std::size_t count)
            : text_(text), ends_(ends), count_(count) {}
        const char16_t* text_ = nullptr;
        const std::uint32_t* ends_ = nullptr;
        std::size_t count_ = 0;
    };
    RowCells cellsOf(std::uint32_t row) const;
    // Makes rowCount() at least n (n <= 65,536).
    void ensureRows(std::uint32_t n);
    // Empties the rectangle [firstRow..lastRow] x [firstColumn..lastColumn] (inclusive).
    void clear(std::uint32_t firstRow, std::uint32_t firstColumn, std::uint32_t lastRow,
               std::uint32_t lastColumn);
    void clear();

private:
    struct Row {
        std::u16string text;              // the cells one after another
        std::vector<std::uint32_t> ends;  // where each cell ends in `text`
    };
    // Rows live in blocks of 256 allocated on first use, so a damaged file's lone cell
    // in row 65,536 costs one block, not 65,536 rows.
    static constexpr std::uint32_t kBlockRows = 256;
    using Block = std::array<Row, kBlockRows>;
    const Row* findRow(std::uint32_t row) const;
    Row& makeRow(std::uint32_t row);
    void trim();
    std::vector<std::unique_ptr<Block>> blocks_;
    std::uint32_t stored_ = 0;  // one past the last row made
    std::uint32_t extent_ = 0;  // rows reserved past the last stored one
    std::uint32_t columns_ = 0;
};

// Why a name can't be a sheet name, or empty when it can.
std::string sheetNameProblem(std::u16string_view name);

class Workbook {
public:
    Workbook();  // no sheets yet; at least one must be added before saving
    ~Workbook();
    Workbook(Workbook&&) noexcept;
    Workbook& operator=(Workbook&&) noexcept;

    // Throws IoError (cannot open/read) or FormatError (damaged or unsupported).
    static Workbook load(const std::filesystem::path& path);
    static Workbook parse(const std::uint8_t* bytes, std::size_t size);

    // Writes to a temporary file beside the target and renames it over the target, so a
    // failure never leaves a half-written workbook. Throws IoError or LimitError.
    void save(const std::filesystem::path& path) const;
    std::vector<std::uint8_t> toBytes() const;

    std::size_t sheetCount() const;
    const std::u16string& sheetName(std::size_t index) const;
    // A worksheet (not a chart, macro or module sheet).
    bool isWorksheet(std::size_t index) const;
    // Case-insensitive, as Excel compares sheet names.
    std::optional<std::size_t> findSheet(std::u16string_view name) const;

    // Appends an empty worksheet. Throws LimitError for an invalid or taken name.
    std::size_t addSheet(std::u16string_view name);
    // True when removing a sheet cannot break references by sheet position that this
    // library does not rewrite (defined names, external sheet references), and more
    // than one sheet is left.
    bool canRemoveSheet() const;
    // Throws LimitError when !canRemoveSheet().
    void removeSheet(std::size_t index);

    // The cells of a sheet, read on first use. Throws FormatError for a damaged sheet.
    const Grid& cells(std::size_t index) const;
    // The cells for editing: the sheet will be written from them.
    Grid& editCells(std::size_t index);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vorlix::xls
