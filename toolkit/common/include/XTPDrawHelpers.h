// The toolkit's drawing vocabulary: colour records and gradient colours, scope objects that
// select a GDI object and put the old one back, rectangles taken from windows, the
// double-buffer DC and the memory DC with a gradient background, gradient fills that fall
// back to drawing by hand, colour blending, mnemonic stripping, font tests, monitor work
// areas and a few pixel effects. UI thread only.
#pragma once

#include <framework.h>

class CXTPColorManager;

// ---------------------------------------------------------------------------------------
// A colour with a standard value and a custom value; -1 means "not set". The custom value
// wins when it is set.
class CXTPColorRecord {
 public:
  CXTPColorRecord() = default;
  explicit CXTPColorRecord(COLORREF clrStandard) : m_clrStandardValue(clrStandard) {}

  COLORREF m_clrStandardValue = (COLORREF)-1;
  COLORREF m_clrCustomValue = (COLORREF)-1;

  // The effective colour: the custom value when set, else the standard value (maybe -1).
  COLORREF GetColor() const {
    return m_clrCustomValue != (COLORREF)-1 ? m_clrCustomValue : m_clrStandardValue;
  }
  operator COLORREF() const { return GetColor(); }
  COLORREF GetStandardColor() const { return m_clrStandardValue; }
  COLORREF GetCustomColor() const { return m_clrCustomValue; }
  void SetStandardValue(COLORREF clr) { m_clrStandardValue = clr; }
  void SetCustomValue(COLORREF clr) { m_clrCustomValue = clr; }
  void SetDefaultValue() { m_clrCustomValue = (COLORREF)-1; }  // drops the custom value
  BOOL IsCustomValue() const { return m_clrCustomValue != (COLORREF)-1; }
  BOOL IsDefaultValue() const { return m_clrCustomValue == (COLORREF)-1; }
  // Whether any value is set.
  BOOL IsSet() const { return GetColor() != (COLORREF)-1; }
};

// A two-colour gradient: start and end records and a factor (0.5: a plain gradient; any
// other value puts the blend at the factor in the middle of the fill).
class CXTPGradientColor {
 public:
  CXTPGradientColor() = default;  // all four values -1, factor 0.5
  CXTPGradientColor(COLORREF clr) { SetStandardValue(clr); }  // NOLINT: a colour is a gradient
  CXTPGradientColor(COLORREF clrStart, COLORREF clrEnd, float fFactor = 0.5f) {
    SetStandardValue(clrStart, clrEnd, fFactor);
  }

  CXTPColorRecord clrStart;
  CXTPColorRecord clrEnd;
  float fGradientFactor = 0.5f;

  // Both standard values the colour, factor 0.5.
  void SetStandardValue(COLORREF clr) { SetStandardValue(clr, clr, 0.5f); }
  void SetStandardValue(COLORREF clrStartValue, COLORREF clrEndValue, float fFactor = 0.5f) {
    clrStart.SetStandardValue(clrStartValue);
    clrEnd.SetStandardValue(clrEndValue);
    fGradientFactor = fFactor;
  }
  // The other's effective start and end as standard values, and its factor.
  void SetStandardValue(const CXTPGradientColor& other) {
    SetStandardValue(other.GetStartColor(), other.GetEndColor(), other.fGradientFactor);
  }
  void SetCustomValue(COLORREF clrStartValue, COLORREF clrEndValue) {
    clrStart.SetCustomValue(clrStartValue);
    clrEnd.SetCustomValue(clrEndValue);
  }
  COLORREF GetStartColor() const { return clrStart.GetColor(); }
  COLORREF GetEndColor() const { return clrEnd.GetColor(); }
  float GetFactor() const { return fGradientFactor; }
};

// ---------------------------------------------------------------------------------------
// Scope objects: each selects something into a DC when made and restores the DC when gone.

// Selects a font; the previous font comes back on destruction.
class CXTPFontDC {
 public:
  CXTPFontDC(CDC* pDC, CFont* pFont);
  ~CXTPFontDC();
  CXTPFontDC(const CXTPFontDC&) = delete;
  CXTPFontDC& operator=(const CXTPFontDC&) = delete;
  // Selects another font; the one from before the first selection still comes back.
  void SetFont(CFont* pFont);

 private:
  HDC m_hDC = nullptr;
  HGDIOBJ m_hOldFont = nullptr;
};

