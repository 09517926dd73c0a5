// The paint manager and its two themes, checked pixel by pixel in memory DCs: frames,
// the checked pattern, check marks, arrows, text, the status bar pieces, grippers, combo
// parts and the popup animations; theme 3 both over a stand-in visual-styles library that
// records what it is asked to draw and with visual styles switched off (the fallback).
#include <framework.h>

#include <gtest/gtest.h>
#include <test_picture.h>
#include <test_pump.h>

#include <algorithm>
#include <vector>

#include "XTPCommandBar.h"
#include "XTPControl.h"
#include "XTPControlPopup.h"
#include "XTPControls.h"
#include "XTPDefaultTheme.h"
#include "XTPImageManager.h"
#include "XTPPaintManager.h"
#include "XTPSystemVersion.h"
#include "XTPVisualStylesTheme.h"

#include <vssym32.h>

namespace {

using testsupport::CSnapshot;

const COLORREF kFace = RGB(0xC0, 0xC1, 0xC2);     // 15
const COLORREF kShadow = RGB(0x80, 0x81, 0x82);   // 16
const COLORREF kGray = RGB(0x90, 0x70, 0x50);     // 17
const COLORREF kText = RGB(0x10, 0x20, 0x30);     // 18
const COLORREF kLight = RGB(0xFE, 0xFD, 0xFC);    // 20
const COLORREF kDark = RGB(0x30, 0x31, 0x32);     // 21
const COLORREF kActive = RGB(0x00, 0x40, 0xA0);   // 2
const COLORREF kInactive = RGB(0x60, 0x70, 0x80); // 3
const COLORREF kMenu = RGB(0xE0, 0xE8, 0xF0);     // 4
const COLORREF kMenuText = RGB(0x05, 0x06, 0x07); // 7
const COLORREF kBack = RGB(0x11, 0x99, 0x55);     // what the tests fill before drawing

// Fixed colours so that every pixel tells which colour index drew it.
void FixColors(CXTPPaintManager* pm) {
  pm->SetColorOverride(COLOR_BTNFACE, kFace);
  pm->SetColorOverride(COLOR_BTNSHADOW, kShadow);
  pm->SetColorOverride(COLOR_GRAYTEXT, kGray);
  pm->SetColorOverride(COLOR_BTNTEXT, kText);
  pm->SetColorOverride(COLOR_BTNHIGHLIGHT, kLight);
  pm->SetColorOverride(COLOR_3DDKSHADOW, kDark);
  pm->SetColorOverride(COLOR_ACTIVECAPTION, kActive);
  pm->SetColorOverride(COLOR_INACTIVECAPTION, kInactive);
  pm->SetColorOverride(COLOR_MENU, kMenu);
  pm->SetColorOverride(COLOR_MENUTEXT, kMenuText);
}

// Paint managers made and released by the test (CCmdTarget reference counting).
template <class T>
struct Owned {
  T* p = new T();
  Owned() {
    p->RefreshMetrics();
    FixColors(p);
  }
  ~Owned() { p->InternalRelease(); }
  T* operator->() { return p; }
};

// Test access to the protected text height.
class CTextHeightTheme : public CXTPDefaultTheme {
 public:
  void SetTextHeight(int n) { m_nTextHeight = n; }
};
class CTextHeightVisualTheme : public CXTPVisualStylesTheme {
 public:
  void SetTextHeight(int n) { m_nTextHeight = n; }
};

void SavePicture(CSnapshot& shot, const wchar_t* name) {
  shot.SavePng(testsupport::ArtifactPath(std::wstring(L"commandbars\\") + name));
}

int CountColor(CSnapshot& shot, const CRect& rc, COLORREF clr) {
  int n = 0;
  for (int y = rc.top; y < rc.bottom; y++)
    for (int x = rc.left; x < rc.right; x++)
      if (shot.Pixel(x, y) == clr) n++;
  return n;
}

// ---- A stand-in visual-styles library ------------------------------------------------------
struct ThemeCall {
  int nPart, nState;
  CRect rc;
};
std::vector<ThemeCall> g_calls;
BOOL g_bAppThemed = TRUE;

// Fills what it is asked to draw with a colour that encodes part and state.
COLORREF ThemePartColor(int nPart, int nState) { return RGB(0x20 + nPart * 8, 0x40 + nState * 16, 0xA0); }

HTHEME WINAPI FakeOpen(HWND, LPCWSTR pszClass) {
  if (lstrcmpW(pszClass, L"TOOLBAR") == 0) return reinterpret_cast<HTHEME>(1);
  if (lstrcmpW(pszClass, L"REBAR") == 0) return reinterpret_cast<HTHEME>(2);
  if (lstrcmpW(pszClass, L"COMBOBOX") == 0) return reinterpret_cast<HTHEME>(3);
  if (lstrcmpW(pszClass, L"STATUS") == 0) return reinterpret_cast<HTHEME>(4);
  return NULL;
}
HRESULT WINAPI FakeClose(HTHEME) { return S_OK; }
HRESULT WINAPI FakeDraw(HTHEME, HDC hDC, int nPart, int nState, const RECT* pRect, const RECT* pClip) {
  g_calls.push_back({nPart, nState, CRect(*pRect)});
  CRect rc(*pRect);
  if (pClip != NULL) rc.IntersectRect(rc, pClip);
  HBRUSH hBrush = ::CreateSolidBrush(ThemePartColor(nPart, nState));
  ::FillRect(hDC, rc, hBrush);
  ::DeleteObject(hBrush);
  return S_OK;
}
HRESULT WINAPI FakeColor(HTHEME hTheme, int nPart, int nState, int nProp, COLORREF* pColor) {
  const INT_PTR n = reinterpret_cast<INT_PTR>(hTheme);
  if (n == 1 && nPart == 0 && nState == 0 && nProp == TMT_TEXTCOLOR) *pColor = RGB(1, 2, 3);
  else if (n == 2 && nPart == 0 && nProp == TMT_FILLCOLORHINT) *pColor = RGB(4, 5, 6);
  else if (n == 2 && nPart == RP_BAND && nProp == TMT_EDGESHADOWCOLOR) *pColor = RGB(7, 8, 9);
  else if (n == 4 && nPart == SP_PANE && nProp == TMT_TEXTCOLOR) *pColor = RGB(10, 11, 12);
  else if (n == 3 && nPart == CP_DROPDOWNBUTTON && nProp == TMT_BORDERCOLOR) *pColor = RGB(13, 14, 15 + nState);
  else return E_FAIL;
  return S_OK;
}
BOOL WINAPI FakeThemed() { return g_bAppThemed; }
FARPROC CALLBACK FakeBinder(HMODULE, LPCSTR pszExport) {
  const struct {
    const char* name;
    FARPROC proc;
  } table[] = {{"OpenThemeData", reinterpret_cast<FARPROC>(FakeOpen)},
               {"CloseThemeData", reinterpret_cast<FARPROC>(FakeClose)},
               {"DrawThemeBackground", reinterpret_cast<FARPROC>(FakeDraw)},
               {"GetThemeColor", reinterpret_cast<FARPROC>(FakeColor)},
               {"IsAppThemed", reinterpret_cast<FARPROC>(FakeThemed)},
               {"IsThemeActive", reinterpret_cast<FARPROC>(FakeThemed)}};
  for (const auto& e : table)
    if (lstrcmpA(e.name, pszExport) == 0) return e.proc;
  return NULL;
}
DWORD g_dwComCtl = 0x00060000;
DWORD CALLBACK FakeComCtl() { return g_dwComCtl; }

// Installs the stand-in library for the life of the object; visual styles are on while
// the common controls report version 6.
struct FakeVisualStyles {
  HMODULE hOld;
  explicit FakeVisualStyles(DWORD dwComCtl = 0x00060000) {
    g_calls.clear();
    g_bAppThemed = TRUE;
    g_dwComCtl = dwComCtl;
    hOld = CXTPThemeHandle::SetThemeLibrary(::GetModuleHandle(NULL));
    CXTPThemeHandle::SetThemeBinder(FakeBinder);
    XTPSetComCtlVersionQuery(FakeComCtl);
    CXTPThemeHandle::ReloadComCtlVersion();
  }
  ~FakeVisualStyles() {
    CXTPThemeHandle::SetThemeBinder(NULL);
    CXTPThemeHandle::SetThemeLibrary(hOld);
    XTPSetComCtlVersionQuery(NULL);
    CXTPThemeHandle::ReloadComCtlVersion();
  }
};

// ---- Theme selection ----------------------------------------------------------------------
TEST(PaintManagerThemes, SetThemeMakesTheClassAndRecordsTheNumber) {
  const struct {
    int nTheme;
    bool bVisual;
  } cases[] = {{0, false}, {3, true}, {7, false}, {1, false}};
  for (const auto& c : cases) {
    CXTPPaintManager::SetTheme(c.nTheme);
    CXTPPaintManager* pm = CXTPPaintManager::GetCurrentPaintManager();
    ASSERT_NE(pm, nullptr);
    EXPECT_EQ(pm->GetCurrentTheme(), c.nTheme);
    EXPECT_EQ(pm->IsKindOf(RUNTIME_CLASS(CXTPVisualStylesTheme)) != FALSE, c.bVisual) << c.nTheme;
    EXPECT_TRUE(pm->IsKindOf(RUNTIME_CLASS(CXTPDefaultTheme)));
    EXPECT_EQ(pm->GetThemeNumber(), c.bVisual ? 3 : 0);
  }
  CXTPPaintManager::SetCustomTheme(NULL);
  EXPECT_EQ(CXTPPaintManager::GetCurrentPaintManager(), nullptr);
  CXTPPaintManager* pm = XTPPaintManager();
  ASSERT_NE(pm, nullptr);
  EXPECT_EQ(pm->GetThemeNumber(), 0);
  CXTPPaintManager::SetCustomTheme(NULL);
}

TEST(PaintManagerThemes, CustomThemeReadsFiveAndIsRefreshed) {
  CXTPDefaultTheme* pTheme = new CXTPDefaultTheme();
  EXPECT_EQ(pTheme->GetTextHeight(), 0);
  CXTPPaintManager::SetCustomTheme(pTheme);
  EXPECT_EQ(CXTPPaintManager::GetCurrentPaintManager(), pTheme);
  EXPECT_EQ(pTheme->GetCurrentTheme(), 5);
  EXPECT_GT(pTheme->GetTextHeight(), 6);
  EXPECT_NE(pTheme->GetRegularFont()->GetSafeHandle(), nullptr);
  CXTPPaintManager::SetCustomTheme(NULL);
}

TEST(PaintManagerThemes, ConstructorsSetIconOptionsAndPopupTextColour) {
  Owned<CXTPDefaultTheme> t0;
  Owned<CXTPVisualStylesTheme> t3;
  EXPECT_FALSE(t0->GetIconsInfo()->bUseFadedIcons);
  EXPECT_FALSE(t0->GetIconsInfo()->bIconsWithShadow);
  EXPECT_EQ(t0->m_nPopupTextColor, COLOR_BTNTEXT);
  EXPECT_TRUE(t3->GetIconsInfo()->bUseFadedIcons);
  EXPECT_FALSE(t3->GetIconsInfo()->bIconsWithShadow);
  EXPECT_EQ(t3->m_nPopupTextColor, COLOR_MENUTEXT);
  EXPECT_EQ(t0->GetAnimationSteps(), 10);
  EXPECT_EQ(t0->GetAnimationDuration(), 100);
  EXPECT_TRUE(t0->IsShadowEnabled());
  EXPECT_FALSE(t0->IsThemeShadow());
  EXPECT_EQ(t3->GetShadowColor(), RGB(0, 0, 0));
}

// ---- Colours ------------------------------------------------------------------------------
TEST(PaintManagerColors, TableOverridesAndRgbValues) {
  Owned<CXTPDefaultTheme> pm;
  EXPECT_EQ(pm->GetColor(0x00FF0000), 0x00FF0000u);
  EXPECT_EQ(pm->GetColor(62), 62u);
  pm->SetColorOverride(61, -1);
  const COLORREF clrStandard = pm->GetColor(61);
  pm->SetColorOverride(61, RGB(1, 2, 3));
  EXPECT_EQ(pm->GetColor(61), RGB(1, 2, 3));
  pm->RefreshMetrics();  // overrides survive refreshes
  EXPECT_EQ(pm->GetColor(61), RGB(1, 2, 3));
  pm->SetColorOverride(61, -1);
  EXPECT_EQ(pm->GetColor(61), clrStandard);

  // SetColors writes standard values; the next refresh starts again from the system.
  pm->SetColorOverride(COLOR_BTNFACE, -1);
  const int nIndex = COLOR_BTNFACE;
  const COLORREF clr = RGB(9, 8, 7);
  pm->SetColors(1, &nIndex, &clr);
  EXPECT_EQ(pm->GetColor(COLOR_BTNFACE), clr);
  pm->RefreshMetrics();
  EXPECT_EQ(pm->GetColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(pm->m_clrStatusTextColor, pm->GetColor(COLOR_BTNTEXT));
  EXPECT_EQ(pm->m_clrDisabledIcon.GetStartColor(), pm->GetColor(COLOR_BTNFACE));
  EXPECT_EQ(pm->m_clrDisabledIcon.GetEndColor(), pm->GetColor(COLOR_BTNSHADOW));
}

// ---- Fonts --------------------------------------------------------------------------------
TEST(PaintManagerFonts, MenuFontHeightRule) {
  const struct {
    LONG lMenu, lBar;
  } cases[] = {{-8, -11}, {-1, -11}, {-10, -11}, {-11, -11}, {-14, -14}, {12, 12}, {0, 0}};
  LOGFONT lfMenu = {};
  lstrcpy(lfMenu.lfFaceName, _T("Arial"));
  lfMenu.lfWeight = FW_NORMAL;
  lfMenu.lfItalic = TRUE;
  for (const auto& c : cases) {
    lfMenu.lfHeight = c.lMenu;
    LOGFONT lf;
    CXTPPaintManager::MakeStandardLogFont(lfMenu, 0, &lf);
    EXPECT_EQ(lf.lfHeight, c.lBar) << c.lMenu;
    EXPECT_EQ(lf.lfItalic, TRUE);
    EXPECT_STREQ(lf.lfFaceName, _T("Arial"));
    EXPECT_EQ(lf.lfEscapement, 0);
  }
}

TEST(PaintManagerFonts, SetFontIndirectMakesFourFontsAndTextHeight) {
  Owned<CXTPDefaultTheme> pm;
  LOGFONT lf = {};
  lf.lfHeight = -11;
  lf.lfWeight = FW_NORMAL;
  lstrcpy(lf.lfFaceName, _T("Arial"));
  pm->SetFontIndirect(&lf, FALSE);
  EXPECT_FALSE(pm->IsStandardFont());
  LOGFONT got;
  ASSERT_TRUE(pm->GetRegularFont()->GetLogFont(&got));
  EXPECT_EQ(got.lfHeight, -11);
  ASSERT_TRUE(pm->GetRegularBoldFont()->GetLogFont(&got));
  EXPECT_EQ(got.lfWeight, FW_BOLD);
  ASSERT_TRUE(pm->GetVerticalFont()->GetLogFont(&got));
  EXPECT_EQ(got.lfEscapement, 2700);
  EXPECT_EQ(got.lfOrientation, 900);
  EXPECT_EQ(got.lfWeight, FW_NORMAL);
  ASSERT_TRUE(pm->GetVerticalBoldFont()->GetLogFont(&got));
  EXPECT_EQ(got.lfWeight, FW_BOLD);
  EXPECT_EQ(pm->GetControlFont(NULL, TRUE), pm->GetRegularBoldFont());

  CWindowDC dc(NULL);
  CFont* pOld = dc.SelectObject(pm->GetRegularFont());
  EXPECT_EQ(pm->GetTextHeight(), dc.GetTextExtent(_T(" "), 1).cy + 6);
  dc.SelectObject(pOld);

  // A refresh keeps a caller's font.
  pm->RefreshMetrics();
  ASSERT_TRUE(pm->GetRegularFont()->GetLogFont(&got));
  EXPECT_STREQ(got.lfFaceName, _T("Arial"));
  // A null LOGFONT only sets the flag.
  pm->SetFontIndirect(NULL, TRUE);
  EXPECT_TRUE(pm->IsStandardFont());
  EXPECT_NE(pm->GetRegularFont()->GetSafeHandle(), nullptr);
}

TEST(PaintManagerFonts, TahomaOnceNamedReplacesStandardFaces) {
  if (!CXTPDrawHelpers::FontExists(_T("Tahoma"))) GTEST_SKIP() << "no Tahoma installed";
  // Not refreshed: the system's menu font may itself be "Tahoma", which sets the flag.
  CXTPDefaultTheme* pm = new CXTPDefaultTheme();
  LOGFONT lf = {};
  lf.lfHeight = -11;
  lstrcpy(lf.lfFaceName, _T("Arial"));
  pm->SetFontIndirect(&lf, TRUE);
  EXPECT_FALSE(pm->IsFaceTahoma());
  LOGFONT got;
  pm->GetRegularFont()->GetLogFont(&got);
  EXPECT_STREQ(got.lfFaceName, _T("Arial"));

  lstrcpy(lf.lfFaceName, _T("tahoma"));
  pm->SetFontIndirect(&lf, FALSE);
  EXPECT_TRUE(pm->IsFaceTahoma());

  // From now on a standard font of a western character set takes "Tahoma"; a caller's
  // font and other character sets keep their face.
  lstrcpy(lf.lfFaceName, _T("Arial"));
  pm->SetFontIndirect(&lf, TRUE);
  pm->GetRegularFont()->GetLogFont(&got);
  EXPECT_STREQ(got.lfFaceName, _T("Tahoma"));
  pm->SetFontIndirect(&lf, FALSE);
  pm->GetRegularFont()->GetLogFont(&got);
  EXPECT_STREQ(got.lfFaceName, _T("Arial"));
  lf.lfCharSet = SHIFTJIS_CHARSET;
  pm->SetFontIndirect(&lf, TRUE);
  pm->GetRegularFont()->GetLogFont(&got);
  EXPECT_STREQ(got.lfFaceName, _T("Arial"));
  EXPECT_TRUE(pm->IsFaceTahoma());
  pm->InternalRelease();
}

// ---- Frames, fills and the checked pattern ------------------------------------------------
enum Look { kNothing, kRaised, kSunken, kPatternSunken };

Look ReadLook(CSnapshot& shot, const CRect& rc) {
  const COLORREF tl = shot.Pixel(rc.left, rc.top), br = shot.Pixel(rc.right - 1, rc.bottom - 1);
  if (tl == kBack && br == kBack) return kNothing;
  if (tl == kLight && br == kShadow) return kRaised;
  if (tl == kShadow && br == kLight) {
    const COLORREF a = shot.Pixel(rc.left + 2, rc.top + 2), b = shot.Pixel(rc.left + 3, rc.top + 2);
    if (a != b && (a == kFace || a == kLight) && (b == kFace || b == kLight)) return kPatternSunken;
    return kSunken;
  }
  return static_cast<Look>(-1);
}

TEST(DefaultTheme, FillItemRectStates) {
  Owned<CXTPDefaultTheme> pm;
  const struct {
    int nSelected, nPressed;
    BOOL bEnabled, bChecked, bPopuped;
    Look look;
  } cases[] = {
      {0, 0, TRUE, TRUE, FALSE, kPatternSunken},  // checked, not hot
      {1, 0, TRUE, TRUE, FALSE, kSunken},         // checked and hovered
      {0, 1, TRUE, TRUE, FALSE, kSunken},
      {0, 0, TRUE, FALSE, TRUE, kSunken},  // popuped
      {0, 2, TRUE, FALSE, FALSE, kSunken},  // executed
      {1, 1, TRUE, FALSE, FALSE, kSunken},  // held under the mouse
      {1, 0, TRUE, FALSE, FALSE, kRaised},  // hot
      {2, 0, TRUE, FALSE, FALSE, kRaised},
      {0, 1, TRUE, FALSE, FALSE, kRaised},  // held, mouse gone
      {0, 0, TRUE, FALSE, FALSE, kNothing},
      {0, 0, FALSE, TRUE, FALSE, kSunken},  // disabled, checked
      {2, 0, FALSE, FALSE, FALSE, kSunken},  // disabled, selected by keyboard
      {1, 0, FALSE, FALSE, FALSE, kNothing},
      {0, 0, FALSE, FALSE, FALSE, kNothing},
  };
  CSnapshot shot(24 * 15, 24);
  int i = 0;
  for (const auto& c : cases) {
    const CRect rc(i * 24, 0, i * 24 + 23, 22);
    shot.DC().FillSolidRect(rc, kBack);
    pm->FillItemRect(&shot.DC(), rc, c.nSelected, c.nPressed, c.bEnabled, c.bChecked, c.bPopuped, TRUE, 0);
    EXPECT_EQ(ReadLook(shot, rc), c.look) << "case " << i;
    i++;
  }
  SavePicture(shot, L"paint_theme0_states.png");
}

TEST(DefaultTheme, CheckedPatternIsAnAlternatingChecker) {
  Owned<CXTPDefaultTheme> pm;
  CSnapshot shot(16, 16);
  pm->FillCheckedPattern(&shot.DC(), CRect(0, 0, 16, 16));
  for (int y = 0; y < 16; y++)
    for (int x = 0; x < 16; x++) {
      const COLORREF clr = shot.Pixel(x, y);
      ASSERT_TRUE(clr == kFace || clr == kLight) << x << "," << y;
      if (x > 0) {
        EXPECT_NE(clr, shot.Pixel(x - 1, y));
      }
      if (y > 0) {
        EXPECT_NE(clr, shot.Pixel(x, y - 1));
      }
    }
}

TEST(DefaultTheme, CheckedPatternRestoresTheDc) {
  Owned<CXTPDefaultTheme> pm;
  CSnapshot shot(16, 16);
  shot.DC().SetTextColor(RGB(1, 2, 3));
  shot.DC().SetBkColor(RGB(4, 5, 6));
  CBrush brush(RGB(7, 8, 9));
  CBrush* pOld = shot.DC().SelectObject(&brush);
  pm->FillCheckedPattern(&shot.DC(), CRect(0, 0, 16, 16));
  EXPECT_EQ(shot.DC().GetTextColor(), RGB(1, 2, 3));
  EXPECT_EQ(shot.DC().GetBkColor(), RGB(4, 5, 6));
  EXPECT_EQ(::GetCurrentObject(shot.DC().m_hDC, OBJ_BRUSH), brush.GetSafeHandle());
  shot.DC().SelectObject(pOld);
}

TEST(DefaultTheme, ItemFrameSetsTextColour) {
  Owned<CXTPDefaultTheme> pm;
  CSnapshot shot(30, 30);
  const struct {
    BOOL bEnabled;
    int nPosition;
    COLORREF clr;
  } cases[] = {{FALSE, 0, kGray}, {FALSE, 5, kGray}, {TRUE, 0, kText}, {TRUE, 5, kText}};
  for (const auto& c : cases) {
    shot.DC().SetBkMode(OPAQUE);
    pm->DrawItemFrame(&shot.DC(), CRect(0, 0, 20, 20), c.bEnabled, 0, 0, FALSE, FALSE, c.nPosition);
    EXPECT_EQ(shot.DC().GetTextColor(), c.clr);
    EXPECT_EQ(shot.DC().GetBkMode(), TRANSPARENT);
  }
  // Theme 3 without visual styles: popup text in colour 7.
  Owned<CXTPVisualStylesTheme> t3;
  t3->DrawItemFrame(&shot.DC(), CRect(0, 0, 20, 20), TRUE, 0, 0, FALSE, FALSE, 5);
  EXPECT_EQ(shot.DC().GetTextColor(), kMenuText);
}

// ---- Check marks and arrows -------------------------------------------------------------------
TEST(PaintManagerGlyphs, CheckMarkStrokes) {
  Owned<CXTPDefaultTheme> pm;
  const COLORREF clr = RGB(200, 0, 0);
  const CRect rc(0, 0, 20, 20);
  const int cx = 10, cy = 10;
  // Thin mark: (cx-4, cy-1) -> (cx-2, cy+1) -> (cx+3, cy-4) and one pixel lower.
  CSnapshot thin(20, 20);
  thin.DC().FillSolidRect(rc, kBack);
  pm->DrawCheckMark(&thin.DC(), rc, clr, FALSE);
  EXPECT_EQ(thin.Pixel(cx - 4, cy - 1), clr);
  EXPECT_EQ(thin.Pixel(cx - 4, cy), clr);
  EXPECT_EQ(thin.Pixel(cx - 2, cy + 1), clr);
  EXPECT_EQ(thin.Pixel(cx - 2, cy + 2), clr);
  EXPECT_EQ(thin.Pixel(cx + 2, cy - 3), clr);
  EXPECT_EQ(thin.Pixel(cx - 4, cy + 1), kBack);
  EXPECT_EQ(thin.Pixel(cx - 2, cy + 3), kBack);
  EXPECT_EQ(thin.Pixel(cx + 4, cy - 4), kBack);
  SavePicture(thin, L"paint_checkmark.png");

  // The bold mark is the same once more one pixel lower.
  pm->m_bThickCheckMark = TRUE;
  CSnapshot bold(20, 20);
  bold.DC().FillSolidRect(rc, kBack);
  pm->DrawCheckMark(&bold.DC(), rc, clr, FALSE);
  EXPECT_EQ(bold.Pixel(cx - 4, cy + 1), clr);
  EXPECT_EQ(bold.Pixel(cx - 2, cy + 3), clr);
  EXPECT_EQ(bold.Pixel(cx - 4, cy + 2), kBack);
  pm->m_bThickCheckMark = FALSE;

  // The other shape: (cx-4, cy-3) -> (cx, cy+1) -> (cx+3, cy-2).
  CSnapshot other(20, 20);
  other.DC().FillSolidRect(rc, kBack);
  pm->DrawCheckMark(&other.DC(), rc, clr, TRUE);
  EXPECT_EQ(other.Pixel(cx - 4, cy - 3), clr);
  EXPECT_EQ(other.Pixel(cx, cy + 1), clr);
  EXPECT_EQ(other.Pixel(cx, cy + 2), clr);
  EXPECT_EQ(other.Pixel(cx - 2, cy + 1), kBack);
}

TEST(PaintManagerGlyphs, DropDownArrowSizes) {
  Owned<CXTPDefaultTheme> pm;
  const COLORREF clr = RGB(0, 0, 200);
  const struct {
    int cx;  // rectangle width (height 16)
    int s;   // half width of the triangle
  } cases[] = {{12, 2}, {16, 4}, {10, 2}, {4, 2}};
  for (const auto& c : cases) {
    CSnapshot shot(40, 16);
    shot.DC().FillSolidRect(0, 0, 40, 16, kBack);
    const CRect rc(10, 0, 10 + c.cx, 16);
    pm->DrawDropDownArrow(&shot.DC(), rc, clr);
    const int x = rc.CenterPoint().x, y = 8 - c.s / 2;
    EXPECT_EQ(shot.Pixel(x - c.s, y), clr) << c.cx;
    EXPECT_EQ(shot.Pixel(x + c.s, y), clr) << c.cx;
    EXPECT_EQ(shot.Pixel(x, y + c.s), clr) << c.cx;
    EXPECT_EQ(shot.Pixel(x - c.s - 1, y), kBack) << c.cx;
    EXPECT_EQ(shot.Pixel(x, y + c.s + 1), kBack) << c.cx;
    EXPECT_EQ(shot.Pixel(x, y - 1), kBack) << c.cx;
  }
}

// ---- Text -------------------------------------------------------------------------------------
TEST(PaintManagerText, MeasuresStrippedTextWithArrowAndVertical) {
  Owned<CXTPDefaultTheme> pm;
  CSnapshot shot(200, 40);
  CFont* pOld = shot.DC().SelectObject(pm->GetRegularFont());
  const CSize szFile = shot.DC().GetTextExtent(_T("File"), 4);
  const CSize szSpace = shot.DC().GetTextExtent(_T(" "), 1);
  const CRect rc(0, 0, 200, 40);
  EXPECT_EQ(pm->DrawControlText(&shot.DC(), _T("&File"), rc, FALSE, FALSE, FALSE, FALSE), szFile);
  EXPECT_EQ(pm->DrawControlText(&shot.DC(), _T("&File"), rc, FALSE, FALSE, FALSE, TRUE),
            CSize(szFile.cx + 10, szFile.cy));
  EXPECT_EQ(pm->DrawControlText(&shot.DC(), _T("&File"), rc, FALSE, TRUE, FALSE, TRUE),
            CSize(szFile.cy, szFile.cx + 10));
  EXPECT_EQ(pm->DrawControlText(&shot.DC(), _T(""), rc, FALSE, FALSE, FALSE, FALSE), szSpace);
  EXPECT_EQ(pm->DrawControlText(&shot.DC(), _T("File"), rc, TRUE, FALSE, FALSE, FALSE), CSize(0, 0));
  shot.DC().SelectObject(pOld);
}

TEST(PaintManagerText, EmbossedTextArrowAndUnderline) {
  Owned<CXTPDefaultTheme> pm;
  const CRect rc(0, 0, 120, 24);
  auto draw = [&](CSnapshot& shot, BOOL bEmbossed, BOOL bUnderline, BOOL bArrow) {
    shot.DC().FillSolidRect(rc, kBack);
    CFont* pOld = shot.DC().SelectObject(pm->GetRegularFont());
    shot.DC().SetBkMode(TRANSPARENT);
    shot.DC().SetTextColor(kGray);
    pm->DrawControlText(&shot.DC(), _T("&Edit"), rc, TRUE, FALSE, FALSE, bArrow, bEmbossed, bUnderline);
    shot.DC().SelectObject(pOld);
  };
  CSnapshot plain(120, 24), embossed(120, 24), underlined(120, 24), arrow(120, 24);
  draw(plain, FALSE, FALSE, FALSE);
  draw(embossed, TRUE, FALSE, FALSE);
  draw(underlined, FALSE, TRUE, FALSE);
  draw(arrow, FALSE, FALSE, TRUE);
  EXPECT_EQ(CountColor(plain, rc, kLight), 0);
  EXPECT_GT(CountColor(embossed, rc, kLight), 0);  // the light copy one pixel down-right
  EXPECT_GT(CountColor(embossed, rc, kGray), 0);
  EXPECT_EQ(embossed.DC().GetTextColor(), kGray);
  EXPECT_GT(CountColor(underlined, rc, kGray), CountColor(plain, rc, kGray));  // the mnemonic line
  // The arrow sits right after the text.
  CFont* pOld = plain.DC().SelectObject(pm->GetRegularFont());
  const int w = plain.DC().GetTextExtent(_T("Edit"), 4).cx + 5;
  plain.DC().SelectObject(pOld);
  const int y = rc.CenterPoint().y - 1;
  EXPECT_EQ(arrow.Pixel(w, y + 1), kGray);
  EXPECT_EQ(plain.Pixel(w, y + 1), kBack);
  SavePicture(embossed, L"paint_text_embossed.png");

  // The underline override replaces the argument.
  CSnapshot overridden(120, 24);
  pm->SetUnderlineOverride(0);
  draw(overridden, FALSE, TRUE, FALSE);
  pm->SetUnderlineOverride(-1);
  EXPECT_EQ(CountColor(overridden, rc, kGray), CountColor(plain, rc, kGray));
}

// ---- Status bar ---------------------------------------------------------------------------------
TEST(PaintManagerStatusBar, PaneBorderAndGripperLines) {
  Owned<CXTPDefaultTheme> pm;
  CSnapshot shot(100, 24);
  shot.DC().FillSolidRect(0, 0, 100, 24, kBack);
  pm->DrawStatusBarPaneBorder(&shot.DC(), CRect(2, 2, 40, 20));
  EXPECT_EQ(shot.Pixel(2, 2), kShadow);
  EXPECT_EQ(shot.Pixel(20, 2), kShadow);
  EXPECT_EQ(shot.Pixel(39, 19), kLight);
  EXPECT_EQ(shot.Pixel(20, 10), kBack);

  const CRect rcGrip(50, 0, 100, 24);
  pm->DrawStatusBarGripper(&shot.DC(), rcGrip);
  const int W = 50, H = 24;
  for (int k = 0; k <= 8; k += 4) {
    EXPECT_EQ(shot.Pixel(50 + W - 3 - k, H - 2), kShadow) << k;
    EXPECT_EQ(shot.Pixel(50 + W - 4 - k, H - 2), kShadow) << k;
    EXPECT_EQ(shot.Pixel(50 + W - 5 - k, H - 2), kLight) << k;
    EXPECT_EQ(shot.Pixel(50 + W - 6 - k, H - 2), kBack) << k;
  }
  // A 45-degree line: one step up for one step right.
  EXPECT_EQ(shot.Pixel(50 + W - 2, H - 3), kShadow);
  SavePicture(shot, L"paint_status_theme0.png");
}

// ---- Grippers, tear-off strip, borders -------------------------------------------------------
TEST(DefaultTheme, FloatingGripperAndTearOff) {
  Owned<CTextHeightTheme> pm;
  const struct {
    int nTextHeight;
    CSize sz;
  } cases[] = {{16, CSize(6, 22)}, {17, CSize(6, 22)}, {18, CSize(6, 22)}, {20, CSize(6, 24)}};
  for (const auto& c : cases) {
    pm->SetTextHeight(c.nTextHeight);
    EXPECT_EQ(pm->DrawFloatingGripper(NULL, NULL, FALSE), c.sz) << c.nTextHeight;
  }
  CSnapshot shot(40, 30);
  shot.DC().FillSolidRect(0, 0, 40, 30, kBack);
  pm->SetTextHeight(20);
  pm->DrawFloatingGripper(&shot.DC(), NULL, TRUE);
  EXPECT_EQ(shot.Pixel(3, 3), kLight);  // raised (3, 3, 6, 24)
  EXPECT_EQ(shot.Pixel(5, 23), kShadow);

  CSnapshot tear(40, 10);
  tear.DC().FillSolidRect(0, 0, 40, 10, kBack);
  EXPECT_EQ(pm->DrawTearOffGripper(&tear.DC(), CRect(0, 0, 20, 8), TRUE, TRUE), CSize(0, 8));
  pm->DrawTearOffGripper(&tear.DC(), CRect(20, 0, 40, 8), FALSE, TRUE);
  EXPECT_EQ(tear.Pixel(5, 6), kActive);
  EXPECT_EQ(tear.Pixel(5, 7), kBack);
  EXPECT_EQ(tear.Pixel(25, 6), kInactive);
  EXPECT_EQ(pm->DrawTearOffGripper(NULL, CRect(), FALSE, FALSE), CSize(0, 8));
  EXPECT_EQ(pm->GetCommandBarBorders(NULL), CRect(2, 2, 2, 2));
}

// ---- Combo box parts --------------------------------------------------------------------------
TEST(DefaultTheme, ComboFrameAndDropDown) {
  Owned<CXTPDefaultTheme> pm;
  CSnapshot shot(120, 24);
  shot.DC().FillSolidRect(0, 0, 120, 24, kBack);
  pm->DrawComboFrame(&shot.DC(), CRect(0, 0, 30, 20), TRUE, TRUE);
  EXPECT_EQ(shot.Pixel(0, 0), kShadow);
  EXPECT_EQ(shot.Pixel(29, 19), kLight);
  EXPECT_EQ(shot.Pixel(1, 1), kFace);
  pm->DrawComboFrame(&shot.DC(), CRect(30, 0, 60, 20), FALSE, 2);
  EXPECT_EQ(shot.Pixel(30, 0), kBack);
  EXPECT_EQ(shot.Pixel(31, 1), kShadow);
  pm->DrawComboFrame(&shot.DC(), CRect(60, 0, 90, 20), FALSE, FALSE);
  EXPECT_EQ(shot.Pixel(61, 1), kLight);

  // The button: deflated (1, 2, 2, 2), raised when selected, arrow in colour 18.
  pm->DrawComboDropDown(&shot.DC(), CRect(90, 0, 110, 20), TRUE, TRUE, FALSE);
  EXPECT_EQ(shot.Pixel(91, 2), kLight);
  EXPECT_EQ(shot.Pixel(107, 17), kShadow);
  EXPECT_GT(CountColor(shot, CRect(92, 3, 107, 17), kText), 0);
  SavePicture(shot, L"paint_combo_theme0.png");
}

// ---- Images -------------------------------------------------------------------------------
// A 16 x 16 icon: a red square from (4, 4) to (11, 11), transparent elsewhere.
HICON MakeSquareIcon() {
  CWindowDC screen(NULL);
  CDC dc;
  dc.CreateCompatibleDC(&screen);
  CBitmap color, mask;
  color.CreateCompatibleBitmap(&screen, 16, 16);
  mask.CreateBitmap(16, 16, 1, 1, NULL);
  CBitmap* pOld = dc.SelectObject(&color);
  dc.FillSolidRect(0, 0, 16, 16, RGB(0, 0, 0));
  dc.FillSolidRect(4, 4, 8, 8, RGB(255, 0, 0));
  dc.SelectObject(&mask);
  dc.FillSolidRect(0, 0, 16, 16, RGB(255, 255, 255));
  dc.FillSolidRect(4, 4, 8, 8, RGB(0, 0, 0));
  dc.SelectObject(pOld);
  ICONINFO ii = {};
  ii.fIcon = TRUE;
  ii.hbmColor = color;
  ii.hbmMask = mask;
  return ::CreateIconIndirect(&ii);
}

TEST(DefaultTheme, ImagesEmbossedWhenDisabledAndShiftedWhenPressed) {
  Owned<CXTPDefaultTheme> pm;
  CXTPImageManagerIcon* pIcon = new CXTPImageManagerIcon(1, 16, 16);
  HICON hIcon = MakeSquareIcon();
  const CXTPImageManagerIconHandle handle(hIcon);  // wraps; SetIcon keeps a copy
  ASSERT_TRUE(pIcon->SetIcon(handle));
  const COLORREF kRed = RGB(255, 0, 0);

  CSnapshot shot(100, 24);
  shot.DC().FillSolidRect(0, 0, 100, 24, kBack);
  // Disabled: the silhouette in colour 20 one pixel down-right, then in colour 16.
  pm->DrawImage(&shot.DC(), CPoint(0, 0), CSize(16, 16), pIcon, FALSE, FALSE, FALSE, FALSE, FALSE, TRUE);
  EXPECT_EQ(shot.Pixel(4, 4), kShadow);
  EXPECT_EQ(shot.Pixel(11, 11), kShadow);
  EXPECT_EQ(shot.Pixel(12, 12), kLight);
  EXPECT_EQ(shot.Pixel(3, 3), kBack);
  EXPECT_EQ(CountColor(shot, CRect(0, 0, 16, 16), kRed), 0);
  // Enabled: the normal image in place; selected and pressed: one pixel down-right.
  pm->DrawImage(&shot.DC(), CPoint(20, 0), CSize(16, 16), pIcon, FALSE, FALSE, TRUE, FALSE, FALSE, TRUE);
  EXPECT_EQ(shot.Pixel(24, 4), kRed);
  EXPECT_EQ(shot.Pixel(23, 4), kBack);
  pm->DrawImage(&shot.DC(), CPoint(40, 0), CSize(16, 16), pIcon, TRUE, TRUE, TRUE, FALSE, FALSE, TRUE);
  EXPECT_EQ(shot.Pixel(44, 4), kBack);
  EXPECT_EQ(shot.Pixel(45, 5), kRed);
  EXPECT_EQ(shot.Pixel(52, 12), kRed);
  // Executed (pressed 2) without the mouse: shifted too.
  pm->DrawImage(&shot.DC(), CPoint(60, 0), CSize(16, 16), pIcon, FALSE, 2, TRUE, FALSE, FALSE, TRUE);
  EXPECT_EQ(shot.Pixel(64, 4), kBack);
  EXPECT_EQ(shot.Pixel(65, 5), kRed);
  SavePicture(shot, L"paint_images_theme0.png");
  pIcon->InternalRelease();
  ::DestroyIcon(hIcon);
}

// ---- Animations -------------------------------------------------------------------------------
TEST(PaintManagerAnimation, EachKindEndsOnTheSourceInItsTime) {
  Owned<CXTPDefaultTheme> pm;
  const CRect rc(0, 0, 40, 30);
  const struct {
    XTPAnimationType type;
    bool bExact;  // the last step shows the source itself
  } cases[] = {{xtpAnimateUnfold, true}, {xtpAnimateSlide, true}, {xtpAnimateFade, false}};
  for (const auto& c : cases) {
    CSnapshot source(40, 30), target(40, 30);
    source.DC().FillSolidRect(rc, RGB(200, 100, 0));
    source.DC().FillSolidRect(CRect(20, 15, 40, 30), RGB(0, 0, 250));
    target.DC().FillSolidRect(rc, RGB(0, 0, 0));
    const DWORD dwStart = ::GetTickCount();
    pm->Animate(&target.DC(), &source.DC(), rc, c.type);
    const DWORD dwSpent = ::GetTickCount() - dwStart;
    EXPECT_GE(dwSpent, 75u) << c.type;  // 10 (fade: 9) steps of 10 ms
    EXPECT_LT(dwSpent, 1000u) << c.type;
    if (c.bExact) {
      EXPECT_EQ(target.Pixel(0, 0), RGB(200, 100, 0)) << c.type;
      EXPECT_EQ(target.Pixel(39, 29), RGB(0, 0, 250)) << c.type;
    } else {
      // 9 of 10 steps blended: 229/255 of the source over black, per channel /256.
      const COLORREF clr = target.Pixel(0, 0);
      EXPECT_EQ(GetRValue(clr), 200 * 229 / 256);
      EXPECT_EQ(GetGValue(clr), 100 * 229 / 256);
      EXPECT_EQ(GetBValue(target.Pixel(39, 29)), 250 * 229 / 256);
    }
  }
  // Nothing happens for "none" or an empty rectangle.
  CSnapshot source(10, 10), target(10, 10);
  source.DC().FillSolidRect(0, 0, 10, 10, RGB(1, 1, 1));
  target.DC().FillSolidRect(0, 0, 10, 10, RGB(2, 2, 2));
  pm->Animate(&target.DC(), &source.DC(), CRect(0, 0, 10, 10), xtpAnimateNone);
  pm->Animate(&target.DC(), &source.DC(), CRect(), xtpAnimateUnfold);
  EXPECT_EQ(target.Pixel(5, 5), RGB(2, 2, 2));
}

// ---- Theme 3 over the stand-in visual styles ------------------------------------------------
TEST(VisualStylesTheme, ButtonStatesFromTheToolbarClass) {
  FakeVisualStyles styles;
  Owned<CXTPVisualStylesTheme> pm;
  ASSERT_TRUE(CXTPVisualStylesTheme::IsUsable(pm->m_themeToolbar));
  const struct {
    int nSelected, nPressed;
    BOOL bEnabled, bChecked, bPopuped;
    int nState;
  } cases[] = {
      {1, 0, TRUE, TRUE, FALSE, TS_HOTCHECKED}, {1, 0, FALSE, TRUE, FALSE, TS_PRESSED},
      {0, 0, TRUE, TRUE, FALSE, TS_CHECKED},    {0, 0, FALSE, FALSE, FALSE, TS_DISABLED},
      {0, 0, TRUE, FALSE, TRUE, TS_PRESSED},    {0, 2, TRUE, FALSE, FALSE, TS_PRESSED},
      {1, 1, TRUE, FALSE, FALSE, TS_PRESSED},   {1, 0, TRUE, FALSE, FALSE, TS_HOT},
      {0, 0, TRUE, FALSE, FALSE, TS_NORMAL},    {0, 1, TRUE, TRUE, FALSE, TS_NORMAL},
  };
  CSnapshot shot(24 * 10, 24);
  int i = 0;
  for (const auto& c : cases) {
    g_calls.clear();
    const CRect rc(i * 24, 0, i * 24 + 23, 22);
    pm->FillItemRect(&shot.DC(), rc, c.nSelected, c.nPressed, c.bEnabled, c.bChecked, c.bPopuped, TRUE, 0);
    ASSERT_EQ(g_calls.size(), 1u) << i;
    EXPECT_EQ(g_calls[0].nPart, TP_BUTTON);
    EXPECT_EQ(g_calls[0].nState, c.nState) << "case " << i;
    EXPECT_EQ(shot.Pixel(rc.left + 5, rc.top + 5), ThemePartColor(TP_BUTTON, c.nState));
    i++;
  }
  SavePicture(shot, L"paint_theme3_states.png");
}

TEST(VisualStylesTheme, RefreshTakesThemeColours) {
  FakeVisualStyles styles;
  CXTPVisualStylesTheme* pm = new CXTPVisualStylesTheme();
  pm->RefreshMetrics();
  EXPECT_EQ(pm->GetColor(COLOR_BTNTEXT), RGB(1, 2, 3));
  EXPECT_EQ(pm->GetColor(COLOR_BTNFACE), RGB(4, 5, 6));
  EXPECT_EQ(pm->m_clrEdgeShadowColor, RGB(7, 8, 9));
  EXPECT_EQ(pm->m_clrStatusTextColor, RGB(10, 11, 12));
  pm->InternalRelease();

  // Visual styles off: the colours of the base refresh.
  g_bAppThemed = FALSE;
  pm = new CXTPVisualStylesTheme();
  pm->RefreshMetrics();
  EXPECT_EQ(pm->GetColor(COLOR_BTNTEXT), ::GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(pm->m_clrEdgeShadowColor, pm->GetColor(COLOR_BTNSHADOW));
  EXPECT_EQ(pm->m_clrStatusTextColor, pm->GetColor(COLOR_BTNTEXT));
  pm->InternalRelease();
}

TEST(VisualStylesTheme, StatusBarGripperComboAndFloatingGripper) {
  FakeVisualStyles styles;
  Owned<CTextHeightVisualTheme> pm;
  CSnapshot shot(120, 30);
  shot.DC().FillSolidRect(0, 0, 120, 30, kBack);

  g_calls.clear();
  pm->DrawStatusBarPaneBorder(&shot.DC(), CRect(0, 0, 40, 20));
  pm->DrawStatusBarGripper(&shot.DC(), CRect(40, 0, 100, 20));
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[0].nPart, SP_PANE);
  EXPECT_EQ(g_calls[1].nPart, SP_GRIPPER);
  EXPECT_EQ(g_calls[1].rc, CRect(82, 0, 100, 20));  // the rightmost 18 pixels
  EXPECT_EQ(shot.Pixel(81, 10), kBack);

  // The drop-down button: shrunk 2 on the left, grown 1 at top, right and bottom.
  const struct {
    BOOL bEnabled, bSelected, bDropped;
    int nState;
  } combo[] = {{FALSE, TRUE, TRUE, 4}, {TRUE, TRUE, TRUE, 3}, {TRUE, TRUE, FALSE, 2}, {TRUE, FALSE, FALSE, 1}};
  for (const auto& c : combo) {
    g_calls.clear();
    pm->DrawComboDropDown(&shot.DC(), CRect(10, 5, 25, 20), c.bEnabled, c.bSelected, c.bDropped);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].nPart, CP_DROPDOWNBUTTON);
    EXPECT_EQ(g_calls[0].nState, c.nState);
    EXPECT_EQ(g_calls[0].rc, CRect(12, 4, 26, 21));
  }
  // The frame in the class's border colour of the state.
  pm->DrawComboFrame(&shot.DC(), CRect(0, 22, 30, 30), TRUE, FALSE);
  EXPECT_EQ(shot.Pixel(0, 22), RGB(13, 14, 16));
  pm->DrawComboFrame(&shot.DC(), CRect(0, 22, 30, 30), FALSE, FALSE);
  EXPECT_EQ(shot.Pixel(29, 29), RGB(13, 14, 19));

