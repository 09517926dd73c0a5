// The process-wide hook manager: lets objects that are not windows see another window's
// messages first. A window with at least one listener is subclassed once with a shared
// window procedure; its last listener leaving (or WM_NCDESTROY) gives it its procedure
// back. UI thread only: the map has no lock, and only the UI thread makes bars and shadows.
#pragma once

#include <framework.h>

#include "XTPHookable.h"

class CXTPHookManager {
 public:
  // One window's listeners and the procedure it had before it was subclassed (pointer-
  // sized, GWLP_WNDPROC).
  class CHookSink : public CArray<CXTPHookable*, CXTPHookable*> {
   public:
    CHookSink(HWND hWnd, WNDPROC pfnPrev) : m_hWnd(hWnd), m_pfnPrevWndProc(pfnPrev) {}
    int Find(CXTPHookable* pHook) const;

    HWND m_hWnd;
    WNDPROC m_pfnPrevWndProc;
  };

  CXTPHookManager();
  ~CXTPHookManager();  // every window still hooked gets its procedure back
  CXTPHookManager(const CXTPHookManager&) = delete;
  CXTPHookManager& operator=(const CXTPHookManager&) = delete;

  // Adds the listener to the window's list (once); the first listener subclasses the
  // window. FALSE for a null listener or a handle that is not a window.
  BOOL SetHook(HWND hWnd, CXTPHookable* pHook);
  // Removes one listener; an emptied list gives the window its procedure back.
  void RemoveHook(HWND hWnd, CXTPHookable* pHook);
  // Removes the listener from every window's list.
  void RemoveAll(CXTPHookable* pHook);
  // The window's record, or null.
  CHookSink* Lookup(HWND hWnd) const;
  // Number of windows currently subclassed (diagnostics, tests).
  int GetHookedWindowCount() const { return (int)m_mapHooks.GetCount(); }

  // The shared window procedure of every hooked window.
  static LRESULT CALLBACK HookWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  // Gives the window its procedure back and forgets the record; while another procedure
  // subclassed the window after ours, the empty record stays until the window dies.
  void RemoveSink(HWND hWnd, CHookSink* pSink, BOOL bDestroying);

  CMap<HWND, HWND, CHookSink*, CHookSink*> m_mapHooks;
};

// The one instance, built at start-up and destroyed at exit.
CXTPHookManager* AFXAPI XTPHookManager();
