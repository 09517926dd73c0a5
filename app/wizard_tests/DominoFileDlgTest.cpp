// The Domino server file selection dialog on the Notes stand-in's simulated servers
// (C:\Notes\Data\servers of the test prefix: Mail01/Acme, Down01/Acme, Empty01/Acme),
// driven with real clicks and keys; message boxes answered by their text. Pictures of each
// state and message go to build/artifacts/wizard/.
#include <gtest/gtest.h>

#include <framework.h>

#include <string>
#include <vector>

#include "DominoFileDlg.h"
#include "MainFrame.h"
#include "UiDriver.h"
#include "resource.h"
#include "test_picture.h"
#include "test_pump.h"

namespace {

using testsupport::PumpUntil;

std::string Narrow(const CString& s) {
  std::string out;
  for (int i = 0; i < s.GetLength(); ++i) out += s[i] < 128 ? static_cast<char>(s[i]) : '?';
  return out;
}

// The page the dialog hands its files to.
struct RecordingPage : IDominoFileTarget {
  struct Call {
    CString server;
    std::vector<CString> paths;
  };
  std::vector<Call> calls;
  void AddDominoFiles(CString strServer, CStringArray& paths) override {
    Call c{strServer, {}};
    for (INT_PTR i = 0; i < paths.GetSize(); ++i) c.paths.push_back(paths[i]);
    calls.push_back(c);
  }
};

// A marker file of the server simulation, present for the life of the object.
class Marker {
 public:
  Marker(const std::wstring& path, const char* content = "") : m_path(path) {
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (h != INVALID_HANDLE_VALUE) {
      ::WriteFile(h, content, static_cast<DWORD>(strlen(content)), &written, nullptr);
      ::CloseHandle(h);
    }
  }
  ~Marker() { ::DeleteFileW(m_path.c_str()); }

