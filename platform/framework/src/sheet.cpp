// Property sheets and pages.
#include "framework.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

namespace {
// The sheet whose window PropertySheetW is creating on this thread.
thread_local CPropertySheet* t_pSheetInCreation = nullptr;
}

// ---------------------------------------------------------------------------------------
CPropertyPage::CPropertyPage() { CommonConstruct(nullptr, 0); }

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption, DWORD)
    : CDialog(nIDTemplate) {
  CommonConstruct(MAKEINTRESOURCEW(nIDTemplate), nIDCaption);
}

CPropertyPage::CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption, DWORD)
    : CDialog(lpszTemplateName) {
  CommonConstruct(lpszTemplateName, nIDCaption);
}

CPropertyPage::~CPropertyPage() = default;

void CPropertyPage::Construct(UINT nIDTemplate, UINT nIDCaption) {
  CommonConstruct(MAKEINTRESOURCEW(nIDTemplate), nIDCaption);
}

void CPropertyPage::Construct(LPCTSTR lpszTemplateName, UINT nIDCaption) {
  CommonConstruct(lpszTemplateName, nIDCaption);
}

void CPropertyPage::ConstructIndirect(LPCDLGTEMPLATE lpTemplate, UINT nIDCaption) {
  CommonConstruct(nullptr, nIDCaption);
  m_psp.dwFlags |= PSP_DLGINDIRECT;
  m_psp.pResource = lpTemplate;
}

void CPropertyPage::CommonConstruct(LPCTSTR lpszTemplateName, UINT nIDCaption) {
  ZeroMemory(&m_psp, sizeof(m_psp));
  m_psp.dwSize = sizeof(m_psp);
  m_psp.dwFlags = PSP_DEFAULT;
  m_psp.hInstance = AfxGetResourceHandle();
  m_psp.pszTemplate = lpszTemplateName;
  m_psp.pfnDlgProc = PageDlgProc;
  m_psp.lParam = reinterpret_cast<LPARAM>(this);
  m_lpszTemplateName = lpszTemplateName;
  m_strCaption.Empty();
  if (nIDCaption != 0 && m_strCaption.LoadString(nIDCaption)) m_psp.dwFlags |= PSP_USETITLE;
  m_bFirstSetActive = TRUE;
  m_pSheet = nullptr;
}

INT_PTR CALLBACK CPropertyPage::PageDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
  // The sheet hands each page its record copy; its lParam is the page object. From here
  // on the page's window procedure sees every message before the dialog manager.
  if (message != WM_INITDIALOG) return FALSE;
  auto* pPage = reinterpret_cast<CPropertyPage*>(reinterpret_cast<LPPROPSHEETPAGEW>(lParam)->lParam);
  if (pPage == nullptr || pPage->m_hWnd != nullptr || !pPage->SubclassWindow(hWnd)) return TRUE;
  return pPage->OnInitDialog();
}

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
  // Only the sheet's own notifications; the page's controls go the usual way.
  if (pNMHDR->hwndFrom != ::GetParent(m_hWnd) || pNMHDR->code > PSN_FIRST || pNMHDR->code < PSN_LAST)
    return CDialog::OnNotify(wParam, lParam, pResult);

  LRESULT lResult = 0;
  switch (pNMHDR->code) {
    case PSN_SETACTIVE: lResult = OnSetActive() ? 0 : -1; break;
    case PSN_KILLACTIVE: lResult = !OnKillActive(); break;
    case PSN_APPLY:
      // lParam TRUE: the OK button (not Apply) is closing the sheet.
      if (m_pSheet != nullptr && reinterpret_cast<PSHNOTIFY*>(pNMHDR)->lParam) m_pSheet->m_nResult = IDOK;
      lResult = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
      break;
    case PSN_RESET: OnReset(); break;
    case PSN_QUERYCANCEL: lResult = !OnQueryCancel(); break;
    case PSN_WIZNEXT: lResult = OnWizardNext(); break;
    case PSN_WIZBACK: lResult = OnWizardBack(); break;
    case PSN_WIZFINISH:
      lResult = !OnWizardFinish();
      if (!lResult && m_pSheet != nullptr) m_pSheet->m_nResult = ID_WIZFINISH;
      break;
    case PSN_HELP: SendMessage(WM_COMMAND, ID_HELP); break;
    default: return FALSE;
  }
  // The sheet reads the answer from the dialog's result slot as well as the return value.
  ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, lResult);
  *pResult = lResult;
  return TRUE;
}

