// Copy and paste through the display's clipboard, as the user's keys do them.
#include "GridWindowFixture.h"

using namespace gridtest;

namespace {

class GridClipboardTest : public GridWindowTest {
 protected:
  // Reads the clipboard's CF_TEXT as another program would.
  static std::string ClipboardBytes() {
    std::string bytes;
    if (!::OpenClipboard(nullptr)) return "<clipboard busy>";
    if (HANDLE h = ::GetClipboardData(CF_TEXT)) {
      const char* p = static_cast<const char*>(::GlobalLock(h));
      bytes.assign(p, strnlen(p, ::GlobalSize(h)));
      ::GlobalUnlock(h);
    }
    ::CloseClipboard();
    return bytes;
  }
  // Puts bytes on the clipboard as another program would, without a terminating zero.
  static bool PutForeignText(const std::string& bytes) {
    if (!::OpenClipboard(nullptr)) return false;
    ::EmptyClipboard();
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    char* p = static_cast<char*>(::GlobalLock(h));
    memcpy(p, bytes.data(), bytes.size());
    ::GlobalUnlock(h);
    const bool ok = ::SetClipboardData(CF_TEXT, h) != nullptr;
    ::CloseClipboard();
    return ok;
  }
  void CtrlKey(UINT vk) {
    CHeldKeys ctrl({VK_CONTROL});
    Key(vk);
  }
};

TEST_F(GridClipboardTest, CtrlCCopiesAndCtrlVPastesAtTheFocusCell) {
  MakeGrid(6, 5, 1, 1);
  grid.SetItemText(1, 1, L"a");
  grid.SetItemText(1, 2, L"b");
  grid.SetItemText(2, 1, L"c");
  grid.SetItemText(2, 2, L"d");
  Mouse(WM_LBUTTONDOWN, Centre(1, 1), MK_LBUTTON);
  Mouse(WM_MOUSEMOVE, Centre(2, 2), MK_LBUTTON);
  Mouse(WM_LBUTTONUP, Centre(2, 2));
  CtrlKey('C');
  Pump();
  EXPECT_EQ(ClipboardBytes(), "a\tb\r\nc\td");

  grid.ResetSelectedRange();
  grid.SetFocusCell(3, 3);
  CtrlKey('V');
  EXPECT_EQ(grid.GetItemText(3, 3), CString(L"a"));
  EXPECT_EQ(grid.GetItemText(3, 4), CString(L"b"));
  EXPECT_EQ(grid.GetItemText(4, 3), CString(L"c"));
  EXPECT_EQ(grid.GetItemText(4, 4), CString(L"d"));
  EXPECT_EQ(grid.GetSelectedCellRange(), CGridCellRange(3, 3, 4, 4));
}

TEST_F(GridClipboardTest, CutCopiesThenClears) {
  MakeGrid(4, 4, 1, 1);
  grid.SetFocusCell(1, 1);
  grid.SetSelectedRange(1, 1, 1, 2);
  CtrlKey('X');
  Pump();
  EXPECT_EQ(ClipboardBytes(), "1,1\t1,2");
  EXPECT_EQ(grid.GetItemText(1, 1), CString());
  EXPECT_EQ(grid.GetItemText(1, 2), CString());
}

TEST_F(GridClipboardTest, AReadOnlyGridCopiesButNeitherCutsNorPastes) {
  MakeGrid(4, 4, 1, 1);
  grid.SetEditable(FALSE);
  grid.SetFocusCell(1, 1);
  grid.SetSelectedRange(1, 1, 1, 1);
  CtrlKey('X');
  Pump();
  EXPECT_EQ(grid.GetItemText(1, 1), CString(L"1,1"));
  grid.OnEditCopy();
  Pump();
  EXPECT_EQ(ClipboardBytes(), "1,1");
  ASSERT_TRUE(PutForeignText("new"));
  grid.OnEditPaste();
  EXPECT_EQ(grid.GetItemText(1, 1), CString(L"1,1"));
}

TEST_F(GridClipboardTest, ForeignTextPastesAsOtherProgramsReadIt) {
  MakeGrid(4, 4, 1, 1);
  grid.SetColumnWidth(1, 200);
  // Without a terminating zero the system itself may cut the text; whatever it hands out,
  // the paste holds exactly that and nothing read from past the block.
  for (const std::string& text : {std::string("north,south", 12), std::string("north,south")}) {
    ASSERT_TRUE(PutForeignText(text));
    const std::string seen = ClipboardBytes();
    ASSERT_EQ(seen.substr(0, 6), "north,");
    grid.SetFocusCell(2, 1);
    grid.OnEditPaste();
    EXPECT_EQ(grid.GetItemText(2, 1), CString(L"north"));
    EXPECT_EQ(grid.GetItemText(2, 2), CString(seen.substr(6).c_str()));
  }
}

TEST_F(GridClipboardTest, ShiftInsertPastes) {
  MakeGrid(4, 4, 1, 1);
  ASSERT_TRUE(PutForeignText(std::string("ins\0", 4)));
  grid.SetFocusCell(3, 3);
  {
    CHeldKeys shift({VK_SHIFT});
    Key(VK_INSERT);
  }
  EXPECT_EQ(grid.GetItemText(3, 3), CString(L"ins"));
}

TEST_F(GridClipboardTest, CopiedTextOutlivesTheGrid) {
  {
    CGridCtrl other(3, 3, 1, 1);
    ASSERT_TRUE(other.Create(CRect(0, 0, 200, 100), &parent, 77));
    other.SetItemText(1, 1, L"kept");
    other.SetSelectedRange(1, 1, 1, 1);
    other.OnEditCopy();
    Pump();
  }
  Pump();
  EXPECT_EQ(ClipboardBytes(), "kept");
}

}  // namespace
