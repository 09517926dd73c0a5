// Pictures of the controls for a human to look at, in build/artifacts/controls: button
// themes by state and colour scheme (and the visual-styles style with themes on and off),
// captions, browse edits and hyperlink states. Each picture is also checked for what must
// show in it.
#include <framework.h>

#include <gtest/gtest.h>

#include "ControlsTestSupport.h"
#include "XTButton.h"
#include "XTCaption.h"
#include "XTEdit.h"
#include "XTHyperLink.h"
#include "XTPColorManager.h"
#include "XTPWinThemeWrapper.h"
#include "controls_test_res.h"

#include <test_picture.h>

#include <set>
#include <string>

using namespace controlstest;
using testsupport::ArtifactPath;
using testsupport::CSnapshot;
using testsupport::WindowArea;

namespace {

// A button whose hot state a picture can set.
class CGalleryButton : public CXTButton {
 public:
  void ForceHot(BOOL bHot) { m_bHot = bHot; }
};

class CGalleryLink : public CXTHyperLink {
 public:
  void ForceHover(BOOL bHover) { m_bMouseOver = bHover ? 1 : 0; }
};

const int kCellW = 100, kCellH = 30, kLabelW = 110, kGap = 6;

enum State { Normal, Hot, Pressed, Checked, Disabled, Focus, StateCount };
const wchar_t* const kStateNames[] = {L"normal", L"hot", L"pressed", L"checked", L"disabled", L"focus"};

void DrawLabel(CDC& dc, int x, int y, LPCWSTR text) {
  CRect rc(x, y, x + kLabelW - 4, y + kCellH);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(RGB(0, 0, 0));
  dc.DrawText(text, -1, &rc, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
}

// Draws the button in a state into the picture at (x, y).
void DrawButtonCell(CSnapshot& shot, CGalleryButton& button, State state, int x, int y) {
  DWORD dwStyle = button.GetThemeStyle() & ~BS_XT_SHOWFOCUS;
  if (state == Focus) dwStyle |= BS_XT_SHOWFOCUS;
  // The style bits without touching the theme: the picture keeps the theme it was given.
  button.SetThemeStyleBits(dwStyle);
  button.ForceHot(state == Hot);
  button.SetChecked(state == Checked, FALSE);
  DRAWITEMSTRUCT dis = {};
  dis.CtlType = ODT_BUTTON;
  dis.hwndItem = button.m_hWnd;
  dis.itemAction = ODA_DRAWENTIRE;
  dis.itemState = state == Pressed ? ODS_SELECTED : state == Disabled ? ODS_DISABLED : state == Focus ? ODS_FOCUS : 0;
  dis.rcItem = CRect(0, 0, kCellW, kCellH);
  CDC& dc = shot.DC();
  dc.FillSolidRect(x, y, kCellW, kCellH, ::GetSysColor(COLOR_BTNFACE));
  POINT old;
  ::SetViewportOrgEx(dc.m_hDC, x, y, &old);
  dis.hDC = dc.m_hDC;
  CFont* pOldFont = dc.SelectObject(button.GetFont());
  button.GetTheme()->DrawItem(&dis, &button);
  dc.SelectObject(pOldFont);
  ::SetViewportOrgEx(dc.m_hDC, old.x, old.y, NULL);
}

class Gallery : public ::testing::Test {
 protected:
  void SetUp() override {
    ParkMouse();
    ASSERT_TRUE(parent.CreateAt(CRect(20, 20, 720, 620)));
    PumpFor(30);
  }
  void TearDown() override {
    XTPGetColorManager()->SetCurrentTheme(4);
    XTPGetColorManager()->RefreshColors();
    parent.DestroyWindow();
    PumpFor(20);
  }
  // Distinct colours in a rectangle of a picture.
  static size_t Colours(CSnapshot& shot, const CRect& rc) {
    std::set<COLORREF> seen;
    for (int y = rc.top; y < rc.bottom; y++)
      for (int x = rc.left; x < rc.right; x++) seen.insert(shot.Pixel(x, y));
    return seen.size();
  }
  CRecordingParent parent;
};

TEST_F(Gallery, ButtonThemesByStateAndScheme) {
  CGalleryButton button;
  ASSERT_TRUE(button.Create(L"&Export", WS_CHILD, CRect(0, 0, kCellW, kCellH), &parent, 1));
  ASSERT_TRUE(button.SetIconResources(CSize(16, 16), (UINT)IDI_TEST_NORMAL, (UINT)IDI_TEST_HOT, FALSE));
  struct Row {
    const wchar_t* label;
    int kind;
    int scheme;
    DWORD style;
    bool themesOff;
  };
  std::vector<Row> rows;
  for (int kind = 0; kind < 3; kind++)
    for (int scheme = 0; scheme < 4; scheme++) rows.push_back({nullptr, kind, scheme, 0, false});
  rows.push_back({L"0x1000 themed", 0, 0, BS_XT_WINXP_COMPAT, false});
  rows.push_back({L"0x1000 no styles", 0, 0, BS_XT_WINXP_COMPAT, true});
  rows.push_back({L"flat kind 0", 0, 0, BS_XT_FLAT, false});

  const int width = kLabelW + StateCount * (kCellW + kGap);
  const int height = 20 + (int)rows.size() * (kCellH + kGap);
  CSnapshot shot(width, height);
  shot.DC().FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
  for (int s = 0; s < StateCount; s++) DrawLabel(shot.DC(), kLabelW + s * (kCellW + kGap) + 20, 0, kStateNames[s]);

  for (size_t r = 0; r < rows.size(); r++) {
    const Row& row = rows[r];
    XTPGetColorManager()->SetCurrentTheme(row.scheme);
    XTPGetColorManager()->RefreshColors();
    HMODULE hThemeLib = NULL;
    if (row.themesOff) hThemeLib = CXTPThemeHandle::SetThemeLibrary(NULL);
    CXTButtonTheme* pTheme = row.kind == 1 ? new CXTButtonThemeHighlight() : row.kind == 2 ? new CXTButtonThemeScheme()
                                                                                           : new CXTButtonTheme();
    button.SetTheme(pTheme);
    button.SetThemeStyleBits(row.style);
    const int y = 20 + (int)r * (kCellH + kGap);
    std::wstring label = row.label ? row.label : L"kind " + std::to_wstring(row.kind) + L" scheme " + std::to_wstring(row.scheme);
    DrawLabel(shot.DC(), 2, y, label.c_str());
    for (int s = 0; s < StateCount; s++) DrawButtonCell(shot, button, (State)s, kLabelW + s * (kCellW + kGap), y);
    if (row.themesOff) CXTPThemeHandle::SetThemeLibrary(hThemeLib);

    // Every cell shows the icon's red mark and more than a plain face.
    for (int s = 0; s < StateCount; s++) {
      const CRect cell(kLabelW + s * (kCellW + kGap), y, kLabelW + s * (kCellW + kGap) + kCellW, y + kCellH);
      EXPECT_GE(Colours(shot, cell), 4u) << "row " << r << " state " << s;
      // The mark in full, or faded (each channel x 0.7 + 76.5) where kind 1 fades idle images.
      if (s != Disabled)
        EXPECT_TRUE(shot.Contains(cell, RGB(255, 0, 0)) || shot.Contains(cell, RGB(255, 76, 76)))
            << "row " << r << " state " << s;
    }
  }
  // Kind 2's hot border takes each scheme's colour.
  const int hotX = kLabelW + Hot * (kCellW + kGap);
  const COLORREF borders[4] = {shot.Pixel(hotX, 20 + 8 * (kCellH + kGap)), shot.Pixel(hotX, 20 + 9 * (kCellH + kGap)),
                               shot.Pixel(hotX, 20 + 10 * (kCellH + kGap)), shot.Pixel(hotX, 20 + 11 * (kCellH + kGap))};
  EXPECT_EQ(borders[1], (COLORREF)0x800000);
  EXPECT_EQ(borders[2], (COLORREF)0x385D3F);
  EXPECT_EQ(borders[3], (COLORREF)0x0B4B4B);
  EXPECT_NE(borders[0], borders[1]);
  EXPECT_TRUE(shot.SavePng(ArtifactPath(L"controls\\buttons.png")));
  button.DestroyWindow();
}

TEST_F(Gallery, Captions) {
  HICON hIcon = (HICON)::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_TEST_NORMAL), IMAGE_ICON, 16, 16, 0);
  std::vector<std::unique_ptr<CXTCaption>> captions;
  int y = 10;
  auto add = [&](LPCWSTR text, DWORD style, int kind, bool icon, bool colours) {
    captions.emplace_back(new CXTCaption);
    CXTCaption& c = *captions.back();
    EXPECT_TRUE(c.Create(&parent, text, style, WS_CHILD | WS_VISIBLE | SS_CENTER, CRect(10, y, 410, y + 24)));
    if (kind == 1) c.SetTheme(new CXTCaptionThemeOfficeXP());
    if (kind == 2) c.SetTheme(new CXTCaptionThemeOffice2003());
    if (icon) c.ModifyCaptionStyle(2, NULL, NULL, hIcon);
    if (colours) c.SetCaptionColors(RGB(0xEF, 0xFE, 0xFF), RGB(0xEF, 0xFE, 0xFF), RGB(0, 0, 0xFF));
    y += 30;
  };
  XTPGetColorManager()->SetCurrentTheme(1);
  XTPGetColorManager()->RefreshColors();
  for (int kind = 0; kind < 3; kind++) {
    add(L"Plain caption", 0, kind, false, false);
    add(L"Groove edge with icon", CPWS_EX_GROOVE_EDGE, kind, true, false);
    add(L"Raised edge, page colours", CPWS_EX_RAISED_EDGE, kind, false, true);
    add(L"Close button", CPWS_EX_CLOSEBUTTON | CPWS_EX_RAISED_EDGE, kind, false, false);
  }
  parent.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
  PumpFor(50);
  CSnapshot shot(parent.m_hWnd, WindowArea::Client);
  EXPECT_TRUE(shot.Contains(CRect(10, 10, 410, y), RGB(0, 0, 0xFF))) << "page colours' text";
  EXPECT_TRUE(shot.Contains(CRect(10, 40, 410, 64), RGB(255, 0, 0))) << "the icon";
  EXPECT_GT(Colours(shot, CRect(10, 10 + 8 * 30, 410, 10 + 8 * 30 + 24)), 6u) << "kind 2 gradient";
  EXPECT_TRUE(shot.SavePng(ArtifactPath(L"controls\\captions.png")));
  captions.clear();
  ::DestroyIcon(hIcon);
}