 private:
  std::wstring m_path;
};

const wchar_t kServers[] = L"C:\\Notes\\Data\\servers";

void Shot(HWND hWnd, const wchar_t* name) {
  testsupport::PumpUntil([] { return false; }, 150);
  ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  testsupport::CSnapshot shot(hWnd, testsupport::WindowArea::Whole);
  EXPECT_TRUE(shot.SavePng(testsupport::ArtifactPath(std::wstring(L"wizard\\") + name)));
}

class DominoDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!m_frame.m_Reader.InitSession()) GTEST_SKIP() << "the Notes stand-in is not installed in this prefix";
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_ANIMATE_CLASS};
    ::InitCommonControlsEx(&icc);
    m_pDlg = new CDominoFileDlg(&m_page, &m_frame);
    ASSERT_TRUE(m_pDlg->Create(IDD_DOMINO_FILES, nullptr));
    m_pDlg->SetWindowPos(nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    m_pDlg->ShowWindow(SW_SHOW);
    m_pDlg->SetForegroundWindow();
    m_answers.reset(new uidriver::CMessageBoxAnswerer(::GetCurrentProcessId(), {m_pDlg->GetSafeHwnd()}));
    PumpUntil([] { return false; }, 200);
  }
  void TearDown() override {
    if (m_pDlg) {
      if (m_pDlg->GetSafeHwnd()) m_pDlg->DestroyWindow();
      delete m_pDlg;
    }
    m_answers.reset();
    m_frame.m_Reader.Close();
  }

  HWND Item(int id) { return ::GetDlgItem(m_pDlg->GetSafeHwnd(), id); }
  bool Visible(int id) { return ::IsWindowVisible(Item(id)) != FALSE; }
  bool Idle() {
    return !m_pDlg->IsWorking() && Visible(IDC_DOMINO_SEARCH) && !Visible(IDC_DOMINO_STOP) &&
           ::IsWindowEnabled(Item(IDC_DOMINO_SERVER_LIST));
  }
  std::vector<CString> Rows(int id) {
    std::vector<CString> rows;
    CListCtrl* pList = id == IDC_DOMINO_SERVER_LIST ? &m_pDlg->m_lstServers : &m_pDlg->m_lstFiles;
    for (int i = 0; i < pList->GetItemCount(); ++i) rows.push_back(pList->GetItemText(i, 0));
    return rows;
  }
  // Clicks the row of the server list that shows text.
  void ClickServer(const CString& text) {
    CListCtrl& list = m_pDlg->m_lstServers;
    for (int i = 0; i < list.GetItemCount(); ++i) {
      if (list.GetItemText(i, 0) != text) continue;
      CRect rc;
      list.GetItemRect(i, &rc, LVIR_LABEL);
      uidriver::Click(list.GetSafeHwnd(), POINT{rc.left + 10, rc.CenterPoint().y});
      return;
    }
    ADD_FAILURE() << "no server row " << Narrow(text);
  }
  void AddServerByHand(const wchar_t* name) {
    uidriver::Click(Item(IDC_DOMINO_SERVER_NAME));
    PumpUntil([&] { return ::GetFocus() == Item(IDC_DOMINO_SERVER_NAME); }, 2000);
    m_pDlg->m_edServer.SetWindowText(L"");
    uidriver::TypeText(name);
    PumpUntil([&] { return uidriver::WindowText(Item(IDC_DOMINO_SERVER_NAME)) == name; }, 3000);
    uidriver::Click(Item(IDC_DOMINO_ADD_SERVER));
  }
  // Both answers are queued before the click: a message the search ends with comes while
  // this thread is still inside the click.
  void SearchAnswering(const wchar_t* answer, const wchar_t* pszThen = nullptr, const wchar_t* pszThenPicture = L"") {
    const size_t before = m_answers->Count();
    m_answers->Queue(answer, L"wizard\\domino_box_search.png");
    if (pszThen) m_answers->Queue(pszThen, pszThenPicture);
    uidriver::Click(Item(IDC_DOMINO_SEARCH));
    ASSERT_TRUE(PumpUntil([&] { return m_answers->Count() > before; }, 10000));
    EXPECT_EQ(m_answers->Texts()[before],
              L"The enumeration of server information can take several minutes\r\n\r\nDo you want to enumerate the server now?");
  }
  // Lists a server and waits until the dialog is idle again.
  void ListServer(const CString& text) {
    m_pDlg->m_lstFiles.DeleteAllItems();
    ClickServer(text);
    ASSERT_TRUE(PumpUntil([&] { return Idle() && !Rows(IDC_DOMINO_FILE_LIST).empty(); }, 20000));
  }

  CMainFrame m_frame;
  RecordingPage m_page;
  CDominoFileDlg* m_pDlg = nullptr;
  std::unique_ptr<uidriver::CMessageBoxAnswerer> m_answers;
};

}  // namespace

TEST_F(DominoDialog, SearchAskedNoStaysIdleYesListsServersUpperCasedInReverseOrder) {
  Shot(m_pDlg->GetSafeHwnd(), L"domino_idle.png");
  EXPECT_TRUE(Idle());
  // A server typed before the search stays first-come: the found ones go above it.
  AddServerByHand(L"Other/Acme");
  ASSERT_TRUE(PumpUntil([&] { return Rows(IDC_DOMINO_SERVER_LIST).size() == 1; }, 3000));

  SearchAnswering(L"&No");
  ASSERT_TRUE(PumpUntil([&] { return Idle(); }, 3000));
  EXPECT_EQ(Rows(IDC_DOMINO_SERVER_LIST).size(), 1u);

  SearchAnswering(L"&Yes");
  ASSERT_TRUE(PumpUntil([&] { return Idle() && Rows(IDC_DOMINO_SERVER_LIST).size() == 4; }, 20000));
  const std::vector<CString> expected = {L"MAIL01/ACME", L"EMPTY01/ACME", L"DOWN01/ACME", L"OTHER/ACME"};
  EXPECT_EQ(Rows(IDC_DOMINO_SERVER_LIST), expected);
  Shot(m_pDlg->GetSafeHwnd(), L"domino_servers.png");

  // A name typed in another case that the list holds is refused with its upper-cased form.
  m_answers->Queue(L"OK", L"wizard\\domino_box_duplicate.png");
  AddServerByHand(L"mail01/acme");
  ASSERT_TRUE(PumpUntil([&] { return m_answers->Count() == 3; }, 5000));
  EXPECT_EQ(m_answers->Last(), L"MAIL01/ACME Domino Server already exist in the list");
  EXPECT_EQ(Rows(IDC_DOMINO_SERVER_LIST).size(), 4u);

  // An empty name is refused too.
  m_answers->Queue(L"OK");
  m_pDlg->m_edServer.SetWindowText(L"");
  uidriver::Click(Item(IDC_DOMINO_ADD_SERVER));
  ASSERT_TRUE(PumpUntil([&] { return m_answers->Count() == 4; }, 5000));
  EXPECT_EQ(m_answers->Last(), L"Please provide Domino Server name to add");
}

