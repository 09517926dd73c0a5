// The settings exchange in both forms: every value type stored and read back with the
// exact bytes of each form, defaults, sections, enumerators, classes and objects, nested
// archives, and the text form of blobs.
#include <gtest/gtest.h>

#include <map>

#include "px_test_support.h"

namespace pxtest {

int g_nShapesAlive = 0;
int g_nShapesMade = 0;
IMPLEMENT_SERIAL(CShape, CObject, 1)
IMPLEMENT_SERIAL(CSquare, CShape, 1)
IMPLEMENT_SERIAL(CNotAShape, CObject, 1)

namespace {

// One value of each type and a blob, as an object's DoPropExchange would write them.
struct AllValues {
  short nShort = 0x1234;
  int nInt = -2;
  BOOL bBool = TRUE;
  BYTE byByte = 0xAB;
  CString str = L"Ab";
  CRect rc = CRect(1, 2, 3, 4);
  CSize sz = CSize(16, 16);
  BYTE blob[2] = {0x12, 0xAB};

  // Every call with a default that differs from the value, so the registry keeps them.
  BOOL Exchange(CXTPPropExchange* px, BYTE** ppBlob, DWORD* pcbBlob) {
    short nShortDefault = 0;
    BYTE byDefault = 0;
    BOOL ok = TRUE;
    ok &= px->ExchangeProp(L"Short", PXVT_SHORT, &nShort, &nShortDefault);
    ok &= PX_Int(px, L"Int", nInt, 0);
    ok &= PX_Bool(px, L"Bool", bBool, FALSE);
    ok &= px->ExchangeProp(L"Byte", PXVT_BYTE, &byByte, &byDefault);
    ok &= PX_String(px, L"String", str, L"");
    ok &= PX_Rect(px, L"Rect", rc, CRect(0, 0, 0, 0));
    ok &= PX_Size(px, L"Size", sz, CSize(0, 0));
    ok &= px->ExchangeBlob(L"Blob", ppBlob, pcbBlob);
    return ok;
  }
};

const Bytes kGoldenArchive = {
    0x34, 0x12,                                      // short
    0xFE, 0xFF, 0xFF, 0xFF,                          // int -2
    0x01, 0x00, 0x00, 0x00,                          // BOOL
    0xAB,                                            // BYTE
    0xFF, 0xFE, 0xFF, 0x02, 0x41, 0x00, 0x62, 0x00,  // "Ab"
    0x01, 0, 0, 0, 0x02, 0, 0, 0, 0x03, 0, 0, 0, 0x04, 0, 0, 0,  // rectangle
    0x10, 0, 0, 0, 0x10, 0, 0, 0,                    // size
    0x02, 0x00, 0x12, 0xAB,                          // blob: count, bytes
};

TEST(PropExchangeArchive, EveryTypeHasItsFixedBytesAndReadsBack) {
  Bytes bytes = StoreArchive([](CXTPPropExchange* px) {
    EXPECT_TRUE(px->IsStoring());
    AllValues v;
    BYTE* p = v.blob;
    DWORD cb = 2;
    EXPECT_TRUE(v.Exchange(px, &p, &cb));
  });
  EXPECT_EQ(bytes, kGoldenArchive);

  LoadArchive(kGoldenArchive, [](CXTPPropExchange* px) {
    EXPECT_TRUE(px->IsLoading());
    AllValues v;
    v.nShort = 0;
    v.nInt = 0;
    v.bBool = FALSE;
    v.byByte = 0;
    v.str.Empty();
    v.rc.SetRectEmpty();
    v.sz = CSize(0, 0);
    BYTE* p = nullptr;
    DWORD cb = 0;
    EXPECT_TRUE(v.Exchange(px, &p, &cb));
    EXPECT_EQ(v.nShort, 0x1234);
    EXPECT_EQ(v.nInt, -2);
    EXPECT_EQ(v.bBool, TRUE);
    EXPECT_EQ(v.byByte, 0xAB);
    EXPECT_STREQ(v.str.GetString(), L"Ab");
    EXPECT_EQ(v.rc, CRect(1, 2, 3, 4));
    EXPECT_EQ(v.sz, CSize(16, 16));
    ASSERT_EQ(cb, 2u);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[0], 0x12);
    EXPECT_EQ(p[1], 0xAB);
    free(p);
  });
}

TEST(PropExchangeArchive, DefaultsAreNotUsedAndNamesIgnored) {
  // Values equal to their defaults are still written; an archive has no names.
  Bytes bytes = StoreArchive([](CXTPPropExchange* px) {
    EXPECT_FALSE(px->IsAllowDefaultValues());
    EXPECT_TRUE(px->IsAllowBlobValues());
    int n = 0;
    EXPECT_TRUE(PX_Int(px, L"Animation", n, 0));
    CString s = L"x";
    EXPECT_TRUE(PX_String(px, L"whatever", s, L"x"));
  });
  EXPECT_EQ(bytes, (Bytes{0, 0, 0, 0, 0xFF, 0xFE, 0xFF, 1, 'x', 0}));
}

TEST(PropExchangeArchive, StringsInTheNarrowFormReadBack) {
  // A length without the UTF-16 marker is narrow text.
  LoadArchive({3, 'a', 'b', 'c'}, [](CXTPPropExchange* px) {
    CString s;
    EXPECT_TRUE(PX_String(px, L"", s));
    EXPECT_STREQ(s.GetString(), L"abc");
  });
  // A long string takes the longer length prefix.
  CString strLong(L'z', 300);
  Bytes bytes = StoreArchive([&](CXTPPropExchange* px) { PX_String(px, L"", strLong); });
  ASSERT_EQ(bytes.size(), 3u + 3u + 600u);
  EXPECT_EQ(bytes[3], 0xFF);
  EXPECT_EQ(bytes[4], 300 & 0xFF);
  EXPECT_EQ(bytes[5], 300 >> 8);
  LoadArchive(bytes, [&](CXTPPropExchange* px) {
    CString s;
    EXPECT_TRUE(PX_String(px, L"", s));
    EXPECT_EQ(s, strLong);
  });
}

TEST(PropExchangeArchive, CountsSectionsAndEnumerators) {
  Bytes bytes = StoreArchive([](CXTPPropExchange* px) {
    px->SetContext(px);
    px->SetSchema(7);
    CXTPPropExchangeEnumeratorPtr e(px->GetEnumerator(L"Icon"));
    POSITION pos = e->GetPosition(2);
    int i = 0;
    while (pos) {
      CXTPPropExchangeSection sec(e->GetNext(pos));
      EXPECT_TRUE(sec->IsSection());
      EXPECT_EQ(sec->GetContext(), px);
      EXPECT_EQ(sec->GetSchema(), 7u);
      int n = 10 + i++;
      PX_Int(sec, L"Id", n);
    }
    EXPECT_EQ(i, 2);
    px->WriteCount(0x12345);  // above 0xFFFE: escaped
  });
  EXPECT_EQ(bytes, (Bytes{2, 0, 10, 0, 0, 0, 11, 0, 0, 0, 0xFF, 0xFF, 0x45, 0x23, 0x01, 0x00}));

  // Loading finds the two items; the large count is more than the bytes left: 0.
  LoadArchive(bytes, [](CXTPPropExchange* px) {
    CXTPPropExchangeEnumeratorPtr e(px->GetEnumerator(L"Icon"));
    POSITION pos = e->GetPosition();
    std::vector<int> ids;
    while (pos) {
      CXTPPropExchangeSection sec(e->GetNext(pos));
      int n = 0;
      EXPECT_TRUE(PX_Int(sec, L"Id", n));
      ids.push_back(n);
    }
    EXPECT_EQ(ids, (std::vector<int>{10, 11}));
    EXPECT_EQ(px->ReadCount(), 0u);
  });
  // An enumerator over no items gives no position and no section.
  Bytes empty = StoreArchive([](CXTPPropExchange* px) {
    CXTPPropExchangeEnumeratorPtr e(px->GetEnumerator(L"Icon"));
    EXPECT_EQ(e->GetPosition(0), nullptr);
  });
  EXPECT_EQ(empty, (Bytes{0, 0}));
}

TEST(PropExchangeArchive, NestedArchiveIsTheSameArchive) {
  Bytes bytes = StoreArchive([](CXTPPropExchange* px) {
    CShape shape;
    shape.m_nSides = 5;
    shape.m_strName = L"P";
    EXPECT_TRUE(PX_Serialize(px, L"Data", &shape));
    px->Write(L"raw", "\x01\x02", 2);
  });
  EXPECT_EQ(bytes, (Bytes{5, 0, 0, 0, 0xFF, 0xFE, 0xFF, 1, 'P', 0, 1, 2}));
  LoadArchive(bytes, [](CXTPPropExchange* px) {
    CShape shape;
    EXPECT_TRUE(PX_Serialize(px, L"Data", &shape));
    EXPECT_EQ(shape.m_nSides, 5);
    EXPECT_STREQ(shape.m_strName.GetString(), L"P");
    BYTE raw[4] = {};
    EXPECT_EQ(px->Read(L"raw", raw, 4), 2u);
    EXPECT_EQ(raw[1], 2);
  });
}

TEST(PropExchangeArchive, ClassesAndObjectInstances) {
  const int nAliveBefore = g_nShapesAlive;
  Bytes bytes = StoreArchive([](CXTPPropExchange* px) {
    CRuntimeClass* pClass = RUNTIME_CLASS(CSquare);
    EXPECT_TRUE(PX_RuntimeClass(px, L"Class", pClass, nullptr));
    CSquare square;
    CObject* pObject = &square;
    EXPECT_TRUE(px->ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CShape)));
    // A later reference to the same object goes by its index.
    CArchive* ar = px->GetArchive(L"");
    *ar << static_cast<CObject*>(&square);
    px->ReleaseArchive(L"", ar);
  });
  // New class: FFFF, schema, name length, name; then the class again by index (0x8001),
  // then the object by its index 2.
  Bytes expected = {0xFF, 0xFF, 1, 0, 7, 0, 'C', 'S', 'q', 'u', 'a', 'r', 'e', 0x01, 0x80, 0x02, 0x00};
  EXPECT_EQ(bytes, expected);

  LoadArchive(bytes, [](CXTPPropExchange* px) {
    px->SetSchema(0);
    CRuntimeClass* pClass = nullptr;
    EXPECT_TRUE(PX_RuntimeClass(px, L"Class", pClass, nullptr));
    EXPECT_EQ(pClass, RUNTIME_CLASS(CSquare));
    EXPECT_EQ(px->GetSchema(), 1u);  // the stored class's schema
    CObject* pObject = nullptr;
    ASSERT_TRUE(px->ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CShape)));
    ASSERT_NE(pObject, nullptr);
    EXPECT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(CSquare)));
    CArchive* ar = px->GetArchive(L"");
    CObject* pRef = nullptr;
    *ar >> pRef;
    px->ReleaseArchive(L"", ar);
    EXPECT_EQ(pRef, pObject);  // registered in the archive's object map
    delete pObject;
  });
  EXPECT_EQ(g_nShapesAlive, nAliveBefore);
}

