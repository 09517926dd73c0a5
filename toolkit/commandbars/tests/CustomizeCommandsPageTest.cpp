// The commands page of the customize sheet: the categories built from a test menu, the
// commands list drawn as on a bar, and commands dragged out of the list with real input
// onto a toolbar of a frame and into a submenu the drag opens.
//
// The sheet runs modally; a thread timer plays a script inside its loop (and inside the
// drag loop the list starts), one step per tick: a step either acts (input through
// SendInput, never a nested pump) or waits for a condition and is tried again.
#include <framework.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <vector>

#include <test_picture.h>

#include "CommandBarsTestSupport.h"
#include "XTPCommandBars.h"
#include "XTPControlEdit.h"
#include "XTPControlLists.h"
#include "XTPControlPopup.h"
#include "XTPControls.h"
#include "XTPCustomizeCommandsPage.h"
#include "XTPCustomizeDropSource.h"
#include "XTPCustomizeSheet.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"
#include "XTPResourceManager.h"
#include "XTPToolBar.h"
#include "customize_res.h"

using namespace cbtest;

BEGIN_MESSAGE_MAP(cbtest::CCustomizableFrame, CFrameWnd)
  ON_COMMAND(XTP_ID_CUSTOMIZE, OnCustomize)
END_MESSAGE_MAP()

namespace {

const UINT kTestMenu = 4201;

// ---- The script player ----------------------------------------------------------------------
struct Step {
  std::string what;
  std::function<bool()> run;  // true: done, go on; false: try again on the next tick
};

std::vector<Step> g_script;
size_t g_nNext = 0;
int g_nTries = 0;
bool g_bInStep = false;
std::string g_stuckAt;
CXTPCustomizeSheet* g_pSheet = nullptr;

VOID CALLBACK ScriptTick(HWND, UINT, UINT_PTR, DWORD) {
  if (g_bInStep || g_nNext >= g_script.size()) return;
  g_bInStep = true;
  const bool bDone = g_script[g_nNext].run();
  g_bInStep = false;
  if (bDone) {
    g_nNext++;
    g_nTries = 0;
    return;
  }
  if (++g_nTries < 200) return;
  // A condition that never came: let go of everything and end the sheet.
  g_stuckAt = g_script[g_nNext].what;
  g_nNext = g_script.size();
  KeyEvent(VK_ESCAPE, false);
  KeyEvent(VK_ESCAPE, true);
  SendButton(MOUSEEVENTF_LEFTUP);
  ::ReleaseCapture();
  if (g_pSheet != nullptr && g_pSheet->m_hWnd != NULL) g_pSheet->EndDialog(IDCANCEL);
}

// The selection-change notifications of the commands list posted to the page, seen as
// the thread takes them from its queue.
std::vector<HWND> g_listNotices;
LRESULT CALLBACK NoticeHook(int code, WPARAM wParam, LPARAM lParam) {
  const MSG* pMsg = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && pMsg->message == WM_COMMAND &&
      LOWORD(pMsg->wParam) == XTP_IDC_LIST_COMMANDS && HIWORD(pMsg->wParam) == LBN_SELCHANGE)
    g_listNotices.push_back(pMsg->hwnd);
  return ::CallNextHookEx(NULL, code, wParam, lParam);
}
struct CNoticeRecorder {
  HHOOK hHook;
  CNoticeRecorder() : hHook(::SetWindowsHookExW(WH_GETMESSAGE, NoticeHook, NULL, ::GetCurrentThreadId())) {
    g_listNotices.clear();
  }
  ~CNoticeRecorder() { ::UnhookWindowsHookEx(hHook); }
};

Step Act(const std::string& what, std::function<void()> fn) {
  return {what, [fn] {
            fn();
            return true;
          }};
}
Step WaitFor(const std::string& what, std::function<bool()> cond) { return {what, std::move(cond)}; }

CPoint ScreenCentre(const CRect& rcClient, CWnd* pWnd) {
  CPoint pt = rcClient.CenterPoint();
  pWnd->ClientToScreen(&pt);
  return pt;
}

class CustomizeCommandsPage : public ::testing::Test {
 protected:
  CCustomizableFrame* m_pFrame = nullptr;
  CXTPCommandBars* m_pBars = nullptr;
  CXTPToolBar* m_pToolBar = nullptr;
  CXTPControlPopup* m_pMenu = nullptr;  // a popup on the toolbar, with one item

