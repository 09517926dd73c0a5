// The frame's save loop on a real worker (the program's runner, with its own Notes thread
// and OLE), over the fixture address books into real text files, workbooks and PST files.
// The file list, status text and overall bar are real windows of this (interface) thread;
// "Save Options" is answered with real input for each file of the several-files mode.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "MainFrame.h"
#include "ExcelDriver.h"
#include "PstWriter.h"
#include "UiDriver.h"
#include "WorkerRunner.h"
#include "resource.h"
#include "test_pump.h"
#include "test_window.h"

namespace {

using testsupport::PumpFor;

CString Fixture(const wchar_t* name) {
  CString path = CString(L"Z:") + CString(VORLIX_SOURCE_DIR) + L"/tests/fixtures/notes/" + name;
  path.Replace(L'/', L'\\');
  return path;
}

std::wstring TempDir() {
  wchar_t temp[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, temp);
  std::wstring dir = std::wstring(temp) + L"vorlix_save_loop_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
                     std::to_wstring(::GetTickCount());
  ::CreateDirectoryW(dir.c_str(), nullptr);
  return dir;
}

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A text file the writer made (UTF-16, as it writes them), as wide text.
std::wstring ReadText(const std::wstring& path) {
  const std::string bytes = ReadAll(path);
  std::wstring text(bytes.size() / 2, L'\0');
  memcpy(text.data(), bytes.data(), text.size() * 2);
  if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
  return text;
}

int CountOf(const std::wstring& text, const std::wstring& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + 1)) ++n;
  return n;
}


bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// What a user does in one "Save Options" dialog.
struct DialogAnswer {
  int kind;  // IDC_SAVE_KIND_* radio; 0: Cancel
  std::wstring folder;
  std::wstring name;
  bool single = false;
};

class SaveLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(frame.m_Reader.InitSession()) << frame.m_Reader.GetLastError().GetString();
    ASSERT_TRUE(testsupport::CreateTestWindow(page, CRect(20, 20, 820, 520), L"save page")) << ::GetLastError();
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(10, 10, 790, 300), &page, 1));
    const wchar_t* columns[] = {L"File Name", L"Status", L"Server", L"Saved File Location"};
    for (int i = 0; i < 4; ++i) list.InsertColumn(i, columns[i], LVCFMT_LEFT, 190);
    ASSERT_TRUE(status.Create(L"", WS_CHILD | WS_VISIBLE, CRect(10, 310, 790, 330), &page, 2));
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, CRect(10, 340, 790, 360), &page, 3));
    bar.SetRange(0, 100);
    runner.SetAbortCallback([this](int n) { frame.SetAbortFlags(n); });
    // Workbooks go through the program's own Excel driver, as in the program.
    RegisterExcelDriver();
    dir = TempDir();
  }
  void TearDown() override {
    page.DestroyWindow();
    frame.m_Reader.Close();
  }
  void AddSource(const CString& path, const CString& server = L"") {
    frame.m_arrSourceFiles.Add(path);
    frame.m_arrSourceServers.Add(server);
    const int row = list.InsertItem(list.GetItemCount(), path);
    list.SetItemText(row, 1, L"Pending...");
    list.SetItemText(row, 2, server);
  }
  // Runs the loop on the worker as the save page does; answers each dialog in turn.
  BOOL RunSave(const std::vector<DialogAnswer>& answers = {}) {
    std::atomic<int> dialogs{0};
    std::atomic<bool> done{false};
    std::thread user([&] {
      const DWORD pid = ::GetCurrentProcessId();
      size_t next = 0;
      while (!done) {
        HWND hDlg = uidriver::FindDialog(pid, L"Save Options");
        if (!hDlg) {
          ::Sleep(20);
          continue;
        }
        ++dialogs;
        std::wstring trace;
        // Let the dialog finish showing and take the focus before typing into it.
        for (int i = 0; i < 50 && ::GetForegroundWindow() != hDlg; ++i) ::Sleep(20);
        ::Sleep(200);
        if (next >= answers.size() || answers[next].kind == 0) {
          uidriver::ClickUntil(::GetDlgItem(hDlg, IDCANCEL), [&] { return !::IsWindow(hDlg); }, 3);
        } else {
          const DialogAnswer& a = answers[next];
          const DWORD uiThread = ::GetWindowThreadProcessId(hDlg, nullptr);
          auto focused = [uiThread](HWND hEdit) {
            return [uiThread, hEdit] {
              GUITHREADINFO info = {sizeof(info)};
              return ::GetGUIThreadInfo(uiThread, &info) && info.hwndFocus == hEdit;
            };
          };
          // Keys go to whichever edit has the focus: each edit is typed only once it has it,
          // and both are checked again afterwards in case a stray key reached the other.
          auto type = [&](const std::vector<std::pair<int, std::wstring>>& fields) {
            for (int round = 0; round < 5; ++round) {
              bool all = true;
              for (const auto& [nID, text] : fields) {
                HWND hEdit = ::GetDlgItem(hDlg, nID);
                if (uidriver::WindowText(hEdit) == text) continue;
                all = false;
                if (!uidriver::ClickUntil(hEdit, focused(hEdit))) {
                  trace += L"\n the edit's click was taken by " + uidriver::WhatCovers(hEdit);
                  continue;
                }
                ::SendMessageW(hEdit, EM_SETSEL, 0, -1);
                uidriver::TypeText(text);
                // Keys arrive slowly under load: wait until the text is right or stops changing
                // for a second, so the next round does not type over keys still on their way.
                std::wstring last;
                for (int i = 0, still = 0; i < 500 && still < 50; ++i, ::Sleep(20)) {
                  const std::wstring now = uidriver::WindowText(hEdit);
                  if (now == text) break;
                  still = now == last ? still + 1 : 0;
                  last = now;
                }
              }
              if (all) return;
            }
          };
          auto checked = [&](int nID) {
            HWND hButton = ::GetDlgItem(hDlg, nID);
            return [hButton] { return ::SendMessageW(hButton, BM_GETCHECK, 0, 0) == BST_CHECKED; };
          };
          const bool kindOk = uidriver::ClickUntil(::GetDlgItem(hDlg, a.kind), checked(a.kind));
          if (!kindOk) trace += L"\n the kind's click was taken by " + uidriver::WhatCovers(::GetDlgItem(hDlg, a.kind));
          const int folderId = a.kind == IDC_SAVE_KIND_PST     ? IDC_SAVE_PST_FOLDER
                               : a.kind == IDC_SAVE_KIND_EXCEL ? IDC_SAVE_EXCEL_FOLDER
                                                               : IDC_SAVE_CSV_FOLDER;
          type({{folderId, a.folder}, {folderId + 1, a.name}});
          if (a.single) uidriver::ClickUntil(::GetDlgItem(hDlg, IDC_SAVE_SINGLE_TARGET), checked(IDC_SAVE_SINGLE_TARGET));
          // OK again when the click went astray: the dialog neither closed nor complained.
          uidriver::ClickUntil(::GetDlgItem(hDlg, IDOK), [&] {
            return !::IsWindow(hDlg) || uidriver::FindDialog(pid, L"", {hDlg}) != nullptr;
          }, 3);
        }
        ++next;
        for (int i = 0; i < 150 && ::IsWindow(hDlg); ++i) ::Sleep(20);
        if (::IsWindow(hDlg)) {
          // Refused: keep the message for the test to show, close it and the dialog.
          if (HWND hBox = uidriver::FindDialog(pid, L"", {hDlg})) {
            // With what the edits held, to tell a wrong answer from keys that went astray.
            std::wstring fields;
            for (int nID : {IDC_SAVE_PST_FOLDER, IDC_SAVE_PST_NAME, IDC_SAVE_EXCEL_FOLDER, IDC_SAVE_EXCEL_NAME,
                            IDC_SAVE_CSV_FOLDER, IDC_SAVE_CSV_NAME})
              fields += L" [" + uidriver::WindowText(::GetDlgItem(hDlg, nID)) + L"]";
            refusals.push_back(uidriver::MessageBoxText(hBox) + fields + trace);
            uidriver::ClickUntil(uidriver::FindButton(hBox, L"OK"), [&] { return !::IsWindow(hBox); }, 3);
          }
          uidriver::ClickUntil(::GetDlgItem(hDlg, IDCANCEL), [&] { return !::IsWindow(hDlg); }, 3);
          for (int i = 0; i < 150 && ::IsWindow(hDlg); ++i) ::Sleep(20);
        }
      }
    });
    BOOL bResult = FALSE;
    threadId = 0;
    EXPECT_TRUE(runner.Start(
        [&](CWorkerContext& context) -> UINT {
          threadId = ::GetCurrentThreadId();
          frame.m_pRunContext = &context;
          bResult = frame.SaveAllFiles(&list, &status, &bar);
          frame.m_pRunContext = nullptr;
          return 1;
        },
        CWorkerRunner::kNotesThread | CWorkerRunner::kOle));
    runner.Join();
    done = true;
    user.join();
    dialogCount = dialogs;
    for (const std::wstring& text : refusals) ADD_FAILURE() << "Save Options refused the input: " << std::string(text.begin(), text.end());
    return bResult;
  }
  std::wstring Row(int row, int column) { return std::wstring(list.GetItemText(row, column).GetString()); }
  std::wstring StatusText() {
    CString text;
    status.GetWindowText(text);
    return std::wstring(text.GetString());
  }

  CMainFrame frame;
  CWorkerRunner runner;
  CWnd page;
  CListCtrl list;
  CStatic status;
  CProgressCtrl bar;
  std::wstring dir;
  DWORD threadId = 0;
  int dialogCount = 0;
  std::vector<std::wstring> refusals;
};

