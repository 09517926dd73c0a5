// GDI object wrappers and the per-thread handle tables behind FromHandle.
#include "gdi_handlemap.h"

#include <cstdlib>

namespace fw_gdi {
namespace {

struct TempKey {
  Space space;
  void* handle;
  const void* kind;
  bool operator<(const TempKey& o) const {
    if (space != o.space) return space < o.space;
    if (handle != o.handle) return handle < o.handle;
    return kind < o.kind;
  }
};

struct TempEntry {
  CObject* wrapper;
  ReleaseFn release;
};

// Set once the thread's tables are gone: wrappers destroyed after the thread's own clean-up
// (globals destroyed at process exit) then find "no table" instead of making new ones.
thread_local bool t_tablesGone = false;

struct ThreadTables {
  std::unordered_map<void*, CObject*> attached[3];
  std::map<TempKey, TempEntry> temporaries;

  void DeleteTemporaries() {
    // Take the table first: a wrapper's destructor may look things up again.
    std::map<TempKey, TempEntry> doomed;
    doomed.swap(temporaries);
    for (auto& [key, entry] : doomed) {
      entry.release(entry.wrapper);  // the handle belongs to someone else
      delete entry.wrapper;
    }
  }
  ~ThreadTables() {
    DeleteTemporaries();
    t_tablesGone = true;
  }
};

using OwnedTables = fwthread::ThreadOwned<ThreadTables>;

ThreadTables* Tables(bool create) {
  if (OwnedTables::Find() == nullptr && create && !t_tablesGone) return &OwnedTables::Get();
  return OwnedTables::Find();
}

}  // namespace

void RegisterAttached(Space space, void* handle, CObject* wrapper) {
  if (handle == nullptr) return;
  if (ThreadTables* t = Tables(true)) t->attached[static_cast<int>(space)][handle] = wrapper;
}

void UnregisterAttached(Space space, void* handle, CObject* wrapper) {
  if (handle == nullptr) return;
  ThreadTables* t = Tables(false);
  if (t == nullptr) return;
  auto& table = t->attached[static_cast<int>(space)];
  auto it = table.find(handle);
  if (it != table.end() && it->second == wrapper) table.erase(it);
}

CObject* FindAttached(Space space, void* handle) {
  ThreadTables* t = Tables(false);
  if (t == nullptr) return nullptr;
  auto& table = t->attached[static_cast<int>(space)];
  auto it = table.find(handle);
  return it == table.end() ? nullptr : it->second;
}

CObject* FindOrMakeTemporary(Space space, void* handle, const void* kind, MakeFn make,
                             ReleaseFn release) {
  ThreadTables* t = Tables(true);
  if (t == nullptr) return nullptr;  // thread is ending: no more temporaries
  TempKey key{space, handle, kind};
  auto it = t->temporaries.find(key);
  if (it != t->temporaries.end()) return it->second.wrapper;
  CObject* wrapper = make(handle);
  t->temporaries.emplace(key, TempEntry{wrapper, release});
  return wrapper;
}

}  // namespace fw_gdi

using fw_gdi::Space;

void AFXAPI AfxDeleteTempGdiObjects() {
  if (auto* t = fw_gdi::Tables(false)) t->DeleteTemporaries();
}

int AFXAPI AfxGetTempGdiObjectCount() {
  auto* t = fw_gdi::Tables(false);
  return t ? static_cast<int>(t->temporaries.size()) : 0;
}

// ---------------------------------------------------------------------------------------
IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)

CGdiObject::~CGdiObject() { DeleteObject(); }

HGDIOBJ CGdiObject::GetSafeHandle() const {
  return fw_gdi::IsNullObject(this) ? nullptr : m_hObject;
}

CGdiObject* PASCAL CGdiObject::FromHandle(HGDIOBJ hObject) {
  return fw_gdi::FromHandle<CGdiObject, Space::GdiObject>(hObject);
}

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
  ASSERT(m_hObject == nullptr);
  if (hObject == nullptr) return FALSE;
  m_hObject = hObject;
  fw_gdi::RegisterAttached(Space::GdiObject, hObject, this);
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ hObject = m_hObject;
  fw_gdi::UnregisterAttached(Space::GdiObject, hObject, this);
  m_hObject = nullptr;
  return hObject;
}

