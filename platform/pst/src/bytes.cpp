#include "bytes.hpp"

#include <array>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace pst {
namespace {

// Slicing-by-16 tables: the checksum runs over every page and block we write, so it is
// worth the 16 KB.
struct CrcTables {
    uint32_t t[16][256];
    CrcTables() {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
            t[0][i] = c;
        }
        for (uint32_t i = 0; i < 256; ++i)
            for (int s = 1; s < 16; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
    }
};
const CrcTables& crcTables() {
    static const CrcTables tables;
    return tables;
}

const uint8_t kPermuteDecode[256] = {
#include "permute_table.inc"
};

struct PermuteEncodeTable {
    uint8_t t[256];
    PermuteEncodeTable() {
        for (int i = 0; i < 256; ++i) t[kPermuteDecode[i]] = uint8_t(i);
    }
};
const PermuteEncodeTable& encodeTable() {
    static const PermuteEncodeTable table;
    return table;
}

// Windows-1252 code points 0x80..0x9F; 0 where the code page leaves the byte undefined.
const char16_t kCp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};

} // namespace

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define PST_CRC_CLMUL 1
// Carry-less multiplication folds 64 bytes per step, several times faster than the tables
// on every page and block a save writes. The constants are the powers of x modulo the
// (bit-reflected) CRC-32 polynomial for folding across 512 and 128 bits, the 64-to-32-bit
// step, and the polynomial with its Barrett quotient, from Intel's paper "Fast CRC
// Computation for Generic Polynomials Using PCLMULQDQ Instruction".
__attribute__((target("pclmul,sse2"))) static __m128i foldStep(__m128i x, __m128i k, __m128i data) {
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), data);
}

// The register update of the table version over len bytes (len >= 64, a multiple of 16).
__attribute__((target("pclmul,sse2"))) static uint32_t crc32Clmul(const uint8_t* p, size_t len, uint32_t crc) {
    const __m128i k1k2 = _mm_set_epi64x(0x1c6e41596LL, 0x154442bd4LL);
    const __m128i k3k4 = _mm_set_epi64x(0x0ccaa009eLL, 0x1751997d0LL);
    const __m128i k5 = _mm_set_epi64x(0, 0x163cd6124LL);
    const __m128i poly = _mm_set_epi64x(0x1f7011641LL, 0x1db710641LL);
    const __m128i mask32 = _mm_set_epi32(0, 0, 0, -1);
    auto load = [](const uint8_t* q) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q)); };
    __m128i x1 = _mm_xor_si128(load(p), _mm_cvtsi32_si128(int(crc)));
    __m128i x2 = load(p + 16), x3 = load(p + 32), x4 = load(p + 48);
    p += 64;
    len -= 64;
    for (; len >= 64; p += 64, len -= 64) {
        x1 = foldStep(x1, k1k2, load(p));
        x2 = foldStep(x2, k1k2, load(p + 16));
        x3 = foldStep(x3, k1k2, load(p + 32));
        x4 = foldStep(x4, k1k2, load(p + 48));
    }
    x1 = foldStep(x1, k3k4, x2);
    x1 = foldStep(x1, k3k4, x3);
    x1 = foldStep(x1, k3k4, x4);
    for (; len >= 16; p += 16, len -= 16) x1 = foldStep(x1, k3k4, load(p));
    // 128 bits to 64, then to 32, then the Barrett reduction.
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k3k4, 0x10));
    __m128i x2r = _mm_srli_si128(x1, 4);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask32), k5, 0x00), x2r);
    __m128i t = _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, mask32), poly, 0x10), mask32);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(t, poly, 0x00), x1);
    return uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(x1, 4)));
}

