#include "vorlix/xls/excel_driver.hpp"

#include <algorithm>
#include <forward_list>
#include <optional>

#include "sql_parser.hpp"
#include "vorlix/xls/unicode.hpp"
#include "vorlix/xls/workbook.hpp"

namespace vorlix::xls {

using namespace detail;

namespace {

const std::string kPrefix = "[Vorlix][Excel Driver] ";

// SQLSTATEs we report.
const char* const kGeneral = "HY000";
const char* const kSyntax = "42000";
const char* const kNoTable = "42S02";
const char* const kTableExists = "42S01";
const char* const kNoColumn = "42S22";
const char* const kDuplicateColumn = "42S21";
const char* const kValueCount = "21S01";
const char* const kTooLong = "22001";
const char* const kNoPath = "IM007";
const char* const kClosed = "08003";
const char* const kTooManyColumns = "54011";

DriverError fail(const char* state, const std::string& message) { return DriverError(state, kPrefix + message); }

std::string named(std::u16string_view s) { return "'" + toUtf8(s) + "'"; }

std::u16string columnName(std::uint32_t k) { return u"F" + fromUtf8(std::to_string(k + 1)); }

bool isTrue(std::u16string_view v) {
    return equalsIgnoreCase(v, u"TRUE") || equalsIgnoreCase(v, u"YES") || v == u"1";
}

}  // namespace

DriverError::DriverError(std::string sqlState, const std::string& message)
    : std::runtime_error(message), sqlState_(std::move(sqlState)) {}

// ----------------------------------------------------------------- connection strings

ConnectionSettings parseConnectionString(std::u16string_view cs) {
    // Pairs are separated by ";", but a ";" only ends a value when a "key=" follows, so
    // an unquoted path holding ";" (legal in Windows file names) still arrives whole.
    std::vector<std::pair<std::u16string, std::u16string>> pairs;
    std::size_t i = 0;
    while (i < cs.size()) {
        while (i < cs.size() && (cs[i] == u';' || cs[i] == u' ')) ++i;
        const std::size_t eq = cs.find(u'=', i);
        if (i >= cs.size() || eq == std::u16string_view::npos) break;
        std::u16string key(cs.substr(i, eq - i));
        while (!key.empty() && key.back() == u' ') key.pop_back();
        i = eq + 1;
        std::u16string value;
        if (i < cs.size() && (cs[i] == u'{' || cs[i] == u'"')) {
            const char16_t close = cs[i] == u'{' ? u'}' : u'"';
            const std::size_t end = cs.find(close, i + 1);
            const std::size_t stop = end == std::u16string_view::npos ? cs.size() : end;
            value = cs.substr(i + 1, stop - i - 1);
            i = stop == cs.size() ? stop : stop + 1;
            while (i < cs.size() && cs[i] != u';') ++i;
        } else {
            std::size_t end = i;
            for (;;) {
                const std::size_t semi = cs.find(u';', end);
                if (semi == std::u16string_view::npos) {
                    end = cs.size();
                    break;
                }
                const std::size_t nextSemi = cs.find(u';', semi + 1);
                const std::u16string_view rest = cs.substr(semi + 1, nextSemi == std::u16string_view::npos
                                                                         ? std::u16string_view::npos
                                                                         : nextSemi - semi - 1);
                if (rest.find(u'=') != std::u16string_view::npos || rest.find_first_not_of(u' ') == std::u16string_view::npos) {
                    end = semi;
                    break;
                }
                end = semi + 1;
            }
            value = cs.substr(i, end - i);
            i = end;
        }
        pairs.emplace_back(std::move(key), std::move(value));
    }

    ConnectionSettings s;
    std::u16string dbq, createDb;
    bool haveDbq = false;
    for (const auto& [key, value] : pairs) {
        if (equalsIgnoreCase(key, u"DRIVER")) {
            s.driver = value;
        } else if (equalsIgnoreCase(key, u"DBQ")) {
            dbq = value;
            haveDbq = !value.empty();
        } else if (equalsIgnoreCase(key, u"CREATE_DB")) {
            createDb = value;
            s.createIfMissing = true;
        } else if (equalsIgnoreCase(key, u"READONLY")) {
            s.readOnly = isTrue(value);
        }
    }
    const std::u16string& path = haveDbq ? dbq : createDb;
    if (path.empty()) throw fail(kNoPath, "the connection string names no workbook (DBQ=path)");
    s.path = std::filesystem::path(path);
    return s;
}

// ----------------------------------------------------------------- the connection

struct ExcelConnection::Impl {
    std::filesystem::path path;
    bool readOnly = false;       // asked for by the caller
    bool fileReadOnly = false;   // the file itself can't be written
    std::optional<Workbook> book;
    bool dirty = false;

