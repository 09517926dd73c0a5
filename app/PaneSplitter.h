// A child window that holds two panes side by side (vertical mode) or one above the other
// (horizontal mode) and lets the user move the boundary between them with the mouse. While
// the boundary is dragged an inverted bar follows the mouse; the panes move on release.
// Escape during a drag cancels it. In horizontal mode the lower pane can be collapsed (the
// upper one then fills the window) and expanded again. When the window is destroyed the
// positions are written to the application's profile.
#pragma once

#include <framework.h>

class CPaneSplitter : public CStatic {
  DECLARE_DYNAMIC(CPaneSplitter)

 public:
  // Style bits that choose the mode.
  static constexpr DWORD kVertical = 0x1;
  static constexpr DWORD kHorizontal = 0x2;
  static constexpr int kBarWidth = 5;
  static constexpr int kInitialSize = 200;
  static constexpr COLORREF kTrackerColor = 0xCDC0AC;
  // Profile sections (followed by the identifier in decimal) and values.
  static const wchar_t kVertSection[];   // "splt\init_v"
  static const wchar_t kHorizSection[];  // "splt\init_h"
  static const wchar_t kVertValue[];     // "VertSplitPos"
  static const wchar_t kHorizValue[];    // "HorizSplitPos"

  CPaneSplitter();
  ~CPaneSplitter() override;

  // Creates the splitter and makes pane1 and pane2 its children (their owner stays
  // pParent). Style bit kVertical: pane1 left, pane2 right, min1/min2 minimum widths; bit
  // kHorizontal: pane1 top, pane2 bottom, min1/min2 minimum heights.
  BOOL Create(DWORD dwStyle, CWnd* pParent, CWnd* pPane1, CWnd* pPane2, UINT nID, const RECT& rect, int nMin1,
              int nMin2);

  // Horizontal mode only: hide the lower pane and let the upper one fill the window, or
  // show it again at its last height. Safe to call from the window's own thread only.
  void CollapseBottom();
  void ExpandBottom();

  void LayoutVertical(int x);
  void LayoutHorizontal(int y);
  void ClampX(int& x);
  void ClampY(int& y);

  BOOL IsVertical() const { return m_bVertical; }
  BOOL IsHorizontal() const { return m_bHorizontal; }
  BOOL IsBottomCollapsed() const { return m_bBottomCollapsed; }
  BOOL IsDragging() const { return m_bDragV || m_bDragH; }
  int GetLeftWidth() const { return m_nLeftWidth; }
  int GetBottomHeight() const { return m_nBottomHeight; }
  const CRect& GetVertBarRect() const { return m_rcVertBar; }
  const CRect& GetHorizBarRect() const { return m_rcHorizBar; }
  const CRect& GetLeftRect() const { return m_rcLeft; }
  const CRect& GetRightRect() const { return m_rcRight; }
  const CRect& GetTopRect() const { return m_rcTop; }
  const CRect& GetBottomRect() const { return m_rcBottom; }

  BOOL PreTranslateMessage(MSG* pMsg) override;

 protected:
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;

  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnDestroy();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnCaptureChanged(CWnd* pWnd);
  DECLARE_MESSAGE_MAP()

 private:
  void SetupVertical();
  void SetupHorizontal();
  void MovePane(CWnd* pPane, const CRect& rc);
  // Draws (or, drawn again, erases) the inverted bar at the current drag position.
  void DrawTracker(BOOL bVertical, int nPos);
  void CancelDrag();
  void EndDrag();

  CWnd* m_pLeft = nullptr;
  CWnd* m_pRight = nullptr;
  CWnd* m_pTop = nullptr;
  CWnd* m_pBottom = nullptr;
  int m_nMinLeft = 0;
  int m_nMinRight = 0;
  int m_nMinTop = 0;
  int m_nMinBottom = 0;
  int m_nBarWidth = kBarWidth;
  UINT m_nID = 0;
  int m_nLeftWidth = 0;
  int m_nBottomHeight = 0;
  CRect m_rcVertBar;
  CRect m_rcHorizBar;
  CRect m_rcLeft;
  CRect m_rcRight;
  CRect m_rcTop;
  CRect m_rcBottom;
  BOOL m_bVertical = FALSE;
  BOOL m_bHorizontal = FALSE;
  // Drag state per direction.
  BOOL m_bDragV = FALSE;
  BOOL m_bDragH = FALSE;
  BOOL m_bCapturedV = FALSE;
  BOOL m_bCapturedH = FALSE;
  int m_nStartX = 0;
  int m_nLastX = 0;
  int m_nStartY = 0;
  int m_nLastY = 0;
  CRect m_rcTrackerV;
  CRect m_rcTrackerH;
  HWND m_hFocusBeforeDrag = nullptr;
  BOOL m_bBottomCollapsed = FALSE;
  BOOL m_bLiveResize = FALSE;
  CBrush m_brTracker;
  // Set while this window gives up the capture itself, so the capture-change handler does
  // not treat it as the drag being taken away.
  BOOL m_bReleasing = FALSE;
};