// The substitution of data blocks as a 256-byte table lookup on 64 bytes at a time, where
// the processor has byte permutes across a whole register (two 128-entry halves, chosen by
// each byte's top bit). Registers only: nothing here touches the stack.
__attribute__((target("avx512f,avx512bw,avx512vbmi,bmi2"))) static void permuteWide(char* data, size_t len,
                                                                                const uint8_t* table) {
    const __m512i t0 = _mm512_loadu_si512(table), t1 = _mm512_loadu_si512(table + 64);
    const __m512i t2 = _mm512_loadu_si512(table + 128), t3 = _mm512_loadu_si512(table + 192);
    size_t i = 0;
    for (; i + 64 <= len; i += 64) {
        __m512i x = _mm512_loadu_si512(data + i);
        __m512i lo = _mm512_permutex2var_epi8(t0, x, t1);
        __m512i hi = _mm512_permutex2var_epi8(t2, x, t3);
        _mm512_storeu_si512(data + i, _mm512_mask_blend_epi8(_mm512_movepi8_mask(x), lo, hi));
    }
    if (i < len) {
        __mmask64 k = _bzhi_u64(~0ull, unsigned(len - i));
        __m512i x = _mm512_maskz_loadu_epi8(k, data + i);
        __m512i lo = _mm512_permutex2var_epi8(t0, x, t1);
        __m512i hi = _mm512_permutex2var_epi8(t2, x, t3);
        _mm512_mask_storeu_epi8(data + i, k, _mm512_mask_blend_epi8(_mm512_movepi8_mask(x), lo, hi));
    }
}

static bool cpuHasWidePermute() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & bit_OSXSAVE)) return false;
    // The operating system must save the mask and 512-bit registers (XCR0 bits 1, 2, 5-7).
    unsigned lo, hi;
    __asm__("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    if ((lo & 0xE6) != 0xE6) return false;
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
    return (b & bit_AVX512F) && (b & bit_AVX512BW) && (c & bit_AVX512VBMI) && (b & bit_BMI2);
}

static bool cpuHasClmul() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    return __get_cpuid(1, &a, &b, &c, &d) && (c & bit_PCLMUL) && (d & bit_SSE2);
}
#endif

uint32_t crc32(const void* data, size_t len, uint32_t crc) {
    const auto& T = crcTables().t;
    const uint8_t* p = static_cast<const uint8_t*>(data);
#ifdef PST_CRC_CLMUL
    static const bool clmul = cpuHasClmul();
    if (clmul && len >= 64) {
        size_t n = len & ~size_t(15);
        crc = crc32Clmul(p, n, crc);
        p += n;
        len -= n;
    }
#endif
    while (len >= 16) {
        uint32_t a = rd32(p) ^ crc, b = rd32(p + 4), c = rd32(p + 8), d = rd32(p + 12);
        crc = T[15][a & 0xFF] ^ T[14][(a >> 8) & 0xFF] ^ T[13][(a >> 16) & 0xFF] ^ T[12][a >> 24] ^
              T[11][b & 0xFF] ^ T[10][(b >> 8) & 0xFF] ^ T[9][(b >> 16) & 0xFF] ^ T[8][b >> 24] ^
              T[7][c & 0xFF] ^ T[6][(c >> 8) & 0xFF] ^ T[5][(c >> 16) & 0xFF] ^ T[4][c >> 24] ^
              T[3][d & 0xFF] ^ T[2][(d >> 8) & 0xFF] ^ T[1][(d >> 16) & 0xFF] ^ T[0][d >> 24];
        p += 16;
        len -= 16;
    }
    while (len--) crc = T[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return crc;
}

void permuteEncode(char* data, size_t len) {
    const uint8_t* t = encodeTable().t;
#ifdef PST_CRC_CLMUL
    static const bool wide = cpuHasWidePermute();
    if (wide) {
        permuteWide(data, len, t);
        return;
    }
#endif
    // Eight bytes per step through one 64-bit load and store: the table lookups are what
    // remains of the work.
    size_t i = 0;
    for (; i + 8 <= len; i += 8) {
        uint64_t x;
        std::memcpy(&x, data + i, 8);
        uint64_t y = uint64_t(t[x & 0xFF]) | uint64_t(t[(x >> 8) & 0xFF]) << 8 | uint64_t(t[(x >> 16) & 0xFF]) << 16 |
                     uint64_t(t[(x >> 24) & 0xFF]) << 24 | uint64_t(t[(x >> 32) & 0xFF]) << 32 |
                     uint64_t(t[(x >> 40) & 0xFF]) << 40 | uint64_t(t[(x >> 48) & 0xFF]) << 48 |
                     uint64_t(t[x >> 56]) << 56;
        std::memcpy(data + i, &y, 8);
    }
    for (; i < len; ++i) data[i] = char(t[uint8_t(data[i])]);
}

void permuteDecode(char* data, size_t len) {
    for (size_t i = 0; i < len; ++i) data[i] = char(kPermuteDecode[uint8_t(data[i])]);
}

namespace {

// Decodes UTF-8 and hands each UTF-16 code unit to put; malformed input becomes U+FFFD.
template <class Put> void decodeUtf8(std::string_view s, Put&& put) {
    for (size_t i = 0; i < s.size();) {
        uint8_t c = uint8_t(s[i]);
        uint32_t cp;
        size_t n;
        if (c < 0x80) { cp = c; n = 1; }
        else if ((c >> 5) == 6) { cp = c & 0x1F; n = 2; }
        else if ((c >> 4) == 14) { cp = c & 0x0F; n = 3; }
        else if ((c >> 3) == 30) { cp = c & 0x07; n = 4; }
        else { put(char16_t(0xFFFD)); ++i; continue; }
        if (i + n > s.size()) { put(char16_t(0xFFFD)); break; }
        bool ok = true;
        for (size_t k = 1; k < n; ++k) {
            uint8_t d = uint8_t(s[i + k]);
            if ((d >> 6) != 2) { ok = false; break; }
            cp = (cp << 6) | (d & 0x3F);
        }
        if (!ok) { put(char16_t(0xFFFD)); ++i; continue; }
        i += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put(char16_t(0xD800 + (cp >> 10)));
            put(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            put(char16_t(cp));
        }
    }
}

} // namespace

std::u16string utf8ToUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    decodeUtf8(s, [&](char16_t u) { out.push_back(u); });
    return out;
}

