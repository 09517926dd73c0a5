// The ten appearance sets of a tab strip.
#include "XTPTabAppearanceSets.h"

#include <algorithm>
#include <vector>

#include "XTPTabColorSets.h"
#include "XTPTabInternal.h"
#include "XTPTabManager.h"
#include "XTPTabPaintManager.h"

namespace {

const COLORREF kNone = static_cast<COLORREF>(-1);

// A tab seen as if its strip lay at the top: u runs along the strip from the tab's start,
// v across it from the outer edge towards the page. Maps figures drawn in those
// coordinates to the tab's real place.
class TabFrame {
 public:
  TabFrame(const CRect& rc, int nPosition) : m_rc(rc), m_nPos(nPosition) {
    const BOOL bHorizontal = CXTPTabPaintManager::IsHorizontal(nPosition);
    W = bHorizontal ? rc.Width() : rc.Height();
    H = bHorizontal ? rc.Height() : rc.Width();
  }
  // A rectangle (u, v, w, h) in frame units to client coordinates.
  CRect MapRect(int u, int v, int w, int h) const {
    switch (m_nPos) {
      case xtpTabPosBottom: return CRect(m_rc.left + u, m_rc.bottom - v - h, m_rc.left + u + w, m_rc.bottom - v);
      case xtpTabPosLeft: return CRect(m_rc.left + v, m_rc.top + u, m_rc.left + v + h, m_rc.top + u + w);
      case xtpTabPosRight: return CRect(m_rc.right - v - h, m_rc.top + u, m_rc.right - v, m_rc.top + u + w);
      default: return CRect(m_rc.left + u, m_rc.top + v, m_rc.left + u + w, m_rc.top + v + h);
    }
  }
  // A pixel's coordinates.
  CPoint MapPixel(int u, int v) const {
    CRect rc = MapRect(u, v, 1, 1);
    return rc.TopLeft();
  }
  // A polygon corner (edges, not pixels).
  CPoint MapEdge(int u, int v) const {
    switch (m_nPos) {
      case xtpTabPosBottom: return CPoint(m_rc.left + u, m_rc.bottom - v);
      case xtpTabPosLeft: return CPoint(m_rc.left + v, m_rc.top + u);
      case xtpTabPosRight: return CPoint(m_rc.right - v, m_rc.top + u);
      default: return CPoint(m_rc.left + u, m_rc.top + v);
    }
  }
  void Fill(CDC* pDC, int u, int v, int w, int h, COLORREF clr) const {
    if (clr == kNone || w <= 0 || h <= 0) return;
    pDC->FillSolidRect(MapRect(u, v, w, h), clr);
  }
  // A one-pixel line from pixel a to pixel b (b not drawn), in a pen of clr.
  void Line(CDC* pDC, int u1, int v1, int u2, int v2, COLORREF clr) const {
    if (clr == kNone) return;
    HPEN hPen = ::CreatePen(PS_SOLID, 1, clr);
    HGDIOBJ hOld = ::SelectObject(pDC->m_hDC, hPen);
    const CPoint a = MapPixel(u1, v1), b = MapPixel(u2, v2);
    ::MoveToEx(pDC->m_hDC, a.x, a.y, nullptr);
    ::LineTo(pDC->m_hDC, b.x, b.y);
    ::SelectObject(pDC->m_hDC, hOld);
    ::DeleteObject(hPen);
  }

  int W = 0;
  int H = 0;

 private:
  CRect m_rc;
  int m_nPos;
};

COLORREF Clr(const CXTPColorRecord& rec) { return CXTPTabColorSet::Color(rec); }

}  // namespace

// =======================================================================================
// Base

CXTPTabAppearanceSet::CXTPTabAppearanceSet()
    : m_rcHeaderMargin(0, 0, 0, 0), m_nRowSpacing(-2), m_nRowHeight(0), m_pPaintManager(nullptr), m_bFrontToBack(FALSE) {}

CXTPTabAppearanceSet::~CXTPTabAppearanceSet() = default;

CXTPTabAppearanceSet* CXTPTabAppearanceSet::Create(int nAppearance) {
  switch (nAppearance) {
    case 1: return new CXTPTabAppearanceSetRaisedSelected();
    case 2: return new CXTPTabAppearanceSetRounded();
    case 3: return new CXTPTabAppearanceSetSlantStart();
    case 4: return new CXTPTabAppearanceSetFlat();
    case 5: return new CXTPTabAppearanceSetFlatJoined();
    case 6: return new CXTPTabAppearanceSetBox();
    case 7: return new CXTPTabAppearanceSetSlanted();
    case 8: return new CXTPTabAppearanceSetBars();
    case 9: return new CXTPTabAppearanceSetTrapezoid();
    default: return new CXTPTabAppearanceSetRaised();
  }
}

CXTPTabColorSet* CXTPTabAppearanceSet::GetColorSet() const {
  return m_pPaintManager ? m_pPaintManager->GetColorSet() : nullptr;
}

