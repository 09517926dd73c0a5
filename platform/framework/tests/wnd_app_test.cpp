// The application object's profile in the registry and in INI files, and threads:
// worker functions, user-interface threads with their message loop and idle processing.
#include <gtest/gtest.h>

#include <process.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework.h"
#include "wnd_test_util.h"

namespace {

// Each test has a company key of its own: the test programs run in parallel.
std::wstring CompanyKey() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string name = std::string("VorlixFrameworkTests_") + info->name();
  return std::wstring(name.begin(), name.end());
}

// One application object per test; its destructor leaves no global state behind.
class CTestApp : public CWinApp {
 public:
  CTestApp() : CWinApp(L"ProfileApp") {}
};

std::wstring ReadRawString(LPCWSTR subKey, LPCWSTR value) {
  wchar_t buf[256] = {};
  DWORD cb = sizeof(buf);
  if (::RegGetValueW(HKEY_CURRENT_USER, subKey, value, RRF_RT_REG_SZ, nullptr, buf, &cb) != ERROR_SUCCESS) return L"<none>";
  return buf;
}

class Profile : public ::testing::Test {
 protected:
  void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, (L"Software\\" + CompanyKey()).c_str()); }
  void TearDown() override { SetUp(); }
};

TEST_F(Profile, RegistryValuesRoundTripUnderTheCompanyAndAppKeys) {
  CTestApp app;
  EXPECT_EQ(AfxGetApp(), &app);
  app.SetRegistryKey(CompanyKey().c_str());
  EXPECT_STREQ(app.m_pszProfileName, L"ProfileApp");

  EXPECT_TRUE(app.WriteProfileInt(L"Numbers", L"Negative", -5));
  EXPECT_TRUE(app.WriteProfileString(L"Texts", L"Name", L"Grüße, Notes"));
  EXPECT_TRUE(app.WriteProfileString(L"Texts", L"Empty", L""));
  BYTE blob[] = {0x00, 0xFF, 0x10, 0x00, 0x7F};
  EXPECT_TRUE(app.WriteProfileBinary(L"Layout", L"Bar0", blob, sizeof(blob)));

  EXPECT_EQ(static_cast<int>(app.GetProfileInt(L"Numbers", L"Negative", 0)), -5);
  EXPECT_EQ(app.GetProfileInt(L"Numbers", L"Missing", 77), 77u);
  EXPECT_EQ(app.GetProfileString(L"Texts", L"Name"), L"Grüße, Notes");
  EXPECT_EQ(app.GetProfileString(L"Texts", L"Empty", L"default"), L"");
  EXPECT_EQ(app.GetProfileString(L"Texts", L"Missing", L"default"), L"default");
  // A value of another type is not the text asked for.
  EXPECT_EQ(app.GetProfileString(L"Numbers", L"Negative", L"default"), L"default");
  EXPECT_EQ(app.GetProfileInt(L"Texts", L"Name", 3), 3u);

  LPBYTE pData = nullptr;
  UINT nBytes = 0;
  ASSERT_TRUE(app.GetProfileBinary(L"Layout", L"Bar0", &pData, &nBytes));
  EXPECT_EQ(std::vector<BYTE>(pData, pData + nBytes), std::vector<BYTE>(blob, blob + sizeof(blob)));
  delete[] pData;
  EXPECT_FALSE(app.GetProfileBinary(L"Layout", L"Missing", &pData, &nBytes));
  EXPECT_EQ(pData, nullptr);

  // Where the values live.
  const std::wstring appKey = L"Software\\" + CompanyKey() + L"\\ProfileApp";
  EXPECT_EQ(ReadRawString((appKey + L"\\Texts").c_str(), L"Name"), L"Grüße, Notes");

  // Deleting an entry, then a whole section.
  EXPECT_TRUE(app.WriteProfileString(L"Texts", L"Name", nullptr));
  EXPECT_EQ(app.GetProfileString(L"Texts", L"Name", L"gone"), L"gone");
  EXPECT_TRUE(app.WriteProfileString(L"Layout", nullptr, nullptr));
  HKEY hKey = nullptr;
  EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, (appKey + L"\\Layout").c_str(), 0, KEY_READ, &hKey), ERROR_SUCCESS);
}

