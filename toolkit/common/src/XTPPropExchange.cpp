// The settings exchange: the base with its text and memory-archive forms, the archive and
// registry exchanges, enumerators and the PX functions.
#include "XTPPropExchange.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "XTPPropExchangeBytes.h"

namespace {



CString FromU16(const std::u16string& text) {
  return CString(reinterpret_cast<LPCWSTR>(text.data()), static_cast<int>(text.size()));
}

// Exceptions an archive operation may raise on damaged or short data; each becomes a
// plain failure of the exchange.
template <class F>
BOOL Guarded(F f) {
  try {
    return f();
  } catch (CException* e) {
    e->Delete();
  } catch (const std::bad_alloc&) {
  }
  return FALSE;
}

}  // namespace

// ---------------------------------------------------------------------------------------
IMPLEMENT_DYNAMIC(CXTPPropExchange, CCmdTarget)

CXTPPropExchange::CXTPPropExchange()
    : m_pContext(nullptr),
      m_bLoading(FALSE),
      m_dwSchema(XTP_PX_DEFAULT_SCHEMA),
      m_bSection(FALSE),
      m_bEmptied(FALSE),
      m_bInitialized(FALSE),
      m_bUseDefaultOnLoad(TRUE),
      m_bUseDefaultOnSave(TRUE) {}

CXTPPropExchange::~CXTPPropExchange() = default;

void CXTPPropExchange::InheritPropertiesFrom(const CXTPPropExchange* pParent) {
  if (pParent == nullptr) return;
  m_pContext = pParent->m_pContext;
  m_dwSchema = pParent->m_dwSchema;
  m_bEmptied = pParent->m_bEmptied;
  m_bUseDefaultOnLoad = pParent->m_bUseDefaultOnLoad;
  m_bUseDefaultOnSave = pParent->m_bUseDefaultOnSave;
  m_bSection = TRUE;
}

int PASCAL CXTPPropExchange::GetSizeOfType(int nType) {
  switch (nType) {
    case PXVT_SHORT: return 2;
    case PXVT_INT: return 4;
    case PXVT_BOOL: return 4;
    case PXVT_BYTE: return 1;
    case PXVT_STRING: return static_cast<int>(sizeof(CString));
    case PXVT_RECT: return 16;
    case PXVT_SIZE: return 8;
    default: return 0;
  }
}

BOOL PASCAL CXTPPropExchange::IsSamePropValue(int nType, const void* pv1, const void* pv2) {
  if (pv1 == nullptr || pv2 == nullptr) return FALSE;
  if (nType == PXVT_STRING)
    return static_cast<const CString*>(pv1)->Compare(*static_cast<const CString*>(pv2)) == 0;
  const int nSize = GetSizeOfType(nType);
  return nSize > 0 && memcmp(pv1, pv2, static_cast<size_t>(nSize)) == 0;
}

BOOL PASCAL CXTPPropExchange::CopyPropValue(int nType, void* pvDest, const void* pvSrc) {
  if (pvDest == nullptr || pvSrc == nullptr) return FALSE;
  if (nType == PXVT_STRING) {
    *static_cast<CString*>(pvDest) = *static_cast<const CString*>(pvSrc);
    return TRUE;
  }
  const int nSize = GetSizeOfType(nType);
  if (nSize <= 0) return FALSE;
  memmove(pvDest, pvSrc, static_cast<size_t>(nSize));
  return TRUE;
}

BOOL CXTPPropExchange::TakeDefault(int nType, void* pvProp, const void* pvDefault) {
  if (m_bUseDefaultOnLoad && pvDefault != nullptr) return CopyPropValue(nType, pvProp, pvDefault);
  return FALSE;
}

BOOL CXTPPropExchange::OnBeforeExchange() {
  m_bInitialized = TRUE;
  return TRUE;
}

BOOL CXTPPropExchange::IsAllowDefaultValues() { return TRUE; }
BOOL CXTPPropExchange::IsAllowBlobValues() { return FALSE; }

void CXTPPropExchange::EmptySection() { m_bEmptied = TRUE; }

