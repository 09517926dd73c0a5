// Collections: growable arrays (CArray), doubly linked lists (CList) and hash maps (CMap),
// plus the typed classes the framework names (CStringArray, CObList, CMapStringToPtr ...).
//
// Iteration over lists and maps goes through opaque POSITION values; NULL ends the walk.
// Elements are constructed, copied and destroyed as C++ values, so any copyable type works.
#pragma once

#include <windows.h>

#include <algorithm>
#include <new>
#include <type_traits>
#include <utility>

#include "fw_archive.h"
#include "fw_except.h"
#include "fw_object.h"
#include "fw_string.h"

struct __POSITION {};
typedef __POSITION* POSITION;
#define BEFORE_START_POSITION ((POSITION)-1L)

// ---------------------------------------------------------------------------------------
// Element helpers a program may specialize for its own element types.
template <class TYPE, class ARG_TYPE>
BOOL AFXAPI CompareElements(const TYPE* pElement1, const ARG_TYPE* pElement2) {
  return *pElement1 == *pElement2;
}

// Whether CArchive has operators for TYPE (own ones or ones a program declares).
template <class TYPE, class = void>
struct FwHasArchiveOperators : std::false_type {};
template <class TYPE>
struct FwHasArchiveOperators<
    TYPE, std::void_t<decltype(std::declval<CArchive&>() << std::declval<const TYPE&>()),
                      decltype(std::declval<CArchive&>() >> std::declval<TYPE&>())>>
    : std::true_type {};

// Raw bytes for plain data, the archive's operators for other types that have them; any
// other element type cannot be serialized (and says so when someone tries).
template <class TYPE>
void AFXAPI SerializeElements(CArchive& ar, TYPE* pElements, INT_PTR nCount) {
  if constexpr (std::is_pointer<TYPE>::value) {
    // Only object pointers have an archive form; other pointers are meaningless on disk.
    if constexpr (std::is_convertible<TYPE, const CObject*>::value) {
      for (INT_PTR i = 0; i < nCount; i++) {
        if (ar.IsStoring()) {
          ar << static_cast<const CObject*>(pElements[i]);
        } else {
          CObject* pOb = nullptr;
          ar >> pOb;
          pElements[i] = static_cast<TYPE>(pOb);
        }
      }
    } else {
      AfxThrowNotSupportedException();
    }
  } else if constexpr (std::is_trivially_copyable<TYPE>::value) {
    const UINT_PTR nBytes = static_cast<UINT_PTR>(nCount) * sizeof(TYPE);
    if (ar.IsStoring())
      ar.Write(pElements, static_cast<UINT>(nBytes));
    else if (ar.Read(pElements, static_cast<UINT>(nBytes)) != nBytes)
      AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
  } else if constexpr (FwHasArchiveOperators<TYPE>::value) {
    for (INT_PTR i = 0; i < nCount; i++) {
      if (ar.IsStoring())
        ar << pElements[i];
      else
        ar >> pElements[i];
    }
  } else {
    (void)ar;
    (void)pElements;
    if (nCount > 0) AfxThrowNotSupportedException();
  }
}

// Hash of a key for CMap. Integers hash by value, pointers by address (without the
// alignment bits), strings by their text.
template <class ARG_KEY>
UINT AFXAPI HashKey(ARG_KEY key) {
  if constexpr (std::is_pointer<ARG_KEY>::value)
    return static_cast<UINT>(reinterpret_cast<ULONG_PTR>(key) >> 4);
  else
    return static_cast<UINT>(key);
}
template <>
UINT AFXAPI HashKey<LPCWSTR>(LPCWSTR key);
template <>
UINT AFXAPI HashKey<const CString&>(const CString& key);
template <>
UINT AFXAPI HashKey<CString>(CString key);