TEST_F(Profile, TextWithoutTerminatorIsReadWhole) {
  CTestApp app;
  app.SetRegistryKey(CompanyKey().c_str());
  HKEY hSection = app.GetSectionKey(L"Raw");
  ASSERT_NE(hSection, nullptr);
  const wchar_t text[] = {L'a', L'b', L'c'};  // stored without a NUL
  ASSERT_EQ(::RegSetValueExW(hSection, L"NoNul", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text)),
            ERROR_SUCCESS);
  ::RegCloseKey(hSection);
  EXPECT_EQ(app.GetProfileString(L"Raw", L"NoNul"), L"abc");
}

TEST_F(Profile, IniFileModeBeforeSetRegistryKey) {
  wchar_t dir[MAX_PATH];
  ::GetTempPathW(MAX_PATH, dir);
  const std::wstring ini = std::wstring(dir) + CompanyKey() + L".ini";
  ::DeleteFileW(ini.c_str());
  CTestApp app;
  app.m_pszProfileName = ini.c_str();
  EXPECT_TRUE(app.WriteProfileInt(L"S", L"N", 1234));
  EXPECT_TRUE(app.WriteProfileString(L"S", L"T", L"text"));
  BYTE blob[] = {0xAB, 0x00, 0x01};
  EXPECT_TRUE(app.WriteProfileBinary(L"S", L"B", blob, sizeof(blob)));
  EXPECT_EQ(app.GetProfileInt(L"S", L"N", 0), 1234u);
  EXPECT_EQ(app.GetProfileString(L"S", L"T"), L"text");
  LPBYTE pData = nullptr;
  UINT nBytes = 0;
  ASSERT_TRUE(app.GetProfileBinary(L"S", L"B", &pData, &nBytes));
  EXPECT_EQ(std::vector<BYTE>(pData, pData + nBytes), std::vector<BYTE>(blob, blob + sizeof(blob)));
  delete[] pData;
  // Damaged binary text is refused, not decoded into garbage.
  EXPECT_TRUE(app.WriteProfileString(L"S", L"Bad", L"ABZ"));
  EXPECT_FALSE(app.GetProfileBinary(L"S", L"Bad", &pData, &nBytes));
  app.m_pszProfileName = nullptr;
  ::DeleteFileW(ini.c_str());
}

// --------------------------------------------------------------------------------------
// Threads.

struct WorkerJob {
  HWND hWnd;
  CWnd* pExpected;
  std::atomic<bool> sawObject{false};
  std::atomic<int> started{0};
};

UINT AFX_CDECL UpdateWindowWorker(LPVOID pParam) {
  auto* job = static_cast<WorkerJob*>(pParam);
  ++job->started;
  CWnd* pWnd = CWnd::FromHandlePermanent(job->hWnd);
  job->sawObject = (pWnd == job->pExpected);
  if (pWnd != nullptr) pWnd->SetWindowText(L"set by worker");  // sent to the UI thread
  return 99;
}

