// The bar base's remaining services: window creation and the customize registry, the
// customize drop targets (insertion point, drop marker, drops), command-state updates
// through the frame's update handlers, copying and cloning a bar, context-help hit tests
// and the bar's accessibility answers through WM_GETOBJECT.
#include <framework.h>

#include <algorithm>
#include <cstdlib>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPControl.h"
#include "XTPControls.h"
#include "XTPColorManager.h"
#include "XTPCustomizeDropSource.h"
#include "XTPCustomizeSheet.h"
#include "XTPImageManager.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"
#include "XTPToolTipContext.h"

// ---- Creation -----------------------------------------------------------------------------
int CXTPCommandBar::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CWnd::OnCreate(lpCreateStruct) == -1) return -1;
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars != NULL && m_barPosition != xtpBarListBox) {
    if (pCommandBars->GetDropSource() != NULL) pCommandBars->GetDropSource()->Register(this);
    CXTPToolTipContext* pContext = pCommandBars->GetToolTipContext();
    if (pContext != NULL && pContext != m_pToolTipContext) {
      pContext->InternalAddRef();
      if (m_pToolTipContext != NULL) m_pToolTipContext->InternalRelease();
      m_pToolTipContext = pContext;
    }
  }
  return 0;
}

void CXTPCommandBar::LeaveDropSource() {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars != NULL && pCommandBars->GetDropSource() != NULL)
    pCommandBars->GetDropSource()->Unregister(this);
}

// ---- Managers -------------------------------------------------------------------------------
CXTPImageManager* CXTPCommandBar::GetImageManager() const {
  if (m_pImageManager != NULL) return m_pImageManager;
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars != NULL) return pCommandBars->GetImageManager();
  CXTPCommandBar* pRoot = GetRootParent();
  if (pRoot->m_pImageManager != NULL) return pRoot->m_pImageManager;
  return XTPImageManager();
}

void CXTPCommandBar::SetImageManager(CXTPImageManager* pImageManager) {
  if (m_pImageManager == pImageManager) return;
  if (m_pImageManager != NULL) m_pImageManager->InternalRelease();
  m_pImageManager = pImageManager;
  DelayRedraw();
}

// ---- Mouse outside the client area and context help ----------------------------------------
void CXTPCommandBar::OnNcMouseMove(UINT nHitTest, CPoint point) {
  CXTPMouseManager* pMouseManager = XTPMouseManager();
  const BOOL bQuiet = pMouseManager->GetTrackingBarCount() == 0 ||
                      (m_barType == xtpBarTypePopup && m_nPopuped == -1);
  if (bQuiet && (m_bTracking == xtpTrackingNone || m_barType == xtpBarTypePopup) && m_nLockRecurse == 0)
    SetSelected(-1);
  CWnd::OnNcMouseMove(nHitTest, point);
}

namespace {
// Reads a frame's context-help flag.
struct CFrameHelpMode : public CFrameWnd {
  static BOOL Of(const CFrameWnd* pFrame) { return pFrame->*(&CFrameHelpMode::m_bHelpMode); }
};

// The frame of the bar's site when it is in context-help mode (Shift+F1), else null.
CFrameWnd* HelpModeFrame(const CXTPCommandBar* pBar) {
  CWnd* pSite = pBar->GetSite();
  if (pSite == NULL || !pSite->IsKindOf(RUNTIME_CLASS(CFrameWnd))) return NULL;
  CFrameWnd* pFrame = static_cast<CFrameWnd*>(pSite);
  return CFrameHelpMode::Of(pFrame) ? pFrame : NULL;
}

CXTPControl* VisibleControlAt(const CXTPCommandBar* pBar, CPoint point) {
  for (int i = 0; i < pBar->GetControlCount(); i++) {
    CXTPControl* pControl = pBar->GetControl(i);
    if (pControl != NULL && pControl->IsVisible() && pControl->GetRect().PtInRect(point)) return pControl;
  }
  return NULL;
}
}  // namespace

