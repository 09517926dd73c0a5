// Device contexts.
#include <vector>

#include "gdi_handlemap.h"

using fw_gdi::Space;

IMPLEMENT_DYNCREATE(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)

CDC::~CDC() {
  if (m_hDC != nullptr) ::DeleteDC(Detach());
}

HDC CDC::GetSafeHdc() const { return fw_gdi::IsNullObject(this) ? nullptr : m_hDC; }

CDC* PASCAL CDC::FromHandle(HDC hDC) { return fw_gdi::FromHandle<CDC, Space::DC>(hDC); }

BOOL CDC::Attach(HDC hDC) {
  ASSERT(m_hDC == nullptr);
  if (hDC == nullptr) return FALSE;
  m_hDC = m_hAttribDC = hDC;
  fw_gdi::RegisterAttached(Space::DC, hDC, this);
  return TRUE;
}

HDC CDC::Detach() {
  HDC hDC = m_hDC;
  fw_gdi::UnregisterAttached(Space::DC, hDC, this);
  m_hDC = m_hAttribDC = nullptr;
  return hDC;
}

BOOL CDC::CreateDC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput,
                   const void* lpInitData) {
  return Attach(::CreateDCW(lpszDriverName, lpszDeviceName, lpszOutput,
                            static_cast<const DEVMODEW*>(lpInitData)));
}

BOOL CDC::CreateIC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput,
                   const void* lpInitData) {
  return Attach(::CreateICW(lpszDriverName, lpszDeviceName, lpszOutput,
                            static_cast<const DEVMODEW*>(lpInitData)));
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) { return Attach(::CreateCompatibleDC(pDC->GetSafeHdc())); }

BOOL CDC::DeleteDC() {
  if (m_hDC == nullptr) return FALSE;
  return ::DeleteDC(Detach());
}

CWnd* CDC::GetWindow() const { return m_hDC ? CWnd::FromHandle(::WindowFromDC(m_hDC)) : nullptr; }

int CDC::SaveDC() { return ::SaveDC(m_hDC); }
BOOL CDC::RestoreDC(int nSavedDC) { return ::RestoreDC(m_hDC, nSavedDC); }
int CDC::GetDeviceCaps(int nIndex) const { return ::GetDeviceCaps(m_hAttribDC, nIndex); }

// ---------------------------------------------------------------------------------------
CGdiObject* CDC::SelectStockObject(int nIndex) {
  return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(nIndex)));
}
CPen* CDC::SelectObject(CPen* pPen) {
  return CPen::FromHandle(static_cast<HPEN>(::SelectObject(m_hDC, pPen->GetSafeHandle())));
}
CBrush* CDC::SelectObject(CBrush* pBrush) {
  return CBrush::FromHandle(static_cast<HBRUSH>(::SelectObject(m_hDC, pBrush->GetSafeHandle())));
}
CFont* CDC::SelectObject(CFont* pFont) {
  return CFont::FromHandle(static_cast<HFONT>(::SelectObject(m_hDC, pFont->GetSafeHandle())));
}
CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
  return CBitmap::FromHandle(static_cast<HBITMAP>(::SelectObject(m_hDC, pBitmap->GetSafeHandle())));
}
int CDC::SelectObject(CRgn* pRgn) {
  // Selecting a region makes it the clip region; GDI returns the region type.
  return static_cast<int>(reinterpret_cast<INT_PTR>(::SelectObject(m_hDC, pRgn->GetSafeHandle())));
}
CGdiObject* CDC::SelectObject(CGdiObject* pObject) {
  return CGdiObject::FromHandle(::SelectObject(m_hDC, pObject->GetSafeHandle()));
}
HGDIOBJ CDC::SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground) {
  return CPalette::FromHandle(
      ::SelectPalette(m_hDC, static_cast<HPALETTE>(pPalette->GetSafeHandle()), bForceBackground));
}
UINT CDC::RealizePalette() { return ::RealizePalette(m_hDC); }
CPen* CDC::GetCurrentPen() const {
  return CPen::FromHandle(static_cast<HPEN>(::GetCurrentObject(m_hDC, OBJ_PEN)));
}
CBrush* CDC::GetCurrentBrush() const {
  return CBrush::FromHandle(static_cast<HBRUSH>(::GetCurrentObject(m_hDC, OBJ_BRUSH)));
}
CFont* CDC::GetCurrentFont() const {
  return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT)));
}
CBitmap* CDC::GetCurrentBitmap() const {
  return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP)));
}
CPalette* CDC::GetCurrentPalette() const {
  return CPalette::FromHandle(static_cast<HPALETTE>(::GetCurrentObject(m_hDC, OBJ_PAL)));
}

