// CArchive: exact bytes of numbers, counts, strings, classes and object references, and
// round trips of object graphs and collections.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework.h"

// Serializable test classes (at namespace scope, as a program's own classes are).
// A serializable node that refers to another node (possibly itself or a cycle).
class CTestNode : public CObject {
  DECLARE_SERIAL(CTestNode)
 public:
  CString m_strName;
  CTestNode* m_pPeer = nullptr;
  CObArray m_children;
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      ar << m_strName << m_pPeer;
    } else {
      ar >> m_strName >> m_pPeer;
    }
    m_children.Serialize(ar);
  }
};
IMPLEMENT_SERIAL(CTestNode, CObject, 1)

// A small value object; its schema is versionable, and it records what it was told.
class CTestValue : public CObject {
  DECLARE_SERIAL(CTestValue)
 public:
  WORD m_wValue = 0;
  UINT m_nLoadedSchema = 0;
  UINT m_nSecondAsk = 0;
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      ar << m_wValue;
    } else {
      m_nLoadedSchema = ar.GetObjectSchema();
      m_nSecondAsk = ar.GetObjectSchema();
      ar >> m_wValue;
    }
  }
};
IMPLEMENT_SERIAL(CTestValue, CObject, VERSIONABLE_SCHEMA | 2)

class CTestPlain : public CObject {
  DECLARE_DYNAMIC(CTestPlain)
};
IMPLEMENT_DYNAMIC(CTestPlain, CObject)

