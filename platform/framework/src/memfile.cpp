// CMemFile over a growable memory block, CSharedFile over a movable global handle.
#include <cstdlib>
#include <cstring>

#include "framework.h"

IMPLEMENT_DYNAMIC(CMemFile, CFile)
IMPLEMENT_DYNAMIC(CSharedFile, CMemFile)

CMemFile::CMemFile(UINT nGrowBytes)
    : m_nGrowBytes(nGrowBytes),
      m_nPosition(0),
      m_nBufferSize(0),
      m_nFileSize(0),
      m_lpBuffer(nullptr),
      m_bAutoDelete(TRUE) {}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes) : CMemFile(nGrowBytes) {
  Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile() {
  if (m_lpBuffer != nullptr) Close();
}

void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes) {
  if (m_lpBuffer != nullptr) AfxThrowInvalidArgException();  // Detach or Close first
  if (lpBuffer == nullptr && nBufferSize != 0) AfxThrowInvalidArgException();
  m_lpBuffer = lpBuffer;
  m_nBufferSize = nBufferSize;
  m_nGrowBytes = nGrowBytes;
  // A fixed buffer is a file of its full size; a growable one starts empty.
  m_nFileSize = nGrowBytes == 0 ? nBufferSize : 0;
  m_nPosition = 0;
  m_bAutoDelete = FALSE;
}

BYTE* CMemFile::Detach() {
  BYTE* lpBuffer = m_lpBuffer;
  m_lpBuffer = nullptr;
  m_nBufferSize = m_nFileSize = m_nPosition = 0;
  m_bAutoDelete = TRUE;
  return lpBuffer;
}

BYTE* CMemFile::Alloc(SIZE_T nBytes) { return static_cast<BYTE*>(malloc(nBytes)); }
BYTE* CMemFile::Realloc(BYTE* lpMem, SIZE_T nBytes) {
  return static_cast<BYTE*>(realloc(lpMem, nBytes));
}
BYTE* CMemFile::Memcpy(BYTE* lpMemTarget, const BYTE* lpMemSource, SIZE_T nBytes) {
  return static_cast<BYTE*>(memcpy(lpMemTarget, lpMemSource, nBytes));
}
void CMemFile::Free(BYTE* lpMem) { free(lpMem); }

void CMemFile::GrowFile(SIZE_T dwNewLen) {
  if (dwNewLen <= m_nBufferSize) return;
  if (m_nGrowBytes == 0) AfxThrowMemoryException();  // fixed-size buffer
  SIZE_T nNewBufferSize = m_nBufferSize;
  while (nNewBufferSize < dwNewLen) nNewBufferSize += m_nGrowBytes;
  BYTE* lpNew = m_lpBuffer == nullptr ? Alloc(nNewBufferSize) : Realloc(m_lpBuffer, nNewBufferSize);
  if (lpNew == nullptr) AfxThrowMemoryException();
  m_lpBuffer = lpNew;
  m_nBufferSize = nNewBufferSize;
  // A reallocated block belongs to the file even when the caller attached the original.
  m_bAutoDelete = TRUE;
}

ULONGLONG CMemFile::GetLength() const { return m_nFileSize; }
ULONGLONG CMemFile::GetPosition() const { return m_nPosition; }

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom) {
  LONGLONG base = nFrom == begin     ? 0
                  : nFrom == current ? static_cast<LONGLONG>(m_nPosition)
                  : nFrom == end     ? static_cast<LONGLONG>(m_nFileSize)
                                     : -1;
  if (base < 0) AfxThrowInvalidArgException();
  LONGLONG newPos = base + lOff;
  if (newPos < 0) AfxThrowFileException(CFileException::badSeek, -1, m_strFileName);
  // Seeking past the end is allowed; the gap becomes zeros on the next write.
  m_nPosition = static_cast<SIZE_T>(newPos);
  return m_nPosition;
}

void CMemFile::SetLength(ULONGLONG dwNewLen) {
  if (dwNewLen > m_nBufferSize) GrowFile(static_cast<SIZE_T>(dwNewLen));
  if (dwNewLen > m_nFileSize) memset(m_lpBuffer + m_nFileSize, 0, dwNewLen - m_nFileSize);
  m_nFileSize = static_cast<SIZE_T>(dwNewLen);
  if (m_nPosition > m_nFileSize) m_nPosition = m_nFileSize;
}

UINT CMemFile::Read(void* lpBuf, UINT nCount) {
  if (nCount == 0 || m_nPosition >= m_nFileSize) return 0;
  if (lpBuf == nullptr) AfxThrowInvalidArgException();
  SIZE_T nRead = std::min<SIZE_T>(nCount, m_nFileSize - m_nPosition);
  Memcpy(static_cast<BYTE*>(lpBuf), m_lpBuffer + m_nPosition, nRead);
  m_nPosition += nRead;
  return static_cast<UINT>(nRead);
}

