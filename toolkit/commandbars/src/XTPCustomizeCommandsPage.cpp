// The customize sheet's commands page: categories built from menus, the owner-drawn list of
// a category's commands, and the drag of a command out of that list onto a bar.
#include "XTPCustomizeCommandsPage.h"

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPControl.h"
#include "XTPControlPopup.h"
#include "XTPControls.h"
#include "XTPCustomizeDropSource.h"
#include "XTPCustomizeSheet.h"
#include "XTPDrawHelpers.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPResourceManager.h"
#include "customize_res.h"

// ---- Category -------------------------------------------------------------------------------

CXTPCustomizeCategory::CXTPCustomizeCategory() : m_pControls(new CXTPControls()) {}

CXTPCustomizeCategory::~CXTPCustomizeCategory() { m_pControls->InternalRelease(); }

// ---- Commands list --------------------------------------------------------------------------

CXTPCustomizeCommandsListBox::CXTPCustomizeCommandsListBox() : m_pCommandsPage(NULL) {}
CXTPCustomizeCommandsListBox::~CXTPCustomizeCommandsListBox() {}

BEGIN_MESSAGE_MAP(CXTPCustomizeCommandsListBox, CListBox)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CXTPCommandBars* CXTPCustomizeCommandsListBox::GetCommandBars() const {
  return m_pCommandsPage != NULL ? m_pCommandsPage->GetCommandBars() : NULL;
}

void CXTPCustomizeCommandsListBox::DrawBackground(CDC* pDC, const CRect& rc) {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  CXTPPaintManager* pPaintManager = pCommandBars != NULL ? pCommandBars->GetPaintManager() : XTPPaintManager();
  if (pPaintManager != NULL) pPaintManager->DrawCustomizeListItem(pDC, NULL, rc, FALSE, TRUE, pCommandBars);
}

void CXTPCustomizeCommandsListBox::OnPaint() {
  CPaintDC dc(this);
  CRect rcClient;
  GetClientRect(&rcClient);
  // A mirrored list draws mirrored into the buffer, and the buffer goes out pixel for pixel:
  // mirroring the copy as well would turn the texts round.
  const BOOL bMirrored = (GetExStyle() & WS_EX_LAYOUTRTL) != 0;
  if (bMirrored) ::SetLayout(dc.m_hDC, 0);
  CXTPBufferDC memDC(dc.m_hDC, rcClient);
  // The background first, unmirrored: a mirrored fill may leave the buffer's edge column.
  DrawBackground(&memDC, rcClient);
  if (bMirrored) ::SetLayout(memDC.m_hDC, LAYOUT_RTL);
  // The list draws its rows into the buffer: every row comes back as an owner-draw request
  // with the buffer's DC.
  DefWindowProc(WM_PAINT, (WPARAM)memDC.m_hDC, 0);
  // Copied out as drawn.
  if (bMirrored) ::SetLayout(memDC.m_hDC, 0);
}

BOOL CXTPCustomizeCommandsListBox::OnEraseBkgnd(CDC* pDC) {
  CRect rcClient;
  GetClientRect(&rcClient);
  DrawBackground(pDC, rcClient);
  return TRUE;
}

void CXTPCustomizeCommandsListBox::MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  CXTPPaintManager* pPaintManager = pCommandBars != NULL ? pCommandBars->GetPaintManager() : XTPPaintManager();
  if (pPaintManager != NULL)
    lpMeasureItemStruct->itemHeight =
        pPaintManager->DrawCustomizeListItem(NULL, NULL, CRect(0, 0, 0, 0), FALSE, FALSE, pCommandBars).cy;
}

void CXTPCustomizeCommandsListBox::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
  if (lpDrawItemStruct->itemID == (UINT)-1) return;  // an empty list's focus request
  CXTPCommandBars* pCommandBars = GetCommandBars();
  CXTPPaintManager* pPaintManager = pCommandBars != NULL ? pCommandBars->GetPaintManager() : XTPPaintManager();
  if (pPaintManager == NULL) return;
  CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
  CXTPControl* pControl = reinterpret_cast<CXTPControl*>(lpDrawItemStruct->itemData);
  pPaintManager->DrawCustomizeListItem(pDC, pControl, CRect(lpDrawItemStruct->rcItem),
                                       (lpDrawItemStruct->itemState & ODS_SELECTED) != 0, TRUE, pCommandBars);
}

