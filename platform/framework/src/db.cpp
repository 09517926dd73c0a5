// Database classes over ODBC, with the in-process driver seam.
#include <algorithm>
#include <cwctype>
#include <map>
#include <mutex>

#include "framework.h"

IMPLEMENT_DYNAMIC(CDBException, CException)
IMPLEMENT_DYNAMIC(CDatabase, CObject)
IMPLEMENT_DYNAMIC(CRecordset, CObject)

namespace {

std::wstring Lower(std::wstring s) {
  std::transform(s.begin(), s.end(), s.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return s;
}

std::wstring Trim(const std::wstring& s) {
  size_t first = s.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return std::wstring();
  size_t last = s.find_last_not_of(L" \t");
  return s.substr(first, last - first + 1);
}

// ---------------------------------------------------------------------------------------
// In-process driver registry.
struct DriverRegistry {
  std::mutex mutex;
  std::map<std::wstring, DbDriverFactory> factories;  // lower-cased name part -> factory
};
DriverRegistry& Registry() {
  static DriverRegistry registry;
  return registry;
}

DbDriverFactory FindInProcessDriver(const std::wstring& connect) {
  std::wstring driver = Lower(AfxGetConnectAttribute(connect, L"DRIVER"));
  if (driver.empty()) return nullptr;
  DriverRegistry& r = Registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  for (const auto& [name, factory] : r.factories)
    if (driver.find(name) != std::wstring::npos) return factory;
  return nullptr;
}

// ---------------------------------------------------------------------------------------
// The one ODBC environment all connections of the process share.
SQLHENV OdbcEnvironment() {
  static SQLHENV henv = [] {
    SQLHENV h = SQL_NULL_HENV;
    if (SQL_SUCCEEDED(::SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h)))
      ::SQLSetEnvAttr(h, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    else
      h = SQL_NULL_HENV;
    return h;
  }();
  return henv;
}

LPCWSTR FixedErrorText(RETCODE nRetCode) {
  switch (nRetCode) {
    case AFX_SQL_ERROR_CONNECT_FAIL: return L"Connection to the data source failed.";
    case AFX_SQL_ERROR_RECORDSET_FORWARD_ONLY: return L"The recordset only supports moving forward.";
    case AFX_SQL_ERROR_NO_CURRENT_RECORD: return L"There is no current record.";
    case AFX_SQL_ERROR_NO_DATA_FOUND: return L"Attempt to move past the end or before the beginning of the data.";
    case AFX_SQL_ERROR_ODBC_LOAD_FAILED: return L"The ODBC driver manager could not be loaded.";
    case AFX_SQL_ERROR_FIELD_NOT_FOUND: return L"The field does not exist in the result.";
    case AFX_SQL_ERROR_ILLEGAL_MODE: return L"The recordset is not open.";
    case AFX_SQL_ERROR_RECORDSET_READONLY: return L"The recordset is read-only.";
    case SQL_INVALID_HANDLE: return L"Invalid ODBC handle.";
    default: return L"Database error.";
  }
}

}  // namespace

void AFXAPI AfxRegisterInProcessDbDriver(LPCWSTR lpszDriverName, DbDriverFactory factory) {
  if (lpszDriverName == nullptr || *lpszDriverName == 0 || !factory) return;
  DriverRegistry& r = Registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.factories[Lower(lpszDriverName)] = std::move(factory);
}

void AFXAPI AfxUnregisterInProcessDbDriver(LPCWSTR lpszDriverName) {
  if (lpszDriverName == nullptr) return;
  DriverRegistry& r = Registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.factories.erase(Lower(lpszDriverName));
}

// Attributes are KEY=value pairs separated by ';'. A value in braces may contain ';'.
std::wstring AFXAPI AfxGetConnectAttribute(const std::wstring& connect, const std::wstring& keyword) {
  const std::wstring wanted = Lower(keyword);
  size_t pos = 0;
  while (pos < connect.size()) {
    size_t eq = connect.find(L'=', pos);
    size_t semi = connect.find(L';', pos);
    if (eq == std::wstring::npos || (semi != std::wstring::npos && semi < eq)) {
      if (semi == std::wstring::npos) break;  // trailing text without '=': nothing more
      pos = semi + 1;                          // a bare word such as "ODBC;"
      continue;
    }
    std::wstring key = Lower(Trim(connect.substr(pos, eq - pos)));
    size_t valueStart = eq + 1;
    while (valueStart < connect.size() && connect[valueStart] == L' ') ++valueStart;
    std::wstring value;
    size_t next;
    if (valueStart < connect.size() && connect[valueStart] == L'{') {
      size_t close = connect.find(L'}', valueStart + 1);
      if (close == std::wstring::npos) close = connect.size();
      value = connect.substr(valueStart + 1, close - valueStart - 1);
      next = connect.find(L';', close);
    } else {
      next = connect.find(L';', valueStart);
      value = Trim(connect.substr(valueStart, next == std::wstring::npos ? std::wstring::npos : next - valueStart));
    }
    if (key == wanted) return value;
    if (next == std::wstring::npos) break;
    pos = next + 1;
  }
  return std::wstring();
}

// ---------------------------------------------------------------------------------------
void CDBException::BuildErrorString(SQLSMALLINT nHandleType, SQLHANDLE hHandle) {
  if (hHandle == SQL_NULL_HANDLE) return;
  for (SQLSMALLINT nRecord = 1;; ++nRecord) {
    SQLWCHAR state[SQL_SQLSTATE_SIZE + 1] = {};
    SQLINTEGER nNative = 0;
    SQLSMALLINT nLength = 0;
    SQLRETURN rc = ::SQLGetDiagRecW(nHandleType, hHandle, nRecord, state, &nNative, nullptr, 0, &nLength);
    if (!SQL_SUCCEEDED(rc)) break;
    std::wstring message(static_cast<size_t>(nLength) + 1, L'\0');
    ::SQLGetDiagRecW(nHandleType, hHandle, nRecord, state, &nNative,
                     reinterpret_cast<SQLWCHAR*>(&message[0]), static_cast<SQLSMALLINT>(message.size()), &nLength);
    message.resize(std::min<size_t>(static_cast<size_t>(nLength), message.size() - 1));
    // Drivers prefix their messages with "[vendor][component]": that part is the origin.
    size_t originEnd = 0;
    while (originEnd < message.size() && message[originEnd] == L'[') {
      size_t close = message.find(L']', originEnd);
      if (close == std::wstring::npos) break;
      originEnd = close + 1;
    }
    SetErrorText(message.substr(originEnd).c_str(), reinterpret_cast<LPCWSTR>(state), nNative,
                 message.substr(0, originEnd).c_str());
  }
}

void CDBException::SetErrorText(LPCWSTR lpszError, LPCWSTR lpszState, long nNative, LPCWSTR lpszOrigin) {
  m_strError += lpszError ? lpszError : L"";
  m_strError += L"\n";
  CString line;
  line.Format(L"State:%s,Native:%ld,Origin:%s\n", lpszState ? lpszState : L"", nNative,
              lpszOrigin ? lpszOrigin : L"");
  m_strStateNativeOrigin += line;
}

BOOL CDBException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  if (lpszError == nullptr || nMaxError == 0) return FALSE;
  ::lstrcpynW(lpszError, m_strError.GetString(), static_cast<int>(nMaxError));
  return TRUE;
}

