// Byte-level readers of the settings exchange (plain C++; see XTPPropExchangeBytes.h).
#include "XTPPropExchangeBytes.h"

#include <cstring>

namespace xtp_px {

bool ByteReader::Skip(size_t n) {
  if (n > Left()) return false;
  m_pos += n;
  return true;
}

bool ByteReader::Bytes(void* out, size_t n) {
  if (n > Left()) return false;
  if (n) memcpy(out, m_data + m_pos, n);
  m_pos += n;
  return true;
}

bool ByteReader::U8(uint8_t* v) { return Bytes(v, 1); }

bool ByteReader::U16(uint16_t* v) {
  uint8_t b[2];
  if (!Bytes(b, 2)) return false;
  *v = static_cast<uint16_t>(b[0] | (b[1] << 8));
  return true;
}

bool ByteReader::U32(uint32_t* v) {
  uint8_t b[4];
  if (!Bytes(b, 4)) return false;
  *v = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
       (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
  return true;
}

bool ByteReader::U64(uint64_t* v) {
  uint32_t lo, hi;
  size_t start = m_pos;
  if (!U32(&lo)) return false;
  if (!U32(&hi)) {
    m_pos = start;
    return false;
  }
  *v = (static_cast<uint64_t>(hi) << 32) | lo;
  return true;
}

namespace {
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, static_cast<uint16_t>(v));
  Put16(out, static_cast<uint16_t>(v >> 16));
}
void Put64(std::vector<uint8_t>& out, uint64_t v) {
  Put32(out, static_cast<uint32_t>(v));
  Put32(out, static_cast<uint32_t>(v >> 32));
}
}  // namespace

bool ReadArchiveCount(ByteReader& r, uint64_t* count) {
  uint16_t w;
  if (!r.U16(&w)) return false;
  if (w != 0xFFFF) {
    *count = w;
    return true;
  }
  uint32_t dw;
  if (!r.U32(&dw)) return false;
  if (dw != 0xFFFFFFFFu) {
    *count = dw;
    return true;
  }
  uint64_t qw;
  if (!r.U64(&qw)) return false;
  *count = qw;
  return true;
}

void WriteArchiveCount(std::vector<uint8_t>& out, uint64_t count) {
  if (count < 0xFFFF) {
    Put16(out, static_cast<uint16_t>(count));
    return;
  }
  Put16(out, 0xFFFF);
  if (count < 0xFFFFFFFFull) {
    Put32(out, static_cast<uint32_t>(count));
    return;
  }
  Put32(out, 0xFFFFFFFFu);
  Put64(out, count);
}

bool ReadArchiveStringLength(ByteReader& r, uint64_t* length, bool* unicode) {
  *unicode = false;
  uint8_t b;
  if (!r.U8(&b)) return false;
  if (b < 0xFF) {
    *length = b;
    return true;
  }
  uint16_t w;
  if (!r.U16(&w)) return false;
  if (w == 0xFFFE) {
    *unicode = true;
    if (!r.U8(&b)) return false;
    if (b < 0xFF) {
      *length = b;
      return true;
    }
    if (!r.U16(&w)) return false;
  }
  if (w < 0xFFFF) {
    *length = w;
    return true;
  }
  uint32_t dw;
  if (!r.U32(&dw)) return false;
  if (dw < 0xFFFFFFFFu) {
    *length = dw;
    return true;
  }
  uint64_t qw;
  if (!r.U64(&qw)) return false;
  *length = qw;
  return true;
}

bool ReadArchiveStringBytes(ByteReader& r, std::vector<uint8_t>* bytes, bool* unicode) {
  uint64_t length;
  if (!ReadArchiveStringLength(r, &length, unicode)) return false;
  const uint64_t unit = *unicode ? 2 : 1;
  if (length > r.Left() / unit) return false;  // more than the data holds
  bytes->resize(static_cast<size_t>(length * unit));
  return r.Bytes(bytes->data(), bytes->size());
}

