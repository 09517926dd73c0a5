// The selector control: a grid of cells from which the user picks a size (columns, rows).
#pragma once

#include "XTPControl.h"

class CXTPControlSelector : public CXTPControl {
  DECLARE_SERIAL(CXTPControlSelector)

 public:
  CXTPControlSelector();
  ~CXTPControlSelector() override;

  CSize GetSize(CDC* pDC) override;
  void Draw(CDC* pDC) override;
  void OnBarLayout(DWORD dwLayoutFlags) override;
  void DoPropExchange(CXTPPropExchange* pPX) override;
  void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
  void OnLButtonUp(CPoint point) override;
  void OnMouseMove(CPoint point) override;
  BOOL OnSelectionChanged(int nSelected) override;
  CXTPControl* Clone(BOOL bRecursive = FALSE) override;

  // Draws one cell's content; nothing in the base.
  virtual void DrawCell(CDC* pDC, CRect rc, COLORREF clrText);

  // Stores the highlighted cell (on change or with bForce), redraws, notifies 4102.
  void SetSelection(int nColumns, int nRows, BOOL bForce = FALSE);

  CSize m_szItemsCount;    // [5, 4] "ItemsCount"
  CSize m_szItemsMax;      // [12, 12] "ItemsMax"
  CSize m_szItem;          // [28, 28] "ItemSize"
  CSize m_szSelected;      // highlighted columns and rows
  CSize m_szResult;        // the picked cell
  CSize m_szItemsVisible;  // grid now shown
  BOOL m_bLockUpdate;
};
