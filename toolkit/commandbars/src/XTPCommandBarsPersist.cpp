// Saving and loading the command-bar layout: options ("%s-Options"), the controls stream
// ("%s-Controls", in the profile or a hidden file), the bar list operations of the
// command bars, and the placement records of the bars.
#include <framework.h>

#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPCommandBarsPersist.h"
#include "XTPCommandBarsPersistStream.h"
#include "XTPControls.h"
#include "XTPPropExchange.h"
#include "XTPResourceManager.h"

namespace {

// Streams up to this size go into the profile; larger ones into the controls file.
const UINT kMaxProfileStream = 16000;
// The largest controls file that is read at all.
const ULONGLONG kMaxControlsFile = 64ull * 1024 * 1024;
// The question whether to take a changed built-in bar over a customised one.
const UINT kConfirmUpdateString = 9394;

CXTPCommandBars::PFNLAYOUTQUESTION g_pfnLayoutQuestion = NULL;

int AFX_CDECL AskWithMessageBox(CWnd* pSite, LPCTSTR lpszText) {
  HWND hWnd = pSite != NULL ? pSite->GetSafeHwnd() : NULL;
  return ::MessageBoxW(hWnd, lpszText, AfxGetAppName(), MB_YESNO | MB_ICONQUESTION);
}

CString ProfileSection(LPCTSTR lpszFormat, LPCTSTR lpszProfileName) {
  CString str;
  str.Format(lpszFormat, lpszProfileName);
  return str;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Options

void CXTPCommandBars::SaveOptions(LPCTSTR lpszProfileName) {
  CWinApp* pApp = AfxGetApp();
  if (pApp == NULL || lpszProfileName == NULL) return;
  HKEY hAppKey = pApp->GetAppRegistryKey();
  if (hAppKey == NULL) return;
  {
    CXTPPropExchangeRegistry px(FALSE, hAppKey, ProfileSection(_T("%s-Options"), lpszProfileName));
    m_pOptions->DoPropExchange(&px, TRUE);
  }
  ::RegCloseKey(hAppKey);
}

void CXTPCommandBars::LoadOptions(LPCTSTR lpszProfileName) {
  CWinApp* pApp = AfxGetApp();
  if (pApp == NULL || lpszProfileName == NULL) return;
  HKEY hAppKey = pApp->GetAppRegistryKey();
  if (hAppKey == NULL) return;
  {
    CXTPPropExchangeRegistry px(TRUE, hAppKey, ProfileSection(_T("%s-Options"), lpszProfileName));
    m_pOptions->DoPropExchange(&px, TRUE);
  }
  ::RegCloseKey(hAppKey);
}

// ---------------------------------------------------------------------------------------
// The bar list operations

void CXTPCommandBars::SaveCommandBarList(CXTPPropExchange* pPX, CXTPCommandBarList* pCommandBarList) {
  if (pPX == NULL || pCommandBarList == NULL) return;
  CXTPPropExchangeSection secBars(pPX->GetSection(_T("CommandBars")));
  CXTPPropExchangeEnumeratorPtr pEnumerator(secBars->GetEnumerator(_T("CommandBar")));
  POSITION posSection = pEnumerator->GetPosition((DWORD)pCommandBarList->GetCount(), FALSE);
  for (POSITION pos = pCommandBarList->GetHeadPosition(); pos != NULL && posSection != NULL;) {
    CXTPCommandBar* pBar = pCommandBarList->GetNext(pos);
    CXTPPropExchangeSection secBar(pEnumerator->GetNext(posSection));
    CObject* pObject = pBar;
    if (!secBar->ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CXTPCommandBar)))
      AfxThrowArchiveException(CArchiveException::badClass);
    pBar->DoPropExchange(secBar);
  }
}

