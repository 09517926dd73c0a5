// The controls collection of a bar: creation by type and from menus, index upkeep, search,
// removal, the snapshot of the controls as first loaded and the row layout.
#include <framework.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPControl.h"
#include "XTPControlButton.h"
#include "XTPControlLabel.h"
#include "XTPControlPopup.h"
#include "XTPControls.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"

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


// ---- Creation ----

namespace {
// A control of a class that another area of the toolkit supplies, made through its run-time
// class record; null while that class is not part of the program.
CXTPControl* CreateByName(LPCSTR lpszClass) {
  CRuntimeClass* pClass = CRuntimeClass::FromName(lpszClass);
  if (pClass == NULL || !pClass->IsDerivedFrom(RUNTIME_CLASS(CXTPControl))) return NULL;
  return (CXTPControl*)pClass->CreateObject();
}

// A new popup bar linked to the command bars.
CXTPCommandBar* NewPopupBar(CXTPCommandBars* pCommandBars) {
  return CXTPPopupBar::CreatePopupBar(pCommandBars);
}

CString StripMnemonics(const CString& strText) {
  CString str = strText;
  str.Replace(_T("&&"), _T("\x01"));
  str.Remove(_T('&'));
  str.Replace(_T("\x01"), _T("&"));
  return str;
}

// The bar the site offers for a popup (10337), else null.
CXTPCommandBar* AskSiteForBar(CWnd* pSite, const CString& strCaption, int nId) {
  if (pSite == NULL || pSite->GetSafeHwnd() == NULL) return NULL;
  XTP_COMMANDBAR_CREATE create = {};
  create.bPopup = 1;
  create.lpcstrCaption = strCaption;
  create.nID = nId;
  if (pSite->SendMessage(XTPM_CREATECOMMANDBAR, 0, (LPARAM)&create) == 0) return NULL;
  return create.pCommandBar;
}
}  // namespace

static CWnd* CXTPControls_Site(const CXTPControls* pControls) {
  CXTPCommandBars* pCommandBars = pControls->GetCommandBars();
  if (pCommandBars != NULL && pCommandBars->GetSite() != NULL) return pCommandBars->GetSite();
  if (pControls->GetParent() != NULL) return pControls->GetParent()->GetCommandTarget();
  return NULL;
}

CXTPControl* CXTPControls::Add(XTPControlType controlType, int nId, CString strParameter,
                               int nBefore, BOOL bTemporary) {
  CXTPControl* pControl = NULL;
  switch (controlType) {
    case xtpControlButton:
      if (nId == XTP_ID_WINDOWLIST) pControl = CreateByName("CXTPControlWindowList");
      else if (nId == XTP_ID_WORKSPACE_ACTIONS) pControl = CreateByName("CXTPControlWorkspaceActions");
      else if (nId == XTP_ID_TOOLBARLIST) pControl = CreateByName("CXTPControlToolbars");
      else if (nId == XTP_ID_FILE_MRU) pControl = CreateByName("CXTPControlRecentFileList");
      if (pControl == NULL) pControl = new CXTPControlButton();
      break;
    case xtpControlComboBox: pControl = CreateByName("CXTPControlComboBox"); break;
    case xtpControlEdit: pControl = CreateByName("CXTPControlEdit"); break;
    case xtpControlCustom: pControl = CreateByName("CXTPControlCustom"); break;
    case xtpControlLabel: pControl = new CXTPControlLabel(); break;
    case xtpControlPopup:
    case xtpControlButtonPopup:
    case xtpControlSplitButtonPopup: {
      CXTPControlPopup* pPopup = CXTPControlPopup::CreateControlPopup(controlType);
      CXTPCommandBar* pBar = NULL;
      BOOL bOwnRef = TRUE;
      if (nId > 0) {
        CMenu menu;
        if (menu.LoadMenu((UINT)nId)) {
          CString strCaption;
          menu.GetMenuString(0, strCaption, MF_BYPOSITION);
          pPopup->SetCaption(strCaption);
          pBar = AskSiteForBar(CXTPControls_Site(this), strCaption, nId);
          if (pBar != NULL) bOwnRef = FALSE;
          else pBar = NewPopupBar(GetCommandBars());
          HMENU hSub = ::GetSubMenu(menu.m_hMenu, 0);
          if (hSub != NULL) {
            CMenu sub;
            sub.Attach(hSub);
            pBar->GetControls()->RemoveAll();
            pBar->GetControls()->LoadMenu(&sub);
            sub.Detach();
          }
        }
      }
      if (pBar == NULL) pBar = NewPopupBar(GetCommandBars());
      pPopup->AttachBar(pBar);
      if (bOwnRef) pBar->InternalRelease();
      pControl = pPopup;
      if (controlType == xtpControlPopup) nId = 0;
      break;
    }
    default:
      return NULL;
  }
  if (pControl == NULL) return NULL;
  pControl->SetType(controlType);
  return Add(pControl, nId, strParameter, nBefore, bTemporary);
}

