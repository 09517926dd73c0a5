#include "dispatch.hpp"

#include <new>

#include "pst/error.hpp"

namespace rdo {

std::atomic<long> g_objectCount{0};

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return {};
  int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size_t(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring FromUtf8(const std::string& text) {
  if (text.empty()) return {};
  int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring out(size_t(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n);
  return out;
}

// ---- Call -------------------------------------------------------------------------------

bool Call::Is(Kind kind) const {
  switch (kind) {
    case Kind::Method: return (m_flags & DISPATCH_METHOD) != 0;
    case Kind::Get: return (m_flags & DISPATCH_PROPERTYGET) != 0;
    case Kind::Put: return (m_flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  }
  return false;
}

void Call::Expect(Kind kind, UINT minArgs, UINT maxArgs) const {
  if (!Is(kind)) throw CallError{DISP_E_MEMBERNOTFOUND};
  UINT expected = kind == Kind::Put ? 1 : 0;
  if (kind == Kind::Put) {
    // The value of a put must come as the named argument DISPID_PROPERTYPUT.
    if (!m_params || m_params->cNamedArgs != 1 || m_params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
      throw CallError{DISP_E_PARAMNOTOPTIONAL};
  } else if (m_params && m_params->cNamedArgs != 0) {
    throw CallError{DISP_E_NONAMEDARGS};
  }
  if (Count() < minArgs + expected) throw CallError{DISP_E_BADPARAMCOUNT};
  if (Count() > maxArgs + expected) throw CallError{DISP_E_BADPARAMCOUNT};
}

const VARIANT& Call::Arg(UINT i) const {
  if (i >= Count()) throw CallError{DISP_E_BADPARAMCOUNT};
  // rgvarg holds the arguments last first; a put's named value sits at index 0, which is
  // where the reversed order puts the last argument anyway.
  return m_params->rgvarg[Count() - 1 - i];
}

bool Call::Has(UINT i) const {
  if (i >= Count()) return false;
  const VARIANT& v = Arg(i);
  return !(v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND) && v.vt != VT_EMPTY;
}

VARIANT Call::Converted(UINT i, VARTYPE type) const {
  VARIANT out;
  ::VariantInit(&out);
  // VariantChangeType follows VT_BYREF itself; it fails on arrays and objects without a
  // default value, which are no valid arguments of ours.
  HRESULT hr = ::VariantChangeType(&out, const_cast<VARIANT*>(&Arg(i)), 0, type);
  if (FAILED(hr)) throw CallError{DISP_E_TYPEMISMATCH, Count() - 1 - i};
  return out;
}

std::wstring Call::Text(UINT i) const {
  if (!Has(i)) return {};
  // Strings, the usual case, are read in place rather than copied by a conversion.
  const VARIANT& a = Arg(i);
  if (a.vt == VT_BSTR) return a.bstrVal ? std::wstring(a.bstrVal, ::SysStringLen(a.bstrVal)) : std::wstring();
  if (a.vt == (VT_BSTR | VT_BYREF) && a.pbstrVal)
    return *a.pbstrVal ? std::wstring(*a.pbstrVal, ::SysStringLen(*a.pbstrVal)) : std::wstring();
  VARIANT v = Converted(i, VT_BSTR);
  std::wstring out = v.bstrVal ? std::wstring(v.bstrVal, ::SysStringLen(v.bstrVal)) : std::wstring();
  ::VariantClear(&v);
  return out;
}

long Call::Int(UINT i) const {
  if (!Has(i)) return 0;
  VARIANT v = Converted(i, VT_I4);
  return v.lVal;
}

bool Call::Bool(UINT i) const {
  if (!Has(i)) return false;
  VARIANT v = Converted(i, VT_BOOL);
  return v.boolVal != VARIANT_FALSE;
}

const VARIANT& Call::PutValue() const { return Arg(Count() - 1); }

void Call::ReturnText(const std::wstring& text) {
  if (!m_result) return;
  BSTR b = ::SysAllocStringLen(text.data(), UINT(text.size()));
  if (!b) throw std::bad_alloc();
  m_result->vt = VT_BSTR;
  m_result->bstrVal = b;
}

void Call::ReturnInt(long value) {
  if (!m_result) return;
  m_result->vt = VT_I4;
  m_result->lVal = value;
}

void Call::ReturnBool(bool value) {
  if (!m_result) return;
  m_result->vt = VT_BOOL;
  m_result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void Call::ReturnObject(IDispatch* object) {
  if (!m_result) {
    if (object) object->Release();
    return;
  }
  m_result->vt = VT_DISPATCH;
  m_result->pdispVal = object;
}

// ---- DispatchObject -----------------------------------------------------------------------

STDMETHODIMP DispatchObject::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDispatch) {
    *ppv = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) DispatchObject::Release() {
  ULONG left = --m_refs;
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP DispatchObject::GetTypeInfoCount(UINT* pctinfo) {
  if (!pctinfo) return E_POINTER;
  *pctinfo = 0;
  return S_OK;
}

namespace {

HRESULT RaiseException(EXCEPINFO* excep, const std::string& message) {
  if (excep) {
    *excep = EXCEPINFO{};
    excep->bstrSource = ::SysAllocString(L"Redemption.RDOSession");
    excep->bstrDescription = ::SysAllocString(FromUtf8(message).c_str());
    excep->scode = E_FAIL;
  }
  return DISP_E_EXCEPTION;
}

}  // namespace

STDMETHODIMP DispatchObject::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                    VARIANT* result, EXCEPINFO* excep, UINT* argErr) {
  if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
  if (result) ::VariantInit(result);
  // Keep this object alive for the whole call even if the call releases the caller's
  // last reference to something that holds it.
  AddRef();
  HRESULT hr = S_OK;
  try {
    Call call(flags, params, result);
    Dispatch(id, call);
  } catch (const CallError& e) {
    if (argErr && (e.hr == DISP_E_TYPEMISMATCH || e.hr == DISP_E_PARAMNOTFOUND)) *argErr = e.argIndex;
    hr = e.hr;
  } catch (const Failure& e) {
    hr = RaiseException(excep, e.what());
  } catch (const pst::Error& e) {
    hr = RaiseException(excep, e.what());
  } catch (const std::bad_alloc&) {
    hr = E_OUTOFMEMORY;
  } catch (const std::exception& e) {
    hr = RaiseException(excep, e.what());
  }
  if (FAILED(hr) && result) ::VariantClear(result);
  Release();
  return hr;
}

}  // namespace rdo
