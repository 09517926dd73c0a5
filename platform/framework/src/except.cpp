// Framework exceptions: descriptions, throwing helpers and the TRY/CATCH release scope.
#include <cerrno>

#include "framework.h"

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CInvalidArgException, CException)
IMPLEMENT_DYNAMIC(CResourceException, CException)
IMPLEMENT_DYNAMIC(CUserException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CArchiveException, CException)

namespace {

int AFXAPI DefaultReportError(LPCWSTR lpszText, UINT nType) {
  return ::MessageBoxW(::GetActiveWindow(), lpszText, L"Error", nType);
}
AFX_REPORT_ERROR_HANDLER g_pfnReportError = DefaultReportError;

// Copies a description into the caller's buffer, truncating it to fit.
BOOL CopyMessage(LPCWSTR lpszText, LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext) {
  if (pnHelpContext) *pnHelpContext = 0;
  if (lpszError == nullptr || nMaxError == 0) return FALSE;
  lstrcpynW(lpszError, lpszText, static_cast<int>(nMaxError));
  return TRUE;
}

// Substitutes %1 with the file name, or with a neutral word when there is none.
CString WithFileName(LPCWSTR lpszTemplate, const CString& strFileName) {
  CString text(lpszTemplate);
  text.Replace(L"%1", strFileName.IsEmpty() ? L"an unnamed file" : strFileName.GetString());
  return text;
}

thread_local AfxCatchScope* t_pInnermostScope = nullptr;

}  // namespace

AFX_REPORT_ERROR_HANDLER AFXAPI AfxSetReportErrorHandler(AFX_REPORT_ERROR_HANDLER pfn) {
  AFX_REPORT_ERROR_HANDLER pfnOld = g_pfnReportError;
  g_pfnReportError = pfn ? pfn : DefaultReportError;
  return pfnOld;
}

// ---------------------------------------------------------------------------------------
void CException::Delete() {
  AfxCatchScope::Forget(this);
  if (m_bAutoDelete > 0) delete this;
}

BOOL CException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  if (lpszError && nMaxError) *lpszError = L'\0';
  return FALSE;
}

int CException::ReportError(UINT nType, UINT nMessageID) {
  WCHAR szMessage[512];
  CString text;
  if (GetErrorMessage(szMessage, _countof(szMessage)))
    text = szMessage;
  else if (nMessageID == 0 || !text.LoadString(nMessageID))
    text = L"An unexpected error occurred.";
  return g_pfnReportError(text, nType);
}

#define FW_SIMPLE_EXCEPTION_MESSAGE(class_name, text)                                             \
  BOOL class_name::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const { \
    return CopyMessage(text, lpszError, nMaxError, pnHelpContext);                                \
  }

FW_SIMPLE_EXCEPTION_MESSAGE(CMemoryException, L"Out of memory.")
FW_SIMPLE_EXCEPTION_MESSAGE(CNotSupportedException, L"The operation is not supported.")
FW_SIMPLE_EXCEPTION_MESSAGE(CInvalidArgException, L"An invalid argument was encountered.")
FW_SIMPLE_EXCEPTION_MESSAGE(CResourceException, L"A required resource was unavailable.")
FW_SIMPLE_EXCEPTION_MESSAGE(CUserException, L"The operation was stopped.")

// ---------------------------------------------------------------------------------------
int PASCAL CFileException::OsErrorToException(LONG lOsError) {
  switch (lOsError) {
    case NO_ERROR:
      return none;
    case ERROR_FILE_NOT_FOUND:
      return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_DIRECTORY:
    case ERROR_FILENAME_EXCED_RANGE:
      return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
      return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_CANNOT_MAKE:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return accessDenied;
    case ERROR_INVALID_HANDLE:
      return invalidFile;
    case ERROR_CURRENT_DIRECTORY:
      return removeCurrentDir;
    case ERROR_NO_MORE_FILES:
      return directoryFull;
    case ERROR_SEEK:
    case ERROR_NEGATIVE_SEEK:
      return badSeek;
    case ERROR_CRC:
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
    case ERROR_NOT_READY:
    case ERROR_SECTOR_NOT_FOUND:
      return hardIO;
    case ERROR_SHARING_VIOLATION:
    case ERROR_SHARING_BUFFER_EXCEEDED:
      return sharingViolation;
    case ERROR_LOCK_VIOLATION:
    case ERROR_DRIVE_LOCKED:
    case ERROR_LOCK_FAILED:
      return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return diskFull;
    case ERROR_HANDLE_EOF:
      return endOfFile;
    default:
      return genericException;
  }
}

