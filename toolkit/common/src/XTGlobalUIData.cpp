// The process-wide UI record: colours, cursors, metrics, fonts and system flags.
#include <framework.h>

#include "XTGlobalUIData.h"

#include "XTPColorManager.h"
#include "XTPDrawHelpers.h"
#include "XTPResourceManager.h"

namespace {

BOOL CALLBACK SystemNonClientMetrics(NONCLIENTMETRICSW* pncm) {
  return ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, pncm->cbSize, pncm, 0);
}
BOOL CALLBACK SystemIconTitleFont(LOGFONTW* plf) {
  return ::SystemParametersInfoW(SPI_GETICONTITLELOGFONT, sizeof(LOGFONTW), plf, 0);  // 92
}
BOOL CALLBACK SystemFontExists(LPCWSTR pszFace) { return CXTPDrawHelpers::FontExists(pszFace); }
HCURSOR CALLBACK SystemCursor(LPCWSTR pszId) { return ::LoadCursorW(nullptr, pszId); }
HCURSOR CALLBACK ToolkitCursor(UINT nId) {
  // The toolkit's cursors live in the toolkit's resource script, linked into every program
  // that uses the toolkit; the resource manager finds them.
  return XTPGetResourceManager()->LoadCursor(nId);
}

XTP_UIDATA_QUERIES g_queries = {};

XTP_UIDATA_QUERIES Effective() {
  XTP_UIDATA_QUERIES q = g_queries;
  if (!q.pfnGetNonClientMetrics) q.pfnGetNonClientMetrics = SystemNonClientMetrics;
  if (!q.pfnGetIconTitleFont) q.pfnGetIconTitleFont = SystemIconTitleFont;
  if (!q.pfnFontExists) q.pfnFontExists = SystemFontExists;
  if (!q.pfnLoadSystemCursor) q.pfnLoadSystemCursor = SystemCursor;
  if (!q.pfnLoadToolkitCursor) q.pfnLoadToolkitCursor = ToolkitCursor;
  return q;
}

// A font from a description with some values replaced (-1 leaves a value as it is).
BOOL MakeFont(CFont& font, const LOGFONTW& base, int nWeight = -1, int nUnderline = -1, int nEscapement = -1,
              int nOrientation = -1) {
  LOGFONTW lf = base;
  if (nWeight != -1) lf.lfWeight = nWeight;
  if (nUnderline != -1) lf.lfUnderline = static_cast<BYTE>(nUnderline);
  if (nEscapement != -1) lf.lfEscapement = nEscapement;
  if (nOrientation != -1) lf.lfOrientation = nOrientation;
  return font.CreateFontIndirect(&lf);
}

}  // namespace

XTP_UIDATA_QUERIES AFXAPI XTPSetUIDataQueries(const XTP_UIDATA_QUERIES* pQueries) {
  XTP_UIDATA_QUERIES old = g_queries;
  g_queries = pQueries ? *pQueries : XTP_UIDATA_QUERIES{};
  return old;
}

CXTGlobalUIData::CXTGlobalUIData() {
  hcurDragCopy = hcurDragMove = hcurDragNone = hcurHand = hcurHSplitBar = hcurVSplitBar = hcurMove = nullptr;
  bPreferTahoma = FALSE;
  bReserved1 = FALSE;
  bReserved2 = TRUE;
  iComCtlVersion = -1;

  const CXTPOSVersionInfo* pVer = XTPGetOSVersionInfo();
  bWin95 = pVer->IsWin95();
  bWin98 = pVer->IsWin98();
  bWinNT = pVer->IsWinNT4();
  bWin2K = pVer->IsWin2K();
  bWinXP = pVer->IsWinXP();

  GetComCtlVersion();
  RefreshColors();
  RefreshMetrics();
  LoadCursors();
  UpdateFonts(nullptr, nullptr);
}

CXTGlobalUIData::~CXTGlobalUIData() { DeleteFonts(); }

