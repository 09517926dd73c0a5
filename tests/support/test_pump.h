// Running this thread's message loop from a test: until a condition holds, for a while, or
// until a kernel object is signalled. Tests choose how each message is handled.
#pragma once

#include <framework.h>

#include <functional>

namespace testsupport {

// How a pumped message is handled.
enum class Dispatch {
  Plain,         // TranslateMessage and DispatchMessage
  PreTranslate,  // offered to the windows' PreTranslateMessage first, then as Plain
  Framework,     // through AfxPumpMessage, one message at a time, as the program's own loop does
};

// Whether a message is waiting in this thread's queue (it stays there).
inline bool MessageWaiting() {
  MSG msg;
  return ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) != FALSE;
}

// Handles the messages waiting in this thread's queue, including those posted while it
// runs. FALSE when it met WM_QUIT: that message leaves the queue and handling stops there.
inline bool DispatchWaiting(Dispatch how = Dispatch::Plain) {
  if (how == Dispatch::Framework) {
    while (MessageWaiting())
      if (!AfxPumpMessage()) return false;
    return true;
  }
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) return false;
    if (how == Dispatch::PreTranslate && CWnd::WalkPreTranslateTree(nullptr, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return true;
}

// Runs the message loop until done() or timeoutMs; returns done(). Between looks at the
// queue it sleeps until input arrives, idleMs at most, so that a condition another thread
// changes is seen too. Framework handling looks at done() after every message and gives up
// at WM_QUIT; the other kinds handle all that waits, then sleep.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, Dispatch how = Dispatch::Plain,
                      DWORD idleMs = 10) {
  const DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > timeoutMs) return false;
    if (how == Dispatch::Framework) {
      if (MessageWaiting()) {
        if (!AfxPumpMessage()) return done();
        continue;
      }
    } else {
      DispatchWaiting(how);
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, idleMs, QS_ALLINPUT);
  }
  return true;
}

// Runs the message loop for about ms milliseconds (paints, timers, posted work).
inline void PumpFor(DWORD ms, Dispatch how = Dispatch::Plain) {
  PumpUntil([] { return false; }, ms, how);
}

// Waits for a kernel object while still handling this thread's messages (another thread's
// SendMessage to our windows needs that); FALSE when timeoutMs passed first.
inline bool WaitPumping(HANDLE h, DWORD timeoutMs, Dispatch how = Dispatch::Plain, DWORD idleMs = 10) {
  return PumpUntil([h] { return ::WaitForSingleObject(h, 0) == WAIT_OBJECT_0; }, timeoutMs, how, idleMs);
}

}  // namespace testsupport
