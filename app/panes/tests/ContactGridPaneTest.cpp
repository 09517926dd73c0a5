// The contact card pane inside a stand-in folder page, three window levels up.
#include <gtest/gtest.h>

#include "XTGlobalUIData.h"

#include <atomic>
#include <set>
#include <thread>

#include "ContactGridPane.h"
#include "GridTestSupport.h"

using namespace gridtest;

namespace {

const wchar_t* const kCards[][2] = {
    {L"Ada Lovelace",
     L"Full Name : Ada Lovelace\r\nCompany : Analytical Engines Ltd\r\nJob Title : Mathematician\r\n\r\n"
     L"Business Phone : 555 0100\r\nE-mail : ada@example.org\r\n\r\nBusiness Address : 12 St James's Square, London"},
    {L"Grace Hopper",
     L"Full Name : Grace Hopper\r\nCompany : Navy Computing\r\nJob Title : Rear Admiral\r\n\r\n"
     L"Business Phone : 555 0101\r\nE-mail : grace@example.org\r\n\r\nBusiness Address : Arlington, Virginia"},
    {L"Alan Turing",
     L"Full Name : Alan Turing\r\nCompany : Bletchley Park\r\nJob Title : Cryptanalyst\r\n\r\n"
     L"Business Phone : 555 0102\r\nE-mail : alan@example.org\r\n\r\nBusiness Address : Milton Keynes"},
    {L"Edsger Dijkstra",
     L"Full Name : Edsger Dijkstra\r\nCompany : Eindhoven University\r\nJob Title : Professor\r\n\r\n"
     L"Business Phone : 555 0103\r\nE-mail : ewd@example.org\r\n\r\nBusiness Address : Nuenen"},
    {L"Barbara Liskov",
     L"Full Name : Barbara Liskov\r\nCompany : MIT\r\nJob Title : Institute Professor\r\n\r\n"
     L"Business Phone : 555 0104\r\nE-mail : liskov@example.org\r\n\r\nBusiness Address : Cambridge, Massachusetts"},
    {L"Donald Knuth",
     L"Full Name : Donald Knuth\r\nCompany : Stanford University\r\nJob Title : Professor Emeritus\r\n\r\n"
     L"Business Phone : 555 0105\r\nE-mail : knuth@example.org\r\n\r\nBusiness Address : Stanford, California"},
    {L"Frances Allen",
     L"Full Name : Frances Allen\r\nCompany : IBM Research\r\nJob Title : Fellow\r\n\r\n"
     L"Business Phone : 555 0106\r\nE-mail : fran@example.org\r\n\r\nBusiness Address : Yorktown Heights, New York"},
};
constexpr int kCardCount = sizeof(kCards) / sizeof(kCards[0]);

class ContactPaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    page.watchedFirst = UM_CONTACTCHOSEN;
    page.watchedLast = UM_FILTERLETTER;
    // The display's pointer, left wherever an earlier test put it, is parked away from the
    // page so that it sends no moves of its own over the cards.
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    ASSERT_TRUE(page.CreateAt(CRect(0, 0, 1000, 700)));
    ASSERT_TRUE(level1.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1000, 700), &page, 1));
    ASSERT_TRUE(level2.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1000, 700), &level1, 2));
    ASSERT_TRUE(pane.Create(L"", WS_CHILD | WS_VISIBLE | SS_CENTER, CRect(0, 0, 1000, 700), &level2, 0xFFFF));
    Pump();
  }

  void AddCards(int n, int kind = CContactGridPane::kKindContact) {
    for (int i = 0; i < n; i++) {
      const auto& card = kCards[i % kCardCount];
      pane.AddContact(0, card[1], kind, card[0]);
    }
  }
  CGridCtrl& Grid() { return pane.GetGrid(); }

  CRecorderWnd page;
  CStatic level1, level2;
  CContactGridPane pane;
};

TEST_F(ContactPaneTest, AClearedPaneHasOneEmptyPairOfRows) {
  AddCards(3);
  pane.ClearContacts();
  EXPECT_EQ(Grid().GetRowCount(), 2);
  EXPECT_EQ(pane.LastRowIndex(), 1);
  EXPECT_EQ(Grid().GetColumnCount(), CContactGridPane::kColumns);
  EXPECT_EQ(Grid().GetFixedRowCount(), 0);
  EXPECT_EQ(Grid().GetFixedColumnCount(), 0);
  EXPECT_EQ(pane.GetCardCounter(), 0);
  for (int row = 0; row < 2; row++)
    for (int col = 0; col < CContactGridPane::kColumns; col++) EXPECT_EQ(Grid().GetItemText(row, col), CString());
  EXPECT_FALSE(Grid().IsEditable());
  EXPECT_FALSE(Grid().GetDragAndDrop());
  EXPECT_EQ(Grid().GetBackgroundColour(), CContactGridPane::kGridBack);
}

