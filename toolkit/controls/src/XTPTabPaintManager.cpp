// The tab paint manager: options, the generic layout (natural, compressed, fixed,
// selected-caption, multi-row, rotated) and the generic drawing of a strip.
#include "XTPTabPaintManager.h"

#include <algorithm>
#include <numeric>

#include "XTPTabAppearanceSets.h"
#include "XTPTabColorSets.h"
#include "XTPTabInternal.h"
#include "XTPTabManager.h"

IMPLEMENT_DYNAMIC(CXTPTabPaintManager, CCmdTarget)

namespace {

// The inset of a static frame, given for a top strip.
const CRect kFrameInset(2, 1, 2, 2);

// Selects a font for the life of the object (nothing for an empty font).
class FontScope {
 public:
  FontScope(CDC* pDC, CFont* pFont) : m_pDC(pDC), m_hOld(nullptr) {
    if (pFont && pFont->GetSafeHandle()) m_hOld = ::SelectObject(pDC->m_hDC, pFont->GetSafeHandle());
  }
  ~FontScope() {
    if (m_hOld) ::SelectObject(m_pDC->m_hDC, m_hOld);
  }

 private:
  CDC* m_pDC;
  HGDIOBJ m_hOld;
};

int TextWidth(CDC* pDC, const CString& str, UINT nFormat) {
  CString s(str);
  if (!(nFormat & DT_NOPREFIX)) XTPTabStripMnemonics(s);
  if (s.IsEmpty()) return 0;
  SIZE sz = {0, 0};
  ::GetTextExtentPoint32W(pDC->m_hDC, s, s.GetLength(), &sz);
  return sz.cx;
}

}  // namespace

CXTPTabPaintManager::CXTPTabPaintManager()
    : m_bHotTracking(FALSE),
      m_bShowIcons(TRUE),
      m_bBoldSelected(FALSE),
      m_bBoldNormal(FALSE),
      m_bThemeColors(FALSE),
      m_nItemColors(0),
      m_nClientFrame(xtpTabClientFrameFull),
      m_bStaticFrame(FALSE),
      m_rcClientMargin(0, 0, 0, 0),
      m_rcControlMargin(0, 0, 0, 0),
      m_rcButtonMargin(0, 0, 0, 0),
      m_bInvertGradient(FALSE),
      m_bFillBackground(TRUE),
      m_szIcon(16, 16),
      m_bMiddleEllipsis(FALSE),
      m_bNoPrefix(TRUE),
      m_bKeepRowOrder(FALSE),
      m_bJustifyRows(TRUE),
      m_bFocusRect(TRUE),
      m_bSelectOnDragOver(TRUE),
      m_pAppearanceSet(nullptr),
      m_pColorSet(nullptr),
      m_nAppearance(0),
      m_nColor(1),
      m_nPosition(xtpTabPosTop),
      m_nLayout(xtpTabLayoutNatural),
      m_bUseSystemFont(TRUE),
      m_nToolTipMode(xtpTabToolTipShrunk),
      m_nItemCounter(0),
      m_nFitItems(0),
      m_nFitTries(0) {
  SetAppearance(0);
  RefreshMetrics();
}

CXTPTabPaintManager::~CXTPTabPaintManager() {
  delete m_pColorSet;
  delete m_pAppearanceSet;
  m_fntNormal.DeleteObject();
  m_fntBold.DeleteObject();
  m_fntVerticalNormal.DeleteObject();
  m_fntVerticalBold.DeleteObject();
  m_arrHosts.clear();
}

// ---- Appearance and colours -----------------------------------------------------------

CXTPTabAppearanceSet* CXTPTabPaintManager::SetAppearance(int nAppearance) {
  m_nAppearance = nAppearance;
  SetAppearanceSet(CXTPTabAppearanceSet::Create(nAppearance));
  return m_pAppearanceSet;
}

void CXTPTabPaintManager::SetAppearanceSet(CXTPTabAppearanceSet* pAppearanceSet) {
  if (pAppearanceSet && pAppearanceSet == m_pAppearanceSet) {
    // The set already held: refresh it, never delete it.
    pAppearanceSet->RefreshMetrics();
  } else if (pAppearanceSet) {
    delete m_pAppearanceSet;
    m_pAppearanceSet = pAppearanceSet;
    pAppearanceSet->SetPaintManager(this);
    pAppearanceSet->RefreshMetrics();
    SetColor(pAppearanceSet->GetDefaultColorSet());
  }
  RefreshAllControls();
}

CXTPTabColorSet* CXTPTabPaintManager::SetColor(int nColor) {
  m_nColor = nColor;
  SetColorSet(XTPCreateTabColorSet(nColor));
  return m_pColorSet;
}

void CXTPTabPaintManager::SetColorSet(CXTPTabColorSet* pColorSet) {
  if (pColorSet && pColorSet == m_pColorSet) {
    pColorSet->RefreshColors();
  } else if (pColorSet) {
    delete m_pColorSet;
    m_pColorSet = pColorSet;
    pColorSet->SetPaintManager(this);
    pColorSet->RefreshColors();
  }
  RefreshAllControls();
}

void CXTPTabPaintManager::SetThemeColors(BOOL bThemeColors) {
  m_bThemeColors = bThemeColors;
  RefreshMetrics();
  RefreshAllControls();
}

BOOL CXTPTabPaintManager::IsThemeColors() const { return m_bThemeColors || XTPTabCurrentScheme() != 0; }

