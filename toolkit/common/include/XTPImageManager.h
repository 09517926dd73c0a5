// The image manager: pictures of commands at several sizes and in every state the
// toolkit draws them (normal, hot, checked, disabled, and the faded, shadow and grey
// forms made from the normal picture on demand).
//
// A picture (CXTPImageManagerIconHandle) is a Windows icon or a 32-bit DIB section with
// per-pixel alpha. CXTPImageManagerIcon holds one command's pictures at one width;
// CXTPImageManagerIconSet holds one command's icons by width; CXTPImageManager maps
// command ids to icon sets, loads them from toolbar, bitmap and icon resources, copies
// them to and from the clipboard and saves them through the settings exchange.
#pragma once

#include <framework.h>

#include "XTPImageReaders.h"

class CXTPImageManager;
class CXTPImageManagerIconSet;
class CXTPPropExchange;

// Image states of the setters.
#define XTP_IMAGESTATE_NORMAL 0
#define XTP_IMAGESTATE_DISABLED 1
#define XTP_IMAGESTATE_HOT 2
#define XTP_IMAGESTATE_CHECKED 3

// Resource type of toolbar resources.
#ifndef RT_TOOLBAR
#define RT_TOOLBAR MAKEINTRESOURCE(241)
#endif

// First id after which custom ids are handed out (the first custom id is one more).
#define XTP_IMAGEMANAGER_CUSTOM_ID_BASE 68266

// ---------------------------------------------------------------------------------------
// One picture: an icon, an alpha bitmap, or nothing. When the handle owns its picture,
// clearing it destroys the picture. A premultiplied copy of an alpha bitmap is cached for
// drawing and always goes with the handle.
class CXTPImageManagerIconHandle {
 public:
  CXTPImageManagerIconHandle();                  // empty, owning
  CXTPImageManagerIconHandle(HICON hIcon);       // wraps, does not own
  CXTPImageManagerIconHandle(HBITMAP hBitmap);   // wraps, does not own
  // Shares the other's picture without owning it and without its cache.
  CXTPImageManagerIconHandle(const CXTPImageManagerIconHandle& hHandle);
  ~CXTPImageManagerIconHandle();

  // Clears, then owns a new 32-bit DIB-section copy of the bitmap (empty when the bitmap
  // is not 32-bit).
  void CopyHandle(HBITMAP hBitmap);
  // Clears, then owns a copy of the other's picture (CopyIcon / 32-bit DIB copy).
  void CopyHandle(const CXTPImageManagerIconHandle& hHandle);
  // Deep copy, as CopyHandle.
  const CXTPImageManagerIconHandle& operator=(const CXTPImageManagerIconHandle& hHandle);
  // Clears, then owns the given picture.
  const CXTPImageManagerIconHandle& operator=(HICON hIcon);
  const CXTPImageManagerIconHandle& operator=(HBITMAP hBitmap);

  // Destroys an owned picture, always deletes the cache; the handle becomes empty.
  void Clear();
  // Exchanges pictures, caches and ownership with another handle.
  void Swap(CXTPImageManagerIconHandle& hOther);

  BOOL IsEmpty() const { return m_hIcon == NULL && m_hBitmap == NULL; }
  BOOL IsAlpha() const { return m_hBitmap != NULL; }
  HICON GetIcon() const { return m_hIcon; }
  HBITMAP GetBitmap() const { return m_hBitmap; }
  BOOL IsOwner() const { return m_bOwns; }
  // Icon: its extent; bitmap: width and height; empty: 0,0.
  CSize GetExtent() const;

  // The premultiplied copy of an alpha picture, made on first use; null for icons and
  // when it cannot be made.
  HBITMAP PreMultiply();
  HBITMAP GetPreMultipliedBitmap() const { return m_hBitmapPreMultiplied; }

 private:
  HICON m_hIcon;
  HBITMAP m_hBitmap;
  HBITMAP m_hBitmapPreMultiplied;
  BOOL m_bOwns;
};