TEST_F(ContactPaneTest, CardsFillRowsOfFiveUnderTheirNames) {
  for (int n = 1; n <= 12; n++) {
    const auto& card = kCards[(n - 1) % kCardCount];
    pane.AddContact(0, card[1], CContactGridPane::kKindContact, card[0]);
    const int row = 1 + 2 * ((n - 1) / 5), col = (n - 1) % 5;
    EXPECT_EQ(Grid().GetRowCount(), row + 1) << n;
    EXPECT_EQ(Grid().GetItemText(row, col), CString(card[1])) << n;
    EXPECT_EQ(Grid().GetItemText(row - 1, col), CString(card[0])) << n;
    EXPECT_EQ(Grid().GetItemImage(row - 1, col), CContactGridPane::kNameImage) << n;
    EXPECT_EQ(Grid().GetItemImage(row, col), -1) << n;
    EXPECT_EQ(Grid().GetItemFormat(row, col), static_cast<UINT>(DT_WORDBREAK)) << n;
  }
  // The sixth card opened rows 2 and 3, the seventh sits beside it.
  EXPECT_EQ(Grid().GetItemText(3, 0), CString(kCards[5][1]));
  EXPECT_EQ(Grid().GetItemText(3, 1), CString(kCards[6][1]));
  EXPECT_EQ(pane.LastRowIndex(), 5);
}

TEST_F(ContactPaneTest, NameRowsAreDarkAndCardRowsTall) {
  AddCards(6);
  for (int nameRow : {0, 2}) {
    EXPECT_EQ(Grid().GetRowHeight(nameRow), CContactGridPane::kNameRowHeight);
    for (int col = 0; col < CContactGridPane::kColumns; col++) {
      EXPECT_EQ(Grid().GetItemBkColour(nameRow, col), CContactGridPane::kNameRowBack) << nameRow << "," << col;
      EXPECT_EQ(Grid().GetItemFgColour(nameRow, col), CContactGridPane::kNameRowText) << nameRow << "," << col;
    }
  }
  for (int cardRow : {1, 3}) {
    EXPECT_EQ(Grid().GetRowHeight(cardRow), CContactGridPane::kCardRowHeight);
    for (int col = 0; col < CContactGridPane::kColumns; col++)
      EXPECT_EQ(Grid().GetItemBkColour(cardRow, col), CContactGridPane::kCardRowBack);
  }
  for (int col = 0; col < CContactGridPane::kColumns; col++)
    EXPECT_EQ(Grid().GetColumnWidth(col), CContactGridPane::kColumnWidth);
}

TEST_F(ContactPaneTest, OtherKindsUseUpAColumnButShowNothing) {
  pane.AddContact(0, L"not a contact", 2, L"nobody");
  EXPECT_EQ(pane.GetCardCounter(), 1);
  EXPECT_EQ(Grid().GetItemText(1, 0), CString());
  EXPECT_EQ(Grid().GetItemText(0, 0), CString());
  EXPECT_NE(Grid().GetRowHeight(1), CContactGridPane::kCardRowHeight);
  AddCards(1);
  EXPECT_EQ(Grid().GetItemText(1, 1), CString(kCards[0][1]));
  // Four more of other kinds fill the row; the next contact opens a new pair.
  for (int i = 0; i < 3; i++) pane.AddContact(0, L"x", 7, L"y");
  AddCards(1);
  EXPECT_EQ(Grid().GetRowCount(), 4);
  EXPECT_EQ(Grid().GetItemText(3, 0), CString(kCards[0][1]));
}

TEST_F(ContactPaneTest, ClickingACardTellsThePageWhichRow) {
  AddCards(7);
  Grid().RedrawWindow();
  auto click = [&](int row, int col) {
    CRect rect;
    ASSERT_TRUE(Grid().GetCellRect(row, col, &rect));
    const CPoint point = rect.CenterPoint();
    Grid().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    Grid().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    Pump();
  };
  click(0, 2);
  EXPECT_TRUE(page.messages.empty());
  click(1, 2);
  ASSERT_EQ(page.messages.size(), 1u);
  EXPECT_EQ(page.messages[0].message, static_cast<UINT>(UM_CONTACTCHOSEN));
  EXPECT_EQ(page.messages[0].wParam, 0u);
  EXPECT_EQ(page.messages[0].lParam, 1);
  page.messages.clear();
  click(3, 1);
  ASSERT_EQ(page.messages.size(), 1u);
  EXPECT_EQ(page.messages[0].lParam, 3);
}

