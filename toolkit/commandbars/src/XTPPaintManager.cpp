// The paint manager base: the colour table, the shared geometry helpers, the current
// global instance and the base behaviour of its drawing interface.
//
// Bodies marked "interim" measure nothing and draw nothing; the full drawing replaces them.
#include <framework.h>

#include "XTPColorManager.h"
#include "XTPPaintManager.h"

IMPLEMENT_DYNAMIC(CXTPPaintManager, CCmdTarget)

CXTPPaintManager* CXTPPaintManager::s_pInstance = NULL;

namespace {
// The global paint manager is released at process exit.
struct CGlobalPaintManagerRelease {
  ~CGlobalPaintManagerRelease() { CXTPPaintManager::SetCustomTheme(NULL); }
} g_releaseAtExit;
}  // namespace

// ---------------------------------------------------------------------------------------
void CXTPPaintManagerFont::SetStandardFont(const LOGFONT* pLogFont) {
  if (pLogFont == NULL || (!m_bStandardFont && GetSafeHandle() != NULL)) return;
  DeleteObject();
  CreateFontIndirect(pLogFont);
}

void CXTPPaintManagerFont::SetCustomFont(const LOGFONT* pLogFont) {
  m_bStandardFont = FALSE;
  DeleteObject();
  if (pLogFont != NULL) CreateFontIndirect(pLogFont);
}

// ---------------------------------------------------------------------------------------
CXTPPaintManager::CXTPPaintManager()
    : m_clrStatusTextGrayColor(0),
      m_clrStatusTextColor(0),
      m_bThickCheckMark(FALSE),
      m_nTextHeight(0),
      m_bUseTahoma(FALSE),
      m_bUseStandardFont(TRUE),
      m_nCurrentTheme(0),
      m_iconsInfo{FALSE, FALSE, FALSE, FALSE},
      m_nAnimationSteps(10),
      m_nAnimationTime(100),
      m_nUnderlineOverride(-1),
      m_nColorSchemeChoice(5),
      m_bShowShadow(TRUE),
      m_bThemeShadow(FALSE),
      m_clrShadowColor(RGB(0, 0, 0)) {}

CXTPPaintManager::~CXTPPaintManager() {
  if (s_pInstance == this) s_pInstance = NULL;
}

CXTPPaintManager* AFX_CDECL CXTPPaintManager::GetCurrentPaintManager() { return s_pInstance; }

void AFX_CDECL CXTPPaintManager::SetCustomTheme(CXTPPaintManager* pTheme) {
  CXTPPaintManager* pOld = s_pInstance;
  s_pInstance = pTheme;
  if (pOld != NULL && pOld != pTheme) pOld->InternalRelease();
  if (pTheme != NULL) {
    pTheme->m_nCurrentTheme = 5;
    pTheme->RefreshMetrics();
  }
}

COLORREF CXTPPaintManager::GetColor(int nIndex) const {
  if (nIndex < 0 || nIndex >= XTP_PAINTMANAGER_COLORS) return (COLORREF)nIndex;
  return m_arrColor[nIndex].GetColor();
}

void CXTPPaintManager::SetColors(int nCount, const int* pIndices, const COLORREF* pColors) {
  if (pIndices == NULL || pColors == NULL) return;
  for (int i = 0; i < nCount; i++) {
    if (pIndices[i] >= 0 && pIndices[i] < XTP_PAINTMANAGER_COLORS)
      m_arrColor[pIndices[i]].SetStandardValue(pColors[i]);
  }
}

void CXTPPaintManager::SetColorOverride(int nIndex, COLORREF clr) {
  if (nIndex >= 0 && nIndex < XTP_PAINTMANAGER_COLORS) m_arrColor[nIndex].SetCustomValue(clr);
}

void CXTPPaintManager::RefreshMetrics() {
  XTPRefreshColors();
  for (int i = 0; i < XTP_PAINTMANAGER_COLORS; i++)
    m_arrColor[i].SetStandardValue(XTPGetColorManager()->GetColor(i));
  m_clrStatusTextGrayColor = 0;
  m_clrStatusTextColor = GetColor(COLOR_BTNTEXT);
  m_clrDisabledIcon.SetStandardValue(GetColor(COLOR_BTNFACE), GetColor(COLOR_BTNSHADOW), 0.5f);
}

