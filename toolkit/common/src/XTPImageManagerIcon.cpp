// Pictures, the icon of one command at one width, and the free functions that load, copy,
// scale and premultiply alpha pictures.
#include "XTPImageManager.h"

#include <algorithm>
#include <new>
#include <vector>

#include "XTPColorManager.h"
#include "XTPDrawHelpers.h"
#include "XTPImagePixels.h"
#include "XTPImageReaders.h"

IMPLEMENT_DYNAMIC(CXTPImageManagerIcon, CCmdTarget)

namespace {

// Version written into stored icons; 8 and later carry the checked picture.
const int kIconStoreVersion = 16;

// A bitmap's pixels as 32-bit top-down rows, with an opacity mask when asked.
struct PixelBuffer {
  BITMAPINFOHEADER header{};
  std::vector<BYTE> bits;
  int width = 0;
  int height = 0;
};

// A DC for GetDIBits and SetDIBits when the caller gives none: a memory DC, which (unlike
// the screen's) costs no trip to the display.
class CScreenDC {
 public:
  CScreenDC() : m_hDC(::CreateCompatibleDC(NULL)) {}
  ~CScreenDC() {
    if (m_hDC) ::DeleteDC(m_hDC);
  }
  HDC m_hDC;
};

// Reads any bitmap's pixels as 32-bit rows in the bottom-up order GetDIBits gives for a
// positive height. FALSE when the bitmap is no bitmap, has a bad size, or reading fails.
BOOL ReadBits32(HBITMAP hBitmap, PixelBuffer& buf) {
  BITMAP bm{};
  if (hBitmap == NULL || ::GetObjectW(hBitmap, sizeof(bm), &bm) != sizeof(bm)) return FALSE;
  const int rows = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
  const uint64_t bytes = xtpimg::AlphaPixelBytes(bm.bmWidth, rows);
  if (bytes == 0) return FALSE;
  try {
    buf.bits.assign(static_cast<size_t>(bytes), 0);
  } catch (const std::bad_alloc&) {
    return FALSE;
  }
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = bm.bmWidth;
  bmi.bmiHeader.biHeight = rows;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  CScreenDC dc;
  if (::GetDIBits(dc.m_hDC, hBitmap, 0, rows, buf.bits.data(), &bmi, DIB_RGB_COLORS) != rows)
    return FALSE;
  buf.header = bmi.bmiHeader;
  buf.header.biSizeImage = static_cast<DWORD>(bytes);
  buf.width = bm.bmWidth;
  buf.height = rows;
  return TRUE;
}

// A new 32-bit DIB section from a header and pixels (bottom-up for a positive height).
HBITMAP CreateDIBFromBits(const BITMAPINFOHEADER& header, const BYTE* bits, size_t nBytes) {
  BITMAPINFO bmi{};
  bmi.bmiHeader = header;
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biCompression = BI_RGB;
  bmi.bmiHeader.biClrUsed = 0;
  bmi.bmiHeader.biClrImportant = 0;
  const int rows = header.biHeight < 0 ? -header.biHeight : header.biHeight;
  const uint64_t need = xtpimg::AlphaPixelBytes(header.biWidth, rows);
  if (need == 0 || need != nBytes) return NULL;
  bmi.bmiHeader.biSizeImage = static_cast<DWORD>(need);
  void* pvBits = NULL;
  HBITMAP hBitmap = ::CreateDIBSection(NULL, &bmi, DIB_RGB_COLORS, &pvBits, NULL, 0);
  if (hBitmap == NULL || pvBits == NULL) {
    if (hBitmap) ::DeleteObject(hBitmap);
    return NULL;
  }
  memcpy(pvBits, bits, nBytes);
  return hBitmap;
}

HBITMAP CreateDIBFromBuffer(const PixelBuffer& buf) {
  return CreateDIBFromBits(buf.header, buf.bits.data(), buf.bits.size());
}

// Kinds of generated form.
enum FormKind { formFaded, formShadow, formGrey, formTwoColour };

struct FormParams {
  FormKind kind = formFaded;
  BYTE shadow[3] = {0, 0, 0};  // R, G, B
  BYTE light[3] = {0, 0, 0};
  BYTE dark[3] = {0, 0, 0};
};

void ApplyForm(const FormParams& p, BYTE* px, size_t count, const BYTE* mask) {
  switch (p.kind) {
    case formFaded:
      xtpimg::FadePixels(px, count, mask);
      break;
    case formShadow:
      xtpimg::SilhouettePixels(px, count, mask, p.shadow[0], p.shadow[1], p.shadow[2]);
      break;
    case formGrey:
      xtpimg::GreyPixels(px, count, mask);
      break;
    case formTwoColour:
      xtpimg::TwoColourPixels(px, count, mask, p.light, p.dark);
      break;
  }
}

// The form of an icon picture: only pixels that the mask marks opaque change; the result
// is a new icon with the same mask. An icon without a colour bitmap is copied unchanged.
HICON MakeIconForm(HICON hIcon, const FormParams& p) {
  ICONINFO ii{};
  if (hIcon == NULL || !::GetIconInfo(hIcon, &ii)) return NULL;
  HICON hResult = NULL;
  if (ii.hbmColor == NULL) {
    hResult = ::CopyIcon(hIcon);
  } else {
    PixelBuffer colour, mask;
    if (ReadBits32(ii.hbmColor, colour) && ReadBits32(ii.hbmMask, mask) &&
        mask.width == colour.width && mask.height >= colour.height) {
      const size_t count = static_cast<size_t>(colour.width) * colour.height;
      std::vector<BYTE> transparent;
      try {
        transparent.resize(count);
      } catch (const std::bad_alloc&) {
        transparent.clear();
      }
      if (transparent.size() == count) {
        // The mask's rows are bottom-up like the colour's: a set mask bit is transparent.
        for (size_t i = 0; i < count; i++) transparent[i] = mask.bits[i * 4] != 0 ? 1 : 0;
        ApplyForm(p, colour.bits.data(), count, transparent.data());
        HBITMAP hColor = CreateDIBFromBuffer(colour);
        if (hColor) {
          ICONINFO out = ii;
          out.fIcon = TRUE;
          out.hbmColor = hColor;
          hResult = ::CreateIconIndirect(&out);
          ::DeleteObject(hColor);
        }
      }
    }
    if (hResult == NULL) hResult = ::CopyIcon(hIcon);
  }
  if (ii.hbmColor) ::DeleteObject(ii.hbmColor);
  if (ii.hbmMask) ::DeleteObject(ii.hbmMask);
  return hResult;
}

// Makes the form of src into dst: icons through their mask, alpha bitmaps on a copy whose
// pixels are changed in place (a failure there leaves the unchanged copy).
void MakeForm(const CXTPImageManagerIconHandle& src, CXTPImageManagerIconHandle& dst,
              const FormParams& p, BOOL bIconPath) {
  if (src.IsEmpty()) return;
  if (src.IsAlpha()) {
    dst.CopyHandle(src.GetBitmap());
    if (dst.IsEmpty()) return;
    PBITMAPINFO pbmi = NULL;
    LPBYTE pBits = NULL;
    SIZE_T nSize = 0;
    if (!XTPGetAlphaBitmapBits(NULL, dst.GetBitmap(), pbmi, pBits, nSize)) return;
    ApplyForm(p, pBits, nSize / 4, NULL);
    CScreenDC dc;
    const int rows = pbmi->bmiHeader.biHeight < 0 ? -pbmi->bmiHeader.biHeight : pbmi->bmiHeader.biHeight;
    ::SetDIBits(dc.m_hDC, dst.GetBitmap(), 0, rows, pBits, pbmi, DIB_RGB_COLORS);
    free(pBits);
    free(pbmi);
    return;
  }
  HICON hIcon = bIconPath ? MakeIconForm(src.GetIcon(), p) : ::CopyIcon(src.GetIcon());
  if (hIcon) dst = hIcon;
}

void ColorToRGB(COLORREF clr, BYTE rgb[3]) {
  rgb[0] = GetRValue(clr);
  rgb[1] = GetGValue(clr);
  rgb[2] = GetBValue(clr);
}

// Reads an archive count and the bytes it announces in steps, so that a count larger than
// the data runs into the end of the data before much memory is taken.
void ReadBytesChecked(CArchive& ar, std::vector<BYTE>& out, uint64_t nBytes) {
  const size_t kStep = 256 * 1024;
  out.clear();
  try {
    uint64_t done = 0;
    while (done < nBytes) {
      const size_t n = static_cast<size_t>(std::min<uint64_t>(kStep, nBytes - done));
      out.resize(static_cast<size_t>(done) + n);
      if (ar.Read(out.data() + done, static_cast<UINT>(n)) != n)
        AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
      done += n;
    }
  } catch (const std::bad_alloc&) {
    out.clear();
    AfxThrowMemoryException();
  }
}

// One bitmap record: count 0, or count 52, the info block, the pixel count and pixels.
HBITMAP ReadBitmapRecord(CArchive& ar) {
  const DWORD_PTR nInfo = ar.ReadCount();
  if (nInfo == 0) return NULL;
  if (nInfo != xtpimg::kRecordInfoSize)
    AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
  BYTE info[xtpimg::kRecordInfoSize];
  if (ar.Read(info, sizeof(info)) != sizeof(info))
    AfxThrowArchiveException(CArchiveException::endOfFile, ar.m_strFileName);
  const DWORD_PTR nPixels = ar.ReadCount();
  xtpimg::RecordInfo ri;
  if (!xtpimg::CheckRecordInfo(info, sizeof(info), nPixels, &ri))
    AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
  std::vector<BYTE> bits;
  ReadBytesChecked(ar, bits, ri.pixelBytes);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = ri.width;
  header.biHeight = ri.height;
  HBITMAP hBitmap = CreateDIBFromBits(header, bits.data(), bits.size());
  if (hBitmap == NULL) AfxThrowMemoryException();
  return hBitmap;
}

void WriteBitmapRecord(CArchive& ar, HBITMAP hBitmap) {
  PBITMAPINFO pbmi = NULL;
  LPBYTE pBits = NULL;
  SIZE_T nSize = 0;
  if (hBitmap == NULL || !XTPGetBitmapBits32(NULL, hBitmap, pbmi, pBits, nSize)) {
    ar.WriteCount(0);
    return;
  }
  ar.WriteCount(xtpimg::kRecordInfoSize);
  ar.Write(pbmi, xtpimg::kRecordInfoSize);
  ar.WriteCount(nSize);
  ar.Write(pBits, static_cast<UINT>(nSize));
  free(pBits);
  free(pbmi);
}

}  // namespace

