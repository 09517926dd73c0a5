// In-place editing and title tips on a real grid window. Both follow the keyboard focus,
// which the windows on the display share: these tests hold the display lock.
#include "GridInPlaceEdit.h"
#include "GridTitleTip.h"
#include "GridWindowFixture.h"

using namespace gridtest;

namespace {

using Codes = std::vector<int>;

class GridEditTest : public GridWindowTest {
 protected:
  HWND EditWindow(int row, int col) {
    CWnd* pEdit = grid.GetCell(row, col)->GetEditWnd();
    return pEdit ? pEdit->GetSafeHwnd() : nullptr;
  }
  CString WindowText(HWND hWnd) {
    WCHAR sz[256] = {};
    ::GetWindowTextW(hWnd, sz, 255);
    return CString(sz);
  }
};

TEST_F(GridEditTest, TypingALetterReplacesTheTextAndEnterKeepsIt) {
  MakeGrid(5, 4, 1, 1);
  grid.SetFocusCell(2, 2);
  grid.SendMessage(WM_CHAR, 'q', 1);
  EXPECT_EQ(parent.Codes(), Codes({GRIDN_BEGINLABELEDIT}));
  HWND hEdit = EditWindow(2, 2);
  ASSERT_NE(hEdit, nullptr);
  Pump();  // the letter reaches the edit
  EXPECT_EQ(WindowText(hEdit), CString(L"q"));
  EXPECT_EQ(::GetFocus(), hEdit);

  ::SendMessageW(hEdit, WM_CHAR, VK_RETURN, 1);
  Pump();
  EXPECT_EQ(parent.Codes(), Codes({GRIDN_BEGINLABELEDIT, GRIDN_ENDLABELEDIT}));
  EXPECT_EQ(grid.GetItemText(2, 2), CString(L"q"));
  EXPECT_TRUE(grid.IsModified(2, 2));
  EXPECT_FALSE(grid.IsItemEditing(2, 2));
  EXPECT_FALSE(::IsWindow(hEdit));
  EXPECT_EQ(::GetFocus(), grid.GetSafeHwnd());
}

TEST_F(GridEditTest, OpeningByClickKeepsTheTextWithTheCaretAtTheEnd) {
  MakeGrid(5, 4, 1, 1);
  grid.SetItemText(1, 1, L"abc");
  Click(Centre(1, 1));
  Click(Centre(1, 1));
  HWND hEdit = EditWindow(1, 1);
  ASSERT_NE(hEdit, nullptr);
  Pump();
  EXPECT_EQ(WindowText(hEdit), CString(L"abc"));
  DWORD start = 0, end = 0;
  ::SendMessageW(hEdit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 3u);
  EXPECT_EQ(end, 3u);
  // Arrow keys move the caret in an edit opened by the mouse.
  ::SendMessageW(hEdit, WM_KEYDOWN, VK_LEFT, 1);
  EXPECT_TRUE(::IsWindow(hEdit));
  grid.EndEditing();
  Pump();
}

TEST_F(GridEditTest, TheParentCanRefuseToStartOrToAcceptAnEdit) {
  MakeGrid(5, 4, 1, 1);
  grid.SetFocusCell(2, 2);
  parent.answerBeginEdit = -1;
  grid.SendMessage(WM_CHAR, 'q', 1);
  EXPECT_FALSE(grid.IsItemEditing(2, 2));
  Pump();

  parent.answerBeginEdit = 0;
  parent.answerEndEdit = -1;
  grid.SendMessage(WM_CHAR, 'q', 1);
  HWND hEdit = EditWindow(2, 2);
  ASSERT_NE(hEdit, nullptr);
  Pump();
  ::SendMessageW(hEdit, WM_CHAR, VK_RETURN, 1);
  Pump();
  EXPECT_EQ(grid.GetItemText(2, 2), CString(L"2,2"));
  EXPECT_FALSE(grid.IsItemEditing(2, 2));
}

TEST_F(GridEditTest, AnArrowKeyEndsTheEditAndEditingGoesOnInTheNextCell) {
  MakeGrid(5, 4, 1, 1);
  grid.SetFocusCell(1, 1);
  grid.SendMessage(WM_CHAR, 'z', 1);
  HWND hEdit = EditWindow(1, 1);
  ASSERT_NE(hEdit, nullptr);
  Pump();
  ::SendMessageW(hEdit, WM_KEYDOWN, VK_DOWN, 1);
  Pump();
  EXPECT_EQ(grid.GetItemText(1, 1), CString(L"z"));
  EXPECT_EQ(grid.GetFocusCell(), CGridCellId(2, 1));
  EXPECT_TRUE(grid.IsItemEditing(2, 1));
  HWND hNext = EditWindow(2, 1);
  ASSERT_NE(hNext, nullptr);
  EXPECT_EQ(WindowText(hNext), CString(L"2,1"));
  grid.EndEditing();
  Pump();
}

TEST_F(GridEditTest, EscapeRestoresTheTextButStillReportsTheEnd) {
  MakeGrid(5, 4, 1, 1);
  // The edit reports to whatever window it sits in; here the recording parent.
  CGridInPlaceEdit* pEdit =
      CGridInPlaceEdit::Open(&parent, CRect(10, 10, 110, 30), ES_LEFT, IDC_GRID_INPLACE_EDIT, 3, 2, L"before", VK_LBUTTON);
  ASSERT_NE(pEdit, nullptr);
  HWND hEdit = pEdit->GetSafeHwnd();
  ::SetWindowTextW(hEdit, L"after");
  ::SendMessageW(hEdit, WM_CHAR, VK_ESCAPE, 1);
  Pump();
  ASSERT_EQ(parent.endEditItems.size(), 1u);
  const GRID_ITEM& item = parent.endEditItems[0];
  EXPECT_EQ(item.strText, CString(L"before"));
  EXPECT_EQ(item.lParam, VK_ESCAPE);
  EXPECT_EQ(item.row, 3);
  EXPECT_EQ(item.col, 2);
  EXPECT_EQ(item.mask, static_cast<UINT>(GRIDIF_TEXT | GRIDIF_PARAM));
  EXPECT_FALSE(::IsWindow(hEdit));
}

TEST_F(GridEditTest, TabAndEnterAreReportedAsTheLastKey) {
  MakeGrid(5, 4, 1, 1);
  for (UINT key : {static_cast<UINT>(VK_TAB), static_cast<UINT>(VK_RETURN)}) {
    parent.Clear();
    CGridInPlaceEdit* pEdit =
        CGridInPlaceEdit::Open(&parent, CRect(10, 10, 110, 30), ES_LEFT, IDC_GRID_INPLACE_EDIT, 1, 1, L"t", 'k');
    ASSERT_NE(pEdit, nullptr);
    Pump();
    ::SendMessageW(pEdit->GetSafeHwnd(), WM_CHAR, key, 1);
    Pump();
    ASSERT_EQ(parent.endEditItems.size(), 1u);
    EXPECT_EQ(parent.endEditItems[0].lParam, static_cast<LPARAM>(key));
    EXPECT_EQ(parent.endEditItems[0].strText, CString(L"k"));
  }
}

TEST_F(GridEditTest, AnEditThatCannotBeCreatedLeavesTheCellUsable) {
  MakeGrid(5, 4, 1, 1);
  // No parent window: the edit cannot exist, and nothing is left behind.
  EXPECT_EQ(CGridInPlaceEdit::Open(nullptr, CRect(0, 0, 10, 10), ES_LEFT, 8, 1, 1, L"", 'a'), nullptr);
  CGridCtrl windowless(3, 3);
  CGridCellBase* pCell = windowless.GetCell(1, 1);
  EXPECT_FALSE(pCell->Edit(1, 1, CRect(0, 0, 40, 20), CPoint(0, 0), IDC_GRID_INPLACE_EDIT, 'a'));
  EXPECT_FALSE(pCell->IsEditing());
  // A second attempt is not taken for typing into an edit that does not exist.
  EXPECT_FALSE(pCell->Edit(1, 1, CRect(0, 0, 40, 20), CPoint(0, 0), IDC_GRID_INPLACE_EDIT, 'b'));
}

TEST_F(GridEditTest, TheEditGrowsWithItsText) {
  MakeGrid(5, 4, 1, 1);
  grid.SetFocusCell(1, 1);
  grid.SendMessage(WM_CHAR, 'w', 1);
  HWND hEdit = EditWindow(1, 1);
  ASSERT_NE(hEdit, nullptr);
  Pump();
  RECT before;
  ::GetWindowRect(hEdit, &before);
  for (const wchar_t* p = L"wwwwwwwwwwwwwwww"; *p; p++) ::SendMessageW(hEdit, WM_CHAR, *p, 1);
  RECT after;
  ::GetWindowRect(hEdit, &after);
  EXPECT_GT(after.right - after.left, before.right - before.left);
  EXPECT_LE(after.right, before.left + Client().right);
  grid.EndEditing();
  Pump();
}

TEST_F(GridEditTest, EnsureVisibleScrollsACellIntoViewAndKeepsTheFocus) {
  MakeGrid(30, 20, 1, 1);
  EXPECT_FALSE(grid.IsCellVisible(25, 15));
  grid.EnsureVisible(25, 15);
  EXPECT_TRUE(grid.IsCellVisible(25, 15));
  CRect rect;
  ASSERT_TRUE(grid.GetCellRect(25, 15, &rect));
  EXPECT_LE(rect.right, Client().right);
  EXPECT_LE(rect.bottom, Client().bottom);
  EXPECT_EQ(::GetFocus(), grid.GetSafeHwnd());
}

// ---- Title tips ----

class GridTitleTipTest : public GridEditTest {
 protected:
  HWND Tip() { return ::FindWindowW(GRID_TITLETIP_CLASSNAME, nullptr); }
  void HideTip() {
    if (auto* pTip = dynamic_cast<CGridTitleTip*>(CWnd::FromHandlePermanent(Tip()))) pTip->Hide();
  }
  CRect TipRect() {
    CRect rect;
    ::GetWindowRect(Tip(), &rect);
    return rect;
  }
};

TEST_F(GridTitleTipTest, ACutOffTextShowsInATip) {
  MakeGrid(5, 4, 1, 1);
  grid.SetItemText(2, 2, L"a text much too long for its cell");
  Mouse(WM_MOUSEMOVE, Centre(2, 2));
  ASSERT_NE(Tip(), nullptr);
  EXPECT_TRUE(::IsWindowVisible(Tip()));
  EXPECT_GT(TipRect().Width(), kWidth);
  EXPECT_EQ(::GetCapture(), Tip());
  HideTip();
  EXPECT_FALSE(::IsWindowVisible(Tip()));
}

TEST_F(GridTitleTipTest, AFittingTextShowsNoTip) {
  MakeGrid(5, 4, 1, 1);
  grid.SetItemText(2, 2, L"ok");
  Mouse(WM_MOUSEMOVE, Centre(2, 2));
  EXPECT_TRUE(Tip() == nullptr || !::IsWindowVisible(Tip()));
}

TEST_F(GridTitleTipTest, SemicolonsBreakLinesFifteenPixelsEach) {
  MakeGrid(5, 4, 1, 1);
  struct Case {
    const wchar_t* text;
    int height;
  } cases[] = {{L"ab;cd", 15}, {L"ab;cd;ef", 30}, {L"a;b;c;d", 45}};
  for (const Case& c : cases) {
    grid.SetItemText(2, 2, c.text);
    Mouse(WM_MOUSEMOVE, Centre(2, 2));
    ASSERT_NE(Tip(), nullptr);
    ASSERT_TRUE(::IsWindowVisible(Tip())) << CStringA(c.text).GetString();
    EXPECT_EQ(TipRect().Height(), c.height) << CStringA(c.text).GetString();
    auto* pTip = dynamic_cast<CGridTitleTip*>(CWnd::FromHandlePermanent(Tip()));
    ASSERT_NE(pTip, nullptr);
    EXPECT_GE(pTip->GetShownText().Find(L"\r\n"), 0);
    HideTip();
  }
}

TEST_F(GridTitleTipTest, LeavingTheCellHidesTheTip) {
  MakeGrid(5, 4, 1, 1);
  grid.SetItemText(2, 2, L"a text much too long for its cell");
  Mouse(WM_MOUSEMOVE, Centre(2, 2));
  ASSERT_TRUE(::IsWindowVisible(Tip()));
  // The tip holds the capture: the move arrives at the tip, in its own coordinates.
  CPoint away = Centre(4, 1);
  grid.ClientToScreen(&away);
  ::ScreenToClient(Tip(), &away);
  ::SendMessageW(Tip(), WM_MOUSEMOVE, 0, MAKELPARAM(away.x, away.y));
  EXPECT_FALSE(::IsWindowVisible(Tip()));
}

TEST_F(GridTitleTipTest, ADoubleClickOnTheTipReachesTheGrid) {
  MakeGrid(5, 4, 1, 1);
  grid.SetEditable(FALSE);
  grid.SetItemText(2, 2, L"a text much too long for its cell");
  auto clickTip = [&] {
    Mouse(WM_MOUSEMOVE, Centre(2, 2));
    ASSERT_TRUE(::IsWindowVisible(Tip()));
    CPoint point = Centre(2, 2);
    grid.ClientToScreen(&point);
    ::ScreenToClient(Tip(), &point);
    ::PostMessageW(Tip(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    Pump();
    Mouse(WM_LBUTTONUP, Centre(2, 2));
  };
  clickTip();
  EXPECT_EQ(grid.GetFocusCell(), CGridCellId(2, 2));
  parent.Clear();
  clickTip();
  ASSERT_FALSE(parent.notes.empty());
  EXPECT_EQ(parent.Codes().front(), kNmDblClk);
}

TEST_F(GridTitleTipTest, KeysOnTheTipGoToTheGrid) {
  MakeGrid(5, 4, 1, 1);
  grid.SetFocusCell(2, 2);
  grid.SetItemText(2, 2, L"a text much too long for its cell");
  Mouse(WM_MOUSEMOVE, Centre(2, 2));
  ASSERT_TRUE(::IsWindowVisible(Tip()));
  ::PostMessageW(Tip(), WM_KEYDOWN, VK_DOWN, 1);
  Pump();
  EXPECT_FALSE(::IsWindowVisible(Tip()));
  EXPECT_EQ(grid.GetFocusCell(), CGridCellId(3, 2));
}

}  // namespace
