// The tab control as a real window under the display, driven by SendInput: selection and
// its notifications, pages, keys, reordering by dragging, scroll and close buttons,
// tooltips of shrunk tabs, focus, drag-over selection, and the wizard's use.
#include <framework.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "XTPDrawHelpers.h"
#include "XTPTabControl.h"
#include "tab_fixture.h"
#include "test_picture.h"
#include "test_pump.h"
#include "test_window.h"

using namespace tabtest;
using testsupport::PumpFor;
using testsupport::PumpUntil;

namespace {

// A top-level window that counts the tab control's selection notifications.
class CNotifyParent : public CWnd {
 public:
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
    const NMHDR* nm = reinterpret_cast<const NMHDR*>(lParam);
    if (nm->code == static_cast<UINT>(TCN_SELCHANGE)) {
      m_nSelChanges++;
      m_nLastId = static_cast<int>(wParam);
      m_hwndFrom = nm->hwndFrom;
    }
    return CWnd::OnNotify(wParam, lParam, pResult);
  }
  int m_nSelChanges = 0;
  int m_nLastId = 0;
  HWND m_hwndFrom = nullptr;
};

// A parent, a tab control and pages holding an edit each.
struct Fixture {
  CNotifyParent parent;
  CXTPTabControl tabs;
  std::vector<HWND> pages;
  std::vector<HWND> edits;

  explicit Fixture(DWORD exStyle = 0, CRect rc = CRect(40, 40, 440, 300)) {
    ParkPointer();
    testsupport::CreateTestWindow(parent, rc, L"tabs", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, exStyle);
    tabs.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, CRect(0, 0, rc.Width(), rc.Height()),
                &parent, 100);
    ::SetForegroundWindow(parent.m_hWnd);
    PumpFor(50);
  }
  ~Fixture() {
    tabs.DestroyWindow();
    parent.DestroyWindow();
  }
  HWND AddPage(LPCTSTR caption) {
    HWND page = ::CreateWindowExW(WS_EX_CONTROLPARENT, L"STATIC", caption, WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                  tabs.m_hWnd, nullptr, nullptr, nullptr);
    HWND edit = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, 5, 5, 80, 20, page,
                                  nullptr, nullptr, nullptr);
    pages.push_back(page);
    edits.push_back(edit);
    tabs.InsertItem(tabs.GetItemCount(), caption, page);
    return page;
  }
  CRect PageRect(HWND page) const {
    CRect rc;
    ::GetWindowRect(page, &rc);
    ::MapWindowPoints(nullptr, tabs.m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
  }
  CRect ExpectedPageRect() {
    CRect rc;
    tabs.GetClientRect(&rc);
    tabs.GetPaintManager()->AdjustClientRect(&tabs, rc);
    return rc;
  }
  CPoint TabCenter(int i) { return tabs.GetItem(i)->GetRect().CenterPoint(); }
};

}  // namespace

TEST(TabControl, ClicksSelectWithOneNotificationEach) {
  Fixture f;
  for (const wchar_t* c : {L"First", L"Second", L"Third"}) f.AddPage(c);
  EXPECT_EQ(f.tabs.GetCurSel(), 0);
  EXPECT_TRUE(::IsWindowVisible(f.pages[0]));
  EXPECT_FALSE(::IsWindowVisible(f.pages[1]));
  EXPECT_FALSE(::IsWindowVisible(f.pages[2]));
  EXPECT_EQ(f.PageRect(f.pages[0]), f.ExpectedPageRect());
  const int before = f.parent.m_nSelChanges;

  ClickAt(f.tabs.m_hWnd, f.TabCenter(2));
  EXPECT_EQ(f.tabs.GetCurSel(), 2);
  EXPECT_EQ(f.parent.m_nSelChanges, before + 1);
  EXPECT_EQ(f.parent.m_nLastId, 100);
  EXPECT_EQ(f.parent.m_hwndFrom, f.tabs.m_hWnd);
  EXPECT_TRUE(::IsWindowVisible(f.pages[2]));
  EXPECT_FALSE(::IsWindowVisible(f.pages[0]));
  EXPECT_EQ(f.PageRect(f.pages[2]), f.ExpectedPageRect());

  ClickAt(f.tabs.m_hWnd, f.TabCenter(1));
  EXPECT_EQ(f.tabs.GetCurSel(), 1);
  EXPECT_EQ(f.parent.m_nSelChanges, before + 2);

  // The same index again still notifies, once.
  f.tabs.SetCurSel(1);
  EXPECT_EQ(f.parent.m_nSelChanges, before + 3);

  // Resizing moves the page with the control.
  f.tabs.MoveWindow(0, 0, 300, 200);
  PumpFor(30);
  EXPECT_EQ(f.PageRect(f.pages[1]), f.ExpectedPageRect());
  EXPECT_EQ(f.PageRect(f.pages[1]).right, 300 - 2);
}

