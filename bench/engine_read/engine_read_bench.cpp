// Speed of the engine's reading road on a large address book: opening and scanning the
// database (as the save loop does, quietly), then reading every contact of a folder into
// its record and card text (as the contact listing does, without a pane to show them).
//
//   engine_read_bench BOOK.nsf [FOLDER]      (FOLDER defaults to Contacts)
//
// Prints the timings and the records per second; exit code 1 when the book cannot be read.
#include <framework.h>

#include <chrono>
#include <cstdio>

#include "LnStrings.h"
#include "bench_clock.h"
#include "NotesReader.h"

namespace {

using CTimer = bench::Stopwatch;

// Counts the cards the listing produces, and their text, so nothing is optimised away; and
// where the time goes.
struct CardTally {
  long long records = 0;
  long long characters = 0;
  double open = 0, classify = 0, record = 0, card = 0;  // seconds per phase
};

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  ::QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / frequency;
}

// Reads every document of the current folder as the listing does, and tallies the cards.
CardTally ReadFolder(CNotesReader& reader) {
  CardTally tally;
  LNViewFolder& folder = reader.GetCurrentFolder();
  const LNINT count = folder.GetEntryCount();
  for (LNINT i = 0; i < count; ++i) {
    double t0 = Now();
    LNDocument document;
    try {
      folder[i].GetDocument(&document);
      document.Open(0);
    } catch (LNSTATUS) {
      continue;
    }
    double t1 = Now();
    tally.open += t1 - t0;
    const bool contact = CNotesReader::ClassifyDocument(document) == CNotesReader::kKindContact;
    double t2 = Now();
    tally.classify += t2 - t1;
    if (contact) {
      const CContactRecord record = reader.BuildContactRecord(document, nullptr, nullptr, FALSE);
      double t3 = Now();
      tally.record += t3 - t2;
      const CString card = record.GetCardText();
      tally.card += Now() - t3;
      ++tally.records;
      tally.characters += card.GetLength();
    }
    document.Close();
  }
  return tally;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fwprintf(stderr, L"usage: engine_read_bench BOOK.nsf [FOLDER]\n");
    return 2;
  }
  const CString strBook = argv[1];
  const CString strFolder = argc > 2 ? CString(argv[2]) : CString(L"Contacts");

  CNotesReader reader;
  if (!reader.InitSession()) {
    std::fwprintf(stderr, L"%ls\n", reader.GetLastError().GetString());
    return 1;
  }

  CTimer scanTimer;
  CStringArray paths;
  if (!reader.OpenAndScan(strBook, L"", &paths, TRUE)) {
    std::fwprintf(stderr, L"%ls: %ls\n", strBook.GetString(), reader.GetLastError().GetString());
    return 1;
  }
  const double scanSeconds = scanTimer.Seconds();

  LNViewFolder& folder = reader.GetCurrentFolder();
  try {
    reader.GetDatabase().GetViewFolder(CStringToLNString(strFolder), &folder);
    folder.Open(0);
  } catch (LNSTATUS status) {
    std::fwprintf(stderr, L"%ls: %ls\n", strFolder.GetString(), NotesErrorText(status).GetString());
    return 1;
  }
  CTimer readTimer;
  const CardTally tally = ReadFolder(reader);
  const double readSeconds = readTimer.Seconds();
  folder.Close();

  // The listing itself (progress, filter test, card text), without a pane.
  CTimer listTimer;
  reader.OpenFolder(nullptr, strFolder + L"\\");
  const double listSeconds = listTimer.Seconds();

  std::wprintf(L"open and scan: %d folders in %.3f s\n", static_cast<int>(paths.GetSize()), scanSeconds);
  std::wprintf(L"records read:  %lld in %.3f s = %.0f records/s (%lld card characters)\n", tally.records,
               readSeconds, tally.records / readSeconds, tally.characters);
  std::wprintf(L"  phases: open %.3f s, classify %.3f s, record %.3f s, card text %.3f s\n", tally.open,
               tally.classify, tally.record, tally.card);
  std::wprintf(L"listing:       %.3f s = %.0f records/s\n", listSeconds, tally.records / listSeconds);
  // The whole road as the program runs it: scan the book, then list the folder.
  std::wprintf(L"scan + listing: %.0f records/s\n", tally.records / (scanSeconds + listSeconds));
  reader.Close();
  return tally.records > 0 ? 0 : 1;
}
