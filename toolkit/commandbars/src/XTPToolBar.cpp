// The toolbar: filled from a toolbar resource or by ids, docked in a dock bar or floating
// with a caption, a close button and an expand button; the expand popup with the
// add-or-remove list; reset, print preview and floating synchronisation.
#include <framework.h>

#include <algorithm>

#include "XTPBarDragContext.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPControl.h"
#include "XTPControlButton.h"
#include "XTPControlPopup.h"
#include "XTPControls.h"
#include "XTPDockBar.h"
#include "XTPImageManager.h"
#include "XTPMouseManager.h"
#include "XTPPaintManager.h"
#include "XTPPopupBar.h"
#include "XTPPopupToolBar.h"
#include "XTPResourceManager.h"
#include "XTPShortcutManager.h"
#include "XTPToolBar.h"

// The object as the class when it is one, else null.
#ifndef DYNAMIC_DOWNCAST
template <class T>
static inline T* XTPDownCast(CObject* p, CRuntimeClass* pClass) {
  return p != NULL && p->IsKindOf(pClass) ? static_cast<T*>(p) : NULL;
}
#define DYNAMIC_DOWNCAST(cls, p) XTPDownCast<cls>((p), RUNTIME_CLASS(cls))
#endif
#include "XTPToolTipContext.h"

IMPLEMENT_SERIAL(CXTPToolBar, CXTPCommandBar, VERSIONABLE_SCHEMA | 0x10)

// Posted to a torn-off bar that its close button hid: the command bars release it once the
// mouse handling that hid it has returned.
#define WM_XTP_RELEASETORNOFF (WM_USER + 0x2F31)

#include "dock_res.h"  // strings of the toolbar's own controls and questions




BEGIN_MESSAGE_MAP(CXTPToolBar, CXTPCommandBar)
  ON_WM_SETCURSOR()
  ON_WM_RBUTTONDOWN()
  ON_WM_NCCREATE()
  ON_WM_NCACTIVATE()
  ON_MESSAGE(WM_FLOATSTATUS, OnFloatStatus)
  ON_WM_MOUSEACTIVATE()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_NCHITTEST()
  ON_WM_NCLBUTTONDOWN()
  ON_WM_SETFOCUS()
  ON_WM_CLOSE()
  ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
END_MESSAGE_MAP()