void CXTPTabAppearanceSet::RefreshMetrics() {
  int cy = 0;
  HDC hDC = ::GetDC(nullptr);
  if (hDC) {
    HGDIOBJ hOld = nullptr;
    if (m_pPaintManager && m_pPaintManager->GetNormalFont()->GetSafeHandle())
      hOld = ::SelectObject(hDC, m_pPaintManager->GetNormalFont()->GetSafeHandle());
    SIZE sz = {0, 0};
    ::GetTextExtentPoint32W(hDC, L" ", 1, &sz);
    cy = sz.cy;
    if (hOld) ::SelectObject(hDC, hOld);
    ::ReleaseDC(nullptr, hDC);
  }
  m_nRowHeight = std::max(cy + 3, 18);
}

CRect CXTPTabAppearanceSet::GetHeaderRect(CRect rc, CXTPTabManager* pManager) {
  const int nPos = m_pPaintManager->GetPosition();
  const int nRows = std::max(1, pManager->GetRowCount());
  const CRect rcMargin = GetHeaderMargin();
  int nRowsTerm = nRows * GetButtonHeight(pManager) + (nRows - 1) * m_nRowSpacing;
  if (m_pPaintManager->GetLayout() == xtpTabLayoutRotated) {
    int nLongest = 0;
    for (int i = 0; i < pManager->GetItemCount(); i++) nLongest = std::max(nLongest, pManager->GetItem(i)->GetLength());
    nRowsTerm = std::max(nRowsTerm, nLongest);
  }
  const int nThickness = nRowsTerm + rcMargin.top + rcMargin.bottom;
  switch (nPos) {
    case xtpTabPosLeft: return CRect(rc.left, rc.top, rc.left + nThickness, rc.bottom);
    case xtpTabPosBottom: return CRect(rc.left, rc.bottom - nThickness, rc.right, rc.bottom);
    case xtpTabPosRight: return CRect(rc.right - nThickness, rc.top, rc.right, rc.bottom);
    default: return CRect(rc.left, rc.top, rc.right, rc.top + nThickness);
  }
}

CRect CXTPTabAppearanceSet::GetClientRect(CRect rc, CXTPTabManager* pManager) {
  const CRect rcHeader = GetHeaderRect(rc, pManager);
  switch (m_pPaintManager->GetPosition()) {
    case xtpTabPosLeft: rc.left = rcHeader.right - 1; break;
    case xtpTabPosBottom: rc.bottom = rcHeader.top + 1; break;
    case xtpTabPosRight: rc.right = rcHeader.left + 1; break;
    default: rc.top = rcHeader.bottom - 1; break;
  }
  return rc;
}

CRect CXTPTabAppearanceSet::GetHeaderMargin() { return m_rcHeaderMargin; }

CRect CXTPTabAppearanceSet::GetClientMargin() { return m_pPaintManager->m_rcClientMargin; }

int CXTPTabAppearanceSet::GetItemLength(CDC* pDC, CXTPTabManagerItem* pItem) {
  return m_pPaintManager->DrawSingleButton(pDC, pItem, CRect(0, 0, 0, 0), FALSE);
}

int CXTPTabAppearanceSet::GetButtonHeight(const CXTPTabManager* pManager) {
  const CRect& bm = m_pPaintManager->m_rcButtonMargin;
  int nHeight = bm.top + bm.bottom + m_nRowHeight;
  CSize szItem;
  pManager->GetItemMetrics(&szItem, nullptr, nullptr);
  nHeight = std::max(nHeight, static_cast<int>(szItem.cy));
  if (m_pPaintManager->m_bShowIcons) {
    const CSize szIcon = m_pPaintManager->m_szIcon;
    nHeight = std::max(nHeight, static_cast<int>(bm.top + bm.bottom + std::max(szIcon.cx, szIcon.cy) + 4));
  }
  return nHeight;
}

void CXTPTabAppearanceSet::DrawTabControl(CXTPTabManager* pManager, CDC* pDC, CRect rc) {
  m_pPaintManager->DrawTabControlGeneric(pManager, pDC, rc);
}

CRect CXTPTabAppearanceSet::FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) {
  const CRect rcHeader = GetHeaderRect(rc, pManager);
  GetColorSet()->FillHeader(pDC, rcHeader, pManager);
  return rcHeader;
}

CRect CXTPTabAppearanceSet::FillHeaderFrame(CDC* pDC, CRect rc, CXTPTabManager* pManager) {
  CXTPTabColorSet* pColors = GetColorSet();
  const CRect rcHeader = GetHeaderRect(rc, pManager);
  pColors->FillHeader(pDC, rcHeader, pManager);
  const CRect rcClient = GetClientRect(rc, pManager);
  const int nFrame = m_pPaintManager->m_nClientFrame;
  if (nFrame == xtpTabClientFrameFull) {
    pColors->FillClient(pDC, rcClient, pManager);
    const COLORREF clrFrame = Clr(pColors->m_clrFrame);
    if (clrFrame != kNone) pDC->Draw3dRect(rcClient, clrFrame, clrFrame);
  } else if (nFrame == xtpTabClientFrameEdge) {
    pColors->FillClient(pDC, rcClient, pManager);
    const COLORREF clrFrame = Clr(pColors->m_clrFrame);
    DrawEdge(pDC, rcClient, m_pPaintManager->GetPosition(), clrFrame, clrFrame);
  }
  return rcHeader;
}

