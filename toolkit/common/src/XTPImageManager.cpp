// Icon sets and the image manager: loading from resources, bitmaps and image lists,
// custom ids, the clipboard format and persistence through the settings exchange.
#include "XTPImageManager.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

#include "XTPImageReaders.h"
#include "XTPPropExchange.h"
#include "XTPSystemVersion.h"

IMPLEMENT_DYNAMIC(CXTPImageManagerIconSet, CCmdTarget)
IMPLEMENT_DYNAMIC(CXTPImageManager, CCmdTarget)

CLIPFORMAT CXTPImageManager::m_nImageClipFormat =
    static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"Toolkit ToolBar Image"));
CLIPFORMAT CXTPImageManager::m_nAlphaClipFormat =
    static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"Alpha Bitmap Image"));

namespace {

const wchar_t kCheckSum[] = L"CXTPImageManagerIcons";

// Maps of ids and widths bucket keys by key >> 4 over 17 buckets.
const UINT kHashShift = 4;

// More sets or icons than this in stored data is damage, not a picture collection.
const DWORD kMaxStoredEntries = 0x10000;

// Values of the archive form fail quietly when the data ends; a load must not take the
// defaults for what was cut off. Throws unless the exchange can still give nBytes.
void RequireBytes(CXTPPropExchange* pPX, ULONGLONG nBytes) {
  if (!pPX->IsLoading() || !pPX->IsKindOf(RUNTIME_CLASS(CXTPPropExchangeArchive))) return;
  if (static_cast<CXTPPropExchangeArchive*>(pPX)->GetBytesLeft() < nBytes)
    AfxThrowArchiveException(CArchiveException::endOfFile);
}

// A value that could not be read while loading ends the load.
void Require(CXTPPropExchange* pPX, BOOL bRead) {
  if (pPX->IsLoading() && !bRead) AfxThrowArchiveException(CArchiveException::endOfFile);
}

// Takes the enumerator's start position; a count no picture collection has is damage.
POSITION StartEnumeration(CXTPPropExchange* pPX, CXTPPropExchangeEnumerator* pEnumerator, DWORD nCount) {
  RequireBytes(pPX, sizeof(int));
  POSITION pos = pEnumerator->GetPosition(nCount, FALSE);
  if (pPX->IsLoading() && pEnumerator->GetCount() > kMaxStoredEntries)
    AfxThrowArchiveException(CArchiveException::badIndex);
  return pos;
}

}  // namespace

CXTPImageManager* AFX_CDECL XTPImageManager() {
  static CXTPImageManager s_manager;
  return &s_manager;
}

namespace {
// The global manager exists from static initialisation on.
struct CGlobalImageManagerInit {
  CGlobalImageManagerInit() { XTPImageManager(); }
} s_initGlobalImageManager;
}  // namespace

BOOL AFX_CDECL XTPIsComCtl6OrLater() { return HIWORD(XTPReadComCtlVersion()) > 5; }

// =======================================================================================
// CXTPImageManagerIconSet

CXTPImageManagerIconSet::CXTPImageManagerIconSet(UINT nID, CXTPImageManager* pImageManager)
    : m_nID(nID), m_pImageManager(pImageManager), m_mapIcons(10) {
  m_mapIcons.SetHashKeyShift(kHashShift);
}

CXTPImageManagerIconSet::~CXTPImageManagerIconSet() { RemoveAll(); }

CXTPImageManagerIcon* CXTPImageManagerIconSet::GetIcon(UINT nWidth, BOOL bScaled) {
  CXTPImageManagerIcon* pIcon = NULL;
  if (m_mapIcons.Lookup(nWidth, pIcon)) return pIcon;
  if (!bScaled) return NULL;

  // The nearest width; the first met wins a tie.
  CXTPImageManagerIcon* pNearest = NULL;
  LONGLONG nBest = 0;
  for (POSITION pos = m_mapIcons.GetStartPosition(); pos != NULL;) {
    UINT nKey;
    m_mapIcons.GetNextAssoc(pos, nKey, pIcon);
    LONGLONG nDiff = static_cast<LONGLONG>(nKey) - static_cast<LONGLONG>(nWidth);
    if (nDiff < 0) nDiff = -nDiff;
    if (pNearest == NULL || nDiff < nBest) {
      pNearest = pIcon;
      nBest = nDiff;
    }
  }
  if (pNearest == NULL) return NULL;
  if (pNearest->IsAlpha() || nWidth == 0) return pNearest;

  CXTPImageManagerIcon* pScaled = pNearest->Scale(static_cast<int>(nWidth));
  if (pScaled == NULL) return pNearest;
  pScaled->m_bScaled = TRUE;
  m_mapIcons[nWidth] = pScaled;
  return pScaled;
}