void CXTPTabPaintManager::SetItemColors(int nItemColors) {
  m_nItemColors = nItemColors;
  RefreshMetrics();
}

// ---- Options --------------------------------------------------------------------------

void CXTPTabPaintManager::SetPosition(int nPosition) {
  m_nPosition = (nPosition >= xtpTabPosTop && nPosition <= xtpTabPosRight) ? nPosition : xtpTabPosTop;
  RefreshAllControls();
}

void CXTPTabPaintManager::SetLayout(int nLayout) {
  m_nLayout = (nLayout >= xtpTabLayoutNatural && nLayout <= xtpTabLayoutRotated) ? nLayout : xtpTabLayoutNatural;
  RefreshAllControls();
}

void CXTPTabPaintManager::SetClientMargin(const CRect& rc) {
  m_rcClientMargin = rc;
  RefreshAllControls();
}

void CXTPTabPaintManager::SetControlMargin(const CRect& rc) {
  m_rcControlMargin = rc;
  RefreshAllControls();
}

void CXTPTabPaintManager::SetButtonMargin(const CRect& rc) {
  m_rcButtonMargin = rc;
  RefreshMetrics();
  RefreshAllControls();
}

void CXTPTabPaintManager::SetClientFrame(int nClientFrame) {
  m_nClientFrame = nClientFrame;
  RefreshAllControls();
}

void CXTPTabPaintManager::SetStaticFrame(BOOL bFrame) {
  m_bStaticFrame = bFrame;
  RefreshAllControls();
}

void CXTPTabPaintManager::SetIconSize(CSize szIcon) {
  m_szIcon = szIcon;
  RefreshAllControls();
}

void CXTPTabPaintManager::SetCaptionEllipsis(BOOL bMiddle) {
  m_bMiddleEllipsis = bMiddle;
  RefreshAllControls();
}

void CXTPTabPaintManager::SetNoPrefix(BOOL bNoPrefix) {
  m_bNoPrefix = bNoPrefix;
  RefreshAllControls();
}

void CXTPTabPaintManager::SetKeepRowOrder(BOOL bKeep) {
  m_bKeepRowOrder = bKeep;
  RefreshAllControls();
}

void CXTPTabPaintManager::SetJustifyRows(BOOL bJustify) {
  m_bJustifyRows = bJustify;
  RefreshAllControls();
}

void CXTPTabPaintManager::SetFontIndirect(const LOGFONT* pLogFont, BOOL bUseSystemFont) {
  m_bUseSystemFont = bUseSystemFont;
  if (!pLogFont) return;
  m_fntNormal.DeleteObject();
  m_fntBold.DeleteObject();
  m_fntVerticalNormal.DeleteObject();
  m_fntVerticalBold.DeleteObject();

  LOGFONT lf = *pLogFont;
  lf.lfWeight = m_bBoldNormal ? FW_BOLD : FW_NORMAL;
  m_fntNormal.CreateFontIndirect(&lf);
  lf.lfWeight = FW_BOLD;
  m_fntBold.CreateFontIndirect(&lf);

  LOGFONT lfv = *pLogFont;
  const CString strFace = XTPTabDefaultFontName();
  lstrcpynW(lfv.lfFaceName, strFace, LF_FACESIZE);
  lfv.lfEscapement = 2700;
  lfv.lfOrientation = 900;
  if (lfv.lfHeight >= -10 && lfv.lfHeight <= -1) lfv.lfHeight = -11;
  lfv.lfWeight = m_bBoldNormal ? FW_BOLD : FW_NORMAL;
  m_fntVerticalNormal.CreateFontIndirect(&lfv);
  lfv.lfWeight = FW_BOLD;
  m_fntVerticalBold.CreateFontIndirect(&lfv);
}

CFont* CXTPTabPaintManager::GetFont(BOOL bBold, BOOL bVertical) {
  if (bVertical) return bBold ? &m_fntVerticalBold : &m_fntVerticalNormal;
  return bBold ? &m_fntBold : &m_fntNormal;
}

void CXTPTabPaintManager::RefreshMetrics() {
  if (m_bUseSystemFont) {
    LOGFONT lf;
    if (::SystemParametersInfo(SPI_GETICONTITLELOGFONT, sizeof(lf), &lf, 0)) SetFontIndirect(&lf, TRUE);
  }
  if (m_pColorSet) m_pColorSet->RefreshColors();
  if (m_pAppearanceSet) m_pAppearanceSet->RefreshMetrics();
}

void CXTPTabPaintManager::AddHost(CXTPTabManager* pManager) {
  if (pManager && std::find(m_arrHosts.begin(), m_arrHosts.end(), pManager) == m_arrHosts.end())
    m_arrHosts.push_back(pManager);
}

void CXTPTabPaintManager::RemoveHost(CXTPTabManager* pManager) {
  m_arrHosts.erase(std::remove(m_arrHosts.begin(), m_arrHosts.end(), pManager), m_arrHosts.end());
}

void CXTPTabPaintManager::RefreshAllControls() {
  // A host may change the list while it refreshes: walk a copy.
  std::vector<CXTPTabManager*> hosts(m_arrHosts);
  for (CXTPTabManager* pManager : hosts) pManager->Refresh();
}

// ---- Margins --------------------------------------------------------------------------