void CXTGlobalUIData::RefreshColors() {
  XTPRefreshColors();
  CXTPColorManager* pManager = XTPGetColorManager();
  static const UINT kIndexes[20] = {15, 16, 21, 20, 22, 18, 17, 13, 14, 4, 7, 5, 6, 8, 2, 3, 27, 28, 9, 19};
  COLORREF* const pFields[20] = {&clr3DFace,        &clr3DShadow,       &clr3DDkShadow,      &clr3DHilight,
                                 &clr3DLight,       &clrBtnText,        &clrGrayText,        &clrHighlight,
                                 &clrHighlightText, &clrMenu,           &clrMenuText,        &clrWindow,
                                 &clrWindowFrame,   &clrWindowText,     &clrActiveCaption,   &clrInActiveCaption,
                                 &clrGradActiveCapt, &clrGradInActiveCapt, &clrActiveCaptText, &clrInactiveCaptText};
  for (int i = 0; i < 20; i++) *pFields[i] = pManager->GetColor(kIndexes[i]);
  for (int i = 0; i < 20; i++) clrXPColors[i] = pManager->GetColor(30 + i);
}

void CXTGlobalUIData::RefreshMetrics() {
  cxSmIcon = ::GetSystemMetrics(SM_CXSMICON);
  cySmIcon = ::GetSystemMetrics(SM_CYSMICON);
  cxSize = 18;
  cySize = 18;
  cxHThumb = ::GetSystemMetrics(SM_CXHTHUMB);
  cyVThumb = ::GetSystemMetrics(SM_CYVTHUMB);
  cyMenuItem = ::GetSystemMetrics(SM_CYMENU);
}

void CXTGlobalUIData::LoadCursors() {
  const XTP_UIDATA_QUERIES q = Effective();
  // In order; the first that cannot be had ends the loading.
  if (!(hcurDragCopy = q.pfnLoadToolkitCursor(XTP_IDC_DRAGCOPY))) return;
  if (!(hcurDragMove = q.pfnLoadToolkitCursor(XTP_IDC_DRAGMOVE))) return;
  if (!(hcurDragNone = q.pfnLoadToolkitCursor(XTP_IDC_DRAGNONE))) return;
  hcurHand = q.pfnLoadSystemCursor(IDC_HAND);
  if (!hcurHand) hcurHand = q.pfnLoadToolkitCursor(XTP_IDC_HAND);
  if (!hcurHand) return;
  if (!(hcurHSplitBar = q.pfnLoadToolkitCursor(XTP_IDC_HSPLITBAR))) return;
  if (!(hcurVSplitBar = q.pfnLoadToolkitCursor(XTP_IDC_VSPLITBAR))) return;
  hcurMove = q.pfnLoadSystemCursor(IDC_SIZEALL);
}

DWORD CXTGlobalUIData::GetComCtlVersion() {
  if (iComCtlVersion != -1) return static_cast<DWORD>(iComCtlVersion);
  const DWORD dwVersion = XTPReadComCtlVersion();
  if (dwVersion != 0) iComCtlVersion = static_cast<int>(dwVersion);
  return iComCtlVersion == -1 ? 0 : static_cast<DWORD>(iComCtlVersion);
}

BOOL CXTGlobalUIData::FontExists(LPCTSTR lpszFaceName) const {
  if (!lpszFaceName || !*lpszFaceName) return FALSE;
  return Effective().pfnFontExists(lpszFaceName);
}

void CXTGlobalUIData::DeleteFonts() {
  CFont* fonts[] = {&font,          &fontBold,          &fontULine,   &fontVert,   &fontVertBold,
                    &fontIconTitle, &fontIconTitleBold, &fontMarlett, &fontStatus, &fontSmCaption};
  for (CFont* p : fonts)
    if (p->GetSafeHandle()) p->DeleteObject();
}

