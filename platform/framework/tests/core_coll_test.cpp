// Arrays, lists and maps: growth, insertion, removal, iteration and lookups.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "framework.h"

namespace {

template <class TArray>
std::vector<int> Values(const TArray& a) {
  std::vector<int> v;
  for (INT_PTR i = 0; i < a.GetSize(); i++) v.push_back(static_cast<int>(a[i]));
  return v;
}

template <class TList>
std::vector<CString> Forward(const TList& list) {
  std::vector<CString> v;
  for (POSITION pos = list.GetHeadPosition(); pos != NULL;) v.push_back(list.GetNext(pos));
  return v;
}

template <class TList>
std::vector<CString> Backward(const TList& list) {
  std::vector<CString> v;
  for (POSITION pos = list.GetTailPosition(); pos != NULL;) v.push_back(list.GetPrev(pos));
  return v;
}

// Counts live instances, to prove arrays construct and destroy their elements.
struct Tracked {
  static int s_nLive;
  int n = 0;
  Tracked() { s_nLive++; }
  Tracked(const Tracked& o) : n(o.n) { s_nLive++; }
  Tracked& operator=(const Tracked&) = default;
  ~Tracked() { s_nLive--; }
};
int Tracked::s_nLive = 0;

template <class F>
bool ThrowsFrameworkException(F f) {
  try {
    f();
  } catch (CException* e) {
    e->Delete();
    return true;
  }
  return false;
}

}  // namespace

TEST(CArrayTest, AddInsertRemoveKeepOrder) {
  CDWordArray a;
  EXPECT_EQ(a.GetSize(), 0);
  EXPECT_EQ(a.GetUpperBound(), -1);
  for (DWORD i = 0; i < 5; i++) EXPECT_EQ(a.Add(i * 10), static_cast<INT_PTR>(i));
  EXPECT_EQ(Values(a), (std::vector<int>{0, 10, 20, 30, 40}));
  a.InsertAt(2, 99, 2);
  EXPECT_EQ(Values(a), (std::vector<int>{0, 10, 99, 99, 20, 30, 40}));
  a.InsertAt(9, 7);  // past the end: the gap is zero-filled
  EXPECT_EQ(Values(a), (std::vector<int>{0, 10, 99, 99, 20, 30, 40, 0, 0, 7}));
  a.RemoveAt(1, 3);
  EXPECT_EQ(Values(a), (std::vector<int>{0, 20, 30, 40, 0, 0, 7}));
  a.RemoveAt(a.GetUpperBound());
  EXPECT_EQ(a.GetCount(), 6);
  a.SetAtGrow(8, 5);
  EXPECT_EQ(Values(a), (std::vector<int>{0, 20, 30, 40, 0, 0, 0, 0, 5}));
  a.ElementAt(0) = 1;
  a[1] = 2;
  a.SetAt(2, 3);
  EXPECT_EQ(a.GetData()[2], 3u);
  EXPECT_EQ(a.GetAt(0), 1u);

  CDWordArray b;
  b.Add(100);
  EXPECT_EQ(b.Append(a), 1);
  EXPECT_EQ(b.GetSize(), 10);
  EXPECT_EQ(b[1], 1u);
  CDWordArray c;
  c.Add(5);
  c.Copy(b);
  EXPECT_EQ(Values(c), Values(b));
  a.InsertAt(0, &c);
  EXPECT_EQ(a.GetSize(), 19);
  EXPECT_EQ(a[0], 100u);
  a.RemoveAll();
  EXPECT_EQ(a.GetSize(), 0);
}

TEST(CArrayTest, BadIndicesThrowInsteadOfCorrupting) {
  CUIntArray a;
  a.SetSize(3);
  EXPECT_TRUE(ThrowsFrameworkException([&] { a.GetAt(3); }));
  EXPECT_TRUE(ThrowsFrameworkException([&] { a[-1] = 1; }));
  EXPECT_TRUE(ThrowsFrameworkException([&] { a.RemoveAt(2, 2); }));
  EXPECT_TRUE(ThrowsFrameworkException([&] { a.SetSize(-1); }));
  EXPECT_TRUE(ThrowsFrameworkException([&] { a.InsertAt(-1, 0u); }));
  EXPECT_EQ(a.GetSize(), 3);
}

