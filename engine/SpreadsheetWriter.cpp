#include "SpreadsheetWriter.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "ExcelDriver.h"

namespace {

// Joins the cells of a row line in a workbook writer; it never reaches the workbook.
const wchar_t kWorkbookSeparator[] = L",;.?";
const wchar_t kBackupSheet[] = L"CSpreadSheetBackup";
// The whole first 256 columns of a sheet, as the driver addresses a table with a header row.
const wchar_t kSheetRange[] = L"$A1:IV65536";

// What one sheet of an Excel 97-2003 workbook holds.
constexpr int kMaxSheetDataRows = 65535;  // below the header row
constexpr int kMaxSheetColumns = 256;
constexpr int kMaxCellChars = 32767;

const wchar_t kNoHeaderRow[] = L"No header row. Add header row first";

// Where one cell lies in a row line.
struct CellSpan {
  size_t start;
  size_t length;
};

// Cuts a row line into cells. Lines are made of quoted cells joined by the separator, so
// the line is cut at every quote-separator-quote and loses its outer quotes. A line
// without that token (one written by another program) is cut at the bare separator and its
// cells keep their quotes; a line without either is one cell, unquoted when it is quoted.
void SplitLine(const std::wstring& line, const std::wstring& separator, std::vector<CellSpan>& spans) {
  spans.clear();
  const std::wstring token = L"\"" + separator + L"\"";
  size_t found = line.find(token);
  if (found != std::wstring::npos) {
    size_t start = 0;
    for (; found != std::wstring::npos; found = line.find(token, start)) {
      spans.push_back({start, found - start});
      start = found + token.size();
    }
    spans.push_back({start, line.size() - start});
    CellSpan& first = spans.front();
    if (first.length > 0) ++first.start, --first.length;
    CellSpan& last = spans.back();
    if (last.length > 0) --last.length;
    return;
  }
  if (!separator.empty() && line.find(separator) != std::wstring::npos) {
    size_t start = 0;
    for (found = line.find(separator); found != std::wstring::npos; found = line.find(separator, start)) {
      spans.push_back({start, found - start});
      start = found + separator.size();
    }
    spans.push_back({start, line.size() - start});
    return;
  }
  if (!line.empty() && line.front() == L'"' && line.back() == L'"')
    spans.push_back({1, line.size() >= 2 ? line.size() - 2 : 0});
  else
    spans.push_back({0, line.size()});
}

short ClampColumns(INT_PTR count) { return static_cast<short>(std::min<INT_PTR>(count, SHRT_MAX)); }

// A value inside a SQL string literal and the ", " after it; quotes are doubled so that a
// name like O'Brien stays one literal.
void AppendLiteral(std::wstring& statement, const wchar_t* value, size_t length) {
  statement += L'\'';
  for (const wchar_t* end = value + length; value < end;) {
    const wchar_t* quote = std::find(value, end, L'\'');
    statement.append(value, quote);
    if (quote == end) break;
    statement += L"''";
    value = quote + 1;
  }
  statement += L"', ";
}

}  // namespace

CSpreadsheetWriter::CSpreadsheetWriter(CString path, CString secondText, bool backup)
    : m_bBackup(backup), m_strPath(std::move(path)) {
  CString extension = m_strPath.Right(4);
  m_bExcel = extension.MakeLower() == L".xls";
  if (m_bExcel) {
    m_strSheetName = secondText;
    m_strSeparator = kWorkbookSeparator;
    m_pDatabase = std::make_unique<CDatabase>();
    FindExcelDriver();
    m_strConnect.Format(L"DRIVER={%s};DSN='';FIRSTROWHASNAMES=1;READONLY=FALSE;CREATE_DB=\"%s\";DBQ=%s",
                        m_strDriver.GetString(), m_strPath.GetString(), m_strPath.GetString());
    if (Open() && m_bBackup && m_bSheetExists) {
      // The backup is a second sheet of the same workbook, written as a new table.
      m_bSheetExists = false;
      CommitBackup(m_strSheetName, kBackupSheet);
      m_bSheetExists = true;
      m_nCurrentRow = 1;
    }
  } else {
    m_strSeparator = secondText;
    if (Open() && m_bBackup && m_bSheetExists) {
      CString backupPath;
      backupPath.Format(L"%s.bak", m_strPath.GetString());
      CommitBackup(m_strPath, backupPath);
    }
  }
}

CSpreadsheetWriter::~CSpreadsheetWriter() {
  m_pRecordset.reset();
  if (m_pDatabase) m_pDatabase->Close();
}

