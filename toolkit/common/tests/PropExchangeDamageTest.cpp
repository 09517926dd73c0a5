// Damaged settings: archives cut short at every byte or holding hostile counts, and
// registry values of the wrong type or length. Each gives a plain FALSE, 0 or null, no
// exception, no huge allocation, and leaves the caller's value as it was.
#include <gtest/gtest.h>

#include <new>

#include "XTPPropExchangeBytes.h"
#include "px_test_support.h"

namespace pxtest {
namespace {

// The values of the golden archive, read one after another; how many succeeded and
// whether any changed before succeeding.
struct Reader {
  int nRead = 0;
  bool bPartialChange = false;

  void Run(CXTPPropExchange* px) {
    short s = 7;
    int i = 7;
    BOOL b = 7;
    BYTE by = 7;
    CString str = L"7";
    CRect rc(7, 7, 7, 7);
    CSize sz(7, 7);
    BYTE* p = nullptr;
    DWORD cb = 0;
    short sd = 0;
    BYTE byd = 0;
    if (!px->ExchangeProp(L"", PXVT_SHORT, &s, &sd)) return Check(s == 7);
    ++nRead;
    if (!PX_Int(px, L"", i, 0)) return Check(i == 7);
    ++nRead;
    if (!PX_Bool(px, L"", b, FALSE)) return Check(b == 7);
    ++nRead;
    if (!px->ExchangeProp(L"", PXVT_BYTE, &by, &byd)) return Check(by == 7);
    ++nRead;
    if (!PX_String(px, L"", str, L"")) return Check(str == L"7");
    ++nRead;
    if (!PX_Rect(px, L"", rc, CRect())) return Check(rc == CRect(7, 7, 7, 7));
    ++nRead;
    if (!PX_Size(px, L"", sz, CSize())) return Check(sz == CSize(7, 7));
    ++nRead;
    if (!px->ExchangeBlob(L"", &p, &cb)) return Check(p == nullptr && cb == 0);
    ++nRead;
    free(p);
  }
  void Check(bool unchanged) { bPartialChange |= !unchanged; }
};

// The same sequence through the plain byte readers the host build fuzzes.
int ReadWithByteReaders(const Bytes& bytes) {
  xtp_px::ByteReader r(bytes.data(), bytes.size());
  BYTE v[16];
  std::u16string text;
  std::vector<uint8_t> blob;
  int n = 0;
  for (int type : {PXVT_SHORT, PXVT_INT, PXVT_BOOL, PXVT_BYTE}) {
    if (!xtp_px::ReadArchiveValue(r, type, v)) return n;
    ++n;
  }
  if (!xtp_px::ReadArchiveString(r, &text)) return n;
  ++n;
  for (int type : {PXVT_RECT, PXVT_SIZE}) {
    if (!xtp_px::ReadArchiveValue(r, type, v)) return n;
    ++n;
  }
  return xtp_px::ReadArchiveBlob(r, &blob) ? n + 1 : n;
}

TEST(PropExchangeDamage, ArchiveCutAtEveryByte) {
  // short, int, BOOL, BYTE, "Ab", rectangle, size, blob of 2: where each value ends.
  const Bytes golden = {0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 0xAB, 0xFF, 0xFE,
                        0xFF, 0x02, 0x41, 0x00, 0x62, 0x00, 0x01, 0,    0,    0,    0x02, 0,    0,
                        0,    0x03, 0,    0,    0,    0x04, 0,    0,    0,    0x10, 0,    0,    0,
                        0x10, 0,    0,    0,    0x02, 0x00, 0x12, 0xAB};
  const size_t ends[] = {2, 6, 10, 11, 19, 35, 43, 47};
  ASSERT_EQ(golden.size(), 47u);
  for (size_t n = 0; n <= golden.size(); ++n) {
    Bytes cut(golden.begin(), golden.begin() + static_cast<ptrdiff_t>(n));
    Reader r;
    LoadArchive(cut, [&](CXTPPropExchange* px) { EXPECT_NO_THROW(r.Run(px)); });
    int expected = 0;
    while (expected < 8 && ends[expected] <= n) ++expected;
    EXPECT_EQ(r.nRead, expected) << "cut at " << n;
    EXPECT_EQ(ReadWithByteReaders(cut), expected) << "cut at " << n;
    EXPECT_FALSE(r.bPartialChange) << "cut at " << n;
  }
}

TEST(PropExchangeDamage, HostileCountsAllocateNothingAndFail) {
  struct {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"blob count 0xFFFFFFF0", {0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF, 1, 2, 3}},
      {"blob count 64-bit", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 1, 0, 0, 0, 1}},
      {"blob count past the end", {0x10, 0x00, 1, 2, 3}},
  };
  for (const auto& c : cases) {
    LoadArchive(c.bytes, [&](CXTPPropExchange* px) {
      BYTE* p = nullptr;
      DWORD cb = 0;
      EXPECT_FALSE(px->ExchangeBlob(L"", &p, &cb)) << c.what;
      EXPECT_EQ(p, nullptr) << c.what;
      EXPECT_EQ(cb, 0u) << c.what;
    });
    LoadArchive(c.bytes, [&](CXTPPropExchange* px) { EXPECT_EQ(px->ReadCount(), 0u) << c.what; });
  }
  // A string whose length asks for gigabytes.
  LoadArchive({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0x7F, 'a', 0}, [](CXTPPropExchange* px) {
    CString s = L"kept";
    EXPECT_FALSE(PX_String(px, L"", s));
    EXPECT_STREQ(s.GetString(), L"kept");
  });
  // An enumerator over a hostile count yields nothing.
  LoadArchive({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0, 0}, [](CXTPPropExchange* px) {
    CXTPPropExchangeEnumeratorPtr e(px->GetEnumerator(L"Icon"));
    EXPECT_EQ(e->GetPosition(), nullptr);
  });
}

