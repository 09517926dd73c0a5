// The menu sound manager. The UI thread only stores a request; a worker polls it every
// 5 ms and plays the sound alias. Each worker has a block of its own with its stop signal:
// a worker that was told to stop while it was still inside PlaySound notices the signal
// as soon as the sound returns, leaves the shared request alone and ends. A worker started
// after such a stop first waits for its predecessor to end, so that at most one worker
// plays at any time.
#include <framework.h>

#include <mmsystem.h>

#include "XTPSoundManager.h"

namespace {
CXTPSoundManager::PFNPLAYSOUND g_pfnPlaySound = NULL;
volatile LONG g_nRunningWorkers = 0;

BOOL WINAPI SystemPlaySound(LPCWSTR pszSound, HMODULE hmod, DWORD fdwSound) {
  return ::PlaySoundW(pszSound, hmod, fdwSound);
}

CXTPSoundManager::PFNPLAYSOUND CurrentPlaySound() {
  CXTPSoundManager::PFNPLAYSOUND pfn =
      (CXTPSoundManager::PFNPLAYSOUND)InterlockedCompareExchangePointer((PVOID volatile*)&g_pfnPlaySound, NULL, NULL);
  return pfn != NULL ? pfn : &SystemPlaySound;
}

CXTPSoundManager g_soundManager;
}  // namespace

CXTPSoundManager* AFXAPI XTPSoundManager() { return &g_soundManager; }

// The block a worker shares with the manager: its stop signal, the worker it must wait for,
// and a count of the two owners (the manager while it knows the worker, and the worker).
struct CXTPSoundManager::CWorker {
  volatile LONG* pRequest;
  volatile LONG bStop;
  HANDLE hPredecessor;  // a stopped worker that may still be playing, or null
  volatile LONG nRefs;

  void Release() {
    if (InterlockedDecrement(&nRefs) == 0) {
      if (hPredecessor != NULL) ::CloseHandle(hPredecessor);
      delete this;
    }
  }
};

CXTPSoundManager::CXTPSoundManager()
    : m_nState(xtpSoundNone), m_bSystemSounds(TRUE), m_hThread(NULL), m_pWorker(NULL) {}

CXTPSoundManager::~CXTPSoundManager() { StopThread(); }

CXTPSoundManager::PFNPLAYSOUND CXTPSoundManager::SetPlaySoundProc(PFNPLAYSOUND pfn) {
  return (PFNPLAYSOUND)InterlockedExchangePointer((PVOID volatile*)&g_pfnPlaySound, (PVOID)pfn);
}

LONG CXTPSoundManager::GetRunningWorkerCount() { return InterlockedCompareExchange(&g_nRunningWorkers, 0, 0); }

namespace {
// The last worker that was stopped before it ended; the next worker waits for it.
HANDLE g_hStoppedWorker = NULL;
}  // namespace

void CXTPSoundManager::PlaySystemSound(XTPSoundManagerState state) {
  if (!m_bSystemSounds) return;
  if (state != xtpSoundMenuCommand && state != xtpSoundMenuPopup) return;

  if (m_hThread == NULL) {
    InterlockedExchange(&m_nState, xtpSoundNone);
    CWorker* pWorker = new CWorker;
    pWorker->pRequest = &m_nState;
    pWorker->bStop = FALSE;
    pWorker->hPredecessor = g_hStoppedWorker;  // handed over to the new worker
    g_hStoppedWorker = NULL;
    pWorker->nRefs = 2;

    DWORD dwThreadId = 0;
    HANDLE hThread = ::CreateThread(NULL, 0, &CXTPSoundManager::SoundThreadProc, pWorker,
                                    CREATE_SUSPENDED, &dwThreadId);
    if (hThread == NULL) {
      g_hStoppedWorker = pWorker->hPredecessor;
      pWorker->hPredecessor = NULL;
      delete pWorker;
      return;
    }
    InterlockedIncrement(&g_nRunningWorkers);
    ::SetThreadPriority(hThread, THREAD_PRIORITY_BELOW_NORMAL);
    m_pWorker = pWorker;
    m_hThread = hThread;
    ::ResumeThread(hThread);
  }
  InterlockedExchange(&m_nState, state);
}

namespace {
// Waits for the worker at most dwTimeout ms. Messages other threads send to this thread's
// windows are handled meanwhile (the wait never blocks a sender); posted messages stay
// queued for the caller's own loop.
BOOL WaitForWorker(HANDLE hThread, DWORD dwTimeout) {
  const DWORD dwStart = ::GetTickCount();
  for (;;) {
    const DWORD dwElapsed = ::GetTickCount() - dwStart;
    const DWORD dwLeft = dwElapsed >= dwTimeout ? 0 : dwTimeout - dwElapsed;
    const DWORD dwWait = ::MsgWaitForMultipleObjects(1, &hThread, FALSE, dwLeft, QS_SENDMESSAGE);
    if (dwWait == WAIT_OBJECT_0) return TRUE;
    if (dwWait != WAIT_OBJECT_0 + 1 || dwLeft == 0) return FALSE;
    MSG msg;
    ::PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}
}  // namespace

void CXTPSoundManager::StopThread() {
  if (m_hThread == NULL) return;
  CWorker* pWorker = m_pWorker;
  InterlockedExchange(&pWorker->bStop, TRUE);
  if (WaitForWorker(m_hThread, 100)) {
    ::CloseHandle(m_hThread);
  } else {
    // Still inside PlaySound: it ends on its own signal once the sound returns. The next
    // worker waits for it; an older stopped worker is known to have been waited for by
    // this one, so only the latest needs keeping.
    if (g_hStoppedWorker != NULL) ::CloseHandle(g_hStoppedWorker);
    g_hStoppedWorker = m_hThread;
  }
  m_hThread = NULL;
  m_pWorker = NULL;
  pWorker->Release();
}

DWORD WINAPI CXTPSoundManager::SoundThreadProc(LPVOID lpParam) {
  CWorker* pWorker = (CWorker*)lpParam;
  if (pWorker->hPredecessor != NULL) ::WaitForSingleObject(pWorker->hPredecessor, INFINITE);

  while (!InterlockedCompareExchange(&pWorker->bStop, 0, 0)) {
    const LONG nRequest = InterlockedCompareExchange(pWorker->pRequest, 0, 0);
    if (nRequest == xtpSoundMenuCommand || nRequest == xtpSoundMenuPopup) {
      CurrentPlaySound()(nRequest == xtpSoundMenuCommand ? L"MenuCommand" : L"MenuPopup", NULL,
                         SND_ALIAS | SND_NOWAIT | SND_NODEFAULT);
      // A worker stopped while it played leaves the request to its successor.
      if (InterlockedCompareExchange(&pWorker->bStop, 0, 0)) break;
      InterlockedExchange(pWorker->pRequest, xtpSoundNone);
    }
    ::Sleep(5);
  }
  CurrentPlaySound()(NULL, NULL, SND_PURGE);
  InterlockedDecrement(&g_nRunningWorkers);
  pWorker->Release();
  return 0;
}