LRESULT CXTPCommandBar::OnNcHitTest(CPoint point) {
  if (HelpModeFrame(this) == NULL) return (LRESULT)Default();
  CPoint ptClient = point;
  ScreenToClient(&ptClient);
  CXTPControl* pControl = VisibleControlAt(this, ptClient);
  if (pControl != NULL && pControl->GetType() >= xtpControlPopup &&
      pControl->GetType() <= xtpControlSplitButtonPopup && pControl->GetID() <= 0)
    return HTMENU;
  return HTCLIENT;
}

void CXTPCommandBar::OnNcLButtonDown(UINT nHitTest, CPoint point) {
  if (HelpModeFrame(this) != NULL) {
    CPoint ptClient = point;
    ScreenToClient(&ptClient);
    OnLButtonDown(0, ptClient);
    return;
  }
  CWnd::OnNcLButtonDown(nHitTest, point);
}

LRESULT CXTPCommandBar::OnHelpHitTest(WPARAM, LPARAM lParam) {
  const CPoint point((short)LOWORD(lParam), (short)HIWORD(lParam));
  CXTPControl* pControl = VisibleControlAt(this, point);
  if (pControl != NULL) return (LRESULT)(pControl->GetID() + 0x10000);
  const int nID = GetDlgCtrlID();
  return nID != 0 ? (LRESULT)(nID | 0x50000) : 0;
}

// ---- Right button in customize mode ------------------------------------------------------
void CXTPCommandBar::OnRButtonDown(UINT nFlags, CPoint point) {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (!IsCustomizeMode() || pCommandBars == NULL || !IsCustomizable()) {
    CWnd::OnRButtonDown(nFlags, point);
    return;
  }
  CXTPControl* pControl = VisibleControlAt(this, point);
  if (pControl == NULL || (pControl->GetFlags() & xtpFlagNoCustomize)) return;
  SetPopuped(-1);
  SetSelected(-1);
  pCommandBars->SetDragControl(pControl);
  // The customize sheet shows its context menu for the new drag control.
  CXTPCustomizeDropSource* pSource = pCommandBars->GetDropSource();
  CXTPCustomizeSheet* pSheet = pSource != NULL ? pSource->GetSheet() : NULL;
  if (pSheet != NULL) {
    CPoint ptScreen = point;
    ClientToScreen(&ptScreen);
    pSheet->ShowContextMenu(ptScreen);
  }
}

// ---- Customize drop targets ---------------------------------------------------------------
namespace {
BOOL IsCustomizableControl(const CXTPControl* pControl) {
  return pControl != NULL && pControl->IsVisible() && (pControl->GetFlags() & xtpFlagNoCustomize) == 0;
}
}  // namespace

BOOL CXTPCommandBar::ComparesVertically() const {
  return m_barPosition == xtpBarLeft || m_barPosition == xtpBarRight || m_barType == xtpBarTypePopup;
}