TEST(PropExchangeDamage, EnumeratorCountsBeyondTheStoreAreCut) {
  // Registry: a "Count" of a million over two stored sections gives the two.
  ScratchKey key(L"HostileCount");
  key.Put(L"Set", L"Count", REG_DWORD, "\x40\x42\x0F\x00", 4);
  key.Put(L"Set\\Icon0", L"Width", REG_DWORD, "\x10\0\0\0", 4);
  key.Put(L"Set\\Icon1", L"Width", REG_DWORD, "\x18\0\0\0", 4);
  {
    CXTPPropExchangeRegistry px(TRUE, key.Key(), L"Set");
    CXTPPropExchangeEnumeratorPtr e(px.GetEnumerator(L"Icon"));
    POSITION pos = e->GetPosition(0, FALSE);
    int n = 0;
    while (pos) {
      CXTPPropExchangeSection sec(e->GetNext(pos));
      ++n;
    }
    EXPECT_EQ(n, 2);
  }
  EXPECT_FALSE(key.HasSubkey(L"Set\\Icon2"));  // no empty sections made on the way
  // Archive: a count as an int of 0x7FFFFFFF over a few bytes ends with the bytes.
  LoadArchive({0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0, 0, 2, 0, 0, 0}, [](CXTPPropExchange* px) {
    CXTPPropExchangeEnumeratorPtr e(px->GetEnumerator(L"Icon"));
    POSITION pos = e->GetPosition(0, FALSE);
    int n = 0, nRead = 0;
    while (pos) {
      CXTPPropExchangeSection sec(e->GetNext(pos));
      int v = 0;
      nRead += PX_Int(sec, L"Id", v) ? 1 : 0;
      ++n;
    }
    EXPECT_LE(n, 8);
    EXPECT_EQ(nRead, 2);
  });
}

TEST(PropExchangeDamage, BlobIntoTooSmallBufferIsPassedOver) {
  Bytes bytes = StoreArchive([](CXTPPropExchange* px) {
    BYTE four[4] = {1, 2, 3, 4};
    BYTE* p = four;
    DWORD cb = 4;
    px->ExchangeBlob(L"", &p, &cb);
    int n = 77;
    PX_Int(px, L"", n);
  });
  LoadArchive(bytes, [](CXTPPropExchange* px) {
    BYTE two[2] = {9, 9};
    BYTE* p = two;
    DWORD cb = 2;
    EXPECT_FALSE(px->ExchangeBlob(L"", &p, &cb));
    EXPECT_EQ(two[0], 9);
    EXPECT_EQ(cb, 2u);
    int n = 0;
    EXPECT_TRUE(PX_Int(px, L"", n));
    EXPECT_EQ(n, 77);  // the value after the blob, read from its own place
  });
}

// Serialize that reads a count and allocates for it, as collections do.
class CGreedy : public CObject {
 public:
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) {
      ar << m_nCount;
      return;
    }
    ULONGLONG n;
    ar >> n;
    std::vector<BYTE> items(static_cast<size_t>(n));  // a vast count fails here
    if (n) ar.Read(items.data(), static_cast<UINT>(std::min<ULONGLONG>(n, 0xFFFFFFFFu)));
  }
  ULONGLONG m_nCount = 0;
};