// Text form: each byte as two letters A..P, low nibble first, exchanged as a string.
BOOL CXTPPropExchange::ExchangeBlob(LPCTSTR pszPropName, BYTE** ppData, DWORD* pcbData) {
  if (ppData == nullptr || pcbData == nullptr) return FALSE;
  if (!OnBeforeExchange()) return FALSE;
  const CString strDefault;
  if (IsStoring()) {
    if (*pcbData != 0 && *ppData == nullptr) return FALSE;
    CString strText = FromU16(xtp_px::EncodeBlobText(*ppData, *pcbData));
    return ExchangeProp(pszPropName, PXVT_STRING, &strText, &strDefault);
  }
  CString strText;
  if (!ExchangeProp(pszPropName, PXVT_STRING, &strText, &strDefault)) return FALSE;
  std::vector<uint8_t> bytes;
  if (!xtp_px::DecodeBlobText(reinterpret_cast<const char16_t*>(strText.GetString()),
                              static_cast<size_t>(strText.GetLength()), &bytes))
    return FALSE;
  const DWORD cb = static_cast<DWORD>(bytes.size());
  if (cb == 0) {
    *pcbData = 0;
    return TRUE;
  }
  if (*ppData == nullptr) {
    *ppData = static_cast<BYTE*>(malloc(cb));
    if (*ppData == nullptr) return FALSE;
  } else if (*pcbData < cb) {
    return FALSE;
  }
  memcpy(*ppData, bytes.data(), cb);
  *pcbData = cb;
  return TRUE;
}

BOOL CXTPPropExchange::ExchangeRuntimeClass(LPCTSTR pszPropName, CRuntimeClass** ppClass,
                                            CRuntimeClass* pDefaultClass) {
  if (ppClass == nullptr) return FALSE;
  if (IsStoring()) {
    if (*ppClass == nullptr) return FALSE;
    CString strName((*ppClass)->m_lpszClassName);
    if (pDefaultClass != nullptr) {
      CString strDefault(pDefaultClass->m_lpszClassName);
      return ExchangeProp(pszPropName, PXVT_STRING, &strName, &strDefault);
    }
    return ExchangeProp(pszPropName, PXVT_STRING, &strName, nullptr);
  }
  CString strName;
  if (!ExchangeProp(pszPropName, PXVT_STRING, &strName, nullptr)) {
    *ppClass = pDefaultClass;
    return TRUE;
  }
  CRuntimeClass* pClass = CRuntimeClass::FromName(strName.GetString());
  if (pClass == nullptr) return FALSE;
  *ppClass = pClass;
  return TRUE;
}

BOOL CXTPPropExchange::ExchangeObjectInstance(CObject** ppObject, CRuntimeClass* pBaseClass) {
  if (ppObject == nullptr) return FALSE;
  if (IsStoring()) {
    if (*ppObject == nullptr) return FALSE;
    CRuntimeClass* pClass = (*ppObject)->GetRuntimeClass();
    return ExchangeRuntimeClass(_T("Class"), &pClass, nullptr);
  }
  CRuntimeClass* pClass = nullptr;
  if (!ExchangeRuntimeClass(_T("Class"), &pClass, nullptr) || pClass == nullptr) return FALSE;
  // The class is checked before anything is created: data naming a class outside the
  // base creates no object.
  if (pBaseClass != nullptr && !pClass->IsDerivedFrom(pBaseClass)) return FALSE;
  if (pClass->m_pfnCreateObject == nullptr) return FALSE;
  CObject* pObject = nullptr;
  try {
    pObject = pClass->CreateObject();
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  } catch (const std::bad_alloc&) {
    return FALSE;
  }
  if (pObject == nullptr) return FALSE;
  *ppObject = pObject;
  return TRUE;
}

