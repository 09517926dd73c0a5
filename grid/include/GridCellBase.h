// The abstract cell of a grid: a state word, and the drawing, measuring and editing that
// every kind of cell shares. What a cell leaves unset it takes from the grid's default
// cell for its kind (normal, fixed row, fixed column, fixed corner).
#pragma once

#include "GridTypes.h"

class CGridCtrl;

class CGridCellBase : public CObject {
  DECLARE_DYNAMIC(CGridCellBase)

 public:
  CGridCellBase() = default;
  ~CGridCellBase() override = default;

  // Attributes.
  virtual void SetText(LPCTSTR szText) = 0;
  virtual void SetImage(int nImage) = 0;
  virtual void SetData(LPARAM lParam) = 0;
  virtual void SetState(DWORD nState) { m_nState = nState; }
  virtual void SetFormat(DWORD nFormat) = 0;
  virtual void SetTextClr(COLORREF clr) = 0;
  virtual void SetBackClr(COLORREF clr) = 0;
  virtual void SetFont(const LOGFONTW* plf) = 0;
  virtual void SetMargin(UINT nMargin) = 0;
  virtual void SetGrid(CGridCtrl* pGrid) = 0;
  virtual void SetCoords(int nRow, int nCol) = 0;

  virtual LPCTSTR GetText() const = 0;
  virtual LPCTSTR GetTipText() const { return GetText(); }
  virtual int GetImage() const = 0;
  virtual LPARAM GetData() const = 0;
  virtual DWORD GetState() const { return m_nState; }
  virtual DWORD GetFormat() const = 0;
  virtual COLORREF GetTextClr() const = 0;
  virtual COLORREF GetBackClr() const = 0;
  virtual const LOGFONTW* GetFont() const = 0;
  virtual CFont* GetFontObject() const = 0;
  virtual CGridCtrl* GetGrid() const = 0;
  virtual CWnd* GetEditWnd() const = 0;
  virtual UINT GetMargin() const = 0;
  virtual CGridCellBase* GetDefaultCell() const;

  virtual BOOL IsDefaultFont() const = 0;
  virtual BOOL IsEditing() const = 0;
  virtual BOOL IsFocused() const { return (GetState() & GRIDIS_FOCUSED) != 0; }
  virtual BOOL IsFixed() const { return (GetState() & GRIDIS_FIXED) != 0; }
  virtual BOOL IsFixedCol() const { return (GetState() & GRIDIS_FIXEDCOL) != 0; }
  virtual BOOL IsFixedRow() const { return (GetState() & GRIDIS_FIXEDROW) != 0; }
  virtual BOOL IsSelected() const { return (GetState() & GRIDIS_SELECTED) != 0; }
  virtual BOOL IsReadOnly() const { return (GetState() & GRIDIS_READONLY) != 0; }
  virtual BOOL IsModified() const { return (GetState() & GRIDIS_MODIFIED) != 0; }
  virtual BOOL IsDropHighlighted() const { return (GetState() & GRIDIS_DROPHILITED) != 0; }

  // Copies every attribute as stored: a value that stands for "the default" stays one.
  virtual CGridCellBase& operator=(const CGridCellBase& cell);
  virtual void Reset() { m_nState = 0; }

  // Drawing and measuring.
  virtual BOOL Draw(CDC* pDC, int nRow, int nCol, CRect rect, BOOL bEraseBkgnd = TRUE);
  virtual BOOL GetTextRect(LPRECT pRect);
  virtual BOOL GetTipTextRect(LPRECT pRect) { return GetTextRect(pRect); }
  virtual CSize GetTextExtent(LPCTSTR szText, CDC* pDC = nullptr);
  virtual CSize GetCellExtent(CDC* pDC);

  // Editing.
  virtual BOOL Edit(int nRow, int nCol, CRect rect, CPoint point, UINT nID, UINT nChar);
  virtual BOOL ValidateEdit(LPCTSTR /*str*/) { return TRUE; }
  virtual void EndEdit() {}

  virtual BOOL PrintCell(CDC* pDC, int nRow, int nCol, CRect rect);

  // Notifications from the grid. Only OnMouseOver, OnEndEdit and the four point hooks
  // are called; the others are hooks for derived cells.
  virtual void OnEndEdit() {}
  virtual void OnMouseEnter() {}
  virtual void OnMouseOver() {}
  virtual void OnMouseLeave() {}
  virtual void OnClick(CPoint /*ptCellRelative*/) {}
  virtual void OnClickDown(CPoint /*ptCellRelative*/) {}
  virtual void OnRClick(CPoint /*ptCellRelative*/) {}
  virtual void OnDblClick(CPoint /*ptCellRelative*/) {}
  virtual BOOL OnSetCursor();

 protected:
  // The image of this cell in the grid's image list, when there is one: its size.
  BOOL GetImageSize(CSize& size) const;

 private:
  void DrawSortMark(CDC* pDC, const CRect& rect, BOOL bAscending, BOOL bVertical);

  DWORD m_nState = 0;
};
