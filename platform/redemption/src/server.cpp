// The DLL's COM entry points: class object of the session, self-registration under the
// ProgID "Redemption.RDOSession" (machine-wide), unloading.
#include <windows.h>
#include <olectl.h>

#include <string>

#include "objects.hpp"

namespace {

// {0530A897-C790-4BAE-862B-EFC8F1829CBD}
const CLSID kClsidSession = {0x0530a897, 0xc790, 0x4bae, {0x86, 0x2b, 0xef, 0xc8, 0xf1, 0x82, 0x9c, 0xbd}};
const wchar_t kClsidText[] = L"{0530A897-C790-4BAE-862B-EFC8F1829CBD}";
const wchar_t kProgId[] = L"Redemption.RDOSession";

HMODULE g_module = nullptr;
std::atomic<long> g_locks{0};

class SessionFactory final : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *ppv = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  // A static object: its lifetime is the DLL's.
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    IDispatch* session = nullptr;
    try {
      session = rdo::CreateSession();
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    HRESULT hr = session->QueryInterface(riid, ppv);
    session->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    lock ? ++g_locks : --g_locks;
    return S_OK;
  }
};
SessionFactory g_factory;

LSTATUS SetText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  return ::RegSetKeyValueW(root, key.c_str(), name, REG_SZ, value.c_str(),
                           DWORD((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    ::DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (clsid != kClsidSession) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, ppv);
}

extern "C" HRESULT __stdcall DllCanUnloadNow() {
  return rdo::g_objectCount == 0 && g_locks == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT __stdcall DllRegisterServer() {
  wchar_t module[MAX_PATH * 2];
  DWORD n = ::GetModuleFileNameW(g_module, module, DWORD(std::size(module)));
  if (n == 0 || n >= std::size(module)) return SELFREG_E_CLASS;
  const std::wstring clsidKey = std::wstring(L"CLSID\\") + kClsidText;
  const std::wstring progKey = kProgId;
  // HKEY_CLASSES_ROOT writes go to the machine's classes, which every user sees.
  bool ok = SetText(HKEY_CLASSES_ROOT, clsidKey, nullptr, L"RDOSession") == ERROR_SUCCESS &&
            SetText(HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32", nullptr, std::wstring(module, n)) ==
                ERROR_SUCCESS &&
            SetText(HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Both") ==
                ERROR_SUCCESS &&
            SetText(HKEY_CLASSES_ROOT, clsidKey + L"\\ProgID", nullptr, kProgId) == ERROR_SUCCESS &&
            SetText(HKEY_CLASSES_ROOT, progKey, nullptr, L"RDOSession") == ERROR_SUCCESS &&
            SetText(HKEY_CLASSES_ROOT, progKey + L"\\CLSID", nullptr, kClsidText) == ERROR_SUCCESS;
  return ok ? S_OK : SELFREG_E_CLASS;
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
  ::RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + kClsidText).c_str());
  ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
  return S_OK;
}
