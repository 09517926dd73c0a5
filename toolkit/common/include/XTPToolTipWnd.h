// The toolkit's own tip window. It answers the tooltip messages a CXTPToolTipContext sends
// (TTM_ADDTOOLW, TTM_DELTOOLW, TTM_ACTIVATE, TTM_RELAYEVENT, TTM_SETTITLEW,
// TTM_UPDATETIPTEXTW, TTM_WINDOWFROMPOINT, TTM_SETMAXTIPWIDTH, TTM_SETMARGIN,
// TTM_SETTIPBKCOLOR, TTM_SETTIPTEXTCOLOR, TTM_SETDELAYTIME) and draws the tip itself: an
// optional title line over a separator, the text word-wrapped, on a plain (kind 2) or
// gradient (kind 4) background. CXTPToolTipRichWnd (kind 3) shows the text as rich text.
//
// A tip shows after the initial delay (500 ms), or at once when the last show or hide was
// within the reshow time (200 ms); a click on a tool hides its tip until the mouse leaves
// that tool. While a tip shows, a process-wide mouse hook hides it when the mouse leaves
// the tool's window.
#pragma once

#include <framework.h>

#include <vector>

#include "XTPToolTipContext.h"

// A toolkit child window that answers this message with 1 is see-through for tips: the
// window under the cursor is taken to be its parent.
#define WM_XTP_TIPTRANSPARENT 10824

// One tool of the tip window.
struct XTP_TOOLTIP_TOOL {
  CString strText;
  BOOL bCallback = FALSE;  // the text is asked for with TTN_GETDISPINFOW
  UINT uFlags = 0;
  CRect rect{0, 0, 0, 0};  // in hwnd's client coordinates (unused for TTF_IDISHWND)
  HINSTANCE hinst = nullptr;
  HWND hwnd = nullptr;
  UINT_PTR uId = static_cast<UINT_PTR>(-1);

  // "No tool": hwnd null and uId -1.
  BOOL IsNone() const { return hwnd == nullptr && uId == static_cast<UINT_PTR>(-1); }
  void Clear() { *this = XTP_TOOLTIP_TOOL(); }
  BOOL IsTool(HWND hWnd, UINT_PTR nId) const { return hwnd == hWnd && uId == nId; }
};

class CXTPToolTipWnd : public CWnd {
  DECLARE_DYNAMIC(CXTPToolTipWnd)

 public:
  // nStyle: the tip kind (xtpToolTipDrawn, xtpToolTipRichText or xtpToolTipGradient).
  explicit CXTPToolTipWnd(CXTPToolTipContext* pContext = nullptr, int nStyle = xtpToolTipDrawn);
  ~CXTPToolTipWnd() override;

  // A popup tip window (WS_POPUP | dwStyle | TTS_ALWAYSTIP, WS_EX_TOOLWINDOW) owned by
  // pWndOwner, in a window class with saved bits and its own DC, and a drop shadow when
  // bDropShadow is set.
  BOOL Create(CWnd* pWndOwner, DWORD dwStyle, BOOL bDropShadow);

  // ---- State ----
  BOOL IsActive() const { return m_bActive; }
  int GetTipKind() const { return m_nStyle; }
  int GetToolCount() const { return static_cast<int>(m_arrTools.size()); }
  // The tool whose tip shows (none when hidden), the tool a click hid, and the tool that
  // waits for the initial delay.
  const XTP_TOOLTIP_TOOL& GetCurrentTool() const { return m_toolCurrent; }
  const XTP_TOOLTIP_TOOL& GetClickedTool() const { return m_toolClicked; }
  const XTP_TOOLTIP_TOOL& GetPendingTool() const { return m_toolPending; }
  CString GetTitle() const { return m_strTitle; }
  // The text the shown tip displays (after callback and mnemonic handling).
  CString GetTipText() const { return m_strTipText; }
  CFont* GetTipFont() { return &m_fntTip; }
  // The window whose mouse hook runs, null when none (one per process).
  static HWND GetHookWindow();