TEST(TabControl, HidingEveryTabKeepsThePageSized) {
  Fixture f;
  for (const wchar_t* c : {L"A", L"B", L"C"}) f.AddPage(c);
  f.tabs.SetCurSel(1);
  for (int i = 0; i < 3; i++) f.tabs.GetItem(i)->SetVisible(FALSE);
  EXPECT_TRUE(::IsWindowVisible(f.pages[1]));
  EXPECT_EQ(f.PageRect(f.pages[1]), f.ExpectedPageRect());
  // No tab can be hit now: a click in the strip changes nothing.
  const int n = f.parent.m_nSelChanges;
  ClickAt(f.tabs.m_hWnd, CPoint(20, 10));
  EXPECT_EQ(f.parent.m_nSelChanges, n);
  EXPECT_EQ(f.tabs.GetCurSel(), 1);
}

TEST(TabControl, ArrowKeysPerPositionAndDirection) {
  const struct {
    int position;
    DWORD exStyle;
    WORD key;
    int expected;  // from tab 1
  } cases[] = {
      {xtpTabPosTop, 0, VK_LEFT, 0},        {xtpTabPosTop, 0, VK_RIGHT, 2},     {xtpTabPosTop, 0, VK_UP, 1},
      {xtpTabPosBottom, 0, VK_LEFT, 0},     {xtpTabPosBottom, 0, VK_DOWN, 1},   {xtpTabPosLeft, 0, VK_UP, 0},
      {xtpTabPosLeft, 0, VK_DOWN, 2},       {xtpTabPosLeft, 0, VK_LEFT, 1},     {xtpTabPosRight, 0, VK_RIGHT, 1},
      {xtpTabPosTop, WS_EX_LAYOUTRTL, VK_LEFT, 2}, {xtpTabPosTop, WS_EX_LAYOUTRTL, VK_RIGHT, 0},
  };
  for (const auto& c : cases) {
    Fixture f;
    for (const wchar_t* cap : {L"One", L"Two", L"Three"}) f.AddPage(cap);
    if (c.exStyle) f.tabs.ModifyStyleEx(0, c.exStyle);
    f.tabs.SetPosition(c.position);
    f.tabs.SetCurSel(1);
    f.tabs.SetFocus();
    PumpFor(20);
    ASSERT_EQ(::GetFocus(), f.tabs.m_hWnd);
    const int n = f.parent.m_nSelChanges;
    Key(c.key);
    EXPECT_EQ(f.tabs.GetCurSel(), c.expected) << c.position << " rtl " << c.exStyle << " key " << c.key;
    EXPECT_EQ(f.parent.m_nSelChanges, n + (c.expected != 1 ? 1 : 0));
  }
}

TEST(TabControl, HomeAndEndSkipHiddenAndDisabledTabs) {
  Fixture f;
  for (const wchar_t* c : {L"H", L"D", L"A", L"B", L"D2"}) f.AddPage(c);
  f.tabs.GetItem(0)->SetVisible(FALSE);
  f.tabs.GetItem(1)->SetEnabled(FALSE);
  f.tabs.GetItem(4)->SetEnabled(FALSE);
  f.tabs.SetCurSel(3);
  f.tabs.SetFocus();
  PumpFor(20);
  Key(VK_HOME);
  EXPECT_EQ(f.tabs.GetCurSel(), 2);
  Key(VK_END);
  EXPECT_EQ(f.tabs.GetCurSel(), 3);
  Key(VK_LEFT);
  EXPECT_EQ(f.tabs.GetCurSel(), 2);
  Key(VK_LEFT);  // only hidden and disabled tabs before it
  EXPECT_EQ(f.tabs.GetCurSel(), 2);
}