TEST_F(SaveLoop, OneFileToCsvWritesEveryChosenFolderIntoOneFile) {
  frame.m_nSourceMode = CMainFrame::kSourceOneFile;
  frame.m_strCurrentPath = Fixture(L"names.nsf");
  frame.m_arrChosenFolders.Add(L"Friends\\");
  frame.m_arrChosenFolders.Add(L"Work\\Clients\\");
  frame.m_nOutputKind = CMainFrame::kOutputCsv;
  frame.m_strCsvPath = (dir + L"\\friends.csv").c_str();
  // The loop scans nothing in this mode: the reader has the database open already.
  CStringArray scanned;
  ASSERT_TRUE(frame.EnumerateFolders(&scanned, 1));
  EXPECT_TRUE(RunSave());
  EXPECT_NE(threadId, ::GetCurrentThreadId());
  EXPECT_EQ(StatusText(), L"Saving File...");
  EXPECT_EQ(dialogCount, 0);
  const std::wstring csv = ReadText(dir + L"\\friends.csv");
  // Alice's first name is in its own column; her full name holds it as well.
  EXPECT_EQ(CountOf(csv, L"\"Alice\""), 1);
  EXPECT_EQ(CountOf(csv, L"\"Builder\""), 1);
  EXPECT_EQ(CountOf(csv, L"\"M\u00FCller\""), 1) << "the Clients folder is in the same file";
}

TEST_F(SaveLoop, SeveralFilesOneDialogEachRowsAndOverallBar) {
  frame.m_nSourceMode = CMainFrame::kSourceSeveralFiles;
  AddSource(Fixture(L"names.nsf"));
  AddSource(Fixture(L"damaged.nsf"));
  AddSource(Fixture(L"sample-names.nsf"));
  AddSource(Fixture(L"names.nsf"));
  // File 1 to a CSV file, file 3's dialog cancelled, file 4 to a workbook. The damaged
  // book fails before any dialog.
  const BOOL bResult = RunSave({{IDC_SAVE_KIND_CSV, dir, L"first"},
                                {0},
                                {IDC_SAVE_KIND_EXCEL, dir, L"fourth"}});
  EXPECT_FALSE(bResult) << "one file failed";
  EXPECT_EQ(dialogCount, 3);
  EXPECT_EQ(Row(0, 1), L"Save Done...");
  EXPECT_EQ(Row(0, 3), dir + L"\\first.csv");
  EXPECT_EQ(Row(1, 1).rfind(L"Failed : ", 0), 0u) << Row(1, 1);
  EXPECT_GT(Row(1, 1).size(), std::wstring(L"Failed : ").size()) << "the row says why";
  EXPECT_EQ(Row(2, 1), L"cancelled by user...");
  EXPECT_EQ(Row(3, 1), L"Save Done...");
  EXPECT_EQ(Row(3, 3), dir + L"\\fourth.xls");
  EXPECT_EQ(bar.GetPos(), 100);
  EXPECT_TRUE(Exists(dir + L"\\first.csv"));
  EXPECT_TRUE(Exists(dir + L"\\fourth.xls"));
  EXPECT_EQ(frame.m_pPstWriter, nullptr);
}

