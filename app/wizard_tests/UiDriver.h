// Driving windows as a user does: real mouse clicks and keystrokes through SendInput, and a
// watcher that answers message boxes by their text. Works on windows of this process or of
// another one (the program started by the end-to-end tests).
#pragma once

#include <framework.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "test_picture.h"
#include "test_window.h"

namespace uidriver {

inline void MoveMouseTo(POINT pt) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = MulDiv(pt.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
  in.mi.dy = MulDiv(pt.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  ::SendInput(1, &in, sizeof(in));
}

// Clicks at a point of the screen.
inline void ClickAt(POINT pt) {
  MoveMouseTo(pt);
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, in, sizeof(INPUT));
}

// Clicks the middle of a window (or a point inside it, in its client coordinates).
inline void Click(HWND hWnd, POINT client = {-1, -1}) {
  RECT rc;
  ::GetClientRect(hWnd, &rc);
  POINT pt = client.x < 0 ? POINT{(rc.right) / 2, (rc.bottom) / 2} : client;
  ::ClientToScreen(hWnd, &pt);
  ClickAt(pt);
}

// A key pressed with modifiers held (VK_CONTROL, VK_SHIFT, VK_MENU), released in reverse.
inline void PressChord(const std::vector<WORD>& modifiers, WORD vk) {
  std::vector<INPUT> in;
  auto key = [&](WORD k, bool up) {
    INPUT i = {};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = k;
    i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    in.push_back(i);
  };
  for (WORD m : modifiers) key(m, false);
  key(vk, false);
  key(vk, true);
  for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) key(*it, true);
  ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

inline void PressKey(WORD vk, bool ctrl = false) {
  PressChord(ctrl ? std::vector<WORD>{VK_CONTROL} : std::vector<WORD>{}, vk);
}

inline void TypeText(const std::wstring& text) {
  std::vector<INPUT> in;
  for (wchar_t ch : text) {
    for (bool up : {false, true}) {
      INPUT i = {};
      i.type = INPUT_KEYBOARD;
      i.ki.wScan = ch;
      i.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
      in.push_back(i);
    }
  }
  ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

inline std::wstring WindowText(HWND hWnd) {
  wchar_t buffer[2048] = {};
  ::SendMessageTimeoutW(hWnd, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, nullptr);
  return buffer;
}

// The text of a message box: its static control 0xFFFF.
inline std::wstring MessageBoxText(HWND hBox) {
  HWND hText = ::GetDlgItem(hBox, 0xFFFF);
  return hText ? WindowText(hText) : std::wstring();
}

inline std::wstring ClassOf(HWND hWnd) {
  wchar_t name[128] = {};
  ::GetClassNameW(hWnd, name, 128);
  return name;
}

// The visible top-level dialog window of a process whose caption is title (any caption
// when title is empty) and that is not among the windows to skip.
inline HWND FindDialog(DWORD pid, const std::wstring& title, const std::vector<HWND>& skip = {}) {
  return testsupport::FindTopWindow(pid, [&](HWND h) {
    return ClassOf(h) == L"#32770" && std::find(skip.begin(), skip.end(), h) == skip.end() &&
           (title.empty() || WindowText(h) == title);
  });
}

// A button of a dialog by its caption ("&Yes", "OK", ...).
inline HWND FindButton(HWND hDialog, const std::wstring& caption) {
  for (HWND h = ::GetWindow(hDialog, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
    if (ClassOf(h) == L"Button" && WindowText(h) == caption) return h;
  return nullptr;
}

// What stands at a window's middle on the screen, for a test to say what took its click.
inline std::wstring WhatCovers(HWND hWnd) {
  RECT rc;
  ::GetWindowRect(hWnd, &rc);
  HWND hAt = ::WindowFromPoint(POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hAt, &pid);
  return ClassOf(hAt) + L" \"" + WindowText(hAt) + L"\" of process " + std::to_wstring(pid);
}

// Clicks a window until done() holds. Tests share one screen: another program's window can
// stand over the point for a while, so each try first waits for the window to be the one
// there, raising its top-level window when it is not. Returns done().
template <class Done>
bool ClickUntil(HWND hWnd, Done done, int attempts = 5) {
  HWND hRoot = ::GetAncestor(hWnd, GA_ROOT);
  auto uncovered = [&] {
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    return ::WindowFromPoint(POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}) == hWnd;
  };
  for (int attempt = 0; attempt < attempts && !done(); ++attempt) {
    for (int i = 0; i < 150 && !uncovered(); ++i) {
      if (i % 25 == 24) {
        ::SetWindowPos(hRoot, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ::SetForegroundWindow(hRoot);
      }
      ::Sleep(20);
    }
    Click(hWnd);
    for (int i = 0; i < 50 && !done(); ++i) ::Sleep(20);
  }
  return done();
}

// Answers the message boxes of a process, one queued answer per box, from a thread of
// its own: keeps each box's text, takes a picture of it when a name is given, then clicks
// the answer's button.
class CMessageBoxAnswerer {
 public:
  struct Answer {
    std::wstring button;   // "&Yes", "&No", "OK"
    std::wstring picture;  // artefact name, e.g. L"wizard\\box_search.png"; empty: none
  };

  explicit CMessageBoxAnswerer(DWORD pid = ::GetCurrentProcessId(), std::vector<HWND> skip = {})
      : m_pid(pid), m_skip(std::move(skip)), m_thread([this] { Run(); }) {}
  ~CMessageBoxAnswerer() {
    m_stop = true;
    m_thread.join();
  }
  void Queue(const std::wstring& button, const std::wstring& picture = L"") {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_answers.push_back({button, picture});
  }
  // Texts of the boxes answered so far.
  std::vector<std::wstring> Texts() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_texts;
  }
  size_t Count() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_texts.size();
  }
  std::wstring Last() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_texts.empty() ? std::wstring() : m_texts.back();
  }
  void AddSkip(HWND h) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_skip.push_back(h);
  }