namespace {
// ---- The toolbar's own controls -----------------------------------------------------------
// The expand button: opens a popup rebuilt each time with the controls that did not fit
// and the add-or-remove list.
class CXTPControlToolBarExpand : public CXTPControlPopup {
 public:
  CXTPControlToolBarExpand() : m_bHiddenControls(FALSE) {
    m_controlType = xtpControlButtonPopup;
    m_dwFlags = 0x1C;
  }
  BOOL SetPopupOpen(BOOL bOpen) override;
  void SetRect(CRect rcControl) override {
    CXTPControl::SetRect(rcControl);
    m_bHiddenControls = FALSE;
    CXTPCommandBar* pBar = GetParent();
    for (int i = 0; pBar != NULL && i < pBar->GetControlCount(); i++) {
      if (pBar->GetControl(i)->GetHideFlags() == xtpHideWrap) m_bHiddenControls = TRUE;
    }
  }
  void Draw(CDC* pDC) override {
    CXTPCommandBar* pBar = GetParent();
    CXTPPaintManager* pPaintManager = pBar != NULL ? pBar->GetPaintManager() : NULL;
    if (pPaintManager == NULL) return;
    const BOOL bFloating = pBar->GetPosition() == xtpBarFloating;
    BOOL bHidden = m_bHiddenControls;
    pPaintManager->DrawSpecialControl(pDC, bFloating ? xtpButtonOptions : xtpButtonExpandToolbar, this, pBar,
                                      TRUE, &bHidden);
  }
  BOOL m_bHiddenControls;
};

// The close button of a floating bar: hides its bar.
class CXTPControlToolBarClose : public CXTPControlButton {
 public:
  CXTPControlToolBarClose() { m_dwFlags = 0x1A; }
  void Execute() override {
    CXTPToolBar* pBar = DYNAMIC_DOWNCAST(CXTPToolBar, GetParent());
    if (pBar != NULL) pBar->SetVisible(FALSE);
  }
  void Draw(CDC* pDC) override {
    CXTPCommandBar* pBar = GetParent();
    CXTPPaintManager* pPaintManager = pBar != NULL ? pBar->GetPaintManager() : NULL;
    if (pPaintManager != NULL) pPaintManager->DrawSpecialControl(pDC, xtpButtonClose, this, pBar, TRUE, NULL);
  }
};

// A button of the add-or-remove list, linked to the bar control it shows or hides.
class CXTPControlAddOrRemoveCheck : public CXTPControlButton {
 public:
  CXTPControlAddOrRemoveCheck() : m_pLinked(NULL), m_pBar(NULL) {}
  ~CXTPControlAddOrRemoveCheck() override {
    if (m_pLinked != NULL) m_pLinked->InternalRelease();
  }
  void Link(CXTPControl* pControl) {
    if (pControl != NULL) pControl->InternalAddRef();
    if (m_pLinked != NULL) m_pLinked->InternalRelease();
    m_pLinked = pControl;
  }
  void Execute() override;
  CXTPControl* m_pLinked;  // the bar control (check buttons)
  CXTPToolBar* m_pBar;     // the bar ("Reset")
};

void CXTPControlAddOrRemoveCheck::Execute() {
  CXTPCommandBar* pList = GetParent();
  CXTPCommandBars* pCommandBars = pList != NULL ? pList->GetCommandBars() : NULL;
  if (m_pBar != NULL) {
    // "Reset": every popup closes first.
    CXTPToolBar* pBar = m_pBar;
    XTPMouseManager()->CloseAllTrackingBars();
    pBar->Reset();
    return;
  }
  if (m_pLinked == NULL) return;
  if (pCommandBars != NULL) pCommandBars->GetCommandBarsOptions()->bDirtyState = TRUE;
  const DWORD dwHide = m_pLinked->GetHideFlags() ^ xtpHideCustomize;
  m_pLinked->SetHideFlags(dwHide);
  SetChecked((dwHide & xtpHideCustomize) == 0);
  CXTPCommandBar* pBar = m_pLinked->GetParent();
  if (pBar != NULL) pBar->OnRecalcLayout();
  for (CXTPCommandBar* p = pList; p != NULL; p = p->GetParentCommandBar()) {
    if (p->GetSafeHwnd() != NULL) p->Invalidate(FALSE);
  }
}

BOOL CXTPControlToolBarExpand::SetPopupOpen(BOOL bOpen) {
  CXTPToolBar* pBar = DYNAMIC_DOWNCAST(CXTPToolBar, GetParent());
  if (!bOpen || pBar == NULL) return CXTPControlPopup::SetPopupOpen(bOpen);
  CXTPCommandBars* pCommandBars = pBar->GetCommandBars();
  if (pCommandBars == NULL) return FALSE;
  AttachBar(NULL);

  CXTPPopupBar* pPopup = NULL;
  CWnd* pSite = pBar->GetSite();
  if (pSite != NULL && pSite->GetSafeHwnd() != NULL) {
    XTP_COMMANDBAR_CREATE cs = {};
    cs.bPopup = TRUE;
    cs.nID = XTP_ID_TOOLBAR_EXPAND;
    if (pSite->SendMessage(XTPM_CREATECOMMANDBAR, 0, (LPARAM)&cs) != 0 && cs.pCommandBar != NULL)
      pPopup = DYNAMIC_DOWNCAST(CXTPPopupBar, cs.pCommandBar);
  }
  if (pPopup == NULL) pPopup = CXTPPopupToolBar::CreatePopupToolBar(pCommandBars);
  if (pPopup == NULL) return FALSE;
  pPopup->SetCustomizable(FALSE);
  pCommandBars->GetHiddenControls(pBar, pPopup);
  if (pCommandBars->GetCommandBarsOptions()->bShowExpandButtonAlways || pCommandBars->IsCustomizable()) {
    CXTPControlPopup* pAddOrRemove =
        DYNAMIC_DOWNCAST(CXTPControlPopup, pPopup->GetControls()->Add(xtpControlPopup, 0));
    if (pAddOrRemove != NULL) {
      CString strCaption;
      XTPResourceManager()->LoadString(&strCaption, XTP_IDS_ADDORREMOVE);
      pAddOrRemove->SetCaption(strCaption);
      if (pPopup->GetControlCount() > 1) pAddOrRemove->SetBeginGroup(TRUE);
      CXTPPopupBar* pList = CXTPPopupBar::CreatePopupBar(pCommandBars);
      if (pList != NULL) {
        pAddOrRemove->AttachBar(pList);
        pList->InternalRelease();
        pCommandBars->GetAddOrRemovePopup(pBar, pList);
      }
    }
  }
  AttachBar(pPopup);
  pPopup->InternalRelease();
  const BOOL bResult = CXTPControlPopup::SetPopupOpen(TRUE);
  pBar->Invalidate(FALSE);
  return bResult;
}

// The client point's shown control.
CXTPControl* ControlAt(const CXTPCommandBar* pBar, CPoint point) {
  CXTPControls* pControls = pBar->GetControls();
  return pControls != NULL ? pControls->HitTest(point) : NULL;
}

// The toolkit's toolbar loader: buttons for the checked ids of a resource.
BOOL AFXAPI LoadToolBarFromResource(CXTPToolBar* pToolBar, UINT /*nIDResource*/, CSize /*szButton*/,
                                    const CUIntArray& items) {
  return pToolBar != NULL && pToolBar->SetButtons(items.GetData(), (int)items.GetSize());
}

// Whether the bar's top-level parent is the active window (or owns it).
BOOL IsTopParentActive(const CWnd* pWnd) {
  if (pWnd == NULL || pWnd->GetSafeHwnd() == NULL) return FALSE;
  HWND hTop = ::GetAncestor(pWnd->GetSafeHwnd(), GA_ROOTOWNER);
  HWND hActive = ::GetActiveWindow();
  if (hActive == NULL) return FALSE;
  return hActive == hTop || ::GetAncestor(hActive, GA_ROOTOWNER) == hTop;
}
}  // namespace

// ---------------------------------------------------------------------------------------
CXTPToolBar::CXTPToolBar()
    : m_pDockContext(NULL),
      m_bBuiltIn(TRUE),
      m_bTearOff(FALSE),
      m_bPreviewVisible(FALSE),
      m_bPreviewMode(FALSE),
      m_bShowExpandButton(TRUE),
      m_bCloseable(TRUE),
      m_bContextMenuPresent(TRUE),
      m_pDockBar(NULL),
      m_bReleasePending(FALSE) {
  m_dwStyle = CBRS_GRIPPER;
  CXTPResourceManager::SetToolBarLoader(LoadToolBarFromResource);
}

