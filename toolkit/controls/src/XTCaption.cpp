// The caption bar, its button and themes, and the popup that holds a popped-out pane.
#include <framework.h>

#include "XTCaption.h"
#include "XTGlobalUIData.h"
#include "XTPColorManager.h"
#include "XTPResourceManager.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CXTCaption, CStatic)
IMPLEMENT_DYNAMIC(CXTCaptionButton, CXTButton)
IMPLEMENT_DYNAMIC(CXTCaptionPopupWnd, CWnd)
IMPLEMENT_DYNCREATE(CXTCaptionThemeFactory, CXTThemeManagerStyleFactory)
IMPLEMENT_DYNCREATE(CXTCaptionButtonThemeFactory, CXTThemeManagerStyleFactory)

namespace {
const UINT kBitmapCaptionGlyphs = 9002;
const UINT kStringPushPinTip = 9036;
const UINT_PTR kFocusTimer = 1;
// Posted by a caption to itself: delete the popups closed by their own handlers.
const UINT kMsgDeletePopups = WM_APP + 0x2E3;

COLORREF Clr(int nIndex) { return XTPGetColorManager()->GetColor(nIndex); }

const CXTPGradientColor& Gradient(int n) { return *XTPGetColorManager()->GetGradient(n); }
}  // namespace

// ---------------------------------------------------------------------------------------
// Caption themes.
CXTCaptionTheme::CXTCaptionTheme() : m_nThemeKind(0) {}

void CXTCaptionTheme::RefreshMetrics() {
  CXTThemeManagerStyle::RefreshMetrics();
  m_clrEdgeShadow.SetStandardValue(Clr(COLOR_BTNSHADOW));
  m_clrEdgeLight.SetStandardValue(Clr(COLOR_BTNHIGHLIGHT));
}

void CXTCaptionTheme::DrawCaptionBack(CDC* pDC, CXTCaption* pCaption, CRect& rcItem) {
  CRect rc = rcItem;
  pDC->SetBkMode(TRANSPARENT);
  pDC->FillSolidRect(&rc, pCaption->GetBorderColor());
  const DWORD dwStyle = pCaption->GetCaptionStyle();
  if (dwStyle & CPWS_EX_GROOVE_EDGE) {
    pDC->Draw3dRect(&rc, m_clrEdgeShadow, m_clrEdgeLight);
    CRect rcInner = rc;
    rcInner.DeflateRect(1, 1);
    pDC->Draw3dRect(&rcInner, m_clrEdgeShadow, m_clrEdgeLight);
  } else if (dwStyle & CPWS_EX_RAISED_EDGE) {
    pDC->Draw3dRect(&rc, m_clrEdgeShadow, m_clrEdgeLight);
  }
  rc.DeflateRect(pCaption->GetBorderSize(), pCaption->GetBorderSize());
  pDC->FillSolidRect(&rc, pCaption->GetBackColor());
}

