// Drawing helpers: scope objects, rectangles from windows, gradient fills, blending,
// mnemonics, font tests and pixel effects.
#include <framework.h>

#include "XTPDrawHelpers.h"

#include "XTPColorManager.h"
#include "XTPSystemVersion.h"

#include <cmath>

// ---------------------------------------------------------------------------------------
// Scope objects.

CXTPFontDC::CXTPFontDC(CDC* pDC, CFont* pFont) : m_hDC(pDC ? pDC->GetSafeHdc() : nullptr) {
  SetFont(pFont);
}

CXTPFontDC::~CXTPFontDC() {
  if (m_hDC && m_hOldFont) ::SelectObject(m_hDC, m_hOldFont);
}

void CXTPFontDC::SetFont(CFont* pFont) {
  if (!m_hDC || !pFont || !pFont->GetSafeHandle()) return;
  HGDIOBJ hOld = ::SelectObject(m_hDC, pFont->GetSafeHandle());
  if (!m_hOldFont) m_hOldFont = hOld;
}

CXTPBitmapDC::CXTPBitmapDC(CDC* pDC, CBitmap* pBitmap) : m_hDC(pDC ? pDC->GetSafeHdc() : nullptr) {
  if (m_hDC && pBitmap && pBitmap->GetSafeHandle()) m_hOldBitmap = ::SelectObject(m_hDC, pBitmap->GetSafeHandle());
}

CXTPBitmapDC::~CXTPBitmapDC() {
  if (m_hDC && m_hOldBitmap) ::SelectObject(m_hDC, m_hOldBitmap);
}

CXTPPenDC::CXTPPenDC(HDC hDC, COLORREF clr) : m_hDC(hDC) {
  m_hPen = ::CreatePen(PS_SOLID, 1, clr);
  if (m_hDC && m_hPen) m_hOldPen = ::SelectObject(m_hDC, m_hPen);
}

CXTPPenDC::~CXTPPenDC() {
  if (m_hDC && m_hOldPen) ::SelectObject(m_hDC, m_hOldPen);
  if (m_hPen) ::DeleteObject(m_hPen);
}

COLORREF CXTPPenDC::GetColor() const {
  LOGPEN lp = {};
  if (!m_hPen || !::GetObjectW(m_hPen, sizeof(lp), &lp)) return (COLORREF)-1;
  return lp.lopnColor;
}

void CXTPPenDC::Color(COLORREF clr) {
  HPEN hPen = ::CreatePen(PS_SOLID, 1, clr);
  if (!hPen) return;
  if (m_hDC) {
    HGDIOBJ hOld = ::SelectObject(m_hDC, hPen);
    if (!m_hOldPen) m_hOldPen = hOld;
  }
  if (m_hPen) ::DeleteObject(m_hPen);
  m_hPen = hPen;
}

CXTPBrushDC::CXTPBrushDC(HDC hDC, COLORREF clr) : m_hDC(hDC), m_clr(clr) {
  m_hBrush = ::CreateSolidBrush(clr);
  if (m_hDC && m_hBrush) m_hOldBrush = ::SelectObject(m_hDC, m_hBrush);
}

CXTPBrushDC::~CXTPBrushDC() {
  if (m_hDC && m_hOldBrush) ::SelectObject(m_hDC, m_hOldBrush);
  if (m_hBrush) ::DeleteObject(m_hBrush);
}

void CXTPBrushDC::SetColor(COLORREF clr) {
  // Deselect and delete the current brush first, then make and select the new one.
  if (m_hDC && m_hOldBrush) ::SelectObject(m_hDC, m_hOldBrush);
  if (m_hBrush) ::DeleteObject(m_hBrush);
  m_clr = clr;
  m_hBrush = ::CreateSolidBrush(clr);
  if (m_hDC && m_hBrush) {
    HGDIOBJ hOld = ::SelectObject(m_hDC, m_hBrush);
    if (!m_hOldBrush) m_hOldBrush = hOld;
  }
}

