// Global UI data: fonts from the system's menu font, cursors with the hand fallback, the
// colour table and metrics.
#include <framework.h>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "XTGlobalUIData.h"
#include "XTPColorManager.h"
#include "XTPDrawHelpers.h"

namespace {

LOGFONTW FontOf(CFont& font) {
  LOGFONTW lf = {};
  EXPECT_NE(nullptr, font.GetSafeHandle());
  if (font.GetSafeHandle()) ::GetObjectW(font.GetSafeHandle(), sizeof(lf), &lf);
  return lf;
}

// What the system is made to say in a test.
std::wstring g_menuFace = L"Tahoma";
BYTE g_menuCharSet = DEFAULT_CHARSET;
std::set<std::wstring> g_installed;

BOOL CALLBACK FakeMetrics(NONCLIENTMETRICSW* pncm) {
  EXPECT_EQ(500u, pncm->cbSize);
  const UINT size = pncm->cbSize;
  ZeroMemory(pncm, size);
  pncm->cbSize = size;
  auto setFont = [](LOGFONTW& lf, const wchar_t* face, int height) {
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    wcscpy(lf.lfFaceName, face);
  };
  setFont(pncm->lfMenuFont, g_menuFace.c_str(), -11);
  pncm->lfMenuFont.lfItalic = TRUE;
  pncm->lfMenuFont.lfCharSet = g_menuCharSet;
  setFont(pncm->lfStatusFont, L"Status Face", -12);
  setFont(pncm->lfSmCaptionFont, L"Caption Face", -13);
  pncm->lfSmCaptionFont.lfWeight = FW_BOLD;
  return TRUE;
}
BOOL CALLBACK FakeIconTitle(LOGFONTW* plf) {
  ZeroMemory(plf, sizeof(*plf));
  plf->lfHeight = -15;
  wcscpy(plf->lfFaceName, L"Icon Face");
  return TRUE;
}
BOOL CALLBACK FakeFontExists(LPCWSTR face) { return g_installed.count(face) ? TRUE : FALSE; }

class UIDataFonts : public ::testing::Test {
 protected:
  void SetUp() override {
    g_menuFace = L"Tahoma";
    g_menuCharSet = DEFAULT_CHARSET;
    g_installed = {L"Tahoma", L"Arial", L"Verdana"};
    XTP_UIDATA_QUERIES q = {};
    q.pfnGetNonClientMetrics = FakeMetrics;
    q.pfnGetIconTitleFont = FakeIconTitle;
    q.pfnFontExists = FakeFontExists;
    XTPSetUIDataQueries(&q);
  }
  void TearDown() override { XTPSetUIDataQueries(nullptr); }
};

TEST_F(UIDataFonts, MenuFontNotTahomaGivesArialVerticalFonts) {
  g_menuFace = L"Verdana";
  CXTGlobalUIData data;
  EXPECT_STREQ(L"Verdana", FontOf(data.font).lfFaceName);
  EXPECT_STREQ(L"Verdana", FontOf(data.fontBold).lfFaceName);
  EXPECT_STREQ(L"Verdana", FontOf(data.fontULine).lfFaceName);
  EXPECT_STREQ(L"Arial", FontOf(data.fontVert).lfFaceName);
  EXPECT_STREQ(L"Arial", FontOf(data.fontVertBold).lfFaceName);
}

TEST_F(UIDataFonts, MenuFontNotTahomaWithoutArialKeepsTheFace) {
  g_menuFace = L"Verdana";
  g_installed = {L"Verdana"};
  CXTGlobalUIData data;
  EXPECT_STREQ(L"Verdana", FontOf(data.fontVert).lfFaceName);
}

TEST_F(UIDataFonts, TahomaMenuFontKeepsTahomaEverywhere) {
  CXTGlobalUIData data;
  EXPECT_STREQ(L"Tahoma", FontOf(data.font).lfFaceName);
  EXPECT_STREQ(L"Tahoma", FontOf(data.fontVert).lfFaceName);
}

TEST_F(UIDataFonts, EachFontTakesTheDescribedValues) {
  CXTGlobalUIData data;
  const LOGFONTW normal = FontOf(data.font);
  EXPECT_EQ(-11, normal.lfHeight);
  EXPECT_EQ(FW_NORMAL, normal.lfWeight);
  EXPECT_TRUE(normal.lfItalic);
  EXPECT_FALSE(normal.lfUnderline);
  EXPECT_EQ(0, normal.lfEscapement);
  EXPECT_EQ(FW_BOLD, FontOf(data.fontBold).lfWeight);
  EXPECT_TRUE(FontOf(data.fontULine).lfUnderline);
  EXPECT_EQ(FW_NORMAL, FontOf(data.fontULine).lfWeight);
  const LOGFONTW vert = FontOf(data.fontVert);
  EXPECT_EQ(2700, vert.lfEscapement);
  EXPECT_EQ(900, vert.lfOrientation);
  EXPECT_EQ(FW_NORMAL, vert.lfWeight);
  const LOGFONTW vertBold = FontOf(data.fontVertBold);
  EXPECT_EQ(2700, vertBold.lfEscapement);
  EXPECT_EQ(900, vertBold.lfOrientation);
  EXPECT_EQ(FW_BOLD, vertBold.lfWeight);
  EXPECT_STREQ(L"Icon Face", FontOf(data.fontIconTitle).lfFaceName);
  EXPECT_EQ(-15, FontOf(data.fontIconTitle).lfHeight);
  EXPECT_EQ(FW_BOLD, FontOf(data.fontIconTitleBold).lfWeight);
  const LOGFONTW symbol = FontOf(data.fontMarlett);
  EXPECT_STREQ(L"Marlett", symbol.lfFaceName);
  EXPECT_EQ(-15, symbol.lfHeight);
  EXPECT_EQ(DEFAULT_CHARSET, symbol.lfCharSet);
  EXPECT_EQ(0, symbol.lfWeight);
  EXPECT_STREQ(L"Status Face", FontOf(data.fontStatus).lfFaceName);
  EXPECT_EQ(-12, FontOf(data.fontStatus).lfHeight);
  EXPECT_STREQ(L"Caption Face", FontOf(data.fontSmCaption).lfFaceName);
  EXPECT_EQ(FW_BOLD, FontOf(data.fontSmCaption).lfWeight);
}

TEST_F(UIDataFonts, GivenFacesReplaceTheSystemOnes) {
  CXTGlobalUIData data;
  ASSERT_TRUE(data.UpdateFonts(L"Verdana", L"Verdana"));
  EXPECT_STREQ(L"Verdana", FontOf(data.font).lfFaceName);
  EXPECT_STREQ(L"Verdana", FontOf(data.fontVert).lfFaceName);
  // The given face also replaces the status and small-caption faces, not their sizes.
  EXPECT_STREQ(L"Verdana", FontOf(data.fontStatus).lfFaceName);
  EXPECT_EQ(-12, FontOf(data.fontStatus).lfHeight);
  EXPECT_STREQ(L"Verdana", FontOf(data.fontSmCaption).lfFaceName);
  // Icon titles keep theirs.
  EXPECT_STREQ(L"Icon Face", FontOf(data.fontIconTitle).lfFaceName);
}

TEST_F(UIDataFonts, FacesThatAreNotInstalledAreIgnored) {
  g_menuFace = L"Verdana";
  CXTGlobalUIData data;
  ASSERT_TRUE(data.UpdateFonts(L"No Such Face", L"Nor This"));
  EXPECT_STREQ(L"Verdana", FontOf(data.font).lfFaceName);
  EXPECT_STREQ(L"Arial", FontOf(data.fontVert).lfFaceName);
  EXPECT_STREQ(L"Status Face", FontOf(data.fontStatus).lfFaceName);
}

TEST_F(UIDataFonts, FacePreferenceChoosesTahomaForWesternMenus) {
  g_menuFace = L"Verdana";
  CXTGlobalUIData data;
  data.bPreferTahoma = TRUE;
  ASSERT_TRUE(data.UpdateFonts());
  EXPECT_STREQ(L"Tahoma", FontOf(data.font).lfFaceName);
  // Vertical fonts still follow the menu font's face rule.
  EXPECT_STREQ(L"Arial", FontOf(data.fontVert).lfFaceName);
  // A menu font in another script keeps its face.
  g_menuCharSet = SHIFTJIS_CHARSET;
  ASSERT_TRUE(data.UpdateFonts());
  EXPECT_STREQ(L"Verdana", FontOf(data.font).lfFaceName);
}

TEST_F(UIDataFonts, RefreshReplacesTheFontObjects) {
  CXTGlobalUIData data;
  HGDIOBJ hOld = data.font.GetSafeHandle();
  ASSERT_TRUE(data.UpdateFonts());
  EXPECT_NE(nullptr, data.font.GetSafeHandle());
  EXPECT_EQ(OBJ_FONT, ::GetObjectType(data.font.GetSafeHandle()));
  EXPECT_EQ(0u, ::GetObjectType(hOld));  // the old font was deleted
}

// The real system, through Wine: the installed Tahoma and Marlett are found.
TEST(UIDataSystemFonts, FontExistenceAndTheSystemMenuFont) {
  EXPECT_TRUE(CXTPDrawHelpers::FontExists(L"Tahoma"));
  EXPECT_TRUE(CXTPDrawHelpers::FontExists(L"tahoma"));
  EXPECT_TRUE(CXTPDrawHelpers::FontExists(L"Marlett"));
  EXPECT_FALSE(CXTPDrawHelpers::FontExists(L"No Such Face At All"));
  EXPECT_FALSE(CXTPDrawHelpers::FontExists(L""));
  EXPECT_FALSE(CXTPDrawHelpers::FontExists(nullptr));
  CXTGlobalUIData& data = XTGetGlobalUIData();
  CXTPNonClientMetrics ncm;
  EXPECT_STREQ(ncm.lfMenuFont.lfFaceName, FontOf(data.font).lfFaceName);
  EXPECT_STREQ(L"Marlett", FontOf(data.fontMarlett).lfFaceName);
  // The default font name for vertical text is one of the rule's answers.
  const CString strFace = CXTPDrawHelpers::GetDefaultFontName(TRUE);
  if (CXTPDrawHelpers::FontExists(L"Arial")) {
    EXPECT_TRUE(strFace == L"Tahoma" || strFace == L"Arial");
  } else {
    LOGFONTW lf = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    EXPECT_STREQ(lf.lfFaceName, (LPCWSTR)strFace);
  }
}

// ---------------------------------------------------------------------------------------
// Cursors.

std::vector<std::wstring> g_cursorLog;
std::set<UINT> g_missingToolkit;
bool g_systemHasHand = true;

HCURSOR FakeHandle(UINT id) { return reinterpret_cast<HCURSOR>(static_cast<UINT_PTR>(0x10000 + id)); }

HCURSOR CALLBACK FakeSystemCursor(LPCWSTR id) {
  const UINT n = static_cast<UINT>(reinterpret_cast<UINT_PTR>(id));
  g_cursorLog.push_back(L"sys" + std::to_wstring(n));
  if (id == IDC_HAND && !g_systemHasHand) return nullptr;
  return FakeHandle(n);
}
HCURSOR CALLBACK FakeToolkitCursor(UINT id) {
  g_cursorLog.push_back(L"tk" + std::to_wstring(id));
  return g_missingToolkit.count(id) ? nullptr : FakeHandle(id);
}

class UIDataCursors : public ::testing::Test {
 protected:
  void SetUp() override {
    g_cursorLog.clear();
    g_missingToolkit.clear();
    g_systemHasHand = true;
    XTP_UIDATA_QUERIES q = {};
    q.pfnLoadSystemCursor = FakeSystemCursor;
    q.pfnLoadToolkitCursor = FakeToolkitCursor;
    XTPSetUIDataQueries(&q);
  }
  void TearDown() override { XTPSetUIDataQueries(nullptr); }
};

TEST_F(UIDataCursors, LoadedInOrderWithTheSystemHand) {
  CXTGlobalUIData data;
  const std::vector<std::wstring> expected = {L"tk9008", L"tk9009", L"tk9011", L"sys32649", L"tk9970", L"tk9971",
                                              L"sys32646"};
  EXPECT_EQ(expected, g_cursorLog);
  EXPECT_EQ(FakeHandle(9008), data.hcurDragCopy);
  EXPECT_EQ(FakeHandle(9009), data.hcurDragMove);
  EXPECT_EQ(FakeHandle(9011), data.hcurDragNone);
  EXPECT_EQ(FakeHandle(32649), data.hcurHand);
  EXPECT_EQ(FakeHandle(9970), data.hcurHSplitBar);
  EXPECT_EQ(FakeHandle(9971), data.hcurVSplitBar);
  EXPECT_EQ(FakeHandle(32646), data.hcurMove);
}

TEST_F(UIDataCursors, WithoutASystemHandTheToolkitHandIsUsed) {
  g_systemHasHand = false;
  CXTGlobalUIData data;
  EXPECT_EQ(FakeHandle(9973), data.hcurHand);
  EXPECT_EQ(FakeHandle(9970), data.hcurHSplitBar);
  EXPECT_EQ(FakeHandle(32646), data.hcurMove);
}

struct StopCase {
  UINT missing;
  int loaded;  // how many of the seven handles are set
};
class UIDataCursorStop : public UIDataCursors, public ::testing::WithParamInterface<StopCase> {};

TEST_P(UIDataCursorStop, TheFirstFailureEndsTheLoading) {
  g_missingToolkit.insert(GetParam().missing);
  g_systemHasHand = false;  // so 9973 is asked for
  CXTGlobalUIData data;
  const HCURSOR handles[7] = {data.hcurDragCopy, data.hcurDragMove, data.hcurDragNone, data.hcurHand,
                              data.hcurHSplitBar, data.hcurVSplitBar, data.hcurMove};
  for (int i = 0; i < 7; i++) EXPECT_EQ(i < GetParam().loaded, handles[i] != nullptr) << "cursor " << i;
}

INSTANTIATE_TEST_SUITE_P(Missing, UIDataCursorStop,
                         ::testing::Values(StopCase{9008, 0}, StopCase{9009, 1}, StopCase{9011, 2},
                                           StopCase{9973, 3}, StopCase{9970, 4}, StopCase{9971, 5}));

// The real loaders: the toolkit's cursors come from its resource script, the hand from the
// system (Wine has one).
TEST(UIDataSystemCursors, ToolkitCursorsAndTheSystemHand) {
  CXTGlobalUIData& data = XTGetGlobalUIData();
  const HCURSOR handles[7] = {data.hcurDragCopy, data.hcurDragMove, data.hcurDragNone, data.hcurHand,
                              data.hcurHSplitBar, data.hcurVSplitBar, data.hcurMove};
  for (int i = 0; i < 7; i++) EXPECT_NE(nullptr, handles[i]) << "cursor " << i;
  EXPECT_EQ(::LoadCursorW(nullptr, IDC_HAND), data.hcurHand);
  EXPECT_EQ(::LoadCursorW(nullptr, IDC_SIZEALL), data.hcurMove);
  ICONINFO info = {};
  ASSERT_TRUE(::GetIconInfo(data.hcurDragCopy, &info));
  EXPECT_FALSE(info.fIcon);  // a cursor
  if (info.hbmMask) ::DeleteObject(info.hbmMask);
  if (info.hbmColor) ::DeleteObject(info.hbmColor);
}

// With no system hand the record takes the toolkit's own hand cursor, 9973.
HCURSOR CALLBACK NoSystemHand(LPCWSTR id) { return id == IDC_HAND ? nullptr : ::LoadCursorW(nullptr, id); }
TEST(UIDataSystemCursors, ToolkitHandWhenTheSystemHasNone) {
  XTP_UIDATA_QUERIES q = {};
  q.pfnLoadSystemCursor = NoSystemHand;
  XTPSetUIDataQueries(&q);
  CXTGlobalUIData data;
  XTPSetUIDataQueries(nullptr);
  ASSERT_NE(nullptr, data.hcurHand);
  EXPECT_NE(::LoadCursorW(nullptr, IDC_HAND), data.hcurHand);
  EXPECT_EQ(::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(XTP_IDC_HAND)), data.hcurHand);
  EXPECT_NE(nullptr, data.hcurVSplitBar);
}

