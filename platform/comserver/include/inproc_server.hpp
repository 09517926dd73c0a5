// The parts every in-process COM server DLL of ours has in common: a class object for its
// one class, the lock count DllCanUnloadNow reads, and self-registration of the class and
// its ProgID under HKEY_CLASSES_ROOT (machine-wide, so every user sees it).
#pragma once

#include <windows.h>
#include <olectl.h>

#include <atomic>
#include <iterator>
#include <new>
#include <string>

namespace inproc {

// The class object of a server's one class. `create` gives a new object holding one
// reference, or nullptr when memory ran out. A static object: it lives as long as the DLL.
class ClassFactory final : public IClassFactory {
 public:
  using Create = IUnknown* (*)();
  explicit ClassFactory(Create create) : m_create(create) {}

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *ppv = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    IUnknown* object = nullptr;
    try {
      object = m_create();
    } catch (const std::bad_alloc&) {
      object = nullptr;
    }
    if (!object) return E_OUTOFMEMORY;
    const HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    lock ? ++m_locks : --m_locks;
    return S_OK;
  }
  bool Locked() const { return m_locks != 0; }

 private:
  Create m_create;
  std::atomic<long> m_locks{0};
};

// What a server writes about its class when it registers itself.
struct Registration {
  const wchar_t* clsid;      // "{...}"
  const wchar_t* progId;
  const wchar_t* name;       // the class's and the ProgID's default value
  const wchar_t* threading;  // ThreadingModel of InprocServer32
  const wchar_t* miscStatus = nullptr;  // an ActiveX control's OLEMISC bits; it also gets "Control"
};

inline bool SetClassesText(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  return ::RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(),
                           DWORD((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

inline bool MakeClassesKey(const std::wstring& key) {
  HKEY h = nullptr;
  if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) !=
      ERROR_SUCCESS)
    return false;
  ::RegCloseKey(h);
  return true;
}

// DllRegisterServer's work for the DLL `module`.
inline HRESULT RegisterServer(HMODULE module, const Registration& r) {
  wchar_t path[MAX_PATH * 2];
  const DWORD n = ::GetModuleFileNameW(module, path, DWORD(std::size(path)));
  if (n == 0 || n >= std::size(path)) return SELFREG_E_CLASS;
  const std::wstring clsidKey = std::wstring(L"CLSID\\") + r.clsid;
  const std::wstring progKey = r.progId;
  bool ok = SetClassesText(clsidKey, nullptr, r.name) &&
            SetClassesText(clsidKey + L"\\InprocServer32", nullptr, std::wstring(path, n)) &&
            SetClassesText(clsidKey + L"\\InprocServer32", L"ThreadingModel", r.threading) &&
            SetClassesText(clsidKey + L"\\ProgID", nullptr, r.progId) && SetClassesText(progKey, nullptr, r.name) &&
            SetClassesText(progKey + L"\\CLSID", nullptr, r.clsid);
  if (ok && r.miscStatus)
    ok = MakeClassesKey(clsidKey + L"\\Control") && SetClassesText(clsidKey + L"\\MiscStatus", nullptr, r.miscStatus) &&
         SetClassesText(clsidKey + L"\\MiscStatus\\1", nullptr, r.miscStatus);
  return ok ? S_OK : SELFREG_E_CLASS;
}

// DllUnregisterServer's work: the class's and the ProgID's keys go.
inline HRESULT UnregisterServer(const Registration& r) {
  ::RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + r.clsid).c_str());
  ::RegDeleteTreeW(HKEY_CLASSES_ROOT, r.progId);
  return S_OK;
}

}  // namespace inproc
