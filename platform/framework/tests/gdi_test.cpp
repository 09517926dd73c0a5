// Drawing classes checked by the pixels they leave in memory DCs.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>
#include <thread>

#include "framework.h"
#include "test_picture.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kMagenta = RGB(255, 0, 255);

// Copies cx x cy pixels of a DC into build/artifacts/fw_gdi_<name>.bmp, for a look by eye.
void SaveArtifactOf(CDC* pSource, int cx, int cy, const char* name) {
  testsupport::CSnapshot copy(cx, cy);
  copy.DC().BitBlt(0, 0, cx, cy, pSource, 0, 0, SRCCOPY);
  copy.SaveBmp(testsupport::ArtifactPath(L"fw_gdi_" + std::wstring(name, name + strlen(name)) + L".bmp"));
}

// A 32-bit top-down DIB section selected into a memory DC, filled white.
class GdiCanvas : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dc.CreateCompatibleDC(nullptr));
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = kSize;
    bmi.bmiHeader.biHeight = -kSize;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    ASSERT_TRUE(m_bitmap.Attach(::CreateDIBSection(m_dc, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0)));
    m_pOldBitmap = m_dc.SelectObject(&m_bitmap);
    m_dc.FillSolidRect(0, 0, kSize, kSize, kWhite);
  }
  void TearDown() override {
    m_dc.SelectObject(m_pOldBitmap);
    AfxDeleteTempGdiObjects();
  }

  void SaveArtifact(const char* name) { SaveArtifactOf(&m_dc, kSize, kSize, name); }

  // Number of pixels in r that are not white.
  int Inked(const CRect& r) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) n += m_dc.GetPixel(x, y) != kWhite;
    return n;
  }

  static constexpr int kSize = 64;
  CDC m_dc;
  CBitmap m_bitmap;
  CBitmap* m_pOldBitmap = nullptr;
};

TEST_F(GdiCanvas, FillSolidRectPaintsExactlyTheRectangleAndKeepsBkColor) {
  m_dc.SetBkColor(kBlue);
  m_dc.FillSolidRect(CRect(10, 10, 20, 15), kRed);
  EXPECT_EQ(kBlue, m_dc.GetBkColor());
  EXPECT_EQ(kRed, m_dc.GetPixel(10, 10));
  EXPECT_EQ(kRed, m_dc.GetPixel(19, 14));
  EXPECT_EQ(kWhite, m_dc.GetPixel(20, 14));
  EXPECT_EQ(kWhite, m_dc.GetPixel(19, 15));
  EXPECT_EQ(kWhite, m_dc.GetPixel(9, 10));
  EXPECT_EQ(50, Inked(CRect(0, 0, kSize, kSize)));
}

TEST_F(GdiCanvas, Draw3dRectFramesWithTwoColours) {
  m_dc.Draw3dRect(CRect(5, 5, 15, 12), kRed, kBlue);
  struct { int x, y; COLORREF c; } expect[] = {
      {5, 5, kRed},   {13, 5, kRed},   {5, 10, kRed},  {14, 5, kBlue}, {14, 11, kBlue},
      {5, 11, kBlue}, {6, 6, kWhite},  {13, 10, kWhite}, {15, 5, kWhite}, {5, 12, kWhite},
  };
  for (auto& e : expect) EXPECT_EQ(e.c, m_dc.GetPixel(e.x, e.y)) << e.x << "," << e.y;
  // Perimeter of a 10x7 rectangle.
  EXPECT_EQ(2 * 10 + 2 * 5, Inked(CRect(0, 0, kSize, kSize)));
  SaveArtifact("draw3drect");
}

