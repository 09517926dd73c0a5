#pragma once
// Little-endian field access for the binary formats, bounds-checked on reading.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "vorlix/xls/errors.hpp"

namespace vorlix::xls::detail {

inline std::uint16_t get16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t get32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::uint64_t get64(const std::uint8_t* p) {
    return get32(p) | (static_cast<std::uint64_t>(get32(p + 4)) << 32);
}
inline void put16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void put32(std::uint8_t* p, std::uint32_t v) {
    put16(p, v & 0xFFFF);
    put16(p + 2, v >> 16);
}
inline void put64(std::uint8_t* p, std::uint64_t v) {
    put32(p, static_cast<std::uint32_t>(v));
    put32(p + 4, static_cast<std::uint32_t>(v >> 32));
}

// Appends little-endian fields to a byte vector.
class ByteWriter {
public:
    explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void u8(std::uint32_t v) { out_.push_back(static_cast<std::uint8_t>(v)); }
    void u16(std::uint32_t v) {
        u8(v & 0xFF);
        u8((v >> 8) & 0xFF);
    }
    void u32(std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void bytes(const void* p, std::size_t n) {
        const auto* b = static_cast<const std::uint8_t*>(p);
        out_.insert(out_.end(), b, b + n);
    }
    void zeros(std::size_t n) { out_.insert(out_.end(), n, 0); }
    std::size_t size() const { return out_.size(); }

private:
    std::vector<std::uint8_t>& out_;
};

// Reads fields from a byte range; running past the end throws FormatError naming `what`.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size, const char* what)
        : p_(data), size_(size), what_(what) {}
    std::size_t remaining() const { return size_ - pos_; }
    std::size_t position() const { return pos_; }
    const std::uint8_t* here() const { return p_ + pos_; }
    void need(std::size_t n) const {
        if (n > remaining()) throw FormatError(std::string("truncated ") + what_);
    }
    std::uint8_t u8() {
        need(1);
        return p_[pos_++];
    }
    std::uint16_t u16() {
        need(2);
        const auto v = get16(p_ + pos_);
        pos_ += 2;
        return v;
    }
    std::uint32_t u32() {
        need(4);
        const auto v = get32(p_ + pos_);
        pos_ += 4;
        return v;
    }
    double f64() {
        need(8);
        double d;
        std::memcpy(&d, p_ + pos_, 8);
        pos_ += 8;
        return d;
    }
    void skip(std::size_t n) {
        need(n);
        pos_ += n;
    }

private:
    const std::uint8_t* p_;
    std::size_t size_;
    std::size_t pos_ = 0;
    const char* what_;
};

}  // namespace vorlix::xls::detail
