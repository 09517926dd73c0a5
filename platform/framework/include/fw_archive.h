// CArchive: the framework's binary serialization stream over a CFile.
//
// Byte layout (all little-endian):
//  - numbers: their fixed width (BYTE 1, WORD/short/wchar_t 2, int/LONG/DWORD/UINT/float 4,
//    double/LONGLONG/ULONGLONG 8); bool and char are one byte.
//  - counts (WriteCount): WORD; values >= 0xFFFF as WORD 0xFFFF + DWORD.
//  - strings: FF FE FF marks UTF-16 text, then the length in characters as BYTE when
//    < 0xFF, else FF + WORD when < 0xFFFE, else FF FFFF + DWORD; then the characters.
//    A length without the marker is ANSI text (read back through the ANSI code page).
//  - objects: WORD 0 for NULL; an object seen before as WORD index (or 7FFF + DWORD);
//    otherwise its class then its data. A class seen before is WORD 0x8000|index (or
//    7FFF + DWORD 0x80000000|index); a new class is FFFF, WORD schema, WORD name length,
//    ASCII name. Classes and objects share one index space that starts at 1.
#pragma once

#include <windows.h>

#include <memory>

#include "fw_except.h"
#include "fw_object.h"
#include "fw_string.h"
#include "fw_types.h"

class CFile;
class CDocument;

