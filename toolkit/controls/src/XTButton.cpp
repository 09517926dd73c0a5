// The themed push button: state, images and messages; the theme paints.
#include <framework.h>

#include "XTButton.h"
#include "XTPColorManager.h"
#include "XTGlobalUIData.h"

IMPLEMENT_DYNAMIC(CXTButton, CButton)

namespace {
const UINT_PTR kHotTimer = 1;
}

BEGIN_MESSAGE_MAP(CXTButton, CButton)
  ON_WM_CREATE()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_LBUTTONDBLCLK()
  ON_WM_LBUTTONDOWN()
  ON_WM_LBUTTONUP()
  ON_WM_MOUSEMOVE()
  ON_WM_TIMER()
  ON_WM_SETTINGCHANGE()
  ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

CXTButton::CXTButton(CRuntimeClass* pThemeFactoryClass)
    : CXTThemeManagerStyleHost(pThemeFactoryClass != NULL ? pThemeFactoryClass : RUNTIME_CLASS(CXTButtonThemeFactory)),
      m_nImageGap(4),
      m_nTextGap(8),
      m_bPreSubclassInit(TRUE),
      m_bHot(FALSE),
      m_bUserPosition(FALSE),
      m_bLBtnDown(FALSE),
      m_bTracking(FALSE),
      m_bChecked(FALSE),
      m_dwxStyle(BS_XT_FLAT),
      m_sizeImage(0, 0),
      m_ptImage(0, 0),
      m_ptText(0, 0),
      m_pIcon(NULL) {}

CXTButton::~CXTButton() {
  if (m_pIcon != NULL) {
    m_pIcon->InternalRelease();
    m_pIcon = NULL;
  }
  if (GetSafeHwnd() != NULL) DestroyWindow();
}

CXTButtonTheme* CXTButton::GetTheme() { return static_cast<CXTButtonTheme*>(GetSafeTheme()); }

BOOL CXTButton::HasTheme() { return GetSafeTheme() != NULL; }

void CXTButton::OnThemeChanged() {
  if (GetSafeHwnd() != NULL) Invalidate(FALSE);
}

BOOL CXTButton::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CButton::PreCreateWindow(cs)) return FALSE;
  m_bPreSubclassInit = FALSE;
  return TRUE;
}

void CXTButton::PreSubclassWindow() {
  CButton::PreSubclassWindow();
  if (m_bPreSubclassInit) MakeOwnerDraw();
}

int CXTButton::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CButton::OnCreate(lpCreateStruct) == -1) return -1;
  MakeOwnerDraw();
  return 0;
}

BOOL CXTButton::MakeOwnerDraw() {
  if (GetSafeHwnd() == NULL) return FALSE;
  ::SetWindowLongW(m_hWnd, GWL_STYLE, (GetStyle() & ~0x0FUL) | BS_OWNERDRAW);
  return TRUE;
}

void CXTButton::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
  CXTButtonTheme* pTheme = GetTheme();
  if (pTheme != NULL) pTheme->DrawItem(lpDIS, this);
}

void CXTButton::OnPaint() {
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  CXTMemDC memDC(&dc, rc, XTPGetColorManager()->GetColor(COLOR_BTNFACE));
  // The owner-draw pass draws into the memory DC.
  DefWindowProc(WM_PAINT, (WPARAM)memDC.m_hDC, 0);
}

BOOL CXTButton::OnEraseBkgnd(CDC*) { return TRUE; }

void CXTButton::OnLButtonDblClk(UINT nFlags, CPoint point) {
  // A double click acts as two clicks: the second press starts here.
  CPoint pt;
  ::GetCursorPos(&pt);
  ScreenToClient(&pt);
  SendMessage(WM_LBUTTONDOWN, nFlags, MAKELPARAM(pt.x, pt.y));
  CButton::OnLButtonDblClk(nFlags, point);
}

void CXTButton::OnLButtonDown(UINT nFlags, CPoint point) {
  if (!m_bLBtnDown) {
    m_bLBtnDown = TRUE;
    Invalidate(FALSE);
  }
  CButton::OnLButtonDown(nFlags, point);
}

void CXTButton::OnLButtonUp(UINT nFlags, CPoint point) {
  if (m_bLBtnDown) {
    m_bLBtnDown = FALSE;
    Invalidate(FALSE);
  }
  CButton::OnLButtonUp(nFlags, point);
}

void CXTButton::OnMouseMove(UINT nFlags, CPoint point) {
  CXTButtonTheme* pTheme = GetTheme();
  if (pTheme != NULL && pTheme->IsHotTracking(this)) {
    SetTimer(kHotTimer, 10, NULL);
    CheckHotState();
  }
  CButton::OnMouseMove(nFlags, point);
}