    // A table's rows arrive as one INSERT each, all naming the same columns: the columns
    // are matched against the header row once per distinct column list, not per row.
    // INSERT only adds rows below the ones in use, so a header stays as it was until a
    // CREATE or DROP, which forget every plan.
    struct InsertPlan {
        std::u16string sheetName;  // as the statement writes it
        std::size_t sheet = 0;
        std::uint32_t firstRow = 0, firstColumn = 0, lastColumn = 0;
        std::uint32_t headerWidth = 0;  // the sheet's columnCount() when matched
        std::u16string columnList;      // "(" through ")" as written
        std::vector<std::uint32_t> targets;  // per listed column, its offset in the table
        bool inOrder = false;           // targets are 0, 1, 2...
    };
    static constexpr std::size_t kMaxPlans = 8;
    std::vector<InsertPlan> plans;
    BulkInsert bulk;            // reused by every INSERT: no allocation per row
    std::u16string unescaped;

    std::string where() const { return "'" + path.u8string() + "'"; }

    Workbook& workbook() {
        if (!book) throw fail(kClosed, "the connection is closed");
        return *book;
    }

    void checkWritable() const {
        if (readOnly || fileReadOnly)
            throw fail(kGeneral, "Cannot update. Database or object is read-only (" + where() + ").");
    }

    std::size_t sheetOf(const TableRef& t) {
        const auto index = workbook().findSheet(t.sheet);
        if (!index)
            throw fail(kNoTable, "The table " + named(t.text) + " does not exist: the workbook has no sheet named " +
                                     named(t.sheet) + ".");
        if (!workbook().isWorksheet(*index))
            throw fail(kGeneral, "The sheet " + named(t.sheet) + " is not a worksheet (a chart or macro sheet).");
        return *index;
    }

    const Grid& cells(std::size_t sheet) {
        try {
            return workbook().cells(sheet);
        } catch (const FormatError& e) {
            throw fail(kGeneral, "The sheet " + named(workbook().sheetName(sheet)) + " of " + where() +
                                     " is damaged: " + e.what() + ".");
        }
    }

    // The column names of a table: its first row, across the columns in use. Names are
    // views into the sheet, or into `generated` for header cells that are empty.
    static std::vector<std::u16string_view> header(const Grid& grid, const TableRef& t,
                                                   std::forward_list<std::u16string>& generated) {
        std::vector<std::u16string_view> names;
        if (grid.rowCount() <= t.firstRow || grid.columnCount() <= t.firstColumn) return names;
        const std::uint32_t last = std::min(t.lastColumn, grid.columnCount() - 1);
        names.reserve(last - t.firstColumn + 1);
        for (std::uint32_t c = t.firstColumn; c <= last; ++c) {
            const std::u16string_view n = grid.get(t.firstRow, c);
            names.push_back(n.empty() ? std::u16string_view(generated.emplace_front(columnName(c - t.firstColumn))) : n);
        }
        return names;
    }

    // `hint` is where the name usually is: statements list the columns in table order.
    static std::size_t columnIndex(const std::vector<std::u16string_view>& names, std::u16string_view name,
                                   const TableRef& t, std::size_t hint = 0) {
        if (hint < names.size() && equalsIgnoreCase(names[hint], name)) return hint;
        for (std::size_t i = 0; i < names.size(); ++i)
            if (equalsIgnoreCase(names[i], name)) return i;
        throw fail(kNoColumn, "The table " + named(t.text) + " has no column " + named(name) + ".");
    }

