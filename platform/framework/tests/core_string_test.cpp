// CString: construction, formatting, searching, editing, buffers and conversions.
#include <gtest/gtest.h>

#include "framework.h"

TEST(CStringBasics, ConstructsFromWideAnsiCharsAndCounts) {
  EXPECT_EQ(CString(), L"");
  EXPECT_TRUE(CString().IsEmpty());
  EXPECT_EQ(CString(L"abc"), L"abc");
  EXPECT_EQ(CString("abc"), L"abc");
  EXPECT_EQ(CString("Gr\xfc\xdf"
                    "e"),
            L"Gr\u00fc\u00dfe");  // ANSI code page 1252
  EXPECT_EQ(CString(L"abcdef", 3), L"abc");
  EXPECT_EQ(CString("abcdef", 4), L"abcd");
  EXPECT_EQ(CString(L'x', 3), L"xxx");
  EXPECT_EQ(CString(L'x', 0), L"");
  EXPECT_EQ(CString(static_cast<LPCWSTR>(nullptr)), L"");
  EXPECT_EQ(CString(static_cast<LPCSTR>(nullptr)), L"");
  CString embedded(L"a\0b", 3);
  EXPECT_EQ(embedded.GetLength(), 3);  // counted, not NUL-terminated text
}

TEST(CStringBasics, AccessAndConcatenation) {
  CString s(L"hello");
  EXPECT_EQ(s.GetLength(), 5);
  EXPECT_EQ(s.GetAt(1), L'e');
  EXPECT_EQ(s[4], L'o');
  s.SetAt(0, L'H');
  EXPECT_STREQ(static_cast<LPCWSTR>(s), L"Hello");
  EXPECT_STREQ(s.GetString(), L"Hello");
  EXPECT_THROW(
      {
        try {
          s.SetAt(5, L'!');
        } catch (CException* e) {
          e->Delete();
          throw 1;
        }
      },
      int);

  CString t = s + L", " + CString(L"world") + L'!';
  EXPECT_EQ(t, L"Hello, world!");
  t += L" ok";
  t += L'.';
  t += "x";
  EXPECT_EQ(t, L"Hello, world! ok.x");
  EXPECT_EQ(L"<" + CString(L"a") + L">", L"<a>");
  s.Empty();
  EXPECT_TRUE(s.IsEmpty());
}

TEST(CStringBasics, Comparisons) {
  const struct {
    LPCWSTR a, b;
    int nCompare, nNoCase;
  } cases[] = {
      {L"abc", L"abc", 0, 0},  {L"abc", L"abd", -1, -1}, {L"abc", L"ABC", 1, 0},
      {L"ab", L"abc", -1, -1}, {L"", L"", 0, 0},         {L"b", L"A", 1, 1},
  };
  auto sign = [](int n) { return (n > 0) - (n < 0); };
  for (const auto& c : cases) {
    CString a(c.a);
    EXPECT_EQ(sign(a.Compare(c.b)), c.nCompare) << c.a << " vs " << c.b;
    EXPECT_EQ(sign(a.CompareNoCase(c.b)), c.nNoCase) << c.a << " vs " << c.b;
    EXPECT_EQ(a == c.b, c.nCompare == 0);
    EXPECT_EQ(a != CString(c.b), c.nCompare != 0);
    EXPECT_EQ(a < c.b, c.nCompare < 0);
    EXPECT_EQ(c.b > a, c.nCompare < 0);
  }
  EXPECT_EQ(CString(L"a").Collate(L"a"), 0);
  EXPECT_EQ(CString(L"A").CollateNoCase(L"a"), 0);
}