CXTPControl* CXTPControls::Add(CXTPControl* pControl, int nId, CString strParameter, int nBefore,
                               BOOL bTemporary) {
  if (pControl == NULL) return NULL;
  pControl->AssignId(nId);
  pControl->SetParameter(strParameter);
  pControl->SetTemporary(bTemporary);
  if (nBefore < 0 || nBefore >= GetCount())
    m_arrControls.Add(pControl);
  else
    m_arrControls.InsertAt(nBefore, pControl);
  RefreshIndexes();
  return pControl;
}

CXTPControl* CXTPControls::AddClone(CXTPControl* pClone, int nBefore, BOOL bRecursive) {
  if (pClone == NULL) return NULL;
  CXTPControl* pControl = pClone->Clone(bRecursive);
  if (pControl == NULL) return NULL;
  if (nBefore < 0 || nBefore >= GetCount())
    m_arrControls.Add(pControl);
  else
    m_arrControls.InsertAt(nBefore, pControl);
  RefreshIndexes();
  return pControl;
}

CXTPControl* CXTPControls::AddMenuItem(CMenu* pMenu, int nIndex) {
  if (pMenu == NULL || pMenu->m_hMenu == NULL) return NULL;
  const HMENU hMenu = pMenu->m_hMenu;
  if (nIndex < 0 || nIndex >= ::GetMenuItemCount(hMenu)) return NULL;
  const HMENU hSub = ::GetSubMenu(hMenu, nIndex);
  int nId = hSub != NULL ? 0 : (int)::GetMenuItemID(hMenu, nIndex);
  if (hSub == NULL && nId == -1) nId = 0;
  const BOOL bDefault = (int)::GetMenuDefaultItem(hMenu, TRUE, 0) == nIndex;
  TCHAR szText[257] = {0};
  ::GetMenuString(hMenu, (UINT)nIndex, szText, 256, MF_BYPOSITION);
  if (nId == XTP_ID_MENU_NEVER_CONTROL) return NULL;

  XTP_CONTROL_CREATE create;
  create.nID = nId;
  create.pControl = NULL;
  create.nReserved = 0;
  create.nIndex = nIndex;
  create.pMenu = pMenu;
  create.pCommandBar = m_pParent;
  create.strCaption = szText;
  create.controlType = hSub != NULL ? xtpControlPopup : xtpControlButton;
  create.dwFlags = 0;

  CWnd* pSite = CXTPControls_Site(this);
  if (pSite != NULL && pSite->GetSafeHwnd() != NULL) {
    XTP_CONTROL_CREATE proposal = create;
    // Only a non-zero answer lets the site's record replace the proposal.
    if (pSite->SendMessage(XTPM_BEFORECREATECONTROL, 0, (LPARAM)&create) == 0) create = proposal;
  }
  CXTPControl* pControl = create.pControl;
  if (pControl == NULL) {
    const int type = create.controlType;
    if (type == xtpControlButton) {
      if (create.nID == XTP_ID_WINDOWLIST) pControl = CreateByName("CXTPControlWindowList");
      else if (create.nID == XTP_ID_WORKSPACE_ACTIONS) pControl = CreateByName("CXTPControlWorkspaceActions");
      else if (create.nID == 57616) pControl = CreateByName("CXTPControlRecentFileList");
      else if (create.nID == XTP_ID_TOOLBARLIST) pControl = CreateByName("CXTPControlToolbars");
      else if (create.nID == XTP_ID_OLEVERBS && create.strCaption == _T("<<OLE VERBS GO HERE>>"))
        pControl = CreateByName("CXTPControlOleItems");
      if (pControl == NULL) pControl = new CXTPControlButton();
    } else if (type == xtpControlComboBox) {
      pControl = CreateByName("CXTPControlComboBox");
    } else if (type == xtpControlEdit) {
      pControl = CreateByName("CXTPControlEdit");
    } else if (type >= xtpControlPopup && type <= xtpControlSplitButtonPopup) {
      CXTPControlPopup* pPopup = CXTPControlPopup::CreateControlPopup((XTPControlType)type);
      const CString strTitle = StripMnemonics(create.strCaption);
      CXTPCommandBar* pBar = AskSiteForBar(pSite, strTitle, create.nID);
      BOOL bOwnRef = FALSE;
      if (pBar == NULL || !pBar->IsKindOf(RUNTIME_CLASS(CXTPPopupBar))) {
        pBar = NewPopupBar(GetCommandBars());
        bOwnRef = TRUE;
      }
      pBar->SetTitle(strTitle);
      if (hSub != NULL) {
        CMenu sub;
        sub.Attach(hSub);
        pBar->GetControls()->LoadMenu(&sub);
        sub.Detach();
      } else if (create.nID != 0) {
        CMenu menu;
        if (menu.LoadMenu((UINT)create.nID)) {
          HMENU hFirst = ::GetSubMenu(menu.m_hMenu, 0);
          if (hFirst != NULL) {
            CMenu sub;
            sub.Attach(hFirst);
            pBar->GetControls()->LoadMenu(&sub);
            sub.Detach();
          }
        }
      }
      pPopup->AttachBar(pBar);
      if (bOwnRef) pBar->InternalRelease();
      pControl = pPopup;
    }
  }
  if (pControl == NULL) return NULL;
  pControl->SetType((XTPControlType)create.controlType);
  pControl->SetFlags(pControl->GetFlags() | create.dwFlags);
  pControl->AssignId(create.nID);
  pControl->SetCaption(create.strCaption);
  pControl->SetDefaultItem(bDefault);
  m_arrControls.Add(pControl);
  RefreshIndexes();
  if (pSite != NULL && pSite->GetSafeHwnd() != NULL) {
    create.pControl = pControl;
    pSite->SendMessage(XTPM_AFTERCREATECONTROL, 0, (LPARAM)&create);
  }
  return pControl;
}

