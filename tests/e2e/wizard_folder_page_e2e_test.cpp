// The folder page end to end: Vorlix.exe as its own process, a book previewed through the
// file page; the cards read back through the grid's own Ctrl+A and Ctrl+C (the copies are
// kept in build/artifacts/wizard_run for the Linux-side check, which compares them with the
// book field by field); first-letter and "All" listings; Stop during the scan and during a
// listing, answered No and then Yes, with the program usable afterwards.
#include <framework.h>

#include <fstream>
#include <string>
#include <vector>

#include "wizard_fixture.h"

namespace {

using namespace wizarde2e;

const int kWaitDlgStopId = 1003, kLetterB = 1004, kLetterZ = 1030, kLetterAll = 1033;
const wchar_t kWaitCaption[] = L"Please wait while current process finish....";
const wchar_t kStopQuestion[] = L"Are you sure you want to stop current process ?";

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

std::string Ansi(const std::wstring& text) {
  const int n = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
  return out;
}

class WizardFolderPageE2e : public CWizardFixture {
 protected:
  HWND Tree() { return FindChild(Page(1), kFolderTreeId); }
  HWND Grid() { return FindClassDeep(Page(1), L"MFCGridCtrl"); }
  HWND Letters() { return ::GetParent(FindChild(Page(1), kLetterAll)); }
  HWND WaitDialog() { return Dialog(kWaitCaption); }
  bool Busy() { return Button(1, L"Export") == nullptr; }

  // The grid's cards through its own keys: a click on the first card, Ctrl+A, Ctrl+C.
  std::string CopyCards() {
    ClearClipboard();
    uidriver::Click(Grid(), POINT{65, 90});
    ::Sleep(300);
    uidriver::PressKey('A', true);
    ::Sleep(300);
    uidriver::PressKey('C', true);
    std::string text;
    WaitFor([&] { return !(text = ReadClipboardAnsi()).empty(); }, 5000);
    return text;
  }
  // Keeps a copy and what it was taken of for the Linux-side comparison with the book.
  void KeepCopy(const std::string& text, const std::wstring& name, const std::wstring& folder, wchar_t letter) {
    const std::wstring path = testsupport::ArtifactPath(L"wizard_run\\" + name);
    std::ofstream(path.c_str(), std::ios::binary) << text;
    std::ofstream meta((path + L".folder").c_str(), std::ios::binary);
    meta << Ansi(folder) << "\n" << (letter ? static_cast<char>(letter) : '*') << "\n";
  }
  // The names the grid shows: the cells of its name rows, in order.
  size_t Cards(const std::string& copy) { return Count(copy, "From : "); }

  // A copy of a book with, when pauseMs is given, a marker beside it that slows its opening.
  std::wstring CopyOfBook(const std::wstring& source, const wchar_t* name, const char* pauseMs) {
    ::CreateDirectoryW(L"C:\\books", nullptr);
    const std::wstring book = std::wstring(L"C:\\books\\") + name;
    EXPECT_TRUE(::CopyFileW(source.c_str(), book.c_str(), FALSE));
    const std::wstring marker = book + L".slow-read";
    if (pauseMs) std::ofstream(marker.c_str()) << pauseMs << "\n";
    else ::DeleteFileW(marker.c_str());
    return book;
  }
};

}  // namespace

TEST_F(WizardFolderPageE2e, CardsCopiedWithCtrlAAndCtrlCAreTheBooksAndLettersFilterThem) {
  ListOnly({kSampleBook});
  PreviewFirstRow();
  WaitForListing();
  KeepPicture(m_hMain, L"page2_first_folder.png");
  const std::wstring folder = ReadTreeSelection(Tree());
  ASSERT_FALSE(folder.empty()) << "no folder selected after the scan";
  ASSERT_NE(Grid(), nullptr);

  const std::string all = CopyCards();
  ASSERT_FALSE(all.empty()) << "Ctrl+C put no text on the clipboard";
  KeepCopy(all, L"grid-copy-first.txt", folder, 0);
  EXPECT_GT(Cards(all), 0u);
  // Every card has its name above it: as many name cells as cards.
  EXPECT_EQ(Count(all, "Last Name : "), Cards(all));

  // B: only the contacts whose first name starts with B (or b).
  ClickAndWaitForListing(FindChild(Letters(), kLetterB));
  KeepPicture(m_hMain, L"page2_letter_b.png");
  const std::string lettered = CopyCards();
  KeepCopy(lettered, L"grid-copy-b.txt", folder, L'B');
  EXPECT_LT(Cards(lettered), Cards(all));
  for (size_t at = lettered.find("First Name : "); at != std::string::npos; at = lettered.find("First Name : ", at + 1)) {
    const char first = lettered[at + 13];
    EXPECT_TRUE(first == 'B' || first == 'b' || first == '\r') << lettered.substr(at, 40);
  }

  // "All" lists the whole folder again.
  ClickAndWaitForListing(FindChild(Letters(), kLetterAll));
  const std::string again = CopyCards();
  EXPECT_EQ(again, all);
  EXPECT_EQ(m_answers->Count(), 0u) << "no message on the way: "
                                    << std::string(m_answers->Last().begin(), m_answers->Last().end());
}

