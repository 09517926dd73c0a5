// Mouse and keyboard sent to a grid window, with the parent recording what it is told.
#include "GridWindowFixture.h"

using namespace gridtest;

namespace {

using Codes = std::vector<int>;

class GridInputTest : public GridWindowTest {};

TEST_F(GridInputTest, AClickNotifiesInOrderAndPostsACommand) {
  MakeGrid(6, 5, 1, 1);
  const CPoint point = Centre(2, 3);
  Mouse(WM_LBUTTONDOWN, point, MK_LBUTTON);
  EXPECT_EQ(parent.Codes(), Codes({GRIDN_SELCHANGING}));
  EXPECT_EQ(grid.GetFocusCell(), CGridCellId(2, 3));
  EXPECT_TRUE(grid.IsCellSelected(2, 3));
  Mouse(WM_LBUTTONUP, point);
  EXPECT_EQ(parent.Codes(), Codes({GRIDN_SELCHANGING, GRIDN_SELCHANGED, kNmClick}));
  for (const Note& note : parent.notes) EXPECT_EQ(CGridCellId(note.row, note.col), CGridCellId(2, 3));
  Pump();
  ASSERT_EQ(parent.commands.size(), 1u);
  EXPECT_EQ(LOWORD(parent.commands[0]), kGridId);
  EXPECT_EQ(HIWORD(parent.commands[0]), 0);
  EXPECT_EQ(grid.GetMouseMode(), CGridCtrl::MOUSE_NOTHING);
}

TEST_F(GridInputTest, DraggingSelectsTheRectangleFromTheStartCell) {
  MakeGrid(6, 5, 1, 1);
  Mouse(WM_LBUTTONDOWN, Centre(1, 1), MK_LBUTTON);
  Mouse(WM_MOUSEMOVE, Centre(3, 2), MK_LBUTTON);
  Mouse(WM_LBUTTONUP, Centre(3, 2));
  EXPECT_EQ(grid.GetSelectedCount(), 6);
  EXPECT_EQ(grid.GetSelectedCellRange(), CGridCellRange(1, 1, 3, 2));
  EXPECT_EQ(grid.GetFocusCell(), CGridCellId(3, 2));
}

TEST_F(GridInputTest, ShiftClickExtendsFromTheFocusCell) {
  MakeGrid(6, 5, 1, 1);
  Click(Centre(1, 1));
  {
    CHeldKeys shift({VK_SHIFT});
    Click(Centre(2, 3), MK_SHIFT);
  }
  EXPECT_EQ(grid.GetSelectedCellRange(), CGridCellRange(1, 1, 2, 3));
}

TEST_F(GridInputTest, ClickingTheFocusCellTextEditsOnReleaseNotOnPress) {
  MakeGrid(6, 5, 1, 1);
  Click(Centre(2, 2));
  parent.Clear();
  Mouse(WM_LBUTTONDOWN, Centre(2, 2), MK_LBUTTON);
  EXPECT_EQ(grid.GetMouseMode(), CGridCtrl::MOUSE_PREPARE_EDIT);
  EXPECT_FALSE(grid.IsItemEditing(2, 2));
  Mouse(WM_LBUTTONUP, Centre(2, 2));
  EXPECT_TRUE(grid.IsItemEditing(2, 2));
  EXPECT_EQ(parent.Codes(), Codes({GRIDN_BEGINLABELEDIT}));
  grid.EndEditing();
  Pump();
  EXPECT_FALSE(grid.IsItemEditing(2, 2));
}

TEST_F(GridInputTest, AReadOnlyGridDoesNotEdit) {
  MakeGrid(6, 5, 1, 1);
  grid.SetEditable(FALSE);
  Click(Centre(2, 2));
  Click(Centre(2, 2));
  grid.SendMessage(WM_CHAR, 'x', 1);
  EXPECT_FALSE(grid.IsItemEditing(2, 2));
  EXPECT_EQ(grid.GetItemText(2, 2), CString(L"2,2"));
}

TEST_F(GridInputTest, ClickingTheFocusCellOfAReadOnlyGridIsAnotherClick) {
  MakeGrid(6, 5, 1, 1);
  grid.SetEditable(FALSE);
  Click(Centre(2, 2));
  parent.Clear();
  Click(Centre(2, 2));
  EXPECT_EQ(parent.Codes(), Codes({GRIDN_SELCHANGING, GRIDN_SELCHANGED, kNmClick}));
  EXPECT_EQ(grid.GetFocusCell(), CGridCellId(2, 2));
  EXPECT_EQ(grid.GetSelectedCount(), 1);
}

TEST_F(GridInputTest, ControlClickOnASelectedCellDeselectsFromTheStart) {
  MakeGrid(6, 5, 1, 1);
  Click(Centre(1, 1));
  grid.SetSelectedRange(1, 1, 3, 3);
  ASSERT_EQ(grid.GetSelectedCount(), 9);
  {
    CHeldKeys ctrl({VK_CONTROL});
    Click(Centre(2, 2), MK_CONTROL);
  }
  EXPECT_EQ(grid.GetSelectedCount(), 8);
  EXPECT_FALSE(grid.IsCellSelected(2, 2));
  {
    // With Shift the start stays at (2,2): the block (2,2)-(3,3) goes.
    CHeldKeys keys({VK_CONTROL, VK_SHIFT});
    Click(Centre(3, 3), MK_CONTROL | MK_SHIFT);
  }
  EXPECT_EQ(grid.GetSelectedCount(), 5);
  EXPECT_TRUE(grid.IsCellSelected(1, 3));
  EXPECT_FALSE(grid.IsCellSelected(3, 2));
}

TEST_F(GridInputTest, AReleasedClickOnASelectedCellWithDragAndDropClearsTheSelection) {
  MakeGrid(6, 5, 1, 1);
  grid.SetDragAndDrop(TRUE);
  grid.SetSelectedRange(1, 1, 2, 2);
  parent.Clear();
  Mouse(WM_LBUTTONDOWN, Centre(1, 1), MK_LBUTTON);
  EXPECT_EQ(grid.GetMouseMode(), CGridCtrl::MOUSE_PREPARE_DRAG);
  Mouse(WM_LBUTTONUP, Centre(1, 1));
  EXPECT_EQ(parent.Codes(), Codes({kNmClick, GRIDN_SELCHANGING, GRIDN_SELCHANGED}));
  EXPECT_EQ(parent.notes.back().row, -1);
  EXPECT_EQ(grid.GetSelectedCount(), 0);
  EXPECT_EQ(grid.GetFocusCell(), CGridCellId(-1, -1));
}

TEST_F(GridInputTest, RightClicks) {
  MakeGrid(4, 3, 1, 1);
  grid.SetFocusCell(2, 2);
  Mouse(WM_RBUTTONUP, CPoint(250, 150));  // outside the cells
  EXPECT_EQ(parent.Codes(), Codes({kNmRClick}));
  EXPECT_EQ(parent.notes[0].row, -1);
  EXPECT_EQ(parent.notes[0].col, -1);
  EXPECT_EQ(grid.GetFocusCell(), CGridCellId(2, 2));

  parent.Clear();
  Mouse(WM_RBUTTONUP, Centre(0, 1));  // a header: the focus goes to the first body row
  EXPECT_EQ(parent.Codes(), Codes({kNmRClick}));
  EXPECT_EQ(CGridCellId(parent.notes[0].row, parent.notes[0].col), CGridCellId(0, 1));
  EXPECT_EQ(grid.GetFocusCell(), CGridCellId(1, 1));
}

TEST_F(GridInputTest, DoubleClickNotifiesAndEdits) {
  MakeGrid(4, 3, 1, 1);
  Click(Centre(2, 1));
  parent.Clear();
  Mouse(WM_LBUTTONDBLCLK, Centre(2, 1), MK_LBUTTON);
  EXPECT_EQ(parent.Codes(), Codes({GRIDN_BEGINLABELEDIT, kNmDblClk}));
  EXPECT_TRUE(grid.IsItemEditing(2, 1));
  grid.EndEditing();
  Pump();
}

TEST_F(GridInputTest, HeaderClicksSelectRowsColumnsOrAll) {
  MakeGrid(5, 4, 1, 1);
  Click(Centre(0, 2));
  EXPECT_EQ(grid.GetSelectedCellRange(), CGridCellRange(1, 2, 4, 2));
  Click(Centre(3, 0));
  EXPECT_EQ(grid.GetSelectedCellRange(), CGridCellRange(3, 1, 3, 3));
  Click(Centre(0, 0));
  EXPECT_EQ(grid.GetSelectedCount(), 4 * 3);
}

TEST_F(GridInputTest, HeaderClicksSortWhenAsked) {
  MakeGrid(5, 3, 1, 1);
  const wchar_t* texts[] = {L"c", L"a", L"d", L"b"};
  for (int row = 1; row <= 4; row++) grid.SetItemText(row, 1, texts[row - 1]);
  grid.SetSortOnHeaderClick(TRUE);
  Click(Centre(0, 1));
  EXPECT_EQ(grid.GetSortColumn(), 1);
  EXPECT_TRUE(grid.GetSortAscending());
  EXPECT_EQ(grid.GetItemText(1, 1), CString(L"a"));
  Click(Centre(0, 1));
  EXPECT_FALSE(grid.GetSortAscending());
  EXPECT_EQ(grid.GetItemText(1, 1), CString(L"d"));
  EXPECT_EQ(grid.GetItemText(0, 1), CString(L"0,1"));  // the header row stays
}

// ---- Keys ----

struct KeyCase {
  const char* name;
  CGridCellId start;
  std::vector<int> held;
  UINT key;
  CGridCellId expected;
};

class GridKeyTest : public GridWindowTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(GridKeyTest, MovesTheFocus) {
  const KeyCase& c = GetParam();
  MakeGrid(5, 5, 1, 1);
  grid.SetFocusCell(c.start);
  parent.Clear();
  {
    CHeldKeys held(c.held);
    Key(c.key);
  }
  EXPECT_EQ(grid.GetFocusCell(), c.expected);
  if (c.expected == c.start) {
    EXPECT_TRUE(parent.notes.empty());
  } else {
    EXPECT_EQ(parent.Codes(), Codes({GRIDN_SELCHANGING, GRIDN_SELCHANGED}));
    EXPECT_EQ(CGridCellId(parent.notes[0].row, parent.notes[0].col), c.expected);
    EXPECT_TRUE(grid.IsCellSelected(c.expected));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, GridKeyTest,
    ::testing::Values(KeyCase{"Down", CGridCellId(1, 1), {}, VK_DOWN, CGridCellId(2, 1)},
                      KeyCase{"UpAtTop", CGridCellId(1, 1), {}, VK_UP, CGridCellId(1, 1)},
                      KeyCase{"Right", CGridCellId(1, 1), {}, VK_RIGHT, CGridCellId(1, 2)},
                      KeyCase{"LeftAtFirst", CGridCellId(2, 1), {}, VK_LEFT, CGridCellId(2, 1)},
                      KeyCase{"TabWraps", CGridCellId(1, 4), {}, VK_TAB, CGridCellId(2, 1)},
                      KeyCase{"TabAtLastCell", CGridCellId(4, 4), {}, VK_TAB, CGridCellId(4, 4)},
                      KeyCase{"ShiftTabAtFirstCell", CGridCellId(1, 1), {VK_SHIFT}, VK_TAB, CGridCellId(1, 1)},
                      KeyCase{"ShiftTabWrapsBack", CGridCellId(2, 1), {VK_SHIFT}, VK_TAB, CGridCellId(1, 4)},
                      KeyCase{"PriorAtTop", CGridCellId(3, 2), {}, VK_PRIOR, CGridCellId(1, 2)},
                      KeyCase{"NextWhenAllFit", CGridCellId(1, 2), {}, VK_NEXT, CGridCellId(4, 2)},
                      KeyCase{"Home", CGridCellId(3, 3), {}, VK_HOME, CGridCellId(3, 1)},
                      KeyCase{"CtrlHome", CGridCellId(3, 3), {VK_CONTROL}, VK_HOME, CGridCellId(1, 1)},
                      KeyCase{"End", CGridCellId(2, 2), {}, VK_END, CGridCellId(2, 4)},
                      KeyCase{"CtrlEnd", CGridCellId(2, 2), {VK_CONTROL}, VK_END, CGridCellId(4, 4)}),
    [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST_F(GridInputTest, ArrowKeysStepOverHiddenRowsAndColumns) {
  MakeGrid(6, 6, 1, 1);
  grid.SetRowHeight(2, 0);
  grid.SetColumnWidth(3, 0);
  grid.SetFocusCell(1, 2);
  Key(VK_DOWN);
  EXPECT_EQ(grid.GetFocusCell(), CGridCellId(3, 2));
  Key(VK_RIGHT);
  EXPECT_EQ(grid.GetFocusCell(), CGridCellId(3, 4));
}

TEST_F(GridInputTest, ShiftArrowExtendsTheSelection) {
  MakeGrid(6, 6, 1, 1);
  Click(Centre(1, 1));
  CHeldKeys shift({VK_SHIFT});
  Key(VK_DOWN);
  Key(VK_RIGHT);
  EXPECT_EQ(grid.GetSelectedCellRange(), CGridCellRange(1, 1, 2, 2));
}

TEST_F(GridInputTest, MovingOffTheScreenScrollsTheFocusIntoView) {
  MakeGrid(40, 20, 1, 1);
  grid.SetFocusCell(1, 1);
  for (int i = 0; i < 25; i++) Key(VK_DOWN);
  EXPECT_EQ(grid.GetFocusCell(), CGridCellId(26, 1));
  EXPECT_TRUE(grid.IsCellVisible(26, 1));
  EXPECT_GT(grid.GetScrollPosition(SB_VERT), 0);
  Key(VK_END);
  EXPECT_TRUE(grid.IsCellVisible(26, 19));
}

TEST_F(GridInputTest, WithoutAFocusCellKeysDoNothing) {
  MakeGrid(4, 4, 1, 1);
  Key(VK_DOWN);
  EXPECT_EQ(grid.GetFocusCell(), CGridCellId(-1, -1));
  EXPECT_TRUE(parent.notes.empty());
}

TEST_F(GridInputTest, TheGridAsksForArrowsCharactersAndTab) {
  MakeGrid(4, 4, 1, 1);
  EXPECT_EQ(grid.SendMessage(WM_GETDLGCODE), static_cast<LRESULT>(DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB));
  grid.SetHandleTabKey(FALSE);
  EXPECT_EQ(grid.SendMessage(WM_GETDLGCODE), static_cast<LRESULT>(DLGC_WANTARROWS | DLGC_WANTCHARS));
}

// ---- The wheel ----

TEST_F(GridInputTest, WheelScrollsLinesOrPages) {
  MakeGrid(60, 3, 1, 1);
  grid.SetWheelScrollLines(3);
  CPoint screen = Centre(3, 1);
  grid.ClientToScreen(&screen);
  auto wheel = [&](short delta) {
    grid.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(screen.x, screen.y));
    Pump();
  };
  wheel(-60);
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), 1 * kHeight);
  wheel(-120);
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), 4 * kHeight);
  wheel(120);
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), 1 * kHeight);

  grid.SetWheelScrollLines(-1);
  wheel(-240);
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), 1 * kHeight + 2 * (Client().bottom - kHeight));
}