BOOL CPropertyPage::OnSetActive() {
  // OnInitDialog filled the controls the first time.
  if (m_bFirstSetActive) m_bFirstSetActive = FALSE;
  else UpdateData(FALSE);
  return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }
void CPropertyPage::OnOK() {}
void CPropertyPage::OnCancel() {}

BOOL CPropertyPage::OnApply() {
  OnOK();
  return TRUE;
}

void CPropertyPage::OnReset() { OnCancel(); }
BOOL CPropertyPage::OnQueryCancel() { return TRUE; }
LRESULT CPropertyPage::OnWizardBack() { return 0; }
LRESULT CPropertyPage::OnWizardNext() { return 0; }
BOOL CPropertyPage::OnWizardFinish() {
  // Finish leaves the last page without a kill-active notification: store its data here.
  return UpdateData(TRUE);
}

BOOL CPropertyPage::PreTranslateMessage(MSG* pMsg) {
  // Dialog keys belong to the sheet (it moves between pages and its buttons).
  return CWnd::PreTranslateMessage(pMsg);
}

void CPropertyPage::SetModified(BOOL bChanged) {
  HWND hSheet = ::GetParent(m_hWnd);
  if (hSheet != nullptr)
    ::SendMessageW(hSheet, bChanged ? PSM_CHANGED : PSM_UNCHANGED, (WPARAM)m_hWnd, 0);
}

void CPropertyPage::CancelToClose() {
  if (HWND hSheet = ::GetParent(m_hWnd)) ::SendMessageW(hSheet, PSM_CANCELTOCLOSE, 0, 0);
}

LRESULT CPropertyPage::QuerySiblings(WPARAM wParam, LPARAM lParam) {
  HWND hSheet = ::GetParent(m_hWnd);
  return hSheet ? ::SendMessageW(hSheet, PSM_QUERYSIBLINGS, wParam, lParam) : 0;
}

// ---------------------------------------------------------------------------------------
CPropertySheet::CPropertySheet() { CommonConstruct(nullptr, 0); }

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage) {
  Construct(nIDCaption, pParentWnd, iSelectPage);
}

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage) {
  Construct(pszCaption, pParentWnd, iSelectPage);
}

CPropertySheet::~CPropertySheet() {
  if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
}

void CPropertySheet::Construct(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage) {
  CommonConstruct(pParentWnd, iSelectPage);
  m_strCaption.LoadString(nIDCaption);
}

void CPropertySheet::Construct(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage) {
  CommonConstruct(pParentWnd, iSelectPage);
  m_strCaption = pszCaption ? pszCaption : L"";
}

void CPropertySheet::CommonConstruct(CWnd* pParentWnd, UINT iSelectPage) {
  ZeroMemory(&m_psh, sizeof(m_psh));
  m_psh.dwSize = sizeof(m_psh);
  m_psh.dwFlags = PSH_PROPSHEETPAGE | PSH_USECALLBACK;
  m_psh.hInstance = AfxGetResourceHandle();
  m_psh.nStartPage = iSelectPage;
  m_psh.pfnCallback = SheetCallback;
  m_pParentWnd = pParentWnd;
  m_bStacked = TRUE;
  m_bModeless = FALSE;
  m_nResult = IDCANCEL;
}

void CPropertySheet::BuildPropPageArray() {
  m_pageRecords.RemoveAll();
  for (INT_PTR i = 0; i < m_pages.GetSize(); ++i) {
    auto* pPage = static_cast<CPropertyPage*>(m_pages[i]);
    PROPSHEETPAGEW psp = pPage->m_psp;
    if (psp.dwFlags & PSP_USETITLE) psp.pszTitle = pPage->m_strCaption;
    m_pageRecords.Add(psp);
  }
  m_psh.ppsp = m_pageRecords.GetData();
  m_psh.nPages = (UINT)m_pageRecords.GetSize();
  m_psh.pszCaption = m_strCaption;
}

