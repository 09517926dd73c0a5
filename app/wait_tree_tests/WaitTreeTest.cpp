// The folder tree, the please-wait dialog and the text progress bar as real windows: their
// rules, what a click sends, and what they draw.
#include <gtest/gtest.h>

#include <framework.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "FolderPageWnd.h"
#include "FolderTreeCtrl.h"
#include "WaitDlg.h"
#include "test_picture.h"
#include "test_pump.h"
#include "waitdlg_res.h"

namespace {

using testsupport::ArtifactPath;
using testsupport::CSnapshot;
using testsupport::PumpFor;
using testsupport::PumpUntil;
using testsupport::WindowArea;
using waittreetest::CFolderPageWnd;

std::wstring W(const CString& s) { return s.GetString(); }

// A real click of the left button at a client point of a window.
void ClickAt(CWnd& wnd, CPoint pt) {
  wnd.ClientToScreen(&pt);
  ::SetCursorPos(pt.x, pt.y);
  INPUT in[2] = {};
  for (INPUT& i : in) i.type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, in, sizeof(INPUT));
  PumpFor(200);
}

// ---------------------------------------------------------------------------------------
// Folder tree

TEST(FolderTreePaths, ComponentsAndSeparators) {
  const struct {
    const wchar_t* path;
    int index;
    const wchar_t* component;
  } cases[] = {
      {L"NSF File\\A\\B\\", 0, L"NSF File"}, {L"NSF File\\A\\B\\", 1, L"A"}, {L"NSF File\\A\\B\\", 2, L"B"},
      {L"NSF File\\A\\B\\", 3, L""},         {L"A\\B", 1, L""},              {L"NoSeparator", 0, L""},
      {L"\\", 0, L""},                       {L"A\\\\B\\", 1, L""},          {L"A\\\\B\\", 2, L"B"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(W(CFolderTreeCtrl::GetPathComponent(c.path, c.index)), c.component) << c.path << " " << c.index;
  EXPECT_EQ(CFolderTreeCtrl::CountSeparators(L"NSF File\\A\\B\\"), 3);
  EXPECT_EQ(CFolderTreeCtrl::CountSeparators(L""), 0);
}

TEST(FolderTreePaths, DisplayNames) {
  const struct {
    const wchar_t* stored;
    const wchar_t* shown;
  } cases[] = {
      {L"($Inbox)", L"Inbox"},        {L"($All)", L"All"},          {L"($Sent)", L"Sent"},
      {L"($Trash)", L"Trash"},        {L"My Contacts", L"My Contacts"}, {L"($Alarms)", L"Alarms"},
      {L"($JunkMail)", L"Junk Mails"}, {L"($Drafts)", L"Drafts"},   {L"($Meetings)", L"Calendar"},
      {L"($ToDo)", L"To Do"},         {L"($Journal)", L"Journals"}, {L"($Follow-Up)", L"Follow Up"},
      {L"($inbox)", L"($inbox)"},     {L"Friends", L"Friends"},     {L"", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(W(CFolderTreeCtrl::DisplayName(c.stored)), c.shown);
}

class FolderTreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(page.CreateAt(CRect(20, 20, 420, 420), L"wait tree test", WS_EX_TOPMOST));
    ASSERT_TRUE(holder.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 400), &page, 1));
    ASSERT_TRUE(tree.Create(CFolderTreeCtrl::kStyle, CRect(0, 0, 400, 400), &holder, CFolderTreeCtrl::kControlId));
    ASSERT_TRUE(CFolderTreeCtrl::CreateFolderImageList(images));
    EXPECT_EQ(images.GetImageCount(), CFolderTreeCtrl::kImageCount);
    tree.SetImageList(&images, TVSIL_NORMAL);
    PumpFor(100);
  }
  HTREEITEM Child(HTREEITEM parent, const wchar_t* text) {
    for (HTREEITEM h = tree.GetChildItem(parent); h; h = tree.GetNextSiblingItem(h))
      if (tree.GetItemText(h) == text) return h;
    return nullptr;
  }
  int Image(HTREEITEM h) {
    int image = -1, selected = -1;
    tree.GetItemImage(h, image, selected);
    EXPECT_EQ(image, selected);
    return image;
  }
  std::vector<std::wstring> Checked() {
    CStringArray paths;
    tree.GetCheckedFolders(paths);
    std::vector<std::wstring> v;
    for (INT_PTR i = 0; i < paths.GetSize(); ++i) v.push_back(W(paths[i]));
    return v;
  }
  CFolderPageWnd page;
  CStatic holder;
  CFolderTreeCtrl tree;
  CImageList images;
};