namespace {

using Bytes = std::vector<BYTE>;

Bytes FileBytes(CMemFile& file) {
  Bytes bytes(static_cast<size_t>(file.GetLength()));
  file.SeekToBegin();
  if (!bytes.empty()) file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
  return bytes;
}

// Stores through fn and returns what the archive wrote.
template <class F>
Bytes Store(F fn) {
  CMemFile file;
  CArchive ar(&file, CArchive::store);
  fn(ar);
  ar.Close();
  return FileBytes(file);
}

// Loads bytes through fn.
template <class F>
void Load(const Bytes& bytes, F fn) {
  Bytes copy(bytes);
  CMemFile file(copy.data(), static_cast<UINT>(copy.size()));
  CArchive ar(&file, CArchive::load);
  fn(ar);
}

// Loads bytes through fn, which must fail with a CArchiveException; returns its cause.
template <class F>
int LoadFailure(const Bytes& bytes, F fn) {
  try {
    Load(bytes, fn);
  } catch (CArchiveException* e) {
    int cause = e->m_cause;
    e->Delete();
    return cause;
  }
  return -1;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

Bytes Utf16(const std::wstring& s) {
  Bytes b;
  for (wchar_t ch : s) {
    b.push_back(static_cast<BYTE>(ch & 0xFF));
    b.push_back(static_cast<BYTE>(ch >> 8));
  }
  return b;
}

Bytes Ascii(const std::string& s) { return Bytes(s.begin(), s.end()); }

const Bytes kNodeClass = Concat({{0xFF, 0xFF, 0x01, 0x00, 0x09, 0x00}, Ascii("CTestNode")});
const Bytes kValueClass = Concat({{0xFF, 0xFF, 0x02, 0x00, 0x0A, 0x00}, Ascii("CTestValue")});

}  // namespace

// ---------------------------------------------------------------------------------------
TEST(CArchiveBytes, NumbersAreLittleEndianFixedWidth) {
  Bytes bytes = Store([](CArchive& ar) {
    ar << static_cast<BYTE>(0x01) << static_cast<WORD>(0x0203) << static_cast<LONG>(-2)
       << static_cast<DWORD>(0x04050607) << 1.5f << 2.25 << static_cast<LONGLONG>(-3)
       << static_cast<ULONGLONG>(0x0102030405060708ULL) << 5 << static_cast<short>(-1) << 'c'
       << L'\u0416' << true << 7u;
  });
  const Bytes expected = {
      0x01,                                            // BYTE
      0x03, 0x02,                                      // WORD
      0xFE, 0xFF, 0xFF, 0xFF,                          // LONG -2
      0x07, 0x06, 0x05, 0x04,                          // DWORD
      0x00, 0x00, 0xC0, 0x3F,                          // float 1.5
      0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x40,  // double 2.25
      0xFD, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,  // LONGLONG -3
      0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01,  // ULONGLONG
      0x05, 0x00, 0x00, 0x00,                          // int: 4 bytes
      0xFF, 0xFF,                                      // short: 2 bytes
      0x63,                                            // char: 1 byte
      0x16, 0x04,                                      // wchar_t: 2 bytes
      0x01,                                            // bool: 1 byte
      0x07, 0x00, 0x00, 0x00,                          // UINT: 4 bytes
  };
  EXPECT_EQ(bytes, expected);

  Load(bytes, [](CArchive& ar) {
    BYTE by;
    WORD w;
    LONG l;
    DWORD dw;
    float f;
    double d;
    LONGLONG ll;
    ULONGLONG ull;
    int i;
    short s;
    char c;
    wchar_t wc;
    bool b;
    UINT u;
    ar >> by >> w >> l >> dw >> f >> d >> ll >> ull >> i >> s >> c >> wc >> b >> u;
    EXPECT_EQ(by, 1);
    EXPECT_EQ(w, 0x0203);
    EXPECT_EQ(l, -2);
    EXPECT_EQ(dw, 0x04050607u);
    EXPECT_EQ(f, 1.5f);
    EXPECT_EQ(d, 2.25);
    EXPECT_EQ(ll, -3);
    EXPECT_EQ(ull, 0x0102030405060708ULL);
    EXPECT_EQ(i, 5);
    EXPECT_EQ(s, -1);
    EXPECT_EQ(c, 'c');
    EXPECT_EQ(wc, L'\u0416');
    EXPECT_TRUE(b);
    EXPECT_EQ(u, 7u);
  });
}

TEST(CArchiveBytes, CountsEscapeAt0xFFFF) {
  const struct {
    DWORD_PTR nCount;
    Bytes bytes;
  } cases[] = {
      {0, {0x00, 0x00}},
      {0x1234, {0x34, 0x12}},
      {0xFFFE, {0xFE, 0xFF}},
      {0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
      {0x12345, {0xFF, 0xFF, 0x45, 0x23, 0x01, 0x00}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Store([&](CArchive& ar) { ar.WriteCount(c.nCount); }), c.bytes) << c.nCount;
    Load(c.bytes, [&](CArchive& ar) { EXPECT_EQ(ar.ReadCount(), c.nCount); });
  }
}

// Wide strings: FF FE FF (the Unicode marker: BYTE FF, WORD FFFE), then the length as a BYTE
// below 0xFF, else FF + WORD below 0xFFFE, else FF FFFF + DWORD; then UTF-16 characters.
TEST(CArchiveBytes, StringLengthPrefixes) {
  const struct {
    int nLength;
    Bytes prefix;
  } cases[] = {
      {0, {0xFF, 0xFE, 0xFF, 0x00}},
      {2, {0xFF, 0xFE, 0xFF, 0x02}},
      {254, {0xFF, 0xFE, 0xFF, 0xFE}},
      {255, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00}},
      {0xFFFD, {0xFF, 0xFE, 0xFF, 0xFF, 0xFD, 0xFF}},
      {0xFFFE, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
      {0x10000, {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}},
  };
  for (const auto& c : cases) {
    std::wstring text;
    for (int i = 0; i < c.nLength; i++) text += static_cast<wchar_t>(L'a' + i % 26);
    text += L"";
    if (c.nLength >= 2) text[1] = L'\u20AC';  // a character beyond Latin-1
    CString str(text.c_str(), static_cast<int>(text.size()));
    Bytes bytes = Store([&](CArchive& ar) { ar << str; });
    EXPECT_EQ(bytes, Concat({c.prefix, Utf16(text)})) << c.nLength;
    Load(bytes, [&](CArchive& ar) {
      CString back;
      ar >> back;
      EXPECT_EQ(back.GetLength(), c.nLength);
      EXPECT_TRUE(back == str) << c.nLength;
    });
  }
}

TEST(CArchiveBytes, TextPointersAreStoredAsStrings) {
  Bytes bytes = Store([](CArchive& ar) { ar << L"w" << "n" << static_cast<LPCWSTR>(nullptr); });
  EXPECT_EQ(bytes, (Bytes{0xFF, 0xFE, 0xFF, 0x01, 'w', 0x00, 0x01, 'n', 0xFF, 0xFE, 0xFF, 0x00}));
  Load(bytes, [](CArchive& ar) {
    CString a, b, c;
    ar >> a >> b >> c;
    EXPECT_EQ(a, L"w");
    EXPECT_EQ(b, L"n");
    EXPECT_TRUE(c.IsEmpty());
  });
}

TEST(CArchiveBytes, AnsiStringsWithoutMarkerAreConverted) {
  const struct {
    Bytes bytes;
    std::wstring expected;
  } cases[] = {
      {{0x00}, L""},
      {{0x03, 'a', 'b', 0xFC}, L"ab\u00fc"},
      {Concat({{0xFF, 0x00, 0x01}, Bytes(256, 'x')}), std::wstring(256, L'x')},
  };
  for (const auto& c : cases) {
    Load(c.bytes, [&](CArchive& ar) {
      CString s;
      ar >> s;
      EXPECT_EQ(s.str(), c.expected);
    });
  }
}

TEST(CArchiveBytes, TruncatedOrCorruptStringsFailCleanly) {
  auto readString = [](CArchive& ar) {
    CString s;
    ar >> s;
  };
  EXPECT_EQ(LoadFailure({}, readString), CArchiveException::endOfFile);
  EXPECT_EQ(LoadFailure({0x05, 'a'}, readString), CArchiveException::endOfFile);
  EXPECT_EQ(LoadFailure({0xFF, 0xFE, 0xFF, 0x02, 'a', 0}, readString),
            CArchiveException::endOfFile);
  // A length of almost 2^31 characters with no data behind it.
  EXPECT_EQ(
      LoadFailure({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 0}, readString),
      CArchiveException::endOfFile);
}

// ---------------------------------------------------------------------------------------
TEST(CArchiveObjects, ClassTagsSchemaAndObjectReferences) {
  CTestNode a, b;
  a.m_strName = L"A";
  b.m_strName = L"B";
  a.m_pPeer = &b;
  b.m_pPeer = &a;
  Bytes bytes = Store([&](CArchive& ar) {
    ar << &a;  // class (index 1), a (2), then b (3) inside a
    ar << &b;  // already written: a reference
    ar << static_cast<CObject*>(nullptr);
  });
  const Bytes expected = Concat({
      kNodeClass,                           // new class: FFFF, schema 1, name length 9, name
      {0xFF, 0xFE, 0xFF, 0x01, 'A', 0x00},  // a.m_strName
      {0x01, 0x80},                         // a.m_pPeer: class reference 0x8000 | 1
      {0xFF, 0xFE, 0xFF, 0x01, 'B', 0x00},  // b.m_strName
      {0x02, 0x00},                         // b.m_pPeer: object reference to a
      {0x00, 0x00},                         // b.m_children: count 0
      {0x00, 0x00},                         // a.m_children: count 0
      {0x03, 0x00},                         // ar << &b: object reference to b
      {0x00, 0x00},                         // NULL
  });
  EXPECT_EQ(bytes, expected);

  Load(bytes, [](CArchive& ar) {
    CTestNode* pA = nullptr;
    CTestNode* pB = nullptr;
    CObject* pNull = reinterpret_cast<CObject*>(1);
    ar >> pA >> pB >> pNull;
    ASSERT_NE(pA, nullptr);
    ASSERT_NE(pB, nullptr);
    EXPECT_EQ(pA->m_strName, L"A");
    EXPECT_EQ(pB->m_strName, L"B");
    EXPECT_EQ(pA->m_pPeer, pB);
    EXPECT_EQ(pB->m_pPeer, pA);
    EXPECT_EQ(pNull, nullptr);
    delete pA;
    delete pB;
  });
}

TEST(CArchiveObjects, VersionableSchemaIsHandedToSerializeOnce) {
  // Stored with schema 1 while the class is now at 2: accepted because it is versionable.
  Bytes bytes = Concat({{0xFF, 0xFF, 0x01, 0x00, 0x0A, 0x00}, Ascii("CTestValue"), {0x34, 0x12}});
  Load(bytes, [](CArchive& ar) {
    CTestValue* p = nullptr;
    ar >> p;
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->m_wValue, 0x1234);
    EXPECT_EQ(p->m_nLoadedSchema, 1u);
    EXPECT_EQ(p->m_nSecondAsk, static_cast<UINT>(-1));
    delete p;
  });
  // The class writes the low word of its schema.
  CTestValue v;
  v.m_wValue = 0x0102;
  EXPECT_EQ(Store([&](CArchive& ar) { ar << &v; }), Concat({kValueClass, {0x02, 0x01}}));
}

TEST(CArchiveObjects, BadStreamsThrowTheRightCause) {
  auto readNode = [](CArchive& ar) {
    CTestNode* p = nullptr;
    ar >> p;
    delete p;
  };
  auto readAny = [](CArchive& ar) {
    CObject* p = nullptr;
    ar >> p;
    delete p;
  };
  const struct {
    const char* what;
    Bytes bytes;
    int cause;
  } cases[] = {
      {"non-versionable schema differs",
       Concat({{0xFF, 0xFF, 0x07, 0x00, 0x09, 0x00}, Ascii("CTestNode")}),
       CArchiveException::badSchema},
      {"unknown class", Concat({{0xFF, 0xFF, 0x01, 0x00, 0x06, 0x00}, Ascii("CNoSuch")}),
       CArchiveException::badClass},
      {"class name too long", Concat({{0xFF, 0xFF, 0x01, 0x00, 0xFF, 0x00}, Bytes(255, 'x')}),
       CArchiveException::badClass},
      {"not the class asked for", Concat({kValueClass, {0x00, 0x00}}), CArchiveException::badClass},
      {"object index never defined", {0x05, 0x00}, CArchiveException::badIndex},
      {"class index never defined", {0x03, 0x80}, CArchiveException::badIndex},
      {"big object index never defined",
       {0xFF, 0x7F, 0x00, 0x00, 0x01, 0x00},
       CArchiveException::badIndex},
      {"truncated class record", {0xFF, 0xFF, 0x01}, CArchiveException::endOfFile},
      {"truncated object data", Concat({kNodeClass, {0xFF, 0xFE, 0xFF, 0x04, 'A'}}),
       CArchiveException::endOfFile},
  };
  for (const auto& c : cases) EXPECT_EQ(LoadFailure(c.bytes, readNode), c.cause) << c.what;
  // A class reference where an object of a class is expected: index 1 is an object here.
  Bytes objectThenClassRef = Concat({kValueClass, {0x00, 0x00}, {0x02, 0x80}});
  EXPECT_EQ(LoadFailure(objectThenClassRef,
                        [&](CArchive& ar) {
                          readAny(ar);
                          readAny(ar);
                        }),
            CArchiveException::badIndex);
}

TEST(CArchiveObjects, ClassesThatAreNotSerialCannotBeWritten) {
  CTestPlain plain;
  bool bThrew = false;
  try {
    Store([&](CArchive& ar) { ar << &plain; });
  } catch (CNotSupportedException* e) {
    bThrew = true;
    e->Delete();
  }
  EXPECT_TRUE(bThrew);
}

TEST(CArchiveObjects, BigIndicesUseTheEscapeTag) {
  // Enough objects that the map indices pass 0x7FFF: references then take 7FFF + DWORD.
  const int nObjects = 0x8000;
  std::vector<CTestValue> values(nObjects);
  for (int i = 0; i < nObjects; i++) values[i].m_wValue = static_cast<WORD>(i);
  CTestNode node1, node2;
  Bytes bytes = Store([&](CArchive& ar) {
    for (CTestValue& v : values) ar << &v;  // class 1, objects 2 .. 0x8001
    ar << &values.back();                   // big object reference
    ar << &node1;                           // new class 0x8002, object 0x8003
    ar << &node2;                           // big class reference
  });
  // The first value object: its class, then its data; the next ones only their data
  // after a class reference.
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 22),
            Concat({kValueClass, {0x00, 0x00}, {0x01, 0x80, 0x01, 0x00}}));
  size_t nAfterValues = kValueClass.size() + 2 + (nObjects - 1) * 4;
  EXPECT_EQ(Bytes(bytes.begin() + nAfterValues, bytes.begin() + nAfterValues + 6),
            (Bytes{0xFF, 0x7F, 0x01, 0x80, 0x00, 0x00}));
  const size_t nEmptyNodeData = 4 + 2 + 2;  // empty name, NULL peer, no children
  size_t nNode2 = nAfterValues + 6 + kNodeClass.size() + nEmptyNodeData;
  EXPECT_EQ(Bytes(bytes.begin() + nNode2, bytes.begin() + nNode2 + 6),
            (Bytes{0xFF, 0x7F, 0x02, 0x80, 0x00, 0x80}));

  Load(bytes, [&](CArchive& ar) {
    std::vector<CObject*> loaded;
    for (int i = 0; i < nObjects + 3; i++) {
      CObject* p = nullptr;
      ar >> p;
      loaded.push_back(p);
    }
    EXPECT_EQ(static_cast<CTestValue*>(loaded[0x1234])->m_wValue, 0x1234);
    EXPECT_EQ(loaded[nObjects], loaded[nObjects - 1]);
    EXPECT_TRUE(loaded[nObjects + 1]->IsKindOf(RUNTIME_CLASS(CTestNode)));
    EXPECT_TRUE(loaded[nObjects + 2]->IsKindOf(RUNTIME_CLASS(CTestNode)));
    EXPECT_NE(loaded[nObjects + 1], loaded[nObjects + 2]);
    loaded.pop_back();
    loaded.erase(loaded.begin() + nObjects);  // the repeated reference
    for (CObject* p : loaded) delete p;
  });
}

