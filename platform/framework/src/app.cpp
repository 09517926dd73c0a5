// Threads, the message pump with idle processing, the application object, its profile,
// and the start-up the framework's entry point performs.
#include "framework.h"

#include <process.h>

#include <atomic>
#include <vector>

#include "wnd_state.h"

using fw_wnd::GetThreadState;

namespace {
CWinApp* g_pApp = nullptr;
std::atomic<bool> g_bControlContainer{false};
}  // namespace

CWinApp* AFXAPI AfxGetApp() { return g_pApp; }

CWinThread* AFXAPI AfxGetThread() { return GetThreadState().pThread; }

CWnd* AFXAPI AfxGetMainWnd() {
  if (CWinThread* pThread = AfxGetThread()) return pThread->GetMainWnd();
  return g_pApp ? g_pApp->GetMainWnd() : nullptr;
}

LPCTSTR AFXAPI AfxGetAppName() {
  return (g_pApp && g_pApp->m_pszAppName) ? g_pApp->m_pszAppName : L"";
}

void AFXAPI AfxEnableControlContainer() { g_bControlContainer = true; }
BOOL AFXAPI AfxIsControlContainerEnabled() { return g_bControlContainer ? TRUE : FALSE; }

void AFXAPI AfxPostQuitMessage(int nExitCode) { ::PostQuitMessage(nExitCode); }

// ---------------------------------------------------------------------------------------
// The pump.

BOOL AFXAPI AfxInternalPreTranslateMessage(MSG* pMsg) { return CWnd::WalkPreTranslateTree(nullptr, pMsg); }

BOOL AFXAPI AfxInternalPumpMessage() {
  fw_wnd::ThreadState& ts = GetThreadState();
  MSG& msg = ts.msgCur;
  const BOOL bRet = ::GetMessageW(&msg, nullptr, 0, 0);
  if (bRet == 0) return FALSE;   // WM_QUIT
  if (bRet == -1) return TRUE;   // nothing was taken from the queue
  if (msg.message != WM_KICKIDLE) {
    const BOOL bDone = ts.pThread ? ts.pThread->PreTranslateMessage(&msg) : AfxInternalPreTranslateMessage(&msg);
    if (!bDone) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  return TRUE;
}

BOOL AFXAPI AfxPumpMessage() {
  CWinThread* pThread = AfxGetThread();
  return pThread ? pThread->PumpMessage() : AfxInternalPumpMessage();
}

const MSG* AFXAPI AfxGetCurrentMessage() { return &GetThreadState().msgCur; }

// Mouse moves that do not move, paints and the caret's system timer do not end idleness:
// otherwise idle processing would run again and again.
static BOOL InternalIsIdleMessage(const MSG* pMsg) {
  fw_wnd::ThreadState& ts = GetThreadState();
  if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
    if (ts.nMsgLast == pMsg->message && ts.ptCursorLast.x == pMsg->pt.x && ts.ptCursorLast.y == pMsg->pt.y)
      return FALSE;
    ts.ptCursorLast = pMsg->pt;
    ts.nMsgLast = pMsg->message;
    return TRUE;
  }
  return pMsg->message != WM_PAINT && pMsg->message != 0x0118 /* WM_SYSTIMER */;
}

BOOL AFXAPI AfxIsIdleMessage(const MSG* pMsg) {
  CWinThread* pThread = AfxGetThread();
  return pThread ? pThread->IsIdleMessage(const_cast<MSG*>(pMsg)) : InternalIsIdleMessage(pMsg);
}

// ---------------------------------------------------------------------------------------
// CWinThread.

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinThread, CCmdTarget)
END_MESSAGE_MAP()

void CWinThread::CommonConstruct() {
  m_pMainWnd = nullptr;
  m_pActiveWnd = nullptr;
  m_bAutoDelete = TRUE;
  m_hThread = nullptr;
  m_nThreadID = 0;
}

