// The grid as a window: attaching to an existing window, fonts, edit commands, virtual
// mode, auto-scrolling and the start of a drag.
#include "GridWindowFixture.h"

using namespace gridtest;

namespace {

class GridAsWindowTest : public GridWindowTest {};

TEST_F(GridAsWindowTest, CreatedGridsHaveTheirClassAndASunkenEdge) {
  MakeGrid(3, 3, 1, 1);
  WCHAR cls[64] = {};
  ::GetClassNameW(grid.GetSafeHwnd(), cls, 64);
  EXPECT_STREQ(cls, GRIDCTRL_CLASSNAME);
  EXPECT_TRUE(grid.GetExStyle() & WS_EX_CLIENTEDGE);
  EXPECT_EQ(grid.GetDlgCtrlID(), static_cast<int>(kGridId));
  WNDCLASSW wc{};
  ASSERT_TRUE(::GetClassInfoW(AfxGetInstanceHandle(), GRIDCTRL_CLASSNAME, &wc));
  EXPECT_EQ(wc.style, static_cast<UINT>(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW));
}

TEST_F(GridAsWindowTest, AGridCanTakeOverAnExistingWindow) {
  HWND hWnd = ::CreateWindowExW(0, GRIDCTRL_CLASSNAME, nullptr, WS_CHILD | WS_VISIBLE, 10, 10, 200, 120,
                                parent.GetSafeHwnd(), reinterpret_cast<HMENU>(55), AfxGetInstanceHandle(), nullptr);
  ASSERT_NE(hWnd, nullptr);
  CGridCtrl adopted(4, 3, 1, 1);
  ASSERT_TRUE(adopted.SubclassWindow(hWnd));
  EXPECT_TRUE(adopted.GetExStyle() & WS_EX_CLIENTEDGE);
  CRect rect;
  adopted.GetWindowRect(&rect);
  parent.ScreenToClient(&rect);
  EXPECT_EQ(rect, CRect(10, 10, 210, 130));
  // It paints and reports like a created one.
  adopted.SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  ASSERT_EQ(parent.notes.size(), 1u);
  EXPECT_EQ(parent.notes[0].code, kNmRClick);
}

TEST_F(GridAsWindowTest, TheWindowFontBecomesTheDefaultCellsFont) {
  MakeGrid(3, 3, 1, 1);
  LOGFONTW lf{};
  lf.lfHeight = -30;
  wcscpy(lf.lfFaceName, L"Tahoma");
  CFont font;
  ASSERT_TRUE(font.CreateFontIndirect(&lf));
  grid.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(font)), TRUE);
  for (BOOL fixedRow : {FALSE, TRUE})
    for (BOOL fixedCol : {FALSE, TRUE}) EXPECT_EQ(grid.GetDefaultCell(fixedRow, fixedCol)->GetFont()->lfHeight, -30);
  const auto hFont = reinterpret_cast<HFONT>(grid.SendMessage(WM_GETFONT));
  ASSERT_NE(hFont, nullptr);
  LOGFONTW got{};
  ::GetObjectW(hFont, sizeof(got), &got);
  EXPECT_EQ(got.lfHeight, -30);
  // The default size follows the font.
  EXPECT_GT(static_cast<CGridDefaultCell*>(grid.GetDefaultCell(FALSE, FALSE))->GetHeight(), 30);
}

// Collects what the command-update handlers decide.
class CCmdUIProbe : public CCmdUI {
 public:
  void Enable(BOOL bOn) override {
    enabled = bOn;
    m_bEnableChanged = TRUE;
  }
  BOOL enabled = -1;
};

BOOL UpdateState(CGridCtrl& grid, UINT nID) {
  CCmdUIProbe probe;
  probe.m_nID = nID;
  grid.OnCmdMsg(nID, CN_UPDATE_COMMAND_UI, &probe, nullptr);
  return probe.enabled;
}

TEST_F(GridAsWindowTest, EditCommandsAreEnabledByTheSelection) {
  MakeGrid(4, 4, 1, 1);
  EXPECT_FALSE(UpdateState(grid, ID_EDIT_COPY));
  EXPECT_FALSE(UpdateState(grid, ID_EDIT_CUT));
  EXPECT_TRUE(UpdateState(grid, ID_EDIT_SELECT_ALL));
  grid.SetSelectedRange(1, 1, 1, 1);
  EXPECT_TRUE(UpdateState(grid, ID_EDIT_COPY));
  EXPECT_TRUE(UpdateState(grid, ID_EDIT_CUT));
  grid.SetEditable(FALSE);
  EXPECT_FALSE(UpdateState(grid, ID_EDIT_CUT));
  EXPECT_FALSE(UpdateState(grid, ID_EDIT_PASTE));

  parent.Clear();
  grid.SendMessage(WM_COMMAND, ID_EDIT_SELECT_ALL, 0);
  EXPECT_EQ(grid.GetSelectedCount(), 9);
  EXPECT_EQ(parent.Codes(), std::vector<int>({GRIDN_SELCHANGING, GRIDN_SELCHANGED}));
}

