// Opening a database and scanning its views and folders into a real folder tree and wait
// dialog; failures, quiet scans and cancels.
#include <thread>

#include "ReaderWindows.h"

using namespace readertest;

namespace {

// Everything names.nsf retains, in the order Notes gives its views and folders.
const std::vector<std::wstring> kNamesPaths = {
    L"($All)\\",     L"All Documents\\", L"By Category\\",   L"($Meetings)\\",  L"My Contacts\\",
    L"($ToDo)\\",    L"($Drafts)\\",     L"By Diary Date\\", L"($Inbox)\\",     L"Friends\\",
    L"Friends\\School\\", L"Work\\Clients\\", L"Kontakte K\u00f6ln \u65e5\u672c\\", L"Contacts\\", L"Broken\\"};
// Retained paths after each of names.nsf's 20 entries has been examined.
const int kRetainedAfter[21] = {0, 0, 1, 2, 3, 4, 4, 4, 5, 6, 7, 8, 8, 9, 10, 11, 12, 12, 13, 14, 15};

class ScanTest : public ReaderTest {
 protected:
  void SetUp() override {
    ReaderTest::SetUp();
    windows.Create();
    windows.Attach(reader);
  }
  CFolderTreeCtrl& Tree() { return windows.tree; }
  HTREEITEM Child(HTREEITEM parent, const wchar_t* text) {
    for (HTREEITEM h = Tree().GetChildItem(parent); h; h = Tree().GetNextSiblingItem(h))
      if (Tree().GetItemText(h) == text) return h;
    return nullptr;
  }
  std::vector<std::wstring> Children(HTREEITEM parent) {
    std::vector<std::wstring> v;
    for (HTREEITEM h = Tree().GetChildItem(parent); h; h = Tree().GetNextSiblingItem(h)) v.push_back(W(Tree().GetItemText(h)));
    return v;
  }
  ReaderWindows windows;
};

TEST_F(ScanTest, NamesNsfFillsPathsTreeAndWaitDialog) {
  CPositionRecorder progress(windows.wait.m_Progress.GetSafeHwnd());
  CStringArray paths;
  ASSERT_TRUE(reader.OpenAndScan(SharedFixture(L"names.nsf"), L"", &paths, FALSE)) << W(reader.GetLastError());
  EXPECT_EQ(Items(paths), kNamesPaths);
  EXPECT_TRUE(reader.IsDatabaseOpen());

  // One position per entry, sent before the entry is examined: 20 entries, steps of 5.
  std::vector<int> expected;
  for (int i = 0; i < 20; ++i) expected.push_back((100 * i + 100) / 20);
  EXPECT_EQ(progress.positions, expected);
  EXPECT_EQ(windows.wait.m_Progress.GetPos(), 100);
  EXPECT_EQ(W(windows.LabelText()),
            L"Please wait, the file is being scanned for contact items ...\r\n\r\nTotal Folder Found     :15  "
            L"Total Contact Found    :67\r\nLast Folder Found     :Broken");

  HTREEITEM root = Tree().GetRootItem();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(W(Tree().GetItemText(root)), L"NSF File");
  EXPECT_EQ(Tree().GetNextSiblingItem(root), nullptr);
  EXPECT_EQ(Children(root),
            (std::vector<std::wstring>{L"($All)", L"All Documents", L"By Category", L"($Meetings)", L"My Contacts",
                                       L"($ToDo)", L"($Drafts)", L"By Diary Date", L"($Inbox)", L"Friends", L"Work",
                                       L"Kontakte K\u00f6ln \u65e5\u672c", L"Contacts", L"Broken"}));
  // Image = folder kind; data = entry count, or the kind for a level made only as a parent.
  const struct {
    const wchar_t* parent;
    const wchar_t* name;
    int image;
    DWORD_PTR data;
  } items[] = {
      {nullptr, L"($All)", 2, 19},    {nullptr, L"($Drafts)", 1, 1},      {nullptr, L"($Inbox)", 8, 1},
      {nullptr, L"($Meetings)", 3, 1}, {nullptr, L"($ToDo)", 5, 2},       {nullptr, L"By Diary Date", 9, 1},
      {nullptr, L"My Contacts", 4, 3}, {nullptr, L"Friends", 2, 2},       {L"Friends", L"School", 2, 1},
      {nullptr, L"Work", 2, 2},        {L"Work", L"Clients", 2, 3},        {nullptr, L"Contacts", 2, 6},
  };
  for (const auto& it : items) {
    HTREEITEM parent = it.parent ? Child(root, it.parent) : root;
    HTREEITEM h = Child(parent, it.name);
    ASSERT_NE(h, nullptr) << it.name;
    int image = -1, selected = -1;
    Tree().GetItemImage(h, image, selected);
    EXPECT_EQ(image, it.image) << it.name;
    EXPECT_EQ(selected, it.image) << it.name;
    EXPECT_EQ(Tree().GetItemData(h), it.data) << it.name;
    EXPECT_TRUE(Tree().GetCheck(h)) << it.name;
  }
  EXPECT_TRUE(Tree().GetCheck(root));
  EXPECT_EQ(Tree().GetItemData(root), 0u);
  EXPECT_TRUE(Tree().GetItemState(root, TVIS_EXPANDED) & TVIS_EXPANDED);

  // What the page hands on when the user goes on: every checked item, parents first.
  CStringArray checked;
  Tree().GetCheckedFolders(checked);
  EXPECT_EQ(checked.GetSize(), 17);
  EXPECT_EQ(W(checked[0]), L"");
  EXPECT_EQ(W(checked[1]), L"($All)\\");

  Tree().UpdateWindow();
  testsupport::PumpFor(50);
}

TEST_F(ScanTest, QuietScanFillsOnlyThePaths) {
  windows.wait.m_Label.SetWindowText(L"untouched");
  CPositionRecorder progress(windows.wait.m_Progress.GetSafeHwnd());
  CStringArray paths;
  paths.Add(L"earlier\\");
  ASSERT_TRUE(reader.OpenAndScan(SharedFixture(L"names.nsf"), L"", &paths, TRUE));
  std::vector<std::wstring> expected = {L"earlier\\"};
  expected.insert(expected.end(), kNamesPaths.begin(), kNamesPaths.end());
  EXPECT_EQ(Items(paths), expected);
  EXPECT_EQ(Tree().GetCount(), 0u);
  EXPECT_TRUE(progress.positions.empty());
  EXPECT_EQ(W(windows.LabelText()), L"untouched");
}

TEST_F(ScanTest, WithoutWindowsTheScanStillCollectsThePaths) {
  reader.m_pFolderTree = nullptr;
  reader.m_pProgressDlg = nullptr;
  CStringArray paths;
  ASSERT_TRUE(reader.OpenAndScan(SharedFixture(L"names.nsf"), L"", &paths, FALSE));
  EXPECT_EQ(Items(paths), kNamesPaths);
  EXPECT_EQ(Tree().GetCount(), 0u);
}

TEST_F(ScanTest, RetentionFollowsNamesAndEntryCounts) {
  CStringArray paths;
  ASSERT_TRUE(reader.OpenAndScan(ReaderFixture(L"reader-cases.nsf"), L"", &paths, FALSE));
  // "Random View" is no retained view; "$All" anywhere in a view name is; an empty
  // retained view is not; folders are kept whatever their names.
  EXPECT_EQ(Items(paths), (std::vector<std::wstring>{L"Archive $All Mail\\", L"($Sent)\\", L"Odd\\", L"Ninety Six\\",
                                                     L"One\\", L"Projects\\2009\\", L"Projects\\", L"X9\\",
                                                     L"Filter\\"}));
  HTREEITEM root = Tree().GetRootItem();
  HTREEITEM sent = Child(root, L"($Sent)");
  ASSERT_NE(sent, nullptr);
  int image = 0, selected = 0;
  Tree().GetItemImage(sent, image, selected);
  EXPECT_EQ(image, 10);
  // "Projects" came first as the parent of 2009 (data = kind 2), then as a folder of its own:
  // the existing item is reused and takes the entry count.
  HTREEITEM projects = Child(root, L"Projects");
  ASSERT_NE(projects, nullptr);
  EXPECT_EQ(Children(projects), (std::vector<std::wstring>{L"2009"}));
  EXPECT_EQ(Tree().GetItemData(projects), 1u);
}

TEST_F(ScanTest, ADatabaseWithoutViewsGivesNothingAndSucceeds) {
  CStringArray paths;
  EXPECT_TRUE(reader.OpenAndScan(ReaderFixture(L"no-views.nsf"), L"", &paths, FALSE));
  EXPECT_EQ(paths.GetSize(), 0);
  EXPECT_EQ(Tree().GetCount(), 0u);
}

TEST_F(ScanTest, BadDatabasesFailWithTheLibrarysMessage) {
  const struct {
    CString path;
    const wchar_t* server;
    LNSTATUS status;  // 0: whatever the library reports
  } cases[] = {
      {SharedFixture(L"missing.nsf"), L"", LNERR_FILE_NOT_FOUND},
      {SharedFixture(L"damaged.nsf"), L"", LNERR_DATABASE_CORRUPT},
      {SharedFixture(L"binary.nsf"), L"", LNERR_UNSUPPORTED_FORMAT},
      {SharedFixture(L"not-a-database.nsf"), L"", 0},
      {SharedFixture(L""), L"", 0},
      {L"", L"", 0},
      {L"names.nsf", L"Down01/Acme", LNERR_SERVER_NOT_RESPONDING},
      {L"names.nsf", L"Nowhere/Acme", LNERR_SERVER_NOT_FOUND},
  };
  for (const auto& c : cases) {
    reader.SetLastError(L"before");
    CStringArray paths;
    EXPECT_FALSE(reader.OpenAndScan(c.path, c.server, &paths, FALSE)) << W(c.path);
    EXPECT_NE(reader.GetLastStatus(), LNNOERROR) << W(c.path);
    if (c.status != 0) {
      EXPECT_EQ(reader.GetLastStatus(), c.status) << W(c.path);
    }
    EXPECT_EQ(W(reader.GetLastError()), LibraryMessage(reader.GetLastStatus())) << W(c.path);
    EXPECT_NE(W(reader.GetLastError()), L"before");
    EXPECT_FALSE(reader.IsDatabaseOpen()) << W(c.path);
    EXPECT_EQ(paths.GetSize(), 0);
  }
  EXPECT_EQ(Tree().GetCount(), 0u);
  // The reader is still usable afterwards.
  CStringArray paths;
  EXPECT_TRUE(reader.OpenAndScan(SharedFixture(L"names.nsf"), L"", &paths, TRUE));
  EXPECT_EQ(paths.GetSize(), 15);
}

TEST_F(ScanTest, ADatabaseOnAServerIsScannedLikeAFile) {
  CStringArray paths;
  ASSERT_TRUE(reader.OpenAndScan(L"names.nsf", L"Mail01/Acme", &paths, FALSE)) << W(reader.GetLastError());
  EXPECT_EQ(Items(paths),
            (std::vector<std::wstring>{L"($All)\\", L"My Contacts\\", L"Friends\\", L"Suppliers\\Europe\\"}));
}

TEST_F(ScanTest, CancelIsHonouredAtEveryPollPoint) {
  // Polls 1-3 follow the database lookup, the opening and the view list; from poll 4 on the
  // loop asks before each entry.
  for (int poll = 1; poll <= 25; ++poll) {
    SCOPED_TRACE(poll);
    Tree().DeleteAllItems();
    reader.m_nPolls = 0;
    reader.m_nCancelAtPoll = poll;
    reader.SetLastError(L"unchanged");
    CStringArray paths;
    const BOOL result = reader.OpenAndScan(SharedFixture(L"names.nsf"), L"", &paths, FALSE);
    EXPECT_EQ(W(reader.GetLastError()), L"unchanged");
    if (poll <= 3) {
      EXPECT_FALSE(result);
      EXPECT_EQ(reader.IsDatabaseOpen(), poll >= 2);
      EXPECT_EQ(paths.GetSize(), 0);
    } else {
      EXPECT_TRUE(result);
      const int examined = std::min(poll - 4, 20);
      EXPECT_EQ(paths.GetSize(), kRetainedAfter[examined]);
      EXPECT_EQ(reader.m_nPolls, examined < 20 ? poll : 23);  // no poll after the last entry
    }
  }
  reader.m_nCancelAtPoll = 0;
}

TEST_F(ScanTest, CancelFromTheStopButtonDuringTheScan) {
  // The wait dialog's progress bar is where the user sees the scan going; cancel when it
  // reaches 50 %, as the Stop button would.
  CPositionRecorder progress(windows.wait.m_Progress.GetSafeHwnd());
  progress.onPosition = [this](int pos) {
    if (pos >= 50) reader.m_bCancel = TRUE;
  };
  CStringArray paths;
  EXPECT_TRUE(reader.OpenAndScan(SharedFixture(L"names.nsf"), L"", &paths, FALSE));
  EXPECT_EQ(progress.positions.back(), 50);
  EXPECT_EQ(paths.GetSize(), kRetainedAfter[10]);
  reader.m_bCancel = FALSE;
}

TEST_F(ScanTest, AFailingCloseOfThePreviousDatabaseDoesNotStopTheNextScan) {
  CStringArray paths;
  ASSERT_TRUE(reader.OpenAndScan(SharedFixture(L"names.nsf"), L"", &paths, TRUE));
  // The database object is gone while the reader still counts it open: closing it fails.
  reader.GetDatabase() = LNDatabase();
  LNDatabase null;
  EXPECT_THROW(null.Close(), LNSTATUS);
  paths.RemoveAll();
  EXPECT_TRUE(reader.OpenAndScan(ReaderFixture(L"reader-cases.nsf"), L"", &paths, TRUE));
  EXPECT_EQ(paths.GetSize(), 9);
  reader.GetDatabase() = LNDatabase();
  reader.Close();
  EXPECT_FALSE(reader.IsDatabaseOpen());
  EXPECT_FALSE(reader.IsSessionOpen());
}

TEST_F(ScanTest, AWorkerThreadScansIntoTheTreeOfTheInterfaceThread) {
  CStringArray paths;
  BOOL result = FALSE;
  bool done = false;
  std::thread worker([&] {
    LNNotesSession own;
    own.InitThread();
    result = reader.OpenAndScan(SharedFixture(L"names.nsf"), L"", &paths, FALSE);
    own.TermThread();
    done = true;
  });
  EXPECT_TRUE(testsupport::PumpUntil([&] { return done; }, 10000));
  worker.join();
  EXPECT_TRUE(result) << W(reader.GetLastError());
  EXPECT_EQ(Items(paths), kNamesPaths);
  EXPECT_EQ(Tree().GetCount(), 17u);
}

TEST(ReaderSession, ACancelledStartStillEndsTheSessionOnClose) {
  CNotesReader reader;
  reader.m_bCancel = TRUE;
  EXPECT_FALSE(reader.InitSession());
  EXPECT_TRUE(reader.IsSessionOpen());
  EXPECT_TRUE(reader.GetSession().IsInitialized());
  reader.Close();
  EXPECT_FALSE(reader.IsSessionOpen());
  EXPECT_FALSE(reader.GetSession().IsInitialized());
  reader.Close();  // a second close is harmless
}

TEST(ReaderSession, CloseSurvivesASessionEndedElsewhere) {
  CNotesReader reader;
  ASSERT_TRUE(reader.InitSession());
  CStringArray paths;
  ASSERT_TRUE(reader.OpenAndScan(SharedFixture(L"names.nsf"), L"", &paths, TRUE));
  LNNotesSession other;
  EXPECT_EQ(other.Term(0), 0u);
  reader.Close();
  EXPECT_FALSE(reader.IsSessionOpen());
  // Starting again works, and a second start ends the first session before it.
  EXPECT_TRUE(reader.InitSession());
  EXPECT_TRUE(reader.InitSession());
  EXPECT_TRUE(reader.GetSession().IsInitialized());
}

TEST(ReaderSession, FolderKindsFollowTheNotesNames) {
  const struct {
    const wchar_t* name;
    int entries;
    int kind;
  } cases[] = {
      {L"($Inbox)", 3, 8},      {L"($Sent)", 3, 10},     {L"($Trash)", 3, 7},   {L"My Contacts", 3, 4},
      {L"($Alarms)", 3, 3},     {L"($Calendar)", 3, 3},  {L"($Meetings)", 3, 3}, {L"($JunkMail)", 3, 7},
      {L"($Drafts)", 3, 1},     {L"($ToDo)", 3, 5},      {L"By Diary Date", 3, 9}, {L"Friends", 3, 2},
      {L"Friends", 0, 1},       {L"($inbox)", 3, 2},     {L"($Meetings) Old", 3, 2},
  };
  for (const auto& c : cases) EXPECT_EQ(CNotesReader::GetFolderKind(c.name, c.entries), c.kind) << c.name;
}

}  // namespace