// A memory archive over the value's blob (loading) or over a growing memory file whose
// bytes become the blob on release (storing).
CArchive* CXTPPropExchange::GetArchive(LPCTSTR pszPropName) {
  if (IsLoading()) {
    BYTE* pData = nullptr;
    DWORD cbData = 0;
    if (!ExchangeBlob(pszPropName, &pData, &cbData) || cbData == 0 || pData == nullptr) {
      free(pData);
      return nullptr;
    }
    CMemFile* pFile = nullptr;
    try {
      pFile = new CMemFile(pData, cbData);
      return new CArchive(pFile, CArchive::load, 4096);
    } catch (CException* e) {
      e->Delete();
    } catch (const std::bad_alloc&) {
    }
    if (pFile != nullptr) {
      pFile->Detach();
      delete pFile;
    }
    free(pData);
    return nullptr;
  }
  // Storing where nothing can be stored (a registry key that cannot be opened) gives no
  // archive, so that the caller learns of it instead of writing into the void.
  if (!OnBeforeExchange()) return nullptr;
  CMemFile* pFile = nullptr;
  try {
    pFile = new CMemFile(1024);
    return new CArchive(pFile, CArchive::store, 4096);
  } catch (CException* e) {
    e->Delete();
  } catch (const std::bad_alloc&) {
  }
  delete pFile;
  return nullptr;
}

void CXTPPropExchange::ReleaseArchive(LPCTSTR pszPropName, CArchive* pArchive) {
  if (pArchive == nullptr) return;
  CMemFile* pFile = static_cast<CMemFile*>(pArchive->GetFile());
  if (IsStoring() && pFile != nullptr) {
    Guarded([&] {
      pArchive->Flush();
      DWORD cbData = static_cast<DWORD>(pFile->GetLength());
      BYTE* pData = pFile->Detach();
      BOOL bResult = ExchangeBlob(pszPropName, &pData, &cbData);
      free(pData);
      return bResult;
    });
  }
  pArchive->Abort();
  if (pFile != nullptr) {
    free(pFile->Detach());
    delete pFile;
  }
  delete pArchive;
}

void CXTPPropExchange::WriteCount(DWORD dwCount) {
  int nCount = static_cast<int>(dwCount);
  PX_Int(this, _T("Count"), nCount, 0);
}

DWORD CXTPPropExchange::ReadCount() {
  int nCount = 0;
  PX_Int(this, _T("Count"), nCount, 0);
  return static_cast<DWORD>(nCount);
}

void CXTPPropExchange::Write(LPCTSTR pszPropName, const void* lpBuf, UINT nCount) {
  BYTE* pData = static_cast<BYTE*>(const_cast<void*>(lpBuf));
  DWORD cbData = nCount;
  if (pData == nullptr && nCount != 0) return;
  ExchangeBlob(pszPropName, &pData, &cbData);
}

UINT CXTPPropExchange::Read(LPCTSTR pszPropName, void* lpBuf, UINT nCount) {
  if (lpBuf == nullptr) return 0;
  BYTE* pData = static_cast<BYTE*>(lpBuf);
  DWORD cbData = nCount;
  return ExchangeBlob(pszPropName, &pData, &cbData) ? cbData : 0;
}

CXTPPropExchangeEnumerator* CXTPPropExchange::GetEnumerator(LPCTSTR pszPrefix) {
  return new CXTPPropExchangeEnumerator(this, pszPrefix);
}

// ---------------------------------------------------------------------------------------
IMPLEMENT_DYNAMIC(CXTPPropExchangeArchive, CXTPPropExchange)

CXTPPropExchangeArchive::CXTPPropExchangeArchive(CArchive& ar) : m_ar(ar) {
  m_bLoading = ar.IsLoading();
}

ULONGLONG CXTPPropExchangeArchive::GetBytesLeft() {
  ULONGLONG nLeft = ~0ull;
  Guarded([&] {
    CFile* pFile = m_ar.GetFile();
    if (pFile == nullptr || !m_ar.IsLoading()) return FALSE;
    m_ar.Flush();  // unread bytes of the buffer go back to the file
    const ULONGLONG nLength = pFile->GetLength(), nPosition = pFile->GetPosition();
    nLeft = nLength > nPosition ? nLength - nPosition : 0;
    return TRUE;
  });
  return nLeft;
}

BOOL CXTPPropExchangeArchive::ExchangeProp(LPCTSTR, int nType, void* pvProp, const void*) {
  if (pvProp == nullptr || !OnBeforeExchange()) return FALSE;
  const int nSize = GetSizeOfType(nType);
  if (nSize == 0) return FALSE;
  return Guarded([&] {
    if (nType == PXVT_STRING) {
      if (IsStoring()) {
        m_ar << *static_cast<CString*>(pvProp);
      } else {
        CString str;
        m_ar >> str;
        *static_cast<CString*>(pvProp) = str;
      }
      return TRUE;
    }
    if (IsStoring()) {
      m_ar.Write(pvProp, static_cast<UINT>(nSize));
      return TRUE;
    }
    BYTE buf[16];
    if (m_ar.Read(buf, static_cast<UINT>(nSize)) != static_cast<UINT>(nSize)) return FALSE;
    memcpy(pvProp, buf, static_cast<size_t>(nSize));  // the value changes only when whole
    return TRUE;
  });
}

