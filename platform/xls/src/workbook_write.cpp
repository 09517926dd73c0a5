// Writing a workbook stream: the global records (kept ones and our own), the shared
// string table, sheets from their cells, and kept sheets moved to their new places.
#include <algorithm>

#include "workbook_impl.hpp"

namespace vorlix::xls {

using namespace detail;

namespace {

std::u16string ascii(const char* s) { return std::u16string(s, s + std::char_traits<char>::length(s)); }

// XLUnicodeString: 16-bit count, option byte, characters.
std::vector<std::uint8_t> unicodeString(std::u16string_view s) {
    std::vector<std::uint8_t> out;
    const bool high = !isCompressible(s);
    ByteWriter w(out);
    w.u16(static_cast<std::uint32_t>(s.size()));
    w.u8(high ? 1 : 0);
    appendChars(out, s, high);
    return out;
}

// ShortXLUnicodeString: 8-bit count, option byte, characters.
void appendShortString(std::vector<std::uint8_t>& out, std::u16string_view s) {
    const bool high = !isCompressible(s);
    out.push_back(static_cast<std::uint8_t>(s.size()));
    out.push_back(high ? 1 : 0);
    appendChars(out, s, high);
}

// The global records of a workbook we create: enough formatting for every reader.
std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> defaultGlobals() {
    std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> recs;
    auto add = [&recs](std::uint16_t type, std::vector<std::uint8_t> data) { recs.emplace_back(type, std::move(data)); };

    std::vector<std::uint8_t> d;
    ByteWriter w(d);
    w.u16(0x04B0);  // UTF-16
    add(kCodePage, d);

    d.clear();
    w.u16(0x0168), w.u16(0x001E), w.u16(0x3A5C), w.u16(0x23BE);
    w.u16(0x0038);  // horizontal and vertical scroll bars, sheet tabs
    w.u16(0), w.u16(0), w.u16(1), w.u16(600);
    add(kWindow1, d);

    // Readers number fonts 0-3 and 5 onward (there is no font 4), so five are written.
    for (int i = 0; i < 5; ++i) {
        d.clear();
        w.u16(200), w.u16(0), w.u16(0x7FFF), w.u16(400), w.u16(0);
        w.u8(0), w.u8(0), w.u8(0), w.u8(0);
        appendShortString(d, u"Arial");
        add(kFont, d);
    }

    // The built-in currency and accounting formats that Excel itself always lists.
    const std::pair<std::uint16_t, const char*> formats[] = {
        {5, "\"$\"#,##0_);\\(\"$\"#,##0\\)"},
        {6, "\"$\"#,##0_);[Red]\\(\"$\"#,##0\\)"},
        {7, "\"$\"#,##0.00_);\\(\"$\"#,##0.00\\)"},
        {8, "\"$\"#,##0.00_);[Red]\\(\"$\"#,##0.00\\)"},
        {0x2A, "_(\"$\"* #,##0_);_(\"$\"* \\(#,##0\\);_(\"$\"* \"-\"_);_(@_)"},
        {0x29, "_(* #,##0_);_(* \\(#,##0\\);_(* \"-\"_);_(@_)"},
        {0x2C, "_(\"$\"* #,##0.00_);_(\"$\"* \\(#,##0.00\\);_(\"$\"* \"-\"??_);_(@_)"},
        {0x2B, "_(* #,##0.00_);_(* \\(#,##0.00\\);_(* \"-\"??_);_(@_)"},
    };
    for (const auto& [id, text] : formats) {
        d.clear();
        w.u16(id);
        const auto s = unicodeString(ascii(text));
        w.bytes(s.data(), s.size());
        add(kFormat, d);
    }

    // 15 style XFs (the Normal style and its variants) and one cell XF.
    for (int i = 0; i < 16; ++i) {
        const bool style = i < 15;
        d.clear();
        w.u16(0), w.u16(0);
        w.u16(style ? 0xFFF5 : 0x0001);  // locked; a style XF has no parent
        w.u8(0x20);                      // bottom aligned
        w.u8(0), w.u8(0);
        w.u8(style && i > 0 ? 0xF4 : 0);
        w.u32(0), w.u32(0);
        w.u16(64 | (65 << 7));  // automatic pattern colours
        add(kXf, d);
    }

    d.clear();
    w.u16(0x8000), w.u8(0), w.u8(0xFF);  // built-in style "Normal" on XF 0
    add(kStyle, d);
    return recs;
}

// Cells stored in a sheet, empty ones between others included: a bound on the cells
// written, found without looking at any text.
std::size_t storedCells(const Grid& grid) {
    std::size_t n = 0;
    for (std::uint32_t r = 0; r < grid.rowCount(); ++r) n += grid.rowWidth(r);
    return n;
}

std::vector<std::uint8_t> bofData(std::uint16_t substream) {
    std::vector<std::uint8_t> d;
    ByteWriter w(d);
    w.u16(kBiff8), w.u16(substream), w.u16(0x0DBB), w.u16(0x07CC);
    w.u32(0x000000C1);  // file history: written on Windows
    w.u32(0x00000006);  // lowest BIFF version that reads everything here
    return d;
}

}  // namespace

void Workbook::Impl::startNew() {
    globals.emplace_back(kBof, bofData(kGlobalsSubstream));
    for (auto& rec : defaultGlobals()) globals.push_back(std::move(rec));
    boundSheetPos = globals.size();
    sstPos = globals.size();
}

namespace {

// An edited sheet between numbering its texts in the shared string table, which comes
// first in the stream, and writing its cells after it.
struct NumberedSheet {
    std::vector<std::uint32_t> strings;  // each non-empty cell's string number, row by row
    bool any = false;                    // the used range, over non-empty cells
    std::uint32_t firstRow = 0, firstColumn = kMaxColumns, lastColumn = 0;
};

void numberCells(const Grid& grid, StringTable& table, NumberedSheet& out) {
    std::uint32_t hashes[kMaxColumns];
    for (std::uint32_t r = 0; r < grid.rowCount(); ++r) {
        const Grid::RowCells cells = grid.cellsOf(r);
        const std::uint32_t width = cells.width();
        // The whole row is hashed before the table is probed, so the probes find their
        // slots already on their way into the cache.
        for (std::uint32_t c = 0; c < width; ++c) {
            if (cells.empty(c)) continue;
            hashes[c] = StringTable::hash(cells[c]);
            table.prefetch(hashes[c]);
        }
        for (std::uint32_t c = 0; c < width; ++c) {
            if (cells.empty(c)) continue;
            out.strings.push_back(table.add(cells[c], hashes[c]));
            if (!out.any) out.firstRow = r;
            out.any = true;
            out.firstColumn = std::min(out.firstColumn, c);
            out.lastColumn = std::max(out.lastColumn, c);
        }
    }
}

// The bytes writeSheet adds besides the cells.
constexpr std::size_t kSheetRecordBytes = 4 + 16 + 4 + 2 + 4 + 14 + 4 + 18 + 4;

void writeSheet(const Grid& grid, bool selected, const NumberedSheet& numbered, std::vector<std::uint8_t>& out) {
    addRecord(out, kBof, bofData(kSheetSubstream));
    addRecord(out, kWsBool, {0xC1, 0x04});

    // The used range; rows kept past the last cell (an empty last row of a table) count.
    std::vector<std::uint8_t> d;
    ByteWriter w(d);
    if (numbered.any) {
        w.u32(numbered.firstRow), w.u32(grid.rowCount()), w.u16(numbered.firstColumn), w.u16(numbered.lastColumn + 1);
    } else {
        w.u32(0), w.u32(0), w.u16(0), w.u16(0);
    }
    w.u16(0);
    addRecord(out, kDimensions, d);

    // The cells go straight into the stream, which has room for them.
    const std::size_t at = out.size();
    out.resize(at + numbered.strings.size() * 14);
    std::uint8_t* cell = out.data() + at;
    const std::uint32_t* number = numbered.strings.data();
    for (std::uint32_t r = 0; r < grid.rowCount(); ++r) {
        const Grid::RowCells cells = grid.cellsOf(r);
        for (std::uint32_t c = 0; c < cells.width(); ++c) {
            if (cells.empty(c)) continue;
            put16(cell, kLabelSst);
            put16(cell + 2, 10);
            put16(cell + 4, r);
            put16(cell + 6, c);
            put16(cell + 8, kCellXf);
            put32(cell + 10, *number++);
            cell += 14;
        }
    }

    d.clear();
    // Grid lines, headers, zeros, outline symbols; a selected sheet is also the one shown.
    w.u16(selected ? 0x06B6 : 0x00B6);
    w.u16(0), w.u16(0), w.u16(64), w.u16(0), w.u16(0), w.u16(0), w.u32(0);
    addRecord(out, kWindow2, d);
    addRecord(out, kEof, {});
}

// Counts LabelSst records of a kept substream, for the SST's total reference count.
std::uint32_t countStringRefs(const std::vector<std::uint8_t>& substream) {
    std::uint32_t n = 0;
    std::size_t pos = 0;
    RecordView rec;
    while (nextRecord(substream.data(), substream.size(), pos, rec))
        if (rec.type == kLabelSst) ++n;
    return n;
}

// A kept substream moves within the stream; its Index record holds absolute positions.
std::vector<std::uint8_t> relocated(const std::vector<std::uint8_t>& substream, std::uint32_t delta) {
    std::vector<std::uint8_t> copy = substream;
    if (delta == 0) return copy;
    std::size_t pos = 0;
    RecordView rec;
    int depth = 0;
    while (nextRecord(copy.data(), copy.size(), pos, rec)) {
        if (rec.type == kBof) ++depth;
        if (rec.type == kEof && --depth <= 0) break;
        if (rec.type != kIndex || depth != 1 || rec.size < 16) continue;
        std::uint8_t* p = copy.data() + rec.offset + 4;
        for (std::size_t off = 12; off + 4 <= rec.size; off += 4) {
            const std::uint32_t v = get32(p + off);
            if (v != 0) put32(p + off, v + delta);
        }
    }
    return copy;
}
}  // namespace

std::vector<std::uint8_t> Workbook::Impl::writeStream() const {
    if (sheets.empty()) throw LimitError("a workbook needs at least one sheet");

    // Sheets first: their strings extend the shared string table. Strings already in the
    // table keep their numbers, which the kept sheets refer to.
    std::vector<NumberedSheet> numbered(sheets.size());
    std::size_t cellsToWrite = 0;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        if (!sheets[i].edited) continue;
        const std::size_t stored = storedCells(*sheets[i].grid);
        numbered[i].strings.reserve(stored);
        cellsToWrite += stored;
    }
    StringTable strings(sst, cellsToWrite);
    std::uint32_t references = 0;
    std::size_t sheetBytes = 0;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        if (sheets[i].edited) {
            numberCells(*sheets[i].grid, strings, numbered[i]);
            references += static_cast<std::uint32_t>(numbered[i].strings.size());
            sheetBytes += kSheetRecordBytes + numbered[i].strings.size() * 14;
        } else {
            references += countStringRefs(sheets[i].original);
            sheetBytes += sheets[i].original.size();
        }
    }
    // Kept sheets keep their own selection flags; a sheet we write is selected when it
    // is the one the workbook window shows.
    const std::size_t shown = activeSheet();

    // Globals, with the sheet positions patched in once the globals' length is known.
    // The stream is tens of megabytes for a big table: it is allocated once.
    std::vector<std::uint8_t> out;
    std::size_t globalBytes = 4 + strings.sstBytesBound();
    for (const auto& rec : globals) globalBytes += 4 + rec.second.size();
    for (const Sheet& s : sheets) globalBytes += 4 + 8 + 2 * s.name.size();
    out.reserve(globalBytes + sheetBytes);
    std::vector<std::size_t> plyPosFields;
    auto emitBoundSheets = [&] {
        for (const Sheet& s : sheets) {
            std::vector<std::uint8_t> d(4, 0);
            d.push_back(s.state);
            d.push_back(s.type);
            appendShortString(d, s.name);
            plyPosFields.push_back(out.size() + 4);
            addRecord(out, kBoundSheet, d);
        }
    };
    auto emitSst = [&] {
        SstWriter sstWriter(out, references, strings.size());
        strings.writeTo(sstWriter);
        sstWriter.finish();
    };
    for (std::size_t i = 0; i <= globals.size(); ++i) {
        if (i == boundSheetPos) emitBoundSheets();
        if (i == sstPos) emitSst();
        if (i == globals.size()) break;
        const auto& [type, data] = globals[i];
        std::vector<std::uint8_t> copy;
        const std::vector<std::uint8_t>* rec = &data;
        if (type == kTabId) {
            ByteWriter w(copy);
            for (const Sheet& s : sheets) w.u16(s.tabId);
            rec = &copy;
        } else if (type == kSupBook && data.size() == 4 && get16(&data[2]) == 0x0401) {
            // The workbook's reference to itself counts its sheets.
            copy = data;
            put16(copy.data(), static_cast<std::uint32_t>(sheets.size()));
            rec = &copy;
        } else if (type == kWindow1 && data.size() >= 14) {
            copy = data;
            const auto last = static_cast<std::uint32_t>(sheets.size() - 1);
            if (get16(&copy[10]) > last) put16(&copy[10], 0);
            if (get16(&copy[12]) > last) put16(&copy[12], 0);
            rec = &copy;
        }
        addRecord(out, type, *rec);
    }
    addRecord(out, kEof, {});

    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const auto offset = static_cast<std::uint32_t>(out.size());
        put32(&out[plyPosFields[i]], offset);
        if (sheets[i].edited) {
            writeSheet(*sheets[i].grid, i == shown, numbered[i], out);
        } else {
            const auto moved = relocated(sheets[i].original, offset - static_cast<std::uint32_t>(sheets[i].originalOffset));
            out.insert(out.end(), moved.begin(), moved.end());
        }
    }
    return out;
}

std::size_t Workbook::Impl::activeSheet() const {
    for (const auto& [type, data] : globals)
        if (type == kWindow1 && data.size() >= 12 && get16(&data[10]) < sheets.size()) return get16(&data[10]);
    return 0;
}

CompoundFile Workbook::Impl::makeFile() const {
    CompoundFile out = file;
    CfbEntry* stream = out.root().child(u"Workbook");
    if (!stream) {
        out.root().children.emplace_back();
        stream = &out.root().children.back();
        stream->name = u"Workbook";
    }
    stream->data = writeStream();
    return out;
}

}  // namespace vorlix::xls
