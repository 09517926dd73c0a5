// The command-bar control base: texts and prompts, state, the execute path, the modal loops
// of a held button and of edge sizing, copying and comparing, and the accessibility answers.
#include <framework.h>

#include <algorithm>

#include "XTPCommandBar.h"
#include "XTPCommandBars.h"
#include "XTPControl.h"
#include "XTPControlPopup.h"
#include "XTPControls.h"
#include "XTPCustomizeDropSource.h"
#include "XTPImageManager.h"
#include "XTPModalLoop.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"
#include "XTPResourceManager.h"
#include "XTPSoundManager.h"

IMPLEMENT_SERIAL(CXTPControl, CCmdTarget, VERSIONABLE_SCHEMA | 0x10)

BEGIN_INTERFACE_MAP(CXTPControl, CCmdTarget)
  INTERFACE_PART(CXTPControl, IID_IAccessible, Accessible)
END_INTERFACE_MAP()

CXTPControl::CXTPControl()
    : m_nTag(0), m_nIndex(0), m_nId(0), m_nIconId(0), m_nCustomIconId(0), m_bBeginGroup(FALSE),
      m_bEnabled(TRUE), m_bChecked(FALSE), m_bSelected(0), m_bPressed(0), m_bTemporary(FALSE),
      m_rcControl(0, 0, 0, 0), m_rcRow(0, 0, 0, 0), m_bWrap(FALSE), m_dwHideFlags(xtpHideNone), m_dwFlags(0), m_pControls(NULL),
      m_controlType(xtpControlError), m_pParent(NULL), m_bExpandMark(FALSE),
      m_bDefaultItem(FALSE), m_buttonStyle(0), m_buttonCustomStyle(0),
      m_bCloseSubMenuOnClick(TRUE) {
  m_mapDocTemplatesAssigned.InitHashTable(17, FALSE);
  m_mapDocTemplatesExcluded.InitHashTable(17, FALSE);
}

CXTPControl::~CXTPControl() {}

// ---- Texts ----

CString CXTPControl::GetDescriptionText() const { return m_strDescriptionText; }
CString CXTPControl::GetTooltipText() const { return m_strTooltipText; }

CString CXTPControl::GetCaption() const {
  return m_strCustomCaption.IsEmpty() ? m_strCaption : m_strCustomCaption;
}

CString CXTPControl::GetShortcutText() const {
  return m_strShortcutText.IsEmpty() ? m_strShortcutTextAuto : m_strShortcutText;
}

void CXTPControl::SetCaption(const CString& strCaption) {
  CString strText = strCaption;
  const int nTab = strText.Find(_T('\t'));
  if (nTab >= 0) {
    m_strShortcutTextAuto = strText.Mid(nTab + 1);
    strText = strText.Left(nTab);
  }
  if (strText != m_strCaption) {
    m_strCaption = strText;
    DelayLayoutParent();
  }
}

void CXTPControl::ApplyPrompt(const CString& strPrompt) {
  if (strPrompt.IsEmpty()) return;
  const int nLine = strPrompt.Find(_T('\n'));
  if (nLine >= 0) {
    m_strDescriptionText = strPrompt.Left(nLine);
    m_strTooltipText = strPrompt.Mid(nLine + 1);
  } else {
    m_strDescriptionText = strPrompt;
    m_strTooltipText = strPrompt;
  }
  if (m_strCaption.IsEmpty()) m_strCaption = m_strTooltipText;
}

void CXTPControl::AssignId(int nId) {
  if (nId != m_nId && nId > 0) {
    CString strPrompt;
    CXTPResourceManager* pResources = XTPResourceManager();
    if (pResources != NULL && pResources->LoadString(&strPrompt, (UINT)nId)) ApplyPrompt(strPrompt);
  }
  m_nId = nId;
}

int CXTPControl::GetIconKey() const {
  if (m_nCustomIconId != 0) return m_nCustomIconId;
  if (m_nIconId > 0) return m_nIconId;
  return m_nId;
}

// ---- State ----

void CXTPControl::SetBeginGroup(BOOL bBeginGroup) {
  m_bBeginGroup = bBeginGroup;
  DelayLayoutParent();
}