CWinThread::CWinThread() : m_pThreadParams(nullptr), m_pfnThreadProc(nullptr) { CommonConstruct(); }

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pThreadParams(pParam), m_pfnThreadProc(pfnThreadProc) {
  CommonConstruct();
}

CWinThread::~CWinThread() {
  if (m_hThread != nullptr) ::CloseHandle(m_hThread);
  fw_wnd::ThreadState& ts = GetThreadState();
  if (ts.pThread == this) ts.pThread = nullptr;
}

unsigned __stdcall CWinThread::ThreadEntry(void* pParam) {
  auto* pThread = static_cast<CWinThread*>(pParam);
  GetThreadState().pThread = pThread;
  UINT nResult = 0;
  try {
    if (pThread->m_pfnThreadProc != nullptr)
      nResult = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
    else if (!pThread->InitInstance())
      nResult = static_cast<UINT>(pThread->ExitInstance());
    else
      nResult = static_cast<UINT>(pThread->Run());
  } catch (CException* e) {
    // Nothing above this function could catch it: report, and end the thread.
    e->ReportError();
    e->Delete();
    nResult = static_cast<UINT>(-1);
  }
  GetThreadState().pThread = nullptr;
  pThread->Delete();
  AfxDeleteTempMap();
  return nResult;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  unsigned nThreadID = 0;
  // Started suspended so that m_hThread and m_nThreadID are set before it can run (and,
  // with m_bAutoDelete, delete this object).
  m_hThread = reinterpret_cast<HANDLE>(
      _beginthreadex(lpSecurityAttrs, nStackSize, &ThreadEntry, this, CREATE_SUSPENDED, &nThreadID));
  if (m_hThread == nullptr) return FALSE;
  m_nThreadID = nThreadID;
  if (!(dwCreateFlags & CREATE_SUSPENDED)) ::ResumeThread(m_hThread);
  return TRUE;
}

int CWinThread::GetThreadPriority() { return ::GetThreadPriority(m_hThread); }
BOOL CWinThread::SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }
DWORD CWinThread::SuspendThread() { return ::SuspendThread(m_hThread); }
DWORD CWinThread::ResumeThread() { return ::ResumeThread(m_hThread); }
BOOL CWinThread::PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostThreadMessageW(m_nThreadID, message, wParam, lParam);
}

CWnd* CWinThread::GetMainWnd() { return m_pActiveWnd ? m_pActiveWnd : m_pMainWnd; }

BOOL CWinThread::InitInstance() { return FALSE; }  // a user-interface thread overrides it

int CWinThread::ExitInstance() { return static_cast<int>(AfxGetCurrentMessage()->wParam); }

void CWinThread::Delete() {
  if (m_bAutoDelete) delete this;
}

BOOL CWinThread::PumpMessage() { return AfxInternalPumpMessage(); }

BOOL CWinThread::IsIdleMessage(MSG* pMsg) { return InternalIsIdleMessage(pMsg); }

BOOL CWinThread::ProcessMessageFilter(int, LPMSG) { return FALSE; }

int CWinThread::Run() {
  BOOL bIdle = TRUE;
  LONG lIdleCount = 0;
  MSG msg;
  for (;;) {
    while (bIdle && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(lIdleCount++)) bIdle = FALSE;
    }
    do {
      if (!PumpMessage()) return ExitInstance();
      if (IsIdleMessage(&GetThreadState().msgCur)) {
        bIdle = TRUE;
        lIdleCount = 0;
      }
    } while (::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
  }
}

