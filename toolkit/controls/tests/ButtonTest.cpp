// The themed button under real mouse input: hot within a tick, pressed, a double click as
// two clicks, checked, disabled and focus looks; image and text positions per alignment;
// the theme kinds and colour schemes; a new theme number reaching every button that has
// no private theme.
#include <framework.h>

#include <gtest/gtest.h>

#include "ControlsTestSupport.h"
#include "XTButton.h"
#include "XTPColorManager.h"
#include "controls_test_res.h"

#include <test_picture.h>

using namespace controlstest;
using testsupport::CSnapshot;
using testsupport::WindowArea;

namespace {

const UINT kButtonId = 100;

class Button : public ::testing::Test {
 protected:
  void SetUp() override {
    ParkMouse();
    ASSERT_TRUE(parent.CreateAt(CRect(60, 60, 460, 360)));
    ASSERT_TRUE(button.Create(L"&Push", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(20, 20, 140, 60), &parent,
                              kButtonId));
    Activate(parent.m_hWnd);
    PumpFor(30);
  }
  void TearDown() override {
    button.DestroyWindow();
    parent.DestroyWindow();
    PumpFor(20);
  }
  // The colour the button shows at a client point now.
  COLORREF PixelAt(CXTButton& b, int x, int y) {
    b.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    CSnapshot shot(b.m_hWnd, WindowArea::Client);
    return shot.Pixel(x, y);
  }
  bool Shows(CXTButton& b, COLORREF clr) {
    b.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    CSnapshot shot(b.m_hWnd, WindowArea::Client);
    return shot.Contains(CRect(0, 0, shot.Width(), shot.Height()), clr);
  }
  CPoint Outside() { return CPoint(300, 330); }

