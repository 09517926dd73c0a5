// The button image editor: the dialog, its colour pickers, the drawing area and the preview.
#include <framework.h>

#include <olectl.h>

#include <algorithm>

#include "XTPColorManager.h"
#include "XTPDrawHelpers.h"
#include "XTPImageEditorDlg.h"
#include "XTPImageManager.h"
#include "XTPResourceManager.h"
#include "XTPSystemVersion.h"

namespace {

const UINT kTemplate = 9351;
const UINT kPlaceMove = 9354;
const UINT kPlaceColors = 9357;
const UINT kPlaceTools = 9358;
const UINT kPickerTransparent = 9359;
const UINT kPickerFree = 9360;
const UINT kPicture = 9361;
const UINT kPreview = 9362;
const UINT kFirstTool = 9363;
const UINT kLastTool = 9368;
const UINT kCopy = 9369;
const UINT kPaste = 9370;
const UINT kClear = 9371;
const UINT kUndo = 9372;
const UINT kRedo = 9373;
const UINT kImport = 9374;
const UINT kMoveLeft = 9354;
const UINT kMoveRight = 9357;
const UINT kFilter = 9396;
const UINT kBitmapTools = 9352;
const UINT kBitmapTools32 = 9353;
const UINT kCursorLine = 9375;
const UINT kCursorPick = 9376;
const UINT kCursorFill = 9377;
const UINT kCursorPencil = 9378;
const UINT kFirstColorName = 9450;
const UINT kLastColorName = 9496;

// Transparent colour as a pixel of the DIB (0xAARRGGBB, no alpha).
const DWORD kTransparentPixel = 0x00FFFEFF;

// The palette: colour and the string id of its name, row by row.
struct PaletteEntry {
  COLORREF clr;
  UINT nID;
};
const PaletteEntry kPalette[16] = {
    {RGB(0, 0, 0), 9450},       {RGB(128, 128, 128), 9465}, {RGB(128, 0, 0), 9458},   {RGB(128, 128, 0), 9460},
    {RGB(0, 128, 0), 9461},     {RGB(0, 128, 128), 9462},   {RGB(0, 0, 128), 9455},   {RGB(128, 0, 128), 9472},
    {RGB(255, 255, 255), 9489}, {RGB(192, 192, 192), 9481}, {RGB(255, 0, 0), 9466},   {RGB(255, 255, 0), 9476},
    {RGB(0, 255, 0), 9477},     {RGB(0, 255, 255), 9478},   {RGB(0, 0, 255), 9463},   {RGB(255, 0, 255), 9474},
};

const UINT kToolButtons[12] = {9363, 9364, 9372, 9373, 9365, 9366, 9369, 9370, 9367, 9368, 9371, 9374};
const UINT kMoveButtons[4] = {9354, 9355, 9356, 9357};

inline DWORD PixelFromColor(COLORREF clr) {
  return (DWORD)((GetRValue(clr) << 16) | (GetGValue(clr) << 8) | GetBValue(clr));
}
inline COLORREF ColorFromPixel(DWORD px) {
  return RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF);
}

// The bits of a 32-bit DIB section, with its orientation; null for anything else.
DWORD* DibBits(HBITMAP hBitmap, CSize* pSize, BOOL* pTopDown) {
  DIBSECTION ds = {};
  if (hBitmap == NULL || ::GetObjectW(hBitmap, sizeof(ds), &ds) != sizeof(ds)) return nullptr;
  if (ds.dsBm.bmBits == nullptr || ds.dsBmih.biBitCount != 32) return nullptr;
  *pSize = CSize(ds.dsBm.bmWidth, ds.dsBm.bmHeight);
  *pTopDown = ds.dsBmih.biHeight < 0;
  return static_cast<DWORD*>(ds.dsBm.bmBits);
}

// Whether a .bmp file holds all the pixels its headers promise: the system's loader makes a
// bitmap of a file cut short and fills the missing rows with whatever follows.
BOOL BitmapFileIsWhole(LPCWSTR pszPath) {
  HANDLE hFile = ::CreateFileW(pszPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
  if (hFile == INVALID_HANDLE_VALUE) return FALSE;
  LARGE_INTEGER size = {};
  BYTE header[14 + 40] = {};
  DWORD nRead = 0;
  const BOOL bRead = ::GetFileSizeEx(hFile, &size) && ::ReadFile(hFile, header, sizeof(header), &nRead, NULL);
  ::CloseHandle(hFile);
  if (!bRead || nRead < 14 + 12 || header[0] != 'B' || header[1] != 'M') return FALSE;
  auto le32 = [&](int at) { return (DWORD)header[at] | ((DWORD)header[at + 1] << 8) | ((DWORD)header[at + 2] << 16) | ((DWORD)header[at + 3] << 24); };
  auto le16 = [&](int at) { return (DWORD)header[at] | ((DWORD)header[at + 1] << 8); };
  const DWORD offBits = le32(10), infoSize = le32(14);
  LONGLONG width = 0, height = 0;
  DWORD bitCount = 0, compression = BI_RGB;
  if (infoSize == 12) {
    width = le16(18);
    height = le16(20);
    bitCount = le16(24);
  } else if (infoSize >= 40 && nRead >= 14 + 40) {
    width = (LONG)le32(18);
    height = (LONG)le32(22);
    bitCount = le16(28);
    compression = le32(30);
  } else {
    return FALSE;
  }
  if (height < 0) height = -height;
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767 || bitCount == 0 || bitCount > 32) return FALSE;
  // Compressed rows have no fixed size; the loader checks those itself.
  if (compression != BI_RGB && compression != BI_BITFIELDS) return TRUE;
  const LONGLONG stride = ((width * bitCount + 31) / 32) * 4;
  return (LONGLONG)offBits + stride * height <= size.QuadPart;
}

}  // namespace

// ---- Image --------------------------------------------------------------------------------
CXTPImageEditorImage::CXTPImageEditorImage(int cx, int cy, BOOL bAlpha) : m_bAlpha(bAlpha) {
  Create(cx, cy);
  if (m_pBits != nullptr) std::fill(m_pBits, m_pBits + (size_t)m_cx * m_cy, kTransparentPixel);
}

CXTPImageEditorImage::CXTPImageEditorImage(HBITMAP hBitmap, BOOL bAlpha) : m_bAlpha(bAlpha) {
  CSize size;
  BOOL bTopDown = FALSE;
  DWORD* pBits = DibBits(hBitmap, &size, &bTopDown);
  if (pBits == nullptr || bTopDown) {
    if (hBitmap) ::DeleteObject(hBitmap);
    return;
  }
  m_hBitmap = hBitmap;
  m_pBits = pBits;
  m_cx = size.cx;
  m_cy = size.cy;
}

CXTPImageEditorImage::~CXTPImageEditorImage() {
  if (m_hBitmap) ::DeleteObject(m_hBitmap);
}

void CXTPImageEditorImage::Create(int cx, int cy) {
  if (cx <= 0 || cy <= 0) return;
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = cx;
  bmi.bmiHeader.biHeight = cy;  // bottom-up
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* pBits = nullptr;
  m_hBitmap = ::CreateDIBSection(NULL, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0);
  if (m_hBitmap == NULL) return;
  m_pBits = static_cast<DWORD*>(pBits);
  m_cx = cx;
  m_cy = cy;
}

DWORD CXTPImageEditorImage::GetPixel(int x, int y) const {
  if (m_pBits == nullptr || x < 0 || y < 0 || x >= m_cx || y >= m_cy) return (DWORD)-1;
  const DWORD px = m_pBits[(size_t)(m_cy - 1 - y) * m_cx + x];
  const DWORD clr = ColorFromPixel(px);
  return m_bAlpha ? (clr | (px & 0xFF000000)) : clr;
}