BOOL CXTGlobalUIData::UpdateFonts(LPCTSTR lpszFace, LPCTSTR lpszVertFace) {
  const XTP_UIDATA_QUERIES q = Effective();
  // 1. Away with the old fonts.
  DeleteFonts();

  // 2. The base: the system menu font's size, weight, slant and face, the screen's
  // character set.
  NONCLIENTMETRICSW ncm;
  ZeroMemory(&ncm, sizeof(ncm));
  ncm.cbSize = XTP_NONCLIENTMETRICS_SIZE;
  if (!q.pfnGetNonClientMetrics(&ncm)) {
    ZeroMemory(&ncm, sizeof(ncm));
    ncm.cbSize = XTP_NONCLIENTMETRICS_SIZE;
  }
  LOGFONTW lfBase;
  ZeroMemory(&lfBase, sizeof(lfBase));
  lfBase.lfHeight = ncm.lfMenuFont.lfHeight;
  lfBase.lfWeight = ncm.lfMenuFont.lfWeight;
  lfBase.lfItalic = ncm.lfMenuFont.lfItalic;
  wcsncpy(lfBase.lfFaceName, ncm.lfMenuFont.lfFaceName, LF_FACESIZE - 1);
  if (HDC hScreen = ::GetDC(nullptr)) {
    lfBase.lfCharSet = static_cast<BYTE>(::GetTextCharset(hScreen));
    ::ReleaseDC(nullptr, hScreen);
  }

  // 3. The face.
  const bool bFaceGiven = lpszFace && *lpszFace && q.pfnFontExists(lpszFace);
  if (bFaceGiven) {
    wcsncpy(lfBase.lfFaceName, lpszFace, LF_FACESIZE - 1);
    lfBase.lfFaceName[LF_FACESIZE - 1] = 0;
  } else if (bPreferTahoma && ncm.lfMenuFont.lfCharSet <= 2 && q.pfnFontExists(L"Tahoma")) {
    wcscpy(lfBase.lfFaceName, L"Tahoma");
  }

  // 4. Normal, bold, underlined.
  if (!MakeFont(font, lfBase)) return FALSE;
  if (!MakeFont(fontBold, lfBase, FW_BOLD)) return FALSE;
  if (!MakeFont(fontULine, lfBase, -1, TRUE)) return FALSE;

  // 5. Vertical fonts.
  LOGFONTW lfVert = lfBase;
  if (lpszVertFace && *lpszVertFace && q.pfnFontExists(lpszVertFace)) {
    wcsncpy(lfVert.lfFaceName, lpszVertFace, LF_FACESIZE - 1);
    lfVert.lfFaceName[LF_FACESIZE - 1] = 0;
  } else if (_wcsicmp(ncm.lfMenuFont.lfFaceName, L"Tahoma") != 0 && q.pfnFontExists(L"Arial")) {
    wcscpy(lfVert.lfFaceName, L"Arial");
  }
  if (!MakeFont(fontVert, lfVert, -1, -1, 2700, 900)) return FALSE;
  if (!MakeFont(fontVertBold, lfVert, FW_BOLD, -1, 2700, 900)) return FALSE;

  // 6. Icon titles.
  LOGFONTW lfIcon;
  ZeroMemory(&lfIcon, sizeof(lfIcon));
  if (!q.pfnGetIconTitleFont(&lfIcon)) lfIcon = lfBase;
  if (!MakeFont(fontIconTitle, lfIcon)) return FALSE;
  if (!MakeFont(fontIconTitleBold, lfIcon, FW_BOLD)) return FALSE;

  // 8 (made here in the record's order). Marlett at the icon-title height.
  LOGFONTW lfSymbol;
  ZeroMemory(&lfSymbol, sizeof(lfSymbol));
  lfSymbol.lfHeight = lfIcon.lfHeight;
  lfSymbol.lfCharSet = DEFAULT_CHARSET;
  wcscpy(lfSymbol.lfFaceName, L"Marlett");
  if (!MakeFont(fontMarlett, lfSymbol)) return FALSE;

  // 7. Status and small-caption fonts; a given face replaces theirs too.
  LOGFONTW lfStatus = ncm.lfStatusFont, lfSmCaption = ncm.lfSmCaptionFont;
  if (bFaceGiven) {
    wcsncpy(lfStatus.lfFaceName, lpszFace, LF_FACESIZE - 1);
    lfStatus.lfFaceName[LF_FACESIZE - 1] = 0;
    wcsncpy(lfSmCaption.lfFaceName, lpszFace, LF_FACESIZE - 1);
    lfSmCaption.lfFaceName[LF_FACESIZE - 1] = 0;
  }
  if (!MakeFont(fontStatus, lfStatus)) return FALSE;
  if (!MakeFont(fontSmCaption, lfSmCaption)) return FALSE;
  return TRUE;
}

CXTGlobalUIData& AFXAPI XTGetGlobalUIData() {
  static CXTGlobalUIData s_data;
  return s_data;
}