// Builds the exception of a failed ODBC call while its handle still holds the diagnostics.
static CDBException* NewOdbcException(RETCODE nRetCode, SQLSMALLINT nHandleType, SQLHANDLE hHandle) {
  auto* e = new CDBException(nRetCode);
  e->BuildErrorString(nHandleType, hHandle);
  if (e->m_strError.IsEmpty()) e->SetErrorText(FixedErrorText(nRetCode));
  return e;
}

void AFXAPI AfxThrowDBException(RETCODE nRetCode, CDatabase* pdb, HSTMT hstmt) {
  // Only ODBC failures have diagnostics; a framework code would pick up stale ones.
  if (nRetCode < AFX_SQL_ERROR && hstmt != SQL_NULL_HSTMT) throw NewOdbcException(nRetCode, SQL_HANDLE_STMT, hstmt);
  if (nRetCode < AFX_SQL_ERROR && pdb != nullptr && pdb->m_hdbc != SQL_NULL_HDBC)
    throw NewOdbcException(nRetCode, SQL_HANDLE_DBC, pdb->m_hdbc);
  throw NewOdbcException(nRetCode, SQL_HANDLE_STMT, SQL_NULL_HANDLE);
}

// Throws an in-process driver's error the way ODBC errors are thrown.
[[noreturn]] static void ThrowDriverError(const DbDriverError& error) {
  auto* e = new CDBException(SQL_ERROR);
  e->SetErrorText(error.message.empty() ? L"Database error." : error.message.c_str(),
                  error.state.c_str(), error.nativeError, L"[in-process]");
  throw e;
}