// ---- Shared geometry -------------------------------------------------------------------
void CXTPPaintManager::Triangle(CDC* pDC, CPoint pt0, CPoint pt1, CPoint pt2, COLORREF clr) {
  if (pDC == NULL) return;
  CPen pen(PS_SOLID, 1, clr);
  CBrush brush(clr);
  CPen* pOldPen = pDC->SelectObject(&pen);
  CBrush* pOldBrush = pDC->SelectObject(&brush);
  const POINT pts[3] = {pt0, pt1, pt2};
  pDC->Polygon(pts, 3);
  pDC->SelectObject(pOldBrush);
  pDC->SelectObject(pOldPen);
}

void CXTPPaintManager::Line(CDC* pDC, CPoint p0, CPoint p1, int nPen) {
  if (pDC == NULL) return;
  CPen pen(PS_SOLID, 1, GetColor(nPen));
  CPen* pOld = pDC->SelectObject(&pen);
  pDC->MoveTo(p0);
  pDC->LineTo(p1);
  pDC->SelectObject(pOld);
}

void CXTPPaintManager::DrawRect(CDC* pDC, CRect rc, int nBrush, int nPen) {
  if (pDC == NULL) return;
  if (nBrush != -1) pDC->FillSolidRect(rc, GetColor(nBrush));
  if (nPen != nBrush && nPen != -1) pDC->Draw3dRect(rc, GetColor(nPen), GetColor(nPen));
}

void CXTPPaintManager::Draw3dRect(CDC* pDC, CRect rc, int nTopLeft, int nBottomRight) {
  if (pDC != NULL) pDC->Draw3dRect(rc, GetColor(nTopLeft), GetColor(nBottomRight));
}

void CXTPPaintManager::GradientFill(CDC* pDC, LPCRECT lpRect, COLORREF crFrom, COLORREF crTo,
                                    BOOL bHorz, LPCRECT lpRectClip) {
  CXTPDrawHelpers::GradientFill(pDC, lpRect, crFrom, crTo, bHorz, lpRectClip);
}

// ---- Base behaviour of the drawing interface --------------------------------------------
void CXTPPaintManager::DrawControlFrame(CDC*, CXTPControl*) {}
CRect CXTPPaintManager::GetCommandBarBorders(CXTPCommandBar*) { return CRect(2, 2, 2, 2); }
void CXTPPaintManager::FillDockBar(CDC* pDC, CWnd* pWnd) {
  if (pDC == NULL || pWnd == NULL || pWnd->GetSafeHwnd() == NULL) return;
  CRect rc;
  pWnd->GetClientRect(&rc);
  pDC->FillSolidRect(rc, GetColor(COLOR_BTNFACE));
}
void CXTPPaintManager::FillStatusBar(CDC* pDC, CWnd* pWnd) { FillDockBar(pDC, pWnd); }
void CXTPPaintManager::DrawStatusBarPaneBorder(CDC* pDC, CRect rc) {
  Draw3dRect(pDC, rc, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
}
BOOL CXTPPaintManager::IsFlatDisabledText() const { return FALSE; }
CFont* CXTPPaintManager::GetControlFont(CXTPCommandBar*, BOOL bBold) {
  return bBold ? &m_fontRegularBold : &m_fontRegular;
}
void CXTPPaintManager::PrepareCaption(CString&) {}

// Interim bodies.
CSize CXTPPaintManager::DrawToolbarItem(CDC*, CXTPControl*, BOOL) { return CSize(0, 0); }
void CXTPPaintManager::DrawSplitItemFrame(CDC*, CXTPControl*, CRect) {}
void CXTPPaintManager::DrawStatusBarPane(CDC*, CRect, CXTPStatusBarPane*) {}
void CXTPPaintManager::DrawStatusBarGripper(CDC*, CRect) {}
CSize CXTPPaintManager::DrawSpecialControl(CDC*, XTPSpecialControl, CXTPControl*, CXTPCommandBar*, BOOL, LPVOID) {
  return CSize(0, 0);
}
void CXTPPaintManager::DrawCheckMark(CDC*, CRect, COLORREF, BOOL) {}
void CXTPPaintManager::DrawDropDownArrow(CDC*, CRect, COLORREF) {}
void CXTPPaintManager::Animate(CDC*, CDC*, CRect, XTPAnimationType) {}
void CXTPPaintManager::AnimateExpanding(CXTPCommandBar*, CDC*, CDC*, BOOL) {}