// ---------------------------------------------------------------------------------------
template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray : public CObject {
 public:
  CArray() = default;
  CArray(const CArray& src) : CObject() { Copy(src); }
  CArray& operator=(const CArray& src) {
    if (this != &src) Copy(src);
    return *this;
  }
  ~CArray() override { Release(); }

  INT_PTR GetSize() const { return m_nSize; }
  INT_PTR GetCount() const { return m_nSize; }
  BOOL IsEmpty() const { return m_nSize == 0; }
  INT_PTR GetUpperBound() const { return m_nSize - 1; }

  // nGrowBy -1 keeps the current growth step; 0 picks one from the size.
  void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1);
  void FreeExtra() { Reallocate(m_nSize); }
  void RemoveAll() { SetSize(0, -1); }

  const TYPE& GetAt(INT_PTR nIndex) const { return m_pData[CheckIndex(nIndex)]; }
  TYPE& GetAt(INT_PTR nIndex) { return m_pData[CheckIndex(nIndex)]; }
  void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { m_pData[CheckIndex(nIndex)] = newElement; }
  const TYPE& ElementAt(INT_PTR nIndex) const { return GetAt(nIndex); }
  TYPE& ElementAt(INT_PTR nIndex) { return GetAt(nIndex); }
  const TYPE* GetData() const { return m_pData; }
  TYPE* GetData() { return m_pData; }
  const TYPE& operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
  TYPE& operator[](INT_PTR nIndex) { return GetAt(nIndex); }

  void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement);
  INT_PTR Add(ARG_TYPE newElement);
  INT_PTR Append(const CArray& src);
  void Copy(const CArray& src);
  void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1);
  void InsertAt(INT_PTR nStartIndex, const CArray* pNewArray);
  void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1);

  void Serialize(CArchive& ar) override;

 protected:
  INT_PTR CheckIndex(INT_PTR nIndex) const {
    if (nIndex < 0 || nIndex >= m_nSize) AfxThrowInvalidArgException();
    return nIndex;
  }
  void Reallocate(INT_PTR nNewMax);
  void Release();

  TYPE* m_pData = nullptr;
  INT_PTR m_nSize = 0;
  INT_PTR m_nMaxSize = 0;
  INT_PTR m_nGrowBy = 0;
};

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Reallocate(INT_PTR nNewMax) {
  if (nNewMax == m_nMaxSize) return;
  if (nNewMax < m_nSize || nNewMax > (INT_PTR)(0x7FFFFFFF / sizeof(TYPE)))
    AfxThrowInvalidArgException();
  TYPE* pNew = nullptr;
  if (nNewMax > 0) {
    pNew = static_cast<TYPE*>(::operator new(nNewMax * sizeof(TYPE), std::nothrow));
    if (pNew == nullptr) AfxThrowMemoryException();
  }
  for (INT_PTR i = 0; i < m_nSize; i++) {
    ::new (static_cast<void*>(pNew + i)) TYPE(std::move(m_pData[i]));
    m_pData[i].~TYPE();
  }
  ::operator delete(m_pData);
  m_pData = pNew;
  m_nMaxSize = nNewMax;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Release() {
  for (INT_PTR i = 0; i < m_nSize; i++) m_pData[i].~TYPE();
  ::operator delete(m_pData);
  m_pData = nullptr;
  m_nSize = m_nMaxSize = 0;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::SetSize(INT_PTR nNewSize, INT_PTR nGrowBy) {
  if (nNewSize < 0) AfxThrowInvalidArgException();
  if (nGrowBy >= 0) m_nGrowBy = nGrowBy;
  if (nNewSize == 0) {
    Release();
    return;
  }
  if (nNewSize > m_nMaxSize) {
    // Grow by the step, or by about an eighth of the size (4..1024) when no step is set.
    INT_PTR nStep = m_nGrowBy;
    if (nStep == 0) nStep = std::min<INT_PTR>(1024, std::max<INT_PTR>(4, m_nSize / 8));
    Reallocate(std::max(nNewSize, m_nMaxSize + nStep));
  }
  for (INT_PTR i = m_nSize; i < nNewSize; i++) ::new (static_cast<void*>(m_pData + i)) TYPE();
  for (INT_PTR i = nNewSize; i < m_nSize; i++) m_pData[i].~TYPE();
  m_nSize = nNewSize;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement) {
  if (nIndex < 0) AfxThrowInvalidArgException();
  if (nIndex >= m_nSize) {
    TYPE copy(newElement);  // newElement may live inside this array
    SetSize(nIndex + 1, -1);
    m_pData[nIndex] = std::move(copy);
  } else {
    m_pData[nIndex] = newElement;
  }
}

template <class TYPE, class ARG_TYPE>
INT_PTR CArray<TYPE, ARG_TYPE>::Add(ARG_TYPE newElement) {
  INT_PTR nIndex = m_nSize;
  SetAtGrow(nIndex, newElement);
  return nIndex;
}

template <class TYPE, class ARG_TYPE>
INT_PTR CArray<TYPE, ARG_TYPE>::Append(const CArray& src) {
  if (this == &src) AfxThrowInvalidArgException();
  INT_PTR nOldSize = m_nSize;
  SetSize(m_nSize + src.m_nSize);
  for (INT_PTR i = 0; i < src.m_nSize; i++) m_pData[nOldSize + i] = src.m_pData[i];
  return nOldSize;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Copy(const CArray& src) {
  if (this == &src) return;
  SetSize(src.m_nSize);
  for (INT_PTR i = 0; i < src.m_nSize; i++) m_pData[i] = src.m_pData[i];
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount) {
  if (nIndex < 0 || nCount <= 0) AfxThrowInvalidArgException();
  TYPE copy(newElement);  // newElement may live inside this array
  INT_PTR nOldSize = m_nSize;
  if (nIndex >= m_nSize) {
    SetSize(nIndex + nCount, -1);  // inserting past the end grows the array
  } else {
    SetSize(m_nSize + nCount, -1);
    for (INT_PTR i = nOldSize - 1; i >= nIndex; i--) m_pData[i + nCount] = std::move(m_pData[i]);
  }
  for (INT_PTR i = 0; i < nCount; i++) m_pData[nIndex + i] = copy;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::InsertAt(INT_PTR nStartIndex, const CArray* pNewArray) {
  if (pNewArray == nullptr || nStartIndex < 0) AfxThrowInvalidArgException();
  if (pNewArray->GetSize() == 0) return;
  CArray copy(*pNewArray);  // pNewArray may be this array
  InsertAt(nStartIndex, copy.GetAt(0), copy.GetSize());
  for (INT_PTR i = 1; i < copy.GetSize(); i++) m_pData[nStartIndex + i] = copy.m_pData[i];
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::RemoveAt(INT_PTR nIndex, INT_PTR nCount) {
  if (nIndex < 0 || nCount < 0 || nIndex + nCount > m_nSize) AfxThrowInvalidArgException();
  for (INT_PTR i = nIndex + nCount; i < m_nSize; i++) m_pData[i - nCount] = std::move(m_pData[i]);
  for (INT_PTR i = m_nSize - nCount; i < m_nSize; i++) m_pData[i].~TYPE();
  m_nSize -= nCount;
}

template <class TYPE, class ARG_TYPE>
void CArray<TYPE, ARG_TYPE>::Serialize(CArchive& ar) {
  CObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteCount(m_nSize);
    SerializeElements<TYPE>(ar, m_pData, m_nSize);
    return;
  }
  // Loading grows the array batch by batch, so that a corrupt count runs into the end of
  // the data instead of allocating memory for elements that are not there.
  const DWORD_PTR nCount = ar.ReadCount();
  if (nCount > static_cast<DWORD_PTR>(0x7FFFFFFF / sizeof(TYPE)))
    AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
  RemoveAll();
  const INT_PTR nBatch = 4096;
  for (INT_PTR nDone = 0; nDone < static_cast<INT_PTR>(nCount);) {
    INT_PTR n = std::min<INT_PTR>(nBatch, static_cast<INT_PTR>(nCount) - nDone);
    SetSize(nDone + n, -1);
    SerializeElements<TYPE>(ar, m_pData + nDone, n);
    nDone += n;
  }
}

// ---------------------------------------------------------------------------------------
template <class TYPE, class ARG_TYPE = const TYPE&>
class CList : public CObject {
 protected:
  struct CNode {
    CNode* pNext;
    CNode* pPrev;
    TYPE data;
  };

 public:
  explicit CList(INT_PTR nBlockSize = 10) { (void)nBlockSize; }
  CList(const CList& src) : CObject() { AddTail(&src); }
  CList& operator=(const CList& src) {
    if (this != &src) {
      RemoveAll();
      AddTail(&src);
    }
    return *this;
  }
  ~CList() override { RemoveAll(); }

  INT_PTR GetCount() const { return m_nCount; }
  INT_PTR GetSize() const { return m_nCount; }
  BOOL IsEmpty() const { return m_nCount == 0; }

  TYPE& GetHead() { return Node(m_pNodeHead)->data; }
  const TYPE& GetHead() const { return Node(m_pNodeHead)->data; }
  TYPE& GetTail() { return Node(m_pNodeTail)->data; }
  const TYPE& GetTail() const { return Node(m_pNodeTail)->data; }

  TYPE RemoveHead();
  TYPE RemoveTail();
  POSITION AddHead(ARG_TYPE newElement) { return InsertNode(nullptr, m_pNodeHead, newElement); }
  POSITION AddTail(ARG_TYPE newElement) { return InsertNode(m_pNodeTail, nullptr, newElement); }
  void AddHead(const CList* pNewList);
  void AddTail(const CList* pNewList);
  void RemoveAll();

  POSITION GetHeadPosition() const { return reinterpret_cast<POSITION>(m_pNodeHead); }
  POSITION GetTailPosition() const { return reinterpret_cast<POSITION>(m_pNodeTail); }
  TYPE& GetNext(POSITION& rPosition) {
    CNode* p = Node(rPosition);
    rPosition = Pos(p->pNext);
    return p->data;
  }
  const TYPE& GetNext(POSITION& rPosition) const {
    CNode* p = Node(rPosition);
    rPosition = Pos(p->pNext);
    return p->data;
  }
  TYPE& GetPrev(POSITION& rPosition) {
    CNode* p = Node(rPosition);
    rPosition = Pos(p->pPrev);
    return p->data;
  }
  const TYPE& GetPrev(POSITION& rPosition) const {
    CNode* p = Node(rPosition);
    rPosition = Pos(p->pPrev);
    return p->data;
  }

  TYPE& GetAt(POSITION position) { return Node(position)->data; }
  const TYPE& GetAt(POSITION position) const { return Node(position)->data; }
  void SetAt(POSITION pos, ARG_TYPE newElement) { Node(pos)->data = newElement; }
  void RemoveAt(POSITION position);

  POSITION InsertBefore(POSITION position, ARG_TYPE newElement);
  POSITION InsertAfter(POSITION position, ARG_TYPE newElement);

  // Linear search from after startAfter (or from the head).
  POSITION Find(ARG_TYPE searchValue, POSITION startAfter = NULL) const;
  // Position of the nIndex-th element (0-based), NULL when out of range.
  POSITION FindIndex(INT_PTR nIndex) const;

  void Serialize(CArchive& ar) override;

 protected:
  static CNode* Node(POSITION pos) {
    if (pos == nullptr || pos == BEFORE_START_POSITION) AfxThrowInvalidArgException();
    return reinterpret_cast<CNode*>(pos);
  }
  static CNode* Node(CNode* p) {
    if (p == nullptr) AfxThrowInvalidArgException();
    return p;
  }
  static POSITION Pos(CNode* p) { return reinterpret_cast<POSITION>(p); }
  POSITION InsertNode(CNode* pPrev, CNode* pNext, ARG_TYPE newElement);
  void Unlink(CNode* pNode);

  CNode* m_pNodeHead = nullptr;
  CNode* m_pNodeTail = nullptr;
  INT_PTR m_nCount = 0;
};

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::InsertNode(CNode* pPrev, CNode* pNext, ARG_TYPE newElement) {
  CNode* pNode = new CNode{pNext, pPrev, TYPE(newElement)};
  (pPrev ? pPrev->pNext : m_pNodeHead) = pNode;
  (pNext ? pNext->pPrev : m_pNodeTail) = pNode;
  m_nCount++;
  return Pos(pNode);
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::Unlink(CNode* pNode) {
  (pNode->pPrev ? pNode->pPrev->pNext : m_pNodeHead) = pNode->pNext;
  (pNode->pNext ? pNode->pNext->pPrev : m_pNodeTail) = pNode->pPrev;
  delete pNode;
  m_nCount--;
}

template <class TYPE, class ARG_TYPE>
TYPE CList<TYPE, ARG_TYPE>::RemoveHead() {
  CNode* pNode = Node(m_pNodeHead);
  TYPE value(std::move(pNode->data));
  Unlink(pNode);
  return value;
}

template <class TYPE, class ARG_TYPE>
TYPE CList<TYPE, ARG_TYPE>::RemoveTail() {
  CNode* pNode = Node(m_pNodeTail);
  TYPE value(std::move(pNode->data));
  Unlink(pNode);
  return value;
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::AddHead(const CList* pNewList) {
  if (pNewList == nullptr) AfxThrowInvalidArgException();
  CList copy(*pNewList);  // pNewList may be this list
  for (POSITION pos = copy.GetTailPosition(); pos != NULL;) AddHead(copy.GetPrev(pos));
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::AddTail(const CList* pNewList) {
  if (pNewList == nullptr) AfxThrowInvalidArgException();
  INT_PTR n = pNewList->m_nCount;  // stops at the original end when pNewList is this list
  CNode* p = pNewList->m_pNodeHead;
  for (INT_PTR i = 0; i < n; i++, p = p->pNext) AddTail(p->data);
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::RemoveAll() {
  while (m_pNodeHead) {
    CNode* pNext = m_pNodeHead->pNext;
    delete m_pNodeHead;
    m_pNodeHead = pNext;
  }
  m_pNodeTail = nullptr;
  m_nCount = 0;
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::RemoveAt(POSITION position) {
  Unlink(Node(position));
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::InsertBefore(POSITION position, ARG_TYPE newElement) {
  if (position == NULL) return AddHead(newElement);
  CNode* pOld = Node(position);
  return InsertNode(pOld->pPrev, pOld, newElement);
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::InsertAfter(POSITION position, ARG_TYPE newElement) {
  if (position == NULL) return AddTail(newElement);
  CNode* pOld = Node(position);
  return InsertNode(pOld, pOld->pNext, newElement);
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::Find(ARG_TYPE searchValue, POSITION startAfter) const {
  CNode* p = startAfter ? Node(startAfter)->pNext : m_pNodeHead;
  for (; p != nullptr; p = p->pNext)
    if (CompareElements(&p->data, &searchValue)) return Pos(p);
  return NULL;
}

template <class TYPE, class ARG_TYPE>
POSITION CList<TYPE, ARG_TYPE>::FindIndex(INT_PTR nIndex) const {
  if (nIndex < 0 || nIndex >= m_nCount) return NULL;
  CNode* p = m_pNodeHead;
  while (nIndex--) p = p->pNext;
  return Pos(p);
}

template <class TYPE, class ARG_TYPE>
void CList<TYPE, ARG_TYPE>::Serialize(CArchive& ar) {
  CObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteCount(m_nCount);
    for (CNode* p = m_pNodeHead; p != nullptr; p = p->pNext)
      SerializeElements<TYPE>(ar, &p->data, 1);
  } else {
    DWORD_PTR nNewCount = ar.ReadCount();
    while (nNewCount--) {
      TYPE newData{};
      SerializeElements<TYPE>(ar, &newData, 1);
      AddTail(newData);
    }
  }
}

// ---------------------------------------------------------------------------------------
template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject {
 public:
  struct CPair {
    const KEY key;
    VALUE value;
  };

 protected:
  struct CAssoc : CPair {
    CAssoc* pNext;
    UINT nHashValue;
  };

 public:
  explicit CMap(INT_PTR nBlockSize = 10) { (void)nBlockSize; }
  CMap(const CMap&) = delete;
  CMap& operator=(const CMap&) = delete;
  ~CMap() override { RemoveAll(); }

  INT_PTR GetCount() const { return m_nCount; }
  INT_PTR GetSize() const { return m_nCount; }
  BOOL IsEmpty() const { return m_nCount == 0; }

  BOOL Lookup(ARG_KEY key, VALUE& rValue) const;
  const CPair* PLookup(ARG_KEY key) const {
    UINT h;
    return GetAssocAt(key, h);
  }
  CPair* PLookup(ARG_KEY key) {
    UINT h;
    return GetAssocAt(key, h);
  }
  // Finds or adds the entry for key.
  VALUE& operator[](ARG_KEY key);
  void SetAt(ARG_KEY key, ARG_VALUE newValue) { (*this)[key] = newValue; }
  BOOL RemoveKey(ARG_KEY key);
  void RemoveAll();

  POSITION GetStartPosition() const { return m_nCount == 0 ? NULL : BEFORE_START_POSITION; }
  void GetNextAssoc(POSITION& rNextPosition, KEY& rKey, VALUE& rValue) const;

  UINT GetHashTableSize() const { return m_nHashTableSize; }
  // Sets the number of buckets (best a prime); only before the first entry is added.
  void InitHashTable(UINT hashSize, BOOL bAllocNow = TRUE);
  // Drops the low nBits of every key's hash before it picks a bucket (maps whose keys
  // come in runs, and whose iteration order is observable, bucket by key >> 4); only
  // before the first entry is added.
  void SetHashKeyShift(UINT nBits) {
    if (m_nCount != 0 || nBits >= 32) AfxThrowInvalidArgException();
    m_nHashShift = nBits;
  }
  UINT GetHashKeyShift() const { return m_nHashShift; }

  void Serialize(CArchive& ar) override;

 protected:
  CAssoc* GetAssocAt(ARG_KEY key, UINT& nHashBucket) const;
  CAssoc* FirstFrom(UINT nBucket) const;
  UINT BucketOf(ARG_KEY key) const { return (HashKey<ARG_KEY>(key) >> m_nHashShift) % m_nHashTableSize; }

  CAssoc** m_pHashTable = nullptr;
  UINT m_nHashTableSize = 17;
  UINT m_nHashShift = 0;
  INT_PTR m_nCount = 0;
};

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::InitHashTable(UINT hashSize, BOOL bAllocNow) {
  if (m_nCount != 0 || hashSize == 0) AfxThrowInvalidArgException();
  delete[] m_pHashTable;
  m_pHashTable = bAllocNow ? new CAssoc*[hashSize]() : nullptr;
  m_nHashTableSize = hashSize;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
typename CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::CAssoc*
CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::GetAssocAt(ARG_KEY key, UINT& nHashBucket) const {
  nHashBucket = BucketOf(key);
  if (m_pHashTable == nullptr) return nullptr;
  for (CAssoc* p = m_pHashTable[nHashBucket]; p != nullptr; p = p->pNext)
    if (CompareElements(&p->key, &key)) return p;
  return nullptr;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
BOOL CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::Lookup(ARG_KEY key, VALUE& rValue) const {
  UINT nBucket;
  CAssoc* p = GetAssocAt(key, nBucket);
  if (p == nullptr) return FALSE;
  rValue = p->value;
  return TRUE;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
VALUE& CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::operator[](ARG_KEY key) {
  UINT nBucket;
  if (CAssoc* p = GetAssocAt(key, nBucket)) return p->value;
  if (m_pHashTable == nullptr) InitHashTable(m_nHashTableSize);
  CAssoc* p = new CAssoc{{KEY(key), VALUE()}, m_pHashTable[nBucket], nBucket};
  m_pHashTable[nBucket] = p;
  m_nCount++;
  return p->value;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
BOOL CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::RemoveKey(ARG_KEY key) {
  if (m_pHashTable == nullptr) return FALSE;
  UINT nBucket = BucketOf(key);
  for (CAssoc** pp = &m_pHashTable[nBucket]; *pp != nullptr; pp = &(*pp)->pNext) {
    if (CompareElements(&(*pp)->key, &key)) {
      CAssoc* p = *pp;
      *pp = p->pNext;
      delete p;
      m_nCount--;
      return TRUE;
    }
  }
  return FALSE;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::RemoveAll() {
  if (m_pHashTable != nullptr) {
    for (UINT i = 0; i < m_nHashTableSize; i++) {
      for (CAssoc* p = m_pHashTable[i]; p != nullptr;) {
        CAssoc* pNext = p->pNext;
        delete p;
        p = pNext;
      }
    }
    delete[] m_pHashTable;
    m_pHashTable = nullptr;
  }
  m_nCount = 0;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
typename CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::CAssoc*
CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::FirstFrom(UINT nBucket) const {
  for (; m_pHashTable != nullptr && nBucket < m_nHashTableSize; nBucket++)
    if (m_pHashTable[nBucket] != nullptr) return m_pHashTable[nBucket];
  return nullptr;
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::GetNextAssoc(POSITION& rNextPosition, KEY& rKey,
                                                        VALUE& rValue) const {
  CAssoc* p = reinterpret_cast<CAssoc*>(rNextPosition);
  if (rNextPosition == BEFORE_START_POSITION) p = FirstFrom(0);
  if (p == nullptr) AfxThrowInvalidArgException();
  rKey = p->key;
  rValue = p->value;
  CAssoc* pNext = p->pNext ? p->pNext : FirstFrom(p->nHashValue + 1);
  rNextPosition = reinterpret_cast<POSITION>(pNext);
}

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
void CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>::Serialize(CArchive& ar) {
  CObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteCount(m_nCount);
    for (POSITION pos = GetStartPosition(); pos != NULL;) {
      KEY key;
      VALUE value;
      GetNextAssoc(pos, key, value);
      SerializeElements<KEY>(ar, &key, 1);
      SerializeElements<VALUE>(ar, &value, 1);
    }
  } else {
    DWORD_PTR nNewCount = ar.ReadCount();
    while (nNewCount--) {
      KEY newKey{};
      VALUE newValue{};
      SerializeElements<KEY>(ar, &newKey, 1);
      SerializeElements<VALUE>(ar, &newValue, 1);
      SetAt(newKey, newValue);
    }
  }
}

// ---------------------------------------------------------------------------------------
// Typed collections. Those holding CObject pointers store the objects through the archive's
// object references; pointer-only collections (CPtrArray, CPtrList, CMapPtrToPtr ...) and
// CUIntArray are not serializable.
typedef CArray<BYTE, BYTE> FwByteArrayBase;
typedef CArray<WORD, WORD> FwWordArrayBase;
typedef CArray<DWORD, DWORD> FwDWordArrayBase;
typedef CArray<UINT, UINT> FwUIntArrayBase;
typedef CArray<void*, void*> FwPtrArrayBase;
typedef CArray<CObject*, CObject*> FwObArrayBase;
typedef CArray<CString, LPCWSTR> FwStringArrayBase;
typedef CList<void*, void*> FwPtrListBase;
typedef CList<CObject*, CObject*> FwObListBase;
typedef CList<CString, LPCWSTR> FwStringListBase;
typedef CMap<WORD, WORD, void*, void*> FwMapWordToPtrBase;
typedef CMap<void*, void*, WORD, WORD> FwMapPtrToWordBase;
typedef CMap<void*, void*, void*, void*> FwMapPtrToPtrBase;
typedef CMap<WORD, WORD, CObject*, CObject*> FwMapWordToObBase;
typedef CMap<CString, LPCWSTR, void*, void*> FwMapStringToPtrBase;
typedef CMap<CString, LPCWSTR, CObject*, CObject*> FwMapStringToObBase;
typedef CMap<CString, LPCWSTR, CString, LPCWSTR> FwMapStringToStringBase;

#define FW_TYPED_COLLECTION(class_name, base) \
  class class_name : public base {            \
    DECLARE_DYNAMIC(class_name)               \
   public:                                    \
    using base::base;                         \
    class_name() = default;                   \
  };

#define FW_SERIAL_COLLECTION(class_name, base) \
  class class_name : public base {             \
    DECLARE_SERIAL(class_name)                 \
   public:                                     \
    using base::base;                          \
    class_name() = default;                    \
  };

FW_SERIAL_COLLECTION(CByteArray, FwByteArrayBase)
FW_SERIAL_COLLECTION(CWordArray, FwWordArrayBase)
FW_SERIAL_COLLECTION(CDWordArray, FwDWordArrayBase)
FW_TYPED_COLLECTION(CUIntArray, FwUIntArrayBase)
FW_TYPED_COLLECTION(CPtrArray, FwPtrArrayBase)
FW_SERIAL_COLLECTION(CObArray, FwObArrayBase)
FW_SERIAL_COLLECTION(CStringArray, FwStringArrayBase)

FW_TYPED_COLLECTION(CPtrList, FwPtrListBase)
FW_SERIAL_COLLECTION(CObList, FwObListBase)
FW_SERIAL_COLLECTION(CStringList, FwStringListBase)

FW_TYPED_COLLECTION(CMapWordToPtr, FwMapWordToPtrBase)
FW_TYPED_COLLECTION(CMapPtrToWord, FwMapPtrToWordBase)
FW_TYPED_COLLECTION(CMapPtrToPtr, FwMapPtrToPtrBase)
FW_SERIAL_COLLECTION(CMapWordToOb, FwMapWordToObBase)
FW_TYPED_COLLECTION(CMapStringToPtr, FwMapStringToPtrBase)
FW_SERIAL_COLLECTION(CMapStringToOb, FwMapStringToObBase)
FW_SERIAL_COLLECTION(CMapStringToString, FwMapStringToStringBase)

#undef FW_TYPED_COLLECTION
#undef FW_SERIAL_COLLECTION
