// The MDI tab client: groups of MDI children and the workspace actions on them.
#include <framework.h>

#include "XTPTabClientWnd.h"

IMPLEMENT_DYNAMIC(CXTPTabClientWnd, CWnd)

BEGIN_MESSAGE_MAP(CXTPTabClientWnd, CWnd)
  ON_WM_SIZE()
  ON_MESSAGE(WM_MDIACTIVATE, OnMDIActivate)
  ON_MESSAGE(WM_MDIDESTROY, OnMDIDestroy)
END_MESSAGE_MAP()

CXTPTabClientWnd::CXTPTabClientWnd() : m_pParentFrame(NULL), m_bHorizontal(TRUE) {}

CXTPTabClientWnd::~CXTPTabClientWnd() {
  Detach();
  for (INT_PTR i = 0; i < m_arrGroups.GetSize(); i++) delete m_arrGroups[i];
  m_arrGroups.RemoveAll();
}

BOOL CXTPTabClientWnd::Attach(CMDIFrameWnd* pParentFrame) {
  if (pParentFrame == NULL || m_hWnd != NULL) return FALSE;
  HWND hWndClient = pParentFrame->m_hWndMDIClient;
  if (hWndClient == NULL || !::IsWindow(hWndClient)) return FALSE;
  if (CWnd::FromHandlePermanent(hWndClient) != NULL) return FALSE;
  if (!SubclassWindow(hWndClient)) return FALSE;
  m_pParentFrame = pParentFrame;
  Refresh();
  return TRUE;
}

void CXTPTabClientWnd::Detach() {
  if (m_hWnd != NULL) UnsubclassWindow();
  m_pParentFrame = NULL;
}

int CXTPTabClientWnd::GetItemCount(int nGroup) const {
  if (nGroup < 0 || nGroup >= m_arrGroups.GetSize()) return 0;
  return (int)m_arrGroups[nGroup]->children.GetSize();
}

HWND CXTPTabClientWnd::GetItem(int nGroup, int nIndex) const {
  if (nIndex < 0 || nIndex >= GetItemCount(nGroup)) return NULL;
  return m_arrGroups[nGroup]->children[nIndex];
}

int CXTPTabClientWnd::FindGroup(HWND hWndChild) const {
  if (hWndChild == NULL) return -1;
  for (INT_PTR g = 0; g < m_arrGroups.GetSize(); g++)
    for (INT_PTR i = 0; i < m_arrGroups[g]->children.GetSize(); i++)
      if (m_arrGroups[g]->children[i] == hWndChild) return (int)g;
  return -1;
}

HWND CXTPTabClientWnd::GetActiveChild() const {
  if (m_hWnd == NULL) return NULL;
  return (HWND)::SendMessageW(m_hWnd, WM_MDIGETACTIVE, 0, 0);
}

void CXTPTabClientWnd::RemoveEmptyGroups() {
  for (INT_PTR g = m_arrGroups.GetSize() - 1; g >= 0; g--) {
    if (m_arrGroups[g]->children.GetSize() == 0) {
      delete m_arrGroups[g];
      m_arrGroups.RemoveAt(g);
    }
  }
}

void CXTPTabClientWnd::Refresh() {
  if (m_hWnd == NULL) return;
  // Children that went away leave their groups.
  for (INT_PTR g = 0; g < m_arrGroups.GetSize(); g++) {
    CArray<HWND, HWND>& children = m_arrGroups[g]->children;
    for (INT_PTR i = children.GetSize() - 1; i >= 0; i--)
      if (!::IsWindow(children[i]) || ::GetParent(children[i]) != m_hWnd) children.RemoveAt(i);
  }
  RemoveEmptyGroups();
  // New MDI children join the active child's group, else the first.
  int nTarget = FindGroup(GetActiveChild());
  for (HWND hChild = ::GetWindow(m_hWnd, GW_CHILD); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
    if ((::GetWindowLongW(hChild, GWL_EXSTYLE) & WS_EX_MDICHILD) == 0) continue;
    if (FindGroup(hChild) >= 0) continue;
    if (m_arrGroups.GetSize() == 0) m_arrGroups.Add(new CTabGroup);
    if (nTarget < 0) nTarget = 0;
    m_arrGroups[nTarget]->children.Add(hChild);
  }
}