TEST_F(SaveLoop, SingleTargetAsksOnceAndPutsEveryBookIntoOneFile) {
  frame.m_nSourceMode = CMainFrame::kSourceSeveralFiles;
  AddSource(Fixture(L"names.nsf"));
  AddSource(Fixture(L"names.nsf"));
  EXPECT_TRUE(RunSave({{IDC_SAVE_KIND_CSV, dir, L"all", true}}));
  EXPECT_EQ(dialogCount, 1) << "later files take the same target without a dialog";
  EXPECT_EQ(Row(0, 1), L"Save Done...");
  EXPECT_EQ(Row(1, 1), L"Save Done...");
  EXPECT_EQ(Row(1, 3), dir + L"\\all.csv");
  // The same book once, into a file of its own, for comparison.
  frame.m_nSourceMode = CMainFrame::kSourceOneFile;
  frame.m_nOutputKind = CMainFrame::kOutputCsv;
  frame.m_strCsvPath = (dir + L"\\once.csv").c_str();
  ASSERT_TRUE(RunSave());
  const int once = CountOf(ReadText(dir + L"\\once.csv"), L"\"Alice\"");
  ASSERT_GT(once, 0);
  EXPECT_EQ(CountOf(ReadText(dir + L"\\all.csv"), L"\"Alice\""), 2 * once) << "both books' rows in one file";
}

TEST_F(SaveLoop, OverallBarAfterEachFile) {
  // Two files: the bar is at 50 after the first and 100 after the second, never full early.
  frame.m_nSourceMode = CMainFrame::kSourceSeveralFiles;
  AddSource(Fixture(L"names.nsf"));
  AddSource(Fixture(L"names.nsf"));
  std::vector<int> positions;
  std::atomic<bool> watching{true};
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 5, nullptr);
  std::thread watcher([&] {
    int last = -1;
    while (watching) {
      DWORD_PTR pos = 0;
      if (::SendMessageTimeoutW(bar.GetSafeHwnd(), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 50, &pos) &&
          static_cast<int>(pos) != last)
        positions.push_back(last = static_cast<int>(pos));
      ::Sleep(2);
    }
  });
  RunSave({{IDC_SAVE_KIND_CSV, dir, L"one"}, {IDC_SAVE_KIND_CSV, dir, L"two"}});
  watching = false;
  watcher.join();
  ::KillTimer(nullptr, timer);
  // The watcher can stop before it sees the last move: the loop returns straight after it.
  if (positions.empty() || positions.back() != bar.GetPos()) positions.push_back(bar.GetPos());
  ASSERT_FALSE(positions.empty());
  EXPECT_EQ(positions.back(), 100);
  for (size_t i = 0; i + 1 < positions.size(); ++i) EXPECT_LE(positions[i], 50) << "full only after the last file";
}

TEST_F(SaveLoop, StopBeforeTheNextFileLeavesTheRestCancelled) {
  frame.m_nSourceMode = CMainFrame::kSourceSeveralFiles;
  AddSource(Fixture(L"names.nsf"));
  AddSource(Fixture(L"names.nsf"));
  AddSource(Fixture(L"names.nsf"));
  // The user stops while the first file's dialog is open, then confirms it.
  std::thread stopper([&] {
    for (int i = 0; i < 500 && !uidriver::FindDialog(::GetCurrentProcessId(), L"Save Options"); ++i) ::Sleep(20);
    frame.SetAbortFlags(1);
  });
  const BOOL bResult = RunSave({{IDC_SAVE_KIND_CSV, dir, L"stopped"}});
  stopper.join();
  EXPECT_FALSE(bResult);
  EXPECT_EQ(dialogCount, 1);
  EXPECT_EQ(Row(0, 1), L"cancelled by user...");
  EXPECT_EQ(Row(1, 1), L"cancelled by user...");
  EXPECT_EQ(Row(2, 1), L"cancelled by user...");
}

