// The toolkit's one process-wide record of fonts, cursors, metrics, colours and facts about
// the running system, read by every toolkit control and the wizard's windows.
#pragma once

#include <framework.h>

#include "XTPSystemVersion.h"

// Toolkit cursor resources the record loads (through the resource manager).
#define XTP_IDC_DRAGCOPY 9008
#define XTP_IDC_DRAGMOVE 9009
#define XTP_IDC_DRAGNONE 9011
#define XTP_IDC_HSPLITBAR 9970
#define XTP_IDC_VSPLITBAR 9971
#define XTP_IDC_HAND 9973

// How the record asks the system; tests replace single entries (null: the system).
struct XTP_UIDATA_QUERIES {
  // SPI_GETNONCLIENTMETRICS into a record whose cbSize is set.
  BOOL(CALLBACK* pfnGetNonClientMetrics)(NONCLIENTMETRICSW* pncm);
  // SPI_GETICONTITLELOGFONT.
  BOOL(CALLBACK* pfnGetIconTitleFont)(LOGFONTW* plf);
  // Whether a font family is installed.
  BOOL(CALLBACK* pfnFontExists)(LPCWSTR pszFace);
  // A system cursor (IDC_HAND, IDC_SIZEALL), null when the system has none.
  HCURSOR(CALLBACK* pfnLoadSystemCursor)(LPCWSTR pszId);
  // A toolkit cursor resource, null when missing.
  HCURSOR(CALLBACK* pfnLoadToolkitCursor)(UINT nId);
};
// Installs replacements (null: all from the system); returns the previous set.
XTP_UIDATA_QUERIES AFXAPI XTPSetUIDataQueries(const XTP_UIDATA_QUERIES* pQueries);

class CXTGlobalUIData {
 public:
  CXTGlobalUIData();
  virtual ~CXTGlobalUIData();  // deletes the ten fonts
  CXTGlobalUIData(const CXTGlobalUIData&) = delete;
  CXTGlobalUIData& operator=(const CXTGlobalUIData&) = delete;

  // Re-creates the ten fonts, on lpszFace when given and installed, vertical fonts on
  // lpszVertFace when given and installed. TRUE when all ten were made; the first that
  // fails ends the refresh (the later fonts stay empty).
  BOOL UpdateFonts(LPCTSTR lpszFace = nullptr, LPCTSTR lpszVertFace = nullptr);
  // The common-controls version, (major << 16) | minor; read through the toolkit's one
  // reader on the first call and kept once it was had; 0 when it cannot be read.
  DWORD GetComCtlVersion();
  // Whether a font family is installed.
  BOOL FontExists(LPCTSTR lpszFaceName) const;
  // Colours again from the colour manager (after its throttled refresh).
  void RefreshColors();
  // Metrics again from the system.
  void RefreshMetrics();

  // Colour table, from colour-manager indexes 15, 16, 21, 20, 22, 18, 17, 13, 14, 4, 7, 5,
  // 6, 8, 2, 3, 27, 28, 9, 19, then 30 to 49 (clrXPColors).
  COLORREF clr3DFace;
  COLORREF clr3DShadow;
  COLORREF clr3DDkShadow;
  COLORREF clr3DHilight;
  COLORREF clr3DLight;
  COLORREF clrBtnText;
  COLORREF clrGrayText;
  COLORREF clrHighlight;
  COLORREF clrHighlightText;
  COLORREF clrMenu;
  COLORREF clrMenuText;
  COLORREF clrWindow;
  COLORREF clrWindowFrame;
  COLORREF clrWindowText;
  COLORREF clrActiveCaption;
  COLORREF clrInActiveCaption;
  COLORREF clrGradActiveCapt;
  COLORREF clrGradInActiveCapt;
  COLORREF clrActiveCaptText;
  COLORREF clrInactiveCaptText;
  COLORREF clrXPColors[20];  // colour-manager indexes 30 to 49

  // Cursors, in loading order; the first that fails leaves it and the later ones null.
  HCURSOR hcurDragCopy;    // 9008
  HCURSOR hcurDragMove;    // 9009
  HCURSOR hcurDragNone;    // 9011
  HCURSOR hcurHand;        // the system hand, else toolkit cursor 9973
  HCURSOR hcurHSplitBar;   // 9970
  HCURSOR hcurVSplitBar;   // 9971
  HCURSOR hcurMove;        // the system size-all cursor

  // Metrics.
  int cxSmIcon;   // SM_CXSMICON
  int cySmIcon;   // SM_CYSMICON
  int cxSize;     // 18
  int cySize;     // 18
  int cxHThumb;   // SM_CXHTHUMB
  int cyVThumb;   // SM_CYVTHUMB
  int cyMenuItem; // SM_CYMENU

  // Fonts.
  CFont font;              // normal
  CFont fontBold;          // weight 700
  CFont fontULine;         // underlined
  CFont fontVert;          // escapement 2700, orientation 900
  CFont fontVertBold;      // the same, weight 700
  CFont fontIconTitle;     // SPI_GETICONTITLELOGFONT
  CFont fontIconTitleBold; // weight 700
  CFont fontMarlett;       // "Marlett", icon-title height
  CFont fontStatus;        // non-client status font
  CFont fontSmCaption;     // non-client small-caption font

  // System flags.
  BOOL bWin95;
  BOOL bWin98;
  BOOL bWinNT;   // Windows NT 4.0
  BOOL bWin2K;
  BOOL bWinXP;

  BOOL bPreferTahoma;  // face preference: "Tahoma" when installed (FALSE)
  BOOL bReserved1;      // FALSE, not read here
  BOOL bReserved2;      // TRUE, not read here

  // Common-controls version: -1 until had.
  int iComCtlVersion;

  CString strReserved;  // empty

 private:
  void LoadCursors();
  void DeleteFonts();
};

// The one instance, made on the first call, destroyed at exit.
CXTGlobalUIData& AFXAPI XTGetGlobalUIData();
// The same, by the shorter name.
#define XTAuxData XTGetGlobalUIData()