// ---------------------------------------------------------------------------------------
COLORREF CDC::GetNearestColor(COLORREF crColor) const { return ::GetNearestColor(m_hAttribDC, crColor); }
COLORREF CDC::SetBkColor(COLORREF crColor) { return ::SetBkColor(m_hDC, crColor); }
COLORREF CDC::GetBkColor() const { return ::GetBkColor(m_hAttribDC); }
int CDC::SetBkMode(int nBkMode) { return ::SetBkMode(m_hDC, nBkMode); }
int CDC::GetBkMode() const { return ::GetBkMode(m_hAttribDC); }
COLORREF CDC::SetTextColor(COLORREF crColor) { return ::SetTextColor(m_hDC, crColor); }
COLORREF CDC::GetTextColor() const { return ::GetTextColor(m_hAttribDC); }
int CDC::SetROP2(int nDrawMode) { return ::SetROP2(m_hDC, nDrawMode); }
int CDC::GetROP2() const { return ::GetROP2(m_hAttribDC); }
int CDC::SetPolyFillMode(int nPolyFillMode) { return ::SetPolyFillMode(m_hDC, nPolyFillMode); }
int CDC::GetPolyFillMode() const { return ::GetPolyFillMode(m_hAttribDC); }
int CDC::SetStretchBltMode(int nStretchMode) { return ::SetStretchBltMode(m_hDC, nStretchMode); }
int CDC::GetStretchBltMode() const { return ::GetStretchBltMode(m_hAttribDC); }
UINT CDC::SetTextAlign(UINT nFlags) { return ::SetTextAlign(m_hDC, nFlags); }
UINT CDC::GetTextAlign() const { return ::GetTextAlign(m_hAttribDC); }
int CDC::SetTextCharacterExtra(int nCharExtra) { return ::SetTextCharacterExtra(m_hDC, nCharExtra); }
int CDC::GetTextCharacterExtra() const { return ::GetTextCharacterExtra(m_hAttribDC); }
CPoint CDC::SetBrushOrg(int x, int y) {
  POINT old{};
  ::SetBrushOrgEx(m_hDC, x, y, &old);
  return CPoint(old.x, old.y);
}
CPoint CDC::GetBrushOrg() const {
  POINT pt{};
  ::GetBrushOrgEx(m_hDC, &pt);
  return CPoint(pt.x, pt.y);
}

