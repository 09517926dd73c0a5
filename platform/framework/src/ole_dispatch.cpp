// OLE initialisation, OLE exceptions, COleVariant and the automation client.
#include <cstring>
#include <memory>
#include <vector>

#include "framework.h"

IMPLEMENT_DYNAMIC(COleException, CException)
IMPLEMENT_DYNAMIC(COleDispatchException, CException)

// ---------------------------------------------------------------------------------------
namespace {

// Whether the thread's OleInitialize is still to be undone; the thread's end undoes it
// unless AfxOleTerm did already.
struct OleThreadState {
  bool initialized = false;
  ~OleThreadState() {
    if (initialized) ::OleUninitialize();
  }
};
using OwnedOleState = fwthread::ThreadOwned<OleThreadState>;

}  // namespace

BOOL AFXAPI AfxOleInit() {
  OleThreadState& state = OwnedOleState::Get();
  if (state.initialized) return TRUE;
  HRESULT hr = ::OleInitialize(nullptr);
  if (FAILED(hr)) return FALSE;  // e.g. RPC_E_CHANGED_MODE: the thread is multithreaded
  state.initialized = true;
  return TRUE;
}

void AFXAPI AfxOleTerm(BOOL bJustRevoke) {
  OleThreadState* pState = OwnedOleState::Find();
  if (bJustRevoke || pState == nullptr || !pState->initialized) return;
  pState->initialized = false;
  ::OleUninitialize();
}

BOOL AFXAPI AfxOleIsInitialized() {
  const OleThreadState* pState = OwnedOleState::Find();
  return pState != nullptr && pState->initialized;
}

// ---------------------------------------------------------------------------------------
SCODE PASCAL COleException::Process(const CException* pAnyException) {
  if (pAnyException == nullptr) return E_UNEXPECTED;
  if (pAnyException->IsKindOf(RUNTIME_CLASS(COleException)))
    return static_cast<const COleException*>(pAnyException)->m_sc;
  if (pAnyException->IsKindOf(RUNTIME_CLASS(COleDispatchException))) {
    SCODE sc = static_cast<const COleDispatchException*>(pAnyException)->m_scError;
    return sc != S_OK ? sc : DISP_E_EXCEPTION;
  }
  if (pAnyException->IsKindOf(RUNTIME_CLASS(CMemoryException))) return E_OUTOFMEMORY;
  if (pAnyException->IsKindOf(RUNTIME_CLASS(CNotSupportedException))) return E_NOTIMPL;
  return E_UNEXPECTED;
}

static BOOL CopyMessage(const CString& text, LPWSTR lpszError, UINT nMaxError) {
  if (lpszError == nullptr || nMaxError == 0) return FALSE;
  ::lstrcpynW(lpszError, text.GetString(), static_cast<int>(nMaxError));
  return TRUE;
}

BOOL COleException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  LPWSTR lpBuffer = nullptr;
  CString text;
  if (::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(m_sc), 0, reinterpret_cast<LPWSTR>(&lpBuffer), 0, nullptr) &&
      lpBuffer != nullptr) {
    text = lpBuffer;
    text.TrimRight();
    ::LocalFree(lpBuffer);
  }
  if (text.IsEmpty()) text.Format(L"OLE error 0x%08lX", static_cast<unsigned long>(m_sc));
  return CopyMessage(text, lpszError, nMaxError);
}

COleDispatchException::COleDispatchException(LPCTSTR lpszDescription, UINT nHelpID, WORD wCode)
    : m_wCode(wCode), m_dwHelpContext(nHelpID), m_strDescription(lpszDescription ? lpszDescription : L"") {}

BOOL COleDispatchException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = m_dwHelpContext;
  if (m_strDescription.IsEmpty()) return COleException(m_scError ? m_scError : DISP_E_EXCEPTION)
                                         .GetErrorMessage(lpszError, nMaxError);
  return CopyMessage(m_strDescription, lpszError, nMaxError);
}

void AFXAPI AfxThrowOleException(SCODE sc) { throw new COleException(sc); }