// =======================================================================================
// CXTPImageManagerIconHandle

CXTPImageManagerIconHandle::CXTPImageManagerIconHandle()
    : m_hIcon(NULL), m_hBitmap(NULL), m_hBitmapPreMultiplied(NULL), m_bOwns(TRUE) {}

CXTPImageManagerIconHandle::CXTPImageManagerIconHandle(HICON hIcon)
    : m_hIcon(hIcon), m_hBitmap(NULL), m_hBitmapPreMultiplied(NULL), m_bOwns(FALSE) {}

CXTPImageManagerIconHandle::CXTPImageManagerIconHandle(HBITMAP hBitmap)
    : m_hIcon(NULL), m_hBitmap(hBitmap), m_hBitmapPreMultiplied(NULL), m_bOwns(FALSE) {}

CXTPImageManagerIconHandle::CXTPImageManagerIconHandle(const CXTPImageManagerIconHandle& hHandle)
    : m_hIcon(hHandle.m_hIcon),
      m_hBitmap(hHandle.m_hBitmap),
      m_hBitmapPreMultiplied(NULL),
      m_bOwns(FALSE) {}

CXTPImageManagerIconHandle::~CXTPImageManagerIconHandle() { Clear(); }

void CXTPImageManagerIconHandle::Clear() {
  if (m_bOwns) {
    if (m_hIcon) ::DestroyIcon(m_hIcon);
    if (m_hBitmap) ::DeleteObject(m_hBitmap);
  }
  if (m_hBitmapPreMultiplied) ::DeleteObject(m_hBitmapPreMultiplied);
  m_hIcon = NULL;
  m_hBitmap = NULL;
  m_hBitmapPreMultiplied = NULL;
}