BOOL CGdiObject::DeleteObject() {
  if (m_hObject == nullptr) return FALSE;
  // Deleting a stock object is a harmless no-op for GDI, so no special case is needed.
  return ::DeleteObject(Detach());
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const {
  return m_hObject ? ::GetObjectW(m_hObject, nCount, lpObject) : 0;
}

UINT CGdiObject::GetObjectType() const {
  return m_hObject ? static_cast<UINT>(::GetObjectType(m_hObject)) : 0;
}

BOOL CGdiObject::CreateStockObject(int nIndex) { return Attach(::GetStockObject(nIndex)); }

BOOL CGdiObject::UnrealizeObject() { return m_hObject && ::UnrealizeObject(m_hObject); }

// ---------------------------------------------------------------------------------------
// Constructors that create throw, as the rest of the framework's resource failures do.
static void ThrowUnlessCreated(BOOL bCreated) {
  if (!bCreated) AfxThrowResourceException();
}

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor) {
  ThrowUnlessCreated(CreatePen(nPenStyle, nWidth, crColor));
}
CPen::CPen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount,
           const DWORD* lpStyle) {
  ThrowUnlessCreated(CreatePen(nPenStyle, nWidth, pLogBrush, nStyleCount, lpStyle));
}
CPen* PASCAL CPen::FromHandle(HPEN hPen) { return fw_gdi::FromHandle<CPen, Space::GdiObject>(hPen); }
BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor) {
  return Attach(::CreatePen(nPenStyle, nWidth, crColor));
}
BOOL CPen::CreatePen(int nPenStyle, int nWidth, const LOGBRUSH* pLogBrush, int nStyleCount,
                     const DWORD* lpStyle) {
  return Attach(::ExtCreatePen(nPenStyle, nWidth, pLogBrush, nStyleCount, lpStyle));
}
BOOL CPen::CreatePenIndirect(LPLOGPEN lpLogPen) { return Attach(::CreatePenIndirect(lpLogPen)); }

CBrush::CBrush(COLORREF crColor) { ThrowUnlessCreated(CreateSolidBrush(crColor)); }
CBrush::CBrush(int nIndex, COLORREF crColor) { ThrowUnlessCreated(CreateHatchBrush(nIndex, crColor)); }
CBrush::CBrush(CBitmap* pBitmap) { ThrowUnlessCreated(CreatePatternBrush(pBitmap)); }
CBrush* PASCAL CBrush::FromHandle(HBRUSH hBrush) {
  return fw_gdi::FromHandle<CBrush, Space::GdiObject>(hBrush);
}
BOOL CBrush::CreateSolidBrush(COLORREF crColor) { return Attach(::CreateSolidBrush(crColor)); }
BOOL CBrush::CreateHatchBrush(int nIndex, COLORREF crColor) {
  return Attach(::CreateHatchBrush(nIndex, crColor));
}
BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* lpLogBrush) {
  return Attach(::CreateBrushIndirect(lpLogBrush));
}
BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap) {
  HBITMAP hBitmap = pBitmap ? static_cast<HBITMAP>(pBitmap->GetSafeHandle()) : nullptr;
  return hBitmap && Attach(::CreatePatternBrush(hBitmap));
}
BOOL CBrush::CreateDIBPatternBrush(HGLOBAL hPackedDIB, UINT nUsage) {
  const void* pDIB = hPackedDIB ? ::GlobalLock(hPackedDIB) : nullptr;
  if (pDIB == nullptr) return FALSE;
  BOOL bOk = CreateDIBPatternBrush(pDIB, nUsage);
  ::GlobalUnlock(hPackedDIB);
  return bOk;
}
BOOL CBrush::CreateDIBPatternBrush(const void* lpPackedDIB, UINT nUsage) {
  return lpPackedDIB && Attach(::CreateDIBPatternBrushPt(lpPackedDIB, nUsage));
}
// System colour brushes are shared by the system; DeleteObject on them does nothing.
BOOL CBrush::CreateSysColorBrush(int nIndex) { return Attach(::GetSysColorBrush(nIndex)); }

