// CString over std::wstring.
#include <algorithm>
#include <cwchar>
#include <cwctype>

#include "framework.h"

namespace {

std::wstring FromAnsi(LPCSTR lpch, int nLength) {
  if (lpch == nullptr || nLength <= 0) return std::wstring();
  int n = ::MultiByteToWideChar(CP_ACP, 0, lpch, nLength, nullptr, 0);
  std::wstring s(n, L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, lpch, nLength, &s[0], n);
  return s;
}

inline LPCWSTR Safe(LPCWSTR lpsz) { return lpsz ? lpsz : L""; }

int Clamp(int n, int lo, int hi) { return std::max(lo, std::min(n, hi)); }

bool InSet(LPCWSTR lpszSet, WCHAR ch) { return ch != 0 && wcschr(lpszSet, ch) != nullptr; }

// Formats with the C runtime's wide printf: its %s takes a wide string and %S a narrow one,
// which is what format strings written for this framework expect.
std::wstring FormatWithRuntime(LPCWSTR lpszFormat, va_list argList) {
  if (lpszFormat == nullptr) AfxThrowInvalidArgException();
  va_list args;
  va_copy(args, argList);
  int n = _vscwprintf(lpszFormat, args);
  va_end(args);
  if (n < 0) AfxThrowInvalidArgException();
  std::wstring result(n, L'\0');
  va_copy(args, argList);
  _vsnwprintf(&result[0], static_cast<size_t>(n) + 1, lpszFormat, args);
  va_end(args);
  return result;
}

}  // namespace

// ---------------------------------------------------------------------------------------
CString::CString(WCHAR ch, int nRepeat) : m_str(nRepeat > 0 ? nRepeat : 0, ch) {}

CString::CString(LPCWSTR lpsz) {
  if (lpsz != nullptr && IS_INTRESOURCE(lpsz))
    LoadString(static_cast<UINT>(reinterpret_cast<UINT_PTR>(lpsz)));
  else if (lpsz != nullptr)
    m_str = lpsz;
}

CString::CString(LPCWSTR lpch, int nLength) {
  if (lpch != nullptr && nLength > 0) m_str.assign(lpch, nLength);
}

CString::CString(LPCSTR lpsz)
    : m_str(lpsz ? FromAnsi(lpsz, static_cast<int>(strlen(lpsz))) : L"") {}
CString::CString(LPCSTR lpch, int nLength) : m_str(FromAnsi(lpch, nLength)) {}
CString::CString(const unsigned char* lpsz) : CString(reinterpret_cast<LPCSTR>(lpsz)) {}

CString& CString::operator=(LPCWSTR lpsz) {
  m_str = Safe(lpsz);  // std::wstring copes with lpsz pointing into m_str itself
  return *this;
}
CString& CString::operator=(LPCSTR lpsz) { return *this = CString(lpsz); }
CString& CString::operator=(WCHAR ch) {
  m_str.assign(1, ch);
  return *this;
}
CString& CString::operator=(const unsigned char* lpsz) { return *this = CString(lpsz); }

void CString::Empty() { m_str.clear(); }

WCHAR CString::GetAt(int nIndex) const {
  // Index GetLength() reads the terminating NUL, which callers scanning to the end rely on.
  if (nIndex < 0 || nIndex > GetLength()) AfxThrowInvalidArgException();
  return m_str.c_str()[nIndex];
}

void CString::SetAt(int nIndex, WCHAR ch) {
  if (nIndex < 0 || nIndex >= GetLength()) AfxThrowInvalidArgException();
  m_str[nIndex] = ch;
}

// ---------------------------------------------------------------------------------------
CString& CString::operator+=(const CString& str) {
  m_str += str.m_str;
  return *this;
}
CString& CString::operator+=(LPCWSTR lpsz) {
  m_str += Safe(lpsz);
  return *this;
}
CString& CString::operator+=(LPCSTR lpsz) { return *this += CString(lpsz); }
CString& CString::operator+=(WCHAR ch) {
  m_str += ch;
  return *this;
}
CString& CString::operator+=(char ch) { return *this += CString(&ch, 1); }

