// The toolkit edit: context menu, command updates and flicker-free painting.
#include <framework.h>

#include "XTEdit.h"
#include "XTGlobalUIData.h"
#include "XTPColorManager.h"
#include "XTPCommandBars.h"
#include "XTPResourceManager.h"

IMPLEMENT_DYNAMIC(CXTEdit, CEdit)

namespace {
const UINT kMenuEdit = 9014;      // popup 1: Undo, Cut, Copy, Paste, Delete, Select All
const UINT kToolbarEdit = 9017;   // the menu items' images
const int kEditSubMenu = 1;
}  // namespace

#ifndef ID_EDIT_CLEAR
#define ID_EDIT_CLEAR 0xE120
#define ID_EDIT_COPY 0xE122
#define ID_EDIT_CUT 0xE123
#define ID_EDIT_PASTE 0xE125
#define ID_EDIT_SELECT_ALL 0xE12A
#define ID_EDIT_UNDO 0xE12B
#endif

BEGIN_MESSAGE_MAP(CXTEdit, CEdit)
  ON_WM_CONTEXTMENU()
  ON_WM_INITMENUPOPUP()
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_COMMAND(ID_EDIT_UNDO, OnEditUndo)
  ON_COMMAND(ID_EDIT_CUT, OnEditCut)
  ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
  ON_COMMAND(ID_EDIT_PASTE, OnEditPaste)
  ON_COMMAND(ID_EDIT_CLEAR, OnEditClear)
  ON_COMMAND(ID_EDIT_SELECT_ALL, OnEditSelectAll)
  ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, OnUpdateEditUndo)
  ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, OnUpdateEditCut)
  ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateEditCopy)
  ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, OnUpdateEditPaste)
  ON_UPDATE_COMMAND_UI(ID_EDIT_CLEAR, OnUpdateEditClear)
  ON_UPDATE_COMMAND_UI(ID_EDIT_SELECT_ALL, OnUpdateEditSelectAll)
END_MESSAGE_MAP()

CXTEdit::CXTEdit() : m_pParentWnd(NULL) {}

CXTEdit::~CXTEdit() {}

BOOL CXTEdit::CanPaste() { return ::IsClipboardFormatAvailable(CF_TEXT); }

BOOL CXTEdit::HasSelection() {
  DWORD dwStart = 0, dwEnd = 0;
  SendMessage(EM_GETSEL, (WPARAM)&dwStart, (LPARAM)&dwEnd);
  return dwStart < dwEnd;
}

BOOL CXTEdit::Initialize(CWnd* pParentWnd) {
  if (GetSafeHwnd() == NULL || pParentWnd == NULL || pParentWnd->GetSafeHwnd() == NULL) return FALSE;
  SetFont(&XTGetGlobalUIData().font, TRUE);
  m_pParentWnd = pParentWnd;
  return TRUE;
}

void CXTEdit::OnContextMenu(CWnd*, CPoint point) {
  if (point.x == -1 && point.y == -1) {
    // From the keyboard: just inside the edit's top-left corner.
    point = CPoint(0, 0);
    ClientToScreen(&point);
    point.Offset(5, 5);
  }
  CMenu menu;
  if (!XTPGetResourceManager()->LoadMenu(&menu, kMenuEdit)) return;
  CMenu* pPopup = menu.GetSubMenu(kEditSubMenu);
  if (pPopup != NULL) CXTPCommandBars::TrackPopupMenu(pPopup, TPM_RIGHTBUTTON, point.x, point.y, this, kToolbarEdit);
  menu.DestroyMenu();
}

void CXTEdit::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu) {
  CEdit::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
  if (bSysMenu || pPopupMenu == NULL) return;

  CCmdUI state;
  state.m_pMenu = pPopupMenu;
  state.m_pOther = NULL;
  state.m_nIndexMax = (UINT)pPopupMenu->GetMenuItemCount();
  for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; state.m_nIndex++) {
    state.m_nID = pPopupMenu->GetMenuItemID((int)state.m_nIndex);
    if (state.m_nID == 0) continue;  // separator
    if (state.m_nID == (UINT)-1) {
      // A submenu item takes the state of its first item's command.
      CMenu* pSub = pPopupMenu->GetSubMenu((int)state.m_nIndex);
      if (pSub == NULL) continue;
      state.m_nID = pSub->GetMenuItemID(0);
      if (state.m_nID == 0 || state.m_nID == (UINT)-1) continue;
      state.m_pSubMenu = pSub;
      state.DoUpdate(this, FALSE);
      state.m_pSubMenu = NULL;
    } else {
      state.m_pSubMenu = NULL;
      state.DoUpdate(this, state.m_nID < 0xF000);
    }
    // Items may have been removed by the update.
    const UINT nCount = (UINT)pPopupMenu->GetMenuItemCount();
    if (nCount < state.m_nIndexMax) {
      state.m_nIndex -= (state.m_nIndexMax - nCount);
      while (state.m_nIndex < nCount && pPopupMenu->GetMenuItemID((int)state.m_nIndex) == state.m_nID)
        state.m_nIndex++;
    }
    state.m_nIndexMax = nCount;
  }
}

BOOL CXTEdit::OnEraseBkgnd(CDC*) { return TRUE; }

void CXTEdit::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  const int nColor = IsWindowEnabled() ? COLOR_WINDOW : COLOR_BTNFACE;
  CXTMemDC memDC(&dc, rc, XTPGetColorManager()->GetColor(nColor));
  DefWindowProc(WM_PAINT, (WPARAM)memDC.m_hDC, 0);
}

void CXTEdit::OnEditUndo() { SendMessage(EM_UNDO); }
void CXTEdit::OnEditCut() { SendMessage(WM_CUT); }
void CXTEdit::OnEditCopy() { SendMessage(WM_COPY); }
void CXTEdit::OnEditPaste() { SendMessage(WM_PASTE); }
void CXTEdit::OnEditClear() { SendMessage(WM_CLEAR); }
void CXTEdit::OnEditSelectAll() {
  SendMessage(EM_SETSEL, 0, -1);
  SendMessage(EM_SCROLLCARET);
}

void CXTEdit::OnUpdateEditUndo(CCmdUI* pCmdUI) { pCmdUI->Enable(SendMessage(EM_CANUNDO) != 0); }
void CXTEdit::OnUpdateEditCut(CCmdUI* pCmdUI) { pCmdUI->Enable(HasSelection()); }
void CXTEdit::OnUpdateEditCopy(CCmdUI* pCmdUI) { pCmdUI->Enable(HasSelection()); }
void CXTEdit::OnUpdateEditPaste(CCmdUI* pCmdUI) { pCmdUI->Enable(CanPaste()); }
void CXTEdit::OnUpdateEditClear(CCmdUI* pCmdUI) { pCmdUI->Enable(HasSelection()); }
void CXTEdit::OnUpdateEditSelectAll(CCmdUI* pCmdUI) { pCmdUI->Enable(GetWindowTextLength() > 0); }
