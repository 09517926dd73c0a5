// Saving and loading an object's settings through one code path, into a CArchive stream
// or under a registry key.
//
// An object writes one DoPropExchange(CXTPPropExchange*): it names each value, gives its
// type and default, opens sections for sub-objects and enumerators for lists; the
// exchange decides where and how each value goes:
//
//   type  value                      archive form                 registry form
//   2     short                      2 bytes                      REG_DWORD
//   3     int / DWORD                4 bytes                      REG_DWORD
//   11    BOOL                       4 bytes                      REG_DWORD
//   17    BYTE                       1 byte                       REG_DWORD
//   30    CString                    the CString archive form     REG_SZ with terminator
//   100   RECT / CRect               left, top, right, bottom     REG_SZ "%i, %i, %i, %i"
//   101   SIZE / CSize / POINT       cx, cy                       REG_SZ "%i, %i"
//   blob  bytes                      archive count, the bytes     REG_BINARY
//
// Every operation answers FALSE (or 0, or null) instead of throwing; only PX_Serialize
// runs foreign code (the object's Serialize) and turns its archive, OLE and memory
// exceptions into FALSE.
#pragma once

#include <framework.h>

// Value types of ExchangeProp.
enum {
  PXVT_SHORT = 2,    // short
  PXVT_INT = 3,      // int, LONG, DWORD
  PXVT_BOOL = 11,    // BOOL (4 bytes)
  PXVT_BYTE = 17,    // BYTE
  PXVT_STRING = 30,  // CString
  PXVT_RECT = 100,   // RECT, CRect
  PXVT_SIZE = 101,   // SIZE, CSize, POINT, CPoint
};

// The format version exchanging objects may consult; sections inherit it.
#define XTP_PX_DEFAULT_SCHEMA 16

class CXTPPropExchangeEnumerator;

// ---------------------------------------------------------------------------------------
class CXTPPropExchange : public CCmdTarget {
  DECLARE_DYNAMIC(CXTPPropExchange)

 public:
  CXTPPropExchange();
  ~CXTPPropExchange() override;

  BOOL IsLoading() const { return m_bLoading; }
  BOOL IsStoring() const { return !m_bLoading; }
  // TRUE for exchanges made by GetSection.
  BOOL IsSection() const { return m_bSection; }
  BOOL IsRootSection() const { return !m_bSection; }
  BOOL IsInitialized() const { return m_bInitialized; }

  // Format version (16 by default); reading a class from an archive sets it to the
  // class's stored schema.
  DWORD GetSchema() const { return m_dwSchema; }
  void SetSchema(DWORD dwSchema) { m_dwSchema = dwSchema; }
  // A pointer the caller hands down to the exchanging objects; sections inherit it.
  void* GetContext() const { return m_pContext; }
  void SetContext(void* pContext) { m_pContext = pContext; }
  void* GetUserParam() const { return m_pContext; }
  void SetUserParam(void* pParam) { m_pContext = pParam; }
  // Set by EmptySection: nothing stored needs deleting any more (also called the
  // no-delete flag).
  BOOL IsEmptied() const { return m_bEmptied; }
  BOOL IsNoDelete() const { return m_bEmptied; }
  void SetEmptied(BOOL bEmptied) { m_bEmptied = bEmptied; }
  // A value that cannot be read takes its default (TRUE by default).
  void UseDefaultOnLoad(BOOL bUseDefault = TRUE) { m_bUseDefaultOnLoad = bUseDefault; }
  BOOL IsUseDefaultOnLoad() const { return m_bUseDefaultOnLoad; }
  // A value equal to its default is not stored (TRUE by default).
  void UseDefaultOnSave(BOOL bUseDefault = TRUE) { m_bUseDefaultOnSave = bUseDefault; }
  BOOL IsUseDefaultOnSave() const { return m_bUseDefaultOnSave; }

  // --- overridable operations, in this order ---
  virtual BOOL ExchangeProp(LPCTSTR pszPropName, int nType, void* pvProp, const void* pvDefault) = 0;
  // Loading with *ppData null allocates the bytes with malloc (the caller frees them with
  // free) and sets *pcbData; with a buffer, *pcbData is its size and becomes the size read.
  virtual BOOL ExchangeBlob(LPCTSTR pszPropName, BYTE** ppData, DWORD* pcbData);
  virtual BOOL ExchangeRuntimeClass(LPCTSTR pszPropName, CRuntimeClass** ppClass,
                                    CRuntimeClass* pDefaultClass);
  // Storing writes the object's class under "Class"; loading creates an object of the
  // stored class when it derives from pBaseClass (nothing is created otherwise).
  virtual BOOL ExchangeObjectInstance(CObject** ppObject, CRuntimeClass* pBaseClass);
  // A nested archive for a value: null when there is nothing to read. Hand it back with
  // ReleaseArchive.
  virtual CArchive* GetArchive(LPCTSTR pszPropName);
  virtual void ReleaseArchive(LPCTSTR pszPropName, CArchive* pArchive);
  // A sub-section; the caller releases it (InternalRelease, or a CXTPPropExchangeSection).
  virtual CXTPPropExchange* GetSection(LPCTSTR pszSection) = 0;
  virtual void EmptySection();
  virtual void WriteCount(DWORD dwCount);
  virtual DWORD ReadCount();
  virtual void Write(LPCTSTR pszPropName, const void* lpBuf, UINT nCount);
  // The number of bytes read (the stored size), 0 on failure.
  virtual UINT Read(LPCTSTR pszPropName, void* lpBuf, UINT nCount);
  virtual BOOL IsAllowDefaultValues();
  virtual BOOL IsAllowBlobValues();
  // Called at the start of every value operation; FALSE makes it fail.
  virtual BOOL OnBeforeExchange();
  // Enumerates sections named prefix + index; the caller deletes it.
  virtual CXTPPropExchangeEnumerator* GetEnumerator(LPCTSTR pszPrefix);

