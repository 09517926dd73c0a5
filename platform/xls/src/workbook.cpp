#include "vorlix/xls/workbook.hpp"

#include <fstream>
#include <random>

#include "vorlix/xls/unicode.hpp"
#include "workbook_impl.hpp"

namespace vorlix::xls {

using namespace detail;

// ====================================================================== Workbook

Workbook::Workbook() : impl_(std::make_unique<Impl>()) { impl_->startNew(); }

Workbook::~Workbook() = default;
Workbook::Workbook(Workbook&&) noexcept = default;
Workbook& Workbook::operator=(Workbook&&) noexcept = default;

Workbook Workbook::parse(const std::uint8_t* bytes, std::size_t size) {
    Workbook book;
    book.impl_ = std::make_unique<Impl>();
    Impl& impl = *book.impl_;
    impl.file = CompoundFile::parse(bytes, size);
    const CfbEntry* stream = impl.file.root().child(u"Workbook");
    if (!stream || stream->isStorage) {
        if (impl.file.root().child(u"Book"))
            throw FormatError("an Excel 5.0/95 workbook; only Excel 97-2003 workbooks are supported");
        throw FormatError("the file holds no workbook");
    }
    impl.readStream(stream->data);
    // The sheets now hold their own bytes; the stream is rebuilt on every write.
    impl.file.root().child(u"Workbook")->data = {};
    return book;
}

Workbook Workbook::load(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw IoError("cannot open '" + path.u8string() + "'");
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw IoError("cannot read '" + path.u8string() + "'");
    return parse(bytes.data(), bytes.size());
}

std::vector<std::uint8_t> Workbook::toBytes() const { return impl_->makeFile().toBytes(); }

void Workbook::save(const std::filesystem::path& path) const {
    // Build everything in memory first: a workbook we cannot write leaves the file alone.
    const CompoundFile file = impl_->makeFile();

    std::random_device random;
    std::filesystem::path temp = path;
    temp += u8".~" + std::to_string(random() % 1000000u) + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) throw IoError("cannot create '" + temp.u8string() + "'");
        try {
            file.write(out);
            out.close();
        } catch (...) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            throw;
        }
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            throw IoError("cannot write '" + temp.u8string() + "' (disk full?)");
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
        throw IoError("cannot replace '" + path.u8string() + "': " + ec.message());
    }
}

std::size_t Workbook::sheetCount() const { return impl_->sheets.size(); }

const std::u16string& Workbook::sheetName(std::size_t index) const { return impl_->sheets.at(index).name; }

bool Workbook::isWorksheet(std::size_t index) const { return impl_->sheets.at(index).type == 0; }

std::optional<std::size_t> Workbook::findSheet(std::u16string_view name) const {
    for (std::size_t i = 0; i < impl_->sheets.size(); ++i)
        if (equalsIgnoreCase(impl_->sheets[i].name, name)) return i;
    return std::nullopt;
}

std::size_t Workbook::addSheet(std::u16string_view name) {
    if (const std::string problem = sheetNameProblem(name); !problem.empty()) throw LimitError(problem);
    if (findSheet(name)) throw LimitError("a sheet named '" + toUtf8(name) + "' already exists");
    if (impl_->sheets.size() >= 0xFFFF) throw LimitError("too many sheets");
    Impl::Sheet sheet;
    sheet.name = std::u16string(name);
    std::uint16_t maxId = 0;
    for (const auto& s : impl_->sheets) maxId = std::max(maxId, s.tabId);
    sheet.tabId = static_cast<std::uint16_t>(maxId + 1);
    sheet.grid = std::make_unique<Grid>();
    sheet.edited = true;
    impl_->sheets.push_back(std::move(sheet));
    return impl_->sheets.size() - 1;
}

bool Workbook::canRemoveSheet() const { return impl_->sheets.size() > 1 && !impl_->hasPositionalRefs; }

void Workbook::removeSheet(std::size_t index) {
    if (index >= impl_->sheets.size()) throw std::out_of_range("no such sheet");
    if (!canRemoveSheet())
        throw LimitError(impl_->sheets.size() <= 1
                             ? "the only sheet of a workbook cannot be removed"
                             : "the workbook refers to its sheets by position; the sheet cannot be removed");
    impl_->sheets.erase(impl_->sheets.begin() + static_cast<std::ptrdiff_t>(index));
}

const Grid& Workbook::cells(std::size_t index) const {
    Impl::Sheet& sheet = impl_->sheets.at(index);
    if (!sheet.grid) impl_->readSheetCells(sheet);
    return *sheet.grid;
}

Grid& Workbook::editCells(std::size_t index) {
    cells(index);
    Impl::Sheet& sheet = impl_->sheets.at(index);
    sheet.edited = true;
    sheet.type = 0;
    sheet.original.clear();
    sheet.original.shrink_to_fit();
    return *sheet.grid;
}

}  // namespace vorlix::xls