BOOL CXTPPropExchangeArchive::ExchangeBlob(LPCTSTR, BYTE** ppData, DWORD* pcbData) {
  if (ppData == nullptr || pcbData == nullptr || !OnBeforeExchange()) return FALSE;
  if (IsStoring()) {
    if (*pcbData != 0 && *ppData == nullptr) return FALSE;
    return Guarded([&] {
      m_ar.WriteCount(*pcbData);
      m_ar.Write(*ppData, *pcbData);
      return TRUE;
    });
  }
  return Guarded([&] {
    const ULONGLONG nCount = m_ar.ReadCount();
    // A count beyond the data is damage: nothing is allocated for it.
    if (nCount > GetBytesLeft() || nCount > 0xFFFFFFFFull) return FALSE;
    const DWORD cb = static_cast<DWORD>(nCount);
    if (cb == 0) {
      *pcbData = 0;
      return TRUE;
    }
    if (*ppData != nullptr && *pcbData < cb) {
      // Too small a buffer: the bytes are passed over so that the values after the blob
      // are still read from their own place, and the exchange fails.
      BYTE scratch[512];
      for (DWORD nDone = 0; nDone < cb;) {
        const UINT n = static_cast<UINT>(std::min<DWORD>(cb - nDone, sizeof(scratch)));
        if (m_ar.Read(scratch, n) != n) break;
        nDone += n;
      }
      return FALSE;
    }
    BYTE* pAllocated = nullptr;
    if (*ppData == nullptr) {
      pAllocated = static_cast<BYTE*>(malloc(cb));
      if (pAllocated == nullptr) return FALSE;
    }
    BYTE* pTarget = pAllocated ? pAllocated : *ppData;
    UINT nRead = 0;
    try {
      nRead = m_ar.Read(pTarget, cb);
    } catch (...) {
      free(pAllocated);
      throw;
    }
    if (nRead != cb) {
      free(pAllocated);
      return FALSE;
    }
    if (pAllocated) *ppData = pAllocated;
    *pcbData = cb;
    return TRUE;
  });
}

BOOL CXTPPropExchangeArchive::ExchangeRuntimeClass(LPCTSTR, CRuntimeClass** ppClass,
                                                   CRuntimeClass*) {
  if (ppClass == nullptr || !OnBeforeExchange()) return FALSE;
  return Guarded([&] {
    if (IsStoring()) {
      if (*ppClass == nullptr) return FALSE;
      m_ar.WriteClass(*ppClass);
      return TRUE;
    }
    UINT nSchema = 0;
    CRuntimeClass* pClass = m_ar.ReadClass(nullptr, &nSchema);
    if (pClass == nullptr) return FALSE;
    *ppClass = pClass;
    m_dwSchema = nSchema;
    return TRUE;
  });
}

BOOL CXTPPropExchangeArchive::ExchangeObjectInstance(CObject** ppObject, CRuntimeClass* pBaseClass) {
  if (!CXTPPropExchange::ExchangeObjectInstance(ppObject, pBaseClass)) return FALSE;
  // Later references to the same object in this archive resolve to it.
  return Guarded([&] {
    m_ar.MapObject(*ppObject);
    return TRUE;
  });
}

CArchive* CXTPPropExchangeArchive::GetArchive(LPCTSTR) {
  if (!OnBeforeExchange()) return nullptr;
  return &m_ar;
}

void CXTPPropExchangeArchive::ReleaseArchive(LPCTSTR, CArchive*) {}

CXTPPropExchange* CXTPPropExchangeArchive::GetSection(LPCTSTR) {
  CXTPPropExchangeArchive* pSection = new CXTPPropExchangeArchive(m_ar);
  pSection->InheritPropertiesFrom(this);
  return pSection;
}

