// Helpers shared by the window-layer tests: pumping messages the framework's way until a
// condition holds, and answering message boxes from another thread.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "framework.h"
#include "test_pump.h"

namespace wndtest {

// The window layer's tests run the message loop through the framework's pump, so that
// PreTranslateMessage applies, and look at an empty queue again every 20 ms.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000) {
  return testsupport::PumpUntil(done, timeoutMs, testsupport::Dispatch::Framework, 20);
}

// Waits for a kernel object while still handling this thread's messages, as PumpUntil does.
inline bool WaitPumping(HANDLE h, DWORD timeoutMs = 20000) {
  return testsupport::WaitPumping(h, timeoutMs, testsupport::Dispatch::Framework, 20);
}

// A message box of thread `threadId`: a dialog-class window with the static text (id
// 0xFFFF) message boxes have, and none of the controls (id `notId`) of the test's dialog.
inline HWND FindMessageBox(DWORD threadId, int notId) {
  struct Search {
    int notId;
    HWND found;
  } search{notId, nullptr};
  ::EnumThreadWindows(
      threadId,
      [](HWND hWnd, LPARAM lParam) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lParam);
        wchar_t cls[16] = {};
        ::GetClassNameW(hWnd, cls, 16);
        if (lstrcmpW(cls, L"#32770") == 0 && ::IsWindowVisible(hWnd) && ::GetDlgItem(hWnd, 0xFFFF) != nullptr &&
            ::GetDlgItem(hWnd, s->notId) == nullptr) {
          s->found = hWnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Answers the next message box of a thread with OK and keeps its text.
class MessageBoxAnswerer {
 public:
  MessageBoxAnswerer(DWORD threadId, int notId)
      : m_thread([this, threadId, notId] {
          const DWORD start = ::GetTickCount();
          while (!m_stop && ::GetTickCount() - start < 10000) {
            if (HWND hBox = FindMessageBox(threadId, notId)) {
              wchar_t text[512] = {};
              ::GetDlgItemTextW(hBox, 0xFFFF, text, 512);
              m_text = text;
              ::PostMessageW(hBox, WM_COMMAND, IDOK, 0);
              m_answered = true;
              return;
            }
            ::Sleep(20);
          }
        }) {}
  ~MessageBoxAnswerer() {
    m_stop = true;
    m_thread.join();
  }
  bool Answered() const { return m_answered; }
  std::wstring Text() const { return m_answered ? m_text : std::wstring(); }

 private:
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_answered{false};
  std::wstring m_text;
  std::thread m_thread;
};

}  // namespace wndtest
