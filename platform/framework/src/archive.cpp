// CArchive: buffered binary serialization with class and object references.
#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "framework.h"

namespace {

// Tags of the object stream (see fw_archive.h for the layout).
constexpr WORD wNullTag = 0;
constexpr WORD wNewClassTag = 0xFFFF;
constexpr WORD wClassTag = 0x8000;
constexpr DWORD dwBigClassTag = 0x80000000;
constexpr WORD wBigObjectTag = 0x7FFF;
constexpr DWORD nMaxMapCount = 0x3FFFFFFE;

// Longest class name accepted when loading; longer names mean a corrupt stream.
constexpr WORD kMaxClassName = 64;

// Reading variable-length data in pieces keeps a corrupt length from allocating gigabytes
// before the end of the data is noticed.
constexpr UINT_PTR kReadChunk = 32768;

template <class T>
CArchive& PutRaw(CArchive& ar, T value) {
  ar.Write(&value, sizeof(value));
  return ar;
}

template <class T>
CArchive& GetRaw(CArchive& ar, T& value) {
  if (ar.Read(&value, sizeof(value)) != sizeof(value))
    AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
  return ar;
}

}  // namespace

struct CArchive::Maps {
  struct LoadEntry {
    CRuntimeClass* pClass;  // a class entry ...
    UINT nSchema;           // ... with the schema it was stored with
    CObject* pObject;       // or an object entry
  };
  std::unordered_map<const void*, DWORD> storeMap;  // CObject* or CRuntimeClass* -> index
  std::vector<LoadEntry> loadArray{LoadEntry{nullptr, 0, nullptr}};  // index 0: NULL
  DWORD nMapCount = 1;
};

// ---------------------------------------------------------------------------------------
CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void* lpBuf)
    : m_pDocument(nullptr),
      m_nObjectSchema(static_cast<UINT>(-1)),
      m_pFile(pFile),
      m_nMode(nMode),
      m_bUserBuf(lpBuf != nullptr),
      m_nBufSize(nBufSize > 0 ? static_cast<UINT>(nBufSize) : 4096),
      m_lpBufStart(static_cast<BYTE*>(lpBuf)),
      m_nBufCur(0),
      m_nBufMax(0),
      m_pMaps(new Maps) {
  if (pFile == nullptr) AfxThrowInvalidArgException();
  if (!m_bUserBuf) m_lpBufStart = new BYTE[m_nBufSize];
  m_strFileName = pFile->GetFilePath();
}

CArchive::~CArchive() {
  if (m_pFile != nullptr && !(m_nMode & bNoFlushOnDelete)) {
    try {
      Close();
    } catch (CException* e) {
      e->Delete();  // a destructor must not throw; Close() explicitly to see the error
    }
  }
  if (!m_bUserBuf) delete[] m_lpBufStart;
}

void CArchive::Throw(int cause) const { AfxThrowArchiveException(cause, m_strFileName); }

void CArchive::CheckStoring() const {
  if (m_pFile == nullptr) Throw(CArchiveException::genericException);
  if (!IsStoring()) Throw(CArchiveException::readOnly);
}

void CArchive::CheckLoading() const {
  if (m_pFile == nullptr) Throw(CArchiveException::genericException);
  if (!IsLoading()) Throw(CArchiveException::writeOnly);
}

UINT CArchive::GetObjectSchema() {
  UINT nResult = m_nObjectSchema;
  m_nObjectSchema = static_cast<UINT>(-1);  // only the first caller learns it
  return nResult;
}