TEST(TabControl, DraggingReordersAgainstTheStartPositions) {
  Fixture f;
  f.tabs.SetPaintManager(new CNumberPaintManager());
  f.tabs.SetAllowReorder(TRUE);
  for (const wchar_t* c : {L"100", L"101", L"102"}) f.AddPage(c);
  CXTPTabManagerItem* a = f.tabs.GetItem(0);
  CXTPTabManagerItem* b = f.tabs.GetItem(1);
  CXTPTabManagerItem* c = f.tabs.GetItem(2);
  const CPoint start0 = f.TabCenter(0), start1 = f.TabCenter(1), start2 = f.TabCenter(2);
  const int n = f.parent.m_nSelChanges;
  MoveTo(f.tabs.m_hWnd, start0);
  PumpFor(30);
  // Press, drag over the third tab's start place, back over the first's, then the second's.
  Button(true);
  MoveTo(f.tabs.m_hWnd, start2);
  MoveTo(f.tabs.m_hWnd, CPoint(start2.x + 3, start2.y));
  MoveTo(f.tabs.m_hWnd, start0);
  MoveTo(f.tabs.m_hWnd, start1);
  Button(false);
  PumpFor(200);
  // a went to 2 (c to 0), back to 0 (c to 2), then swapped with b at 1.
  EXPECT_EQ(f.tabs.GetItem(0), b);
  EXPECT_EQ(f.tabs.GetItem(1), a);
  EXPECT_EQ(f.tabs.GetItem(2), c);
  EXPECT_EQ(a->GetIndex(), 1);
  EXPECT_EQ(f.tabs.GetSelectedItem(), a);
  EXPECT_EQ(f.parent.m_nSelChanges, n + 1);  // once, at the end
  EXPECT_TRUE(::IsWindowVisible(f.pages[0]));
  EXPECT_EQ(::GetCapture(), nullptr);
}

namespace {

HWND g_hwndQuitTarget = nullptr;
void CALLBACK PostQuitTimer(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  ::PostQuitMessage(7);
}

}  // namespace

TEST(TabControl, QuitDuringADragEndsItAndIsKept) {
  Fixture f;
  f.tabs.SetPaintManager(new CNumberPaintManager());
  f.tabs.SetAllowReorder(TRUE);
  for (const wchar_t* c : {L"100", L"101"}) f.AddPage(c);
  MoveTo(f.tabs.m_hWnd, f.TabCenter(1));
  PumpFor(30);
  ::SetTimer(nullptr, 0, 60, PostQuitTimer);
  Button(true);
  // The drag loop runs inside the press; the quit posted by the timer ends it.
  MSG msg;
  bool sawQuit = false;
  const DWORD t0 = ::GetTickCount();
  while (::GetTickCount() - t0 < 3000) {
    if (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        sawQuit = true;
        EXPECT_EQ(msg.wParam, 7u);
        break;
      }
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    } else {
      ::Sleep(5);
    }
  }
  Button(false);
  PumpFor(50);
  EXPECT_TRUE(sawQuit);
  EXPECT_EQ(::GetCapture(), nullptr);
  EXPECT_EQ(f.tabs.GetCurSel(), 1);
}