void CXTPTabPaintManager::InflateRectEx(CRect& rc, const CRect& m, int nPosition) {
  switch (nPosition) {
    case xtpTabPosLeft:
      rc.left -= m.top, rc.top -= m.left, rc.right += m.bottom, rc.bottom += m.right;
      break;
    case xtpTabPosBottom:
      rc.left -= m.left, rc.top -= m.bottom, rc.right += m.right, rc.bottom += m.top;
      break;
    case xtpTabPosRight:
      rc.left -= m.bottom, rc.top -= m.left, rc.right += m.top, rc.bottom += m.right;
      break;
    default:
      rc.left -= m.left, rc.top -= m.top, rc.right += m.right, rc.bottom += m.bottom;
      break;
  }
}

void CXTPTabPaintManager::DeflateRectEx(CRect& rc, const CRect& m, int nPosition) {
  InflateRectEx(rc, CRect(-m.left, -m.top, -m.right, -m.bottom), nPosition);
}

// ---- Layout ---------------------------------------------------------------------------

void CXTPTabPaintManager::RepositionTabControl(CXTPTabManager* pManager, CDC* pDC, CRect rc) {
  pManager->m_rcControl = rc;
  pManager->m_rcClient = rc;
  pManager->m_rcHeader.SetRectEmpty();
  pManager->ResetRows();
  m_pAppearanceSet->RepositionTabControl(pManager, pDC, rc);
  CRect rcClient = rc;
  AdjustClientRect(pManager, rcClient);
  pManager->m_rcClient = rcClient;
}

void CXTPTabPaintManager::AdjustClientRect(CXTPTabManager* pManager, CRect& rcClient) {
  if (m_bStaticFrame) DeflateRectEx(rcClient, kFrameInset, m_nPosition);
  if (pManager->GetItemCount() > 0) m_pAppearanceSet->AdjustClientRect(pManager, rcClient);
}

void CXTPTabPaintManager::ShrinkToFit(std::vector<CXTPTabManagerItem*>& items, int nLength) {
  const int nCount = static_cast<int>(items.size());
  if (nCount == 0) return;
  int nTotal = 0;
  for (CXTPTabManagerItem* p : items) nTotal += p->GetLength();
  if (nTotal <= nLength) return;
  if (nCount == 1) {
    items[0]->SetLength(nLength);
    return;
  }
  std::vector<CXTPTabManagerItem*> order(items);
  std::stable_sort(order.begin(), order.end(),
                   [](CXTPTabManagerItem* a, CXTPTabManagerItem* b) { return a->GetLength() > b->GetLength(); });
  int nExcess = nTotal - nLength;
  for (;;) {
    const int c = order[0]->GetLength();
    int k = 1;
    while (k < nCount && order[k]->GetLength() == c) k++;
    if (k < nCount) {
      const int d = order[k]->GetLength();
      if (k * (c - d) < nExcess) {
        for (int i = 0; i < k; i++) order[i]->SetLength(d);
        nExcess -= k * (c - d);
        continue;
      }
    }
    const int nCut = nExcess / k;
    for (int i = 0; i < k; i++) order[i]->SetLength(order[i]->GetLength() - nCut);
    break;
  }
  const int nFirst = items[0]->GetLength();
  if (std::all_of(items.begin(), items.end(), [&](CXTPTabManagerItem* p) { return p->GetLength() == nFirst; })) {
    for (CXTPTabManagerItem* p : items) p->SetLength(nLength / nCount);
  }
}

void CXTPTabPaintManager::RepositionGeneric(CXTPTabManager* pManager, CDC* pDC, CRect rc) {
  const int nPos = m_nPosition;
  const BOOL bHorizontal = IsHorizontal(nPos);
  if (m_bStaticFrame) DeflateRectEx(rc, kFrameInset, nPos);
  DeflateRectEx(rc, m_rcControlMargin, nPos);

  if (m_nLayout == xtpTabLayoutMultiRow) {
    LayoutMultiRow(pManager, pDC, rc);
    return;
  }
  for (CXTPTabManagerItem* pItem : pManager->m_arrItems) {
    const int nLength = pItem->IsVisible() ? m_pAppearanceSet->GetItemLength(pDC, pItem) : 0;
    pItem->SetLength(nLength);
    pItem->SetNaturalLength(nLength);
  }
  pManager->m_rcHeader = m_pAppearanceSet->GetHeaderRect(rc, pManager);
  if (pManager->GetItemCount() == 0) return;

  const CRect rcMargin = m_pAppearanceSet->GetHeaderMargin();
  const int nRowHeight = m_pAppearanceSet->GetButtonHeight(pManager);
  CRect rcBand = rc;
  switch (nPos) {
    case xtpTabPosTop:
      rcBand.top = rc.top + rcMargin.top, rcBand.bottom = rcBand.top + nRowHeight;
      break;
    case xtpTabPosBottom:
      rcBand.bottom = rc.bottom - rcMargin.top, rcBand.top = rcBand.bottom - nRowHeight;
      break;
    case xtpTabPosLeft:
      rcBand.left = rc.left + rcMargin.top, rcBand.right = rcBand.left + nRowHeight;
      break;
    default:
      rcBand.right = rc.right - rcMargin.top, rcBand.left = rcBand.right - nRowHeight;
      break;
  }
  if (bHorizontal)
    rcBand.left = rc.left + rcMargin.left, rcBand.right = rc.right - rcMargin.right;
  else
    rcBand.top = rc.top + rcMargin.left, rcBand.bottom = rc.bottom - rcMargin.right;

  for (int i = pManager->GetNavigateButtonCount() - 1; i >= 0; i--)
    pManager->GetNavigateButton(i)->Reposition(rcBand);
  const int nBand = bHorizontal ? rcBand.Width() : rcBand.Height();
  if (m_nLayout == xtpTabLayoutCompressed) ShrinkToFit(pManager->m_arrItems, nBand);

  const int nTotal = pManager->GetItemsLength();
  if (pManager->m_nScrollOffset < 0 && nTotal + pManager->m_nScrollOffset < nBand)
    pManager->m_nScrollOffset = (nBand - nTotal < 1) ? nBand - nTotal : 0;

  PlaceTabs(pManager, rcBand, nRowHeight);

  // The header ends where the navigate buttons begin.
  CRect rcButtons = pManager->m_rcHeader;
  if (bHorizontal) {
    rcButtons.right -= 1;
    rcButtons.left += rcMargin.left + rcMargin.right;
  } else {
    rcButtons.bottom -= 1;
    rcButtons.top += rcMargin.left + rcMargin.right;
  }
  // The enabled states stay as the band judged them: the header is a pixel shorter.
  std::vector<BOOL> enabled;
  for (int i = 0; i < pManager->GetNavigateButtonCount(); i++) enabled.push_back(pManager->GetNavigateButton(i)->IsEnabled());
  for (int i = pManager->GetNavigateButtonCount() - 1; i >= 0; i--)
    pManager->GetNavigateButton(i)->Reposition(rcButtons);
  for (int i = 0; i < pManager->GetNavigateButtonCount(); i++) pManager->GetNavigateButton(i)->SetEnabled(enabled[i]);
  if (bHorizontal)
    pManager->m_rcHeader.right = rcButtons.right + 1;
  else
    pManager->m_rcHeader.bottom = rcButtons.bottom + 1;
}

