// Common dialogs.
#include "framework.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)
IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CColorDialog, CCommonDialog)

HWND CCommonDialog::OwnerWindow() const {
  CWnd* pParent = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
  HWND hWnd = pParent->GetSafeHwnd();
  return hWnd ? ::GetAncestor(hWnd, GA_ROOT) : nullptr;
}

// ---------------------------------------------------------------------------------------
CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName,
                         DWORD dwFlags, LPCTSTR lpszFilter, CWnd* pParentWnd, DWORD dwSize, BOOL)
    : CCommonDialog(pParentWnd), m_dwLastError(0), m_bOpenFileDialog(bOpenFileDialog) {
  ZeroMemory(&m_ofn, sizeof(m_ofn));
  ZeroMemory(m_szFileTitle, sizeof(m_szFileTitle));
  ZeroMemory(m_szFileName, sizeof(m_szFileName));
  m_ofn.lStructSize = dwSize != 0 ? dwSize : sizeof(m_ofn);
  m_ofn.lpstrFile = m_szFileName;
  m_ofn.nMaxFile = _countof(m_szFileName);
  m_ofn.lpstrFileTitle = m_szFileTitle;
  m_ofn.nMaxFileTitle = _countof(m_szFileTitle);
  m_ofn.Flags = dwFlags | OFN_EXPLORER;
  if (lpszDefExt != nullptr) {
    m_strDefExt = lpszDefExt;
    m_ofn.lpstrDefExt = m_strDefExt;
  }
  if (lpszFileName != nullptr) lstrcpynW(m_szFileName, lpszFileName, _countof(m_szFileName));
  if (lpszFilter != nullptr) {
    // "a|b|c|d||": the dialog wants "a\0b\0c\0d\0\0". The string keeps its NULs because
    // its length is set explicitly.
    m_strFilter = lpszFilter;
    m_strFilter.Replace(L'|', L'\0');
    if (m_strFilter.IsEmpty() || m_strFilter[m_strFilter.GetLength() - 1] != L'\0')
      m_strFilter.AppendChar(L'\0');
    m_strFilter.AppendChar(L'\0');
    m_ofn.lpstrFilter = m_strFilter;
  }
}

INT_PTR CFileDialog::DoModal() {
  m_ofn.hwndOwner = OwnerWindow();
  // A stale name from an earlier run must not look like a new selection.
  m_ofn.nFileOffset = m_ofn.nFileExtension = 0;
  const BOOL bEnable = m_ofn.hwndOwner != nullptr && ::IsWindowEnabled(m_ofn.hwndOwner);
  BOOL bOk = m_bOpenFileDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
  m_dwLastError = bOk ? 0 : ::CommDlgExtendedError();
  if (bEnable && !::IsWindowEnabled(m_ofn.hwndOwner)) ::EnableWindow(m_ofn.hwndOwner, TRUE);
  return bOk ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const { return CString(m_ofn.lpstrFile); }

CString CFileDialog::GetFileName() const {
  CString strPath = GetPathName();
  int nSlash = std::max(strPath.ReverseFind(L'\\'), strPath.ReverseFind(L'/'));
  return strPath.Mid(nSlash + 1);
}

CString CFileDialog::GetFileExt() const {
  CString strName = GetFileName();
  int nDot = strName.ReverseFind(L'.');
  return nDot < 0 ? CString() : strName.Mid(nDot + 1);
}

CString CFileDialog::GetFileTitle() const {
  CString strName = GetFileName();
  int nDot = strName.ReverseFind(L'.');
  return nDot < 0 ? strName : strName.Left(nDot);
}

CString CFileDialog::GetFolderPath() const {
  CString strPath = GetPathName();
  // In a multiple selection the first string is the folder itself.
  if (m_ofn.Flags & OFN_ALLOWMULTISELECT) {
    POSITION pos = GetStartPosition();
    if (pos != NULL) {
      GetNextPathName(pos);
      if (pos != NULL) return strPath;  // more than one name
    }
  }
  int nSlash = std::max(strPath.ReverseFind(L'\\'), strPath.ReverseFind(L'/'));
  return nSlash < 0 ? CString() : strPath.Left(nSlash);
}

POSITION CFileDialog::GetStartPosition() const {
  return (m_ofn.lpstrFile != nullptr && m_ofn.lpstrFile[0] != 0)
             ? reinterpret_cast<POSITION>(m_ofn.lpstrFile)
             : NULL;
}

CString CFileDialog::GetNextPathName(POSITION& pos) const {
  const WCHAR chDelimiter = (m_ofn.Flags & OFN_EXPLORER) ? L'\0' : L' ';
  LPCWSTR lpsz = reinterpret_cast<LPCWSTR>(pos);
  const LPCWSTR lpszBuffer = m_ofn.lpstrFile;
  const LPCWSTR lpszEnd = lpszBuffer + m_ofn.nMaxFile;
  if (lpsz == nullptr || lpsz < lpszBuffer || lpsz >= lpszEnd) {
    pos = NULL;
    return CString();
  }
  // The end of the text that starts at p (its delimiter, the buffer's end at the latest).
  auto fieldEnd = [&](LPCWSTR p) {
    while (p < lpszEnd && *p != chDelimiter && *p != 0) ++p;
    return p;
  };

  if (lpsz == lpszBuffer) {
    const LPCWSTR lpszDirEnd = fieldEnd(lpszBuffer);
    if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT) || lpszDirEnd + 1 >= lpszEnd || lpszDirEnd[1] == 0) {
      // One file: the buffer holds its full path.
      pos = NULL;
      return CString(lpszBuffer, (int)(lpszDirEnd - lpszBuffer));
    }
    lpsz = lpszDirEnd + 1;
  }

  const LPCWSTR lpszDirEnd = fieldEnd(lpszBuffer);
  CString strDir(lpszBuffer, (int)(lpszDirEnd - lpszBuffer));
  const LPCWSTR lpszNameEnd = fieldEnd(lpsz);
  CString strName(lpsz, (int)(lpszNameEnd - lpsz));
  // Next name, or the end when the following character closes the list.
  const LPCWSTR lpszNext = lpszNameEnd + 1;
  pos = (lpszNameEnd < lpszEnd && *lpszNameEnd == chDelimiter && lpszNext < lpszEnd && *lpszNext != 0)
            ? reinterpret_cast<POSITION>(const_cast<LPWSTR>(lpszNext))
            : NULL;

  // A name that is a full path already (another drive, a share) stands alone.
  if (strName.GetLength() >= 2 && (strName[1] == L':' || (strName[0] == L'\\' && strName[1] == L'\\')))
    return strName;
  if (!strDir.IsEmpty() && strDir[strDir.GetLength() - 1] != L'\\') strDir += L'\\';
  return strDir + strName;
}

// ---------------------------------------------------------------------------------------
CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd) {
  ZeroMemory(&m_cc, sizeof(m_cc));
  m_cc.lStructSize = sizeof(m_cc);
  m_cc.lpCustColors = GetSavedCustomColors();
  m_cc.Flags = dwFlags;
  m_cc.rgbResult = clrInit;
  if (clrInit != 0) m_cc.Flags |= CC_RGBINIT;
}

COLORREF* PASCAL CColorDialog::GetSavedCustomColors() {
  static COLORREF colors[16] = {
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
      RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255)};
  return colors;
}

INT_PTR CColorDialog::DoModal() {
  m_cc.hwndOwner = OwnerWindow();
  return ::ChooseColorW(&m_cc) ? IDOK : IDCANCEL;
}
