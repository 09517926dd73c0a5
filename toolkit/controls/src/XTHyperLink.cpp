// The hyperlink static control.
#include <framework.h>

#include <vector>

#include "XTHyperLink.h"
#include "XTPColorManager.h"
#include "XTPDrawHelpers.h"
#include "XTPResourceManager.h"

IMPLEMENT_DYNAMIC(CXTHyperLink, CStatic)

namespace {
const UINT_PTR kHoverTimer = 1;
const UINT kCursorHand = 9973;
const UINT kStringOpenErrorFirst = 9037;
const UINT kStringOpenErrorUnknown = 9050;

// String ids of the shell's open error codes, in the order of kOpenErrorCodes.
const int kOpenErrorCodes[] = {0, 2, 3, 5, 8, 11, 26, 27, 28, 29, 30, 31, 32};
}  // namespace

BEGIN_MESSAGE_MAP(CXTHyperLink, CStatic)
  ON_WM_CREATE()
  ON_WM_NCHITTEST()
  ON_WM_SETCURSOR()
  ON_WM_MOUSEMOVE()
  ON_WM_TIMER()
  ON_WM_CTLCOLOR_REFLECT()
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
  ON_WM_WINDOWPOSCHANGED()
  ON_CONTROL_REFLECT_EX(STN_CLICKED, OnClicked)
END_MESSAGE_MAP()

CXTHyperLink::CXTHyperLink()
    : m_bShellExec(1),
      m_bPreSubclassInit(1),
      m_bUnderline(1),
      m_bMouseOver(0),
      m_bVisited(0),
      m_bShowToolTip(1),
      m_hcurHand(::LoadCursorW(NULL, IDC_HAND)),
      m_clrLink(RGB(0x00, 0x00, 0xFF)),
      m_clrHover(RGB(0xFF, 0x00, 0x00)),
      m_clrVisited(RGB(0x80, 0x00, 0x80)),
      m_clrBack((COLORREF)-1) {
  if (m_hcurHand == NULL) m_hcurHand = XTPGetResourceManager()->LoadCursor(kCursorHand);
}

CXTHyperLink::~CXTHyperLink() {}

BOOL CXTHyperLink::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CStatic::PreCreateWindow(cs)) return FALSE;
  m_bPreSubclassInit = 0;
  return TRUE;
}

void CXTHyperLink::PreSubclassWindow() {
  CStatic::PreSubclassWindow();
  if (m_bPreSubclassInit) Initialize();
}

int CXTHyperLink::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CStatic::OnCreate(lpCreateStruct) == -1) return -1;
  Initialize();
  return 0;
}

BOOL CXTHyperLink::Initialize() {
  if (GetSafeHwnd() == NULL) return FALSE;
  if (IsTextControl()) {
    if (m_strLink.IsEmpty()) GetWindowText(m_strLink);
    SetAddress(m_strLink);
  }
  ModifyStyle(0, SS_NOTIFY);
  SetLinkFont();
  return TRUE;
}

void CXTHyperLink::SetAddress(LPCTSTR lpszLink) {
  m_strLink = lpszLink != NULL ? lpszLink : _T("");
  if (m_strTipText.IsEmpty()) m_strTipText = m_strLink;
  if (m_strTipText.IsEmpty() || GetSafeHwnd() == NULL) return;
  if (m_toolTip.GetSafeHwnd() != NULL) {
    m_toolTip.UpdateTipText(m_strLink, this);
  } else if (m_toolTip.Create(this)) {
    m_toolTip.AddTool(this, m_strTipText);
    m_toolTip.Activate(m_bShowToolTip);
  }
}

