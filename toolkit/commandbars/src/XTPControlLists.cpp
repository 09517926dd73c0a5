// The list placeholders of menus: window list, toolbars list, OLE verbs, recent files and
// workspace actions. Each replaces the items it generated at the last layout of its bar.
#include <framework.h>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPControlLists.h"
#include "XTPControls.h"
#include "XTPMouseManager.h"
#include "XTPPopupBar.h"
#include "XTPTabClientWnd.h"

#if __has_include("XTPToolBar.h")
#include "XTPToolBar.h"
#define VORLIX_HAVE_TOOLBAR 1
#endif

extern "C" int vorlix_cb_link_lists = 0;

IMPLEMENT_SERIAL(CXTPControlWindowList, CXTPControlButton, VERSIONABLE_SCHEMA | 0x10)
IMPLEMENT_SERIAL(CXTPControlToolbars, CXTPControlButton, VERSIONABLE_SCHEMA | 0x10)
IMPLEMENT_SERIAL(CXTPControlOleItems, CXTPControlButton, VERSIONABLE_SCHEMA | 0x10)
IMPLEMENT_SERIAL(CXTPControlRecentFileList, CXTPControlButton, VERSIONABLE_SCHEMA | 0x10)
IMPLEMENT_SERIAL(CXTPControlWorkspaceActions, CXTPControlButton, VERSIONABLE_SCHEMA | 0x10)

UINT CXTPControlWindowList::m_nFirstMDIChild = 0xFF00;
int CXTPControlWindowList::m_nItemCount = 9;

namespace {

const int kFirstFileId = 57616;  // ID_FILE_MRU_FILE1

// Placeholders live only in menus: a drop onto any other bar is refused.
BOOL AcceptsOnlyPopupBars(CXTPCommandBar* pCommandBar, DROPEFFECT* pDropEffect) {
  if (pCommandBar != NULL && pCommandBar->GetType() == xtpBarTypePopup) return TRUE;
  if (pDropEffect != NULL) *pDropEffect = DROPEFFECT_NONE;
  return FALSE;
}

// The MDI client window of the frame the control's commands go to, or null.
HWND FindMDIClient(CXTPControl* pControl) {
  CWnd* pSite = pControl->GetSite();
  if (pSite == NULL || !pSite->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd))) return NULL;
  HWND hClient = static_cast<CMDIFrameWnd*>(pSite)->m_hWndMDIClient;
  return ::IsWindow(hClient) ? hClient : NULL;
}

// Removes the controls right after the placeholder while the test holds for them.
template <class Pred>
void RemoveFollowing(CXTPControl* pPlaceholder, Pred pred) {
  CXTPControls* pControls = pPlaceholder->GetControls();
  if (pControls == NULL) return;
  for (;;) {
    const int nNext = pPlaceholder->GetIndex() + 1;
    if (nNext >= pControls->GetCount()) break;
    CXTPControl* pControl = pControls->GetAt(nNext);
    if (pControl == NULL || !pred(pControl)) break;
    pControls->Remove(nNext);
  }
}