// Writes the table once to another sheet or file; a failure only turns the backup off.
bool CSpreadsheetWriter::CommitBackup(CString& target, LPCWSTR temporary) {
  CString kept = target;
  target = temporary;
  const bool ok = Commit();
  target = kept;
  if (!ok) m_bBackup = false;
  return ok;
}

CString CSpreadsheetWriter::GetLastError() const { return m_strLastError; }

void CSpreadsheetWriter::SetError(LPCWSTR text) { m_strLastError = text; }

void CSpreadsheetWriter::SetErrorFromException(CException* e) {
  if (auto* db = dynamic_cast<CDBException*>(e)) {
    m_strLastError = db->m_strError;
  } else {
    WCHAR text[512] = {};
    e->GetErrorMessage(text, 512);
    m_strLastError = text;
  }
  e->Delete();
}

void CSpreadsheetWriter::FindExcelDriver() {
  using GetInstalledDrivers = BOOL(WINAPI*)(LPWSTR, WORD, WORD*);
  m_strDriver.Empty();
  HMODULE installer = ::LoadLibraryW(L"odbccp32.dll");
  if (installer == nullptr) return;
  auto query = reinterpret_cast<GetInstalledDrivers>(::GetProcAddress(installer, "SQLGetInstalledDriversW"));
  // Two spare NULs end the list even when the installer fills the whole buffer.
  std::vector<WCHAR> list(2000 + 2, L'\0');
  WORD used = 0;
  if (query != nullptr && query(list.data(), 2000, &used)) {
    for (LPCWSTR description = list.data(); *description != 0; description += wcslen(description) + 1) {
      if (wcsstr(description, L"Excel") != nullptr) {
        m_strDriver = description;
        break;
      }
    }
  }
  ::FreeLibrary(installer);
}

// ---------------------------------------------------------------------------------------
// Rows in memory.

CString CSpreadsheetWriter::MakeLine(const CStringArray& cells) const {
  int length = 0;
  for (INT_PTR i = 0; i < cells.GetSize(); ++i) length += cells[i].GetLength() + 2 + m_strSeparator.GetLength();
  CString line;
  line.Preallocate(length);
  for (INT_PTR i = 0; i < cells.GetSize(); ++i) {
    if (i > 0) line += m_strSeparator;
    line += L'"';
    line += cells[i];
    line += L'"';
  }
  return line;
}

// A row of empty cells: a blank in each in a workbook (where an empty cell would not be
// written), nothing in a text file.
CString CSpreadsheetWriter::MakeFillerLine() const {
  CString line;
  for (int i = 0; i < m_nTotalColumns; ++i) {
    if (i > 0) line += m_strSeparator;
    line += m_bExcel ? L"\" \"" : L"\"\"";
  }
  return line;
}

// CStringArray::Add takes a text pointer and copies the text; a row line is moved in.
void CSpreadsheetWriter::AppendLine(CString line) {
  const INT_PTR count = m_aRows.GetSize();
  m_aRows.SetSize(count + 1);
  m_aRows[count] = std::move(line);
}

bool CSpreadsheetWriter::AddHeaders(CStringArray& names, bool replace) {
  if (!m_bSheetExists) {
    m_nTotalColumns = ClampColumns(names.GetSize());
    if (!AddRow(names, 1, true)) return false;
    m_nTotalRows = 1;
    return true;
  }
  if (replace) return AddRow(names, 1, true);

  if (!ReadRow(m_aScratch, 1)) return false;
  if (m_bExcel) {
    for (INT_PTR i = 0; i < names.GetSize(); ++i) {
      for (INT_PTR j = 0; j < m_aScratch.GetSize(); ++j) {
        if (names[i] == m_aScratch[j]) {
          m_strLastError.Format(L"Duplicate header row field:%s\n", names[i].GetString());
          return false;
        }
      }
    }
  }
  m_aScratch.Append(names);
  if (!AddRow(m_aScratch, 1, true)) {
    SetError(L"Problems with adding headers\n");
    return false;
  }
  m_nTotalColumns = std::max(m_nTotalColumns, ClampColumns(m_aScratch.GetSize()));
  return true;
}