// ---------------------------------------------------------------------------------------
TEST(PropExchangeRegistry, EveryTypeHasItsRegistryFormAndReadsBack) {
  ScratchKey key(L"AllTypes");
  {
    CXTPPropExchangeRegistry px(FALSE, key.Key(), L"Values");
    EXPECT_TRUE(px.IsAllowDefaultValues());
    EXPECT_TRUE(px.IsAllowBlobValues());
    AllValues v;
    BYTE* p = v.blob;
    DWORD cb = 2;
    EXPECT_TRUE(v.Exchange(&px, &p, &cb));
  }
  struct {
    const wchar_t* name;
    DWORD type;
    Bytes data;
  } golden[] = {
      {L"Short", REG_DWORD, {0x34, 0x12, 0, 0}},
      {L"Int", REG_DWORD, {0xFE, 0xFF, 0xFF, 0xFF}},
      {L"Bool", REG_DWORD, {1, 0, 0, 0}},
      {L"Byte", REG_DWORD, {0xAB, 0, 0, 0}},
      {L"String", REG_SZ, {'A', 0, 'b', 0, 0, 0}},
      {L"Rect", REG_SZ, {'1', 0, ',', 0, ' ', 0, '2', 0, ',', 0, ' ', 0, '3', 0, ',', 0, ' ', 0, '4', 0, 0, 0}},
      {L"Size", REG_SZ, {'1', 0, '6', 0, ',', 0, ' ', 0, '1', 0, '6', 0, 0, 0}},
      {L"Blob", REG_BINARY, {0x12, 0xAB}},
  };
  for (const auto& g : golden) {
    DWORD type = 0;
    Bytes data;
    ASSERT_TRUE(key.Value(L"Values", g.name, &type, &data)) << g.name;
    EXPECT_EQ(type, g.type) << g.name;
    EXPECT_EQ(data, g.data) << g.name;
  }

  CXTPPropExchangeRegistry px(TRUE, key.Key(), L"Values");
  AllValues v;
  v.nShort = 0;
  v.nInt = 0;
  v.bBool = FALSE;
  v.byByte = 0;
  v.str.Empty();
  v.rc.SetRectEmpty();
  v.sz = CSize(0, 0);
  BYTE* p = nullptr;
  DWORD cb = 0;
  EXPECT_TRUE(v.Exchange(&px, &p, &cb));
  EXPECT_EQ(v.nShort, 0x1234);
  EXPECT_EQ(v.nInt, -2);
  EXPECT_EQ(v.bBool, TRUE);
  EXPECT_EQ(v.byByte, 0xAB);
  EXPECT_STREQ(v.str.GetString(), L"Ab");
  EXPECT_EQ(v.rc, CRect(1, 2, 3, 4));
  EXPECT_EQ(v.sz, CSize(16, 16));
  ASSERT_EQ(cb, 2u);
  EXPECT_EQ(p[1], 0xAB);
  free(p);
}