// ---------------------------------------------------------------------------------------
int CDC::SetMapMode(int nMapMode) { return ::SetMapMode(m_hDC, nMapMode); }
int CDC::GetMapMode() const { return ::GetMapMode(m_hAttribDC); }
CPoint CDC::SetViewportOrg(int x, int y) {
  POINT old{};
  ::SetViewportOrgEx(m_hDC, x, y, &old);
  return CPoint(old.x, old.y);
}
CPoint CDC::OffsetViewportOrg(int nWidth, int nHeight) {
  POINT old{};
  ::OffsetViewportOrgEx(m_hDC, nWidth, nHeight, &old);
  return CPoint(old.x, old.y);
}
CPoint CDC::GetViewportOrg() const {
  POINT pt{};
  ::GetViewportOrgEx(m_hAttribDC, &pt);
  return CPoint(pt.x, pt.y);
}
CSize CDC::SetViewportExt(int cx, int cy) {
  SIZE old{};
  ::SetViewportExtEx(m_hDC, cx, cy, &old);
  return CSize(old.cx, old.cy);
}
CSize CDC::GetViewportExt() const {
  SIZE size{};
  ::GetViewportExtEx(m_hAttribDC, &size);
  return CSize(size.cx, size.cy);
}
CPoint CDC::SetWindowOrg(int x, int y) {
  POINT old{};
  ::SetWindowOrgEx(m_hDC, x, y, &old);
  return CPoint(old.x, old.y);
}
CPoint CDC::OffsetWindowOrg(int nWidth, int nHeight) {
  POINT old{};
  ::OffsetWindowOrgEx(m_hDC, nWidth, nHeight, &old);
  return CPoint(old.x, old.y);
}
CPoint CDC::GetWindowOrg() const {
  POINT pt{};
  ::GetWindowOrgEx(m_hAttribDC, &pt);
  return CPoint(pt.x, pt.y);
}
CSize CDC::SetWindowExt(int cx, int cy) {
  SIZE old{};
  ::SetWindowExtEx(m_hDC, cx, cy, &old);
  return CSize(old.cx, old.cy);
}
CSize CDC::GetWindowExt() const {
  SIZE size{};
  ::GetWindowExtEx(m_hAttribDC, &size);
  return CSize(size.cx, size.cy);
}
void CDC::DPtoLP(LPPOINT lpPoints, int nCount) const { ::DPtoLP(m_hAttribDC, lpPoints, nCount); }
void CDC::DPtoLP(LPRECT lpRect) const { ::DPtoLP(m_hAttribDC, reinterpret_cast<LPPOINT>(lpRect), 2); }
void CDC::LPtoDP(LPPOINT lpPoints, int nCount) const { ::LPtoDP(m_hAttribDC, lpPoints, nCount); }
void CDC::LPtoDP(LPRECT lpRect) const { ::LPtoDP(m_hAttribDC, reinterpret_cast<LPPOINT>(lpRect), 2); }

// Sizes convert as the distance between two converted points, keeping their sign.
void CDC::DPtoLP(LPSIZE lpSize) const {
  POINT pts[2] = {{0, 0}, {lpSize->cx, lpSize->cy}};
  ::DPtoLP(m_hAttribDC, pts, 2);
  lpSize->cx = pts[1].x - pts[0].x;
  lpSize->cy = pts[1].y - pts[0].y;
}
void CDC::LPtoDP(LPSIZE lpSize) const {
  POINT pts[2] = {{0, 0}, {lpSize->cx, lpSize->cy}};
  ::LPtoDP(m_hAttribDC, pts, 2);
  lpSize->cx = pts[1].x - pts[0].x;
  lpSize->cy = pts[1].y - pts[0].y;
}

// 2540 HIMETRIC units make an inch.
void CDC::DPtoHIMETRIC(LPSIZE lpSize) const {
  lpSize->cx = ::MulDiv(lpSize->cx, 2540, GetDeviceCaps(LOGPIXELSX));
  lpSize->cy = ::MulDiv(lpSize->cy, 2540, GetDeviceCaps(LOGPIXELSY));
}
void CDC::HIMETRICtoDP(LPSIZE lpSize) const {
  lpSize->cx = ::MulDiv(lpSize->cx, GetDeviceCaps(LOGPIXELSX), 2540);
  lpSize->cy = ::MulDiv(lpSize->cy, GetDeviceCaps(LOGPIXELSY), 2540);
}