bool CSpreadsheetWriter::AddRow(CStringArray& cells, long row, bool replace) {
  if (row < 0) {
    SetError(L"Row number cannot be negative\n");
    return false;
  }
  const INT_PTR count = cells.GetSize();
  if (row == 1) {
    if (m_bExcel) {
      for (INT_PTR i = 0; i < count; ++i) {
        for (INT_PTR j = i + 1; j < count; ++j) {
          if (cells[i] == cells[j]) {
            m_strLastError.Format(L"Duplicate header row field:%s\n", cells[i].GetString());
            return false;
          }
        }
      }
      if (count < m_nTotalColumns) {
        SetError(L"Number of columns in new header row cannot be less than the number of columns in previous "
                 L"header row");
        return false;
      }
      m_nTotalColumns = ClampColumns(count);
    }
    m_aHeader.Copy(cells);
  } else if (m_bExcel && m_nTotalColumns == 0) {
    SetError(kNoHeaderRow);
    return false;
  }
  if (m_bExcel) {
    if (count > m_aHeader.GetSize()) {
      SetError(L"Number of columns to be added cannot be greater than the number of fields\n");
      return false;
    }
  } else {
    m_nTotalColumns = std::max(m_nTotalColumns, ClampColumns(count));
  }

  // The table is written by Commit: rows only go into memory here.
  try {
    CString line = MakeLine(cells);
    if (row >= 1 && row <= m_nTotalRows) {
      if (replace) {
        m_aRows[row - 1] = std::move(line);
      } else {
        m_aRows.InsertAt(row - 1, line);
        ++m_nTotalRows;
      }
    } else if (row > m_nTotalRows) {
      const CString filler = MakeFillerLine();
      while (m_aRows.GetSize() < row - 1) m_aRows.Add(filler);
      AppendLine(std::move(line));
      m_nTotalRows = static_cast<int>(row);
      m_nCurrentRow = static_cast<int>(row);
    } else {
      AppendLine(std::move(line));
      ++m_nTotalRows;
    }
  } catch (CException* e) {  // no memory for a row far beyond the table
    SetErrorFromException(e);
    return false;
  }
  return true;
}

bool CSpreadsheetWriter::ReadRow(CStringArray& cells, long row) {
  const INT_PTR stored = m_aRows.GetSize();
  if (row > stored) {
    SetError(L"Desired row is greater than total number of rows in spreadsheet\n");
    return false;
  }
  if (row < 0) {
    SetError(L"Row number cannot be negative\n");
    return false;
  }
  if (row >= 1) m_nCurrentRow = static_cast<int>(row);
  else if (m_nCurrentRow > stored) return false;

  const std::wstring& line = m_aRows[m_nCurrentRow - 1].str();
  ++m_nCurrentRow;
  std::vector<CellSpan> spans;
  SplitLine(line, m_strSeparator.str(), spans);
  cells.SetSize(static_cast<INT_PTR>(spans.size()));
  for (size_t i = 0; i < spans.size(); ++i)
    cells[static_cast<INT_PTR>(i)] = CString(line.data() + spans[i].start, static_cast<int>(spans[i].length));
  return true;
}

// ---------------------------------------------------------------------------------------
// Reading the target.

bool CSpreadsheetWriter::Open() { return m_bExcel ? OpenWorkbook() : OpenTextFile(); }

bool CSpreadsheetWriter::Connect() {
  try {
    if (m_pDatabase->OpenEx(m_strConnect, CDatabase::noOdbcDialog)) return true;
    SetError(L"The Excel driver asked for connection details that this program does not give\n");
  } catch (CException* e) {
    SetErrorFromException(e);
  }
  return false;
}

bool CSpreadsheetWriter::OpenWorkbook() {
  // A workbook that can't be opened (no driver, locked, damaged) fails here with the
  // driver's text: nothing is known of the target, so nothing may be written over it.
  if (!Connect()) return false;
  m_strSql.Format(L"SELECT * FROM [%s%s]", m_strSheetName.GetString(), kSheetRange);
  m_pRecordset = std::make_unique<CRecordset>(m_pDatabase.get());
  try {
    m_pRecordset->Open(CRecordset::forwardOnly, m_strSql, CRecordset::readOnly);
  } catch (CException* e) {
    // Most often the sheet does not exist yet: that is no error.
    e->Delete();
    m_pRecordset.reset();
    m_pDatabase->Close();
    return false;
  }

  const short columns = m_pRecordset->GetODBCFieldCount();
  m_nTotalColumns = columns;
  if (columns > 0) {
    m_aRows.RemoveAll();
    m_aHeader.RemoveAll();
    m_bSheetExists = true;
    m_nTotalRows = 1;
    CStringArray cells;
    cells.SetSize(columns);
    for (short i = 0; i < columns; ++i) {
      CODBCFieldInfo info;
      m_pRecordset->GetODBCFieldInfo(i, info);
      m_aHeader.Add(info.m_strName);
      cells[i] = info.m_strName;
    }
    AppendLine(MakeLine(cells));
    try {
      while (!m_pRecordset->IsEOF()) {
        ++m_nTotalRows;
        for (short i = 0; i < columns; ++i) m_pRecordset->GetFieldValue(i, cells[i]);
        AppendLine(MakeLine(cells));
        m_pRecordset->MoveNext();
      }
    } catch (CException* e) {
      e->Delete();
      SetError(L"Error reading row\n");
      m_pRecordset.reset();
      m_pDatabase->Close();
      return false;
    }
  }
  m_pRecordset.reset();
  m_pDatabase->Close();
  m_nCurrentRow = 1;
  return true;
}

