// Theme 0: grey bars, one-pixel raised and sunken frames, the dithered fill of checked
// buttons, embossed disabled images and text, grippers of raised bars.
#include <framework.h>

#include "XTPCommandBar.h"
#include "XTPControl.h"
#include "XTPControlComboBox.h"
#include "XTPControlEdit.h"
#include "XTPControlPopup.h"
#include "XTPCommandBars.h"
#include "XTPCommandBarsOptions.h"
#include "XTPDefaultTheme.h"
#include "XTPImageManager.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CXTPDefaultTheme, CXTPPaintManager)

CXTPDefaultTheme::CXTPDefaultTheme() : m_bPopupHighlightStyle(FALSE), m_nPopupTextColor(COLOR_BTNTEXT) {
  m_iconsInfo.bUseFadedIcons = FALSE;
  m_iconsInfo.bIconsWithShadow = FALSE;
}

CXTPDefaultTheme::~CXTPDefaultTheme() = default;

// ---- Frames and fills ---------------------------------------------------------------------
void CXTPDefaultTheme::FillCheckedPattern(CDC* pDC, CRect rc) {
  if (pDC == NULL) return;
  static const WORD kRows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  CBitmap bmp;
  bmp.CreateBitmap(8, 8, 1, 1, kRows);
  CBrush brush;
  brush.CreatePatternBrush(&bmp);
  CBrush* pOldBrush = pDC->SelectObject(&brush);
  // A monochrome pattern paints its 0 bits in the text colour and its 1 bits in the
  // background colour.
  const COLORREF clrOldText = pDC->SetTextColor(GetColor(COLOR_BTNHIGHLIGHT));
  const COLORREF clrOldBk = pDC->SetBkColor(GetColor(COLOR_BTNFACE));
  pDC->SetBrushOrg(0, 0);
  pDC->PatBlt(rc.left, rc.top, rc.Width(), rc.Height(), PATCOPY);
  pDC->SetTextColor(clrOldText);
  pDC->SetBkColor(clrOldBk);
  pDC->SelectObject(pOldBrush);
}

void CXTPDefaultTheme::FillItemRect(CDC* pDC, CRect rc, int nSelected, int nPressed, BOOL bEnabled,
                                    BOOL bChecked, BOOL bPopuped, BOOL /*bToolBar*/,
                                    int /*barPosition*/) {
  if (pDC == NULL) return;
  if (!bEnabled) {
    if (bChecked) DrawSunkenFrame(pDC, rc);
    if (nSelected == 2) DrawSunkenFrame(pDC, rc);
    return;
  }
  if (bChecked) {
    if (!nSelected && !nPressed) FillCheckedPattern(pDC, rc);
    DrawSunkenFrame(pDC, rc);
    return;
  }
  if (bPopuped || nPressed == 2 || (nSelected && nPressed)) {
    DrawSunkenFrame(pDC, rc);
  } else if (nSelected || nPressed) {
    DrawRaisedFrame(pDC, rc);
  }
}

void CXTPDefaultTheme::DrawItemFrame(CDC* pDC, CRect rc, BOOL bEnabled, int nSelected, int nPressed,
                                     BOOL bChecked, BOOL bPopuped, int barPosition) {
  if (pDC == NULL) return;
  FillItemRect(pDC, rc, nSelected, nPressed, bEnabled, bChecked, bPopuped, TRUE, barPosition);
  int nText = COLOR_BTNTEXT;
  if (!bEnabled)
    nText = COLOR_GRAYTEXT;
  else if (barPosition == xtpBarPopup)
    nText = m_nPopupTextColor;
  pDC->SetTextColor(GetColor(nText));
  pDC->SetBkMode(TRANSPARENT);
}