// A temporary button of the placeholder's collection at a position.
CXTPControl* AddGenerated(CXTPControl* pPlaceholder, int nId, int nBefore, LPCTSTR lpszParameter = _T("")) {
  CXTPControls* pControls = pPlaceholder->GetControls();
  if (pControls == NULL) return NULL;
  CXTPControl* pControl = pControls->Add(xtpControlButton, nId, lpszParameter, nBefore, TRUE);
  if (pControl != NULL) pControl->SetFlags(pControl->GetFlags() | xtpFlagManualUpdate);
  return pControl;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Window list

CXTPControlWindowList::CXTPControlWindowList() {}

CString AFX_CDECL CXTPControlWindowList::NumberedCaption(int n, const CString& strText) {
  CString strName = strText;
  strName.Replace(_T("&"), _T("&&"));
  CString strCaption;
  if (n >= 1 && n <= 9)
    strCaption.Format(_T("&%i %s"), n, (LPCTSTR)strName);
  else if (n == 10)
    strCaption.Format(_T("1&0 %s"), (LPCTSTR)strName);
  else if (n > 10)
    strCaption.Format(_T("%i %s"), n, (LPCTSTR)strName);
  else
    strCaption = strName;
  return strCaption;
}

void CXTPControlWindowList::OnBarLayout(DWORD) {
  // Only the items this placeholder made go: a control the user put after it stays even
  // when its id lies in the range of child window ids.
  RemoveFollowing(this, [](CXTPControl* p) {
    return p->IsTemporary() && p->GetID() >= (int)CXTPControlWindowList::m_nFirstMDIChild;
  });
  HWND hClient = FindMDIClient(this);
  if (IsCustomizeMode() || hClient == NULL) {
    SetHideFlags(xtpHideNone);
    return;
  }
  SetHideFlags(m_dwHideFlags | xtpHideGeneric);

  HWND hActive = (HWND)::SendMessage(hClient, WM_MDIGETACTIVE, 0, 0);
  if (hActive != NULL) {
    const int nActiveId = ::GetDlgCtrlID(hActive);
    if (nActiveId >= 0x8000 && nActiveId <= 0x800E)
      m_nFirstMDIChild = 0x8000;
    else if (nActiveId >= 1 && nActiveId <= 14)
      m_nFirstMDIChild = 1;
  }
  int nListed = 0;
  for (UINT nId = m_nFirstMDIChild; nListed < m_nItemCount; nId++) {
    HWND hChild = ::GetDlgItem(hClient, (int)nId);
    if (hChild == NULL) break;
    if (!::IsWindowVisible(hChild)) continue;
    TCHAR szTitle[257] = {};
    ::GetWindowText(hChild, szTitle, 256);
    CXTPControl* pItem = AddGenerated(this, (int)nId, m_nIndex + 1 + nListed);
    if (pItem == NULL) break;
    nListed++;
    pItem->SetCaption(NumberedCaption(nListed, szTitle));
    pItem->SetBeginGroup(nListed == 1);
    const BOOL bChecked = hChild == hActive;
    if (pItem->GetChecked() != bChecked) {
      pItem->SetChecked(bChecked);
      pItem->RedrawParent();
    }
  }
}

BOOL CXTPControlWindowList::AcceptsDrop(CXTPCommandBar* pCommandBar, CPoint, DROPEFFECT* pDropEffect) {
  return AcceptsOnlyPopupBars(pCommandBar, pDropEffect);
}

CXTPControl* CXTPControlWindowList::Clone(BOOL bRecursive) { return CXTPControlButton::Clone(bRecursive); }

// ---------------------------------------------------------------------------------------
// Toolbars list

CXTPControlToolbars::CXTPControlToolbars() {}

void CXTPControlToolbars::CXTPControlToolbar::Execute() {
  CXTPCommandBar* pParent = m_pParent;
  CXTPCommandBars* pCommandBars = pParent != NULL ? pParent->GetCommandBars() : NULL;
  const int nIndex = (int)m_nTag;
  XTPMouseManager()->CloseAllTrackingBars();
#ifdef VORLIX_HAVE_TOOLBAR
  CXTPToolBar* pToolBar = pCommandBars != NULL ? pCommandBars->GetAt(nIndex) : NULL;
  if (pToolBar != NULL) pToolBar->SetVisible(!pToolBar->IsVisible());
#else
  (void)pCommandBars;
  (void)nIndex;
#endif
}

void AFX_CDECL CXTPControlToolbars::AddToolbarItems(CXTPCommandBar* pBar, int nIndex, int nId,
                                                    BOOL bAddCustomize) {
  CXTPCommandBars* pCommandBars = pBar != NULL ? pBar->GetCommandBars() : NULL;
  if (pCommandBars == NULL) return;
  CXTPControls* pControls = pBar->GetControls();
#ifdef VORLIX_HAVE_TOOLBAR
  for (int i = 0; i < pCommandBars->GetCount(); i++) {
    CXTPToolBar* pToolBar = pCommandBars->GetAt(i);
    if (pToolBar == NULL || !pToolBar->IsCloseable() || !pToolBar->IsContextMenuPresent()) continue;
    CXTPControl* pItem = pControls->Add(new CXTPControlToolbar(), nId, _T("CXTPControlToolbar"), nIndex++, TRUE);
    if (pItem == NULL) continue;
    pItem->SetTag((DWORD_PTR)i);
    pItem->SetCaption(pToolBar->GetTitle());
    pItem->SetFlags(pItem->GetFlags() | xtpFlagManualUpdate);
    pItem->SetChecked(pToolBar->IsVisible());
  }
#else
  (void)nIndex;
  (void)nId;
#endif
  if (bAddCustomize && pCommandBars->IsCustomizable()) {
    CXTPControl* pCustomize = pControls->Add(xtpControlButton, XTP_ID_CUSTOMIZE);
    if (pCustomize != NULL) pCustomize->SetBeginGroup(TRUE);
  }
}

void CXTPControlToolbars::OnBarLayout(DWORD) {
  RemoveFollowing(this, [](CXTPControl* p) { return p->GetParameter() == _T("CXTPControlToolbar"); });
  if (IsCustomizeMode()) {
    SetHideFlags(xtpHideNone);
    return;
  }
  SetHideFlags(m_dwHideFlags | xtpHideGeneric);
  AddToolbarItems(m_pParent, m_nIndex + 1, m_nId, FALSE);
}

BOOL CXTPControlToolbars::AcceptsDrop(CXTPCommandBar* pCommandBar, CPoint, DROPEFFECT* pDropEffect) {
  return AcceptsOnlyPopupBars(pCommandBar, pDropEffect);
}

CXTPControl* CXTPControlToolbars::Clone(BOOL bRecursive) { return CXTPControlButton::Clone(bRecursive); }

// ---------------------------------------------------------------------------------------
// OLE verbs

CXTPControlOleItems::CXTPControlOleItems() {}

void CXTPControlOleItems::OnBarLayout(DWORD) {
  CXTPControls* pControls = GetControls();
  if (pControls != NULL && m_nIndex + 1 < pControls->GetCount() &&
      pControls->GetAt(m_nIndex + 1)->GetParameter() == _T("OLEMENUPOPUP"))
    pControls->Remove(m_nIndex + 1);
  if (IsCustomizeMode()) {
    SetHideFlags(xtpHideNone);
    return;
  }
  SetHideFlags(m_dwHideFlags | xtpHideGeneric);
  // The framework has no OLE container documents, so no view ever has a selected OLE item
  // whose verbs could be listed here.
}

BOOL CXTPControlOleItems::AcceptsDrop(CXTPCommandBar* pCommandBar, CPoint, DROPEFFECT* pDropEffect) {
  return AcceptsOnlyPopupBars(pCommandBar, pDropEffect);
}

CXTPControl* CXTPControlOleItems::Clone(BOOL bRecursive) { return CXTPControlButton::Clone(bRecursive); }

// ---------------------------------------------------------------------------------------
// Recent files

CXTPControlRecentFileList::CXTPControlRecentFileList() {}

CRecentFileList* CXTPControlRecentFileList::GetRecentFileList() {
  CWinApp* pApp = AfxGetApp();
  return pApp != NULL ? pApp->m_pRecentFileList : NULL;
}

int CXTPControlRecentFileList::GetFirstFileId() { return kFirstFileId; }

void CXTPControlRecentFileList::OnBarLayout(DWORD) {
  CRecentFileList* pList = GetRecentFileList();
  if (pList == NULL) return;
  const int nFirst = GetFirstFileId();
  const int nSize = std::max(pList->m_nSize, pList->GetSize());
  RemoveFollowing(this, [nFirst, nSize](CXTPControl* p) {
    return p->GetID() >= nFirst && p->GetID() < nFirst + nSize;
  });
  if (IsCustomizeMode()) {
    SetHideFlags(xtpHideNone);
    SetEnabled(TRUE);
    return;
  }
  if (pList->GetSize() == 0 || (*pList)[0].IsEmpty()) {
    SetHideFlags(xtpHideNone);
    SetEnabled(FALSE);
    return;
  }
  SetHideFlags(m_dwHideFlags | xtpHideGeneric);

  CString strDir;
  const DWORD nLen = ::GetCurrentDirectory(MAX_PATH, strDir.GetBuffer(MAX_PATH));
  strDir.ReleaseBuffer(nLen <= MAX_PATH ? (int)nLen : 0);
  if (strDir.IsEmpty() || strDir[strDir.GetLength() - 1] != _T('\\')) strDir += _T('\\');

  for (int i = 0; i < pList->GetSize(); i++) {
    CString strName;
    if (!pList->GetDisplayName(strName, i, strDir, strDir.GetLength(), TRUE) || strName.IsEmpty()) break;
    CXTPControl* pItem = AddGenerated(this, nFirst + i, m_nIndex + 1 + i);
    if (pItem == NULL) break;
    pItem->SetCaption(CXTPControlWindowList::NumberedCaption(i + 1, strName));
    if (i == 0 && m_nIndex > 0) pItem->SetBeginGroup(TRUE);
  }
}

BOOL CXTPControlRecentFileList::AcceptsDrop(CXTPCommandBar* pCommandBar, CPoint, DROPEFFECT* pDropEffect) {
  return AcceptsOnlyPopupBars(pCommandBar, pDropEffect);
}

CXTPControl* CXTPControlRecentFileList::Clone(BOOL bRecursive) { return CXTPControlButton::Clone(bRecursive); }

// ---------------------------------------------------------------------------------------
// Workspace actions

CXTPControlWorkspaceActions::CXTPControlWorkspaceActions() {}

void CXTPControlWorkspaceActions::OnBarLayout(DWORD) {
  if (m_pParent == NULL) return;
  RemoveFollowing(this, [](CXTPControl* p) {
    return p->GetID() >= XTP_ID_WORKSPACE_MOVEPREVIOUS && p->GetID() <= XTP_ID_WORKSPACE_NEWVERTICAL;
  });
  HWND hClient = FindMDIClient(this);
  CWnd* pClient = hClient != NULL ? CWnd::FromHandlePermanent(hClient) : NULL;
  if (pClient == NULL || !pClient->IsKindOf(RUNTIME_CLASS(CXTPTabClientWnd))) return;
  CXTPTabClientWnd* pTabClient = static_cast<CXTPTabClientWnd*>(pClient);

  SetHideFlags(m_dwHideFlags | xtpHideGeneric);
  const UINT ids[] = {XTP_ID_WORKSPACE_NEWHORIZONTAL, XTP_ID_WORKSPACE_NEWVERTICAL,
                      XTP_ID_WORKSPACE_MOVEPREVIOUS, XTP_ID_WORKSPACE_MOVENEXT};
  CXTPControl* pFirst = NULL;
  int nAdded = 0;
  for (UINT nId : ids) {
    if (!pTabClient->IsWorkspaceCommandEnabled(nId)) continue;
    CXTPControl* pItem = AddGenerated(this, (int)nId, m_nIndex + 1 + nAdded);
    if (pItem == NULL) continue;
    if (pFirst == NULL) pFirst = pItem;
    nAdded++;
  }
  if (pFirst != NULL) pFirst->SetBeginGroup(m_bBeginGroup);
}

CXTPControl* CXTPControlWorkspaceActions::Clone(BOOL bRecursive) { return CXTPControlButton::Clone(bRecursive); }