// ---------------------------------------------------------------------------------------
// One command's pictures at one width. Reference counted: the icon set holds one
// reference; the last InternalRelease deletes it.
class CXTPImageManagerIcon : public CCmdTarget {
  DECLARE_DYNAMIC(CXTPImageManagerIcon)

 public:
  CXTPImageManagerIcon(UINT nID, int nWidth, int nHeight, CXTPImageManagerIconSet* pIconSet = NULL);
  ~CXTPImageManagerIcon() override;

  UINT GetID() const { return m_nID; }
  int GetWidth() const { return m_nWidth; }
  int GetHeight() const { return m_nHeight; }
  CXTPImageManagerIconSet* GetIconSet() const { return m_pIconSet; }
  // The owning set's manager, else the global one.
  CXTPImageManager* GetImageManager() const;
  // Set on icons an icon set made by scaling another of its icons.
  BOOL IsScaled() const { return m_bScaled; }

  // Picture slots; none of them is ever null.
  CXTPImageManagerIconHandle& GetIcon();
  CXTPImageManagerIconHandle& GetFadedIcon();   // generated first when empty
  CXTPImageManagerIconHandle& GetShadowIcon();  // generated first when empty
  CXTPImageManagerIconHandle& GetHotIcon();     // hot, else normal
  CXTPImageManagerIconHandle& GetCheckedIcon(); // checked, else GetHotIcon
  // Caller's disabled picture, else the generated one (made with the default colours when
  // empty and bCreateIfNotExists is TRUE).
  CXTPImageManagerIconHandle& GetDisabledIcon(BOOL bCreateIfNotExists = TRUE);
  BOOL HasDisabledIcon() const;
  BOOL IsAlpha() const;
  CSize GetExtent() const;

  // Stores a copy as the normal picture: clears every slot, takes the picture's extent as
  // width and height and makes the owning set drop its scaled icons. FALSE (nothing
  // changes) for an empty picture or one without a positive width.
  BOOL SetIcon(const CXTPImageManagerIconHandle& hIcon);
  // Refresh, then store a copy in that slot.
  void SetHotIcon(const CXTPImageManagerIconHandle& hIcon);
  void SetCheckedIcon(const CXTPImageManagerIconHandle& hIcon);
  void SetDisabledIcon(const CXTPImageManagerIconHandle& hIcon);
  // Drops the generated pictures (faded, shadow, generated disabled).
  void Refresh();

  // The normal picture at the icon's own size.
  void Draw(CDC* pDC, CPoint pt);
  // cx 0: the icon's width; cy 0: cx * height / width. Nothing when the width to use is 0
  // or less.
  void Draw(CDC* pDC, CPoint pt, CXTPImageManagerIconHandle& hIcon, int cx = 0, int cy = 0);
  // One-colour silhouette of an icon picture (alpha pictures are not drawn).
  void DrawMono(CDC* pDC, CPoint pt, CXTPImageManagerIconHandle& hIcon, COLORREF clrBrush);
  // Makes the generated disabled picture unless one exists; -1 for either colour gives the
  // grey form.
  void CreateDisabledIcon(COLORREF clrDisabledLight = (COLORREF)-1,
                          COLORREF clrDisabledDark = (COLORREF)-1);
  // A new icon (same id and set) scaled to the width; null unless the normal picture is an
  // icon. The caller owns the one reference.
  CXTPImageManagerIcon* Scale(int nWidth);

  // The stored form (height, version, pictures). Loading checks every count against the
  // picture it describes and the data there is, and changes nothing unless all of it reads.
  void Serialize(CArchive& ar) override;

  // Draws a premultiplied 32-bit bitmap with per-pixel alpha (nothing without AlphaBlend).
  static void AFX_CDECL DrawAlphaBitmap(CDC* pDC, HBITMAP hBitmap, int x, int y, int cx, int cy,
                                       int srcX = 0, int srcY = 0, int srcCx = 0, int srcCy = 0);

