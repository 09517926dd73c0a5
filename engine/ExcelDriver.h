// Our Excel ODBC driver, run inside the program: connections whose DRIVER={...} names an
// Excel driver go to the workbook library's statement engine instead of the ODBC driver
// manager, through the framework's in-process driver seam. The spreadsheet writer reaches
// it with the framework's CDatabase and CRecordset like any ODBC data source.
//
// The installation lists the driver among the installed ODBC drivers (HKLM
// "Software\ODBC\ODBCINST.INI") under kExcelDriverDescription, which is how the writer
// finds a driver whose description contains "Excel".
//
// Statements follow ODBC's auto-commit: every statement that succeeded is in the workbook
// file once the connection closes. The file is written as a whole at that moment (to a
// temporary file that replaces the target), not after each statement.
#pragma once

#include <framework.h>

#include <memory>
#include <string>

// The description of the driver in the ODBC installer's list of drivers.
extern const wchar_t kExcelDriverDescription[];

// Sends connections whose driver name contains "Excel" (in any letter case) to our driver.
// Called once at start-up by the application and by tests; calling it again is harmless.
void RegisterExcelDriver();

// The driver's connection factory: opens the workbook that the connection string names
// (DBQ, or CREATE_DB for a workbook to create when it is missing). Null, with an ODBC-style
// error, when the workbook can't be opened (missing, locked, damaged, not a workbook).
std::unique_ptr<IDbDriverConnection> ConnectExcelWorkbook(const std::wstring& connect, DbDriverError& error);

// Writes the workbook of a connection to our driver now, so that a failure to write it
// reaches the caller as a CDBException instead of passing unnoticed when the connection
// closes. Does nothing for other connections: an ODBC driver writes when it disconnects.
void FlushExcelWorkbook(CDatabase& database);
