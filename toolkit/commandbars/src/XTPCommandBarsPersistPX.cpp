// What the bars, their controls and the options store of themselves, and how the bars to
// save are gathered and re-linked: the DoPropExchange of the bar base, popup bars, the
// controls collection, the plain control kinds and the options; the bar list.
#include <framework.h>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPCommandBarsPersist.h"
#include "XTPControl.h"
#include "XTPControlButton.h"
#include "XTPControlPopup.h"
#include "XTPControlSelector.h"
#include "XTPControls.h"
#include "XTPImageManager.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"
#include "XTPPropExchange.h"

#ifndef AS_KIND
#define AS_KIND(cls, p) ((p) != NULL && (p)->IsKindOf(RUNTIME_CLASS(cls)) ? static_cast<cls*>(p) : NULL)
#endif

namespace {

// While an archive is read every value must be there: a value that cannot be read means
// the stream is damaged, and the whole load stops (the caller keeps the bars as built).
// The registry form simply lacks values that were never written.
void Require(CXTPPropExchange* pPX, BOOL bResult) {
  if (!bResult && pPX->IsLoading() && pPX->IsKindOf(RUNTIME_CLASS(CXTPPropExchangeArchive)))
    AfxThrowArchiveException(CArchiveException::endOfFile);
}

void ExchangeInt(CXTPPropExchange* pPX, LPCTSTR pszName, int& nValue, int nDefault) {
  Require(pPX, PX_Int(pPX, pszName, nValue, nDefault));
}
void ExchangeDWord(CXTPPropExchange* pPX, LPCTSTR pszName, DWORD& dwValue, int nDefault) {
  int nValue = (int)dwValue;
  ExchangeInt(pPX, pszName, nValue, nDefault);
  dwValue = (DWORD)nValue;
}
void ExchangeBool(CXTPPropExchange* pPX, LPCTSTR pszName, BOOL& bValue, BOOL bDefault) {
  Require(pPX, PX_Bool(pPX, pszName, bValue, bDefault));
}
void ExchangeString(CXTPPropExchange* pPX, LPCTSTR pszName, CString& strValue) {
  Require(pPX, PX_String(pPX, pszName, strValue, _T("")));
}
void ExchangeSize(CXTPPropExchange* pPX, LPCTSTR pszName, CSize& szValue, CSize szDefault) {
  Require(pPX, PX_Size(pPX, pszName, szValue, szDefault));
}
void ExchangeRect(CXTPPropExchange* pPX, LPCTSTR pszName, CRect& rcValue, CRect rcDefault) {
  Require(pPX, PX_Rect(pPX, pszName, rcValue, rcDefault));
}

// An id set through a nested archive of the value. A form that may omit values (the
// registry) gets no value for an empty set. Loading replaces the set only when a whole
// set was read.
void ExchangeIdSet(CXTPPropExchange* pPX, LPCTSTR pszName, CMap<UINT, UINT, BOOL, BOOL>& map) {
  if (pPX->IsStoring()) {
    if (map.IsEmpty() && pPX->IsAllowDefaultValues()) return;
    PX_Serialize(pPX, pszName, &map);
    return;
  }
  CMap<UINT, UINT, BOOL, BOOL> mapRead;
  if (PX_Serialize(pPX, pszName, &mapRead)) {
    map.RemoveAll();
    for (POSITION pos = mapRead.GetStartPosition(); pos != NULL;) {
      UINT nKey;
      BOOL bValue;
      mapRead.GetNextAssoc(pos, nKey, bValue);
      map.SetAt(nKey, bValue);
    }
  } else {
    Require(pPX, FALSE);
  }
}

// The command bars the exchange works for (the parameter block's), else the control's or
// bar's own.
CXTPCommandBars* LayoutCommandBars(CXTPPropExchange* pPX, CXTPCommandBars* pFallback) {
  XTP_COMMANDBARS_PROPEXCHANGE_PARAM* pParam = XTPGetLayoutParams(pPX);
  return pParam != NULL && pParam->pCommandBars != NULL ? pParam->pCommandBars : pFallback;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Controls

void CXTPControl::DoPropExchange(CXTPPropExchange* pPX) {
  if (pPX == NULL) return;
  const DWORD dwSchema = pPX->GetSchema();
  int nType = (int)m_controlType;
  ExchangeInt(pPX, _T("Type"), nType, 1);
  ExchangeInt(pPX, _T("Id"), m_nId, -1);
  ExchangeInt(pPX, _T("IconId"), m_nIconId, 0);
  ExchangeBool(pPX, _T("BeginGroup"), m_bBeginGroup, FALSE);
  int nTag = (int)m_nTag;
  ExchangeInt(pPX, _T("Tag"), nTag, 0);
  ExchangeDWord(pPX, _T("Flags"), m_dwFlags, 0);
  ExchangeDWord(pPX, _T("HideFlags"), m_dwHideFlags, 0);
  CString strCaption = m_strCaption;
  ExchangeString(pPX, _T("Caption"), strCaption);
  ExchangeString(pPX, _T("ShortcutText"), m_strShortcutText);
  ExchangeString(pPX, _T("TooltipText"), m_strTooltipText);
  ExchangeString(pPX, _T("DescriptionText"), m_strDescriptionText);
  ExchangeString(pPX, _T("Parameter"), m_strParameter);
  ExchangeInt(pPX, _T("CustomIconId"), m_nCustomIconId, 0);
  ExchangeString(pPX, _T("CustomCaption"), m_strCustomCaption);
  if (dwSchema > 1) ExchangeString(pPX, _T("Category"), m_strCategory);
  if (pPX->IsLoading()) {
    m_controlType = (XTPControlType)nType;
    m_nTag = (DWORD_PTR)(UINT)nTag;
    SetCaption(strCaption);
  }
  if (m_nCustomIconId > 0) {
    // The icons of a stored control belong to the process-wide image manager, which
    // the command bars use unless a program gives them one of their own.
    CXTPImageManager* pImageManager = XTPImageManager();
    CXTPPropExchangeSection secIcon(pPX->GetSection(_T("CustomIcon")));
    if (secIcon.GetSection() != NULL) pImageManager->DoPropExchange((UINT)m_nCustomIconId, secIcon);
  }
  if (dwSchema > 3) {
    ExchangeIdSet(pPX, _T("DocTemplatesExcluded"), m_mapDocTemplatesExcluded);
    ExchangeIdSet(pPX, _T("DocTemplatesAssigned"), m_mapDocTemplatesAssigned);
    ExchangeBool(pPX, _T("DefaultItem"), m_bDefaultItem, FALSE);
  }
  if (dwSchema > 6) ExchangeBool(pPX, _T("CloseSubMenuOnClick"), m_bCloseSubMenuOnClick, TRUE);
  if (dwSchema > 7) ExchangeInt(pPX, _T("CustomStyle"), m_buttonCustomStyle, 0);
}

void CXTPControlButton::DoPropExchange(CXTPPropExchange* pPX) {
  CXTPControl::DoPropExchange(pPX);
  if (pPX != NULL) ExchangeInt(pPX, _T("Style"), m_buttonStyle, 0);
}

void CXTPControlPopup::DoPropExchange(CXTPPropExchange* pPX) {
  CXTPControl::DoPropExchange(pPX);
  if (pPX == NULL) return;
  if (pPX->IsStoring()) {
    int nBarId = m_pCommandBar != NULL ? (int)m_pCommandBar->GetBarID() : 0;
    ExchangeInt(pPX, _T("CommandBarId"), nBarId, 0);
  } else {
    int nBarId = 0;
    ExchangeInt(pPX, _T("CommandBarId"), nBarId, 0);
    m_nCommandBarId = nBarId;
  }
  if (pPX->GetSchema() > 4) ExchangeInt(pPX, _T("Style"), m_buttonStyle, 0);
}

void CXTPControlSelector::DoPropExchange(CXTPPropExchange* pPX) {
  CXTPControl::DoPropExchange(pPX);
  if (pPX == NULL) return;
  ExchangeSize(pPX, _T("ItemsCount"), m_szItemsCount, CSize(5, 4));
  ExchangeSize(pPX, _T("ItemsMax"), m_szItemsMax, CSize(12, 12));
  ExchangeSize(pPX, _T("ItemSize"), m_szItem, CSize(28, 28));
}

void CXTPControls::SetOriginalControls(CXTPControls* pOriginalControls) {
  if (pOriginalControls == m_pOriginalControls) return;
  if (pOriginalControls != NULL) pOriginalControls->InternalAddRef();
  if (m_pOriginalControls != NULL) m_pOriginalControls->InternalRelease();
  m_pOriginalControls = pOriginalControls;
}

void CXTPControls::DoPropExchange(CXTPPropExchange* pPX) {
  if (pPX == NULL) return;
  XTP_COMMANDBARS_PROPEXCHANGE_PARAM* pParam = XTPGetLayoutParams(pPX);
  const DWORD dwSchema = pPX->GetSchema();
  CXTPPropExchangeEnumeratorPtr pEnumerator(pPX->GetEnumerator(_T("Control")));
  if (pPX->IsStoring()) {
    DWORD nCount = 0;
    for (int i = 0; i < GetCount(); i++)
      if (!m_arrControls[i]->IsTemporary()) nCount++;
    POSITION pos = pEnumerator->GetPosition(nCount, FALSE);
    for (int i = 0; i < GetCount() && pos != NULL; i++) {
      CXTPControl* pControl = m_arrControls[i];
      if (pControl->IsTemporary()) continue;
      CXTPPropExchangeSection secControl(pEnumerator->GetNext(pos));
      CObject* pObject = pControl;
      secControl->ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CXTPControl));
      pControl->DoPropExchange(secControl);
    }
    if (dwSchema > 2) {
      BOOL bOriginal = m_pOriginalControls != NULL && pParam != NULL && pParam->bSaveOriginalControls;
      ExchangeBool(pPX, _T("OriginalControls"), bOriginal, FALSE);
      if (bOriginal) {
        CXTPPropExchangeSection secOriginal(pPX->GetSection(_T("OriginalControls")));
        m_pOriginalControls->DoPropExchange(secOriginal);
      }
    }
    BOOL bCustomized = FALSE;
    ExchangeBool(pPX, _T("CustomizedControls"), bCustomized, FALSE);
    return;
  }

