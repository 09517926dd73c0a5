// Geometry (CSize, CPoint, CRect over the Win32 SIZE/POINT/RECT) and time values (CTime,
// CTimeSpan). All are plain values; the geometry classes convert to the Win32 structures
// wherever an API wants them.
#pragma once

#include <windows.h>

#include <ctime>

#include "fw_string.h"

class CPoint;
class CRect;

class CSize : public tagSIZE {
 public:
  CSize() { cx = cy = 0; }
  CSize(int initCX, int initCY) {
    cx = initCX;
    cy = initCY;
  }
  CSize(SIZE initSize) {
    cx = initSize.cx;
    cy = initSize.cy;
  }
  explicit CSize(POINT initPt) {
    cx = initPt.x;
    cy = initPt.y;
  }
  explicit CSize(DWORD dwSize) {
    cx = (short)LOWORD(dwSize);
    cy = (short)HIWORD(dwSize);
  }

  BOOL operator==(SIZE size) const { return cx == size.cx && cy == size.cy; }
  BOOL operator!=(SIZE size) const { return !(*this == size); }
  void operator+=(SIZE size) {
    cx += size.cx;
    cy += size.cy;
  }
  void operator-=(SIZE size) {
    cx -= size.cx;
    cy -= size.cy;
  }
  void SetSize(int CX, int CY) {
    cx = CX;
    cy = CY;
  }
  CSize operator+(SIZE size) const { return CSize(cx + size.cx, cy + size.cy); }
  CSize operator-(SIZE size) const { return CSize(cx - size.cx, cy - size.cy); }
  CSize operator-() const { return CSize(-cx, -cy); }
  CPoint operator+(POINT point) const;
  CPoint operator-(POINT point) const;
  CRect operator+(const RECT* lpRect) const;
  CRect operator-(const RECT* lpRect) const;
};

class CPoint : public tagPOINT {
 public:
  CPoint() { x = y = 0; }
  CPoint(int initX, int initY) {
    x = initX;
    y = initY;
  }
  CPoint(POINT initPt) {
    x = initPt.x;
    y = initPt.y;
  }
  CPoint(SIZE initSize) {
    x = initSize.cx;
    y = initSize.cy;
  }
  // Low word x, high word y, both signed (as in mouse-message lParams).
  explicit CPoint(LPARAM dwPoint) {
    x = (short)LOWORD(dwPoint);
    y = (short)HIWORD(dwPoint);
  }

  void Offset(int xOffset, int yOffset) {
    x += xOffset;
    y += yOffset;
  }
  void Offset(POINT point) { Offset(point.x, point.y); }
  void Offset(SIZE size) { Offset(size.cx, size.cy); }
  void SetPoint(int X, int Y) {
    x = X;
    y = Y;
  }
  BOOL operator==(POINT point) const { return x == point.x && y == point.y; }
  BOOL operator!=(POINT point) const { return !(*this == point); }
  void operator+=(SIZE size) { Offset(size); }
  void operator-=(SIZE size) { Offset(-size.cx, -size.cy); }
  void operator+=(POINT point) { Offset(point); }
  void operator-=(POINT point) { Offset(-point.x, -point.y); }
  CPoint operator+(SIZE size) const { return CPoint(x + size.cx, y + size.cy); }
  CPoint operator-(SIZE size) const { return CPoint(x - size.cx, y - size.cy); }
  CPoint operator-() const { return CPoint(-x, -y); }
  CPoint operator+(POINT point) const { return CPoint(x + point.x, y + point.y); }
  CSize operator-(POINT point) const { return CSize(x - point.x, y - point.y); }
  CRect operator+(const RECT* lpRect) const;
  CRect operator-(const RECT* lpRect) const;
};

