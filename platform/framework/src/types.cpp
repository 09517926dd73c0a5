// CTime: conversions between seconds since 1970 and calendar fields.
#include <ctime>

#include "framework.h"

namespace {

// 100-ns intervals between 1601-01-01 and 1970-01-01.
constexpr ULONGLONG kFileTimeEpochOffset = 116444736000000000ULL;

__time64_t FromLocalFields(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec,
                           int nDST) {
  if (nYear < 1970 || nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > 31 || nHour < 0 ||
      nHour > 23 || nMin < 0 || nMin > 59 || nSec < 0 || nSec > 59)
    AfxThrowInvalidArgException();
  struct tm t = {};
  t.tm_year = nYear - 1900;
  t.tm_mon = nMonth - 1;
  t.tm_mday = nDay;
  t.tm_hour = nHour;
  t.tm_min = nMin;
  t.tm_sec = nSec;
  t.tm_isdst = nDST;
  __time64_t time = _mktime64(&t);
  if (time == -1) AfxThrowInvalidArgException();
  return time;
}

CString FormatTm(LPCWSTR pszFormat, const struct tm* ptm) {
  if (pszFormat == nullptr) AfxThrowInvalidArgException();
  if (ptm == nullptr) return CString();
  WCHAR szBuffer[256];
  size_t n = wcsftime(szBuffer, _countof(szBuffer), pszFormat, ptm);
  return CString(szBuffer, static_cast<int>(n));
}

}  // namespace

CTime PASCAL CTime::GetCurrentTime() { return CTime(_time64(nullptr)); }

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST)
    : m_time(FromLocalFields(nYear, nMonth, nDay, nHour, nMin, nSec, nDST)) {}

CTime::CTime(const SYSTEMTIME& st, int nDST)
    : m_time(
          FromLocalFields(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, nDST)) {}

CTime::CTime(const FILETIME& ft, int) {
  ULONGLONG t = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  if (t < kFileTimeEpochOffset) AfxThrowInvalidArgException();
  m_time = static_cast<__time64_t>((t - kFileTimeEpochOffset) / 10000000ULL);
}

struct tm* CTime::GetLocalTm(struct tm* ptm) const {
  return (ptm && _localtime64_s(ptm, &m_time) == 0) ? ptm : nullptr;
}

struct tm* CTime::GetGmtTm(struct tm* ptm) const {
  return (ptm && _gmtime64_s(ptm, &m_time) == 0) ? ptm : nullptr;
}

BOOL CTime::GetAsSystemTime(SYSTEMTIME& st) const {
  struct tm t;
  if (!GetLocalTm(&t)) return FALSE;
  st = {};
  st.wYear = static_cast<WORD>(t.tm_year + 1900);
  st.wMonth = static_cast<WORD>(t.tm_mon + 1);
  st.wDayOfWeek = static_cast<WORD>(t.tm_wday);
  st.wDay = static_cast<WORD>(t.tm_mday);
  st.wHour = static_cast<WORD>(t.tm_hour);
  st.wMinute = static_cast<WORD>(t.tm_min);
  st.wSecond = static_cast<WORD>(t.tm_sec);
  return TRUE;
}

// The field getters answer 0 for a time the runtime cannot convert.
#define FW_CTIME_FIELD(name, expr)      \
  int CTime::name() const {             \
    struct tm t;                        \
    return GetLocalTm(&t) ? (expr) : 0; \
  }
FW_CTIME_FIELD(GetYear, t.tm_year + 1900)
FW_CTIME_FIELD(GetMonth, t.tm_mon + 1)
FW_CTIME_FIELD(GetDay, t.tm_mday)
FW_CTIME_FIELD(GetHour, t.tm_hour)
FW_CTIME_FIELD(GetMinute, t.tm_min)
FW_CTIME_FIELD(GetSecond, t.tm_sec)
FW_CTIME_FIELD(GetDayOfWeek, t.tm_wday + 1)
#undef FW_CTIME_FIELD

CString CTime::Format(LPCWSTR pszFormat) const {
  struct tm t;
  return FormatTm(pszFormat, GetLocalTm(&t));
}

CString CTime::FormatGmt(LPCWSTR pszFormat) const {
  struct tm t;
  return FormatTm(pszFormat, GetGmtTm(&t));
}
