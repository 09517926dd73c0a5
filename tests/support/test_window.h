// Top-level windows that tests create to own the controls they drive.
#pragma once

#include <framework.h>

namespace testsupport {

// Creates wnd as a top-level window of a class registered for tests: arrow cursor, the
// window colour as background.
inline BOOL CreateTestWindow(CWnd& wnd, const CRect& rect, LPCWSTR title,
                             DWORD style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, DWORD exStyle = 0) {
  LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  return wnd.CreateEx(exStyle, cls, title, style, rect.left, rect.top, rect.Width(), rect.Height(), nullptr, nullptr);
}

// Moves the pointer to the screen's bottom-right corner, away from the windows tests make,
// so that no hover state (a button's hot look, a toolbar prompt in the status bar) depends
// on where an earlier test left it.
inline void ParkPointer() {
  ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 2, ::GetSystemMetrics(SM_CYSCREEN) - 2);
}

}  // namespace testsupport