TEST_F(GdiCanvas, LinesShapesAndPenSelection) {
  CPen pen(PS_SOLID, 1, kRed);
  CPen* pOld = m_dc.SelectObject(&pen);
  ASSERT_NE(nullptr, pOld);
  EXPECT_EQ(::GetStockObject(BLACK_PEN), pOld->GetSafeHandle());
  EXPECT_EQ(&pen, m_dc.GetCurrentPen());  // the attached wrapper, not a temporary
  m_dc.MoveTo(2, 40);
  EXPECT_TRUE(m_dc.LineTo(30, 40));
  EXPECT_EQ(CPoint(30, 40), m_dc.GetCurrentPosition());
  EXPECT_EQ(kRed, m_dc.GetPixel(2, 40));
  EXPECT_EQ(kRed, m_dc.GetPixel(29, 40));
  EXPECT_EQ(kWhite, m_dc.GetPixel(30, 40));  // the end point is not drawn

  CBrush brush(kGreen);
  CBrush* pOldBrush = m_dc.SelectObject(&brush);
  m_dc.Rectangle(40, 2, 50, 10);
  EXPECT_EQ(kRed, m_dc.GetPixel(40, 2));
  EXPECT_EQ(kGreen, m_dc.GetPixel(45, 6));
  POINT tri[] = {{40, 20}, {60, 20}, {40, 40}};
  m_dc.Polygon(tri, 3);
  EXPECT_EQ(kGreen, m_dc.GetPixel(43, 23));
  EXPECT_EQ(kWhite, m_dc.GetPixel(58, 38));
  m_dc.Ellipse(2, 50, 14, 62);
  EXPECT_EQ(kGreen, m_dc.GetPixel(8, 56));
  EXPECT_EQ(kWhite, m_dc.GetPixel(2, 50));  // outside the ellipse's corner
  // Flood fill stops at the red outline of the rectangle.
  CBrush blue(kBlue);
  m_dc.SelectObject(&blue);
  EXPECT_TRUE(m_dc.ExtFloodFill(45, 6, kGreen, FLOODFILLSURFACE));
  EXPECT_EQ(kBlue, m_dc.GetPixel(48, 8));
  EXPECT_EQ(kRed, m_dc.GetPixel(49, 9));
  EXPECT_EQ(kGreen, m_dc.GetPixel(43, 23)) << "the triangle is not connected to the rectangle";
  m_dc.SelectObject(pOldBrush);
  EXPECT_EQ(&pen, m_dc.SelectObject(pOld));
  SaveArtifact("shapes");
}

