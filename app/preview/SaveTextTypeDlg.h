// "Select Save Text Type": whether message bodies are saved as plain text or as RTF.
#pragma once

#include <framework.h>

#include "preview_res.h"

class CSaveTextTypeDlg : public CDialog {
  DECLARE_DYNAMIC(CSaveTextTypeDlg)

 public:
  enum { IDD = IDD_SAVE_TEXT_TYPE };
  enum { kText = 1, kRtf = 2 };

  explicit CSaveTextTypeDlg(CWnd* pParent = NULL);

  // 1 text, 2 RTF. Text until the user confirms another choice with OK.
  int GetChoice() const { return m_nChoice; }

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;

  CButton m_radioRtf;   // 1006
  CButton m_radioText;  // 1005
  int m_nChoice = kText;
};