TEST(PropExchangeRegistry, ValueEqualToItsDefaultIsDeletedAndReadsBackAsDefault) {
  ScratchKey key(L"Defaults");
  key.Put(L"Options", L"Animation", REG_DWORD, "\x05\0\0\0", 4);
  {
    CXTPPropExchangeRegistry px(FALSE, key.Key(), L"Options");
    int n = 0;
    EXPECT_TRUE(PX_Int(&px, L"Animation", n, 0));
  }
  DWORD type;
  Bytes data;
  EXPECT_FALSE(key.Value(L"Options", L"Animation", &type, &data));
  {
    CXTPPropExchangeRegistry px(TRUE, key.Key(), L"Options");
    int n = 42;
    EXPECT_TRUE(PX_Int(&px, L"Animation", n, 0));
    EXPECT_EQ(n, 0);
    // Without a default, or with defaults switched off, a missing value fails and the
    // variable keeps what it held.
    n = 42;
    EXPECT_FALSE(PX_Int(&px, L"Animation", n));
    EXPECT_EQ(n, 42);
    px.UseDefaultOnLoad(FALSE);
    EXPECT_FALSE(PX_Int(&px, L"Animation", n, 0));
    EXPECT_EQ(n, 42);
  }
  // With defaults not used on saving, the default value is stored like any other.
  {
    CXTPPropExchangeRegistry px(FALSE, key.Key(), L"Options");
    px.UseDefaultOnSave(FALSE);
    int n = 0;
    EXPECT_TRUE(PX_Int(&px, L"Animation", n, 0));
  }
  EXPECT_TRUE(key.Value(L"Options", L"Animation", &type, &data));
  EXPECT_EQ(data, (Bytes{0, 0, 0, 0}));
}

