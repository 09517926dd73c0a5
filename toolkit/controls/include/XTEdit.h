// Edits: CXTEdit (context menu, command updates, flicker-free painting) and CXTBrowseEdit,
// an edit with a small button at its right that browses for a folder, a file or a menu
// command and writes the choice into the edit.
#pragma once

#include <framework.h>
#include <shlobj.h>

#include "XTButton.h"

class CXTBrowseEdit;

// Browse styles of CXTBrowseEdit.
#define BES_XT_CHOOSEDIR 0x0001
#define BES_XT_CHOOSEFILE 0x0002
#define BES_XT_POPUPMENU 0x0004

// Control id of the browse button a browse edit creates.
#define XT_IDC_BTN_BROWSE 9124

// ---------------------------------------------------------------------------------------
class CXTEdit : public CEdit {
  DECLARE_DYNAMIC(CXTEdit)

 public:
  CXTEdit();
  ~CXTEdit() override;

  virtual BOOL CanPaste();
  virtual BOOL HasSelection();
  virtual BOOL Initialize(CWnd* pParentWnd);

  CWnd* GetParentWnd() const { return m_pParentWnd; }

 protected:
  afx_msg void OnContextMenu(CWnd* pWnd, CPoint point);
  afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnPaint();
  afx_msg void OnEditUndo();
  afx_msg void OnEditCut();
  afx_msg void OnEditCopy();
  afx_msg void OnEditPaste();
  afx_msg void OnEditClear();
  afx_msg void OnEditSelectAll();
  afx_msg void OnUpdateEditUndo(CCmdUI* pCmdUI);
  afx_msg void OnUpdateEditCut(CCmdUI* pCmdUI);
  afx_msg void OnUpdateEditCopy(CCmdUI* pCmdUI);
  afx_msg void OnUpdateEditPaste(CCmdUI* pCmdUI);
  afx_msg void OnUpdateEditClear(CCmdUI* pCmdUI);
  afx_msg void OnUpdateEditSelectAll(CCmdUI* pCmdUI);
  DECLARE_MESSAGE_MAP()

  CWnd* m_pParentWnd;
};

// ---------------------------------------------------------------------------------------
// The browse button's theme: the classic theme drawing the button's own icon.
class CXTBrowseButtonTheme : public CXTButtonTheme {
 public:
  void DrawButtonImage(CDC* pDC, UINT nState, CRect& rcItem, CXTButton* pButton) override;
};

class CXTBrowseButton : public CXTButton {
  DECLARE_DYNAMIC(CXTBrowseButton)

 public:
  CXTBrowseButton();
  ~CXTBrowseButton() override;

  virtual BOOL CreateBrowseButton(CXTBrowseEdit* pEditWnd, DWORD dwBStyle, UINT nID,
                                  UINT nMenu = (UINT)-1, int nSubMenuIndx = -1);
  virtual void OnBrowse();

  BOOL PreTranslateMessage(MSG* pMsg) override;

  HICON GetBrowseIcon() const { return m_hIcon; }
  DWORD GetBrowseStyle() const { return m_dwBStyle; }

 protected:
  afx_msg void OnClicked();
  afx_msg void OnEnable(BOOL bEnable);
  DECLARE_MESSAGE_MAP()

  DWORD m_dwBStyle;
  UINT m_nMenu;
  int m_nSubMenuIndx;
  CXTBrowseEdit* m_pEditWnd;
  HICON m_hIcon;  // owned
};

// ---------------------------------------------------------------------------------------
// The shell's folder browser.
class CXTBrowseDialog {
 public:
  explicit CXTBrowseDialog(CWnd* pParent = NULL);
  virtual ~CXTBrowseDialog();

  // 1 when a folder with a file-system path was chosen, 2 otherwise.
  virtual INT_PTR DoModal();

