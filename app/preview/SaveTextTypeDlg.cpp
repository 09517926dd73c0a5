// "Select Save Text Type".
#include "SaveTextTypeDlg.h"

IMPLEMENT_DYNAMIC(CSaveTextTypeDlg, CDialog)

CSaveTextTypeDlg::CSaveTextTypeDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

void CSaveTextTypeDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_SAVE_AS_RTF, m_radioRtf);
  DDX_Control(pDX, IDC_SAVE_AS_TEXT, m_radioText);
}

BOOL CSaveTextTypeDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  m_radioText.SetCheck(BST_CHECKED);
  m_radioRtf.SetCheck(BST_UNCHECKED);
  return TRUE;
}

void CSaveTextTypeDlg::OnOK() {
  m_nChoice = m_radioText.GetCheck() == BST_CHECKED ? kText : kRtf;
  CDialog::OnOK();
}