void AFXAPI AfxThrowOleDispatchException(WORD wCode, LPCTSTR lpszDescription, UINT nHelpID) {
  throw new COleDispatchException(lpszDescription, nHelpID, wCode);
}

void AFXAPI AfxThrowOleDispatchException(WORD wCode, UINT nDescriptionID, UINT nHelpID) {
  CString description;
  description.LoadString(nDescriptionID);
  throw new COleDispatchException(description, nHelpID == static_cast<UINT>(-1) ? nDescriptionID : nHelpID, wCode);
}

// ---------------------------------------------------------------------------------------
static void CheckVariantResult(HRESULT hr) {
  if (FAILED(hr)) AfxThrowOleException(hr);
}

COleVariant::COleVariant(const VARIANT& varSrc) {
  ::VariantInit(this);
  CheckVariantResult(::VariantCopy(this, const_cast<VARIANT*>(&varSrc)));
}
COleVariant::COleVariant(const COleVariant& varSrc) : COleVariant(static_cast<const VARIANT&>(varSrc)) {}
COleVariant::COleVariant(const VARIANT* pSrc) {
  ::VariantInit(this);
  if (pSrc) CheckVariantResult(::VariantCopy(this, const_cast<VARIANT*>(pSrc)));
}
COleVariant::COleVariant(LPCWSTR lpszSrc) {
  ::VariantInit(this);
  *this = lpszSrc;
}
COleVariant::COleVariant(const CString& strSrc) : COleVariant(strSrc.GetString()) {}
COleVariant::COleVariant(BYTE nSrc) {
  ::VariantInit(this);
  vt = VT_UI1;
  bVal = nSrc;
}
COleVariant::COleVariant(short nSrc, VARTYPE vtSrc) {
  ::VariantInit(this);
  if (vtSrc == VT_BOOL) {
    vt = VT_BOOL;
    boolVal = nSrc ? VARIANT_TRUE : VARIANT_FALSE;
  } else {
    vt = VT_I2;
    iVal = nSrc;
  }
}
COleVariant::COleVariant(long lSrc, VARTYPE vtSrc) {
  ::VariantInit(this);
  if (vtSrc == VT_BOOL) {
    vt = VT_BOOL;
    boolVal = lSrc ? VARIANT_TRUE : VARIANT_FALSE;
  } else {
    vt = vtSrc == VT_ERROR ? VT_ERROR : VT_I4;
    lVal = lSrc;
  }
}
COleVariant::COleVariant(float fltSrc) {
  ::VariantInit(this);
  vt = VT_R4;
  fltVal = fltSrc;
}
COleVariant::COleVariant(double dblSrc) {
  ::VariantInit(this);
  vt = VT_R8;
  dblVal = dblSrc;
}

const COleVariant& COleVariant::operator=(const VARIANT& varSrc) {
  if (&varSrc != this) CheckVariantResult(::VariantCopy(this, const_cast<VARIANT*>(&varSrc)));
  return *this;
}
const COleVariant& COleVariant::operator=(const COleVariant& varSrc) {
  return *this = static_cast<const VARIANT&>(varSrc);
}
const COleVariant& COleVariant::operator=(LPCWSTR lpszSrc) {
  ::VariantClear(this);
  if (lpszSrc == nullptr) return *this;  // stays VT_EMPTY
  vt = VT_BSTR;
  bstrVal = ::SysAllocString(lpszSrc);
  if (bstrVal == nullptr) {
    vt = VT_EMPTY;
    AfxThrowMemoryException();
  }
  return *this;
}
const COleVariant& COleVariant::operator=(long lSrc) {
  ::VariantClear(this);
  vt = VT_I4;
  lVal = lSrc;
  return *this;
}
bool COleVariant::operator==(const VARIANT& varSrc) const {
  if (vt != varSrc.vt) return false;
  return ::VarCmp(const_cast<COleVariant*>(this), const_cast<VARIANT*>(&varSrc), LOCALE_USER_DEFAULT, 0) == VARCMP_EQ;
}
VARIANT COleVariant::Detach() {
  VARIANT result = *this;
  vt = VT_EMPTY;
  return result;
}
void COleVariant::ChangeType(VARTYPE vartype, LPVARIANT pSrc) {
  if (pSrc == nullptr) pSrc = this;
  if (pSrc == this && vt == vartype) return;
  CheckVariantResult(::VariantChangeType(this, pSrc, 0, vartype));
}