void CXTPTabAppearanceSet::RepositionTabControl(CXTPTabManager* pManager, CDC* pDC, CRect rc) {
  m_pPaintManager->RepositionGeneric(pManager, pDC, rc);
}

void CXTPTabAppearanceSet::AdjustClientRect(CXTPTabManager* pManager, CRect& rcClient) {
  const int nPos = m_pPaintManager->GetPosition();
  CXTPTabPaintManager::DeflateRectEx(rcClient, m_pPaintManager->m_rcControlMargin, nPos);
  rcClient = GetClientRect(rcClient, pManager);
  CXTPTabPaintManager::DeflateRectEx(rcClient, GetClientMargin(), nPos);
  switch (m_pPaintManager->m_nClientFrame) {
    case xtpTabClientFrameFull:
      rcClient.DeflateRect(2, 2);
      break;
    case xtpTabClientFrameEdge:
      CXTPTabPaintManager::DeflateRectEx(rcClient, CRect(0, 2, 0, 0), nPos);
      break;
    default:
      break;
  }
}

void CXTPTabAppearanceSet::DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) {
  GetColorSet()->FillItem(pDC, pItem->GetRect(), pItem);
  m_pPaintManager->DrawSingleButton(pDC, pItem, pItem->GetRect(), TRUE);
}

void CXTPTabAppearanceSet::DrawFrameStep(CDC* pDC, CRect& rc, int nStep) {
  CXTPTabColorSet* pColors = GetColorSet();
  const COLORREF clrHeader = pColors->m_grcHeader.GetStartColor();
  if (!m_pPaintManager->m_bStaticFrame) {
    if (nStep == 1) rc.InflateRect(2, 2);
    if ((nStep == 2 || nStep == 3) && clrHeader != kNone) pDC->FillSolidRect(rc, clrHeader);
    return;
  }
  switch (nStep) {
    case 0: {
      const COLORREF clrFace = XTPTabColor(COLOR_3DFACE);
      pDC->Draw3dRect(rc, clrFace, clrFace);
      CRect rcInner = rc;
      rcInner.DeflateRect(1, 1);
      const COLORREF clrFrame = Clr(pColors->m_clrFrame), clrLight = Clr(pColors->m_clrLight);
      if (clrFrame != kNone && clrLight != kNone) pDC->Draw3dRect(rcInner, clrFrame, clrLight);
      break;
    }
    case 1:
      rc.top -= 1;
      break;
    case 2:
      if (clrHeader != kNone) pDC->FillSolidRect(rc.right - 1, rc.top, 1, rc.Height(), clrHeader);
      break;
    case 3:
      if (clrHeader != kNone) pDC->FillSolidRect(rc.left, rc.bottom - 1, rc.Width(), 1, clrHeader);
      break;
    default:
      break;
  }
}

int CXTPTabAppearanceSet::GetSupportedColorSets() { return 1; }

int CXTPTabAppearanceSet::GetDefaultColorSet() { return 1; }

void CXTPTabAppearanceSet::DrawEdge(CDC* pDC, CRect rc, int nPosition, COLORREF clrTopLeft, COLORREF clrBottomRight) {
  switch (nPosition) {
    case xtpTabPosTop:
      if (clrTopLeft != kNone) pDC->FillSolidRect(rc.left, rc.top, rc.Width(), 1, clrTopLeft);
      break;
    case xtpTabPosLeft:
      if (clrTopLeft != kNone) pDC->FillSolidRect(rc.left, rc.top, 1, rc.Height(), clrTopLeft);
      break;
    case xtpTabPosBottom:
      if (clrBottomRight != kNone) pDC->FillSolidRect(rc.left, rc.bottom - 1, rc.Width(), 1, clrBottomRight);
      break;
    default:
      if (clrBottomRight != kNone) pDC->FillSolidRect(rc.right - 1, rc.top, 1, rc.Height(), clrBottomRight);
      break;
  }
}

COLORREF CXTPTabAppearanceSet::FillPolygon(CDC* pDC, const POINT* pts, int nCount, BOOL bRelative,
                                           CXTPTabManagerItem* pItem) {
  if (nCount < 3) return kNone;
  std::vector<POINT> points(pts, pts + nCount);
  if (bRelative) {
    for (int i = 1; i < nCount; i++) {
      points[i].x += points[i - 1].x;
      points[i].y += points[i - 1].y;
    }
  }
  HRGN hRgn = ::CreatePolygonRgn(points.data(), nCount, WINDING);
  if (!hRgn) return kNone;
  // The region is in client coordinates; clip regions are in device units.
  POINT org = {0, 0};
  ::GetViewportOrgEx(pDC->m_hDC, &org);
  ::OffsetRgn(hRgn, org.x, org.y);
  RECT rcBox;
  ::GetRgnBox(hRgn, &rcBox);
  ::OffsetRect(&rcBox, -org.x, -org.y);
  const int nSaved = pDC->SaveDC();
  ::ExtSelectClipRgn(pDC->m_hDC, hRgn, RGN_AND);
  const COLORREF clr = GetColorSet()->FillItem(pDC, CRect(rcBox), pItem);
  pDC->RestoreDC(nSaved);
  ::DeleteObject(hRgn);
  return clr;
}

