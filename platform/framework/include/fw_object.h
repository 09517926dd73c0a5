// Root of the framework's class tree: run-time class records, dynamic creation by name,
// serialization hooks, diagnostics macros and the module handles every layer needs.
#pragma once

#include <windows.h>

#include <cstddef>

#ifndef AFXAPI
#define AFXAPI __stdcall
#endif
#ifndef AFX_CDECL
#define AFX_CDECL __cdecl
#endif
#ifndef AFX_DATA
#define AFX_DATA
#endif
#ifndef AFX_NOVTABLE
#define AFX_NOVTABLE
#endif

class CObject;
class CArchive;
class CDumpContext;
class CString;

// The schema bit a class sets when it reads older versions of itself: loading then
// accepts any stored schema and hands it to Serialize through CArchive::GetObjectSchema.
#define VERSIONABLE_SCHEMA (0x80000000)

// ---------------------------------------------------------------------------------------
// Run-time class record: one static instance per class declared DYNAMIC, DYNCREATE or
// SERIAL. Every record registers itself at start-up so that archives can find classes by
// their stored name.
struct CRuntimeClass {
  LPCSTR m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;                         // 0xFFFF: not serializable
  CObject*(PASCAL* m_pfnCreateObject)();  // NULL: not dynamically creatable
  CRuntimeClass* m_pBaseClass;
  CRuntimeClass* m_pNextClass;  // registration chain, filled in at start-up

  CObject* CreateObject();
  BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

  static CRuntimeClass* PASCAL FromName(LPCSTR lpszClassName);
  static CRuntimeClass* PASCAL FromName(LPCWSTR lpszClassName);
  static CObject* PASCAL CreateObject(LPCSTR lpszClassName);
  static CObject* PASCAL CreateObject(LPCWSTR lpszClassName);

  // Archive form of a class record: WORD schema, WORD name length, ASCII name.
  void Store(CArchive& ar) const;
  static CRuntimeClass* PASCAL Load(CArchive& ar, UINT* pwSchemaNum);
};

// Adds a run-time class to the registry searched by CRuntimeClass::FromName.
struct AFX_CLASSINIT {
  explicit AFX_CLASSINIT(CRuntimeClass* pNewClass);
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)       \
 public:                                  \
  static CRuntimeClass class##class_name; \
  CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* PASCAL CreateObject();

#define DECLARE_SERIAL(class_name) \
  DECLARE_DYNCREATE(class_name)    \
  friend CArchive& AFXAPI operator>>(CArchive& ar, class_name*& pOb);

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew)     \
  CRuntimeClass class_name::class##class_name = {#class_name,                    \
                                                 sizeof(class class_name),       \
                                                 wSchema,                        \
                                                 pfnNew,                         \
                                                 RUNTIME_CLASS(base_class_name), \
                                                 NULL};                          \
  static const AFX_CLASSINIT _init_##class_name(RUNTIME_CLASS(class_name));      \
  CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
  IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, NULL)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                \
  CObject* PASCAL class_name::CreateObject() { return new class_name; } \
  IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema)                           \
  CObject* PASCAL class_name::CreateObject() { return new class_name; }                  \
  IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, class_name::CreateObject) \
  CArchive& AFXAPI operator>>(CArchive& ar, class_name*& pOb) {                          \
    pOb = static_cast<class_name*>(ar.ReadObject(RUNTIME_CLASS(class_name)));            \
    return ar;                                                                           \
  }

// ---------------------------------------------------------------------------------------
class CObject {
 public:
  virtual CRuntimeClass* GetRuntimeClass() const;
  virtual ~CObject() = default;

  BOOL IsSerializable() const;
  BOOL IsKindOf(const CRuntimeClass* pClass) const;

  virtual void Serialize(CArchive& ar);
  virtual void AssertValid() const;
  virtual void Dump(CDumpContext& dc) const;

  static CRuntimeClass classCObject;

 protected:
  CObject() = default;
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};

