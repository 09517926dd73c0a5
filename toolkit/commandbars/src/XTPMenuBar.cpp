// The menu bar: a toolbar made from a menu resource that replaces the frame's menu. It
// hooks the frame (and, in a multiple-document frame, the MDI client and the active
// child) to take over Alt and F10, to follow child activation and maximizing, and to
// switch between the documents' menus.
#include <framework.h>

#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPControls.h"
#include "XTPDockBar.h"
#include "XTPHookManager.h"
#include "XTPImageManager.h"
#include "XTPMenuBar.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"
#include "XTPResourceManager.h"

IMPLEMENT_SERIAL(CXTPMenuBar, CXTPToolBar, VERSIONABLE_SCHEMA | 0x10)
IMPLEMENT_SERIAL(CXTPControlMDISysMenuPopup, CXTPControlPopup, VERSIONABLE_SCHEMA | 0x10)
IMPLEMENT_SERIAL(CXTPControlMDIButton, CXTPControlButton, VERSIONABLE_SCHEMA | 0x10)

#ifndef WM_MDISETMENU
#define WM_MDISETMENU 0x0230
#endif

namespace {
const UINT_PTR kTimerMdiState = XTP_TID_MENUBAR;  // 12223
const DWORD kFlagsSysMenuPopup = 0x18;
const DWORD kFlagsMdiButton = 0x1B;
const int kSysMenuIconBase = 0xEF00;

// Whether a control is one the menu bar made for the maximized child.
BOOL IsMdiSystemControl(const CXTPControl* pControl) {
  const int nId = pControl->GetID();
  return nId >= XTP_ID_MENUBAR_CLOSE && nId <= XTP_ID_MENUBAR_SYSMENU;
}

// A command of a child's system menu: posts it to the child as a system command.
class CSysCommandButton : public CXTPControlButton {
 public:
  explicit CSysCommandButton(HWND hWndChild) : m_hWndChild(hWndChild) {}
  void Execute() override {
    CXTPCommandBar* pRoot = m_pParent != NULL ? m_pParent->GetRootParent() : NULL;
    if (pRoot != NULL) XTPMouseManager()->CloseAllTrackingBars();
    if (::IsWindow(m_hWndChild)) ::PostMessage(m_hWndChild, WM_SYSCOMMAND, (WPARAM)m_nId, 0);
  }

 private:
  HWND m_hWndChild;
};

// A Marlett glyph font of 8 points at the screen's resolution.
void CreateMarlettFont(CFont& font) {
  CWindowDC dcScreen(NULL);
  font.CreatePointFont(::MulDiv(80, 96, dcScreen.GetDeviceCaps(LOGPIXELSX)), _T("Marlett"));
}
}  // namespace

BEGIN_MESSAGE_MAP(CXTPMenuBar, CXTPToolBar)
  ON_WM_TIMER()
  ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CXTPMenuBar::CXTPMenuBar()
    : m_bMdiApp(FALSE),
      m_hWndActiveChild(NULL),
      m_hMenuDefault(NULL),
      m_nIDResource(0),
      m_nIDResourceCurrent(0),
      m_bDocMenusRestored(FALSE) {
  m_barType = xtpBarTypeMenuBar;
  m_bShowExpandButton = FALSE;
  m_mapDocMenus.InitHashTable(17);
}

CXTPMenuBar::~CXTPMenuBar() {
  ClearDocumentMenus();
  if (m_hMenuDefault != NULL && ::IsMenu(m_hMenuDefault)) ::DestroyMenu(m_hMenuDefault);
  m_hMenuDefault = NULL;
}

void CXTPMenuBar::ClearDocumentMenus() {
  POSITION pos = m_mapDocMenus.GetStartPosition();
  while (pos != NULL) {
    UINT nID = 0;
    CXTPControls* pControls = NULL;
    m_mapDocMenus.GetNextAssoc(pos, nID, pControls);
    if (pControls != NULL) pControls->InternalRelease();
  }
  m_mapDocMenus.RemoveAll();
}