TEST_F(GdiCanvas, DrawTextCalcRectMatchesExtentAndInkStaysInside) {
  CFont font;
  ASSERT_TRUE(font.CreatePointFont(100, L"Tahoma"));
  CFont* pOld = m_dc.SelectObject(&font);
  const CString text(L"Hello");
  CSize extent = m_dc.GetTextExtent(text);
  EXPECT_GT(extent.cx, 10);
  EXPECT_EQ(extent, m_dc.GetOutputTextExtent(text.GetString(), text.GetLength()));

  CRect calc(4, 4, 4, 4);
  int height = m_dc.DrawText(text, calc, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(extent.cx, calc.Width());
  EXPECT_EQ(extent.cy, calc.Height());
  EXPECT_EQ(extent.cy, height);
  EXPECT_EQ(0, Inked(CRect(0, 0, kSize, kSize)));  // DT_CALCRECT draws nothing

  m_dc.SetTextColor(kBlack);
  m_dc.SetBkMode(TRANSPARENT);
  m_dc.DrawText(text, calc, DT_SINGLELINE | DT_NOPREFIX);
  int inside = Inked(calc);
  EXPECT_GT(inside, 20);
  EXPECT_EQ(inside, Inked(CRect(0, 0, kSize, kSize)));

  TEXTMETRIC tm{};
  ASSERT_TRUE(m_dc.GetTextMetrics(&tm));
  EXPECT_EQ(tm.tmHeight, extent.cy);
  int widths[5] = {};
  ASSERT_TRUE(m_dc.GetCharWidth(L'H', L'L', widths));
  EXPECT_GT(widths[0], 0);  // 'H'
  CString face;
  m_dc.GetTextFace(face);
  EXPECT_STREQ(L"Tahoma", face);

  // DrawTextEx expands tabs at the given tab length (in average character widths).
  DRAWTEXTPARAMS params{sizeof(params), 8, 0, 0, 0};
  CRect tabbed(0, 0, 0, 0);
  m_dc.DrawTextEx(CString(L"a\tb"), tabbed, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP, &params);
  EXPECT_GE(tabbed.Width(), 8 * tm.tmAveCharWidth);

  // An ellipsis shortens only the drawn text, never the caller's string.
  CRect narrow(0, 40, 20, 60);
  m_dc.DrawText(text, narrow, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING);
  EXPECT_STREQ(L"Hello", text);
  m_dc.SelectObject(pOld);
  LOGFONT lf{};
  font.GetLogFont(&lf);
  EXPECT_LT(lf.lfHeight, 0);
  EXPECT_STREQ(L"Tahoma", lf.lfFaceName);
  SaveArtifact("drawtext");
}

TEST_F(GdiCanvas, ClippingExcludesIntersectsAndResets) {
  m_dc.ExcludeClipRect(CRect(10, 10, 20, 20));
  m_dc.FillSolidRect(0, 0, kSize, kSize, kRed);
  EXPECT_EQ(kWhite, m_dc.GetPixel(15, 15));
  EXPECT_EQ(kRed, m_dc.GetPixel(9, 15));
  EXPECT_EQ(kRed, m_dc.GetPixel(20, 15));
  EXPECT_EQ(kSize * kSize - 100, Inked(CRect(0, 0, kSize, kSize)));

  EXPECT_EQ(SIMPLEREGION, m_dc.SelectClipRgn(nullptr));
  EXPECT_EQ(SIMPLEREGION, m_dc.IntersectClipRect(CRect(30, 30, 40, 35)));
  CRect box;
  EXPECT_EQ(SIMPLEREGION, m_dc.GetClipBox(box));
  EXPECT_EQ(CRect(30, 30, 40, 35), box);
  m_dc.FillSolidRect(0, 0, kSize, kSize, kBlue);
  EXPECT_EQ(kBlue, m_dc.GetPixel(30, 30));
  EXPECT_EQ(kRed, m_dc.GetPixel(29, 30));

  CRgn rgn;
  rgn.CreateRectRgn(0, 0, 5, 5);
  m_dc.SelectClipRgn(&rgn);
  m_dc.GetClipBox(box);
  EXPECT_EQ(CRect(0, 0, 5, 5), box);
  m_dc.SelectClipRgn(nullptr);
  m_dc.GetClipBox(box);
  EXPECT_EQ(CRect(0, 0, kSize, kSize), box);
  SaveArtifact("clipping");
}

TEST_F(GdiCanvas, SaveDcRestoreDcRestoresObjectsColoursAndClip) {
  CFont font1, font2;
  font1.CreatePointFont(90, L"Tahoma");
  font2.CreatePointFont(140, L"Tahoma");
  CPen pen1(PS_SOLID, 1, kRed), pen2(PS_SOLID, 3, kBlue);
  CFont* pOldFont = m_dc.SelectObject(&font1);
  CPen* pOldPen = m_dc.SelectObject(&pen1);
  m_dc.SetTextColor(kRed);

  int saved = m_dc.SaveDC();
  ASSERT_NE(0, saved);
  m_dc.SelectObject(&font2);
  m_dc.SelectObject(&pen2);
  m_dc.SetTextColor(kGreen);
  m_dc.IntersectClipRect(0, 0, 3, 3);
  EXPECT_EQ(&font2, m_dc.GetCurrentFont());
  ASSERT_TRUE(m_dc.RestoreDC(saved));

  EXPECT_EQ(&font1, m_dc.GetCurrentFont());
  EXPECT_EQ(&pen1, m_dc.GetCurrentPen());
  EXPECT_EQ(kRed, m_dc.GetTextColor());
  CRect box;
  m_dc.GetClipBox(box);
  EXPECT_EQ(CRect(0, 0, kSize, kSize), box);

  // -1 restores the latest saved state.
  m_dc.SaveDC();
  m_dc.SelectObject(&pen2);
  ASSERT_TRUE(m_dc.RestoreDC(-1));
  EXPECT_EQ(&pen1, m_dc.GetCurrentPen());
  m_dc.SelectObject(pOldPen);
  m_dc.SelectObject(pOldFont);
}

TEST_F(GdiCanvas, BlitsPatternsAndInversion) {
  CDC src;
  ASSERT_TRUE(src.CreateCompatibleDC(&m_dc));
  CBitmap bmp;
  ASSERT_TRUE(bmp.CreateCompatibleBitmap(&m_dc, 4, 4));
  CBitmap* pOld = src.SelectObject(&bmp);
  EXPECT_EQ(&bmp, src.GetCurrentBitmap());
  src.FillSolidRect(0, 0, 4, 4, kBlue);
  src.SetPixel(0, 0, kRed);
  BITMAP info{};
  ASSERT_TRUE(bmp.GetBitmap(&info));
  EXPECT_EQ(4, info.bmWidth);

  EXPECT_TRUE(m_dc.BitBlt(10, 10, 4, 4, &src, 0, 0, SRCCOPY));
  EXPECT_EQ(kRed, m_dc.GetPixel(10, 10));
  EXPECT_EQ(kBlue, m_dc.GetPixel(13, 13));
  EXPECT_TRUE(m_dc.StretchBlt(20, 20, 8, 8, &src, 0, 0, 4, 4, SRCCOPY));
  EXPECT_EQ(kRed, m_dc.GetPixel(21, 21));  // the 1x1 red pixel becomes 2x2
  EXPECT_EQ(kBlue, m_dc.GetPixel(22, 22));
  src.SelectObject(pOld);

  m_dc.PatBlt(40, 40, 5, 5, BLACKNESS);
  EXPECT_EQ(kBlack, m_dc.GetPixel(44, 44));
  m_dc.InvertRect(CRect(40, 40, 42, 42));
  EXPECT_EQ(kWhite, m_dc.GetPixel(41, 41));
  EXPECT_EQ(kBlack, m_dc.GetPixel(42, 42));

  CBrush hatch(HS_CROSS, kRed);
  m_dc.FillRect(CRect(0, 50, 8, 58), &hatch);
  EXPECT_GT(Inked(CRect(0, 50, 8, 58)), 0);
  CBrush frame(kGreen);
  m_dc.FrameRect(CRect(50, 0, 60, 8), &frame);
  EXPECT_EQ(kGreen, m_dc.GetPixel(50, 0));
  EXPECT_EQ(kWhite, m_dc.GetPixel(55, 4));
  SaveArtifact("blits");
}

TEST_F(GdiCanvas, MappingModesConvertPoints) {
  m_dc.SetViewportOrg(10, 20);
  CPoint pt(5, 5);
  m_dc.LPtoDP(&pt);
  EXPECT_EQ(CPoint(15, 25), pt);
  m_dc.DPtoLP(&pt);
  EXPECT_EQ(CPoint(5, 5), pt);
  EXPECT_EQ(CPoint(10, 20), m_dc.OffsetViewportOrg(-10, -20));
  m_dc.SetWindowOrg(3, 4);
  m_dc.FillSolidRect(3, 4, 1, 1, kRed);
  EXPECT_EQ(kRed, m_dc.GetPixel(3, 4)) << "GetPixel takes logical coordinates too";
  m_dc.SetWindowOrg(0, 0);
  EXPECT_EQ(kRed, m_dc.GetPixel(0, 0));

  m_dc.SetMapMode(MM_ANISOTROPIC);
  m_dc.SetWindowExt(1, 1);
  m_dc.SetViewportExt(2, 2);
  CSize size(3, 4);
  m_dc.LPtoDP(&size);
  EXPECT_EQ(CSize(6, 8), size);
  EXPECT_EQ(MM_ANISOTROPIC, m_dc.GetMapMode());
}

TEST_F(GdiCanvas, ImageListDrawsThroughItsMask) {
  CImageList images;
  ASSERT_TRUE(images.Create(8, 8, ILC_COLOR24 | ILC_MASK, 2, 2));
  // Image: magenta (the mask colour) with a red 4x4 block in the top-left corner.
  CDC src;
  src.CreateCompatibleDC(&m_dc);
  CBitmap strip;
  strip.CreateCompatibleBitmap(&m_dc, 16, 8);
  CBitmap* pOld = src.SelectObject(&strip);
  src.FillSolidRect(0, 0, 16, 8, kMagenta);
  src.FillSolidRect(0, 0, 4, 4, kRed);
  src.FillSolidRect(8, 0, 8, 8, kBlue);
  src.SelectObject(pOld);
  EXPECT_EQ(0, images.Add(&strip, kMagenta));
  EXPECT_EQ(2, images.GetImageCount());

  IMAGEINFO info{};
  ASSERT_TRUE(images.GetImageInfo(1, &info));
  EXPECT_EQ(8, CRect(info.rcImage).Width());

  m_dc.FillSolidRect(0, 0, 20, 20, kGreen);
  EXPECT_TRUE(images.Draw(&m_dc, 0, CPoint(2, 2), ILD_TRANSPARENT));
  EXPECT_EQ(kRed, m_dc.GetPixel(3, 3));
  EXPECT_EQ(kGreen, m_dc.GetPixel(8, 8));  // masked: the background shows through
  EXPECT_TRUE(images.DrawEx(&m_dc, 1, CPoint(30, 2), CSize(8, 8), CLR_NONE, CLR_NONE, ILD_NORMAL));
  EXPECT_EQ(kBlue, m_dc.GetPixel(33, 5));

  HICON icon = images.ExtractIcon(0);
  ASSERT_NE(nullptr, icon);
  EXPECT_EQ(2, images.Add(icon));
  EXPECT_EQ(3, images.GetImageCount());
  m_dc.DrawIconEx(50, 2, icon, 8, 8);
  EXPECT_EQ(kRed, m_dc.GetPixel(51, 3));
  ::DestroyIcon(icon);

  EXPECT_TRUE(images.Remove(1));
  EXPECT_EQ(2, images.GetImageCount());
  EXPECT_TRUE(images.Remove(-1));
  EXPECT_EQ(0, images.GetImageCount());
  SaveArtifact("imagelist");

  HIMAGELIST h = images.Detach();
  EXPECT_EQ(nullptr, images.GetSafeHandle());
  CImageList* pTemp = CImageList::FromHandle(h);
  EXPECT_EQ(h, pTemp->m_hImageList);
  EXPECT_TRUE(images.Attach(h));
  EXPECT_EQ(&images, CImageList::FromHandle(h));
}

TEST_F(GdiCanvas, DrawStateDrawsAnIcon) {
  CImageList images;
  images.Create(8, 8, ILC_COLOR24 | ILC_MASK, 1, 1);
  CBitmap bmp;
  bmp.CreateCompatibleBitmap(&m_dc, 8, 8);
  CDC src;
  src.CreateCompatibleDC(&m_dc);
  CBitmap* pOld = src.SelectObject(&bmp);
  src.FillSolidRect(0, 0, 8, 8, kBlue);
  src.SelectObject(pOld);
  images.Add(&bmp, kMagenta);
  HICON icon = images.ExtractIcon(0);
  EXPECT_TRUE(m_dc.DrawState(10, 10, 8, 8, icon, DSS_NORMAL, nullptr));
  EXPECT_EQ(kBlue, m_dc.GetPixel(12, 12));
  ::DestroyIcon(icon);
}

// ---------------------------------------------------------------------------------------
TEST(GdiWrappers, TemporariesAreReusedPerHandleAndFreedOnRequest) {
  AfxDeleteTempGdiObjects();
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CPen red(PS_SOLID, 1, kRed);
  // Painting the same way many times creates one temporary for the stock pen, not many.
  for (int i = 0; i < 100; ++i) {
    CPen* pOld = dc.SelectObject(&red);
    dc.SelectObject(pOld);
  }
  EXPECT_EQ(1, AfxGetTempGdiObjectCount());
  CGdiObject* pStock1 = CGdiObject::FromHandle(::GetStockObject(BLACK_BRUSH));
  EXPECT_EQ(pStock1, CGdiObject::FromHandle(::GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(2, AfxGetTempGdiObjectCount());
  AfxDeleteTempGdiObjects();
  EXPECT_EQ(0, AfxGetTempGdiObjectCount());
  // Temporaries never own their handle: the stock object is still usable.
  EXPECT_EQ(OBJ_BRUSH, static_cast<DWORD>(::GetObjectType(::GetStockObject(BLACK_BRUSH))));

  // A foreign HDC gets a temporary CDC that does not delete it.
  HDC hdc = ::CreateCompatibleDC(nullptr);
  CDC* pTempDC = CDC::FromHandle(hdc);
  EXPECT_EQ(hdc, pTempDC->GetSafeHdc());
  AfxDeleteTempGdiObjects();
  EXPECT_NE(0, ::GetDeviceCaps(hdc, BITSPIXEL));
  ::DeleteDC(hdc);
}

TEST(GdiWrappers, AttachDetachOwnershipAndNullSafety) {
  HBRUSH h = ::CreateSolidBrush(kRed);
  {
    CBrush brush;
    EXPECT_TRUE(brush.Attach(h));
    EXPECT_EQ(&brush, CBrush::FromHandle(h));
    EXPECT_EQ(h, brush.Detach());
    EXPECT_NE(&brush, CBrush::FromHandle(h));  // now a temporary
  }
  EXPECT_EQ(OBJ_BRUSH, static_cast<DWORD>(::GetObjectType(h)));  // detached: not deleted
  {
    CBrush brush;
    brush.Attach(h);
  }
  EXPECT_EQ(0u, static_cast<DWORD>(::GetObjectType(h)));  // owned: deleted with the wrapper
  AfxDeleteTempGdiObjects();

  CPen* pNoPen = nullptr;
  CDC* pNoDC = nullptr;
  CImageList* pNoList = nullptr;
  EXPECT_EQ(nullptr, pNoPen->GetSafeHandle());
  EXPECT_EQ(nullptr, pNoDC->GetSafeHdc());
  EXPECT_EQ(nullptr, pNoList->GetSafeHandle());
  EXPECT_EQ(nullptr, CPen::FromHandle(nullptr));
  EXPECT_EQ(nullptr, CDC::FromHandle(nullptr));
  CBrush empty;
  EXPECT_FALSE(empty.DeleteObject());
  EXPECT_THROW(
      {
        try {
          CBrush bad(static_cast<CBitmap*>(nullptr));
        } catch (CResourceException* e) {
          e->Delete();
          throw 1;
        }
      },
      int);
}

TEST(GdiWrappers, TemporaryTablesArePerThread) {
  AfxDeleteTempGdiObjects();
  CGdiObject::FromHandle(::GetStockObject(WHITE_PEN));
  int countOnWorker = -1, countAfterClean = -1;
  std::thread worker([&] {
    CGdiObject::FromHandle(::GetStockObject(WHITE_PEN));
    CGdiObject::FromHandle(::GetStockObject(GRAY_BRUSH));
    countOnWorker = AfxGetTempGdiObjectCount();
    AfxDeleteTempGdiObjects();
    countAfterClean = AfxGetTempGdiObjectCount();
    CGdiObject::FromHandle(::GetStockObject(GRAY_BRUSH));  // left for thread exit to free
  });
  worker.join();
  EXPECT_EQ(2, countOnWorker);
  EXPECT_EQ(0, countAfterClean);
  EXPECT_EQ(1, AfxGetTempGdiObjectCount());
  AfxDeleteTempGdiObjects();
}

TEST(GdiWrappers, RegionsCombineCopyAndHitTest) {
  CRgn a, b, c;
  ASSERT_TRUE(a.CreateRectRgn(0, 0, 10, 10));
  ASSERT_TRUE(b.CreateRectRgn(5, 5, 20, 20));
  ASSERT_TRUE(c.CreateRectRgn(0, 0, 0, 0));
  EXPECT_EQ(COMPLEXREGION, c.CombineRgn(&a, &b, RGN_OR));
  CRect box;
  c.GetRgnBox(box);
  EXPECT_EQ(CRect(0, 0, 20, 20), box);
  EXPECT_TRUE(c.PtInRegion(2, 2));
  EXPECT_TRUE(c.PtInRegion(CPoint(15, 15)));
  EXPECT_FALSE(c.PtInRegion(15, 2));
  CRgn d;
  d.CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(COMPLEXREGION, d.CopyRgn(&c));
  EXPECT_TRUE(d.EqualRgn(&c));
  d.SetRectRgn(1, 2, 3, 4);
  EXPECT_EQ(SIMPLEREGION, d.GetRgnBox(box));
  EXPECT_EQ(CRect(1, 2, 3, 4), box);
  POINT tri[] = {{0, 0}, {10, 0}, {0, 10}};
  CRgn e;
  ASSERT_TRUE(e.CreatePolygonRgn(tri, 3, ALTERNATE));
  EXPECT_TRUE(e.PtInRegion(2, 2));
  EXPECT_FALSE(e.PtInRegion(8, 8));
  CRgn round;
  ASSERT_TRUE(round.CreateRoundRectRgn(0, 0, 20, 20, 10, 10));
  EXPECT_FALSE(round.PtInRegion(0, 0));  // the corner is cut off
  EXPECT_TRUE(round.PtInRegion(10, 0));
  CRgn f;
  EXPECT_FALSE(f.CreatePolygonRgn(nullptr, 0, ALTERNATE));
}

TEST(GdiWrappers, BrushAndPenKindsDescribeThemselves) {
  struct BrushCase {
    const char* what;
    std::function<BOOL(CBrush&)> create;
    UINT style;
  };
  CBitmap pattern;
  WORD bits[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
  ASSERT_TRUE(pattern.CreateBitmap(8, 8, 1, 1, bits));
  const BrushCase cases[] = {
      {"solid", [](CBrush& b) { return b.CreateSolidBrush(kRed); }, BS_SOLID},
      {"hatch", [](CBrush& b) { return b.CreateHatchBrush(HS_DIAGCROSS, kRed); }, BS_HATCHED},
      {"pattern", [&](CBrush& b) { return b.CreatePatternBrush(&pattern); }, BS_PATTERN},
      {"system colour", [](CBrush& b) { return b.CreateSysColorBrush(COLOR_WINDOW); }, BS_SOLID},
      {"stock", [](CBrush& b) { return b.CreateStockObject(NULL_BRUSH); }, BS_NULL},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CBrush brush;
    ASSERT_TRUE(c.create(brush));
    LOGBRUSH lb{};
    ASSERT_NE(0, brush.GetLogBrush(&lb));
    EXPECT_EQ(c.style, lb.lbStyle);
    EXPECT_EQ(static_cast<UINT>(OBJ_BRUSH), brush.GetObjectType());
  }
  CPen pen;
  ASSERT_TRUE(pen.CreatePen(PS_DOT, 1, kBlue));
  LOGPEN lp{};
  pen.GetLogPen(&lp);
  EXPECT_EQ(static_cast<UINT>(PS_DOT), lp.lopnStyle);
  EXPECT_EQ(kBlue, lp.lopnColor);
}

}  // namespace

namespace {

// ---------------------------------------------------------------------------------------
// Window DCs on a real top-level window: painting through CPaintDC, reading back through
// CClientDC, the frame through CWindowDC.
LRESULT CALLBACK PaintingWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  if (nMsg == WM_PAINT) {
    CPaintDC dc(CWnd::FromHandle(hWnd));
    EXPECT_EQ(hWnd, dc.m_hWnd);
    CRect rc;
    ::GetClientRect(hWnd, rc);
    dc.FillSolidRect(rc, kBlue);
    dc.FillSolidRect(10, 10, 20, 20, kRed);
    return 0;
  }
  return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
}

TEST(GdiWindowDCs, PaintClientAndWindowDCsDrawOnTheWindow) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = PaintingWndProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"FwGdiPaintTest";
  ::RegisterClassW(&wc);
  HWND hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"paint", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 200,
                                150, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(nullptr, hWnd);
  ::UpdateWindow(hWnd);
  {
    CClientDC dc(CWnd::FromHandle(hWnd));
    EXPECT_EQ(kRed, dc.GetPixel(15, 15));
    EXPECT_EQ(kBlue, dc.GetPixel(40, 40));
    EXPECT_EQ(CWnd::FromHandle(hWnd), dc.GetWindow());
    SaveArtifactOf(&dc, 180, 100, "window");
  }
  {
    CWindowDC dc(CWnd::FromHandle(hWnd));
    CRect rcWindow;
    ::GetWindowRect(hWnd, rcWindow);
    // The window DC starts at the frame's corner: the client area is further in.
    POINT client{15, 15};
    ::ClientToScreen(hWnd, &client);
    EXPECT_EQ(kRed, dc.GetPixel(client.x - rcWindow.left, client.y - rcWindow.top));
  }
  EXPECT_THROW(
      {
        try {
          CPaintDC dc(nullptr);
        } catch (CResourceException* e) {
          e->Delete();
          throw 1;
        }
      },
      int);
  ::DestroyWindow(hWnd);
  AfxDeleteTempMap();
}

}  // namespace

namespace {

// ---------------------------------------------------------------------------------------
// Bitmaps and image lists from resources of this program.
const UINT IDB_TEST_STRIP = 501;
const UINT kOemCheck = 32760;  // OBM_CHECK, which winuser.h declares only under OEMRESOURCE

TEST(GdiResourceBitmaps, LoadBitmapOemBitmapAndMappedBitmap) {
  CBitmap strip;
  ASSERT_TRUE(strip.LoadBitmap(IDB_TEST_STRIP));
  BITMAP bm{};
  strip.GetBitmap(&bm);
  EXPECT_EQ(32, bm.bmWidth);
  EXPECT_EQ(16, bm.bmHeight);
  CBitmap missing;
  EXPECT_FALSE(missing.LoadBitmap(9999));
  EXPECT_EQ(nullptr, missing.GetSafeHandle());

  CBitmap check;
  ASSERT_TRUE(check.LoadOEMBitmap(kOemCheck));
  EXPECT_NE(0, check.GetBitmap(&bm));

  // Mapping magenta to green: the mapped copy shows green where the file has magenta.
  COLORMAP map = {RGB(255, 0, 255), RGB(0, 255, 0)};
  CBitmap mapped;
  ASSERT_TRUE(mapped.LoadMappedBitmap(IDB_TEST_STRIP, 0, &map, 1));
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap* pOld = dc.SelectObject(&mapped);
  EXPECT_EQ(kGreen, dc.GetPixel(12, 12));
  EXPECT_EQ(kRed, dc.GetPixel(2, 2));
  dc.SelectObject(pOld);
}

TEST(GdiResourceBitmaps, ImageListFromResourceUsesTheMaskColour) {
  CImageList images;
  ASSERT_TRUE(images.Create(IDB_TEST_STRIP, 16, 1, kMagenta));
  EXPECT_EQ(2, images.GetImageCount());
  int cx = 0, cy = 0;
  images.GetIconSize(&cx, &cy);
  EXPECT_EQ(16, cx);
  EXPECT_EQ(16, cy);

  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap canvas;
  canvas.CreateCompatibleBitmap(nullptr, 40, 20);
  CBitmap* pOld = dc.SelectObject(&canvas);
  dc.FillSolidRect(0, 0, 40, 20, kWhite);
  images.Draw(&dc, 0, CPoint(0, 0), ILD_TRANSPARENT);
  images.Draw(&dc, 1, CPoint(20, 0), ILD_NORMAL);
  EXPECT_EQ(kRed, dc.GetPixel(3, 3));
  EXPECT_EQ(kWhite, dc.GetPixel(12, 12));  // mask colour: transparent
  EXPECT_EQ(kBlue, dc.GetPixel(30, 10));
  SaveArtifactOf(&dc, 40, 20, "imagelist_resource");
  dc.SelectObject(pOld);

  CImageList copy;
  ASSERT_TRUE(copy.Create(&images));
  EXPECT_EQ(2, copy.GetImageCount());
  CBitmap replacement;
  replacement.CreateCompatibleBitmap(nullptr, 16, 16);
  EXPECT_TRUE(copy.Replace(1, &replacement, static_cast<CBitmap*>(nullptr)));
  CImageList none;
  EXPECT_FALSE(none.Create(9999, 16, 1, kMagenta));
}

}  // namespace
