#include <gtest/gtest.h>

#include <string>

#include "lmbcs.h"

using namespace notescore;

namespace {

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int c : b) s.push_back(static_cast<char>(c));
  return s;
}

struct Case {
  const char16_t* text;
  std::string lmbcs;
};

TEST(Lmbcs, EncodesEachGroupAsDocumented) {
  const Case cases[] = {
      {u"Plain ASCII 123", "Plain ASCII 123"},
      {u"a\tb", Bytes({'a', 0x0F, 0x29, 'b'})},
      {u"\r\n", Bytes({0x0F, 0x2D, 0x0F, 0x2A})},
      {u"\u0081", Bytes({0x0F, 0x81})},                 // C1 control, no offset
      {u"\u00e9", Bytes({0x01, 0x82})},                 // e acute, code page 850
      {u"\u00a0\u00ff", Bytes({0x01, 0xFF, 0x01, 0x98})},
      {u"\u0416", Bytes({0x14, 0x04, 0x16})},           // Cyrillic Zhe, big-endian
      {u"\u4e2d", Bytes({0x14, 0x4E, 0x2D})},
      {u"\u0100\u4e00", Bytes({0x14, 0xF6, 0x01, 0x14, 0xF6, 0x4E})},  // xx00 -> F6 xx
      // D83D DE00: the low surrogate ends in 00, so it takes the F6 form.
      {u"\U0001F600", Bytes({0x14, 0xD8, 0x3D, 0x14, 0xF6, 0xDE})},
  };
  for (const Case& c : cases) {
    std::u16string text(c.text);
    EXPECT_EQ(Utf16ToLmbcs(text), c.lmbcs) << "for U+" << std::hex << static_cast<int>(text[0]);
    EXPECT_EQ(LmbcsToUtf16(c.lmbcs), text);
  }
}

TEST(Lmbcs, NeverWritesAZeroByteAndRoundTrips) {
  std::u16string all;
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    if ((c & 0xFF00) == 0xF600) continue;  // reserved by the F6 form
    all.push_back(static_cast<char16_t>(c));
  }
  all += u"\U0001F600\U00010000\U0010FFFD";
  std::string lmbcs = Utf16ToLmbcs(all);
  EXPECT_EQ(lmbcs.find('\0'), std::string::npos);
  EXPECT_EQ(LmbcsToUtf16(lmbcs), all);
}

TEST(Lmbcs, ReservedAndUnreadableUnitsBecomeReplacementCharacters) {
  EXPECT_EQ(LmbcsToUtf16(Utf16ToLmbcs(u"\uF612")), u"\uFFFD");
  // A cut-off group, an unknown control code and a bare code page 850 byte.
  EXPECT_EQ(LmbcsToUtf16(Bytes({'a', 0x14, 0x4E})), u"a\uFFFD");
  EXPECT_EQ(LmbcsToUtf16(Bytes({0x0F, 0x50})), u"\uFFFD");
  EXPECT_EQ(LmbcsToUtf16(Bytes({0x82})), u"\u00e9");
  EXPECT_EQ(LmbcsToUtf16(Bytes({'a', 0x00, 'b'})), u"a");  // the terminator ends the text
}

TEST(Lmbcs, Utf8ConversionsHandleSurrogatesAndBadBytes) {
  EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), u"\U0001F600");
  EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");           // truncated sequence
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");    // overlong
  std::u16string lone = u"x";
  lone.push_back(0xD800);
  EXPECT_EQ(Utf16ToUtf8(lone), "x\xEF\xBF\xBD");
  EXPECT_EQ(LmbcsToUtf8(Utf8ToLmbcs("K\xC3\xB6ln \xE6\x97\xA5")), "K\xC3\xB6ln \xE6\x97\xA5");
}

TEST(Lmbcs, CutPointKeepsCharactersAndSurrogatePairsWhole) {
  std::string s = Utf16ToLmbcs(u"ab\u00e9\U0001F600z");  // 1,1,2,3+3,1 bytes
  struct { std::size_t limit, cut; } cases[] = {
      {100, 11}, {11, 11}, {10, 10}, {9, 4}, {5, 4}, {4, 4}, {3, 2}, {2, 2}, {1, 1},
  };
  for (auto c : cases) EXPECT_EQ(LmbcsCutPoint(s.data(), s.size(), c.limit), c.cut) << "limit " << c.limit;
}

}  // namespace

namespace {
TEST(Lmbcs, CutPointRecognisesAHighSurrogateWrittenInTheF6Form) {
  std::u16string pair{0xD800, 0xDC00};  // U+10000: both units end in 00
  std::string s = "x" + Utf16ToLmbcs(pair);
  EXPECT_EQ(LmbcsCutPoint(s.data(), s.size(), 5), 1u);
  EXPECT_EQ(LmbcsCutPoint(s.data(), s.size(), 7), 7u);
}
}  // namespace
