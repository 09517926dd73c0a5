#include "spreadsheet_support.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "ContactRecord.h"
#include "vorlix/xls/workbook.hpp"

namespace sheettest {

namespace {

// The program registers its Excel driver at start-up; so do these tests.
class DriverEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { RegisterExcelDriver(); }
};
const ::testing::Environment* const kDriverEnvironment =
    ::testing::AddGlobalTestEnvironment(new DriverEnvironment);

std::wstring TestName() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "-" + info->name();
  for (char& c : name)
    if (c == '/') c = '-';
  return std::wstring(name.begin(), name.end());
}

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }
std::wstring Wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

fs::path ScratchDir() {
  const fs::path dir = fs::temp_directory_path() / L"vorlix-spreadsheet" / TestName();
  std::error_code ec;
  fs::remove_all(dir, ec);
  fs::create_directories(dir);
  return dir;
}

fs::path ArtifactDir() {
  std::wstring unix = CString(XLS_ARTIFACT_DIR).GetString();
  const fs::path dir = fs::path(L"Z:" + unix);
  fs::create_directories(dir);
  return dir;
}

CString PathText(const fs::path& path) { return CString(path.wstring().c_str()); }

CStringArray Array(const Row& cells) {
  CStringArray array;
  for (const std::wstring& cell : cells) array.Add(cell.c_str());
  return array;
}

Row Items(const CStringArray& cells) {
  Row row;
  for (INT_PTR i = 0; i < cells.GetSize(); ++i) row.push_back(cells[i].str());
  return row;
}

Table ReadAll(CSpreadsheetWriter& writer) {
  Table table;
  CStringArray cells;
  for (long row = 1; writer.ReadRow(cells, row); ++row) table.push_back(Items(cells));
  return table;
}

std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Utf16(const std::wstring& text) {
  std::string bytes;
  for (wchar_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>((c >> 8) & 0xFF);
  }
  return bytes;
}

Table SheetCells(const fs::path& workbook, const std::wstring& sheet) {
  const vorlix::xls::Workbook book = vorlix::xls::Workbook::load(workbook);
  const auto index = book.findSheet(U16(sheet));
  if (!index) return {};
  const vorlix::xls::Grid& grid = book.cells(*index);
  Table table(grid.rowCount());
  for (std::uint32_t r = 0; r < grid.rowCount(); ++r)
    for (std::uint32_t c = 0; c < grid.columnCount(); ++c) table[r].push_back(Wide(grid.get(r, c)));
  return table;
}

std::vector<std::wstring> SheetNames(const fs::path& workbook) {
  const vorlix::xls::Workbook book = vorlix::xls::Workbook::load(workbook);
  std::vector<std::wstring> names;
  for (size_t i = 0; i < book.sheetCount(); ++i) names.push_back(Wide(book.sheetName(i)));
  return names;
}

void WriteContact(CSpreadsheetWriter& writer, const Row& names, const Row& values) {
  CStringArray cells = Array(values);
  if (!writer.AddRow(cells, 0, false) && writer.GetLastError() == L"No header row. Add header row first") {
    CStringArray header = Array(names);
    writer.AddHeaders(header, false);
    writer.AddRow(cells, 0, false);
  }
}

Row ContactColumns() {
  Row names;
  for (int slot = 0; slot < CContactRecord::kSlotCount; ++slot) {
    const char* name = CContactRecord::ColumnName(slot);
    names.emplace_back(name, name + strlen(name));
  }
  return names;
}

Table Contacts(int first, int count) {
  const std::wstring longText = [] {
    std::wstring text;
    for (int i = 0; text.size() < 1000; ++i) text += L"Zeile " + std::to_wstring(i) + L" \u00E4\u00F6\u00FC; ";
    return text;
  }();
  Table rows;
  for (int r = first; r < first + count; ++r) {
    const std::wstring n = std::to_wstring(r);
    Row row(CContactRecord::kSlotCount);
    for (int c = 0; c < CContactRecord::kSlotCount; ++c) row[c] = L"v" + n + L"." + std::to_wstring(c);
    row[1] = L"Se\u00E1n O'Brien " + n;
    row[3] = L"Smith & \"Sons\", Ltd. " + n;
    row[4] = L"";  // empty cells stay empty
    row[6] = L"J\u00FCrgen";
    row[8] = L"D'Arcy-\u6F22\u5B57 " + n;
    row[11] = L"CN=Anna O'Neil/O=Acme " + n;
    row[15] = L"anna." + n + L"@example.com";
    row[30] = L"\u041E\u0442\u0434\u0435\u043B \U0001F600 " + n;  // Cyrillic and a surrogate pair
    row[40] = std::wstring(255, L'x') + n;                              // past 255 characters
    row[41] = std::wstring(255 - n.size(), L'y') + n;                   // exactly 255
    row[55] = L"a;b, c''d";
    row[63] = L"";
    row[64] = longText + n;
    row[65] = L"file " + n + L".txt";
    rows.push_back(std::move(row));
  }
  return rows;
}