bool ReadArchiveString(ByteReader& r, std::u16string* text) {
  std::vector<uint8_t> bytes;
  bool unicode;
  if (!ReadArchiveStringBytes(r, &bytes, &unicode)) return false;
  text->clear();
  if (unicode) {
    text->resize(bytes.size() / 2);
    for (size_t i = 0; i < text->size(); ++i)
      (*text)[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  } else {
    text->assign(bytes.begin(), bytes.end());
  }
  return true;
}

void WriteArchiveString(std::vector<uint8_t>& out, const std::u16string& text) {
  out.push_back(0xFF);
  Put16(out, 0xFFFE);
  const uint64_t n = text.size();
  if (n < 0xFF) {
    out.push_back(static_cast<uint8_t>(n));
  } else {
    out.push_back(0xFF);
    if (n < 0xFFFE) {
      Put16(out, static_cast<uint16_t>(n));
    } else {
      Put16(out, 0xFFFF);
      if (n < 0xFFFFFFFFull) {
        Put32(out, static_cast<uint32_t>(n));
      } else {
        Put32(out, 0xFFFFFFFFu);
        Put64(out, n);
      }
    }
  }
  for (char16_t c : text) Put16(out, static_cast<uint16_t>(c));
}

bool ReadArchiveBlob(ByteReader& r, std::vector<uint8_t>* bytes) {
  uint64_t count;
  if (!ReadArchiveCount(r, &count)) return false;
  if (count > r.Left()) return false;
  bytes->resize(static_cast<size_t>(count));
  return r.Bytes(bytes->data(), bytes->size());
}

size_t ArchiveValueSize(int type) {
  switch (type) {
    case 2: return 2;
    case 3: return 4;
    case 11: return 4;
    case 17: return 1;
    case 100: return 16;
    case 101: return 8;
    default: return 0;
  }
}

bool ReadArchiveValue(ByteReader& r, int type, void* out) {
  size_t n = ArchiveValueSize(type);
  if (n == 0) return false;
  return r.Bytes(out, n);  // little-endian in the stream and in memory alike
}

std::u16string EncodeBlobText(const uint8_t* data, size_t size) {
  std::u16string text;
  text.reserve(size * 2);
  for (size_t i = 0; i < size; ++i) {
    text.push_back(static_cast<char16_t>(u'A' + (data[i] & 0x0F)));
    text.push_back(static_cast<char16_t>(u'A' + (data[i] >> 4)));
  }
  return text;
}

bool DecodeBlobText(const char16_t* text, size_t length, std::vector<uint8_t>* bytes) {
  bytes->clear();
  if (length == 0) return true;
  if (text == nullptr || (length & 1) != 0) return false;
  std::vector<uint8_t> out(length / 2);
  for (size_t i = 0; i < out.size(); ++i) {
    char16_t lo = text[2 * i], hi = text[2 * i + 1];
    if (lo < u'A' || lo > u'P' || hi < u'A' || hi > u'P') return false;
    out[i] = static_cast<uint8_t>(((hi - u'A') << 4) | (lo - u'A'));
  }
  bytes->swap(out);
  return true;
}

namespace {
bool IsSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

int DigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return 99;
}

// One "%i" conversion starting at pos; false when no digits are there.
bool ParseOneInt(const char16_t* text, size_t length, size_t& pos, int32_t* value) {
  while (pos < length && IsSpace(text[pos])) ++pos;
  size_t p = pos;
  bool negative = false;
  if (p < length && (text[p] == u'+' || text[p] == u'-')) {
    negative = text[p] == u'-';
    ++p;
  }
  int base = 10;
  if (p < length && text[p] == u'0') {
    if (p + 2 < length && (text[p + 1] == u'x' || text[p + 1] == u'X') &&
        DigitValue(text[p + 2]) < 16) {
      base = 16;
      p += 2;
    } else {
      base = 8;
    }
  }
  uint32_t acc = 0;
  size_t digits = 0;
  while (p < length && DigitValue(text[p]) < base) {
    acc = acc * static_cast<uint32_t>(base) + static_cast<uint32_t>(DigitValue(text[p]));
    ++p;
    ++digits;
  }
  if (digits == 0) return false;
  if (negative) acc = 0u - acc;
  *value = static_cast<int32_t>(acc);
  pos = p;
  return true;
}
}  // namespace

int ParseIntList(const char16_t* text, size_t length, int32_t* values, int maxValues) {
  if (text == nullptr) return 0;
  size_t pos = 0;
  int count = 0;
  while (count < maxValues) {
    if (count > 0) {
      // ", " in the pattern: the comma itself, then any white space (the next number
      // skips it anyway).
      if (pos >= length || text[pos] != u',') break;
      ++pos;
    }
    int32_t v;
    if (!ParseOneInt(text, length, pos, &v)) break;
    values[count++] = v;
  }
  return count;
}

std::u16string FormatIntList(const int32_t* values, int count) {
  std::u16string text;
  for (int i = 0; i < count; ++i) {
    if (i) text += u", ";
    int64_t v = values[i];
    if (v < 0) {
      text += u'-';
      v = -v;
    }
    char16_t digits[16];
    int n = 0;
    do {
      digits[n++] = static_cast<char16_t>(u'0' + v % 10);
      v /= 10;
    } while (v);
    while (n) text += digits[--n];
  }
  return text;
}

bool RegistryNumber(uint32_t type, const uint8_t* data, size_t size, uint32_t* value) {
  if (type != kRegDword && type != kRegBinary) return false;
  if (size > 4 || (size && data == nullptr)) return false;
  uint8_t b[4] = {0, 0, 0, 0};
  if (size) memcpy(b, data, size);
  *value = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
           (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
  return true;
}

bool RegistryText(uint32_t type, const uint8_t* data, size_t size, std::u16string* text) {
  if (type != kRegSz && type != kRegExpandSz) return false;
  text->clear();
  if (data == nullptr) return size == 0;
  for (size_t i = 0; i + 1 < size; i += 2) {
    char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (c == 0) break;
    text->push_back(c);
  }
  return true;
}

}  // namespace xtp_px
