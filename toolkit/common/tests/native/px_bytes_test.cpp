// The settings exchange's byte readers on the host: archive values, blob text, number
// lists and registry values, on good data and on data cut short or lying about its sizes.
#include <gtest/gtest.h>

#include <cstring>

#include "XTPPropExchangeBytes.h"

using namespace xtp_px;
using Bytes = std::vector<uint8_t>;

namespace {

// The same stream the Windows tests check byte for byte: short, int, BOOL, BYTE, "Ab",
// rectangle, size, blob of two bytes.
const Bytes kGolden = {0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 0xAB, 0xFF,
                       0xFE, 0xFF, 0x02, 0x41, 0x00, 0x62, 0x00, 0x01, 0,    0,    0,    0x02,
                       0,    0,    0,    0x03, 0,    0,    0,    0x04, 0,    0,    0,    0x10,
                       0,    0,    0,    0x10, 0,    0,    0,    0x02, 0x00, 0x12, 0xAB};

// Reads the golden sequence; how many values came out whole.
int ReadGolden(const Bytes& bytes) {
  ByteReader r(bytes.data(), bytes.size());
  uint8_t v[16];
  std::u16string s;
  Bytes blob;
  const int types[] = {2, 3, 11, 17};
  int n = 0;
  for (int t : types) {
    if (!ReadArchiveValue(r, t, v)) return n;
    ++n;
  }
  if (!ReadArchiveString(r, &s)) return n;
  ++n;
  if (!ReadArchiveValue(r, 100, v)) return n;
  ++n;
  if (!ReadArchiveValue(r, 101, v)) return n;
  ++n;
  if (!ReadArchiveBlob(r, &blob)) return n;
  return n + 1;
}

TEST(PxBytes, GoldenArchiveReadsBackAndEveryCutStopsAtTheValueItCuts) {
  ByteReader r(kGolden.data(), kGolden.size());
  int16_t s;
  ASSERT_TRUE(ReadArchiveValue(r, 2, &s));
  EXPECT_EQ(s, 0x1234);
  int32_t i;
  ASSERT_TRUE(ReadArchiveValue(r, 3, &i));
  EXPECT_EQ(i, -2);
  ASSERT_TRUE(r.Skip(5));
  std::u16string text;
  ASSERT_TRUE(ReadArchiveString(r, &text));
  EXPECT_EQ(text, u"Ab");
  int32_t rc[4];
  ASSERT_TRUE(ReadArchiveValue(r, 100, rc));
  EXPECT_EQ(rc[3], 4);
  int32_t sz[2];
  ASSERT_TRUE(ReadArchiveValue(r, 101, sz));
  EXPECT_EQ(sz[0], 16);
  Bytes blob;
  ASSERT_TRUE(ReadArchiveBlob(r, &blob));
  EXPECT_EQ(blob, (Bytes{0x12, 0xAB}));
  EXPECT_EQ(r.Left(), 0u);

  const size_t ends[] = {2, 6, 10, 11, 19, 35, 43, 47};
  for (size_t n = 0; n <= kGolden.size(); ++n) {
    int expected = 0;
    while (expected < 8 && ends[expected] <= n) ++expected;
    EXPECT_EQ(ReadGolden(Bytes(kGolden.begin(), kGolden.begin() + static_cast<ptrdiff_t>(n))), expected) << n;
  }
}

TEST(PxBytes, CountsAndStringLengthsInEveryWidth) {
  for (uint64_t count : {0ull, 1ull, 0xFFFEull, 0xFFFFull, 0x12345ull, 0xFFFFFFFEull, 0xFFFFFFFFull, 0x100000000ull}) {
    Bytes b;
    WriteArchiveCount(b, count);
    ByteReader r(b.data(), b.size());
    uint64_t back = 0;
    ASSERT_TRUE(ReadArchiveCount(r, &back)) << count;
    EXPECT_EQ(back, count);
    EXPECT_EQ(r.Left(), 0u);
    for (size_t cut = 0; cut < b.size(); ++cut) {
      ByteReader rc(b.data(), cut);
      EXPECT_FALSE(ReadArchiveCount(rc, &back)) << count << " cut " << cut;
    }
  }
  for (size_t length : {0u, 1u, 254u, 255u, 300u, 0xFFFDu, 0xFFFEu, 0x10000u}) {
    std::u16string text(length, u'q');
    Bytes b;
    WriteArchiveString(b, text);
    ByteReader r(b.data(), b.size());
    std::u16string back;
    ASSERT_TRUE(ReadArchiveString(r, &back)) << length;
    EXPECT_EQ(back, text);
    ByteReader rc(b.data(), b.size() - 1);
    EXPECT_FALSE(ReadArchiveString(rc, &back)) << length;
  }
  // Narrow text: a length without the marker.
  Bytes narrow = {3, 'a', 'b', 'c'};
  ByteReader rn(narrow.data(), narrow.size());
  std::u16string t;
  ASSERT_TRUE(ReadArchiveString(rn, &t));
  EXPECT_EQ(t, u"abc");
}

TEST(PxBytes, HostileLengthsFailWithoutAllocating) {
  const Bytes cases[] = {
      {0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF, 1, 2},                    // blob 0xFFFFFFF0
      {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0x80},  // blob 2^63
      {0x05, 0x00, 1, 2},                                            // blob 5, 2 there
  };
  for (const Bytes& c : cases) {
    ByteReader r(c.data(), c.size());
    Bytes blob;
    EXPECT_FALSE(ReadArchiveBlob(r, &blob));
    EXPECT_TRUE(blob.empty());
  }
  // String of 2^63 characters.
  Bytes s = {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
             0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 0};
  ByteReader r(s.data(), s.size());
  std::u16string text;
  EXPECT_FALSE(ReadArchiveString(r, &text));
  EXPECT_EQ(ArchiveValueSize(42), 0u);
  uint8_t v[16];
  ByteReader rv(s.data(), s.size());
  EXPECT_FALSE(ReadArchiveValue(rv, 42, v));
}

TEST(PxBytes, BlobTextIsLettersAToPLowNibbleFirst) {
  const uint8_t two[] = {0x12, 0xAB};
  EXPECT_EQ(EncodeBlobText(two, 2), u"CBLK");
  Bytes back;
  ASSERT_TRUE(DecodeBlobText(u"CBLK", 4, &back));
  EXPECT_EQ(back, (Bytes{0x12, 0xAB}));
  struct {
    const char16_t* text;
    bool ok;
  } cases[] = {{u"", true}, {u"A", false}, {u"ABC", false}, {u"AQ", false}, {u"@A", false},
               {u"aa", false}, {u"PPAA", true}, {u"A\u0141", false}};
  for (const auto& c : cases) {
    Bytes out = {7};
    const size_t n = std::char_traits<char16_t>::length(c.text);
    EXPECT_EQ(DecodeBlobText(c.text, n, &out), c.ok) << n;
    if (!c.ok) EXPECT_EQ(out.size(), 0u);
  }
}

TEST(PxBytes, NumberListsParseLikeTheCLibraryPattern) {
  struct {
    const char16_t* text;
    int count;
    int32_t a, b;
  } cases[] = {
      {u"16, 16", 2, 16, 16},     {u"16,16", 2, 16, 16},       {u"  16 ,16", 1, 16, 0},
      {u"-5, +7 rest", 2, -5, 7}, {u"0x1F, 017", 2, 31, 15},   {u"0x, 1", 1, 0, 0},
      {u"abc", 0, 0, 0},          {u"", 0, 0, 0},              {u"12", 1, 12, 0},
      {u"4294967297, -1", 2, 1, -1}, {u"09", 1, 0, 0},         {u"\t3,\n4", 2, 3, 4},
  };
  for (const auto& c : cases) {
    int32_t v[2] = {0, 0};
    const size_t n = std::char_traits<char16_t>::length(c.text);
    EXPECT_EQ(ParseIntList(c.text, n, v, 2), c.count) << n;
    if (c.count >= 1) EXPECT_EQ(v[0], c.a);
    if (c.count >= 2) EXPECT_EQ(v[1], c.b);
  }
  const int32_t rect[4] = {1, -2, 300, INT32_MIN};
  EXPECT_EQ(FormatIntList(rect, 4), u"1, -2, 300, -2147483648");
  std::u16string t = FormatIntList(rect, 4);
  int32_t back[4];
  EXPECT_EQ(ParseIntList(t.data(), t.size(), back, 4), 4);
  EXPECT_EQ(memcmp(back, rect, sizeof(rect)), 0);
  EXPECT_EQ(ParseIntList(nullptr, 5, back, 4), 0);
}

TEST(PxBytes, RegistryValuesByTypeAndSize) {
  uint32_t n = 99;
  const uint8_t four[] = {1, 2, 3, 4, 5};
  EXPECT_TRUE(RegistryNumber(kRegDword, four, 4, &n));
  EXPECT_EQ(n, 0x04030201u);
  EXPECT_TRUE(RegistryNumber(kRegBinary, four, 2, &n));
  EXPECT_EQ(n, 0x0201u);  // zero-filled above the stored bytes
  EXPECT_TRUE(RegistryNumber(kRegDword, four, 0, &n));
  EXPECT_EQ(n, 0u);
  n = 99;
  EXPECT_FALSE(RegistryNumber(kRegDword, four, 5, &n));
  EXPECT_FALSE(RegistryNumber(kRegSz, four, 4, &n));
  EXPECT_EQ(n, 99u);

  std::u16string t;
  const uint8_t text[] = {'A', 0, 'B', 0, 0, 0, 'C', 0};
  EXPECT_TRUE(RegistryText(kRegSz, text, 8, &t));
  EXPECT_EQ(t, u"AB");
  EXPECT_TRUE(RegistryText(kRegSz, text, 3, &t));  // odd size: the half character is dropped
  EXPECT_EQ(t, u"A");
  EXPECT_TRUE(RegistryText(kRegExpandSz, text, 4, &t));  // no terminator
  EXPECT_EQ(t, u"AB");
  EXPECT_FALSE(RegistryText(kRegDword, text, 4, &t));
  EXPECT_FALSE(RegistryText(kRegBinary, text, 4, &t));
}

}  // namespace
