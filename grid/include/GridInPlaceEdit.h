// The single-line edit a grid cell opens over itself. It reports its text to the grid
// when it loses the focus, together with the key that closed it, and deletes itself when
// its window goes.
#pragma once

#include "GridTypes.h"

class CGridInPlaceEdit : public CEdit {
  DECLARE_DYNAMIC(CGridInPlaceEdit)

 public:
  // Opens an edit over rect in pParent's client area. Null when the window cannot be
  // made; the object is then already gone.
  static CGridInPlaceEdit* Open(CWnd* pParent, const CRect& rect, DWORD dwStyle, UINT nID, int nRow, int nColumn,
                                const CString& sInitText, UINT nFirstChar);

  void EndEdit();
  UINT GetLastKey() const { return m_nLastChar; }
  int GetRow() const { return m_nRow; }
  int GetColumn() const { return m_nColumn; }

 protected:
  CGridInPlaceEdit(const CRect& rect, int nRow, int nColumn, const CString& sInitText, UINT nFirstChar);
  BOOL CreateOver(CWnd* pParent, DWORD dwStyle, UINT nID);
  void Start(UINT nFirstChar);

  BOOL PreTranslateMessage(MSG* pMsg) override;
  void PostNcDestroy() override;

  afx_msg void OnKillFocus(CWnd* pNewWnd);
  afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
  afx_msg UINT OnGetDlgCode();
  DECLARE_MESSAGE_MAP()

 private:
  void CloseWithKey(UINT nKey);
  void GrowToFitText();

  int m_nRow;
  int m_nColumn;
  CString m_sInitText;
  UINT m_nLastChar = 0;
  BOOL m_bExitOnArrows;
  CRect m_Rect;
};
