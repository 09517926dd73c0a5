// Conversions between UTF-8 (the database files), UTF-16 (the program's wide text) and
// LMBCS, the Notes character set that all text crosses the library boundary in.
//
// The LMBCS this library writes:
//   U+0020..U+007F       one byte, as in ASCII
//   U+0001..U+001F       group 0x0F: 0x0F, code + 0x20   (TAB = 0F 29, LF = 0F 2A, CR = 0F 2D)
//   U+0080..U+009F       group 0x0F: 0x0F, code          (C1 controls, no offset)
//   U+00A0..U+00FF       group 0x01: 0x01, the code page 850 byte
//   any other code unit  group 0x14: 0x14, high byte, low byte (UTF-16 big-endian); a unit
//                        whose low byte is 0 (xx00) is written F6 xx so that no 0 byte ever
//                        appears inside a string; therefore U+F600..U+F6FF cannot be
//                        written and become U+FFFD.
// Surrogate pairs are two group-0x14 units. U+0000 is the terminator and is dropped.
// Reading also accepts bare bytes 0x80..0xFF as code page 850 (the default group) and
// the other single-byte prefixes 0x01..0x1F followed by one byte as code page 850;
// anything it cannot read becomes U+FFFD.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace notescore {

std::string Utf16ToLmbcs(const char16_t* s, std::size_t n);
inline std::string Utf16ToLmbcs(const std::u16string& s) { return Utf16ToLmbcs(s.data(), s.size()); }
std::u16string LmbcsToUtf16(const char* s, std::size_t n);
inline std::u16string LmbcsToUtf16(std::string_view s) { return LmbcsToUtf16(s.data(), s.size()); }

// Invalid UTF-8 becomes U+FFFD, one per bad byte.
std::u16string Utf8ToUtf16(const char* s, std::size_t n);
inline std::u16string Utf8ToUtf16(const std::string& s) { return Utf8ToUtf16(s.data(), s.size()); }
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const char16_t* s, std::size_t n);
inline std::string Utf16ToUtf8(const std::u16string& s) { return Utf16ToUtf8(s.data(), s.size()); }

std::string Utf8ToLmbcs(const char* s, std::size_t n);
inline std::string Utf8ToLmbcs(const std::string& s) { return Utf8ToLmbcs(s.data(), s.size()); }
// Hands plain ASCII back without a copy.
std::string Utf8ToLmbcs(std::string&& s);
// True when the bytes are the same in ASCII, UTF-8 and LMBCS (no control characters).
bool IsPlainAscii(const char* s, std::size_t n);
// Widens LMBCS into out (capacity in UTF-16 units); returns the units needed, writing
// only what fits.
std::size_t LmbcsToUtf16Into(const char* s, std::size_t n, char16_t* out, std::size_t capacity);
std::string LmbcsToUtf8(std::string_view s);

// Length in bytes of the LMBCS character that starts at s[0] (1..3), given n bytes left;
// never more than n.
std::size_t LmbcsCharLength(const char* s, std::size_t n);

// The largest prefix of s[0..n) no longer than limit bytes that ends on a character
// boundary and does not split a surrogate pair.
std::size_t LmbcsCutPoint(const char* s, std::size_t n, std::size_t limit);

}  // namespace notescore
