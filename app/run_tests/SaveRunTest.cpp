// The save page's run under the X display: a page window with real buttons, real progress
// bars and a real file list; the save worker over a 20,000-contact book; Stop clicked with
// real input while the items are being saved, its question answered No and Yes; the end
// messages read from their boxes; a save cancelled and joined as when the program closes.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "MainFrame.h"
#include "SaveRun.h"
#include "TextProgressCtrl.h"
#include "resource.h"
#include "UiDriver.h"
#include "test_picture.h"
#include "test_pump.h"
#include "test_window.h"

namespace {

using testsupport::PumpFor;
using testsupport::PumpUntil;

CString Book() {
  CString path = CString(L"Z:") + CString(WIZARD_RUN_BOOK);
  path.Replace(L'/', L'\\');
  return path;
}

CString Fixture(const wchar_t* name) {
  CString path = CString(L"Z:") + CString(VORLIX_SOURCE_DIR) + L"/tests/fixtures/notes/" + name;
  path.Replace(L'/', L'\\');
  return path;
}

std::wstring TempDir() {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  std::wstring dir = std::wstring(temp) + L"vorlix_save_run_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                     std::to_wstring(::GetTickCount());
  ::CreateDirectoryW(dir.c_str(), nullptr);
  return dir;
}


// Closes "Saving Complete" whenever it shows (it is no message box), counting how often,
// and keeps a picture of the first.
class CCompleteCloser {
 public:
  CCompleteCloser() : m_thread([this] { Run(); }) {}
  ~CCompleteCloser() {
    m_stop = true;
    m_thread.join();
  }
  int Count() const { return m_count; }

 private:
  void Run() {
    while (!m_stop) {
      ::Sleep(30);
      HWND h = uidriver::FindDialog(::GetCurrentProcessId(), L"Vorlix");
      if (!h || !::GetDlgItem(h, IDC_SAVE_COMPLETE_TEXT) || ::GetDlgItem(h, 0xFFFF)) continue;
      ::Sleep(150);
      if (m_count == 0) {
        testsupport::CSnapshot shot(h, testsupport::WindowArea::Whole);
        shot.SavePng(testsupport::ArtifactPath(L"wizard\\save_run_complete_dialog.png"));
      }
      ++m_count;
      uidriver::Click(::GetDlgItem(h, IDOK));
      for (int i = 0; i < 200 && ::IsWindow(h); ++i) ::Sleep(20);
    }
  }
  std::atomic<bool> m_stop{false};
  std::atomic<int> m_count{0};
  std::thread m_thread;
};

// The page: the four buttons, the bars, the status line and the file list.
class CTestPage : public CWnd, public ISaveRunSite {
 public:
  CSaveRun* m_pRun = nullptr;
  CButton next, back, exit, stop;
  CTextProgressCtrl overall, item, sub;
  CStatic status;
  CListCtrl files;
  int step = 2;

  BOOL Make() {
    if (!testsupport::CreateTestWindow(*this, CRect(10, 10, 910, 610), L"save page")) return FALSE;
    const DWORD btn = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
    next.Create(L"Next", btn, CRect(780, 560, 880, 590), this, 1);
    back.Create(L"Back", btn, CRect(660, 560, 760, 590), this, 2);
    exit.Create(L"Exit", btn, CRect(540, 560, 640, 590), this, 3);
    stop.Create(L"Stop", btn, CRect(780, 560, 880, 590), this, 4);
    files.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(250, 20, 880, 180), this, 5);
    const wchar_t* columns[] = {L"File Name", L"Status", L"Server", L"Saved File Location"};
    const int widths[] = {300, 200, 200, 200};
    for (int i = 0; i < 4; ++i) files.InsertColumn(i, columns[i], LVCFMT_LEFT, widths[i]);
    status.Create(L"", WS_CHILD | WS_VISIBLE, CRect(250, 220, 880, 260), this, 6);
    CTextProgressCtrl* bars[] = {&item, &sub, &overall};
    for (int i = 0; i < 3; ++i) {
      bars[i]->Create(WS_CHILD | WS_VISIBLE | 1, CRect(250, 280 + 40 * i, 880, 300 + 40 * i), this, 7 + i);
      bars[i]->SetRange(0, 100);
    }
    return TRUE;
  }
  void ShowNextButton(BOOL b) override { next.ShowWindow(b ? SW_SHOW : SW_HIDE); }
  void ShowBackButton(BOOL b) override { back.ShowWindow(b ? SW_SHOW : SW_HIDE); }
  void ShowExitButton(BOOL b) override { exit.ShowWindow(b ? SW_SHOW : SW_HIDE); }
  void ShowStopButton(BOOL b) override { stop.ShowWindow(b ? SW_SHOW : SW_HIDE); }
  void SetCurrentStep(int n) override { step = n; }
  CWnd* GetPageWnd() override { return this; }

