// Where cells lie, what the scroll bars say, and what painting puts on the screen.
#include "GridWindowFixture.h"

using namespace gridtest;

namespace {

class GridLayoutTest : public GridWindowTest {};

TEST_F(GridLayoutTest, CellOriginsAndRectangles) {
  MakeGrid(20, 10, 1, 1);
  struct Case {
    int row, col;
    CPoint origin;
  } cases[] = {
      {0, 0, {0, 0}}, {0, 3, {150, 0}}, {3, 0, {0, 60}}, {3, 2, {100, 60}}, {19, 9, {450, 380}},
  };
  for (const Case& c : cases) {
    CPoint origin;
    ASSERT_TRUE(grid.GetCellOrigin(c.row, c.col, &origin)) << c.row << "," << c.col;
    EXPECT_EQ(origin, c.origin) << c.row << "," << c.col;
    CRect rect;
    ASSERT_TRUE(grid.GetCellRect(c.row, c.col, &rect));
    EXPECT_EQ(rect, CRect(c.origin.x, c.origin.y, c.origin.x + kWidth - 1, c.origin.y + kHeight - 1));
  }
  CPoint origin;
  EXPECT_FALSE(grid.GetCellOrigin(20, 0, &origin));
  EXPECT_FALSE(grid.GetCellOrigin(0, -1, &origin));
}

TEST_F(GridLayoutTest, HitTestsFindTheCellUnderAPoint) {
  MakeGrid(20, 10, 1, 1);
  struct Case {
    CPoint point;
    BOOL allowFixed;
    CGridCellId cell;
  } cases[] = {
      {{10, 10}, TRUE, CGridCellId(0, 0)},   {{10, 10}, FALSE, CGridCellId(-1, -1)},
      {{60, 25}, TRUE, CGridCellId(1, 1)},   {{149, 39}, TRUE, CGridCellId(1, 2)},
      {{150, 40}, TRUE, CGridCellId(2, 3)},  {{-1, 30}, TRUE, CGridCellId(1, -1)},
      {{75, 5}, FALSE, CGridCellId(-1, 1)},  {{75, 5}, TRUE, CGridCellId(0, 1)},
  };
  for (const Case& c : cases) {
    const CGridCellId cell = grid.HitTestCell(c.point, c.allowFixed);
    EXPECT_EQ(cell, c.cell) << c.point.x << "," << c.point.y << " fixed=" << c.allowFixed;
  }
  EXPECT_EQ(grid.PointInCell(3, 2, CPoint(110, 65)), CPoint(10, 5));
}

TEST_F(GridLayoutTest, APointRightOfTheLastColumnHitsNoColumn) {
  MakeGrid(4, 3, 1, 1);
  EXPECT_EQ(grid.HitTestCell(CPoint(200, 30), TRUE).col, -1);
  EXPECT_EQ(grid.HitTestCell(CPoint(60, 150), TRUE).row, -1);
}

TEST_F(GridLayoutTest, ScrollMaximaCoverTheScrollableExtent) {
  MakeGrid(20, 10, 1, 1);
  EXPECT_EQ(grid.GetScrollMaximum(SB_HORZ), 9 * kWidth - 1);
  EXPECT_EQ(grid.GetScrollMaximum(SB_VERT), 19 * kHeight - 1);
  EXPECT_TRUE(grid.IsScrollBarShown(SB_HORZ));
  EXPECT_TRUE(grid.IsScrollBarShown(SB_VERT));
  SCROLLINFO si{sizeof(si), SIF_ALL};
  ASSERT_TRUE(::GetScrollInfo(grid.GetSafeHwnd(), SB_HORZ, &si));
  EXPECT_EQ(si.nMax, 9 * kWidth - 1);
  EXPECT_GT(si.nPage, 0u);
}

TEST_F(GridLayoutTest, NoScrollingWhenEverythingFits) {
  MakeGrid(3, 3, 1, 1);
  EXPECT_EQ(grid.GetScrollMaximum(SB_HORZ), 0);
  EXPECT_EQ(grid.GetScrollMaximum(SB_VERT), 0);
  EXPECT_FALSE(grid.IsScrollBarShown(SB_HORZ));
  SCROLLINFO si{sizeof(si), SIF_ALL};
  ASSERT_TRUE(::GetScrollInfo(grid.GetSafeHwnd(), SB_VERT, &si));
  EXPECT_EQ(si.nMax, 0);
  EXPECT_EQ(si.nPage, 0u);
}

TEST_F(GridLayoutTest, AScrollPositionInsideAColumnMakesTheNextColumnTheTopLeft) {
  MakeGrid(20, 10, 1, 1);
  grid.SetScrollPosition(SB_HORZ, 60);
  EXPECT_EQ(grid.GetFirstScrollableCell(), CGridCellId(1, 3));
  CPoint origin;
  EXPECT_FALSE(grid.GetCellOrigin(3, 2, &origin));  // scrolled out to the left
  ASSERT_TRUE(grid.GetCellOrigin(3, 3, &origin));
  EXPECT_EQ(origin, CPoint(kWidth, 60));
  EXPECT_FALSE(grid.IsCellVisible(1, 2));
  EXPECT_TRUE(grid.IsCellVisible(1, 0));  // fixed columns never scroll
}

TEST_F(GridLayoutTest, ScrollingByLineAndPageMovesTheTopLeftCell) {
  MakeGrid(20, 10, 1, 1);
  grid.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), kHeight);
  EXPECT_EQ(grid.GetFirstScrollableCell().row, 2);
  grid.SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
  grid.SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
  EXPECT_EQ(grid.GetScrollPosition(SB_HORZ), 2 * kWidth);
  grid.SendMessage(WM_HSCROLL, SB_LINELEFT, 0);
  EXPECT_EQ(grid.GetScrollPosition(SB_HORZ), kWidth);
  grid.SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
  SCROLLINFO si{sizeof(si), SIF_ALL};
  ASSERT_TRUE(::GetScrollInfo(grid.GetSafeHwnd(), SB_VERT, &si));
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), si.nMax - static_cast<int>(si.nPage) + 1);
  EXPECT_EQ(grid.GetFirstScrollableCell().row, 1 + (si.nMax - static_cast<int>(si.nPage) + 1 + kHeight - 1) / kHeight);
  grid.SendMessage(WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), 0);
  grid.SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(grid.GetScrollPosition(SB_VERT), Client().bottom - kHeight);
}

