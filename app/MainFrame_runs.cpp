// The frame's save loop: one database or every listed one, into a PST file, a workbook or a
// text file. It runs on the save worker; every window it changes belongs to the interface
// thread and is changed there (by messages, or through RunOnUiThread for dialogs).
#include "MainFrame.h"

#include "PstWriter.h"
#include "SaveOptionsDlg.h"
#include "SpreadsheetWriter.h"

namespace {
const wchar_t kSavingFile[] = L"Saving File...";
const wchar_t kSeveralFilesMode[] = L"Saving Mode : Multiple Files";
const wchar_t kRowProcessing[] = L"Current processing...";
const wchar_t kRowCancelled[] = L"cancelled by user...";
const wchar_t kRowDone[] = L"Save Done...";

void SetWindowTextOf(CWnd* pWnd, const CString& strText) {
  if (pWnd && ::IsWindow(pWnd->GetSafeHwnd()))
    ::SendMessageW(pWnd->GetSafeHwnd(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(strText.GetString()));
}

void SetRowText(CListCtrl* pList, int nRow, int nColumn, const CString& strText) {
  if (!pList || !::IsWindow(pList->GetSafeHwnd())) return;
  LVITEMW item = {};
  item.iSubItem = nColumn;
  item.pszText = const_cast<LPWSTR>(strText.GetString());
  ::SendMessageW(pList->GetSafeHwnd(), LVM_SETITEMTEXTW, nRow, reinterpret_cast<LPARAM>(&item));
  // The row's new state is shown at once, not whenever the list next paints.
  ::SendMessageW(pList->GetSafeHwnd(), LVM_UPDATE, nRow, 0);
}

void SetBarPosition(CWnd* pBar, int nPercent) {
  if (pBar && ::IsWindow(pBar->GetSafeHwnd())) ::SendMessageW(pBar->GetSafeHwnd(), PBM_SETPOS, nPercent, 0);
}
}  // namespace

BOOL CMainFrame::IsAbortRequested() const { return m_Reader.m_bCancel != 0; }

BOOL CMainFrame::RunOnUiThread(const std::function<void()>& work) {
  if (m_pRunContext) return m_pRunContext->RunOnUi(work);
  work();
  return TRUE;
}

INT_PTR CMainFrame::RunSaveOptions() {
  INT_PTR nResult = IDCANCEL;
  RunOnUiThread([&] {
    CSaveOptionsDlg dlg(this, AfxGetMainWnd());
    dlg.m_strSourcePath = m_strCurrentPath;
    dlg.m_strSourceServer = m_strCurrentServer;
    nResult = dlg.DoModal();
  });
  return nResult;
}

BOOL CMainFrame::SaveCurrentFile(BOOL bOpenTarget, CString& strSavedPath) {
  switch (m_nOutputKind) {
    case kOutputPst:
      if (bOpenTarget && (!CheckTargetNotReadOnly(m_strPstPath) || !OpenTargetPst(m_strPstPath, m_nPstMode))) {
        m_bTargetFailed = TRUE;
        return FALSE;
      }
      strSavedPath = m_strPstPath;
      if (!m_pPstWriter) {
        m_Reader.SetLastError(L"No PST file is open");
        return FALSE;
      }
      return ExportFoldersToPst(m_strPstPath, m_nPstMode);
    case kOutputExcel:
      strSavedPath = m_strExcelPath;
      return CheckTargetNotReadOnly(m_strExcelPath) && ExportFoldersToSheet(m_strExcelPath);
    case kOutputCsv:
      strSavedPath = m_strCsvPath;
      return CheckTargetNotReadOnly(m_strCsvPath) && ExportFoldersToSheet(m_strCsvPath);
    default:
      m_Reader.SetLastError(L"Please select save option");
      return FALSE;
  }
}

BOOL CMainFrame::SaveAllFiles(CListCtrl* pFileList, CWnd* pStatusText, CWnd* pOverallBar) {
  BOOL bResult = TRUE;
  m_Reader.SetLastError(L"");
  m_bTargetFailed = FALSE;
  if (m_nSourceMode != kSourceSeveralFiles) {
    SetWindowTextOf(pStatusText, kSavingFile);
    CString strSavedPath;
    bResult = SaveCurrentFile(TRUE, strSavedPath);
  } else {
    m_bSingleTarget = FALSE;
    SetWindowTextOf(pStatusText, kSeveralFilesMode);
    BOOL bTargetOpen = FALSE;
    const int nFiles = static_cast<int>(m_arrSourceFiles.GetSize());
    SetBarPosition(pOverallBar, 0);
    for (int i = 0; i < nFiles; ++i) {
      // A Stop question pauses the worker here between files as well.
      if (m_pRunContext) m_pRunContext->Poll();
      if (IsAbortRequested()) {
        // Stopped: the files not reached are not saved, and their rows say so.
        for (int j = i; j < nFiles; ++j) SetRowText(pFileList, j, 1, kRowCancelled);
        break;
      }
      SetWindowTextOf(pStatusText, kSeveralFilesMode);
      SetRowText(pFileList, i, 1, kRowProcessing);
      m_strCurrentPath = m_arrSourceFiles[i];
      m_strCurrentServer = i < m_arrSourceServers.GetSize() ? m_arrSourceServers[i] : CString();
      SetWindowTextOf(pStatusText, m_strCurrentPath);

      CStringArray folders;
      BOOL bFileDone = FALSE;
      CString strSavedPath;
      m_Reader.SetLastError(L"");
      if (!EnumerateFolders(&folders, 1)) {
        // A database that cannot be opened (damaged, or its server gone) fails its row.
        if (m_Reader.GetLastError().IsEmpty()) m_Reader.SetLastError(L"Unable to open " + m_strCurrentPath);
      } else if (IsAbortRequested()) {
        SetRowText(pFileList, i, 1, kRowCancelled);
        continue;
      } else {
        m_arrChosenFolders.RemoveAll();
        m_arrChosenFolders.Append(folders);
        if (m_bSingleTarget) {
          bFileDone = SaveCurrentFile(!bTargetOpen, strSavedPath);
          if (bFileDone) bTargetOpen = TRUE;
        } else if (RunSaveOptions() != IDOK) {
          SetRowText(pFileList, i, 1, kRowCancelled);
          SetBarPosition(pOverallBar, 100 * (i + 1) / nFiles);
          continue;
        } else if (m_bSingleTarget) {
          bFileDone = SaveCurrentFile(!bTargetOpen, strSavedPath);
          if (bFileDone) bTargetOpen = TRUE;
        } else {
          bFileDone = SaveCurrentFile(TRUE, strSavedPath);
          DeletePstWriter();
        }
      }
      if (IsAbortRequested()) {
        SetRowText(pFileList, i, 1, kRowCancelled);
        SetRowText(pFileList, i, 3, strSavedPath);
        bResult = FALSE;
      } else if (bFileDone) {
        SetRowText(pFileList, i, 1, kRowDone);
        SetRowText(pFileList, i, 3, strSavedPath);
      } else {
        SetRowText(pFileList, i, 1, L"Failed : " + m_Reader.GetLastError());
        SetRowText(pFileList, i, 3, strSavedPath);
        bResult = FALSE;
      }
      SetBarPosition(pOverallBar, 100 * (i + 1) / nFiles);
    }
  }
  // The store is saved and closed here, on the thread that opened it, whatever happened.
  DeletePstWriter();
  return bResult;
}

