// Database classes: a connection (CDatabase), a cursor over a statement's result
// (CRecordset) and the exception both throw (CDBException).
//
// Connections go to the ODBC driver manager, except when the DRIVER={...} keyword of the
// connection string names a driver registered in-process with
// AfxRegisterInProcessDbDriver: such connections never reach ODBC; their statements run
// through the registered driver's IDbDriverConnection, and recordsets read its result rows.
// Callers see the same classes and the same exceptions either way.
#pragma once

#include <windows.h>
#include <sql.h>
#include <sqlext.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "fw_except.h"
#include "fw_object.h"
#include "fw_string.h"

class CDatabase;
class CRecordset;

// Framework error codes in CDBException::m_nRetCode, beside the ODBC SQL_ return codes.
#define AFX_SQL_ERROR 1000
#define AFX_SQL_ERROR_CONNECT_FAIL (AFX_SQL_ERROR + 1)
#define AFX_SQL_ERROR_RECORDSET_FORWARD_ONLY (AFX_SQL_ERROR + 2)
#define AFX_SQL_ERROR_EMPTY_COLUMN_LIST (AFX_SQL_ERROR + 3)
#define AFX_SQL_ERROR_FIELD_SCHEMA_MISMATCH (AFX_SQL_ERROR + 4)
#define AFX_SQL_ERROR_ILLEGAL_MODE (AFX_SQL_ERROR + 5)
#define AFX_SQL_ERROR_MULTIPLE_ROWS_AFFECTED (AFX_SQL_ERROR + 6)
#define AFX_SQL_ERROR_NO_CURRENT_RECORD (AFX_SQL_ERROR + 7)
#define AFX_SQL_ERROR_NO_ROWS_AFFECTED (AFX_SQL_ERROR + 8)
#define AFX_SQL_ERROR_RECORDSET_READONLY (AFX_SQL_ERROR + 9)
#define AFX_SQL_ERROR_SQL_NO_TOTAL (AFX_SQL_ERROR + 10)
#define AFX_SQL_ERROR_ODBC_LOAD_FAILED (AFX_SQL_ERROR + 11)
#define AFX_SQL_ERROR_DYNASET_NOT_SUPPORTED (AFX_SQL_ERROR + 12)
#define AFX_SQL_ERROR_SNAPSHOT_NOT_SUPPORTED (AFX_SQL_ERROR + 13)
#define AFX_SQL_ERROR_API_CONFORMANCE (AFX_SQL_ERROR + 14)
#define AFX_SQL_ERROR_SQL_CONFORMANCE (AFX_SQL_ERROR + 15)
#define AFX_SQL_ERROR_NO_DATA_FOUND (AFX_SQL_ERROR + 16)
#define AFX_SQL_ERROR_ROW_UPDATE_NOT_SUPPORTED (AFX_SQL_ERROR + 17)
#define AFX_SQL_ERROR_ODBC_V2_REQUIRED (AFX_SQL_ERROR + 18)
#define AFX_SQL_ERROR_NO_POSITIONED_UPDATES (AFX_SQL_ERROR + 19)
#define AFX_SQL_ERROR_LOCK_MODE_NOT_SUPPORTED (AFX_SQL_ERROR + 20)
#define AFX_SQL_ERROR_DATA_TRUNCATED (AFX_SQL_ERROR + 21)
#define AFX_SQL_ERROR_ROW_FETCH (AFX_SQL_ERROR + 22)
#define AFX_SQL_ERROR_INCORRECT_ODBC (AFX_SQL_ERROR + 23)
#define AFX_SQL_ERROR_UPDATE_DELETE_FAILED (AFX_SQL_ERROR + 24)
#define AFX_SQL_ERROR_DYNAMIC_CURSOR_NOT_SUPPORTED (AFX_SQL_ERROR + 25)
#define AFX_SQL_ERROR_FIELD_NOT_FOUND (AFX_SQL_ERROR + 26)
#define AFX_SQL_ERROR_BOOKMARKS_NOT_SUPPORTED (AFX_SQL_ERROR + 27)
#define AFX_SQL_ERROR_BOOKMARKS_NOT_ENABLED (AFX_SQL_ERROR + 28)
#define AFX_SQL_ERROR_MAX (AFX_SQL_ERROR + 29)

// ---------------------------------------------------------------------------------------
// The in-process driver seam. Plain C++ on purpose: a driver needs nothing of the
// framework. wchar_t is UTF-16 here, so std::wstring converts to std::u16string directly.
struct DbDriverColumn {
  std::wstring name;
  SWORD sqlType = SQL_WVARCHAR;  // an ODBC SQL_ type
  SQLULEN precision = 255;       // column size in characters
  SWORD scale = 0;
  SWORD nullability = SQL_NULLABLE_UNKNOWN;
};

struct DbDriverResult {
  // No columns: the statement produced no result set (DDL, INSERT...).
  std::vector<DbDriverColumn> columns;
  // One entry per row, each with one text per column.
  std::vector<std::vector<std::wstring>> rows;
  long rowsAffected = -1;
};

