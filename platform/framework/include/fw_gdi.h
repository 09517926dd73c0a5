// Drawing: device contexts, GDI objects and image lists, as thin owners of the Win32
// handles they wrap.
//
// Wrapper lifetime. A wrapper made with `new`/on the stack owns its handle and deletes it
// in its destructor (a device context is deleted with DeleteDC; the window DC classes
// release theirs). FromHandle() looks a handle up among the wrappers currently attached on
// this thread and, when none holds it, returns a *temporary* wrapper: one per handle and
// kind, kept in a per-thread table, never deleting the handle. Temporaries stay valid
// until AfxDeleteTempGdiObjects() runs on that thread — AfxDeleteTempMap, the idle pass of
// the message loop, calls it — or until the thread ends. Because a handle already in the table
// gets the same temporary back, repeated painting with the same objects does not grow the
// table between two idle passes. Never keep a temporary pointer across a message loop.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "fw_object.h"
#include "fw_string.h"
#include "fw_types.h"

// windowsx.h defines CopyRgn as a two-argument macro, which would rewrite CRgn::CopyRgn.
#ifdef CopyRgn
#undef CopyRgn
#endif

class CWnd;
class CDC;
class CBitmap;

// Deletes this thread's temporary GDI, DC and image-list wrappers (never their handles).
void AFXAPI AfxDeleteTempGdiObjects();
// Number of temporary wrappers this thread currently holds (diagnostics and tests).
int AFXAPI AfxGetTempGdiObjectCount();

// ---------------------------------------------------------------------------------------
class CGdiObject : public CObject {
  DECLARE_DYNCREATE(CGdiObject)

 public:
  HGDIOBJ m_hObject = nullptr;

  CGdiObject() = default;
  ~CGdiObject() override;
  CGdiObject(const CGdiObject&) = delete;
  CGdiObject& operator=(const CGdiObject&) = delete;

  // Both accept a null object (they give a null handle), as callers rely on.
  operator HGDIOBJ() const { return GetSafeHandle(); }
  HGDIOBJ GetSafeHandle() const;

  static CGdiObject* PASCAL FromHandle(HGDIOBJ hObject);
  static void PASCAL DeleteTempMap() { AfxDeleteTempGdiObjects(); }

  BOOL Attach(HGDIOBJ hObject);
  HGDIOBJ Detach();
  BOOL DeleteObject();

  int GetObject(int nCount, LPVOID lpObject) const;
  UINT GetObjectType() const;
  BOOL CreateStockObject(int nIndex);
  BOOL UnrealizeObject();
  BOOL operator==(const CGdiObject& obj) const { return obj.m_hObject == m_hObject; }
  BOOL operator!=(const CGdiObject& obj) const { return obj.m_hObject != m_hObject; }
};

class CPen : public CGdiObject {
  DECLARE_DYNAMIC(CPen)

 public:
  CPen() = default;
  CPen(int nPenStyle, int nWidth, COLORREF crColor);  // throws CResourceException
  CPen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount = 0,
       const DWORD* lpStyle = nullptr);
  static CPen* PASCAL FromHandle(HPEN hPen);
  operator HPEN() const { return static_cast<HPEN>(GetSafeHandle()); }

  BOOL CreatePen(int nPenStyle, int nWidth, COLORREF crColor);
  BOOL CreatePen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount = 0,
                 const DWORD* lpStyle = nullptr);
  BOOL CreatePenIndirect(LPLOGPEN lpLogPen);
  int GetLogPen(LOGPEN* pLogPen) { return GetObject(sizeof(LOGPEN), pLogPen); }
  int GetExtLogPen(EXTLOGPEN* pLogPen) { return GetObject(sizeof(EXTLOGPEN), pLogPen); }
};

class CBrush : public CGdiObject {
  DECLARE_DYNAMIC(CBrush)

 public:
  CBrush() = default;
  explicit CBrush(COLORREF crColor);           // throws CResourceException
  CBrush(int nIndex, COLORREF crColor);        // hatched
  explicit CBrush(CBitmap* pBitmap);           // pattern
  static CBrush* PASCAL FromHandle(HBRUSH hBrush);
  operator HBRUSH() const { return static_cast<HBRUSH>(GetSafeHandle()); }