TEST_F(Gallery, BrowseEdits) {
  CXTBrowseEdit folder, file, menu, disabled;
  CXTEdit plain;
  struct Row {
    CXTEdit* edit;
    DWORD style;
    LPCWSTR text;
  } rows[] = {{&folder, BES_XT_CHOOSEDIR, L"C:\\Program Files\\Vorlix"},
              {&file, BES_XT_CHOOSEFILE, L"C:\\out\\contacts.pst"},
              {&menu, BES_XT_POPUPMENU, L"menu style"},
              {&disabled, BES_XT_CHOOSEDIR, L"disabled"},
              {&plain, 0, L"plain toolkit edit"}};
  int y = 10;
  for (Row& row : rows) {
    ASSERT_TRUE(row.edit->CreateEx(WS_EX_CLIENTEDGE, L"EDIT", row.text, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                                   CRect(10, y, 310, y + 22), &parent, 100 + y));
    if (row.style)
      EXPECT_TRUE(static_cast<CXTBrowseEdit*>(row.edit)->InitializeBrowse(&parent, row.style, IDR_TEST_BROWSE_MENU, 0));
    else
      EXPECT_TRUE(row.edit->Initialize(&parent));
    y += 30;
  }
  disabled.EnableWindow(FALSE);
  parent.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
  PumpFor(50);
  CSnapshot shot(parent.m_hWnd, WindowArea::Client);
  CRect rcButton;
  folder.GetBrowseButton()->GetWindowRect(&rcButton);
  parent.ScreenToClient(&rcButton);
  EXPECT_GT(Colours(shot, rcButton), 2u) << "the browse button is drawn";
  EXPECT_TRUE(shot.Contains(CRect(10, 100, 310, 122), ::GetSysColor(COLOR_BTNFACE))) << "a disabled edit's face";
  EXPECT_TRUE(shot.SavePng(ArtifactPath(L"controls\\browse_edits.png")));
}