TEST(CStringFormat, FollowsTheRuntimeWidePrintf) {
  CString s;
  s.Format(L"%s|%S|%d|%u|%x|%X|%c|%%", L"wide", "narrow", -42, 42u, 255, 255, L'Z');
  EXPECT_EQ(s, L"wide|narrow|-42|42|ff|FF|Z|%");
  s.Format(L"[%5d][%-5d][%05d][%.3f][%8.2f][%e]", 42, 42, 42, 3.14159, 2.5, 1000.0);
  EXPECT_EQ(s, L"[   42][42   ][00042][3.142][    2.50][1.000000e+003]");
  s.Format(L"%I64d %I64u %ld %lu %hd", -1234567890123LL, 18446744073709551615ULL, -7L, 7UL,
           (short)-3);
  EXPECT_EQ(s, L"-1234567890123 18446744073709551615 -7 7 -3");
  s.Format(L"[%10s][%-4s][%.2s]", L"right", L"l", L"cut");
  EXPECT_EQ(s, L"[     right][l   ][cu]");
  CString arg(L"value");
  s.Format(L"<%s>", arg.GetString());
  EXPECT_EQ(s, L"<value>");
  s.Format(L"%s", static_cast<LPCWSTR>(s));  // formatting from itself
  EXPECT_EQ(s, L"<value>");

  CString big;
  big.Format(L"%s%s", CString(L'a', 3000).GetString(), CString(L'b', 3000).GetString());
  EXPECT_EQ(big.GetLength(), 6000);  // no fixed-size buffer limit

  s = L"n=";
  s.AppendFormat(L"%d,%d", 1, 2);
  EXPECT_EQ(s, L"n=1,2");

  s.FormatMessage(L"%2 then %1!d!", 5, L"first");
  EXPECT_EQ(s, L"first then 5");
}

TEST(CStringSearch, FindReverseFindFindOneOf) {
  const CString s(L"abcabc");
  const struct {
    LPCWSTR sub;
    int nStart;
    int nExpected;
  } subs[] = {
      {L"bc", 0, 1}, {L"bc", 2, 4}, {L"bc", 5, -1}, {L"abc", 3, 3}, {L"x", 0, -1},
      {L"", 2, 2},   {L"c", 6, -1}, {L"c", 7, -1},  {L"a", -3, 0},
  };
  for (const auto& c : subs)
    EXPECT_EQ(s.Find(c.sub, c.nStart), c.nExpected) << c.sub << " from " << c.nStart;
  EXPECT_EQ(s.Find(L'c'), 2);
  EXPECT_EQ(s.Find(L'c', 3), 5);
  EXPECT_EQ(s.Find(L'c', 6), -1);
  EXPECT_EQ(s.Find(L'z'), -1);
  EXPECT_EQ(s.ReverseFind(L'a'), 3);
  EXPECT_EQ(s.ReverseFind(L'z'), -1);
  EXPECT_EQ(s.FindOneOf(L"xyc"), 2);
  EXPECT_EQ(s.FindOneOf(L"xyz"), -1);
  EXPECT_EQ(s.FindOneOf(L""), -1);
}

TEST(CStringExtract, MidLeftRightClampTheirArguments) {
  const CString s(L"abcdef");
  const struct {
    int nFirst, nCount;
    LPCWSTR expected;
  } mids[] = {
      {0, 6, L"abcdef"}, {2, 2, L"cd"}, {4, 10, L"ef"}, {6, 1, L""},  {7, 1, L""},
      {-2, 3, L"abc"},   {2, -1, L""},  {0, 0, L""},    {5, 1, L"f"},
  };
  for (const auto& c : mids)
    EXPECT_EQ(s.Mid(c.nFirst, c.nCount), c.expected) << c.nFirst << "," << c.nCount;
  EXPECT_EQ(s.Mid(3), L"def");
  EXPECT_EQ(s.Mid(9), L"");
  EXPECT_EQ(s.Left(2), L"ab");
  EXPECT_EQ(s.Left(99), L"abcdef");
  EXPECT_EQ(s.Left(-1), L"");
  EXPECT_EQ(s.Right(2), L"ef");
  EXPECT_EQ(s.Right(99), L"abcdef");
  EXPECT_EQ(s.Right(-1), L"");
  EXPECT_EQ(CString(L"123abc").SpanIncluding(L"0123456789"), L"123");
  EXPECT_EQ(CString(L"abc123").SpanIncluding(L"0123456789"), L"");
  EXPECT_EQ(CString(L"name;rest").SpanExcluding(L";,"), L"name");
  EXPECT_EQ(CString(L"name").SpanExcluding(L";,"), L"name");
}

