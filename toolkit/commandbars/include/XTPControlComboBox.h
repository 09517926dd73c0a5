// The combo box control of command bars (CXTPControlComboBox): a text area (an edit field,
// or in drop-down-list style text the control draws), a drop button and a list that opens
// as a popup bar (CXTPControlComboBoxList, a popup bar whose window is a list box). It
// reports the standard combo-box notification codes to the site and handles the keys of a
// combo box inside menus and toolbars.
#pragma once

#include "XTPControlPopup.h"
#include "XTPPopupBar.h"

class CXTPEdit;
class CXTPShellAutoComplete;
class CXTPControlComboBox;

// The list of a combo box control: a popup bar whose window is a "LISTBOX".
class CXTPControlComboBoxList : public CXTPPopupBar {
  DECLARE_SERIAL(CXTPControlComboBoxList)

 public:
  CXTPControlComboBoxList();
  ~CXTPControlComboBoxList() override;

  // Creates the list window (hidden); TRUE when it exists.
  virtual BOOL CreateListBox();

  BOOL SetTrackingMode(int bMode, BOOL bSelectFirst = TRUE, BOOL bKeyboard = FALSE) override;
  BOOL Popup(CXTPControlPopup* pControlPopup, BOOL bSelectFirst = FALSE) override;
  void DoPropExchange(CXTPPropExchange* pPX) override;
  int OnHookKeyDown(UINT nChar, LPARAM lParam) override;
  void Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive = FALSE) override;

  // The list box styles of the window besides the popup styles (LBS_*).
  DWORD GetListBoxStyle() const { return m_dwListBoxStyle; }
  void SetListBoxStyle(DWORD dwStyle) { m_dwListBoxStyle = dwStyle; }
  // The window's width when above 0, else the combo's width.
  void SetWidth(int nWidth) { m_nListWidth = nWidth; }
  int GetWidth() const { return m_nListWidth; }
  CXTPControlComboBox* GetComboBox() const { return m_pComboBox; }

  // Rows.
  int AddString(LPCTSTR lpszText);
  int InsertString(int nIndex, LPCTSTR lpszText);
  int DeleteString(int nIndex);
  void ResetContent();
  int GetCount() const;
  CString GetText(int nIndex) const;
  int FindStringExact(int nStart, LPCTSTR lpszText) const;
  int GetCurSel() const;
  int SetCurSel(int nIndex);

  // Forwards the wheel to the list window while it is open.
  class CWheelHook : public CXTPHookable {
   public:
    CXTPControlComboBoxList* m_pList = NULL;
    int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam,
                      LRESULT& lResult) override;
  };

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void DrawFrame();

  CXTPControlComboBox* m_pComboBox;  // while popped up
  CWheelHook m_hookWheel;
  DWORD m_dwListBoxStyle;
  int m_nListWidth;

  friend class CXTPControlComboBox;
};

// ---------------------------------------------------------------------------------------
// Standard combo-box notification codes sent to the site (XTPM_EXECUTE).
#define XTP_CBN_SELCHANGE 1
#define XTP_CBN_SETFOCUS 3
#define XTP_CBN_KILLFOCUS 4
#define XTP_CBN_EDITCHANGE 5
#define XTP_CBN_DROPDOWN 7
#define XTP_CBN_CLOSEUP 8
#define XTP_CBN_SELENDOK 9
#define XTP_CBN_SELENDCANCEL 10

class CXTPControlComboBox : public CXTPControlPopup {
  DECLARE_SERIAL(CXTPControlComboBox)

 public:
  CXTPControlComboBox();
  ~CXTPControlComboBox() override;

  // ---- Replaced operations ----
  void SetEnabled(BOOL bEnabled) override;
  void SetFocused(BOOL bFocused) override;
  BOOL IsFocused() const override { return m_bFocused; }
  void SetRect(CRect rcControl) override;
  BOOL ShowsCaption() override;
  BOOL Compare(CXTPControl* pOther) override;
  void SetHideFlags(DWORD dwFlags) override;
  void Execute() override;
  void OnBarLayout(DWORD dwLayoutFlags) override;
  void DoPropExchange(CXTPPropExchange* pPX) override;
  void OnMnemonic() override { SetFocused(TRUE); }
  BOOL IsFocusable() const override { return TRUE; }
  int OnKeyDown(UINT nChar, LPARAM lParam) override;
  void SetParent(CXTPCommandBar* pParent) override;
  void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
  BOOL SetPopupOpen(BOOL bOpen) override;
  void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
  void OnHoverTimer() override;
  BOOL OnSelectionChanged(int nSelected) override;
  BOOL IsResizable() const override { return TRUE; }
  int GetMinCustomWidth() override;
  void SetWidth(int nWidth) override;
  CXTPControl* Clone(BOOL bRecursive = FALSE) override;

