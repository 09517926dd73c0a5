// Drop shadows with real windows: the alpha values of the layered bitmaps at corners and
// bands (read from the bitmap handed to UpdateLayeredWindow, as Xvfb has no compositor),
// the lighter theme shadows, the solid 2-pixel band in the button-shadow colour without
// layered windows, the cut-out over the parent control, following the owner's hiding and
// destruction, and clicks passing through a shadow to the window below.
#include <framework.h>

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include <test_picture.h>

#include "CommandBarsTestSupport.h"
#include "XTPColorManager.h"
#include "XTPShadowManager.h"
#include "XTPShadowWnd.h"

using namespace cbtest;
using testsupport::CSnapshot;

namespace {

// What UpdateLayeredWindow was given, per window: size and the 32-bit pixels (bottom-up).
struct Applied {
  int cx = 0, cy = 0;
  std::vector<DWORD> bits;
  DWORD flags = 0;
  BLENDFUNCTION blend = {};
  DWORD Alpha(int x, int yFromTop) const { return bits[(cy - 1 - yFromTop) * cx + x] >> 24; }
};
std::map<HWND, Applied> g_applied;
CXTPShadowManager::PFNUPDATELAYEREDWINDOW g_pfnReal = NULL;

BOOL WINAPI RecordingUpdateLayeredWindow(HWND hWnd, HDC hdcDst, POINT* pptDst, SIZE* psize, HDC hdcSrc,
                                         POINT* pptSrc, COLORREF crKey, BLENDFUNCTION* pblend, DWORD dwFlags) {
  Applied a;
  a.cx = psize->cx;
  a.cy = psize->cy;
  a.flags = dwFlags;
  a.blend = *pblend;
  HBITMAP hBitmap = (HBITMAP)::GetCurrentObject(hdcSrc, OBJ_BITMAP);
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = a.cx;
  bmi.bmiHeader.biHeight = a.cy;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  a.bits.resize(a.cx * a.cy);
  ::GetDIBits(hdcSrc, hBitmap, 0, a.cy, a.bits.data(), &bmi, DIB_RGB_COLORS);
  g_applied[hWnd] = a;
  return g_pfnReal != NULL ? g_pfnReal(hWnd, hdcDst, pptDst, psize, hdcSrc, pptSrc, crKey, pblend, dwFlags) : TRUE;
}

class Shadows : public ::testing::Test {
 protected:
  void SetUp() override {
    ParkPointer();
    g_applied.clear();
    g_pfnReal = XTPShadowManager()->GetUpdateLayeredWindow();
    ASSERT_NE(nullptr, g_pfnReal) << "the platform offers layered windows";
    XTPShadowManager()->SetUpdateLayeredWindow(&RecordingUpdateLayeredWindow);
    XTPShadowManager()->SetSystemShadowOverride(1);
    ASSERT_TRUE(testsupport::CreateTestWindow(back, CRect(100, 100, 500, 420), L"below"));
    ASSERT_TRUE(popup.CreateAt(kPopup));
    PumpFor(30);
  }
  void TearDown() override {
    XTPShadowManager()->RemoveShadow(&popup);
    popup.DestroyWindow();
    back.DestroyWindow();
    XTPShadowManager()->SetUpdateLayeredWindow(g_pfnReal);
    XTPShadowManager()->SetSystemShadowOverride(-1);
    PumpFor(20);
    EXPECT_EQ(0, XTPShadowManager()->GetShadowCount());
  }
  // The bottom and right shadows of the popup.
  void Get(CXTPShadowWnd*& pBottom, CXTPShadowWnd*& pRight) {
    CArray<CXTPShadowWnd*, CXTPShadowWnd*> arr;
    XTPShadowManager()->GetShadows(&popup, arr);
    ASSERT_EQ(2, arr.GetSize());
    pBottom = arr[0];
    pRight = arr[1];
    ASSERT_TRUE(pBottom->IsHorizontal());
    ASSERT_FALSE(pRight->IsHorizontal());
  }
  // A picture of the alpha values (darker = more opaque), kept for a look.
  static void SaveAlphaPicture(const Applied& a, const wchar_t* name) {
    const int scale = 6;
    CSnapshot shot(a.cx * scale, a.cy * scale);
    for (int y = 0; y < a.cy; y++)
      for (int x = 0; x < a.cx; x++) {
        const int v = 255 - (int)a.Alpha(x, y) * 2;
        shot.DC().FillSolidRect(x * scale, y * scale, scale, scale, RGB(v, v, v));
      }
    shot.SavePng(testsupport::ArtifactPath(name));
  }