CXTPCompatibleDC::CXTPCompatibleDC(CDC* pDC, CBitmap* pBitmap)
    : CXTPCompatibleDC(pDC, pBitmap ? static_cast<HBITMAP>(pBitmap->GetSafeHandle()) : nullptr) {}

CXTPCompatibleDC::CXTPCompatibleDC(CDC* pDC, HBITMAP hBitmap) {
  CreateCompatibleDC(pDC);
  if (m_hDC && hBitmap) m_hOldBitmap = ::SelectObject(m_hDC, hBitmap);
}

CXTPCompatibleDC::~CXTPCompatibleDC() {
  if (m_hDC && m_hOldBitmap) ::SelectObject(m_hDC, m_hOldBitmap);
  DeleteDC();
}

// ---------------------------------------------------------------------------------------
// Rectangles and points of windows.

CXTPWindowRect::CXTPWindowRect(HWND hWnd) {
  SetRectEmpty();
  if (hWnd && ::IsWindow(hWnd)) ::GetWindowRect(hWnd, this);
}
CXTPWindowRect::CXTPWindowRect(const CWnd* pWnd) : CXTPWindowRect(pWnd ? pWnd->GetSafeHwnd() : nullptr) {}

CXTPClientRect::CXTPClientRect(HWND hWnd) {
  SetRectEmpty();
  if (hWnd && ::IsWindow(hWnd)) ::GetClientRect(hWnd, this);
}
CXTPClientRect::CXTPClientRect(const CWnd* pWnd) : CXTPClientRect(pWnd ? pWnd->GetSafeHwnd() : nullptr) {}

CXTPClientCursorPos::CXTPClientCursorPos(HWND hWnd) {
  x = y = 0;
  ::GetCursorPos(this);
  if (hWnd && ::IsWindow(hWnd)) ::ScreenToClient(hWnd, this);
}
CXTPClientCursorPos::CXTPClientCursorPos(const CWnd* pWnd)
    : CXTPClientCursorPos(pWnd ? pWnd->GetSafeHwnd() : nullptr) {}

// ---------------------------------------------------------------------------------------
// Double buffer.

CXTPBufferDC::CXTPBufferDC(HDC hDestDC, const RECT& rect) { Create(hDestDC, rect); }

CXTPBufferDC::CXTPBufferDC(CPaintDC& paintDC) { Create(paintDC.GetSafeHdc(), paintDC.m_ps.rcPaint); }

void CXTPBufferDC::Create(HDC hDestDC, const RECT& rect) {
  m_hDestDC = hDestDC;
  m_rect = rect;
  if (!hDestDC) return;
  HDC hDC = ::CreateCompatibleDC(hDestDC);
  if (!hDC) return;
  // The bitmap reaches from (0, 0) so that callers draw in the target's coordinates.
  const int cx = std::max(1L, m_rect.right), cy = std::max(1L, m_rect.bottom);
  m_hBitmap = ::CreateCompatibleBitmap(hDestDC, cx, cy);
  if (!m_hBitmap) {
    ::DeleteDC(hDC);
    return;
  }
  Attach(hDC);
  m_hOldBitmap = ::SelectObject(m_hDC, m_hBitmap);
}

CXTPBufferDC::~CXTPBufferDC() {
  if (!m_hDC) return;
  if (!m_bDiscard && m_hDestDC)
    ::BitBlt(m_hDestDC, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), m_hDC, m_rect.left,
             m_rect.top, SRCCOPY);
  ::SelectObject(m_hDC, m_hOldBitmap);
  ::DeleteObject(m_hBitmap);
  DeleteDC();
}

// ---------------------------------------------------------------------------------------
// Memory DC with a gradient background.

IMPLEMENT_DYNAMIC(CXTMemDC, CDC)