int CXTPCommandBar::FindInsertionPoint(CXTPControl* pDataObject, CPoint point, CRect& rcMarker,
                                       BOOL& bVerticalMarker, BOOL* pOnItself, BOOL* pPastCentre) const {
  rcMarker.SetRectEmpty();
  if (pOnItself != NULL) *pOnItself = FALSE;
  if (pPastCentre != NULL) *pPastCentre = FALSE;
  const BOOL bVertical = ComparesVertically();
  bVerticalMarker = !bVertical;  // a mark between controls of a row stands upright
  const int nCount = GetControlCount();
  int nNearest = -1;
  int nBest = INT_MAX;
  for (int i = 0; i < nCount; i++) {
    CXTPControl* pControl = GetControl(i);
    if (!IsCustomizableControl(pControl)) continue;
    const CRect rc = pControl->GetRect();
    if (!bVertical && pControl->GetWrap() && i > 0) {
      // A new row: below the point the scan ends; at or above it the nearer row restarts.
      if (rc.top > point.y) break;
      nNearest = -1;
      nBest = INT_MAX;
    }
    const int nCentre = bVertical ? (rc.top + rc.bottom) / 2 : (rc.left + rc.right) / 2;
    const int nDistance = std::abs((bVertical ? point.y : point.x) - nCentre);
    if (nDistance < nBest) {
      nBest = nDistance;
      nNearest = i;
    }
  }
  if (nNearest == -1) {
    CRect rcClient(0, 0, 0, 0);
    if (m_hWnd != NULL) GetClientRect(&rcClient);
    rcMarker.SetRect(rcClient.left + 2, rcClient.top + 2, rcClient.left + 8, rcClient.bottom - 2);
    bVerticalMarker = TRUE;
    return nCount;
  }
  CXTPControl* pNearest = GetControl(nNearest);
  const CRect rc = pNearest->GetRect();
  const int nCentre = bVertical ? (rc.top + rc.bottom) / 2 : (rc.left + rc.right) / 2;
  const BOOL bPast = (bVertical ? point.y : point.x) > nCentre;
  if (pPastCentre != NULL) *pPastCentre = bPast;
  if (pNearest == pDataObject) {
    if (pOnItself != NULL) *pOnItself = TRUE;
    return nNearest;
  }
  int nInsert = nNearest;
  if (!bPast) {
    if (bVertical)
      rcMarker.SetRect(rc.left, rc.top, rc.right, rc.top + 6);
    else
      rcMarker.SetRect(rc.left, rc.top, rc.left + 6, rc.bottom);
  } else {
    nInsert = nNearest + 1;
    CXTPControl* pNext = GetControl(nNearest + 1);
    const BOOL bInside = pNext != NULL && (pNext->GetWrap() || pNext->GetBeginGroup());
    const int nEdge = bVertical ? rc.bottom : rc.right;
    const int nStart = bInside ? nEdge - 6 : nEdge;
    if (bVertical)
      rcMarker.SetRect(rc.left, nStart, rc.right, nStart + 6);
    else
      rcMarker.SetRect(nStart, rc.top, nStart + 6, rc.bottom);
  }
  return nInsert;
}

void CXTPCommandBar::SetDropMarker(const CRect& rcMarker, BOOL bVertical) {
  if (rcMarker == m_rcMarker && bVertical == m_bVerticalMarker) return;
  m_rcMarker = rcMarker;
  m_bVerticalMarker = bVertical;
  if (m_hWnd != NULL) Invalidate(FALSE);
}

BOOL CXTPCommandBar::OnCustomizeDragEnter(CXTPControl* pDataObject, CPoint point) {
  m_rcMarker.SetRectEmpty();
  return OnCustomizeDragOver(pDataObject, point) != DROPEFFECT_NONE;
}

void CXTPCommandBar::OnCustomizeDragLeave() {
  if (m_rcMarker.IsRectEmpty()) return;
  m_rcMarker.SetRectEmpty();
  if (m_hWnd != NULL) Invalidate(FALSE);
}

DROPEFFECT CXTPCommandBar::OnCustomizeDragOver(CXTPControl* pDataObject, CPoint point) {
  if (pDataObject == NULL || !IsCustomizable() || m_hWnd == NULL || !::IsWindowVisible(m_hWnd))
    return DROPEFFECT_NONE;
  CXTPControl* pHover = VisibleControlAt(this, point);
  if (pHover != NULL) {
    if (pHover->GetIndex() != m_nPopuped) SetPopuped(-1);
    pHover->OnCustomizeDragHover(pDataObject);
  }
  DROPEFFECT dropEffect = ::GetKeyState(VK_CONTROL) < 0 ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
  if (!pDataObject->AcceptsDrop(this, point, &dropEffect)) {
    OnCustomizeDragLeave();
    return DROPEFFECT_NONE;
  }
  CRect rcMarker;
  BOOL bVertical = FALSE;
  FindInsertionPoint(pDataObject, point, rcMarker, bVertical, NULL, NULL);
  SetDropMarker(rcMarker, bVertical);
  return dropEffect;
}