// ---------------------------------------------------------------------------------------
// Diagnostics. Nothing here ever opens a message box: failures and traces go to stderr
// (and the debugger output), so that programs under test never block.
class CDumpContext {
 public:
  CDumpContext& operator<<(LPCWSTR lpsz);
  CDumpContext& operator<<(LPCSTR lpsz);
  CDumpContext& operator<<(const CString& str);
  CDumpContext& operator<<(const void* lp);
  CDumpContext& operator<<(const CObject* pOb);
  CDumpContext& operator<<(const CObject& ob);
  CDumpContext& operator<<(int n);
  CDumpContext& operator<<(UINT n);
  CDumpContext& operator<<(LONG n);
  CDumpContext& operator<<(DWORD n);
  CDumpContext& operator<<(LONGLONG n);
  CDumpContext& operator<<(ULONGLONG n);
  CDumpContext& operator<<(double d);
  int GetDepth() const { return m_nDepth; }
  void SetDepth(int nNewDepth) { m_nDepth = nNewDepth; }
  void Flush();

 private:
  int m_nDepth = 0;
};
extern CDumpContext afxDump;

// Reports a failed assertion on stderr; returns FALSE (never breaks into a debugger).
BOOL AFXAPI AfxAssertFailedLine(LPCSTR lpszFileName, int nLine, LPCSTR lpszExpression);
// Number of assertion failures reported so far in this process (tests check it).
LONG AFXAPI AfxGetAssertFailureCount();
void AFX_CDECL AfxTrace(LPCWSTR lpszFormat, ...);
void AFX_CDECL AfxTrace(LPCSTR lpszFormat, ...);
void AFXAPI AfxAssertValidObject(const CObject* pOb, LPCSTR lpszFileName, int nLine);
BOOL AFXAPI AfxIsValidAddress(const void* lp, UINT_PTR nBytes, BOOL bReadWrite = TRUE);
BOOL AFXAPI AfxIsValidString(LPCWSTR lpsz, int nLength = -1);
BOOL AFXAPI AfxIsValidString(LPCSTR lpsz, int nLength = -1);

#ifndef NDEBUG
#define ASSERT(f) ((void)((f) || (AfxAssertFailedLine(__FILE__, __LINE__, #f), 0)))
#define VERIFY(f) ASSERT(f)
#define ASSERT_VALID(pOb) (AfxAssertValidObject((pOb), __FILE__, __LINE__))
#define TRACE AfxTrace
#else
#define ASSERT(f) ((void)0)
#define VERIFY(f) ((void)(f))
#define ASSERT_VALID(pOb) ((void)0)
#define TRACE(...) ((void)0)
#endif
#define ASSERT_KINDOF(class_name, object) ASSERT((object)->IsKindOf(RUNTIME_CLASS(class_name)))
#define ASSERT_POINTER(p, type) ASSERT(((p) != NULL) && AfxIsValidAddress((p), sizeof(type), FALSE))
#define ASSERT_NULL_OR_POINTER(p, type) \
  ASSERT(((p) == NULL) || AfxIsValidAddress((p), sizeof(type), FALSE))
#define TRACE0(sz) TRACE(_T("%s"), _T(sz))
#define TRACE1(sz, p1) TRACE(_T(sz), p1)
#define TRACE2(sz, p1, p2) TRACE(_T(sz), p1, p2)
#define TRACE3(sz, p1, p2, p3) TRACE(_T(sz), p1, p2, p3)
#define DEBUG_NEW new
#define DEBUG_ONLY(f) (f)
#define UNUSED(x) (void)(x)
#define UNUSED_ALWAYS(x) (void)(x)

// ---------------------------------------------------------------------------------------
// Module handles. The instance handle defaults to the executable's; the application
// object sets it at start-up, and resources load from the resource handle.
HINSTANCE AFXAPI AfxGetInstanceHandle();
void AFXAPI AfxSetInstanceHandle(HINSTANCE hInstance);
HINSTANCE AFXAPI AfxGetResourceHandle();
void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource);

// ---------------------------------------------------------------------------------------
// Throwing framework exceptions (classes in fw_except.h). All throw a heap pointer the
// catcher releases with Delete().
[[noreturn]] void AFXAPI AfxThrowMemoryException();
[[noreturn]] void AFXAPI AfxThrowNotSupportedException();
[[noreturn]] void AFXAPI AfxThrowInvalidArgException();
[[noreturn]] void AFXAPI AfxThrowResourceException();
[[noreturn]] void AFXAPI AfxThrowUserException();
[[noreturn]] void AFXAPI AfxThrowFileException(int cause, LONG lOsError = -1,
                                               LPCWSTR lpszFileName = NULL);
[[noreturn]] void AFXAPI AfxThrowArchiveException(int cause, LPCWSTR lpszArchiveName = NULL);
