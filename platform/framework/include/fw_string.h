// CString: a counted wide-character string with value semantics.
//
// The text lives in a std::wstring; operator LPCTSTR / GetString() hand out its
// NUL-terminated buffer. Note for variadic calls (Format, printf-style APIs): a CString
// cannot travel through "..." by value on this compiler (it would arrive as the address of
// a copy, and %s would print garbage); pass s.GetString() or (LPCTSTR)s. Including this
// header turns such calls into compile errors.
#pragma once

#if defined(__GNUC__)
#pragma GCC diagnostic error "-Wconditionally-supported"
#endif

#include <oleauto.h>
#include <windows.h>

#include <cstdarg>
#include <string>

#include "fw_object.h"

class CString {
 public:
  using XCHAR = wchar_t;
  using PXSTR = LPWSTR;
  using PCXSTR = LPCWSTR;

  CString() = default;
  CString(const CString&) = default;
  CString(CString&&) noexcept = default;
  CString(WCHAR ch, int nRepeat = 1);
  // A pointer whose high bits are zero is a string resource id (MAKEINTRESOURCE).
  CString(LPCWSTR lpsz);
  CString(LPCWSTR lpch, int nLength);
  CString(LPCSTR lpsz);  // ANSI code page
  CString(LPCSTR lpch, int nLength);
  CString(const unsigned char* lpsz);
  explicit CString(const std::wstring& s) : m_str(s) {}

  CString& operator=(const CString&) = default;
  CString& operator=(CString&&) noexcept = default;
  CString& operator=(LPCWSTR lpsz);
  CString& operator=(LPCSTR lpsz);
  CString& operator=(WCHAR ch);
  CString& operator=(const unsigned char* lpsz);

  // Size and access.
  int GetLength() const { return static_cast<int>(m_str.size()); }
  BOOL IsEmpty() const { return m_str.empty(); }
  void Empty();
  WCHAR GetAt(int nIndex) const;
  void SetAt(int nIndex, WCHAR ch);
  WCHAR operator[](int nIndex) const { return GetAt(nIndex); }
  operator LPCWSTR() const { return m_str.c_str(); }
  LPCWSTR GetString() const { return m_str.c_str(); }
  const std::wstring& str() const { return m_str; }

  // Concatenation.
  CString& operator+=(const CString& str);
  CString& operator+=(LPCWSTR lpsz);
  CString& operator+=(LPCSTR lpsz);
  CString& operator+=(WCHAR ch);
  CString& operator+=(char ch);
  void Append(LPCWSTR lpsz, int nLength);
  void Append(const CString& str) { *this += str; }
  void AppendChar(WCHAR ch) { *this += ch; }
  friend CString operator+(const CString& a, const CString& b);
  friend CString operator+(const CString& a, LPCWSTR b);
  friend CString operator+(LPCWSTR a, const CString& b);
  friend CString operator+(const CString& a, WCHAR b);
  friend CString operator+(WCHAR a, const CString& b);
  friend CString operator+(const CString& a, LPCSTR b);
  friend CString operator+(LPCSTR a, const CString& b);

  // Comparison: Compare is ordinal, CompareNoCase folds case, Collate uses the locale.
  int Compare(LPCWSTR lpsz) const;
  int CompareNoCase(LPCWSTR lpsz) const;
  int Collate(LPCWSTR lpsz) const;
  int CollateNoCase(LPCWSTR lpsz) const;

  // Extraction.
  CString Mid(int nFirst) const;
  CString Mid(int nFirst, int nCount) const;
  CString Left(int nCount) const;
  CString Right(int nCount) const;
  CString SpanIncluding(LPCWSTR lpszCharSet) const;
  CString SpanExcluding(LPCWSTR lpszCharSet) const;
  CString Tokenize(LPCWSTR pszTokens, int& iStart) const;

  // In-place changes.
  // Case mapping covers all of Unicode, not only ASCII.
  CString& MakeUpper();
  CString& MakeLower();
  CString& MakeReverse();
  int Replace(WCHAR chOld, WCHAR chNew);
  int Replace(LPCWSTR lpszOld, LPCWSTR lpszNew);
  int Remove(WCHAR chRemove);
  int Insert(int nIndex, WCHAR ch);
  int Insert(int nIndex, LPCWSTR pstr);
  int Delete(int nIndex, int nCount = 1);
  CString& Trim();
  CString& Trim(WCHAR chTarget);
  CString& Trim(LPCWSTR lpszTargets);
  CString& TrimLeft();
  CString& TrimLeft(WCHAR chTarget);
  CString& TrimLeft(LPCWSTR lpszTargets);
  CString& TrimRight();
  CString& TrimRight(WCHAR chTarget);
  CString& TrimRight(LPCWSTR lpszTargets);