  RemoveAll();
  POSITION pos = pEnumerator->GetPosition(0, FALSE);
  while (pos != NULL) {
    CXTPPropExchangeSection secControl(pEnumerator->GetNext(pos));
    CObject* pObject = NULL;
    if (!secControl->ExchangeObjectInstance(&pObject, RUNTIME_CLASS(CXTPControl)) || pObject == NULL)
      AfxThrowArchiveException(CArchiveException::badClass);
    CXTPControl* pControl = static_cast<CXTPControl*>(pObject);
    try {
      pControl->DoPropExchange(secControl);
    } catch (...) {
      pControl->InternalRelease();
      throw;
    }
    m_arrControls.Add(pControl);
  }
  RefreshIndexes();
  if (dwSchema > 2) {
    BOOL bOriginal = FALSE;
    ExchangeBool(pPX, _T("OriginalControls"), bOriginal, FALSE);
    if (bOriginal) {
      CXTPControls* pOriginal = new CXTPControls();
      pOriginal->m_pCommandBars = m_pCommandBars;
      try {
        CXTPPropExchangeSection secOriginal(pPX->GetSection(_T("OriginalControls")));
        pOriginal->DoPropExchange(secOriginal);
      } catch (...) {
        pOriginal->InternalRelease();
        throw;
      }
      if (m_pOriginalControls != NULL) m_pOriginalControls->InternalRelease();
      m_pOriginalControls = pOriginal;
    }
  }
  BOOL bCustomized = FALSE;
  ExchangeBool(pPX, _T("CustomizedControls"), bCustomized, FALSE);
  if (bCustomized) {
    // Read past and dropped.
    CXTPControls* pCustomized = new CXTPControls();
    try {
      CXTPPropExchangeSection secCustomized(pPX->GetSection(_T("CustomizedControls")));
      pCustomized->DoPropExchange(secCustomized);
    } catch (...) {
      pCustomized->InternalRelease();
      throw;
    }
    pCustomized->InternalRelease();
  }
}