  void SetUp() override {
    ParkPointer();
    CXTPPaintManager::SetTheme(0);
    m_pFrame = new CCustomizableFrame();
    ASSERT_TRUE(m_pFrame->Create(NULL, L"Commands page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 620, 420)));
    m_pBars = new CXTPCommandBars();
    m_pBars->SetSite(m_pFrame);
    m_pBars->CreateDockBars();
    m_pToolBar = m_pBars->Add(L"Standard", xtpBarTop);
    ASSERT_NE(nullptr, m_pToolBar);
    m_pToolBar->GetControls()->Add(xtpControlButton, 57600)->SetCaption(_T("&New"));
    m_pMenu = static_cast<CXTPControlPopup*>(m_pToolBar->GetControls()->Add(xtpControlPopup, 0));
    ASSERT_NE(nullptr, m_pMenu);
    m_pMenu->SetCaption(_T("&Menu"));
    ASSERT_NE(nullptr, m_pMenu->GetCommandBar());
    m_pMenu->GetCommandBar()->GetControls()->Add(xtpControlButton, 32950)->SetCaption(_T("&Item"));
    m_pToolBar->GetControls()->Add(xtpControlButton, 57601)->SetCaption(_T("&Open"));
    m_pBars->RecalcFrameLayout();
    Activate(m_pFrame->m_hWnd);
    PumpFor(50);
  }
  void TearDown() override {
    KeyEvent(VK_ESCAPE, true);
    SendButton(MOUSEEVENTF_LEFTUP);
    XTPMouseManager()->CloseAllTrackingBars();
    if (m_pBars != nullptr) m_pBars->InternalRelease();
    if (m_pFrame != nullptr && ::IsWindow(m_pFrame->m_hWnd)) m_pFrame->DestroyWindow();
    CXTPPaintManager::SetTheme(0);
    PumpFor(30);
    ParkPointer();
  }

  // The categories the application makes: the menu's, then the three special ones.
  static void AddStandardCategories(CXTPCustomizeCommandsPage* pPage) {
    EXPECT_TRUE(pPage->AddCategories(kTestMenu, FALSE));
    pPage->InsertAllCommandsCategory(XTP_IDS_ALLCOMMANDS, -1);
    EXPECT_TRUE(pPage->InsertBuiltInMenus(kTestMenu, XTP_IDS_BUILTINMENUS, -1));
    pPage->InsertNewMenuCategory(XTP_IDS_NEWMENU, -1);
  }

  // Runs the sheet on the commands page with the script; the sheet is moved beside the
  // frame first so that the toolbar lies free.
  void RunSheet(std::vector<Step> steps, bool bCategories = true) {
    CXTPCustomizeSheet sheet(m_pBars, 1);
    if (bCategories) AddStandardCategories(sheet.GetCommandsPage());
    CXTPCustomizeCommandsPage* pPage = sheet.GetCommandsPage();
    std::vector<Step> script = {
        WaitFor("the page is up", [&] { return sheet.m_hWnd != NULL && pPage->m_lstCommands.m_hWnd != NULL &&
                                               ::IsWindowVisible(pPage->m_lstCommands.m_hWnd); }),
        Act("move the sheet aside", [&] {
          sheet.SetWindowPos(NULL, 660, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
          ::SetForegroundWindow(sheet.m_hWnd);
        }),
        WaitFor("the sheet is in front", [&] { return ::GetForegroundWindow() == sheet.m_hWnd; }),
    };
    for (Step& s : steps) script.push_back(std::move(s));
    script.push_back(Act("close", [&] { sheet.EndDialog(IDCANCEL); }));
    g_script = std::move(script);
    g_nNext = 0;
    g_nTries = 0;
    g_stuckAt.clear();
    g_pSheet = &sheet;
    m_pSheet = &sheet;
    const UINT_PTR nTimer = ::SetTimer(NULL, 0, 25, ScriptTick);
    sheet.DoModal();
    ::KillTimer(NULL, nTimer);
    g_pSheet = nullptr;
    m_pSheet = nullptr;
    EXPECT_EQ("", g_stuckAt) << "the script waited in vain";
    EXPECT_EQ(g_script.size(), g_nNext) << "the sheet ended before the script did";
    PumpFor(50);
  }

  CXTPCustomizeCommandsPage* Page() const { return m_pSheet->GetCommandsPage(); }
  // The screen centre of a row of the categories or the commands list.
  CPoint RowCentre(CListBox& list, int nRow) const {
    CRect rc;
    list.GetItemRect(nRow, &rc);
    return ScreenCentre(rc, &list);
  }
  int CategoryRow(const CString& strName) const {
    CListBox& list = Page()->m_lstCategories;
    for (int i = 0; i < list.GetCount(); i++) {
      CString str;
      list.GetText(i, str);
      if (str == strName) return i;
    }
    return -1;
  }
  int CommandRow(int nId) const {
    CListBox& list = Page()->m_lstCommands;
    for (int i = 0; i < list.GetCount(); i++)
      if (reinterpret_cast<CXTPControl*>(list.GetItemData(i))->GetID() == nId) return i;
    return -1;
  }
  // Clicks a category (a real press and release) and waits for its commands.
  void ChooseCategory(std::vector<Step>& steps, const CString& strName) {
    steps.push_back(Act("click category", [this, strName] {
      const int nRow = CategoryRow(strName);
      ASSERT_GE(nRow, 0) << "no category " << CStringA(strName).GetString();
      SendMove(RowCentre(Page()->m_lstCategories, nRow));
      SendButton(MOUSEEVENTF_LEFTDOWN);
      SendButton(MOUSEEVENTF_LEFTUP);
    }));
    steps.push_back(WaitFor("the category's commands", [this, strName] {
      const int nRow = CategoryRow(strName);
      CXTPCustomizeCategory* pCategory = Page()->GetCategory((int)Page()->m_lstCategories.GetItemData(nRow));
      CListBox& list = Page()->m_lstCommands;
      if (list.GetCount() != pCategory->m_pControls->GetCount()) return false;
      for (int i = 0; i < list.GetCount(); i++)
        if (list.GetItemData(i) != (DWORD_PTR)pCategory->m_pControls->GetAt(i)) return false;
      return true;
    }));
  }

  CXTPCustomizeSheet* m_pSheet = nullptr;
};

// ---- Categories -----------------------------------------------------------------------------

struct ExpectedCategory {
  const wchar_t* name;
  std::vector<int> ids;  // the controls' ids in order (popups of menus have id 0)
  const char* why;
};

TEST_F(CustomizeCommandsPage, CategoriesFollowTheMenuThenTheSpecialOnes) {
  CXTPCustomizeSheet sheet(m_pBars, 1);
  CXTPCustomizeCommandsPage* pPage = sheet.GetCommandsPage();
  ASSERT_NE(nullptr, pPage);
  EXPECT_EQ(nullptr, pPage->GetCategory(0));
  AddStandardCategories(pPage);
  const ExpectedCategory expected[] = {
      {L"File", {57600, 57601, 57665, 57603, 57634}, "\"&File\" and \"Fil&e\" gather; the separator is no command"},
      {L"Edit", {57635, 57634, 0}, "the submenu is one popup control"},
      {L"View", {59392, 59393}, "the toolbars placeholder is listed"},
      {L"All Commands", {57600, 57601, 57665, 57603, 57634, 57635, 57634, 0, 59392, 59393},
       "a copy of every control in category order, a command of two menus twice"},
      {L"Built-in Menus", {0, 0, 0, 32810, 0}, "one control per top-level item"},
      {L"New Menu", {0}, "one empty popup"},
  };
  ASSERT_EQ((int)(sizeof(expected) / sizeof(expected[0])), pPage->GetCategoryCount());
  for (int i = 0; i < pPage->GetCategoryCount(); i++) {
    const ExpectedCategory& e = expected[i];
    CXTPCustomizeCategory* pCategory = pPage->GetCategory(i);
    ASSERT_NE(nullptr, pCategory);
    EXPECT_EQ(CString(e.name), pCategory->m_strCategory) << e.why;
    ASSERT_EQ((int)e.ids.size(), pCategory->m_pControls->GetCount()) << CStringA(e.name).GetString() << ": " << e.why;
    for (int j = 0; j < (int)e.ids.size(); j++)
      EXPECT_EQ(e.ids[j], pCategory->m_pControls->GetAt(j)->GetID()) << CStringA(e.name).GetString() << " #" << j;
    EXPECT_EQ(m_pBars, pCategory->m_pControls->GetCommandBars()) << e.why;
  }
  EXPECT_EQ(nullptr, pPage->GetCategory(6));
  EXPECT_EQ(nullptr, pPage->GetCategory(-1));

  // Kinds: the placeholder, the submenu popup with its items, the built-in menus' popups.
  CXTPControls* pView = pPage->GetCategory(2)->m_pControls;
  EXPECT_TRUE(pView->GetAt(0)->IsKindOf(RUNTIME_CLASS(CXTPControlToolbars)));
  CXTPControl* pPasteSpecial = pPage->GetCategory(1)->m_pControls->GetAt(2);
  ASSERT_TRUE(pPasteSpecial->IsKindOf(RUNTIME_CLASS(CXTPControlPopup)));
  EXPECT_EQ(2, pPasteSpecial->GetCommandBar()->GetControls()->GetCount());
  CXTPControls* pBuiltIn = pPage->GetCategory(4)->m_pControls;
  const wchar_t* menus[] = {L"&File", L"&Edit", L"&View", L"&Direct", L"Fil&e"};
  for (int j = 0; j < 5; j++) EXPECT_EQ(CString(menus[j]), pBuiltIn->GetAt(j)->GetCaption()) << j;
  ASSERT_TRUE(pBuiltIn->GetAt(1)->IsKindOf(RUNTIME_CLASS(CXTPControlPopup)));
  EXPECT_EQ(3, pBuiltIn->GetAt(1)->GetCommandBar()->GetControls()->GetCount());
  CXTPControl* pNewMenu = pPage->GetCategory(5)->m_pControls->GetAt(0);
  EXPECT_EQ(xtpControlPopup, pNewMenu->GetType());
  EXPECT_EQ(CString(L"New Menu"), pNewMenu->GetCaption());
  ASSERT_NE(nullptr, pNewMenu->GetCommandBar());
  EXPECT_EQ(0, pNewMenu->GetCommandBar()->GetControls()->GetCount());

  // "All Commands" holds copies, not the categories' own controls.
  EXPECT_NE(pPage->GetCategory(0)->m_pControls->GetAt(0), pPage->GetCategory(3)->m_pControls->GetAt(0));
}

TEST_F(CustomizeCommandsPage, AddCategoryMergesByExactNameAndInsertsAtTheIndex) {
  CXTPCustomizeSheet sheet(m_pBars, 1);
  CXTPCustomizeCommandsPage* pPage = sheet.GetCommandsPage();
  CXTPControls* pA = pPage->AddCategory(_T("Alpha"));
  CXTPControls* pB = pPage->AddCategory(_T("Beta"), 7);  // past the end: appended
  struct {
    const wchar_t* name;
    int index;
    bool merges;
    int position;  // where the category then is
    const char* why;
  } cases[] = {
      {L"Alpha", -1, true, 0, "same name: the existing controls"},
      {L"alpha", -1, false, 2, "names compare case-sensitively"},
      {L"Gamma", 0, false, 0, "inserted before index 0"},
      {L"Delta", 2, false, 2, "inserted before index 2"},
  };
  for (const auto& c : cases) {
    const int nBefore = pPage->GetCategoryCount();
    CXTPControls* pControls = pPage->AddCategory(c.name, c.index);
    EXPECT_EQ(c.merges ? nBefore : nBefore + 1, pPage->GetCategoryCount()) << c.why;
    if (c.merges) {
      EXPECT_EQ(pA, pControls) << c.why;
    }
    EXPECT_EQ(CString(c.name), pPage->GetCategory(c.position)->m_strCategory) << c.why;
    EXPECT_EQ(pControls, pPage->GetCategory(c.position)->m_pControls) << c.why;
  }
  EXPECT_NE(pA, pB);
  // The special categories never merge: a second "New Menu" is a category of its own.
  pPage->InsertNewMenuCategory(XTP_IDS_NEWMENU, 1);
  pPage->InsertNewMenuCategory(XTP_IDS_NEWMENU, -1);
  EXPECT_EQ(CString(L"New Menu"), pPage->GetCategory(1)->m_strCategory);
  EXPECT_EQ(CString(L"New Menu"), pPage->GetCategory(pPage->GetCategoryCount() - 1)->m_strCategory);
  // A menu that is not there builds nothing.
  const int nCount = pPage->GetCategoryCount();
  EXPECT_FALSE(pPage->AddCategories(4999, FALSE));
  EXPECT_FALSE(pPage->InsertBuiltInMenus(4999, XTP_IDS_BUILTINMENUS, -1));
  EXPECT_EQ(nCount, pPage->GetCategoryCount());
}

TEST_F(CustomizeCommandsPage, ListingSubItemsAddsCopiesOfASubmenusItems) {
  CXTPCustomizeSheet sheet(m_pBars, 1);
  CXTPCustomizeCommandsPage* pPage = sheet.GetCommandsPage();
  ASSERT_TRUE(pPage->AddCategories(kTestMenu, TRUE));
  CXTPControls* pEdit = pPage->GetCategory(1)->m_pControls;
  const int ids[] = {57635, 57634, 0, 32801, 32802};
  ASSERT_EQ(5, pEdit->GetCount());
  for (int j = 0; j < 5; j++) EXPECT_EQ(ids[j], pEdit->GetAt(j)->GetID()) << j;
  CXTPControls* pSub = pEdit->GetAt(2)->GetCommandBar()->GetControls();
  EXPECT_NE(pSub->GetAt(0), pEdit->GetAt(3));  // a copy
  EXPECT_EQ(CString(L"As &Text"), pEdit->GetAt(3)->GetCaption());
}

// ---- The list on the screen -----------------------------------------------------------------

TEST_F(CustomizeCommandsPage, CommandsListIsDrawnAsOnABarInBothThemes) {
  // Cut and Copy have images: a red and a blue square.
  {
    CClientDC screen(nullptr);
    CDC dc;
    dc.CreateCompatibleDC(&screen);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&screen, 32, 16);
    CBitmap* pOld = dc.SelectObject(&bmp);
    dc.FillSolidRect(0, 0, 32, 16, RGB(192, 192, 192));
    dc.FillSolidRect(2, 2, 12, 12, RGB(0, 0, 0));
    dc.FillSolidRect(3, 3, 10, 10, RGB(255, 0, 0));
    dc.FillSolidRect(18, 2, 12, 12, RGB(0, 0, 0));
    dc.FillSolidRect(19, 3, 10, 10, RGB(0, 0, 255));
    dc.SelectObject(pOld);
    const UINT ids[] = {57635, 57634};
    ASSERT_TRUE(m_pBars->GetImageManager()->SetIcons(bmp, ids, 2, CSize(16, 16), XTP_IMAGESTATE_NORMAL, FALSE));
  }
  for (int nTheme : {0, 3}) {
    CXTPPaintManager::SetTheme(nTheme);
    CXTPPaintManager* pPaintManager = m_pBars->GetPaintManager();
    const int nRowHeight = pPaintManager->DrawCustomizeListItem(NULL, NULL, CRect(0, 0, 0, 0), FALSE, FALSE, m_pBars).cy;
    std::vector<Step> steps;
    bool bFirstFilled = false;
    HWND hPage = NULL;
    std::vector<HWND> notices;
    CNoticeRecorder recorder;
    steps.push_back(Act("page", [&] { hPage = Page()->m_hWnd; }));
    steps.push_back(Act("the first category is chosen and listed", [&] {
      bFirstFilled = Page()->m_lstCategories.GetCurSel() == 0 && Page()->m_lstCommands.GetCount() == 5 &&
                     Page()->m_lstCommands.GetItemData(0) == (DWORD_PTR)Page()->GetCategory(0)->m_pControls->GetAt(0);
    }));
    ChooseCategory(steps, L"Edit");
    // A press and release on "Copy" without moving selects it and drops nothing.
    steps.push_back(Act("press Copy", [&] {
      SendMove(RowCentre(Page()->m_lstCommands, 1));
      SendButton(MOUSEEVENTF_LEFTDOWN);
    }));
    steps.push_back(WaitFor("the drag runs", [&] { return ::GetCapture() == m_pSheet->m_hWnd; }));
    steps.push_back(Act("release", [] { SendButton(MOUSEEVENTF_LEFTUP); }));
    steps.push_back(WaitFor("the drag ends", [] { return ::GetCapture() == NULL; }));
    steps.push_back(Act("park the pointer", [&] {
      SendMove(CPoint(1270, 1010));
      notices = g_listNotices;
    }));
    int nSelected = -1, nHeight = 0;
    std::vector<COLORREF> rowSelected, rowPlain;
    bool bCutRed = false, bCopyBlue = false, bPasteImage = true;
    steps.push_back(WaitFor("the list is painted", [&] {
      CListBox& list = Page()->m_lstCommands;
      list.UpdateWindow();
      m_pSheet->UpdateWindow();
      nSelected = list.GetCurSel();
      nHeight = list.GetItemHeight(0);
      testsupport::CSnapshot shot(list.m_hWnd, testsupport::WindowArea::Client);
      CRect rcSel, rcPlain;
      list.GetItemRect(1, &rcSel);
      list.GetItemRect(0, &rcPlain);
      // Past the icon column, where the caption is.
      const int x = rcSel.left + rcSel.Height() + 40;
      rowSelected.clear();
      rowPlain.clear();
      for (int y = rcSel.top + 1; y < rcSel.bottom - 1; y++) rowSelected.push_back(shot.Pixel(x, y));
      for (int y = rcPlain.top + 1; y < rcPlain.bottom - 1; y++) rowPlain.push_back(shot.Pixel(x, y));
      // The icon column: each command's own image; none for the submenu.
      CRect rcThird;
      list.GetItemRect(2, &rcThird);
      auto column = [](const CRect& rc) { return CRect(rc.left, rc.top, rc.left + rc.Height(), rc.bottom); };
      // A theme may fade the images of rows that are not selected: a reddish or bluish
      // pixel is enough.
      auto tinted = [&shot](const CRect& rc, bool bRed) {
        for (int y = rc.top; y < rc.bottom; y++)
          for (int x = rc.left; x < rc.right; x++) {
            const COLORREF c = shot.Pixel(x, y);
            const int main = bRed ? GetRValue(c) : GetBValue(c), other = bRed ? GetBValue(c) : GetRValue(c);
            if (main > 180 && main - GetGValue(c) > 80 && main - other > 80) return true;
          }
        return false;
      };
      bCutRed = tinted(column(rcPlain), true);
      bCopyBlue = tinted(column(rcSel), false);
      bPasteImage = tinted(column(rcThird), true) || tinted(column(rcThird), false);
      testsupport::CSnapshot whole(m_pSheet->m_hWnd, testsupport::WindowArea::Whole);
      whole.SavePng(testsupport::ArtifactPath(nTheme == 0 ? L"commandbars\\customize_commands_page_theme0.png"
                                                          : L"commandbars\\customize_commands_page_theme3.png"));
      return true;
    }));
    RunSheet(std::move(steps));
    EXPECT_TRUE(bFirstFilled) << "theme " << nTheme;
    EXPECT_EQ(1, nSelected) << "theme " << nTheme;
    // The press told the page once that the selection changed.
    EXPECT_EQ(std::vector<HWND>{hPage}, notices) << "theme " << nTheme;
    EXPECT_TRUE(bCutRed) << "theme " << nTheme;
    EXPECT_TRUE(bCopyBlue) << "theme " << nTheme;
    EXPECT_FALSE(bPasteImage) << "theme " << nTheme;
    EXPECT_EQ(nRowHeight, nHeight) << "theme " << nTheme;
    const COLORREF clrHighlight = pPaintManager->GetColor(COLOR_HIGHLIGHT), clrFace = pPaintManager->GetColor(COLOR_BTNFACE);
    auto count = [](const std::vector<COLORREF>& v, COLORREF c) { return std::count(v.begin(), v.end(), c); };
    EXPECT_GT(count(rowSelected, clrHighlight), (std::ptrdiff_t)rowSelected.size() / 2) << "theme " << nTheme;
    EXPECT_GT(count(rowPlain, clrFace), (std::ptrdiff_t)rowPlain.size() / 2) << "theme " << nTheme;
    EXPECT_EQ((std::ptrdiff_t)0, count(rowPlain, clrHighlight)) << "theme " << nTheme;
  }
  // The images live in the process-wide image manager: the other tests see none.
  for (UINT nId : {57635u, 57634u}) m_pBars->GetImageManager()->RemoveIcon(nId);
}

// ---- Dragging commands out of the list ------------------------------------------------------

enum class Target { Toolbar, Submenu };

struct DragCase {
  const char* name;
  const wchar_t* category;
  int nId;  // the dragged command (0: the first popup of the category)
  Target target;
  bool escape;    // Escape before the release
  bool dropped;   // a copy lands on the target
  UINT nCursor;   // the cursor over the target
};

// The controls a bar keeps: not the items a list placeholder generates outside customize
// mode.
int Lasting(CXTPControls* pControls) {
  int n = 0;
  for (int i = 0; i < pControls->GetCount(); i++)
    if (!pControls->GetAt(i)->IsTemporary()) n++;
  return n;
}

TEST_F(CustomizeCommandsPage, DraggingACommandOutOfTheList) {
  const DragCase cases[] = {
      {"onto the toolbar", L"Edit", 57634, Target::Toolbar, false, true, 9301},
      {"into the open submenu", L"Edit", 57635, Target::Submenu, false, true, 9301},
      {"list placeholder refused on the toolbar", L"View", 59392, Target::Toolbar, false, false, 9303},
      {"list placeholder taken by the submenu", L"View", 59392, Target::Submenu, false, true, 9301},
      {"escape cancels", L"Edit", 57634, Target::Toolbar, true, false, 9301},
      {"new menu makes an empty menu", L"New Menu", 0, Target::Toolbar, false, true, 9301},
  };
  for (const DragCase& c : cases) {
    SCOPED_TRACE(c.name);
    CXTPControls* pBarControls = m_pToolBar->GetControls();
    CXTPControls* pMenuControls = m_pMenu->GetCommandBar()->GetControls();
    const int nBarBefore = Lasting(pBarControls), nMenuBefore = Lasting(pMenuControls);
    // What the listed command was and is after the drag (the categories go with the sheet).
    CXTPControl* pDragged = nullptr;
    HCURSOR hOver = NULL;
    CString strListedCaption, strCaptionAfter;
    int nDraggedId = -1, nListCountAfter = -1, nTemplateItems = -1;
    XTPControlType draggedType = xtpControlError;
    CXTPCommandBar* pTemplateBar = nullptr;
    CXTPCommandBar* pParentAfter = nullptr;
    std::vector<Step> steps;
    ChooseCategory(steps, c.category);
    steps.push_back(Act("press the command", [&] {
      const int nRow = c.nId != 0 ? CommandRow(c.nId) : 0;
      ASSERT_GE(nRow, 0);
      pDragged = reinterpret_cast<CXTPControl*>(Page()->m_lstCommands.GetItemData(nRow));
      strListedCaption = pDragged->GetCaption();
      nDraggedId = pDragged->GetID();
      draggedType = pDragged->GetType();
      SendMove(RowCentre(Page()->m_lstCommands, nRow));
      SendButton(MOUSEEVENTF_LEFTDOWN);
    }));
    steps.push_back(WaitFor("the drag runs", [&] { return ::GetCapture() == m_pSheet->m_hWnd; }));
    if (c.target == Target::Submenu) {
      // Over the toolbar's popup the submenu opens; the drag goes on into it.
      steps.push_back(Act("over the popup", [&] { SendMove(ScreenCentre(m_pMenu->GetRect(), m_pToolBar)); }));
      steps.push_back(Act("nudge", [&] { SendMove(ScreenCentre(m_pMenu->GetRect(), m_pToolBar) + CSize(1, 0)); }));
      steps.push_back(WaitFor("the submenu is open", [&] {
        CXTPCommandBar* pSub = m_pMenu->GetCommandBar();
        return pSub->GetSafeHwnd() != NULL && ::IsWindowVisible(pSub->GetSafeHwnd());
      }));
      steps.push_back(Act("into the submenu", [&] {
        CRect rc;
        m_pMenu->GetCommandBar()->GetWindowRect(&rc);
        SendMove(CPoint(rc.CenterPoint().x, rc.bottom - 4));
      }));
      steps.push_back(Act("nudge", [&] {
        CRect rc;
        m_pMenu->GetCommandBar()->GetWindowRect(&rc);
        SendMove(CPoint(rc.CenterPoint().x + 1, rc.bottom - 4));
      }));
    } else {
      // Past the last control of the toolbar.
      steps.push_back(Act("over the toolbar", [&] {
        CRect rc = pBarControls->GetAt(pBarControls->GetCount() - 1)->GetRect();
        SendMove(ScreenCentre(rc, m_pToolBar) + CSize(rc.Width() / 2 - 2, 0));
      }));
      steps.push_back(Act("nudge", [&] {
        CRect rc = pBarControls->GetAt(pBarControls->GetCount() - 1)->GetRect();
        SendMove(ScreenCentre(rc, m_pToolBar) + CSize(rc.Width() / 2 - 1, 0));
      }));
    }
    steps.push_back(WaitFor("the cursor over the target", [&] {
      hOver = ::GetCursor();
      return hOver == XTPResourceManager()->LoadCursor(c.nCursor);
    }));
    if (c.escape) {
      steps.push_back(Act("escape", [] {
        KeyEvent(VK_ESCAPE, false);
        KeyEvent(VK_ESCAPE, true);
      }));
      steps.push_back(WaitFor("the drag ends", [] { return ::GetCapture() == NULL; }));
      steps.push_back(Act("release", [] { SendButton(MOUSEEVENTF_LEFTUP); }));
    } else {
      steps.push_back(Act("release", [] { SendButton(MOUSEEVENTF_LEFTUP); }));
      steps.push_back(WaitFor("the drag ends", [] { return ::GetCapture() == NULL; }));
    }
    int nBarAfter = -1, nMenuAfter = -1;
    steps.push_back(Act("the list is as it was", [&] {
      nBarAfter = Lasting(pBarControls);
      nMenuAfter = Lasting(pMenuControls);
      nListCountAfter = Page()->m_lstCommands.GetCount();
      strCaptionAfter = pDragged->GetCaption();
      pParentAfter = pDragged->GetParent();
      pTemplateBar = pDragged->GetCommandBar();
      nTemplateItems = pTemplateBar != nullptr ? pTemplateBar->GetControls()->GetCount() : -1;
    }));
    if (c.target == Target::Submenu) {
      steps.push_back(Act("close the submenu", [&] { m_pToolBar->SetPopuped(-1); }));
    }
    RunSheet(std::move(steps));
    if (!g_stuckAt.empty()) continue;
    EXPECT_EQ(XTPResourceManager()->LoadCursor(c.nCursor), hOver);
    ASSERT_NE(nullptr, pDragged);
    CXTPControls* pTarget = c.target == Target::Toolbar ? pBarControls : pMenuControls;
    const int nTargetAfter = c.target == Target::Toolbar ? nBarAfter : nMenuAfter;
    EXPECT_EQ(c.target == Target::Toolbar ? nMenuBefore : nBarBefore,
              c.target == Target::Toolbar ? nMenuAfter : nBarAfter);
    // The list keeps its command whatever happened.
    EXPECT_EQ(CString(c.category) == L"Edit" ? 3 : CString(c.category) == L"View" ? 2 : 1, nListCountAfter);
    EXPECT_EQ(strListedCaption, strCaptionAfter);
    EXPECT_EQ(nullptr, pParentAfter);
    const int nBefore = c.target == Target::Toolbar ? nBarBefore : nMenuBefore;
    if (!c.dropped) {
      EXPECT_EQ(nBefore, nTargetAfter);
      continue;
    }
    ASSERT_EQ(nBefore + 1, nTargetAfter);
    CXTPControl* pCopy = nullptr;
    for (int i = 0; i < pTarget->GetCount(); i++)
      if (pTarget->GetAt(i)->GetID() == nDraggedId && pTarget->GetAt(i)->GetCaption() == strListedCaption)
        pCopy = pTarget->GetAt(i);
    ASSERT_NE(nullptr, pCopy);
    EXPECT_NE(pDragged, pCopy);
    EXPECT_EQ(draggedType, pCopy->GetType());
    if (c.nId == 0) {
      // The new menu: a popup with a menu of its own, empty; the listed one stays empty.
      ASSERT_NE(nullptr, pCopy->GetCommandBar());
      EXPECT_EQ(0, pCopy->GetCommandBar()->GetControls()->GetCount());
      EXPECT_NE(pTemplateBar, pCopy->GetCommandBar());
      EXPECT_EQ(0, nTemplateItems);
    }
  }
}

// The page is a trusted window of the mouse manager while it exists; without categories
// both lists stay empty.
TEST_F(CustomizeCommandsPage, PageIsTrustedWhileItExistsAndEmptyWithoutCategories) {
  HWND hPage = NULL;
  bool bTrusted = false;
  int nCategories = -1, nCommands = -1;
  std::vector<Step> steps;
  steps.push_back(Act("look", [&] {
    hPage = Page()->m_hWnd;
    bTrusted = XTPMouseManager()->IsTrustedWindow(hPage) != FALSE;
    nCategories = Page()->m_lstCategories.GetCount();
    nCommands = Page()->m_lstCommands.GetCount();
  }));
  steps.push_back(Act("press where a row would be", [&] {
    SendMove(ScreenCentre(CRect(0, 0, 40, 10), &Page()->m_lstCommands));
    SendButton(MOUSEEVENTF_LEFTDOWN);
    SendButton(MOUSEEVENTF_LEFTUP);
  }));
  int nTicks = 0;
  steps.push_back(WaitFor("a while", [&] { return ++nTicks > 6 && ::GetCapture() == NULL; }));
  RunSheet(std::move(steps), false);
  EXPECT_TRUE(bTrusted);
  EXPECT_FALSE(XTPMouseManager()->IsTrustedWindow(hPage));
  EXPECT_EQ(0, nCategories);
  EXPECT_EQ(0, nCommands);
}

// The dark pixels of an area, cut to their bounding box, one string per row.
std::vector<std::string> DarkMask(const testsupport::CSnapshot& shot, const CRect& rc) {
  CRect box(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
  auto dark = [&shot](int x, int y) {
    const COLORREF c = shot.Pixel(x, y);
    return GetRValue(c) < 80 && GetGValue(c) < 80 && GetBValue(c) < 80;
  };
  for (int y = rc.top; y < rc.bottom; y++)
    for (int x = rc.left; x < rc.right; x++)
      if (dark(x, y)) box.SetRect(std::min<int>(box.left, x), std::min<int>(box.top, y), std::max<int>(box.right, x + 1),
                                  std::max<int>(box.bottom, y + 1));
  std::vector<std::string> rows;
  for (int y = box.top; y < box.bottom; y++) {
    std::string row;
    for (int x = box.left; x < box.right; x++) row += dark(x, y) ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

// Bars laid out right to left mirror the commands list and right-align the categories.
TEST_F(CustomizeCommandsPage, RightToLeftBarsMirrorTheLists) {
  DWORD dwCommands = 0, dwCategories = 0;
  int nTextLeft = 0, nTextRight = 0;  // dark pixels of the first row, by half
  std::vector<std::string> textRow, textPlain;
  m_pFrame->ModifyStyleEx(0, WS_EX_LAYOUTRTL);
  ASSERT_TRUE(m_pBars->IsLayoutRTL());
  std::vector<Step> steps;
  ChooseCategory(steps, L"Edit");
  int nLooks = 0;
  // Looked at until painted (a few ticks at most); what is seen last is checked below.
  steps.push_back(WaitFor("the mirrored rows are painted", [&] {
    nTextLeft = nTextRight = 0;
    dwCommands = Page()->m_lstCommands.GetExStyle();
    dwCategories = Page()->m_lstCategories.GetExStyle();
    m_pSheet->UpdateWindow();
    Page()->m_lstCommands.UpdateWindow();
    testsupport::CSnapshot whole(m_pSheet->m_hWnd, testsupport::WindowArea::Whole);
    whole.SavePng(testsupport::ArtifactPath(L"commandbars\\customize_commands_page_rtl.png"));
    // The first row ("Cut") reads from the right: its text lies in the right half. The
    // picture is taken off the screen, so the halves are the screen's.
    CRect rcRow;
    Page()->m_lstCommands.GetItemRect(0, &rcRow);
    CRect rcList;
    Page()->m_lstCommands.GetClientRect(&rcList);
    testsupport::CSnapshot list(rcList.Width(), rcList.Height());
    CPoint ptOrigin(0, 0);
    Page()->m_lstCommands.ClientToScreen(&ptOrigin);  // mirrored: the right edge on the screen
    CRect rcScreen(ptOrigin.x - rcList.Width(), ptOrigin.y, ptOrigin.x, ptOrigin.y + rcList.Height());
    if (!(Page()->m_lstCommands.GetExStyle() & WS_EX_LAYOUTRTL)) rcScreen.OffsetRect(rcList.Width(), 0);
    CClientDC screen(nullptr);
    list.DC().BitBlt(0, 0, rcList.Width(), rcList.Height(), &screen, rcScreen.left, rcScreen.top, SRCCOPY);
    for (int y = rcRow.top; y < rcRow.bottom; y++)
      for (int x = 0; x < rcList.Width(); x++)
        if (GetRValue(list.Pixel(x, y)) < 80 && GetGValue(list.Pixel(x, y)) < 80) (x < rcList.Width() / 2 ? nTextLeft : nTextRight)++;
    // And its letters are the right way round: the same pixels as "Cut" written plainly.
    testsupport::CSnapshot plain(rcList.Width(), rcRow.Height());
    plain.DC().FillSolidRect(0, 0, rcList.Width(), rcRow.Height(), RGB(255, 255, 255));
    CFont* pOldFont = plain.DC().SelectObject(m_pBars->GetPaintManager()->GetRegularFont());
    plain.DC().SetTextColor(RGB(0, 0, 0));
    plain.DC().TextOut(4, 2, _T("Cut"));
    plain.DC().SelectObject(pOldFont);
    textRow = DarkMask(list, CRect(0, rcRow.top, rcList.Width(), rcRow.bottom));
    textPlain = DarkMask(plain, CRect(0, 0, rcList.Width(), rcRow.Height()));
    return (nTextLeft == 0 && textRow == textPlain) || ++nLooks > 40;
  }));
  RunSheet(std::move(steps));
  EXPECT_EQ((DWORD)WS_EX_LAYOUTRTL, dwCommands & WS_EX_LAYOUTRTL);
  EXPECT_EQ((DWORD)(WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR), dwCategories & 0x7000u);
  EXPECT_EQ(0u, dwCategories & WS_EX_LAYOUTRTL);
  EXPECT_EQ(0, nTextLeft);
  EXPECT_GT(nTextRight, 10);
  EXPECT_FALSE(textRow.empty());
  EXPECT_EQ(textPlain, textRow);
}

// A press below the last row only selects nothing: no drag, no capture.
TEST_F(CustomizeCommandsPage, APressBelowTheLastRowStartsNoDrag) {
  bool bCaptured = false;
  int nBarBefore = m_pToolBar->GetControls()->GetCount();
  CNoticeRecorder recorder;
  std::vector<Step> steps;
  ChooseCategory(steps, L"New Menu");
  steps.push_back(Act("press below the rows", [&] {
    CListBox& list = Page()->m_lstCommands;
    CRect rc;
    list.GetItemRect(0, &rc);
    CPoint pt(rc.CenterPoint().x, rc.bottom + 3 * rc.Height());
    list.ClientToScreen(&pt);
    SendMove(pt);
    SendButton(MOUSEEVENTF_LEFTDOWN);
  }));
  int nTicks = 0;
  steps.push_back(WaitFor("a while", [&] {
    bCaptured = bCaptured || ::GetCapture() == m_pSheet->m_hWnd;
    return ++nTicks > 6;
  }));
  steps.push_back(Act("over the toolbar and release", [&] {
    SendMove(ScreenCentre(m_pMenu->GetRect(), m_pToolBar));
    SendButton(MOUSEEVENTF_LEFTUP);
  }));
  steps.push_back(WaitFor("a while", [&] { return ++nTicks > 12; }));
  RunSheet(std::move(steps));
  EXPECT_FALSE(bCaptured);
  EXPECT_TRUE(g_listNotices.empty());
  EXPECT_EQ(nBarBefore, m_pToolBar->GetControls()->GetCount());
}

// In customize mode an edit field on a toolbar is sized by dragging its edge.
TEST_F(CustomizeCommandsPage, EditFieldOnAToolbarIsSizedByItsEdgeInCustomizeMode) {
  CXTPControlEdit* pEdit = static_cast<CXTPControlEdit*>(m_pToolBar->GetControls()->Add(xtpControlEdit, 33001));
  ASSERT_NE(nullptr, pEdit);
  pEdit->SetWidth(120);
  m_pBars->RecalcFrameLayout();
  PumpFor(50);
  struct {
    const char* name;
    int dx;       // how far the right edge is dragged
    bool escape;  // Escape before the release
    int width;    // the field's width afterwards
  } cases[] = {
      // Pressed on the field's last column: the new right edge is the column under the
      // pointer at the release.
      {"wider", 40, false, 159},
      {"narrower", -30, false, 128},
      {"escape keeps the width", 50, true, 128},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HCURSOR hSizing = NULL;
    std::vector<Step> steps;
    CPoint ptEdge;
    // The customize sheet leaves its frame enabled: the bars take presses while it runs.
    steps.push_back(Act("frame enabled", [&] { ::EnableWindow(m_pFrame->m_hWnd, TRUE); }));
    // A first click selects the field for customizing; a press on its edge then sizes it.
    steps.push_back(Act("click the field", [&] {
      CPoint pt = pEdit->GetRect().CenterPoint();
      m_pToolBar->ClientToScreen(&pt);
      SendMove(pt);
      SendButton(MOUSEEVENTF_LEFTDOWN);
      SendButton(MOUSEEVENTF_LEFTUP);
    }));
    steps.push_back(WaitFor("the field is selected", [&] {
      return m_pBars->GetDragControl() == pEdit && ::GetCapture() == NULL;
    }));
    steps.push_back(Act("press the right edge", [&] {
      const CRect rc = pEdit->GetRect();
      ptEdge = CPoint(rc.right - 1, rc.CenterPoint().y);
      m_pToolBar->ClientToScreen(&ptEdge);
      SendMove(ptEdge);
      SendButton(MOUSEEVENTF_LEFTDOWN);
    }));
    steps.push_back(WaitFor("the sizing runs", [&] { return ::GetCapture() == m_pToolBar->m_hWnd; }));
    steps.push_back(Act("drag", [&] {
      hSizing = ::GetCursor();
      SendMove(ptEdge + CSize(c.dx, 0));
    }));
    steps.push_back(Act("nudge", [&] { SendMove(ptEdge + CSize(c.dx, 1)); }));
    if (c.escape) steps.push_back(Act("escape", [] {
      KeyEvent(VK_ESCAPE, false);
      KeyEvent(VK_ESCAPE, true);
    }));
    steps.push_back(Act("release", [] { SendButton(MOUSEEVENTF_LEFTUP); }));
    steps.push_back(WaitFor("the sizing ends", [&] { return ::GetCapture() != m_pToolBar->m_hWnd; }));
    RunSheet(std::move(steps));
    EXPECT_EQ(c.width, pEdit->GetWidth());
    EXPECT_EQ(XTPResourceManager()->LoadCursor(9972), hSizing);
    m_pBars->RecalcFrameLayout();
    PumpFor(30);
  }
}

}  // namespace
