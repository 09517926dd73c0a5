// Threads and the application object.
//
// A program defines one global object of a CWinApp-derived class and overrides
// InitInstance; the framework's own wWinMain (GUI programs link with -municode) finds that
// object, initialises it and runs InitInstance, then Run - the message loop with idle
// processing - unless InitInstance returned FALSE. A dialog-based program runs its dialog
// modally inside InitInstance and returns FALSE.
//
// Worker threads: AfxBeginThread(Proc, pParam) runs UINT Proc(LPVOID). User-interface
// threads: AfxBeginThread(RUNTIME_CLASS(CMyThread)) creates the CWinThread-derived object
// by name and runs its InitInstance and message loop on the new thread.
#pragma once

#include <windows.h>

#include "fw_cmdtarget.h"
#include "fw_wnd.h"
#include "fw_coll.h"  // POSITION, for the document layer's additions

// Classes of the document layer that CWinApp refers to.
class CDocTemplate;
class CDocument;
class CDocManager;
class CRecentFileList;
class CCommandLineInfo;

typedef UINT(AFX_CDECL* AFX_THREADPROC)(LPVOID);

class CWinThread : public CCmdTarget {
  DECLARE_DYNAMIC(CWinThread)

 public:
  CWinThread();
  CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
  ~CWinThread() override;  // closes m_hThread

  // Starts the thread (it always starts suspended internally and is resumed unless the
  // caller asked for CREATE_SUSPENDED).
  BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                    LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);

  CWnd* m_pMainWnd;    // the thread's main window; its destruction ends the loop
  CWnd* m_pActiveWnd;
  BOOL m_bAutoDelete;  // delete this object when the thread ends
  HANDLE m_hThread;
  DWORD m_nThreadID;
  operator HANDLE() const { return AfxIsNullObject(this) ? NULL : m_hThread; }

  int GetThreadPriority();
  BOOL SetThreadPriority(int nPriority);
  DWORD SuspendThread();
  DWORD ResumeThread();
  BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam);

  virtual CWnd* GetMainWnd();
  virtual BOOL InitInstance();
  virtual int Run();
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  virtual BOOL PumpMessage();
  virtual BOOL OnIdle(LONG lCount);
  virtual BOOL IsIdleMessage(MSG* pMsg);
  virtual int ExitInstance();
  virtual void Delete();  // deletes this object when m_bAutoDelete is set
  // Handlers of thread messages (ON_THREAD_MESSAGE): TRUE when one took pMsg.
  BOOL DispatchThreadMessageEx(MSG* pMsg);
  virtual BOOL ProcessMessageFilter(int code, LPMSG lpMsg);

  // For the thread start-up only.
  LPVOID m_pThreadParams;
  AFX_THREADPROC m_pfnThreadProc;

 protected:
  DECLARE_MESSAGE_MAP()

 private:
  void CommonConstruct();
  static unsigned __stdcall ThreadEntry(void* pParam);
};

// ---------------------------------------------------------------------------------------
class CWinApp : public CWinThread {
  DECLARE_DYNAMIC(CWinApp)

 public:
  explicit CWinApp(LPCTSTR lpszAppName = NULL);
  ~CWinApp() override;

  LPCTSTR m_pszAppName;       // title (string AFX_IDS_APP_TITLE, else the module name)
  HINSTANCE m_hInstance;
  HINSTANCE m_hPrevInstance;  // always NULL
  LPTSTR m_lpCmdLine;
  int m_nCmdShow;
  LPCTSTR m_pszExeName;       // module file name without folder and extension
  LPCTSTR m_pszHelpFilePath;  // module path with .HLP
  LPCTSTR m_pszProfileName;   // profile: app name (registry) or <exe>.INI
  LPCTSTR m_pszRegistryKey;   // company key under HKCU\Software, or NULL for INI files