// ---------------------------------------------------------------------------------------
// Bars

void CXTPCommandBar::DoPropExchange(CXTPPropExchange* pPX) {
  if (pPX == NULL) return;
  if (pPX->IsLoading()) {
    CXTPCommandBars* pCommandBars = LayoutCommandBars(pPX, NULL);
    if (pCommandBars != NULL) SetCommandBars(pCommandBars);
  }
  int nType = (int)m_barType, nPosition = (int)m_barPosition, nBarID = (int)m_nBarID;
  ExchangeInt(pPX, _T("Type"), nType, 1);
  ExchangeInt(pPX, _T("Position"), nPosition, 0);
  ExchangeInt(pPX, _T("BarID"), nBarID, 0);
  ExchangeDWord(pPX, _T("Flags"), m_dwFlags, 0);
  ExchangeDWord(pPX, _T("Style"), m_dwStyle, 0);
  ExchangeString(pPX, _T("Title"), m_strTitle);
  ExchangeBool(pPX, _T("Customizable"), m_bCustomizable, TRUE);
  ExchangeInt(pPX, _T("MRUWidth"), m_nMRUWidth, 0);
  if (pPX->GetSchema() > 2) ExchangeSize(pPX, _T("IconSize"), m_szIcons, CSize(0, 0));
  if (pPX->IsLoading()) {
    m_barType = (XTPBarType)nType;
    m_barPosition = (XTPBarPosition)nPosition;
    m_nBarID = (UINT)nBarID;
    if (m_pCommandBars != NULL) m_pControls->SetCommandBars(m_pCommandBars);
  }
  CXTPPropExchangeSection secControls(pPX->GetSection(_T("Controls")));
  if (secControls.GetSection() != NULL) m_pControls->DoPropExchange(secControls);
}