  const struct {
    int nTextHeight;
    CSize sz;
  } grippers[] = {{16, CSize(8, 22)}, {20, CSize(8, 24)}};
  for (const auto& c : grippers) {
    pm->SetTextHeight(c.nTextHeight);
    EXPECT_EQ(pm->DrawFloatingGripper(NULL, NULL, FALSE), c.sz);
  }
  g_calls.clear();
  pm->DrawFloatingGripper(&shot.DC(), NULL, TRUE);
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].nPart, RP_GRIPPER);
  EXPECT_EQ(g_calls[0].rc, CRect(2, 3, 8, 24));
  SavePicture(shot, L"paint_theme3_parts.png");
}

// Visual styles switched off through the common-controls version seam, and again through
// the system's answer: theme 3 draws as theme 0.
TEST(VisualStylesTheme, FallsBackToTheDefaultDrawing) {
  const struct {
    DWORD dwComCtl;
    BOOL bThemed;
  } cases[] = {{0x00050051, TRUE}, {0x00060000, FALSE}};
  for (const auto& c : cases) {
    FakeVisualStyles styles(c.dwComCtl);
    g_bAppThemed = c.bThemed;
    Owned<CTextHeightVisualTheme> t3;
    Owned<CTextHeightTheme> t0;
    EXPECT_FALSE(CXTPVisualStylesTheme::IsUsable(t3->m_themeToolbar));
    g_calls.clear();
    CSnapshot shot3(200, 30), shot0(200, 30);
    for (CSnapshot* shot : {&shot3, &shot0}) shot->DC().FillSolidRect(0, 0, 200, 30, kBack);
    auto drawAll = [](CXTPDefaultTheme* pm, CSnapshot& shot) {
      pm->FillItemRect(&shot.DC(), CRect(0, 0, 23, 22), 1, 0, TRUE, FALSE, FALSE, TRUE, 0);
      pm->FillItemRect(&shot.DC(), CRect(24, 0, 47, 22), 0, 0, TRUE, TRUE, FALSE, TRUE, 0);
      pm->DrawStatusBarPaneBorder(&shot.DC(), CRect(50, 0, 90, 20));
      pm->DrawStatusBarGripper(&shot.DC(), CRect(90, 0, 130, 20));
      pm->DrawComboFrame(&shot.DC(), CRect(130, 0, 160, 20), TRUE, TRUE);
      pm->DrawComboDropDown(&shot.DC(), CRect(160, 0, 180, 20), TRUE, FALSE, TRUE);
    };
    drawAll(t3.p, shot3);
    drawAll(t0.p, shot0);
    EXPECT_TRUE(g_calls.empty());
    for (int y = 0; y < 30; y++)
      for (int x = 0; x < 200; x++) ASSERT_EQ(shot3.Pixel(x, y), shot0.Pixel(x, y)) << x << "," << y;
    t3->SetTextHeight(20);
    EXPECT_EQ(t3->DrawFloatingGripper(NULL, NULL, FALSE), CSize(6, 24));
    if (c.bThemed) SavePicture(shot3, L"paint_theme3_fallback.png");
  }
}

