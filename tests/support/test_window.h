// Top-level windows in tests: those a test creates to own the controls it drives, and those
// a program the test started shows.
#pragma once

#include <framework.h>

#include <functional>
#include <vector>

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

// The visible top-level windows of process pid that accept takes (a test names them by
// their text, their class, ...), in the system's order (the topmost first); with bFirstOnly
// only the first of them.
inline std::vector<HWND> TopWindows(DWORD pid, const std::function<bool(HWND)>& accept, bool bFirstOnly = false) {
  struct Search {
    DWORD pid;
    const std::function<bool(HWND)>* accept;
    bool bFirstOnly;
    std::vector<HWND> found;
  } search = {pid, &accept, bFirstOnly, {}};
  ::EnumWindows(
      [](HWND h, LPARAM l) -> BOOL {
        auto* s = reinterpret_cast<Search*>(l);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(h, &owner);
        if (owner != s->pid || !::IsWindowVisible(h) || !(*s->accept)(h)) return TRUE;
        s->found.push_back(h);
        return !s->bFirstOnly;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The first visible top-level window of process pid that accept takes; null when none is
// there now.
inline HWND FindTopWindow(DWORD pid, const std::function<bool(HWND)>& accept) {
  const std::vector<HWND> found = TopWindows(pid, accept, true);
  return found.empty() ? nullptr : found.front();
}

}  // namespace testsupport