Bytes utf8ToUtf16LeBytes(std::string_view s) {
    Bytes out;
    utf8ToUtf16LeBytes(s, out);
    return out;
}

void utf8ToUtf16LeBytes(std::string_view s, Bytes& out) {
    // Every UTF-8 byte gives at most one UTF-16 unit (a 4-byte sequence gives two), so
    // twice the input's length is room enough; written in place, then cut to size.
    out.resize(s.size() * 2);
    char* const base = out.empty() ? nullptr : &out[0];
    char* o = base;
    size_t i = 0;
    while (i < s.size() && uint8_t(s[i]) < 0x80) {  // the common case: plain ASCII
        o[0] = s[i];
        o[1] = 0;
        o += 2;
        ++i;
    }
    if (i < s.size()) {
        decodeUtf8(s.substr(i), [&](char16_t u) {
            o[0] = char(u & 0xFF);
            o[1] = char(u >> 8);
            o += 2;
        });
    }
    out.resize(size_t(o - base));
}

std::string utf16ToUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t cp = s[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) out.push_back(char(cp));
        else if (cp < 0x800) { out.push_back(char(0xC0 | (cp >> 6))); out.push_back(char(0x80 | (cp & 0x3F))); }
        else if (cp < 0x10000) {
            out.push_back(char(0xE0 | (cp >> 12)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (cp >> 18)));
            out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

Bytes utf16ToLeBytes(std::u16string_view s) {
    Bytes b(s.size() * 2, '\0');
    for (size_t i = 0; i < s.size(); ++i) wr16(&b[i * 2], s[i]);
    return b;
}

std::u16string leBytesToUtf16(std::string_view b) {
    std::u16string s(b.size() / 2, u'\0');
    for (size_t i = 0; i < s.size(); ++i) s[i] = rd16(b.data() + i * 2);
    return s;
}

Bytes utf8ToCp1252(std::string_view s) {
    Bytes out;
    for (char16_t c : utf8ToUtf16(s)) {
        if (c < 0x80 || (c >= 0xA0 && c < 0x100)) { out.push_back(char(c)); continue; }
        char mapped = '?';
        for (int k = 0; k < 32; ++k)
            if (kCp1252High[k] == c && c != 0) { mapped = char(0x80 + k); break; }
        out.push_back(mapped);
    }
    return out;
}

std::string cp1252ToUtf8(std::string_view s) {
    std::u16string w;
    w.reserve(s.size());
    for (char ch : s) {
        uint8_t c = uint8_t(ch);
        if (c >= 0x80 && c < 0xA0) w.push_back(kCp1252High[c - 0x80] ? kCp1252High[c - 0x80] : char16_t(0xFFFD));
        else w.push_back(c);
    }
    return utf16ToUtf8(w);
}

} // namespace pst