CFont* PASCAL CFont::FromHandle(HFONT hFont) { return fw_gdi::FromHandle<CFont, Space::GdiObject>(hFont); }
BOOL CFont::CreateFontIndirect(const LOGFONT* lpLogFont) {
  return lpLogFont && Attach(::CreateFontIndirectW(lpLogFont));
}
BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight,
                       BYTE bItalic, BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet,
                       BYTE nOutPrecision, BYTE nClipPrecision, BYTE nQuality,
                       BYTE nPitchAndFamily, LPCTSTR lpszFacename) {
  return Attach(::CreateFontW(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic,
                              bUnderline, cStrikeOut, nCharSet, nOutPrecision, nClipPrecision,
                              nQuality, nPitchAndFamily, lpszFacename));
}
BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC) {
  LOGFONTW lf{};
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfHeight = nPointSize;
  if (lpszFaceName) ::lstrcpynW(lf.lfFaceName, lpszFaceName, LF_FACESIZE);
  return CreatePointFontIndirect(&lf, pDC);
}
BOOL CFont::CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC) {
  if (lpLogFont == nullptr) return FALSE;
  HDC hDC = pDC ? pDC->m_hAttribDC : ::GetDC(nullptr);
  // lfHeight holds tenths of a point: convert to logical units of the DC, then negate so
  // that GDI matches the character height rather than the cell height.
  LOGFONTW lf = *lpLogFont;
  POINT pt{0, ::MulDiv(::GetDeviceCaps(hDC, LOGPIXELSY), lf.lfHeight, 720)};
  POINT ptOrg{0, 0};
  ::DPtoLP(hDC, &pt, 1);
  ::DPtoLP(hDC, &ptOrg, 1);
  lf.lfHeight = -std::abs(pt.y - ptOrg.y);
  if (pDC == nullptr) ::ReleaseDC(nullptr, hDC);
  return CreateFontIndirect(&lf);
}

CBitmap* PASCAL CBitmap::FromHandle(HBITMAP hBitmap) {
  return fw_gdi::FromHandle<CBitmap, Space::GdiObject>(hBitmap);
}
BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName) {
  return Attach(::LoadBitmapW(AfxGetResourceHandle(), lpszResourceName));
}
BOOL CBitmap::LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCEW(nIDResource)); }
BOOL CBitmap::LoadOEMBitmap(UINT nIDBitmap) {
  return Attach(::LoadBitmapW(nullptr, MAKEINTRESOURCEW(nIDBitmap)));
}
BOOL CBitmap::LoadMappedBitmap(UINT nIDBitmap, UINT nFlags, LPCOLORMAP lpColorMap, int nMapSize) {
  return Attach(::CreateMappedBitmap(AfxGetResourceHandle(), nIDBitmap, nFlags, lpColorMap, nMapSize));
}
BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits) {
  return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}
BOOL CBitmap::CreateBitmapIndirect(LPBITMAP lpBitmap) { return Attach(::CreateBitmapIndirect(lpBitmap)); }
BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
  HDC hDC = pDC ? pDC->m_hDC : nullptr;
  if (hDC == nullptr) {
    // Compatible with the screen, as a null DC means elsewhere in GDI.
    HDC hScreen = ::GetDC(nullptr);
    BOOL bOk = Attach(::CreateCompatibleBitmap(hScreen, nWidth, nHeight));
    ::ReleaseDC(nullptr, hScreen);
    return bOk;
  }
  return Attach(::CreateCompatibleBitmap(hDC, nWidth, nHeight));
}
BOOL CBitmap::CreateDiscardableBitmap(CDC* pDC, int nWidth, int nHeight) {
  return CreateCompatibleBitmap(pDC, nWidth, nHeight);
}
DWORD CBitmap::SetBitmapBits(DWORD dwCount, const void* lpBits) {
  return static_cast<DWORD>(::SetBitmapBits(static_cast<HBITMAP>(m_hObject), dwCount, lpBits));
}
DWORD CBitmap::GetBitmapBits(DWORD dwCount, LPVOID lpBits) const {
  return static_cast<DWORD>(::GetBitmapBits(static_cast<HBITMAP>(m_hObject), dwCount, lpBits));
}
CSize CBitmap::SetBitmapDimension(int nWidth, int nHeight) {
  SIZE old{};
  ::SetBitmapDimensionEx(static_cast<HBITMAP>(m_hObject), nWidth, nHeight, &old);
  return CSize(old.cx, old.cy);
}
CSize CBitmap::GetBitmapDimension() const {
  SIZE size{};
  ::GetBitmapDimensionEx(static_cast<HBITMAP>(m_hObject), &size);
  return CSize(size.cx, size.cy);
}

