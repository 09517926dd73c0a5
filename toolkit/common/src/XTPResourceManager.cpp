// The toolkit's resource loader and message box.
#include "XTPResourceManager.h"

#include <cstring>

namespace {
CXTPResourceManager* g_pResourceManager = nullptr;
bool g_bResourceManagerGone = false;
CXTPResourceManager::PFNLOADTOOLBAR g_pfnLoadToolBar = nullptr;

struct ResourceManagerExit {
  ~ResourceManagerExit() {
    CXTPResourceManager* p = g_pResourceManager;
    g_pResourceManager = nullptr;
    g_bResourceManagerGone = true;
    delete p;
  }
} g_resourceManagerExit;

// Resource ids are 16-bit; a larger number names no resource.
LPCWSTR ResourceId(UINT nID) { return MAKEINTRESOURCEW(static_cast<WORD>(nID)); }
bool IsResourceId(UINT nID) { return nID != 0 && nID <= 0xFFFF; }
}  // namespace

CXTPResourceManager* AFXAPI XTPGetResourceManager() {
  if (g_pResourceManager == nullptr && !g_bResourceManagerGone)
    g_pResourceManager = new CXTPResourceManager;
  return g_pResourceManager;
}

void PASCAL CXTPResourceManager::SetToolBarLoader(PFNLOADTOOLBAR pfn) { g_pfnLoadToolBar = pfn; }

CXTPResourceManager::CXTPResourceManager() : m_bValid(TRUE), m_hResourceInstance(nullptr) {}

CXTPResourceManager::~CXTPResourceManager() {
  if (m_hResourceInstance != nullptr) ::FreeLibrary(m_hResourceInstance);
}

HMODULE CXTPResourceManager::GetResourceHandle() const {
  return m_hResourceInstance != nullptr ? m_hResourceInstance : AfxGetResourceHandle();
}

void CXTPResourceManager::SetResourceModule(HMODULE hModule) {
  if (m_hResourceInstance != nullptr && m_hResourceInstance != hModule)
    ::FreeLibrary(m_hResourceInstance);
  m_hResourceInstance = hModule;
}

BOOL CXTPResourceManager::LoadString(CString* pString, UINT nIDResource) {
  if (pString == nullptr || !IsResourceId(nIDResource)) return FALSE;
  // A string table entry is found in its block (16 strings) and read in place: counted
  // UTF-16 text, no length limit of a caller's buffer.
  HMODULE hModule = GetResourceHandle();
  const UINT nBlock = (nIDResource >> 4) + 1;
  HRSRC hRes = ::FindResourceW(hModule, MAKEINTRESOURCEW(nBlock), RT_STRING);
  if (hRes == nullptr) return FALSE;
  HGLOBAL hGlobal = ::LoadResource(hModule, hRes);
  const DWORD cbBlock = ::SizeofResource(hModule, hRes);
  const WCHAR* p = hGlobal ? static_cast<const WCHAR*>(::LockResource(hGlobal)) : nullptr;
  if (p == nullptr) return FALSE;
  const WCHAR* pEnd = p + cbBlock / sizeof(WCHAR);
  for (UINT i = 0; i < (nIDResource & 15); ++i) {
    if (p >= pEnd) return FALSE;
    p += 1 + *p;
  }
  if (p >= pEnd) return FALSE;
  const UINT nLength = *p++;
  if (nLength == 0 || nLength > static_cast<UINT>(pEnd - p)) return FALSE;
  *pString = CString(p, static_cast<int>(nLength));
  return TRUE;
}

BOOL CXTPResourceManager::LoadMenu(CMenu* pMenu, UINT nIDResource) {
  if (pMenu == nullptr || !IsResourceId(nIDResource)) return FALSE;
  HMENU hMenu = ::LoadMenuW(GetResourceHandle(), ResourceId(nIDResource));
  if (hMenu == nullptr) return FALSE;
  if (pMenu->GetSafeHmenu() != nullptr) pMenu->DestroyMenu();
  if (!pMenu->Attach(hMenu)) {
    ::DestroyMenu(hMenu);
    return FALSE;
  }
  return TRUE;
}

BOOL CXTPResourceManager::LoadToolBarData(UINT nIDResource, CSize* pSizeButton, CUIntArray* pItems) {
  if (!IsResourceId(nIDResource)) return FALSE;
  HMODULE hModule = GetResourceHandle();
  HRSRC hRes = ::FindResourceW(hModule, ResourceId(nIDResource), RT_TOOLBAR);
  if (hRes == nullptr) return FALSE;
  HGLOBAL hGlobal = ::LoadResource(hModule, hRes);
  const DWORD cb = ::SizeofResource(hModule, hRes);
  const BYTE* p = hGlobal ? static_cast<const BYTE*>(::LockResource(hGlobal)) : nullptr;
  if (p == nullptr || cb < 8) return FALSE;
  WORD header[4];
  memcpy(header, p, sizeof(header));
  const WORD wVersion = header[0], wWidth = header[1], wHeight = header[2], wCount = header[3];
  if (wVersion != 1 || static_cast<DWORD>(wCount) * 2 > cb - 8) return FALSE;
  if (pSizeButton) *pSizeButton = CSize(wWidth, wHeight);
  if (pItems) {
    pItems->SetSize(wCount);
    for (WORD i = 0; i < wCount; ++i) {
      WORD id;
      memcpy(&id, p + 8 + 2 * i, sizeof(id));
      pItems->SetAt(i, id);
    }
  }
  return TRUE;
}

BOOL CXTPResourceManager::LoadToolBar(CXTPToolBar* pToolBar, UINT nIDResource) {
  if (pToolBar == nullptr) return FALSE;
  CSize szButton;
  CUIntArray items;
  if (!LoadToolBarData(nIDResource, &szButton, &items)) return FALSE;
  if (g_pfnLoadToolBar == nullptr) return FALSE;
  return (*g_pfnLoadToolBar)(pToolBar, nIDResource, szButton, items);
}

BOOL CXTPResourceManager::LoadBitmap(CBitmap* pBitmap, UINT nIDResource) {
  if (pBitmap == nullptr || !IsResourceId(nIDResource)) return FALSE;
  HBITMAP hbm = static_cast<HBITMAP>(
      ::LoadImageW(GetResourceHandle(), ResourceId(nIDResource), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
  if (hbm == nullptr) return FALSE;
  if (pBitmap->GetSafeHandle() != nullptr) pBitmap->DeleteObject();
  if (!pBitmap->Attach(hbm)) {
    ::DeleteObject(hbm);
    return FALSE;
  }
  return TRUE;
}

HCURSOR CXTPResourceManager::LoadCursor(UINT nIDResource) {
  if (!IsResourceId(nIDResource)) return nullptr;
  return ::LoadCursorW(GetResourceHandle(), ResourceId(nIDResource));
}

LPCDLGTEMPLATE CXTPResourceManager::LoadDialogTemplate(UINT nIDResource) {
  if (!IsResourceId(nIDResource)) return nullptr;
  HMODULE hModule = GetResourceHandle();
  HRSRC hRes = ::FindResourceW(hModule, ResourceId(nIDResource), RT_DIALOG);
  if (hRes == nullptr) return nullptr;
  HGLOBAL hGlobal = ::LoadResource(hModule, hRes);
  if (hGlobal == nullptr) return nullptr;
  return static_cast<LPCDLGTEMPLATE>(::LockResource(hGlobal));
}

int CXTPResourceManager::ShowMessageBox(UINT nIDPrompt, UINT nType) {
  CString strText;
  LoadString(&strText, nIDPrompt);
  return AfxMessageBox(strText, nType);
}
