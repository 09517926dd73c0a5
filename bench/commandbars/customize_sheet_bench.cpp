// Command 35001 to the customize sheet painted. The bars' sample frame (the program's menu,
// toolbar and icons) gets WM_COMMAND 35001 posted; the time runs until the sheet and every
// visible window inside it have painted (no update region left), seen by a hook on the
// thread's window procedures after each WM_PAINT. The sheet is then closed and the next run
// follows. Two cases: the sheet as the program builds it (categories from menu 128), and the
// same with a first category of 1,000 commands, which the commands page lists at once.
//   BarsSample-like program: xvfb-run -a wine commandbars_customize_sheet_bench.exe
#include <framework.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "BarsSampleFrame.h"
#include "MainFrameBars.h"
#include "XTPCommandBars.h"
#include "XTPControls.h"
#include "XTPCustomizeCommandsPage.h"
#include "XTPCustomizeSheet.h"
#include "bench_clock.h"
#include "resource.h"

namespace {

const int kRuns = 15;
const UINT kManyCommandsFirst = 40000;
const int kManyCommands = 1000;

bench::Stopwatch g_clock;
double g_paintedAt = -1;
HHOOK g_hHook = NULL;

BOOL CALLBACK FindUnpainted(HWND hWnd, LPARAM lParam) {
  if (::IsWindowVisible(hWnd) && ::GetUpdateRect(hWnd, NULL, FALSE)) {
    *reinterpret_cast<BOOL*>(lParam) = TRUE;
    return FALSE;
  }
  return TRUE;
}

LRESULT CALLBACK PaintWatch(int nCode, WPARAM wParam, LPARAM lParam) {
  const CWPRETSTRUCT* p = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (nCode >= 0 && p->message == WM_PAINT && g_paintedAt < 0) {
    CXTPCustomizeSheet* pSheet = CXTPCustomizeSheet::GetRunningSheet();
    HWND hSheet = pSheet != NULL ? pSheet->GetSafeHwnd() : NULL;
    if (hSheet != NULL && ::IsWindowVisible(hSheet) && !::GetUpdateRect(hSheet, NULL, FALSE)) {
      BOOL bUnpainted = FALSE;
      ::EnumChildWindows(hSheet, FindUnpainted, reinterpret_cast<LPARAM>(&bUnpainted));
      if (!bUnpainted) {
        g_paintedAt = g_clock.Milliseconds();
        ::PostMessage(hSheet, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      }
    }
  }
  return ::CallNextHookEx(g_hHook, nCode, wParam, lParam);
}

// The sample frame; with many commands its 35001 builds the sheet itself, with a first
// category of 1,000 commands before those of menu 128.
class CBenchFrame : public CBarsSampleFrame {
 public:
  BOOL bManyCommands = FALSE;

 protected:
  afx_msg void OnBenchCustomize() {
    if (!bManyCommands) {
      CMainFrameBars::Customize(this);
      return;
    }
    CXTPCustomizeSheet sheet(GetCommandBars());
    CXTPCustomizeCommandsPage* pCommands = sheet.GetCommandsPage();
    CXTPControls* pMany = pCommands->AddCategory(_T("Many"), 0);
    for (int i = 0; i < kManyCommands; i++) {
      CXTPControl* pControl = pMany->Add(xtpControlButton, (int)(kManyCommandsFirst + i));
      CString strCaption;
      strCaption.Format(_T("Command %d"), i + 1);
      pControl->SetCaption(strCaption);
    }
    pCommands->AddCategories(IDR_MAINFRAME, FALSE);
    pCommands->InsertAllCommandsCategory(9337, -1);
    pCommands->InsertBuiltInMenus(IDR_MAINFRAME, 9350, -1);
    pCommands->InsertNewMenuCategory(9314, -1);
    sheet.SetActivePage(1);
    sheet.DoModal();
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBenchFrame, CBarsSampleFrame)
  ON_COMMAND(ID_TOOLS_CUSTOMIZE, OnBenchCustomize)
END_MESSAGE_MAP()

void Pump(DWORD ms, const bool* pDone = NULL) {
  const DWORD t0 = ::GetTickCount();
  while (::GetTickCount() - t0 < ms && (pDone == NULL || !*pDone)) {
    MSG msg;
    while (::PeekMessage(&msg, NULL, 0, 0, PM_NOREMOVE))
      if (!AfxPumpMessage()) return;
    ::MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
  }
}

void Measure(CBenchFrame* pFrame, BOOL bMany, const char* what) {
  pFrame->bManyCommands = bMany;
  std::vector<double> ms;
  for (int r = 0; r < kRuns; r++) {
    g_paintedAt = -1;
    g_clock.Restart();
    pFrame->PostMessage(WM_COMMAND, ID_TOOLS_CUSTOMIZE, 0);
    // The sheet's modal loop runs inside this pump; it ends when the hook closes it.
    bool bDone = false;
    const DWORD t0 = ::GetTickCount();
    while (!bDone && ::GetTickCount() - t0 < 10000) {
      Pump(20);
      bDone = g_paintedAt >= 0 && CXTPCustomizeSheet::GetRunningSheet() == NULL;
    }
    if (g_paintedAt < 0) {
      std::printf("%s run %d: the sheet never finished painting\n", what, r);
      continue;
    }
    ms.push_back(g_paintedAt);
    Pump(50);
  }
  if (ms.empty()) return;
  std::sort(ms.begin(), ms.end());
  std::printf("35001 to the customize sheet painted, %s: %d runs  median %.1f ms  best %.1f ms  worst %.1f ms\n", what,
              (int)ms.size(), ms[ms.size() / 2], ms[0], ms.back());
  std::fflush(stdout);  // a windowed program's output is not flushed at its end
}

class CBenchApp : public CWinApp {
 public:
  CBenchApp() : CWinApp(_T("VorlixCustomizeSheetBench")) {}
  BOOL InitInstance() override {
    CWinApp::InitInstance();
    SetRegistryKey(_T("Local AppWizard-Generated Applications"));
    CBenchFrame* pFrame = new CBenchFrame;
    if (!pFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW)) {
      std::printf("no frame\n");
      return FALSE;
    }
    m_pMainWnd = pFrame;
    pFrame->SetWindowPos(NULL, 20, 20, 900, 600, SWP_NOZORDER);
    pFrame->ShowWindow(SW_SHOW);
    pFrame->UpdateWindow();
    ::SetForegroundWindow(pFrame->GetSafeHwnd());
    Pump(500);
    g_hHook = ::SetWindowsHookEx(WH_CALLWNDPROCRET, PaintWatch, NULL, ::GetCurrentThreadId());
    Measure(pFrame, FALSE, "menu 128's categories");
    Measure(pFrame, TRUE, "with 1,000 commands");
    ::UnhookWindowsHookEx(g_hHook);
    // The bench leaves no stored layout behind.
    pFrame->DestroyWindow();
    m_pMainWnd = NULL;
    ::RegDeleteTreeW(HKEY_CURRENT_USER,
               _T("Software\\Local AppWizard-Generated Applications\\VorlixCustomizeSheetBench"));
    return FALSE;
  }
};

CBenchApp theApp;

}  // namespace