TEST(CArrayTest, SetSizeGrowsByStepAndManagesElements) {
  {
    CArray<Tracked, const Tracked&> a;
    a.SetSize(10, 32);
    EXPECT_EQ(Tracked::s_nLive, 10);
    a.SetSize(4);
    EXPECT_EQ(Tracked::s_nLive, 4);
    Tracked t;
    t.n = 5;
    a.Add(t);
    a.InsertAt(0, a[4]);  // an element of the array itself
    EXPECT_EQ(a[0].n, 5);
    EXPECT_EQ(a[5].n, 5);
    a.RemoveAt(0, 3);
    EXPECT_EQ(Tracked::s_nLive, 3 + 1);
    CArray<Tracked, const Tracked&> copy(a);
    EXPECT_EQ(copy.GetSize(), 3);
    EXPECT_EQ(copy[2].n, 5);
  }
  EXPECT_EQ(Tracked::s_nLive, 0);

  CByteArray bytes;
  bytes.SetSize(0, 100);
  for (int i = 0; i < 1000; i++) bytes.Add(static_cast<BYTE>(i));
  EXPECT_EQ(bytes.GetSize(), 1000);
  EXPECT_EQ(bytes[999], static_cast<BYTE>(999 & 0xFF));
  bytes.FreeExtra();
  EXPECT_EQ(bytes[500], static_cast<BYTE>(500 & 0xFF));
}

TEST(CArrayTest, StringArrayHoldsCopies) {
  CStringArray a;
  CString s(L"one");
  a.Add(s);
  s = L"changed";
  a.Add(L"two");
  a.SetAtGrow(3, L"four");
  a.InsertAt(0, L"zero");
  ASSERT_EQ(a.GetSize(), 5);
  EXPECT_EQ(a[0], L"zero");
  EXPECT_EQ(a[1], L"one");
  EXPECT_EQ(a[3], L"");
  EXPECT_EQ(a[4], L"four");
  a.RemoveAt(0);
  a.ElementAt(2) = L"three";
  EXPECT_EQ(a.GetAt(2), L"three");
  CStringArray b;
  b.Copy(a);
  a.RemoveAll();
  EXPECT_EQ(b.GetSize(), 4);
  EXPECT_EQ(b[3], L"four");
}

TEST(CListTest, PositionsWalkBothWays) {
  CStringList list;
  list.AddTail(L"b");
  list.AddTail(L"c");
  list.AddHead(L"a");
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.GetHead(), L"a");
  EXPECT_EQ(list.GetTail(), L"c");
  EXPECT_EQ(Forward(list), (std::vector<CString>{L"a", L"b", L"c"}));
  EXPECT_EQ(Backward(list), (std::vector<CString>{L"c", L"b", L"a"}));

  POSITION posB = list.Find(L"b");
  ASSERT_NE(posB, nullptr);
  list.InsertBefore(posB, L"a2");
  list.InsertAfter(posB, L"b2");
  EXPECT_EQ(Forward(list), (std::vector<CString>{L"a", L"a2", L"b", L"b2", L"c"}));
  EXPECT_EQ(list.FindIndex(3), list.Find(L"b2"));
  EXPECT_EQ(list.FindIndex(5), nullptr);
  EXPECT_EQ(list.FindIndex(-1), nullptr);
  EXPECT_EQ(list.Find(L"zz"), nullptr);
  list.SetAt(posB, L"B");
  EXPECT_EQ(list.GetAt(posB), L"B");
  list.RemoveAt(posB);
  EXPECT_EQ(Backward(list), (std::vector<CString>{L"c", L"b2", L"a2", L"a"}));

  EXPECT_EQ(list.RemoveHead(), L"a");
  EXPECT_EQ(list.RemoveTail(), L"c");
  EXPECT_EQ(Forward(list), (std::vector<CString>{L"a2", L"b2"}));
  list.AddTail(&list);  // appending a list to itself doubles it once
  EXPECT_EQ(Forward(list), (std::vector<CString>{L"a2", L"b2", L"a2", L"b2"}));
  EXPECT_EQ(list.Find(L"a2", list.GetHeadPosition()), list.FindIndex(2));
  list.RemoveAll();
  EXPECT_TRUE(list.IsEmpty());
  EXPECT_EQ(list.GetHeadPosition(), nullptr);
  EXPECT_TRUE(ThrowsFrameworkException([&] { list.RemoveHead(); }));
}

