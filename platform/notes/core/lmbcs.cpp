#include "lmbcs.h"

#include <cstdint>

namespace notescore {
namespace {

// Code page 850, bytes 0x80..0xFF.
const char16_t kCp850[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

struct Latin1Table {
  unsigned char byte[96];  // U+00A0..U+00FF -> code page 850 byte
  Latin1Table() {
    for (int b = 0; b < 128; ++b) {
      char16_t u = kCp850[b];
      if (u >= 0xA0 && u <= 0xFF) byte[u - 0xA0] = static_cast<unsigned char>(0x80 + b);
    }
  }
};
const Latin1Table& Latin1() {
  static const Latin1Table table;
  return table;
}

constexpr unsigned char kGroupCp850 = 0x01;
constexpr unsigned char kGroupControl = 0x0F;
constexpr unsigned char kGroupUnicode = 0x14;

void AppendUnit(std::string& out, char16_t u) {
  if (u >= 0x20 && u < 0x80) {
    out.push_back(static_cast<char>(u));
  } else if (u == 0) {
    // The terminator cannot live inside a string.
  } else if (u < 0x20) {
    out.push_back(static_cast<char>(kGroupControl));
    out.push_back(static_cast<char>(u + 0x20));
  } else if (u < 0xA0) {
    out.push_back(static_cast<char>(kGroupControl));
    out.push_back(static_cast<char>(u));
  } else if (u <= 0xFF) {
    out.push_back(static_cast<char>(kGroupCp850));
    out.push_back(static_cast<char>(Latin1().byte[u - 0xA0]));
  } else {
    if ((u & 0xFF00) == 0xF600) u = 0xFFFD;
    unsigned char hi = static_cast<unsigned char>(u >> 8), lo = static_cast<unsigned char>(u & 0xFF);
    out.push_back(static_cast<char>(kGroupUnicode));
    if (lo == 0) {
      out.push_back(static_cast<char>(0xF6));
      out.push_back(static_cast<char>(hi));
    } else {
      out.push_back(static_cast<char>(hi));
      out.push_back(static_cast<char>(lo));
    }
  }
}

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at s[i]; advances i; U+FFFD for a bad byte.
std::uint32_t NextUtf8(const unsigned char* s, std::size_t n, std::size_t& i) {
  unsigned char c = s[i];
  if (c < 0x80) {
    ++i;
    return c;
  }
  int len;
  std::uint32_t cp, min;
  if ((c & 0xE0) == 0xC0) { len = 2; cp = c & 0x1F; min = 0x80; }
  else if ((c & 0xF0) == 0xE0) { len = 3; cp = c & 0x0F; min = 0x800; }
  else if ((c & 0xF8) == 0xF0) { len = 4; cp = c & 0x07; min = 0x10000; }
  else { ++i; return 0xFFFD; }
  if (i + len > n) { ++i; return 0xFFFD; }
  for (int k = 1; k < len; ++k) {
    unsigned char d = s[i + k];
    if ((d & 0xC0) != 0x80) { ++i; return 0xFFFD; }
    cp = (cp << 6) | (d & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) { ++i; return 0xFFFD; }
  i += len;
  return cp;
}

}  // namespace

std::string Utf16ToLmbcs(const char16_t* s, std::size_t n) {
  std::string out;
  out.reserve(n + n / 4);
  for (std::size_t i = 0; i < n; ++i) AppendUnit(out, s[i]);
  return out;
}

std::size_t LmbcsCharLength(const char* s, std::size_t n) {
  if (n == 0) return 0;
  unsigned char c = static_cast<unsigned char>(s[0]);
  std::size_t len = 1;
  if (c == kGroupUnicode) len = 3;
  else if (c >= 0x01 && c < 0x20) len = 2;
  return len < n ? len : n;
}

std::u16string LmbcsToUtf16(const char* s, std::size_t n) {
  std::u16string out;
  out.reserve(n);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(s);
  std::size_t i = 0;
  while (i < n) {
    unsigned char c = p[i];
    if (c == 0) break;
    if (c >= 0x20 && c < 0x80) {
      out.push_back(c);
      ++i;
    } else if (c >= 0x80) {
      out.push_back(kCp850[c - 0x80]);
      ++i;
    } else if (c == kGroupUnicode) {
      if (i + 2 >= n) { out.push_back(0xFFFD); break; }
      unsigned char a = p[i + 1], b = p[i + 2];
      char16_t u = (a == 0xF6) ? static_cast<char16_t>(b << 8) : static_cast<char16_t>((a << 8) | b);
      out.push_back(u);
      i += 3;
    } else {
      if (i + 1 >= n) { out.push_back(0xFFFD); break; }
      unsigned char b = p[i + 1];
      if (c == kGroupControl) {
        if (b >= 0x20 && b < 0x40) out.push_back(static_cast<char16_t>(b - 0x20));
        else if (b >= 0x80 && b < 0xA0) out.push_back(b);
        else out.push_back(0xFFFD);
      } else if (b >= 0x80) {
        // Other single-byte groups are read as the default group.
        out.push_back(kCp850[b - 0x80]);
      } else {
        out.push_back(0xFFFD);
      }
      i += 2;
    }
  }
  return out;
}

std::u16string Utf8ToUtf16(const char* s, std::size_t n) {
  std::u16string out;
  out.reserve(n);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(s);
  std::size_t i = 0;
  while (i < n) {
    if (p[i] < 0x80) {
      out.push_back(p[i++]);
      continue;
    }
    std::uint32_t cp = NextUtf8(p, n, i);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

std::string Utf16ToUtf8(const char16_t* s, std::size_t n) {
  std::string out;
  out.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    char16_t u = s[i];
    if (IsHighSurrogate(u) && i + 1 < n && IsLowSurrogate(s[i + 1])) {
      std::uint32_t cp = 0x10000 + ((static_cast<std::uint32_t>(u) - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      AppendUtf8(out, cp);
      ++i;
    } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
      AppendUtf8(out, 0xFFFD);
    } else {
      AppendUtf8(out, u);
    }
  }
  return out;
}

std::string Utf8ToLmbcs(const char* s, std::size_t n) {
  // Plain ASCII without control characters is the same in both: the common case.
  std::size_t i = 0;
  while (i < n && static_cast<unsigned char>(s[i]) >= 0x20 && static_cast<unsigned char>(s[i]) < 0x80) ++i;
  if (i == n) return std::string(s, n);
  std::u16string wide = Utf8ToUtf16(s, n);
  return Utf16ToLmbcs(wide);
}

bool IsPlainAscii(const char* s, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x20 || c >= 0x80) return false;
  }
  return true;
}

std::string Utf8ToLmbcs(std::string&& s) {
  if (IsPlainAscii(s.data(), s.size())) return std::move(s);
  return Utf8ToLmbcs(s.data(), s.size());
}

std::size_t LmbcsToUtf16Into(const char* s, std::size_t n, char16_t* out, std::size_t capacity) {
  if (IsPlainAscii(s, n)) {
    std::size_t k = n < capacity ? n : capacity;
    for (std::size_t i = 0; i < k; ++i) out[i] = static_cast<unsigned char>(s[i]);
    return n;
  }
  std::u16string wide = LmbcsToUtf16(s, n);
  std::size_t k = wide.size() < capacity ? wide.size() : capacity;
  for (std::size_t i = 0; i < k; ++i) out[i] = wide[i];
  return wide.size();
}

std::string LmbcsToUtf8(std::string_view s) {
  std::u16string wide = LmbcsToUtf16(s.data(), s.size());
  return Utf16ToUtf8(wide);
}

std::size_t LmbcsCutPoint(const char* s, std::size_t n, std::size_t limit) {
  if (n <= limit) return n;
  std::size_t pos = 0;
  std::size_t lastSafe = 0;
  while (pos < n) {
    std::size_t len = LmbcsCharLength(s + pos, n - pos);
    if (pos + len > limit) break;
    bool highSurrogate = false;
    if (len == 3 && static_cast<unsigned char>(s[pos]) == kGroupUnicode) {
      unsigned char a = static_cast<unsigned char>(s[pos + 1]);
      unsigned char hi = a == 0xF6 ? static_cast<unsigned char>(s[pos + 2]) : a;
      highSurrogate = hi >= 0xD8 && hi <= 0xDB;
    }
    pos += len;
    if (!highSurrogate) lastSafe = pos;
  }
  // A limit smaller than one character would make no progress: give at least one.
  if (lastSafe == 0) return LmbcsCharLength(s, n);
  return lastSafe;
}

}  // namespace notescore