void CXTCaptionTheme::DrawCaptionText(CDC* pDC, CXTCaption* pCaption) {
  const CString strText = pCaption->GetCaptionText();
  if (strText.IsEmpty()) return;
  CFont* pOld = pDC->SelectObject(pCaption->GetFont());
  pDC->SetTextColor(pCaption->GetTextColor());
  pDC->SetBkMode(TRANSPARENT);
  CRect rc = pCaption->GetTextRect();
  pDC->DrawText(strText, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (pOld != NULL) pDC->SelectObject(pOld);
}

void CXTCaptionTheme::DrawCaptionIcon(CDC* pDC, CXTCaption* pCaption, CRect& rcItem) {
  HICON hIcon = pCaption->GetCaptionIcon();
  if (hIcon == NULL) return;
  const CSize size = pCaption->GetIconSize();
  const int nBorder = pCaption->GetBorderSize();
  const int x = std::max((int)(rcItem.right - nBorder - size.cx - 2), nBorder);
  const int y = (rcItem.Height() - size.cy) / 2;
  if (x + size.cx < rcItem.right - nBorder) pDC->DrawIconEx(x, y, hIcon, size.cx, size.cy, 0, NULL, DI_NORMAL);
}

void CXTCaptionThemeOfficeXP::DrawCaptionBack(CDC* pDC, CXTCaption* pCaption, CRect& rcItem) {
  CRect rc = rcItem;
  pDC->FillSolidRect(&rc, pCaption->GetBorderColor());
  if (pCaption->IsTextButton()) {
    rc.DeflateRect(pCaption->GetBorderSize(), pCaption->GetBorderSize());
    pDC->FillSolidRect(&rc, pCaption->GetBackColor());
  } else {
    pDC->Draw3dRect(&rc, Clr(COLOR_BTNHIGHLIGHT), Clr(COLOR_BTNSHADOW));
  }
}

void CXTCaptionThemeOffice2003::DrawCaptionBack(CDC* pDC, CXTCaption* pCaption, CRect& rcItem) {
  CRect rc = rcItem;
  if (pCaption->IsTextButton()) {
    CXTPDrawHelpers::GradientFill(pDC, &rc, Gradient(1), FALSE, NULL);
    pDC->Draw3dRect(&rc, Clr(54), Clr(54));
  } else {
    CXTPDrawHelpers::GradientFill(pDC, &rc, Gradient(4), FALSE, NULL);
    pDC->FillSolidRect(rc.left, rc.bottom - 1, rc.Width(), 1, Clr(54));
  }
}

CXTThemeManagerStyle* CXTCaptionThemeFactory::CreateTheme(int nTheme) {
  CXTCaptionTheme* pTheme;
  if (nTheme == 1)
    pTheme = new CXTCaptionThemeOfficeXP();
  else if (nTheme == 2)
    pTheme = new CXTCaptionThemeOffice2003();
  else
    pTheme = new CXTCaptionTheme();
  pTheme->m_nThemeKind = nTheme;
  return pTheme;
}

// ---------------------------------------------------------------------------------------
// Caption button themes.
namespace {
CXTCaption* OwningCaption(CXTButton* pButton) {
  CXTCaptionButton* pCaptionButton = (pButton != NULL && pButton->IsKindOf(RUNTIME_CLASS(CXTCaptionButton)) ? static_cast<CXTCaptionButton*>(pButton) : NULL);
  if (pCaptionButton == NULL) return NULL;
  CXTCaption* pCaption = pCaptionButton->GetCaption();
  return (pCaption != NULL && pCaption->GetSafeHwnd() != NULL) ? pCaption : NULL;
}

// The caption's text in the button rectangle, for a text button of a caption with text.
void DrawCaptionButtonText(CDC* pDC, UINT nState, CRect& rcItem, CXTButton* pButton, COLORREF clrText,
                           BOOL bOffsetText) {
  CXTCaption* pCaption = OwningCaption(pButton);
  if (pCaption == NULL || !pCaption->IsTextButton() || pCaption->GetCaptionText().IsEmpty()) return;
  CRect rc = rcItem;
  if ((nState & ODS_SELECTED) && bOffsetText) rc.OffsetRect(1, 1);
  CFont* pOld = pDC->SelectObject(pCaption->GetFont());
  pDC->SetTextColor(clrText);
  pDC->SetBkMode(TRANSPARENT);
  pDC->DrawText(pCaption->GetCaptionText(), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (pOld != NULL) pDC->SelectObject(pOld);
}
}  // namespace

CXTCaptionButtonTheme::CXTCaptionButtonTheme() { m_bOffsetText = FALSE; }

COLORREF CXTCaptionButtonTheme::GetTextColor(UINT nState, CXTButton* pButton) {
  if (CXTCaption* pCaption = OwningCaption(pButton)) return pCaption->GetTextColor();
  return CXTButtonTheme::GetTextColor(nState, pButton);
}

void CXTCaptionButtonTheme::DrawButtonText(CDC* pDC, UINT nState, CRect& rcItem, CXTButton* pButton) {
  DrawCaptionButtonText(pDC, nState, rcItem, pButton, GetTextColor(nState, pButton), m_bOffsetText);
}

void CXTCaptionButtonTheme::DrawBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton) {
  if (CXTCaption* pCaption = OwningCaption(pButton)) m_crFace.SetCustomValue(pCaption->GetBackColor());
  CXTButtonTheme::DrawBackground(lpDIS, pButton);
}

CXTCaptionButtonThemeOfficeXP::CXTCaptionButtonThemeOfficeXP() : CXTButtonThemeHighlight(FALSE) {
  m_bFadedIcon = FALSE;
  m_bAnimateIcon = FALSE;
  m_bOffsetText = FALSE;
}

COLORREF CXTCaptionButtonThemeOfficeXP::GetTextColor(UINT nState, CXTButton* pButton) {
  if (nState & ODS_DISABLED) return Clr(COLOR_GRAYTEXT);
  if (pButton->IsHot() || (nState & ODS_SELECTED)) return m_crHotText;
  if (CXTCaption* pCaption = OwningCaption(pButton)) return pCaption->GetTextColor();
  return m_crText;
}

void CXTCaptionButtonThemeOfficeXP::DrawButtonText(CDC* pDC, UINT nState, CRect& rcItem, CXTButton* pButton) {
  DrawCaptionButtonText(pDC, nState, rcItem, pButton, GetTextColor(nState, pButton), m_bOffsetText);
}

void CXTCaptionButtonThemeOfficeXP::DrawBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton) {
  CDC* pDC = CDC::FromHandle(lpDIS->hDC);
  CRect rc(lpDIS->rcItem);
  const BOOL bSelected = (lpDIS->itemState & ODS_SELECTED) != 0;
  if (bSelected || pButton->IsHot()) {
    pDC->FillSolidRect(&rc, Clr(bSelected ? 33 : 31));
    pDC->Draw3dRect(&rc, Clr(32), Clr(32));
    return;
  }
  CXTCaption* pCaption = OwningCaption(pButton);
  pDC->FillSolidRect(&rc, pCaption != NULL ? pCaption->GetBackColor() : (COLORREF)m_crFace);
  if (m_bWordTheme) pDC->Draw3dRect(&rc, m_crShadow, m_crShadow);
}