struct DbDriverError {
  std::wstring message;          // what CDBException::m_strError shows
  std::wstring state = L"HY000"; // SQLSTATE
  long nativeError = 0;
};

class IDbDriverConnection {
 public:
  virtual ~IDbDriverConnection() = default;
  // Runs one statement; false (with error filled) when the driver refuses it.
  virtual bool Execute(const std::wstring& sql, DbDriverResult& result, DbDriverError& error) = 0;
};

// Makes a connection from the whole connection string; null (with error) when it cannot.
using DbDriverFactory =
    std::function<std::unique_ptr<IDbDriverConnection>(const std::wstring& connect, DbDriverError& error)>;

// Connections whose DRIVER={...} value contains lpszDriverName (case-insensitive) go to
// factory. Registering a name again replaces its factory. Thread-safe.
void AFXAPI AfxRegisterInProcessDbDriver(LPCWSTR lpszDriverName, DbDriverFactory factory);
void AFXAPI AfxUnregisterInProcessDbDriver(LPCWSTR lpszDriverName);

// The value of one KEY=value attribute of a connection string (keys case-insensitive;
// braces around a value are removed, quotes are kept). Empty when absent.
std::wstring AFXAPI AfxGetConnectAttribute(const std::wstring& connect, const std::wstring& keyword);

// ---------------------------------------------------------------------------------------
class CDBException : public CException {
  DECLARE_DYNAMIC(CDBException)

 public:
  explicit CDBException(RETCODE nRetCode = SQL_SUCCESS) : m_nRetCode(nRetCode) {}

  // Collects every diagnostic record of the handle: m_strError gets each message (without
  // its "[vendor][component]" origin) followed by "\n", m_strStateNativeOrigin one
  // "State:%s,Native:%ld,Origin:%s\n" line per record.
  void BuildErrorString(SQLSMALLINT nHandleType, SQLHANDLE hHandle);
  // A framework-detected error (AFX_SQL_ERROR_...) or an in-process driver's error.
  void SetErrorText(LPCWSTR lpszError, LPCWSTR lpszState = L"", long nNative = 0, LPCWSTR lpszOrigin = L"");

  BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;

  RETCODE m_nRetCode;
  CString m_strError;
  CString m_strStateNativeOrigin;
};

// Throws a CDBException built from the diagnostics of hstmt (when given) or the database's
// connection; an AFX_SQL_ERROR_ code gets a fixed description.
[[noreturn]] void AFXAPI AfxThrowDBException(RETCODE nRetCode, CDatabase* pdb, HSTMT hstmt);

// ---------------------------------------------------------------------------------------
class CDatabase : public CObject {
  DECLARE_DYNAMIC(CDatabase)

 public:
  enum DbOpenOptions {
    openExclusive = 0x0001,
    openReadOnly = 0x0002,
    useCursorLib = 0x0004,
    noOdbcDialog = 0x0008,
    forceOdbcDialog = 0x0010,
  };

  CDatabase();
  ~CDatabase() override;  // closes
  CDatabase(const CDatabase&) = delete;
  CDatabase& operator=(const CDatabase&) = delete;

  // Connects without a dialog (this program never prompts): TRUE when connected, FALSE
  // when the driver asked for information it was not given; throws CDBException otherwise.
  virtual BOOL OpenEx(LPCTSTR lpszConnectString, DWORD dwOptions = 0);
  // "ODBC;"-prefixed connect text plus an optional data source name.
  virtual BOOL Open(LPCTSTR lpszDSN, BOOL bExclusive = FALSE, BOOL bReadOnly = FALSE,
                    LPCTSTR lpszConnect = L"ODBC;", BOOL bUseCursorLib = TRUE);
  virtual void Close();

  BOOL IsOpen() const;
  // "ODBC;" followed by the completed connection string.
  const CString& GetConnect() const { return m_strConnect; }
  CString GetDatabaseName() const;
  BOOL CanUpdate() const { return IsOpen() && !m_bReadOnly; }
  BOOL CanTransact() const;

  // Runs a statement that returns no rows; throws CDBException when it fails.
  void ExecuteSQL(LPCTSTR lpszSQL);

  BOOL BeginTrans();
  BOOL CommitTrans();
  BOOL Rollback();
  void SetLoginTimeout(DWORD dwSeconds) { m_dwLoginTimeout = dwSeconds; }
  void SetQueryTimeout(DWORD dwSeconds) { m_dwQueryTimeout = dwSeconds; }

  // The in-process connection, null for ODBC connections.
  IDbDriverConnection* GetInProcessConnection() const { return m_pInProcess.get(); }

  HDBC m_hdbc = SQL_NULL_HDBC;

 protected:
  friend class CRecordset;
  HSTMT AllocStatement();

  CString m_strConnect;
  BOOL m_bReadOnly = FALSE;
  DWORD m_dwLoginTimeout = 15;
  DWORD m_dwQueryTimeout = 15;
  std::unique_ptr<IDbDriverConnection> m_pInProcess;
};

