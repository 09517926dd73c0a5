// The toolkit's process-wide table of 62 indexed colours and ten gradients. Indexes 1 to 27
// are the system colours; 28 to 61 are the toolkit's own, blended from system colours,
// corrected for contrast and, with the standard XP colour schemes, replaced by fixed values.
// An index above 61 is a literal RGB value and comes back unchanged.
#pragma once

#include <framework.h>

#include "XTPDrawHelpers.h"

// Number of indexed colours.
#define XTP_COLOR_COUNT 62
// Number of gradients (numbered 1 to 10).
#define XTP_GRADIENT_COUNT 10

// Colour schemes.
enum XTPCurrentSystemTheme {
  xtpSystemThemeUnknown = 0,  // classic, or visual styles other than the three below
  xtpSystemThemeBlue = 1,     // luna or royale, "normalcolor"
  xtpSystemThemeOlive = 2,    // luna, "homestead"
  xtpSystemThemeSilver = 3,   // luna, "metallic"
  xtpSystemThemeAuto = 4,     // follow the system
  xtpSystemThemeDefault = 5,  // follow the system
};

// Replacement for GetSysColor.
typedef COLORREF(CALLBACK* PFNXTPGETSYSCOLOR)(int nIndex);

class CXTPColorManager : public CCmdTarget {
 public:
  CXTPColorManager();
  ~CXTPColorManager() override;

  // The colour of an index: above 61 the index itself; else the override entry when set,
  // else the base entry. The index is unsigned so that -1 and -2 come back unchanged.
  COLORREF GetColor(UINT nIndex) const;
  // For 30 to 61 the scheme's fixed colour when there is one; otherwise GetColor.
  COLORREF GetXPColor(UINT nIndex) const;

  // Per channel (w x a + (d - w) x b + d / 2) / d with d = 100 for w < 100, else 1000.
  static COLORREF BlendColors(COLORREF clrA, COLORREF clrB, int nWeight);

  // Recomputes the scheme, the base table, the scheme's fixed colours and the gradients.
  void RefreshColors();

  int GetSystemTheme() const { return m_nSystemTheme; }
  // The chosen scheme, or the detected one when the choice is 4 or 5.
  int GetCurrentTheme() const;
  BOOL IsLunaColorsDisabled() const { return m_bDisableLunaColors; }

  // Gradient 1 to 10 (null for any other number).
  const CXTPGradientColor* GetGradient(int nGradient) const;

  // Plain setters: each stores its value; RefreshColors applies the scheme and the
  // system-colour function. An override takes effect at once.
  void SetCurrentTheme(int nTheme);         // 0 to 3, or 4 / 5 for automatic
  void DisableLunaColors(BOOL bDisable);    // the XP-colours-disabled flag
  void SetColor(UINT nIndex, COLORREF clr); // override entry (-1: none); indexes 0 to 61
  void SetColors(int nCount, const UINT* pIndexes, const COLORREF* pColors);
  void ResetOverrides();                    // every override entry back to -1
  COLORREF GetOverride(UINT nIndex) const;  // the override entry, -1 when none
  COLORREF GetBaseColor(UINT nIndex) const; // the base entry, 0 outside 0 to 61
  void SetGetSysColorPtr(PFNXTPGETSYSCOLOR pfn);  // null: GetSysColor
  PFNXTPGETSYSCOLOR GetGetSysColorPtr() const { return m_pfnGetSysColor; }

  // How many times RefreshColors has run (diagnostics and tests).
  int GetRefreshCount() const { return m_nRefreshCount; }

  // The ten gradients (m_grcGradient[0] is gradient 1).
  CXTPGradientColor m_grcGradient[XTP_GRADIENT_COUNT];

 protected:
  // Seams a derived class may replace: which scheme the system shows, and whether the
  // desktop has 8 bits per pixel or fewer.
  virtual int DetectSystemTheme();
  virtual BOOL IsLowColorDesktop();

 private:
  COLORREF GetSysColorValue(int nIndex) const;
  void SetLunaOverrides(int nTheme);
  void SetGradients(int nTheme);
  void RefreshXPColors();  // steps 6 to 11
  void Blend(UINT nTarget, UINT nA, UINT nB, int nWeight);

  BOOL m_bDisableLunaColors = FALSE;
  COLORREF m_arrBase[XTP_COLOR_COUNT];
  COLORREF m_arrOverride[XTP_COLOR_COUNT];
  COLORREF m_arrLunaColor[XTP_COLOR_COUNT];
  PFNXTPGETSYSCOLOR m_pfnGetSysColor = nullptr;
  int m_nChosenTheme = xtpSystemThemeAuto;
  int m_nSystemTheme = xtpSystemThemeUnknown;
  int m_nRefreshCount = 0;
};

// The process-wide instance, made on first call, destroyed at exit.
CXTPColorManager* AFXAPI XTPGetColorManager();

// Refreshes the instance unless its last recorded refresh was less than 500 ms ago (the time
// is recorded only while the application has a main window).
void AFXAPI XTPRefreshColors();

// The scheme a visual-styles theme name stands for: file name (by containment) and colour
// name (by equality), compared without case. 0 for anything else.
int AFXAPI XTPSchemeFromThemeName(LPCWSTR pszFileName, LPCWSTR pszColorName);