void CXTPTabPaintManager::PlaceTabs(CXTPTabManager* pManager, CRect rcBand, int nRowHeight) {
  const int nPos = m_nPosition;
  const BOOL bHorizontal = IsHorizontal(nPos);
  int x = (bHorizontal ? rcBand.left : rcBand.top) + pManager->m_nScrollOffset;
  if (m_nLayout == xtpTabLayoutRotated) {
    const CRect rcHeader = pManager->m_rcHeader;
    const int nInset = m_pAppearanceSet->GetHeaderMargin().bottom;
    for (CXTPTabManagerItem* pItem : pManager->m_arrItems) {
      const int nLength = pItem->GetLength();
      CRect rc;
      switch (nPos) {
        case xtpTabPosTop:
          rc.SetRect(x, rcHeader.bottom - nInset - nLength, x + nRowHeight, rcHeader.bottom - nInset);
          break;
        case xtpTabPosBottom:
          rc.SetRect(x, rcHeader.top + nInset, x + nRowHeight, rcHeader.top + nInset + nLength);
          break;
        case xtpTabPosLeft:
          rc.SetRect(rcHeader.right - nInset - nLength, x, rcHeader.right - nInset, x + nRowHeight);
          break;
        default:
          rc.SetRect(rcHeader.left + nInset, x, rcHeader.left + nInset + nLength, x + nRowHeight);
          break;
      }
      if (!pItem->IsVisible()) rc.SetRectEmpty();
      pItem->SetRect(rc);
      if (pItem->IsVisible()) x += nRowHeight;
    }
    return;
  }
  for (CXTPTabManagerItem* pItem : pManager->m_arrItems) {
    const int nLength = pItem->GetLength();
    CRect rc = rcBand;
    if (bHorizontal)
      rc.left = x, rc.right = x + nLength;
    else
      rc.top = x, rc.bottom = x + nLength;
    pItem->SetRect(rc);
    x += nLength;
  }
}

BOOL CXTPTabPaintManager::FitRow(CXTPTabManager* pManager, int nRow, int nFirst, int nRemaining, int nRows,
                                 int nLength, BOOL bJustify, std::vector<CXTPTabManager::ROW>* pRows) {
  const int nCount = pManager->GetItemCount();
  // A (row, first tab) pair that failed once fails again: what remains depends only on it.
  const size_t nKey = static_cast<size_t>(nRow) * (nCount + 1) + nFirst;
  if (m_arrFitFailed[nKey]) return FALSE;
  m_nFitTries++;

  int nTarget = nLength;
  if (bJustify) nTarget = std::min(nTarget, nRemaining / (nRows - nRow));
  (*pRows)[nRow].nFirst = nFirst;
  (*pRows)[nRow].nLast = nFirst - 1;
  int nWidth = 0;
  for (int i = nFirst; i < nCount; i++) {
    CXTPTabManagerItem* pItem = pManager->m_arrItems[i];
    const int nItem = pItem->GetLength();
    if (nItem > 0 && nWidth > 0 && nWidth + nItem > nTarget) {
      if (nRow + 1 >= nRows) {
        m_arrFitFailed[nKey] = 1;
        return FALSE;
      }
      if (FitRow(pManager, nRow + 1, i, nRemaining - nWidth, nRows, nLength, bJustify, pRows)) return TRUE;
      if (nWidth + nItem > nLength) {
        m_arrFitFailed[nKey] = 1;
        return FALSE;
      }
    }
    pItem->SetRow(nRow);
    (*pRows)[nRow].nLast = i;
    nWidth += nItem;
  }
  // Out of tabs: the rows after this one stay empty.
  pRows->resize(nRow + 1);
  return TRUE;
}