void CXTPCommandBar::OnCustomizeDrop(CXTPControl* pDataObject, DROPEFFECT& dropEffect, CPoint ptDrop,
                                     CPoint ptDrag) {
  if (pDataObject == NULL || m_pControls == NULL) return;
  CRect rcMarker;
  BOOL bVertical = FALSE, bOnItself = FALSE, bPast = FALSE;
  const int nInsert = FindInsertionPoint(pDataObject, ptDrop, rcMarker, bVertical, &bOnItself, &bPast);
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (bOnItself) {
    if (std::abs(ptDrop.x - ptDrag.x) > 4 || std::abs(ptDrop.y - ptDrag.y) > 4)
      pDataObject->SetBeginGroup(bPast && pDataObject->GetIndex() > 0);
    // The source keeps a control dropped where it was.
    dropEffect = 5;
  } else {
    SetPopuped(-1);
    SetSelected(-1);
    CXTPControl* pDisplaced = GetControl(nInsert);
    const BOOL bGroup = pDisplaced != NULL && pDisplaced->GetBeginGroup();
    if (bGroup) pDisplaced->SetBeginGroup(FALSE);
    CXTPControl* pClone = m_pControls->AddClone(pDataObject, nInsert, FALSE);
    if (pClone != NULL) {
      pClone->SetBeginGroup(bGroup);
      if (pCommandBars != NULL) pCommandBars->SetDragControl(pClone);
    }
  }
  m_rcMarker.SetRectEmpty();
  OnRecalcLayout();
  if (m_hWnd != NULL) Invalidate(FALSE);
}

void CXTPCommandBar::DrawCustomizeMarks(CDC* pDC) {
  if (!IsCustomizeMode() || pDC == NULL) return;
  CXTPCommandBars* pCommandBars = GetCommandBars();
  CXTPControl* pDrag = pCommandBars != NULL ? pCommandBars->GetDragControl() : NULL;
  if (pDrag != NULL && pDrag->GetParent() == this && pDrag->IsVisible()) {
    CRect rc = pDrag->GetRect();
    pDC->Draw3dRect(rc, RGB(0, 0, 0), RGB(0, 0, 0));
    rc.DeflateRect(1, 1);
    pDC->Draw3dRect(rc, RGB(0, 0, 0), RGB(0, 0, 0));
  }
  if (m_rcMarker.IsRectEmpty()) return;
  CBrush brush(XTPGetColorManager()->GetColor(COLOR_BTNFACE));
  CBrush* pOld = pDC->SelectObject(&brush);
  const CRect& rc = m_rcMarker;
  if (m_bVerticalMarker) {
    // An upright I: end lines across the mark, a 2-pixel bar down its middle.
    const int xMid = rc.left + rc.Width() / 2 - 1;
    pDC->PatBlt(rc.left, rc.top, rc.Width(), 1, PATINVERT);
    pDC->PatBlt(rc.left, rc.bottom - 1, rc.Width(), 1, PATINVERT);
    pDC->PatBlt(xMid, rc.top + 1, 2, rc.Height() - 2, PATINVERT);
  } else {
    const int yMid = rc.top + rc.Height() / 2 - 1;
    pDC->PatBlt(rc.left, rc.top, 1, rc.Height(), PATINVERT);
    pDC->PatBlt(rc.right - 1, rc.top, 1, rc.Height(), PATINVERT);
    pDC->PatBlt(rc.left + 1, yMid, rc.Width() - 2, 2, PATINVERT);
  }
  pDC->SelectObject(pOld);
}

// ---- Command state --------------------------------------------------------------------------
namespace {
// The command-state object of one control: enable (a disabled control is unchecked too),
// check, and caption text.
class CControlCmdUI : public CCmdUI {
 public:
  CXTPControl* pControl = NULL;
  void Enable(BOOL bOn) override {
    m_bEnableChanged = TRUE;
    pControl->SetEnabled(bOn);
    if (!bOn) pControl->SetChecked(FALSE);
  }
  void SetCheck(int nCheck) override { pControl->SetChecked(nCheck != 0); }
  void SetRadio(BOOL bOn) override { SetCheck(bOn ? 1 : 0); }
  void SetText(LPCTSTR lpszText) override { pControl->SetCaption(lpszText != NULL ? lpszText : _T("")); }
};
}  // namespace

