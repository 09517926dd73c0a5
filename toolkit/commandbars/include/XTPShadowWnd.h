// One drop-shadow window of a popup: a top-level window along the bottom (horizontal) or
// the right edge of its owner bar. It follows the owner through the hook manager (hides,
// shows and dies with it) and never takes the mouse (HTTRANSPARENT). With layered windows
// it is a 4-pixel alpha gradient made in WM_SIZE; else a solid 2-pixel band.
#pragma once

#include <framework.h>

#include "XTPHookable.h"

class CXTPCommandBar;
class CXTPShadowManager;

class CXTPShadowWnd : public CWnd, public CXTPHookable {
  DECLARE_DYNAMIC(CXTPShadowWnd)

 public:
  CXTPShadowWnd();
  ~CXTPShadowWnd() override;

  // Follows the owner: WM_SHOWWINDOW hides or shows, WM_DESTROY removes the shadow.
  int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam,
                    LRESULT& lResult) override;

  // Builds the alpha bitmap for the window's size and applies it (layered windows only).
  // FALSE when there is nothing to apply (no size, no owner, no layered windows).
  BOOL UpdateLayeredShadow(int cx, int cy);
  // Fills the 32-bit bottom-up pixel rows (w x h) of the alpha bitmap.
  static void ComputeAlphaBits(DWORD* pBits, int cx, int cy, BOOL bHorizontal,
                               BOOL bThemeShadow, COLORREF clrShadow);

  BOOL IsHorizontal() const { return m_bHorizontal; }
  BOOL IsThemeShadow() const { return m_bThemeShadow; }
  CXTPCommandBar* GetOwnerBar() const { return m_pOwner; }

  // Fields after the window.
  BOOL m_bHorizontal;   // bottom shadow
  BOOL m_bThemeShadow;  // the owner's paint manager asks for shadows whatever the system
  CXTPCommandBar* m_pOwner;

 protected:
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnPaint();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg LRESULT OnNcHitTest(CPoint point);

  DECLARE_MESSAGE_MAP()

  friend class CXTPShadowManager;
};
