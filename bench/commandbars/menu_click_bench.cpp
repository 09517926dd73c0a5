// Time from an injected click on a menu-bar item (SendInput: move, button down) to the
// first paint of the menu it opens, median of 50 clicks, for the animations "None" (5),
// the system default (0), slide (3) and fade (4). The popup opens and paints (animated or
// not) inside the handling of the button-down, so the time ends when that handling has
// returned with the popup shown and nothing left to paint. Needs a display (Xvfb).
#include <framework.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPControl.h"
#include "XTPFrameWnd.h"
#include "XTPMenuBar.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"

namespace {

void Pump(DWORD ms) {
  const DWORD t0 = ::GetTickCount();
  MSG msg;
  do {
    while (::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessage(&msg);
    }
    ::MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
  } while (::GetTickCount() - t0 < ms);
}

void SendMouse(DWORD dwFlags, CPoint pt = CPoint(0, 0)) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = dwFlags;
  if (dwFlags & MOUSEEVENTF_ABSOLUTE) {
    const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = (pt.x * 65535 + cx / 2) / (cx - 1);
    in.mi.dy = (pt.y * 65535 + cy / 2) / (cy - 1);
  }
  ::SendInput(1, &in, sizeof(INPUT));
}

// The open popup, shown: it has painted (at once or animated) before the press's handling
// returned.
bool PopupPainted() {
  CXTPMouseManager* pManager = XTPMouseManager();
  for (int i = 0; i < pManager->GetTrackingBarCount(); i++) {
    CXTPCommandBar* pBar = pManager->GetTrackingBar(i);
    if (pBar == NULL || !pBar->IsKindOf(RUNTIME_CLASS(CXTPPopupBar))) continue;
    HWND hWnd = pBar->GetSafeHwnd();
    if (hWnd != NULL && ::IsWindowVisible(hWnd)) return true;
  }
  return false;
}

// Milliseconds from the injected press to the painted popup, or -1 when none opened.
double ClickOnce(CPoint pt) {
  SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, pt);
  Pump(30);
  const auto t0 = std::chrono::steady_clock::now();
  SendMouse(MOUSEEVENTF_LEFTDOWN);
  MSG msg;
  double ms = -1;
  for (;;) {
    if (::PeekMessage(&msg, NULL, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessage(&msg);
      if (PopupPainted()) {
        ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
        break;
      }
      continue;
    }
    if (std::chrono::steady_clock::now() - t0 > std::chrono::seconds(3)) break;
    ::MsgWaitForMultipleObjects(0, NULL, FALSE, 1, QS_ALLINPUT);
  }
  SendMouse(MOUSEEVENTF_LEFTUP);
  Pump(20);
  XTPMouseManager()->CloseAllTrackingBars();
  Pump(30);
  return ms;
}

}  // namespace

int wmain() {
  CXTPPaintManager::SetTheme(0);
  CXTPFrameWnd* pFrame = new CXTPFrameWnd();
  if (!pFrame->Create(NULL, L"menu click bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(40, 40, 640, 440), NULL,
                      MAKEINTRESOURCE(128))) {
    std::printf("no frame\n");
    return 1;
  }
  pFrame->m_pCommandBars = (CXTPCommandBars*)RUNTIME_CLASS(CXTPCommandBars)->CreateObject();
  CXTPCommandBars* pBars = pFrame->m_pCommandBars;
  pBars->SetSite(pFrame);
  pBars->CreateDockBars();
  CXTPMenuBar* pMenuBar = pBars->SetMenu(_T("Menu Bar"), 128);
  if (pMenuBar == NULL) {
    std::printf("no menu bar\n");
    return 1;
  }
  pBars->RecalcFrameLayout();
  pFrame->ShowWindow(SW_SHOWNORMAL);
  pFrame->UpdateWindow();
  ::SetForegroundWindow(pFrame->GetSafeHwnd());
  ::SetActiveWindow(pFrame->GetSafeHwnd());
  pFrame->SetFocus();
  Pump(300);
  CRect rcItem = pMenuBar->GetControl(0)->GetRect();
  pMenuBar->ClientToScreen(&rcItem);
  // Two points 8 pixels apart in turn, so that no two presses make a double click.
  const CPoint pts[2] = {CPoint(rcItem.CenterPoint().x - 4, rcItem.CenterPoint().y),
                         CPoint(rcItem.CenterPoint().x + 4, rcItem.CenterPoint().y)};
  const CPoint pt = rcItem.CenterPoint();
  std::printf("menu-bar item at %ld,%ld (%ld x %ld)\n", (long)pt.x, (long)pt.y, (long)rcItem.Width(), (long)rcItem.Height());

  struct Kind {
    XTPAnimationType type;
    const char* name;
  } kinds[] = {{xtpAnimateNone, "None (5)"},
               {xtpAnimateWindowsDefault, "system default (0)"},
               {xtpAnimateSlide, "slide (3)"},
               {xtpAnimateFade, "fade (4)"}};
  for (const Kind& kind : kinds) {
    pBars->GetCommandBarsOptions()->animationType = kind.type;
    ClickOnce(pt);  // warm-up
    std::vector<double> ms;
    int nMissed = 0;
    for (int i = 0; i < 50; i++) {
      const double t = ClickOnce(pts[i % 2]);
      if (t < 0)
        nMissed++;
      else
        ms.push_back(t);
    }
    std::sort(ms.begin(), ms.end());
    if (ms.empty()) {
      std::printf("%-20s no popup opened\n", kind.name);
      continue;
    }
    std::printf("%-20s median %7.2f ms  best %7.2f ms  worst %7.2f ms  (%d clicks, %d without a popup)\n", kind.name,
                ms[ms.size() / 2], ms.front(), ms.back(), (int)ms.size(), nMissed);
  }
  pFrame->DestroyWindow();
  Pump(50);
  return 0;
}