TEST(PropExchangeRegistry, NullParentFailsEveryValueButLoadingFillsDefaults) {
  CXTPPropExchangeRegistry store(FALSE, nullptr, L"Nowhere");
  EXPECT_FALSE(store.IsInitialized());
  int n = 3;
  EXPECT_FALSE(PX_Int(&store, L"A", n, 0));
  EXPECT_TRUE(store.IsInitialized());
  CShape unsaved;
  EXPECT_FALSE(PX_Serialize(&store, L"Data", &unsaved));  // nowhere to keep it: not a success
  BYTE b[2] = {1, 2};
  BYTE* p = b;
  DWORD cb = 2;
  EXPECT_FALSE(store.ExchangeBlob(L"B", &p, &cb));

  CXTPPropExchangeRegistry load(TRUE, nullptr, L"Nowhere");
  CSize sz(1, 1);
  EXPECT_TRUE(PX_Size(&load, L"S", sz, CSize(16, 16)));
  EXPECT_EQ(sz, CSize(16, 16));
  CString s = L"kept";
  EXPECT_FALSE(PX_String(&load, L"T", s));
  EXPECT_STREQ(s.GetString(), L"kept");
  EXPECT_EQ(load.GetArchive(L"Data"), nullptr);
  CShape shape;
  EXPECT_FALSE(PX_Serialize(&load, L"Data", &shape));
}

