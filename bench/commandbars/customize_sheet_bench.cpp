// Command 35001 to the customize sheet painted. The bars' sample frame (the program's menu,
// toolbar and icons) gets WM_COMMAND 35001 posted; the time runs until the sheet and every
// visible window inside it have painted (no update region left). The update regions are
// checked where no paint is under way: when a message is taken from the queue (a hook on
// the thread's queue) and when the sheet's modal loop, its queue empty, has sent the sheet
// its idle message (the sheet's window procedure is wrapped as soon as a window-management
// hook sees the sheet's window: at the latest when it is activated on showing). A hook on
// sent messages would cost a trip to the window server for every message the sheet sends
// while it is built. The sheet is then closed and the next run follows. Two cases: the sheet as
// the program builds it (categories from menu 128), and the same with a first category of
// 1,000 commands, which the commands page lists at once.
// A console program, like the other benches: the figures go to standard output.
//   WINEPREFIX=... xvfb-run -a wine commandbars_customize_sheet_bench.exe [runs]
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

int g_nRuns = 15;
const UINT kManyCommandsFirst = 40000;
const int kManyCommands = 1000;

bench::Stopwatch g_clock;
double g_paintedAt = -1;
bool g_bPaintSeen = false;
HHOOK g_hQueueHook = NULL;
HHOOK g_hWindowHook = NULL;
HWND g_hWrapped = NULL;
WNDPROC g_pfnSheetProc = NULL;

BOOL CALLBACK FindUnpainted(HWND hWnd, LPARAM lParam) {
  if (::IsWindowVisible(hWnd) && ::GetUpdateRect(hWnd, NULL, FALSE)) {
    *reinterpret_cast<BOOL*>(lParam) = TRUE;
    return FALSE;
  }
  return TRUE;
}

HWND RunningSheetWindow() {
  CXTPCustomizeSheet* pSheet = CXTPCustomizeSheet::GetRunningSheet();
  return pSheet != NULL ? pSheet->GetSafeHwnd() : NULL;
}

// Between two messages of the sheet's loop, once it has begun to paint: the clock stops
// when nothing in the sheet is left to paint. (Inside a paint the window's own update region
// is already gone while it has drawn nothing yet.)
void CheckPainted(HWND hSheet) {
  if (g_paintedAt >= 0 || !g_bPaintSeen || !::IsWindowVisible(hSheet) || ::GetUpdateRect(hSheet, NULL, FALSE)) return;
  BOOL bUnpainted = FALSE;
  ::EnumChildWindows(hSheet, FindUnpainted, reinterpret_cast<LPARAM>(&bUnpainted));
  if (bUnpainted) return;
  g_paintedAt = g_clock.Milliseconds();
  ::PostMessage(hSheet, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

LRESULT CALLBACK SheetProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC pfnSheetProc = g_pfnSheetProc;
  if (message == WM_PAINT) g_bPaintSeen = true;
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, (LONG_PTR)pfnSheetProc);
    g_hWrapped = NULL;
  }
  const LRESULT lResult = ::CallWindowProc(pfnSheetProc, hWnd, message, wParam, lParam);
  if (message == WM_KICKIDLE) CheckPainted(hWnd);
  return lResult;
}

// Wraps the running sheet's window procedure once; the sheet's window or null.
HWND WrapSheet() {
  const HWND hSheet = RunningSheetWindow();
  if (hSheet != NULL && g_hWrapped != hSheet) {
    g_pfnSheetProc = (WNDPROC)::SetWindowLongPtr(hSheet, GWLP_WNDPROC, (LONG_PTR)SheetProc);
    g_hWrapped = hSheet;
  }
  return hSheet;
}

LRESULT CALLBACK WindowWatch(int nCode, WPARAM wParam, LPARAM lParam) {
  if (nCode >= 0) WrapSheet();
  return ::CallNextHookEx(g_hWindowHook, nCode, wParam, lParam);
}

LRESULT CALLBACK QueueWatch(int nCode, WPARAM wParam, LPARAM lParam) {
  if (nCode >= 0 && wParam == PM_REMOVE) {
    const HWND hSheet = WrapSheet();
    const MSG* p = reinterpret_cast<const MSG*>(lParam);
    if (hSheet != NULL && p->message == WM_PAINT && p->hwnd != NULL && ::IsChild(hSheet, p->hwnd))
      g_bPaintSeen = true;
    if (hSheet != NULL) CheckPainted(hSheet);
  }
  return ::CallNextHookEx(g_hQueueHook, nCode, wParam, lParam);
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

bool Measure(CBenchFrame* pFrame, BOOL bMany, const char* what) {
  pFrame->bManyCommands = bMany;
  std::vector<double> ms;
  for (int r = 0; r < g_nRuns; r++) {
    g_paintedAt = -1;
    g_bPaintSeen = false;
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
  if (ms.empty()) return false;
  std::sort(ms.begin(), ms.end());
  std::printf("35001 to the customize sheet painted, %s: %d runs  median %.1f ms  best %.1f ms  worst %.1f ms\n", what,
              (int)ms.size(), ms[ms.size() / 2], ms[0], ms.back());
  return true;
}

// The application object the frame and the sheet expect; the program starts in wmain.
class CBenchApp : public CWinApp {
 public:
  CBenchApp() : CWinApp(_T("VorlixCustomizeSheetBench")) {}
};

CBenchApp theApp;

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 1) g_nRuns = std::max(1, _wtoi(argv[1]));
  if (!AfxWinInit(::GetModuleHandleW(NULL), NULL, ::GetCommandLineW(), SW_SHOW)) {
    std::printf("no start-up\n");
    return 1;
  }
  theApp.SetRegistryKey(_T("Local AppWizard-Generated Applications"));
  CBenchFrame* pFrame = new CBenchFrame;
  if (!pFrame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW)) {
    std::printf("no frame\n");
    return 1;
  }
  theApp.m_pMainWnd = pFrame;
  pFrame->SetWindowPos(NULL, 20, 20, 900, 600, SWP_NOZORDER);
  pFrame->ShowWindow(SW_SHOW);
  pFrame->UpdateWindow();
  ::SetForegroundWindow(pFrame->GetSafeHwnd());
  Pump(500);
  g_hQueueHook = ::SetWindowsHookEx(WH_GETMESSAGE, QueueWatch, NULL, ::GetCurrentThreadId());
  g_hWindowHook = ::SetWindowsHookEx(WH_CBT, WindowWatch, NULL, ::GetCurrentThreadId());
  const bool bOk = Measure(pFrame, FALSE, "menu 128's categories") && Measure(pFrame, TRUE, "with 1,000 commands");
  ::UnhookWindowsHookEx(g_hWindowHook);
  ::UnhookWindowsHookEx(g_hQueueHook);
  // The bench leaves no stored layout behind.
  pFrame->DestroyWindow();
  theApp.m_pMainWnd = NULL;
  ::RegDeleteTreeW(HKEY_CURRENT_USER, _T("Software\\Local AppWizard-Generated Applications\\VorlixCustomizeSheetBench"));
  return bOk ? 0 : 1;
}