TEST(CStringEdit, ReplaceRemoveInsertDelete) {
  const struct {
    LPCWSTR text, oldText, newText, expected;
    int nCount;
  } replaces[] = {
      {L"a.b.c", L".", L"::", L"a::b::c", 2},
      {L"aaaa", L"aa", L"b", L"bb", 2},       // left to right, no overlap
      {L"aaa", L"aa", L"aaaa", L"aaaaa", 1},  // the replacement is not rescanned
      {L"abc", L"x", L"y", L"abc", 0},
      {L"abc", L"", L"y", L"abc", 0},  // an empty pattern changes nothing
      {L"abcabc", L"abc", L"", L"", 2},
      {L"abc", L"b", nullptr, L"ac", 1},  // NULL replacement deletes
      {L"", L"a", L"b", L"", 0},
  };
  for (const auto& c : replaces) {
    CString s(c.text);
    EXPECT_EQ(s.Replace(c.oldText, c.newText), c.nCount) << c.text;
    EXPECT_EQ(s, c.expected) << c.text;
  }
  CString s(L"a-b-c");
  EXPECT_EQ(s.Replace(L'-', L'+'), 2);
  EXPECT_EQ(s, L"a+b+c");
  EXPECT_EQ(s.Replace(L'+', L'+'), 0);
  EXPECT_EQ(s.Remove(L'+'), 2);
  EXPECT_EQ(s, L"abc");
  EXPECT_EQ(s.Insert(1, L'X'), 4);
  EXPECT_EQ(s, L"aXbc");
  EXPECT_EQ(s.Insert(99, L"<end>"), 9);
  EXPECT_EQ(s, L"aXbc<end>");
  EXPECT_EQ(s.Insert(-5, L"^"), 10);
  EXPECT_EQ(s, L"^aXbc<end>");
  EXPECT_EQ(s.Delete(0), 9);
  EXPECT_EQ(s.Delete(4, 100), 4);
  EXPECT_EQ(s, L"aXbc");
  EXPECT_EQ(s.Delete(10, 1), 4);
  EXPECT_EQ(s.Delete(1, -1), 4);
  EXPECT_EQ(s, L"aXbc");
}

TEST(CStringEdit, TrimVariants) {
  const struct {
    LPCWSTR text;
    LPCWSTR targets;  // nullptr: whitespace
    LPCWSTR both, left, right;
  } cases[] = {
      {L"  a b \t\r\n", nullptr, L"a b", L"a b \t\r\n", L"  a b"},
      {L"   ", nullptr, L"", L"", L""},
      {L"", nullptr, L"", L"", L""},
      {L"xxaxbxx", L"x", L"axb", L"axbxx", L"xxaxb"},
      {L"-+a+-", L"+-", L"a", L"a+-", L"-+a"},
      {L"abc", L"", L"abc", L"abc", L"abc"},
  };
  for (const auto& c : cases) {
    CString both(c.text), left(c.text), right(c.text);
    if (c.targets) {
      both.Trim(c.targets);
      left.TrimLeft(c.targets);
      right.TrimRight(c.targets);
    } else {
      both.Trim();
      left.TrimLeft();
      right.TrimRight();
    }
    EXPECT_EQ(both, c.both) << c.text;
    EXPECT_EQ(left, c.left) << c.text;
    EXPECT_EQ(right, c.right) << c.text;
  }
  CString s(L"..x..");
  EXPECT_EQ(s.Trim(L'.'), L"x");
}

TEST(CStringEdit, CaseAndReverse) {
  CString s(L"Gr\u00fc\u00dfe Stra\u00dfe abc");
  s.MakeUpper();
  EXPECT_EQ(s.Left(4), L"GR\u00dc\u00df");  // sharp s has no single-letter capital
  s.MakeLower();
  EXPECT_EQ(s, L"gr\u00fc\u00dfe stra\u00dfe abc");
  EXPECT_EQ(CString(L"abc").MakeReverse(), L"cba");
  EXPECT_EQ(CString(L"").MakeReverse(), L"");
}

