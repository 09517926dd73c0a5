// Runs one worker thread of the program at a time and is the only owner of its handle.
//
// - The worker gets its own Notes session object (InitThread first, TermThread last) and,
//   when asked, OLE for its thread (OleInitialize first, OleUninitialize last).
// - Windows belong to the interface thread: a worker changes them only through RunOnUi,
//   which sends the work to the interface thread and waits for it (SendMessage).
// - Cancel: the runner's cancel flag, plus a callback that raises the program's abort flags
//   (the Notes reader's and the PST writer's). Workers look at IsCancelled.
// - Pause: the interface thread asks the worker to wait at its next poll (Poll, or any loop
//   of the Notes reader, which polls through PollCurrentThread) and waits, pumping messages,
//   until the worker has stopped there or ended; Resume lets it go on. Nothing is suspended
//   from outside, so a paused worker holds no lock the interface thread could need.
// - Join: waits, pumping messages, until the worker has ended; the worker's RunOnUi calls
//   are served meanwhile. The destructor cancels and joins; nothing is ever terminated.
#pragma once

#include <framework.h>

#include <atomic>
#include <functional>

class CWorkerRunner;

// What a worker sees of its runner.
class CWorkerContext {
 public:
  // Waits here while a pause is asked for; TRUE when the worker should stop.
  BOOL Poll();
  BOOL IsCancelled() const;
  // Runs work on the interface thread and returns when it has run there. FALSE when the
  // runner's window is gone.
  BOOL RunOnUi(const std::function<void()>& work);

 private:
  friend class CWorkerRunner;
  explicit CWorkerContext(CWorkerRunner* pRunner) : m_pRunner(pRunner) {}
  CWorkerRunner* m_pRunner;
};

class CWorkerRunner {
 public:
  enum Flags : UINT {
    kNotesThread = 0x1,  // the worker runs Notes calls: a session object of its own
    kOle = 0x2,          // the worker uses COM objects: OLE initialised for its thread
  };
  using Body = std::function<UINT(CWorkerContext&)>;

  // Created on the interface thread, which serves the workers' RunOnUi calls.
  CWorkerRunner();
  ~CWorkerRunner();
  CWorkerRunner(const CWorkerRunner&) = delete;
  CWorkerRunner& operator=(const CWorkerRunner&) = delete;

  // Raises the program's abort flags (and, with 0, clears them); called by Cancel.
  void SetAbortCallback(std::function<void(int)> onAbort) { m_onAbort = std::move(onAbort); }

  // Starts body on a new thread. FALSE when a worker still runs or the thread could not
  // be made.
  BOOL Start(Body body, UINT nFlags = kNotesThread);
  BOOL IsRunning() const;
  // The ended worker's result (the body's return value), or STILL_ACTIVE.
  DWORD GetExitCode() const;
  // Asks the worker to stop: the cancel flag, the abort callback with 1, and any pause
  // lifted.
  void Cancel();
  // Asks the worker to wait at its next poll and pumps messages until it does (TRUE) or
  // has ended (FALSE).
  BOOL Pause();
  void Resume();
  BOOL IsPaused() const { return m_bPaused.load(); }
  // Pumps messages until the worker has ended (at once when none runs). A WM_QUIT met
  // meanwhile is posted again afterwards.
  void Join();

  // For loops that do not know their runner (the Notes reader's): the pause point of the
  // runner whose worker is the calling thread; FALSE (and nothing else) on other threads.
  static BOOL PollCurrentThread();
  // Whether the calling thread is a worker of some runner.
  static BOOL IsWorkerThread();

  // Pumps one round of this thread's messages, up to idleMs of waiting; FALSE on WM_QUIT
  // (which is taken from the queue).
  static BOOL PumpOnce(DWORD idleMs);

 private:
  friend class CWorkerContext;
  static unsigned __stdcall ThreadEntry(void* pParam);
  UINT RunBody();
  BOOL WaitPausePoint();
  static LRESULT CALLBACK SinkProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND m_hSink = nullptr;  // message-only window of the interface thread
  HANDLE m_hThread = nullptr;
  HANDLE m_hResume = nullptr;  // manual-reset: set while the worker may run
  HANDLE m_hPaused = nullptr;  // auto-reset: the worker reached its pause point
  Body m_body;
  UINT m_nFlags = 0;
  std::atomic<bool> m_bCancel{false};
  std::atomic<bool> m_bPauseAsked{false};
  std::atomic<bool> m_bPaused{false};
  std::function<void(int)> m_onAbort;
};
