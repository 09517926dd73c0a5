// Per-thread and process-wide state of the window layer (command targets, windows,
// threads, dialogs). Private to the framework's sources.
#pragma once

#include <mutex>
#include <unordered_map>
#include <vector>

#include "framework.h"

namespace fw_wnd {

// A handle -> wrapper table shared by every thread. Windows are handled on their own
// thread but looked up from workers too, so every access takes the lock.
template <class H, class T>
class PermanentMap {
 public:
  T* Find(H h) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_map.find(h);
    return it == m_map.end() ? nullptr : it->second;
  }
  // FALSE when another wrapper already holds the handle.
  bool Add(H h, T* p) {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_map.emplace(h, p).first->second == p;
  }
  void Remove(H h, T* p) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_map.find(h);
    if (it != m_map.end() && it->second == p) m_map.erase(it);
  }
  // The handles held at this moment, in no particular order.
  std::vector<H> Handles() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<H> handles;
    handles.reserve(m_map.size());
    for (const auto& entry : m_map) handles.push_back(entry.first);
    return handles;
  }

 private:
  std::mutex m_mutex;
  std::unordered_map<H, T*> m_map;
};

PermanentMap<HWND, CWnd>& PermanentWindows();
PermanentMap<HMENU, CMenu>& PermanentMenus();

struct ThreadState {
  ThreadState() = default;
  ThreadState(const ThreadState&) = delete;
  ThreadState& operator=(const ThreadState&) = delete;
  ~ThreadState();

  // Window creation: the object waiting for the next window this thread creates.
  CWnd* pWndInit = nullptr;
  HHOOK hHookCbt = nullptr;

  // The message being handled (CWnd::GetCurrentMessage, Default).
  MSG lastSentMsg{};
  // The message the pump took from the queue last (AfxGetCurrentMessage).
  MSG msgCur{};

  // The CWinThread running on this thread, if any.
  CWinThread* pThread = nullptr;

  // Wrappers FromHandle made for handles nobody wraps; deleted at idle or thread end.
  std::unordered_map<HWND, CWnd*> tempWnds;
  std::unordered_map<HMENU, CMenu*> tempMenus;

  // A dialog loading its controls (UpdateData(FALSE)): their notifications are ignored.
  HWND hLockoutNotifyWindow = nullptr;

  // Wait cursor nesting.
  int nWaitCursorCount = 0;
  HCURSOR hcurWaitCursorRestore = nullptr;

  // The last mouse message and position IsIdleMessage saw.
  POINT ptCursorLast{-1, -1};
  UINT nMsgLast = 0;

  void DeleteTemporaries();
};

ThreadState& GetThreadState();

}  // namespace fw_wnd