TEST_F(FolderTreeTest, PathsBuildOneItemPerLevelUnderTheRoot) {
  HTREEITEM projects = tree.AddFolderPath(L"Projects\\", 2, 7);
  EXPECT_EQ(tree.AddFolderPath(L"Projects\\", 5, 9), projects);  // found again, unchanged
  HTREEITEM root = tree.GetRootItem();
  EXPECT_EQ(W(tree.GetItemText(root)), L"NSF File");
  EXPECT_EQ(Image(root), 0);
  EXPECT_EQ(tree.GetItemData(root), 0u);
  EXPECT_EQ(tree.GetParentItem(projects), root);
  EXPECT_EQ(Image(projects), 2);
  EXPECT_EQ(tree.GetItemData(projects), 7u);

  HTREEITEM y2009 = tree.AddFolderPath(L"Projects\\2009\\", 3, 11);
  EXPECT_EQ(tree.GetParentItem(y2009), projects);
  // A level made only as a parent takes the image and data of the deeper path.
  HTREEITEM leaf = tree.AddFolderPath(L"Archive\\Old\\Leaf\\", 9, 42);
  HTREEITEM archive = Child(root, L"Archive");
  ASSERT_NE(archive, nullptr);
  EXPECT_EQ(Image(archive), 9);
  EXPECT_EQ(tree.GetItemData(archive), 42u);
  EXPECT_EQ(W(tree.GetItemPath(leaf)), L"Archive\\Old\\Leaf\\");
  EXPECT_EQ(W(tree.GetItemPath(y2009)), L"Projects\\2009\\");
  EXPECT_EQ(W(tree.GetItemPath(root)), L"");

  // Text after the last separator is not inserted; the empty path is the root.
  HTREEITEM partial = tree.AddFolderPath(L"Mail\\Unfinished", 2, 1);
  EXPECT_EQ(W(tree.GetItemText(partial)), L"Mail");
  EXPECT_EQ(Child(partial, L"Unfinished"), nullptr);
  const UINT count = tree.GetCount();
  EXPECT_EQ(tree.AddFolderPath(L"", 2, 1), root);
  EXPECT_EQ(tree.GetCount(), count);

  // New levels go after their siblings, in the order they came; names compare exactly, so
  // other case is another folder.
  tree.AddFolderPath(L"projects\\", 2, 1);
  std::vector<std::wstring> top;
  for (HTREEITEM h = tree.GetChildItem(root); h; h = tree.GetNextSiblingItem(h)) top.push_back(W(tree.GetItemText(h)));
  EXPECT_EQ(top, (std::vector<std::wstring>{L"Projects", L"Archive", L"Mail", L"projects"}));
  EXPECT_TRUE(tree.GetItemState(root, TVIS_EXPANDED) & TVIS_EXPANDED);
}

TEST_F(FolderTreeTest, NewItemsAndTheirParentsAreChecked) {
  tree.AddFolderPath(L"A\\", 2, 1);
  tree.SetCheck(Child(tree.GetRootItem(), L"A"), FALSE);
  tree.AddFolderPath(L"A\\B\\", 2, 1);
  EXPECT_TRUE(tree.GetCheck(Child(tree.GetRootItem(), L"A")));
  tree.AddFolderPath(L"C\\", 2, 1);
  EXPECT_EQ(Checked(), (std::vector<std::wstring>{L"", L"A\\", L"A\\B\\", L"C\\"}));
  tree.SetSubtreeCheck(tree.GetRootItem(), FALSE);
  EXPECT_EQ(Checked(), (std::vector<std::wstring>{L""}));
}