void CMemFile::Write(const void* lpBuf, UINT nCount) {
  if (nCount == 0) return;
  if (lpBuf == nullptr) AfxThrowInvalidArgException();
  SIZE_T nEnd = m_nPosition + nCount;
  if (nEnd > m_nBufferSize) GrowFile(nEnd);
  if (m_nPosition > m_nFileSize) memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
  Memcpy(m_lpBuffer + m_nPosition, static_cast<const BYTE*>(lpBuf), nCount);
  m_nPosition = nEnd;
  if (m_nPosition > m_nFileSize) m_nFileSize = m_nPosition;
}

void CMemFile::Flush() {}

void CMemFile::Close() {
  if (m_lpBuffer != nullptr && m_bAutoDelete) Free(m_lpBuffer);
  m_lpBuffer = nullptr;
  m_nBufferSize = m_nFileSize = m_nPosition = 0;
}

void CMemFile::Abort() { Close(); }

CFile* CMemFile::Duplicate() const { AfxThrowNotSupportedException(); }
void CMemFile::LockRange(ULONGLONG, ULONGLONG) { AfxThrowNotSupportedException(); }
void CMemFile::UnlockRange(ULONGLONG, ULONGLONG) { AfxThrowNotSupportedException(); }

UINT CMemFile::GetBufferPtr(UINT nCommand, UINT nCount, void** ppBufStart, void** ppBufMax) {
  switch (nCommand) {
    case bufferCheck:
      return bufferDirect;
    case bufferCommit:  // the caller wrote nCount bytes at the position
      m_nPosition += nCount;
      if (m_nPosition > m_nFileSize) m_nFileSize = m_nPosition;
      return 0;
    case bufferWrite:
      GrowFile(m_nPosition + nCount);
      if (ppBufStart) *ppBufStart = m_lpBuffer + m_nPosition;
      if (ppBufMax) *ppBufMax = m_lpBuffer + m_nPosition + nCount;
      return nCount;
    case bufferRead: {
      SIZE_T nAvail = m_nPosition < m_nFileSize ? m_nFileSize - m_nPosition : 0;
      UINT nRead = static_cast<UINT>(std::min<SIZE_T>(nCount, nAvail));
      if (ppBufStart) *ppBufStart = m_lpBuffer + m_nPosition;
      if (ppBufMax) *ppBufMax = m_lpBuffer + m_nPosition + nRead;
      m_nPosition += nRead;
      return nRead;
    }
    default:
      AfxThrowInvalidArgException();
  }
}

// ---------------------------------------------------------------------------------------
CSharedFile::CSharedFile(UINT nAllocFlags, UINT nGrowBytes)
    : CMemFile(nGrowBytes),
      m_nAllocFlags(nAllocFlags),
      m_hGlobalMemory(nullptr),
      m_bAllowGrow(TRUE) {}

CSharedFile::~CSharedFile() {
  // Must release here: by the time CMemFile's destructor runs, Free is no longer ours.
  if (m_lpBuffer != nullptr) Close();
}

BYTE* CSharedFile::Alloc(SIZE_T nBytes) {
  HGLOBAL hMem = ::GlobalAlloc(m_nAllocFlags, nBytes);
  if (hMem == nullptr) return nullptr;
  m_hGlobalMemory = hMem;
  return static_cast<BYTE*>(::GlobalLock(hMem));
}

BYTE* CSharedFile::Realloc(BYTE*, SIZE_T nBytes) {
  ::GlobalUnlock(m_hGlobalMemory);
  HGLOBAL hNew = ::GlobalReAlloc(m_hGlobalMemory, nBytes, m_nAllocFlags);
  if (hNew == nullptr) {
    ::GlobalLock(m_hGlobalMemory);  // the old block stays valid
    return nullptr;
  }
  m_hGlobalMemory = hNew;
  return static_cast<BYTE*>(::GlobalLock(hNew));
}

void CSharedFile::Free(BYTE*) {
  if (m_hGlobalMemory == nullptr) return;
  ::GlobalUnlock(m_hGlobalMemory);
  ::GlobalFree(m_hGlobalMemory);
  m_hGlobalMemory = nullptr;
}

void CSharedFile::GrowFile(SIZE_T dwNewLen) {
  if (dwNewLen > m_nBufferSize && !m_bAllowGrow) AfxThrowMemoryException();
  CMemFile::GrowFile(dwNewLen);
}

HGLOBAL CSharedFile::Detach() {
  HGLOBAL hMem = m_hGlobalMemory;
  if (hMem != nullptr) ::GlobalUnlock(hMem);
  m_hGlobalMemory = nullptr;
  m_lpBuffer = nullptr;
  m_nBufferSize = m_nFileSize = m_nPosition = 0;
  return hMem;
}

void CSharedFile::SetHandle(HGLOBAL hGlobalMemory, BOOL bAllowGrow) {
  if (m_lpBuffer != nullptr || hGlobalMemory == nullptr) AfxThrowInvalidArgException();
  BYTE* lpData = static_cast<BYTE*>(::GlobalLock(hGlobalMemory));
  if (lpData == nullptr) AfxThrowMemoryException();
  m_hGlobalMemory = hGlobalMemory;
  m_lpBuffer = lpData;
  m_nBufferSize = m_nFileSize = ::GlobalSize(hGlobalMemory);
  m_nPosition = 0;
  m_bAllowGrow = bAllowGrow;
  m_bAutoDelete = TRUE;
}