// ---- Bars ---------------------------------------------------------------------------------
// A bar window placed at a chosen position, drawn into a memory DC of its client size.
class CPlacedBar : public CXTPCommandBar {
 public:
  CPlacedBar(XTPBarPosition position, XTPBarType type, CSize size) {
    m_barPosition = position;
    m_barType = type;
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), NULL);
    CreateEx(WS_EX_TOOLWINDOW, cls, L"Standard", WS_POPUP, 0, 0, size.cx, size.cy, NULL, NULL);
  }
  ~CPlacedBar() override {
    if (GetSafeHwnd() != NULL) DestroyWindow();
  }
};

TEST(DefaultTheme, BarBackgroundsAndBorders) {
  Owned<CXTPDefaultTheme> pm;
  const struct {
    XTPBarPosition position;
    COLORREF outerTL, outerBR, innerTL, innerBR;
  } cases[] = {
      {xtpBarTop, kLight, kShadow, kFace, kFace},
      {xtpBarLeft, kLight, kShadow, kFace, kFace},
      {xtpBarFloating, kFace, kDark, kLight, kShadow},
      {xtpBarPopup, kFace, kDark, kLight, kShadow},
  };
  for (const auto& c : cases) {
    CPlacedBar bar(c.position, c.position == xtpBarPopup ? xtpBarTypePopup : xtpBarTypeNormal, CSize(60, 30));
    ASSERT_NE(bar.GetSafeHwnd(), nullptr);
    CSnapshot shot(60, 30);
    pm->DrawBarBackground(&shot.DC(), &bar);
    EXPECT_EQ(shot.Pixel(0, 0), c.outerTL) << c.position;
    EXPECT_EQ(shot.Pixel(59, 29), c.outerBR) << c.position;
    EXPECT_EQ(shot.Pixel(1, 1), c.innerTL) << c.position;
    EXPECT_EQ(shot.Pixel(58, 28), c.innerBR) << c.position;
    EXPECT_EQ(shot.Pixel(30, 15), kFace) << c.position;
    EXPECT_EQ(pm->GetCommandBarBorders(&bar), c.position == xtpBarPopup ? CRect(3, 3, 3, 3) : CRect(2, 2, 2, 2));
    EXPECT_EQ(pm->DrawSeparator(&shot.DC(), &bar, NULL, FALSE),
              c.position == xtpBarPopup ? CSize(8, 8) : CSize(6, 6));
    if (c.position == xtpBarPopup) SavePicture(shot, L"paint_popup_background_theme0.png");
  }
}