CXTMemDC::CXTMemDC(CDC* pDC, const RECT& rect, const CXTPGradientColor& clrBack, BOOL bHorz) : m_pDC(pDC) {
  if (!pDC || !pDC->GetSafeHdc()) return;
  m_rc = rect;
  if (m_rc.IsRectEmpty()) pDC->GetClipBox(&m_rc);
  if (!CreateCompatibleDC(pDC)) return;
  SetMapMode(pDC->GetMapMode());
  if (!m_bitmap.CreateCompatibleBitmap(pDC, std::max(1, m_rc.Width()), std::max(1, m_rc.Height()))) {
    DeleteDC();
    return;
  }
  m_hOldBitmap = ::SelectObject(m_hDC, m_bitmap.GetSafeHandle());
  m_bValid = TRUE;
  if (clrBack.clrEnd.GetStandardColor() != (COLORREF)-1 || clrBack.clrEnd.GetCustomColor() != (COLORREF)-1) {
    CRect rcFill(0, 0, m_rc.Width(), m_rc.Height());
    CXTPDrawHelpers::GradientFill(this, &rcFill, clrBack, bHorz, nullptr);
  }
}

void CXTMemDC::FromDC() {
  if (!m_bValid || !m_pDC) return;
  m_pDC->BitBlt(m_rc.left, m_rc.top, m_rc.Width(), m_rc.Height(), this, 0, 0, SRCCOPY);
}

CXTMemDC::~CXTMemDC() {
  if (!m_bValid) return;
  if (!m_bDiscard) FromDC();
  ::SelectObject(m_hDC, m_hOldBitmap);
  m_bitmap.DeleteObject();
  DeleteDC();
}

// ---------------------------------------------------------------------------------------
// The helpers' one instance binds msimg32 during static initialisation.

static CXTPDrawHelpers g_drawHelpers;

CXTPDrawHelpers* AFXAPI XTPDrawHelpers() { return &g_drawHelpers; }

CXTPDrawHelpers::CXTPDrawHelpers() {
  m_hMsImg32 = ::LoadLibraryW(L"msimg32.dll");
  if (m_hMsImg32)
    m_pfnGradientFill = reinterpret_cast<PFNXTPGRADIENTFILL>(::GetProcAddress(m_hMsImg32, "GradientFill"));
}

CXTPDrawHelpers::~CXTPDrawHelpers() {
  m_pfnGradientFill = nullptr;
  if (m_hMsImg32) ::FreeLibrary(m_hMsImg32);
  m_hMsImg32 = nullptr;
}

PFNXTPGRADIENTFILL CXTPDrawHelpers::GetGradientFillProc() { return g_drawHelpers.m_pfnGradientFill; }

PFNXTPGRADIENTFILL CXTPDrawHelpers::SetGradientFillProc(PFNXTPGRADIENTFILL pfn) {
  PFNXTPGRADIENTFILL pfnOld = g_drawHelpers.m_pfnGradientFill;
  g_drawHelpers.m_pfnGradientFill = pfn;
  return pfnOld;
}

COLORREF CXTPDrawHelpers::BlendColors(COLORREF crA, COLORREF crB, float fWeight) {
  auto channel = [fWeight](int a, int b) {
    const float v = fWeight * a + (1.0f - fWeight) * b;
    int n = static_cast<int>(v);  // toward zero
    if (n > 255) n = 255;
    if (n < 0) n = 0;
    return n;
  };
  return RGB(channel(GetRValue(crA), GetRValue(crB)), channel(GetGValue(crA), GetGValue(crB)),
             channel(GetBValue(crA), GetBValue(crB)));
}