// ---------------------------------------------------------------------------------------
UINT CArchive::Read(void* lpBuf, UINT nMax) {
  CheckLoading();
  if (nMax == 0) return 0;
  if (lpBuf == nullptr) AfxThrowInvalidArgException();
  BYTE* pDest = static_cast<BYTE*>(lpBuf);
  UINT nRead = 0;
  while (nRead < nMax) {
    if (m_nBufCur == m_nBufMax) {
      UINT nWanted = nMax - nRead;
      if (nWanted >= m_nBufSize) {  // large reads bypass the buffer
        UINT n = m_pFile->Read(pDest + nRead, nWanted);
        if (n == 0) break;
        nRead += n;
        continue;
      }
      m_nBufCur = 0;
      m_nBufMax = m_pFile->Read(m_lpBufStart, m_nBufSize);
      if (m_nBufMax == 0) break;
    }
    UINT n = std::min(m_nBufMax - m_nBufCur, nMax - nRead);
    memcpy(pDest + nRead, m_lpBufStart + m_nBufCur, n);
    m_nBufCur += n;
    nRead += n;
  }
  return nRead;
}

void CArchive::Write(const void* lpBuf, UINT nMax) {
  CheckStoring();
  if (nMax == 0) return;
  if (lpBuf == nullptr) AfxThrowInvalidArgException();
  if (nMax > m_nBufSize - m_nBufCur) {
    Flush();
    if (nMax >= m_nBufSize) {  // large writes bypass the buffer
      m_pFile->Write(lpBuf, nMax);
      return;
    }
  }
  memcpy(m_lpBufStart + m_nBufCur, lpBuf, nMax);
  m_nBufCur += nMax;
}

void CArchive::Flush() {
  if (m_pFile == nullptr) return;
  if (IsStoring()) {
    if (m_nBufCur > 0) {
      UINT n = m_nBufCur;
      m_nBufCur = 0;
      m_pFile->Write(m_lpBufStart, n);
    }
  } else if (m_nBufCur != m_nBufMax) {
    // Give the bytes read ahead back to the file, so that it is positioned just after
    // the data this archive consumed.
    m_pFile->Seek(-static_cast<LONGLONG>(m_nBufMax - m_nBufCur), CFile::current);
    m_nBufCur = m_nBufMax = 0;
  }
}

void CArchive::Close() {
  Flush();
  m_pFile = nullptr;
}

void CArchive::Abort() {
  if (m_pFile != nullptr && IsLoading()) {
    try {
      Flush();
    } catch (CException* e) {
      e->Delete();
    }
  }
  m_nBufCur = m_nBufMax = 0;
  m_pFile = nullptr;
}

// ---------------------------------------------------------------------------------------
void CArchive::WriteString(LPCWSTR lpsz) {
  if (lpsz == nullptr) AfxThrowInvalidArgException();
  Write(lpsz, static_cast<UINT>(wcslen(lpsz) * sizeof(WCHAR)));
}

LPWSTR CArchive::ReadString(LPWSTR lpsz, UINT nMax) {
  if (lpsz == nullptr || nMax == 0) AfxThrowInvalidArgException();
  UINT n = 0;
  WCHAR ch;
  while (n + 1 < nMax && Read(&ch, sizeof(ch)) == sizeof(ch)) {
    if (ch == L'\n' && n > 0 && lpsz[n - 1] == L'\r') n--;  // CR LF -> '\n'
    lpsz[n++] = ch;
    if (ch == L'\n') break;
  }
  lpsz[n] = L'\0';
  return n == 0 ? nullptr : lpsz;
}

BOOL CArchive::ReadString(CString& rString) {
  std::wstring line;
  WCHAR ch;
  BOOL bAny = FALSE;
  while (Read(&ch, sizeof(ch)) == sizeof(ch)) {
    bAny = TRUE;
    if (ch == L'\n') break;
    line += ch;
  }
  if (!line.empty() && line.back() == L'\r') line.pop_back();
  rString = CString(line);
  return bAny;
}

