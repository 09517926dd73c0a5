// The program's worker threads: start, interface calls, cancel, cooperative pause, join.
#include "WorkerRunner.h"

#include <process.h>

#include "AppMessages.h"
#include "lnnotes.h"

namespace {

thread_local CWorkerRunner* t_pRunner = nullptr;

const wchar_t kSinkClass[] = L"VorlixWorkerSink";

void RegisterSinkClass(WNDPROC proc) {
  static bool bRegistered = false;
  if (bRegistered) return;
  WNDCLASSEXW wc = {sizeof(wc)};
  wc.lpfnWndProc = proc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = kSinkClass;
  bRegistered = ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

// ---- CWorkerContext --------------------------------------------------------------------

BOOL CWorkerContext::Poll() {
  m_pRunner->WaitPausePoint();
  return m_pRunner->m_bCancel.load();
}

BOOL CWorkerContext::IsCancelled() const { return m_pRunner->m_bCancel.load(); }

BOOL CWorkerContext::RunOnUi(const std::function<void()>& work) {
  if (!m_pRunner->m_hSink || !::IsWindow(m_pRunner->m_hSink)) return FALSE;
  std::function<void()> copy = work;
  return ::SendMessageW(m_pRunner->m_hSink, UM_RUNONUITHREAD, reinterpret_cast<WPARAM>(&copy),
                        reinterpret_cast<LPARAM>(m_pRunner)) == 1;
}

// ---- CWorkerRunner ---------------------------------------------------------------------

CWorkerRunner::CWorkerRunner() {
  RegisterSinkClass(&CWorkerRunner::SinkProc);
  m_hSink = ::CreateWindowExW(0, kSinkClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
  m_hResume = ::CreateEventW(nullptr, TRUE, TRUE, nullptr);
  m_hPaused = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

CWorkerRunner::~CWorkerRunner() {
  if (IsRunning()) {
    Cancel();
    Join();
  }
  if (m_hThread) ::CloseHandle(m_hThread);
  if (m_hSink) ::DestroyWindow(m_hSink);
  ::CloseHandle(m_hResume);
  ::CloseHandle(m_hPaused);
}

BOOL CWorkerRunner::Start(Body body, UINT nFlags) {
  if (IsRunning()) return FALSE;
  if (m_hThread) {
    ::CloseHandle(m_hThread);
    m_hThread = nullptr;
  }
  m_body = std::move(body);
  m_nFlags = nFlags;
  m_bCancel = false;
  m_bPauseAsked = false;
  m_bPaused = false;
  ::SetEvent(m_hResume);
  ::ResetEvent(m_hPaused);
  unsigned id = 0;
  m_hThread = reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &CWorkerRunner::ThreadEntry, this, 0, &id));
  return m_hThread != nullptr;
}

BOOL CWorkerRunner::IsRunning() const {
  return m_hThread && ::WaitForSingleObject(m_hThread, 0) == WAIT_TIMEOUT;
}

DWORD CWorkerRunner::GetExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (m_hThread) ::GetExitCodeThread(m_hThread, &code);
  return code;
}

void CWorkerRunner::Cancel() {
  m_bCancel = true;
  if (m_onAbort) m_onAbort(1);
  Resume();
}

BOOL CWorkerRunner::Pause() {
  if (!IsRunning()) return FALSE;
  ::ResetEvent(m_hResume);
  m_bPauseAsked = true;
  for (;;) {
    if (m_bPaused.load()) return TRUE;
    HANDLE handles[2] = {m_hPaused, m_hThread};
    const DWORD r = ::MsgWaitForMultipleObjects(2, handles, FALSE, 50, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) return TRUE;
    if (r == WAIT_OBJECT_0 + 1) {
      m_bPauseAsked = false;
      ::SetEvent(m_hResume);
      return FALSE;
    }
    if (!PumpOnce(0)) {
      ::PostQuitMessage(0);
      Resume();
      return FALSE;
    }
  }
}

void CWorkerRunner::Resume() {
  m_bPauseAsked = false;
  ::SetEvent(m_hResume);
}

void CWorkerRunner::Join() {
  bool bQuit = false;
  int nQuitCode = 0;
  while (IsRunning()) {
    const DWORD r = ::MsgWaitForMultipleObjects(1, &m_hThread, FALSE, 50, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0) break;
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        bQuit = true;
        nQuitCode = static_cast<int>(msg.wParam);
        continue;
      }
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  if (bQuit) ::PostQuitMessage(nQuitCode);
}

BOOL CWorkerRunner::PumpOnce(DWORD idleMs) {
  if (idleMs) ::MsgWaitForMultipleObjects(0, nullptr, FALSE, idleMs, QS_ALLINPUT);
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return FALSE;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return TRUE;
}

BOOL CWorkerRunner::PollCurrentThread() {
  CWorkerRunner* pRunner = t_pRunner;
  if (!pRunner) return FALSE;
  pRunner->WaitPausePoint();
  return pRunner->m_bCancel.load();
}

BOOL CWorkerRunner::IsWorkerThread() { return t_pRunner != nullptr; }

BOOL CWorkerRunner::WaitPausePoint() {
  if (!m_bPauseAsked.load() || m_bCancel.load()) return FALSE;
  m_bPaused = true;
  ::SetEvent(m_hPaused);
  ::WaitForSingleObject(m_hResume, INFINITE);
  m_bPaused = false;
  return TRUE;
}

unsigned __stdcall CWorkerRunner::ThreadEntry(void* pParam) {
  auto* pRunner = static_cast<CWorkerRunner*>(pParam);
  t_pRunner = pRunner;
  const UINT result = pRunner->RunBody();
  t_pRunner = nullptr;
  return result;
}

UINT CWorkerRunner::RunBody() {
  const bool bOle = (m_nFlags & kOle) != 0;
  const bool bOleReady = bOle && SUCCEEDED(::OleInitialize(nullptr));
  UINT result = 0;
  {
    LNNotesSession session;
    bool bNotesThread = false;
    if (m_nFlags & kNotesThread) {
      try {
        bNotesThread = session.InitThread() == LNNOERROR;
      } catch (...) {
        // Without its thread set up, the worker's Notes calls fail and report it.
      }
    }
    CWorkerContext context(this);
    try {
      result = m_body(context);
    } catch (...) {
      result = static_cast<UINT>(-1);
    }
    if (bNotesThread) {
      try {
        session.TermThread();
      } catch (...) {
      }
    }
  }
  if (bOleReady) ::OleUninitialize();
  return result;
}

LRESULT CALLBACK CWorkerRunner::SinkProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == UM_RUNONUITHREAD && wParam) {
    (*reinterpret_cast<std::function<void()>*>(wParam))();
    return 1;
  }
  return ::DefWindowProcW(hWnd, message, wParam, lParam);
}