void CXTPImageManagerIconHandle::Swap(CXTPImageManagerIconHandle& hOther) {
  std::swap(m_hIcon, hOther.m_hIcon);
  std::swap(m_hBitmap, hOther.m_hBitmap);
  std::swap(m_hBitmapPreMultiplied, hOther.m_hBitmapPreMultiplied);
  std::swap(m_bOwns, hOther.m_bOwns);
}

void CXTPImageManagerIconHandle::CopyHandle(HBITMAP hBitmap) {
  HBITMAP hCopy = XTPCopyAlphaBitmap(hBitmap);  // before clearing: it may be our own
  Clear();
  m_hBitmap = hCopy;
  m_bOwns = TRUE;
}

void CXTPImageManagerIconHandle::CopyHandle(const CXTPImageManagerIconHandle& hHandle) {
  if (&hHandle == this) return;
  HICON hIcon = hHandle.m_hIcon ? ::CopyIcon(hHandle.m_hIcon) : NULL;
  HBITMAP hBitmap = hHandle.m_hBitmap ? XTPCopyAlphaBitmap(hHandle.m_hBitmap) : NULL;
  Clear();
  m_hIcon = hIcon;
  m_hBitmap = hBitmap;
  m_bOwns = TRUE;
}

const CXTPImageManagerIconHandle& CXTPImageManagerIconHandle::operator=(
    const CXTPImageManagerIconHandle& hHandle) {
  CopyHandle(hHandle);
  return *this;
}

const CXTPImageManagerIconHandle& CXTPImageManagerIconHandle::operator=(HICON hIcon) {
  if (hIcon != m_hIcon || !m_bOwns) Clear();
  m_hIcon = hIcon;
  m_bOwns = TRUE;
  return *this;
}

const CXTPImageManagerIconHandle& CXTPImageManagerIconHandle::operator=(HBITMAP hBitmap) {
  if (hBitmap != m_hBitmap || !m_bOwns) Clear();
  m_hBitmap = hBitmap;
  m_bOwns = TRUE;
  return *this;
}

CSize CXTPImageManagerIconHandle::GetExtent() const {
  if (m_hIcon) return XTPGetIconExtent(m_hIcon);
  if (m_hBitmap) {
    BITMAP bm{};
    if (::GetObjectW(m_hBitmap, sizeof(bm), &bm) != sizeof(bm)) return CSize(0, 0);
    return CSize(bm.bmWidth, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight);
  }
  return CSize(0, 0);
}

HBITMAP CXTPImageManagerIconHandle::PreMultiply() {
  if (m_hBitmap == NULL) return NULL;
  if (m_hBitmapPreMultiplied == NULL) m_hBitmapPreMultiplied = XTPPreMultiplyAlphaBitmap(m_hBitmap);
  return m_hBitmapPreMultiplied;
}

// =======================================================================================
// CXTPImageManagerIcon

CXTPImageManagerIcon::CXTPImageManagerIcon(UINT nID, int nWidth, int nHeight,
                                           CXTPImageManagerIconSet* pIconSet)
    : m_nID(nID), m_nWidth(nWidth), m_nHeight(nHeight), m_bScaled(FALSE), m_pIconSet(pIconSet) {}

CXTPImageManagerIcon::~CXTPImageManagerIcon() {
  for (auto& slot : m_hSlots) slot.Clear();
}

CXTPImageManager* CXTPImageManagerIcon::GetImageManager() const {
  if (m_pIconSet && m_pIconSet->GetImageManager()) return m_pIconSet->GetImageManager();
  return XTPImageManager();
}

CXTPImageManagerIconHandle& CXTPImageManagerIcon::GetIcon() { return m_hSlots[slotNormal]; }

CXTPImageManagerIconHandle& CXTPImageManagerIcon::GetFadedIcon() {
  if (m_hSlots[slotFaded].IsEmpty()) CreateFadedIcon();
  return m_hSlots[slotFaded];
}

CXTPImageManagerIconHandle& CXTPImageManagerIcon::GetShadowIcon() {
  if (m_hSlots[slotShadow].IsEmpty()) CreateShadowIcon();
  return m_hSlots[slotShadow];
}

CXTPImageManagerIconHandle& CXTPImageManagerIcon::GetHotIcon() {
  return m_hSlots[slotHot].IsEmpty() ? m_hSlots[slotNormal] : m_hSlots[slotHot];
}