// ---- Images -------------------------------------------------------------------------------
void CXTPDefaultTheme::DrawImage(CDC* pDC, CPoint pt, CSize sz, CXTPImageManagerIcon* pImage,
                                 BOOL bSelected, BOOL bPressed, BOOL bEnabled, BOOL bChecked,
                                 BOOL bPopuped, BOOL /*bToolBarImage*/) {
  if (pDC == NULL || pImage == NULL) return;
  if (!bEnabled) {
    if (m_iconsInfo.bUseDisabledIcons || pImage->HasDisabledIcon()) {
      if (m_iconsInfo.bOfficeStyleDisabledIcons && !pImage->HasDisabledIcon())
        pImage->CreateDisabledIcon(m_clrDisabledIcon.GetStartColor(), m_clrDisabledIcon.GetEndColor());
      pImage->Draw(pDC, pt, pImage->GetDisabledIcon(), sz.cx, sz.cy);
    } else {
      pImage->DrawMono(pDC, pt + CPoint(1, 1), pImage->GetIcon(), GetColor(COLOR_BTNHIGHLIGHT));
      pImage->DrawMono(pDC, pt, pImage->GetIcon(), GetColor(COLOR_BTNSHADOW));
    }
    return;
  }
  if (bChecked) {
    pImage->Draw(pDC, pt, pImage->GetCheckedIcon(), sz.cx, sz.cy);
    return;
  }
  if (bPopuped) {
    pImage->Draw(pDC, pt, pImage->GetIcon(), sz.cx, sz.cy);
    return;
  }
  // The hot look of a selected (or held) image, with its shadow when asked for.
  auto drawHot = [&]() {
    if (m_iconsInfo.bIconsWithShadow && !pImage->GetShadowIcon().IsEmpty()) {
      pImage->Draw(pDC, pt + CPoint(1, 1), pImage->GetShadowIcon(), sz.cx, sz.cy);
      pImage->Draw(pDC, pt - CPoint(1, 1), pImage->GetHotIcon(), sz.cx, sz.cy);
    } else {
      pImage->Draw(pDC, pt, pImage->GetHotIcon(), sz.cx, sz.cy);
    }
  };
  if (bSelected) {
    if (bPressed)
      pImage->Draw(pDC, pt + CPoint(1, 1), pImage->GetHotIcon(), sz.cx, sz.cy);
    else
      drawHot();
    return;
  }
  if (bPressed == 2)
    pImage->Draw(pDC, pt + CPoint(1, 1), pImage->GetHotIcon(), sz.cx, sz.cy);
  else if (bPressed)
    drawHot();
  else if (m_iconsInfo.bUseFadedIcons)
    pImage->Draw(pDC, pt, pImage->GetFadedIcon(), sz.cx, sz.cy);
  else
    pImage->Draw(pDC, pt, pImage->GetIcon(), sz.cx, sz.cy);
}

// ---- Split buttons ------------------------------------------------------------------------
void CXTPDefaultTheme::DrawSplitItemFrame(CDC* pDC, CXTPControl* pControl, CRect rc) {
  if (pDC == NULL || pControl == NULL) return;
  const BOOL bPopuped = static_cast<CXTPControlPopup*>(pControl)->GetType() == xtpControlSplitButtonPopup &&
                        static_cast<CXTPControlPopup*>(pControl)->GetPopupOpen();
  const BOOL bEnabled = pControl->GetEnabled();
  CXTPCommandBar* pBar = pControl->GetParent();
  const int nPosition = pBar != NULL ? (int)pBar->GetPosition() : (int)xtpBarTop;
  const int nSelected = pControl->GetSelected() ? pControl->GetSelected() : (bPopuped ? 1 : 0);
  DrawItemFrame(pDC, CRect(rc.left, rc.top, rc.right - 12, rc.bottom), bEnabled, nSelected,
                pControl->GetPressed(), pControl->GetChecked(), FALSE, nPosition);
  const COLORREF clrText = pDC->GetTextColor();
  if ((pControl->GetSelected() || pControl->GetPressed() || bPopuped) && bEnabled) {
    DrawItemFrame(pDC, CRect(rc.right - 12, rc.top, rc.right, rc.bottom), TRUE, 1, 0, FALSE,
                  bPopuped, nPosition);
    pDC->SetTextColor(clrText);
  }
  const int y = rc.CenterPoint().y;
  Triangle(pDC, CPoint(rc.right - 9, y - 1), CPoint(rc.right - 5, y - 1),
           CPoint(rc.right - 7, y + 1), pDC->GetTextColor());
}