namespace {

std::string JsonString(const std::wstring& text) {
  std::string out = "\"";
  char escape[8];
  for (wchar_t c : text) {
    if (c == L'"' || c == L'\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      out += escape;
    }
  }
  return out + "\"";
}

}  // namespace

void WriteExpectation(const fs::path& file, const std::wstring& sheet, const Table& rows) {
  std::ostringstream json;
  json << "{\"sheet\": " << JsonString(sheet) << ",\n \"rows\": [";
  for (size_t r = 0; r < rows.size(); ++r) {
    json << (r ? ",\n  [" : "\n  [");
    for (size_t c = 0; c < rows[r].size(); ++c) json << (c ? ", " : "") << JsonString(rows[r][c]);
    json << "]";
  }
  json << "]}\n";
  WriteBytes(file, json.str());
}

// ---------------------------------------------------------------------------------------
namespace {

class RecordingConnection : public IDbDriverConnection {
 public:
  RecordingConnection(std::unique_ptr<IDbDriverConnection> real, DriverRecorder& recorder)
      : m_real(std::move(real)), m_recorder(recorder) {}
  bool Execute(const std::wstring& sql, DbDriverResult& result, DbDriverError& error) override {
    m_recorder.statements.push_back(sql);
    return m_real->Execute(sql, result, error);
  }
  IDbDriverConnection* Real() const { return m_real.get(); }

 private:
  std::unique_ptr<IDbDriverConnection> m_real;
  DriverRecorder& m_recorder;
};

}  // namespace

DriverRecorder::DriverRecorder() {
  AfxRegisterInProcessDbDriver(L"Excel", [this](const std::wstring& connect, DbDriverError& error)
                                             -> std::unique_ptr<IDbDriverConnection> {
    connections.push_back(connect);
    std::unique_ptr<IDbDriverConnection> real = ConnectExcelWorkbook(connect, error);
    if (!real) return nullptr;
    return std::make_unique<RecordingConnection>(std::move(real), *this);
  });
}

DriverRecorder::~DriverRecorder() { RegisterExcelDriver(); }

std::vector<std::wstring> DriverRecorder::Since(size_t from) const {
  return std::vector<std::wstring>(statements.begin() + static_cast<std::ptrdiff_t>(std::min(from, statements.size())),
                                   statements.end());
}

// ---------------------------------------------------------------------------------------
InstalledDrivers::InstalledDrivers(const std::vector<const wchar_t*>& descriptions, bool noList) {
  m_rootPath = L"Software\\VorlixTests\\" + TestName() + L"-" + std::to_wstring(::GetCurrentProcessId());
  ::RegCreateKeyExW(HKEY_CURRENT_USER, m_rootPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_root, nullptr);
  if (!noList) {
    HKEY list = nullptr;
    ::RegCreateKeyExW(m_root, L"Software\\ODBC\\ODBCINST.INI\\ODBC Drivers", 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &list, nullptr);
    for (const wchar_t* description : descriptions) {
      const wchar_t installed[] = L"Installed";
      ::RegSetValueExW(list, description, 0, REG_SZ, reinterpret_cast<const BYTE*>(installed), sizeof installed);
    }
    ::RegCloseKey(list);
  }
  EXPECT_EQ(::RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_root), ERROR_SUCCESS);
}

InstalledDrivers::~InstalledDrivers() {
  ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
  ::RegCloseKey(m_root);
  ::RegDeleteTreeW(HKEY_CURRENT_USER, m_rootPath.c_str());
}

}  // namespace sheettest