// ---------------------------------------------------------------------------------------
CDatabase::CDatabase() = default;

CDatabase::~CDatabase() { Close(); }

BOOL CDatabase::IsOpen() const { return m_hdbc != SQL_NULL_HDBC || m_pInProcess != nullptr; }

BOOL CDatabase::Open(LPCTSTR lpszDSN, BOOL bExclusive, BOOL bReadOnly, LPCTSTR lpszConnect,
                     BOOL bUseCursorLib) {
  CString connect(lpszConnect ? lpszConnect : L"");
  if (connect.Left(5).CompareNoCase(L"ODBC;") == 0) connect = connect.Mid(5);
  if (lpszDSN != nullptr && *lpszDSN != 0) {
    CString dsn;
    dsn.Format(L"DSN=%s;", lpszDSN);
    connect = dsn + connect;
  }
  DWORD dwOptions = noOdbcDialog;
  if (bExclusive) dwOptions |= openExclusive;
  if (bReadOnly) dwOptions |= openReadOnly;
  if (bUseCursorLib) dwOptions |= useCursorLib;
  return OpenEx(connect, dwOptions);
}

BOOL CDatabase::OpenEx(LPCTSTR lpszConnectString, DWORD dwOptions) {
  if (IsOpen()) Close();
  std::wstring connect = lpszConnectString ? lpszConnectString : L"";
  if (connect.size() >= 5 && Lower(connect.substr(0, 5)) == L"odbc;") connect.erase(0, 5);
  m_bReadOnly = (dwOptions & openReadOnly) != 0;

  if (DbDriverFactory factory = FindInProcessDriver(connect)) {
    DbDriverError error;
    m_pInProcess = factory(connect, error);
    if (!m_pInProcess) ThrowDriverError(error);
    m_strConnect = CString(L"ODBC;") + connect.c_str();
    return TRUE;
  }

  SQLHENV henv = OdbcEnvironment();
  if (henv == SQL_NULL_HENV) AfxThrowDBException(AFX_SQL_ERROR_ODBC_LOAD_FAILED, this, SQL_NULL_HSTMT);
  if (!SQL_SUCCEEDED(::SQLAllocHandle(SQL_HANDLE_DBC, henv, &m_hdbc))) {
    m_hdbc = SQL_NULL_HDBC;
    AfxThrowDBException(AFX_SQL_ERROR_CONNECT_FAIL, this, SQL_NULL_HSTMT);
  }
  if (m_dwLoginTimeout != 0)
    ::SQLSetConnectAttrW(m_hdbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(static_cast<ULONG_PTR>(m_dwLoginTimeout)), 0);
  if (m_bReadOnly)
    ::SQLSetConnectAttrW(m_hdbc, SQL_ATTR_ACCESS_MODE, reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY), 0);

  // This program never shows the driver's dialogs, whatever the options ask.
  std::wstring out(1024, L'\0');
  SQLSMALLINT nOut = 0;
  SQLRETURN rc = ::SQLDriverConnectW(m_hdbc, nullptr, reinterpret_cast<SQLWCHAR*>(&connect[0]),
                                     static_cast<SQLSMALLINT>(connect.size()),
                                     reinterpret_cast<SQLWCHAR*>(&out[0]),
                                     static_cast<SQLSMALLINT>(out.size()), &nOut, SQL_DRIVER_NOPROMPT);
  if (rc == SQL_NO_DATA) {
    Close();
    return FALSE;
  }
  if (!SQL_SUCCEEDED(rc)) {
    CDBException* e = NewOdbcException(rc, SQL_HANDLE_DBC, m_hdbc);
    Close();
    throw e;
  }
  out.resize(std::min<size_t>(static_cast<size_t>(std::max<SQLSMALLINT>(nOut, 0)), out.size() - 1));
  m_strConnect = CString(L"ODBC;") + (out.empty() ? connect : out).c_str();
  return TRUE;
}