TEST_F(FolderTreeTest, ClickingANameSendsItsPathToThePage) {
  tree.AddFolderPath(L"Projects\\2009\\", 2, 1);
  tree.Expand(Child(tree.GetRootItem(), L"Projects"), TVE_EXPAND);
  PumpFor(100);
  HTREEITEM y2009 = Child(Child(tree.GetRootItem(), L"Projects"), L"2009");
  CRect rc;
  ASSERT_TRUE(tree.GetItemRect(y2009, &rc, TRUE));
  ClickAt(tree, rc.CenterPoint());
  EXPECT_EQ(page.chosen, (std::vector<std::wstring>{L"Projects\\2009\\"}));
  EXPECT_EQ(tree.GetSelectedItem(), y2009);

  // The root has no folder path: nothing is sent.
  ASSERT_TRUE(tree.GetItemRect(tree.GetRootItem(), &rc, TRUE));
  ClickAt(tree, rc.CenterPoint());
  EXPECT_EQ(page.chosen.size(), 1u);
}

TEST_F(FolderTreeTest, ACheckBoxClickTicksTheWholeSubtree) {
  tree.AddFolderPath(L"P\\A\\", 2, 1);
  tree.AddFolderPath(L"P\\B\\X\\", 2, 1);
  HTREEITEM root = tree.GetRootItem();
  HTREEITEM p = Child(root, L"P");
  for (HTREEITEM h : {p, Child(p, L"B")}) tree.Expand(h, TVE_EXPAND);
  PumpFor(100);
  // Where the item's check box is: scan its row from the left for the state icon.
  auto checkBoxOf = [&](HTREEITEM h) {
    CRect rc;
    tree.GetItemRect(h, &rc, FALSE);
    for (int x = 0; x < rc.right; ++x) {
      TVHITTESTINFO hit = {{x, rc.CenterPoint().y}};
      if (tree.HitTest(&hit) == h && (hit.flags & TVHT_ONITEMSTATEICON)) return CPoint(x + 4, rc.CenterPoint().y);
    }
    ADD_FAILURE() << "no check box";
    return CPoint(0, 0);
  };
  ClickAt(tree, checkBoxOf(p));
  EXPECT_FALSE(tree.GetCheck(p));
  EXPECT_EQ(Checked(), (std::vector<std::wstring>{L""}));
  PumpFor(::GetDoubleClickTime() + 100);  // a second click, not a double click
  ClickAt(tree, checkBoxOf(p));
  EXPECT_EQ(Checked(), (std::vector<std::wstring>{L"", L"P\\", L"P\\A\\", L"P\\B\\", L"P\\B\\X\\"}));

  // An item marked -1 cannot be ticked.
  HTREEITEM a = Child(p, L"A");
  tree.SetItemData(a, static_cast<DWORD_PTR>(-1));
  PumpFor(::GetDoubleClickTime() + 100);
  ClickAt(tree, checkBoxOf(a));
  EXPECT_TRUE(tree.GetCheck(a));
}