CPalette* PASCAL CPalette::FromHandle(HPALETTE hPalette) {
  return fw_gdi::FromHandle<CPalette, Space::GdiObject>(hPalette);
}
BOOL CPalette::CreatePalette(LPLOGPALETTE lpLogPalette) { return Attach(::CreatePalette(lpLogPalette)); }
BOOL CPalette::CreateHalftonePalette(CDC* pDC) {
  return pDC && Attach(::CreateHalftonePalette(pDC->m_hDC));
}
int CPalette::GetEntryCount() {
  WORD nEntries = 0;
  GetObject(sizeof(WORD), &nEntries);
  return nEntries;
}
UINT CPalette::GetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) const {
  return ::GetPaletteEntries(static_cast<HPALETTE>(m_hObject), nStartIndex, nNumEntries, lpPaletteColors);
}
UINT CPalette::SetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) {
  return ::SetPaletteEntries(static_cast<HPALETTE>(m_hObject), nStartIndex, nNumEntries, lpPaletteColors);
}
UINT CPalette::GetNearestPaletteIndex(COLORREF crColor) const {
  return ::GetNearestPaletteIndex(static_cast<HPALETTE>(m_hObject), crColor);
}

CRgn* PASCAL CRgn::FromHandle(HRGN hRgn) { return fw_gdi::FromHandle<CRgn, Space::GdiObject>(hRgn); }
BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateRectRgn(x1, y1, x2, y2)); }
BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect) { return lpRect && Attach(::CreateRectRgnIndirect(lpRect)); }
BOOL CRgn::CreateEllipticRgn(int x1, int y1, int x2, int y2) {
  return Attach(::CreateEllipticRgn(x1, y1, x2, y2));
}
BOOL CRgn::CreateEllipticRgnIndirect(LPCRECT lpRect) {
  return lpRect && Attach(::CreateEllipticRgnIndirect(lpRect));
}
BOOL CRgn::CreatePolygonRgn(const POINT* lpPoints, int nCount, int nMode) {
  return lpPoints && nCount > 0 && Attach(::CreatePolygonRgn(lpPoints, nCount, nMode));
}
BOOL CRgn::CreatePolyPolygonRgn(const POINT* lpPoints, const INT* lpPolyCounts, int nCount,
                                int nPolyFillMode) {
  return Attach(::CreatePolyPolygonRgn(lpPoints, lpPolyCounts, nCount, nPolyFillMode));
}
BOOL CRgn::CreateRoundRectRgn(int x1, int y1, int x2, int y2, int x3, int y3) {
  return Attach(::CreateRoundRectRgn(x1, y1, x2, y2, x3, y3));
}
int CRgn::CombineRgn(const CRgn* pRgn1, const CRgn* pRgn2, int nCombineMode) {
  return ::CombineRgn(static_cast<HRGN>(m_hObject), static_cast<HRGN>(pRgn1->GetSafeHandle()),
                      static_cast<HRGN>(pRgn2->GetSafeHandle()), nCombineMode);
}
int CRgn::CopyRgn(const CRgn* pRgnSrc) {
  return ::CombineRgn(static_cast<HRGN>(m_hObject), static_cast<HRGN>(pRgnSrc->GetSafeHandle()),
                      nullptr, RGN_COPY);
}
BOOL CRgn::EqualRgn(const CRgn* pRgn) const {
  return ::EqualRgn(static_cast<HRGN>(m_hObject), static_cast<HRGN>(pRgn->GetSafeHandle()));
}
int CRgn::OffsetRgn(int x, int y) { return ::OffsetRgn(static_cast<HRGN>(m_hObject), x, y); }
int CRgn::GetRgnBox(LPRECT lpRect) const { return ::GetRgnBox(static_cast<HRGN>(m_hObject), lpRect); }
BOOL CRgn::PtInRegion(int x, int y) const { return ::PtInRegion(static_cast<HRGN>(m_hObject), x, y); }
BOOL CRgn::RectInRegion(LPCRECT lpRect) const {
  return ::RectInRegion(static_cast<HRGN>(m_hObject), lpRect);
}
void CRgn::SetRectRgn(int x1, int y1, int x2, int y2) {
  ::SetRectRgn(static_cast<HRGN>(m_hObject), x1, y1, x2, y2);
}
void CRgn::SetRectRgn(LPCRECT lpRect) {
  ::SetRectRgn(static_cast<HRGN>(m_hObject), lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
}
