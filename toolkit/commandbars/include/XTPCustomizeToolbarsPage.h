// The "Tool&bars" page of the customize sheet (the bars with their visibility; new, rename,
// delete and reset) and the "New Toolbar" name dialog.
#pragma once

#include <framework.h>

class CXTPCommandBars;
class CXTPCustomizeSheet;
class CXTPToolBar;

class CXTPCustomizeToolbarsPage : public CPropertyPage {
  DECLARE_DYNCREATE(CXTPCustomizeToolbarsPage)

 public:
  explicit CXTPCustomizeToolbarsPage(CXTPCustomizeSheet* pSheet = NULL);
  ~CXTPCustomizeToolbarsPage() override;

 protected:
  CXTPCustomizeSheet* m_pSheet;

  DECLARE_MESSAGE_MAP()
};

// "New Toolbar": asks a toolbar's name; for a new toolbar it proposes a free "Custom %d"
// and picks a free bar id.
class CXTPNewToolbarDlg : public CDialog {
 public:
  CXTPNewToolbarDlg(CWnd* pParentWnd, CXTPCommandBars* pCommandBars, CXTPToolBar* pToolBar = NULL);
  ~CXTPNewToolbarDlg() override;

  int m_nNewID;
  CString m_strToolbar;

 protected:
  CXTPToolBar* m_pToolBar;
  CXTPCommandBars* m_pCommandBars;

  DECLARE_MESSAGE_MAP()
};
