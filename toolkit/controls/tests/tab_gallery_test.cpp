// A gallery of tab strips: every appearance set with every colour set, with visual styles
// and without, and every set at the four positions. The pictures go to
// build/artifacts/controls; the checks make sure each cell shows a strip, not a blank.
#include <framework.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "XTPColorManager.h"
#include "XTPDrawHelpers.h"
#include "XTPTabAppearanceSets.h"
#include "XTPTabColorSets.h"
#include "XTPWinThemeWrapper.h"
#include "tab_fixture.h"
#include "test_picture.h"

using tabtest::CLayoutHost;

namespace {

const int kColorSets[] = {1, 2, 4, 8, 16};

// Draws a strip of four tabs (the second selected, the third hot, the fourth disabled) in
// cell rc of the picture.
void DrawStrip(CDC* pDC, CRect cell, int nAppearance, int nColor, int nPosition, BOOL bThemed) {
  CXTPTabPaintManager* pm = new CXTPTabPaintManager();
  pm->SetThemeColors(bThemed);
  pm->SetAppearance(nAppearance);
  pm->SetColor(nColor);
  pm->SetPosition(nPosition);
  pm->m_bHotTracking = TRUE;
  pm->m_bBoldSelected = TRUE;
  CLayoutHost host(pm, CRect(0, 0, cell.Width(), cell.Height()));
  for (const wchar_t* c : {L"Contacts", L"Folders", L"Preview", L"Off"}) host.Add(c);
  host.GetItem(3)->SetEnabled(FALSE);
  host.SetCurSel(1);
  host.SetHotItem(host.GetItem(2));
  host.Reposition();
  const int saved = pDC->SaveDC();
  pDC->SetViewportOrg(cell.left, cell.top);
  ::IntersectClipRect(pDC->m_hDC, 0, 0, cell.Width(), cell.Height());
  pm->DrawTabControl(&host, pDC, CRect(0, 0, cell.Width(), cell.Height()));
  pDC->RestoreDC(saved);
}

// Distinct colours inside a rectangle of the picture.
size_t Colours(const testsupport::CSnapshot& shot, const CRect& rc) {
  std::set<COLORREF> seen;
  for (int y = rc.top; y < rc.bottom; y += 1)
    for (int x = rc.left; x < rc.right; x += 1) seen.insert(shot.Pixel(x, y));
  return seen.size();
}

class ThemeOff {
 public:
  ThemeOff() : m_hOld(CXTPThemeHandle::SetThemeLibrary(nullptr)) {}
  ~ThemeOff() { CXTPThemeHandle::SetThemeLibrary(m_hOld); }

 private:
  HMODULE m_hOld;
};

}  // namespace

TEST(TabGallery, EveryAppearanceWithEveryColorSet) {
  const int cw = 280, ch = 90;
  for (int a = 0; a < 10; a++) {
    testsupport::CSnapshot shot(cw * 2, ch * 5);
    for (int i = 0; i < 5; i++) {
      DrawStrip(&shot.DC(), CRect(0, i * ch, cw, (i + 1) * ch), a, kColorSets[i], xtpTabPosTop, TRUE);
      {
        ThemeOff off;
        DrawStrip(&shot.DC(), CRect(cw, i * ch, 2 * cw, (i + 1) * ch), a, kColorSets[i], xtpTabPosTop, FALSE);
      }
    }
    shot.SavePng(testsupport::ArtifactPath(L"controls\\tabs_set" + std::to_wstring(a) + L"_colors.png"));
    for (int i = 0; i < 5; i++)
      for (int col = 0; col < 2; col++) {
        const CRect cell(col * cw, i * ch, (col + 1) * cw, (i + 1) * ch);
        EXPECT_GE(Colours(shot, cell), 4u) << "set " << a << " colours " << kColorSets[i] << " themed " << (col == 0);
        // Captions are drawn: the strip holds dark text pixels.
        EXPECT_FALSE(shot.Contains(cell, testsupport::CSnapshot::kUnpainted)) << a;
      }
  }
}

TEST(TabGallery, EveryAppearanceAtTheFourPositions) {
  const int cw = 220, ch = 150;
  for (int a = 0; a < 10; a++) {
    testsupport::CSnapshot shot(cw * 4, ch);
    for (int pos = 0; pos < 4; pos++) DrawStrip(&shot.DC(), CRect(pos * cw, 0, (pos + 1) * cw, ch), a, 1, pos, FALSE);
    shot.SavePng(testsupport::ArtifactPath(L"controls\\tabs_set" + std::to_wstring(a) + L"_positions.png"));
    for (int pos = 0; pos < 4; pos++) EXPECT_GE(Colours(shot, CRect(pos * cw, 0, (pos + 1) * cw, ch)), 3u) << a << " " << pos;
  }
}

