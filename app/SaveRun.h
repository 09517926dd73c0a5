// The save page's conversion run: the save worker (on the program's runner, with its own
// Notes thread and OLE), what the page shows while it runs and when it ends, and "Stop".
//
// The worker changes the page's windows only through the interface thread (RunOnUi); the
// frame's save loop does the same. Stop pauses the worker at its next poll (it is never
// suspended from outside), asks, then cancels it or lets it go on. A new save cancels and
// joins any save still running before it starts; so does the end of the page, which never
// terminates a worker.
#pragma once

#include <framework.h>

#include <atomic>

#include "ProgressRelay.h"
#include "WorkerRunner.h"

class CMainFrame;
class CTextProgressCtrl;

// What the run needs of the page it belongs to: its buttons and step marks.
class ISaveRunSite {
 public:
  virtual ~ISaveRunSite() = default;
  virtual void ShowNextButton(BOOL bShow) = 0;
  virtual void ShowBackButton(BOOL bShow) = 0;
  virtual void ShowExitButton(BOOL bShow) = 0;
  virtual void ShowStopButton(BOOL bShow) = 0;
  virtual void SetCurrentStep(int nStep) = 0;
  virtual CWnd* GetPageWnd() = 0;
};

class CSaveRun {
 public:
  static const wchar_t kInitializing[];        // "Please wait while initializing saving..."
  static const wchar_t kInitializingWorker[];  // "Initializing saving .. please wait..."
  static const wchar_t kCompleteStatus[];
  static const wchar_t kAbortedStatus[];
  static const wchar_t kAbortedMessage[];
  static const wchar_t kFailedStatus[];  // "Outlook is not installed or no profile exist"
  static const wchar_t kSaveFailed[];    // "Saving failed": a failure other than the target's
  static const wchar_t kStopQuestion[];  // "Are you sure you want to stop the saving process ?"
  static const wchar_t kRowPending[];    // "Pending..."
  // Step mark of a page whose three steps are done.
  static constexpr int kAllStepsDone = 4;

  struct Windows {
    CTextProgressCtrl* pOverall = nullptr;  // over the files (several-files mode)
    CTextProgressCtrl* pItem = nullptr;     // the item of the folder being saved
    CTextProgressCtrl* pSub = nullptr;      // reset when a folder starts
    CWnd* pStatus = nullptr;                // one line of status text
    CListCtrl* pFiles = nullptr;            // several-files mode: one row per source file
  };

  CSaveRun(ISaveRunSite* pSite, const Windows& windows);
  ~CSaveRun();
  CSaveRun(const CSaveRun&) = delete;
  CSaveRun& operator=(const CSaveRun&) = delete;

  // Starts the save of the frame's current settings: a save still running is cancelled and
  // joined first; the abort flags and the aborted mark are then cleared. FALSE when the
  // worker could not be started (said on the page).
  BOOL Start(CMainFrame* pFrame);
  // "Stop": the worker waits at its next poll while the user is asked; Yes cancels it.
  void Stop();
  // Ends a running save without asking and without its end messages (the program is
  // closing), waiting for it while this thread's messages are handled.
  void CancelAndJoin();
  BOOL IsRunning() const { return m_runner.IsRunning(); }
  BOOL WasAborted() const { return m_bAborted; }
  // TRUE when the last save that ended reported success.
  BOOL Succeeded() const { return m_bSucceeded; }
  CWorkerRunner& GetRunner() { return m_runner; }

  // The texts of a failed save: the status line and the message box, with the reason.
  // bTarget: the target PST could not be opened or made (the Outlook text); otherwise the
  // save failed on its way (a database that could not be read, a file not written).
  static CString FailedStatusText(BOOL bTarget, const CString& strReason);
  static CString FailedMessageText(BOOL bTarget, const CString& strReason);

 private:
  UINT SaveThread(CWorkerContext& context);
  void ShowBars(BOOL bShow);
  void SetStatus(const CString& strText);

  ISaveRunSite* m_pSite;
  Windows m_w;
  CMainFrame* m_pFrame = nullptr;
  CWorkerRunner m_runner;
  // The reader's progress reports reach the bars without the worker waiting for them.
  CProgressRelay m_relay;
  std::atomic<BOOL> m_bAborted{FALSE};
  std::atomic<BOOL> m_bQuiet{FALSE};
  std::atomic<BOOL> m_bSucceeded{FALSE};
};