    ResultSet run(const SelectStatement& s) {
        const Grid& grid = cells(sheetOf(s.table));
        ResultSet result;
        std::forward_list<std::u16string> generated;
        const std::vector<std::u16string_view> names = header(grid, s.table, generated);
        std::vector<std::size_t> pick;
        if (s.columns.empty()) {
            for (std::size_t i = 0; i < names.size(); ++i) pick.push_back(i);
        } else {
            for (const auto& c : s.columns) pick.push_back(columnIndex(names, c, s.table, pick.size()));
        }
        for (const std::size_t i : pick) result.columns.emplace_back(names[i]);
        if (names.empty()) return result;
        const std::uint32_t lastRow = std::min(s.table.lastRow, grid.rowCount() - 1);
        for (std::uint32_t r = s.table.firstRow + 1; r <= lastRow; ++r) {
            std::vector<std::u16string> row;
            row.reserve(pick.size());
            for (const std::size_t i : pick)
                row.emplace_back(grid.get(r, s.table.firstColumn + static_cast<std::uint32_t>(i)));
            result.rows.push_back(std::move(row));
        }
        return result;
    }

    void run(const DropStatement& s, std::int64_t& affected) {
        const std::size_t sheet = sheetOf(s.table);
        checkWritable();
        Workbook& book = workbook();
        cells(sheet);
        if (s.table.dollar) {
            book.editCells(sheet).clear(s.table.firstRow, s.table.firstColumn, s.table.lastRow, s.table.lastColumn);
        } else if (book.canRemoveSheet()) {
            book.removeSheet(sheet);
        } else {
            book.editCells(sheet).clear();
        }
        dirty = true;
        affected = 0;
    }

    void run(const CreateStatement& s) {
        const TableRef& t = s.table;
        if (const std::string problem = sheetNameProblem(t.sheet); !problem.empty())
            throw fail(kSyntax, "Cannot create the table " + named(t.text) + ": " + problem + ".");
        if (s.columns.size() > t.lastColumn - t.firstColumn + 1)
            throw fail(kTooManyColumns, "Too many fields defined: the table " + named(t.text) + " has room for " +
                                    std::to_string(t.lastColumn - t.firstColumn + 1) + " columns.");
        for (std::size_t i = 0; i < s.columns.size(); ++i) {
            if (s.columns[i].empty()) throw fail(kSyntax, "A column name cannot be empty.");
            if (s.columns[i].size() > kMaxCellChars)
                throw fail(kTooLong, "A column name holds at most 32,767 characters.");
            for (std::size_t j = 0; j < i; ++j)
                if (equalsIgnoreCase(s.columns[i], s.columns[j]))
                    throw fail(kDuplicateColumn, "The column " + named(s.columns[i]) + " is defined twice.");
        }
        checkWritable();
        Workbook& book = workbook();
        std::optional<std::size_t> sheet = book.findSheet(t.sheet);
        if (sheet) {
            if (!book.isWorksheet(*sheet))
                throw fail(kGeneral, "The sheet " + named(t.sheet) + " is not a worksheet (a chart or macro sheet).");
            const Grid& grid = cells(*sheet);
            for (std::uint32_t c = t.firstColumn; c <= t.lastColumn && c < grid.columnCount(); ++c)
                if (!grid.get(t.firstRow, c).empty())
                    throw fail(kTableExists, "Table " + named(t.text) + " already exists.");
        } else {
            sheet = book.addSheet(t.sheet);
        }
        Grid& grid = book.editCells(*sheet);
        for (std::size_t i = 0; i < s.columns.size(); ++i)
            grid.set(t.firstRow, t.firstColumn + static_cast<std::uint32_t>(i), s.columns[i]);
        grid.ensureRows(t.firstRow + 1);
        dirty = true;
    }

    bool runBulkInsert(std::u16string_view sql, std::int64_t& affected);
    const InsertPlan* findPlan(const TableRef& t) const;
    const InsertPlan* makePlan(const TableRef& t);