  // Initial delay and reshow time in milliseconds.
  int GetInitialDelay() const { return m_nInitialDelay; }
  int GetReshowDelay() const { return m_nReshowDelay; }

 protected:
  // ---- Parts a variant replaces ----
  // Size of the tip for the text (title included); 0,0 hides.
  virtual CSize CalcToolTipSize(CDC* pDC, const CString& strText);
  // Background and frame of the client rectangle.
  virtual void DrawBackground(CDC* pDC, CRect rc);
  // Title, separator and text inside the client rectangle.
  virtual void DrawContent(CDC* pDC, CRect rc);

  // ---- Behaviour ----
  // Handles a mouse message passed on by TTM_RELAYEVENT (only while active).
  void RelayEvent(const MSG* pMsg);
  // The tool at the cursor, or null: none while a button is down.
  XTP_TOOLTIP_TOOL* HitTestTools(POINT ptScreen);
  // The window under a screen point by the see-through rule of WM_XTP_TIPTRANSPARENT.
  static HWND WindowFromPointRule(POINT ptScreen);
  void ShowTool(const XTP_TOOLTIP_TOOL& tool);
  void HideTip();
  XTP_TOOLTIP_TOOL* FindTool(HWND hWnd, UINT_PTR nId);
  // The tool's text: the stored text or the owner's answer to TTN_GETDISPINFOW.
  CString GetToolText(const XTP_TOOLTIP_TOOL& tool);
  // Rectangle the text goes into: client minus margins minus 3 on each side.
  CRect GetTextRect(CRect rcClient) const;
  COLORREF GetBackColor() const;
  COLORREF GetTextColor() const;
  void InstallHook();
  void RemoveHook();
  static LRESULT CALLBACK MouseHookProc(int nCode, WPARAM wParam, LPARAM lParam);

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void PostNcDestroy() override;

  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  afx_msg void OnDestroy();
  afx_msg void OnPaint();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg LRESULT OnNcHitTest(CPoint point);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  DECLARE_MESSAGE_MAP()

  std::vector<XTP_TOOLTIP_TOOL> m_arrTools;
  BOOL m_bActive;
  CXTPToolTipContext* m_pContext;
  int m_nStyle;
  XTP_TOOLTIP_TOOL m_toolCurrent;
  XTP_TOOLTIP_TOOL m_toolClicked;
  XTP_TOOLTIP_TOOL m_toolPending;
  CFont m_fntTip;
  UINT_PTR m_nTimer;
  DWORD m_dwLastChange;  // GetTickCount of the last show or hide
  int m_nInitialDelay;
  int m_nReshowDelay;
  CString m_strTitle;
  CString m_strTipText;
  int m_nMaxTipWidth;
  CRect m_rcMargin;
  COLORREF m_clrBack;  // -1: the colour manager's tooltip background
  COLORREF m_clrText;  // -1: the colour manager's tooltip text
};

// Kind 3: the text shown by a read-only rich-edit child, as RTF when it parses and as plain
// text otherwise; the width is the narrowest that keeps the height of a middle-width probe.
class CXTPToolTipRichWnd : public CXTPToolTipWnd {
  DECLARE_DYNAMIC(CXTPToolTipRichWnd)

 public:
  explicit CXTPToolTipRichWnd(CXTPToolTipContext* pContext = nullptr);
  ~CXTPToolTipRichWnd() override;

  CWnd* GetRichEdit() { return &m_wndRichEdit; }

 protected:
  CSize CalcToolTipSize(CDC* pDC, const CString& strText) override;
  void DrawContent(CDC* pDC, CRect rc) override;
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  // Size the rich edit asks for at a width (EN_REQUESTRESIZE).
  CSize ProbeWidth(int nWidth);

  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
  DECLARE_MESSAGE_MAP()

  CWnd m_wndRichEdit;
  CSize m_szRequested;  // last EN_REQUESTRESIZE answer
};