TEST(DefaultTheme, GrippersByPosition) {
  Owned<CXTPDefaultTheme> pm;
  {
    CPlacedBar bar(xtpBarTop, xtpBarTypeNormal, CSize(80, 26));
    CSnapshot shot(80, 26);
    shot.DC().FillSolidRect(0, 0, 80, 26, kBack);
    EXPECT_EQ(pm->DrawGripper(&shot.DC(), &bar, TRUE), CSize(6, 0));
    EXPECT_EQ(shot.Pixel(3, 3), kLight);  // raised (3, 3, 6, 23)
    EXPECT_EQ(shot.Pixel(5, 22), kShadow);
    EXPECT_EQ(shot.Pixel(3, 23), kBack);
  }
  {
    CPlacedBar bar(xtpBarLeft, xtpBarTypeNormal, CSize(26, 80));
    CSnapshot shot(26, 80);
    shot.DC().FillSolidRect(0, 0, 26, 80, kBack);
    EXPECT_EQ(pm->DrawGripper(&shot.DC(), &bar, TRUE), CSize(0, 8));
    EXPECT_EQ(shot.Pixel(3, 3), kLight);  // raised (3, 3, 23, 6)
    EXPECT_EQ(shot.Pixel(22, 5), kShadow);
  }
  {
    // Floating: a caption of colour 2 at least 15 pixels high, the title in colour 20.
    CPlacedBar bar(xtpBarFloating, xtpBarTypeNormal, CSize(120, 60));
    bar.SetTitle(_T("Standard"));
    CSnapshot shot(120, 60);
    shot.DC().FillSolidRect(0, 0, 120, 60, kBack);
    CFont* pOld = shot.DC().SelectObject(pm->GetSmCaptionFont());
    const int h = shot.DC().GetTextExtent(_T(" "), 1).cy;
    shot.DC().SelectObject(pOld);
    const CSize sz = pm->DrawGripper(&shot.DC(), &bar, TRUE);
    EXPECT_EQ(sz, CSize(114, h < 15 ? 15 : h));
    EXPECT_EQ(shot.Pixel(3, 3), kActive);
    EXPECT_EQ(shot.Pixel(116, 3 + sz.cy - 1), kActive);
    EXPECT_EQ(shot.Pixel(3, 3 + sz.cy), kBack);
    EXPECT_GT(CountColor(shot, CRect(5, 3, 60, 3 + sz.cy), kLight), 0);
    SavePicture(shot, L"paint_floating_caption_theme0.png");
  }
  {
    CPlacedBar bar(xtpBarPopup, xtpBarTypePopup, CSize(40, 40));
    EXPECT_EQ(pm->DrawGripper(NULL, &bar, FALSE), CSize(0, 0));
  }
}

