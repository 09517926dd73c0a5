// The "&Keyboard" page of the customize sheet: the commands of a category, the shortcuts
// each has, and a key-capture edit to assign a new one. It edits the shortcut manager's
// table in force directly, so a change reaches the frame and the menus at once.
#pragma once

#include <framework.h>

#include "XTPShortcutManager.h"

class CXTPControl;
class CXTPControls;
class CXTPCommandBars;
class CXTPCustomizeCategory;
class CXTPCustomizeSheet;

class CXTPCustomizeKeyboardPage : public CPropertyPage {
 public:
  // The page of dialog 9379 for the sheet (not owned); the capture edit is bound to the
  // sheet's command bars' shortcut manager.
  explicit CXTPCustomizeKeyboardPage(CXTPCustomizeSheet* pSheet);
  ~CXTPCustomizeKeyboardPage() override;

  // The category of that exact name, else a new one inserted before nIndex (at the end
  // for -1 or an index past the end); its controls.
  CXTPControls* AddCategory(LPCTSTR lpszCategory, int nIndex = -1);
  // One category per top-level popup of the menu, named by its text without mnemonics.
  // With bListSubItems, the items of a popup item are listed too, captioned
  // "<popup> | <item>". FALSE when the menu cannot be loaded.
  BOOL AddCategories(UINT nIDResource, BOOL bListSubItems = FALSE);
  CXTPCustomizeCategory* GetCategory(int nIndex) const;
  int GetCategoryCount() const { return (int)m_arrCategories.GetSize(); }
  CXTPCustomizeSheet* GetSheet() const { return m_pSheet; }
  CXTPShortcutManager* GetShortcutManager() const;
  // The command selected in the commands list; null when none.
  CXTPControl* GetSelectedCommand() const;

  BOOL OnSetActive() override;

  CListBox m_lboxKeys;
  CListBox m_lboxCommands;
  CComboBox m_comboCategory;
  CString m_strDesc;
  int m_nCategory;
  CXTPShortcutEdit m_editShortcutKey;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

  void OnCategoryChanged();
  void OnCommandChanged();
  void OnKeyChanged();
  void OnShortcutChanged();
  void OnAssign();
  void OnRemove();
  void OnResetAll();

  void FillCommands();
  void FillKeys();
  void UpdateButtons();
  CXTPCommandBars* GetCommandBars() const;

  CArray<CXTPCustomizeCategory*, CXTPCustomizeCategory*> m_arrCategories;
  CXTPCustomizeSheet* m_pSheet;

  DECLARE_MESSAGE_MAP()
};
