// Drawing helpers on real pixels: gradients (msimg32 and by hand), clips, low colour,
// blends, mnemonics, dither, memory and buffer DCs, pixel pairs, corners, scope objects.
#include <framework.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "XTPColorManager.h"
#include "XTPDrawHelpers.h"
#include "test_window.h"

namespace {

// A memory DC over a top-down DIB section of bpp bits (8: a grey-ramp palette).
class DibCanvas {
 public:
  DibCanvas(int cx, int cy, int bpp = 32, COLORREF fill = RGB(0x12, 0x34, 0x56)) : m_cx(cx), m_cy(cy) {
    struct {
      BITMAPINFOHEADER bmih;
      RGBQUAD colors[256];
    } bmi = {};
    bmi.bmih.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmih.biWidth = cx;
    bmi.bmih.biHeight = -cy;
    bmi.bmih.biPlanes = 1;
    bmi.bmih.biBitCount = static_cast<WORD>(bpp);
    bmi.bmih.biCompression = BI_RGB;
    if (bpp == 8) {
      bmi.bmih.biClrUsed = 256;
      for (int i = 0; i < 256; i++) bmi.colors[i] = {static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    }
    m_hBitmap = ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bmi), DIB_RGB_COLORS, &m_pBits, nullptr, 0);
    m_dc.CreateCompatibleDC(nullptr);
    m_hOld = ::SelectObject(m_dc.m_hDC, m_hBitmap);
    m_dc.FillSolidRect(0, 0, cx, cy, fill);
  }
  ~DibCanvas() {
    ::SelectObject(m_dc.m_hDC, m_hOld);
    ::DeleteObject(m_hBitmap);
  }
  CDC* DC() { return &m_dc; }
  COLORREF Pixel(int x, int y) const { return ::GetPixel(m_dc.m_hDC, x, y); }
  int Width() const { return m_cx; }
  int Height() const { return m_cy; }

 private:
  int m_cx, m_cy;
  CDC m_dc;
  HBITMAP m_hBitmap = nullptr;
  HGDIOBJ m_hOld = nullptr;
  void* m_pBits = nullptr;
};

int ChannelDiff(COLORREF a, COLORREF b) {
  return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                   std::abs(GetBValue(a) - GetBValue(b))});
}

// Runs a block with the msimg32 binding switched off, then puts it back.
class HandDrawn {
 public:
  HandDrawn() : m_pfn(CXTPDrawHelpers::SetGradientFillProc(nullptr)) {}
  ~HandDrawn() { CXTPDrawHelpers::SetGradientFillProc(m_pfn); }

 private:
  PFNXTPGRADIENTFILL m_pfn;
};

const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kBack = RGB(0x12, 0x34, 0x56);

TEST(Gradient, MsImgIsBoundAtStart) { EXPECT_NE(nullptr, CXTPDrawHelpers::GetGradientFillProc()); }

struct GradientCase {
  CRect rect;
  COLORREF from, to;
  BOOL horizontal;
};

class GradientAgree : public ::testing::TestWithParam<GradientCase> {};

// msimg32 and the hand-drawn way give the same picture (within rounding).
TEST_P(GradientAgree, MsImgAndHandDrawnAgree) {
  const GradientCase& c = GetParam();
  DibCanvas lib(120, 90), hand(120, 90);
  CXTPDrawHelpers::GradientFill(lib.DC(), &c.rect, c.from, c.to, c.horizontal);
  {
    HandDrawn off;
    CXTPDrawHelpers::GradientFill(hand.DC(), &c.rect, c.from, c.to, c.horizontal);
  }
  int worst = 0;
  for (int y = 0; y < 90; y++)
    for (int x = 0; x < 120; x++) {
      const bool inside = c.rect.PtInRect(CPoint(x, y)) != FALSE;
      if (!inside) {
        ASSERT_EQ(kBack, lib.Pixel(x, y)) << x << "," << y;
        ASSERT_EQ(kBack, hand.Pixel(x, y)) << x << "," << y;
        continue;
      }
      worst = std::max(worst, ChannelDiff(lib.Pixel(x, y), hand.Pixel(x, y)));
    }
  EXPECT_LE(worst, 6);
  // The first line is the start colour, the last one near the end colour.
  EXPECT_EQ(c.from, hand.Pixel(c.rect.left, c.rect.top));
  const COLORREF last = hand.Pixel(c.rect.right - 1, c.rect.bottom - 1);
  const int steps = c.horizontal ? c.rect.Width() : c.rect.Height();
  EXPECT_LE(ChannelDiff(c.to, last), 255 / steps + 2);
}