  const CRect kPopup = CRect(200, 150, 360, 300);
  CWnd back;
  CTestBar popup;
};

TEST_F(Shadows, LayeredShadowsSitAlongTheBottomAndRightWithTheirAlphaGradients) {
  XTPShadowManager()->SetShadow(&popup);
  CXTPShadowWnd *pBottom = nullptr, *pRight = nullptr;
  Get(pBottom, pRight);
  CRect rcBottom, rcRight;
  pBottom->GetWindowRect(&rcBottom);
  pRight->GetWindowRect(&rcRight);
  EXPECT_EQ(CRect(204, 300, 364, 304), rcBottom);
  EXPECT_EQ(CRect(360, 154, 364, 300), rcRight);
  EXPECT_TRUE(pBottom->GetExStyle() & WS_EX_LAYERED);
  EXPECT_TRUE(pBottom->IsWindowVisible());

  ASSERT_EQ(1u, g_applied.count(pBottom->m_hWnd));
  const Applied& b = g_applied[pBottom->m_hWnd];
  ASSERT_EQ(160, b.cx);
  ASSERT_EQ(4, b.cy);
  EXPECT_EQ((DWORD)ULW_ALPHA, b.flags);
  EXPECT_EQ(AC_SRC_ALPHA, b.blend.AlphaFormat);
  EXPECT_EQ(255, b.blend.SourceConstantAlpha);
  // Rows from the top: the top row (next to the popup) is j = 4, the bottom one j = 1.
  struct Px {
    int x, yFromTop;
    DWORD alpha;
  };
  for (const Px& p : {Px{0, 3, 6}, Px{0, 0, 24}, Px{3, 0, 96}, Px{3, 3, 24}, Px{159, 0, 24}, Px{156, 0, 96},
                      Px{80, 0, 120}, Px{80, 3, 30}, Px{4, 1, 90}, Px{155, 2, 60}}) {
    SCOPED_TRACE(testing::Message() << "bottom " << p.x << "," << p.yFromTop);
    EXPECT_EQ(p.alpha, b.Alpha(p.x, p.yFromTop));
  }
  EXPECT_EQ(0u, b.bits[0] & 0xFFFFFF) << "black shadow colour";

  const Applied& r = g_applied[pRight->m_hWnd];
  ASSERT_EQ(4, r.cx);
  ASSERT_EQ(146, r.cy);
  // Columns: x 0 (next to the popup) is i = 4, x 3 (outer edge) i = 1; rows k from the top.
  for (const Px& p : {Px{3, 0, 6}, Px{0, 0, 24}, Px{0, 3, 96}, Px{3, 3, 24}, Px{0, 4, 120}, Px{3, 4, 30},
                      Px{0, 145, 120}, Px{2, 100, 60}}) {
    SCOPED_TRACE(testing::Message() << "right " << p.x << "," << p.yFromTop);
    EXPECT_EQ(p.alpha, r.Alpha(p.x, p.yFromTop));
  }
  SaveAlphaPicture(b, L"commandbars\\shadow_bottom_alpha.png");
  SaveAlphaPicture(r, L"commandbars\\shadow_right_alpha.png");
}

TEST_F(Shadows, ThemeShadowsAreLighterTakeTheColourAndSpareTheParentControl) {
  popup.SetPaintManager(new CShadowPaintManager(TRUE, TRUE, RGB(200, 100, 40)));
  XTPShadowManager()->SetSystemShadowOverride(0);  // theme shadows do not ask the system
  const CRect rcControl(180, 290, 260, 310);       // overlaps the bottom shadow's left part
  XTPShadowManager()->SetShadow(&popup, rcControl);
  CXTPShadowWnd *pBottom = nullptr, *pRight = nullptr;
  Get(pBottom, pRight);
  EXPECT_TRUE(pBottom->IsThemeShadow());
  const Applied& b = g_applied[pBottom->m_hWnd];
  EXPECT_EQ(48u, b.Alpha(3, 0));   // 3 * 4 * 4
  EXPECT_EQ(60u, b.Alpha(80, 0));  // 15 * 1 * 4
  EXPECT_EQ(15u, b.Alpha(80, 3));
  // Middle band, j = 4: factor 1.0 of the colour; j = 1: 0.25.
  EXPECT_EQ((DWORD)((60u << 24) | (200u << 16) | (100u << 8) | 40u), b.bits[(4 - 1 - 0) * b.cx + 80]);
  EXPECT_EQ((DWORD)((15u << 24) | (50u << 16) | (25u << 8) | 10u), b.bits[(4 - 1 - 3) * b.cx + 80]);

  // The region leaves out the part over the control, in window coordinates.
  CRgn rgn;
  rgn.CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(ERROR, ::GetWindowRgn(pBottom->m_hWnd, (HRGN)rgn.GetSafeHandle()));
  EXPECT_FALSE(rgn.PtInRegion(0, 0));    // screen 204,300: inside the control
  EXPECT_FALSE(rgn.PtInRegion(55, 3));   // screen 259,303
  EXPECT_TRUE(rgn.PtInRegion(56, 0));    // screen 260,300: past it
  EXPECT_TRUE(rgn.PtInRegion(150, 3));
}

TEST_F(Shadows, WithoutSystemShadowsOrWithShadowsSwitchedOffThereAreNone) {
  struct Case {
    int system;
    bool themed;
    bool enabled;
    int expected;
  };
  for (const Case& c : {Case{0, false, true, 0}, Case{1, false, true, 2}, Case{0, true, true, 2},
                        Case{1, true, false, 0}}) {
    SCOPED_TRACE(testing::Message() << c.system << c.themed << c.enabled);
    popup.SetPaintManager(new CShadowPaintManager(c.themed, c.enabled));
    XTPShadowManager()->SetSystemShadowOverride(c.system);
    XTPShadowManager()->SetShadow(&popup);
    EXPECT_EQ(c.expected, XTPShadowManager()->GetShadowCount());
    XTPShadowManager()->RemoveShadow(&popup);
    EXPECT_EQ(0, XTPShadowManager()->GetShadowCount());
  }
}

TEST_F(Shadows, ShadowsHideShowAndDieWithTheirPopup) {
  XTPShadowManager()->SetShadow(&popup);
  CXTPShadowWnd *pBottom = nullptr, *pRight = nullptr;
  Get(pBottom, pRight);
  HWND hBottom = pBottom->m_hWnd, hRight = pRight->m_hWnd;
  popup.ShowWindow(SW_HIDE);
  EXPECT_FALSE(::IsWindowVisible(hBottom));
  EXPECT_FALSE(::IsWindowVisible(hRight));
  popup.ShowWindow(SW_SHOWNA);
  EXPECT_TRUE(::IsWindowVisible(hBottom));
  EXPECT_TRUE(::IsWindowVisible(hRight));
  popup.DestroyWindow();
  EXPECT_FALSE(::IsWindow(hBottom));
  EXPECT_FALSE(::IsWindow(hRight));
  EXPECT_EQ(0, XTPShadowManager()->GetShadowCount());
}

TEST_F(Shadows, WithoutLayeredWindowsAThemeShadowIsASolidTwoPixelBand) {
  XTPShadowManager()->SetUpdateLayeredWindow(NULL);
  popup.SetPaintManager(new CShadowPaintManager(TRUE));
  XTPShadowManager()->SetShadow(&popup);
  CXTPShadowWnd *pBottom = nullptr, *pRight = nullptr;
  Get(pBottom, pRight);
  EXPECT_FALSE(pBottom->GetExStyle() & WS_EX_LAYERED);
  CRect rcBottom, rcRight;
  pBottom->GetWindowRect(&rcBottom);
  pRight->GetWindowRect(&rcRight);
  EXPECT_EQ(CRect(202, 300, 362, 302), rcBottom);
  EXPECT_EQ(CRect(360, 152, 362, 300), rcRight);
  EXPECT_TRUE(g_applied.empty());
  PumpFor(60);

  // What the screen shows around the popup's bottom-right corner.
  CSnapshot shot(200, 200);
  {
    CClientDC screen(nullptr);
    shot.DC().BitBlt(0, 0, 200, 200, &screen, 200, 150, SRCCOPY);
  }
  shot.SavePng(testsupport::ArtifactPath(L"commandbars\\shadow_band_region_mode.png"));
  const COLORREF clrBand = XTPGetColorManager()->GetColor(COLOR_BTNSHADOW);
  const COLORREF clrBack = ::GetSysColor(COLOR_WINDOW);
  struct Px {
    int x, y;  // screen
    COLORREF clr;
  };
  for (const Px& p : {Px{250, 300, clrBand}, Px{250, 301, clrBand}, Px{250, 302, clrBack}, Px{201, 300, clrBack},
                      Px{360, 250, clrBand}, Px{361, 250, clrBand}, Px{362, 250, clrBack}, Px{361, 151, clrBack},
                      Px{361, 301, clrBand}}) {
    SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
    EXPECT_EQ(p.clr, shot.Pixel(p.x - 200, p.y - 150));
  }
}

TEST_F(Shadows, AClickOnAShadowReachesTheWindowBelow) {
  class CClickWnd : public CWnd {
   public:
    int nDowns = 0;

   protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
      if (message == WM_LBUTTONDOWN) nDowns++;
      return CWnd::WindowProc(message, wParam, lParam);
    }
  } below;
  ASSERT_TRUE(testsupport::CreateTestWindow(below, CRect(340, 280, 420, 340), L"click target"));
  popup.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  XTPShadowManager()->SetShadow(&popup);
  CXTPShadowWnd *pBottom = nullptr, *pRight = nullptr;
  Get(pBottom, pRight);
  EXPECT_EQ(HTTRANSPARENT, pRight->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(362, 290)));
  ClickAt(CPoint(362, 290));
  EXPECT_EQ(1, below.nDowns);
  ClickAt(CPoint(345, 302));  // the bottom shadow
  EXPECT_EQ(2, below.nDowns);
  below.DestroyWindow();
}