// Selects a bitmap; the previous bitmap comes back on destruction.
class CXTPBitmapDC {
 public:
  CXTPBitmapDC(CDC* pDC, CBitmap* pBitmap);
  ~CXTPBitmapDC();
  CXTPBitmapDC(const CXTPBitmapDC&) = delete;
  CXTPBitmapDC& operator=(const CXTPBitmapDC&) = delete;

 private:
  HDC m_hDC = nullptr;
  HGDIOBJ m_hOldBitmap = nullptr;
};

// A solid pen of width 1 in a colour, selected for the object's lifetime and then deleted.
class CXTPPenDC {
 public:
  CXTPPenDC(HDC hDC, COLORREF clr);
  ~CXTPPenDC();
  CXTPPenDC(const CXTPPenDC&) = delete;
  CXTPPenDC& operator=(const CXTPPenDC&) = delete;
  COLORREF GetColor() const;  // the pen's colour
  // Replaces the pen by one of another colour.
  void Color(COLORREF clr);

 private:
  HDC m_hDC = nullptr;
  HPEN m_hPen = nullptr;
  HGDIOBJ m_hOldPen = nullptr;
};

// A solid brush in a colour, selected for the object's lifetime and then deleted.
class CXTPBrushDC {
 public:
  CXTPBrushDC(HDC hDC, COLORREF clr);
  ~CXTPBrushDC();
  CXTPBrushDC(const CXTPBrushDC&) = delete;
  CXTPBrushDC& operator=(const CXTPBrushDC&) = delete;
  // Deselects and deletes the brush, then makes and selects one of the new colour.
  void SetColor(COLORREF clr);
  COLORREF GetColor() const { return m_clr; }

 private:
  HDC m_hDC = nullptr;
  HBRUSH m_hBrush = nullptr;
  HGDIOBJ m_hOldBrush = nullptr;
  COLORREF m_clr = 0;
};

// A new DC compatible with pDC (the screen when null) with the bitmap selected; the
// bitmap is deselected and the DC deleted on destruction.
class CXTPCompatibleDC : public CDC {
 public:
  CXTPCompatibleDC(CDC* pDC, CBitmap* pBitmap);
  CXTPCompatibleDC(CDC* pDC, HBITMAP hBitmap);
  ~CXTPCompatibleDC() override;

 private:
  HGDIOBJ m_hOldBitmap = nullptr;
};

// ---------------------------------------------------------------------------------------
// Rectangles and points read from windows.
class CXTPEmptyRect : public CRect {
 public:
  CXTPEmptyRect() { SetRectEmpty(); }
};

// The window rectangle in screen coordinates; empty when the handle is not a window.
class CXTPWindowRect : public CRect {
 public:
  explicit CXTPWindowRect(HWND hWnd);
  explicit CXTPWindowRect(const CWnd* pWnd);
};

// The client rectangle; empty when the handle is not a window.
class CXTPClientRect : public CRect {
 public:
  explicit CXTPClientRect(HWND hWnd);
  explicit CXTPClientRect(const CWnd* pWnd);
};

// The cursor position in the window's client coordinates.
class CXTPClientCursorPos : public CPoint {
 public:
  explicit CXTPClientCursorPos(HWND hWnd);
  explicit CXTPClientCursorPos(const CWnd* pWnd);
};

// ---------------------------------------------------------------------------------------
// Double buffer: a DC compatible with the target holding a compatible bitmap that reaches
// from (0, 0) to the rectangle's bottom-right corner. Everything drawn goes into it; on
// destruction the rectangle is copied to the target at the same coordinates.
class CXTPBufferDC : public CDC {
 public:
  CXTPBufferDC(HDC hDestDC, const RECT& rect);
  CXTPBufferDC(CPaintDC& paintDC);  // the paint rectangle of a paint DC
  ~CXTPBufferDC() override;
  // Drops what was drawn: nothing is copied back.
  void Discard() { m_bDiscard = TRUE; }
  // The target DC.
  CDC* GetDestDC() { return CDC::FromHandle(m_hDestDC); }
  BOOL IsValid() const { return m_hDC != nullptr; }

 private:
  void Create(HDC hDestDC, const RECT& rect);

  HDC m_hDestDC = nullptr;
  HBITMAP m_hBitmap = nullptr;
  HGDIOBJ m_hOldBitmap = nullptr;
  CRect m_rect;
  BOOL m_bDiscard = FALSE;
};

