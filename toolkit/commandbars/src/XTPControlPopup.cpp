// The popup control: a menu item, a button with a menu or a split button that opens a
// popup bar, holding a reference on that bar.
#include <framework.h>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPControlPopup.h"
#include "XTPControls.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"
#include "XTPShadowManager.h"

IMPLEMENT_SERIAL(CXTPControlPopup, CXTPControl, VERSIONABLE_SCHEMA | 0x10)

// The object as the given class when it is one, else null.
#define AS_KIND(cls, p) ((p) != NULL && (p)->IsKindOf(RUNTIME_CLASS(cls)) ? static_cast<cls*>(p) : NULL)

namespace {
CXTPPopupBar* AsPopupBar(CXTPCommandBar* pBar) {
  return pBar != NULL && pBar->IsKindOf(RUNTIME_CLASS(CXTPPopupBar)) ? static_cast<CXTPPopupBar*>(pBar) : NULL;
}
}  // namespace

CXTPControlPopup::CXTPControlPopup() : m_bPopup(FALSE), m_pCommandBar(NULL), m_nCommandBarId(0) {
  m_controlType = xtpControlPopup;
}

CXTPControlPopup::~CXTPControlPopup() { AttachBar(NULL); }

CXTPControlPopup* AFX_CDECL CXTPControlPopup::CreateControlPopup(XTPControlType controlType) {
  if (controlType < xtpControlPopup || controlType > xtpControlSplitButtonPopup) return NULL;
  CXTPControlPopup* pControl = new CXTPControlPopup();
  pControl->m_controlType = controlType;
  return pControl;
}

void CXTPControlPopup::AttachBar(CXTPCommandBar* pCommandBar) {
  if (pCommandBar == m_pCommandBar) return;
  if (pCommandBar != NULL) pCommandBar->InternalAddRef();
  CXTPCommandBar* pOld = m_pCommandBar;
  m_pCommandBar = pCommandBar;
  if (pOld != NULL) pOld->InternalRelease();
}

BOOL CXTPControlPopup::HoldsPopup(CXTPControlPopup* pPopup) {
  if (pPopup == NULL || m_pCommandBar == NULL) return FALSE;
  if (pPopup->m_pCommandBar == m_pCommandBar) return TRUE;
  CXTPControls* pControls = m_pCommandBar->GetControls();
  if (pControls == NULL) return FALSE;
  for (int i = 0; i < pControls->GetCount(); i++) {
    CXTPControl* pControl = pControls->GetAt(i);
    if (pControl == this || pControl->GetCommandBar() == NULL) continue;
    CXTPControlPopup* pChild = AS_KIND(CXTPControlPopup, pControl);
    if (pChild != NULL && pChild != pPopup && pChild->m_pCommandBar != m_pCommandBar &&
        pChild->HoldsPopup(pPopup))
      return TRUE;
  }
  return FALSE;
}

void CXTPControlPopup::ExpandOpenPopup() {
  if (!m_bPopup || m_controlType != xtpControlPopup) return;
  CXTPPopupBar* pPopupBar = AsPopupBar(m_pCommandBar);
  if (pPopupBar != NULL) pPopupBar->ExpandBar();
}

BOOL CXTPControlPopup::Compare(CXTPControl* pOther) {
  if (!CXTPControl::Compare(pOther)) return FALSE;
  CXTPControlPopup* pPopup = AS_KIND(CXTPControlPopup, pOther);
  if (pPopup == NULL) return FALSE;
  if (m_pCommandBar != NULL && pPopup->m_pCommandBar != NULL)
    return m_pCommandBar->GetControls()->Compare(pPopup->m_pCommandBar->GetControls());
  return TRUE;
}


void CXTPControlPopup::OnMnemonic() {
  if (m_pParent != NULL) m_pParent->SetPopuped(m_nIndex, TRUE);
}

void CXTPControlPopup::Copy(CXTPControl* pControl, BOOL bRecursive) {
  CXTPControl::Copy(pControl, bRecursive);
  CXTPControlPopup* pPopup = AS_KIND(CXTPControlPopup, pControl);
  if (pPopup == NULL || pPopup == this) return;
  if (pPopup->m_pCommandBar == NULL) {
    AttachBar(NULL);
  } else if (bRecursive) {
    CXTPCommandBar* pClone = pPopup->m_pCommandBar->Clone(TRUE);
    AttachBar(pClone);
    if (pClone != NULL) pClone->InternalRelease();
  } else {
    AttachBar(pPopup->m_pCommandBar);
  }
}

BOOL CXTPControlPopup::SetPopupOpen(BOOL bOpen) {
  m_bPopup = bOpen;
  if (!bOpen) {
    if (m_pCommandBar != NULL) m_pCommandBar->SetTrackingMode(xtpTrackingNone);
    RedrawParent();
    return TRUE;
  }
  if (m_pCommandBar == NULL) {
    m_bPopup = FALSE;
    return FALSE;
  }
  if (m_pCommandBar->IsTrackingMode()) return TRUE;
  if (!m_pCommandBar->Popup(this, m_bSelected == 2)) {
    m_bPopup = FALSE;
    return FALSE;
  }
  AddPopupShadow();
  return TRUE;
}

