// The edit control of command bars (CXTPControlEdit): a text field with an optional label,
// drawn by the paint manager, over which a real child edit window (CXTPEdit, declared in
// XTPCommandBars.h) is placed. It can show a grey hint while empty, restores its text on
// Escape, reports focus and changes to the site, and may use the shell's auto-completion,
// whose drop-down list CXTPShellAutoComplete watches so that it works inside menus.
#pragma once

#include "XTPCommandBars.h"
#include "XTPControl.h"
#include "XTPHookable.h"

// Site notification codes of the edit control (XTPM_EXECUTE).
#define XTP_EN_SETFOCUS 0x100
#define XTP_EN_KILLFOCUS 0x200
#define XTP_EN_CHANGE 0x300

// Posted to a command-bar edit when the shell's suggestion list appears.
#define XTPM_SHELLAUTOCOMPLETESTART 10354
// Sent to a window to ask whether it is a command-bar edit (answer 1).
#define XTPM_ISCOMMANDBAREDIT 10824

// The shell's auto-completion for one edit window, and the watch over its drop-down list:
// while the edit has the focus, a call-window-procedure hook of the thread notices the
// list ("Auto-Suggest Dropdown") being shown and hidden, so that the mouse manager trusts
// it, the wheel over a menu does not reach it and the list keys go to it.
class CXTPShellAutoComplete : public CXTPHookable {
 public:
  CXTPShellAutoComplete();
  ~CXTPShellAutoComplete() override;  // unhooks

  // Loads shlwapi, calls SHAutoComplete(hWndEdit, dwFlags) and unloads it again; E_FAIL
  // when the library or the function is missing.
  HRESULT Enable(HWND hWndEdit, DWORD dwFlags);
  // Installs (once, for one object of the thread at a time) or removes the watch.
  void SetHook(BOOL bHook);
  // The drop-down list now shown (null: none); the mouse manager trusts it while shown.
  void SetSuggestWindow(HWND hWnd);
  HWND GetSuggestWindow() const { return m_hWndDropDown; }
  BOOL IsDropDownVisible() const;
  // Page Up, Page Down, Up and Down (without Alt) for the shown list; TRUE when used.
  BOOL ForwardListKey(UINT nChar, LPARAM lParam);
  void HideDropDown();
  DWORD GetFlags() const { return m_dwFlags; }
  HWND GetEditWindow() const { return m_hWndEdit; }

  // The keyboard manager's question while hooked: the wheel is stopped while the list shows.
  int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam,
                    LRESULT& lResult) override;

  // The object whose watch is installed, or null.
  static CXTPShellAutoComplete* AFX_CDECL GetHookedObject();
  // Seam: the library Enable loads (null: "shlwapi.dll"). Returns the previous one.
  static LPCTSTR AFX_CDECL SetLibraryName(LPCTSTR lpszLibrary);

 protected:
  static LRESULT CALLBACK CallWndProcHook(int nCode, WPARAM wParam, LPARAM lParam);
  void OnWindowPosChanging(HWND hWnd, const WINDOWPOS* pPos);

  HWND m_hWndDropDown;
  HWND m_hWndEdit;
  DWORD m_dwFlags;
};

// ---------------------------------------------------------------------------------------
class CXTPControlEdit : public CXTPControl {
  DECLARE_SERIAL(CXTPControlEdit)

 public:
  CXTPControlEdit();
  ~CXTPControlEdit() override;  // destroys the edit window and the auto-complete object

  // ---- Replaced operations ----
  void SetEnabled(BOOL bEnabled) override;
  void SetFocused(BOOL bFocused) override;
  BOOL IsFocused() const override { return m_bFocused; }
  void SetRect(CRect rcControl) override;
  BOOL ShowsCaption() override;
  BOOL Compare(CXTPControl* pOther) override;
  void SetHideFlags(DWORD dwFlags) override;
  void OnBarLayout(DWORD dwLayoutFlags) override;
  void DoPropExchange(CXTPPropExchange* pPX) override;
  void OnMnemonic() override { SetFocused(TRUE); }
  BOOL IsFocusable() const override;
  int OnKeyDown(UINT nChar, LPARAM lParam) override;
  void SetParent(CXTPCommandBar* pParent) override;
  void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
  void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
  void OnHoverTimer() override;
  BOOL OnSelectionChanged(int nSelected) override;
  BOOL IsResizable() const override { return TRUE; }
  int GetMinCustomWidth() override;
  void SetWidth(int nWidth) override;
  CXTPControl* Clone(BOOL bRecursive = FALSE) override;

