// CFile over a Win32 file handle and CStdioFile over a C runtime stream.
#include <fcntl.h>
#include <io.h>
#include <share.h>

#include <cerrno>

#include "framework.h"

IMPLEMENT_DYNAMIC(CFile, CObject)
IMPLEMENT_DYNAMIC(CStdioFile, CFile)

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

namespace {

constexpr UINT kAccessMask = CFile::modeRead | CFile::modeWrite | CFile::modeReadWrite;
constexpr UINT kShareMask = 0x70;

CTime FileTimeOrZero(const FILETIME& ft) {
  return (ft.dwLowDateTime == 0 && ft.dwHighDateTime == 0) ? CTime() : CTime(ft);
}

FILETIME ToFileTime(const CTime& t) {
  ULONGLONG v = static_cast<ULONGLONG>(t.GetTime()) * 10000000ULL + 116444736000000000ULL;
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(v);
  ft.dwHighDateTime = static_cast<DWORD>(v >> 32);
  return ft;
}

CString FullPathOf(LPCWSTR lpszFileName) {
  WCHAR szPath[MAX_PATH];
  DWORD n = ::GetFullPathNameW(lpszFileName, MAX_PATH, szPath, nullptr);
  return (n == 0 || n >= MAX_PATH) ? CString(lpszFileName) : CString(szPath);
}

}  // namespace

// ---------------------------------------------------------------------------------------
CFile::CFile() : m_hFile(hFileNull), m_bCloseOnDelete(FALSE) {}

CFile::CFile(HANDLE hFile) : m_hFile(hFile), m_bCloseOnDelete(FALSE) {}

CFile::CFile(LPCWSTR lpszFileName, UINT nOpenFlags) : CFile() {
  CFileException e;
  if (!Open(lpszFileName, nOpenFlags, &e))
    AfxThrowFileException(e.m_cause, e.m_lOsError, e.m_strFileName);
}

CFile::~CFile() {
  if (m_hFile != hFileNull && m_bCloseOnDelete) Abort();
}

void CFile::ThrowLastError() const {
  CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), m_strFileName);
}

BOOL CFile::Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  if (m_hFile != hFileNull) Abort();  // reopening: drop the old handle first
  if (pError) pError->Clear();
  if (lpszFileName == nullptr || *lpszFileName == 0) {
    if (pError) {
      pError->m_cause = CFileException::badPath;
      pError->m_lOsError = ERROR_INVALID_NAME;
    }
    return FALSE;
  }
  m_strFileName = FullPathOf(lpszFileName);

  DWORD dwAccess = 0;
  switch (nOpenFlags & kAccessMask) {
    case modeRead:
      dwAccess = GENERIC_READ;
      break;
    case modeWrite:
      dwAccess = GENERIC_WRITE;
      break;
    default:
      dwAccess = GENERIC_READ | GENERIC_WRITE;
      break;
  }
  DWORD dwShare = 0;  // shareCompat and shareExclusive
  switch (nOpenFlags & kShareMask) {
    case shareDenyWrite:
      dwShare = FILE_SHARE_READ;
      break;
    case shareDenyRead:
      dwShare = FILE_SHARE_WRITE;
      break;
    case shareDenyNone:
      dwShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
      break;
  }
  DWORD dwCreate = OPEN_EXISTING;
  if (nOpenFlags & modeCreate)
    dwCreate = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
  DWORD dwFlags = FILE_ATTRIBUTE_NORMAL;
  if (nOpenFlags & osNoBuffer) dwFlags |= FILE_FLAG_NO_BUFFERING;
  if (nOpenFlags & osWriteThrough) dwFlags |= FILE_FLAG_WRITE_THROUGH;
  if (nOpenFlags & osRandomAccess) dwFlags |= FILE_FLAG_RANDOM_ACCESS;
  if (nOpenFlags & osSequentialScan) dwFlags |= FILE_FLAG_SEQUENTIAL_SCAN;
  SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, (nOpenFlags & modeNoInherit) ? FALSE : TRUE};

  HANDLE hFile = ::CreateFileW(lpszFileName, dwAccess, dwShare, &sa, dwCreate, dwFlags, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) {
    if (pError) {
      pError->m_lOsError = static_cast<LONG>(::GetLastError());
      pError->m_cause = CFileException::OsErrorToException(pError->m_lOsError);
      pError->m_strFileName = lpszFileName;
    }
    m_strFileName.Empty();
    return FALSE;
  }
  m_hFile = hFile;
  m_bCloseOnDelete = TRUE;
  return TRUE;
}

