// Run-time class registry, CObject basics, diagnostics and module handles.
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "framework.h"

namespace {

// Head of the registration chain. Records are linked during static initialization, so a
// plain pointer (zero-initialized before any constructor runs) is enough; the mutex only
// guards registrations from DLLs loaded later on other threads.
CRuntimeClass* g_pFirstClass = nullptr;
std::mutex& RegistryMutex() {
  static std::mutex m;
  return m;
}

HINSTANCE g_hInstance = nullptr;
HINSTANCE g_hResource = nullptr;
LONG g_nAssertFailures = 0;

std::string Narrow(LPCWSTR lpsz) {
  int n = ::WideCharToMultiByte(CP_ACP, 0, lpsz, -1, nullptr, 0, nullptr, nullptr);
  std::string s(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) ::WideCharToMultiByte(CP_ACP, 0, lpsz, -1, &s[0], n, nullptr, nullptr);
  return s;
}

// Diagnostics go to stderr and to the debugger output.
void DiagnosticOutput(const char* lpsz) {
  fputs(lpsz, stderr);
  fflush(stderr);
  ::OutputDebugStringA(lpsz);
}

}  // namespace

// ---------------------------------------------------------------------------------------
AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* pNewClass) {
  std::lock_guard<std::mutex> lock(RegistryMutex());
  pNewClass->m_pNextClass = g_pFirstClass;
  g_pFirstClass = pNewClass;
}

CObject* CRuntimeClass::CreateObject() {
  if (m_pfnCreateObject == nullptr) {
    TRACE(L"Error: cannot create an object of class %S: it is not DYNCREATE or SERIAL\n",
          m_lpszClassName);
    return nullptr;
  }
  return (*m_pfnCreateObject)();
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
  for (const CRuntimeClass* p = this; p != nullptr; p = p->m_pBaseClass)
    if (p == pBaseClass) return TRUE;
  return FALSE;
}

CRuntimeClass* PASCAL CRuntimeClass::FromName(LPCSTR lpszClassName) {
  if (lpszClassName == nullptr) return nullptr;
  std::lock_guard<std::mutex> lock(RegistryMutex());
  for (CRuntimeClass* p = g_pFirstClass; p != nullptr; p = p->m_pNextClass)
    if (strcmp(p->m_lpszClassName, lpszClassName) == 0) return p;
  return nullptr;
}

CRuntimeClass* PASCAL CRuntimeClass::FromName(LPCWSTR lpszClassName) {
  return lpszClassName ? FromName(Narrow(lpszClassName).c_str()) : nullptr;
}

CObject* PASCAL CRuntimeClass::CreateObject(LPCSTR lpszClassName) {
  CRuntimeClass* p = FromName(lpszClassName);
  return p ? p->CreateObject() : nullptr;
}

CObject* PASCAL CRuntimeClass::CreateObject(LPCWSTR lpszClassName) {
  CRuntimeClass* p = FromName(lpszClassName);
  return p ? p->CreateObject() : nullptr;
}

// ---------------------------------------------------------------------------------------
CRuntimeClass CObject::classCObject = {"CObject", sizeof(CObject), 0xFFFF,
                                       nullptr,   nullptr,         nullptr};
static const AFX_CLASSINIT _init_CObject(&CObject::classCObject);

CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

BOOL CObject::IsSerializable() const { return GetRuntimeClass()->m_wSchema != 0xFFFF; }

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const {
  return GetRuntimeClass()->IsDerivedFrom(pClass);
}

void CObject::Serialize(CArchive&) {}
void CObject::AssertValid() const {}

void CObject::Dump(CDumpContext& dc) const {
  dc << "a " << GetRuntimeClass()->m_lpszClassName << " at " << static_cast<const void*>(this)
     << "\n";
}

// ---------------------------------------------------------------------------------------
CDumpContext afxDump;

CDumpContext& CDumpContext::operator<<(LPCSTR lpsz) {
  DiagnosticOutput(lpsz ? lpsz : "(null)");
  return *this;
}
CDumpContext& CDumpContext::operator<<(LPCWSTR lpsz) {
  return *this << (lpsz ? Narrow(lpsz).c_str() : "(null)");
}
CDumpContext& CDumpContext::operator<<(const CString& str) { return *this << str.GetString(); }

