// The row layout of a controls collection with sizes the test gives: a group wrapping as a
// whole, single-row hiding, the empty bar, right alignment, stretching, vertical columns and
// the near-square floating shape.
#include <framework.h>

#include <gtest/gtest.h>

#include <vector>

#include "XTPControlButton.h"
#include "XTPControls.h"

namespace {

// A button whose measured size the test chooses.
class CSizedControl : public CXTPControlButton {
 public:
  explicit CSizedControl(CSize sz) : m_sz(sz) {}
  CSize GetSize(CDC*) override { return m_sz; }
  CSize m_sz;
};

struct Item {
  int cx, cy;
  bool group;
  DWORD flags;
  DWORD hide;
};

struct LayoutCase {
  const char* name;
  std::vector<Item> items;
  int length;
  DWORD mode;
  CRect border;  // left, top, right, bottom widths
  int minExtent;
  CSize size;
  std::vector<CRect> rects;     // expected rectangles (empty: not checked)
  std::vector<DWORD> hideFlags; // expected hide flags after commit
  std::vector<int> rowStarts;   // indexes that start a row
};

const DWORD kDock = LM_HORZDOCK | LM_HORZ | LM_COMMIT;

std::vector<Item> Buttons(int n, int cx, int cy) { return std::vector<Item>((size_t)n, Item{cx, cy, false, 0, 0}); }

std::vector<LayoutCase> Cases() {
  std::vector<LayoutCase> cases;
  // A B C | D E in 100 pixels: E overflows, and D (its group start) moves with it.
  cases.push_back({"group wraps whole",
                   {{20, 20, false, 0, 0}, {20, 20, false, 0, 0}, {20, 20, false, 0, 0},
                    {20, 20, true, 0, 0}, {20, 20, false, 0, 0}},
                   100, kDock, CRect(0, 0, 0, 0), 0, CSize(100, 46),
                   {CRect(0, 0, 20, 20), CRect(20, 0, 40, 20), CRect(40, 0, 60, 20), CRect(0, 26, 20, 46),
                    CRect(20, 26, 40, 46)},
                   {0, 0, 0, 0, 0}, {3}});
  // The same without a group: only the overflowing control wraps.
  cases.push_back({"single control wraps",
                   Buttons(5, 20, 20), 70, kDock, CRect(0, 0, 0, 0), 0, CSize(70, 40),
                   {CRect(0, 0, 20, 20), CRect(20, 0, 40, 20), CRect(40, 0, 60, 20), CRect(0, 20, 20, 40),
                    CRect(20, 20, 40, 40)},
                   {0, 0, 0, 0, 0}, {3}});
  // Single row: the first that does not fit and all after it get hide flag 2.
  cases.push_back({"single row hides the rest",
                   {{20, 20, false, 0, 0}, {20, 20, false, 0, 0}, {20, 20, false, 0, 0},
                    {20, 20, true, 0, 0}, {20, 20, false, 0, 0}},
                   70, kDock | LM_HIDEWRAP, CRect(0, 0, 0, 0), 0, CSize(70, 20),
                   {CRect(0, 0, 20, 20), CRect(20, 0, 40, 20), CRect(40, 0, 60, 20), CRect(), CRect()},
                   {0, 0, 0, xtpHideWrap, xtpHideWrap}, {}});
  // A control hidden by the single-row pass last time shows again when there is room.
  cases.push_back({"hidden by wrap shows again",
                   {{20, 20, false, 0, 0}, {20, 20, false, 0, xtpHideWrap}},
                   100, kDock | LM_HIDEWRAP, CRect(0, 0, 0, 0), 0, CSize(40, 20),
                   {CRect(0, 0, 20, 20), CRect(20, 0, 40, 20)}, {0, 0}, {}});
  // Borders move everything and add to the size; controls centre in their row.
  cases.push_back({"borders and centring",
                   {{20, 20, false, 0, 0}, {10, 10, false, 0, 0}},
                   200, kDock, CRect(2, 3, 4, 5), 0, CSize(36, 28),
                   {CRect(2, 3, 22, 23), CRect(22, 8, 32, 18)}, {0, 0}, {}});
  // Two right-aligned controls keep their order against the right edge.
  cases.push_back({"right alignment",
                   {{20, 20, false, 0, 0}, {20, 20, false, 0, 0}, {15, 20, false, xtpFlagRightAlign, 0},
                    {25, 20, false, xtpFlagRightAlign, 0}},
                   200, kDock | LM_STRETCH, CRect(0, 0, 0, 0), 0, CSize(200, 20),
                   {CRect(0, 0, 20, 20), CRect(20, 0, 40, 20), CRect(160, 0, 175, 20), CRect(175, 0, 200, 20)},
                   {0, 0, 0, 0}, {}});
  // Three stretched controls share 10 free pixels as 3, 3 and 4.
  cases.push_back({"stretch 3 3 4",
                   {{10, 20, false, xtpFlagControlStretched, 0}, {10, 20, false, xtpFlagControlStretched, 0},
                    {10, 20, false, xtpFlagControlStretched, 0}},
                   40, kDock | LM_STRETCH, CRect(0, 0, 0, 0), 0, CSize(40, 20),
                   {CRect(0, 0, 13, 20), CRect(13, 0, 26, 20), CRect(26, 0, 40, 20)}, {0, 0, 0}, {}});
  // A stretched control between fixed ones pushes the later ones along.
  cases.push_back({"stretch shifts followers",
                   {{10, 20, false, 0, 0}, {10, 20, false, xtpFlagControlStretched, 0}, {10, 20, false, 0, 0}},
                   50, kDock | LM_STRETCH, CRect(0, 0, 0, 0), 0, CSize(50, 20),
                   {CRect(0, 0, 10, 20), CRect(10, 0, 40, 20), CRect(40, 0, 50, 20)}, {0, 0, 0}, {}});
  // A vertical bar: one column, controls centred across it.
  cases.push_back({"vertical column",
                   {{20, 10, false, 0, 0}, {10, 10, false, 0, 0}, {20, 10, true, 0, 0}},
                   100, LM_VERTDOCK | LM_COMMIT, CRect(1, 1, 1, 1), 0, CSize(22, 38),
                   {CRect(1, 1, 21, 11), CRect(6, 11, 16, 21), CRect(1, 27, 21, 37)}, {0, 0, 0}, {}});
  // Free floating: sixteen buttons settle into a near-square 4 x 4 block.
  {
    LayoutCase c{"near-square floating", Buttons(16, 23, 22), 0, LM_POPUP | LM_COMMIT, CRect(3, 3, 3, 3), 0,
                 CSize(98, 94), {}, std::vector<DWORD>(16, 0), {4, 8, 12}};
    c.rects.resize(16);
    c.rects[5] = CRect(3 + 23, 3 + 22, 3 + 46, 3 + 44);
    cases.push_back(c);
  }
  // Floating and resized: the narrowest width that keeps the rows of the given width.
  cases.push_back({"floating width search",
                   Buttons(6, 20, 20), 75, LM_COMMIT, CRect(0, 0, 0, 0), 0, CSize(60, 40),
                   {CRect(0, 0, 20, 20), CRect(), CRect(40, 0, 60, 20), CRect(0, 20, 20, 40)},
                   std::vector<DWORD>(6, 0), {3}});
  // Floating and resized by height: the narrowest width whose height fits.
  cases.push_back({"floating by height",
                   Buttons(6, 20, 20), 40, LM_LENGTHY | LM_COMMIT, CRect(0, 0, 0, 0), 0, CSize(60, 40),
                   {}, std::vector<DWORD>(6, 0), {3}});
  return cases;
}

class LayoutTable : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutTable, SizesRectanglesAndFlags) {
  const LayoutCase& c = GetParam();
  CXTPControls* pControls = new CXTPControls();
  for (const Item& item : c.items) {
    CXTPControl* pControl = pControls->Add(new CSizedControl(CSize(item.cx, item.cy)), 0);
    pControl->SetBeginGroup(item.group);
    pControl->SetFlags(item.flags);
    pControl->SetHideFlags(item.hide);
  }
  const CSize sz = pControls->CalcDynamicSize(NULL, c.length, c.mode, c.border, c.minExtent);
  EXPECT_EQ(c.size.cx, sz.cx) << c.name;
  EXPECT_EQ(c.size.cy, sz.cy) << c.name;
  for (size_t i = 0; i < c.rects.size(); i++) {
    if (c.rects[i].IsRectNull()) continue;
    const CRect rc = pControls->GetAt((int)i)->GetRect();
    EXPECT_EQ(c.rects[i], rc) << c.name << " control " << i << " at (" << rc.left << "," << rc.top << ","
                              << rc.right << "," << rc.bottom << ")";
  }
  for (size_t i = 0; i < c.hideFlags.size(); i++)
    EXPECT_EQ(c.hideFlags[i], pControls->GetAt((int)i)->GetHideFlags()) << c.name << " control " << i;
  for (int i = 0; i < pControls->GetCount(); i++) {
    const bool bExpected = std::find(c.rowStarts.begin(), c.rowStarts.end(), i) != c.rowStarts.end();
    EXPECT_EQ(bExpected, pControls->GetAt(i)->GetWrap() != FALSE) << c.name << " row start " << i;
  }
  pControls->InternalRelease();
}