void CString::Append(LPCWSTR lpsz, int nLength) {
  if (lpsz != nullptr && nLength > 0) m_str.append(lpsz, nLength);
}

CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
CString operator+(const CString& a, LPCWSTR b) { return CString(a.m_str + Safe(b)); }
CString operator+(LPCWSTR a, const CString& b) { return CString(Safe(a) + b.m_str); }
CString operator+(const CString& a, WCHAR b) { return CString(a.m_str + b); }
CString operator+(WCHAR a, const CString& b) { return CString(a + b.m_str); }
CString operator+(const CString& a, LPCSTR b) { return a + CString(b); }
CString operator+(LPCSTR a, const CString& b) { return CString(a) + b; }

// ---------------------------------------------------------------------------------------
int CString::Compare(LPCWSTR lpsz) const { return wcscmp(m_str.c_str(), Safe(lpsz)); }
int CString::CompareNoCase(LPCWSTR lpsz) const { return _wcsicmp(m_str.c_str(), Safe(lpsz)); }
int CString::Collate(LPCWSTR lpsz) const { return wcscoll(m_str.c_str(), Safe(lpsz)); }
int CString::CollateNoCase(LPCWSTR lpsz) const { return _wcsicoll(m_str.c_str(), Safe(lpsz)); }

bool operator==(const CString& a, const CString& b) { return a.str() == b.str(); }
bool operator==(const CString& a, LPCWSTR b) { return a.Compare(b) == 0; }
bool operator==(LPCWSTR a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return !(a == b); }
bool operator!=(const CString& a, LPCWSTR b) { return !(a == b); }
bool operator!=(LPCWSTR a, const CString& b) { return !(a == b); }
bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
bool operator<(const CString& a, LPCWSTR b) { return a.Compare(b) < 0; }
bool operator<(LPCWSTR a, const CString& b) { return b.Compare(a) > 0; }
bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
bool operator>(const CString& a, LPCWSTR b) { return a.Compare(b) > 0; }
bool operator>(LPCWSTR a, const CString& b) { return b.Compare(a) < 0; }
bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
bool operator<=(const CString& a, LPCWSTR b) { return a.Compare(b) <= 0; }
bool operator<=(LPCWSTR a, const CString& b) { return b.Compare(a) >= 0; }
bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
bool operator>=(const CString& a, LPCWSTR b) { return a.Compare(b) >= 0; }
bool operator>=(LPCWSTR a, const CString& b) { return b.Compare(a) <= 0; }

// ---------------------------------------------------------------------------------------
// Out-of-range arguments are clamped rather than rejected, as callers of these expect.
CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength()); }

CString CString::Mid(int nFirst, int nCount) const {
  nFirst = Clamp(nFirst, 0, GetLength());
  nCount = Clamp(nCount, 0, GetLength() - nFirst);
  return CString(m_str.substr(nFirst, nCount));
}

CString CString::Left(int nCount) const { return Mid(0, nCount); }

CString CString::Right(int nCount) const {
  nCount = Clamp(nCount, 0, GetLength());
  return Mid(GetLength() - nCount, nCount);
}

CString CString::SpanIncluding(LPCWSTR lpszCharSet) const {
  return Left(static_cast<int>(wcsspn(m_str.c_str(), Safe(lpszCharSet))));
}

CString CString::SpanExcluding(LPCWSTR lpszCharSet) const {
  return Left(static_cast<int>(wcscspn(m_str.c_str(), Safe(lpszCharSet))));
}