BOOL CWinThread::OnIdle(LONG lCount) {
  if (lCount <= 0) {
    // Bars and controls update their command UI from WM_IDLEUPDATECMDUI.
    CWnd* pMainWnd = m_pMainWnd;
    if (pMainWnd != nullptr && pMainWnd->m_hWnd != nullptr && pMainWnd->IsWindowVisible()) {
      AfxCallWndProc(pMainWnd, pMainWnd->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
      pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    }
  } else {
    AfxDeleteTempMap();
  }
  return lCount < 1;  // one more pass for the clean-up, then wait for messages
}

BOOL CWinThread::DispatchThreadMessageEx(MSG* pMsg) {
  for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != nullptr;
       pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->nSig != AfxSig_end; ++e) {
      const bool bMatch = (pMsg->message < 0xC000)
                              ? (e->nMessage == pMsg->message && e->nSig == AfxSig_v_w_l)
                              : (e->nMessage == 0xC000 && *reinterpret_cast<const UINT*>(e->nSig) == pMsg->message);
      if (!bMatch) continue;
      auto pfn = reinterpret_cast<void (CWinThread::*)(WPARAM, LPARAM)>(static_cast<AFX_PMSGT>(e->pfn));
      (this->*pfn)(pMsg->wParam, pMsg->lParam);
      return TRUE;
    }
  }
  return FALSE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg) {
  if (pMsg->hwnd == nullptr && DispatchThreadMessageEx(pMsg)) return TRUE;
  CWnd* pMainWnd = AfxGetMainWnd();
  // No main window (a thread that runs only dialogs): no tree to walk. The test is written
  // out, not left to a member call on a null object, which the compiler may take as proof
  // that the pointer is set and drop the checks below.
  const HWND hMainWnd = pMainWnd != nullptr ? pMainWnd->m_hWnd : nullptr;
  if (CWnd::WalkPreTranslateTree(hMainWnd, pMsg)) return TRUE;
  // Messages of windows outside the main window's tree (other top-level windows of the
  // thread) are still shown to the main window.
  if (pMainWnd != nullptr && pMsg->hwnd != nullptr) {
    CWnd* pWnd = CWnd::FromHandle(pMsg->hwnd);
    if (pWnd->GetTopLevelParent() != pMainWnd) return pMainWnd->PreTranslateMessage(pMsg);
  }
  return FALSE;
}

// ---------------------------------------------------------------------------------------
// Starting threads.

CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority,
                                  UINT nStackSize, DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  if (pfnThreadProc == nullptr) AfxThrowInvalidArgException();
  auto* pThread = new CWinThread(pfnThreadProc, pParam);
  if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
    pThread->Delete();
    return nullptr;
  }
  pThread->SetThreadPriority(nPriority);
  if (!(dwCreateFlags & CREATE_SUSPENDED)) pThread->ResumeThread();
  return pThread;
}

CWinThread* AFXAPI AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority, UINT nStackSize,
                                  DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  if (pThreadClass == nullptr || !pThreadClass->IsDerivedFrom(RUNTIME_CLASS(CWinThread)))
    AfxThrowInvalidArgException();
  auto* pThread = static_cast<CWinThread*>(pThreadClass->CreateObject());
  if (pThread == nullptr) AfxThrowMemoryException();  // not DYNCREATE
  if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
    pThread->Delete();
    return nullptr;
  }
  pThread->SetThreadPriority(nPriority);
  if (!(dwCreateFlags & CREATE_SUSPENDED)) pThread->ResumeThread();
  return pThread;
}

void AFXAPI AfxEndThread(UINT nExitCode, BOOL bDelete) {
  fw_wnd::ThreadState& ts = GetThreadState();
  CWinThread* pThread = ts.pThread;
  ts.pThread = nullptr;
  if (pThread != nullptr && bDelete) pThread->Delete();
  AfxDeleteTempMap();
  _endthreadex(nExitCode);
}

// ---------------------------------------------------------------------------------------
// CWinApp.

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCTSTR lpszAppName)
    : m_pszAppName(nullptr),
      m_hInstance(nullptr),
      m_hPrevInstance(nullptr),
      m_lpCmdLine(nullptr),
      m_nCmdShow(SW_SHOWNORMAL),
      m_pszExeName(nullptr),
      m_pszHelpFilePath(nullptr),
      m_pszProfileName(nullptr),
      m_pszRegistryKey(nullptr) {
  if (lpszAppName != nullptr) SetOwnedString(m_pszAppName, m_strAppName, lpszAppName);
  // The application object is the CWinThread of the thread that constructs it (the main
  // thread, during static initialisation).
  g_pApp = this;
  GetThreadState().pThread = this;
  m_nThreadID = ::GetCurrentThreadId();
  m_bAutoDelete = FALSE;
}