CXTPToolBar::~CXTPToolBar() {
  if (m_pDockBar != NULL) {
    const int nIndex = m_pDockBar->FindBar(this);
    if (nIndex != -1) m_pDockBar->GetBarArray().SetAt(nIndex, NULL);
    m_pDockBar->NormalizeRows();
    m_pDockBar = NULL;
  }
  delete m_pDockContext;
  m_pDockContext = NULL;
  if (m_hWnd != NULL) DestroyWindow();
}

void CXTPToolBar::DelayRedraw() { m_nStateFlags |= stateRedrawPending; }

void CXTPToolBar::EnableDocking(DWORD dwFlags) {
  if (m_pDockContext == NULL) m_pDockContext = new CXTPBarDragContext(this);
  // Bits above the docking ones are bar flags too (0x20 hide-wrap, 0x40 stretched).
  m_dwFlags = (m_dwFlags & ~(DWORD)XTP_DOCK_ALL) | dwFlags;
}

BOOL CXTPToolBar::IsCustomizable() const { return m_bCustomizable; }
BOOL CXTPToolBar::IsVisible() const { return m_bVisible; }

// ---- Filling ----------------------------------------------------------------------------------
BOOL CXTPToolBar::SetButtons(const UINT* pButtons, int nCount) {
  m_pControls->RemoveAll();
  if (nCount < 0 || (nCount > 0 && pButtons == NULL)) return FALSE;
  CWnd* pSite = GetSite();
  if (pSite != NULL && pSite->GetSafeHwnd() == NULL) pSite = NULL;
  BOOL bSeparator = FALSE;
  for (int i = 0; i < nCount; i++) {
    const UINT nID = pButtons[i];
    if (nID == 0) {
      bSeparator = TRUE;
      continue;
    }
    XTP_CONTROL_CREATE cs;
    cs.nID = (int)nID;
    cs.pControl = NULL;
    cs.nReserved = 0;
    cs.nIndex = i;
    cs.pMenu = NULL;
    cs.pCommandBar = this;
    cs.strCaption = GetTitle();
    cs.controlType = xtpControlButton;
    cs.dwFlags = 0;
    XTPControlType type = xtpControlButton;
    CXTPControl* pControl = NULL;
    if (pSite != NULL && pSite->SendMessage(XTPM_BEFORECREATECONTROL, 0, (LPARAM)&cs) != 0) {
      if (cs.pControl != NULL)
        pControl = m_pControls->Add(cs.pControl, (int)nID);
      else
        type = (XTPControlType)cs.controlType;
    }
    if (pControl == NULL) {
      pControl = m_pControls->Add(type, (int)nID);
      if (pControl != NULL && type == xtpControlPopup && pControl->GetIconId() != (int)nID)
        pControl->SetIconId((int)nID);
    }
    if (pControl == NULL) continue;
    if (bSeparator) {
      pControl->SetBeginGroup(TRUE);
      bSeparator = FALSE;
    }
    if (pSite != NULL) {
      cs.pControl = pControl;
      pSite->SendMessage(XTPM_AFTERCREATECONTROL, 0, (LPARAM)&cs);
    }
  }
  DelayLayout();
  return TRUE;
}

BOOL CXTPToolBar::LoadToolBar(UINT nIDResource, BOOL bLoadIcons) {
  m_nBarID = nIDResource;
  m_pControls->RemoveAll();
  // The toolkit's reader refuses a resource whose ids run past its end.
  CSize szButton;
  CUIntArray items;
  if (!XTPResourceManager()->LoadToolBarData(nIDResource, &szButton, &items)) return FALSE;
  if (!SetButtons(items.GetData(), (int)items.GetSize())) return FALSE;
  BOOL bResult = TRUE;
  if (bLoadIcons) {
    CUIntArray ids;
    for (INT_PTR i = 0; i < items.GetSize(); i++) {
      if (items[i] != 0) ids.Add(items[i]);
    }
    CXTPImageManager* pImageManager = m_pImageManager != NULL ? m_pImageManager : XTPImageManager();
    if (!pImageManager->SetIcons(nIDResource, ids.GetData(), (int)ids.GetSize(), szButton)) bResult = FALSE;
    if (szButton.cx != 16) m_szIcons = szButton;
  }
  if (bResult) m_pControls->CreateOriginalControls();
  return bResult;
}

// ---- Placement ----------------------------------------------------------------------------------
BOOL CXTPToolBar::SetPosition(XTPBarPosition barPosition) {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars == NULL) return FALSE;
  if (barPosition >= xtpBarTop && barPosition <= xtpBarRight) return pCommandBars->DockCommandBar(this, barPosition);
  if (barPosition == xtpBarFloating) return pCommandBars->FloatCommandBar(this);
  return FALSE;
}