// ---------------------------------------------------------------------------------------
int CDC::GetClipBox(LPRECT lpRect) const { return ::GetClipBox(m_hDC, lpRect); }
BOOL CDC::PtVisible(int x, int y) const { return ::PtVisible(m_hDC, x, y); }
BOOL CDC::RectVisible(LPCRECT lpRect) const { return ::RectVisible(m_hDC, lpRect); }
int CDC::SelectClipRgn(CRgn* pRgn) {
  return ::SelectClipRgn(m_hDC, static_cast<HRGN>(pRgn->GetSafeHandle()));
}
int CDC::SelectClipRgn(CRgn* pRgn, int nMode) {
  return ::ExtSelectClipRgn(m_hDC, static_cast<HRGN>(pRgn->GetSafeHandle()), nMode);
}
int CDC::ExcludeClipRect(int x1, int y1, int x2, int y2) { return ::ExcludeClipRect(m_hDC, x1, y1, x2, y2); }
int CDC::ExcludeClipRect(LPCRECT lpRect) {
  return ::ExcludeClipRect(m_hDC, lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}
int CDC::IntersectClipRect(int x1, int y1, int x2, int y2) {
  return ::IntersectClipRect(m_hDC, x1, y1, x2, y2);
}
int CDC::IntersectClipRect(LPCRECT lpRect) {
  return ::IntersectClipRect(m_hDC, lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}
int CDC::OffsetClipRgn(int x, int y) { return ::OffsetClipRgn(m_hDC, x, y); }
int CDC::ExcludeUpdateRgn(CWnd* pWnd) { return ::ExcludeUpdateRgn(m_hDC, pWnd->GetSafeHwnd()); }

// ---------------------------------------------------------------------------------------
CPoint CDC::GetCurrentPosition() const {
  POINT pt{};
  ::GetCurrentPositionEx(m_hAttribDC, &pt);
  return CPoint(pt.x, pt.y);
}
CPoint CDC::MoveTo(int x, int y) {
  POINT old{};
  ::MoveToEx(m_hDC, x, y, &old);
  return CPoint(old.x, old.y);
}
BOOL CDC::LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }
BOOL CDC::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  return ::Arc(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4);
}
BOOL CDC::Arc(LPCRECT lpRect, POINT ptStart, POINT ptEnd) {
  return ::Arc(m_hDC, lpRect->left, lpRect->top, lpRect->right, lpRect->bottom, ptStart.x,
               ptStart.y, ptEnd.x, ptEnd.y);
}
BOOL CDC::Polyline(const POINT* lpPoints, int nCount) { return ::Polyline(m_hDC, lpPoints, nCount); }
BOOL CDC::PolyPolyline(const POINT* lpPoints, const DWORD* lpPolyPoints, int nCount) {
  return ::PolyPolyline(m_hDC, lpPoints, lpPolyPoints, nCount);
}
BOOL CDC::PolyBezier(const POINT* lpPoints, int nCount) {
  return ::PolyBezier(m_hDC, lpPoints, static_cast<DWORD>(nCount));
}
BOOL CDC::Polygon(const POINT* lpPoints, int nCount) { return ::Polygon(m_hDC, lpPoints, nCount); }
BOOL CDC::PolyPolygon(const POINT* lpPoints, const INT* lpPolyCounts, int nCount) {
  return ::PolyPolygon(m_hDC, lpPoints, lpPolyCounts, nCount);
}
BOOL CDC::Rectangle(int x1, int y1, int x2, int y2) { return ::Rectangle(m_hDC, x1, y1, x2, y2); }
BOOL CDC::Rectangle(LPCRECT lpRect) {
  return ::Rectangle(m_hDC, lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}
BOOL CDC::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
  return ::RoundRect(m_hDC, x1, y1, x2, y2, x3, y3);
}
BOOL CDC::RoundRect(LPCRECT lpRect, POINT point) {
  return ::RoundRect(m_hDC, lpRect->left, lpRect->top, lpRect->right, lpRect->bottom, point.x, point.y);
}
BOOL CDC::Ellipse(int x1, int y1, int x2, int y2) { return ::Ellipse(m_hDC, x1, y1, x2, y2); }
BOOL CDC::Ellipse(LPCRECT lpRect) {
  return ::Ellipse(m_hDC, lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}
BOOL CDC::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  return ::Pie(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4);
}
BOOL CDC::Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  return ::Chord(m_hDC, x1, y1, x2, y2, x3, y3, x4, y4);
}

