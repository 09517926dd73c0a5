// The customize sheet's toolbars page and the "New Toolbar" dialog.
#include "XTPCustomizeToolbarsPage.h"

#include "XTPCommandBars.h"
#include "XTPCustomizeSheet.h"
#include "XTPResourceManager.h"
#include "XTPToolBar.h"
#include "customize_res.h"

IMPLEMENT_DYNCREATE(CXTPCustomizeToolbarsPage, CPropertyPage)

BEGIN_MESSAGE_MAP(CXTPCustomizeToolbarsPage, CPropertyPage)
  ON_LBN_SELCHANGE(XTP_IDC_LIST_TOOLBARS, OnSelectionChanged)
  ON_CONTROL(CLBN_CHKCHANGE, XTP_IDC_LIST_TOOLBARS, OnCheckChanged)
  ON_BN_CLICKED(XTP_IDC_BUTTON_NEW, OnNewToolbar)
  ON_BN_CLICKED(XTP_IDC_BUTTON_RENAME, OnRenameToolbar)
  ON_BN_CLICKED(XTP_IDC_BUTTON_DELETE, OnDeleteToolbar)
  ON_BN_CLICKED(XTP_IDC_BUTTON_RESET, OnResetToolbar)
END_MESSAGE_MAP()

CXTPCustomizeToolbarsPage::CXTPCustomizeToolbarsPage(CXTPCustomizeSheet* pSheet)
    : CPropertyPage(XTP_IDD_PAGE_TOOLBARS), m_pSheet(pSheet) {}

CXTPCustomizeToolbarsPage::~CXTPCustomizeToolbarsPage() {}

void CXTPCustomizeToolbarsPage::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Control(pDX, XTP_IDC_LIST_TOOLBARS, m_checkList);
  DDX_Control(pDX, XTP_IDC_BUTTON_RENAME, m_btnRename);
  DDX_Control(pDX, XTP_IDC_BUTTON_NEW, m_btnNew);
  DDX_Control(pDX, XTP_IDC_BUTTON_DELETE, m_btnDelete);
  DDX_Control(pDX, XTP_IDC_BUTTON_RESET, m_btnReset);
}

BOOL CXTPCustomizeToolbarsPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  RefreshToolbarsList();
  return TRUE;
}

CXTPCommandBars* CXTPCustomizeToolbarsPage::GetCommandBars() const {
  return m_pSheet != NULL ? m_pSheet->GetCommandBars() : NULL;
}

void CXTPCustomizeToolbarsPage::RefreshToolbarsList() {
  if (m_checkList.GetSafeHwnd() == NULL) return;
  CXTPCommandBars* pCommandBars = GetCommandBars();

  const int nSelected = m_checkList.GetCurSel();
  const DWORD_PTR dwSelected = nSelected != LB_ERR ? m_checkList.GetItemData(nSelected) : 0;
  const int nTopIndex = m_checkList.GetTopIndex();

  m_checkList.SendMessage(WM_SETREDRAW, FALSE, 0);
  m_checkList.ResetContent();
  for (int i = 0; pCommandBars != NULL && i < pCommandBars->GetCount(); i++) {
    CXTPToolBar* pBar = pCommandBars->GetAt(i);
    // A hidden menu bar is not the user's to show.
    if (pBar->GetType() == xtpBarTypeMenuBar && !pBar->IsVisible()) continue;
    const int nItem = m_checkList.AddString(pBar->GetTitle());
    if (nItem < 0) continue;
    m_checkList.SetCheck(nItem, pBar->IsVisible() ? 1 : 0);
    m_checkList.SetItemData(nItem, (DWORD_PTR)i);
    if ((DWORD_PTR)i == dwSelected) m_checkList.SetCurSel(nItem);
  }
  if (m_checkList.GetTopIndex() != nTopIndex) m_checkList.SetTopIndex(nTopIndex);
  m_checkList.SendMessage(WM_SETREDRAW, TRUE, 0);
  m_checkList.Invalidate();

  UpdateButtons();
}

CXTPToolBar* CXTPCustomizeToolbarsPage::GetSelectedToolBar() const {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  const int nSelected = m_checkList.GetCurSel();
  if (pCommandBars == NULL || nSelected == LB_ERR) return NULL;
  return pCommandBars->GetAt((int)m_checkList.GetItemData(nSelected));
}