CXTPImageManagerIcon* CXTPImageManagerIconSet::CreateIcon(UINT nWidth) {
  CXTPImageManagerIcon* pIcon = NULL;
  if (m_mapIcons.Lookup(nWidth, pIcon)) return pIcon;
  pIcon = new CXTPImageManagerIcon(m_nID, static_cast<int>(nWidth), 15, this);
  m_mapIcons[nWidth] = pIcon;
  return pIcon;
}

BOOL CXTPImageManagerIconSet::SetIcon(const CXTPImageManagerIconHandle& hIcon, UINT nWidth) {
  // A picture without a width is never stored (it could not be drawn or scaled).
  if (hIcon.IsEmpty() || hIcon.GetExtent().cx <= 0) return FALSE;
  return CreateIcon(nWidth)->SetIcon(hIcon);
}

void CXTPImageManagerIconSet::SetDisabledIcon(const CXTPImageManagerIconHandle& hIcon, UINT nWidth) {
  CreateIcon(nWidth)->SetDisabledIcon(hIcon);
}

void CXTPImageManagerIconSet::SetHotIcon(const CXTPImageManagerIconHandle& hIcon, UINT nWidth) {
  CreateIcon(nWidth)->SetHotIcon(hIcon);
}

void CXTPImageManagerIconSet::SetCheckedIcon(const CXTPImageManagerIconHandle& hIcon, UINT nWidth) {
  CreateIcon(nWidth)->SetCheckedIcon(hIcon);
}

void CXTPImageManagerIconSet::RemoveAll() {
  for (POSITION pos = m_mapIcons.GetStartPosition(); pos != NULL;) {
    UINT nKey;
    CXTPImageManagerIcon* pIcon;
    m_mapIcons.GetNextAssoc(pos, nKey, pIcon);
    pIcon->m_pIconSet = NULL;
    pIcon->InternalRelease();
  }
  m_mapIcons.RemoveAll();
}

void CXTPImageManagerIconSet::RefreshAll() {
  std::vector<UINT> scaled;
  for (POSITION pos = m_mapIcons.GetStartPosition(); pos != NULL;) {
    UINT nKey;
    CXTPImageManagerIcon* pIcon;
    m_mapIcons.GetNextAssoc(pos, nKey, pIcon);
    if (pIcon->IsScaled())
      scaled.push_back(nKey);
    else
      pIcon->Refresh();
  }
  for (UINT nKey : scaled) {
    CXTPImageManagerIcon* pIcon = NULL;
    if (!m_mapIcons.Lookup(nKey, pIcon)) continue;
    m_mapIcons.RemoveKey(nKey);
    pIcon->m_pIconSet = NULL;
    pIcon->InternalRelease();
  }
}

// =======================================================================================
// CXTPImageManager

CXTPImageManager::CXTPImageManager()
    : m_clrMask((COLORREF)-1),
      m_mapImages(10),
      m_nCustomID(XTP_IMAGEMANAGER_CUSTOM_ID_BASE),
      m_hMsImgDll(NULL),
      m_pfnAlphaBlend(NULL),
      m_bDrawMirrored(FALSE) {
  m_mapImages.SetHashKeyShift(kHashShift);
  m_hMsImgDll = ::LoadLibraryW(L"msimg32.dll");
  if (m_hMsImgDll)
    m_pfnAlphaBlend = reinterpret_cast<PFNALPHABLEND>(::GetProcAddress(m_hMsImgDll, "AlphaBlend"));
}

CXTPImageManager::~CXTPImageManager() {
  RemoveAll();
  if (m_hMsImgDll) ::FreeLibrary(m_hMsImgDll);
}

COLORREF CXTPImageManager::SetMaskColor(COLORREF clrMask) {
  COLORREF clrOld = m_clrMask;
  m_clrMask = clrMask;
  return clrOld;
}