TEST(CStringTokens, TokenizeAndExtractSubString) {
  CString s(L";;a;bb;;c;");
  int nPos = 0;
  CStringArray tokens;
  for (CString tok = s.Tokenize(L";", nPos); nPos != -1; tok = s.Tokenize(L";", nPos))
    tokens.Add(tok);
  ASSERT_EQ(tokens.GetSize(), 3);
  EXPECT_EQ(tokens[0], L"a");
  EXPECT_EQ(tokens[1], L"bb");
  EXPECT_EQ(tokens[2], L"c");

  const struct {
    LPCWSTR full;
    int nIndex;
    BOOL bFound;
    LPCWSTR expected;
  } subs[] = {
      {L"a\nb\nc", 0, TRUE, L"a"}, {L"a\nb\nc", 2, TRUE, L"c"}, {L"a\nb\nc", 3, FALSE, L""},
      {L"a\n\nc", 1, TRUE, L""},   {L"", 0, TRUE, L""},         {L"x", -1, FALSE, L""},
  };
  for (const auto& c : subs) {
    CString out(L"stale");
    EXPECT_EQ(AfxExtractSubString(out, c.full, c.nIndex), c.bFound) << c.nIndex;
    EXPECT_EQ(out, c.expected) << c.nIndex;
  }
  CString out;
  EXPECT_TRUE(AfxExtractSubString(out, L"k=v|k2=v2", 1, L'|'));
  EXPECT_EQ(out, L"k2=v2");
}

TEST(CStringBuffer, GetBufferReleaseBuffer) {
  CString s(L"abc");
  LPWSTR p = s.GetBuffer(10);
  wcscpy(p, L"0123456");
  s.ReleaseBuffer();
  EXPECT_EQ(s, L"0123456");
  EXPECT_EQ(s.GetLength(), 7);

  p = s.GetBuffer(20);
  p[0] = L'X';
  s.ReleaseBuffer(3);
  EXPECT_EQ(s, L"X12");

  p = s.GetBufferSetLength(5);
  wmemcpy(p, L"abcde", 5);
  s.ReleaseBuffer(5);
  EXPECT_EQ(s, L"abcde");

  // The usual API pattern: a fixed buffer that the API fills.
  CString dir;
  DWORD n = ::GetCurrentDirectoryW(MAX_PATH, dir.GetBuffer(MAX_PATH));
  dir.ReleaseBuffer();
  EXPECT_EQ(dir.GetLength(), static_cast<int>(n));
  dir.FreeExtra();
  EXPECT_EQ(dir.GetLength(), static_cast<int>(n));
  EXPECT_EQ(dir.LockBuffer(), dir.GetString());
  dir.UnlockBuffer();
}

TEST(CStringConvert, BstrRoundTrip) {
  CString s(L"bstr text");
  BSTR b = s.AllocSysString();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(::SysStringLen(b), 9u);
  EXPECT_STREQ(b, L"bstr text");
  CString t(L"longer replacement");
  t.SetSysString(&b);
  EXPECT_EQ(::SysStringLen(b), 18u);
  EXPECT_STREQ(b, L"longer replacement");
  ::SysFreeString(b);

  CStringA narrow(CString(L"Gr\u00fc\u00dfe"));
  EXPECT_STREQ(narrow,
               "Gr\xfc\xdf"
               "e");
}

TEST(CStringConvert, LoadStringFromAModuleTable) {
  // user32 carries a string table of its own in every Windows (and Wine) installation;
  // loading through a chosen module proves the resource handle is what gets used.
  HINSTANCE hUser = ::GetModuleHandleW(L"user32.dll");
  ASSERT_NE(hUser, nullptr);
  UINT nFound = 0;
  for (UINT id = 1; id < 2000 && nFound == 0; id++) {
    WCHAR sz[256];
    if (::LoadStringW(hUser, id, sz, _countof(sz)) > 0) nFound = id;
  }
  if (nFound == 0) GTEST_SKIP() << "user32 has no string table here";
  WCHAR szExpected[256];
  ::LoadStringW(hUser, nFound, szExpected, _countof(szExpected));

  CString s;
  AfxSetResourceHandle(hUser);
  EXPECT_TRUE(s.LoadString(nFound));
  CString fromId(MAKEINTRESOURCEW(nFound));
  AfxSetResourceHandle(nullptr);
  EXPECT_EQ(s, szExpected);
  EXPECT_EQ(fromId, szExpected);

  EXPECT_FALSE(s.LoadString(hUser, 65000));  // absent: FALSE and empty
  EXPECT_TRUE(s.IsEmpty());
}