TEST_F(DominoDialog, ListingAServerShowsItsAddressBooksCheckedAndAddHandsThemOver) {
  AddServerByHand(L"Mail01/Acme");
  ASSERT_TRUE(PumpUntil([&] { return Rows(IDC_DOMINO_SERVER_LIST).size() == 1; }, 3000));
  ListServer(L"MAIL01/ACME");
  const std::vector<CString> files = Rows(IDC_DOMINO_FILE_LIST);
  ASSERT_FALSE(files.empty());
  bool sawNames = false, sawTeam = false;
  for (size_t i = 0; i < files.size(); ++i) {
    CString upper = files[i];
    upper.MakeUpper();
    EXPECT_GE(upper.Find(L"NAMES"), 0) << Narrow(files[i]);
    EXPECT_TRUE(m_pDlg->m_lstFiles.GetCheck(static_cast<int>(i)));
    sawNames |= files[i] == L"names.nsf";
    sawTeam |= files[i] == L"apps\\team-names.nsf";
    EXPECT_NE(files[i], L"mail\\jdoe.nsf");
    // The database that refuses this user is not offered.
    EXPECT_NE(files[i], L"secret-names.nsf");
  }
  EXPECT_TRUE(sawNames);
  EXPECT_TRUE(sawTeam);
  Shot(m_pDlg->GetSafeHwnd(), L"domino_listed.png");

  // Nothing checked: refused.
  uidriver::Click(Item(IDC_DOMINO_UNSELECT_ALL));
  ASSERT_TRUE(PumpUntil([&] { return !m_pDlg->m_lstFiles.GetCheck(0); }, 3000));
  m_answers->Queue(L"OK", L"wizard\\domino_box_nothing_checked.png");
  uidriver::Click(Item(IDC_DOMINO_ADD));
  ASSERT_TRUE(PumpUntil([&] { return m_answers->Count() == 1; }, 5000));
  EXPECT_EQ(m_answers->Last(), L"Please select file from the list");
  EXPECT_TRUE(m_page.calls.empty());

  // All checked again, then Add: the page gets every path with the listed server.
  uidriver::Click(Item(IDC_DOMINO_SELECT_ALL));
  ASSERT_TRUE(PumpUntil([&] { return m_pDlg->m_lstFiles.GetCheck(0) != FALSE; }, 3000));
  m_answers->Queue(L"OK", L"wizard\\domino_box_added.png");
  uidriver::Click(Item(IDC_DOMINO_ADD));
  ASSERT_TRUE(PumpUntil([&] { return m_answers->Count() == 2; }, 5000));
  EXPECT_EQ(m_answers->Last().rfind(L"Selected Files are added, If you want to select files from other Domino Server", 0), 0u);
  ASSERT_EQ(m_page.calls.size(), 1u);
  EXPECT_EQ(m_page.calls[0].server, CString(L"MAIL01/ACME"));
  EXPECT_EQ(m_page.calls[0].paths, files);
  // The dialog stays open.
  EXPECT_TRUE(::IsWindowVisible(m_pDlg->GetSafeHwnd()));
}