TEST(CListTest, PointerListsAndInsertionAtEnds) {
  int a = 1, b = 2, c = 3;
  CPtrList list;
  list.InsertBefore(NULL, &b);  // NULL position: at the head
  list.InsertAfter(NULL, &c);   // NULL position: at the tail
  list.AddHead(&a);
  std::vector<int> seen;
  for (POSITION pos = list.GetHeadPosition(); pos;)
    seen.push_back(*static_cast<int*>(list.GetNext(pos)));
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(list.Find(&c), list.GetTailPosition());
}

TEST(CMapTest, StringToStringLookupSetRemoveIterate) {
  CMapStringToString map;
  map.SetAt(L"name", L"Ada");
  map[L"city"] = L"London";
  map[L"name"] = L"Grace";  // replaces
  EXPECT_EQ(map.GetCount(), 2);
  CString value;
  EXPECT_TRUE(map.Lookup(L"name", value));
  EXPECT_EQ(value, L"Grace");
  EXPECT_FALSE(map.Lookup(L"NAME", value));  // keys are case-sensitive
  EXPECT_FALSE(map.Lookup(L"zip", value));
  EXPECT_EQ(value, L"Grace");  // untouched on a miss

  std::map<std::wstring, std::wstring> seen;
  for (POSITION pos = map.GetStartPosition(); pos != NULL;) {
    CString k, v;
    map.GetNextAssoc(pos, k, v);
    seen[k.GetString()] = v.GetString();
  }
  EXPECT_EQ(seen,
            (std::map<std::wstring, std::wstring>{{L"name", L"Grace"}, {L"city", L"London"}}));

  EXPECT_TRUE(map.RemoveKey(L"name"));
  EXPECT_FALSE(map.RemoveKey(L"name"));
  EXPECT_EQ(map.GetCount(), 1);
  map.RemoveAll();
  EXPECT_EQ(map.GetStartPosition(), nullptr);
}

TEST(CMapTest, ManyKeysAcrossBucketsAndPointerMaps) {
  CMapStringToPtr map;
  map.InitHashTable(101);
  EXPECT_EQ(map.GetHashTableSize(), 101u);
  std::vector<int> slots(2000);
  for (int i = 0; i < 2000; i++) {
    CString key;
    key.Format(L"key%d", i);
    map[key] = &slots[i];
  }
  EXPECT_EQ(map.GetCount(), 2000);
  int nVisited = 0;
  for (POSITION pos = map.GetStartPosition(); pos != NULL; nVisited++) {
    CString k;
    void* p;
    map.GetNextAssoc(pos, k, p);
    EXPECT_EQ(p, &slots[_wtoi(k.Mid(3))]);
  }
  EXPECT_EQ(nVisited, 2000);
  for (int i = 0; i < 2000; i += 2) {
    CString key;
    key.Format(L"key%d", i);
    EXPECT_TRUE(map.RemoveKey(key));
  }
  void* p = nullptr;
  EXPECT_TRUE(map.Lookup(L"key1999", p));
  EXPECT_EQ(p, &slots[1999]);
  EXPECT_FALSE(map.Lookup(L"key1998", p));
  EXPECT_EQ(map.GetCount(), 1000);
  EXPECT_TRUE(ThrowsFrameworkException([&] { map.InitHashTable(17); }));  // not when filled

  CMapPtrToPtr pp;
  CMapWordToPtr wp;
  CMapPtrToWord pw;
  for (int i = 0; i < 50; i++) {
    pp[&slots[i]] = &slots[i + 1];
    wp[static_cast<WORD>(i)] = &slots[i];
    pw[&slots[i]] = static_cast<WORD>(i * 3);
  }
  void* pv = nullptr;
  WORD w = 0;
  EXPECT_TRUE(pp.Lookup(&slots[7], pv));
  EXPECT_EQ(pv, &slots[8]);
  EXPECT_TRUE(wp.Lookup(49, pv));
  EXPECT_EQ(pv, &slots[49]);
  EXPECT_TRUE(pw.Lookup(&slots[20], w));
  EXPECT_EQ(w, 60);
  EXPECT_FALSE(pw.Lookup(&slots[60], w));
}