int CALLBACK CPropertySheet::SheetCallback(HWND hWnd, UINT message, LPARAM) {
  // The sheet object takes over the window as soon as it exists, before its pages run.
  if (message == PSCB_INITIALIZED && t_pSheetInCreation != nullptr &&
      t_pSheetInCreation->m_hWnd == nullptr)
    t_pSheetInCreation->SubclassWindow(hWnd);
  return 0;
}

BOOL CPropertySheet::Create(CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle) {
  if (m_hWnd != nullptr || m_pages.GetSize() == 0) return FALSE;
  if (pParentWnd != nullptr) m_pParentWnd = pParentWnd;
  m_psh.hwndParent = m_pParentWnd->GetSafeHwnd();
  const DWORD dwOldFlags = m_psh.dwFlags;
  m_psh.dwFlags |= PSH_MODELESS;
  BuildPropPageArray();
  m_nResult = IDCANCEL;

  CPropertySheet* pOuter = t_pSheetInCreation;
  t_pSheetInCreation = this;
  INT_PTR result = ::PropertySheetW(&m_psh);
  t_pSheetInCreation = pOuter;
  m_psh.dwFlags = dwOldFlags;

  HWND hWnd = reinterpret_cast<HWND>(result);
  if (result == 0 || result == -1 || !::IsWindow(hWnd)) return FALSE;
  if (m_hWnd == nullptr && !SubclassWindow(hWnd)) {
    ::DestroyWindow(hWnd);
    return FALSE;
  }
  if (dwStyle != (DWORD)-1) ModifyStyle(0, dwStyle);
  if (dwExStyle != 0) ModifyStyleEx(0, dwExStyle);
  if (!m_bStacked) {
    if (HWND hTab = PropSheet_GetTabControl(m_hWnd))
      ::SetWindowLongPtrW(hTab, GWL_STYLE, ::GetWindowLongPtrW(hTab, GWL_STYLE) & ~TCS_MULTILINE);
  }
  OnInitDialog();
  return TRUE;
}

BOOL CPropertySheet::OnInitDialog() { return TRUE; }

INT_PTR CPropertySheet::DoModal() {
  CWnd* pParent = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
  HWND hWndParent = pParent->GetSafeHwnd();
  if (hWndParent != nullptr) hWndParent = ::GetAncestor(hWndParent, GA_ROOT);
  if (!Create(CWnd::FromHandle(hWndParent))) return -1;

  const BOOL bEnableParent = hWndParent != nullptr && ::IsWindowEnabled(hWndParent);
  if (bEnableParent) ::EnableWindow(hWndParent, FALSE);
  ::EnableWindow(m_hWnd, TRUE);
  RunModalLoop(0);
  if (bEnableParent) ::EnableWindow(hWndParent, TRUE);
  // Activation goes back to the owner before the sheet disappears (no flashing).
  if (hWndParent != nullptr && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(hWndParent);
  const int nResult = m_nResult;
  DestroyWindow();
  return nResult;
}

BOOL CPropertySheet::ContinueModal() {
  if (!CWnd::ContinueModal()) return FALSE;
  // The common sheet ends itself by dropping its current page.
  return m_hWnd != nullptr && PropSheet_GetCurrentPageHwnd(m_hWnd) != nullptr;
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam) {
  if (CWnd::OnCommand(wParam, lParam)) return TRUE;  // a handler of ours took it
  const UINT nID = LOWORD(wParam);
  if (HIWORD(wParam) != BN_CLICKED || (nID != IDOK && nID != IDCANCEL && nID != ID_WIZFINISH))
    return FALSE;
  // Let the common sheet run the button, then see whether it closed.
  Default();
  if (m_hWnd != nullptr && PropSheet_GetCurrentPageHwnd(m_hWnd) == nullptr)
    m_nResult = nID == IDCANCEL ? IDCANCEL : (int)nID;
  return TRUE;
}

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg) {
  if (CWnd::PreTranslateMessage(pMsg)) return TRUE;
  return m_hWnd != nullptr && PropSheet_IsDialogMessage(m_hWnd, pMsg);
}

