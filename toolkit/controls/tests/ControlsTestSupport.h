// Input and window helpers shared by the toolkit controls' tests: real mouse and keys
// through SendInput, a parent window that records what its controls tell it.
#pragma once

#include <framework.h>

#include <test_pump.h>
#include <test_window.h>

#include <string>
#include <vector>

namespace controlstest {

using testsupport::PumpFor;
using testsupport::PumpUntil;

// Moves the pointer to a screen point and lets the windows see it.
inline void MoveMouse(CPoint pt, DWORD pumpMs = 30) {
  ::SetCursorPos(pt.x, pt.y);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = 0;
  in.mi.dy = 0;
  in.mi.dwFlags = MOUSEEVENTF_MOVE;
  ::SendInput(1, &in, sizeof(INPUT));
  PumpFor(pumpMs);
}

inline void MouseButton(bool down, bool right = false) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = right ? (down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP)
                        : (down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
  ::SendInput(1, &in, sizeof(INPUT));
}

inline void Click(CPoint pt, DWORD pumpMs = 60) {
  MoveMouse(pt);
  MouseButton(true);
  MouseButton(false);
  PumpFor(pumpMs);
}

inline void DoubleClick(CPoint pt) {
  MoveMouse(pt);
  MouseButton(true);
  MouseButton(false);
  MouseButton(true);
  MouseButton(false);
  PumpFor(100);
}

// Presses and releases a key, with the given modifiers held.
inline void Key(WORD vk, std::vector<WORD> modifiers = {}) {
  std::vector<INPUT> in;
  auto add = [&in](WORD key, bool up) {
    INPUT i = {};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = key;
    i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    in.push_back(i);
  };
  for (WORD m : modifiers) add(m, false);
  add(vk, false);
  add(vk, true);
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) add(*it, true);
  ::SendInput((UINT)in.size(), in.data(), sizeof(INPUT));
}

// Center of a window in screen coordinates.
inline CPoint CenterOf(HWND hWnd) {
  CRect rc;
  ::GetWindowRect(hWnd, &rc);
  return rc.CenterPoint();
}

// Makes a top-level window the active, foreground one.
inline void Activate(HWND hWnd) {
  ::SetForegroundWindow(hWnd);
  ::SetActiveWindow(hWnd);
  PumpFor(50);
}

// Parks the pointer in the far corner of the screen, away from every test window, and lets
// the windows see it go.
inline void ParkMouse() {
  testsupport::ParkPointer();
  MoveMouse(CPoint(::GetSystemMetrics(SM_CXSCREEN) - 2, ::GetSystemMetrics(SM_CYSCREEN) - 2));
}

// A dialog box of this thread other than the test's own windows.
inline HWND FindThreadDialog() {
  HWND hFound = NULL;
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND hWnd, LPARAM lParam) -> BOOL {
        WCHAR cls[32] = {};
        ::GetClassNameW(hWnd, cls, 32);
        if (lstrcmpW(cls, L"#32770") == 0 && ::IsWindowVisible(hWnd)) {
          *reinterpret_cast<HWND*>(lParam) = hWnd;
          return FALSE;
        }
        return TRUE;
      },
      (LPARAM)&hFound);
  return hFound;
}

// A top-level window that records the commands and notifications its children send.
class CRecordingParent : public CWnd {
 public:
  struct Entry {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };
  std::vector<Entry> log;

  BOOL CreateAt(const CRect& rc, DWORD style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN) {
    return testsupport::CreateTestWindow(*this, rc, L"controls test", style);
  }
  int Count(UINT message, UINT code = (UINT)-1, UINT id = (UINT)-1) const {
    int n = 0;
    for (const Entry& e : log)
      if (e.message == message && (code == (UINT)-1 || HIWORD(e.wParam) == code) &&
          (id == (UINT)-1 || LOWORD(e.wParam) == id))
        n++;
    return n;
  }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_COMMAND || (message >= 0x2700 && message < 0x2800)) log.push_back({message, wParam, lParam});
    return CWnd::WindowProc(message, wParam, lParam);
  }
};

}  // namespace controlstest