void CXTPCustomizeToolbarsPage::UpdateButtons() {
  if (m_checkList.GetSafeHwnd() == NULL) return;
  BOOL bReset = FALSE, bUserBar = FALSE;
  if (m_checkList.GetCurSel() != LB_ERR) {
    CXTPToolBar* pBar = GetSelectedToolBar();
    if (pBar == NULL) return;  // the item's bar is gone: the buttons stay as they are
    bReset = pBar->IsBuiltIn();
    bUserBar = !bReset;
  }
  // A button that loses its enabled state must not keep the focus: the dialog's keys
  // would go nowhere.
  const HWND hFocus = ::GetFocus();
  const struct {
    CButton* pButton;
    BOOL bEnable;
  } states[] = {{&m_btnReset, bReset}, {&m_btnRename, bUserBar}, {&m_btnDelete, bUserBar}, {&m_btnNew, TRUE}};
  for (const auto& state : states) {
    if (state.pButton->GetSafeHwnd() == NULL) continue;
    if (!state.bEnable && state.pButton->m_hWnd == hFocus) m_checkList.SetFocus();
    state.pButton->EnableWindow(state.bEnable);
  }
}

void CXTPCustomizeToolbarsPage::OnSelectionChanged() { UpdateButtons(); }

void CXTPCustomizeToolbarsPage::OnCheckChanged() {
  const int nSelected = m_checkList.GetCurSel();
  if (nSelected == LB_ERR) return;
  CXTPToolBar* pBar = GetSelectedToolBar();
  if (pBar == NULL) return;
  if (pBar->GetType() != xtpBarTypeMenuBar && pBar->IsCloseable()) {
    pBar->SetVisible(m_checkList.GetCheck(nSelected) == 1);
  } else {
    m_checkList.SetCheck(nSelected, 1);
  }
  RefreshToolbarsList();
}

void CXTPCustomizeToolbarsPage::OnNewToolbar() {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars == NULL) return;
  CXTPNewToolbarDlg dlg(m_pSheet, pCommandBars);
  if (dlg.DoModal() != IDOK) return;
  pCommandBars->AddCustomBar(dlg.m_strToolbar, (UINT)dlg.m_nNewID, FALSE);
  RefreshToolbarsList();
}

void CXTPCustomizeToolbarsPage::OnRenameToolbar() {
  const int nSelected = m_checkList.GetCurSel();
  CXTPToolBar* pBar = GetSelectedToolBar();
  if (pBar == NULL || pBar->IsBuiltIn()) return;
  CXTPNewToolbarDlg dlg(m_pSheet, GetCommandBars(), pBar);
  if (dlg.DoModal() != IDOK) return;
  pBar->SetTitle(dlg.m_strToolbar);
  pBar->DelayRedraw();
  if (pBar->GetSafeHwnd() != NULL) pBar->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);

  // The item is replaced where it stands.
  const DWORD_PTR dwData = m_checkList.GetItemData(nSelected);
  m_checkList.DeleteString(nSelected);
  const int nItem = m_checkList.InsertString(nSelected, pBar->GetTitle());
  if (nItem < 0) return;
  m_checkList.SetCheck(nItem, pBar->IsVisible() ? 1 : 0);
  m_checkList.SetItemData(nItem, dwData);
  m_checkList.SetCurSel(nItem);
  UpdateButtons();
}

void CXTPCustomizeToolbarsPage::OnDeleteToolbar() {
  CXTPToolBar* pBar = GetSelectedToolBar();
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pBar == NULL || pBar->IsBuiltIn()) return;
  CString strFormat, strMessage;
  XTPResourceManager()->LoadString(&strFormat, XTP_IDS_CONFIRM_DELETE);
  strMessage.Format(strFormat, (LPCTSTR)pBar->GetTitle());
  if (AfxMessageBox(strMessage, MB_OKCANCEL | MB_ICONWARNING) != IDOK) return;
  pCommandBars->Remove(pBar);
  RefreshToolbarsList();
}

void CXTPCustomizeToolbarsPage::OnResetToolbar() {
  CXTPToolBar* pBar = GetSelectedToolBar();
  if (pBar == NULL || !pBar->IsBuiltIn()) return;
  pBar->Reset();  // asks the user itself
  RefreshToolbarsList();
}

