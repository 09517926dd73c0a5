// The custom control of command bars: an arbitrary child window of the application (for
// example a dialog control) placed inside a bar. The control reserves the window's size
// plus borders in the layout, makes the window a child of the bar and moves it over the
// control's rectangle; where the window cannot show (a vertical bar, customize mode) the
// control behaves as an ordinary button.
#pragma once

#include "XTPControlButton.h"
#include "XTPHookable.h"

class CXTPControlCustom : public CXTPControlButton {
  DECLARE_SERIAL(CXTPControlCustom)

 public:
  // What the control does in a vertical bar.
  enum { xtpVerticalHide = 0, xtpVerticalShow = 1, xtpVerticalButton = 2 };

  CXTPControlCustom();
  ~CXTPControlCustom() override;  // leaves the hook manager

  // A custom control hosting the window (may be null).
  static CXTPControlCustom* AFX_CDECL CreateControlCustom(CWnd* pWndChild);

  void SetEnabled(BOOL bEnabled) override;
  void SetRect(CRect rcControl) override;
  void SetHideFlags(DWORD dwFlags) override;
  CSize GetSize(CDC* pDC) override;
  void Draw(CDC* pDC) override;
  void OnBarLayout(DWORD dwLayoutFlags) override;
  void DoPropExchange(CXTPPropExchange* pPX) override;
  void Copy(CXTPControl* pControl, BOOL bRecursive = FALSE) override;
  void OnClick(BOOL bKeyboard = FALSE, CPoint pt = CPoint(0, 0)) override;
  BOOL AcceptsDrop(CXTPCommandBar* pCommandBar, CPoint point, DROPEFFECT* pDropEffect) override;
  CXTPControl* Clone(BOOL bRecursive = FALSE) override;

  // The hosted window; its size becomes the control size.
  void SetControl(CWnd* pWnd);
  void SetControl(HWND hWnd);
  HWND GetControl() const { return m_hwndControl; }
  void SetBorders(int cxLeft = 0, int cyTop = 0, int cxRight = 0, int cyBottom = 0);
  CRect GetBorders() const { return m_rcBorders; }
  void SetSize(CSize szControl) { m_szControl = szControl; }
  CSize GetControlSize() const { return m_szControl; }
  void SetVerticalPositionOption(int nOption) { m_verticalOptions = nOption; }
  int GetVerticalPositionOption() const { return m_verticalOptions; }
  void SetControlId(int nId) { m_nControlID = nId; }
  int GetControlId() const { return m_nControlID; }
  BOOL IsWindowShown() const { return m_bControlVisible; }
  // After loading: finds the window with the control id among the site's dialog items,
  // else in each command bar window; TRUE when found.
  BOOL AttachByControlId();

  // Hot tracking over the hosted window: its mouse moves go to the bar too.
  class CHookPart : public CXTPHookable {
   public:
    CXTPControlCustom* m_pControl = NULL;
    int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam,
                      LRESULT& lResult) override;
  };

 protected:
  void ShowHostedWindow(BOOL bShow);

  CHookPart m_hookPart;
  HWND m_hwndControl;
  CRect m_rcBorders;
  BOOL m_bControlVisible;
  CSize m_szControl;
  int m_verticalOptions;
  int m_nControlID;
};
