// The tooltip hit test every window offers; windows with tools override it.
#include "framework.h"

INT_PTR CWnd::OnToolHitTest(CPoint /*point*/, TTTOOLINFOW* /*pTI*/) const { return -1; }
