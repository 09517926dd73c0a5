// A grid window: a table of cells whose first rows and columns may be fixed headers that
// do not scroll, with selection, in-place editing, title tips for cut-off texts, sorting
// by a column, clipboard text and OLE drag and drop.
#pragma once

#include <memory>
#include <vector>

#include "GridCell.h"
#include "GridSelection.h"
#include "GridTypes.h"

#define GRIDCTRL_CLASSNAME L"MFCGridCtrl"

// The control id the in-place edit reports with.
#define IDC_GRID_INPLACE_EDIT 8

// The standard edit commands the grid answers.
#ifndef ID_EDIT_COPY
#define ID_EDIT_COPY 0xE122
#define ID_EDIT_CUT 0xE123
#define ID_EDIT_PASTE 0xE125
#define ID_EDIT_SELECT_ALL 0xE12A
#endif

class CGridTitleTip;
class CGridDropTarget;

class CGridCtrl : public CWnd {
  DECLARE_DYNCREATE(CGridCtrl)

 public:
  explicit CGridCtrl(int nRows = 0, int nCols = 0, int nFixedRows = 0, int nFixedCols = 0);
  ~CGridCtrl() override;

  BOOL Create(const RECT& rect, CWnd* pParentWnd, UINT nID, DWORD dwStyle = WS_CHILD | WS_BORDER | WS_TABSTOP | WS_VISIBLE);

  // ---- Counts and sizes ----
  int GetRowCount() const { return m_nRows; }
  int GetColumnCount() const { return m_nCols; }
  int GetFixedRowCount() const { return m_nFixedRows; }
  int GetFixedColumnCount() const { return m_nFixedCols; }
  BOOL SetRowCount(int nRows = 10);
  BOOL SetColumnCount(int nCols = 10);
  BOOL SetFixedRowCount(int nFixedRows = 1);
  BOOL SetFixedColumnCount(int nFixedCols = 1);

  int GetRowHeight(int nRow) const;
  int GetColumnWidth(int nCol) const;
  BOOL SetRowHeight(int row, int height);
  BOOL SetColumnWidth(int col, int width);
  int GetFixedRowHeight() const;
  int GetFixedColumnWidth() const;
  long GetVirtualHeight() const { return m_nTotalHeight; }
  long GetVirtualWidth() const { return m_nTotalWidth; }

  // ---- Options and colours ----
  void SetBackgroundColour(COLORREF clr) { m_crWindowColour = clr; }
  COLORREF GetBackgroundColour() const { return m_crWindowColour; }
  void SetGridLineColour(COLORREF clr) { m_crGridLineColour = clr; }
  COLORREF GetGridLineColour() const { return m_crGridLineColour; }
  void SetTitleTipBackClr(COLORREF clr = CLR_DEFAULT) { m_crTTipBackClr = clr; }
  COLORREF GetTitleTipBackClr() const { return m_crTTipBackClr; }
  void SetTitleTipTextClr(COLORREF clr = CLR_DEFAULT) { m_crTTipTextClr = clr; }
  COLORREF GetTitleTipTextClr() const { return m_crTTipTextClr; }

