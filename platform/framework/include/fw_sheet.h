// Property sheets and their pages over the common property sheet.
//
//   class CNamePage : public CPropertyPage {
//    public:
//     CNamePage() : CPropertyPage(IDD_NAME) {}
//     CString m_strName;
//    protected:
//     void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, IDC_NAME, m_strName); }
//   };
//   CPropertySheet sheet(L"Settings");
//   CNamePage page;
//   sheet.AddPage(&page);
//   if (sheet.DoModal() == IDOK) use(page.m_strName);
//
// A page exchanges its data when it is left (OnKillActive) and when it is shown again
// (OnSetActive), so the members hold the controls' values after OK. DoModal creates the
// sheet modeless and runs a modal loop on it: the sheet object gets every message of the
// sheet window (message maps, PreTranslateMessage, OnInitDialog all work).
#pragma once

#include <windows.h>
#include <prsht.h>

#include "fw_coll.h"
#include "fw_dialog.h"
#include "fw_wnd.h"

class CPropertySheet;
class CTabCtrl;

// The wizard buttons' command ids (the sheet's own controls).
#ifndef ID_WIZBACK
#define ID_WIZBACK 0x3023
#define ID_WIZNEXT 0x3024
#define ID_WIZFINISH 0x3025
#endif

// ---------------------------------------------------------------------------------------
class CPropertyPage : public CDialog {
  DECLARE_DYNAMIC(CPropertyPage)

 public:
  CPropertyPage();
  explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0, DWORD dwSize = sizeof(PROPSHEETPAGEW));
  explicit CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption = 0,
                         DWORD dwSize = sizeof(PROPSHEETPAGEW));
  ~CPropertyPage() override;
  void Construct(UINT nIDTemplate, UINT nIDCaption = 0);
  void Construct(LPCTSTR lpszTemplateName, UINT nIDCaption = 0);
  // A page from a template in memory (PSP_DLGINDIRECT); the caller keeps it alive.
  void ConstructIndirect(LPCDLGTEMPLATE lpTemplate, UINT nIDCaption = 0);

  PROPSHEETPAGEW m_psp;

  void SetModified(BOOL bChanged = TRUE);
  void CancelToClose();
  LRESULT QuerySiblings(WPARAM wParam, LPARAM lParam);
  CPropertySheet* GetSheet() const { return m_pSheet; }

  // Notifications of the sheet.
  virtual BOOL OnSetActive();      // FALSE: the page refuses to show
  virtual BOOL OnKillActive();     // FALSE: the page stays (validation failed)
  virtual void OnOK();             // OK or Apply, after OnApply
  virtual void OnCancel();
  virtual BOOL OnApply();          // FALSE: the sheet stays open on this page
  virtual void OnReset();          // Cancel
  virtual BOOL OnQueryCancel();    // FALSE: Cancel is refused
  virtual LRESULT OnWizardBack();  // 0 previous page, -1 stay, or a dialog id
  virtual LRESULT OnWizardNext();  // 0 next page, -1 stay, or a dialog id
  virtual BOOL OnWizardFinish();   // stores the page's data; FALSE: the wizard stays open

  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  CString m_strCaption;
  BOOL m_bFirstSetActive;
  CPropertySheet* m_pSheet;  // set by AddPage

  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  // The dialog procedure comctl32 calls: attaches the page object at WM_INITDIALOG.
  static INT_PTR CALLBACK PageDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  void CommonConstruct(LPCTSTR lpszTemplateName, UINT nIDCaption);
  friend class CPropertySheet;
};

// ---------------------------------------------------------------------------------------
class CPropertySheet : public CWnd {
  DECLARE_DYNAMIC(CPropertySheet)

 public:
  CPropertySheet();
  explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = NULL, UINT iSelectPage = 0);
  explicit CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = NULL, UINT iSelectPage = 0);
  ~CPropertySheet() override;
  void Construct(UINT nIDCaption, CWnd* pParentWnd = NULL, UINT iSelectPage = 0);
  void Construct(LPCTSTR pszCaption, CWnd* pParentWnd = NULL, UINT iSelectPage = 0);

  PROPSHEETHEADERW m_psh;

  // Modeless: the caller keeps the object alive and destroys the window.
  virtual BOOL Create(CWnd* pParentWnd = NULL, DWORD dwStyle = (DWORD)-1, DWORD dwExStyle = 0);
  // IDOK, IDCANCEL or ID_WIZFINISH; -1 when the sheet could not be created.
  virtual INT_PTR DoModal();

  void AddPage(CPropertyPage* pPage);
  void RemovePage(CPropertyPage* pPage);
  void RemovePage(int nPage);
  int GetPageCount() const { return (int)m_pages.GetSize(); }
  CPropertyPage* GetPage(int nPage) const;
  int GetPageIndex(CPropertyPage* pPage) const;
  CPropertyPage* GetActivePage() const;
  int GetActiveIndex() const;
  BOOL SetActivePage(int nPage);
  BOOL SetActivePage(CPropertyPage* pPage);
  void SetTitle(LPCTSTR lpszText, UINT nStyle = 0);
  CTabCtrl* GetTabControl() const;
  void SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }
  BOOL IsWizard() const { return (m_psh.dwFlags & PSH_WIZARD) != 0; }
  void SetWizardButtons(DWORD dwFlags);
  void SetFinishText(LPCTSTR lpszText);
  void EnableStackedTabs(BOOL bStacked);
  BOOL PressButton(int nButton);
  void EndDialog(int nEndID);

  virtual BOOL OnInitDialog();
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL ContinueModal() override;
  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

 protected:
  CPtrArray m_pages;
  CString m_strCaption;
  CWnd* m_pParentWnd;
  BOOL m_bStacked;
  BOOL m_bModeless;
  int m_nResult;  // the button that ended the sheet

  // Fills m_psh with the pages' records; the array lives until the sheet exists.
  void BuildPropPageArray();
  static int CALLBACK SheetCallback(HWND hWnd, UINT message, LPARAM lParam);

 private:
  CArray<PROPSHEETPAGEW, const PROPSHEETPAGEW&> m_pageRecords;
  void CommonConstruct(CWnd* pParentWnd, UINT iSelectPage);
  friend class CPropertyPage;
};
