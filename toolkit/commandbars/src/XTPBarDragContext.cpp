// The toolbar's dock context: moving by the gripper, sizing a floating bar by its edges,
// the double-click toggle, and the last docked and floating places.
#include <framework.h>

#include <algorithm>

#include "XTPBarDragContext.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPDockBar.h"
#include "XTPDrawHelpers.h"
#include "XTPModalLoop.h"
#include "XTPMouseManager.h"
#include "XTPToolBar.h"

namespace {
// The work area of the monitor nearest the rectangle.
CRect WorkAreaOf(const CRect& rc) {
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  HMONITOR hMonitor = ::MonitorFromRect(&rc, MONITOR_DEFAULTTONEAREST);
  if (hMonitor != NULL && ::GetMonitorInfo(hMonitor, &info)) return CRect(info.rcWork);
  CRect rcWork;
  ::SystemParametersInfo(SPI_GETWORKAREA, 0, &rcWork, 0);
  return rcWork;
}

BOOL IntersectsWorkArea(const CRect& rc) {
  CRect rcCommon;
  return rcCommon.IntersectRect(&rc, WorkAreaOf(rc));
}

// The docking flag that allows a dock bar position.
DWORD SideFlag(XTPBarPosition position) {
  switch (position) {
    case xtpBarTop: return XTP_DOCK_TOP;
    case xtpBarBottom: return XTP_DOCK_BOTTOM;
    case xtpBarLeft: return XTP_DOCK_LEFT;
    case xtpBarRight: return XTP_DOCK_RIGHT;
    default: return 0;
  }
}
}  // namespace

CXTPBarDragContext::CXTPBarDragContext(CXTPToolBar* pBar)
    : m_nLastDockBar(0),
      m_rcLastDocked(0, 0, 0, 0),
      m_ptLastFloat(0, 0),
      m_pBar(pBar),
      m_nMode(0),
      m_ptLast(0, 0),
      m_rectDrag(0, 0, 0, 0),
      m_rectTrack(0, 0, 0, 0) {}

CXTPBarDragContext::~CXTPBarDragContext() = default;

// The docked bar's dock bar and rectangle there become its last docked place.
void CXTPBarDragContext::RememberDockedPlace() {
  CXTPDockBar* pDockBar = m_pBar->GetDockBar();
  if (pDockBar == NULL || pDockBar->GetSafeHwnd() == NULL || m_pBar->GetSafeHwnd() == NULL ||
      m_pBar->GetPosition() == xtpBarFloating)
    return;
  CRect rc;
  m_pBar->GetWindowRect(&rc);
  pDockBar->ScreenToClient(&rc);
  m_nLastDockBar = (int)pDockBar->GetPosition();
  m_rcLastDocked = rc;
}

// ---- Moving ---------------------------------------------------------------------------------
void CXTPBarDragContext::BeginMove(CPoint pt) {
  if (m_pBar == NULL || m_pBar->GetSafeHwnd() == NULL) return;
  m_nMode = XTP_DRAG_MOVE;
  RememberDockedPlace();
  const int nKeptDockBar = m_nLastDockBar;
  const CRect rcKeptDocked = m_rcLastDocked;
  const BOOL bWasFloating = m_pBar->GetPosition() == xtpBarFloating;

  CRect rc;
  m_pBar->GetWindowRect(&rc);
  if (!rc.PtInRect(pt)) {
    // Keep the point inside the dragged rectangle.
    const int dx = pt.x < rc.left ? pt.x - rc.left : (pt.x >= rc.right ? pt.x - rc.right + 1 : 0);
    const int dy = pt.y < rc.top ? pt.y - rc.top : (pt.y >= rc.bottom ? pt.y - rc.bottom + 1 : 0);
    rc.OffsetRect(dx, dy);
  }
  m_rectDrag = m_rectTrack = rc;
  m_ptLast = pt;

  ::SetCursor(::LoadCursor(NULL, IDC_SIZEALL));
  CXTPMouseManager* pMouseManager = XTPMouseManager();
  pMouseManager->LockMouseMove();
  RunLoop();
  pMouseManager->UnlockMouseMove();

  if (m_pBar->GetPosition() == xtpBarFloating && m_pBar->GetSafeHwnd() != NULL) {
    m_ptLastFloat = m_rectTrack.TopLeft();
    if (!bWasFloating) {
      // A later toggle returns the bar to where it was docked before this drag.
      m_nLastDockBar = nKeptDockBar;
      m_rcLastDocked = rcKeptDocked;
    }
  }
}