CXTPImageManagerIconSet* CXTPImageManager::GetIconSet(UINT nCommand) const {
  CXTPImageManagerIconSet* pIconSet = NULL;
  return m_mapImages.Lookup(nCommand, pIconSet) ? pIconSet : NULL;
}

CXTPImageManagerIconSet* CXTPImageManager::SetIconSet(UINT nCommand) {
  CXTPImageManagerIconSet* pIconSet = GetIconSet(nCommand);
  if (pIconSet == NULL) {
    pIconSet = new CXTPImageManagerIconSet(nCommand, this);
    m_mapImages[nCommand] = pIconSet;
  }
  return pIconSet;
}

CXTPImageManagerIcon* CXTPImageManager::GetImage(UINT nCommand, int nWidth) const {
  CXTPImageManagerIconSet* pIconSet = GetIconSet(nCommand);
  return pIconSet ? pIconSet->GetIcon(static_cast<UINT>(nWidth), TRUE) : NULL;
}

void CXTPImageManager::RefreshAll() {
  for (POSITION pos = m_mapImages.GetStartPosition(); pos != NULL;) {
    UINT nKey;
    CXTPImageManagerIconSet* pIconSet;
    m_mapImages.GetNextAssoc(pos, nKey, pIconSet);
    pIconSet->RefreshAll();
  }
}

void CXTPImageManager::RemoveAll() {
  for (POSITION pos = m_mapImages.GetStartPosition(); pos != NULL;) {
    UINT nKey;
    CXTPImageManagerIconSet* pIconSet;
    m_mapImages.GetNextAssoc(pos, nKey, pIconSet);
    pIconSet->InternalRelease();
  }
  m_mapImages.RemoveAll();
}

void CXTPImageManager::RemoveIcon(UINT nIDCommand) {
  CXTPImageManagerIconSet* pIconSet = GetIconSet(nIDCommand);
  if (pIconSet == NULL) return;
  m_mapImages.RemoveKey(nIDCommand);
  pIconSet->InternalRelease();
}

BOOL CXTPImageManager::SetIcon(const CXTPImageManagerIconHandle& hIcon, UINT nIDCommand, CSize szIcon,
                               int imageState) {
  if (hIcon.IsEmpty()) return FALSE;
  if (szIcon.cx == 0 && szIcon.cy == 0) szIcon = hIcon.GetExtent();
  // No size, or a width that could not be drawn: nothing is stored.
  if (szIcon.cx <= 0) return FALSE;

  CXTPImageManagerIconSet* pIconSet = GetIconSet(nIDCommand);
  if (pIconSet) {
    switch (imageState) {
      case XTP_IMAGESTATE_NORMAL:
        return pIconSet->SetIcon(hIcon, szIcon.cx);
      case XTP_IMAGESTATE_DISABLED:
        pIconSet->SetDisabledIcon(hIcon, szIcon.cx);
        break;
      case XTP_IMAGESTATE_HOT:
        pIconSet->SetHotIcon(hIcon, szIcon.cx);
        break;
      case XTP_IMAGESTATE_CHECKED:
        pIconSet->SetCheckedIcon(hIcon, szIcon.cx);
        break;
      default:
        break;
    }
    return TRUE;
  }
  if (imageState != XTP_IMAGESTATE_NORMAL) return FALSE;
  pIconSet = new CXTPImageManagerIconSet(nIDCommand, this);
  if (!pIconSet->SetIcon(hIcon, szIcon.cx)) {
    pIconSet->InternalRelease();
    return FALSE;
  }
  m_mapImages[nIDCommand] = pIconSet;
  return TRUE;
}

BOOL CXTPImageManager::SetIcon(UINT nIDResourceIcon, UINT nIDCommand, CSize szIcon, int imageState) {
  return SetIconFromResource(nIDResourceIcon, nIDCommand, szIcon, imageState);
}