INSTANTIATE_TEST_SUITE_P(Rects, GradientAgree,
                         ::testing::Values(GradientCase{CRect(0, 0, 120, 90), kRed, kBlue, TRUE},
                                           GradientCase{CRect(0, 0, 120, 90), kRed, kBlue, FALSE},
                                           GradientCase{CRect(10, 20, 110, 60), RGB(250, 240, 10), RGB(5, 60, 200), TRUE},
                                           GradientCase{CRect(10, 20, 110, 60), RGB(0, 0, 0), RGB(255, 255, 255), FALSE},
                                           GradientCase{CRect(3, 3, 7, 80), RGB(200, 100, 50), RGB(50, 100, 200), FALSE}));

TEST(Gradient, HandDrawnStaysInsideTheClipBox) {
  DibCanvas canvas(100, 60);
  HandDrawn off;
  canvas.DC()->IntersectClipRect(20, 10, 50, 40);
  const CRect rect(0, 0, 100, 60);
  CXTPDrawHelpers::GradientFill(canvas.DC(), &rect, kRed, kBlue, TRUE);
  canvas.DC()->SelectClipRgn(nullptr);
  EXPECT_EQ(kBack, canvas.Pixel(19, 20));
  EXPECT_EQ(kBack, canvas.Pixel(50, 20));
  EXPECT_EQ(kBack, canvas.Pixel(30, 9));
  EXPECT_EQ(kBack, canvas.Pixel(30, 40));
  // Inside, each column has the colour of its place in the whole rectangle.
  EXPECT_EQ(CXTPDrawHelpers::BlendColors(kRed, kBlue, 1.0f - 20 / 100.0f), canvas.Pixel(20, 10));
  EXPECT_EQ(CXTPDrawHelpers::BlendColors(kRed, kBlue, 1.0f - 49 / 100.0f), canvas.Pixel(49, 39));
}

TEST(Gradient, EqualColoursOrEmptyRectangles) {
  DibCanvas canvas(40, 40);
  const CRect rect(5, 5, 35, 35);
  CXTPDrawHelpers::GradientFill(canvas.DC(), &rect, kRed, kRed, TRUE);
  for (int y = 5; y < 35; y += 7)
    for (int x = 5; x < 35; x += 7) EXPECT_EQ(kRed, canvas.Pixel(x, y));
  const CRect empty(10, 10, 10, 30), inverted(30, 30, 10, 10);
  CXTPDrawHelpers::GradientFill(canvas.DC(), &empty, kBlue, kRed, TRUE);
  CXTPDrawHelpers::GradientFill(canvas.DC(), &inverted, kBlue, kRed, TRUE);
  CXTPDrawHelpers::GradientFill(canvas.DC(), nullptr, kBlue, kRed, TRUE);
  CXTPDrawHelpers::GradientFill(nullptr, &rect, kBlue, kRed, TRUE);
  EXPECT_EQ(kRed, canvas.Pixel(10, 10));
  EXPECT_EQ(kBack, canvas.Pixel(2, 2));
}