  void SetGridLines(int nWhichLines = GRIDLINES_BOTH) { m_nGridLines = nWhichLines; }
  int GetGridLines() const { return m_nGridLines; }
  void SetEditable(BOOL bEditable = TRUE) { m_bEditable = bEditable; }
  BOOL IsEditable() const { return m_bEditable; }
  void SetListMode(BOOL bEnableListMode = TRUE) { m_bListMode = bEnableListMode; }
  BOOL GetListMode() const { return m_bListMode; }
  void SetSingleRowSelection(BOOL bSing = TRUE) { m_bSingleRowSelection = bSing; }
  BOOL GetSingleRowSelection() const { return m_bSingleRowSelection; }
  void SetSingleColSelection(BOOL bSing = TRUE) { m_bSingleColSelection = bSing; }
  BOOL GetSingleColSelection() const { return m_bSingleColSelection; }
  void EnableSelection(BOOL bEnable = TRUE) {
    ResetSelectedRange();  // while selecting still works, so that nothing stays selected
    m_bEnableSelection = bEnable;
  }
  BOOL IsSelectable() const { return m_bEnableSelection; }
  void SetFixedColumnSelection(BOOL bSelect) { m_bFixedColumnSelection = bSelect; }
  BOOL GetFixedColumnSelection() const { return m_bFixedColumnSelection; }
  void SetFixedRowSelection(BOOL bSelect) { m_bFixedRowSelection = bSelect; }
  BOOL GetFixedRowSelection() const { return m_bFixedRowSelection; }
  void SetDragAndDrop(BOOL bAllow) { m_bAllowDragAndDrop = bAllow; }
  BOOL GetDragAndDrop() const { return m_bAllowDragAndDrop; }
  void SetRowResize(BOOL bResize = TRUE) { m_bAllowRowResize = bResize; }
  BOOL GetRowResize() const { return m_bAllowRowResize; }
  void SetColumnResize(BOOL bResize = TRUE) { m_bAllowColumnResize = bResize; }
  BOOL GetColumnResize() const { return m_bAllowColumnResize; }
  void SetHandleTabKey(BOOL bHandleTab = TRUE) { m_bHandleTabKey = bHandleTab; }
  BOOL GetHandleTabKey() const { return m_bHandleTabKey; }
  void SetDoubleBuffering(BOOL bBuffer = TRUE) { m_bDoubleBuffer = bBuffer; }
  BOOL GetDoubleBuffering() const { return m_bDoubleBuffer; }
  void EnableTitleTips(BOOL bEnable = TRUE) { m_bTitleTips = bEnable; }
  BOOL GetTitleTips() const { return m_bTitleTips; }
  void SetSortOnHeaderClick(BOOL bSort = TRUE) { m_bSortOnClick = bSort; }
  BOOL GetSortOnHeaderClick() const { return m_bSortOnClick; }
  void SetHiddenColUnhide(BOOL bUnhide = TRUE) { m_bHiddenColUnhide = bUnhide; }
  BOOL GetHiddenColUnhide() const { return m_bHiddenColUnhide; }
  void SetHiddenRowUnhide(BOOL bUnhide = TRUE) { m_bHiddenRowUnhide = bUnhide; }
  BOOL GetHiddenRowUnhide() const { return m_bHiddenRowUnhide; }
  void SetTrackFocusCell(BOOL bTrack) { m_bTrackFocusCell = bTrack; }
  BOOL GetTrackFocusCell() const { return m_bTrackFocusCell; }
  void SetFrameFocusCell(BOOL bFrame) { m_bFrameFocus = bFrame; }
  BOOL GetFrameFocusCell() const { return m_bFrameFocus; }
  void SetAutoSizeStyle(int nStyle = GRID_AUTOSIZE_BOTH) { m_nAutoSizeColumnStyle = nStyle; }
  int GetAutoSizeStyle() const { return m_nAutoSizeColumnStyle; }
  void SetShadedPrintOut(BOOL bEnable = TRUE) { m_bShadedPrintOut = bEnable; }
  BOOL GetShadedPrintOut() const { return m_bShadedPrintOut; }
  void EnableWysiwygPrinting(BOOL bEnable = TRUE) { m_bWysiwygPrinting = bEnable; }
  BOOL GetWysiwygPrinting() const { return m_bWysiwygPrinting; }
  // The page layout of printing, in lines and characters of the print font: header and
  // footer lines, left, right, top and bottom margins, and the gap between the header (or
  // footer) and the cells.
  void SetPrintLayout(int nHeaderLines, int nFooterLines, int nLeftMargin, int nRightMargin, int nTopMargin,
                      int nBottomMargin, int nGap);
  void SetRedraw(BOOL bAllowDraw, BOOL bResetScrollBars = FALSE);
  BOOL GetRedraw() const { return m_bAllowDraw; }
  BOOL IsModified(int nRow = -1, int nCol = -1);
  void SetModified(BOOL bModified = TRUE, int nRow = -1, int nCol = -1);
  int GetWheelScrollLines() const { return m_nRowsPerWheelNotch; }
  void SetWheelScrollLines(int nLines) { m_nRowsPerWheelNotch = nLines; }