TEST(TabControl, ScrollButtonsStepTwentyPixelsEveryTwentyMilliseconds) {
  Fixture f(0, CRect(40, 40, 340, 200));
  f.tabs.SetPaintManager(new CNumberPaintManager());
  for (int i = 0; i < 10; i++) f.AddPage(L"100");
  CXTPTabManagerNavigateButton* forward = f.tabs.FindNavigateButton(xtpTabNavigateButtonForward);
  CXTPTabManagerNavigateButton* back = f.tabs.FindNavigateButton(xtpTabNavigateButtonBack);
  ASSERT_FALSE(forward->GetRect().IsRectEmpty());
  EXPECT_FALSE(back->IsEnabled());
  EXPECT_TRUE(forward->IsEnabled());
  // Hold the forward button; a timer records the offset as it moves and lets go later.
  static std::vector<std::pair<DWORD, int>> samples;
  static CXTPTabControl* s_tabs;
  samples.clear();
  s_tabs = &f.tabs;
  MoveTo(f.tabs.m_hWnd, forward->GetRect().CenterPoint());
  PumpFor(30);
  const UINT_PTR sampler = ::SetTimer(nullptr, 0, 5, [](HWND, UINT, UINT_PTR, DWORD) {
    samples.push_back({::GetTickCount(), s_tabs->GetScrollOffset()});
  });
  const UINT_PTR release = ::SetTimer(nullptr, 0, 1500, [](HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    Button(false);
  });
  const DWORD t0 = ::GetTickCount();
  Button(true);
  PumpUntil([&] { return ::GetTickCount() - t0 > 1700; }, 3000);
  ::KillTimer(nullptr, sampler);
  ::KillTimer(nullptr, release);
  ASSERT_FALSE(samples.empty());
  // Every change is one step of 20 (the last may be cut to where the strip ends); never above 0.
  int steps = 0;
  for (size_t i = 1; i < samples.size(); i++) {
    const int d = samples[i - 1].second - samples[i].second;
    EXPECT_GE(d, 0);
    EXPECT_LE(samples[i].second, 0);
    if (d > 0) steps++;
    if (d > 0 && i + 1 < samples.size() && samples[i].second != samples.back().second) EXPECT_EQ(d % 20, 0);
  }
  // 1.5 s at a step per 20 ms reaches the end of a 1000-pixel strip; the forward button
  // is then disabled and the last tab is in view.
  EXPECT_FALSE(forward->IsEnabled());
  EXPECT_TRUE(back->IsEnabled());
  EXPECT_LE(f.tabs.GetItem(9)->GetRect().right, f.tabs.GetHeaderRect().right);
  EXPECT_GE(steps, 10);
  // The first steps come about 20 ms apart.
  DWORD firstChange = 0, tenthChange = 0;
  int seen = 0;
  for (size_t i = 1; i < samples.size(); i++) {
    if (samples[i].second != samples[i - 1].second) {
      seen++;
      if (seen == 1) firstChange = samples[i].first;
      if (seen == 10) tenthChange = samples[i].first;
    }
  }
  if (tenthChange) {
    EXPECT_GE(tenthChange - firstChange, 9u * 15u);
    EXPECT_LE(tenthChange - firstChange, 9u * 60u);
  }
  EXPECT_EQ(::GetCapture(), nullptr);
}

TEST(TabControl, CloseButtonDeletesOnlyOnAReleaseInside) {
  Fixture f;
  for (const wchar_t* c : {L"A", L"B", L"C"}) f.AddPage(c);
  CXTPTabManagerNavigateButton* close = f.tabs.FindNavigateButton(xtpTabNavigateButtonClose);
  close->SetMode(xtpTabNavigateButtonAlways);
  f.tabs.SetCurSel(1);
  CXTPTabManagerItem* c = f.tabs.GetItem(2);
  const CRect rc = close->GetRect();
  ASSERT_FALSE(rc.IsRectEmpty());
  // Press inside, let go outside: nothing.
  MoveTo(f.tabs.m_hWnd, rc.CenterPoint());
  PumpFor(30);
  Button(true);
  MoveTo(f.tabs.m_hWnd, CPoint(rc.left - 30, rc.top + 40));
  Button(false);
  PumpFor(150);
  EXPECT_EQ(f.tabs.GetItemCount(), 3);
  EXPECT_FALSE(close->IsPressed());
  // A click inside deletes the selected tab; the one moving in is selected.
  ClickAt(f.tabs.m_hWnd, rc.CenterPoint());
  EXPECT_EQ(f.tabs.GetItemCount(), 2);
  EXPECT_EQ(f.tabs.GetSelectedItem(), c);
  EXPECT_EQ(c->GetIndex(), 1);
  EXPECT_TRUE(::IsWindowVisible(f.pages[2]));
  // A quit that arrives while the button is held ends the loop and is kept.
  ::SetTimer(nullptr, 0, 60, PostQuitTimer);
  MoveTo(f.tabs.m_hWnd, close->GetRect().CenterPoint());
  PumpFor(20);
  Button(true);
  MSG msg;
  bool sawQuit = false;
  const DWORD t0 = ::GetTickCount();
  while (!sawQuit && ::GetTickCount() - t0 < 3000) {
    if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::Sleep(5);
      continue;
    }
    if (msg.message == WM_QUIT) sawQuit = true;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  Button(false);
  PumpFor(80);
  EXPECT_TRUE(sawQuit);
  EXPECT_EQ(f.tabs.GetItemCount(), 2);
  EXPECT_EQ(::GetCapture(), nullptr);
}

