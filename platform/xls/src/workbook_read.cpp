// Reading a workbook stream: the global records, the sheets' substreams, and the cells
// of a sheet as text.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "workbook_impl.hpp"

namespace vorlix::xls {

using namespace detail;

namespace {

std::u16string numberText(double v) {
    if (std::isnan(v) || std::isinf(v)) return u"#NUM!";
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::u16string(buf, res.ptr);
}

std::u16string errorText(std::uint8_t code) {
    switch (code) {
        case 0x00: return u"#NULL!";
        case 0x07: return u"#DIV/0!";
        case 0x0F: return u"#VALUE!";
        case 0x17: return u"#REF!";
        case 0x1D: return u"#NAME?";
        case 0x24: return u"#NUM!";
        case 0x2A: return u"#N/A";
        default: return u"#GETTING_DATA";
    }
}

double rkValue(std::uint32_t rk) {
    double v;
    if (rk & 2) {
        v = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        const std::uint64_t bits = static_cast<std::uint64_t>(rk & 0xFFFFFFFC) << 32;
        std::memcpy(&v, &bits, sizeof v);
    }
    return (rk & 1) ? v / 100 : v;
}

// One record followed by its CONTINUE records, as segments for ContinuedReader.
std::vector<ContinuedReader::Segment> withContinues(const std::uint8_t* bytes, std::size_t size,
                                                    const RecordView& first, std::size_t& pos) {
    std::vector<ContinuedReader::Segment> segs{{first.data, first.size}};
    RecordView rec;
    std::size_t peek = pos;
    while (nextRecord(bytes, size, peek, rec) && rec.type == kContinue) {
        segs.emplace_back(rec.data, rec.size);
        pos = peek;
    }
    return segs;
}

std::u16string readShortName(ByteReader& in) {
    const std::uint8_t cch = in.u8();
    const bool high = in.u8() & 1;
    std::u16string s;
    for (std::uint8_t i = 0; i < cch; ++i) s += high ? static_cast<char16_t>(in.u16()) : static_cast<char16_t>(in.u8());
    return s;
}

}  // namespace

void Workbook::Impl::readStream(const std::vector<std::uint8_t>& stream) {
    const std::uint8_t* bytes = stream.data();
    const std::size_t size = stream.size();
    std::size_t pos = 0;
    RecordView rec;
    if (!nextRecord(bytes, size, pos, rec) || rec.type != kBof || rec.size < 4)
        throw FormatError("the workbook stream does not start with a BOF record");
    if (get16(rec.data) != kBiff8)
        throw FormatError("not an Excel 97-2003 (BIFF8) workbook; older Excel versions are not supported");
    if (get16(rec.data + 2) != kGlobalsSubstream) throw FormatError("the workbook stream has no workbook globals");
    globals.emplace_back(rec.type, std::vector<std::uint8_t>(rec.data, rec.data + rec.size));

    struct Bound {
        std::uint32_t offset;
        Sheet sheet;
    };
    std::vector<Bound> bound;
    bool sawSst = false;
    bool sawEof = false;
    while (nextRecord(bytes, size, pos, rec)) {
        if (rec.type == kEof) {
            sawEof = true;
            break;
        }
        switch (rec.type) {
            case kFilePass:
                throw FormatError("the workbook is password-protected (encrypted)");
            case kBoundSheet: {
                if (bound.empty()) boundSheetPos = globals.size();
                ByteReader in(rec.data, rec.size, "sheet entry");
                Bound b;
                b.offset = in.u32();
                b.sheet.state = in.u8() & 3;
                b.sheet.type = in.u8();
                b.sheet.name = readShortName(in);
                bound.push_back(std::move(b));
                continue;
            }
            case kSst: {
                if (sawSst) throw FormatError("the workbook has two shared string tables");
                sawSst = true;
                sstPos = globals.size();
                ContinuedReader in(withContinues(bytes, size, rec, pos));
                in.u32();  // total references: recounted when writing
                const std::uint32_t unique = in.u32();
                for (std::uint32_t i = 0; i < unique && !in.atEnd(); ++i) sst.push_back(readRichString(in));
                continue;
            }
            case kExtSst:
                continue;  // rebuilt from the SST when writing
            case kExternSheet:
            case kLbl:
                hasPositionalRefs = true;
                break;
            default:
                break;
        }
        globals.emplace_back(rec.type, std::vector<std::uint8_t>(rec.data, rec.data + rec.size));
    }
    if (!sawEof) throw FormatError("the workbook globals have no EOF record");
    if (bound.empty()) throw FormatError("the workbook lists no sheets");
    if (!sawSst) sstPos = globals.size();

    // TabId lists a stable id per sheet, in sheet order.
    std::vector<std::uint16_t> tabIds;
    for (const auto& [type, data] : globals)
        if (type == kTabId)
            for (std::size_t i = 0; i + 1 < data.size(); i += 2) tabIds.push_back(get16(&data[i]));

    for (std::size_t i = 0; i < bound.size(); ++i) {
        Bound& b = bound[i];
        std::size_t p = b.offset;
        if (p >= size) throw FormatError("a sheet entry points past the end of the workbook stream");
        RecordView r;
        if (!nextRecord(bytes, size, p, r) || r.type != kBof)
            throw FormatError("a sheet entry does not point at the start of a sheet");
        int depth = 1;
        while (depth > 0) {
            if (!nextRecord(bytes, size, p, r)) throw FormatError("a sheet has no EOF record");
            if (r.type == kBof) ++depth;
            if (r.type == kEof) --depth;
        }
        b.sheet.original.assign(bytes + b.offset, bytes + p);
        b.sheet.originalOffset = b.offset;
        b.sheet.tabId = i < tabIds.size() ? tabIds[i] : static_cast<std::uint16_t>(i + 1);
        sheets.push_back(std::move(b.sheet));
    }
}

void Workbook::Impl::readSheetCells(Sheet& sheet) const {
    auto grid = std::make_unique<Grid>();
    const std::uint8_t* bytes = sheet.original.data();
    const std::size_t size = sheet.original.size();
    std::size_t pos = 0;
    RecordView rec;
    int depth = 0;
    // A formula whose text result follows in a String record.
    bool pendingString = false;
    std::uint32_t pendingRow = 0, pendingCol = 0;

    auto put = [&grid](std::uint32_t row, std::uint32_t col, std::u16string_view text) {
        if (col >= kMaxColumns) return;
        grid->set(row, col, text.substr(0, kMaxCellChars));
    };

    while (nextRecord(bytes, size, pos, rec)) {
        if (rec.type == kBof) {
            ++depth;
            continue;
        }
        if (rec.type == kEof) {
            if (--depth <= 0) break;
            continue;
        }
        if (depth != 1) continue;  // records of an embedded chart
        ByteReader in(rec.data, rec.size, "cell record");
        switch (rec.type) {
            case kDimensions: {
                in.u32();
                const std::uint32_t lastPlusOne = in.u32();
                grid->ensureRows(std::min(lastPlusOne, kMaxRows));
                break;
            }
            case kLabelSst: {
                const std::uint16_t row = in.u16(), col = in.u16();
                in.u16();
                const std::uint32_t isst = in.u32();
                if (isst >= sst.size()) throw FormatError("a cell refers to a string missing from the shared string table");
                put(row, col, sst[isst].text);
                break;
            }
            case kLabel:
            case kRString: {
                const std::uint16_t row = in.u16(), col = in.u16();
                in.u16();
                std::vector<ContinuedReader::Segment> segs = withContinues(bytes, size, rec, pos);
                segs.front().first += 6;
                segs.front().second -= 6;
                ContinuedReader text(std::move(segs));
                const std::uint16_t cch = text.u16();
                const std::uint8_t flags = text.u8();
                std::u16string s;
                text.chars(cch, flags & 1, s);
                put(row, col, std::move(s));
                break;
            }
            case kNumber: {
                const std::uint16_t row = in.u16(), col = in.u16();
                in.u16();
                put(row, col, numberText(in.f64()));
                break;
            }
            case kRk: {
                const std::uint16_t row = in.u16(), col = in.u16();
                in.u16();
                put(row, col, numberText(rkValue(in.u32())));
                break;
            }
            case kMulRk: {
                const std::uint16_t row = in.u16(), first = in.u16();
                const std::size_t count = (rec.size >= 6 ? rec.size - 6 : 0) / 6;
                for (std::size_t i = 0; i < count; ++i) {
                    in.u16();
                    put(row, static_cast<std::uint32_t>(first + i), numberText(rkValue(in.u32())));
                }
                break;
            }
            case kBoolErr: {
                const std::uint16_t row = in.u16(), col = in.u16();
                in.u16();
                const std::uint8_t value = in.u8();
                const bool isError = in.u8() != 0;
                put(row, col, isError ? errorText(value) : value ? u"TRUE" : u"FALSE");
                break;
            }
            case kFormula: {
                const std::uint16_t row = in.u16(), col = in.u16();
                in.u16();
                in.need(8);
                const std::uint8_t* v = in.here();
                pendingString = false;
                if (get16(v + 6) != 0xFFFF) {
                    double d;
                    std::memcpy(&d, v, sizeof d);
                    put(row, col, numberText(d));
                } else if (v[0] == 0) {
                    pendingString = true, pendingRow = row, pendingCol = col;
                } else if (v[0] == 1) {
                    put(row, col, v[2] ? u"TRUE" : u"FALSE");
                } else if (v[0] == 2) {
                    put(row, col, errorText(v[2]));
                }
                break;
            }
            case kString: {
                if (!pendingString) break;
                pendingString = false;
                ContinuedReader text(withContinues(bytes, size, rec, pos));
                const std::uint16_t cch = text.u16();
                const std::uint8_t flags = text.u8();
                std::u16string s;
                text.chars(cch, flags & 1, s);
                put(pendingRow, pendingCol, std::move(s));
                break;
            }
            default:
                break;
        }
    }
    sheet.grid = std::move(grid);
}

}  // namespace vorlix::xls