void CXTPImageEditorImage::SetPixel(int x, int y, DWORD dwValue) {
  if (m_pBits == nullptr || x < 0 || y < 0 || x >= m_cx || y >= m_cy) return;
  m_pBits[(size_t)(m_cy - 1 - y) * m_cx + x] = PixelFromColor(dwValue & 0xFFFFFF) | (dwValue & 0xFF000000);
}

CXTPImageEditorImage* CXTPImageEditorImage::CopyOf(HBITMAP hSource, BOOL bAlpha, CSize szEditor, CPoint ptOffset,
                                                   COLORREF clrFrom, COLORREF clrTo) {
  auto* pImage = new CXTPImageEditorImage(szEditor.cx, szEditor.cy, bAlpha);
  if (!pImage->IsValid()) {
    delete pImage;
    return nullptr;
  }
  if (hSource == NULL) return pImage;
  CSize szSource;
  BOOL bTopDown = FALSE;
  const DWORD* pSource = DibBits(hSource, &szSource, &bTopDown);
  if (pSource != nullptr) {
    // A 32-bit source is copied byte for byte, so that its alpha survives.
    for (int y = 0; y < szSource.cy; y++) {
      const int ty = y + ptOffset.y;
      if (ty < 0 || ty >= pImage->m_cy) continue;
      const DWORD* pRow = pSource + (size_t)(bTopDown ? y : szSource.cy - 1 - y) * szSource.cx;
      for (int x = 0; x < szSource.cx; x++) {
        const int tx = x + ptOffset.x;
        if (tx < 0 || tx >= pImage->m_cx) continue;
        pImage->m_pBits[(size_t)(pImage->m_cy - 1 - ty) * pImage->m_cx + tx] = bAlpha ? pRow[x] : (pRow[x] & 0xFFFFFF);
      }
    }
  } else {
    HDC hdc = ::CreateCompatibleDC(NULL);
    HGDIOBJ hOld = ::SelectObject(hdc, pImage->m_hBitmap);
    ::DrawStateW(hdc, NULL, NULL, (LPARAM)hSource, 0, ptOffset.x, ptOffset.y, 0, 0, DST_BITMAP);
    ::SelectObject(hdc, hOld);
    ::DeleteDC(hdc);
    ::GdiFlush();
    if (!bAlpha) {
      for (size_t i = 0; i < (size_t)pImage->m_cx * pImage->m_cy; i++) pImage->m_pBits[i] &= 0xFFFFFF;
    }
  }
  if (!bAlpha && clrFrom != (COLORREF)-1) {
    const DWORD from = PixelFromColor(clrFrom), to = PixelFromColor(clrTo);
    for (size_t i = 0; i < (size_t)pImage->m_cx * pImage->m_cy; i++) {
      if ((pImage->m_pBits[i] & 0xFFFFFF) == from) pImage->m_pBits[i] = to;
    }
  }
  return pImage;
}

CXTPImageEditorImage* CXTPImageEditorImage::Clone(CPoint ptOffset) const {
  return CopyOf(m_hBitmap, m_bAlpha, CSize(m_cx, m_cy), ptOffset);
}

// ---- Picker -------------------------------------------------------------------------------
IMPLEMENT_DYNAMIC(CXTPImageEditorPicker, CStatic)

BEGIN_MESSAGE_MAP(CXTPImageEditorPicker, CStatic)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CXTPImageEditorPicker::CXTPImageEditorPicker() : m_clr(0), m_bSelected(FALSE) {}

void CXTPImageEditorPicker::SetColor(COLORREF clr) {
  m_clr = clr;
  if (m_hWnd) Invalidate(FALSE);
}

void CXTPImageEditorPicker::SetSelected(BOOL bSelected) {
  m_bSelected = bSelected;
  if (m_hWnd) Invalidate(FALSE);
}

BOOL CXTPImageEditorPicker::OnEraseBkgnd(CDC*) { return TRUE; }

void CXTPImageEditorPicker::OnPaint() {
  CPaintDC paintDC(this);
  CRect rc;
  GetClientRect(&rc);
  CXTPBufferDC dc(paintDC.m_hDC, rc);
  if (m_clr == XTP_IMAGEEDITOR_TRANSPARENT) {
    dc.FillSolidRect(rc, RGB(255, 255, 255));
    const int cx = rc.Width() / 2, cy = rc.Height() / 2;
    dc.FillSolidRect(rc.left, rc.top, cx, cy, RGB(235, 235, 235));
    dc.FillSolidRect(rc.left + cx, rc.top + cy, rc.Width() - cx, rc.Height() - cy, RGB(235, 235, 235));
  } else {
    dc.FillSolidRect(rc, m_clr);
  }
  if (m_bSelected) {
    CRect rcFrame(rc);
    dc.Draw3dRect(rcFrame, RGB(0, 0, 0), RGB(0, 0, 0));
    rcFrame.DeflateRect(1, 1);
    dc.Draw3dRect(rcFrame, RGB(255, 255, 255), RGB(255, 255, 255));
    rcFrame.DeflateRect(1, 1);
    dc.Draw3dRect(rcFrame, RGB(0, 0, 0), RGB(0, 0, 0));
  } else {
    dc.Draw3dRect(rc, ::GetSysColor(COLOR_3DDKSHADOW), ::GetSysColor(COLOR_3DDKSHADOW));
  }
}

void CXTPImageEditorPicker::OnLButtonDown(UINT, CPoint) {
  CWnd* pParent = GetParent();
  if (pParent == NULL) return;
  NMHDR nm = {};
  nm.hwndFrom = m_hWnd;
  nm.idFrom = (UINT_PTR)GetDlgCtrlID();
  nm.code = NM_CLICK;
  pParent->SendMessage(WM_NOTIFY, nm.idFrom, (LPARAM)&nm);
}

// ---- Picture ------------------------------------------------------------------------------
BEGIN_MESSAGE_MAP(CXTPImageEditorPicture, CStatic)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_SETCURSOR()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
  ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

CXTPImageEditorPicture::CXTPImageEditorPicture()
    : m_pPrevious(nullptr),
      m_pCurrent(nullptr),
      m_nColumns(16),
      m_nRows(16),
      m_nCellWidth(1),
      m_nCellHeight(1),
      m_bTracking(FALSE),
      m_ptStart(0, 0),
      m_clrDraw(0),
      m_pDlg(nullptr) {
  m_hCursorLine = XTPResourceManager()->LoadCursor(kCursorLine);
  m_hCursorPick = XTPResourceManager()->LoadCursor(kCursorPick);
  m_hCursorFill = XTPResourceManager()->LoadCursor(kCursorFill);
  m_hCursorPencil = XTPResourceManager()->LoadCursor(kCursorPencil);
}

CXTPImageEditorPicture::~CXTPImageEditorPicture() {
  FreeList(m_lstUndo);
  FreeList(m_lstRedo);
  delete m_pPrevious;
  delete m_pCurrent;
}

void CXTPImageEditorPicture::FreeList(CList<CXTPImageEditorImage*, CXTPImageEditorImage*>& list) {
  while (!list.IsEmpty()) delete list.RemoveHead();
}