CWinApp::~CWinApp() {
  if (g_pApp == this) g_pApp = nullptr;
}

// The LPCTSTR fields point into strings this object keeps.
void CWinApp::SetOwnedString(LPCTSTR& rField, CString& rStore, LPCTSTR lpszValue) {
  rStore = lpszValue;
  rField = rStore.GetString();
}

BOOL CWinApp::InitApplication() { return TRUE; }
BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
  // Without a main window nothing would ever end the loop.
  if (m_pMainWnd == nullptr) AfxPostQuitMessage(0);
  return CWinThread::Run();
}

int CWinApp::ExitInstance() { return CWinThread::ExitInstance(); }

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT) {
  if ((nType & MB_ICONMASK) == 0) {
    switch (nType & MB_TYPEMASK) {
      case MB_OK:
      case MB_OKCANCEL:
        nType |= MB_ICONEXCLAMATION;
        break;
      case MB_YESNO:
      case MB_YESNOCANCEL:
        nType |= MB_ICONQUESTION;
        break;
      default:
        break;
    }
  }
  // Owned by the main window's active popup, when the main window can take input.
  HWND hWndOwner = nullptr;
  if (CWnd* pMainWnd = AfxGetMainWnd(); pMainWnd != nullptr && ::IsWindow(pMainWnd->m_hWnd)) {
    hWndOwner = ::GetLastActivePopup(pMainWnd->m_hWnd);
    if (!::IsWindowEnabled(hWndOwner) || !::IsWindowVisible(hWndOwner)) hWndOwner = nullptr;
  }
  return ::MessageBoxW(hWndOwner, lpszPrompt, AfxGetAppName(), nType);
}

int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp) {
  if (CWinApp* pApp = AfxGetApp()) return pApp->DoMessageBox(lpszText, nType, nIDHelp);
  return ::MessageBoxW(::GetActiveWindow(), lpszText, AfxGetAppName(), nType);
}

int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
  CString strPrompt;
  strPrompt.LoadString(nIDPrompt);
  return AfxMessageBox(strPrompt, nType, nIDHelp == static_cast<UINT>(-1) ? nIDPrompt : nIDHelp);
}

void CWinApp::WinHelp(DWORD_PTR dwData, UINT nCmd) {
  CWnd* pMainWnd = AfxGetMainWnd();
  ::WinHelpW(pMainWnd->GetSafeHwnd(), m_pszHelpFilePath, nCmd, dwData);
}

void CWinApp::OnHelp() {
  // The active window may give help on its current context itself.
  HWND hWndActive = ::GetActiveWindow();
  if (hWndActive != nullptr && ::SendMessageW(hWndActive, WM_COMMANDHELP, 0, 0)) return;
  // Otherwise the contents of the help file, when there is one.
  if (m_pszHelpFilePath != nullptr && ::GetFileAttributesW(m_pszHelpFilePath) != INVALID_FILE_ATTRIBUTES)
    WinHelp(0, HELP_FINDER);
}

void CWinApp::OnAppExit() {
  if (CWnd* pMainWnd = AfxGetMainWnd()) pMainWnd->SendMessage(WM_CLOSE);
}

HICON CWinApp::LoadIcon(LPCTSTR lpszResourceName) const { return ::LoadIconW(AfxGetResourceHandle(), lpszResourceName); }
HICON CWinApp::LoadIcon(UINT nIDResource) const { return LoadIcon(MAKEINTRESOURCEW(nIDResource)); }
HICON CWinApp::LoadStandardIcon(LPCTSTR lpszIconName) const { return ::LoadIconW(nullptr, lpszIconName); }
HCURSOR CWinApp::LoadCursor(LPCTSTR lpszResourceName) const { return ::LoadCursorW(AfxGetResourceHandle(), lpszResourceName); }
HCURSOR CWinApp::LoadCursor(UINT nIDResource) const { return LoadCursor(MAKEINTRESOURCEW(nIDResource)); }
HCURSOR CWinApp::LoadStandardCursor(LPCTSTR lpszCursorName) const { return ::LoadCursorW(nullptr, lpszCursorName); }

