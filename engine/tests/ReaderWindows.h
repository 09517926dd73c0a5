// Real windows for the reader to report into: a page window holding the folder tree (one
// level down, as on the folder page), and the please-wait dialog from its template.
#pragma once

#include "FolderTreeCtrl.h"
#include "ReaderTestSupport.h"
#include "WaitDlg.h"

namespace readertest {

// A top-level window that keeps the folder paths and stop requests it is sent.
class CPageWnd : public CWnd {
 public:
  BOOL CreateAt(const CRect& rc) {
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return CreateEx(0, cls, L"reader test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, rc.left, rc.top, rc.Width(),
                    rc.Height(), nullptr, nullptr);
  }
  std::vector<std::wstring> chosen;
  int stops = 0;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == UM_FOLDERCHOSEN) {
      chosen.push_back(reinterpret_cast<const wchar_t*>(wParam));
      return 0;
    }
    if (message == UM_STOPPROCESS) {
      ++stops;
      return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

struct ReaderWindows {
  CPageWnd page;
  CStatic holder;  // the tree's parent; the page is the window above it
  CFolderTreeCtrl tree;
  CImageList images;
  CWaitDlg wait;

  // Creates everything; the wait dialog is shown and kept visible.
  void Create() {
    ASSERT_TRUE(page.CreateAt(CRect(0, 0, 900, 600)));
    ASSERT_TRUE(holder.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 600), &page, 1));
    ASSERT_TRUE(tree.Create(CFolderTreeCtrl::kStyle, CRect(0, 0, 400, 600), &holder, CFolderTreeCtrl::kControlId));
    ASSERT_TRUE(CFolderTreeCtrl::CreateFolderImageList(images));
    tree.SetImageList(&images, TVSIL_NORMAL);
    ASSERT_TRUE(wait.Create(&page));
    wait.m_pOwner = &page;
    wait.m_nKeepVisible = 1;
    wait.ShowWindow(SW_SHOWNA);
    Pump();
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
