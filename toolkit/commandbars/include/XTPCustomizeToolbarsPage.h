// The "Tool&bars" page of the customize sheet (the bars with their visibility; new, rename,
// delete and reset) and the "New Toolbar" name dialog.
#pragma once

#include <framework.h>

class CXTPCommandBars;
class CXTPCustomizeSheet;
class CXTPToolBar;

// Ids the page gives toolbars the user makes: the first and one past the last.
#define XTP_CUSTOM_BAR_FIRST_ID 0xE800
#define XTP_CUSTOM_BAR_END_ID 0xE8FF

class CXTPCustomizeToolbarsPage : public CPropertyPage {
  DECLARE_DYNCREATE(CXTPCustomizeToolbarsPage)

 public:
  explicit CXTPCustomizeToolbarsPage(CXTPCustomizeSheet* pSheet = NULL);
  ~CXTPCustomizeToolbarsPage() override;

  // Lists the bars again (each with its visibility), keeping the selection and the top
  // item where they still apply, and updates the buttons.
  void RefreshToolbarsList();

  CCheckListBox& GetToolbarsList() { return m_checkList; }

 protected:
  CXTPCustomizeSheet* m_pSheet;
  CCheckListBox m_checkList;
  CButton m_btnReset;
  CButton m_btnRename;
  CButton m_btnDelete;
  CButton m_btnNew;

  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

  CXTPCommandBars* GetCommandBars() const;
  // The toolbar of the selected item; null when nothing is selected or the item's index no
  // longer names a bar.
  CXTPToolBar* GetSelectedToolBar() const;
  void UpdateButtons();

  afx_msg void OnSelectionChanged();
  afx_msg void OnCheckChanged();
  afx_msg void OnNewToolbar();
  afx_msg void OnRenameToolbar();
  afx_msg void OnDeleteToolbar();
  afx_msg void OnResetToolbar();

  DECLARE_MESSAGE_MAP()
};

// "New Toolbar": asks a toolbar's name; for a new toolbar it proposes a free "Custom %d"
// and picks a free bar id. With a bar it renames that bar ("Rename Toolbar").
class CXTPNewToolbarDlg : public CDialog {
 public:
  CXTPNewToolbarDlg(CWnd* pParentWnd, CXTPCommandBars* pCommandBars, CXTPToolBar* pToolBar = NULL);
  ~CXTPNewToolbarDlg() override;

  int m_nNewID;          // the id of the new toolbar after IDOK
  CString m_strToolbar;  // the accepted name after IDOK

  // The first "Custom %d" no bar is titled with.
  CString GetDefaultName() const;

 protected:
  CXTPToolBar* m_pToolBar;
  CXTPCommandBars* m_pCommandBars;

  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void FocusName();

  DECLARE_MESSAGE_MAP()
};
