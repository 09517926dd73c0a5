// The DLL's COM entry points: the control's class object, self-registration as an
// insertable ActiveX control (machine-wide), unloading.
#include <windows.h>

#include "control.hpp"
#include "inproc_server.hpp"

namespace {

HMODULE g_module = nullptr;
inproc::ClassFactory g_factory(&richtext::CreateControl);

// MiscStatus: the OLEMISC bits the control's GetMiscStatus answers.
const inproc::Registration kRegistration = {richtext::kClsidText, L"Vorlix.RichTextBox.1", L"Rich Textbox Control",
                                            L"Apartment", L"131473"};

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
  return richtext::g_objectCount == 0 && !g_factory.Locked() ? S_OK : S_FALSE;
}

extern "C" HRESULT __stdcall DllRegisterServer() { return inproc::RegisterServer(g_module, kRegistration); }

extern "C" HRESULT __stdcall DllUnregisterServer() { return inproc::UnregisterServer(kRegistration); }