TEST_F(DominoDialog, AddKeepsTheListedServerAfterTheKeyboardMovedTheSelection) {
  AddServerByHand(L"Empty01/Acme");
  ASSERT_TRUE(PumpUntil([&] { return Rows(IDC_DOMINO_SERVER_LIST).size() == 1; }, 3000));
  AddServerByHand(L"Mail01/Acme");
  ASSERT_TRUE(PumpUntil([&] { return Rows(IDC_DOMINO_SERVER_LIST).size() == 2; }, 3000));
  ListServer(L"MAIL01/ACME");
  ASSERT_FALSE(Rows(IDC_DOMINO_FILE_LIST).empty());
  // The arrow key moves the selection to the other server without listing it.
  m_pDlg->m_lstServers.SetFocus();
  uidriver::PressKey(VK_DOWN);
  ASSERT_TRUE(PumpUntil([&] { return m_pDlg->m_lstServers.GetSelectionMark() == 1; }, 3000));
  m_answers->Queue(L"OK");
  uidriver::Click(Item(IDC_DOMINO_ADD));
  ASSERT_TRUE(PumpUntil([&] { return m_answers->Count() == 1; }, 5000));
  ASSERT_EQ(m_page.calls.size(), 1u);
  EXPECT_EQ(m_page.calls[0].server, CString(L"MAIL01/ACME"));
}

TEST_F(DominoDialog, FailingServersSayWhy) {
  struct Case {
    const wchar_t* typed;
    const wchar_t* row;
    const wchar_t* message;
    const wchar_t* picture;
  } cases[] = {
      // The reader reports a server that does not answer with the Notes library's own
      // message for the status.
      {L"Down01/Acme", L"DOWN01/ACME", L"Server not responding", L"wizard\\domino_box_server_down.png"},
      {L"Empty01/Acme", L"EMPTY01/ACME", L"No file found in selected server", L"wizard\\domino_box_no_file.png"},
  };
  size_t n = 0;
  for (const Case& c : cases) {
    AddServerByHand(c.typed);
    ASSERT_TRUE(PumpUntil([&] { return Rows(IDC_DOMINO_SERVER_LIST).size() == n + 1; }, 3000));
    m_answers->Queue(L"OK", c.picture);
    ClickServer(c.row);
    ASSERT_TRUE(PumpUntil([&] { return m_answers->Count() == n + 1; }, 20000)) << Narrow(c.row);
    EXPECT_EQ(m_answers->Last(), c.message);
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }, 5000));
    EXPECT_TRUE(Rows(IDC_DOMINO_FILE_LIST).empty());
    ++n;
  }
}

TEST_F(DominoDialog, SearchWithTheNetworkDownSaysServersCannotBeFound) {
  Marker down(std::wstring(kServers) + L"\\network-down");
  SearchAnswering(L"&Yes", L"OK", L"wizard\\domino_box_network_down.png");
  ASSERT_TRUE(PumpUntil([&] { return m_answers->Count() == 2; }, 20000));
  // The library's message for a network that is down, as the reader reports it.
  EXPECT_EQ(m_answers->Last(), L"The network is not available");
  EXPECT_EQ(CString(m_answers->Last().c_str()), m_frame.GetLastError());
  ASSERT_TRUE(PumpUntil([&] { return Idle(); }, 5000));
  EXPECT_TRUE(Rows(IDC_DOMINO_SERVER_LIST).empty());
}

