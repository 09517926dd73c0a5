// Control wrappers on real windows: tree (sorting, checks, texts), list, tab, check list
// box, tool tips, rich edit and the smaller controls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework.h"
#include "ui_sample_res.h"

namespace {

// A visible top-level window to host the controls of one test.
class Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_host.CreateEx(0, AfxRegisterWndClass(0, nullptr, (HBRUSH)(COLOR_BTNFACE + 1)), L"controls",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 500, 400, nullptr, nullptr));
  }
  void TearDown() override { m_host.DestroyWindow(); }
  CRect Area() const { return CRect(10, 10, 300, 300); }
  CWnd m_host;
};

std::vector<CString> ChildTexts(const CTreeCtrl& tree, HTREEITEM hParent) {
  std::vector<CString> texts;
  for (HTREEITEM h = tree.GetChildItem(hParent); h != nullptr; h = tree.GetNextSiblingItem(h))
    texts.push_back(tree.GetItemText(h));
  return texts;
}

TEST_F(Controls, TreeSortsInsertsKeepsChecksDataAndLongTexts) {
  CTreeCtrl tree;
  ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_CHECKBOXES, Area(),
                          &m_host, 1));
  EXPECT_TRUE(tree.GetStyle() & TVS_CHECKBOXES);
  HTREEITEM hRoot = tree.InsertItem(L"NSF File", 0, 0);
  for (LPCWSTR name : {L"pear", L"apple", L"mango"}) tree.InsertItem(name, hRoot, TVI_SORT);
  tree.InsertItem(L"zebra", hRoot, TVI_FIRST);
  EXPECT_EQ(ChildTexts(tree, hRoot), (std::vector<CString>{L"zebra", L"apple", L"mango", L"pear"}));
  tree.SortChildren(hRoot);
  EXPECT_EQ(ChildTexts(tree, hRoot), (std::vector<CString>{L"apple", L"mango", L"pear", L"zebra"}));
  EXPECT_EQ(tree.GetCount(), 5u);
  EXPECT_EQ(tree.GetRootItem(), hRoot);
  EXPECT_TRUE(tree.ItemHasChildren(hRoot));
  HTREEITEM hMango = tree.GetNextSiblingItem(tree.GetChildItem(hRoot));
  EXPECT_FALSE(tree.ItemHasChildren(hMango));
  EXPECT_EQ(tree.GetParentItem(hMango), hRoot);
  EXPECT_EQ(tree.GetNextItem(hMango, TVGN_PREVIOUS), tree.GetChildItem(hRoot));

  // Checks are state images 1 and 2, and show at once although the style came first.
  EXPECT_TRUE(tree.SetCheck(hMango));
  EXPECT_TRUE(tree.GetCheck(hMango));
  EXPECT_FALSE(tree.GetCheck(hRoot));
  EXPECT_EQ(tree.GetItemState(hMango, TVIS_STATEIMAGEMASK) >> 12, 2u);
  EXPECT_NE(tree.SendMessage(TVM_GETIMAGELIST, TVSIL_STATE), 0);
  tree.SetCheck(hMango, FALSE);
  EXPECT_FALSE(tree.GetCheck(hMango));

  EXPECT_TRUE(tree.SetItemData(hMango, 0x1234));
  EXPECT_EQ(tree.GetItemData(hMango), 0x1234u);
  EXPECT_TRUE(tree.SetItemImage(hMango, 3, 4));
  int nImage = 0, nSelected = 0;
  ASSERT_TRUE(tree.GetItemImage(hMango, nImage, nSelected));
  EXPECT_EQ(nImage, 3);
  EXPECT_EQ(nSelected, 4);
  CString longText(L'x', 1000);
  ASSERT_TRUE(tree.SetItemText(hMango, longText));
  EXPECT_EQ(tree.GetItemText(hMango), longText);
  tree.SetItemText(hMango, L"mango");

  tree.Expand(hRoot, TVE_EXPAND);
  tree.EnsureVisible(hMango);  // TRUE only when it had to scroll
  EXPECT_TRUE(tree.SelectItem(hMango));
  EXPECT_EQ(tree.GetSelectedItem(), hMango);
  CRect rc, rcClient;
  ASSERT_TRUE(tree.GetItemRect(hMango, &rc, TRUE));
  tree.GetClientRect(&rcClient);
  EXPECT_TRUE(rcClient.PtInRect(rc.CenterPoint()));
  UINT flags = 0;
  EXPECT_EQ(tree.HitTest(rc.CenterPoint(), &flags), hMango);
  EXPECT_TRUE(flags & TVHT_ONITEMLABEL);

  EXPECT_TRUE(tree.DeleteItem(hMango));
  EXPECT_EQ(tree.GetCount(), 4u);
  EXPECT_TRUE(tree.DeleteAllItems());
  EXPECT_EQ(tree.GetCount(), 0u);
  EXPECT_EQ(tree.GetRootItem(), nullptr);
}

