// The main frame: owner of the engine objects and of the save loop that the save worker
// runs. This part holds the export side (the Notes reader, the conversion controller, the
// current PST writer, the output settings and the chosen folders); the window side of the
// frame is built on top of it.
#pragma once

#include <framework.h>

#include "ConversionController.h"
#include "DominoFileDlg.h"
#include "WizardNotesReader.h"
#include "WorkerRunner.h"

#include <functional>

class CPstWriter;
class CSpreadsheetWriter;

class CMainFrame : public IDominoServerSource {
 public:
  enum { kOutputPst = 0, kOutputExcel = 1, kOutputCsv = 2 };
  enum { kPstNew = 0, kPstExisting = 1 };

  CMainFrame() = default;
  virtual ~CMainFrame();
  CMainFrame(const CMainFrame&) = delete;
  CMainFrame& operator=(const CMainFrame&) = delete;

  // Writes the blank PST template resource (type "PST", nResourceId 224 or 225) of the
  // program to strPath, replacing any file there. FALSE when the template is missing or the
  // file could not be written whole: the partial file is deleted and the reader's last
  // error holds the system's reason.
  BOOL WritePstTemplate(CString strPath, int nResourceId);
  BOOL ExportFolder(CString strFolder, int nMode, CSpreadsheetWriter* pSheet);

  // The PST half of the save loop.
  BOOL OpenTargetPst(CString strPath, int nExisting);
  BOOL ExportFoldersToPst(CString strPath, int nExisting);
  // The spreadsheet half of the save loop: one writer per chosen folder on the same file,
  // each reading what the ones before it wrote, committed and destroyed in turn, so every
  // folder ends up in one sheet or file; the path's extension (".xls") chooses a workbook,
  // anything else a text file. FALSE when a folder's rows could not be written; the
  // reader's last error then says why.
  BOOL ExportFoldersToSheet(CString strPath);
  // Deletes the current PST writer (which saves and closes the store).
  void DeletePstWriter();
  // Sets both abort flags: the reader's and, when one exists, the PST writer's.
  void SetAbortFlags(int nValue) override;

  // The Domino server lists (run on workers); both clear the reader's abort flag first.
  BOOL ListServers(CStringArray& names) override;
  BOOL ListServerDatabases(CString strServer, CStringArray& paths, CStringArray& names) override;
  // The reader's last error text.
  CString GetLastError() override { return m_Reader.GetLastError(); }

  CWizardNotesReader m_Reader;
  CConversionController m_Controller;
  CPstWriter* m_pPstWriter = nullptr;
  CStringArray m_arrChosenFolders;
  int m_nOutputKind = kOutputPst;
  int m_nPstMode = kPstNew;
  CString m_strPstPath;

  // ---- Output settings, sources and the save loop (MainFrame_runs.cpp) ----
  enum { kSourceOneFile = 1, kSourceSeveralFiles = 2 };
  CString m_strExcelPath;
  CString m_strCsvPath;
  // Export every source file into one target.
  BOOL m_bSingleTarget = FALSE;
  int m_nSourceMode = 0;
  CStringArray m_arrSourceFiles;
  CStringArray m_arrSourceServers;  // parallel; "" = local file
  CString m_strCurrentPath;
  CString m_strCurrentServer;
  // The save worker's context while a save runs on it: the loop's window work and dialogs
  // go through it to the interface thread. Null when the loop runs on the interface thread.
  CWorkerContext* m_pRunContext = nullptr;
  // Set by the save loop when the target PST could not be opened or made.
  BOOL m_bTargetFailed = FALSE;

  // Opens the current database and scans its folders: into pFolders (their tree paths)
  // with nIntoArray 1, else into the reader's tree window. FALSE with the reason in the
  // last error text.
  BOOL EnumerateFolders(CStringArray* pFolders, int nIntoArray);
  // The whole save of the current settings. pFileList (several-files mode: one row per
  // source file), pStatusText and pOverallBar are windows of the interface thread.
  BOOL SaveAllFiles(CListCtrl* pFileList, CWnd* pStatusText, CWnd* pOverallBar);
  // One source file (its chosen folders) into the chosen target; strSavedPath := the
  // target path. FALSE with the reason in the last error text.
  BOOL SaveCurrentFile(BOOL bOpenTarget, CString& strSavedPath);
  // Runs work on the interface thread (at once when called there).
  BOOL RunOnUiThread(const std::function<void()>& work);
  // Runs the Save Options dialog for the current source on the interface thread; IDOK or
  // IDCANCEL.
  virtual INT_PTR RunSaveOptions();
  // TRUE once the user (or the program's end) asked the running work to stop.
  BOOL IsAbortRequested() const;
};