BOOL CXTPImageManager::SetIconFromResource(UINT nIDResourceIcon, UINT nIDCommand, CSize szIcon,
                                           int imageState) {
  HINSTANCE hInst = AfxGetResourceHandle();
  HRSRC hGroup = ::FindResourceW(hInst, MAKEINTRESOURCEW(nIDResourceIcon), RT_GROUP_ICON);
  if (hGroup) {
    HGLOBAL hGlobal = ::LoadResource(hInst, hGroup);
    const BYTE* p = hGlobal ? static_cast<const BYTE*>(::LockResource(hGlobal)) : NULL;
    std::vector<xtpimg::GroupIconEntry> entries;
    if (p == NULL || !xtpimg::ParseGroupIcon(p, ::SizeofResource(hInst, hGroup), &entries)) return FALSE;
    const BOOL bAll = szIcon.cx == 0 && szIcon.cy == 0;
    for (const xtpimg::GroupIconEntry& e : entries) {
      if (!bAll && (e.width != szIcon.cx || e.height != szIcon.cy)) continue;
      CXTPImageManagerIconHandle hIcon;
      if (!XTPLoadAlphaIcon(e.id, e.width, e.height, FALSE, hIcon)) return FALSE;
      if (!SetIcon(hIcon, nIDCommand, CSize(e.width, e.height), imageState)) return FALSE;
    }
    return TRUE;
  }
  CXTPImageManagerIconHandle hIcon;
  if (!XTPLoadAlphaIcon(nIDResourceIcon, szIcon.cx, szIcon.cy, FALSE, hIcon)) return FALSE;
  return SetIcon(hIcon, nIDCommand, szIcon, imageState);
}

BOOL CXTPImageManager::SetIcons(UINT nIDResourceToolBar, int imageState) {
  return SetIcons(nIDResourceToolBar, nIDResourceToolBar, imageState);
}

BOOL CXTPImageManager::SetIcons(UINT nIDResourceToolBar, UINT nIDResourceBitmap, int imageState) {
  DWORD cb = 0;
  const CXTPToolBarResourceData* pData = CXTPToolBarResourceData::Load(nIDResourceToolBar, NULL, &cb);
  if (pData == NULL) return FALSE;
  std::vector<UINT> ids;
  const WORD* pItems = pData->GetItems();
  for (UINT i = 0; i < pData->wItemCount; i++)
    if (pItems[i] != 0) ids.push_back(pItems[i]);
  return SetIcons(nIDResourceBitmap, ids.empty() ? NULL : ids.data(), static_cast<int>(ids.size()),
                  CSize(pData->wWidth, pData->wHeight), imageState);
}

BOOL CXTPImageManager::SetIcons(UINT nIDResourceBitmap, const UINT* pCommands, int nCount, CSize szIcon,
                                int imageState) {
  if (nCount < 0) return FALSE;
  const BOOL bAlpha = XTPIsAlphaBitmapResource(nIDResourceBitmap);
  HBITMAP hBitmap = bAlpha ? XTPLoadAlphaBitmap(nIDResourceBitmap)
                           : ::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResourceBitmap));
  if (hBitmap == NULL) return FALSE;
  CBitmap bmp;
  bmp.Attach(hBitmap);
  BITMAP bm{};
  if (::GetObjectW(hBitmap, sizeof(bm), &bm) != sizeof(bm)) return FALSE;
  if (szIcon.cx == 0 && szIcon.cy == 0) {
    // Neither a count nor a size: the images cannot be told apart.
    if (nCount <= 0) return FALSE;
    szIcon = CSize(bm.bmWidth / nCount, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight);
  }
  if (nCount == 0) {
    if (szIcon.cx <= 0) return FALSE;
    nCount = bm.bmWidth / szIcon.cx;
  }
  return SetIcons(bmp, pCommands, nCount, szIcon, imageState, bAlpha);
}

namespace {
// A bitmap's pixels as 32-bit BGRA, top row first; FALSE when they cannot be read.
BOOL ReadPixels32(HBITMAP hBitmap, const BITMAP& bm, std::vector<BYTE>& pixels) {
  const int nRows = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
  if (bm.bmWidth <= 0 || nRows <= 0) return FALSE;
  try {
    pixels.resize(static_cast<size_t>(bm.bmWidth) * nRows * 4);
  } catch (const std::bad_alloc&) {
    return FALSE;
  }
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = bm.bmWidth;
  bmi.bmiHeader.biHeight = -nRows;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  HDC hScreen = ::GetDC(NULL);
  const int nGot = ::GetDIBits(hScreen, hBitmap, 0, nRows, pixels.data(), &bmi, DIB_RGB_COLORS);
  ::ReleaseDC(NULL, hScreen);
  return nGot == nRows;
}

// Whether a 32-bit bitmap carries alpha: some pixel's alpha byte is not 0. A bitmap made for
// a 32-bit screen (loaded from a 24-bit resource, or drawn with GDI) has 32 bits per pixel
// and every alpha byte 0; taken as an alpha image it would be wholly clear.
BOOL HasAlphaBytes(HBITMAP hBitmap, const BITMAP& bm) {
  std::vector<BYTE> pixels;
  if (!ReadPixels32(hBitmap, bm, pixels)) return FALSE;
  for (size_t i = 3; i < pixels.size(); i += 4)
    if (pixels[i] != 0) return TRUE;
  return FALSE;
}
}  // namespace