TEST(VisualStylesTheme, BarBackgroundsAndGrippers) {
  FakeVisualStyles styles;
  Owned<CXTPVisualStylesTheme> pm;
  const COLORREF kEdge = RGB(7, 8, 9);
  {
    // Popup with flat menus: one fill in colour 4 and one frame in colour 16.
    CPlacedBar bar(xtpBarPopup, xtpBarTypePopup, CSize(60, 40));
    CSnapshot shot(60, 40);
    pm->m_bFlatMenus = TRUE;
    pm->DrawBarBackground(&shot.DC(), &bar);
    EXPECT_EQ(shot.Pixel(0, 0), kShadow);
    EXPECT_EQ(shot.Pixel(59, 39), kShadow);
    EXPECT_EQ(shot.Pixel(1, 1), kMenu);
    EXPECT_EQ(shot.Pixel(58, 38), kMenu);
    SavePicture(shot, L"paint_popup_background_theme3_flat.png");
    // Without flat menus: the raised double frame around colour 4.
    pm->m_bFlatMenus = FALSE;
    pm->DrawBarBackground(&shot.DC(), &bar);
    EXPECT_EQ(shot.Pixel(0, 0), kFace);
    EXPECT_EQ(shot.Pixel(59, 39), kDark);
    EXPECT_EQ(shot.Pixel(1, 1), kLight);
    EXPECT_EQ(shot.Pixel(58, 38), kShadow);
    EXPECT_EQ(shot.Pixel(30, 20), kMenu);
  }
  {
    // Top: the rebar picture, then colour 20 and the edge shadow colour.
    CPlacedBar bar(xtpBarTop, xtpBarTypeNormal, CSize(80, 26));
    CSnapshot shot(80, 26);
    g_calls.clear();
    pm->DrawBarBackground(&shot.DC(), &bar);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].nPart, 0);
    EXPECT_EQ(shot.Pixel(40, 13), ThemePartColor(0, 0));
    EXPECT_EQ(shot.Pixel(0, 0), kLight);
    EXPECT_EQ(shot.Pixel(79, 25), kEdge);

    g_calls.clear();
    EXPECT_EQ(pm->DrawGripper(&shot.DC(), &bar, TRUE), CSize(8, 0));
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].nPart, RP_GRIPPER);
    EXPECT_EQ(g_calls[0].nState, 1);
    EXPECT_EQ(g_calls[0].rc, CRect(2, 0, 8, 26));
    SavePicture(shot, L"paint_toolbar_background_theme3.png");
  }
  {
    CPlacedBar bar(xtpBarRight, xtpBarTypeNormal, CSize(26, 80));
    CSnapshot shot(26, 80);
    g_calls.clear();
    pm->DrawBarBackground(&shot.DC(), &bar);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(shot.Pixel(10, 40), kFace);
    EXPECT_EQ(shot.Pixel(25, 79), kEdge);
    EXPECT_EQ(pm->DrawGripper(&shot.DC(), &bar, TRUE), CSize(0, 8));
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].nPart, RP_GRIPPERVERT);
    EXPECT_EQ(g_calls[0].rc, CRect(0, 2, 26, 8));
  }
}