TEST(CArchiveObjects, GraphWithSharedPointersRoundTrips) {
  // root -> children {x, y, x}; x and y both point at z; z points back at root.
  CTestNode root, x, y, z;
  root.m_strName = L"root";
  x.m_strName = L"x";
  y.m_strName = L"y";
  z.m_strName = L"z";
  root.m_children.Add(&x);
  root.m_children.Add(&y);
  root.m_children.Add(&x);
  x.m_pPeer = &z;
  y.m_pPeer = &z;
  z.m_pPeer = &root;
  root.m_pPeer = &root;
  Bytes bytes = Store([&](CArchive& ar) { ar << &root; });

  Load(bytes, [](CArchive& ar) {
    CTestNode* pRoot = nullptr;
    ar >> pRoot;
    ASSERT_NE(pRoot, nullptr);
    EXPECT_EQ(pRoot->m_pPeer, pRoot);
    ASSERT_EQ(pRoot->m_children.GetSize(), 3);
    auto* pX = static_cast<CTestNode*>(pRoot->m_children[0]);
    auto* pY = static_cast<CTestNode*>(pRoot->m_children[1]);
    EXPECT_EQ(pRoot->m_children[2], pX);
    EXPECT_EQ(pX->m_strName, L"x");
    EXPECT_EQ(pY->m_strName, L"y");
    ASSERT_NE(pX->m_pPeer, nullptr);
    EXPECT_EQ(pX->m_pPeer, pY->m_pPeer);
    EXPECT_EQ(pX->m_pPeer->m_strName, L"z");
    EXPECT_EQ(pX->m_pPeer->m_pPeer, pRoot);
    delete pX->m_pPeer;
    delete pX;
    delete pY;
    delete pRoot;
  });
}