TEST_F(FolderTreeTest, SystemFoldersAreDrawnWithTheirPlainNames) {
  HTREEITEM inbox = tree.AddFolderPath(L"($Inbox)\\", 8, 8);
  tree.SetItemData(inbox, 3);  // entries: drawn bold
  HTREEITEM lower = tree.AddFolderPath(L"($inbox)\\", 2, 2);
  tree.SetItemData(lower, 3);
  tree.SelectItem(inbox);
  tree.Invalidate();
  PumpFor(100);
  tree.UpdateWindow();
  CSnapshot shot(tree.GetSafeHwnd(), WindowArea::Client);
  shot.SaveBmp(ArtifactPath(L"wait_tree\\folder_tree.bmp"));

  // The text drawn in a label rectangle ends where the display name, in bold, ends.
  LOGFONTW lf = {};
  ::GetObjectW(reinterpret_cast<HFONT>(tree.SendMessage(WM_GETFONT)) ? reinterpret_cast<HFONT>(tree.SendMessage(WM_GETFONT))
                                                                     : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)),
               sizeof(lf), &lf);
  lf.lfWeight = FW_BOLD;
  HFONT bold = ::CreateFontIndirectW(&lf);
  HDC screen = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(screen, bold);
  auto extent = [&](const wchar_t* s) {
    SIZE size;
    ::GetTextExtentPoint32W(screen, s, lstrlenW(s), &size);
    return size.cx;
  };
  const int inboxWidth = extent(L"Inbox"), storedWidth = extent(L"($inbox)");
  ::SelectObject(screen, old);
  ::ReleaseDC(nullptr, screen);
  ::DeleteObject(bold);

  // Rightmost pixel of the given colour in an item's row, from the label's left edge.
  auto rightmost = [&](HTREEITEM h, const std::function<bool(COLORREF)>& match) {
    CRect rc;
    tree.GetItemRect(h, &rc, TRUE);
    int right = -1;
    for (int y = rc.top; y < rc.bottom; ++y)
      for (int x = rc.left; x < rc.right + 60; ++x)
        if (match(shot.Pixel(x, y))) right = std::max(right, static_cast<int>(x - rc.left));
    return right;
  };
  // Selected: white text on a blue cell exactly as wide as the drawn name.
  EXPECT_NEAR(rightmost(inbox, [](COLORREF c) { return c == RGB(0, 0, 255); }), 1 + inboxWidth, 3);
  // Not selected: black text on white.
  EXPECT_NEAR(rightmost(lower, [](COLORREF c) { return c != RGB(255, 255, 255); }), 2 + storedWidth, 3);
  // The selected item has the blue background behind its name.
  CRect rc;
  tree.GetItemRect(inbox, &rc, TRUE);
  int blue = 0;
  for (int x = rc.left; x < rc.left + inboxWidth; ++x)
    if (shot.Pixel(x, rc.top + 2) == RGB(0, 0, 255)) ++blue;
  EXPECT_GT(blue, inboxWidth / 2);
}

// ---------------------------------------------------------------------------------------
// Please-wait dialog and text progress bar

class WaitDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(page.CreateAt(CRect(0, 0, 200, 100), L"wait tree test", WS_EX_TOPMOST));
    ASSERT_TRUE(wait.Create(&page));
    wait.m_pOwner = &page;
  }
  CFolderPageWnd page;
  CWaitDlg wait;
};

TEST_F(WaitDlgTest, TheTemplateHasTheMessageTheBarsAndStop) {
  CString caption;
  wait.GetWindowText(caption);
  EXPECT_EQ(W(caption), L"Please wait while current process finish....");
  EXPECT_FALSE(wait.IsWindowVisible());
  wchar_t cls[64] = {};
  ::GetClassNameW(wait.m_Progress.GetSafeHwnd(), cls, 64);
  EXPECT_STREQ(cls, L"msctls_progress32");
  EXPECT_EQ(wait.m_Progress.GetDlgCtrlID(), IDC_WAIT_PROGRESS);
  EXPECT_EQ(wait.m_Label.GetDlgCtrlID(), IDC_WAIT_LABEL);
  CString stop;
  wait.GetDlgItem(IDC_WAIT_STOP)->GetWindowText(stop);
  EXPECT_EQ(W(stop), L"Stop");
  // 295 x 84 dialog units; the bar lies below the label, Stop below the bar.
  CRect label, bar, button;
  wait.m_Label.GetWindowRect(&label);
  wait.m_Progress.GetWindowRect(&bar);
  wait.GetDlgItem(IDC_WAIT_STOP)->GetWindowRect(&button);
  EXPECT_LT(label.bottom, bar.top);
  EXPECT_LT(bar.bottom, button.top);
  EXPECT_EQ(label.left, bar.left);
  EXPECT_EQ(label.Width(), bar.Width());
}