  CRecordingParent parent;
  CXTButton button;
};

COLORREF Sys(int n) { return ::GetSysColor(n); }

TEST_F(Button, IsOwnerDrawnAndDrawsTheClassicLookOfTheSharedTheme) {
  EXPECT_EQ(button.GetStyle() & 0x0F, (DWORD)BS_OWNERDRAW);
  ASSERT_NE(button.GetTheme(), nullptr);
  EXPECT_EQ(button.GetTheme()->GetThemeKind(), 0);
  EXPECT_EQ(button.GetThemeStyle(), (DWORD)BS_XT_FLAT);
  EXPECT_EQ(PixelAt(button, 0, 0), Sys(COLOR_BTNFACE)) << "a flat button has no frame while idle";
  EXPECT_TRUE(Shows(button, Sys(COLOR_BTNTEXT)));
}

TEST_F(Button, TurnsHotWithinATickAndColdWithinATickOfLeaving) {
  MoveMouse(CenterOf(button.m_hWnd), 0);
  EXPECT_TRUE(PumpUntil([&] { return button.IsHot() != FALSE; }, 40));
  EXPECT_EQ(PixelAt(button, 0, 0), Sys(COLOR_BTNHIGHLIGHT)) << "hot: highlight top-left";
  EXPECT_EQ(PixelAt(button, 119, 39), Sys(COLOR_BTNSHADOW)) << "hot: shadow bottom-right";
  MoveMouse(Outside(), 0);
  EXPECT_TRUE(PumpUntil([&] { return button.IsHot() == FALSE; }, 40));
  EXPECT_EQ(PixelAt(button, 0, 0), Sys(COLOR_BTNFACE));
}

TEST_F(Button, PressedLooksSunkenAndReleasingClicksOnce) {
  MoveMouse(CenterOf(button.m_hWnd));
  MouseButton(true);
  PumpFor(60);
  EXPECT_TRUE(button.IsButtonPressed());
  EXPECT_FALSE(button.IsHot()) << "hot tracking stops while pressed";
  EXPECT_EQ(PixelAt(button, 0, 0), Sys(COLOR_BTNSHADOW)) << "pressed: shadow top-left";
  MouseButton(false);
  PumpFor(60);
  EXPECT_FALSE(button.IsButtonPressed());
  EXPECT_EQ(parent.Count(WM_COMMAND, BN_CLICKED, kButtonId), 1);
}

TEST_F(Button, DoubleClickActsAsTwoClicks) {
  DoubleClick(CenterOf(button.m_hWnd));
  PumpFor(50);
  EXPECT_EQ(parent.Count(WM_COMMAND, BN_CLICKED, kButtonId), 2);
}

TEST_F(Button, CheckedLooksPressedWithTheTwoPixelBorder) {
  button.SetThemeStyle(0, TRUE);
  EXPECT_EQ(PixelAt(button, 0, 0), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(PixelAt(button, 119, 39), Sys(COLOR_3DDKSHADOW));
  button.SetChecked(TRUE);
  EXPECT_EQ(PixelAt(button, 0, 0), Sys(COLOR_3DDKSHADOW)) << "checked: the frames exchange";
  EXPECT_EQ(PixelAt(button, 1, 1), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(PixelAt(button, 119, 39), Sys(COLOR_BTNHIGHLIGHT));
}

TEST_F(Button, DisabledDrawsItsTextInTheDisabledColour) {
  EXPECT_TRUE(Shows(button, Sys(COLOR_BTNTEXT)));
  button.EnableWindow(FALSE);
  EXPECT_TRUE(Shows(button, Sys(COLOR_GRAYTEXT)));
  EXPECT_FALSE(Shows(button, Sys(COLOR_BTNTEXT)));
}

TEST_F(Button, FocusRectangleOnlyWithTheFocusBitAndTheFocus) {
  // How many pixels of the row two pixels below the top differ from the face.
  auto dotsOnRow = [this]() {
    button.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    CSnapshot shot(button.m_hWnd, WindowArea::Client);
    int n = 0;
    for (int x = 2; x < 118; x++)
      if (shot.Pixel(x, 2) != Sys(COLOR_BTNFACE)) n++;
    return n;
  };
  button.SetThemeStyle(BS_XT_SHOWFOCUS, TRUE);
  parent.SetFocus();
  PumpFor(20);
  EXPECT_EQ(dotsOnRow(), 0);
  button.SetFocus();
  PumpFor(20);
  EXPECT_GT(dotsOnRow(), 20) << "a dotted rectangle two pixels inside";
  button.SetThemeStyle(0, TRUE);
  EXPECT_EQ(dotsOnRow(), 0) << "without the focus bit no rectangle";
}

TEST_F(Button, ImageAndTextPositionsPerAlignment) {
  ASSERT_TRUE(button.SetIconResources(CSize(16, 16), (UINT)IDI_TEST_NORMAL, (UINT)0, TRUE));
  CXTButtonTheme* pTheme = button.GetTheme();
  CClientDC dc(&button);
  CFont* pOld = dc.SelectObject(button.GetFont());
  CString plain;
  button.GetButtonText(plain, TRUE);
  EXPECT_STREQ((LPCWSTR)plain, L"Push");
  CSize text = dc.GetTextExtent(plain);
  dc.SelectObject(pOld);
  const int tw = text.cx, th = text.cy;
  CRect item(0, 0, 120, 40);

  // The button is 120 x 40; image gap 4, text gap 8; the text's right limit is 118.
  struct Row {
    const char* what;
    DWORD align;
    bool twoRows;
    bool image;
    int textX, textY, imageX, imageY;
  } rows[] = {
      {"left", BS_LEFT, false, true, 4 + 16 + 8, (40 - th) / 2, 4, 12},
      {"left, no image", BS_LEFT, false, false, 4 + 8, (40 - th) / 2, 4, 12},
      {"right", BS_RIGHT, false, true, 118 - 4 - tw, (40 - th) / 2, 4, 12},
      {"centre", BS_CENTER, false, true, 20 + (118 - 4 - tw - 20) / 2, (40 - th) / 2, 4, 12},
      {"centre, no image", BS_CENTER, false, false, 4 + (118 - 4 - tw - 4) / 2, (40 - th) / 2, 4, 12},
      {"none means centre", 0, false, true, 20 + (118 - 4 - tw - 20) / 2, (40 - th) / 2, 4, 12},
      {"above, centre", BS_CENTER, true, true, 4 + (118 - 4 - tw - 4) / 2, (40 - th) / 2 + 4 + 8, 52,
       12 - (4 + th / 2)},
      {"above, left", BS_LEFT, true, true, 4, (40 - th) / 2 + 4 + 8, 4, 12 - (4 + th / 2)},
      {"above, right", BS_RIGHT, true, true, 118 - 4 - tw, (40 - th) / 2 + 4 + 8, 120 - 4 - 16, 12 - (4 + th / 2)},
  };
  for (const Row& row : rows) {
    button.ModifyStyle(BS_CENTER, row.align);
    button.SetThemeStyle(row.twoRows ? BS_XT_TWOROWS : 0, FALSE);
    pTheme = button.GetTheme();
    if (!row.image) button.ToggleImages();
    CSize size = text;
    const CPoint ptText = pTheme->GetTextPosition(&dc, 0, item, size, &button);
    EXPECT_EQ(ptText, CPoint(row.textX, row.textY)) << row.what;
    if (row.image) {
      const CPoint ptImage = pTheme->GetImagePosition(&dc, 0, item, TRUE, &button);
      EXPECT_EQ(ptImage, CPoint(row.imageX, row.imageY)) << row.what;
      // The icon's red mark shows where the image is drawn (ring of 1, mark 2..4).
      button.SetThemeStyle(row.twoRows ? BS_XT_TWOROWS : 0, TRUE);
      EXPECT_EQ(PixelAt(button, ptImage.x + 2, ptImage.y + 2), RGB(255, 0, 0)) << row.what;
    } else {
      button.ToggleImages();
    }
  }

  // Without text a centred image is centred both ways; user positions win over all.
  button.SetWindowText(L"");
  button.ModifyStyle(BS_CENTER | BS_VCENTER, BS_CENTER | BS_VCENTER);
  button.SetThemeStyle(0, FALSE);
  EXPECT_EQ(button.GetTheme()->GetImagePosition(&dc, 0, item, TRUE, &button), CPoint(52, 12));
  button.SetImageTextPositions(CPoint(3, 5), CPoint(30, 7), FALSE);
  CSize size = text;
  EXPECT_EQ(button.GetTheme()->GetImagePosition(&dc, 0, item, TRUE, &button), CPoint(3, 5));
  EXPECT_EQ(button.GetTheme()->GetTextPosition(&dc, 0, item, size, &button), CPoint(30, 7));
}

TEST_F(Button, IconSizeFallsBackToTheIconsOwnAndMissingResourcesFail) {
  HICON hIcon = (HICON)::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_TEST_NORMAL), IMAGE_ICON, 16, 16, 0);
  ASSERT_NE(hIcon, nullptr);
  EXPECT_TRUE(button.SetIconHandles(CSize(0, 0), hIcon, (HICON)NULL, TRUE));
  EXPECT_EQ(button.GetImageSize(), CSize(16, 16));
  ::DestroyIcon(hIcon);  // the button keeps its own copy
  EXPECT_EQ(PixelAt(button, 4 + 2, 12 + 2), RGB(255, 0, 0));
  EXPECT_FALSE(button.SetIconResources(CSize(16, 16), (UINT)9999, (UINT)0, TRUE));
  EXPECT_FALSE(button.SetIconResources(CSize(16, 16), (UINT)IDI_TEST_NORMAL, (UINT)9999, TRUE));
  EXPECT_TRUE(button.SetIconResources(CSize(16, 16), (UINT)IDI_TEST_NORMAL, (UINT)IDI_TEST_HOT, TRUE));
  EXPECT_FALSE(button.SetBitmapResource(CSize(16, 16), 9999, TRUE));
}

TEST(ButtonThemes, FactoryNumbersGiveTheirKinds) {
  CXTButtonThemeFactory factory;
  const struct {
    int number;
    int kind;  // 0 classic, 1 highlight, 2 scheme
  } rows[] = {{0, 0}, {1, 1}, {2, 2}, {3, 0}, {-1, 0}, {1000, 0}};
  for (const auto& row : rows) {
    CXTThemeManagerStyle* pTheme = factory.CreateTheme(row.number);
    const int kind = dynamic_cast<CXTButtonThemeScheme*>(pTheme) ? 2 : dynamic_cast<CXTButtonThemeHighlight*>(pTheme) ? 1 : 0;
    EXPECT_EQ(kind, row.kind) << row.number;
    EXPECT_EQ(static_cast<CXTButtonTheme*>(pTheme)->GetThemeKind(), row.number);
    delete pTheme;
  }
}

TEST(ButtonThemes, SchemeZeroKeepsTheHighlightColoursButTheFace) {
  CXTPColorManager* pColors = XTPGetColorManager();
  CXTButtonThemeHighlight highlight;
  CXTButtonThemeScheme scheme;
  pColors->SetCurrentTheme(0);
  pColors->RefreshColors();
  highlight.RefreshMetrics();
  scheme.RefreshMetrics();
  EXPECT_EQ((COLORREF)scheme.m_crHotFace, (COLORREF)highlight.m_crHotFace);
  EXPECT_EQ((COLORREF)scheme.m_crPressedFace, (COLORREF)highlight.m_crPressedFace);
  EXPECT_EQ((COLORREF)scheme.m_crText, (COLORREF)highlight.m_crText);
  EXPECT_EQ((COLORREF)scheme.m_crLight, (COLORREF)highlight.m_crLight);
  EXPECT_EQ((COLORREF)scheme.m_crFace, pColors->GetColor(COLOR_BTNFACE));

  const struct {
    int scheme;
    COLORREF shadow, light;
  } rows[] = {{1, 0xB99D7F, 0x800000}, {2, 0x7FB9A4, 0x385D3F}, {3, 0xB2ACA5, 0x0B4B4B}};
  for (const auto& row : rows) {
    pColors->SetCurrentTheme(row.scheme);
    pColors->RefreshColors();
    scheme.RefreshMetrics();
    EXPECT_EQ((COLORREF)scheme.m_crHotFace, (COLORREF)0xC2EEFF) << row.scheme;
    EXPECT_EQ((COLORREF)scheme.m_crPressedFace, (COLORREF)0x3E80FE) << row.scheme;
    EXPECT_EQ((COLORREF)scheme.m_crCheckedFace, (COLORREF)0x6FC0FF) << row.scheme;
    EXPECT_EQ((COLORREF)scheme.m_crHotText, (COLORREF)0) << row.scheme;
    EXPECT_EQ((COLORREF)scheme.m_crShadow, row.shadow) << row.scheme;
    EXPECT_EQ((COLORREF)scheme.m_crLight, row.light) << row.scheme;
    EXPECT_EQ((COLORREF)scheme.m_crFace, pColors->GetColor(COLOR_BTNFACE)) << "no accent: the face stays";
  }
  pColors->SetCurrentTheme(4);
  pColors->RefreshColors();
}

TEST(ButtonThemes, ANewThemeNumberReachesEveryButtonButThoseWithAPrivateTheme) {
  CRecordingParent parent;
  ASSERT_TRUE(parent.CreateAt(CRect(60, 60, 460, 200)));
  CXTButton a, b, own;
  ASSERT_TRUE(a.Create(L"A", WS_CHILD | WS_VISIBLE, CRect(10, 10, 110, 40), &parent, 1));
  ASSERT_TRUE(b.Create(L"B", WS_CHILD | WS_VISIBLE, CRect(120, 10, 220, 40), &parent, 2));
  ASSERT_TRUE(own.Create(L"C", WS_CHILD | WS_VISIBLE, CRect(230, 10, 330, 40), &parent, 3));
  own.SetThemeStyle(BS_XT_XPFLAT, TRUE);
  ASSERT_EQ(own.GetTheme()->GetThemeKind(), 1) << "a private highlight theme";
  ASSERT_NE(dynamic_cast<CXTButtonThemeHighlight*>(own.GetTheme()), nullptr);
  CXTButtonTheme* pOwn = own.GetTheme();

  CXTThemeManagerStyleFactory* pFactory = XTThemeManager()->GetFactory(RUNTIME_CLASS(CXTButtonThemeFactory));
  ASSERT_NE(pFactory, nullptr);
  pFactory->SetTheme(pFactory->CreateTheme(2));
  EXPECT_EQ(a.GetTheme()->GetThemeKind(), 2);
  EXPECT_EQ(a.GetTheme(), b.GetTheme()) << "one shared theme";
  EXPECT_EQ(own.GetTheme(), pOwn) << "the private theme stays";
  // The shared buttons repainted with the new theme: an idle kind 2 face has no frame.
  a.SetThemeStyle(0, FALSE);
  a.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
  CSnapshot shot(a.m_hWnd, WindowArea::Client);
  EXPECT_EQ(shot.Pixel(0, 0), XTPGetColorManager()->GetColor(COLOR_BTNFACE));
  pFactory->SetTheme(pFactory->CreateTheme(0));
  EXPECT_EQ(b.GetTheme()->GetThemeKind(), 0);
  a.DestroyWindow();
  b.DestroyWindow();
  own.DestroyWindow();
  parent.DestroyWindow();
}

}  // namespace