CXTPControls* CXTPMenuBar::GetDocumentMenu(UINT nID) const {
  CXTPControls* pControls = NULL;
  return m_mapDocMenus.Lookup(nID, pControls) ? pControls : NULL;
}

// ---- Loading ---------------------------------------------------------------------------------
BOOL CXTPMenuBar::LoadMenuBar(UINT nIDResource) {
  if (nIDResource != 0) {
    HMENU hMenu = ::LoadMenu(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
    if (hMenu == NULL) return FALSE;
    CMenu menu;
    menu.Attach(hMenu);
    m_pControls->RemoveAll();
    if (!m_pControls->LoadMenu(&menu)) {
      menu.DestroyMenu();
      return FALSE;
    }
    m_nIDResource = m_nIDResourceCurrent = nIDResource;
    menu.DestroyMenu();
  }

  CWnd* pSite = GetSite();
  HWND hSite = pSite != NULL ? pSite->GetSafeHwnd() : NULL;
  m_bMdiApp = pSite != NULL && pSite->IsKindOf(RUNTIME_CLASS(CMDIFrameWnd));
  if (hSite != NULL) XTPHookManager()->SetHook(hSite, this);
  HWND hClient = GetMdiClient();
  if (hClient != NULL) XTPHookManager()->SetHook(hClient, this);

  static const UINT kSysCommands[] = {SC_RESTORE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE};
  CXTPImageManager* pImageManager = XTPImageManager();
  if (pImageManager != NULL) pImageManager->SetIcons(XTP_IDB_MENUBAR_SYSCOMMANDS, kSysCommands, 4, CSize(16, 16));

  if (hSite != NULL) {
    HMENU hFrameMenu = ::GetMenu(hSite);
    if (hFrameMenu != NULL) {
      if (m_hMenuDefault != NULL && m_hMenuDefault != hFrameMenu && ::IsMenu(m_hMenuDefault))
        ::DestroyMenu(m_hMenuDefault);
      m_hMenuDefault = hFrameMenu;
      ::SetMenu(hSite, NULL);
    }
  }
  return TRUE;
}

HWND CXTPMenuBar::GetMdiClient() const {
  if (!m_bMdiApp) return NULL;
  CMDIFrameWnd* pFrame = (CMDIFrameWnd*)GetSite();
  if (pFrame == NULL) return NULL;
  if (::IsWindow(pFrame->m_hWndMDIClient)) return pFrame->m_hWndMDIClient;
  // A frame that made its client itself: the child of the MDI client class.
  HWND hChild = ::FindWindowEx(pFrame->GetSafeHwnd(), NULL, _T("MDICLIENT"), NULL);
  return hChild;
}

HWND CXTPMenuBar::GetActiveMdiChild(BOOL bMaximized) const {
  HWND hClient = GetMdiClient();
  if (hClient == NULL) return NULL;
  BOOL bMax = FALSE;
  HWND hChild = (HWND)::SendMessage(hClient, WM_MDIGETACTIVE, 0, (LPARAM)&bMax);
  if (hChild == NULL || (bMaximized && !bMax)) return NULL;
  return hChild;
}

// ---- Frame and MDI messages --------------------------------------------------------------------
int CXTPMenuBar::OnHookMessage(HWND hWnd, UINT nMessage, WPARAM& wParam, LPARAM& lParam, LRESULT& lResult) {
  // The keyboard manager asks without a window: keys of the tracking bar.
  if (hWnd == NULL) return CXTPToolBar::OnHookMessage(hWnd, nMessage, wParam, lParam, lResult);

  if (hWnd == m_hWndActiveChild && (nMessage == WM_SIZE || nMessage == WM_WINDOWPOSCHANGED)) {
    if (m_hWnd != NULL) PostMessage(WM_TIMER, kTimerMdiState);
  } else if (nMessage >= WM_MDICREATE && nMessage <= WM_MDIACTIVATE) {
    if (m_hWnd != NULL) PostMessage(WM_TIMER, kTimerMdiState);
  }

  CWnd* pSite = GetSite();
  const HWND hSite = pSite != NULL ? pSite->GetSafeHwnd() : NULL;
  switch (nMessage) {
    case WM_SYSCOMMAND:
      // The release of the Alt that went with an Alt+letter: the letter opened a menu through
      // the frame's pre-translation, which the default window procedure never saw, so it
      // takes the release for an Alt pressed alone. The open menu keeps the keyboard; the
      // system's own menu loop must not start over it.
      if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == 0 && IsVisible() && !IsCustomizeMode() &&
          XTPMouseManager()->GetTrackingBarCount() > 0 && (m_nPopuped != -1 || IsTrackingMode())) {
        lResult = 0;
        return xtpHookHandled;
      }
      // Alt or F10 pressed alone: the bar takes the keyboard with its first item.
      if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == 0 && IsVisible() && !XTPMouseManager()->IsMouseLocked() &&
          ::GetKeyState(VK_SHIFT) >= 0 && !IsCustomizeMode()) {
        // As the command bars' focus move to a bar: popups close, the bar tracks (not by
        // keyboard) with its first selectable item selected by keyboard.
        XTPMouseManager()->CloseAllTrackingBars();
        SetTrackingMode(xtpTrackingActive, FALSE, FALSE);
        SetSelected(m_pControls->GetNext(-1, +1), TRUE);
        lResult = 0;
        return xtpHookHandled;
      }
      break;
    case WM_MDISETMENU:
      if (IsVisible() && (m_dwFlags & XTP_FLAGS_NO_MDI_MENUS) == 0) {
        SwitchMenu(wParam != 0 ? (HMENU)wParam : m_hMenuDefault);
        if (hSite != NULL && ::GetMenu(hSite) != NULL) ::SetMenu(hSite, NULL);
        RefreshMdiState();
        wParam = 0;
        lResult = 0;
        return xtpHookHandled;
      }
      if (!IsVisible() && hSite != NULL && ::GetMenu(hSite) == NULL) {
        wParam = 0;
        lResult = 0;
        return xtpHookHandled;
      }
      break;
    default:
      break;
  }
  // Keys and wheel turns of the frame's own windows are theirs: the bar's key handling
  // runs through the keyboard manager while the bar tracks.
  return xtpHookNotHandled;
}

