#include "shared_strings.hpp"

#include <algorithm>
#include <cstring>

namespace vorlix::xls::detail {

// ---------------------------------------------------------------- SstWriter

SstWriter::SstWriter(std::vector<std::uint8_t>& out, std::uint32_t total, std::uint32_t unique) : out_(out) {
    // ExtSST keeps one entry per bucket of strings; at most 128 buckets.
    bucketSize_ = std::max<std::uint32_t>(8, (unique + 127) / 128);
    startRecord(kSst);
    ByteWriter w(out_);
    w.u32(total);
    w.u32(unique);
}

void SstWriter::add(std::u16string_view text, std::uint16_t runCount, const std::vector<std::uint8_t>& runs,
                    const std::vector<std::uint8_t>& extData) {
    const bool high = !isCompressible(text);
    const bool rich = runCount > 0;
    const bool ext = !extData.empty();
    const std::size_t header = 3 + (rich ? 2 : 0) + (ext ? 4 : 0);
    const std::size_t unit = high ? 2 : 1;
    // Keep the header and at least the first character together in one record.
    if (room() < header + (text.empty() ? 0 : unit)) startRecord(kContinue);
    if (index_ % bucketSize_ == 0) {
        buckets_.emplace_back(static_cast<std::uint32_t>(out_.size()),
                              static_cast<std::uint16_t>(out_.size() - recordStart_));
    }
    ++index_;
    ByteWriter w(out_);
    w.u16(static_cast<std::uint32_t>(text.size()));
    w.u8((high ? 1 : 0) | (ext ? 4 : 0) | (rich ? 8 : 0));
    if (rich) w.u16(runCount);
    if (ext) w.u32(static_cast<std::uint32_t>(extData.size()));
    std::size_t done = 0;
    while (done < text.size()) {
        std::size_t fit = std::min(text.size() - done, room() / unit);
        // Readers decode each record's characters on their own: keep a surrogate
        // pair (an emoji, say) in one record.
        if (fit > 0 && done + fit < text.size() && text[done + fit - 1] >= 0xD800 && text[done + fit - 1] <= 0xDBFF)
            --fit;
        if (fit == 0) {
            // A CONTINUE that starts inside the characters repeats the option byte.
            startRecord(kContinue);
            out_.push_back(high ? 1 : 0);
            continue;
        }
        appendChars(out_, text.substr(done, fit), high);
        done += fit;
    }
    rawBytes(runs);
    rawBytes(extData);
}

void SstWriter::finish() {
    closeRecord();
    std::vector<std::uint8_t> ext;
    ByteWriter w(ext);
    w.u16(bucketSize_);
    for (const auto& [streamPos, inRecord] : buckets_) {
        w.u32(streamPos);
        w.u16(inRecord);
        w.u16(0);
    }
    addRecord(out_, kExtSst, ext);
}

void SstWriter::startRecord(std::uint16_t type) {
    closeRecord();
    recordStart_ = out_.size();
    ByteWriter w(out_);
    w.u16(type);
    w.u16(0);  // the size, filled in by closeRecord
    open_ = true;
}

void SstWriter::closeRecord() {
    if (!open_) return;
    put16(&out_[recordStart_ + 2], static_cast<std::uint32_t>(recordSize()));
    open_ = false;
}

// Formatting runs and extended data may break anywhere, without an option byte.
void SstWriter::rawBytes(const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        if (room() == 0) startRecord(kContinue);
        const std::size_t take = std::min(room(), bytes.size() - done);
        out_.insert(out_.end(), bytes.begin() + static_cast<std::ptrdiff_t>(done),
                    bytes.begin() + static_cast<std::ptrdiff_t>(done + take));
        done += take;
    }
}

// ---------------------------------------------------------------- StringTable

std::uint32_t StringTable::hash(std::u16string_view text) {
    // Four characters a step: cell texts are short, and a character at a time made the
    // hash a noticeable part of writing a big sheet.
    constexpr std::uint64_t k1 = 0x9E3779B97F4A7C15ull, k2 = 0xC2B2AE3D27D4EB4Full;
    std::uint64_t h = text.size() * k1;
    const char16_t* p = text.data();
    std::size_t n = text.size();
    for (; n >= 4; n -= 4, p += 4) {
        std::uint64_t w;
        std::memcpy(&w, p, sizeof w);
        h = (h ^ (w * k2)) * k1;
        h ^= h >> 31;
    }
    std::uint64_t tail = 0;
    for (std::size_t i = 0; i < n; ++i) tail |= static_cast<std::uint64_t>(p[i]) << (16 * i);
    h = (h ^ (tail * k2)) * k1;
    h ^= h >> 29;
    h *= k2;
    h ^= h >> 32;
    return static_cast<std::uint32_t>(h);
}

StringTable::StringTable(const std::vector<SharedString>& original, std::size_t expected) : original_(original) {
    // A contact table repeats about three texts in four (names, places, companies); at
    // most half the slots are in use.
    std::size_t capacity = 16;
    while (capacity < (original.size() + expected / 4) * 2) capacity *= 2;
    slots_.resize(capacity);
    // Formatted strings stay apart: a plain cell must not take on their formatting.
    for (std::uint32_t i = 0; i < original.size(); ++i)
        if (original[i].runCount == 0 && original[i].ext.empty()) find(original[i].text, hash(original[i].text), i);
}

std::size_t StringTable::sstBytesBound() const {
    std::size_t bytes = 8 + 3 * added_.size() + 2 * addedChars_;
    for (const SharedString& s : original_)
        bytes += 9 + 2 * s.text.size() + s.runs.size() + s.ext.size();
    // Each CONTINUE adds a record header and perhaps a repeated option byte; ExtSST
    // takes 8 bytes per bucket of at most 128.
    return bytes + (bytes / (kMaxRecordData - 16) + 1) * 5 + 4 + 2 + 128 * 8 + 16;
}

void StringTable::writeTo(SstWriter& out) const {
    for (const SharedString& s : original_) out.add(s);
    for (const std::u16string_view text : added_) out.add(text);
}

std::uint32_t StringTable::find(std::u16string_view text, std::uint32_t hash, std::uint32_t next) {
    if ((size() + 1) * 2 > slots_.size()) grow();
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        Slot& slot = slots_[i];
        if (slot.index == kEmpty) {
            slot = Slot{hash, next};
            if (next >= original_.size()) {
                added_.push_back(text);
                addedChars_ += text.size();
            }
            return next;
        }
        if (slot.hash == hash && textOf(slot.index) == text) return slot.index;
    }
}

void StringTable::grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.index == kEmpty) continue;
        std::size_t i = slot.hash & mask;
        while (slots_[i].index != kEmpty) i = (i + 1) & mask;
        slots_[i] = slot;
    }
}

}  // namespace vorlix::xls::detail
