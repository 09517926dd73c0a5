// The frame's part of the save loop: PST, workbook and text-file output.
#include "MainFrame.h"

#include "PstWriter.h"
#include "SpreadsheetWriter.h"

void CMainFrame::WritePstTemplate(CString strPath, int nResourceId) {
  HMODULE hModule = ::GetModuleHandleW(nullptr);
  HRSRC hResource = ::FindResourceW(hModule, MAKEINTRESOURCEW(nResourceId), L"PST");
  if (!hResource) return;
  HGLOBAL hData = ::LoadResource(hModule, hResource);
  const void* pBytes = hData ? ::LockResource(hData) : nullptr;
  const DWORD nSize = ::SizeofResource(hModule, hResource);
  if (!pBytes || nSize == 0) return;
  HANDLE hFile = ::CreateFileW(strPath.GetString(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return;
  DWORD nWritten = 0;
  ::WriteFile(hFile, pBytes, nSize, &nWritten, nullptr);
  ::CloseHandle(hFile);
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
  return m_pPstWriter->OpenPst(strPath, nExisting) != 0;
}

BOOL CMainFrame::ExportFoldersToPst(CString, int) {
  for (INT_PTR i = 0; i < m_arrChosenFolders.GetSize(); ++i)
    ExportFolder(m_arrChosenFolders[i], CConversionController::kModePst, nullptr);
  return TRUE;
}

BOOL CMainFrame::ExportFoldersToSpreadsheet(CString strPath, int nOutputKind) {
  // A workbook's rows go to the sheet "Contacts"; for a text file the same argument is the
  // cell separator, which must be a comma.
  const CString strSheetOrSeparator = nOutputKind == kOutputExcel ? L"Contacts" : L",";
  BOOL bAllWritten = TRUE;
  for (INT_PTR i = 0; i < m_arrChosenFolders.GetSize(); ++i) {
    CSpreadsheetWriter writer(strPath, strSheetOrSeparator, false);
    ExportFolder(m_arrChosenFolders[i], CConversionController::kModeSpreadsheet, &writer);
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
