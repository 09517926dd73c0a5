// The controls collection of a bar: the list, its links and index upkeep.
//
// Creation, search, snapshot and the row layout come with the controls themselves; the
// bodies here keep a bar's list and release it.
#include <framework.h>

#include "XTPCommandBar.h"
#include "XTPControl.h"
#include "XTPControls.h"

IMPLEMENT_DYNCREATE(CXTPControls, CCmdTarget)

CXTPControls::CXTPControls() : m_pParent(NULL), m_pCommandBars(NULL), m_pOriginalControls(NULL) {}

CXTPControls::~CXTPControls() {
  RemoveAll();
  if (m_pOriginalControls != NULL) m_pOriginalControls->InternalRelease();
}

CXTPControl* CXTPControls::GetAt(int nIndex) const {
  if (nIndex < 0 || nIndex >= m_arrControls.GetSize()) return NULL;
  return m_arrControls[nIndex];
}

void CXTPControls::RemoveAll() {
  for (INT_PTR i = 0; i < m_arrControls.GetSize(); i++) {
    CXTPControl* pControl = m_arrControls[i];
    pControl->m_pControls = NULL;
    pControl->m_pParent = NULL;
    pControl->InternalRelease();
  }
  m_arrControls.RemoveAll();
}

void CXTPControls::SetParent(CXTPCommandBar* pParent) {
  m_pParent = pParent;
  for (INT_PTR i = 0; i < m_arrControls.GetSize(); i++) m_arrControls[i]->m_pParent = pParent;
}

CXTPCommandBars* CXTPControls::GetCommandBars() const {
  if (m_pParent != NULL) return m_pParent->GetCommandBars();
  return m_pCommandBars;
}

void CXTPControls::RefreshIndexes() {
  for (INT_PTR i = 0; i < m_arrControls.GetSize(); i++) {
    CXTPControl* pControl = m_arrControls[i];
    pControl->m_nIndex = (int)i;
    pControl->m_pControls = this;
    pControl->m_pParent = m_pParent;
  }
  if (m_pParent != NULL) m_pParent->DelayLayout();
}

int CXTPControls::GetNext(int nIndex, int nDirection, BOOL bKeyboard, BOOL bSkipTemporary,
                          BOOL bSkipCollapsed) const {
  const int nCount = GetCount();
  if (nCount == 0 || (nDirection != 1 && nDirection != -1)) return -1;
  int nStart = nIndex;
  if (nStart == -1 && nDirection == -1) nStart = nCount;
  int nNext = nStart;
  for (int nStep = 0; nStep < nCount + 1; nStep++) {
    nNext += nDirection;
    if (nNext >= nCount) nNext = 0;
    if (nNext < 0) nNext = nCount - 1;
    const CXTPControl* pControl = m_arrControls[nNext];
    const DWORD dwIgnored = bSkipCollapsed ? xtpHideScroll : (xtpHideScroll | xtpHideExpand);
    if ((pControl->GetHideFlags() & ~dwIgnored) != 0) continue;
    if (bKeyboard && (pControl->GetFlags() & xtpFlagSkipFocus)) continue;
    if (bSkipTemporary && pControl->IsTemporary()) continue;
    return nNext;
  }
  return -1;
}

void CXTPControls::DoPropExchange(CXTPPropExchange*) {}