    void run(const InsertStatement& s, std::int64_t& affected) {
        const TableRef& t = s.table;
        const std::size_t sheet = sheetOf(t);
        const Grid& grid = cells(sheet);
        std::forward_list<std::u16string> generated;
        const std::vector<std::u16string_view> names = header(grid, t, generated);
        if (names.empty()) throw fail(kNoTable, "The table " + named(t.text) + " has no header row of column names.");
        std::vector<std::size_t> targets;
        if (s.columns.empty()) {
            for (std::size_t i = 0; i < names.size(); ++i) targets.push_back(i);
        } else {
            for (const auto& c : s.columns) {
                const std::size_t i = columnIndex(names, c, t, targets.size());
                if (std::find(targets.begin(), targets.end(), i) != targets.end())
                    throw fail(kSyntax, "The column " + named(c) + " is named twice.");
                targets.push_back(i);
            }
        }
        if (targets.size() != s.values.size())
            throw fail(kValueCount, "The INSERT names " + std::to_string(targets.size()) + " columns but gives " +
                                        std::to_string(s.values.size()) + " values.");
        for (const auto& v : s.values)
            if (v.size() > kMaxCellChars)
                throw fail(kTooLong, "String data, right truncated: a value of " + std::to_string(v.size()) +
                                         " characters; a cell holds at most 32,767.");
        const std::uint32_t row = std::max(grid.rowCount(), t.firstRow + 1);
        if (row >= kMaxRows)
            throw fail(kGeneral, "Cannot add a row to " + named(t.text) + ": the sheet is full (a sheet holds at most "
                                 "65,536 rows: the header row and 65,535 data rows).");
        checkWritable();
        Grid& edit = workbook().editCells(sheet);
        for (std::size_t i = 0; i < targets.size(); ++i)
            edit.set(row, t.firstColumn + static_cast<std::uint32_t>(targets[i]), s.values[i]);
        edit.ensureRows(row + 1);
        dirty = true;
        affected = 1;
    }
};

// The bulk form of INSERT, run without building a statement: true when it ran. False,
// having changed nothing, for any other form and for anything the statement would fail
// on; the general path then runs it and reports the error in its own words.
bool ExcelConnection::Impl::runBulkInsert(std::u16string_view sql, std::int64_t& affected) {
    if (!scanBulkInsert(sql, bulk, unescaped)) return false;
    const TableRef t = parseTableName(bulk.table);
    const InsertPlan* plan = findPlan(t);
    if (!plan) plan = makePlan(t);
    if (!plan || plan->targets.size() != bulk.values.size() || bulk.longestValue > kMaxCellChars) return false;
    if (readOnly || fileReadOnly) return false;
    Workbook& book = workbook();
    const Grid& grid = book.cells(plan->sheet);  // read already: the plan matched its header
    if (grid.columnCount() != plan->headerWidth) return false;
    const std::uint32_t row = std::max(grid.rowCount(), t.firstRow + 1);
    if (row >= kMaxRows) return false;
    Grid& edit = book.editCells(plan->sheet);
    if (plan->inOrder) {
        edit.setRow(row, t.firstColumn, bulk.values.data(), bulk.values.size());
    } else {
        for (std::size_t i = 0; i < plan->targets.size(); ++i)
            edit.set(row, t.firstColumn + plan->targets[i], bulk.values[i]);
    }
    edit.ensureRows(row + 1);
    dirty = true;
    affected = 1;
    return true;
}

const ExcelConnection::Impl::InsertPlan* ExcelConnection::Impl::findPlan(const TableRef& t) const {
    for (const InsertPlan& p : plans)
        if (p.firstRow == t.firstRow && p.firstColumn == t.firstColumn && p.lastColumn == t.lastColumn &&
            p.columnList == bulk.columnList && p.sheetName == t.sheet)
            return &p;
    return nullptr;
}

// Matches the listed columns against the table's header, as the general path would;
// null where that path fails (no such sheet or column, a column named twice).
const ExcelConnection::Impl::InsertPlan* ExcelConnection::Impl::makePlan(const TableRef& t) {
    Workbook& book = workbook();
    const auto sheet = book.findSheet(t.sheet);
    if (!sheet || !book.isWorksheet(*sheet)) return nullptr;
    const Grid* grid = nullptr;
    try {
        grid = &book.cells(*sheet);
    } catch (const FormatError&) {
        return nullptr;
    }
    std::forward_list<std::u16string> generated;
    const std::vector<std::u16string_view> names = header(*grid, t, generated);
    if (names.empty()) return nullptr;
    InsertPlan plan;
    plan.sheetName = t.sheet;
    plan.sheet = *sheet;
    plan.firstRow = t.firstRow, plan.firstColumn = t.firstColumn, plan.lastColumn = t.lastColumn;
    plan.headerWidth = grid->columnCount();
    plan.columnList = bulk.columnList;
    plan.targets.reserve(bulk.columns.size());
    std::vector<bool> taken(names.size());
    plan.inOrder = true;
    for (const std::u16string_view c : bulk.columns) {
        const std::size_t hint = plan.targets.size();
        std::size_t i = hint < names.size() && equalsIgnoreCase(names[hint], c) ? hint : names.size();
        for (std::size_t k = 0; i == names.size() && k < names.size(); ++k)
            if (equalsIgnoreCase(names[k], c)) i = k;
        if (i == names.size() || taken[i]) return nullptr;
        taken[i] = true;
        plan.inOrder = plan.inOrder && i == hint;
        plan.targets.push_back(static_cast<std::uint32_t>(i));
    }
    if (plans.size() == kMaxPlans) plans.erase(plans.begin());
    plans.push_back(std::move(plan));
    return &plans.back();
}

ExcelConnection::ExcelConnection(const ConnectionSettings& settings)
    : ExcelConnection(settings.path, settings.createIfMissing, settings.readOnly) {}

ExcelConnection::ExcelConnection(const std::filesystem::path& path, bool createIfMissing, bool readOnly)
    : impl_(std::make_unique<Impl>()) {
    impl_->path = path;
    impl_->readOnly = readOnly;
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) {
        if (!createIfMissing) throw fail(kGeneral, "The workbook " + impl_->where() + " does not exist.");
        impl_->book.emplace();
        return;
    }
    if (std::filesystem::is_directory(status))
        throw fail(kGeneral, impl_->where() + " is a folder, not a workbook.");
    impl_->fileReadOnly = (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none;
    try {
        impl_->book.emplace(Workbook::load(path));
    } catch (const IoError&) {
        throw fail(kGeneral, "The workbook " + impl_->where() +
                                 " cannot be opened: it is locked by another program or access is denied.");
    } catch (const FormatError& e) {
        throw fail(kGeneral, "External table is not in the expected format: " + impl_->where() +
                                 " is damaged or not an Excel 97-2003 workbook (" + e.what() + ").");
    } catch (const std::bad_alloc&) {
        throw fail(kGeneral, "Not enough memory to read the workbook " + impl_->where() + ".");
    }
}

ExcelConnection::~ExcelConnection() = default;

ResultSet ExcelConnection::execute(std::u16string_view statement, std::int64_t* rowsAffected) {
    impl_->workbook();
    std::int64_t affected = -1;
    try {
        if (impl_->runBulkInsert(statement, affected)) {
            if (rowsAffected) *rowsAffected = affected;
            return {};
        }
    } catch (const LimitError& e) {
        throw fail(kGeneral, e.what());
    }
    Statement parsed;
    std::forward_list<std::u16string> storage;
    try {
        parsed = parseStatement(statement, storage);
    } catch (const SyntaxError& e) {
        throw fail(kSyntax, std::string("Cannot run the statement: ") + e.what() + ".");
    }
    // Only CREATE and DROP change a header row or the sheets' numbers.
    if (!std::holds_alternative<SelectStatement>(parsed) && !std::holds_alternative<InsertStatement>(parsed))
        impl_->plans.clear();
    ResultSet result;
    try {
        if (const auto* s = std::get_if<SelectStatement>(&parsed)) {
            result = impl_->run(*s);
        } else if (const auto* d = std::get_if<DropStatement>(&parsed)) {
            impl_->run(*d, affected);
        } else if (const auto* c = std::get_if<CreateStatement>(&parsed)) {
            impl_->run(*c);
            affected = 0;
        } else {
            impl_->run(std::get<InsertStatement>(parsed), affected);
        }
    } catch (const LimitError& e) {
        throw fail(kGeneral, e.what());
    }
    if (rowsAffected) *rowsAffected = affected;
    return result;
}

void ExcelConnection::commit() {
    Workbook& book = impl_->workbook();
    if (!impl_->dirty) return;
    impl_->checkWritable();
    try {
        book.save(impl_->path);
    } catch (const Error& e) {
        throw fail(kGeneral, "Cannot write the workbook " + impl_->where() + ": " + e.what() + ".");
    } catch (const std::bad_alloc&) {
        throw fail(kGeneral, "Not enough memory to write the workbook " + impl_->where() + ".");
    }
    impl_->dirty = false;
}

void ExcelConnection::close() {
    try {
        commit();
    } catch (...) {
        impl_->book.reset();
        throw;
    }
    impl_->book.reset();
}

bool ExcelConnection::isOpen() const { return impl_->book.has_value(); }

const Workbook& ExcelConnection::workbook() const { return impl_->workbook(); }

}  // namespace vorlix::xls