void CDatabase::Close() {
  m_pInProcess.reset();
  if (m_hdbc != SQL_NULL_HDBC) {
    ::SQLDisconnect(m_hdbc);
    ::SQLFreeHandle(SQL_HANDLE_DBC, m_hdbc);
    m_hdbc = SQL_NULL_HDBC;
  }
  m_strConnect.Empty();
}

CString CDatabase::GetDatabaseName() const {
  if (m_pInProcess) return CString(AfxGetConnectAttribute(m_strConnect.str(), L"DBQ").c_str());
  if (m_hdbc == SQL_NULL_HDBC) return CString();
  WCHAR name[512] = {};
  SQLSMALLINT nLength = 0;
  ::SQLGetInfoW(m_hdbc, SQL_DATABASE_NAME, name, sizeof(name), &nLength);
  return CString(name);
}

BOOL CDatabase::CanTransact() const {
  if (m_hdbc == SQL_NULL_HDBC) return FALSE;
  SQLUSMALLINT nTxn = SQL_TC_NONE;
  ::SQLGetInfoW(m_hdbc, SQL_TXN_CAPABLE, &nTxn, sizeof(nTxn), nullptr);
  return nTxn != SQL_TC_NONE;
}

HSTMT CDatabase::AllocStatement() {
  if (m_hdbc == SQL_NULL_HDBC) AfxThrowDBException(AFX_SQL_ERROR_ILLEGAL_MODE, this, SQL_NULL_HSTMT);
  HSTMT hstmt = SQL_NULL_HSTMT;
  SQLRETURN rc = ::SQLAllocHandle(SQL_HANDLE_STMT, m_hdbc, &hstmt);
  if (!SQL_SUCCEEDED(rc)) AfxThrowDBException(rc, this, SQL_NULL_HSTMT);
  if (m_dwQueryTimeout != 0)
    ::SQLSetStmtAttrW(hstmt, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(static_cast<ULONG_PTR>(m_dwQueryTimeout)), 0);
  return hstmt;
}

void CDatabase::ExecuteSQL(LPCTSTR lpszSQL) {
  std::wstring sql = lpszSQL ? lpszSQL : L"";
  if (m_pInProcess) {
    DbDriverResult result;
    DbDriverError error;
    if (!m_pInProcess->Execute(sql, result, error)) ThrowDriverError(error);
    return;
  }
  HSTMT hstmt = AllocStatement();
  SQLRETURN rc = ::SQLExecDirectW(hstmt, reinterpret_cast<SQLWCHAR*>(&sql[0]), static_cast<SQLINTEGER>(sql.size()));
  // SQL_NO_DATA: a searched UPDATE or DELETE that touched no row, which is no error.
  if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
    CDBException* e = NewOdbcException(rc, SQL_HANDLE_STMT, hstmt);
    ::SQLFreeHandle(SQL_HANDLE_STMT, hstmt);
    throw e;
  }
  while (SQL_SUCCEEDED(::SQLMoreResults(hstmt))) {
  }
  ::SQLFreeHandle(SQL_HANDLE_STMT, hstmt);
}