// ---------------------------------------------------------------------------------------
// Profile.

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey) {
  SetOwnedString(m_pszRegistryKey, m_strRegistryKey, lpszRegistryKey);
  SetOwnedString(m_pszProfileName, m_strProfileName, m_pszAppName ? m_pszAppName : L"");
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey) {
  CString strKey;
  strKey.LoadString(nIDRegistryKey);
  SetRegistryKey(strKey);
}

HKEY CWinApp::GetAppRegistryKey() {
  if (m_pszRegistryKey == nullptr || m_pszProfileName == nullptr) return nullptr;
  HKEY hSoftKey = nullptr, hCompanyKey = nullptr, hAppKey = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_WRITE | KEY_READ, &hSoftKey) == ERROR_SUCCESS) {
    DWORD dw;
    if (::RegCreateKeyExW(hSoftKey, m_pszRegistryKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_WRITE | KEY_READ, nullptr, &hCompanyKey, &dw) == ERROR_SUCCESS) {
      ::RegCreateKeyExW(hCompanyKey, m_pszProfileName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE | KEY_READ, nullptr, &hAppKey, &dw);
      ::RegCloseKey(hCompanyKey);
    }
    ::RegCloseKey(hSoftKey);
  }
  return hAppKey;
}

HKEY CWinApp::GetSectionKey(LPCTSTR lpszSection) {
  if (lpszSection == nullptr) return nullptr;
  HKEY hAppKey = GetAppRegistryKey();
  if (hAppKey == nullptr) return nullptr;
  HKEY hSectionKey = nullptr;
  DWORD dw;
  ::RegCreateKeyExW(hAppKey, lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ,
                    nullptr, &hSectionKey, &dw);
  ::RegCloseKey(hAppKey);
  return hSectionKey;
}