BOOL CXTPControls::LoadMenu(CMenu* pMenu) {
  if (pMenu == NULL || pMenu->m_hMenu == NULL) return FALSE;
  const HMENU hMenu = pMenu->m_hMenu;
  const int nCount = ::GetMenuItemCount(hMenu);
  BOOL bGroup = FALSE;
  for (int i = 0; i < nCount; i++) {
    MENUITEMINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    if (!::GetMenuItemInfo(hMenu, (UINT)i, TRUE, &info)) continue;
    if ((info.fType & MFT_SEPARATOR) || (info.wID == 0 && info.hSubMenu == NULL)) {
      bGroup = TRUE;
      continue;
    }
    CXTPControl* pControl = AddMenuItem(pMenu, i);
    if (pControl == NULL) continue;
    if (bGroup) pControl->SetBeginGroup(TRUE);
    bGroup = FALSE;
    if (info.fState & MFS_CHECKED) pControl->SetChecked(TRUE);
    if (info.fState & (MFS_DISABLED | MFS_GRAYED)) pControl->SetEnabled(FALSE);
  }
  return TRUE;
}

// ---- Removal and search ----

void CXTPControls::Remove(CXTPControl* pControl) {
  if (pControl == NULL || pControl->m_pControls != this) return;
  for (int i = 0; i < GetCount(); i++)
    if (m_arrControls[i] == pControl) {
      Remove(i);
      return;
    }
}