TEST_F(GridLayoutTest, VisibilityEndsAtTheClientEdge) {
  MakeGrid(20, 10, 1, 1);
  const CRect client = Client();
  for (int col = 1; col < 10; col++) {
    CPoint origin;
    ASSERT_TRUE(grid.GetCellOrigin(1, col, &origin));
    EXPECT_EQ(grid.IsCellVisible(1, col), origin.x < client.right) << col;
  }
  const CGridCellRange visible = grid.GetVisibleScrollableRange();
  EXPECT_EQ(visible.GetMinRow(), 1);
  EXPECT_EQ(visible.GetMinCol(), 1);
  EXPECT_EQ(visible.GetMaxCol(), (client.right - kWidth) / kWidth + 1);
}

TEST_F(GridLayoutTest, AutoSizingFitsTheWidestCellButNotAHiddenColumn) {
  MakeGrid(4, 4, 1, 1);
  grid.SetItemText(2, 2, L"a much longer text than the others");
  ASSERT_TRUE(grid.AutoSizeColumn(2));
  CClientDC dc(&grid);
  int widest = 0;
  for (int row = 0; row < 4; row++) widest = std::max<int>(widest, grid.GetCell(row, 2)->GetCellExtent(&dc).cx);
  EXPECT_EQ(grid.GetColumnWidth(2), widest);
  EXPECT_GT(grid.GetColumnWidth(2), kWidth);

  grid.SetColumnWidth(3, 0);
  EXPECT_FALSE(grid.AutoSizeColumn(3));
  EXPECT_EQ(grid.GetColumnWidth(3), 0);

  grid.SetItemText(1, 1, L"two\nlines");
  grid.SetItemFormat(1, 1, DT_WORDBREAK);
  ASSERT_TRUE(grid.AutoSizeRow(1));
  EXPECT_GT(grid.GetRowHeight(1), grid.GetCell(1, 2)->GetCellExtent(&dc).cy);
}