  // --- helpers ---
  // The number of bytes two values of a type are compared over; 0 for an unknown type.
  static int PASCAL GetSizeOfType(int nType);
  // Equal values (strings case-sensitively); a missing default never equals a value.
  static BOOL PASCAL IsSamePropValue(int nType, const void* pv1, const void* pv2);
  // Copies the default into the value (nothing for a null default or unknown type).
  static BOOL PASCAL CopyPropValue(int nType, void* pvDest, const void* pvSrc);
  // What a section takes from the exchange it was made from.
  void InheritPropertiesFrom(const CXTPPropExchange* pParent);

 protected:
  // Takes the default when loading failed: TRUE when one was given and defaults are used
  // on loading, else FALSE with the value untouched.
  BOOL TakeDefault(int nType, void* pvProp, const void* pvDefault);

  void* m_pContext;
  BOOL m_bLoading;
  DWORD m_dwSchema;
  BOOL m_bSection;
  BOOL m_bEmptied;
  BOOL m_bInitialized;
  BOOL m_bUseDefaultOnLoad;
  BOOL m_bUseDefaultOnSave;
};

// ---------------------------------------------------------------------------------------
// Values in sequence, without names, over a CArchive the caller owns.
class CXTPPropExchangeArchive : public CXTPPropExchange {
  DECLARE_DYNAMIC(CXTPPropExchangeArchive)

 public:
  explicit CXTPPropExchangeArchive(CArchive& ar);

  BOOL ExchangeProp(LPCTSTR pszPropName, int nType, void* pvProp, const void* pvDefault) override;
  BOOL ExchangeBlob(LPCTSTR pszPropName, BYTE** ppData, DWORD* pcbData) override;
  BOOL ExchangeRuntimeClass(LPCTSTR pszPropName, CRuntimeClass** ppClass,
                            CRuntimeClass* pDefaultClass) override;
  BOOL ExchangeObjectInstance(CObject** ppObject, CRuntimeClass* pBaseClass) override;
  CArchive* GetArchive(LPCTSTR pszPropName) override;
  void ReleaseArchive(LPCTSTR pszPropName, CArchive* pArchive) override;
  CXTPPropExchange* GetSection(LPCTSTR pszSection) override;
  void WriteCount(DWORD dwCount) override;
  DWORD ReadCount() override;
  void Write(LPCTSTR pszPropName, const void* lpBuf, UINT nCount) override;
  UINT Read(LPCTSTR pszPropName, void* lpBuf, UINT nCount) override;
  BOOL IsAllowDefaultValues() override;
  BOOL IsAllowBlobValues() override;

  CArchive& GetArchiveRef() const { return m_ar; }
  // Bytes that remain to be read (loading), or SIZE_MAX when the file cannot tell.
  ULONGLONG GetBytesLeft();

 protected:
  CArchive& m_ar;
};

// ---------------------------------------------------------------------------------------
// Each value a registry value under the section's key; each section a subkey.
class CXTPPropExchangeRegistry : public CXTPPropExchange {
  DECLARE_DYNAMIC(CXTPPropExchangeRegistry)

 public:
  // The section key is opened (created) under hParentKey on the first value.
  CXTPPropExchangeRegistry(BOOL bLoading, HKEY hParentKey, LPCTSTR pszSection);
  // Closes the section key.
  ~CXTPPropExchangeRegistry() override;

  BOOL ExchangeProp(LPCTSTR pszPropName, int nType, void* pvProp, const void* pvDefault) override;
  BOOL ExchangeBlob(LPCTSTR pszPropName, BYTE** ppData, DWORD* pcbData) override;
  CXTPPropExchange* GetSection(LPCTSTR pszSection) override;
  // Closes the key and deletes it with everything below it; the next value creates it
  // again.
  void EmptySection() override;
  BOOL IsAllowDefaultValues() override;
  BOOL IsAllowBlobValues() override;
  BOOL OnBeforeExchange() override;

  HKEY GetSectionKey() const { return m_hSectionKey; }
  // The number of subkeys of the section key (opened first); 0 when it cannot be opened.
  DWORD GetSubkeyCount();
  HKEY GetParentKey() const { return m_hParentKey; }
  CString GetSectionName() const { return m_strSectionName; }

