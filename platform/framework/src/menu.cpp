// CMenu: a thin owner of an HMENU, with the same handle maps as windows.
#include "framework.h"

#include "wnd_state.h"

IMPLEMENT_DYNCREATE(CMenu, CObject)

CMenu::~CMenu() { DestroyMenu(); }

CMenu* PASCAL CMenu::FromHandlePermanent(HMENU hMenu) {
  return hMenu ? fw_wnd::PermanentMenus().Find(hMenu) : nullptr;
}

CMenu* PASCAL CMenu::FromHandle(HMENU hMenu) {
  if (hMenu == nullptr) return nullptr;
  if (CMenu* pMenu = FromHandlePermanent(hMenu)) return pMenu;
  auto& temps = fw_wnd::GetThreadState().tempMenus;
  auto it = temps.find(hMenu);
  if (it != temps.end()) return it->second;
  auto* pMenu = new CMenu;
  pMenu->m_hMenu = hMenu;  // a temporary: never registered, never destroys the menu
  temps.emplace(hMenu, pMenu);
  return pMenu;
}

void PASCAL CMenu::DeleteTempMap() { AfxDeleteTempMap(); }

BOOL CMenu::Attach(HMENU hMenu) {
  if (hMenu == nullptr || m_hMenu != nullptr) return FALSE;
  if (!fw_wnd::PermanentMenus().Add(hMenu, this)) return FALSE;
  m_hMenu = hMenu;
  return TRUE;
}

HMENU CMenu::Detach() {
  HMENU hMenu = m_hMenu;
  if (hMenu != nullptr) fw_wnd::PermanentMenus().Remove(hMenu, this);
  m_hMenu = nullptr;
  return hMenu;
}

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }
BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }
BOOL CMenu::LoadMenu(LPCTSTR lpszResourceName) { return Attach(::LoadMenuW(AfxGetResourceHandle(), lpszResourceName)); }
BOOL CMenu::LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCEW(nIDResource)); }
BOOL CMenu::LoadMenuIndirect(const void* lpMenuTemplate) { return Attach(::LoadMenuIndirectW(lpMenuTemplate)); }

BOOL CMenu::DestroyMenu() {
  // Only a menu this object owns (attached, not a temporary wrapper) is destroyed.
  if (m_hMenu == nullptr || FromHandlePermanent(m_hMenu) != this) return FALSE;
  return ::DestroyMenu(Detach());
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem) {
  return ::AppendMenuW(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem) {
  return ::InsertMenuW(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem) {
  return ::ModifyMenuW(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
}
BOOL CMenu::RemoveMenu(UINT nPosition, UINT nFlags) { return ::RemoveMenu(m_hMenu, nPosition, nFlags); }
BOOL CMenu::DeleteMenu(UINT nPosition, UINT nFlags) { return ::DeleteMenu(m_hMenu, nPosition, nFlags); }
UINT CMenu::CheckMenuItem(UINT nIDCheckItem, UINT nCheck) {
  return static_cast<UINT>(::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck));
}
UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable) {
  return static_cast<UINT>(::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable));
}
BOOL CMenu::CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags) {
  return ::CheckMenuRadioItem(m_hMenu, nIDFirst, nIDLast, nIDItem, nFlags);
}
BOOL CMenu::SetDefaultItem(UINT uItem, BOOL fByPos) { return ::SetMenuDefaultItem(m_hMenu, uItem, fByPos); }
int CMenu::GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
UINT CMenu::GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const { return ::GetMenuState(m_hMenu, nID, nFlags); }

int CMenu::GetMenuString(UINT nIDItem, LPTSTR lpString, int nMaxCount, UINT nFlags) const {
  return ::GetMenuStringW(m_hMenu, nIDItem, lpString, nMaxCount, nFlags);
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
  const int nLen = ::GetMenuStringW(m_hMenu, nIDItem, nullptr, 0, nFlags);
  const int nCopied = ::GetMenuStringW(m_hMenu, nIDItem, rString.GetBuffer(nLen + 1), nLen + 1, nFlags);
  rString.ReleaseBuffer(nCopied);
  return nCopied;
}

BOOL CMenu::GetMenuItemInfo(UINT uItem, LPMENUITEMINFO lpMenuItemInfo, BOOL fByPos) {
  return ::GetMenuItemInfoW(m_hMenu, uItem, fByPos, lpMenuItemInfo);
}
BOOL CMenu::SetMenuItemInfo(UINT uItem, LPMENUITEMINFO lpMenuItemInfo, BOOL fByPos) {
  return ::SetMenuItemInfoW(m_hMenu, uItem, fByPos, lpMenuItemInfo);
}
CMenu* CMenu::GetSubMenu(int nPos) const { return FromHandle(::GetSubMenu(m_hMenu, nPos)); }

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
  return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, pWnd->GetSafeHwnd(), lpRect);
}
