// Dragging controls between bars while the customize sheet runs, with real input: a move
// leaves the source, Ctrl copies, a drop on no bar deletes, Escape cancels.
#include <framework.h>

#include <gtest/gtest.h>

#include "CustomizeSheetTestSupport.h"

using namespace cztest;

namespace {

enum class DropAt { SecondBar, SameBarEnd, Client };

struct DragCase {
  const char* name;
  DropAt where;
  bool bCtrl;
  bool bEscape;
  std::vector<int> standardAfter;
  std::vector<int> secondAfter;
};

const DragCase kDragCases[] = {
    // A move to another bar: the control leaves "Standard" and lands on "Second".
    {"MoveToAnotherBar", DropAt::SecondBar, false, false, {33002, 33003, 33004}, {33011, 33012, 33013, 33001}},
    // Ctrl at the release copies: both bars have it.
    {"CtrlCopies", DropAt::SecondBar, true, false, {33001, 33002, 33003, 33004}, {33011, 33012, 33013, 33001}},
    // To the end of its own bar: moved there.
    {"MoveWithinItsBar", DropAt::SameBarEnd, false, false, {33002, 33003, 33004, 33001}, {33011, 33012, 33013}},
    // Off every bar: deleted.
    {"DropOffEveryBarDeletes", DropAt::Client, false, false, {33002, 33003, 33004}, {33011, 33012, 33013}},
    // Escape before the release: nothing changes.
    {"EscapeCancels", DropAt::SecondBar, false, true, {33001, 33002, 33003, 33004}, {33011, 33012, 33013}},
};

class CustomizeSheetDrag : public ::testing::TestWithParam<DragCase> {
 protected:
  void SetUp() override {
    cbtest::ParkPointer();
    CXTPPaintManager::SetTheme(0);
  }
  void TearDown() override {
    KeyEvent(VK_CONTROL, true);
    cbtest::ParkPointer();
  }
};

TEST_P(CustomizeSheetDrag, DropMovesCopiesDeletesOrCancels) {
  const DragCase& c = GetParam();
  Frame f;
  CXTPCustomizeSheet sheet(f.pBars);
  CXTPControl* pDragged = f.pStandard->GetControl(0);
  CPoint ptTarget;
  bool bDragging = false;
  auto wait = [](DWORD ms) { return After(ms); };
  CScript script;
  script.Then("sheet shown", [&] { return SheetShown(sheet); })
      .Do("target", [&] {
        if (c.where == DropAt::SecondBar) {
          CXTPControl* pLast = f.pSecond->GetControl(f.pSecond->GetControlCount() - 1);
          ptTarget = Frame::Centre(pLast) + CSize(pLast->GetRect().Width() / 2 - 2, 0);
        } else if (c.where == DropAt::SameBarEnd) {
          CXTPControl* pLast = f.pStandard->GetControl(f.pStandard->GetControlCount() - 1);
          ptTarget = Frame::Centre(pLast) + CSize(pLast->GetRect().Width() / 2 - 2, 0);
        } else {
          ptTarget = Frame::Centre(&f.pFrame->m_wndClient);
        }
      })
      .Do("press", [&] {
        SendMove(Frame::Centre(pDragged));
        SendButton(MOUSEEVENTF_LEFTDOWN);
      })
      .Then("drag runs", [&] {
        bDragging = ::GetCapture() == sheet.GetSafeHwnd();
        return bDragging;
      })
      .Do("move 1", [&] { SendMove(Frame::Centre(pDragged) + CSize(0, 12)); })
      .Then("a while", wait(80))
      .Do("move 2", [&] { SendMove(CPoint((Frame::Centre(pDragged).x + ptTarget.x) / 2, ptTarget.y)); })
      .Then("a while", wait(80))
      .Do("move 3", [&] { SendMove(ptTarget); })
      .Then("a while", wait(150));
  if (c.bCtrl) {
    script.Do("Ctrl", [] { KeyEvent(VK_CONTROL, false); })
        .Then("a while", wait(80))
        // The pointer's own moves carry the X server's modifiers: a move with Ctrl is posted.
        .Do("move with Ctrl", [&] {
          CPoint pt = ptTarget;
          sheet.ScreenToClient(&pt);
          sheet.PostMessage(WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, MAKELPARAM(pt.x, pt.y));
        })
        .Then("a while", wait(80));
  }
  if (c.bEscape) script.Do("Escape", [] { TypeKey(VK_ESCAPE); }).Then("drag ended", [&] { return ::GetCapture() == NULL; });
  script.Do("release", [] { SendButton(MOUSEEVENTF_LEFTUP); })
      .Then("drag ended", [&] { return ::GetCapture() != sheet.GetSafeHwnd(); })
      .Do("Ctrl up", [] { KeyEvent(VK_CONTROL, true); })
      .Then("a while", wait(200))
      .Do("picture", [&] {
        f.Shoot((std::wstring(L"commandbars/customize_sheet_drag_") + std::wstring(CString(c.name)) + L".png").c_str(),
                &sheet);
      })
      .Do("Close", [&] { ClickClose(sheet); });
  RunSheet(sheet, script);

  EXPECT_TRUE(bDragging);
  EXPECT_EQ(c.standardAfter, Frame::Ids(f.pStandard));
  EXPECT_EQ(c.secondAfter, Frame::Ids(f.pSecond));
  EXPECT_TRUE(f.pFrame->commands.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, CustomizeSheetDrag, ::testing::ValuesIn(kDragCases),
                         [](const ::testing::TestParamInfo<DragCase>& info) { return std::string(info.param.name); });

}  // namespace