int CXTPTabPaintManager::FillRows(CXTPTabManager* pManager, int nLength, BOOL bJustify) {
  const int nCount = pManager->GetItemCount();
  int nRows = 1, nWidth = 0;
  for (CXTPTabManagerItem* pItem : pManager->m_arrItems) {
    const int nItem = pItem->GetLength();
    if (nWidth > 0 && nWidth + nItem > nLength) {
      nRows++;
      nWidth = 0;
    }
    nWidth += nItem;
  }
  m_nFitTries = 0;
  if (nRows <= 1 || nCount == 0) {
    pManager->ResetRows();
    return 1;
  }
  int nTotal = 0;
  for (CXTPTabManagerItem* pItem : pManager->m_arrItems) nTotal += pItem->GetLength();
  m_arrFitFailed.assign(static_cast<size_t>(nRows) * (nCount + 1), 0);
  m_nFitItems = nCount;
  std::vector<CXTPTabManager::ROW> rows(nRows, CXTPTabManager::ROW{0, -1});
  if (!FitRow(pManager, 0, 0, nTotal, nRows, nLength, bJustify, &rows)) {
    // Cannot happen for a greedy row count, but never leave the rows unset: fill greedily.
    rows.assign(1, CXTPTabManager::ROW{0, -1});
    nWidth = 0;
    for (int i = 0; i < nCount; i++) {
      CXTPTabManagerItem* pItem = pManager->m_arrItems[i];
      if (nWidth > 0 && nWidth + pItem->GetLength() > nLength) {
        rows.push_back(CXTPTabManager::ROW{i, i - 1});
        nWidth = 0;
      }
      pItem->SetRow(static_cast<int>(rows.size()) - 1);
      rows.back().nLast = i;
      nWidth += pItem->GetLength();
    }
  }
  pManager->SetRows(rows);
  return static_cast<int>(rows.size());
}

void CXTPTabPaintManager::LayoutMultiRow(CXTPTabManager* pManager, CDC* pDC, CRect rc) {
  const int nPos = m_nPosition;
  const BOOL bHorizontal = IsHorizontal(nPos);
  for (CXTPTabManagerItem* pItem : pManager->m_arrItems) {
    const int nLength = pItem->IsVisible() ? m_pAppearanceSet->GetItemLength(pDC, pItem) : 0;
    pItem->SetLength(nLength);
    pItem->SetNaturalLength(nLength);
  }
  pManager->m_nScrollOffset = 0;
  const CRect rcMargin = m_pAppearanceSet->GetHeaderMargin();
  const int nRowHeight = m_pAppearanceSet->GetButtonHeight(pManager);
  const int nStart = (bHorizontal ? rc.left : rc.top) + rcMargin.left;
  int nEnd = (bHorizontal ? rc.right : rc.bottom) - rcMargin.right;
  // Only the close button can show in a multi-row strip; it takes room at the end.
  int nLength = nEnd - nStart;
  for (int i = pManager->GetNavigateButtonCount() - 1; i >= 0; i--)
    pManager->GetNavigateButton(i)->AdjustLength(&nLength);
  nEnd = nStart + nLength;

  if (pManager->GetItemCount() == 0) {
    pManager->m_rcHeader = m_pAppearanceSet->GetHeaderRect(rc, pManager);
    return;
  }
  const int nRows = FillRows(pManager, nLength, m_bJustifyRows);
  if (nRows > 1 && !m_bKeepRowOrder && pManager->m_pSelected) pManager->SwapRows(pManager->m_pSelected->GetRow(), 0);
  pManager->m_rcHeader = m_pAppearanceSet->GetHeaderRect(rc, pManager);

  const int nPitch = nRowHeight + m_pAppearanceSet->GetRowSpacing();
  for (int nRow = 0; nRow < nRows; nRow++) {
    const CXTPTabManager::ROW row = pManager->GetRow(nRow);
    // Row 0 lies next to the page; later rows stack away from it.
    const int nAway = nRow * nPitch;
    CRect rcBand;
    switch (nPos) {
      case xtpTabPosTop: {
        const int nBottom = rc.top + rcMargin.top + nRows * nRowHeight + (nRows - 1) * m_pAppearanceSet->GetRowSpacing();
        rcBand.SetRect(0, nBottom - nAway - nRowHeight, 0, nBottom - nAway);
        break;
      }
      case xtpTabPosBottom: {
        const int nTop = rc.bottom - rcMargin.top - nRows * nRowHeight - (nRows - 1) * m_pAppearanceSet->GetRowSpacing();
        rcBand.SetRect(0, nTop + nAway, 0, nTop + nAway + nRowHeight);
        break;
      }
      case xtpTabPosLeft: {
        const int nRight = rc.left + rcMargin.top + nRows * nRowHeight + (nRows - 1) * m_pAppearanceSet->GetRowSpacing();
        rcBand.SetRect(nRight - nAway - nRowHeight, 0, nRight - nAway, 0);
        break;
      }
      default: {
        const int nLeft = rc.right - rcMargin.top - nRows * nRowHeight - (nRows - 1) * m_pAppearanceSet->GetRowSpacing();
        rcBand.SetRect(nLeft + nAway, 0, nLeft + nAway + nRowHeight, 0);
        break;
      }
    }
    int nWidth = 0, nTabs = 0;
    for (int i = row.nFirst; i <= row.nLast; i++) {
      nWidth += pManager->m_arrItems[i]->GetLength();
      if (pManager->m_arrItems[i]->GetLength() > 0) nTabs++;
    }
    int nSpare = (m_bJustifyRows && nRows > 1) ? std::max(0, nLength - nWidth) : 0;
    int x = nStart;
    for (int i = row.nFirst; i <= row.nLast; i++) {
      CXTPTabManagerItem* pItem = pManager->m_arrItems[i];
      int nItem = pItem->GetLength();
      if (nSpare > 0 && nItem > 0 && nTabs > 0) {
        const int nAdd = nSpare / nTabs;
        nItem += nAdd;
        nSpare -= nAdd;
        nTabs--;
        pItem->SetLength(nItem);
      }
      CRect rcItem = rcBand;
      if (bHorizontal)
        rcItem.left = x, rcItem.right = x + nItem;
      else
        rcItem.top = x, rcItem.bottom = x + nItem;
      pItem->SetRect(rcItem);
      x += nItem;
    }
  }
  CRect rcButtons = pManager->m_rcHeader;
  for (int i = pManager->GetNavigateButtonCount() - 1; i >= 0; i--)
    pManager->GetNavigateButton(i)->Reposition(rcButtons);
}