// ---------------------------------------------------------------------------------------
COleDispatchDriver::COleDispatchDriver() : m_lpDispatch(nullptr), m_bAutoRelease(TRUE) {}

COleDispatchDriver::COleDispatchDriver(LPDISPATCH lpDispatch, BOOL bAutoRelease)
    : m_lpDispatch(lpDispatch), m_bAutoRelease(bAutoRelease) {}

COleDispatchDriver::COleDispatchDriver(const COleDispatchDriver& dispatchSrc)
    : m_lpDispatch(dispatchSrc.m_lpDispatch), m_bAutoRelease(TRUE) {
  if (m_lpDispatch) m_lpDispatch->AddRef();
}

const COleDispatchDriver& COleDispatchDriver::operator=(const COleDispatchDriver& dispatchSrc) {
  if (this != &dispatchSrc) {
    LPDISPATCH lpDispatch = dispatchSrc.m_lpDispatch;
    if (lpDispatch) lpDispatch->AddRef();  // before releasing: both may be the same object
    ReleaseDispatch();
    m_lpDispatch = lpDispatch;
    m_bAutoRelease = TRUE;
  }
  return *this;
}

COleDispatchDriver::~COleDispatchDriver() { ReleaseDispatch(); }

BOOL COleDispatchDriver::CreateDispatch(REFCLSID clsid, COleException* pError) {
  ReleaseDispatch();
  LPUNKNOWN lpUnknown = nullptr;
  HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown, reinterpret_cast<void**>(&lpUnknown));
  if (SUCCEEDED(hr)) {
    // A local server may still be starting: OleRun waits until it is running.
    hr = ::OleRun(lpUnknown);
    if (SUCCEEDED(hr)) hr = lpUnknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&m_lpDispatch));
    lpUnknown->Release();
  }
  if (FAILED(hr)) {
    m_lpDispatch = nullptr;
    if (pError) pError->m_sc = hr;
    return FALSE;
  }
  m_bAutoRelease = TRUE;
  return TRUE;
}

BOOL COleDispatchDriver::CreateDispatch(LPCTSTR lpszProgID, COleException* pError) {
  CLSID clsid;
  HRESULT hr = lpszProgID ? ::CLSIDFromProgID(lpszProgID, &clsid) : E_INVALIDARG;
  if (FAILED(hr)) {
    ReleaseDispatch();
    if (pError) pError->m_sc = hr;
    return FALSE;
  }
  return CreateDispatch(clsid, pError);
}

void COleDispatchDriver::AttachDispatch(LPDISPATCH lpDispatch, BOOL bAutoRelease) {
  ReleaseDispatch();
  m_lpDispatch = lpDispatch;
  m_bAutoRelease = bAutoRelease;
}

LPDISPATCH COleDispatchDriver::DetachDispatch() {
  LPDISPATCH lpDispatch = m_lpDispatch;
  m_lpDispatch = nullptr;
  return lpDispatch;
}

void COleDispatchDriver::ReleaseDispatch() {
  if (m_lpDispatch != nullptr) {
    if (m_bAutoRelease) m_lpDispatch->Release();
    m_lpDispatch = nullptr;
  }
}

void AFX_CDECL COleDispatchDriver::InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                                                const BYTE* pbParamInfo, ...) {
  va_list argList;
  va_start(argList, pbParamInfo);
  try {
    InvokeHelperV(dwDispID, wFlags, vtRet, pvRet, pbParamInfo, argList);
  } catch (...) {
    va_end(argList);
    throw;
  }
  va_end(argList);
}