// Memory DC with a gradient background: a DC compatible with the target and a bitmap of
// the rectangle's size (the target's clip box when the rectangle is empty), filled from
// (0, 0) with the background when its end colour is set. On destruction the whole bitmap
// goes to the target at the rectangle's top-left corner. When no DC can be made the object
// is invalid: it draws nothing and copies nothing back.
class CXTMemDC : public CDC {
  DECLARE_DYNAMIC(CXTMemDC)

 public:
  CXTMemDC(CDC* pDC, const RECT& rect, const CXTPGradientColor& clrBack = CXTPGradientColor(),
           BOOL bHorz = FALSE);
  ~CXTMemDC() override;
  CXTMemDC(const CXTMemDC&) = delete;
  CXTMemDC& operator=(const CXTMemDC&) = delete;

  BOOL IsValid() const { return m_bValid; }
  // Drops what was drawn: nothing is copied back.
  void Discard() { m_bDiscard = TRUE; }
  // Copies the bitmap to the target now (it is copied again on destruction).
  void FromDC();
  CDC* GetTargetDC() const { return m_pDC; }
  const CRect& GetRect() const { return m_rc; }
  CBitmap& GetBitmap() { return m_bitmap; }

 protected:
  CDC* m_pDC = nullptr;
  CRect m_rc;
  CBitmap m_bitmap;
  HGDIOBJ m_hOldBitmap = nullptr;
  BOOL m_bValid = FALSE;
  BOOL m_bDiscard = FALSE;
};

// ---------------------------------------------------------------------------------------
// Signature of msimg32's "GradientFill".
typedef BOOL(WINAPI* PFNXTPGRADIENTFILL)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// The drawing helpers. Every operation is static, so callers write either
// CXTPDrawHelpers::GradientFill(...) or XTPDrawHelpers()->GradientFill(...). The one
// instance, made during static initialisation, binds msimg32's "GradientFill" and frees
// the library at exit.
class CXTPDrawHelpers {
 public:
  CXTPDrawHelpers();
  ~CXTPDrawHelpers();
  CXTPDrawHelpers(const CXTPDrawHelpers&) = delete;
  CXTPDrawHelpers& operator=(const CXTPDrawHelpers&) = delete;

  // Gradient fills. Nothing for a null or empty rectangle; a solid fill of crFrom when the
  // colours are equal or the DC has 8 bits per pixel or fewer; msimg32 when bound, else
  // drawn by hand line by line inside the DC's clip box.
  static void GradientFill(CDC* pDC, LPCRECT lpRect, COLORREF crFrom, COLORREF crTo, BOOL bHorz);
  // The same, cut to lpRectClip (null: not cut); the end colours are those of the cut
  // points.
  static void GradientFill(CDC* pDC, LPCRECT lpRect, COLORREF crFrom, COLORREF crTo, BOOL bHorz,
                           LPCRECT lpRectClip);
  // From a gradient colour: with a factor other than 0.5 two fills meet at the blend at the
  // factor in the middle.
  static void GradientFill(CDC* pDC, LPCRECT lpRect, const CXTPGradientColor& grc, BOOL bHorz,
                           LPCRECT lpRectClip = nullptr);

  // w x a + (1 - w) x b per channel, truncated, at most 255.
  static COLORREF BlendColors(COLORREF crA, COLORREF crB, float fWeight);

  // Whether the DC has 1 to 8 bits per pixel (the desktop when null). For a memory DC the
  // bitmap selected into it counts.
  static BOOL IsLowColor(HDC hDC = nullptr);

  // Removes every '&' that is last or not followed by another '&': "&&" becomes "&".
  static void StripMnemonics(CString& strText);

  // Whether a font family of this face is installed (screen DC, DEFAULT_CHARSET).
  static BOOL FontExists(LPCTSTR lpszFaceName);
  // The face for vertical text (see the source for the rule).
  static void GetDefaultFontName(CString& strFontName, BOOL bUseTahoma);
  static CString GetDefaultFontName(BOOL bUseTahoma = FALSE);

  // Pixel pairs: pPoints holds records of two points each, {x, y} and {dx, dy}; nCount
  // counts points. Each pixel (x, y) becomes the channel-wise average of itself and the
  // pixel at (x + dx, y + dy). Only whole records are read.
  static void BlendPixelPairs(CDC* pDC, const POINT* pPoints, int nCount);
  static void BlendPixelPairs(CDC* pDC, const int* pRecords, int nCount);