void CXTPPropExchangeArchive::WriteCount(DWORD dwCount) {
  if (!IsStoring()) return;
  Guarded([&] {
    m_ar.WriteCount(dwCount);
    return TRUE;
  });
}

DWORD CXTPPropExchangeArchive::ReadCount() {
  DWORD dwCount = 0;
  Guarded([&] {
    const ULONGLONG nCount = m_ar.ReadCount();
    // Every counted item takes bytes of its own: a count beyond the bytes left is damage.
    if (nCount > 0xFFFFFFFFull || nCount > GetBytesLeft()) return FALSE;
    dwCount = static_cast<DWORD>(nCount);
    return TRUE;
  });
  return dwCount;
}

void CXTPPropExchangeArchive::Write(LPCTSTR, const void* lpBuf, UINT nCount) {
  if (!IsStoring() || (lpBuf == nullptr && nCount != 0)) return;
  Guarded([&] {
    m_ar.Write(lpBuf, nCount);
    return TRUE;
  });
}

UINT CXTPPropExchangeArchive::Read(LPCTSTR, void* lpBuf, UINT nCount) {
  if (!IsLoading() || lpBuf == nullptr) return 0;
  UINT nRead = 0;
  Guarded([&] {
    nRead = m_ar.Read(lpBuf, nCount);
    return TRUE;
  });
  return nRead;
}

BOOL CXTPPropExchangeArchive::IsAllowDefaultValues() { return FALSE; }
BOOL CXTPPropExchangeArchive::IsAllowBlobValues() { return TRUE; }

// ---------------------------------------------------------------------------------------
IMPLEMENT_DYNAMIC(CXTPPropExchangeRegistry, CXTPPropExchange)

CXTPPropExchangeRegistry::CXTPPropExchangeRegistry(BOOL bLoading, HKEY hParentKey, LPCTSTR pszSection)
    : m_hSectionKey(nullptr),
      m_hParentKey(hParentKey),
      m_strSectionName(pszSection ? pszSection : _T("")),
      m_bOpenTried(FALSE) {
  m_bLoading = bLoading;
}

CXTPPropExchangeRegistry::~CXTPPropExchangeRegistry() {
  if (m_hSectionKey != nullptr) ::RegCloseKey(m_hSectionKey);
}

BOOL CXTPPropExchangeRegistry::OnBeforeExchange() {
  CXTPPropExchange::OnBeforeExchange();
  if (m_hParentKey == nullptr) return FALSE;
  if (m_hSectionKey != nullptr) return TRUE;
  if (m_bOpenTried) return FALSE;
  m_bOpenTried = TRUE;
  HKEY hKey = nullptr;
  LONG lResult = ::RegCreateKeyExW(m_hParentKey, m_strSectionName, 0, nullptr,
                                   REG_OPTION_NON_VOLATILE, IsLoading() ? KEY_READ : KEY_WRITE,
                                   nullptr, &hKey, nullptr);
  if (lResult != ERROR_SUCCESS) return FALSE;
  m_hSectionKey = hKey;
  return TRUE;
}

namespace {
// The value's type and bytes, read into a zeroed buffer two bytes longer than the value,
// so that a text without terminator still ends. FALSE when there is no such value.
bool QueryRegistryValue(HKEY hKey, LPCWSTR pszName, DWORD* pType, std::vector<BYTE>* data) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD dwType = REG_NONE, cb = 0;
    if (::RegQueryValueExW(hKey, pszName, nullptr, &dwType, nullptr, &cb) != ERROR_SUCCESS)
      return false;
    data->assign(static_cast<size_t>(cb) + 2, 0);
    DWORD cbRead = cb;
    LONG l = ::RegQueryValueExW(hKey, pszName, nullptr, &dwType, data->data(), &cbRead);
    if (l == ERROR_MORE_DATA) continue;  // the value grew in between: ask again
    if (l != ERROR_SUCCESS || cbRead > cb) return false;
    data->resize(cbRead);
    *pType = dwType;
    return true;
  }
  return false;
}
}  // namespace

