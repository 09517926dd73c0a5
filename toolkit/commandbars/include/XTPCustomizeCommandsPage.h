// The "&Commands" page of the customize sheet: categories of commands and, beside them, the
// commands of the chosen category drawn as on a bar, to be dragged onto the bars.
#pragma once

#include <framework.h>

class CXTPControls;
class CXTPCustomizeSheet;
class CXTPCustomizeCommandsPage;

// A named group of commands; also used by the keyboard page.
class CXTPCustomizeCategory {
 public:
  CXTPCustomizeCategory();
  ~CXTPCustomizeCategory();
  CXTPCustomizeCategory(const CXTPCustomizeCategory&) = delete;
  CXTPCustomizeCategory& operator=(const CXTPCustomizeCategory&) = delete;

  CString m_strCategory;
  CXTPControls* m_pControls;
};

// The owner-drawn list of the current category's controls (item data: CXTPControl*).
class CXTPCustomizeCommandsListBox : public CListBox {
 public:
  CXTPCustomizeCommandsListBox();
  ~CXTPCustomizeCommandsListBox() override;

  CXTPCustomizeCommandsPage* m_pCommandsPage;

  DECLARE_MESSAGE_MAP()
};

class CXTPCustomizeCommandsPage : public CPropertyPage {
  DECLARE_DYNCREATE(CXTPCustomizeCommandsPage)

 public:
  explicit CXTPCustomizeCommandsPage(CXTPCustomizeSheet* pSheet = NULL);
  ~CXTPCustomizeCommandsPage() override;

  CXTPControls* AddCategory(LPCTSTR lpszCategory, int nIndex = -1);
  BOOL AddCategories(UINT nIDResource, BOOL bListSubItems = FALSE);
  BOOL InsertBuiltInMenus(UINT nIDResource, UINT nIDCategoryName, int nIndex = -1);
  void InsertNewMenuCategory(UINT nIDCategoryName, int nIndex = -1);
  void InsertAllCommandsCategory(UINT nIDCategoryName, int nIndex = -1);
  CXTPCustomizeCategory* GetCategory(int nIndex) const;
  int GetCategoryCount() const { return (int)m_arrCategories.GetSize(); }
  CXTPCustomizeSheet* GetSheet() const { return m_pSheet; }

  CXTPCustomizeCommandsListBox m_lstCommands;
  CListBox m_lstCategories;

 protected:
  CXTPCustomizeSheet* m_pSheet;
  CArray<CXTPCustomizeCategory*, CXTPCustomizeCategory*> m_arrCategories;

  DECLARE_MESSAGE_MAP()
};