  BOOL CreateSolidBrush(COLORREF crColor);
  BOOL CreateHatchBrush(int nIndex, COLORREF crColor);
  BOOL CreateBrushIndirect(const LOGBRUSH* lpLogBrush);
  BOOL CreatePatternBrush(CBitmap* pBitmap);
  BOOL CreateDIBPatternBrush(HGLOBAL hPackedDIB, UINT nUsage);
  BOOL CreateDIBPatternBrush(const void* lpPackedDIB, UINT nUsage);
  BOOL CreateSysColorBrush(int nIndex);
  int GetLogBrush(LOGBRUSH* pLogBrush) { return GetObject(sizeof(LOGBRUSH), pLogBrush); }
};

class CFont : public CGdiObject {
  DECLARE_DYNAMIC(CFont)

 public:
  static CFont* PASCAL FromHandle(HFONT hFont);
  operator HFONT() const { return static_cast<HFONT>(GetSafeHandle()); }

  BOOL CreateFontIndirect(const LOGFONT* lpLogFont);
  BOOL CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                  BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                  BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality,
                  BYTE nPitchAndFamily, LPCTSTR lpszFacename);
  // Size in tenths of a point, converted through the DC's mapping (the screen when null).
  BOOL CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC = nullptr);
  BOOL CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC = nullptr);
  int GetLogFont(LOGFONT* pLogFont) { return GetObject(sizeof(LOGFONT), pLogFont); }
};

class CBitmap : public CGdiObject {
  DECLARE_DYNAMIC(CBitmap)

 public:
  static CBitmap* PASCAL FromHandle(HBITMAP hBitmap);
  operator HBITMAP() const { return static_cast<HBITMAP>(GetSafeHandle()); }

  // Resources load from AfxGetResourceHandle().
  BOOL LoadBitmap(LPCTSTR lpszResourceName);
  BOOL LoadBitmap(UINT nIDResource);
  BOOL LoadOEMBitmap(UINT nIDBitmap);  // OBM_ constants
  // Maps the classic button-face greys to the current system colours (or to lpColorMap).
  BOOL LoadMappedBitmap(UINT nIDBitmap, UINT nFlags = 0, LPCOLORMAP lpColorMap = nullptr,
                        int nMapSize = 0);
  BOOL CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits);
  BOOL CreateBitmapIndirect(LPBITMAP lpBitmap);
  BOOL CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
  BOOL CreateDiscardableBitmap(CDC* pDC, int nWidth, int nHeight);

  int GetBitmap(BITMAP* pBitMap) { return GetObject(sizeof(BITMAP), pBitMap); }
  DWORD SetBitmapBits(DWORD dwCount, const void* lpBits);
  DWORD GetBitmapBits(DWORD dwCount, LPVOID lpBits) const;
  CSize SetBitmapDimension(int nWidth, int nHeight);
  CSize GetBitmapDimension() const;
};

class CPalette : public CGdiObject {
  DECLARE_DYNAMIC(CPalette)

 public:
  static CPalette* PASCAL FromHandle(HPALETTE hPalette);
  operator HPALETTE() const { return static_cast<HPALETTE>(GetSafeHandle()); }

  BOOL CreatePalette(LPLOGPALETTE lpLogPalette);
  BOOL CreateHalftonePalette(CDC* pDC);
  int GetEntryCount();
  UINT GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) const;
  UINT SetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors);
  UINT GetNearestPaletteIndex(COLORREF crColor) const;
};

class CRgn : public CGdiObject {
  DECLARE_DYNAMIC(CRgn)

 public:
  static CRgn* PASCAL FromHandle(HRGN hRgn);
  operator HRGN() const { return static_cast<HRGN>(GetSafeHandle()); }