// ---- Controls on toolbars and popup bars ------------------------------------------------------
// Command ids with no image in the image manager.
const int kNoImageId = 47001;

CSize TextSize(CXTPPaintManager* pm, LPCTSTR psz) {
  CWindowDC dc(NULL);
  CFont* pOld = dc.SelectObject(pm->GetRegularFont());
  const CSize sz = dc.GetTextExtent(psz, lstrlen(psz));
  dc.SelectObject(pOld);
  return sz;
}

TEST(ToolbarItems, SizesByKindAndStyle) {
  Owned<CXTPDefaultTheme> pm;
  CPlacedBar bar(xtpBarTop, xtpBarTypeNormal, CSize(300, 30));
  CSnapshot shot(10, 10);
  const CSize szOpen = TextSize(pm.p, _T("Open"));
  const int nTextRow = std::max<int>(23, pm->GetTextHeight() + 6);
  const struct {
    XTPControlType type;
    int nStyle;
    LPCTSTR pszCaption;
    CSize sz;
  } cases[] = {
      // A split button showing only its icon, whose icon cannot be found: 23 x 23 + 11.
      {xtpControlSplitButtonPopup, xtpButtonIcon, _T("&Open"), CSize(34, 23)},
      // Without a caption shown: the button size (icon 16 + 7).
      {xtpControlButton, xtpButtonIcon, _T("&Open"), CSize(23, 23)},
      // Caption without icon: 7 + text, at least 23 x 23.
      {xtpControlButton, xtpButtonCaption, _T("&Open"), CSize(std::max<int>(23, 7 + szOpen.cx), nTextRow)},
      {xtpControlSplitButtonPopup, xtpButtonCaption, _T("&Open"),
       CSize(std::max<int>(34, 7 + szOpen.cx + 11), nTextRow)},
      // A popup without icon: text with arrow, + 6 each way.
      {xtpControlPopup, xtpButtonAutomatic, _T("&Open"), CSize(szOpen.cx + 10 + 6, szOpen.cy + 6)},
  };
  for (const auto& c : cases) {
    CXTPControl* pControl = bar.GetControls()->Add(c.type, kNoImageId);
    ASSERT_NE(pControl, nullptr);
    pControl->SetStyle(c.nStyle);
    pControl->SetCaption(c.pszCaption);
    EXPECT_EQ(pm->DrawControl(&shot.DC(), pControl, FALSE), c.sz) << c.type << "/" << c.nStyle;
  }
}

