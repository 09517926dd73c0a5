// Real windows for the reader to report into: a page window holding the folder tree (one
// level down, as on the folder page), and the please-wait dialog from its template.
#pragma once

#include "FolderPageWnd.h"
#include "FolderTreeCtrl.h"
#include "ReaderTestSupport.h"
#include "WaitDlg.h"

namespace readertest {

struct ReaderWindows {
  waittreetest::CFolderPageWnd page;
  CStatic holder;  // the tree's parent; the page is the window above it
  CFolderTreeCtrl tree;
  CImageList images;
  CWaitDlg wait;

  // Creates everything; the wait dialog is shown and kept visible.
  void Create() {
    ASSERT_TRUE(page.CreateAt(CRect(0, 0, 900, 600), L"reader test"));
    ASSERT_TRUE(holder.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 600), &page, 1));
    ASSERT_TRUE(tree.Create(CFolderTreeCtrl::kStyle, CRect(0, 0, 400, 600), &holder, CFolderTreeCtrl::kControlId));
    ASSERT_TRUE(CFolderTreeCtrl::CreateFolderImageList(images));
    tree.SetImageList(&images, TVSIL_NORMAL);
    ASSERT_TRUE(wait.Create(&page));
    wait.m_pOwner = &page;
    wait.m_nKeepVisible = 1;
    wait.ShowWindow(SW_SHOWNA);
    testsupport::PumpFor(50);
  }
  void Attach(CNotesReader& reader) {
    reader.m_pFolderTree = &tree;
    reader.m_pProgressDlg = &wait;
  }
  CString LabelText() {
    CString text;
    wait.m_Label.GetWindowText(text);
    return text;
  }
};

}  // namespace readertest
