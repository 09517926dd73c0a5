// The contacts of the chosen folder as cards: a read-only grid of five columns where each
// contact takes one tall card cell with its name in the short dark row above, and the
// alphabet bar along the right edge.
#pragma once

#include "AlphabetBar.h"
#include "GridCtrl.h"

class CContactGridPane : public CStatic {
 public:
  // Card kinds: only contacts fill their card; other kinds leave the slot empty.
  static constexpr int kKindContact = 4;
  static constexpr int kColumns = 5;
  static constexpr int kColumnWidth = 130;
  static constexpr int kNameRowHeight = 20;
  static constexpr int kCardRowHeight = 150;
  static constexpr COLORREF kNameRowBack = RGB(0, 0, 0);
  static constexpr COLORREF kNameRowText = RGB(0xFF, 0xFF, 0xFF);
  static constexpr COLORREF kCardRowBack = 0xE1FFFF;
  static constexpr COLORREF kGridBack = 0xE6FFFF;
  static constexpr int kNameImage = 4;
  static constexpr UINT kCellFormat = DT_WORDBREAK;

  CContactGridPane();
  ~CContactGridPane() override;

  // Safe from any thread: the change is carried out on the pane's own thread, so a
  // listing never races the painting of the grid.
  void AddContact(int nReserved, CString strCard, int nKind, CString strName);
  void ClearContacts();
  int LastRowIndex() const;
  void ResetGrid();

  CGridCtrl& GetGrid() { return m_Grid; }
  CAlphabetBar& GetAlphabetBar() { return m_AlphaBar; }
  // The font the cards and names are written in: the toolkit's normal font.
  const LOGFONTW& GetCellFont() const { return m_lfUi; }
  int GetCardCounter() const { return m_nCardCounter; }

 protected:
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnPaint();
  afx_msg void OnEnable(BOOL bEnable);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnGridClick(NMHDR* pNotifyStruct, LRESULT* pResult);
  afx_msg void OnGridIgnored(NMHDR* pNotifyStruct, LRESULT* pResult);
  afx_msg LRESULT OnPaneCall(WPARAM wParam, LPARAM lParam);
  DECLARE_MESSAGE_MAP()

 private:
  struct ContactArgs;
  void AddContactHere(const CString& strCard, int nKind, const CString& strName);
  void ClearContactsHere();
  void SetupColumn(int nColumn, LPCTSTR szText);
  void SetCellText(int nRow, int nColumn, LPCTSTR szText, int nImage);
  void AddNameRow(int nRow);
  const LOGFONTW& UiFont() const { return m_lfUi; }

  CGridCtrl m_Grid;
  CAlphabetBar m_AlphaBar;
  int m_nCardCounter = 0;
  LOGFONTW m_lfUi{};
};