class CArchive {
 public:
  enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2, bNoByteSwap = 4 };

  CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = NULL);
  ~CArchive();
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  BOOL IsLoading() const { return (m_nMode & load) != 0; }
  BOOL IsStoring() const { return (m_nMode & load) == 0; }
  BOOL IsByteSwapping() const { return FALSE; }
  BOOL IsBufferEmpty() const { return m_nBufCur == m_nBufMax; }
  CFile* GetFile() const { return m_pFile; }

  // The schema of the object being loaded; reading it resets it to (UINT)-1.
  UINT GetObjectSchema();
  void SetObjectSchema(UINT nSchema) { m_nObjectSchema = nSchema; }

  // Raw data.
  UINT Read(void* lpBuf, UINT nMax);
  void Write(const void* lpBuf, UINT nMax);
  void Flush();  // store: writes the buffer out; load: puts unread bytes back into the file
  void Close();
  void Abort();  // closes without flushing; errors are ignored

  // Text lines of UTF-16 characters; WriteString adds no terminator.
  void WriteString(LPCWSTR lpsz);
  LPWSTR ReadString(LPWSTR lpsz, UINT nMax);
  BOOL ReadString(CString& rString);

  // Element counts.
  DWORD_PTR ReadCount();
  void WriteCount(DWORD_PTR dwCount);

  // Classes and objects.
  CRuntimeClass* ReadClass(const CRuntimeClass* pClassRefRequested = NULL, UINT* pSchema = NULL,
                           DWORD* pObTag = NULL);
  void WriteClass(const CRuntimeClass* pClassRef);
  void SerializeClass(const CRuntimeClass* pClassRef);
  CObject* ReadObject(const CRuntimeClass* pClassRefRequested);
  void WriteObject(const CObject* pOb);
  // Registers an object (e.g. the document) so that references to it go by index.
  void MapObject(const CObject* pOb);
  void SetStoreParams(UINT nHashSize = 2053, UINT nBlockSize = 128);
  void SetLoadParams(UINT nGrowBy = 1024);

  // Numbers.
  CArchive& operator<<(BYTE by);
  CArchive& operator<<(WORD w);
  CArchive& operator<<(LONG l);
  CArchive& operator<<(DWORD dw);
  CArchive& operator<<(float f);
  CArchive& operator<<(double d);
  CArchive& operator<<(LONGLONG dwdw);
  CArchive& operator<<(ULONGLONG dwdw);
  CArchive& operator<<(int i) { return *this << static_cast<LONG>(i); }
  CArchive& operator<<(UINT u) { return *this << static_cast<DWORD>(u); }
  CArchive& operator<<(short w) { return *this << static_cast<WORD>(w); }
  CArchive& operator<<(char ch) { return *this << static_cast<BYTE>(ch); }
  CArchive& operator<<(signed char ch) { return *this << static_cast<BYTE>(ch); }
  CArchive& operator<<(wchar_t ch) { return *this << static_cast<WORD>(ch); }
  CArchive& operator<<(bool b) { return *this << static_cast<BYTE>(b ? 1 : 0); }
  // Text pointers are stored as strings (wide with the Unicode marker, narrow without).
  CArchive& operator<<(LPCWSTR lpsz);
  CArchive& operator<<(LPCSTR lpsz);
  // Any other pointer would silently become a bool: only CObject pointers have a stored form.
  CArchive& operator<<(const void*) = delete;

  CArchive& operator>>(BYTE& by);
  CArchive& operator>>(WORD& w);
  CArchive& operator>>(LONG& l);
  CArchive& operator>>(DWORD& dw);
  CArchive& operator>>(float& f);
  CArchive& operator>>(double& d);
  CArchive& operator>>(LONGLONG& dwdw);
  CArchive& operator>>(ULONGLONG& dwdw);
  CArchive& operator>>(int& i);
  CArchive& operator>>(UINT& u);
  CArchive& operator>>(short& w);
  CArchive& operator>>(char& ch);
  CArchive& operator>>(signed char& ch);
  CArchive& operator>>(wchar_t& ch);
  CArchive& operator>>(bool& b);

  // Objects (operator>> for a SERIAL class's own pointer type comes with IMPLEMENT_SERIAL).
  friend CArchive& AFXAPI operator<<(CArchive& ar, const CObject* pOb);
  friend CArchive& AFXAPI operator>>(CArchive& ar, CObject*& pOb);
  friend CArchive& AFXAPI operator>>(CArchive& ar, const CObject*& pOb);

  CDocument* m_pDocument;  // the document being serialized, for objects that need it
  UINT m_nObjectSchema;
  CString m_strFileName;

 private:
  void CheckStoring() const;
  void CheckLoading() const;
  [[noreturn]] void Throw(int cause) const;
  void WriteMapIndex(DWORD nIndex, bool bClass);
  DWORD NextMapIndex();

  struct Maps;  // object and class maps: store pointer -> index, load index -> entry
  CFile* m_pFile;
  UINT m_nMode;
  BOOL m_bUserBuf;
  UINT m_nBufSize;
  BYTE* m_lpBufStart;
  UINT m_nBufCur;  // next byte to read or write
  UINT m_nBufMax;  // load: end of valid data; store: 0
  std::unique_ptr<Maps> m_pMaps;
};

CArchive& AFXAPI operator<<(CArchive& ar, const CString& str);
CArchive& AFXAPI operator>>(CArchive& ar, CString& str);
CArchive& AFXAPI operator<<(CArchive& ar, SIZE size);
CArchive& AFXAPI operator<<(CArchive& ar, POINT point);
CArchive& AFXAPI operator<<(CArchive& ar, const RECT& rect);
CArchive& AFXAPI operator>>(CArchive& ar, SIZE& size);
CArchive& AFXAPI operator>>(CArchive& ar, POINT& point);
CArchive& AFXAPI operator>>(CArchive& ar, RECT& rect);
CArchive& AFXAPI operator<<(CArchive& ar, CTime time);  // 8-byte seconds since 1970
CArchive& AFXAPI operator>>(CArchive& ar, CTime& rtime);
CArchive& AFXAPI operator<<(CArchive& ar, CTimeSpan span);
CArchive& AFXAPI operator>>(CArchive& ar, CTimeSpan& rspan);

// String length prefixes, exposed for classes that store text of their own.
void AFXAPI AfxWriteStringLength(CArchive& ar, UINT_PTR nLength, BOOL bUnicode);
UINT_PTR AFXAPI AfxReadStringLength(CArchive& ar, BOOL& bUnicode);
