// The bars' sample program as its own process, for the tests that drive it from outside:
// started beside the test with a profile of its own, its windows found by their texts,
// closed as the user closes it.
#pragma once

#include <framework.h>

#include <string>

#include "UiDriver.h"
#include "test_process.h"
#include "test_pump.h"
#include "test_window.h"

namespace framebarstest {

// BarsSample.exe beside this test, with a profile name of its own.
class CSampleProcess : public testsupport::CChildProcess {
 public:
  bool Start(const std::wstring& profile) { return StartBeside(L"BarsSample.exe", L"/profile " + profile); }

  // The first visible top-level window of the process with this text.
  HWND TopWindow(const std::wstring& text, DWORD timeoutMs = 20000) const {
    HWND found = nullptr;
    testsupport::PumpUntil(
        [&] {
          found = FindTop(text);
          return found != nullptr || !Running();
        },
        timeoutMs);
    return found;
  }
  HWND FindTop(const std::wstring& text) const {
    return testsupport::FindTopWindow(Pid(), [&](HWND h) { return uidriver::WindowText(h) == text; });
  }

  // Closes the frame as the user does and waits for the process to end; its exit code.
  DWORD Close(HWND hFrame) {
    ::PostMessageW(hFrame, WM_CLOSE, 0, 0);
    return WaitExit(15000);
  }
};

// A direct child by control id.
inline HWND ChildById(HWND hParent, int id) {
  for (HWND h = ::GetWindow(hParent, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
    if (::GetDlgCtrlID(h) == id) return h;
  return nullptr;
}

// A descendant window by its text (and class, when given).
inline HWND DescendantByText(HWND hParent, const std::wstring& text, const wchar_t* cls = nullptr) {
  for (HWND h = ::GetWindow(hParent, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    if (uidriver::WindowText(h) == text && (!cls || uidriver::ClassOf(h) == cls)) return h;
    if (HWND inner = DescendantByText(h, text, cls)) return inner;
  }
  return nullptr;
}

inline CRect ScreenRect(HWND h) {
  CRect rc;
  ::GetWindowRect(h, &rc);
  return rc;
}

}  // namespace framebarstest