TEST(TabGallery, VisualStylesSetFallsBackWithoutTheLibrary) {
  // Without the visual-styles library the set draws as the default set, pixel for pixel.
  const CRect cell(0, 0, 280, 90);
  testsupport::CSnapshot themedOff(280, 90), plain(280, 90);
  {
    ThemeOff off;
    DrawStrip(&themedOff.DC(), cell, 0, 8, xtpTabPosTop, FALSE);
    DrawStrip(&plain.DC(), cell, 0, 1, xtpTabPosTop, FALSE);
  }
  int differing = 0;
  for (int y = 0; y < 90; y++)
    for (int x = 0; x < 280; x++) differing += themedOff.Pixel(x, y) != plain.Pixel(x, y);
  EXPECT_EQ(differing, 0);
  CXTPTabColorSetVisualStyles vs;
  {
    ThemeOff off;
    vs.RefreshColors();
    EXPECT_FALSE(vs.IsThemed());
  }
}

namespace {

// The wizard's colour set: a yellow-framed white header with the first caption in blue.
class CWizardHeaderColors : public CXTPTabColorSetDefault {
 public:
  void FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) override {
    CXTPDrawHelpers::GradientFill(pDC, &rc, COLORREF(0x00FFFF), COLORREF(0x00FFFF), FALSE);
    CRect inner = rc;
    inner.DeflateRect(1, 1);
    CXTPDrawHelpers::GradientFill(pDC, &inner, COLORREF(0xFFFFFF), COLORREF(0xEFFEFF), FALSE);
    if (pManager && pManager->GetItemCount() > 0) {
      pDC->SetBkMode(TRANSPARENT);
      pDC->SetTextColor(0xFF0000);
      HGDIOBJ old = ::SelectObject(pDC->m_hDC, ::GetStockObject(DEFAULT_GUI_FONT));
      pDC->TextOut(rc.left + 20, rc.top + 4, pManager->GetItem(0)->GetCaption());
      ::SelectObject(pDC->m_hDC, old);
    }
  }
};

}  // namespace

TEST(TabGallery, WizardSlantedSet) {
  // The wizard's paint manager with its tabs shown, at the top and at the bottom.
  testsupport::CSnapshot shot(420, 260);
  for (int pos : {xtpTabPosTop, xtpTabPosBottom}) {
    CXTPTabPaintManager* pm = new CXTPTabPaintManager();
    pm->SetAppearance(7);
    pm->SetThemeColors(FALSE);
    pm->SetItemColors(0);
    pm->SetPosition(pos);
    pm->SetColorSet(new CWizardHeaderColors());
    pm->m_bHotTracking = TRUE;
    pm->m_bShowIcons = TRUE;
    pm->m_bBoldSelected = TRUE;
    pm->m_bStaticFrame = FALSE;
    CLayoutHost host(pm, CRect(0, 0, 420, 130));
    for (const wchar_t* c : {L"Source Files", L"Folder Selection", L"Savinf Progress"}) host.Add(c);
    host.SetCurSel(1);
    host.SetHotItem(host.GetItem(2));
    const int top = pos == xtpTabPosTop ? 0 : 130;
    const int saved = shot.DC().SaveDC();
    shot.DC().SetViewportOrg(0, top);
    pm->DrawTabControl(&host, &shot.DC(), CRect(0, 0, 420, 130));
    shot.DC().RestoreDC(saved);
    const CRect header = host.GetHeaderRect();
    // The yellow frame of the header and, beyond the tabs, its white-to-cream inside (the
    // first caption it writes at (20, 4) lies under the tabs here).
    EXPECT_EQ(shot.Pixel(header.left, top + header.top + 1), 0x00FFFFu) << pos;
    const COLORREF inside = shot.Pixel(header.right - 10, top + header.CenterPoint().y);
    EXPECT_EQ(GetRValue(inside), 0xFF) << pos;
    EXPECT_GE(GetBValue(inside), 0xEF) << pos;
    EXPECT_NE(inside, XTPGetColorManager()->GetColor(COLOR_BTNFACE)) << pos;
  }
  shot.SavePng(testsupport::ArtifactPath(L"controls\\tabs_wizard_set7.png"));
}

TEST(TabGallery, BarsLookTheSameAtEveryPosition) {
  // Set 8 stacks its bars across the control whatever the position; their captions read
  // across them.
  const CRect cell(0, 0, 220, 150);
  testsupport::CSnapshot top(220, 150);
  DrawStrip(&top.DC(), cell, 8, 1, xtpTabPosTop, FALSE);
  for (int pos = 1; pos < 4; pos++) {
    testsupport::CSnapshot other(220, 150);
    DrawStrip(&other.DC(), cell, 8, 1, pos, FALSE);
    int differing = 0;
    for (int y = 0; y < 150; y++)
      for (int x = 0; x < 220; x++) differing += top.Pixel(x, y) != other.Pixel(x, y);
    EXPECT_EQ(differing, 0) << pos;
  }
}
