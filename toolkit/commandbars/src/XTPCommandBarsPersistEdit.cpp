// What an edit control stores of itself beyond the control's values.
#include <framework.h>

#include "XTPCommandBarsPersist.h"
#include "XTPControlEdit.h"
#include "XTPPropExchange.h"

void CXTPControlEdit::DoPropExchange(CXTPPropExchange* pPX) {
  CXTPControl::DoPropExchange(pPX);
  if (pPX == NULL) return;
  const DWORD dwSchema = pPX->GetSchema();
  BOOL bOk = TRUE;
  if (dwSchema > 5) {
    bOk = PX_Bool(pPX, _T("HasLabel"), m_bLabel, FALSE) && bOk;
    bOk = PX_Int(pPX, _T("Width"), m_nWidth, 0) && bOk;
  }
  BOOL bReadOnly = m_bReadOnly;
  if (dwSchema > 7) bOk = PX_Bool(pPX, _T("ReadOnly"), bReadOnly, FALSE) && bOk;
  int nFlags = (int)m_dwShellAutoCompleteFlags;
  if (dwSchema > 8) {
    bOk = PX_String(pPX, _T("EditHint"), m_strEditHint, _T("")) && bOk;
    bOk = PX_Int(pPX, _T("ShellAutoCompleteFlags"), nFlags, 0) && bOk;
  }
  if (pPX->IsLoading()) {
    if (!bOk && pPX->IsKindOf(RUNTIME_CLASS(CXTPPropExchangeArchive)))
      AfxThrowArchiveException(CArchiveException::endOfFile);
    SetReadOnly(bReadOnly);
    SetAutoCompleteFlags((DWORD)nFlags);
  }
}
