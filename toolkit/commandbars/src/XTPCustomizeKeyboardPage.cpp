// The customize sheet's keyboard page: categories, commands, their shortcuts, and the
// assignment of new ones through the shortcut manager's table in force.
#include "XTPCustomizeKeyboardPage.h"

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPControl.h"
#include "XTPControlPopup.h"
#include "XTPControls.h"
#include "XTPCustomizeCommandsPage.h"
#include "XTPCustomizeSheet.h"
#include "XTPDrawHelpers.h"
#include "XTPResourceManager.h"
#include "customize_res.h"

namespace {

// The recent-file commands never get a shortcut of their own.
const int kFirstRecentFile = 57616;
const int kLastRecentFile = 57631;

// The right-to-left reading styles of the lists.
const DWORD kRtlListStyles = WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR;

BOOL IsAssignable(CXTPControl* pControl) {
  if (pControl == NULL || pControl->GetID() == 0) return FALSE;
  const XTPControlType type = pControl->GetType();
  if (type == xtpControlPopup || type == xtpControlButtonPopup || type == xtpControlSplitButtonPopup) return FALSE;
  const int nId = pControl->GetID();
  return nId < kFirstRecentFile || nId > kLastRecentFile;
}

// The first change of a program that never named its default table keeps the table in
// force before it as the default, so "Reset All" can return to it and the shortcuts are
// stored and restored from then on.
void KeepDefaultTable(CXTPShortcutManager* pManager) {
  if (pManager->GetDefaultAccelerator() == NULL && pManager->GetAccelerators() != NULL)
    pManager->SetDefaultAccelerator(pManager->GetAccelerators());
}

// Whether two records name the same keys; FNOINVERT does not count.
BOOL SameKeys(const ACCEL& a, const ACCEL& b) {
  return (a.fVirt & ~FNOINVERT) == (b.fVirt & ~FNOINVERT) && a.key == b.key;
}

}  // namespace

BEGIN_MESSAGE_MAP(CXTPCustomizeKeyboardPage, CPropertyPage)
  ON_CBN_SELCHANGE(XTP_IDC_COMBO_CATEGORY, OnCategoryChanged)
  ON_LBN_SELCHANGE(XTP_IDC_LBOX_ACCEL_COMMANDS, OnCommandChanged)
  ON_LBN_SELCHANGE(XTP_IDC_LBOX_KEYS, OnKeyChanged)
  ON_EN_CHANGE(XTP_IDC_EDIT_SHORTCUTKEY, OnShortcutChanged)
  ON_BN_CLICKED(XTP_IDC_BUTTON_ASSIGN, OnAssign)
  ON_BN_CLICKED(XTP_IDC_BUTTON_REMOVE, OnRemove)
  ON_BN_CLICKED(XTP_IDC_BUTTON_ACCEL_RESET, OnResetAll)
END_MESSAGE_MAP()

CXTPCustomizeKeyboardPage::CXTPCustomizeKeyboardPage(CXTPCustomizeSheet* pSheet)
    : CPropertyPage(XTP_IDD_PAGE_KEYBOARD), m_nCategory(0), m_pSheet(pSheet) {
  m_editShortcutKey.SetShortcutManager(GetShortcutManager());
}

CXTPCustomizeKeyboardPage::~CXTPCustomizeKeyboardPage() {
  for (int i = 0; i < m_arrCategories.GetSize(); i++) delete m_arrCategories[i];
  m_arrCategories.RemoveAll();
}

CXTPCommandBars* CXTPCustomizeKeyboardPage::GetCommandBars() const {
  return m_pSheet != NULL ? m_pSheet->GetCommandBars() : NULL;
}

CXTPShortcutManager* CXTPCustomizeKeyboardPage::GetShortcutManager() const {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  return pCommandBars != NULL ? pCommandBars->GetShortcutManager() : NULL;
}