 private:
  void Run() {
    HWND hUnexpected = nullptr;
    DWORD unexpectedSince = 0;
    while (!m_stop) {
      ::Sleep(30);
      std::vector<HWND> skip;
      bool bNoAnswer;
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        bNoAnswer = m_answers.empty();
        skip = m_skip;
      }
      HWND hBox = FindDialog(m_pid, L"", skip);
      if (!hBox || ::GetDlgItem(hBox, 0xFFFF) == nullptr) continue;
      if (bNoAnswer) {
        // A box nobody expected: after a while it is closed and kept as "unexpected: ...",
        // so that the test fails instead of waiting for ever.
        if (hBox != hUnexpected) {
          hUnexpected = hBox;
          unexpectedSince = ::GetTickCount();
        } else if (::GetTickCount() - unexpectedSince > 8000) {
          const std::wstring text = MessageBoxText(hBox);
          {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_texts.push_back(L"unexpected: " + text);
          }
          ::PostMessageW(hBox, WM_COMMAND, IDCANCEL, 0);
          ::PostMessageW(hBox, WM_COMMAND, IDOK, 0);
          hUnexpected = nullptr;
        }
        continue;
      }
      ::Sleep(150);  // let it paint
      Answer answer;
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        answer = m_answers.front();
      }
      HWND hButton = FindButton(hBox, answer.button);
      if (!hButton) continue;
      const std::wstring text = MessageBoxText(hBox);
      if (!answer.picture.empty()) {
        testsupport::CSnapshot shot(hBox, testsupport::WindowArea::Whole);
        shot.SavePng(testsupport::ArtifactPath(answer.picture));
      }
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_answers.pop_front();
      }
      Click(hButton);
      // Wait for the box to go before it counts as answered (a test's next click must not
      // cross this one) and before looking for the next one.
      for (int i = 0; i < 200 && ::IsWindow(hBox) && ::IsWindowVisible(hBox); ++i) ::Sleep(20);
      ::Sleep(100);
      {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_texts.push_back(text);
      }
    }
  }

  DWORD m_pid;
  std::vector<HWND> m_skip;
  std::mutex m_mutex;
  std::deque<Answer> m_answers;
  std::vector<std::wstring> m_texts;
  std::atomic<bool> m_stop{false};
  std::thread m_thread;
};

}  // namespace uidriver
