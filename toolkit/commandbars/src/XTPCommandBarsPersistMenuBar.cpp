// What a menu bar stores of itself beyond the toolbar's values: its menu resource and the
// controls of each document's own menu; and the popup bars those menus open.
#include <framework.h>

#include "XTPCommandBarsPersist.h"
#include "XTPControls.h"
#include "XTPMenuBar.h"
#include "XTPPropExchange.h"

void CXTPMenuBar::DoPropExchange(CXTPPropExchange* pPX) {
  if (pPX == NULL) return;
  // The default menu is what the bar stores; a document's menu shown now goes back first.
  if (pPX->IsStoring() && !m_mapDocMenus.IsEmpty()) PrepareForSave();
  CXTPToolBar::DoPropExchange(pPX);
  const BOOL bArchiveLoad = pPX->IsLoading() && pPX->IsKindOf(RUNTIME_CLASS(CXTPPropExchangeArchive));
  int nResourceId = (int)m_nIDResource;
  if (!PX_Int(pPX, _T("ResourceId"), nResourceId, 0) && bArchiveLoad)
    AfxThrowArchiveException(CArchiveException::endOfFile);
  if (pPX->IsLoading()) m_nIDResource = (UINT)nResourceId;

  CXTPPropExchangeEnumeratorPtr pEnumerator(pPX->GetEnumerator(_T("MDIMenu")));
  if (pPX->IsStoring()) {
    POSITION posSection = pEnumerator->GetPosition((DWORD)m_mapDocMenus.GetCount(), FALSE);
    for (POSITION pos = m_mapDocMenus.GetStartPosition(); pos != NULL && posSection != NULL;) {
      UINT nID;
      CXTPControls* pControls;
      m_mapDocMenus.GetNextAssoc(pos, nID, pControls);
      CXTPPropExchangeSection secMenu(pEnumerator->GetNext(posSection));
      int nMenuId = (int)nID;
      PX_Int(secMenu, _T("Id"), nMenuId, 0);
      pControls->DoPropExchange(secMenu);
    }
    return;
  }
  if (pPX->GetSchema() < 5) return;
  POSITION posSection = pEnumerator->GetPosition(0, FALSE);
  while (posSection != NULL) {
    CXTPPropExchangeSection secMenu(pEnumerator->GetNext(posSection));
    int nMenuId = 0;
    if (!PX_Int(secMenu, _T("Id"), nMenuId, 0) && bArchiveLoad)
      AfxThrowArchiveException(CArchiveException::endOfFile);
    CXTPControls* pControls = new CXTPControls();
    pControls->SetCommandBars(GetCommandBars());
    try {
      pControls->DoPropExchange(secMenu);
    } catch (...) {
      pControls->InternalRelease();
      throw;
    }
    CXTPControls* pOld = NULL;
    if (m_mapDocMenus.Lookup((UINT)nMenuId, pOld) && pOld != NULL) pOld->InternalRelease();
    m_mapDocMenus.SetAt((UINT)nMenuId, pControls);
  }
}

void CXTPMenuBar::GenerateCommandBarList(DWORD& nID, CXTPCommandBarList* pCommandBarList,
                                         XTP_COMMANDBARS_PROPEXCHANGE_PARAM* pParam) {
  CXTPToolBar::GenerateCommandBarList(nID, pCommandBarList, pParam);
  for (POSITION pos = m_mapDocMenus.GetStartPosition(); pos != NULL;) {
    UINT nMenuId;
    CXTPControls* pControls;
    m_mapDocMenus.GetNextAssoc(pos, nMenuId, pControls);
    XTPGenerateCommandBarList(pControls, nID, pCommandBarList, pParam);
  }
}

void CXTPMenuBar::RestoreCommandBarList(CXTPCommandBarList* pCommandBarList) {
  CXTPToolBar::RestoreCommandBarList(pCommandBarList);
  for (POSITION pos = m_mapDocMenus.GetStartPosition(); pos != NULL;) {
    UINT nMenuId;
    CXTPControls* pControls;
    m_mapDocMenus.GetNextAssoc(pos, nMenuId, pControls);
    XTPRestoreCommandBarList(pControls, pCommandBarList);
  }
}