void CXTPMenuBar::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kTimerMdiState) {
    RefreshMdiState();
    return;
  }
  CXTPToolBar::OnTimer(nIDEvent);
}

BOOL CXTPMenuBar::SetTrackingMode(int bMode, BOOL bSelectFirst, BOOL bKeyboard) {
  if (bMode == xtpTrackingNone && m_nPopuped != -1) SetPopuped(-1);
  return CXTPToolBar::SetTrackingMode(bMode, bSelectFirst, bKeyboard);
}

void CXTPMenuBar::OnLButtonDown(UINT nFlags, CPoint point) {
  CXTPControl* pControl = m_pControls->HitTest(point);
  if (pControl != NULL && !IsTrackingMode() && !IsCustomizeMode() && pControl->GetEnabled() &&
      pControl->GetType() >= xtpControlPopup && pControl->GetType() <= xtpControlSplitButtonPopup)
    SetTrackingMode(xtpTrackingActive, FALSE, FALSE);
  CXTPToolBar::OnLButtonDown(nFlags, point);
}

// ---- MDI state -----------------------------------------------------------------------------------
void CXTPMenuBar::RefreshMdiState() {
  HWND hChild = GetActiveMdiChild(FALSE);
  if (hChild != m_hWndActiveChild) {
    if (m_hWndActiveChild != NULL && ::IsWindow(m_hWndActiveChild))
      XTPHookManager()->RemoveHook(m_hWndActiveChild, this);
    m_hWndActiveChild = hChild;
    if (hChild != NULL) XTPHookManager()->SetHook(hChild, this);
  }
  if (!IsVisible()) return;
  RebuildSystemControls(GetActiveMdiChild(TRUE));
  DelayRedraw();
  if (m_hWnd != NULL) Invalidate(FALSE);
}