TEST_F(Shadows, ASubmenuShadowJoinsItsParentsAndCoversNoOpenPopup) {
  XTPShadowManager()->SetShadow(&popup);
  // A submenu one pixel into the parent's right edge, shorter than the parent.
  CTestBar sub;
  ASSERT_TRUE(sub.CreateAt(CRect(359, 180, 459, 260)));
  XTPShadowManager()->SetShadow(&sub);
  CArray<CXTPShadowWnd*, CXTPShadowWnd*> arr;
  XTPShadowManager()->GetShadows(&sub, arr);
  ASSERT_EQ(2, arr.GetSize());
  CRect rcBottom;
  arr[0]->GetWindowRect(&rcBottom);
  // Its bottom shadow reaches left under the parent's right shadow: 2 x 4 + 1 pixels.
  EXPECT_EQ(CRect(359 + 4 - 9, 260, 459 + 4, 264), rcBottom);
  CRgn rgn;
  rgn.CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(ERROR, ::GetWindowRgn(arr[0]->m_hWnd, (HRGN)rgn.GetSafeHandle()));
  // The part over the parent popup (x < 360) is left out, the rest stays.
  EXPECT_FALSE(rgn.PtInRegion(0, 0));   // screen 354
  EXPECT_FALSE(rgn.PtInRegion(5, 2));   // screen 359
  EXPECT_TRUE(rgn.PtInRegion(6, 2));    // screen 360
  EXPECT_TRUE(rgn.PtInRegion(50, 3));
  EXPECT_EQ(4, XTPShadowManager()->GetShadowCount());
  sub.DestroyWindow();
  EXPECT_EQ(2, XTPShadowManager()->GetShadowCount());
}

TEST(ShadowAlpha, BitsOfNarrowShadowsStayWithinTheirRows) {
  // A bottom shadow narrower than its two corners: the left corner wins, every value is
  // written once, nothing outside the buffer.
  std::vector<DWORD> bits(6 * 4 + 1, 0xDEADBEEF);
  CXTPShadowWnd::ComputeAlphaBits(bits.data(), 6, 4, TRUE, FALSE, RGB(0, 0, 0));
  EXPECT_EQ(0xDEADBEEFu, bits[24]);
  EXPECT_EQ(6u * 4 * 4, bits[(4 - 1) * 6 + 3] >> 24);
  EXPECT_EQ(6u * 2 * 4, bits[(4 - 1) * 6 + 4] >> 24);  // right corner, i = 2
  CXTPShadowWnd::ComputeAlphaBits(nullptr, 6, 4, TRUE, FALSE, 0);
  CXTPShadowWnd::ComputeAlphaBits(bits.data(), 0, 4, TRUE, FALSE, 0);
}

}  // namespace