BOOL CXTPToolBar::CreateToolBarWindow(CWnd* pParentWnd, BOOL bFloating) {
  if (m_hWnd == NULL) {
    CXTPCommandBars* pCommandBars = GetCommandBars();
    DWORD dwExStyle = 0;
    CWnd* pSite = pCommandBars != NULL ? pCommandBars->GetSite() : NULL;
    if (pSite != NULL && pSite->GetSafeHwnd() != NULL && (pSite->GetExStyle() & WS_EX_LAYOUTRTL)) dwExStyle |= WS_EX_LAYOUTRTL;
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(NULL, IDC_ARROW));
    if (!CreateEx(dwExStyle, lpszClass, m_strTitle, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | 0x100,
                  CRect(0, 0, 100, 100), pParentWnd, 0))
      return FALSE;
    if (m_bVisible) ShowWindow(SW_SHOWNA);
  }
  if (bFloating) {
    if (GetStyle() & WS_CHILD) {
      ::SetParent(m_hWnd, NULL);
      ModifyStyle(WS_CHILD, WS_POPUP | 0x100);
    }
    ::SetWindowLongPtr(m_hWnd, GWLP_HWNDPARENT, (LONG_PTR)(pParentWnd != NULL ? pParentWnd->GetSafeHwnd() : NULL));
  } else if (GetStyle() & WS_POPUP) {
    ModifyStyle(WS_POPUP, WS_CHILD);
  }
  return TRUE;
}

void CXTPToolBar::SetVisible(BOOL bVisible) {
  if (m_bVisible == bVisible) return;
  m_bVisible = bVisible;
  if (!bVisible && m_bTracking != xtpTrackingNone) SetTrackingMode(FALSE);
  if (m_hWnd != NULL) ShowWindow(bVisible ? SW_SHOWNA : SW_HIDE);
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (m_barPosition != xtpBarFloating) {
    if (pCommandBars != NULL) pCommandBars->RecalcFrameLayout();
    return;
  }
  if (pCommandBars == NULL) return;
  CWnd* pSite = pCommandBars->GetSite();
  if (pSite != NULL && pSite->GetSafeHwnd() != NULL)
    pSite->SendMessage(XTPM_BARVISIBLECHANGED, (WPARAM)this, (LPARAM)bVisible);
  if (m_bTearOff && !bVisible) ScheduleRelease();
}

// A torn-off bar closed from inside its own mouse handling must outlive that handling: it
// is hidden now and leaves the command bars from the message posted here.
void CXTPToolBar::ScheduleRelease() {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars == NULL || m_bReleasePending) return;
  if (m_hWnd == NULL) {
    pCommandBars->Remove(this);
    return;
  }
  m_bReleasePending = TRUE;
  ShowWindow(SW_HIDE);
  PostMessage(WM_XTP_RELEASETORNOFF);
}

LRESULT CXTPToolBar::OnReleaseTornOff(WPARAM, LPARAM) {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  m_bReleasePending = FALSE;
  if (pCommandBars != NULL) pCommandBars->Remove(this);  // may delete this bar
  return 0;
}

void CXTPToolBar::OnSetPreviewMode(BOOL bPreview) {
  if (m_bPreviewMode == bPreview) return;
  m_bPreviewMode = bPreview;
  if (bPreview) {
    m_bPreviewVisible = m_bVisible;
    if (m_bVisible) {
      m_bVisible = FALSE;
      if (m_hWnd != NULL) ShowWindow(SW_HIDE);
    }
    return;
  }
  if (m_bPreviewVisible) {
    m_bVisible = TRUE;
    if (m_hWnd != NULL) ShowWindow(SW_SHOWNA);
  }
  if (m_barType == xtpBarTypeMenuBar) {
    CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, GetSite());
    if (pFrame != NULL) pFrame->OnUpdateFrameMenu(NULL);
  }
}

// ---- Layout -------------------------------------------------------------------------------------
CXTPControl* CXTPToolBar::GetExpandButton() {
  CXTPControl* pExpand = m_pControls->FindControl(XTP_ID_TOOLBAR_EXPAND);
  if (pExpand == NULL) pExpand = m_pControls->Add(new CXTPControlToolBarExpand(), XTP_ID_TOOLBAR_EXPAND);
  return pExpand;
}

CXTPControl* CXTPToolBar::GetCloseButton() {
  CXTPControl* pClose = m_pControls->FindControl(XTP_ID_TOOLBAR_CLOSE);
  if (pClose == NULL) pClose = m_pControls->Add(new CXTPControlToolBarClose(), XTP_ID_TOOLBAR_CLOSE);
  return pClose;
}

CSize CXTPToolBar::CalcDynamicLayout(int nLength, DWORD dwMode) {
  if (dwMode & (LM_HORZDOCK | LM_VERTDOCK)) return CalcDockingLayout(nLength, dwMode);
  return CalcLayout(nLength, dwMode);
}

namespace {
// A DC with the bar's font for measuring: the bar's client DC, else the screen's.
class CBarDC {
 public:
  CBarDC(CXTPCommandBar* pBar, CXTPPaintManager* pPaintManager)
      : m_hWnd(pBar->GetSafeHwnd()), m_hDC(::GetDC(m_hWnd)), m_hOldFont(NULL) {
    m_dc.Attach(m_hDC);
    CFont* pFont = pPaintManager != NULL ? pPaintManager->GetControlFont(pBar, FALSE) : NULL;
    if (pFont != NULL && pFont->GetSafeHandle() != NULL)
      m_hOldFont = (HFONT)::SelectObject(m_hDC, pFont->GetSafeHandle());
  }
  ~CBarDC() {
    if (m_hOldFont != NULL) ::SelectObject(m_hDC, m_hOldFont);
    m_dc.Detach();
    ::ReleaseDC(m_hWnd, m_hDC);
  }
  CDC* operator&() { return &m_dc; }

