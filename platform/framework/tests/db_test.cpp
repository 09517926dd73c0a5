// CDatabase / CRecordset against a real SQLite database reached through ODBC, and the
// in-process driver seam with a small driver defined here.
#include <gtest/gtest.h>

#include <string>

#include "framework.h"

namespace {

// The SQLite driver runs natively under Wine, so it needs the Unix form of a path.
std::wstring UnixPathOf(const std::wstring& windowsPath) {
  using UnixNameFn = char*(CDECL*)(LPCWSTR);
  auto fn = reinterpret_cast<UnixNameFn>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
  if (fn != nullptr) {
    if (char* unixName = fn(windowsPath.c_str())) {
      std::wstring result(unixName, unixName + strlen(unixName));
      ::HeapFree(::GetProcessHeap(), 0, unixName);
      return result;
    }
  }
  return windowsPath;  // on Windows itself the path is fine as it is
}

// One file per process: ctest runs the cases of this program side by side.
std::wstring TempDatabasePath() {
  wchar_t dir[MAX_PATH];
  ::GetTempPathW(MAX_PATH, dir);
  std::wstring path = std::wstring(dir) + L"fw_db_test_" + std::to_wstring(::GetCurrentProcessId()) + L".sqlite";
  ::DeleteFileW(path.c_str());
  return path;
}

class DbSqlite : public ::testing::Test {
 protected:
  void SetUp() override {
    m_path = TempDatabasePath();
    m_connect = L"DRIVER={SQLite3};Database=" + UnixPathOf(m_path) + L";";
    ASSERT_TRUE(m_db.OpenEx(m_connect.c_str(), CDatabase::noOdbcDialog));
    m_db.ExecuteSQL(L"CREATE TABLE people (id INTEGER PRIMARY KEY, name VARCHAR(40), city TEXT)");
    m_db.ExecuteSQL(L"INSERT INTO people VALUES (1, 'Ann', 'Oslo')");
    m_db.ExecuteSQL(L"INSERT INTO people VALUES (2, 'Bj\u00f6rn', NULL)");
    m_db.ExecuteSQL(L"INSERT INTO people VALUES (3, 'Chen', 'Lyon')");
  }
  void TearDown() override {
    m_db.Close();
    ::DeleteFileW(m_path.c_str());
  }