  // Slots in their stored order.
  enum Slot {
    slotNormal = 0,
    slotFaded,
    slotShadow,
    slotHot,
    slotChecked,
    slotDisabled,
    slotDisabledAuto,
    slotCount
  };

 private:
  void CreateFadedIcon();
  void CreateShadowIcon();
  void SerializeIcon(CXTPImageManagerIconHandle& hIcon, CArchive& ar);

  UINT m_nID;
  int m_nWidth;
  int m_nHeight;
  BOOL m_bScaled;
  CXTPImageManagerIconSet* m_pIconSet;
  CXTPImageManagerIconHandle m_hSlots[slotCount];

  friend class CXTPImageManagerIconSet;
  friend class CXTPImageManager;
};

// ---------------------------------------------------------------------------------------
// One command's icons by width. Reference counted; holds one reference on each icon.
class CXTPImageManagerIconSet : public CCmdTarget {
  DECLARE_DYNAMIC(CXTPImageManagerIconSet)

 public:
  typedef CMap<UINT, UINT, CXTPImageManagerIcon*, CXTPImageManagerIcon*> CIconSetMap;

  CXTPImageManagerIconSet(UINT nID, CXTPImageManager* pImageManager);
  ~CXTPImageManagerIconSet() override;

  UINT GetID() const { return m_nID; }
  CXTPImageManager* GetImageManager() const { return m_pImageManager; }
  CIconSetMap* GetIcons() { return &m_mapIcons; }

  // The icon stored under the width; else, with bScaled, the nearest one (scaled to the
  // width when it is an icon picture); null when there is none.
  CXTPImageManagerIcon* GetIcon(UINT nWidth, BOOL bScaled = TRUE);

  // The icon for the width (made when missing), then its setter of that name.
  BOOL SetIcon(const CXTPImageManagerIconHandle& hIcon, UINT nWidth);
  void SetDisabledIcon(const CXTPImageManagerIconHandle& hIcon, UINT nWidth);
  void SetHotIcon(const CXTPImageManagerIconHandle& hIcon, UINT nWidth);
  void SetCheckedIcon(const CXTPImageManagerIconHandle& hIcon, UINT nWidth);

  void RemoveAll();
  // Scaled icons go; every other icon drops its generated pictures.
  void RefreshAll();

 protected:
  // The icon stored under the width, else a new one (height 15) stored under it.
  CXTPImageManagerIcon* CreateIcon(UINT nWidth);

 private:
  UINT m_nID;
  CXTPImageManager* m_pImageManager;
  CIconSetMap m_mapIcons;

  friend class CXTPImageManager;
  friend class CXTPImageManagerIcon;
};

// ---------------------------------------------------------------------------------------
// Command ids to icon sets. Reference counted; holds one reference on each set.
class CXTPImageManager : public CCmdTarget {
  DECLARE_DYNAMIC(CXTPImageManager)

 public:
  typedef CMap<UINT, UINT, CXTPImageManagerIconSet*, CXTPImageManagerIconSet*> CIconSetsMap;

  CXTPImageManager();
  ~CXTPImageManager() override;

  // One picture. A size of 0,0 takes the picture's extent.
  BOOL SetIcon(const CXTPImageManagerIconHandle& hIcon, UINT nIDCommand, CSize szIcon = CSize(0, 0),
               int imageState = XTP_IMAGESTATE_NORMAL);
  // An icon resource (every image of a group whose size matches; all of them for 0,0).
  BOOL SetIcon(UINT nIDResourceIcon, UINT nIDCommand, CSize szIcon = CSize(0, 0),
               int imageState = XTP_IMAGESTATE_NORMAL);