CFile* CFile::Duplicate() const {
  if (m_hFile == hFileNull) AfxThrowFileException(CFileException::invalidFile, -1, m_strFileName);
  HANDLE hProcess = ::GetCurrentProcess();
  HANDLE hDup = nullptr;
  if (!::DuplicateHandle(hProcess, m_hFile, hProcess, &hDup, 0, FALSE, DUPLICATE_SAME_ACCESS))
    ThrowLastError();
  CFile* pFile = new CFile(hDup);
  pFile->m_bCloseOnDelete = m_bCloseOnDelete;
  pFile->m_strFileName = m_strFileName;
  return pFile;
}

void CFile::Close() {
  BOOL bError = FALSE;
  if (m_hFile != hFileNull) bError = !::CloseHandle(m_hFile);
  m_hFile = hFileNull;
  m_bCloseOnDelete = FALSE;
  if (bError) ThrowLastError();
  m_strFileName.Empty();
}

void CFile::Abort() {
  if (m_hFile != hFileNull) ::CloseHandle(m_hFile);
  m_hFile = hFileNull;
  m_bCloseOnDelete = FALSE;
  m_strFileName.Empty();
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
  if (nCount == 0) return 0;
  if (lpBuf == nullptr) AfxThrowInvalidArgException();
  DWORD dwRead = 0;
  if (!::ReadFile(m_hFile, lpBuf, nCount, &dwRead, nullptr)) ThrowLastError();
  return dwRead;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
  if (nCount == 0) return;
  if (lpBuf == nullptr) AfxThrowInvalidArgException();
  DWORD dwWritten = 0;
  if (!::WriteFile(m_hFile, lpBuf, nCount, &dwWritten, nullptr)) ThrowLastError();
  if (dwWritten != nCount) AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

void CFile::Flush() {
  if (m_hFile == hFileNull) return;
  // A handle opened for reading has nothing to flush and reports access denied.
  if (!::FlushFileBuffers(m_hFile) && ::GetLastError() != ERROR_ACCESS_DENIED) ThrowLastError();
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
  if (nFrom != begin && nFrom != current && nFrom != end) AfxThrowInvalidArgException();
  LARGE_INTEGER li, liNew;
  li.QuadPart = lOff;
  if (!::SetFilePointerEx(m_hFile, li, &liNew, nFrom)) ThrowLastError();
  return static_cast<ULONGLONG>(liNew.QuadPart);
}

ULONGLONG CFile::GetPosition() const {
  LARGE_INTEGER li = {}, liNew;
  if (!::SetFilePointerEx(m_hFile, li, &liNew, FILE_CURRENT)) ThrowLastError();
  return static_cast<ULONGLONG>(liNew.QuadPart);
}

ULONGLONG CFile::GetLength() const {
  LARGE_INTEGER li;
  if (!::GetFileSizeEx(m_hFile, &li)) ThrowLastError();
  return static_cast<ULONGLONG>(li.QuadPart);
}

void CFile::SetLength(ULONGLONG dwNewLen) {
  Seek(static_cast<LONGLONG>(dwNewLen), begin);
  if (!::SetEndOfFile(m_hFile)) ThrowLastError();
}

void CFile::LockRange(ULONGLONG dwPos, ULONGLONG dwCount) {
  if (!::LockFile(m_hFile, static_cast<DWORD>(dwPos), static_cast<DWORD>(dwPos >> 32),
                  static_cast<DWORD>(dwCount), static_cast<DWORD>(dwCount >> 32)))
    ThrowLastError();
}

void CFile::UnlockRange(ULONGLONG dwPos, ULONGLONG dwCount) {
  if (!::UnlockFile(m_hFile, static_cast<DWORD>(dwPos), static_cast<DWORD>(dwPos >> 32),
                    static_cast<DWORD>(dwCount), static_cast<DWORD>(dwCount >> 32)))
    ThrowLastError();
}

CString CFile::GetFilePath() const { return m_strFileName; }
void CFile::SetFilePath(LPCWSTR lpszNewName) { m_strFileName = lpszNewName; }

CString CFile::GetFileName() const {
  CString path = GetFilePath();
  int nSlash = std::max(path.ReverseFind(L'\\'), path.ReverseFind(L'/'));
  return path.Mid(nSlash + 1);
}

CString CFile::GetFileTitle() const {
  CString name = GetFileName();
  int nDot = name.ReverseFind(L'.');
  return nDot > 0 ? name.Left(nDot) : name;
}

UINT CFile::GetBufferPtr(UINT nCommand, UINT, void** ppBufStart, void** ppBufMax) {
  // Disk files have no buffer of their own: callers fall back to Read and Write.
  (void)nCommand;
  if (ppBufStart) *ppBufStart = nullptr;
  if (ppBufMax) *ppBufMax = nullptr;
  return 0;
}

BOOL CFile::GetStatus(CFileStatus& rStatus) const {
  rStatus = {};
  BY_HANDLE_FILE_INFORMATION info;
  if (m_hFile == hFileNull || !::GetFileInformationByHandle(m_hFile, &info)) return FALSE;
  lstrcpynW(rStatus.m_szFullName, m_strFileName, MAX_PATH);
  rStatus.m_ctime = FileTimeOrZero(info.ftCreationTime);
  rStatus.m_atime = FileTimeOrZero(info.ftLastAccessTime);
  rStatus.m_mtime = FileTimeOrZero(info.ftLastWriteTime);
  rStatus.m_size = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  rStatus.m_attribute = static_cast<BYTE>(info.dwFileAttributes);
  return TRUE;
}

BOOL PASCAL CFile::GetStatus(LPCWSTR lpszFileName, CFileStatus& rStatus) {
  rStatus = {};
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (lpszFileName == nullptr ||
      !::GetFileAttributesExW(lpszFileName, GetFileExInfoStandard, &data))
    return FALSE;
  lstrcpynW(rStatus.m_szFullName, FullPathOf(lpszFileName), MAX_PATH);
  rStatus.m_ctime = FileTimeOrZero(data.ftCreationTime);
  rStatus.m_atime = FileTimeOrZero(data.ftLastAccessTime);
  rStatus.m_mtime = FileTimeOrZero(data.ftLastWriteTime);
  rStatus.m_size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  rStatus.m_attribute = static_cast<BYTE>(data.dwFileAttributes);
  return TRUE;
}

void PASCAL CFile::SetStatus(LPCWSTR lpszFileName, const CFileStatus& status) {
  DWORD dwAttr = status.m_attribute ? status.m_attribute : FILE_ATTRIBUTE_NORMAL;
  if (status.m_mtime.GetTime() != 0) {
    HANDLE h =
        ::CreateFileW(lpszFileName, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) CFileException::ThrowOsError(::GetLastError(), lpszFileName);
    FILETIME ftM = ToFileTime(status.m_mtime);
    FILETIME ftA = status.m_atime.GetTime() ? ToFileTime(status.m_atime) : ftM;
    FILETIME ftC = ToFileTime(status.m_ctime);
    BOOL bOk = ::SetFileTime(h, status.m_ctime.GetTime() ? &ftC : nullptr, &ftA, &ftM);
    DWORD dwError = ::GetLastError();
    ::CloseHandle(h);
    if (!bOk) CFileException::ThrowOsError(dwError, lpszFileName);
  }
  if (!::SetFileAttributesW(lpszFileName, dwAttr))
    CFileException::ThrowOsError(::GetLastError(), lpszFileName);
}

void PASCAL CFile::Rename(LPCWSTR lpszOldName, LPCWSTR lpszNewName) {
  if (!::MoveFileW(lpszOldName, lpszNewName))
    CFileException::ThrowOsError(::GetLastError(), lpszOldName);
}

void PASCAL CFile::Remove(LPCWSTR lpszFileName) {
  if (!::DeleteFileW(lpszFileName)) CFileException::ThrowOsError(::GetLastError(), lpszFileName);
}

// ---------------------------------------------------------------------------------------
// The stream is always binary underneath; text-mode translation (CR LF, ANSI code page)
// happens here, so the bytes on disk do not depend on the runtime's mode handling.
CStdioFile::CStdioFile() : m_pStream(nullptr) {}

CStdioFile::CStdioFile(FILE* pOpenStream) : m_pStream(pOpenStream) {
  if (pOpenStream == nullptr) AfxThrowInvalidArgException();
  _setmode(_fileno(pOpenStream), _O_BINARY);
  m_hFile = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(pOpenStream)));
}