TEST_F(Controls, ListKeepsTextsDataAndTheSelection) {
  CListCtrl list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, Area(), &m_host, 2));
  list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES);
  EXPECT_EQ(list.GetExtendedStyle() & (LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES),
            (DWORD)(LVS_EX_FULLROWSELECT | LVS_EX_CHECKBOXES));
  EXPECT_EQ(list.InsertColumn(0, L"Name", LVCFMT_LEFT, 100), 0);
  EXPECT_EQ(list.InsertColumn(1, L"Mail", LVCFMT_LEFT, 150), 1);
  EXPECT_TRUE(list.SetColumnWidth(1, 120));
  EXPECT_EQ(list.GetColumnWidth(1), 120);
  ASSERT_NE(list.GetHeaderCtrl(), nullptr);
  EXPECT_EQ(list.GetHeaderCtrl()->GetItemCount(), 2);
  const wchar_t* names[] = {L"Ada", L"Alan", L"Grace", L"Edsger"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(list.InsertItem(i, names[i]), i);
    list.SetItemText(i, 1, CString(names[i]) + L"@example.org");
    list.SetItemData(i, 100 + i);
  }
  EXPECT_EQ(list.GetItemCount(), 4);
  EXPECT_EQ(list.GetItemText(2, 0), L"Grace");
  EXPECT_EQ(list.GetItemText(2, 1), L"Grace@example.org");
  EXPECT_EQ(list.GetItemData(3), 103u);
  CString longText(L'y', 700);
  list.SetItemText(0, 1, longText);
  EXPECT_EQ(list.GetItemText(0, 1), longText);

  EXPECT_EQ(list.GetFirstSelectedItemPosition(), (POSITION)NULL);
  list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
  EXPECT_EQ(list.GetSelectedCount(), 2u);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
  std::vector<int> selected;
  for (POSITION pos = list.GetFirstSelectedItemPosition(); pos != NULL;) selected.push_back(list.GetNextSelectedItem(pos));
  EXPECT_EQ(selected, (std::vector<int>{1, 3}));
  EXPECT_EQ(list.GetItemState(3, LVIS_SELECTED), (UINT)LVIS_SELECTED);

  EXPECT_TRUE(list.SetCheck(2));
  EXPECT_TRUE(list.GetCheck(2));
  EXPECT_FALSE(list.GetCheck(1));
  EXPECT_TRUE(list.EnsureVisible(3, FALSE));
  CRect rc;
  ASSERT_TRUE(list.GetItemRect(2, &rc, LVIR_LABEL));
  EXPECT_EQ(list.HitTest(rc.CenterPoint()), 2);

  EXPECT_TRUE(list.DeleteItem(1));
  EXPECT_EQ(list.GetItemCount(), 3);
  EXPECT_EQ(list.GetItemText(1, 0), L"Grace");
  EXPECT_TRUE(list.DeleteAllItems());
  EXPECT_EQ(list.GetItemCount(), 0);
}