template <class T>
static CDumpContext& DumpFormatted(CDumpContext& dc, const char* fmt, T value) {
  char buf[64];
  snprintf(buf, sizeof(buf), fmt, value);
  return dc << buf;
}
CDumpContext& CDumpContext::operator<<(const void* lp) { return DumpFormatted(*this, "$%p", lp); }
CDumpContext& CDumpContext::operator<<(int n) { return DumpFormatted(*this, "%d", n); }
CDumpContext& CDumpContext::operator<<(UINT n) { return DumpFormatted(*this, "%u", n); }
CDumpContext& CDumpContext::operator<<(LONG n) { return DumpFormatted(*this, "%ld", n); }
CDumpContext& CDumpContext::operator<<(DWORD n) { return DumpFormatted(*this, "%lu", n); }
CDumpContext& CDumpContext::operator<<(LONGLONG n) { return DumpFormatted(*this, "%lld", n); }
CDumpContext& CDumpContext::operator<<(ULONGLONG n) { return DumpFormatted(*this, "%llu", n); }
CDumpContext& CDumpContext::operator<<(double d) { return DumpFormatted(*this, "%g", d); }
CDumpContext& CDumpContext::operator<<(const CObject* pOb) {
  if (pOb == nullptr) return *this << "NULL";
  pOb->Dump(*this);
  return *this;
}
CDumpContext& CDumpContext::operator<<(const CObject& ob) { return *this << &ob; }
void CDumpContext::Flush() { fflush(stderr); }

// ---------------------------------------------------------------------------------------
BOOL AFXAPI AfxAssertFailedLine(LPCSTR lpszFileName, int nLine, LPCSTR lpszExpression) {
  ::InterlockedIncrement(&g_nAssertFailures);
  char buf[1024];
  snprintf(buf, sizeof(buf), "%s(%d): assertion failed: %s\n", lpszFileName ? lpszFileName : "?",
           nLine, lpszExpression ? lpszExpression : "");
  DiagnosticOutput(buf);
  return FALSE;
}

LONG AFXAPI AfxGetAssertFailureCount() { return g_nAssertFailures; }

void AFX_CDECL AfxTrace(LPCWSTR lpszFormat, ...) {
  va_list args;
  va_start(args, lpszFormat);
  CString str;
  str.FormatV(lpszFormat, args);
  va_end(args);
  DiagnosticOutput(Narrow(str).c_str());
}

void AFX_CDECL AfxTrace(LPCSTR lpszFormat, ...) {
  va_list args;
  va_start(args, lpszFormat);
  char buf[2048];
  vsnprintf(buf, sizeof(buf), lpszFormat, args);
  va_end(args);
  DiagnosticOutput(buf);
}

void AFXAPI AfxAssertValidObject(const CObject* pOb, LPCSTR lpszFileName, int nLine) {
  if (pOb == nullptr) {
    AfxAssertFailedLine(lpszFileName, nLine, "ASSERT_VALID: NULL object");
    return;
  }
  pOb->AssertValid();
}

BOOL AFXAPI AfxIsValidAddress(const void* lp, UINT_PTR nBytes, BOOL) {
  return lp != nullptr || nBytes == 0;
}
BOOL AFXAPI AfxIsValidString(LPCWSTR lpsz, int) { return lpsz != nullptr; }
BOOL AFXAPI AfxIsValidString(LPCSTR lpsz, int) { return lpsz != nullptr; }

// ---------------------------------------------------------------------------------------
HINSTANCE AFXAPI AfxGetInstanceHandle() {
  return g_hInstance ? g_hInstance : ::GetModuleHandleW(nullptr);
}
void AFXAPI AfxSetInstanceHandle(HINSTANCE hInstance) { g_hInstance = hInstance; }
HINSTANCE AFXAPI AfxGetResourceHandle() {
  return g_hResource ? g_hResource : AfxGetInstanceHandle();
}
void AFXAPI AfxSetResourceHandle(HINSTANCE hInstResource) { g_hResource = hInstResource; }