TEST(Threads, WorkerUpdatesAWindowOfTheUiThread) {
  CWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"before", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  WorkerJob job{wnd.m_hWnd, &wnd};
  CWinThread* pThread = AfxBeginThread(UpdateWindowWorker, &job, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(pThread, nullptr);
  pThread->m_bAutoDelete = FALSE;  // keep the object (and its handle) to read the exit code
  ::Sleep(50);
  EXPECT_EQ(job.started, 0);  // created suspended
  EXPECT_NE(pThread->m_nThreadID, 0u);
  pThread->ResumeThread();
  ASSERT_TRUE(wndtest::WaitPumping(pThread->m_hThread));
  DWORD exitCode = 0;
  ::GetExitCodeThread(pThread->m_hThread, &exitCode);
  EXPECT_EQ(exitCode, 99u);
  EXPECT_TRUE(job.sawObject);
  CString text;
  wnd.GetWindowText(text);
  EXPECT_EQ(text, L"set by worker");
  delete pThread;
  wnd.DestroyWindow();
}

// What a thread's end-of-thread clean-ups did, in order, with the thread's own state then.
struct EndLog {
  std::mutex lock;
  std::vector<std::string> entries;
  void Add(const std::string& entry) {
    std::lock_guard<std::mutex> guard(lock);
    entries.push_back(entry);
  }
};

struct EndEntry {
  EndLog* log;
  std::string name;
  std::vector<int>* owned;  // a heap object only the clean-up frees
};

void LogAndFree(void* p) {
  auto* entry = static_cast<EndEntry*>(p);
  entry->log->Add(entry->name + ":" + std::to_string(entry->owned->size()));
  delete entry->owned;
  delete entry;
}

void RegisterLate(void* p) {
  auto* log = static_cast<EndLog*>(p);
  log->Add("late registrar");
  fwthread::AtThreadEnd(&LogAndFree, new EndEntry{log, "registered during clean-up", new std::vector<int>(3)});
}

void RegisterThreadEndWork(EndLog* log) {
  fwthread::AtThreadEnd(&RegisterLate, log);
  fwthread::AtThreadEnd(&LogAndFree, new EndEntry{log, "first", new std::vector<int>(1000, 7)});
  fwthread::AtThreadEnd(&LogAndFree, new EndEntry{log, "second", new std::vector<int>(2)});
}

unsigned __stdcall CrtThreadBody(void* p) {
  RegisterThreadEndWork(static_cast<EndLog*>(p));
  return 0;
}

UINT FrameworkWorkerBody(LPVOID p) {
  RegisterThreadEndWork(static_cast<EndLog*>(p));
  return 0;
}

// Objects a thread owns are freed when it ends, last registered first, whatever made the
// thread; a clean-up may register another. (Destructors of thread_local objects cannot do
// this job here: they run after the thread's thread_local storage was released.)
TEST(Threads, ThreadEndCleanUpsRunLastFirstForEveryKindOfThread) {
  const std::vector<std::string> expected = {"second:2", "first:1000", "late registrar",
                                             "registered during clean-up:3"};
  {
    EndLog log;
    std::thread([&log] { RegisterThreadEndWork(&log); }).join();
    EXPECT_EQ(log.entries, expected) << "std::thread";
  }
  {
    EndLog log;
    HANDLE hThread = reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &CrtThreadBody, &log, 0, nullptr));
    ASSERT_NE(hThread, nullptr);
    ASSERT_TRUE(wndtest::WaitPumping(hThread));
    ::CloseHandle(hThread);
    EXPECT_EQ(log.entries, expected) << "_beginthreadex";
  }
  {
    EndLog log;
    CWinThread* pThread = AfxBeginThread(FrameworkWorkerBody, &log, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(pThread, nullptr);
    pThread->m_bAutoDelete = FALSE;
    pThread->ResumeThread();
    ASSERT_TRUE(wndtest::WaitPumping(pThread->m_hThread));
    delete pThread;
    EXPECT_EQ(log.entries, expected) << "AfxBeginThread";
  }
}

const UINT WM_TEST_PING = WM_APP + 20;

// A user-interface thread: its own window, message loop, thread messages and idle time.
class CUiThread : public CWinThread {
  DECLARE_DYNCREATE(CUiThread)

 public:
  static HANDLE s_hReady;
  static HANDLE s_hPinged;
  static std::atomic<CUiThread*> s_pInstance;
  std::atomic<bool> threadWasCurrent{false};
  std::atomic<int> pings{0};
  std::atomic<int> tempsAfterIdle{-1};
  std::atomic<int> idleCalls{0};
  std::atomic<bool> madeTemp{false};

  BOOL InitInstance() override {
    m_bAutoDelete = FALSE;
    s_pInstance = this;
    threadWasCurrent = (AfxGetThread() == this);
    m_pOwnWnd = new CWnd;
    if (!m_pOwnWnd->CreateEx(0, nullptr, L"ui thread", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr)) return FALSE;
    m_pMainWnd = m_pOwnWnd;
    ::SetEvent(s_hReady);
    return TRUE;
  }
  int ExitInstance() override {
    // The main window is gone (its destruction ended the loop); its object is ours.
    mainWndCleared = (m_pMainWnd == nullptr);
    delete m_pOwnWnd;
    return 55;
  }
  CWnd* m_pOwnWnd = nullptr;
  std::atomic<bool> mainWndCleared{false};
  BOOL OnIdle(LONG lCount) override {
    ++idleCalls;
    const BOOL bMore = CWinThread::OnIdle(lCount);
    if (lCount >= 1 && madeTemp) tempsAfterIdle = AfxGetTempWndCount();
    return bMore;
  }