static BOOL EndTransaction(HDBC hdbc, SQLSMALLINT nCompletion) {
  if (hdbc == SQL_NULL_HDBC) return FALSE;
  BOOL bOk = SQL_SUCCEEDED(::SQLEndTran(SQL_HANDLE_DBC, hdbc, nCompletion));
  ::SQLSetConnectAttrW(hdbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
  return bOk;
}
BOOL CDatabase::BeginTrans() {
  return m_hdbc != SQL_NULL_HDBC &&
         SQL_SUCCEEDED(::SQLSetConnectAttrW(m_hdbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0));
}
BOOL CDatabase::CommitTrans() { return EndTransaction(m_hdbc, SQL_COMMIT); }
BOOL CDatabase::Rollback() { return EndTransaction(m_hdbc, SQL_ROLLBACK); }

// ---------------------------------------------------------------------------------------
CRecordset::CRecordset(CDatabase* pDatabase) : m_pDatabase(pDatabase) {}

CRecordset::~CRecordset() { Close(); }

void CRecordset::Throw(RETCODE nRetCode) const {
  AfxThrowDBException(nRetCode, m_pDatabase, m_hstmt);
}

// A text that is not a statement names a table.
static bool IsStatement(const CString& sql) {
  std::wstring head = Lower(Trim(sql.str()).substr(0, 7));
  return head.rfind(L"select", 0) == 0 || head.rfind(L"call", 0) == 0 || head.rfind(L"{", 0) == 0 ||
         head.rfind(L"with", 0) == 0;
}

BOOL CRecordset::Open(UINT nOpenType, LPCTSTR lpszSQL, DWORD dwOptions) {
  (void)dwOptions;  // every recordset of this framework is read-only
  if (m_bOpen) Close();
  m_nOpenType = nOpenType == AFX_DB_USE_DEFAULT_TYPE ? m_nDefaultType : nOpenType;

  if (m_pDatabase == nullptr) {
    m_pOwnedDatabase = std::make_unique<CDatabase>();
    m_pOwnedDatabase->OpenEx(GetDefaultConnect(), CDatabase::noOdbcDialog);
    m_pDatabase = m_pOwnedDatabase.get();
  }
  if (!m_pDatabase->IsOpen()) AfxThrowDBException(AFX_SQL_ERROR_ILLEGAL_MODE, m_pDatabase, SQL_NULL_HSTMT);

  m_strSQL = lpszSQL ? CString(lpszSQL) : GetDefaultSQL();
  if (!IsStatement(m_strSQL)) m_strSQL = CString(L"SELECT * FROM ") + m_strSQL;
  if (!m_strFilter.IsEmpty()) m_strSQL += CString(L" WHERE ") + m_strFilter;
  if (!m_strSort.IsEmpty()) m_strSQL += CString(L" ORDER BY ") + m_strSort;

  if (IDbDriverConnection* pConnection = m_pDatabase->GetInProcessConnection()) {
    DbDriverError error;
    m_inProcessResult = DbDriverResult();
    if (!pConnection->Execute(m_strSQL.str(), m_inProcessResult, error)) ThrowDriverError(error);
    for (const DbDriverColumn& column : m_inProcessResult.columns) {
      CODBCFieldInfo info;
      info.m_strName = column.name.c_str();
      info.m_nSQLType = column.sqlType;
      info.m_nPrecision = column.precision;
      info.m_nScale = column.scale;
      info.m_nNullability = column.nullability;
      m_columns.push_back(info);
    }
    m_nInProcessNext = 0;
  } else {
    m_hstmt = m_pDatabase->AllocStatement();
    std::wstring sql = m_strSQL.str();
    SQLRETURN rc = ::SQLExecDirectW(m_hstmt, reinterpret_cast<SQLWCHAR*>(&sql[0]), static_cast<SQLINTEGER>(sql.size()));
    if (!SQL_SUCCEEDED(rc) && rc != SQL_NO_DATA) {
      CDBException* e = NewOdbcException(rc, SQL_HANDLE_STMT, m_hstmt);
      Close();
      throw e;
    }
    SQLSMALLINT nColumns = 0;
    ::SQLNumResultCols(m_hstmt, &nColumns);
    for (SQLSMALLINT i = 1; i <= nColumns; ++i) {
      WCHAR name[256] = {};
      SQLSMALLINT nNameLength = 0, nType = 0, nScale = 0, nNullable = 0;
      SQLULEN nSize = 0;
      ::SQLDescribeColW(m_hstmt, i, reinterpret_cast<SQLWCHAR*>(name), 256, &nNameLength, &nType, &nSize,
                        &nScale, &nNullable);
      CODBCFieldInfo info;
      info.m_strName = name;
      info.m_nSQLType = nType;
      info.m_nPrecision = nSize;
      info.m_nScale = nScale;
      info.m_nNullability = nNullable;
      m_columns.push_back(info);
    }
  }
  m_bOpen = TRUE;

  // Position on the first record (BOF and EOF both stay set when there is none).
  if (m_nOpenType == forwardOnly) {
    Row row;
    if (FetchNext(row)) {
      m_rows.assign(1, std::move(row));
      m_nCurrent = 0;
      m_nRecordCount = 1;
      m_bBOF = m_bEOF = FALSE;
    }
  } else {
    ReadAll();
    if (!m_rows.empty()) SetPosition(0);
  }
  return TRUE;
}

void CRecordset::Close() {
  if (m_hstmt != SQL_NULL_HSTMT) {
    ::SQLFreeHandle(SQL_HANDLE_STMT, m_hstmt);
    m_hstmt = SQL_NULL_HSTMT;
  }
  m_bOpen = FALSE;
  m_bBOF = m_bEOF = TRUE;
  m_nRecordCount = 0;
  m_columns.clear();
  m_rows.clear();
  m_nCurrent = -1;
  m_inProcessResult = DbDriverResult();
  m_nInProcessNext = 0;
  if (m_pOwnedDatabase) {
    m_pOwnedDatabase.reset();
    m_pDatabase = nullptr;
  }
}

// Reads every column of the next row as text; false at the end of the result.
bool CRecordset::FetchNext(Row& row) {
  const size_t nColumns = m_columns.size();
  row.values.assign(nColumns, CString());
  row.nulls.assign(nColumns, false);
  if (m_pDatabase->GetInProcessConnection()) {
    if (m_nInProcessNext >= m_inProcessResult.rows.size()) return false;
    const auto& source = m_inProcessResult.rows[m_nInProcessNext++];
    for (size_t i = 0; i < nColumns && i < source.size(); ++i) row.values[i] = source[i].c_str();
    return true;
  }
  if (m_hstmt == SQL_NULL_HSTMT || nColumns == 0) return false;
  SQLRETURN rc = ::SQLFetch(m_hstmt);
  if (rc == SQL_NO_DATA) return false;
  if (!SQL_SUCCEEDED(rc)) Throw(rc);
  for (size_t i = 0; i < nColumns; ++i) {
    // Long values arrive in pieces: each call returns the next part of the text.
    std::wstring value;
    WCHAR chunk[512];
    for (;;) {
      SQLLEN nIndicator = 0;
      rc = ::SQLGetData(m_hstmt, static_cast<SQLUSMALLINT>(i + 1), SQL_C_WCHAR, chunk, sizeof(chunk), &nIndicator);
      if (rc == SQL_NO_DATA) break;
      if (!SQL_SUCCEEDED(rc)) Throw(rc);
      if (nIndicator == SQL_NULL_DATA) {
        row.nulls[i] = true;
        break;
      }
      size_t nChars = (nIndicator == SQL_NO_TOTAL || nIndicator >= static_cast<SQLLEN>(sizeof(chunk)))
                          ? std::size(chunk) - 1
                          : static_cast<size_t>(nIndicator) / sizeof(WCHAR);
      value.append(chunk, nChars);
      if (rc == SQL_SUCCESS) break;  // SQL_SUCCESS_WITH_INFO: truncated, more follows
    }
    row.values[i] = value.c_str();
  }
  return true;
}

void CRecordset::ReadAll() {
  Row row;
  while (FetchNext(row)) m_rows.push_back(std::move(row));
  m_nRecordCount = static_cast<long>(m_rows.size());
}

void CRecordset::SetPosition(long nIndex) {
  m_nCurrent = nIndex;
  m_bBOF = nIndex < 0 || m_rows.empty();
  m_bEOF = nIndex >= static_cast<long>(m_rows.size()) || m_rows.empty();
}

void CRecordset::MoveNext() {
  if (!m_bOpen) Throw(AFX_SQL_ERROR_ILLEGAL_MODE);
  if (m_bEOF) Throw(AFX_SQL_ERROR_NO_DATA_FOUND);
  if (m_nOpenType == forwardOnly) {
    Row row;
    if (FetchNext(row)) {
      m_rows[0] = std::move(row);
      ++m_nRecordCount;
    } else {
      m_bEOF = TRUE;
    }
    m_bBOF = FALSE;
    return;
  }
  SetPosition(m_nCurrent + 1);
  m_bBOF = FALSE;
}

void CRecordset::MovePrev() { Move(-1); }

void CRecordset::MoveFirst() {
  if (!m_bOpen) Throw(AFX_SQL_ERROR_ILLEGAL_MODE);
  if (m_nOpenType == forwardOnly) Throw(AFX_SQL_ERROR_RECORDSET_FORWARD_ONLY);
  SetPosition(0);
}

void CRecordset::MoveLast() {
  if (!m_bOpen) Throw(AFX_SQL_ERROR_ILLEGAL_MODE);
  if (m_nOpenType == forwardOnly) Throw(AFX_SQL_ERROR_RECORDSET_FORWARD_ONLY);
  SetPosition(static_cast<long>(m_rows.size()) - 1);
  if (m_rows.empty()) m_bBOF = m_bEOF = TRUE;
}

void CRecordset::Move(long nRows) {
  if (nRows == 0) return;
  if (nRows == 1) return MoveNext();
  if (!m_bOpen) Throw(AFX_SQL_ERROR_ILLEGAL_MODE);
  if (m_nOpenType == forwardOnly) {
    if (nRows < 0) Throw(AFX_SQL_ERROR_RECORDSET_FORWARD_ONLY);
    while (nRows-- > 0) MoveNext();
    return;
  }
  if ((nRows > 0 && m_bEOF) || (nRows < 0 && m_bBOF)) Throw(AFX_SQL_ERROR_NO_DATA_FOUND);
  long nTarget = m_nCurrent + nRows;
  SetPosition(std::max(-1L, std::min(nTarget, static_cast<long>(m_rows.size()))));
}

void CRecordset::SetAbsolutePosition(long nRows) {
  if (!m_bOpen) Throw(AFX_SQL_ERROR_ILLEGAL_MODE);
  if (m_nOpenType == forwardOnly) Throw(AFX_SQL_ERROR_RECORDSET_FORWARD_ONLY);
  if (nRows < 1 || nRows > static_cast<long>(m_rows.size())) Throw(AFX_SQL_ERROR_NO_DATA_FOUND);
  SetPosition(nRows - 1);
}

short CRecordset::FieldIndexOf(LPCTSTR lpszName) const {
  if (lpszName != nullptr)
    for (size_t i = 0; i < m_columns.size(); ++i)
      if (m_columns[i].m_strName.CompareNoCase(lpszName) == 0) return static_cast<short>(i);
  Throw(AFX_SQL_ERROR_FIELD_NOT_FOUND);
}

void CRecordset::GetODBCFieldInfo(short nIndex, CODBCFieldInfo& fieldinfo) const {
  if (nIndex < 0 || nIndex >= GetODBCFieldCount()) Throw(AFX_SQL_ERROR_FIELD_NOT_FOUND);
  fieldinfo = m_columns[static_cast<size_t>(nIndex)];
}

void CRecordset::GetODBCFieldInfo(LPCTSTR lpszName, CODBCFieldInfo& fieldinfo) const {
  fieldinfo = m_columns[static_cast<size_t>(FieldIndexOf(lpszName))];
}

const CRecordset::Row& CRecordset::CurrentRow() const {
  if (!m_bOpen) Throw(AFX_SQL_ERROR_ILLEGAL_MODE);
  if (m_bEOF || m_bBOF || m_nCurrent < 0 || m_nCurrent >= static_cast<long>(m_rows.size()))
    Throw(AFX_SQL_ERROR_NO_CURRENT_RECORD);
  return m_rows[static_cast<size_t>(m_nCurrent)];
}

void CRecordset::GetFieldValue(short nIndex, CString& strValue) const {
  if (nIndex < 0 || nIndex >= GetODBCFieldCount()) Throw(AFX_SQL_ERROR_FIELD_NOT_FOUND);
  strValue = CurrentRow().values[static_cast<size_t>(nIndex)];
}

void CRecordset::GetFieldValue(LPCTSTR lpszName, CString& strValue) const {
  GetFieldValue(FieldIndexOf(lpszName), strValue);
}

BOOL CRecordset::IsFieldNull(short nIndex) const {
  if (nIndex < 0 || nIndex >= GetODBCFieldCount()) Throw(AFX_SQL_ERROR_FIELD_NOT_FOUND);
  return CurrentRow().nulls[static_cast<size_t>(nIndex)];
}