void CXTButton::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kHotTimer)
    CheckHotState();
  else
    CButton::OnTimer(nIDEvent);
}

void CXTButton::CheckHotState() {
  CPoint pt;
  ::GetCursorPos(&pt);
  CRect rcWindow;
  GetWindowRect(&rcWindow);
  if (m_bLBtnDown || !rcWindow.PtInRect(pt)) {
    KillTimer(kHotTimer);
    m_bHot = FALSE;
    if (m_bTracking) Invalidate(FALSE);
    m_bTracking = FALSE;
    return;
  }
  CXTButtonTheme* pTheme = GetTheme();
  if (pTheme != NULL && pTheme->IsHotTracking(this) && !m_bTracking) {
    m_bHot = TRUE;
    Invalidate(FALSE);
    m_bTracking = TRUE;
  }
}

void CXTButton::OnSettingChange(UINT uFlags, LPCTSTR lpszSection) {
  if (CXTButtonTheme* pTheme = GetTheme()) pTheme->RefreshMetrics();
  CButton::OnSettingChange(uFlags, lpszSection);
}

void CXTButton::OnSysColorChange() {
  if (CXTButtonTheme* pTheme = GetTheme()) pTheme->RefreshMetrics();
  CButton::OnSysColorChange();
}

// ---------------------------------------------------------------------------------------
BOOL CXTButton::SetIconHandles(CSize size, CXTPImageManagerIconHandle hIcon, CXTPImageManagerIconHandle hIconHot,
                               BOOL bRedraw) {
  m_sizeImage = (size.cx == 0 && size.cy == 0) ? CSize(hIcon.GetExtent()) : size;
  if (m_pIcon != NULL) m_pIcon->InternalRelease();
  m_pIcon = new CXTPImageManagerIcon(0, m_sizeImage.cx, m_sizeImage.cy);
  m_pIcon->SetIcon(hIcon);
  if (!hIconHot.IsEmpty()) m_pIcon->SetHotIcon(hIconHot);
  if (bRedraw && GetSafeHwnd() != NULL) Invalidate(FALSE);
  return TRUE;
}

BOOL CXTButton::SetIconHandles(CSize size, HICON hIcon, HICON hIconHot, BOOL bRedraw) {
  if (hIcon == NULL) return FALSE;
  return SetIconHandles(size, CXTPImageManagerIconHandle(hIcon), CXTPImageManagerIconHandle(hIconHot), bRedraw);
}

BOOL CXTButton::SetIconResources(CSize size, UINT nID, UINT nHotID, BOOL bRedraw) {
  CXTPImageManagerIconHandle hNormal, hHot;
  HICON hIcon = (HICON)::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nID), IMAGE_ICON, size.cx, size.cy, 0);
  if (hIcon == NULL) return FALSE;
  hNormal = hIcon;  // owned by the handle
  if (nHotID != 0) {
    HICON hIconHot =
        (HICON)::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nHotID), IMAGE_ICON, size.cx, size.cy, 0);
    if (hIconHot == NULL) return FALSE;
    hHot = hIconHot;
  }
  return SetIconHandles(size, hNormal, hHot, bRedraw);
}

BOOL CXTButton::SetIconResources(CSize size, WORD wID, WORD wHotID, BOOL bRedraw) {
  return SetIconResources(size, (UINT)wID, (UINT)wHotID, bRedraw);
}

BOOL CXTButton::SetIconResources(CSize size, UINT nID, BOOL bRedraw) {
  return SetIconResources(size, nID, (UINT)0, bRedraw);
}

BOOL CXTButton::SetBitmapResource(CSize size, UINT nID, BOOL bRedraw) {
  ResetImage();
  if (m_pIcon != NULL) {
    m_pIcon->InternalRelease();
    m_pIcon = NULL;
  }
  CXTPImageManagerIconHandle hImage;
  if (XTPIsAlphaBitmapResource(nID)) {
    HBITMAP hBitmap = XTPLoadAlphaBitmap(nID);
    if (hBitmap == NULL) return FALSE;
    hImage = hBitmap;
  } else {
    HBITMAP hBitmap = ::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nID));
    if (hBitmap == NULL) return FALSE;
    CXTPMaskedBitmap masked(hBitmap);
    HICON hIcon = masked.ExtractIcon();
    ::DeleteObject(hBitmap);
    if (hIcon == NULL) return FALSE;
    hImage = hIcon;
  }
  return SetIconHandles(size, hImage, CXTPImageManagerIconHandle(), bRedraw);
}