void CXTPControls::Remove(int nIndex) {
  if (nIndex < 0 || nIndex >= GetCount()) return;
  CXTPControl* pControl = m_arrControls[nIndex];
  if (m_pParent != NULL && m_pParent->GetSelected() == pControl) m_pParent->SetSelected(-1);
  m_arrControls.RemoveAt(nIndex);
  pControl->m_pControls = NULL;
  pControl->m_pParent = NULL;
  pControl->InternalRelease();
  RefreshIndexes();
}

CXTPControl* CXTPControls::GetFirst() const { return GetAt(0); }

CXTPControl* CXTPControls::GetNext(CXTPControl* pControl) const {
  if (pControl == NULL || pControl->m_pControls != this) return NULL;
  return GetAt(pControl->GetIndex() + 1);
}

CXTPControl* CXTPControls::HitTest(CPoint point) const {
  for (int i = 0; i < GetCount(); i++) {
    CXTPControl* pControl = m_arrControls[i];
    if (pControl->GetHideFlags() == xtpHideNone && pControl->GetRect().PtInRect(point))
      return pControl;
  }
  return NULL;
}

CXTPControl* CXTPControls::FindControl(int nId) const {
  return FindControl(xtpControlError, nId, FALSE, FALSE);
}

CXTPControl* CXTPControls::FindControl(XTPControlType type, int nId, BOOL bVisible,
                                       BOOL bRecursive) const {
  for (int i = 0; i < GetCount(); i++) {
    CXTPControl* pControl = m_arrControls[i];
    if ((type == xtpControlError || pControl->GetType() == type) &&
        (!bVisible || pControl->GetHideFlags() == xtpHideNone) &&
        (nId == -1 || pControl->GetID() == nId))
      return pControl;
    if (bRecursive && pControl->GetType() >= xtpControlPopup &&
        pControl->GetType() <= xtpControlSplitButtonPopup) {
      CXTPCommandBar* pBar = pControl->GetCommandBar();
      if (pBar != NULL && pBar->GetControls() != NULL && pBar->GetControls() != this) {
        CXTPControl* pFound = pBar->GetControls()->FindControl(type, nId, bVisible, TRUE);
        if (pFound != NULL) return pFound;
      }
    }
  }
  return NULL;
}

int CXTPControls::GetVisibleCount(BOOL bAll) const {
  int nCount = 0;
  for (int i = 0; i < GetCount(); i++) {
    const DWORD dwHide = m_arrControls[i]->GetHideFlags();
    if (bAll || dwHide == xtpHideNone || dwHide == xtpHideWrap) nCount++;
  }
  return nCount;
}

// ---- Snapshot ----

CXTPControls* CXTPControls::Duplicate(BOOL bRecursive) {
  CXTPControls* pCopy = new CXTPControls();
  pCopy->m_pCommandBars = GetCommandBars();
  for (int i = 0; i < GetCount(); i++) {
    CXTPControl* pControl = m_arrControls[i];
    if (pControl->IsTemporary()) continue;
    CXTPControl* pClone = pControl->Clone(bRecursive);
    if (pClone != NULL) pCopy->m_arrControls.Add(pClone);
  }
  pCopy->RefreshIndexes();
  if (m_pOriginalControls != NULL) pCopy->m_pOriginalControls = m_pOriginalControls->Duplicate(bRecursive);
  return pCopy;
}

void CXTPControls::CreateOriginalControls() {
  CXTPControls* pSnapshot = Duplicate(TRUE);
  ClearOriginalControls();
  m_pOriginalControls = pSnapshot;
}

