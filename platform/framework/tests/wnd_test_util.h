// Helpers shared by the window-layer tests: pumping messages until a condition holds, and
// answering message boxes from another thread.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "framework.h"

namespace wndtest {

// Runs this thread's message loop (through the framework's pump, so PreTranslateMessage
// applies) until done() or the timeout; returns done().
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > timeoutMs) return false;
    MSG msg;
    if (::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!AfxPumpMessage()) return done();
    } else {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
  }
  return true;
}

// Waits for a kernel object while still handling this thread's messages (other threads'
// SendMessage calls to our windows need that).
inline bool WaitPumping(HANDLE h, DWORD timeoutMs = 20000) {
  return PumpUntil([h] { return ::WaitForSingleObject(h, 0) == WAIT_OBJECT_0; }, timeoutMs);
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

// Saves what a window shows as a 24-bit BMP in build/artifacts/ (for a human to look at;
// the tests assert on state, not on pixels). FALSE when nothing could be written.
inline bool SaveWindowImage(HWND hWnd, const std::wstring& fileName) {
  RECT rc;
  if (!::GetWindowRect(hWnd, &rc)) return false;
  const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
  HDC hdcWnd = ::GetWindowDC(hWnd);
  HDC hdcMem = ::CreateCompatibleDC(hdcWnd);
  BITMAPINFOHEADER bih{sizeof(bih), cx, cy, 1, 24, BI_RGB};
  void* bits = nullptr;
  HBITMAP hbm = ::CreateDIBSection(hdcWnd, reinterpret_cast<BITMAPINFO*>(&bih), DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(hdcMem, hbm);
  ::BitBlt(hdcMem, 0, 0, cx, cy, hdcWnd, 0, 0, SRCCOPY);
  ::GdiFlush();
  const DWORD cbBits = static_cast<DWORD>(((cx * 3 + 3) & ~3) * cy);
  BITMAPFILEHEADER bfh{0x4D42, static_cast<DWORD>(sizeof(bfh) + sizeof(bih) + cbBits), 0, 0,
                       static_cast<DWORD>(sizeof(bfh) + sizeof(bih))};
  const std::string dir = std::string(VORLIX_SOURCE_DIR) + "/build/artifacts";
  const std::wstring wdir = L"Z:" + std::wstring(dir.begin(), dir.end());
  ::CreateDirectoryW(wdir.c_str(), nullptr);
  HANDLE h = ::CreateFileW((wdir + L"/" + fileName).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  bool ok = h != INVALID_HANDLE_VALUE;
  if (ok) {
    DWORD written;
    ok = ::WriteFile(h, &bfh, sizeof(bfh), &written, nullptr) && ::WriteFile(h, &bih, sizeof(bih), &written, nullptr) &&
         ::WriteFile(h, bits, cbBits, &written, nullptr);
    ::CloseHandle(h);
  }
  ::SelectObject(hdcMem, old);
  ::DeleteObject(hbm);
  ::DeleteDC(hdcMem);
  ::ReleaseDC(hWnd, hdcWnd);
  return ok;
}

}  // namespace wndtest