CRect CXTPTabClientWnd::GetGroupRect(int nGroup) const {
  CRect rcClient(0, 0, 0, 0);
  if (m_hWnd != NULL) ::GetClientRect(m_hWnd, &rcClient);
  const int nCount = (int)m_arrGroups.GetSize();
  if (nGroup < 0 || nGroup >= nCount) return CRect(0, 0, 0, 0);
  CRect rc = rcClient;
  if (m_bHorizontal) {
    rc.top = rcClient.top + MulDiv(rcClient.Height(), nGroup, nCount);
    rc.bottom = rcClient.top + MulDiv(rcClient.Height(), nGroup + 1, nCount);
  } else {
    rc.left = rcClient.left + MulDiv(rcClient.Width(), nGroup, nCount);
    rc.right = rcClient.left + MulDiv(rcClient.Width(), nGroup + 1, nCount);
  }
  return rc;
}

void CXTPTabClientWnd::RecalcLayout() {
  if (m_hWnd == NULL) return;
  for (int g = 0; g < GetGroupCount(); g++) {
    const CRect rc = GetGroupRect(g);
    for (int i = 0; i < GetItemCount(g); i++)
      ::SetWindowPos(GetItem(g, i), NULL, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

BOOL CXTPTabClientWnd::IsWorkspaceCommandEnabled(UINT nID) {
  if (!IsAttached()) return FALSE;
  Refresh();
  const int nGroup = FindGroup(GetActiveChild());
  if (nGroup < 0) return FALSE;
  const int nGroups = GetGroupCount();
  const int nItems = GetItemCount(nGroup);
  switch (nID) {
    case XTP_ID_WORKSPACE_MOVEPREVIOUS:
      return nGroup > 0;
    case XTP_ID_WORKSPACE_MOVENEXT:
      return nGroup < nGroups - 1;
    case XTP_ID_WORKSPACE_NEWHORIZONTAL:
      return nItems > 1 && (nGroups == 1 || m_bHorizontal);
    case XTP_ID_WORKSPACE_NEWVERTICAL:
      return nItems > 1 && (nGroups == 1 || !m_bHorizontal);
    default:
      return FALSE;
  }
}

BOOL CXTPTabClientWnd::ExecuteWorkspaceCommand(UINT nID) {
  if (!IsWorkspaceCommandEnabled(nID)) return FALSE;
  const HWND hActive = GetActiveChild();
  const int nGroup = FindGroup(hActive);
  CArray<HWND, HWND>& from = m_arrGroups[nGroup]->children;
  for (INT_PTR i = 0; i < from.GetSize(); i++)
    if (from[i] == hActive) {
      from.RemoveAt(i);
      break;
    }
  switch (nID) {
    case XTP_ID_WORKSPACE_MOVEPREVIOUS:
      m_arrGroups[nGroup - 1]->children.Add(hActive);
      break;
    case XTP_ID_WORKSPACE_MOVENEXT:
      m_arrGroups[nGroup + 1]->children.Add(hActive);
      break;
    default: {
      m_bHorizontal = nID == XTP_ID_WORKSPACE_NEWHORIZONTAL;
      CTabGroup* pGroup = new CTabGroup;
      pGroup->children.Add(hActive);
      m_arrGroups.InsertAt(nGroup + 1, pGroup);
      break;
    }
  }
  RemoveEmptyGroups();
  RecalcLayout();
  return TRUE;
}

void CXTPTabClientWnd::OnSize(UINT nType, int cx, int cy) {
  CWnd::OnSize(nType, cx, cy);
  RecalcLayout();
}

LRESULT CXTPTabClientWnd::OnMDIActivate(WPARAM, LPARAM) {
  const LRESULT lResult = Default();
  Refresh();
  return lResult;
}

LRESULT CXTPTabClientWnd::OnMDIDestroy(WPARAM, LPARAM) {
  const LRESULT lResult = Default();
  Refresh();
  return lResult;
}