 private:
  HWND m_hWnd;
  HDC m_hDC;
  HFONT m_hOldFont;
  CDC m_dc;
};

int CountShown(CXTPControls* pControls) {
  int n = 0;
  for (int i = 0; i < pControls->GetCount(); i++) {
    const int nId = pControls->GetAt(i)->GetID();
    if (nId != XTP_ID_TOOLBAR_EXPAND && nId != XTP_ID_TOOLBAR_CLOSE) n++;
  }
  return n;
}

BOOL AnyHiddenForRoom(CXTPControls* pControls) {
  for (int i = 0; i < pControls->GetCount(); i++) {
    if (pControls->GetAt(i)->GetHideFlags() == xtpHideWrap) return TRUE;
  }
  return FALSE;
}
}  // namespace

CSize CXTPToolBar::CalcDockingLayout(int nLength, DWORD dwMode, int nWidth) {
  CXTPPaintManager* pPaintManager = GetPaintManager();
  if (pPaintManager == NULL) pPaintManager = XTPPaintManager();
  CBarDC dc(this, pPaintManager);
  CRect rcBorder = pPaintManager->GetCommandBarBorders(this);
  if (m_dwStyle & CBRS_GRIPPER) {
    const CSize szGripper = pPaintManager->DrawGripper(&dc, this, FALSE);
    rcBorder.left += szGripper.cx;
    rcBorder.top += szGripper.cy;
  }
  CXTPControl* pClose = m_pControls->FindControl(XTP_ID_TOOLBAR_CLOSE);
  if (pClose != NULL) pClose->SetHideFlags(xtpHideGeneric);

  CXTPCommandBars* pCommandBars = GetCommandBars();
  CXTPControl* pExpand = NULL;
  BOOL bExpandUsed = FALSE;
  const BOOL bHorzDock = (dwMode & LM_HORZDOCK) != 0;
  if (m_bShowExpandButton && pCommandBars != NULL) {
    pExpand = GetExpandButton();
    pExpand->SetHideFlags(xtpHideGeneric);
    if (pCommandBars->GetCommandBarsOptions()->bShowExpandButtonAlways) {
      bExpandUsed = TRUE;
      (bHorzDock ? rcBorder.right : rcBorder.bottom) += 11;
    } else if ((dwMode & LM_COMMIT) == 0) {
      CSize sz = m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcBorder, nWidth);
      if (CountShown(m_pControls) > 1) {
        const CSize szShort = m_pControls->CalcDynamicSize(&dc, 1, dwMode, rcBorder, nWidth);
        if (bHorzDock)
          sz.cx = std::max<int>(sz.cx, szShort.cx + 11);
        else
          sz.cy = std::max<int>(sz.cy, szShort.cy + 11);
      }
      return sz;
    } else {
      m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcBorder, nWidth);
      if (AnyHiddenForRoom(m_pControls)) {
        bExpandUsed = TRUE;
        (bHorzDock ? rcBorder.right : rcBorder.bottom) += 11;
      }
    }
  }
  CSize sz = m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcBorder, nWidth);
  if (bExpandUsed && pExpand != NULL) {
    pExpand->SetHideFlags(xtpHideNone);
    pPaintManager->DrawSpecialControl(&dc, xtpButtonExpandToolbar, pExpand, this, FALSE, &sz);
  }
  return sz;
}

CSize CXTPToolBar::CalcLayout(int nLength, DWORD dwMode) {
  CXTPPaintManager* pPaintManager = GetPaintManager();
  if (pPaintManager == NULL) pPaintManager = XTPPaintManager();
  CBarDC dc(this, pPaintManager);
  const XTPBarPosition oldPosition = m_barPosition;
  m_barPosition = xtpBarFloating;  // the caption height of floating bars
  const int C = pPaintManager->DrawGripper(&dc, this, FALSE).cy;
  m_barPosition = oldPosition;
  const CRect rcBorder(3, C + 4, 3, 3);

  CXTPCommandBars* pCommandBars = GetCommandBars();
  CXTPControl* pClose = NULL;
  CXTPControl* pExpand = NULL;
  if (m_barType != xtpBarTypeMenuBar && m_bCloseable) {
    pClose = GetCloseButton();
    pClose->SetHideFlags(xtpHideGeneric);
  }
  if (m_bShowExpandButton && pCommandBars != NULL) {
    pExpand = GetExpandButton();
    pExpand->SetHideFlags(xtpHideGeneric);
  }
  const CSize sz = m_pControls->CalcDynamicSize(&dc, nLength, dwMode, rcBorder);
  const int W = sz.cx;
  int nRight = W - 3;
  if (pClose != NULL) {
    pClose->SetHideFlags(xtpHideNone);
    pClose->SetRect(CRect(W - 3 - C, 3, W - 3, C + 3));
    nRight = W - 3 - C;
  }
  if (pExpand != NULL) {
    const BOOL bAlways = pCommandBars->GetCommandBarsOptions()->bShowExpandButtonAlways;
    if (bAlways && nRight - C > 3) {
      pExpand->SetHideFlags(xtpHideNone);
      pExpand->SetRect(CRect(nRight - C, 3, nRight, C + 3));
    }
  }
  return sz;
}

void CXTPToolBar::OnRecalcLayout() {
  if (m_hWnd == NULL) return;
  if (m_barPosition == xtpBarFloating) {
    const CSize sz = CalcLayout(-1, LM_COMMIT | LM_MRUWIDTH | LM_HORZ);
    SetWindowPos(NULL, 0, 0, sz.cx, sz.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate(FALSE);
    return;
  }
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars != NULL) {
    pCommandBars->RecalcFrameLayout();
    return;
  }
  CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, GetParent());
  if (pFrame != NULL) pFrame->RecalcLayout();
}

