// Framework exceptions. They are always thrown as heap pointers and released by the
// catcher:
//     try { ... } catch (CException* e) { e->ReportError(); e->Delete(); }
// or with the TRY/CATCH macros, where the caught exception is released automatically at
// the end of the handler unless it is rethrown (THROW_LAST) or Delete()d explicitly.
#pragma once

#include <windows.h>

#include <exception>

#include "fw_object.h"
#include "fw_string.h"

class CException : public CObject {
  DECLARE_DYNAMIC(CException)
 public:
  CException() : m_bAutoDelete(TRUE) {}
  // bAutoDelete FALSE marks a static instance that Delete() must leave alone.
  explicit CException(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete) {}
  ~CException() override = default;

  void Delete();
  // Copies a description into lpszError (at most nMaxError characters with the NUL).
  virtual BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const;
  // Shows the description in a message box (see AfxSetReportErrorHandler); nMessageID is
  // the string resource used when there is no description.
  virtual int ReportError(UINT nType = MB_OK, UINT nMessageID = 0);

  BOOL m_bAutoDelete;
};

// Who shows ReportError's box. Default: ::MessageBoxW on the active window. The application
// layer installs its own (with the application title) at start-up.
typedef int(AFXAPI* AFX_REPORT_ERROR_HANDLER)(LPCWSTR lpszText, UINT nType);
AFX_REPORT_ERROR_HANDLER AFXAPI AfxSetReportErrorHandler(AFX_REPORT_ERROR_HANDLER pfn);

// Exceptions carrying only their kind, each with its own fixed description.
#define FW_DECLARE_SIMPLE_EXCEPTION(class_name)                        \
  class class_name : public CException {                               \
    DECLARE_DYNAMIC(class_name)                                        \
   public:                                                             \
    class_name() = default;                                            \
    explicit class_name(BOOL bAutoDelete) : CException(bAutoDelete) {} \
    BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError,             \
                         PUINT pnHelpContext = NULL) const override;   \
  };

FW_DECLARE_SIMPLE_EXCEPTION(CMemoryException)
FW_DECLARE_SIMPLE_EXCEPTION(CNotSupportedException)
FW_DECLARE_SIMPLE_EXCEPTION(CInvalidArgException)
FW_DECLARE_SIMPLE_EXCEPTION(CResourceException)
// Thrown after the user has already been told (e.g. a failed dialog validation).
FW_DECLARE_SIMPLE_EXCEPTION(CUserException)

class CFileException : public CException {
  DECLARE_DYNAMIC(CFileException)
 public:
  enum {
    none,
    genericException,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
  };

  explicit CFileException(int cause = CFileException::none, LONG lOsError = -1,
                          LPCWSTR lpszArchiveName = NULL)
      : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszArchiveName) {}

  void Clear() {
    m_cause = none;
    m_lOsError = -1;
    m_strFileName.Empty();
  }

  // Maps a Win32 error code (GetLastError) or C runtime errno to a cause.
  static int PASCAL OsErrorToException(LONG lOsError);
  static int PASCAL ErrnoToException(int nErrno);
  [[noreturn]] static void PASCAL ThrowOsError(LONG lOsError, LPCWSTR lpszFileName = NULL);
  [[noreturn]] static void PASCAL ThrowErrno(int nErrno, LPCWSTR lpszFileName = NULL);

  BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;

  int m_cause;
  LONG m_lOsError;
  CString m_strFileName;
};

class CArchiveException : public CException {
  DECLARE_DYNAMIC(CArchiveException)
 public:
  enum {
    none,
    genericException,
    readOnly,   // writing to an archive opened for loading
    endOfFile,  // reading past the end of the data
    writeOnly,  // reading from an archive opened for storing
    badIndex,   // object or class reference out of range
    badClass,   // unknown class, or not the class asked for
    badSchema   // stored schema differs from the class's and the class is not versionable
  };

  explicit CArchiveException(int cause = CArchiveException::none, LPCWSTR lpszArchiveName = NULL)
      : m_cause(cause), m_strFileName(lpszArchiveName) {}

  BOOL GetErrorMessage(LPWSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;

  int m_cause;
  CString m_strFileName;
};

// ---------------------------------------------------------------------------------------
// TRY/CATCH macros over C++ exceptions of pointer type.
//
// Each handler opens an AfxCatchScope that deletes the caught exception when the handler
// ends normally, unless the handler already released it with Delete(). When the handler
// leaves by throwing (THROW_LAST or THROW(e)), the exception travels on untouched.
class AfxCatchScope {
 public:
  explicit AfxCatchScope(CException* pException);
  ~AfxCatchScope();
  AfxCatchScope(const AfxCatchScope&) = delete;
  AfxCatchScope& operator=(const AfxCatchScope&) = delete;
  // Called by CException::Delete so that the scope does not release it a second time.
  static void PASCAL Forget(CException* pException);

 private:
  CException* m_pException;
  AfxCatchScope* m_pPrev;
  int m_nUncaught;
};

#define TRY try {
#define CATCH(class_name, e)         \
  }                                  \
  catch (class_name * e) {           \
    AfxCatchScope _afxCatchScope(e); \
    (void)e;
#define AND_CATCH(class_name, e) CATCH(class_name, e)
#define END_CATCH }
#define CATCH_ALL(e) CATCH(CException, e)
#define AND_CATCH_ALL(e) CATCH(CException, e)
#define END_CATCH_ALL }
#define END_TRY }
#define THROW(e) throw e
#define THROW_LAST() throw
