#pragma once
// Little-endian field access and small helpers shared by every layer.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "pst/error.hpp"

namespace pst {

using Bytes = std::string;  // raw octets; std::string gives cheap copies and SSO

inline uint8_t rd8(const void* p) { return *static_cast<const uint8_t*>(p); }
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
// The file's byte order is the machine's: one load or store per field.
inline uint16_t rd16(const void* p) { uint16_t v; std::memcpy(&v, p, 2); return v; }
inline uint32_t rd32(const void* p) { uint32_t v; std::memcpy(&v, p, 4); return v; }
inline uint64_t rd64(const void* p) { uint64_t v; std::memcpy(&v, p, 8); return v; }
inline void wr16(void* p, uint16_t v) { std::memcpy(p, &v, 2); }
inline void wr32(void* p, uint32_t v) { std::memcpy(p, &v, 4); }
inline void wr64(void* p, uint64_t v) { std::memcpy(p, &v, 8); }
#else
inline uint16_t rd16(const void* p) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    return uint16_t(b[0] | (b[1] << 8));
}
inline uint32_t rd32(const void* p) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
}
inline uint64_t rd64(const void* p) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    return uint64_t(rd32(b)) | (uint64_t(rd32(b + 4)) << 32);
}
inline void wr16(void* p, uint16_t v) {
    uint8_t* b = static_cast<uint8_t*>(p);
    b[0] = uint8_t(v); b[1] = uint8_t(v >> 8);
}
inline void wr32(void* p, uint32_t v) {
    uint8_t* b = static_cast<uint8_t*>(p);
    b[0] = uint8_t(v); b[1] = uint8_t(v >> 8); b[2] = uint8_t(v >> 16); b[3] = uint8_t(v >> 24);
}
inline void wr64(void* p, uint64_t v) {
    wr32(p, uint32_t(v));
    wr32(static_cast<uint8_t*>(p) + 4, uint32_t(v >> 32));
}
#endif
inline void wr8(void* p, uint8_t v) { *static_cast<uint8_t*>(p) = v; }

// Reads of a variable-width field: 8 bytes in the Unicode layout, 4 in the ANSI one.
inline uint64_t rdW(const void* p, bool wide) { return wide ? rd64(p) : rd32(p); }
inline void wrW(void* p, uint64_t v, bool wide) {
    if (wide) wr64(p, v); else wr32(p, uint32_t(v));
}

// Appending writers for building structures.
inline void put8(Bytes& b, uint8_t v) { b.push_back(char(v)); }
inline void put16(Bytes& b, uint16_t v) { char t[2]; wr16(t, v); b.append(t, 2); }
inline void put32(Bytes& b, uint32_t v) { char t[4]; wr32(t, v); b.append(t, 4); }
inline void put64(Bytes& b, uint64_t v) { char t[8]; wr64(t, v); b.append(t, 8); }
inline void putW(Bytes& b, uint64_t v, bool wide) { if (wide) put64(b, v); else put32(b, uint32_t(v)); }

inline uint64_t align(uint64_t v, uint64_t a) { return (v + a - 1) / a * a; }

[[noreturn]] inline void fail(const std::string& msg) { throw Error(msg); }

// The PST checksum: reflected CRC-32 (polynomial 0xEDB88320), initial value 0, no final XOR.
uint32_t crc32(const void* data, size_t len, uint32_t crc = 0);

// Byte-wise substitution encoding of data blocks (bCryptMethod 1).
void permuteEncode(char* data, size_t len);
void permuteDecode(char* data, size_t len);

// Text conversions: the public API speaks UTF-8; the file stores UTF-16LE or Windows-1252.
std::u16string utf8ToUtf16(std::string_view s);
std::string utf16ToUtf8(std::u16string_view s);
Bytes utf16ToLeBytes(std::u16string_view s);
Bytes utf8ToUtf16LeBytes(std::string_view s);  // the two above in one step
void utf8ToUtf16LeBytes(std::string_view s, Bytes& out);  // the same into a buffer kept for its capacity
std::u16string leBytesToUtf16(std::string_view b);
Bytes utf8ToCp1252(std::string_view s);
std::string cp1252ToUtf8(std::string_view s);

} // namespace pst