  virtual BOOL InitApplication();
  BOOL InitInstance() override;
  int Run() override;
  int ExitInstance() override;
  virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);
  void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);

  HICON LoadIcon(LPCTSTR lpszResourceName) const;
  HICON LoadIcon(UINT nIDResource) const;
  HICON LoadStandardIcon(LPCTSTR lpszIconName) const;
  HCURSOR LoadCursor(LPCTSTR lpszResourceName) const;
  HCURSOR LoadCursor(UINT nIDResource) const;
  HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const;

  // The framework's no-ops kept for programs that call them.
  BOOL Enable3dControls() { return TRUE; }
  BOOL Enable3dControlsStatic() { return TRUE; }
  void SetDialogBkColor(COLORREF = RGB(192, 192, 192), COLORREF = RGB(0, 0, 0)) {}

  // Profile. After SetRegistryKey the values live under
  // HKEY_CURRENT_USER\Software\<key>\<profile name>\<section>; before, in <exe>.INI.
  void SetRegistryKey(LPCTSTR lpszRegistryKey);
  void SetRegistryKey(UINT nIDRegistryKey);
  HKEY GetAppRegistryKey();               // the caller closes it; NULL on failure
  HKEY GetSectionKey(LPCTSTR lpszSection);
  UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
  BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
  CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = NULL);
  // A NULL entry deletes the section; a NULL value deletes the entry.
  BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
  // *ppData is allocated with new[]; the caller deletes it with delete[].
  BOOL GetProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE* ppData, UINT* pBytes);
  BOOL WriteProfileBinary(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPBYTE pData, UINT nBytes);

  // ---- Added by the document layer (declarations only; defined in src/doc_app.cpp) ----
  // Document templates, File New / Open, the recent file list and shell commands.
  void AddDocTemplate(CDocTemplate* pTemplate);
  POSITION GetFirstDocTemplatePosition() const;
  CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
  virtual CDocument* OpenDocumentFile(LPCTSTR lpszFileName);
  virtual void AddToRecentFileList(LPCTSTR lpszPathName);  // also writes the profile
  void LoadStdProfileSettings(UINT nMaxMRU = 4);           // 0: no recent file list
  void SaveStdProfileSettings();
  void ParseCommandLine(CCommandLineInfo& rCmdInfo);
  BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);
  virtual BOOL SaveAllModified();
  void CloseAllDocuments(BOOL bEndSession);
  int GetOpenDocumentCount();
  BOOL DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                        CDocTemplate* pTemplate);
  afx_msg void OnFileNew();
  afx_msg void OnFileOpen();
  CDocManager* m_pDocManager = NULL;
  CRecentFileList* m_pRecentFileList = NULL;
  // Frees the two objects above with the application object.
  struct CDocLayerCleanup {
    CWinApp* pApp;
    ~CDocLayerCleanup();
  } m_docLayerCleanup{this};
  // ---- End of the document layer's additions ----

  // ID_HELP and friends.
  afx_msg void OnHelp();
  afx_msg void OnAppExit();

 protected:
  DECLARE_MESSAGE_MAP()

 private:
  static void SetOwnedString(LPCTSTR& rField, CString& rStore, LPCTSTR lpszValue);
  CString m_strAppName, m_strExeName, m_strHelpFilePath, m_strProfileName, m_strRegistryKey;
  friend BOOL AFXAPI AfxWinInit(HINSTANCE, HINSTANCE, LPTSTR, int);
};

// ---------------------------------------------------------------------------------------
CWinApp* AFXAPI AfxGetApp();
// The main window of this thread, or else of the application.
CWnd* AFXAPI AfxGetMainWnd();
// The CWinThread of this thread (the application object on the main thread), or NULL.
CWinThread* AFXAPI AfxGetThread();
LPCTSTR AFXAPI AfxGetAppName();

// Message box titled with the application name, owned by the active main window.
int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);

CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                                  int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                                  DWORD dwCreateFlags = 0,
                                  LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
CWinThread* AFXAPI AfxBeginThread(CRuntimeClass* pThreadClass,
                                  int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                                  DWORD dwCreateFlags = 0,
                                  LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
// Ends the calling framework thread (its ExitInstance is not run).
[[noreturn]] void AFXAPI AfxEndThread(UINT nExitCode, BOOL bDelete = TRUE);

// Message pump pieces shared by CWinThread::Run and the modal loops; they work on threads
// without a CWinThread object too.
BOOL AFXAPI AfxPumpMessage();
BOOL AFXAPI AfxInternalPumpMessage();
BOOL AFXAPI AfxIsIdleMessage(const MSG* pMsg);
const MSG* AFXAPI AfxGetCurrentMessage();
// PreTranslateMessage for a thread without a CWinThread: the windows from the message's
// window up to its top-level parent.
BOOL AFXAPI AfxInternalPreTranslateMessage(MSG* pMsg);
void AFXAPI AfxPostQuitMessage(int nExitCode);

// The start-up the framework's wWinMain performs, for programs with their own entry.
BOOL AFXAPI AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);

// ActiveX control hosting: a program asks for it once at start-up; the OLE layer's control
// container checks the request before it hosts controls in dialogs and windows.
void AFXAPI AfxEnableControlContainer();
BOOL AFXAPI AfxIsControlContainerEnabled();