TEST_F(WaitDlgTest, ItHidesItselfUnlessKeptVisible) {
  wait.ShowWindow(SW_SHOWNA);
  CString text;
  wait.m_Label.GetWindowText(text);
  EXPECT_EQ(W(text), L"Please wait...");
  EXPECT_TRUE(PumpUntil([&] { return !wait.IsWindowVisible(); }, 1500));

  wait.m_nKeepVisible = 1;
  wait.ShowWindow(SW_SHOWNA);
  PumpFor(1200);
  EXPECT_TRUE(wait.IsWindowVisible());
  // The close box does nothing.
  wait.SendMessage(WM_CLOSE);
  EXPECT_TRUE(::IsWindow(wait.GetSafeHwnd()));
  EXPECT_TRUE(wait.IsWindowVisible());
}

TEST_F(WaitDlgTest, StopAsksTheOwnerToStop) {
  wait.m_nKeepVisible = 1;
  wait.ShowWindow(SW_SHOWNA);
  wait.GetDlgItem(IDC_WAIT_STOP)->SendMessage(BM_CLICK);
  EXPECT_EQ(page.stops, 1);
}

TEST_F(WaitDlgTest, ScanCountsAreWrittenIntoTheLabel) {
  wait.ShowScanCounts(3, 42, L"Contacts");
  CString text;
  wait.m_Label.GetWindowText(text);
  EXPECT_EQ(W(text),
            L"Please wait, the file is being scanned for contact items ...\r\n\r\nTotal Folder Found     :3  "
            L"Total Contact Found    :42\r\nLast Folder Found     :Contacts");
  wait.m_nKeepVisible = 1;
  wait.ShowWindow(SW_SHOWNA);
  wait.ShowScanCounts(15, 67, L"K\u00f6ln");
  wait.m_Progress.SetPos(60);
  PumpFor(100);
  wait.UpdateWindow();
  CSnapshot(wait.GetSafeHwnd(), WindowArea::Client).SaveBmp(ArtifactPath(L"wait_tree\\wait_dialog.bmp"));
}

TEST_F(WaitDlgTest, TheBarShowsPercentTextAndAGreenPart) {
  CTextProgressCtrl& bar = wait.m_Progress;
  wait.m_nKeepVisible = 1;
  wait.ShowWindow(SW_SHOWNA);
  bar.SetRange32(0, 100);
  bar.SetPos(45);
  bar.SetWindowText(L"Saving");
  EXPECT_EQ(bar.GetPercent(), 45);
  EXPECT_EQ(W(bar.GetCaptionText()), L"45% Saving");
  CRect rc;
  bar.GetClientRect(&rc);
  {
    bar.UpdateWindow();
    CSnapshot shot(bar.GetSafeHwnd(), WindowArea::Client);
    shot.SaveBmp(ArtifactPath(L"wait_tree\\text_progress.bmp"));
    const int y = rc.bottom - 2;
    const COLORREF done = shot.Pixel(rc.Width() * 20 / 100, y);
    EXPECT_EQ(GetGValue(done), 255);
    EXPECT_LT(GetRValue(done), 200);
    EXPECT_EQ(shot.Pixel(rc.Width() * 70 / 100, y), RGB(255, 255, 255));
  }
  // Range 0..200: the position is a share of the upper bound.
  bar.SetRange32(0, 200);
  bar.SetPos(50);
  EXPECT_EQ(W(bar.GetCaptionText()), L"25% Saving");
  // No upper bound: 0 % and no bar.
  bar.SetRange32(0, 0);
  EXPECT_EQ(bar.GetPercent(), 0);
  EXPECT_EQ(W(bar.GetCaptionText()), L"0% Saving");
  bar.UpdateWindow();
  CSnapshot empty(bar.GetSafeHwnd(), WindowArea::Client);
  EXPECT_EQ(empty.Pixel(rc.Width() * 20 / 100, rc.bottom - 2), RGB(255, 255, 255));
}

}  // namespace