class CThrowsMemory : public CObject {
 public:
  void Serialize(CArchive&) override { AfxThrowMemoryException(); }
};

TEST(PropExchangeDamage, SerializeFailuresOfAnyKnownKindGiveFalse) {
  Bytes vast = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F};
  LoadArchive(vast, [](CXTPPropExchange* px) {
    CGreedy greedy;
    EXPECT_FALSE(PX_Serialize(px, L"Data", &greedy));
  });
  LoadArchive({1, 2}, [](CXTPPropExchange* px) {  // cut short: archive exception
    CGreedy greedy;
    EXPECT_FALSE(PX_Serialize(px, L"Data", &greedy));
  });
  // A framework map whose stored count is far more than the data holds.
  LoadArchive({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0, 0, 1, 0, 0, 0}, [](CXTPPropExchange* px) {
    CMap<UINT, UINT, DWORD, DWORD> ids;
    EXPECT_FALSE(PX_Serialize(px, L"UsedCommands", &ids));
  });
  LoadArchive({1, 2}, [](CXTPPropExchange* px) {
    CThrowsMemory t;
    EXPECT_FALSE(PX_Serialize(px, L"Data", &t));
  });
  // Through the registry too: the nested archive is released and the key stays usable.
  ScratchKey key(L"SerializeDamage");
  key.Put(L"S", L"Data", REG_BINARY, vast.data(), static_cast<DWORD>(vast.size()));
  CXTPPropExchangeRegistry px(TRUE, key.Key(), L"S");
  CGreedy greedy;
  EXPECT_FALSE(PX_Serialize(&px, L"Data", &greedy));
  int n = 0;
  EXPECT_TRUE(PX_Int(&px, L"Other", n, 5));
  EXPECT_EQ(n, 5);
}

TEST(PropExchangeDamage, ObjectOfTheWrongClassIsNeverCreated) {
  ScratchKey key(L"WrongClass");
  struct {
    const wchar_t* name;
  } cases[] = {{L"CNotAShape"}, {L"CNoSuchClass"}, {L"CCmdTarget"}, {L""}};
  for (const auto& c : cases) {
    key.Put(L"C", L"Class", REG_SZ, c.name, static_cast<DWORD>((wcslen(c.name) + 1) * 2));
    CXTPPropExchangeRegistry px(TRUE, key.Key(), L"C");
    const int nMade = g_nShapesMade;
    CObject* pObject = nullptr;
    EXPECT_FALSE(px.ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CShape))) << c.name;
    EXPECT_EQ(pObject, nullptr);
    EXPECT_EQ(g_nShapesMade, nMade) << c.name;  // nothing created, nothing leaked
  }
  // In an archive: a stored class outside the base creates nothing either.
  Bytes bytes = StoreArchive([](CXTPPropExchange* px) {
    CNotAShape other;
    CObject* p = &other;
    px->ExchangeObjectInstance(&p, nullptr);
  });
  const int nMade = g_nShapesMade;
  LoadArchive(bytes, [](CXTPPropExchange* px) {
    CObject* p = nullptr;
    EXPECT_FALSE(px->ExchangeObjectInstance(&p, RUNTIME_CLASS(CShape)));
    EXPECT_EQ(p, nullptr);
  });
  EXPECT_EQ(g_nShapesMade, nMade);
  // A damaged class record: a name longer than any class, or an object tag where a class
  // belongs.
  for (const Bytes& b : {Bytes{0xFF, 0xFF, 1, 0, 200, 0, 'C'}, Bytes{0x05, 0x00}, Bytes{0xFF}}) {
    LoadArchive(b, [](CXTPPropExchange* px) {
      CObject* p = nullptr;
      EXPECT_FALSE(px->ExchangeObjectInstance(&p, RUNTIME_CLASS(CShape)));
      CRuntimeClass* pClass = nullptr;
      EXPECT_FALSE(PX_RuntimeClass(px, L"Class", pClass, nullptr));
    });
  }
}