CXTPImageManagerIconHandle& CXTPImageManagerIcon::GetCheckedIcon() {
  return m_hSlots[slotChecked].IsEmpty() ? GetHotIcon() : m_hSlots[slotChecked];
}

CXTPImageManagerIconHandle& CXTPImageManagerIcon::GetDisabledIcon(BOOL bCreateIfNotExists) {
  if (!m_hSlots[slotDisabled].IsEmpty()) return m_hSlots[slotDisabled];
  if (m_hSlots[slotDisabledAuto].IsEmpty() && bCreateIfNotExists) CreateDisabledIcon();
  return m_hSlots[slotDisabledAuto];
}

BOOL CXTPImageManagerIcon::HasDisabledIcon() const {
  return !m_hSlots[slotDisabled].IsEmpty() || !m_hSlots[slotDisabledAuto].IsEmpty();
}

BOOL CXTPImageManagerIcon::IsAlpha() const { return m_hSlots[slotNormal].IsAlpha(); }

CSize CXTPImageManagerIcon::GetExtent() const { return m_hSlots[slotNormal].GetExtent(); }

BOOL CXTPImageManagerIcon::SetIcon(const CXTPImageManagerIconHandle& hIcon) {
  if (hIcon.IsEmpty()) return FALSE;
  const CSize szExtent = hIcon.GetExtent();
  if (szExtent.cx <= 0 || szExtent.cy <= 0) return FALSE;
  CXTPImageManagerIconHandle hCopy;
  hCopy.CopyHandle(hIcon);  // first: hIcon may be one of our own slots
  if (hCopy.IsEmpty()) return FALSE;
  for (auto& slot : m_hSlots) slot.Clear();
  m_hSlots[slotNormal].Swap(hCopy);
  m_nWidth = szExtent.cx;
  m_nHeight = szExtent.cy;
  m_bScaled = FALSE;
  if (m_pIconSet) m_pIconSet->RefreshAll();
  return TRUE;
}

void CXTPImageManagerIcon::SetHotIcon(const CXTPImageManagerIconHandle& hIcon) {
  CXTPImageManagerIconHandle hCopy;
  hCopy.CopyHandle(hIcon);
  Refresh();
  m_hSlots[slotHot].Swap(hCopy);
}

void CXTPImageManagerIcon::SetCheckedIcon(const CXTPImageManagerIconHandle& hIcon) {
  CXTPImageManagerIconHandle hCopy;
  hCopy.CopyHandle(hIcon);
  Refresh();
  m_hSlots[slotChecked].Swap(hCopy);
}

void CXTPImageManagerIcon::SetDisabledIcon(const CXTPImageManagerIconHandle& hIcon) {
  CXTPImageManagerIconHandle hCopy;
  hCopy.CopyHandle(hIcon);
  Refresh();
  m_hSlots[slotDisabled].Swap(hCopy);
}

void CXTPImageManagerIcon::Refresh() {
  m_hSlots[slotFaded].Clear();
  m_hSlots[slotShadow].Clear();
  m_hSlots[slotDisabledAuto].Clear();
}

void CXTPImageManagerIcon::CreateFadedIcon() {
  FormParams p;
  p.kind = formFaded;
  // On a 256-colour screen the faded icon is the icon itself.
  MakeForm(m_hSlots[slotNormal], m_hSlots[slotFaded], p, !CXTPDrawHelpers::IsLowColor(NULL));
}

void CXTPImageManagerIcon::CreateShadowIcon() {
  FormParams p;
  p.kind = formShadow;
  const COLORREF clr = XTPGetColorManager()->GetColor(31);
  p.shadow[0] = xtpimg::ShadowChannel(GetRValue(clr));
  p.shadow[1] = xtpimg::ShadowChannel(GetGValue(clr));
  p.shadow[2] = xtpimg::ShadowChannel(GetBValue(clr));
  MakeForm(GetHotIcon(), m_hSlots[slotShadow], p, TRUE);
}

void CXTPImageManagerIcon::CreateDisabledIcon(COLORREF clrDisabledLight, COLORREF clrDisabledDark) {
  if (!m_hSlots[slotDisabledAuto].IsEmpty()) return;
  FormParams p;
  if (clrDisabledLight != (COLORREF)-1 && clrDisabledDark != (COLORREF)-1) {
    p.kind = formTwoColour;
    ColorToRGB(clrDisabledLight, p.light);
    ColorToRGB(clrDisabledDark, p.dark);
  } else {
    p.kind = formGrey;
  }
  MakeForm(m_hSlots[slotNormal], m_hSlots[slotDisabledAuto], p, TRUE);
}

void CXTPImageManagerIcon::Draw(CDC* pDC, CPoint pt) { Draw(pDC, pt, GetIcon(), 0, 0); }

void CXTPImageManagerIcon::Draw(CDC* pDC, CPoint pt, CXTPImageManagerIconHandle& hIcon, int cx, int cy) {
  if (pDC == NULL || pDC->GetSafeHdc() == NULL || hIcon.IsEmpty()) return;
  if (cx == 0) cx = m_nWidth;
  if (cx <= 0) return;
  if (cy == 0) {
    // The height in proportion to the icon's own size; nothing for an icon without width.
    if (m_nWidth <= 0) return;
    cy = static_cast<int>(static_cast<LONGLONG>(cx) * m_nHeight / m_nWidth);
  }
  if (cy <= 0) return;
  const HDC hDC = pDC->GetSafeHdc();
  if (!hIcon.IsAlpha()) {
    if (GetImageManager()->IsDrawMirrored())
      ::DrawIconEx(hDC, pt.x + cx, pt.y, hIcon.GetIcon(), -cx, cy, 0, NULL, DI_NORMAL);
    else
      ::DrawIconEx(hDC, pt.x, pt.y, hIcon.GetIcon(), cx, cy, 0, NULL, DI_NORMAL);
    return;
  }
  HBITMAP hPre = hIcon.PreMultiply();
  if (hPre == NULL) return;
  DrawAlphaBitmap(pDC, hPre, pt.x, pt.y, cx, cy, 0, 0, m_nWidth, m_nHeight);
}

