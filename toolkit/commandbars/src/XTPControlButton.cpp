// The button control: a click runs its command (held-button tracking in toolbars, on
// release in popup bars).
#include <framework.h>

#include "XTPCommandBar.h"
#include "XTPControlButton.h"

IMPLEMENT_SERIAL(CXTPControlButton, CXTPControl, VERSIONABLE_SCHEMA | 0x10)

CXTPControlButton::CXTPControlButton() { m_controlType = xtpControlButton; }
CXTPControlButton::~CXTPControlButton() {}

void CXTPControlButton::OnClick(BOOL bKeyboard, CPoint pt) {
  if (!m_bEnabled) return;
  if (IsCustomizeMode()) {
    if (m_pParent != NULL) {
      m_pParent->SetPopuped(-1);
      m_pParent->SetSelected(-1);
    }
    OnCustomizePress(pt);
    return;
  }
  if (bKeyboard) {
    Execute();
    return;
  }
  if (m_pParent != NULL && m_pParent->GetType() != xtpBarTypePopup) ClickToolBarButton(m_rcControl);
}

void CXTPControlButton::OnLButtonUp(CPoint) {
  if (m_bEnabled && m_pParent != NULL && m_pParent->GetType() == xtpBarTypePopup) Execute();
}

void CXTPControlButton::Copy(CXTPControl* pControl, BOOL bRecursive) {
  CXTPControl::Copy(pControl, bRecursive);
}

CXTPControl* CXTPControlButton::Clone(BOOL bRecursive) { return CXTPControl::Clone(bRecursive); }