void CXTPCommandBar::UpdateDocTemplateControls() {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  const UINT nMenuId = pCommandBars != NULL ? pCommandBars->GetActiveMenuId() : 0;
  if (nMenuId == 0) return;
  BOOL bChanged = FALSE;
  for (int i = 0; i < GetControlCount(); i++) {
    CXTPControl* pControl = GetControl(i);
    if (pControl == NULL) continue;
    BOOL bHide = FALSE, bValue = FALSE;
    if (!pControl->m_mapDocTemplatesAssigned.IsEmpty())
      bHide = !pControl->m_mapDocTemplatesAssigned.Lookup(nMenuId, bValue);
    if (!bHide && !pControl->m_mapDocTemplatesExcluded.IsEmpty())
      bHide = pControl->m_mapDocTemplatesExcluded.Lookup(nMenuId, bValue);
    const DWORD dwOld = pControl->GetHideFlags();
    const DWORD dwNew = bHide ? (dwOld | xtpHideDocTemplate) : (dwOld & ~(DWORD)xtpHideDocTemplate);
    if (dwNew != dwOld) {
      pControl->SetHideFlags(dwNew);
      bChanged = TRUE;
    }
  }
  if (bChanged) m_nStateFlags |= stateLayoutDirty;
}

void CXTPCommandBar::OnIdleUpdateCmdUI(BOOL bDisableIfNoHndler) {
  if (m_hWnd == NULL || !::IsWindowVisible(m_hWnd)) return;
  CWnd* pTarget = GetCommandTarget();
  UpdateDocTemplateControls();
  const BOOL bCustomize = IsCustomizeMode();
  // A popup menu tracked with TPM_NONOTIFY takes no updates, nor do its submenus.
  const BOOL bNoNotify = m_bIgnoreUpdateHandler || GetRootParent()->m_bIgnoreUpdateHandler;
  // A handler may change the controls: keep the bar alive and re-read the count.
  InternalAddRef();
  for (int i = 0; i < GetControlCount(); i++) {
    CXTPControl* pControl = GetControl(i);
    if (pControl == NULL) continue;
    if (pControl->GetPressed() != 0) {
      pControl->SetPressed(0);
      pControl->RedrawParent();
    }
    if (bCustomize) {
      pControl->SetEnabled(TRUE);
      continue;
    }
    if (bNoNotify || (pControl->GetFlags() & xtpFlagManualUpdate) || pControl->GetID() == 0)
      continue;
    CControlCmdUI state;
    state.pControl = pControl;
    state.m_nID = (UINT)pControl->GetID();
    state.m_nIndex = (UINT)i;
    state.m_nIndexMax = (UINT)GetControlCount();
    state.m_pOther = this;
    // The bar's own (reflected) handler first, then the command target's route.
    if (CWnd::OnCmdMsg(state.m_nID, CN_UPDATE_COMMAND_UI, &state, NULL)) continue;
    if (pTarget != NULL) state.DoUpdate(pTarget, bDisableIfNoHndler && state.m_nID < 0xF000);
  }
  if (m_hWnd != NULL) {
    if (m_nStateFlags & stateRedrawPending) {
      m_nStateFlags &= ~stateRedrawPending;
      Invalidate(FALSE);
    }
    if (m_nStateFlags & stateLayoutDirty) {
      m_nStateFlags &= ~stateLayoutDirty;
      OnRecalcLayout();
    }
    if (pTarget != NULL && pTarget->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
      UpdateDialogControls(pTarget, bDisableIfNoHndler);
  }
  InternalRelease();
}

// ---- Copy and clone -------------------------------------------------------------------------
void CXTPCommandBar::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive) {
  if (pCommandBar == NULL || pCommandBar == this) return;
  m_barType = pCommandBar->m_barType;
  m_barPosition = pCommandBar->m_barPosition;
  m_nBarID = pCommandBar->m_nBarID;
  m_dwFlags = pCommandBar->m_dwFlags;
  m_dwStyle = pCommandBar->m_dwStyle;
  m_strTitle = pCommandBar->m_strTitle;
  m_bCustomizable = pCommandBar->m_bCustomizable;
  m_nMRUWidth = pCommandBar->m_nMRUWidth;
  m_szIcons = pCommandBar->m_szIcons;
  m_pCommandBars = pCommandBar->m_pCommandBars;
  CXTPControls* pControls = pCommandBar->m_pControls != NULL ? pCommandBar->m_pControls->Duplicate(bRecursive) : NULL;
  if (pControls == NULL) return;
  if (m_pControls != NULL) {
    m_pControls->RemoveAll();
    m_pControls->SetParent(NULL);
    m_pControls->InternalRelease();
  }
  m_pControls = pControls;
  m_pControls->SetParent(this);
  m_pControls->RefreshIndexes();
}