BOOL CXTPImageManager::SetIcons(CBitmap* pBmpIcons, const UINT* pCommands, int nCount, CSize szIcon,
                                int imageState) {
  if (pBmpIcons == NULL || pBmpIcons->GetSafeHandle() == NULL) return FALSE;
  // Only a 32-bit DIB section carries alpha. A screen-compatible bitmap is as deep as the
  // screen (32 bits on a true-colour one) whatever it was loaded from, with its alpha bytes
  // all zero: taken as alpha, every image would be fully transparent.
  DIBSECTION ds{};
  const BOOL bSection = ::GetObjectW(pBmpIcons->GetSafeHandle(), sizeof(ds), &ds) == sizeof(ds);
  BITMAP bm{};
  if (::GetObjectW(pBmpIcons->GetSafeHandle(), sizeof(bm), &bm) != sizeof(bm)) return FALSE;
  // A 32-bit section whose alpha bytes are all 0 (a 24-bit picture widened) is masked too.
  const BOOL bAlpha = bSection && ds.dsBm.bmBitsPixel == 32 &&
                      HasAlphaBytes(static_cast<HBITMAP>(pBmpIcons->GetSafeHandle()), bm);
  return SetIcons(*pBmpIcons, pCommands, nCount, szIcon, imageState, bAlpha);
}

BOOL CXTPImageManager::SetIcons(CBitmap& bmpIcons, const UINT* pCommands, int nCount, CSize szIcon,
                                int imageState, BOOL bAlpha) {
  HBITMAP hBitmap = static_cast<HBITMAP>(bmpIcons.GetSafeHandle());
  if (hBitmap == NULL || szIcon.cx <= 0 || szIcon.cy <= 0 || nCount < 0) return FALSE;
  if (bAlpha) return SetAlphaIcons(hBitmap, pCommands, nCount, szIcon, imageState);

  COLORREF clrMask = m_clrMask;
  if (clrMask == (COLORREF)-1) {
    HDC hMem = ::CreateCompatibleDC(NULL);
    HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
    clrMask = ::GetPixel(hMem, 0, 0);
    ::SelectObject(hMem, hOld);
    ::DeleteDC(hMem);
  }
  CImageList imageList;
  if (!imageList.Create(szIcon.cx, szIcon.cy, ILC_COLOR24 | ILC_MASK, 0, 1)) return FALSE;
  if (ImageList_AddMasked(imageList.m_hImageList, hBitmap, clrMask) < 0) return FALSE;
  return SetIcons(imageList, pCommands, nCount, szIcon, imageState);
}

