#include "ExcelDriver.h"

#include <new>
#include <string_view>

#include "vorlix/xls/excel_driver.hpp"
#include "vorlix/xls/unicode.hpp"

namespace xls = vorlix::xls;

const wchar_t kExcelDriverDescription[] = L"Vorlix Excel Driver (*.xls)";

namespace {

// wchar_t is a UTF-16 unit on Windows: texts cross between the framework and the workbook
// library without conversion.
static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide characters must be UTF-16 units");

std::u16string_view AsU16(const std::wstring& text) {
  return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}

std::wstring AsWide(std::u16string_view text) {
  return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

// ODBC hands a driver's message to the application with its "[vendor][component]" origin
// in front, which CDBException keeps apart from the text it shows. The in-process seam
// passes the message as it is, so the origin is taken off here.
std::wstring MessageText(const char* utf8) {
  std::wstring text = AsWide(xls::fromUtf8(utf8));
  size_t start = 0;
  while (start < text.size() && text[start] == L'[') {
    const size_t close = text.find(L']', start);
    if (close == std::wstring::npos) break;
    start = close + 1;
  }
  while (start < text.size() && text[start] == L' ') ++start;
  return text.substr(start);
}

// Runs f; whatever it throws becomes an ODBC-style error. False when it threw.
template <class F>
bool RunGuarded(DbDriverError& error, F&& f) {
  try {
    f();
    return true;
  } catch (const xls::DriverError& e) {
    error.message = MessageText(e.what());
    error.state = AsWide(xls::fromUtf8(e.sqlState()));
  } catch (const std::bad_alloc&) {
    error.message = L"Not enough memory for the statement.";
    error.state = L"HY001";
  } catch (const std::exception& e) {
    error.message = MessageText(e.what());
    error.state = L"HY000";
  }
  return false;
}

class ExcelDriverConnection : public IDbDriverConnection {
 public:
  explicit ExcelDriverConnection(const xls::ConnectionSettings& settings) : m_connection(settings) {}

  // Closing the connection ends ODBC's auto-commit unit: what the statements changed is
  // written now. A failure here can't be reported any more; callers that must know use
  // FlushExcelWorkbook before they close.
  ~ExcelDriverConnection() override {
    try {
      if (m_connection.isOpen()) m_connection.close();
    } catch (...) {
    }
  }

  bool Execute(const std::wstring& sql, DbDriverResult& result, DbDriverError& error) override {
    return RunGuarded(error, [&] {
      std::int64_t affected = -1;
      xls::ResultSet rows = m_connection.execute(AsU16(sql), &affected);
      result.rowsAffected = static_cast<long>(affected);
      result.columns.reserve(rows.columns.size());
      for (const std::u16string& name : rows.columns) {
        DbDriverColumn column;
        column.name = AsWide(name);
        column.sqlType = SQL_WVARCHAR;
        column.precision = 255;  // every column of a sheet is text
        column.nullability = SQL_NULLABLE;
        result.columns.push_back(std::move(column));
      }
      result.rows.reserve(rows.rows.size());
      for (const auto& row : rows.rows) {
        std::vector<std::wstring> values;
        values.reserve(row.size());
        for (const std::u16string& value : row) values.push_back(AsWide(value));
        result.rows.push_back(std::move(values));
      }
    });
  }

  void Flush() { m_connection.commit(); }

 private:
  xls::ExcelConnection m_connection;
};

}  // namespace

std::unique_ptr<IDbDriverConnection> ConnectExcelWorkbook(const std::wstring& connect, DbDriverError& error) {
  std::unique_ptr<IDbDriverConnection> connection;
  RunGuarded(error, [&] {
    connection = std::make_unique<ExcelDriverConnection>(xls::parseConnectionString(AsU16(connect)));
  });
  return connection;
}

void RegisterExcelDriver() { AfxRegisterInProcessDbDriver(L"Excel", ConnectExcelWorkbook); }

void FlushExcelWorkbook(CDatabase& database) {
  auto* connection = dynamic_cast<ExcelDriverConnection*>(database.GetInProcessConnection());
  DbDriverError error;
  if (connection == nullptr || RunGuarded(error, [&] { connection->Flush(); })) return;
  auto* e = new CDBException(SQL_ERROR);
  e->SetErrorText(error.message.c_str(), error.state.c_str(), error.nativeError, L"[in-process]");
  throw e;
}
