// Tab strips without input: the manager's list and selection rules, the layouts, the
// appearance sets' geometry and the colour sets' values.
#include <framework.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <typeinfo>
#include <vector>

#include "XTPColorManager.h"
#include "XTPTabAppearanceSets.h"
#include "XTPTabColorSets.h"
#include "XTPWinThemeWrapper.h"
#include "tab_fixture.h"
#include "test_picture.h"

using tabtest::CLayoutHost;
using tabtest::CNumberPaintManager;

namespace {

// A host that lets a test mark a tab hot directly.
class CHotHost : public CLayoutHost {
 public:
  void SetHot(CXTPTabManagerItem* p) { m_pHot = p; }
};

std::vector<int> Lengths(const CXTPTabManager& m) {
  std::vector<int> v;
  for (int i = 0; i < m.GetItemCount(); i++) v.push_back(m.GetItem(i)->GetLength());
  return v;
}

CLayoutHost* MakeHost(std::initializer_list<const wchar_t*> captions, int nLayout, CRect rc) {
  CNumberPaintManager* pm = new CNumberPaintManager();
  pm->SetLayout(nLayout);
  CLayoutHost* host = new CLayoutHost(pm, rc);
  for (const wchar_t* c : captions) host->Add(c);
  host->Reposition();
  return host;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The list and the selection

TEST(TabManager, SetCurSelClampsAndClears) {
  CLayoutHost host;
  host.SetCurSel(0);
  EXPECT_EQ(host.GetSelectedItem(), nullptr);
  for (int i = 0; i < 3; i++) host.Add(L"50");
  host.SetCurSel(5);
  EXPECT_EQ(host.GetCurSel(), 2);
  host.SetCurSel(-3);
  EXPECT_EQ(host.GetCurSel(), 0);
}

TEST(TabManager, DeletingSelectsWhatMovesIn) {
  CLayoutHost host;
  CXTPTabManagerItem* a = host.Add(L"50");
  host.Add(L"51");
  CXTPTabManagerItem* c = host.Add(L"52");
  host.SetCurSel(1);
  EXPECT_TRUE(host.DeleteItem(1));
  EXPECT_EQ(host.GetSelectedItem(), c);
  EXPECT_EQ(c->GetIndex(), 1);
  EXPECT_FALSE(host.DeleteItem(2));
  EXPECT_FALSE(host.DeleteItem(-1));
  EXPECT_TRUE(host.DeleteItem(1));
  EXPECT_EQ(host.GetSelectedItem(), a);
  EXPECT_TRUE(host.DeleteItem(0));
  EXPECT_EQ(host.GetSelectedItem(), nullptr);
  EXPECT_EQ(host.GetItemCount(), 0);
}

TEST(TabManager, DeletingTheHotTabClearsIt) {
  CHotHost host;
  host.Add(L"50");
  CXTPTabManagerItem* b = host.Add(L"60");
  b->InternalAddRef();  // keep the object alive to see that the manager let go of it
  host.SetHot(b);
  EXPECT_TRUE(host.DeleteItem(1));
  EXPECT_EQ(host.GetHotItem(), nullptr);
  EXPECT_EQ(b->GetTabManager(), nullptr);
  b->InternalRelease();
}

TEST(TabManager, HiddenAndDisabledTabsAreNeverFound) {
  CLayoutHost host;
  for (int i = 0; i < 4; i++) host.Add(L"50");
  host.GetItem(1)->SetVisible(FALSE);
  host.GetItem(2)->SetEnabled(FALSE);
  host.Reposition();
  EXPECT_EQ(host.FindNextItem(0, +1), host.GetItem(3));
  EXPECT_EQ(host.FindNextItem(3, -1), host.GetItem(0));
  EXPECT_EQ(host.FindNextItem(-1, +1), host.GetItem(0));
  EXPECT_EQ(host.FindNextItem(3, +1), nullptr);
  const CRect r2 = host.GetItem(2)->GetRect();
  EXPECT_FALSE(r2.IsRectEmpty());
  EXPECT_EQ(host.HitTest(r2.CenterPoint()), nullptr);
  EXPECT_EQ(host.GetItem(1)->GetLength(), 0);
  EXPECT_EQ(host.HitTest(host.GetItem(3)->GetRect().CenterPoint()), host.GetItem(3));
  EXPECT_EQ(host.HitTest(CPoint(-5, 5)), nullptr);
}

TEST(TabManager, KeysWithoutAWindow) {
  CLayoutHost host;
  EXPECT_FALSE(host.OnKeyDown(nullptr, VK_RIGHT));  // no tabs
  for (int i = 0; i < 4; i++) host.Add(L"50");
  host.GetItem(3)->SetEnabled(FALSE);
  host.SetCurSel(0);
  EXPECT_TRUE(host.OnKeyDown(nullptr, VK_END));
  EXPECT_EQ(host.GetCurSel(), 2);
  EXPECT_TRUE(host.OnKeyDown(nullptr, VK_UP));  // a top strip ignores up and down
  EXPECT_EQ(host.GetCurSel(), 2);
  EXPECT_FALSE(host.OnKeyDown(nullptr, 'A'));
}

TEST(TabManager, SettingTheSameVisibilityDoesNotRelayout) {
  CLayoutHost host;
  CXTPTabManagerItem* a = host.Add(L"50");
  const int n = host.m_nLayouts;
  a->SetVisible(TRUE);
  EXPECT_EQ(host.m_nLayouts, n);
  a->SetVisible(FALSE);
  EXPECT_EQ(host.m_nLayouts, n + 1);
  a->SetCaption(L"50");
  EXPECT_EQ(host.m_nLayouts, n + 1);
  a->SetCaption(L"51");
  EXPECT_EQ(host.m_nLayouts, n + 2);
}

TEST(TabManager, NinthTabRepeatsThePalette) {
  CLayoutHost host;
  for (int i = 0; i < 9; i++) host.Add(L"40");
  const COLORREF expected[8] = {0xE4A88A, 0x75DBFF, 0x9FCDBD, 0x9F9EF0, 0xE1A6BA, 0xB4BF9A, 0x83B6F7, 0xC0ABD8};
  for (int i = 0; i < 8; i++) EXPECT_EQ(host.GetItem(i)->GetColor(), expected[i]) << i;
  EXPECT_EQ(host.GetItem(8)->GetColor(), host.GetItem(0)->GetColor());
  host.GetItem(2)->SetColor(0x123456);
  EXPECT_EQ(host.GetItem(2)->GetColor(), 0x123456u);
}

// ---------------------------------------------------------------------------------------
// Layouts

TEST(TabLayout, ShrinkToFitTable) {
  struct Case {
    std::vector<int> in;
    int band;
    std::vector<int> out;
  } cases[] = {
      {{100, 80, 60}, 200, {70, 70, 60}},     // widest first, then the two widest together
      {{120}, 100, {100}},                     // one tab takes the band
      {{40, 30}, 100, {40, 30}},               // fits: unchanged
      {{50, 50}, 60, {30, 30}},                // all equal: band / count
      {{100, 100, 10}, 150, {70, 70, 10}},     // the excess shared by the widest pair
      {{90, 10, 90, 10}, 120, {50, 10, 50, 10}},
  };
  for (const Case& c : cases) {
    std::vector<CXTPTabManagerItem*> items;
    for (int n : c.in) {
      items.push_back(new CXTPTabManagerItem());
      items.back()->SetLength(n);
    }
    CXTPTabPaintManager::ShrinkToFit(items, c.band);
    std::vector<int> got;
    for (CXTPTabManagerItem* p : items) got.push_back(p->GetLength()), p->InternalRelease();
    EXPECT_EQ(got, c.out) << "band " << c.band;
  }
}

TEST(TabLayout, CompressedStripPlacesShrunkTabs) {
  // Set 0's header margin is 2 at the start and 6 at the end: 208 pixels give a band of 200.
  std::unique_ptr<CLayoutHost> host(MakeHost({L"100", L"80", L"60"}, xtpTabLayoutCompressed, CRect(0, 0, 208, 120)));
  EXPECT_EQ(Lengths(*host), (std::vector<int>{70, 70, 60}));
  EXPECT_EQ(host->GetItem(0)->GetNaturalLength(), 100);
  EXPECT_EQ(host->GetItem(0)->GetRect().left, 2);
  EXPECT_EQ(host->GetItem(1)->GetRect().left, 72);
  EXPECT_EQ(host->GetItem(2)->GetRect().right, 202);
  for (int i = 0; i < 2; i++) EXPECT_TRUE(host->GetNavigateButton(i)->GetRect().IsRectEmpty());
}

TEST(TabLayout, FixedAndSelectedCaptionWidths) {
  CXTPTabPaintManager* pm = new CXTPTabPaintManager();
  CLayoutHost host(pm);
  pm->SetLayout(xtpTabLayoutFixed);
  CXTPTabManagerItem* a = host.Add(L"A very long caption indeed");
  CXTPTabManagerItem* b = host.Add(L"B");
  host.Reposition();
  EXPECT_EQ(a->GetLength(), 70);
  EXPECT_EQ(b->GetLength(), 70);
  pm->SetButtonMargin(CRect(3, 0, 5, 0));
  EXPECT_EQ(a->GetLength(), 78);
  host.SetItemMetrics(CSize(70, 18), CSize(90, 0), CSize(0, 0));
  EXPECT_EQ(a->GetLength(), 90);
  host.SetItemMetrics(CSize(70, 18), CSize(0, 0), CSize(60, 0));
  EXPECT_EQ(a->GetLength(), 60);
  host.SetItemMetrics(CSize(70, 18));
  pm->SetButtonMargin(CRect(0, 0, 0, 0));

  pm->SetLayout(xtpTabLayoutSelectedCaption);
  a->SetImageIndex(5);
  b->SetImageIndex(6);
  host.SetCurSel(1);
  EXPECT_EQ(a->GetLength(), 16 + 8);  // not selected: its icon only
  // The selected tab: icon + widest caption + 12.
  CDC& dc = host.DC();
  HGDIOBJ old = ::SelectObject(dc.m_hDC, pm->GetNormalFont()->GetSafeHandle());
  CRect rcText(0, 0, 0, 0);
  ::DrawTextW(dc.m_hDC, L"A very long caption indeed", -1, &rcText, DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
  ::SelectObject(dc.m_hDC, old);
  EXPECT_EQ(b->GetLength(), 16 + rcText.Width() + 12);
  b->SetImageIndex(-1);
  EXPECT_EQ(a->GetLength(), 24);
  host.SetCurSel(0);
  EXPECT_EQ(b->GetLength(), 8);
}

TEST(TabLayout, MultiRowWithAndWithoutJustify) {
  const CRect rc(0, 0, 208, 200);  // band 200
  struct Case {
    BOOL justify;
    std::vector<int> rowOf;
  } cases[] = {
      {TRUE, {0, 1, 2, 2, 2}},   // targets 130, 135, 180 share the length out
      {FALSE, {0, 1, 1, 2, 2}},  // each row as full as the band allows
  };
  for (const Case& c : cases) {
    std::unique_ptr<CLayoutHost> host(MakeHost({L"120", L"90", L"70", L"60", L"50"}, xtpTabLayoutMultiRow, rc));
    host->GetPaintManager()->SetJustifyRows(c.justify);
    ASSERT_EQ(host->GetRowCount(), 3) << c.justify;
    std::vector<int> rows;
    for (int i = 0; i < 5; i++) rows.push_back(host->GetItem(i)->GetRow());
    EXPECT_EQ(rows, c.rowOf) << c.justify;
    // Justified rows end flush with the band; others end where their tabs end.
    for (int r = 0; r < host->GetRowCount(); r++) {
      const CXTPTabManager::ROW row = host->GetRow(r);
      const int right = host->GetItem(row.nLast)->GetRect().right;
      if (c.justify)
        EXPECT_EQ(right, 202) << "row " << r;
      else
        EXPECT_LE(right, 202) << "row " << r;
    }
    EXPECT_EQ(host->GetItem(3)->GetRect().top, host->GetItem(4)->GetRect().top);
    // Row 0 lies next to the page, below row 1.
    EXPECT_GT(host->GetItem(0)->GetRect().top, host->GetItem(1)->GetRect().top);
  }
}

TEST(TabLayout, MultiRowOrderFollowsTheSelection) {
  for (BOOL keep : {FALSE, TRUE}) {
    std::unique_ptr<CLayoutHost> host(MakeHost({L"120", L"90", L"70", L"60", L"50"}, xtpTabLayoutMultiRow, CRect(0, 0, 208, 200)));
    host->GetPaintManager()->SetKeepRowOrder(keep);
    host->SetCurSel(4);
    const int rowOfSelected = host->GetItem(4)->GetRow();
    EXPECT_EQ(rowOfSelected, keep ? 2 : 0) << keep;
    // The selected row is the one nearest the page unless the order is kept.
    const int bottomMost = host->GetItem(0)->GetRect().bottom > host->GetItem(4)->GetRect().bottom ? 0 : 4;
    EXPECT_EQ(bottomMost, keep ? 0 : 4) << keep;
  }
}

namespace {

// The row fit without remembering failures, for comparison.
bool ReferenceFit(const std::vector<int>& len, int row, int first, int remaining, int rows, int L, bool justify,
                  std::vector<int>& rowOf) {
  int target = L;
  if (justify) target = std::min(target, remaining / (rows - row));
  int width = 0;
  for (int i = first; i < static_cast<int>(len.size()); i++) {
    if (len[i] > 0 && width > 0 && width + len[i] > target) {
      if (row + 1 >= rows) return false;
      if (ReferenceFit(len, row + 1, i, remaining - width, rows, L, justify, rowOf)) return true;
      if (width + len[i] > L) return false;
    }
    rowOf[i] = row;
    width += len[i];
  }
  return true;
}

}  // namespace

TEST(TabLayout, MultiRowFitRemembersFailuresWithTheSameResult) {
  // Lengths that make the justified fit backtrack.
  std::vector<int> len;
  for (int i = 0; i < 28; i++) len.push_back(30 + (i * 37) % 71);
  const int L = 300;
  CNumberPaintManager* pm = new CNumberPaintManager();
  pm->SetLayout(xtpTabLayoutMultiRow);
  CLayoutHost host(pm, CRect(0, 0, L + 8, 600));
  for (int n : len) host.Add(std::to_wstring(n).c_str());
  host.Reposition();
  int rows = 1, width = 0;
  for (int n : len) {
    if (width > 0 && width + n > L) rows++, width = 0;
    width += n;
  }
  std::vector<int> expected(len.size(), 0);
  int total = 0;
  for (int n : len) total += n;
  ASSERT_TRUE(ReferenceFit(len, 0, 0, total, rows, L, true, expected));
  for (size_t i = 0; i < len.size(); i++) EXPECT_EQ(host.GetItem(static_cast<int>(i))->GetRow(), expected[i]) << i;

  // Three hundred tabs: every (row, first tab) pair is tried at most once.
  CNumberPaintManager* pm2 = new CNumberPaintManager();
  pm2->SetLayout(xtpTabLayoutMultiRow);
  CLayoutHost big(pm2, CRect(0, 0, 1008, 2000));
  for (int i = 0; i < 300; i++) big.Add(std::to_wstring(30 + (i * 37) % 71).c_str());
  const auto t0 = std::chrono::steady_clock::now();
  big.Reposition();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
  const int n = big.GetItemCount();
  EXPECT_GT(big.GetRowCount(), 10);
  EXPECT_LE(pm2->GetLastFitTries(), big.GetRowCount() * (n + 1) + 100);
  EXPECT_LT(ms, 2000);
  // Every tab lies in a row and the rows cover the tabs in order.
  int next = 0;
  for (int r = 0; r < big.GetRowCount(); r++) {
    std::vector<int> firsts;
    for (int k = 0; k < big.GetRowCount(); k++) firsts.push_back(big.GetRow(k).nFirst);
    (void)firsts;
  }
  std::vector<CXTPTabManager::ROW> rowsSorted;
  for (int r = 0; r < big.GetRowCount(); r++) rowsSorted.push_back(big.GetRow(r));
  std::sort(rowsSorted.begin(), rowsSorted.end(), [](auto a, auto b) { return a.nFirst < b.nFirst; });
  for (const auto& row : rowsSorted) {
    EXPECT_EQ(row.nFirst, next);
    next = row.nLast + 1;
  }
  EXPECT_EQ(next, n);
}

TEST(TabLayout, EnsureVisibleScrollsTheSelectedTabIn) {
  std::unique_ptr<CLayoutHost> host(MakeHost({L"100", L"100", L"100", L"100", L"100", L"100", L"100", L"100"},
                                             xtpTabLayoutNatural, CRect(0, 0, 308, 100)));
  EXPECT_FALSE(host->GetNavigateButton(1)->GetRect().IsRectEmpty());  // too short: scroll buttons
  host->SetCurSel(7);
  EXPECT_LT(host->GetScrollOffset(), 0);
  EXPECT_LE(host->GetItem(7)->GetRect().right, host->GetHeaderRect().right);
  host->SetCurSel(0);
  EXPECT_EQ(host->GetScrollOffset(), 0);
  EXPECT_GE(host->GetItem(0)->GetRect().left, host->GetHeaderRect().left);
  host->SetScrollOffset(25);  // never above 0
  EXPECT_EQ(host->GetScrollOffset(), 0);
}

TEST(TabLayout, MiddleEllipsis) {
  CLayoutHost host;
  CDC& dc = host.DC();
  HGDIOBJ old = ::SelectObject(dc.m_hDC, ::GetStockObject(DEFAULT_GUI_FONT));
  const CString ten(L"ABCDEFGHIJ");
  const int full = dc.GetTextExtent(ten).cx;
  const CString shown = CXTPTabPaintManager::MiddleEllipsisText(&dc, ten, full / 2, DT_NOPREFIX);
  EXPECT_EQ(shown[0], L'A');
  EXPECT_EQ(shown[shown.GetLength() - 1], L'J');
  EXPECT_GE(shown.Find(L"..."), 1);
  EXPECT_LE(dc.GetTextExtent(shown).cx, full / 2);
  EXPECT_EQ(tabtest::Str(CXTPTabPaintManager::MiddleEllipsisText(&dc, ten, full, DT_NOPREFIX)), L"ABCDEFGHIJ");
  EXPECT_EQ(tabtest::Str(CXTPTabPaintManager::MiddleEllipsisText(&dc, ten, 2, DT_NOPREFIX)), L"...");
  // Ampersands count as mnemonics unless DT_NOPREFIX.
  const CString amp(L"&ABCDEFGHIJ");
  EXPECT_EQ(tabtest::Str(CXTPTabPaintManager::MiddleEllipsisText(&dc, amp, full, 0)), L"&ABCDEFGHIJ");

  // A path is shortened by the system's path ellipsis: same pixels as DT_PATH_ELLIPSIS.
  const CString path(L"C:\\Documents\\Contacts\\Address book.nsf");
  testsupport::CSnapshot a(120, 20), b(120, 20);
  for (testsupport::CSnapshot* s : {&a, &b}) {
    s->DC().FillSolidRect(0, 0, 120, 20, 0xFFFFFF);
    ::SelectObject(s->DC().m_hDC, ::GetStockObject(DEFAULT_GUI_FONT));
  }
  host.GetPaintManager()->DrawText(&a.DC(), path, CRect(0, 0, 120, 20), DT_SINGLELINE | DT_NOPREFIX);
  CString copy(path);
  CRect rc(0, 0, 120, 20);
  ::DrawTextW(b.DC().m_hDC, copy.GetBuffer(copy.GetLength() + 4), copy.GetLength(), &rc, DT_SINGLELINE | DT_NOPREFIX | DT_PATH_ELLIPSIS);
  copy.ReleaseBuffer();
  int differing = 0, inked = 0;
  for (int y = 0; y < 20; y++)
    for (int x = 0; x < 120; x++) {
      differing += a.Pixel(x, y) != b.Pixel(x, y);
      inked += a.Pixel(x, y) != 0xFFFFFF;
    }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(inked, 20);
  ::SelectObject(dc.m_hDC, old);
}

TEST(TabLayout, MarginsTurnWithThePosition) {
  const CRect m(1, 2, 3, 4);
  const struct {
    int pos;
    CRect out;
  } cases[] = {
      {xtpTabPosTop, CRect(9, 8, 103, 104)},
      {xtpTabPosLeft, CRect(8, 9, 104, 103)},
      {xtpTabPosBottom, CRect(9, 6, 103, 102)},
      {xtpTabPosRight, CRect(6, 9, 102, 103)},
  };
  for (const auto& c : cases) {
    CRect rc(10, 10, 100, 100);
    CXTPTabPaintManager::InflateRectEx(rc, m, c.pos);
    EXPECT_EQ(rc, c.out) << c.pos;
    CXTPTabPaintManager::DeflateRectEx(rc, m, c.pos);
    EXPECT_EQ(rc, CRect(10, 10, 100, 100)) << c.pos;
  }
}

TEST(TabLayout, StaticFrameInsets) {
  for (int pos = 0; pos < 4; pos++) {
    std::unique_ptr<CLayoutHost> host(MakeHost({L"50", L"60"}, xtpTabLayoutNatural, CRect(0, 0, 300, 200)));
    CXTPTabPaintManager* pm = host->GetPaintManager();
    pm->SetPosition(pos);
    const CRect plain = host->GetTabClientRect();
    pm->SetStaticFrame(TRUE);
    CRect expected = plain;
    CXTPTabPaintManager::DeflateRectEx(expected, CRect(2, 1, 2, 2), pos);
    EXPECT_EQ(host->GetTabClientRect(), expected) << pos;
    EXPECT_TRUE(host->HasFrame());
  }
}

TEST(TabLayout, PageAreaPerPositionAndClientFrame) {
  // Set 0 with client frame 0: the page is what the header leaves, overlapping it by one
  // pixel, less 2 on every side.
  for (int pos = 0; pos < 4; pos++) {
    std::unique_ptr<CLayoutHost> host(MakeHost({L"50"}, xtpTabLayoutNatural, CRect(0, 0, 300, 200)));
    CXTPTabPaintManager* pm = host->GetPaintManager();
    pm->SetPosition(pos);
    const CRect header = host->GetHeaderRect();
    const int thick = pm->GetAppearanceSet()->GetButtonHeight(host.get()) + 3;
    CRect expected(0, 0, 300, 200);
    switch (pos) {
      case 0: expected.top = thick - 1; break;
      case 1: expected.left = thick - 1; break;
      case 2: expected.bottom = 200 - thick + 1; break;
      default: expected.right = 300 - thick + 1; break;
    }
    expected.DeflateRect(2, 2);
    EXPECT_EQ(host->GetTabClientRect(), expected) << pos;
    EXPECT_EQ(CXTPTabPaintManager::IsHorizontal(pos) ? header.Height() : header.Width(), thick) << pos;
    pm->SetClientFrame(xtpTabClientFrameNone);
    expected.InflateRect(2, 2);
    EXPECT_EQ(host->GetTabClientRect(), expected) << pos;
  }
}

// ---------------------------------------------------------------------------------------
// Metrics and fonts

TEST(TabPaintManager, RowHeightFollowsTheFont) {
  CXTPTabPaintManager pm;
  for (int height : {-11, -13, -16, -20}) {
    LOGFONT lf = {};
    lf.lfHeight = height;
    lstrcpyW(lf.lfFaceName, L"Tahoma");
    pm.SetFontIndirect(&lf, FALSE);
    pm.GetAppearanceSet()->RefreshMetrics();
    HDC hdc = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(hdc, pm.GetNormalFont()->GetSafeHandle());
    SIZE sz;
    ::GetTextExtentPoint32W(hdc, L" ", 1, &sz);
    ::SelectObject(hdc, old);
    ::ReleaseDC(nullptr, hdc);
    EXPECT_EQ(pm.GetAppearanceSet()->GetRowHeight(), std::max<int>(sz.cy + 3, 18)) << height;
    if (sz.cy == 13) EXPECT_EQ(pm.GetAppearanceSet()->GetRowHeight(), 18);
    if (sz.cy == 16) EXPECT_EQ(pm.GetAppearanceSet()->GetRowHeight(), 19);
  }
}

TEST(TabPaintManager, RotatedFontsAreAtLeastElevenHigh) {
  CXTPTabPaintManager pm;
  const struct {
    int in, out;
  } cases[] = {{-9, -11}, {-1, -11}, {-10, -11}, {-12, -12}, {0, 0}, {12, 12}};
  for (const auto& c : cases) {
    LOGFONT lf = {};
    lf.lfHeight = c.in;
    lstrcpyW(lf.lfFaceName, L"Tahoma");
    pm.SetFontIndirect(&lf, FALSE);
    LOGFONT got = {};
    pm.GetVerticalNormalFont()->GetLogFont(&got);
    EXPECT_EQ(got.lfHeight, c.out) << c.in;
    EXPECT_EQ(got.lfEscapement, 2700);
    pm.GetVerticalBoldFont()->GetLogFont(&got);
    EXPECT_EQ(got.lfWeight, FW_BOLD);
    pm.GetNormalFont()->GetLogFont(&got);
    EXPECT_EQ(got.lfHeight, c.in);
    EXPECT_EQ(got.lfWeight, FW_NORMAL);
  }
}

TEST(TabPaintManager, UnknownAppearanceIsSetZero) {
  CXTPTabPaintManager pm;
  pm.SetAppearance(12);
  EXPECT_EQ(typeid(*pm.GetAppearanceSet()), typeid(CXTPTabAppearanceSetRaised));
  EXPECT_EQ(typeid(*pm.GetColorSet()), typeid(CXTPTabColorSetDefault));
  EXPECT_EQ(pm.GetColor(), 1);
  const struct {
    int code, color;
  } defaults[] = {{0, 1}, {1, 1}, {2, 1}, {3, 4}, {4, 2}, {5, 2}, {6, 2}, {7, 2}, {8, 1}, {9, 4}};
  for (const auto& d : defaults) {
    pm.SetAppearance(d.code);
    EXPECT_EQ(pm.GetColor(), d.color) << d.code;
    EXPECT_EQ(pm.GetAppearance(), d.code);
  }
  pm.SetColor(99);
  EXPECT_EQ(typeid(*pm.GetColorSet()), typeid(CXTPTabColorSetDefault));
}

TEST(TabPaintManager, SettersGivenTheHeldObjectKeepIt) {
  CXTPTabPaintManager* pm = new CNumberPaintManager();
  CLayoutHost host(pm);
  host.Add(L"50");
  host.Add(L"60");
  CXTPTabAppearanceSet* set = pm->SetAppearance(7);
  CXTPTabColorSet* colors = pm->GetColorSet();
  colors->m_clrFrame.SetCustomValue(0x00AA00);
  pm->SetAppearanceSet(set);
  pm->SetColorSet(colors);
  EXPECT_EQ(pm->GetAppearanceSet(), set);
  EXPECT_EQ(pm->GetColorSet(), colors);
  EXPECT_EQ(CXTPTabColorSet::Color(colors->m_clrFrame), 0x00AA00u);  // still the same, live object
  EXPECT_EQ(set->GetPaintManager(), pm);
  // Still draws.
  testsupport::CSnapshot shot(400, 200);
  host.Reposition();
  pm->DrawTabControl(&host, &shot.DC(), CRect(0, 0, 400, 200));
  EXPECT_TRUE(shot.Contains(CRect(0, 0, 400, 200), 0x00AA00));
  pm->SetAppearanceSet(nullptr);  // null keeps the current set
  pm->SetColorSet(nullptr);
  EXPECT_EQ(pm->GetAppearanceSet(), set);
  EXPECT_EQ(pm->GetColorSet(), colors);
}

// ---------------------------------------------------------------------------------------
// Appearance sets

TEST(TabAppearance, SlantedSetGeometry) {
  CRect shifted;
  int e = 0;
  CXTPTabAppearanceSetSlanted::SlantGeometry(CRect(0, 0, 50, 20), &shifted, &e);
  EXPECT_EQ(shifted, CRect(-4, 0, 46, 19));
  EXPECT_EQ(e, 9);
  CXTPTabAppearanceSetSlanted::SlantGeometry(CRect(10, 5, 60, 14), &shifted, &e);
  EXPECT_EQ(shifted, CRect(8, 5, 58, 13));
  EXPECT_EQ(e, 4);
  // The header margin grows by half a row at both ends.
  CXTPTabPaintManager pm;
  pm.SetAppearance(7);
  CXTPTabAppearanceSet* set = pm.GetAppearanceSet();
  const CRect m = set->GetHeaderMargin();
  EXPECT_EQ(m, CRect(2 + set->GetRowHeight() / 2, 3, 2 + set->GetRowHeight() / 2, 0));
}

TEST(TabAppearance, SlantedTabPixels) {
  // A tab 20 pixels tall at the top: its slants reach 9 pixels past each end at the bottom,
  // shifted 4 towards the start; the selected tab joins the page on its bottom line.
  CNumberPaintManager* pm = new CNumberPaintManager();
  CLayoutHost host(pm, CRect(0, 0, 300, 120));
  pm->SetAppearance(7);
  host.SetItemMetrics(CSize(70, 20));
  pm->m_bShowIcons = FALSE;
  pm->GetColorSet()->m_clrNormalFill.SetCustomValue(0x0000FF);
  pm->GetColorSet()->m_clrSelectedFill.SetCustomValue(0x00FF00);
  host.Add(L"100");
  host.Add(L"100");
  host.SetCurSel(1);
  const CRect rc = host.GetItem(0)->GetRect();
  ASSERT_EQ(rc.Height(), 20);
  testsupport::CSnapshot shot(300, 120);
  pm->DrawTabControl(&host, &shot.DC(), CRect(0, 0, 300, 120));
  shot.SavePng(testsupport::ArtifactPath(L"controls\\tabs_set7_geometry.png"));
  const int b = rc.bottom - 1, l = rc.left - 4;
  // The start slant, shifted 4 towards the start, covers pixels left of the tab's own rectangle.
  EXPECT_EQ(shot.Pixel(l + 3, b - 2), 0x0000FFu);
  EXPECT_NE(shot.Pixel(l - 1, b - 2), 0x0000FFu);
  // Near the top the slant has not begun: the header shows there.
  EXPECT_NE(shot.Pixel(l + 1, rc.top + 2), 0x0000FFu);
  // The end slant of the last tab reaches past its (shifted) end.
  const CRect r1 = host.GetItem(1)->GetRect();
  EXPECT_EQ(shot.Pixel(r1.right - 4 + 5, b - 2), 0x00FF00u);
  EXPECT_NE(shot.Pixel(r1.right - 4 + 12, b - 2), 0x00FF00u);
  // The selected tab (the second) fills its bottom line, joining the page.
  const CRect rs = host.GetItem(1)->GetRect();
  EXPECT_EQ(shot.Pixel(rs.CenterPoint().x, rs.bottom - 1), 0x00FF00u);
}

TEST(TabAppearance, RoundedSetCornerPixels) {
  CNumberPaintManager* pm = new CNumberPaintManager();
  CLayoutHost host(pm, CRect(0, 0, 300, 120));
  pm->SetAppearance(2);
  pm->SetItemColors(1);
  pm->m_bShowIcons = FALSE;
  host.Add(L"80");
  host.Add(L"80");
  host.SetCurSel(1);
  testsupport::CSnapshot shot(300, 120);
  pm->DrawTabControl(&host, &shot.DC(), CRect(0, 0, 300, 120));
  shot.SavePng(testsupport::ArtifactPath(L"controls\\tabs_set2_corners.png"));
  const CRect rc = host.GetItem(0)->GetRect();
  const COLORREF fill = host.GetItem(0)->GetColor();
  const COLORREF frame = CXTPTabColorSet::Color(pm->GetColorSet()->m_clrFrame);
  const COLORREF header = pm->GetColorSet()->m_grcHeader.GetStartColor();
  // The frame runs along the top, the fill inside.
  EXPECT_EQ(shot.Pixel(rc.left + 5, rc.top), frame);
  EXPECT_EQ(shot.Pixel(rc.left + 5, rc.top + 5), fill);
  // The outer corner is not the frame's: header blended with the fill inside it.
  const COLORREF corner = shot.Pixel(rc.left, rc.top);
  EXPECT_NE(corner, frame);
  EXPECT_EQ(corner, RGB((GetRValue(header) + GetRValue(fill)) >> 1, (GetGValue(header) + GetGValue(fill)) >> 1,
                        (GetBValue(header) + GetBValue(fill)) >> 1));
}

TEST(TabAppearance, BarsStackAroundThePage) {
  CNumberPaintManager* pm = new CNumberPaintManager();
  CLayoutHost host(pm, CRect(0, 0, 300, 200));
  pm->SetAppearance(8);
  for (int i = 0; i < 3; i++) host.Add(L"60");
  host.SetCurSel(1);
  const int h = pm->GetAppearanceSet()->GetButtonHeight(&host);
  EXPECT_EQ(host.GetItem(0)->GetRect(), CRect(1, 0, 300, h));
  EXPECT_EQ(host.GetItem(1)->GetRect(), CRect(1, h, 300, 2 * h));
  EXPECT_EQ(host.GetItem(2)->GetRect(), CRect(1, 200 - h, 300, 200));
  EXPECT_EQ(host.GetTabClientRect(), CRect(1, 2 * h + 1, 299, 200 - h));
  host.SetCurSel(2);
  EXPECT_EQ(host.GetItem(2)->GetRect(), CRect(1, 2 * h, 300, 3 * h));
  EXPECT_EQ(host.GetTabClientRect(), CRect(1, 3 * h + 1, 299, 199));
  EXPECT_EQ(host.HitTest(CPoint(50, 5)), host.GetItem(0));
  testsupport::CSnapshot shot(300, 200);
  pm->DrawTabControl(&host, &shot.DC(), CRect(0, 0, 300, 200));
  // The grip: dashes seven pixels in from the right edge, every second line.
  const CRect bar = host.GetItem(0)->GetRect();
  const COLORREF grip = XTPGetColorManager()->GetColor(38);
  EXPECT_EQ(shot.Pixel(bar.right - 6, bar.top + 4), grip);
  EXPECT_EQ(shot.Pixel(bar.right - 6, bar.top + 6), grip);
  shot.SavePng(testsupport::ArtifactPath(L"controls\\tabs_set8_bars.png"));
}

// ---------------------------------------------------------------------------------------
// Colour sets

TEST(TabColors, CustomValuesSurviveRefresh) {
  CXTPTabPaintManager pm;
  CXTPTabColorSet* cs = pm.GetColorSet();
  cs->m_clrFrame.SetCustomValue(0x123456);
  cs->m_clrHotText.SetCustomValue(0x654321);
  pm.RefreshMetrics();
  EXPECT_EQ(CXTPTabColorSet::Color(cs->m_clrFrame), 0x123456u);
  EXPECT_EQ(CXTPTabColorSet::Color(cs->m_clrHotText), 0x654321u);
  EXPECT_EQ(cs->m_clrFrame.GetStandardColor(), XTPGetColorManager()->GetColor(COLOR_BTNSHADOW));
}

TEST(TabColors, ItemColorsFillWithThePalette) {
  CNumberPaintManager* pm = new CNumberPaintManager();
  CLayoutHost host(pm);
  for (int i = 0; i < 3; i++) host.Add(L"50");
  CXTPTabColorSet* cs = pm->GetColorSet();
  EXPECT_EQ(cs->GetItemColor(host.GetItem(1)), CXTPTabColorSet::Color(cs->m_clrNormalFill));
  pm->SetItemColors(1);
  EXPECT_EQ(cs->GetItemColor(host.GetItem(0)), 0xE4A88Au);
  EXPECT_EQ(cs->GetItemColor(host.GetItem(1)), 0x75DBFFu);
  EXPECT_EQ(cs->GetItemColor(host.GetItem(2)), 0x9FCDBDu);
}

TEST(TabColors, FlatSelectedTabIsDithered) {
  CNumberPaintManager* pm = new CNumberPaintManager();
  CLayoutHost host(pm, CRect(0, 0, 300, 100));
  pm->SetAppearance(4);
  pm->SetColor(1);
  for (int i = 0; i < 2; i++) host.Add(L"80");
  host.SetCurSel(0);
  EXPECT_EQ(pm->GetColorSet()->m_grcButton.clrStart.GetStandardColor(), static_cast<COLORREF>(-2));
  testsupport::CSnapshot shot(300, 100);
  pm->DrawTabControl(&host, &shot.DC(), CRect(0, 0, 300, 100));
  const CRect rc = host.GetItem(0)->GetRect();
  const COLORREF face = XTPGetColorManager()->GetColor(COLOR_BTNFACE), light = XTPGetColorManager()->GetColor(COLOR_BTNHIGHLIGHT);
  ASSERT_NE(face, light);
  const int x = rc.left + 3, y = rc.top + 3;
  const COLORREF p0 = shot.Pixel(x, y), p1 = shot.Pixel(x + 1, y), p2 = shot.Pixel(x, y + 1);
  EXPECT_TRUE(p0 == face || p0 == light);
  EXPECT_NE(p0, p1);
  EXPECT_NE(p0, p2);
  EXPECT_TRUE(p1 == face || p1 == light);
}

TEST(TabColors, SchemedSetTakesTheOliveScheme) {
  CXTPColorManager* cm = XTPGetColorManager();
  cm->SetCurrentTheme(2);
  {
    CXTPTabPaintManager pm;
    pm.SetThemeColors(FALSE);
    pm.SetAppearance(0);
    pm.SetColor(4);
    CXTPTabColorSet* cs = pm.GetColorSet();
    EXPECT_EQ(cs->m_grcHeader.GetStartColor(), 0xE4F1F2u);
    EXPECT_EQ(cs->m_grcHeader.GetEndColor(), 0xFEFEFCu);
    EXPECT_EQ(CXTPTabColorSet::Color(cs->m_clrSelectedFill), 0x73C2FFu);
    // Drawn: the header runs from the first colour at its top to the second at its bottom.
    CLayoutHost* unused = nullptr;
    (void)unused;
    testsupport::CSnapshot shot(100, 40);
    cs->FillHeader(&shot.DC(), CRect(0, 0, 100, 40), nullptr);
    EXPECT_EQ(shot.Pixel(50, 0), 0xE4F1F2u);
    EXPECT_NE(shot.Pixel(50, 39), 0xE4F1F2u);
  }
  cm->SetCurrentTheme(4);
}
