#include "bytes.hpp"

#include <array>

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

uint32_t crc32(const void* data, size_t len, uint32_t crc) {
    const auto& T = crcTables().t;
    const uint8_t* p = static_cast<const uint8_t*>(data);
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
    for (size_t i = 0; i < len; ++i) data[i] = char(t[uint8_t(data[i])]);
}

void permuteDecode(char* data, size_t len) {
    for (size_t i = 0; i < len; ++i) data[i] = char(kPermuteDecode[uint8_t(data[i])]);
}

std::u16string utf8ToUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        uint8_t c = uint8_t(s[i]);
        uint32_t cp;
        size_t n;
        if (c < 0x80) { cp = c; n = 1; }
        else if ((c >> 5) == 6) { cp = c & 0x1F; n = 2; }
        else if ((c >> 4) == 14) { cp = c & 0x0F; n = 3; }
        else if ((c >> 3) == 30) { cp = c & 0x07; n = 4; }
        else { out.push_back(0xFFFD); ++i; continue; }
        if (i + n > s.size()) { out.push_back(0xFFFD); break; }
        bool ok = true;
        for (size_t k = 1; k < n; ++k) {
            uint8_t d = uint8_t(s[i + k]);
            if ((d >> 6) != 2) { ok = false; break; }
            cp = (cp << 6) | (d & 0x3F);
        }
        if (!ok) { out.push_back(0xFFFD); ++i; continue; }
        i += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
    }
    return out;
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