void CXTHyperLink::SetColors(COLORREF clrLink, COLORREF clrVisited, COLORREF clrHover) {
  m_clrLink = clrLink;
  m_clrVisited = clrVisited;
  m_clrHover = clrHover;
  if (GetSafeHwnd() != NULL) RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CXTHyperLink::SetVisited(BOOL bVisited) {
  m_bVisited = bVisited ? 1 : 0;
  if (GetSafeHwnd() != NULL) RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CXTHyperLink::SetUnderline(BOOL bUnderline) {
  m_bUnderline = bUnderline ? 1 : 0;
  SetLinkFont();
}

void CXTHyperLink::SetBackColor(COLORREF clrBack) {
  m_clrBack = clrBack;
  if (GetSafeHwnd() != NULL) RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

COLORREF CXTHyperLink::GetBackColor() const {
  return m_clrBack == (COLORREF)-1 ? XTPGetColorManager()->GetColor(COLOR_BTNFACE) : m_clrBack;
}

BOOL CXTHyperLink::IsTextControl() {
  if (GetSafeHwnd() == NULL) return FALSE;
  return (GetStyle() & 0xFF) < 3;
}

CRect CXTHyperLink::GetTextArea() {
  CRect rc;
  GetClientRect(&rc);
  if (!IsTextControl()) return rc;
  CString strText;
  GetWindowText(strText);
  CClientDC dc(this);
  CFont* pOldFont = dc.SelectObject(GetFont());
  const CSize size = dc.GetTextExtent(strText);
  dc.SelectObject(pOldFont);
  const int nSpare = rc.Width() - size.cx;
  switch (GetStyle() & 0xFF) {
    case SS_CENTER:
      rc.left += nSpare / 2;
      rc.right = rc.left + size.cx;
      break;
    case SS_RIGHT:
      rc.left = rc.right - size.cx;
      break;
    default:
      rc.right = rc.left + size.cx;
      break;
  }
  return rc;
}

BOOL CXTHyperLink::IsCursorOverText() {
  if (!IsTextControl()) return TRUE;
  CPoint pt;
  ::GetCursorPos(&pt);
  ScreenToClient(&pt);
  return GetTextArea().PtInRect(pt);
}

BOOL CXTHyperLink::CreateLinkFont(CFont& font, BOOL bUnderline) {
  LOGFONT lf = {};
  CFont* pWndFont = GetSafeHwnd() != NULL ? GetFont() : NULL;
  if (pWndFont != NULL && pWndFont->GetSafeHandle() != NULL && pWndFont != &font) {
    pWndFont->GetLogFont(&lf);
  } else if (pWndFont == &font && font.GetSafeHandle() != NULL) {
    font.GetLogFont(&lf);
  } else {
    NONCLIENTMETRICSW ncm = {};
    ncm.cbSize = sizeof(ncm);
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) return FALSE;
    lf = ncm.lfStatusFont;
  }
  lf.lfUnderline = (BYTE)(bUnderline ? 1 : 0);
  font.DeleteObject();
  return font.CreateFontIndirect(&lf);
}

BOOL CXTHyperLink::SetLinkFont() {
  if (!CreateLinkFont(m_font, m_bUnderline) || GetSafeHwnd() == NULL) return FALSE;
  SetFont(&m_font, TRUE);
  RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  return TRUE;
}

LRESULT CXTHyperLink::OnNcHitTest(CPoint) { return HTCLIENT; }

BOOL CXTHyperLink::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) {
  if (m_hcurHand != NULL && IsCursorOverText()) {
    ::SetCursor(m_hcurHand);
    return TRUE;
  }
  return CStatic::OnSetCursor(pWnd, nHitTest, message);
}

void CXTHyperLink::OnMouseMove(UINT nFlags, CPoint point) {
  if (IsTextControl() && GetTextArea().PtInRect(point)) SetTimer(kHoverTimer, 10, NULL);
  CStatic::OnMouseMove(nFlags, point);
}

void CXTHyperLink::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != kHoverTimer) {
    CStatic::OnTimer(nIDEvent);
    return;
  }
  if (!IsTextControl()) {
    KillTimer(kHoverTimer);
    return;
  }
  if (IsCursorOverText()) {
    m_bMouseOver = 1;
  } else if (m_bMouseOver) {
    KillTimer(kHoverTimer);
    m_bMouseOver = 0;
  } else {
    m_bMouseOver = 1;
  }
  RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

HBRUSH CXTHyperLink::CtlColor(CDC* pDC, UINT) {
  if (!IsTextControl()) return NULL;
  pDC->SetTextColor(m_bMouseOver ? m_clrHover : (m_bVisited ? m_clrVisited : m_clrLink));
  pDC->SetBkMode(TRANSPARENT);
  return (HBRUSH)::GetStockObject(NULL_BRUSH);
}

void CXTHyperLink::OnPaint() {
  if (GetExStyle() & WS_EX_TRANSPARENT) {
    Default();
    return;
  }
  CPaintDC dc(this);
  CRect rc;
  GetClientRect(&rc);
  CXTMemDC memDC(&dc, rc, GetBackColor());
  if (!IsTextControl() || !m_bUnderline || !DrawUnderlinedText(&memDC)) DefWindowProc(WM_PAINT, (WPARAM)memDC.m_hDC, 0);
}

