// Byte-level readers of the settings exchange, in plain C++ so that the host build can
// test and fuzz them: archive values (counts, string lengths, strings, blobs), the text
// form of a blob (letters A to P), the "%i, %i" number lists of rectangles and sizes, and
// registry values checked against their type and size. Nothing here allocates more than
// the input can hold, and every reader reports damage as false.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace xtp_px {

// Reads little-endian values from a byte range; a read past the end fails and leaves the
// position where it was.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(data ? size : 0) {}
  size_t Left() const { return m_size - m_pos; }
  size_t Position() const { return m_pos; }
  bool Skip(size_t n);
  bool Bytes(void* out, size_t n);
  bool U8(uint8_t* v);
  bool U16(uint16_t* v);
  bool U32(uint32_t* v);
  bool U64(uint64_t* v);

 private:
  const uint8_t* m_data;
  size_t m_size;
  size_t m_pos = 0;
};

// Archive element count: WORD; 0xFFFF escapes to a DWORD; 0xFFFFFFFF escapes to a QWORD.
bool ReadArchiveCount(ByteReader& r, uint64_t* count);
void WriteArchiveCount(std::vector<uint8_t>& out, uint64_t count);

// Archive string: an optional FF FE FF marker of UTF-16 text, then the length in
// characters (BYTE < 0xFF, else FF + WORD < 0xFFFF, else ... DWORD, then QWORD). The text
// follows. Fails when the length asks for more bytes than are left.
bool ReadArchiveStringLength(ByteReader& r, uint64_t* length, bool* unicode);
// UTF-16 text as is; narrow text widened byte by byte (Latin-1; callers needing the ANSI
// code page convert narrow bytes themselves through ReadArchiveStringBytes).
bool ReadArchiveString(ByteReader& r, std::u16string* text);
bool ReadArchiveStringBytes(ByteReader& r, std::vector<uint8_t>* bytes, bool* unicode);
void WriteArchiveString(std::vector<uint8_t>& out, const std::u16string& text);

// Archive blob: count, then that many bytes; fails when the count exceeds what is left.
bool ReadArchiveBlob(ByteReader& r, std::vector<uint8_t>* bytes);

// Fixed archive values of the exchange's types: 2 short, 3 int, 11 BOOL, 17 byte,
// 100 rectangle (4 ints), 101 size or point (2 ints). The width of a type, 0 when not one.
size_t ArchiveValueSize(int type);
// Reads the type's bytes into out (ArchiveValueSize bytes).
bool ReadArchiveValue(ByteReader& r, int type, void* out);

// Blob text: each byte is two letters, 'A' + low nibble then 'A' + high nibble.
std::u16string EncodeBlobText(const uint8_t* data, size_t size);
// Fails on an odd length or any character outside 'A'..'P'; an empty text is an empty
// blob.
bool DecodeBlobText(const char16_t* text, size_t length, std::vector<uint8_t>* bytes);

// Parses up to maxValues numbers separated by ", " as the C library's "%i, %i" does:
// white space before each number, an optional sign, 0x for hex and a leading 0 for octal;
// a space in the pattern matches any run of white space (or none), the comma must be
// there. Characters after the last number are ignored. Numbers wrap to 32 bits. Returns
// how many numbers were read.
int ParseIntList(const char16_t* text, size_t length, int32_t* values, int maxValues);
// "%i, %i" (and more) text of the numbers.
std::u16string FormatIntList(const int32_t* values, int count);

// Registry values as the exchange accepts them. Value types as the registry numbers them.
enum : uint32_t { kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4 };
// A number: REG_DWORD or REG_BINARY of at most 4 bytes, zero-extended. Other types and
// longer values fail.
bool RegistryNumber(uint32_t type, const uint8_t* data, size_t size, uint32_t* value);
// A text: REG_SZ or REG_EXPAND_SZ, up to the first zero character or the end of the data
// (an odd last byte is dropped); other types fail.
bool RegistryText(uint32_t type, const uint8_t* data, size_t size, std::u16string* text);

}  // namespace xtp_px
