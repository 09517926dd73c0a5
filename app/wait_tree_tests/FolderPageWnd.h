// A top-level window standing in for the folder page in tests that put the folder tree or
// the please-wait dialog on the screen: it keeps what they send the page.
#pragma once

#include <framework.h>

#include <string>
#include <vector>

#include "FolderTreeCtrl.h"
#include "WaitDlg.h"
#include "test_window.h"

namespace waittreetest {

// Keeps every folder path the tree reports (UM_FOLDERCHOSEN) and counts the stop requests
// of the please-wait dialog (UM_STOPPROCESS).
class CFolderPageWnd : public CWnd {
 public:
  BOOL CreateAt(const CRect& rc, LPCWSTR title, DWORD exStyle = 0) {
    return testsupport::CreateTestWindow(*this, rc, title, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, exStyle);
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

}  // namespace waittreetest