void CXTPImageEditorPicture::SizeCells(int nColumns, int nRows) {
  m_nColumns = std::max(1, nColumns);
  m_nRows = std::max(1, nRows);
  CRect rc;
  GetWindowRect(&rc);
  // Cells of at least one pixel: the dialog grows the area beforehand when the image is
  // larger than it.
  m_nCellWidth = std::max(1, rc.Width() / m_nColumns);
  m_nCellHeight = std::max(1, rc.Height() / m_nRows);
  SetWindowPos(NULL, 0, 0, m_nColumns * m_nCellWidth + 1, m_nRows * m_nCellHeight + 1,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CPoint CXTPImageEditorPicture::CellCentre(int x, int y) const {
  return CPoint(x * m_nCellWidth + m_nCellWidth / 2, y * m_nCellHeight + m_nCellHeight / 2);
}

CPoint CXTPImageEditorPicture::CellFromPoint(CPoint point) const {
  auto cell = [](int v, int size) { return v >= 0 ? v / size : -1 - (-1 - v) / size; };
  return CPoint(cell(point.x, m_nCellWidth), cell(point.y, m_nCellHeight));
}

void CXTPImageEditorPicture::SetImage(CXTPImageEditorImage* pImage) {
  delete m_pCurrent;
  m_pCurrent = pImage;
  Redraw();
}

void CXTPImageEditorPicture::Redraw() {
  if (m_hWnd) Invalidate(FALSE);
  if (m_pDlg != nullptr && m_pDlg->m_wndPreview.m_hWnd) m_pDlg->m_wndPreview.Invalidate(FALSE);
}

void CXTPImageEditorPicture::Commit() {
  FreeList(m_lstRedo);
  while (m_lstUndo.GetCount() > kMaxUndo - 1) delete m_lstUndo.RemoveHead();
  m_lstUndo.AddTail(m_pPrevious);
  m_pPrevious = nullptr;
  Redraw();
}

void CXTPImageEditorPicture::ReplaceImage(CXTPImageEditorImage* pImage) {
  if (pImage == nullptr) return;
  delete m_pPrevious;
  m_pPrevious = m_pCurrent;
  m_pCurrent = pImage;
  Commit();
}

void CXTPImageEditorPicture::Clear() {
  delete m_pPrevious;
  m_pPrevious = m_pCurrent;
  m_pCurrent = nullptr;
  Commit();
}

void CXTPImageEditorPicture::MoveImage(int dx, int dy) {
  if (m_pCurrent == nullptr) return;
  CXTPImageEditorImage* pMoved = m_pCurrent->Clone(CPoint(dx, dy));
  if (pMoved == nullptr) return;
  ReplaceImage(pMoved);
}

void CXTPImageEditorPicture::Undo() {
  if (m_lstUndo.IsEmpty()) return;
  CXTPImageEditorImage* pEntry = m_lstUndo.RemoveTail();
  m_lstRedo.AddTail(m_pCurrent);
  m_pCurrent = pEntry;
  Redraw();
}

void CXTPImageEditorPicture::Redo() {
  if (m_lstRedo.IsEmpty()) return;
  CXTPImageEditorImage* pEntry = m_lstRedo.RemoveTail();
  m_lstUndo.AddTail(m_pCurrent);
  m_pCurrent = pEntry;
  Redraw();
}

void CXTPImageEditorPicture::AlphaMerge(CXTPImageEditorImage* pNew, const CXTPImageEditorImage* pOld) const {
  if (pNew == nullptr || !pNew->IsAlpha()) return;
  ::GdiFlush();
  DWORD* pBits = pNew->GetBits();
  const DWORD* pOldBits = pOld != nullptr ? pOld->GetBits() : nullptr;
  const size_t n = (size_t)pNew->GetWidth() * pNew->GetHeight();
  for (size_t i = 0; i < n; i++) {
    const DWORD px = pBits[i];
    const DWORD old = pOldBits != nullptr ? pOldBits[i] : kTransparentPixel;
    if ((px & 0xFFFFFF) == (old & 0xFFFFFF) && (pOldBits != nullptr)) {
      pBits[i] = old;  // untouched: keep its alpha, which drawing may have cleared
    } else if ((px & 0xFFFFFF) == kTransparentPixel) {
      pBits[i] = 0;  // drawn with the transparent colour
    } else {
      pBits[i] = (px & 0xFFFFFF) | 0xFF000000;
    }
  }
}

BOOL CXTPImageEditorPicture::OnEraseBkgnd(CDC*) { return TRUE; }

void CXTPImageEditorPicture::OnPaint() {
  CPaintDC paintDC(this);
  CRect rc;
  GetClientRect(&rc);
  if (rc.IsRectEmpty()) return;
  // Drawn into a DIB of the client size, one pixel at a time, then copied out.
  CXTPImageEditorImage canvas(rc.Width(), rc.Height());
  if (!canvas.IsValid()) return;
  DWORD* pBits = canvas.GetBits();
  const CXTPImageEditorImage* pImage = m_pCurrent;
  for (int y = 0; y < rc.Height(); y++) {
    DWORD* pRow = pBits + (size_t)(rc.Height() - 1 - y) * rc.Width();
    const int iy = std::min(y / m_nCellHeight, m_nRows - 1);
    for (int x = 0; x < rc.Width(); x++) {
      DWORD out = 0xFFFFFF;
      if (pImage != nullptr) {
        const int ix = std::min(x / m_nCellWidth, m_nColumns - 1);
        const int g = (((x / 4) + (y / 4)) & 1) ? 235 : 255;
        const DWORD px = pImage->GetBits()[(size_t)(pImage->GetHeight() - 1 - iy) * pImage->GetWidth() + ix];
        if (pImage->IsAlpha()) {
          const int a = (int)(px >> 24);
          const int r = g - a * (g - (int)((px >> 16) & 0xFF)) / 255;
          const int gg = g - a * (g - (int)((px >> 8) & 0xFF)) / 255;
          const int b = g - a * (g - (int)(px & 0xFF)) / 255;
          out = (DWORD)((r << 16) | (gg << 8) | b);
        } else if ((px & 0xFFFFFF) == kTransparentPixel) {
          out = (DWORD)((g << 16) | (g << 8) | g);
        } else {
          out = px & 0xFFFFFF;
        }
      }
      pRow[x] = out;
    }
  }
  HDC hdcMem = ::CreateCompatibleDC(paintDC.m_hDC);
  HGDIOBJ hOld = ::SelectObject(hdcMem, canvas.GetBitmap());
  CDC* pMem = CDC::FromHandle(hdcMem);
  pMem->Draw3dRect(rc, RGB(0, 0, 0), RGB(0, 0, 0));
  ::BitBlt(paintDC.m_hDC, 0, 0, rc.Width(), rc.Height(), hdcMem, 0, 0, SRCCOPY);
  ::SelectObject(hdcMem, hOld);
  ::DeleteDC(hdcMem);
}

BOOL CXTPImageEditorPicture::OnSetCursor(CWnd*, UINT, UINT) {
  HCURSOR hCursor = m_hCursorPencil;
  switch (m_pDlg != nullptr ? m_pDlg->m_nCurrentTool : 0) {
    case CXTPImageEditorDlg::toolFill: hCursor = m_hCursorFill; break;
    case CXTPImageEditorDlg::toolPick: hCursor = m_hCursorPick; break;
    case CXTPImageEditorDlg::toolLine:
    case CXTPImageEditorDlg::toolRectangle:
    case CXTPImageEditorDlg::toolEllipse: hCursor = m_hCursorLine; break;
    default: break;
  }
  ::SetCursor(hCursor != NULL ? hCursor : ::LoadCursorW(NULL, IDC_ARROW));
  return TRUE;
}

void CXTPImageEditorPicture::OnLButtonDown(UINT, CPoint point) {
  if (m_pDlg == nullptr || m_bTracking) return;
  const CPoint cell = CellFromPoint(point);
  if (cell.x < 0 || cell.y < 0 || cell.x >= m_nColumns || cell.y >= m_nRows) return;
  const CSize size(m_nColumns, m_nRows);
  // The colour a cell shows: an alpha pixel without any cover counts as transparent.
  auto cellColour = [this](CPoint c) -> COLORREF {
    if (m_pCurrent == nullptr) return XTP_IMAGEEDITOR_TRANSPARENT;
    const DWORD px = m_pCurrent->GetPixel(c.x, c.y);
    if (m_pCurrent->IsAlpha() && (px >> 24) == 0) return XTP_IMAGEEDITOR_TRANSPARENT;
    return px & 0xFFFFFF;
  };
  const COLORREF clrCurrent = m_pDlg->GetCurrentColor();
  switch (m_pDlg->m_nCurrentTool) {
    case CXTPImageEditorDlg::toolFill: {
      CXTPImageEditorImage* pCopy = m_pCurrent != nullptr ? m_pCurrent->Clone() : new CXTPImageEditorImage(size.cx, size.cy);
      if (pCopy == nullptr || !pCopy->IsValid()) {
        delete pCopy;
        return;
      }
      HDC hdc = ::CreateCompatibleDC(NULL);
      HGDIOBJ hOldBmp = ::SelectObject(hdc, pCopy->GetBitmap());
      HBRUSH hBrush = ::CreateSolidBrush(clrCurrent);
      HGDIOBJ hOldBrush = ::SelectObject(hdc, hBrush);
      const COLORREF clrArea = pCopy->GetPixel(cell.x, cell.y) & 0xFFFFFF;
      ::ExtFloodFill(hdc, cell.x, cell.y, clrArea, FLOODFILLSURFACE);
      ::SelectObject(hdc, hOldBrush);
      ::DeleteObject(hBrush);
      ::SelectObject(hdc, hOldBmp);
      ::DeleteDC(hdc);
      ::GdiFlush();
      if (!pCopy->IsAlpha()) {
        for (size_t i = 0; i < (size_t)pCopy->GetWidth() * pCopy->GetHeight(); i++) pCopy->GetBits()[i] &= 0xFFFFFF;
      }
      AlphaMerge(pCopy, m_pCurrent);
      ReplaceImage(pCopy);
      break;
    }
    case CXTPImageEditorDlg::toolPick: {
      m_pDlg->m_wndPickerFree.SetColor(cellColour(cell));
      m_pDlg->SelectPicker(&m_pDlg->m_wndPickerFree);
      m_pDlg->m_nCurrentTool = m_pDlg->m_nPreviousTool;
      break;
    }
    default: {
      delete m_pPrevious;
      m_pPrevious = m_pCurrent;
      m_pCurrent = m_pPrevious != nullptr ? m_pPrevious->Clone() : new CXTPImageEditorImage(size.cx, size.cy);
      m_clrDraw = cellColour(cell) == clrCurrent ? XTP_IMAGEEDITOR_TRANSPARENT : clrCurrent;
      m_ptStart = cell;
      m_bTracking = TRUE;
      SetCapture();
      TrackTo(cell);
      break;
    }
  }
}

// A quick second press on a cell is a press like any other.
void CXTPImageEditorPicture::OnLButtonDblClk(UINT nFlags, CPoint point) { OnLButtonDown(nFlags, point); }

void CXTPImageEditorPicture::TrackTo(CPoint ptCell) {
  if (m_pDlg == nullptr) return;
  const int nTool = m_pDlg->m_nCurrentTool;
  const COLORREF clrCurrent = m_pDlg->GetCurrentColor();
  CXTPImageEditorImage* pCopy = nullptr;
  if (nTool == CXTPImageEditorDlg::toolPencil) {
    pCopy = m_pCurrent != nullptr ? m_pCurrent->Clone() : nullptr;
    if (pCopy == nullptr) return;
    if (ptCell.x >= 0 && ptCell.y >= 0 && ptCell.x < m_nColumns && ptCell.y < m_nRows) {
      pCopy->SetPixel(ptCell.x, ptCell.y, m_clrDraw | (pCopy->IsAlpha() ? 0xFF000000 : 0));
    }
  } else {
    pCopy = m_pPrevious != nullptr ? m_pPrevious->Clone() : new CXTPImageEditorImage(m_nColumns, m_nRows);
    if (pCopy == nullptr || !pCopy->IsValid()) {
      delete pCopy;
      return;
    }
    HDC hdc = ::CreateCompatibleDC(NULL);
    HGDIOBJ hOldBmp = ::SelectObject(hdc, pCopy->GetBitmap());
    CDC* pDC = CDC::FromHandle(hdc);
    CRect rc(m_ptStart, ptCell);
    rc.NormalizeRect();
    if (nTool == CXTPImageEditorDlg::toolLine) {
      HPEN hPen = ::CreatePen(PS_SOLID, 1, clrCurrent);
      HGDIOBJ hOldPen = ::SelectObject(hdc, hPen);
      ::MoveToEx(hdc, m_ptStart.x, m_ptStart.y, NULL);
      ::LineTo(hdc, ptCell.x, ptCell.y);
      ::SelectObject(hdc, hOldPen);
      ::DeleteObject(hPen);
    } else if (nTool == CXTPImageEditorDlg::toolRectangle) {
      if (!rc.IsRectEmpty()) pDC->Draw3dRect(rc, clrCurrent, clrCurrent);
    } else if (nTool == CXTPImageEditorDlg::toolEllipse) {
      HPEN hPen = ::CreatePen(PS_SOLID, 1, clrCurrent);
      HBRUSH hBrush = ::CreateSolidBrush(XTP_IMAGEEDITOR_TRANSPARENT);
      HGDIOBJ hOldPen = ::SelectObject(hdc, hPen);
      HGDIOBJ hOldBrush = ::SelectObject(hdc, hBrush);
      ::Ellipse(hdc, rc.left, rc.top, rc.right, rc.bottom);
      ::SelectObject(hdc, hOldBrush);
      ::SelectObject(hdc, hOldPen);
      ::DeleteObject(hBrush);
      ::DeleteObject(hPen);
    }
    ::SelectObject(hdc, hOldBmp);
    ::DeleteDC(hdc);
    ::GdiFlush();
    if (!pCopy->IsAlpha()) {
      for (size_t i = 0; i < (size_t)pCopy->GetWidth() * pCopy->GetHeight(); i++) pCopy->GetBits()[i] &= 0xFFFFFF;
    }
  }
  AlphaMerge(pCopy, m_pPrevious);
  delete m_pCurrent;
  m_pCurrent = pCopy;
  Redraw();
}

void CXTPImageEditorPicture::OnMouseMove(UINT, CPoint point) {
  if (m_bTracking) TrackTo(CellFromPoint(point));
}

void CXTPImageEditorPicture::OnLButtonUp(UINT, CPoint) {
  if (!m_bTracking) return;
  ::ReleaseCapture();  // the capture change commits
  if (m_bTracking) {   // the capture was not ours any more
    m_bTracking = FALSE;
    Commit();
  }
}

void CXTPImageEditorPicture::OnCaptureChanged(CWnd*) {
  if (!m_bTracking) return;
  m_bTracking = FALSE;
  Commit();
}

// ---- Preview ------------------------------------------------------------------------------
BEGIN_MESSAGE_MAP(CXTPImageEditorPreview, CStatic)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CXTPImageEditorPreview::CXTPImageEditorPreview() : m_pDlg(nullptr), m_nWidth(16), m_nHeight(16) {}

BOOL CXTPImageEditorPreview::OnEraseBkgnd(CDC*) { return TRUE; }

void CXTPImageEditorPreview::OnPaint() {
  CPaintDC paintDC(this);
  CRect rc;
  GetClientRect(&rc);
  CXTPBufferDC dc(paintDC.m_hDC, rc);
  const COLORREF clrFace = ::GetSysColor(COLOR_3DFACE);
  dc.FillSolidRect(rc, clrFace);
  const CPoint pt(10, (rc.Height() - m_nHeight) / 2);
  CRect rcImage(pt, CSize(m_nWidth, m_nHeight));
  CRect rcFrame(rcImage);
  rcFrame.InflateRect(3, 3);
  dc.Draw3dRect(rcFrame, RGB(255, 255, 255), ::GetSysColor(COLOR_BTNSHADOW));
  rcFrame.InflateRect(1, 1);
  dc.Draw3dRect(rcFrame, clrFace, ::GetSysColor(COLOR_3DDKSHADOW));
  const CXTPImageEditorImage* pImage = m_pDlg != nullptr ? m_pDlg->m_wndPicture.GetImage() : nullptr;
  if (pImage == nullptr) return;
  if (pImage->IsAlpha()) {
    // Premultiplied for the per-pixel blend.
    CXTPImageEditorImage pre(pImage->GetWidth(), pImage->GetHeight(), TRUE);
    if (!pre.IsValid()) return;
    for (size_t i = 0; i < (size_t)pImage->GetWidth() * pImage->GetHeight(); i++) {
      const DWORD px = pImage->GetBits()[i];
      const DWORD a = px >> 24;
      pre.GetBits()[i] = (a << 24) | ((((px >> 16) & 0xFF) * a / 255) << 16) | ((((px >> 8) & 0xFF) * a / 255) << 8) |
                         ((px & 0xFF) * a / 255);
    }
    CXTPImageManagerIcon::DrawAlphaBitmap(&dc, pre.GetBitmap(), pt.x, pt.y, pImage->GetWidth(), pImage->GetHeight());
  } else {
    CXTPImageEditorImage* pCopy = CXTPImageEditorImage::CopyOf(pImage->GetBitmap(), FALSE,
                                                               CSize(pImage->GetWidth(), pImage->GetHeight()),
                                                               CPoint(0, 0), XTP_IMAGEEDITOR_TRANSPARENT, clrFace);
    if (pCopy == nullptr) return;
    HDC hdcMem = ::CreateCompatibleDC(dc.m_hDC);
    HGDIOBJ hOld = ::SelectObject(hdcMem, pCopy->GetBitmap());
    ::BitBlt(dc.m_hDC, pt.x, pt.y, pImage->GetWidth(), pImage->GetHeight(), hdcMem, 0, 0, SRCCOPY);
    ::SelectObject(hdcMem, hOld);
    ::DeleteDC(hdcMem);
    delete pCopy;
  }
}

// ---- Dialog -------------------------------------------------------------------------------
namespace {

// A button of an editor toolbar as the update handlers see it.
class CEditorButtonState : public CCmdUI {
 public:
  void Enable(BOOL bOn) override {
    m_pOther->SendMessage(TB_ENABLEBUTTON, m_nID, MAKELPARAM(bOn != FALSE, 0));
    m_bEnableChanged = TRUE;
  }
  void SetCheck(int nCheck) override { m_pOther->SendMessage(TB_CHECKBUTTON, m_nID, MAKELPARAM(nCheck != 0, 0)); }
};

}  // namespace

LRESULT CXTPImageEditorDlg::CEditorToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_IDLEUPDATECMDUI) return CToolBar::WindowProc(message, wParam, lParam);
  CWnd* pTarget = GetParent();
  if (!(GetStyle() & WS_VISIBLE) || pTarget == NULL) return 0;
  CEditorButtonState state;
  state.m_pOther = this;
  state.m_nIndexMax = (UINT)SendMessage(TB_BUTTONCOUNT, 0, 0);
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
    TBBUTTON b = {};
    if (!SendMessage(TB_GETBUTTON, state.m_nIndex, (LPARAM)&b) || (b.fsStyle & TBSTYLE_SEP)) continue;
    state.m_nID = (UINT)b.idCommand;
    state.DoUpdate(pTarget, FALSE);
  }
  return 0;
}