BOOL CXTPDrawHelpers::IsLowColor(HDC hDC) {
  int nBits = 0;
  if (hDC && ::GetObjectType(hDC) == OBJ_MEMDC) {
    // A memory DC draws with the depth of its bitmap, not of the screen.
    BITMAP bm = {};
    HGDIOBJ hBitmap = ::GetCurrentObject(hDC, OBJ_BITMAP);
    if (hBitmap && ::GetObjectW(hBitmap, sizeof(bm), &bm)) nBits = bm.bmBitsPixel * bm.bmPlanes;
  } else {
    HDC hScreen = hDC ? hDC : ::GetDC(nullptr);
    if (hScreen) {
      nBits = ::GetDeviceCaps(hScreen, BITSPIXEL) * ::GetDeviceCaps(hScreen, PLANES);
      if (!hDC) ::ReleaseDC(nullptr, hScreen);
    }
  }
  return nBits >= 1 && nBits <= 8;
}

void CXTPDrawHelpers::GradientFillHand(CDC* pDC, const CRect& rect, COLORREF crFrom, COLORREF crTo, BOOL bHorz) {
  CRect rcClip;
  if (pDC->GetClipBox(&rcClip) == ERROR || rcClip.IsRectEmpty()) rcClip = rect;
  CRect rcDraw;
  if (!rcDraw.IntersectRect(&rcClip, &rect)) return;
  if (bHorz) {
    const float w = rect.Width() > 0 ? static_cast<float>(rect.Width()) : 1.0f;
    for (int x = rcDraw.left; x < rcDraw.right; x++) {
      const COLORREF clr = BlendColors(crFrom, crTo, 1.0f - (x - rect.left) / w);
      pDC->FillSolidRect(x, rcDraw.top, 1, rcDraw.Height(), clr);
    }
  } else {
    const float h = rect.Height() > 0 ? static_cast<float>(rect.Height()) : 1.0f;
    for (int y = rcDraw.top; y < rcDraw.bottom; y++) {
      const COLORREF clr = BlendColors(crFrom, crTo, 1.0f - (y - rect.top) / h);
      pDC->FillSolidRect(rcDraw.left, y, rcDraw.Width(), 1, clr);
    }
  }
}

void CXTPDrawHelpers::GradientFill(CDC* pDC, LPCRECT lpRect, COLORREF crFrom, COLORREF crTo, BOOL bHorz) {
  if (!pDC || !pDC->GetSafeHdc() || !lpRect || ::IsRectEmpty(lpRect)) return;
  const CRect rect(lpRect);
  if (IsLowColor(pDC->GetSafeHdc()) || crFrom == crTo) {
    pDC->FillSolidRect(&rect, crFrom);
    return;
  }
  PFNXTPGRADIENTFILL pfn = g_drawHelpers.m_pfnGradientFill;
  if (pfn) {
    TRIVERTEX vert[2] = {};
    vert[0].x = rect.left;
    vert[0].y = rect.top;
    vert[0].Red = static_cast<COLOR16>(GetRValue(crFrom) << 8);
    vert[0].Green = static_cast<COLOR16>(GetGValue(crFrom) << 8);
    vert[0].Blue = static_cast<COLOR16>(GetBValue(crFrom) << 8);
    vert[0].Alpha = 0;
    vert[1].x = rect.right;
    vert[1].y = rect.bottom;
    vert[1].Red = static_cast<COLOR16>(GetRValue(crTo) << 8);
    vert[1].Green = static_cast<COLOR16>(GetGValue(crTo) << 8);
    vert[1].Blue = static_cast<COLOR16>(GetBValue(crTo) << 8);
    vert[1].Alpha = 0;
    GRADIENT_RECT gRect = {0, 1};
    if (pfn(pDC->GetSafeHdc(), vert, 2, &gRect, 1, bHorz ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V)) return;
    // A refused call falls through to the hand-drawn way.
  }
  GradientFillHand(pDC, rect, crFrom, crTo, bHorz);
}