TEST_F(DominoDialog, StopNoThenYesDuringASlowListingLeavesItIdleAndUsable) {
  Marker slow(std::wstring(kServers) + L"\\Mail01\\slow-read", "700");
  AddServerByHand(L"Mail01/Acme");
  ASSERT_TRUE(PumpUntil([&] { return Rows(IDC_DOMINO_SERVER_LIST).size() == 1; }, 3000));
  ClickServer(L"MAIL01/ACME");
  ASSERT_TRUE(PumpUntil([&] { return m_pDlg->IsWorking() && Visible(IDC_DOMINO_STOP); }, 5000));
  Shot(m_pDlg->GetSafeHwnd(), L"domino_working.png");
  EXPECT_FALSE(::IsWindowEnabled(Item(IDC_DOMINO_SERVER_LIST)));
  EXPECT_FALSE(::IsWindowEnabled(Item(IDC_DOMINO_FINISH)));
  EXPECT_FALSE(Visible(IDC_DOMINO_SEARCH));

  // Closing while it works is refused.
  m_answers->Queue(L"OK", L"wizard\\domino_box_close_refused.png");
  m_pDlg->PostMessage(WM_CLOSE);
  ASSERT_TRUE(PumpUntil([&] { return m_answers->Count() == 1; }, 5000));
  EXPECT_EQ(m_answers->Last(), L"Please wait while searching finish");
  EXPECT_TRUE(::IsWindow(m_pDlg->GetSafeHwnd()));

  // Stop, answered No: the listing goes on. The question is asked while the worker waits.
  m_answers->Queue(L"&No", L"wizard\\domino_box_stop.png");
  uidriver::Click(Item(IDC_DOMINO_STOP));
  ASSERT_TRUE(PumpUntil([&] { return m_answers->Count() == 2; }, 10000));
  EXPECT_EQ(m_answers->Last(), L"Are you sure you want to stop current process ?");
  ASSERT_TRUE(PumpUntil([&] { return !m_pDlg->GetRunner().IsPaused(); }, 3000));
  EXPECT_TRUE(m_pDlg->IsWorking());

  // Stop, answered Yes: it ends early, without an error message, idle.
  m_answers->Queue(L"&Yes");
  uidriver::Click(Item(IDC_DOMINO_STOP));
  ASSERT_TRUE(PumpUntil([&] { return m_answers->Count() == 3; }, 10000));
  ASSERT_TRUE(PumpUntil([&] { return Idle(); }, 10000));
  PumpUntil([] { return false; }, 300);
  EXPECT_EQ(m_answers->Count(), 3u);
  EXPECT_EQ(m_frame.m_Reader.m_bCancel, 1);

  // Usable again: a full listing (the server is still slow).
  ListServer(L"MAIL01/ACME");
  EXPECT_FALSE(Rows(IDC_DOMINO_FILE_LIST).empty());
}

TEST_F(DominoDialog, EnterAndEscapeDoNotCloseFinishDoes) {
  uidriver::Click(Item(IDC_DOMINO_SERVER_NAME));
  PumpUntil([&] { return ::GetFocus() == Item(IDC_DOMINO_SERVER_NAME); }, 2000);
  uidriver::PressKey(VK_RETURN);
  uidriver::PressKey(VK_ESCAPE);
  PumpUntil([] { return false; }, 400, testsupport::Dispatch::PreTranslate);
  EXPECT_TRUE(::IsWindowVisible(m_pDlg->GetSafeHwnd()));
  EXPECT_EQ(m_answers->Count(), 0u);
}

TEST_F(DominoDialog, DestroyedWhileListingStopsAndWaitsForItsWorker) {
  Marker slow(std::wstring(kServers) + L"\\Mail01\\slow-read", "500");
  AddServerByHand(L"Mail01/Acme");
  ASSERT_TRUE(PumpUntil([&] { return Rows(IDC_DOMINO_SERVER_LIST).size() == 1; }, 3000));
  ClickServer(L"MAIL01/ACME");
  ASSERT_TRUE(PumpUntil([&] { return m_pDlg->IsWorking(); }, 5000));
  const DWORD start = ::GetTickCount();
  m_pDlg->DestroyWindow();
  // The worker saw the cancel at its next database, well within the old 10 s wait.
  EXPECT_LT(::GetTickCount() - start, 5000u);
  EXPECT_FALSE(m_pDlg->GetRunner().IsRunning());
  EXPECT_EQ(m_answers->Count(), 0u);
}
