// What a toolbar (and a dialog bar) stores of itself beyond the bar's values.
#include <framework.h>

#include "XTPCommandBarsPersist.h"
#include "XTPPropExchange.h"
#include "XTPToolBar.h"

void CXTPToolBar::DoPropExchange(CXTPPropExchange* pPX) {
  CXTPCommandBar::DoPropExchange(pPX);
  if (pPX == NULL) return;
  const BOOL bArchiveLoad = pPX->IsLoading() && pPX->IsKindOf(RUNTIME_CLASS(CXTPPropExchangeArchive));
  BOOL bOk = PX_Bool(pPX, _T("BuiltIn"), m_bBuiltIn, TRUE);
  bOk = PX_Bool(pPX, _T("TearOff"), m_bTearOff, FALSE) && bOk;
  if (pPX->GetSchema() > 6) bOk = PX_Bool(pPX, _T("Closeable"), m_bCloseable, TRUE) && bOk;
  if (pPX->GetSchema() > 7) bOk = PX_Bool(pPX, _T("ContextMenuPresent"), m_bContextMenuPresent, TRUE) && bOk;
  // A stream that ends inside the bar's values is damaged: the load stops.
  if (!bOk && bArchiveLoad) AfxThrowArchiveException(CArchiveException::endOfFile);
}