namespace {
// Closes a registry key at the end of a scope.
struct KeyCloser {
  HKEY hKey;
  ~KeyCloser() {
    if (hKey != nullptr) ::RegCloseKey(hKey);
  }
};

// Binary values in INI files: each byte as two letters 'A'..'P', low nibble first.
CString EncodeBinary(const BYTE* pData, UINT nBytes) {
  CString str;
  for (UINT i = 0; i < nBytes; ++i) {
    str += static_cast<WCHAR>(L'A' + (pData[i] & 0x0F));
    str += static_cast<WCHAR>(L'A' + ((pData[i] >> 4) & 0x0F));
  }
  return str;
}

bool DecodeBinary(const CString& str, std::vector<BYTE>& data) {
  if (str.GetLength() % 2 != 0) return false;
  data.clear();
  for (int i = 0; i < str.GetLength(); i += 2) {
    const int lo = str[i] - L'A', hi = str[i + 1] - L'A';
    if (lo < 0 || lo > 15 || hi < 0 || hi > 15) return false;
    data.push_back(static_cast<BYTE>(lo | (hi << 4)));
  }
  return true;
}
}  // namespace

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault) {
  if (m_pszRegistryKey == nullptr)
    return ::GetPrivateProfileIntW(lpszSection, lpszEntry, nDefault, m_pszProfileName);
  KeyCloser key{GetSectionKey(lpszSection)};
  if (key.hKey == nullptr) return static_cast<UINT>(nDefault);
  DWORD dwValue = 0, dwType = 0, dwCount = sizeof(dwValue);
  const LONG lResult = ::RegQueryValueExW(key.hKey, lpszEntry, nullptr, &dwType,
                                          reinterpret_cast<LPBYTE>(&dwValue), &dwCount);
  if (lResult == ERROR_SUCCESS && dwType == REG_DWORD && dwCount == sizeof(dwValue)) return dwValue;
  return static_cast<UINT>(nDefault);
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue) {
  if (m_pszRegistryKey == nullptr) {
    CString str;
    str.Format(L"%d", nValue);
    return ::WritePrivateProfileStringW(lpszSection, lpszEntry, str, m_pszProfileName);
  }
  KeyCloser key{GetSectionKey(lpszSection)};
  if (key.hKey == nullptr) return FALSE;
  const DWORD dwValue = static_cast<DWORD>(nValue);
  return ::RegSetValueExW(key.hKey, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue),
                          sizeof(dwValue)) == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault) {
  const CString strDefault = lpszDefault ? lpszDefault : L"";
  if (m_pszRegistryKey == nullptr) {
    // Grow the buffer until the text fits: the API truncates silently.
    for (DWORD nSize = 256;; nSize *= 2) {
      CString str;
      const DWORD nLen = ::GetPrivateProfileStringW(lpszSection, lpszEntry, strDefault,
                                                    str.GetBuffer(static_cast<int>(nSize)), nSize, m_pszProfileName);
      str.ReleaseBuffer(static_cast<int>(nLen));
      if (nLen < nSize - 1) return str;
    }
  }
  KeyCloser key{GetSectionKey(lpszSection)};
  if (key.hKey == nullptr) return strDefault;
  DWORD dwType = 0, dwCount = 0;
  if (::RegQueryValueExW(key.hKey, lpszEntry, nullptr, &dwType, nullptr, &dwCount) != ERROR_SUCCESS ||
      (dwType != REG_SZ && dwType != REG_EXPAND_SZ))
    return strDefault;
  // The stored text need not end with a NUL: read it into a buffer one character longer.
  std::vector<wchar_t> buf(dwCount / sizeof(wchar_t) + 1, L'\0');
  if (::RegQueryValueExW(key.hKey, lpszEntry, nullptr, &dwType, reinterpret_cast<LPBYTE>(buf.data()),
                         &dwCount) != ERROR_SUCCESS)
    return strDefault;
  buf[dwCount / sizeof(wchar_t)] = L'\0';
  return CString(buf.data());
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue) {
  if (m_pszRegistryKey == nullptr)
    return ::WritePrivateProfileStringW(lpszSection, lpszEntry, lpszValue, m_pszProfileName);
  if (lpszEntry == nullptr) {
    KeyCloser appKey{GetAppRegistryKey()};
    if (appKey.hKey == nullptr) return FALSE;
    return ::RegDeleteTreeW(appKey.hKey, lpszSection) == ERROR_SUCCESS;  // the key and all below it
  }
  KeyCloser key{GetSectionKey(lpszSection)};
  if (key.hKey == nullptr) return FALSE;
  if (lpszValue == nullptr) return ::RegDeleteValueW(key.hKey, lpszEntry) == ERROR_SUCCESS;
  const DWORD cb = static_cast<DWORD>((lstrlenW(lpszValue) + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(key.hKey, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue), cb) ==
         ERROR_SUCCESS;
}

BOOL CWinApp::GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes) {
  if (ppData == nullptr || pBytes == nullptr) return FALSE;
  *ppData = nullptr;
  *pBytes = 0;
  std::vector<BYTE> data;
  if (m_pszRegistryKey == nullptr) {
    if (!DecodeBinary(GetProfileString(lpszSection, lpszEntry), data) || data.empty()) return FALSE;
  } else {
    KeyCloser key{GetSectionKey(lpszSection)};
    if (key.hKey == nullptr) return FALSE;
    DWORD dwType = 0, dwCount = 0;
    if (::RegQueryValueExW(key.hKey, lpszEntry, nullptr, &dwType, nullptr, &dwCount) != ERROR_SUCCESS ||
        dwType != REG_BINARY)
      return FALSE;
    data.resize(dwCount);
    if (dwCount != 0 && ::RegQueryValueExW(key.hKey, lpszEntry, nullptr, &dwType, data.data(), &dwCount) != ERROR_SUCCESS)
      return FALSE;
    data.resize(dwCount);
  }
  *ppData = new BYTE[data.size() ? data.size() : 1];
  std::copy(data.begin(), data.end(), *ppData);
  *pBytes = static_cast<UINT>(data.size());
  return TRUE;
}