  std::wstring m_path, m_connect;
  CDatabase m_db;
};

TEST_F(DbSqlite, ConnectionReportsOpenAndConnectString) {
  EXPECT_TRUE(m_db.IsOpen());
  EXPECT_TRUE(m_db.m_hdbc != SQL_NULL_HDBC);
  EXPECT_EQ(0, m_db.GetConnect().Left(5).Compare(L"ODBC;"));
  // The driver's completed connection string names the database it opened.
  EXPECT_NE(-1, m_db.GetConnect().Find((L"Database=" + UnixPathOf(m_path)).c_str()))
      << CStringA(m_db.GetConnect()).GetString();
  m_db.Close();
  EXPECT_FALSE(m_db.IsOpen());
  EXPECT_TRUE(m_db.m_hdbc == SQL_NULL_HDBC);
}

TEST_F(DbSqlite, ForwardOnlyReadsRowsFieldInfoAndValues) {
  CRecordset rs(&m_db);
  ASSERT_TRUE(rs.Open(CRecordset::forwardOnly, L"SELECT id, name, city FROM people ORDER BY id",
                      CRecordset::readOnly));
  ASSERT_EQ(3, rs.GetODBCFieldCount());
  CODBCFieldInfo info;
  rs.GetODBCFieldInfo(short(1), info);
  EXPECT_STREQ(L"name", info.m_strName);
  EXPECT_TRUE(info.m_nSQLType == SQL_VARCHAR || info.m_nSQLType == SQL_WVARCHAR) << info.m_nSQLType;
  EXPECT_EQ(40u, info.m_nPrecision);
  rs.GetODBCFieldInfo(L"ID", info);  // names match without regard to case
  EXPECT_STREQ(L"id", info.m_strName);
  EXPECT_EQ(SQL_INTEGER, info.m_nSQLType);

  std::wstring seen;
  EXPECT_FALSE(rs.IsBOF());
  while (!rs.IsEOF()) {
    CString id, name, city;
    rs.GetFieldValue(short(0), id);
    rs.GetFieldValue(L"name", name);
    rs.GetFieldValue(short(2), city);
    seen += std::wstring(id) + L":" + std::wstring(name) + L":" + std::wstring(city) + L";";
    rs.MoveNext();
  }
  EXPECT_EQ(L"1:Ann:Oslo;2:Bj\u00f6rn:;3:Chen:Lyon;", seen);
  EXPECT_EQ(3, rs.GetRecordCount());
  rs.Close();
  EXPECT_FALSE(rs.IsOpen());
}

TEST_F(DbSqlite, NullValueReadsAsEmptyAndIsReportedNull) {
  CRecordset rs(&m_db);
  rs.Open(CRecordset::forwardOnly, L"SELECT city FROM people WHERE id = 2", CRecordset::readOnly);
  CString city(L"x");
  rs.GetFieldValue(short(0), city);
  EXPECT_TRUE(city.IsEmpty());
  EXPECT_TRUE(rs.IsFieldNull(0));
}

TEST_F(DbSqlite, LongTextArrivesWhole) {
  std::wstring longText(3000, L'q');
  longText += L"end";
  m_db.ExecuteSQL((L"INSERT INTO people VALUES (4, 'Long', '" + longText + L"')").c_str());
  CRecordset rs(&m_db);
  rs.Open(CRecordset::forwardOnly, L"SELECT city FROM people WHERE id = 4", CRecordset::readOnly);
  CString value;
  rs.GetFieldValue(short(0), value);
  EXPECT_EQ(longText, value.str());
}

TEST_F(DbSqlite, EmptyResultIsBothBofAndEof) {
  CRecordset rs(&m_db);
  rs.Open(CRecordset::forwardOnly, L"SELECT * FROM people WHERE id > 100", CRecordset::readOnly);
  EXPECT_EQ(3, rs.GetODBCFieldCount());
  EXPECT_TRUE(rs.IsBOF());
  EXPECT_TRUE(rs.IsEOF());
  CString value;
  try {
    rs.GetFieldValue(short(0), value);
    ADD_FAILURE() << "reading without a current record must throw";
  } catch (CDBException* e) {
    EXPECT_EQ(AFX_SQL_ERROR_NO_CURRENT_RECORD, e->m_nRetCode);
    e->Delete();
  }
}

TEST_F(DbSqlite, SnapshotMovesBothWaysAndTableNameMeansSelectAll) {
  CRecordset rs(&m_db);
  rs.m_strSort = L"id DESC";
  rs.Open(CRecordset::snapshot, L"people");
  EXPECT_EQ(L"SELECT * FROM people ORDER BY id DESC", rs.GetSQL().str());
  EXPECT_EQ(3, rs.GetRecordCount());
  CString value;
  rs.MoveLast();
  rs.GetFieldValue(L"id", value);
  EXPECT_STREQ(L"1", value);
  rs.MovePrev();
  rs.GetFieldValue(L"id", value);
  EXPECT_STREQ(L"2", value);
  rs.MoveFirst();
  rs.GetFieldValue(L"id", value);
  EXPECT_STREQ(L"3", value);
  rs.MovePrev();
  EXPECT_TRUE(rs.IsBOF());
  rs.SetAbsolutePosition(2);
  rs.GetFieldValue(L"id", value);
  EXPECT_STREQ(L"2", value);
}

// Each failure must arrive as a CDBException carrying its code and a readable text.
struct DbFailureCase {
  const char* what;
  void (*run)(CDatabase& db);
  RETCODE expectedCode;     // SQL_ERROR for failures the driver reports
  const wchar_t* textPart;  // must appear in m_strError
};

const DbFailureCase kFailures[] = {
    {"bad SQL", [](CDatabase& db) { db.ExecuteSQL(L"SELEKT nonsense"); }, SQL_ERROR, L"syntax"},
    {"missing table",
     [](CDatabase& db) {
       CRecordset rs(&db);
       rs.Open(CRecordset::forwardOnly, L"SELECT * FROM nowhere", CRecordset::readOnly);
     },
     SQL_ERROR, L"nowhere"},
    {"constraint", [](CDatabase& db) { db.ExecuteSQL(L"INSERT INTO people VALUES (1, 'dup', '')"); },
     SQL_ERROR, L"UNIQUE"},
    {"unknown field name",
     [](CDatabase& db) {
       CRecordset rs(&db);
       rs.Open(CRecordset::forwardOnly, L"SELECT id FROM people", CRecordset::readOnly);
       CString v;
       rs.GetFieldValue(L"nosuch", v);
     },
     AFX_SQL_ERROR_FIELD_NOT_FOUND, L"field"},
    {"field index out of range",
     [](CDatabase& db) {
       CRecordset rs(&db);
       rs.Open(CRecordset::forwardOnly, L"SELECT id FROM people", CRecordset::readOnly);
       CODBCFieldInfo info;
       rs.GetODBCFieldInfo(short(5), info);
     },
     AFX_SQL_ERROR_FIELD_NOT_FOUND, L"field"},
    {"move past the end",
     [](CDatabase& db) {
       CRecordset rs(&db);
       rs.Open(CRecordset::forwardOnly, L"SELECT id FROM people", CRecordset::readOnly);
       for (int i = 0; i < 4; ++i) rs.MoveNext();
     },
     AFX_SQL_ERROR_NO_DATA_FOUND, L"end"},
    {"backwards on forward-only",
     [](CDatabase& db) {
       CRecordset rs(&db);
       rs.Open(CRecordset::forwardOnly, L"SELECT id FROM people", CRecordset::readOnly);
       rs.MoveFirst();
     },
     AFX_SQL_ERROR_RECORDSET_FORWARD_ONLY, L"forward"},
};

TEST_F(DbSqlite, FailuresThrowDbExceptionWithText) {
  for (const DbFailureCase& c : kFailures) {
    SCOPED_TRACE(c.what);
    bool thrown = false;
    try {
      c.run(m_db);
    } catch (CDBException* e) {
      thrown = true;
      EXPECT_EQ(c.expectedCode, e->m_nRetCode);
      EXPECT_NE(-1, e->m_strError.Find(c.textPart)) << CStringA(e->m_strError).GetString();
      EXPECT_EQ(L'\n', e->m_strError[e->m_strError.GetLength() - 1]);
      if (c.expectedCode == SQL_ERROR) {
        EXPECT_NE(-1, e->m_strStateNativeOrigin.Find(L"State:"));
      }
      wchar_t text[256] = {};
      EXPECT_TRUE(e->GetErrorMessage(text, 256));
      EXPECT_EQ(e->m_strError.str(), std::wstring(text));
      e->Delete();
    }
    EXPECT_TRUE(thrown);
  }
  EXPECT_TRUE(m_db.IsOpen());  // a failed statement leaves the connection usable
  m_db.ExecuteSQL(L"DELETE FROM people WHERE id = 99");  // no row affected is no error
}

TEST(DbConnect, ConnectFailureThrowsAndLeavesClosed) {
  CDatabase db;
  try {
    db.OpenEx(L"DRIVER={No Such Driver 42};Database=x", CDatabase::noOdbcDialog);
    ADD_FAILURE() << "connecting to a missing driver must throw";
  } catch (CDBException* e) {
    EXPECT_FALSE(e->m_strError.IsEmpty());
    e->Delete();
  }
  EXPECT_FALSE(db.IsOpen());
}

TEST(DbConnect, ConnectAttributesParse) {
  const std::wstring c =
      L"DRIVER={Microsoft Excel Driver (*.xls)};DSN='';FIRSTROWHASNAMES=1;CREATE_DB=\"C:\\a b.xls\";DBQ=C:\\a b.xls";
  EXPECT_EQ(L"Microsoft Excel Driver (*.xls)", AfxGetConnectAttribute(c, L"driver"));
  EXPECT_EQ(L"''", AfxGetConnectAttribute(c, L"DSN"));
  EXPECT_EQ(L"\"C:\\a b.xls\"", AfxGetConnectAttribute(c, L"Create_DB"));
  EXPECT_EQ(L"C:\\a b.xls", AfxGetConnectAttribute(c, L"DBQ"));
  EXPECT_EQ(L"", AfxGetConnectAttribute(c, L"READONLY"));
  EXPECT_EQ(L"x;y", AfxGetConnectAttribute(L"ODBC;A={x;y};B=2", L"A"));
  EXPECT_EQ(L"2", AfxGetConnectAttribute(L"ODBC;A={x;y};B=2", L"b"));
}

// ---------------------------------------------------------------------------------------
// A driver that keeps one table in memory: understands CREATE TABLE t (a, b),
// INSERT INTO t VALUES ('x', 'y') and SELECT * FROM t; anything else is an error.
class MemoryTableConnection : public IDbDriverConnection {
 public:
  explicit MemoryTableConnection(std::wstring file) : m_file(std::move(file)) {}
  bool Execute(const std::wstring& sql, DbDriverResult& result, DbDriverError& error) override {
    m_log.push_back(sql);
    if (sql.rfind(L"CREATE TABLE", 0) == 0) {
      m_columns = {{L"a"}, {L"b"}};
      return true;
    }
    if (sql.rfind(L"INSERT INTO", 0) == 0) {
      size_t q1 = sql.find(L'\''), q2 = sql.find(L'\'', q1 + 1);
      size_t q3 = sql.find(L'\'', q2 + 1), q4 = sql.find(L'\'', q3 + 1);
      m_rows.push_back({sql.substr(q1 + 1, q2 - q1 - 1), sql.substr(q3 + 1, q4 - q3 - 1)});
      result.rowsAffected = 1;
      return true;
    }
    if (sql.rfind(L"SELECT", 0) == 0 && !m_columns.empty()) {
      for (const auto& name : m_columns) {
        DbDriverColumn column;
        column.name = name;
        column.precision = 255;
        result.columns.push_back(column);
      }
      result.rows = m_rows;
      return true;
    }
    error.message = L"Table 'Contacts$' not found in " + m_file;
    error.state = L"42S02";
    error.nativeError = -1305;
    return false;
  }
  static std::vector<std::wstring> m_log;