void CXTPControlPopup::AddPopupShadow() {
  if (m_pParent == NULL || m_pParent->GetType() == xtpBarTypePopup) return;
  if (m_controlType < xtpControlPopup || m_controlType > xtpControlSplitButtonPopup) return;
  CXTPPopupBar* pPopupBar = AsPopupBar(m_pCommandBar);
  if (pPopupBar == NULL || !pPopupBar->IsShowShadow()) return;
  XTPShadowManager()->SetShadow(this);
}

void CXTPControlPopup::AdjustExcludeRect(CRect& rc) {
  CXTPPaintManager* pPaintManager = GetPaintManager();
  if (pPaintManager == NULL || m_pParent == NULL) return;
  const XTPBarPosition position = m_pParent->GetPosition();
  const BOOL bVertical = position == xtpBarLeft || position == xtpBarRight || position == xtpBarPopup;
  pPaintManager->AdjustPopupExcludeRect(rc, this, bVertical);
}

void CXTPControlPopup::OnClick(BOOL bKeyboard, CPoint pt) {
  if (!m_bEnabled || m_pParent == NULL) return;
  const BOOL bCustomize = IsCustomizeMode();
  const BOOL bInPopup = m_pParent->GetType() == xtpBarTypePopup;
  if (m_bPopup && !bInPopup) {
    m_pParent->SetTrackingMode(xtpTrackingNone);
    return;
  }
  if (m_controlType == xtpControlSplitButtonPopup && !bCustomize) {
    if (bKeyboard) {
      Execute();
      return;
    }
    if (bInPopup && pt.x < m_rcControl.right - 20) {
      if (m_pParent->GetSafeHwnd() != NULL) ::KillTimer(m_pParent->GetSafeHwnd(), XTP_TID_HOVER);
      return;
    }
    if (!bInPopup && pt.x < m_rcControl.right - 11) {
      CRect rc = m_rcControl;
      rc.right -= 11;
      ClickToolBarButton(rc);
      return;
    }
  }
  if (!bCustomize || m_pCommandBar == NULL || m_pCommandBar->IsCustomizable())
    m_pParent->SetPopuped(m_nIndex, bKeyboard);
  if (bCustomize) OnCustomizePress(pt);
}

void CXTPControlPopup::OnLButtonUp(CPoint point) {
  if (m_bEnabled && m_controlType == xtpControlSplitButtonPopup && m_pParent != NULL &&
      m_pParent->GetType() == xtpBarTypePopup && point.x < m_rcControl.right - 20)
    Execute();
}

BOOL CXTPControlPopup::OnLButtonDblClk(CPoint point) {
  if ((m_controlType == xtpControlPopup || m_controlType == xtpControlButtonPopup) &&
      m_pCommandBar != NULL) {
    if (!m_bPopup) {
      OnClick(FALSE, point);
      return TRUE;
    }
    CXTPControls* pControls = m_pCommandBar->GetControls();
    for (int i = 0; pControls != NULL && i < pControls->GetCount(); i++) {
      CXTPControl* pItem = pControls->GetAt(i);
      if (pItem->IsVisible() && pItem->GetDefaultItem()) {
        pItem->Execute();
        return TRUE;
      }
    }
    return TRUE;
  }
  OnClick(FALSE, point);
  return TRUE;
}

void CXTPControlPopup::OnHoverTimer() {
  if (m_bEnabled && m_pParent != NULL &&
      (m_pParent->IsTrackingMode() || m_pParent->GetType() == xtpBarTypePopup)) {
    m_pParent->SetPopuped(m_nIndex);
    return;
  }
  CXTPControl::OnHoverTimer();
}

BOOL CXTPControlPopup::OnSelectionChanged(int nSelected) {
  if (!CXTPControl::OnSelectionChanged(nSelected)) return FALSE;
  if (m_pParent == NULL) return TRUE;
  const BOOL bInPopup = m_pParent->GetType() == xtpBarTypePopup;
  const BOOL bPopupTracking = m_pParent->GetTrackingMode() == xtpTrackingPopup;
  if ((m_controlType == xtpControlButtonPopup || m_controlType == xtpControlSplitButtonPopup) &&
      !bInPopup) {
    if (m_bEnabled && nSelected == 2 && bPopupTracking) m_pParent->SetPopuped(m_nIndex, TRUE);
    return TRUE;
  }
  if (m_bEnabled && nSelected != 0 && bPopupTracking && !bInPopup)
    m_pParent->SetPopuped(m_nIndex, nSelected == 2);
  else if (nSelected == 0 && m_bPopup && !bInPopup)
    m_pParent->SetPopuped(-1);
  return TRUE;
}

void CXTPControlPopup::OnCustomizeDragHover(CXTPControl* pDataObject) {
  if (m_pCommandBar == NULL || !m_pCommandBar->IsCustomizable() || m_pParent == NULL) return;
  CXTPControlPopup* pDragged = AS_KIND(CXTPControlPopup, pDataObject);
  if (pDragged != NULL && pDragged->HoldsPopup(this)) {
    m_pParent->SetPopuped(-1);
    m_pParent->SetSelected(-1);
    return;
  }
  m_pParent->SetPopuped(m_nIndex);
}

CXTPControl* CXTPControlPopup::Clone(BOOL bRecursive) { return CXTPControl::Clone(bRecursive); }