void CXTPControl::SetEnabled(BOOL bEnabled) {
  if (bEnabled == m_bEnabled) return;
  m_bEnabled = bEnabled;
  if (m_pParent != NULL && m_pParent->GetSafeHwnd() != NULL) m_pParent->DelayRedraw();
}

void CXTPControl::SetChecked(BOOL bChecked) {
  if (bChecked == m_bChecked) return;
  m_bChecked = bChecked;
  if (m_pParent != NULL && m_pParent->GetSafeHwnd() != NULL) m_pParent->DelayRedraw();
}

void CXTPControl::SetDefaultItem(BOOL bDefault) {
  if (bDefault == m_bDefaultItem) return;
  m_bDefaultItem = bDefault;
  DelayLayoutParent();
}

void CXTPControl::SetShortMenuMark(BOOL bMark) {
  m_bExpandMark = bMark;
  if (!bMark) m_dwHideFlags &= ~(DWORD)xtpHideExpand;
}

int CXTPControl::GetSelectedState() const { return m_bSelected; }
void CXTPControl::SetFocused(BOOL) {}
BOOL CXTPControl::IsFocused() const { return FALSE; }
void CXTPControl::SetRect(CRect rcControl) { m_rcControl = rcControl; }
CXTPCommandBar* CXTPControl::GetCommandBar() { return NULL; }
BOOL CXTPControl::IsLabel() const { return FALSE; }
void CXTPControl::SetHideFlags(DWORD dwFlags) { m_dwHideFlags = dwFlags; }
void CXTPControl::OnBarLayout(DWORD) {}
void CXTPControl::OnMnemonic() { Execute(); }
BOOL CXTPControl::IsFocusable() const { return FALSE; }
int CXTPControl::OnKeyDown(UINT, LPARAM) { return 0; }
void CXTPControl::SetParent(CXTPCommandBar* pParent) { m_pParent = pParent; }
BOOL CXTPControl::SetPopupOpen(BOOL) { return FALSE; }
void CXTPControl::OnClick(BOOL, CPoint) {}
void CXTPControl::OnLButtonUp(CPoint) {}
void CXTPControl::OnRButtonUp(CPoint) {}
BOOL CXTPControl::OnLButtonDblClk(CPoint point) {
  OnClick(FALSE, point);
  return TRUE;
}
void CXTPControl::OnMouseMove(CPoint) {}
BOOL CXTPControl::AcceptsDrop(CXTPCommandBar*, CPoint, DROPEFFECT*) { return TRUE; }
BOOL CXTPControl::IsResizable() const { return FALSE; }
int CXTPControl::GetMinCustomWidth() { return 0; }
void CXTPControl::SetWidth(int) {}

void CXTPControl::OnCustomizeDragHover(CXTPControl*) {
  if (m_pParent == NULL) return;
  m_pParent->SetPopuped(-1);
  m_pParent->SetSelected(-1);
}

BOOL CXTPControl::ShowsCaption() {
  if (m_pParent != NULL && m_pParent->GetType() == xtpBarTypePopup) return TRUE;
  if (GetCaption().IsEmpty()) return FALSE;
  switch (GetEffectiveStyle()) {
    case xtpButtonCaption:
    case xtpButtonIconAndCaption:
      return TRUE;
    case xtpButtonIcon:
      return FALSE;
    default:
      break;
  }
  switch (m_controlType) {
    case xtpControlButton:
    case xtpControlButtonPopup:
    case xtpControlSplitButtonPopup:
      return GetImage(16) == NULL;
    case xtpControlPopup:
    case xtpControlLabel:
      return TRUE;
    default:
      return FALSE;
  }
}

CXTPImageManagerIcon* CXTPControl::GetImage(int nWidth) {
  const int nKey = GetIconKey();
  if (nKey == 0) return NULL;
  CXTPImageManager* pImageManager = GetImageManager();
  return pImageManager != NULL ? pImageManager->GetImage((UINT)nKey, nWidth) : NULL;
}