 protected:
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
    if (LOWORD(wParam) == 4 && HIWORD(wParam) == BN_CLICKED && m_pRun) {
      m_pRun->Stop();
      return TRUE;
    }
    return CWnd::OnCommand(wParam, lParam);
  }
};

class SaveRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(frame.m_Reader.InitSession());
    ASSERT_TRUE(page.Make());
    CSaveRun::Windows w;
    w.pOverall = &page.overall;
    w.pItem = &page.item;
    w.pSub = &page.sub;
    w.pStatus = &page.status;
    w.pFiles = &page.files;
    run = std::make_unique<CSaveRun>(&page, w);
    page.m_pRun = run.get();
    dir = TempDir();
  }
  void TearDown() override {
    run.reset();
    page.DestroyWindow();
    frame.m_Reader.Close();
  }
  // One folder of a book to a CSV file.
  void OneBookToCsv(const CString& book, const std::wstring& name, const wchar_t* folder = L"My Contacts\\") {
    frame.m_nSourceMode = CMainFrame::kSourceOneFile;
    frame.m_strCurrentPath = book;
    CStringArray folders;
    ASSERT_TRUE(frame.EnumerateFolders(&folders, 1)) << frame.GetLastError().GetString();
    frame.m_arrChosenFolders.RemoveAll();
    frame.m_arrChosenFolders.Add(folder);
    frame.m_nOutputKind = CMainFrame::kOutputCsv;
    frame.m_strCsvPath = (dir + L"\\" + name).c_str();
  }
  // Every contact of the big book ("($People)", 20,000) to a new or an existing PST file.
  void BookToPst(const CString& book, const wchar_t* folder, const std::wstring& name, int nMode) {
    OneBookToCsv(book, L"unused.csv", folder);
    frame.m_nOutputKind = CMainFrame::kOutputPst;
    frame.m_nPstMode = nMode;
    frame.m_strPstPath = (dir + L"\\" + name).c_str();
  }
  std::wstring Status() {
    CString text;
    page.status.GetWindowText(text);
    return text.GetString();
  }
  bool WaitEnded(DWORD ms = 120000) { return PumpUntil([&] { return !run->IsRunning(); }, ms); }
  // Clicks Stop once the items are being saved.
  void ClickStopWhileSaving() {
    ASSERT_TRUE(PumpUntil([&] { return page.item.GetPos() >= 2 || !run->IsRunning(); }, 60000));
    ASSERT_TRUE(run->IsRunning()) << "the save ended before Stop could be clicked";
    ASSERT_LT(page.item.GetPos(), 60) << "too late for a Stop to show";
    EXPECT_TRUE(page.stop.IsWindowVisible());
    EXPECT_FALSE(page.next.IsWindowVisible());
    EXPECT_FALSE(page.back.IsWindowVisible());
    EXPECT_FALSE(page.exit.IsWindowVisible());
    testsupport::CSnapshot shot(page.GetSafeHwnd(), testsupport::WindowArea::Client);
    shot.SavePng(testsupport::ArtifactPath(L"wizard\\save_run_during.png"));
    uidriver::Click(page.stop.GetSafeHwnd());
  }

  CMainFrame frame;
  CTestPage page;
  std::unique_ptr<CSaveRun> run;
  std::wstring dir;
};