void CXTPControls::ClearOriginalControls() {
  if (m_pOriginalControls != NULL) m_pOriginalControls->InternalRelease();
  m_pOriginalControls = NULL;
}

BOOL CXTPControls::Compare(const CXTPControls* pOther) const {
  if (pOther == NULL) return FALSE;
  int i = 0, j = 0;
  for (;;) {
    while (i < GetCount() && m_arrControls[i]->IsTemporary()) i++;
    while (j < pOther->GetCount() && pOther->m_arrControls[j]->IsTemporary()) j++;
    const BOOL bEndThis = i >= GetCount(), bEndOther = j >= pOther->GetCount();
    if (bEndThis || bEndOther) return bEndThis && bEndOther;
    if (!m_arrControls[i]->Compare(pOther->m_arrControls[j])) return FALSE;
    i++;
    j++;
  }
}

BOOL CXTPControls::IsChanged() const {
  return m_pOriginalControls == NULL || !Compare(m_pOriginalControls);
}

// ---- Row layout ----

namespace {
struct LayoutRecord {
  CRect rc;
  CRect rcRow;
  CSize sz;
  BOOL bVisible;  // hide flags 0 or 2
  BOOL bWrap;     // starts a row
  BOOL bHide;     // did not fit
  BOOL bBeginGroup;
  BOOL bShown() const { return bVisible && !bHide; }
};

const int kGroupGap = 6;

int WrapControls(std::vector<LayoutRecord>& records, int nWidth, DWORD& dwMode) {
  const BOOL bVert = (dwMode & LM_VERTDOCK) != 0;
  for (LayoutRecord& r : records) {
    r.bWrap = FALSE;
    r.bHide = FALSE;
  }
  int nRows = 1;
  int x = 0;
  BOOL bFirst = TRUE;
  int nRowStart = 0;
  const int nCount = (int)records.size();
  for (int i = 0; i < nCount; i++) {
    LayoutRecord& r = records[i];
    if (!r.bVisible) continue;
    int nExtent = bVert ? r.sz.cy : r.sz.cx;
    if (r.bBeginGroup && !bFirst) nExtent += kGroupGap;
    x += nExtent;
    const BOOL bBreak = !bFirst && (x > nWidth || ((dwMode & LM_POPUP) && r.bBeginGroup));
    if (bBreak) {
      if (dwMode & LM_HIDEWRAP) {
        for (int k = i; k < nCount; k++) records[k].bHide = records[k].bVisible;
        dwMode |= LM_STRETCH;
        return nRows;
      }
      // A whole group moves: the nearest visible group start back to the row's start.
      int j = i;
      for (int k = i; k > nRowStart; k--)
        if (records[k].bVisible && records[k].bBeginGroup) {
          j = k;
          break;
        }
      records[j].bWrap = TRUE;
      nRowStart = j;
      nRows++;
      x = bVert ? records[j].sz.cy : records[j].sz.cx;
      dwMode |= LM_STRETCH;
      i = j;
    }
    bFirst = FALSE;
  }
  return nRows;
}

CSize CalcSize(std::vector<LayoutRecord>& records, CSize szSeparator, BOOL bVert) {
  int nAlong = 0;     // x (rows) or y (columns)
  int nAcross = 0;    // y of the row, or distance of the column left of 0
  int nRowExtent = 0; // tallest record of the row, widest of the column
  BOOL bFirstInRow = TRUE;
  BOOL bAny = FALSE;
  CSize szTotal(0, 0);
  for (LayoutRecord& r : records) {
    if (!r.bShown()) continue;
    if (r.bWrap && bAny) {
      nAcross += nRowExtent + (r.bBeginGroup ? szSeparator.cy : 0);
      nAlong = 0;
      nRowExtent = 0;
      bFirstInRow = TRUE;
    } else if (r.bBeginGroup && !bFirstInRow) {
      nAlong += szSeparator.cx;
    }
    if (!bVert) {
      r.rc = CRect(nAlong, nAcross, nAlong + r.sz.cx, nAcross + r.sz.cy);
      nAlong += r.sz.cx;
      nRowExtent = std::max(nRowExtent, (int)r.sz.cy);
      szTotal.cx = std::max(szTotal.cx, r.rc.right);
      szTotal.cy = std::max(szTotal.cy, r.rc.bottom);
    } else {
      r.rc = CRect(-nAcross - r.sz.cx, nAlong, -nAcross, nAlong + r.sz.cy);
      nAlong += r.sz.cy;
      nRowExtent = std::max(nRowExtent, (int)r.sz.cx);
      szTotal.cx = std::max(szTotal.cx, -r.rc.left);
      szTotal.cy = std::max(szTotal.cy, r.rc.bottom);
    }
    bFirstInRow = FALSE;
    bAny = TRUE;
  }
  return szTotal;
}

CSize WrapAndSize(std::vector<LayoutRecord>& records, int nWidth, DWORD& dwMode, CSize szSep) {
  WrapControls(records, nWidth, dwMode);
  return CalcSize(records, szSep, (dwMode & LM_VERTDOCK) != 0);
}
}  // namespace