// ---------------------------------------------------------------------------------------

TEST(UIDataColors, TableComesFromTheColourManagerInItsOrder) {
  CXTGlobalUIData& data = XTGetGlobalUIData();
  CXTPColorManager* pManager = XTPGetColorManager();
  const COLORREF fields[20] = {data.clr3DFace,        data.clr3DShadow,      data.clr3DDkShadow,
                               data.clr3DHilight,     data.clr3DLight,       data.clrBtnText,
                               data.clrGrayText,      data.clrHighlight,     data.clrHighlightText,
                               data.clrMenu,          data.clrMenuText,      data.clrWindow,
                               data.clrWindowFrame,   data.clrWindowText,    data.clrActiveCaption,
                               data.clrInActiveCaption, data.clrGradActiveCapt, data.clrGradInActiveCapt,
                               data.clrActiveCaptText, data.clrInactiveCaptText};
  const UINT indexes[20] = {15, 16, 21, 20, 22, 18, 17, 13, 14, 4, 7, 5, 6, 8, 2, 3, 27, 28, 9, 19};
  for (int i = 0; i < 20; i++) EXPECT_EQ(pManager->GetColor(indexes[i]), fields[i]) << "index " << indexes[i];
  for (int i = 0; i < 20; i++) EXPECT_EQ(pManager->GetColor(30 + i), data.clrXPColors[i]) << "index " << 30 + i;
  EXPECT_EQ(::GetSysColor(COLOR_3DFACE), data.clr3DFace);
  EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), data.clrHighlight);
}

TEST(UIDataMetrics, FromTheSystem) {
  CXTGlobalUIData& data = XTGetGlobalUIData();
  EXPECT_EQ(::GetSystemMetrics(SM_CXSMICON), data.cxSmIcon);
  EXPECT_EQ(::GetSystemMetrics(SM_CYSMICON), data.cySmIcon);
  EXPECT_EQ(18, data.cxSize);
  EXPECT_EQ(18, data.cySize);
  EXPECT_EQ(::GetSystemMetrics(SM_CXHTHUMB), data.cxHThumb);
  EXPECT_EQ(::GetSystemMetrics(SM_CYVTHUMB), data.cyVThumb);
  EXPECT_EQ(::GetSystemMetrics(SM_CYMENU), data.cyMenuItem);
  EXPECT_FALSE(data.bPreferTahoma);
  EXPECT_FALSE(data.bReserved1);
  EXPECT_TRUE(data.bReserved2);
  EXPECT_TRUE(data.strReserved.IsEmpty());
  EXPECT_EQ(&data, &XTGetGlobalUIData());
}

}  // namespace
