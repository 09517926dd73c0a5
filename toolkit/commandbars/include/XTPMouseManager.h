// The thread's mouse manager: while popup bars track, a WH_MOUSE hook of this thread
// closes them on a click elsewhere, forwards moves to them, drops repeated moves at the
// same point and simulates WM_MOUSELEAVE for hovered bars with a polling timer. One
// instance per thread, made on first use (XTPMouseManager()) and destroyed with the
// thread's local data.
#pragma once

#include <framework.h>

#include "XTPCommandBarsDefines.h"

class CXTPCommandBar;

class CXTPMouseManager {
 public:
  CXTPMouseManager();   // installs the thread's mouse hook
  ~CXTPMouseManager();  // removes it
  CXTPMouseManager(const CXTPMouseManager&) = delete;
  CXTPMouseManager& operator=(const CXTPMouseManager&) = delete;

  // Tracked bars (in the order they started tracking).
  void AddTrackingBar(CXTPCommandBar* pBar);
  void RemoveTrackingBar(CXTPCommandBar* pBar);
  void CloseAllTrackingBars();
  void CloseUnlockedTrackingBars();
  void LockTrackingBars(BOOL bLock);
  BOOL IsMouseLocked(const CXTPCommandBar* pBar = NULL) const;
  BOOL IsTrackedBar(const CXTPCommandBar* pBar) const;
  int GetTrackingBarCount() const { return (int)m_arrTracked.GetSize(); }
  CXTPCommandBar* GetTrackingBar(int nIndex) const;

  // A press inside a visible trusted window does not close the tracked bars.
  void AddTrustedWindow(HWND hWnd);
  void RemoveTrustedWindow(HWND hWnd);
  BOOL IsTrustedWindow(HWND hWnd) const;

  // Watches the window for the cursor leaving it (timer 113341, 50 ms); the window gets
  // WM_MOUSELEAVE once it has.
  void TrackMouseLeave(HWND hWnd);
  // The watched window; null when none is watched or it was destroyed.
  HWND GetMouseLeaveWindow() const { return ::IsWindow(m_hWndLeave) ? m_hWndLeave : NULL; }

  static BOOL AFX_CDECL IsTopParentActive(HWND hWnd);

  // Lock count of the system's own modal mouse loops (tear-off drag).
  void LockMouseMove() { m_nLock++; }
  void UnlockMouseMove() { m_nLock--; }
  int GetLockCount() const { return m_nLock; }

  // Once a popup expanded to all commands, later popups open expanded until the last bar
  // leaves tracking.
  BOOL IsForceExpanded() const { return m_bForceExpanded; }
  void SetForceExpanded(BOOL bForceExpanded) { m_bForceExpanded = bForceExpanded; }

  // The next button-up is swallowed (a press that opened a popup).
  void IgnoreLButtonUp() { m_bIgnoreLButtonUp = TRUE; }
  BOOL IsIgnoreLButtonUp() const { return m_bIgnoreLButtonUp; }

  // The bar that most recently selected a control.
  void SetSelected(CXTPCommandBar* pBar) { m_pSelected = pBar; }
  CXTPCommandBar* GetSelected() const { return m_pSelected; }

  HHOOK GetHook() const { return m_hHookMouse; }

  // The click handling for one mouse message at a screen point while bars track.
  void HandleClickOutside(UINT nMessage, POINT point);

  // The thread's last mouse point (shared with the hook procedure).
  static POINT GetLastMousePoint();
  static void SetLastMousePoint(POINT pt);

 private:
  static LRESULT CALLBACK MouseProc(int nCode, WPARAM wParam, LPARAM lParam);
  static void CALLBACK TrackMouseLeaveProc(HWND hWnd, UINT uMsg, UINT_PTR idEvent, DWORD dwTime);

  CArray<CXTPCommandBar*, CXTPCommandBar*> m_arrTracked;
  CArray<HWND, HWND> m_arrTrusted;
  HHOOK m_hHookMouse;
  int m_nLock;
  BOOL m_bForceExpanded;
  BOOL m_bIgnoreLButtonUp;
  CXTPCommandBar* m_pSelected;
  HWND m_hWndLeave;
};

// The calling thread's mouse manager (made on first use).
CXTPMouseManager* AFXAPI XTPMouseManager();