// An 8-bit DIB is a low-colour DC: the gradient is a solid fill of the first colour.
TEST(Gradient, SolidOnEightBitDibs) {
  DibCanvas canvas(60, 30, 8, RGB(0, 0, 0));
  EXPECT_TRUE(CXTPDrawHelpers::IsLowColor(canvas.DC()->GetSafeHdc()));
  const CRect rect(0, 0, 60, 30);
  const COLORREF grey = RGB(200, 200, 200);
  CXTPDrawHelpers::GradientFill(canvas.DC(), &rect, grey, RGB(10, 10, 10), TRUE);
  for (int x = 0; x < 60; x += 5) EXPECT_EQ(grey, canvas.Pixel(x, 15)) << x;
  DibCanvas deep(10, 10, 32);
  EXPECT_FALSE(CXTPDrawHelpers::IsLowColor(deep.DC()->GetSafeHdc()));
  DibCanvas mono(10, 10, 1);
  EXPECT_TRUE(CXTPDrawHelpers::IsLowColor(mono.DC()->GetSafeHdc()));
  EXPECT_FALSE(CXTPDrawHelpers::IsLowColor(nullptr));  // the test display has more colours
}

// A vertical gradient with a clip whose top lies inside starts with the blended colour.
TEST(Gradient, ClipRectCutsAndRecolours) {
  HandDrawn off;
  DibCanvas canvas(50, 100);
  const CRect rect(0, 0, 50, 100), clip(10, 25, 40, 75);
  CXTPDrawHelpers::GradientFill(canvas.DC(), &rect, kRed, kBlue, FALSE, &clip);
  // Cut to the clip on the other axis too.
  EXPECT_EQ(kBack, canvas.Pixel(5, 50));
  EXPECT_EQ(kBack, canvas.Pixel(45, 50));
  EXPECT_EQ(kBack, canvas.Pixel(20, 24));
  EXPECT_EQ(kBack, canvas.Pixel(20, 75));
  const COLORREF startAtClip = CXTPDrawHelpers::BlendColors(kRed, kBlue, (100 - 25) / 100.0f);
  EXPECT_EQ(startAtClip, canvas.Pixel(20, 25));
  const COLORREF endAtClip = CXTPDrawHelpers::BlendColors(kRed, kBlue, (100 - 75) / 100.0f);
  EXPECT_LE(ChannelDiff(endAtClip, canvas.Pixel(20, 74)), 4);
  // Wholly outside: nothing.
  DibCanvas other(50, 100);
  const CRect below(0, 80, 50, 100);
  CXTPDrawHelpers::GradientFill(other.DC(), &below, kRed, kBlue, FALSE, &clip);
  EXPECT_EQ(kBack, other.Pixel(20, 90));
  // Horizontal: the left edge cut to the clip's left.
  DibCanvas horz(100, 20);
  const CRect wide(0, 0, 100, 20), clipH(30, 0, 100, 20);
  CXTPDrawHelpers::GradientFill(horz.DC(), &wide, kRed, kBlue, TRUE, &clipH);
  EXPECT_EQ(kBack, horz.Pixel(29, 10));
  EXPECT_LE(ChannelDiff(CXTPDrawHelpers::BlendColors(kRed, kBlue, 0.7f), horz.Pixel(30, 10)), 2);
  // A null clip is the plain fill.
  DibCanvas plain(100, 20);
  CXTPDrawHelpers::GradientFill(plain.DC(), &wide, kRed, kBlue, TRUE, nullptr);
  EXPECT_EQ(kRed, plain.Pixel(0, 10));
}