BOOL CXTPImageManager::SetAlphaIcons(HBITMAP hBitmap, const UINT* pCommands, int nCount, CSize szIcon,
                                     int imageState) {
  BITMAP bm{};
  if (::GetObjectW(hBitmap, sizeof(bm), &bm) != sizeof(bm)) return FALSE;
  if (bm.bmWidth <= 0 || bm.bmWidth % szIcon.cx != 0) return FALSE;
  const int nRows = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
  const int nParts = bm.bmWidth / szIcon.cx;
  if (xtpimg::AlphaPixelBytes(szIcon.cx, szIcon.cy) == 0) return FALSE;

  // The strip's pixels, top row first.
  std::vector<BYTE> strip;
  if (!ReadPixels32(hBitmap, bm, strip)) return FALSE;

  // Each part is szIcon tall; rows the strip does not have stay transparent.
  const int nCopyRows = std::min<int>(nRows, szIcon.cy);
  std::vector<HBITMAP> parts;
  for (int i = 0; i < nParts; i++) {
    LPBYTE pBits = NULL;
    HBITMAP hPart = XTPCreateAlphaDIB(szIcon.cx, szIcon.cy, &pBits);
    if (hPart == NULL) break;
    memset(pBits, 0, static_cast<size_t>(szIcon.cx) * szIcon.cy * 4);
    for (int y = 0; y < nCopyRows; y++)
      memcpy(pBits + static_cast<size_t>(y) * szIcon.cx * 4,
             strip.data() + (static_cast<size_t>(y) * bm.bmWidth + static_cast<size_t>(i) * szIcon.cx) * 4,
             static_cast<size_t>(szIcon.cx) * 4);
    parts.push_back(hPart);
  }
  if (static_cast<int>(parts.size()) != nParts) {
    for (HBITMAP h : parts) ::DeleteObject(h);
    return FALSE;
  }

  size_t nNext = 0;
  for (int i = 0; i < nCount; i++) {
    if (pCommands && pCommands[i] == 0 && nCount != nParts) continue;
    if (nNext >= parts.size()) break;  // the parts ran out: the remaining ids get nothing
    CXTPImageManagerIconHandle hIcon(parts[nNext++]);
    SetIcon(hIcon, pCommands ? pCommands[i] : static_cast<UINT>(i), szIcon, imageState);
  }
  for (HBITMAP h : parts) ::DeleteObject(h);
  return TRUE;
}

BOOL CXTPImageManager::SetIcons(CImageList& imlIcons, const UINT* pCommands, int nCount, CSize szIcon,
                                int imageState) {
  HIMAGELIST hList = imlIcons.GetSafeHandle();
  if (hList == NULL || nCount < 0) return FALSE;
  const int nImages = ImageList_GetImageCount(hList);
  if (pCommands == NULL && nCount == 0) nCount = nImages;
  if (szIcon.cx == 0 && szIcon.cy == 0) {
    IMAGEINFO info{};
    if (!ImageList_GetImageInfo(hList, 0, &info)) return FALSE;
    szIcon = CSize(info.rcImage.right - info.rcImage.left, info.rcImage.bottom - info.rcImage.top);
  }
  int nNext = 0;
  for (int i = 0; i < nCount; i++) {
    if (pCommands && pCommands[i] == 0 && nCount != nImages) continue;
    HICON hIcon = ImageList_GetIcon(hList, nNext++, 0);
    if (hIcon == NULL) return FALSE;
    SetIcon(CXTPImageManagerIconHandle(hIcon), pCommands ? pCommands[i] : static_cast<UINT>(i), szIcon,
            imageState);
    ::DestroyIcon(hIcon);
  }
  return TRUE;
}

UINT CXTPImageManager::AddCustomIcon(const CXTPImageManagerIconHandle& hIcon) {
  const CSize szIcon = hIcon.GetExtent();
  if (hIcon.IsEmpty() || szIcon.cx <= 0) return 0;
  CXTPImageManagerIconSet* pIconSet = new CXTPImageManagerIconSet(m_nCustomID + 1, this);
  if (!pIconSet->SetIcon(hIcon, szIcon.cx)) {
    pIconSet->InternalRelease();
    return 0;
  }
  m_nCustomID++;
  m_mapImages[m_nCustomID] = pIconSet;
  return m_nCustomID;
}

// ---------------------------------------------------------------------------------------
// Clipboard

void CXTPImageManager::CopyImage(UINT nCommand) {
  CMemFile file(1024);
  {
    CArchive ar(&file, CArchive::store, 4096);
    CXTPPropExchangeArchive px(ar);
    DoPropExchange(nCommand, &px);
    ar.Close();
  }
  const ULONGLONG nLength = file.GetLength();
  HGLOBAL hGlobal = ::GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(nLength));
  if (hGlobal == NULL) return;
  void* p = ::GlobalLock(hGlobal);
  if (p == NULL) {
    ::GlobalFree(hGlobal);
    return;
  }
  file.SeekToBegin();
  file.Read(p, static_cast<UINT>(nLength));
  ::GlobalUnlock(hGlobal);
  if (::SetClipboardData(m_nImageClipFormat, hGlobal) == NULL) ::GlobalFree(hGlobal);
}

