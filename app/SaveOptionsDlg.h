// "Save Options": where and how a conversion is saved (a new or an existing PST file, an
// Excel workbook or a CSV file) and whether every source file goes into one target. OK
// checks the input and writes the output settings into the frame; a failed check says why
// and keeps the dialog open.
#pragma once

#include <framework.h>

#include "XTEdit.h"
#include "resource.h"

class CMainFrame;

class CSaveOptionsDlg : public CDialog {
  DECLARE_DYNAMIC(CSaveOptionsDlg)

 public:
  enum { IDD = IDD_SAVE_OPTIONS };
  // Longest target path accepted.
  static constexpr int kMaxPath = 260;
  static constexpr COLORREF kCheckTextColor = 0xFF0000;

  explicit CSaveOptionsDlg(CMainFrame* pFrame, CWnd* pParent = nullptr);
  ~CSaveOptionsDlg() override;

  // A file name is valid when it holds none of \ / : * ? " < > |.
  static BOOL IsValidFileName(const CString& strName);
  // The source information text: "Saving file :" + path + CR LF, and for a database on a
  // server "Domain Name : " + server.
  static CString SourceInfoText(const CString& strPath, const CString& strServer);

  // Given by the caller before DoModal.
  CString m_strSourcePath;
  CString m_strSourceServer;

  CXTBrowseEdit m_editPstFolder;
  CXTBrowseEdit m_editPstExisting;
  CXTBrowseEdit m_editExcelFolder;
  CXTBrowseEdit m_editCsvFolder;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;

  afx_msg void OnKindPst();
  afx_msg void OnKindExcel();
  afx_msg void OnKindCsv();
  afx_msg void OnPstNew();
  afx_msg void OnPstExisting();
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  DECLARE_MESSAGE_MAP()

 private:
  void EnableEdits(BOOL bPstFolder, BOOL bPstName, BOOL bPstExisting, BOOL bExcel, BOOL bCsv);
  void EnableItem(int nID, BOOL bEnable);
  CString ItemText(int nID) const;
  // Shows the message of a failed check (the dialog stays).
  void Refuse(LPCWSTR szMessage);
  BOOL CheckExistingPst();
  BOOL CheckNewPst();
  BOOL CheckExcel();
  BOOL CheckCsv();
  static void AppendBackslash(CString& strFolder);

  CMainFrame* m_pFrame;
  CBrush m_brWhite;
};

// "Saving Complete": the end of a save that went well.
class CSaveCompleteDlg : public CDialog {
  DECLARE_DYNAMIC(CSaveCompleteDlg)

 public:
  enum { IDD = IDD_SAVE_COMPLETE };
  explicit CSaveCompleteDlg(CWnd* pParent = nullptr);
  ~CSaveCompleteDlg() override;

 protected:
  BOOL OnInitDialog() override;
  afx_msg void OnPaint();
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
  afx_msg void OnUpdateFileOpen(CCmdUI* pCmdUI);
  DECLARE_MESSAGE_MAP()

 private:
  CBrush m_brWhite;
};