BEGIN_MESSAGE_MAP(CXTPImageEditorDlg, CDialog)
  ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
  ON_NOTIFY(NM_CLICK, kPickerFree, OnFreeColorClick)
  ON_NOTIFY_RANGE(NM_CLICK, kFirstColorName, kLastColorName, OnPaletteClick)
  ON_NOTIFY(NM_CLICK, kPickerTransparent, OnTransparentClick)
  ON_UPDATE_COMMAND_UI_RANGE(kFirstTool, kLastTool, OnUpdateTool)
  ON_COMMAND_RANGE(kFirstTool, kLastTool, OnTool)
  ON_UPDATE_COMMAND_UI(kUndo, OnUpdateUndo)
  ON_UPDATE_COMMAND_UI(kRedo, OnUpdateRedo)
  ON_COMMAND(kUndo, OnUndo)
  ON_COMMAND(kRedo, OnRedo)
  ON_COMMAND(kClear, OnClear)
  ON_COMMAND(kCopy, OnCopy)
  ON_COMMAND(kPaste, OnPaste)
  ON_COMMAND(kImport, OnImport)
  ON_COMMAND_RANGE(kMoveLeft, kMoveRight, OnMove)
  ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnToolTipText)
  ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
END_MESSAGE_MAP()

CXTPImageEditorDlg::CXTPImageEditorDlg(CWnd* pParent)
    : CDialog((UINT)kTemplate, pParent),
      m_pImage(nullptr),
      m_pSelected(nullptr),
      m_nCurrentTool(toolPencil),
      m_nPreviousTool(toolPencil),
      m_nWidth(16),
      m_nHeight(16) {
  m_wndPicture.SetEditor(this);
  m_wndPreview.SetEditor(this);
}

