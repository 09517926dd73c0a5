// A grid window in a recording parent, laid out with even row heights and column widths
// and each cell holding its own position as text ("r,c").
#pragma once

#include <gtest/gtest.h>

#include "GridTestSupport.h"

namespace gridtest {

constexpr UINT kGridId = 1234;
// The common notification codes as the signed values the records carry.
constexpr int kNmClick = static_cast<int>(NM_CLICK);
constexpr int kNmDblClk = static_cast<int>(NM_DBLCLK);
constexpr int kNmRClick = static_cast<int>(NM_RCLICK);

class GridWindowTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = 50;
  static constexpr int kHeight = 20;

  void SetUp() override {
    // The pointer is the display's, left wherever an earlier test put it. Resting over the
    // grid, or still held down after a drag, it would send moves and clicks of its own when
    // the windows appear: park it away from them first.
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    ASSERT_TRUE(parent.CreateAt(CRect(0, 0, 640, 480)));
  }

  void MakeGrid(int rows, int cols, int fixedRows, int fixedCols, CRect rect = CRect(0, 0, 300, 200)) {
    grid.SetRowCount(rows);
    grid.SetColumnCount(cols);
    grid.SetFixedRowCount(fixedRows);
    grid.SetFixedColumnCount(fixedCols);
    ASSERT_TRUE(grid.Create(rect, &parent, kGridId, WS_CHILD | WS_VISIBLE | WS_TABSTOP));
    FillEvenly(grid, rows, cols, kHeight, kWidth);
    grid.UpdateScrollBars();
    grid.SetFocus();
    Pump();
    parent.Clear();
  }

  CRect Client() {
    CRect rect;
    grid.GetClientRect(&rect);
    return rect;
  }
  // The middle of a cell in client coordinates.
  CPoint Centre(int row, int col) {
    CRect rect;
    EXPECT_TRUE(grid.GetCellRect(row, col, &rect));
    return CPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  }
  LRESULT Mouse(UINT message, CPoint point, UINT flags = 0) {
    return grid.SendMessage(message, flags, MAKELPARAM(point.x, point.y));
  }
  void Click(CPoint point, UINT flags = 0) {
    Mouse(WM_LBUTTONDOWN, point, flags | MK_LBUTTON);
    Mouse(WM_LBUTTONUP, point, flags);
  }
  void Key(UINT vk) { grid.SendMessage(WM_KEYDOWN, vk, 1); }

  CRecorderWnd parent;
  CGridCtrl grid;
};

}  // namespace gridtest