TEST_F(WizardFolderPageE2e, AFolderOfTheTreeClickedIsListedAndALetterWithoutContactsSaysSo) {
  ListOnly({kSampleBook});
  PreviewFirstRow();
  WaitForListing();
  // Z: no first name starts with it in the first folder: the empty-folder message.
  ClickAndWaitForListing(FindChild(Letters(), kLetterZ));
  KeepPicture(m_hMain, L"page2_letter_without_contacts.png");
  const std::string none = CopyCards();
  EXPECT_EQ(Cards(none), 0u);
}

TEST_F(WizardFolderPageE2e, StopDuringTheScanNoGoesOnYesEndsItAndThePageStaysUsable) {
  const std::wstring book = CopyOfBook(kSampleBook, L"slow names.nsf", "4000");
  ListOnly({book});
  PreviewFirstRow();
  HWND hWait = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (hWait = WaitDialog()) != nullptr; }, 10000)) << "no wait window for the scan";
  KeepPicture(hWait, L"wait_during_scan.png");
  m_answers->Queue(L"&No", L"wizard\\stop_question_scan.png");
  uidriver::Click(::GetDlgItem(hWait, kWaitDlgStopId));
  ASSERT_TRUE(WaitFor([&] { return m_answers->Count() == 1; }, 20000));
  EXPECT_EQ(m_answers->Last(), kStopQuestion);
  // No: the scan goes on, and the first folder is listed.
  WaitForListing(30000);
  EXPECT_GT(::SendMessageW(Tree(), TVM_GETCOUNT, 0, 0), 1);

  // Back and Preview again: a new scan, stopped with Yes.
  uidriver::Click(Button(1, L"Back"));
  ASSERT_TRUE(WaitFor([&] { return PageShown(0); }, 5000));
  PreviewFirstRow();
  ASSERT_TRUE(WaitFor([&] { return (hWait = WaitDialog()) != nullptr; }, 10000));
  m_answers->Queue(L"&Yes");
  uidriver::Click(::GetDlgItem(hWait, kWaitDlgStopId));
  ASSERT_TRUE(WaitFor([&] { return m_answers->Count() == 2; }, 20000));
  EXPECT_EQ(m_answers->Last(), kStopQuestion);
  // Stopped: no listing follows, the buttons come back and the wait window goes.
  ASSERT_TRUE(WaitFor([&] { return !Busy() && !WaitDialog(); }, 20000));
  KeepPicture(m_hMain, L"page2_scan_stopped.png");
  EXPECT_TRUE(m_app.Running());
  EXPECT_EQ(m_answers->Count(), 2u) << "no failure message after a stop: "
                                    << std::string(m_answers->Last().begin(), m_answers->Last().end());

  // Usable: Back, the marker gone, Preview scans the whole book again.
  CopyOfBook(kSampleBook, L"slow names.nsf", nullptr);
  uidriver::Click(Button(1, L"Back"));
  ASSERT_TRUE(WaitFor([&] { return PageShown(0); }, 5000));
  PreviewFirstRow();
  WaitForListing(30000);
  EXPECT_GT(::SendMessageW(Tree(), TVM_GETCOUNT, 0, 0), 1);
}

TEST_F(WizardFolderPageE2e, StopDuringAListingNoGoesOnYesKeepsWhatWasListed) {
  const std::wstring book = CopyOfBook(FromBuild(E2E_BOOK_5000), L"big names.nsf", nullptr);
  ListOnly({book});
  PreviewFirstRow();
  // The scan is quick; the first folder's 5,000 cards take a while.
  HWND hWait = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    hWait = WaitDialog();
    return hWait && ::GetDlgItem(Letters(), kLetterAll) && ::SendMessageW(Tree(), TVM_GETCOUNT, 0, 0) > 1;
  }, 60000));
  ::Sleep(1000);
  hWait = WaitDialog();
  ASSERT_NE(hWait, nullptr) << "the listing ended before Stop could be clicked";
  KeepPicture(m_hMain, L"page2_during_listing.png");
  m_answers->Queue(L"&No", L"wizard\\stop_question_listing.png");
  uidriver::Click(::GetDlgItem(hWait, kWaitDlgStopId));
  ASSERT_TRUE(WaitFor([&] { return m_answers->Count() == 1; }, 20000));
  EXPECT_EQ(m_answers->Last(), kStopQuestion);
  ::Sleep(500);
  ASSERT_NE(WaitDialog(), nullptr) << "No stopped the listing";
  m_answers->Queue(L"&Yes");
  uidriver::Click(::GetDlgItem(WaitDialog(), kWaitDlgStopId));
  ASSERT_TRUE(WaitFor([&] { return m_answers->Count() == 2; }, 20000));
  ASSERT_TRUE(WaitFor([&] { return !Busy() && !WaitDialog(); }, 30000));
  KeepPicture(m_hMain, L"page2_listing_stopped.png");
  // What was listed stays: some cards, fewer than the folder holds.
  const std::string copy = CopyCards();
  EXPECT_GT(Cards(copy), 0u);
  EXPECT_LT(Cards(copy), 5000u);
  // Usable: a letter lists again.
  uidriver::Click(FindChild(Letters(), kLetterB));
  WaitFor([&] { return Busy(); }, 3000);
  WaitForListing(60000);
  EXPECT_EQ(m_answers->Count(), 2u);
  EXPECT_TRUE(m_app.Running());
}