  BOOL CreateRectRgn(int x1, int y1, int x2, int y2);
  BOOL CreateRectRgnIndirect(LPCRECT lpRect);
  BOOL CreateEllipticRgn(int x1, int y1, int x2, int y2);
  BOOL CreateEllipticRgnIndirect(LPCRECT lpRect);
  BOOL CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode);
  BOOL CreatePolyPolygonRgn(const POINT* lpPoints, const INT* lpPolyCounts, int nCount, int nPolyFillMode);
  BOOL CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3);

  // Region results: ERROR, NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode);
  int CopyRgn(const CRgn* pRgnSrc);
  BOOL EqualRgn(const CRgn* pRgn) const;
  int OffsetRgn(int x, int y);
  int OffsetRgn(POINT point) { return OffsetRgn(point.x, point.y); }
  int GetRgnBox(LPRECT lpRect) const;
  BOOL PtInRegion(int x, int y) const;
  BOOL PtInRegion(POINT point) const { return PtInRegion(point.x, point.y); }
  BOOL RectInRegion(LPCRECT lpRect) const;
  void SetRectRgn(int x1, int y1, int x2, int y2);
  void SetRectRgn(LPCRECT lpRect);
};

// ---------------------------------------------------------------------------------------
// A device context. Output goes to m_hDC, queries to m_hAttribDC; both are the same handle
// for every DC this framework makes.
class CDC : public CObject {
  DECLARE_DYNCREATE(CDC)

 public:
  HDC m_hDC = nullptr;
  HDC m_hAttribDC = nullptr;
  BOOL m_bPrinting = FALSE;  // set by whoever prints through this DC

  CDC() = default;
  ~CDC() override;  // deletes a DC it still holds
  CDC(const CDC&) = delete;
  CDC& operator=(const CDC&) = delete;

  operator HDC() const { return GetSafeHdc(); }
  HDC GetSafeHdc() const;  // null for a null object
  static CDC* PASCAL FromHandle(HDC hDC);
  static void PASCAL DeleteTempMap() { AfxDeleteTempGdiObjects(); }

  BOOL Attach(HDC hDC);
  HDC Detach();
  virtual void SetAttribDC(HDC hDC) { m_hAttribDC = hDC; }
  virtual void SetOutputDC(HDC hDC) { m_hDC = hDC; }
  virtual void ReleaseAttribDC() { m_hAttribDC = nullptr; }
  virtual void ReleaseOutputDC() { m_hDC = nullptr; }