// ---------------------------------------------------------------------------------------
CArchive& CArchive::operator<<(BYTE by) { return PutRaw(*this, by); }
CArchive& CArchive::operator<<(WORD w) { return PutRaw(*this, w); }
CArchive& CArchive::operator<<(LONG l) { return PutRaw(*this, l); }
CArchive& CArchive::operator<<(DWORD dw) { return PutRaw(*this, dw); }
CArchive& CArchive::operator<<(float f) { return PutRaw(*this, f); }
CArchive& CArchive::operator<<(double d) { return PutRaw(*this, d); }
CArchive& CArchive::operator<<(LONGLONG dwdw) { return PutRaw(*this, dwdw); }
CArchive& CArchive::operator<<(ULONGLONG dwdw) { return PutRaw(*this, dwdw); }

CArchive& CArchive::operator>>(BYTE& by) { return GetRaw(*this, by); }
CArchive& CArchive::operator>>(WORD& w) { return GetRaw(*this, w); }
CArchive& CArchive::operator>>(LONG& l) { return GetRaw(*this, l); }
CArchive& CArchive::operator>>(DWORD& dw) { return GetRaw(*this, dw); }
CArchive& CArchive::operator>>(float& f) { return GetRaw(*this, f); }
CArchive& CArchive::operator>>(double& d) { return GetRaw(*this, d); }
CArchive& CArchive::operator>>(LONGLONG& dwdw) { return GetRaw(*this, dwdw); }
CArchive& CArchive::operator>>(ULONGLONG& dwdw) { return GetRaw(*this, dwdw); }

// The remaining types travel as the fixed-width type they are written as.
template <class Stored, class T>
static CArchive& GetAs(CArchive& ar, T& value) {
  Stored stored;
  ar >> stored;
  value = static_cast<T>(stored);
  return ar;
}
CArchive& CArchive::operator>>(int& i) { return GetAs<LONG>(*this, i); }
CArchive& CArchive::operator>>(UINT& u) { return GetAs<DWORD>(*this, u); }
CArchive& CArchive::operator>>(short& w) { return GetAs<WORD>(*this, w); }
CArchive& CArchive::operator>>(char& ch) { return GetAs<BYTE>(*this, ch); }
CArchive& CArchive::operator>>(signed char& ch) { return GetAs<BYTE>(*this, ch); }
CArchive& CArchive::operator>>(wchar_t& ch) { return GetAs<WORD>(*this, ch); }
CArchive& CArchive::operator>>(bool& b) {
  BYTE by;
  *this >> by;
  b = by != 0;
  return *this;
}

// ---------------------------------------------------------------------------------------
void CArchive::WriteCount(DWORD_PTR dwCount) {
  if (dwCount < 0xFFFF) {
    *this << static_cast<WORD>(dwCount);
    return;
  }
  *this << static_cast<WORD>(0xFFFF);
  if (dwCount < 0xFFFFFFFF) {
    *this << static_cast<DWORD>(dwCount);
  } else {
    *this << static_cast<DWORD>(0xFFFFFFFF);
    *this << static_cast<ULONGLONG>(dwCount);
  }
}

DWORD_PTR CArchive::ReadCount() {
  WORD wCount;
  *this >> wCount;
  if (wCount != 0xFFFF) return wCount;
  DWORD dwCount;
  *this >> dwCount;
  if (dwCount != 0xFFFFFFFF) return dwCount;
  ULONGLONG qwCount;
  *this >> qwCount;
  return static_cast<DWORD_PTR>(qwCount);
}

void AFXAPI AfxWriteStringLength(CArchive& ar, UINT_PTR nLength, BOOL bUnicode) {
  if (bUnicode) ar << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFE);
  if (nLength < 0xFF) {
    ar << static_cast<BYTE>(nLength);
    return;
  }
  ar << static_cast<BYTE>(0xFF);
  if (nLength < 0xFFFE) {  // 0xFFFE after 0xFF would read as the Unicode marker
    ar << static_cast<WORD>(nLength);
    return;
  }
  ar << static_cast<WORD>(0xFFFF);
  if (nLength < 0xFFFFFFFF) {
    ar << static_cast<DWORD>(nLength);
  } else {
    ar << static_cast<DWORD>(0xFFFFFFFF) << static_cast<ULONGLONG>(nLength);
  }
}