  // Excludes the four corner pixels of the rectangle from the DC's clip region.
  static void ExcludeCorners(CDC* pDC, int left, int top, int right, int bottom);
  static void ExcludeCorners(CDC* pDC, const RECT& rect);

  // Whether the foreground window is the last active popup of the window's top-most parent
  // or owner.
  static BOOL IsTopParentActive(HWND hWnd);

  // The bound msimg32 "GradientFill" (null: gradients are drawn by hand). The setter is a
  // seam for tests and returns the previous binding.
  static PFNXTPGRADIENTFILL GetGradientFillProc();
  static PFNXTPGRADIENTFILL SetGradientFillProc(PFNXTPGRADIENTFILL pfn);

 private:
  static void GradientFillHand(CDC* pDC, const CRect& rect, COLORREF crFrom, COLORREF crTo, BOOL bHorz);

  HMODULE m_hMsImg32 = nullptr;
  PFNXTPGRADIENTFILL m_pfnGradientFill = nullptr;
};

// The one instance.
CXTPDrawHelpers* AFXAPI XTPDrawHelpers();

// Removes single '&' markers but keeps "&&" doubled and a trailing '&'.
void AFXAPI XTStripMnemonics(CString& strText);

// Fills the rectangle with an 8 x 8 checker (rows 0x55 / 0xAA) in colour-manager colours
// 15 (background) and 20 (text); the DC's colours come back afterwards.
void AFXAPI XTPFillDitheredRect(CDC* pDC, LPCRECT lpRect);

// The colour manager's effective colour scheme (0 classic, 1 blue, 2 olive, 3 silver).
int AFXAPI XTPGetCurrentTheme();

// ---------------------------------------------------------------------------------------
// A bitmap whose top-left pixel colour is transparent; does not own the bitmap.
class CXTPMaskedBitmap {
 public:
  explicit CXTPMaskedBitmap(HBITMAP hBitmap = nullptr) : m_hBitmap(hBitmap) {}
  // A new icon of the bitmap's size (the caller destroys it); null without a bitmap or
  // when its size is zero.
  HICON ExtractIcon() const;
  HBITMAP m_hBitmap;
};

// ---------------------------------------------------------------------------------------
// Monitor work areas through the user library's multi-monitor functions, bound on first
// use; without them every form gives the primary work area (SPI_GETWORKAREA).
class CXTPMultiMonitor {
 public:
  CXTPMultiMonitor() = default;

  static CRect GetWorkArea(const CWnd* pWnd);
  static CRect GetWorkArea(HWND hWnd);
  static CRect GetWorkArea(LPCRECT lpRect);
  static CRect GetWorkArea(POINT pt);
  // The primary work area.
  static CRect GetWorkArea();

  // Binds the five functions from hUser32 (null: as if the system had none). Binding
  // normally happens on first use; tests call this to try either case. Returns whether
  // all five were found.
  BOOL Bind(HMODULE hUser32);
  BOOL IsBound() const { return m_pfnGetMonitorInfo != nullptr; }

 private:
  void BindOnce();
  CRect WorkAreaOf(HMONITOR hMonitor) const;

  typedef int(WINAPI* PFNGETSYSTEMMETRICS)(int);
  typedef HMONITOR(WINAPI* PFNMONITORFROMWINDOW)(HWND, DWORD);
  typedef HMONITOR(WINAPI* PFNMONITORFROMRECT)(LPCRECT, DWORD);
  typedef HMONITOR(WINAPI* PFNMONITORFROMPOINT)(POINT, DWORD);
  typedef BOOL(WINAPI* PFNGETMONITORINFO)(HMONITOR, LPMONITORINFO);

  PFNGETSYSTEMMETRICS m_pfnGetSystemMetrics = nullptr;
  PFNMONITORFROMWINDOW m_pfnMonitorFromWindow = nullptr;
  PFNMONITORFROMRECT m_pfnMonitorFromRect = nullptr;
  PFNMONITORFROMPOINT m_pfnMonitorFromPoint = nullptr;
  PFNGETMONITORINFO m_pfnGetMonitorInfo = nullptr;
  BOOL m_bBindTried = FALSE;
};

// The one instance.
CXTPMultiMonitor* AFXAPI XTPMultiMonitor();
