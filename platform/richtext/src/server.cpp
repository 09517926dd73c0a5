// The DLL's COM entry points: the control's class object, self-registration as an
// insertable ActiveX control (machine-wide), unloading.
#include <windows.h>
#include <olectl.h>

#include <iterator>
#include <string>

#include "control.hpp"

namespace {

const wchar_t kProgId[] = L"Vorlix.RichTextBox.1";
const wchar_t kName[] = L"Rich Textbox Control";

HMODULE g_module = nullptr;
std::atomic<long> g_locks{0};

class ControlFactory final : public IClassFactory {
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
  // A static object: it lives as long as the DLL.
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    IUnknown* control = richtext::CreateControl();
    if (!control) return E_OUTOFMEMORY;
    HRESULT hr = control->QueryInterface(riid, ppv);
    control->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    lock ? ++g_locks : --g_locks;
    return S_OK;
  }
};
ControlFactory g_factory;

bool SetText(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  return ::RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(),
                           DWORD((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}
bool MakeKey(const std::wstring& key) {
  HKEY h = nullptr;
  if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) !=
      ERROR_SUCCESS)
    return false;
  ::RegCloseKey(h);
  return true;
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
  if (clsid != richtext::kClsid) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(riid, ppv);
}

extern "C" HRESULT __stdcall DllCanUnloadNow() {
  return richtext::g_objectCount == 0 && g_locks == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT __stdcall DllRegisterServer() {
  wchar_t module[MAX_PATH * 2];
  DWORD n = ::GetModuleFileNameW(g_module, module, DWORD(std::size(module)));
  if (n == 0 || n >= std::size(module)) return SELFREG_E_CLASS;
  const std::wstring clsidKey = std::wstring(L"CLSID\\") + richtext::kClsidText;
  const std::wstring progKey = kProgId;
  // HKEY_CLASSES_ROOT writes go to the machine's classes, which every user sees.
  bool ok = SetText(clsidKey, nullptr, kName) &&
            SetText(clsidKey + L"\\InprocServer32", nullptr, std::wstring(module, n)) &&
            SetText(clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
            SetText(clsidKey + L"\\ProgID", nullptr, kProgId) && MakeKey(clsidKey + L"\\Control") &&
            SetText(clsidKey + L"\\MiscStatus", nullptr, L"131473") &&
            SetText(clsidKey + L"\\MiscStatus\\1", nullptr, L"131473") &&  // the OLEMISC bits of GetMiscStatus
            SetText(progKey, nullptr, kName) && SetText(progKey + L"\\CLSID", nullptr, richtext::kClsidText);
  return ok ? S_OK : SELFREG_E_CLASS;
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
  ::RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + richtext::kClsidText).c_str());
  ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
  return S_OK;
}
