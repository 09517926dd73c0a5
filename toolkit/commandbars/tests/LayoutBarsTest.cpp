// The stored layout of real toolbars in a real frame: SaveBarState writes the placement,
// rows and status bar name by name and a second frame built the same way shows the same
// layout after LoadBarState; without stored values the built layout stays; a table of
// damaged placement values keeps rows and floating places sound (and the next save
// writes a sound layout); bars the user made come back; a changed built-in bar asks
// question 9394 (answered Yes and No in a real message box) or stays silent.
#include <framework.h>

#include <gtest/gtest.h>

#include <test_picture.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "CommandBarsTestSupport.h"
#include "XTPBarDragContext.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPCommandBarsPersist.h"
#include "XTPCommandBarsPersistStream.h"
#include "XTPControl.h"
#include "XTPControls.h"
#include "XTPDockBar.h"
#include "XTPToolBar.h"

CWinApp theApp(L"Vorlix layout bars test");

BEGIN_MESSAGE_MAP(cbtest::CCustomizableFrame, CFrameWnd)
  ON_COMMAND(XTP_ID_CUSTOMIZE, OnCustomize)
END_MESSAGE_MAP()

namespace {

using cbtest::PumpFor;
using cbtest::PumpUntil;
using cbtest::ValueNames;

const wchar_t kCompany[] = L"Vorlix layout bars tests";
const wchar_t kProfile[] = L"CommandBars";

std::wstring W(const CString& s) { return std::wstring(s.GetString()); }

int ProfileInt(LPCWSTR section, LPCWSTR name, int nDefault = -12345) {
  return (int)theApp.GetProfileInt(section, name, nDefault);
}

// A frame that handles "Customize" (so its bars are customizable) and has a status bar.
class CLayoutFrame : public cbtest::CCustomizableFrame {
 public:
  CStatusBar m_wndStatus;
};

const UINT kStandard[] = {57600, 57601, 57603, 0, 57634};
const UINT kFormat[] = {33001, 33002, 33003};
const UINT kExtra[] = {34001, 34002};

// One frame with the program's bars as it builds them: "Standard" (200), "Format" (201)
// and "Extra" (202) on the top dock bar, each with buttons and their original controls.
struct Frame : cbtest::BarsFrame<CLayoutFrame> {
  explicit Frame(const wchar_t* title, const std::vector<UINT>& standard = {})
      : BarsFrame(title, CRect(100, 80, 900, 600)) {
    pFrame->m_wndStatus.Create(pFrame);
    CreateBars();
    std::vector<UINT> ids = standard.empty() ? std::vector<UINT>(std::begin(kStandard), std::end(kStandard)) : standard;
    // No icons for these commands: the buttons show short captions.
    AddBuiltInBar(L"Standard", 200, ids.data(), (int)ids.size(), L"C%d", cbtest::Numbering::ById);
    AddBuiltInBar(L"Format", 201, kFormat, 3, L"C%d", cbtest::Numbering::ById);
    AddBuiltInBar(L"Extra", 202, kExtra, 2, L"C%d", cbtest::Numbering::ById);
    Arrange(false);
  }
  CXTPToolBar* Bar(UINT nID) const { return pBars->GetToolBar(nID); }
  // The bar ids of a dock bar's entries (0 for a row break).
  std::vector<int> Rows(int nDock) const {
    std::vector<int> out;
    CXTPDockBar* pDock = pBars->GetDockBarAt(nDock);
    for (int i = 0; pDock != nullptr && i < pDock->GetBarCount(); i++)
      out.push_back(pDock->GetBarAt(i) != nullptr ? (int)pDock->GetBarAt(i)->GetBarID() : 0);
    return out;
  }
  void Shot(const wchar_t* name) {
    // What the frame's idle time would do: the delayed layout first.
    pBars->RecalcFrameLayout();
    PumpFor(30);
    pFrame->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    PumpFor(80);
    CRect rc;
    pFrame->GetWindowRect(&rc);
    for (int i = 0; i < pBars->GetCount(); i++) {
      CXTPToolBar* pBar = pBars->GetAt(i);
      if (pBar->GetPosition() == xtpBarFloating && pBar->IsWindowVisible()) {
        CRect rcBar;
        pBar->GetWindowRect(&rcBar);
        rc.UnionRect(rc, rcBar);
      }
    }
    cbtest::SaveScreenPng(rc, name);
  }
};

// The invariant of every dock bar: the entry list starts with a row break, holds no two
// breaks in a row, and each bar stands in one entry of one dock bar.
void ExpectSoundRows(const Frame& f) {
  std::vector<int> seen;
  for (int d = 0; d < 4; d++) {
    const std::vector<int> rows = f.Rows(d);
    SCOPED_TRACE(d);
    if (rows.empty()) continue;
    EXPECT_EQ(rows[0], 0);
    for (size_t i = 1; i < rows.size(); i++) {
      EXPECT_FALSE(rows[i] == 0 && rows[i - 1] == 0) << "two breaks at " << i;
      if (rows[i] != 0) {
        EXPECT_EQ(std::count(seen.begin(), seen.end(), rows[i]), 0) << "bar " << rows[i] << " twice";
        seen.push_back(rows[i]);
      }
    }
  }
}

bool OnAWorkArea(CWnd* pWnd) {
  CRect rc;
  pWnd->GetWindowRect(&rc);
  HMONITOR hMonitor = ::MonitorFromRect(&rc, MONITOR_DEFAULTTONULL);
  if (hMonitor == NULL) return false;
  MONITORINFO mi = {sizeof(mi)};
  ::GetMonitorInfoW(hMonitor, &mi);
  CRect rcCaption(rc.left, rc.top, rc.right, rc.top + 16), rcHit;
  return rcHit.IntersectRect(&rcCaption, &mi.rcWork) != FALSE;
}

class LayoutBars : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (theApp.m_pszRegistryKey == nullptr) theApp.SetRegistryKey(kCompany);
  }
  void SetUp() override {
    testsupport::ParkPointer();
    cbtest::DeleteProfile();
  }
  void TearDown() override {
    CXTPCommandBars::SetLayoutQuestionProc(nullptr);
    cbtest::DeleteProfile();
  }
};

}  // namespace