TEST(Gradient, FactorSplitsTheFillAtTheMiddle) {
  HandDrawn off;
  DibCanvas canvas(101, 10);
  const CRect rect(0, 0, 101, 10);
  const CXTPGradientColor grc(kRed, kBlue, 0.75f);
  CXTPDrawHelpers::GradientFill(canvas.DC(), &rect, grc, TRUE);
  const COLORREF mid = CXTPDrawHelpers::BlendColors(kRed, kBlue, 0.75f);
  // Cut at right - width / 2 = 51.
  EXPECT_EQ(kRed, canvas.Pixel(0, 5));
  EXPECT_EQ(mid, canvas.Pixel(51, 5));
  EXPECT_NE(mid, canvas.Pixel(50, 5));
  EXPECT_LE(ChannelDiff(kBlue, canvas.Pixel(100, 5)), 255 / 50 + 2);
  // Factor 0.5: one fill, custom values win over standard ones.
  CXTPGradientColor custom(kRed, kBlue);
  custom.SetCustomValue(RGB(0, 255, 0), RGB(0, 255, 0));
  DibCanvas green(20, 20);
  const CRect small(0, 0, 20, 20);
  CXTPDrawHelpers::GradientFill(green.DC(), &small, custom, FALSE);
  EXPECT_EQ(RGB(0, 255, 0), green.Pixel(10, 10));
}

struct BlendCase {
  COLORREF a, b;
  float w;
  COLORREF expected;
};
class DrawBlend : public ::testing::TestWithParam<BlendCase> {};
TEST_P(DrawBlend, WeightedAndTruncated) {
  EXPECT_EQ(GetParam().expected, CXTPDrawHelpers::BlendColors(GetParam().a, GetParam().b, GetParam().w));
}
INSTANTIATE_TEST_SUITE_P(Cases, DrawBlend,
                         ::testing::Values(BlendCase{kRed, kBlue, 1.0f, kRed}, BlendCase{kRed, kBlue, 0.0f, kBlue},
                                           BlendCase{RGB(255, 255, 255), RGB(0, 0, 0), 0.5f, RGB(127, 127, 127)},
                                           BlendCase{RGB(10, 20, 30), RGB(20, 40, 60), 0.25f, RGB(17, 35, 52)},
                                           BlendCase{RGB(200, 200, 200), RGB(100, 100, 100), 1.5f, RGB(250, 250, 250)},
                                           BlendCase{RGB(255, 255, 255), RGB(200, 200, 200), 1.5f, RGB(255, 255, 255)}));

struct MnemonicCase {
  const wchar_t* text;
  const wchar_t* strip;    // StripMnemonics
  const wchar_t* xtStrip;  // XTStripMnemonics
};
class Mnemonics : public ::testing::TestWithParam<MnemonicCase> {};
TEST_P(Mnemonics, BothRules) {
  CString a = GetParam().text, b = GetParam().text;
  CXTPDrawHelpers::StripMnemonics(a);
  XTStripMnemonics(b);
  EXPECT_STREQ(GetParam().strip, (LPCWSTR)a);
  EXPECT_STREQ(GetParam().xtStrip, (LPCWSTR)b);
}
INSTANTIATE_TEST_SUITE_P(Texts, Mnemonics,
                         ::testing::Values(MnemonicCase{L"&&Save", L"&Save", L"&&Save"},
                                           MnemonicCase{L"&Save", L"Save", L"Save"},
                                           MnemonicCase{L"Save &As", L"Save As", L"Save As"},
                                           MnemonicCase{L"Fish &&& Chips", L"Fish & Chips", L"Fish && Chips"},
                                           MnemonicCase{L"Trailing&", L"Trailing", L"Trailing&"},
                                           MnemonicCase{L"&", L"", L"&"}, MnemonicCase{L"", L"", L""},
                                           MnemonicCase{L"&&", L"&", L"&&"},
                                           MnemonicCase{L"A&&&&B", L"A&&B", L"A&&&&B"}));