TEST(PropExchangeRegistry, SizeAndRectangleTextsParseAsNumbersSeparatedByCommas) {
  ScratchKey key(L"Parse");
  struct {
    const wchar_t* text;
    bool parses;
    CSize size;
  } cases[] = {
      {L"16, 16", true, CSize(16, 16)},
      {L"16, 16 and more", true, CSize(16, 16)},
      {L"  -3,7", true, CSize(-3, 7)},
      {L"0x10, 010", true, CSize(16, 8)},
      {L"5", false, CSize()},
      {L"5 ,6", false, CSize()},
      {L"abc", false, CSize()},
      {L"", false, CSize()},
  };
  for (const auto& c : cases) {
    key.Put(L"S", L"Size", REG_SZ, c.text, static_cast<DWORD>((wcslen(c.text) + 1) * 2));
    CXTPPropExchangeRegistry px(TRUE, key.Key(), L"S");
    CSize sz(0, 0);
    EXPECT_TRUE(PX_Size(&px, L"Size", sz, CSize(99, 98))) << c.text;
    EXPECT_EQ(sz, c.parses ? c.size : CSize(99, 98)) << c.text;
  }
  key.Put(L"S", L"Rect", REG_SZ, L"1, 2, 3", 16);
  CXTPPropExchangeRegistry px(TRUE, key.Key(), L"S");
  CRect rc;
  EXPECT_TRUE(PX_Rect(&px, L"Rect", rc, CRect(9, 9, 9, 9)));
  EXPECT_EQ(rc, CRect(9, 9, 9, 9));  // three numbers are not a rectangle
}