TEST_F(SaveLoop, NewPstIsWrittenAndTheWriterGoneWhenTheWorkerEnds) {
  frame.m_nSourceMode = CMainFrame::kSourceOneFile;
  frame.m_strCurrentPath = Fixture(L"names.nsf");
  CStringArray scanned;
  ASSERT_TRUE(frame.EnumerateFolders(&scanned, 1));
  frame.m_arrChosenFolders.Add(L"Friends\\");
  frame.m_nOutputKind = CMainFrame::kOutputPst;
  frame.m_nPstMode = CMainFrame::kPstNew;
  frame.m_strPstPath = (dir + L"\\friends.pst").c_str();
  EXPECT_TRUE(RunSave()) << frame.GetLastError().GetString();
  EXPECT_EQ(frame.m_pPstWriter, nullptr) << "the store is closed on the worker";
  EXPECT_TRUE(Exists(dir + L"\\friends.pst"));
  // The file is free again: nothing holds it open.
  HANDLE h = ::CreateFileW((dir + L"\\friends.pst").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  ::CloseHandle(h);
}

TEST_F(SaveLoop, ExistingPstLockedByAnotherFailsWithTheSystemsReason) {
  frame.m_nSourceMode = CMainFrame::kSourceOneFile;
  frame.m_strCurrentPath = Fixture(L"names.nsf");
  CStringArray scanned;
  ASSERT_TRUE(frame.EnumerateFolders(&scanned, 1));
  frame.m_arrChosenFolders.Add(L"Friends\\");
  // An existing PST made by the program, then held open without sharing.
  frame.m_nOutputKind = CMainFrame::kOutputPst;
  frame.m_nPstMode = CMainFrame::kPstNew;
  const std::wstring path = dir + L"\\locked.pst";
  frame.m_strPstPath = path.c_str();
  ASSERT_TRUE(RunSave()) << frame.GetLastError().GetString();
  const std::string before = ReadAll(path);
  HANDLE hLock = ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(hLock, INVALID_HANDLE_VALUE);
  frame.m_nPstMode = CMainFrame::kPstExisting;
  EXPECT_FALSE(RunSave());
  const std::wstring reason = frame.GetLastError().GetString();
  EXPECT_NE(reason.find(path), std::wstring::npos) << reason;
  EXPECT_EQ(frame.m_pPstWriter, nullptr);
  ::CloseHandle(hLock);
  EXPECT_EQ(ReadAll(path), before) << "the locked file is unchanged";
}

TEST_F(SaveLoop, PstTemplateThatCannotBeWrittenIsReportedAndLeavesNoFile) {
  // The target's folder does not exist: the blank PST cannot be laid down.
  const std::wstring path = dir + L"\\missing\\book.pst";
  EXPECT_FALSE(frame.WritePstTemplate(path.c_str(), CPstWriter::kTemplateUnicode));
  EXPECT_FALSE(Exists(path));
  const std::wstring reason = frame.GetLastError().GetString();
  EXPECT_EQ(reason.rfind(L"Unable to create " + path + L" : ", 0), 0u) << reason;
  // A resource the program does not carry.
  EXPECT_FALSE(frame.WritePstTemplate((dir + L"\\x.pst").c_str(), 4242));
  EXPECT_FALSE(Exists(dir + L"\\x.pst"));
  // And the whole template when it can.
  EXPECT_TRUE(frame.WritePstTemplate((dir + L"\\blank.pst").c_str(), CPstWriter::kTemplateUnicode));
  EXPECT_EQ(ReadAll(dir + L"\\blank.pst").size(), 271360u);
}

}  // namespace