void CXTPPopupBar::DoPropExchange(CXTPPropExchange* pPX) {
  CXTPCommandBar::DoPropExchange(pPX);
  if (pPX == NULL) return;
  const DWORD dwSchema = pPX->GetSchema();
  ExchangeBool(pPX, _T("TearOffPopup"), m_bTearOffPopup, FALSE);
  ExchangeString(pPX, _T("TearOffCaption"), m_strTearOffCaption);
  int nTearOffId = (int)m_nTearOffID;
  ExchangeInt(pPX, _T("TearOffId"), nTearOffId, 0);
  if (pPX->IsLoading()) m_nTearOffID = (UINT)nTearOffId;
  ExchangeInt(pPX, _T("TearOffWidth"), m_nTearOffWidth, 0);
  if (dwSchema > 3) {
    ExchangeRect(pPX, _T("Borders"), m_rcBorders, CRect(2, 4, 2, 4));
    ExchangeBool(pPX, _T("ShowShadow"), m_bShowShadow, TRUE);
  }
  if (dwSchema > 8) ExchangeBool(pPX, _T("DoubleGripper"), m_bDoubleGripper, FALSE);
}

namespace {

// Adds the popup bars of a collection's controls (and of its original controls when the
// parameter block asks for them).
void GenerateFromControls(CXTPControls* pControls, DWORD& nID, CXTPCommandBarList* pList,
                          XTP_COMMANDBARS_PROPEXCHANGE_PARAM* pParam) {
  if (pControls == NULL) return;
  for (int i = 0; i < pControls->GetCount(); i++) {
    CXTPControl* pControl = pControls->GetAt(i);
    if (pControl->IsTemporary()) continue;
    CXTPCommandBar* pBar = pControl->GetCommandBar();
    if (pBar != NULL) pBar->GenerateCommandBarList(nID, pList, pParam);
  }
  if (pParam != NULL && pParam->bSaveOriginalControls)
    GenerateFromControls(pControls->GetOriginalControls(), nID, pList, pParam);
}

// The bars whose links are being resolved, outermost first: a bar met again is not
// entered a second time (a stored popup that names a bar above it).
CArray<CXTPCommandBar*, CXTPCommandBar*> g_arrRestoring;

void RestoreControls(CXTPControls* pControls, CXTPCommandBarList* pList) {
  if (pControls == NULL) return;
  for (int i = 0; i < pControls->GetCount(); i++) {
    CXTPControlPopup* pPopup = AS_KIND(CXTPControlPopup, pControls->GetAt(i));
    if (pPopup == NULL || pPopup->GetCommandBarId() == 0) continue;
    CXTPCommandBar* pBar = pList->FindCommandBar((UINT)pPopup->GetCommandBarId());
    if (pBar == NULL) continue;
    BOOL bOnPath = FALSE;
    for (INT_PTR j = 0; j < g_arrRestoring.GetSize(); j++)
      if (g_arrRestoring[j] == pBar) bOnPath = TRUE;
    if (bOnPath) continue;  // would make the popup open a bar that holds it
    pPopup->AttachBar(pBar);
    pPopup->SetCommandBarId(0);
    pBar->RestoreCommandBarList(pList);
  }
  RestoreControls(pControls->GetOriginalControls(), pList);
}

}  // namespace

