// Geometry and time values.
#include <gtest/gtest.h>

#include "framework.h"

TEST(CRectTest, MeasuresAndCorners) {
  CRect r(10, 20, 110, 70);
  EXPECT_EQ(r.Width(), 100);
  EXPECT_EQ(r.Height(), 50);
  EXPECT_EQ(r.Size(), CSize(100, 50));
  EXPECT_EQ(r.CenterPoint(), CPoint(60, 45));
  EXPECT_EQ(r.TopLeft(), CPoint(10, 20));
  EXPECT_EQ(r.BottomRight(), CPoint(110, 70));
  r.TopLeft() = CPoint(0, 0);  // the corners are views of the rectangle itself
  r.BottomRight().x = 5;
  EXPECT_EQ(r, CRect(0, 0, 5, 70));
  EXPECT_EQ(CRect(CPoint(1, 2), CSize(3, 4)), CRect(1, 2, 4, 6));
  EXPECT_EQ(CRect(CPoint(1, 2), CPoint(3, 4)), CRect(1, 2, 3, 4));
}

TEST(CRectTest, PtInRectExcludesRightAndBottomEdges) {
  const CRect r(0, 0, 10, 10);
  const struct {
    CPoint pt;
    bool bInside;
  } cases[] = {
      {{0, 0}, true}, {{9, 9}, true}, {{10, 5}, false}, {{5, 10}, false}, {{-1, 5}, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(r.PtInRect(c.pt) != FALSE, c.bInside) << c.pt.x << "," << c.pt.y;
}

TEST(CRectTest, EmptinessAndNormalizing) {
  EXPECT_TRUE(CRect().IsRectEmpty());
  EXPECT_TRUE(CRect().IsRectNull());
  EXPECT_TRUE(CRect(5, 5, 5, 9).IsRectEmpty());
  EXPECT_FALSE(CRect(5, 5, 5, 9).IsRectNull());
  CRect r(10, 20, 0, 5);
  EXPECT_TRUE(r.IsRectEmpty());
  r.NormalizeRect();
  EXPECT_EQ(r, CRect(0, 5, 10, 20));
  r.SetRectEmpty();
  EXPECT_TRUE(r.IsRectNull());
  r.SetRect(1, 2, 3, 4);
  EXPECT_EQ(r, CRect(1, 2, 3, 4));
}

TEST(CRectTest, InflateDeflateOffset) {
  CRect r(10, 10, 20, 20);
  r.InflateRect(2, 3);
  EXPECT_EQ(r, CRect(8, 7, 22, 23));
  r.DeflateRect(2, 3);
  EXPECT_EQ(r, CRect(10, 10, 20, 20));
  r.InflateRect(1, 2, 3, 4);
  EXPECT_EQ(r, CRect(9, 8, 23, 24));
  r.DeflateRect(1, 2, 3, 4);
  r.DeflateRect(CRect(1, 1, 1, 1));
  EXPECT_EQ(r, CRect(11, 11, 19, 19));
  r.OffsetRect(-11, 4);
  EXPECT_EQ(r, CRect(0, 15, 8, 23));
  r.OffsetRect(CPoint(1, 1));
  r.OffsetRect(CSize(1, 1));
  EXPECT_EQ(r, CRect(2, 17, 10, 25));
  r.MoveToXY(0, 0);
  EXPECT_EQ(r, CRect(0, 0, 8, 8));
  EXPECT_EQ(r + CPoint(1, 2), CRect(1, 2, 9, 10));
  EXPECT_EQ(r - CSize(1, 2), CRect(-1, -2, 7, 6));
}

TEST(CRectTest, IntersectAndUnion) {
  const struct {
    CRect a, b, intersection, unionRect;
    bool bIntersects;
  } cases[] = {
      {{0, 0, 10, 10}, {5, 5, 15, 15}, {5, 5, 10, 10}, {0, 0, 15, 15}, true},
      {{0, 0, 10, 10}, {10, 0, 20, 10}, {0, 0, 0, 0}, {0, 0, 20, 10}, false},  // touching
      {{0, 0, 10, 10}, {2, 2, 4, 4}, {2, 2, 4, 4}, {0, 0, 10, 10}, true},
      {{0, 0, 10, 10}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 10, 10}, false},  // empty is ignored
  };
  for (const auto& c : cases) {
    CRect i, u;
    EXPECT_EQ(i.IntersectRect(&c.a, &c.b) != FALSE, c.bIntersects);
    EXPECT_EQ(i, c.intersection);
    u.UnionRect(&c.a, &c.b);
    EXPECT_EQ(u, c.unionRect);
    EXPECT_EQ(c.a & c.b, c.intersection);
    EXPECT_EQ(c.a | c.b, c.unionRect);
  }
}

TEST(CRectTest, PassesToWin32AsRectPointer) {
  CRect r(0, 0, 4, 4);
  ::InflateRect(r, 1, 1);  // operator LPRECT
  EXPECT_EQ(r, CRect(-1, -1, 5, 5));
  RECT plain = {1, 2, 3, 4};
  CRect copy(plain);
  EXPECT_TRUE(::EqualRect(copy, &plain));  // operator LPCRECT
}

TEST(CPointSizeTest, Arithmetic) {
  CPoint p(3, 4);
  p += CSize(1, 1);
  EXPECT_EQ(p, CPoint(4, 5));
  p -= CPoint(4, 5);
  EXPECT_EQ(p, CPoint(0, 0));
  EXPECT_EQ(CPoint(5, 5) - CPoint(2, 1), CSize(3, 4));
  EXPECT_EQ(CPoint(5, 5) - CSize(2, 1), CPoint(3, 4));
  EXPECT_EQ(-CPoint(1, -2), CPoint(-1, 2));
  EXPECT_EQ(CPoint(MAKELPARAM(-3, 7)), CPoint(-3, 7));  // signed words, as in mouse messages
  EXPECT_EQ(CSize(2, 3) + CSize(1, 1), CSize(3, 4));
  EXPECT_EQ(CSize(2, 3) + CPoint(1, 1), CPoint(3, 4));
  EXPECT_NE(CSize(1, 2), CSize(2, 1));
}

TEST(CTimeTest, FieldsFileTimeAndFormat) {
  CTime t(2024, 2, 29, 13, 45, 30);
  EXPECT_EQ(t.GetYear(), 2024);
  EXPECT_EQ(t.GetMonth(), 2);
  EXPECT_EQ(t.GetDay(), 29);
  EXPECT_EQ(t.GetHour(), 13);
  EXPECT_EQ(t.GetMinute(), 45);
  EXPECT_EQ(t.GetSecond(), 30);
  EXPECT_EQ(t.GetDayOfWeek(), 5);  // a Thursday
  EXPECT_EQ(t.Format(L"%Y-%m-%d %H:%M:%S"), L"2024-02-29 13:45:30");

  // 2001-09-09 01:46:40 UTC is 1,000,000,000 seconds after 1970.
  ULONGLONG v = 1000000000ULL * 10000000ULL + 116444736000000000ULL;
  FILETIME ft = {static_cast<DWORD>(v), static_cast<DWORD>(v >> 32)};
  CTime fromFile(ft);
  EXPECT_EQ(fromFile.GetTime(), 1000000000);
  EXPECT_EQ(fromFile.FormatGmt(L"%Y-%m-%d %H:%M:%S"), L"2001-09-09 01:46:40");

  SYSTEMTIME st;
  ASSERT_TRUE(t.GetAsSystemTime(st));
  EXPECT_EQ(CTime(st), t);
  EXPECT_EQ((t + CTimeSpan(1, 0, 0, 0)).GetDay(), 1);  // into March
  EXPECT_EQ((CTime(2024, 3, 1, 13, 45, 30) - t).GetTotalHours(), 24);
  EXPECT_EQ(CTimeSpan(1, 2, 3, 4).GetMinutes(), 3);

  bool bThrew = false;
  try {
    CTime bad(2024, 13, 1, 0, 0, 0);
  } catch (CException* e) {
    bThrew = true;
    e->Delete();
  }
  EXPECT_TRUE(bThrew);
}
