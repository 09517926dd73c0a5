// The frame's status bar (CXTPStatusBar) over the common status control, with panes that
// are objects of their own (CXTPStatusBarPane) and the child window class a pane may
// carry (CXTPStatusBarPaneWnd). The toolkit lays the panes out itself and draws them
// through the command bars' paint manager when one is in use.
#pragma once

#include <framework.h>

class CXTPCommandBars;
class CXTPImageManager;
class CXTPImageManagerIcon;
class CXTPPaintManager;
class CXTPStatusBar;
class CXTPToolTipContext;

// Pane styles (SBPS_NOBORDERS 0x100, SBPS_POPOUT 0x200, SBPS_DISABLED 0x4000000,
// SBPS_STRETCH 0x8000000) are the framework's.

// ---------------------------------------------------------------------------------------
class CXTPStatusBarPane : public CCmdTarget {
  DECLARE_DYNAMIC(CXTPStatusBarPane)

 public:
  CXTPStatusBarPane();
  ~CXTPStatusBarPane() override;

  // --- overridable operations, in this order ---
  // The pane's own font when created, else the bar's.
  virtual CFont* GetTextFont();
  // The pane's icon from the command bars' (or the global) image manager; null for none.
  virtual CXTPImageManagerIcon* GetImage();
  // Draws the pane's icon and text into rc.
  virtual void Draw(CDC* pDC, CRect rc);

  CString GetText() const { return m_strText; }
  UINT GetStyle() const { return m_nStyle; }
  UINT GetID() const { return m_nID; }
  int GetWidth() const { return m_cxText; }
  CXTPStatusBar* GetStatusBar() const { return m_pStatusBar; }
  CString GetTooltip() const { return m_strToolTip; }
  void SetTooltip(LPCTSTR lpszTooltip) { m_strToolTip = lpszTooltip; }
  BOOL IsVisible() const { return m_bVisible; }
  // Shows or hides the pane; the bar lays its panes out again.
  void SetVisible(BOOL bVisible);
  int GetIndex() const { return m_nIndex; }
  int GetVisibleIndex() const { return m_nVisibleIndex; }
  COLORREF GetTextColor() const { return m_clrText; }
  void SetTextColor(COLORREF clr) { m_clrText = clr; }
  COLORREF GetBackgroundColor() const { return m_clrBackground; }
  void SetBackgroundColor(COLORREF clr) { m_clrBackground = clr; }
  int GetTextAlignment() const { return m_nAlignment; }
  void SetTextAlignment(int nAlignment) { m_nAlignment = nAlignment; }
  int GetIconId() const { return m_nIconId; }
  void SetIconId(int nIconId) { m_nIconId = nIconId; }
  HWND GetChildWindow() const { return m_hWndPane; }
  // A window placed over the pane; bAutoDelete: destroyed with the pane.
  void SetChildWindow(HWND hWnd, BOOL bAutoDelete = FALSE);
  CFont* GetOwnFont() { return &m_fntText; }

  UINT m_nID;
  int m_cxText;
  UINT m_nStyle;
  UINT m_nFlags;  // bit 0: the text still has to reach the control
  CString m_strText;
  BOOL m_bVisible;
  COLORREF m_clrText;
  COLORREF m_clrBackground;
  CString m_strToolTip;
  HWND m_hWndPane;
  BOOL m_bAutoDeleteWnd;
  int m_nAlignment;
  CXTPStatusBar* m_pStatusBar;
  int m_nIndex;
  int m_nVisibleIndex;
  CFont m_fntText;
  int m_nIconId;

 protected:
  CWnd* m_pWndPaneObject;  // the framework object of an owned child window, deleted with the pane
};

// ---------------------------------------------------------------------------------------
class CXTPStatusBar : public CControlBar {
  DECLARE_DYNAMIC(CXTPStatusBar)

 public:
  CXTPStatusBar();
  ~CXTPStatusBar() override;

  BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
              UINT nID = AFX_IDW_STATUS_BAR);
  BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = AFX_IDW_STATUS_BAR);

  // Panes from command ids: a non-zero id takes its text and width from the string
  // table; id 0 is the message pane. FALSE at the first id without a string.
  BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
  // A new pane at the end (or at nIndex) with its text from the string table when there
  // is one; null when the index is out of range.
  CXTPStatusBarPane* AddIndicator(UINT nID, int nIndex = -1);

  int CommandToIndex(UINT nIDFind) const;
  int GetPaneCount() const { return (int)m_arrPanes.GetSize(); }
  int GetVisiblePaneCount() const;
  CXTPStatusBarPane* GetPane(int nIndex) const;
  CXTPStatusBarPane* FindPane(UINT nID) const;
  UINT GetItemID(int nIndex) const;
  void GetItemRect(int nIndex, LPRECT lpRect) const;
  UINT GetPaneStyle(int nIndex) const;
  void SetPaneStyle(int nIndex, UINT nStyle);
  CString GetPaneText(int nIndex) const;
  BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
  // The text width of a pane; SetPaneWidth lays the panes out again.
  int GetPaneWidth(int nIndex) const;
  void SetPaneWidth(int nIndex, int cxText);
  void RemoveAll();
  // Lays the panes out (rectangles) and sends pending texts (text).
  void UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText);
  // Places the panes' child windows over their rectangles.
  void PositionControls();

  // Draw through the paint manager (TRUE by default); else the control draws itself.
  void UseCommandBarsTheme(BOOL bUse) { m_bUsePaintManager = bUse; }
  void SetCommandBars(CXTPCommandBars* pCommandBars) { m_pCommandBars = pCommandBars; }
  CXTPCommandBars* GetCommandBars() const { return m_pCommandBars; }
  // The paint manager in use: the command bars' own, else the current global one; null
  // when there is none or drawing through it is off.
  CXTPPaintManager* GetPaintManager() const;
  CXTPImageManager* GetImageManager() const;
  CFont* GetFont() { return &m_fontStatus; }
  int GetMinHeight() const { return m_nMinHeight; }
  CXTPToolTipContext* GetToolTipContext() const { return m_pToolTipContext; }

  virtual void DrawPaneEntry(CDC* pDC, int nIndex, CRect rect);
  virtual void DrawStretch(CDC* pDC, CRect& rcClient);

  CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
  void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
  INT_PTR OnToolHitTest(CPoint point, TTTOOLINFOW* pTI) const override;

  // Text width of a pane's text in the bar font, with room for its icon.
  int CalcPaneTextWidth(CXTPStatusBarPane* pPane);

 protected:
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  BOOL HasSizeGrip() const;
  void PaintPanes(CDC* pDC);

  CArray<CXTPStatusBarPane*, CXTPStatusBarPane*> m_arrPanes;
  int m_nMinHeight;
  CFont m_fontStatus;
  BOOL m_bUsePaintManager;
  CXTPCommandBars* m_pCommandBars;
  BOOL m_bFlag;
  CXTPToolTipContext* m_pToolTipContext;
};

// ---------------------------------------------------------------------------------------
// A child window for a pane: fills its client with the face colour and draws itself.
class CXTPStatusBarPaneWnd : public CWnd {
  DECLARE_DYNCREATE(CXTPStatusBarPaneWnd)

 public:
  CXTPStatusBarPaneWnd();
  ~CXTPStatusBarPaneWnd() override;

  BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

 protected:
  virtual void DoPaint(CDC* pDC, CRect rcClient);
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
