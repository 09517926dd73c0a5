// A table of text rows (a header row of column names, then data rows) kept in memory and
// written either to a sheet of an Excel workbook through ODBC with an Excel driver, or to
// a delimited text file. A path ending in ".xls" (any letter case) is a workbook, any
// other path a text file.
//
// The save loop makes one writer per chosen Notes folder: the constructor reads what the
// target already holds, the contact writing adds one row per contact, Commit writes the
// whole table, and the writer is destroyed. So the contacts of all chosen folders end up in
// one sheet or file, folder after folder.
//
// Every row is held as one line: each cell in double quotes, cells joined by the separator
// (the one given for a text file, ",;.?" inside a workbook writer). A text file holds
// exactly these lines, each ended by CR LF, in UTF-16 little-endian without a byte-order
// mark.
//
// Operations return false on failure and keep its text, which GetLastError returns; a
// success leaves the last error as it was.
#pragma once

#include <framework.h>

#include <memory>

class CSpreadsheetWriter {
 public:
  // secondText: the sheet name for a workbook, the cell separator for a text file.
  // backup: copy what the target held before anything is written (a "CSpreadSheetBackup"
  // sheet of the workbook, or the text file's path + ".bak").
  CSpreadsheetWriter(CString path, CString secondText, bool backup);
  // Frees everything; does not commit.
  ~CSpreadsheetWriter();
  CSpreadsheetWriter(const CSpreadsheetWriter&) = delete;
  CSpreadsheetWriter& operator=(const CSpreadsheetWriter&) = delete;

  // The first header row of a new table, a replacement header (replace), or names appended
  // to the existing header.
  bool AddHeaders(CStringArray& names, bool replace);
  // row: 1-based, 1 is the header row, 0 appends; replace overwrites that row instead of
  // inserting before it. Rows are kept in memory until Commit.
  bool AddRow(CStringArray& cells, long row, bool replace);
  // row 0 reads the current row; each call moves the current row on by one.
  bool ReadRow(CStringArray& cells, long row);
  // Writes the whole table to the target.
  bool Commit();
  // Reads the target into memory (the constructor does).
  bool Open();
  CString GetLastError() const;
  // Picks the first installed ODBC driver whose description contains "Excel".
  void FindExcelDriver();

 private:
  CString MakeLine(const CStringArray& cells) const;
  CString MakeFillerLine() const;
  void AppendLine(CString line);
  void SetError(LPCWSTR text);
  void SetErrorFromException(CException* e);
  bool CommitBackup(CString& target, LPCWSTR temporary);
  bool Connect();
  bool OpenWorkbook();
  bool OpenTextFile();
  bool CommitWorkbook();
  bool CommitTextFile();
  bool CheckTableFitsSheet();
  void ExecuteInserts();

  bool m_bSheetExists = false;
  bool m_bBackup = false;
  bool m_bExcel = false;
  int m_nCurrentRow = 1;
  int m_nTotalRows = 0;
  short m_nTotalColumns = 0;
  CString m_strSql;
  CString m_strConnect;
  CString m_strSheetName;
  CString m_strDriver;
  CString m_strPath;
  CString m_strSeparator;
  CString m_strLastError;
  CStringArray m_aHeader;
  CStringArray m_aRows;
  CStringArray m_aScratch;
  std::unique_ptr<CDatabase> m_pDatabase;
  std::unique_ptr<CRecordset> m_pRecordset;
};
