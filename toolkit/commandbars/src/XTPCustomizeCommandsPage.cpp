// The customize sheet's commands page: categories and their commands.
#include "XTPCustomizeCommandsPage.h"

#include "XTPControls.h"
#include "XTPCustomizeSheet.h"
#include "customize_res.h"

CXTPCustomizeCategory::CXTPCustomizeCategory() : m_pControls(new CXTPControls()) {}

CXTPCustomizeCategory::~CXTPCustomizeCategory() { m_pControls->InternalRelease(); }

CXTPCustomizeCommandsListBox::CXTPCustomizeCommandsListBox() : m_pCommandsPage(NULL) {}
CXTPCustomizeCommandsListBox::~CXTPCustomizeCommandsListBox() {}

BEGIN_MESSAGE_MAP(CXTPCustomizeCommandsListBox, CListBox)
END_MESSAGE_MAP()

IMPLEMENT_DYNCREATE(CXTPCustomizeCommandsPage, CPropertyPage)

BEGIN_MESSAGE_MAP(CXTPCustomizeCommandsPage, CPropertyPage)
END_MESSAGE_MAP()

CXTPCustomizeCommandsPage::CXTPCustomizeCommandsPage(CXTPCustomizeSheet* pSheet)
    : CPropertyPage(XTP_IDD_PAGE_COMMANDS), m_pSheet(pSheet) {
  m_lstCommands.m_pCommandsPage = this;
}

CXTPCustomizeCommandsPage::~CXTPCustomizeCommandsPage() {
  for (int i = 0; i < m_arrCategories.GetSize(); i++) delete m_arrCategories[i];
}

CXTPControls* CXTPCustomizeCommandsPage::AddCategory(LPCTSTR lpszCategory, int nIndex) {
  for (int i = 0; i < m_arrCategories.GetSize(); i++)
    if (m_arrCategories[i]->m_strCategory == lpszCategory) return m_arrCategories[i]->m_pControls;
  CXTPCustomizeCategory* pCategory = new CXTPCustomizeCategory();
  pCategory->m_strCategory = lpszCategory;
  if (m_pSheet != NULL) pCategory->m_pControls->SetCommandBars(m_pSheet->GetCommandBars());
  if (nIndex < 0 || nIndex >= m_arrCategories.GetSize())
    m_arrCategories.Add(pCategory);
  else
    m_arrCategories.InsertAt(nIndex, pCategory);
  return pCategory->m_pControls;
}

BOOL CXTPCustomizeCommandsPage::AddCategories(UINT, BOOL) { return FALSE; }
BOOL CXTPCustomizeCommandsPage::InsertBuiltInMenus(UINT, UINT, int) { return FALSE; }
void CXTPCustomizeCommandsPage::InsertNewMenuCategory(UINT, int) {}
void CXTPCustomizeCommandsPage::InsertAllCommandsCategory(UINT, int) {}

CXTPCustomizeCategory* CXTPCustomizeCommandsPage::GetCategory(int nIndex) const {
  return nIndex >= 0 && nIndex < m_arrCategories.GetSize() ? m_arrCategories[nIndex] : NULL;
}