UINT_PTR AFXAPI AfxReadStringLength(CArchive& ar, BOOL& bUnicode) {
  bUnicode = FALSE;
  BYTE bLength;
  ar >> bLength;
  if (bLength < 0xFF) return bLength;
  WORD wLength;
  ar >> wLength;
  if (wLength == 0xFFFE) {
    bUnicode = TRUE;
    ar >> bLength;
    if (bLength < 0xFF) return bLength;
    ar >> wLength;
  }
  if (wLength < 0xFFFF) return wLength;
  DWORD dwLength;
  ar >> dwLength;
  if (dwLength < 0xFFFFFFFF) return dwLength;
  ULONGLONG qwLength;
  ar >> qwLength;
  return static_cast<UINT_PTR>(qwLength);
}

CArchive& AFXAPI operator<<(CArchive& ar, const CString& str) {
  AfxWriteStringLength(ar, str.GetLength(), TRUE);
  ar.Write(str.GetString(), str.GetLength() * sizeof(WCHAR));
  return ar;
}

CArchive& AFXAPI operator>>(CArchive& ar, CString& str) {
  BOOL bUnicode;
  UINT_PTR nLength = AfxReadStringLength(ar, bUnicode);
  const size_t nUnit = bUnicode ? sizeof(WCHAR) : 1;
  std::vector<BYTE> data;
  for (UINT_PTR nDone = 0; nDone < nLength;) {
    UINT_PTR nChunk = std::min(nLength - nDone, kReadChunk);
    data.resize((nDone + nChunk) * nUnit);
    UINT nBytes = static_cast<UINT>(nChunk * nUnit);
    if (ar.Read(data.data() + nDone * nUnit, nBytes) != nBytes)
      AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
    nDone += nChunk;
  }
  if (bUnicode)
    str = CString(reinterpret_cast<LPCWSTR>(data.data()), static_cast<int>(nLength));
  else
    str = CString(reinterpret_cast<LPCSTR>(data.data()), static_cast<int>(nLength));
  return ar;
}

CArchive& CArchive::operator<<(LPCWSTR lpsz) { return *this << CString(lpsz); }

CArchive& CArchive::operator<<(LPCSTR lpsz) {
  UINT_PTR nLength = lpsz ? strlen(lpsz) : 0;
  AfxWriteStringLength(*this, nLength, FALSE);
  Write(lpsz, static_cast<UINT>(nLength));
  return *this;
}

CArchive& AFXAPI operator<<(CArchive& ar, SIZE size) { return ar << size.cx << size.cy; }
CArchive& AFXAPI operator<<(CArchive& ar, POINT point) { return ar << point.x << point.y; }
CArchive& AFXAPI operator<<(CArchive& ar, const RECT& rect) {
  return ar << rect.left << rect.top << rect.right << rect.bottom;
}
CArchive& AFXAPI operator>>(CArchive& ar, SIZE& size) { return ar >> size.cx >> size.cy; }
CArchive& AFXAPI operator>>(CArchive& ar, POINT& point) { return ar >> point.x >> point.y; }
CArchive& AFXAPI operator>>(CArchive& ar, RECT& rect) {
  return ar >> rect.left >> rect.top >> rect.right >> rect.bottom;
}
CArchive& AFXAPI operator<<(CArchive& ar, CTime time) {
  return ar << static_cast<LONGLONG>(time.GetTime());
}
CArchive& AFXAPI operator>>(CArchive& ar, CTime& rtime) {
  LONGLONG t;
  ar >> t;
  rtime = CTime(static_cast<__time64_t>(t));
  return ar;
}
CArchive& AFXAPI operator<<(CArchive& ar, CTimeSpan span) {
  return ar << static_cast<LONGLONG>(span.GetTimeSpan());
}
CArchive& AFXAPI operator>>(CArchive& ar, CTimeSpan& rspan) {
  LONGLONG t;
  ar >> t;
  rspan = CTimeSpan(static_cast<__time64_t>(t));
  return ar;
}