void CXTPImageManagerIcon::DrawMono(CDC* pDC, CPoint pt, CXTPImageManagerIconHandle& hIcon,
                                    COLORREF clrBrush) {
  if (pDC == NULL || pDC->GetSafeHdc() == NULL || hIcon.IsEmpty() || hIcon.IsAlpha()) return;
  const HDC hDC = pDC->GetSafeHdc();
  HBRUSH hBrush = ::CreateSolidBrush(clrBrush);
  if (!GetImageManager()->IsDrawMirrored()) {
    ::DrawStateW(hDC, hBrush, NULL, (LPARAM)hIcon.GetIcon(), 0, pt.x, pt.y, 0, 0, DST_ICON | DSS_MONO);
  } else if (m_nWidth > 0 && m_nHeight > 0) {
    HDC hMem = ::CreateCompatibleDC(hDC);
    HBITMAP hBmp = ::CreateCompatibleBitmap(hDC, m_nWidth, m_nHeight);
    if (hMem && hBmp) {
      HGDIOBJ hOld = ::SelectObject(hMem, hBmp);
      RECT rc = {0, 0, m_nWidth, m_nHeight};
      HBRUSH hWhite = ::CreateSolidBrush(RGB(255, 255, 255));
      ::FillRect(hMem, &rc, hWhite);
      ::DeleteObject(hWhite);
      ::DrawIconEx(hMem, 0, 0, hIcon.GetIcon(), m_nWidth, m_nHeight, 0, NULL, DI_NORMAL);
      ::SelectObject(hMem, hOld);
      ::DrawStateW(hDC, hBrush, NULL, (LPARAM)hBmp, 0, pt.x, pt.y, m_nWidth, m_nHeight,
                   DST_BITMAP | DSS_MONO);
    }
    if (hBmp) ::DeleteObject(hBmp);
    if (hMem) ::DeleteDC(hMem);
  }
  ::DeleteObject(hBrush);
}

CXTPImageManagerIcon* CXTPImageManagerIcon::Scale(int nWidth) {
  CXTPImageManagerIconHandle& hNormal = m_hSlots[slotNormal];
  if (hNormal.GetIcon() == NULL || nWidth <= 0 || m_nWidth <= 0 || m_nHeight <= 0) return NULL;
  const CSize szOld(m_nWidth, m_nHeight);
  HICON hScaled = XTPScaleIcon(hNormal.GetIcon(), nWidth, szOld);
  if (hScaled == NULL) return NULL;
  CXTPImageManagerIcon* pIcon =
      new CXTPImageManagerIcon(m_nID, nWidth, MulDiv(m_nHeight, nWidth, m_nWidth), m_pIconSet);
  pIcon->m_hSlots[slotNormal] = hScaled;
  const Slot others[] = {slotDisabled, slotHot, slotChecked};
  for (Slot s : others) {
    if (m_hSlots[s].GetIcon() == NULL) continue;
    HICON h = XTPScaleIcon(m_hSlots[s].GetIcon(), nWidth, szOld);
    if (h) pIcon->m_hSlots[s] = h;
  }
  return pIcon;
}

void CXTPImageManagerIcon::SerializeIcon(CXTPImageManagerIconHandle& hIcon, CArchive& ar) {
  // Storing only; loading reads all pictures first (Serialize).
  if (hIcon.IsEmpty()) {
    ar.WriteCount(0);
    ar.WriteCount(0);
  } else if (hIcon.IsAlpha()) {
    WriteBitmapRecord(ar, hIcon.GetBitmap());
    ar.WriteCount(0);
  } else {
    ICONINFO ii{};
    if (!::GetIconInfo(hIcon.GetIcon(), &ii)) {
      ar.WriteCount(0);
      ar.WriteCount(0);
      return;
    }
    try {
      WriteBitmapRecord(ar, ii.hbmColor);
      WriteBitmapRecord(ar, ii.hbmMask);
    } catch (...) {
      if (ii.hbmColor) ::DeleteObject(ii.hbmColor);
      if (ii.hbmMask) ::DeleteObject(ii.hbmMask);
      throw;
    }
    if (ii.hbmColor) ::DeleteObject(ii.hbmColor);
    if (ii.hbmMask) ::DeleteObject(ii.hbmMask);
  }
}