TEST(TabControl, TooltipsOnlyForShrunkTabs) {
  Fixture f(0, CRect(40, 40, 248, 200));  // a band of 200
  CNumberPaintManager* pm = new CNumberPaintManager();
  pm->SetLayout(xtpTabLayoutCompressed);
  f.tabs.SetPaintManager(pm);
  for (const wchar_t* c : {L"200", L"60"}) f.AddPage(c);
  f.tabs.GetItem(0)->SetTooltip(L"The long one");
  f.tabs.GetItem(1)->SetTooltip(L"The short one");
  ASSERT_LT(f.tabs.GetItem(0)->GetLength(), f.tabs.GetItem(0)->GetNaturalLength());
  ASSERT_EQ(f.tabs.GetItem(1)->GetLength(), f.tabs.GetItem(1)->GetNaturalLength());
  auto hit = [&](int i, std::wstring* text) {
    TTTOOLINFOW ti = {};
    ti.cbSize = sizeof(ti);
    const INT_PTR r = f.tabs.OnToolHitTest(f.TabCenter(i), &ti);
    if (text) *text = ti.lpszText && ti.lpszText != LPSTR_TEXTCALLBACKW ? ti.lpszText : L"";
    if (r >= 0) {
      EXPECT_EQ(ti.hwnd, f.tabs.m_hWnd);
      EXPECT_EQ(CRect(ti.rect), f.tabs.GetItem(i)->GetRect());
    }
    if (ti.lpszText && ti.lpszText != LPSTR_TEXTCALLBACKW) free(ti.lpszText);
    return r;
  };
  std::wstring text;
  EXPECT_EQ(hit(0, &text), 0);
  EXPECT_EQ(text, L"The long one");
  EXPECT_EQ(hit(1, nullptr), -1);  // not shrunk
  pm->SetToolTipMode(xtpTabToolTipAlways);
  EXPECT_EQ(hit(1, &text), 1);
  EXPECT_EQ(text, L"The short one");
  pm->SetToolTipMode(xtpTabToolTipNever);
  EXPECT_EQ(hit(0, nullptr), -1);
  pm->SetToolTipMode(xtpTabToolTipShrunk);
  f.tabs.GetItem(0)->SetTooltip(L"");
  EXPECT_EQ(hit(0, nullptr), -1);
  EXPECT_EQ(f.tabs.OnToolHitTest(CPoint(5, 150), nullptr), -1);  // the page, no tab
}

namespace {

// The text of a visible tip window of this thread, when one shows.
std::wstring VisibleTipText(HWND hwndExclude) {
  struct Search {
    HWND exclude;
    std::wstring text;
  } search{hwndExclude, L""};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND hWnd, LPARAM lParam) -> BOOL {
        Search* s = reinterpret_cast<Search*>(lParam);
        if (hWnd == s->exclude || !::IsWindowVisible(hWnd)) return TRUE;
        wchar_t buf[256] = L"";
        TTTOOLINFOW ti = {};
        ti.cbSize = sizeof(ti);
        ti.lpszText = buf;
        if (::SendMessageW(hWnd, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&ti)) && buf[0]) {
          s->text = buf;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.text;
}

}  // namespace

TEST(TabControl, HoveringAShrunkTabShowsItsTip) {
  Fixture f(0, CRect(40, 40, 248, 200));
  CNumberPaintManager* pm = new CNumberPaintManager();
  pm->SetLayout(xtpTabLayoutCompressed);
  f.tabs.SetPaintManager(pm);
  for (const wchar_t* c : {L"200", L"60"}) f.AddPage(c);
  f.tabs.GetItem(0)->SetTooltip(L"The long one");
  MoveTo(f.tabs.m_hWnd, CPoint(f.TabCenter(0).x - 3, f.TabCenter(0).y));
  PumpFor(30);
  MoveTo(f.tabs.m_hWnd, f.TabCenter(0));
  std::wstring text;
  PumpUntil([&] { return !(text = VisibleTipText(f.parent.m_hWnd)).empty(); }, 4000);
  EXPECT_EQ(text, L"The long one");
  ParkPointer();
  PumpFor(100);
}

