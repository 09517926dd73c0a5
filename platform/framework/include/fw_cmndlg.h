// Common dialogs: file open/save and colour.
//
// CFileDialog takes its filter as "Text files (*.txt)|*.txt|All files (*.*)|*.*||". For a
// multiple selection give OFN_ALLOWMULTISELECT and, for more than a few names, a bigger
// buffer of your own in m_ofn.lpstrFile / nMaxFile, then walk the names:
//
//   for (POSITION pos = dlg.GetStartPosition(); pos != NULL;) use(dlg.GetNextPathName(pos));
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "fw_dialog.h"
#include "fw_string.h"

class CCommonDialog : public CDialog {
  DECLARE_DYNAMIC(CCommonDialog)

 public:
  explicit CCommonDialog(CWnd* pParentWnd) : CDialog((UINT)0, pParentWnd) {}

 protected:
  // The window that owns the dialog: the given parent's top-level window, else the
  // application's main window.
  HWND OwnerWindow() const;
};

// ---------------------------------------------------------------------------------------
class CFileDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CFileDialog)

 public:
  explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = NULL, LPCTSTR lpszFileName = NULL,
                       DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       LPCTSTR lpszFilter = NULL, CWnd* pParentWnd = NULL, DWORD dwSize = 0,
                       BOOL bVistaStyle = TRUE);

  OPENFILENAMEW m_ofn;

  INT_PTR DoModal() override;  // IDOK or IDCANCEL

  // The chosen file: in a multiple selection the first name only (see GetNextPathName).
  CString GetPathName() const;
  CString GetFileName() const;
  CString GetFileExt() const;
  CString GetFileTitle() const;
  CString GetFolderPath() const;
  BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }
  // Walks the names of a selection: the buffer holds the folder and then the names (NUL
  // separated, or blank separated without OFN_EXPLORER); a single name is a full path.
  POSITION GetStartPosition() const;
  CString GetNextPathName(POSITION& pos) const;

  // The dialog's last error (CommDlgExtendedError) after DoModal returned IDCANCEL.
  DWORD m_dwLastError;

 protected:
  BOOL m_bOpenFileDialog;
  CString m_strFilter;   // '|' turned into NULs
  CString m_strDefExt;
  WCHAR m_szFileTitle[64];
  WCHAR m_szFileName[_MAX_PATH];
};

// ---------------------------------------------------------------------------------------
class CColorDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CColorDialog)

 public:
  explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = NULL);

  CHOOSECOLORW m_cc;

  INT_PTR DoModal() override;
  COLORREF GetColor() const { return m_cc.rgbResult; }
  void SetCurrentColor(COLORREF clr) { m_cc.rgbResult = clr; }
  // The sixteen custom colours, shared by every colour dialog of the process.
  static COLORREF* PASCAL GetSavedCustomColors();
};
