// Colour manager: every colour and gradient of schemes 0 to 3 from fixed system colours
// against the table a script computed from the colour rules; overrides, low colour, the
// 500 ms throttle, scheme names; the gallery pictures.
#include <framework.h>

#include <gtest/gtest.h>

#include <string>

#include "core_color_table.h"
#include "test_picture.h"
#include "XTPColorManager.h"
#include "XTPWinThemeWrapper.h"

namespace {

const COLORREF* g_system = nullptr;
int g_sysColorCalls = 0;
COLORREF CALLBACK FixedSysColor(int nIndex) {
  g_sysColorCalls++;
  return (nIndex >= 1 && nIndex <= 27) ? g_system[nIndex] : 0;
}

// A manager whose system scheme and desktop depth a test decides.
class TestColorManager : public CXTPColorManager {
 public:
  int systemTheme = 0;
  BOOL lowColor = FALSE;

 protected:
  int DetectSystemTheme() override { return systemTheme; }
  BOOL IsLowColorDesktop() override { return lowColor; }
};

// Visual styles out of the way (so the tree view's theme colour does not replace 57).
class NoThemeLibrary {
 public:
  NoThemeLibrary() : m_hOld(CXTPThemeHandle::SetThemeLibrary(nullptr)) {}
  ~NoThemeLibrary() { CXTPThemeHandle::SetThemeLibrary(m_hOld); }

