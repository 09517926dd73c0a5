// The message source of the toolkit's own modal loops (bar drags, edge sizing, tear-offs,
// popup tracking, tab drags). A loop that takes a WM_QUIT must give it back, or the program
// asked to end would keep running: every loop takes its messages here. UI thread only.
#pragma once

#include <framework.h>

// Waits for the thread's next message and returns TRUE with it in msg. Returns FALSE when
// the loop must stop: a WM_QUIT was taken (it is posted again with its code for the
// thread's own loop) or the wait failed. With bPaintsFirst, paints already waiting are
// dispatched before the wait, so what a moving window uncovers is repainted at once.
BOOL XTPGetModalLoopMessage(MSG& msg, BOOL bPaintsFirst = FALSE);

// Posts a WM_QUIT taken by a loop again, with its exit code.
inline void XTPRepostQuit(const MSG& msg) { ::PostQuitMessage(static_cast<int>(msg.wParam)); }
