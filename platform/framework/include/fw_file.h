// Files: CFile over a Win32 handle, CStdioFile for text lines, CMemFile over a growable
// memory block and CSharedFile over a movable global handle (clipboard, drag and drop).
// Every failure throws a CFileException with the cause, the OS error and the file name.
#pragma once

#include <windows.h>

#include <cstdio>

#include "fw_except.h"
#include "fw_object.h"
#include "fw_string.h"
#include "fw_types.h"

struct CFileStatus {
  CTime m_ctime;     // creation
  CTime m_mtime;     // last write
  CTime m_atime;     // last access
  ULONGLONG m_size;  // bytes
  BYTE m_attribute;  // CFile::Attribute bits
  BYTE _m_padding;
  WCHAR m_szFullName[MAX_PATH];
};

class CFile : public CObject {
  DECLARE_DYNAMIC(CFile)
 public:
  enum OpenFlags {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareCompat = 0x0000,
    shareExclusive = 0x0010,
    shareDenyWrite = 0x0020,
    shareDenyRead = 0x0030,
    shareDenyNone = 0x0040,
    modeNoInherit = 0x0080,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,    // CStdioFile only
    typeBinary = 0x8000,  // CStdioFile only
    osNoBuffer = 0x10000,
    osWriteThrough = 0x20000,
    osRandomAccess = 0x40000,
    osSequentialScan = 0x80000,
  };
  enum Attribute {
    normal = 0x00,
    readOnly = 0x01,
    hidden = 0x02,
    system = 0x04,
    volume = 0x08,
    directory = 0x10,
    archive = 0x20
  };
  enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };

  static const HANDLE hFileNull;

  CFile();
  explicit CFile(HANDLE hFile);                  // wraps an open handle; not closed on destruction
  CFile(LPCWSTR lpszFileName, UINT nOpenFlags);  // throws CFileException
  ~CFile() override;

  HANDLE m_hFile;
  operator HANDLE() const { return m_hFile; }

  // Opening. Open returns FALSE and fills *pError (when given) instead of throwing.
  virtual BOOL Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError = NULL);
  virtual CFile* Duplicate() const;
  virtual void Close();
  virtual void Abort();  // closes, ignoring errors

  // Data.
  virtual UINT Read(void* lpBuf, UINT nCount);
  virtual void Write(const void* lpBuf, UINT nCount);
  virtual void Flush();

  // Position and size.
  virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
  void SeekToBegin() { Seek(0, begin); }
  ULONGLONG SeekToEnd() { return Seek(0, end); }
  virtual ULONGLONG GetPosition() const;
  virtual ULONGLONG GetLength() const;
  virtual void SetLength(ULONGLONG dwNewLen);
  virtual void LockRange(ULONGLONG dwPos, ULONGLONG dwCount);
  virtual void UnlockRange(ULONGLONG dwPos, ULONGLONG dwCount);

  // Names.
  virtual CString GetFileName() const;
  virtual CString GetFileTitle() const;
  virtual CString GetFilePath() const;
  virtual void SetFilePath(LPCWSTR lpszNewName);

  // Status and whole-file operations.
  BOOL GetStatus(CFileStatus& rStatus) const;
  static BOOL PASCAL GetStatus(LPCWSTR lpszFileName, CFileStatus& rStatus);
  static void PASCAL SetStatus(LPCWSTR lpszFileName, const CFileStatus& status);
  static void PASCAL Rename(LPCWSTR lpszOldName, LPCWSTR lpszNewName);
  static void PASCAL Remove(LPCWSTR lpszFileName);

  // Direct buffer access (only memory files have a buffer).
  enum BufferCommand { bufferRead, bufferWrite, bufferCommit, bufferCheck };
  enum BufferFlags { bufferDirect = 0x01, bufferBlocking = 0x02 };
  virtual UINT GetBufferPtr(UINT nCommand, UINT nCount = 0, void** ppBufStart = NULL,
                            void** ppBufMax = NULL);

  BOOL m_bCloseOnDelete;
  CString m_strFileName;

 protected:
  [[noreturn]] void ThrowLastError() const;
};

class CStdioFile : public CFile {
  DECLARE_DYNAMIC(CStdioFile)
 public:
  CStdioFile();
  explicit CStdioFile(FILE* pOpenStream);  // wraps a binary stream; not closed on destruction
  CStdioFile(LPCWSTR lpszFileName, UINT nOpenFlags);
  ~CStdioFile() override;