void CXTPCommandBars::LoadCommandBarList(CXTPPropExchange* pPX, CXTPCommandBarList* pCommandBarList) {
  if (pPX == NULL || pCommandBarList == NULL) return;
  CXTPPropExchangeSection secBars(pPX->GetSection(_T("CommandBars")));
  CXTPPropExchangeEnumeratorPtr pEnumerator(secBars->GetEnumerator(_T("CommandBar")));
  POSITION posSection = pEnumerator->GetPosition(0, FALSE);
  while (posSection != NULL) {
    CXTPPropExchangeSection secBar(pEnumerator->GetNext(posSection));
    CObject* pObject = NULL;
    if (!secBar->ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CXTPCommandBar)) || pObject == NULL)
      AfxThrowArchiveException(CArchiveException::badClass);
    CXTPCommandBar* pBar = static_cast<CXTPCommandBar*>(pObject);
    // The list holds the bar from now on, so that a failure further on releases it.
    pCommandBarList->AddTail(pBar);
    pBar->DoPropExchange(secBar);
  }
}

CXTPCommandBars::PFNLAYOUTQUESTION AFX_CDECL CXTPCommandBars::SetLayoutQuestionProc(PFNLAYOUTQUESTION pfn) {
  PFNLAYOUTQUESTION pfnOld = g_pfnLayoutQuestion;
  g_pfnLayoutQuestion = pfn;
  return pfnOld;
}

// ---------------------------------------------------------------------------------------
// The controls stream

BOOL CXTPCommandBars::SaveCommandBars(CMemFile* pFile, BOOL bOnlyCustomized) {
  if (pFile == NULL) return FALSE;
  XTP_COMMANDBARS_PROPEXCHANGE_PARAM param;
  param.bSaveOnlyCustomized = bOnlyCustomized;
  param.bLoadSilent = FALSE;
  param.bSaveOriginalControls = TRUE;
  param.pCommandBars = this;
  CXTPCommandBarList list(FALSE);
  try {
    GenerateCommandBarList(&list, &param);
    CArchive ar(pFile, CArchive::store, 4096);
    CXTPPropExchangeArchive px(ar);
    px.SetUserParam(&param);
    SaveCommandBarList(&px, &list);
    ar.Close();
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  } catch (...) {
    return FALSE;
  }
  return TRUE;
}

BOOL CXTPCommandBars::LoadCommandBars(const BYTE* pData, UINT nBytes, BOOL bSilent) {
  if (pData == NULL || nBytes == 0) return FALSE;
  // The whole stream is checked before anything is made from it: counts and lengths
  // within the bytes, known classes of the right kinds, no popup bar that leads back to
  // itself.
  xtp_layout::StreamSummary summary;
  std::string strError;
  if (!xtp_layout::ReadControlsStream(pData, nBytes, &summary, &strError)) {
    TRACE(_T("Stored command bars refused: %hs\n"), strError.c_str());
    return FALSE;
  }
  XTP_COMMANDBARS_PROPEXCHANGE_PARAM param;
  param.bSaveOnlyCustomized = TRUE;
  param.bLoadSilent = bSilent;
  param.bSaveOriginalControls = TRUE;
  param.pCommandBars = this;
  CXTPCommandBarList list(TRUE);
  try {
    CMemFile file(const_cast<BYTE*>(pData), nBytes, 0);
    try {
      CArchive ar(&file, CArchive::load, 4096);
      CXTPPropExchangeArchive px(ar);
      px.SetUserParam(&param);
      LoadCommandBarList(&px, &list);
      ar.Close();
    } catch (...) {
      file.Detach();
      throw;
    }
    file.Detach();
  } catch (CException* e) {
    // Any damage (archive, OLE, memory or other): the bars stay as built.
    e->Delete();
    return FALSE;
  } catch (...) {
    return FALSE;
  }
  if ((size_t)list.GetCount() != summary.bars.size()) return FALSE;
  try {
    RestoreCommandBarList(&list, bSilent);
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  } catch (...) {
    return FALSE;
  }
  return TRUE;
}

