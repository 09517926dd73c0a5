// The engine's gateway to Lotus Notes: the process's Notes session, one open database (a
// file on disk or a database on a Domino server), the scan of its views and folders into
// the folder tree, the contact records of its documents, the contacts of one folder for the
// contact list, and the Domino server and database lists.
//
// Failures: the library runs in its throw-all-errors mode; each operation catches, keeps
// the library's message as the last error text and returns 0. Nothing here shows a message
// box: callers show GetLastError where the user must be told.
//
// Threads: InitSession and Close run on the interface thread; the other operations run on
// worker threads, each of which brackets its work with LNNotesSession::InitThread and
// TermThread on a session object of its own. The cancel flag is written by the interface
// thread (while the worker is suspended) and polled by every loop.
#pragma once

#include <framework.h>

#include "ContactRecord.h"
#include "lnnotes.h"

class CFolderTreeCtrl;
class CWaitDlg;
class CContactGridPane;
class CSpreadsheetWriter;

class CNotesReader {
 public:
  // Document kinds of ClassifyDocument.
  enum DocumentKind {
    kKindOther = 2,
    kKindLocation = 3,
    kKindContact = 4,
    kKindDueDate = 5,
    kKindDiary = 9,
  };
  // Body formats of the export.
  enum { kBodyPlainText = 1, kBodyRichText = 2 };

  CNotesReader();
  virtual ~CNotesReader();
  CNotesReader(const CNotesReader&) = delete;
  CNotesReader& operator=(const CNotesReader&) = delete;

  // ---- Session and database --------------------------------------------------------------
  // Starts Notes for the process; 0 with the last error "Unable to initlise lotus notes"
  // when Notes cannot be started, or 0 when a cancel was requested meanwhile (the session
  // then stays recorded, so Close still ends it).
  BOOL InitSession();
  // Closes the open database and ends the session; failures are swallowed, so a second
  // call is harmless.
  void Close();
  // Opens the database (server empty: a file) and appends every retained view or folder
  // name + "\" to paths. Unless quiet, also fills the folder tree and reports progress and
  // counts to the wait dialog. 1 when scanned (also when cancelled during the loop).
  BOOL OpenAndScan(CString strPath, CString strServer, CStringArray* pPaths, BOOL bQuiet);
  // The image index of a view or folder in the folder tree.
  static int GetFolderKind(const CString& strName, int nEntries);

  void SetLastError(CString strText);
  CString GetLastError() const;

  // ---- Documents -------------------------------------------------------------------------
  // The 66 slots of a document. With bFill and both arrays, they are emptied and refilled
  // with the 66 column names and texts; otherwise given arrays receive the attachment
  // names and size texts. A failing presence test of an item is not caught here.
  CContactRecord BuildContactRecord(LNDocument document, CStringArray* pNames, CStringArray* pValues, BOOL bFill);
  // The text of an item (text-list values joined by ";", control characters blanked);
  // empty when the item is missing or cannot be read as text.
  static CString GetItemText(CString strItem, LNDocument document);
  // One line "name Size :n \r\n" per attached file; empty when there are none.
  static CString GetAttachmentList(LNDocument document, CStringArray* pNames, CStringArray* pSizes);
  // DocumentKind of a document: the first of MiddleInitial, Location, DueDate, DiaryDate
  // it has decides.
  static int ClassifyDocument(LNDocument document);

  // ---- Contact list of one folder --------------------------------------------------------
  // Lists the contacts of a view or folder path ("Name\"), or of a letter filter on it
  // ("Name\B\"), as cards of the contact pane. Lists nothing for an unknown path.
  void OpenFolder(CContactGridPane* pList, CString strPath);
  // Lists the contacts of the current folder, optionally only those whose first name (or
  // full name) starts with the filter character.
  void ListFolderContacts(CContactGridPane* pList, bool bFilter, wchar_t chFilter);

  // ---- Domino servers --------------------------------------------------------------------
  BOOL ListServers(CStringArray* pNames);
  BOOL ListServerDatabases(CString strServer, CStringArray* pPaths, CStringArray* pNames);

  // ---- Export of a folder to a PST folder or a spreadsheet (ConversionController.cpp,
  // ContactItemWriter.cpp). Mode 0 writes contact items into the PST folder the target
  // holds, mode 1 rows into the writer; other modes write nothing.
  BOOL ExportFolder(CString strPath, COleDispatchDriver* pTarget, int nMode, CSpreadsheetWriter* pWriter);
  void SaveFolderItems(COleDispatchDriver* pTarget, int nMode, CSpreadsheetWriter* pWriter);
  void WriteContact(COleDispatchDriver* pItems, LNDocument document, BOOL bBodyIsRtf, CString strRtf,
                    CString strPlain, int nMode, CSpreadsheetWriter* pWriter);
  void CopyAttachments(LNDocument document, COleDispatchDriver attachments);
  BOOL ExportBody(LNDocument document, BOOL* pbBodyIsRtf, CString* pstrRtf, CString* pstrPlain);
  CString ReadTextFile(CString strPath);

  // ---- Access for the export -------------------------------------------------------------
  LNNotesSession& GetSession() { return m_Session; }
  LNDatabase& GetDatabase() { return m_Database; }
  LNViewFolder& GetCurrentFolder() { return m_CurrentFolder; }
  BOOL IsSessionOpen() const { return m_bSessionOpen; }
  BOOL IsDatabaseOpen() const { return m_bDatabaseOpen; }
  LNSTATUS GetLastStatus() const { return m_nLastStatus; }

  // Windows the frame and its pages hand over; borrowed, never created or destroyed here.
  CWnd* m_pItemProgress = nullptr;    // save page: item text and percentage
  CWnd* m_pSecondProgress = nullptr;  // save page: reset when a folder starts
  CFolderTreeCtrl* m_pFolderTree = nullptr;
  // Abort request of the user interface's "Stop"; cleared by the workers when they end.
  volatile BOOL m_bCancel = FALSE;
  CWaitDlg* m_pProgressDlg = nullptr;
  int m_nBodyFormat = kBodyRichText;

 protected:
  // Every place a loop or a step looks at the cancel flag asks here.
  virtual BOOL IsCancelRequested() const { return m_bCancel; }

 private:
  // Keeps the library's message for a status and returns 0.
  BOOL FailWith(LNSTATUS status);
  // The status of the exception being handled (inside a catch block).
  static LNSTATUS CurrentStatus();
  void CloseDatabase();
  // The private temporary file attachments are detached into on their way to the PST:
  // made on first use, rewritten whole by each detach, deleted when the folder is done.
  const CString& GetAttachmentFile();
  void DeleteAttachmentFile();
  // One view-folder entry of the scan: 1 retained (name and entry count filled), 0 not.
  BOOL ExamineEntry(LNViewFolder& entry, CString& strName, LNINT& nEntries);
  void ReportFolder(const CString& strName, LNINT nEntries, int& nFolders, int& nEntriesFound);
  void SetWaitProgress(int nPercent);
  // The card of one contact document, or empty when it is no contact / is filtered out.
  bool MakeCard(LNDocument& document, bool bFilter, wchar_t chFilter, CString& strCard, CString& strName);

  CString m_strLastError;
  BOOL m_bSessionOpen = FALSE;
  BOOL m_bDatabaseOpen = FALSE;
  LNNotesSession m_Session;
  LNDatabase m_Database;
  LNViewFolder m_CurrentFolder;
  LNViewFolderArray m_ViewFolders;
  LNSTATUS m_nLastStatus = LNNOERROR;
  CString m_strAttachmentFile;
};