  // A toolbar resource (type 241) and its bitmap.
  BOOL SetIcons(UINT nIDResourceToolBar, int imageState = XTP_IMAGESTATE_NORMAL);
  BOOL SetIcons(UINT nIDResourceToolBar, UINT nIDResourceBitmap, int imageState = XTP_IMAGESTATE_NORMAL);
  // A bitmap resource cut into images of the size (0,0: bitmap height, width / count;
  // count 0: bitmap width / size.cx).
  BOOL SetIcons(UINT nIDResourceBitmap, const UINT* pCommands, int nCount, CSize szIcon,
                int imageState = XTP_IMAGESTATE_NORMAL);
  // A bitmap cut into images of the size; bAlpha: a 32-bit bitmap cut with its alpha.
  BOOL SetIcons(CBitmap& bmpIcons, const UINT* pCommands, int nCount, CSize szIcon,
                int imageState, BOOL bAlpha);
  // The same, an alpha image when the bitmap has 32 bits per pixel and some alpha byte is
  // not 0 (a screen-compatible bitmap has 32 bits and no alpha: it is masked instead).
  BOOL SetIcons(CBitmap* pBmpIcons, const UINT* pCommands, int nCount, CSize szIcon,
                int imageState = XTP_IMAGESTATE_NORMAL);
  // An image list; null ids and count 0 take every image under ids 0, 1, ...
  BOOL SetIcons(CImageList& imlIcons, const UINT* pCommands, int nCount, CSize szIcon,
                int imageState = XTP_IMAGESTATE_NORMAL);

  // Stores a copy under a new custom id and returns it.
  UINT AddCustomIcon(const CXTPImageManagerIconHandle& hIcon);

  CXTPImageManagerIcon* GetImage(UINT nCommand, int nWidth = 16) const;
  CXTPImageManagerIconSet* GetIconSet(UINT nCommand) const;
  CIconSetsMap* GetImages() { return &m_mapImages; }
  BOOL IsEmpty() const { return m_mapImages.IsEmpty(); }

  void RefreshAll();
  void RemoveAll();
  void RemoveIcon(UINT nIDCommand);

  // The transparent colour of non-alpha bitmaps; -1: the bitmap's top-left pixel.
  COLORREF SetMaskColor(COLORREF clrMask);
  COLORREF GetMaskColor() const { return m_clrMask; }

  // Icon pictures drawn mirrored (right-to-left layouts).
  void SetDrawMirrored(BOOL bMirrored) { m_bDrawMirrored = bMirrored; }
  BOOL IsDrawMirrored() const { return m_bDrawMirrored; }

  // TRUE when msimg32's AlphaBlend is there, so alpha pictures can be drawn and loaded.
  BOOL IsAlphaIconsSupported() const { return m_pfnAlphaBlend != NULL; }
  typedef BOOL(WINAPI* PFNALPHABLEND)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
  PFNALPHABLEND GetAlphaBlendProc() const { return m_pfnAlphaBlend; }

  // The next custom id is this plus one.
  UINT GetCustomIconCounter() const { return m_nCustomID; }

  // Clipboard: the id's set in "Toolkit ToolBar Image" (the clipboard is open and empty);
  // a pasted set under a new custom id, or 0.
  void CopyImage(UINT nCommand);
  UINT PasteCustomImage(COleDataObject* pObject);
  // The same through a global block holding the format's bytes (0 on any fault).
  UINT PasteCustomImage(HGLOBAL hGlobal);

  // Every set ("IconSet" enumerator), or one set.
  void DoPropExchange(CXTPPropExchange* pPX);
  void DoPropExchange(UINT nCommand, CXTPPropExchange* pPX);
  void Serialize(CArchive& ar) override;

  // Registered clipboard formats: this manager's copy format and the alpha bitmap marker.
  static CLIPFORMAT m_nImageClipFormat;
  static CLIPFORMAT m_nAlphaClipFormat;

 protected:
  CXTPImageManagerIconSet* SetIconSet(UINT nCommand);  // the id's set, made when missing
  BOOL SetIconFromResource(UINT nIDResourceIcon, UINT nIDCommand, CSize szIcon, int imageState);
  BOOL SetAlphaIcons(HBITMAP hBitmap, const UINT* pCommands, int nCount, CSize szIcon, int imageState);

 private:
  COLORREF m_clrMask;
  CIconSetsMap m_mapImages;
  UINT m_nCustomID;
  HMODULE m_hMsImgDll;
  PFNALPHABLEND m_pfnAlphaBlend;
  BOOL m_bDrawMirrored;
};

