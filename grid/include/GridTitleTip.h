// A borderless tip window that shows the whole text of a grid cell whose text is cut off.
// It follows the mouse out of the cell and passes clicks and keys on to the grid.
#pragma once

#include "GridTypes.h"

#define GRID_TITLETIP_CLASSNAME L"ZTitleTip"

class CGridTitleTip : public CWnd {
  DECLARE_DYNAMIC(CGridTitleTip)

 public:
  CGridTitleTip();
  ~CGridTitleTip() override;

  BOOL Create(CWnd* pParentWnd);
  void SetParentWnd(CWnd* pParentWnd) { m_pParentWnd = pParentWnd; }
  CWnd* GetParentWnd() const { return m_pParentWnd; }

  // rectTitle and lpHoverRect are in the grid's client coordinates.
  void Show(CRect rectTitle, LPCTSTR lpszTitleText, int xoffset = 0, LPRECT lpHoverRect = nullptr,
            const LOGFONTW* lpLogFont = nullptr, COLORREF crTextClr = CLR_DEFAULT, COLORREF crBackClr = CLR_DEFAULT);
  void Hide();
  BOOL DestroyWindow() override;
  BOOL PreTranslateMessage(MSG* pMsg) override;

  // The text as the tip shows it (padding added, semicolons turned into line breaks).
  const CString& GetShownText() const { return m_strText; }

 protected:
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnPaint();
  DECLARE_MESSAGE_MAP()

 private:
  void DrawTip(CDC* pDC);
  void ForwardMouse(UINT message, WPARAM wParam, CPoint screenPoint, bool bDoubleClick);

  CWnd* m_pParentWnd = nullptr;
  CRect m_rectTitle;
  CRect m_rectHover;
  DWORD m_dwLastLButtonDown = 0xFFFFFFFF;
  DWORD m_dwDblClickMsecs;
  BOOL m_bCreated = FALSE;

  // What the tip shows, kept for repainting.
  CString m_strText;
  CFont m_Font;
  COLORREF m_crText = CLR_DEFAULT;
  COLORREF m_crBack = CLR_DEFAULT;
};