  void SetOwner(HWND hwndOwner) { m_bi.hwndOwner = hwndOwner; }
  void SetTitle(LPCTSTR lpszTitle);
  LPCTSTR GetTitle() const { return m_strTitle; }
  void SetOptions(UINT ulFlags) { m_bi.ulFlags = ulFlags; }
  UINT GetOptions() const { return m_bi.ulFlags; }
  // The folder to start at. A path that does not fit the 260-character buffer is not
  // taken: the browser then starts at the current directory.
  void SetSelPath(LPCTSTR lpszSelPath);
  LPCTSTR GetSelPath() const { return m_szSelPath; }
  // The folder the browser is told to select when it opens; empty when none fits.
  CString GetStartPath() const;

  static int CALLBACK BrowseCtrlCallback(HWND hwnd, UINT uMsg, LPARAM lParam, LPARAM lpData);

 protected:
  BROWSEINFOW m_bi;
  TCHAR m_szSelPath[MAX_PATH];
  TCHAR m_szDisplayName[MAX_PATH];
  CString m_strTitle;
};

// ---------------------------------------------------------------------------------------
class CXTBrowseEdit : public CXTEdit {
  DECLARE_DYNAMIC(CXTBrowseEdit)

 public:
  CXTBrowseEdit();
  ~CXTBrowseEdit() override;

  virtual void SetFileDialog(CFileDialog* pFileDialog) { m_pFileDialog = pFileDialog; }
  virtual void SetOpenDialog(BOOL bOpenFileDialog) { m_bOpenFileDialog = bOpenFileDialog; }
  virtual void SetDefaultExtension(LPCTSTR lpszDefExt) { m_strDefExt = lpszDefExt; }
  virtual void SetFileName(LPCTSTR lpszFileName) { m_strFileName = lpszFileName; }
  virtual void SetDialogFlags(DWORD dwFlags) { m_dwFlags = dwFlags; }
  virtual void SetFilter(LPCTSTR lpszFilter) { m_strFilter = lpszFilter; }
  virtual void SetFolderTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle; }
  virtual BOOL InitializeBrowse(CWnd* pParentWnd, DWORD dwBStyle = BES_XT_CHOOSEDIR, UINT nMenu = 0,
                                int nSubMenuIndx = 0);
  virtual void Browse();
  virtual void BrowseForFolder();
  virtual void BrowseForFile();
  virtual void BrowseMenu();
  virtual void PositionBrowseButton();

  CXTBrowseButton* GetBrowseButton() { return &m_btnBrowse; }
  // The browse style InitializeBrowse starts from (1 unless changed here).
  void SetBrowseStyle(DWORD dwBStyle) { m_dwBStyle = dwBStyle; }
  DWORD GetBrowseStyle() const { return m_dwBStyle; }
  BOOL IsBrowsing() const { return m_bBrowsing; }
  int GetGap() const { return m_nGap; }
  CString GetFilter() const { return m_strFilter; }
  CString GetDefaultExtension() const { return m_strDefExt; }
  CString GetFolderTitle() const { return m_strTitle; }
  DWORD GetDialogFlags() const { return m_dwFlags; }
  // The structure size the last built file dialog was run with (0 before any).
  DWORD GetLastDialogStructSize() const { return m_dwLastStructSize; }

  // Width of every browse button: 2 x SM_CXEDGE + SM_CXHTHUMB.
  static int GetButtonWidth();
  // The structure size a file dialog is run with so that it shows the newer layout: at
  // least the full structure of this system, never more than the dialog holds (dwHeld).
  static DWORD FileDialogStructSize(DWORD dwCurrent, DWORD dwHeld);

 protected:
  afx_msg void OnEnable(BOOL bEnable);
  afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
  afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
  DECLARE_MESSAGE_MAP()

  int m_nGap;
  BOOL m_bBrowsing;
  BOOL m_bOpenFileDialog;
  UINT m_nMenu;
  int m_nSubMenuIndx;
  DWORD m_dwFlags;
  DWORD m_dwBStyle;
  CString m_strDefExt;
  CString m_strFileName;
  CString m_strFilter;
  CString m_strTitle;
  CFileDialog* m_pFileDialog;
  CXTBrowseButton m_btnBrowse;
  BOOL m_bInMenu;
  DWORD m_dwLastStructSize;
};