class CRect : public tagRECT {
 public:
  CRect() { left = top = right = bottom = 0; }
  CRect(int l, int t, int r, int b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
  }
  CRect(const RECT& srcRect) { ::CopyRect(this, &srcRect); }
  CRect(LPCRECT lpSrcRect) { ::CopyRect(this, lpSrcRect); }
  CRect(POINT point, SIZE size) : CRect(point.x, point.y, point.x + size.cx, point.y + size.cy) {}
  CRect(POINT topLeft, POINT bottomRight)
      : CRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y) {}

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(this); }
  CPoint& BottomRight() { return *(reinterpret_cast<CPoint*>(this) + 1); }
  const CPoint& TopLeft() const { return *reinterpret_cast<const CPoint*>(this); }
  const CPoint& BottomRight() const { return *(reinterpret_cast<const CPoint*>(this) + 1); }
  CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
  void SwapLeftRight() { SwapLeftRight(this); }
  static void SwapLeftRight(LPRECT lpRect) {
    LONG t = lpRect->left;
    lpRect->left = lpRect->right;
    lpRect->right = t;
  }

  operator LPRECT() { return this; }
  operator LPCRECT() const { return this; }

  BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
  BOOL IsRectNull() const { return left == 0 && right == 0 && top == 0 && bottom == 0; }
  BOOL PtInRect(POINT point) const { return ::PtInRect(this, point); }

  void SetRect(int x1, int y1, int x2, int y2) { ::SetRect(this, x1, y1, x2, y2); }
  void SetRect(POINT topLeft, POINT bottomRight) {
    SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
  }
  void SetRectEmpty() { ::SetRectEmpty(this); }
  void CopyRect(LPCRECT lpSrcRect) { ::CopyRect(this, lpSrcRect); }
  BOOL EqualRect(LPCRECT lpRect) const { return ::EqualRect(this, lpRect); }

  void InflateRect(int x, int y) { ::InflateRect(this, x, y); }
  void InflateRect(SIZE size) { InflateRect(size.cx, size.cy); }
  void InflateRect(LPCRECT lpRect) {
    left -= lpRect->left;
    top -= lpRect->top;
    right += lpRect->right;
    bottom += lpRect->bottom;
  }
  void InflateRect(int l, int t, int r, int b) {
    left -= l;
    top -= t;
    right += r;
    bottom += b;
  }
  void DeflateRect(int x, int y) { ::InflateRect(this, -x, -y); }
  void DeflateRect(SIZE size) { DeflateRect(size.cx, size.cy); }
  void DeflateRect(LPCRECT lpRect) {
    left += lpRect->left;
    top += lpRect->top;
    right -= lpRect->right;
    bottom -= lpRect->bottom;
  }
  void DeflateRect(int l, int t, int r, int b) {
    left += l;
    top += t;
    right -= r;
    bottom -= b;
  }

  void OffsetRect(int x, int y) { ::OffsetRect(this, x, y); }
  void OffsetRect(SIZE size) { OffsetRect(size.cx, size.cy); }
  void OffsetRect(POINT point) { OffsetRect(point.x, point.y); }
  void MoveToY(int y) {
    bottom = Height() + y;
    top = y;
  }
  void MoveToX(int x) {
    right = Width() + x;
    left = x;
  }
  void MoveToXY(int x, int y) {
    MoveToX(x);
    MoveToY(y);
  }
  void MoveToXY(POINT point) { MoveToXY(point.x, point.y); }
  void NormalizeRect();

  BOOL IntersectRect(LPCRECT lpRect1, LPCRECT lpRect2) {
    return ::IntersectRect(this, lpRect1, lpRect2);
  }
  BOOL UnionRect(LPCRECT lpRect1, LPCRECT lpRect2) { return ::UnionRect(this, lpRect1, lpRect2); }
  BOOL SubtractRect(LPCRECT lpRectSrc1, LPCRECT lpRectSrc2) {
    return ::SubtractRect(this, lpRectSrc1, lpRectSrc2);
  }

  CRect& operator=(const RECT& srcRect) {
    ::CopyRect(this, &srcRect);
    return *this;
  }
  BOOL operator==(const RECT& rect) const { return ::EqualRect(this, &rect); }
  BOOL operator!=(const RECT& rect) const { return !::EqualRect(this, &rect); }
  void operator+=(POINT point) { OffsetRect(point); }
  void operator+=(SIZE size) { OffsetRect(size); }
  void operator+=(LPCRECT lpRect) { InflateRect(lpRect); }
  void operator-=(POINT point) { OffsetRect(-point.x, -point.y); }
  void operator-=(SIZE size) { OffsetRect(-size.cx, -size.cy); }
  void operator-=(LPCRECT lpRect) { DeflateRect(lpRect); }
  void operator&=(const RECT& rect) { ::IntersectRect(this, this, &rect); }
  void operator|=(const RECT& rect) { ::UnionRect(this, this, &rect); }
  CRect operator+(POINT point) const {
    CRect r(*this);
    r.OffsetRect(point);
    return r;
  }
  CRect operator-(POINT point) const {
    CRect r(*this);
    r.OffsetRect(-point.x, -point.y);
    return r;
  }
  CRect operator+(SIZE size) const {
    CRect r(*this);
    r.OffsetRect(size);
    return r;
  }
  CRect operator-(SIZE size) const {
    CRect r(*this);
    r.OffsetRect(-size.cx, -size.cy);
    return r;
  }
  CRect operator+(LPCRECT lpRect) const {
    CRect r(*this);
    r.InflateRect(lpRect);
    return r;
  }
  CRect operator-(LPCRECT lpRect) const {
    CRect r(*this);
    r.DeflateRect(lpRect);
    return r;
  }
  CRect operator&(const RECT& rect2) const {
    CRect r;
    ::IntersectRect(&r, this, &rect2);
    return r;
  }
  CRect operator|(const RECT& rect2) const {
    CRect r;
    ::UnionRect(&r, this, &rect2);
    return r;
  }
};