// A toolbar that is a direct child of a frame takes its strip like a framework control bar.
LRESULT CXTPToolBar::OnSizeParent(WPARAM, LPARAM lParam) {
  AFX_SIZEPARENTPARAMS* pLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
  if (pLayout == NULL || !m_bVisible || (GetStyle() & WS_VISIBLE) == 0) return 0;
  if (DYNAMIC_DOWNCAST(CFrameWnd, GetParent()) == NULL) return 0;
  DWORD dwMode = LM_COMMIT | LM_HORZDOCK | LM_HORZ;
  if (m_dwFlags & xtpFlagStretched) dwMode |= LM_STRETCH;
  if (m_dwFlags & xtpFlagHideWrap) dwMode |= LM_HIDEWRAP;
  if (pLayout->hDWP == NULL) dwMode &= ~(DWORD)LM_COMMIT;
  CRect rect(pLayout->rect);
  CSize size = CalcDockingLayout(rect.Width(), dwMode);
  size.cx = std::min<int>(size.cx, rect.Width());
  size.cy = std::min<int>(size.cy, rect.Height());
  pLayout->sizeTotal.cy += size.cy;
  pLayout->sizeTotal.cx = std::max<int>(pLayout->sizeTotal.cx, size.cx);
  pLayout->rect.top += size.cy;
  rect.right = rect.left + size.cx;
  rect.bottom = rect.top + size.cy;
  if (pLayout->hDWP != NULL) AfxRepositionWindow(pLayout, m_hWnd, &rect);
  m_nStateFlags &= ~(DWORD)stateLayoutDirty;
  if (m_nLockRedraw == 0) Invalidate(FALSE);
  return 0;
}

// ---- Messages -----------------------------------------------------------------------------------
LRESULT CXTPToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // Nothing of this bar may be touched after the release, so it returns at once.
  if (message == WM_XTP_RELEASETORNOFF) return OnReleaseTornOff(wParam, lParam);
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (m_pToolTipContext == NULL && m_hWnd != NULL) {
    CXTPToolTipContext* pContext = pCommandBars != NULL ? pCommandBars->GetToolTipContext() : NULL;
    if (pContext != NULL)
      pContext->InternalAddRef();
    else
      pContext = new CXTPToolTipContext();
    m_pToolTipContext = pContext;
  }
  if (m_pToolTipContext != NULL && message >= WM_MOUSEFIRST && message <= WM_MOUSELAST)
    m_pToolTipContext->FilterToolTipMessage(this, message, wParam, lParam);
  return CXTPCommandBar::WindowProc(message, wParam, lParam);
}

BOOL CXTPToolBar::OnSetCursor(CWnd*, UINT, UINT) { return (BOOL)Default(); }

BOOL CXTPToolBar::OnNcCreate(LPCREATESTRUCT lpCreateStruct) { return CWnd::OnNcCreate(lpCreateStruct); }

BOOL CXTPToolBar::OnNcActivate(BOOL bActive) {
  if (bActive) return FALSE;
  return (BOOL)Default();
}

LRESULT CXTPToolBar::OnFloatStatus(WPARAM wParam, LPARAM) {
  const LRESULT lResult = (GetStyle() & 0x100) != 0 && (wParam & FS_SYNCACTIVE) != 0;
  if (m_barPosition != xtpBarFloating || m_pDockContext == NULL) return lResult;
  CXTPCommandBars* pCommandBars = GetCommandBars();
  const UINT kHide = SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;  // 0x97
  const UINT kShow = SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;  // 0x57
  if (pCommandBars == NULL || pCommandBars->GetCommandBarsOptions()->bSyncFloatingBars) {
    if ((wParam & FS_DEACTIVATE) && !IsTopParentActive(this)) SetWindowPos(NULL, 0, 0, 0, 0, kHide);
    if ((wParam & FS_ACTIVATE) && !IsWindowVisible() && IsTopParentActive(this)) {
      HWND hForeground = ::GetForegroundWindow();
      const LONG lStyle = hForeground != NULL ? ::GetWindowLong(hForeground, GWL_STYLE) : 0;
      if ((lStyle & WS_VISIBLE) && !(lStyle & WS_MINIMIZE)) SetWindowPos(NULL, 0, 0, 0, 0, kShow);
    }
  }
  if (wParam & FS_SHOW) SetWindowPos(NULL, 0, 0, 0, 0, kShow);
  if (wParam & FS_HIDE) SetWindowPos(NULL, 0, 0, 0, 0, kHide);
  if (wParam & (FS_ENABLE | FS_DISABLE)) EnableWindow((wParam & FS_ENABLE) != 0);
  return lResult;
}

int CXTPToolBar::OnMouseActivate(CWnd*, UINT, UINT) {
  if (m_barPosition == xtpBarFloating || IsCustomizeMode()) return MA_NOACTIVATE;
  if (IsTopParentActive(this)) {
    CWnd* pFocus = CWnd::GetFocus();
    for (CWnd* p = pFocus; p != NULL; p = p->GetParent()) {
      if (p->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd))) return MA_NOACTIVATE;
    }
  }
  return (int)Default();
}

