// The main frame: owner of the engine objects and of the save loop that the save worker
// runs. This part holds the export side (the Notes reader, the conversion controller, the
// current PST writer, the output settings and the chosen folders); the window side of the
// frame is built on top of it.
#pragma once

#include <framework.h>

#include "ConversionController.h"
#include "DominoFileDlg.h"
#include "WizardNotesReader.h"

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
  // program to strPath, replacing any file there. Failures are not reported.
  void WritePstTemplate(CString strPath, int nResourceId);
  BOOL ExportFolder(CString strFolder, int nMode, CSpreadsheetWriter* pSheet);

  // The PST half of the save loop.
  BOOL OpenTargetPst(CString strPath, int nExisting);
  BOOL ExportFoldersToPst(CString strPath, int nExisting);
  // The spreadsheet half of the save loop: one writer per chosen folder on the same file,
  // each reading what the ones before it wrote, committed and destroyed in turn, so every
  // folder ends up in one sheet or file. FALSE when a folder's rows could not be written;
  // the reader's last error then says why.
  BOOL ExportFoldersToSpreadsheet(CString strPath, int nOutputKind);
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
};
