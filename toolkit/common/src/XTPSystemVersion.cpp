// The Windows release, the non-client metrics record and the common-controls version reader.
#include <framework.h>

#include "XTPSystemVersion.h"

#include <shlwapi.h>

namespace {

XTP_COMCTL_VERSION_QUERY g_pfnComCtlQuery = nullptr;

// Case-insensitive search of needle in hay (both wide).
const wchar_t* FindNoCase(const wchar_t* hay, const wchar_t* needle) {
  const size_t n = wcslen(needle);
  for (; *hay; ++hay)
    if (_wcsnicmp(hay, needle, n) == 0) return hay;
  return nullptr;
}

// Asks the system: DllGetVersion of the library "COMCTL32.DLL" resolves to in this process,
// corrected by where that library lives.
DWORD QueryComCtlVersionFromSystem() {
  HMODULE hLib = ::LoadLibraryW(L"COMCTL32.DLL");
  if (!hLib) return 0;
  DWORD dwVersion = 0;
  typedef HRESULT(CALLBACK * PFNDLLGETVERSION)(DLLVERSIONINFO*);
  PFNDLLGETVERSION pfn = reinterpret_cast<PFNDLLGETVERSION>(::GetProcAddress(hLib, "DllGetVersion"));
  if (pfn) {
    DLLVERSIONINFO dvi;
    ZeroMemory(&dvi, sizeof(dvi));
    dvi.cbSize = 20;  // the original layout: size, major, minor, build, platform
    if (SUCCEEDED(pfn(&dvi))) dwVersion = MAKELONG(dvi.dwMinorVersion & 0xFFFF, dvi.dwMajorVersion);
  }
  // Wine's version 6 library (loaded from the side-by-side store because our manifest asks
  // for it) still reports 5.81. The loaded module's path tells the truth: the store keeps
  // each assembly in a folder named after it and its version.
  if (dwVersion != 0 && HIWORD(dwVersion) < 6) {
    wchar_t szPath[MAX_PATH * 2] = {};
    const DWORD cch = ::GetModuleFileNameW(hLib, szPath, MAX_PATH * 2 - 1);
    if (cch > 0 && cch < MAX_PATH * 2 - 1) {
      const int nMajor = XTPComCtlAssemblyMajorFromPath(szPath);
      if (nMajor >= 6) dwVersion = MAKELONG(0, nMajor);
    }
  }
  ::FreeLibrary(hLib);
  return dwVersion;
}

}  // namespace

int AFXAPI XTPComCtlAssemblyMajorFromPath(LPCWSTR pszModulePath) {
  if (!pszModulePath) return 0;
  // ...\winsxs\<arch>_microsoft.windows.common-controls_<token>_<version>_<lang>_<hash>\comctl32.dll
  const wchar_t* pStore = FindNoCase(pszModulePath, L"\\winsxs\\");
  if (!pStore) return 0;
  const wchar_t* pFolder = pStore + 8;
  const wchar_t* pEnd = wcschr(pFolder, L'\\');
  if (!pEnd) return 0;
  const std::wstring folder(pFolder, pEnd - pFolder);
  const wchar_t* pName = FindNoCase(folder.c_str(), L"microsoft.windows.common-controls_");
  if (!pName) return 0;
  // After the name: the public key token, then the version.
  const wchar_t* pToken = pName + wcslen(L"microsoft.windows.common-controls_");
  const wchar_t* pVersion = wcschr(pToken, L'_');
  if (!pVersion || !iswdigit(pVersion[1])) return 0;
  const int nMajor = _wtoi(pVersion + 1);
  // Only the file of the library itself counts.
  const wchar_t* pFile = pEnd + 1;
  if (_wcsicmp(pFile, L"comctl32.dll") != 0) return 0;
  return nMajor >= 6 ? nMajor : 0;
}

DWORD AFXAPI XTPReadComCtlVersion() {
  if (g_pfnComCtlQuery) return g_pfnComCtlQuery();
  return QueryComCtlVersionFromSystem();
}

XTP_COMCTL_VERSION_QUERY AFXAPI XTPSetComCtlVersionQuery(XTP_COMCTL_VERSION_QUERY pfnQuery) {
  XTP_COMCTL_VERSION_QUERY pfnOld = g_pfnComCtlQuery;
  g_pfnComCtlQuery = pfnQuery;
  return pfnOld;
}

// ---------------------------------------------------------------------------------------
CXTPOSVersionInfo::CXTPOSVersionInfo() {
  OSVERSIONINFOW* pInfo = this;
  ZeroMemory(pInfo, sizeof(OSVERSIONINFOW));
  dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);  // 276
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ::GetVersionExW(pInfo);
#pragma GCC diagnostic pop
}

CXTPOSVersionInfo::CXTPOSVersionInfo(DWORD dwPlatform, DWORD dwMajor, DWORD dwMinor) {
  OSVERSIONINFOW* pInfo = this;
  ZeroMemory(pInfo, sizeof(OSVERSIONINFOW));
  dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
  dwPlatformId = dwPlatform;
  dwMajorVersion = dwMajor;
  dwMinorVersion = dwMinor;
}

BOOL CXTPOSVersionInfo::IsWin95() const {
  return dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && dwMajorVersion == 4 && dwMinorVersion < 10;
}
BOOL CXTPOSVersionInfo::IsWin98() const {
  return dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && dwMajorVersion == 4 && dwMinorVersion == 10;
}
BOOL CXTPOSVersionInfo::IsWinNT4() const {
  return dwPlatformId == VER_PLATFORM_WIN32_NT && dwMajorVersion == 4 && dwMinorVersion == 0;
}
BOOL CXTPOSVersionInfo::IsWin2K() const {
  return dwPlatformId == VER_PLATFORM_WIN32_NT && dwMajorVersion == 5 && dwMinorVersion == 0;
}
BOOL CXTPOSVersionInfo::IsWinXP() const {
  return dwPlatformId == VER_PLATFORM_WIN32_NT && dwMajorVersion == 5 && dwMinorVersion == 1;
}
BOOL CXTPOSVersionInfo::IsWin2KOrGreater() const {
  return dwPlatformId == VER_PLATFORM_WIN32_NT && dwMajorVersion >= 5;
}
BOOL CXTPOSVersionInfo::IsWin9x() const { return dwPlatformId == VER_PLATFORM_WIN32_WINDOWS; }
BOOL CXTPOSVersionInfo::IsWinNT() const { return dwPlatformId == VER_PLATFORM_WIN32_NT; }
BOOL CXTPOSVersionInfo::IsWinVersion(DWORD dwMajor, DWORD dwMinor) const {
  return dwMajorVersion == dwMajor && dwMinorVersion == dwMinor;
}

// Filled during static initialisation, before any toolkit code runs.
static CXTPOSVersionInfo g_osVersionInfo;

CXTPOSVersionInfo* AFXAPI XTPGetOSVersionInfo() { return &g_osVersionInfo; }

// ---------------------------------------------------------------------------------------
CXTPNonClientMetrics::CXTPNonClientMetrics() {
  NONCLIENTMETRICSW* pMetrics = this;
  ZeroMemory(pMetrics, sizeof(NONCLIENTMETRICSW));
  cbSize = XTP_NONCLIENTMETRICS_SIZE;
  m_bValid = ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, XTP_NONCLIENTMETRICS_SIZE, pMetrics, 0);
}
