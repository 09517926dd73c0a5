// The "&Commands" page of the customize sheet: categories of commands and, beside them, the
// commands of the chosen category drawn as on a bar, to be dragged onto the bars.
#pragma once

#include <framework.h>

class CXTPCommandBars;
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

// The owner-drawn list of the current category's controls (item data: CXTPControl*). Rows
// are drawn by the paint manager as on a bar; a press on a row starts the customize drag
// of its control, which leaves the list unchanged (a copy lands on the bar).
class CXTPCustomizeCommandsListBox : public CListBox {
 public:
  CXTPCustomizeCommandsListBox();
  ~CXTPCustomizeCommandsListBox() override;

  CXTPCustomizeCommandsPage* m_pCommandsPage;

  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
  void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;

 protected:
  CXTPCommandBars* GetCommandBars() const;
  // The background of the list (no control, not selected) over the rectangle.
  void DrawBackground(CDC* pDC, const CRect& rc);

  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  DECLARE_MESSAGE_MAP()
};

class CXTPCustomizeCommandsPage : public CPropertyPage {
  DECLARE_DYNCREATE(CXTPCustomizeCommandsPage)

 public:
  explicit CXTPCustomizeCommandsPage(CXTPCustomizeSheet* pSheet = NULL);
  ~CXTPCustomizeCommandsPage() override;

  // The controls of the category of that name (exact, case-sensitive); a new category
  // inserted before nIndex (-1 or past the end: appended) when there is none.
  CXTPControls* AddCategory(LPCTSTR lpszCategory, int nIndex = -1);
  // One category per top-level item of the menu that has a submenu, named by its text
  // without mnemonics (equal names gather in one category), holding the submenu's items;
  // with bListSubItems the items of a submenu's own popups are listed as well. FALSE when
  // the menu cannot be loaded.
  BOOL AddCategories(UINT nIDResource, BOOL bListSubItems = FALSE);
  // A new category holding one popup control per top-level menu of the menu resource.
  BOOL InsertBuiltInMenus(UINT nIDResource, UINT nIDCategoryName, int nIndex = -1);
  // A new category holding one empty popup: dropped on a bar it makes a new, empty menu.
  void InsertNewMenuCategory(UINT nIDCategoryName, int nIndex = -1);
  // A new category holding a copy of every control of the categories there are now, in
  // their order.
  void InsertAllCommandsCategory(UINT nIDCategoryName, int nIndex = -1);
  CXTPCustomizeCategory* GetCategory(int nIndex) const;
  int GetCategoryCount() const { return (int)m_arrCategories.GetSize(); }
  CXTPCustomizeSheet* GetSheet() const { return m_pSheet; }
  CXTPCommandBars* GetCommandBars() const;

  BOOL OnInitDialog() override;

  CXTPCustomizeCommandsListBox m_lstCommands;
  CListBox m_lstCategories;

 protected:
  CXTPCustomizeSheet* m_pSheet;
  CArray<CXTPCustomizeCategory*, CXTPCustomizeCategory*> m_arrCategories;

  // A new category (never merged by name) inserted before nIndex.
  CXTPCustomizeCategory* InsertCategory(const CString& strName, int nIndex);
  // Refills the commands list from the category selected in the categories list.
  void FillCommands();

  void DoDataExchange(CDataExchange* pDX) override;
  afx_msg void OnCategoriesSelectionChanged();
  afx_msg void OnDestroy();
  DECLARE_MESSAGE_MAP()
};