// ---------------------------------------------------------------------------------------
void CDC::FillRect(LPCRECT lpRect, CBrush* pBrush) {
  ::FillRect(m_hDC, lpRect, static_cast<HBRUSH>(pBrush->GetSafeHandle()));
}
void CDC::FrameRect(LPCRECT lpRect, CBrush* pBrush) {
  ::FrameRect(m_hDC, lpRect, static_cast<HBRUSH>(pBrush->GetSafeHandle()));
}
void CDC::InvertRect(LPCRECT lpRect) { ::InvertRect(m_hDC, lpRect); }
BOOL CDC::FillRgn(CRgn* pRgn, CBrush* pBrush) {
  return ::FillRgn(m_hDC, static_cast<HRGN>(pRgn->GetSafeHandle()),
                   static_cast<HBRUSH>(pBrush->GetSafeHandle()));
}
BOOL CDC::FrameRgn(CRgn* pRgn, CBrush* pBrush, int nWidth, int nHeight) {
  return ::FrameRgn(m_hDC, static_cast<HRGN>(pRgn->GetSafeHandle()),
                    static_cast<HBRUSH>(pBrush->GetSafeHandle()), nWidth, nHeight);
}
BOOL CDC::InvertRgn(CRgn* pRgn) { return ::InvertRgn(m_hDC, static_cast<HRGN>(pRgn->GetSafeHandle())); }
BOOL CDC::PaintRgn(CRgn* pRgn) { return ::PaintRgn(m_hDC, static_cast<HRGN>(pRgn->GetSafeHandle())); }

// A solid fill without a brush: an opaque ExtTextOut of no text paints the rectangle in
// the background colour, which is then put back.
void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
  COLORREF old = ::SetBkColor(m_hDC, clr);
  ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
  ::SetBkColor(m_hDC, old);
}
void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
  RECT rc{x, y, x + cx, y + cy};
  FillSolidRect(&rc, clr);
}
void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight) {
  Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
             clrTopLeft, clrBottomRight);
}
void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight) {
  FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
  FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
  FillSolidRect(x + cx - 1, y, 1, cy, clrBottomRight);
  FillSolidRect(x, y + cy - 1, cx, 1, clrBottomRight);
}
BOOL CDC::DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags) { return ::DrawEdge(m_hDC, lpRect, nEdge, nFlags); }
void CDC::DrawFocusRect(LPCRECT lpRect) { ::DrawFocusRect(m_hDC, lpRect); }
BOOL CDC::DrawFrameControl(LPRECT lpRect, UINT nType, UINT nState) {
  return ::DrawFrameControl(m_hDC, lpRect, nType, nState);
}