TEST(CArchiveObjects, DamagedGraphsFailWithFrameworkExceptionsOnly) {
  CTestNode root, child;
  root.m_strName = L"root";
  child.m_strName = L"child";
  root.m_children.Add(&child);
  root.m_children.Add(&root);
  child.m_pPeer = &root;
  const Bytes good = Store([&](CArchive& ar) { ar << &root; });
  auto load = [](CArchive& ar) {
    CTestNode* p = nullptr;
    ar >> p;  // objects of a failed load are abandoned, as in a program
  };
  // Every truncation must end in an archive exception (the last byte is needed too).
  for (size_t n = 0; n < good.size(); n++)
    EXPECT_EQ(LoadFailure(Bytes(good.begin(), good.begin() + n), load), CArchiveException::endOfFile)
        << "cut at " << n;
  // Every single damaged byte either still loads or throws a framework exception.
  for (size_t i = 0; i < good.size(); i++) {
    for (BYTE mask : {0x01, 0x80, 0xFF}) {
      Bytes bad(good);
      bad[i] ^= mask;
      try {
        Load(bad, load);
      } catch (CException* e) {
        e->Delete();
      }
    }
  }
}

// ---------------------------------------------------------------------------------------
TEST(CArchiveCollections, FormatsOfTypedCollections) {
  CStringArray strings;
  strings.Add(L"a");
  strings.Add(L"");
  EXPECT_EQ(Store([&](CArchive& ar) { strings.Serialize(ar); }),
            (Bytes{0x02, 0x00, 0xFF, 0xFE, 0xFF, 0x01, 'a', 0x00, 0xFF, 0xFE, 0xFF, 0x00}));

  CWordArray words;
  words.Add(0x0102);
  words.Add(0x0304);
  EXPECT_EQ(Store([&](CArchive& ar) { words.Serialize(ar); }),
            (Bytes{0x02, 0x00, 0x02, 0x01, 0x04, 0x03}));

  CByteArray bytes;
  bytes.SetSize(0x10000);
  Bytes stored = Store([&](CArchive& ar) { bytes.Serialize(ar); });
  ASSERT_EQ(stored.size(), 6u + 0x10000u);
  EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 6), (Bytes{0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}));

  CMapStringToString map;
  map[L"k"] = L"v";
  EXPECT_EQ(
      Store([&](CArchive& ar) { map.Serialize(ar); }),
      (Bytes{0x01, 0x00, 0xFF, 0xFE, 0xFF, 0x01, 'k', 0x00, 0xFF, 0xFE, 0xFF, 0x01, 'v', 0x00}));
}