CPoint CXTPTabAppearanceSet::TurnPoint(CPoint pt, const CRect& rcItem, int nPosition) {
  return TabFrame(rcItem, nPosition).MapEdge(pt.x, pt.y);
}

// =======================================================================================
// Set 0, raised tabs

CXTPTabAppearanceSetRaised::CXTPTabAppearanceSetRaised() { m_rcHeaderMargin.SetRect(2, 3, 6, 0); }

CRect CXTPTabAppearanceSetRaised::GetClientMargin() {
  CRect rc = CXTPTabAppearanceSet::GetClientMargin();
  if (GetColorSet() && GetColorSet()->IsThemed() && m_pPaintManager->m_nClientFrame == xtpTabClientFrameFull) {
    rc.right += 2;
    const int nPos = m_pPaintManager->GetPosition();
    if (nPos == xtpTabPosTop || nPos == xtpTabPosLeft) rc.bottom += 2;
  }
  return rc;
}

CRect CXTPTabAppearanceSetRaised::FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) {
  CXTPTabColorSet* pColors = GetColorSet();
  const CRect rcHeader = GetHeaderRect(rc, pManager);
  pColors->FillHeader(pDC, rcHeader, pManager);
  const CRect rcClient = GetClientRect(rc, pManager);
  const int nFrame = m_pPaintManager->m_nClientFrame;
  if (nFrame == xtpTabClientFrameFull) {
    pColors->FillClient(pDC, rcClient, pManager);
    const COLORREF clrLight = Clr(pColors->m_clr3DHighlight), clrDark = Clr(pColors->m_clr3DDarkShadow);
    const COLORREF clrShadow = Clr(pColors->m_clr3DShadow);
    if (clrLight != kNone && clrDark != kNone) pDC->Draw3dRect(rcClient, clrLight, clrDark);
    // The inner shadow along the far and end sides.
    if (clrShadow != kNone) {
      pDC->FillSolidRect(rcClient.left + 1, rcClient.bottom - 2, rcClient.Width() - 2, 1, clrShadow);
      pDC->FillSolidRect(rcClient.right - 2, rcClient.top + 1, 1, rcClient.Height() - 2, clrShadow);
    }
  } else if (nFrame == xtpTabClientFrameEdge) {
    pColors->FillClient(pDC, rcClient, pManager);
    DrawEdge(pDC, rcClient, m_pPaintManager->GetPosition(), Clr(pColors->m_clr3DHighlight), Clr(pColors->m_clr3DDarkShadow));
  }
  return rcHeader;
}

void CXTPTabAppearanceSetRaised::DrawRaisedTab(CDC* pDC, CXTPTabManagerItem* pItem) {
  CXTPTabColorSet* pColors = GetColorSet();
  const int nPos = m_pPaintManager->GetPosition();
  CRect rc = pItem->GetRect();
  if (pItem->IsSelected()) {
    switch (nPos) {
      case xtpTabPosTop: rc.InflateRect(2, 2, 2, 0); break;
      case xtpTabPosLeft: rc.InflateRect(2, 2, 0, 2); break;
      default: rc.InflateRect(2, 2, 2, 2); break;
    }
  }
  const TabFrame f(rc, nPos);
  const int W = f.W, H = f.H;
  const COLORREF F = pColors->FillItem(pDC, f.MapRect(1, 1, W - 2, H - 2), pItem);
  const COLORREF clrH = Clr(pColors->m_clr3DHighlight), clrS = Clr(pColors->m_clr3DShadow),
                 clrD = Clr(pColors->m_clr3DDarkShadow);
  f.Fill(pDC, 0, 2, 1, H - 2, clrH);
  f.Fill(pDC, 1, 1, 1, 1, clrH);
  f.Fill(pDC, 2, 0, W - 4, 1, clrH);
  f.Fill(pDC, W - 2, 1, 1, 1, clrD);
  f.Fill(pDC, W - 1, 2, 1, H - 3, clrD);
  f.Fill(pDC, W - 2, 2, 1, H - 3, clrS);
  if (pItem->IsSelected() && pItem->GetRow() == 0 && F != kNone) f.Fill(pDC, 1, H - 1, W - 3, 1, F);
  m_pPaintManager->DrawSingleButton(pDC, pItem, rc, TRUE);
}

void CXTPTabAppearanceSetRaised::DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) { DrawRaisedTab(pDC, pItem); }

void CXTPTabAppearanceSetRaisedSelected::DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) {
  if (pItem->IsSelected() || pItem->IsHot())
    DrawRaisedTab(pDC, pItem);
  else
    m_pPaintManager->DrawSingleButton(pDC, pItem, pItem->GetRect(), TRUE);
}

// =======================================================================================
// Set 2, boxes with unpainted corners

CXTPTabAppearanceSetRounded::CXTPTabAppearanceSetRounded() : m_bExcludeCorners(TRUE), m_bRoundAll(FALSE) {
  m_rcHeaderMargin.SetRect(2, 2, 4, 0);
}

