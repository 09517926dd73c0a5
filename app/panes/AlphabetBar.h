// The column of letter, digit and "All" buttons along the contact pane's right edge. A
// button asks the folder page to list only the contacts whose first letter matches.
#pragma once

#include "framework.h"
#include "PaneMessages.h"
#include "XTButton.h"

class CAlphabetBar : public CDialog {
 public:
  CAlphabetBar();

  BOOL Create(CWnd* pParentWnd) { return CDialog::Create(IDD_ALPHABET_BAR, pParentWnd); }

  // What a button sends as the letter message's wParam; 0 for a button that sends nothing.
  static WPARAM FilterValueOf(UINT nID);
  // The text the "All" buttons point to.
  static LPCWSTR AllText();
  // The letter button of a control id (IDC_ALPHA_FIRST to IDC_ALPHA_LAST), else null.
  CXTButton* GetLetterButton(UINT nID) {
    return (nID >= IDC_ALPHA_FIRST && nID <= IDC_ALPHA_LAST) ? &m_LetterButtons[nID - IDC_ALPHA_FIRST] : nullptr;
  }
  static constexpr int LetterButtonCount() { return kLetterButtons; }

 protected:
  BOOL OnInitDialog() override;
  afx_msg void OnPaint();
  afx_msg void OnButton(UINT nID);
  DECLARE_MESSAGE_MAP()

 private:
  void SendFilter(WPARAM wValue);

  static constexpr int kLetterButtons = IDC_ALPHA_LAST - IDC_ALPHA_FIRST + 1;
  // Toolkit buttons drawn with the visual-styles button look where there is one.
  CXTButton m_LetterButtons[kLetterButtons];
};