void CXTPToolBar::OnLButtonDown(UINT nFlags, CPoint point) {
  if (m_barPosition == xtpBarFloating)
    SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (ControlAt(this, point) != NULL) {
    CXTPCommandBar::OnLButtonDown(nFlags, point);
    return;
  }
  XTPMouseManager()->CloseAllTrackingBars();
  if (m_pDockContext != NULL && (m_dwFlags & XTP_DOCK_ALL) != 0) {
    ClientToScreen(&point);
    m_pDockContext->BeginMove(point);
  }
}

void CXTPToolBar::OnLButtonDblClk(UINT nFlags, CPoint point) {
  if (ControlAt(this, point) == NULL && m_pDockContext != NULL) {
    m_pDockContext->ToggleDocked();
    return;
  }
  CXTPCommandBar::OnLButtonDblClk(nFlags, point);
}

LRESULT CXTPToolBar::OnNcHitTest(CPoint point) {
  if (m_barPosition == xtpBarFloating) {
    CRect rc;
    GetWindowRect(&rc);
    rc.DeflateRect(3, 3);
    if (point.y < rc.top) return HTTOP;
    if (point.y >= rc.bottom) return HTBOTTOM;
    if (point.x < rc.left) return HTLEFT;
    if (point.x >= rc.right) return HTRIGHT;
  }
  return CWnd::OnNcHitTest(point);
}

void CXTPToolBar::OnNcLButtonDown(UINT nHitTest, CPoint point) {
  if (m_pDockContext == NULL) return;
  if (nHitTest >= HTLEFT && nHitTest <= HTBOTTOMRIGHT) {
    CWnd* pTop = GetTopLevelParent();
    HWND hOwner = ::GetAncestor(m_hWnd, GA_ROOTOWNER);
    if (hOwner != NULL && hOwner != m_hWnd) ::SetActiveWindow(hOwner);
    else if (pTop != NULL && pTop != this) pTop->SetActiveWindow();
    SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    XTPMouseManager()->CloseAllTrackingBars();
    m_pDockContext->BeginSize(nHitTest, point);
    return;
  }
  CWnd::OnNcLButtonDown(nHitTest, point);
}

void CXTPToolBar::OnSetFocus(CWnd* pOldWnd) {
  if (m_hwndFocus == NULL && pOldWnd != NULL) m_hwndFocus = pOldWnd->GetSafeHwnd();
  Default();
  if (m_pDockContext == NULL && GetControlCount() > 0) SetTrackingMode(TRUE, TRUE, TRUE);
}

void CXTPToolBar::OnClose() {}

void CXTPToolBar::OnRButtonDown(UINT nFlags, CPoint point) {
  CXTPCommandBars* pCommandBars = GetCommandBars();
  if (pCommandBars == NULL) return;
  if (IsCustomizeMode()) {
    // The bar base selects the control and opens the customize context menu.
    CXTPCommandBar::OnRButtonDown(nFlags, point);
    return;
  }
  SetTrackingMode(FALSE, TRUE, FALSE);
  SetSelected(-1);
  Invalidate(FALSE);
  ClientToScreen(&point);
  pCommandBars->ContextMenu(this, point);
}

int CXTPToolBar::OnHookKeyDown(UINT nChar, LPARAM lParam) {
  if (m_pDockContext == NULL && nChar == VK_TAB) {
    CWnd* pParent = GetParent();
    if (pParent != NULL) {
      const BOOL bShift = ::GetKeyState(VK_SHIFT) < 0;
      HWND hNext = ::GetNextDlgTabItem(pParent->m_hWnd, m_hWnd, bShift);
      SetTrackingMode(FALSE, TRUE, FALSE);
      if (hNext != NULL && hNext != m_hWnd) {
        ::SetFocus(hNext);
        return xtpHookHandled;
      }
    }
  }
  return CXTPCommandBar::OnHookKeyDown(nChar, lParam);
}

// ---- Reset ---------------------------------------------------------------------------------------
void CXTPToolBar::Reset() {
  if (!m_bBuiltIn || m_nBarID == 0 || !IsCustomizable()) return;
  CString strFormat, strMessage;
  XTPResourceManager()->LoadString(&strFormat, XTP_IDS_CONFIRM_RESETTOOLBAR);
  strMessage.Format(strFormat, (LPCTSTR)GetTitle());
  int nAnswer;
  {
    CPushRoutingFrame push(DYNAMIC_DOWNCAST(CFrameWnd, GetSite()));
    nAnswer = AfxMessageBox(strMessage, MB_OKCANCEL | MB_ICONEXCLAMATION);
  }
  if (nAnswer != IDOK) return;
  CXTPControls* pOriginal = m_pControls->GetOriginalControls();
  if (pOriginal != NULL) {
    pOriginal->InternalAddRef();
    m_pControls->RemoveAll();
    for (int i = 0; i < pOriginal->GetCount(); i++) {
      CXTPControl* pControl = pOriginal->GetAt(i);
      if (!pControl->IsTemporary()) m_pControls->AddClone(pControl);
    }
    pOriginal->InternalRelease();
  } else {
    LoadToolBar(m_nBarID, FALSE);
  }
  OnIdleUpdateCmdUI(TRUE);
  OnRecalcLayout();
}