int PASCAL CFileException::ErrnoToException(int nErrno) {
  switch (nErrno) {
    case 0:
      return none;
    case ENOENT:
      return fileNotFound;
    case EPERM:
    case EACCES:
    case EEXIST:
    case EROFS:
      return accessDenied;
    case EMFILE:
      return tooManyOpenFiles;
    case EBADF:
      return invalidFile;
    case ENOSPC:
      return diskFull;
    case EINVAL:
      return badSeek;
    case EIO:
      return hardIO;
    case EDEADLOCK:
      return lockViolation;
    case ENAMETOOLONG:
    case ENOTDIR:
      return badPath;
    default:
      return genericException;
  }
}

void PASCAL CFileException::ThrowOsError(LONG lOsError, LPCWSTR lpszFileName) {
  AfxThrowFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

void PASCAL CFileException::ThrowErrno(int nErrno, LPCWSTR lpszFileName) {
  AfxThrowFileException(ErrnoToException(nErrno), nErrno, lpszFileName);
}

BOOL CFileException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
  static const LPCWSTR kTexts[] = {
      L"No error occurred while accessing %1.",
      L"An unexpected error occurred while accessing %1.",
      L"%1 was not found.",
      L"%1 contains an invalid path.",
      L"%1 could not be opened because there are too many open files.",
      L"Access to %1 was denied.",
      L"An unsupported operation was attempted on %1.",
      L"%1 is the current directory and cannot be removed.",
      L"There is no more room in the directory of %1.",
      L"An error occurred while seeking in %1.",
      L"A hardware I/O error was reported while accessing %1.",
      L"A sharing violation occurred while accessing %1.",
      L"A locking violation occurred while accessing %1.",
      L"The disk is full while accessing %1.",
      L"An attempt was made to access %1 past its end.",
  };
  int cause = (m_cause >= none && m_cause <= endOfFile) ? m_cause : genericException;
  return CopyMessage(WithFileName(kTexts[cause], m_strFileName), lpszError, nMaxError,
                     pnHelpContext);
}

BOOL CArchiveException::GetErrorMessage(LPWSTR lpszError, UINT nMaxError,
                                        PUINT pnHelpContext) const {
  static const LPCWSTR kTexts[] = {
      L"No error occurred while reading or writing %1.",
      L"An unexpected error occurred while reading or writing %1.",
      L"An attempt was made to write to %1 while it was being read.",
      L"An attempt was made to read past the end of %1.",
      L"An attempt was made to read from %1 while it was being written.",
      L"%1 has an invalid format.",
      L"%1 contains an unexpected object.",
      L"%1 contains an unsupported version of an object.",
  };
  int cause = (m_cause >= none && m_cause <= badSchema) ? m_cause : genericException;
  return CopyMessage(WithFileName(kTexts[cause], m_strFileName), lpszError, nMaxError,
                     pnHelpContext);
}

// ---------------------------------------------------------------------------------------
void AFXAPI AfxThrowMemoryException() {
  // Allocating under memory pressure may fail: the out-of-memory exception is preallocated.
  static CMemoryException s_memoryException(FALSE);
  throw &s_memoryException;
}
void AFXAPI AfxThrowNotSupportedException() { throw new CNotSupportedException; }
void AFXAPI AfxThrowInvalidArgException() { throw new CInvalidArgException; }
void AFXAPI AfxThrowResourceException() { throw new CResourceException; }
void AFXAPI AfxThrowUserException() { throw new CUserException; }
void AFXAPI AfxThrowFileException(int cause, LONG lOsError, LPCWSTR lpszFileName) {
  throw new CFileException(cause, lOsError, lpszFileName);
}
void AFXAPI AfxThrowArchiveException(int cause, LPCWSTR lpszArchiveName) {
  throw new CArchiveException(cause, lpszArchiveName);
}

// ---------------------------------------------------------------------------------------
AfxCatchScope::AfxCatchScope(CException* pException)
    : m_pException(pException),
      m_pPrev(t_pInnermostScope),
      m_nUncaught(std::uncaught_exceptions()) {
  t_pInnermostScope = this;
}

AfxCatchScope::~AfxCatchScope() {
  t_pInnermostScope = m_pPrev;
  // A handler left by a throw (THROW_LAST, or THROW(e) of the same pointer) passes the
  // exception on, so it must survive.
  if (m_pException != nullptr && std::uncaught_exceptions() == m_nUncaught) {
    CException* pException = m_pException;
    m_pException = nullptr;
    pException->Delete();
  }
}

void PASCAL AfxCatchScope::Forget(CException* pException) {
  for (AfxCatchScope* p = t_pInnermostScope; p != nullptr; p = p->m_pPrev)
    if (p->m_pException == pException) p->m_pException = nullptr;
}