TEST_F(GridLayoutTest, HiddenRowsAndColumnsTakeNoRoom) {
  MakeGrid(6, 6, 1, 1);
  grid.SetColumnWidth(2, 0);
  grid.SetRowHeight(2, 0);
  CPoint origin;
  ASSERT_TRUE(grid.GetCellOrigin(3, 3, &origin));
  EXPECT_EQ(origin, CPoint(2 * kWidth, 2 * kHeight));
  EXPECT_EQ(grid.HitTestCell(CPoint(2 * kWidth + 1, 2 * kHeight + 1)), CGridCellId(3, 3));
}

// ---- Painting ----

class GridPaintTest : public GridWindowTest {
 protected:
  void Paint() { grid.OnDraw(&shot.DC()); }
  CSnapshot shot{300, 200};
};

TEST_F(GridPaintTest, GridLinesFixedCellsAndBackground) {
  MakeGrid(5, 4, 1, 1);
  grid.SetBackgroundColour(RGB(1, 2, 3));
  Paint();
  const COLORREF line = grid.GetGridLineColour();
  EXPECT_EQ(shot.Pixel(2 * kWidth - 1, 30), line);          // vertical line of column 1
  EXPECT_EQ(shot.Pixel(60, 2 * kHeight - 1), line);         // horizontal line of row 1
  EXPECT_EQ(shot.Pixel(75, 30), ::GetSysColor(COLOR_WINDOW));  // a body cell
  EXPECT_EQ(shot.Pixel(75, 10), ::GetSysColor(COLOR_BTNFACE));  // a header cell
  EXPECT_EQ(shot.Pixel(70, 0), ::GetSysColor(COLOR_3DHIGHLIGHT));   // its light top edge
  EXPECT_EQ(shot.Pixel(70, kHeight - 1), ::GetSysColor(COLOR_3DDKSHADOW));  // its dark bottom
  EXPECT_EQ(shot.Pixel(4 * kWidth + 10, 30), RGB(1, 2, 3));  // right of the last column
  EXPECT_EQ(shot.Pixel(30, 5 * kHeight + 10), RGB(1, 2, 3));  // below the last row
  // Cell texts are drawn in the window text colour.
  EXPECT_TRUE(shot.Contains(CRect(51, 21, 99, 39), ::GetSysColor(COLOR_WINDOWTEXT)));
}

