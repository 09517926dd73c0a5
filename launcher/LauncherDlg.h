// The launcher's main dialog, which does all of its work while it initialises and is
// never seen, and its About box.
#pragma once

#include "framework.h"
#include "resource.h"

class CLauncherDlg : public CDialog {
 public:
  enum { IDD = IDD_QUENDAL_DIALOG };
  explicit CLauncherDlg(CWnd* pParent = NULL);

  // A message box with no owner, captioned "Vorlix", with an OK button.
  void ShowMessage(CString text);

 protected:
  HICON m_hIcon;

  BOOL OnInitDialog() override;
  afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
  afx_msg void OnPaint();
  afx_msg HCURSOR OnQueryDragIcon();
  DECLARE_MESSAGE_MAP()

 private:
  // Starts the main program, or says that it is missing.
  void Launch(const CString& strProgram);
};

class CAboutDlg : public CDialog {
 public:
  enum { IDD = IDD_ABOUTBOX };
  CAboutDlg() : CDialog(IDD) {}
};