TEST_F(Gallery, HyperlinkStates) {
  CGalleryLink normal, hover, visited, plain, backed;
  struct Row {
    CGalleryLink* link;
    LPCWSTR text;
  } rows[] = {{&normal, L"https://example.org/ normal"},
              {&hover, L"https://example.org/ hover"},
              {&visited, L"https://example.org/ visited"},
              {&plain, L"not underlined"},
              {&backed, L"own background colour"}};
  int y = 10;
  for (Row& row : rows) {
    ASSERT_TRUE(row.link->Create(row.text, WS_CHILD | WS_VISIBLE | SS_LEFT, CRect(10, y, 310, y + 22), &parent, 200 + y));
    y += 30;
  }
  hover.ForceHover(TRUE);
  visited.SetVisited(TRUE);
  plain.SetUnderline(FALSE);
  backed.SetBackColor(RGB(0xC4, 0xFF, 0xFF));
  parent.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_ERASE);
  PumpFor(50);
  CSnapshot shot(parent.m_hWnd, WindowArea::Client);
  EXPECT_TRUE(shot.Contains(CRect(10, 10, 310, 32), RGB(0, 0, 255)));
  EXPECT_TRUE(shot.Contains(CRect(10, 40, 310, 62), RGB(255, 0, 0)));
  EXPECT_TRUE(shot.Contains(CRect(10, 70, 310, 92), RGB(128, 0, 128)));
  EXPECT_EQ(shot.Pixel(305, 135), RGB(0xC4, 0xFF, 0xFF));
  EXPECT_TRUE(shot.SavePng(ArtifactPath(L"controls\\hyperlinks.png")));
}

}  // namespace