CRect CXTPBarDragContext::FloatAt(CPoint ptTopLeft) {
  CXTPCommandBars* pCommandBars = m_pBar->GetCommandBars();
  if (pCommandBars != NULL && m_pBar->GetPosition() != xtpBarFloating) pCommandBars->FloatCommandBar(m_pBar);
  const CSize sz = m_pBar->CalcLayout(-1, LM_COMMIT | LM_MRUWIDTH | LM_HORZ);
  CRect rc(ptTopLeft, sz);
  if (m_pBar->GetSafeHwnd() != NULL)
    m_pBar->SetWindowPos(NULL, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  return rc;
}

void CXTPBarDragContext::MoveStep(CPoint pt) {
  const CSize szMove = pt - m_ptLast;
  m_rectDrag.OffsetRect(szMove);
  m_rectTrack.OffsetRect(szMove);
  m_ptLast = pt;

  CXTPCommandBars* pCommandBars = m_pBar->GetCommandBars();
  if (pCommandBars == NULL) return;
  const DWORD dwFlags = m_pBar->GetFlags();
  CXTPDockBar* pCurrent = m_pBar->GetDockBar();
  CXTPDockBar* pDockBar = pCommandBars->CanDock(pt, pCurrent);
  if (pDockBar != NULL && (dwFlags & SideFlag(pDockBar->GetPosition())) != 0) {
    const BOOL bWasFloating = m_pBar->GetPosition() == xtpBarFloating;
    CRect rcTrack = m_rectTrack;
    pCommandBars->DockCommandBar(m_pBar, &rcTrack, pDockBar);
    if (pDockBar != pCurrent || bWasFloating) {
      pCommandBars->RecalcFrameLayout(FALSE);
      m_pBar->GetWindowRect(&m_rectTrack);
    }
    return;
  }
  if ((dwFlags & XTP_DOCK_FLOAT) == 0) return;
  if (m_pBar->GetPosition() != xtpBarFloating) {
    pCommandBars->FloatCommandBar(m_pBar);
    const CSize sz = m_pBar->CalcLayout(-1, LM_COMMIT | LM_MRUWIDTH | LM_HORZ);
    // The floating shape, shifted so that it holds the point.
    CRect rc(m_rectTrack.TopLeft(), sz);
    if (pt.x >= rc.right) rc.OffsetRect(pt.x - rc.right + sz.cx / 2, 0);
    if (pt.y >= rc.bottom) rc.OffsetRect(0, pt.y - rc.bottom + std::min<int>(sz.cy / 2, 8));
    m_rectTrack = rc;
    m_rectDrag = rc;
  }
  m_pBar->SetWindowPos(NULL, m_rectTrack.left, m_rectTrack.top, m_rectTrack.Width(), m_rectTrack.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Sizing ---------------------------------------------------------------------------------
void CXTPBarDragContext::BeginSize(UINT nHitTest, CPoint pt) {
  if (m_pBar == NULL || m_pBar->GetSafeHwnd() == NULL) return;
  m_nMode = (int)nHitTest;
  m_ptLast = pt;
  m_pBar->GetWindowRect(&m_rectTrack);
  m_rectDrag = m_rectTrack;
  RunLoop();
  if (m_pBar->GetPosition() == xtpBarFloating && m_pBar->GetSafeHwnd() != NULL) {
    CRect rc;
    m_pBar->GetWindowRect(&rc);
    m_ptLastFloat = rc.TopLeft();
    m_pBar->SetMRUWidth(rc.Width());
  }
}

void CXTPBarDragContext::SizeBarStep(CPoint pt) {
  const CSize szMove = pt - m_ptLast;
  CRect rcWindow;
  m_pBar->GetWindowRect(&rcWindow);
  CRect rc = m_rectTrack;
  CSize sz;
  switch (m_nMode) {
    case HTLEFT:
    case HTRIGHT: {
      if (m_nMode == HTLEFT)
        rc.left += szMove.cx;
      else
        rc.right += szMove.cx;
      sz = m_pBar->CalcLayout(std::max<int>(0, rc.Width()), LM_COMMIT | LM_HORZ);
      break;
    }
    case HTTOP:
    case HTBOTTOM: {
      if (m_nMode == HTTOP)
        rc.top += szMove.cy;
      else
        rc.bottom += szMove.cy;
      sz = m_pBar->CalcLayout(std::max<int>(0, rc.Height()), LM_COMMIT | LM_LENGTHY | LM_HORZ);
      break;
    }
    default:
      m_ptLast = pt;
      return;
  }
  m_rectTrack = rc;
  m_ptLast = pt;
  if (sz == rcWindow.Size()) return;
  CRect rcNew = rcWindow;
  if (m_nMode == HTLEFT)
    rcNew.left = rcNew.right - sz.cx;
  else
    rcNew.right = rcNew.left + sz.cx;
  if (m_nMode == HTTOP)
    rcNew.top = rcNew.bottom - sz.cy;
  else
    rcNew.bottom = rcNew.top + sz.cy;
  if (IntersectsWorkArea(rcNew)) {
    m_pBar->SetWindowPos(NULL, rcNew.left, rcNew.top, rcNew.Width(), rcNew.Height(),
                         SWP_NOZORDER | SWP_NOACTIVATE);
    m_pBar->Invalidate(FALSE);
  }
}

void CXTPBarDragContext::SizeFreeStep(CPoint pt) {
  const CSize szMove = pt - m_ptLast;
  m_ptLast = pt;
  const CRect rcOld = m_rectTrack;
  CRect rc = m_rectTrack;
  if (m_nMode == HTLEFT || m_nMode == HTTOPLEFT || m_nMode == HTBOTTOMLEFT) rc.left += szMove.cx;
  if (m_nMode == HTRIGHT || m_nMode == HTTOPRIGHT || m_nMode == HTBOTTOMRIGHT) rc.right += szMove.cx;
  if (m_nMode == HTTOP || m_nMode == HTTOPLEFT || m_nMode == HTTOPRIGHT) rc.top += szMove.cy;
  if (m_nMode == HTBOTTOM || m_nMode == HTBOTTOMLEFT || m_nMode == HTBOTTOMRIGHT) rc.bottom += szMove.cy;
  m_rectTrack = rc;
  if (rc.Size() != rcOld.Size() && IntersectsWorkArea(rc)) {
    m_pBar->SizeToRect(rc, (UINT)m_nMode);
    m_pBar->Invalidate(FALSE);
  }
}

// ---- The loop -------------------------------------------------------------------------------
void CXTPBarDragContext::RunLoop() {
  if (::GetCapture() != NULL || m_pBar == NULL || m_pBar->GetSafeHwnd() == NULL) return;
  const HWND hWnd = m_pBar->GetSafeHwnd();
  ::SetCapture(hWnd);
  CXTPCommandBars* pCommandBars = m_pBar->GetCommandBars();
  while (::GetCapture() == hWnd) {
    MSG msg;
    // Waiting paints first, so the bars follow the pointer on screen.
    if (!XTPGetModalLoopMessage(msg, TRUE)) break;
    if (msg.message == WM_LBUTTONUP) break;
    if (msg.message == WM_MOUSEMOVE) {
      CPoint pt;
      ::GetCursorPos(&pt);
      if (pt != m_ptLast) {
        if (m_nMode == XTP_DRAG_MOVE)
          MoveStep(pt);
        else if (m_pBar->IsDialogBar())
          SizeFreeStep(pt);
        else
          SizeBarStep(pt);
      }
    } else if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      break;
    } else {
      ::TranslateMessage(&msg);
      ::DispatchMessage(&msg);
    }
    if (pCommandBars != NULL) pCommandBars->FlushFrameLayout();
    if (::IsWindow(hWnd) == FALSE) return;
  }
  if (::GetCapture() == hWnd) ::ReleaseCapture();
  if (pCommandBars != NULL) pCommandBars->GetCommandBarsOptions()->bDirtyState = TRUE;
}

// ---- Toggle ---------------------------------------------------------------------------------
BOOL CXTPBarDragContext::ToggleDocked() {
  if (m_pBar == NULL) return FALSE;
  CXTPCommandBars* pCommandBars = m_pBar->GetCommandBars();
  if (pCommandBars == NULL) return FALSE;
  const DWORD dwFlags = m_pBar->GetFlags();
  if (m_pBar->GetPosition() == xtpBarFloating) {
    if ((dwFlags & XTP_DOCK_ANY_SIDE) == 0) return FALSE;
    CXTPDockBar* pDockBar = pCommandBars->GetDockBarAt(m_nLastDockBar);
    if (pDockBar == NULL || pDockBar->GetSafeHwnd() == NULL) return FALSE;
    CRect rc = m_rcLastDocked;
    pDockBar->ClientToScreen(&rc);
    pCommandBars->DockCommandBar(m_pBar, &rc, pDockBar);
    pCommandBars->RecalcFrameLayout(FALSE);
  } else {
    if ((dwFlags & XTP_DOCK_FLOAT) == 0 || !pCommandBars->GetCommandBarsOptions()->bDblClickFloat) return FALSE;
    RememberDockedPlace();
    CPoint pt = m_ptLastFloat;
    if (pt.x <= 0 || pt.y <= 0) {
      CRect rc(0, 0, 0, 0);
      if (m_pBar->GetSafeHwnd() != NULL) m_pBar->GetWindowRect(&rc);
      pt = rc.TopLeft();
    }
    FloatAt(pt);
  }
  pCommandBars->GetCommandBarsOptions()->bDirtyState = TRUE;
  return TRUE;
}
