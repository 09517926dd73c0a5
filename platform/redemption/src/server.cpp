// The DLL's COM entry points: class object of the session, self-registration under the
// ProgID "Redemption.RDOSession" (machine-wide), unloading.
#include <windows.h>

#include "inproc_server.hpp"
#include "objects.hpp"

namespace {

// {0530A897-C790-4BAE-862B-EFC8F1829CBD}
const CLSID kClsidSession = {0x0530a897, 0xc790, 0x4bae, {0x86, 0x2b, 0xef, 0xc8, 0xf1, 0x82, 0x9c, 0xbd}};

HMODULE g_module = nullptr;
inproc::ClassFactory g_factory([]() -> IUnknown* { return rdo::CreateSession(); });

const inproc::Registration kRegistration = {L"{0530A897-C790-4BAE-862B-EFC8F1829CBD}", L"Redemption.RDOSession",
                                            L"RDOSession", L"Both"};

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

extern "C" HRESULT __stdcall DllCanUnloadNow() { return rdo::g_objectCount == 0 && !g_factory.Locked() ? S_OK : S_FALSE; }

extern "C" HRESULT __stdcall DllRegisterServer() { return inproc::RegisterServer(g_module, kRegistration); }

extern "C" HRESULT __stdcall DllUnregisterServer() { return inproc::UnregisterServer(kRegistration); }