// The managers come from the bar the control sits on (which may carry its own, as the
// customize sheet's menu carries the button images); a control on no bar, such as a command
// of the customize lists, takes those of the command bars of its collection.
CXTPPaintManager* CXTPControl::GetPaintManager() const {
  if (m_pParent != NULL) return m_pParent->GetPaintManager();
  CXTPCommandBars* pCommandBars = m_pControls != NULL ? m_pControls->GetCommandBars() : NULL;
  if (pCommandBars != NULL) return pCommandBars->GetPaintManager();
  return CXTPPaintManager::GetCurrentPaintManager();
}

// The bar's image manager (its own, its command bars', its root popup's or the process-wide
// one): a menu with images of its own, as the customize sheet's image popup, shows them.
// A control not on a bar asks its collection's command bars.
CXTPImageManager* CXTPControl::GetImageManager() const {
  if (m_pParent != NULL) return m_pParent->GetImageManager();
  CXTPCommandBars* pCommandBars = m_pControls != NULL ? m_pControls->GetCommandBars() : NULL;
  if (pCommandBars != NULL) return pCommandBars->GetImageManager();
  return XTPImageManager();
}

BOOL CXTPControl::IsCustomizeMode() const {
  return m_pParent != NULL && m_pParent->IsCustomizeMode();
}

namespace {
// Measures or draws a control by its kind: edits and combo boxes have their own items, the
// rest are popup rows in popup bars and toolbar items elsewhere.
CSize PaintControl(CXTPPaintManager* pPaintManager, CDC* pDC, CXTPControl* pControl, BOOL bDraw) {
  if (pPaintManager == NULL) return CSize(0, 0);
  switch (pControl->GetType()) {
    case xtpControlEdit:
      return pPaintManager->DrawEditItem(pDC, pControl, bDraw);
    case xtpControlComboBox:
      return pPaintManager->DrawComboItem(pDC, pControl, bDraw);
    default:
      break;
  }
  CXTPCommandBar* pParent = pControl->GetParent();
  if (pParent != NULL && pParent->GetType() == xtpBarTypePopup)
    return pPaintManager->DrawPopupItem(pDC, pControl, bDraw);
  return pPaintManager->DrawToolbarItem(pDC, pControl, bDraw);
}
}  // namespace

CSize CXTPControl::GetSize(CDC* pDC) { return PaintControl(GetPaintManager(), pDC, this, FALSE); }

void CXTPControl::Draw(CDC* pDC) { PaintControl(GetPaintManager(), pDC, this, TRUE); }

void CXTPControl::RedrawParent(BOOL) {
  if (m_pParent != NULL && m_pParent->GetSafeHwnd() != NULL)
    ::InvalidateRect(m_pParent->GetSafeHwnd(), NULL, FALSE);
}

void CXTPControl::DelayLayoutParent() {
  if (m_pParent != NULL) m_pParent->DelayLayout();
}

CWnd* CXTPControl::GetSite() const {
  if (m_pParent != NULL) return m_pParent->GetSite();
  CXTPCommandBars* pCommandBars = m_pControls != NULL ? m_pControls->GetCommandBars() : NULL;
  return pCommandBars != NULL ? pCommandBars->GetSite() : NULL;
}

// ---- Execute ----

LRESULT CXTPControl::NotifySite(UINT nCode) {
  if (m_pParent == NULL) return 0;
  CWnd* pSite = GetSite();
  if (pSite == NULL || pSite->GetSafeHwnd() == NULL) return 0;
  NMXTPCONTROL block;
  block.hdr.hwndFrom = NULL;
  block.hdr.idFrom = (UINT_PTR)m_nId;
  block.hdr.code = nCode;
  block.pControl = this;
  return pSite->SendMessage(XTPM_EXECUTE, (WPARAM)m_nId, (LPARAM)&block);
}

namespace {
// Closes the popups of an execute: a recursively tracked root leaves tracking itself;
// otherwise every bar the thread's mouse manager tracks closes.
void ClosePopups(CXTPCommandBar* pRoot) {
  if (pRoot != NULL && pRoot->IsRecursePopup()) {
    pRoot->SetTrackingMode(xtpTrackingNone, FALSE);
    return;
  }
  XTPMouseManager()->CloseAllTrackingBars();
}
}  // namespace

