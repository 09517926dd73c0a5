// The plumbing every object of the COM server shares: reference counting, an IDispatch
// that answers by dispatch identifier only (no type information), argument access in the
// caller's order, and the translation of failures into DISP_E_EXCEPTION with a message.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <atomic>
#include <stdexcept>
#include <string>

namespace rdo {

// Objects alive in this DLL (for DllCanUnloadNow).
extern std::atomic<long> g_objectCount;

// A failure the caller should see as an exception raised by the object: its text becomes
// the EXCEPINFO description.
class Failure : public std::runtime_error {
 public:
  explicit Failure(const std::string& utf8) : std::runtime_error(utf8) {}
};

// A call the object cannot take at all (wrong kind, wrong argument count or type): a plain
// HRESULT, with the index of the offending argument where there is one.
struct CallError {
  HRESULT hr;
  UINT argIndex = 0;
};

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

// One Invoke: its kind, its arguments (index 0 = the first argument as the caller wrote
// it; for a property put the value is the last one) and its result slot.
class Call {
 public:
  Call(WORD flags, DISPPARAMS* params, VARIANT* result) : m_flags(flags), m_params(params), m_result(result) {}

  enum class Kind { Method, Get, Put };
  // Throws DISP_E_MEMBERNOTFOUND unless the call is of that kind (gets also come as a
  // method call with DISPATCH_PROPERTYGET set, as scripting clients send them).
  void Expect(Kind kind, UINT minArgs = 0, UINT maxArgs = 0) const;
  bool Is(Kind kind) const;

  UINT Count() const { return m_params ? m_params->cArgs : 0; }
  bool Has(UINT i) const;  // present and not a "missing" optional argument
  std::wstring Text(UINT i) const;
  long Int(UINT i) const;
  bool Bool(UINT i) const;
  // The value of a property put.
  const VARIANT& PutValue() const;
  std::wstring PutText() const { return Text(Count() - 1); }

  void ReturnText(const std::wstring& text);
  void ReturnInt(long value);
  void ReturnBool(bool value);
  // Hands the caller the one reference the object was created with (null: no object).
  void ReturnObject(IDispatch* object);

 private:
  const VARIANT& Arg(UINT i) const;
  VARIANT Converted(UINT i, VARTYPE type) const;  // the caller clears it

  WORD m_flags;
  DISPPARAMS* m_params;
  VARIANT* m_result;
};

class DispatchObject : public IDispatch {
 public:
  DispatchObject() { ++g_objectCount; }
  virtual ~DispatchObject() { --g_objectCount; }
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* excep, UINT* argErr) override;

 protected:
  // Carries out one call; throws Failure, CallError, pst::Error or std::bad_alloc.
  // Unknown identifiers throw CallError{DISP_E_MEMBERNOTFOUND}.
  virtual void Dispatch(DISPID id, Call& call) = 0;

 private:
  std::atomic<ULONG> m_refs{1};
};

}  // namespace rdo