  // ---- Added operations ----
  // Makes the edit window object (not yet its window) that this control owns.
  virtual CXTPEdit* NewFieldWindow();
  virtual void OnFieldFocus(CWnd* pOldWnd);
  virtual void OnFieldBlur();
  // The text changed while focused: notification 0x300.
  virtual void OnFieldChanged();
  // Text and background colours of the field (colour-manager colours).
  virtual void GetFieldColors(COLORREF& clrText, COLORREF& clrBack);

  // ---- Text ----
  // The text; empty while the field shows the hint.
  CString GetFieldText();
  // An empty text shows the hint.
  void SetFieldText(const CString& strText);
  CString GetEditText() { return GetFieldText(); }
  void SetEditText(const CString& strText) { SetFieldText(strText); }
  void SetHintText(const CString& strHint);
  CString GetHintText() const { return m_strEditHint; }
  BOOL IsHintShown();

  // ---- Properties ----
  int GetWidth() const { return m_nWidth; }
  BOOL GetShowLabel() const { return m_bLabel; }
  void ShowLabel(BOOL bShow) { m_bLabel = bShow; DelayLayoutParent(); }
  BOOL GetReadOnly() const { return m_bReadOnly; }
  void SetReadOnly(BOOL bReadOnly);
  int GetLabelWidth() const { return m_nLabelWidth; }
  void SetLabelWidth(int nWidth) { m_nLabelWidth = nWidth; }
  DWORD GetAutoCompleteFlags() const { return m_dwShellAutoCompleteFlags; }
  void SetAutoCompleteFlags(DWORD dwFlags);
  CXTPShellAutoComplete* GetAutoCompleteObject() const { return m_pAutoComplete; }
  CXTPEdit* GetEditCtrl() const { return m_pEdit; }
  // The next SetRect moves the window even when the rectangle is unchanged.
  void ForceReposition() { m_bForceReposition = TRUE; }

 protected:
  void ShowHint(BOOL bShow);
  CString GetRawText();
  void SetRawText(const CString& strText);
  void ApplyCharFormat();
  void DestroyEditWindow();

  CXTPEdit* m_pEdit;
  int m_nWidth;
  BOOL m_bLabel;
  BOOL m_bReadOnly;
  int m_nLabelWidth;
  BOOL m_bForceReposition;
  CString m_strEditHint;
  BOOL m_bFocused;
  CString m_strLastText;
  CString m_strEditText;
  BOOL m_bEditChanged;
  CXTPShellAutoComplete* m_pAutoComplete;
  DWORD m_dwShellAutoCompleteFlags;
  BOOL m_bSettingHint;  // the hint goes in or out: no change notification

  friend class CXTPControlEditWnd;
  template <class> friend class CXTPControlFieldWnd;
  // The program, not the user, changes the text: no change notification.
  BOOL IsSettingFieldText() const { return m_bSettingHint; }
};

// Hides a control whose bar lays out vertically (hide flag 0x04); shared by the edit and
// the combo box.
void AFXAPI XTPHideInVerticalLayout(CXTPControl* pControl, DWORD dwLayoutFlags);
// TRUE while a command-bar edit or combo box of this thread has the focus.
BOOL AFXAPI XTPIsEditFocused();
// Counts a field taking (TRUE) or losing (FALSE) the focus.
void AFXAPI XTPFieldFocusChanged(BOOL bFocused);
// Applies text and background colours as the field window's default character format.
void AFXAPI XTPApplyFieldFormat(CXTPEdit* pEdit, COLORREF clrText, COLORREF clrBack);