// ---------------------------------------------------------------------------------------
BOOL CDC::PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop) {
  return ::PatBlt(m_hDC, x, y, nWidth, nHeight, dwRop);
}
BOOL CDC::BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop) {
  return ::BitBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC->GetSafeHdc(), xSrc, ySrc, dwRop);
}
BOOL CDC::StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                     int nSrcWidth, int nSrcHeight, DWORD dwRop) {
  return ::StretchBlt(m_hDC, x, y, nWidth, nHeight, pSrcDC->GetSafeHdc(), xSrc, ySrc, nSrcWidth,
                      nSrcHeight, dwRop);
}
BOOL CDC::TransparentBlt(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC,
                         int xSrc, int ySrc, int nSrcWidth, int nSrcHeight, UINT clrTransparent) {
  return ::TransparentBlt(m_hDC, xDest, yDest, nDestWidth, nDestHeight, pSrcDC->GetSafeHdc(), xSrc,
                          ySrc, nSrcWidth, nSrcHeight, clrTransparent);
}
BOOL CDC::AlphaBlend(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC, int xSrc,
                     int ySrc, int nSrcWidth, int nSrcHeight, BLENDFUNCTION blend) {
  return ::AlphaBlend(m_hDC, xDest, yDest, nDestWidth, nDestHeight, pSrcDC->GetSafeHdc(), xSrc,
                      ySrc, nSrcWidth, nSrcHeight, blend);
}
BOOL CDC::GradientFill(TRIVERTEX* pVertices, ULONG nVertices, void* pMesh, ULONG nMeshElements,
                       DWORD dwMode) {
  return ::GradientFill(m_hDC, pVertices, nVertices, pMesh, nMeshElements, dwMode);
}
COLORREF CDC::GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }
COLORREF CDC::SetPixel(int x, int y, COLORREF crColor) { return ::SetPixel(m_hDC, x, y, crColor); }
BOOL CDC::SetPixelV(int x, int y, COLORREF crColor) { return ::SetPixelV(m_hDC, x, y, crColor); }
BOOL CDC::FloodFill(int x, int y, COLORREF crColor) { return ::FloodFill(m_hDC, x, y, crColor); }
BOOL CDC::ExtFloodFill(int x, int y, COLORREF crColor, UINT nFillType) {
  return ::ExtFloodFill(m_hDC, x, y, crColor, nFillType);
}
BOOL CDC::DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
BOOL CDC::DrawIconEx(int x, int y, HICON hIcon, int cxWidth, int cyWidth, UINT istepIfAniCur,
                     HBRUSH hbrFlickerFreeDraw, UINT diFlags) {
  return ::DrawIconEx(m_hDC, x, y, hIcon, cxWidth, cyWidth, istepIfAniCur, hbrFlickerFreeDraw, diFlags);
}

// DrawState without an output callback: the image kind flag comes from the overload.
static BOOL DrawStateOf(HDC hDC, HBRUSH hBrush, LPARAM lData, WPARAM wData, int x, int y, int cx,
                        int cy, UINT nFlags) {
  return ::DrawStateW(hDC, hBrush, nullptr, lData, wData, x, y, cx, cy, nFlags);
}
BOOL CDC::DrawState(CPoint pt, CSize size, HBITMAP hBitmap, UINT nFlags, HBRUSH hBrush) {
  return DrawStateOf(m_hDC, hBrush, reinterpret_cast<LPARAM>(hBitmap), 0, pt.x, pt.y, size.cx,
                     size.cy, nFlags | DST_BITMAP);
}
BOOL CDC::DrawState(CPoint pt, CSize size, CBitmap* pBitmap, UINT nFlags, CBrush* pBrush) {
  return DrawState(pt, size, static_cast<HBITMAP>(pBitmap->GetSafeHandle()), nFlags,
                   static_cast<HBRUSH>(pBrush->GetSafeHandle()));
}
BOOL CDC::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, HBRUSH hBrush) {
  return DrawStateOf(m_hDC, hBrush, reinterpret_cast<LPARAM>(hIcon), 0, pt.x, pt.y, size.cx,
                     size.cy, nFlags | DST_ICON);
}
BOOL CDC::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, CBrush* pBrush) {
  return DrawState(pt, size, hIcon, nFlags, static_cast<HBRUSH>(pBrush->GetSafeHandle()));
}
BOOL CDC::DrawState(CPoint pt, CSize size, LPCTSTR lpszText, UINT nFlags, BOOL bPrefixText,
                    int nTextLen, HBRUSH hBrush) {
  return DrawStateOf(m_hDC, hBrush, reinterpret_cast<LPARAM>(lpszText), static_cast<WPARAM>(nTextLen),
                     pt.x, pt.y, size.cx, size.cy, nFlags | (bPrefixText ? DST_PREFIXTEXT : DST_TEXT));
}
BOOL CDC::DrawState(CPoint pt, CSize size, LPCTSTR lpszText, UINT nFlags, BOOL bPrefixText,
                    int nTextLen, CBrush* pBrush) {
  return DrawState(pt, size, lpszText, nFlags, bPrefixText, nTextLen,
                   static_cast<HBRUSH>(pBrush->GetSafeHandle()));
}
BOOL CDC::DrawState(int x, int y, int cx, int cy, HICON hIcon, UINT nFlags, HBRUSH hBrush) {
  return DrawStateOf(m_hDC, hBrush, reinterpret_cast<LPARAM>(hIcon), 0, x, y, cx, cy, nFlags | DST_ICON);
}