CString CString::Tokenize(LPCWSTR pszTokens, int& iStart) const {
  if (iStart < 0) AfxThrowInvalidArgException();
  if (pszTokens == nullptr || *pszTokens == 0) {
    // No delimiters: the rest of the string is one token.
    if (iStart < GetLength()) {
      CString rest = Mid(iStart);
      iStart = GetLength();
      return rest;
    }
  } else if (iStart < GetLength()) {
    int iFrom = iStart + static_cast<int>(wcsspn(m_str.c_str() + iStart, pszTokens));
    if (iFrom < GetLength()) {
      int nLength = static_cast<int>(wcscspn(m_str.c_str() + iFrom, pszTokens));
      iStart = iFrom + nLength + 1;
      return Mid(iFrom, nLength);
    }
  }
  iStart = -1;
  return CString();
}

// ---------------------------------------------------------------------------------------
CString& CString::MakeUpper() {
  if (!m_str.empty()) ::CharUpperBuffW(&m_str[0], static_cast<DWORD>(m_str.size()));
  return *this;
}

CString& CString::MakeLower() {
  if (!m_str.empty()) ::CharLowerBuffW(&m_str[0], static_cast<DWORD>(m_str.size()));
  return *this;
}

CString& CString::MakeReverse() {
  std::reverse(m_str.begin(), m_str.end());
  return *this;
}

int CString::Replace(WCHAR chOld, WCHAR chNew) {
  if (chOld == chNew) return 0;
  int nCount = 0;
  for (WCHAR& ch : m_str) {
    if (ch == chOld) {
      ch = chNew;
      nCount++;
    }
  }
  return nCount;
}

int CString::Replace(LPCWSTR lpszOld, LPCWSTR lpszNew) {
  if (lpszOld == nullptr || *lpszOld == 0) return 0;
  const std::wstring oldText(lpszOld), newText(Safe(lpszNew));
  std::wstring result;
  int nCount = 0;
  size_t from = 0;
  for (size_t hit; (hit = m_str.find(oldText, from)) != std::wstring::npos;
       from = hit + oldText.size()) {
    result.append(m_str, from, hit - from).append(newText);
    nCount++;
  }
  if (nCount > 0) m_str = result.append(m_str, from, std::wstring::npos);
  return nCount;
}

int CString::Remove(WCHAR chRemove) {
  size_t nOld = m_str.size();
  m_str.erase(std::remove(m_str.begin(), m_str.end(), chRemove), m_str.end());
  return static_cast<int>(nOld - m_str.size());
}

int CString::Insert(int nIndex, WCHAR ch) {
  m_str.insert(Clamp(nIndex, 0, GetLength()), 1, ch);
  return GetLength();
}

int CString::Insert(int nIndex, LPCWSTR pstr) {
  std::wstring text(Safe(pstr));  // pstr may point into this string
  m_str.insert(Clamp(nIndex, 0, GetLength()), text);
  return GetLength();
}

int CString::Delete(int nIndex, int nCount) {
  nIndex = Clamp(nIndex, 0, GetLength());
  nCount = Clamp(nCount, 0, GetLength() - nIndex);
  m_str.erase(nIndex, nCount);
  return GetLength();
}

// ---------------------------------------------------------------------------------------
namespace {

template <class Pred>
void TrimLeftWhile(std::wstring& s, Pred pred) {
  size_t n = 0;
  while (n < s.size() && pred(s[n])) n++;
  s.erase(0, n);
}

template <class Pred>
void TrimRightWhile(std::wstring& s, Pred pred) {
  size_t n = s.size();
  while (n > 0 && pred(s[n - 1])) n--;
  s.erase(n);
}

bool IsSpace(WCHAR ch) { return iswspace(ch) != 0; }

}  // namespace