// ---- Bars ---------------------------------------------------------------------------------
void CXTPDefaultTheme::DrawBarBackground(CDC* pDC, CXTPCommandBar* pBar) {
  if (pDC == NULL || pBar == NULL || pBar->GetSafeHwnd() == NULL) return;
  CRect rc;
  pBar->GetClientRect(&rc);
  pDC->FillSolidRect(rc, GetColor(COLOR_BTNFACE));
  const XTPBarPosition position = pBar->GetPosition();
  if (position == xtpBarFloating || position == xtpBarPopup) {
    Draw3dRect(pDC, rc, COLOR_BTNFACE, COLOR_3DDKSHADOW);
    rc.DeflateRect(1, 1);
  }
  DrawRaisedFrame(pDC, rc);
}

CRect CXTPDefaultTheme::GetCommandBarBorders(CXTPCommandBar* pBar) {
  if (pBar != NULL && pBar->GetType() == xtpBarTypePopup) return CRect(3, 3, 3, 3);
  return CXTPPaintManager::GetCommandBarBorders(pBar);
}

CSize CXTPDefaultTheme::DrawGripper(CDC* pDC, CXTPCommandBar* pBar, BOOL bDraw) {
  if (pDC == NULL || pBar == NULL) return CSize(0, 0);
  if (pBar->IsFloatingFrameGripper()) return DrawFloatingGripper(pDC, pBar, bDraw);
  CRect rc;
  if (pBar->GetSafeHwnd() != NULL) pBar->GetClientRect(&rc);
  switch (pBar->GetPosition()) {
    case xtpBarTop:
    case xtpBarBottom:
      if (bDraw) DrawRaisedFrame(pDC, CRect(3, 3, 6, rc.bottom - 3));
      return CSize(6, 0);
    case xtpBarLeft:
    case xtpBarRight:
      if (bDraw) DrawRaisedFrame(pDC, CRect(3, 3, rc.right - 3, 6));
      return CSize(0, 8);
    case xtpBarFloating: {
      CFont* pOld = pDC->SelectObject(&m_fontSmCaption);
      const int h = pDC->GetTextExtent(_T(" "), 1).cy;
      const CRect rcCaption(3, 3, rc.right - 3, h < 15 ? 18 : h + 3);
      if (bDraw) {
        pDC->FillSolidRect(rcCaption, GetColor(COLOR_ACTIVECAPTION));
        pDC->SetTextColor(GetColor(COLOR_BTNHIGHLIGHT));
        pDC->SetBkMode(TRANSPARENT);
        CRect rcText(5, 3, rc.right - 2 * rcCaption.Height(), rcCaption.bottom);
        const CString strTitle = pBar->GetTitle();
        pDC->DrawText(strTitle, rcText, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
      }
      pDC->SelectObject(pOld);
      return rcCaption.Size();
    }
    default:
      return CSize(0, 0);
  }
}

CSize CXTPDefaultTheme::DrawFloatingGripper(CDC* pDC, CXTPCommandBar* /*pBar*/, BOOL bDraw) {
  const int h = (m_nTextHeight >= 18 && m_nTextHeight <= 0x7FFFFFFB) ? m_nTextHeight + 4 : 22;
  if (bDraw && pDC != NULL) DrawRaisedFrame(pDC, CRect(3, 3, 6, h));
  return CSize(6, h);
}

CSize CXTPDefaultTheme::DrawSeparator(CDC* pDC, CXTPCommandBar* pBar, CXTPControl* pControl, BOOL bDraw) {
  if (pBar == NULL) return CSize(0, 0);
  const BOOL bPopup = pBar->GetType() == xtpBarTypePopup;
  if (!bDraw) return bPopup ? CSize(8, 8) : CSize(6, 6);
  if (pDC == NULL || pControl == NULL) return CSize(0, 0);
  const CRect rcControl = pControl->GetRect();
  const CRect rcRow = pControl->GetRowRect();
  const BOOL bWrap = pControl->GetWrap();
  if (bPopup) {
    CRect rcClient;
    if (pBar->GetSafeHwnd() != NULL) pBar->GetClientRect(&rcClient);
    DrawSunkenFrame(pDC, CRect(14, rcControl.top - 5, rcClient.right - 14, rcControl.top - 3));
  } else if (pBar->IsVerticalPosition()) {
    if (bWrap)
      DrawSunkenFrame(pDC, CRect(rcRow.right + 2, rcRow.top + 4, rcRow.right + 4, rcRow.bottom));
    else
      DrawSunkenFrame(pDC, CRect(rcRow.left, rcControl.top - 4, rcRow.right, rcControl.top - 2));
  } else {
    if (bWrap)
      DrawSunkenFrame(pDC, CRect(rcRow.left + 4, rcRow.top - 4, rcRow.right, rcRow.top - 2));
    else
      DrawSunkenFrame(pDC, CRect(rcControl.left - 4, rcRow.top, rcControl.left - 2, rcRow.bottom));
  }
  return CSize(0, 0);
}

void CXTPDefaultTheme::AdjustPopupExcludeRect(CRect& rcExclude, CXTPControl* pControl, BOOL bVertical) {
  if (pControl == NULL || pControl->GetType() == xtpControlComboBox) return;
  CXTPCommandBar* pBar = pControl->GetParent();
  if (pBar != NULL && pBar->GetType() == xtpBarTypePopup)
    rcExclude.DeflateRect(1, 0);
  else if (bVertical)
    rcExclude.InflateRect(0, 1);
  else
    rcExclude.InflateRect(1, 0);
}

CSize CXTPDefaultTheme::DrawTearOffGripper(CDC* pDC, CRect rcGripper, BOOL bSelected, BOOL bDraw) {
  if (bDraw && pDC != NULL)
    pDC->FillSolidRect(CRect(rcGripper.left, rcGripper.top, rcGripper.right, rcGripper.bottom - 1),
                       GetColor(bSelected ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
  return CSize(0, 8);
}

CSize CXTPDefaultTheme::DrawSpecialControl(CDC* pDC, XTPSpecialControl controlType, CXTPControl* pButton,
                                           CXTPCommandBar* pBar, BOOL bDraw, LPVOID lpParam) {
  if (bDraw && pDC != NULL && pButton != NULL &&
      (controlType == xtpButtonClose || controlType == xtpButtonOptions)) {
    BOOL bHot = pButton->GetPressed() || pButton->GetSelected();
    if (controlType == xtpButtonOptions && pButton->GetType() >= xtpControlPopup &&
        pButton->GetType() <= xtpControlSplitButtonPopup)
      bHot = bHot || static_cast<CXTPControlPopup*>(pButton)->GetPopupOpen();
    if (bHot) pDC->FillSolidRect(pButton->GetRect(), GetColor(COLOR_BTNFACE));
  }
  return CXTPPaintManager::DrawSpecialControl(pDC, controlType, pButton, pBar, bDraw, lpParam);
}

// ---- Combo box and edit fields ------------------------------------------------------------
void CXTPDefaultTheme::DrawComboFrame(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bSelected) {
  if (pDC == NULL) return;
  if (bEnabled) {
    if (bSelected)
      DrawSunkenFrame(pDC, rc);
    else
      Draw3dRect(pDC, rc, COLOR_BTNFACE, COLOR_BTNFACE);
    rc.DeflateRect(1, 1);
    Draw3dRect(pDC, rc, COLOR_BTNFACE, COLOR_BTNFACE);
  } else {
    rc.DeflateRect(1, 1);
    const int n = bSelected == 2 ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT;
    Draw3dRect(pDC, rc, n, n);
  }
}

void CXTPDefaultTheme::DrawComboDropDown(CDC* pDC, CRect rc, BOOL bEnabled, BOOL bSelected, BOOL bDropped) {
  if (pDC == NULL) return;
  rc.DeflateRect(1, 2, 2, 2);
  if (bEnabled) {
    pDC->FillSolidRect(rc, GetColor(COLOR_BTNFACE));
    if (bDropped) {
      pDC->FillSolidRect(rc.left - 1, rc.top, 1, rc.Height(), GetColor(COLOR_BTNFACE));
      DrawSunkenFrame(pDC, rc);
      rc.OffsetRect(1, 1);
    } else {
      if (bSelected) pDC->FillSolidRect(rc.left - 1, rc.top, 1, rc.Height(), GetColor(COLOR_BTNFACE));
      if (bSelected)
        DrawRaisedFrame(pDC, rc);
      else
        Draw3dRect(pDC, rc, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT);
    }
  }
  DrawDropDownArrow(pDC, rc, GetColor(COLOR_BTNTEXT));
}

// ---- Popup menu rows ----------------------------------------------------------------------
CSize CXTPDefaultTheme::DrawPopupItem(CDC* pDC, CXTPControl* pControl, BOOL bDraw) {
  if (pDC == NULL || pControl == NULL) return CSize(0, 0);
  CXTPCommandBar* pBar = pControl->GetParent();
  CSize szIcon = pBar != NULL ? pBar->GetIconSize() : CSize(0, 0);
  if (szIcon.cx <= 0 || szIcon.cy <= 0) szIcon = CSize(16, 16);
  const int D = std::max<int>(m_nTextHeight, szIcon.cx + 4);
  const int nRowHeight = std::max<int>(m_nTextHeight, szIcon.cy + 4);
  // The double gripper of popup bars is not reachable from here yet: one column.
  const int nGripper = D;
  CFont* pOldFont = pDC->SelectObject(GetControlFont(pBar, pControl->GetDefaultItem()));
  CString strCaption = pControl->GetCaption();
  PrepareCaption(strCaption);
  const CString strShortcut = pControl->GetShortcutText();
  const BOOL bCues = pBar == NULL || pBar->IsKeyboardCuesVisible();
  CString strStripped(strCaption);
  CXTPDrawHelpers::StripMnemonics(strStripped);

  if (!bDraw) {
    const int cxCaption = pDC->GetTextExtent(strStripped).cx;
    const int cxShortcut = strShortcut.IsEmpty() ? 0 : pDC->GetTextExtent(strShortcut).cx;
    pDC->SelectObject(pOldFont);
    return CSize(cxCaption + cxShortcut + nGripper + 40, nRowHeight);
  }

  const CRect R = pControl->GetRect();
  const BOOL bEnabled = pControl->GetEnabled(), bChecked = pControl->GetChecked();
  const int nSelected = pControl->GetSelected();
  const XTPControlType type = pControl->GetType();
  if (pControl->GetShortMenuMark()) pDC->FillSolidRect(R, GetColor(COLOR_3DLIGHT));
  // The selected row: highlighted behind its highlight-coloured text (with the popup
  // highlight style, a raised frame around text in the popup text colour). A disabled row
  // keeps its grey embossed text on the menu's background, which the highlight colour
  // would swallow: its selection is a frame in the highlight colour.
  if (nSelected) {
    if (m_bPopupHighlightStyle)
      DrawRaisedFrame(pDC, R);
    else if (!bEnabled)
      Draw3dRect(pDC, R, COLOR_HIGHLIGHT, COLOR_HIGHLIGHT);
    else
      pDC->FillSolidRect(R, GetColor(COLOR_HIGHLIGHT));
  }
  const int nText = !bEnabled ? COLOR_GRAYTEXT
                    : (nSelected && !m_bPopupHighlightStyle) ? COLOR_HIGHLIGHTTEXT
                                                             : m_nPopupTextColor;
  pDC->SetBkMode(TRANSPARENT);
  const CRect rcColumn(R.left, R.top, R.left + D, R.bottom);
  if (bChecked) FillItemRect(pDC, rcColumn, nSelected, FALSE, bEnabled, TRUE, FALSE, FALSE, xtpBarPopup);

  CXTPImageManagerIcon* pImage = ControlImage(pControl, szIcon.cx);
  if (pImage != NULL) {
    FillItemRect(pDC, rcColumn, nSelected, FALSE, bEnabled, bChecked, FALSE, FALSE, xtpBarPopup);
    const int cy = pImage->GetWidth() > 0 ? szIcon.cx * pImage->GetHeight() / pImage->GetWidth() : szIcon.cy;
    const CPoint pt(rcColumn.CenterPoint().x - szIcon.cx / 2, rcColumn.CenterPoint().y - cy / 2);
    DrawImage(pDC, pt, CSize(szIcon.cx, cy), pImage, nSelected, FALSE, bEnabled, bChecked, FALSE, FALSE);
  } else if (bChecked) {
    const CPoint c = rcColumn.CenterPoint();
    DrawCheckMark(pDC, CRect(c.x - 10, c.y - 10, c.x + 10, c.y + 10),
                  GetColor(bEnabled ? m_nPopupTextColor : COLOR_GRAYTEXT));
  }
  pDC->SetTextColor(GetColor(nText));

  if (type == xtpControlPopup || type == xtpControlButtonPopup || type == xtpControlSplitButtonPopup) {
    const int x = R.right - 11, y = R.CenterPoint().y;
    Triangle(pDC, CPoint(x, y - 3), CPoint(x + 3, y), CPoint(x, y + 3), pDC->GetTextColor());
    if (type == xtpControlSplitButtonPopup && bEnabled) {
      if (static_cast<CXTPControlPopup*>(pControl)->GetPopupOpen() && nSelected)
        DrawSunkenFrame(pDC, CRect(R.right - 20, R.top, R.right, R.bottom));
      else
        Line(pDC, CPoint(R.right - 20, R.top), CPoint(R.right - 20, R.bottom),
             nSelected ? COLOR_BTNSHADOW : m_nPopupTextColor);
    }
  }

  const UINT nFormat = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | (bCues ? 0 : DT_NOPREFIX);
  const CString& strShown = bCues ? strCaption : strStripped;
  CRect rcText(R.left + nGripper + 4, R.top, R.right, R.bottom);
  const BOOL bShortcut = type == xtpControlButton && !strShortcut.IsEmpty();
  if (bShortcut) rcText.right -= pDC->GetTextExtent(strShortcut).cx + 19;
  CRect rcShortcut(R.left + nGripper + 8, R.top, R.right - 19, R.bottom);
  // Disabled text is embossed (a selected disabled row is not filled, see above).
  if (!bEnabled && !IsFlatDisabledText()) {
    const COLORREF clr = pDC->GetTextColor();
    pDC->SetTextColor(GetColor(COLOR_BTNHIGHLIGHT));
    CRect rcEmboss(rcText);
    rcEmboss.OffsetRect(1, 1);
    pDC->DrawText(strShown, rcEmboss, nFormat);
    if (bShortcut) {
      CRect rcEmbossShortcut(rcShortcut);
      rcEmbossShortcut.OffsetRect(1, 1);
      pDC->DrawText(strShortcut, rcEmbossShortcut, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    }
    pDC->SetTextColor(clr);
  }
  pDC->DrawText(strShown, rcText, nFormat);
  if (bShortcut) pDC->DrawText(strShortcut, rcShortcut, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
  pDC->SelectObject(pOldFont);
  return CSize(0, 0);
}

// ---- Edit and combo box controls ----------------------------------------------------------
namespace {
// What the edit and the combo box share: the label column left of the field.
struct FieldLayout {
  BOOL bLabel;
  int nLabelWidth;
  int nIconColumn;
  CSize szControl;
};
}  // namespace

// Measures the label column and the control; draws the label when asked. A changed label
// width is stored through setLabelWidth (which re-lays the bar).
static FieldLayout LayoutField(CXTPDefaultTheme* pTheme, CDC* pDC, CXTPControl* pControl, int nFieldWidth,
                               int nOldLabelWidth, BOOL bDraw, int nTextHeight) {
  FieldLayout layout = {FALSE, 0, 0, CSize(0, 0)};
  CXTPCommandBar* pBar = pControl->GetParent();
  const BOOL bPopup = pBar != NULL && pBar->GetType() == xtpBarTypePopup;
  layout.bLabel = bPopup || pControl->ShowsCaption();
  CString strCaption = pControl->GetCaption();
  CString strStripped(strCaption);
  CXTPDrawHelpers::StripMnemonics(strStripped);
  if (layout.bLabel) {
    const int cxCaption = pDC->GetTextExtent(strStripped).cx;
    if (bPopup) {
      CSize szIcon = pBar->GetIconSize();
      if (szIcon.cx <= 0) szIcon.cx = 16;
      layout.nIconColumn = std::max<int>(szIcon.cx + 4, nTextHeight);
      layout.nLabelWidth = cxCaption + layout.nIconColumn + 9;
    } else {
      layout.nLabelWidth = cxCaption + 5;
    }
  }
  const int cySpace = pDC->GetTextExtent(_T(" ")).cy + 1;
  layout.szControl = CSize(nFieldWidth + layout.nLabelWidth, cySpace + 7);
  (void)nOldLabelWidth;
  if (bDraw && layout.bLabel && !strCaption.IsEmpty()) {
    const CRect rc = pControl->GetRect();
    const BOOL bCues = pBar == NULL || pBar->IsKeyboardCuesVisible();
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(pTheme->GetColor(pControl->GetEnabled() ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    CRect rcLabel(rc.left + (bPopup ? layout.nIconColumn + 4 : 2), rc.top, rc.left + layout.nLabelWidth, rc.bottom);
    pDC->DrawText(bCues ? strCaption : strStripped, rcLabel,
                  DT_SINGLELINE | DT_VCENTER | (bCues ? 0 : DT_NOPREFIX));
  }
  return layout;
}

CSize CXTPDefaultTheme::DrawEditItem(CDC* pDC, CXTPControl* pControl, BOOL bDraw) {
  if (pDC == NULL || pControl == NULL || !pControl->IsKindOf(RUNTIME_CLASS(CXTPControlEdit))) return CSize(0, 0);
  CXTPControlEdit* pEdit = static_cast<CXTPControlEdit*>(pControl);
  CFont* pOldFont = pDC->SelectObject(GetControlFont(pControl->GetParent(), FALSE));
  const FieldLayout layout =
      LayoutField(this, pDC, pControl, pEdit->GetWidth(), pEdit->GetLabelWidth(), bDraw, m_nTextHeight);
  if (layout.nLabelWidth != pEdit->GetLabelWidth()) {
    pEdit->SetLabelWidth(layout.nLabelWidth);
    pEdit->DelayLayoutParent();
  }
  if (bDraw) {
    CRect rcField = pControl->GetRect();
    rcField.left += layout.nLabelWidth;
    const BOOL bEnabled = pControl->GetEnabled();
    const BOOL bSelected = pControl->GetSelected() != 0 || pEdit->IsFocused();
    if (bEnabled) pDC->FillSolidRect(rcField, GetColor(COLOR_WINDOW));
    DrawComboFrame(pDC, rcField, bEnabled, bSelected);
  }
  pDC->SelectObject(pOldFont);
  return layout.szControl;
}

CSize CXTPDefaultTheme::DrawComboItem(CDC* pDC, CXTPControl* pControl, BOOL bDraw) {
  if (pDC == NULL || pControl == NULL || !pControl->IsKindOf(RUNTIME_CLASS(CXTPControlComboBox)))
    return CSize(0, 0);
  CXTPControlComboBox* pCombo = static_cast<CXTPControlComboBox*>(pControl);
  CFont* pOldFont = pDC->SelectObject(GetControlFont(pControl->GetParent(), FALSE));
  const FieldLayout layout =
      LayoutField(this, pDC, pControl, pCombo->GetWidth(), pCombo->GetLabelWidth(), bDraw, m_nTextHeight);
  TEXTMETRIC tm = {};
  pDC->GetTextMetrics(&tm);
  const int nThumb = std::max<int>(15, 2 * tm.tmAveCharWidth + 4);
  BOOL bChanged = FALSE;
  if (layout.nLabelWidth != pCombo->GetLabelWidth()) {
    pCombo->SetLabelWidth(layout.nLabelWidth);
    bChanged = TRUE;
  }
  if (nThumb != pCombo->GetDropButtonWidth()) {
    pCombo->SetDropButtonWidth(nThumb);
    bChanged = TRUE;
  }
  if (bChanged) pCombo->DelayLayoutParent();
  if (bDraw) {
    CRect rcField = pControl->GetRect();
    rcField.left += layout.nLabelWidth;
    const BOOL bEnabled = pControl->GetEnabled();
    const BOOL bSelected = pControl->GetSelected() != 0 || pCombo->IsFocused();
    if (bEnabled) pDC->FillSolidRect(rcField, GetColor(COLOR_WINDOW));
    CRect rcText(rcField.left + 3, rcField.top + 1, rcField.right - nThumb, rcField.bottom - 1);
    pCombo->DrawFieldText(pDC, rcText);
    DrawComboDropDown(pDC, CRect(rcField.right - nThumb, rcField.top, rcField.right, rcField.bottom), bEnabled,
                      bSelected, pCombo->GetPopupOpen());
    DrawComboFrame(pDC, rcField, bEnabled, bSelected);
  }
  pDC->SelectObject(pOldFont);
  return layout.szControl;
}

// ---- Rows of the customize dialog's command list ------------------------------------------
CSize CXTPDefaultTheme::DrawCustomizeListItem(CDC* pDC, CXTPControl* pControl, CRect rcItem, BOOL bSelected,
                                              BOOL bDraw, CXTPCommandBars* pCommandBars) {
  const CSize szIcon = pCommandBars != NULL ? pCommandBars->GetCommandBarsOptions()->szPopupIcons : CSize(16, 16);
  const CSize szResult(std::max<int>(m_nTextHeight, szIcon.cx + 4), std::max<int>(m_nTextHeight, szIcon.cy + 4));
  if (!bDraw || pDC == NULL) return szResult;
  const int C = szResult.cx;
  pDC->FillSolidRect(rcItem, GetColor(COLOR_BTNFACE));
  if (pControl == NULL) return szResult;

  CRect rcText(rcItem);
  CXTPImageManagerIcon* pImage = ControlImage(pControl, szIcon.cx);
  if (pImage != NULL) {
    const CRect rcColumn(rcItem.left, rcItem.top, rcItem.left + C, rcItem.bottom);
    FillItemRect(pDC, rcColumn, bSelected ? 1 : 0, 0, TRUE, FALSE, FALSE, FALSE, xtpBarPopup);
    const CSize szImage(szIcon.cx, pImage->GetWidth() > 0 ? szIcon.cx * pImage->GetHeight() / pImage->GetWidth()
                                                          : szIcon.cy);
    const CPoint pt(rcColumn.left + (rcColumn.Width() - szImage.cx) / 2,
                    rcColumn.top + (rcColumn.Height() - szImage.cy) / 2);
    DrawImage(pDC, pt, szImage, pImage, bSelected, FALSE, TRUE, FALSE, FALSE, FALSE);
    rcText.left = rcItem.left + C + 1;
  }
  if (bSelected) pDC->FillSolidRect(rcText.left, rcText.top, rcItem.right - 1 - rcText.left, rcText.Height(), GetColor(COLOR_HIGHLIGHT));
  const COLORREF clrText = GetColor(bSelected ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
  pDC->SetTextColor(clrText);
  pDC->SetBkMode(TRANSPARENT);
  CString strCaption = pControl->GetCaption();
  CXTPDrawHelpers::StripMnemonics(strCaption);
  CFont* pOldFont = pDC->SelectObject(GetRegularFont());
  CRect rcCaption(rcItem.left + C + 4, rcItem.top, rcItem.right, rcItem.bottom);
  pDC->DrawText(strCaption, rcCaption, DT_END_ELLIPSIS | DT_NOPREFIX | DT_VCENTER | DT_SINGLELINE);

  const XTPControlType type = pControl->GetType();
  const int yMid = (rcItem.top + rcItem.bottom) / 2;
  if (type >= xtpControlPopup && type <= xtpControlSplitButtonPopup) {
    Triangle(pDC, CPoint(rcItem.right - 7, yMid), CPoint(rcItem.right - 12, yMid - 5),
             CPoint(rcItem.right - 12, yMid + 5), clrText);
    if (type == xtpControlSplitButtonPopup)
      pDC->FillSolidRect(rcItem.right - 20, rcItem.top, 1, rcItem.Height(), clrText);
  }
  if (type == xtpControlComboBox || type == xtpControlEdit) {
    CRect rcCalc(0, 0, 0, 0);
    pDC->DrawText(strCaption, rcCalc, DT_CALCRECT | DT_SINGLELINE);
    CRect rcField(rcCaption.left + rcCalc.Width() + 9, rcItem.top + 1, rcItem.right - 1, rcItem.bottom - 1);
    if (rcField.left < rcField.right) {
      pDC->FillSolidRect(rcField, GetColor(COLOR_WINDOW));
      const int nFrame = bSelected ? COLOR_HIGHLIGHT : COLOR_BTNFACE;
      Draw3dRect(pDC, rcField, nFrame, nFrame);
      if (type == xtpControlComboBox) {
        const int cxButton = pDC->GetTextExtent(_T(" ")).cy + 2;
        CRect rcButton(rcField.right - cxButton, rcField.top, rcField.right, rcField.bottom);
        if (bSelected) {
          pDC->FillSolidRect(rcButton, GetColor(COLOR_BTNFACE));
          Draw3dRect(pDC, rcButton, COLOR_HIGHLIGHT, COLOR_HIGHLIGHT);
        } else {
          CRect rcInside(rcButton);
          rcInside.DeflateRect(2, 2);
          pDC->FillSolidRect(rcInside, GetColor(COLOR_BTNFACE));
        }
        rcButton.DeflateRect(1, 1);
        DrawDropDownArrow(pDC, rcButton, GetColor(COLOR_BTNTEXT));
      }
    }
  }
  pDC->SelectObject(pOldFont);
  return szResult;
}
