// Writes N contacts of 66 fields through CSpreadsheetWriter, as the save loop does (rows
// added, then one Commit), to a new workbook and to a new CSV file, and times both. It also
// writes the same rows as a UTF-8 CSV with a header line for LibreOffice to convert (run.sh).
//
//   bench_spreadsheet.exe [--rows N] [--out FOLDER]
#include <framework.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ContactRecord.h"
#include "ExcelDriver.h"
#include "SpreadsheetWriter.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Address-book-like rows: names and towns repeat, addresses and numbers are unique, and
// about half of the fields are empty.
std::vector<std::vector<std::wstring>> MakeContacts(int count) {
  const wchar_t* first[] = {L"Anna", L"J\u00FCrgen", L"Sean", L"Mar\u00EDa", L"\u592A\u90CE", L"Olga"};
  const wchar_t* last[] = {L"O'Brien", L"Schmidt", L"Dupont", L"\u5C71\u7530", L"Kowalski"};
  const wchar_t* town[] = {L"Dublin", L"M\u00FCnchen", L"Lyon", L"Osaka", L"Gda\u0144sk"};
  std::vector<std::vector<std::wstring>> rows(count, std::vector<std::wstring>(CContactRecord::kSlotCount));
  for (int r = 0; r < count; ++r) {
    auto& row = rows[r];
    const std::wstring n = std::to_wstring(r);
    row[6] = first[r % 6];
    row[8] = last[r % 5];
    row[1] = row[6] + L" " + row[8];
    row[15] = L"contact" + n + L"@example.com";
    row[20] = L"+353 1 " + std::to_wstring(5000000 + r);
    for (int c = 21; c < CContactRecord::kSlotCount; c += 2) {
      switch (c % 4) {
        case 1: row[c] = town[(r + c) % 5]; break;
        case 3: row[c] = L"Dept " + std::to_wstring((r + c) % 40) + L", floor " + std::to_wstring(c); break;
      }
    }
  }
  return rows;
}

std::vector<std::wstring> Columns() {
  std::vector<std::wstring> names;
  for (int slot = 0; slot < CContactRecord::kSlotCount; ++slot) {
    const char* name = CContactRecord::ColumnName(slot);
    names.emplace_back(name, name + strlen(name));
  }
  return names;
}

CStringArray Array(const std::vector<std::wstring>& cells) {
  CStringArray array;
  array.SetSize(static_cast<INT_PTR>(cells.size()));
  for (size_t i = 0; i < cells.size(); ++i) array[static_cast<INT_PTR>(i)] = cells[i].c_str();
  return array;
}

struct Timing {
  double add = 0, commit = 0;
  bool ok = false;
};

// The save loop's use of one writer: a row per contact (the header row before the first,
// when the writer asks for it), then one Commit. The arrays are made beforehand, as the
// record reading makes them before the writer sees them.
Timing Save(const fs::path& file, const wchar_t* secondText, const std::vector<std::wstring>& names,
            std::vector<CStringArray>& contacts) {
  std::error_code ec;
  fs::remove(file, ec);
  Timing t;
  CStringArray header = Array(names);
  const auto start = Clock::now();
  CSpreadsheetWriter writer(file.wstring().c_str(), secondText, false);
  for (CStringArray& cells : contacts) {
    if (!writer.AddRow(cells, 0, false) && writer.GetLastError() == L"No header row. Add header row first") {
      writer.AddHeaders(header, false);
      writer.AddRow(cells, 0, false);
    }
  }
  t.add = Since(start);
  const auto commit = Clock::now();
  t.ok = writer.Commit();
  t.commit = Since(commit);
  if (!t.ok) fwprintf(stderr, L"commit of %ls failed: %ls\n", file.c_str(), writer.GetLastError().GetString());
  return t;
}

std::string Utf8(const std::wstring& text) {
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

void WritePeerInput(const fs::path& file, const std::vector<std::wstring>& names,
                    const std::vector<std::vector<std::wstring>>& contacts) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  auto line = [&](const std::vector<std::wstring>& cells) {
    std::string text;
    for (size_t c = 0; c < cells.size(); ++c) text += (c ? ",\"" : "\"") + Utf8(cells[c]) + "\"";
    out << text << "\r\n";
  };
  line(names);
  for (const auto& contact : contacts) line(contact);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int rows = 60000;
  fs::path dir = fs::temp_directory_path() / L"vorlix-spreadsheet-bench";
  for (int i = 1; i + 1 < argc; i += 2) {
    if (wcscmp(argv[i], L"--rows") == 0) rows = _wtoi(argv[i + 1]);
    else if (wcscmp(argv[i], L"--out") == 0) dir = argv[i + 1];
  }
  fs::create_directories(dir);
  RegisterExcelDriver();

  const std::vector<std::wstring> names = Columns();
  const std::vector<std::vector<std::wstring>> contacts = MakeContacts(rows);

  std::vector<CStringArray> arrays;
  arrays.reserve(contacts.size());
  for (const auto& contact : contacts) arrays.push_back(Array(contact));
  const Timing xls = Save(dir / L"bench.xls", L"Contacts", names, arrays);
  const Timing csv = Save(dir / L"bench.csv", L",", names, arrays);
  const double csvMb = static_cast<double>(fs::file_size(dir / L"bench.csv")) / 1e6;
  WritePeerInput(dir / L"peer.csv", names, contacts);

  printf("rows %d x %d columns\n", rows, CContactRecord::kSlotCount);
  printf("xls: rows added %.3f s, Commit %.3f s, total %.3f s, %.1f MB%s\n", xls.add, xls.commit,
         xls.add + xls.commit, static_cast<double>(fs::file_size(dir / L"bench.xls")) / 1e6, xls.ok ? "" : " FAILED");
  printf("csv: rows added %.3f s, Commit %.3f s (%.0f MB/s), total %.3f s (%.0f MB/s), %.1f MB%s\n", csv.add,
         csv.commit, csvMb / csv.commit, csv.add + csv.commit, csvMb / (csv.add + csv.commit), csvMb,
         csv.ok ? "" : " FAILED");
  printf("xls_seconds=%.3f\n", xls.add + xls.commit);
  return xls.ok && csv.ok ? 0 : 1;
}