TEST(Dither, CheckerInFaceAndHighlightColours) {
  DibCanvas canvas(16, 16);
  const CRect rect(0, 0, 16, 16);
  canvas.DC()->SetBkColor(RGB(1, 2, 3));
  canvas.DC()->SetTextColor(RGB(4, 5, 6));
  XTPFillDitheredRect(canvas.DC(), &rect);
  CXTPColorManager* pManager = XTPGetColorManager();
  const COLORREF face = pManager->GetColor(15), light = pManager->GetColor(20);
  ASSERT_NE(face, light);
  // Neighbours differ, diagonal neighbours agree; both colours appear.
  int faces = 0, lights = 0;
  for (int y = 0; y < 16; y++)
    for (int x = 0; x < 16; x++) {
      const COLORREF c = canvas.Pixel(x, y);
      ASSERT_TRUE(c == face || c == light) << x << "," << y;
      (c == face ? faces : lights)++;
      if (x > 0) {
        EXPECT_NE(c, canvas.Pixel(x - 1, y));
      }
      if (x > 0 && y > 0) {
        EXPECT_EQ(c, canvas.Pixel(x - 1, y - 1));
      }
    }
  EXPECT_EQ(128, faces);
  EXPECT_EQ(128, lights);
  EXPECT_EQ(RGB(1, 2, 3), canvas.DC()->GetBkColor());
  EXPECT_EQ(RGB(4, 5, 6), canvas.DC()->GetTextColor());
}

// ---------------------------------------------------------------------------------------
// Memory and buffer DCs.

TEST(MemDC, FillsWithTheBackgroundAndCopiesBackAtTheRectangle) {
  DibCanvas target(80, 60);
  {
    CXTMemDC mem(target.DC(), CRect(10, 20, 50, 40), CXTPGradientColor(kRed, kRed));
    ASSERT_TRUE(mem.IsValid());
    EXPECT_TRUE(mem.IsKindOf(RUNTIME_CLASS(CXTMemDC)));
    EXPECT_EQ(kRed, mem.GetPixel(0, 0));
    mem.SetPixel(0, 0, kBlue);
    mem.SetPixel(39, 19, RGB(0, 255, 0));
    // Nothing reaches the target before destruction.
    EXPECT_EQ(kBack, target.Pixel(10, 20));
  }
  EXPECT_EQ(kBlue, target.Pixel(10, 20));
  EXPECT_EQ(RGB(0, 255, 0), target.Pixel(49, 39));
  EXPECT_EQ(kRed, target.Pixel(30, 30));
  EXPECT_EQ(kBack, target.Pixel(9, 20));
  EXPECT_EQ(kBack, target.Pixel(50, 39));
  EXPECT_EQ(kBack, target.Pixel(30, 40));
}

TEST(MemDC, EmptyRectangleCoversTheClipBox) {
  DibCanvas target(80, 60);
  target.DC()->IntersectClipRect(5, 6, 25, 16);
  {
    CXTMemDC mem(target.DC(), CRect(0, 0, 0, 0), CXTPGradientColor(kBlue));
    EXPECT_EQ(CRect(5, 6, 25, 16), mem.GetRect());
  }
  target.DC()->SelectClipRgn(nullptr);
  EXPECT_EQ(kBlue, target.Pixel(5, 6));
  EXPECT_EQ(kBlue, target.Pixel(24, 15));
  EXPECT_EQ(kBack, target.Pixel(25, 15));
}

TEST(MemDC, NoBackgroundMeansNoFillAndVerticalGradientOtherwise) {
  DibCanvas target(40, 100);
  {
    HandDrawn off;
    CXTMemDC mem(target.DC(), CRect(0, 0, 40, 100), CXTPGradientColor(kRed, kBlue), FALSE);
    EXPECT_EQ(kRed, mem.GetPixel(20, 0));
    EXPECT_EQ(CXTPDrawHelpers::BlendColors(kRed, kBlue, 0.5f), mem.GetPixel(20, 50));
  }
  EXPECT_EQ(CXTPDrawHelpers::BlendColors(kRed, kBlue, 0.5f), target.Pixel(5, 50));
  CXTPGradientColor none;  // end colour not set
  {
    CXTMemDC mem(target.DC(), CRect(0, 0, 40, 100), none);
    mem.FillSolidRect(0, 0, 10, 10, RGB(0, 255, 0));
    mem.Discard();
  }
  EXPECT_EQ(kRed, target.Pixel(5, 0));  // discarded: the target is untouched
}