CString& CString::TrimLeft() {
  TrimLeftWhile(m_str, IsSpace);
  return *this;
}
CString& CString::TrimLeft(WCHAR chTarget) {
  TrimLeftWhile(m_str, [chTarget](WCHAR ch) { return ch == chTarget; });
  return *this;
}
CString& CString::TrimLeft(LPCWSTR lpszTargets) {
  TrimLeftWhile(m_str, [lpszTargets](WCHAR ch) { return InSet(Safe(lpszTargets), ch); });
  return *this;
}
CString& CString::TrimRight() {
  TrimRightWhile(m_str, IsSpace);
  return *this;
}
CString& CString::TrimRight(WCHAR chTarget) {
  TrimRightWhile(m_str, [chTarget](WCHAR ch) { return ch == chTarget; });
  return *this;
}
CString& CString::TrimRight(LPCWSTR lpszTargets) {
  TrimRightWhile(m_str, [lpszTargets](WCHAR ch) { return InSet(Safe(lpszTargets), ch); });
  return *this;
}
CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(WCHAR chTarget) { return TrimRight(chTarget).TrimLeft(chTarget); }
CString& CString::Trim(LPCWSTR lpszTargets) { return TrimRight(lpszTargets).TrimLeft(lpszTargets); }

// ---------------------------------------------------------------------------------------
int CString::Find(WCHAR ch) const { return Find(ch, 0); }

int CString::Find(WCHAR ch, int nStart) const {
  if (nStart < 0) nStart = 0;
  if (nStart >= GetLength()) return -1;
  size_t hit = m_str.find(ch, nStart);
  return hit == std::wstring::npos ? -1 : static_cast<int>(hit);
}

int CString::Find(LPCWSTR lpszSub) const { return Find(lpszSub, 0); }

int CString::Find(LPCWSTR lpszSub, int nStart) const {
  if (lpszSub == nullptr) return -1;
  if (nStart < 0) nStart = 0;
  if (nStart > GetLength()) return -1;
  size_t hit = m_str.find(lpszSub, nStart);
  return hit == std::wstring::npos ? -1 : static_cast<int>(hit);
}

int CString::ReverseFind(WCHAR ch) const {
  size_t hit = m_str.rfind(ch);
  return hit == std::wstring::npos ? -1 : static_cast<int>(hit);
}

int CString::FindOneOf(LPCWSTR lpszCharSet) const {
  if (lpszCharSet == nullptr || *lpszCharSet == 0) return -1;
  size_t hit = m_str.find_first_of(lpszCharSet);
  return hit == std::wstring::npos ? -1 : static_cast<int>(hit);
}

// ---------------------------------------------------------------------------------------
void CString::FormatV(LPCWSTR lpszFormat, va_list argList) {
  m_str = FormatWithRuntime(lpszFormat, argList);
}

void CString::AppendFormatV(LPCWSTR lpszFormat, va_list argList) {
  m_str += FormatWithRuntime(lpszFormat, argList);
}

void AFX_CDECL CString::Format(LPCWSTR lpszFormat, ...) {
  va_list args;
  va_start(args, lpszFormat);
  FormatV(lpszFormat, args);
  va_end(args);
}

void AFX_CDECL CString::Format(UINT nFormatID, ...) {
  CString strFormat;
  if (!strFormat.LoadString(nFormatID)) AfxThrowResourceException();
  va_list args;
  va_start(args, nFormatID);
  FormatV(strFormat, args);
  va_end(args);
}

void AFX_CDECL CString::AppendFormat(LPCWSTR lpszFormat, ...) {
  va_list args;
  va_start(args, lpszFormat);
  AppendFormatV(lpszFormat, args);
  va_end(args);
}

void CString::FormatMessageV(LPCWSTR lpszFormat, va_list* pArgList) {
  LPWSTR lpszBuffer = nullptr;
  DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                             lpszFormat, 0, 0, reinterpret_cast<LPWSTR>(&lpszBuffer), 0, pArgList);
  if (n == 0 || lpszBuffer == nullptr) AfxThrowInvalidArgException();
  m_str.assign(lpszBuffer, n);
  ::LocalFree(lpszBuffer);
}

void AFX_CDECL CString::FormatMessage(LPCWSTR lpszFormat, ...) {
  if (lpszFormat == nullptr) AfxThrowInvalidArgException();
  va_list args;
  va_start(args, lpszFormat);
  FormatMessageV(lpszFormat, &args);
  va_end(args);
}

