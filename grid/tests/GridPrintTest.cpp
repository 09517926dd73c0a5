// Printing a grid onto a stand-in printer: a memory DC the size of a page (marked as
// printing) for pixels and cell positions, and an enhanced metafile for the texts.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "GridTestSupport.h"

using namespace gridtest;

// The application title the header shows on the right.
CWinApp theApp(L"Vorlix print test");

namespace {

constexpr int kWidth = 50;
constexpr int kHeight = 20;
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kPaper = RGB(255, 255, 255);
const wchar_t kTitle[] = L"Contacts for printing";

// Where a cell was printed, in device pixels of the page.
struct Printed {
  int row, col;
  CRect rect;
};
std::vector<Printed> g_printed;

// A cell that notes where it is printed.
class CRecordingCell : public CGridCell {
  DECLARE_DYNCREATE(CRecordingCell)

 public:
  BOOL PrintCell(CDC* pDC, int nRow, int nCol, CRect rect) override {
    CRect device(rect);
    pDC->LPtoDP(&device);
    g_printed.push_back({nRow, nCol, device});
    return CGridCell::PrintCell(pDC, nRow, nCol, rect);
  }
};
IMPLEMENT_DYNCREATE(CRecordingCell, CGridCell)

// The print font's average character, measured as the grid is told to measure it.
CSize PrintCharSize(CDC& dc) {
  CFont font;
  font.CreateFont(-10, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial");
  CFont* pOld = dc.SelectObject(&font);
  CSize size = dc.GetTextExtent(L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ", 52);
  dc.SelectObject(pOld);
  size.cx /= 52;
  return size;
}

class GridPrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Printing needs no focus and nothing on the screen: the windows stay hidden.
    ASSERT_TRUE(parent.CreateAt(CRect(0, 0, 640, 480), WS_POPUP));
    parent.SetWindowText(kTitle);
    g_printed.clear();
    page.reset(new CSnapshot(Paper().cx, Paper().cy));
    page->DC().FillSolidRect(0, 0, Paper().cx, Paper().cy, kPaper);
    page->DC().m_bPrinting = TRUE;
    chars = PrintCharSize(page->DC());
  }

  void MakeGrid(int rows, int cols, int fixedRows, int fixedCols) {
    ASSERT_TRUE(grid.SetDefaultCellType(RUNTIME_CLASS(CRecordingCell)));
    grid.SetRowCount(rows);
    grid.SetColumnCount(cols);
    grid.SetFixedRowCount(fixedRows);
    grid.SetFixedColumnCount(fixedCols);
    ASSERT_TRUE(grid.Create(CRect(0, 0, 300, 200), &parent, 1234, WS_CHILD));
    FillEvenly(grid, rows, cols, kHeight, kWidth);
  }

  // A memory DC reports the screen's size as its page size.
  static CSize Paper() {
    CClientDC screen(nullptr);
    return CSize(screen.GetDeviceCaps(HORZRES), screen.GetDeviceCaps(VERTRES));
  }

  // Prints one page and returns the cells it printed.
  std::vector<Printed> PrintPage(UINT nPage, CDC& dc) {
    g_printed.clear();
    info.m_nCurPage = nPage;
    grid.OnPrint(&dc, &info);
    return g_printed;
  }

  // Device y of a logical y of the printed page.
  static int DeviceY(int y, const CSize& logicalPage) { return MulDiv(y, Paper().cy, logicalPage.cy); }

  CRecorderWnd parent;
  CGridCtrl grid;
  CPrintInfo info;
  std::unique_ptr<CSnapshot> page;
  CSize chars;
};

TEST_F(GridPrintTest, RowsThatDoNotFitStartANewPage) {
  MakeGrid(60, 6, 1, 1);
  grid.OnBeginPrinting(&page->DC(), &info);
  // The page is as wide as the columns and the margins, shaped like the paper; the rows
  // get what the header, the footer, the gaps and the fixed row leave.
  const int logicalWidth = 6 * kWidth + 8 * chars.cx;
  const int logicalHeight = MulDiv(logicalWidth, Paper().cy, Paper().cx);
  const int rowsPerPage = (logicalHeight - 6 * chars.cy - kHeight) / kHeight;
  ASSERT_GT(rowsPerPage, 0);
  const UINT pages = static_cast<UINT>((59 + rowsPerPage - 1) / rowsPerPage);
  ASSERT_GT(pages, 1u);
  EXPECT_EQ(info.GetMaxPage(), pages);

  std::map<int, int> timesPrinted;
  for (UINT n = 1; n <= pages; n++) {
    int bodyRows = 0;
    for (const Printed& p : PrintPage(n, page->DC()))
      if (p.row > 0 && p.col == 1) {
        timesPrinted[p.row]++;
        bodyRows++;
      }
    EXPECT_EQ(bodyRows, n < pages ? rowsPerPage : 59 - rowsPerPage * static_cast<int>(pages - 1)) << "page " << n;
  }
  EXPECT_EQ(timesPrinted.size(), 59u);
  for (const auto& [row, times] : timesPrinted) EXPECT_EQ(times, 1) << row;
}

TEST_F(GridPrintTest, FixedRowsAndColumnsRepeatOnEveryPage) {
  MakeGrid(80, 5, 2, 1);
  grid.OnBeginPrinting(&page->DC(), &info);
  ASSERT_GE(info.GetMaxPage(), 3u);
  std::vector<CRect> firstHeadings;
  for (UINT n = 1; n <= info.GetMaxPage(); n++) {
    const std::vector<Printed> cells = PrintPage(n, page->DC());
    std::vector<CRect> headings;
    int firstBodyTop = INT_MAX, lastHeadingBottom = 0;
    for (const Printed& p : cells) {
      if (p.row < 2) {
        headings.push_back(p.rect);
        lastHeadingBottom = std::max<int>(lastHeadingBottom, p.rect.bottom);
      } else {
        firstBodyTop = std::min<int>(firstBodyTop, p.rect.top);
      }
    }
    // Both fixed rows, all five columns, at the same place on every page.
    EXPECT_EQ(headings.size(), 10u) << "page " << n;
    if (n == 1) firstHeadings = headings;
    EXPECT_EQ(headings, firstHeadings) << "page " << n;
    EXPECT_GT(firstBodyTop, lastHeadingBottom) << "page " << n;
    // Every printed row starts with its fixed column, at the left margin.
    for (const Printed& p : cells)
      if (p.col == 1) {
        const bool hasFixed = std::any_of(cells.begin(), cells.end(),
                                          [&](const Printed& q) { return q.row == p.row && q.col == 0; });
        EXPECT_TRUE(hasFixed) << "page " << n << " row " << p.row;
      }
  }
  // The headings sit below the header lines and the gap, right of the left margin.
  const int logicalWidth = 5 * kWidth + 8 * chars.cx;
  const CSize logicalPage(logicalWidth, MulDiv(logicalWidth, Paper().cy, Paper().cx));
  ASSERT_FALSE(firstHeadings.empty());
  EXPECT_NEAR(firstHeadings[0].top, DeviceY(3 * chars.cy, logicalPage), 1);
  EXPECT_NEAR(firstHeadings[0].left, MulDiv(4 * chars.cx, Paper().cx, logicalWidth), 1);
}

TEST_F(GridPrintTest, AtScreenProportionsWideGridsSplitIntoPagesAcross) {
  MakeGrid(8, 40, 1, 1);
  grid.EnableWysiwygPrinting(TRUE);
  grid.OnBeginPrinting(&page->DC(), &info);
  // A memory DC has the screen's resolution: the page is three quarters of the paper.
  const int logicalWidth = Paper().cx * 3 / 4;
  const int room = logicalWidth - 8 * chars.cx - kWidth;
  const int colsPerPage = room / kWidth;
  const int across = (39 + colsPerPage - 1) / colsPerPage;
  ASSERT_GT(across, 1);
  ASSERT_EQ(info.GetMaxPage(), static_cast<UINT>(across));  // all eight rows fit on one page down

  std::map<int, int> timesPrinted;
  for (UINT n = 1; n <= info.GetMaxPage(); n++) {
    const std::vector<Printed> cells = PrintPage(n, page->DC());
    std::vector<int> cols;
    for (const Printed& p : cells)
      if (p.row == 3) cols.push_back(p.col);
    ASSERT_FALSE(cols.empty());
    EXPECT_EQ(cols.front(), 0) << "page " << n;  // the fixed column leads every page
    // then a run of neighbouring columns
    for (size_t i = 1; i < cols.size(); i++) timesPrinted[cols[i]]++;
    for (size_t i = 2; i < cols.size(); i++) EXPECT_EQ(cols[i], cols[i - 1] + 1) << "page " << n;
    EXPECT_LE(static_cast<int>(cols.size()) - 1, colsPerPage) << "page " << n;
  }
  EXPECT_EQ(timesPrinted.size(), 39u);
  for (const auto& [col, times] : timesPrinted) EXPECT_EQ(times, 1) << col;
}

TEST_F(GridPrintTest, APageShowsRulesShadedHeadingsAndTexts) {
  MakeGrid(60, 6, 1, 1);
  grid.OnBeginPrinting(&page->DC(), &info);
  const std::vector<Printed> cells = PrintPage(1, page->DC());
  page->SavePng(ArtifactPath(L"grid-print-page1.png"));

  const int logicalWidth = 6 * kWidth + 8 * chars.cx;
  const CSize logicalPage(logicalWidth, MulDiv(logicalWidth, Paper().cy, Paper().cx));
  const int middle = Paper().cx / 2;
  // The header's rule below its two lines, the footer's above its two lines.
  EXPECT_TRUE(page->Contains(CRect(middle, DeviceY(2 * chars.cy, logicalPage) - 1, middle + 1,
                                   DeviceY(2 * chars.cy, logicalPage) + 2),
                             kBlack));
  const int footerTop = DeviceY(logicalPage.cy - 2 * chars.cy - 1, logicalPage);
  EXPECT_TRUE(page->Contains(CRect(middle, footerTop - 1, middle + 1, footerTop + 2), kBlack));
  // Between the rules, only the cells: the gap under the header stays blank.
  const int gapTop = DeviceY(2 * chars.cy, logicalPage) + 3, gapBottom = DeviceY(3 * chars.cy, logicalPage) - 1;
  EXPECT_FALSE(page->Contains(CRect(0, gapTop, Paper().cx, gapBottom), kBlack));

  auto find = [&](int row, int col) {
    for (const Printed& p : cells)
      if (p.row == row && p.col == col) return p.rect;
    ADD_FAILURE() << row << "," << col << " was not printed";
    return CRect();
  };
  // Shaded printing fills the headings with their back colour; body cells stay paper white
  // and carry their text in black.
  const CRect heading = find(0, 2);
  // (a point clear of the cell's edge lines, which scale with the page, and of its text)
  EXPECT_EQ(page->Pixel(heading.left + heading.Width() / 8, heading.CenterPoint().y), ::GetSysColor(COLOR_BTNFACE));
  const CRect body = find(1, 2);
  EXPECT_EQ(page->Pixel(body.right - 2, body.bottom - 2), kPaper);
  EXPECT_TRUE(page->Contains(body, ::GetSysColor(COLOR_WINDOWTEXT)));
  // The page ends at the paper: nothing is printed right of the last column's margin.
  const CRect last = find(1, 5);
  EXPECT_FALSE(page->Contains(CRect(last.right + 2, heading.top, Paper().cx, last.bottom), kBlack));
}

// Every text a metafile draws, with where its reference point lies.
std::vector<std::pair<CString, POINTL>> TextsOf(HENHMETAFILE hMeta) {
  std::vector<std::pair<CString, POINTL>> texts;
  const UINT size = ::GetEnhMetaFileBits(hMeta, 0, nullptr);
  std::vector<BYTE> bits(size);
  ::GetEnhMetaFileBits(hMeta, size, bits.data());
  for (size_t pos = 0; pos + sizeof(EMR) <= bits.size();) {
    const auto* rec = reinterpret_cast<const EMR*>(bits.data() + pos);
    if (rec->nSize == 0) break;
    if (rec->iType == EMR_EXTTEXTOUTW) {
      const auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(rec);
      const auto* chars = reinterpret_cast<const wchar_t*>(bits.data() + pos + text->emrtext.offString);
      texts.emplace_back(CString(chars, static_cast<int>(text->emrtext.nChars)), text->emrtext.ptlReference);
    }
    pos += rec->nSize;
  }
  return texts;
}

TEST_F(GridPrintTest, HeaderAndFooterNameThePageTheWindowAndTheApplication) {
  MakeGrid(60, 6, 1, 1);
  CClientDC screen(nullptr);
  CDC meta;
  ASSERT_TRUE(meta.Attach(::CreateEnhMetaFileW(screen.GetSafeHdc(), nullptr, nullptr, nullptr)));
  meta.m_bPrinting = TRUE;
  grid.OnBeginPrinting(&meta, &info);
  ASSERT_GE(info.GetMaxPage(), 2u);
  info.m_nCurPage = 2;
  grid.OnPrint(&meta, &info);
  grid.OnEndPrinting(&meta, &info);
  HENHMETAFILE hMeta = ::CloseEnhMetaFile(meta.Detach());
  ASSERT_NE(hMeta, nullptr);
  const auto texts = TextsOf(hMeta);
  ::DeleteEnhMetaFile(hMeta);

  CString pageText;
  pageText.Format(L"Page 2 of %u", info.GetMaxPage());
  auto at = [&](const CString& text) -> const POINTL* {
    for (const auto& [t, point] : texts)
      if (t == text) return &point;
    return nullptr;
  };
  const POINTL* title = at(kTitle);
  const POINTL* app = at(L"Vorlix print test");
  const POINTL* pageNo = at(pageText);
  ASSERT_NE(title, nullptr);
  ASSERT_NE(app, nullptr);
  ASSERT_NE(pageNo, nullptr);
  // Title centred, application right, both on the header line; the page number at the
  // bottom left, the date opposite it.
  EXPECT_LT(title->x, app->x);
  EXPECT_EQ(title->y, app->y);
  EXPECT_GT(pageNo->y, title->y);
  const auto date = std::find_if(texts.begin(), texts.end(), [&](const auto& t) {
    return t.second.y == pageNo->y && t.second.x > pageNo->x && !t.first.IsEmpty();
  });
  EXPECT_NE(date, texts.end());
  // Page 2 begins with the row after the last one of page 1 (the headings come first).
  const auto firstBody = std::find_if(texts.begin(), texts.end(), [&](const auto& t) {
    return t.first.Find(L',') > 0 && t.first.Left(2) != L"0,";
  });
  ASSERT_NE(firstBody, texts.end());
  EXPECT_NE(firstBody->first, CString(L"1,0"));
}

TEST_F(GridPrintTest, WithoutADCOrAJobNothingHappens) {
  MakeGrid(3, 3, 1, 1);  // two rows below the heading: one page
  grid.OnBeginPrinting(nullptr, &info);
  EXPECT_EQ(info.GetMaxPage(), 0xFFFFu);  // the record's own default stays
  grid.OnBeginPrinting(&page->DC(), nullptr);
  // Pages before the job began print nothing.
  EXPECT_TRUE(PrintPage(1, page->DC()).empty());
  grid.OnBeginPrinting(&page->DC(), &info);
  EXPECT_EQ(info.GetMaxPage(), 1u);
  EXPECT_TRUE(PrintPage(2, page->DC()).empty());  // past the last page
  EXPECT_FALSE(PrintPage(1, page->DC()).empty());
  grid.OnEndPrinting(&page->DC(), &info);
  EXPECT_TRUE(PrintPage(1, page->DC()).empty());  // the job's font is gone
}

}  // namespace