TEST(CArchiveCollections, RoundTripsOfListsMapsAndArrays) {
  CStringList list;
  list.AddTail(L"one");
  list.AddTail(L"two");
  CMapStringToString map;
  map[L"a"] = L"1";
  map[L"b"] = L"2";
  CDWordArray dwords;
  for (DWORD i = 0; i < 5000; i++) dwords.Add(i * 3);
  CTestValue v1, v2;
  v1.m_wValue = 11;
  v2.m_wValue = 22;
  CObList obs;
  obs.AddTail(&v1);
  obs.AddTail(&v2);
  obs.AddTail(&v1);
  CMapWordToOb wordMap;
  wordMap[7] = &v2;

  Bytes bytes = Store([&](CArchive& ar) {
    list.Serialize(ar);
    map.Serialize(ar);
    dwords.Serialize(ar);
    obs.Serialize(ar);
    wordMap.Serialize(ar);
  });

  Load(bytes, [](CArchive& ar) {
    CStringList list2;
    CMapStringToString map2;
    CDWordArray dwords2;
    CObList obs2;
    CMapWordToOb wordMap2;
    list2.Serialize(ar);
    map2.Serialize(ar);
    dwords2.Serialize(ar);
    obs2.Serialize(ar);
    wordMap2.Serialize(ar);
    ASSERT_EQ(list2.GetCount(), 2);
    EXPECT_EQ(list2.GetHead(), L"one");
    EXPECT_EQ(list2.GetTail(), L"two");
    CString value;
    EXPECT_TRUE(map2.Lookup(L"b", value));
    EXPECT_EQ(value, L"2");
    EXPECT_EQ(map2.GetCount(), 2);
    ASSERT_EQ(dwords2.GetSize(), 5000);
    EXPECT_EQ(dwords2[4999], 4999u * 3);
    ASSERT_EQ(obs2.GetCount(), 3);
    auto* p1 = static_cast<CTestValue*>(obs2.GetHead());
    auto* p2 = static_cast<CTestValue*>(obs2.GetAt(obs2.FindIndex(1)));
    EXPECT_EQ(obs2.GetTail(), p1);
    EXPECT_EQ(p1->m_wValue, 11);
    EXPECT_EQ(p2->m_wValue, 22);
    CObject* pMapped = nullptr;
    EXPECT_TRUE(wordMap2.Lookup(7, pMapped));
    EXPECT_EQ(pMapped, p2);  // the same object as in the list
    delete p1;
    delete p2;
  });
}

