// One folder's contacts listed as cards of the real contact pane, with the letter filter,
// progress, failures and cancel.
#include <thread>
#include <utility>

#include "ContactGridPane.h"
#include "ReaderWindows.h"

using namespace readertest;

namespace {

using Card = std::pair<std::wstring, std::wstring>;  // display name, card text

class ListingTest : public ReaderTest {
 protected:
  void SetUp() override {
    ReaderTest::SetUp();
    windows.Create();
    windows.Attach(reader);
    ASSERT_TRUE(pane.Create(L"", WS_CHILD | WS_VISIBLE | SS_CENTER, CRect(400, 0, 900, 600), &windows.page, 0xFFFF));
    pane.ClearContacts();
    Open(SharedFixture(L"names.nsf"));
  }
  void TearDown() override {
    pane.DestroyWindow();
    ReaderTest::TearDown();
  }
  // The cards in the order they fill the pane: name rows hold the names, the rows below
  // them the card texts.
  std::vector<Card> Cards() {
    std::vector<Card> cards;
    CGridCtrl& grid = pane.GetGrid();
    for (int row = 0; row + 1 < grid.GetRowCount(); row += 2)
      for (int col = 0; col < CContactGridPane::kColumns; ++col) {
        const CString card = grid.GetItemText(row + 1, col);
        if (!card.IsEmpty()) cards.emplace_back(W(grid.GetItemText(row, col)), W(card));
      }
    return cards;
  }
  std::vector<std::wstring> Names() {
    std::vector<std::wstring> names;
    for (const Card& c : Cards()) names.push_back(c.first);
    return names;
  }
  std::vector<std::wstring> List(const CString& path) {
    pane.ClearContacts();
    reader.OpenFolder(&pane, path);
    return Names();
  }
  CContactGridPane pane;
  ReaderWindows windows;
};

const std::vector<std::wstring> kContactsFolder = {L"bob B Builder", L"C Bell", L"Anna D Bell", L"Alice Q Example"};

TEST_F(ListingTest, AFolderListsItsContactsInEntryOrder) {
  // Contacts holds a task and a deleted document besides its four contacts.
  EXPECT_EQ(List(L"Contacts\\"), kContactsFolder);
  EXPECT_EQ(pane.GetCardCounter(), 4);
  // A card is the three preview parts, and the attachment list when there is one.
  const CContactRecord alice = reader.BuildContactRecord(Document("Friends", 0), nullptr, nullptr, FALSE);
  const std::wstring expected = W(alice.GetPreviewPart1() + L"\r\n" + alice.GetPreviewPart2() + L"\r\n" +
                                  alice.GetPreviewPart3() + L"\r\n" + alice[CContactRecord::kAttachmentSlot]);
  EXPECT_EQ(Cards()[3].second, expected);
  EXPECT_EQ(Cards()[3].second.substr(0, 42), L"From : \r\nFull Name : Alice Q Example\r\nName");
  EXPECT_TRUE(EndsWith(Cards()[3].second,
                       L"Attachments : card.vcf Size :42 \r\ncard.vcf Size :31 \r\n\r\n\r\n"
                       L"card.vcf Size :42 \r\ncard.vcf Size :31 \r\n"));
  const CContactRecord bob = reader.BuildContactRecord(Document("Contacts", 0), nullptr, nullptr, FALSE);
  EXPECT_EQ(Cards()[0].second,
            W(bob.GetPreviewPart1() + L"\r\n" + bob.GetPreviewPart2() + L"\r\n" + bob.GetPreviewPart3()));
}

TEST_F(ListingTest, PathsAndLetterFilters) {
  const struct {
    const wchar_t* path;
    std::vector<std::wstring> names;
  } cases[] = {
      {L"Contacts\\", kContactsFolder},
      {L"Contacts", kContactsFolder},
      // No folder "Contacts\B": the letter filters Contacts by first name, else full name.
      {L"Contacts\\B\\", {L"bob B Builder"}},
      {L"Contacts\\C\\", {L"C Bell"}},
      {L"Contacts\\A\\", {L"Anna D Bell", L"Alice Q Example"}},
      {L"Contacts\\Z\\", {}},
      {L"Contacts\\b\\", {}},
      {L"Contacts\\7\\", {}},
      {L"Friends\\School\\", {L"Anna D Bell"}},
      {L"Friends\\School\\A\\", {L"Anna D Bell"}},
      // The lookup finds other case and aliases, but only the exact name is listed.
      {L"friends\\", {}},
      {L"MC\\", {}},
      {L"Nowhere\\", {}},
      {L"X9\\", {}},
      {L"\\", {}},
      {L"", {}},
      // Names beyond ASCII compare as wide text.
      {L"Kontakte K\u00f6ln \u65e5\u672c\\", {L"J\u00fcrgen K M\u00fcller"}},
      {L"Kontakte K\u00f6ln \u65e5\u672c\\J\\", {L"J\u00fcrgen K M\u00fcller"}},
      // Views mixing kinds list only the contacts; category and total rows are skipped.
      {L"Work\\Clients\\", {L"J\u00fcrgen K M\u00fcller", L"Located M Contact"}},
      {L"By Category\\", {L"Alice Q Example", L"Alice Q Example", L"bob B Builder"}},
      {L"($Inbox)\\", {}},
      // An unreadable document is skipped and the listing goes on.
      {L"Broken\\", {L"Anna D Bell"}},
  };
  for (const auto& c : cases) EXPECT_EQ(List(c.path), c.names) << W(CString(c.path));
  EXPECT_EQ(List(L"($All)\\").size(), 11u);
}

TEST_F(ListingTest, ShortFilterPathsNeedAFolderOfThatName) {
  Open(ReaderFixture(L"reader-cases.nsf"));
  EXPECT_EQ(List(L"X9\\"), (std::vector<std::wstring>{L"Single Entry"}));
  // A lower-case first name counts upper-cased; without one the full name decides.
  EXPECT_EQ(List(L"Filter\\B\\"), (std::vector<std::wstring>{L"bob Builder", L"Bertha Bell"}));
  EXPECT_EQ(List(L"Filter\\A\\"), (std::vector<std::wstring>{L"Bell"}));
  EXPECT_EQ(List(L"One\\S\\"), (std::vector<std::wstring>{L"Single Entry"}));
  EXPECT_EQ(List(L"Projects\\2009\\"), (std::vector<std::wstring>{L"Single Entry"}));
  EXPECT_EQ(List(L"Projects\\"), (std::vector<std::wstring>{L"Otto Types"}));
  EXPECT_EQ(List(L"Ninety Six\\N\\").size(), 96u);
  EXPECT_EQ(Cards().size(), 96u);
}

TEST_F(ListingTest, ProgressStaysBelowOneHundred) {
  Open(ReaderFixture(L"reader-cases.nsf"));
  CPositionRecorder progress(windows.wait.m_Progress.GetSafeHwnd());
  List(L"One\\");
  EXPECT_EQ(progress.positions, std::vector<int>{20});
  progress.positions.clear();
  List(L"Ninety Six\\");
  ASSERT_EQ(progress.positions.size(), 96u);
  for (int i = 0; i < 96; ++i) EXPECT_EQ(progress.positions[i], (i + 1) * 100 / 100) << i;
  EXPECT_EQ(progress.positions.back(), 96);
}

TEST_F(ListingTest, CancelIsHonouredAtEveryPollPoint) {
  // Polls: on entry, after the folder lookup, as the listing starts, then before each of
  // the six entries of Contacts (four contacts, a task, a deleted document).
  const int kCardsAfter[7] = {0, 1, 2, 3, 4, 4, 4};
  for (int poll = 1; poll <= 11; ++poll) {
    SCOPED_TRACE(poll);
    reader.m_nPolls = 0;
    reader.m_nCancelAtPoll = poll;
    const auto names = List(L"Contacts\\");
    const int examined = poll <= 3 ? 0 : std::min(poll - 4, 6);
    EXPECT_EQ(static_cast<int>(names.size()), kCardsAfter[examined]);
  }
  reader.m_nCancelAtPoll = 0;
  reader.m_bCancel = TRUE;
  EXPECT_TRUE(List(L"Contacts\\").empty());
  reader.m_bCancel = FALSE;
}

TEST_F(ListingTest, AWorkerThreadFillsThePaneOfTheInterfaceThread) {
  bool done = false;
  std::thread worker([&] {
    LNNotesSession own;
    own.InitThread();
    reader.OpenFolder(&pane, L"Contacts\\B\\");
    own.TermThread();
    done = true;
  });
  EXPECT_TRUE(testsupport::PumpUntil([&] { return done; }, 10000));
  worker.join();
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"bob B Builder"}));
}

TEST_F(ListingTest, WithoutAnOpenDatabaseNothingIsListed) {
  CNotesReader fresh;
  fresh.OpenFolder(&pane, L"Contacts\\");
  fresh.OpenFolder(nullptr, L"Contacts\\B\\");
  EXPECT_TRUE(Cards().empty());
}

}  // namespace