CStdioFile::CStdioFile(LPCWSTR lpszFileName, UINT nOpenFlags) : CStdioFile() {
  CFileException e;
  if (!Open(lpszFileName, nOpenFlags, &e))
    AfxThrowFileException(e.m_cause, e.m_lOsError, e.m_strFileName);
}

CStdioFile::~CStdioFile() {
  if (m_pStream != nullptr && m_bCloseOnDelete) Abort();
}

void CStdioFile::CheckStream() const {
  if (m_pStream == nullptr) AfxThrowFileException(CFileException::invalidFile, -1, m_strFileName);
}

BOOL CStdioFile::Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
  if (m_pStream != nullptr) Abort();
  m_bText = (nOpenFlags & typeBinary) == 0;
  // The handle comes from CFile::Open, so sharing and failure causes are the same.
  if (!CFile::Open(lpszFileName, nOpenFlags & ~(typeText | typeBinary), pError)) return FALSE;
  // The stream takes the handle over: closing the stream closes the handle.
  int nAccessFlag = _O_RDWR;
  const wchar_t* pszMode = L"r+b";
  switch (nOpenFlags & kAccessMask) {
    case modeRead:
      nAccessFlag = _O_RDONLY;
      pszMode = L"rb";
      break;
    case modeWrite:
      nAccessFlag = _O_WRONLY;
      pszMode = L"wb";
      break;
  }
  int fd = _open_osfhandle(reinterpret_cast<intptr_t>(m_hFile), _O_BINARY | nAccessFlag);
  m_pStream = fd >= 0 ? _wfdopen(fd, pszMode) : nullptr;
  if (m_pStream == nullptr) {
    int nErrno = errno;
    if (fd >= 0)
      _close(fd);
    else
      ::CloseHandle(m_hFile);
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    if (pError) {
      pError->m_cause = CFileException::ErrnoToException(nErrno);
      pError->m_lOsError = nErrno;
      pError->m_strFileName = lpszFileName;
    }
    return FALSE;
  }
  return TRUE;
}