TEST(CArchiveCollections, CorruptCountsFailWithoutHugeAllocations) {
  auto readStrings = [](CArchive& ar) {
    CStringArray a;
    a.Serialize(ar);
  };
  // 0x03FFFFF0 strings announced, one present: the data ends long before memory does.
  EXPECT_EQ(LoadFailure({0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0x03, 0x00}, readStrings),
            CArchiveException::endOfFile);
  // A count no array of strings can hold is rejected as invalid data at once.
  EXPECT_EQ(LoadFailure({0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0x7F, 0x00}, readStrings),
            CArchiveException::badIndex);
  auto readList = [](CArchive& ar) {
    CObList list;
    list.Serialize(ar);
  };
  EXPECT_EQ(LoadFailure({0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0x7F, 0x00, 0x00}, readList),
            CArchiveException::endOfFile);
}

// ---------------------------------------------------------------------------------------
TEST(CArchiveStream, DirectionErrorsAndEnd) {
  CMemFile file;
  CArchive store(&file, CArchive::store);
  EXPECT_TRUE(store.IsStoring());
  EXPECT_FALSE(store.IsLoading());
  EXPECT_EQ(store.GetFile(), &file);
  EXPECT_EQ(store.m_pDocument, nullptr);
  int cause = -1;
  try {
    WORD w;
    store >> w;
  } catch (CArchiveException* e) {
    cause = e->m_cause;
    e->Delete();
  }
  EXPECT_EQ(cause, CArchiveException::writeOnly);
  store.Close();

  EXPECT_EQ(LoadFailure({0x01}, [](CArchive& ar) { ar << static_cast<BYTE>(1); }),
            CArchiveException::readOnly);
  EXPECT_EQ(LoadFailure({0x01, 0x02, 0x03},
                        [](CArchive& ar) {
                          DWORD dw;
                          ar >> dw;
                        }),
            CArchiveException::endOfFile);
}