COLORREF CXTCaptionButtonThemeOffice2003::GetTextColor(UINT nState, CXTButton* pButton) {
  if (nState & ODS_DISABLED) return Clr(COLOR_GRAYTEXT);
  if (pButton->IsHot() || (nState & ODS_SELECTED)) return m_crHotText;
  if (CXTCaption* pCaption = OwningCaption(pButton)) return pCaption->GetTextColor();
  return m_crText;
}

void CXTCaptionButtonThemeOffice2003::DrawBackground(LPDRAWITEMSTRUCT lpDIS, CXTButton* pButton) {
  CXTCaption* pCaption = OwningCaption(pButton);
  if (pCaption == NULL) {
    CXTButtonThemeScheme::DrawBackground(lpDIS, pButton);
    return;
  }
  CDC* pDC = CDC::FromHandle(lpDIS->hDC);
  CRect rc(lpDIS->rcItem);
  const BOOL bSelected = (lpDIS->itemState & ODS_SELECTED) != 0;
  if (bSelected || pButton->IsHot()) {
    CXTPDrawHelpers::GradientFill(pDC, &rc, Gradient(bSelected ? 9 : 10), FALSE, NULL);
    pDC->Draw3dRect(&rc, Clr(32), Clr(32));
    return;
  }
  // Idle: the part of the caption's own gradient under the button, so that it blends in.
  CRect rcCaption;
  pCaption->GetClientRect(&rcCaption);
  CRect rcButton;
  pButton->GetWindowRect(&rcButton);
  pCaption->ScreenToClient(&rcButton);
  CDC dcCaption;
  CClientDC dcScreen(NULL);
  dcCaption.CreateCompatibleDC(&dcScreen);
  CBitmap bmp;
  bmp.CreateCompatibleBitmap(&dcScreen, std::max(1, rcCaption.Width()), std::max(1, rcCaption.Height()));
  CBitmap* pOldBmp = dcCaption.SelectObject(&bmp);
  CXTPDrawHelpers::GradientFill(&dcCaption, &rcCaption, Gradient(pCaption->IsTextButton() ? 1 : 4), FALSE, NULL);
  const COLORREF clrStart = dcCaption.GetPixel(rcButton.left, rcButton.top);
  const COLORREF clrEnd = dcCaption.GetPixel(rcButton.right - 1, rcButton.bottom - 1);
  dcCaption.SelectObject(pOldBmp);
  CXTPDrawHelpers::GradientFill(pDC, &rc, CXTPGradientColor(clrStart, clrEnd, 0.5f), FALSE, NULL);
}

CXTThemeManagerStyle* CXTCaptionButtonThemeFactory::CreateTheme(int nTheme) {
  CXTButtonTheme* pTheme;
  if (nTheme == 1)
    pTheme = new CXTCaptionButtonThemeOfficeXP();
  else if (nTheme == 2)
    pTheme = new CXTCaptionButtonThemeOffice2003();
  else
    pTheme = new CXTCaptionButtonTheme();
  pTheme->SetThemeKind(nTheme);
  return pTheme;
}

// ---------------------------------------------------------------------------------------
BEGIN_MESSAGE_MAP(CXTCaptionButton, CXTButton)
  ON_WM_SETTINGCHANGE()
  ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

CXTCaptionButton::CXTCaptionButton() : CXTButton(RUNTIME_CLASS(CXTCaptionButtonThemeFactory)), m_pCaption(NULL) {}

DWORD CXTCaptionButton::SetThemeStyle(DWORD dwxStyle, BOOL bRedraw) {
  const DWORD dwOld = m_dwxStyle;
  CWnd* pParent = GetParent();
  CXTCaption* pCaption =
      (pParent != NULL && pParent->IsKindOf(RUNTIME_CLASS(CXTCaption))) ? static_cast<CXTCaption*>(pParent) : NULL;
  if (pCaption != NULL) {
    if (CXTButtonTheme* pTheme = GetTheme()) {
      pTheme->SetFaceColor(pCaption->GetBackColor());
      pTheme->SetTextColor(pCaption->GetTextColor());
      pTheme->SetShadowColor(Clr(COLOR_3DDKSHADOW));
      pTheme->SetFont(pCaption->GetFont());
    }
  }
  if (bRedraw && GetSafeHwnd() != NULL) Invalidate(FALSE);
  return dwOld;
}