// ---------------------------------------------------------------------------------------
BOOL CDC::TextOut(int x, int y, LPCTSTR lpszString, int nCount) {
  return ::TextOutW(m_hDC, x, y, lpszString, nCount);
}
BOOL CDC::TextOut(int x, int y, const CString& str) {
  return ::TextOutW(m_hDC, x, y, str.GetString(), str.GetLength());
}
BOOL CDC::ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCTSTR lpszString, UINT nCount,
                     LPINT lpDxWidths) {
  return ::ExtTextOutW(m_hDC, x, y, nOptions, lpRect, lpszString, nCount, lpDxWidths);
}
BOOL CDC::ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, const CString& str, LPINT lpDxWidths) {
  return ::ExtTextOutW(m_hDC, x, y, nOptions, lpRect, str.GetString(),
                       static_cast<UINT>(str.GetLength()), lpDxWidths);
}
CSize CDC::TabbedTextOut(int x, int y, LPCTSTR lpszString, int nCount, int nTabPositions,
                         LPINT lpnTabStopPositions, int nTabOrigin) {
  LONG extent = ::TabbedTextOutW(m_hDC, x, y, lpszString, nCount, nTabPositions,
                                 lpnTabStopPositions, nTabOrigin);
  return CSize(LOWORD(extent), HIWORD(extent));
}

// DT_MODIFYSTRING may write up to four characters beyond the text (the ellipsis), so
// modifiable drawing always goes through a private, padded copy.
static int DrawTextCopy(HDC hDC, LPCWSTR lpsz, int nCount, LPRECT lpRect, UINT nFormat,
                        LPDRAWTEXTPARAMS lpParams, bool bEx) {
  if (lpsz == nullptr) return 0;
  int n = nCount < 0 ? ::lstrlenW(lpsz) : nCount;
  std::vector<WCHAR> buffer(lpsz, lpsz + n);
  buffer.resize(static_cast<size_t>(n) + 5, L'\0');
  return bEx ? ::DrawTextExW(hDC, buffer.data(), n, lpRect, nFormat, lpParams)
             : ::DrawTextW(hDC, buffer.data(), n, lpRect, nFormat);
}
int CDC::DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat) {
  if (nFormat & DT_MODIFYSTRING) return DrawTextCopy(m_hDC, lpszString, nCount, lpRect, nFormat, nullptr, false);
  return ::DrawTextW(m_hDC, lpszString, nCount, lpRect, nFormat);
}
int CDC::DrawText(const CString& str, LPRECT lpRect, UINT nFormat) {
  return DrawText(str.GetString(), str.GetLength(), lpRect, nFormat);
}
int CDC::DrawTextEx(LPTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat,
                    LPDRAWTEXTPARAMS lpDTParams) {
  return ::DrawTextExW(m_hDC, lpszString, nCount, lpRect, nFormat, lpDTParams);
}
int CDC::DrawTextEx(const CString& str, LPRECT lpRect, UINT nFormat, LPDRAWTEXTPARAMS lpDTParams) {
  return DrawTextCopy(m_hDC, str.GetString(), str.GetLength(), lpRect, nFormat, lpDTParams, true);
}
BOOL CDC::GrayString(CBrush* pBrush, GRAYSTRINGPROC lpfnOutput, LPARAM lpData, int nCount, int x,
                     int y, int nWidth, int nHeight) {
  return ::GrayStringW(m_hDC, static_cast<HBRUSH>(pBrush->GetSafeHandle()), lpfnOutput, lpData,
                       nCount, x, y, nWidth, nHeight);
}

