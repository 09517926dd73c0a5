#pragma once
// The shared string table (SST): reading its strings, numbering the strings of a workbook
// being written, and writing the table across CONTINUE records with its ExtSST index.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "biff.hpp"

namespace vorlix::xls::detail {

// A string of the shared string table: its text and, for rich or phonetic strings, the
// formatting runs and extended data, kept as read so they survive a rewrite.
struct SharedString {
    std::u16string text;
    std::uint16_t runCount = 0;
    std::vector<std::uint8_t> runs;  // 4 bytes per run
    std::vector<std::uint8_t> ext;   // ExtRst bytes
};

// Reads an XLUnicodeRichExtendedString (the SST and CONTINUE form).
inline SharedString readRichString(ContinuedReader& in) {
    SharedString s;
    const std::uint16_t cch = in.u16();
    const std::uint8_t flags = in.u8();
    std::uint32_t extSize = 0;
    if (flags & 0x08) s.runCount = in.u16();
    if (flags & 0x04) extSize = in.u32();
    in.chars(cch, flags & 1, s.text);
    in.bytes(static_cast<std::size_t>(s.runCount) * 4, &s.runs);
    in.bytes(extSize, &s.ext);
    return s;
}

// Writes the shared string table as SST + CONTINUE records and the ExtSST index into
// `out`, whose size is the stream offset where the SST starts.
class SstWriter {
public:
    SstWriter(std::vector<std::uint8_t>& out, std::uint32_t total, std::uint32_t unique);
    void add(const SharedString& s) { add(s.text, s.runCount, s.runs, s.ext); }
    void add(std::u16string_view text, std::uint16_t runCount = 0, const std::vector<std::uint8_t>& runs = {},
             const std::vector<std::uint8_t>& extData = {});
    // Closes the last record and writes the ExtSST.
    void finish();

private:
    std::size_t room() const { return kMaxRecordData - recordSize(); }
    std::size_t recordSize() const { return out_.size() - recordStart_ - 4; }
    void startRecord(std::uint16_t type);
    void closeRecord();
    void rawBytes(const std::vector<std::uint8_t>& bytes);

    std::vector<std::uint8_t>& out_;
    std::uint32_t bucketSize_;
    std::uint32_t index_ = 0;
    std::size_t recordStart_ = 0;
    bool open_ = false;
    std::vector<std::pair<std::uint32_t, std::uint16_t>> buckets_;  // (stream offset, offset in record)
};

// The shared strings of a workbook being written: the strings read from the file first,
// in their order (the kept sheets' cells refer to them by number), then each new text
// once. Texts are looked up in an open-addressing table of views into the cells, which
// keeps writing a large sheet free of a string copy per cell.
class StringTable {
public:
    // `expected`: about how many cells will be added, to size the table once for the
    // usual share of repeated texts (it grows when there are fewer).
    StringTable(const std::vector<SharedString>& original, std::size_t expected);

    static std::uint32_t hash(std::u16string_view text);
    // Brings the slot a hash starts at into the cache: a big sheet's table is probed at
    // random, so hashing a row's cells first and probing after hides the memory latency.
    void prefetch(std::uint32_t hash) const {
#if defined(__GNUC__) || defined(__clang__)
        __builtin_prefetch(&slots_[hash & (slots_.size() - 1)]);
#else
        (void)hash;
#endif
    }
    // The number of `text` in the table; the text must outlive the table.
    std::uint32_t add(std::u16string_view text) { return add(text, hash(text)); }
    std::uint32_t add(std::u16string_view text, std::uint32_t hash) {
        return find(text, hash, static_cast<std::uint32_t>(original_.size() + added_.size()));
    }
    std::uint32_t size() const { return static_cast<std::uint32_t>(original_.size() + added_.size()); }
    // At most how many bytes SstWriter writes for the table.
    std::size_t sstBytesBound() const;
    void writeTo(SstWriter& out) const;

private:
    // Eight bytes a slot, so more of a big table stays in the cache. The hash is kept
    // whole: it picks the slot, rules out most wrong texts without a look at them, and
    // lets the table grow without hashing every text again.
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t index = kEmpty;
    };
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;

    std::u16string_view textOf(std::uint32_t index) const {
        return index < original_.size() ? std::u16string_view(original_[index].text) : added_[index - original_.size()];
    }
    std::uint32_t find(std::u16string_view text, std::uint32_t hash, std::uint32_t next);
    void grow();

    const std::vector<SharedString>& original_;
    std::vector<std::u16string_view> added_;
    std::size_t addedChars_ = 0;
    std::vector<Slot> slots_;
};

}  // namespace vorlix::xls::detail