// ---------------------------------------------------------------------------------------
void CRuntimeClass::Store(CArchive& ar) const {
  WORD nLen = static_cast<WORD>(strlen(m_lpszClassName));
  ar << static_cast<WORD>(m_wSchema) << nLen;
  ar.Write(m_lpszClassName, nLen);
}

CRuntimeClass* PASCAL CRuntimeClass::Load(CArchive& ar, UINT* pwSchemaNum) {
  WORD wSchema, nLen;
  ar >> wSchema >> nLen;
  char szClassName[kMaxClassName + 1];
  if (nLen > kMaxClassName) return nullptr;  // no class has such a name: a corrupt record
  if (ar.Read(szClassName, nLen) != nLen)
    AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
  szClassName[nLen] = '\0';
  if (pwSchemaNum) *pwSchemaNum = wSchema;
  return FromName(szClassName);
}

DWORD CArchive::NextMapIndex() {
  if (m_pMaps->nMapCount >= nMaxMapCount) Throw(CArchiveException::badIndex);
  return m_pMaps->nMapCount++;
}

void CArchive::WriteMapIndex(DWORD nIndex, bool bClass) {
  if (nIndex < wBigObjectTag) {
    *this << static_cast<WORD>(nIndex | (bClass ? wClassTag : 0));
  } else {
    *this << wBigObjectTag << static_cast<DWORD>(nIndex | (bClass ? dwBigClassTag : 0));
  }
}

void CArchive::MapObject(const CObject* pOb) {
  if (IsStoring()) {
    if (pOb != nullptr && m_pMaps->storeMap.find(pOb) == m_pMaps->storeMap.end())
      m_pMaps->storeMap[pOb] = NextMapIndex();
  } else {
    NextMapIndex();
    m_pMaps->loadArray.push_back({nullptr, 0, const_cast<CObject*>(pOb)});
  }
}

void CArchive::SetStoreParams(UINT nHashSize, UINT) {
  if (IsStoring()) m_pMaps->storeMap.reserve(nHashSize);
}

void CArchive::SetLoadParams(UINT nGrowBy) {
  if (IsLoading()) m_pMaps->loadArray.reserve(nGrowBy);
}

void CArchive::WriteClass(const CRuntimeClass* pClassRef) {
  CheckStoring();
  if (pClassRef == nullptr) AfxThrowInvalidArgException();
  if (pClassRef->m_wSchema == 0xFFFF) {
    TRACE(L"Error: class %S is not serializable (declare it DECLARE_SERIAL)\n",
          pClassRef->m_lpszClassName);
    AfxThrowNotSupportedException();
  }
  auto it = m_pMaps->storeMap.find(pClassRef);
  if (it != m_pMaps->storeMap.end()) {
    WriteMapIndex(it->second, true);
    return;
  }
  *this << wNewClassTag;
  pClassRef->Store(*this);
  m_pMaps->storeMap[pClassRef] = NextMapIndex();
}

void CArchive::WriteObject(const CObject* pOb) {
  CheckStoring();
  if (pOb == nullptr) {
    *this << wNullTag;
    return;
  }
  auto it = m_pMaps->storeMap.find(pOb);
  if (it != m_pMaps->storeMap.end()) {
    WriteMapIndex(it->second, false);
    return;
  }
  WriteClass(pOb->GetRuntimeClass());
  m_pMaps->storeMap[pOb] = NextMapIndex();  // before the data: the object may refer to itself
  const_cast<CObject*>(pOb)->Serialize(*this);
}

CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* pClassRefRequested, UINT* pSchema,
                                   DWORD* pObTag) {
  CheckLoading();
  WORD wTag;
  *this >> wTag;
  DWORD obTag;
  if (wTag == wBigObjectTag)
    *this >> obTag;
  else
    obTag = (static_cast<DWORD>(wTag & wClassTag) << 16) | (wTag & ~wClassTag);

  if (!(obTag & dwBigClassTag)) {  // an object reference (or NULL), not a class
    if (pObTag == nullptr) Throw(CArchiveException::badIndex);
    *pObTag = obTag;
    return nullptr;
  }

  CRuntimeClass* pClassRef;
  UINT nSchema;
  if (wTag == wNewClassTag) {
    pClassRef = CRuntimeClass::Load(*this, &nSchema);
    if (pClassRef == nullptr) Throw(CArchiveException::badClass);
    if ((pClassRef->m_wSchema & ~VERSIONABLE_SCHEMA) != nSchema &&
        !(pClassRef->m_wSchema & VERSIONABLE_SCHEMA))
      Throw(CArchiveException::badSchema);
    NextMapIndex();
    m_pMaps->loadArray.push_back({pClassRef, nSchema, nullptr});
  } else {
    DWORD nClassIndex = obTag & ~dwBigClassTag;
    if (nClassIndex == 0 || nClassIndex >= m_pMaps->loadArray.size() ||
        m_pMaps->loadArray[nClassIndex].pClass == nullptr)
      Throw(CArchiveException::badIndex);
    pClassRef = m_pMaps->loadArray[nClassIndex].pClass;
    nSchema = m_pMaps->loadArray[nClassIndex].nSchema;
  }

  if (pClassRefRequested != nullptr && !pClassRef->IsDerivedFrom(pClassRefRequested))
    Throw(CArchiveException::badClass);
  if (pSchema) *pSchema = nSchema;
  if (pObTag) *pObTag = 0;
  return pClassRef;
}

void CArchive::SerializeClass(const CRuntimeClass* pClassRef) {
  if (IsStoring())
    WriteClass(pClassRef);
  else
    ReadClass(pClassRef, &m_nObjectSchema);
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRefRequested) {
  CheckLoading();
  UINT nSchema = 0;
  DWORD obTag = 0;
  CRuntimeClass* pClassRef = ReadClass(pClassRefRequested, &nSchema, &obTag);

  if (pClassRef == nullptr) {  // NULL or an object read before
    if (obTag == wNullTag) return nullptr;
    if (obTag >= m_pMaps->loadArray.size() || m_pMaps->loadArray[obTag].pObject == nullptr)
      Throw(CArchiveException::badIndex);
    CObject* pOb = m_pMaps->loadArray[obTag].pObject;
    if (pClassRefRequested != nullptr && !pOb->IsKindOf(pClassRefRequested))
      Throw(CArchiveException::badClass);
    return pOb;
  }

  CObject* pOb = pClassRef->CreateObject();
  if (pOb == nullptr) Throw(CArchiveException::badClass);  // not dynamically creatable
  // Registered before its data, so that references inside the data can point back to it.
  NextMapIndex();
  m_pMaps->loadArray.push_back({nullptr, 0, pOb});
  // If Serialize throws, the object is left to leak: objects loaded before may already
  // point at it, so deleting it here could leave them dangling.
  UINT nSchemaSave = m_nObjectSchema;
  m_nObjectSchema = nSchema;
  pOb->Serialize(*this);
  m_nObjectSchema = nSchemaSave;
  return pOb;
}

CArchive& AFXAPI operator<<(CArchive& ar, const CObject* pOb) {
  ar.WriteObject(pOb);
  return ar;
}

CArchive& AFXAPI operator>>(CArchive& ar, CObject*& pOb) {
  pOb = ar.ReadObject(nullptr);
  return ar;
}

CArchive& AFXAPI operator>>(CArchive& ar, const CObject*& pOb) {
  pOb = ar.ReadObject(nullptr);
  return ar;
}