  void SetImageList(CImageList* pList) { m_pImageList = pList; }
  CImageList* GetImageList() const { return m_pImageList; }

  // The class new cells are made of; FALSE unless it derives from the cell base.
  BOOL SetDefaultCellType(CRuntimeClass* pRuntimeClass);
  CRuntimeClass* GetDefaultCellType() const { return m_pRtcDefault; }

  // ---- Virtual mode ----
  void SetVirtualMode(BOOL bVirtual);
  BOOL GetVirtualMode() const { return m_bVirtualMode; }
  void SetCallbackFunc(GRIDCALLBACK pCallback, LPARAM lParam) {
    m_pfnCallback = pCallback;
    m_lParam = lParam;
  }

  // ---- Cells and items ----
  CGridCellBase* GetCell(int nRow, int nCol) const;
  CGridCellBase* GetDefaultCell(BOOL bFixedRow, BOOL bFixedCol) const;

  BOOL SetItem(const GRID_ITEM* pItem);
  BOOL GetItem(GRID_ITEM* pItem);
  BOOL SetItemText(int nRow, int nCol, LPCTSTR str);
  CString GetItemText(int nRow, int nCol) const;
  BOOL SetItemData(int nRow, int nCol, LPARAM lParam);
  LPARAM GetItemData(int nRow, int nCol) const;
  BOOL SetItemImage(int nRow, int nCol, int iImage);
  int GetItemImage(int nRow, int nCol) const;
  BOOL SetItemState(int nRow, int nCol, UINT state);
  UINT GetItemState(int nRow, int nCol) const;
  BOOL SetItemFormat(int nRow, int nCol, UINT nFormat);
  UINT GetItemFormat(int nRow, int nCol) const;
  BOOL SetItemBkColour(int nRow, int nCol, COLORREF cr = CLR_DEFAULT);
  COLORREF GetItemBkColour(int nRow, int nCol) const;
  BOOL SetItemFgColour(int nRow, int nCol, COLORREF cr = CLR_DEFAULT);
  COLORREF GetItemFgColour(int nRow, int nCol) const;
  BOOL SetItemFont(int nRow, int nCol, const LOGFONTW* lf);
  const LOGFONTW* GetItemFont(int nRow, int nCol);
  BOOL IsItemEditing(int nRow, int nCol);
  BOOL IsCellEditable(int nRow, int nCol) const;
  BOOL IsCellEditable(const CGridCellId& cell) const { return IsCellEditable(cell.row, cell.col); }
  BOOL IsCellSelected(int nRow, int nCol) const;
  BOOL IsCellSelected(const CGridCellId& cell) const { return IsCellSelected(cell.row, cell.col); }
  BOOL IsCellFixed(int nRow, int nCol) const { return nRow < m_nFixedRows || nCol < m_nFixedCols; }
  BOOL IsValid(int nRow, int nCol) const;
  BOOL IsValid(const CGridCellId& cell) const { return IsValid(cell.row, cell.col); }
  BOOL IsValid(const CGridCellRange& range) const;
  BOOL DeleteAllItems();