// A menu bar's items are popups drawn without the arrow that popups on other bars show:
// the item is 10 pixels narrower and nothing is drawn right of its text.
TEST(ToolbarItems, MenuBarItemsHaveNoArrow) {
  Owned<CXTPDefaultTheme> pm;
  const CSize szEdit = TextSize(pm.p, _T("Edit"));
  const struct {
    const char* name;
    XTPBarType type;
    int cxExpected;
    bool bArrow;
  } cases[] = {
      {"toolbar", xtpBarTypeNormal, szEdit.cx + 10 + 6, true},
      {"menu bar", xtpBarTypeMenuBar, szEdit.cx + 6, false},
  };
  for (const auto& c : cases) {
    CPlacedBar bar(xtpBarTop, c.type, CSize(300, 30));
    CXTPControl* pControl = bar.GetControls()->Add(xtpControlPopup, kNoImageId);
    ASSERT_NE(pControl, nullptr);
    pControl->SetCaption(_T("&Edit"));
    CSnapshot measure(10, 10);
    const CSize sz = pm->DrawControl(&measure.DC(), pControl, FALSE);
    EXPECT_EQ(sz, CSize(c.cxExpected, szEdit.cy + 6)) << c.name;
    // Drawn in a rectangle 30 pixels wider than the text: the text is centred, an arrow
    // would follow it.
    const CRect rc(0, 0, szEdit.cx + 30, sz.cy);
    pControl->SetRect(rc);
    CSnapshot shot(rc.Width(), rc.Height());
    shot.DC().FillSolidRect(rc, kFace);
    pm->DrawControl(&shot.DC(), pControl, TRUE);
    const int xTextEnd = (rc.Width() - szEdit.cx - (c.bArrow ? 5 : 0)) / 2 + szEdit.cx;
    const CRect rcAfterText(xTextEnd + 1, 0, rc.right, rc.bottom);
    EXPECT_EQ(CountColor(shot, rcAfterText, kText) > 0, c.bArrow) << c.name;
    EXPECT_GT(CountColor(shot, CRect(0, 0, xTextEnd, rc.bottom), kText), 0) << c.name << ": the text is drawn";
    SavePicture(shot, c.bArrow ? L"paint_popup_item_toolbar.png" : L"paint_popup_item_menubar.png");
  }
}

// A popup row under the mouse.
class CHotPopup : public CXTPControlPopup {
 public:
  CHotPopup() { SetType(xtpControlPopup); }
  void MakeHot() { m_bSelected = 1; }
};

// A split button under the mouse.
class CHotSplit : public CXTPControlPopup {
 public:
  CHotSplit() { SetType(xtpControlSplitButtonPopup); }
  void MakeHot() { m_bSelected = 1; }
};

TEST(ToolbarItems, SplitButtonFrameArrowAndText) {
  const struct {
    bool bVisual;
    const wchar_t* name;
  } themes[] = {{false, L"paint_split_theme0.png"}, {true, L"paint_split_theme3_fallback.png"}};
  for (const auto& t : themes) {
    FakeVisualStyles stylesOff(0x00050051);  // theme 3 falls back
    CXTPDefaultTheme* pm = t.bVisual ? new CXTPVisualStylesTheme() : new CXTPDefaultTheme();
    pm->RefreshMetrics();
    FixColors(pm);
    CPlacedBar bar(xtpBarTop, xtpBarTypeNormal, CSize(300, 30));
    CHotSplit* pControl = new CHotSplit();
    bar.GetControls()->Add(pControl, kNoImageId);
    pControl->SetStyle(xtpButtonIcon);
    pControl->SetRect(CRect(0, 0, 34, 23));
    pControl->MakeHot();
    ASSERT_EQ(pControl->GetSelected(), 1);
    CSnapshot shot(40, 26);
    shot.DC().FillSolidRect(0, 0, 40, 26, kBack);
    pm->DrawControl(&shot.DC(), pControl, TRUE);
    // Main part (0 .. 22) and arrow part (22 .. 34) each raised.
    EXPECT_EQ(shot.Pixel(0, 0), kLight);
    EXPECT_EQ(shot.Pixel(21, 22), kShadow);
    EXPECT_EQ(shot.Pixel(22, 0), kLight);
    EXPECT_EQ(shot.Pixel(33, 22), kShadow);
    EXPECT_EQ(shot.Pixel(10, 10), kBack);
    // The arrow: (right - 9, y - 1) to (right - 5, y - 1), apex (right - 7, y + 1).
    const int y = 11;
    EXPECT_EQ(shot.Pixel(34 - 7, y), kText);
    EXPECT_EQ(shot.Pixel(34 - 7, y + 1), kText);
    EXPECT_EQ(shot.Pixel(34 - 7, y + 3), kBack);
    SavePicture(shot, t.name);
    pm->InternalRelease();
  }
}

TEST(PopupRows, MeasureAndDrawCheckArrowAndShortcut) {
  const struct {
    bool bVisual;
    COLORREF clrText;
    const wchar_t* name;
  } themes[] = {{false, kText, L"paint_popup_rows_theme0.png"}, {true, kMenuText, L"paint_popup_rows_theme3_fallback.png"}};
  for (const auto& t : themes) {
    FakeVisualStyles stylesOff(0x00050051);  // theme 3 falls back
    CXTPDefaultTheme* pm = t.bVisual ? new CXTPVisualStylesTheme() : new CXTPDefaultTheme();
    pm->RefreshMetrics();
    FixColors(pm);
    CPlacedBar bar(xtpBarPopup, xtpBarTypePopup, CSize(200, 80));
    const int D = std::max<int>(pm->GetTextHeight(), 20);
    const int nRow = std::max<int>(pm->GetTextHeight(), 20);

    CXTPControl* pCheck = bar.GetControls()->Add(xtpControlButton, kNoImageId);
    pCheck->SetCaption(_T("&Status Bar\tCtrl+B"));
    pCheck->SetChecked(TRUE);
    CXTPControl* pPopup = bar.GetControls()->Add(xtpControlPopup, kNoImageId + 1);
    pPopup->SetCaption(_T("&Toolbars"));
    CXTPControl* pDisabled = bar.GetControls()->Add(xtpControlButton, kNoImageId + 2);
    pDisabled->SetCaption(_T("&Customize..."));
    pDisabled->SetEnabled(FALSE);

    CSnapshot shot(200, 80);
    shot.DC().FillSolidRect(0, 0, 200, 80, kMenu);
    const CSize szCaption = TextSize(pm, _T("Status Bar")), szShortcut = TextSize(pm, _T("Ctrl+B"));
    EXPECT_EQ(pm->DrawControl(&shot.DC(), pCheck, FALSE), CSize(szCaption.cx + szShortcut.cx + D + 40, nRow));
    pCheck->SetRect(CRect(0, 0, 200, nRow));
    pPopup->SetRect(CRect(0, nRow, 200, 2 * nRow));
    pDisabled->SetRect(CRect(0, 2 * nRow, 200, 3 * nRow));
    for (CXTPControl* p : {pCheck, pPopup, pDisabled}) pm->DrawControl(&shot.DC(), p, TRUE);

    // The check mark in the popup text colour, centred in the first column, inside the
    // sunken frame of the checked column.
    const CPoint c(D / 2, nRow / 2);
    EXPECT_EQ(shot.Pixel(c.x - 4, c.y - 1), t.clrText);
    EXPECT_EQ(shot.Pixel(c.x - 2, c.y + 1), t.clrText);
    EXPECT_EQ(shot.Pixel(0, 0), kShadow);
    // Caption and shortcut in the text colour.
    EXPECT_GT(CountColor(shot, CRect(D + 4, 0, D + 4 + szCaption.cx, nRow), t.clrText), 0);
    EXPECT_GT(CountColor(shot, CRect(200 - 19 - szShortcut.cx, 0, 200 - 19, nRow), t.clrText), 0);
    // The submenu arrow: (x, y - 3), (x + 3, y), (x, y + 3) with x = right - 11.
    const int y = nRow + nRow / 2;
    EXPECT_EQ(shot.Pixel(200 - 11, y), t.clrText);
    EXPECT_EQ(shot.Pixel(200 - 9, y), t.clrText);
    EXPECT_EQ(shot.Pixel(200 - 7, y), kMenu);
    // Disabled text: grey, embossed in colour 20.
    const CRect rcDisabled(D + 4, 2 * nRow, 200, 3 * nRow);
    EXPECT_GT(CountColor(shot, rcDisabled, kGray), 0);
    EXPECT_GT(CountColor(shot, rcDisabled, kLight), 0);
    SavePicture(shot, t.name);
    pm->InternalRelease();
  }
}