void CXTPTabPaintManager::EnsureVisible(CXTPTabManager* pManager, CXTPTabManagerItem* pItem) {
  const CRect rcHeader = pManager->GetHeaderRect();
  const CRect rcItem = pItem->GetRect();
  if (rcHeader.IsRectEmpty() || rcItem.IsRectEmpty()) return;
  const BOOL bHorizontal = IsHorizontal(m_nPosition);
  const int nHeaderStart = bHorizontal ? rcHeader.left : rcHeader.top;
  const int nHeaderEnd = bHorizontal ? rcHeader.right : rcHeader.bottom;
  const int nItemStart = bHorizontal ? rcItem.left : rcItem.top;
  const int nItemEnd = bHorizontal ? rcItem.right : rcItem.bottom;
  int nOffset = pManager->GetScrollOffset();
  if (nItemStart < nHeaderStart)
    nOffset += m_pAppearanceSet->GetHeaderMargin().left + (nHeaderStart - nItemStart);
  else if (nItemEnd > nHeaderEnd)
    nOffset -= nItemEnd - nHeaderEnd;
  pManager->SetScrollOffset(nOffset);
}

// ---- Drawing --------------------------------------------------------------------------

void CXTPTabPaintManager::DrawTabControl(CXTPTabManager* pManager, CDC* pDC, CRect rc) {
  m_pAppearanceSet->DrawTabControl(pManager, pDC, rc);
}

void CXTPTabPaintManager::DrawTabControlGeneric(CXTPTabManager* pManager, CDC* pDC, CRect rc) {
  const int nPos = m_nPosition;
  if (m_bStaticFrame) {
    CRect rcFrame = pManager->GetControlRect();
    const COLORREF clrFrame = CXTPTabColorSet::Color(m_pColorSet->m_clrFrame);
    const COLORREF clrBack = CXTPTabColorSet::Color(m_pColorSet->m_clrBackground);
    if (clrFrame != static_cast<COLORREF>(-1)) pDC->Draw3dRect(rcFrame, clrFrame, clrFrame);
    rcFrame.DeflateRect(1, 1);
    if (clrBack != static_cast<COLORREF>(-1)) pDC->Draw3dRect(rcFrame, clrBack, clrBack);
  }
  if (m_bFillBackground) {
    CRect rcFill = rc;
    if (m_bStaticFrame) DeflateRectEx(rcFill, kFrameInset, nPos);
    const COLORREF clrBack = CXTPTabColorSet::Color(m_pColorSet->m_clrBackground);
    if (clrBack != static_cast<COLORREF>(-1)) pDC->FillSolidRect(rcFill, clrBack);
  }
  if (m_bStaticFrame) DeflateRectEx(rc, kFrameInset, nPos);
  DeflateRectEx(rc, m_rcControlMargin, nPos);
  pDC->SetBkMode(TRANSPARENT);

  CRect rcHeader = m_bFillBackground ? m_pAppearanceSet->FillHeader(pDC, rc, pManager)
                                     : m_pAppearanceSet->GetHeaderRect(rc, pManager);
  const BOOL bHorizontal = IsHorizontal(nPos);
  for (int i = 0; i < pManager->GetNavigateButtonCount(); i++) {
    const CRect rcButton = pManager->GetNavigateButton(i)->GetRect();
    if (rcButton.IsRectEmpty()) continue;
    if (bHorizontal)
      rcHeader.right = std::min(rcHeader.right, rcButton.left);
    else
      rcHeader.bottom = std::min(rcHeader.bottom, rcButton.top);
  }
  if (pManager->GetItemCount() > 0 && !rcHeader.IsRectEmpty()) {
    const int nSaved = pDC->SaveDC();
    ::IntersectClipRect(pDC->m_hDC, rcHeader.left, rcHeader.top, rcHeader.right, rcHeader.bottom);
    m_pColorSet->DrawHeaderDecoration(pDC, rcHeader, pManager);
    for (int nRow = pManager->GetRowCount() - 1; nRow >= 0; nRow--) DrawRow(pManager, pDC, nRow, rcHeader);
    pDC->RestoreDC(nSaved);
  }
  DrawNavigateButtons(pManager, pDC);
}