TEST_F(SaveRun, StopAnsweredNoFinishesNormally) {
  BookToPst(Book(), L"($People)\\", L"no.pst", CMainFrame::kPstNew);
  CCompleteCloser complete;
  uidriver::CMessageBoxAnswerer answers;
  answers.Queue(L"&No", L"wizard\\stop_question.png");
  ASSERT_TRUE(run->Start(&frame));
  ClickStopWhileSaving();
  ASSERT_TRUE(WaitEnded());
  // The answerer counts a box once it has gone.
  PumpUntil([&] { return answers.Texts().size() >= 1u; }, 5000);
  ASSERT_EQ(answers.Texts().size(), 1u);
  EXPECT_EQ(answers.Texts()[0], L"Are you sure you want to stop the saving process ?");
  EXPECT_EQ(complete.Count(), 1) << "the save went on to its end";
  EXPECT_FALSE(run->WasAborted());
  EXPECT_TRUE(run->Succeeded()) << frame.GetLastError().GetString();
  EXPECT_EQ(Status(), CSaveRun::kCompleteStatus);
  CString itemText;
  page.item.GetWindowText(itemText);
  EXPECT_STREQ(itemText.GetString(), L"Saving Item 20000 of 20000 ...");
  EXPECT_TRUE(page.next.IsWindowVisible());
  EXPECT_TRUE(page.back.IsWindowVisible());
  EXPECT_TRUE(page.exit.IsWindowVisible());
  EXPECT_FALSE(page.stop.IsWindowVisible());
  EXPECT_EQ(page.step, CSaveRun::kAllStepsDone);
  EXPECT_FALSE(frame.m_Reader.m_bCancel) << "the flags are clear for the next run";
  EXPECT_EQ(frame.m_pPstWriter, nullptr);
}

TEST_F(SaveRun, StopAnsweredYesAbortsAndASecondSaveWorks) {
  BookToPst(Book(), L"($People)\\", L"yes.pst", CMainFrame::kPstNew);
  CCompleteCloser complete;
  uidriver::CMessageBoxAnswerer answers;
  answers.Queue(L"&Yes");
  answers.Queue(L"OK", L"wizard\\save_aborted_message.png");
  ASSERT_TRUE(run->Start(&frame));
  ClickStopWhileSaving();
  ASSERT_TRUE(WaitEnded());
  // The answerer counts a box once it has gone.
  PumpUntil([&] { return answers.Texts().size() >= 2u; }, 5000);
  ASSERT_EQ(answers.Texts().size(), 2u);
  EXPECT_EQ(answers.Texts()[1],
            L"Process aborted by user , \r\nClick Next button to convert another file or click Exit button to close the "
            L"software");
  EXPECT_EQ(complete.Count(), 0);
  EXPECT_TRUE(run->WasAborted());
  EXPECT_EQ(Status(), CSaveRun::kAbortedStatus);
  CString itemText;
  page.item.GetWindowText(itemText);
  EXPECT_STRNE(itemText.GetString(), L"Saving Item 20000 of 20000 ...") << "stopped before the end";
  {
    testsupport::CSnapshot shot(page.GetSafeHwnd(), testsupport::WindowArea::Client);
    shot.SavePng(testsupport::ArtifactPath(L"wizard\\save_run_aborted.png"));
  }
  EXPECT_FALSE(frame.m_Reader.m_bCancel);
  EXPECT_EQ(frame.m_pPstWriter, nullptr) << "the stopped store was saved and closed";

  // The program stays usable: a second save adds a small book to the stopped file, which
  // opens as an existing PST.
  BookToPst(Fixture(L"names.nsf"), L"Friends\\", L"yes.pst", CMainFrame::kPstExisting);
  ASSERT_TRUE(run->Start(&frame));
  ASSERT_TRUE(WaitEnded());
  EXPECT_EQ(complete.Count(), 1);
  EXPECT_TRUE(run->Succeeded()) << frame.GetLastError().GetString();
  EXPECT_EQ(Status(), CSaveRun::kCompleteStatus);
}