INSTANTIATE_TEST_SUITE_P(Controls, LayoutTable, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<LayoutCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name)
                             if (!isalnum((unsigned char)ch)) ch = '_';
                           return name;
                         });

// The empty bar: 23 x 22 plus the borders; the minimum extent applies across a horizontal
// dock bar and along anything else. Controls hidden for other reasons count as absent.
TEST(ControlsLayout, EmptyBarMeasures23By22PlusBorders) {
  struct EmptyCase {
    DWORD mode;
    int minExtent;
    bool hiddenControl;
    CSize size;
  } cases[] = {
      {kDock, 0, false, CSize(29, 30)},
      {kDock, 40, false, CSize(29, 40)},
      {LM_COMMIT, 40, false, CSize(40, 30)},
      {kDock, 0, true, CSize(29, 30)},
  };
  for (const EmptyCase& c : cases) {
    CXTPControls* pControls = new CXTPControls();
    if (c.hiddenControl) pControls->Add(new CSizedControl(CSize(50, 50)), 1)->SetHideFlags(xtpHideGeneric);
    const CSize sz = pControls->CalcDynamicSize(NULL, 300, c.mode, CRect(2, 3, 4, 5), c.minExtent);
    EXPECT_EQ(c.size, sz) << "mode " << c.mode << " min " << c.minExtent;
    pControls->InternalRelease();
  }
}

// Without commit nothing in the controls changes.
TEST(ControlsLayout, MeasuringWithoutCommitLeavesControlsAlone) {
  CXTPControls* pControls = new CXTPControls();
  for (int i = 0; i < 5; i++) pControls->Add(new CSizedControl(CSize(20, 20)), i + 1);
  pControls->GetAt(4)->SetRect(CRect(1, 2, 3, 4));
  const CSize sz = pControls->CalcDynamicSize(NULL, 70, LM_HORZDOCK | LM_HIDEWRAP, CRect(0, 0, 0, 0));
  EXPECT_EQ(CSize(70, 20), sz);
  EXPECT_EQ(CRect(1, 2, 3, 4), pControls->GetAt(4)->GetRect());
  EXPECT_EQ((DWORD)0, pControls->GetAt(4)->GetHideFlags());
  pControls->InternalRelease();
}

}  // namespace