void CXTPImageManagerIcon::Serialize(CArchive& ar) {
  const Slot stored[] = {slotNormal, slotDisabled, slotHot, slotChecked};
  if (ar.IsStoring()) {
    ar << static_cast<int>(m_nHeight);
    ar << static_cast<int>(kIconStoreVersion);
    for (Slot s : stored) SerializeIcon(m_hSlots[s], ar);
    return;
  }
  int nHeight = 0, nVersion = 0;
  ar >> nHeight;
  ar >> nVersion;
  if (nHeight < 0 || nHeight > xtpimg::kMaxSide)
    AfxThrowArchiveException(CArchiveException::genericException, ar.m_strFileName);
  const int nPictures = nVersion >= 8 ? 4 : 3;
  // Everything is read into owned temporaries first; an exception frees them and leaves
  // this icon as it was.
  CXTPImageManagerIconHandle hRead[4];
  for (int i = 0; i < nPictures; i++) {
    CXTPImageManagerIconHandle hFirst, hSecond;
    hFirst = ReadBitmapRecord(ar);
    hSecond = ReadBitmapRecord(ar);
    if (hFirst.IsEmpty()) continue;
    if (hSecond.IsEmpty()) {
      hRead[i].Swap(hFirst);
      continue;
    }
    BITMAP bm{};
    ::GetObjectW(hFirst.GetBitmap(), sizeof(bm), &bm);
    HIMAGELIST hList = ImageList_Create(bm.bmWidth, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight,
                                        ILC_COLOR24 | ILC_MASK, 0, 1);
    if (hList == NULL) AfxThrowMemoryException();
    HICON hIcon = NULL;
    if (ImageList_Add(hList, hFirst.GetBitmap(), hSecond.GetBitmap()) >= 0)
      hIcon = ImageList_GetIcon(hList, 0, ILD_NORMAL);
    ImageList_Destroy(hList);
    if (hIcon == NULL) AfxThrowMemoryException();
    hRead[i] = hIcon;
  }
  for (auto& slot : m_hSlots) slot.Clear();
  for (int i = 0; i < 4; i++) m_hSlots[stored[i]].Swap(hRead[i]);
  m_nHeight = nHeight;
}

void AFX_CDECL CXTPImageManagerIcon::DrawAlphaBitmap(CDC* pDC, HBITMAP hBitmap, int x, int y, int cx,
                                                     int cy, int srcX, int srcY, int srcCx, int srcCy) {
  ::DrawAlphaBitmap(pDC, hBitmap, x, y, cx, cy, srcX, srcY, srcCx, srcCy);
}

// =======================================================================================
// Free functions

HBITMAP AFX_CDECL XTPCreateAlphaDIB(int cx, int cy, LPBYTE* pBits) {
  if (pBits) *pBits = NULL;
  if (xtpimg::AlphaPixelBytes(cx, cy) == 0) return NULL;
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = cx;
  bmi.bmiHeader.biHeight = -cy;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* pv = NULL;
  HBITMAP hBitmap = ::CreateDIBSection(NULL, &bmi, DIB_RGB_COLORS, &pv, NULL, 0);
  if (hBitmap && pv == NULL) {
    ::DeleteObject(hBitmap);
    return NULL;
  }
  if (pBits) *pBits = static_cast<LPBYTE>(pv);
  return hBitmap;
}

namespace {

// A resource's bytes in the module (the resource handle when null).
const BYTE* FindResourceBytes(HINSTANCE hInst, LPCTSTR lpszName, LPCTSTR lpszType, DWORD& cbSize) {
  cbSize = 0;
  if (hInst == NULL) hInst = AfxGetResourceHandle();
  HRSRC hRsrc = ::FindResourceW(hInst, lpszName, lpszType);
  if (hRsrc == NULL) return NULL;
  HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
  if (hGlobal == NULL) return NULL;
  const BYTE* p = static_cast<const BYTE*>(::LockResource(hGlobal));
  if (p) cbSize = ::SizeofResource(hInst, hRsrc);
  return p;
}

// A file's bytes (at most nMax); FALSE when it cannot be opened or read whole.
BOOL ReadWholeFile(LPCTSTR pszFileName, std::vector<BYTE>& out, ULONGLONG nMax) {
  if (pszFileName == NULL) return FALSE;
  HANDLE hFile = ::CreateFileW(pszFileName, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, NULL);
  if (hFile == INVALID_HANDLE_VALUE) return FALSE;
  BOOL bOk = FALSE;
  LARGE_INTEGER size{};
  if (::GetFileSizeEx(hFile, &size) && size.QuadPart >= 0 &&
      static_cast<ULONGLONG>(size.QuadPart) <= nMax) {
    try {
      out.resize(static_cast<size_t>(size.QuadPart));
      DWORD nRead = 0;
      bOk = out.empty() || (::ReadFile(hFile, out.data(), static_cast<DWORD>(out.size()), &nRead, NULL) &&
                            nRead == out.size());
    } catch (const std::bad_alloc&) {
      bOk = FALSE;
    }
  }
  ::CloseHandle(hFile);
  return bOk;
}

// A bottom-up DIB section from the colour rows of a 32-bit icon image.
HBITMAP DIBFromIconImage(const BYTE* image, const xtpimg::AlphaIconImage& img) {
  BITMAPINFOHEADER header{};
  header.biWidth = img.width;
  header.biHeight = img.height;
  return CreateDIBFromBits(header, image + img.pixelOffset, static_cast<size_t>(img.pixelBytes));
}

}  // namespace

const CXTPToolBarResourceData* AFX_CDECL CXTPToolBarResourceData::Load(UINT nIDResource, HINSTANCE hInst,
                                                                       DWORD* pcbSize) {
  if (pcbSize) *pcbSize = 0;
  DWORD cb = 0;
  const BYTE* p = FindResourceBytes(hInst, MAKEINTRESOURCEW(nIDResource), RT_TOOLBAR, cb);
  xtpimg::ToolBarResource tb;
  if (p == NULL || !xtpimg::ParseToolBarResource(p, cb, &tb)) return NULL;
  if (pcbSize) *pcbSize = cb;
  return reinterpret_cast<const CXTPToolBarResourceData*>(p);
}