void CXTPMenuBar::RebuildSystemControls(HWND hWndChild) {
  CXTPControls* pControls = GetControls();
  if (pControls == NULL) return;
  BOOL bChanged = FALSE;

  // The child's system menu, first in the bar.
  CXTPControl* pFound = pControls->FindControl(XTP_ID_MENUBAR_SYSMENU);
  CXTPControlMDISysMenuPopup* pSysMenu =
      pFound != NULL && pFound->IsKindOf(RUNTIME_CLASS(CXTPControlMDISysMenuPopup))
          ? (CXTPControlMDISysMenuPopup*)pFound
          : NULL;
  HMENU hSysMenu = hWndChild != NULL && (m_dwFlags & XTP_FLAGS_SHOW_MDI_ICON) != 0
                       ? ::GetSystemMenu(hWndChild, FALSE)
                       : NULL;
  if (hSysMenu != NULL && ::IsMenu(hSysMenu)) {
    if (pSysMenu == NULL) {
      pSysMenu = new CXTPControlMDISysMenuPopup(hWndChild, hSysMenu);
      pControls->Add(pSysMenu, XTP_ID_MENUBAR_SYSMENU, _T(""), 0);
      bChanged = TRUE;
    } else if (pSysMenu->GetMDISysMenu() != hSysMenu || pSysMenu->GetChild() != hWndChild) {
      pSysMenu->SetMDISysMenu(hWndChild, hSysMenu);
      bChanged = TRUE;
    }
  } else if (pFound != NULL) {
    pControls->Remove(pFound);
    bChanged = TRUE;
  }

  // Minimize, restore, close at the end.
  struct ButtonKind {
    int nId;
    BOOL bWanted;
  };
  const LONG_PTR dwStyle = hWndChild != NULL ? ::GetWindowLongPtr(hWndChild, GWL_STYLE) : 0;
  const ButtonKind kinds[] = {
      {XTP_ID_MENUBAR_MINIMIZE, (dwStyle & WS_MINIMIZEBOX) != 0 && (m_dwFlags & XTP_FLAGS_HIDE_MINIMIZEBOX) == 0},
      {XTP_ID_MENUBAR_RESTORE, (dwStyle & WS_MAXIMIZEBOX) != 0 && (m_dwFlags & XTP_FLAGS_HIDE_MAXIMIZEBOX) == 0},
      {XTP_ID_MENUBAR_CLOSE, (m_dwFlags & XTP_FLAGS_HIDE_CLOSE) == 0},
  };
  for (const ButtonKind& kind : kinds) {
    CXTPControl* pButton = pControls->FindControl(kind.nId);
    if (hWndChild == NULL) {
      if (pButton != NULL) {
        pControls->Remove(pButton);
        bChanged = TRUE;
      }
    } else if (pButton == NULL && kind.bWanted) {
      pControls->Add(new CXTPControlMDIButton(), kind.nId);
      bChanged = TRUE;
    }
  }
  if (bChanged) OnRecalcLayout();
}

// ---- Document menus --------------------------------------------------------------------------------
void CXTPMenuBar::SwitchMenu(HMENU hMenu) {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars == NULL) return;
  const UINT nTarget = (hMenu != NULL && hMenu == m_hMenuDefault) ? m_nIDResource : pCommandBars->GetActiveMenuId();
  if (nTarget == 0 || m_nIDResourceCurrent == 0 || nTarget == m_nIDResourceCurrent) return;
  if (hMenu == NULL || !::IsMenu(hMenu) || ::GetMenuItemCount(hMenu) <= 0) return;
  CMenu menu;
  menu.Attach(hMenu);

  // The controls made for a maximized child belong to no document's menu.
  for (int i = m_pControls->GetCount() - 1; i >= 0; i--) {
    if (IsMdiSystemControl(m_pControls->GetAt(i))) m_pControls->Remove(i);
  }
  SetPopuped(-1);
  SetSelected(-1);
  if (pCommandBars->IsCustomizable()) {
    CXTPControls* pOld = NULL;
    if (m_mapDocMenus.Lookup(m_nIDResourceCurrent, pOld) && pOld != NULL && pOld != m_pControls)
      pOld->InternalRelease();
    m_mapDocMenus.SetAt(m_nIDResourceCurrent, m_pControls);

    CXTPControls* pControls = NULL;
    if (m_mapDocMenus.Lookup(nTarget, pControls) && pControls != NULL) {
      m_mapDocMenus.RemoveKey(nTarget);
    } else {
      pControls = new CXTPControls();
      pControls->SetParent(this);
      pControls->SetCommandBars(pCommandBars);
      pControls->LoadMenu(&menu);
    }
    m_pControls = pControls;
    m_pControls->SetParent(this);
    m_pControls->SetCommandBars(pCommandBars);
    if (m_pControls->GetOriginalControls() == NULL) m_pControls->CreateOriginalControls();
    m_pControls->RefreshIndexes();
  } else {
    m_pControls->RemoveAll();
    m_pControls->LoadMenu(&menu);
  }
  menu.Detach();
  OnRecalcLayout();
  m_nIDResourceCurrent = nTarget;
}

