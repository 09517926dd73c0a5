// Image lists over the common controls' HIMAGELIST.
#include "gdi_handlemap.h"

using fw_gdi::Space;

IMPLEMENT_DYNCREATE(CImageList, CObject)

CImageList::~CImageList() { DeleteImageList(); }

HIMAGELIST CImageList::GetSafeHandle() const {
  return fw_gdi::IsNullObject(this) ? nullptr : m_hImageList;
}

CImageList* PASCAL CImageList::FromHandle(HIMAGELIST hImageList) {
  return fw_gdi::FromHandle<CImageList, Space::ImageList>(hImageList);
}

BOOL CImageList::Attach(HIMAGELIST hImageList) {
  ASSERT(m_hImageList == nullptr);
  if (hImageList == nullptr) return FALSE;
  m_hImageList = hImageList;
  fw_gdi::RegisterAttached(Space::ImageList, hImageList, this);
  return TRUE;
}

HIMAGELIST CImageList::Detach() {
  HIMAGELIST hImageList = m_hImageList;
  fw_gdi::UnregisterAttached(Space::ImageList, hImageList, this);
  m_hImageList = nullptr;
  return hImageList;
}

BOOL CImageList::DeleteImageList() {
  if (m_hImageList == nullptr) return FALSE;
  return ImageList_Destroy(Detach());
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
  return Attach(ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
}
BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask) {
  return Create(MAKEINTRESOURCEW(nBitmapID), cx, nGrow, crMask);
}
BOOL CImageList::Create(LPCTSTR lpszBitmapID, int cx, int nGrow, COLORREF crMask) {
  return Attach(ImageList_LoadImageW(AfxGetResourceHandle(), lpszBitmapID, cx, nGrow, crMask,
                                     IMAGE_BITMAP, 0));
}
BOOL CImageList::Create(CImageList& imagelist1, int nImage1, CImageList& imagelist2, int nImage2,
                        int dx, int dy) {
  return Attach(ImageList_Merge(imagelist1.m_hImageList, nImage1, imagelist2.m_hImageList, nImage2, dx, dy));
}
BOOL CImageList::Create(CImageList* pImageList) {
  HIMAGELIST hSource = pImageList->GetSafeHandle();
  return hSource && Attach(ImageList_Duplicate(hSource));
}

int CImageList::GetImageCount() const { return m_hImageList ? ImageList_GetImageCount(m_hImageList) : 0; }
BOOL CImageList::SetImageCount(UINT uNewCount) { return ImageList_SetImageCount(m_hImageList, uNewCount); }
COLORREF CImageList::SetBkColor(COLORREF cr) { return ImageList_SetBkColor(m_hImageList, cr); }
COLORREF CImageList::GetBkColor() const { return ImageList_GetBkColor(m_hImageList); }
BOOL CImageList::GetImageInfo(int nImage, IMAGEINFO* pImageInfo) const {
  return ImageList_GetImageInfo(m_hImageList, nImage, pImageInfo);
}
BOOL CImageList::GetIconSize(int* cx, int* cy) const { return ImageList_GetIconSize(m_hImageList, cx, cy); }

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask) {
  return ImageList_Add(m_hImageList, static_cast<HBITMAP>(pbmImage->GetSafeHandle()),
                       static_cast<HBITMAP>(pbmMask->GetSafeHandle()));
}
int CImageList::Add(CBitmap* pbmImage, COLORREF crMask) {
  return ImageList_AddMasked(m_hImageList, static_cast<HBITMAP>(pbmImage->GetSafeHandle()), crMask);
}
int CImageList::Add(HICON hIcon) { return ImageList_ReplaceIcon(m_hImageList, -1, hIcon); }
BOOL CImageList::Remove(int nImage) { return ImageList_Remove(m_hImageList, nImage); }
BOOL CImageList::Replace(int nImage, CBitmap* pbmImage, CBitmap* pbmMask) {
  return ImageList_Replace(m_hImageList, nImage, static_cast<HBITMAP>(pbmImage->GetSafeHandle()),
                           static_cast<HBITMAP>(pbmMask->GetSafeHandle()));
}
int CImageList::Replace(int nImage, HICON hIcon) { return ImageList_ReplaceIcon(m_hImageList, nImage, hIcon); }
HICON CImageList::ExtractIcon(int nImage) { return ImageList_GetIcon(m_hImageList, nImage, ILD_NORMAL); }
BOOL CImageList::Copy(int iDst, int iSrc, UINT uFlags) {
  return ImageList_Copy(m_hImageList, iDst, m_hImageList, iSrc, uFlags);
}
BOOL CImageList::Copy(int iDst, CImageList* pSrc, int iSrc, UINT uFlags) {
  return ImageList_Copy(m_hImageList, iDst, pSrc->GetSafeHandle(), iSrc, uFlags);
}
BOOL CImageList::SetOverlayImage(int nImage, int nOverlay) {
  return ImageList_SetOverlayImage(m_hImageList, nImage, nOverlay);
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle) {
  return ImageList_Draw(m_hImageList, nImage, pDC->GetSafeHdc(), pt.x, pt.y, nStyle);
}
BOOL CImageList::DrawEx(CDC* pDC, int nImage, POINT pt, SIZE sz, COLORREF clrBk, COLORREF clrFg,
                        UINT nStyle) {
  return ImageList_DrawEx(m_hImageList, nImage, pDC->GetSafeHdc(), pt.x, pt.y, sz.cx, sz.cy, clrBk,
                          clrFg, nStyle);
}
BOOL CImageList::DrawIndirect(IMAGELISTDRAWPARAMS* pimldp) {
  if (pimldp == nullptr) return FALSE;
  pimldp->himl = m_hImageList;
  return ImageList_DrawIndirect(pimldp);
}

BOOL CImageList::BeginDrag(int nImage, CPoint ptHotSpot) {
  return ImageList_BeginDrag(m_hImageList, nImage, ptHotSpot.x, ptHotSpot.y);
}
BOOL CImageList::SetDragCursorImage(int nDrag, CPoint ptHotSpot) {
  return ImageList_SetDragCursorImage(m_hImageList, nDrag, ptHotSpot.x, ptHotSpot.y);
}
void PASCAL CImageList::EndDrag() { ImageList_EndDrag(); }
BOOL PASCAL CImageList::DragMove(CPoint pt) { return ImageList_DragMove(pt.x, pt.y); }
BOOL PASCAL CImageList::DragShowNolock(BOOL bShow) { return ImageList_DragShowNolock(bShow); }
BOOL PASCAL CImageList::DragEnter(CWnd* pWndLock, CPoint point) {
  return ImageList_DragEnter(pWndLock->GetSafeHwnd(), point.x, point.y);
}
BOOL PASCAL CImageList::DragLeave(CWnd* pWndLock) { return ImageList_DragLeave(pWndLock->GetSafeHwnd()); }
CImageList* PASCAL CImageList::GetDragImage(LPPOINT lpPoint, LPPOINT lpPointHotSpot) {
  return FromHandle(ImageList_GetDragImage(lpPoint, lpPointHotSpot));
}