BOOL CStdioFile::ReadChar(WCHAR& ch) {
  if (!m_bText) return fread(&ch, sizeof(WCHAR), 1, m_pStream) == 1;
  int c = fgetc(m_pStream);
  if (c == EOF) return FALSE;
  if (c == '\r') {
    int next = fgetc(m_pStream);
    if (next == '\n') {
      ch = L'\n';
      return TRUE;
    }
    if (next != EOF) ungetc(next, m_pStream);
    ch = L'\r';
    return TRUE;
  }
  char bytes[2] = {static_cast<char>(c), 0};
  int nBytes = 1;
  if (::IsDBCSLeadByte(static_cast<BYTE>(c))) {
    int trail = fgetc(m_pStream);
    if (trail != EOF) bytes[nBytes++] = static_cast<char>(trail);
  }
  if (::MultiByteToWideChar(CP_ACP, 0, bytes, nBytes, &ch, 1) != 1) ch = L'?';
  return TRUE;
}

LPWSTR CStdioFile::ReadString(LPWSTR lpsz, UINT nMax) {
  CheckStream();
  if (lpsz == nullptr || nMax == 0) AfxThrowInvalidArgException();
  UINT n = 0;
  WCHAR ch;
  while (n + 1 < nMax && ReadChar(ch)) {
    lpsz[n++] = ch;
    if (ch == L'\n') break;
  }
  lpsz[n] = L'\0';
  if (ferror(m_pStream)) CFileException::ThrowErrno(errno, m_strFileName);
  return n == 0 ? nullptr : lpsz;
}