BOOL CXTPPropExchangeRegistry::ExchangeProp(LPCTSTR pszPropName, int nType, void* pvProp,
                                            const void* pvDefault) {
  const int nSize = GetSizeOfType(nType);
  if (nSize == 0 || pvProp == nullptr) return FALSE;

  if (IsLoading()) {
    if (!OnBeforeExchange()) return TakeDefault(nType, pvProp, pvDefault);
    DWORD dwType = REG_NONE;
    std::vector<BYTE> data;
    if (!Guarded([&] { return QueryRegistryValue(m_hSectionKey, pszPropName, &dwType, &data) ? TRUE : FALSE; }))
      return TakeDefault(nType, pvProp, pvDefault);
    switch (nType) {
      case PXVT_SHORT:
      case PXVT_INT:
      case PXVT_BOOL:
      case PXVT_BYTE: {
        uint32_t value;
        if (!xtp_px::RegistryNumber(dwType, data.data(), data.size(), &value))
          return TakeDefault(nType, pvProp, pvDefault);
        memcpy(pvProp, &value, static_cast<size_t>(nSize));  // the type's low bytes
        return TRUE;
      }
      default: {
        std::u16string text;
        if (!xtp_px::RegistryText(dwType, data.data(), data.size(), &text))
          return TakeDefault(nType, pvProp, pvDefault);
        if (nType == PXVT_STRING) {
          *static_cast<CString*>(pvProp) = FromU16(text);
          return TRUE;
        }
        const int nCount = nType == PXVT_RECT ? 4 : 2;
        int32_t values[4];
        if (xtp_px::ParseIntList(text.data(), text.size(), values, nCount) != nCount)
          return TakeDefault(nType, pvProp, pvDefault);
        memcpy(pvProp, values, static_cast<size_t>(nSize));
        return TRUE;
      }
    }
  }

  if (!OnBeforeExchange()) return FALSE;
  if (m_bUseDefaultOnSave && IsSamePropValue(nType, pvProp, pvDefault)) {
    if (!m_bEmptied) ::RegDeleteValueW(m_hSectionKey, pszPropName);
    return TRUE;
  }
  LONG lResult;
  switch (nType) {
    case PXVT_SHORT:
    case PXVT_INT:
    case PXVT_BOOL:
    case PXVT_BYTE: {
      DWORD dwValue = 0;  // zero-filled; the low bytes hold the value
      memcpy(&dwValue, pvProp, static_cast<size_t>(nSize));
      lResult = ::RegSetValueExW(m_hSectionKey, pszPropName, 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&dwValue), sizeof(dwValue));
      break;
    }
    default: {
      CString strText;
      if (nType == PXVT_STRING) {
        strText = *static_cast<CString*>(pvProp);
      } else {
        int32_t values[4];
        memcpy(values, pvProp, static_cast<size_t>(nSize));
        strText = FromU16(xtp_px::FormatIntList(values, nType == PXVT_RECT ? 4 : 2));
      }
      const ULONGLONG cb = (static_cast<ULONGLONG>(strText.GetLength()) + 1) * sizeof(WCHAR);
      if (cb > 0xFFFFFFFFull) return FALSE;
      lResult = ::RegSetValueExW(m_hSectionKey, pszPropName, 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(strText.GetString()), static_cast<DWORD>(cb));
      break;
    }
  }
  return lResult == ERROR_SUCCESS;
}

BOOL CXTPPropExchangeRegistry::ExchangeBlob(LPCTSTR pszPropName, BYTE** ppData, DWORD* pcbData) {
  if (ppData == nullptr || pcbData == nullptr || !OnBeforeExchange()) return FALSE;
  if (IsStoring()) {
    if (*pcbData != 0 && *ppData == nullptr) return FALSE;
    return ::RegSetValueExW(m_hSectionKey, pszPropName, 0, REG_BINARY, *ppData, *pcbData) ==
           ERROR_SUCCESS;
  }
  DWORD dwType = REG_NONE;
  std::vector<BYTE> data;
  if (!Guarded([&] { return QueryRegistryValue(m_hSectionKey, pszPropName, &dwType, &data) ? TRUE : FALSE; }))
    return FALSE;
  if (dwType != REG_BINARY) return FALSE;
  const DWORD cb = static_cast<DWORD>(data.size());
  if (cb == 0) {
    *pcbData = 0;
    return TRUE;
  }
  if (*ppData == nullptr) {
    *ppData = static_cast<BYTE*>(malloc(cb));
    if (*ppData == nullptr) return FALSE;
  } else if (*pcbData < cb) {
    return FALSE;
  }
  memcpy(*ppData, data.data(), cb);
  *pcbData = cb;
  return TRUE;
}