// A selected row: an enabled one is filled with the highlight colour behind its highlight
// text; a disabled one (a bar's entry in the add-or-remove list when the bars cannot be
// customised, say) keeps its grey embossed text on the menu's background inside a frame
// of the highlight colour, where grey on the highlight colour would be unreadable.
TEST(PopupRows, SelectedRowsKeepTheirTextReadable) {
  const COLORREF kHigh = RGB(0x33, 0x99, 0xFF), kHighText = RGB(0xFF, 0xFF, 0xF0);
  const struct {
    const char* name;
    BOOL bEnabled;
    bool bFilled;         // the row's inside is the highlight colour
    COLORREF clrText;     // the caption's colour
    bool bEmbossed;
  } rows[] = {
      {"enabled, selected", TRUE, true, kHighText, false},
      {"disabled, selected", FALSE, false, kGray, true},
  };
  for (bool bVisual : {false, true}) {
    FakeVisualStyles stylesOff(0x00050051);  // theme 3 falls back
    CXTPDefaultTheme* pm = bVisual ? new CXTPVisualStylesTheme() : new CXTPDefaultTheme();
    pm->RefreshMetrics();
    FixColors(pm);
    pm->SetColorOverride(COLOR_HIGHLIGHT, kHigh);
    pm->SetColorOverride(COLOR_HIGHLIGHTTEXT, kHighText);
    CPlacedBar bar(xtpBarPopup, xtpBarTypePopup, CSize(200, 80));
    const int D = std::max<int>(pm->GetTextHeight(), 20);
    const int nRow = std::max<int>(pm->GetTextHeight(), 20);
    CSnapshot shot(200, 2 * nRow);
    shot.DC().FillSolidRect(0, 0, 200, 2 * nRow, kMenu);
    int i = 0;
    for (const auto& r : rows) {
      CHotPopup* pRow = new CHotPopup();
      bar.GetControls()->Add(pRow, kNoImageId + 10 + i);
      pRow->SetCaption(_T("Standard"));
      pRow->SetEnabled(r.bEnabled);
      pRow->MakeHot();
      const CRect R(0, i * nRow, 200, (i + 1) * nRow);
      pRow->SetRect(R);
      pm->DrawControl(&shot.DC(), pRow, TRUE);
      CRect rcInside(R);
      rcInside.DeflateRect(1, 1);
      const CRect rcText(D + 4, R.top, D + 4 + TextSize(pm, _T("Standard")).cx, R.bottom);
      const int nInside = rcInside.Width() * rcInside.Height();
      const int nHigh = CountColor(shot, rcInside, kHigh);
      if (r.bFilled) {
        EXPECT_GT(nHigh, nInside / 2) << r.name;
      } else {
        EXPECT_EQ(nHigh, 0) << r.name;
        EXPECT_EQ(shot.Pixel(R.left, R.top), kHigh) << r.name << ": the frame";
        EXPECT_EQ(shot.Pixel(R.right - 1, R.bottom - 1), kHigh) << r.name << ": the frame";
        EXPECT_EQ(shot.Pixel(D + 2, R.top + nRow / 2), kMenu) << r.name << ": the menu's background";
      }
      EXPECT_GT(CountColor(shot, rcText, r.clrText), 0) << r.name;
      EXPECT_EQ(CountColor(shot, rcText, kLight) > 0, r.bEmbossed) << r.name;
      i++;
    }
    SavePicture(shot, bVisual ? L"paint_popup_rows_selected_theme3_fallback.png" : L"paint_popup_rows_selected_theme0.png");
    pm->InternalRelease();
  }
}

// Theme 3 over whatever visual styles the system really has: every button state and a
// split button drawn, kept as a picture to look at.
TEST(VisualStylesTheme, SystemPicture) {
  CXTPVisualStylesTheme* pm = new CXTPVisualStylesTheme();
  pm->RefreshMetrics();
  CPlacedBar bar(xtpBarTop, xtpBarTypeNormal, CSize(300, 30));
  CSnapshot shot(8 * 26 + 40, 26);
  pm->DrawBarBackground(&shot.DC(), &bar);
  const struct {
    int nSelected, nPressed;
    BOOL bEnabled, bChecked;
  } states[] = {{0, 0, TRUE, FALSE}, {1, 0, TRUE, FALSE}, {1, 1, TRUE, FALSE}, {0, 0, TRUE, TRUE},
                {1, 0, TRUE, TRUE},  {0, 0, FALSE, FALSE}, {0, 0, FALSE, TRUE}, {2, 0, FALSE, FALSE}};
  int i = 0;
  for (const auto& c : states) {
    pm->FillItemRect(&shot.DC(), CRect(2 + i * 26, 1, 25 + i * 26, 24), c.nSelected, c.nPressed, c.bEnabled,
                     c.bChecked, FALSE, TRUE, 0);
    i++;
  }
  CXTPControl* pSplit = bar.GetControls()->Add(xtpControlSplitButtonPopup, kNoImageId);
  pSplit->SetStyle(xtpButtonIcon);
  pSplit->SetRect(CRect(2 + i * 26, 1, 36 + i * 26, 24));
  pm->DrawControl(&shot.DC(), pSplit, TRUE);
  // Something was drawn over the whole strip, themed or not.
  EXPECT_EQ(CountColor(shot, CRect(0, 0, shot.Width(), shot.Height()), CSnapshot::kUnpainted), 0);
  SavePicture(shot, CXTPVisualStylesTheme::IsUsable(pm->m_themeToolbar) ? L"paint_theme3_system_styles.png"
                                                                        : L"paint_theme3_system_classic.png");
  pm->InternalRelease();
}

TEST(SpecialControls, ExpandButtonPlacementAndGlyphs) {
  Owned<CXTPDefaultTheme> pm;
  CSnapshot shot(60, 40);
  const struct {
    XTPBarPosition position;
    XTPBarType type;
    CRect rc;
  } cases[] = {{xtpBarTop, xtpBarTypeNormal, CRect(47, 2, 58, 38)},
               {xtpBarLeft, xtpBarTypeNormal, CRect(2, 27, 58, 38)},
               {xtpBarPopup, xtpBarTypePopup, CRect(2, 27, 58, 38)}};
  for (const auto& c : cases) {
    CPlacedBar bar(c.position, c.type, CSize(60, 40));
    CXTPControl* pButton = bar.GetControls()->Add(xtpControlButton, kNoImageId);
    CSize szBar(60, 40);
    EXPECT_EQ(pm->DrawSpecialControl(&shot.DC(), xtpButtonExpandToolbar, pButton, &bar, FALSE, &szBar), CSize(0, 0));
    EXPECT_EQ(pButton->GetRect(), c.rc) << c.position;
    // Without the size nothing is placed (and nothing is read).
    pButton->SetRect(CRect(1, 1, 2, 2));
    pm->DrawSpecialControl(&shot.DC(), xtpButtonExpandToolbar, pButton, &bar, FALSE, NULL);
    EXPECT_EQ(pButton->GetRect(), CRect(1, 1, 2, 2));
  }
  // Drawing on a horizontal bar: the small triangle near the bottom, the chevrons near the
  // top only when controls are hidden.
  CPlacedBar bar(xtpBarTop, xtpBarTypeNormal, CSize(60, 40));
  CXTPControl* pButton = bar.GetControls()->Add(xtpControlButton, kNoImageId);
  pButton->SetRect(CRect(0, 0, 11, 36));
  for (BOOL bHidden : {FALSE, TRUE}) {
    shot.DC().FillSolidRect(0, 0, 60, 40, kBack);
    pm->DrawSpecialControl(&shot.DC(), xtpButtonExpandToolbar, pButton, &bar, TRUE, &bHidden);
    const int cx = 5;
    EXPECT_EQ(shot.Pixel(cx, 36 - 5), kText);
    EXPECT_EQ(shot.Pixel(cx, 36 - 7), kText);
    EXPECT_EQ(CountColor(shot, CRect(0, 0, 11, 14), kText) > 0, bHidden != FALSE);
  }
  // The expand row of a popup is 12 pixels high.
  EXPECT_EQ(pm->DrawSpecialControl(&shot.DC(), xtpButtonExpandMenu, pButton, &bar, FALSE, NULL), CSize(0, 12));
  // The close button: its face filled only while hot, the glyph in colour 20 when not.
  shot.DC().FillSolidRect(0, 0, 60, 40, kBack);
  pButton->SetRect(CRect(20, 10, 36, 26));
  EXPECT_EQ(pm->DrawSpecialControl(&shot.DC(), xtpButtonClose, pButton, &bar, TRUE, NULL), CSize(0, 0));
  EXPECT_EQ(shot.Pixel(20, 10), kBack);
  EXPECT_GT(CountColor(shot, CRect(20, 10, 36, 26), kLight), 0);
  SavePicture(shot, L"paint_close_button_theme0.png");
}

TEST(PaintManagerAnimation, ExpandingEndsOnTheFullMenuBothWays) {
  Owned<CXTPDefaultTheme> pm;
  CPlacedBar bar(xtpBarPopup, xtpBarTypePopup, CSize(50, 46));
  // Rows: 3..13 used, 13..33 hidden by the short menu (marked), 33..43 used.
  const struct {
    int top, bottom;
    BOOL bMarked;
    COLORREF clr;
  } rows[] = {{3, 13, FALSE, RGB(200, 0, 0)}, {13, 23, TRUE, RGB(0, 0, 200)}, {23, 33, TRUE, RGB(0, 200, 0)},
              {33, 43, FALSE, RGB(200, 200, 0)}};
  CSnapshot source(50, 46);
  source.DC().FillSolidRect(0, 0, 50, 46, kFace);
  for (const auto& r : rows) {
    CXTPControl* pControl = bar.GetControls()->Add(xtpControlButton, kNoImageId);
    pControl->SetRect(CRect(3, r.top, 47, r.bottom));
    pControl->SetShortMenuMark(r.bMarked);
    source.DC().FillSolidRect(CRect(3, r.top, 47, r.bottom), r.clr);
  }
  for (BOOL bDown : {TRUE, FALSE}) {
    CSnapshot target(50, 46);
    target.DC().FillSolidRect(0, 0, 50, 46, RGB(0, 0, 0));
    pm->SetAnimationDelay(4, 40);
    const DWORD dwStart = ::GetTickCount();
    pm->AnimateExpanding(&bar, &target.DC(), &source.DC(), bDown);
    EXPECT_GE(::GetTickCount() - dwStart, 30u);
    for (int y = 0; y < 46; y++)
      for (int x = 0; x < 50; x++) ASSERT_EQ(target.Pixel(x, y), source.Pixel(x, y)) << x << "," << y << " " << bDown;
  }
  // No steps: nothing drawn.
  CSnapshot target(50, 46);
  target.DC().FillSolidRect(0, 0, 50, 46, RGB(0, 0, 0));
  pm->SetAnimationDelay(0, 0);
  pm->AnimateExpanding(&bar, &target.DC(), &source.DC(), TRUE);
  EXPECT_EQ(target.Pixel(10, 5), RGB(0, 0, 0));
}

}  // namespace
