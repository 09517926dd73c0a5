// Dialogs: modal and modeless dialogs from resource or in-memory templates, and dialog
// data exchange.
//
//   class CMyDlg : public CDialog {
//    public:
//     enum { IDD = 130 };
//     CMyDlg(CWnd* pParent = NULL) : CDialog(IDD, pParent) {}
//     CString m_strName;
//    protected:
//     void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, 1001, m_strName); }
//     BOOL OnInitDialog() override;
//     DECLARE_MESSAGE_MAP()
//   };
//
// DoModal disables the owner while the dialog runs its own message loop and returns the
// value passed to EndDialog (IDOK from OnOK, IDCANCEL from OnCancel / Esc / the close box).
#pragma once

#include <windows.h>

#include <vector>

#include "fw_wnd.h"

struct AFX_OLE_CONTROL_ITEM;

class CDataExchange {
 public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

  BOOL m_bSaveAndValidate;  // TRUE: controls -> members (with validation)
  CWnd* m_pDlgWnd;
  // The control of the last exchange, focused when validation fails.
  HWND PrepareCtrl(int nIDC);
  HWND PrepareEditCtrl(int nIDC);
  // Focuses the failing control and throws a CUserException (the user has been told).
  [[noreturn]] void Fail();

  UINT m_idLastControl;
  BOOL m_bEditLastControl;
};

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)

 public:
  CDialog();
  explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
  ~CDialog() override;

  // Modeless.
  virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);
  virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = NULL);
  virtual BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = NULL,
                              void* lpDialogInit = NULL);
  virtual BOOL CreateIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd = NULL);

  // Modal.
  BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = NULL,
                         void* lpDialogInit = NULL);
  BOOL InitModalIndirect(HGLOBAL hDialogTemplate, CWnd* pParentWnd = NULL);
  virtual INT_PTR DoModal();
  void EndDialog(int nResult);

  // Data exchange; FALSE when validation failed.
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

  // Focus and default button.
  void NextDlgCtrl() const;
  void PrevDlgCtrl() const;
  void GotoDlgCtrl(CWnd* pWndCtrl);
  void SetDefID(UINT nID);
  DWORD GetDefID() const;
  void MapDialogRect(LPRECT lpRect) const;

  virtual BOOL OnInitDialog();
  virtual void OnSetFont(CFont* pFont);
  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  // The dialog's template (resource name or id) and owner.
  LPCTSTR m_lpszTemplateName;
  UINT m_nIDHelp;
  LPCDLGTEMPLATE m_lpDialogTemplate;
  HGLOBAL m_hDialogTemplate;
  CWnd* m_pParentWnd;
  HWND m_hWndTop;

 protected:
  virtual void OnOK();
  virtual void OnCancel();
  virtual void DoDataExchange(CDataExchange* pDX);
  virtual void PreInitDialog();
  // The window a modal dialog is owned by and disables.
  HWND PreModal();
  void PostModal();
  BOOL CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst);

  afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT HandleSetFont(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  void CommonConstruct();
  // Finds and locks the resource template; NULL when there is none.
  LPCDLGTEMPLATE LoadTemplate(HINSTANCE& hInst) const;
  BOOL m_bEnableParent = FALSE;  // DoModal disabled the owner and must enable it again
  // ActiveX items taken out of the template, created when the dialog initialises.
  const std::vector<AFX_OLE_CONTROL_ITEM>* m_pOleControls = nullptr;
};

// The dialog procedure of framework dialogs: runs OnInitDialog; everything else goes
// through the window procedure.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// ---------------------------------------------------------------------------------------
// Data exchange and validation between controls and members.

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// value: index of the checked button of the group starting at nIDC, -1 for none.
void AFXAPI DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void AFXAPI DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
void AFXAPI DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
void AFXAPI DDX_LBString(CDataExchange* pDX, int nIDC, CString& value);
// Subclasses the control with rControl the first time.
void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

void AFXAPI DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
void AFXAPI DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
void AFXAPI DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal);