TEST_F(Controls, TabSelectsItemsAndAdjustsRectangles) {
  CTabCtrl tab;
  ASSERT_TRUE(tab.Create(WS_CHILD | WS_VISIBLE, Area(), &m_host, 3));
  EXPECT_EQ(tab.InsertItem(0, L"Files"), 0);
  EXPECT_EQ(tab.InsertItem(1, L"Folders"), 1);
  EXPECT_EQ(tab.InsertItem(2, L"Save", 0), 2);
  EXPECT_EQ(tab.GetItemCount(), 3);
  tab.SetCurSel(1);
  EXPECT_EQ(tab.GetCurSel(), 1);
  CRect rcItem;
  ASSERT_TRUE(tab.GetItemRect(2, &rcItem));
  TCHITTESTINFO hti = {rcItem.CenterPoint(), 0};
  EXPECT_EQ(tab.HitTest(&hti), 2);
  CRect rcWindow(0, 0, 290, 290), rcDisplay = rcWindow;
  tab.AdjustRect(FALSE, &rcDisplay);
  EXPECT_GT(rcDisplay.top, rcWindow.top) << "the tabs take room at the top";
  EXPECT_TRUE(rcWindow.PtInRect(rcDisplay.CenterPoint()));
  tab.AdjustRect(TRUE, &rcDisplay);
  EXPECT_EQ(rcDisplay, rcWindow);
  EXPECT_TRUE(tab.DeleteItem(0));
  EXPECT_EQ(tab.GetItemCount(), 2);
  CImageList images;
  ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1));
  tab.SetImageList(&images);
  EXPECT_EQ(tab.GetImageList()->GetSafeHandle(), images.GetSafeHandle());
}

// A parent that records the check list box's CLBN_CHKCHANGE notifications.
class CCheckHost : public CWnd {
 public:
  std::vector<int> m_changes;
  std::vector<int> m_codes;  // selection and check notifications, in order

 protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (HIWORD(wParam) == CLBN_CHKCHANGE) m_changes.push_back(LOWORD(wParam));
    if (LOWORD(wParam) == 7 && (HIWORD(wParam) == LBN_SELCHANGE || HIWORD(wParam) == CLBN_CHKCHANGE))
      m_codes.push_back(HIWORD(wParam));
    return CWnd::OnCommand(wParam, lParam);
  }
};

TEST(CheckListBox, ClicksOnTheBoxToggleAndTellTheParent) {
  CCheckHost host;
  ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), L"check list", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                            300, nullptr, nullptr));
  CCheckListBox list;
  ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LBS_NOTIFY, CRect(5, 5, 250, 200), &host, 7));
  EXPECT_TRUE(list.GetStyle() & LBS_OWNERDRAWFIXED);
  for (LPCWSTR name : {L"Standard", L"Formatting", L"Web"}) list.AddString(name);
  list.SetItemData(1, 0xBEEF);
  list.SetCheck(1, 1);
  EXPECT_EQ(list.GetCheck(1), 1);
  EXPECT_EQ(list.GetItemData(1), 0xBEEFu) << "checks and data are separate";
  EXPECT_EQ(list.GetCheck(0), 0);
  CString text;
  list.GetText(1, text);
  EXPECT_EQ(text, L"Formatting");

  CRect rcItem;
  ASSERT_NE(list.GetItemRect(2, &rcItem), LB_ERR);
  CPoint box = list.CheckRect(rcItem).CenterPoint();
  list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.x, box.y));
  EXPECT_EQ(list.GetCheck(2), 1);
  EXPECT_EQ(host.m_changes, std::vector<int>{7});
  EXPECT_EQ(list.GetCurSel(), 2) << "the box's item is selected before its check changes";
  EXPECT_EQ(host.m_codes, (std::vector<int>{LBN_SELCHANGE, CLBN_CHKCHANGE}));
  host.m_codes.clear();
  list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.x, box.y));
  EXPECT_EQ(list.GetCheck(2), 0);
  EXPECT_EQ(host.m_codes, std::vector<int>{CLBN_CHKCHANGE}) << "already selected: only the check changes";
  list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.x, box.y));
  EXPECT_EQ(list.GetCheck(2), 1);
  host.m_changes = {7};
  CPoint label(rcItem.right - 10, rcItem.CenterPoint().y);
  list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(label.x, label.y));
  list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(label.x, label.y));
  EXPECT_EQ(list.GetCheck(2), 1) << "a click on the text only selects";
  list.Enable(0, FALSE);
  ASSERT_NE(list.GetItemRect(0, &rcItem), LB_ERR);
  box = list.CheckRect(rcItem).CenterPoint();
  list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(box.x, box.y));
  EXPECT_EQ(list.GetCheck(0), 0) << "disabled items keep their check";
  list.UpdateWindow();
  list.DeleteString(1);  // frees the item's record
  EXPECT_EQ(list.GetCount(), 2);
  EXPECT_EQ(list.GetCheck(5), -1);
  host.DestroyWindow();
}