void CXTPTabPaintManager::DrawNavigateButtons(CXTPTabManager* pManager, CDC* pDC) {
  for (int i = 0; i < pManager->GetNavigateButtonCount(); i++) {
    CXTPTabManagerNavigateButton* pButton = pManager->GetNavigateButton(i);
    CRect rc = pButton->GetRect();
    if (rc.IsRectEmpty()) continue;
    m_pColorSet->FillNavigateButton(pDC, pButton, rc);
    pButton->Draw(pDC, rc);
  }
}

void CXTPTabPaintManager::DrawRow(CXTPTabManager* pManager, CDC* pDC, int nRow, CRect rcClip) {
  if (nRow < 0 || nRow >= pManager->GetRowCount()) return;
  const CXTPTabManager::ROW row = pManager->GetRow(nRow);
  CXTPTabManagerItem* pSelected = pManager->GetSelectedItem();
  auto draw = [&](CXTPTabManagerItem* pItem) {
    CRect rcItem = pItem->GetRect(), rcTest;
    if (pItem->IsVisible() && rcTest.IntersectRect(rcItem, rcClip)) m_pAppearanceSet->DrawSingleButton(pDC, pItem);
  };
  int nLast = row.nLast;
  if (m_pAppearanceSet->IsFrontToBack()) {
    const BOOL bSelectedHere = pSelected && pSelected->GetIndex() >= row.nFirst && pSelected->GetIndex() <= row.nLast;
    const int nStop = bSelectedHere ? pSelected->GetIndex() : row.nLast + 1;
    for (int i = row.nFirst; i < nStop; i++) draw(pManager->GetItem(i));
    if (!bSelectedHere) return;
    // The rest, from the last back to the selected one.
    for (int i = row.nLast; i >= nStop; i--) draw(pManager->GetItem(i));
    draw(pSelected);
    return;
  }
  BOOL bSelectedDrawn = FALSE;
  for (int i = nLast; i >= row.nFirst; i--) {
    CXTPTabManagerItem* pItem = pManager->GetItem(i);
    if (!pItem) continue;
    draw(pItem);
    if (pItem == pSelected) bSelectedDrawn = TRUE;
  }
  if (bSelectedDrawn) draw(pSelected);
}

int CXTPTabPaintManager::DrawSingleButton(CDC* pDC, CXTPTabManagerItem* pItem, CRect rcItem, BOOL bDraw) {
  CXTPTabManager* pManager = pItem->GetTabManager();
  if (!pManager) return 0;
  const int nPos = m_nPosition;
  const BOOL bHorizontalStrip = IsHorizontal(nPos);
  const BOOL bVertical = (m_nLayout == xtpTabLayoutRotated) ? bHorizontalStrip : !bHorizontalStrip;
  const BOOL bSelected = pItem->IsSelected();
  const BOOL bBold = m_bBoldSelected && bSelected && pManager->IsHighlight();
  const BOOL bShowCaption = m_nLayout != xtpTabLayoutSelectedCaption || bSelected;
  const UINT nPrefix = m_bNoPrefix ? DT_NOPREFIX : 0;
  CString strCaption = pItem->GetCaption();

  CSize szIcon = m_szIcon;
  const BOOL bIcon = pManager->DrawIcon(pDC, CPoint(0, 0), pItem, FALSE, szIcon);
  const int nIconLength = bIcon ? (bHorizontalStrip != bVertical ? szIcon.cx : szIcon.cy) : 0;

  if (!bDraw) {
    int nLength;
    if (m_nLayout == xtpTabLayoutFixed) {
      CSize szItem;
      pManager->GetItemMetrics(&szItem, nullptr, nullptr);
      nLength = szItem.cx;
    } else if (m_nLayout == xtpTabLayoutSelectedCaption) {
      if (bSelected) {
        FontScope font(pDC, GetFont(m_bBoldSelected && pManager->IsHighlight(), FALSE));
        int nWidest = 0;
        for (int i = 0; i < pManager->GetItemCount(); i++)
          nWidest = std::max(nWidest, TextWidth(pDC, pManager->GetItem(i)->GetCaption(), nPrefix));
        nLength = nIconLength + nWidest + 12;
      } else {
        nLength = nIconLength + 8;
      }
    } else {
      // Rotated text measures as its upright twin.
      FontScope font(pDC, GetFont(bBold, FALSE));
      CRect rcText(0, 0, 0, 0);
      if (!strCaption.IsEmpty())
        ::DrawTextW(pDC->m_hDC, strCaption, strCaption.GetLength(), &rcText, DT_CALCRECT | DT_SINGLELINE | DT_NOCLIP | nPrefix);
      nLength = nIconLength + rcText.Width() + 12;
    }
    nLength += m_rcButtonMargin.left + m_rcButtonMargin.right;
    CSize szMin, szMax;
    pManager->GetItemMetrics(nullptr, &szMin, &szMax);
    if (szMin.cx > 0) nLength = std::max(nLength, static_cast<int>(szMin.cx));
    if (szMax.cx > 0) nLength = std::min(nLength, static_cast<int>(szMax.cx));
    return nLength;
  }

  m_pColorSet->SetTextColor(pDC, pItem);
  const int nLengthNow = bHorizontalStrip ? rcItem.Width() : rcItem.Height();
  CRect rcContent = rcItem;
  // A stretched tab keeps its content centred.
  // (Measured on the rectangle given, which may be less than the tab, as in a bar with a grip.)
  if (m_nLayout != xtpTabLayoutRotated && nLengthNow > pItem->GetNaturalLength() && pItem->GetNaturalLength() > 0) {
    const int nHalf = (nLengthNow - pItem->GetNaturalLength()) / 2;
    if (bHorizontalStrip)
      rcContent.DeflateRect(nHalf, 0);
    else
      rcContent.DeflateRect(0, nHalf);
  }
  // The cross insets, exchanged for bottom and right strips.
  int nInsetNear = m_rcButtonMargin.top, nInsetFar = m_rcButtonMargin.bottom;
  if (nPos == xtpTabPosBottom || nPos == xtpTabPosRight) std::swap(nInsetNear, nInsetFar);
  // Along-strip axis: the tab's own long axis (across the strip in the rotated layout).
  const BOOL bAlongX = (m_nLayout == xtpTabLayoutRotated) ? !bHorizontalStrip : bHorizontalStrip;
  if (bAlongX) {
    rcContent.top += nInsetNear, rcContent.bottom -= nInsetFar;
    rcContent.left += m_rcButtonMargin.left + 6;
  } else {
    rcContent.left += nInsetNear, rcContent.right -= nInsetFar;
    rcContent.top += m_rcButtonMargin.left + 6;
  }
  if (bIcon) {
    const int nRoom = bAlongX ? rcContent.Width() : rcContent.Height();
    const int nIconAlong = bAlongX ? szIcon.cx : szIcon.cy;
    if (nRoom >= nIconAlong) {
      CPoint pt;
      if (bAlongX)
        pt = CPoint(rcContent.left, rcContent.top + (rcContent.Height() - szIcon.cy) / 2);
      else
        pt = CPoint(rcContent.left + (rcContent.Width() - szIcon.cx) / 2, rcContent.top);
      pManager->DrawIcon(pDC, pt, pItem, TRUE, szIcon);
      if (bAlongX)
        rcContent.left += szIcon.cx + 2;
      else
        rcContent.top += szIcon.cy + 2;
    }
  }
  if (bAlongX)
    rcContent.right -= m_rcButtonMargin.right + 2;
  else
    rcContent.bottom -= m_rcButtonMargin.right + 2;

  if (bShowCaption && !strCaption.IsEmpty()) {
    FontScope font(pDC, GetFont(bBold, bVertical));
    if (!bVertical) {
      if (rcContent.Width() > 0) {
        const UINT nFormat = DT_SINGLELINE | DT_VCENTER | nPrefix;
        if (m_bMiddleEllipsis)
          DrawText(pDC, strCaption, rcContent, nFormat);
        else
          ::DrawTextW(pDC->m_hDC, strCaption, strCaption.GetLength(), &rcContent, nFormat | DT_END_ELLIPSIS);
      }
    } else if ((bAlongX ? rcContent.Width() : rcContent.Height()) >= 8) {
      if (!m_bNoPrefix) XTPTabStripMnemonics(strCaption);
      TEXTMETRIC tm;
      ::GetTextMetrics(pDC->m_hDC, &tm);
      // Text runs downwards; its cell lies left of the reference point.
      const int x = rcContent.left + (rcContent.Width() + tm.tmHeight) / 2;
      ::ExtTextOutW(pDC->m_hDC, x, rcContent.top, ETO_CLIPPED, &rcContent, strCaption, strCaption.GetLength(), nullptr);
    }
  }
  if (bSelected && pManager->IsFocusVisible()) DrawFocusRect(pDC, pItem, rcItem);
  return 0;
}

