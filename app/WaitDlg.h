// The modeless "please wait" window of the main frame: a message, a progress bar with its
// percentage and a "Stop" button. It hides itself within half a second unless its users
// keep it visible, and its close box does nothing.
#pragma once

#include <framework.h>

#include "TextProgressCtrl.h"

// UM_STOPPROCESS, sent to the dialog's owner when "Stop" is pressed.
#include "AppMessages.h"

// The message label: word-wrapped text on a pale background.
class CWaitLabel : public CStatic {
  DECLARE_DYNAMIC(CWaitLabel)

 public:
  static constexpr COLORREF kBackColor = 0xEFFEFF;
  CWaitLabel() = default;

 protected:
  afx_msg void OnPaint();
  DECLARE_MESSAGE_MAP()
};

class CWaitDlg : public CDialog {
  DECLARE_DYNAMIC(CWaitDlg)

 public:
  enum { IDD = 137 };
  static constexpr UINT_PTR kHideTimer = 1;
  static constexpr UINT kHidePeriodMs = 500;

  explicit CWaitDlg(CWnd* pParent = nullptr);
  ~CWaitDlg() override;

  // Creates the (hidden) dialog window.
  BOOL Create(CWnd* pParent);
  void SetMessage(CString strText) { m_strMessage = strText; }
  const CString& GetMessage() const { return m_strMessage; }
  // Writes the scan's running totals into the message label.
  void ShowScanCounts(int nFolders, int nEntries, CString strLastFolder);
  // The text ShowScanCounts shows.
  static CString FormatScanCounts(int nFolders, int nEntries, const CString& strLastFolder);

  CWaitLabel m_Label;
  CTextProgressCtrl m_Progress;
  // Receives UM_STOPPROCESS.
  CWnd* m_pOwner = nullptr;
  // Non-zero while the dialog's users want it shown; otherwise the timer hides it.
  int m_nKeepVisible = 0;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  // Esc and Enter do not end a modeless wait window.
  void OnOK() override {}
  void OnCancel() override {}

  afx_msg void OnClose();
  afx_msg void OnPaint();
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnStop();
  afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
  DECLARE_MESSAGE_MAP()

 private:
  using CDialog::Create;
  CString m_strMessage;
  HICON m_hIcon = nullptr;
};