TEST_F(Controls, ToolTipsAddUpdateAndRemoveTools) {
  CToolTipCtrl tips;
  ASSERT_TRUE(tips.Create(&m_host, TTS_ALWAYSTIP));
  CRect rc(0, 0, 50, 50);
  ASSERT_TRUE(tips.AddTool(&m_host, L"first text", &rc, 5));
  EXPECT_EQ(tips.GetToolCount(), 1);
  EXPECT_EQ(tips.GetText(&m_host, 5), L"first text");
  tips.UpdateTipText(L"second text", &m_host, 5);
  EXPECT_EQ(tips.GetText(&m_host, 5), L"second text");
  TTTOOLINFOW ti;
  ASSERT_TRUE(tips.GetToolInfo(ti, &m_host, 5));
  EXPECT_EQ(CRect(ti.rect), rc);
  EXPECT_EQ(tips.SetMaxTipWidth(200), -1);
  tips.Activate(TRUE);
  tips.DelTool(&m_host, 5);
  EXPECT_EQ(tips.GetToolCount(), 0);
}

DWORD CALLBACK ReadFromString(DWORD_PTR cookie, LPBYTE buffer, LONG cb, LONG* pcb) {
  auto* source = reinterpret_cast<std::string*>(cookie);
  *pcb = (LONG)std::min<size_t>(cb, source->size());
  memcpy(buffer, source->data(), *pcb);
  source->erase(0, *pcb);
  return 0;
}

DWORD CALLBACK WriteToString(DWORD_PTR cookie, LPBYTE buffer, LONG cb, LONG* pcb) {
  reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<char*>(buffer), cb);
  *pcb = cb;
  return 0;
}

TEST_F(Controls, RichEditStreamsRtfInAndTextOut) {
  ASSERT_TRUE(AfxInitRichEdit());
  CRichEditCtrl edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE, Area(), &m_host, 4));
  std::string rtf = "{\\rtf1\\ansi Hello {\\b bold} world}";
  EDITSTREAM in = {reinterpret_cast<DWORD_PTR>(&rtf), 0, ReadFromString};
  edit.StreamIn(SF_RTF, in);
  EXPECT_EQ(edit.GetTextLength(), 16);
  std::string out;
  EDITSTREAM es = {reinterpret_cast<DWORD_PTR>(&out), 0, WriteToString};
  edit.StreamOut(SF_TEXT, es);
  EXPECT_EQ(out, "Hello bold world");
  edit.SetSel(6, 10);
  EXPECT_EQ(edit.GetSelText(), L"bold");
  edit.ReplaceSel(L"plain");
  EXPECT_EQ(edit.GetTextLength(), 17);
  edit.LimitText(20);
  EXPECT_EQ(edit.GetLimitText(), 20);
  edit.SetEventMask(ENM_CHANGE);
  EXPECT_EQ(edit.GetEventMask(), (DWORD)ENM_CHANGE);
  edit.SetReadOnly();
  EXPECT_TRUE(edit.GetStyle() & ES_READONLY);
  edit.SetBackgroundColor(FALSE, RGB(255, 255, 224));
}