CRect CXTPTabAppearanceSetRounded::FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) {
  return FillHeaderFrame(pDC, rc, pManager);
}

void CXTPTabAppearanceSetRounded::DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) {
  CXTPTabColorSet* pColors = GetColorSet();
  const int nPos = m_pPaintManager->GetPosition();
  const CRect rcItem = pItem->GetRect();
  const TabFrame f(rcItem, nPos);
  const int nReach = pItem->IsSelected() ? 1 : 0;
  // The box: one pixel longer towards the end; the selected one reaches into the page.
  const CRect rcBox = f.MapRect(0, 0, f.W + 1, f.H + nReach);
  const CRect rcCorners = f.MapRect(0, 0, f.W + 1, f.H + nReach + 1);
  const int nSaved = pDC->SaveDC();
  if (m_bExcludeCorners) XTPTabExcludeCorners(pDC, rcCorners);
  pColors->FillItem(pDC, rcBox, pItem);
  const COLORREF clrFrame = Clr(pColors->m_clrFrame);
  if (clrFrame != kNone) {
    // The frame on the three sides away from the page.
    f.Fill(pDC, 0, 0, f.W + 1, 1, clrFrame);
    f.Fill(pDC, 0, 0, 1, f.H + nReach, clrFrame);
    f.Fill(pDC, f.W, 0, 1, f.H + nReach, clrFrame);
  }
  pDC->RestoreDC(nSaved);
  if (m_bExcludeCorners) {
    // The two outer corners are softened with their inner neighbours.
    const CPoint a = f.MapPixel(0, 0), b = f.MapPixel(f.W, 0);
    const CPoint na = f.MapPixel(1, 1), nb = f.MapPixel(f.W - 1, 1);
    const int records[8] = {a.x, a.y, na.x - a.x, na.y - a.y, b.x, b.y, nb.x - b.x, nb.y - b.y};
    XTPTabBlendPixelPairs(pDC, records, 4);
  }
  m_pPaintManager->DrawSingleButton(pDC, pItem, rcItem, TRUE);
}

// =======================================================================================
// Set 3, tabs with a slanted start

CXTPTabAppearanceSetSlantStart::CXTPTabAppearanceSetSlantStart() : m_bOption(FALSE) { m_rcHeaderMargin.SetRect(2, 3, 6, 0); }

CRect CXTPTabAppearanceSetSlantStart::GetHeaderMargin() {
  CRect rc = m_rcHeaderMargin;
  rc.left += m_nRowHeight;
  rc.right += m_nRowHeight;
  return rc;
}

CRect CXTPTabAppearanceSetSlantStart::FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) {
  return FillHeaderFrame(pDC, rc, pManager);
}

void CXTPTabAppearanceSetSlantStart::DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) {
  CXTPTabColorSet* pColors = GetColorSet();
  const int nPos = m_pPaintManager->GetPosition();
  const CRect rcItem = pItem->GetRect();
  const TabFrame f(rcItem, nPos);
  const int W = f.W, H = f.H;
  const POINT poly[4] = {f.MapEdge(-H, H), f.MapEdge(0, 0), f.MapEdge(W, 0), f.MapEdge(W, H)};
  const COLORREF F = FillPolygon(pDC, poly, 4, FALSE, pItem);
  const BOOL bSelected = pItem->IsSelected();
  const COLORREF clrOuter = Clr(bSelected ? pColors->m_clrSlantEdge[1] : pColors->m_clrSlantEdge[0]);
  const COLORREF clrInner = bSelected ? 0xFFFFFF : Clr(pColors->m_clrSlantEdge[3]);
  const COLORREF clrShadow = bSelected ? 0xFFFFFF : Clr(pColors->m_clrSlantEdge[2]);
  // Outline: slanted start, top and end side.
  f.Line(pDC, -H, H - 1, 0, 0, clrOuter);
  f.Line(pDC, 0, 0, W - 1, 0, clrOuter);
  f.Line(pDC, W - 1, 0, W - 1, H, clrOuter);
  // Inner light along the slant and the top, inner shadow along the end.
  f.Line(pDC, -H + 2, H - 1, 1, 1, clrInner);
  f.Line(pDC, 1, 1, W - 2, 1, clrInner);
  f.Line(pDC, W - 2, 2, W - 2, H, clrShadow);
  if (bSelected && F != kNone) f.Fill(pDC, -H + 1, H - 1, W + H - 2, 1, F);
  m_pPaintManager->DrawSingleButton(pDC, pItem, rcItem, TRUE);
}

// =======================================================================================
// Set 4, flat

CXTPTabAppearanceSetFlat::CXTPTabAppearanceSetFlat() {
  m_rcHeaderMargin.SetRect(2, 2, 4, 2);
  m_nRowSpacing = 0;
}

CRect CXTPTabAppearanceSetFlat::FillHeader(CDC*, CRect rc, CXTPTabManager* pManager) { return GetHeaderRect(rc, pManager); }

void CXTPTabAppearanceSetFlat::DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) {
  GetColorSet()->DrawFlatItem(pDC, pItem->GetRect(), pItem);
  m_pPaintManager->DrawSingleButton(pDC, pItem, pItem->GetRect(), TRUE);
}