// ---- Categories --------------------------------------------------------------------------
CXTPControls* CXTPCustomizeKeyboardPage::AddCategory(LPCTSTR lpszCategory, int nIndex) {
  for (int i = 0; i < m_arrCategories.GetSize(); i++)
    if (m_arrCategories[i]->m_strCategory == lpszCategory) return m_arrCategories[i]->m_pControls;
  CXTPCustomizeCategory* pCategory = new CXTPCustomizeCategory();
  pCategory->m_strCategory = lpszCategory;
  pCategory->m_pControls->SetCommandBars(GetCommandBars());
  if (nIndex < 0 || nIndex >= m_arrCategories.GetSize())
    m_arrCategories.Add(pCategory);
  else
    m_arrCategories.InsertAt(nIndex, pCategory);
  return pCategory->m_pControls;
}

BOOL CXTPCustomizeKeyboardPage::AddCategories(UINT nIDResource, BOOL bListSubItems) {
  CMenu menu;
  if (!XTPResourceManager()->LoadMenu(&menu, nIDResource)) return FALSE;
  BOOL bResult = TRUE;
  const int nCount = ::GetMenuItemCount(menu.m_hMenu);
  for (int i = 0; i < nCount; i++) {
    TCHAR szText[257] = {0};
    ::GetMenuString(menu.m_hMenu, (UINT)i, szText, 256, MF_BYPOSITION);
    const HMENU hSub = ::GetSubMenu(menu.m_hMenu, i);
    CString strCategory(szText);
    if (strCategory.IsEmpty() || hSub == NULL) continue;
    CXTPDrawHelpers::StripMnemonics(strCategory);
    CXTPControls* pControls = AddCategory(strCategory, -1);
    if (pControls == NULL) {
      bResult = FALSE;
      continue;
    }
    CMenu sub;
    sub.Attach(hSub);
    const int nItems = ::GetMenuItemCount(hSub);
    for (int j = 0; j < nItems; j++) {
      // Separators have no command.
      if (::GetSubMenu(hSub, j) == NULL && ::GetMenuItemID(hSub, j) == 0) continue;
      CXTPControl* pControl = pControls->AddMenuItem(&sub, j);
      if (!bListSubItems || pControl == NULL || !pControl->IsKindOf(RUNTIME_CLASS(CXTPControlPopup))) continue;
      CXTPCommandBar* pPopupBar = pControl->GetCommandBar();
      CXTPControls* pItems = pPopupBar != NULL ? pPopupBar->GetControls() : NULL;
      if (pItems == NULL) continue;
      for (int k = 0; k < pItems->GetCount(); k++) {
        CXTPControl* pClone = pControls->AddClone(pItems->GetAt(k), -1, FALSE);
        if (pClone != NULL) pClone->SetCaption(pControl->GetCaption() + _T(" | ") + pItems->GetAt(k)->GetCaption());
      }
    }
    sub.Detach();
  }
  menu.DestroyMenu();
  return bResult;
}

CXTPCustomizeCategory* CXTPCustomizeKeyboardPage::GetCategory(int nIndex) const {
  return nIndex >= 0 && nIndex < m_arrCategories.GetSize() ? m_arrCategories[nIndex] : NULL;
}

// ---- The dialog --------------------------------------------------------------------------
void CXTPCustomizeKeyboardPage::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Control(pDX, XTP_IDC_EDIT_SHORTCUTKEY, m_editShortcutKey);
  DDX_Control(pDX, XTP_IDC_LBOX_KEYS, m_lboxKeys);
  DDX_Control(pDX, XTP_IDC_LBOX_ACCEL_COMMANDS, m_lboxCommands);
  DDX_Control(pDX, XTP_IDC_COMBO_CATEGORY, m_comboCategory);
  DDX_Text(pDX, XTP_IDC_TXT_DESC_OVERVIEW, m_strDesc);
  DDX_CBIndex(pDX, XTP_IDC_COMBO_CATEGORY, m_nCategory);
}

BOOL CXTPCustomizeKeyboardPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  m_editShortcutKey.SetShortcutManager(GetShortcutManager());
  for (int i = 0; i < m_arrCategories.GetSize(); i++) {
    const int nItem = m_comboCategory.AddString(m_arrCategories[i]->m_strCategory);
    m_comboCategory.SetItemDataPtr(nItem, m_arrCategories[i]->m_pControls);
  }
  if (m_comboCategory.GetCount() > 0) m_comboCategory.SetCurSel(0);
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars != NULL && pCommandBars->IsLayoutRTL()) {
    m_lboxCommands.ModifyStyleEx(0, kRtlListStyles);
    m_comboCategory.ModifyStyleEx(0, kRtlListStyles);
  }
  OnCategoryChanged();
  return TRUE;
}

BOOL CXTPCustomizeKeyboardPage::OnSetActive() {
  UpdateData(FALSE);
  FillCommands();
  // The keys follow the command now selected, so Remove acts on the command shown.
  FillKeys();
  UpdateButtons();
  return CPropertyPage::OnSetActive();
}

void CXTPCustomizeKeyboardPage::OnCategoryChanged() {
  UpdateData(TRUE);
  FillCommands();
  FillKeys();
  UpdateButtons();
}

void CXTPCustomizeKeyboardPage::OnCommandChanged() {
  FillKeys();
  UpdateButtons();
}

void CXTPCustomizeKeyboardPage::OnKeyChanged() { UpdateButtons(); }

void CXTPCustomizeKeyboardPage::OnShortcutChanged() { UpdateButtons(); }

// ---- Lists -------------------------------------------------------------------------------
void CXTPCustomizeKeyboardPage::FillCommands() {
  if (m_lboxCommands.GetSafeHwnd() == NULL) return;
  m_lboxCommands.ResetContent();
  const int nSel = m_comboCategory.GetCurSel();
  CXTPControls* pControls = nSel >= 0 ? (CXTPControls*)m_comboCategory.GetItemDataPtr(nSel) : NULL;
  if (pControls == NULL || pControls == (CXTPControls*)(INT_PTR)CB_ERR) return;
  for (int i = 0; i < pControls->GetCount(); i++) {
    CXTPControl* pControl = pControls->GetAt(i);
    if (!IsAssignable(pControl)) continue;
    CString strCaption = pControl->GetCaption();
    CXTPDrawHelpers::StripMnemonics(strCaption);
    const int nItem = m_lboxCommands.AddString(strCaption);
    m_lboxCommands.SetItemDataPtr(nItem, pControl);
  }
  if (m_lboxCommands.GetCount() > 0) m_lboxCommands.SetCurSel(0);
}

CXTPControl* CXTPCustomizeKeyboardPage::GetSelectedCommand() const {
  if (m_lboxCommands.GetSafeHwnd() == NULL) return NULL;
  const int nSel = m_lboxCommands.GetCurSel();
  if (nSel < 0) return NULL;
  return (CXTPControl*)m_lboxCommands.GetItemDataPtr(nSel);
}

void CXTPCustomizeKeyboardPage::FillKeys() {
  if (m_lboxKeys.GetSafeHwnd() == NULL) return;
  m_lboxKeys.ResetContent();
  CXTPControl* pControl = GetSelectedCommand();
  CXTPShortcutManager* pManager = GetShortcutManager();
  if (pControl != NULL && pManager != NULL && pManager->GetAccelerators() != NULL) {
    ACCEL* pRecords = NULL;
    const int nCount = CXTPShortcutManager::TableRecords(pManager->GetAccelerators(), &pRecords);
    for (int i = 0; i < nCount; i++) {
      if (pRecords[i].cmd != (WORD)pControl->GetID()) continue;
      const int nItem = m_lboxKeys.AddString(pManager->Format(&pRecords[i], NULL));
      m_lboxKeys.SetItemData(nItem, (DWORD_PTR)i);
    }
    delete[] pRecords;
  }
  m_strDesc = pControl != NULL ? pControl->GetDescriptionText() : CString();
  UpdateData(FALSE);
  UpdateButtons();
}