void CXTPMenuBar::PrepareForSave() {
  if (m_mapDocMenus.IsEmpty()) return;
  SwitchMenu(m_hMenuDefault);
  m_bDocMenusRestored = TRUE;
  POSITION pos = m_mapDocMenus.GetStartPosition();
  CArray<UINT, UINT> arrDrop;
  while (pos != NULL) {
    UINT nID = 0;
    CXTPControls* pControls = NULL;
    m_mapDocMenus.GetNextAssoc(pos, nID, pControls);
    if (pControls != NULL && !pControls->IsChanged()) {
      pControls->InternalRelease();
      arrDrop.Add(nID);
    }
  }
  for (INT_PTR i = 0; i < arrDrop.GetSize(); i++) m_mapDocMenus.RemoveKey(arrDrop[i]);
}

// ---- Reset, copy, clone ----------------------------------------------------------------------------
void CXTPMenuBar::Reset() {
  if ((!m_mapDocMenus.IsEmpty() || m_pControls->GetOriginalControls() == NULL) && m_nIDResourceCurrent != 0) {
    CString strFormat, strMessage;
    XTPResourceManager()->LoadString(&strFormat, 9349);
    if (strFormat.IsEmpty()) strFormat = _T("Are you sure you want to reset the changes made to the '%s' toolbar?");
    strMessage.Format(strFormat, (LPCTSTR)m_strTitle);
    if (AfxMessageBox(strMessage, MB_OKCANCEL | MB_ICONEXCLAMATION) == IDOK) {
      CMenu menu;
      if (menu.Attach(::LoadMenu(AfxGetResourceHandle(), MAKEINTRESOURCE(m_nIDResourceCurrent)))) {
        m_pControls->RemoveAll();
        m_pControls->LoadMenu(&menu);
        menu.DestroyMenu();
      }
    }
  } else if (m_pControls->GetOriginalControls() != NULL) {
    CXTPToolBar::Reset();
  }
  RefreshMdiState();
  OnIdleUpdateCmdUI(TRUE);
  OnRecalcLayout();
}

void CXTPMenuBar::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive) {
  CXTPToolBar::Copy(pCommandBar, bRecursive);
  if (pCommandBar == NULL || pCommandBar == this || !pCommandBar->IsKindOf(RUNTIME_CLASS(CXTPMenuBar))) return;
  CXTPMenuBar* pSource = (CXTPMenuBar*)pCommandBar;
  m_nIDResource = pSource->m_nIDResource;
  ClearDocumentMenus();
  POSITION pos = pSource->m_mapDocMenus.GetStartPosition();
  while (pos != NULL) {
    UINT nID = 0;
    CXTPControls* pControls = NULL;
    pSource->m_mapDocMenus.GetNextAssoc(pos, nID, pControls);
    if (pControls != NULL) m_mapDocMenus.SetAt(nID, pControls->Duplicate(TRUE));
  }
}

CXTPCommandBar* CXTPMenuBar::Clone(BOOL bRecursive) {
  CXTPMenuBar* pBar = (CXTPMenuBar*)RUNTIME_CLASS(CXTPMenuBar)->CreateObject();
  if (pBar != NULL) pBar->Copy(this, bRecursive);
  return pBar;
}

