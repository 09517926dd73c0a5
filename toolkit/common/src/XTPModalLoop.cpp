// The message source of the toolkit's modal loops.
#include <framework.h>

#include "XTPModalLoop.h"

namespace {
// Paints handled before one wait at most, so a window that keeps invalidating itself
// cannot hold the loop.
constexpr int kMaxPaintsPerWait = 64;
}  // namespace

BOOL XTPGetModalLoopMessage(MSG& msg, BOOL bPaintsFirst) {
  if (bPaintsFirst) {
    // A filtered look at the queue also hands out a pending quit.
    for (int n = 0; n < kMaxPaintsPerWait && ::PeekMessage(&msg, NULL, WM_PAINT, WM_PAINT, PM_REMOVE); n++) {
      if (msg.message == WM_QUIT) {
        XTPRepostQuit(msg);
        return FALSE;
      }
      ::DispatchMessage(&msg);
    }
  }
  const BOOL bGot = ::GetMessage(&msg, NULL, 0, 0);
  if (bGot == -1) return FALSE;
  if (!bGot) {
    XTPRepostQuit(msg);
    return FALSE;
  }
  return TRUE;
}