void CXTPDrawHelpers::GradientFill(CDC* pDC, LPCRECT lpRect, COLORREF crFrom, COLORREF crTo, BOOL bHorz,
                                   LPCRECT lpRectClip) {
  if (!lpRect) return;
  if (!lpRectClip) {
    GradientFill(pDC, lpRect, crFrom, crTo, bHorz);
    return;
  }
  CRect rc(lpRect);
  const CRect rcClip(lpRectClip);
  if (bHorz) {
    const int width = rc.Width();
    rc.top = std::max(rc.top, rcClip.top);
    rc.bottom = std::min(rc.bottom, rcClip.bottom);
    if (rc.right <= rcClip.left || rc.left >= rcClip.right || width <= 0) return;
    const COLORREF crFrom0 = crFrom, crTo0 = crTo;
    if (rc.left < rcClip.left) {
      crFrom = BlendColors(crFrom0, crTo0, static_cast<float>(rc.right - rcClip.left) / width);
      rc.left = rcClip.left;
    }
    if (rc.right > rcClip.right) {
      crTo = BlendColors(crFrom0, crTo0, static_cast<float>(rc.right - rcClip.right) / width);
      rc.right = rcClip.right;
    }
    GradientFill(pDC, &rc, crFrom, crTo, TRUE);
  } else {
    const int height = rc.Height();
    rc.left = std::max(rc.left, rcClip.left);
    rc.right = std::min(rc.right, rcClip.right);
    if (rc.bottom <= rcClip.top || rc.top >= rcClip.bottom || height <= 0) return;
    const COLORREF crFrom0 = crFrom, crTo0 = crTo;
    if (rc.top < rcClip.top) {
      crFrom = BlendColors(crFrom0, crTo0, static_cast<float>(rc.bottom - rcClip.top) / height);
      rc.top = rcClip.top;
    }
    if (rc.bottom > rcClip.bottom) {
      crTo = BlendColors(crFrom0, crTo0, static_cast<float>(rc.bottom - rcClip.bottom) / height);
      rc.bottom = rcClip.bottom;
    }
    GradientFill(pDC, &rc, crFrom, crTo, FALSE);
  }
}

void CXTPDrawHelpers::GradientFill(CDC* pDC, LPCRECT lpRect, const CXTPGradientColor& grc, BOOL bHorz,
                                   LPCRECT lpRectClip) {
  if (!lpRect) return;
  const COLORREF clrStart = grc.GetStartColor(), clrEnd = grc.GetEndColor();
  if (grc.fGradientFactor == 0.5f) {
    GradientFill(pDC, lpRect, clrStart, clrEnd, bHorz, lpRectClip);
    return;
  }
  const COLORREF clrMid = BlendColors(clrStart, clrEnd, grc.fGradientFactor);
  CRect rcFirst(lpRect), rcSecond(lpRect);
  if (bHorz) {
    const int cut = lpRect->right - (lpRect->right - lpRect->left) / 2;
    rcFirst.right = cut;
    rcSecond.left = cut;
  } else {
    const int cut = lpRect->bottom - (lpRect->bottom - lpRect->top) / 2;
    rcFirst.bottom = cut;
    rcSecond.top = cut;
  }
  GradientFill(pDC, &rcFirst, clrStart, clrMid, bHorz, lpRectClip);
  GradientFill(pDC, &rcSecond, clrMid, clrEnd, bHorz, lpRectClip);
}

void CXTPDrawHelpers::StripMnemonics(CString& strText) {
  CString strResult;
  const int n = strText.GetLength();
  for (int i = 0; i < n; i++) {
    const TCHAR ch = strText[i];
    if (ch == _T('&')) {
      if (i + 1 < n && strText[i + 1] == _T('&')) {
        strResult += _T('&');  // a doubled one stays as one
        i++;
      }
      continue;  // a single or trailing one goes
    }
    strResult += ch;
  }
  strText = strResult;
}