HBITMAP AFX_CDECL XTPLoadAlphaBitmap(UINT nIDResource) {
  DWORD cb = 0;
  const BYTE* p = FindResourceBytes(NULL, MAKEINTRESOURCEW(nIDResource), RT_BITMAP, cb);
  xtpimg::AlphaBitmapResource res;
  if (p == NULL || !xtpimg::ParseAlphaBitmapResource(p, cb, &res)) return NULL;
  BITMAPINFOHEADER header{};
  header.biWidth = res.width;
  header.biHeight = res.topDown ? -res.height : res.height;
  return CreateDIBFromBits(header, p + res.pixelOffset, static_cast<size_t>(res.pixelBytes));
}

BOOL AFX_CDECL XTPIsAlphaBitmapResource(UINT nIDResource) {
  DWORD cb = 0;
  const BYTE* p = FindResourceBytes(NULL, MAKEINTRESOURCEW(nIDResource), RT_BITMAP, cb);
  return p != NULL && xtpimg::BitmapResourceBitCount(p, cb) == 32;
}

BOOL AFX_CDECL XTPIsAlphaBitmapFile(LPCTSTR pszFileName) {
  if (pszFileName == NULL) return FALSE;
  HANDLE hFile = ::CreateFileW(pszFileName, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, NULL);
  if (hFile == INVALID_HANDLE_VALUE) return FALSE;
  BYTE head[14 + 40];
  DWORD nRead = 0;
  const BOOL bRead = ::ReadFile(hFile, head, sizeof(head), &nRead, NULL) && nRead == sizeof(head);
  ::CloseHandle(hFile);
  return bRead && xtpimg::BitmapFileBitCount(head, sizeof(head)) == 32;
}

HBITMAP AFX_CDECL XTPLoadAlphaIconFile(LPCTSTR pszFileName, int nWidth) {
  // Icon files are small; anything beyond 64 MB is not one.
  std::vector<BYTE> file;
  if (nWidth < 0 || !ReadWholeFile(pszFileName, file, 64ull * 1024 * 1024)) return NULL;
  xtpimg::IcoEntry entry;
  xtpimg::AlphaIconImage img;
  if (!xtpimg::FindIcoAlphaImage(file.data(), file.size(), nWidth, &entry, &img)) return NULL;
  return DIBFromIconImage(file.data() + entry.offset, img);
}

HBITMAP AFX_CDECL XTPLoadAlphaBitmapFile(LPCTSTR pszFileName, int nWidth) {
  return XTPLoadAlphaIconFile(pszFileName, nWidth);
}

BOOL AFX_CDECL XTPLoadAlphaIcon(UINT nIDResourceIcon, int nWidth, int nHeight, BOOL bGroup,
                                CXTPImageManagerIconHandle& hHandle) {
  UINT nIDIcon = nIDResourceIcon;
  DWORD cb = 0;
  if (bGroup) {
    const BYTE* pGroup = FindResourceBytes(NULL, MAKEINTRESOURCEW(nIDResourceIcon), RT_GROUP_ICON, cb);
    if (pGroup) {
      std::vector<xtpimg::GroupIconEntry> entries;
      if (!xtpimg::ParseGroupIcon(pGroup, cb, &entries)) return FALSE;
      BOOL bFound = FALSE;
      for (size_t i = entries.size(); i-- > 0;) {
        if (entries[i].width == nWidth && entries[i].height == nHeight) {
          nIDIcon = entries[i].id;
          bFound = TRUE;
          break;
        }
      }
      if (!bFound) return FALSE;
    }
  }
  const BYTE* p = FindResourceBytes(NULL, MAKEINTRESOURCEW(nIDIcon), RT_ICON, cb);
  xtpimg::AlphaIconImage img;
  if (p == NULL || !xtpimg::ParseIconImage(p, cb, false, &img)) return FALSE;
  if (img.bitCount != 32) {
    HICON hIcon = ::CreateIconFromResourceEx(const_cast<BYTE*>(p), cb, TRUE, 0x00030000, nWidth,
                                             nHeight, 0);
    if (hIcon == NULL) return FALSE;
    hHandle = hIcon;
    return TRUE;
  }
  if (!XTPImageManager()->IsAlphaIconsSupported()) return FALSE;
  if (!xtpimg::ParseIconImage(p, cb, true, &img)) return FALSE;
  HBITMAP hBitmap = DIBFromIconImage(p, img);
  if (hBitmap == NULL) return FALSE;
  hHandle = hBitmap;
  return TRUE;
}

namespace {

BOOL GetBitmapBits(CDC* pDC, HBITMAP hBitmap, PBITMAPINFO& pBitmapInfo, LPBYTE& pBits, SIZE_T& nSize,
                   BOOL bConvert) {
  pBitmapInfo = NULL;
  pBits = NULL;
  nSize = 0;
  if (hBitmap == NULL) return FALSE;
  CScreenDC screen;
  HDC hDC = (pDC && pDC->GetSafeHdc()) ? pDC->GetSafeHdc() : screen.m_hDC;
  PBITMAPINFO pbmi = static_cast<PBITMAPINFO>(calloc(1, xtpimg::kRecordInfoSize));
  if (pbmi == NULL) return FALSE;
  pbmi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  if (!::GetDIBits(hDC, hBitmap, 0, 0, NULL, pbmi, DIB_RGB_COLORS) ||
      (!bConvert && pbmi->bmiHeader.biBitCount != 32)) {
    free(pbmi);
    return FALSE;
  }
  const LONG width = pbmi->bmiHeader.biWidth;
  const LONG rows = pbmi->bmiHeader.biHeight < 0 ? -pbmi->bmiHeader.biHeight : pbmi->bmiHeader.biHeight;
  const uint64_t bytes = xtpimg::AlphaPixelBytes(width, rows);
  if (bytes == 0) {
    free(pbmi);
    return FALSE;
  }
  // Plain 32-bit pixels, whatever the bitmap's own format.
  memset(pbmi, 0, xtpimg::kRecordInfoSize);
  pbmi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  pbmi->bmiHeader.biWidth = width;
  pbmi->bmiHeader.biHeight = rows;
  pbmi->bmiHeader.biPlanes = 1;
  pbmi->bmiHeader.biBitCount = 32;
  pbmi->bmiHeader.biCompression = BI_RGB;
  pbmi->bmiHeader.biSizeImage = static_cast<DWORD>(bytes);
  LPBYTE pb = static_cast<LPBYTE>(malloc(static_cast<size_t>(bytes)));
  if (pb == NULL || ::GetDIBits(hDC, hBitmap, 0, rows, pb, pbmi, DIB_RGB_COLORS) != rows) {
    free(pb);
    free(pbmi);
    return FALSE;
  }
  pBitmapInfo = pbmi;
  pBits = pb;
  nSize = static_cast<SIZE_T>(bytes);
  return TRUE;
}

}  // namespace

