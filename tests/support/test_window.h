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

}  // namespace testsupport