void CXTPCustomizeKeyboardPage::UpdateButtons() {
  if (m_hWnd == NULL) return;
  CString strKey;
  if (m_editShortcutKey.GetSafeHwnd() != NULL) m_editShortcutKey.GetWindowText(strKey);
  const BOOL bAssign = !strKey.IsEmpty() && m_editShortcutKey.IsKeyComplete();
  const BOOL bRemove = m_lboxKeys.GetSafeHwnd() != NULL && m_lboxKeys.GetCurSel() != LB_ERR;
  if (CWnd* pAssign = GetDlgItem(XTP_IDC_BUTTON_ASSIGN)) pAssign->EnableWindow(bAssign);
  if (CWnd* pRemove = GetDlgItem(XTP_IDC_BUTTON_REMOVE)) pRemove->EnableWindow(bRemove);
}

// ---- Buttons -----------------------------------------------------------------------------
void CXTPCustomizeKeyboardPage::OnAssign() {
  CXTPControl* pControl = GetSelectedCommand();
  CXTPShortcutManager* pManager = GetShortcutManager();
  if (pControl == NULL || pManager == NULL || !m_editShortcutKey.IsKeyComplete()) return;
  const ACCEL& accel = m_editShortcutKey.GetAccel();

  // The table with room for one more record.
  ACCEL* pOld = NULL;
  const int nCount = CXTPShortcutManager::TableRecords(pManager->GetAccelerators(), &pOld);
  ACCEL* pRecords = new ACCEL[nCount + 1];
  if (nCount > 0) memcpy(pRecords, pOld, sizeof(ACCEL) * nCount);
  delete[] pOld;

  int nIndex = -1;
  for (int i = 0; i < nCount; i++) {
    if (SameKeys(pRecords[i], accel)) {
      nIndex = i;
      break;
    }
  }
  int nNewCount = nCount;
  if (nIndex >= 0) {
    if (XTPResourceManager()->ShowMessageBox(XTP_IDS_CONFIRM_REASSIGN, MB_YESNO | MB_ICONWARNING) != IDYES) {
      delete[] pRecords;
      return;
    }
  } else {
    nIndex = nCount;
    nNewCount = nCount + 1;
  }
  pRecords[nIndex].fVirt = accel.fVirt;
  pRecords[nIndex].key = accel.key;
  pRecords[nIndex].cmd = (WORD)pControl->GetID();
  KeepDefaultTable(pManager);
  pManager->SetAccelerators(pRecords, nNewCount);
  delete[] pRecords;

  FillKeys();
  m_editShortcutKey.ResetKey();
  UpdateButtons();
}

void CXTPCustomizeKeyboardPage::OnRemove() {
  CXTPShortcutManager* pManager = GetShortcutManager();
  if (pManager == NULL || pManager->GetAccelerators() == NULL) return;
  const int nSel = m_lboxKeys.GetCurSel();
  if (nSel == LB_ERR) return;
  const int nIndex = (int)m_lboxKeys.GetItemData(nSel);
  ACCEL* pRecords = NULL;
  const int nCount = CXTPShortcutManager::TableRecords(pManager->GetAccelerators(), &pRecords);
  if (nIndex >= 0 && nIndex < nCount) {
    // The last record takes the freed place.
    pRecords[nIndex] = pRecords[nCount - 1];
    KeepDefaultTable(pManager);
    if (nCount > 1) {
      pManager->SetAccelerators(pRecords, nCount - 1);
    } else {
      pManager->SetAccelerators((HACCEL)NULL);
    }
  }
  delete[] pRecords;
  FillKeys();
  UpdateButtons();
}

void CXTPCustomizeKeyboardPage::OnResetAll() {
  if (XTPResourceManager()->ShowMessageBox(XTP_IDS_CONFIRM_KEYBOARD, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) !=
      IDYES)
    return;
  if (CXTPShortcutManager* pManager = GetShortcutManager()) pManager->Reset();
  FillKeys();
  UpdateButtons();
}