// ---- Add-or-remove list ---------------------------------------------------------------------------
void CXTPToolBar::FillAddOrRemoveList(CXTPCommandBar* pListPopup) {
  if (pListPopup == NULL) return;
  CXTPControls* pOriginal = m_pControls->GetOriginalControls();
  if (pOriginal != NULL)
    pOriginal->InternalAddRef();
  else
    pOriginal = new CXTPControls();

  // 1. Controls the user hid leave the bar for now.
  for (int i = m_pControls->GetCount() - 1; i >= 0; i--) {
    if (m_pControls->GetAt(i)->GetHideFlags() & xtpHideCustomize) {
      m_pControls->Remove(i);
      if (m_nSelected != -1 && m_nSelected >= i) m_nSelected--;
      if (m_nPopuped != -1 && m_nPopuped >= i) m_nPopuped--;
    }
  }
  // 2. The originals and the bar walked together: originals missing from the bar come back
  //    hidden by the user.
  auto findFrom = [](CXTPControls* pIn, CXTPControl* pWhat, int nFrom) {
    for (int k = nFrom; k < pIn->GetCount(); k++) {
      CXTPControl* p = pIn->GetAt(k);
      if (p->GetID() == pWhat->GetID() && p->GetType() == pWhat->GetType()) return k;
    }
    return -1;
  };
  int i = 0, a = 0;
  while (i < m_pControls->GetCount() || a < pOriginal->GetCount()) {
    CXTPControl* pOrig = a < pOriginal->GetCount() ? pOriginal->GetAt(a) : NULL;
    CXTPControl* pBarControl = i < m_pControls->GetCount() ? m_pControls->GetAt(i) : NULL;
    const int nInBar = pOrig != NULL ? findFrom(m_pControls, pOrig, i) : -1;
    const int nInOrig = pBarControl != NULL ? findFrom(pOriginal, pBarControl, a) : -1;
    if (pOrig != NULL && nInBar == -1) {
      CXTPControl* pClone = m_pControls->AddClone(pOrig, i);
      if (pClone != NULL) pClone->SetHideFlags(pClone->GetHideFlags() | xtpHideCustomize);
      if (m_nSelected != -1 && m_nSelected >= i) m_nSelected++;
      if (m_nPopuped != -1 && m_nPopuped >= i) m_nPopuped++;
      a++;
    } else if (pOrig != NULL && nInBar == i) {
      a++;
    } else if (nInOrig != -1 && pOrig != NULL) {
      pOriginal->Remove(pOrig);
    }
    i++;
  }

  // 3. One check button per control of the bar.
  CXTPCommandBars* pCommandBars = GetCommandBars();
  CXTPShortcutManager* pShortcuts = pCommandBars != NULL ? pCommandBars->GetShortcutManager() : NULL;
  for (int k = 0; k < m_pControls->GetCount(); k++) {
    CXTPControl* pControl = m_pControls->GetAt(k);
    const int nId = pControl->GetID();
    if (nId == XTP_ID_TOOLBAR_EXPAND || nId == XTP_ID_TOOLBAR_CLOSE) continue;
    if (pControl->GetHideFlags() & (xtpHideGeneric | xtpHideDocTemplate)) continue;
    if (pControl->GetFlags() & xtpFlagNoCustomize) continue;
    CXTPControlAddOrRemoveCheck* pCheck = new CXTPControlAddOrRemoveCheck();
    pListPopup->GetControls()->Add(pCheck, 0);
    pCheck->SetCaption(pControl->GetCaption());
    int nIcon = nId;
    if (pControl->GetType() >= xtpControlButton && pControl->GetType() <= xtpControlSplitButtonPopup) {
      nIcon = pControl->GetCustomIconId() != 0 ? pControl->GetCustomIconId()
                                               : (pControl->GetIconId() >= 1 ? pControl->GetIconId() : nId);
    }
    pCheck->SetIconId(nIcon);
    CString strShortcut;
    if (pShortcuts != NULL && pShortcuts->FindDefaultAccelerator((UINT)nId, strShortcut))
      pCheck->SetShortcutText(strShortcut);
    pCheck->SetEnabled(findFrom(pOriginal, pControl, 0) != -1);
    pCheck->SetChecked((pControl->GetHideFlags() & xtpHideCustomize) == 0);
    pCheck->SetFlags(pCheck->GetFlags() | xtpFlagManualUpdate);
    pCheck->Link(pControl);
  }
  pOriginal->InternalRelease();

  // 4. "Reset" for built-in bars with a snapshot.
  if (m_pControls->GetOriginalControls() != NULL && !m_bTearOff && m_bBuiltIn) {
    CXTPControlAddOrRemoveCheck* pReset = new CXTPControlAddOrRemoveCheck();
    pListPopup->GetControls()->Add(pReset, 0);
    CString strReset;
    XTPResourceManager()->LoadString(&strReset, XTP_IDS_RESET);
    pReset->SetCaption(strReset);
    pReset->SetBeginGroup(TRUE);
    pReset->SetFlags(pReset->GetFlags() | xtpFlagManualUpdate);
    pReset->m_pBar = this;
  }
}

// ---- Copy and storage ------------------------------------------------------------------------------
void CXTPToolBar::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive) {
  CXTPCommandBar::Copy(pCommandBar, bRecursive);
  CXTPToolBar* pSource = DYNAMIC_DOWNCAST(CXTPToolBar, pCommandBar);
  if (pSource == NULL) return;
  m_bBuiltIn = pSource->m_bBuiltIn;
  m_bTearOff = pSource->m_bTearOff;
  m_bCloseable = pSource->m_bCloseable;
}

CXTPCommandBar* CXTPToolBar::Clone(BOOL bRecursive) {
  CXTPToolBar* pClone = (CXTPToolBar*)GetRuntimeClass()->CreateObject();
  if (pClone == NULL) return NULL;
  pClone->Copy(this, bRecursive);
  return pClone;
}