  BOOL CreateDC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput,
                const void* lpInitData);
  BOOL CreateIC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput,
                const void* lpInitData);
  // pDC null: compatible with the screen.
  BOOL CreateCompatibleDC(CDC* pDC);
  BOOL DeleteDC();

  CWnd* GetWindow() const;  // the window of a window DC, null otherwise
  BOOL IsPrinting() const { return m_bPrinting; }

  // A print job on a printer DC (fw_print.h). Each returns what the API does: > 0 on success.
  int StartDoc(LPCTSTR lpszDocName);
  int StartDoc(LPDOCINFO lpDocInfo);
  int StartPage();
  int EndPage();
  int EndDoc();
  int AbortDoc();
  int SetAbortProc(BOOL(CALLBACK* lpfn)(HDC, int));

  int SaveDC();
  BOOL RestoreDC(int nSavedDC);  // -1: the latest saved state
  int GetDeviceCaps(int nIndex) const;

  // Selection. Each returns the previously selected object, a temporary when it is not a
  // wrapper attached on this thread.
  CGdiObject* SelectStockObject(int nIndex);
  CPen* SelectObject(CPen* pPen);
  CBrush* SelectObject(CBrush* pBrush);
  virtual CFont* SelectObject(CFont* pFont);
  CBitmap* SelectObject(CBitmap* pBitmap);
  int SelectObject(CRgn* pRgn);  // region type, as SelectClipRgn
  CGdiObject* SelectObject(CGdiObject* pObject);
  HGDIOBJ SelectObject(HGDIOBJ hObject);
  CPalette* SelectPalette(CPalette* pPalette, BOOL bForceBackground);
  UINT RealizePalette();
  CPen* GetCurrentPen() const;
  CBrush* GetCurrentBrush() const;
  CFont* GetCurrentFont() const;
  CBitmap* GetCurrentBitmap() const;
  CPalette* GetCurrentPalette() const;

  // Colours and modes.
  COLORREF GetNearestColor(COLORREF crColor) const;
  COLORREF SetBkColor(COLORREF crColor);
  COLORREF GetBkColor() const;
  int SetBkMode(int nBkMode);
  int GetBkMode() const;
  COLORREF SetTextColor(COLORREF crColor);
  COLORREF GetTextColor() const;
  int SetROP2(int nDrawMode);
  int GetROP2() const;
  int SetPolyFillMode(int nPolyFillMode);
  int GetPolyFillMode() const;
  int SetStretchBltMode(int nStretchMode);
  int GetStretchBltMode() const;
  UINT SetTextAlign(UINT nFlags);
  UINT GetTextAlign() const;
  int SetTextCharacterExtra(int nCharExtra);
  int GetTextCharacterExtra() const;
  CPoint SetBrushOrg(int x, int y);
  CPoint SetBrushOrg(POINT point) { return SetBrushOrg(point.x, point.y); }
  CPoint GetBrushOrg() const;

  // Coordinates.
  int SetMapMode(int nMapMode);
  int GetMapMode() const;
  CPoint SetViewportOrg(int x, int y);
  CPoint SetViewportOrg(POINT point) { return SetViewportOrg(point.x, point.y); }
  CPoint OffsetViewportOrg(int nWidth, int nHeight);
  CPoint GetViewportOrg() const;
  CSize SetViewportExt(int cx, int cy);
  CSize SetViewportExt(SIZE size) { return SetViewportExt(size.cx, size.cy); }
  CSize GetViewportExt() const;
  CPoint SetWindowOrg(int x, int y);
  CPoint SetWindowOrg(POINT point) { return SetWindowOrg(point.x, point.y); }
  CPoint OffsetWindowOrg(int nWidth, int nHeight);
  CPoint GetWindowOrg() const;
  CSize SetWindowExt(int cx, int cy);
  CSize SetWindowExt(SIZE size) { return SetWindowExt(size.cx, size.cy); }
  CSize GetWindowExt() const;
  void DPtoLP(LPPOINT lpPoints, int nCount = 1) const;
  void DPtoLP(LPRECT lpRect) const;
  void DPtoLP(LPSIZE lpSize) const;
  void LPtoDP(LPPOINT lpPoints, int nCount = 1) const;
  void LPtoDP(LPRECT lpRect) const;
  void LPtoDP(LPSIZE lpSize) const;
  // HIMETRIC (0.01 mm) <-> device units of this DC.
  void DPtoHIMETRIC(LPSIZE lpSize) const;
  void HIMETRICtoDP(LPSIZE lpSize) const;

  // Clipping; region results are ERROR, NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int GetClipBox(LPRECT lpRect) const;
  BOOL PtVisible(int x, int y) const;
  BOOL PtVisible(POINT point) const { return PtVisible(point.x, point.y); }
  BOOL RectVisible(LPCRECT lpRect) const;
  int SelectClipRgn(CRgn* pRgn);  // null: no clipping
  int SelectClipRgn(CRgn* pRgn, int nMode);
  int ExcludeClipRect(int x1, int y1, int x2, int y2);
  int ExcludeClipRect(LPCRECT lpRect);
  int IntersectClipRect(int x1, int y1, int x2, int y2);
  int IntersectClipRect(LPCRECT lpRect);
  int OffsetClipRgn(int x, int y);
  int OffsetClipRgn(SIZE size) { return OffsetClipRgn(size.cx, size.cy); }
  int ExcludeUpdateRgn(CWnd* pWnd);

  // Lines and shapes.
  CPoint GetCurrentPosition() const;
  CPoint MoveTo(int x, int y);
  CPoint MoveTo(POINT point) { return MoveTo(point.x, point.y); }
  BOOL LineTo(int x, int y);
  BOOL LineTo(POINT point) { return LineTo(point.x, point.y); }
  BOOL Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  BOOL Arc(LPCRECT lpRect, POINT ptStart, POINT ptEnd);
  BOOL Polyline(const POINT* lpPoints, int nCount);
  BOOL PolyPolyline(const POINT* lpPoints, const DWORD* lpPolyPoints, int nCount);
  BOOL PolyBezier(const POINT* lpPoints, int nCount);
  BOOL Polygon(const POINT* lpPoints, int nCount);
  BOOL PolyPolygon(const POINT* lpPoints, const INT* lpPolyCounts, int nCount);
  BOOL Rectangle(int x1, int y1, int x2, int y2);
  BOOL Rectangle(LPCRECT lpRect);
  BOOL RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
  BOOL RoundRect(LPCRECT lpRect, POINT point);
  BOOL Ellipse(int x1, int y1, int x2, int y2);
  BOOL Ellipse(LPCRECT lpRect);
  BOOL Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  BOOL Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);

  // Rectangles.
  void FillRect(LPCRECT lpRect, CBrush* pBrush);
  void FrameRect(LPCRECT lpRect, CBrush* pBrush);
  void InvertRect(LPCRECT lpRect);
  BOOL FillRgn(CRgn* pRgn, CBrush* pBrush);
  BOOL FrameRgn(CRgn* pRgn, CBrush* pBrush, int nWidth, int nHeight);
  BOOL InvertRgn(CRgn* pRgn);
  BOOL PaintRgn(CRgn* pRgn);
  void FillSolidRect(LPCRECT lpRect, COLORREF clr);
  void FillSolidRect(int x, int y, int cx, int cy, COLORREF clr);
  // One-pixel frame: top and left in clrTopLeft, bottom and right in clrBottomRight.
  void Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight);
  void Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight);
  BOOL DrawEdge(LPRECT lpRect, UINT nEdge, UINT nFlags);
  void DrawFocusRect(LPCRECT lpRect);
  BOOL DrawFrameControl(LPRECT lpRect, UINT nType, UINT nState);

  // Bitmaps and icons.
  BOOL PatBlt(int x, int y, int nWidth, int nHeight, DWORD dwRop);
  BOOL BitBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc, DWORD dwRop);
  BOOL StretchBlt(int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                  int nSrcWidth, int nSrcHeight, DWORD dwRop);
  BOOL TransparentBlt(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC,
                      int xSrc, int ySrc, int nSrcWidth, int nSrcHeight, UINT clrTransparent);
  BOOL AlphaBlend(int xDest, int yDest, int nDestWidth, int nDestHeight, CDC* pSrcDC,
                  int xSrc, int ySrc, int nSrcWidth, int nSrcHeight, BLENDFUNCTION blend);
  BOOL GradientFill(TRIVERTEX* pVertices, ULONG nVertices, void* pMesh, ULONG nMeshElements,
                    DWORD dwMode);
  COLORREF GetPixel(int x, int y) const;
  COLORREF GetPixel(POINT point) const { return GetPixel(point.x, point.y); }
  COLORREF SetPixel(int x, int y, COLORREF crColor);
  COLORREF SetPixel(POINT point, COLORREF crColor) { return SetPixel(point.x, point.y, crColor); }
  BOOL SetPixelV(int x, int y, COLORREF crColor);
  BOOL FloodFill(int x, int y, COLORREF crColor);
  BOOL ExtFloodFill(int x, int y, COLORREF crColor, UINT nFillType);
  BOOL DrawIcon(int x, int y, HICON hIcon);
  BOOL DrawIcon(POINT point, HICON hIcon) { return DrawIcon(point.x, point.y, hIcon); }
  BOOL DrawIconEx(int x, int y, HICON hIcon, int cxWidth, int cyWidth, UINT istepIfAniCur = 0,
                  HBRUSH hbrFlickerFreeDraw = nullptr, UINT diFlags = DI_NORMAL);
  BOOL DrawIconEx(POINT pt, HICON hIcon, SIZE size, UINT istepIfAniCur = 0,
                  HBRUSH hbrFlickerFreeDraw = nullptr, UINT diFlags = DI_NORMAL) {
    return DrawIconEx(pt.x, pt.y, hIcon, size.cx, size.cy, istepIfAniCur, hbrFlickerFreeDraw, diFlags);
  }
  // DrawState without callback: the DST_ kind is added from the argument's type.
  BOOL DrawState(CPoint pt, CSize size, HBITMAP hBitmap, UINT nFlags, HBRUSH hBrush = nullptr);
  BOOL DrawState(CPoint pt, CSize size, CBitmap* pBitmap, UINT nFlags, CBrush* pBrush = nullptr);
  BOOL DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, HBRUSH hBrush = nullptr);
  BOOL DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, CBrush* pBrush);
  BOOL DrawState(CPoint pt, CSize size, LPCTSTR lpszText, UINT nFlags, BOOL bPrefixText = TRUE,
                 int nTextLen = 0, HBRUSH hBrush = nullptr);
  BOOL DrawState(CPoint pt, CSize size, LPCTSTR lpszText, UINT nFlags, BOOL bPrefixText,
                 int nTextLen, CBrush* pBrush);
  // The icon form the spec'd callers use: x, y, cx, cy, icon, flags, brush.
  BOOL DrawState(int x, int y, int cx, int cy, HICON hIcon, UINT nFlags, HBRUSH hBrush);

  // Text.
  BOOL TextOut(int x, int y, LPCTSTR lpszString, int nCount);
  BOOL TextOut(int x, int y, const CString& str);
  BOOL ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCTSTR lpszString, UINT nCount,
                  LPINT lpDxWidths);
  BOOL ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, const CString& str, LPINT lpDxWidths);
  CSize TabbedTextOut(int x, int y, LPCTSTR lpszString, int nCount, int nTabPositions,
                      LPINT lpnTabStopPositions, int nTabOrigin);
  // DT_MODIFYSTRING on a const text works on a private copy (the caller's text stays).
  int DrawText(LPCTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat);
  int DrawText(const CString& str, LPRECT lpRect, UINT nFormat);
  int DrawTextEx(LPTSTR lpszString, int nCount, LPRECT lpRect, UINT nFormat,
                 LPDRAWTEXTPARAMS lpDTParams);
  int DrawTextEx(const CString& str, LPRECT lpRect, UINT nFormat, LPDRAWTEXTPARAMS lpDTParams);
  BOOL GrayString(CBrush* pBrush, GRAYSTRINGPROC lpfnOutput, LPARAM lpData, int nCount, int x,
                  int y, int nWidth, int nHeight);
  // Extents measured on the attribute DC (GetTextExtent) or the output DC (GetOutputTextExtent).
  CSize GetTextExtent(LPCTSTR lpszString, int nCount) const;
  CSize GetTextExtent(const CString& str) const;
  CSize GetOutputTextExtent(LPCTSTR lpszString, int nCount) const;
  CSize GetOutputTextExtent(const CString& str) const;
  CSize GetTabbedTextExtent(LPCTSTR lpszString, int nCount, int nTabPositions,
                            LPINT lpnTabStopPositions) const;
  BOOL GetTextMetrics(LPTEXTMETRIC lpMetrics) const;
  BOOL GetOutputTextMetrics(LPTEXTMETRIC lpMetrics) const;
  int GetTextFace(int nCount, LPTSTR lpszFacename) const;
  int GetTextFace(CString& rString) const;
  BOOL GetCharWidth(UINT nFirstChar, UINT nLastChar, LPINT lpBuffer) const;
  BOOL GetOutputCharWidth(UINT nFirstChar, UINT nLastChar, LPINT lpBuffer) const;
  BOOL GetCharABCWidths(UINT nFirstChar, UINT nLastChar, LPABC lpabc) const;

  int SetLayout(DWORD dwLayout) { return static_cast<int>(::SetLayout(m_hDC, dwLayout)); }
  DWORD GetLayout() const { return ::GetLayout(m_hDC); }
  int SetGraphicsMode(int iMode) { return ::SetGraphicsMode(m_hDC, iMode); }
  int GetGraphicsMode() const { return ::GetGraphicsMode(m_hAttribDC); }
};

