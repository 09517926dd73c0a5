// The customize drop source: the registry of bars a dragged control may land on.
#include <framework.h>

#include "XTPCommandBars.h"
#include "XTPCustomizeDropSource.h"
#include "XTPResourceManager.h"

namespace {
// The drag cursors of customisation: copy, move, no drop.
const UINT kCursorDragCopy = 9301;
const UINT kCursorDragMove = 9302;
const UINT kCursorDragNoDrop = 9303;
}  // namespace

IMPLEMENT_DYNAMIC(CXTPCustomizeDropSource, CCmdTarget)

CXTPCustomizeDropSource::CXTPCustomizeDropSource(CXTPCommandBars* pCommandBars)
    : m_hwndCapture(NULL),
      m_pControl(NULL),
      m_bMove(FALSE),
      m_bCopyOnly(FALSE),
      m_pTarget(NULL),
      m_pSheet(NULL),
      m_pCommandBars(pCommandBars),
      m_hcurDelete(XTPResourceManager()->LoadCursor(kCursorDragNoDrop)),
      m_hcurMove(XTPResourceManager()->LoadCursor(kCursorDragMove)),
      m_hcurCopy(XTPResourceManager()->LoadCursor(kCursorDragCopy)),
      m_ptStart(0, 0) {}

CXTPCustomizeDropSource::~CXTPCustomizeDropSource() = default;

void CXTPCustomizeDropSource::Register(CXTPCommandBar* pCommandBar) {
  if (pCommandBar != NULL) m_arrTargets.Add(pCommandBar);
}

void CXTPCustomizeDropSource::Unregister(CXTPCommandBar* pCommandBar) {
  for (INT_PTR i = m_arrTargets.GetSize() - 1; i >= 0; i--) {
    if (m_arrTargets[i] == pCommandBar) m_arrTargets.RemoveAt(i);
  }
  if (m_pTarget == pCommandBar) m_pTarget = NULL;
}

BOOL CXTPCustomizeDropSource::IsRegistered(CXTPCommandBar* pCommandBar) const {
  for (INT_PTR i = 0; i < m_arrTargets.GetSize(); i++) {
    if (m_arrTargets[i] == pCommandBar) return TRUE;
  }
  return FALSE;
}