BOOL CStdioFile::ReadString(CString& rString) {
  CheckStream();
  std::wstring line;
  WCHAR ch;
  BOOL bAny = FALSE;
  while (ReadChar(ch)) {
    bAny = TRUE;
    if (ch == L'\n') break;
    line += ch;
  }
  if (ferror(m_pStream)) CFileException::ThrowErrno(errno, m_strFileName);
  if (!line.empty() && line.back() == L'\r') line.pop_back();  // CR LF in binary mode
  rString = CString(line);
  return bAny;
}

void CStdioFile::WriteString(LPCWSTR lpsz) {
  CheckStream();
  if (lpsz == nullptr) AfxThrowInvalidArgException();
  if (!m_bText) {
    Write(lpsz, static_cast<UINT>(wcslen(lpsz) * sizeof(WCHAR)));
    return;
  }
  CString text(lpsz);
  text.Replace(L"\n", L"\r\n");
  CStringA bytes(text);
  Write(bytes.GetString(), static_cast<UINT>(bytes.GetLength()));
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount) {
  CheckStream();
  if (nCount == 0) return 0;
  if (lpBuf == nullptr) AfxThrowInvalidArgException();
  size_t n = fread(lpBuf, 1, nCount, m_pStream);
  if (n < nCount && ferror(m_pStream)) CFileException::ThrowErrno(errno, m_strFileName);
  return static_cast<UINT>(n);
}

void CStdioFile::Write(const void* lpBuf, UINT nCount) {
  CheckStream();
  if (nCount == 0) return;
  if (lpBuf == nullptr) AfxThrowInvalidArgException();
  if (fwrite(lpBuf, 1, nCount, m_pStream) != nCount)
    CFileException::ThrowErrno(errno ? errno : ENOSPC, m_strFileName);
}

ULONGLONG CStdioFile::Seek(LONGLONG lOff, UINT nFrom) {
  CheckStream();
  static const int kOrigin[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  if (nFrom > end) AfxThrowInvalidArgException();
  if (_fseeki64(m_pStream, lOff, kOrigin[nFrom]) != 0)
    AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
  return GetPosition();
}

ULONGLONG CStdioFile::GetPosition() const {
  CheckStream();
  __int64 pos = _ftelli64(m_pStream);
  if (pos < 0) CFileException::ThrowErrno(errno, m_strFileName);
  return static_cast<ULONGLONG>(pos);
}

ULONGLONG CStdioFile::GetLength() const {
  CheckStream();
  // Unwritten buffered data counts too, so ask the stream rather than the handle.
  __int64 pos = _ftelli64(m_pStream);
  _fseeki64(m_pStream, 0, SEEK_END);
  __int64 length = _ftelli64(m_pStream);
  _fseeki64(m_pStream, pos, SEEK_SET);
  if (pos < 0 || length < 0) CFileException::ThrowErrno(errno, m_strFileName);
  return static_cast<ULONGLONG>(length);
}

void CStdioFile::Flush() {
  if (m_pStream != nullptr && fflush(m_pStream) != 0)
    CFileException::ThrowErrno(errno, m_strFileName);
}

void CStdioFile::Close() {
  int nResult = 0;
  if (m_pStream != nullptr) nResult = fclose(m_pStream);  // closes the handle as well
  int nErrno = errno;
  m_pStream = nullptr;
  m_hFile = hFileNull;
  m_bCloseOnDelete = FALSE;
  CString strName = m_strFileName;
  m_strFileName.Empty();
  if (nResult != 0) CFileException::ThrowErrno(nErrno, strName);
}

void CStdioFile::Abort() {
  if (m_pStream != nullptr && m_bCloseOnDelete) fclose(m_pStream);
  m_pStream = nullptr;
  m_hFile = hFileNull;
  m_bCloseOnDelete = FALSE;
  m_strFileName.Empty();
}

CFile* CStdioFile::Duplicate() const { AfxThrowNotSupportedException(); }
void CStdioFile::LockRange(ULONGLONG, ULONGLONG) { AfxThrowNotSupportedException(); }
void CStdioFile::UnlockRange(ULONGLONG, ULONGLONG) { AfxThrowNotSupportedException(); }