BOOL CXTButton::SetImageTextPositions(POINT ptImage, POINT ptText, BOOL bRedraw) {
  m_ptImage = ptImage;
  m_ptText = ptText;
  m_bUserPosition = TRUE;
  if (bRedraw && GetSafeHwnd() != NULL) Invalidate(FALSE);
  return TRUE;
}

DWORD CXTButton::SetThemeStyle(DWORD dwxStyle, BOOL bRedraw) {
  const DWORD dwOld = m_dwxStyle;
  m_dwxStyle = dwxStyle;
  if (dwxStyle & BS_XT_XPFLAT)
    SetTheme(new CXTButtonThemeHighlight(FALSE));
  else if (dwxStyle & BS_XT_FLAT)
    SetTheme(new CXTButtonTheme());
  else
    SetTheme(NULL);
  if (bRedraw && GetSafeHwnd() != NULL) Invalidate(FALSE);
  return dwOld;
}

void CXTButton::SetChecked(BOOL bChecked, BOOL bRedraw) {
  m_bChecked = bChecked;
  if (bRedraw && GetSafeHwnd() != NULL) Invalidate(FALSE);
}

void CXTButton::SetColors(COLORREF clrFace, COLORREF clrLight, COLORREF clrShadow, COLORREF clrText) {
  if (CXTButtonTheme* pTheme = GetTheme()) pTheme->SetColors(clrFace, clrLight, clrShadow, clrText);
}

void CXTButton::SetFaceColor(COLORREF clrFace) {
  if (CXTButtonTheme* pTheme = GetTheme()) pTheme->SetFaceColor(clrFace);
}

COLORREF CXTButton::GetFaceColor() {
  if (CXTButtonTheme* pTheme = GetTheme()) return pTheme->GetFaceColor();
  return XTGetGlobalUIData().clr3DFace;
}

void CXTButton::SetLightColor(COLORREF clrLight) {
  if (CXTButtonTheme* pTheme = GetTheme()) pTheme->SetLightColor(clrLight);
}

void CXTButton::SetShadowColor(COLORREF clrShadow) {
  if (CXTButtonTheme* pTheme = GetTheme()) pTheme->SetShadowColor(clrShadow);
}

void CXTButton::SetTextColor(COLORREF clrText) {
  if (CXTButtonTheme* pTheme = GetTheme()) pTheme->SetTextColor(clrText);
}

void CXTButton::SetHighlightColors(COLORREF clrBorder, COLORREF clrHot, COLORREF clrPressed) {
  CXTButtonTheme* pTheme = GetTheme();
  if (pTheme == NULL || pTheme->GetThemeKind() != 1) return;
  CXTButtonThemeHighlight* pHighlight = static_cast<CXTButtonThemeHighlight*>(pTheme);
  pHighlight->SetLightColor(clrBorder);
  pHighlight->SetShadowColor(clrBorder);
  pHighlight->SetHotFaceColor(clrHot);
  pHighlight->SetPressedFaceColor(clrPressed);
}

void CXTButton::ToggleImages() {
  if (CXTButtonTheme* pTheme = GetTheme()) pTheme->SetShowImages(!pTheme->GetShowImages());
  if (GetSafeHwnd() != NULL) Invalidate(FALSE);
}

CFont* CXTButton::SetButtonFont(CFont* pFont) {
  CFont* pOld = GetSafeHwnd() != NULL ? GetFont() : NULL;
  if (GetSafeHwnd() != NULL) SendMessage(WM_SETFONT, (WPARAM)pFont->GetSafeHandle(), TRUE);
  return pOld;
}

void CXTButton::ResetImage() {
  if (m_pIcon != NULL) m_pIcon->Refresh();
}

void CXTButton::GetButtonText(CString& strText, BOOL bStrip) {
  GetWindowText(strText);
  if (bStrip) XTStripMnemonics(strText);
}

CSize CXTButton::GetImageSize() {
  CXTButtonTheme* pTheme = GetTheme();
  return (pTheme == NULL || pTheme->GetShowImages()) ? m_sizeImage : CSize(0, 0);
}

CPoint CXTButton::GetImagePoint() {
  CXTButtonTheme* pTheme = GetTheme();
  return (pTheme == NULL || pTheme->GetShowImages()) ? m_ptImage : CPoint(0, 0);
}

CPoint CXTButton::GetTextPoint() {
  CXTButtonTheme* pTheme = GetTheme();
  return (pTheme == NULL || pTheme->GetShowImages()) ? m_ptText : CPoint(0, 0);
}