// ---------------------------------------------------------------------------------------
TEST_F(LayoutBars, ASavedLayoutComesBackInTheNextFrame) {
  CPoint ptFloat;
  std::vector<int> rowsLeft;
  {
    Frame a(L"Layout saved");
    ASSERT_TRUE(a.pBars->IsCustomizable());
    ASSERT_TRUE(a.pBars->DockCommandBar(a.Bar(200), xtpBarLeft));
    ASSERT_TRUE(a.pBars->FloatCommandBar(a.Bar(201)));
    a.Bar(201)->SetWindowPos(NULL, 420, 360, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    a.Bar(201)->GetDockContext()->m_ptLastFloat = CPoint(420, 360);
    a.Bar(202)->SetVisible(FALSE);
    a.pFrame->ShowControlBar(&a.pFrame->m_wndStatus, FALSE, FALSE);
    a.pBars->RecalcFrameLayout();
    PumpFor(50);
    CRect rc;
    a.Bar(201)->GetWindowRect(&rc);
    ptFloat = rc.TopLeft();
    rowsLeft = a.Rows(2);
    a.Shot(L"commandbars/layout_saved.png");
    a.pBars->SaveBarState(kProfile, TRUE);
  }
  // Name by name.
  EXPECT_EQ(ProfileInt(L"CommandBars-Summary", L"Bars"), 3);
  EXPECT_EQ(ProfileInt(L"CommandBars-Summary", L"ScreenCX"), ::GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(ProfileInt(L"CommandBars-Summary", L"ScreenCY"), ::GetSystemMetrics(SM_CYSCREEN));
  EXPECT_EQ(ProfileInt(L"CommandBars-Bar0", L"BarID"), 200);
  EXPECT_EQ(ValueNames(L"CommandBars-Bar0").count(L"Visible"), 0u);
  EXPECT_EQ(ValueNames(L"CommandBars-Bar0").count(L"Floating"), 0u);
  EXPECT_EQ(ProfileInt(L"CommandBars-Bar1", L"BarID"), 201);
  EXPECT_EQ(ProfileInt(L"CommandBars-Bar1", L"Floating"), 1);
  EXPECT_EQ(ProfileInt(L"CommandBars-Bar1", L"XPos"), ptFloat.x);
  EXPECT_EQ(ProfileInt(L"CommandBars-Bar1", L"YPos"), ptFloat.y);
  EXPECT_EQ(ProfileInt(L"CommandBars-Bar1", L"MRUFloatXPos"), 420);
  EXPECT_EQ(ProfileInt(L"CommandBars-Bar2", L"BarID"), 202);
  EXPECT_EQ(ProfileInt(L"CommandBars-Bar2", L"Visible"), 0);
  // The left dock bar's entries: a break, the bar, the break that ends its row.
  EXPECT_EQ(ProfileInt(L"CommandBars-DockBar2", L"Bars"), 3);
  EXPECT_EQ(ProfileInt(L"CommandBars-DockBar2", L"Bar#0"), 0);
  EXPECT_EQ(ProfileInt(L"CommandBars-DockBar2", L"Bar#1"), 200);
  EXPECT_EQ(ProfileInt(L"CommandBars-DockBar2", L"Bar#2"), 0);
  EXPECT_EQ(ProfileInt(kProfile, L"StatusBar"), 0);
  // Nothing customised: the controls stream holds no bar.
  EXPECT_EQ(ProfileInt(L"CommandBars-Controls", L"LoadFromFile"), 0);

  Frame b(L"Layout loaded");
  b.pBars->LoadBarState(kProfile, FALSE);
  PumpFor(80);
  EXPECT_EQ(b.Bar(200)->GetPosition(), xtpBarLeft);
  EXPECT_EQ(b.Rows(2), rowsLeft);
  EXPECT_EQ(b.Bar(201)->GetPosition(), xtpBarFloating);
  CRect rc;
  b.Bar(201)->GetWindowRect(&rc);
  EXPECT_EQ(rc.TopLeft(), ptFloat);
  EXPECT_EQ(b.Bar(201)->GetDockContext()->m_ptLastFloat, CPoint(420, 360));
  EXPECT_FALSE(b.Bar(202)->IsVisible());
  EXPECT_FALSE(b.Bar(202)->IsWindowVisible());
  EXPECT_TRUE(b.Bar(200)->IsWindowVisible());
  EXPECT_FALSE(b.pFrame->m_wndStatus.IsWindowVisible());
  ExpectSoundRows(b);
  b.Shot(L"commandbars/layout_loaded.png");

  // Showing the status bar again deletes the value at the next save.
  b.pFrame->ShowControlBar(&b.pFrame->m_wndStatus, TRUE, FALSE);
  b.pBars->SaveBarState(kProfile, TRUE);
  EXPECT_EQ(ValueNames(kProfile).count(L"StatusBar"), 0u);
}

TEST_F(LayoutBars, WithoutStoredValuesTheBuiltLayoutStays) {
  Frame a(L"Built layout");
  const std::vector<int> top = a.Rows(0);
  a.pBars->LoadBarState(kProfile, FALSE);
  PumpFor(50);
  EXPECT_EQ(a.Rows(0), top);
  for (UINT id : {200u, 201u, 202u}) {
    EXPECT_EQ(a.Bar(id)->GetPosition(), xtpBarTop);
    EXPECT_TRUE(a.Bar(id)->IsVisible());
  }
  EXPECT_TRUE(a.pFrame->m_wndStatus.IsWindowVisible());
}

TEST_F(LayoutBars, DamagedPlacementValuesKeepRowsAndFloatingPlacesSound) {
  struct Case {
    const char* what;
    std::function<void()> store;
  };
  auto bar = [](int i, int id, int floating, int x, int y) {
    CString s;
    s.Format(L"CommandBars-Bar%d", i);
    theApp.WriteProfileInt(s, L"BarID", id);
    if (floating) theApp.WriteProfileInt(s, L"Floating", 1);
    theApp.WriteProfileInt(s, L"XPos", x);
    theApp.WriteProfileInt(s, L"YPos", y);
    theApp.WriteProfileInt(s, L"MRUFloatXPos", x);
    theApp.WriteProfileInt(s, L"MRUFloatYPos", y);
  };
  auto summary = [](int n, int cx, int cy) {
    theApp.WriteProfileInt(L"CommandBars-Summary", L"Bars", n);
    theApp.WriteProfileInt(L"CommandBars-Summary", L"ScreenCX", cx);
    theApp.WriteProfileInt(L"CommandBars-Summary", L"ScreenCY", cy);
  };
  auto dock = [](int d, const std::vector<int>& ids, int count) {
    CString s;
    s.Format(L"CommandBars-DockBar%d", d);
    for (size_t i = 0; i < ids.size(); i++) {
      CString e;
      e.Format(L"Bar#%d", (int)i);
      theApp.WriteProfileInt(s, e, ids[i]);
    }
    theApp.WriteProfileInt(s, L"Bars", count);
  };
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  const Case cases[] = {
      {"huge Bars counts", [&] {
         summary(0x7FFFFFFF, cx, cy);
         bar(0, 201, 1, 300, 300);
         dock(0, {0, 200, 202}, 0x7FFFFFFF);
       }},
      {"a bar listed twice in one row and in another dock bar", [&] {
         summary(0, cx, cy);
         dock(0, {0, 200, 200, 0, 201}, 5);
         dock(1, {0, 201, 202}, 3);
       }},
      {"rows not starting with a break, runs of breaks, unknown ids", [&] {
         summary(0, cx, cy);
         dock(0, {202, 999, 0, 0, 0, 200}, 6);
         dock(3, {201, 0}, 2);
       }},
      {"saved screen sizes of 0 and below", [&] {
         summary(2, 0, -768);
         bar(0, 201, 1, 250, 260);
         bar(1, 202, 1, -5, 100);
       }},
      {"floating places off every monitor", [&] {
         summary(2, cx, cy);
         bar(0, 201, 1, -30000, -30000);
         bar(1, 202, 1, 60000, 200);
       }},
      {"one bar in two records", [&] {
         summary(2, cx, cy);
         bar(0, 201, 1, 300, 300);
         bar(1, 201, 0, 10, 10);
       }},
      {"values of the wrong type", [&] {
         theApp.WriteProfileString(L"CommandBars-Summary", L"Bars", L"lots");
         theApp.WriteProfileString(L"CommandBars-DockBar0", L"Bars", L"3");
         theApp.WriteProfileBinary(L"CommandBars-Bar0", L"BarID", (BYTE*)"\x01\x02", 2);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    cbtest::DeleteProfile();
    c.store();
    Frame f(L"Damaged layout");
    f.pBars->LoadBarState(kProfile, FALSE);
    PumpFor(50);
    ExpectSoundRows(f);
    for (UINT id : {200u, 201u, 202u}) {
      CXTPToolBar* pBar = f.Bar(id);
      ASSERT_NE(pBar, nullptr);
      if (pBar->GetPosition() == xtpBarFloating) {
        EXPECT_TRUE(OnAWorkArea(pBar)) << "bar " << id;
        if (std::string(c.what) == "floating places off every monitor") {
          CRect rc;
          pBar->GetWindowRect(&rc);
          // Back on the screen: the far left one at its edge, the far right one limited
          // to the screen less an icon.
          EXPECT_GE(rc.left, 0) << "bar " << id;
          EXPECT_GE(rc.top, 0) << "bar " << id;
          EXPECT_LE(rc.left, ::GetSystemMetrics(SM_CXSCREEN) - ::GetSystemMetrics(SM_CXICON)) << "bar " << id;
        }
      } else {
        // A docked bar stands in the entries of its dock bar.
        ASSERT_NE(pBar->GetDockBar(), nullptr) << "bar " << id;
        EXPECT_GE(pBar->GetDockBar()->FindBar(pBar), 0) << "bar " << id;
      }
    }
    if (std::string(c.what) == "floating places off every monitor") f.Shot(L"commandbars/layout_damaged_floating.png");
    // The next save writes a sound layout.
    f.pBars->SaveBarState(kProfile, TRUE);
    EXPECT_EQ(ProfileInt(L"CommandBars-Summary", L"Bars"), 3);
    for (int d = 0; d < 4; d++) {
      CString s;
      s.Format(L"CommandBars-DockBar%d", d);
      const int n = ProfileInt(s, L"Bars", 0);
      if (n > 0) EXPECT_EQ(ProfileInt(s, L"Bar#0"), 0);
      EXPECT_LE(n, 7);
    }
    Frame g(L"Layout after damage");
    g.pBars->LoadBarState(kProfile, FALSE);
    ExpectSoundRows(g);
  }
}

TEST_F(LayoutBars, ABarTheUserMadeComesBack) {
  {
    Frame a(L"User bar saved");
    CXTPToolBar* pMine = a.pBars->AddCustomBar(L"Mine", 300);
    ASSERT_NE(pMine, nullptr);
    const UINT ids[] = {57600, 33001};
    pMine->SetButtons(ids, 2);
    pMine->GetControl(0)->SetCaption(L"Mine one");
    pMine->GetControl(1)->SetCaption(L"Mine two");
    for (int i = 0; i < 2; i++) pMine->GetControl(i)->SetStyle(xtpButtonCaption);
    a.pBars->RecalcFrameLayout();
    PumpFor(30);
    a.pBars->SaveBarState(kProfile, TRUE);
  }
  Frame b(L"User bar loaded");
  ASSERT_EQ(b.pBars->GetToolBar(300), nullptr);
  b.pBars->LoadBarState(kProfile, FALSE);
  PumpFor(50);
  CXTPToolBar* pMine = b.pBars->GetToolBar(300);
  ASSERT_NE(pMine, nullptr);
  EXPECT_FALSE(pMine->IsBuiltIn());
  EXPECT_EQ(W(pMine->GetTitle()), L"Mine");
  ASSERT_EQ(pMine->GetControlCount(), 2);
  EXPECT_EQ(pMine->GetControl(1)->GetID(), 33001);
  EXPECT_EQ(W(pMine->GetControl(1)->GetCaption()), L"Mine two");
  EXPECT_EQ(pMine->GetControl(1)->GetStyle(), (int)xtpButtonCaption);
  EXPECT_NE(pMine->GetSafeHwnd(), nullptr);
  EXPECT_EQ(pMine->GetCommandBars(), b.pBars);
  EXPECT_EQ(pMine->GetPosition(), xtpBarTop);
  EXPECT_GE(b.pBars->GetDockBarAt(0)->FindBar(pMine), 0);
  ExpectSoundRows(b);
  b.Shot(L"commandbars/layout_user_bar.png");
}

// ---------------------------------------------------------------------------------------
namespace {

// Answers the first message box of this thread that shows up: keeps its text and a
// picture of it, then presses the answer's button.
struct BoxAnswerer {
  static BoxAnswerer* s_pThis;
  int nAnswer = IDYES;
  int nSeen = 0;
  std::wstring strText;
  UINT_PTR nTimer = 0;
  explicit BoxAnswerer(int answer) : nAnswer(answer) {
    s_pThis = this;
    nTimer = ::SetTimer(NULL, 0, 50, &BoxAnswerer::OnTimer);
  }
  ~BoxAnswerer() {
    ::KillTimer(NULL, nTimer);
    s_pThis = nullptr;
  }
  static BOOL CALLBACK FindBox(HWND hWnd, LPARAM lParam) {
    WCHAR cls[32] = {0};
    ::GetClassNameW(hWnd, cls, 32);
    if (wcscmp(cls, L"#32770") == 0 && ::IsWindowVisible(hWnd)) {
      *reinterpret_cast<HWND*>(lParam) = hWnd;
      return FALSE;
    }
    return TRUE;
  }
  static BOOL CALLBACK ReadText(HWND hWnd, LPARAM lParam) {
    WCHAR cls[32] = {0};
    ::GetClassNameW(hWnd, cls, 32);
    if (_wcsicmp(cls, L"Static") == 0) {
      WCHAR text[512] = {0};
      ::GetWindowTextW(hWnd, text, 512);
      if (wcslen(text) > reinterpret_cast<std::wstring*>(lParam)->size()) *reinterpret_cast<std::wstring*>(lParam) = text;
    }
    return TRUE;
  }
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    BoxAnswerer* p = s_pThis;
    if (p == nullptr) return;
    HWND hBox = NULL;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&hBox));
    if (hBox == NULL) return;
    p->nSeen++;
    ::EnumChildWindows(hBox, ReadText, reinterpret_cast<LPARAM>(&p->strText));
    ::RedrawWindow(hBox, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    testsupport::CSnapshot shot(hBox, testsupport::WindowArea::Whole);
    shot.SavePng(testsupport::ArtifactPath(p->nAnswer == IDYES ? L"commandbars/layout_question_yes.png"
                                                                : L"commandbars/layout_question_no.png"));
    ::PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(p->nAnswer, BN_CLICKED), 0);
  }
};
BoxAnswerer* BoxAnswerer::s_pThis = nullptr;

// Saves a customised "Standard" (one button added, not closeable) of the program's first
// version.
void SaveCustomisedStandard() {
  Frame a(L"Customised");
  CXTPToolBar* pStandard = a.Bar(200);
  pStandard->GetControls()->Add(xtpControlButton, 57609);
  pStandard->SetCloseable(FALSE);
  a.pBars->SaveBarState(kProfile, TRUE);
}

}  // namespace

TEST_F(LayoutBars, AChangedBuiltInBarAsksWhetherToKeepTheCustomisedOne) {
  SaveCustomisedStandard();
  // The stream holds the customised bar.
  EXPECT_EQ(ValueNames(L"CommandBars-Controls").count(L"Controls"), 1u);
  {
    BYTE* p = nullptr;
    UINT n = 0;
    ASSERT_TRUE(theApp.GetProfileBinary(L"CommandBars-Controls", L"Controls", &p, &n));
    xtp_layout::StreamSummary summary;
    std::string error;
    EXPECT_TRUE(xtp_layout::ReadControlsStream(p, n, &summary, &error)) << error;
    // Only the customised bar: the others are as the program built them.
    ASSERT_EQ(summary.bars.size(), 1u);
    EXPECT_EQ(summary.bars[0].barId, 200);
    EXPECT_EQ(summary.bars[0].controlCount, 5u + 4u);  // its controls and its originals
    delete[] p;
  }

  // The program's Standard is unchanged: the customised bar is taken without a question.
  {
    BoxAnswerer answerer(IDYES);
    Frame same(L"Same program");
    same.pBars->LoadBarState(kProfile, FALSE);
    PumpFor(50);
    EXPECT_EQ(answerer.nSeen, 0);
    EXPECT_FALSE(same.Bar(200)->IsCloseable());  // copied from the stored bar
  }
  const std::vector<UINT> changed = {57600, 57601, 57603, 0, 57634, 57635};
  // Changed program, answered Yes: reset to the new bar (nothing copied).
  {
    BoxAnswerer answerer(IDYES);
    Frame f(L"Changed program, Yes", changed);
    f.pBars->LoadBarState(kProfile, FALSE);
    PumpFor(50);
    EXPECT_EQ(answerer.nSeen, 1);
    EXPECT_NE(answerer.strText.find(L"'Standard'"), std::wstring::npos) << std::string(CStringA(answerer.strText.c_str()));
    EXPECT_NE(answerer.strText.find(L"software update"), std::wstring::npos);
    EXPECT_TRUE(f.Bar(200)->IsCloseable());
    EXPECT_EQ(f.Bar(200)->GetControls()->GetOriginalControls()->GetCount(), 5);
  }
  // Answered No: the customised bar is taken and keeps the program's new originals.
  {
    BoxAnswerer answerer(IDNO);
    Frame f(L"Changed program, No", changed);
    CXTPControls* pNewOriginals = f.Bar(200)->GetControls()->GetOriginalControls();
    f.pBars->LoadBarState(kProfile, FALSE);
    PumpFor(50);
    EXPECT_EQ(answerer.nSeen, 1);
    EXPECT_FALSE(f.Bar(200)->IsCloseable());
    EXPECT_EQ(f.Bar(200)->GetControls()->GetOriginalControls(), pNewOriginals);
    EXPECT_EQ(f.Bar(200)->GetControls()->GetOriginalControls()->GetCount(), 5);
  }
  // Silent: no question, the new bar stays.
  {
    BoxAnswerer answerer(IDNO);
    Frame f(L"Changed program, silent", changed);
    f.pBars->LoadBarState(kProfile, TRUE);
    PumpFor(50);
    EXPECT_EQ(answerer.nSeen, 0);
    EXPECT_TRUE(f.Bar(200)->IsCloseable());
  }
}
