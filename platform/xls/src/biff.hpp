#pragma once
// BIFF8 record plumbing shared by the workbook reader and writer.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bytes.hpp"

namespace vorlix::xls::detail {

// Record types we read, write or adjust.
enum RecordType : std::uint16_t {
    kFormula = 0x0006,
    kEof = 0x000A,
    kExternSheet = 0x0017,
    kLbl = 0x0018,
    kFilePass = 0x002F,
    kFont = 0x0031,
    kContinue = 0x003C,
    kWindow1 = 0x003D,
    kCodePage = 0x0042,
    kWsBool = 0x0081,
    kBoundSheet = 0x0085,
    kMulRk = 0x00BD,
    kMulBlank = 0x00BE,
    kRString = 0x00D6,
    kXf = 0x00E0,
    kSst = 0x00FC,
    kLabelSst = 0x00FD,
    kExtSst = 0x00FF,
    kTabId = 0x013D,
    kSupBook = 0x01AE,
    kDimensions = 0x0200,
    kBlank = 0x0201,
    kNumber = 0x0203,
    kLabel = 0x0204,
    kBoolErr = 0x0205,
    kString = 0x0207,
    kIndex = 0x020B,
    kWindow2 = 0x023E,
    kRk = 0x027E,
    kStyle = 0x0293,
    kFormat = 0x041E,
    kBof = 0x0809,
};

constexpr std::size_t kMaxRecordData = 8224;

struct RecordView {
    std::uint16_t type = 0;
    const std::uint8_t* data = nullptr;
    std::uint16_t size = 0;
    std::size_t offset = 0;  // of the record header in the stream
};

// Reads the record at `pos` and advances past it; false at the end of the bytes.
inline bool nextRecord(const std::uint8_t* bytes, std::size_t size, std::size_t& pos, RecordView& rec) {
    if (pos >= size) return false;
    if (size - pos < 4) throw FormatError("workbook stream ends inside a record header");
    rec.type = get16(bytes + pos);
    rec.size = get16(bytes + pos + 2);
    if (size - pos - 4 < rec.size) throw FormatError("workbook stream ends inside a record");
    rec.data = bytes + pos + 4;
    rec.offset = pos;
    pos += 4 + static_cast<std::size_t>(rec.size);
    return true;
}

// Appends a record (header and data) to a stream being written.
inline void addRecord(std::vector<std::uint8_t>& out, std::uint16_t type, const std::vector<std::uint8_t>& data) {
    ByteWriter w(out);
    w.u16(type);
    w.u16(static_cast<std::uint32_t>(data.size()));
    w.bytes(data.data(), data.size());
}

// True when every character fits the one-byte ("compressed") form.
inline bool isCompressible(std::u16string_view s) {
    for (const char16_t c : s)
        if (c >= 0x100) return false;
    return true;
}

inline void appendChars(std::vector<std::uint8_t>& out, std::u16string_view s, bool high) {
    // Sized once, then filled: the shared string table is megabytes of characters.
    const std::size_t at = out.size();
    out.resize(at + s.size() * (high ? 2 : 1));
    std::uint8_t* p = out.data() + at;
    if (high) {
        for (const char16_t c : s) {
            *p++ = static_cast<std::uint8_t>(c);
            *p++ = static_cast<std::uint8_t>(c >> 8);
        }
    } else {
        for (const char16_t c : s) *p++ = static_cast<std::uint8_t>(c);
    }
}

// Reads across a record and its CONTINUE records as one byte sequence, except that
// character data restarts its option byte at the start of every CONTINUE.
class ContinuedReader {
public:
    using Segment = std::pair<const std::uint8_t*, std::size_t>;
    explicit ContinuedReader(std::vector<Segment> segments) : segments_(std::move(segments)) {}

    bool atEnd() {
        skipEmpty();
        return seg_ >= segments_.size();
    }
    std::uint8_t u8() {
        skipEmpty();
        if (seg_ >= segments_.size()) throw FormatError("string data runs past its records");
        return segments_[seg_].first[pos_++];
    }
    std::uint16_t u16() {
        const std::uint16_t lo = u8();
        return static_cast<std::uint16_t>(lo | (u8() << 8));
    }
    std::uint32_t u32() {
        const std::uint32_t lo = u16();
        return lo | (static_cast<std::uint32_t>(u16()) << 16);
    }
    void bytes(std::size_t n, std::vector<std::uint8_t>* out) {
        while (n > 0) {
            skipEmpty();
            if (seg_ >= segments_.size()) throw FormatError("string data runs past its records");
            const std::size_t take = std::min(n, segments_[seg_].second - pos_);
            if (out) out->insert(out->end(), segments_[seg_].first + pos_, segments_[seg_].first + pos_ + take);
            pos_ += take;
            n -= take;
        }
    }
    // Reads `count` characters, compressed (one byte each) or not; a CONTINUE met in
    // between starts with a fresh option byte.
    void chars(std::size_t count, bool highByte, std::u16string& out) {
        out.reserve(out.size() + count);
        while (count > 0) {
            if (seg_ < segments_.size() && pos_ >= segments_[seg_].second) {
                ++seg_;
                pos_ = 0;
                if (seg_ >= segments_.size() || segments_[seg_].second == 0)
                    throw FormatError("string data runs past its records");
                highByte = (segments_[seg_].first[pos_++] & 1) != 0;
            }
            if (seg_ >= segments_.size()) throw FormatError("string data runs past its records");
            const auto& [p, n] = segments_[seg_];
            const std::size_t unit = highByte ? 2 : 1;
            const std::size_t fit = std::min(count, (n - pos_) / unit);
            if (fit == 0) throw FormatError("a character is split between records");
            for (std::size_t i = 0; i < fit; ++i)
                out += highByte ? static_cast<char16_t>(get16(p + pos_ + i * 2)) : static_cast<char16_t>(p[pos_ + i]);
            pos_ += fit * unit;
            count -= fit;
        }
    }

private:
    void skipEmpty() {
        while (seg_ < segments_.size() && pos_ >= segments_[seg_].second) {
            ++seg_;
            pos_ = 0;
        }
    }
    std::vector<Segment> segments_;
    std::size_t seg_ = 0;
    std::size_t pos_ = 0;
};

}  // namespace vorlix::xls::detail