TEST_F(SaveRun, ClosingCancelsAndJoinsWithinSecondsWithoutMessages) {
  BookToPst(Book(), L"($People)\\", L"closing.pst", CMainFrame::kPstNew);
  ASSERT_TRUE(run->Start(&frame));
  ASSERT_TRUE(PumpUntil([&] { return page.item.GetPos() >= 2 || !run->IsRunning(); }, 60000));
  ASSERT_TRUE(run->IsRunning());
  const DWORD start = ::GetTickCount();
  run->CancelAndJoin();
  EXPECT_FALSE(run->IsRunning());
  EXPECT_LT(::GetTickCount() - start, 5000u);
  EXPECT_EQ(uidriver::FindDialog(::GetCurrentProcessId(), L""), nullptr) << "no end message while closing";
  EXPECT_EQ(run->GetRunner().GetExitCode(), 1u) << "the worker ended by itself";
  EXPECT_EQ(frame.m_pPstWriter, nullptr);
}

TEST_F(SaveRun, FailedSaveSaysWhyAndKeepsTheRows) {
  // Several files: a damaged book and a file that is no database at all.
  frame.m_nSourceMode = CMainFrame::kSourceSeveralFiles;
  frame.m_arrSourceFiles.Add(Fixture(L"damaged.nsf"));
  frame.m_arrSourceServers.Add(L"");
  frame.m_arrSourceFiles.Add(Fixture(L"not-a-database.nsf"));
  frame.m_arrSourceServers.Add(L"");
  uidriver::CMessageBoxAnswerer answers;
  answers.Queue(L"OK", L"wizard\\save_failed_message.png");
  ASSERT_TRUE(run->Start(&frame));
  ASSERT_TRUE(WaitEnded());
  // The answerer counts a box once it has gone.
  PumpUntil([&] { return answers.Texts().size() >= 1u; }, 5000);
  ASSERT_EQ(answers.Texts().size(), 1u);
  const std::wstring box = answers.Texts()[0];
  // Not the target's failure: the books could not be read, and the message says so.
  EXPECT_EQ(box, std::wstring(CSaveRun::FailedMessageText(FALSE, frame.GetLastError()).GetString()));
  EXPECT_EQ(box.rfind(L"Saving failed , \r\n", 0), 0u) << box;
  EXPECT_NE(box.find(L"File is not a Notes database"), std::wstring::npos) << "the reason is in the message";
  EXPECT_TRUE(page.files.IsWindowVisible()) << "the rows say what became of each file";
  EXPECT_EQ(std::wstring(page.files.GetItemText(0, 1)).rfind(L"Failed : ", 0), 0u);
  EXPECT_EQ(std::wstring(page.files.GetItemText(1, 1)).rfind(L"Failed : ", 0), 0u);
  EXPECT_EQ(Status(), L"Saving failed : File is not a Notes database");
  testsupport::CSnapshot shot(page.GetSafeHwnd(), testsupport::WindowArea::Client);
  shot.SavePng(testsupport::ArtifactPath(L"wizard\\save_run_failed_rows.png"));
}

}  // namespace

namespace {

TEST_F(SaveRun, TargetPstThatCannotBeMadeGivesTheOutlookTextWithTheReason) {
  // A new PST in a folder that does not exist.
  BookToPst(Fixture(L"names.nsf"), L"Friends\\", L"missing\\x.pst", CMainFrame::kPstNew);
  uidriver::CMessageBoxAnswerer answers;
  answers.Queue(L"OK", L"wizard\\save_target_failed_message.png");
  ASSERT_TRUE(run->Start(&frame));
  ASSERT_TRUE(WaitEnded());
  // The answerer counts a box once it has gone.
  PumpUntil([&] { return answers.Texts().size() >= 1u; }, 5000);
  ASSERT_EQ(answers.Texts().size(), 1u);
  const std::wstring box = answers.Texts()[0];
  EXPECT_EQ(box.rfind(L"Outlook is not installed or no profile exist , \r\n", 0), 0u) << box;
  EXPECT_NE(box.find(L"missing\\x.pst"), std::wstring::npos) << box;
  EXPECT_EQ(Status().rfind(L"Outlook is not installed or no profile exist : ", 0), 0u);
  EXPECT_FALSE(page.files.IsWindowVisible()) << "one file: no file list";
  EXPECT_EQ(frame.m_pPstWriter, nullptr) << "the failed writer is gone with the worker";
}

}  // namespace
