// Shared pieces of the command-bar tests: real input through SendInput, a bar double that
// records what the managers ask of it, and a paint manager whose shadow answers a test
// chooses.
#pragma once

#include <framework.h>

#include <test_pump.h>
#include <test_window.h>

#include <vector>

#include "XTPCommandBar.h"
#include "XTPPaintManager.h"

namespace cbtest {

using testsupport::PumpFor;
using testsupport::PumpUntil;

// The pointer to a screen point, by an absolute SendInput move the windows see.
inline void MovePointer(CPoint pt, DWORD pumpMs = 30) {
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = (pt.x * 65535 + cx / 2) / (cx - 1);
  in.mi.dy = (pt.y * 65535 + cy / 2) / (cy - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &in, sizeof(INPUT));
  ::SetCursorPos(pt.x, pt.y);
  PumpFor(pumpMs);
}

// A move by (0, 0): a second move message at the same point.
inline void NudgePointer(DWORD pumpMs = 30) {
  POINT pt;
  ::GetCursorPos(&pt);
  const int cx = ::GetSystemMetrics(SM_CXSCREEN), cy = ::GetSystemMetrics(SM_CYSCREEN);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = (pt.x * 65535 + cx / 2) / (cx - 1);
  in.mi.dy = (pt.y * 65535 + cy / 2) / (cy - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &in, sizeof(INPUT));
  PumpFor(pumpMs);
}

inline void ClickAt(CPoint pt, bool right = false, DWORD pumpMs = 60) {
  MovePointer(pt);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  ::SendInput(2, in, sizeof(INPUT));
  PumpFor(pumpMs);
}

inline void KeyEvent(WORD vk, bool up) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  ::SendInput(1, &in, sizeof(INPUT));
}

inline void TypeKey(WORD vk, DWORD pumpMs = 40) {
  KeyEvent(vk, false);
  KeyEvent(vk, true);
  PumpFor(pumpMs);
}

inline void Activate(HWND hWnd) {
  ::SetForegroundWindow(hWnd);
  ::SetActiveWindow(hWnd);
  PumpFor(50);
}

inline void ParkPointer() {
  MovePointer(CPoint(::GetSystemMetrics(SM_CXSCREEN) - 3, ::GetSystemMetrics(SM_CYSCREEN) - 3));
}

// A bar as the managers see it: a top-level popup window that records the mouse moves and
// keys routed to it and answers keys with a chosen code.
class CTestBar : public CXTPCommandBar {
 public:
  int nKeyAnswer = xtpHookHandled;
  std::vector<UINT> keys;
  int nMouseMoves = 0;
  int nTrackingChanges = 0;

  BOOL CreateAt(const CRect& rc, CWnd* pOwner = NULL) {
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateEx(WS_EX_TOOLWINDOW, cls, L"test bar", WS_POPUP | WS_VISIBLE, rc.left, rc.top, rc.Width(),
                    rc.Height(), pOwner != NULL ? pOwner->GetSafeHwnd() : NULL, NULL);
  }
  void Track() { SetTrackingMode(TRUE, FALSE, FALSE); }
  int OnHookKeyDown(UINT nChar, LPARAM) override {
    keys.push_back(nChar);
    return nKeyAnswer;
  }
  BOOL SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard) override {
    const BOOL bChanged = CXTPCommandBar::SetTrackingMode(bMode, bSelectFirst, bKeyboard);
    if (bChanged) nTrackingChanges++;
    return bChanged;
  }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_MOUSEMOVE) nMouseMoves++;
    return CXTPCommandBar::WindowProc(message, wParam, lParam);
  }
};

// A paint manager that draws nothing and answers the shadow questions as told.
class CShadowPaintManager : public CXTPPaintManager {
 public:
  explicit CShadowPaintManager(BOOL bThemeShadow, BOOL bShowShadow = TRUE, COLORREF clr = RGB(0, 0, 0)) {
    m_bThemeShadow = bThemeShadow;
    m_bShowShadow = bShowShadow;
    m_clrShadowColor = clr;
  }
  CSize DrawPopupItem(CDC*, CXTPControl*, BOOL) override { return CSize(0, 0); }
  CSize DrawComboItem(CDC*, CXTPControl*, BOOL) override { return CSize(0, 0); }
  CSize DrawEditItem(CDC*, CXTPControl*, BOOL) override { return CSize(0, 0); }
  CSize DrawCustomizeListItem(CDC*, CXTPControl*, CRect, BOOL, BOOL, CXTPCommandBars*) override { return CSize(0, 0); }
  void DrawBarBackground(CDC*, CXTPCommandBar*) override {}
  void DrawItemFrame(CDC*, CRect, BOOL, int, int, BOOL, BOOL, int) override {}
  void FillItemRect(CDC*, CRect, int, int, BOOL, BOOL, BOOL, BOOL, int) override {}
  CSize DrawGripper(CDC*, CXTPCommandBar*, BOOL) override { return CSize(0, 0); }
  CSize DrawSeparator(CDC*, CXTPCommandBar*, CXTPControl*, BOOL) override { return CSize(0, 0); }
  void AdjustPopupExcludeRect(CRect&, CXTPControl*, BOOL) override {}
  CSize DrawTearOffGripper(CDC*, CRect, BOOL, BOOL) override { return CSize(0, 0); }
  void DrawImage(CDC*, CPoint, CSize, CXTPImageManagerIcon*, BOOL, BOOL, BOOL, BOOL, BOOL, BOOL) override {}
  CSize DrawFloatingGripper(CDC*, CXTPCommandBar*, BOOL) override { return CSize(0, 0); }
  int GetThemeNumber() const override { return 99; }
};

}  // namespace cbtest