namespace {

// The empty result of a type: what a call on "no object" gives.
void SetEmptyResult(VARTYPE vtRet, void* pvRet) {
  if (pvRet == nullptr) return;
  switch (vtRet) {
    case VT_EMPTY: break;
    case VT_BSTR: static_cast<CString*>(pvRet)->Empty(); break;
    case VT_VARIANT: ::VariantInit(static_cast<VARIANT*>(pvRet)); break;
    case VT_DISPATCH:
    case VT_UNKNOWN: *static_cast<void**>(pvRet) = nullptr; break;
    case VT_BOOL: *static_cast<BOOL*>(pvRet) = FALSE; break;
    case VT_I2: *static_cast<short*>(pvRet) = 0; break;
    case VT_I4:
    case VT_ERROR: *static_cast<long*>(pvRet) = 0; break;
    case VT_R4: *static_cast<float*>(pvRet) = 0; break;
    case VT_R8:
    case VT_DATE: *static_cast<double*>(pvRet) = 0; break;
    case VT_CY: *static_cast<CY*>(pvRet) = CY{}; break;
    case VT_I1:
    case VT_UI1: *static_cast<BYTE*>(pvRet) = 0; break;
    case VT_UI2: *static_cast<WORD*>(pvRet) = 0; break;
    case VT_UI4: *static_cast<DWORD*>(pvRet) = 0; break;
    case VT_I8:
    case VT_UI8: *static_cast<LONGLONG*>(pvRet) = 0; break;
    default: break;
  }
}

// Arguments of one call, last parameter first as IDispatch::Invoke wants them. Owns the
// BSTRs it made; VARIANT arguments are the caller's and are not cleared. Calls of up to
// eight arguments, nearly all of them, need no memory of their own.
class InvokeArguments {
 public:
  InvokeArguments(const BYTE* pbParamInfo, va_list& argList) {
    m_count = pbParamInfo ? std::strlen(reinterpret_cast<const char*>(pbParamInfo)) : 0;
    if (m_count > kInline) {
      m_heapArgs.resize(m_count);
      m_heapOwned.reset(new bool[m_count]);
      m_args = m_heapArgs.data();
      m_owned = m_heapOwned.get();
    }
    for (size_t i = 0; i < m_count; ++i) {
      ::VariantInit(&m_args[i]);
      m_owned[i] = false;
    }
    try {
      for (size_t i = 0; i < m_count; ++i) Read(pbParamInfo[i], m_count - 1 - i, argList);
    } catch (...) {
      FreeStrings();  // the destructor does not run for a half-built object
      throw;
    }
  }
  ~InvokeArguments() { FreeStrings(); }
  InvokeArguments(const InvokeArguments&) = delete;
  InvokeArguments& operator=(const InvokeArguments&) = delete;

  VARIANTARG* Data() { return m_count ? m_args : nullptr; }
  UINT Count() const { return static_cast<UINT>(m_count); }

 private:
  static constexpr size_t kInline = 8;