bool CSpreadsheetWriter::OpenTextFile() {
  HANDLE file = ::CreateFileW(m_strPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    SetError(L"Error in opening file\n");
    return false;
  }
  // The file is read whole: one read, then cut into lines in memory.
  std::wstring text;
  LARGE_INTEGER size = {};
  bool ok = ::GetFileSizeEx(file, &size) && size.QuadPart / 2 < INT_MAX;
  if (ok) {
    text.resize(static_cast<size_t>(size.QuadPart / 2));
    auto* bytes = reinterpret_cast<BYTE*>(&text[0]);
    for (size_t done = 0, total = text.size() * 2; ok && done < total;) {
      DWORD read = 0;
      const DWORD want = static_cast<DWORD>(std::min<size_t>(total - done, 1u << 24));
      ok = ::ReadFile(file, bytes + done, want, &read, nullptr) && read > 0;
      done += read;
    }
  }
  ::CloseHandle(file);
  if (!ok) {
    SetError(L"Error in opening file\n");
    return false;
  }

  m_aRows.RemoveAll();
  // A byte-order mark, which other programs put first, is no part of the first line.
  size_t start = !text.empty() && text[0] == 0xFEFF ? 1 : 0;
  while (start < text.size()) {
    size_t end = text.find(L'\n', start);
    const size_t next = end == std::wstring::npos ? text.size() : end + 1;
    if (end == std::wstring::npos) end = text.size();
    else if (end > start && text[end - 1] == L'\r') --end;
    AppendLine(CString(text.data() + start, static_cast<int>(end - start)));
    start = next;
  }

  ReadRow(m_aHeader, 1);
  m_nTotalRows = static_cast<int>(m_aRows.GetSize());
  INT_PTR widest = 0;
  for (int row = 1; row <= m_nTotalRows; ++row) {
    if (ReadRow(m_aScratch, row)) widest = std::max(widest, m_aScratch.GetSize());
  }
  m_nTotalColumns = ClampColumns(widest);
  if (m_nTotalColumns > 0) m_bSheetExists = true;
  return true;
}

// ---------------------------------------------------------------------------------------
// Writing the target.

bool CSpreadsheetWriter::Commit() { return m_bExcel ? CommitWorkbook() : CommitTextFile(); }

// The statements of a commit drop the sheet's table before they write it again, so what
// the sheet can't hold is refused here, before anything is touched: otherwise the table
// would be lost half-way while the rows wait in memory.
bool CSpreadsheetWriter::CheckTableFitsSheet() {
  const INT_PTR fields = m_aHeader.GetSize();
  if (fields == 0) {
    SetError(kNoHeaderRow);
    return false;
  }
  if (fields > kMaxSheetColumns) {
    m_strLastError.Format(L"The header row has %d fields; a sheet holds at most %d columns\n",
                          static_cast<int>(fields), kMaxSheetColumns);
    return false;
  }
  for (INT_PTR i = 0; i < fields; ++i) {
    const CString& name = m_aHeader[i];
    if (name.IsEmpty() || name.Find(L']') >= 0 || name.GetLength() > kMaxCellChars) {
      m_strLastError.Format(L"Header row field cannot be a column name:%s\n", name.GetString());
      return false;
    }
    for (INT_PTR j = i + 1; j < fields; ++j) {
      if (name.CompareNoCase(m_aHeader[j]) == 0) {
        m_strLastError.Format(L"Duplicate header row field:%s\n", m_aHeader[j].GetString());
        return false;
      }
    }
  }
  const int dataRows = std::min<int>(m_nTotalRows, static_cast<int>(m_aRows.GetSize())) - 1;
  if (dataRows > kMaxSheetDataRows) {
    m_strLastError.Format(L"Too many rows for one sheet: %d rows below the header row, a sheet holds at most %d\n",
                          dataRows, kMaxSheetDataRows);
    return false;
  }
  std::vector<CellSpan> spans;
  for (int row = 2; row <= dataRows + 1; ++row) {
    const std::wstring& line = m_aRows[row - 1].str();
    SplitLine(line, m_strSeparator.str(), spans);
    if (static_cast<INT_PTR>(spans.size()) > fields) {
      m_strLastError.Format(L"Row %d has more cells than the header row has fields\n", row);
      return false;
    }
    if (line.size() > static_cast<size_t>(kMaxCellChars)) {
      for (const CellSpan& span : spans) {
        if (span.length > static_cast<size_t>(kMaxCellChars)) {
          m_strLastError.Format(L"Row %d has a cell of more than %d characters\n", row, kMaxCellChars);
          return false;
        }
      }
    }
  }
  return true;
}