  // ---- Added operations, in slot order ----
  virtual CString GetListRowText();
  virtual void GetFieldColors(COLORREF& clrText, COLORREF& clrBack);
  // Draws the text area of a combo without an edit window (rcText: the text area).
  virtual void DrawFieldText(CDC* pDC, CRect rcText);
  // 1 when the list took the key, 0 when not.
  virtual int ProcessListKey(UINT nChar, LPARAM lParam);
  virtual CXTPEdit* NewFieldWindow();
  virtual void OnFieldFocus(CWnd* pOldWnd);
  virtual void OnFieldBlur();
  virtual void OnListSelect();
  virtual void OnFieldChanged();
  virtual void AdjustFieldRect(CRect& rcText);

  // ---- Text ----
  CString GetFieldText();
  void SetFieldText(const CString& strText);
  CString GetEditText() { return GetFieldText(); }
  void SetEditText(const CString& strText) { SetFieldText(strText); }
  void SetHintText(const CString& strHint);
  CString GetHintText() const { return m_strEditHint; }
  BOOL IsHintShown();

  // ---- List ----
  CXTPControlComboBoxList* GetListBox() const;
  HWND GetListWindow() const;  // the list box window, or null
  int AddString(LPCTSTR lpszText);
  int InsertString(int nIndex, LPCTSTR lpszText);
  void DeleteItem(int nIndex);
  void ResetContent();
  int GetCount() const;
  CString GetLBText(int nIndex) const;
  int FindStringExact(int nStart, LPCTSTR lpszText) const;
  int GetCurSel() const;
  void SetCurSel(int nIndex);
  BOOL GetDroppedState() const { return m_bPopup; }

  // ---- Properties ----
  void SetDropDownStyle(BOOL bDropDown);
  BOOL GetDropDownStyle() const { return m_bDropDown; }
  // 1: the caption is shown as a label left of the box.
  int GetComboStyle() const { return m_comboStyle; }
  void SetComboStyle(int nStyle) { m_comboStyle = nStyle; DelayLayoutParent(); }
  int GetWidth() const { return m_nWidth; }
  int GetLabelWidth() const { return m_nLabelWidth; }
  void SetLabelWidth(int nWidth) { m_nLabelWidth = nWidth; }
  int GetDropButtonWidth() const { return m_nThumbWidth; }
  void SetDropButtonWidth(int nWidth) { m_nThumbWidth = nWidth; }
  BOOL GetAutoComplete() const { return m_bAutoComplete; }
  void SetAutoComplete(BOOL bAutoComplete) { m_bAutoComplete = bAutoComplete; }
  DWORD GetAutoCompleteFlags() const { return m_dwShellAutoCompleteFlags; }
  void SetAutoCompleteFlags(DWORD dwFlags);
  CXTPShellAutoComplete* GetAutoCompleteObject() const { return m_pAutoComplete; }
  int GetEditIconId() const { return m_nEditIconId; }
  void SetEditIconId(int nId) { m_nEditIconId = nId; }
  int GetDropDownItemCount() const { return m_nDropDownItemCount; }
  void SetDropDownItemCount(int nCount) { m_nDropDownItemCount = nCount; }
  CXTPEdit* GetEditCtrl() const { return m_pEdit; }
  void ForceReposition() { m_bForceReposition = TRUE; }

 protected:
  void ShowHint(BOOL bShow);
  CString GetRawText();
  void SetRawText(const CString& strText);
  void ApplyCharFormat();
  void DestroyEditWindow();

  CXTPEdit* m_pEdit;
  BOOL m_bDropDown;
  int m_comboStyle;
  int m_nWidth;
  int m_nLastSel;
  CString m_strLastText;
  BOOL m_bForceReposition;
  int m_nLabelWidth;
  int m_nThumbWidth;
  CString m_strEditHint;
  BOOL m_bAutoComplete;
  BOOL m_bDelete;
  DWORD m_dwShellAutoCompleteFlags;
  BOOL m_bFocused;
  int m_nEditIconId;
  BOOL m_bSelEndOk;
  int m_nDropDownItemCount;
  CString m_strEditText;
  BOOL m_bEditChanged;
  CXTPShellAutoComplete* m_pAutoComplete;
  int m_nCurSel;
  BOOL m_bSettingText;  // the program sets the text: no completion, no change notification

  friend class CXTPControlComboBoxList;
  friend class CXTPControlComboBoxEditWnd;
  template <class> friend class CXTPControlFieldWnd;
  // The program, not the user, changes the text: no change notification.
  BOOL IsSettingFieldText() const { return m_bSettingText; }
};