CXTPCommandBar* CXTPCommandBar::Clone(BOOL bRecursive) {
  CXTPCommandBar* pClone = (CXTPCommandBar*)RUNTIME_CLASS(CXTPCommandBar)->CreateObject();
  if (pClone == NULL) return NULL;
  pClone->Copy(this, bRecursive);
  return pClone;
}

// ---- Accessibility ----------------------------------------------------------------------------
LRESULT CXTPCommandBar::OnGetObject(WPARAM wParam, LPARAM lParam) {
  if ((LONG)lParam != OBJID_CLIENT && (LONG)lParam != OBJID_MENU) return (LRESULT)Default();
  IAccessible* pAccessible = (IAccessible*)GetInterface(&IID_IAccessible);
  if (pAccessible == NULL) return (LRESULT)Default();
  return CXTPAccessible::LresultFromObject(IID_IAccessible, wParam, pAccessible);
}

namespace {
HRESULT PutText(BSTR* pOut, const CString& str) {
  if (pOut == NULL) return E_POINTER;
  *pOut = ::SysAllocString(static_cast<LPCWSTR>(str));
  return *pOut != NULL ? S_OK : E_OUTOFMEMORY;
}

// A caption as the user reads it: "&&" is an ampersand, a single "&" marks the mnemonic.
CString StripMnemonics(const CString& strCaption) {
  CString strResult;
  for (int i = 0; i < strCaption.GetLength(); i++) {
    if (strCaption[i] == _T('&')) {
      if (i + 1 < strCaption.GetLength() && strCaption[i + 1] == _T('&')) {
        strResult += _T('&');
        i++;
      }
      continue;
    }
    strResult += strCaption[i];
  }
  return strResult;
}
}  // namespace

// The child a VARIANT names: 0 for the bar, 1..count for a control; -1 when invalid.
long CXTPCommandBar::AccessibleChild(VARIANT* pvarChild) const {
  const long nChild = CXTPAccessible::GetChildIndex(pvarChild);
  if (nChild < 0 || nChild > GetControlCount()) return -1;
  return nChild;
}

HRESULT CXTPCommandBar::get_accParent(IDispatch** ppdispParent) {
  if (ppdispParent == NULL) return E_POINTER;
  *ppdispParent = NULL;
  if (IsKindOf(RUNTIME_CLASS(CXTPPopupBar))) {
    CXTPControl* pOpener = (CXTPControl*)static_cast<CXTPPopupBar*>(this)->GetControlPopup();
    if (pOpener != NULL) {
      IDispatch* pDispatch = (IDispatch*)pOpener->GetInterface(&IID_IAccessible);
      if (pDispatch != NULL) {
        pDispatch->AddRef();
        *ppdispParent = pDispatch;
        return S_OK;
      }
    }
  }
  if (m_hWnd == NULL) return E_FAIL;
  HWND hParent = ::GetParent(m_hWnd);
  if (hParent == NULL) hParent = ::GetDesktopWindow();
  return CXTPAccessible::AccessibleObjectFromWindow(hParent, (DWORD)OBJID_WINDOW, IID_IDispatch,
                                                    (void**)ppdispParent);
}

HRESULT CXTPCommandBar::get_accChildCount(long* pcountChildren) {
  if (pcountChildren == NULL) return E_POINTER;
  *pcountChildren = GetControlCount();
  return S_OK;
}

HRESULT CXTPCommandBar::get_accChild(VARIANT varChild, IDispatch** ppdispChild) {
  if (ppdispChild == NULL) return E_POINTER;
  *ppdispChild = NULL;
  const long nChild = AccessibleChild(&varChild);
  if (nChild <= 0) return E_INVALIDARG;
  CXTPControl* pControl = GetControl(nChild - 1);
  IDispatch* pDispatch = pControl != NULL ? (IDispatch*)pControl->GetInterface(&IID_IAccessible) : NULL;
  if (pDispatch == NULL) return E_FAIL;
  pDispatch->AddRef();
  *ppdispChild = pDispatch;
  return S_OK;
}

