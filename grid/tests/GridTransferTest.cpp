// Copied text, pasting from a data object, drops and sorting, without the shared
// clipboard (those tests are in GridClipboardTest.cpp).
#include <string>

#include "GridDropTarget.h"
#include "GridWindowFixture.h"

using namespace gridtest;

namespace {

// The bytes of a data source's CF_TEXT, exactly as many as its block holds.
std::string SourceBytes(COleDataSource* pSource) {
  auto* pData = static_cast<LPDATAOBJECT>(pSource->GetInterface(&IID_IDataObject));
  if (!pData) return "<no IDataObject>";
  FORMATETC fmt = {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  if (FAILED(pData->GetData(&fmt, &medium))) return "<no CF_TEXT>";
  const SIZE_T size = ::GlobalSize(medium.hGlobal);
  const char* p = static_cast<const char*>(::GlobalLock(medium.hGlobal));
  std::string bytes(p, size);
  ::GlobalUnlock(medium.hGlobal);
  ::ReleaseStgMedium(&medium);
  return bytes;
}

// A data object offering text as CF_TEXT, read through the same interface a drop or the
// clipboard would give.
class CTextOffer {
 public:
  explicit CTextOffer(const std::string& bytes, bool bTerminate = true) {
    const SIZE_T n = bytes.size() + (bTerminate ? 1 : 0);
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, n);
    // The whole block, however large the allocator made it, is filled: nothing guarantees
    // a zero byte after the text unless one was asked for.
    const SIZE_T size = ::GlobalSize(h);
    char* p = static_cast<char*>(::GlobalLock(h));
    for (SIZE_T i = 0; i < size; i++) p[i] = bytes.empty() ? 'Z' : bytes[i % bytes.size()];
    if (bTerminate) p[bytes.size()] = '\0';
    ::GlobalUnlock(h);
    m_nBlockSize = size;
    m_pSource = new COleDataSource;
    m_pSource->CacheGlobalData(CF_TEXT, h);
    m_object.Attach(static_cast<LPDATAOBJECT>(m_pSource->GetInterface(&IID_IDataObject)), FALSE);
  }
  ~CTextOffer() {
    m_object.Release();
    delete m_pSource;
  }
  COleDataObject* Object() { return &m_object; }
  SIZE_T BlockSize() const { return m_nBlockSize; }

 private:
  COleDataSource* m_pSource;
  COleDataObject m_object;
  SIZE_T m_nBlockSize;
};

class GridTransferTest : public GridWindowTest {
 protected:
  void Fill2x2() {
    grid.SetItemText(1, 1, L"a");
    grid.SetItemText(1, 2, L"b");
    grid.SetItemText(2, 1, L"c");
    grid.SetItemText(2, 2, L"d");
  }
};

TEST_F(GridTransferTest, CopyingASelectionGivesTabsAndLineBreaks) {
  MakeGrid(5, 4, 1, 1);
  Fill2x2();
  grid.SetSelectedRange(1, 1, 2, 2);
  std::unique_ptr<COleDataSource> pSource(grid.CopySelectionToDataSource());
  ASSERT_NE(pSource, nullptr);
  EXPECT_EQ(SourceBytes(pSource.get()), std::string("a\tb\r\nc\td\0", 9));
}

TEST_F(GridTransferTest, CopyingKeepsTheShapeOfTheRange) {
  MakeGrid(5, 4, 1, 1);
  Fill2x2();
  grid.SetItemState(1, 1, GRIDIS_SELECTED);
  grid.SetItemState(2, 2, GRIDIS_SELECTED);
  std::unique_ptr<COleDataSource> pSource(grid.CopySelectionToDataSource());
  ASSERT_NE(pSource, nullptr);
  EXPECT_EQ(SourceBytes(pSource.get()), std::string("a\t\r\n\td\0", 7));
}

TEST_F(GridTransferTest, NothingSelectedCopiesNothing) {
  MakeGrid(5, 4, 1, 1);
  EXPECT_EQ(grid.CopySelectionToDataSource(), nullptr);
}

TEST_F(GridTransferTest, NonAsciiTextIsCopiedInTheAnsiCodePage) {
  MakeGrid(3, 3, 1, 1);
  grid.SetItemText(1, 1, L"caf\u00E9");
  grid.SetSelectedRange(1, 1, 1, 1);
  std::unique_ptr<COleDataSource> pSource(grid.CopySelectionToDataSource());
  char expected[8] = {};
  ::WideCharToMultiByte(CP_ACP, 0, L"caf\u00E9", -1, expected, sizeof(expected), nullptr, nullptr);
  EXPECT_EQ(SourceBytes(pSource.get()), std::string(expected, strlen(expected) + 1));
}

struct PasteCase {
  const char* name;
  const char* text;
  int row, col;
  std::vector<std::pair<CGridCellId, const wchar_t*>> expected;
};

class GridPasteTest : public GridWindowTest, public ::testing::WithParamInterface<PasteCase> {};

TEST_P(GridPasteTest, PastesFieldsIntoCells) {
  const PasteCase& c = GetParam();
  MakeGrid(5, 4, 1, 1);
  CTextOffer offer(c.text);
  ASSERT_TRUE(grid.PasteTextAt(c.row, c.col, offer.Object(), TRUE));
  for (const auto& [cell, text] : c.expected)
    EXPECT_EQ(grid.GetItemText(cell.row, cell.col), CString(text)) << cell.row << "," << cell.col;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, GridPasteTest,
    ::testing::Values(
        PasteCase{"Comma", "x,y", 1, 1, {{CGridCellId(1, 1), L"x"}, {CGridCellId(1, 2), L"y"}}},
        PasteCase{"Tab", "x\ty", 1, 1, {{CGridCellId(1, 1), L"x"}, {CGridCellId(1, 2), L"y"}}},
        PasteCase{"Lines", "a\tb\r\nc\td", 2, 2,
                  {{CGridCellId(2, 2), L"a"}, {CGridCellId(2, 3), L"b"}, {CGridCellId(3, 2), L"c"},
                   {CGridCellId(3, 3), L"d"}}},
        PasteCase{"Trimmed", "  p  , q ", 1, 1, {{CGridCellId(1, 1), L"p"}, {CGridCellId(1, 2), L"q"}}},
        PasteCase{"EmptyField", "m,,n", 1, 1,
                  {{CGridCellId(1, 1), L"m"}, {CGridCellId(1, 2), L""}, {CGridCellId(1, 3), L"n"}}},
        PasteCase{"TrailingSeparator", "m,", 1, 2, {{CGridCellId(1, 2), L"m"}, {CGridCellId(1, 3), L"1,3"}}},
        PasteCase{"PastTheLastColumn", "1,2,3,4", 1, 2,
                  {{CGridCellId(1, 2), L"1"}, {CGridCellId(1, 3), L"2"}, {CGridCellId(1, 1), L"1,1"}}},
        PasteCase{"PastTheLastRow", "r\ns\nt\nu\nv", 3, 1,
                  {{CGridCellId(3, 1), L"r"}, {CGridCellId(4, 1), L"s"}, {CGridCellId(2, 1), L"2,1"}}}),
    [](const ::testing::TestParamInfo<PasteCase>& info) { return std::string(info.param.name); });

TEST_F(GridTransferTest, PastingSelectsWhatItFilledAndSkipsHiddenRows) {
  MakeGrid(6, 4, 1, 1);
  grid.SetRowHeight(2, 0);
  CTextOffer offer("a\nb");
  ASSERT_TRUE(grid.PasteTextAt(1, 1, offer.Object(), TRUE));
  EXPECT_EQ(grid.GetItemText(1, 1), CString(L"a"));
  EXPECT_EQ(grid.GetItemText(2, 1), CString(L"2,1"));
  EXPECT_EQ(grid.GetItemText(3, 1), CString(L"b"));
  EXPECT_EQ(grid.GetSelectedCellRange(), CGridCellRange(1, 1, 3, 1));
}

TEST_F(GridTransferTest, TextWithoutATerminatorIsReadOnlyToTheEndOfItsBlock) {
  MakeGrid(3, 3, 1, 1);
  grid.SetColumnWidth(1, 200);
  CTextOffer offer("abc", false);
  ASSERT_TRUE(grid.PasteTextAt(1, 1, offer.Object(), FALSE));
  const CString pasted = grid.GetItemText(1, 1);
  EXPECT_EQ(static_cast<SIZE_T>(pasted.GetLength()), offer.BlockSize());
  EXPECT_EQ(pasted.Left(3), CString(L"abc"));
}

TEST_F(GridTransferTest, PastingIsRefusedWhereEditingIs) {
  MakeGrid(4, 4, 1, 1);
  CTextOffer offer("x");
  EXPECT_FALSE(grid.PasteTextAt(9, 9, offer.Object(), TRUE));
  grid.SetItemState(1, 1, grid.GetItemState(1, 1) | GRIDIS_READONLY);
  EXPECT_FALSE(grid.PasteTextAt(1, 1, offer.Object(), TRUE));
  // A read-only cell inside a paste keeps its text; the rest goes on.
  CTextOffer wide("p,q");
  grid.SetItemState(2, 2, grid.GetItemState(2, 2) | GRIDIS_READONLY);
  ASSERT_TRUE(grid.PasteTextAt(2, 1, wide.Object(), TRUE));
  EXPECT_EQ(grid.GetItemText(2, 1), CString(L"p"));
  EXPECT_EQ(grid.GetItemText(2, 2), CString(L"2,2"));
  // The parent may refuse each cell.
  parent.answerEndEdit = -1;
  CTextOffer refused("no");
  ASSERT_TRUE(grid.PasteTextAt(3, 3, refused.Object(), TRUE));
  EXPECT_EQ(grid.GetItemText(3, 3), CString(L"3,3"));
}

TEST_F(GridTransferTest, DeleteClearsSelectedCellsThroughTheParent) {
  MakeGrid(4, 4, 1, 1);
  Click(Centre(1, 1));
  grid.SetSelectedRange(1, 1, 1, 2);
  parent.Clear();
  Key(VK_DELETE);
  EXPECT_EQ(grid.GetItemText(1, 1), CString());
  EXPECT_EQ(grid.GetItemText(1, 2), CString());
  EXPECT_EQ(parent.Codes(), std::vector<int>({GRIDN_BEGINLABELEDIT, GRIDN_ENDLABELEDIT, GRIDN_BEGINLABELEDIT,
                                              GRIDN_ENDLABELEDIT}));
}

// ---- Drops ----

class GridDropTest : public GridTransferTest {
 protected:
  CGridDropTarget& Target() { return *grid.GetDropTarget(); }
};

TEST_F(GridDropTest, TheGridRegistersItsDropTarget) {
  MakeGrid(4, 4, 1, 1);
  grid.MoveWindow(0, 0, 310, 210);
  EXPECT_TRUE(Target().IsRegistered());
}

TEST_F(GridDropTest, DraggingOverHighlightsTheCellUnderThePointer) {
  MakeGrid(5, 4, 1, 1);
  grid.SetDragAndDrop(TRUE);
  CTextOffer offer("p\tq");
  EXPECT_EQ(Target().OnDragEnter(&grid, offer.Object(), 0, Centre(2, 2)), static_cast<DROPEFFECT>(DROPEFFECT_MOVE));
  EXPECT_TRUE(grid.GetItemState(2, 2) & GRIDIS_DROPHILITED);
  EXPECT_EQ(Target().OnDragOver(&grid, offer.Object(), MK_CONTROL, Centre(3, 1)),
            static_cast<DROPEFFECT>(DROPEFFECT_COPY));
  EXPECT_FALSE(grid.GetItemState(2, 2) & GRIDIS_DROPHILITED);
  EXPECT_TRUE(grid.GetItemState(3, 1) & GRIDIS_DROPHILITED);
  EXPECT_EQ(grid.GetDropHighlightCell(), CGridCellId(3, 1));
  EXPECT_EQ(Target().OnDragScroll(&grid, 0, Centre(3, 1)), static_cast<DROPEFFECT>(DROPEFFECT_MOVE));

  EXPECT_TRUE(Target().OnDrop(&grid, offer.Object(), DROPEFFECT_MOVE, Centre(3, 1)));
  EXPECT_EQ(grid.GetItemText(3, 1), CString(L"p"));
  EXPECT_EQ(grid.GetItemText(3, 2), CString(L"q"));
  EXPECT_FALSE(grid.GetItemState(3, 1) & GRIDIS_DROPHILITED);
  EXPECT_EQ(grid.GetSelectedCount(), 0);
}

TEST_F(GridDropTest, NoDropWhereItCannotGo) {
  MakeGrid(5, 4, 1, 1);
  CTextOffer offer("p");
  // Drag and drop off.
  EXPECT_EQ(grid.OnDragEnter(offer.Object(), 0, Centre(2, 2)), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
  grid.SetDragAndDrop(TRUE);
  // Over a header cell, over a read-only cell, outside the cells.
  EXPECT_EQ(grid.OnDragEnter(offer.Object(), 0, Centre(0, 2)), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
  grid.SetItemState(2, 2, grid.GetItemState(2, 2) | GRIDIS_READONLY);
  EXPECT_EQ(grid.OnDragEnter(offer.Object(), 0, Centre(2, 2)), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
  EXPECT_EQ(grid.OnDragEnter(offer.Object(), 0, Centre(1, 1)), static_cast<DROPEFFECT>(DROPEFFECT_MOVE));
  EXPECT_EQ(grid.OnDragOver(offer.Object(), 0, CPoint(290, 190)), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
  EXPECT_EQ(grid.GetDropHighlightCell(), CGridCellId(-1, -1));
  EXPECT_FALSE(grid.GetItemState(1, 1) & GRIDIS_DROPHILITED);
  EXPECT_FALSE(grid.OnDrop(offer.Object(), DROPEFFECT_MOVE, CPoint(290, 190)));
  // Another window's events are not the grid's.
  EXPECT_EQ(Target().OnDragEnter(&parent, offer.Object(), 0, Centre(1, 1)), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
}

// ---- Sorting ----

struct SortCase {
  const char* name;
  std::vector<const wchar_t*> texts;
  BOOL ascending;
  std::vector<const wchar_t*> expected;
};

class GridSortTest : public GridWindowTest, public ::testing::WithParamInterface<SortCase> {};

TEST_P(GridSortTest, SortsRowsByAColumn) {
  const SortCase& c = GetParam();
  const int rows = static_cast<int>(c.texts.size()) + 1;
  MakeGrid(rows, 3, 1, 1);
  for (int row = 1; row < rows; row++) {
    grid.SetItemText(row, 1, c.texts[row - 1]);
    grid.SetItemData(row, 2, row);
    grid.SetRowHeight(row, 10 + row);
  }
  ASSERT_TRUE(grid.SortTextItems(1, c.ascending));
  for (int row = 1; row < rows; row++) {
    EXPECT_EQ(grid.GetItemText(row, 1), CString(c.expected[row - 1])) << row;
    // Each row moves whole: its other cells and its height go with it.
    const int from = static_cast<int>(grid.GetItemData(row, 2));
    EXPECT_EQ(CString(c.texts[from - 1]), grid.GetItemText(row, 1));
    EXPECT_EQ(grid.GetRowHeight(row), 10 + from);
  }
  EXPECT_EQ(grid.GetItemText(0, 1), CString(L"0,1"));
}

INSTANTIATE_TEST_SUITE_P(
    Orders, GridSortTest,
    ::testing::Values(SortCase{"Ascending", {L"pear", L"apple", L"fig", L"kiwi"}, TRUE, {L"apple", L"fig", L"kiwi", L"pear"}},
                      SortCase{"Descending", {L"pear", L"apple", L"fig", L"kiwi"}, FALSE, {L"pear", L"kiwi", L"fig", L"apple"}},
                      SortCase{"Ordinal", {L"b", L"B", L"a", L"A"}, TRUE, {L"A", L"B", L"a", L"b"}},
                      SortCase{"Duplicates", {L"m", L"a", L"m", L"a", L"z"}, TRUE, {L"a", L"a", L"m", L"m", L"z"}},
                      SortCase{"AlreadySorted", {L"1", L"2", L"3"}, TRUE, {L"1", L"2", L"3"}}),
    [](const ::testing::TestParamInfo<SortCase>& info) { return std::string(info.param.name); });

int CALLBACK ByLength(CGridCellBase* a, CGridCellBase* b, LPARAM) {
  return static_cast<int>(wcslen(a->GetText())) - static_cast<int>(wcslen(b->GetText()));
}

TEST_F(GridTransferTest, SortingWithACompareFunctionOfTheCaller) {
  MakeGrid(4, 2, 1, 1);
  grid.SetItemText(1, 1, L"ccc");
  grid.SetItemText(2, 1, L"a");
  grid.SetItemText(3, 1, L"bb");
  grid.SetCompareFunction(ByLength);
  ASSERT_TRUE(grid.SortTextItems(1, TRUE));
  EXPECT_EQ(grid.GetItemText(1, 1), CString(L"a"));
  EXPECT_EQ(grid.GetItemText(3, 1), CString(L"ccc"));
}

TEST_F(GridTransferTest, SortingFewerThanTwoRowsChangesOnlySelectionAndSortColumn) {
  MakeGrid(2, 3, 1, 1);
  grid.SetSelectedRange(1, 1, 1, 2);
  grid.SetFocusCell(1, 1);
  EXPECT_FALSE(grid.SortTextItems(2, TRUE));
  EXPECT_EQ(grid.GetSortColumn(), 2);
  EXPECT_EQ(grid.GetSelectedCount(), 0);
  EXPECT_EQ(grid.GetFocusCell(), CGridCellId(-1, -1));
  EXPECT_EQ(grid.GetItemText(1, 1), CString(L"1,1"));
  EXPECT_FALSE(grid.SortTextItems(7, TRUE));  // no such column
}

TEST_F(GridTransferTest, EditingTheSortedColumnDropsTheSortMark) {
  MakeGrid(4, 3, 1, 1);
  grid.SortTextItems(1, TRUE);
  grid.SetItemText(2, 2, L"other column");
  EXPECT_EQ(grid.GetSortColumn(), 1);
  grid.SetItemText(2, 1, L"sorted column");
  EXPECT_EQ(grid.GetSortColumn(), -1);
}

}  // namespace
