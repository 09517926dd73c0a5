#include <algorithm>

#include "vorlix/xls/unicode.hpp"
#include "vorlix/xls/workbook.hpp"

namespace vorlix::xls {

Grid::Grid(const Grid& other) : stored_(other.stored_), extent_(other.extent_), columns_(other.columns_) {
    blocks_.reserve(other.blocks_.size());
    for (const auto& block : other.blocks_)
        blocks_.push_back(block ? std::make_unique<Block>(*block) : nullptr);
}

Grid& Grid::operator=(const Grid& other) {
    if (this != &other) *this = Grid(other);
    return *this;
}

const Grid::Row* Grid::findRow(std::uint32_t row) const {
    const std::uint32_t block = row / kBlockRows;
    return block < blocks_.size() && blocks_[block] ? &(*blocks_[block])[row % kBlockRows] : nullptr;
}

Grid::Row& Grid::makeRow(std::uint32_t row) {
    const std::uint32_t block = row / kBlockRows;
    if (blocks_.size() <= block) blocks_.resize(block + 1);
    if (!blocks_[block]) blocks_[block] = std::make_unique<Block>();
    stored_ = std::max(stored_, row + 1);
    return (*blocks_[block])[row % kBlockRows];
}

std::uint32_t Grid::rowWidth(std::uint32_t row) const {
    const Row* r = findRow(row);
    return r ? static_cast<std::uint32_t>(r->ends.size()) : 0;
}

std::u16string_view Grid::get(std::uint32_t row, std::uint32_t column) const {
    const Row* r = findRow(row);
    if (!r || column >= r->ends.size()) return {};
    const std::uint32_t start = column ? r->ends[column - 1] : 0;
    return std::u16string_view(r->text).substr(start, r->ends[column] - start);
}

void Grid::set(std::uint32_t row, std::uint32_t column, std::u16string_view text) {
    if (row >= kMaxRows || column >= kMaxColumns)
        throw LimitError("cell outside the 65,536 rows x 256 columns of a sheet");
    if (text.size() > kMaxCellChars) throw LimitError("a cell holds at most 32,767 characters");
    if (text.empty() && column >= rowWidth(row)) return;
    Row& r = makeRow(row);
    if (column >= r.ends.size()) {
        // Cells are mostly written left to right: appending is the common case.
        r.ends.resize(column, static_cast<std::uint32_t>(r.text.size()));
        r.text.append(text);
        r.ends.push_back(static_cast<std::uint32_t>(r.text.size()));
    } else {
        const std::uint32_t start = column ? r.ends[column - 1] : 0;
        const std::uint32_t oldLength = r.ends[column] - start;
        r.text.replace(start, oldLength, text);
        const auto newLength = static_cast<std::uint32_t>(text.size());
        for (std::size_t c = column; c < r.ends.size(); ++c) r.ends[c] = r.ends[c] - oldLength + newLength;
    }
    if (!text.empty()) columns_ = std::max(columns_, column + 1);
}

void Grid::setRow(std::uint32_t row, std::uint32_t column, const std::u16string_view* texts, std::size_t count) {
    // Only an empty row within the sheet takes the one-step fill; anything else (cells
    // already there, a limit broken) goes cell by cell so the outcome stays set()'s own.
    bool simple = row < kMaxRows && column <= kMaxColumns && count <= kMaxColumns - column && rowWidth(row) == 0;
    std::size_t chars = 0, used = 0;  // used: one past the last non-empty text
    for (std::size_t i = 0; simple && i < count; ++i) {
        if (texts[i].size() > kMaxCellChars) simple = false;
        chars += texts[i].size();
        if (!texts[i].empty()) used = i + 1;
    }
    if (!simple) {
        for (std::size_t i = 0; i < count; ++i) set(row, column + static_cast<std::uint32_t>(i), texts[i]);
        return;
    }
    if (used == 0) return;  // empty cells past a row's end are not stored
    Row& r = makeRow(row);
    r.text.clear();
    r.text.reserve(chars);
    r.ends.reserve(column + used);
    r.ends.assign(column, 0);
    for (std::size_t i = 0; i < used; ++i) {
        r.text.append(texts[i]);
        r.ends.push_back(static_cast<std::uint32_t>(r.text.size()));
    }
    columns_ = std::max(columns_, column + static_cast<std::uint32_t>(used));
}

Grid::RowCells Grid::cellsOf(std::uint32_t row) const {
    const Row* r = findRow(row);
    if (!r || r->ends.empty()) return {};
    return {r->text.data(), r->ends.data(), r->ends.size()};
}

void Grid::ensureRows(std::uint32_t n) {
    if (n > kMaxRows) throw LimitError("a sheet holds at most 65,536 rows");
    // Only counted: a damaged file's claim of 65,536 rows costs no memory.
    extent_ = std::max(extent_, n);
}

void Grid::clear(std::uint32_t firstRow, std::uint32_t firstColumn, std::uint32_t lastRow,
                 std::uint32_t lastColumn) {
    for (std::uint32_t r = firstRow; r <= lastRow && r < stored_; ++r) {
        const std::uint32_t width = rowWidth(r);
        if (width == 0) continue;
        if (firstColumn == 0 && lastColumn + 1 >= width) {
            makeRow(r) = Row{};
            continue;
        }
        for (std::uint32_t c = firstColumn; c <= lastColumn && c < width; ++c) set(r, c, {});
    }
    trim();
    // Reserved empty rows at the end go with a range that reaches them.
    if (lastRow + 1 >= extent_) extent_ = stored_;
}

void Grid::clear() {
    blocks_.clear();
    stored_ = 0;
    extent_ = 0;
    columns_ = 0;
}

// Drops empty cells at the ends of rows and empty rows at the end, after a clear.
void Grid::trim() {
    columns_ = 0;
    std::uint32_t used = 0;
    for (std::uint32_t row = 0; row < stored_; ++row) {
        const std::uint32_t block = row / kBlockRows;
        if (!blocks_[block]) {
            row = (block + 1) * kBlockRows - 1;
            continue;
        }
        Row& r = (*blocks_[block])[row % kBlockRows];
        while (!r.ends.empty() && r.ends.back() == (r.ends.size() > 1 ? r.ends[r.ends.size() - 2] : 0))
            r.ends.pop_back();
        if (r.ends.empty()) r.text.clear();
        else used = row + 1;
        columns_ = std::max(columns_, static_cast<std::uint32_t>(r.ends.size()));
    }
    stored_ = used;
    blocks_.resize((used + kBlockRows - 1) / kBlockRows);
}

std::string sheetNameProblem(std::u16string_view name) {
    if (name.empty()) return "a sheet name cannot be empty";
    if (name.size() > kMaxSheetNameChars) return "a sheet name has at most 31 characters";
    for (const char16_t c : name) {
        if (c == u'[' || c == u']' || c == u':' || c == u'*' || c == u'?' || c == u'/' || c == u'\\')
            return "a sheet name cannot contain any of [ ] : * ? / \\";
        if (c < 0x20) return "a sheet name cannot contain control characters";
    }
    if (name.front() == u'\'' || name.back() == u'\'')
        return "a sheet name cannot begin or end with an apostrophe";
    return {};
}

}  // namespace vorlix::xls