  void FreeStrings() {
    for (size_t i = 0; i < m_count; ++i) {
      if (m_owned[i]) ::SysFreeString(m_args[i].bstrVal);
      m_owned[i] = false;
    }
  }
  void Read(BYTE code, size_t at, va_list& argList) {
    VARIANTARG& arg = m_args[at];
    if (code & 0x40) {  // by reference: the argument is a pointer to the value
      arg.vt = static_cast<VARTYPE>((code & ~0x40) | VT_BYREF);
      arg.byref = va_arg(argList, void*);
      if ((code & ~0x40) > VT_UI8) AfxThrowOleException(DISP_E_BADVARTYPE);
      return;
    }
    arg.vt = code;
    switch (code) {
      case VT_I2: arg.iVal = static_cast<short>(va_arg(argList, int)); break;
      case VT_I4: arg.lVal = va_arg(argList, long); break;
      case VT_R4: arg.fltVal = static_cast<float>(va_arg(argList, double)); break;
      case VT_R8: arg.dblVal = va_arg(argList, double); break;
      case VT_DATE: arg.date = va_arg(argList, DATE); break;
      case VT_CY: arg.cyVal = *va_arg(argList, CY*); break;
      case VT_ERROR: arg.scode = va_arg(argList, SCODE); break;
      case VT_BOOL: arg.boolVal = va_arg(argList, BOOL) ? VARIANT_TRUE : VARIANT_FALSE; break;
      case VT_DISPATCH: arg.pdispVal = va_arg(argList, LPDISPATCH); break;
      case VT_UNKNOWN: arg.punkVal = va_arg(argList, LPUNKNOWN); break;
      case VT_I1: arg.cVal = static_cast<CHAR>(va_arg(argList, int)); break;
      case VT_UI1: arg.bVal = static_cast<BYTE>(va_arg(argList, int)); break;
      case VT_UI2: arg.uiVal = static_cast<USHORT>(va_arg(argList, int)); break;
      case VT_UI4: arg.ulVal = va_arg(argList, ULONG); break;
      case VT_I8: arg.llVal = va_arg(argList, LONGLONG); break;
      case VT_UI8: arg.ullVal = va_arg(argList, ULONGLONG); break;
      case VT_BSTR: {
        LPCOLESTR lpsz = va_arg(argList, LPCOLESTR);
        arg.bstrVal = ::SysAllocString(lpsz ? lpsz : L"");
        if (arg.bstrVal == nullptr) AfxThrowMemoryException();
        m_owned[at] = true;
        break;
      }
      case VT_VARIANT: {
        const VARIANT* pSrc = va_arg(argList, const VARIANT*);
        if (pSrc == nullptr) AfxThrowOleException(E_INVALIDARG);
        arg = *pSrc;  // a shallow copy: the caller owns and clears the value
        break;
      }
      default:
        AfxThrowOleException(DISP_E_BADVARTYPE);
    }
  }

  size_t m_count = 0;
  VARIANTARG m_inlineArgs[kInline];
  bool m_inlineOwned[kInline];
  VARIANTARG* m_args = m_inlineArgs;
  bool* m_owned = m_inlineOwned;
  std::vector<VARIANTARG> m_heapArgs;
  std::unique_ptr<bool[]> m_heapOwned;
};

// Moves an Invoke result into the caller's variable of type vtRet.
void StoreResult(VARIANT& result, VARTYPE vtRet, void* pvRet) {
  if (vtRet == VT_VARIANT) {
    *static_cast<VARIANT*>(pvRet) = result;  // ownership passes to the caller
    return;
  }
  if ((vtRet == VT_DISPATCH || vtRet == VT_UNKNOWN) && (result.vt == VT_EMPTY || result.vt == VT_NULL)) {
    *static_cast<void**>(pvRet) = nullptr;  // the object answered "no object"
    return;
  }
  if (result.vt != vtRet) {
    HRESULT hr = ::VariantChangeType(&result, &result, 0, vtRet);
    if (FAILED(hr)) {
      ::VariantClear(&result);
      AfxThrowOleException(hr);
    }
  }
  switch (vtRet) {
    case VT_BSTR:
      *static_cast<CString*>(pvRet) = result.bstrVal ? CString(result.bstrVal, static_cast<int>(::SysStringLen(result.bstrVal)))
                                                     : CString();
      ::VariantClear(&result);
      break;
    case VT_DISPATCH: *static_cast<LPDISPATCH*>(pvRet) = result.pdispVal; break;
    case VT_UNKNOWN: *static_cast<LPUNKNOWN*>(pvRet) = result.punkVal; break;
    case VT_BOOL: *static_cast<BOOL*>(pvRet) = result.boolVal != 0; break;
    case VT_I2: *static_cast<short*>(pvRet) = result.iVal; break;
    case VT_I4: *static_cast<long*>(pvRet) = result.lVal; break;
    case VT_ERROR: *static_cast<SCODE*>(pvRet) = result.scode; break;
    case VT_R4: *static_cast<float*>(pvRet) = result.fltVal; break;
    case VT_R8: *static_cast<double*>(pvRet) = result.dblVal; break;
    case VT_DATE: *static_cast<DATE*>(pvRet) = result.date; break;
    case VT_CY: *static_cast<CY*>(pvRet) = result.cyVal; break;
    case VT_I1:
    case VT_UI1: *static_cast<BYTE*>(pvRet) = result.bVal; break;
    case VT_UI2: *static_cast<WORD*>(pvRet) = result.uiVal; break;
    case VT_UI4: *static_cast<DWORD*>(pvRet) = result.ulVal; break;
    case VT_I8: *static_cast<LONGLONG*>(pvRet) = result.llVal; break;
    case VT_UI8: *static_cast<ULONGLONG*>(pvRet) = result.ullVal; break;
    default:
      ::VariantClear(&result);
      AfxThrowOleException(DISP_E_BADVARTYPE);
  }
}

[[noreturn]] void ThrowInvokeFailure(HRESULT hr, EXCEPINFO& info) {
  if (hr != DISP_E_EXCEPTION) AfxThrowOleException(hr);
  if (info.pfnDeferredFillIn != nullptr) info.pfnDeferredFillIn(&info);
  auto* e = new COleDispatchException(nullptr, info.dwHelpContext, info.wCode);
  e->m_scError = info.scode != S_OK ? info.scode : (info.wCode != 0 ? DISP_E_EXCEPTION : S_OK);
  if (info.bstrDescription) e->m_strDescription = info.bstrDescription;
  if (info.bstrSource) e->m_strSource = info.bstrSource;
  if (info.bstrHelpFile) e->m_strHelpFile = info.bstrHelpFile;
  ::SysFreeString(info.bstrDescription);
  ::SysFreeString(info.bstrSource);
  ::SysFreeString(info.bstrHelpFile);
  throw e;
}

}  // namespace