UINT CXTPImageManager::PasteCustomImage(COleDataObject* pObject) {
  if (pObject == NULL) return 0;
  HGLOBAL hGlobal = pObject->GetGlobalData(m_nImageClipFormat);
  if (hGlobal == NULL) return 0;
  const UINT nID = PasteCustomImage(hGlobal);
  ::GlobalFree(hGlobal);
  return nID;
}

UINT CXTPImageManager::PasteCustomImage(HGLOBAL hGlobal) {
  if (hGlobal == NULL) return 0;
  const SIZE_T nSize = ::GlobalSize(hGlobal);
  BYTE* p = static_cast<BYTE*>(::GlobalLock(hGlobal));
  if (p == NULL) return 0;
  const UINT nOldCustomID = m_nCustomID;
  const UINT nID = m_nCustomID + 1;
  UINT nResult = 0;
  CMemFile file(p, static_cast<UINT>(std::min<SIZE_T>(nSize, 0xFFFFFFFFu)), 0);
  try {
    CArchive ar(&file, CArchive::load, 4096);
    CXTPPropExchangeArchive px(ar);
    m_nCustomID = nID;
    DoPropExchange(nID, &px);
    // A copied image holds at least one picture; a stream whose counts were cut back to
    // what it really holds and came out empty was damaged.
    CXTPImageManagerIconSet* pSet = GetIconSet(nID);
    nResult = (pSet != NULL && pSet->m_mapIcons.GetCount() > 0) ? nID : 0;
  } catch (CException* e) {
    // Damaged data of any kind (archive, OLE, memory): nothing is pasted.
    e->Delete();
    nResult = 0;
  }
  if (nResult == 0) {
    RemoveIcon(nID);
    m_nCustomID = nOldCustomID;
  }
  file.Detach();
  ::GlobalUnlock(hGlobal);
  return nResult;
}

// ---------------------------------------------------------------------------------------
// Persistence

void CXTPImageManager::Serialize(CArchive& ar) {
  CXTPPropExchangeArchive px(ar);
  DoPropExchange(&px);
}

void CXTPImageManager::DoPropExchange(CXTPPropExchange* pPX) {
  if (pPX == NULL) return;
  CXTPPropExchangeEnumeratorPtr pEnumerator(pPX->GetEnumerator(L"IconSet"));
  if (pEnumerator == NULL) return;
  if (pPX->IsLoading()) {
    RemoveAll();
    POSITION pos = StartEnumeration(pPX, pEnumerator, 0);
    while (pos) {
      CXTPPropExchangeSection secIconSet(pEnumerator->GetNext(pos));
      if (secIconSet.GetSection() == NULL) break;
      int nId = 0;
      Require(secIconSet, PX_Int(secIconSet, L"Id", nId, 0));
      DoPropExchange(static_cast<UINT>(nId), secIconSet);
    }
    return;
  }
  POSITION pos = StartEnumeration(pPX, pEnumerator, static_cast<DWORD>(m_mapImages.GetCount()));
  for (POSITION mapPos = m_mapImages.GetStartPosition(); mapPos != NULL && pos != NULL;) {
    UINT nKey;
    CXTPImageManagerIconSet* pIconSet;
    m_mapImages.GetNextAssoc(mapPos, nKey, pIconSet);
    CXTPPropExchangeSection secIconSet(pEnumerator->GetNext(pos));
    if (secIconSet.GetSection() == NULL) break;
    int nId = static_cast<int>(nKey);
    PX_Int(secIconSet, L"Id", nId, 0);
    DoPropExchange(nKey, secIconSet);
  }
}

namespace {

// The icon's Serialize on the nested archive of its "Data" value. FALSE when there is
// nothing stored; exceptions travel on (after the archive is handed back), so that a
// damaged picture stops the load instead of leaving a half-read stream behind.
BOOL ExchangeIconData(CXTPPropExchange* pPX, CXTPImageManagerIcon* pIcon) {
  CArchive* pArchive = pPX->GetArchive(L"Data");
  if (pArchive == NULL) return FALSE;
  try {
    pIcon->Serialize(*pArchive);
  } catch (...) {
    pPX->ReleaseArchive(L"Data", pArchive);
    throw;
  }
  pPX->ReleaseArchive(L"Data", pArchive);
  return TRUE;
}

}  // namespace