void CXTPTabPaintManager::DrawFocusRect(CDC* pDC, CXTPTabManagerItem*, CRect rc) {
  if (!m_bFocusRect) return;
  rc.DeflateRect(3, 3);
  const COLORREF clrText = pDC->SetTextColor(0);
  const COLORREF clrBack = pDC->SetBkColor(0xFFFFFF);
  pDC->DrawFocusRect(rc);
  pDC->SetTextColor(clrText);
  pDC->SetBkColor(clrBack);
}

CString CXTPTabPaintManager::MiddleEllipsisText(CDC* pDC, const CString& str, int nWidth, UINT nFormat) {
  const CString strDots(_T("..."));
  if (TextWidth(pDC, str, nFormat) <= nWidth) return str;
  const int nDots = TextWidth(pDC, strDots, nFormat);
  if (nDots > nWidth) return strDots;
  const int nRoom = nWidth - nDots;
  const int nLength = str.GetLength();
  const int nFull = std::max(1, TextWidth(pDC, str, nFormat));
  int n = static_cast<int>(static_cast<long long>(nRoom) * nLength / nFull);
  n = std::clamp(n, 0, nLength);
  auto parts = [&](int k) { return str.Left(k - k / 2) + str.Right(k / 2); };
  while (n < nLength && TextWidth(pDC, parts(n), nFormat) < nRoom) n++;
  while (n > 0 && TextWidth(pDC, parts(n), nFormat) > nRoom) n--;
  return str.Left(n - n / 2) + strDots + str.Right(n / 2);
}

void CXTPTabPaintManager::DrawText(CDC* pDC, const CString& str, CRect rc, UINT nFormat) {
  if (str.Find(_T('\\')) >= 0) {
    CString s(str);
    ::DrawTextW(pDC->m_hDC, s.GetBuffer(s.GetLength() + 4), s.GetLength(), &rc, nFormat | DT_PATH_ELLIPSIS);
    s.ReleaseBuffer();
    return;
  }
  const CString strShown = MiddleEllipsisText(pDC, str, rc.Width(), nFormat);
  ::DrawTextW(pDC->m_hDC, strShown, strShown.GetLength(), &rc, nFormat);
}