CSize CXTPControls::CalcDynamicSize(CDC* pDC, int nLength, DWORD dwMode, const CRect& rcBorder,
                                    int nWidth) {
  CSize szSeparator(kGroupGap, kGroupGap);
  const int nCount = GetCount();
  for (int i = nCount - 1; i >= 0; i--) m_arrControls[i]->OnBarLayout(dwMode);

  if (GetVisibleCount() == 0) {
    CSize sz(rcBorder.left + rcBorder.right + 23, rcBorder.top + rcBorder.bottom + 22);
    if (dwMode & LM_HORZDOCK)
      sz.cy = std::max((int)sz.cy, nWidth);
    else
      sz.cx = std::max((int)sz.cx, nWidth);
    return sz;
  }
  CXTPPaintManager* pPaintManager = m_pParent != NULL ? m_pParent->GetPaintManager() : NULL;
  if (pPaintManager != NULL && pDC != NULL)
    szSeparator = pPaintManager->DrawSeparator(pDC, m_pParent, m_arrControls[0], FALSE);

  std::vector<LayoutRecord> records((size_t)nCount);
  for (int i = 0; i < nCount; i++) {
    CXTPControl* pControl = m_arrControls[i];
    LayoutRecord& r = records[i];
    const DWORD dwHide = pControl->GetHideFlags();
    r.rc = pControl->GetRect();
    r.rcRow.SetRectEmpty();
    r.bVisible = dwHide == xtpHideNone || dwHide == xtpHideWrap;
    r.sz = r.bVisible ? pControl->GetSize(pDC) : CSize(0, 0);
    r.bBeginGroup = pControl->GetBeginGroup();
    r.bWrap = r.bHide = FALSE;
  }

  const int nMRUWidth = m_pParent != NULL ? m_pParent->GetMRUWidth() : 0;
  const int nWorkLength = (dwMode & LM_MRUWIDTH) ? nMRUWidth : nLength;
  const BOOL bVert = (dwMode & LM_VERTDOCK) != 0;

  CSize sz(0, 0);
  // A floating shape is searched, not stretched: its wraps do not make the bar take the
  // whole given length.
  DWORD dwSearch = dwMode;
  if (dwMode & LM_POPUP) {
    sz = WrapAndSize(records, nMRUWidth, dwSearch, szSeparator);
    if (sz.cx * 3 < sz.cy && nMRUWidth < 1) {
      // The near-square shape: bisect the width between the narrowest and widest wraps.
      int nLow = WrapAndSize(records, 0, dwSearch, szSeparator).cx;
      int nHigh = WrapAndSize(records, 0x7FFF, dwSearch, szSeparator).cx;
      CSize szLastTall(-1, -1);
      while (nLow < nHigh) {
        const int nMid = (nLow + nHigh) / 2;
        const CSize szMid = WrapAndSize(records, nMid, dwSearch, szSeparator);
        if (szMid.cy > szMid.cx) {
          if (szMid == szLastTall) break;
          szLastTall = szMid;
          nLow = nMid + 1;
        } else if (szMid.cy < szMid.cx) {
          nHigh = nMid;
        } else {
          nLow = nHigh = nMid;
        }
      }
      sz = WrapAndSize(records, nHigh, dwSearch, szSeparator);
    } else {
      sz = WrapAndSize(records, sz.cx, dwSearch, szSeparator);
    }
  } else if (dwMode & LM_HORZDOCK) {
    sz = WrapAndSize(records, nWorkLength - rcBorder.left - rcBorder.right, dwMode, szSeparator);
  } else if (!bVert) {
    // Floating and resized: search the width.
    if (dwMode & LM_LENGTHY) {
      const int nHeight = nWorkLength - rcBorder.top - rcBorder.bottom;
      int nLow = WrapAndSize(records, 0, dwSearch, szSeparator).cx;
      int nHigh = WrapAndSize(records, 0x7FFF, dwSearch, szSeparator).cx;
      while (nLow < nHigh) {
        const int nMid = (nLow + nHigh) / 2;
        if (WrapAndSize(records, nMid, dwSearch, szSeparator).cy <= nHeight)
          nHigh = nMid;
        else
          nLow = nMid + 1;
      }
      sz = WrapAndSize(records, nLow, dwSearch, szSeparator);
    } else {
      const int nGiven = nWorkLength - rcBorder.left - rcBorder.right;
      const int nRows = WrapControls(records, nGiven, dwSearch);
      int nLow = 0, nHigh = std::max(0, nGiven);
      while (nLow < nHigh) {
        const int nMid = (nLow + nHigh) / 2;
        if (WrapControls(records, nMid, dwSearch) <= nRows)
          nHigh = nMid;
        else
          nLow = nMid + 1;
      }
      sz = WrapAndSize(records, nLow, dwSearch, szSeparator);
      sz = WrapAndSize(records, sz.cx, dwSearch, szSeparator);
    }
  } else {
    sz = WrapAndSize(records, nWorkLength - rcBorder.top - rcBorder.bottom, dwMode, szSeparator);
  }

  if (nWidth > 0) {
    if (dwMode & LM_HORZDOCK)
      sz.cy = std::max((int)sz.cy, (int)(nWidth - rcBorder.top - rcBorder.bottom));
    else
      sz.cx = std::max((int)sz.cx, (int)(nWidth - rcBorder.left - rcBorder.right));
  }
  if (dwMode & LM_STRETCH) {
    if (bVert)
      sz.cy = std::max((int)sz.cy, (int)(nWorkLength - rcBorder.top - rcBorder.bottom));
    else
      sz.cx = std::max((int)sz.cx, (int)(nWorkLength - rcBorder.left - rcBorder.right));
  }

  // Rows (or columns): their extent across, then centre every control in its row.
  const int nShift = bVert ? sz.cx : 0;
  int nFirst = -1;
  for (int i = 0; i <= nCount; i++) {
    const BOOL bEnd = i == nCount;
    if (!bEnd && !records[i].bShown()) continue;
    if (!bEnd && nFirst == -1) {
      nFirst = i;
      continue;
    }
    if (bEnd || records[i].bWrap) {
      if (nFirst == -1) break;
      // The row is nFirst .. i - 1.
      int nTop = INT_MAX, nExtent = 0;
      for (int k = nFirst; k < i; k++) {
        if (!records[k].bShown()) continue;
        if (!bVert) {
          nTop = std::min(nTop, (int)records[k].rc.top);
          nExtent = std::max(nExtent, (int)records[k].sz.cy);
        } else {
          nTop = std::min(nTop, (int)records[k].rc.right);  // the column's right edge
          nExtent = std::max(nExtent, (int)records[k].sz.cx);
        }
      }
      CRect rcRow;
      if (!bVert)
        rcRow = CRect(records[nFirst].rc.left, nTop, sz.cx, nTop + nExtent);
      else
        rcRow = CRect(nTop - nExtent, 0, nTop, sz.cy);
      rcRow.OffsetRect(rcBorder.left + nShift, rcBorder.top);
      for (int k = nFirst; k < i; k++) {
        LayoutRecord& r = records[k];
        if (!r.bShown()) continue;
        if (!bVert)
          r.rc.OffsetRect(0, (nExtent - r.sz.cy) / 2);
        else
          r.rc.OffsetRect(-(nExtent - r.sz.cx) / 2, 0);
        r.rc.OffsetRect(rcBorder.left + nShift, rcBorder.top);
        r.rcRow = rcRow;
      }
      nFirst = i;
    }
  }
  sz.cx += rcBorder.left + rcBorder.right;
  sz.cy += rcBorder.top + rcBorder.bottom;

  if (dwMode & LM_COMMIT) {
    // Right alignment: the last controls with flag 1, against the far end.
    const int nFarEnd = bVert ? sz.cy - rcBorder.bottom : sz.cx - rcBorder.right;
    const int nStartBorder = bVert ? rcBorder.top : rcBorder.left;
    int nEnd = nFarEnd;
    for (int i = nCount - 1; i >= 0; i--) {
      LayoutRecord& r = records[i];
      if (!r.bShown()) continue;
      if (!(m_arrControls[i]->GetFlags() & xtpFlagRightAlign)) break;
      const int nExtent = bVert ? r.rc.Height() : r.rc.Width();
      if (nEnd - nExtent < nStartBorder) break;
      if (!bVert) {
        r.rc.left = nEnd - nExtent;
        r.rc.right = nEnd;
      } else {
        r.rc.top = nEnd - nExtent;
        r.rc.bottom = nEnd;
      }
      nEnd -= nExtent;
      if (r.bWrap) break;
    }
    // Stretching: per row, the free space shared among the controls with flag 0x20.
    int nRowFirst = 0;
    for (int i = 0; i <= nCount; i++) {
      if (i < nCount && !(records[i].bShown() && records[i].bWrap)) continue;
      // Row nRowFirst .. i - 1.
      int nLastEnd = -1, nStretched = 0;
      for (int k = nRowFirst; k < i; k++) {
        if (!records[k].bShown() || (m_arrControls[k]->GetFlags() & xtpFlagRightAlign)) continue;
        nLastEnd = bVert ? records[k].rc.bottom : records[k].rc.right;
        if (m_arrControls[k]->GetFlags() & xtpFlagControlStretched) nStretched++;
      }
      int nFree = nFarEnd - nLastEnd;
      if (nLastEnd >= 0 && nStretched > 0 && nFree > 0) {
        int nGrown = 0;
        for (int k = nRowFirst; k < i; k++) {
          LayoutRecord& r = records[k];
          if (!r.bShown() || (m_arrControls[k]->GetFlags() & xtpFlagRightAlign)) continue;
          if (!bVert)
            r.rc.OffsetRect(nGrown, 0);
          else
            r.rc.OffsetRect(0, nGrown);
          if (m_arrControls[k]->GetFlags() & xtpFlagControlStretched) {
            const int nAdd = nFree / nStretched;
            nFree -= nAdd;
            nStretched--;
            if (!bVert)
              r.rc.right += nAdd;
            else
              r.rc.bottom += nAdd;
            nGrown += nAdd;
          }
        }
      }
      nRowFirst = i;
    }
    for (int i = 0; i < nCount; i++) {
      CXTPControl* pControl = m_arrControls[i];
      const LayoutRecord& r = records[i];
      DWORD dwHide = pControl->GetHideFlags();
      dwHide = r.bHide ? (dwHide | xtpHideWrap) : (dwHide & ~(DWORD)xtpHideWrap);
      pControl->SetHideFlags(dwHide);
      pControl->m_rcRow = r.rcRow;
      if (!r.bHide && r.bVisible) pControl->SetRect(r.rc);
      pControl->m_bWrap = r.bWrap;
    }
  }
  return sz;
}