TEST(MemDC, WithoutATargetItIsInvalidAndHarmless) {
  CXTMemDC mem(nullptr, CRect(0, 0, 10, 10), CXTPGradientColor(kRed));
  EXPECT_FALSE(mem.IsValid());
  EXPECT_EQ(nullptr, mem.GetSafeHdc());
}

TEST(BufferDC, BitmapReachesFromTheOriginAndOnlyTheRectangleIsCopied) {
  DibCanvas target(80, 60);
  {
    CXTPBufferDC buffer(target.DC()->GetSafeHdc(), CRect(30, 20, 70, 50));
    ASSERT_TRUE(buffer.IsValid());
    BITMAP bm = {};
    ::GetObjectW(::GetCurrentObject(buffer.GetSafeHdc(), OBJ_BITMAP), sizeof(bm), &bm);
    EXPECT_EQ(70, bm.bmWidth);
    EXPECT_EQ(50, bm.bmHeight);
    buffer.FillSolidRect(0, 0, 80, 60, kRed);  // also outside the rectangle
    buffer.SetPixel(30, 20, kBlue);
    EXPECT_EQ(kBack, target.Pixel(40, 30));
  }
  EXPECT_EQ(kBlue, target.Pixel(30, 20));
  EXPECT_EQ(kRed, target.Pixel(69, 49));
  EXPECT_EQ(kBack, target.Pixel(29, 30));
  EXPECT_EQ(kBack, target.Pixel(10, 10));
  EXPECT_EQ(kBack, target.Pixel(70, 49));
}

// On a real window: what the buffer drew is what the window shows.
TEST(BufferDC, PaintsARealWindow) {
  CWnd wnd;
  ASSERT_TRUE(testsupport::CreateTestWindow(wnd, CRect(40, 40, 200, 140), L"buffer"));
  ::UpdateWindow(wnd.GetSafeHwnd());
  {
    CClientDC dc(&wnd);
    CXTPBufferDC buffer(dc.GetSafeHdc(), CRect(0, 0, 160, 100));
    CXTPDrawHelpers::GradientFill(&buffer, CRect(0, 0, 160, 100), kRed, kBlue, TRUE);
  }
  CClientDC dc(&wnd);
  EXPECT_EQ(kRed, dc.GetPixel(0, 50));
  EXPECT_LE(ChannelDiff(kBlue, dc.GetPixel(159, 50)), 4);
  wnd.DestroyWindow();
}

TEST(PixelPairs, EachPixelBecomesTheAverageWithItsPartner) {
  DibCanvas canvas(10, 10, 32, RGB(0, 0, 0));
  canvas.DC()->SetPixel(1, 1, RGB(100, 200, 50));
  canvas.DC()->SetPixel(2, 1, RGB(201, 0, 51));
  canvas.DC()->SetPixel(5, 5, RGB(255, 255, 255));
  canvas.DC()->SetPixel(5, 6, RGB(0, 0, 0));
  canvas.DC()->SetPixel(8, 8, RGB(255, 255, 255));
  const POINT pairs[] = {{1, 1}, {1, 0}, {5, 5}, {0, 1}, {8, 8}};  // odd count: the last half is not read
  CXTPDrawHelpers::BlendPixelPairs(canvas.DC(), pairs, 5);
  EXPECT_EQ(RGB(150, 100, 50), canvas.Pixel(1, 1));
  EXPECT_EQ(RGB(201, 0, 51), canvas.Pixel(2, 1));  // the partner stays
  EXPECT_EQ(RGB(127, 127, 127), canvas.Pixel(5, 5));
  EXPECT_EQ(RGB(255, 255, 255), canvas.Pixel(8, 8));
  // The int form reads the same records.
  const int records[] = {2, 1, -1, 0};
  CXTPDrawHelpers::BlendPixelPairs(canvas.DC(), records, 2);
  EXPECT_EQ(RGB((201 + 150) / 2, 50, 50), canvas.Pixel(2, 1));
  CXTPDrawHelpers::BlendPixelPairs(nullptr, pairs, 4);
  CXTPDrawHelpers::BlendPixelPairs(canvas.DC(), static_cast<const POINT*>(nullptr), 4);
}