// =======================================================================================
// Set 5, flat with the selected tab joined to the page

CXTPTabAppearanceSetFlatJoined::CXTPTabAppearanceSetFlatJoined() { m_rcHeaderMargin.SetRect(4, 2, 4, 0); }

CRect CXTPTabAppearanceSetFlatJoined::FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) {
  CXTPTabColorSet* pColors = GetColorSet();
  const int nPos = m_pPaintManager->GetPosition();
  const CRect rcHeader = GetHeaderRect(rc, pManager);
  pColors->FillHeader(pDC, rcHeader, pManager);
  const CRect rcClient = GetClientRect(rc, pManager);
  if (m_pPaintManager->m_nClientFrame != xtpTabClientFrameNone) {
    pColors->FillClient(pDC, rcClient, pManager);
    // The page's edge on the strip side, in the light colour (top/left) or frame colour.
    DrawEdge(pDC, rcClient, nPos, Clr(pColors->m_clrLight), Clr(pColors->m_clrFrame));
  }
  return rcHeader;
}

void CXTPTabAppearanceSetFlatJoined::DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) {
  CXTPTabColorSet* pColors = GetColorSet();
  const int nPos = m_pPaintManager->GetPosition();
  const CRect rcItem = pItem->GetRect();
  const TabFrame f(rcItem, nPos);
  if (pItem->IsSelected()) {
    // Filled and reaching one pixel into the page so no edge separates them.
    pColors->FillItem(pDC, f.MapRect(0, 0, f.W, f.H + 1), pItem);
    f.Fill(pDC, 0, 0, f.W, 1, Clr(pColors->m_clrLight));
    f.Fill(pDC, 0, 0, 1, f.H, Clr(pColors->m_clrLight));
    f.Fill(pDC, f.W - 1, 0, 1, f.H, Clr(pColors->m_clrFrame));
  } else if (!pItem->IsSelected()) {
    CXTPTabManagerItem* pNext = pItem->GetTabManager()->GetItem(pItem->GetIndex() + 1);
    if (!pNext || !pNext->IsSelected()) f.Fill(pDC, f.W - 1, 3, 1, f.H - 6, Clr(pColors->m_clrFrame));
  }
  m_pPaintManager->DrawSingleButton(pDC, pItem, rcItem, TRUE);
}

// =======================================================================================
// Set 6, framed boxes

CXTPTabAppearanceSetBox::CXTPTabAppearanceSetBox() { m_rcHeaderMargin.SetRect(2, 2, 4, 0); }

CRect CXTPTabAppearanceSetBox::FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) {
  return FillHeaderFrame(pDC, rc, pManager);
}

void CXTPTabAppearanceSetBox::DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) {
  CXTPTabColorSet* pColors = GetColorSet();
  const int nPos = m_pPaintManager->GetPosition();
  const CRect rcItem = pItem->GetRect();
  const TabFrame f(rcItem, nPos);
  const int nReach = pItem->IsSelected() ? 1 : 0;
  pColors->FillItem(pDC, f.MapRect(0, 0, f.W + 1, f.H + nReach), pItem);
  const COLORREF clrFrame = Clr(pColors->m_clrFrame);
  f.Fill(pDC, 0, 0, f.W + 1, 1, clrFrame);
  f.Fill(pDC, 0, 0, 1, f.H + nReach, clrFrame);
  f.Fill(pDC, f.W, 0, 1, f.H + nReach, clrFrame);
  m_pPaintManager->DrawSingleButton(pDC, pItem, rcItem, TRUE);
}

// =======================================================================================
// Set 7, slanted tabs

CXTPTabAppearanceSetSlanted::CXTPTabAppearanceSetSlanted() { m_rcHeaderMargin.SetRect(2, 3, 2, 0); }

CRect CXTPTabAppearanceSetSlanted::GetHeaderMargin() {
  CRect rc = m_rcHeaderMargin;
  rc.left += m_nRowHeight / 2;
  rc.right += m_nRowHeight / 2;
  return rc;
}

CRect CXTPTabAppearanceSetSlanted::FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) {
  return FillHeaderFrame(pDC, rc, pManager);
}

void CXTPTabAppearanceSetSlanted::SlantGeometry(const CRect& rcItem, CRect* prcShifted, int* pnSlant) {
  CRect rc = rcItem;
  rc.bottom -= 1;
  const int nShift = (rc.bottom - rc.top) / 4;
  rc.OffsetRect(-nShift, 0);
  if (prcShifted) *prcShifted = rc;
  if (pnSlant) *pnSlant = (rc.bottom - rc.top) / 2;
}