CXTPImageEditorDlg::~CXTPImageEditorDlg() { delete m_pImage; }

void CXTPImageEditorDlg::SetIcon(const CXTPImageManagerIconHandle& hIcon) {
  delete m_pImage;
  m_pImage = nullptr;
  const CSize size = hIcon.GetExtent();
  if (size.cx <= 0 || size.cy <= 0) return;
  m_nWidth = size.cx;
  m_nHeight = size.cy;
  if (size.cx > kMaxImageSide || size.cy > kMaxImageSide) return;  // refused by DoModal
  if (hIcon.IsAlpha()) {
    m_pImage = CXTPImageEditorImage::CopyOf(hIcon.GetBitmap(), TRUE, size);
    if (m_pImage != nullptr) {
      DWORD* pBits = m_pImage->GetBits();
      for (size_t i = 0; i < (size_t)size.cx * size.cy; i++) {
        if (pBits[i] == 0) pBits[i] = kTransparentPixel;
      }
    }
  } else if (hIcon.GetIcon() != NULL) {
    m_pImage = new CXTPImageEditorImage(size.cx, size.cy);
    if (!m_pImage->IsValid()) {
      delete m_pImage;
      m_pImage = nullptr;
      return;
    }
    HDC hdc = ::CreateCompatibleDC(NULL);
    HGDIOBJ hOld = ::SelectObject(hdc, m_pImage->GetBitmap());
    ::DrawIconEx(hdc, 0, 0, hIcon.GetIcon(), size.cx, size.cy, 0, NULL, DI_NORMAL);
    ::SelectObject(hdc, hOld);
    ::DeleteDC(hdc);
    ::GdiFlush();
    for (size_t i = 0; i < (size_t)size.cx * size.cy; i++) m_pImage->GetBits()[i] &= 0xFFFFFF;
  }
}

void CXTPImageEditorDlg::SetSize(int cx, int cy) {
  delete m_pImage;
  m_pImage = nullptr;
  m_nWidth = cx;
  m_nHeight = cy;
}