void CXTCaptionButton::OnSettingChange(UINT uFlags, LPCTSTR lpszSection) {
  CXTButton::OnSettingChange(uFlags, lpszSection);
  if (CXTThemeManagerStyleFactory* pFactory = GetFactory()) pFactory->RefreshMetrics();
}

void CXTCaptionButton::OnSysColorChange() {
  CXTButton::OnSysColorChange();
  if (CXTThemeManagerStyleFactory* pFactory = GetFactory()) pFactory->RefreshMetrics();
}

// ---------------------------------------------------------------------------------------
BEGIN_MESSAGE_MAP(CXTCaption, CStatic)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_WINDOWPOSCHANGED()
  ON_WM_SIZE()
  ON_WM_SYSCOLORCHANGE()
  ON_WM_SETTINGCHANGE()
  ON_BN_CLICKED(XT_IDC_BTN_CLOSE, OnCaptButton)
  ON_MESSAGE(CPWM_POPUP_CLOSE, OnPopupClose)
  ON_MESSAGE(CPWM_POPUP_FOCUSLOST, OnPopupFocusLost)
  ON_MESSAGE(kMsgDeletePopups, OnDeletePopup)
END_MESSAGE_MAP()

CXTCaption::CXTCaption()
    : CXTThemeManagerStyleHost(RUNTIME_CLASS(CXTCaptionThemeFactory)),
      m_nBorder(0),
      m_clrBorder(::GetSysColor(COLOR_BTNFACE)),
      m_clrBackground(::GetSysColor(COLOR_BTNFACE)),
      m_clrFont(::GetSysColor(COLOR_BTNTEXT)),
      m_nOffset(0),
      m_bUserColors(0),
      m_bTextButton(0),
      m_pChildWnd(NULL),
      m_pParentView(NULL),
      m_pSplitterWnd(NULL),
      m_pNotifyWnd(NULL),
      m_rcChild(0, 0, 0, 0),
      m_rcParent(0, 0, 0, 0),
      m_rcSplitter(0, 0, 0, 0),
      m_dwExStyle(0),
      m_hIcon(NULL),
      m_pPopupWnd(NULL) {
  const int nSize = std::min(XTGetGlobalUIData().cxSmIcon, 16);
  m_sizeIcon = CSize(nSize, std::min(XTGetGlobalUIData().cySmIcon, 16));
}

CXTCaption::~CXTCaption() {
  if (m_pPopupWnd != NULL) {
    m_listDeadPopups.AddTail(m_pPopupWnd);
    m_pPopupWnd = NULL;
  }
  OnDeletePopup(0, 0);
  if (GetSafeHwnd() != NULL) DestroyWindow();
}

CXTCaptionTheme* CXTCaption::GetTheme() { return static_cast<CXTCaptionTheme*>(GetSafeTheme()); }

void CXTCaption::OnThemeChanged() {
  if (GetSafeHwnd() != NULL) Invalidate(FALSE);
}