 protected:
  HKEY m_hSectionKey;  // owned, null until opened
  HKEY m_hParentKey;   // not owned
  CString m_strSectionName;
  BOOL m_bOpenTried;  // a failed open is not retried until EmptySection
};

// ---------------------------------------------------------------------------------------
// Sections named prefix + index ("Icon0", "Icon1", ...) with a count.
class CXTPPropExchangeEnumerator {
 public:
  CXTPPropExchangeEnumerator(CXTPPropExchange* pContainer, LPCTSTR pszPrefix);
  virtual ~CXTPPropExchangeEnumerator();

  // Exchanges the count (the number of items when storing; read when loading):
  // compact through ReadCount / WriteCount, else as the int "Count". The start position,
  // null when there are no items. A count read that is more than the store can hold (an
  // archive's bytes left, a registry key's subkeys) is cut to that.
  virtual POSITION GetPosition(DWORD dwCount = 0, BOOL bCompactMode = TRUE);
  // The next item's section (the caller releases it) and the position after it, null
  // after the last one.
  virtual CXTPPropExchange* GetNext(POSITION& pos);

  DWORD GetCount() const { return m_nCount; }

 protected:
  CXTPPropExchange* m_pContainer;  // not owned
  CString m_strPrefix;
  DWORD m_nCount;
};

// ---------------------------------------------------------------------------------------
// Holds a section and releases it when it goes out of scope (exceptions included).
class CXTPPropExchangeSection {
 public:
  explicit CXTPPropExchangeSection(CXTPPropExchange* pSection) : m_pSection(pSection) {}
  CXTPPropExchangeSection(CXTPPropExchange* pContainer, LPCTSTR pszSection)
      : m_pSection(pContainer ? pContainer->GetSection(pszSection) : nullptr) {}
  ~CXTPPropExchangeSection() {
    if (m_pSection) m_pSection->InternalRelease();
  }
  CXTPPropExchange* operator->() const { return m_pSection; }
  operator CXTPPropExchange*() const { return m_pSection; }
  CXTPPropExchange* GetSection() const { return m_pSection; }

 private:
  CXTPPropExchange* m_pSection;
  CXTPPropExchangeSection(const CXTPPropExchangeSection&) = delete;
  CXTPPropExchangeSection& operator=(const CXTPPropExchangeSection&) = delete;
};

// Holds an enumerator and deletes it when it goes out of scope.
class CXTPPropExchangeEnumeratorPtr {
 public:
  explicit CXTPPropExchangeEnumeratorPtr(CXTPPropExchangeEnumerator* pEnumerator)
      : m_pEnumerator(pEnumerator) {}
  ~CXTPPropExchangeEnumeratorPtr() { delete m_pEnumerator; }
  CXTPPropExchangeEnumerator* operator->() const { return m_pEnumerator; }
  operator CXTPPropExchangeEnumerator*() const { return m_pEnumerator; }

 private:
  CXTPPropExchangeEnumerator* m_pEnumerator;
  CXTPPropExchangeEnumeratorPtr(const CXTPPropExchangeEnumeratorPtr&) = delete;
  CXTPPropExchangeEnumeratorPtr& operator=(const CXTPPropExchangeEnumeratorPtr&) = delete;
};

// ---------------------------------------------------------------------------------------
// The usual way to exchange values. Defaults are passed by value.
BOOL AFXAPI PX_Int(CXTPPropExchange* pPX, LPCTSTR pszPropName, int& nValue);
BOOL AFXAPI PX_Int(CXTPPropExchange* pPX, LPCTSTR pszPropName, int& nValue, int nDefault);
BOOL AFXAPI PX_Bool(CXTPPropExchange* pPX, LPCTSTR pszPropName, BOOL& bValue, BOOL bDefault);
BOOL AFXAPI PX_String(CXTPPropExchange* pPX, LPCTSTR pszPropName, CString& strValue);
BOOL AFXAPI PX_String(CXTPPropExchange* pPX, LPCTSTR pszPropName, CString& strValue,
                      LPCTSTR pszDefault);
BOOL AFXAPI PX_Size(CXTPPropExchange* pPX, LPCTSTR pszPropName, CSize& szValue, CSize szDefault);
BOOL AFXAPI PX_Rect(CXTPPropExchange* pPX, LPCTSTR pszPropName, CRect& rcValue, CRect rcDefault);
BOOL AFXAPI PX_RuntimeClass(CXTPPropExchange* pPX, LPCTSTR pszPropName, CRuntimeClass*& pClass,
                            CRuntimeClass* pDefaultClass);
BOOL AFXAPI PX_Blob(CXTPPropExchange* pPX, LPCTSTR pszPropName, BYTE*& pData, DWORD& nBytes);
// The object's Serialize on the nested archive of the value; FALSE when there is none
// (nothing stored) or Serialize throws an archive, OLE or memory exception.
BOOL AFXAPI PX_Serialize(CXTPPropExchange* pPX, LPCTSTR pszPropName, CObject* pObject);