TEST_F(ContactPaneTest, TheBarAndTheGridShareThePaneWidth) {
  pane.MoveWindow(0, 0, 900, 500);
  CRect gridRect, barRect;
  Grid().GetWindowRect(&gridRect);
  pane.GetAlphabetBar().GetWindowRect(&barRect);
  pane.ScreenToClient(&gridRect);
  pane.ScreenToClient(&barRect);
  EXPECT_EQ(gridRect, CRect(0, 0, 840, 500));
  EXPECT_EQ(barRect, CRect(840, 0, 900, 500));
}

struct LetterCase {
  const char* name;  // the case's name in test listings
  UINT id;
  WPARAM expected;  // 0: nothing is sent
};

class AlphabetBarTest : public ContactPaneTest, public ::testing::WithParamInterface<LetterCase> {};

TEST_P(AlphabetBarTest, AButtonSendsItsLetterToThePage) {
  const LetterCase& c = GetParam();
  CWnd* pButton = pane.GetAlphabetBar().GetDlgItem(c.id);
  ASSERT_NE(pButton, nullptr);
  pane.GetAlphabetBar().SendMessage(WM_COMMAND, MAKEWPARAM(c.id, BN_CLICKED),
                                    reinterpret_cast<LPARAM>(pButton->GetSafeHwnd()));
  Pump();
  if (!c.expected) {
    EXPECT_TRUE(page.messages.empty());
    return;
  }
  ASSERT_EQ(page.messages.size(), 1u);
  EXPECT_EQ(page.messages[0].message, static_cast<UINT>(UM_FILTERLETTER));
  EXPECT_EQ(page.messages[0].lParam, 0);
  if (c.expected == 1) {
    // "All" sends a pointer to the text, never a character code.
    EXPECT_EQ(page.messages[0].wParam, reinterpret_cast<WPARAM>(CAlphabetBar::AllText()));
    EXPECT_STREQ(reinterpret_cast<LPCWSTR>(page.messages[0].wParam), L"ALL");
  } else {
    EXPECT_EQ(page.messages[0].wParam, c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, AlphabetBarTest,
    ::testing::Values(LetterCase{"A", 1003, 'A'}, LetterCase{"R", 1020, 'R'}, LetterCase{"S", 1023, 'S'},
                      LetterCase{"Z", 1030, 'Z'}, LetterCase{"Digit1", 1035, '1'}, LetterCase{"Digit9", 1043, '9'},
                      LetterCase{"Digit0", 1044, '0'}, LetterCase{"All", 1033, 1}, LetterCase{"HiddenAll", 1031, 1},
                      LetterCase{"HiddenQ", 1021, 0}, LetterCase{"HiddenR", 1022, 0}),
    [](const ::testing::TestParamInfo<LetterCase>& info) { return std::string(info.param.name); });

TEST_F(ContactPaneTest, APressedButtonIsHeardLikeAClick) {
  CWnd* pButton = pane.GetAlphabetBar().GetDlgItem(1005);
  ASSERT_NE(pButton, nullptr);
  pButton->SendMessage(BM_CLICK);
  Pump();
  ASSERT_EQ(page.messages.size(), 1u);
  EXPECT_EQ(page.messages[0].wParam, static_cast<WPARAM>('C'));
}

TEST_F(ContactPaneTest, LetterButtonsAreToolkitButtonsInTheToolkitFont) {
  CAlphabetBar& bar = pane.GetAlphabetBar();
  HFONT hToolkitFont = static_cast<HFONT>(XTGetGlobalUIData().font.GetSafeHandle());
  ASSERT_NE(hToolkitFont, nullptr);
  ASSERT_EQ(CAlphabetBar::LetterButtonCount(), 28);
  for (UINT id = IDC_ALPHA_FIRST; id <= IDC_ALPHA_LAST; id++) {
    CXTButton* pButton = bar.GetLetterButton(id);
    ASSERT_NE(pButton, nullptr) << id;
    ASSERT_EQ(pButton->GetSafeHwnd(), bar.GetDlgItem(id)->GetSafeHwnd()) << id;
    EXPECT_EQ(CWnd::FromHandlePermanent(pButton->m_hWnd), pButton) << id;
    EXPECT_EQ(pButton->GetXButtonStyle(), (DWORD)BS_XT_WINXP_COMPAT) << id;
    EXPECT_EQ(pButton->GetStyle() & 0x0F, (DWORD)BS_OWNERDRAW) << id;
    EXPECT_EQ(reinterpret_cast<HFONT>(pButton->SendMessage(WM_GETFONT)), hToolkitFont) << id;
  }
  // The cards are written in the same font.
  LOGFONT lfToolkit = {};
  XTGetGlobalUIData().font.GetLogFont(&lfToolkit);
  EXPECT_STREQ(pane.GetCellFont().lfFaceName, lfToolkit.lfFaceName);
  EXPECT_EQ(pane.GetCellFont().lfHeight, lfToolkit.lfHeight);
}

TEST_F(ContactPaneTest, TheBarTemplateLaysOutItsButtons) {
  CAlphabetBar& bar = pane.GetAlphabetBar();
  EXPECT_FALSE(bar.GetDlgItem(1021)->IsWindowVisible());
  EXPECT_FALSE(bar.GetDlgItem(1031)->IsWindowVisible());
  EXPECT_TRUE(bar.GetDlgItem(1033)->IsWindowVisible());
  CString caption;
  bar.GetDlgItem(1033)->GetWindowText(caption);
  EXPECT_EQ(caption, CString(L"All"));
  // Two columns: "A" left of "B" on one line, "C" below "A".
  CRect a, b, c;
  bar.GetDlgItem(1003)->GetWindowRect(&a);
  bar.GetDlgItem(1004)->GetWindowRect(&b);
  bar.GetDlgItem(1005)->GetWindowRect(&c);
  EXPECT_EQ(a.top, b.top);
  EXPECT_LT(a.left, b.left);
  EXPECT_EQ(a.left, c.left);
  EXPECT_GT(c.top, a.top);
}

// ---- Listing from a worker thread ----

// Records the threads that make grid cells.
std::set<DWORD> g_cellThreads;
class CThreadNotingCell : public CGridCell {
  DECLARE_DYNCREATE(CThreadNotingCell)

 public:
  CThreadNotingCell() { g_cellThreads.insert(::GetCurrentThreadId()); }
};
IMPLEMENT_DYNCREATE(CThreadNotingCell, CGridCell)

TEST_F(ContactPaneTest, CardsAddedByAWorkerAreMadeOnThePanesThread) {
  g_cellThreads.clear();
  Grid().SetDefaultCellType(RUNTIME_CLASS(CThreadNotingCell));
  constexpr int kWorkerCards = 60;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (int i = 0; i < kWorkerCards; i++) {
      const auto& card = kCards[i % kCardCount];
      pane.AddContact(0, card[1], CContactGridPane::kKindContact, card[0]);
    }
    done = true;
  });
  // The interface thread keeps painting while the worker lists.
  while (!done) {
    Grid().Invalidate();
    Pump(1);
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  worker.join();
  EXPECT_EQ(Grid().GetRowCount(), 2 * (kWorkerCards / 5));
  EXPECT_EQ(Grid().GetItemText(Grid().GetRowCount() - 1, 4), CString(kCards[(kWorkerCards - 1) % kCardCount][1]));
  EXPECT_EQ(g_cellThreads, std::set<DWORD>({::GetCurrentThreadId()}));
}

// ---- A picture of the pane ----

TEST_F(ContactPaneTest, ScreenshotOfAPaneFullOfCards) {
  AddCards(kCardCount * 2);
  PumpFor(200);
  CSnapshot shot(1000, 700);
  page.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump();
  ASSERT_TRUE(shot.CopyFrom(page.GetSafeHwnd(), testsupport::WindowArea::Whole));
  // Name rows are black with white names; card rows in the card colour.
  CRect nameCell, cardCell;
  ASSERT_TRUE(Grid().GetCellRect(0, 0, &nameCell));
  ASSERT_TRUE(Grid().GetCellRect(1, 0, &cardCell));
  CRect gridRect;
  Grid().GetWindowRect(&gridRect);
  page.ScreenToClient(&gridRect);
  CPoint clientOrigin(0, 0);
  Grid().ClientToScreen(&clientOrigin);
  page.ScreenToClient(&clientOrigin);
  nameCell.OffsetRect(clientOrigin);
  cardCell.OffsetRect(clientOrigin);
  EXPECT_TRUE(shot.Contains(nameCell, CContactGridPane::kNameRowBack));
  EXPECT_TRUE(shot.Contains(nameCell, CContactGridPane::kNameRowText));
  EXPECT_TRUE(shot.Contains(cardCell, CContactGridPane::kCardRowBack));
  EXPECT_TRUE(shot.SavePng(ArtifactPath(L"contact-pane.png")));
}

}  // namespace
