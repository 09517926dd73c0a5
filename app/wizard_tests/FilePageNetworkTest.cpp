// The file page's handling of the paths the open-file dialog hands back: books on a network
// share are listed with the advice to copy them first. (Wine's open-file dialog makes a
// typed \\server\share path into one on the current drive, so the paths are handed to the
// page where the dialog's result arrives.) Message boxes answered by their text.
#include <gtest/gtest.h>

#include <framework.h>

#include <string>
#include <vector>

#include "UiDriver.h"
#include "WelcomeView.h"
#include "test_pump.h"
#include "test_window.h"

namespace {

const wchar_t kNetworkAdvice[] =
    L"You are selecting the file from network. \r\nIt's advisable to copy the file to local computer for better "
    L"saving results ";

std::vector<std::wstring> Rows(CListCtrl& list) {
  std::vector<std::wstring> rows;
  for (int i = 0; i < list.GetItemCount(); ++i) rows.push_back(list.GetItemText(i, 0).GetString());
  return rows;
}

}  // namespace

TEST(FilePagePaths, NetworkBooksAreListedWithTheAdviceToCopyThem) {
  CWnd host;
  ASSERT_TRUE(testsupport::CreateTestWindow(host, CRect(0, 0, 900, 700), L"page host"));
  auto* page = new C1TarrowWelcomeView;
  ASSERT_TRUE(page->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 800, 600), &host, 0xE900, nullptr));
  page->OnInitialUpdate();
  uidriver::CMessageBoxAnswerer answers;

  const struct {
    bool clearFirst;
    std::vector<const wchar_t*> chosen;
    std::vector<const wchar_t*> rows;  // top to bottom afterwards
    bool advised;
  } cases[] = {
      // A book on a share: listed as it is, with the advice.
      {true, {L"\\\\fileserver\\share\\names.nsf"}, {L"\\\\fileserver\\share\\names.nsf"}, true},
      // A local book beside it: the list is walked again and the share's row asks again.
      {false,
       {L"C:\\Notes\\Data\\names.nsf"},
       {L"C:\\Notes\\Data\\names.nsf", L"\\\\fileserver\\share\\names.nsf"},
       true},
      // Local books only: no advice.
      {true, {L"C:\\Notes\\Data\\names.nsf"}, {L"C:\\Notes\\Data\\names.nsf"}, false},
      // A shared database that is no address book is dropped, and with it the advice.
      {true, {L"\\\\fileserver\\share\\mail.nsf"}, {}, false},
      // Two shared books and a local one in one choice: one advice for all.
      {true,
       {L"\\\\nohost\\share\\NAMES.NSF", L"C:\\books\\team names.nsf", L"\\\\fileserver\\share\\names.nsf"},
       {L"\\\\fileserver\\share\\names.nsf", L"C:\\books\\team names.nsf", L"\\\\nohost\\share\\NAMES.NSF"},
       true},
  };
  int n = 0;
  for (const auto& c : cases) {
    ++n;
    if (c.clearFirst) {
      page->SendMessage(WM_COMMAND, MAKEWPARAM(C1TarrowWelcomeView::kIdRemoveAll, BN_CLICKED),
                        reinterpret_cast<LPARAM>(page->m_btnRemoveAll.GetSafeHwnd()));
      ASSERT_EQ(page->m_lstFiles.GetItemCount(), 0) << n;
    }
    const size_t before = answers.Count();
    if (c.advised) answers.Queue(L"OK", n == 1 ? L"wizard\\box_network_file.png" : L"");
    CStringArray chosen;
    for (const wchar_t* p : c.chosen) chosen.Add(p);
    const DWORD start = ::GetTickCount();
    page->AddChosenFiles(chosen);
    testsupport::PumpFor(300);
    const auto texts = answers.Texts();
    ASSERT_EQ(texts.size(), before + (c.advised ? 1 : 0)) << "case " << n;
    if (c.advised) {
      EXPECT_EQ(texts.back(), kNetworkAdvice) << "case " << n;
      // The row of an unreachable share is ready without waiting for the network.
      EXPECT_LT(::GetTickCount() - start, 5000u) << "case " << n;
    }
    std::vector<std::wstring> expected(c.rows.begin(), c.rows.end());
    EXPECT_EQ(Rows(page->m_lstFiles), expected) << "case " << n;
    for (int i = 0; i < page->m_lstFiles.GetItemCount(); ++i)
      EXPECT_EQ(page->m_lstFiles.GetItemText(i, 1), CString()) << "case " << n;
  }
  host.DestroyWindow();
}