  // ---- Geometry ----
  CGridCellId GetFirstScrollableCell(BOOL bForceRecalculation = FALSE);
  CGridCellId GetTopleftNonFixedCell(BOOL bForceRecalculation = FALSE) {
    return GetFirstScrollableCell(bForceRecalculation);
  }
  CGridCellRange GetVisibleScrollableRange(LPRECT pRect = nullptr, BOOL bForceRecalculation = FALSE);
  BOOL GetCellOrigin(int nRow, int nCol, LPPOINT p);
  BOOL GetCellOrigin(const CGridCellId& cell, LPPOINT p) { return GetCellOrigin(cell.row, cell.col, p); }
  BOOL GetCellRect(int nRow, int nCol, LPRECT pRect);
  BOOL GetCellRect(const CGridCellId& cell, LPRECT pRect) { return GetCellRect(cell.row, cell.col, pRect); }
  CGridCellId HitTestCell(CPoint point, BOOL bAllowFixedCellCheck = TRUE);
  CPoint PointInCell(int nRow, int nCol, CPoint point);
  BOOL IsCellVisible(int nRow, int nCol);
  BOOL IsCellVisible(const CGridCellId& cell) { return IsCellVisible(cell.row, cell.col); }
  int GetScrollPosition(int nBar, BOOL bGetTrackPos = FALSE) const;
  void SetScrollPosition(int nBar, int nPos, BOOL bRedraw = TRUE);
  void ShowScrollBars(UINT nBar, BOOL bShow = TRUE);
  BOOL IsScrollBarShown(UINT nBar) const;
  int GetScrollMaximum(int nBar) const { return nBar == SB_HORZ ? m_nHScrollMax : m_nVScrollMax; }
  void UpdateScrollBars();
  void ResetScrollBars() { UpdateScrollBars(); }
  void EnsureVisible(int nRow, int nCol);
  void EnsureVisible(const CGridCellId& cell) { EnsureVisible(cell.row, cell.col); }
  BOOL AutoSizeColumn(int nCol, int nAutoSizeStyle = 0, BOOL bResetScroll = TRUE);
  BOOL AutoSizeRow(int nRow, BOOL bResetScroll = TRUE);
  BOOL RedrawCell(int nRow, int nCol, CDC* pDC = nullptr);
  BOOL RedrawCell(const CGridCellId& cell, CDC* pDC = nullptr) { return RedrawCell(cell.row, cell.col, pDC); }
  BOOL InvalidateCell(int nRow, int nCol);
  void Refresh();

  // ---- Selection and focus ----
  CGridCellId SetFocusCell(int nRow, int nCol);
  CGridCellId SetFocusCell(CGridCellId cell) { return SetFocusCell(cell.row, cell.col); }
  CGridCellId GetFocusCell() const { return m_idCurrentCell; }
  void SetSelectedRange(int nMinRow, int nMinCol, int nMaxRow, int nMaxCol,
                        BOOL bForceRepaint = FALSE, BOOL bSelectCells = TRUE);
  void SetSelectedRange(const CGridCellRange& range, BOOL bForceRepaint = FALSE, BOOL bSelectCells = TRUE);
  CGridCellRange GetSelectedCellRange() const;
  void ResetSelectedRange();
  int GetSelectedCount() const { return m_SelectedCellMap.GetCount(); }
  const CGridSelectionMap& GetSelectedCells() const { return m_SelectedCellMap; }
  void SelectAllCells();
  void SelectColumns(CGridCellId currentCell, BOOL bForceRedraw = FALSE, BOOL bSelectCells = TRUE);
  void SelectRows(CGridCellId currentCell, BOOL bForceRedraw = FALSE, BOOL bSelectCells = TRUE);
  void SelectCells(CGridCellId currentCell, BOOL bForceRedraw = FALSE, BOOL bSelectCells = TRUE);
  void OnSelecting(const CGridCellId& currentCell);
  int GetMouseMode() const { return m_MouseMode; }