static CSize TextExtentOn(HDC hDC, LPCWSTR lpsz, int nCount) {
  SIZE size{};
  if (lpsz != nullptr) ::GetTextExtentPoint32W(hDC, lpsz, nCount, &size);
  return CSize(size.cx, size.cy);
}
CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const {
  return TextExtentOn(m_hAttribDC, lpszString, nCount);
}
CSize CDC::GetTextExtent(const CString& str) const {
  return TextExtentOn(m_hAttribDC, str.GetString(), str.GetLength());
}
CSize CDC::GetOutputTextExtent(LPCTSTR lpszString, int nCount) const {
  return TextExtentOn(m_hDC, lpszString, nCount);
}
CSize CDC::GetOutputTextExtent(const CString& str) const {
  return TextExtentOn(m_hDC, str.GetString(), str.GetLength());
}
CSize CDC::GetTabbedTextExtent(LPCTSTR lpszString, int nCount, int nTabPositions,
                               LPINT lpnTabStopPositions) const {
  DWORD extent = ::GetTabbedTextExtentW(m_hAttribDC, lpszString, nCount, nTabPositions, lpnTabStopPositions);
  return CSize(LOWORD(extent), HIWORD(extent));
}
BOOL CDC::GetTextMetrics(LPTEXTMETRIC lpMetrics) const { return ::GetTextMetricsW(m_hAttribDC, lpMetrics); }
BOOL CDC::GetOutputTextMetrics(LPTEXTMETRIC lpMetrics) const { return ::GetTextMetricsW(m_hDC, lpMetrics); }
int CDC::GetTextFace(int nCount, LPTSTR lpszFacename) const {
  return ::GetTextFaceW(m_hAttribDC, nCount, lpszFacename);
}
int CDC::GetTextFace(CString& rString) const {
  int n = ::GetTextFaceW(m_hAttribDC, 0, nullptr);
  if (n <= 0) {
    rString.Empty();
    return 0;
  }
  int nCopied = ::GetTextFaceW(m_hAttribDC, n, rString.GetBuffer(n));
  rString.ReleaseBuffer();
  return nCopied;
}
BOOL CDC::GetCharWidth(UINT nFirstChar, UINT nLastChar, LPINT lpBuffer) const {
  return ::GetCharWidth32W(m_hAttribDC, nFirstChar, nLastChar, lpBuffer);
}
BOOL CDC::GetOutputCharWidth(UINT nFirstChar, UINT nLastChar, LPINT lpBuffer) const {
  return ::GetCharWidth32W(m_hDC, nFirstChar, nLastChar, lpBuffer);
}
BOOL CDC::GetCharABCWidths(UINT nFirstChar, UINT nLastChar, LPABC lpabc) const {
  return ::GetCharABCWidthsW(m_hAttribDC, nFirstChar, nLastChar, lpabc);
}

// ---------------------------------------------------------------------------------------
// Window DCs. A failure to get the DC is a resource failure, as for the GDI objects.
CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()) {
  if (m_hWnd == nullptr || !Attach(::BeginPaint(m_hWnd, &m_ps))) AfxThrowResourceException();
}
CPaintDC::~CPaintDC() {
  if (m_hDC != nullptr) {
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
  }
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()) {
  if (!Attach(::GetDC(m_hWnd))) AfxThrowResourceException();
}
CClientDC::~CClientDC() {
  if (m_hDC != nullptr) ::ReleaseDC(m_hWnd, Detach());
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()) {
  if (!Attach(::GetWindowDC(m_hWnd))) AfxThrowResourceException();
}
CWindowDC::~CWindowDC() {
  if (m_hDC != nullptr) ::ReleaseDC(m_hWnd, Detach());
}