BOOL CXTCaption::Create(CWnd* pParentWnd, LPCTSTR lpszWindowName, DWORD dwExStyle, DWORD dwStyle, const RECT& rect,
                        UINT nID) {
  if (!CStatic::Create(_T(""), dwStyle | WS_CHILD | WS_CLIPCHILDREN, rect, pParentWnd, nID)) return FALSE;
  SetFont(&XTGetGlobalUIData().font);
  m_dwExStyle = dwExStyle & 0x07;
  if (dwExStyle & ~0x07UL) ModifyStyleEx(0, dwExStyle & ~0x07UL);
  m_strWindText = lpszWindowName != NULL ? lpszWindowName : _T("");

  if (m_dwExStyle & CPWS_EX_CLOSEBUTTON) {
    if (!m_btnCaption.Create(NULL, WS_CHILD | WS_VISIBLE | BS_CENTER | BS_VCENTER | BS_ICON | BS_OWNERDRAW,
                             CRect(0, 0, 0, 0), this, XT_IDC_BTN_CLOSE))
      return FALSE;
    CBitmap bmp;
    if (m_ilButton.GetSafeHandle() == NULL && XTPGetResourceManager()->LoadBitmap(&bmp, kBitmapCaptionGlyphs)) {
      BITMAP bm = {};
      bmp.GetBitmap(&bm);
      if (m_ilButton.Create(16, bm.bmHeight, ILC_COLOR24 | ILC_MASK, 0, 1))
        m_ilButton.Add(&bmp, RGB(0xFF, 0x00, 0xFF));
    }
    HICON hIcon = m_ilButton.GetSafeHandle() != NULL ? m_ilButton.ExtractIcon(2) : NULL;
    if (hIcon != NULL) {
      m_btnCaption.SetIconHandles(CSize(16, 15), hIcon, (HICON)NULL, FALSE);
      ::DestroyIcon(hIcon);
    }
  } else {
    // Hidden until a pane is attached; a child of the caption like the close button.
    if (!m_btnCaption.Create(m_strWindText, WS_CHILD | BS_CENTER | BS_VCENTER | BS_ICON | BS_OWNERDRAW, CRect(0, 0, 0, 0),
                             this, XT_IDC_BTN_CLOSE))
      return FALSE;
    m_bTextButton = 1;
  }
  m_btnCaption.SetCaption(this);
  m_btnCaption.SetOwner(this);
  m_btnCaption.SetThemeStyle(0, FALSE);
  SetWindowPos(NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
  return TRUE;
}

void CXTCaption::SetCaptionColors(COLORREF clrBorder, COLORREF clrFace, COLORREF clrText) {
  m_clrBorder = clrBorder;
  m_clrBackground = clrFace;
  m_clrFont = clrText;
  m_bUserColors = 1;
  if (m_btnCaption.GetSafeHwnd() != NULL) {
    m_btnCaption.SetFaceColor(clrFace);
    m_btnCaption.SetTextColor(clrText);
    m_btnCaption.SetShadowColor(::GetSysColor(COLOR_3DDKSHADOW));
  }
  if (GetSafeHwnd() != NULL) Invalidate(FALSE);
}

void CXTCaption::ModifyCaptionStyle(int nBorderSize, CFont* pFont, LPCTSTR lpszWindText, HICON hIcon) {
  if (nBorderSize != 0) m_nBorder = nBorderSize;
  if (pFont != NULL && GetSafeHwnd() != NULL) {
    SetFont(pFont);
    if (m_btnCaption.GetSafeHwnd() != NULL) m_btnCaption.SetFont(pFont, TRUE);
  }
  if (lpszWindText != NULL) m_strWindText = lpszWindText;
  if (hIcon != NULL) m_hIcon = hIcon;
  if (GetSafeHwnd() != NULL) Invalidate(FALSE);
}

CRect CXTCaption::GetTextRect() {
  if (m_strWindText.IsEmpty() || GetSafeHwnd() == NULL) return CRect(0, 0, 0, 0);
  CRect rcClient;
  GetClientRect(&rcClient);
  CClientDC dc(this);
  CFont* pOld = dc.SelectObject(GetFont());
  const CSize size = dc.GetTextExtent(m_strWindText);
  TEXTMETRIC tm = {};
  dc.GetTextMetrics(&tm);
  dc.SelectObject(pOld);
  const int nAvail = rcClient.Width() - (m_hIcon != NULL ? 18 : 0);
  const int nWidth = std::min((int)(size.cx + tm.tmAveCharWidth + 12), nAvail);
  return CRect(m_nBorder, m_nBorder, m_nBorder + nWidth, rcClient.Height() - m_nBorder);
}

CRect CXTCaption::GetButtonRect() {
  if (m_btnCaption.GetSafeHwnd() == NULL) return CRect(0, 0, 0, 0);
  if (m_dwExStyle & CPWS_EX_CLOSEBUTTON) {
    CRect rc;
    GetClientRect(&rc);
    const int y = (rc.Height() - 15) / 2;
    return CRect(rc.Width() - 18, y, rc.Width() - 2, y + 15);
  }
  return GetTextRect();
}

void CXTCaption::DrawCaptionBack(CDC* pDC, CRect& rcItem) {
  if (CXTCaptionTheme* pTheme = GetTheme()) pTheme->DrawCaptionBack(pDC, this, rcItem);
}

void CXTCaption::DrawCaptionText(CDC* pDC) {
  if (CXTCaptionTheme* pTheme = GetTheme()) pTheme->DrawCaptionText(pDC, this);
}

void CXTCaption::DrawCaptionIcon(CDC* pDC, CRect& rcItem) {
  if (CXTCaptionTheme* pTheme = GetTheme()) pTheme->DrawCaptionIcon(pDC, this, rcItem);
}

void CXTCaption::UpdateButton(CDC* pDC) {
  if (m_btnCaption.GetSafeHwnd() != NULL) {
    m_btnCaption.SetWindowText(m_strWindText);
    const CRect rc = GetButtonRect();
    m_btnCaption.MoveWindow(&rc);
  }
  DrawCaptionText(pDC);
}

void CXTCaption::UpdateCaption(LPCTSTR lpszWindowText, HICON hIcon) {
  if (GetSafeHwnd() == NULL) return;
  CDC* pDC = GetDC();
  if (pDC == NULL) return;
  CRect rc;
  GetClientRect(&rc);
  DrawCaptionBack(pDC, rc);
  if (lpszWindowText != NULL) {
    m_strWindText = lpszWindowText;
    UpdateButton(pDC);
  }
  if (hIcon != NULL) {
    m_hIcon = hIcon;
    DrawCaptionIcon(pDC, rc);
  }
  ReleaseDC(pDC);
}

void CXTCaption::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  CXTMemDC memDC(&dc, rc, Clr(COLOR_BTNFACE));
  if (m_btnCaption.GetSafeHwnd() != NULL && m_btnCaption.IsWindowVisible()) {
    const CRect rcButton = GetButtonRect();
    memDC.ExcludeClipRect(&rcButton);
  }
  DrawCaptionBack(&memDC, rc);
  DrawCaptionText(&memDC);
  DrawCaptionIcon(&memDC, rc);
}

