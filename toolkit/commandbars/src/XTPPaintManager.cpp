// The paint manager base: the colour table, the fonts, the shared geometry helpers, the
// current global instance, control text, check marks, arrows, special buttons, the status
// bar pieces and the popup animations.
#include <framework.h>

#include <algorithm>
#include <vector>

#include "XTPColorManager.h"
#include "XTPCommandBar.h"
#include "XTPControl.h"
#include "XTPControlPopup.h"
#include "XTPControls.h"
#include "XTPDefaultTheme.h"
#include "XTPImageManager.h"
#include "XTPPaintManager.h"
#include "XTPStatusBar.h"
#include "XTPSystemVersion.h"
#include "XTPVisualStylesTheme.h"

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

void AFX_CDECL CXTPPaintManager::SetTheme(int nTheme) {
  CXTPPaintManager* pTheme = NULL;
  if (nTheme == 3)
    pTheme = new CXTPVisualStylesTheme();
  else
    pTheme = new CXTPDefaultTheme();
  SetCustomTheme(pTheme);
  pTheme->m_nCurrentTheme = nTheme;
}

CXTPPaintManager* AFXAPI XTPPaintManager() {
  if (CXTPPaintManager::GetCurrentPaintManager() == NULL) CXTPPaintManager::SetTheme(0);
  return CXTPPaintManager::GetCurrentPaintManager();
}

int CXTPPaintManager::GetColorScheme() const {
  if (m_nColorSchemeChoice == 5)
    return XTPGetColorManager()->IsLunaColorsDisabled() ? 0 : XTPGetColorManager()->GetCurrentTheme();
  if (m_nColorSchemeChoice == 4) return XTPGetColorManager()->GetSystemTheme();
  return m_nColorSchemeChoice;
}

// ---- Fonts ------------------------------------------------------------------------------
void AFX_CDECL CXTPPaintManager::MakeStandardLogFont(const LOGFONT& lfMenu, BYTE nCharSet,
                                                     LOGFONT* pLogFont) {
  if (pLogFont == NULL) return;
  ZeroMemory(pLogFont, sizeof(LOGFONT));
  pLogFont->lfCharSet = nCharSet;
  pLogFont->lfHeight = lfMenu.lfHeight;
  if (pLogFont->lfHeight < 0 && pLogFont->lfHeight > -11) pLogFont->lfHeight = -11;
  pLogFont->lfWeight = lfMenu.lfWeight;
  pLogFont->lfItalic = lfMenu.lfItalic;
  lstrcpyn(pLogFont->lfFaceName, lfMenu.lfFaceName, LF_FACESIZE);
}

void CXTPPaintManager::RefreshFonts() {
  CXTPNonClientMetrics ncm;
  if (m_bUseStandardFont) {
    CWindowDC dc(NULL);
    const int nCharSet = ::GetTextCharsetInfo(dc.GetSafeHdc(), NULL, 0);
    LOGFONT lf;
    MakeStandardLogFont(ncm.lfMenuFont, (BYTE)(nCharSet == DEFAULT_CHARSET ? 0 : nCharSet), &lf);
    SetFontIndirect(&lf, TRUE);
  }
  m_fontSmCaption.SetStandardFont(&ncm.lfSmCaptionFont);
  LOGFONT lfIcon;
  ZeroMemory(&lfIcon, sizeof(lfIcon));
  if (!::SystemParametersInfo(SPI_GETICONTITLELOGFONT, sizeof(LOGFONT), &lfIcon, 0))
    lfIcon = ncm.lfMessageFont;
  m_fontIcon.SetStandardFont(&lfIcon);
  lfIcon.lfWeight = FW_BOLD;
  m_fontIconBold.SetStandardFont(&lfIcon);
}

void CXTPPaintManager::SetFontIndirect(const LOGFONT* pLogFont, BOOL bStandardFont) {
  m_bUseStandardFont = bStandardFont;
  if (pLogFont == NULL) return;
  LOGFONT lf = *pLogFont;
  m_fontRegular.DeleteObject();
  m_fontRegularBold.DeleteObject();
  m_fontVert.DeleteObject();
  m_fontVertBold.DeleteObject();
  m_fontIconBold.DeleteObject();
  if (lstrcmpi(lf.lfFaceName, _T("Tahoma")) == 0) m_bUseTahoma = TRUE;
  if (lf.lfCharSet <= 2 && bStandardFont && m_bUseTahoma && CXTPDrawHelpers::FontExists(_T("Tahoma")))
    lstrcpyn(lf.lfFaceName, _T("Tahoma"), LF_FACESIZE);
  m_fontRegular.CreateFontIndirect(&lf);
  LOGFONT lfBold = lf;
  lfBold.lfWeight = FW_BOLD;
  m_fontRegularBold.CreateFontIndirect(&lfBold);
  LOGFONT lfVert = lf;
  lfVert.lfEscapement = 2700;
  lfVert.lfOrientation = 900;
  const CString strVertFace = CXTPDrawHelpers::GetDefaultFontName(m_bUseTahoma);
  lstrcpyn(lfVert.lfFaceName, strVertFace, LF_FACESIZE);
  m_fontVert.CreateFontIndirect(&lfVert);
  lfVert.lfWeight = FW_BOLD;
  m_fontVertBold.CreateFontIndirect(&lfVert);

  CWindowDC dc(NULL);
  CFont* pOld = dc.SelectObject(&m_fontRegular);
  m_nTextHeight = dc.GetTextExtent(_T(" "), 1).cy + 6;
  dc.SelectObject(pOld);
}

