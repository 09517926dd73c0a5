// Tooltips for toolkit windows without a tooltip control of their own.
//
// The owner window keeps a CXTPToolTipContext and passes every message to
// FilterToolTipMessage before handling it. The context asks the owner which tool is under
// the cursor (CWnd::OnToolHitTest, which fills the record through FillInToolInfo), makes
// the tip window on demand, keeps exactly one tool registered in it, and shows, switches or
// cancels the tip. The tip window is the common tooltip control (kinds 0 and 1) or the
// toolkit's own drawn CXTPToolTipWnd (kinds 2 to 4).
#pragma once

#include <framework.h>

class CXTPToolTipWnd;

// Tip kinds (SetStyle).
enum XTPToolTipStyle {
  xtpToolTipStandard = 0,  // common tooltip control
  xtpToolTipBalloon = 1,   // common tooltip control, balloon shape
  xtpToolTipDrawn = 2,     // own window: plain background, frame, optional title line
  xtpToolTipRichText = 3,  // own window showing the text as rich text (RTF or plain)
  xtpToolTipGradient = 4,  // own window with the colour theme's gradient background
};

// Sizes of the hit-test record an owner's OnToolHitTest fills: the short form, and the
// long form whose lParam points at an XTP_TOOLTIP_TEXTS block for a title and description.
#define XTP_TOOLINFO_SIZE TTTOOLINFOW_V1_SIZE
#define XTP_TOOLINFO_EX_SIZE TTTOOLINFOW_V2_SIZE

// uFlags bits of the hit-test record that only the context reads; they are removed before
// the record reaches the tip window.
#define XTP_TTF_ACTIVATE 0x40000000u      // show the tip even when the owner is inactive
#define XTP_TTF_CONTEXTFLAGS 0xC0000000u  // both private bits

// The title and description of a long hit-test record (the record's lParam points here).
// FillInToolInfo stores heap copies (calloc) that the context frees.
struct XTP_TOOLTIP_TEXTS {
  LPWSTR lpszTitle;
  LPWSTR lpszDescription;
};

class CXTPToolTipContext : public CCmdTarget {
  DECLARE_DYNAMIC(CXTPToolTipContext)

 public:
  CXTPToolTipContext();
  ~CXTPToolTipContext() override;  // destroys the tip window

  // ---- Properties, set before tips show ----
  // Kind of tip window (XTPToolTipStyle). A change takes effect with the next tip window.
  void SetStyle(int nStyle);
  int GetStyle() const { return m_nStyle; }
  // Asks owners for the long record (title and description) and gives tips a title line
  // with the icon (TTI_* of TTM_SETTITLE, TTI_INFO by default).
  void ShowTitleAndDescription(BOOL bShowTitle = TRUE, int nTitleIcon = TTI_INFO);
  BOOL IsShowTitleAndDescription() const { return m_bShowTitle; }
  void SetTitleIcon(int nTitleIcon) { m_nTitleIcon = nTitleIcon; }
  int GetTitleIcon() const { return m_nTitleIcon; }
  // Widest tip in pixels (half the screen by default).
  void SetMaxTipWidth(int nWidth);
  int GetMaxTipWidth() const { return m_nMaxTipWidth; }
  // Space between the tip's frame and its text.
  void SetMargin(const RECT& rcMargin);
  CRect GetMargin() const { return m_rcMargin; }
  // Delays (TTDT_INITIAL, TTDT_RESHOW or TTDT_AUTOPOP) in milliseconds; -1 leaves the tip
  // window's own value.
  void SetDelayTime(DWORD dwDuration, int nTime);
  int GetDelayTime(DWORD dwDuration) const;
  // Tip colours; (COLORREF)-1 leaves the default (the common control's own, or the colour
  // manager's tooltip colours for the own window).
  void SetTipBkColor(COLORREF clr);
  COLORREF GetTipBkColor() const { return m_clrTipBack; }
  void SetTipTextColor(COLORREF clr);
  COLORREF GetTipTextColor() const { return m_clrTipText; }

  // Tip window style bits (TTS_*; TTS_NOPREFIX by default). A change destroys an existing
  // tip window so that the next one is made with the new style.
  void ModifyToolTipStyle(DWORD dwRemove, DWORD dwAdd);
  DWORD GetToolTipStyle() const { return m_dwToolTipStyle; }

  // The common-controls version, (major << 16) | minor, read at construction (0 when
  // unknown). Decides drop shadows and titles; settable so that both answers can be tried.
  DWORD GetComCtlVersion() const { return m_dwComCtlVersion; }
  void SetComCtlVersion(DWORD dwVersion) { m_dwComCtlVersion = dwVersion; }

  // ---- Use ----
  // Fills the hit-test record for an owner's OnToolHitTest: window, rectangle, id and a
  // heap copy of the text (any record at least XTP_TOOLINFO_SIZE long); a long record with
  // an XTP_TOOLTIP_TEXTS block behind lParam also gets copies of a non-empty title and
  // description. uFlags stay as the caller set them. Nothing for a null or short record.
  static void FillInToolInfo(TTTOOLINFOW* pToolInfo, HWND hWnd, CRect rect, UINT_PTR nId,
                             const CString& strText, const CString& strTitle = CString(),
                             const CString& strDescription = CString());
  // Lets the tips of pWndOwner's tools follow one of its messages; call it first thing
  // for every message the owner handles. The cursor position is read at the call.
  void FilterToolTipMessage(CWnd* pWndOwner, UINT message, WPARAM wParam, LPARAM lParam);
  void FilterToolTipMessage(CWnd* pWndOwner, MSG* pMsg);
  // Hides the current tip (TTM_ACTIVATE FALSE to an existing tip window).
  void CancelToolTips();

  // The tip window, null before the first tip (a CToolTipCtrl for kinds 0 and 1, a
  // CXTPToolTipWnd for the others).
  CWnd* GetToolTip() const { return m_pToolTip; }
  // The tool last registered in the tip window (hwnd null when none).
  const TTTOOLINFOW& GetLastTool() const { return m_lastTool; }

 protected:
  // Makes the tip window of the current kind, owned by pWndOwner; null when it fails.
  virtual CWnd* CreateToolTip(CWnd* pWndOwner);
  // Destroys and deletes the tip window, forgetting the last tool.
  void DestroyToolTip();
  // Sets a new tip window up from the properties.
  void SetupToolTip(CWnd* pToolTip);
  // Passes a message on to the tip window (TTM_RELAYEVENT), addressed to the window under
  // the cursor with a client-relative point for mouse messages.
  static void RelayToTip(CWnd* pToolTip, const MSG* pMsg);
  // Frees the heap copies FillInToolInfo gave a record (a callback text is left alone).
  static void FreeToolInfoTexts(TTTOOLINFOW* pToolInfo, XTP_TOOLTIP_TEXTS* pTexts);

  BOOL m_bShowTitle;
  int m_nStyle;
  DWORD m_dwComCtlVersion;
  int m_nTitleIcon;
  int m_nMaxTipWidth;
  DWORD m_dwToolTipStyle;
  CRect m_rcMargin;
  int m_nDelayInitial;
  int m_nDelayReshow;
  int m_nDelayAutoPop;
  CWnd* m_pToolTip;       // owned
  TTTOOLINFOW m_lastTool;  // XTP_TOOLINFO_EX_SIZE; its texts are not kept (lpszText null)
  COLORREF m_clrTipBack;
  COLORREF m_clrTipText;
};
