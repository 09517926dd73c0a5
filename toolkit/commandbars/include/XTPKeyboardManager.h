// The thread's keyboard manager: while at least one bar tracks, a WH_KEYBOARD hook of this
// thread routes every key-down to the tracked bars (newest first) and swallows it unless a
// bar answers 2; a plain Alt press closes the tracked bars; a WH_CALLWNDPROC hook closes
// them when the application loses activation. One instance per thread, made on first use.
#pragma once

#include <framework.h>

#include "XTPHookable.h"

class CXTPKeyboardManager {
 public:
  CXTPKeyboardManager();   // no hooks yet
  ~CXTPKeyboardManager();  // removes hooks still installed
  CXTPKeyboardManager(const CXTPKeyboardManager&) = delete;
  CXTPKeyboardManager& operator=(const CXTPKeyboardManager&) = delete;

  // Installs the thread's two hooks when missing, then appends the target (once).
  void HookKeyboard(CXTPHookable* pTarget);
  // Removes the target; the last one leaving removes both hooks.
  void UnhookKeyboard(CXTPHookable* pTarget);
  // Offers a key message to the targets, newest first: TRUE swallows it.
  BOOL ProcessKeyboardHooks(UINT nMessage, WPARAM wParam, LPARAM lParam = 0);
  BOOL IsKeyboardHooked() const { return m_hHookKeyboard != NULL; }
  int GetTargetCount() const { return (int)m_lstTargets.GetCount(); }
  BOOL HasTargets() const { return !m_lstTargets.IsEmpty(); }

 private:
  static LRESULT CALLBACK KeyboardProc(int nCode, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK CallWndProc(int nCode, WPARAM wParam, LPARAM lParam);

  HHOOK m_hHookKeyboard;
  HHOOK m_hHookCallWndProc;
  CList<CXTPHookable*, CXTPHookable*> m_lstTargets;
};

// The calling thread's keyboard manager (made on first use).
CXTPKeyboardManager* AFXAPI XTPKeyboardManager();