void CXTPControl::Execute() {
  XTPSoundManager()->PlaySystemSound(xtpSoundMenuCommand);
  m_bPressed = 2;
  CXTPCommandBar* pRoot = m_pParent != NULL ? m_pParent->GetRootParent() : NULL;
  CWnd* pSite = GetSite();
  CXTPCommandBars* pCommandBars =
      m_pParent != NULL ? m_pParent->GetCommandBars()
                        : (m_pControls != NULL ? m_pControls->GetCommandBars() : NULL);

  if (pRoot != NULL && pRoot->GetReturnCmd() != NULL) {
    int* pResult = pRoot->GetReturnCmd();
    ClosePopups(pRoot);
    *pResult = m_nId;
    return;
  }
  if (pCommandBars != NULL && m_nId != 0) {
    pCommandBars->SetCommandUsed((UINT)m_nId);
    // The popup control that opened this popup bar is used too.
    if (m_pParent != NULL && m_pParent->IsKindOf(RUNTIME_CLASS(CXTPPopupBar))) {
      CXTPControlPopup* pOpener = static_cast<CXTPPopupBar*>(m_pParent)->GetControlPopup();
      if (pOpener != NULL && pOpener->GetID() != 0) pCommandBars->SetCommandUsed((UINT)pOpener->GetID());
    }
  }
  // Keep this control alive across the notifications: a handler may remove it.
  InternalAddRef();
  if (m_bCloseSubMenuOnClick) ClosePopups(pRoot);
  if (m_nId != 0 && pSite != NULL && pSite->GetSafeHwnd() != NULL) {
    NMXTPCONTROL block;
    block.hdr.hwndFrom = NULL;
    block.hdr.idFrom = (UINT_PTR)m_nId;
    block.hdr.code = XTP_CN_EXECUTE;
    block.pControl = this;
    if (pSite->SendMessage(XTPM_EXECUTE, (WPARAM)m_nId, (LPARAM)&block) == 0)
      pSite->SendMessage(WM_COMMAND, (WPARAM)m_nId, 0);
  }
  if (!m_bCloseSubMenuOnClick && m_pParent != NULL) {
    m_pParent->OnIdleUpdateCmdUI(TRUE);
    RedrawParent();
  }
  InternalRelease();
}

// ---- Mouse and selection ----

BOOL CXTPControl::OnSelectionChanged(int nSelected) {
  if (nSelected == m_bSelected) return FALSE;
  if (nSelected == 2 && m_pParent != NULL) m_pParent->SetPopuped(-1);
  m_bSelected = nSelected;
  if (m_pParent != NULL) m_pParent->OnControlSelected(nSelected != 0, this);
  RedrawParent();
  return TRUE;
}

void CXTPControl::OnHoverTimer() {
  if (m_pParent == NULL) return;
  const BOOL bWasOpen = m_pParent->GetPopupedIndex() != -1;
  m_pParent->SetPopuped(-1);
  if (bWasOpen && m_pParent->GetType() != xtpBarTypePopup &&
      m_pParent->GetTrackingMode() == xtpTrackingPopup)
    m_pParent->SetTrackingMode(xtpTrackingNone);
}