void CXTPImageEditorDlg::GetIcon(CXTPImageManagerIconHandle* phIcon) {
  if (phIcon == nullptr) return;
  phIcon->Clear();
  if (m_pImage == nullptr || !m_pImage->IsValid()) return;
  if (m_pImage->IsAlpha()) {
    phIcon->CopyHandle(m_pImage->GetBitmap());
    return;
  }
  HIMAGELIST hList = ImageList_Create(m_pImage->GetWidth(), m_pImage->GetHeight(), ILC_COLOR24 | ILC_MASK, 1, 1);
  if (hList == NULL) return;
  // The image list keeps its own copy; give it one it may change.
  CXTPImageEditorImage* pCopy = m_pImage->Clone();
  if (pCopy != nullptr) ImageList_AddMasked(hList, pCopy->GetBitmap(), XTP_IMAGEEDITOR_TRANSPARENT);
  delete pCopy;
  if (ImageList_GetImageCount(hList) == 1) {
    HICON hResult = ImageList_GetIcon(hList, 0, ILD_NORMAL);
    if (hResult != NULL) *phIcon = hResult;
  }
  ImageList_Destroy(hList);
}

INT_PTR CXTPImageEditorDlg::DoModal() {
  // An image larger than the editor can show at one pixel per cell is refused.
  if (m_nWidth <= 0 || m_nHeight <= 0 || m_nWidth > kMaxImageSide || m_nHeight > kMaxImageSide) return IDCANCEL;
  LPCDLGTEMPLATE lpTemplate = XTPResourceManager()->LoadDialogTemplate(kTemplate);
  if (lpTemplate == nullptr) return IDCANCEL;
  m_lpszTemplateName = NULL;
  InitModalIndirect(lpTemplate, m_pParentWnd);
  return CDialog::DoModal();
}

void CXTPImageEditorDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, kPlaceTools, m_wndToolsPlace);
  DDX_Control(pDX, kPlaceMove, m_wndMovePlace);
}

COLORREF CXTPImageEditorDlg::GetCurrentColor() const {
  return m_pSelected != nullptr ? m_pSelected->GetColor() : RGB(0, 0, 0);
}