TEST(PropExchangeRegistry, SectionsAreSubkeysAndEmptySectionRemovesTheTree) {
  ScratchKey key(L"Sections");
  {
    CXTPPropExchangeRegistry px(FALSE, key.Key(), L"Bars");
    px.SetContext(&key);
    CXTPPropExchangeSection sec(px.GetSection(L"Bar0"));
    EXPECT_TRUE(sec->IsSection());
    EXPECT_FALSE(px.IsSection());
    EXPECT_EQ(sec->GetContext(), &key);
    CString s = L"Standard";
    EXPECT_TRUE(PX_String(sec, L"Name", s, L""));
    CXTPPropExchangeSection deeper(sec->GetSection(L"Controls"));
    int n = 3;
    EXPECT_TRUE(PX_Int(deeper, L"Count", n, 0));
  }
  EXPECT_TRUE(key.HasSubkey(L"Bars\\Bar0\\Controls"));
  {
    CXTPPropExchangeRegistry px(FALSE, key.Key(), L"Bars");
    px.EmptySection();
    EXPECT_TRUE(px.IsEmptied());
    EXPECT_TRUE(px.IsNoDelete());
    EXPECT_FALSE(key.HasSubkey(L"Bars"));
    // Values written after it land in a new key; a default value needs no deleting.
    int n = 1;
    EXPECT_TRUE(PX_Int(&px, L"Version", n, 0));
    int zero = 0;
    EXPECT_TRUE(PX_Int(&px, L"Zero", zero, 0));
  }
  EXPECT_TRUE(key.HasSubkey(L"Bars"));
  EXPECT_FALSE(key.HasSubkey(L"Bars\\Bar0"));
  DWORD type;
  Bytes data;
  EXPECT_TRUE(key.Value(L"Bars", L"Version", &type, &data));
  EXPECT_FALSE(key.Value(L"Bars", L"Zero", &type, &data));
}

TEST(PropExchangeRegistry, EnumeratorSectionsAreNamedPrefixAndIndex) {
  ScratchKey key(L"Enumerator");
  {
    CXTPPropExchangeRegistry px(FALSE, key.Key(), L"IconSet");
    CXTPPropExchangeEnumeratorPtr e(px.GetEnumerator(L"Icon"));
    POSITION pos = e->GetPosition(2, FALSE);
    int width = 16;
    while (pos) {
      CXTPPropExchangeSection sec(e->GetNext(pos));
      PX_Int(sec, L"Width", width, 0);
      width += 8;
    }
  }
  EXPECT_TRUE(key.HasSubkey(L"IconSet\\Icon0"));
  EXPECT_TRUE(key.HasSubkey(L"IconSet\\Icon1"));
  EXPECT_FALSE(key.HasSubkey(L"IconSet\\Icon2"));
  DWORD type;
  Bytes data;
  ASSERT_TRUE(key.Value(L"IconSet", L"Count", &type, &data));
  EXPECT_EQ(data, (Bytes{2, 0, 0, 0}));
  {
    CXTPPropExchangeRegistry px(TRUE, key.Key(), L"IconSet");
    CXTPPropExchangeEnumeratorPtr e(px.GetEnumerator(L"Icon"));
    POSITION pos = e->GetPosition();
    std::vector<int> widths;
    while (pos) {
      CXTPPropExchangeSection sec(e->GetNext(pos));
      int w = 0;
      PX_Int(sec, L"Width", w, 0);
      widths.push_back(w);
    }
    EXPECT_EQ(widths, (std::vector<int>{16, 24}));
  }
  // A count of 0 gives no position and no sections.
  {
    CXTPPropExchangeRegistry px(TRUE, key.Key(), L"Other");
    CXTPPropExchangeEnumeratorPtr e(px.GetEnumerator(L"Icon"));
    EXPECT_EQ(e->GetPosition(), nullptr);
    EXPECT_EQ(e->GetCount(), 0u);
  }
}