void CXTPControl::ClickToolBarButton(CRect rcActiveRect) {
  if (m_pParent == NULL || m_pParent->GetSafeHwnd() == NULL) return;
  CXTPCommandBar* pBar = m_pParent;
  if (rcActiveRect.IsRectEmpty()) rcActiveRect = m_rcControl;
  InternalAddRef();
  pBar->SetSelected(m_nIndex);
  m_bPressed = 1;
  RedrawParent();
  const HWND hWndBar = pBar->GetSafeHwnd();
  ::SetCapture(hWndBar);
  BOOL bClick = FALSE;
  BOOL bMoved = FALSE;
  CPoint ptLast(0, 0);
  for (;;) {
    MSG msg;
    if (!XTPGetModalLoopMessage(msg)) break;
    if (::GetCapture() != hWndBar) {
      ::DispatchMessage(&msg);
      break;
    }
    if (msg.message == WM_LBUTTONUP) {
      bClick = m_bSelected != 0 && (!bMoved || rcActiveRect.PtInRect(ptLast));
      break;
    }
    if (msg.message == WM_MOUSEMOVE) {
      ptLast = CPoint((short)LOWORD(msg.lParam), (short)HIWORD(msg.lParam));
      bMoved = TRUE;
      if (OnSelectionChanged(m_rcControl.PtInRect(ptLast) ? 1 : 0)) RedrawParent();
      continue;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessage(&msg);
  }
  if (::GetCapture() == hWndBar) ::ReleaseCapture();
  if (m_bSelected != 0 && ::IsWindow(hWndBar)) pBar->SetSelected(-1);
  m_bPressed = 0;
  RedrawParent();
  if (bClick && m_pParent != NULL) Execute();
  InternalRelease();
}

// ---- Customisation ----

void CXTPControl::OnCustomizePress(CPoint point) {
  CXTPCommandBars* pCommandBars = m_pParent != NULL ? m_pParent->GetCommandBars() : NULL;
  if (pCommandBars == NULL) return;
  if (pCommandBars->GetDragControl() == this && IsResizable() && TrackEdgeResize(point)) return;
  CXTPCustomizeDropSource* pSource = pCommandBars->GetDropSource();
  pCommandBars->SetDragControl(this);
  RedrawParent();
  if (pSource == NULL) return;
  // The drop target inserts a copy; a move (or a drop on no bar) takes this one away.
  InternalAddRef();
  const DROPEFFECT effect = pSource->DoDragDrop(this, FALSE);
  CXTPCommandBar* pBar = m_pParent;
  if ((effect == DROPEFFECT_NONE || effect == DROPEFFECT_MOVE) && pBar != NULL && m_pControls != NULL) {
    pBar->SetPopuped(-1);
    pBar->SetSelected(-1);
    if (pCommandBars->GetDragControl() == this) pCommandBars->SetDragControl(NULL);
    CXTPControls* pControls = m_pControls;
    CXTPControl* pNext = pControls->GetAt(m_nIndex + 1);
    if (pNext != NULL) {
      if (m_bBeginGroup) pNext->SetBeginGroup(TRUE);
      if (m_nIndex == 0) pNext->SetBeginGroup(FALSE);
    }
    pControls->Remove(this);
    pBar->DelayLayout();
    pBar->OnRecalcLayout();
    if (pBar->GetSafeHwnd() != NULL) pBar->Invalidate(FALSE);
  }
  InternalRelease();
}

BOOL CXTPControl::TrackEdgeResize(CPoint point) {
  if (m_pParent == NULL || m_pParent->GetSafeHwnd() == NULL) return FALSE;
  if (!m_rcControl.PtInRect(point)) return FALSE;
  const BOOL bLeft = point.x - m_rcControl.left < 3;
  const BOOL bRight = m_rcControl.right - point.x <= 2;
  if (!bLeft && !bRight) return FALSE;
  CXTPCommandBar* pBar = m_pParent;
  const HWND hWndBar = pBar->GetSafeHwnd();
  InternalAddRef();
  ::SetCapture(hWndBar);
  CXTPResourceManager* pResources = XTPResourceManager();
  HCURSOR hCursor = pResources != NULL ? pResources->LoadCursor(9972) : NULL;
  if (hCursor == NULL) hCursor = ::LoadCursor(NULL, IDC_SIZEWE);
  ::SetCursor(hCursor);

  CRect rcScreen = m_rcControl;
  ::ClientToScreen(hWndBar, (POINT*)&rcScreen.left);
  ::ClientToScreen(hWndBar, (POINT*)&rcScreen.right);
  const int nMin = GetMinCustomWidth();
  CRect rcFrame = rcScreen;
  HDC hdc = ::GetDCEx(::GetDesktopWindow(), NULL, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  auto invert = [&](const CRect& rc) {
    if (hdc == NULL) return;
    ::PatBlt(hdc, rc.left, rc.top, rc.Width(), 2, DSTINVERT);
    ::PatBlt(hdc, rc.left, rc.bottom - 2, rc.Width(), 2, DSTINVERT);
    ::PatBlt(hdc, rc.left, rc.top + 2, 2, rc.Height() - 4, DSTINVERT);
    ::PatBlt(hdc, rc.right - 2, rc.top + 2, 2, rc.Height() - 4, DSTINVERT);
  };
  invert(rcFrame);
  BOOL bAccept = FALSE;
  for (;;) {
    MSG msg;
    if (!XTPGetModalLoopMessage(msg)) break;
    if (::GetCapture() != hWndBar) break;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) break;
    if (msg.message == WM_LBUTTONUP) {
      bAccept = TRUE;
      break;
    }
    if (msg.message == WM_MOUSEMOVE) {
      CPoint pt((short)LOWORD(msg.lParam), (short)HIWORD(msg.lParam));
      ::ClientToScreen(msg.hwnd, &pt);
      CRect rcNew = rcScreen;
      if (bLeft)
        rcNew.left = std::min(pt.x, rcScreen.right - nMin);
      else
        rcNew.right = std::max(pt.x, rcScreen.left + nMin);
      if (rcNew != rcFrame) {
        invert(rcFrame);
        rcFrame = rcNew;
        invert(rcFrame);
      }
      continue;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessage(&msg);
  }
  invert(rcFrame);
  if (hdc != NULL) ::ReleaseDC(::GetDesktopWindow(), hdc);
  if (::GetCapture() == hWndBar) ::ReleaseCapture();
  if (bAccept && rcFrame.Width() != rcScreen.Width() && m_pParent != NULL) {
    SetWidth(rcFrame.Width());
    m_pParent->OnRecalcLayout();
  }
  if (::IsWindow(hWndBar)) ::InvalidateRect(hWndBar, NULL, TRUE);
  InternalRelease();
  return TRUE;
}

// ---- Copy, compare, clone ----

void CXTPControl::Copy(CXTPControl* pControl, BOOL) {
  if (pControl == NULL || pControl == this) return;
  m_nId = pControl->m_nId;
  m_nTag = pControl->m_nTag;
  m_dwFlags = pControl->m_dwFlags;
  m_controlType = pControl->m_controlType;
  m_strCaption = pControl->m_strCaption;
  m_strCustomCaption = pControl->m_strCustomCaption;
  m_strShortcutText = pControl->m_strShortcutText;
  m_strShortcutTextAuto = pControl->m_strShortcutTextAuto;
  m_strTooltipText = pControl->m_strTooltipText;
  m_strDescriptionText = pControl->m_strDescriptionText;
  m_strParameter = pControl->m_strParameter;
  m_nCustomIconId = pControl->m_nCustomIconId;
  m_nIconId = pControl->m_nIconId;
  m_bTemporary = pControl->m_bTemporary;
  m_strCategory = pControl->m_strCategory;
  m_dwHideFlags = pControl->m_dwHideFlags;
  m_bDefaultItem = pControl->m_bDefaultItem;
  m_bEnabled = pControl->m_bEnabled;
  m_bChecked = pControl->m_bChecked;
  m_buttonCustomStyle = pControl->m_buttonCustomStyle;
  m_buttonStyle = pControl->m_buttonStyle;
  m_bBeginGroup = pControl->m_bBeginGroup;
  m_bCloseSubMenuOnClick = pControl->m_bCloseSubMenuOnClick;
  m_mapDocTemplatesAssigned.RemoveAll();
  m_mapDocTemplatesExcluded.RemoveAll();
  UINT nKey;
  BOOL bValue;
  for (POSITION pos = pControl->m_mapDocTemplatesAssigned.GetStartPosition(); pos != NULL;) {
    pControl->m_mapDocTemplatesAssigned.GetNextAssoc(pos, nKey, bValue);
    m_mapDocTemplatesAssigned.SetAt(nKey, bValue);
  }
  for (POSITION pos = pControl->m_mapDocTemplatesExcluded.GetStartPosition(); pos != NULL;) {
    pControl->m_mapDocTemplatesExcluded.GetNextAssoc(pos, nKey, bValue);
    m_mapDocTemplatesExcluded.SetAt(nKey, bValue);
  }
}

BOOL CXTPControl::Compare(CXTPControl* pOther) {
  if (pOther == NULL) return FALSE;
  return GetEffectiveStyle() == pOther->GetEffectiveStyle() &&
         m_controlType == pOther->m_controlType && m_nId == pOther->m_nId &&
         m_dwFlags == pOther->m_dwFlags && m_bBeginGroup == pOther->m_bBeginGroup &&
         GetIconKey() == pOther->GetIconKey() && m_strCaption == pOther->m_strCaption &&
         m_strTooltipText == pOther->m_strTooltipText &&
         m_strDescriptionText == pOther->m_strDescriptionText &&
         m_strCustomCaption == pOther->m_strCustomCaption &&
         m_buttonCustomStyle == pOther->m_buttonCustomStyle &&
         m_strParameter == pOther->m_strParameter &&
         (m_dwHideFlags & xtpHideCustomize) == (pOther->m_dwHideFlags & xtpHideCustomize);
}

CXTPControl* CXTPControl::Clone(BOOL bRecursive) {
  CXTPControl* pClone = (CXTPControl*)GetRuntimeClass()->CreateObject();
  if (pClone == NULL) return NULL;
  pClone->Copy(this, bRecursive);
  return pClone;
}

// ---- Accessibility ----

namespace {
HRESULT PutString(BSTR* pOut, const CString& str) {
  if (pOut == NULL) return E_POINTER;
  *pOut = ::SysAllocString(static_cast<LPCWSTR>(str));
  return *pOut != NULL ? S_OK : E_OUTOFMEMORY;
}
}  // namespace

HRESULT CXTPControl::get_accParent(IDispatch** ppdispParent) {
  if (ppdispParent == NULL) return E_POINTER;
  *ppdispParent = NULL;
  if (m_pParent == NULL) return E_FAIL;
  IDispatch* pDispatch = (IDispatch*)m_pParent->GetInterface(&IID_IAccessible);
  if (pDispatch == NULL) return E_FAIL;
  pDispatch->AddRef();
  *ppdispParent = pDispatch;
  return S_OK;
}

HRESULT CXTPControl::get_accChildCount(long* pcountChildren) {
  if (pcountChildren == NULL) return E_POINTER;
  *pcountChildren = GetCommandBar() != NULL ? 1 : 0;
  return S_OK;
}

HRESULT CXTPControl::get_accChild(VARIANT varChild, IDispatch** ppdispChild) {
  if (ppdispChild == NULL) return E_POINTER;
  *ppdispChild = NULL;
  const long nChild = GetChildIndex(&varChild);
  CXTPCommandBar* pBar = GetCommandBar();
  if (nChild != 1 || pBar == NULL) return E_INVALIDARG;
  IDispatch* pDispatch = (IDispatch*)pBar->GetInterface(&IID_IAccessible);
  if (pDispatch == NULL) return E_FAIL;
  pDispatch->AddRef();
  *ppdispChild = pDispatch;
  return S_OK;
}

HRESULT CXTPControl::get_accName(VARIANT varChild, BSTR* pszName) {
  if (GetChildIndex(&varChild) != 0) return E_INVALIDARG;
  CString strName = GetCaption();
  strName.Replace(_T("&&"), _T("\x01"));
  strName.Remove(_T('&'));
  strName.Replace(_T("\x01"), _T("&"));
  const CString strShortcut = GetShortcutText();
  if (!strShortcut.IsEmpty()) strName += _T("\t") + strShortcut;
  return PutString(pszName, strName);
}

HRESULT CXTPControl::get_accDescription(VARIANT varChild, BSTR* pszDescription) {
  if (GetChildIndex(&varChild) != 0) return E_INVALIDARG;
  return PutString(pszDescription, GetDescriptionText());
}

HRESULT CXTPControl::get_accRole(VARIANT varChild, VARIANT* pvarRole) {
  if (pvarRole == NULL) return E_POINTER;
  if (GetChildIndex(&varChild) != 0) return E_INVALIDARG;
  ::VariantInit(pvarRole);
  pvarRole->vt = VT_I4;
  if (m_pParent != NULL && m_pParent->GetType() == xtpBarTypeNormal)
    pvarRole->lVal = GetCommandBar() != NULL ? ROLE_SYSTEM_BUTTONMENU : ROLE_SYSTEM_PUSHBUTTON;
  else
    pvarRole->lVal = ROLE_SYSTEM_MENUITEM;
  return S_OK;
}

HRESULT CXTPControl::get_accState(VARIANT varChild, VARIANT* pvarState) {
  if (pvarState == NULL) return E_POINTER;
  if (GetChildIndex(&varChild) != 0) return E_INVALIDARG;
  ::VariantInit(pvarState);
  pvarState->vt = VT_I4;
  long nState = m_bSelected ? (STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_HOTTRACKED |
                               STATE_SYSTEM_FOCUSED | STATE_SYSTEM_SELECTED)
                            : STATE_SYSTEM_FOCUSABLE;
  if (m_pParent == NULL || !m_pParent->IsVisible() || !IsVisible()) nState |= STATE_SYSTEM_INVISIBLE;
  if (!m_bEnabled) nState |= STATE_SYSTEM_UNAVAILABLE;
  if (m_bChecked) nState |= STATE_SYSTEM_CHECKED;
  if (m_bPressed) nState |= STATE_SYSTEM_PRESSED;
  if (GetCommandBar() != NULL) nState |= STATE_SYSTEM_HASPOPUP;
  pvarState->lVal = nState;
  return S_OK;
}

HRESULT CXTPControl::get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) {
  if (GetChildIndex(&varChild) != 0) return E_INVALIDARG;
  return PutString(pszDefaultAction, _T("Click"));
}

HRESULT CXTPControl::accDoDefaultAction(VARIANT varChild) {
  if (GetChildIndex(&varChild) != 0) return E_INVALIDARG;
  OnClick(TRUE);
  return S_OK;
}

HRESULT CXTPControl::accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                                 VARIANT varChild) {
  if (pxLeft == NULL || pyTop == NULL || pcxWidth == NULL || pcyHeight == NULL) return E_POINTER;
  if (GetChildIndex(&varChild) != 0) return E_INVALIDARG;
  CRect rc = m_rcControl;
  if (m_pParent != NULL && m_pParent->GetSafeHwnd() != NULL) {
    ::ClientToScreen(m_pParent->GetSafeHwnd(), (POINT*)&rc.left);
    ::ClientToScreen(m_pParent->GetSafeHwnd(), (POINT*)&rc.right);
  }
  *pxLeft = rc.left;
  *pyTop = rc.top;
  *pcxWidth = rc.Width();
  *pcyHeight = rc.Height();
  return S_OK;
}

HRESULT CXTPControl::accSelect(long, VARIANT varChild) {
  if (GetChildIndex(&varChild) != 0) return E_INVALIDARG;
  if (m_pParent == NULL) return S_FALSE;
  m_pParent->SetTrackingMode(xtpTrackingActive, FALSE, TRUE);
  m_pParent->SetSelected(m_nIndex, TRUE);
  return S_OK;
}

HRESULT CXTPControl::accHitTest(long xLeft, long yTop, VARIANT* pvarChild) {
  if (pvarChild == NULL) return E_POINTER;
  ::VariantInit(pvarChild);
  if (m_pParent == NULL || m_pParent->GetSafeHwnd() == NULL) return S_FALSE;
  CPoint pt(xLeft, yTop);
  CRect rcBar;
  ::GetWindowRect(m_pParent->GetSafeHwnd(), &rcBar);
  if (!rcBar.PtInRect(pt)) return S_FALSE;
  ::ScreenToClient(m_pParent->GetSafeHwnd(), &pt);
  if (!m_rcControl.PtInRect(pt)) return S_FALSE;
  pvarChild->vt = VT_I4;
  pvarChild->lVal = CHILDID_SELF;
  return S_OK;
}