// An underlined font's own underline may reach past the text it is drawn with (where the
// glyphs' drawn advances and the measured extent disagree). The text is drawn here with
// the font's plain twin, each character at the place the measurement gives it, and
// underlined across exactly that measured width.
BOOL CXTHyperLink::DrawUnderlinedText(CDC* pDC) {
  CString strText;
  GetWindowText(strText);
  const int nLength = strText.GetLength();
  // Mnemonic prefixes are the static control's to draw.
  if (nLength == 0 || (!(GetStyle() & SS_NOPREFIX) && strText.Find(L'&') >= 0)) return FALSE;
  LOGFONT lf = {};
  if (m_font.GetSafeHandle() == NULL || !m_font.GetLogFont(&lf)) return FALSE;
  lf.lfUnderline = 0;
  CFont plain;
  if (!plain.CreateFontIndirect(&lf)) return FALSE;
  const CRect rcText = GetTextArea();
  CFont* pOldFont = pDC->SelectObject(&plain);
  std::vector<int> fit(nLength), dx(nLength);
  SIZE extent = {};
  if (!::GetTextExtentExPointW(pDC->m_hDC, strText.GetString(), nLength, 0, nullptr, fit.data(), &extent)) {
    pDC->SelectObject(pOldFont);
    return FALSE;
  }
  for (int i = 0; i < nLength; ++i) dx[i] = fit[i] - (i > 0 ? fit[i - 1] : 0);
  const COLORREF clrText = m_bMouseOver ? m_clrHover : (m_bVisited ? m_clrVisited : m_clrLink);
  pDC->SetTextColor(clrText);
  pDC->SetBkMode(TRANSPARENT);
  pDC->SetTextAlign(TA_LEFT | TA_TOP);
  ::ExtTextOutW(pDC->m_hDC, rcText.left, rcText.top, ETO_CLIPPED, &rcText, strText.GetString(), nLength, dx.data());
  TEXTMETRIC tm = {};
  pDC->GetTextMetrics(&tm);
  const int y = rcText.top + tm.tmAscent + 1;
  CPen pen(PS_SOLID, 1, clrText);
  CPen* pOldPen = pDC->SelectObject(&pen);
  pDC->MoveTo(rcText.left, y);
  pDC->LineTo(rcText.left + extent.cx, y);
  pDC->SelectObject(pOldPen);
  pDC->SelectObject(pOldFont);
  return TRUE;
}

BOOL CXTHyperLink::OnEraseBkgnd(CDC*) { return TRUE; }

void CXTHyperLink::OnWindowPosChanged(WINDOWPOS* lpwndpos) {
  CStatic::OnWindowPosChanged(lpwndpos);
  RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

BOOL CXTHyperLink::OnClicked() {
  const BOOL bText = IsTextControl();
  if (IsCursorOverText()) {
    if (m_bShellExec)
      m_bVisited = OpenAddress(NULL, SW_SHOW, NULL, NULL) ? 1 : 0;
    else
      m_bVisited = 1;
    if (m_toolTip.GetSafeHwnd() != NULL && m_bShowToolTip) m_toolTip.Pop();
    RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
  // A text control lets its parent see the click too.
  return bText ? FALSE : TRUE;
}

BOOL CXTHyperLink::OpenAddress(LPCTSTR lpszFileName, int nShowCmd, LPCTSTR lpszParameters, LPCTSTR lpszDirectory) {
  CString strFile = lpszFileName != NULL ? CString(lpszFileName) : m_strLink;
  const INT_PTR nResult =
      (INT_PTR)::ShellExecuteW(NULL, L"open", strFile, lpszParameters, lpszDirectory, nShowCmd);
  if (nResult > 32) return TRUE;
  ShowOpenError((int)nResult);
  return FALSE;
}

CString CXTHyperLink::GetOpenErrorText(int nCode) {
  UINT nStringID = kStringOpenErrorUnknown;
  for (size_t i = 0; i < sizeof(kOpenErrorCodes) / sizeof(kOpenErrorCodes[0]); i++)
    if (kOpenErrorCodes[i] == nCode) nStringID = kStringOpenErrorFirst + (UINT)i;
  CString strText;
  XTPGetResourceManager()->LoadString(&strText, nStringID);
  if (nStringID == kStringOpenErrorUnknown) {
    CString strFormat = strText;
    strText.Format(strFormat, nCode);
  }
  return strText;
}

void CXTHyperLink::ShowOpenError(int nCode) {
  ::MessageBeep(MB_ICONEXCLAMATION);
  AfxMessageBox(GetOpenErrorText(nCode), MB_ICONEXCLAMATION);
}

BOOL CXTHyperLink::PreTranslateMessage(MSG* pMsg) {
  if (m_toolTip.GetSafeHwnd() != NULL && m_bShowToolTip) m_toolTip.RelayEvent(pMsg);
  return CStatic::PreTranslateMessage(pMsg);
}