void CXTPCommandBar::GenerateCommandBarList(DWORD& nID, CXTPCommandBarList* pCommandBarList,
                                            XTP_COMMANDBARS_PROPEXCHANGE_PARAM* pParam) {
  if (pCommandBarList == NULL || pCommandBarList->Lookup(this)) return;
  pCommandBarList->AddTail(this);
  // Toolbars keep their ids; popup bars get a fresh one beyond the resource range.
  if (m_barType == xtpBarTypePopup && (m_nBarID == 0 || m_nBarID > 0xFFFFFF)) m_nBarID = nID++;
  GenerateFromControls(m_pControls, nID, pCommandBarList, pParam);
}

void CXTPCommandBar::RestoreCommandBarList(CXTPCommandBarList* pCommandBarList) {
  if (pCommandBarList == NULL) return;
  g_arrRestoring.Add(this);
  try {
    RestoreControls(m_pControls, pCommandBarList);
  } catch (...) {
    g_arrRestoring.RemoveAt(g_arrRestoring.GetSize() - 1);
    throw;
  }
  g_arrRestoring.RemoveAt(g_arrRestoring.GetSize() - 1);
}

// ---------------------------------------------------------------------------------------
// The bar list

CXTPCommandBarList::CXTPCommandBarList(BOOL bHoldsReferences) : m_bHoldsReferences(bHoldsReferences) {}

CXTPCommandBarList::~CXTPCommandBarList() { RemoveAll(); }

CXTPCommandBar* CXTPCommandBarList::FindCommandBar(UINT nID) const {
  for (POSITION pos = m_lstBars.GetHeadPosition(); pos != NULL;) {
    CXTPCommandBar* pBar = m_lstBars.GetNext(pos);
    if (pBar->GetBarID() == nID) return pBar;
  }
  return NULL;
}

BOOL CXTPCommandBarList::Lookup(CXTPCommandBar* pBar) const {
  return pBar != NULL && m_lstBars.Find(pBar) != NULL;
}

BOOL CXTPCommandBarList::Detach(CXTPCommandBar* pBar) {
  POSITION pos = m_lstBars.Find(pBar);
  if (pos == NULL) return FALSE;
  m_lstBars.RemoveAt(pos);
  return TRUE;
}

void CXTPCommandBarList::RemoveAll() {
  if (m_bHoldsReferences) {
    for (POSITION pos = m_lstBars.GetHeadPosition(); pos != NULL;) {
      CXTPCommandBar* pBar = m_lstBars.GetNext(pos);
      // A bar read back may link popups to bars of the same list: those links go first,
      // so that no bar outlives the list through a cycle.
      if (pBar->GetSafeHwnd() != NULL) pBar->DestroyWindow();
      pBar->InternalRelease();
    }
  }
  m_lstBars.RemoveAll();
}

// ---------------------------------------------------------------------------------------
// Options

void CXTPCommandBarsOptions::Serialize(CArchive& ar) {
  CXTPPropExchangeArchive px(ar);
  DoPropExchange(&px, FALSE);
}