 private:
  std::wstring m_file;
  std::vector<std::wstring> m_columns;
  std::vector<std::vector<std::wstring>> m_rows;
};
std::vector<std::wstring> MemoryTableConnection::m_log;

class DbInProcessDriver : public ::testing::Test {
 protected:
  void SetUp() override {
    MemoryTableConnection::m_log.clear();
    AfxRegisterInProcessDbDriver(L"excel", [](const std::wstring& connect, DbDriverError& error)
                                               -> std::unique_ptr<IDbDriverConnection> {
      std::wstring file = AfxGetConnectAttribute(connect, L"DBQ");
      if (file.empty()) {
        error.message = L"No workbook named (DBQ)";
        return nullptr;
      }
      return std::make_unique<MemoryTableConnection>(file);
    });
  }
  void TearDown() override { AfxUnregisterInProcessDbDriver(L"Excel"); }
  const wchar_t* kConnect = L"DRIVER={Microsoft Excel Driver (*.xls)};DSN='';DBQ=C:\\book.xls";
};

TEST_F(DbInProcessDriver, DriverNameMatchesCaseInsensitiveSubstringAndRoutesStatements) {
  CDatabase db;
  ASSERT_TRUE(db.OpenEx(kConnect, CDatabase::noOdbcDialog));
  EXPECT_TRUE(db.IsOpen());
  EXPECT_TRUE(db.m_hdbc == SQL_NULL_HDBC);  // never reached ODBC
  ASSERT_NE(nullptr, db.GetInProcessConnection());
  EXPECT_EQ(std::wstring(L"ODBC;") + kConnect, db.GetConnect().str());
  db.ExecuteSQL(L"CREATE TABLE [Contacts] ([a] char(255), [b] char(255))");
  db.ExecuteSQL(L"INSERT INTO [Contacts$A1:IV1] ([a], [b]) VALUES ('1', 'one')");
  db.ExecuteSQL(L"INSERT INTO [Contacts$A1:IV2] ([a], [b]) VALUES ('2', 'two')");

  CRecordset rs(&db);
  rs.Open(CRecordset::forwardOnly, L"SELECT * FROM [Contacts$A1:IV65536]", CRecordset::readOnly);
  ASSERT_EQ(2, rs.GetODBCFieldCount());
  CODBCFieldInfo info;
  rs.GetODBCFieldInfo(short(1), info);
  EXPECT_STREQ(L"b", info.m_strName);
  EXPECT_EQ(SQL_WVARCHAR, info.m_nSQLType);
  std::wstring seen;
  for (; !rs.IsEOF(); rs.MoveNext()) {
    CString a, b;
    rs.GetFieldValue(short(0), a);
    rs.GetFieldValue(L"B", b);
    seen += std::wstring(a) + L"=" + std::wstring(b) + L";";
  }
  EXPECT_EQ(L"1=one;2=two;", seen);
  EXPECT_EQ(4u, MemoryTableConnection::m_log.size());
  EXPECT_EQ(L"SELECT * FROM [Contacts$A1:IV65536]", MemoryTableConnection::m_log.back());
}

TEST_F(DbInProcessDriver, DriverErrorsBecomeDbExceptions) {
  CDatabase db;
  db.OpenEx(kConnect, CDatabase::noOdbcDialog);
  CRecordset rs(&db);
  try {
    rs.Open(CRecordset::forwardOnly, L"SELECT * FROM [Contacts$A1:IV65536]", CRecordset::readOnly);
    ADD_FAILURE() << "selecting from a missing sheet must throw";
  } catch (CDBException* e) {
    EXPECT_EQ(SQL_ERROR, e->m_nRetCode);
    EXPECT_STREQ(L"Table 'Contacts$' not found in C:\\book.xls\n", e->m_strError);
    EXPECT_NE(-1, e->m_strStateNativeOrigin.Find(L"State:42S02,Native:-1305"));
    e->Delete();
  }
  EXPECT_FALSE(rs.IsOpen());
  try {
    db.ExecuteSQL(L"DROP TABLE x");
    ADD_FAILURE() << "an unknown statement must throw";
  } catch (CDBException* e) {
    e->Delete();
  }
}

TEST_F(DbInProcessDriver, FactoryRefusalThrowsAndUnregisteredNameGoesToOdbc) {
  CDatabase db;
  try {
    db.OpenEx(L"DRIVER={Microsoft Excel Driver (*.xls)};DSN=''", CDatabase::noOdbcDialog);
    ADD_FAILURE() << "a refused connection must throw";
  } catch (CDBException* e) {
    EXPECT_STREQ(L"No workbook named (DBQ)\n", e->m_strError);
    e->Delete();
  }
  EXPECT_FALSE(db.IsOpen());
  AfxUnregisterInProcessDbDriver(L"EXCEL");
  // Now the same connection goes to ODBC, which has no such driver here.
  EXPECT_THROW(
      {
        try {
          db.OpenEx(kConnect, CDatabase::noOdbcDialog);
        } catch (CDBException* e) {
          e->Delete();
          throw 1;
        }
      },
      int);
}

}  // namespace