CString CXTPCommandBars::GetControlsFilePath(LPCTSTR lpszProfileName) const {
  if (!m_strControlsFileName.IsEmpty()) return m_strControlsFileName;
  CString strFileName = lpszProfileName != NULL ? lpszProfileName : _T("");
  strFileName.Replace(_T("\\"), _T("_"));
  CString strPath;
  OSVERSIONINFOW vi = {sizeof(vi)};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  const BOOL bVersion = ::GetVersionExW(&vi);
#pragma GCC diagnostic pop
  if (bVersion && vi.dwPlatformId >= VER_PLATFORM_WIN32_NT && vi.dwMajorVersion >= 5) {
    LPITEMIDLIST pidl = NULL;
    if (SUCCEEDED(::SHGetSpecialFolderLocation(NULL, CSIDL_APPDATA, &pidl)) && pidl != NULL) {
      WCHAR szFolder[MAX_PATH] = {0};
      if (::SHGetPathFromIDListW(pidl, szFolder)) {
        CString strFolder = szFolder;
        strFolder += _T("\\");
        strFolder += AfxGetAppName();
        ::CreateDirectoryW(strFolder, NULL);
        const DWORD dwAttributes = ::GetFileAttributesW(strFolder);
        if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
          strPath = strFolder + _T("\\") + strFileName;
      }
      ::CoTaskMemFree(pidl);
    }
  }
  if (strPath.IsEmpty()) {
    WCHAR szModule[MAX_PATH + 1] = {0};
    ::GetModuleFileNameW(NULL, szModule, MAX_PATH);
    strPath.Format(_T("%s-%s"), szModule, strFileName.GetString());
  }
  return strPath;
}