TEST_F(Controls, SmallerControlsWrapTheirMessages) {
  CProgressCtrl progress;
  ASSERT_TRUE(progress.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 200, 30), &m_host, 5));
  progress.SetRange32(0, 1000);
  progress.SetPos(250);
  int lo = -1, hi = -1;
  progress.GetRange(lo, hi);
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hi, 1000);
  EXPECT_EQ(progress.GetPos(), 250);

  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE, CRect(10, 40, 200, 100), &m_host, 6));
  edit.SetWindowText(L"first\r\nsecond line");
  EXPECT_EQ(edit.GetLineCount(), 2);
  wchar_t line[32] = {};
  EXPECT_EQ(edit.GetLine(1, line, 31), 11);
  EXPECT_STREQ(line, L"second line");

  CComboBox combo;
  ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(10, 110, 200, 200), &m_host, 7));
  combo.AddString(L"PST");
  combo.AddString(L"Excel");
  combo.SetCurSel(1);
  CString text;
  combo.GetLBText(combo.GetCurSel(), text);
  EXPECT_EQ(text, L"Excel");

  CSpinButtonCtrl spin;
  ASSERT_TRUE(spin.Create(WS_CHILD | WS_VISIBLE, CRect(210, 40, 230, 60), &m_host, 8));
  spin.SetRange32(-5, 500);
  spin.SetPos(42);
  EXPECT_EQ(spin.GetPos(), 42);

  CAnimateCtrl animate;
  ASSERT_TRUE(animate.Create(WS_CHILD | WS_VISIBLE | ACS_CENTER, CRect(10, 210, 100, 260), &m_host, 9));
  EXPECT_FALSE(animate.Open(L"no-such-clip.avi")) << "a missing clip fails without harm";
  EXPECT_FALSE(animate.Open(4242u)) << "as does a missing AVI resource";
  EXPECT_FALSE(animate.IsPlaying());
  animate.Close();
}

TEST_F(Controls, AnimationPlaysAClipFromAnAviResource) {
  CAnimateCtrl animate;
  ASSERT_TRUE(animate.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 42, 42), &m_host, 9));
  ASSERT_TRUE(animate.Open(IDR_CLIP));
  // The clip's square moves right by 8 pixels a frame: frame 0 covers x 0..7, frame 3
  // x 24..31 (rows 12..19).
  auto pixelAt = [&](int x, int y) {
    animate.UpdateWindow();
    HDC hDC = ::GetDC(animate.m_hWnd);
    COLORREF c = ::GetPixel(hDC, x, y);
    ::ReleaseDC(animate.m_hWnd, hDC);
    return c;
  };
  const COLORREF square = RGB(200, 40, 40), background = RGB(250, 240, 230);
  ASSERT_TRUE(animate.Seek(0));
  EXPECT_EQ(pixelAt(4, 16), square);
  EXPECT_EQ(pixelAt(28, 16), background);
  ASSERT_TRUE(animate.Seek(3));
  EXPECT_EQ(pixelAt(4, 16), background);
  EXPECT_EQ(pixelAt(28, 16), square);
  EXPECT_TRUE(animate.Play(0, (UINT)-1, (UINT)-1));
  EXPECT_TRUE(animate.Stop());
  EXPECT_TRUE(animate.Close());
  EXPECT_FALSE(animate.Seek(1)) << "nothing to show once closed";
}

}  // namespace