  FILE* m_pStream;

  // Text mode (the default unless typeBinary is given): lines are stored in the ANSI code
  // page and end in CR LF on disk, '\n' in memory. Binary mode stores raw UTF-16 units.
  BOOL Open(LPCWSTR lpszFileName, UINT nOpenFlags, CFileException* pError = NULL) override;
  virtual void WriteString(LPCWSTR lpsz);
  // Reads up to nMax-1 characters, up to and including the newline.
  virtual LPWSTR ReadString(LPWSTR lpsz, UINT nMax);
  // Reads one line without its terminator; FALSE at end of file.
  virtual BOOL ReadString(CString& rString);

  UINT Read(void* lpBuf, UINT nCount) override;
  void Write(const void* lpBuf, UINT nCount) override;
  ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
  ULONGLONG GetPosition() const override;
  ULONGLONG GetLength() const override;
  void Flush() override;
  void Close() override;
  void Abort() override;
  CFile* Duplicate() const override;
  void LockRange(ULONGLONG dwPos, ULONGLONG dwCount) override;
  void UnlockRange(ULONGLONG dwPos, ULONGLONG dwCount) override;

 private:
  BOOL ReadChar(WCHAR& ch);  // one character, CR LF read as '\n' in text mode
  void CheckStream() const;
  BOOL m_bText = TRUE;
};

class CMemFile : public CFile {
  DECLARE_DYNAMIC(CMemFile)
 public:
  // A file that grows in steps of nGrowBytes.
  explicit CMemFile(UINT nGrowBytes = 1024);
  // A file over a caller's buffer; nGrowBytes 0 means it cannot grow past nBufferSize.
  // A growable buffer must come from malloc: growing reallocates it, and the file then
  // owns the new block (Detach hands it back).
  CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
  ~CMemFile() override;

  void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
  // Hands the buffer to the caller (who frees it with free()) and empties the file.
  BYTE* Detach();

  ULONGLONG GetLength() const override;
  ULONGLONG GetPosition() const override;
  ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
  void SetLength(ULONGLONG dwNewLen) override;
  UINT Read(void* lpBuf, UINT nCount) override;
  void Write(const void* lpBuf, UINT nCount) override;
  void Abort() override;
  void Flush() override;
  void Close() override;
  CFile* Duplicate() const override;
  void LockRange(ULONGLONG dwPos, ULONGLONG dwCount) override;
  void UnlockRange(ULONGLONG dwPos, ULONGLONG dwCount) override;
  UINT GetBufferPtr(UINT nCommand, UINT nCount = 0, void** ppBufStart = NULL,
                    void** ppBufMax = NULL) override;
  CString GetFilePath() const override { return CString(); }

 protected:
  // Memory management hooks (CSharedFile puts the data in a global handle).
  virtual BYTE* Alloc(SIZE_T nBytes);
  virtual BYTE* Realloc(BYTE* lpMem, SIZE_T nBytes);
  virtual BYTE* Memcpy(BYTE* lpMemTarget, const BYTE* lpMemSource, SIZE_T nBytes);
  virtual void Free(BYTE* lpMem);
  virtual void GrowFile(SIZE_T dwNewLen);

  UINT m_nGrowBytes;
  SIZE_T m_nPosition;
  SIZE_T m_nBufferSize;
  SIZE_T m_nFileSize;
  BYTE* m_lpBuffer;
  BOOL m_bAutoDelete;  // the buffer is ours to free
};

class CSharedFile : public CMemFile {
  DECLARE_DYNAMIC(CSharedFile)
 public:
  explicit CSharedFile(UINT nAllocFlags = GMEM_DDESHARE | GMEM_MOVEABLE, UINT nGrowBytes = 4096);
  ~CSharedFile() override;

  // Hands the global handle (unlocked) to the caller and empties the file.
  HGLOBAL Detach();
  // Works on an existing global block; its size is the file's length. The file owns the
  // block until Detach (a clipboard handle must be detached before the file goes away).
  void SetHandle(HGLOBAL hGlobalMemory, BOOL bAllowGrow = TRUE);

 protected:
  BYTE* Alloc(SIZE_T nBytes) override;
  BYTE* Realloc(BYTE* lpMem, SIZE_T nBytes) override;
  void Free(BYTE* lpMem) override;
  void GrowFile(SIZE_T dwNewLen) override;

  UINT m_nAllocFlags;
  HGLOBAL m_hGlobalMemory;
  BOOL m_bAllowGrow;
};