void CXTPCustomizeCommandsListBox::OnLButtonDown(UINT nFlags, CPoint point) {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars != NULL) pCommandBars->SetDragControl(NULL);

  BOOL bOutside = TRUE;
  const int nIndex = ItemFromPoint(point, bOutside);
  if (!bOutside && nIndex >= 0 && nIndex < GetCount()) {
    CRect rcItem;
    if (GetItemRect(nIndex, &rcItem) != LB_ERR && rcItem.PtInRect(point)) {
      SetCurSel(nIndex);
      SetFocus();
      CWnd* pOwner = GetOwner();
      if (pOwner == NULL) pOwner = GetParent();
      if (pOwner != NULL)
        pOwner->PostMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), LBN_SELCHANGE), (LPARAM)m_hWnd);
      CXTPControl* pControl = reinterpret_cast<CXTPControl*>(GetItemData(nIndex));
      if (pControl != NULL && (DWORD_PTR)pControl != (DWORD_PTR)LB_ERR && pCommandBars != NULL) {
        // The list keeps its item whatever the drop does: the bar receives a copy. A bar
        // copies a popup without its menu, sharing it; a menu taken from the list must be
        // one of its own (every "New Menu" a new empty menu, a built-in menu apart from the
        // list's), so a popup is dragged as a full copy made for this drag.
        CXTPControl* pDragged = pControl;
        if (pControl->GetCommandBar() != NULL) {
          pDragged = pControl->Clone(TRUE);
          if (pDragged == NULL) pDragged = pControl;
        }
        pCommandBars->GetDropSource()->DoDragDrop(pDragged, TRUE);
        if (pDragged != pControl) pDragged->InternalRelease();
        return;
      }
    }
  }
  CListBox::OnLButtonDown(nFlags, point);
}

// ---- Page -----------------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(CXTPCustomizeCommandsPage, CPropertyPage)

BEGIN_MESSAGE_MAP(CXTPCustomizeCommandsPage, CPropertyPage)
  ON_LBN_SELCHANGE(XTP_IDC_LIST_CATEGORIES, OnCategoriesSelectionChanged)
  ON_WM_DESTROY()
END_MESSAGE_MAP()

CXTPCustomizeCommandsPage::CXTPCustomizeCommandsPage(CXTPCustomizeSheet* pSheet)
    : CPropertyPage(XTP_IDD_PAGE_COMMANDS), m_pSheet(pSheet) {
  m_lstCommands.m_pCommandsPage = this;
}

CXTPCustomizeCommandsPage::~CXTPCustomizeCommandsPage() {
  for (int i = 0; i < m_arrCategories.GetSize(); i++) delete m_arrCategories[i];
  m_arrCategories.RemoveAll();
}

CXTPCommandBars* CXTPCustomizeCommandsPage::GetCommandBars() const {
  return m_pSheet != NULL ? m_pSheet->GetCommandBars() : NULL;
}

CXTPCustomizeCategory* CXTPCustomizeCommandsPage::InsertCategory(const CString& strName, int nIndex) {
  CXTPCustomizeCategory* pCategory = new CXTPCustomizeCategory();
  pCategory->m_strCategory = strName;
  pCategory->m_pControls->SetCommandBars(GetCommandBars());
  if (nIndex < 0 || nIndex >= m_arrCategories.GetSize())
    m_arrCategories.Add(pCategory);
  else
    m_arrCategories.InsertAt(nIndex, pCategory);
  return pCategory;
}

CXTPControls* CXTPCustomizeCommandsPage::AddCategory(LPCTSTR lpszCategory, int nIndex) {
  const CString strName = lpszCategory != NULL ? lpszCategory : _T("");
  for (int i = 0; i < m_arrCategories.GetSize(); i++)
    if (m_arrCategories[i]->m_strCategory == strName) return m_arrCategories[i]->m_pControls;
  return InsertCategory(strName, nIndex)->m_pControls;
}

BOOL CXTPCustomizeCommandsPage::AddCategories(UINT nIDResource, BOOL bListSubItems) {
  CMenu menu;
  if (!XTPResourceManager()->LoadMenu(&menu, nIDResource)) return FALSE;
  BOOL bResult = TRUE;
  const int nCount = menu.GetMenuItemCount();
  for (int i = 0; i < nCount; i++) {
    TCHAR szText[257] = {0};
    ::GetMenuString(menu.m_hMenu, (UINT)i, szText, 256, MF_BYPOSITION);
    const HMENU hSub = ::GetSubMenu(menu.m_hMenu, i);
    if (szText[0] == 0 || hSub == NULL) continue;
    CString strName(szText);
    CXTPDrawHelpers::StripMnemonics(strName);
    CXTPControls* pControls = AddCategory(strName, -1);
    if (pControls == NULL) {
      bResult = FALSE;
      break;
    }
    CMenu sub;
    sub.Attach(hSub);
    const int nItems = sub.GetMenuItemCount();
    for (int j = 0; j < nItems; j++) {
      if (::GetMenuItemID(hSub, j) == 0) continue;  // separators are no commands
      CXTPControl* pControl = pControls->AddMenuItem(&sub, j);
      if (!bListSubItems || pControl == NULL || !pControl->IsKindOf(RUNTIME_CLASS(CXTPControlPopup))) continue;
      CXTPCommandBar* pPopupBar = static_cast<CXTPControlPopup*>(pControl)->GetCommandBar();
      CXTPControls* pItems = pPopupBar != NULL ? pPopupBar->GetControls() : NULL;
      if (pItems == NULL) continue;
      for (int k = 0; k < pItems->GetCount(); k++) pControls->AddClone(pItems->GetAt(k), -1, FALSE);
    }
    sub.Detach();
  }
  menu.DestroyMenu();
  return bResult;
}

