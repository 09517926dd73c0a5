// "Domino Server File Selection": the user names Domino servers or has the Notes client
// find them, clicks one to list its address books (database paths holding "NAMES"), and
// hands the ticked ones to the file page with the server's name. Finding servers and
// listing a server run on a worker; the dialog stays responsive and only its Stop button
// works meanwhile.
//
// The same header holds CServerSearchDlg, the frame's small hidden "please wait" window with
// the search clip.
#pragma once

#include <framework.h>

#include "WorkerRunner.h"

// What the dialog needs of the main frame: the Notes server lists, their error text and
// the program's abort flags.
class IDominoServerSource {
 public:
  virtual ~IDominoServerSource() = default;
  // Both clear the abort flag first; FALSE (and an empty list) with GetLastError set when
  // nothing was found.
  virtual BOOL ListServers(CStringArray& names) = 0;
  virtual BOOL ListServerDatabases(CString strServer, CStringArray& paths, CStringArray& names) = 0;
  virtual CString GetLastError() = 0;
  virtual void SetAbortFlags(int nValue) = 0;
};

// Who receives the chosen files: the file page.
class IDominoFileTarget {
 public:
  virtual ~IDominoFileTarget() = default;
  virtual void AddDominoFiles(CString strServer, CStringArray& paths) = 0;
};

class CDominoFileDlg : public CDialog {
  DECLARE_DYNAMIC(CDominoFileDlg)

 public:
  enum { IDD = 211 };

  // Opened by the file page, which receives the chosen files. The server source is the
  // program's main window unless one is given.
  explicit CDominoFileDlg(IDominoFileTarget* pPage, IDominoServerSource* pSource = nullptr, CWnd* pParent = nullptr);
  ~CDominoFileDlg() override;

  BOOL IsWorking() const { return m_bWorking; }
  // The server whose files the file list shows (empty before the first listing).
  const CString& GetListedServer() const { return m_strListedServer; }
  CWorkerRunner& GetRunner() { return m_Runner; }

  // The workers: find the client's servers; list the current server's databases.
  static UINT SearchServersThread(CDominoFileDlg* pDlg, CWorkerContext& context);
  static UINT FindServerFilesThread(CDominoFileDlg* pDlg, CWorkerContext& context);

  CButton m_btnStop;
  CStatic m_stStatus;
  CEdit m_edServer;
  CButton m_btnFinish;
  CButton m_btnAdd;
  CButton m_btnAddServer;
  CButton m_btnSearch;
  CAnimateCtrl m_Animation;
  CListCtrl m_lstFiles;
  CListCtrl m_lstServers;
  CString m_strStatus;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  BOOL PreTranslateMessage(MSG* pMsg) override;
  // Neither Enter nor Escape ends the dialog; Finish and the close box do.
  void OnOK() override {}
  void OnCancel() override {}

  afx_msg void OnAddServer();
  afx_msg void OnSearchServers();
  afx_msg void OnFinish();
  afx_msg void OnClose();
  afx_msg void OnDestroy();
  afx_msg void OnStop();
  afx_msg void OnServerClick(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnAddFiles();
  afx_msg void OnSelectAll();
  afx_msg void OnUnselectAll();
  DECLARE_MESSAGE_MAP()

 private:
  void EnableWorkControls(BOOL bEnable);
  // Working: controls off, Stop shown, Search hidden, flag on, the clip playing.
  void EnterWorking(const wchar_t* pszStatus);
  // Idle again: the opposite, status empty.
  void ReturnToIdle();
  void SetStatus(const CString& strText);
  // Inserts an upper-cased server name at the top unless the list holds it already.
  BOOL InsertServer(const CString& strName);

  IDominoFileTarget* m_pPage;
  IDominoServerSource* m_pSource;
  BOOL m_bWorking = FALSE;
  // The server the running or last listing is for.
  CString m_strCurrentServer;
  // The server whose files the file list holds; what Add hands to the page.
  CString m_strListedServer;
  CWorkerRunner m_Runner;
};

class CServerSearchDlg : public CDialog {
  DECLARE_DYNAMIC(CServerSearchDlg)

 public:
  enum { IDD = 205 };
  static constexpr UINT_PTR kHideTimer = 1;

  CServerSearchDlg() : CDialog(IDD, nullptr) {}
  BOOL Create(CWnd* pParent) { return CDialog::Create(IDD, pParent); }

  CAnimateCtrl m_Animation;
  // Receives UM_CONFIRMSTOP.
  CWnd* m_pOwner = nullptr;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnPaint();
  afx_msg void OnStop();
  DECLARE_MESSAGE_MAP()

 private:
  using CDialog::Create;
};