namespace {

// Writes the bytes to a new file beside the target and puts it in the target's place in
// one step; the previous file stays whole until then. FALSE (nothing changed, no
// temporary left) when any step fails.
BOOL ReplaceControlsFile(const CString& strPath, const BYTE* pData, UINT nBytes) {
  const CString strTemp = strPath + _T(".new");
  HANDLE hFile = ::CreateFileW(strTemp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_HIDDEN, NULL);
  if (hFile == INVALID_HANDLE_VALUE) {
    // A hidden temporary left over by an earlier failure cannot be created over.
    ::SetFileAttributesW(strTemp, FILE_ATTRIBUTE_NORMAL);
    hFile = ::CreateFileW(strTemp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN, NULL);
    if (hFile == INVALID_HANDLE_VALUE) return FALSE;
  }
  DWORD dwWritten = 0;
  BOOL bOk = ::WriteFile(hFile, pData, nBytes, &dwWritten, NULL) && dwWritten == nBytes;
  bOk = ::FlushFileBuffers(hFile) && bOk;
  bOk = ::CloseHandle(hFile) && bOk;
  if (bOk) {
    const DWORD dwOld = ::GetFileAttributesW(strPath);
    if (dwOld != INVALID_FILE_ATTRIBUTES) ::SetFileAttributesW(strPath, FILE_ATTRIBUTE_NORMAL);
    bOk = ::MoveFileExW(strTemp, strPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!bOk && dwOld != INVALID_FILE_ATTRIBUTES) ::SetFileAttributesW(strPath, dwOld);
  }
  if (!bOk) {
    ::SetFileAttributesW(strTemp, FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(strTemp);
    return FALSE;
  }
  ::SetFileAttributesW(strPath, FILE_ATTRIBUTE_HIDDEN);
  return TRUE;
}

BOOL ReadWholeFile(const CString& strPath, std::vector<BYTE>& data) {
  HANDLE hFile = ::CreateFileW(strPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
  if (hFile == INVALID_HANDLE_VALUE) return FALSE;
  LARGE_INTEGER size = {};
  BOOL bOk = ::GetFileSizeEx(hFile, &size) && size.QuadPart > 0 &&
             (ULONGLONG)size.QuadPart <= kMaxControlsFile;
  if (bOk) {
    try {
      data.resize((size_t)size.QuadPart);
      DWORD dwRead = 0;
      bOk = ::ReadFile(hFile, data.data(), (DWORD)data.size(), &dwRead, NULL) && dwRead == data.size();
    } catch (...) {
      bOk = FALSE;
    }
  }
  ::CloseHandle(hFile);
  return bOk;
}

}  // namespace

BOOL CXTPCommandBars::SaveCommandBars(LPCTSTR lpszProfileName, BOOL bOnlyCustomized) {
  CWinApp* pApp = AfxGetApp();
  if (pApp == NULL || lpszProfileName == NULL) return FALSE;
  CMemFile file(1024);
  // A stream that could not be made leaves the stored one as it is: the previous layout
  // is better than none.
  if (!SaveCommandBars(&file, bOnlyCustomized)) return FALSE;
  const CString strSection = ProfileSection(_T("%s-Controls"), lpszProfileName);
  const UINT nBytes = (UINT)file.GetLength();
  BYTE* pData = file.Detach();
  const CString strPath = GetControlsFilePath(lpszProfileName);
  BOOL bStored = FALSE;
  if (nBytes > kMaxProfileStream) {
    // The profile names the file only once the file holds the new stream.
    if (ReplaceControlsFile(strPath, pData, nBytes)) {
      bStored = pApp->WriteProfileString(strSection, _T("Controls"), strPath) &&
                pApp->WriteProfileInt(strSection, _T("LoadFromFile"), 1);
    }
  } else {
    bStored = pApp->WriteProfileBinary(strSection, _T("Controls"), pData, nBytes) &&
              pApp->WriteProfileInt(strSection, _T("LoadFromFile"), 0);
    // The file of an earlier, larger layout is no longer named by the profile.
    if (bStored) {
      ::SetFileAttributesW(strPath, FILE_ATTRIBUTE_NORMAL);
      ::DeleteFileW(strPath);
    }
  }
  free(pData);
  return bStored;
}

BOOL CXTPCommandBars::LoadCommandBars(LPCTSTR lpszProfileName, BOOL bSilent) {
  CWinApp* pApp = AfxGetApp();
  if (pApp == NULL || lpszProfileName == NULL) return FALSE;
  const CString strSection = ProfileSection(_T("%s-Controls"), lpszProfileName);
  if (pApp->GetProfileInt(strSection, _T("LoadFromFile"), 0) != 0) {
    const CString strPath = pApp->GetProfileString(strSection, _T("Controls"), _T(""));
    std::vector<BYTE> data;
    if (strPath.IsEmpty() || !ReadWholeFile(strPath, data)) return FALSE;
    return LoadCommandBars(data.data(), (UINT)data.size(), bSilent);
  }
  BYTE* pData = NULL;
  UINT nBytes = 0;
  if (!pApp->GetProfileBinary(strSection, _T("Controls"), &pData, &nBytes) || pData == NULL) return FALSE;
  const BOOL bResult = LoadCommandBars(pData, nBytes, bSilent);
  delete[] pData;
  return bResult;
}

// ---------------------------------------------------------------------------------------
// Asking whether to take a changed built-in bar

int CXTPCommandBars::AskLayoutQuestion(LPCTSTR lpszTitle) {
  CString strFormat;
  CXTPResourceManager* pResources = XTPResourceManager();
  if (pResources == NULL || !pResources->LoadString(&strFormat, kConfirmUpdateString) || strFormat.IsEmpty())
    strFormat = _T("Due to a software update the toolbar '%s' has changed. Would you like to reset ")
                _T("your customized toolbar and load the new one?");
  CString strText;
  strText.Format(strFormat, lpszTitle != NULL ? lpszTitle : _T(""));
  PFNLAYOUTQUESTION pfn = g_pfnLayoutQuestion != NULL ? g_pfnLayoutQuestion : AskWithMessageBox;
  return pfn(m_pSite, strText);
}