BOOL CXTCaption::OnEraseBkgnd(CDC*) { return TRUE; }

void CXTCaption::OnWindowPosChanged(WINDOWPOS* lpwndpos) {
  CStatic::OnWindowPosChanged(lpwndpos);
  if (m_btnCaption.GetSafeHwnd() != NULL) {
    const CRect rc = GetButtonRect();
    m_btnCaption.MoveWindow(&rc);
  }
}

void CXTCaption::OnSize(UINT nType, int cx, int cy) {
  CStatic::OnSize(nType, cx, cy);
  if (m_hIcon != NULL) RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CXTCaption::OnSysColorChange() {
  CStatic::OnSysColorChange();
  if (!m_bUserColors) {
    m_clrBorder = ::GetSysColor(COLOR_BTNFACE);
    m_clrBackground = ::GetSysColor(COLOR_BTNFACE);
    m_clrFont = ::GetSysColor(COLOR_BTNTEXT);
    if (m_btnCaption.GetSafeHwnd() != NULL) {
      m_btnCaption.SetFaceColor(m_clrBackground);
      m_btnCaption.SetTextColor(m_clrFont);
      m_btnCaption.SetShadowColor(::GetSysColor(COLOR_3DDKSHADOW));
    }
  }
  if (CXTThemeManagerStyleFactory* pFactory = GetFactory()) pFactory->RefreshMetrics();
}

void CXTCaption::OnSettingChange(UINT uFlags, LPCTSTR lpszSection) {
  CStatic::OnSettingChange(uFlags, lpszSection);
  if (CXTThemeManagerStyleFactory* pFactory = GetFactory()) pFactory->RefreshMetrics();
}

void CXTCaption::SetChildWindow(CWnd* pChild, CWnd* pNotifyWnd) {
  m_pChildWnd = pChild;
  m_pNotifyWnd = pNotifyWnd;
  if (pChild == NULL || pChild->GetSafeHwnd() == NULL) return;
  m_pParentView = pChild->GetParent();
  m_pSplitterWnd = m_pParentView != NULL ? m_pParentView->GetParent() : NULL;
  CRect rcChildClient;
  pChild->GetClientRect(&rcChildClient);
  if (m_pParentView != NULL) {
    m_pParentView->GetClientRect(&m_rcParent);
    m_nOffset = m_rcParent.Height() - rcChildClient.Height();
    m_rcChild = m_rcParent;
  }
  if (m_pSplitterWnd != NULL) m_pSplitterWnd->GetClientRect(&m_rcSplitter);
  m_rcParent.InflateRect(2 * ::GetSystemMetrics(SM_CXEDGE), 2 * ::GetSystemMetrics(SM_CYEDGE));
  if (m_btnCaption.GetSafeHwnd() != NULL) m_btnCaption.ShowWindow(SW_SHOW);
}

void CXTCaption::OnCaptButton() {
  if (m_dwExStyle & CPWS_EX_CLOSEBUTTON) {
    CWnd* pTarget = m_pNotifyWnd != NULL ? m_pNotifyWnd : GetParent();
    if (pTarget != NULL) pTarget->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED), (LPARAM)m_hWnd);
    return;
  }
  ShowPopupWindow();
}

BOOL CXTCaption::ShowPopupWindow() {
  if (m_pPopupWnd != NULL && m_pPopupWnd->GetSafeHwnd() != NULL && m_pPopupWnd->IsWindowVisible()) return TRUE;
  if (m_pPopupWnd == NULL || m_pPopupWnd->GetSafeHwnd() == NULL) {
    if (m_pPopupWnd == NULL) m_pPopupWnd = new CXTCaptionPopupWnd;
    if (!m_pPopupWnd->Create(CRect(0, 0, 0, 0), this, m_pChildWnd)) {
      delete m_pPopupWnd;
      m_pPopupWnd = NULL;
      return FALSE;
    }
  }
  if (m_pParentView == NULL || m_pParentView->GetSafeHwnd() == NULL || m_pSplitterWnd == NULL ||
      m_pSplitterWnd->GetSafeHwnd() == NULL)
    return FALSE;
  CRect rc = m_rcParent;
  m_pParentView->ClientToScreen(&rc);
  CRect rcSplitter;
  m_pSplitterWnd->GetClientRect(&rcSplitter);
  if (rcSplitter.Height() != m_rcSplitter.Height()) rc.bottom += rcSplitter.Height() - m_rcSplitter.Height();
  m_pPopupWnd->MoveWindow(&rc);
  m_pPopupWnd->ShowWindow(SW_SHOW);
  m_pPopupWnd->RecalcLayout();
  m_btnCaption.SetState(TRUE);
  return TRUE;
}