TEST(ExcludeCorners, LeavesTheFourCornerPixels) {
  DibCanvas canvas(30, 30);
  CXTPDrawHelpers::ExcludeCorners(canvas.DC(), 5, 6, 25, 20);
  canvas.DC()->FillSolidRect(0, 0, 30, 30, kRed);
  canvas.DC()->SelectClipRgn(nullptr);
  for (const CPoint& pt : {CPoint(5, 6), CPoint(24, 6), CPoint(5, 19), CPoint(24, 19)})
    EXPECT_EQ(kBack, canvas.Pixel(pt.x, pt.y)) << pt.x << "," << pt.y;
  for (const CPoint& pt : {CPoint(6, 6), CPoint(5, 7), CPoint(23, 6), CPoint(24, 18), CPoint(4, 6), CPoint(25, 19)})
    EXPECT_EQ(kRed, canvas.Pixel(pt.x, pt.y)) << pt.x << "," << pt.y;
  DibCanvas second(30, 30);
  CXTPDrawHelpers::ExcludeCorners(second.DC(), CRect(0, 0, 30, 30));
  second.DC()->FillSolidRect(0, 0, 30, 30, kRed);
  EXPECT_EQ(kBack, second.Pixel(29, 29));
  EXPECT_EQ(kRed, second.Pixel(28, 29));
  XTPDrawHelpers()->ExcludeCorners(nullptr, 0, 0, 1, 1);
}

TEST(ScopeObjects, SelectAndRestore) {
  DibCanvas canvas(20, 20);
  HDC hDC = canvas.DC()->GetSafeHdc();
  const HGDIOBJ pen0 = ::GetCurrentObject(hDC, OBJ_PEN), brush0 = ::GetCurrentObject(hDC, OBJ_BRUSH),
                font0 = ::GetCurrentObject(hDC, OBJ_FONT), bitmap0 = ::GetCurrentObject(hDC, OBJ_BITMAP);
  HGDIOBJ penInside = nullptr, brushInside = nullptr;
  {
    CXTPPenDC pen(hDC, kRed);
    EXPECT_EQ(kRed, pen.GetColor());
    penInside = ::GetCurrentObject(hDC, OBJ_PEN);
    EXPECT_NE(pen0, penInside);
    canvas.DC()->MoveTo(0, 3);
    canvas.DC()->LineTo(20, 3);
    EXPECT_EQ(kRed, canvas.Pixel(10, 3));
    CXTPBrushDC brush(hDC, kBlue);
    brushInside = ::GetCurrentObject(hDC, OBJ_BRUSH);
    brush.SetColor(RGB(0, 255, 0));
    EXPECT_EQ(0u, ::GetObjectType(brushInside));  // the first brush was deleted
    canvas.DC()->PatBlt(0, 10, 20, 5, PATCOPY);
    EXPECT_EQ(RGB(0, 255, 0), canvas.Pixel(10, 12));
    CFont font;
    font.CreatePointFont(90, L"Tahoma");
    CXTPFontDC fontDC(canvas.DC(), &font);
    EXPECT_EQ(font.GetSafeHandle(), ::GetCurrentObject(hDC, OBJ_FONT));
    CBitmap bitmap;
    bitmap.CreateBitmap(4, 4, 1, 32, nullptr);
    CXTPCompatibleDC compat(canvas.DC(), &bitmap);
    EXPECT_EQ(bitmap.GetSafeHandle(), ::GetCurrentObject(compat.GetSafeHdc(), OBJ_BITMAP));
  }
  EXPECT_EQ(pen0, ::GetCurrentObject(hDC, OBJ_PEN));
  EXPECT_EQ(brush0, ::GetCurrentObject(hDC, OBJ_BRUSH));
  EXPECT_EQ(font0, ::GetCurrentObject(hDC, OBJ_FONT));
  EXPECT_EQ(bitmap0, ::GetCurrentObject(hDC, OBJ_BITMAP));
  EXPECT_EQ(0u, ::GetObjectType(penInside));  // pens deleted
}