// DCs of a window (a null CWnd* means the screen for the client and window DCs).
class CPaintDC : public CDC {
  DECLARE_DYNAMIC(CPaintDC)

 public:
  explicit CPaintDC(CWnd* pWnd);  // BeginPaint; throws CResourceException on failure
  ~CPaintDC() override;           // EndPaint
  PAINTSTRUCT m_ps{};
  HWND m_hWnd = nullptr;
};

class CClientDC : public CDC {
  DECLARE_DYNAMIC(CClientDC)

 public:
  explicit CClientDC(CWnd* pWnd);  // null: the screen
  ~CClientDC() override;
  HWND m_hWnd = nullptr;
};

class CWindowDC : public CDC {
  DECLARE_DYNAMIC(CWindowDC)

 public:
  explicit CWindowDC(CWnd* pWnd);  // null: the screen
  ~CWindowDC() override;
  HWND m_hWnd = nullptr;
};

// ---------------------------------------------------------------------------------------
class CImageList : public CObject {
  DECLARE_DYNCREATE(CImageList)

 public:
  HIMAGELIST m_hImageList = nullptr;

  CImageList() = default;
  ~CImageList() override;  // destroys the list it still holds
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  operator HIMAGELIST() const { return GetSafeHandle(); }
  HIMAGELIST GetSafeHandle() const;  // null for a null object
  static CImageList* PASCAL FromHandle(HIMAGELIST hImageList);
  static void PASCAL DeleteTempMap() { AfxDeleteTempGdiObjects(); }

