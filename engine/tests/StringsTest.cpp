// Text crossing between the Notes library's LMBCS and wide text.
#include "ReaderTestSupport.h"

using namespace readertest;

namespace {

TEST(LnStrings, RoundTripsKeepEveryCharacter) {
  const wchar_t* const cases[] = {
      L"plain ASCII",
      L"K\u00f6ln caf\u00e9 \u00fc\u00df",
      L"\u65e5\u672c\u8a9e \u0420\u0443\u0441\u0441\u043a\u0438\u0439",
      L"emoji \U0001F600 end",
      L"\u0100\u4e00",
  };
  for (const wchar_t* text : cases) {
    const LNString lmbcs = CStringToLNString(text);
    EXPECT_GT(lmbcs.GetBufLength(), 0) << text;
    EXPECT_EQ(W(LNStringToCString(lmbcs)), text);
  }
}

TEST(LnStrings, NonAsciiTextIsNotPassedThroughTheAnsiCodePage) {
  // LMBCS of "Köln" is not its ANSI bytes: reading it as ANSI would give other text.
  const LNString lmbcs = CStringToLNString(L"K\u00f6ln");
  EXPECT_NE(std::string(lmbcs.GetBuf()), std::string("K\xf6ln"));
  EXPECT_EQ(W(LNStringToCString(lmbcs)), L"K\u00f6ln");
}

TEST(LnStrings, EmptyTextGivesEmptyResultsBothWays) {
  EXPECT_EQ(W(LNStringToCString(LNString())), L"");
  EXPECT_EQ(W(LNStringToCString(LNString(""))), L"");
  EXPECT_EQ(CStringToLNString(CString()).GetBufLength(), 0);
  EXPECT_STREQ(CStringToLNString(CString()).GetBuf(), "");
}

TEST(LnStrings, TextsOfAnyLengthComeBackWhole) {
  // Lengths around the stack buffer and far beyond a 64K-character work buffer.
  for (int length : {511, 512, 513, 65535, 65536, 65537, 200000}) {
    std::wstring text;
    text.reserve(length);
    for (int i = 0; i < length; ++i) text += (i % 97 == 5) ? L'\u00e9' : static_cast<wchar_t>(L'a' + i % 26);
    const CString wide(text);
    const LNString lmbcs = CStringToLNString(wide);
    const CString back = LNStringToCString(lmbcs);
    ASSERT_EQ(back.GetLength(), length);
    EXPECT_TRUE(back == wide) << length;
  }
}

TEST(LnStrings, InvalidLmbcsFallsBackToTheRawBytes) {
  // A group prefix with its bytes missing cannot be translated.
  const LNString broken("ab\x14");
  const CString text = LNStringToCString(broken);
  EXPECT_EQ(text.Left(2), CString(L"ab"));
}

TEST(LnStrings, BlankControlCharsReplacesTabCrLfAnd0x81) {
  struct {
    const wchar_t* in;
    const wchar_t* out;
  } cases[] = {
      {L"a\tb", L"a b"},          {L"line\r\nnext", L"line  next"}, {L"x\x0081y", L"x y"},
      {L"\n\r\t\x0081", L"    "}, {L"none", L"none"},               {L"", L""},
      {L"\x0080\x0082", L"\x0080\x0082"},
  };
  for (const auto& c : cases) EXPECT_EQ(W(BlankControlChars(c.in)), c.out) << c.in;
}

TEST(LnStrings, ErrorTextsAreTheLibrarysMessages) {
  EXPECT_EQ(W(NotesErrorText(LNERR_FILE_NOT_FOUND)), LibraryMessage(LNERR_FILE_NOT_FOUND));
  EXPECT_FALSE(NotesErrorText(LNERR_DATABASE_CORRUPT).IsEmpty());
}

}  // namespace