void AFXAPI XTStripMnemonics(CString& strText) {
  CString strResult;
  const int n = strText.GetLength();
  int i = 0;
  for (; i <= n - 2; i++) {
    const TCHAR ch = strText[i];
    if (ch == _T('&') && strText[i + 1] == _T('&')) {
      strResult += _T("&&");  // skipped over, kept doubled
      i++;
      continue;
    }
    if (ch != _T('&')) strResult += ch;
  }
  // The last character (if the loop did not consume it) is never looked at: a trailing
  // ampersand stays.
  for (; i < n; i++) strResult += strText[i];
  strText = strResult;
}

namespace {
struct FontSearch {
  LPCTSTR pszFace;
  BOOL bFound;
};
int CALLBACK FontExistsProc(const LOGFONTW* plf, const TEXTMETRICW*, DWORD, LPARAM lParam) {
  FontSearch* pSearch = reinterpret_cast<FontSearch*>(lParam);
  if (_wcsicmp(plf->lfFaceName, pSearch->pszFace) == 0) {
    pSearch->bFound = TRUE;
    return 0;
  }
  return 1;
}
}  // namespace

BOOL CXTPDrawHelpers::FontExists(LPCTSTR lpszFaceName) {
  if (!lpszFaceName || !*lpszFaceName) return FALSE;
  HDC hDC = ::GetDC(nullptr);
  if (!hDC) return FALSE;
  LOGFONTW lf = {};
  lf.lfCharSet = DEFAULT_CHARSET;  // face name empty: every family once
  FontSearch search = {lpszFaceName, FALSE};
  ::EnumFontFamiliesExW(hDC, &lf, FontExistsProc, reinterpret_cast<LPARAM>(&search), 0);
  ::ReleaseDC(nullptr, hDC);
  return search.bFound;
}

void CXTPDrawHelpers::GetDefaultFontName(CString& strFontName, BOOL bUseTahoma) {
  LOGFONTW lf = {};
  ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  const CXTPOSVersionInfo* pVer = XTPGetOSVersionInfo();
  // Scripts other than Western (character sets above 2) keep the GUI font on NT 5 and
  // later, as does a system without "Arial".
  if ((lf.lfCharSet > 2 && pVer->IsWin2KOrGreater()) || !FontExists(_T("Arial"))) {
    strFontName = lf.lfFaceName;
  } else if (bUseTahoma && FontExists(_T("Tahoma"))) {
    strFontName = _T("Tahoma");
  } else {
    strFontName = _T("Arial");
  }
}

CString CXTPDrawHelpers::GetDefaultFontName(BOOL bUseTahoma) {
  CString strFontName;
  GetDefaultFontName(strFontName, bUseTahoma);
  return strFontName;
}

void CXTPDrawHelpers::BlendPixelPairs(CDC* pDC, const POINT* pPoints, int nCount) {
  if (!pDC || !pDC->GetSafeHdc() || !pPoints || nCount <= 0) return;
  // Two points per record; a half record at an odd count's end is not read.
  const int nRecords = nCount / 2;
  for (int i = 0; i < nRecords; i++) {
    const POINT& pt = pPoints[i * 2];
    const POINT& offset = pPoints[i * 2 + 1];
    const COLORREF clrA = pDC->GetPixel(pt.x, pt.y);
    const COLORREF clrB = pDC->GetPixel(pt.x + offset.x, pt.y + offset.y);
    if (clrA == CLR_INVALID || clrB == CLR_INVALID) continue;
    pDC->SetPixel(pt.x, pt.y,
                  RGB((GetRValue(clrA) + GetRValue(clrB)) >> 1, (GetGValue(clrA) + GetGValue(clrB)) >> 1,
                      (GetBValue(clrA) + GetBValue(clrB)) >> 1));
  }
}

void CXTPDrawHelpers::BlendPixelPairs(CDC* pDC, const int* pRecords, int nCount) {
  static_assert(sizeof(POINT) == 2 * sizeof(int), "a POINT is two ints");
  BlendPixelPairs(pDC, reinterpret_cast<const POINT*>(pRecords), nCount);
}