// ---- Resizing with the mouse ----

struct ResizeCase {
  const char* name;
  CPoint down;
  CPoint up;
  bool column;
  int index;
  int expected;
};

class GridResizeTest : public GridWindowTest, public ::testing::WithParamInterface<ResizeCase> {};

TEST_P(GridResizeTest, DraggingADividerSizes) {
  const ResizeCase& c = GetParam();
  MakeGrid(6, 6, 1, 1);
  Mouse(WM_MOUSEMOVE, c.down);
  EXPECT_EQ(grid.GetMouseMode(), c.column ? CGridCtrl::MOUSE_OVER_COL_DIVIDE : CGridCtrl::MOUSE_OVER_ROW_DIVIDE);
  Mouse(WM_LBUTTONDOWN, c.down, MK_LBUTTON);
  EXPECT_EQ(grid.GetMouseMode(), c.column ? CGridCtrl::MOUSE_SIZING_COL : CGridCtrl::MOUSE_SIZING_ROW);
  Mouse(WM_MOUSEMOVE, c.up, MK_LBUTTON);
  Mouse(WM_LBUTTONUP, c.up);
  ::ClipCursor(nullptr);
  EXPECT_EQ(c.column ? grid.GetColumnWidth(c.index) : grid.GetRowHeight(c.index), c.expected);
  EXPECT_EQ(grid.GetMouseMode(), CGridCtrl::MOUSE_NOTHING);
  EXPECT_TRUE(parent.notes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Dividers, GridResizeTest,
    ::testing::Values(
        // Near the right edge of column 2's header: column 2 is sized.
        ResizeCase{"RightEdgeOfColumn", {149, 10}, {179, 10}, true, 2, 79},
        // Near the left edge of column 2's header: the column before is sized.
        ResizeCase{"LeftEdgeOfColumn", {101, 10}, {130, 10}, true, 1, 80},
        // Near the bottom of row 2's header cell.
        ResizeCase{"BottomEdgeOfRow", {10, 59}, {10, 80}, false, 2, 40},
        // Dragged onto the column's own left edge: it is hidden.
        ResizeCase{"DraggedToZero", {149, 10}, {100, 10}, true, 2, 0}),
    [](const ::testing::TestParamInfo<ResizeCase>& info) { return std::string(info.param.name); });

TEST_F(GridInputTest, DoubleClickingADividerAutoSizes) {
  MakeGrid(6, 6, 1, 1);
  grid.SetItemText(3, 2, L"quite a bit wider than fifty pixels");
  Mouse(WM_MOUSEMOVE, CPoint(149, 10));
  Mouse(WM_LBUTTONDBLCLK, CPoint(149, 10), MK_LBUTTON);
  CClientDC dc(&grid);
  EXPECT_EQ(grid.GetColumnWidth(2), grid.GetCell(3, 2)->GetCellExtent(&dc).cx);
}

TEST_F(GridInputTest, TheCursorFollowsTheDividers) {
  MakeGrid(6, 6, 1, 1);
  Mouse(WM_MOUSEMOVE, CPoint(149, 10));
  EXPECT_EQ(grid.GetMouseMode(), CGridCtrl::MOUSE_OVER_COL_DIVIDE);
  grid.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(grid.GetSafeHwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_SIZEWE));
  Mouse(WM_MOUSEMOVE, Centre(2, 2));
  EXPECT_EQ(grid.GetMouseMode(), CGridCtrl::MOUSE_NOTHING);
}

TEST_F(GridInputTest, SelectingCanBeSwitchedOff) {
  MakeGrid(4, 4, 1, 1);
  grid.EnableSelection(FALSE);
  Click(Centre(2, 2));
  EXPECT_EQ(grid.GetSelectedCount(), 0);
  EXPECT_FALSE(grid.IsCellSelected(2, 2));
}

TEST_F(GridInputTest, ListModeSelectsWholeRows) {
  MakeGrid(5, 4, 1, 1);
  grid.SetListMode(TRUE);
  Click(Centre(2, 2));
  EXPECT_EQ(grid.GetSelectedCellRange(), CGridCellRange(2, 1, 2, 3));
}

}  // namespace
