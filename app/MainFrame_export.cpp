// The frame's part of the save loop: PST, workbook and text-file output.
#include "MainFrame.h"

#include "PstWriter.h"
#include "SpreadsheetWriter.h"

namespace {
// The system's text for an error code, without its line break.
CString SystemReason(DWORD nError) {
  wchar_t* pText = nullptr;
  ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   nError, 0, reinterpret_cast<LPWSTR>(&pText), 0, nullptr);
  CString strText = pText ? pText : L"";
  if (pText) ::LocalFree(pText);
  strText.TrimRight();
  if (strText.IsEmpty()) strText.Format(L"error %lu", nError);
  return strText;
}
}  // namespace

BOOL CMainFrame::WritePstTemplate(CString strPath, int nResourceId) {
  HMODULE hModule = ::GetModuleHandleW(nullptr);
  HRSRC hResource = ::FindResourceW(hModule, MAKEINTRESOURCEW(nResourceId), L"PST");
  HGLOBAL hData = hResource ? ::LoadResource(hModule, hResource) : nullptr;
  const void* pBytes = hData ? ::LockResource(hData) : nullptr;
  const DWORD nSize = hResource ? ::SizeofResource(hModule, hResource) : 0;
  if (!pBytes || nSize == 0) {
    m_Reader.SetLastError(L"The blank PST file is missing from the program");
    return FALSE;
  }
  HANDLE hFile = ::CreateFileW(strPath.GetString(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
  if (hFile == INVALID_HANDLE_VALUE) {
    m_Reader.SetLastError(L"Unable to create " + strPath + L" : " + SystemReason(::GetLastError()));
    return FALSE;
  }
  DWORD nWritten = 0;
  BOOL bWritten = ::WriteFile(hFile, pBytes, nSize, &nWritten, nullptr) && nWritten == nSize;
  DWORD nError = bWritten ? ERROR_SUCCESS : ::GetLastError();
  if (!::CloseHandle(hFile) && bWritten) {
    bWritten = FALSE;
    nError = ::GetLastError();
  }
  if (!bWritten) {
    // A short template is no PST: it must not be opened as one later.
    ::DeleteFileW(strPath.GetString());
    if (nError == ERROR_SUCCESS) nError = ERROR_HANDLE_DISK_FULL;
    m_Reader.SetLastError(L"Unable to write " + strPath + L" : " + SystemReason(nError));
    return FALSE;
  }
  return TRUE;
}

BOOL CMainFrame::CheckTargetNotReadOnly(const CString& strPath) {
  const DWORD nAttributes = ::GetFileAttributesW(strPath.GetString());
  if (nAttributes == INVALID_FILE_ATTRIBUTES || (nAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
      (nAttributes & FILE_ATTRIBUTE_READONLY) == 0)
    return TRUE;
  m_Reader.SetLastError(L"Unable to write " + strPath + L" : the file is read-only (" + SystemReason(ERROR_ACCESS_DENIED) +
                        L")");
  return FALSE;
}

BOOL CMainFrame::ExportFolder(CString strFolder, int nMode, CSpreadsheetWriter* pSheet) {
  m_Controller.m_pReader = &m_Reader;
  m_Controller.m_pPstWriter = m_pPstWriter;
  return m_Controller.ExportFolder(strFolder, nMode, pSheet);
}

BOOL CMainFrame::OpenTargetPst(CString strPath, int nExisting) {
  DeletePstWriter();
  m_pPstWriter = new CPstWriter();
  m_pPstWriter->m_pMainFrame = this;
  // A Stop given before this writer existed still holds for it.
  m_pPstWriter->m_nAbort = m_Reader.m_bCancel ? 1 : 0;
  m_Reader.SetLastError(L"");
  if (m_pPstWriter->OpenPst(strPath, nExisting) != 0) return TRUE;
  if (m_Reader.GetLastError().IsEmpty()) {
    // Say why when the file itself is the cause (locked, read-only, missing folder).
    CString strReason;
    if (nExisting) {
      HANDLE hFile = ::CreateFileW(strPath.GetString(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (hFile == INVALID_HANDLE_VALUE)
        strReason = SystemReason(::GetLastError());
      else
        ::CloseHandle(hFile);
    }
    m_Reader.SetLastError(L"Unable to open the PST file " + strPath + (strReason.IsEmpty() ? CString() : L" : " + strReason));
  }
  return FALSE;
}

BOOL CMainFrame::ExportFoldersToPst(CString, int) {
  BOOL bAllExported = TRUE;
  // The first failure is the one that says why (a full disk, say); later folders of a
  // store that can no longer be written only fail after it.
  CString strFirstError;
  for (INT_PTR i = 0; i < m_arrChosenFolders.GetSize(); ++i) {
    if (m_arrChosenFolders[i].IsEmpty() || ExportFolder(m_arrChosenFolders[i], CConversionController::kModePst, nullptr))
      continue;
    if (bAllExported) strFirstError = m_Reader.GetLastError();
    bAllExported = FALSE;
  }
  if (!bAllExported && !strFirstError.IsEmpty()) m_Reader.SetLastError(strFirstError);
  return bAllExported;
}

BOOL CMainFrame::ExportFoldersToSheet(CString strPath) {
  // A workbook's rows go to the sheet "Contacts"; for a text file the same argument is the
  // cell separator, which must be a comma.
  const CString strExtension = strPath.GetLength() >= 4 ? strPath.Right(4) : CString();
  const BOOL bWorkbook = strExtension.CompareNoCase(L".xls") == 0;
  const CString strSheetOrSeparator = bWorkbook ? L"Contacts" : L",";
  BOOL bAllWritten = TRUE;
  for (INT_PTR i = 0; i < m_arrChosenFolders.GetSize(); ++i) {
    if (m_arrChosenFolders[i].IsEmpty()) continue;
    CSpreadsheetWriter writer(strPath, strSheetOrSeparator, false);
    if (!ExportFolder(m_arrChosenFolders[i], CConversionController::kModeSpreadsheet, &writer)) bAllWritten = FALSE;
    // What was read before a failure or a Stop is still written.
    if (!writer.Commit()) {
      m_Reader.SetLastError(writer.GetLastError());
      bAllWritten = FALSE;
    }
  }
  return bAllWritten;
}

void CMainFrame::DeletePstWriter() {
  delete m_pPstWriter;
  m_pPstWriter = nullptr;
}

void CMainFrame::SetAbortFlags(int nValue) {
  m_Reader.m_bCancel = nValue;
  if (m_pPstWriter) m_pPstWriter->m_nAbort = nValue;
}

BOOL CMainFrame::ListServers(CStringArray& names) {
  m_Reader.m_bCancel = 0;
  return m_Reader.ListServers(&names);
}

BOOL CMainFrame::ListServerDatabases(CString strServer, CStringArray& paths, CStringArray& names) {
  m_Reader.m_bCancel = 0;
  return m_Reader.ListServerDatabases(strServer, &paths, &names);
}