void CXTPTabAppearanceSetSlanted::DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) {
  CXTPTabColorSet* pColors = GetColorSet();
  const int nPos = m_pPaintManager->GetPosition();
  const CRect rcItem = pItem->GetRect();
  const TabFrame f(rcItem, nPos);
  // The figure in frame units, as for a top strip: (0, 0) .. (W, H).
  CRect rcShape;
  int e = 0;
  SlantGeometry(CRect(0, 0, f.W, f.H), &rcShape, &e);
  const int l = rcShape.left, t = rcShape.top, r = rcShape.right, b = rcShape.bottom;
  const POINT poly[4] = {f.MapEdge(l, b), f.MapEdge(l + e, b - 2 * e), f.MapEdge(r, b - 2 * e), f.MapEdge(r + e, b)};
  const COLORREF F = FillPolygon(pDC, poly, 4, FALSE, pItem);
  const BOOL bSelected = pItem->IsSelected();
  const CXTPColorRecord* edge = bSelected ? pColors->m_clrSelectedEdge : pColors->m_clrNormalEdge;
  const COLORREF clrOuterLight = Clr(edge[0]), clrOuterDark = Clr(edge[1]);
  const COLORREF clrInnerLight = Clr(edge[3]), clrInnerDark = Clr(edge[4]);
  f.Line(pDC, l + 1, b - 1, l + e + 1, t, clrInnerLight);
  f.Line(pDC, l + e, t + 1, r, t + 1, clrInnerLight);
  f.Line(pDC, r - 1, t, r + e - 1, b, clrInnerDark);
  f.Line(pDC, l, b - 1, l + e, t, clrOuterLight);
  f.Line(pDC, l + e, t, r, t, clrOuterLight);
  f.Line(pDC, r, t, r + e, b, clrOuterDark);
  if (nPos == xtpTabPosBottom || nPos == xtpTabPosRight) {
    // The long lines on the outer side of a mirrored tab.
    f.Line(pDC, l + e, t, r, t, Clr(edge[2]));
    f.Line(pDC, l + e, t + 1, r, t + 1, Clr(edge[5]));
  }
  if (bSelected && F != kNone) f.Fill(pDC, l, b, r + e - l, 1, F);
  m_pPaintManager->DrawSingleButton(pDC, pItem, rcItem, TRUE);
}

// =======================================================================================
// Set 8, stacked bars

CXTPTabAppearanceSetBars::CXTPTabAppearanceSetBars() { m_rcHeaderMargin.SetRect(0, 0, 0, 0); }

CRect CXTPTabAppearanceSetBars::GetHeaderRect(CRect rc, CXTPTabManager*) { return rc; }

CRect CXTPTabAppearanceSetBars::GetClientRect(CRect rc, CXTPTabManager* pManager) {
  const int h = GetButtonHeight(pManager);
  const int nCount = pManager->GetItemCount();
  CXTPTabManagerItem* pSelected = pManager->GetSelectedItem();
  const int nSel = pSelected ? pSelected->GetIndex() : nCount - 1;
  const int nAfter = nCount - nSel - 1;
  CRect rcPage = rc;
  rcPage.top = rc.top + (nSel + 1) * h + 1;
  rcPage.bottom = std::max(rc.bottom - nAfter * h, rcPage.top + h);
  if (nAfter == 0) rcPage.bottom -= 1;
  if (m_pPaintManager->m_nClientFrame != xtpTabClientFrameNone) rcPage.DeflateRect(1, 0);
  return rcPage;
}

void CXTPTabAppearanceSetBars::RepositionTabControl(CXTPTabManager* pManager, CDC* pDC, CRect rc) {
  CXTPTabPaintManager::DeflateRectEx(rc, m_pPaintManager->m_rcControlMargin, m_pPaintManager->GetPosition());
  const int nCount = pManager->GetItemCount();
  if (nCount == 0) return;
  pManager->SetHeaderRect(rc);
  const int h = GetButtonHeight(pManager);
  CXTPTabManagerItem* pSelected = pManager->GetSelectedItem();
  const int nSel = pSelected ? pSelected->GetIndex() : nCount - 1;
  const int nLeft = rc.left + (m_pPaintManager->m_nClientFrame != xtpTabClientFrameNone ? 1 : 0);
  int y = rc.top;
  for (int i = 0; i < nCount; i++) {
    CXTPTabManagerItem* pItem = pManager->GetItem(i);
    const int nLength = GetItemLength(pDC, pItem);
    pItem->SetLength(rc.Width());
    pItem->SetNaturalLength(nLength);
    if (i == nSel + 1) {
      const int nBarsLeft = nCount - i;
      y = std::min(std::max(static_cast<int>(rc.bottom) - nBarsLeft * h, y + h), static_cast<int>(rc.bottom) - 1);
    }
    pItem->SetRect(CRect(nLeft, y, rc.right, y + h));
    y += h;
  }
}

void CXTPTabAppearanceSetBars::AdjustClientRect(CXTPTabManager* pManager, CRect& rcClient) {
  CXTPTabPaintManager::DeflateRectEx(rcClient, m_pPaintManager->m_rcControlMargin, m_pPaintManager->GetPosition());
  rcClient = GetClientRect(rcClient, pManager);
}

CRect CXTPTabAppearanceSetBars::FillHeader(CDC*, CRect rc, CXTPTabManager*) { return CRect(rc.left, rc.top, rc.left, rc.top); }

