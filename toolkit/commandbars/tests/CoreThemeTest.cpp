// Theme 0's rows of the customize command list and the status-bar pane entry, as pixels
// in memory DCs; and pictures of a popup menu with an open submenu and its shadow in
// theme 0 and theme 3, taken from the screen while the menu tracks.
#include <framework.h>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

#include <test_picture.h>

#include "CommandBarsTestSupport.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPControl.h"
#include "XTPControlComboBox.h"
#include "XTPControlEdit.h"
#include "XTPControls.h"
#include "XTPDefaultTheme.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"
#include "XTPShadowManager.h"
#include "XTPShadowWnd.h"
#include "XTPSystemVersion.h"
#include "XTPWinThemeWrapper.h"
#include "XTPStatusBar.h"

using namespace cbtest;

namespace {

class CTheme0 : public CXTPDefaultTheme {
 public:
  CTheme0() { RefreshMetrics(); }
};

// A control on no bar, of a kind and caption.
CXTPControl* MakeControl(CXTPControls& controls, XTPControlType type, LPCTSTR lpszCaption) {
  CXTPControl* pControl = controls.Add(type, 0);
  if (pControl == NULL) pControl = controls.Add(xtpControlButton, 0);
  pControl->SetCaption(lpszCaption);
  pControl->SetType(type);
  return pControl;
}

int CountColour(CDC& dc, const CRect& rc, COLORREF clr) {
  int n = 0;
  for (int y = rc.top; y < rc.bottom; y++)
    for (int x = rc.left; x < rc.right; x++)
      if (dc.GetPixel(x, y) == clr) n++;
  return n;
}

TEST(CustomizeListRows, MeasureByIconSizeAndTextHeight) {
  CTheme0 theme;
  testsupport::CSnapshot shot(10, 10);
  const int h = theme.GetTextHeight();
  EXPECT_EQ(CSize(std::max(h, 20), std::max(h, 20)),
            theme.DrawCustomizeListItem(&shot.DC(), NULL, CRect(0, 0, 10, 10), FALSE, FALSE, NULL))
      << "16 x 16 icons without command bars";
  CXTPCommandBars* pCommandBars = (CXTPCommandBars*)RUNTIME_CLASS(CXTPCommandBars)->CreateObject();
  pCommandBars->GetCommandBarsOptions()->szPopupIcons = CSize(32, 24);
  EXPECT_EQ(CSize(std::max(h, 36), std::max(h, 28)),
            theme.DrawCustomizeListItem(&shot.DC(), NULL, CRect(0, 0, 10, 10), FALSE, FALSE, pCommandBars));
  pCommandBars->InternalRelease();
}

TEST(CustomizeListRows, BackgroundSelectionArrowsAndFields) {
  CTheme0 theme;
  CXTPControls* pControls = new CXTPControls();
  const COLORREF face = theme.GetColor(COLOR_BTNFACE), highlight = theme.GetColor(COLOR_HIGHLIGHT),
                 window = theme.GetColor(COLOR_WINDOW), text = theme.GetColor(COLOR_BTNTEXT),
                 hiText = theme.GetColor(COLOR_HIGHLIGHTTEXT);
  const CRect rc(0, 0, 200, 22);
  const int yMid = 11;

  struct Case {
    const char* name;
    XTPControlType type;
    BOOL selected;
    std::function<void(CDC&)> check;
  };
  const Case cases[] = {
      {"no control: the background only", xtpControlError, FALSE,
       [&](CDC& dc) { EXPECT_EQ(rc.Width() * rc.Height(), CountColour(dc, rc, face)); }},
      {"a plain row keeps the face behind its text", xtpControlButton, FALSE,
       [&](CDC& dc) {
         EXPECT_EQ(face, dc.GetPixel(1, 1));
         EXPECT_GT(CountColour(dc, rc, text), 10) << "caption in button text";
       }},
      {"a selected row is highlighted up to one pixel before the right edge", xtpControlButton, TRUE,
       [&](CDC& dc) {
         EXPECT_EQ(highlight, dc.GetPixel(1, 1));
         EXPECT_EQ(highlight, dc.GetPixel(198, 20));
         EXPECT_EQ(face, dc.GetPixel(199, 10));
         EXPECT_GT(CountColour(dc, rc, hiText), 10) << "caption in highlight text";
       }},
      {"a popup shows a right-pointing triangle", xtpControlPopup, FALSE,
       [&](CDC& dc) {
         EXPECT_EQ(text, dc.GetPixel(200 - 8, yMid)) << "tip side";
         EXPECT_EQ(text, dc.GetPixel(200 - 12, yMid + 4)) << "base";
         EXPECT_EQ(face, dc.GetPixel(200 - 5, yMid));
       }},
      {"a split popup adds a line at right - 20", xtpControlSplitButtonPopup, FALSE,
       [&](CDC& dc) {
         EXPECT_EQ(text, dc.GetPixel(180, 2));
         EXPECT_EQ(text, dc.GetPixel(180, 19));
       }},
      {"an edit has a window-coloured field after its caption", xtpControlEdit, FALSE,
       [&](CDC& dc) {
         EXPECT_EQ(window, dc.GetPixel(150, yMid));
         EXPECT_EQ(face, dc.GetPixel(198, yMid)) << "framed in the face colour";
       }},
      {"a selected combo box frames its field and button in the highlight", xtpControlComboBox, TRUE,
       [&](CDC& dc) {
         EXPECT_EQ(highlight, dc.GetPixel(198, yMid)) << "field frame";
         EXPECT_EQ(window, dc.GetPixel(120, yMid)) << "field";
         EXPECT_GT(CountColour(dc, CRect(170, 2, 198, 20), text), 3) << "drop-down arrow";
       }},
  };
  for (const Case& c : cases) {
    testsupport::CSnapshot shot(rc.Width(), rc.Height());
    CXTPControl* pControl = c.type == xtpControlError ? NULL : MakeControl(*pControls, c.type, _T("&Go"));
    theme.DrawCustomizeListItem(&shot.DC(), pControl, rc, c.selected, TRUE, NULL);
    SCOPED_TRACE(c.name);
    c.check(shot.DC());
  }
  pControls->InternalRelease();
}

// ---- Edit and combo box fields ------------------------------------------------------------------

TEST(FieldItems, LabelWidthHeightAndComboButtonFromTheFont) {
  const struct {
    int lfWidth;  // the average character width the font is asked for
  } fonts[] = {{4}, {8}};
  for (const auto& f : fonts) {
    CTheme0 theme;
    LOGFONT lf = {};
    lf.lfHeight = -11;
    lf.lfWidth = f.lfWidth;
    lstrcpy(lf.lfFaceName, _T("Tahoma"));
    theme.SetFontIndirect(&lf);
    CXTPControls* pControls = new CXTPControls();
    CXTPControl* pEdit = pControls->Add(xtpControlEdit, 501);
    CXTPControl* pCombo = pControls->Add(xtpControlComboBox, 502);
    ASSERT_TRUE(pEdit != NULL && pEdit->IsKindOf(RUNTIME_CLASS(CXTPControlEdit)));
    ASSERT_TRUE(pCombo != NULL && pCombo->IsKindOf(RUNTIME_CLASS(CXTPControlComboBox)));
    pEdit->SetCaption(_T("&Find"));
    pCombo->SetCaption(_T("Size"));
    testsupport::CSnapshot shot(300, 40);
    CFont* pOld = shot.DC().SelectObject(theme.GetRegularFont());
    TEXTMETRIC tm = {};
    shot.DC().GetTextMetrics(&tm);
    const CSize szSpace = shot.DC().GetTextExtent(_T(" "));
    const int cxFind = shot.DC().GetTextExtent(_T("Find")).cx;
    shot.DC().SelectObject(pOld);

    const CSize szEdit = theme.DrawControl(&shot.DC(), pEdit, FALSE);
    EXPECT_EQ(CSize(100 + cxFind + 5, szSpace.cy + 1 + 7), szEdit) << "field 100, label caption + 5";
    EXPECT_EQ(cxFind + 5, static_cast<CXTPControlEdit*>(pEdit)->GetLabelWidth());
    const CSize szCombo = theme.DrawControl(&shot.DC(), pCombo, FALSE);
    EXPECT_EQ(100, szCombo.cx) << "a combo box shows no label unless its style asks";
    EXPECT_EQ(std::max<int>(15, 2 * (int)tm.tmAveCharWidth + 4),
              static_cast<CXTPControlComboBox*>(pCombo)->GetDropButtonWidth());
    if ((int)tm.tmAveCharWidth == f.lfWidth)
      EXPECT_EQ(f.lfWidth == 4 ? 15 : 20, static_cast<CXTPControlComboBox*>(pCombo)->GetDropButtonWidth());

    // Drawn: the label in button text, the field in the window colour inside its frame, the
    // combo box's button in the face colour with its arrow.
    shot.DC().FillSolidRect(0, 0, 300, 40, theme.GetColor(COLOR_BTNFACE));
    pEdit->SetRect(CRect(0, 0, szEdit.cx, szEdit.cy));
    theme.DrawControl(&shot.DC(), pEdit, TRUE);
    const int xField = cxFind + 5;
    EXPECT_GT(CountColour(shot.DC(), CRect(0, 0, xField, szEdit.cy), theme.GetColor(COLOR_BTNTEXT)), 5);
    EXPECT_EQ(theme.GetColor(COLOR_WINDOW), shot.DC().GetPixel(xField + 50, szEdit.cy / 2));
    pCombo->SetRect(CRect(0, 20, 150, 20 + szCombo.cy));
    shot.DC().FillSolidRect(0, 20, 300, 20, theme.GetColor(COLOR_BTNFACE));
    theme.DrawControl(&shot.DC(), pCombo, TRUE);
    const int nThumb = static_cast<CXTPControlComboBox*>(pCombo)->GetDropButtonWidth();
    EXPECT_EQ(theme.GetColor(COLOR_WINDOW), shot.DC().GetPixel(40, 20 + szCombo.cy / 2));
    EXPECT_GT(CountColour(shot.DC(), CRect(150 - nThumb, 20, 150, 20 + szCombo.cy), theme.GetColor(COLOR_BTNFACE)), 20);
    EXPECT_GT(CountColour(shot.DC(), CRect(150 - nThumb, 20, 150, 20 + szCombo.cy), theme.GetColor(COLOR_BTNTEXT)), 3)
        << "the drop-down arrow";
    shot.SavePng(testsupport::ArtifactPath(f.lfWidth == 4 ? L"commandbars/field_items_theme0.png"
                                                          : L"commandbars/field_items_theme0_wide.png"));
    pControls->InternalRelease();
  }
}

// A pane with what the test gives it.
class CTestPane : public CXTPStatusBarPane {
 public:
  CTestPane(LPCTSTR lpszText, UINT nStyle) {
    m_strText = lpszText;
    m_nStyle = nStyle;
  }
};

TEST(StatusBarPaneEntry, BackgroundTextColourAlignmentAndDisabled) {
  CTheme0 theme;
  const CRect rc(0, 0, 160, 20);
  const COLORREF back = RGB(250, 240, 200), ink = RGB(200, 0, 0), white = RGB(255, 255, 255);
  struct Case {
    const char* name;
    UINT style;
    COLORREF background, textColor;
    int alignment;
    std::function<void(CDC&)> check;
  };
  const Case cases[] = {
      {"background inside the border, text in the pane's colour", 0, back, ink, 0,
       [&](CDC& dc) {
         EXPECT_EQ(white, dc.GetPixel(0, 10)) << "the border line stays";
         EXPECT_EQ(back, dc.GetPixel(1, 1));
         EXPECT_EQ(back, dc.GetPixel(158, 18));
         EXPECT_GT(CountColour(dc, CRect(2, 1, 40, 19), ink), 5) << "left-aligned text";
         EXPECT_EQ(0, CountColour(dc, CRect(100, 1, 158, 19), ink));
       }},
      {"no border: the background reaches the edge", SBPS_NOBORDERS, back, ink, 0,
       [&](CDC& dc) { EXPECT_EQ(back, dc.GetPixel(0, 0)); }},
      {"right alignment", 0, (COLORREF)-1, ink, 2,
       [&](CDC& dc) {
         EXPECT_EQ(0, CountColour(dc, CRect(2, 1, 100, 19), ink));
         EXPECT_GT(CountColour(dc, CRect(120, 1, 158, 19), ink), 5);
       }},
      {"centred", 0, (COLORREF)-1, ink, 1,
       [&](CDC& dc) {
         EXPECT_EQ(0, CountColour(dc, CRect(2, 1, 50, 19), ink));
         EXPECT_GT(CountColour(dc, CRect(55, 1, 105, 19), ink), 5);
       }},
      {"a disabled pane shows no text", SBPS_DISABLED, (COLORREF)-1, ink, 0,
       [&](CDC& dc) { EXPECT_EQ(0, CountColour(dc, rc, ink)); }},
      {"without a colour of its own: the paint manager's text colour", 0, (COLORREF)-1, (COLORREF)-1, 0,
       [&](CDC& dc) { EXPECT_GT(CountColour(dc, rc, theme.m_clrStatusTextColor), 5); }},
  };
  for (const Case& c : cases) {
    testsupport::CSnapshot shot(rc.Width(), rc.Height());
    shot.DC().FillSolidRect(rc, white);
    CTestPane pane(_T("Ready"), c.style);
    pane.SetBackgroundColor(c.background);
    pane.SetTextColor(c.textColor);
    pane.SetTextAlignment(c.alignment);
    theme.DrawStatusBarPane(&shot.DC(), rc, &pane);
    SCOPED_TRACE(c.name);
    c.check(shot.DC());
  }
}

// ---- Pictures of a popup with an open submenu in both themes --------------------------------

std::vector<std::function<void()>> g_steps;
size_t g_nextStep = 0;

void CALLBACK StepProc(HWND hWnd, UINT, UINT_PTR idEvent, DWORD) {
  if (g_nextStep >= g_steps.size()) {
    ::KillTimer(hWnd, idEvent);
    return;
  }
  g_steps[g_nextStep++]();
}

DWORD CALLBACK ComCtl6() { return 0x00060000; }

void Press(WORD vk) {
  KeyEvent(vk, false);
  KeyEvent(vk, true);
}

TEST(ThemePictures, APopupWithAnOpenSubmenuAndItsShadowInBothThemes) {
  ParkPointer();
  CWnd site;
  ASSERT_TRUE(testsupport::CreateTestWindow(site, CRect(40, 40, 640, 520), L"theme picture site"));
  Activate(site.GetSafeHwnd());
  CMenu menu;
  ASSERT_TRUE(menu.LoadMenu(300));
  // Menus cast shadows as on a system whose drop-shadow setting is on (Wine's is off).
  XTPShadowManager()->SetSystemShadowOverride(1);
  const struct {
    int theme;
    const wchar_t* file;
  } themes[] = {{0, L"commandbars/popup_submenu_theme0.png"}, {3, L"commandbars/popup_submenu_theme3.png"}};
  for (const auto& t : themes) {
    // Theme 3 draws through the system's visual styles: let it see common controls 6.
    XTPSetComCtlVersionQuery(t.theme == 3 ? &ComCtl6 : NULL);
    CXTPThemeHandle::ReloadComCtlVersion();
    CXTPPaintManager::SetTheme(t.theme);
    ASSERT_EQ(t.theme, CXTPPaintManager::GetCurrentPaintManager()->GetCurrentTheme());
    const COLORREF highlight = XTPPaintManager()->GetColor(COLOR_HIGHLIGHT);
    bool bSaved = false;
    int nHighlighted = 0, nShadowDarker = 0, nColours = 0, nShadows = 0;
    CRect rcSub;
    g_steps = {[] { Press('M'); }, [] {}, [] {},
               [&] {
                 std::vector<CXTPCommandBar*> bars;
                 for (int i = 0; i < XTPMouseManager()->GetTrackingBarCount(); i++)
                   bars.push_back(XTPMouseManager()->GetTrackingBar(i));
                 if (bars.size() != 2) return;
                 CRect rcA, rcShot;
                 bars[0]->GetWindowRect(&rcA);
                 bars[1]->GetWindowRect(&rcSub);
                 rcShot.UnionRect(rcA, rcSub);
                 rcShot.InflateRect(10, 10);
                 testsupport::CSnapshot shot(rcShot.Width(), rcShot.Height());
                 HDC hScreen = ::GetDC(NULL);
                 ::BitBlt(shot.DC().GetSafeHdc(), 0, 0, rcShot.Width(), rcShot.Height(), hScreen, rcShot.left,
                          rcShot.top, SRCCOPY);
                 ::ReleaseDC(NULL, hScreen);
                 // Xvfb has no compositor: the layered shadows are laid over the picture
                 // from their own alpha gradients, as a compositor would show them.
                 for (CXTPCommandBar* pBar : bars) {
                   CArray<CXTPShadowWnd*, CXTPShadowWnd*> arrShadows;
                   XTPShadowManager()->GetShadows(pBar, arrShadows);
                   nShadows += (int)arrShadows.GetSize();
                   for (int s = 0; s < arrShadows.GetSize(); s++) {
                     CXTPShadowWnd* pShadow = arrShadows[s];
                     if (!pShadow->IsWindowVisible()) continue;
                     CRect rcS;
                     pShadow->GetWindowRect(&rcS);
                     std::vector<DWORD> bits((size_t)rcS.Width() * rcS.Height());
                     CXTPShadowWnd::ComputeAlphaBits(bits.data(), rcS.Width(), rcS.Height(), pShadow->IsHorizontal(),
                                                     pShadow->IsThemeShadow(), RGB(0, 0, 0));
                     for (int yy = 0; yy < rcS.Height(); yy++)
                       for (int xx = 0; xx < rcS.Width(); xx++) {
                         const DWORD a = bits[(size_t)(rcS.Height() - 1 - yy) * rcS.Width() + xx] >> 24;
                         const int px = rcS.left + xx - rcShot.left, py = rcS.top + yy - rcShot.top;
                         const COLORREF c = shot.DC().GetPixel(px, py);
                         shot.DC().SetPixel(px, py,
                                            RGB(GetRValue(c) * (255 - a) / 255, GetGValue(c) * (255 - a) / 255,
                                                GetBValue(c) * (255 - a) / 255));
                       }
                   }
                 }
                 bSaved = shot.SavePng(testsupport::ArtifactPath(t.file));
                 CRect rcRows(rcA);
                 rcRows.OffsetRect(-rcShot.left, -rcShot.top);
                 nHighlighted = CountColour(shot.DC(), rcRows, highlight);
                 std::set<COLORREF> colours;
                 for (int y = rcRows.top; y < rcRows.bottom; y += 2)
                   for (int x = rcRows.left; x < rcRows.right; x += 2) colours.insert(shot.DC().GetPixel(x, y));
                 nColours = (int)colours.size();
                 // The shadow band right of the submenu, against the site's window colour.
                 const int x = rcSub.right - rcShot.left + 2, y = rcSub.CenterPoint().y - rcShot.top;
                 const COLORREF clrShadow = shot.DC().GetPixel(x, y);
                 const COLORREF clrSite = ::GetSysColor(COLOR_WINDOW);
                 if (GetRValue(clrShadow) + GetGValue(clrShadow) + GetBValue(clrShadow) <
                     GetRValue(clrSite) + GetGValue(clrSite) + GetBValue(clrSite))
                   nShadowDarker = 1;
               },
               [] { Press(VK_ESCAPE); }, [] { Press(VK_ESCAPE); }, [] { Press(VK_ESCAPE); }};
    g_nextStep = 0;
    ::SetTimer(site.GetSafeHwnd(), 5, 150, &StepProc);
    CXTPCommandBars::TrackPopupMenu(menu.GetSubMenu(0), TPM_RETURNCMD, 120, 120, &site);
    ::KillTimer(site.GetSafeHwnd(), 5);
    XTPMouseManager()->CloseAllTrackingBars();
    PumpFor(50);
    EXPECT_TRUE(bSaved) << t.theme;
    EXPECT_GT(nHighlighted, 100) << t.theme << ": the row of the open submenu is highlighted";
    EXPECT_GT(nColours, 3) << t.theme << ": the popup is drawn, not blank";
    EXPECT_EQ(1, nShadowDarker) << t.theme << ": a shadow right of the submenu";
    EXPECT_EQ(4, nShadows) << t.theme << ": a bottom and a right shadow for each popup";
  }
  XTPSetComCtlVersionQuery(NULL);
  CXTPThemeHandle::ReloadComCtlVersion();
  XTPShadowManager()->SetSystemShadowOverride(-1);
  CXTPPaintManager::SetTheme(0);
  site.DestroyWindow();
}

}  // namespace