// ---------------------------------------------------------------------------------------
BEGIN_MESSAGE_MAP(CXTPNewToolbarDlg, CDialog)
END_MESSAGE_MAP()

CXTPNewToolbarDlg::CXTPNewToolbarDlg(CWnd* pParentWnd, CXTPCommandBars* pCommandBars, CXTPToolBar* pToolBar)
    : CDialog(XTP_IDD_NEWTOOLBAR, pParentWnd), m_nNewID(0), m_pToolBar(pToolBar), m_pCommandBars(pCommandBars) {
  // The template comes from the toolkit's resources, wherever they are loaded from.
  LPCDLGTEMPLATE lpTemplate = XTPResourceManager()->LoadDialogTemplate(XTP_IDD_NEWTOOLBAR);
  if (lpTemplate != NULL) {
    m_lpszTemplateName = NULL;
    InitModalIndirect(lpTemplate, pParentWnd);
  }
}

CXTPNewToolbarDlg::~CXTPNewToolbarDlg() {}

void CXTPNewToolbarDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Text(pDX, XTP_IDC_TOOLBAR_NAME, m_strToolbar);
}

CString CXTPNewToolbarDlg::GetDefaultName() const {
  CString strFormat, strName;
  XTPResourceManager()->LoadString(&strFormat, XTP_IDS_CUSTOM_BAR);
  for (int n = 1;; n++) {
    strName.Format(strFormat, n);
    BOOL bUsed = FALSE;
    for (int i = 0; m_pCommandBars != NULL && i < m_pCommandBars->GetCount() && !bUsed; i++)
      bUsed = m_pCommandBars->GetAt(i)->GetTitle() == strName;
    if (!bUsed) return strName;
  }
}

BOOL CXTPNewToolbarDlg::OnInitDialog() {
  if (m_pToolBar == NULL) {
    m_strToolbar = GetDefaultName();
  } else {
    m_strToolbar = m_pToolBar->GetTitle();
    CString strCaption;
    XTPResourceManager()->LoadString(&strCaption, XTP_IDS_RENAMETOOLBAR);
    SetWindowText(strCaption);
  }
  CDialog::OnInitDialog();  // fills the edit
  return TRUE;
}

// After a refused name the user types the next one at once: the edit gets the focus with
// its text selected.
void CXTPNewToolbarDlg::FocusName() {
  CWnd* pEdit = GetDlgItem(XTP_IDC_TOOLBAR_NAME);
  if (pEdit != NULL) GotoDlgCtrl(pEdit);
}

void CXTPNewToolbarDlg::OnOK() {
  if (!UpdateData(TRUE)) return;
  if (m_strToolbar.IsEmpty()) {
    XTPResourceManager()->ShowMessageBox(XTP_IDS_ERROR_BLANKNAME, MB_ICONERROR);
    FocusName();
    return;
  }
  int nNewID = XTP_CUSTOM_BAR_FIRST_ID;
  const int nCount = m_pCommandBars != NULL ? m_pCommandBars->GetCount() : 0;
  for (int i = 0; i < nCount; i++) {
    CXTPToolBar* pBar = m_pCommandBars->GetAt(i);
    if (m_pToolBar == NULL && (int)pBar->GetBarID() == nNewID) {
      if (++nNewID == XTP_CUSTOM_BAR_END_ID) {
        XTPResourceManager()->ShowMessageBox(XTP_IDS_ERROR_LIMIT, MB_ICONERROR);
        EndDialog(IDCANCEL);
        return;
      }
      i = -1;  // every bar again with the next id
      continue;
    }
    if (pBar == m_pToolBar) continue;
    if (pBar->GetTitle() == m_strToolbar) {
      CString strFormat, strMessage;
      XTPResourceManager()->LoadString(&strFormat, XTP_IDS_ERROR_EXISTS);
      strMessage.Format(strFormat, (LPCTSTR)m_strToolbar);
      AfxMessageBox(strMessage, MB_ICONERROR);
      FocusName();
      return;
    }
  }
  if (m_pToolBar == NULL) m_nNewID = nNewID;
  EndDialog(IDOK);
}