void AFX_CDECL CString::FormatMessage(UINT nFormatID, ...) {
  CString strFormat;
  if (!strFormat.LoadString(nFormatID)) AfxThrowResourceException();
  va_list args;
  va_start(args, nFormatID);
  FormatMessageV(strFormat, &args);
  va_end(args);
}

// ---------------------------------------------------------------------------------------
BOOL CString::LoadString(UINT nID) { return LoadString(AfxGetResourceHandle(), nID); }

BOOL CString::LoadString(HINSTANCE hInstance, UINT nID) {
  // With a zero buffer size the API hands out a read-only pointer to the resource text,
  // which is not NUL-terminated, and its length.
  LPCWSTR lpszResource = nullptr;
  int n = ::LoadStringW(hInstance, nID, reinterpret_cast<LPWSTR>(&lpszResource), 0);
  if (n <= 0 || lpszResource == nullptr) {
    m_str.clear();
    return FALSE;
  }
  m_str.assign(lpszResource, n);
  return TRUE;
}

BSTR CString::AllocSysString() const {
  BSTR bstr = ::SysAllocStringLen(m_str.c_str(), static_cast<UINT>(m_str.size()));
  if (bstr == nullptr) AfxThrowMemoryException();
  return bstr;
}

BSTR CString::SetSysString(BSTR* pbstr) const {
  if (pbstr == nullptr) AfxThrowInvalidArgException();
  if (!::SysReAllocStringLen(pbstr, m_str.c_str(), static_cast<UINT>(m_str.size())))
    AfxThrowMemoryException();
  return *pbstr;
}

// ---------------------------------------------------------------------------------------
LPWSTR CString::GetBuffer(int nMinBufLength) {
  if (nMinBufLength > GetLength()) m_str.resize(nMinBufLength);
  return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength) {
  if (nNewLength < 0) nNewLength = static_cast<int>(wcslen(m_str.c_str()));
  m_str.resize(Clamp(nNewLength, 0, GetLength()));
}

LPWSTR CString::GetBufferSetLength(int nNewLength) {
  if (nNewLength < 0) AfxThrowInvalidArgException();
  m_str.resize(nNewLength);
  return &m_str[0];
}

void CString::FreeExtra() { m_str.shrink_to_fit(); }
LPWSTR CString::LockBuffer() { return &m_str[0]; }
void CString::UnlockBuffer() {}
void CString::Preallocate(int nLength) { m_str.reserve(nLength > 0 ? nLength : 0); }
void CString::Truncate(int nNewLength) {
  if (nNewLength < 0 || nNewLength > GetLength()) AfxThrowInvalidArgException();
  m_str.resize(nNewLength);
}

// ---------------------------------------------------------------------------------------
BOOL AFXAPI AfxExtractSubString(CString& rString, LPCWSTR lpszFullString, int iSubString,
                                WCHAR chSep) {
  rString.Empty();
  if (lpszFullString == nullptr || iSubString < 0) return FALSE;
  for (; iSubString > 0; iSubString--) {
    lpszFullString = wcschr(lpszFullString, chSep);
    if (lpszFullString == nullptr) return FALSE;
    lpszFullString++;  // past the separator
  }
  LPCWSTR lpszEnd = wcschr(lpszFullString, chSep);
  int nLength = lpszEnd ? static_cast<int>(lpszEnd - lpszFullString)
                        : static_cast<int>(wcslen(lpszFullString));
  rString = CString(lpszFullString, nLength);
  return TRUE;
}

CStringA::CStringA(LPCWSTR lpsz) {
  if (lpsz == nullptr || *lpsz == 0) return;
  int n = ::WideCharToMultiByte(CP_ACP, 0, lpsz, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return;
  m_str.resize(n - 1);
  ::WideCharToMultiByte(CP_ACP, 0, lpsz, -1, &m_str[0], n, nullptr, nullptr);
}
