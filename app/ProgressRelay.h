// Progress of a save as the save worker reports it, shown on the interface thread without
// the worker ever waiting for that thread.
//
// The Notes reader reports into two windows (the item bar with its text, and the sub bar).
// Reporting straight into the page's bars makes every report a message the worker sends
// to the interface thread and waits for; on a busy machine each such wait lasts until the
// interface thread gets its turn, and the save spends more time waiting than saving. The
// relay gives the worker two message-only windows of its own thread instead: they keep the
// latest text and positions and post one message to a window of the interface thread,
// which puts the latest values on the real bars. Reports made while that message is on
// its way are merged into it.
#pragma once

#include <framework.h>

#include <atomic>
#include <mutex>

class CProgressRelay {
 public:
  CProgressRelay() = default;
  ~CProgressRelay();
  CProgressRelay(const CProgressRelay&) = delete;
  CProgressRelay& operator=(const CProgressRelay&) = delete;

  // On the interface thread: the bars the reports go to (either may be null).
  BOOL CreateTarget(CWnd* pItemBar, CWnd* pSubBar);
  // On the worker thread: the windows the reader reports into; they go with DestroySources
  // (on the worker thread, before it ends).
  BOOL CreateSources();
  void DestroySources();
  CWnd* ItemSource() { return &m_itemSource; }
  CWnd* SubSource() { return &m_subSource; }
  // On the interface thread: puts what was reported last on the bars now, and forgets it.
  void Apply();
  void Reset();

 private:
  struct State {
    CString strItemText;
    int nItemPos = 0, nSubPos = 0;
    bool bItemText = false, bItemPos = false, bSubPos = false;
  };
  static LRESULT CALLBACK SourceProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK TargetProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
  static HWND MakeWindow(const wchar_t* pszClass, WNDPROC proc, CProgressRelay* pRelay);
  void Report(HWND hSource, UINT message, WPARAM wParam, LPARAM lParam);

  CWnd* m_pItemBar = nullptr;
  CWnd* m_pSubBar = nullptr;
  HWND m_hTarget = nullptr;
  CWnd m_itemSource, m_subSource;
  std::mutex m_mutex;
  State m_state;
  std::atomic<bool> m_bPosted{false};
};
