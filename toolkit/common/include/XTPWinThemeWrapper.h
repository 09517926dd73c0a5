// One visual-styles theme handle of "UxTheme.dll", usable whether or not the library exists:
// each operation binds its export by name on first use and returns a fixed failure value
// when the library, the export or the call fails. Callers then draw the classic way.
#pragma once

#include <framework.h>

#include <uxtheme.h>

// How an export is looked up (GetProcAddress unless a test replaces it).
typedef FARPROC(CALLBACK* XTP_THEME_BINDER)(HMODULE hLibrary, LPCSTR pszExport);

class CXTPThemeHandle {
 public:
  CXTPThemeHandle() = default;
  virtual ~CXTPThemeHandle();  // closes the theme
  CXTPThemeHandle(const CXTPThemeHandle&) = delete;
  CXTPThemeHandle& operator=(const CXTPThemeHandle&) = delete;

  // Closes any open theme, then opens the class list (the handle stays null on failure).
  // Returns the new handle.
  HTHEME OpenThemeData(HWND hWnd, LPCWSTR pszClassList);
  // 0 when no theme was open or the library, export or call failed; the handle is null
  // afterwards in every case.
  HRESULT CloseThemeData();
  // E_FAIL when the library, the export or the call fails, or no theme is open.
  HRESULT DrawThemeBackground(HDC hDC, int iPartId, int iStateId, const RECT* pRect, const RECT* pClipRect);
  HRESULT GetThemeColor(int iPartId, int iStateId, int iPropId, COLORREF* pColor);
  // Needs no theme of its own.
  HRESULT GetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars, LPWSTR pszColorBuff,
                              int cchMaxColorChars, LPWSTR pszSizeBuff, int cchMaxSizeChars);
  // Non-zero only while this handle holds a theme and the system reports themed programs.
  BOOL IsAppThemed();
  // Whether the user runs with visual styles (no theme needed).
  static BOOL IsThemeActive();
  // The library is loaded, visual styles are active and the common controls are version 6
  // or later.
  static BOOL IsThemingAvailable();

  HTHEME GetHandle() const { return m_hTheme; }
  operator HTHEME() const { return m_hTheme; }
  BOOL IsOpen() const { return m_hTheme != nullptr; }

  // Process-wide state, kept from static initialisation: the library (null when absent)
  // and the common-controls version read once through XTPReadComCtlVersion.
  static HMODULE GetThemeLibrary();
  static DWORD GetComCtlVersion();
  // Seams for tests. Each forgets every bound export.
  // Replaces the library handle (null: as if "UxTheme.dll" were missing); returns the old.
  static HMODULE SetThemeLibrary(HMODULE hLibrary);
  // Replaces how exports are looked up (null: GetProcAddress); returns the old binder.
  static XTP_THEME_BINDER SetThemeBinder(XTP_THEME_BINDER pfnBinder);
  // Reads the common-controls version again through XTPReadComCtlVersion.
  static void ReloadComCtlVersion();

 protected:
  HTHEME m_hTheme = nullptr;
};

// The other name the command bars use for the same wrapper.
typedef CXTPThemeHandle CXTPWinThemeWrapper;