CXTPPropExchange* CXTPPropExchangeRegistry::GetSection(LPCTSTR pszSection) {
  HKEY hParent = OnBeforeExchange() ? m_hSectionKey : nullptr;
  CXTPPropExchangeRegistry* pSection = new CXTPPropExchangeRegistry(m_bLoading, hParent, pszSection);
  pSection->InheritPropertiesFrom(this);
  return pSection;
}

void CXTPPropExchangeRegistry::EmptySection() {
  CXTPPropExchange::EmptySection();
  if (m_hSectionKey != nullptr) {
    ::RegCloseKey(m_hSectionKey);
    m_hSectionKey = nullptr;
  }
  m_bOpenTried = FALSE;
  if (m_hParentKey != nullptr && !m_strSectionName.IsEmpty()) {
    ::RegDeleteTreeW(m_hParentKey, m_strSectionName);
    ::RegDeleteKeyW(m_hParentKey, m_strSectionName);
  }
}

DWORD CXTPPropExchangeRegistry::GetSubkeyCount() {
  if (!OnBeforeExchange()) return 0;
  DWORD nSubKeys = 0;
  if (::RegQueryInfoKeyW(m_hSectionKey, nullptr, nullptr, nullptr, &nSubKeys, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return 0;
  return nSubKeys;
}

BOOL CXTPPropExchangeRegistry::IsAllowDefaultValues() { return TRUE; }
BOOL CXTPPropExchangeRegistry::IsAllowBlobValues() { return TRUE; }

// ---------------------------------------------------------------------------------------
CXTPPropExchangeEnumerator::CXTPPropExchangeEnumerator(CXTPPropExchange* pContainer, LPCTSTR pszPrefix)
    : m_pContainer(pContainer), m_strPrefix(pszPrefix ? pszPrefix : _T("")), m_nCount(0) {}

CXTPPropExchangeEnumerator::~CXTPPropExchangeEnumerator() = default;

POSITION CXTPPropExchangeEnumerator::GetPosition(DWORD dwCount, BOOL bCompactMode) {
  m_nCount = dwCount;
  if (m_pContainer == nullptr) return nullptr;
  if (!bCompactMode) {
    int nCount = static_cast<int>(dwCount);
    PX_Int(m_pContainer, _T("Count"), nCount, 0);
    m_nCount = static_cast<DWORD>(nCount);
  } else if (m_pContainer->IsLoading()) {
    m_nCount = m_pContainer->ReadCount();
  } else {
    m_pContainer->WriteCount(dwCount);
  }
  if (m_pContainer->IsLoading() && m_nCount != 0) {
    // Every item is a section of its own: a damaged count asking for more items than the
    // store holds would otherwise run billions of empty sections.
    if (m_pContainer->IsKindOf(RUNTIME_CLASS(CXTPPropExchangeArchive))) {
      const ULONGLONG nLeft = static_cast<CXTPPropExchangeArchive*>(m_pContainer)->GetBytesLeft();
      if (m_nCount > nLeft) m_nCount = static_cast<DWORD>(nLeft);
    } else if (m_pContainer->IsKindOf(RUNTIME_CLASS(CXTPPropExchangeRegistry))) {
      const DWORD nSubKeys = static_cast<CXTPPropExchangeRegistry*>(m_pContainer)->GetSubkeyCount();
      if (m_nCount > nSubKeys) m_nCount = nSubKeys;
    }
  }
  return m_nCount != 0 ? reinterpret_cast<POSITION>(static_cast<UINT_PTR>(1)) : nullptr;
}

CXTPPropExchange* CXTPPropExchangeEnumerator::GetNext(POSITION& pos) {
  const UINT_PTR nPos = reinterpret_cast<UINT_PTR>(pos);
  if (m_pContainer == nullptr || nPos == 0) {
    pos = nullptr;
    return nullptr;
  }
  const DWORD nIndex = static_cast<DWORD>(nPos - 1);
  CString strSection;
  strSection.Format(_T("%s%i"), m_strPrefix.GetString(), static_cast<int>(nIndex));
  CXTPPropExchange* pSection = m_pContainer->GetSection(strSection);
  pos = nIndex + 1 < m_nCount ? reinterpret_cast<POSITION>(nPos + 1) : nullptr;
  return pSection;
}

// ---------------------------------------------------------------------------------------
BOOL AFXAPI PX_Int(CXTPPropExchange* pPX, LPCTSTR pszPropName, int& nValue) {
  return pPX ? pPX->ExchangeProp(pszPropName, PXVT_INT, &nValue, nullptr) : FALSE;
}

BOOL AFXAPI PX_Int(CXTPPropExchange* pPX, LPCTSTR pszPropName, int& nValue, int nDefault) {
  return pPX ? pPX->ExchangeProp(pszPropName, PXVT_INT, &nValue, &nDefault) : FALSE;
}

BOOL AFXAPI PX_Bool(CXTPPropExchange* pPX, LPCTSTR pszPropName, BOOL& bValue, BOOL bDefault) {
  return pPX ? pPX->ExchangeProp(pszPropName, PXVT_BOOL, &bValue, &bDefault) : FALSE;
}

BOOL AFXAPI PX_String(CXTPPropExchange* pPX, LPCTSTR pszPropName, CString& strValue) {
  return pPX ? pPX->ExchangeProp(pszPropName, PXVT_STRING, &strValue, nullptr) : FALSE;
}

BOOL AFXAPI PX_String(CXTPPropExchange* pPX, LPCTSTR pszPropName, CString& strValue, LPCTSTR pszDefault) {
  if (pPX == nullptr) return FALSE;
  if (pszDefault == nullptr) return pPX->ExchangeProp(pszPropName, PXVT_STRING, &strValue, nullptr);
  const CString strDefault(pszDefault);
  return pPX->ExchangeProp(pszPropName, PXVT_STRING, &strValue, &strDefault);
}

BOOL AFXAPI PX_Size(CXTPPropExchange* pPX, LPCTSTR pszPropName, CSize& szValue, CSize szDefault) {
  return pPX ? pPX->ExchangeProp(pszPropName, PXVT_SIZE, &szValue, &szDefault) : FALSE;
}

BOOL AFXAPI PX_Rect(CXTPPropExchange* pPX, LPCTSTR pszPropName, CRect& rcValue, CRect rcDefault) {
  return pPX ? pPX->ExchangeProp(pszPropName, PXVT_RECT, &rcValue, &rcDefault) : FALSE;
}

BOOL AFXAPI PX_RuntimeClass(CXTPPropExchange* pPX, LPCTSTR pszPropName, CRuntimeClass*& pClass,
                            CRuntimeClass* pDefaultClass) {
  return pPX ? pPX->ExchangeRuntimeClass(pszPropName, &pClass, pDefaultClass) : FALSE;
}

BOOL AFXAPI PX_Blob(CXTPPropExchange* pPX, LPCTSTR pszPropName, BYTE*& pData, DWORD& nBytes) {
  return pPX ? pPX->ExchangeBlob(pszPropName, &pData, &nBytes) : FALSE;
}

BOOL AFXAPI PX_Serialize(CXTPPropExchange* pPX, LPCTSTR pszPropName, CObject* pObject) {
  if (pPX == nullptr || pObject == nullptr) return FALSE;
  CArchive* pArchive = pPX->GetArchive(pszPropName);
  if (pArchive == nullptr) return FALSE;
  BOOL bResult = TRUE;
  try {
    pObject->Serialize(*pArchive);
  } catch (CArchiveException* e) {
    e->Delete();
    bResult = FALSE;
  } catch (COleException* e) {
    e->Delete();
    bResult = FALSE;
  } catch (CMemoryException* e) {
    // A damaged count asking for more memory than there is.
    e->Delete();
    bResult = FALSE;
  } catch (const std::bad_alloc&) {
    bResult = FALSE;
  } catch (...) {
    pPX->ReleaseArchive(pszPropName, pArchive);
    throw;
  }
  pPX->ReleaseArchive(pszPropName, pArchive);
  return bResult;
}
