// The dialog bar: a toolbar hosting one child window below a caption strip that carries a
// caption control (with an optional drop-down caption menu) and a close button. It sizes
// freely and remembers its client size docked and floating.
#include <framework.h>

#include <algorithm>

#include "XTPColorManager.h"
#include "XTPCommandBars.h"
#include "XTPControlButton.h"
#include "XTPControlPopup.h"
#include "XTPControls.h"
#include "XTPDialogBar.h"
#include "XTPPaintManager.h"

IMPLEMENT_SERIAL(CXTPDialogBar, CXTPToolBar, VERSIONABLE_SCHEMA | 0x10)

namespace {
const int kCaptionControlHeight = 16;
const int kCloseSize = 16;
const DWORD kFlagsCaption = 0x1E;
const int kLengthFloating = 32000;

// The caption menu drops below the caption control, its right edge on the control's.
class CCaptionPopupBar : public CXTPPopupBar {
 public:
  void UpdateLocation() override {
    CXTPPopupBar::UpdateLocation();
    m_popupFlags = xtpPopupLeft | xtpPopupDown;
    m_ptPopup = CPoint(m_rcExclude.left, m_rcExclude.bottom);
  }
};

// The caption control: the bar's caption text, with a drop-down arrow when the caption
// menu has something to show.
class CCaptionControl : public CXTPControlPopup {
 public:
  BOOL m_bArrow = FALSE;
  CCaptionControl() {
    m_controlType = xtpControlPopup;
    m_dwFlags = kFlagsCaption;
  }
  CSize GetSize(CDC*) override { return m_rcControl.Size(); }
  void Draw(CDC* pDC) override {
    CXTPPaintManager* pPaintManager = GetPaintManager();
    CRect rcText = m_rcControl;
    rcText.DeflateRect(2, 0, m_bArrow ? 15 : 2, 0);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    COLORREF clrText = XTPGetColorManager()->GetColor(COLOR_BTNTEXT);
    if (m_bArrow && pPaintManager != NULL) {
      pPaintManager->DrawControlFrame(pDC, this);
      clrText = pDC->GetTextColor();
    }
    const COLORREF clrOld = pDC->SetTextColor(clrText);
    CFont* pFont = pPaintManager != NULL ? pPaintManager->GetControlFont(m_pParent, FALSE) : NULL;
    CFont* pOldFont = pFont != NULL ? pDC->SelectObject(pFont) : NULL;
    pDC->DrawText(m_strCaption, rcText, DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    if (pOldFont != NULL) pDC->SelectObject(pOldFont);
    if (m_bArrow && pPaintManager != NULL) {
      const int nMiddle = (m_rcControl.top + m_rcControl.bottom) / 2;
      pPaintManager->Triangle(pDC, CPoint(m_rcControl.right - 13, nMiddle - 2), CPoint(m_rcControl.right - 5, nMiddle - 2),
                              CPoint(m_rcControl.right - 9, nMiddle + 2), clrText);
    }
    pDC->SetTextColor(clrOld);
    pDC->SetBkMode(nOldMode);
  }
  void OnClick(BOOL bKeyboard, CPoint pt) override {
    if (!m_bArrow) return;  // a caption menu without controls does not open
    // The bar tracks while its menu is open, so that a press on the caption strip counts
    // as inside and the release of this click leaves the menu open.
    if (m_pParent != NULL && !m_pParent->IsTrackingMode() && !IsCustomizeMode() && !m_bPopup)
      m_pParent->SetTrackingMode(xtpTrackingActive, FALSE, bKeyboard);
    CXTPControlPopup::OnClick(bKeyboard, pt);
  }
  BOOL SetPopupOpen(BOOL bOpen) override {
    if (bOpen && !m_bArrow) return FALSE;
    return CXTPControlPopup::SetPopupOpen(bOpen);
  }
};
// The close button of the caption strip: the Marlett cross in the text colour over the
// control background; it hides the bar.
class CCloseButton : public CXTPControlButton {
 public:
  CCloseButton() { m_dwFlags = 0x1A; }
  CSize GetSize(CDC*) override { return CSize(kCloseSize, kCloseSize); }
  void Draw(CDC* pDC) override {
    CXTPPaintManager* pPaintManager = GetPaintManager();
    COLORREF clrText = XTPGetColorManager()->GetColor(COLOR_BTNTEXT);
    if (pPaintManager != NULL && (m_bSelected || m_bPressed)) {
      pPaintManager->DrawControlFrame(pDC, this);
      clrText = pDC->GetTextColor();
    }
    CFont font;
    CWindowDC dcScreen(NULL);
    font.CreatePointFont(::MulDiv(80, 96, dcScreen.GetDeviceCaps(LOGPIXELSX)), _T("Marlett"));
    CFont* pOld = pDC->SelectObject(&font);
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const COLORREF clrOld = pDC->SetTextColor(clrText);
    CRect rc = m_rcControl;
    pDC->DrawText(_T("r"), 1, rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    pDC->SetTextColor(clrOld);
    pDC->SetBkMode(nOldMode);
    pDC->SelectObject(pOld);
  }
  void Execute() override {
    if (m_pParent != NULL) m_pParent->SetVisible(FALSE);
  }
};
}  // namespace

BEGIN_MESSAGE_MAP(CXTPDialogBar, CXTPToolBar)
  ON_WM_NCHITTEST()
  ON_WM_SIZE()
END_MESSAGE_MAP()

CXTPDialogBar::CXTPDialogBar()
    : m_rcBorders(3, 3, 3, 3),
      m_bResizable(TRUE),
      m_szMinSize(50, 50),
      m_bCaptionVisible(TRUE),
      m_bCaptionPopup(TRUE),
      m_nCaptionHeight(0),
      m_szDockingClient(200, 200),
      m_szFloatingClient(200, 200),
      m_pChildWnd(NULL),
      m_pPopupBar(NULL) {
  m_bCustomizable = FALSE;
  m_pPopupBar = new CCaptionPopupBar();
}

CXTPDialogBar::~CXTPDialogBar() {
  if (m_pPopupBar != NULL) {
    m_pPopupBar->InternalRelease();
    m_pPopupBar = NULL;
  }
}

CXTPControl* CXTPDialogBar::GetCaptionControl() const { return m_pControls->FindControl(XTP_ID_DIALOGBAR_CAPTION); }

CXTPControl* CXTPDialogBar::GetDialogCloseButton() const { return m_pControls->FindControl(XTP_ID_DIALOGBAR_CLOSE); }

void CXTPDialogBar::SetChild(CWnd* pChildWnd) {
  m_pChildWnd = pChildWnd;
  if (pChildWnd != NULL && pChildWnd->GetSafeHwnd() != NULL && m_hWnd != NULL &&
      ::GetParent(pChildWnd->GetSafeHwnd()) != m_hWnd)
    pChildWnd->SetParent(this);
  MoveChild();
}

void CXTPDialogBar::SetCaption(LPCTSTR lpszCaption) {
  m_strCaption = lpszCaption;
  DelayLayout();
  OnRecalcLayout();
}

void CXTPDialogBar::ShowCaption(BOOL bShow) {
  if (m_bCaptionVisible == bShow) return;
  m_bCaptionVisible = bShow;
  OnRecalcLayout();
}

// ---- Size and layout -----------------------------------------------------------------------
CSize CXTPDialogBar::CalcBarSize(int nLength, DWORD dwMode, int nClientCx, int nClientCy) {
  CSize sz(nClientCx + m_rcBorders.left + m_rcBorders.right, 0);
  CXTPControl* pClose = GetDialogCloseButton();
  CXTPControl* pCaption = GetCaptionControl();
  // The caption strip holds controls of the bar's own kinds. Plain controls with their ids
  // (a stored layout can bring them) give way to new ones rather than being taken for them.
  if (pClose != NULL && dynamic_cast<CCloseButton*>(pClose) == NULL) {
    m_pControls->Remove(pClose);
    pClose = NULL;
  }
  if (pCaption != NULL && dynamic_cast<CCaptionControl*>(pCaption) == NULL) {
    m_pControls->Remove(pCaption);
    pCaption = NULL;
  }
  if (!m_bCaptionVisible) {
    m_nCaptionHeight = m_rcBorders.top;
    if (pClose != NULL) pClose->SetHideFlags(xtpHideGeneric);
    if (pCaption != NULL) pCaption->SetHideFlags(xtpHideGeneric);
    sz.cy = nClientCy + m_rcBorders.top + m_rcBorders.bottom;
    return sz;
  }
  CXTPPaintManager* pPaintManager = GetPaintManager();
  if (pPaintManager == NULL) pPaintManager = XTPPaintManager();
  CClientDC dc(m_hWnd != NULL ? this : CWnd::GetDesktopWindow());
  const CSize szGripper = pPaintManager != NULL ? pPaintManager->DrawGripper(&dc, this, FALSE) : CSize(6, 22);
  const int H = szGripper.cy;
  m_nCaptionHeight = m_rcBorders.top + H;
  sz.cy = nClientCy + m_rcBorders.top + m_rcBorders.bottom + H;

  if (dwMode & LM_STRETCH) {
    if (dwMode & LM_VERTDOCK)
      sz.cy = std::max((int)sz.cy, nLength);
    else
      sz.cx = std::max((int)sz.cx, nLength);
  }
  if (dwMode & LM_HORZ)
    sz.cx = std::min((int)sz.cx, nLength);
  else
    sz.cy = std::min((int)sz.cy, nLength);

  const int T = m_rcBorders.top + H / 2 - kCloseSize / 2;
  int nCaptionRight = sz.cx - m_rcBorders.right;
  if (m_bCloseable) {
    if (pClose == NULL) pClose = m_pControls->Add(new CCloseButton(), XTP_ID_DIALOGBAR_CLOSE);
    pClose->SetHideFlags(xtpHideNone);
    pClose->SetRect(CRect(sz.cx - m_rcBorders.right - kCloseSize, T, sz.cx - m_rcBorders.right, T + kCloseSize));
    nCaptionRight = pClose->GetRect().left;
  } else if (pClose != NULL) {
    pClose->SetHideFlags(xtpHideGeneric);
  }
  if (pCaption == NULL) {
    CCaptionControl* pNew = new CCaptionControl();
    pCaption = m_pControls->Add(pNew, XTP_ID_DIALOGBAR_CAPTION, _T(""), 0);
    pNew->AttachBar(m_pPopupBar);
  }
  pCaption->SetHideFlags(xtpHideNone);
  pCaption->SetRect(CRect(m_rcBorders.left + szGripper.cx, T, nCaptionRight, T + kCaptionControlHeight));
  static_cast<CCaptionControl*>(pCaption)->m_bArrow = m_bCaptionPopup && m_pPopupBar != NULL && m_pPopupBar->GetControlCount() > 0;
  pCaption->SetCaption(m_strCaption.IsEmpty() ? m_strTitle : m_strCaption);
  return sz;
}

CSize CXTPDialogBar::CalcLayout(int, DWORD dwMode) {
  return CalcBarSize(kLengthFloating, dwMode, m_szFloatingClient.cx, m_szFloatingClient.cy);
}

CSize CXTPDialogBar::CalcDockingLayout(int nLength, DWORD dwMode, int) {
  return CalcBarSize(nLength, dwMode, m_szDockingClient.cx, m_szDockingClient.cy);
}

void CXTPDialogBar::MoveChild() {
  if (m_pChildWnd == NULL || m_pChildWnd->GetSafeHwnd() == NULL || m_hWnd == NULL) return;
  CRect rc;
  GetClientRect(&rc);
  const int nTop = m_bCaptionVisible ? m_nCaptionHeight : m_rcBorders.top;
  m_pChildWnd->SetWindowPos(NULL, m_rcBorders.left, nTop, std::max(0, (int)(rc.Width() - m_rcBorders.left - m_rcBorders.right)),
                            std::max(0, (int)(rc.Height() - nTop - m_rcBorders.bottom)), SWP_NOACTIVATE | SWP_NOZORDER);
  m_pChildWnd->Invalidate();
}

void CXTPDialogBar::OnSize(UINT nType, int cx, int cy) {
  CXTPToolBar::OnSize(nType, cx, cy);
  MoveChild();
}

// ---- Hit tests and sizing ----------------------------------------------------------------------
int CXTPDialogBar::HitTestBar(CPoint point) {
  if (m_hWnd == NULL) return -2;
  CRect rc;
  GetWindowRect(&rc);
  rc.bottom = rc.top + (m_bCaptionVisible ? m_nCaptionHeight : m_rcBorders.top);
  return rc.PtInRect(point) ? 1 : -2;
}

LRESULT CXTPDialogBar::OnNcHitTest(CPoint point) {
  if (!m_bResizable) return CXTPToolBar::OnNcHitTest(point);
  CRect rc;
  GetWindowRect(&rc);
  rc.DeflateRect(3, 3);
  const BOOL bStretched = (m_dwFlags & xtpFlagStretched) != 0;
  switch (m_barPosition) {
    case xtpBarFloating: {
      const BOOL bTop = point.y < rc.top, bBottom = point.y >= rc.bottom;
      const BOOL bLeft = point.x < rc.left, bRight = point.x >= rc.right;
      if (bTop && bLeft) return HTTOPLEFT;
      if (bTop && bRight) return HTTOPRIGHT;
      if (bBottom && bLeft) return HTBOTTOMLEFT;
      if (bBottom && bRight) return HTBOTTOMRIGHT;
      if (bTop) return HTTOP;
      if (bBottom) return HTBOTTOM;
      if (bLeft) return HTLEFT;
      if (bRight) return HTRIGHT;
      break;
    }
    case xtpBarTop:
      if (point.y >= rc.bottom) return HTBOTTOM;
      if (point.x >= rc.right && !bStretched) return HTRIGHT;
      break;
    case xtpBarBottom:
      if (point.y <= rc.top) return HTTOP;
      if (point.x >= rc.right && !bStretched) return HTRIGHT;
      break;
    case xtpBarLeft:
      if (point.y >= rc.bottom && !bStretched) return HTBOTTOM;
      if (point.x >= rc.right) return HTRIGHT;
      break;
    case xtpBarRight:
      if (point.y >= rc.bottom && !bStretched) return HTBOTTOM;
      if (point.x <= rc.left) return HTLEFT;
      break;
    default:
      break;
  }
  return CXTPToolBar::OnNcHitTest(point);
}

void CXTPDialogBar::SizeToRect(CRect rc, UINT nHitTest) {
  if (rc.Width() < m_szMinSize.cx || rc.Height() < m_szMinSize.cy) return;
  const int nTop = m_bCaptionVisible ? m_nCaptionHeight : m_rcBorders.top;
  const CSize szClient(rc.Width() - m_rcBorders.left - m_rcBorders.right, rc.Height() - nTop - m_rcBorders.bottom);
  if (m_barPosition != xtpBarFloating) {
    if (nHitTest == HTRIGHT || nHitTest == HTLEFT)
      m_szDockingClient.cx = szClient.cx;
    else
      m_szDockingClient.cy = szClient.cy;
    OnRecalcLayout();
    return;
  }
  m_szFloatingClient = szClient;
  CalcLayout(-1, LM_COMMIT | LM_MRUWIDTH | LM_HORZ);
  if (m_hWnd != NULL) {
    SetWindowPos(NULL, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate(FALSE);
  }
}

// ---- Copy and clone ---------------------------------------------------------------------------------
void CXTPDialogBar::Copy(CXTPCommandBar* pCommandBar, BOOL bRecursive) {
  CXTPToolBar::Copy(pCommandBar, bRecursive);
  if (pCommandBar == NULL || pCommandBar == this || !pCommandBar->IsKindOf(RUNTIME_CLASS(CXTPDialogBar))) return;
  CXTPDialogBar* pSource = (CXTPDialogBar*)pCommandBar;
  m_rcBorders = pSource->m_rcBorders;
  m_bResizable = pSource->m_bResizable;
  m_szMinSize = pSource->m_szMinSize;
  m_bCaptionVisible = pSource->m_bCaptionVisible;
  m_bCaptionPopup = pSource->m_bCaptionPopup;
  m_szDockingClient = pSource->m_szDockingClient;
  m_szFloatingClient = pSource->m_szFloatingClient;
  m_strCaption = pSource->m_strCaption;
  if (m_pPopupBar != NULL && pSource->m_pPopupBar != NULL) {
    m_pPopupBar->GetControls()->RemoveAll();
    for (int i = 0; i < pSource->m_pPopupBar->GetControlCount(); i++)
      m_pPopupBar->GetControls()->AddClone(pSource->m_pPopupBar->GetControl(i), -1, bRecursive);
  }
}

CXTPCommandBar* CXTPDialogBar::Clone(BOOL bRecursive) {
  CXTPDialogBar* pBar = (CXTPDialogBar*)RUNTIME_CLASS(CXTPDialogBar)->CreateObject();
  if (pBar != NULL) pBar->Copy(this, bRecursive);
  return pBar;
}
