// The process-wide shadow manager: creates, places, clips and removes the two shadow
// windows (bottom and right) of every open popup. Uses USER32's "UpdateLayeredWindow"
// when the platform has it (soft 4-pixel alpha shadows), else solid 2-pixel bands.
#pragma once

#include <framework.h>

class CXTPCommandBar;
class CXTPControl;
class CXTPShadowWnd;

class CXTPShadowManager {
 public:
  typedef BOOL(WINAPI* PFNUPDATELAYEREDWINDOW)(HWND hWnd, HDC hdcDst, POINT* pptDst,
                                               SIZE* psize, HDC hdcSrc, POINT* pptSrc,
                                               COLORREF crKey, BLENDFUNCTION* pblend,
                                               DWORD dwFlags);

  CXTPShadowManager();
  ~CXTPShadowManager();  // removes every shadow still open
  CXTPShadowManager(const CXTPShadowManager&) = delete;
  CXTPShadowManager& operator=(const CXTPShadowManager&) = delete;

  // Gives a popup bar its two shadows (exclude rectangle in screen coordinates, or null).
  void SetShadow(CXTPCommandBar* pCommandBar, const CRect& rcExclude = CRect(0, 0, 0, 0));
  // Gives a control's drop-down its shadows (theme shadows only, not in customize mode).
  void SetShadow(CXTPControl* pControl);
  // Removes every shadow of the owner.
  void RemoveShadow(CXTPCommandBar* pOwner);

  BOOL IsLayeredAvailable() const { return m_pfnUpdateLayeredWindow != NULL; }
  PFNUPDATELAYEREDWINDOW GetUpdateLayeredWindow() const { return m_pfnUpdateLayeredWindow; }
  // Seam: replaces the layered-window entry (null: region mode). Returns the old one.
  PFNUPDATELAYEREDWINDOW SetUpdateLayeredWindow(PFNUPDATELAYEREDWINDOW pfn);
  // Seam: overrides the system drop-shadow setting (-1: ask the system).
  void SetSystemShadowOverride(int nOverride) { m_nSystemShadowOverride = nOverride; }
  BOOL IsSystemShadowOn() const;

  int GetShadowCount() const { return (int)m_lstShadow.GetCount(); }
  // The shadows of an owner (bottom first), for inspection.
  void GetShadows(CXTPCommandBar* pOwner, CArray<CXTPShadowWnd*, CXTPShadowWnd*>& arr) const;

 private:
  void CreateShadow(BOOL bHorizontal, CRect rcOwner, CRect rcExclude, CXTPCommandBar* pOwner,
                    BOOL bControlPopup);
  void DestroyShadow(CXTPShadowWnd* pShadow);

  CList<CXTPShadowWnd*, CXTPShadowWnd*> m_lstShadow;
  PFNUPDATELAYEREDWINDOW m_pfnUpdateLayeredWindow;
  int m_nSystemShadowOverride;

  friend class CXTPShadowWnd;
};

// The one instance, built at start-up and destroyed at exit.
CXTPShadowManager* AFXAPI XTPShadowManager();