void COleDispatchDriver::InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                                       const BYTE* pbParamInfo, va_list argList) {
  if (m_lpDispatch == nullptr) {
    SetEmptyResult(vtRet, pvRet);  // no object: no call, no error
    return;
  }
  if (vtRet != VT_EMPTY && pvRet == nullptr) AfxThrowOleException(E_POINTER);

  va_list args;
  va_copy(args, argList);
  InvokeArguments arguments(pbParamInfo, args);
  va_end(args);

  DISPPARAMS params{arguments.Data(), nullptr, arguments.Count(), 0};
  DISPID dispidNamed = DISPID_PROPERTYPUT;
  if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    params.rgdispidNamedArgs = &dispidNamed;
    params.cNamedArgs = 1;
  }
  VARIANT result;
  ::VariantInit(&result);
  EXCEPINFO info{};
  UINT nArgErr = 0;
  HRESULT hr = m_lpDispatch->Invoke(dwDispID, IID_NULL, LOCALE_USER_DEFAULT, wFlags, &params,
                                    vtRet == VT_EMPTY ? nullptr : &result, &info, &nArgErr);
  if (FAILED(hr)) {
    ::VariantClear(&result);
    ThrowInvokeFailure(hr, info);
  }
  if (vtRet != VT_EMPTY) StoreResult(result, vtRet, pvRet);
}

void AFX_CDECL COleDispatchDriver::SetProperty(DISPID dwDispID, VARTYPE vtProp, ...) {
  BYTE params[2] = {static_cast<BYTE>(vtProp), 0};
  // An object reference is assigned by reference, everything else by value.
  WORD wFlags = vtProp == VT_DISPATCH ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
  va_list argList;
  va_start(argList, vtProp);
  try {
    InvokeHelperV(dwDispID, wFlags, VT_EMPTY, nullptr, params, argList);
  } catch (...) {
    va_end(argList);
    throw;
  }
  va_end(argList);
}

void COleDispatchDriver::GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp) const {
  const_cast<COleDispatchDriver*>(this)->InvokeHelper(dwDispID, DISPATCH_PROPERTYGET, vtProp, pvProp, nullptr);
}