void CXTCaption::DestroyPopup() {
  if (m_pPopupWnd == NULL) return;
  // The popup may be the window whose handler asked for this: it is hidden and gives the
  // child back now; its window and object go once that handler has returned.
  CXTCaptionPopupWnd* pPopup = m_pPopupWnd;
  m_pPopupWnd = NULL;
  if (pPopup->GetSafeHwnd() != NULL) {
    pPopup->KillTimer(kFocusTimer);
    pPopup->ShowWindow(SW_HIDE);
    pPopup->RestoreChildParent();
  }
  m_listDeadPopups.AddTail(pPopup);
  if (GetSafeHwnd() != NULL) PostMessage(kMsgDeletePopups);
}

LRESULT CXTCaption::OnDeletePopup(WPARAM, LPARAM) {
  while (!m_listDeadPopups.IsEmpty()) {
    CXTCaptionPopupWnd* pPopup = static_cast<CXTCaptionPopupWnd*>(m_listDeadPopups.RemoveHead());
    if (pPopup->GetSafeHwnd() != NULL) pPopup->DestroyWindow();
    delete pPopup;
  }
  return 0;
}

void CXTCaption::KillChildWindow() {
  if (m_btnCaption.GetSafeHwnd() != NULL) {
    m_btnCaption.ShowWindow(SW_HIDE);
    m_btnCaption.SetState(FALSE);
  }
  DestroyPopup();
}

LRESULT CXTCaption::OnPopupClose(WPARAM, LPARAM) {
  KillChildWindow();
  if (m_pChildWnd != NULL && m_pChildWnd->GetSafeHwnd() != NULL && m_pParentView != NULL &&
      m_pParentView->GetSafeHwnd() != NULL) {
    CRect rc = m_rcChild;
    rc.OffsetRect(0, m_nOffset);
    m_pChildWnd->MoveWindow(&rc);
    m_pChildWnd->ShowWindow(SW_SHOW);
  }
  if (m_pNotifyWnd == NULL || m_pNotifyWnd->GetSafeHwnd() == NULL) return FALSE;
  m_pNotifyWnd->SendMessage(CPWM_POPUP_CLOSE);
  Invalidate();
  return TRUE;
}

LRESULT CXTCaption::OnPopupFocusLost(WPARAM, LPARAM) {
  if (m_btnCaption.GetSafeHwnd() != NULL) m_btnCaption.SetState(FALSE);
  DestroyPopup();
  if (m_pNotifyWnd == NULL || m_pNotifyWnd->GetSafeHwnd() == NULL) return FALSE;
  m_pNotifyWnd->SendMessage(CPWM_POPUP_FOCUSLOST);
  Invalidate();
  return TRUE;
}

// ---------------------------------------------------------------------------------------
BEGIN_MESSAGE_MAP(CXTCaptionPopupWnd, CWnd)
  ON_WM_PAINT()
  ON_WM_DESTROY()
  ON_WM_TIMER()
  ON_WM_SIZE()
  ON_BN_CLICKED(XT_IDC_BTN_CLOSE, OnPushPinButton)
END_MESSAGE_MAP()