BOOL AFX_CDECL XTPGetAlphaBitmapBits(CDC* pDC, HBITMAP hBitmap, PBITMAPINFO& pBitmapInfo, LPBYTE& pBits,
                                     SIZE_T& nSize) {
  return GetBitmapBits(pDC, hBitmap, pBitmapInfo, pBits, nSize, FALSE);
}

BOOL AFX_CDECL XTPGetBitmapBits32(CDC* pDC, HBITMAP hBitmap, PBITMAPINFO& pBitmapInfo, LPBYTE& pBits,
                                  SIZE_T& nSize) {
  return GetBitmapBits(pDC, hBitmap, pBitmapInfo, pBits, nSize, TRUE);
}

HBITMAP AFX_CDECL XTPCopyAlphaBitmap(HBITMAP hBitmap) {
  PBITMAPINFO pbmi = NULL;
  LPBYTE pBits = NULL;
  SIZE_T nSize = 0;
  if (!XTPGetAlphaBitmapBits(NULL, hBitmap, pbmi, pBits, nSize)) return NULL;
  HBITMAP hCopy = CreateDIBFromBits(pbmi->bmiHeader, pBits, nSize);
  free(pBits);
  free(pbmi);
  return hCopy;
}

HBITMAP AFX_CDECL XTPPreMultiplyAlphaBitmap(HBITMAP hBitmap) {
  PBITMAPINFO pbmi = NULL;
  LPBYTE pBits = NULL;
  SIZE_T nSize = 0;
  if (!XTPGetAlphaBitmapBits(NULL, hBitmap, pbmi, pBits, nSize)) return NULL;
  xtpimg::PreMultiplyPixels(pBits, nSize / 4);
  HBITMAP hResult = CreateDIBFromBits(pbmi->bmiHeader, pBits, nSize);
  free(pBits);
  free(pbmi);
  return hResult;
}

CSize AFX_CDECL XTPGetIconExtent(HICON hIcon) {
  ICONINFO ii{};
  if (hIcon == NULL || !::GetIconInfo(hIcon, &ii)) return CSize(0, 0);
  CSize sz(0, 0);
  BITMAP bm{};
  if (ii.hbmMask && ::GetObjectW(ii.hbmMask, sizeof(bm), &bm) == sizeof(bm)) {
    sz.cx = bm.bmWidth;
    sz.cy = ii.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
  }
  if (ii.hbmColor) ::DeleteObject(ii.hbmColor);
  if (ii.hbmMask) ::DeleteObject(ii.hbmMask);
  return sz;
}

HICON AFX_CDECL XTPScaleIcon(HICON hIcon, int nWidth, CSize szIcon) {
  if (hIcon == NULL || nWidth <= 0 || szIcon.cx <= 0 || szIcon.cy <= 0) return NULL;
  if (nWidth == szIcon.cx) return ::CopyIcon(hIcon);
  const int nHeight = MulDiv(szIcon.cy, nWidth, szIcon.cx);
  if (nHeight <= 0 || xtpimg::AlphaPixelBytes(nWidth, nHeight) == 0) return NULL;
  HIMAGELIST hList = ImageList_Create(nWidth, nHeight, ILC_COLOR32 | ILC_MASK, 0, 1);
  if (hList == NULL) return NULL;
  HICON hResult = NULL;
  if (ImageList_ReplaceIcon(hList, -1, hIcon) >= 0) hResult = ImageList_GetIcon(hList, 0, ILD_NORMAL);
  ImageList_Destroy(hList);
  return hResult;
}

void AFX_CDECL DrawAlphaBitmap(CDC* pDC, HBITMAP hBitmap, int x, int y, int cx, int cy, int srcX,
                               int srcY, int srcCx, int srcCy) {
  CXTPImageManager::PFNALPHABLEND pfnAlphaBlend = XTPImageManager()->GetAlphaBlendProc();
  if (pfnAlphaBlend == NULL || pDC == NULL || pDC->GetSafeHdc() == NULL || hBitmap == NULL) return;
  if (srcCx == 0 && srcCy == 0) {
    srcCx = cx;
    srcCy = cy;
  }
  HDC hMem = ::CreateCompatibleDC(pDC->GetSafeHdc());
  if (hMem == NULL) return;
  HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
  BLENDFUNCTION bf = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  pfnAlphaBlend(pDC->GetSafeHdc(), x, y, cx, cy, hMem, srcX, srcY, srcCx, srcCy, bf);
  ::SelectObject(hMem, hOld);
  ::DeleteDC(hMem);
}
