// The customize drag loop: a control is dragged between the bars registered with the drop
// source while the mouse is captured; the bar under the pointer shows where it would land
// and, on release, inserts a copy of it.
#include <framework.h>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPControl.h"
#include "XTPCustomizeDropSource.h"
#include "XTPCustomizeSheet.h"
#include "XTPModalLoop.h"

namespace {

// The drag was cancelled: the source keeps its control.
const DROPEFFECT kDragCancelled = 5;

}  // namespace

DROPEFFECT CXTPCustomizeDropSource::DoDragDrop(CXTPControl* pControl, BOOL bCopyOnly) {
  // While the sheet runs its window holds the capture.
  CWnd* pCapture = m_pSheet != NULL ? static_cast<CWnd*>(m_pSheet)
                                    : (m_pCommandBars != NULL ? m_pCommandBars->GetSite() : NULL);
  if (pControl == NULL || pCapture == NULL || pCapture->GetSafeHwnd() == NULL) return kDragCancelled;
  m_hwndCapture = pCapture->GetSafeHwnd();
  m_pControl = pControl;
  m_bMove = FALSE;
  m_pTarget = NULL;
  m_bCopyOnly = bCopyOnly;
  ::SetCapture(m_hwndCapture);
  POINT ptStart;
  ::GetCursorPos(&ptStart);
  m_ptStart = ptStart;

  DROPEFFECT result = kDragCancelled;
  BOOL bMoved = FALSE;
  BOOL bDrop = FALSE;
  for (;;) {
    if (::GetCapture() != m_hwndCapture) {
      // Another window took the capture (perhaps while a message was handled).
      result = kDragCancelled;
      break;
    }
    MSG msg;
    // Waiting paints first, so the drop mark follows the pointer on screen.
    if (!XTPGetModalLoopMessage(msg, TRUE)) {
      result = kDragCancelled;
      break;
    }
    if (::GetCapture() != m_hwndCapture) {
      result = kDragCancelled;
      break;
    }
    if (msg.message == WM_KEYDOWN) {
      if (msg.wParam == VK_ESCAPE) {
        result = kDragCancelled;
        break;
      }
      if (msg.wParam == VK_CONTROL && m_bMove) {
        m_bMove = FALSE;
        UpdateDragCursor();
      }
    } else if (msg.message == WM_KEYUP) {
      if (msg.wParam == VK_CONTROL && !m_bMove) {
        m_bMove = TRUE;
        UpdateDragCursor();
      }
    } else if (msg.message == WM_MOUSEMOVE) {
      if (!bMoved) {
        bMoved = TRUE;
        if (pControl->GetParent() != NULL) pControl->OnCustomizeDragHover(pControl);
      }
      m_bMove = (msg.wParam & MK_CONTROL) == 0;
      POINT pt = {GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
      ::ClientToScreen(msg.hwnd, &pt);
      DragOverPoint(pt);
      result = DROPEFFECT_NONE;
      if ((msg.wParam & MK_LBUTTON) == 0) {
        bDrop = TRUE;
        break;
      }
    } else if (msg.message == WM_LBUTTONUP) {
      bDrop = TRUE;
      break;
    } else if (msg.message == WM_RBUTTONDOWN) {
      result = kDragCancelled;
      break;
    } else {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }

  if (bDrop && m_pTarget != NULL) {
    DROPEFFECT effect = m_bMove ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
    POINT ptDrop;
    ::GetCursorPos(&ptDrop);
    CPoint point(ptDrop), pointStart(m_ptStart);
    m_pTarget->ScreenToClient(&point);
    m_pTarget->ScreenToClient(&pointStart);
    CXTPCommandBar* pTarget = m_pTarget;
    m_pTarget = NULL;
    pTarget->OnCustomizeDrop(pControl, effect, point, pointStart);
    result = effect;
  }
  if (m_pTarget != NULL) {
    m_pTarget->OnCustomizeDragLeave();
    m_pTarget = NULL;
  }
  if (::GetCapture() == m_hwndCapture) ::ReleaseCapture();
  ::SetCursor(::LoadCursorW(NULL, IDC_ARROW));
  m_pControl = NULL;
  return result;
}

void CXTPCustomizeDropSource::DragOverPoint(POINT pt) {
  CXTPCommandBar* pCandidate = NULL;
  for (INT_PTR i = m_arrTargets.GetSize() - 1; i >= 0; i--) {
    CXTPCommandBar* pBar = m_arrTargets[i];
    if (pBar == NULL || pBar->GetSafeHwnd() == NULL || !pBar->IsVisible()) continue;
    CRect rc;
    pBar->GetWindowRect(&rc);
    if (rc.PtInRect(pt)) {
      pCandidate = pBar;
      break;
    }
  }
  if (pCandidate == NULL) {
    if (m_pTarget != NULL) {
      m_pTarget->OnCustomizeDragLeave();
      m_pTarget = NULL;
    }
  } else {
    CPoint ptClient(pt);
    pCandidate->ScreenToClient(&ptClient);
    if (pCandidate == m_pTarget) {
      m_pTarget->OnCustomizeDragOver(m_pControl, ptClient);
    } else {
      if (m_pTarget != NULL) {
        m_pTarget->OnCustomizeDragLeave();
        m_pTarget = NULL;
      }
      if (pCandidate->OnCustomizeDragEnter(m_pControl, ptClient)) m_pTarget = pCandidate;
    }
  }
  UpdateDragCursor();
}

void CXTPCustomizeDropSource::UpdateDragCursor() {
  HCURSOR hCursor = m_pTarget == NULL ? m_hcurDelete : ((!m_bMove || m_bCopyOnly) ? m_hcurCopy : m_hcurMove);
  if (hCursor != NULL) ::SetCursor(hCursor);
}