  // ---- Sorting ----
  void SetSortColumn(int nCol);
  int GetSortColumn() const { return m_nSortColumn; }
  void SetSortAscending(BOOL bAscending) { m_bAscending = bAscending; }
  BOOL GetSortAscending() const { return m_bAscending; }
  void SetCompareFunction(PFNGRIDCOMPARE pfnCompare) { m_pfnCompare = pfnCompare; }
  BOOL SortTextItems(int nCol, BOOL bAscending, LPARAM data = 0);
  BOOL SortItems(PFNGRIDCOMPARE pfnCompare, int nCol, BOOL bAscending, LPARAM data = 0);
  static int CALLBACK CompareCellText(CGridCellBase* pFirst, CGridCellBase* pSecond, LPARAM lParam);

  // ---- Cell editing through the clipboard and the keyboard ----
  void SetCellTextChecked(int nRow, int nCol, LPCTSTR szText);

  // ---- Notifications to the owner ----
  LRESULT SendMessageToParent(int nRow, int nCol, int nMessage) const;
  LRESULT SendDisplayRequestToParent(GRID_DISPINFO* pDisplayInfo) const;
  LRESULT SendCacheHintToParent(const CGridCellRange& range) const;

  // ---- Overridables ----
  virtual void ClearSelectedText();
  virtual COleDataSource* CopySelectionToDataSource();
  virtual BOOL PasteTextAt(int nRow, int nCol, COleDataObject* pDataObject, BOOL bSelectPasted = TRUE);
  virtual void OnBeginDrag();
  virtual DROPEFFECT OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
  virtual DROPEFFECT OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point);
  virtual void OnDragLeave();
  virtual BOOL OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point);
  virtual void OnEditCut();
  virtual void OnEditCopy();
  virtual void OnEditPaste();
  virtual void OnEditSelectAll();
  // Printing, driven by a print job (see fw_print.h): OnBeginPrinting measures and sets the
  // page count, OnPrint prints pInfo->m_nCurPage, OnEndPrinting frees what the job used.
  // Every page repeats the header, the fixed rows and the fixed columns.
  virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
  virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
  virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
  // Prints row nRow at y: the fixed columns, then the page's columns.
  virtual void PrintRowCells(int nRow, CDC* pDC, int y);
  virtual void PrintColumnHeadings(CDC* pDC, CPrintInfo* pInfo);
  virtual void PrintHeader(CDC* pDC, CPrintInfo* pInfo);
  virtual void PrintFooter(CDC* pDC, CPrintInfo* pInfo);
  virtual void PrintRows(CDC* pDC, CPrintInfo* pInfo);
  virtual CImageList* CreateDragImage(CPoint* pHotSpot);
  virtual void OnFixedColumnClick(CGridCellId& cell);
  virtual void OnFixedRowClick(CGridCellId& cell);
  virtual void OnEditCell(int nRow, int nCol, CPoint point, UINT nChar);
  virtual void OnEndEditCell(int nRow, int nCol, CString str);
  virtual BOOL ValidateEdit(int nRow, int nCol, LPCTSTR str);
  virtual void EndEditing();
  virtual void OnDraw(CDC* pDC);
  virtual CGridCellBase* CreateCell(int nRow, int nCol);
  virtual void DestroyCell(int nRow, int nCol);

 protected:
  void PreSubclassWindow() override;

  // Message handlers.
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnCaptureChanged(CWnd* pWnd);
  afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg LRESULT OnImeChar(WPARAM wCharCode, LPARAM lParam);
  afx_msg UINT OnGetDlgCode();
  afx_msg void OnSysColorChange();
  afx_msg LRESULT OnSetFont(WPARAM hFont, LPARAM lParam);
  afx_msg LRESULT OnGetFont(WPARAM hFont, LPARAM lParam);
  afx_msg void OnEndInPlaceEdit(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnUpdateEditCopy(CCmdUI* pCmdUI);
  afx_msg void OnUpdateEditCut(CCmdUI* pCmdUI);
  afx_msg void OnUpdateEditPaste(CCmdUI* pCmdUI);
  afx_msg void OnUpdateEditSelectAll(CCmdUI* pCmdUI);
  DECLARE_MESSAGE_MAP()

 public:
  // Mouse modes.
  enum eMouseModes {
    MOUSE_NOTHING = 0,
    MOUSE_SELECT_ALL = 1,
    MOUSE_SELECT_COL = 2,
    MOUSE_SELECT_ROW = 3,
    MOUSE_SELECT_CELLS = 4,
    MOUSE_OVER_ROW_DIVIDE = 6,
    MOUSE_SIZING_ROW = 7,
    MOUSE_OVER_COL_DIVIDE = 8,
    MOUSE_SIZING_COL = 9,
    MOUSE_PREPARE_EDIT = 10,
    MOUSE_PREPARE_DRAG = 11,
    MOUSE_DRAGGING = 12,
  };
  static const UINT_PTR kAutoScrollTimer = 513;

  // The drop-highlighted cell while something is dragged over the grid.
  CGridCellId GetDropHighlightCell() const { return m_LastDragOverCell; }
  CGridDropTarget* GetDropTarget() const { return m_DropTarget.get(); }

 protected:
  BOOL RegisterWindowClass();
  // Sets up a window just attached to the grid: edge, title tip owner, frame.
  void OnAttached();
  void ReadWheelScrollLines();
  void ApplyFontToDefaultCells(const LOGFONTW& lf);
  CGridCellBase* GetVirtualCell(int nRow, int nCol) const;
  BOOL MouseOverRowResizeArea(CPoint point);
  BOOL MouseOverColumnResizeArea(CPoint point);
  void RedrawFixedCellsOf(const CGridCellId& cell);
  void FillBackground(CDC* pDC, const CRect& clip);
  void DrawGridLines(CDC* pDC, const CGridCellRange& visible, const CRect& visibleRect);
  void InvalidateScrollable();
  void SetCellSelected(int nRow, int nCol, BOOL bSelect, const CGridCellRange& visible, CDC* pDC);
  BOOL QuickSortRows(PFNGRIDCOMPARE pfnCompare, int nCol, BOOL bAscending, LPARAM data, int low, int high);
  void SwapRows(int nRow1, int nRow2);
  void StartSizing(CPoint point);
  void InvertResizeLine(CDC* pDC, CPoint point, BOOL bVertical);
  void FinishSizing(CPoint point);
  void HandleKeyDown(UINT nChar);
  int NextVisibleRow(int nRow, int nStep, int nLimit) const;
  int NextVisibleCol(int nCol, int nStep, int nLimit) const;
  CWnd* GetNotifyTarget() const;
  void ShowTitleTipFor(const CGridCellId& cell);
  void HideTitleTip();
  BOOL HasClipboardText() const;
  void ResizeSizeArrays();
  // The width between the left and right print margins.
  int PrintableWidth() const { return m_LogicalPageSize.cx - (m_nLeftMargin + m_nRightMargin) * m_CharSize.cx; }

  // Colours.
  COLORREF m_crWindowText, m_crWindowColour, m_cr3DFace, m_crShadow;
  COLORREF m_crGridLineColour;
  COLORREF m_crTTipBackClr, m_crTTipTextClr;

  BOOL m_bCreating = FALSE;

  // Virtual mode.
  BOOL m_bVirtualMode = FALSE;
  LPARAM m_lParam = 0;
  GRIDCALLBACK m_pfnCallback = nullptr;

  int m_nGridLines = GRIDLINES_BOTH;
  BOOL m_bEditable = TRUE;
  BOOL m_bModified = FALSE;
  BOOL m_bAllowDragAndDrop = FALSE;
  BOOL m_bListMode = FALSE;
  BOOL m_bSingleRowSelection = FALSE;
  BOOL m_bSingleColSelection = FALSE;
  BOOL m_bAllowDraw = TRUE;
  BOOL m_bEnableSelection = TRUE;
  BOOL m_bFixedColumnSelection = TRUE;
  BOOL m_bFixedRowSelection = TRUE;
  BOOL m_bSortOnClick = FALSE;
  BOOL m_bHandleTabKey = TRUE;
  BOOL m_bDoubleBuffer = TRUE;
  BOOL m_bTitleTips = TRUE;
  UINT m_nBarState = 0;
  BOOL m_bWysiwygPrinting = FALSE;
  BOOL m_bHiddenColUnhide = TRUE;
  BOOL m_bHiddenRowUnhide = TRUE;
  BOOL m_bAllowColHide = TRUE;
  BOOL m_bAllowRowHide = TRUE;
  BOOL m_bTrackFocusCell = TRUE;
  BOOL m_bFrameFocus = TRUE;
  int m_nAutoSizeColumnStyle = GRID_AUTOSIZE_BOTH;

  int m_nRows = 0, m_nFixedRows = 0, m_nCols = 0, m_nFixedCols = 0;
  std::vector<UINT> m_arRowHeights, m_arColWidths;
  // Running sums of the two size arrays, kept in step with every change so that the
  // scroll bars never have to add up all rows again.
  long m_nTotalHeight = 0, m_nTotalWidth = 0;
  int m_nVScrollMax = 0, m_nHScrollMax = 0;

  CRuntimeClass* m_pRtcDefault;
  CGridDefaultCell m_cellDefault, m_cellFixedColDef, m_cellFixedRowDef, m_cellFixedRowColDef;
  CImageList* m_pImageList = nullptr;

  // One entry per row; each row holds one cell pointer per column, owned by the grid.
  using GridRow = std::vector<CGridCellBase*>;
  std::vector<std::unique_ptr<GridRow>> m_RowData;

  int m_MouseMode = MOUSE_NOTHING;
  BOOL m_bLMouseButtonDown = FALSE;
  CPoint m_LeftClickDownPoint, m_LastMousePoint;
  CGridCellId m_LeftClickDownCell, m_SelectionStartCell, m_idCurrentCell, m_idTopLeftCell;

  UINT_PTR m_nTimerID = 0;
  int m_nTimerInterval = 25;
  int m_nResizeCaptureRange = 3;
  BOOL m_bAllowRowResize = TRUE;
  BOOL m_bAllowColumnResize = TRUE;
  int m_nRowsPerWheelNotch = 3;

  CGridSelectionMap m_SelectedCellMap, m_PrevSelectedCellMap;

  std::unique_ptr<CGridTitleTip> m_TitleTip;
  CGridCellId m_LastDragOverCell;
  std::unique_ptr<CGridDropTarget> m_DropTarget;

  BOOL m_bAscending = TRUE;
  int m_nSortColumn = -1;
  PFNGRIDCOMPARE m_pfnCompare = nullptr;

  // Printing state, set by OnBeginPrinting and OnPrint; sizes are in the logical units of
  // the printed page.
  CFont m_PrinterFont;
  CSize m_CharSize;            // average character of the print font
  int m_nPageHeight = 0;       // height left for scrollable rows on a page
  CSize m_LogicalPageSize;
  CSize m_PrinterResolution;   // pixels per inch
  int m_nPageWidth = 0;        // width left for scrollable columns on a page
  int m_nCurrPrintCol = 0, m_nCurrPrintRow = 0;  // first scrollable column and row of the page
  int m_nPageMultiplier = 1;   // pages across

  // Read by the cells' printing.
  BOOL m_bShadedPrintOut = TRUE;
  // Printing layout, in lines and characters of the print font.
  int m_nHeaderHeight = 2, m_nFooterHeight = 2, m_nLeftMargin = 4, m_nRightMargin = 4, m_nTopMargin = 1,
      m_nBottomMargin = 1, m_nGap = 1;

  friend class CGridCell;
  friend class CGridCellBase;
  friend class CGridDropTarget;
};