void CXTPPaintManager::RefreshMetrics() {
  RefreshFonts();
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
// The control's popup is open (popup kinds only).
static BOOL IsControlPopuped(CXTPControl* pControl) {
  const XTPControlType type = pControl->GetType();
  if (type != xtpControlPopup && type != xtpControlButtonPopup && type != xtpControlSplitButtonPopup)
    return FALSE;
  return static_cast<CXTPControlPopup*>(pControl)->GetPopupOpen();
}

static int ControlBarPosition(CXTPControl* pControl) {
  CXTPCommandBar* pBar = pControl->GetParent();
  return pBar != NULL ? (int)pBar->GetPosition() : (int)xtpBarTop;
}

void CXTPPaintManager::DrawControlFrame(CDC* pDC, CXTPControl* pControl) {
  if (pDC == NULL || pControl == NULL) return;
  DrawItemFrame(pDC, pControl->GetRect(), pControl->GetEnabled(), pControl->GetSelected(),
                pControl->GetPressed(), pControl->GetChecked(), IsControlPopuped(pControl),
                ControlBarPosition(pControl));
}
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
CFont* CXTPPaintManager::GetControlFont(CXTPCommandBar* pBar, BOOL bBold) {
  if (pBar != NULL && pBar->IsVerticalPosition()) return bBold ? &m_fontVertBold : &m_fontVert;
  return bBold ? &m_fontRegularBold : &m_fontRegular;
}
void CXTPPaintManager::PrepareCaption(CString&) {}

// ---- Control text ---------------------------------------------------------------------
CSize CXTPPaintManager::DrawControlText(CDC* pDC, const CString& strText, CRect rcText,
                                        BOOL bDraw, BOOL bVert, BOOL bCentered,
                                        BOOL bTriangled, BOOL bEmbossed, BOOL bUnderline) {
  if (pDC == NULL) return CSize(0, 0);
  if (m_nUnderlineOverride >= 0) bUnderline = m_nUnderlineOverride;
  CString strStripped(strText);
  CXTPDrawHelpers::StripMnemonics(strStripped);
  const CString strMeasure = strStripped.IsEmpty() ? CString(_T(" ")) : strStripped;
  const CSize szText = pDC->GetTextExtent(strMeasure, strMeasure.GetLength());

  if (!bDraw) {
    CSize sz = szText;
    if (bTriangled) sz.cx += 10;
    if (bVert) sz = CSize(sz.cy, sz.cx);
    return sz;
  }

  const int w = szText.cx + (bTriangled ? 5 : 0);
  if (!bVert) {
    if (bCentered) rcText.left += (rcText.Width() - w) / 2;
    if (bEmbossed) {
      const COLORREF clrText = pDC->GetTextColor();
      pDC->SetTextColor(GetColor(COLOR_BTNHIGHLIGHT));
      CRect rcEmboss(rcText);
      rcEmboss.OffsetRect(1, 1);
      pDC->DrawText(strStripped, rcEmboss, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
      pDC->SetTextColor(clrText);
    }
    if (bUnderline)
      pDC->DrawText(strText, rcText, DT_SINGLELINE | DT_VCENTER);
    else
      pDC->DrawText(strStripped, rcText, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
    if (bTriangled) {
      const int y = (rcText.top + rcText.bottom) / 2 - 1;
      const int x = rcText.left + w;
      Triangle(pDC, CPoint(x - 2, y), CPoint(x + 2, y), CPoint(x, y + 2), pDC->GetTextColor());
    }
  } else {
    const int nTextHeight = szText.cy;
    CRect rc(rcText);
    rc.left = rcText.right - (rcText.right - nTextHeight - rcText.left + 1) / 2;
    if (bCentered) rc.top += (rcText.Height() - w + 1) / 2;
    if (bEmbossed) {
      const COLORREF clrText = pDC->GetTextColor();
      pDC->SetTextColor(GetColor(COLOR_BTNHIGHLIGHT));
      CRect rcEmboss(rc);
      rcEmboss.OffsetRect(1, 1);
      pDC->DrawText(strStripped, rcEmboss, DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE);
      pDC->SetTextColor(clrText);
    }
    pDC->DrawText(strStripped, rc, DT_NOPREFIX | DT_NOCLIP | DT_SINGLELINE);
    if (bTriangled) {
      const int x = (rcText.left + rcText.right) / 2 + 2;
      const int y = rc.top + w;
      Triangle(pDC, CPoint(x, y - 2), CPoint(x, y + 2), CPoint(x - 2, y), pDC->GetTextColor());
    }
  }
  return CSize(0, 0);
}

// ---- Split buttons --------------------------------------------------------------------
void CXTPPaintManager::DrawSplitItemFrame(CDC* pDC, CXTPControl* pControl, CRect rc) {
  if (pDC == NULL || pControl == NULL) return;
  const BOOL bPopuped = IsControlPopuped(pControl);
  const BOOL bEnabled = pControl->GetEnabled();
  const int nPosition = ControlBarPosition(pControl);
  CRect rcMain(rc);
  if (!bPopuped) rcMain.right -= 11;
  DrawItemFrame(pDC, rcMain, bEnabled, pControl->GetSelected(), pControl->GetPressed(),
                pControl->GetChecked(), bPopuped, nPosition);
  const COLORREF clrText = pDC->GetTextColor();
  if ((pControl->GetSelected() || pControl->GetPressed()) && !bPopuped && bEnabled) {
    CRect rcArrow(rc.right - 12, rc.top, rc.right, rc.bottom);
    DrawItemFrame(pDC, rcArrow, TRUE, TRUE, FALSE, FALSE, FALSE, nPosition);
    pDC->SetTextColor(clrText);
  }
  const int y = rc.CenterPoint().y;
  Triangle(pDC, CPoint(rc.right - 9, y - 1), CPoint(rc.right - 5, y - 1),
           CPoint(rc.right - 7, y + 1), pDC->GetTextColor());
}

// ---- Special controls -------------------------------------------------------------------
// Two chevrons of 1-pixel strokes: pointing down (bDown) at (x, y) or pointing right.
static void DrawChevrons(CDC* pDC, int x, int y, BOOL bDown, COLORREF clr) {
  CPen pen(PS_SOLID, 1, clr);
  CPen* pOld = pDC->SelectObject(&pen);
  for (int k = 0; k < 2; k++) {
    const int o = k * 4;
    for (int i = 0; i < 2; i++) {
      if (bDown) {
        pDC->MoveTo(x - 2, y + o + i);
        pDC->LineTo(x, y + o + i + 2);
        pDC->LineTo(x + 3, y + o + i - 1);
      } else {
        pDC->MoveTo(x + o + i, y - 2);
        pDC->LineTo(x + o + i + 2, y);
        pDC->LineTo(x + o + i - 1, y + 3);
      }
    }
  }
  pDC->SelectObject(pOld);
}

CSize CXTPPaintManager::DrawSpecialControl(CDC* pDC, XTPSpecialControl controlType,
                                           CXTPControl* pButton, CXTPCommandBar* pBar,
                                           BOOL bDraw, LPVOID lpParam) {
  if (pDC == NULL || pButton == NULL) return CSize(0, 0);
  const int nPosition = pBar != NULL ? (int)pBar->GetPosition() : (int)xtpBarTop;
  const BOOL bVertical = nPosition == xtpBarLeft || nPosition == xtpBarRight || nPosition == xtpBarPopup;
  if (controlType == xtpButtonExpandToolbar) {
    if (!bDraw) {
      if (lpParam == NULL) return CSize(0, 0);
      const CSize szBar = *static_cast<const CSize*>(lpParam);
      if (bVertical)
        pButton->SetRect(CRect(2, szBar.cy - 13, szBar.cx - 2, szBar.cy - 2));
      else
        pButton->SetRect(CRect(szBar.cx - 13, 2, szBar.cx - 2, szBar.cy - 2));
      return CSize(0, 0);
    }
    const BOOL bHidden = lpParam != NULL && *static_cast<const BOOL*>(lpParam);
    DrawControlFrame(pDC, pButton);
    const COLORREF clr = pDC->GetTextColor();
    const CRect rc = pButton->GetRect();
    if (bVertical) {
      Triangle(pDC, CPoint(rc.left + 6, rc.top + 3), CPoint(rc.left + 6, rc.top + 7),
               CPoint(rc.left + 4, rc.top + 5), clr);
      if (bHidden) DrawChevrons(pDC, rc.right - 9, rc.top + 5, FALSE, clr);
    } else {
      const int cx = rc.CenterPoint().x;
      Triangle(pDC, CPoint(cx - 2, rc.bottom - 7), CPoint(cx + 2, rc.bottom - 7),
               CPoint(cx, rc.bottom - 5), clr);
      if (bHidden) DrawChevrons(pDC, cx, rc.top + 3, TRUE, clr);
    }
    return CSize(0, 0);
  }
  if (controlType == xtpButtonExpandMenu) {
    if (bDraw) {
      DrawControlFrame(pDC, pButton);
      const CPoint pt = pButton->GetRect().CenterPoint();
      DrawChevrons(pDC, pt.x, pt.y - 4, TRUE, pDC->GetTextColor());
    }
    return CSize(0, 12);
  }
  if (!bDraw) return CSize(0, 0);
  const BOOL bHot = pButton->GetPressed() || pButton->GetSelected();
  if (controlType == xtpButtonClose) {
    DrawControlFrame(pDC, pButton);
    CFont font;
    CWindowDC dcScreen(NULL);
    const int nPointSize = MulDiv(80, 96, dcScreen.GetDeviceCaps(LOGPIXELSX));
    font.CreatePointFont(nPointSize, _T("Marlett"));
    CFont* pOld = pDC->SelectObject(&font);
    const COLORREF clrOld = pDC->GetTextColor();
    if (!bHot) pDC->SetTextColor(GetColor(COLOR_BTNHIGHLIGHT));
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    CRect rc = pButton->GetRect();
    pDC->DrawText(_T("r"), 1, rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    pDC->SetBkMode(nOldMode);
    pDC->SetTextColor(clrOld);
    pDC->SelectObject(pOld);
  } else if (controlType == xtpButtonOptions) {
    DrawControlFrame(pDC, pButton);
    const CPoint c = pButton->GetRect().CenterPoint();
    const COLORREF clr = (pButton->GetSelected() || IsControlPopuped(pButton))
                             ? pDC->GetTextColor()
                             : GetColor(COLOR_BTNHIGHLIGHT);
    Triangle(pDC, CPoint(c.x - 3, c.y - 2), CPoint(c.x + 3, c.y - 2), CPoint(c.x, c.y + 1), clr);
  }
  return CSize(0, 0);
}

// ---- Status bar ---------------------------------------------------------------------------
void CXTPPaintManager::DrawStatusBarGripper(CDC* pDC, CRect rcClient) {
  if (pDC == NULL) return;
  const int W = rcClient.Width(), H = rcClient.Height();
  const CPoint o = rcClient.TopLeft();
  for (int k = 0; k <= 8; k += 4) {
    Line(pDC, o + CPoint(W - 3 - k, H - 2), o + CPoint(W - 1, H - 4 - k), COLOR_BTNSHADOW);
    Line(pDC, o + CPoint(W - 4 - k, H - 2), o + CPoint(W - 1, H - 5 - k), COLOR_BTNSHADOW);
    Line(pDC, o + CPoint(W - 5 - k, H - 2), o + CPoint(W - 1, H - 6 - k), COLOR_BTNHIGHLIGHT);
  }
}

// ---- Check marks and arrows -----------------------------------------------------------------
void CXTPPaintManager::DrawCheckMark(CDC* pDC, CRect rcCheck, COLORREF clr, BOOL bLayoutRTL) {
  if (pDC == NULL) return;
  CPen pen(PS_SOLID, 1, clr);
  CPen* pOld = pDC->SelectObject(&pen);
  const int nPasses = m_bThickCheckMark ? 2 : 1;
  for (int pass = 0; pass < nPasses; pass++) {
    const int cx = rcCheck.left + rcCheck.Width() / 2;
    const int cy = rcCheck.top + rcCheck.Height() / 2 + pass;
    if (bLayoutRTL) {
      const POINT a[3] = {{cx - 4, cy - 3}, {cx, cy + 1}, {cx + 3, cy - 2}};
      const POINT b[3] = {{cx - 4, cy - 2}, {cx, cy + 2}, {cx + 3, cy - 1}};
      pDC->Polyline(a, 3);
      pDC->Polyline(b, 3);
    } else {
      const POINT a[3] = {{cx - 4, cy - 1}, {cx - 2, cy + 1}, {cx + 3, cy - 4}};
      const POINT b[3] = {{cx - 4, cy}, {cx - 2, cy + 2}, {cx + 3, cy - 3}};
      pDC->Polyline(a, 3);
      pDC->Polyline(b, 3);
    }
  }
  pDC->SelectObject(pOld);
}

void CXTPPaintManager::DrawDropDownArrow(CDC* pDC, CRect rc, COLORREF clr) {
  if (pDC == NULL) return;
  int s = rc.Width() / 2;
  s = s > 5 ? s - 4 : 2;
  const int cx = rc.CenterPoint().x;
  const int y = rc.CenterPoint().y - s / 2;
  Triangle(pDC, CPoint(cx - s, y), CPoint(cx + s, y), CPoint(cx, y + s), clr);
}

// ---- Animations ---------------------------------------------------------------------------
// A 32-bit top-down DIB section of the size, selected into its own memory DC.
namespace {
struct CDibPicture {
  CDC dc;
  HBITMAP hBitmap = NULL;
  HGDIOBJ hOld = NULL;
  DWORD* pBits = NULL;
  CDibPicture(CDC* pRef, int cx, int cy) {
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pv = NULL;
    hBitmap = ::CreateDIBSection(pRef->GetSafeHdc(), &bmi, DIB_RGB_COLORS, &pv, NULL, 0);
    pBits = static_cast<DWORD*>(pv);
    dc.CreateCompatibleDC(pRef);
    if (hBitmap != NULL) hOld = ::SelectObject(dc.GetSafeHdc(), hBitmap);
  }
  ~CDibPicture() {
    if (hOld != NULL) ::SelectObject(dc.GetSafeHdc(), hOld);
    if (hBitmap != NULL) ::DeleteObject(hBitmap);
  }
  BOOL IsValid() const { return hBitmap != NULL && pBits != NULL; }
};
}  // namespace

void CXTPPaintManager::Animate(CDC* pDestDC, CDC* pSrcDC, CRect rc, XTPAnimationType animationType) {
  if (pDestDC == NULL || pSrcDC == NULL || rc.IsRectEmpty()) return;
  const int nSteps = m_nAnimationSteps;
  const int nStepTime = nSteps > 0 ? m_nAnimationTime / nSteps : 0;
  const int cx = rc.Width(), cy = rc.Height();
  if (animationType == xtpAnimateUnfold || animationType == xtpAnimateSlide) {
    for (int k = 1; k <= nSteps; k++) {
      const int h = cy * k / nSteps;
      const int w = animationType == xtpAnimateUnfold ? cx * k / nSteps : cx;
      pDestDC->BitBlt(rc.left, rc.top, w, h, pSrcDC, rc.right - w, rc.bottom - h, SRCCOPY);
      ::GdiFlush();
      ::Sleep(nStepTime);
    }
  } else if (animationType == xtpAnimateFade) {
    if (nSteps < 2) return;
    CDibPicture source(pDestDC, cx, cy), target(pDestDC, cx, cy), blend(pDestDC, cx, cy);
    if (!source.IsValid() || !target.IsValid() || !blend.IsValid()) return;
    source.dc.BitBlt(0, 0, cx, cy, pSrcDC, rc.left, rc.top, SRCCOPY);
    target.dc.BitBlt(0, 0, cx, cy, pDestDC, rc.left, rc.top, SRCCOPY);
    ::GdiFlush();
    const size_t nPixels = (size_t)cx * (size_t)cy;
    for (int k = 1; k < nSteps; k++) {
      const DWORD dwStart = ::GetTickCount();
      const int a = 255 * k / nSteps;
      for (size_t i = 0; i < nPixels; i++) {
        const DWORD s = source.pBits[i], t = target.pBits[i];
        DWORD out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
          const DWORD cs = (s >> shift) & 0xFF, ct = (t >> shift) & 0xFF;
          out |= (((cs * a + ct * (255 - a)) / 256) & 0xFF) << shift;
        }
        blend.pBits[i] = out;
      }
      pDestDC->BitBlt(rc.left, rc.top, cx, cy, &blend.dc, 0, 0, SRCCOPY);
      ::GdiFlush();
      const DWORD dwSpent = ::GetTickCount() - dwStart;
      if ((int)dwSpent < nStepTime) ::Sleep(nStepTime - dwSpent);
    }
  }
}

// ---- Controls -----------------------------------------------------------------------------
CSize CXTPPaintManager::DrawControl(CDC* pDC, CXTPControl* pControl, BOOL bDraw) {
  if (pDC == NULL || pControl == NULL) return CSize(0, 0);
  if (pControl->GetType() == xtpControlEdit) return DrawEditItem(pDC, pControl, bDraw);
  if (pControl->GetType() == xtpControlComboBox) return DrawComboItem(pDC, pControl, bDraw);
  CXTPCommandBar* pBar = pControl->GetParent();
  if (pBar != NULL && pBar->GetType() == xtpBarTypePopup) return DrawPopupItem(pDC, pControl, bDraw);
  return DrawToolbarItem(pDC, pControl, bDraw);
}

// The bar's icon size (16 x 16 when it has none) and its button size (icon + 7).
static CSize BarIconSize(CXTPCommandBar* pBar) {
  const CSize sz = pBar != NULL ? pBar->GetIconSize() : CSize(0, 0);
  return (sz.cx > 0 && sz.cy > 0) ? sz : CSize(16, 16);
}

BOOL CXTPPaintManager::ControlShowsIcon(CXTPControl* pControl) {
  switch (pControl->GetEffectiveStyle()) {
    case xtpButtonCaption:
      return FALSE;
    case xtpButtonIcon:
    case xtpButtonIconAndCaption:
      return TRUE;
    default:
      return pControl->GetType() != xtpControlPopup;
  }
}

CXTPImageManagerIcon* CXTPPaintManager::ControlImage(CXTPControl* pControl, int nWidth) {
  if (!ControlShowsIcon(pControl)) return NULL;
  if (pControl->GetCustomIconId() == 0 && pControl->GetIconId() <= 0 && pControl->GetID() == 0) return NULL;
  return pControl->GetImage(nWidth);
}

CSize CXTPPaintManager::DrawToolbarItem(CDC* pDC, CXTPControl* pControl, BOOL bDraw) {
  if (pDC == NULL || pControl == NULL) return CSize(0, 0);
  CXTPCommandBar* pBar = pControl->GetParent();
  const BOOL bVert = pBar != NULL && pBar->IsVerticalPosition();
  const CSize szIcon = BarIconSize(pBar);
  const CSize szButton(szIcon.cx + 7, szIcon.cy + 7);
  CFont* pOldFont = pDC->SelectObject(GetControlFont(pBar, pControl->GetDefaultItem()));

  CXTPImageManagerIcon* pImage = ControlImage(pControl, szIcon.cx);
  const BOOL bEmbossed = !pControl->GetEnabled() && !IsFlatDisabledText();
  const XTPControlType type = pControl->GetType();
  const BOOL bSplit = type == xtpControlSplitButtonPopup;
  if (bDraw) {
    if (bSplit)
      DrawSplitItemFrame(pDC, pControl, pControl->GetRect());
    else
      DrawControlFrame(pDC, pControl);
  }
  const BOOL bUnderline = pBar == NULL || pBar->IsKeyboardCuesVisible();
  CString strCaption = pControl->GetCaption();
  PrepareCaption(strCaption);
  const BOOL bPopupKind = type == xtpControlPopup || type == xtpControlButtonPopup || bSplit;
  // A menu bar's items open their menus without an arrow; popups on other bars show one.
  const BOOL bMenuBar = pBar != NULL && pBar->GetType() == xtpBarTypeMenuBar;
  const BOOL bTextArrow = bPopupKind && !bSplit && !bMenuBar;
  const CRect rc = pControl->GetRect();
  const BOOL bSelected = pControl->GetSelected(), bPressed = pControl->GetPressed();
  const BOOL bEnabled = pControl->GetEnabled(), bChecked = pControl->GetChecked();
  const BOOL bPopuped = IsControlPopuped(pControl);
  CSize szIconDrawn = szIcon;
  if (pImage != NULL && pImage->GetWidth() > 0)
    szIconDrawn.cy = szIcon.cx * pImage->GetHeight() / pImage->GetWidth();
  CSize szResult(0, 0);

  if (pBar != NULL && pBar->GetShowTextBelowIcons() == 1 && pImage != NULL) {
    if (bDraw) {
      DrawImage(pDC, CPoint(rc.CenterPoint().x - szIcon.cx / 2, rc.top + 4), szIconDrawn, pImage,
                bSelected, bPressed, bEnabled, bChecked, bPopuped, TRUE);
      CRect rcText(rc.left, rc.top + szButton.cy - 4, rc.right, rc.bottom);
      if (bSplit) rcText.right -= 11;
      DrawControlText(pDC, strCaption, rcText, TRUE, FALSE, TRUE, bTextArrow, bEmbossed, bUnderline);
    }
    const CSize szText = DrawControlText(pDC, strCaption, rc, FALSE, FALSE, TRUE, bTextArrow);
    szResult.cy = szButton.cy + m_nTextHeight;
    szResult.cx = std::max<int>(szButton.cx, szText.cx + 10) + (bSplit ? 11 : 0);
    szResult.cx = std::max<int>(szResult.cx, szResult.cy);
    pDC->SelectObject(pOldFont);
    return szResult;
  }

  if (bDraw && pImage != NULL) {
    const CPoint pt = bVert ? CPoint(rc.CenterPoint().x - szIcon.cx / 2, rc.top + 4)
                            : CPoint(rc.left + 3, rc.CenterPoint().y - szIconDrawn.cy / 2);
    DrawImage(pDC, pt, szIconDrawn, pImage, bSelected, bPressed, bEnabled, bChecked, bPopuped, TRUE);
  }
  // Icon and text side by side (or one below the other on vertical bars).
  auto iconAndText = [&](CRect rcText, int nExtraWidth) {
    const BOOL bIcon = pImage != NULL;
    const CSize szText = DrawControlText(pDC, strCaption, rcText, FALSE, bVert, FALSE, FALSE);
    CSize sz;
    if (!bVert) {
      rcText.left += bIcon ? szButton.cx - 1 : 4;
      sz = CSize((bIcon ? szButton.cx + 3 : 7) + szText.cx, std::max<int>(szButton.cy, m_nTextHeight + 6));
    } else {
      rcText.top += bIcon ? szButton.cy : 4;
      sz = CSize(std::max<int>(szButton.cx, m_nTextHeight + 6), (bIcon ? szButton.cx + 3 : 7) + szText.cy);
    }
    if (bDraw) DrawControlText(pDC, strCaption, rcText, TRUE, bVert, FALSE, FALSE, bEmbossed, bUnderline);
    sz.cx += nExtraWidth;
    return sz;
  };
  switch (type) {
    case xtpControlButton:
    case xtpControlButtonPopup:
    case xtpControlLabel:
      if (pControl->ShowsCaption()) {
        szResult = iconAndText(rc, 0);
        if (pImage == NULL) szResult = CSize(std::max<int>(szResult.cx, 23), std::max<int>(szResult.cy, 23));
      } else {
        szResult = szButton;
      }
      break;
    case xtpControlPopup:
      if (pImage == NULL) {
        CSize szText = DrawControlText(pDC, strCaption, rc, FALSE, bVert, FALSE, bTextArrow);
        if (bDraw) DrawControlText(pDC, strCaption, rc, TRUE, bVert, TRUE, bTextArrow, bEmbossed, bUnderline);
        szResult = CSize(szText.cx + 6, szText.cy + 6);
      } else if (pControl->ShowsCaption()) {
        szResult = iconAndText(rc, 0);
      } else {
        if (bDraw && !bMenuBar) {
          const int c = rc.CenterPoint().y;
          Triangle(pDC, CPoint(rc.right - 9, c - 1), CPoint(rc.right - 5, c - 1),
                   CPoint(rc.right - 7, c + 1), pDC->GetTextColor());
        }
        szResult = CSize(szButton.cy + 7, szButton.cy);
      }
      break;
    case xtpControlSplitButtonPopup:
      if (pImage == NULL && !pControl->ShowsCaption()) {
        szResult = CSize(23 + 11, 23);
      } else if (pControl->ShowsCaption()) {
        CRect rcText(rc);
        rcText.right -= 11;
        szResult = iconAndText(rcText, 11);
        if (pImage == NULL) szResult = CSize(std::max<int>(szResult.cx, 23 + 11), std::max<int>(szResult.cy, 23));
      } else {
        szResult = CSize(szButton.cx + 11, szButton.cy);
      }
      break;
    default:
      break;
  }
  pDC->SelectObject(pOldFont);
  return szResult;
}

// ---- Status bar panes and the expanding animation ----------------------------------------
void CXTPPaintManager::DrawStatusBarPane(CDC* pDC, CRect rc, CXTPStatusBarPane* pPane) {
  if (pDC == NULL || pPane == NULL) return;
  const UINT nStyle = pPane->GetStyle();
  if (pPane->GetBackgroundColor() != (COLORREF)-1) {
    CRect rcFill(rc);
    if ((nStyle & SBPS_NOBORDERS) == 0) rcFill.DeflateRect(1, 1);
    pDC->FillSolidRect(rcFill, pPane->GetBackgroundColor());
  }
  CFont* pFont = pPane->GetTextFont();
  CFont* pOldFont = pFont != NULL ? pDC->SelectObject(pFont) : NULL;
  rc.DeflateRect(2, 1);
  const BOOL bEnabled = (nStyle & SBPS_DISABLED) == 0;
  const CString strText = pPane->GetText();
  CXTPImageManagerIcon* pImage = pPane->GetImage();
  const int cxImage = pImage != NULL ? pImage->GetWidth() : 0;
  const int cyImage = pImage != NULL ? pImage->GetHeight() : 0;
  const int cxText = strText.IsEmpty() ? 0 : pDC->GetTextExtent(strText).cx;
  const int cxContent = cxText + cxImage + (strText.IsEmpty() ? 0 : 2);
  int x = rc.left;
  if (cxContent < rc.Width()) {
    if (pPane->GetTextAlignment() == 1)
      x = rc.left + (rc.Width() - cxContent) / 2;
    else if (pPane->GetTextAlignment() == 2)
      x = rc.right - cxContent;
  }
  CRect rcText(x, rc.top, rc.right, rc.bottom);
  if (pImage != NULL) {
    if (cxImage <= rc.right - x && cyImage <= rc.Height()) {
      const CPoint pt(x, rc.top + (rc.Height() - cyImage) / 2);
      if (bEnabled)
        pImage->Draw(pDC, pt);
      else
        pImage->Draw(pDC, pt, pImage->GetDisabledIcon(), cxImage, cyImage);
    }
    rcText.left += cxImage + 2;
  }
  if (bEnabled && !strText.IsEmpty()) {
    pDC->SetBkMode(TRANSPARENT);
    const COLORREF clrPane = pPane->GetTextColor();
    pDC->SetTextColor(clrPane != (COLORREF)-1 ? clrPane : m_clrStatusTextColor);
    CString strDraw(strText);
    pDC->DrawText(strDraw, rcText, DT_NOPREFIX | DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER);
  }
  if (pOldFont != NULL) pDC->SelectObject(pOldFont);
}
void CXTPPaintManager::AnimateExpanding(CXTPCommandBar* pCommandBar, CDC* pDestDC, CDC* pSrcDC,
                                        BOOL bExpandDown) {
  if (pCommandBar == NULL || pDestDC == NULL || pSrcDC == NULL || pCommandBar->GetSafeHwnd() == NULL) return;
  const int nSteps = m_nAnimationSteps;
  if (nSteps < 1) return;
  CXTPControls* pControls = pCommandBar->GetControls();
  if (pControls == NULL) return;
  // Runs of visible controls with the same short-menu mark, in order.
  struct Run {
    int top, bottom;
    BOOL bMarked;
  };
  std::vector<Run> runs;
  for (int i = 0; i < pControls->GetCount(); i++) {
    CXTPControl* pControl = pControls->GetAt(i);
    if (pControl == NULL || pControl->GetHideFlags() != 0) continue;
    const CRect rc = pControl->GetRect();
    if (!runs.empty() && runs.back().bMarked == pControl->GetShortMenuMark() && rc.top >= runs.back().top) {
      runs.back().bottom = std::max<int>(runs.back().bottom, rc.bottom);
    } else {
      runs.push_back({rc.top, rc.bottom, pControl->GetShortMenuMark()});
    }
  }
  CRect rcClient;
  pCommandBar->GetClientRect(&rcClient);
  const int cx = rcClient.Width();
  if (runs.empty()) {
    pDestDC->BitBlt(0, 0, cx, rcClient.Height(), pSrcDC, 0, 0, SRCCOPY);
    return;
  }
  const int nStepTime = m_nAnimationTime / nSteps;
  for (int k = 1; k <= nSteps; k++) {
    // The height each run shows at this step.
    std::vector<int> heights;
    for (const Run& run : runs) {
      const int h = run.bMarked ? (run.bottom - run.top) * k / nSteps : run.bottom - run.top;
      heights.push_back(h);
    }
    const int nTop = runs.front().top, nBottom = runs.back().bottom;
    if (bExpandDown) {
      pDestDC->BitBlt(0, 0, cx, nTop, pSrcDC, 0, 0, SRCCOPY);
      int y = nTop;
      for (size_t i = 0; i < runs.size(); i++) {
        if (heights[i] > 0)
          pDestDC->StretchBlt(0, y, cx, heights[i], pSrcDC, 0, runs[i].top, cx, runs[i].bottom - runs[i].top, SRCCOPY);
        y += heights[i];
      }
      pDestDC->BitBlt(0, y, cx, rcClient.bottom - nBottom, pSrcDC, 0, nBottom, SRCCOPY);
    } else {
      pDestDC->BitBlt(0, nBottom, cx, rcClient.bottom - nBottom, pSrcDC, 0, nBottom, SRCCOPY);
      int y = nBottom;
      for (size_t i = runs.size(); i-- > 0;) {
        y -= heights[i];
        if (heights[i] > 0)
          pDestDC->StretchBlt(0, y, cx, heights[i], pSrcDC, 0, runs[i].top, cx, runs[i].bottom - runs[i].top, SRCCOPY);
      }
      pDestDC->BitBlt(0, y - nTop, cx, nTop, pSrcDC, 0, 0, SRCCOPY);
    }
    ::GdiFlush();
    ::Sleep(nStepTime);
  }
}