CXTCaptionPopupWnd::CXTCaptionPopupWnd()
    : m_pParentWnd(NULL), m_pChildWnd(NULL), m_pChildParent(NULL), m_hIconOn(NULL), m_hIconOff(NULL) {
  WNDCLASSW wc = {};
  HINSTANCE hInst = AfxGetInstanceHandle();
  if (!::GetClassInfoW(hInst, GetWindowClassName(), &wc)) {
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = hInst;
    wc.hCursor = ::LoadCursorW(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    wc.lpszClassName = GetWindowClassName();
    if (!AfxRegisterClass(&wc)) AfxThrowResourceException();
  }
}

CXTCaptionPopupWnd::~CXTCaptionPopupWnd() {
  if (GetSafeHwnd() != NULL) DestroyWindow();
  if (m_hIconOn != NULL) ::DestroyIcon(m_hIconOn);
  if (m_hIconOff != NULL) ::DestroyIcon(m_hIconOff);
}

BOOL CXTCaptionPopupWnd::Create(const CRect& rect, CXTCaption* pParentWnd, CWnd* pChildWnd) {
  if (pParentWnd == NULL || pParentWnd->GetSafeHwnd() == NULL || pChildWnd == NULL || pChildWnd->GetSafeHwnd() == NULL)
    return FALSE;
  m_pParentWnd = pParentWnd;
  m_pChildWnd = pChildWnd;
  if (!CreateEx(WS_EX_TOOLWINDOW, GetWindowClassName(), _T(""), WS_POPUP | WS_VISIBLE | WS_DLGFRAME, rect, pParentWnd,
                0))
    return FALSE;
  m_pChildParent = pChildWnd->GetParent();
  pChildWnd->SetParent(this);

  CString strTitle;
  XTPGetResourceManager()->LoadString(&strTitle, kStringPushPinTip);
  if (!m_Caption.Create(this, strTitle, CPWS_EX_RAISED_EDGE, 0x10000201, CRect(0, 0, 0, 0), 0xFFFF)) return FALSE;
  if (!m_CaptionButton.Create(NULL, 0x10000F4B | WS_CHILD, CRect(0, 0, 0, 0), this, XT_IDC_BTN_CLOSE)) return FALSE;

  CBitmap bmp;
  if (XTPGetResourceManager()->LoadBitmap(&bmp, kBitmapCaptionGlyphs)) {
    CImageList il;
    if (il.Create(16, 15, ILC_COLOR24 | ILC_MASK, 0, 1)) {
      il.Add(&bmp, RGB(0xFF, 0x00, 0xFF));
      m_hIconOff = il.ExtractIcon(0);
      m_hIconOn = il.ExtractIcon(1);
    }
  }
  if (m_hIconOff != NULL) m_CaptionButton.SetIconHandles(CSize(16, 15), m_hIconOff, m_hIconOn, FALSE);
  m_CaptionButton.SetThemeStyle(0, FALSE);
  SetTimer(kFocusTimer, 10, NULL);
  return TRUE;
}

void CXTCaptionPopupWnd::RecalcLayout() {
  if (GetSafeHwnd() == NULL) return;
  CRect rc;
  GetClientRect(&rc);
  rc.DeflateRect(2, 2);
  CRect rcTitle(rc.left, rc.top, rc.right, rc.top + 19);
  if (m_Caption.GetSafeHwnd() != NULL) m_Caption.MoveWindow(&rcTitle);
  if (m_pChildWnd != NULL && m_pChildWnd->GetSafeHwnd() != NULL && m_pChildWnd->GetParent() == this)
    m_pChildWnd->MoveWindow(rc.left, rcTitle.bottom, rc.Width(), rc.bottom - rcTitle.bottom);
  if (m_CaptionButton.GetSafeHwnd() != NULL) {
    CRect rcPin(rcTitle.right - 16, rcTitle.top, rcTitle.right, rcTitle.bottom);
    rcPin.DeflateRect(2, 2);
    m_CaptionButton.MoveWindow(&rcPin);
    m_CaptionButton.BringWindowToTop();
  }
}

void CXTCaptionPopupWnd::RestoreChildParent() {
  if (m_pChildWnd != NULL && m_pChildWnd->GetSafeHwnd() != NULL && m_pChildParent != NULL &&
      m_pChildParent->GetSafeHwnd() != NULL && m_pChildWnd->GetParent() == this)
    m_pChildWnd->SetParent(m_pChildParent);
  m_pChildParent = NULL;
}

void CXTCaptionPopupWnd::OnDestroy() {
  KillTimer(kFocusTimer);
  RestoreChildParent();
  CWnd::OnDestroy();
}

void CXTCaptionPopupWnd::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != kFocusTimer) {
    CWnd::OnTimer(nIDEvent);
    return;
  }
  if (!IsWindowVisible()) return;
  HWND hFocus = ::GetFocus();
  const bool bInside = hFocus != NULL &&
                       (hFocus == m_hWnd || hFocus == m_Caption.GetSafeHwnd() || hFocus == m_CaptionButton.GetSafeHwnd() ||
                        (m_pChildWnd != NULL && (hFocus == m_pChildWnd->GetSafeHwnd() ||
                                                 ::IsChild(m_pChildWnd->GetSafeHwnd(), hFocus))));
  if (!bInside && m_pParentWnd != NULL && m_pParentWnd->GetSafeHwnd() != NULL)
    m_pParentWnd->SendMessage(CPWM_POPUP_FOCUSLOST);
}

void CXTCaptionPopupWnd::OnPushPinButton() {
  if (m_pParentWnd != NULL && m_pParentWnd->GetSafeHwnd() != NULL) m_pParentWnd->SendMessage(CPWM_POPUP_CLOSE);
}

void CXTCaptionPopupWnd::OnSize(UINT nType, int cx, int cy) {
  CWnd::OnSize(nType, cx, cy);
  RecalcLayout();
}

void CXTCaptionPopupWnd::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  rc.DeflateRect(1, 1);
  dc.Draw3dRect(&rc, Clr(COLOR_BTNSHADOW), Clr(COLOR_BTNHIGHLIGHT));
  if (m_Caption.GetSafeHwnd() != NULL) m_Caption.Invalidate(FALSE);
}
