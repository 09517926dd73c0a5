// Measures how the grid copes with large listings: adding cards to the contact pane,
// repainting it, and sorting a large grid.
#include <cstdio>
#include <cwchar>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "ContactGridPane.h"
#include "bench_clock.h"

namespace {

using CStopwatch = bench::Stopwatch;

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

// A plain top-level window to hold the pane.
class CHostWnd : public CWnd {
 public:
  BOOL CreateHost() {
    LPCTSTR cls = AfxRegisterWndClass(0, ::LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return CreateEx(0, cls, L"grid bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 1000, 700, nullptr, nullptr);
  }
};

// Deterministic pseudo-random words, so that every run sorts the same rows.
std::wstring Word(unsigned& seed) {
  std::wstring word;
  for (int i = 0; i < 8; i++) {
    seed = seed * 1103515245u + 12345u;
    word += static_cast<wchar_t>(L'a' + (seed >> 16) % 26);
  }
  return word;
}

double RepaintMs(CWnd& wnd) {
  CStopwatch watch;
  wnd.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Pump();
  return watch.Milliseconds();
}

void BenchCards(int nCards) {
  CHostWnd host;
  CContactGridPane pane;
  if (!host.CreateHost() || !pane.Create(L"", WS_CHILD | WS_VISIBLE | SS_CENTER, CRect(0, 0, 1000, 700), &host, 0xFFFF)) {
    fwprintf(stderr, L"cannot create the pane\n");
    return;
  }
  Pump();
  const CString card =
      L"Full Name : Ada Lovelace\r\nCompany : Analytical Engines Ltd\r\nJob Title : Mathematician\r\n\r\n"
      L"Business Phone : 555 0100\r\nE-mail : ada@example.org\r\n\r\nBusiness Address : London";
  pane.ClearContacts();
  const int nChunk = std::max(1, nCards / 10);
  wprintf(L"adding %d cards, in steps of %d:\n", nCards, nChunk);
  CStopwatch total;
  for (int done = 0; done < nCards;) {
    CStopwatch watch;
    const int n = std::min(nChunk, nCards - done);
    for (int i = 0; i < n; i++) {
      CString name;
      name.Format(L"Contact %d", done + i);
      pane.AddContact(0, card, CContactGridPane::kKindContact, name);
    }
    done += n;
    Pump();
    const double ms = watch.Milliseconds();
    wprintf(L"  cards %6d-%6d: %8.1f ms (%.2f us per card)\n", done - n + 1, done, ms, 1000.0 * ms / n);
  }
  wprintf(L"all cards: %.1f ms; grid has %d rows\n", total.Milliseconds(), pane.GetGrid().GetRowCount());

  wprintf(L"repaint at the top: %.1f ms\n", RepaintMs(host));
  CStopwatch scroll;
  pane.GetGrid().SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
  wprintf(L"scroll to the bottom: %.1f ms\n", scroll.Milliseconds());
  wprintf(L"repaint at the bottom: %.1f ms\n", RepaintMs(host));

  CStopwatch clear;
  pane.ClearContacts();
  wprintf(L"clearing: %.1f ms\n", clear.Milliseconds());

  // As the folder listing does it: a worker adds the cards, the interface thread carries
  // each change out between its other messages, repainting whenever it is idle. The
  // second run hides the pane, which leaves the cost of passing the cards over.
  for (bool bVisible : {true, false}) {
    pane.ClearContacts();
    host.ShowWindow(bVisible ? SW_SHOWNA : SW_HIDE);
    Pump();
    const int nWorkerCards = bVisible ? std::min(nCards, 10000) : nCards;
    std::atomic<bool> done{false};
    CStopwatch worker;
    std::thread listing([&] {
      for (int i = 0; i < nWorkerCards; i++) pane.AddContact(0, card, CContactGridPane::kKindContact, L"Contact");
      done = true;
    });
    while (!done) {
      Pump();
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    listing.join();
    const double ms = worker.Milliseconds();
    wprintf(L"%d cards from a worker thread, pane %ls: %.1f ms (%.2f us per card); grid has %d rows\n",
            nWorkerCards, bVisible ? L"shown" : L"hidden", ms, 1000.0 * ms / nWorkerCards,
            pane.GetGrid().GetRowCount());
  }
  host.ShowWindow(SW_SHOWNA);
  wprintf(L"repaint after the worker: %.1f ms\n", RepaintMs(host));
}

void BenchSort(int nRows) {
  CGridCtrl grid(nRows + 1, 3, 1, 1);
  unsigned seed = 20261210;
  for (int row = 1; row <= nRows; row++) {
    grid.SetItemText(row, 1, Word(seed).c_str());
    grid.SetItemText(row, 2, Word(seed).c_str());
  }
  for (BOOL bAscending : {TRUE, FALSE}) {
    CStopwatch watch;
    grid.SortTextItems(1, bAscending);
    const double ms = watch.Milliseconds();
    bool sorted = true;
    for (int row = 2; row <= nRows && sorted; row++) {
      const int order = wcscmp(grid.GetItemText(row - 1, 1), grid.GetItemText(row, 1));
      sorted = bAscending ? order <= 0 : order >= 0;
    }
    wprintf(L"sort %d rows %ls: %.1f ms (%ls)\n", nRows, bAscending ? L"ascending" : L"descending", ms,
            sorted ? L"in order" : L"OUT OF ORDER");
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  const int nCards = argc > 1 ? _wtoi(argv[1]) : 100000;
  const int nSortRows = argc > 2 ? _wtoi(argv[2]) : 100000;
  if (nCards <= 0 || nSortRows <= 1) {
    fwprintf(stderr, L"usage: grid_bench [cards > 0] [sort rows > 1]\n");
    return 2;
  }
  BenchCards(nCards);
  BenchSort(nSortRows);
  return 0;
}