TEST(CMapTest, TemplateMapWithValueKeys) {
  CMap<int, int, CString, LPCWSTR> map;
  map[3] = L"three";
  map.SetAt(-1, L"minus one");
  CString s;
  EXPECT_TRUE(map.Lookup(-1, s));
  EXPECT_EQ(s, L"minus one");
  auto* pPair = map.PLookup(3);
  ASSERT_NE(pPair, nullptr);
  EXPECT_EQ(pPair->key, 3);
  EXPECT_EQ(pPair->value, L"three");
  EXPECT_EQ(map.PLookup(4), nullptr);

  // String keys hash by their text whichever way the key argument is passed.
  CMap<CString, const CString&, int, int> byRef;
  CMap<CString, CString, int, int> byValue;
  for (int i = 0; i < 100; i++) {
    CString key;
    key.Format(L"k%d", i);
    byRef[key] = i;
    byValue[key] = i;
  }
  int n = 0;
  EXPECT_TRUE(byRef.Lookup(CString(L"k42"), n));
  EXPECT_EQ(n, 42);
  EXPECT_TRUE(byValue.Lookup(CString(L"k7"), n));
  EXPECT_EQ(n, 7);
  EXPECT_FALSE(byValue.Lookup(CString(L"k100"), n));
  EXPECT_EQ(HashKey<const CString&>(CString(L"abc")), HashKey<LPCWSTR>(L"abc"));
}

TEST(CMapTest, HashKeyShiftGroupsRunsOfKeysAndSetsIterationOrder) {
  // With a shift of 4 over 17 buckets, keys 16..31 share bucket 1, 32..47 bucket 2, and
  // 0..15 bucket 0; a bucket lists its newest key first.
  CMap<UINT, UINT, int, int> map;
  map.SetHashKeyShift(4);
  EXPECT_EQ(map.GetHashKeyShift(), 4u);
  const UINT keys[] = {32, 16, 24, 0, 20, 15, 17 * 16};
  for (UINT k : keys) map[k] = static_cast<int>(k) * 10;
  std::vector<UINT> order;
  for (POSITION pos = map.GetStartPosition(); pos != NULL;) {
    UINT key;
    int value;
    map.GetNextAssoc(pos, key, value);
    EXPECT_EQ(value, static_cast<int>(key) * 10);
    order.push_back(key);
  }
  // Bucket 0: 272 (17 * 16 wraps to 0), 15, 0; bucket 1: 20, 24, 16; bucket 2: 32.
  EXPECT_EQ(order, (std::vector<UINT>{272, 15, 0, 20, 24, 16, 32}));
  EXPECT_TRUE(map.RemoveKey(24));
  EXPECT_FALSE(map.RemoveKey(25));
  int v = 0;
  EXPECT_TRUE(map.Lookup(16, v));
  EXPECT_EQ(v, 160);
  EXPECT_FALSE(map.Lookup(24, v));
  // The shift is fixed once the map holds entries.
  EXPECT_TRUE(ThrowsFrameworkException([&] { map.SetHashKeyShift(0); }));
}