void CXTPDrawHelpers::ExcludeCorners(CDC* pDC, int left, int top, int right, int bottom) {
  if (!pDC || !pDC->GetSafeHdc()) return;
  pDC->ExcludeClipRect(left, top, left + 1, top + 1);
  pDC->ExcludeClipRect(right - 1, top, right, top + 1);
  pDC->ExcludeClipRect(left, bottom - 1, left + 1, bottom);
  pDC->ExcludeClipRect(right - 1, bottom - 1, right, bottom);
}

void CXTPDrawHelpers::ExcludeCorners(CDC* pDC, const RECT& rect) {
  ExcludeCorners(pDC, rect.left, rect.top, rect.right, rect.bottom);
}

BOOL CXTPDrawHelpers::IsTopParentActive(HWND hWnd) {
  if (!hWnd || !::IsWindow(hWnd)) return FALSE;
  HWND hTop = hWnd;
  // Parents and owners up to the top.
  for (int guard = 0; guard < 1000; guard++) {
    HWND hNext = (::GetWindowLongPtrW(hTop, GWL_STYLE) & WS_CHILD) ? ::GetParent(hTop) : ::GetWindow(hTop, GW_OWNER);
    if (!hNext) break;
    hTop = hNext;
  }
  return ::GetForegroundWindow() == ::GetLastActivePopup(hTop);
}

void AFXAPI XTPFillDitheredRect(CDC* pDC, LPCRECT lpRect) {
  if (!pDC || !pDC->GetSafeHdc() || !lpRect) return;
  const WORD rows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  HBITMAP hBitmap = ::CreateBitmap(8, 8, 1, 1, rows);
  if (!hBitmap) return;
  HBRUSH hBrush = ::CreatePatternBrush(hBitmap);
  if (hBrush) {
    CXTPColorManager* pManager = XTPGetColorManager();
    HDC hDC = pDC->GetSafeHdc();
    const COLORREF clrOldBk = ::SetBkColor(hDC, pManager->GetColor(COLOR_3DFACE));
    const COLORREF clrOldText = ::SetTextColor(hDC, pManager->GetColor(COLOR_3DHILIGHT));
    HGDIOBJ hOldBrush = ::SelectObject(hDC, hBrush);
    ::PatBlt(hDC, lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, PATCOPY);
    ::SelectObject(hDC, hOldBrush);
    ::SetTextColor(hDC, clrOldText);
    ::SetBkColor(hDC, clrOldBk);
    ::DeleteObject(hBrush);
  }
  ::DeleteObject(hBitmap);
}

int AFXAPI XTPGetCurrentTheme() { return XTPGetColorManager()->GetCurrentTheme(); }

// ---------------------------------------------------------------------------------------