TEST(WindowRects, FromWindowsAndEmptyForNonWindows) {
  CWnd wnd;
  ASSERT_TRUE(testsupport::CreateTestWindow(wnd, CRect(30, 40, 130, 100), L"rects"));
  EXPECT_EQ(CRect(30, 40, 130, 100), CXTPWindowRect(&wnd));
  EXPECT_EQ(CRect(0, 0, 100, 60), CXTPClientRect(&wnd));
  EXPECT_TRUE(CXTPWindowRect(reinterpret_cast<HWND>(0x12345)).IsRectNull());
  EXPECT_TRUE(CXTPClientRect(static_cast<CWnd*>(nullptr)).IsRectNull());
  EXPECT_TRUE(CXTPEmptyRect().IsRectNull());
  ::SetCursorPos(50, 70);
  const CXTPClientCursorPos pos(&wnd);
  EXPECT_EQ(20, pos.x);
  EXPECT_EQ(30, pos.y);
  wnd.DestroyWindow();
}

TEST(MultiMonitor, WorkAreasWithAndWithoutTheMonitorFunctions) {
  CRect workArea;
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  EXPECT_EQ(workArea, CXTPMultiMonitor::GetWorkArea(CPoint(10, 10)));
  EXPECT_TRUE(XTPMultiMonitor()->IsBound());
  // A point on no monitor: no default monitor is asked for, so the primary work area.
  EXPECT_EQ(workArea, CXTPMultiMonitor::GetWorkArea(CPoint(-30000, -30000)));
  const CRect rect(100, 100, 200, 200);
  EXPECT_EQ(workArea, CXTPMultiMonitor::GetWorkArea(&rect));
  EXPECT_EQ(workArea, CXTPMultiMonitor::GetWorkArea(::GetDesktopWindow()));
  EXPECT_FALSE(XTPMultiMonitor()->Bind(nullptr));
  EXPECT_FALSE(XTPMultiMonitor()->IsBound());
  EXPECT_EQ(workArea, CXTPMultiMonitor::GetWorkArea(CPoint(10, 10)));
  EXPECT_EQ(workArea, CXTPMultiMonitor::GetWorkArea(&rect));
  EXPECT_TRUE(XTPMultiMonitor()->Bind(::GetModuleHandleW(L"user32.dll")));
}

TEST(MaskedBitmap, IconWithTheTopLeftColourTransparent) {
  EXPECT_EQ(nullptr, CXTPMaskedBitmap(nullptr).ExtractIcon());
  DibCanvas canvas(16, 16, 32, RGB(255, 0, 255));
  canvas.DC()->FillSolidRect(4, 4, 8, 8, kBlue);
  HBITMAP hBitmap = static_cast<HBITMAP>(::GetCurrentObject(canvas.DC()->GetSafeHdc(), OBJ_BITMAP));
  // The bitmap must not be selected anywhere while the image list copies it.
  HBITMAP hCopy = static_cast<HBITMAP>(::CopyImage(hBitmap, IMAGE_BITMAP, 0, 0, 0));
  HICON hIcon = CXTPMaskedBitmap(hCopy).ExtractIcon();
  ASSERT_NE(nullptr, hIcon);
  DibCanvas out(16, 16, 32, RGB(0, 255, 0));
  ::DrawIconEx(out.DC()->GetSafeHdc(), 0, 0, hIcon, 16, 16, 0, nullptr, DI_NORMAL);
  EXPECT_EQ(RGB(0, 255, 0), out.Pixel(0, 0));  // transparent
  EXPECT_EQ(kBlue, out.Pixel(8, 8));
  ::DestroyIcon(hIcon);
  ::DeleteObject(hCopy);
}

}  // namespace