TEST(PropExchangeRegistry, ClassesAreNamesAndInstancesAreCreatedByName) {
  ScratchKey key(L"Classes");
  {
    CXTPPropExchangeRegistry px(FALSE, key.Key(), L"Control");
    CSquare square;
    CObject* pObject = &square;
    EXPECT_TRUE(px.ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CShape)));
    CRuntimeClass* pClass = RUNTIME_CLASS(CShape);
    EXPECT_TRUE(PX_RuntimeClass(&px, L"Kind", pClass, RUNTIME_CLASS(CSquare)));
    pClass = RUNTIME_CLASS(CSquare);
    EXPECT_TRUE(PX_RuntimeClass(&px, L"Same", pClass, RUNTIME_CLASS(CSquare)));  // default: not stored
  }
  DWORD type;
  Bytes data;
  ASSERT_TRUE(key.Value(L"Control", L"Class", &type, &data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(data, (Bytes{'C', 0, 'S', 0, 'q', 0, 'u', 0, 'a', 0, 'r', 0, 'e', 0, 0, 0}));
  EXPECT_FALSE(key.Value(L"Control", L"Same", &type, &data));

  CXTPPropExchangeRegistry px(TRUE, key.Key(), L"Control");
  CObject* pObject = nullptr;
  ASSERT_TRUE(px.ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CShape)));
  EXPECT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(CSquare)));
  delete pObject;
  CRuntimeClass* pClass = nullptr;
  EXPECT_TRUE(PX_RuntimeClass(&px, L"Kind", pClass, nullptr));
  EXPECT_EQ(pClass, RUNTIME_CLASS(CShape));
  // Nothing stored: the default class.
  EXPECT_TRUE(PX_RuntimeClass(&px, L"Same", pClass, RUNTIME_CLASS(CSquare)));
  EXPECT_EQ(pClass, RUNTIME_CLASS(CSquare));
  // Names are exact and case-sensitive.
  key.Put(L"Control", L"Lower", REG_SZ, L"csquare", 16);
  pClass = nullptr;
  EXPECT_FALSE(PX_RuntimeClass(&px, L"Lower", pClass, RUNTIME_CLASS(CShape)));
  EXPECT_EQ(pClass, nullptr);
}