TEST(TabControl, FocusGoesIntoThePageOrToTheStrip) {
  Fixture f;
  for (const wchar_t* c : {L"One", L"Two"}) f.AddPage(c);
  ::SetFocus(f.parent.m_hWnd);
  // A click on another tab selects it and puts the focus on its page's first control.
  ClickAt(f.tabs.m_hWnd, f.TabCenter(1));
  EXPECT_EQ(f.tabs.GetCurSel(), 1);
  EXPECT_EQ(::GetFocus(), f.edits[1]);
  // A click on the selected tab of a tab-stop control focuses the control.
  ClickAt(f.tabs.m_hWnd, f.TabCenter(1));
  EXPECT_EQ(::GetFocus(), f.tabs.m_hWnd);
  EXPECT_EQ(::SendMessageW(f.tabs.m_hWnd, WM_GETDLGCODE, 0, 0), static_cast<LRESULT>(DLGC_WANTARROWS));
  // Keyboard selection keeps the focus on the strip.
  Key(VK_LEFT);
  EXPECT_EQ(f.tabs.GetCurSel(), 0);
  EXPECT_EQ(::GetFocus(), f.tabs.m_hWnd);
}

TEST(TabControl, DragOverSelectsTheTabUnderThePoint) {
  Fixture f;
  for (const wchar_t* c : {L"One", L"Two", L"Three"}) f.AddPage(c);
  const int n = f.parent.m_nSelChanges;
  EXPECT_EQ(f.tabs.GetDropTarget()->OnDragOver(&f.tabs, nullptr, 0, f.TabCenter(2)), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
  EXPECT_EQ(f.tabs.GetCurSel(), 2);
  EXPECT_EQ(f.parent.m_nSelChanges, n + 1);
  EXPECT_TRUE(::IsWindowVisible(f.pages[2]));
  EXPECT_EQ(f.tabs.GetDropTarget()->OnDragOver(&f.tabs, nullptr, 0, CPoint(5, 200)), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
  EXPECT_EQ(f.tabs.GetCurSel(), 2);
  f.tabs.GetPaintManager()->m_bSelectOnDragOver = FALSE;
  f.tabs.GetDropTarget()->OnDragOver(&f.tabs, nullptr, 0, f.TabCenter(0));
  EXPECT_EQ(f.tabs.GetCurSel(), 2);
}

TEST(TabControl, SettingTheHeldPaintManagerKeepsIt) {
  Fixture f;
  for (const wchar_t* c : {L"One", L"Two"}) f.AddPage(c);
  CXTPTabPaintManager* pm = f.tabs.GetPaintManager();
  pm->m_bHotTracking = TRUE;
  f.tabs.SetPaintManager(pm);
  EXPECT_EQ(f.tabs.GetPaintManager(), pm);
  EXPECT_TRUE(pm->m_bHotTracking);  // the same, live object
  pm->SetAppearance(3);              // setters re-lay the control that hosts it
  EXPECT_EQ(f.PageRect(f.pages[0]), f.ExpectedPageRect());
  f.tabs.SetPaintManager(nullptr);
  EXPECT_EQ(f.tabs.GetPaintManager(), pm);
  // Hover follows the mouse; deleting the hot tab clears it.
  MoveTo(f.tabs.m_hWnd, f.TabCenter(1));
  PumpUntil([&] { return f.tabs.GetHotItem() != nullptr; }, 1000);
  ASSERT_EQ(f.tabs.GetHotItem(), f.tabs.GetItem(1));
  f.tabs.DeleteItem(1);
  EXPECT_EQ(f.tabs.GetHotItem(), nullptr);
  PumpFor(50);
  ParkPointer();
  PumpFor(50);
}

// ---------------------------------------------------------------------------------------
// The wizard's use: its own paint manager (slanted set) and a colour set that paints the
// header itself; three pages whose tabs are hidden, switched by index.

namespace {

class CWizardColorSet : public CXTPTabColorSet {
 public:
  void FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) override {
    m_nFills++;
    CXTPDrawHelpers::GradientFill(pDC, &rc, COLORREF(0x00FFFF), COLORREF(0x00FFFF), FALSE);
    CRect inner = rc;
    inner.DeflateRect(1, 1);
    CXTPDrawHelpers::GradientFill(pDC, &inner, COLORREF(0xFFFFFF), COLORREF(0xEFFEFF), FALSE);
    if (pManager && pManager->GetItemCount() > 0) {
      pDC->SetBkMode(TRANSPARENT);
      pDC->SetTextColor(0xFF0000);
      const CString caption = pManager->GetItem(0)->GetCaption();
      HGDIOBJ old = ::SelectObject(pDC->m_hDC, ::GetStockObject(DEFAULT_GUI_FONT));
      pDC->TextOut(rc.left + 20, rc.top + 4, caption);
      ::SelectObject(pDC->m_hDC, old);
    }
  }
  int m_nFills = 0;
};

}  // namespace

TEST(TabControl, WizardPagesSwitchedByIndex) {
  Fixture f(0, CRect(40, 40, 460, 330));
  CXTPTabPaintManager* pm = new CXTPTabPaintManager();
  pm->SetAppearance(7);
  pm->SetThemeColors(FALSE);
  pm->SetItemColors(0);
  pm->SetPosition(0);
  CWizardColorSet* colors = new CWizardColorSet();
  pm->SetColorSet(colors);
  pm->m_bHotTracking = TRUE;
  pm->m_bShowIcons = TRUE;
  pm->m_bBoldSelected = TRUE;
  pm->m_bStaticFrame = FALSE;
  f.tabs.SetPaintManager(pm);
  EXPECT_EQ(pm->GetColorSet(), colors);
  const wchar_t* captions[] = {L"", L"Folder Selection", L"Savinf Progress"};
  for (int i = 0; i < 3; i++) {
    HWND page = ::CreateWindowExW(0, L"STATIC", captions[i], WS_CHILD | WS_VISIBLE | SS_WHITERECT, 0, 0, 0, 0, f.tabs.m_hWnd,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(0xE900 + f.tabs.GetItemCount())), nullptr, nullptr);
    f.pages.push_back(page);
    f.tabs.InsertItem(f.tabs.GetItemCount(), captions[i], page, 58);
  }
  for (int i = 0; i < 3; i++) f.tabs.GetItem(i)->SetVisible(FALSE);
  f.tabs.SetPosition(2);
  PumpFor(50);
  for (int i : {1, 2, 0, 2}) {
    const int n = f.parent.m_nSelChanges;
    f.tabs.SetCurSel(i);
    EXPECT_EQ(f.parent.m_nSelChanges, n + 1) << i;
    EXPECT_EQ(f.tabs.GetSelectedItem()->GetHandle(), f.pages[i]);
    for (int k = 0; k < 3; k++) EXPECT_EQ(::IsWindowVisible(f.pages[k]) != FALSE, k == i) << i << " " << k;
    const CRect page = f.PageRect(f.pages[i]);
    EXPECT_EQ(page, f.ExpectedPageRect());
    CRect client;
    f.tabs.GetClientRect(&client);
    // The page fills the control but for the header strip at the bottom and the frame.
    EXPECT_EQ(page.left, 2);
    EXPECT_EQ(page.right, client.right - 2);
    EXPECT_EQ(page.top, 2);
    EXPECT_GT(page.Height(), client.Height() - 40);
  }
  // A click on the header strip changes nothing: no tab is visible.
  const int n = f.parent.m_nSelChanges;
  ClickAt(f.tabs.m_hWnd, CPoint(30, f.tabs.GetHeaderRect().CenterPoint().y));
  EXPECT_EQ(f.parent.m_nSelChanges, n);
  f.tabs.RedrawWindow();
  PumpFor(50);
  EXPECT_GT(colors->m_nFills, 0);
  testsupport::CSnapshot shot(f.tabs.m_hWnd, testsupport::WindowArea::Client);
  shot.SavePng(testsupport::ArtifactPath(L"controls\\tabs_wizard_hidden.png"));
  const CRect header = f.tabs.GetHeaderRect();
  EXPECT_EQ(shot.Pixel(header.left, header.top + 2), 0x00FFFFu);  // the yellow frame
}