// The process-wide image manager.
CXTPImageManager* AFX_CDECL XTPImageManager();

// ---------------------------------------------------------------------------------------
// Toolbar resource (type 241): WORD version, width, height, item count, then the ids.
struct CXTPToolBarResourceData {
  WORD wVersion;
  WORD wWidth;
  WORD wHeight;
  WORD wItemCount;
  // The id array behind the 8-byte header (0 = separator).
  WORD* GetItems() { return reinterpret_cast<WORD*>(this + 1); }
  const WORD* GetItems() const { return reinterpret_cast<const WORD*>(this + 1); }

  // The toolbar resource of the id in the module (the resource handle when null); null
  // when it is missing or its header and ids do not fit in the resource.
  static const CXTPToolBarResourceData* AFX_CDECL Load(UINT nIDResource, HINSTANCE hInst = NULL,
                                                       DWORD* pcbSize = NULL);
};

// ---------------------------------------------------------------------------------------
// Free functions of alpha pictures. Every HBITMAP they return is a 32-bit DIB section the
// caller deletes.

// 32-bit RT_BITMAP resource as a DIB section; null when missing, not 32-bit or short.
HBITMAP AFX_CDECL XTPLoadAlphaBitmap(UINT nIDResource);
BOOL AFX_CDECL XTPIsAlphaBitmapResource(UINT nIDResource);
BOOL AFX_CDECL XTPIsAlphaBitmapFile(LPCTSTR pszFileName);
// The first 32-bit image of an .ico file of the width (any width for 0); null when the file
// cannot be read or holds no such image.
HBITMAP AFX_CDECL XTPLoadAlphaIconFile(LPCTSTR pszFileName, int nWidth);
// The same function under the name the command bars use.
HBITMAP AFX_CDECL XTPLoadAlphaBitmapFile(LPCTSTR pszFileName, int nWidth);
// An icon resource at the size: from its group (bGroup) or as a single RT_ICON; 32-bit
// images become alpha bitmaps (only when AlphaBlend is there), others icons.
BOOL AFX_CDECL XTPLoadAlphaIcon(UINT nIDResourceIcon, int nWidth, int nHeight, BOOL bGroup,
                                CXTPImageManagerIconHandle& hHandle);
// A 32-bit bitmap's header (52-byte block from malloc) and pixels (malloc); both freed
// (and set to null) on failure; the caller frees them with free().
BOOL AFX_CDECL XTPGetAlphaBitmapBits(CDC* pDC, HBITMAP hBitmap, PBITMAPINFO& pBitmapInfo,
                                     LPBYTE& pBits, SIZE_T& nSize);
// As above for any bitmap, converting its pixels to 32 bits per pixel.
BOOL AFX_CDECL XTPGetBitmapBits32(CDC* pDC, HBITMAP hBitmap, PBITMAPINFO& pBitmapInfo,
                                  LPBYTE& pBits, SIZE_T& nSize);
HBITMAP AFX_CDECL XTPCopyAlphaBitmap(HBITMAP hBitmap);
HBITMAP AFX_CDECL XTPPreMultiplyAlphaBitmap(HBITMAP hBitmap);
CSize AFX_CDECL XTPGetIconExtent(HICON hIcon);
HICON AFX_CDECL XTPScaleIcon(HICON hIcon, int nWidth, CSize szIcon);
void AFX_CDECL DrawAlphaBitmap(CDC* pDC, HBITMAP hBitmap, int x, int y, int cx, int cy,
                               int srcX = 0, int srcY = 0, int srcCx = 0, int srcCy = 0);
// TRUE when comctl32 reports a major version above 5.
BOOL AFX_CDECL XTPIsComCtl6OrLater();
// A 32-bit top-down DIB section of the size; pBits receives its pixels when not null.
HBITMAP AFX_CDECL XTPCreateAlphaDIB(int cx, int cy, LPBYTE* pBits = NULL);
