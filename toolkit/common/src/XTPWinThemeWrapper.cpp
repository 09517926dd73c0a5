// The visual-styles wrapper: every export of "UxTheme.dll" bound by name on first use,
// every call guarded, a fixed failure value whenever something is missing.
#include <framework.h>

#include "XTPWinThemeWrapper.h"

#include "XTPSystemVersion.h"

namespace {

enum ThemeExport {
  kOpenThemeData,
  kCloseThemeData,
  kDrawThemeBackground,
  kGetThemeColor,
  kGetCurrentThemeName,
  kIsAppThemed,
  kIsThemeActive,
  kExportCount
};

const char* const kExportNames[kExportCount] = {"OpenThemeData", "CloseThemeData", "DrawThemeBackground",
                                                "GetThemeColor", "GetCurrentThemeName", "IsAppThemed",
                                                "IsThemeActive"};

FARPROC CALLBACK DefaultBinder(HMODULE hLibrary, LPCSTR pszExport) { return ::GetProcAddress(hLibrary, pszExport); }

// Process-wide state, made during static initialisation.
struct ThemeState {
  HMODULE hLibrary = nullptr;
  DWORD dwComCtlVersion = 0;
  XTP_THEME_BINDER pfnBinder = DefaultBinder;
  FARPROC procs[kExportCount] = {};

  ThemeState() {
    hLibrary = ::LoadLibraryW(L"UxTheme.dll");  // kept for the life of the process
    dwComCtlVersion = XTPReadComCtlVersion();
  }
  void Forget() {
    for (FARPROC& p : procs) p = nullptr;
  }
};

ThemeState& State() {
  static ThemeState s_state;
  return s_state;
}

// Forces the state into being during static initialisation.
const ThemeState& g_themeStateAtStart = State();

// The export, bound on first use; null when the library or the export is missing.
FARPROC Bind(ThemeExport which) {
  ThemeState& state = State();
  if (state.procs[which]) return state.procs[which];
  if (!state.hLibrary) return nullptr;
  try {
    state.procs[which] = state.pfnBinder(state.hLibrary, kExportNames[which]);
  } catch (...) {
    state.procs[which] = nullptr;
  }
  return state.procs[which];
}

typedef HTHEME(WINAPI* PFNOPENTHEMEDATA)(HWND, LPCWSTR);
typedef HRESULT(WINAPI* PFNCLOSETHEMEDATA)(HTHEME);
typedef HRESULT(WINAPI* PFNDRAWTHEMEBACKGROUND)(HTHEME, HDC, int, int, const RECT*, const RECT*);
typedef HRESULT(WINAPI* PFNGETTHEMECOLOR)(HTHEME, int, int, int, COLORREF*);
typedef HRESULT(WINAPI* PFNGETCURRENTTHEMENAME)(LPWSTR, int, LPWSTR, int, LPWSTR, int);
typedef BOOL(WINAPI* PFNISAPPTHEMED)();
typedef BOOL(WINAPI* PFNISTHEMEACTIVE)();

}  // namespace

CXTPThemeHandle::~CXTPThemeHandle() { CloseThemeData(); }

HTHEME CXTPThemeHandle::OpenThemeData(HWND hWnd, LPCWSTR pszClassList) {
  CloseThemeData();
  auto pfn = reinterpret_cast<PFNOPENTHEMEDATA>(Bind(kOpenThemeData));
  if (!pfn || !pszClassList) return nullptr;
  try {
    m_hTheme = pfn(hWnd, pszClassList);
  } catch (...) {
    m_hTheme = nullptr;
  }
  return m_hTheme;
}

HRESULT CXTPThemeHandle::CloseThemeData() {
  HRESULT hr = 0;
  if (m_hTheme) {
    if (auto pfn = reinterpret_cast<PFNCLOSETHEMEDATA>(Bind(kCloseThemeData))) {
      try {
        hr = pfn(m_hTheme);
      } catch (...) {
        hr = 0;
      }
    }
  }
  m_hTheme = nullptr;
  return hr;
}

HRESULT CXTPThemeHandle::DrawThemeBackground(HDC hDC, int iPartId, int iStateId, const RECT* pRect,
                                             const RECT* pClipRect) {
  auto pfn = reinterpret_cast<PFNDRAWTHEMEBACKGROUND>(Bind(kDrawThemeBackground));
  if (!pfn || !m_hTheme) return E_FAIL;
  try {
    return pfn(m_hTheme, hDC, iPartId, iStateId, pRect, pClipRect);
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT CXTPThemeHandle::GetThemeColor(int iPartId, int iStateId, int iPropId, COLORREF* pColor) {
  auto pfn = reinterpret_cast<PFNGETTHEMECOLOR>(Bind(kGetThemeColor));
  if (!pfn || !m_hTheme || !pColor) return E_FAIL;
  try {
    return pfn(m_hTheme, iPartId, iStateId, iPropId, pColor);
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT CXTPThemeHandle::GetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars, LPWSTR pszColorBuff,
                                             int cchMaxColorChars, LPWSTR pszSizeBuff, int cchMaxSizeChars) {
  auto pfn = reinterpret_cast<PFNGETCURRENTTHEMENAME>(Bind(kGetCurrentThemeName));
  if (!pfn) return E_FAIL;
  try {
    return pfn(pszThemeFileName, cchMaxNameChars, pszColorBuff, cchMaxColorChars, pszSizeBuff, cchMaxSizeChars);
  } catch (...) {
    return E_FAIL;
  }
}

BOOL CXTPThemeHandle::IsAppThemed() {
  if (!m_hTheme) return FALSE;
  auto pfn = reinterpret_cast<PFNISAPPTHEMED>(Bind(kIsAppThemed));
  if (!pfn) return FALSE;
  try {
    return pfn();
  } catch (...) {
    return FALSE;
  }
}

BOOL CXTPThemeHandle::IsThemeActive() {
  auto pfn = reinterpret_cast<PFNISTHEMEACTIVE>(Bind(kIsThemeActive));
  if (!pfn) return FALSE;
  try {
    return pfn();
  } catch (...) {
    return FALSE;
  }
}

BOOL CXTPThemeHandle::IsThemingAvailable() {
  return State().hLibrary != nullptr && IsThemeActive() && (State().dwComCtlVersion & 0xFFFF0000) > 0x50000;
}

HMODULE CXTPThemeHandle::GetThemeLibrary() { return State().hLibrary; }
DWORD CXTPThemeHandle::GetComCtlVersion() { return State().dwComCtlVersion; }

HMODULE CXTPThemeHandle::SetThemeLibrary(HMODULE hLibrary) {
  ThemeState& state = State();
  HMODULE hOld = state.hLibrary;
  state.hLibrary = hLibrary;
  state.Forget();
  return hOld;
}

XTP_THEME_BINDER CXTPThemeHandle::SetThemeBinder(XTP_THEME_BINDER pfnBinder) {
  ThemeState& state = State();
  XTP_THEME_BINDER pfnOld = state.pfnBinder == DefaultBinder ? nullptr : state.pfnBinder;
  state.pfnBinder = pfnBinder ? pfnBinder : DefaultBinder;
  state.Forget();
  return pfnOld;
}

void CXTPThemeHandle::ReloadComCtlVersion() { State().dwComCtlVersion = XTPReadComCtlVersion(); }