TEST(CArchiveStream, TextLinesAndRawData) {
  Bytes bytes = Store([](CArchive& ar) {
    ar.WriteString(L"line one\r\n");
    ar.WriteString(L"line two\n");
    ar.WriteString(L"last");
    ar.Write("\x01\x02", 2);
  });
  EXPECT_EQ(bytes.size(), (10u + 9u + 4u) * 2 + 2);
  Load(bytes, [](CArchive& ar) {
    CString line;
    EXPECT_TRUE(ar.ReadString(line));
    EXPECT_EQ(line, L"line one");
    WCHAR buf[32];
    EXPECT_STREQ(ar.ReadString(buf, 32), L"line two\n");
    EXPECT_STREQ(ar.ReadString(buf, 5), L"last");
    BYTE raw[4];
    EXPECT_EQ(ar.Read(raw, 4), 2u);
    EXPECT_EQ(raw[1], 0x02);
    EXPECT_FALSE(ar.ReadString(line));
  });
}

TEST(CArchiveStream, LoadingLeavesTheFileJustAfterWhatWasRead) {
  CMemFile file;
  Bytes data(100, 0xAB);
  file.Write(data.data(), 100);
  file.SeekToBegin();
  {
    CArchive ar(&file, CArchive::load, 16);
    DWORD dw;
    ar >> dw;
    ar.Close();
  }
  EXPECT_EQ(file.GetPosition(), 4u);

  // Storing through a small buffer and large writes keeps the order of the bytes.
  CMemFile out;
  {
    CArchive ar(&out, CArchive::store, 8);
    Bytes big(50);
    for (int i = 0; i < 50; i++) big[i] = static_cast<BYTE>(i);
    ar << static_cast<BYTE>(0xEE);
    ar.Write(big.data(), 50);
    ar << static_cast<WORD>(0x0201);
  }  // the destructor flushes
  Bytes written = FileBytes(out);
  ASSERT_EQ(written.size(), 53u);
  EXPECT_EQ(written[0], 0xEE);
  EXPECT_EQ(written[1], 0x00);
  EXPECT_EQ(written[50], 49);
  EXPECT_EQ(written[51], 0x01);
}

TEST(CArchiveStream, DiskFileRoundTrip) {
  WCHAR szTemp[MAX_PATH], szName[MAX_PATH];
  ::GetTempPathW(MAX_PATH, szTemp);
  ::GetTempFileNameW(szTemp, L"arc", 0, szName);
  {
    CFile file(szName, CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store);
    EXPECT_EQ(ar.m_strFileName, szName);
    CString s(L'q', 5000);
    ar << s << CRect(1, 2, 3, 4) << CPoint(-5, 6) << CSize(7, 8) << CTime(1234567890);
  }
  {
    CFile file(szName, CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    CString s;
    CRect r;
    CPoint pt;
    CSize sz;
    CTime t;
    ar >> s >> r >> pt >> sz >> t;
    EXPECT_EQ(s, CString(L'q', 5000));
    EXPECT_EQ(r, CRect(1, 2, 3, 4));
    EXPECT_EQ(pt, CPoint(-5, 6));
    EXPECT_EQ(sz, CSize(7, 8));
    EXPECT_EQ(t.GetTime(), 1234567890);
  }
  ::DeleteFileW(szName);
}