  // Searching; all return -1 when nothing matches.
  int Find(WCHAR ch) const;
  int Find(WCHAR ch, int nStart) const;
  int Find(LPCWSTR lpszSub) const;
  int Find(LPCWSTR lpszSub, int nStart) const;
  int ReverseFind(WCHAR ch) const;
  int FindOneOf(LPCWSTR lpszCharSet) const;

  // Formatting with the C runtime's wide printf: %s is a wide string, %S a narrow one.
  void AFX_CDECL Format(LPCWSTR lpszFormat, ...);
  void AFX_CDECL Format(UINT nFormatID, ...);
  void FormatV(LPCWSTR lpszFormat, va_list argList);
  void AFX_CDECL AppendFormat(LPCWSTR lpszFormat, ...);
  void AppendFormatV(LPCWSTR lpszFormat, va_list argList);
  // %1, %2 ... inserts, as ::FormatMessage does.
  void AFX_CDECL FormatMessage(LPCWSTR lpszFormat, ...);
  void AFX_CDECL FormatMessage(UINT nFormatID, ...);

  // Loads a string resource from AfxGetResourceHandle(); FALSE (and empty) when absent.
  BOOL LoadString(UINT nID);
  BOOL LoadString(HINSTANCE hInstance, UINT nID);

  // BSTR conversions.
  BSTR AllocSysString() const;
  BSTR SetSysString(BSTR* pbstr) const;

  // Direct buffer access: write at most nMinBufLength characters, then ReleaseBuffer.
  LPWSTR GetBuffer(int nMinBufLength);
  LPWSTR GetBuffer() { return GetBuffer(0); }
  void ReleaseBuffer(int nNewLength = -1);
  LPWSTR GetBufferSetLength(int nNewLength);
  void FreeExtra();
  LPWSTR LockBuffer();
  void UnlockBuffer();
  int GetAllocLength() const { return static_cast<int>(m_str.capacity()); }
  void Preallocate(int nLength);
  void Truncate(int nNewLength);

 private:
  void FormatMessageV(LPCWSTR lpszFormat, va_list* pArgList);
  std::wstring m_str;
};

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, LPCWSTR b);
bool operator==(LPCWSTR a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, LPCWSTR b);
bool operator!=(LPCWSTR a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator<(const CString& a, LPCWSTR b);
bool operator<(LPCWSTR a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator>(const CString& a, LPCWSTR b);
bool operator>(LPCWSTR a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator<=(const CString& a, LPCWSTR b);
bool operator<=(LPCWSTR a, const CString& b);
bool operator>=(const CString& a, const CString& b);
bool operator>=(const CString& a, LPCWSTR b);
bool operator>=(LPCWSTR a, const CString& b);

// Copies field iSubString (0-based) of lpszFullString, fields separated by chSep.
// FALSE when there are fewer fields (rString is then empty).
BOOL AFXAPI AfxExtractSubString(CString& rString, LPCWSTR lpszFullString, int iSubString,
                                WCHAR chSep = L'\n');

// Narrow text helper: a byte string in the ANSI code page, for APIs and files that need it.
class CStringA {
 public:
  CStringA() = default;
  CStringA(LPCSTR lpsz) : m_str(lpsz ? lpsz : "") {}
  CStringA(LPCSTR lpch, int nLength) : m_str(lpch ? lpch : "", lpch ? nLength : 0) {}
  CStringA(LPCWSTR lpsz);  // converted through the ANSI code page
  CStringA(const CString& str) : CStringA(str.GetString()) {}
  int GetLength() const { return static_cast<int>(m_str.size()); }
  BOOL IsEmpty() const { return m_str.empty(); }
  operator LPCSTR() const { return m_str.c_str(); }
  LPCSTR GetString() const { return m_str.c_str(); }
  bool operator==(const CStringA& o) const { return m_str == o.m_str; }
  bool operator!=(const CStringA& o) const { return m_str != o.m_str; }

 private:
  std::string m_str;
};