BOOL CXTPCustomizeCommandsPage::InsertBuiltInMenus(UINT nIDResource, UINT nIDCategoryName, int nIndex) {
  CMenu menu;
  if (!XTPResourceManager()->LoadMenu(&menu, nIDResource)) return FALSE;
  CString strName;
  XTPResourceManager()->LoadString(&strName, nIDCategoryName);
  CXTPControls* pControls = InsertCategory(strName, nIndex)->m_pControls;
  const int nCount = menu.GetMenuItemCount();
  for (int i = 0; i < nCount; i++) pControls->AddMenuItem(&menu, i);
  menu.DestroyMenu();
  return TRUE;
}

void CXTPCustomizeCommandsPage::InsertNewMenuCategory(UINT nIDCategoryName, int nIndex) {
  CString strName;
  XTPResourceManager()->LoadString(&strName, nIDCategoryName);
  CXTPControls* pControls = InsertCategory(strName, nIndex)->m_pControls;
  CXTPControl* pControl = pControls->Add(xtpControlPopup, 0);
  if (pControl != NULL) pControl->SetCaption(strName);
}

void CXTPCustomizeCommandsPage::InsertAllCommandsCategory(UINT nIDCategoryName, int nIndex) {
  CString strName;
  XTPResourceManager()->LoadString(&strName, nIDCategoryName);
  // The sources are the categories there are before the new one joins them.
  CArray<CXTPCustomizeCategory*, CXTPCustomizeCategory*> arrSources;
  arrSources.Copy(m_arrCategories);
  CXTPControls* pControls = InsertCategory(strName, nIndex)->m_pControls;
  for (int i = 0; i < arrSources.GetSize(); i++) {
    CXTPControls* pSource = arrSources[i]->m_pControls;
    for (int j = 0; j < pSource->GetCount(); j++) pControls->AddClone(pSource->GetAt(j), -1, FALSE);
  }
}

CXTPCustomizeCategory* CXTPCustomizeCommandsPage::GetCategory(int nIndex) const {
  return nIndex >= 0 && nIndex < m_arrCategories.GetSize() ? m_arrCategories[nIndex] : NULL;
}

void CXTPCustomizeCommandsPage::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Control(pDX, XTP_IDC_LIST_COMMANDS, m_lstCommands);
  DDX_Control(pDX, XTP_IDC_LIST_CATEGORIES, m_lstCategories);
}

BOOL CXTPCustomizeCommandsPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();

  for (int i = 0; i < m_arrCategories.GetSize(); i++) {
    const int nItem = m_lstCategories.AddString(m_arrCategories[i]->m_strCategory);
    if (nItem >= 0) m_lstCategories.SetItemData(nItem, (DWORD_PTR)i);
  }
  if (m_lstCategories.GetCount() > 0) m_lstCategories.SetCurSel(0);

  CXTPCommandBars* pCommandBars = GetCommandBars();
  CXTPPaintManager* pPaintManager = pCommandBars != NULL ? pCommandBars->GetPaintManager() : XTPPaintManager();
  if (pPaintManager != NULL) {
    const CSize sz = pPaintManager->DrawCustomizeListItem(NULL, NULL, CRect(0, 0, 0, 0), FALSE, FALSE, pCommandBars);
    if (sz.cy > 0) m_lstCommands.SetItemHeight(0, (UINT)sz.cy);
  }

  if (pCommandBars != NULL && pCommandBars->IsLayoutRTL()) {
    m_lstCommands.ModifyStyleEx(0, WS_EX_LAYOUTRTL);
    m_lstCategories.ModifyStyleEx(0, WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR);
  }

  XTPMouseManager()->AddTrustedWindow(m_hWnd);
  FillCommands();
  return TRUE;
}

void CXTPCustomizeCommandsPage::FillCommands() {
  if (m_lstCommands.m_hWnd == NULL) return;
  // Emptied and filled without redrawing, room made at once: a category of a thousand
  // commands would otherwise update the scroll bar and repaint the list for every row.
  m_lstCommands.SendMessage(WM_SETREDRAW, FALSE, 0);
  m_lstCommands.ResetContent();
  const int nSel = m_lstCategories.m_hWnd != NULL ? m_lstCategories.GetCurSel() : LB_ERR;
  CXTPCustomizeCategory* pCategory = nSel != LB_ERR ? GetCategory((int)m_lstCategories.GetItemData(nSel)) : NULL;
  if (pCategory != NULL) {
    CXTPControls* pControls = pCategory->m_pControls;
    m_lstCommands.SendMessage(LB_INITSTORAGE, (WPARAM)pControls->GetCount(), 0);
    // A list without strings keeps what it is given as the row's data.
    for (int i = 0; i < pControls->GetCount(); i++)
      m_lstCommands.SendMessage(LB_ADDSTRING, 0, (LPARAM)pControls->GetAt(i));
  }
  m_lstCommands.SendMessage(WM_SETREDRAW, TRUE, 0);
  m_lstCommands.Invalidate();
}

void CXTPCustomizeCommandsPage::OnCategoriesSelectionChanged() { FillCommands(); }

void CXTPCustomizeCommandsPage::OnDestroy() {
  XTPMouseManager()->RemoveTrustedWindow(m_hWnd);
  CPropertyPage::OnDestroy();
}