bool CSpreadsheetWriter::CommitWorkbook() {
  if (!CheckTableFitsSheet() || !Connect()) return false;
  try {
    CString statement;
    if (m_bSheetExists) {
      statement.Format(L"DROP TABLE %s", (L"[" + m_strSheetName + kSheetRange + L"]").GetString());
      m_pDatabase->ExecuteSQL(statement);
      statement.Format(L"CREATE TABLE [%s%s] (", m_strSheetName.GetString(), kSheetRange);
    } else {
      statement.Format(L"CREATE TABLE [%s] (", m_strSheetName.GetString());
    }
    // Every column is a text column.
    for (INT_PTR i = 0; i < m_aHeader.GetSize(); ++i) statement += L"[" + m_aHeader[i] + L"] char(255), ";
    statement.Truncate(statement.GetLength() - 2);
    statement += L")";
    m_pDatabase->ExecuteSQL(statement);
    if (!m_bSheetExists) {
      m_bSheetExists = true;
      m_nTotalColumns = ClampColumns(m_aHeader.GetSize());
    }
    ExecuteInserts();
    FlushExcelWorkbook(*m_pDatabase);
  } catch (CException* e) {
    SetErrorFromException(e);
    m_pDatabase->Close();
    return false;
  }
  m_pDatabase->Close();
  return true;
}

// One INSERT per data row; the number after IV is the data row's number. Each line is cut
// into cells by ReadRow's rules, but straight into the statement: a contact table has
// millions of cells, and a CString for each is time that the commit does not need.
void CSpreadsheetWriter::ExecuteInserts() {
  const int dataRows = std::min<int>(m_nTotalRows, static_cast<int>(m_aRows.GetSize())) - 1;
  const std::wstring prefix = L"INSERT INTO [" + m_strSheetName.str() + L"$A1:IV";
  std::wstring columns;  // "] ([a], [b]) VALUES (", the same for every row of the same width
  size_t columnsFor = std::wstring::npos;
  std::wstring statement;
  std::vector<CellSpan> spans;
  for (int b = 1; b <= dataRows; ++b) {
    const std::wstring& line = m_aRows[b].str();
    SplitLine(line, m_strSeparator.str(), spans);
    if (spans.size() != columnsFor) {
      columns = L"] (";
      for (size_t i = 0; i < spans.size(); ++i) columns += L"[" + m_aHeader[static_cast<INT_PTR>(i)].str() + L"], ";
      columns.resize(columns.size() - 2);
      columns += L") VALUES (";
      columnsFor = spans.size();
    }
    statement = prefix;
    statement += std::to_wstring(b);
    statement += columns;
    for (const CellSpan& span : spans) AppendLiteral(statement, line.data() + span.start, span.length);
    statement.resize(statement.size() - 2);
    statement += L')';
    m_pDatabase->ExecuteSQL(statement.c_str());
  }
  m_nCurrentRow = dataRows + 2;  // where reading each data row in turn leaves it
}

bool CSpreadsheetWriter::CommitTextFile() {
  HANDLE file = ::CreateFileW(m_strPath, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  bool ok = file != INVALID_HANDLE_VALUE;
  // Lines go out in large writes: the file is UTF-16 units exactly as held in memory.
  std::wstring buffer;
  const size_t chunk = 1 << 20;
  buffer.reserve(chunk + 4096);
  auto flush = [&] {
    DWORD written = 0;
    const DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    ok = ok && ::WriteFile(file, buffer.data(), bytes, &written, nullptr) && written == bytes;
    buffer.clear();
  };
  for (INT_PTR i = 0; ok && i < m_aRows.GetSize(); ++i) {
    buffer += m_aRows[i].str();
    buffer += L"\r\n";
    if (buffer.size() >= chunk) flush();
  }
  if (ok && !buffer.empty()) flush();
  if (file != INVALID_HANDLE_VALUE && !::CloseHandle(file)) ok = false;
  if (!ok) {
    SetError(L"Error writing file\n");
    return false;
  }
  return true;
}