 private:
  HMODULE m_hOld;
};

std::string SchemeName(const ::testing::TestParamInfo<ExpectedScheme>& info) {
  return std::string(info.param.system) + "_scheme" + std::to_string(info.param.scheme);
}

class ColorTable : public ::testing::TestWithParam<ExpectedScheme> {};

TEST_P(ColorTable, AllColoursAndGradientsMatchTheRules) {
  const ExpectedScheme& e = GetParam();
  NoThemeLibrary noThemes;
  g_system = SystemSet(e.system);
  ASSERT_NE(nullptr, g_system);
  TestColorManager manager;
  manager.SetGetSysColorPtr(FixedSysColor);
  manager.SetCurrentTheme(e.scheme);
  manager.RefreshColors();
  for (UINT i = 0; i < 62; i++)
    EXPECT_EQ(e.colors[i], manager.GetColor(i)) << "colour " << i << std::hex << " expected 0x" << e.colors[i]
                                                 << " got 0x" << manager.GetColor(i);
  for (UINT i = 0; i < 62; i++) {
    const COLORREF expectedXP = (i >= 30 && e.schemeColors[i] != (COLORREF)-1) ? e.schemeColors[i] : e.colors[i];
    EXPECT_EQ(expectedXP, manager.GetXPColor(i)) << "XP colour " << i;
  }
  for (int n = 1; n <= 10; n++) {
    const CXTPGradientColor* g = manager.GetGradient(n);
    ASSERT_NE(nullptr, g);
    EXPECT_EQ(e.gradients[n - 1].start, g->GetStartColor()) << "gradient " << n;
    EXPECT_EQ(e.gradients[n - 1].end, g->GetEndColor()) << "gradient " << n;
    EXPECT_FLOAT_EQ(e.gradients[n - 1].factor, g->fGradientFactor) << "gradient " << n;
  }
  EXPECT_EQ(e.scheme, manager.GetCurrentTheme());
}

INSTANTIATE_TEST_SUITE_P(Schemes, ColorTable, ::testing::ValuesIn(kExpectedSchemes), SchemeName);

// The gallery: each scheme's 62 colours and 10 gradients, for a human to look at.
TEST(ColorGallery, EachSchemesColoursAndGradients) {
  NoThemeLibrary noThemes;
  g_system = SystemSet("classic");
  for (int scheme = 0; scheme <= 3; scheme++) {
    TestColorManager manager;
    manager.SetGetSysColorPtr(FixedSysColor);
    manager.SetCurrentTheme(scheme);
    manager.RefreshColors();
    // 62 swatches in 8 columns of 40 x 28 (XP colour in the lower half), then the gradients.
    const int cols = 8, sw = 40, sh = 28, top = 8 * sh + 8;
    testsupport::CSnapshot picture(cols * sw, top + 10 * 22 + 4);
    CDC& dc = picture.DC();
    dc.FillSolidRect(0, 0, picture.Width(), picture.Height(), RGB(255, 255, 255));
    for (UINT i = 0; i < 62; i++) {
      const int x = (i % cols) * sw, y = (i / cols) * sh;
      dc.FillSolidRect(x + 1, y + 1, sw - 2, sh / 2 - 1, manager.GetColor(i));
      dc.FillSolidRect(x + 1, y + sh / 2, sw - 2, sh / 2 - 1, manager.GetXPColor(i));
    }
    for (int n = 1; n <= 10; n++) {
      const CRect rect(2, top + (n - 1) * 22, picture.Width() - 2, top + (n - 1) * 22 + 18);
      CXTPDrawHelpers::GradientFill(&dc, &rect, *manager.GetGradient(n), n % 2 == 1);
    }
    // The picture holds what was drawn: the first swatch, a gradient's ends.
    EXPECT_EQ(manager.GetColor(0), picture.Pixel(5, 5));
    EXPECT_EQ(manager.GetXPColor(30), picture.Pixel((30 % cols) * sw + 5, (30 / cols) * sh + sh / 2 + 3));
    EXPECT_EQ(manager.GetGradient(2)->GetStartColor(), picture.Pixel(20, top + 22));
    EXPECT_FALSE(picture.Contains(CRect(0, 0, picture.Width(), picture.Height()), testsupport::CSnapshot::kUnpainted));
    EXPECT_TRUE(picture.SavePng(testsupport::ArtifactPath(L"toolkit\\colors_scheme" + std::to_wstring(scheme) + L".png")));
  }
}

TEST(ColorManager, IndexesAboveTheTableAreRgbValues) {
  CXTPColorManager* pManager = XTPGetColorManager();
  EXPECT_EQ(0x00FF00u, pManager->GetColor(0x00FF00));
  EXPECT_EQ(62u, pManager->GetColor(62));
  EXPECT_EQ((COLORREF)-1, pManager->GetColor((UINT)-1));
  EXPECT_EQ((COLORREF)-2, pManager->GetColor((UINT)-2));
  EXPECT_EQ((COLORREF)-1, pManager->GetXPColor((UINT)-1));
  EXPECT_EQ(0u, pManager->GetColor(61));
  EXPECT_EQ(0u, pManager->GetColor(0));
  EXPECT_EQ(::GetSysColor(COLOR_WINDOWTEXT), pManager->GetColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(pManager, XTPGetColorManager());
}

TEST(ColorManager, OverridesWinUntilCleared) {
  TestColorManager manager;
  const COLORREF base = manager.GetColor(61);
  manager.SetColor(61, RGB(1, 2, 3));
  EXPECT_EQ(RGB(1, 2, 3), manager.GetColor(61));
  EXPECT_EQ(base, manager.GetBaseColor(61));
  const UINT idx[] = {15, 40};
  const COLORREF clr[] = {RGB(9, 9, 9), RGB(8, 8, 8)};
  manager.SetColors(2, idx, clr);
  EXPECT_EQ(RGB(9, 9, 9), manager.GetColor(15));
  // Derived colours use the override of the face colour on the next refresh.
  manager.RefreshColors();
  EXPECT_EQ(RGB(9, 9, 9), manager.GetGradient(3)->GetStartColor());
  manager.SetColor(61, (COLORREF)-1);
  EXPECT_EQ(base, manager.GetColor(61));
  manager.SetColor(500, RGB(1, 1, 1));  // ignored
  EXPECT_EQ(500u, manager.GetColor(500));
  manager.ResetOverrides();
  EXPECT_EQ((COLORREF)-1, manager.GetOverride(15));
}

struct BlendCase {
  COLORREF a, b;
  int weight;
  COLORREF expected;
};
class ManagerBlend : public ::testing::TestWithParam<BlendCase> {};
TEST_P(ManagerBlend, PercentBelowOneHundredPerMilleAbove) {
  EXPECT_EQ(GetParam().expected, CXTPColorManager::BlendColors(GetParam().a, GetParam().b, GetParam().weight));
}
INSTANTIATE_TEST_SUITE_P(Weights, ManagerBlend,
                         ::testing::Values(BlendCase{RGB(200, 0, 0), RGB(0, 0, 0), 50, RGB(100, 0, 0)},
                                           BlendCase{RGB(255, 255, 255), RGB(0, 0, 0), 99, RGB(252, 252, 252)},
                                           // 100 is per mille: 100 / 1000 of a.
                                           BlendCase{RGB(255, 255, 255), RGB(0, 0, 0), 100, RGB(26, 26, 26)},
                                           BlendCase{RGB(10, 100, 250), RGB(250, 100, 10), 500, RGB(130, 100, 130)},
                                           BlendCase{RGB(255, 0, 0), RGB(0, 0, 255), 1000, RGB(255, 0, 0)},
                                           BlendCase{RGB(255, 0, 0), RGB(0, 0, 255), 0, RGB(0, 0, 255)},
                                           BlendCase{RGB(1, 1, 1), RGB(0, 0, 0), 50, RGB(1, 1, 1)}));

TEST(ColorManager, AutomaticChoiceFollowsTheSystemScheme) {
  g_system = SystemSet("classic");
  NoThemeLibrary noThemes;
  TestColorManager manager;
  manager.SetGetSysColorPtr(FixedSysColor);
  EXPECT_NE(4, manager.GetCurrentTheme());  // the automatic choice is never reported itself
  manager.RefreshColors();
  EXPECT_EQ(0, manager.GetCurrentTheme());
  // The blue scheme from the system: the fixed colours go to the XP table only.
  manager.systemTheme = 1;
  manager.RefreshColors();
  EXPECT_EQ(1, manager.GetSystemTheme());
  EXPECT_EQ(1, manager.GetCurrentTheme());
  EXPECT_EQ(0xF5BE9Eu, manager.GetXPColor(30));
  EXPECT_NE(0xF5BE9Eu, manager.GetColor(30));
  EXPECT_EQ(0x962D00u, manager.GetColor(54));  // the one base entry a scheme sets
  EXPECT_EQ(0xD68759u, manager.GetGradient(1)->GetStartColor());
  // Choice 5 follows the system too; XP colours disabled act as scheme 0.
  manager.SetCurrentTheme(5);
  EXPECT_EQ(1, manager.GetCurrentTheme());
  manager.DisableLunaColors(TRUE);
  EXPECT_TRUE(manager.IsLunaColorsDisabled());
  manager.RefreshColors();
  EXPECT_EQ(manager.GetColor(30), manager.GetXPColor(30));
  EXPECT_EQ(manager.GetColor(16), manager.GetGradient(1)->GetStartColor());
}

// On a 256-colour desktop the blends, contrast corrections, derived colours and the tree
// view colour are skipped: 30 to 61 keep their classic defaults.
TEST(ColorManager, LowColourDesktopKeepsTheClassicDefaults) {
  g_system = SystemSet("classic");
  TestColorManager manager;
  manager.SetGetSysColorPtr(FixedSysColor);
  manager.lowColor = TRUE;
  manager.RefreshColors();
  const COLORREF F = g_system[15], S = g_system[16];
  EXPECT_EQ(F, manager.GetColor(30));
  EXPECT_EQ(g_system[5], manager.GetColor(31));
  EXPECT_EQ(S, manager.GetColor(34));
  EXPECT_EQ(g_system[22], manager.GetColor(22));  // not lightened
  EXPECT_EQ(F, manager.GetColor(48));
  EXPECT_EQ(S, manager.GetColor(57));
  EXPECT_EQ(0u, manager.GetColor(59));
  // Gradients are still set.
  EXPECT_EQ(F, manager.GetGradient(3)->GetStartColor());
  EXPECT_EQ(S, manager.GetGradient(3)->GetEndColor());
  manager.SetCurrentTheme(2);
  manager.RefreshColors();
  EXPECT_EQ(0x588060u, manager.GetColor(54));
  EXPECT_EQ(0x82C0AFu, manager.GetGradient(1)->GetStartColor());
  EXPECT_EQ(0xA7D9D9u, manager.GetXPColor(30));
}

// With visual styles the tree view's theme colour becomes 57.
TEST(ColorManager, TreeViewThemeColourWhenVisualStylesOpen) {
  CXTPThemeHandle theme;
  TestColorManager manager;
  manager.RefreshColors();
  if (theme.OpenThemeData(nullptr, L"TREEVIEW")) {
    COLORREF clr = 0;
    if (SUCCEEDED(theme.GetThemeColor(0, 0, 3801, &clr))) {
      EXPECT_EQ(clr, manager.GetColor(57));
      return;
    }
  }
  EXPECT_EQ(manager.GetColor(16), manager.GetColor(57));
}

struct NameCase {
  const wchar_t* file;
  const wchar_t* color;
  int scheme;
};
class SchemeNames : public ::testing::TestWithParam<NameCase> {};
TEST_P(SchemeNames, FileByContainmentColourByEquality) {
  EXPECT_EQ(GetParam().scheme, XTPSchemeFromThemeName(GetParam().file, GetParam().color));
}
INSTANTIATE_TEST_SUITE_P(
    Names, SchemeNames,
    ::testing::Values(NameCase{L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles", L"NormalColor", 1},
                      NameCase{L"C:\\WINDOWS\\Resources\\Themes\\Royale\\Royale.msstyles", L"NormalColor", 1},
                      NameCase{L"C:\\WINDOWS\\Resources\\Themes\\Luna\\luna.msstyles", L"HomeStead", 2},
                      NameCase{L"C:\\WINDOWS\\Resources\\Themes\\Luna\\luna.msstyles", L"Metallic", 3},
                      NameCase{L"C:\\WINDOWS\\Resources\\Themes\\Royale\\royale.msstyles", L"Metallic", 0},
                      NameCase{L"C:\\windows\\resources\\themes\\light\\light.msstyles", L"Blue", 0},
                      NameCase{L"C:\\x\\luna.msstyles", L"normalcolor2", 0}, NameCase{L"", L"", 0},
                      NameCase{nullptr, nullptr, 0}));

// Wine's own theme is "light.msstyles": visual styles on, scheme 0.
TEST(ColorManager, WineLightThemeIsSchemeZero) {
  CXTPColorManager manager;
  EXPECT_EQ(0, manager.GetSystemTheme());
  EXPECT_EQ(0, manager.GetCurrentTheme());
  wchar_t file[260] = {}, color[260] = {};
  CXTPThemeHandle theme;
  if (SUCCEEDED(theme.GetCurrentThemeName(file, 260, color, 260, nullptr, 0))) {
    EXPECT_NE(nullptr, wcsstr(file, L"light.msstyles")) << file;
  }
}

// ---------------------------------------------------------------------------------------
// The 500 ms throttle.

TEST(RefreshThrottle, WithoutAMainWindowEveryCallRefreshes) {
  CXTPColorManager* pManager = XTPGetColorManager();
  const int before = pManager->GetRefreshCount();
  XTPRefreshColors();
  XTPRefreshColors();
  EXPECT_EQ(before + 2, pManager->GetRefreshCount());
}

TEST(RefreshThrottle, TwoRefreshesWithin500msDoTheWorkOnce) {
  CWinApp app(L"ColourThrottle");
  CWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, L"STATIC", L"main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  app.m_pMainWnd = &wnd;
  CXTPColorManager* pManager = XTPGetColorManager();
  const int before = pManager->GetRefreshCount();
  XTPRefreshColors();
  XTPRefreshColors();
  XTPRefreshColors();
  EXPECT_EQ(before + 1, pManager->GetRefreshCount());
  ::Sleep(600);
  XTPRefreshColors();
  EXPECT_EQ(before + 2, pManager->GetRefreshCount());
  XTPRefreshColors();
  EXPECT_EQ(before + 2, pManager->GetRefreshCount());
  app.m_pMainWnd = nullptr;
  wnd.DestroyWindow();
}

}  // namespace