void CXTPImageEditorDlg::FitPicture() {
  // The picture area must hold one pixel per image pixel and its frame; when it is
  // smaller, it grows, and what lies to its right or below moves out of its way.
  CWnd* pPicture = GetDlgItem(kPicture);
  if (pPicture == NULL) return;
  CRect rcPicture;
  pPicture->GetWindowRect(&rcPicture);
  ScreenToClient(&rcPicture);
  const int dx = std::max(0, m_nWidth + 1 - rcPicture.Width());
  const int dy = std::max(0, m_nHeight + 1 - rcPicture.Height());
  if (dx == 0 && dy == 0) return;
  for (CWnd* pChild = GetWindow(GW_CHILD); pChild != NULL; pChild = pChild->GetWindow(GW_HWNDNEXT)) {
    if (pChild == pPicture) continue;
    CRect rc;
    pChild->GetWindowRect(&rc);
    ScreenToClient(&rc);
    const int mx = rc.left >= rcPicture.right ? dx : 0;
    // What stands beside the picture moves right; what stands below it moves down.
    const int my = (mx == 0 && rc.top >= rcPicture.bottom) ? dy : 0;
    if (mx || my) pChild->SetWindowPos(NULL, rc.left + mx, rc.top + my, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  pPicture->SetWindowPos(NULL, 0, 0, rcPicture.Width() + dx, rcPicture.Height() + dy,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CRect rcWindow;
  GetWindowRect(&rcWindow);
  SetWindowPos(NULL, 0, 0, rcWindow.Width() + dx, rcWindow.Height() + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CXTPImageEditorDlg::PlaceToolBar(CToolBar& bar, CWnd& wndPlaceholder, const UINT* pIds, int nCount, BOOL bWrap) {
  if (!bar.CreateEx(this, TBSTYLE_FLAT | TBSTYLE_TOOLTIPS, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_TOOLTIPS,
                    CRect(0, 0, 0, 0), 0xE800)) {
    return;
  }
  bar.SendMessage(TB_SETPARENT, (WPARAM)m_hWnd, 0);
  bar.SetButtons(pIds, nCount);
  bar.SetSizes(CSize(23, 22), CSize(16, 16));
  for (int i = 0; i < nCount; i++) {
    bar.SetButtonInfo(i, pIds[i], TBBS_BUTTON, i);
    if (bWrap && (i % 4) == 3) bar.SetButtonStyle(i, bar.GetButtonStyle(i) | TBBS_WRAPPED);
  }
  CRect rcPlace;
  wndPlaceholder.GetWindowRect(&rcPlace);
  ScreenToClient(&rcPlace);
  const CSize size = bar.CalcFixedLayout(FALSE, TRUE);
  // Above the group box it stands in, which would otherwise clip it away.
  bar.SetWindowPos(&CWnd::wndTop, rcPlace.left - 7, rcPlace.top - 4, size.cx, size.cy, SWP_NOACTIVATE);
}

BOOL CXTPImageEditorDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  FitPicture();

  // Toolbars and their images: 32-bit images with common controls 6, else the grey-masked ones.
  const BOOL bComCtl6 = HIWORD(XTPReadComCtlVersion()) >= 6;
  CBitmap bmp;
  HBITMAP hImages = bComCtl6 ? XTPLoadAlphaBitmap(kBitmapTools32) : NULL;
  const BOOL bAlpha = hImages != NULL;
  if (hImages == NULL && XTPResourceManager()->LoadBitmap(&bmp, kBitmapTools)) hImages = (HBITMAP)bmp.Detach();
  const UINT nFlags = bAlpha ? (ILC_COLOR32 | ILC_MASK) : (ILC_COLOR24 | ILC_MASK);
  m_ilTools.Create(16, 16, nFlags, 16, 0);
  m_ilMove.Create(16, 16, nFlags, 16, 0);
  if (hImages != NULL) {
    if (bAlpha) {
      ImageList_Add(m_ilTools.m_hImageList, hImages, NULL);
      ImageList_Add(m_ilMove.m_hImageList, hImages, NULL);
    } else {
      ImageList_AddMasked(m_ilTools.m_hImageList, hImages, RGB(192, 192, 192));
      ImageList_AddMasked(m_ilMove.m_hImageList, hImages, RGB(192, 192, 192));
    }
    ::DeleteObject(hImages);
    // The move list keeps only the four arrows.
    for (int i = 0; i < 12 && ImageList_GetImageCount(m_ilMove.m_hImageList) > 4; i++)
      ImageList_Remove(m_ilMove.m_hImageList, 0);
  }
  PlaceToolBar(m_wndToolsBar, m_wndToolsPlace, kToolButtons, 12, TRUE);
  PlaceToolBar(m_wndMoveBar, m_wndMovePlace, kMoveButtons, 4, FALSE);
  // Image indexes: the tools bitmap holds the twelve images in the order of kToolButtons.
  if (m_wndToolsBar.m_hWnd) m_wndToolsBar.SendMessage(TB_SETIMAGELIST, 0, (LPARAM)m_ilTools.m_hImageList);
  if (m_wndMoveBar.m_hWnd) m_wndMoveBar.SendMessage(TB_SETIMAGELIST, 0, (LPARAM)m_ilMove.m_hImageList);

  // The palette at the colours placeholder: 11 x 11 pickers, 13 pixels apart.
  CRect rcColors(0, 0, 0, 0);
  if (CWnd* pPlace = GetDlgItem(kPlaceColors)) {
    pPlace->GetWindowRect(&rcColors);
    ScreenToClient(&rcColors);
  }
  for (int i = 0; i < 16; i++) {
    const int col = i % 8, row = i / 8;
    const CRect rc(CPoint(rcColors.left + col * 13, rcColors.top - 4 + row * 13), CSize(11, 11));
    m_wndPickers[i].Create(NULL, WS_CHILD | WS_VISIBLE | SS_NOTIFY, rc, this, kPalette[i].nID);
    m_wndPickers[i].SetColor(kPalette[i].clr);
  }
  SelectPicker(&m_wndPickers[0]);

  m_wndPickerTransparent.SubclassDlgItem(kPickerTransparent, this);
  m_wndPickerTransparent.SetColor(XTP_IMAGEEDITOR_TRANSPARENT);
  m_wndPickerFree.SubclassDlgItem(kPickerFree, this);
  m_wndPickerFree.SetColor(0);
  m_wndPicture.SubclassDlgItem(kPicture, this);
  m_wndPreview.SubclassDlgItem(kPreview, this);
  m_wndPreview.ModifyStyleEx(WS_EX_STATICEDGE, 0, SWP_FRAMECHANGED);
  m_wndPreview.SetImageSize(m_nWidth, m_nHeight);

  m_wndPicture.SizeCells(m_nWidth, m_nHeight);
  m_wndPicture.SetImage(m_pImage != nullptr ? m_pImage->Clone() : new CXTPImageEditorImage(m_nWidth, m_nHeight));
  SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
  return TRUE;
}

void CXTPImageEditorDlg::OnOK() {
  delete m_pImage;
  m_pImage = m_wndPicture.GetImage() != nullptr ? m_wndPicture.GetImage()->Clone() : nullptr;
  CDialog::OnOK();
}

LRESULT CXTPImageEditorDlg::OnKickIdle(WPARAM, LPARAM) {
  SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
  return 0;
}

void CXTPImageEditorDlg::SelectPicker(CXTPImageEditorPicker* pPicker) {
  if (m_pSelected != nullptr && m_pSelected != pPicker) m_pSelected->SetSelected(FALSE);
  m_pSelected = pPicker;
  if (pPicker != nullptr) pPicker->SetSelected(TRUE);
}

void CXTPImageEditorDlg::OnFreeColorClick(NMHDR*, LRESULT* pResult) {
  *pResult = 0;
  CColorDialog dlg(m_wndPickerFree.GetColor(), 0, this);
  if (dlg.DoModal() != IDOK) return;
  m_wndPickerFree.SetColor(dlg.GetColor());
  SelectPicker(&m_wndPickerFree);
}

void CXTPImageEditorDlg::OnPaletteClick(UINT nID, NMHDR*, LRESULT* pResult) {
  *pResult = 0;
  for (auto& picker : m_wndPickers) {
    if (picker.m_hWnd != NULL && (UINT)picker.GetDlgCtrlID() == nID) SelectPicker(&picker);
  }
}

void CXTPImageEditorDlg::OnTransparentClick(NMHDR*, LRESULT* pResult) {
  *pResult = 0;
  SelectPicker(&m_wndPickerTransparent);
}

void CXTPImageEditorDlg::ChooseTool(int nTool) {
  if (m_nCurrentTool != toolPick) m_nPreviousTool = m_nCurrentTool;
  m_nCurrentTool = nTool;
}

void CXTPImageEditorDlg::OnUpdateTool(CCmdUI* pCmdUI) { pCmdUI->SetCheck((int)(pCmdUI->m_nID - kFirstTool) == m_nCurrentTool); }
void CXTPImageEditorDlg::OnTool(UINT nID) { ChooseTool((int)(nID - kFirstTool)); }
void CXTPImageEditorDlg::OnUpdateUndo(CCmdUI* pCmdUI) { pCmdUI->Enable(m_wndPicture.CanUndo()); }
void CXTPImageEditorDlg::OnUpdateRedo(CCmdUI* pCmdUI) { pCmdUI->Enable(m_wndPicture.CanRedo()); }
void CXTPImageEditorDlg::OnUndo() { m_wndPicture.Undo(); }
void CXTPImageEditorDlg::OnRedo() { m_wndPicture.Redo(); }
void CXTPImageEditorDlg::OnClear() { m_wndPicture.Clear(); }

void CXTPImageEditorDlg::OnMove(UINT nID) {
  switch (nID) {
    case 9354: m_wndPicture.MoveImage(-1, 0); break;
    case 9355: m_wndPicture.MoveImage(0, 1); break;
    case 9356: m_wndPicture.MoveImage(0, -1); break;
    case 9357: m_wndPicture.MoveImage(1, 0); break;
    default: break;
  }
}

void CXTPImageEditorDlg::OnCopy() {
  const CXTPImageEditorImage* pImage = m_wndPicture.GetImage();
  if (pImage == nullptr) return;
  if (!::OpenClipboard(m_hWnd)) return;
  if (!::EmptyClipboard()) {
    ::CloseClipboard();
    return;
  }
  const COLORREF clrFace = XTPGetColorManager()->GetColor(COLOR_BTNFACE);
  CXTPImageEditorImage* pCopy = CXTPImageEditorImage::CopyOf(pImage->GetBitmap(), pImage->IsAlpha(),
                                                             CSize(pImage->GetWidth(), pImage->GetHeight()),
                                                             CPoint(0, 0), XTP_IMAGEEDITOR_TRANSPARENT, clrFace);
  if (pCopy != nullptr) {
    // The clipboard takes the bitmap over; the image object lets go of it.
    HBITMAP hBitmap = (HBITMAP)::CopyImage(pCopy->GetBitmap(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    delete pCopy;
    if (hBitmap != NULL && ::SetClipboardData(CF_BITMAP, hBitmap) == NULL) ::DeleteObject(hBitmap);
    if (pImage->IsAlpha()) {
      HGLOBAL hMarker = ::GlobalAlloc(GMEM_MOVEABLE, 1);
      if (hMarker != NULL && ::SetClipboardData(::RegisterClipboardFormatW(L"Alpha Bitmap Image"), hMarker) == NULL)
        ::GlobalFree(hMarker);
    }
  }
  ::CloseClipboard();
}

void CXTPImageEditorDlg::OnPaste() {
  COleDataObject data;
  if (!data.AttachClipboard() || !data.IsDataAvailable(CF_BITMAP)) return;
  FORMATETC fmt = {CF_BITMAP, NULL, DVASPECT_CONTENT, -1, TYMED_GDI};
  STGMEDIUM medium = {};
  if (!data.GetData(CF_BITMAP, &medium, &fmt)) return;
  if (medium.tymed != TYMED_GDI || medium.hBitmap == NULL) {
    ::ReleaseStgMedium(&medium);
    return;
  }
  // Alpha: a format whose registered name holds "DIB32" (not at its start), else the marker.
  BOOL bAlpha = FALSE;
  data.BeginEnumFormats();
  FORMATETC each = {};
  while (!bAlpha && data.GetNextFormat(&each)) {
    WCHAR szName[256] = {};
    if (::GetClipboardFormatNameW(each.cfFormat, szName, 255) > 0) {
      const WCHAR* pFound = wcsstr(szName, L"DIB32");
      if (pFound != nullptr && pFound != szName) bAlpha = TRUE;
    }
    if (each.ptd != NULL) ::CoTaskMemFree(each.ptd);
  }
  if (!bAlpha) bAlpha = data.IsDataAvailable((CLIPFORMAT)::RegisterClipboardFormatW(L"Alpha Bitmap Image"));
  // A clipboard bitmap that is not 32 bits has no alpha to keep.
  BITMAP bm = {};
  if (::GetObjectW(medium.hBitmap, sizeof(bm), &bm) == 0) {
    ::ReleaseStgMedium(&medium);
    return;
  }
  if (bm.bmBitsPixel != 32) bAlpha = FALSE;
  const COLORREF clrFace = XTPGetColorManager()->GetColor(COLOR_BTNFACE);
  CXTPImageEditorImage* pImage =
      bAlpha ? CXTPImageEditorImage::CopyOf(medium.hBitmap, TRUE, CSize(m_nWidth, m_nHeight))
             : CXTPImageEditorImage::CopyOf(medium.hBitmap, FALSE, CSize(m_nWidth, m_nHeight), CPoint(0, 0), clrFace,
                                            XTP_IMAGEEDITOR_TRANSPARENT);
  ::ReleaseStgMedium(&medium);
  m_wndPicture.ReplaceImage(pImage);
}

BOOL CXTPImageEditorDlg::ImportFile(LPCTSTR lpszPath) {
  CString strPath(lpszPath);
  CString strExt;
  const int nDot = strPath.ReverseFind(L'.');
  if (nDot >= 0) strExt = strPath.Mid(nDot + 1);
  strExt.MakeLower();
  const CSize size(m_nWidth, m_nHeight);
  CXTPImageEditorImage* pImage = nullptr;
  if (strExt == L"ico") {
    HBITMAP hAlpha = XTPLoadAlphaBitmapFile(strPath, m_nWidth);
    if (hAlpha != NULL) {
      pImage = CXTPImageEditorImage::CopyOf(hAlpha, TRUE, size);
      ::DeleteObject(hAlpha);
    } else {
      HICON hIcon = (HICON)::LoadImageW(NULL, strPath, IMAGE_ICON, m_nWidth, m_nHeight,
                                        LR_LOADFROMFILE | LR_CREATEDIBSECTION);
      if (hIcon != NULL) {
        pImage = new CXTPImageEditorImage(m_nWidth, m_nHeight);
        if (pImage->IsValid()) {
          HDC hdc = ::CreateCompatibleDC(NULL);
          HGDIOBJ hOld = ::SelectObject(hdc, pImage->GetBitmap());
          ::DrawIconEx(hdc, 0, 0, hIcon, m_nWidth, m_nHeight, 0, NULL, DI_NORMAL);
          ::SelectObject(hdc, hOld);
          ::DeleteDC(hdc);
          ::GdiFlush();
          for (size_t i = 0; i < (size_t)m_nWidth * m_nHeight; i++) pImage->GetBits()[i] &= 0xFFFFFF;
        }
        ::DestroyIcon(hIcon);
      }
    }
  } else if (strExt == L"bmp") {
    HBITMAP hBitmap = !BitmapFileIsWhole(strPath) ? NULL : (HBITMAP)::LoadImageW(NULL, strPath, IMAGE_BITMAP, 0, 0,
                                            LR_LOADFROMFILE | LR_CREATEDIBSECTION | LR_DEFAULTSIZE);
    if (hBitmap != NULL) {
      DIBSECTION ds = {};
      BOOL bAlpha = ::GetObjectW(hBitmap, sizeof(ds), &ds) == sizeof(ds) && ds.dsBmih.biBitCount == 32;
      if (bAlpha && ds.dsBm.bmBits != nullptr) {
        // A 32-bit file whose alpha bytes are all zero carries no alpha: shown as such it
        // would vanish.
        const DWORD* pBits = static_cast<const DWORD*>(ds.dsBm.bmBits);
        BOOL bAnyAlpha = FALSE;
        for (size_t i = 0; i < (size_t)ds.dsBm.bmWidth * ds.dsBm.bmHeight && !bAnyAlpha; i++)
          bAnyAlpha = (pBits[i] >> 24) != 0;
        bAlpha = bAnyAlpha;
      }
      pImage = CXTPImageEditorImage::CopyOf(hBitmap, bAlpha, size);
      ::DeleteObject(hBitmap);
    }
  } else {
    IPicture* pPicture = nullptr;
    const HRESULT hr = ::OleLoadPicturePath(const_cast<LPOLESTR>((LPCWSTR)strPath), NULL, 0, 0, IID_IPicture,
                                            reinterpret_cast<void**>(&pPicture));
    if (SUCCEEDED(hr) && pPicture != nullptr) {
      OLE_XSIZE_HIMETRIC hmWidth = 0;
      OLE_YSIZE_HIMETRIC hmHeight = 0;
      pPicture->get_Width(&hmWidth);
      pPicture->get_Height(&hmHeight);
      if (hmWidth > 0 && hmHeight > 0) {
        pImage = new CXTPImageEditorImage(m_nWidth, m_nHeight);
        if (pImage->IsValid()) {
          HDC hdc = ::CreateCompatibleDC(NULL);
          HGDIOBJ hOld = ::SelectObject(hdc, pImage->GetBitmap());
          const HRESULT hrRender =
              pPicture->Render(hdc, 0, 0, m_nWidth, m_nHeight, 0, hmHeight, hmWidth, -hmHeight, NULL);
          ::SelectObject(hdc, hOld);
          ::DeleteDC(hdc);
          ::GdiFlush();
          if (FAILED(hrRender)) {
            delete pImage;
            pImage = nullptr;
          } else {
            for (size_t i = 0; i < (size_t)m_nWidth * m_nHeight; i++) pImage->GetBits()[i] &= 0xFFFFFF;
          }
        }
      }
      pPicture->Release();
    }
  }
  if (pImage == nullptr || !pImage->IsValid()) {
    delete pImage;
    return FALSE;
  }
  m_wndPicture.ReplaceImage(pImage);
  return TRUE;
}

void CXTPImageEditorDlg::OnImport() {
  CString strFilter;
  XTPResourceManager()->LoadString(&strFilter, kFilter);
  CFileDialog dlg(TRUE, NULL, NULL, OFN_HIDEREADONLY, strFilter, this);
  if (dlg.DoModal() != IDOK) return;
  ImportFile(dlg.GetPathName());
}

CString CXTPImageEditorDlg::GetTipText(UINT nID) {
  CString strText;
  if (nID == 0 || !XTPResourceManager()->LoadString(&strText, nID)) return CString();
  const int nBreak = strText.Find(L'\n');
  return nBreak >= 0 ? strText.Mid(nBreak + 1) : CString();
}

BOOL CXTPImageEditorDlg::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult) {
  *pResult = 0;
  UINT_PTR nID = pNMHDR->idFrom;
  const BOOL bAnsi = pNMHDR->code == TTN_NEEDTEXTA;
  // Tips that name a window by handle name the control's id.
  const UINT uFlags = bAnsi ? reinterpret_cast<NMTTDISPINFOA*>(pNMHDR)->uFlags
                            : reinterpret_cast<NMTTDISPINFOW*>(pNMHDR)->uFlags;
  if (uFlags & TTF_IDISHWND) nID = (UINT_PTR)::GetDlgCtrlID((HWND)nID);
  const CString strTip = GetTipText((UINT)nID);
  // The record's buffer holds 80 characters with its terminator: at most 79 are copied.
  if (bAnsi) {
    auto* pInfo = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
    const int nMax = (int)(sizeof(pInfo->szText) / sizeof(pInfo->szText[0])) - 1;
    const int n = ::WideCharToMultiByte(CP_ACP, 0, strTip, std::min(strTip.GetLength(), nMax), pInfo->szText, nMax,
                                        NULL, NULL);
    pInfo->szText[std::max(0, std::min(n, nMax))] = '\0';
  } else {
    auto* pInfo = reinterpret_cast<NMTTDISPINFOW*>(pNMHDR);
    const int nMax = (int)(sizeof(pInfo->szText) / sizeof(pInfo->szText[0])) - 1;
    const int n = std::min(strTip.GetLength(), nMax);
    wmemcpy(pInfo->szText, (LPCWSTR)strTip, (size_t)n);
    pInfo->szText[n] = L'\0';
  }
  ::SetWindowPos(pNMHDR->hwndFrom, HWND_TOP, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE);
  return TRUE;
}
