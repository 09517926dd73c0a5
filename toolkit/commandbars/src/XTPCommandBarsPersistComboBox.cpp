// What a combo box control stores of itself beyond the popup's values.
#include <framework.h>

#include "XTPCommandBarsPersist.h"
#include "XTPControlComboBox.h"
#include "XTPPropExchange.h"

void CXTPControlComboBox::DoPropExchange(CXTPPropExchange* pPX) {
  CXTPControlPopup::DoPropExchange(pPX);
  if (pPX == NULL) return;
  BOOL bOk = TRUE;
  BOOL bDropDown = m_bDropDown;
  bOk = PX_Bool(pPX, _T("DropDown"), bDropDown, TRUE) && bOk;
  bOk = PX_Int(pPX, _T("Width"), m_nWidth, 0) && bOk;
  int nComboStyle = (int)m_comboStyle;
  bOk = PX_Int(pPX, _T("ComboStyle"), nComboStyle, 0) && bOk;
  int nFlags = (int)m_dwShellAutoCompleteFlags;
  if (pPX->GetSchema() > 8) {
    bOk = PX_String(pPX, _T("EditHint"), m_strEditHint, _T("")) && bOk;
    bOk = PX_Int(pPX, _T("ShellAutoCompleteFlags"), nFlags, 0) && bOk;
    bOk = PX_Bool(pPX, _T("AutoComplete"), m_bAutoComplete, FALSE) && bOk;
    bOk = PX_Int(pPX, _T("EditIconId"), m_nEditIconId, 0) && bOk;
    bOk = PX_Int(pPX, _T("DropDownItemCount"), m_nDropDownItemCount, 12) && bOk;
  }
  if (pPX->IsLoading()) {
    // A stream that ends inside the values is damaged: the load stops.
    if (!bOk && pPX->IsKindOf(RUNTIME_CLASS(CXTPPropExchangeArchive)))
      AfxThrowArchiveException(CArchiveException::endOfFile);
    m_comboStyle = nComboStyle;
    SetDropDownStyle(bDropDown);
    SetAutoCompleteFlags((DWORD)nFlags);
  }
}
