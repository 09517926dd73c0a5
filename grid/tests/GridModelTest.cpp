// The grid's data: counts, sizes, items, cells, modified marks, the selection store.
#include <gtest/gtest.h>

#include "GridTestSupport.h"

using gridtest::CRecorderWnd;

namespace {

CString Text(const CGridCtrl& grid, int row, int col) { return grid.GetItemText(row, col); }

// These tests run beside others on the display: a window they need stays hidden, so that it
// neither takes the focus nor covers what other tests look at.
constexpr DWORD kHiddenParent = WS_POPUP | WS_CLIPCHILDREN;

TEST(GridModel, ConstructionAppliesCountsAndMarksFixedCells) {
  CGridCtrl grid(10, 5, 1, 2);
  EXPECT_EQ(grid.GetRowCount(), 10);
  EXPECT_EQ(grid.GetColumnCount(), 5);
  EXPECT_EQ(grid.GetFixedRowCount(), 1);
  EXPECT_EQ(grid.GetFixedColumnCount(), 2);

  struct Case {
    int row, col;
    UINT bits;
  } cases[] = {
      {0, 0, GRIDIS_FIXED | GRIDIS_FIXEDROW | GRIDIS_FIXEDCOL},
      {0, 3, GRIDIS_FIXED | GRIDIS_FIXEDROW},
      {4, 1, GRIDIS_FIXED | GRIDIS_FIXEDCOL},
      {4, 2, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(grid.GetItemState(c.row, c.col) & (GRIDIS_FIXED | GRIDIS_FIXEDROW | GRIDIS_FIXEDCOL), c.bits)
        << c.row << "," << c.col;
  }
  EXPECT_EQ(grid.GetCell(9, 4)->GetFormat(), grid.GetDefaultCell(FALSE, FALSE)->GetFormat());
  EXPECT_EQ(grid.GetDefaultCell(FALSE, FALSE)->GetBackClr(), ::GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(grid.GetDefaultCell(TRUE, TRUE)->GetBackClr(), ::GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(grid.GetBackgroundColour(), ::GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(grid.GetGridLineColour(), RGB(0xC0, 0xC0, 0xC0));
  EXPECT_EQ(grid.GetFocusCell(), CGridCellId(-1, -1));
}

TEST(GridModel, IndexesOutsideTheGridAreRefused) {
  CGridCtrl grid(3, 3);
  EXPECT_EQ(grid.GetRowHeight(-1), -1);
  EXPECT_EQ(grid.GetColumnWidth(3), -1);
  EXPECT_EQ(grid.GetCell(3, 0), nullptr);
  EXPECT_EQ(grid.GetCell(0, 3), nullptr);
  EXPECT_FALSE(grid.SetItemText(3, 0, L"x"));
  EXPECT_FALSE(grid.SetItemText(0, -1, L"x"));
  EXPECT_EQ(grid.GetItemText(5, 5), CString());
  EXPECT_EQ(grid.GetItemData(-1, 0), 0);
  EXPECT_FALSE(grid.SetItem(nullptr));
  EXPECT_FALSE(grid.SetRowHeight(0, -1));
  EXPECT_TRUE(grid.SetRowHeight(0, 0));
  EXPECT_EQ(grid.GetRowHeight(0), 0);
  EXPECT_FALSE(grid.SetRowCount(-4));
}

TEST(GridModel, BadArgumentsAreRefusedWithoutHarm) {
  CGridCtrl grid(3, 3, 1, 1);
  EXPECT_FALSE(grid.Create(CRect(0, 0, 100, 100), nullptr, 1, WS_CHILD));  // a child needs a parent
  EXPECT_EQ(grid.GetSafeHwnd(), nullptr);
  EXPECT_FALSE(grid.SetFixedRowCount(-1));
  EXPECT_FALSE(grid.SetFixedColumnCount(-2));
  EXPECT_FALSE(grid.SetColumnWidth(-1, 10));
  EXPECT_FALSE(grid.SetDefaultCellType(nullptr));
  EXPECT_FALSE(grid.SetDefaultCellType(RUNTIME_CLASS(CGridCtrl)));
  EXPECT_FALSE(grid.SortTextItems(-1, TRUE));
  EXPECT_FALSE(grid.PasteTextAt(1, 1, nullptr, TRUE));
  EXPECT_FALSE(grid.SetItemState(7, 7, GRIDIS_SELECTED));
  EXPECT_EQ(grid.GetSelectedCount(), 0);
  EXPECT_EQ(grid.GetRowCount(), 3);
  EXPECT_EQ(grid.GetFixedRowCount(), 1);
}

TEST(GridModel, SettingTheSameRowCountChangesNothing) {
  CGridCtrl grid(4, 4);
  grid.SetModified(FALSE);
  EXPECT_TRUE(grid.SetRowCount(4));
  EXPECT_FALSE(grid.IsModified());
  EXPECT_TRUE(grid.SetRowCount(5));
  EXPECT_TRUE(grid.IsModified());
}

TEST(GridModel, GrowingFixedRowsBeyondTheRowCountAddsFixedRows) {
  CGridCtrl grid(2, 3);
  grid.SetItemBkColour(1, 1, RGB(1, 2, 3));
  ASSERT_TRUE(grid.SetFixedRowCount(4));
  EXPECT_EQ(grid.GetRowCount(), 4);
  for (int row = 0; row < 4; row++) {
    EXPECT_TRUE(grid.GetItemState(row, 1) & GRIDIS_FIXEDROW);
    EXPECT_EQ(grid.GetItemBkColour(row, 1), CLR_DEFAULT);
  }
  // And back: the cells lose the fixed-row marks again.
  ASSERT_TRUE(grid.SetFixedRowCount(1));
  EXPECT_EQ(grid.GetItemState(2, 1) & (GRIDIS_FIXED | GRIDIS_FIXEDROW), 0u);
}

TEST(GridModel, ShrinkingRowsBelowTheFixedCountCutsIt) {
  CGridCtrl grid(6, 2, 3, 0);
  ASSERT_TRUE(grid.SetRowCount(2));
  EXPECT_EQ(grid.GetFixedRowCount(), 2);
  EXPECT_EQ(grid.GetRowCount(), 2);
}

TEST(GridModel, SetItemAppliesMaskedFieldsAndMarksModified) {
  CGridCtrl grid(3, 3, 1, 0);
  grid.SetSortColumn(1);
  grid.SetModified(FALSE);

  GRID_ITEM item;
  item.row = 2;
  item.col = 1;
  item.mask = 0;
  ASSERT_TRUE(grid.SetItem(&item));
  EXPECT_TRUE(grid.IsModified());
  EXPECT_TRUE(grid.IsModified(2, 1));
  EXPECT_EQ(grid.GetSortColumn(), -1);

  item.mask = GRIDIF_TEXT | GRIDIF_FORMAT | GRIDIF_IMAGE | GRIDIF_PARAM | GRIDIF_FGCLR;
  item.strText = L"card";
  item.nFormat = DT_WORDBREAK;
  item.iImage = 4;
  item.lParam = 77;
  item.crFgClr = RGB(9, 8, 7);
  ASSERT_TRUE(grid.SetItem(&item));
  EXPECT_EQ(Text(grid, 2, 1), CString(L"card"));
  EXPECT_EQ(grid.GetItemFormat(2, 1), static_cast<UINT>(DT_WORDBREAK));
  EXPECT_EQ(grid.GetItemImage(2, 1), 4);
  EXPECT_EQ(grid.GetItemData(2, 1), 77);
  EXPECT_EQ(grid.GetItemFgColour(2, 1), RGB(9, 8, 7));
  EXPECT_EQ(grid.GetItemBkColour(2, 1), CLR_DEFAULT);  // not in the mask

  item.mask = GRIDIF_STATE;
  item.nState = GRIDIS_SELECTED;
  ASSERT_TRUE(grid.SetItem(&item));
  EXPECT_EQ(grid.GetSelectedCount(), 1);
}

TEST(GridModel, ColourAndFontSettersLeaveTheModifiedMarksAlone) {
  CGridCtrl grid(3, 3);
  grid.SetModified(FALSE);
  LOGFONTW lf = *grid.GetDefaultCell(FALSE, FALSE)->GetFont();
  lf.lfWeight = FW_BOLD;
  EXPECT_TRUE(grid.SetItemBkColour(1, 1, RGB(1, 1, 1)));
  EXPECT_TRUE(grid.SetItemFgColour(1, 1, RGB(2, 2, 2)));
  EXPECT_TRUE(grid.SetItemFont(1, 1, &lf));
  EXPECT_FALSE(grid.IsModified());
  EXPECT_FALSE(grid.IsModified(1, 1));
  EXPECT_EQ(grid.GetItemFont(1, 1)->lfWeight, FW_BOLD);
  // A null font goes back to the default cell's.
  EXPECT_TRUE(grid.SetItemFont(1, 1, nullptr));
  EXPECT_EQ(grid.GetItemFont(1, 1)->lfWeight, grid.GetDefaultCell(FALSE, FALSE)->GetFont()->lfWeight);
}

TEST(GridModel, ClearingTheGridWideMarkClearsEveryCellMark) {
  CGridCtrl grid(3, 3);
  grid.SetItemText(1, 1, L"a");
  grid.SetItemText(2, 2, L"b");
  EXPECT_TRUE(grid.IsModified(1, 1));
  grid.SetModified(FALSE, 1, 1);
  EXPECT_FALSE(grid.IsModified(1, 1));
  EXPECT_TRUE(grid.IsModified(2, 2));
  grid.SetModified(FALSE);
  EXPECT_FALSE(grid.IsModified(2, 2));
}

TEST(GridModel, DeleteAllItemsEmptiesEverything) {
  CGridCtrl grid(5, 5, 1, 1);
  grid.SetFocusCell(2, 2);
  ASSERT_TRUE(grid.DeleteAllItems());
  EXPECT_EQ(grid.GetRowCount(), 0);
  EXPECT_EQ(grid.GetColumnCount(), 0);
  EXPECT_EQ(grid.GetFixedRowCount(), 0);
  EXPECT_EQ(grid.GetFixedColumnCount(), 0);
  EXPECT_EQ(grid.GetFocusCell(), CGridCellId(-1, -1));
  EXPECT_EQ(grid.GetVirtualHeight(), 0);
  EXPECT_EQ(grid.GetVirtualWidth(), 0);
}

TEST(GridModel, VirtualSizesFollowEveryChange) {
  CGridCtrl grid(0, 0);
  grid.SetRowCount(4);
  grid.SetColumnCount(3);
  long height = 0, width = 0;
  for (int i = 0; i < 4; i++) height += grid.GetRowHeight(i);
  for (int i = 0; i < 3; i++) width += grid.GetColumnWidth(i);
  EXPECT_EQ(grid.GetVirtualHeight(), height);
  EXPECT_EQ(grid.GetVirtualWidth(), width);

  grid.SetRowHeight(2, 100);
  grid.SetColumnWidth(0, 7);
  grid.SetRowCount(3);
  grid.SetColumnCount(2);
  EXPECT_EQ(grid.GetVirtualHeight(), grid.GetRowHeight(0) + grid.GetRowHeight(1) + 100);
  EXPECT_EQ(grid.GetVirtualWidth(), 7 + grid.GetColumnWidth(1));
}

TEST(GridModel, ColumnsAddedAfterCreateTakeTheFixedColumnWidth) {
  CRecorderWnd parent;
  ASSERT_TRUE(parent.CreateAt(CRect(0, 0, 300, 200), kHiddenParent));
  CGridCtrl grid(3, 2);
  grid.GetDefaultCell(FALSE, TRUE);
  static_cast<CGridDefaultCell*>(grid.GetDefaultCell(FALSE, FALSE))->SetWidth(33);
  static_cast<CGridDefaultCell*>(grid.GetDefaultCell(FALSE, FALSE))->SetHeight(17);
  static_cast<CGridDefaultCell*>(grid.GetDefaultCell(FALSE, TRUE))->SetWidth(55);
  ASSERT_TRUE(grid.Create(CRect(0, 0, 200, 100), &parent, 1));
  EXPECT_EQ(grid.GetColumnWidth(1), 33);
  EXPECT_EQ(grid.GetRowHeight(2), 17);
  grid.SetColumnCount(3);
  EXPECT_EQ(grid.GetColumnWidth(2), 55);
  EXPECT_EQ(grid.GetVirtualWidth(), 33 + 33 + 55);
}

// ---- The selection store ----

TEST(GridSelection, TheKeyPacksSixteenBitsOfColumnAboveSixteenBitsOfRow) {
  EXPECT_EQ(CGridSelectionMap::MakeKey(3, 2), 0x00020003u);
  EXPECT_EQ(CGridSelectionMap::MakeKey(65537, 1), CGridSelectionMap::MakeKey(1, 1));
}

TEST(GridSelection, PositionsThatShareAKeyStayApart) {
  // Rows 1 and 65,537 pack to the same key; selecting one must not select the other, and
  // deselecting one must leave the other selected.
  CGridCtrl grid(65538, 1);
  grid.SetItemState(1, 0, GRIDIS_SELECTED);
  EXPECT_TRUE(grid.IsCellSelected(1, 0));
  EXPECT_FALSE(grid.IsCellSelected(65537, 0));
  grid.SetItemState(65537, 0, GRIDIS_SELECTED);
  EXPECT_EQ(grid.GetSelectedCount(), 2);
  grid.SetItemState(1, 0, 0);
  EXPECT_EQ(grid.GetSelectedCount(), 1);
  EXPECT_TRUE(grid.GetSelectedCells().Contains(CGridCellId(65537, 0)));
  const CGridCellRange range = grid.GetSelectedCellRange();
  EXPECT_EQ(range.GetMinRow(), 65537);
  EXPECT_EQ(range.GetMaxRow(), 65537);
}

TEST(GridSelection, AnEmptySelectionGivesAnInvalidRange) {
  CGridCtrl grid(4, 5);
  const CGridCellRange range = grid.GetSelectedCellRange();
  EXPECT_EQ(range, CGridCellRange(4, 5, -1, -1));
  EXPECT_FALSE(grid.IsValid(range));
}

TEST(GridSelection, RangesAreRaisedOutOfTheFixedCells) {
  CGridCtrl grid(5, 5, 1, 1);
  grid.SetSelectedRange(0, 0, 2, 2);
  EXPECT_EQ(grid.GetSelectedCount(), 4);
  EXPECT_FALSE(grid.IsCellSelected(0, 0));
  EXPECT_TRUE(grid.IsCellSelected(1, 1));
  // Deselecting a part leaves the rest.
  grid.SetSelectedRange(1, 1, 1, 2, FALSE, FALSE);
  EXPECT_EQ(grid.GetSelectedCount(), 2);
  grid.ResetSelectedRange();
  EXPECT_EQ(grid.GetSelectedCount(), 0);
}

// ---- Cells that could not be made ----

// A cell class whose creation runs out of memory after a set number of cells.
int g_cellBudget = 0;
CObject* PASCAL CreateRationedCell() {
  if (g_cellBudget-- <= 0) AfxThrowMemoryException();
  return new CGridCell;
}
CRuntimeClass g_rationedCellClass = {"CRationedCell", sizeof(CGridCell), 0xFFFF, &CreateRationedCell,
                                      RUNTIME_CLASS(CGridCell), nullptr};

TEST(GridModel, RunningOutOfMemoryWhileAddingRowsKeepsTheCompletedRows) {
  CGridCtrl grid(0, 3);
  ASSERT_TRUE(grid.SetDefaultCellType(&g_rationedCellClass));
  g_cellBudget = 7;  // two whole rows and one cell of the third
  EXPECT_FALSE(grid.SetRowCount(5));
  EXPECT_EQ(grid.GetRowCount(), 2);
  EXPECT_EQ(grid.GetRowHeight(2), -1);
  EXPECT_TRUE(grid.SetItemText(1, 2, L"ok"));
}

TEST(GridModel, CellsMissingAfterAMemoryFailureArePaintedAsEmpty) {
  CRecorderWnd parent;
  ASSERT_TRUE(parent.CreateAt(CRect(0, 0, 400, 300), kHiddenParent));
  CGridCtrl grid(4, 2, 1, 1);
  ASSERT_TRUE(grid.Create(CRect(0, 0, 380, 280), &parent, 1));
  ASSERT_TRUE(grid.SetDefaultCellType(&g_rationedCellClass));
  g_cellBudget = 5;  // the new columns get five of their eight cells
  EXPECT_FALSE(grid.SetColumnCount(4));
  EXPECT_EQ(grid.GetColumnCount(), 4);
  EXPECT_EQ(grid.GetCell(3, 3), nullptr);
  EXPECT_FALSE(grid.SetItemText(3, 3, L"x"));
  EXPECT_EQ(grid.GetItemText(3, 3), CString());

  // Every reader of the store copes with the holes.
  gridtest::CSnapshot shot(400, 300);
  grid.OnDraw(&shot.DC());
  grid.SelectAllCells();
  EXPECT_EQ(grid.GetSelectedCount(), 3 * 3 - 3);
  EXPECT_TRUE(grid.AutoSizeColumn(3));
  EXPECT_TRUE(grid.SortTextItems(3, TRUE));
  EXPECT_TRUE(grid.DeleteAllItems());
}

// ---- Cells ----

TEST(GridCells, DefaultCellsAreReadOnlyTemplates) {
  CGridCtrl grid(1, 1);
  CGridCellBase* pDefault = grid.GetDefaultCell(FALSE, FALSE);
  EXPECT_TRUE(pDefault->GetState() & GRIDIS_READONLY);
  pDefault->SetState(GRIDIS_SELECTED);
  EXPECT_FALSE(pDefault->GetState() & GRIDIS_SELECTED);
  pDefault->SetData(42);
  EXPECT_EQ(pDefault->GetData(), 0);
  EXPECT_EQ(pDefault->GetFormat(),
            static_cast<DWORD>(DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS));
  ASSERT_NE(pDefault->GetFont(), nullptr);
  EXPECT_NE(pDefault->GetFontObject(), nullptr);
}

TEST(GridCells, ACellWithoutValuesOfItsOwnTakesTheDefaultCells) {
  CGridCtrl grid(2, 2, 1, 0);
  CGridCellBase* pCell = grid.GetCell(1, 1);
  static_cast<CGridCell*>(pCell)->SetFormat(0xFFFFFFFF);
  EXPECT_EQ(pCell->GetFormat(), grid.GetDefaultCell(FALSE, FALSE)->GetFormat());
  EXPECT_EQ(pCell->GetMargin(), grid.GetDefaultCell(FALSE, FALSE)->GetMargin());
  EXPECT_EQ(pCell->GetFont(), grid.GetDefaultCell(FALSE, FALSE)->GetFont());
  EXPECT_TRUE(pCell->IsDefaultFont());
  EXPECT_EQ(grid.GetCell(0, 1)->GetDefaultCell(), grid.GetDefaultCell(TRUE, FALSE));

  CGridCell loose;
  EXPECT_EQ(loose.GetFormat(), 0u);
  EXPECT_EQ(loose.GetMargin(), 0u);
  EXPECT_EQ(loose.GetFont(), nullptr);
  EXPECT_EQ(loose.GetFontObject(), nullptr);
  EXPECT_STREQ(loose.GetText(), L"");
}

TEST(GridCells, AssignmentCopiesTheStoredValues) {
  CGridCtrl grid(2, 2);
  CGridCell source;
  source.SetGrid(&grid);
  source.SetText(L"t");
  source.SetImage(3);
  source.SetData(5);
  source.SetBackClr(CLR_DEFAULT);
  source.SetTextClr(RGB(1, 2, 3));
  source.SetMargin(0xFFFFFFFF);
  CGridCell copy;
  copy = static_cast<const CGridCellBase&>(source);
  EXPECT_EQ(copy.GetGrid(), &grid);
  EXPECT_STREQ(copy.GetText(), L"t");
  EXPECT_EQ(copy.GetImage(), 3);
  EXPECT_EQ(copy.GetData(), 5);
  EXPECT_EQ(copy.GetBackClr(), CLR_DEFAULT);
  EXPECT_EQ(copy.GetTextClr(), RGB(1, 2, 3));
  EXPECT_TRUE(copy.IsDefaultFont());
}

TEST(GridCells, AFixedCellMeasuresOnePixelLargerEachWay) {
  CGridCtrl grid(2, 2, 1, 0);
  grid.SetItemText(0, 1, L"Header");
  grid.SetItemText(1, 1, L"Header");
  CClientDC screen(nullptr);
  const CSize fixed = grid.GetCell(0, 1)->GetCellExtent(&screen);
  const CSize normal = grid.GetCell(1, 1)->GetCellExtent(&screen);
  EXPECT_EQ(fixed.cx, normal.cx + 1);
  EXPECT_EQ(fixed.cy, normal.cy + 1);
  const CSize text = grid.GetCell(1, 1)->GetTextExtent(L"Header", &screen);
  EXPECT_EQ(normal.cx, text.cx + 1);
}

TEST(GridCells, EditOnAGridWithoutAWindowFailsAndLeavesNoEditing) {
  CGridCtrl grid(3, 3);
  CGridCellBase* pCell = grid.GetCell(1, 1);
  EXPECT_FALSE(pCell->Edit(1, 1, CRect(0, 0, 50, 20), CPoint(-1, -1), IDC_GRID_INPLACE_EDIT, 'x'));
  EXPECT_FALSE(pCell->IsEditing());
  EXPECT_EQ(pCell->GetEditWnd(), nullptr);
  EXPECT_FALSE(grid.IsItemEditing(1, 1));
}

TEST(GridCells, CompareCellTextIsOrdinal) {
  CGridCell a, b;
  a.SetText(L"B");
  b.SetText(L"a");
  EXPECT_LT(CGridCtrl::CompareCellText(&a, &b, 0), 0);
  EXPECT_EQ(CGridCtrl::CompareCellText(&a, nullptr, 0), 0);
}

}  // namespace