  BOOL Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow);
  // From a bitmap resource of images cx wide; crMask CLR_NONE: no mask.
  BOOL Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
  BOOL Create(LPCTSTR lpszBitmapID, int cx, int nGrow, COLORREF crMask);
  BOOL Create(CImageList& imagelist1, int nImage1, CImageList& imagelist2, int nImage2, int dx, int dy);
  BOOL Create(CImageList* pImageList);  // a copy
  BOOL Attach(HIMAGELIST hImageList);
  HIMAGELIST Detach();
  BOOL DeleteImageList();

  int GetImageCount() const;
  BOOL SetImageCount(UINT uNewCount);
  COLORREF SetBkColor(COLORREF cr);
  COLORREF GetBkColor() const;
  BOOL GetImageInfo(int nImage, IMAGEINFO* pImageInfo) const;
  BOOL GetIconSize(int* cx, int* cy) const;

  int Add(CBitmap* pbmImage, CBitmap* pbmMask);
  int Add(CBitmap* pbmImage, COLORREF crMask);
  int Add(HICON hIcon);
  BOOL Remove(int nImage);  // -1: all images
  BOOL Replace(int nImage, CBitmap* pbmImage, CBitmap* pbmMask);
  int Replace(int nImage, HICON hIcon);
  HICON ExtractIcon(int nImage);
  BOOL Copy(int iDst, int iSrc, UINT uFlags = ILCF_MOVE);
  BOOL Copy(int iDst, CImageList* pSrc, int iSrc, UINT uFlags = ILCF_MOVE);
  BOOL SetOverlayImage(int nImage, int nOverlay);

  BOOL Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle);
  BOOL DrawEx(CDC* pDC, int nImage, POINT pt, SIZE sz, COLORREF clrBk, COLORREF clrFg, UINT nStyle);
  BOOL DrawIndirect(IMAGELISTDRAWPARAMS* pimldp);

  // Drag image: one per process, as the common controls keep it.
  BOOL BeginDrag(int nImage, CPoint ptHotSpot);
  BOOL SetDragCursorImage(int nDrag, CPoint ptHotSpot);
  static void PASCAL EndDrag();
  static BOOL PASCAL DragMove(CPoint pt);
  static BOOL PASCAL DragShowNolock(BOOL bShow);
  static BOOL PASCAL DragEnter(CWnd* pWndLock, CPoint point);
  static BOOL PASCAL DragLeave(CWnd* pWndLock);
  static CImageList* PASCAL GetDragImage(LPPOINT lpPoint, LPPOINT lpPointHotSpot);
};