void CPropertySheet::AddPage(CPropertyPage* pPage) {
  m_pages.Add(pPage);
  pPage->m_pSheet = this;
  if (m_hWnd == nullptr) return;
  PROPSHEETPAGEW psp = pPage->m_psp;
  if (psp.dwFlags & PSP_USETITLE) psp.pszTitle = pPage->m_strCaption;
  if (HPROPSHEETPAGE hPage = ::CreatePropertySheetPageW(&psp)) {
    if (!PropSheet_AddPage(m_hWnd, hPage)) ::DestroyPropertySheetPage(hPage);
  }
}

void CPropertySheet::RemovePage(CPropertyPage* pPage) { RemovePage(GetPageIndex(pPage)); }

void CPropertySheet::RemovePage(int nPage) {
  if (nPage < 0 || nPage >= GetPageCount()) return;
  if (m_hWnd != nullptr) PropSheet_RemovePage(m_hWnd, nPage, nullptr);
  GetPage(nPage)->m_pSheet = nullptr;
  m_pages.RemoveAt(nPage);
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const {
  if (nPage < 0 || nPage >= GetPageCount()) return nullptr;
  return static_cast<CPropertyPage*>(m_pages[nPage]);
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const {
  for (int i = 0; i < GetPageCount(); ++i)
    if (m_pages[i] == pPage) return i;
  return -1;
}

int CPropertySheet::GetActiveIndex() const {
  if (m_hWnd == nullptr) return (int)m_psh.nStartPage;
  HWND hPage = PropSheet_GetCurrentPageHwnd(m_hWnd);
  for (int i = 0; i < GetPageCount(); ++i)
    if (GetPage(i)->m_hWnd == hPage && hPage != nullptr) return i;
  return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const { return GetPage(GetActiveIndex()); }

BOOL CPropertySheet::SetActivePage(int nPage) {
  if (nPage < 0 || nPage >= GetPageCount()) return FALSE;
  if (m_hWnd == nullptr) {
    m_psh.nStartPage = nPage;
    return TRUE;
  }
  return PropSheet_SetCurSel(m_hWnd, nullptr, nPage);
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage) { return SetActivePage(GetPageIndex(pPage)); }

void CPropertySheet::SetTitle(LPCTSTR lpszText, UINT nStyle) {
  m_strCaption = lpszText ? lpszText : L"";
  m_psh.dwFlags = (m_psh.dwFlags & ~PSH_PROPTITLE) | (nStyle & PSH_PROPTITLE);
  if (m_hWnd != nullptr) PropSheet_SetTitle(m_hWnd, nStyle, (LPCWSTR)m_strCaption);
}

CTabCtrl* CPropertySheet::GetTabControl() const {
  if (m_hWnd == nullptr) return nullptr;
  return static_cast<CTabCtrl*>(CWnd::FromHandle(PropSheet_GetTabControl(m_hWnd)));
}

void CPropertySheet::SetWizardButtons(DWORD dwFlags) {
  if (m_hWnd != nullptr) ::SendMessageW(m_hWnd, PSM_SETWIZBUTTONS, 0, dwFlags);
}

void CPropertySheet::SetFinishText(LPCTSTR lpszText) {
  if (m_hWnd != nullptr) ::SendMessageW(m_hWnd, PSM_SETFINISHTEXTW, 0, (LPARAM)lpszText);
}

void CPropertySheet::EnableStackedTabs(BOOL bStacked) { m_bStacked = bStacked; }

BOOL CPropertySheet::PressButton(int nButton) {
  return m_hWnd != nullptr && ::PostMessageW(m_hWnd, PSM_PRESSBUTTON, nButton, 0);
}

void CPropertySheet::EndDialog(int nEndID) {
  m_nResult = nEndID;
  if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL)) EndModalLoop(nEndID);
  else DestroyWindow();
}