TEST_F(GridPaintTest, SelectionFocusAndTrackedHeaders) {
  MakeGrid(5, 4, 1, 1);
  grid.SetSelectedRange(2, 2, 2, 2);
  grid.SetFocusCell(3, 1);
  Paint();
  EXPECT_EQ(shot.Pixel(120, 50), ::GetSysColor(COLOR_HIGHLIGHT));      // selected cell (2,2)
  EXPECT_EQ(shot.Pixel(kWidth, 70), ::GetSysColor(COLOR_WINDOWTEXT));  // focus frame of (3,1)
  EXPECT_EQ(shot.Pixel(75, 70), ::GetSysColor(COLOR_WINDOW));          // its inside
  // The header cells of the focus row are drawn sunken; the others raised.
  EXPECT_EQ(shot.Pixel(20, 3 * kHeight), ::GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(shot.Pixel(20, 4 * kHeight), ::GetSysColor(COLOR_3DHIGHLIGHT));
}

// The row of the sort mark's box holding the most shadow pixels: the triangle's base.
int BaseRowOfMark(const CSnapshot& shot, const CRect& box) {
  int bestRow = -1, bestCount = 0;
  for (int y = box.top; y < box.bottom; y++) {
    int count = 0;
    for (int x = box.left; x < box.right; x++)
      if (shot.Pixel(x, y) == ::GetSysColor(COLOR_BTNSHADOW)) count++;
    if (count > bestCount) {
      bestCount = count;
      bestRow = y;
    }
  }
  return bestRow;
}

TEST_F(GridPaintTest, TheSortColumnHeaderShowsItsOrder) {
  MakeGrid(5, 4, 1, 1);
  grid.SetRowHeight(0, 30);
  const CRect header(2 * kWidth + 2, 2, 3 * kWidth - 2, 28);
  Paint();
  EXPECT_FALSE(shot.Contains(header, ::GetSysColor(COLOR_BTNSHADOW)));

  grid.SortTextItems(2, TRUE);
  Paint();
  ASSERT_TRUE(shot.Contains(header, ::GetSysColor(COLOR_BTNSHADOW)));
  const int ascendingBase = BaseRowOfMark(shot, header);

  grid.SortTextItems(2, FALSE);
  Paint();
  const int descendingBase = BaseRowOfMark(shot, header);
  // Pointing up, the triangle's base is its bottom; pointing down, its top.
  EXPECT_GT(ascendingBase, descendingBase);
}

// A cell that counts how often it is drawn.
class CCountingCell : public CGridCell {
  DECLARE_DYNCREATE(CCountingCell)

 public:
  BOOL Draw(CDC* pDC, int nRow, int nCol, CRect rect, BOOL bErase) override {
    draws++;
    return CGridCell::Draw(pDC, nRow, nCol, rect, bErase);
  }
  int draws = 0;
};
IMPLEMENT_DYNCREATE(CCountingCell, CGridCell)

TEST_F(GridPaintTest, PaintingTouchesOnlyCellsInTheClipBoxAndTheCorner) {
  ASSERT_TRUE(grid.SetDefaultCellType(RUNTIME_CLASS(CCountingCell)));
  MakeGrid(8, 5, 1, 1);
  auto draws = [&](int row, int col) { return static_cast<CCountingCell*>(grid.GetCell(row, col))->draws; };
  for (int r = 0; r < 8; r++)
    for (int c = 0; c < 5; c++) static_cast<CCountingCell*>(grid.GetCell(r, c))->draws = 0;
  shot.DC().IntersectClipRect(160, 105, 190, 115);  // inside cell (5,3)
  Paint();
  EXPECT_EQ(draws(0, 0), 1);  // the fixed corner, whatever the clip
  EXPECT_EQ(draws(5, 3), 1);
  EXPECT_EQ(draws(5, 0), 0);  // its header cells lie outside the clip
  EXPECT_EQ(draws(0, 3), 0);
  EXPECT_EQ(draws(1, 1), 0);
  EXPECT_EQ(draws(6, 3), 0);
  EXPECT_EQ(draws(5, 4), 0);
}

TEST_F(GridPaintTest, DoubleBufferedPaintingReachesTheScreen) {
  MakeGrid(5, 4, 1, 1);
  grid.SetSelectedRange(1, 1, 1, 1);
  grid.RedrawWindow();
  CClientDC dc(&grid);
  EXPECT_EQ(dc.GetPixel(75, 30), ::GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(dc.GetPixel(2 * kWidth - 1, 50), grid.GetGridLineColour());
}

// ---- Cell drawing ----

// A cell that finds no default cell to fall back on.
class COrphanCell : public CGridCell {
 public:
  CGridCellBase* GetDefaultCell() const override { return nullptr; }
};

TEST_F(GridPaintTest, DrawingPutsTheDCBackOnEveryPath) {
  MakeGrid(3, 3, 1, 1);
  CDC& dc = shot.DC();
  dc.SetBkMode(OPAQUE);
  dc.SetTextColor(RGB(7, 7, 7));
  HGDIOBJ hFontBefore = ::GetCurrentObject(dc.m_hDC, OBJ_FONT);
  const int levelBefore = dc.SaveDC();
  dc.RestoreDC(levelBefore);

  COrphanCell orphan;
  orphan.SetGrid(&grid);
  EXPECT_FALSE(orphan.Draw(&dc, 1, 1, CRect(0, 0, 40, 20), TRUE));
  grid.SetSortColumn(1);
  EXPECT_TRUE(grid.GetCell(0, 1)->Draw(&dc, 0, 1, CRect(0, 0, 40, 20), TRUE));
  grid.GetCell(1, 1)->SetState(GRIDIS_FOCUSED | GRIDIS_SELECTED);
  EXPECT_TRUE(grid.GetCell(1, 1)->Draw(&dc, 1, 1, CRect(0, 0, 40, 20), TRUE));

  EXPECT_EQ(dc.GetBkMode(), OPAQUE);
  EXPECT_EQ(dc.GetTextColor(), RGB(7, 7, 7));
  EXPECT_EQ(::GetCurrentObject(dc.m_hDC, OBJ_FONT), hFontBefore);
  const int levelAfter = dc.SaveDC();
  dc.RestoreDC(levelAfter);
  EXPECT_EQ(levelAfter, levelBefore);
}

TEST_F(GridPaintTest, RefusedDrawsTouchNothing) {
  MakeGrid(3, 3, 1, 1);
  CGridCell loose;
  EXPECT_FALSE(loose.Draw(&shot.DC(), 1, 1, CRect(0, 0, 40, 20), TRUE));      // no grid
  EXPECT_FALSE(grid.GetCell(1, 1)->Draw(nullptr, 1, 1, CRect(0, 0, 40, 20)));  // no DC
  EXPECT_FALSE(grid.GetCell(1, 1)->Draw(&shot.DC(), 1, 1, CRect(10, 10, 10, 30)));  // no width
}

TEST_F(GridPaintTest, TabsAreDrawnAsSpacesButKept) {
  MakeGrid(3, 3, 1, 1);
  grid.SetColumnWidth(1, 200);
  grid.SetItemText(1, 1, L"a\tb");
  EXPECT_EQ(grid.GetItemText(1, 1), CString(L"a\tb"));
  CSnapshot withTab(300, 200), withSpace(300, 200);
  grid.OnDraw(&withTab.DC());
  grid.SetItemText(1, 1, L"a b");
  grid.OnDraw(&withSpace.DC());
  for (int x = 51; x < 250; x++)
    for (int y = 21; y < 39; y++) ASSERT_EQ(withTab.Pixel(x, y), withSpace.Pixel(x, y)) << x << "," << y;
}

TEST_F(GridPaintTest, AnImageThatDoesNotFitIsSkippedButStillMovesTheText) {
  MakeGrid(3, 3, 1, 1);
  CImageList images;
  ASSERT_TRUE(images.Create(64, 16, ILC_COLOR24, 1, 1));
  CClientDC screen(nullptr);
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 64, 16));
  {
    CDC mem;
    mem.CreateCompatibleDC(&screen);
    CBitmap* pOld = mem.SelectObject(&bitmap);
    mem.FillSolidRect(0, 0, 64, 16, RGB(255, 0, 0));
    mem.SelectObject(pOld);
  }
  ASSERT_EQ(images.Add(&bitmap, static_cast<CBitmap*>(nullptr)), 0);
  grid.SetImageList(&images);
  grid.SetItemImage(1, 1, 0);  // 64 wide in a 50-wide cell: does not fit
  grid.SetItemImage(1, 2, 0);
  grid.SetColumnWidth(2, 120);  // fits here
  Paint();
  EXPECT_FALSE(shot.Contains(CRect(51, 21, 99, 39), RGB(255, 0, 0)));
  EXPECT_TRUE(shot.Contains(CRect(101, 21, 219, 39), RGB(255, 0, 0)));
  CRect textRect(0, 0, 50, 20);
  grid.GetCell(1, 1)->GetTextRect(&textRect);
  EXPECT_EQ(textRect.left, static_cast<int>(grid.GetCell(1, 1)->GetMargin()) + 64 + 1);
  grid.SetImageList(nullptr);
}

}  // namespace