void CXTPCommandBarsOptions::DoPropExchange(CXTPPropExchange* pPX, BOOL bRegistry) {
  if (pPX == NULL) return;
  // Every value is written, and a missing one leaves the option as the program set it.
  pPX->UseDefaultOnLoad(FALSE);
  pPX->UseDefaultOnSave(FALSE);
  int nSchema = 16;
  PX_Int(pPX, _T("Schema"), nSchema, 16);
  if (pPX->IsStoring()) nSchema = 16;
  PX_Bool(pPX, _T("AlwaysShowFullMenus"), bAlwaysShowFullMenus, TRUE);
  PX_Bool(pPX, _T("ShowFullAfterDelay"), bShowFullAfterDelay, TRUE);
  PX_Bool(pPX, _T("ToolBarScreenTips"), bToolBarScreenTips, TRUE);
  PX_Bool(pPX, _T("ToolBarAccelTips"), bToolBarAccelTips, FALSE);
  PX_Bool(pPX, _T("LargeIcons"), bLargeIcons, FALSE);
  if (nSchema > 7) {
    if (bRegistry && pPX->IsStoring() && m_mapUsedCommands.IsEmpty()) {
      // An emptied set (usage data reset) must not come back from an old value.
      CXTPPropExchangeRegistry* pRegistry = AS_KIND(CXTPPropExchangeRegistry, pPX);
      if (pRegistry != NULL && pRegistry->GetSectionKey() != NULL)
        ::RegDeleteValueW(pRegistry->GetSectionKey(), L"UsedCommands");
    } else if (pPX->IsStoring()) {
      PX_Serialize(pPX, _T("UsedCommands"), &m_mapUsedCommands);
    } else {
      CXTPCommandSet setRead;
      if (PX_Serialize(pPX, _T("UsedCommands"), &setRead)) {
        m_mapUsedCommands.RemoveAll();
        for (POSITION pos = setRead.GetStartPosition(); pos != NULL;) {
          UINT nKey;
          BOOL bValue;
          setRead.GetNextAssoc(pos, nKey, bValue);
          m_mapUsedCommands.SetAt(nKey, bValue);
        }
      }
    }
  }
  if (nSchema > 7 || bRegistry) {
    int nAnimation = (int)animationType;
    PX_Int(pPX, _T("Animation"), nAnimation, 0);
    animationType = (XTPAnimationType)nAnimation;
  }
  if (bRegistry) return;

  // The icon options are the current paint manager's.
  CXTPPaintManager* pPaintManager = XTPPaintManager();
  PX_Bool(pPX, _T("SyncFloatingBars"), bSyncFloatingBars, TRUE);
  PX_Bool(pPX, _T("ShowExpandButtonAlways"), bShowExpandButtonAlways, TRUE);
  PX_Size(pPX, _T("IconsSize"), szIcons, CSize(0, 0));
  PX_Size(pPX, _T("LargeIconsSize"), szLargeIcons, CSize(0, 0));
  {
    CXTPCommandSet setRead;
    if (pPX->IsStoring()) {
      PX_Serialize(pPX, _T("HiddenCommands"), &m_mapHiddenCommands);
    } else if (PX_Serialize(pPX, _T("HiddenCommands"), &setRead)) {
      m_mapHiddenCommands.RemoveAll();
      for (POSITION pos = setRead.GetStartPosition(); pos != NULL;) {
        UINT nKey;
        BOOL bValue;
        setRead.GetNextAssoc(pos, nKey, bValue);
        m_mapHiddenCommands.SetAt(nKey, bValue);
      }
    }
  }
  XTP_COMMANDBARS_ICONSINFO iconsScratch = {FALSE, TRUE, FALSE, FALSE};
  XTP_COMMANDBARS_ICONSINFO* pIcons = pPaintManager != NULL ? pPaintManager->GetIconsInfo() : &iconsScratch;
  PX_Bool(pPX, _T("IconsWithShadow"), pIcons->bIconsWithShadow, FALSE);
  PX_Bool(pPX, _T("UseDisabledIcons"), pIcons->bUseDisabledIcons, TRUE);
  PX_Bool(pPX, _T("UseFadedIcons"), pIcons->bUseFadedIcons, TRUE);
  if (nSchema > 7) {
    PX_Bool(pPX, _T("SyncFloatingBars"), bSyncFloatingBars, TRUE);
    PX_Bool(pPX, _T("ShowExpandButtonAlways"), bShowExpandButtonAlways, TRUE);
    PX_Bool(pPX, _T("DblClickFloat"), bDblClickFloat, FALSE);
    PX_Bool(pPX, _T("ShowTextBelowIcons"), bShowTextBelowIcons, FALSE);
    PX_Bool(pPX, _T("AltDragCustomization"), bAltDragCustomization, TRUE);
    PX_Bool(pPX, _T("AutoHideUnusedPopups"), bAutoHideUnusedPopups, TRUE);
    PX_Size(pPX, _T("PopupIconsSize"), szPopupIcons, CSize(16, 16));
  }
  if (nSchema >= 9) {
    PX_Int(pPX, _T("KeyboardCuesUse"), keyboardCuesUse, 1);
    int nShow = keyboardCuesShow;
    PX_Int(pPX, _T("KeyboardCuesShow"), nShow, 0);
    if (pPX->IsLoading()) ShowKeyboardCues(nShow);
  }
}