TEST(PropExchangeDamage, RegistryValuesOfTheWrongTypeOrLength) {
  ScratchKey key(L"WrongType");
  const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  key.Put(L"V", L"IntAsText", REG_SZ, L"12", 6);
  key.Put(L"V", L"IntTooLong", REG_BINARY, eight, 8);
  key.Put(L"V", L"IntShortBinary", REG_BINARY, "\x34\x12", 2);
  key.Put(L"V", L"IntShortDword", REG_DWORD, "\x05", 1);
  key.Put(L"V", L"TextAsDword", REG_DWORD, "\x41\0\0\0", 4);
  key.Put(L"V", L"TextOdd", REG_SZ, "A\0B", 3);
  key.Put(L"V", L"TextNoZero", REG_SZ, "A\0B\0", 4);
  key.Put(L"V", L"TextEmbeddedZero", REG_SZ, "A\0\0\0B\0\0\0", 8);
  key.Put(L"V", L"TextExpand", REG_EXPAND_SZ, "x\0\0\0", 4);
  key.Put(L"V", L"SizeAsBinary", REG_BINARY, "1\0,\0 \0002\0\0\0", 10);
  key.Put(L"V", L"SizeNoZero", REG_SZ, "1\0,\0002\0", 6);
  key.Put(L"V", L"BlobAsText", REG_SZ, "A\0\0\0", 4);
  key.Put(L"V", L"Empty", REG_BINARY, "", 0);

  CXTPPropExchangeRegistry px(TRUE, key.Key(), L"V");
  struct IntCase {
    const wchar_t* name;
    bool read;
    int value;
  } ints[] = {{L"IntAsText", false, 0},       {L"IntTooLong", false, 0}, {L"IntShortBinary", true, 0x1234},
              {L"IntShortDword", true, 5},    {L"Empty", true, 0}};
  for (const auto& c : ints) {
    int n = -1;
    EXPECT_TRUE(PX_Int(&px, c.name, n, 99)) << c.name;
    EXPECT_EQ(n, c.read ? c.value : 99) << c.name;
    int m = -1;
    EXPECT_EQ(PX_Int(&px, c.name, m) != FALSE, c.read) << c.name;
    EXPECT_EQ(m, c.read ? c.value : -1) << c.name;
  }
  // A short read into a 2-byte value takes only the low bytes; nothing spills over.
  struct {
    short s;
    short guard;
  } shorts = {0, 0x5A5A};
  short sDefault = 0;
  EXPECT_TRUE(px.ExchangeProp(L"IntTooLong", PXVT_SHORT, &shorts.s, &sDefault));
  EXPECT_TRUE(px.ExchangeProp(L"IntShortBinary", PXVT_SHORT, &shorts.s, &sDefault));
  EXPECT_EQ(shorts.s, 0x1234);
  EXPECT_EQ(shorts.guard, 0x5A5A);

  struct TextCase {
    const wchar_t* name;
    const wchar_t* value;
  } texts[] = {{L"TextAsDword", L"default"}, {L"TextOdd", L"A"},   {L"TextNoZero", L"AB"},
               {L"TextEmbeddedZero", L"A"},  {L"TextExpand", L"x"}, {L"Missing", L"default"}};
  for (const auto& c : texts) {
    CString s;
    EXPECT_TRUE(PX_String(&px, c.name, s, L"default")) << c.name;
    EXPECT_STREQ(s.GetString(), c.value) << c.name;
  }
  CSize sz(0, 0);
  EXPECT_TRUE(PX_Size(&px, L"SizeAsBinary", sz, CSize(3, 3)));
  EXPECT_EQ(sz, CSize(3, 3));
  EXPECT_TRUE(PX_Size(&px, L"SizeNoZero", sz, CSize(3, 3)));
  EXPECT_EQ(sz, CSize(1, 2));

  BYTE* p = nullptr;
  DWORD cb = 0;
  EXPECT_FALSE(px.ExchangeBlob(L"BlobAsText", &p, &cb));
  EXPECT_EQ(p, nullptr);
  EXPECT_FALSE(px.ExchangeBlob(L"Missing", &p, &cb));
  BYTE small[4] = {9, 9, 9, 9};
  p = small;
  cb = 4;
  EXPECT_FALSE(px.ExchangeBlob(L"IntTooLong", &p, &cb));  // 8 bytes stored
  EXPECT_EQ(small[0], 9);
  EXPECT_EQ(cb, 4u);
  p = nullptr;
  cb = 0;
  EXPECT_TRUE(px.ExchangeBlob(L"Empty", &p, &cb));
  EXPECT_EQ(cb, 0u);
  EXPECT_EQ(px.GetArchive(L"Empty"), nullptr);  // nothing to read
}

}  // namespace
}  // namespace pxtest
