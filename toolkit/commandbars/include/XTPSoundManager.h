// The menu sound manager: one process-wide worker thread plays the system's "MenuCommand"
// and "MenuPopup" sounds so that the UI thread only stores a request. Every worker owns
// its own stop signal: StopThread signals the running worker and forgets it after waiting
// at most 100 ms, and that worker ends as soon as its current sound returns; a later
// request starts a new worker, and two workers never play requests at the same time.
#pragma once

#include <framework.h>

#include "XTPCommandBarsDefines.h"

class CXTPSoundManager {
 public:
  // The call that plays a sound alias (PlaySoundW's shape); replaceable for tests.
  typedef BOOL(WINAPI* PFNPLAYSOUND)(LPCWSTR pszSound, HMODULE hmod, DWORD fdwSound);

  CXTPSoundManager();
  ~CXTPSoundManager();  // stops the worker
  CXTPSoundManager(const CXTPSoundManager&) = delete;
  CXTPSoundManager& operator=(const CXTPSoundManager&) = delete;

  // Asks for xtpSoundMenuCommand (1) or xtpSoundMenuPopup (2); starts a worker when none
  // runs. Nothing when disabled or for another kind.
  void PlaySystemSound(XTPSoundManagerState state);
  // Signals the worker to end, waits at most 100 ms, and forgets it.
  void StopThread();

  void EnableSystemSounds(BOOL bEnable) { m_bSystemSounds = bEnable; }
  BOOL IsSystemSoundsEnabled() const { return m_bSystemSounds; }
  BOOL HasThread() const { return m_hThread != NULL; }

  // Seam: the PlaySound the workers call (null restores the system's). Returns the old one.
  static PFNPLAYSOUND SetPlaySoundProc(PFNPLAYSOUND pfn);
  // Number of workers that are running (started and not yet returned), across stops.
  static LONG GetRunningWorkerCount();

 private:
  struct CWorker;
  static DWORD WINAPI SoundThreadProc(LPVOID lpParam);

  volatile LONG m_nState;  // the request: XTPSoundManagerState
  BOOL m_bSystemSounds;
  HANDLE m_hThread;
  CWorker* m_pWorker;  // the running worker's shared block (its own stop signal)
};

// The one instance, built at start-up and destroyed at exit.
CXTPSoundManager* AFXAPI XTPSoundManager();
