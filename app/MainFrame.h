// The main frame: controller of the wizard. It owns the engine objects (the Notes reader,
// the conversion controller, the current PST writer), the please-wait dialog, the server
// search window and the web-link pane, holds what the three pages share (source files,
// chosen folders, output settings), starts and ends the Notes session, confirms closing and
// routes the program's messages between the pages, the view and itself.
//
// The window side is in MainFrame.cpp, its command bars in MainFrame_bars.cpp; the save loop's PST and spreadsheet halves (which
// the console driver and the export tests use without a window) in MainFrame_export.cpp.
#pragma once

#include <framework.h>

#include "ConversionController.h"
#include "DominoFileDlg.h"
#include "WizardNotesReader.h"
#include "WorkerRunner.h"
#include "XTPFrameWnd.h"
#include "XTPStatusBar.h"

#include <functional>

class CPstWriter;
class CSpreadsheetWriter;
class CMossgraveView;
class CWaitDlg;
class CWebLinkPane;
class CContactGridPane;

// The frame's base: the toolkit's frame with the command bars' hooks.
using CMainFrameBase = CXTPFrameWnd;

class CMainFrame : public CMainFrameBase, public IDominoServerSource {
  DECLARE_DYNCREATE(CMainFrame)

 public:
  enum { kOutputPst = 0, kOutputExcel = 1, kOutputCsv = 2 };
  enum { kPstNew = 0, kPstExisting = 1 };
  enum { kSourceNone = 0, kSourceOneFile = 1, kSourceSeveralFiles = 2 };

  CMainFrame();
  ~CMainFrame() override;
  CMainFrame(const CMainFrame&) = delete;
  CMainFrame& operator=(const CMainFrame&) = delete;

  // ---- Pages and dialogs ----
  void ShowNextPage(int nTab);
  void ShowPreviousPage(int nTab);
  BOOL EnumerateFolders(CStringArray* pFolders, int nIntoArray);
  void LoadFolderContacts(CContactGridPane* pPane, CString strFolder);
  void ShowWaitDialog(CString strText);
  void HideWaitDialog();
  CString GetCurrentPath() const { return m_strCurrentPath; }
  CString GetCurrentServer() const { return m_strCurrentServer; }
  void EnableFileOpen() { m_bFileOpenEnabled = TRUE; }
  void DisableFileOpen() { m_bFileOpenEnabled = FALSE; }
  // Opens the help file beside the program, or says it is missing.
  void OpenHelpFile();
  // Opens the maker's web site with the shell.
  static void OpenWebSite();

  // ---- The save loop's export halves (MainFrame_export.cpp) ----
  // Writes the blank PST template resource (type "PST", nResourceId 224 or 225) of the
  // program to strPath, replacing any file there. FALSE when the template is missing or the
  // file could not be written whole: the partial file is deleted and the reader's last
  // error holds the system's reason.
  BOOL WritePstTemplate(CString strPath, int nResourceId);
  BOOL ExportFolder(CString strFolder, int nMode, CSpreadsheetWriter* pSheet);
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

  // The program's folder, ending in a backslash (the current directory at creation), and
  // the frame, for the PST writer's callback and the save loop.
  static CString s_strProgramDir;
  static CMainFrame* s_pFrame;

  // ---- State, in the order the pages rely on ----
  CXTPStatusBar m_wndStatusBar;
  CMossgraveView* m_pMainView = nullptr;
  CString m_strCurrentPath;
  CStringArray m_arrChosenFolders;
  CPstWriter* m_pPstWriter = nullptr;
  CWizardNotesReader m_Reader;
  CConversionController m_Controller;
  CStringArray m_arrSourceFiles;
  CStringArray m_arrSourceServers;
  int m_nSourceMode = kSourceNone;
  int m_nAskBodyFormat = 0;
  CString m_strCurrentServer;
  CWaitDlg* m_pWaitDlg = nullptr;
  CServerSearchDlg* m_pServerSearchDlg = nullptr;
  CImageList m_SmallImages;
  CImageList m_LargeImages;
  CBitmap m_Bitmaps[7];
  BYTE m_bFileOpenEnabled = FALSE;
  int m_nOutputKind = kOutputPst;
  int m_nPstMode = kPstNew;
  CString m_strPstPath;
  CString m_strExcelPath;
  CString m_strCsvPath;
  BYTE m_bSingleTarget = FALSE;
  CWebLinkPane* m_pWebLinkPane = nullptr;
  HINSTANCE m_hModule = nullptr;


  // ---- The save loop and the conversion runs (MainFrame_runs.cpp) ----
  // The save worker's context while a save runs on it: the loop's window work and dialogs
  // go through it to the interface thread. Null when the loop runs on the interface thread.
  CWorkerContext* m_pRunContext = nullptr;
  // Set by the save loop when the target PST could not be opened or made.
  BOOL m_bTargetFailed = FALSE;

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

 protected:
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  BOOL PreTranslateMessage(MSG* pMsg) override;

  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnClose();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg BOOL OnHelpInfo(HELPINFO* pHelpInfo);
  afx_msg void OnHomePage();
  // Command 35001: the bars' "Customize" sheet.
  afx_msg void OnCustomize();
  afx_msg void OnHelpContents();
  afx_msg void OnAbout();
  afx_msg void OnFileOpen();
  afx_msg void OnUpdateFileOpen(CCmdUI* pCmdUI);
  afx_msg void OnAddFiles();
  afx_msg void OnAddDominoFiles();
  afx_msg void OnExport();
  afx_msg LRESULT OnStopProcess(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnConfirmStop(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  LRESULT SendToView(UINT message);
  void BuildImageLists();
};