// ---------------------------------------------------------------------------------------
struct CODBCFieldInfo {
  CString m_strName;
  SWORD m_nSQLType = 0;
  SQLULEN m_nPrecision = 0;
  SWORD m_nScale = 0;
  SWORD m_nNullability = 0;
};

#define AFX_DB_USE_DEFAULT_TYPE (0xFFFFFFFF)

// A read cursor over the result of one statement. Values are read as text. forwardOnly
// keeps only the current row; snapshot (and the other types) reads the whole result on
// Open and can move in every direction.
class CRecordset : public CObject {
  DECLARE_DYNAMIC(CRecordset)

 public:
  enum OpenType { dynaset, snapshot, forwardOnly, dynamic };
  enum OpenOptions {
    none = 0x0,
    readOnly = 0x0004,
    appendOnly = 0x0008,
    skipDeletedRecords = 0x0010,
    noDirtyFieldCheck = 0x0020,
    useBookmarks = 0x0100,
    useMultiRowFetch = 0x0200,
    userAllocMultiRowBuffers = 0x0400,
    useExtendedFetch = 0x0800,
    executeDirect = 0x2000,
    optimizeBulkAdd = 0x4000,
    firstBulkAdd = 0x8000,
  };

  explicit CRecordset(CDatabase* pDatabase = nullptr);
  ~CRecordset() override;
  CRecordset(const CRecordset&) = delete;
  CRecordset& operator=(const CRecordset&) = delete;

  // lpszSQL: a statement, or a table name (read as SELECT * FROM it); null: GetDefaultSQL.
  // Throws CDBException when the statement fails.
  virtual BOOL Open(UINT nOpenType = AFX_DB_USE_DEFAULT_TYPE, LPCTSTR lpszSQL = nullptr,
                    DWORD dwOptions = none);
  virtual void Close();
  BOOL IsOpen() const { return m_bOpen; }

  BOOL IsBOF() const { return m_bBOF; }
  BOOL IsEOF() const { return m_bEOF; }
  BOOL IsDeleted() const { return FALSE; }
  BOOL CanScroll() const { return m_bOpen && m_nOpenType != forwardOnly; }
  BOOL CanUpdate() const { return FALSE; }
  // Moving past the end throws (AFX_SQL_ERROR_NO_DATA_FOUND); moving backwards on a
  // forward-only cursor throws AFX_SQL_ERROR_RECORDSET_FORWARD_ONLY.
  void MoveNext();
  void MovePrev();
  void MoveFirst();
  void MoveLast();
  void Move(long nRows);
  void SetAbsolutePosition(long nRows);  // 1-based
  // Rows seen so far (forward-only) or all rows (other types).
  long GetRecordCount() const { return m_nRecordCount; }

  short GetODBCFieldCount() const { return static_cast<short>(m_columns.size()); }
  // Bad indexes and unknown names throw CDBException (AFX_SQL_ERROR_FIELD_NOT_FOUND).
  void GetODBCFieldInfo(short nIndex, CODBCFieldInfo& fieldinfo) const;
  void GetODBCFieldInfo(LPCTSTR lpszName, CODBCFieldInfo& fieldinfo) const;
  // The current row's value as text; a NULL value gives an empty text.
  void GetFieldValue(short nIndex, CString& strValue) const;
  void GetFieldValue(LPCTSTR lpszName, CString& strValue) const;
  BOOL IsFieldNull(short nIndex) const;

  virtual CString GetDefaultConnect() { return CString(L"ODBC;"); }
  virtual CString GetDefaultSQL() { return CString(); }
  const CString& GetSQL() const { return m_strSQL; }

  CDatabase* m_pDatabase;
  HSTMT m_hstmt = SQL_NULL_HSTMT;
  CString m_strFilter;
  CString m_strSort;
  UINT m_nDefaultType = snapshot;

 private:
  struct Row {
    std::vector<CString> values;
    std::vector<bool> nulls;
  };
  short FieldIndexOf(LPCTSTR lpszName) const;
  const Row& CurrentRow() const;
  bool FetchNext(Row& row);  // next row from the statement or the in-process result
  void ReadAll();
  void SetPosition(long nIndex);
  [[noreturn]] void Throw(RETCODE nRetCode) const;

  std::unique_ptr<CDatabase> m_pOwnedDatabase;
  CString m_strSQL;
  UINT m_nOpenType = snapshot;
  BOOL m_bOpen = FALSE;
  BOOL m_bBOF = TRUE;
  BOOL m_bEOF = TRUE;
  long m_nRecordCount = 0;
  std::vector<CODBCFieldInfo> m_columns;
  // forwardOnly: m_rows holds the current row only; otherwise every row.
  std::vector<Row> m_rows;
  long m_nCurrent = -1;  // index into m_rows
  DbDriverResult m_inProcessResult;
  size_t m_nInProcessNext = 0;
};
