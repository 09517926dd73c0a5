// A small GUI program on the framework's own entry point, run by the window-layer tests:
// its application object creates a main window, idles, filters a key on its way to a
// child, and ends when the main window is destroyed. It writes what it saw, one item a
// line, to the file named on its command line, and returns ExitInstance's code.
#include <cstdio>
#include <string>

#include "framework.h"

namespace {

const UINT_PTR kTimerStart = 1, kTimerEnd = 2;

class CProbeChild : public CWnd {
 public:
  int keys = 0;

 protected:
  afx_msg void OnKeyDown(UINT, UINT, UINT) { ++keys; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CProbeChild, CWnd)
  ON_WM_KEYDOWN()
END_MESSAGE_MAP()

class CProbeMainWnd : public CWnd {
 public:
  CProbeChild child;
  int filteredKeys = 0;

  BOOL PreTranslateMessage(MSG* pMsg) override {
    // The main window sees its descendants' input first and eats F9.
    if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F9) {
      ++filteredKeys;
      return TRUE;
    }
    return FALSE;
  }

 protected:
  afx_msg void OnTimer(UINT_PTR nIDEvent) {
    KillTimer(nIDEvent);
    if (nIDEvent == kTimerStart) {
      child.PostMessage(WM_KEYDOWN, VK_F9, 1);  // eaten by this window
      child.PostMessage(WM_KEYDOWN, VK_F8, 1);  // reaches the child
      SetTimer(kTimerEnd, 50, nullptr);
    } else {
      DestroyWindow();  // the main window's end is the program's end
    }
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CProbeMainWnd, CWnd)
  ON_WM_TIMER()
END_MESSAGE_MAP()

class CProbeApp : public CWinApp {
 public:
  CProbeMainWnd m_wndMain;
  LONG m_nIdle = 0;
  bool m_bMainWndSeen = false;

  BOOL InitInstance() override {
    if (!m_wndMain.CreateEx(0, nullptr, L"probe", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr) ||
        !m_wndMain.child.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 50, 50), &m_wndMain, 1))
      return FALSE;
    m_pMainWnd = &m_wndMain;
    m_wndMain.ShowWindow(SW_SHOWNOACTIVATE);
    m_wndMain.SetTimer(kTimerStart, 50, nullptr);
    return TRUE;
  }
  BOOL OnIdle(LONG lCount) override {
    ++m_nIdle;
    m_bMainWndSeen = m_bMainWndSeen || AfxGetMainWnd() == &m_wndMain;
    return CWinApp::OnIdle(lCount);
  }
  int ExitInstance() override {
    const std::wstring out = std::wstring(m_lpCmdLine);
    FILE* f = _wfopen(out.c_str(), L"wb");
    if (f != nullptr) {
      fwprintf(f, L"app=%ls\nexe=%ls\nidle=%d\nmainwnd=%d\nfiltered=%d\nchildkeys=%d\nmainwnd-after=%d\n",
               m_pszAppName, m_pszExeName, m_nIdle > 0, m_bMainWndSeen, m_wndMain.filteredKeys,
               m_wndMain.child.keys, m_pMainWnd == nullptr);
      fclose(f);
    }
    return CWinApp::ExitInstance() + 40;
  }
};

CProbeApp theApp;

}  // namespace