HRESULT CXTPCommandBar::get_accName(VARIANT varChild, BSTR* pszName) {
  const long nChild = AccessibleChild(&varChild);
  if (nChild < 0) return E_INVALIDARG;
  if (nChild == 0) return PutText(pszName, m_strTitle);
  CXTPControl* pControl = GetControl(nChild - 1);
  CString strName = StripMnemonics(pControl->GetCaption());
  const CString strShortcut = pControl->GetShortcutText();
  if (!strShortcut.IsEmpty()) strName += _T("\t") + strShortcut;
  return PutText(pszName, strName);
}

HRESULT CXTPCommandBar::get_accRole(VARIANT varChild, VARIANT* pvarRole) {
  if (pvarRole == NULL) return E_POINTER;
  const long nChild = AccessibleChild(&varChild);
  if (nChild < 0) return E_INVALIDARG;
  ::VariantInit(pvarRole);
  pvarRole->vt = VT_I4;
  if (nChild > 0)
    pvarRole->lVal = ROLE_SYSTEM_MENUITEM;
  else if (m_barType == xtpBarTypeMenuBar)
    pvarRole->lVal = ROLE_SYSTEM_MENUBAR;
  else if (m_barType == xtpBarTypeNormal)
    pvarRole->lVal = ROLE_SYSTEM_TOOLBAR;
  else
    pvarRole->lVal = ROLE_SYSTEM_MENUPOPUP;
  return S_OK;
}

HRESULT CXTPCommandBar::get_accState(VARIANT varChild, VARIANT* pvarState) {
  if (pvarState == NULL) return E_POINTER;
  const long nChild = AccessibleChild(&varChild);
  if (nChild < 0) return E_INVALIDARG;
  ::VariantInit(pvarState);
  pvarState->vt = VT_I4;
  if (nChild == 0) {
    pvarState->lVal = IsVisible() ? 0 : STATE_SYSTEM_INVISIBLE;
    return S_OK;
  }
  pvarState->lVal = (nChild - 1 == m_nSelected)
                        ? (STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_HOTTRACKED |
                           STATE_SYSTEM_FOCUSED | STATE_SYSTEM_SELECTED)
                        : (STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE);
  return S_OK;
}

HRESULT CXTPCommandBar::accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                                    VARIANT varChild) {
  if (pxLeft == NULL || pyTop == NULL || pcxWidth == NULL || pcyHeight == NULL) return E_POINTER;
  const long nChild = AccessibleChild(&varChild);
  if (nChild < 0) return E_INVALIDARG;
  CRect rc(0, 0, 0, 0);
  if (nChild == 0) {
    if (m_hWnd != NULL) GetWindowRect(&rc);
  } else {
    rc = GetControl(nChild - 1)->GetRect();
    if (m_hWnd != NULL) ClientToScreen(&rc);
  }
  *pxLeft = rc.left;
  *pyTop = rc.top;
  *pcxWidth = rc.Width();
  *pcyHeight = rc.Height();
  return S_OK;
}

HRESULT CXTPCommandBar::accHitTest(long xLeft, long yTop, VARIANT* pvarChild) {
  if (pvarChild == NULL) return E_POINTER;
  ::VariantInit(pvarChild);
  if (m_hWnd == NULL) return S_FALSE;
  CRect rcWindow;
  GetWindowRect(&rcWindow);
  CPoint pt(xLeft, yTop);
  if (!rcWindow.PtInRect(pt)) return S_FALSE;
  ScreenToClient(&pt);
  CXTPControl* pControl = VisibleControlAt(this, pt);
  IDispatch* pDispatch = pControl != NULL ? (IDispatch*)pControl->GetInterface(&IID_IAccessible) : NULL;
  if (pDispatch != NULL) {
    pDispatch->AddRef();
    pvarChild->vt = VT_DISPATCH;
    pvarChild->pdispVal = pDispatch;
    return S_OK;
  }
  pvarChild->vt = VT_I4;
  pvarChild->lVal = CHILDID_SELF;
  return S_OK;
}
