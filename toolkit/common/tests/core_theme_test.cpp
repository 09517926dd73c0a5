// The visual-styles wrapper in its three states: Wine's own theme, visual styles switched
// off, and no visual-styles library at all.
#include <framework.h>

#include <gtest/gtest.h>

#include <vssym32.h>

#include "test_picture.h"
#include "XTPSystemVersion.h"
#include "XTPWinThemeWrapper.h"

namespace {

// Wine's theme is active: the wrapper opens classes and draws with them.
TEST(ThemeWrapper, WineLightThemeIsUsable) {
  ASSERT_NE(nullptr, CXTPThemeHandle::GetThemeLibrary());
  EXPECT_TRUE(CXTPThemeHandle::IsThemeActive());
  EXPECT_GE(HIWORD(CXTPThemeHandle::GetComCtlVersion()), 6);  // the manifest's version 6 library
  EXPECT_TRUE(CXTPThemeHandle::IsThemingAvailable());
  CXTPThemeHandle theme;
  EXPECT_FALSE(theme.IsAppThemed());  // no theme held yet
  for (LPCWSTR cls : {L"BUTTON", L"TAB", L"TOOLBAR", L"TREEVIEW", L"REBAR", L"STATUS", L"COMBOBOX"}) {
    EXPECT_NE(nullptr, theme.OpenThemeData(nullptr, cls)) << cls;
  }
  ASSERT_NE(nullptr, theme.OpenThemeData(nullptr, L"BUTTON"));
  EXPECT_TRUE(theme.IsAppThemed());
  COLORREF clr = 0;
  EXPECT_EQ(S_OK, theme.GetThemeColor(BP_PUSHBUTTON, PBS_NORMAL, TMT_TEXTCOLOR, &clr));
  EXPECT_EQ(E_FAIL, theme.GetThemeColor(BP_PUSHBUTTON, PBS_NORMAL, TMT_TEXTCOLOR, nullptr));
  // A themed push button drawn into a picture leaves its mark.
  testsupport::CSnapshot picture(80, 30);
  picture.DC().FillSolidRect(0, 0, 80, 30, RGB(255, 0, 255));
  const CRect rect(0, 0, 80, 30);
  EXPECT_EQ(S_OK, theme.DrawThemeBackground(picture.DC().GetSafeHdc(), BP_PUSHBUTTON, PBS_NORMAL, &rect, nullptr));
  int changed = 0;
  for (int x = 0; x < 80; x += 4)
    if (picture.Pixel(x, 15) != RGB(255, 0, 255)) changed++;
  EXPECT_GT(changed, 10);
  EXPECT_TRUE(picture.SavePng(testsupport::ArtifactPath(L"toolkit\\theme_button.png")));
  wchar_t file[260] = {}, color[260] = {}, size[260] = {};
  EXPECT_EQ(S_OK, theme.GetCurrentThemeName(file, 260, color, 260, size, 260));
  EXPECT_NE(nullptr, wcsstr(file, L"light.msstyles"));
  EXPECT_EQ(S_OK, theme.CloseThemeData());
  EXPECT_EQ(nullptr, theme.GetHandle());
  EXPECT_EQ(0, theme.CloseThemeData());  // nothing open: 0
  EXPECT_EQ(E_FAIL, theme.DrawThemeBackground(picture.DC().GetSafeHdc(), 1, 1, &rect, nullptr));
}

// The binder seam: count CloseThemeData calls, answer IsThemeActive as a test wants.
int g_closeCalls = 0;
BOOL g_themeActive = TRUE;
FARPROC g_realClose = nullptr;
HRESULT WINAPI CountingClose(HTHEME hTheme) {
  g_closeCalls++;
  return reinterpret_cast<HRESULT(WINAPI*)(HTHEME)>(g_realClose)(hTheme);
}
BOOL WINAPI FakeIsThemeActive() { return g_themeActive; }
FARPROC CALLBACK TestBinder(HMODULE hLib, LPCSTR name) {
  if (lstrcmpA(name, "CloseThemeData") == 0) {
    g_realClose = ::GetProcAddress(hLib, name);
    return reinterpret_cast<FARPROC>(CountingClose);
  }
  if (lstrcmpA(name, "IsThemeActive") == 0) return reinterpret_cast<FARPROC>(FakeIsThemeActive);
  return ::GetProcAddress(hLib, name);
}

class ThemeBinder : public ::testing::Test {
 protected:
  void SetUp() override {
    g_closeCalls = 0;
    g_themeActive = TRUE;
    CXTPThemeHandle::SetThemeBinder(TestBinder);
  }
  void TearDown() override { CXTPThemeHandle::SetThemeBinder(nullptr); }
};

TEST_F(ThemeBinder, OpeningASecondThemeClosesTheFirst) {
  {
    CXTPThemeHandle theme;
    HTHEME first = theme.OpenThemeData(nullptr, L"BUTTON");
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(0, g_closeCalls);
    HTHEME second = theme.OpenThemeData(nullptr, L"TAB");
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(1, g_closeCalls);
    EXPECT_EQ(second, theme.GetHandle());
  }
  EXPECT_EQ(2, g_closeCalls);  // the destructor closed the second
}

// Visual styles switched off: nothing is "available", but the library still answers.
TEST_F(ThemeBinder, ThemesOff) {
  g_themeActive = FALSE;
  EXPECT_FALSE(CXTPThemeHandle::IsThemeActive());
  EXPECT_FALSE(CXTPThemeHandle::IsThemingAvailable());
  g_themeActive = TRUE;
  EXPECT_TRUE(CXTPThemeHandle::IsThemingAvailable());
}

// Without the library: fixed failure values, no theme ever open.
TEST(ThemeWrapper, WithoutTheLibrary) {
  HMODULE hOld = CXTPThemeHandle::SetThemeLibrary(nullptr);
  {
    CXTPThemeHandle theme;
    EXPECT_FALSE(CXTPThemeHandle::IsThemingAvailable());
    EXPECT_FALSE(CXTPThemeHandle::IsThemeActive());
    EXPECT_EQ(nullptr, theme.OpenThemeData(nullptr, L"BUTTON"));
    EXPECT_EQ(nullptr, theme.GetHandle());
    EXPECT_FALSE(theme.IsAppThemed());
    HDC hDC = ::CreateCompatibleDC(nullptr);
    const RECT rect = {0, 0, 10, 10};
    EXPECT_EQ(E_FAIL, theme.DrawThemeBackground(hDC, 1, 1, &rect, nullptr));
    ::DeleteDC(hDC);
    COLORREF clr = 0;
    EXPECT_EQ(E_FAIL, theme.GetThemeColor(1, 1, TMT_TEXTCOLOR, &clr));
    wchar_t file[260] = {}, color[260] = {};
    EXPECT_EQ(E_FAIL, theme.GetCurrentThemeName(file, 260, color, 260, nullptr, 0));
    EXPECT_EQ(0, theme.CloseThemeData());
  }
  CXTPThemeHandle::SetThemeLibrary(hOld);
  EXPECT_TRUE(CXTPThemeHandle::IsThemingAvailable());
}

// A missing export fails the same way.
FARPROC CALLBACK NoExports(HMODULE, LPCSTR) { return nullptr; }
TEST(ThemeWrapper, MissingExports) {
  CXTPThemeHandle::SetThemeBinder(NoExports);
  CXTPThemeHandle theme;
  EXPECT_EQ(nullptr, theme.OpenThemeData(nullptr, L"BUTTON"));
  EXPECT_FALSE(CXTPThemeHandle::IsThemingAvailable());
  CXTPThemeHandle::SetThemeBinder(nullptr);
  EXPECT_NE(nullptr, theme.OpenThemeData(nullptr, L"BUTTON"));
}

// With common controls 5.82 and visual styles active the wrapper does not offer them.
DWORD g_forcedVersion = 0;
DWORD CALLBACK ForcedVersion() { return g_forcedVersion; }
struct VersionCase {
  DWORD version;
  BOOL available;
};
class ThemeComCtl : public ::testing::TestWithParam<VersionCase> {};
TEST_P(ThemeComCtl, MajorSixOrLaterNeeded) {
  g_forcedVersion = GetParam().version;
  XTP_COMCTL_VERSION_QUERY pfnOld = XTPSetComCtlVersionQuery(ForcedVersion);
  CXTPThemeHandle::ReloadComCtlVersion();
  EXPECT_EQ(GetParam().version, CXTPThemeHandle::GetComCtlVersion());
  EXPECT_EQ(GetParam().available, CXTPThemeHandle::IsThemingAvailable());
  XTPSetComCtlVersionQuery(pfnOld);
  CXTPThemeHandle::ReloadComCtlVersion();
  EXPECT_TRUE(CXTPThemeHandle::IsThemingAvailable());
}
INSTANTIATE_TEST_SUITE_P(Versions, ThemeComCtl,
                         ::testing::Values(VersionCase{MAKELONG(82, 5), FALSE}, VersionCase{MAKELONG(81, 5), FALSE},
                                           VersionCase{0, FALSE}, VersionCase{MAKELONG(0, 6), TRUE},
                                           VersionCase{MAKELONG(10, 6), TRUE}));

}  // namespace
