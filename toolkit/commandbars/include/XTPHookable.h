// A listener that sees another window's messages before that window's procedure does.
// Bars and shadow windows embed one and register it with the hook manager (a window's
// messages) or the keyboard manager (the thread's key-downs while a bar tracks).
#pragma once

#include <framework.h>

#include "XTPCommandBarsDefines.h"

class CXTPHookable {
 public:
  CXTPHookable() = default;
  virtual ~CXTPHookable() = default;

  // Called for a message of a hooked window (hWnd), or of the thread's keyboard with
  // hWnd null. The listener may change wParam and lParam. Answers 0 (xtpHookNotHandled:
  // ask the next listener), 1 (xtpHookHandled: the window procedure is not called and
  // lResult is the message result) or 2 (xtpHookStop: no further listener is asked, the
  // window procedure is called).
  virtual int OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam,
                            LRESULT& lResult) = 0;
};