void CXTPImageManager::DoPropExchange(UINT nCommand, CXTPPropExchange* pPX) {
  if (pPX == NULL) return;
  if (m_nCustomID < nCommand) m_nCustomID = nCommand;

  CString strCheckSum = kCheckSum;
  Require(pPX, PX_String(pPX, L"CheckSum", strCheckSum, kCheckSum));
  if (pPX->IsLoading() && strCheckSum != kCheckSum)
    AfxThrowArchiveException(CArchiveException::badClass);

  CXTPPropExchangeEnumeratorPtr pEnumerator(pPX->GetEnumerator(L"Icon"));
  if (pEnumerator == NULL) return;

  if (pPX->IsLoading()) {
    // Read into a new set; the id's set changes only when all of it has been read.
    CXTPImageManagerIconSet* pNewSet = new CXTPImageManagerIconSet(nCommand, this);
    try {
      POSITION pos = StartEnumeration(pPX, pEnumerator, 0);
      while (pos) {
        CXTPPropExchangeSection secIcon(pEnumerator->GetNext(pos));
        if (secIcon.GetSection() == NULL) break;
        int nWidth = 16;
        Require(secIcon, PX_Int(secIcon, L"Width", nWidth, 16));
        // A width of 0 or less could never be drawn: the data is damaged.
        if (nWidth <= 0 || nWidth > xtpimg::kMaxSide)
          AfxThrowArchiveException(CArchiveException::genericException);
        CXTPImageManagerIcon* pIcon = new CXTPImageManagerIcon(nCommand, nWidth, 15, pNewSet);
        try {
          if (!ExchangeIconData(secIcon, pIcon)) {
            pIcon->InternalRelease();
            // In a stream the pictures follow the width; a stream that lacks them is cut
            // short, and nothing after it can be read. A registry key may simply lack one.
            if (secIcon.GetSection()->IsKindOf(RUNTIME_CLASS(CXTPPropExchangeArchive)))
              AfxThrowArchiveException(CArchiveException::endOfFile);
            continue;
          }
        } catch (...) {
          pIcon->InternalRelease();
          throw;
        }
        CXTPImageManagerIcon* pOld = NULL;
        if (pNewSet->m_mapIcons.Lookup(static_cast<UINT>(nWidth), pOld)) pOld->InternalRelease();
        pNewSet->m_mapIcons[static_cast<UINT>(nWidth)] = pIcon;
      }
    } catch (...) {
      pNewSet->InternalRelease();
      throw;
    }
    // Keep the id's set object (others may hold it) and give it the icons read.
    CXTPImageManagerIconSet* pIconSet = SetIconSet(nCommand);
    pIconSet->RemoveAll();
    for (POSITION pos = pNewSet->m_mapIcons.GetStartPosition(); pos != NULL;) {
      UINT nKey;
      CXTPImageManagerIcon* pIcon;
      pNewSet->m_mapIcons.GetNextAssoc(pos, nKey, pIcon);
      pIcon->m_pIconSet = pIconSet;
      pIconSet->m_mapIcons[nKey] = pIcon;
    }
    pNewSet->m_mapIcons.RemoveAll();
    pNewSet->InternalRelease();
    return;
  }

  CXTPImageManagerIconSet* pIconSet = GetIconSet(nCommand);
  DWORD nCount = 0;
  if (pIconSet) {
    for (POSITION pos = pIconSet->m_mapIcons.GetStartPosition(); pos != NULL;) {
      UINT nKey;
      CXTPImageManagerIcon* pIcon;
      pIconSet->m_mapIcons.GetNextAssoc(pos, nKey, pIcon);
      if (!pIcon->IsScaled()) nCount++;
    }
  }
  POSITION pos = StartEnumeration(pPX, pEnumerator, nCount);
  if (pIconSet == NULL) return;
  for (POSITION mapPos = pIconSet->m_mapIcons.GetStartPosition(); mapPos != NULL && pos != NULL;) {
    UINT nKey;
    CXTPImageManagerIcon* pIcon;
    pIconSet->m_mapIcons.GetNextAssoc(mapPos, nKey, pIcon);
    if (pIcon->IsScaled()) continue;
    CXTPPropExchangeSection secIcon(pEnumerator->GetNext(pos));
    if (secIcon.GetSection() == NULL) break;
    int nWidth = static_cast<int>(nKey);
    PX_Int(secIcon, L"Width", nWidth, 16);
    ExchangeIconData(secIcon, pIcon);
  }
}