 protected:
  afx_msg void OnPing(WPARAM wParam, LPARAM) {
    pings += static_cast<int>(wParam);
    CWnd::FromHandle(::GetDesktopWindow());  // a temporary the idle pass must delete
    madeTemp = AfxGetTempWndCount() > 0;
    tempsAfterIdle = -1;
    ::SetEvent(s_hPinged);
  }
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CUiThread, CWinThread)
BEGIN_MESSAGE_MAP(CUiThread, CWinThread)
  ON_THREAD_MESSAGE(WM_TEST_PING, OnPing)
END_MESSAGE_MAP()
HANDLE CUiThread::s_hReady = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
HANDLE CUiThread::s_hPinged = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
std::atomic<CUiThread*> CUiThread::s_pInstance{nullptr};

TEST(Threads, UiThreadRunsItsLoopUntilItsMainWindowCloses) {
  CWinThread* pThread = AfxBeginThread(RUNTIME_CLASS(CUiThread));
  ASSERT_NE(pThread, nullptr);
  ASSERT_EQ(::WaitForSingleObject(CUiThread::s_hReady, 20000), WAIT_OBJECT_0);
  CUiThread* pUi = CUiThread::s_pInstance;
  ASSERT_EQ(pUi, pThread);
  EXPECT_TRUE(pUi->threadWasCurrent);
  EXPECT_TRUE(pUi->PostThreadMessage(WM_TEST_PING, 3, 0));
  ASSERT_EQ(::WaitForSingleObject(CUiThread::s_hPinged, 20000), WAIT_OBJECT_0);
  EXPECT_EQ(pUi->pings, 3);
  // After the message the loop goes idle again and drops the temporary wrapper.
  for (int i = 0; i < 100 && pUi->tempsAfterIdle != 0; ++i) ::Sleep(20);
  EXPECT_TRUE(pUi->madeTemp);
  EXPECT_EQ(pUi->tempsAfterIdle, 0);
  EXPECT_GT(pUi->idleCalls, 0);

  // Closing the thread's main window ends its message loop; ExitInstance gives the code.
  ::PostMessageW(pUi->m_pOwnWnd->m_hWnd, WM_CLOSE, 0, 0);
  ASSERT_EQ(::WaitForSingleObject(pUi->m_hThread, 20000), WAIT_OBJECT_0);
  DWORD exitCode = 0;
  ::GetExitCodeThread(pUi->m_hThread, &exitCode);
  EXPECT_EQ(exitCode, 55u);
  EXPECT_TRUE(pUi->mainWndCleared);
  delete pUi;
}

TEST(Threads, BadThreadClassIsRefusedWithAnException) {
  bool thrown = false;
  try {
    AfxBeginThread(RUNTIME_CLASS(CWnd));
  } catch (CException* e) {
    thrown = e->IsKindOf(RUNTIME_CLASS(CInvalidArgException));
    e->Delete();
  }
  EXPECT_TRUE(thrown);
}

// A thread without a main window (a test, or a modal loop before the first frame): its
// messages still reach their own windows' PreTranslateMessage, and other messages pass.
class CKeyTakingWnd : public CWnd {
 public:
  int nSeen = 0;
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->message != WM_KEYDOWN) return FALSE;
    nSeen++;
    return TRUE;
  }
};

TEST(Threads, MessagesReachTheirWindowsWithoutAMainWindow) {
  CTestApp app;
  ASSERT_EQ(AfxGetMainWnd(), nullptr);
  CKeyTakingWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, L"keys", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
  HWND hPlain = ::CreateWindowExW(0, L"STATIC", L"plain", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hPlain, nullptr);
  struct Case {
    HWND hWnd;
    UINT message;
    BOOL bTaken;
  };
  const Case cases[] = {{wnd.m_hWnd, WM_KEYDOWN, TRUE}, {wnd.m_hWnd, WM_CHAR, FALSE}, {hPlain, WM_KEYDOWN, FALSE}};
  for (const Case& c : cases) {
    MSG msg = {c.hWnd, c.message, 'A', 0};
    EXPECT_EQ(app.PreTranslateMessage(&msg), c.bTaken) << c.message;
  }
  EXPECT_EQ(wnd.nSeen, 1);
  ::DestroyWindow(hPlain);
  wnd.DestroyWindow();
}

}  // namespace