BOOL CWinApp::WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes) {
  if (m_pszRegistryKey == nullptr) return WriteProfileString(lpszSection, lpszEntry, EncodeBinary(pData, nBytes));
  KeyCloser key{GetSectionKey(lpszSection)};
  if (key.hKey == nullptr) return FALSE;
  return ::RegSetValueExW(key.hKey, lpszEntry, 0, REG_BINARY, pData, nBytes) == ERROR_SUCCESS;
}

// ---------------------------------------------------------------------------------------
// Start-up.

static int AFXAPI ReportWithAppTitle(LPCWSTR lpszText, UINT nType) { return AfxMessageBox(lpszText, nType); }

BOOL AFXAPI AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow) {
  // Failed assertions of the C runtime go to stderr rather than into a blocking box.
  _set_error_mode(_OUT_TO_STDERR);
  AfxSetInstanceHandle(hInstance);
  AfxSetResourceHandle(hInstance);

  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_DATE_CLASSES |
                                            ICC_USEREX_CLASSES | ICC_COOL_CLASSES | ICC_LINK_CLASS};
  ::InitCommonControlsEx(&icc);
  AfxSetReportErrorHandler(ReportWithAppTitle);

  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr) return TRUE;
  pApp->m_hInstance = hInstance;
  pApp->m_hPrevInstance = hPrevInstance;
  pApp->m_lpCmdLine = lpCmdLine;
  pApp->m_nCmdShow = nCmdShow;

  wchar_t szPath[MAX_PATH] = {};
  ::GetModuleFileNameW(hInstance, szPath, MAX_PATH);
  CString strPath(szPath);
  const int nSlash = strPath.ReverseFind(L'\\');
  CString strTitle = strPath.Mid(nSlash + 1);
  const int nDot = strTitle.ReverseFind(L'.');
  if (nDot >= 0) strTitle = strTitle.Left(nDot);
  if (pApp->m_pszExeName == nullptr) pApp->SetOwnedString(pApp->m_pszExeName, pApp->m_strExeName, strTitle);
  if (pApp->m_pszHelpFilePath == nullptr) {
    const int nPathDot = strPath.ReverseFind(L'.');
    pApp->SetOwnedString(pApp->m_pszHelpFilePath, pApp->m_strHelpFilePath, (nPathDot > nSlash ? strPath.Left(nPathDot) : strPath) + L".HLP");
  }
  if (pApp->m_pszAppName == nullptr) {
    CString strName;
    if (!strName.LoadString(AFX_IDS_APP_TITLE)) strName = pApp->m_pszExeName;
    pApp->SetOwnedString(pApp->m_pszAppName, pApp->m_strAppName, strName);
  }
  if (pApp->m_pszProfileName == nullptr)
    pApp->SetOwnedString(pApp->m_pszProfileName, pApp->m_strProfileName, CString(pApp->m_pszExeName) + L".INI");
  return TRUE;
}

int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow) {
  CWinThread* pThread = AfxGetThread();
  CWinApp* pApp = AfxGetApp();
  if (pThread == nullptr || pApp == nullptr) {
    fputs("No application object: define one global object of a CWinApp-derived class.\n", stderr);
    return -1;
  }
  try {
    if (!AfxWinInit(hInstance, hPrevInstance, lpCmdLine, nCmdShow) || !pApp->InitApplication()) return -1;
    if (!pThread->InitInstance()) {
      if (pThread->m_pMainWnd != nullptr) pThread->m_pMainWnd->DestroyWindow();
      return pThread->ExitInstance();
    }
    return pThread->Run();
  } catch (CException* e) {
    e->ReportError();
    e->Delete();
    return -1;
  }
}