HICON CXTPMaskedBitmap::ExtractIcon() const {
  if (!m_hBitmap) return nullptr;
  BITMAP bm = {};
  if (!::GetObjectW(m_hBitmap, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return nullptr;
  // The mask colour: the top-left pixel, read through a compatible DC.
  COLORREF clrMask = (COLORREF)-1;
  if (HDC hDC = ::CreateCompatibleDC(nullptr)) {
    HGDIOBJ hOld = ::SelectObject(hDC, m_hBitmap);
    if (hOld) {
      clrMask = ::GetPixel(hDC, 0, 0);
      ::SelectObject(hDC, hOld);
    }
    ::DeleteDC(hDC);
  }
  HIMAGELIST hList = ImageList_Create(bm.bmWidth, bm.bmHeight, ILC_COLOR24 | ILC_MASK, 0, 1);
  if (!hList) return nullptr;
  HICON hIcon = nullptr;
  if (ImageList_AddMasked(hList, m_hBitmap, clrMask) >= 0) hIcon = ImageList_GetIcon(hList, 0, ILD_NORMAL);
  ImageList_Destroy(hList);
  return hIcon;
}

// ---------------------------------------------------------------------------------------
// Monitors.

static CXTPMultiMonitor g_multiMonitor;

CXTPMultiMonitor* AFXAPI XTPMultiMonitor() { return &g_multiMonitor; }

BOOL CXTPMultiMonitor::Bind(HMODULE hUser32) {
  m_bBindTried = TRUE;
  m_pfnGetSystemMetrics = nullptr;
  m_pfnMonitorFromWindow = nullptr;
  m_pfnMonitorFromRect = nullptr;
  m_pfnMonitorFromPoint = nullptr;
  m_pfnGetMonitorInfo = nullptr;
  if (!hUser32) return FALSE;
  auto pfnMetrics = reinterpret_cast<PFNGETSYSTEMMETRICS>(::GetProcAddress(hUser32, "GetSystemMetrics"));
  auto pfnWindow = reinterpret_cast<PFNMONITORFROMWINDOW>(::GetProcAddress(hUser32, "MonitorFromWindow"));
  auto pfnRect = reinterpret_cast<PFNMONITORFROMRECT>(::GetProcAddress(hUser32, "MonitorFromRect"));
  auto pfnPoint = reinterpret_cast<PFNMONITORFROMPOINT>(::GetProcAddress(hUser32, "MonitorFromPoint"));
  // Wide structures on the NT family, ANSI ones on 9x (same layout for the work area).
  auto pfnInfo = reinterpret_cast<PFNGETMONITORINFO>(
      ::GetProcAddress(hUser32, XTPGetOSVersionInfo()->IsWin9x() ? "GetMonitorInfoA" : "GetMonitorInfoW"));
  if (!pfnMetrics || !pfnWindow || !pfnRect || !pfnPoint || !pfnInfo) return FALSE;
  m_pfnGetSystemMetrics = pfnMetrics;
  m_pfnMonitorFromWindow = pfnWindow;
  m_pfnMonitorFromRect = pfnRect;
  m_pfnMonitorFromPoint = pfnPoint;
  m_pfnGetMonitorInfo = pfnInfo;
  return TRUE;
}

void CXTPMultiMonitor::BindOnce() {
  if (!m_bBindTried) Bind(::GetModuleHandleW(L"USER32"));
}

CRect CXTPMultiMonitor::GetWorkArea() {
  CRect rc;
  if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rc, 0))
    rc.SetRect(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
  return rc;
}

CRect CXTPMultiMonitor::WorkAreaOf(HMONITOR hMonitor) const {
  if (!hMonitor || !m_pfnGetMonitorInfo) return GetWorkArea();
  MONITORINFO info = {};
  info.cbSize = 40;
  if (!m_pfnGetMonitorInfo(hMonitor, &info)) return GetWorkArea();
  return CRect(info.rcWork);
}

CRect CXTPMultiMonitor::GetWorkArea(HWND hWnd) {
  g_multiMonitor.BindOnce();
  if (!g_multiMonitor.m_pfnMonitorFromWindow) return GetWorkArea();
  return g_multiMonitor.WorkAreaOf(g_multiMonitor.m_pfnMonitorFromWindow(hWnd, 0));
}

CRect CXTPMultiMonitor::GetWorkArea(const CWnd* pWnd) { return GetWorkArea(pWnd ? pWnd->GetSafeHwnd() : nullptr); }

CRect CXTPMultiMonitor::GetWorkArea(LPCRECT lpRect) {
  g_multiMonitor.BindOnce();
  if (!lpRect || !g_multiMonitor.m_pfnMonitorFromRect) return GetWorkArea();
  return g_multiMonitor.WorkAreaOf(g_multiMonitor.m_pfnMonitorFromRect(lpRect, 0));
}

CRect CXTPMultiMonitor::GetWorkArea(POINT pt) {
  g_multiMonitor.BindOnce();
  if (!g_multiMonitor.m_pfnMonitorFromPoint) return GetWorkArea();
  return g_multiMonitor.WorkAreaOf(g_multiMonitor.m_pfnMonitorFromPoint(pt, 0));
}