// ---- The maximized child's system menu ---------------------------------------------------------------
CXTPControlMDISysMenuPopup::CXTPControlMDISysMenuPopup()
    : m_hWndActiveChild(NULL), m_hDocumentMenu(NULL), m_hIcon(NULL) {
  m_controlType = xtpControlPopup;
  m_dwFlags = kFlagsSysMenuPopup;
  m_strCaption = _T("-");
}

CXTPControlMDISysMenuPopup::CXTPControlMDISysMenuPopup(HWND hWndActiveChild, HMENU hDocumentMenu)
    : CXTPControlMDISysMenuPopup() {
  SetMDISysMenu(hWndActiveChild, hDocumentMenu);
}

CXTPControlMDISysMenuPopup::~CXTPControlMDISysMenuPopup() {
  if (m_hIcon != NULL) ::DestroyIcon(m_hIcon);
}

void CXTPControlMDISysMenuPopup::SetMDISysMenu(HWND hWndActiveChild, HMENU hDocumentMenu) {
  m_hWndActiveChild = hWndActiveChild;
  m_hDocumentMenu = hDocumentMenu;
  // The child's icon, asked in turn from the child, its class and the system.
  HICON hIcon = (HICON)::SendMessage(hWndActiveChild, XTPM_MENUBARNOTIFY, 0, 0);
  if (hIcon == NULL) hIcon = (HICON)::SendMessage(hWndActiveChild, WM_GETICON, ICON_SMALL, 0);
  if (hIcon == NULL) hIcon = (HICON)::SendMessage(hWndActiveChild, WM_GETICON, ICON_BIG, 0);
  if (hIcon == NULL) hIcon = (HICON)::GetClassLongPtr(hWndActiveChild, GCLP_HICONSM);
  if (hIcon == NULL) hIcon = ::LoadIcon(NULL, IDI_WINLOGO);
  HICON hCopy = hIcon != NULL ? (HICON)::CopyImage(hIcon, IMAGE_ICON, 16, 16, 0) : NULL;
  if (m_hIcon != NULL) ::DestroyIcon(m_hIcon);
  m_hIcon = hCopy;
  FillFromSystemMenu();
}

void CXTPControlMDISysMenuPopup::FillFromSystemMenu() {
  if (m_pCommandBar == NULL) {
    CXTPPopupBar* pPopup = CXTPPopupBar::CreatePopupBar(NULL);
    if (pPopup == NULL) return;
    AttachBar(pPopup);
    pPopup->InternalRelease();
  }
  CXTPControls* pControls = m_pCommandBar->GetControls();
  pControls->RemoveAll();
  if (m_hDocumentMenu == NULL || !::IsMenu(m_hDocumentMenu)) return;
  CMenu menu;
  menu.Attach(m_hDocumentMenu);
  const int nDefault = (int)::GetMenuDefaultItem(m_hDocumentMenu, FALSE, GMDI_USEDISABLED);
  BOOL bGroup = FALSE;
  const int nCount = ::GetMenuItemCount(m_hDocumentMenu);
  for (int i = 0; i < nCount; i++) {
    MENUITEMINFO info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
    if (!::GetMenuItemInfo(m_hDocumentMenu, (UINT)i, TRUE, &info)) continue;
    if (info.fType & MFT_SEPARATOR) {
      bGroup = TRUE;
      continue;
    }
    CXTPControl* pControl = NULL;
    if (info.wID < 0xF000 || info.wID > 0xF1EF) {
      pControl = pControls->AddMenuItem(&menu, i);
    } else {
      TCHAR szText[257] = {};
      ::GetMenuString(m_hDocumentMenu, (UINT)i, szText, 256, MF_BYPOSITION);
      pControl = pControls->Add(new CSysCommandButton(m_hWndActiveChild), (int)info.wID);
      if (pControl != NULL) {
        pControl->SetFlags(pControl->GetFlags() | xtpFlagManualUpdate);
        pControl->SetCaption(szText);
        pControl->SetIconId(kSysMenuIconBase + (int)(info.wID - 0xF000) / 16);
        pControl->SetDefaultItem((int)info.wID == nDefault);
        pControl->SetEnabled((info.fState & MFS_DISABLED) == 0);
      }
    }
    if (pControl != NULL && bGroup) pControl->SetBeginGroup(TRUE);
    bGroup = FALSE;
  }
  menu.Detach();
}

