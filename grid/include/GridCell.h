// The grid's ordinary cell, and the default cells from which ordinary cells take what
// they leave unset.
#pragma once

#include <memory>

#include "GridCellBase.h"

class CGridCell : public CGridCellBase {
  DECLARE_DYNCREATE(CGridCell)

 public:
  CGridCell();
  ~CGridCell() override;
  CGridCell(const CGridCell&) = delete;

  using CGridCellBase::operator=;

  void SetText(LPCTSTR szText) override { m_strText = szText ? szText : L""; }
  void SetImage(int nImage) override { m_nImage = nImage; }
  void SetData(LPARAM lParam) override { m_lParam = lParam; }
  void SetFormat(DWORD nFormat) override { m_nFormat = nFormat; }
  void SetTextClr(COLORREF clr) override { m_crFgClr = clr; }
  void SetBackClr(COLORREF clr) override { m_crBkClr = clr; }
  void SetFont(const LOGFONTW* plf) override;
  void SetMargin(UINT nMargin) override { m_nMargin = nMargin; }
  void SetGrid(CGridCtrl* pGrid) override { m_pGrid = pGrid; }
  void SetCoords(int /*nRow*/, int /*nCol*/) override {}

  LPCTSTR GetText() const override { return m_strText.GetString(); }
  int GetImage() const override { return m_nImage; }
  LPARAM GetData() const override { return m_lParam; }
  DWORD GetFormat() const override;
  COLORREF GetTextClr() const override { return m_crFgClr; }
  COLORREF GetBackClr() const override { return m_crBkClr; }
  const LOGFONTW* GetFont() const override;
  CFont* GetFontObject() const override;
  CGridCtrl* GetGrid() const override { return m_pGrid; }
  CWnd* GetEditWnd() const override { return m_pEditWnd; }
  UINT GetMargin() const override;

  BOOL IsDefaultFont() const override { return m_plfFont == nullptr; }
  BOOL IsEditing() const override { return m_bEditing; }

  void Reset() override;

  BOOL Edit(int nRow, int nCol, CRect rect, CPoint point, UINT nID, UINT nChar) override;
  void EndEdit() override;
  void OnEndEdit() override;

 protected:
  CString m_strText;
  LPARAM m_lParam;
  int m_nImage;
  DWORD m_nFormat;
  COLORREF m_crFgClr;
  COLORREF m_crBkClr;
  std::unique_ptr<LOGFONTW> m_plfFont;
  UINT m_nMargin;
  BOOL m_bEditing;
  CGridCtrl* m_pGrid;
  CWnd* m_pEditWnd;

 private:
  void ResetCell();
};

class CGridDefaultCell : public CGridCell {
  DECLARE_DYNCREATE(CGridDefaultCell)

 public:
  CGridDefaultCell();
  ~CGridDefaultCell() override = default;

  using CGridCellBase::operator=;

  // A default cell is a template, not a place in the grid: it holds no data, keeps no
  // state of its own and never takes part in editing.
  void SetData(LPARAM /*lParam*/) override {}
  void SetState(DWORD /*nState*/) override {}
  DWORD GetState() const override { return CGridCell::GetState() | GRIDIS_READONLY; }
  void SetFont(const LOGFONTW* plf) override;
  const LOGFONTW* GetFont() const override { return m_plfFont.get(); }
  CFont* GetFontObject() const override;

  virtual DWORD GetStyle() const { return m_dwStyle; }
  virtual void SetStyle(DWORD dwStyle) { m_dwStyle = dwStyle; }
  virtual int GetWidth() const { return m_Size.cx; }
  virtual int GetHeight() const { return m_Size.cy; }
  virtual void SetWidth(int nWidth) { m_Size.cx = nWidth; }
  virtual void SetHeight(int nHeight) { m_Size.cy = nHeight; }

 protected:
  CSize m_Size;
  mutable CFont m_Font;
  DWORD m_dwStyle;
};