TEST(PropExchangeRegistry, NestedArchiveBecomesOneBinaryValue) {
  ScratchKey key(L"Nested");
  {
    CXTPPropExchangeRegistry px(FALSE, key.Key(), L"Options");
    CShape shape;
    shape.m_nSides = 6;
    shape.m_strName = L"Hex";
    EXPECT_TRUE(PX_Serialize(&px, L"UsedCommands", &shape));
    px.Write(L"Raw", "\x07\x08\x09", 3);
  }
  DWORD type;
  Bytes data;
  ASSERT_TRUE(key.Value(L"Options", L"UsedCommands", &type, &data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(data, (Bytes{6, 0, 0, 0, 0xFF, 0xFE, 0xFF, 3, 'H', 0, 'e', 0, 'x', 0}));
  CXTPPropExchangeRegistry px(TRUE, key.Key(), L"Options");
  CShape shape;
  EXPECT_TRUE(PX_Serialize(&px, L"UsedCommands", &shape));
  EXPECT_EQ(shape.m_nSides, 6);
  EXPECT_STREQ(shape.m_strName.GetString(), L"Hex");
  EXPECT_FALSE(PX_Serialize(&px, L"Missing", &shape));
  BYTE raw[8] = {};
  EXPECT_EQ(px.Read(L"Raw", raw, 8), 3u);
  EXPECT_EQ(raw[2], 9);
  EXPECT_EQ(px.Read(L"Raw", raw, 2), 0u);  // too small a buffer
  EXPECT_EQ(px.Read(L"Missing", raw, 8), 0u);
}

// ---------------------------------------------------------------------------------------
// An exchange of named strings in memory: the base class's text form of blobs and its
// count, class and nested-archive forms go through it.
class CStringMapExchange : public CXTPPropExchange {
 public:
  CStringMapExchange(BOOL bLoading, std::map<CString, CString>* pValues) : m_pValues(pValues) {
    m_bLoading = bLoading;
  }
  BOOL ExchangeProp(LPCTSTR pszName, int nType, void* pv, const void* pvDefault) override {
    if (nType == PXVT_INT) {  // counts
      CString s;
      if (IsStoring()) {
        s.Format(L"%d", *static_cast<int*>(pv));
        return ExchangeProp(pszName, PXVT_STRING, &s, nullptr);
      }
      if (!ExchangeProp(pszName, PXVT_STRING, &s, nullptr)) return TakeDefault(nType, pv, pvDefault);
      *static_cast<int*>(pv) = _wtoi(s);
      return TRUE;
    }
    if (nType != PXVT_STRING || !OnBeforeExchange()) return FALSE;
    if (IsStoring()) {
      if (m_bUseDefaultOnSave && IsSamePropValue(nType, pv, pvDefault)) {
        m_pValues->erase(pszName);
        return TRUE;
      }
      (*m_pValues)[pszName] = *static_cast<CString*>(pv);
      return TRUE;
    }
    auto it = m_pValues->find(pszName);
    if (it == m_pValues->end()) return TakeDefault(nType, pv, pvDefault);
    *static_cast<CString*>(pv) = it->second;
    return TRUE;
  }
  CXTPPropExchange* GetSection(LPCTSTR) override { return nullptr; }
  std::map<CString, CString>* m_pValues;
};

TEST(PropExchangeTextForm, BlobBytesBecomeLettersAToP) {
  std::map<CString, CString> values;
  CStringMapExchange store(FALSE, &values);
  EXPECT_FALSE(store.IsAllowBlobValues());
  BYTE two[2] = {0x12, 0xAB};
  BYTE* p = two;
  DWORD cb = 2;
  EXPECT_TRUE(store.ExchangeBlob(L"Blob", &p, &cb));
  EXPECT_STREQ(values[L"Blob"].GetString(), L"CBLK");

  CStringMapExchange load(TRUE, &values);
  BYTE* q = nullptr;
  DWORD cbq = 0;
  ASSERT_TRUE(load.ExchangeBlob(L"Blob", &q, &cbq));
  ASSERT_EQ(cbq, 2u);
  EXPECT_EQ(q[0], 0x12);
  EXPECT_EQ(q[1], 0xAB);
  free(q);

  struct {
    const wchar_t* text;
    bool ok;
  } cases[] = {{L"", true}, {L"ABC", false}, {L"AZ", false}, {L"ab", false}, {L"PP", true}, {L"A\x0100", false}};
  for (const auto& c : cases) {
    values[L"Blob"] = c.text;
    BYTE buf[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    BYTE* pb = buf;
    DWORD n = 4;
    EXPECT_EQ(load.ExchangeBlob(L"Blob", &pb, &n) != FALSE, c.ok) << c.text;
    if (!c.ok) {
      EXPECT_EQ(buf[0], 0xEE);  // nothing written on failure
    }
  }
  values[L"Blob"] = L"PP";
  BYTE one = 0;
  BYTE* pOne = &one;
  DWORD nOne = 1;
  EXPECT_TRUE(load.ExchangeBlob(L"Blob", &pOne, &nOne));
  EXPECT_EQ(one, 0xFF);
  values[L"Blob"] = L"AAAA";
  EXPECT_FALSE(load.ExchangeBlob(L"Blob", &pOne, &nOne));  // two bytes into one
}

TEST(PropExchangeTextForm, CountsClassesAndNestedArchivesGoThroughNamedValues) {
  std::map<CString, CString> values;
  {
    CStringMapExchange px(FALSE, &values);
    px.WriteCount(3);
    CShape shape;
    shape.m_nSides = 1;
    EXPECT_TRUE(PX_Serialize(&px, L"Data", &shape));
    CObject* pObject = &shape;
    EXPECT_TRUE(px.ExchangeObjectInstance(&pObject, nullptr));
  }
  EXPECT_STREQ(values[L"Count"].GetString(), L"3");
  EXPECT_STREQ(values[L"Class"].GetString(), L"CShape");
  EXPECT_STREQ(values[L"Data"].GetString(), L"BAAAAAAAPPOPPPAA");  // 01 00 00 00 FF FE FF 00
  CStringMapExchange px(TRUE, &values);
  EXPECT_EQ(px.ReadCount(), 3u);
  CShape shape;
  EXPECT_TRUE(PX_Serialize(&px, L"Data", &shape));
  EXPECT_EQ(shape.m_nSides, 1);
  CObject* pObject = nullptr;
  ASSERT_TRUE(px.ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CShape)));
  EXPECT_TRUE(pObject->IsKindOf(RUNTIME_CLASS(CShape)));
  delete pObject;
}

}  // namespace
}  // namespace pxtest