// ---- Virtual mode ----

class VirtualGridTest : public GridWindowTest {
 protected:
  static BOOL CALLBACK Answer(GRID_DISPINFO* pInfo, LPARAM lParam) {
    auto* self = reinterpret_cast<VirtualGridTest*>(lParam);
    self->requests++;
    pInfo->item.strText.Format(L"v%d.%d", pInfo->item.row, pInfo->item.col);
    return TRUE;
  }
  int requests = 0;
};

TEST_F(VirtualGridTest, CellsComeFromTheCallbackAndSettersRefuse) {
  grid.SetVirtualMode(TRUE);
  grid.SetCallbackFunc(Answer, reinterpret_cast<LPARAM>(this));
  MakeGrid(1000, 4, 1, 1);
  EXPECT_EQ(grid.GetItemText(500, 2), CString(L"v500.2"));
  EXPECT_GT(requests, 0);
  EXPECT_FALSE(grid.SetItemText(5, 1, L"x"));
  EXPECT_FALSE(grid.SetItemBkColour(5, 1, 0));
  // The selection lives in the map only.
  grid.SetSelectedRange(2, 1, 3, 2);
  EXPECT_EQ(grid.GetSelectedCount(), 4);
  EXPECT_TRUE(grid.IsCellSelected(3, 2));
  EXPECT_TRUE(grid.GetCell(3, 2)->IsSelected());
}

TEST_F(VirtualGridTest, PaintingAsksTheParentAndSendsCacheHints) {
  grid.SetVirtualMode(TRUE);
  MakeGrid(100, 4, 1, 1);
  CSnapshot shot(300, 200);
  grid.OnDraw(&shot.DC());
  const std::vector<int> codes = parent.Codes();
  ASSERT_GE(codes.size(), 3u);
  EXPECT_EQ(codes.front(), GRIDN_ODCACHEHINT);
  EXPECT_EQ(codes.back(), GRIDN_ODCACHEHINT);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), GRIDN_GETDISPINFO), static_cast<long>(codes.size()) - 2);
}

// ---- Auto-scrolling and dragging ----

TEST_F(GridAsWindowTest, HoldingTheButtonBelowTheGridScrollsAndSelects) {
  MakeGrid(40, 4, 1, 1);
  const CPoint start = Centre(2, 1);
  Mouse(WM_LBUTTONDOWN, start, MK_LBUTTON);
  CPoint below(start.x, Client().bottom + 30);
  grid.ClientToScreen(&below);
  ASSERT_TRUE(::SetCursorPos(below.x, below.y));
  CPoint seen;
  ASSERT_TRUE(::GetCursorPos(&seen));
  ASSERT_EQ(seen, below);
  for (int i = 0; i < 12; i++) grid.SendMessage(WM_TIMER, CGridCtrl::kAutoScrollTimer, 0);
  EXPECT_GT(grid.GetScrollPosition(SB_VERT), 0);
  EXPECT_GT(grid.GetSelectedCellRange().GetMaxRow(), 2);
  Mouse(WM_LBUTTONUP, start);
  ::SetCursorPos(0, 0);
}

TEST_F(GridAsWindowTest, MovingWithTheButtonOnASelectionStartsADrag) {
  MakeGrid(5, 4, 1, 1);
  grid.SetDragAndDrop(TRUE);
  grid.SetSelectedRange(2, 2, 3, 3);
  parent.Clear();
  // The physical button is up, so the system ends the drag at once.
  Mouse(WM_LBUTTONDOWN, Centre(2, 2), MK_LBUTTON);
  Mouse(WM_MOUSEMOVE, Centre(3, 3), MK_LBUTTON);
  ASSERT_FALSE(parent.notes.empty());
  EXPECT_EQ(parent.notes[0].code, GRIDN_BEGINDRAG);
  EXPECT_EQ(CGridCellId(parent.notes[0].row, parent.notes[0].col), CGridCellId(2, 2));
  Mouse(WM_LBUTTONUP, Centre(3, 3));
  EXPECT_EQ(grid.GetMouseMode(), CGridCtrl::MOUSE_NOTHING);
}

}  // namespace