inline CPoint CSize::operator+(POINT point) const { return CPoint(cx + point.x, cy + point.y); }
inline CPoint CSize::operator-(POINT point) const { return CPoint(cx - point.x, cy - point.y); }
inline CRect CSize::operator+(const RECT* lpRect) const { return CRect(lpRect) + *this; }
inline CRect CSize::operator-(const RECT* lpRect) const { return CRect(lpRect) - *this; }
inline CRect CPoint::operator+(const RECT* lpRect) const { return CRect(lpRect) + *this; }
inline CRect CPoint::operator-(const RECT* lpRect) const { return CRect(lpRect) - *this; }
inline void CRect::NormalizeRect() {
  if (left > right) SwapLeftRight();
  if (top > bottom) {
    LONG t = top;
    top = bottom;
    bottom = t;
  }
}

// ---------------------------------------------------------------------------------------
// Time values: seconds since 1970 (UTC), shown in local time.
class CTimeSpan {
 public:
  CTimeSpan() = default;
  CTimeSpan(__time64_t time) : m_timeSpan(time) {}
  CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs)
      : m_timeSpan(nSecs + 60 * (nMins + 60 * (nHours + 24LL * lDays))) {}
  LONGLONG GetDays() const { return m_timeSpan / (24 * 3600); }
  LONGLONG GetTotalHours() const { return m_timeSpan / 3600; }
  LONG GetHours() const { return (LONG)(GetTotalHours() - GetDays() * 24); }
  LONGLONG GetTotalMinutes() const { return m_timeSpan / 60; }
  LONG GetMinutes() const { return (LONG)(GetTotalMinutes() - GetTotalHours() * 60); }
  LONGLONG GetTotalSeconds() const { return m_timeSpan; }
  LONG GetSeconds() const { return (LONG)(m_timeSpan - GetTotalMinutes() * 60); }
  __time64_t GetTimeSpan() const { return m_timeSpan; }
  CTimeSpan operator+(CTimeSpan s) const { return CTimeSpan(m_timeSpan + s.m_timeSpan); }
  CTimeSpan operator-(CTimeSpan s) const { return CTimeSpan(m_timeSpan - s.m_timeSpan); }
  bool operator==(CTimeSpan s) const { return m_timeSpan == s.m_timeSpan; }
  bool operator!=(CTimeSpan s) const { return m_timeSpan != s.m_timeSpan; }
  bool operator<(CTimeSpan s) const { return m_timeSpan < s.m_timeSpan; }
  bool operator>(CTimeSpan s) const { return m_timeSpan > s.m_timeSpan; }

 private:
  __time64_t m_timeSpan = 0;
};

#ifdef GetCurrentTime
#undef GetCurrentTime  // winbase.h maps it to GetTickCount; CTime has a member of that name
#endif

class CTime {
 public:
  static CTime PASCAL GetCurrentTime();

  CTime() = default;
  CTime(__time64_t time) : m_time(time) {}
  // Local time; nDST < 0 lets the C runtime decide whether daylight saving applies.
  CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);
  CTime(const SYSTEMTIME& st, int nDST = -1);
  CTime(const FILETIME& ft, int nDST = -1);  // ft is UTC

  __time64_t GetTime() const { return m_time; }
  // FALSE when the time cannot be expressed (before 1970 in this implementation).
  BOOL GetAsSystemTime(SYSTEMTIME& st) const;
  struct tm* GetLocalTm(struct tm* ptm) const;
  struct tm* GetGmtTm(struct tm* ptm) const;
  int GetYear() const;
  int GetMonth() const;
  int GetDay() const;
  int GetHour() const;
  int GetMinute() const;
  int GetSecond() const;
  int GetDayOfWeek() const;  // 1 = Sunday
  CString Format(LPCWSTR pszFormat) const;
  CString FormatGmt(LPCWSTR pszFormat) const;

  CTimeSpan operator-(CTime t) const { return CTimeSpan(m_time - t.m_time); }
  CTime operator+(CTimeSpan s) const { return CTime(m_time + s.GetTimeSpan()); }
  CTime operator-(CTimeSpan s) const { return CTime(m_time - s.GetTimeSpan()); }
  CTime& operator+=(CTimeSpan s) {
    m_time += s.GetTimeSpan();
    return *this;
  }
  CTime& operator-=(CTimeSpan s) {
    m_time -= s.GetTimeSpan();
    return *this;
  }
  bool operator==(CTime t) const { return m_time == t.m_time; }
  bool operator!=(CTime t) const { return m_time != t.m_time; }
  bool operator<(CTime t) const { return m_time < t.m_time; }
  bool operator>(CTime t) const { return m_time > t.m_time; }
  bool operator<=(CTime t) const { return m_time <= t.m_time; }
  bool operator>=(CTime t) const { return m_time >= t.m_time; }

 private:
  __time64_t m_time = 0;
};