CSize CXTPControlMDISysMenuPopup::GetSize(CDC*) { return CSize(16, 16); }

void CXTPControlMDISysMenuPopup::Draw(CDC* pDC) {
  if (m_hIcon == NULL) return;
  ::DrawState(pDC->GetSafeHdc(), NULL, NULL, (LPARAM)m_hIcon, 0, m_rcControl.left, m_rcControl.top, 16, 16,
              DST_ICON | DSS_NORMAL);
}

// ---- Minimize, restore and close buttons -----------------------------------------------------------
CXTPControlMDIButton::CXTPControlMDIButton() { m_dwFlags = kFlagsMdiButton; }

CSize CXTPControlMDIButton::GetSize(CDC*) { return CSize(16, 16); }

UINT CXTPControlMDIButton::GetSysCommand() const {
  switch (m_nId) {
    case XTP_ID_MENUBAR_CLOSE: return SC_CLOSE;
    case XTP_ID_MENUBAR_RESTORE: return SC_RESTORE;
    case XTP_ID_MENUBAR_MINIMIZE: return SC_MINIMIZE;
    default: return 0;
  }
}

void CXTPControlMDIButton::Draw(CDC* pDC) {
  CXTPPaintManager* pPaintManager = GetPaintManager();
  if (pPaintManager != NULL) pPaintManager->DrawControlFrame(pDC, this);
  LPCTSTR lpszGlyph = m_nId == XTP_ID_MENUBAR_CLOSE ? _T("r") : m_nId == XTP_ID_MENUBAR_RESTORE ? _T("2") : _T("0");
  CFont font;
  CreateMarlettFont(font);
  CFont* pOld = pDC->SelectObject(&font);
  const int nOldMode = pDC->SetBkMode(TRANSPARENT);
  CRect rc = m_rcControl;
  pDC->DrawText(lpszGlyph, 1, rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  pDC->SetBkMode(nOldMode);
  pDC->SelectObject(pOld);
}

void CXTPControlMDIButton::Execute() {
  const UINT nCommand = GetSysCommand();
  CXTPCommandBar* pBar = GetParent();
  if (nCommand == 0 || pBar == NULL || !pBar->IsKindOf(RUNTIME_CLASS(CXTPMenuBar))) return;
  HWND hChild = ((CXTPMenuBar*)pBar)->GetActiveMdiChild(FALSE);
  if (hChild != NULL) ::PostMessage(hChild, WM_SYSCOMMAND, nCommand, 0);
}

// ---- The command bars' menu bar --------------------------------------------------------------------
CXTPMenuBar* CXTPCommandBars::SetMenu(LPCTSTR strName, UINT nID) {
  CXTPMenuBar* pMenuBar = (CXTPMenuBar*)RUNTIME_CLASS(CXTPMenuBar)->CreateObject();
  if (pMenuBar == NULL) return NULL;
  pMenuBar->SetCommandBars(this);
  pMenuBar->EnableDocking(0x5F);
  pMenuBar->SetTitle(strName);
  pMenuBar->SetBarID(1);
  if (!pMenuBar->SetPosition(xtpBarTop) || !pMenuBar->LoadMenuBar(nID)) {
    CXTPDockBar* pDock = pMenuBar->GetDockBar();
    if (pDock != NULL) pDock->RemoveCommandBar(pMenuBar);
    if (pMenuBar->GetSafeHwnd() != NULL) pMenuBar->DestroyWindow();
    pMenuBar->InternalRelease();
    return NULL;
  }
  if (nID > 0) {
    pMenuBar->GetControls()->CreateOriginalControls();
    m_nIDMenu = nID;
  }
  m_arrBars.Add(pMenuBar);
  m_pMenuBar = pMenuBar;
  return pMenuBar;
}