void CXTPTabAppearanceSetBars::DrawTabControl(CXTPTabManager* pManager, CDC* pDC, CRect rc) {
  CXTPTabColorSet* pColors = GetColorSet();
  if (m_pPaintManager->m_bFillBackground) {
    const COLORREF clrBack = Clr(pColors->m_clrBackground);
    if (clrBack != kNone) pDC->FillSolidRect(rc, clrBack);
  }
  pDC->SetBkMode(TRANSPARENT);
  const int nSaved = pDC->SaveDC();
  const CRect rcControl = pManager->GetControlRect();
  ::IntersectClipRect(pDC->m_hDC, rcControl.left, rcControl.top, rcControl.right, rcControl.bottom);
  CRect rcClip;
  pDC->GetClipBox(rcClip);
  for (int i = 0; i < pManager->GetItemCount(); i++) {
    CXTPTabManagerItem* pItem = pManager->GetItem(i);
    CRect rcTest;
    if (pItem->IsVisible() && rcTest.IntersectRect(pItem->GetRect(), rcClip)) DrawSingleButton(pDC, pItem);
  }
  pDC->RestoreDC(nSaved);
}

void CXTPTabAppearanceSetBars::DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) {
  CXTPTabColorSet* pColors = GetColorSet();
  CRect rc = pItem->GetRect();
  pColors->FillItem(pDC, rc, pItem);
  const COLORREF clrLight = Clr(pColors->m_clrLight), clrFrame = Clr(pColors->m_clrFrame);
  if (clrLight != kNone && clrFrame != kNone) pDC->Draw3dRect(rc, clrLight, clrFrame);
  const COLORREF clrGrip = XTPTabColor(38);
  for (int y = rc.top + 4; y < rc.bottom - 3; y += 2) pDC->FillSolidRect(rc.right - 7, y, 3, 1, clrGrip);
  CRect rcContent = rc;
  rcContent.right -= 7;
  // The content of a bar reads across it, as on a top strip.
  const int nPosition = m_pPaintManager->m_nPosition;
  m_pPaintManager->m_nPosition = xtpTabPosTop;
  m_pPaintManager->DrawSingleButton(pDC, pItem, rcContent, TRUE);
  m_pPaintManager->m_nPosition = nPosition;
}

// =======================================================================================
// Set 9, tabs slanting at both ends

CXTPTabAppearanceSetTrapezoid::CXTPTabAppearanceSetTrapezoid() : m_bOption(FALSE) {
  m_rcHeaderMargin.SetRect(2, 3, 6, 0);
  m_bFrontToBack = TRUE;
}

CRect CXTPTabAppearanceSetTrapezoid::GetHeaderMargin() {
  CRect rc = m_rcHeaderMargin;
  rc.left += m_nRowHeight / 2;
  return rc;
}

CRect CXTPTabAppearanceSetTrapezoid::FillHeader(CDC* pDC, CRect rc, CXTPTabManager* pManager) {
  return FillHeaderFrame(pDC, rc, pManager);
}

void CXTPTabAppearanceSetTrapezoid::DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem) {
  CXTPTabColorSet* pColors = GetColorSet();
  const int nPos = m_pPaintManager->GetPosition();
  const CRect rcItem = pItem->GetRect();
  const TabFrame f(rcItem, nPos);
  const int W = f.W, H = f.H, s = H / 2;
  // Eight corners, walked as offsets from the first.
  const CPoint corners[8] = {{-s, H}, {-1, 3}, {1, 1}, {3, 0}, {W - 3, 0}, {W - 1, 1}, {W + 1, 3}, {W + s, H}};
  POINT rel[8];
  POINT prev = {0, 0};
  for (int i = 0; i < 8; i++) {
    const CPoint p = f.MapEdge(corners[i].x, corners[i].y);
    rel[i] = i == 0 ? POINT{p.x, p.y} : POINT{p.x - prev.x, p.y - prev.y};
    prev = p;
  }
  const COLORREF F = FillPolygon(pDC, rel, 8, TRUE, pItem);
  const BOOL bSelected = pItem->IsSelected();
  const COLORREF clrOuter = Clr(bSelected ? pColors->m_clrSlantEdge[1] : pColors->m_clrSlantEdge[0]);
  const COLORREF clrInner = bSelected ? 0xFFFFFF : Clr(pColors->m_clrSlantEdge[3]);
  const COLORREF clrShadow = bSelected ? 0xFFFFFF : Clr(pColors->m_clrSlantEdge[2]);
  f.Line(pDC, -s, H - 1, -1, 2, clrOuter);
  f.Line(pDC, -1, 2, 2, 0, clrOuter);
  f.Line(pDC, 2, 0, W - 3, 0, clrOuter);
  f.Line(pDC, W - 3, 0, W, 2, clrOuter);
  f.Line(pDC, W, 2, W + s, H, clrOuter);
  f.Line(pDC, -s + 2, H - 1, 0, 2, clrInner);
  f.Line(pDC, 2, 1, W - 3, 1, clrInner);
  f.Line(pDC, W - 2, 2, W + s - 2, H, clrShadow);
  if (bSelected && F != kNone) f.Fill(pDC, -s + 1, H - 1, W + 2 * s - 2, 1, F);
  m_pPaintManager->DrawSingleButton(pDC, pItem, rcItem, TRUE);
}
