// COM objects that tests register and hand out: the reference counting and interface
// lookup of an object with one interface, and a class factory that lives as long as the
// program.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace testsupport {

// IUnknown for an object that offers exactly one interface (iid) besides it. The object
// starts with one reference and deletes itself at the last Release.
template <class Interface, const IID& iid>
class TCountedObject : public Interface {
 public:
  virtual ~TCountedObject() = default;
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_IUnknown || riid == iid) {
      *ppv = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_ref; }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG n = --m_ref;
    if (n == 0) delete this;
    return n;
  }

 private:
  ULONG m_ref = 1;
};

// A class factory that makes Object (a TCountedObject); meant to be a global, so it is not
// counted. Aggregation is refused.
template <class Object>
class TGlobalFactory : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    *ppv = (riid == IID_IUnknown || riid == IID_IClassFactory) ? this : nullptr;
    return *ppv ? S_OK : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* object = new Object;
    HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

}  // namespace testsupport
